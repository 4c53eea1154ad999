#pragma once
// fitkit.exe run as a real process from a folder of the test, driven through its windows.
#include <windows.h>

#include <string>

#include "testlib/message_boxes.h"
#include "testlib/process.h"
#include "testlib/window_search.h"

class FitkitProcess {
public:
    // Copies fitkit.exe (built beside the test program) into `exeDir`.
    static std::string install(const std::string& exeDir);

    // Starts `exe` with the raw argument text `arguments` in `workDir`.
    FitkitProcess(const std::string& exe, const std::string& arguments, const std::string& workDir);

    bool started() const { return process_.started(); }
    // The setup dialog, once visible (null after the time limit or when a box is up first).
    HWND waitForDialog(DWORD limitMs = 15000);
    // Reads the next message box and presses `button` on it; an empty caption when none came.
    SeenBox answerBox(int button, DWORD limitMs = 15000);
    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD waitForExit(DWORD limitMs = 15000);
    bool dialogSeen() const { return sawDialog_; }

private:
    Process process_;
    bool sawDialog_ = false;
};
