#pragma once
#include <windows.h>

#include <string>

// Full path of the running program, as `moduleFileName` reports it, however long.
std::string modulePath(decltype(&GetModuleFileNameA) moduleFileName = GetModuleFileNameA);

// The settings file of a program path: its last three characters replaced by "INI".
std::string settingsPathFor(const std::string& programPath);
