#include "config/platform_kind.h"

#include <windows.h>

PlatformKind PlatformKind::fromVersion(const OSVERSIONINFOA& version)
{
    DWORD minor = version.dwMinorVersion;
    // The 9x family keeps major and minor in the build number's high word (98: 10, Me: 90).
    if (version.dwMajorVersion == 4 && minor != 0)
        minor = (version.dwBuildNumber >> 16) & 0xFF;

    PlatformKind kind;
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && version.dwMajorVersion == 4) {
        kind.isWin9x = minor < 90;
        kind.isWinMe = minor >= 90;
    } else if (version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5) {
        // 2000, XP and every later NT read device properties, not the hardware key.
        kind.isNt5 = true;
    }
    return kind;
}

bool PlatformKind::runsInWow64()
{
    using IsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto isWow64 = kernel ? reinterpret_cast<IsWow64>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
                          : nullptr;
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

PlatformKind PlatformKind::current()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version))
        return PlatformKind();
#pragma GCC diagnostic pop
    PlatformKind kind = fromVersion(version);
    kind.isWow64 = runsInWow64();
    return kind;
}
