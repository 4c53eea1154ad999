#pragma once
// Helpers for the tests that drive profiler's real windows in the test's own process: a settings
// file in a temporary folder, a scratch registry key, answering message boxes and closing menus.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A settings file in a fresh temporary folder; the folder goes when the object does.
class TempSettings {
public:
    explicit TempSettings(const std::string& tag);
    ~TempSettings();
    void write(const std::string& text) const; // replaces the whole file
    std::string read(const char* section, const char* key) const;
    bool has(const char* section, const char* key) const;
    std::string folder;
    std::string path;
};

// A registry key below HKEY_LOCAL_MACHINE that the test owns; deleted with everything below it.
class ScratchKey {
public:
    explicit ScratchKey(const std::string& name);
    ~ScratchKey();
    void set(const char* value, const std::string& text) const;
    bool get(const char* value, std::string& text) const;
    bool has(const char* value) const;
    std::string path; // below HKEY_LOCAL_MACHINE
};

// Keeps the real Auto Start entry ("PADWISE" under the Run key) as it was before the test.
class RunEntryGuard {
public:
    RunEntryGuard();
    ~RunEntryGuard();
    static bool read(std::string& text);
    static void write(const std::string& text);
    static void erase();
    bool existed = false;
    std::string saved;
};

// What a message box showed.
struct BoxSeen {
    std::string caption;
    std::string text;
    bool hasOk = false, hasCancel = false, hasYes = false, hasNo = false;
    LPCSTR icon = nullptr; // IDI_EXCLAMATION, IDI_QUESTION, … or nullptr when none was recognised
};

// Answers every message box this thread shows with the next button id of `answers` and records
// it. Any other dialog activated meanwhile goes to `onDialog` (which may close it).
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::vector<int> answers = {});
    ~BoxAnswerer();
    std::vector<BoxSeen> seen;
    std::vector<int> answers;
    std::function<void(HWND)> onDialog;
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

// The text of a menu item by position.
std::string menuText(HMENU menu, int position);
