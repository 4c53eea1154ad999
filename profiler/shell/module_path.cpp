#include "shell/module_path.h"

#include <windows.h>

std::string modulePath()
{
    char path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    // A cut path is reported with the buffer's full length and, on old systems, no terminator.
    return std::string(path, length < MAX_PATH ? length : MAX_PATH - 1);
}

std::string settingsPathFor(const std::string& programPath)
{
    std::string::size_type keep = programPath.size() >= 3 ? programPath.size() - 3 : 0;
    return programPath.substr(0, keep) + "INI";
}
