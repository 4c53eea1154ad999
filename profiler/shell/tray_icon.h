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

    std::string tip() const { return data.szTip; }
    bool isAdded() const { return added; }
    UINT id() const { return data.uID; }
    UINT callbackMessage() const { return data.uCallbackMessage; }

private:
    NOTIFYICONDATAA data = {}; // the first record version: size, window, id, flags, message, icon, tip
    bool added = false;
};
