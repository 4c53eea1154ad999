// profiler.exe as a real process: start-up from its own settings file, recovery, and Exit.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "profiler_ids.h"
#include "ui_test_support.h"

namespace {
struct FoundWindow {
    DWORD process;
    const char* title;
    HWND window;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM data)
{
    FoundWindow* found = reinterpret_cast<FoundWindow*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char text[128] = {};
    GetWindowTextA(window, text, sizeof(text));
    if (owner == found->process && !std::strcmp(text, found->title)) {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

HWND waitForWindow(DWORD process, const char* title, bool visible, DWORD timeoutMs = 10000)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        FoundWindow found = {process, title, nullptr};
        EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&found));
        if (found.window && (!visible || IsWindowVisible(found.window)))
            return found.window;
        Sleep(20);
    }
    return nullptr;
}

std::string controlText(HWND dialog, int id)
{
    char text[512] = {};
    GetWindowTextA(GetDlgItem(dialog, id), text, sizeof(text));
    return text;
}

// A copy of profiler.exe under `name` in a settings folder, started as its own process.
class ProfilerProcess {
public:
    ProfilerProcess(const TempSettings& settings, const std::string& name)
    {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string built = self;
        built = built.substr(0, built.find_last_of('\\') + 1) + "profiler.exe";
        path = settings.folder + "\\" + name;
        CopyFileA(built.c_str(), path.c_str(), FALSE);
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        started = CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                                 settings.folder.c_str(), &startup, &info) != FALSE;
    }
    ~ProfilerProcess()
    {
        if (started) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(info.hProcess, 1);
                WaitForSingleObject(info.hProcess, 5000);
            }
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    std::string path;
    PROCESS_INFORMATION info = {};
    bool started = false;
};

const char* const PROFILES =
    "[PROFILES]\r\nCOUNT=3\r\n1=C:\\windows\\notepad.exe\r\n2=C:\\Games\\Fly\\fly.exe\r\n3=C:"
    "\\Games\\Race\\race.exe\r\n"
    "[C:\\windows\\notepad.exe]\r\nProfileTitle=Notes\r\n[C:\\Games\\Fly\\fly.exe]\r\nProfileTitle=Fly\r\n"
    "[C:\\Games\\Race\\race.exe]\r\nProfileTitle=Race\r\n[DEFAULT]\r\nForceGain=70\r\n";

TEST(ProfilerProcess, StartsHiddenRecoversAndExitsOnlyWhenConfirmed)
{
    TempSettings settings("process");
    ScratchKey key("Process");
    settings.write("[SETTINGS]\r\nKEYS=1\r\n1=ForceGain\r\nREGPATH=" + key.path + "\r\n" + PROFILES);
    key.set("ForceGain", "game gain");
    key.set("PROFILEACTIVE", "Fly");

    ProfilerProcess profiler(settings, "profiler.exe");
    ASSERT_TRUE(profiler.started);
    HWND main = waitForWindow(profiler.info.dwProcessId, "Padwise", false);
    ASSERT_NE(main, nullptr);
    // The window exists from the start of its initialisation; the marker goes at its end.
    for (int i = 0; i < 250 && key.has("PROFILEACTIVE"); ++i)
        Sleep(20);
    EXPECT_FALSE(key.has("PROFILEACTIVE"));
    SendMessageA(main, WM_NULL, 0, 0);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(SendMessageA(GetDlgItem(main, IDC_PROFILE_LIST), LVM_GETITEMCOUNT, 0, 0), 3);
    std::string gain;
    key.get("ForceGain", gain);
    EXPECT_EQ(gain, "70");

    // Exit asks first; No keeps the program, Yes ends it.
    for (int answer : {IDNO, IDYES}) {
        PostMessageA(main, WM_COMMAND, CMD_EXIT, 0);
        HWND box = waitForWindow(profiler.info.dwProcessId, "profiler", true);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(controlText(box, 0xFFFF), "Are you sure to Close Padwise?\n\n");
        EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
        EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
        SendMessageA(GetDlgItem(box, answer), BM_CLICK, 0, 0);
        if (answer == IDNO) {
            EXPECT_EQ(WaitForSingleObject(profiler.info.hProcess, 500), static_cast<DWORD>(WAIT_TIMEOUT));
            EXPECT_TRUE(IsWindow(main));
        }
    }
    ASSERT_EQ(WaitForSingleObject(profiler.info.hProcess, 10000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(profiler.info.hProcess, &code);
    EXPECT_EQ(code, 0u);
}

TEST(ProfilerProcess, ARenamedProgramReadsTheSettingsFileOfItsOwnName)
{
    TempSettings settings("renamed");
    settings.write(std::string("[SETTINGS]\r\n") + PROFILES);
    std::string own = settings.folder + "\\padwise.INI";
    CopyFileA(settings.path.c_str(), own.c_str(), FALSE);
    settings.write("[SETTINGS]\r\n"); // profiler.INI beside it lists nothing

    ProfilerProcess profiler(settings, "padwise.exe");
    ASSERT_TRUE(profiler.started);
    ASSERT_EQ(WaitForInputIdle(profiler.info.hProcess, 10000), 0u);
    HWND main = waitForWindow(profiler.info.dwProcessId, "Padwise", false);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(main, IDC_PROFILE_LIST), LVM_GETITEMCOUNT, 0, 0), 3);
}
} // namespace
