#pragma once
// Helpers for the tests that drive profiler's real windows in the test's own process: a settings
// file in a temporary folder, a scratch registry key and closing menus.
#include <windows.h>

#include <string>
#include <vector>

#include "testlib/message_boxes.h"
#include "testlib/registry.h"
#include "testlib/temp_dir.h"

// A settings file in a fresh temporary folder; the folder goes when the object does.
class TempSettings {
public:
    explicit TempSettings(const std::string& tag);
    ~TempSettings();                           // flushes the INI cache before the folder goes
    void write(const std::string& text) const; // replaces the whole file
    std::string read(const char* section, const char* key) const;
    bool has(const char* section, const char* key) const;
    std::string bytes() const; // the file as the system's INI cache leaves it

    TempDir dir;
    const std::string folder = dir.path();
    const std::string path = dir.file("profiler.INI");
};

// Keeps the real Auto Start entry ("PADWISE" under the Run key) as it was before the test.
class RunEntryGuard {
public:
    ~RunEntryGuard();
    static bool read(std::string& text);
    static void write(const std::string& text); // an empty text erases it
    static void erase();
    std::string saved;
    bool existed = read(saved);
};

// While alive, closes any popup menu this thread tracks and records which menu it was.
class MenuCloser {
public:
    MenuCloser();
    ~MenuCloser();
    std::vector<HMENU> shown;
    UINT_PTR timer = 0;
};

// Handles the messages waiting for this thread (posted commands, WM_NULL, timers) for `ms`.
void pumpMessages(DWORD ms = 50);

// Handles this thread's messages until the Auto Start item of `settingsMenu` is no longer greyed
// (its state has been read in the background); whether that happened within timeoutMs.
bool waitAutoStartRead(HMENU settingsMenu, DWORD timeoutMs = 10000);

// Whether the notification area holds the icon of `window` with profiler's id (asked from outside).
bool trayIconPresent(HWND window);

// Three profiles: a real program (its icon), a missing file (the stand-in icon) and another.
extern const char* const THREE_PROFILES;

// The text of a menu item by position.
std::string menuText(HMENU menu, int position);
