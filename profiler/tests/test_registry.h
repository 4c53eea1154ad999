#pragma once
#include <windows.h>

#include <string>

// Values below HKEY_LOCAL_MACHINE as the tests set and read them.
std::string regText(const char* path, const char* name); // the text, or "<absent>"
void setRegText(const char* path, const char* name, const std::string& text, DWORD type = REG_SZ);
