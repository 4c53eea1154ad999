#pragma once
// fitkit.exe run as a user runs it: started with a command line in a folder, its setup dialog
// read and its buttons pressed from outside, its message boxes answered.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "testlib/message_boxes.h"
#include "testlib/process.h"
#include "testlib/window_search.h"

class FitkitRun {
public:
    // fitkit.exe as built beside the test program.
    static std::string builtExe();
    // Copies it into `exeDir`; returns the copy's path.
    static std::string copyTo(const std::string& exeDir);

    // Starts `exe` with the raw argument text `arguments` in `workDir`.
    FitkitRun(const std::string& exe, const std::string& arguments, const std::string& workDir);
    ~FitkitRun(); // presses Exit when the dialog is still up; the process ends either way

    bool started() const { return process_.started(); }
    // The setup dialog, once visible (null after the time limit, or when a box is up first);
    // kept for the calls below.
    HWND waitForDialog(DWORD limitMs = 15000);
    HWND dialog() const { return dialog_; }
    bool dialogSeen() const { return sawDialog_; }
    std::string status() const;
    bool enabled(int button) const;
    // Waits until the status text begins with `prefix`.
    bool waitStatus(const std::string& prefix, DWORD limitMs) const;

    // Reads the next message box and presses `button` on it; an empty caption when none came.
    SeenBox answerBox(int button, DWORD limitMs = 15000);
    // Presses a dialog button and answers the boxes it raises, in order, with `answers`; returns
    // their texts (empty where a box did not come).
    std::vector<std::string> press(int button, std::initializer_list<int> answers, DWORD limitMs = 20000);
    // Presses Exit; whether the program ended.
    bool exit(DWORD limitMs = 10000);
    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD waitForExit(DWORD limitMs = 15000);

private:
    Process process_;
    HWND dialog_ = nullptr;
    bool sawDialog_ = false;
};
