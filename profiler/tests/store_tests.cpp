// The settings store and RegKey against real INI files and real registry keys under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "store/profile_store.h"
#include "store/reg_key.h"
#include "testlib/temp_dir.h"

namespace {

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path =
            tempPath(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".ini");
        DeleteFileA(path.c_str());
        store = std::make_unique<ProfileStore>(path);
    }
    void TearDown() override { DeleteFileA(path.c_str()); }

    void settings(const char* key, const char* value) { store->writeText(ini::SETTINGS, key, value); }
    void addProfiles(const std::vector<std::string>& locations)
    {
        int rows = 0;
        for (const std::string& location : locations) {
            store->writeProfileFields(location, "title of " + location, "", "");
            store->appendProfile(location, rows++);
        }
    }
    std::vector<ProfileRow> rows() { return store->loadRows(store->profileCount()); }
    std::vector<std::string> rowLocations()
    {
        std::vector<std::string> out;
        for (const ProfileRow& row : rows())
            out.push_back(row.location);
        return out;
    }
    std::string title(const std::string& location)
    {
        return store->readText(location.c_str(), "ProfileTitle");
    }

    std::string path;
    std::unique_ptr<ProfileStore> store;
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

    store->writeProfileFields("C:\\Games\\a.exe", "A", "", "");
    store->appendProfile("C:\\Games\\a.exe", 0);
    ASSERT_EQ(rows().size(), 1u);
    EXPECT_EQ(store->profileLocation(1), "C:\\Games\\a.exe");
    EXPECT_EQ(title("C:\\Games\\a.exe"), "A");
}

TEST_F(StoreTest, SettingsAreReadAsDeployed)
{
    settings("KEYS", "3");
    settings("1", "Gain");
    settings("3", "Deadzone"); // key 2 absent: an empty name keeps its place
    settings("REGPATH", "System\\Pad\\Params");
    settings("DEVNODE", "\\\\.\\PadCtl");
    settings("IOCTLCODE", "0x222004");
    EXPECT_EQ(store->deviceValueNames(), (std::vector<std::string>{"Gain", "", "Deadzone"}));
    EXPECT_EQ(store->deviceKeyPath(), "System\\Pad\\Params");
    EXPECT_EQ(store->deviceNodePath(), "\\\\.\\PadCtl");
    EXPECT_EQ(store->controlCode(), 0x222004u);
}

TEST_F(StoreTest, ProfileFieldsFollowTheRecordRules)
{
    settings("KEYS", "2");
    settings("1", "Gain");
    settings("2", "Mode");
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
    EXPECT_EQ(title(game), "Race") << "the platform trims white space around values";
    EXPECT_EQ(store->readText(game.c_str(), "AppParams"), "-window");
    EXPECT_EQ(store->readText(game.c_str(), "AppDirection"), "C:\\Games\\Race");

    // A name added to the list later reads empty from an older profile.
    settings("KEYS", "3");
    settings("3", "Spring");
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
    settings("KEYS", "2");
    settings("1", "Gain");
    settings("2", "Mode");
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
        store->removeProfile(c.row, rowLocations());
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
    std::vector<ProfileRow> listed = rows();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].location, "a");
    EXPECT_EQ(listed[1].location, "c");
    EXPECT_EQ(listed[1].title, "title of c");

    store->removeProfile(0, rowLocations());
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
    void SetUp() override
    {
        base = "Software\\PadkitTests\\RegKey" + std::to_string(GetCurrentProcessId());
        HKEY created = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, base.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &created, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(created);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, base.c_str()); }

    std::string base;
};

TEST_F(RegKeyTest, SetTextWritesTerminatedSzAndReadsBack)
{
    RegKey key;
    ASSERT_EQ(key.open(HKEY_LOCAL_MACHINE, base.c_str(), KEY_ALL_ACCESS), ERROR_SUCCESS);
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
    ASSERT_EQ(sub.open(HKEY_LOCAL_MACHINE, (base + "\\Sub\\Deeper").c_str(), KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(sub.queryText("Mode", text), ERROR_SUCCESS);
    EXPECT_EQ(text, "");
    EXPECT_NE(sub.queryText("Missing", text), ERROR_SUCCESS);

    EXPECT_EQ(key.deleteValue("Gain"), ERROR_SUCCESS);
    EXPECT_NE(key.queryText("Gain", text), ERROR_SUCCESS);
}

TEST_F(RegKeyTest, FailedOpenKeepsNothingAndWritesNothing)
{
    RegKey key;
    EXPECT_NE(key.open(HKEY_LOCAL_MACHINE, (base + "\\Absent").c_str(), KEY_ALL_ACCESS), ERROR_SUCCESS);
    EXPECT_FALSE(key.isOpen());
    EXPECT_NE(key.setText("", "Gain", "1"), ERROR_SUCCESS);
    EXPECT_EQ(key.close(), ERROR_SUCCESS);

    ASSERT_EQ(key.open(HKEY_LOCAL_MACHINE, base.c_str(), KEY_ALL_ACCESS), ERROR_SUCCESS);
    HKEY held = key.get();
    EXPECT_NE(key.open(HKEY_LOCAL_MACHINE, (base + "\\Absent").c_str(), KEY_ALL_ACCESS), ERROR_SUCCESS);
    EXPECT_EQ(key.get(), held) << "a failed open keeps what was held";
}

TEST_F(RegKeyTest, OverlongOrUnterminatedValuesAreCutSafely)
{
    RegKey key;
    ASSERT_EQ(key.open(HKEY_LOCAL_MACHINE, base.c_str(), KEY_ALL_ACCESS), ERROR_SUCCESS);
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

TEST_F(StoreTest, HighestProfileNumberAndRenumberingRewriteTheListOnly)
{
    EXPECT_EQ(store->highestProfileNumber(), 0);
    store->writeText(ini::PROFILES, ini::COUNT, "9");
    store->writeText(ini::PROFILES, "2", "C:\\b.exe");
    store->writeText(ini::PROFILES, "7", "C:\\g.exe");
    store->writeText(ini::PROFILES, "Note", "x");
    store->writeText("C:\\b.exe", ini::PROFILE_TITLE, "B");
    EXPECT_EQ(store->highestProfileNumber(), 7);

    store->renumberProfiles({"C:\\b.exe", "C:\\g.exe"});
    EXPECT_EQ(store->profileCount(), 2);
    EXPECT_EQ(store->profileLocation(1), "C:\\b.exe");
    EXPECT_EQ(store->profileLocation(2), "C:\\g.exe");
    EXPECT_EQ(store->highestProfileNumber(), 2);
    EXPECT_EQ(store->readText(ini::PROFILES, "Note"), "");
    EXPECT_EQ(title("C:\\b.exe"), "B");
}
