#pragma once
// Values below HKEY_LOCAL_MACHINE as tests set and read them.
#include <windows.h>

#include <string>

// Reads a value as text; false (and text empty) when it cannot be read.
bool getRegText(const std::string& path, const std::string& name, std::string& text);
// The value's text, or "<absent>".
std::string regText(const std::string& path, const std::string& name);
// Creates the key (with those above it) when it is missing.
bool makeRegKey(const std::string& path);
// Sets a value, creating the key; false when that failed.
bool setRegText(const std::string& path, const std::string& name, const std::string& text,
                DWORD type = REG_SZ);
