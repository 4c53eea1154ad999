// The 64-bit installer as an administrator runs it: silent installs into a folder of the test,
// profiler.exe started from there, an upgrade over a used installation, and silent uninstalls
// through the Add/Remove Programs entry.
#include <windows.h>
#include <shlobj.h>
#include <sddl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "padwise_version.h"
#include "profiler_ids.h"
#include "shell/auto_start.h"

#include "testlib/owned.h"
#include "testlib/process.h"
#include "testlib/registry.h"
#include "testlib/services.h"
#include "testlib/temp_dir.h"
#include "testlib/wait.h"
#include "testlib/window_search.h"

static const char UNINSTALL_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Padwise";
// Where Wine keeps the logon task of the user at the desk: "Padwise " and the user's SID (the test's
// own user: Wine has no shell window whose owner profiler could ask).
static std::string taskFile()
{
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    const testlib::Handle owned(token);
    BYTE user[256] = {};
    DWORD size = sizeof(user);
    char* sid = nullptr;
    if (!GetTokenInformation(token, TokenUser, user, size, &size) ||
        !ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid))
        return "<no SID>";
    const std::string path = taskFilePath("Padwise " + std::string(sid));
    LocalFree(sid);
    return path;
}
static const unsigned HANG_GUARD_MS = 120000;
static const std::vector<std::string> INSTALLED = {
    "README.txt", "fitkit.exe", "profiler.INI", "profiler.exe", "setup.ini", "uninstall.exe"};
static const std::vector<std::string> JOLTER = {"jolter.dll"};
static const bool WIN64_KIT = sizeof(void*) == 8; // the installer of this build's bitness

static std::string installer()
{
    return programDirectory() + "\\..\\package\\padwise-" PADWISE_VERSION_TEXT "-" PADWISE_KIND "-setup.exe";
}

static std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    testlib::FileSearch search(FindFirstFileA((folder + "\\*").c_str(), &found));
    for (bool more = search.valid(); more; more = FindNextFileA(search.get(), &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    std::sort(names.begin(), names.end());
    return names;
}

static std::string shortcutFolder()
{
    char programs[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
    return std::string(programs) + "\\Padwise";
}

static std::string section(const std::string& file, const char* name)
{
    std::string text(32767, '\0');
    text.resize(GetPrivateProfileSectionA(name, &text[0], static_cast<DWORD>(text.size()), file.c_str()));
    return text;
}

// Runs a command line to its end (within the hang guard); its exit code.
static DWORD run(const std::string& commandLine)
{
    Process process(commandLine);
    EXPECT_TRUE(process.started()) << commandLine;
    EXPECT_TRUE(process.wait(HANG_GUARD_MS)) << commandLine;
    return process.exitCode();
}

// The uninstaller copies itself to the temporary folder, starts the copy and returns at once:
// waits for the copy too and gives its exit code.
static DWORD runUninstaller(const std::string& commandLine)
{
    Process original(commandLine);
    EXPECT_TRUE(original.wait(HANG_GUARD_MS)) << commandLine;
    testlib::Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot.get(), &entry); more;
         more = Process32Next(snapshot.get(), &entry)) {
        if (entry.th32ParentProcessID != original.id())
            continue;
        testlib::Handle copy(
            OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, entry.th32ProcessID));
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(copy.get(), HANG_GUARD_MS));
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(copy.get(), &code);
        return code;
    }
    return original.exitCode(); // the copy had already ended
}

class Installer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fileExists(installer())) << installer() << ": build the target dist";
        if (runsUnderWow64())
            GTEST_SKIP() << "the 32-bit installer declines 64-bit Windows (Wow64Installer)";
    }
    void TearDown() override
    {
        std::string uninstall;
        if (getRegText(UNINSTALL_KEY, "QuietUninstallString", uninstall))
            runUninstaller(uninstall);
    }

    DWORD install() { return run(inQuotes(installer()) + " /S /D=" + folder); }
    DWORD uninstall()
    {
        std::string command;
        EXPECT_TRUE(getRegText(UNINSTALL_KEY, "UninstallString", command));
        return runUninstaller(command + " /S");
    }

    // profiler.exe started from the installed folder, once its (hidden) main window exists.
    Process startProfiler()
    {
        Process profiler = startPlaced(folder + "\\profiler.exe");
        EXPECT_TRUE(waitDialog(profiler.id(), "Padwise", 20000, Shown::AlsoHidden))
            << "profiler.exe started from the installed folder shows no main window";
        return profiler;
    }

    TempDir temp{"installer"};
    std::string folder = temp.path() + "\\Pad wise";
};

TEST_F(Installer, SilentInstallRegistersAndUninstallKeepsOnlyTheSettingsFile)
{
    ASSERT_EQ(0u, install());
    EXPECT_EQ(INSTALLED, filesIn(folder));
    EXPECT_EQ(JOLTER, filesIn(folder + "\\x86"));
    EXPECT_EQ(WIN64_KIT ? JOLTER : std::vector<std::string>{}, filesIn(folder + "\\amd64"));
    std::string source = "Z:" PADWISE_SETTINGS_FILE; // the build's settings file: a Linux path, through Z:
    std::replace(source.begin(), source.end(), '/', '\\');
    EXPECT_EQ(section(source, "SETTINGS"), section(folder + "\\profiler.INI", "SETTINGS"));
    EXPECT_EQ((std::vector<std::string>{"Pad Driver Setup.lnk", "Padwise.lnk"}), filesIn(shortcutFolder()));
    const struct {
        const char* name;
        std::string text;
    } entry[] = {
        {"DisplayName", "Padwise"},
        {"DisplayVersion", PADWISE_VERSION_TEXT},
        {"Publisher", PADWISE_PUBLISHER},
        {"UninstallString", "\"" + folder + "\\uninstall.exe\""},
        {"QuietUninstallString", "\"" + folder + "\\uninstall.exe\" /S"},
    };
    for (const auto& value : entry)
        EXPECT_EQ(value.text, regText(UNINSTALL_KEY, value.name)) << value.name;
    DWORD kilobytes = 0, size = sizeof(kilobytes);
    RegGetValueA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "EstimatedSize", RRF_RT_REG_DWORD, nullptr, &kilobytes,
                 &size);
    EXPECT_GT(kilobytes, 500u) << "the three programs alone take more";

    // Auto Start as a user leaves it: the logon task and a Run value as an XP-era profiler made it,
    // or on Windows XP (and older: Auto Start in the Run key there) the Run value alone.
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    const bool xp = version.dwMajorVersion < 6;
    ASSERT_TRUE(xp || startService("Schedule")) << "the task scheduler service did not start";
    Process profiler = startProfiler();
    SendMessageA(findDialog(profiler.id(), "Padwise", Shown::AlsoHidden), WM_COMMAND, CMD_AUTO_START, 0);
    if (xp)
        ASSERT_NE("<absent>", regText(RUN_KEY, RUN_VALUE, PROGRAM_VIEW)) << "Auto Start made no Run value";
    else
        ASSERT_TRUE(fileExists(taskFile())) << "Auto Start made no logon task";
    ASSERT_TRUE(setRegText(RUN_KEY, RUN_VALUE, folder + "\\profiler.exe", REG_SZ, PROGRAM_VIEW));
    EXPECT_EQ(0u, uninstall());
    EXPECT_TRUE(profiler.wait(0)) << "the uninstaller left profiler.exe running";
    EXPECT_EQ(std::vector<std::string>{"profiler.INI"}, filesIn(folder));
    EXPECT_FALSE(fileExists(folder + "\\x86") || fileExists(folder + "\\amd64"));
    EXPECT_EQ("<absent>", regText(UNINSTALL_KEY, "DisplayName"));
    EXPECT_EQ("<absent>", regText(RUN_KEY, RUN_VALUE, PROGRAM_VIEW));
    EXPECT_FALSE(fileExists(taskFile()));
    EXPECT_FALSE(fileExists(shortcutFolder()));
}

TEST_F(Installer, InstallOverAnInstallationKeepsTheUsersFiles)
{
    ASSERT_EQ(0u, install());
    const std::string settings = folder + "\\profiler.INI", setup = folder + "\\setup.ini";
    ASSERT_TRUE(WritePrivateProfileStringA("PROFILES", "COUNT", "1", settings.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("PROFILES", "1", "C:\\Games\\game.exe", settings.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("DRIVER", "INFFILE", "pad.inf", setup.c_str()));
    const std::string usedSettings = readFile(settings), usedSetup = readFile(setup);

    ASSERT_EQ(0u, install());
    EXPECT_EQ(usedSettings, readFile(settings));
    EXPECT_EQ(usedSetup, readFile(setup));
    EXPECT_EQ(INSTALLED, filesIn(folder));
}
TEST_F(Installer, UninstallStopsWhileProfilerWaitsForAGame)
{
    ASSERT_EQ(0u, install());
    const std::string settings = folder + "\\profiler.INI", game = temp.file("game.exe");
    ASSERT_TRUE(CopyFileA((programDirectory() + "\\standin_game.exe").c_str(), game.c_str(), FALSE));
    const std::string keys[][3] = {{"SETTINGS", "AUTOLAUNCH", "1"},
                                   {"SETTINGS", "PROMPT", "0"},
                                   {"PROFILES", "COUNT", "1"},
                                   {"PROFILES", "1", game},
                                   {game, "ProfileTitle", "Busy"}};
    for (const auto& key : keys)
        ASSERT_TRUE(
            WritePrivateProfileStringA(key[0].c_str(), key[1].c_str(), key[2].c_str(), settings.c_str()));
    char devicePath[MAX_PATH] = {};
    GetPrivateProfileStringA("SETTINGS", "REGPATH", "", devicePath, sizeof(devicePath), settings.c_str());
    ASSERT_TRUE(makeRegKey(devicePath));
    Process profiler = startProfiler();
    Process running(inQuotes(game));
    ASSERT_TRUE(waitUntil([&] { return regText(devicePath, "PROFILEACTIVE") == "Busy"; }, 20000))
        << "profiler.exe did not take up the game";

    EXPECT_EQ(3u, uninstall()) << "the uninstaller went on under a busy profiler.exe";
    EXPECT_EQ(INSTALLED, filesIn(folder));
    EXPECT_EQ("Padwise", regText(UNINSTALL_KEY, "DisplayName"));

    running.end();
    ASSERT_TRUE(waitUntil([&] { return regText(devicePath, "PROFILEACTIVE") == "<absent>"; }, 20000));
    EXPECT_EQ(0u, uninstall());
    EXPECT_TRUE(profiler.wait(0));
    EXPECT_EQ(std::vector<std::string>{"profiler.INI"}, filesIn(folder));
    deleteRegTree(devicePath);
}

// On 64-bit Windows the 32-bit installer asks first; a silent install declines with exit code 4.
TEST(Wow64Installer, SilentInstallDeclinesAndInstallsNothing)
{
    if (!runsUnderWow64())
        GTEST_SKIP() << "only the 32-bit installer on 64-bit Windows declines";
    TempDir temp{"installer"};
    const std::string folder = temp.path() + "\\Pad wise";
    EXPECT_EQ(4u, run(inQuotes(installer()) + " /S /D=" + folder));
    EXPECT_FALSE(fileExists(folder));
    EXPECT_EQ("<absent>", regText(UNINSTALL_KEY, "DisplayName"));
    EXPECT_EQ("<absent>", regText(UNINSTALL_KEY, "DisplayName", KEY_WOW64_32KEY));
}
