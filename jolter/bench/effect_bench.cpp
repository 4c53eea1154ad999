// Median cost of each effect operation with 255 slots in the list and the reports written to NUL,
// against a bare 20-byte WriteFile to NUL. Run: tools/wine-run.sh build/win64/bin/effect_bench.exe
#include <windows.h>
#include <mmsystem.h>
#include <x86intrin.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "engine/effect_driver.h"
#include "link/handles.h"
#include "link/pad_settings.h"

namespace {

class NulPad : public PadEnvironment {
public:
    DWORD currentTime() override { return timeGetTime(); }
    UniqueHandle openPad(const char*, const WCHAR*) override
    {
        return UniqueHandle(CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    }
};

constexpr DWORD EXTERNAL_ID = 7398;

const int SAMPLES = 20001;

// The time-stamp counter, calibrated against the performance counter: the latter ticks only every
// 100 ns under Wine, coarser than one operation.
double nsPerTick()
{
    LARGE_INTEGER frequency, begin, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    const unsigned long long ticks = __rdtsc();
    Sleep(200);
    QueryPerformanceCounter(&end);
    const double ns = (end.QuadPart - begin.QuadPart) * 1e9 / frequency.QuadPart;
    return ns / static_cast<double>(__rdtsc() - ticks);
}

double nowNs()
{
    static const double scale = nsPerTick();
    return static_cast<double>(__rdtsc()) * scale;
}

// Median nanoseconds of `operation`, each sample preceded by an untimed `prepare`.
double median(
    const std::function<void()>& operation, const std::function<void()>& prepare = [] {})
{
    std::vector<double> samples(SAMPLES);
    for (double& sample : samples) {
        prepare();
        const double start = nowNs();
        operation();
        sample = nowNs() - start;
    }
    std::nth_element(samples.begin(), samples.begin() + SAMPLES / 2, samples.end());
    return samples[SAMPLES / 2];
}

struct Row {
    const char* name;
    double ns;
};

// A short sine on X and Y that never ends, over the caller's arrays.
DIEFFECT sineEffect(DWORD* axes, LONG* directions, DIPERIODIC* sine)
{
    axes[0] = 0x01000002;
    axes[1] = 0x01000102;
    directions[0] = 6000;
    directions[1] = -5000;
    *sine = {8000, 0, 0, 100000};
    DIEFFECT effect = {};
    effect.dwSize = sizeof(effect);
    effect.dwFlags = DIEFF_OBJECTIDS | DIEFF_CARTESIAN;
    effect.dwDuration = INFINITE;
    effect.cAxes = 2;
    effect.rgdwAxes = axes;
    effect.rglDirection = directions;
    effect.cbTypeSpecificParams = sizeof(*sine);
    effect.lpvTypeSpecificParams = sine;
    return effect;
}

// Each effect operation with 254 effects downloaded; the one measured is the 255th, at the far end
// of the list.
std::vector<Row> measureOperations(IDirectInputEffectDriver* driver)
{
    DWORD axes[2];
    LONG directions[2];
    DIPERIODIC sine;
    DIEFFECT effect = sineEffect(axes, directions, &sine);
    for (int i = 0; i < 254; ++i) {
        DWORD id = 0;
        driver->DownloadEffect(0, 0x63, &id, &effect, 0);
    }
    DWORD last = 0;
    DWORD status = 0;
    auto downloadNew = [&] {
        last = 0;
        driver->DownloadEffect(0, 0x63, &last, &effect, 0);
    };
    return {{"DownloadEffect (new)", median(downloadNew, [&] { driver->DestroyEffect(0, 255); })},
            {"DownloadEffect (update)", median([&] { driver->DownloadEffect(0, 0x63, &last, &effect, 0); })},
            {"StartEffect", median([&] { driver->StartEffect(0, last, 0, 1); })},
            {"StopEffect",
             median([&] { driver->StopEffect(0, last); }, [&] { driver->StartEffect(0, last, 0, 1); })},
            {"GetEffectStatus", median([&] { driver->GetEffectStatus(0, last, &status); })}};
}

// The floor: one bare 20-byte write to NUL.
double measureWrite(NulPad& pad)
{
    const UniqueHandle sink = pad.openPad("", nullptr);
    BYTE report[20] = {2, 20};
    return median([&] {
        DWORD written = 0;
        WriteFile(sink.get(), report, sizeof(report), &written, nullptr);
    });
}

} // namespace

int main()
{
    NulPad pad;
    void* object = nullptr;
    if (EffectDriver::create(pad, ModuleCounter{}, IID_IDirectInputEffectDriver, &object) != S_OK)
        return 1;
    auto* driver = static_cast<IDirectInputEffectDriver*>(object);
    driver->DeviceID(0x800, EXTERNAL_ID, TRUE, 0, nullptr);
    std::vector<Row> rows = measureOperations(driver);
    const double write = measureWrite(pad);
    rows.push_back({"WriteFile 20 bytes to NUL", write});
    const double timer = median([] {});
    driver->Release();
    char key[64];
    snprintf(key, sizeof(key), SETTINGS_KEY_FORMAT, static_cast<int>(EXTERNAL_ID));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);

    std::printf("median of %d samples, 255 slots, reports to NUL (timer overhead %.0f ns, not subtracted)\n",
                SAMPLES, timer);
    std::printf("%-28s %9s %12s\n", "operation", "ns", "x WriteFile");
    for (const Row& row : rows)
        std::printf("%-28s %9.0f %12.2f\n", row.name, row.ns, row.ns / write);
    return 0;
}
