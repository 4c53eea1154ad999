#include "shell/module_path.h"

#include <windows.h>

#include <vector>

namespace {
constexpr DWORD LONGEST_PATH = 32768; // the longest path the system has
} // namespace

std::string modulePath(decltype(&GetModuleFileNameA) moduleFileName)
{
    // A cut path comes back as long as the buffer (without a terminator on XP): grow until it fits.
    for (DWORD size = MAX_PATH;; size *= 2) {
        std::vector<char> path(size, '\0');
        DWORD length = moduleFileName(nullptr, path.data(), size);
        if (length < size || size >= LONGEST_PATH)
            return std::string(path.data(), length < size ? length : 0);
    }
}

std::string settingsPathFor(const std::string& programPath)
{
    std::string::size_type keep = programPath.size() >= 3 ? programPath.size() - 3 : 0;
    return programPath.substr(0, keep) + "INI";
}
