#include "pad_setup.h"

#include "devices.h"
#include "owned.h"

#include <newdev.h>

#include <algorithm>

namespace pad {

std::string binDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\'));
}

std::string infPath()
{
    return binDirectory() + "\\virtual_pad.inf";
}

DWORD updateDriver()
{
    return updateDriver(hardwareId, infPath());
}

DWORD updateDriver(const char* id, const std::string& inf)
{
    using Update = BOOL(WINAPI*)(HWND, LPCSTR, LPCSTR, DWORD, PBOOL);
    Library newdev(LoadLibraryA("newdev.dll"));
    if (!newdev.valid())
        return GetLastError();
    auto update = reinterpret_cast<Update>(
        reinterpret_cast<void*>(GetProcAddress(newdev.get(), "UpdateDriverForPlugAndPlayDevicesA")));
    if (!update)
        return GetLastError();
    BOOL reboot = FALSE;
    return update(nullptr, id, inf.c_str(), INSTALLFLAG_FORCE, &reboot) ? 0 : GetLastError();
}

bool waitForPad(bool present, unsigned timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        auto names = hidProductStrings();
        bool found = std::find(names.begin(), names.end(), productString) != names.end();
        if (found == present)
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(100);
    }
}

void writeSettings(const char* const (*values)[2], size_t count)
{
    HKEY raw = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, settingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw,
                        nullptr))
        return;
    Key key(raw);
    for (size_t i = 0; i < count; ++i)
        RegSetValueExA(key.get(), values[i][0], 0, REG_SZ, reinterpret_cast<const BYTE*>(values[i][1]),
                       lstrlenA(values[i][1]) + 1);
}

void deleteSettings()
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\PadkitTest");
}

} // namespace pad
