// Several threads drive one driver at once, as DirectInput may: the slot list stays ordered and
// every report reaches the pad whole, with its checksum.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "fake_pad.h"

namespace {

// The system clock and a pipe whose far end a reader thread drains.
class SharedPad : public PadEnvironment {
public:
    SharedPad()
    {
        HANDLE read = nullptr;
        HANDLE write = nullptr;
        CreatePipe(&read, &write, nullptr, 4096);
        readEnd.reset(read);
        writeEnd.reset(write);
    }
    DWORD currentTime() override { return GetTickCount(); }
    HANDLE openPad(const char*) override
    {
        HANDLE copy = nullptr;
        DuplicateHandle(GetCurrentProcess(), writeEnd.get(), GetCurrentProcess(), &copy, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
        return copy;
    }
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
};

void drive(IDirectInputEffectDriver* driver, unsigned seed, DWORD until)
{
    std::mt19937 random(seed);
    auto pick = [&](DWORD n) { return static_cast<DWORD>(random() % n); };
    while (GetTickCount() < until) {
        DWORD id = 1 + pick(40);
        switch (pick(12)) {
        case 0:
        case 1: {
            EffectParams params(pick(2) ? INFINITE : pick(300000), {LONG(pick(20000)) - 10000, 3000});
            params.withPeriodic(pick(10000), 0, pick(500000), 0);
            DWORD effect = pick(3) ? 0 : id;
            driver->DownloadEffect(0, pick(2) ? TYPE_SINE : TYPE_CONSTANT, &effect, params.get(),
                                   pick(2) ? DIEP_START : 0);
            break;
        }
        case 2:
            driver->StartEffect(0, id, pick(4) ? 0 : DIES_SOLO, 1 + pick(3));
            break;
        case 3:
            driver->StopEffect(0, id);
            break;
        case 4:
            driver->DestroyEffect(0, id);
            break;
        case 5: {
            DWORD status = 0;
            driver->GetEffectStatus(0, id, &status);
            break;
        }
        case 6:
            driver->SetGain(0, pick(10001));
            break;
        case 7: {
            static const DWORD commands[] = {DISFFC_STOPALL,        DISFFC_PAUSE,           DISFFC_CONTINUE,
                                             DISFFC_SETACTUATORSON, DISFFC_SETACTUATORSOFF, DISFFC_RESET};
            driver->SendForceFeedbackCommand(0, commands[pick(pick(20) ? 5 : 6)]);
            break;
        }
        case 8: {
            BYTE raw[20] = {2, 20, 0, 3, BYTE(pick(256))};
            DIEFFESCAPE escape = escapeOf(ESCAPE_RAW_REPORT, raw, sizeof(raw));
            driver->Escape(0, 0, &escape);
            break;
        }
        case 9: {
            DIEFFESCAPE escape = escapeOf(ESCAPE_RELOAD_SETTINGS);
            driver->Escape(0, 0, &escape);
            break;
        }
        case 10: {
            DIDEVICESTATE state = {sizeof(state), 0, 0};
            driver->GetForceFeedbackState(0, &state);
            break;
        }
        default: {
            EffectParams params(1000000, {5000});
            params.withConstant(LONG(pick(20000)) - 10000);
            DWORD effect = 0;
            driver->DownloadEffect(0, TYPE_CONSTANT, &effect, params.get(), 0);
            break;
        }
        }
    }
}

TEST(Concurrency, ThreadsSharingOneDriverKeepItsSlotsAndReportsWhole)
{
    SettingsKey settings(TEST_EXTERNAL_ID + 10);
    SharedPad pad;
    void* object = nullptr;
    ASSERT_EQ(EffectDriver::Create(pad, IID_IDirectInputEffectDriver, &object), S_OK);
    auto* driver = static_cast<IDirectInputEffectDriver*>(object);
    auto& engine = *static_cast<EffectDriver*>(driver);

    std::atomic<long> reports{0};
    std::atomic<long> broken{0};
    std::thread reader([&] {
        Report report;
        DWORD read = 0;
        while (ReadFile(pad.readEnd.get(), report.data(), sizeof(report), &read, nullptr) &&
               read == sizeof(report)) {
            ++reports;
            if (report[0] != 2 || report[1] != 20 || !sumsToZero(report))
                ++broken;
        }
    });

    ASSERT_EQ(driver->DeviceID(0x800, settings.id, TRUE, 0, nullptr), S_OK);
    const DWORD until = GetTickCount() + 3000;
    std::vector<std::thread> callers;
    for (unsigned seed = 1; seed <= 4; ++seed)
        callers.emplace_back(drive, driver, seed, until);
    for (auto& caller : callers)
        caller.join();

    // The list is still ascending, ids 1..255, and the load agrees with it.
    size_t count = 0;
    DWORD previous = 0;
    for (EffectSlot* slot = engine.effects.head(); slot; slot = slot->next, ++count) {
        EXPECT_GT(slot->id, previous);
        EXPECT_LE(slot->id, 255u);
        previous = slot->id;
    }
    DIDEVICESTATE state = {sizeof(state), 0, 0};
    ASSERT_EQ(driver->GetForceFeedbackState(0, &state), S_OK);
    EXPECT_EQ(state.dwLoad, count * 100 / 255);

    driver->Release();
    pad.writeEnd.reset(); // last write end: the reader sees the pipe close
    reader.join();
    EXPECT_GT(reports.load(), 1000);
    EXPECT_EQ(broken.load(), 0);
}

} // namespace
