#pragma once
// Which Windows family the setup runs on; install and state detection branch on these flags.
#include <windows.h>

struct PlatformKind {
    bool isWin9x = false; // Windows 95 and 98
    bool isWinMe = false; // Windows Me: same paths as no flag at all
    bool isNt5 = false;   // NT 5 and later: device properties, root devices, PNF files
    bool isWow64 = false; // a 32-bit process on 64-bit Windows: driver installs are refused

    // Classifies a version record as GetVersionExA fills it.
    static PlatformKind fromVersion(const OSVERSIONINFOA& version);
    // Classifies the running system and process.
    static PlatformKind current();
    // Whether this process is a 32-bit one on 64-bit Windows (IsWow64Process, where the system has it).
    static bool runsInWow64();
};
