// The settings store and RegKey against real INI files and real registry keys under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "store/profile_store.h"
#include "store/reg_key.h"
#include "testlib/owned.h"
#include "testlib/registry.h"
#include "testlib/temp_dir.h"
#include "tests/settings_lines.h"

namespace {
int profileKeyReads = 0; // reads of "PROFILES" keys through countingRead

DWORD WINAPI countingRead(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer, DWORD size, LPCSTR file)
{
    if (section && lstrcmpiA(section, "PROFILES") == 0)
        ++profileKeyReads;
    return GetPrivateProfileStringA(section, key, fallback, buffer, size, file);
}

bool failingRead(const std::string&, std::string&)
{
    return false;
}

// The first half of the file, as if it were all of it.
bool halfRead(const std::string& path, std::string& bytes)
{
    if (!readWholeFile(path, bytes))
        return false;
    bytes.resize(bytes.size() / 2);
    return true;
}

// As the platform's writer on a full disk: the write is made, then the file is cut at 4,096 bytes,
// and success is reported.
BOOL WINAPI cuttingWrite(LPCSTR section, LPCSTR key, LPCSTR text, LPCSTR file)
{
    BOOL done = WritePrivateProfileStringA(section, key, text, file);
    if (!section)
        return done; // a flush writes nothing new
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);
    testlib::Handle opened(CreateFileA(file, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (opened.valid() && GetFileSize(opened.get(), nullptr) > 4096) {
        SetFilePointer(opened.get(), 4096, nullptr, FILE_BEGIN);
        SetEndOfFile(opened.get());
    }
    return done;
}

std::vector<std::string> locations(const std::vector<ProfileRow>& rows)
{
    std::vector<std::string> out;
    for (const ProfileRow& row : rows)
        out.push_back(row.location);
    return out;
}

// A settings file of the test's own, absent as the test begins.
class StoreTest : public ::testing::Test {
protected:
    void addProfiles(const std::vector<std::string>& locations)
    {
        int rows = 0;
        for (const std::string& location : locations) {
            store->writeProfileFields(location, "title of " + location, "", "");
            store->appendProfile(location, rows++);
        }
    }
    std::vector<ProfileRow> rows() { return store->loadProfiles(); }
    std::vector<std::string> rowLocations() { return locations(rows()); }
    std::string title(const std::string& location)
    {
        return store->readText(location.c_str(), "ProfileTitle");
    }

    TempDir folder{"store"};
    const std::string path = folder.file("settings.ini");
    std::unique_ptr<ProfileStore> store = std::make_unique<ProfileStore>(path);
};

TEST_F(StoreTest, MissingFileReadsAsDefaultsAndFirstWriteCreatesIt)
{
    EXPECT_TRUE(store->deviceValueNames().empty());
    EXPECT_EQ(store->profileCount(), 0);
    EXPECT_EQ(store->deviceKeyPath(), "");
    EXPECT_EQ(store->deviceNodePath(), "");
    EXPECT_EQ(store->controlCode(), 0u);
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);

    addProfiles({"C:\\Games\\a.exe"});
    ASSERT_EQ(rows().size(), 1u);
    EXPECT_EQ(store->profileLocation(1), "C:\\Games\\a.exe");
    EXPECT_EQ(title("C:\\Games\\a.exe"), "title of C:\\Games\\a.exe");
}

TEST_F(StoreTest, SettingsAreReadAsDeployed)
{
    // Key 2 absent: an empty name keeps its place.
    writeLines(
        *store, ini::SETTINGS,
        "KEYS=3\n1=Gain\n3=Deadzone\nREGPATH=System\\Pad\\Params\nDEVNODE=\\\\.\\PadCtl\nIOCTLCODE=0x222004");
    EXPECT_EQ(store->deviceValueNames(), (std::vector<std::string>{"Gain", "", "Deadzone"}));
    EXPECT_EQ(store->deviceKeyPath(), "System\\Pad\\Params");
    EXPECT_EQ(store->deviceNodePath(), "\\\\.\\PadCtl");
    EXPECT_EQ(store->controlCode(), 0x222004u);
}

TEST_F(StoreTest, ProfileFieldsFollowTheRecordRules)
{
    writeLines(*store, ini::SETTINGS, "KEYS=2\n1=Gain\n2=Mode");
    const std::string game = "C:\\Games\\Race\\race.exe";
    store->writeText(game.c_str(), "AppParams", "-old");
    store->writeText(game.c_str(), "AppDirection", "C:\\old");
    store->writeProfileFields(game, "", "", "");
    EXPECT_EQ(store->readText(game.c_str(), "AppParams"), "");
    EXPECT_EQ(store->readText(game.c_str(), "AppDirection"), "");
    std::string text = readFile(path);
    EXPECT_NE(text.find("ProfileTitle="), std::string::npos) << "an empty title is still written";
    EXPECT_EQ(text.find("AppParams"), std::string::npos);
    EXPECT_EQ(text.find("AppDirection"), std::string::npos);

    store->writeProfileFields(game, "  Race  ", "-window", "C:\\Games\\Race");
    store->writeText(game.c_str(), "Gain", "80");
    store->writeText(game.c_str(), "Mode", "2");
    EXPECT_EQ(title(game), "  Race  ") << "stored as typed";
    EXPECT_EQ(store->readText(game.c_str(), "AppParams"), "-window");
    EXPECT_EQ(store->readText(game.c_str(), "AppDirection"), "C:\\Games\\Race");

    // A name added to the list later reads empty from an older profile.
    writeLines(*store, ini::SETTINGS, "KEYS=3\n3=Spring");
    store->copyDeviceValues(game, "TMP");
    EXPECT_EQ(store->readText("TMP", "Gain"), "80");
    EXPECT_EQ(store->readText("TMP", "Mode"), "2");
    EXPECT_NE(readFile(path).find("Spring="), std::string::npos);
}

TEST_F(StoreTest, NamesIgnoreLetterCase)
{
    store->writeProfileFields("C:\\Games\\A.EXE", "upper", "", "");
    store->writeProfileFields("c:\\games\\a.exe", "lower", "", "");
    EXPECT_EQ(title("C:\\GAMES\\a.Exe"), "lower");
    store->writeText("profiles", "count", "1");
    EXPECT_EQ(store->profileCount(), 1);
}

TEST_F(StoreTest, CopyDeviceValuesAndNullWriteRemoval)
{
    writeLines(*store, ini::SETTINGS, "KEYS=2\n1=Gain\n2=Mode");
    store->writeText("DEFAULT", "Gain", "50");
    store->copyDeviceValues("DEFAULT", "TMP");
    EXPECT_EQ(store->readText("TMP", "Gain"), "50");
    EXPECT_EQ(store->readText("TMP", "Mode"), "");
    EXPECT_NE(readFile(path).find("Mode="), std::string::npos) << "an absent source value is written empty";

    store->removeKey("TMP", "Gain");
    EXPECT_EQ(store->readText("TMP", "Gain"), "");
    store->deleteSection("TMP");
    EXPECT_EQ(readFile(path).find("[TMP]"), std::string::npos);
    EXPECT_EQ(store->readText("DEFAULT", "Gain"), "50");
}

TEST_F(StoreTest, RemoveKeepsTheListInvariant)
{
    const std::vector<std::string> four = {"a", "b", "c", "d"};
    struct Case {
        std::vector<std::string> profiles;
        int row;
        std::vector<std::string> after;
    } cases[] = {
        {four, 0, {"b", "c", "d"}},
        {four, 1, {"a", "c", "d"}},
        {four, 3, {"a", "b", "c"}},
        {{"C:\\only.exe"}, 0, {}},
    };
    for (const Case& c : cases) {
        const int n = static_cast<int>(c.profiles.size());
        SCOPED_TRACE("row " + std::to_string(c.row) + " of " + std::to_string(n));
        DeleteFileA(path.c_str());
        addProfiles(c.profiles);
        store->removeProfile(c.profiles[c.row], c.row);
        EXPECT_EQ(rowLocations(), c.after);
        EXPECT_EQ(store->profileCount(), n - 1);
        EXPECT_EQ(store->profileLocation(n), "");
        EXPECT_EQ(readFile(path).find("\n" + std::to_string(n) + "="), std::string::npos);
        for (const std::string& kept : c.after)
            EXPECT_EQ(title(kept), "title of " + kept);
        EXPECT_EQ(readFile(path).find("[" + c.profiles[c.row] + "]"), std::string::npos);
    }
}

TEST_F(StoreTest, EmptyEntriesYieldNoRowAndRemovalRenumbersByRows)
{
    addProfiles({"a", "b", "c"});
    store->writeText("PROFILES", "2", ""); // a hand edit leaves a hole
    ASSERT_EQ(rowLocations(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(rows()[1].title, "title of c");

    store->removeProfile("a", 0);
    EXPECT_EQ(store->profileCount(), 1);
    EXPECT_EQ(store->profileLocation(1), "c");
    EXPECT_EQ(store->profileLocation(2), "");

    store->appendProfile("d", 1);
    EXPECT_EQ(store->profileCount(), 2);
    EXPECT_EQ(store->profileLocation(2), "d");
}

TEST_F(StoreTest, LongValuesSurviveUpTo4095Characters)
{
    std::string title(4095, 't');
    store->writeProfileFields("g", title, "", "");
    EXPECT_EQ(this->title("g"), title);
}

class RegKeyTest : public ::testing::Test {
protected:
    // Opens the key `below` the test's own one, in the native view.
    LONG open(RegKey& key, const std::string& below = "", REGSAM access = KEY_ALL_ACCESS)
    {
        return key.open(HKEY_LOCAL_MACHINE, (scratch.path + below).c_str(), access | nativeRegistryView());
    }

    ScratchKey scratch{"Software\\PadkitTests\\RegKey" + std::to_string(GetCurrentProcessId())};
    RegKey key;
};

TEST_F(RegKeyTest, SetTextWritesTerminatedSzAndReadsBack)
{
    ASSERT_EQ(open(key), ERROR_SUCCESS);
    EXPECT_EQ(key.setText("", "Gain", "75"), ERROR_SUCCESS);
    EXPECT_EQ(key.setText("Sub\\Deeper", "Mode", ""), ERROR_SUCCESS);

    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExA(key.get(), "Gain", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 3u);
    std::string text;
    EXPECT_EQ(key.queryText("Gain", text), ERROR_SUCCESS);
    EXPECT_EQ(text, "75");

    RegKey sub;
    ASSERT_EQ(open(sub, "\\Sub\\Deeper", KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(sub.queryText("Mode", text), ERROR_SUCCESS);
    EXPECT_EQ(text, "");
    EXPECT_NE(sub.queryText("Missing", text), ERROR_SUCCESS);

    EXPECT_EQ(key.deleteValue("Gain"), ERROR_SUCCESS);
    EXPECT_NE(key.queryText("Gain", text), ERROR_SUCCESS);
}

TEST_F(RegKeyTest, FailedOpenKeepsNothingAndWritesNothing)
{
    EXPECT_NE(open(key, "\\Absent"), ERROR_SUCCESS);
    EXPECT_FALSE(key.valid());
    EXPECT_NE(key.setText("", "Gain", "1"), ERROR_SUCCESS);
    EXPECT_EQ(key.close(), ERROR_SUCCESS);

    ASSERT_EQ(open(key), ERROR_SUCCESS);
    HKEY held = key.get();
    EXPECT_NE(open(key, "\\Absent"), ERROR_SUCCESS);
    EXPECT_EQ(key.get(), held) << "a failed open keeps what was held";
}

TEST_F(RegKeyTest, OverlongOrUnterminatedValuesAreCutSafely)
{
    ASSERT_EQ(open(key), ERROR_SUCCESS);
    std::string longText(300, 'x');
    ASSERT_EQ(key.setText("", "Long", longText), ERROR_SUCCESS);
    std::string text;
    EXPECT_NE(key.queryText("Long", text), ERROR_SUCCESS) << "longer than 259 bytes does not fit";
    EXPECT_EQ(text, "");

    const BYTE raw[4] = {'a', 'b', 'c', 'd'}; // REG_BINARY without a terminator
    ASSERT_EQ(RegSetValueExA(key.get(), "Raw", 0, REG_BINARY, raw, sizeof raw), ERROR_SUCCESS);
    EXPECT_EQ(key.queryText("Raw", text, 4), ERROR_SUCCESS);
    EXPECT_EQ(text, "abcd");
}

} // namespace

// "PROFILES" as a sorted list of its lines, "|" between them.
std::string profilesSection(const std::string& path)
{
    char buffer[65536] = {};
    GetPrivateProfileSectionA("PROFILES", buffer, sizeof(buffer), path.c_str());
    std::vector<std::string> lines;
    for (const char* line = buffer; *line; line += lstrlenA(line) + 1)
        lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "|") + line;
    return text;
}

// Every entry is listed whatever "COUNT" says and however the one-go read of the file fares; a
// renumbering moves entries but loses none, and leaves other keys alone. An absurd "COUNT" is not
// read up to.
TEST_F(StoreTest, LoadingListsEveryEntryAndLosesNone)
{
    const SettingsReaders plain, failing{GetPrivateProfileStringA, failingRead},
        half{GetPrivateProfileStringA, halfRead};
    const std::string abc = "1=a\r\n2=b\r\n3=c\r\n", ordered = "1=a|2=b|3=c|COUNT=3";
    struct Case {
        std::string profiles;
        SettingsReaders readers;
        std::vector<std::string> rows;
        std::string entries; // "PROFILES" afterwards
    } cases[] = {
        {"COUNT=-1\r\n" + abc, plain, {"a", "b", "c"}, ordered},
        {"COUNT=abc\r\n" + abc, plain, {"a", "b", "c"}, ordered},
        {"COUNT=0\r\n" + abc, plain, {"a", "b", "c"}, ordered},
        {abc, plain, {"a", "b", "c"}, ordered},
        {"COUNT=4\r\n1=a\r\n3=c\r\n4=d\r\n5=e\r\n6=f\r\nNote=x\r\n", plain, {"a", "c", "d", "e", "f"},
         "1=a|2=c|3=d|4=e|5=f|COUNT=5|Note=x"},
        {"COUNT=2\r\n" + abc + "4=d\r\n", failing, {"a", "b", "c", "d"}, "1=a|2=b|3=c|4=d|COUNT=4"},
        {"COUNT=3\r\n" + abc, failing, {"a", "b", "c"}, ordered},
        {"COUNT=2000000000\r\n1=a\r\n2=b\r\n", plain, {"a", "b"}, "1=a|2=b|COUNT=2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profiles);
        store->flush();
        writeFile(path, "[PROFILES]\r\n" + c.profiles);
        ProfileStore loading(path, SettingsReaders{countingRead, c.readers.wholeFile});
        profileKeyReads = 0;
        EXPECT_EQ(locations(loading.loadProfiles()), c.rows);
        EXPECT_EQ(profilesSection(path), c.entries);
        if (c.readers.wholeFile == plain.wholeFile) {
            EXPECT_LT(profileKeyReads, 100) << "never read up to an absurd COUNT";
        }
    }

    // A read that brings only part of the file: the later entries are still listed and kept.
    std::string many = "COUNT=40\r\n";
    std::vector<std::string> expected;
    for (int k = 1; k <= 40; ++k) {
        expected.push_back("C:\\Games\\game" + std::to_string(k) + ".exe");
        many += std::to_string(k) + "=" + expected.back() + "\r\n";
    }
    store->flush();
    writeFile(path, "[PROFILES]\r\n" + many);
    const std::string before = readFile(path);
    EXPECT_EQ(locations(ProfileStore(path, half).loadProfiles()), expected);
    EXPECT_EQ(readFile(path), before);
}

// A change the disk cuts is not saved: the file keeps its last good bytes, and the store says so.
TEST_F(StoreTest, AChangeTheDiskCutsLeavesTheLastGoodFile)
{
    std::vector<std::string> many;
    for (int i = 0; i < 60; ++i)
        many.push_back("C:\\Games\\A game with a long name " + std::to_string(i) + "\\game.exe");
    addProfiles(many);
    std::string before;
    ASSERT_TRUE(readWholeFile(path, before));
    ASSERT_GT(before.size(), 4096u);
    ProfileStore full(path, SettingsReaders{GetPrivateProfileStringA, readWholeFile, cuttingWrite});
    std::vector<bool> told;
    full.setSaveListener([&](bool saved) { told.push_back(saved); });
    struct Case {
        const char* change;
        std::function<bool()> make;
    } cases[] = {
        {"New", [&] { return full.appendProfile("C:\\new.exe", 60); }},
        {"Delete", [&] { return full.removeProfile(many[0], 0); }},
        {"a switch", [&] { return full.writeText("SETTINGS", "AUTOLAUNCH", "1"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        told.clear();
        EXPECT_FALSE(c.make());
        std::string after;
        ASSERT_TRUE(readWholeFile(path, after));
        EXPECT_EQ(after == before, true) << "the file was changed or cut";
        EXPECT_EQ(told, std::vector<bool>{false});
    }
    EXPECT_TRUE(store->appendProfile("C:\\new.exe", 60)) << "with room on the disk the change is made";
}

// Delete goes by the file as it is now: an entry edited by hand meanwhile stays listed.
TEST_F(StoreTest, DeleteRemovesTheSelectedProfileFromTheFileAsItIsNow)
{
    addProfiles({"a.exe", "b.exe"});
    store->writeProfileFields("c.exe", "title of c.exe", "", "");
    store->writeText("PROFILES", "2", "c.exe"); // the list on screen still shows a, b
    EXPECT_TRUE(store->removeProfile("a.exe", 0));
    EXPECT_EQ(rowLocations(), std::vector<std::string>{"c.exe"});
    EXPECT_EQ(title("c.exe"), "title of c.exe");
    EXPECT_EQ(title("a.exe"), "");
    EXPECT_FALSE(store->removeProfile("b.exe", 1)) << "no longer listed: nothing to remove";
    EXPECT_EQ(rowLocations(), std::vector<std::string>{"c.exe"});
}

TEST_F(StoreTest, AnAddNeverWritesOverAnEntry)
{
    writeFile(path, "[PROFILES]\r\n1=a\r\n2=b\r\n");
    EXPECT_FALSE(store->appendProfile("new", 0)) << "entry 1 holds a profile the list does not show";
    EXPECT_EQ(profilesSection(path), "1=a|2=b");
    EXPECT_TRUE(store->appendProfile("new", 2));
    EXPECT_EQ(profilesSection(path), "1=a|2=b|3=new|COUNT=3");
}

// A value reads back as written, quotes and blanks at its ends included; one written before reads
// as it always did. A line break ends the text: it would start a line of the file.
TEST_F(StoreTest, TextsReadBackAsWritten)
{
    for (const std::string& text :
         {std::string("\"C:\\My Saves\\slot 1.sav\""), std::string("\"Quoted\" Edition \"II\""),
          std::string("'single'"), std::string("\"\""), std::string("\""), std::string("  padded\t"),
          std::string("a\"b\""), "\"" + std::string(4093, 'q') + "\"", std::string("plain")}) {
        store->writeText("S", "k", text);
        EXPECT_EQ(store->readText("S", "k"), text);
    }
    store->writeText("S", "k", "first\r\n[SETTINGS]\r\nKEYS=9");
    EXPECT_EQ(store->readText("S", "k"), "first");
    EXPECT_EQ(store->readText("SETTINGS", "KEYS"), "");
    store->flush();
    writeFile(path, "[G]\r\nAppParams=\"C:\\My Saves\\slot 1.sav\"\r\n");
    EXPECT_EQ(store->readText("G", "AppParams"), "C:\\My Saves\\slot 1.sav");
}
