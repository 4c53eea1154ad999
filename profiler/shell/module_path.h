#pragma once
#include <string>

// Full path of the running program, as the system reports it (at most 259 characters).
std::string modulePath();

// The settings file of a program path: its last three characters replaced by "INI".
std::string settingsPathFor(const std::string& programPath);
