#pragma once
// A stand-in for the pad: a clock the test moves and an anonymous pipe whose write end the driver
// gets as its HID handle, so every report arrives exactly as the pad would receive it. The suites
// over it take GoogleTest, the platform, strings and vectors from here.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/effect_driver.h"
#include "pad_reports/pad_reports.h"
#include "tests/effect_builder.h"
#include "tests/settings_key.h"

using Reports = std::vector<Report>;

constexpr DWORD TEST_EXTERNAL_ID = 7301;

class FakePad : public PadEnvironment {
public:
    FakePad();

    DWORD currentTime() override { return now; }
    UniqueHandle openPad(const char* product, const WCHAR* given) override;

    // Every report written since the last call.
    std::vector<Report> reports();

    DWORD now = 100000;
    bool present = true;
    std::string askedFor;
    std::wstring givenPath; // the interface path the driver passed on; empty for none
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
};

// A driver made by EffectDriver::create over a pad; released at the end of the scope.
class DriverUnderTest {
public:
    explicit DriverUnderTest(PadEnvironment& pad, ModuleCounter counter = {});
    // Takes over a driver made elsewhere (the DLL's class factory).
    explicit DriverUnderTest(IDirectInputEffectDriver* made) : driver(made) {}
    ~DriverUnderTest();
    DriverUnderTest(const DriverUnderTest&) = delete;
    DriverUnderTest& operator=(const DriverUnderTest&) = delete;

    IDirectInputEffectDriver* operator->() const { return driver; }

    // Binds the driver to the device of `settings` and forgets the reset's reports.
    void bind(const SettingsKey& settings, FakePad& pad);
    // Downloads `params` and returns the new id, 0 when refused.
    DWORD download(const EffectParams& params, DWORD type = TYPE_CONSTANT, DWORD flags = 0);
    // Downloads `params` over effect `id` (0: a new one) and expects `result`; returns the id handed back.
    DWORD downloadOver(DWORD id, const DIEFFECT* params, DWORD type, DWORD flags, HRESULT result);
    // Downloads a constant force on X alone.
    DWORD downloadConstant(DWORD durationUs = 1000000, LONG magnitude = 5000, DWORD flags = 0,
                           HRESULT result = S_OK);
    // Downloads a constant force on X alone and starts it with StartEffect.
    DWORD started(DWORD durationUs = 1000000, LONG magnitude = 5000, DWORD iterations = 1);
    HRESULT reloadSettings();
    // The status word of a known effect.
    DWORD status(DWORD id);
    DIDEVICESTATE state();
    // The ids 1..255 the driver knows, in ascending order.
    std::vector<DWORD> ids();

    IDirectInputEffectDriver* driver = nullptr;
};

// A driver over a fake pad with the settings key of TEST_EXTERNAL_ID.
class DriverTest : public ::testing::Test {
protected:
    SettingsKey settings{TEST_EXTERNAL_ID};
    FakePad pad;
    DriverUnderTest driver{pad};

    // Moves the clock to 1 ms before `ms` from now, where effect `id` still plays, and then to `ms`,
    // where it has ended.
    void expectEndsIn(DWORD id, DWORD ms);
};

DIEFFESCAPE escapeOf(DWORD command, void* buffer = nullptr, DWORD size = 0);

// After a hostile or concurrent run: the ids the driver knows agree with its load, and once they are
// destroyed no slot is left (new downloads start again at id 1).
void expectConsistentSlots(DriverUnderTest& driver);
