// Median cost of each effect operation with 255 slots in the list and the reports written to NUL,
// against a bare 20-byte WriteFile to NUL. Run: tools/wine-run.sh build/win64/bin/effect_bench.exe
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <x86intrin.h>

#include "engine/effect_driver.h"

#include <mmsystem.h>
#include "link/handles.h"

namespace {

class NulPad : public PadEnvironment {
public:
    DWORD currentTime() override { return timeGetTime(); }
    HANDLE openPad(const char*) override
    {
        HANDLE sink = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        return sink == INVALID_HANDLE_VALUE ? nullptr : sink;
    }
};

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

} // namespace

int main()
{
    NulPad pad;
    void* object = nullptr;
    if (EffectDriver::Create(pad, IID_IDirectInputEffectDriver, &object) != S_OK)
        return 1;
    auto* driver = static_cast<IDirectInputEffectDriver*>(object);
    driver->DeviceID(0x800, 7398, TRUE, 0, nullptr);

    DWORD axes[2] = {0x01000002, 0x01000102};
    LONG directions[2] = {6000, -5000};
    DIPERIODIC sine = {8000, 0, 0, 100000};
    DIEFFECT effect = {};
    effect.dwSize = sizeof(effect);
    effect.dwFlags = DIEFF_OBJECTIDS | DIEFF_CARTESIAN;
    effect.dwDuration = INFINITE;
    effect.cAxes = 2;
    effect.rgdwAxes = axes;
    effect.rglDirection = directions;
    effect.cbTypeSpecificParams = sizeof(sine);
    effect.lpvTypeSpecificParams = &sine;

    // 254 effects; the one measured is the 255th, at the far end of the list.
    for (int i = 0; i < 254; ++i) {
        DWORD id = 0;
        driver->DownloadEffect(0, 0x63, &id, &effect, 0);
    }
    DWORD last = 0;
    const double downloadNew = median(
        [&] {
            last = 0;
            driver->DownloadEffect(0, 0x63, &last, &effect, 0);
        },
        [&] { driver->DestroyEffect(0, 255); });
    const double downloadUpdate = median([&] { driver->DownloadEffect(0, 0x63, &last, &effect, 0); });
    const double start = median([&] { driver->StartEffect(0, last, 0, 1); });
    const double stop =
        median([&] { driver->StopEffect(0, last); }, [&] { driver->StartEffect(0, last, 0, 1); });
    DWORD status = 0;
    const double getStatus = median([&] { driver->GetEffectStatus(0, last, &status); });

    UniqueHandle sink(pad.openPad(""));
    BYTE report[20] = {2, 20};
    const double write = median([&] {
        DWORD written = 0;
        WriteFile(sink.get(), report, sizeof(report), &written, nullptr);
    });
    const double timer = median([] {});

    driver->Release();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\OV\\4B7D\\7398");

    std::printf("median of %d samples, 255 slots, reports to NUL (timer overhead %.0f ns, not subtracted)\n",
                SAMPLES, timer);
    std::printf("%-28s %9s %12s\n", "operation", "ns", "x WriteFile");
    const struct {
        const char* name;
        double ns;
    } rows[] = {{"DownloadEffect (new)", downloadNew},
                {"DownloadEffect (update)", downloadUpdate},
                {"StartEffect", start},
                {"StopEffect", stop},
                {"GetEffectStatus", getStatus},
                {"WriteFile 20 bytes to NUL", write}};
    for (const auto& row : rows)
        std::printf("%-28s %9.0f %12.2f\n", row.name, row.ns, row.ns / write);
    return 0;
}
