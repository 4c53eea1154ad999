// profiler.exe as a real process: start-up from its own settings file, recovery, and Exit.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "profiler_ids.h"
#include "testlib/process.h"
#include "testlib/registry.h"
#include "testlib/wait.h"
#include "testlib/window_search.h"
#include "tests/ui_test_support.h"

namespace {
const std::string PROFILES = std::string(THREE_PROFILES) + "[DEFAULT]\r\nForceGain=70\r\n";

TEST(ProfilerProcess, StartsHiddenRecoversAndExitsOnlyWhenConfirmed)
{
    TempSettings settings("process");
    ScratchKey key("Software\\PadkitTests\\Process", {{"ForceGain", "game gain"}, {"PROFILEACTIVE", "Fly"}});
    settings.write("[SETTINGS]\r\nKEYS=1\r\n1=ForceGain\r\nREGPATH=" + key.path + "\r\n" + PROFILES);

    Process profiler = startPlaced(placeProgram("profiler.exe", settings.folder));
    ASSERT_TRUE(profiler.started());
    HWND main = waitDialog(profiler.id(), "Padwise", 10000, Shown::AlsoHidden);
    ASSERT_NE(main, nullptr);
    // The window exists from the start of its initialisation; the marker goes at its end.
    EXPECT_TRUE(waitUntil([&] { return !key.has("PROFILEACTIVE"); }, 5000));
    SendMessageA(main, WM_NULL, 0, 0);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(SendMessageA(GetDlgItem(main, IDC_PROFILE_LIST), LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(regText(key.path, "ForceGain"), "70");

    // Exit asks first; No keeps the program, Yes ends it.
    for (int answer : {IDNO, IDYES}) {
        PostMessageA(main, WM_COMMAND, CMD_EXIT, 0);
        SeenBox box = answerBox(profiler.id(), answer, 10000);
        EXPECT_EQ(box.caption, "profiler");
        EXPECT_EQ(box.text, "Are you sure to Close Padwise?\n\n");
        EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
        if (answer == IDNO) {
            EXPECT_FALSE(profiler.wait(500));
            EXPECT_TRUE(IsWindow(main));
        }
    }
    ASSERT_TRUE(profiler.wait(10000));
    EXPECT_EQ(profiler.exitCode(), 0u);
}

TEST(ProfilerProcess, ARenamedProgramReadsTheSettingsFileOfItsOwnName)
{
    TempSettings settings("renamed");
    ASSERT_TRUE(writeFile(settings.folder + "\\padwise.INI", "[SETTINGS]\r\n" + PROFILES));
    settings.write("[SETTINGS]\r\n"); // profiler.INI beside it lists nothing

    Process profiler = startPlaced(placeProgram("profiler.exe", settings.folder, "padwise.exe"));
    ASSERT_TRUE(profiler.started());
    ASSERT_EQ(WaitForInputIdle(profiler.handle(), 10000), 0u);
    HWND main = waitDialog(profiler.id(), "Padwise", 10000, Shown::AlsoHidden);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(main, IDC_PROFILE_LIST), LVM_GETITEMCOUNT, 0, 0), 3);
}
} // namespace
