// fitkit.exe as a user starts it: real command lines, setup INI files and INF files of the test,
// the platform's device functions.
#include <gtest/gtest.h>

#include "app/setup_app.h"
#include "config/startup.h"
#include "dialog/setup_dialog.h"
#include "fitkit_ids.h"
#include "support/dialog_rig.h"
#include "testlib/fitkit_run.h"
#include "support/inf_text.h"
#include "testlib/temp_dir.h"

// A program folder and a separate working folder, neither holding setup.ini unless a test adds it.
struct Folders {
    TempDir root;
    std::string exeDir = root.makeDir("program");
    std::string workDir = root.makeDir("work");
    std::string exe = FitkitRun::copyTo(exeDir);
};

// fitkit.exe started with `arguments` in the working folder shows the pad of `infPath`, not installed.
static void expectPadDialog(const Folders& f, const std::string& arguments, const std::string& infPath)
{
    FitkitRun fitkit(f.exe, arguments, f.workDir);
    HWND dialog = fitkit.waitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(controlText(dialog, IDC_TITLE),
              std::string("Installing ") + PAD_DESCRIPTION + "\n\nfrom " + infPath);
    EXPECT_EQ(controlText(dialog, IDC_STATUS), STATUS_NOT_INSTALLED);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_INSTALL)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_UNINSTALL)));
    pressButton(dialog, IDOK);
    EXPECT_EQ(fitkit.waitForExit(), 0u);
}

TEST(FitkitStartup, UsageWithoutInfName)
{
    Folders f;
    // No setup.ini at first, then one without INFFILE.
    for (const std::string& arguments :
         {std::string(), std::string("-h"), "\"" + std::string(300, 'p') + ".inf\""}) {
        SCOPED_TRACE(arguments);
        FitkitRun fitkit(f.exe, arguments, f.workDir);
        ASSERT_TRUE(fitkit.started());
        SeenBox box = fitkit.answerBox(IDOK);
        EXPECT_EQ(box.caption, "fitkit");
        EXPECT_EQ(box.text, USAGE_TEXT);
        EXPECT_NE(box.icon, "none"); // which one: the in-process tests
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
        EXPECT_EQ(fitkit.waitForExit(), 1u);
        EXPECT_FALSE(fitkit.dialogSeen());
        writeFile(f.workDir + "\\setup.ini", "[DRIVER]\r\nDEVICEID=USB\\VID_1F3A&PID_240B\r\n");
    }
}

TEST(FitkitStartup, UsageBoxIsAWarning)
{
    TempDir dir;
    CurrentDirectory here(dir.path());
    BoxAnswerer boxes;
    char program[] = "fitkit";
    char* argv[] = {program, nullptr};
    EXPECT_EQ(SetupApp().run(GetModuleHandleA(nullptr), 1, argv), 1);
    ASSERT_EQ(boxes.seen.size(), 1u);
    expectBox(boxes.seen[0], USAGE_TEXT, "exclamation", {IDOK});
}

TEST(FitkitStartup, IniFormsReadTheSetupIni)
{
    Folders f;
    writeFile(f.workDir + "\\pad.inf", padInf());
    writeFile(f.workDir + "\\setup.ini",
              "[DRIVER]\r\nINFFILE=pad.inf\r\nDEVICEID=USB\\VID_1F3A&PID_240B\r\n");
    for (const char* form : {"-h", "/H", "?", ""}) {
        SCOPED_TRACE(form);
        expectPadDialog(f, form, f.workDir + "\\pad.inf");
    }
}

TEST(FitkitStartup, OtherDashArgumentsAndEmptyNamesAreInfNames)
{
    Folders f;
    writeFile(f.workDir + "\\-x", padInf());
    writeFile(f.workDir + "\\setup.ini", "[DRIVER]\r\nINFFILE=elsewhere.inf\r\n");
    expectPadDialog(f, "-x", f.workDir + "\\-x");
    FitkitRun fitkit(f.exe, "\"\"", f.workDir);
    SeenBox box = fitkit.answerBox(IDOK);
    EXPECT_EQ(box.caption, "fitkit");
    EXPECT_EQ(box.text.rfind("Error ", 0), 0u) << box.text;
    EXPECT_NE(box.text.find(" in SetupOpenInfFile: \n\n "), std::string::npos) << box.text;
    EXPECT_NE(box.icon, "none"); // which one: the in-process tests
    HWND dialog = fitkit.waitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(controlText(dialog, IDC_TITLE), "Installing xxx");
    EXPECT_EQ(controlText(dialog, IDC_STATUS), "setup");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_INSTALL)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_UNINSTALL)));
    pressButton(dialog, IDCANCEL); // Escape
    EXPECT_EQ(fitkit.waitForExit(), 0u);
}

TEST(FitkitStartup, WorkingDirectoryFollowsTheSetupIni)
{
    Folders f;
    writeFile(f.exeDir + "\\pad.inf", padInf());
    writeFile(f.workDir + "\\pad.inf", padInf());
    expectPadDialog(f, "pad.inf USB\\VID_1F3A&PID_240B", f.exeDir + "\\pad.inf");
    writeFile(f.workDir + "\\setup.ini", "[DRIVER]\r\nINFFILE=ignored.inf\r\n");
    expectPadDialog(f, "pad.inf", f.workDir + "\\pad.inf");
}
