#include "editor/own_program.h"

#include <windows.h>

#include <vector>

namespace {
// The version resource's text `name` in the block the product writes (US English, Unicode).
std::string versionText(const std::vector<char>& info, const char* name)
{
    void* text = nullptr;
    UINT length = 0;
    const std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueA(info.data(), query.c_str(), &text, &length) || !text || length == 0)
        return std::string();
    return static_cast<const char*>(text);
}
} // namespace

bool isProfilerProgram(const std::string& path)
{
    char own[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, own, MAX_PATH);
    if (lstrcmpiA(own, path.c_str()) == 0)
        return true;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0)
        return false;
    std::vector<char> info(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, info.data()))
        return false;
    return lstrcmpiA(versionText(info, "ProductName").c_str(), "Padwise") == 0 &&
           lstrcmpiA(versionText(info, "OriginalFilename").c_str(), "profiler.exe") == 0;
}
