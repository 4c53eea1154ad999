#pragma once
// A stand-in for the pad: a clock the test moves and an anonymous pipe whose write end the driver
// gets as its HID handle, so every report arrives exactly as the pad would receive it.
#include <array>
#include <string>
#include <vector>

#include "engine/effect_driver.h"
#include "engine/effect_params.h"

using Report = std::array<BYTE, 20>;

class FakePad : public PadEnvironment {
public:
    FakePad();
    ~FakePad();

    DWORD currentTime() override { return now; }
    HANDLE openPad(const char* product) override;

    // Every report written since the last call.
    std::vector<Report> reports();

    DWORD now = 100000;
    bool present = true;
    std::string askedFor;
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
};

// A driver made by EffectDriver::Create over a FakePad; released at the end of the scope.
class DriverUnderTest {
public:
    explicit DriverUnderTest(PadEnvironment& pad);
    ~DriverUnderTest();
    DriverUnderTest(const DriverUnderTest&) = delete;
    DriverUnderTest& operator=(const DriverUnderTest&) = delete;

    IDirectInputEffectDriver* operator->() const { return driver; }
    EffectDriver& object() const { return *static_cast<EffectDriver*>(driver); }

    IDirectInputEffectDriver* driver = nullptr;
};

// HKLM\Software\OV\4B7D\<id> with the given values; the key goes again at the end of the scope.
class SettingsKey {
public:
    explicit SettingsKey(DWORD externalId);
    ~SettingsKey();
    void set(const char* name, const char* text);

    DWORD id;
    std::string path;
};

// Report bytes for comparisons: id 2, length 20, the given bytes from byte 2 on, zeros, checksum.
Report commandReport(BYTE code, BYTE value);
bool sumsToZero(const Report& report);

DIEFFESCAPE escapeOf(DWORD command, void* buffer = nullptr, DWORD size = 0);

// Reads a little-endian 16-bit field of a report.
WORD word(const Report& report, size_t at);

// The fields of an effect report as the pad reads them.
struct EffectReport {
    BYTE type;
    SHORT paramA, paramB;
    WORD duration, count;
    SHORT paramC, paramD;
    BYTE id;
};
EffectReport decodeEffect(const Report& report);

// A DIEFFECT over caller-owned arrays.
struct EffectParams {
    DIEFFECT effect = {};
    DWORD axes[4] = {};
    LONG directions[4] = {};
    DICONSTANTFORCE constant = {};
    DIRAMPFORCE ramp = {};
    DIPERIODIC periodic = {};
    DICONDITION conditions[2] = {};

    // Axes X (then Y) with the given directions, duration in microseconds.
    EffectParams(DWORD durationUs, std::vector<LONG> axisDirections, std::vector<DWORD> axisIds = {});
    EffectParams(const EffectParams&) = delete; // the structure points into the object itself
    EffectParams& operator=(const EffectParams&) = delete;
    EffectParams& withConstant(LONG magnitude);
    EffectParams& withRamp(LONG start, LONG end);
    EffectParams& withPeriodic(DWORD magnitude, LONG offset, DWORD periodUs, DWORD phase);
    EffectParams& withConditions(size_t count);
    const DIEFFECT* get() const { return &effect; }
};

// Effect type ids of each category with a low byte the pad would know.
constexpr DWORD TYPE_CONSTANT = 0x21;
constexpr DWORD TYPE_RAMP = 0x42;
constexpr DWORD TYPE_SINE = 0x63;
constexpr DWORD TYPE_SPRING = 0x84;
constexpr DWORD TYPE_OTHER = 0xA5;

constexpr DWORD TEST_EXTERNAL_ID = 7301;
