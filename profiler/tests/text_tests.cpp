// Text outside the legacy code page (the test prefix's is 1252): profiler.exe runs with a UTF-8 code
// page by its manifest, so paths, titles and device values in any script come through whole; a
// settings file of the legacy code page is converted once before it is read. The test program
// itself runs in 1252 and reaches such text through testlib/unicode.h.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "profiler_ids.h"
#include "shell/settings_code_page.h"
#include "testlib/process.h"
#include "testlib/registry.h"
#include "testlib/temp_dir.h"
#include "testlib/unicode.h"
#include "testlib/wait.h"
#include "testlib/window_search.h"

namespace {
constexpr const char* DEVICE_KEY = "Software\\PadkitTests\\Text";
constexpr int FILE_NAME_COMBO = 0x47C; // cmb13 of the open-file dialog
// Café and Pokémon in the legacy code page 1252 and in UTF-8.
constexpr const char* LEGACY_TITLES[] = {"Caf\xe9", "Pok\xe9mon"};
constexpr const char* UTF8_TITLES[] = {"Caf\xc3\xa9", "Pok\xc3\xa9mon"};

const std::string PROGRAMS = u8"\u041f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u044b\\Padwise"; // Cyrillic
const std::string JAPANESE_GAME = u8"\u30b2\u30fc\u30e0\\\u6771\u65b9\\\u6771\u65b9.exe";
const std::string JAPANESE_TITLE = u8"\u6771\u65b9";
const std::string GAMES_RU = u8"\u0418\u0433\u0440\u044b";  // two folders that read "????" in 1252
const std::string WORLDS_RU = u8"\u041c\u0438\u0440\u044b";

bool waitFor(const std::function<bool()>& condition) { return waitUntil(condition, 20000, 25); }

// One profile of a settings file: location, title, parameters, the device value "Name".
struct Profile {
    std::string location, title, parameters, name;
};

// A settings file in `text`'s bytes with the device value list "Name" and these profiles.
std::string settingsText(const std::vector<Profile>& profiles)
{
    std::string text = std::string("[SETTINGS]\r\nKEYS=1\r\n1=Name\r\nREGPATH=") + DEVICE_KEY + "\r\n" +
                       "DEVNODE=\\\\.\\PadkitTestsNoDevice\r\nIOCTLCODE=1\r\nAUTOLAUNCH=1\r\nRESTORE=1\r\n" +
                       "PROMPT=0\r\n[PROFILES]\r\nCOUNT=" + std::to_string(profiles.size()) + "\r\n";
    for (size_t i = 0; i < profiles.size(); ++i)
        text += std::to_string(i + 1) + "=" + profiles[i].location + "\r\n";
    for (const Profile& p : profiles)
        text += "[" + p.location + "]\r\nProfileTitle=" + p.title + "\r\nAppParams=" + p.parameters +
                "\r\nAppDirection=\r\nName=" + p.name + "\r\n";
    return text;
}

// profiler.exe installed in a folder with a Cyrillic name, beside its settings file.
class TextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        install = folder.path() + "\\" + PROGRAMS;
        ASSERT_TRUE(makeDirsUtf8(install));
        ASSERT_TRUE(copyFileUtf8(programDirectory() + "\\profiler.exe", install + "\\profiler.exe"));
    }

    std::string settingsFile() const { return install + "\\profiler.INI"; }
    std::string placeGame(const std::string& relative)
    {
        std::string path = folder.path() + "\\" + relative;
        EXPECT_TRUE(makeDirsUtf8(path.substr(0, path.rfind('\\'))));
        EXPECT_TRUE(copyFileUtf8(programDirectory() + "\\standin_game.exe", path));
        return path;
    }
    std::string event(const std::string& tag)
    {
        std::string name = "text_tests_" + tag + std::to_string(GetCurrentProcessId());
        events[tag] = testlib::Handle(CreateEventA(nullptr, TRUE, FALSE, name.c_str()));
        return name;
    }
    void signal(const std::string& tag) { SetEvent(events[tag].get()); }
    void startProfiler()
    {
        profiler = startUtf8("\"" + install + "\\profiler.exe\"", install);
        ASSERT_TRUE(profiler.started());
        mainWindow = waitDialog(profiler.id(), "Padwise", 20000, Shown::AlsoHidden);
        ASSERT_NE(mainWindow, nullptr);
    }
    // The titles of the main window's list once it shows `rows` rows.
    std::vector<std::string> titlesShown(int rows) const
    {
        // The dialog may be found before its controls exist: look the list up until it is there.
        HWND list = nullptr;
        waitFor([&] {
            list = GetDlgItem(mainWindow, IDC_PROFILE_LIST);
            return list && ListView_GetItemCount(list) >= rows;
        });
        std::vector<std::string> titles;
        for (int row = 0; row < ListView_GetItemCount(list); ++row)
            titles.push_back(listViewTextUtf8(profiler.handle(), list, row));
        return titles;
    }
    static std::string marker() { return regTextUtf8(DEVICE_KEY, "PROFILEACTIVE"); }

    ScratchKey key{DEVICE_KEY, {{"Name", "default"}}};
    TempDir folder{"text"};
    std::string install;
    std::vector<Process> games; // after profiler.exe ends, as members go in reverse order
    Process profiler;
    HWND mainWindow = nullptr;
    std::map<std::string, testlib::Handle> events; // by tag
};

TEST_F(TextTest, GamesUnderJapaneseAndCyrillicFoldersAreMatchedLaunchedAndShown)
{
    const std::string report = folder.file("report.txt");
    const std::vector<Profile> profiles = {
        {placeGame(JAPANESE_GAME), JAPANESE_TITLE, "--report " + report + " --event " + event("launched"),
         u8"\u6771"},
        {placeGame(GAMES_RU + "\\game.exe"), GAMES_RU, "", u8"\u0438\u0433\u0440\u044b"},
        {placeGame(WORLDS_RU + "\\game.exe"), WORLDS_RU, "", u8"\u043c\u0438\u0440\u044b"},
    };
    ASSERT_TRUE(writeFileUtf8(settingsFile(), settingsText(profiles)));
    startProfiler();
    EXPECT_EQ(titlesShown(3), (std::vector<std::string>{JAPANESE_TITLE, GAMES_RU, WORLDS_RU}))
        << "the settings file below the Cyrillic folder is read";

    // Watched: each game is told from the other under its own profile, its values written whole.
    for (int row : {2, 0}) {
        const Profile& game = profiles[row];
        const std::string tag = "game" + std::to_string(row);
        games.push_back(startUtf8("\"" + game.location + "\" --event " + event(tag)));
        ASSERT_TRUE(games.back().started()) << game.location;
        EXPECT_TRUE(waitFor([&] { return marker() == game.title; }))
            << "not matched: " << game.location << ", marker " << marker();
        EXPECT_TRUE(waitFor([&] { return regTextUtf8(DEVICE_KEY, "Name") == game.name; }))
            << regTextUtf8(DEVICE_KEY, "Name");
        signal(tag);
        ASSERT_TRUE(waitFor([&] { return marker() == "<absent>"; }));
        EXPECT_TRUE(waitFor([&] { return regTextUtf8(DEVICE_KEY, "Name") == "default"; }));
    }

    // Launched from the Launch submenu with its parameters.
    PostMessageA(mainWindow, WM_COMMAND, LAUNCH_COMMAND_BASE + 0, 0);
    ASSERT_TRUE(waitFor([&] { return readFile(report).find("cwd=") != std::string::npos; }))
        << "the game under the Japanese folder did not start";
    EXPECT_NE(readFile(report).find(profiles[0].parameters), std::string::npos) << readFile(report);
    EXPECT_EQ(marker(), JAPANESE_TITLE);
    signal("launched");
    EXPECT_TRUE(waitFor([&] { return marker() == "<absent>"; }));
}

TEST_F(TextTest, BrowseReturnsAPathInAnyScriptWhole)
{
    std::string japanese = placeGame(JAPANESE_GAME);
    ASSERT_TRUE(writeFileUtf8(settingsFile(), settingsText({})));
    startProfiler();
    PostMessageA(mainWindow, WM_COMMAND, IDC_NEW, 0);
    HWND editor = waitDialog(profiler.id(), "New Game Profile", 20000);
    ASSERT_NE(editor, nullptr);
    PostMessageA(editor, WM_COMMAND, IDC_BROWSE, 0);
    HWND chooser = nullptr;
    ASSERT_TRUE(waitFor([&] { return (chooser = findDialog(profiler.id(), FILE_NAME_COMBO)) != nullptr; }));
    setControlTextUtf8(GetDlgItem(chooser, FILE_NAME_COMBO), japanese);
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitFor([&] { return controlTextUtf8(editor, IDC_LOCATION) == japanese; }))
        << controlTextUtf8(editor, IDC_LOCATION);
    EXPECT_EQ(controlTextUtf8(editor, IDC_TITLE), JAPANESE_TITLE);
    PostMessageA(editor, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(TextTest, LegacySettingsFileIsConvertedOnceAndReadsBackWhole)
{
    std::string legacy = settingsText({{"C:\\Games\\cafe.exe", LEGACY_TITLES[0], "-x", "v\xe9"},
                                       {"C:\\Games\\poke.exe", LEGACY_TITLES[1], "", "1"}});
    std::string converted = settingsText({{"C:\\Games\\cafe.exe", UTF8_TITLES[0], "-x", "v\xc3\xa9"},
                                          {"C:\\Games\\poke.exe", UTF8_TITLES[1], "", "1"}});
    ASSERT_TRUE(writeFileUtf8(settingsFile(), legacy));
    startProfiler();
    EXPECT_EQ(titlesShown(2), (std::vector<std::string>{UTF8_TITLES[0], UTF8_TITLES[1]}));
    EXPECT_EQ(readFileUtf8(settingsFile()), converted);
    EXPECT_EQ(readFileUtf8(settingsFile() + ".bak"), legacy);

    profiler.end();
    startProfiler(); // UTF-8 now: read as it is
    EXPECT_EQ(titlesShown(2), (std::vector<std::string>{UTF8_TITLES[0], UTF8_TITLES[1]}));
    EXPECT_EQ(readFileUtf8(settingsFile() + ".bak"), legacy);
}

// prepareSettingsText in this process, with the code pages given.
class SettingsCodePageTest : public ::testing::Test {
protected:
    // The names of the files in the folder, each followed by a blank.
    std::string files() const
    {
        std::string names;
        WIN32_FIND_DATAA found;
        testlib::FileSearch search(FindFirstFileA(folder.file("*").c_str(), &found));
        for (bool more = search.valid(); more; more = FindNextFileA(search.get(), &found))
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names += std::string(found.cFileName) + " ";
        return names;
    }
    TempDir folder{"codepage"};
    std::string ini = folder.file("profiler.INI");
};

TEST_F(SettingsCodePageTest, OnlyALegacyFileUnderUtf8IsConvertedAndNothingElseIsTouched)
{
    const std::string legacy = std::string("[Caf\xe9]\r\nProfileTitle=Pok\xe9mon\r\n");
    const std::string utf8 = std::string("[Caf\xc3\xa9]\r\nProfileTitle=Pok\xc3\xa9mon\r\n");
    const std::string utf16("\xff\xfe[\0S\0]\0", 8);
    struct Case {
        const char* what;
        std::string bytes;
        UINT processCodePage, legacy;
        SettingsText outcome;
        std::string after;
    } cases[] = {
        {"legacy file, UTF-8 process", legacy, CP_UTF8, 1252, SettingsText::CONVERTED, utf8},
        {"legacy file, legacy process", legacy, 1252, 1252, SettingsText::AS_IT_IS, legacy},
        {"UTF-8 file", utf8, CP_UTF8, 1252, SettingsText::AS_IT_IS, utf8},
        {"UTF-16 file", utf16, CP_UTF8, 1252, SettingsText::AS_IT_IS, utf16},
        {"no legacy code page to convert from", legacy, CP_UTF8, CP_UTF8, SettingsText::KEPT, legacy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA((ini + ".bak").c_str());
        ASSERT_TRUE(writeFile(ini, c.bytes));
        SettingsCodePage result = prepareSettingsText(ini, c.processCodePage, c.legacy);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(readFile(ini), c.after);
        bool converted = c.outcome == SettingsText::CONVERTED;
        EXPECT_EQ(files(), converted ? "profiler.INI profiler.INI.bak " : "profiler.INI ");
        EXPECT_EQ(readFile(ini + ".bak"), converted ? c.bytes : std::string());
        EXPECT_EQ(result.writeLock.valid(), c.outcome == SettingsText::KEPT);
    }
    SettingsCodePage absent = prepareSettingsText(folder.file("none.INI"), CP_UTF8, 1252);
    EXPECT_EQ(absent.outcome, SettingsText::AS_IT_IS);
}

TEST_F(SettingsCodePageTest, AFailedReplaceLosesNothingAndWritesAreRefusedForTheSession)
{
    const std::string legacy = "[SETTINGS]\r\nAUTOLAUNCH=1\r\n[Caf\xe9]\r\nProfileTitle=Pok\xe9mon\r\n";
    ASSERT_TRUE(writeFile(ini, legacy));
    testlib::Handle holder(
        CreateFileA(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.valid());
    SettingsCodePage result = prepareSettingsText(ini, CP_UTF8, 1252);
    EXPECT_EQ(result.outcome, SettingsText::KEPT);
    holder = testlib::Handle();
    EXPECT_EQ(readFile(ini), legacy);
    EXPECT_EQ(files(), "profiler.INI ") << "no temporary file or backup left";

    char text[16] = {};
    GetPrivateProfileStringA("SETTINGS", "AUTOLAUNCH", "", text, sizeof(text), ini.c_str());
    EXPECT_STREQ(text, "1") << "still readable";
    EXPECT_FALSE(WritePrivateProfileStringA("SETTINGS", "AUTOLAUNCH", "0", ini.c_str()));
    EXPECT_EQ(readFile(ini), legacy);
    result = SettingsCodePage();
    EXPECT_TRUE(WritePrivateProfileStringA("SETTINGS", "AUTOLAUNCH", "0", ini.c_str()))
        << "refused by the lock only";
}
} // namespace
