// profiler.exe as a user runs it: a copy beside its own settings file, the stand-in kernel driver as
// "DEVNODE", and stand-in games started by the test or by profiler. Observed from outside: the
// device settings key, the settings file, the driver's log, the game's report and the windows.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "profiler_ids.h"
#include "store/profile_store.h"
#include "testlib/message_boxes.h"
#include "testlib/owned.h"
#include "testlib/registry.h"
#include "testlib/temp_dir.h"
#include "testlib/wait.h"
#include "testlib/window_search.h"
#include "tests/settings_lines.h"
#include "tests/standin_driver_service.h"
#include "tests/standin_game_process.h"

namespace {
constexpr const char* DEVICE_KEY = "Software\\PadkitTests\\Games";
constexpr const char* IOCTL_LINE = "ioctl code=0x00222007 in=0x00000000 out=0x00000000";
constexpr const char* PROMPT_TAIL = "\n\nYes    = Apply Profile and Continue\nNo     = Continue without "
                                    "Apply Profile\nCancel = Abort the Program";

// Generous: the machine running the tests may be busy.
bool waitFor(const std::function<bool()>& condition, DWORD timeoutMs = 20000)
{
    return waitUntil(condition, timeoutMs, 25);
}

// Sends a message, waiting up to timeoutMs for its answer; whether the answer came.
bool answered(HWND window, UINT message, WPARAM w, LPARAM l, DWORD_PTR* answer = nullptr,
              UINT timeoutMs = 1000)
{
    return SendMessageTimeoutA(window, message, w, l, SMTO_ABORTIFHUNG, timeoutMs, answer) != 0;
}

std::string deviceValue(const char* name)
{
    return regText(DEVICE_KEY, name);
}

std::string activeMarker()
{
    return deviceValue("PROFILEACTIVE");
}

class GamesEndToEnd : public StandinDriverTest {
protected:
    static void SetUpTestSuite() { installDriver("games_driver.log", DEVICE_KEY); }

    void SetUp() override
    {
        ASSERT_EQ(driverError, 0u) << "the stand-in driver could not be installed";
        placeProgram("profiler.exe", folder.path());
        writeLines(store, ini::SETTINGS,
                   std::string("KEYS=2\n1=Gain\n2=Curve\nREGPATH=") + DEVICE_KEY +
                       "\nDEVNODE=" + StandinDriverService::DEVICE_PATH +
                       "\nIOCTLCODE=2236423\nAUTOLAUNCH=1\nRESTORE=1\nPROMPT=0");
        driver->clearLog();
    }
    void TearDown() override
    {
        profiler.end();
        for (StandinGame* game : {&game1, &game2})
            game->end();
        driver->clearLog();
    }

    void settings(const char* key, const char* text) { store.writeText(ini::SETTINGS, key, text); }

    // A profile whose location names the game's path in capitals; returns that location.
    std::string addProfile(const std::string& title, const std::string& gamePath, const char* gain)
    {
        std::string location = gamePath;
        CharUpperBuffA(&location[0], static_cast<DWORD>(location.size()));
        store.writeProfileFields(location, title, "", "");
        store.writeText(location.c_str(), "Gain", gain);
        store.writeText(location.c_str(), "Curve", "soft");
        store.appendProfile(location, profiles++);
        return location;
    }

    // A named event that a stand-in game waits for; held by the test so that a signal sent before
    // the game opens it is not lost.
    std::string eventName(const std::string& tag)
    {
        std::string name = "games_e2e_" + tag + "_" + std::to_string(GetCurrentProcessId());
        events[tag] = testlib::Handle(CreateEventA(nullptr, TRUE, FALSE, name.c_str()));
        return name;
    }
    void signal(const std::string& tag) { SetEvent(events[tag].get()); }
    // Lets the game waiting for `tag` end; whether profiler went back to idle.
    bool ended(const std::string& tag)
    {
        signal(tag);
        return waitFor([] { return activeMarker() == "<absent>"; });
    }

    // The pad's "Gain/Curve": now, and once profiler has had time to change them.
    static std::string pad() { return deviceValue("Gain") + "/" + deviceValue("Curve"); }
    static std::string padAfterAWhile()
    {
        Sleep(300);
        return pad();
    }
    // The game runs under the "Fly" profile: marked, and the profile's values in the key.
    static bool flyServed()
    {
        return waitFor([] { return activeMarker() == "Fly" && deviceValue("Curve") == "soft"; });
    }
    // profiler.exe serves the stand-in at Games\Fly.exe under "Fly" (Gain 70) until `tag` is signalled.
    void serveFly(const char* tag)
    {
        const std::string exe = folder.placeGame("Games\\Fly.exe");
        addProfile("Fly", exe, "70");
        startProfiler();
        ASSERT_TRUE(game1.start(exe, "--event " + eventName(tag)));
        ASSERT_TRUE(flyServed());
    }

    void startProfiler()
    {
        profiler = startPlaced(folder.file("profiler.exe"));
        ASSERT_TRUE(profiler.started());
        mainWindow = waitDialog(profiler.id(), "Padwise", 20000, Shown::AlsoHidden);
        ASSERT_NE(mainWindow, nullptr) << "profiler's main window did not appear";
    }
    bool profilerResponds() const { return answered(mainWindow, WM_NULL, 0, 0); }

    // Selects a row of the list in profiler's process: the item record must live there.
    void selectRow(int row)
    {
        HWND list = GetDlgItem(mainWindow, IDC_PROFILE_LIST);
        ASSERT_NE(list, nullptr);
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        void* remote = VirtualAllocEx(profiler.handle(), nullptr, sizeof(item), MEM_COMMIT, PAGE_READWRITE);
        ASSERT_NE(remote, nullptr);
        WriteProcessMemory(profiler.handle(), remote, &item, sizeof(item), nullptr);
        SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote));
        VirtualFreeEx(profiler.handle(), remote, 0, MEM_RELEASE);
    }

    // Waits for the match prompt, checks it and presses `button`; returns its text.
    std::string answerPrompt(int button)
    {
        HWND box = nullptr;
        SeenBox seen;
        EXPECT_TRUE(waitFor([&] {
            box = findDialog(profiler.id(), "profiler");
            seen = box ? readBox(box) : SeenBox();
            return !seen.text.empty() && GetDlgItem(box, IDCANCEL) != nullptr;
        })) << "no match prompt";
        EXPECT_EQ(seen.buttons, (std::vector<int>{IDCANCEL, IDYES, IDNO}));
        SendMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0);
        return seen.text;
    }

    ScratchKey key{DEVICE_KEY, {{"Gain", "100"}, {"Curve", "hard"}}};
    GameFolder folder{"games_e2e"};
    ProfileStore store{folder.file("profiler.INI")};
    int profiles = 0;
    Process profiler;
    HWND mainWindow = nullptr;
    StandinGame game1;
    StandinGame game2;
    std::map<std::string, testlib::Handle> events; // by tag
};

TEST_F(GamesEndToEnd, WatchedGameGetsItsProfileWhileItRunsAndTheDefaultsAfterwards)
{
    std::string exe = folder.placeGame("Games\\Fly\\Fly.exe");
    addProfile("Other", folder.file("Games\\Other.exe"), "1");
    addProfile("Fly", exe, "70");
    startProfiler();
    ASSERT_TRUE(game1.start(exe, "--event " + eventName("fly")));

    ASSERT_TRUE(waitFor([] { return activeMarker() == "Fly"; })) << "the watcher did not find the game";
    ASSERT_TRUE(waitFor([] { return pad() == "70/soft"; })) << pad();
    EXPECT_EQ(store.readText("DEFAULT", "Gain") + "/" + store.readText("DEFAULT", "Curve"), "100/hard");
    std::string log = driver->log("close", 20000);
    EXPECT_EQ(log.find("create share=0x00000000\n"), 0u) << log;
    EXPECT_NE(log.find("value Gain=70\n"), std::string::npos) << log;
    EXPECT_TRUE(profilerResponds()) << "sent messages are answered while the game runs";
    EXPECT_TRUE(answered(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment")));
    PostMessageA(mainWindow, WM_COMMAND, IDC_RUN, 0); // commands wait until the game has ended
    Sleep(300);
    EXPECT_EQ(activeMarker(), "Fly");

    ASSERT_TRUE(ended("fly"));
    ASSERT_TRUE(waitFor([] { return deviceValue("Curve") == "hard"; })) << "Restore is on";
    EXPECT_TRUE(profilerResponds());
}

// Logging off during a game: the defaults are back before Windows is answered.
TEST_F(GamesEndToEnd, EndOfSessionDuringAGameRestoresTheDefaults)
{
    ASSERT_NO_FATAL_FAILURE(serveFly("fly"));

    DWORD_PTR answer = 0;
    ASSERT_TRUE(answered(mainWindow, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE)) << "profiler does not hold the log-off";
    ASSERT_TRUE(answered(mainWindow, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, &answer, 5000));
    EXPECT_EQ(deviceValue("Curve"), "hard") << "restored before the answer";
    EXPECT_EQ(activeMarker(), "<absent>");
    signal("fly");
}

TEST_F(GamesEndToEnd, PromptYesAppliesNoDoesNotAndCancelEndsTheGame)
{
    settings("PROMPT", "1");
    store.writeText("DEFAULT", "Gain", "1"); // a restore would show
    std::string exe = folder.placeGame("Games\\Fly.exe");
    std::string location = addProfile("Fly", exe, "70");
    startProfiler();

    ASSERT_TRUE(game1.start(exe, "--event " + eventName("no")));
    std::string text = answerPrompt(IDNO);
    ASSERT_NE(text.find(" Match"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.find(" Match")),
              " Match the following profile\n\nTitle:    Fly\nLocation: " + location + PROMPT_TAIL);
    EXPECT_EQ(activeMarker(), "Fly") << "the title is marked while the game runs";
    EXPECT_EQ(padAfterAWhile(), "100/hard") << "No applies nothing";
    ASSERT_TRUE(ended("no"));
    EXPECT_EQ(padAfterAWhile(), "100/hard") << "nothing applied, nothing restored";

    ASSERT_TRUE(game1.start(exe, ""));
    answerPrompt(IDCANCEL);
    ASSERT_TRUE(game1.wait(20000)) << "Cancel ends the game";
    EXPECT_EQ(game1.exitCode(), static_cast<DWORD>(STILL_ACTIVE));
    ASSERT_TRUE(waitFor([] { return activeMarker() == "<absent>"; }));
    EXPECT_EQ(padAfterAWhile(), "100/hard") << "Cancel applies and restores nothing";

    ASSERT_TRUE(game1.start(exe, "--event " + eventName("yes")));
    answerPrompt(IDYES);
    ASSERT_TRUE(waitFor([] { return pad() == "70/soft"; })) << "Yes applies: " << pad();
    EXPECT_EQ(store.readText("DEFAULT", "Gain"), "100");
    signal("yes");
    ASSERT_TRUE(waitFor([] { return pad() == "100/hard"; })) << pad();
    EXPECT_EQ(activeMarker(), "<absent>");
}

TEST_F(GamesEndToEnd, TwoMatchingGamesAreServedOneAfterTheOther)
{
    std::string exeA = folder.placeGame("a\\alpha.exe");
    std::string exeB = folder.placeGame("b\\beta.exe");
    addProfile("Alpha", exeA, "11");
    addProfile("Beta", exeB, "22");
    ASSERT_TRUE(game1.start(exeA, "--event " + eventName("Alpha")));
    ASSERT_TRUE(game2.start(exeB, "--event " + eventName("Beta")));
    startProfiler();

    std::string first;
    ASSERT_TRUE(waitFor([&] { return (first = activeMarker()) != "<absent>"; }));
    ASSERT_TRUE(first == "Alpha" || first == "Beta") << first;
    std::string second = first == "Alpha" ? "Beta" : "Alpha";
    EXPECT_TRUE(waitFor([&] { return deviceValue("Gain") == (first == "Alpha" ? "11" : "22"); }));
    Sleep(400);
    EXPECT_EQ(activeMarker(), first) << "the second game waits for the first to end";

    signal(first);
    ASSERT_TRUE(waitFor([&] { return activeMarker() == second; }));
    EXPECT_TRUE(waitFor([&] { return deviceValue("Gain") == (second == "Alpha" ? "11" : "22"); }));
    EXPECT_EQ(store.readText("DEFAULT", "Gain"), "100") << "the first game's defaults were restored first";
    ASSERT_TRUE(ended(second));
    ASSERT_TRUE(waitFor([] { return pad() == "100/hard"; })) << pad();
}

TEST_F(GamesEndToEnd, LaunchSubmenuAndRunGameStartTheGameAndAlwaysRestore)
{
    settings("AUTOLAUNCH", "0");
    settings("RESTORE", "0");
    std::string exe = folder.placeGame("Games\\Fly\\fly.exe");
    addProfile("Other", folder.file("Games\\Other.exe"), "1");
    std::string location = addProfile("Fly", exe, "70");
    const std::string report = folder.file("report.txt"), directory = folder.path() + "\\Games";
    std::string parameters =
        "--report " + report + " --value " + DEVICE_KEY + "\\Gain --event " + eventName("run");
    store.writeProfileFields(location, "Fly", parameters, directory);
    startProfiler();

    for (int round = 0; round < 2; ++round) {
        DeleteFileA(report.c_str());
        if (round == 1)
            selectRow(1); // and Run Game; round 0 takes the row's Launch item
        PostMessageA(mainWindow, WM_COMMAND, round == 0 ? LAUNCH_COMMAND_BASE + 1 : IDC_RUN, 0);
        ASSERT_TRUE(waitFor([&] { return readFile(report).find("value=") != std::string::npos; }))
            << "round " << round << ": the game did not start";
        std::string text = readFile(report);
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        EXPECT_NE(text.find(parameters), std::string::npos) << text;
        EXPECT_NE(text.find("value=70\n"), std::string::npos) << text;
        std::string cwd = text.substr(text.find("cwd=") + 4);
        cwd = cwd.substr(0, cwd.find('\n'));
        EXPECT_EQ(lstrcmpiA(cwd.c_str(), directory.c_str()), 0) << cwd;
        EXPECT_EQ(activeMarker(), "Fly");
        EXPECT_FALSE(IsWindowVisible(mainWindow));

        ASSERT_TRUE(ended("run"));
        EXPECT_EQ(pad(), "100/hard") << "restored although Restore is off";
        ResetEvent(events["run"].get());
    }
}

TEST_F(GamesEndToEnd, MissingGameFileReturnsToIdleAtOnce)
{
    settings("AUTOLAUNCH", "0");
    addProfile("Ghost", folder.file("missing\\ghost.exe"), "70");
    startProfiler();
    driver->clearLog();
    PostMessageA(mainWindow, WM_COMMAND, LAUNCH_COMMAND_BASE, 0);
    ASSERT_TRUE(waitFor([&] { return countOf(driver->log(), "ioctl") >= 2; })) << driver->log();
    ASSERT_TRUE(waitFor([&] { return countOf(driver->log(), "close") >= 2; })) << driver->log();
    std::string log = driver->log();
    EXPECT_EQ(countOf(log, "create share=0x00000000"), 2u) << "apply, then restore: " << log;
    EXPECT_EQ(countOf(log, IOCTL_LINE), 2u) << log;
    EXPECT_NE(log.find("value Gain=100\n", log.rfind("ioctl")), std::string::npos) << "the restore: " << log;
    EXPECT_TRUE(profilerResponds());
    EXPECT_EQ(activeMarker(), "<absent>");
    EXPECT_EQ(deviceValue("Gain"), "100");
}

TEST_F(GamesEndToEnd, RestartAfterACrashDuringAGameRestoresTheDefaults)
{
    ASSERT_NO_FATAL_FAILURE(serveFly("crash"));
    Sleep(200); // the request follows the last write

    profiler.end(); // killed while the game runs: the pad keeps the profile
    signal("crash");
    ASSERT_TRUE(game1.wait(20000));
    EXPECT_EQ(deviceValue("Gain"), "70");
    EXPECT_EQ(activeMarker(), "Fly");

    driver->clearLog();
    startProfiler();
    ASSERT_TRUE(waitFor([] { return activeMarker() == "<absent>"; }));
    EXPECT_EQ(pad(), "100/hard");
    std::string log = driver->log("close", 20000);
    EXPECT_EQ(log.find("create share=0x00000000\n"), 0u) << log;
    EXPECT_NE(log.find("value Gain=100\n"), std::string::npos) << log;
    EXPECT_NE(log.find("value PROFILEACTIVE=Fly\n"), std::string::npos)
        << "the defaults are restored during start-up, before the idle state removes the marker: " << log;
}

// A title and parameters in quotes reach the tray's marker and the game exactly as written.
TEST_F(GamesEndToEnd, QuotedTitleAndParametersReachTheGameWhole)
{
    settings("AUTOLAUNCH", "0");
    std::string location = addProfile("", folder.placeGame("Games\\Saves\\saves.exe"), "70");
    const std::string report = folder.file("report.txt"), title = "\"Quoted\" Edition \"II\"";
    // All of it in quotes; the stand-in takes its options from the quoted words.
    const std::string parameters = "\"--report\" \"" + report + "\" \"--event\" \"" + eventName("quoted") +
                                   "\" \"C:\\My Saves\\slot 1.sav\"";
    store.writeProfileFields(location, title, parameters, "");
    startProfiler();
    PostMessageA(mainWindow, WM_COMMAND, LAUNCH_COMMAND_BASE, 0);
    ASSERT_TRUE(waitFor([&] { return readFile(report).find("cwd=") != std::string::npos; }));
    std::string text = readFile(report);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    EXPECT_NE(text.find(" " + parameters + "\n"), std::string::npos) << text;
    EXPECT_EQ(activeMarker(), title);
    ASSERT_TRUE(ended("quoted"));
}

// Another program holds the settings file open with read sharing only: no snapshot can be stored,
// so neither the watcher nor a launch applies the profile, nothing is put back when the game ends
// (not the stale "DEFAULT" of an earlier run), and a start after a crash during such a game
// restores nothing either.
TEST_F(GamesEndToEnd, AHeldSettingsFileLeavesThePadAlone)
{
    std::string exe = folder.placeGame("Games\\Fly.exe");
    std::string location = addProfile("Fly", exe, "70");
    store.writeProfileFields(location, "Fly", "--event " + eventName("launched"), "");
    writeLines(store, "DEFAULT", "Gain=1\nCurve=stale\nPROFILEACTIVE=0"); // an earlier run's, put back since
    startProfiler();
    testlib::Handle held(CreateFileA(folder.file("profiler.INI").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held.valid());

    ASSERT_TRUE(game1.start(exe, "--event " + eventName("watched")));
    ASSERT_TRUE(waitFor([] { return activeMarker() == "Fly"; })) << "the watcher did not find the game";
    EXPECT_EQ(padAfterAWhile(), "100/hard");
    ASSERT_TRUE(ended("watched"));
    EXPECT_EQ(padAfterAWhile(), "100/hard");

    PostMessageA(mainWindow, WM_COMMAND, LAUNCH_COMMAND_BASE, 0);
    ASSERT_TRUE(waitFor([] { return activeMarker() == "Fly"; }));
    EXPECT_EQ(padAfterAWhile(), "100/hard");
    profiler.end();
    signal("launched");
    held.reset();
    startProfiler();
    ASSERT_TRUE(waitFor([] { return activeMarker() == "<absent>"; }));
    EXPECT_EQ(padAfterAWhile(), "100/hard");
}

TEST_F(GamesEndToEnd, EmptyTitleStillMarksTheDeviceKeyForRecovery)
{
    std::string exe = folder.placeGame("Games\\Fly.exe");
    std::string location = addProfile("", exe, "70");
    startProfiler();
    ASSERT_TRUE(game1.start(exe, "--event " + eventName("untitled")));
    ASSERT_TRUE(waitFor([&] { return activeMarker() == location; })) << activeMarker();
    EXPECT_TRUE(waitFor([] { return deviceValue("Gain") == "70"; }));
    ASSERT_TRUE(ended("untitled"));
}

// A second start leaves the game to the running instance: the pad's defaults survive the game.
TEST_F(GamesEndToEnd, ASecondStartLeavesTheGameToTheRunningInstance)
{
    std::string exe = folder.placeGame("Games\\Fly.exe");
    addProfile("Fly", exe, "70");
    startProfiler();
    const std::string ini = folder.file("profiler.INI");
    auto fileBytes = [&] {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
        return readFile(ini);
    };
    std::string before = fileBytes();
    Process second = startPlaced(folder.file("profiler.exe"));
    ASSERT_TRUE(second.wait(30000)) << "the second instance kept running";
    EXPECT_EQ(second.exitCode(), 0u);
    EXPECT_EQ(fileBytes(), before);
    // The running instance's window is shown, as Profile Edit shows it, in the foreground.
    EXPECT_TRUE(waitFor([&] { return IsWindowVisible(mainWindow) && GetForegroundWindow() == mainWindow; }));

    ASSERT_TRUE(game1.start(exe, "--event " + eventName("second")));
    ASSERT_TRUE(flyServed());
    signal("second");
    ASSERT_TRUE(waitFor([] { return activeMarker() == "<absent>" && pad() == "100/hard"; })) << pad();
    EXPECT_EQ(store.readText("DEFAULT", "Gain") + "/" + store.readText("DEFAULT", "Curve"), "100/hard");
}

// "/close" while the instance waits for a game: not ended within its 10 s, so 1; the request stays
// queued and the instance ends once the game has ended and the defaults are back.
TEST_F(GamesEndToEnd, CloseDuringAGameAnswersOneAndTheInstanceEndsAfterTheGame)
{
    ASSERT_NO_FATAL_FAILURE(serveFly("close"));

    Process close = startPlaced(folder.file("profiler.exe"), " /close");
    ASSERT_TRUE(close.wait(60000));
    EXPECT_EQ(close.exitCode(), 1u);
    EXPECT_TRUE(profiler.running());

    signal("close");
    ASSERT_TRUE(profiler.wait(30000)) << "the queued request did not end the instance";
    EXPECT_EQ(profiler.exitCode(), 0u);
    EXPECT_EQ(activeMarker(), "<absent>");
    EXPECT_EQ(deviceValue("Curve"), "hard");
}

// Nothing slow stands before the first watch ticks: a game that runs when profiler starts is served
// within a second (the task scheduler, which can take many seconds to answer, is asked later).
TEST_F(GamesEndToEnd, AGameRunningAtStartIsServedWithinASecond)
{
    std::string exe = folder.placeGame("Games\\Fly.exe");
    addProfile("Fly", exe, "70");
    ASSERT_TRUE(game1.start(exe, "--event " + eventName("early")));
    const DWORD start = GetTickCount();
    profiler = startPlaced(folder.file("profiler.exe"));
    ASSERT_TRUE(profiler.started());
    const auto served = [] { return activeMarker() == "Fly"; };
    EXPECT_TRUE(waitUntil(served, 1000, 10))
        << "served after " << (waitFor(served), GetTickCount() - start) << " ms";
    ASSERT_TRUE(ended("early"));
}
} // namespace
