#include "fake_pad.h"

#include <gtest/gtest.h>

#include <cstring>

#include "link/device_report.h"

FakePad::FakePad()
{
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    CreatePipe(&read, &write, nullptr, 1 << 16);
    readEnd.reset(read);
    writeEnd.reset(write);
}

FakePad::~FakePad() = default;

HANDLE FakePad::openPad(const char* product)
{
    askedFor = product;
    if (!present)
        return nullptr;
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), writeEnd.get(), GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    return copy;
}

std::vector<Report> FakePad::reports()
{
    std::vector<Report> received;
    DWORD available = 0;
    while (PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr) &&
           available >= sizeof(Report)) {
        Report report;
        DWORD read = 0;
        if (!ReadFile(readEnd.get(), report.data(), sizeof(report), &read, nullptr) || read != sizeof(report))
            break;
        received.push_back(report);
    }
    EXPECT_EQ(available % sizeof(Report), 0u) << "a partial report reached the pad";
    return received;
}

DriverUnderTest::DriverUnderTest(PadEnvironment& pad)
{
    void* object = nullptr;
    EXPECT_EQ(EffectDriver::Create(pad, IID_IDirectInputEffectDriver, &object), S_OK);
    driver = static_cast<IDirectInputEffectDriver*>(object);
}

DriverUnderTest::~DriverUnderTest()
{
    if (driver)
        driver->Release();
}

SettingsKey::SettingsKey(DWORD externalId)
    : id(externalId), path("Software\\OV\\4B7D\\" + std::to_string(externalId))
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
}

SettingsKey::~SettingsKey()
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
    // The parents go only when no other device's key is left (RegDeleteKey refuses a key with subkeys).
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\OV\\4B7D");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\OV");
}

void SettingsKey::set(const char* name, const char* text)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key), ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(strlen(text) + 1));
    RegCloseKey(key);
}

Report commandReport(BYTE code, BYTE value)
{
    Report report = {2, 20, 0, code, value};
    BYTE sum = 0;
    for (size_t i = 0; i < 19; ++i)
        sum = static_cast<BYTE>(sum + report[i]);
    report[19] = static_cast<BYTE>(0x100 - sum);
    return report;
}

bool sumsToZero(const Report& report)
{
    BYTE sum = 0;
    for (BYTE b : report)
        sum = static_cast<BYTE>(sum + b);
    return sum == 0;
}

DIEFFESCAPE escapeOf(DWORD command, void* buffer, DWORD size)
{
    DIEFFESCAPE escape = {};
    escape.dwSize = sizeof(escape);
    escape.dwCommand = command;
    escape.lpvInBuffer = buffer;
    escape.cbInBuffer = size;
    return escape;
}

WORD word(const Report& report, size_t at)
{
    return static_cast<WORD>(report[at] | (report[at + 1] << 8));
}

EffectReport decodeEffect(const Report& report)
{
    EXPECT_TRUE(sumsToZero(report));
    EXPECT_EQ(report[0], 2);
    EXPECT_EQ(report[1], 20);
    EXPECT_NE(report[2], 0) << "a command report where an effect report was expected";
    EXPECT_EQ(report[7] | report[8] | report[9], 0) << "reserved bytes";
    return {report[2],        SHORT(word(report, 3)),  SHORT(word(report, 5)),  word(report, 10),
            word(report, 12), SHORT(word(report, 14)), SHORT(word(report, 16)), report[18]};
}

EffectParams::EffectParams(DWORD durationUs, std::vector<LONG> axisDirections, std::vector<DWORD> axisIds)
{
    static const DWORD defaultAxes[] = {0x01000002, 0x01000102, 0x01000202, 0x01000302};
    effect.dwSize = sizeof(DIEFFECT);
    effect.dwFlags = DIEFF_OBJECTIDS | DIEFF_CARTESIAN;
    effect.dwDuration = durationUs;
    effect.dwGain = 10000;
    effect.cAxes = static_cast<DWORD>(axisDirections.size());
    for (size_t i = 0; i < axisDirections.size() && i < 4; ++i) {
        axes[i] = i < axisIds.size() ? axisIds[i] : defaultAxes[i];
        directions[i] = axisDirections[i];
    }
    effect.rgdwAxes = axes;
    effect.rglDirection = directions;
}

EffectParams& EffectParams::withConstant(LONG magnitude)
{
    constant.lMagnitude = magnitude;
    effect.cbTypeSpecificParams = sizeof(constant);
    effect.lpvTypeSpecificParams = &constant;
    return *this;
}

EffectParams& EffectParams::withRamp(LONG start, LONG end)
{
    ramp.lStart = start;
    ramp.lEnd = end;
    effect.cbTypeSpecificParams = sizeof(ramp);
    effect.lpvTypeSpecificParams = &ramp;
    return *this;
}

EffectParams& EffectParams::withPeriodic(DWORD magnitude, LONG offset, DWORD periodUs, DWORD phase)
{
    periodic = {magnitude, offset, phase, periodUs};
    effect.cbTypeSpecificParams = sizeof(periodic);
    effect.lpvTypeSpecificParams = &periodic;
    return *this;
}

EffectParams& EffectParams::withConditions(size_t count)
{
    effect.cbTypeSpecificParams = static_cast<DWORD>(count * sizeof(DICONDITION));
    effect.lpvTypeSpecificParams = conditions;
    return *this;
}
