#pragma once
// Reading and answering message boxes: in the test's own thread through a CBT hook, or in
// another process by polling its top-level windows.
#include <windows.h>

#include <deque>
#include <string>
#include <vector>

struct SeenBox {
    std::string caption;
    std::string text;
    // "exclamation", "information", "question", "none", or "other" (also any icon of a box of
    // another process: system icon handles are the process's own)
    std::string icon;
    std::vector<int> buttons; // ids among IDOK, IDCANCEL, IDYES, IDNO, in that order
};

// Reads a message box window (any process).
SeenBox readBox(HWND box);
// A visible message box of the process (a #32770 window with the text static 0xFFFF), or null.
HWND findBox(DWORD processId);
// A visible top-level dialog of the process with control `controlId`, or null.
HWND findDialog(DWORD processId, int controlId);
void pressButton(HWND window, int id);

// Answers every message box that the current thread shows, in order, with `answers`
// (IDOK when none is left), and keeps what it saw.
class BoxAnswerer {
public:
    BoxAnswerer();
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    std::deque<int> answers;
    std::vector<SeenBox> seen;

private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK handle;
    HWND lastBox = nullptr;
    BoxAnswerer* previous;
};

// The program base name the boxes of this test program carry.
std::string ownCaption();
