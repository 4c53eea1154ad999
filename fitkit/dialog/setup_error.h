#pragma once
// Turns a Windows or SetupAPI error code into a message box.
#include <windows.h>

#include <string>

struct SetupErrorName {
    DWORD code;
    const char* name;
    const char* advice; // what the user can do, or null
};

extern const SetupErrorName setupErrorNames[];
extern const size_t setupErrorNameCount;

// Longest message text shown; longer texts are cut.
const size_t MAX_ERROR_TEXT = 511;

// The message for `code` after the operation (or result title) `what`.
std::string formatSetupError(const char* what, DWORD code);

// An information box for code 0, otherwise a warning box.
void showSetupError(HWND owner, const char* what, DWORD code);
