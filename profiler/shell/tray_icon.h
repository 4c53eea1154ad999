#pragma once
// The notification-area icon: added once, its tip changed later, removed when the owner goes.
#include <windows.h>
#include <shellapi.h>

#include <string>

class TrayIcon {
public:
    TrayIcon() = default;
    ~TrayIcon() { remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon with message, icon and tip; later modifications change the tip only.
    bool add(HWND window, UINT id, UINT callbackMessage, HICON icon, const std::string& tip);
    bool setTip(const std::string& tip);
    void remove();
    // Adds the icon again, with its current tip, after the shell has restarted and lost it.
    bool restore();

    // The message a new shell sends every top-level window once its notification area exists.
    static UINT shellRestartMessage();
    // Lets that message reach `window` from a shell of lower integrity (Vista and later, where the
    // elevated program would otherwise never see it).
    static void acceptShellRestart(HWND window);

    std::string tip() const { return data.szTip; }
    bool isAdded() const { return added; }
    UINT id() const { return data.uID; }
    UINT callbackMessage() const { return data.uCallbackMessage; }

private:
    // `added` first: NOTIFYICONDATAA grows with the targeted Windows version, and code built for a
    // later one (the tests) must find the same fields at the same places.
    bool added = false;
    NOTIFYICONDATAA data = {}; // the first record version: size, window, id, flags, message, icon, tip
};
