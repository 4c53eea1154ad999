// Install, reinstall and uninstall through the dialog's buttons over a scripted device table.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "support/dialog_rig.h"
#include "testlib/registry.h"

static const std::string RESULT_TITLE = "Driver Install : \n\n ";
static const std::string REBOOT_TITLE = "Driver Install , You need reboot to make the driver work: \n\n ";

// A result box: this program's caption, a text beginning with `start`, `icon` and OK alone.
static void expectResult(const SeenBox& box, const std::string& start, const char* icon)
{
    EXPECT_EQ(box.caption, ownCaption());
    EXPECT_EQ(box.text.compare(0, start.size(), start), 0) << box.text;
    EXPECT_EQ(box.icon, icon);
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
}

// The pad (or the device `id`) present with a driver whose key names `infPath`.
static void addPad(DialogRig& rig, const std::string& description, const std::string& infPath = "",
                   const std::string& id = PAD_ID)
{
    ScriptedDevice& pad = rig.devices.add({id}, description);
    pad.hasDriverKey = true;
    pad.infPath = infPath;
}

// The result box, then the note to restart when `restart`.
static void expectOutcome(const DialogRig& rig, const std::string& start, const char* icon,
                          bool restart = false)
{
    ASSERT_EQ(rig.boxes.seen.size(), restart ? 2u : 1u);
    expectResult(rig.boxes.seen[0], start, icon);
    if (restart)
        expectBox(rig.boxes.seen[1], RESTART_NEEDED, "information", {IDOK});
}

// Install clicked in state `before`; the update installs the pad's driver, asks for a reboot as
// `reboot` says and fails with `updateError` when that is set.
static void install(DialogRig& rig, DWORD updateError, DriverState before, BOOL reboot = TRUE)
{
    rig.devices.installedDescription = PAD_DESCRIPTION;
    rig.devices.updateReboot = reboot;
    rig.devices.updateError = updateError;
    rig.open();
    ASSERT_EQ(rig.state(), before);
    rig.click(IDC_INSTALL);
}

TEST(InstallAbsentPad, Nt5InstallsOntoARootDeviceAndRemovesIt)
{
    struct Case {
        DWORD updateError;
        std::string box;   // how it begins: no reboot note after a root device
        int removalsAtEnd; // after a failed update the device stays marked and is removed once more
    } cases[] = {
        {0, RESULT_TITLE, 1},
        {0xE000022F, "Error E000022F in Driver Install : \n\n User Does not Accept Uncertified Driver\n", 2},
    };
    for (const Case& c : cases) {
        DialogRig rig;
        ASSERT_NO_FATAL_FAILURE(install(rig, c.updateError, DriverState::NotInstalled));
        ASSERT_EQ(rig.devices.devices.size(), 1u);
        const ScriptedDevice& root = rig.devices.devices[0];
        EXPECT_TRUE(root.created && root.generatedId);
        EXPECT_EQ(root.className, "FitkitTestPad");
        EXPECT_EQ(root.rawHardwareIdProperty, std::string(PAD_ID) + std::string(2, '\0'));
        EXPECT_EQ(root.driverSource, c.updateError ? "" : rig.dir.file("pad.inf"))
            << "registered before the update";
        EXPECT_FALSE(root.present) << "removed after the update";
        EXPECT_EQ(root.removeRequests, 1);
        expectOutcome(rig, c.box, c.updateError ? "exclamation" : "information");
        EXPECT_EQ(rig.state(), DriverState::NotInstalled);
        EXPECT_FALSE(rig.timerRunning());
        EXPECT_EQ(rig.devices.loadedLibraries(), 0);
        rig.dialog.reset(); // closed
        EXPECT_EQ(root.removeRequests, c.removalsAtEnd);
        EXPECT_EQ(rig.devices.liveLists(), 0u);
    }
}

TEST(InstallAbsentPad, APadPluggedInSinceTheDialogOpenedIsFoundFirst)
{
    DialogRig rig;
    rig.devices.installedDescription = PAD_DESCRIPTION;
    rig.open();
    ASSERT_EQ(rig.state(), DriverState::NotInstalled);
    addPad(rig, "Vendor driver");
    rig.click(IDC_INSTALL);
    EXPECT_EQ(rig.devices.devices.size(), 1u) << "no root device";
    EXPECT_EQ(rig.devices.devices[0].driverSource, rig.dir.file("pad.inf"));
    EXPECT_EQ(rig.state(), DriverState::Installed);
}

// An install that cannot start ends with one warning and no update: on systems without root
// devices, when the root device cannot be prepared (its operation named), and for a 32-bit setup
// on 64-bit Windows, which the system would refuse: it says which setup to use and touches nothing.
TEST(Install, EndsWithOneWarningWhenItCannotStart)
{
    PlatformKind wow64 = NT5_PLATFORM;
    wow64.isWow64 = true;
    const std::string failed = "Error E0000206 in ", invalidClass = ": \n\n ERROR_INVALID_CLASS\n";
    const std::string createDevice = "SetupDiCreateDeviceInfo or SetupDiSetDeviceRegistryProperty";
    struct Case {
        PlatformKind platform;
        bool present;
        DWORD ScriptedDevices::*failure; // failing with ERROR_INVALID_CLASS
        std::string box;
    } cases[] = {
        {WIN9X_PLATFORM, false, nullptr, PLUG_IN_WARNING},
        {WINME_PLATFORM, false, nullptr, PLUG_IN_WARNING},
        {PlatformKind(), false, nullptr, PLUG_IN_WARNING},
        {NT5_PLATFORM, false, &ScriptedDevices::failCreateList,
         failed + "SetupDiCreateDeviceInfoList" + invalidClass},
        {NT5_PLATFORM, false, &ScriptedDevices::failCreateDevice, failed + createDevice + invalidClass},
        {NT5_PLATFORM, false, &ScriptedDevices::failSetProperty, failed + createDevice + invalidClass},
        {NT5_PLATFORM, false, &ScriptedDevices::failRegister,
         failed + "SetupDiCallClassInstaller(DIF_REGISTERDEVICE)" + invalidClass},
        {wow64, false, nullptr, WOW64_REFUSAL},
        {wow64, true, nullptr, WOW64_REFUSAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box + (c.present ? ", pad present" : ""));
        DialogRig rig(c.platform);
        if (c.present)
            addPad(rig, "Vendor driver");
        if (c.failure)
            rig.devices.*c.failure = 0xE0000206;
        DriverState before = c.present ? DriverState::OtherDriver : DriverState::NotInstalled;
        ASSERT_NO_FATAL_FAILURE(install(rig, 0, before));
        ASSERT_EQ(rig.boxes.seen.size(), 1u) << "no update and no result";
        expectBox(rig.boxes.seen[0], c.box, "exclamation", {IDOK});
        if (!c.failure) {
            EXPECT_EQ(rig.devices.devices.size(), c.present ? 1u : 0u) << "no root device";
        }
        for (const ScriptedDevice& device : rig.devices.devices)
            EXPECT_EQ(device.driverSource, "") << "no update";
        EXPECT_FALSE(rig.timerRunning());
    }
}

TEST(InstallPresentPad, UpdateAndResultPerPlatform)
{
    struct Case {
        const char* name;
        PlatformKind platform;
        DWORD updateError;
        bool oldDriverKept;
        std::string box;
        const char* icon;
        DriverState after;
    } cases[] = {
        {"NT 5", NT5_PLATFORM, 0, true, REBOOT_TITLE, "information", DriverState::Installed},
        {"Me", WINME_PLATFORM, 0, true, REBOOT_TITLE, "information", DriverState::Installed},
        {"NT 4", PlatformKind(), 0, true, REBOOT_TITLE, "information", DriverState::Installed},
        // The old driver and its device go first; the hint comes whatever the update did.
        {"98", WIN9X_PLATFORM, 0, false, WIN9X_UPDATE_HINT, "exclamation", DriverState::NotInstalled},
        {"98, update failing", WIN9X_PLATFORM, ERROR_ACCESS_DENIED, false, WIN9X_UPDATE_HINT, "exclamation",
         DriverState::NotInstalled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogRig rig(c.platform);
        std::string oldInf = rig.dir.write("old\\oem4.inf", "old");
        addPad(rig, "Vendor driver", oldInf);
        ASSERT_NO_FATAL_FAILURE(install(rig, c.updateError, DriverState::OtherDriver));
        ASSERT_EQ(rig.devices.devices.size(), 1u) << "no root device";
        const ScriptedDevice& pad = rig.devices.devices[0];
        EXPECT_EQ(fileExists(oldInf), c.oldDriverKept);
        EXPECT_EQ(pad.present, c.oldDriverKept);
        EXPECT_EQ(pad.driverSource, c.oldDriverKept ? rig.dir.file("pad.inf") : "");
        // After a success that needs a restart, the user is told to restart.
        expectOutcome(rig, c.box, c.icon, c.box == REBOOT_TITLE);
        EXPECT_EQ(rig.state(), c.after);
        EXPECT_FALSE(rig.timerRunning());
    }
}

TEST(Reinstall, AsksFirstAndDoesNothingOnNo)
{
    DialogRig rig;
    addPad(rig, PAD_DESCRIPTION);
    rig.boxes.answers = {IDNO};
    ASSERT_NO_FATAL_FAILURE(install(rig, 0, DriverState::Installed, FALSE));
    ASSERT_EQ(rig.boxes.seen.size(), 1u);
    expectBox(rig.boxes.seen[0], REINSTALL_QUESTION, "question", {IDYES, IDNO});
    EXPECT_EQ(rig.devices.devices[0].driverSource, "");
    EXPECT_EQ(rig.state(), DriverState::Installed);
    EXPECT_FALSE(rig.timerRunning());

    rig.boxes.answers = {IDYES, IDOK};
    rig.click(IDC_INSTALL);
    ASSERT_EQ(rig.boxes.seen.size(), 3u);
    EXPECT_EQ(rig.devices.devices[0].driverSource, rig.dir.file("pad.inf"));
    expectResult(rig.boxes.seen[2], RESULT_TITLE, "information");
}

// A restart the system asks for is told after the success box; a pad the system blocks after the
// install says so. Either way the driver is the INF's: the next click asks first.
TEST(InstallPresentPad, TheStateAfterTheUpdateIsThePadsAsTheSystemReportsIt)
{
    const struct {
        BOOL updateReboot;
        ULONG status, problem; // of the pad after the update
        bool restart;
        DriverState after;
    } cases[] = {
        {TRUE, DN_DRIVER_LOADED | DN_STARTED, 0, true, DriverState::Installed},
        {FALSE, DN_DRIVER_LOADED | DN_NEED_RESTART, 0, true, DriverState::RestartPending},
        {FALSE, DN_HAS_PROBLEM, CM_PROB_NEED_RESTART, true, DriverState::RestartPending},
        {FALSE, DN_DRIVER_LOADED | DN_STARTED, 0, false, DriverState::Installed},
        {FALSE, DN_HAS_PROBLEM, CM_PROB_UNSIGNED_DRIVER, false, DriverState::NotWorking},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(&c - cases));
        DialogRig rig;
        rig.devices.add({PAD_ID}, "Vendor driver");
        rig.devices.installedStatus = c.status;
        rig.devices.installedProblem = c.problem;
        ASSERT_NO_FATAL_FAILURE(install(rig, 0, DriverState::OtherDriver, c.updateReboot));
        expectOutcome(rig, c.restart ? REBOOT_TITLE : RESULT_TITLE, "information", c.restart);
        EXPECT_EQ(rig.state(), c.after);
        if (c.after == DriverState::NotWorking) {
            EXPECT_EQ(rig.dialog->condition().problem, c.problem);
        }

        rig.boxes.answers = {IDNO};
        rig.click(IDC_INSTALL);
        ASSERT_EQ(rig.boxes.seen.size(), c.restart ? 3u : 2u);
        expectBox(rig.boxes.seen.back(), REINSTALL_QUESTION, "question", {IDYES, IDNO});
    }
}

TEST(UpdateLibrary, LoadFailuresReachTheResultBox)
{
    const std::set<std::string> both = {UPDATE_LIBRARY, UPDATE_LIBRARY_FALLBACK};
    struct Case {
        PlatformKind platform;
        std::set<std::string> missingLibraries;
        std::set<std::string> missingFunctions;
        std::string box; // how it begins
        const char* icon;
        bool installed;
    } cases[] = {
        {NT5_PLATFORM, {UPDATE_LIBRARY}, {}, RESULT_TITLE, "information", true},
        {NT5_PLATFORM, both, {}, "Error 126 in Driver Install : \n\n ", "exclamation", false},
        // The lookup's code survives the unload that follows it.
        {NT5_PLATFORM, {}, {UPDATE_FUNCTION}, "Error 127 in Driver Install : \n\n ", "exclamation", false},
        {WIN9X_PLATFORM, both, {}, WIN9X_UPDATE_HINT, "exclamation", false},
    };
    for (const Case& c : cases) {
        DialogRig rig(c.platform);
        rig.devices.add({PAD_ID}, "Vendor driver");
        rig.devices.missingLibraries = c.missingLibraries;
        rig.devices.missingFunctions = c.missingFunctions;
        ASSERT_NO_FATAL_FAILURE(install(rig, 0, DriverState::OtherDriver, FALSE));
        expectOutcome(rig, c.box, c.icon);
        EXPECT_EQ(!rig.devices.devices[0].driverSource.empty(), c.installed) << c.box;
        EXPECT_EQ(rig.devices.loadedLibraries(), 0) << c.box;
    }
}

// An installed INF and its PNF in `folder` (made when missing), removed at the end if still there.
struct InstalledInf {
    std::string folder;
    std::string path;
    bool madeFolder;
    InstalledInf(const std::string& folder, const std::string& name)
        : folder(folder), path(folder + name), madeFolder(CreateDirectoryA(folder.c_str(), nullptr) != FALSE)
    {
        writeFile(path, "; installed copy\r\n");
        writeFile(pnfPath(path), "x");
    }
    ~InstalledInf()
    {
        DeleteFileA(path.c_str());
        DeleteFileA(pnfPath(path).c_str());
        if (madeFolder)
            RemoveDirectoryA(folder.c_str());
    }
};

static std::string uniqueInfName()
{
    return "fitkit-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) +
           ".inf";
}

// Uninstall confirmed, on the pad (or the device `id`, listed by an INF of its own) whose driver
// key names `infPath`.
static void uninstall(DialogRig& rig, const std::string& infPath, const std::string& id = PAD_ID)
{
    addPad(rig, PAD_DESCRIPTION, infPath, id);
    rig.open(id, id == PAD_ID ? "" : rig.dir.write("own.inf", padInf(id)));
    ASSERT_EQ(rig.state(), DriverState::Installed);
    rig.boxes.answers = {IDYES};
    rig.click(IDC_UNINSTALL);
}

// After a confirmed uninstall: the question, the success box, the pad gone, the timer stopped.
static void expectRemoved(DialogRig& rig)
{
    ASSERT_EQ(rig.boxes.seen.size(), 2u);
    expectBox(rig.boxes.seen[0], UNINSTALL_QUESTION, "question", {IDYES, IDNO});
    expectBox(rig.boxes.seen[1], DRIVER_REMOVED, "information", {IDOK});
    EXPECT_FALSE(rig.devices.devices[0].present);
    EXPECT_EQ(rig.state(), DriverState::NotInstalled);
    EXPECT_FALSE(rig.timerRunning());
    EXPECT_EQ(rig.devices.loadedLibraries(), 0);
}

// "InfPath" as a driver key may hold it, from the installed file's full path and its name.
using InfPathForm = std::string (*)(const std::string& full, const std::string& name);

TEST(Uninstall, DeletesTheInstalledInfAsInfPathNamesIt)
{
    struct Case {
        const char* name;
        PlatformKind platform;
        const char* folder; // below the Windows INF directory; null: "sub" of the current directory
        bool pnfGoes;
        InfPathForm infPath;
    } cases[] = {
        {"bare name, INF directory, NT 5", NT5_PLATFORM, "", true, [](auto&, auto& name) { return name; }},
        {"bare name, OTHER folder, Me", WINME_PLATFORM, "OTHER\\", false,
         [](auto&, auto& name) { return name; }},
        {"full path", NT5_PLATFORM, nullptr, true, [](auto& full, auto&) { return full; }},
        {"relative", NT5_PLATFORM, nullptr, true, [](auto&, auto& name) { return "sub\\" + name; }},
        {"root-relative", NT5_PLATFORM, nullptr, true, [](auto& full, auto&) { return full.substr(2); }},
        {"drive-relative", NT5_PLATFORM, nullptr, true,
         [](auto& full, auto& name) { return full.substr(0, 2) + "sub\\" + name; }},
        {"forward slashes", NT5_PLATFORM, nullptr, true,
         [](auto& full, auto&) {
             std::string path = full;
             std::replace(path.begin(), path.end(), '\\', '/');
             return path;
         }},
        {"relative, forward slash", NT5_PLATFORM, nullptr, true,
         [](auto&, auto& name) { return "sub/" + name; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogRig rig(c.platform);
        std::string name = uniqueInfName();
        InstalledInf installed(c.folder ? windowsInfPath("") + c.folder : rig.dir.file("sub\\"), name);
        // A bare name is never taken from the current directory, which holds the package.
        std::string packageCopy = rig.dir.write(name, "the package's own INF");
        CurrentDirectory here(rig.dir.path());
        uninstall(rig, c.infPath(installed.path, name));
        EXPECT_FALSE(fileExists(installed.path));
        EXPECT_NE(fileExists(pnfPath(installed.path)), c.pnfGoes);
        EXPECT_TRUE(fileExists(packageCopy));
        expectRemoved(rig);
    }
}

// An OEM INF of the INF directory, named bare, goes with its package through SetupUninstallOEMInfA
// where the system can; otherwise, and for any other name, the file is deleted by path.
TEST(Uninstall, OnlyAnOemInfOfTheInfDirectoryReachesSetupUninstallOEMInf)
{
    std::string oem = "oem" + uniqueInfName(), other = uniqueInfName();
    struct Case {
        const char* name;
        std::string infPath;
        std::set<std::string> missingLibraries, missingFunctions;
        DWORD uninstallError;
        bool called, oemDeleted, otherDeleted;
    } cases[] = {
        {"SetupUninstallOEMInfA removes it", oem, {}, {}, 0, true, true, false},
        {"it fails: deleted by path", oem, {}, {}, ERROR_ACCESS_DENIED, true, true, false},
        {"no such function: deleted by path", oem, {}, {UNINSTALL_FUNCTION}, 0, false, true, false},
        {"no setupapi.dll: deleted by path", oem, {SETUP_LIBRARY}, {}, 0, false, true, false},
        {"full path", windowsInfPath(oem), {}, {}, 0, false, true, false},
        {"the INF directory followed", "..\\INF\\" + oem, {}, {}, 0, false, true, false},
        {"relative", "INF/" + oem, {}, {}, 0, false, false, false},
        {"stream", oem + ":stream", {}, {}, 0, false, false, false},
        {"wildcard", "oem*.inf", {}, {}, 0, false, false, false},
        {"no oem prefix", "oem-missing-" + other, {}, {}, 0, false, false, false},
        {"not an OEM INF", other, {}, {}, 0, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogRig rig;
        InstalledInf installedOem(windowsInfPath(""), oem), installedOther(windowsInfPath(""), other);
        rig.devices.driverStore = {oem, other};
        rig.devices.missingLibraries = c.missingLibraries;
        rig.devices.missingFunctions = c.missingFunctions;
        rig.devices.uninstallError = c.uninstallError;
        uninstall(rig, c.infPath);
        EXPECT_EQ(rig.devices.uninstallRequests, std::vector<std::string>(c.called ? 1 : 0, oem));
        EXPECT_EQ(rig.devices.driverStore.size(), c.called && !c.uninstallError ? 1u : 2u);
        EXPECT_NE(fileExists(installedOem.path), c.oemDeleted);
        EXPECT_NE(fileExists(pnfPath(installedOem.path)), c.oemDeleted);
        EXPECT_NE(fileExists(installedOther.path), c.otherDeleted);
        expectRemoved(rig);
    }
}

TEST(Uninstall, UnreadableOrMissingDriverKeyAndRefusedRemoval)
{
    struct Case {
        const char* name;
        bool hasDriverKey, hasInfPath;
        DWORD failRemove;
        DWORD flagsAfterRemove;
        int answer;
        std::vector<std::string> boxes; // after the question
        bool padRemains;
    } cases[] = {
        {"InfPath unreadable", true, false, 0, 0, IDYES, {READ_DRIVER_KEY_FAIL, DRIVER_REMOVED}, false},
        {"no driver key: nothing to remove", false, true, 0, 0, IDYES, {DRIVER_REMOVED}, true},
        {"device not removed: no success box", true, true, 0xE000020B, DI_NEEDRESTART, IDYES, {}, true},
        {"answered No", true, true, 0, 0, IDNO, {}, true},
        {"removal needs a restart", true, true, 0, DI_NEEDRESTART, IDYES, {DRIVER_REMOVED, RESTART_NEEDED}, false},
        {"removal needs a reboot", true, true, 0, DI_NEEDREBOOT, IDYES, {DRIVER_REMOVED, RESTART_NEEDED}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogRig rig;
        ScriptedDevice& pad = rig.devices.add({PAD_ID}, PAD_DESCRIPTION);
        pad.hasDriverKey = c.hasDriverKey;
        pad.hasInfPath = c.hasInfPath;
        rig.devices.failRemove = c.failRemove;
        pad.flagsAfterRemove = c.flagsAfterRemove;
        rig.open();
        rig.boxes.answers = {c.answer};
        rig.click(IDC_UNINSTALL);
        ASSERT_EQ(rig.boxes.seen.size(), c.boxes.size() + 1);
        for (size_t i = 0; i < c.boxes.size(); ++i) {
            bool warning = c.boxes[i] == READ_DRIVER_KEY_FAIL;
            expectBox(rig.boxes.seen[i + 1], c.boxes[i], warning ? "exclamation" : "information", {IDOK});
        }
        EXPECT_EQ(rig.devices.devices[0].present, c.padRemains);
        EXPECT_EQ(rig.state(), c.padRemains ? DriverState::Installed : DriverState::NotInstalled);
        EXPECT_FALSE(rig.timerRunning());
    }
}

TEST(Uninstall, OemEntryIsNamedByVidAndPid)
{
    const std::string oem = "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\";
    const struct {
        const char* deviceId;
        const char* vidPid; // "" : no entry
    } cases[] = {
        {"USB\\VID_1F3A&PID_240B", "VID_1F3A&PID_240B"},
        {"USB\\VID_1F3A&PID_240B&REV_0100", "VID_1F3A&PID_240B"},
        {"HID\\vid_1f3a&pid_240b&MI_01\\7&2A&0&0000", "vid_1f3a&pid_240b"},
        {"USB\\VID_1F3A&PID_240B\\5&1234", "VID_1F3A&PID_240B"},
        {"VID_1F3A&PID_240B", ""}, // no enumerator
        {"Root\\VirtualPad_KPX240", ""},
        {"USB\\VID_1F3A", ""},
        {"USB\\VID_1F3A&PID_240B&COL01", ""},
        {"USB\\VID_1F3G&PID_240B", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vidPidOf(c.deviceId), c.vidPid) << c.deviceId;
        EXPECT_EQ(oemEntryKey(c.deviceId), *c.vidPid ? oem + c.vidPid : "") << c.deviceId;
    }
}

static bool machineKeyExists(const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// The OEM entries as a driver package's INF writes them (HKLM\System has one view).
struct OemEntries {
    std::string pad = oemEntryKey(PAD_ID), other = oemEntryKey(SECOND_ID);
    ScratchKey padKey{pad, {{"OEMName", "Fitkit Test Pad"}}};
    ScratchKey otherKey{other, {{"OEMName", "Fitkit Test Pad"}}};
    OemEntries()
    {
        for (const std::string& key : {pad, other}) {
            setRegText(key + "\\OEMForceFeedback", "CLSID", "{5C3A9E21-7D4B-4F08-B6E2-91A0D47C3F15}");
            setRegText(key + "\\OEMForceFeedback\\Effects\\{13541C20-8E33-11D0-9AD0-00A0C9A06E35}", "",
                       "Constant Force");
        }
    }
};

// An id without VID and PID deletes nothing.
TEST(Uninstall, DeletesTheOemEntryDirectInputReadsAndNoOther)
{
    for (const std::string id : {PAD_ID, "Root\\VirtualPad_KPX240"}) {
        SCOPED_TRACE(id);
        bool padEntry = id == PAD_ID;
        OemEntries entries;
        ASSERT_EQ(regText(entries.pad, "OEMName"), "Fitkit Test Pad");
        DialogRig rig;
        ASSERT_NO_FATAL_FAILURE(uninstall(rig, "", id));
        expectRemoved(rig);
        EXPECT_NE(machineKeyExists(entries.pad), padEntry) << "the entry and its subkeys go";
        EXPECT_EQ(regText(entries.pad, "OEMName"), padEntry ? "<absent>" : "Fitkit Test Pad");
        EXPECT_EQ(rig.devices.deletedKeys.empty(), !padEntry);
        EXPECT_EQ(regText(entries.other + "\\OEMForceFeedback", "CLSID"), "{5C3A9E21-7D4B-4F08-B6E2-91A0D47C3F15}");
    }
}

TEST(Install, ClicksWhileAnActionRunsAreIgnored)
{
    DialogRig rig;
    rig.devices.add({PAD_ID}, "Vendor driver");
    rig.devices.duringUpdate = [&] {
        rig.click(IDC_INSTALL);
        rig.click(IDC_UNINSTALL);
    };
    ASSERT_NO_FATAL_FAILURE(install(rig, 0, DriverState::OtherDriver, FALSE));
    ASSERT_EQ(rig.boxes.seen.size(), 1u) << "no second result and no uninstall question";
    EXPECT_EQ(rig.state(), DriverState::Installed);
}
