// DeviceID, gain, escapes, device commands and device state, observed on the pipe the pad reads.

#include <numeric>

#include "tests/fake_pad.h"

namespace {

// The three reports of a reset: reset, autocenter strength, gain.
Reports resetReports(BYTE autocenter, BYTE gain)
{
    return {commandReport(PadCommand::RESET, 0), commandReport(PadCommand::AUTOCENTER, autocenter),
            commandReport(PadCommand::GAIN, gain)};
}

class DeviceOperations : public DriverTest {
protected:
    void bind() { driver.bind(settings, pad); }
};

TEST_F(DeviceOperations, BindingOpensThePadAndResetsItWithTheStoredSettings)
{
    // A 260-byte value without terminator fills the buffer and is parsed within it; a longer one
    // cannot be read and takes the default.
    const std::string bufferSized = std::string(259, ' ') + '7';
    const std::string tooLong(300, '9');
    const BYTE minus12 = BYTE(10000u * DWORD(-12) / 10000); // the low byte of the scaled product
    const struct {
        const char* what;
        std::vector<std::pair<const char*, std::string>> values;
        BYTE autocenter, gain;
    } cases[] = {
        {"no key: defaults", {}, 4, 80},
        {"stored", {{"AUTOCENTER", "7"}, {"FFGAIN", "50"}}, 7, 50},
        {"blanks, sign, zeros, trailing text", {{"FFGAIN", "  -0012abc"}}, 4, minus12},
        {"buffer-sized and too long", {{"AUTOCENTER", bufferSized}, {"FFGAIN", tooLong}}, 7, 80},
    };
    for (const auto& c : cases) {
        SettingsKey key(TEST_EXTERNAL_ID + 2);
        for (const auto& value : c.values)
            key.set(value.first, value.second.c_str(), DWORD(value.second.size()), REG_BINARY);
        ASSERT_EQ(driver->DeviceID(0x800, key.id, TRUE, 0, nullptr), S_OK);
        EXPECT_EQ(pad.askedFor, "KPX240");
        EXPECT_EQ(pad.reports(), resetReports(c.autocenter, c.gain)) << c.what;
        EXPECT_EQ(driver.state().dwState, DWORD(DIGFFS_EMPTY | DIGFFS_ACTUATORSON));
    }
    // The reset report in full, checksum included.
    EXPECT_EQ(commandReport(PadCommand::RESET, 0),
              (Report{2, 20, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 232}));
}

// DirectInput's DIHIDFFINITINFO reaches the search only when it is whole.
TEST_F(DeviceOperations, BindingPassesOnTheInterfaceDirectInputNames)
{
    WCHAR path[] = L"\\\\?\\hid#vid_f055&pid_0240#2";
    DIHIDFFINITINFO info = {sizeof(DIHIDFFINITINFO), path, {}};
    ASSERT_EQ(driver->DeviceID(0x800, settings.id, TRUE, 0, &info), S_OK);
    EXPECT_EQ(pad.givenPath, path);
    info.dwSize = sizeof(DWORD) + sizeof(LPWSTR);
    ASSERT_EQ(driver->DeviceID(0x800, settings.id, TRUE, 0, &info), S_OK);
    EXPECT_EQ(pad.givenPath, L"");
    EXPECT_EQ(pad.reports().size(), 6u);
}

// FFENABLED is 1 when absent and otherwise only when its text reads as 1: a disabled driver holds a
// started effect.
TEST_F(DeviceOperations, EnabledSettingParsesLikeDecimalText)
{
    const DWORD held = DIEGES_PLAYING | DIEGES_EMULATED;
    const struct {
        const char* text;
        DWORD status;
    } cases[] = {{nullptr, DIEGES_PLAYING},
                 {"0", held},
                 {"2", held},
                 {"yes", held},
                 {"-1", held},
                 {"", held},
                 {"1", DIEGES_PLAYING},
                 {" +1", DIEGES_PLAYING},
                 {"\t1x", DIEGES_PLAYING}};
    for (const auto& c : cases) {
        if (c.text) // absent first, then as each text
            settings.set("FFENABLED", c.text);
        bind();
        EXPECT_EQ(driver.status(driver.started()), c.status) << '"' << (c.text ? c.text : "absent") << '"';
    }
}

TEST_F(DeviceOperations, GainByteIsTheLowByteOfTheScaledProduct)
{
    settings.set("FFGAIN", "80");
    bind();
    EXPECT_EQ(driver->SetGain(0, 5000), S_OK);
    settings.set("FFGAIN", "300");
    EXPECT_EQ(driver->SetGain(0, 10000), S_OK); // FFGAIN is read only at binding and reload
    EXPECT_EQ(driver.reloadSettings(), S_OK);
    EXPECT_EQ(pad.reports(),
              (Reports{commandReport(PadCommand::GAIN, 40), commandReport(PadCommand::GAIN, 80),
                       commandReport(PadCommand::AUTOCENTER, 4), commandReport(PadCommand::GAIN, 44)}));
}

TEST_F(DeviceOperations, ResetFreesEverySlot)
{
    bind();
    for (int i = 0; i < 3; ++i)
        driver.downloadConstant();
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_RESET), S_OK);
    EXPECT_EQ(pad.reports(), resetReports(4, 80));
    EXPECT_EQ(driver.state().dwState, 0x11u);
    EXPECT_EQ(driver.state().dwLoad, 0u);
    DWORD untouched = 0xDEAD;
    EXPECT_EQ(driver->GetEffectStatus(0, 1, &untouched), S_FALSE);
    EXPECT_EQ(untouched, 0xDEADu);
}

TEST_F(DeviceOperations, StopAllStopsEffectsAndTurnsAutocenterOffUntilReset)
{
    bind();
    const DWORD id = driver.started();
    pad.reports();
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_STOPALL), S_OK);
    EXPECT_EQ(pad.reports(),
              (Reports{commandReport(PadCommand::STOP, 0), commandReport(PadCommand::AUTOCENTER, 0)}));
    EXPECT_EQ(driver.status(id), 0u);
    EXPECT_EQ(driver.state().dwState, DWORD(DIGFFS_EMPTY | DIGFFS_ACTUATORSON | DIGFFS_STOPPED));

    // With autocenter off the reload sends only the gain.
    EXPECT_EQ(driver.reloadSettings(), S_OK);
    EXPECT_EQ(pad.reports(), (Reports{commandReport(PadCommand::GAIN, 80)}));
}

TEST_F(DeviceOperations, ActuatorsOnAndOff)
{
    bind();
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_SETACTUATORSOFF), S_OK);
    EXPECT_EQ(driver.state().dwState, DWORD(DIGFFS_EMPTY | DIGFFS_ACTUATORSOFF));
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_SETACTUATORSON), S_OK);
    EXPECT_EQ(driver.state().dwState, DWORD(DIGFFS_EMPTY | DIGFFS_ACTUATORSON));
    EXPECT_EQ(pad.reports(),
              (Reports{commandReport(PadCommand::ACTUATORS, 0), commandReport(PadCommand::ACTUATORS, 1)}));
}

TEST_F(DeviceOperations, UnknownCommandsAndEscapesChangeNothing)
{
    bind();
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_RESET | DISFFC_STOPALL), S_FALSE);
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, 0), S_FALSE);
    DIEFFESCAPE other = escapeOf(1);
    EXPECT_EQ(driver->Escape(0, 0, &other), S_FALSE);
    EXPECT_EQ(driver->Escape(0, 5, &other), S_OK);
    EXPECT_EQ(driver->Escape(0, 5, nullptr), S_OK);
    EXPECT_EQ(driver->Escape(0, 0, nullptr), S_FALSE);
    EXPECT_TRUE(pad.reports().empty());
    EXPECT_EQ(driver.state().dwState, 0x11u);
}

// A raw report gets its checksum in byte L-1 of the caller's buffer (L its length byte) and goes
// out as the buffer's first 20 bytes; a length byte outside 3..31, or a buffer shorter than 20
// bytes or than its length byte, is refused before anything is read or written.
TEST_F(DeviceOperations, RawEscapeChecksumsTheCallersBufferWithinItsBounds)
{
    bind();
    const struct {
        BYTE length;
        DWORD size;
        bool sent;
    } cases[] = {{20, 20, true}, {10, 20, true},  {3, 20, true},     {24, 24, true},  {31, 32, true},
                 {2, 32, false}, {32, 32, false}, {0x80, 32, false}, {24, 23, false}, {20, 19, false}};
    for (const auto& c : cases) {
        std::vector<BYTE> buffer(c.size);
        for (DWORD i = 0; i < c.size; ++i)
            buffer[i] = BYTE(0x31 * i + 7);
        buffer[0] = 2;
        buffer[1] = c.length;
        const std::vector<BYTE> before = buffer;
        DIEFFESCAPE escape = escapeOf(ESCAPE_RAW_REPORT, buffer.data(), c.size);
        EXPECT_EQ(driver->Escape(0, 0, &escape), c.sent ? S_OK : S_FALSE) << int(c.length) << '/' << c.size;
        const Reports sent = pad.reports();
        if (!c.sent) {
            EXPECT_EQ(buffer, before) << int(c.length);
            EXPECT_TRUE(sent.empty()) << int(c.length);
            continue;
        }
        EXPECT_EQ(BYTE(std::accumulate(buffer.begin(), buffer.begin() + c.length, 0)), 0) << int(c.length);
        std::vector<BYTE> expected = before;
        expected[c.length - 1] = buffer[c.length - 1];
        EXPECT_EQ(buffer, expected) << "only the checksum byte changes";
        EXPECT_EQ(sent, (Reports{Report(buffer.begin(), buffer.begin() + 20)})) << int(c.length);
    }
    DIEFFESCAPE none = escapeOf(ESCAPE_RAW_REPORT, nullptr, 20);
    EXPECT_EQ(driver->Escape(0, 0, &none), S_FALSE);
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
            driver.downloadConstant();
        EXPECT_EQ(driver.state().dwLoad, c.load) << c.slots << " slots";
    }
}

TEST_F(DeviceOperations, PauseFreezesTheRemainingTimeOfFiniteEffects)
{
    bind();
    const DWORD finite = driver.started(1000000);
    const DWORD ended = driver.started(100000);
    const DWORD endless = driver.started(INFINITE);
    pad.reports();

    pad.now += 500;
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_PAUSE), S_OK);
    EXPECT_EQ(driver.status(finite), SLOT_PLAYING | SLOT_PAUSED);
    EXPECT_EQ(driver.status(ended), 0u);
    EXPECT_EQ(driver.status(endless), SLOT_PLAYING);
    EXPECT_TRUE(driver.state().dwState & DIGFFS_PAUSED);

    pad.now += 2000; // paused for 2 s: nothing ends
    EXPECT_EQ(driver.status(finite), SLOT_PLAYING | SLOT_PAUSED);
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_CONTINUE), S_OK);
    EXPECT_FALSE(driver.state().dwState & DIGFFS_PAUSED);
    EXPECT_EQ(pad.reports(),
              (Reports{commandReport(PadCommand::PAUSE, 0), commandReport(PadCommand::PAUSE, 1)}));

    expectEndsIn(finite, 500);
    EXPECT_EQ(driver.status(endless), SLOT_PLAYING);
}

TEST_F(DeviceOperations, EffectsStartedJustBeforeTheClockWrapsRunTheirCourse)
{
    bind();
    pad.now = 0xFFFFFF00;
    const DWORD id = driver.started(1000000);
    pad.now = 0xFFFFFF80; // start + duration has wrapped, the clock not yet
    EXPECT_EQ(driver.status(id), SLOT_PLAYING);
    pad.now = 0x100; // 512 ms after the start, past the wrap
    EXPECT_EQ(driver.status(id), SLOT_PLAYING);
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_PAUSE), S_OK);
    EXPECT_EQ(driver.status(id), SLOT_PLAYING | SLOT_PAUSED);
    pad.now = 0x300; // paused for 512 ms: 488 ms remain
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_CONTINUE), S_OK);
    expectEndsIn(id, 488);
}

TEST_F(DeviceOperations, WithoutAPadWritesFailButStateStillChanges)
{
    pad.present = false;
    bind();
    EXPECT_TRUE(pad.reports().empty());
    EXPECT_EQ(driver.state().dwState, 0x11u);
    EXPECT_EQ(driver->SetGain(0, 5000), S_FALSE);
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_SETACTUATORSOFF), S_FALSE);
    EXPECT_EQ(driver.state().dwState, DWORD(DIGFFS_EMPTY | DIGFFS_ACTUATORSOFF));
    const DWORD id = driver.downloadConstant();
    EXPECT_EQ(id, 1u);
    EXPECT_EQ(driver->StartEffect(0, id, 0, 1), S_FALSE);
    EXPECT_EQ(driver.status(id), SLOT_PLAYING);

    // The gain was kept: binding again with the pad present resets it at half gain.
    pad.present = true;
    ASSERT_EQ(driver->DeviceID(0x800, settings.id, TRUE, 0, nullptr), S_OK);
    EXPECT_EQ(pad.reports(), resetReports(4, 40));
}

TEST_F(DeviceOperations, UnbindingClosesThePadAndRebindingOpensItAgain)
{
    bind();
    driver->DeviceID(0x800, TEST_EXTERNAL_ID, FALSE, 0, nullptr);
    EXPECT_EQ(driver->SetGain(0, 10000), S_FALSE);
    ASSERT_EQ(driver->DeviceID(0x800, TEST_EXTERNAL_ID, TRUE, 0, nullptr), S_OK);
    EXPECT_EQ(driver->SetGain(0, 10000), S_OK);
    EXPECT_EQ(pad.reports().size(), 4u);
}

// What the module's count sees when a driver goes: by then the pad's handle must be closed.
HANDLE padPipe = nullptr;
int releases = 0;
bool padOpenAtRelease = false;

void noteReleased()
{
    ++releases;
    DWORD available = 0;
    padOpenAtRelease = PeekNamedPipe(padPipe, nullptr, 0, nullptr, &available, nullptr) ||
                       GetLastError() != ERROR_BROKEN_PIPE;
}

TEST(DriverTeardown, FinalReleaseClosesThePadBeforeTheModuleCountDrops)
{
    SettingsKey settings(TEST_EXTERNAL_ID + 1);
    FakePad pad;
    padPipe = pad.readEnd.get();
    {
        DriverUnderTest driver(pad, ModuleCounter{[] {}, noteReleased});
        driver.bind(settings, pad);
        for (int i = 0; i < 3; ++i)
            driver.downloadConstant(INFINITE, 100, DIEP_START);
        EXPECT_EQ(pad.reports().size(), 3u);
        pad.writeEnd.reset(); // the driver's handle is the last writer
        EXPECT_EQ(driver->AddRef(), 0u);
        EXPECT_EQ(driver->Release(), 0u);
        EXPECT_EQ(releases, 0);
    }
    EXPECT_EQ(releases, 1);
    EXPECT_FALSE(padOpenAtRelease) << "the module count dropped while the driver still held the pad";
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
