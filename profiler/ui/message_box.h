#pragma once
// The program's message boxes: captioned with the executable's base name ("profiler").
#include <windows.h>

#include <string>

// Base name of the running program's file, without its extension.
std::string programBaseName();

// A box whose type names no icon gets the exclamation icon.
UINT messageBoxType(UINT type);

int showMessage(HWND owner, const std::string& text, UINT type = MB_OK);
