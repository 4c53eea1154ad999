// The posix-threads runtime (winpthreads) imports GetTickCount64, which Windows XP lacks, and the
// loader would refuse the whole program. This object fills that import slot itself: the real
// function where the system has it, else GetTickCount widened to 64 bits.
#include <windows.h>

namespace {
typedef ULONGLONG(WINAPI* TickCount64Fn)();

ULONGLONG WINAPI widenedTickCount()
{
    static volatile LONG high;
    static volatile LONG last;
    DWORD now = GetTickCount();
    DWORD previous = static_cast<DWORD>(InterlockedExchange(&last, static_cast<LONG>(now)));
    // A real wrap jumps back by almost 2^32; a small step back is only a racing caller.
    if (now < previous && previous - now > 0x80000000u)
        InterlockedIncrement(&high);
    return (static_cast<ULONGLONG>(static_cast<DWORD>(high)) << 32) | now;
}

ULONGLONG WINAPI tickCount64()
{
    static TickCount64Fn resolved;
    if (!resolved) {
        FARPROC real = GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64");
        resolved =
            real ? reinterpret_cast<TickCount64Fn>(reinterpret_cast<void (*)()>(real)) : widenedTickCount;
    }
    return resolved();
}
} // namespace

#ifdef _WIN64
#define TICK_COUNT64_SLOT "__imp_GetTickCount64"
#else
#define TICK_COUNT64_SLOT "__imp__GetTickCount64@0"
#endif
extern "C" TickCount64Fn tickCount64Slot __asm__(TICK_COUNT64_SLOT);
TickCount64Fn tickCount64Slot = tickCount64;
