#pragma once
// Random and hostile calls into an effect driver: DIEFFECT structures with absurd counts, missing
// arrays and short type-specific blocks, and raw escape buffers of every length. Every structure and
// buffer ends flush against a no-access page, so a read or write past what the caller passed faults
// at once.
#include <cstdint>
#include <string>

#include "link/direct_input.h"
#include "link/pad_environment.h"

// A clock that moves by random steps (wrapping included) and a pad that swallows every report.
class SinkPad : public PadEnvironment {
public:
    SinkPad();
    ~SinkPad();
    DWORD currentTime() override { return now; }
    UniqueHandle openPad(const char* product, const WCHAR* given) override;

    DWORD now = 0;
};

struct FuzzCounts {
    long calls = 0;
    long ok = 0;
    long refused = 0;     // S_FALSE
    long outOfMemory = 0; // DIERR_OUTOFMEMORY
};

// Runs `operations` random calls against `driver` with `seed`. Returns false and describes the
// first call whose result is neither S_OK, S_FALSE nor DIERR_OUTOFMEMORY, or that handed back an
// effect id outside 0..255.
bool fuzzDriver(IDirectInputEffectDriver* driver, SinkPad& pad, uint32_t seed, long operations,
                FuzzCounts& counts, std::string& failure);
