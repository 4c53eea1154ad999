// "/close" with real processes: a running profiler.exe ends, and without one the request is done.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "shell/single_instance.h"
#include "testlib/process.h"
#include "testlib/temp_dir.h"
#include "testlib/wait.h"
#include "testlib/window_search.h"
#include "tests/ui_test_support.h"

namespace {
constexpr unsigned HANG_GUARD_MS = 30000;

class ProfilerInstance : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings.write("[SETTINGS]\r\n[PROFILES]\r\nCOUNT=1\r\n1=C:\\Games\\Fly\\fly.exe\r\n");
        program = placeProgram("profiler.exe", settings.folder);
    }
    Process run(const std::string& arguments = "") { return startPlaced(program, arguments); }
    // The running instance, once start-up has added its tray icon.
    HWND startFirst()
    {
        first = run();
        HWND main = waitDialog(first.id(), "Padwise", HANG_GUARD_MS, Shown::AlsoHidden);
        EXPECT_TRUE(main && waitUntil([&] { return trayIconPresent(main); }, HANG_GUARD_MS));
        return main;
    }

    TempSettings settings{"instance"};
    std::string program;
    Process first;
};

TEST(CloseRequest, OnlyCloseOrDashCloseAloneInAnyCaseAsksToClose)
{
    for (const char* line : {"/close", "-close", "/CLOSE", " -Close ", "\t/close"})
        EXPECT_TRUE(isCloseRequest(line)) << line;
    for (const char* line : {"", "close", "/close now", "/closed", "--close", "/c"})
        EXPECT_FALSE(isCloseRequest(line)) << line;
}

TEST_F(ProfilerInstance, CloseEndsARunningInstanceAndIsDoneAtOnceWithoutOne)
{
    struct Case {
        const char* arguments;
        bool instance;
    } cases[] = {{" /close", true}, {" -CLOSE", false}, {" /Close", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.arguments) + (c.instance ? " with an instance" : " alone"));
        HWND main = c.instance ? startFirst() : nullptr;
        std::string before = settings.bytes();
        Process close = run(c.arguments);
        ASSERT_TRUE(close.wait(HANG_GUARD_MS));
        EXPECT_EQ(close.exitCode(), 0u);
        EXPECT_EQ(findDialog(close.id(), "Padwise", Shown::AlsoHidden), nullptr);
        if (c.instance) {
            // Its end came before the request's answer: nothing is left to wait for.
            EXPECT_TRUE(first.wait(0));
            EXPECT_EQ(first.exitCode(), 0u);
            EXPECT_FALSE(trayIconPresent(main));
        }
        EXPECT_EQ(settings.bytes(), before);
    }
}
// The same program in another folder (a portable copy beside the installed one) is not reached by
// this copy's request; a request made while the instance is still starting waits for it.
TEST_F(ProfilerInstance, CloseReachesOnlyTheCopyOfItsOwnFileAndWaitsForOneStillStarting)
{
    TempDir otherFolder("instance_other");
    const std::string other = placeProgram("profiler.exe", otherFolder.path());
    startFirst();
    Process foreign = startPlaced(other, " /close");
    ASSERT_TRUE(foreign.wait(HANG_GUARD_MS));
    EXPECT_EQ(foreign.exitCode(), 0u) << "no instance of that copy runs";
    EXPECT_TRUE(first.running()) << "another copy's request ended this instance";

    for (int attempt = 0; attempt < 6; ++attempt) {
        SCOPED_TRACE("attempt " + std::to_string(attempt));
        if (attempt > 0)
            first = run(); // the request follows at once
        Process close = run(" /close");
        ASSERT_TRUE(close.wait(HANG_GUARD_MS));
        EXPECT_EQ(close.exitCode(), 0u);
        EXPECT_TRUE(first.wait(0)) << "the instance went on running after the request answered 0";
        first.end();
    }
}
} // namespace
