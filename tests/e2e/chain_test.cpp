// The whole chain on one virtual pad, in the order a user meets it: fitkit installs the driver
// package, jolter plays effects on the pad, profiler hands a game's profile to the pad's driver,
// fitkit removes the package again. The steps share the machine and run in this order.
#include <gtest/gtest.h>

#include <algorithm>

#include "devices.h"
#include "ff_games.h"
#include "ff_game/constant_force.h"
#include "fitkit_ids.h"
#include "jolter_link.h"
#include "pad_journal.h"
#include "pad_reports/effect_types.h"
#include "pad_reports/pad_reports.h"
#include "pad_setup.h"
#include "profiler_stage.h"
#include "testlib/fitkit_run.h"
#include "testlib/process.h"
#include "testlib/registry.h"
#include "testlib/temp_dir.h"
#include "testlib/wait.h"

namespace {

const DWORD externalId = 7;
const char* const jolterKey = "Software\\OV\\4B7D\\7";

// The pad as the earlier steps left it: installed or not, with jolter's settings for it stored.
void expectPadThenStoreSettings(bool installed)
{
    ASSERT_TRUE(pad::waitForPad(installed, 0))
        << "the pad is " << (installed ? "not" : "still") << " installed";
    const char* const values[][2] = {{"AUTOCENTER", "6"}, {"FFGAIN", "50"}, {"FFENABLED", "1"}};
    for (auto& v : values)
        ASSERT_TRUE(setRegText(jolterKey, v[0], v[1])) << v[0];
}

// One control request with the profile's code, no input and no output, on an exclusive open, and
// the settings key then held `values` (sorted; the journal's order is the key's).
void expectOneTransfer(const std::vector<std::string>& lines, const std::vector<std::string>& values)
{
    auto requests = PadJournal::requests(lines);
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "request 00222004 in 0 out 0"));
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "control-open share 0"));
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "control-close"));
    std::sort(requests[0].values.begin(), requests[0].values.end());
    EXPECT_EQ(values, requests[0].values);
}

class Chain : public ::testing::Test {
protected:
    static void SetUpTestSuite() { pad::removeAll(); }
    static void TearDownTestSuite()
    {
        pad::removeAll();
        deleteRegTree("Software\\OV\\4B7D");
    }
    void SetUp() override { journal.mark(); }

    PadJournal journal;
};

TEST_F(Chain, Step1_FitkitInstallsThePackageOnThePresentPad)
{
    // The pad is plugged in but has no driver: a root device with its hardware id, fitkit's from here.
    ASSERT_NO_FATAL_FAILURE(pad::addDevices(pad::hardwareId, 1));
    FitkitRun fitkit(FitkitRun::builtExe(), pad::infPath() + " " + pad::hardwareId, programDirectory());
    ASSERT_TRUE(fitkit.waitForDialog(10000)) << "no setup dialog";
    ASSERT_TRUE(fitkit.waitStatus("Other Driver installed", 15000)) << fitkit.status();
    ASSERT_TRUE(fitkit.enabled(IDC_INSTALL));

    auto boxes = fitkit.press(IDC_INSTALL, {IDOK});
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(0u, boxes[0].find("Driver Install")) << boxes[0];
    EXPECT_TRUE(fitkit.waitStatus("Driver already installed", 15000)) << fitkit.status();
    EXPECT_TRUE(fitkit.enabled(IDC_UNINSTALL));
    EXPECT_TRUE(fitkit.exit());

    // The package's driver runs the pad: it is a HID device now.
    EXPECT_TRUE(pad::waitForPad(true, 15000));
    EXPECT_TRUE(journal.waitFor("add-device", 15000));
}

TEST_F(Chain, Step2_JolterFindsThePadAndItsReportsArriveExactly)
{
    ASSERT_NO_FATAL_FAILURE(expectPadThenStoreSettings(true));
    JolterLink link(programDirectory() + "\\jolter.dll");
    IDirectInputEffectDriver* driver = link.driver();
    ASSERT_TRUE(driver) << link.why();

    // A constant force of 8000 on the X axis for 2 s, started twice over.
    ConstantForceEffect constant;
    ASSERT_EQ(S_OK, driver->DeviceID(DIRECTINPUT_VERSION, externalId, TRUE, 0, nullptr));
    DWORD id = 0;
    ASSERT_EQ(S_OK, driver->DownloadEffect(externalId, TYPE_CONSTANT, &id, &constant.effect, 0));
    ASSERT_EQ(1u, id);
    EXPECT_EQ(S_OK, driver->StartEffect(externalId, id, 0, 2));
    EXPECT_EQ(S_OK, driver->SetGain(externalId, 5000));
    EXPECT_EQ(S_OK, driver->SendForceFeedbackCommand(externalId, DISFFC_PAUSE));
    EXPECT_EQ(S_OK, driver->SendForceFeedbackCommand(externalId, DISFFC_CONTINUE));
    EXPECT_EQ(S_OK, driver->SendForceFeedbackCommand(externalId, DISFFC_RESET));
    EXPECT_EQ(S_OK, driver->DeviceID(DIRECTINPUT_VERSION, externalId, FALSE, 0, nullptr));

    // Binding resets the pad with the stored autocenter strength and gain (50 % of full gain); then
    // the effect, half of that gain, pause, continue and the reset again.
    const std::vector<Report> expected = {
        commandReport(PadCommand::RESET, 0),      commandReport(PadCommand::AUTOCENTER, 6),
        commandReport(PadCommand::GAIN, 50),      effectReport(TYPE_CONSTANT, 8000, 0, 2000, 2, 0, 0, 1),
        commandReport(PadCommand::GAIN, 25),      commandReport(PadCommand::PAUSE, 0),
        commandReport(PadCommand::PAUSE, 1),      commandReport(PadCommand::RESET, 0),
        commandReport(PadCommand::AUTOCENTER, 6), commandReport(PadCommand::GAIN, 25)};
    std::vector<Report> received = journal.waitReports(expected.size(), 3000);
    EXPECT_EQ(expected, received);
    for (const Report& r : received)
        EXPECT_TRUE(sumsToZero(r)) << "checksum";
}

// On 64-bit Windows a 32-bit game loads the 32-bit jolter from SysWOW64 and a 64-bit one the 64-bit
// jolter from System32, both through the package's registrations; the gain that the driver package
// stored natively applies in both.
TEST_F(Chain, Step2b_GamesOfEitherBitnessReachTheirJolterThroughTheRegistrations)
{
    ASSERT_NO_FATAL_FAILURE(expectPadThenStoreSettings(true));
    const std::vector<Report> expected = {
        commandReport(PadCommand::RESET, 0), commandReport(PadCommand::AUTOCENTER, 6),
        commandReport(PadCommand::GAIN, 50), effectReport(TYPE_CONSTANT, 8000, 0, 2000, 1, 0, 0, 1)};
    const struct {
        int bits;
        const char* dll;
        const char* machine;
    } games[] = {{32, "C:\\windows\\syswow64\\jolter.dll", "0x014c"},
                 {64, "C:\\windows\\system32\\jolter.dll", "0x8664"}};
    for (const auto& game : games) {
        journal.mark();
        FfGameRun run = runFfGame(game.bits, externalId);
        EXPECT_EQ(0ul, run.exitCode) << game.bits << "-bit game: " << run.result;
        EXPECT_EQ(0, _stricmp(game.dll, run.dll.c_str())) << game.bits << "-bit game loaded " << run.dll;
        EXPECT_EQ(game.machine, run.machine) << game.bits << "-bit game";
        EXPECT_EQ(expected, journal.waitReports(expected.size(), 3000)) << game.bits << "-bit game";
    }
}

TEST_F(Chain, Step3_ProfilerHandsTheGamesProfileToThePadsDriver)
{
    ASSERT_TRUE(pad::waitForPad(true, 0)) << "the pad is not installed";
    ProfilerStage stage("C:\\padkit_e2e", "RaceGame.exe");
    ASSERT_TRUE(stage.ready()) << "profiler.exe or the stand-in game could not be copied";
    // IOCTLCODE is 0x222004.
    stage.set("SETTINGS", {{"KEYS", "2"}, {"1", "Strength"}, {"2", "Deadzone"}, {"REGPATH", pad::settingsKey},
                           {"DEVNODE", pad::controlPath}, {"IOCTLCODE", "2236420"}, {"AUTOLAUNCH", "1"},
                           {"RESTORE", "1"}});
    // The profile names the game in other letter case, as a user's path often does.
    const std::string location = "C:\\PADKIT_E2E\\racegame.EXE";
    stage.set("PROFILES", {{"COUNT", "1"}, {"1", location}});
    stage.set(location, {{"ProfileTitle", "Race Game"}, {"Strength", "90"}, {"Deadzone", "7"}});
    pad::writeSettings({{"Strength", "50"}, {"Deadzone", "2"}});

    Process profiler = startPlaced(stage.programPath());
    ASSERT_TRUE(profiler.started());
    WaitForInputIdle(profiler.handle(), 5000);
    {
        Process game("\"" + stage.gamePath() + "\"", stage.folder());
        ASSERT_TRUE(game.started());
        // The transfer is over when the driver is closed again.
        ASSERT_TRUE(journal.waitFor("control-close", 15000)) << "no control request while the game runs";
        expectOneTransfer(journal.fresh(), {"Deadzone=7", "PROFILEACTIVE=Race Game", "Strength=90"});
        journal.mark();
        game.terminate(0);
        ASSERT_TRUE(game.wait(5000));
    }
    ASSERT_TRUE(journal.waitFor("control-close", 15000)) << "no control request after the game ended";
    // The defaults reach the driver while the game is still marked: the marker goes only after.
    expectOneTransfer(journal.fresh(), {"Deadzone=2", "PROFILEACTIVE=Race Game", "Strength=50"});
    EXPECT_TRUE(waitUntil([] { return regText(pad::settingsKey, "PROFILEACTIVE") == "<absent>"; }, 5000));
    profiler.terminate();
    EXPECT_TRUE(profiler.wait(5000));
}

TEST_F(Chain, Step4_FitkitUninstallsThePackage)
{
    ASSERT_TRUE(pad::waitForPad(true, 0)) << "the pad is not installed";
    FitkitRun fitkit(FitkitRun::builtExe(), pad::infPath() + " " + pad::hardwareId, programDirectory());
    ASSERT_TRUE(fitkit.waitForDialog(10000)) << "no setup dialog";
    ASSERT_TRUE(fitkit.waitStatus("Driver already installed", 15000)) << fitkit.status();
    auto boxes = fitkit.press(IDC_UNINSTALL, {IDYES, IDOK});
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("Are you sure to uninstall the driver?", boxes[0]);
    EXPECT_EQ("Driver Removed OK!", boxes[1]);
    EXPECT_TRUE(fitkit.waitStatus("Driver not installed", 15000)) << fitkit.status();
    EXPECT_FALSE(fitkit.enabled(IDC_UNINSTALL));
    EXPECT_TRUE(fitkit.exit());

    // The pad's device and with it its HID interface are gone.
    EXPECT_TRUE(pad::waitForPad(false, 15000));
    EXPECT_EQ(0, presentDevices(pad::hardwareId));
}

TEST_F(Chain, Step5_JolterThenFindsNoPadAndReportsWritesAsNotDone)
{
    ASSERT_NO_FATAL_FAILURE(expectPadThenStoreSettings(false));
    JolterLink link(programDirectory() + "\\jolter.dll");
    IDirectInputEffectDriver* driver = link.driver();
    ASSERT_TRUE(driver) << link.why();
    EXPECT_EQ(S_OK, driver->DeviceID(DIRECTINPUT_VERSION, externalId, TRUE, 0, nullptr));
    EXPECT_EQ(S_FALSE, driver->SetGain(externalId, 10000));
    EXPECT_EQ(S_FALSE, driver->SendForceFeedbackCommand(externalId, DISFFC_RESET));
    EXPECT_TRUE(PadJournal::reports(journal.fresh()).empty());
}

} // namespace
