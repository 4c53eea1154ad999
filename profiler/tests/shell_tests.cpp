// The main window, tray menu, settings switches and start-up recovery, driven in this process
// through the real dialog, list view, menus and message boxes under Wine.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "main_dialog.h"
#include "module_path.h"
#include "profiler_app.h"
#include "profiler_ids.h"
#include "testlib/process.h"
#include "testlib/temp_dir.h"
#include "testlib/window_search.h"
#include "ui_test_support.h"

namespace {
const char* const TEST_PROGRAM = "profiler_shell_tests";

std::string settingsText(const std::string& regPath, const std::string& profiles, const std::string& switches)
{
    return "[SETTINGS]\r\nKEYS=2\r\n1=ForceGain\r\n2=Deadzone\r\nREGPATH=" + regPath + "\r\n" + switches +
           profiles;
}

// Three profiles: a real program (its icon), a missing file (the stand-in icon) and another.
const char* const THREE_PROFILES = "[PROFILES]\r\nCOUNT=3\r\n1=C:\\windows\\notepad.exe\r\n2=C:"
                                   "\\Games\\Fly\\fly.exe\r\n3=C:\\Games\\Race\\race.exe\r\n"
                                   "[C:\\windows\\notepad.exe]\r\nProfileTitle=Notes\r\n"
                                   "[C:\\Games\\Fly\\fly.exe]\r\nProfileTitle=Fly\r\n"
                                   "[C:\\Games\\Race\\race.exe]\r\nProfileTitle=Race\r\n";

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        settings = std::make_unique<TempSettings>(name);
        key = std::make_unique<ScratchKey>(std::string("Shell_") + name);
    }
    void TearDown() override
    {
        app.reset();
        pumpMessages(10);
        key.reset();
        settings.reset();
    }

    MainDialog& start(const std::string& profiles = THREE_PROFILES, const std::string& switches = "")
    {
        settings->write(settingsText(key->path, profiles, switches));
        app = std::make_unique<ProfilerApp>(settings->path);
        EXPECT_TRUE(app->start());
        return *app->mainDialog;
    }

    void select(int row)
    {
        ListView_SetItemState(dialog().profileList, row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    }
    void command(int id) { SendMessageA(dialog().hwnd, WM_COMMAND, id, 0); }
    LRESULT tray(UINT mouseMessage)
    {
        return SendMessageA(dialog().hwnd, WM_TRAYICON, TRAY_ICON_ID, mouseMessage);
    }
    MainDialog& dialog() { return *app->mainDialog; }
    bool timerRunning() // stops the timer to find out; restarts it when it ran
    {
        if (!KillTimer(dialog().hwnd, WATCH_TIMER))
            return false;
        SetTimer(dialog().hwnd, WATCH_TIMER, WATCH_PERIOD_MS, nullptr);
        return true;
    }
    int imageOf(int row)
    {
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        ListView_GetItem(dialog().profileList, &item);
        return item.iImage;
    }
    // Titles, locations, images and Launch items all line up with the expected rows.
    void expectRows(const std::vector<std::pair<std::string, std::string>>& rows)
    {
        MainDialog& d = dialog();
        ASSERT_EQ(d.rowCount(), static_cast<int>(rows.size()));
        HMENU launch = d.launchMenu();
        ASSERT_EQ(GetMenuItemCount(launch), static_cast<int>(rows.size()));
        EXPECT_EQ(ImageList_GetImageCount(d.profileImages.get()), static_cast<int>(rows.size()));
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

TEST_F(ShellTest, StartsHiddenWithRowsImagesAndLaunchItemsFromTheFile)
{
    MainDialog& d = start();
    EXPECT_FALSE(IsWindowVisible(d.hwnd));
    EXPECT_TRUE(GetWindowLongA(d.hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    expectRows({{"Notes", "C:\\windows\\notepad.exe"},
                {"Fly", "C:\\Games\\Fly\\fly.exe"},
                {"Race", "C:\\Games\\Race\\race.exe"}});
    EXPECT_EQ(d.tray.tip(), "Padwise: No Profile Active");
    EXPECT_TRUE(d.tray.added);
    EXPECT_EQ(d.tray.data.uID, static_cast<UINT>(TRAY_ICON_ID));
    EXPECT_EQ(d.tray.data.uCallbackMessage, static_cast<UINT>(WM_USER + 100));
    EXPECT_EQ(d.profileActive, 0);
    EXPECT_TRUE(timerRunning());
    EXPECT_EQ(GetMenuDefaultItem(d.popupMenu(), FALSE, 0), static_cast<UINT>(CMD_PROFILE_EDIT));

    // The list's look: grid, full-row selection, the colours and the column texts and widths.
    HWND list = d.profileList;
    EXPECT_EQ(ListView_GetExtendedListViewStyle(list) & 0x61, 0x61u);
    EXPECT_EQ(ListView_GetBkColor(list), 0xB8E4F3u);
    EXPECT_EQ(ListView_GetTextBkColor(list), CLR_NONE);
    RECT client;
    GetClientRect(list, &client);
    char header[32] = {};
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = header;
    column.cchTextMax = sizeof(header);
    ListView_GetColumn(list, 0, &column);
    EXPECT_STREQ(header, "  Title   ");
    EXPECT_EQ(column.cx, client.right * 35 / 100 - 1);
    ListView_GetColumn(list, 1, &column);
    EXPECT_STREQ(header, "  Location   ");
    EXPECT_EQ(column.cx, client.right * 65 / 100 - 1);
}

TEST_F(ShellTest, NoProfilesLeavesAnEmptyLaunchSubmenuWithoutItsPlaceholder)
{
    MainDialog& d = start("");
    EXPECT_EQ(d.rowCount(), 0);
    EXPECT_EQ(GetMenuItemCount(d.launchMenu()), 0);
    EXPECT_EQ(GetMenuState(d.popupMenu(), CMD_LAUNCH_PLACEHOLDER, MF_BYCOMMAND), static_cast<UINT>(-1));
}

TEST_F(ShellTest, EmptyEntriesAddNothingAndTheListIsNumberedLikeItsRows)
{
    start("[PROFILES]\r\nCOUNT=4\r\n1=C:\\a.exe\r\n2=\r\n3=C:\\c.exe\r\n4=C:\\d.exe\r\n"
          "[C:\\a.exe]\r\nProfileTitle=A\r\n[C:\\c.exe]\r\nProfileTitle=C\r\n[C:\\d.exe]\r\nProfileTitle="
          "D\r\n");
    expectRows({{"A", "C:\\a.exe"}, {"C", "C:\\c.exe"}, {"D", "C:\\d.exe"}});
    EXPECT_EQ(settings->read("PROFILES", "COUNT"), "3");
    EXPECT_EQ(settings->read("PROFILES", "2"), "C:\\c.exe");
    EXPECT_EQ(settings->read("PROFILES", "3"), "C:\\d.exe");
    EXPECT_FALSE(settings->has("PROFILES", "4"));
}

TEST_F(ShellTest, AnAbsurdCountStartsPromptlyWithTheListedRows)
{
    DWORD started = GetTickCount();
    start(
        "[PROFILES]\r\nCOUNT=2000000000\r\n1=C:\\a.exe\r\n2=C:\\b.exe\r\n[C:\\a.exe]\r\nProfileTitle=A\r\n");
    EXPECT_LT(GetTickCount() - started, 10000u);
    expectRows({{"A", "C:\\a.exe"}, {"", "C:\\b.exe"}});
    EXPECT_EQ(settings->read("PROFILES", "COUNT"), "2");
}

TEST_F(ShellTest, DeleteRenumbersFileRowsImagesAndLaunchCommands)
{
    struct Case {
        int row;
        std::vector<std::pair<std::string, std::string>> left;
    };
    const std::pair<std::string, std::string> notes{"Notes", "C:\\windows\\notepad.exe"},
        fly{"Fly", "C:\\Games\\Fly\\fly.exe"}, race{"Race", "C:\\Games\\Race\\race.exe"};
    for (const Case& c : {Case{0, {fly, race}}, Case{1, {notes, race}}, Case{2, {notes, fly}}}) {
        SCOPED_TRACE("deleting row " + std::to_string(c.row));
        app.reset();
        start();
        std::string title = dialog().rowText(c.row, 0), location = dialog().rowText(c.row, 1);
        select(c.row);
        BoxAnswerer answer({IDYES});
        command(IDC_DELETE);
        ASSERT_EQ(answer.seen.size(), 1u);
        EXPECT_EQ(answer.seen[0].text, "Are you Sure to delete Profile: " + title + "\n\nAt:\n\n" + location);
        EXPECT_EQ(answer.seen[0].caption, TEST_PROGRAM);
        EXPECT_EQ(answer.seen[0].buttons, (std::vector<int>{IDYES, IDNO}));
        EXPECT_EQ(answer.seen[0].icon, "question");

        expectRows(c.left);
        EXPECT_EQ(settings->read("PROFILES", "COUNT"), "2");
        EXPECT_EQ(settings->read("PROFILES", "1"), c.left[0].second);
        EXPECT_EQ(settings->read("PROFILES", "2"), c.left[1].second);
        EXPECT_FALSE(settings->has("PROFILES", "3"));
        EXPECT_FALSE(settings->has(location.c_str(), "ProfileTitle"));
        for (const auto& kept : c.left)
            EXPECT_EQ(settings->read(kept.second.c_str(), "ProfileTitle"), kept.first);
    }
}

TEST_F(ShellTest, DeleteAnsweredNoChangesNothing)
{
    start();
    select(1);
    BoxAnswerer answer({IDNO});
    command(IDC_DELETE);
    ASSERT_EQ(answer.seen.size(), 1u);
    EXPECT_EQ(dialog().rowCount(), 3);
    EXPECT_EQ(settings->read("PROFILES", "COUNT"), "3");
    EXPECT_EQ(settings->read("C:\\Games\\Fly\\fly.exe", "ProfileTitle"), "Fly");
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

TEST_F(ShellTest, SettingsSwitchesAreReadFlippedStoredAndChecked)
{
    MainDialog& d = start("", "AUTOLAUNCH=1\r\nPROMPT=1\r\nRESTORE=0\r\n");
    HMENU menu = d.settingsMenu();
    EXPECT_EQ(d.autoApply, 1);
    EXPECT_EQ(d.promptOnMatch, 1);
    EXPECT_EQ(d.restoreOnExit, 0);
    EXPECT_TRUE(GetMenuState(menu, CMD_AUTO_APPLY, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(menu, CMD_RESTORE, MF_BYCOMMAND) & MF_CHECKED);

    command(CMD_AUTO_APPLY);
    command(CMD_RESTORE);
    command(CMD_PROMPT);
    EXPECT_EQ(d.autoApply, 0);
    EXPECT_EQ(d.restoreOnExit, 1);
    EXPECT_EQ(d.promptOnMatch, 0);
    EXPECT_EQ(settings->read("SETTINGS", "AUTOLAUNCH"), "0");
    EXPECT_EQ(settings->read("SETTINGS", "RESTORE"), "1");
    EXPECT_EQ(settings->read("SETTINGS", "PROMPT"), "0");
    EXPECT_FALSE(GetMenuState(menu, CMD_AUTO_APPLY, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(menu, CMD_RESTORE, MF_BYCOMMAND) & MF_CHECKED);
    // The prompt switch has no menu item: only the file shows it.
    EXPECT_EQ(GetMenuState(d.popupMenu(), CMD_PROMPT, MF_BYCOMMAND), static_cast<UINT>(-1));

    command(CMD_AUTO_APPLY);
    EXPECT_EQ(settings->read("SETTINGS", "AUTOLAUNCH"), "1");
    EXPECT_TRUE(GetMenuState(menu, CMD_AUTO_APPLY, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(ShellTest, AutoStartFollowsTheRunEntry)
{
    RunEntryGuard guard;
    std::string self = modulePath();

    // AUTORUN alone does not count: only the Run entry does.
    RunEntryGuard::erase();
    MainDialog* d = &start("", "AUTORUN=1\r\n");
    EXPECT_EQ(d->autoStart, 0);
    EXPECT_FALSE(GetMenuState(d->settingsMenu(), CMD_AUTO_START, MF_BYCOMMAND) & MF_CHECKED);

    command(CMD_AUTO_START);
    std::string entry;
    ASSERT_TRUE(RunEntryGuard::read(entry));
    EXPECT_EQ(entry, self);
    EXPECT_EQ(settings->read("SETTINGS", "AUTORUN"), "1");
    EXPECT_TRUE(GetMenuState(d->settingsMenu(), CMD_AUTO_START, MF_BYCOMMAND) & MF_CHECKED);

    command(CMD_AUTO_START);
    EXPECT_FALSE(RunEntryGuard::read(entry));
    EXPECT_EQ(settings->read("SETTINGS", "AUTORUN"), "0");

    // The program's path in other letters still counts as this program.
    std::string upper = self;
    CharUpperA(&upper[0]);
    RunEntryGuard::write(upper);
    app.reset();
    d = &start("");
    EXPECT_EQ(d->autoStart, 1);
    EXPECT_TRUE(GetMenuState(d->settingsMenu(), CMD_AUTO_START, MF_BYCOMMAND) & MF_CHECKED);

    RunEntryGuard::write("C:\\Other\\profiler.exe");
    app.reset();
    EXPECT_EQ(start("").autoStart, 0);
}

TEST_F(ShellTest, TrayClicksOpenMenusOnlyWhileIdle)
{
    MainDialog& d = start();
    {
        MenuCloser closer;
        EXPECT_EQ(tray(WM_LBUTTONDOWN), 1);
        EXPECT_EQ(tray(WM_RBUTTONUP), 1);
        EXPECT_EQ(tray(WM_MOUSEMOVE), 0);
        ASSERT_EQ(closer.shown.size(), 2u);
        EXPECT_EQ(closer.shown[0], d.launchMenu());
        EXPECT_EQ(closer.shown[1], d.popupMenu());
    }

    // A double click shows the window for editing; clicks are then ignored until it is hidden.
    EXPECT_EQ(tray(WM_LBUTTONDBLCLK), 1);
    EXPECT_TRUE(IsWindowVisible(d.hwnd));
    EXPECT_EQ(d.profileActive, 1);
    EXPECT_EQ(d.tray.tip(), "Padwise: Profile Editor");
    {
        MenuCloser closer;
        EXPECT_EQ(tray(WM_LBUTTONDOWN), 0);
        EXPECT_EQ(tray(WM_RBUTTONUP), 0);
        EXPECT_TRUE(closer.shown.empty());
    }
    EXPECT_TRUE(timerRunning());
    for (int hide : {IDC_CLOSE, IDOK, IDCANCEL}) {
        command(CMD_PROFILE_EDIT);
        EXPECT_TRUE(IsWindowVisible(d.hwnd));
        command(hide);
        EXPECT_FALSE(IsWindowVisible(d.hwnd)) << hide;
        EXPECT_EQ(d.profileActive, 0);
        EXPECT_EQ(d.tray.tip(), "Padwise: No Profile Active");
    }
}

TEST_F(ShellTest, ActiveStateMarksTheDeviceKeyStopsTheTimerAndCutsTheTip)
{
    MainDialog& d = start();
    EXPECT_EQ(d.setActiveState(1, "Fly"), 0);
    std::string marker;
    EXPECT_TRUE(key->get("PROFILEACTIVE", marker));
    EXPECT_EQ(marker, "Fly");
    EXPECT_FALSE(timerRunning());
    EXPECT_EQ(d.tray.tip(), "Padwise: Fly");

    EXPECT_EQ(d.setActiveState(0, "Fly"), 1);
    EXPECT_FALSE(key->has("PROFILEACTIVE"));
    EXPECT_TRUE(timerRunning());
    EXPECT_EQ(d.tray.tip(), "Padwise: No Profile Active");

    std::string longTitle(100, 'x');
    d.setActiveState(1, longTitle);
    EXPECT_EQ(d.tray.tip(), ("Padwise: " + longTitle).substr(0, 63));
    d.setActiveState(0, longTitle);
}

TEST_F(ShellTest, EmptyDevicePathNeverMarksTheRegistryRoot)
{
    RegDeleteValueA(HKEY_LOCAL_MACHINE, "PROFILEACTIVE");
    settings->write("[SETTINGS]\r\n");
    app = std::make_unique<ProfilerApp>(settings->path);
    ASSERT_TRUE(app->start());
    dialog().setActiveState(1, "Fly");
    HKEY root = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, nullptr, 0, KEY_READ, &root);
    EXPECT_NE(RegQueryValueExA(root, "PROFILEACTIVE", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    RegCloseKey(root);
    EXPECT_FALSE(timerRunning());
    dialog().setActiveState(0, "Fly");
}

TEST_F(ShellTest, StartUpRestoresDefaultsWhenAProfileWasLeftActive)
{
    struct Case {
        std::string marker;
        bool restored;
    };
    for (const Case& c :
         {Case{"Fly", true}, Case{std::string(127, 'm'), true}, Case{std::string(128, 'm'), false}}) {
        SCOPED_TRACE("marker of " + std::to_string(c.marker.size()) + " characters");
        app.reset();
        key->set("ForceGain", "profile gain");
        key->set("Deadzone", "profile zone");
        key->set("PROFILEACTIVE", c.marker);
        start(std::string(THREE_PROFILES) + "[DEFAULT]\r\nForceGain=70\r\nDeadzone=4\r\n");
        std::string gain, zone;
        key->get("ForceGain", gain);
        key->get("Deadzone", zone);
        EXPECT_EQ(gain, c.restored ? "70" : "profile gain");
        EXPECT_EQ(zone, c.restored ? "4" : "profile zone");
        EXPECT_FALSE(key->has("PROFILEACTIVE"));
        EXPECT_TRUE(dialog().tray.added);
    }
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
    ASSERT_TRUE(IsWindow(d.hwnd));
    EXPECT_EQ(d.rowCount(), 3);
    EXPECT_TRUE(timerRunning());
    HMENU launch = d.launchMenu();
    {
        BoxAnswerer answer({IDYES});
        command(CMD_EXIT);
    }
    EXPECT_EQ(d.hwnd, nullptr);
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
    for (Process& copy : copies)
        copy.end();
    EXPECT_EQ(caption, "About");
    std::string own = std::string(TEST_PROGRAM) + ".exe";
    int ownCount = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (lstrcmpiA(names[i].c_str(), own.c_str()) == 0) {
            ++ownCount;
            if (ownCount > 1) {
                EXPECT_EQ(lstrcmpiA(names[i - 1].c_str(), own.c_str()), 0) << "copies not side by side";
            }
        }
        if (i > 0) {
            EXPECT_LE(lstrcmpiA(names[i - 1].c_str(), names[i].c_str()), 0) << "not sorted at " << i;
        }
    }
    EXPECT_EQ(ownCount, 3); // this program and its two copies
    EXPECT_GE(names.size(), 4u);
}
} // namespace
