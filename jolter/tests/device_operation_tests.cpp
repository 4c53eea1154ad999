// DeviceID, gain, escapes, device commands and device state, observed on the pipe the pad reads.
#include <gtest/gtest.h>

#include "fake_pad.h"

namespace {

class DeviceOperations : public ::testing::Test {
protected:
    void bind() { ASSERT_EQ(driver->DeviceID(0x800, TEST_EXTERNAL_ID, TRUE, 0, nullptr), S_OK); }
    DWORD download(DWORD durationUs = 1000000)
    {
        EffectParams params(durationUs, {10000});
        params.withConstant(5000);
        DWORD id = 0;
        EXPECT_EQ(driver->DownloadEffect(0, TYPE_CONSTANT, &id, params.get(), 0), S_OK);
        return id;
    }
    DWORD status(DWORD id)
    {
        DWORD value = 0xDEAD;
        EXPECT_EQ(driver->GetEffectStatus(0, id, &value), S_OK);
        return value;
    }
    DIDEVICESTATE state()
    {
        DIDEVICESTATE value = {sizeof(value), 0xDEAD, 0xDEAD};
        EXPECT_EQ(driver->GetForceFeedbackState(0, &value), S_OK);
        return value;
    }

    SettingsKey settings{TEST_EXTERNAL_ID};
    FakePad pad;
    DriverUnderTest driver{pad};
};

TEST_F(DeviceOperations, BindingReadsTheSettingsOpensThePadAndResetsIt)
{
    settings.set("AUTOCENTER", "7");
    settings.set("FFGAIN", "50");
    bind();
    EXPECT_EQ(pad.askedFor, "KPX240");
    EXPECT_EQ(pad.reports(),
              (std::vector<Report>{commandReport(2, 0), commandReport(3, 7), commandReport(1, 50)}));
    // The reset report in full, checksum included.
    EXPECT_EQ(commandReport(2, 0), (Report{2, 20, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 232}));
    EXPECT_EQ(state().dwState, DWORD(DIGFFS_EMPTY | DIGFFS_ACTUATORSON));
}

TEST_F(DeviceOperations, SettingsTakeTheirDefaultsAndParseLikeDecimalText)
{
    // A missing key gives AUTOCENTER 4 and FFGAIN 80.
    bind();
    EXPECT_EQ(pad.reports(),
              (std::vector<Report>{commandReport(2, 0), commandReport(3, 4), commandReport(1, 80)}));

    struct Case {
        const char* text;
        LONG enabled;
    } cases[] = {{"0", 0}, {"2", 0}, {"yes", 0}, {"1", 1}, {" +1", 1}, {"\t1x", 1}, {"-1", 0}, {"", 0}};
    for (const Case& c : cases) {
        settings.set("FFENABLED", c.text);
        bind();
        EXPECT_EQ(driver.object().ffEnabled, c.enabled) << '"' << c.text << '"';
    }
    settings.set("FFGAIN", "  -0012abc");
    bind();
    EXPECT_EQ(driver.object().ffGain, -12);
}

TEST_F(DeviceOperations, SettingsValueThatFillsTheBufferWithoutTerminatorIsParsedWithinIt)
{
    std::string digits(259, ' ');
    digits += '7'; // 260 bytes, no terminator stored
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, settings.path.c_str(), &key), ERROR_SUCCESS);
    RegSetValueExA(key, "AUTOCENTER", 0, REG_BINARY, reinterpret_cast<const BYTE*>(digits.data()), 260);
    std::string tooLong(300, '9');
    RegSetValueExA(key, "FFGAIN", 0, REG_SZ, reinterpret_cast<const BYTE*>(tooLong.c_str()), 301);
    RegCloseKey(key);
    bind();
    // FFGAIN does not fit the buffer: default 80.
    EXPECT_EQ(driver.object().ffGain, 80);
    EXPECT_EQ(pad.reports(),
              (std::vector<Report>{commandReport(2, 0), commandReport(3, 7), commandReport(1, 80)}));
}

TEST_F(DeviceOperations, GainByteIsTheLowByteOfTheScaledProduct)
{
    settings.set("FFGAIN", "80");
    bind();
    pad.reports();
    EXPECT_EQ(driver->SetGain(0, 5000), S_OK);
    settings.set("FFGAIN", "300");
    EXPECT_EQ(driver->SetGain(0, 10000), S_OK); // ffGain is read only at binding and reload
    DIEFFESCAPE reload = escapeOf(ESCAPE_RELOAD_SETTINGS);
    EXPECT_EQ(driver->Escape(0, 0, &reload), S_OK);
    EXPECT_EQ(pad.reports(), (std::vector<Report>{commandReport(1, 40), commandReport(1, 80),
                                                  commandReport(3, 4), commandReport(1, 44)}));
    EXPECT_EQ(driver.object().deviceGain, 10000u);
}

TEST_F(DeviceOperations, ResetFreesEverySlot)
{
    bind();
    for (int i = 0; i < 3; ++i)
        download();
    pad.reports();
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_RESET), S_OK);
    EXPECT_EQ(pad.reports(),
              (std::vector<Report>{commandReport(2, 0), commandReport(3, 4), commandReport(1, 80)}));
    EXPECT_EQ(state().dwState, 0x11u);
    EXPECT_EQ(state().dwLoad, 0u);
    DWORD untouched = 0xDEAD;
    EXPECT_EQ(driver->GetEffectStatus(0, 1, &untouched), S_FALSE);
    EXPECT_EQ(untouched, 0xDEADu);
}

TEST_F(DeviceOperations, StopAllStopsEffectsAndTurnsAutocenterOffUntilReset)
{
    bind();
    DWORD id = download();
    ASSERT_EQ(driver->StartEffect(0, id, 0, 1), S_OK);
    pad.reports();
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_STOPALL), S_OK);
    EXPECT_EQ(pad.reports(), (std::vector<Report>{commandReport(0, 0), commandReport(3, 0)}));
    EXPECT_EQ(status(id), 0u);
    EXPECT_EQ(state().dwState, DWORD(DIGFFS_EMPTY | DIGFFS_ACTUATORSON | DIGFFS_STOPPED));

    // With autocenter off the reload sends only the gain.
    DIEFFESCAPE reload = escapeOf(ESCAPE_RELOAD_SETTINGS);
    EXPECT_EQ(driver->Escape(0, 0, &reload), S_OK);
    EXPECT_EQ(pad.reports(), (std::vector<Report>{commandReport(1, 80)}));
}

TEST_F(DeviceOperations, ActuatorsOnAndOff)
{
    bind();
    pad.reports();
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_SETACTUATORSOFF), S_OK);
    EXPECT_EQ(state().dwState, DWORD(DIGFFS_EMPTY | DIGFFS_ACTUATORSOFF));
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_SETACTUATORSON), S_OK);
    EXPECT_EQ(state().dwState, DWORD(DIGFFS_EMPTY | DIGFFS_ACTUATORSON));
    EXPECT_EQ(pad.reports(), (std::vector<Report>{commandReport(5, 0), commandReport(5, 1)}));
}

TEST_F(DeviceOperations, UnknownCommandsAndEscapesChangeNothing)
{
    bind();
    pad.reports();
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_RESET | DISFFC_STOPALL), S_FALSE);
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, 0), S_FALSE);
    DIEFFESCAPE other = escapeOf(1);
    EXPECT_EQ(driver->Escape(0, 0, &other), S_FALSE);
    EXPECT_EQ(driver->Escape(0, 5, &other), S_OK);
    EXPECT_EQ(driver->Escape(0, 5, nullptr), S_OK);
    EXPECT_EQ(driver->Escape(0, 0, nullptr), S_FALSE);
    EXPECT_TRUE(pad.reports().empty());
    EXPECT_EQ(state().dwState, 0x11u);
}

TEST_F(DeviceOperations, RawEscapeChecksumsTheCallersBufferWithinItsBounds)
{
    bind();
    pad.reports();
    BYTE raw[32] = {2, 20, 0, 3, 9};
    raw[19] = 0x55;
    DIEFFESCAPE escape = escapeOf(ESCAPE_RAW_REPORT, raw, 20);
    EXPECT_EQ(driver->Escape(0, 0, &escape), S_OK);
    EXPECT_EQ(raw[19], commandReport(3, 9)[19]);
    EXPECT_EQ(pad.reports(), (std::vector<Report>{commandReport(3, 9)}));

    // Length byte 10: checksum over bytes 0..8 lands in byte 9; still 20 bytes go out.
    BYTE shortLength[20] = {2, 10, 7, 7, 7, 0, 0, 0, 0, 0, 0xAA, 0xBB};
    escape.lpvInBuffer = shortLength;
    EXPECT_EQ(driver->Escape(0, 0, &escape), S_OK);
    EXPECT_EQ(shortLength[9], BYTE(0x100 - (2 + 10 + 21)));
    auto sent = pad.reports();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][10], 0xAA);
    EXPECT_EQ(sent[0][19], 0);

    // Refused before anything is read or written.
    BYTE lengths[] = {2, 32, 0x80};
    for (BYTE length : lengths) {
        BYTE bad[32] = {2, length};
        escape.lpvInBuffer = bad;
        escape.cbInBuffer = sizeof(bad);
        EXPECT_EQ(driver->Escape(0, 0, &escape), S_FALSE) << int(length);
    }
    BYTE longReport[24] = {2, 24};
    escape.lpvInBuffer = longReport;
    escape.cbInBuffer = 23; // smaller than its own length byte
    EXPECT_EQ(driver->Escape(0, 0, &escape), S_FALSE);
    EXPECT_EQ(longReport[23], 0);
    escape.cbInBuffer = 19;
    EXPECT_EQ(driver->Escape(0, 0, &escape), S_FALSE);
    escape.lpvInBuffer = nullptr;
    escape.cbInBuffer = 20;
    EXPECT_EQ(driver->Escape(0, 0, &escape), S_FALSE);
    EXPECT_TRUE(pad.reports().empty());

    escape.lpvInBuffer = longReport;
    escape.cbInBuffer = 24;
    EXPECT_EQ(driver->Escape(0, 0, &escape), S_OK);
    EXPECT_EQ(BYTE(2 + 24 + longReport[23]), 0);
    EXPECT_EQ(pad.reports().size(), 1u);
}

TEST_F(DeviceOperations, LoadCountsSlotsInHundredsOver255)
{
    bind();
    const struct {
        size_t slots;
        DWORD load;
    } cases[] = {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {128, 50}, {255, 100}};
    for (const auto& c : cases) {
        driver->SendForceFeedbackCommand(0, DISFFC_RESET);
        for (size_t i = 0; i < c.slots; ++i)
            download();
        EXPECT_EQ(state().dwLoad, c.load) << c.slots << " slots";
    }
    pad.reports();
}

TEST_F(DeviceOperations, PauseFreezesTheRemainingTimeOfFiniteEffects)
{
    bind();
    DWORD finite = download(1000000);
    DWORD ended = download(100000);
    DWORD endless = download(INFINITE);
    for (DWORD id : {finite, ended, endless})
        ASSERT_EQ(driver->StartEffect(0, id, 0, 1), S_OK);
    pad.reports();

    pad.now += 500;
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_PAUSE), S_OK);
    EXPECT_EQ(status(finite), SLOT_PLAYING | SLOT_PAUSED);
    EXPECT_EQ(status(ended), 0u);
    EXPECT_EQ(status(endless), SLOT_PLAYING);
    EXPECT_TRUE(state().dwState & DIGFFS_PAUSED);

    pad.now += 2000; // paused for 2 s: nothing ends
    EXPECT_EQ(status(finite), SLOT_PLAYING | SLOT_PAUSED);
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_CONTINUE), S_OK);
    EXPECT_FALSE(state().dwState & DIGFFS_PAUSED);
    EXPECT_EQ(pad.reports(), (std::vector<Report>{commandReport(4, 0), commandReport(4, 1)}));

    pad.now += 499;
    EXPECT_EQ(status(finite), SLOT_PLAYING);
    pad.now += 1;
    EXPECT_EQ(status(finite), 0u);
    EXPECT_EQ(status(endless), SLOT_PLAYING);
}

TEST_F(DeviceOperations, EffectsStartedJustBeforeTheClockWrapsRunTheirCourse)
{
    bind();
    pad.now = 0xFFFFFF00;
    DWORD id = download(1000000);
    ASSERT_EQ(driver->StartEffect(0, id, 0, 1), S_OK);
    pad.now = 0xFFFFFF80; // start + duration has wrapped, the clock not yet
    EXPECT_EQ(status(id), SLOT_PLAYING);
    pad.now = 0x100; // 512 ms after the start, past the wrap
    EXPECT_EQ(status(id), SLOT_PLAYING);
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_PAUSE), S_OK);
    EXPECT_EQ(status(id), SLOT_PLAYING | SLOT_PAUSED);
    pad.now = 0x300;
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_CONTINUE), S_OK);
    EXPECT_EQ(driver.object().effects.FindSlot(id)->startTime, 0xFFFFFF00u + 0x200u);
    pad.now = 0x300 + 487;
    EXPECT_EQ(status(id), SLOT_PLAYING);
    pad.now += 1;
    EXPECT_EQ(status(id), 0u);
}

TEST_F(DeviceOperations, WithoutAPadWritesFailButStateStillChanges)
{
    pad.present = false;
    bind();
    EXPECT_TRUE(pad.reports().empty());
    EXPECT_EQ(state().dwState, 0x11u);
    EXPECT_EQ(driver->SetGain(0, 5000), S_FALSE);
    EXPECT_EQ(driver.object().deviceGain, 5000u);
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_SETACTUATORSOFF), S_FALSE);
    EXPECT_EQ(state().dwState, DWORD(DIGFFS_EMPTY | DIGFFS_ACTUATORSOFF));
    DWORD id = download();
    EXPECT_EQ(id, 1u);
    EXPECT_EQ(driver->StartEffect(0, id, 0, 1), S_FALSE);
    EXPECT_EQ(status(id), SLOT_PLAYING);
}

TEST_F(DeviceOperations, UnbindingClosesThePadAndRebindingOpensItAgain)
{
    bind();
    driver->DeviceID(0x800, TEST_EXTERNAL_ID, FALSE, 0, nullptr);
    EXPECT_FALSE(driver.object().hidHandle);
    EXPECT_EQ(driver->SetGain(0, 10000), S_FALSE);
    bind();
    EXPECT_EQ(driver->SetGain(0, 10000), S_OK);
    EXPECT_EQ(pad.reports().size(), 7u);
}

TEST(DriverTeardown, FinalReleaseClosesThePadAndFreesItsSlots)
{
    SettingsKey settings(TEST_EXTERNAL_ID + 1);
    FakePad pad;
    {
        DriverUnderTest driver(pad);
        ASSERT_EQ(driver->DeviceID(0x800, settings.id, TRUE, 0, nullptr), S_OK);
        EffectParams params(INFINITE, {10000});
        params.withConstant(100);
        for (int i = 0; i < 3; ++i) {
            DWORD id = 0;
            ASSERT_EQ(driver->DownloadEffect(0, TYPE_CONSTANT, &id, params.get(), DIEP_START), S_OK);
        }
        EXPECT_EQ(driver->AddRef(), 0u);
        EXPECT_EQ(driver->Release(), 0u);
    }
    EXPECT_EQ(pad.reports().size(), 6u);
    // With the test's own write end closed too, the pipe reports that no writer is left.
    pad.writeEnd.reset();
    DWORD available = 0;
    EXPECT_FALSE(PeekNamedPipe(pad.readEnd.get(), nullptr, 0, nullptr, &available, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BROKEN_PIPE));
}

TEST_F(DeviceOperations, VersionsAndNullOutPointers)
{
    DIDRIVERVERSIONS versions = {};
    EXPECT_EQ(driver->GetVersions(&versions), S_OK);
    EXPECT_EQ(versions.dwFirmwareRevision, 1u);
    EXPECT_EQ(versions.dwHardwareRevision, 2u);
    EXPECT_EQ(versions.dwFFDriverVersion, 3u);
    EXPECT_EQ(driver->GetVersions(nullptr), S_FALSE);
    EXPECT_EQ(driver->GetForceFeedbackState(0, nullptr), S_FALSE);
    EXPECT_EQ(driver->GetEffectStatus(0, 1, nullptr), S_FALSE);
    EXPECT_EQ(driver->DownloadEffect(0, TYPE_CONSTANT, nullptr, nullptr, 0), S_FALSE);
    EXPECT_EQ(driver->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

} // namespace
