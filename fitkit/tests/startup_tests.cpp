// Start-up in the test's own process: platform flags, argument forms and the setup INI file.
#include <gtest/gtest.h>

#include "config/platform_kind.h"
#include "config/setup_ini_text.h"
#include "config/startup.h"
#include "testlib/temp_dir.h"

static OSVERSIONINFOA version(DWORD platform, DWORD major, DWORD minor, DWORD build)
{
    return {sizeof(OSVERSIONINFOA), major, minor, build, platform, {}};
}

TEST(PlatformKind, ClassifiesEachWindowsFamily)
{
    struct Case {
        const char* name;
        OSVERSIONINFOA v;
        bool win9x, me, nt5;
    } cases[] = {
        {"95", version(VER_PLATFORM_WIN32_WINDOWS, 4, 0, 950), true, false, false},
        {"98", version(VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0x040A07CE), true, false, false},
        // The minor version comes from the build number's high word, not from the minor field.
        {"98 with a stale minor", version(VER_PLATFORM_WIN32_WINDOWS, 4, 90, 0x040A07CE), true, false, false},
        {"Me", version(VER_PLATFORM_WIN32_WINDOWS, 4, 90, 0x045A0BB8), false, true, false},
        {"NT 4", version(VER_PLATFORM_WIN32_NT, 4, 0, 1381), false, false, false},
        {"2000", version(VER_PLATFORM_WIN32_NT, 5, 0, 2195), false, false, true},
        {"XP", version(VER_PLATFORM_WIN32_NT, 5, 1, 2600), false, false, true},
        {"Vista", version(VER_PLATFORM_WIN32_NT, 6, 0, 6000), false, false, true},
        {"10", version(VER_PLATFORM_WIN32_NT, 10, 0, 19045), false, false, true},
    };
    for (const Case& c : cases) {
        PlatformKind kind = PlatformKind::fromVersion(c.v);
        EXPECT_EQ(kind.isWin9x, c.win9x) << c.name;
        EXPECT_EQ(kind.isWinMe, c.me) << c.name;
        EXPECT_EQ(kind.isNt5, c.nt5) << c.name;
    }
    // Wine reports an NT of version 6 or later: the device-property paths apply.
    EXPECT_TRUE(PlatformKind::current().isNt5);
}

TEST(Startup, RecognisesTheIniForms)
{
    for (const char* arg : {"?", "?x", "-h", "-H", "/h", "/H", "/help", "-Hx"})
        EXPECT_TRUE(isIniForm(arg)) << arg;
    for (const char* arg : {"-x", "/x", "pad.inf", "", "-", "/", "h", "x?"})
        EXPECT_FALSE(isIniForm(arg)) << arg;
}

TEST(Startup, InfNameAndDeviceIdFromTheCommandLineOrTheSetupIni)
{
    const std::string limit(259, 'a'), over(260, 'a');
    const std::string fullIni = "[DRIVER]\r\nINFFILE=fromini.inf\r\nDEVICEID=INI\\ID\r\n";
    const std::string longestIni = "[DRIVER]\r\nINFFILE=" + limit + "\r\nDEVICEID=" + limit + "\r\n";
    const std::string longIdIni =
        "[DRIVER]\r\nINFFILE=pad.inf\r\nDEVICEID=" + std::string(5000, 'd') + "\r\n";
    struct Case {
        const char* name;
        std::string ini; // empty: no setup.ini
        std::vector<std::string> args;
        bool ok;
        std::string infName, deviceId;
    } cases[] = {
        {"INF name alone", fullIni, {"pad.inf"}, true, "pad.inf", ""},
        {"name and id; more ignored", fullIni, {"-x", "USB\\VID_1", "ignored"}, true, "-x", "USB\\VID_1"},
        {"empty name", fullIni, {""}, true, "", ""},
        {"-h", fullIni, {"-h", "ignored"}, true, "fromini.inf", "INI\\ID"},
        {"/H", fullIni, {"/H"}, true, "fromini.inf", "INI\\ID"},
        {"?", fullIni, {"?"}, true, "fromini.inf", "INI\\ID"},
        {"no arguments", fullIni, {}, true, "fromini.inf", "INI\\ID"},
        {"no setup.ini", "", {}, false, "", ""},
        {"DEVICEID without INFFILE", "[DRIVER]\r\nDEVICEID=USB\\VID_1\r\n", {}, false, "", ""},
        {"longest texts", "", {limit, limit}, true, limit, limit},
        {"name too long", "", {over}, false, "", ""},
        {"id too long", "", {"pad.inf", over}, false, "", ""},
        {"INFFILE too long", "[DRIVER]\r\nINFFILE=" + over + "\r\n", {}, false, "", ""},
        {"DEVICEID too long", longIdIni, {}, false, "", ""},
        {"longest INI texts", longestIni, {}, true, limit, limit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        if (!c.ini.empty())
            dir.write("setup.ini", c.ini);
        CurrentDirectory here(dir.path());
        std::vector<std::string> texts = {"fitkit"};
        texts.insert(texts.end(), c.args.begin(), c.args.end());
        std::vector<char*> argv;
        for (std::string& text : texts)
            argv.push_back(&text[0]);
        StartupParams params;
        ASSERT_EQ(resolveStartup(static_cast<int>(argv.size()), argv.data(), params), c.ok);
        if (c.ok) {
            EXPECT_EQ(params.infName, c.infName);
            EXPECT_EQ(params.deviceId, c.deviceId);
        }
    }
}

// The current directory after chooseWorkingDirectory() in `dir`.
static std::string chosenFrom(const std::string& dir)
{
    CurrentDirectory here(dir);
    chooseWorkingDirectory();
    char now[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, now);
    return now;
}

TEST(Startup, MovesToTheProgramDirectoryOnlyWithoutSetupIni)
{
    TempDir dir;
    dir.write("setup.ini", "[DRIVER]\r\n");
    EXPECT_EQ(chosenFrom(dir.path()), dir.path());
    DeleteFileA(dir.file("setup.ini").c_str());
    dir.makeDir("setup.ini"); // a folder of that name cannot be read
    EXPECT_EQ(chosenFrom(dir.path()), programDirectory());
}

TEST(SetupIniText, OnlyALegacyFileUnderUtf8IsReadThroughAUtf8CopyAndTheFileStaysAsItWas)
{
    TempDir dir("setup_ini_text");
    const std::string legacy = "[DRIVER]\r\nINFFILE=Caf\xe9\\pad.inf\r\n";
    const std::string utf8 = "[DRIVER]\r\nINFFILE=Caf\xc3\xa9\\pad.inf\r\n";
    struct Case {
        const char* what;
        const std::string& bytes;
        UINT processCodePage, legacy;
        bool copied;
    } cases[] = {
        {"legacy file, UTF-8 process", legacy, CP_UTF8, 1252, true},
        {"legacy file, legacy process", legacy, 1252, 1252, false},
        {"UTF-8 file", utf8, CP_UTF8, 1252, false},
        {"no legacy code page", legacy, CP_UTF8, CP_UTF8, false},
    };
    std::string ini = dir.write("setup.ini", "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(writeFile(ini, c.bytes));
        std::string copy;
        {
            SetupIniText text(ini, c.processCodePage, c.legacy);
            copy = text.path();
            EXPECT_EQ(copy != ini, c.copied);
            EXPECT_EQ(readFile(copy), c.copied ? utf8 : c.bytes);
        }
        EXPECT_EQ(readFile(ini), c.bytes) << "setup.ini is never written";
        if (c.copied) {
            EXPECT_FALSE(fileExists(copy)) << "the copy is deleted";
        }
    }
}
