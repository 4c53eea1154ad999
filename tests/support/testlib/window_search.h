#pragma once
// Top-level windows of any process, found, read and driven from outside as a user would.
#include <windows.h>

#include <functional>
#include <string>

enum class Shown { VisibleOnly, AlsoHidden };

// The first top-level window for which match holds, or null.
HWND findWindow(const std::function<bool(HWND)>& match);
// Polls findWindow for up to timeoutMs.
HWND waitWindow(const std::function<bool(HWND)>& match, unsigned timeoutMs);

DWORD windowProcess(HWND window);
bool isDialog(HWND window); // window class #32770

// A top-level dialog of process pid captioned title, or null.
HWND findDialog(DWORD pid, const std::string& title, Shown shown = Shown::VisibleOnly);
HWND waitDialog(DWORD pid, const std::string& title, unsigned timeoutMs, Shown shown = Shown::VisibleOnly);
// A visible top-level dialog of process pid with a control controlId, or null.
HWND findDialog(DWORD pid, int controlId);

// A window's caption: without a message to windows of other processes, so a hung one cannot block.
std::string windowText(HWND window);
// A control's text through WM_GETTEXT, which reads any control of any process; empty after 5 s
// without an answer.
std::string controlText(HWND dialog, int id);
bool controlEnabled(HWND dialog, int id);
// Posts a button's click to its dialog: returns before the click is handled.
void pressButton(HWND dialog, int id);
