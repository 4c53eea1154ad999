#pragma once
// fitkit's message boxes, captioned with the program's base name.
#include <windows.h>

enum class BoxKind {
    Warning,     // OK, exclamation
    Information, // OK, information
    Question,    // Yes/No, question
};

// The executable's file name without directory and extension.
const char* programBaseName();

// Returns the button pressed (IDOK, IDYES, IDNO).
int showBox(HWND owner, const char* text, BoxKind kind);
