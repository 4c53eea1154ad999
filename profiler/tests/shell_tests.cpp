// The main window, tray menu, settings switches and start-up recovery, driven in this process
// through the real dialog, list view, menus and message boxes under Wine.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <thread>

#include "profiler_ids.h"
#include "shell/game_session.h"
#include "shell/timers.h"
#include "shell/auto_start.h"
#include "shell/main_dialog.h"
#include "shell/module_path.h"
#include "shell/profiler_app.h"
#include "testlib/owned.h"
#include "testlib/process.h"
#include "testlib/registry.h"
#include "testlib/temp_dir.h"
#include "testlib/window_search.h"
#include "tests/standin_game_process.h"
#include "tests/ui_test_support.h"

namespace {
const char* const TEST_PROGRAM = "profiler_shell_tests";

using Rows = std::vector<std::pair<std::string, std::string>>; // title, location

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        settings = std::make_unique<TempSettings>(name);
        key = std::make_unique<ScratchKey>(std::string("Software\\PadkitTests\\Shell_") + name);
    }
    void TearDown() override
    {
        app.reset();
        pumpMessages(10); // before the key and the folder go
    }

    // Starts the program afresh on a settings file of the device key's two values and `profiles`.
    MainDialog& start(const std::string& profiles = THREE_PROFILES, const std::string& switches = "")
    {
        app.reset();
        settings->write("[SETTINGS]\r\nKEYS=2\r\n1=ForceGain\r\n2=Deadzone\r\nREGPATH=" + key->path + "\r\n" +
                        switches + profiles);
        // Auto Start through the Run key, as on XP, whatever the prefix reports.
        app = std::make_unique<ProfilerApp>(settings->path, GetModuleHandleA(nullptr),
                                            std::make_unique<AutoStart>(modulePath(), false, nullptr));
        EXPECT_TRUE(app->start());
        return *app->mainDialog();
    }

    HWND list() { return GetDlgItem(dialog().window(), IDC_PROFILE_LIST); }
    void select(int row)
    {
        ListView_SetItemState(list(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    void command(int id) { SendMessageA(dialog().window(), WM_COMMAND, id, 0); }
    LRESULT tray(UINT mouseMessage)
    {
        return SendMessageA(dialog().window(), WM_TRAYICON, TRAY_ICON_ID, mouseMessage);
    }
    MainDialog& dialog() { return *app->mainDialog(); }
    bool timerRunning() // stops the timer to find out; restarts it when it ran
    {
        if (!KillTimer(dialog().window(), WATCH_TIMER))
            return false;
        SetTimer(dialog().window(), WATCH_TIMER, WATCH_PERIOD_MS, nullptr);
        return true;
    }
    int imageOf(int row)
    {
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        ListView_GetItem(list(), &item);
        return item.iImage;
    }
    // The pixels of the Launch item's bitmap at `row`.
    std::string launchBitmapBits(int row)
    {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_CHECKMARKS;
        GetMenuItemInfoA(dialog().launchMenu(), row, TRUE, &info);
        BITMAP bitmap = {};
        GetObjectA(info.hbmpUnchecked, sizeof(bitmap), &bitmap);
        std::string bits(static_cast<std::size_t>(bitmap.bmWidthBytes) * bitmap.bmHeight, '\0');
        GetBitmapBits(info.hbmpUnchecked, static_cast<LONG>(bits.size()), &bits[0]);
        return bits;
    }
    // "PROFILES" holds `count` and numbers the rows' locations 1 … n, with no entry n + 1.
    void expectEntries(const Rows& rows, const std::string& count)
    {
        EXPECT_EQ(settings->read("PROFILES", "COUNT"), count);
        for (std::size_t k = 1; k <= rows.size(); ++k)
            EXPECT_EQ(settings->read("PROFILES", std::to_string(k).c_str()), rows[k - 1].second);
        EXPECT_FALSE(settings->has("PROFILES", std::to_string(rows.size() + 1).c_str()));
    }
    // Titles, locations, images and Launch items all line up with the expected rows.
    void expectRows(const Rows& rows)
    {
        MainDialog& d = dialog();
        ASSERT_EQ(d.rowCount(), static_cast<int>(rows.size()));
        HMENU launch = d.launchMenu();
        ASSERT_EQ(GetMenuItemCount(launch), static_cast<int>(rows.size()));
        EXPECT_EQ(ImageList_GetImageCount(ListView_GetImageList(list(), LVSIL_SMALL)),
                  static_cast<int>(rows.size()));
        for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
            EXPECT_EQ(d.rowText(i, 0), rows[i].first) << "row " << i;
            EXPECT_EQ(d.rowText(i, 1), rows[i].second) << "row " << i;
            EXPECT_EQ(imageOf(i), i);
            EXPECT_EQ(GetMenuItemID(launch, i), static_cast<UINT>(LAUNCH_COMMAND_BASE + i));
            EXPECT_EQ(menuText(launch, i), rows[i].first);
            MENUITEMINFOA info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_CHECKMARKS;
            GetMenuItemInfoA(launch, i, TRUE, &info);
            EXPECT_NE(info.hbmpUnchecked, nullptr);
            EXPECT_EQ(info.hbmpChecked, nullptr);
        }
    }

    std::unique_ptr<TempSettings> settings;
    std::unique_ptr<ScratchKey> key;
    std::unique_ptr<ProfilerApp> app;
};

TEST(SettingsPath, LastThreeCharactersBecomeIni)
{
    EXPECT_EQ(settingsPathFor("C:\\Tools\\profiler.EXE"), "C:\\Tools\\profiler.INI");
    EXPECT_EQ(settingsPathFor("C:\\Tools\\pad.ex"), "C:\\Tools\\padINI");
    EXPECT_EQ(settingsPathFor("C:\\Tools\\pad.exec"), "C:\\Tools\\pad.eINI");
    EXPECT_EQ(settingsPathFor("ab"), "INI");
}

// The system cuts a module path at the buffer's size (on XP without a terminator). Wine starts no
// program from a path of 260 characters or more, so the path comes from here.
std::string longProgramPath;

DWORD WINAPI longModuleFileName(HMODULE, LPSTR buffer, DWORD size)
{
    const DWORD length = static_cast<DWORD>(longProgramPath.size());
    std::copy_n(longProgramPath.c_str(), std::min(length + 1, size), buffer);
    return std::min(length, size);
}

// A program path of 260 characters or more names its own settings file, never one beside a cut
// path. (Wine's ANSI file functions reach no path that long: the file itself stays unread here.)
TEST_F(ShellTest, AProgramPathOfMoreThan259CharactersMakesNoStraySettingsFile)
{
    const std::string folder =
        settings->dir.makeDir(std::string(250 - settings->dir.path().size() - 1, 'd')); // 250 characters
    longProgramPath = folder + "\\profiler.exe";
    const std::string own = settingsPathFor(modulePath(longModuleFileName));
    EXPECT_EQ(own, folder + "\\profiler.INI");
    app = std::make_unique<ProfilerApp>(own);
    ASSERT_TRUE(app->start());
    command(CMD_AUTO_APPLY); // a write to the settings file
    WIN32_FIND_DATAA found;
    testlib::FileSearch files(FindFirstFileA((folder + "\\*").c_str(), &found));
    for (bool more = files.valid(); more; more = FindNextFileA(files.get(), &found))
        if (found.cFileName[0] != '.')
            ADD_FAILURE() << "a stray " << found.cFileName;
}

// Every listed row has a Launch command that starts its game, beyond the 256th too.
TEST_F(ShellTest, EveryLaunchItemLaunchesItsRow)
{
    GameFolder games("launch");
    const int launched[] = {0, 255, 256, 299};
    std::string profiles = "[PROFILES]\r\nCOUNT=300\r\n", sections;
    for (int row = 0; row < 300; ++row) {
        std::string location = "C:\\Games\\g" + std::to_string(row) + ".exe";
        if (std::find(std::begin(launched), std::end(launched), row) != std::end(launched)) {
            location = games.placeGame("g" + std::to_string(row) + ".exe");
            sections += "[" + location + "]\r\nAppParams=--wait-ms 0 --report " +
                        games.file("ran" + std::to_string(row)) + "\r\n";
        }
        profiles += std::to_string(row + 1) + "=" + location + "\r\n";
    }
    start(profiles + sections);
    ASSERT_EQ(GetMenuItemCount(dialog().launchMenu()), 300);
    for (int row : launched) {
        EXPECT_EQ(GetMenuItemID(dialog().launchMenu(), row), static_cast<UINT>(LAUNCH_COMMAND_BASE + row));
        command(LAUNCH_COMMAND_BASE + row);
        EXPECT_TRUE(fileExists(games.file("ran" + std::to_string(row)))) << "row " << row;
    }
}

TEST_F(ShellTest, StartsHiddenWithRowsImagesAndLaunchItemsFromTheFile)
{
    MainDialog& d = start();
    EXPECT_FALSE(IsWindowVisible(d.window()));
    EXPECT_TRUE(GetWindowLongA(d.window(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    expectRows({{"Notes", "C:\\windows\\notepad.exe"},
                {"Fly", "C:\\Games\\Fly\\fly.exe"},
                {"Race", "C:\\Games\\Race\\race.exe"}});
    EXPECT_EQ(d.trayIcon().tip(), "Padwise: No Profile Active");
    EXPECT_TRUE(d.trayIcon().isAdded());
    EXPECT_EQ(d.trayIcon().id(), static_cast<UINT>(TRAY_ICON_ID));
    EXPECT_EQ(d.trayIcon().callbackMessage(), static_cast<UINT>(WM_USER + 100));
    EXPECT_TRUE(timerRunning());
    EXPECT_EQ(GetMenuDefaultItem(d.popupMenu(), FALSE, 0), static_cast<UINT>(CMD_PROFILE_EDIT));
    {
        // Once a menu shows, a game's own icon is in its Launch item; missing files show the stand-in.
        MenuCloser closer;
        tray(WM_RBUTTONUP);
    }
    EXPECT_NE(launchBitmapBits(0), launchBitmapBits(1));
    EXPECT_EQ(launchBitmapBits(1), launchBitmapBits(2));

    // The list's look: grid, full-row selection, the colours and the column texts and widths.
    HWND list = this->list();
    EXPECT_EQ(ListView_GetExtendedListViewStyle(list) & 0x61, 0x61u);
    EXPECT_EQ(ListView_GetBkColor(list), 0xB8E4F3u);
    EXPECT_EQ(ListView_GetTextBkColor(list), CLR_NONE);
    RECT client;
    GetClientRect(list, &client);
    for (int i : {0, 1}) {
        char header[32] = {};
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = header;
        column.cchTextMax = sizeof(header);
        ListView_GetColumn(list, i, &column);
        EXPECT_STREQ(header, i == 0 ? "  Title   " : "  Location   ");
        EXPECT_EQ(column.cx, client.right * (i == 0 ? 35 : 65) / 100 - 1);
    }
}

// Empty entries add nothing, and the file is numbered like the rows again; entries above a wrong
// COUNT are listed; with no profiles the Launch submenu is empty, its placeholder gone.
TEST_F(ShellTest, TheListFollowsTheFileAndTheFileIsNumberedLikeTheList)
{
    struct Case {
        const char* profiles;
        Rows rows;
        const char* count; // "COUNT" afterwards
    } cases[] = {
        {"", {}, ""},
        {"[PROFILES]\r\nCOUNT=4\r\n1=C:\\a.exe\r\n2=\r\n3=C:\\c.exe\r\n4=C:\\d.exe\r\n"
         "[C:\\a.exe]\r\nProfileTitle=A\r\n[C:\\c.exe]\r\nProfileTitle=C\r\n"
         "[C:\\d.exe]\r\nProfileTitle=D\r\n",
         {{"A", "C:\\a.exe"}, {"C", "C:\\c.exe"}, {"D", "C:\\d.exe"}},
         "3"},
        {"[PROFILES]\r\nCOUNT=2000000000\r\n1=C:\\a.exe\r\n2=C:\\b.exe\r\n[C:\\a.exe]\r\nProfileTitle=A\r\n",
         {{"A", "C:\\a.exe"}, {"", "C:\\b.exe"}},
         "2"},
        {"[PROFILES]\r\nCOUNT=-1\r\n1=C:\\a.exe\r\n2=C:\\b.exe\r\n",
         {{"", "C:\\a.exe"}, {"", "C:\\b.exe"}},
         "2"},
        {"[PROFILES]\r\nCOUNT=2\r\n1=C:\\a.exe\r\n3=C:\\c.exe\r\n4=C:\\d.exe\r\n",
         {{"", "C:\\a.exe"}, {"", "C:\\c.exe"}, {"", "C:\\d.exe"}},
         "3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profiles);
        MainDialog& d = start(c.profiles);
        expectRows(c.rows);
        EXPECT_EQ(GetMenuState(d.popupMenu(), CMD_LAUNCH_PLACEHOLDER, MF_BYCOMMAND), static_cast<UINT>(-1));
        expectEntries(c.rows, c.count);
    }
}

// Yes removes the row's section and renumbers the file, the rows, the images and the Launch items;
// No changes nothing.
TEST_F(ShellTest, DeleteAsksThenRenumbersFileRowsImagesAndLaunchCommands)
{
    struct Case {
        int row;
        int answer;
        Rows left;
    };
    const std::pair<std::string, std::string> notes{"Notes", "C:\\windows\\notepad.exe"},
        fly{"Fly", "C:\\Games\\Fly\\fly.exe"}, race{"Race", "C:\\Games\\Race\\race.exe"};
    for (const Case& c : {Case{0, IDYES, {fly, race}}, Case{1, IDYES, {notes, race}},
                          Case{2, IDYES, {notes, fly}}, Case{1, IDNO, {notes, fly, race}}}) {
        SCOPED_TRACE("deleting row " + std::to_string(c.row) + ", answer " + std::to_string(c.answer));
        start();
        std::string title = dialog().rowText(c.row, 0), location = dialog().rowText(c.row, 1);
        select(c.row);
        BoxAnswerer answer({c.answer});
        command(IDC_DELETE);
        ASSERT_EQ(answer.seen.size(), 1u);
        EXPECT_EQ(answer.seen[0].text, "Are you Sure to delete Profile: " + title + "\n\nAt:\n\n" + location);
        EXPECT_EQ(answer.seen[0].caption, TEST_PROGRAM);
        EXPECT_EQ(answer.seen[0].buttons, (std::vector<int>{IDYES, IDNO}));
        EXPECT_EQ(answer.seen[0].icon, "question");

        expectRows(c.left);
        expectEntries(c.left, std::to_string(c.left.size()));
        EXPECT_EQ(settings->has(location.c_str(), "ProfileTitle"), c.answer != IDYES);
        for (const auto& kept : c.left)
            EXPECT_EQ(settings->read(kept.second.c_str(), "ProfileTitle"), kept.first);
    }
}

TEST_F(ShellTest, EditDeleteAndRunWithoutSelectionAskForOne)
{
    start();
    for (int id : {IDC_EDIT, IDC_DELETE, IDC_RUN}) {
        BoxAnswerer answer;
        command(id);
        ASSERT_EQ(answer.seen.size(), 1u) << id;
        EXPECT_EQ(answer.seen[0].text, "Please select item First!");
        EXPECT_EQ(answer.seen[0].caption, TEST_PROGRAM);
        EXPECT_EQ(answer.seen[0].buttons, std::vector<int>{IDOK});
        EXPECT_EQ(answer.seen[0].icon, "exclamation");
    }
    EXPECT_EQ(dialog().rowCount(), 3);
    EXPECT_EQ(settings->read("PROFILES", "COUNT"), "3");
}

// Each switch is read at start-up (Auto Start from the Run entry alone, not from "AUTORUN"), and its
// command flips it, stores it and sets its check mark. The prompt has no menu item.
TEST_F(ShellTest, SettingsSwitchesAreReadFlippedStoredAndChecked)
{
    RunEntryGuard guard;
    const std::string self = modulePath();
    std::string upper = self;
    CharUpperA(&upper[0]);
    struct Case {
        int command;
        const char* key;
        const char* file;
        std::string run; // the Run entry; none when empty
        bool on;         // as read at start-up
    } cases[] = {
        {CMD_AUTO_APPLY, "AUTOLAUNCH", "AUTOLAUNCH=1\r\n", "", true},
        {CMD_AUTO_APPLY, "AUTOLAUNCH", "", "", false},
        {CMD_RESTORE, "RESTORE", "RESTORE=0\r\n", "", false},
        {CMD_RESTORE, "RESTORE", "RESTORE=1\r\n", "", true},
        {CMD_PROMPT, "PROMPT", "PROMPT=1\r\n", "", true},
        {CMD_AUTO_START, "AUTORUN", "AUTORUN=1\r\n", "", false},
        {CMD_AUTO_START, "AUTORUN", "", upper, true},
        {CMD_AUTO_START, "AUTORUN", "", "C:\\Other\\profiler.exe", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " run entry " + c.run + " command " + std::to_string(c.command));
        RunEntryGuard::write(c.run);
        MainDialog& d = start("", c.file);
        ASSERT_TRUE(waitAutoStartRead(d.settingsMenu()));
        const UINT before = GetMenuState(d.settingsMenu(), c.command, MF_BYCOMMAND);
        command(c.command);
        EXPECT_EQ(settings->read("SETTINGS", c.key), c.on ? "0" : "1");
        const UINT after = GetMenuState(d.settingsMenu(), c.command, MF_BYCOMMAND);
        if (c.command == CMD_PROMPT) {
            EXPECT_EQ(GetMenuState(d.popupMenu(), c.command, MF_BYCOMMAND), static_cast<UINT>(-1));
            continue;
        }
        EXPECT_EQ((before & MF_CHECKED) != 0, c.on);
        EXPECT_EQ((after & MF_CHECKED) != 0, !c.on);
        std::string entry;
        if (c.command == CMD_AUTO_START) {
            EXPECT_EQ(RunEntryGuard::read(entry), !c.on);
            EXPECT_EQ(entry, c.on ? "" : self);
        }
    }
}

TEST_F(ShellTest, TrayClicksOpenMenusAndADoubleClickShowsTheWindowUntilItIsHidden)
{
    MainDialog& d = start();
    const DWORD decided = GetDoubleClickTime() + 200;
    auto post = [&](std::initializer_list<UINT> messages) {
        for (UINT message : messages)
            PostMessageA(d.window(), WM_TRAYICON, TRAY_ICON_ID, message);
    };
    {
        // A left click opens the Launch submenu once the double-click time has passed; a right
        // click the whole popup at once.
        MenuCloser closer;
        post({WM_LBUTTONDOWN, WM_LBUTTONUP});
        pumpMessages(50);
        EXPECT_TRUE(closer.shown.empty()) << "the menu would take a second click";
        pumpMessages(decided);
        EXPECT_EQ(tray(WM_RBUTTONUP), 1);
        EXPECT_EQ(tray(WM_MOUSEMOVE), 0);
        ASSERT_EQ(closer.shown.size(), 2u);
        EXPECT_EQ(closer.shown[0], d.launchMenu());
        EXPECT_EQ(closer.shown[1], d.popupMenu());
    }
    {
        // A double click, in the order Windows sends it, shows the window and no menu.
        MenuCloser closer;
        post({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
        pumpMessages(decided);
        EXPECT_TRUE(closer.shown.empty());
    }
    EXPECT_TRUE(IsWindowVisible(d.window()));
    EXPECT_EQ(d.trayIcon().tip(), "Padwise: Profile Editor");
    for (int hide : {IDC_CLOSE, IDOK, IDCANCEL}) {
        command(CMD_PROFILE_EDIT);
        EXPECT_TRUE(IsWindowVisible(d.window()));
        command(hide);
        EXPECT_FALSE(IsWindowVisible(d.window())) << hide;
        EXPECT_EQ(d.trayIcon().tip(), "Padwise: No Profile Active");
    }
}

// The activity state through its effects: the marker in the device key, WATCH_TIMER, the tip, and
// tray clicks, which work only while idle. Editing leaves the marker and the timer alone; a game
// found while editing ends in idle with the window still shown.
TEST_F(ShellTest, ActiveStateMarksTheDeviceKeyStopsTheTimerAndSetsTheTip)
{
    MainDialog& d = start();
    key->set("PROFILEACTIVE", "left alone");
    const std::string longTitle(100, 'x');
    const std::string idle = "Padwise: No Profile Active";
    struct Step {
        ActivityState state;
        std::string name;
        std::string marker;
        bool timer;
        std::string tip;
    } steps[] = {
        {ActivityState::Editing, "", "left alone", true, "Padwise: Profile Editor"},
        {ActivityState::Idle, "", "left alone", true, idle},
        {ActivityState::Editing, "", "left alone", true, "Padwise: Profile Editor"},
        {ActivityState::GameActive, "Fly", "Fly", false, "Padwise: Fly"},
        {ActivityState::Idle, "", "<absent>", true, idle},
        {ActivityState::Idle, "", "<absent>", true, idle},
        {ActivityState::GameActive, longTitle, longTitle, false, ("Padwise: " + longTitle).substr(0, 63)},
        {ActivityState::Idle, "", "<absent>", true, idle},
    };
    // A game's state comes and goes with its session, which marks the key and rests the watcher.
    std::unique_ptr<GameSession> session;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.tip);
        if (step.state == ActivityState::GameActive) {
            session = std::make_unique<GameSession>(d, app->store(), step.name);
            session->mark();
        } else if (session && step.state == ActivityState::Idle) {
            session->end(true);
            session.reset();
        } else {
            d.setActiveState(step.state, step.name);
        }
        EXPECT_EQ(regText(key->path, "PROFILEACTIVE"), step.marker);
        EXPECT_EQ(timerRunning(), step.timer);
        EXPECT_EQ(d.trayIcon().tip(), step.tip);
        MenuCloser closer;
        EXPECT_EQ(tray(WM_RBUTTONUP), step.state == ActivityState::Idle ? 1 : 0);
        EXPECT_EQ(closer.shown.size(), step.state == ActivityState::Idle ? 1u : 0u);
    }
}

TEST_F(ShellTest, EmptyDevicePathNeverMarksTheRegistryRoot)
{
    RegDeleteValueA(HKEY_LOCAL_MACHINE, "PROFILEACTIVE");
    settings->write("[SETTINGS]\r\n");
    app = std::make_unique<ProfilerApp>(settings->path);
    ASSERT_TRUE(app->start());
    GameSession session(dialog(), app->store(), "Fly");
    session.mark();
    EXPECT_EQ(regText("", "PROFILEACTIVE"), "<absent>");
    EXPECT_FALSE(timerRunning());
    session.end(true);
}

// Any marker counts, however long: a long title, or the location of a profile without one.
TEST_F(ShellTest, StartUpRestoresDefaultsWhenAProfileWasLeftActive)
{
    const std::string location300 = "C:\\" + std::string(293, 'g') + ".exe";
    for (const std::string& marker :
         {std::string("Fly"), std::string(127, 'm'), std::string(128, 'm'), location300}) {
        SCOPED_TRACE("marker of " + std::to_string(marker.size()) + " characters");
        app.reset();
        key->set("ForceGain", "profile gain");
        key->set("Deadzone", "profile zone");
        key->set("PROFILEACTIVE", marker);
        start(std::string(THREE_PROFILES) + "[DEFAULT]\r\nForceGain=70\r\nDeadzone=4\r\n");
        EXPECT_EQ(regText(key->path, "ForceGain") + "/" + regText(key->path, "Deadzone"), "70/4");
        EXPECT_FALSE(key->has("PROFILEACTIVE"));
        EXPECT_TRUE(dialog().trayIcon().isAdded());
    }
}

// Another program holds the file without sharing for 1.5 s at start-up: start-up waits for it, and
// the list and the recovery come from the file.
TEST_F(ShellTest, StartUpWaitsForASettingsFileHeldByAnotherProgram)
{
    key->set("ForceGain", "profile gain");
    key->set("PROFILEACTIVE", "Fly");
    settings->write("[SETTINGS]\r\nKEYS=2\r\n1=ForceGain\r\n2=Deadzone\r\nREGPATH=" + key->path + "\r\n" +
                    THREE_PROFILES + "[DEFAULT]\r\nForceGain=70\r\nDeadzone=4\r\n");
    HANDLE held = CreateFileA(settings->path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        Sleep(1500);
        CloseHandle(held);
    });
    app = std::make_unique<ProfilerApp>(settings->path, GetModuleHandleA(nullptr),
                                        std::make_unique<AutoStart>(modulePath(), false, nullptr));
    const bool started = app->start();
    release.join();
    ASSERT_TRUE(started);
    EXPECT_EQ(dialog().rowCount(), 3);
    EXPECT_EQ(regText(key->path, "ForceGain"), "70");
    EXPECT_FALSE(key->has("PROFILEACTIVE"));
}

TEST_F(ShellTest, TheTrayIconComesBackWhenTheShellRestarts)
{
    start();
    HWND window = dialog().window();
    std::string tip = dialog().trayIcon().tip();
    NOTIFYICONDATAA lost = {};
    lost.cbSize = NOTIFYICONDATAA_V1_SIZE;
    lost.hWnd = window;
    lost.uID = TRAY_ICON_ID;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &lost));
    ASSERT_FALSE(trayIconPresent(window));
    SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(trayIconPresent(window));
    EXPECT_EQ(dialog().trayIcon().tip(), tip);
}

TEST_F(ShellTest, ExitAskedNoKeepsRunningAndYesClosesTheWindow)
{
    MainDialog& d = start();
    {
        BoxAnswerer answer({IDNO});
        command(CMD_EXIT);
        ASSERT_EQ(answer.seen.size(), 1u);
        EXPECT_EQ(answer.seen[0].text, "Are you sure to Close Padwise?\n\n");
        EXPECT_EQ(answer.seen[0].icon, "question");
        EXPECT_EQ(answer.seen[0].buttons, (std::vector<int>{IDYES, IDNO}));
    }
    ASSERT_TRUE(IsWindow(d.window()));
    EXPECT_EQ(d.rowCount(), 3);
    EXPECT_TRUE(timerRunning());
    HMENU launch = d.launchMenu();
    {
        BoxAnswerer answer({IDYES});
        command(CMD_EXIT);
    }
    EXPECT_EQ(d.window(), nullptr);
    EXPECT_EQ(GetMenuItemCount(launch), 0);
    EXPECT_EQ(app->run(), 0); // the loop ends at once: the window is gone
}

TEST_F(ShellTest, AboutListsEveryRunningProcessSorted)
{
    start();
    // Two suspended copies of one program: the same name twice, side by side.
    std::string self = inQuotes(programPath());
    Process copies[2] = {Process(self, "", CREATE_SUSPENDED), Process(self, "", CREATE_SUSPENDED)};
    for (const Process& copy : copies)
        ASSERT_TRUE(copy.started());
    std::vector<std::string> names;
    std::string caption;
    BoxAnswerer watcher;
    watcher.onDialog = [&](HWND about) {
        if (!GetDlgItem(about, IDC_PROCESS_LIST) || GetDlgItem(about, IDC_CLOSE))
            return; // the main window, activated again when the box closes
        caption = windowText(about);
        // The list is filled before the dialog is activated.
        HWND list = GetDlgItem(about, IDC_PROCESS_LIST);
        int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char name[MAX_PATH] = {};
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(name));
            names.push_back(name);
        }
        PostMessageA(about, WM_COMMAND, IDOK, 0);
    };
    command(CMD_ABOUT);
    EXPECT_EQ(caption, "About");
    // Sorted without regard to case, so the copies of one program stand side by side.
    const auto less = [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    };
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), less));
    const auto own = std::equal_range(names.begin(), names.end(), std::string(TEST_PROGRAM) + ".exe", less);
    EXPECT_EQ(own.second - own.first, 3); // this program and its two copies
    EXPECT_GE(names.size(), 4u);
}
} // namespace
