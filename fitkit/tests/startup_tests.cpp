// Start-up in the test's own process: platform flags, argument forms and the setup INI file.
#include <gtest/gtest.h>

#include "config/platform_kind.h"
#include "config/startup.h"
#include "testlib/temp_dir.h"

static OSVERSIONINFOA version(DWORD platform, DWORD major, DWORD minor, DWORD build)
{
    OSVERSIONINFOA v = {};
    v.dwOSVersionInfoSize = sizeof(v);
    v.dwPlatformId = platform;
    v.dwMajorVersion = major;
    v.dwMinorVersion = minor;
    v.dwBuildNumber = build;
    return v;
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

struct Args {
    std::vector<std::string> texts;
    std::vector<char*> pointers;
    explicit Args(std::vector<std::string> values) : texts(std::move(values))
    {
        for (std::string& text : texts)
            pointers.push_back(&text[0]);
    }
    int argc() const { return static_cast<int>(pointers.size()); }
    char** argv() { return pointers.data(); }
};

TEST(Startup, TakesInfNameAndDeviceIdFromTheCommandLine)
{
    TempDir dir;
    dir.write("setup.ini", "[DRIVER]\r\nINFFILE=fromini.inf\r\nDEVICEID=INI\\ID\r\n");
    CurrentDirectory here(dir.path());
    StartupParams params;

    Args one({"fitkit", "pad.inf"});
    ASSERT_TRUE(resolveStartup(one.argc(), one.argv(), params));
    EXPECT_EQ(params.infName, "pad.inf");
    EXPECT_EQ(params.deviceId, "");

    Args three({"fitkit", "-x", "USB\\VID_1", "ignored"});
    ASSERT_TRUE(resolveStartup(three.argc(), three.argv(), params));
    EXPECT_EQ(params.infName, "-x");
    EXPECT_EQ(params.deviceId, "USB\\VID_1");

    Args empty({"fitkit", ""});
    ASSERT_TRUE(resolveStartup(empty.argc(), empty.argv(), params));
    EXPECT_EQ(params.infName, "");

    for (const char* form : {"-h", "/H", "?"}) {
        Args ini({"fitkit", form, "ignored"});
        ASSERT_TRUE(resolveStartup(ini.argc(), ini.argv(), params)) << form;
        EXPECT_EQ(params.infName, "fromini.inf") << form;
        EXPECT_EQ(params.deviceId, "INI\\ID") << form;
    }
    Args alone({"fitkit"});
    ASSERT_TRUE(resolveStartup(alone.argc(), alone.argv(), params));
    EXPECT_EQ(params.infName, "fromini.inf");
}

TEST(Startup, RefusesMissingAndOverlongTexts)
{
    TempDir dir;
    CurrentDirectory here(dir.path());
    StartupParams params;
    Args alone({"fitkit"});
    EXPECT_FALSE(resolveStartup(alone.argc(), alone.argv(), params)) << "no setup.ini";

    dir.write("setup.ini", "[DRIVER]\r\nDEVICEID=USB\\VID_1\r\n");
    EXPECT_FALSE(resolveStartup(alone.argc(), alone.argv(), params)) << "DEVICEID without INFFILE";

    std::string limit(259, 'a'), over(260, 'a');
    Args longest({"fitkit", limit, limit});
    EXPECT_TRUE(resolveStartup(longest.argc(), longest.argv(), params));
    EXPECT_EQ(params.infName.size(), 259u);
    Args longName({"fitkit", over});
    EXPECT_FALSE(resolveStartup(longName.argc(), longName.argv(), params));
    Args longId({"fitkit", "pad.inf", over});
    EXPECT_FALSE(resolveStartup(longId.argc(), longId.argv(), params));

    dir.write("setup.ini", "[DRIVER]\r\nINFFILE=" + over + "\r\n");
    EXPECT_FALSE(resolveStartup(alone.argc(), alone.argv(), params)) << "INFFILE too long";
    dir.write("setup.ini", "[DRIVER]\r\nINFFILE=pad.inf\r\nDEVICEID=" + std::string(5000, 'd') + "\r\n");
    EXPECT_FALSE(resolveStartup(alone.argc(), alone.argv(), params)) << "DEVICEID too long";
    dir.write("setup.ini", "[DRIVER]\r\nINFFILE=" + limit + "\r\nDEVICEID=" + limit + "\r\n");
    EXPECT_TRUE(resolveStartup(alone.argc(), alone.argv(), params));
    EXPECT_EQ(params.deviceId, limit);
}

TEST(Startup, MovesToTheProgramDirectoryOnlyWithoutSetupIni)
{
    TempDir dir;
    {
        CurrentDirectory here(dir.path());
        dir.write("setup.ini", "[DRIVER]\r\n");
        chooseWorkingDirectory();
        char now[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, now);
        EXPECT_STREQ(now, dir.path().c_str());
    }
    {
        DeleteFileA(dir.file("setup.ini").c_str());
        dir.makeDir("setup.ini"); // a folder of that name cannot be read
        CurrentDirectory here(dir.path());
        chooseWorkingDirectory();
        char now[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, now);
        EXPECT_STREQ(now, programDirectory().c_str());
    }
}
