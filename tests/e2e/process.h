// Programs under test started as a user would start them, and their windows read and driven
// from outside, the way a user clicks.
#pragma once

#include "owned.h"

#include <string>

class Process {
public:
    // Starts commandLine in directory (current directory when empty); check started().
    Process(const std::string& commandLine, const std::string& directory = {});
    ~Process(); // terminates the process if it still runs
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return process_.valid(); }
    DWORD id() const { return id_; }
    HANDLE handle() const { return process_.get(); }
    // Waits for the end; returns whether it ended within timeoutMs.
    bool wait(unsigned timeoutMs) const;
    DWORD exitCode() const;
    void terminate(UINT code = 1);

private:
    Handle process_;
    DWORD id_ = 0;
};

// A visible top-level dialog-class window of process pid whose caption is title; null when none.
HWND findDialog(DWORD pid, const std::string& title);
// Waits up to timeoutMs for such a window.
HWND waitDialog(DWORD pid, const std::string& title, unsigned timeoutMs);
std::string windowText(HWND window);
std::string controlText(HWND dialog, int id);
bool controlEnabled(HWND dialog, int id);
// Presses a button of a dialog without waiting for what the press starts.
void pressButton(HWND dialog, int id);

// A message box of process pid as the test found and answered it.
struct AnsweredBox {
    bool found = false;
    std::string caption;
    std::string text;
};
// Waits for a message box (caption given) of process pid and presses the button with id answer.
AnsweredBox answerBox(DWORD pid, const std::string& caption, int answer, unsigned timeoutMs);
