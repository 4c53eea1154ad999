#include "tests/fake_pad.h"

FakePad::FakePad()
{
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    CreatePipe(&read, &write, nullptr, 1 << 16);
    readEnd.reset(read);
    writeEnd.reset(write);
}

UniqueHandle FakePad::openPad(const char* product, const WCHAR* given)
{
    askedFor = product;
    givenPath = given ? given : L"";
    HANDLE copy = nullptr;
    if (present)
        DuplicateHandle(GetCurrentProcess(), writeEnd.get(), GetCurrentProcess(), &copy, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
    return UniqueHandle(copy);
}

std::vector<Report> FakePad::reports()
{
    std::vector<Report> received;
    DWORD available = 0;
    while (PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr) &&
           available >= REPORT_SIZE) {
        Report report(REPORT_SIZE);
        DWORD read = 0;
        if (!ReadFile(readEnd.get(), report.data(), REPORT_SIZE, &read, nullptr) || read != REPORT_SIZE)
            break;
        received.push_back(report);
    }
    EXPECT_EQ(available % REPORT_SIZE, 0u) << "a partial report reached the pad";
    return received;
}

DriverUnderTest::DriverUnderTest(PadEnvironment& pad, ModuleCounter counter)
{
    void* object = nullptr;
    EXPECT_EQ(EffectDriver::create(pad, counter, IID_IDirectInputEffectDriver, &object), S_OK);
    driver = static_cast<IDirectInputEffectDriver*>(object);
}

DriverUnderTest::~DriverUnderTest()
{
    if (driver)
        driver->Release();
}

void DriverUnderTest::bind(const SettingsKey& settings, FakePad& pad)
{
    ASSERT_EQ(driver->DeviceID(0x800, settings.id, TRUE, 0, nullptr), S_OK);
    pad.reports();
}

DWORD DriverUnderTest::download(const EffectParams& params, DWORD type, DWORD flags)
{
    return downloadOver(0, params.get(), type, flags, S_OK);
}

DWORD DriverUnderTest::downloadOver(DWORD id, const DIEFFECT* params, DWORD type, DWORD flags, HRESULT result)
{
    const DWORD given = id;
    EXPECT_EQ(driver->DownloadEffect(0, type, &id, params, flags), result) << "effect " << given;
    return id;
}

DWORD DriverUnderTest::downloadConstant(DWORD durationUs, LONG magnitude, DWORD flags, HRESULT result)
{
    EffectParams params(durationUs, {10000});
    params.withConstant(magnitude);
    return downloadOver(0, params.get(), TYPE_CONSTANT, flags, result);
}

DWORD DriverUnderTest::started(DWORD durationUs, LONG magnitude, DWORD iterations)
{
    const DWORD id = downloadConstant(durationUs, magnitude);
    EXPECT_EQ(driver->StartEffect(0, id, 0, iterations), S_OK) << "effect " << id;
    return id;
}

HRESULT DriverUnderTest::reloadSettings()
{
    DIEFFESCAPE reload = escapeOf(ESCAPE_RELOAD_SETTINGS);
    return driver->Escape(0, 0, &reload);
}

DWORD DriverUnderTest::status(DWORD id)
{
    DWORD value = 0xDEAD;
    EXPECT_EQ(driver->GetEffectStatus(0, id, &value), S_OK) << "effect " << id;
    return value;
}

DIDEVICESTATE DriverUnderTest::state()
{
    DIDEVICESTATE value = {sizeof(value), 0xDEAD, 0xDEAD};
    EXPECT_EQ(driver->GetForceFeedbackState(0, &value), S_OK);
    return value;
}

std::vector<DWORD> DriverUnderTest::ids()
{
    std::vector<DWORD> known;
    for (DWORD id = 1; id <= 255; ++id) {
        DWORD status = 0;
        if (driver->GetEffectStatus(0, id, &status) == S_OK)
            known.push_back(id);
    }
    return known;
}

void DriverTest::expectEndsIn(DWORD id, DWORD ms)
{
    pad.now += ms - 1;
    EXPECT_EQ(driver.status(id), SLOT_PLAYING) << "effect " << id << ", 1 ms before its end";
    pad.now += 1;
    EXPECT_EQ(driver.status(id), 0u) << "effect " << id << " at its end";
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

void expectConsistentSlots(DriverUnderTest& driver)
{
    const std::vector<DWORD> known = driver.ids();
    EXPECT_EQ(driver.state().dwLoad, known.size() * 100 / 255);
    for (DWORD id : known)
        EXPECT_EQ(driver->DestroyEffect(0, id), S_OK);
    EXPECT_EQ(driver.state().dwLoad, 0u);
    for (DWORD expected = 1; expected <= 3; ++expected)
        EXPECT_EQ(driver.downloadConstant(1000, 1), expected) << "a slot outlived its id";
}
