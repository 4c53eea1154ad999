// Install, reinstall and uninstall through the dialog's buttons over a scripted device table.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/dialog_rig.h"

static const std::string RESULT_TITLE = "Driver Install : \n\n ";
static const std::string REBOOT_TITLE = "Driver Install , You need reboot to make the driver work: \n\n ";

static bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

static size_t countCalls(const ScriptedDevices& devices, const std::string& prefix)
{
    size_t n = 0;
    for (const std::string& call : devices.calls)
        n += call.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return n;
}

static bool timerRunning(DialogRig& rig)
{
    return KillTimer(rig.dialog->window, ANIMATION_TIMER) != FALSE;
}

static std::string updateCall(DialogRig& rig)
{
    return std::string("update ") + PAD_ID + " " + rig.dir.file("pad.inf") + " 1";
}

TEST(InstallAbsentPad, Nt5InstallsOntoARootDeviceAndRemovesIt)
{
    DialogRig rig;
    rig.devices.installedDescription = PAD_DESCRIPTION;
    rig.devices.updateReboot = TRUE; // never shown after a root device
    rig.open();
    ASSERT_EQ(rig.dialog->state, DriverState::NotInstalled);
    rig.devices.calls.clear();

    rig.click(IDC_INSTALL);
    std::vector<std::string> expected = {
        "getClassDevs 6", // state refreshed first while not installed
        "createDeviceInfoList",
        "createDeviceInfo FitkitTestPad 1",
        "setDeviceRegistryProperty 1",
        "register 1",
        "load NEWDEV.DLL",
        "find UpdateDriverForPlugAndPlayDevicesA",
        updateCall(rig),
        "free",
        "remove 1",
        "getClassDevs 6",
    };
    EXPECT_EQ(rig.devices.calls, expected);
    ASSERT_EQ(rig.devices.devices.size(), 1u);
    const ScriptedDevice& root = rig.devices.devices[0];
    EXPECT_EQ(root.rawHardwareIdProperty, std::string(PAD_ID) + std::string(2, '\0'));
    EXPECT_FALSE(root.present);
    EXPECT_EQ(root.description, PAD_DESCRIPTION) << "the driver went onto the root device";
    EXPECT_EQ(rig.dialog->installer.hardwareId, PAD_ID);
    EXPECT_FALSE(rig.dialog->installer.registered);

    ASSERT_EQ(rig.boxes.seen.size(), 1u);
    const SeenBox& box = rig.boxes.seen[0];
    EXPECT_TRUE(startsWith(box.text, RESULT_TITLE)) << box.text;
    EXPECT_EQ(box.icon, "information");
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(rig.dialog->state, DriverState::NotInstalled);
    EXPECT_FALSE(timerRunning(rig));

    rig.close();
    EXPECT_EQ(countCalls(rig.devices, "remove"), 1u) << "nothing left to remove at the end";
    EXPECT_EQ(rig.devices.liveLists(), 0u);
}

TEST(InstallAbsentPad, OtherSystemsAskForThePadToBePluggedIn)
{
    for (PlatformKind platform : {win9xPlatform(), winMePlatform(), PlatformKind()}) {
        DialogRig rig;
        rig.platform = platform;
        rig.open();
        rig.devices.calls.clear();
        rig.click(IDC_INSTALL);
        EXPECT_EQ(rig.devices.calls, std::vector<std::string>{"getClassDevs 6"});
        ASSERT_EQ(rig.boxes.seen.size(), 1u);
        expectBox(rig.boxes.seen[0], PLUG_IN_WARNING, "exclamation", {IDOK});
        EXPECT_FALSE(timerRunning(rig));
    }
}

TEST(InstallAbsentPad, RootDeviceFailuresNameTheirOperation)
{
    struct Case {
        DWORD ScriptedDevices::*failure;
        const char* text;
    } cases[] = {
        {&ScriptedDevices::failCreateList,
         "Error E0000206 in SetupDiCreateDeviceInfoList: \n\n ERROR_INVALID_CLASS\n"},
        {&ScriptedDevices::failCreateDevice, "Error E0000206 in SetupDiCreateDeviceInfo or "
                                             "SetupDiSetDeviceRegistryProperty: \n\n ERROR_INVALID_CLASS\n"},
        {&ScriptedDevices::failSetProperty, "Error E0000206 in SetupDiCreateDeviceInfo or "
                                            "SetupDiSetDeviceRegistryProperty: \n\n ERROR_INVALID_CLASS\n"},
        {&ScriptedDevices::failRegister,
         "Error E0000206 in SetupDiCallClassInstaller(DIF_REGISTERDEVICE): \n\n ERROR_INVALID_CLASS\n"},
    };
    for (const Case& c : cases) {
        DialogRig rig;
        rig.devices.*c.failure = 0xE0000206;
        rig.open();
        rig.click(IDC_INSTALL);
        ASSERT_EQ(rig.boxes.seen.size(), 1u);
        expectBox(rig.boxes.seen[0], c.text, "exclamation", {IDOK});
        EXPECT_FALSE(rig.devices.calledWith("load")) << c.text;
        EXPECT_FALSE(rig.dialog->installer.registered);
        EXPECT_FALSE(timerRunning(rig));
    }
}

TEST(InstallAbsentPad, AFailedUpdateLeavesTheRootDeviceToTheEnd)
{
    DialogRig rig;
    rig.devices.updateError = 0xE000022F;
    rig.open();
    rig.click(IDC_INSTALL);
    ASSERT_EQ(rig.boxes.seen.size(), 1u);
    expectBox(rig.boxes.seen[0],
              "Error E000022F in Driver Install : \n\n User Does not Accept Uncertified Driver\n",
              "exclamation", {IDOK});
    EXPECT_TRUE(rig.dialog->installer.registered);
    EXPECT_EQ(countCalls(rig.devices, "remove"), 1u);
    rig.close();
    EXPECT_EQ(countCalls(rig.devices, "remove"), 2u) << "removed once more when the installer goes";
    EXPECT_EQ(rig.devices.liveLists(), 0u);
}

TEST(InstallPresentPad, UpdateAndResultPerPlatform)
{
    for (PlatformKind platform : {nt5Platform(), winMePlatform(), PlatformKind()}) {
        DialogRig rig;
        rig.platform = platform;
        rig.devices.add({PAD_ID}, "Vendor driver");
        rig.devices.installedDescription = PAD_DESCRIPTION;
        rig.devices.updateReboot = TRUE;
        rig.open();
        ASSERT_EQ(rig.dialog->state, DriverState::OtherDriver);
        rig.devices.calls.clear();
        rig.click(IDC_INSTALL);
        EXPECT_FALSE(rig.devices.calledWith("createDeviceInfo"));
        EXPECT_FALSE(rig.devices.calledWith("openDevRegKey drv")) << "old driver kept";
        EXPECT_TRUE(rig.devices.calledWith(updateCall(rig)));
        ASSERT_EQ(rig.boxes.seen.size(), 1u);
        EXPECT_TRUE(startsWith(rig.boxes.seen[0].text, REBOOT_TITLE)) << rig.boxes.seen[0].text;
        EXPECT_EQ(rig.boxes.seen[0].icon, "information");
        EXPECT_EQ(rig.dialog->state, DriverState::Installed);
        EXPECT_EQ(rig.text(IDC_INSTALL), "Re&Install");
        EXPECT_FALSE(timerRunning(rig));
    }
}

TEST(InstallPresentPad, Win9xRemovesTheOldDriverAndShowsTheHint)
{
    TempDir infs;
    std::string old = infs.write("old.inf", "old");
    DialogRig rig;
    rig.platform = win9xPlatform();
    ScriptedDevice& pad = rig.devices.add({PAD_ID}, "Vendor driver");
    pad.hasDriverKey = true;
    pad.infPath = old;
    rig.devices.installedDescription = PAD_DESCRIPTION;
    rig.devices.updateError = ERROR_ACCESS_DENIED; // the hint comes whatever the update did
    rig.open();
    rig.devices.calls.clear();
    rig.click(IDC_INSTALL);
    EXPECT_FALSE(fileExists(old));
    EXPECT_EQ(countCalls(rig.devices, "remove"), 1u);
    ASSERT_EQ(rig.boxes.seen.size(), 1u);
    expectBox(rig.boxes.seen[0], WIN9X_UPDATE_HINT, "exclamation", {IDOK});
    EXPECT_LT(std::find(rig.devices.calls.begin(), rig.devices.calls.end(), "remove 1") -
                  rig.devices.calls.begin(),
              std::find(rig.devices.calls.begin(), rig.devices.calls.end(), "load NEWDEV.DLL") -
                  rig.devices.calls.begin());
}

TEST(Reinstall, AsksFirstAndDoesNothingOnNo)
{
    DialogRig rig;
    rig.devices.add({PAD_ID}, PAD_DESCRIPTION);
    rig.devices.installedDescription = PAD_DESCRIPTION;
    rig.open();
    ASSERT_EQ(rig.dialog->state, DriverState::Installed);
    rig.devices.calls.clear();

    rig.boxes.answers = {IDNO};
    rig.click(IDC_INSTALL);
    ASSERT_EQ(rig.boxes.seen.size(), 1u);
    expectBox(rig.boxes.seen[0], REINSTALL_QUESTION, "question", {IDYES, IDNO});
    EXPECT_TRUE(rig.devices.calls.empty());
    EXPECT_EQ(rig.dialog->state, DriverState::Installed);
    EXPECT_FALSE(timerRunning(rig));

    rig.boxes.answers = {IDYES, IDOK};
    rig.click(IDC_INSTALL);
    ASSERT_EQ(rig.boxes.seen.size(), 3u);
    EXPECT_TRUE(rig.devices.calledWith(updateCall(rig)));
    EXPECT_TRUE(startsWith(rig.boxes.seen[2].text, RESULT_TITLE));
}

TEST(UpdateLibrary, LoadFailuresReachTheResultBox)
{
    {
        DialogRig rig;
        rig.devices.add({PAD_ID}, "Vendor driver");
        rig.devices.missingLibraries = {"NEWDEV.DLL"};
        rig.open();
        rig.click(IDC_INSTALL);
        EXPECT_TRUE(rig.devices.calledWith("load SETUPDRV.DLL"));
        EXPECT_TRUE(rig.devices.calledWith("update "));
    }
    {
        DialogRig rig;
        rig.devices.add({PAD_ID}, "Vendor driver");
        rig.devices.missingLibraries = {"NEWDEV.DLL", "SETUPDRV.DLL"};
        rig.open();
        rig.click(IDC_INSTALL);
        ASSERT_EQ(rig.boxes.seen.size(), 1u);
        EXPECT_TRUE(startsWith(rig.boxes.seen[0].text, "Error 126 in Driver Install : \n\n "))
            << rig.boxes.seen[0].text;
        EXPECT_EQ(rig.boxes.seen[0].icon, "exclamation");
        EXPECT_EQ(rig.dialog->state, DriverState::OtherDriver);
    }
    {
        // The lookup's code survives the unload that follows it.
        DialogRig rig;
        rig.devices.add({PAD_ID}, "Vendor driver");
        rig.devices.missingFunction = true;
        rig.open();
        rig.click(IDC_INSTALL);
        ASSERT_EQ(rig.boxes.seen.size(), 1u);
        EXPECT_TRUE(startsWith(rig.boxes.seen[0].text, "Error 127 in Driver Install : \n\n "))
            << rig.boxes.seen[0].text;
        EXPECT_EQ(countCalls(rig.devices, "free"), 1u);
    }
    {
        DialogRig rig;
        rig.platform = win9xPlatform();
        rig.devices.add({PAD_ID}, "Vendor driver");
        rig.devices.missingLibraries = {"NEWDEV.DLL", "SETUPDRV.DLL"};
        rig.open();
        rig.click(IDC_INSTALL);
        ASSERT_EQ(rig.boxes.seen.size(), 1u);
        EXPECT_EQ(rig.boxes.seen[0].text, WIN9X_UPDATE_HINT);
    }
}

// A file in the Windows INF directory (or below it), removed at the end if still there.
struct WindowsInfFile {
    std::string path;
    bool madeFolder = false;
    WindowsInfFile(const std::string& sub, const std::string& name)
    {
        char windows[MAX_PATH] = {};
        GetWindowsDirectoryA(windows, MAX_PATH);
        std::string folder = std::string(windows) + "\\INF\\" + sub;
        madeFolder = CreateDirectoryA(folder.c_str(), nullptr) != FALSE;
        path = folder + name;
        writeFile(path, "; installed copy\r\n");
    }
    ~WindowsInfFile()
    {
        DeleteFileA(path.c_str());
        if (madeFolder)
            RemoveDirectoryA(path.substr(0, path.rfind('\\')).c_str());
    }
};

static std::string pnfOf(const std::string& path)
{
    return path.substr(0, path.size() - 3) + "PNF";
}

static std::string uniqueInfName()
{
    return "fitkit-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) +
           ".inf";
}

// Uninstall confirmed, on a present pad whose driver key names `infPath`.
static void uninstall(DialogRig& rig, const std::string& infPath)
{
    ScriptedDevice& pad = rig.devices.add({PAD_ID}, PAD_DESCRIPTION);
    pad.hasDriverKey = true;
    pad.infPath = infPath;
    rig.open();
    ASSERT_EQ(rig.dialog->state, DriverState::Installed);
    rig.boxes.answers = {IDYES};
    rig.click(IDC_UNINSTALL);
}

TEST(Uninstall, DeletesTheInstalledInfWhereverItIs)
{
    {
        // A full path; on NT 5 its PNF goes too.
        DialogRig rig;
        std::string inf = rig.dir.write("installed\\oem9.inf", "x");
        writeFile(pnfOf(inf), "x");
        uninstall(rig, inf);
        EXPECT_FALSE(fileExists(inf));
        EXPECT_FALSE(fileExists(pnfOf(inf)));
        ASSERT_EQ(rig.boxes.seen.size(), 2u);
        expectBox(rig.boxes.seen[0], UNINSTALL_QUESTION, "question", {IDYES, IDNO});
        expectBox(rig.boxes.seen[1], DRIVER_REMOVED, "information", {IDOK});
        EXPECT_EQ(countCalls(rig.devices, "remove"), 1u);
        EXPECT_EQ(rig.dialog->state, DriverState::NotInstalled);
        EXPECT_TRUE(rig.enabled(IDC_INSTALL));
        EXPECT_FALSE(rig.enabled(IDC_UNINSTALL));
        EXPECT_FALSE(timerRunning(rig));
    }
    {
        // A bare name: the Windows INF directory, never the current directory.
        DialogRig rig;
        std::string name = uniqueInfName();
        WindowsInfFile installed("", name);
        writeFile(pnfOf(installed.path), "x");
        std::string packageCopy = rig.dir.write(name, "the package's own INF");
        CurrentDirectory here(rig.dir.path());
        uninstall(rig, name);
        EXPECT_FALSE(fileExists(installed.path));
        EXPECT_FALSE(fileExists(pnfOf(installed.path)));
        EXPECT_TRUE(fileExists(packageCopy));
        DeleteFileA(pnfOf(installed.path).c_str());
    }
    {
        // Its OTHER folder, on a system without PNF files.
        DialogRig rig;
        rig.platform = winMePlatform();
        std::string name = uniqueInfName();
        WindowsInfFile installed("OTHER\\", name);
        writeFile(pnfOf(installed.path), "x");
        uninstall(rig, name);
        EXPECT_FALSE(fileExists(installed.path));
        EXPECT_TRUE(fileExists(pnfOf(installed.path)));
        DeleteFileA(pnfOf(installed.path).c_str());
    }
}

TEST(Uninstall, UnreadableOrMissingDriverKey)
{
    {
        DialogRig rig;
        rig.devices.add({PAD_ID}, PAD_DESCRIPTION).hasDriverKey = true;
        rig.devices.devices[0].hasInfPath = false;
        rig.open();
        rig.boxes.answers = {IDYES};
        rig.click(IDC_UNINSTALL);
        ASSERT_EQ(rig.boxes.seen.size(), 3u);
        expectBox(rig.boxes.seen[1], "Read Driver Key fail!", "exclamation", {IDOK});
        expectBox(rig.boxes.seen[2], DRIVER_REMOVED, "information", {IDOK});
        EXPECT_EQ(countCalls(rig.devices, "remove"), 1u);
    }
    {
        // No driver key: nothing to remove, the device stays.
        DialogRig rig;
        rig.devices.add({PAD_ID}, PAD_DESCRIPTION);
        rig.open();
        rig.boxes.answers = {IDYES};
        rig.click(IDC_UNINSTALL);
        ASSERT_EQ(rig.boxes.seen.size(), 2u);
        EXPECT_EQ(rig.boxes.seen[1].text, DRIVER_REMOVED);
        EXPECT_EQ(countCalls(rig.devices, "remove"), 0u);
        EXPECT_EQ(rig.dialog->state, DriverState::Installed);
    }
    {
        // A device that cannot be removed: no success box, the state is read again.
        DialogRig rig;
        rig.devices.add({PAD_ID}, PAD_DESCRIPTION).hasDriverKey = true;
        rig.devices.failRemove = 0xE000020B;
        rig.open();
        rig.boxes.answers = {IDYES};
        rig.click(IDC_UNINSTALL);
        ASSERT_EQ(rig.boxes.seen.size(), 1u);
        EXPECT_EQ(rig.dialog->state, DriverState::Installed);
        EXPECT_TRUE(rig.enabled(IDC_UNINSTALL));
    }
    {
        DialogRig rig;
        rig.devices.add({PAD_ID}, PAD_DESCRIPTION).hasDriverKey = true;
        rig.open();
        rig.boxes.answers = {IDNO};
        rig.devices.calls.clear();
        rig.click(IDC_UNINSTALL);
        EXPECT_EQ(rig.boxes.seen.size(), 1u);
        EXPECT_TRUE(rig.devices.calls.empty());
        EXPECT_FALSE(timerRunning(rig));
    }
}

TEST(Uninstall, OemEntryKeyPerPlatform)
{
    EXPECT_EQ(oemEntryKey(nt5Platform(), "USB\\VID_1F3A&PID_240B"),
              "SYSTEM\\ControlSet001\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\USB\\VID_"
              "1F3A&PID_240B");
    EXPECT_EQ(oemEntryKey(win9xPlatform(), "VID_1F3A&PID_240B"),
              "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\VID_"
              "1F3A&PID_240B");
    EXPECT_EQ(oemEntryKey(PlatformKind(), ""), oemEntryKey(winMePlatform(), ""));
}

TEST(Install, ClicksWhileAnActionRunsAreIgnored)
{
    DialogRig rig;
    rig.devices.add({PAD_ID}, "Vendor driver");
    rig.devices.installedDescription = PAD_DESCRIPTION;
    rig.devices.duringUpdate = [&] {
        rig.click(IDC_INSTALL);
        rig.click(IDC_UNINSTALL);
    };
    rig.open();
    rig.click(IDC_INSTALL);
    EXPECT_EQ(countCalls(rig.devices, "update"), 1u);
    ASSERT_EQ(rig.boxes.seen.size(), 1u) << "no second result and no uninstall question";
    EXPECT_EQ(rig.dialog->state, DriverState::Installed);
}
