// Long fuzz run: effect_fuzz [seed] [operations]. Prints the counts; exits 1 on any result other
// than S_OK, S_FALSE or DIERR_OUTOFMEMORY. A read or write outside the buffers passed faults and
// ends the program.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/effect_driver.h"
#include "fuzz/hostile_input.h"
#include "link/pad_settings.h"

namespace {

constexpr DWORD EXTERNAL_ID = 7399;

} // namespace

int main(int argc, char** argv)
{
    const uint32_t seed =
        argc > 1 ? static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 0)) : GetTickCount();
    const long operations = argc > 2 ? std::strtol(argv[2], nullptr, 0) : 2000000;

    SinkPad pad;
    void* object = nullptr;
    if (EffectDriver::create(pad, ModuleCounter{}, IID_IDirectInputEffectDriver, &object) != S_OK)
        return 2;
    auto* driver = static_cast<IDirectInputEffectDriver*>(object);
    driver->DeviceID(0x800, EXTERNAL_ID, TRUE, 0, nullptr);

    FuzzCounts counts;
    std::string failure;
    const DWORD start = GetTickCount();
    const bool passed = fuzzDriver(driver, pad, seed, operations, counts, failure);
    const DWORD elapsed = GetTickCount() - start;
    driver->Release();
    char key[64];
    snprintf(key, sizeof(key), SETTINGS_KEY_FORMAT, static_cast<int>(EXTERNAL_ID));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);

    std::printf("seed %u: %ld calls in %lu ms: %ld S_OK, %ld S_FALSE, %ld DIERR_OUTOFMEMORY\n", seed,
                counts.calls, static_cast<unsigned long>(elapsed), counts.ok, counts.refused,
                counts.outOfMemory);
    if (!passed) {
        std::printf("FAILED: %s\n", failure.c_str());
        return 1;
    }
    return 0;
}
