#pragma once
// fitkit.exe run as a real process from a folder of the test, driven through its windows.
#include <windows.h>

#include <string>

#include "message_boxes.h"

class FitkitProcess {
public:
    // Copies fitkit.exe (built beside the test program) into `exeDir`.
    static std::string install(const std::string& exeDir);

    // Starts `exe` with the raw argument text `arguments` in `workDir`.
    FitkitProcess(const std::string& exe, const std::string& arguments, const std::string& workDir);
    ~FitkitProcess();
    FitkitProcess(const FitkitProcess&) = delete;
    FitkitProcess& operator=(const FitkitProcess&) = delete;

    bool started() const { return info.hProcess != nullptr; }
    // The setup dialog, once visible (null after the time limit or when a box is up first).
    HWND waitForDialog(DWORD limitMs = 15000);
    // The next message box, read; `handle` receives its window. Empty caption when none came.
    SeenBox waitForBox(HWND* handle, DWORD limitMs = 15000);
    // Reads the next box and presses `button` on it.
    SeenBox answerBox(int button, DWORD limitMs = 15000);
    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD waitForExit(DWORD limitMs = 15000);
    bool dialogSeen() const { return sawDialog; }

private:
    PROCESS_INFORMATION info = {};
    bool sawDialog = false;
};

std::string controlText(HWND dialog, int id);
