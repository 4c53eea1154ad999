// fitkit.exe installing and removing a driver with the platform's own device installation:
// a root device that fitkit prepares itself, and one that the test makes.
#include <gtest/gtest.h>

#include <windows.h>
#include <setupapi.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "config/platform_kind.h"
#include "dialog/setup_dialog.h"
#include "fitkit_ids.h"
#include "testlib/fitkit_run.h"
#include "support/inf_text.h"
#include "testlib/devices.h"
#include "testlib/temp_dir.h"

// A hardware id of this run, so that runs in one prefix do not meet.
static std::string uniquePadId()
{
    char id[64];
    snprintf(id, sizeof(id), "ROOT\\FITKIT_TEST_%lu_%lu", GetCurrentProcessId(), GetTickCount());
    return id;
}

static std::string installedInf(const std::string& id)
{
    std::string infPath;
    forEachDevice(id, [&](HDEVINFO set, SP_DEVINFO_DATA& device) {
        HKEY raw = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_QUERY_VALUE);
        testlib::Key key(raw == INVALID_HANDLE_VALUE ? nullptr : raw);
        char value[MAX_PATH] = {};
        DWORD size = sizeof(value) - 1;
        if (key.valid() && RegQueryValueExA(key.get(), "InfPath", nullptr, nullptr,
                                            reinterpret_cast<BYTE*>(value), &size) == 0)
            infPath = value;
        return true;
    });
    return infPath;
}

// Copies of the test INF for `id` that the system keeps in its INF directory.
static std::vector<std::string> infCopies(const std::string& id)
{
    std::vector<std::string> copies;
    WIN32_FIND_DATAA found;
    testlib::FileSearch search(FindFirstFileA(windowsInfPath("*.inf").c_str(), &found));
    for (bool more = search.valid(); more; more = FindNextFileA(search.get(), &found)) {
        std::string path = windowsInfPath(found.cFileName);
        if (readFile(path).find(id) != std::string::npos)
            copies.push_back(path);
    }
    return copies;
}

// fitkit.exe started on this run's pad INF (named `infName`) and id, its dialog showing `status`.
// At the end, once fitkit has ended, the run's devices and the system's copies of its INF go.
struct Win32Run {
    explicit Win32Run(const std::string& infName = "pad.inf") : infName(infName) {}
    ~Win32Run()
    {
        fitkit.reset();
        removeDevices(id);
        for (const std::string& copy : infCopies(id)) {
            DeleteFileA(copy.c_str());
            DeleteFileA(pnfPath(copy).c_str());
        }
    }
    std::string infName;
    TempDir dir;
    std::string id = uniquePadId();
    std::unique_ptr<FitkitRun> fitkit;
    HWND dialog = nullptr;

    void start(const char* status)
    {
        dir.write(infName, padInf(id));
        fitkit.reset(new FitkitRun(FitkitRun::copyTo(dir.path()), infName + " " + id, dir.path()));
        dialog = fitkit->waitForDialog();
        ASSERT_NE(dialog, nullptr);
        ASSERT_EQ(controlText(dialog, IDC_STATUS), status);
    }
    void install()
    {
        pressButton(dialog, IDC_INSTALL);
        SeenBox result = fitkit->answerBox(IDOK, 30000);
        EXPECT_EQ(result.caption, "fitkit");
        EXPECT_EQ(result.text.rfind("Driver Install : \n\n ", 0), 0u) << result.text;
        EXPECT_EQ(result.buttons, std::vector<int>{IDOK});
        EXPECT_NE(result.icon, "none");
    }
    void exit()
    {
        EXPECT_TRUE(fitkit->exit());
        EXPECT_EQ(fitkit->waitForExit(), 0u);
    }
};

TEST(Win32Install, AbsentPadGetsItsDriverThroughARootDevice)
{
    if (PlatformKind::runsInWow64())
        GTEST_SKIP() << "a 32-bit process on 64-bit Windows installs no driver";
    Win32Run run;
    ASSERT_NO_FATAL_FAILURE(run.start(STATUS_NOT_INSTALLED));
    run.install();
    // The driver went onto the only device with this run's id, fitkit's root device: the system
    // keeps a copy of the INF. That device is gone again: the state reads as before.
    EXPECT_EQ(infCopies(run.id).size(), 1u);
    EXPECT_EQ(controlText(run.dialog, IDC_STATUS), STATUS_NOT_INSTALLED);
    EXPECT_EQ(presentDevices(run.id), 0);
    run.exit();
}

// The system's copy of the INF keeps the package's name under Wine: named oem*.inf, it goes
// through SetupUninstallOEMInfA; named otherwise, it is deleted by path.
TEST(Win32Install, PresentPadInstalledAndUninstalled)
{
    if (PlatformKind::runsInWow64())
        GTEST_SKIP() << "a 32-bit process on 64-bit Windows installs no driver";
    for (const std::string& infName :
         {std::string("pad.inf"), "oemfitkit" + std::to_string(GetCurrentProcessId()) + ".inf"}) {
        SCOPED_TRACE(infName);
        Win32Run run(infName);
        // A present root device and no driver, as a plugged-in pad without its driver would be.
        RootDevice pad(run.id, PAD_CLASS_GUID, "FitkitTestPad");
        ASSERT_TRUE(pad.created());
        pad.release(); // removed with the test's other devices
        ASSERT_EQ(presentDevices(run.id), 1);
        ASSERT_NO_FATAL_FAILURE(run.start(STATUS_OTHER_DRIVER));
        run.install();
        EXPECT_EQ(controlText(run.dialog, IDC_STATUS), STATUS_INSTALLED);
        EXPECT_EQ(controlText(run.dialog, IDC_INSTALL), "Re&Install");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(run.dialog, IDC_UNINSTALL)));
        std::string installed = installedInf(run.id);
        ASSERT_FALSE(installed.empty());
        std::string installedPath =
            installed.find('\\') == std::string::npos ? windowsInfPath(installed) : installed;
        std::string pnf = pnfPath(installedPath);
        EXPECT_TRUE(fileExists(installedPath)) << installedPath;
        EXPECT_TRUE(fileExists(pnf)) << pnf;

        pressButton(run.dialog, IDC_UNINSTALL);
        SeenBox question = run.fitkit->answerBox(IDYES);
        EXPECT_EQ(question.text, UNINSTALL_QUESTION);
        EXPECT_EQ(question.buttons, (std::vector<int>{IDYES, IDNO}));
        SeenBox removed = run.fitkit->answerBox(IDOK);
        EXPECT_EQ(removed.text, DRIVER_REMOVED);
        EXPECT_EQ(controlText(run.dialog, IDC_STATUS), STATUS_NOT_INSTALLED);
        EXPECT_FALSE(fileExists(installedPath)) << installedPath;
        EXPECT_FALSE(fileExists(pnf)) << pnf;
        EXPECT_EQ(presentDevices(run.id), 0);
        run.exit();
    }
}

// On 64-bit Windows the 32-bit fitkit.exe says which setup to use and installs nothing.
TEST(Win32Install, A32BitSetupOn64BitWindowsSaysToUseThe64BitOne)
{
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64)
        GTEST_SKIP() << "not a 32-bit process on 64-bit Windows";
    Win32Run run;
    ASSERT_NO_FATAL_FAILURE(run.start(STATUS_NOT_INSTALLED));
    pressButton(run.dialog, IDC_INSTALL);
    SeenBox box = run.fitkit->answerBox(IDOK);
    EXPECT_EQ(box.text, WOW64_REFUSAL);
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(controlText(run.dialog, IDC_STATUS), STATUS_NOT_INSTALLED);
    EXPECT_TRUE(infCopies(run.id).empty());
    EXPECT_EQ(presentDevices(run.id), 0);
    run.exit();
}
