// Several threads drive one driver at once, as DirectInput may: its slots stay consistent and
// every report reaches the pad whole, with its checksum.

#include <atomic>
#include <random>
#include <thread>

#include "tests/fake_pad.h"

namespace {

// The system clock, and the pipe whose far end a reader thread drains.
class SharedPad : public FakePad {
public:
    DWORD currentTime() override { return GetTickCount(); }
};

const DWORD COMMANDS[] = {DISFFC_STOPALL,        DISFFC_PAUSE,           DISFFC_CONTINUE,
                          DISFFC_SETACTUATORSON, DISFFC_SETACTUATORSOFF, DISFFC_RESET};

// One of DirectInput's threads: random calls on ids 1 to 40 until `until`.
class Caller {
public:
    Caller(IDirectInputEffectDriver* driver, unsigned seed) : driver_(driver), random_(seed) {}

    void run(DWORD until)
    {
        while (GetTickCount() < until)
            step(1 + pick(40));
    }

private:
    DWORD pick(DWORD n) { return static_cast<DWORD>(random_() % n); }

    void download(DWORD id)
    {
        EffectParams params(pick(2) ? INFINITE : pick(300000), {LONG(pick(20000)) - 10000, 3000});
        params.withPeriodic(pick(10000), 0, pick(500000), 0);
        DWORD effect = pick(3) ? 0 : id;
        driver_->DownloadEffect(0, pick(2) ? TYPE_SINE : TYPE_CONSTANT, &effect, params.get(),
                                pick(2) ? DIEP_START : 0);
    }

    // One call of eleven, three of them downloads; what a call writes out goes to the caller's own fields.
    void step(DWORD id)
    {
        using Call = void (*)(Caller&, DWORD);
        static const Call calls[] = {
            [](Caller& c, DWORD id) { c.download(id); },
            [](Caller& c, DWORD id) { c.download(id); },
            [](Caller& c, DWORD id) {
                c.driver_->StartEffect(0, id, c.pick(4) ? 0 : DIES_SOLO, 1 + c.pick(3));
            },
            [](Caller& c, DWORD id) { c.driver_->StopEffect(0, id); },
            [](Caller& c, DWORD id) { c.driver_->DestroyEffect(0, id); },
            [](Caller& c, DWORD id) { c.driver_->GetEffectStatus(0, id, &c.status_); },
            [](Caller& c, DWORD) { c.driver_->SetGain(0, c.pick(10001)); },
            // Reset is among the commands to pick from one time in twenty.
            [](Caller& c, DWORD) {
                c.driver_->SendForceFeedbackCommand(0, COMMANDS[c.pick(c.pick(20) ? 5 : 6)]);
            },
            [](Caller& c, DWORD) { c.escape(); },
            [](Caller& c, DWORD) { c.driver_->GetForceFeedbackState(0, &c.state_); },
            [](Caller& c, DWORD) { c.download(0); },
        };
        calls[pick(11)](*this, id);
    }

    void escape()
    {
        BYTE raw[20] = {2, 20, 0, 3, BYTE(pick(256))};
        DIEFFESCAPE rawEscape = escapeOf(ESCAPE_RAW_REPORT, raw, sizeof(raw));
        DIEFFESCAPE reload = escapeOf(ESCAPE_RELOAD_SETTINGS);
        driver_->Escape(0, 0, pick(2) ? &rawEscape : &reload);
    }

    IDirectInputEffectDriver* driver_;
    std::mt19937 random_;
    DWORD status_ = 0;
    DIDEVICESTATE state_ = {sizeof(DIDEVICESTATE), 0, 0};
};

TEST(Concurrency, ThreadsSharingOneDriverKeepItsSlotsAndReportsWhole)
{
    SettingsKey settings(TEST_EXTERNAL_ID + 10);
    SharedPad pad;
    DriverUnderTest driver(pad);

    std::atomic<long> reports{0};
    std::atomic<long> broken{0};
    std::thread reader([&] {
        Report report(REPORT_SIZE);
        DWORD read = 0;
        while (ReadFile(pad.readEnd.get(), report.data(), REPORT_SIZE, &read, nullptr) &&
               read == REPORT_SIZE) {
            ++reports;
            if (report[0] != 2 || report[1] != 20 || !sumsToZero(report))
                ++broken;
        }
    });

    ASSERT_EQ(driver->DeviceID(0x800, settings.id, TRUE, 0, nullptr), S_OK);
    const DWORD until = GetTickCount() + 3000;
    std::vector<std::thread> callers;
    for (unsigned seed = 1; seed <= 4; ++seed)
        callers.emplace_back([&driver, seed, until] { Caller(driver.driver, seed).run(until); });
    for (auto& caller : callers)
        caller.join();
    expectConsistentSlots(driver);

    driver->DeviceID(0x800, settings.id, FALSE, 0, nullptr);
    pad.writeEnd.reset(); // last write end: the reader sees the pipe close
    reader.join();
    EXPECT_GT(reports.load(), 1000);
    EXPECT_EQ(broken.load(), 0);
}

} // namespace
