// The profile editor through the real dialog: New and Edit from the main window, the "TMP" section,
// Browse with the real open-file dialog, and "Go to Game Option" with the real control panel and
// the stand-in kernel driver. A second thread plays the user while this thread runs the dialog.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <thread>

#include "editor/profile_editor_dialog.h"
#include "editor/text_rules.h"
#include "profiler_ids.h"
#include "shell/main_dialog.h"
#include "shell/profiler_app.h"
#include "testlib/registry.h"
#include "testlib/temp_dir.h"
#include "testlib/wait.h"
#include "testlib/window_search.h"
#include "tests/standin_driver_service.h"
#include "tests/ui_test_support.h"

namespace {
const char* const NEW_PROFILE = "New Game Profile";
const char* const EDIT_PROFILE = "Edit Game profile";
const char* const NO_LOCATION = "Please seletec program location first.";
constexpr const char* SHARED_OPEN = "create share=0x00000003";
constexpr int FILE_NAME_COMBO = 0x47C; // cmb13 of the open-file dialog
constexpr int FILE_TYPE_COMBO = 0x470; // cmb1

// The first visible top-level window that match accepts, waited for up to 10 s.
HWND waitForWindow(const std::function<bool(HWND)>& match)
{
    return waitWindow([&](HWND w) { return IsWindowVisible(w) && match(w); }, 10000);
}

bool ownWindow(HWND window)
{
    return windowProcess(window) == GetCurrentProcessId();
}

// A warning the editor shows: the text, OK only, the exclamation icon, the program's own caption.
void expectWarning(const SeenBox& box, const std::string& text)
{
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, ownCaption());
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(box.icon, "exclamation");
}

// What the user does in the editor, on a thread of its own: the test's thread is inside the dialog.
class User {
public:
    User(const char* editorTitle, std::function<void(User&)> script)
        : uiThread(GetCurrentThreadId()), thread([this, editorTitle, script] {
              editor = waitForWindow([&](HWND w) { return ownWindow(w) && windowText(w) == editorTitle; });
              if (!editor) {
                  ADD_FAILURE() << "no window captioned " << editorTitle;
                  return;
              }
              script(*this);
          })
    {
    }
    ~User() { thread.join(); }

    HWND control(int id) const { return GetDlgItem(editor, id); }
    std::string text(int id) const { return controlText(editor, id); }
    void type(int id, const std::string& value) const { SetDlgItemTextA(editor, id, value.c_str()); }
    LPARAM button(int id) const { return reinterpret_cast<LPARAM>(control(id)); }
    void click(int id) const { SendMessageA(editor, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), button(id)); }
    void clickLater(int id) const { pressButton(editor, id); } // returns before the click is handled
    void settle() const { SendMessageA(editor, WM_NULL, 0, 0); } // returns once the editor handles messages
    HWND focus() const
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(uiThread, &info);
        return info.hwndFocus;
    }
    // Chooses `path` in the open-file dialog that Browse shows, or cancels it for an empty path.
    void browse(const std::string& path, std::string* filterShown = nullptr) const
    {
        clickLater(IDC_BROWSE);
        HWND chooser = waitForWindow(
            [&](HWND w) { return ownWindow(w) && w != editor && GetDlgItem(w, FILE_NAME_COMBO); });
        ASSERT_NE(chooser, nullptr) << "no open-file dialog";
        if (filterShown)
            *filterShown = controlText(chooser, FILE_TYPE_COMBO);
        if (path.empty()) {
            PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
        } else {
            SetDlgItemTextA(chooser, FILE_NAME_COMBO, path.c_str());
            PostMessageA(chooser, WM_COMMAND, IDOK, 0);
        }
        waitUntil([&] { return !IsWindow(chooser); }, 5000);
        settle();
    }

    DWORD uiThread;
    HWND editor = nullptr;
    std::thread thread;
};

class EditorTest : public StandinDriverTest {
protected:
    static void SetUpTestSuite() { installDriver("editor_driver.log", "Software\\PadkitTests\\Editor"); }

    void SetUp() override
    {
        ASSERT_EQ(driverError, 0u) << "the stand-in driver could not be installed";
        settings.write(
            std::string("[SETTINGS]\r\nKEYS=2\r\n1=ForceGain\r\n2=Deadzone\r\nREGPATH=") + key.path +
            "\r\nDEVNODE=" + StandinDriverService::DEVICE_PATH +
            "\r\nIOCTLCODE=2236423\r\n"
            "[PROFILES]\r\nCOUNT=2\r\n1=C:\\Games\\Race\\race.exe\r\n2=C:\\Games\\Fly\\fly.exe\r\n"
            "[C:\\Games\\Race\\race.exe]\r\nProfileTitle=Race\r\nForceGain=20\r\nDeadzone=9\r\n"
            "[C:\\Games\\Fly\\fly.exe]\r\nProfileTitle=Fly\r\nAppParams=-fast\r\n"
            "AppDirection=C:\\Games\\Fly\r\nForceGain=90\r\nDeadzone=1\r\n");
        app = std::make_unique<ProfilerApp>(settings.path);
        ASSERT_TRUE(app->start());
        driver->clearLog();
    }
    void TearDown() override
    {
        app.reset();
        driver->clearLog();
    }

    MainDialog& main() { return *app->mainDialog(); }
    HWND list() { return GetDlgItem(main().window(), IDC_PROFILE_LIST); }
    void command(int id) { SendMessageA(main().window(), WM_COMMAND, id, 0); }
    // Opens the editor with the main window's New or Edit and plays `script` in it until it closes.
    void inEditor(int id, const std::function<void(User&)>& script)
    {
        User user(id == IDC_NEW ? NEW_PROFILE : EDIT_PROFILE, script);
        command(id);
    }
    std::string device(const char* name) { return regText(key.path, name); }
    std::string ini(const char* section, const char* name)
    {
        return settings.has(section, name) ? settings.read(section, name) : "<absent>";
    }
    // A profile's section: title | parameters | start directory | the two device values.
    std::string profile(const char* section)
    {
        return ini(section, "ProfileTitle") + " | " + ini(section, "AppParams") + " | " +
               ini(section, "AppDirection") + " | " + ini(section, "ForceGain") + "/" +
               ini(section, "Deadzone");
    }

    ScratchKey key{"Software\\PadkitTests\\Editor", {{"ForceGain", "55"}, {"Deadzone", "3"}}};
    TempSettings settings{"editor"};
    std::unique_ptr<ProfilerApp> app;
};

TEST(EditorText, TrimsTheSixBlanksAndKeepsDoubleByteCharactersWhole)
{
    EXPECT_EQ(trimText(" \t\r\n\v\f C:\\a b.exe \f\v\n\r\t "), "C:\\a b.exe");
    EXPECT_EQ(trimText(" \t "), "");
    EXPECT_EQ(trimText(""), "");
    // Shift-JIS: the ideographic space (0x81 0x40) is not one of the six; it stays.
    EXPECT_EQ(trimText("  \x81\x40x\x81\x40  ", 932), "\x81\x40x\x81\x40");
}

TEST(EditorText, ChosenFileGivesFolderAndTitle)
{
    struct Case {
        const char* path;
        UINT codePage;
        const char* folder;
        const char* title;
    } cases[] = {
        {"C:\\Games\\Fly\\fly.exe", CP_ACP, "C:\\Games\\Fly", "fly"},
        {"C:\\fly.exe", CP_ACP, "C:", "fly"},
        {"D:/games/sky.v2.exe", CP_ACP, "D:/games", "sky.v2"},
        {"fly", CP_ACP, "fly", "fly"},
        // Shift-JIS 0x95 0x5C is one character whose second byte is a backslash: not a separator.
        {"C:\\Games\\\x95\x5C.exe", 932, "C:\\Games", "\x95\x5C"},
        {"C:\\\x95\x5C\\a.exe", 932, "C:\\\x95\x5C", "a"},
    };
    for (const Case& c : cases) {
        ChosenFile chosen = splitChosenFile(c.path, c.codePage);
        EXPECT_EQ(chosen.startDirectory, c.folder) << c.path;
        EXPECT_EQ(chosen.title, c.title) << c.path;
    }
}

TEST(EditorText, AProgramLocationIsAPathAndNoSectionOfTheSettingsFile)
{
    for (const char* location : {"C:\\Games\\fly.exe", "\\\\server\\games\\fly.exe", "C:\\settings"})
        EXPECT_TRUE(isProgramLocation(location)) << location;
    for (const char* location : {"SETTINGS", "profiles", "Default", "tMP", "fly.exe", "C:/Games/fly.exe", ""})
        EXPECT_FALSE(isProgramLocation(location)) << location;
    // Shift-JIS 0x95 0x5C is one character whose second byte is a backslash: no path.
    EXPECT_FALSE(isProgramLocation("\x95\x5C.exe", 932));
}

TEST_F(EditorTest, NewRefusesASectionNameAListedLocationAndPadwiseItself)
{
    const std::string padwise = programDirectory() + "\\profiler.exe";
    struct Case {
        std::string typed;
        std::string message;
    } cases[] = {
        {padwise, "This is Padwise itself: " + padwise + "\n\nPlease select the game's program file."},
        {" profiles ", "Not a program location: profiles\n\nPlease select the game's program file."},
        {"settings", "Not a program location: settings\n\nPlease select the game's program file."},
        {"c:\\games\\fly\\FLY.EXE",
         "This game already has a profile: Fly\n\nAt:\n\nC:\\Games\\Fly\\fly.exe\n\n"
         "Please use Edit to change it."},
    };
    std::string before = settings.bytes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        BoxAnswerer boxes;
        inEditor(IDC_NEW, [&](User& u) {
            u.type(IDC_LOCATION, c.typed);
            u.type(IDC_TITLE, "Taken");
            u.click(IDOK);
            EXPECT_TRUE(IsWindowVisible(u.editor)) << c.typed;
            u.click(IDCANCEL);
        });
        ASSERT_EQ(boxes.seen.size(), 1u);
        expectWarning(boxes.seen[0], c.message);
        EXPECT_EQ(settings.bytes(), before);
        EXPECT_EQ(main().rowCount(), 2);
    }
}

TEST_F(EditorTest, NewProfileStartsFromTheValuesInForceAndCancelLeavesNoTrace)
{
    std::string before = settings.bytes();
    inEditor(IDC_NEW, [&](User& u) {
        EXPECT_EQ(ini("TMP", "ForceGain") + "/" + ini("TMP", "Deadzone"), "55/3");
        for (int id : {IDC_LOCATION, IDC_TITLE, IDC_PARAMETERS, IDC_START_DIRECTORY})
            EXPECT_EQ(u.text(id), "") << id;
        for (int id :
             {IDC_LOCATION, IDC_BROWSE, IDC_TITLE, IDC_PARAMETERS, IDC_START_DIRECTORY, IDC_GAME_OPTION})
            EXPECT_TRUE(IsWindowEnabled(u.control(id))) << id;
        EXPECT_EQ(u.focus(), u.control(IDC_LOCATION));
        EXPECT_FALSE(IsWindowVisible(u.control(IDC_BROWSE_DIRECTORY)));
        u.click(IDCANCEL);
    });
    EXPECT_EQ(settings.bytes(), before);
    EXPECT_EQ(main().rowCount(), 2);
    EXPECT_EQ(GetMenuItemCount(main().launchMenu()), 2);
}

TEST_F(EditorTest, NewProfileWithOnlyALocationIsListedAndStored)
{
    inEditor(IDC_NEW, [&](User& u) {
        u.type(IDC_LOCATION, " \t C:\\Games\\New\\new.exe  ");
        u.click(IDOK);
    });
    const char* section = "C:\\Games\\New\\new.exe";
    EXPECT_EQ(profile(section), " | <absent> | <absent> | 55/3");
    EXPECT_EQ(ini("TMP", "ForceGain"), "<absent>");
    EXPECT_EQ(ini("PROFILES", "COUNT"), "3");
    EXPECT_EQ(ini("PROFILES", "3"), section);

    ASSERT_EQ(main().rowCount(), 3);
    EXPECT_EQ(main().rowText(2, 0), "");
    EXPECT_EQ(main().rowText(2, 1), section);
    HMENU launch = main().launchMenu();
    ASSERT_EQ(GetMenuItemCount(launch), 3);
    EXPECT_EQ(GetMenuItemID(launch, 2), static_cast<UINT>(LAUNCH_COMMAND_BASE + 2));
    EXPECT_EQ(ImageList_GetImageCount(ListView_GetImageList(list(), LVSIL_SMALL)), 3);

    // OK tells the driver, shared, with the key untouched.
    std::string log = driver->log("close");
    EXPECT_NE(log.find(SHARED_OPEN), std::string::npos) << log;
    EXPECT_NE(log.find("ioctl code=0x00222007 in=0x00000000 out=0x00000000"), std::string::npos) << log;
    EXPECT_EQ(device("ForceGain"), "55");
}

TEST_F(EditorTest, EditModeLocksTheLocationAndRewritesTheSameSection)
{
    ListView_SetItemState(list(), 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    {
        User user(EDIT_PROFILE, [&](User& u) {
            std::string shown; // location | title | parameters | start directory | "TMP"
            for (int id : {IDC_LOCATION, IDC_TITLE, IDC_PARAMETERS, IDC_START_DIRECTORY})
                shown += u.text(id) + " | ";
            EXPECT_EQ(shown + ini("TMP", "ForceGain") + "/" + ini("TMP", "Deadzone"),
                      "C:\\Games\\Fly\\fly.exe | Fly | -fast | C:\\Games\\Fly | 90/1");
            EXPECT_FALSE(IsWindowEnabled(u.control(IDC_LOCATION)));
            EXPECT_FALSE(IsWindowEnabled(u.control(IDC_BROWSE)));
            EXPECT_EQ(u.focus(), u.control(IDC_TITLE));
            u.type(IDC_TITLE, " New Fly ");
            u.type(IDC_PARAMETERS, "  ");
            u.type(IDC_START_DIRECTORY, "\tD:\\Fly  ");
            u.click(IDOK);
        });
        // A double click in the list opens the selected profile, as Edit does.
        NMHDR click = {list(), IDC_PROFILE_LIST, static_cast<UINT>(NM_DBLCLK)};
        SendMessageA(main().window(), WM_NOTIFY, IDC_PROFILE_LIST, reinterpret_cast<LPARAM>(&click));
    }
    const char* section = "C:\\Games\\Fly\\fly.exe";
    EXPECT_EQ(profile(section), " New Fly  | <absent> | D:\\Fly | 90/1") << "the title as typed";
    EXPECT_EQ(ini("PROFILES", "COUNT"), "2");
    EXPECT_EQ(ini("TMP", "ForceGain"), "<absent>");
    EXPECT_EQ(main().rowText(1, 0), " New Fly ");
    EXPECT_EQ(menuText(main().launchMenu(), 1), "Fly"); // the submenu follows at the next load
}

// Quotes typed in the editor come back exactly when the profile is edited again.
TEST_F(EditorTest, QuotedTitleAndParametersComeBackAsTyped)
{
    ListView_SetItemState(list(), 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    const std::string title = "\"Quoted\" Edition \"II\"", parameters = "\"C:\\My Saves\\slot 1.sav\"";
    std::string shown;
    for (int round = 0; round < 2; ++round) {
        inEditor(IDC_EDIT, [&](User& u) {
            if (round == 0) {
                u.type(IDC_TITLE, title);
                u.type(IDC_PARAMETERS, parameters);
            }
            shown = u.text(IDC_TITLE) + "|" + u.text(IDC_PARAMETERS);
            u.click(round == 0 ? IDOK : IDCANCEL);
        });
    }
    EXPECT_EQ(shown, title + "|" + parameters);
    EXPECT_EQ(main().rowText(1, 0), title);
}

TEST_F(EditorTest, AnEmptyLocationIsRefusedForOkAndGameOption)
{
    BoxAnswerer boxes;
    inEditor(IDC_NEW, [&](User& u) {
        u.type(IDC_LOCATION, "  \t ");
        u.click(IDOK);
        u.click(IDC_GAME_OPTION);
        EXPECT_TRUE(IsWindowVisible(u.editor));
        u.click(IDCANCEL);
    });
    ASSERT_EQ(boxes.seen.size(), 2u);
    for (const SeenBox& box : boxes.seen)
        expectWarning(box, NO_LOCATION);
    EXPECT_EQ(ini("DEFAULT", "ForceGain"), "<absent>");
    EXPECT_EQ(ini("PROFILES", "COUNT"), "2");
    EXPECT_EQ(device("ForceGain"), "55");
    EXPECT_EQ(driver->log().find("ioctl"), std::string::npos);
}

TEST_F(EditorTest, BrowseFillsLocationStartDirectoryAndTitle)
{
    const TempDir games{"browse"};
    const std::string fly = games.write("Fly\\fly.exe", ""), root = "C:\\padkit_root.exe";
    ASSERT_TRUE(writeFile(root, ""));
    inEditor(IDC_NEW, [&](User& u) {
        u.type(IDC_PARAMETERS, "-keep");
        auto fields = [&] {
            return u.text(IDC_LOCATION) + "|" + u.text(IDC_START_DIRECTORY) + "|" + u.text(IDC_TITLE) + "|" +
                   u.text(IDC_PARAMETERS);
        };
        std::string filter;
        u.browse(fly, &filter);
        EXPECT_EQ(filter, "Execute File (*.EXE)");
        EXPECT_EQ(fields(), fly + "|" + games.file("Fly") + "|fly|-keep");
        DWORD start = 0, end = 0;
        SendMessageA(u.control(IDC_TITLE), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(u.focus(), u.control(IDC_TITLE));
        EXPECT_EQ(std::make_pair(start, end), std::make_pair(DWORD(0), DWORD(3))) << "the title selected";
        for (const std::string& path : {root, std::string()}) { // the second cancelled: nothing changes
            u.browse(path);
            EXPECT_EQ(fields(), root + "|C:|padkit_root|-keep") << path;
        }
        u.click(IDCANCEL);
    });
    DeleteFileA(root.c_str());
}

// The control panel of the system, started by "Go to Game Option": wait for it, let the "user"
// change a setting in the device key, close it, and wait until the session has ended (the editor
// answers sent messages while it waits, so answering is no sign of the end).
void useControlPanel(User& u, const std::function<void()>& whileOpen, const std::function<bool()>& ended)
{
    u.clickLater(IDC_GAME_OPTION);
    HWND panel = waitForWindow([](HWND w) { return !ownWindow(w) && windowText(w) == "Game Controllers"; });
    ASSERT_NE(panel, nullptr) << "the game controller control panel did not open";
    whileOpen();
    PostMessageA(panel, WM_CLOSE, 0, 0);
    EXPECT_TRUE(waitUntil(ended, 10000)) << "the session did not end with the panel";
    u.settle();
}

TEST_F(EditorTest, GameOptionPutsTheProfileInForceAndTakesBackWhatTheUserLeft)
{
    ListView_SetItemState(list(), 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    std::vector<std::string> logs;
    auto state = [&] {
        return "marker " + device("PROFILEACTIVE") + " key " + device("ForceGain") + "/" +
               device("Deadzone") + " DEFAULT " + ini("DEFAULT", "ForceGain") + "/" +
               ini("DEFAULT", "Deadzone") + " TMP " + ini("TMP", "ForceGain") + "/" + ini("TMP", "Deadzone");
    };
    auto unmarked = [&] { return device("PROFILEACTIVE") == "<absent>"; };
    inEditor(IDC_EDIT, [&](User& u) {
        // While the panel is open the profile's values are marked for recovery, as a game's are.
        useControlPanel(u, [&] {
            EXPECT_EQ(state(), "marker Fly key 90/1 DEFAULT 55/3 TMP 90/1");
            key.set("ForceGain", "77"); // what the user sets in the panel
        }, unmarked);
        EXPECT_EQ(state(), "marker <absent> key 55/3 DEFAULT 55/3 TMP 77/1");
        logs.push_back(driver->log("close\nclose"));
        driver->clearLog();

        key.set("Deadzone", "4"); // changed in force meanwhile
        useControlPanel(u, [&] {
            EXPECT_EQ(state(), "marker Fly key 77/1 DEFAULT 55/4 TMP 77/1");
            key.set("ForceGain", "66");
        }, unmarked);
        EXPECT_EQ(state(), "marker <absent> key 55/4 DEFAULT 55/4 TMP 66/1");
        logs.push_back(driver->log("close\nclose"));
        u.click(IDCANCEL);
    });
    ASSERT_EQ(logs.size(), 2u);
    for (const std::string& log : logs) {
        // Two shared opens per use: the driver sees the profile's values, then the ones from before.
        EXPECT_EQ(countOf(log, SHARED_OPEN), 2u) << log;
        EXPECT_EQ(log.find("share=0x00000000"), std::string::npos) << log;
    }
    EXPECT_NE(logs[0].find("value ForceGain=90"), std::string::npos) << logs[0];
    EXPECT_GT(logs[0].find("value ForceGain=55"), logs[0].find("value ForceGain=90")) << logs[0];
    // Cancel: the profile keeps its own values, "TMP" goes, "DEFAULT" stays.
    EXPECT_EQ(ini("C:\\Games\\Fly\\fly.exe", "ForceGain"), "90");
    EXPECT_EQ(ini("TMP", "ForceGain"), "<absent>");
    EXPECT_EQ(ini("DEFAULT", "Deadzone"), "4");
}
} // namespace
