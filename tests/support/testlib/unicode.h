#pragma once
// Text outside the test program's own code page: UTF-8 in the test, UTF-16 at the platform. For
// paths, registry values and controls of programs that run with a UTF-8 code page.
#include <windows.h>

#include <string>

#include "testlib/process.h"
#include "testlib/registry.h"

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& text); // to UTF-8

// Makes the folder and those above it; false when it is not there afterwards.
bool makeDirsUtf8(const std::string& path);
bool copyFileUtf8(const std::string& from, const std::string& to);
bool writeFileUtf8(const std::string& path, const std::string& bytes);
std::string readFileUtf8(const std::string& path); // the bytes; empty when it cannot be read
// Starts a command line (program, directory) given in UTF-8.
Process startUtf8(const std::string& commandLine, const std::string& directory = {});
// A REG_SZ value below HKEY_LOCAL_MACHINE as UTF-8, or "<absent>"; in the native view by default.
std::string regTextUtf8(const std::string& path, const std::string& name, REGSAM view = NATIVE_VIEW);
// A control's text in UTF-8 (WM_GETTEXT, which reads a control of any process).
std::string controlTextUtf8(HWND dialog, int id);
void setControlTextUtf8(HWND control, const std::string& text);
// The text of a list-view row's first column in another process.
std::string listViewTextUtf8(HANDLE process, HWND list, int row);
