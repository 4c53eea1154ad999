// Long fuzz run: effect_fuzz [seed] [operations]. Prints the counts; exits 1 on a bad result. A read
// or write outside the buffers passed faults and ends the program.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/effect_driver.h"
#include "fuzz/hostile_input.h"

int main(int argc, char** argv)
{
    const uint32_t seed =
        argc > 1 ? static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 0)) : GetTickCount();
    const long operations = argc > 2 ? std::strtol(argv[2], nullptr, 0) : 2000000;

    SinkPad pad;
    void* object = nullptr;
    if (EffectDriver::Create(pad, IID_IDirectInputEffectDriver, &object) != S_OK)
        return 2;
    auto* driver = static_cast<IDirectInputEffectDriver*>(object);
    driver->DeviceID(0x800, 7399, TRUE, 0, nullptr);

    FuzzCounts counts;
    std::string failure;
    const DWORD start = GetTickCount();
    const bool passed = fuzzDriver(driver, pad, seed, operations, counts, failure);
    const DWORD elapsed = GetTickCount() - start;
    driver->Release();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\OV\\4B7D\\7399");

    std::printf("seed %u: %ld calls in %lu ms: %ld S_OK, %ld S_FALSE, %ld errors\n", seed, counts.calls,
                static_cast<unsigned long>(elapsed), counts.ok, counts.refused, counts.failed);
    if (!passed) {
        std::printf("FAILED: %s\n", failure.c_str());
        return 1;
    }
    return 0;
}
