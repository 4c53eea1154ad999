// The static C++ runtime's thread library calls GetTickCount64, which Windows XP lacks; importing it
// would keep the program from loading there. This file stands in for the import: the call goes to
// the system's GetTickCount64 where it exists, otherwise to GetTickCount widened to 64 bits.
// It must be linked as an object of the program itself, ahead of the libraries.
#include <windows.h>

namespace {
using TickCount64 = ULONGLONG(WINAPI*)();

ULONGLONG WINAPI widenedTickCount()
{
    // Counts the wraps of the 32-bit counter; the runtime only measures short intervals with it.
    static volatile LONG lastLow = 0;
    static volatile LONG wraps = 0;
    DWORD now = GetTickCount();
    DWORD previous = static_cast<DWORD>(InterlockedExchange(&lastLow, static_cast<LONG>(now)));
    if (now < previous)
        InterlockedIncrement(&wraps);
    return (static_cast<ULONGLONG>(static_cast<DWORD>(wraps)) << 32) | now;
}

ULONGLONG WINAPI tickCount64()
{
    static TickCount64 resolved = nullptr;
    if (!resolved) {
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        TickCount64 system =
            kernel ? reinterpret_cast<TickCount64>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetTickCount64")))
                   : nullptr;
        resolved = system ? system : widenedTickCount;
    }
    return resolved();
}
}  // namespace

extern "C" {
#ifdef _WIN64
TickCount64 importedTickCount64 __asm__("__imp_GetTickCount64") = tickCount64;
#else
TickCount64 importedTickCount64 __asm__("__imp__GetTickCount64@0") = tickCount64;
#endif
}
