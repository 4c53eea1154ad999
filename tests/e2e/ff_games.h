// The stand-in force-feedback game (tests/support/ff_game) of either build, run to its end against
// the pad's driver package: it reaches jolter through the package's registrations, as a game's
// DirectInput does.
#pragma once

#include <string>

struct FfGameRun {
    unsigned long exitCode = ~0ul;
    std::string dll;     // the module that served the driver object
    std::string machine; // its PE machine type: 0x014c (x86) or 0x8664 (x64)
    std::string result;  // "ok" or the step that failed
};

// bits: 32 for the 32-bit build's game (beside the 32-bit build's programs), 64 for this build's.
FfGameRun runFfGame(int bits, unsigned long externalId);
