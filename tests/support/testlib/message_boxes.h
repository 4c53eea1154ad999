#pragma once
// Message boxes read and answered: in the test's own thread through a CBT hook, or in another
// process by polling its top-level windows.
#include <windows.h>

#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "testlib/owned.h"

struct SeenBox {
    std::string caption; // empty when no box came
    std::string text;
    // "exclamation", "information", "question", "error", "none", or "other" (also any icon of a box
    // of another process: system icon handles are the process's own)
    std::string icon;
    std::vector<int> buttons; // the visible ones among IDOK, IDCANCEL, IDYES, IDNO, in that order
};

// Reads a message box window (of any process).
SeenBox readBox(HWND box);
// A visible message box of process pid (a dialog with the text static 0xFFFF), or null.
HWND findBox(DWORD pid);
// Presses answer on box and waits (up to 5 s) until it is gone.
void closeBox(HWND box, int answer);
// Waits up to timeoutMs for a message box of process pid, reads it and closes it with answer.
SeenBox answerBox(DWORD pid, int answer, unsigned timeoutMs);

// Answers every message box the current thread shows with the next of `answers` and keeps what it
// saw. With no answer left a box gets Cancel, else OK, else No. Any other dialog activated
// meanwhile goes to onDialog (which may close it).
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::initializer_list<int> answers = {});
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    std::deque<int> answers;
    std::vector<SeenBox> seen;
    std::function<void(HWND)> onDialog;

private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam);
    void activated(HWND window);
    testlib::Hook hook_;
    HWND lastBox_ = nullptr;
    BoxAnswerer* previous_;
};

// The base name of the test program: the caption of its own message boxes.
std::string ownCaption();
