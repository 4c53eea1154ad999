#include "pad_setup.h"

#include <newdev.h>

#include <algorithm>

#include "devices.h"
#include "testlib/owned.h"
#include "testlib/registry.h"
#include "testlib/temp_dir.h"
#include "testlib/wait.h"

namespace pad {

std::string infPath()
{
    return programDirectory() + "\\virtual_pad.inf";
}

DWORD updateDriver()
{
    return updateDriver(hardwareId, infPath());
}

DWORD updateDriver(const char* id, const std::string& inf)
{
    using Update = BOOL(WINAPI*)(HWND, LPCSTR, LPCSTR, DWORD, PBOOL);
    testlib::Library newdev(LoadLibraryA("newdev.dll"));
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
    return waitUntil(
        [&] {
            auto names = hidProductStrings();
            return (std::find(names.begin(), names.end(), productString) != names.end()) == present;
        },
        timeoutMs, 100);
}

void writeSettings(const char* const (*values)[2], size_t count)
{
    for (size_t i = 0; i < count; ++i)
        setRegText(settingsKey, values[i][0], values[i][1]);
}

void removeAll()
{
    removeDevices(hardwareId);
    deleteRegTree("Software\\PadkitTest");
}

} // namespace pad
