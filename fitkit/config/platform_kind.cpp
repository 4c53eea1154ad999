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

PlatformKind PlatformKind::current()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version))
        return PlatformKind();
#pragma GCC diagnostic pop
    return fromVersion(version);
}
