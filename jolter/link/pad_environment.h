#pragma once
// What an EffectDriver takes from its surroundings: the millisecond clock and the search for the
// pad. The class factory hands every driver the system's own; tests hand in a clock they move and
// a pipe in place of the pad.
#include <windows.h>

#include "link/handles.h"

class PadEnvironment {
public:
    // Milliseconds, wrapping like timeGetTime.
    virtual DWORD currentTime() = 0;
    // An open handle of the pad whose product string begins with `product`: the device at the
    // `given` interface path when it is such a pad, else the first one found; none when there is none.
    virtual UniqueHandle openPad(const char* product, const WCHAR* given) = 0;

protected:
    ~PadEnvironment() = default;
};

// timeGetTime and findPadDevice.
PadEnvironment& systemEnvironment();
