// The launcher and the watcher with a main window of the test's own, against real processes (copies
// of the stand-in game), a real settings file and real registry keys. The prompt's Cancel,
// two games, launches with parameters and untitled profiles are covered end to end with profiler.exe.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "profiler_ids.h"
#include "editor/own_program.h"
#include "shell/game_host.h"
#include "shell/game_session.h"
#include "shell/timers.h"
#include "shell/launcher.h"
#include "shell/watcher.h"
#include "store/profile_store.h"
#include "testlib/registry.h"
#include "tests/settings_lines.h"
#include "tests/standin_game_process.h"

namespace {
constexpr const char* DEVICE_KEY = "Software\\PadkitTests\\Watcher";

std::string deviceValue(const char* name)
{
    return regText(DEVICE_KEY, name);
}

bool samePath(const std::string& a, const std::string& b)
{
    return foldCase(a) == foldCase(b);
}

// The main window's side, recorded: every state change with the device key's "Gain" at that moment.
class RecordingHost : public GameHost {
public:
    RecordingHost()
    {
        hwnd = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~RecordingHost() override { DestroyWindow(hwnd); }

    HWND window() const override { return hwnd; }
    ActivityState setActiveState(ActivityState state, const std::string& name) override
    {
        const char* names[] = {"idle", "editing", "game"};
        std::string named = name.empty() ? "" : " " + name;
        states.push_back(names[static_cast<int>(state)] + named + " gain=" + deviceValue("Gain"));
        return std::exchange(active, state);
    }
    const ProfileList& profiles() const override { return rows; }
    int askUser(const std::string& text, UINT type) override
    {
        promptText = text;
        promptType = type;
        return answer;
    }
    void retryLater() override { ++retries; }
    // The program "dies" after `crashAt`: nothing of the session runs after that step.
    void stepDone(SessionStep step) override
    {
        if (onStep)
            onStep(step);
        if (crashAt && *crashAt == step)
            throw Crashed();
    }
    struct Crashed {};

    HWND hwnd = nullptr;
    ProfileList rows;
    std::vector<std::string> states;
    ActivityState active = ActivityState::Idle;
    int answer = IDYES;
    int retries = 0;
    std::optional<SessionStep> crashAt;
    std::function<void(SessionStep)> onStep;
    std::string promptText;
    UINT promptType = 0;
};

class GamesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeLines(store, ini::SETTINGS,
                   std::string("KEYS=2\n1=Gain\n2=Curve\nREGPATH=") + DEVICE_KEY +
                       "\nDEVNODE=\\\\.\\PadkitNoDriver");
    }

    // A profile whose location names `gamePath` in capitals; returns that location.
    std::string addProfile(const std::string& title, const std::string& gamePath, const char* gain = "70")
    {
        std::string location = foldCase(gamePath);
        store.writeProfileFields(location, title, "", "");
        store.writeText(location.c_str(), "Gain", gain);
        store.writeText(location.c_str(), "Curve", "soft");
        host.rows.append({location, title});
        return location;
    }

    ScratchKey key{DEVICE_KEY, {{"Gain", "100"}, {"Curve", "hard"}}};
    GameFolder folder{"watcher_tests"};
    ProfileStore store{folder.file("profiler.INI")};
    RecordingHost host;
    ProcessWatcher watcher;
};

TEST(ProfileMatch, WholePathIgnoringCaseAndFirstRowWins)
{
    std::vector<std::string> rows = {"C:\\Games\\a.exe", "c:\\games\\B.EXE", "C:\\GAMES\\b.exe"};
    EXPECT_EQ(findProfileForProcess(rows, "C:\\games\\b.exe"), 2);
    EXPECT_EQ(findProfileForProcess(rows, "C:\\GAMES\\A.EXE"), 1);
    EXPECT_EQ(findProfileForProcess(rows, "b.exe"), 0) << "no match on the file name alone";
    EXPECT_EQ(findProfileForProcess(rows, "C:\\Games\\a.ex"), 0);
    EXPECT_EQ(findProfileForProcess(rows, "D:\\Games\\a.exe"), 0);
    EXPECT_EQ(findProfileForProcess({}, "C:\\Games\\a.exe"), 0);

    LocationIndex index;
    EXPECT_TRUE(index.update(rows));
    EXPECT_FALSE(index.update(rows)) << "an unchanged list is not indexed again";
    for (const char* path : {"C:\\games\\b.exe", "C:\\GAMES\\A.EXE", "b.exe", "C:\\Games\\a.ex", ""})
        EXPECT_EQ(index.find(foldCase(path)), findProfileForProcess(rows, path)) << path;
    rows.erase(rows.begin());
    EXPECT_TRUE(index.update(rows));
    EXPECT_EQ(index.find(foldCase("C:\\games\\b.exe")), 1);
    EXPECT_EQ(index.find(foldCase("C:\\Games\\a.exe")), 0);
}

TEST(ProcessPaths, FullPathsAreRecognised)
{
    for (const char* path : {"C:\\Games\\fly.exe", "d:\\fly.exe", "\\\\server\\share\\fly.exe"})
        EXPECT_TRUE(isFullPath(path)) << path;
    for (const char* path : {"fly.exe", "C:fly.exe", "", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(isFullPath(path)) << (path ? path : "null");
}

TEST(ProcessPaths, ResolvesARunningGameByEveryMeansTheSystemOffers)
{
    GameFolder folder("paths_tests");
    std::string exe = folder.placeGame("Games\\Fly\\Fly.exe");
    StandinGame game;
    ASSERT_TRUE(game.start(exe, ""));

    ProcessPathResolver resolver;
    ASSERT_NE(resolver.queryFullName, nullptr);
    ASSERT_NE(resolver.moduleFileName, nullptr);
    EXPECT_TRUE(samePath(resolver.resolve(game.id(), "Fly.exe"), exe));

    // As before Vista. A process still starting has no module list yet: its path is retried later.
    ProcessPathCache cache;
    cache.resolver.queryFullName = nullptr;
    StandinGame young;
    ASSERT_TRUE(young.start(exe, ""));
    cache.lookup(young.id(), GetCurrentProcessId(), "Fly.exe", 1);
    Sleep(300);
    EXPECT_TRUE(samePath(cache.lookup(young.id(), GetCurrentProcessId(), "Fly.exe", 2).path, exe));

    resolver.queryFullName = nullptr;
    EXPECT_TRUE(samePath(resolver.resolve(game.id(), "Fly.exe"), exe));

    resolver.moduleFileName = nullptr; // as on Windows 9x: only the snapshot's own text
    EXPECT_EQ(resolver.resolve(game.id(), "Fly.exe"), "");
    EXPECT_EQ(resolver.resolve(game.id(), "C:\\WIN\\FLY.EXE"), "C:\\WIN\\FLY.EXE");
    EXPECT_EQ(resolver.resolve(0x7FFFFFF0, "gone.exe"), "");
}

int resolveCalls = 0;
BOOL WINAPI countingQuery(HANDLE, DWORD, LPSTR text, PDWORD size)
{
    ++resolveCalls;
    lstrcpynA(text, "C:\\Fake\\game.exe", *size);
    *size = lstrlenA(text);
    return TRUE;
}

TEST(ProcessPaths, CacheResolvesOncePerProcessNoticesReusedIdsAndForgetsTheGone)
{
    ProcessPathCache cache;
    cache.resolver.queryFullName = countingQuery;
    cache.resolver.moduleFileName = nullptr;
    DWORD self = GetCurrentProcessId(); // a process that can be opened
    resolveCalls = 0;

    cache.lookup(self, 1, "a.exe", 1);
    EXPECT_EQ(cache.lookup(self, 1, "a.exe", 2).path, "C:\\Fake\\game.exe");
    EXPECT_EQ(resolveCalls, 1);
    cache.lookup(self, 1, "b.exe", 3); // same id, other program: reused
    EXPECT_EQ(resolveCalls, 2);
    cache.lookup(self, 7, "b.exe", 4); // same id and name, other parent: reused
    EXPECT_EQ(resolveCalls, 3);
    cache.lookup(0x7FFFFFF0, 7, "C:\\Win\\old.exe", 4); // a full snapshot text needs no query
    EXPECT_EQ(resolveCalls, 3);
    EXPECT_EQ(cache.size(), 2u);

    cache.lookup(self, 7, "b.exe", 5);
    cache.forgetAllBut(5);
    EXPECT_EQ(cache.size(), 1u);
    EXPECT_EQ(resolveCalls, 3);
}

TEST_F(GamesTest, WatchedGameIsServedUntilItEndsThenDefaultsComeBackWithRestoreOn)
{
    std::string exe = folder.placeGame("Games\\Fly\\Fly.exe");
    host.rows.append({"C:\\Elsewhere\\fly.exe", "Other"});
    addProfile("Fly", exe);
    StandinGame game;
    ASSERT_TRUE(game.start(exe, "--wait-ms 800 --exit 5"));

    watcher.watchTick(host, store, WATCH_TIMER, {true, false, true});

    EXPECT_TRUE(game.wait(0)) << "the tick returns only when the game has ended";
    EXPECT_EQ(game.exitCode(), 5u);
    EXPECT_EQ(host.states, (std::vector<std::string>{"game Fly gain=100", "idle gain=100"}))
        << "the profile stays in force while the game runs";
    EXPECT_EQ(store.readText("DEFAULT", "Gain") + "/" + store.readText("DEFAULT", "Curve"), "100/hard");
    EXPECT_EQ(deviceValue("Gain") + "/" + deviceValue("Curve"), "100/hard")
        << "restored before the state goes back to idle";

    host.states.clear();
    watcher.watchTick(host, store, WATCH_TIMER, {true, false, true});
    EXPECT_TRUE(host.states.empty()) << "an ended game is not served again";
    EXPECT_EQ(watcher.cache.known.count(game.id()), 0u) << "its entry is forgotten";
}

// Auto Apply, the prompt's answer and Restore decide what reaches the key; the state shows the game
// while it runs whether it was applied or not.
TEST_F(GamesTest, SwitchesAndThePromptDecideWhatIsAppliedAndRestored)
{
    std::string exe = folder.placeGame("Games\\Fly.exe");
    std::string location = addProfile("Fly High", exe);
    const std::vector<std::string> restored = {"game Fly High gain=100", "idle gain=100"};
    const std::vector<std::string> kept = {"game Fly High gain=100", "idle gain=70"};
    struct Case {
        WatchSwitches switches;
        int answer;
        std::vector<std::string> states;
        const char* gainAfter;
    } cases[] = {
        {{false, false, true}, IDYES, {}, "100"},
        {{true, false, false}, IDYES, kept, "70"},
        {{true, true, true}, IDYES, restored, "100"},
        {{true, true, true}, IDNO, restored, "100"},
    };
    const std::string tail = " Match the following profile\n\nTitle:    Fly High\nLocation: " + location +
                             "\n\nYes    = Apply Profile and Continue\nNo     = Continue without Apply "
                             "Profile\nCancel = Abort the Program";
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "auto apply " << c.switches.autoApply << ", prompt " << c.switches.promptOnMatch
                     << ", answer " << c.answer << ", restore " << c.switches.restoreOnExit);
        setRegText(DEVICE_KEY, "Gain", "100");
        host.states.clear();
        host.promptText.clear();
        host.answer = c.answer;
        const unsigned scans = watcher.scans;
        StandinGame game;
        ASSERT_TRUE(game.start(exe, "--wait-ms 300"));
        watcher.watchTick(host, store, WATCH_TIMER, c.switches);
        EXPECT_EQ(host.states, c.states);
        EXPECT_EQ(deviceValue("Gain"), c.gainAfter);
        EXPECT_EQ(watcher.scans, scans + (c.switches.autoApply ? 1u : 0u));
        if (!c.switches.promptOnMatch) {
            EXPECT_EQ(host.promptText, "");
            continue;
        }
        EXPECT_EQ(host.promptType, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION | MB_SYSTEMMODAL));
        ASSERT_GT(host.promptText.size(), tail.size());
        EXPECT_EQ(host.promptText.substr(host.promptText.size() - tail.size()), tail);
        EXPECT_TRUE(samePath(host.promptText.substr(0, host.promptText.size() - tail.size()), exe));
    }
}

TEST_F(GamesTest, SameLocationInTwoRowsServesTheLowerRow)
{
    std::string exe = folder.placeGame("fly.exe");
    host.rows.append({"C:\\x.exe", "Unrelated"});
    addProfile("First", exe, "1");
    addProfile("Second", exe, "2");
    StandinGame game;
    ASSERT_TRUE(game.start(exe, "--wait-ms 300"));
    watcher.watchTick(host, store, WATCH_TIMER, {true, false, false});
    ASSERT_EQ(host.states.size(), 2u);
    EXPECT_EQ(host.states[0], "game First gain=100");
}

// A process is placed in session 2 by its id; every other one in session 1, with the test.
DWORD otherSessionProcess = 0;
BOOL WINAPI twoSessions(DWORD processId, DWORD* session)
{
    *session = processId == otherSessionProcess ? 2 : 1;
    return TRUE;
}

// Each session's profiler serves only its own session's games: another user's game is never
// matched, and never snapshotted as if its profile were the pad's defaults.
TEST_F(GamesTest, AGameOfAnotherSessionIsLeftToThatSessionsProfiler)
{
    std::string exe = folder.placeGame("fly.exe");
    addProfile("Fly", exe);
    StandinGame game;
    ASSERT_TRUE(game.start(exe, "--wait-ms 300"));
    watcher.cache.resolver.sessionOf = twoSessions;
    for (bool other : {true, false}) {
        SCOPED_TRACE(other ? "another session" : "this session");
        otherSessionProcess = other ? game.id() : 0;
        watcher.cache.known.clear();
        WatchMatch match;
        ASSERT_TRUE(watcher.scan({host.rows.rows[0].location}, match));
        EXPECT_EQ(match.row, other ? -1 : 0);
    }
}

// The program ends after any step of a watched or a launched game, then starts again: the pad has
// the values it had before the game. A DEFAULT of an earlier version, never marked, is not put back.
TEST_F(GamesTest, AnEndAtAnyStepOfAGameIsUndoneByTheNextStart)
{
    std::string exe = folder.placeGame("Games\\Fly.exe");
    const std::string location = addProfile("Fly", exe);
    store.writeProfileFields(location, "Fly", "--wait-ms 200", "");
    const SessionStep steps[] = {SessionStep::Marked, SessionStep::Applied, SessionStep::GameEnded,
                                 SessionStep::Restored, SessionStep::Unmarked};
    int round = 0;
    for (bool launched : {false, true}) {
        for (SessionStep step : steps) {
            SCOPED_TRACE(std::string(launched ? "launched" : "watched") + ", step " +
                         std::to_string(static_cast<int>(step)));
            const std::string before = std::to_string(100 + ++round);
            setRegText(DEVICE_KEY, "Gain", before);
            store.deleteSection("DEFAULT");
            writeLines(store, "DEFAULT", "Gain=1\nCurve=stale"); // an earlier version's, unmarked
            host.crashAt = step;
            StandinGame game;
            try {
                if (launched) {
                    launchProfile(host, store, 0, true);
                } else {
                    ASSERT_TRUE(game.start(exe, "--wait-ms 200"));
                    watcher.watchTick(host, store, WATCH_TIMER, {true, false, true});
                }
                ADD_FAILURE() << "the session went past its end";
            } catch (const RecordingHost::Crashed&) {
            }
            host.crashAt.reset();
            if (!launched)
                game.wait(5000);
            ProfileStore restarted(store.filePath());
            EXPECT_TRUE(GameSession::recover(restarted));
            EXPECT_EQ(deviceValue("Gain") + "/" + deviceValue("Curve"), before + "/hard");
            EXPECT_EQ(deviceValue("PROFILEACTIVE"), "<absent>");
        }
    }
}

// Another program holds the settings file without sharing when the game ends: the marker stays
// and the restore is tried again until the file is free; nothing is written over meanwhile.
TEST_F(GamesTest, ARestoreThatFindsTheFileHeldIsRetriedNotDropped)
{
    std::string exe = folder.placeGame("Games\\Fly.exe");
    addProfile("Fly", exe);
    HANDLE held = INVALID_HANDLE_VALUE;
    host.onStep = [&](SessionStep step) {
        if (step == SessionStep::GameEnded)
            held = CreateFileA(store.filePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    };
    StandinGame game;
    ASSERT_TRUE(game.start(exe, "--wait-ms 200"));
    watcher.watchTick(host, store, WATCH_TIMER, {true, false, true});
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(deviceValue("Gain"), "70") << "not restored while the file is held";
    EXPECT_EQ(deviceValue("PROFILEACTIVE"), "Fly") << "the marker keeps the restore pending";
    EXPECT_EQ(host.retries, 1);
    EXPECT_FALSE(GameSession::recover(store)) << "still held";
    CloseHandle(held);
    EXPECT_TRUE(GameSession::recover(store));
    EXPECT_EQ(deviceValue("Gain"), "100");
    EXPECT_EQ(deviceValue("PROFILEACTIVE"), "<absent>");
}

// A settings file may list profiler itself: its own process, or another copy of profiler, would be
// waited on for good.
TEST_F(GamesTest, TheWatcherNeverServesProfiler)
{
    const std::string self = programPath();
    CreateDirectoryA(folder.file("Copy").c_str(), nullptr);
    const std::string copy = placeProgram("profiler.exe", folder.file("Copy"));
    ASSERT_FALSE(copy.empty());
    const std::string game = folder.placeGame("Games\\Fly.exe");
    struct Case {
        std::string path;
        bool profiler;
    } cases[] = {{self, true}, {copy, true}, {programDirectory() + "\\profiler.exe", true}, {game, false},
                 {folder.file("missing.exe"), false}};
    for (const Case& c : cases)
        EXPECT_EQ(isProfilerProgram(c.path), c.profiler) << c.path;

    WatchMatch match;
    ASSERT_TRUE(watcher.scan({foldCase(self)}, match));
    EXPECT_EQ(match.row, -1) << "its own process";
}

TEST_F(GamesTest, LaunchOfAMissingGameReturnsToIdleAtOnce)
{
    std::string location = addProfile("Ghost", folder.file("missing\\ghost.exe"));
    DWORD start = GetTickCount();
    OwnedHandle process = launchProfile(host, store, 0, true);
    EXPECT_FALSE(process.valid());
    EXPECT_LT(GetTickCount() - start, 3000u);
    EXPECT_EQ(host.states, (std::vector<std::string>{"game Ghost gain=100", "idle gain=100"}));
    EXPECT_EQ(store.readText("DEFAULT", "Gain"), "100") << "the snapshot was taken before the start";
    EXPECT_EQ(deviceValue("Gain"), "100");

    EXPECT_FALSE(launchProfile(host, store, 1, true).valid()) << "no such row";
    EXPECT_FALSE(launchProfile(host, store, -1, true).valid());
    EXPECT_EQ(host.states.size(), 2u);
}

// A game starts as the child of the process named (the desktop's shell, whose token it gets), with
// its parameters and start directory; where that process cannot be used, as before. The handle
// comes back once the game has ended, or at once when not waited on; a missing file starts nothing.
TEST_F(GamesTest, RunProgramStartsAGameAsTheChildOfTheNamedProcessAndWaitsOnlyWhenAsked)
{
    std::string exe = folder.placeGame("Games\\Fly\\fly.exe");
    const std::string saves = folder.makeDir("Saves"), report = folder.file("report.txt");
    const std::string arguments = "--report \"" + report + "\" --wait-ms 0 --exit 7 \"two words\"";
    StandinGame shell;
    ASSERT_TRUE(shell.start(folder.placeGame("shell.exe"), ""));
    struct Case {
        DWORD parent;
        DWORD expected;
    } cases[] = {{shell.id(), shell.id()}, {0x7FFFFFF0, GetCurrentProcessId()}, {0, GetCurrentProcessId()}};
    for (const Case& c : cases) {
        SCOPED_TRACE("as child of " + std::to_string(c.parent));
        DeleteFileA(report.c_str());
        OwnedHandle game = runProgram(nullptr, "Open", exe, arguments, saves, SW_SHOWNORMAL, true, c.parent);
        ASSERT_TRUE(game.valid());
        DWORD exitCode = 0;
        GetExitCodeProcess(game.get(), &exitCode);
        EXPECT_EQ(exitCode, 7u) << "the handle waited on is the game's";
        std::string text = readFile(report);
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        EXPECT_NE(text.find("parent=" + std::to_string(c.expected) + "\n"), std::string::npos) << text;
        EXPECT_NE(text.find("cwd=" + saves + "\n"), std::string::npos) << text;
        EXPECT_NE(text.find(" " + arguments + "\n"), std::string::npos) << text;
    }
    OwnedHandle started = runProgram(nullptr, "Open", exe, "--wait-ms 5000", "", SW_SHOWNORMAL, false);
    ASSERT_TRUE(started.valid());
    EXPECT_EQ(WaitForSingleObject(started.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    TerminateProcess(started.get(), 0);
    WaitForSingleObject(started.get(), 5000);
    EXPECT_FALSE(
        runProgram(nullptr, "Open", folder.file("nothing.exe"), "", "", SW_SHOWNORMAL, true).valid());
}
} // namespace
