// The setup dialog over a scripted device table: driver state, initialization, error texts and
// the animation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "dialog/setup_error.h"
#include "support/dialog_rig.h"

#include "testlib/window_search.h"

// Devices plugged in as a case needs them.
using Plug = void (*)(ScriptedDevices&);

struct StateCase {
    const char* name;
    PlatformKind platform;
    DriverState expected;
    Plug plug;
};

static const StateCase stateCases[] = {
    {"near misses only", NT5_PLATFORM, DriverState::NotInstalled,
     [](ScriptedDevices& d) {
         d.add({"ACPI\\OTHER"}, "Something else");
         d.add({"USB\\VID_1F3A&PID-240B", "USB\\VID_1F3A&PID_240"}, PAD_DESCRIPTION);
     }},
    {"pad unplugged, its driver installed", NT5_PLATFORM, DriverState::NotInstalled,
     [](ScriptedDevices& d) { d.add({PAD_ID}, PAD_DESCRIPTION).present = false; }},
    {"id in other letter case", NT5_PLATFORM, DriverState::Installed,
     [](ScriptedDevices& d) { d.add({"usb\\vid_1f3a&pid_240b"}, PAD_DESCRIPTION); }},
    {"second id, description in other case", NT5_PLATFORM, DriverState::OtherDriver,
     [](ScriptedDevices& d) {
         d.add({"USB\\OTHER", PAD_ID}, "FITKIT TEST PAD");
     }},
    {"description unreadable: empty", NT5_PLATFORM, DriverState::OtherDriver,
     [](ScriptedDevices& d) { d.add({PAD_ID}, PAD_DESCRIPTION).hasDescription = false; }},
    {"element without ids skipped, first match wins", NT5_PLATFORM, DriverState::OtherDriver,
     [](ScriptedDevices& d) {
         d.add({}, "no ids at all"); // ERROR_INVALID_DATA
         d.add({PAD_ID}, "Vendor driver");
         d.add({PAD_ID}, PAD_DESCRIPTION);
     }},
    {"any other property failure ends the search", NT5_PLATFORM, DriverState::NotInstalled,
     [](ScriptedDevices& d) {
         d.add({"X"}, "broken").hardwareIdError = ERROR_ACCESS_DENIED;
         d.add({PAD_ID}, PAD_DESCRIPTION);
     }},
    {"no device list", NT5_PLATFORM, DriverState::NotInstalled,
     [](ScriptedDevices& d) {
         d.add({PAD_ID}, PAD_DESCRIPTION);
         d.failGetClassDevs = ERROR_NOT_ENOUGH_MEMORY;
     }},
    {"ids longer than a first guess at the buffer", NT5_PLATFORM, DriverState::Installed,
     [](ScriptedDevices& d) {
         std::vector<std::string> ids(40, std::string(100, 'Z'));
         ids.push_back(PAD_ID);
         d.add(ids, PAD_DESCRIPTION);
     }},
    {"an element over the hardware-id cap is skipped", NT5_PLATFORM, DriverState::Installed,
     [](ScriptedDevices& d) {
         d.add({std::string(70000, 'Z')}, "too many ids");
         d.add({PAD_ID}, PAD_DESCRIPTION);
     }},
    {"hardware key, comma-separated", WINME_PLATFORM, DriverState::Installed,
     [](ScriptedDevices& d) {
         d.add({PAD_ID}, "no key").hasHardwareKey = false;
         d.add({PAD_ID}, "no HardwareID").hasHardwareIdValue = false;
         d.add({"NOT\\USED"}, PAD_DESCRIPTION).hardwareIdValue = "ISAPNP\\X,usb\\VID_1F3A&PID_240B,Y";
     }},
    {"hardware key, 98", WIN9X_PLATFORM, DriverState::Installed,
     [](ScriptedDevices& d) { d.add({"NOT\\USED"}, PAD_DESCRIPTION).hardwareIdValue = PAD_ID; }},
    {"hardware key, NT 4", PlatformKind(), DriverState::Installed,
     [](ScriptedDevices& d) { d.add({"NOT\\USED"}, PAD_DESCRIPTION).hardwareIdValue = PAD_ID; }},
    {"DeviceDesc differs by a blank", WINME_PLATFORM, DriverState::OtherDriver,
     [](ScriptedDevices& d) { d.add({PAD_ID}, "Fitkit Test Pad "); }},
};

TEST(DriverState, FromThePresentDevices)
{
    for (const StateCase& c : stateCases) {
        SCOPED_TRACE(c.name);
        DialogRig rig(c.platform);
        c.plug(rig.devices);
        rig.open();
        EXPECT_EQ(rig.state(), c.expected);
        EXPECT_TRUE(rig.boxes.seen.empty());
        EXPECT_EQ(rig.devices.liveLists(), c.expected == DriverState::NotInstalled ? 0u : 1u);
        std::vector<ScriptedDevice> before = rig.devices.devices;
        rig.dialog.reset(); // closed
        for (size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(rig.devices.devices[i].present, before[i].present) << "closing leaves device " << i;
    }
}

// The pad with the INF's driver, as the system reports its status.
TEST(DriverState, ThePadWithTheInfsDriverByItsStatus)
{
    const struct {
        ULONG status, problem;
        DWORD statusError;
        DriverState expected;
        const char* says; // in the status text
    } cases[] = {
        {DN_DRIVER_LOADED | DN_STARTED, 0, 0, DriverState::Installed, "already installed"},
        {0, 0, CR_CALL_NOT_IMPLEMENTED, DriverState::Installed, "already installed"}, // the system cannot say
        {DN_HAS_PROBLEM, CM_PROB_UNSIGNED_DRIVER, 0, DriverState::NotWorking, "(code 52). Windows blocked the driver"},
        {DN_HAS_PROBLEM, CM_PROB_FAILED_START, 0, DriverState::NotWorking, "(code 10). The pad failed to start"},
        {DN_HAS_PROBLEM, CM_PROB_FAILED_INSTALL, 0, DriverState::NotWorking, "(code 28). Windows did not finish"},
        {DN_HAS_PROBLEM, CM_PROB_FAILED_ADD, 0, DriverState::NotWorking, "(code 31). Windows could not load"},
        {DN_HAS_PROBLEM, CM_PROB_DRIVER_FAILED_LOAD, 0, DriverState::NotWorking, "(code 39). The driver could not"},
        {DN_HAS_PROBLEM, CM_PROB_FAILED_POST_START, 0, DriverState::NotWorking, "(code 43). Windows stopped the pad"},
        {DN_HAS_PROBLEM, CM_PROB_DISABLED, 0, DriverState::NotWorking, "(code 22). Device Manager shows"},
        {DN_HAS_PROBLEM, CM_PROB_NEED_RESTART, 0, DriverState::RestartPending, "needs a restart"},
        {DN_DRIVER_LOADED | DN_NEED_RESTART, 0, 0, DriverState::RestartPending, "needs a restart"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        DialogRig rig;
        ScriptedDevice& pad = rig.devices.add({PAD_ID}, PAD_DESCRIPTION);
        pad.status = c.status;
        pad.problem = c.problem;
        rig.devices.statusError = c.statusError;
        rig.open();
        EXPECT_EQ(rig.state(), c.expected);
        EXPECT_NE(rig.text(IDC_STATUS).find(c.says), std::string::npos) << rig.text(IDC_STATUS);
        EXPECT_TRUE(rig.enabled(IDC_UNINSTALL));
        EXPECT_EQ(rig.text(IDC_INSTALL), CAPTION_REINSTALL);
    }
    // Another driver's problem is not ours to explain.
    DialogRig rig;
    ScriptedDevice& other = rig.devices.add({PAD_ID}, "Vendor driver");
    other.status = DN_HAS_PROBLEM;
    other.problem = CM_PROB_UNSIGNED_DRIVER;
    rig.open();
    EXPECT_EQ(rig.state(), DriverState::OtherDriver);
}

TEST(DeviceInstaller, SearchWithoutMatchKeepsTheEarlierSelection)
{
    ScriptedDevices devices;
    devices.add({PAD_ID}, PAD_DESCRIPTION);
    DeviceInstaller installer(devices, NT5_PLATFORM);
    std::string description;
    EXPECT_FALSE(installer.readDeviceDescription(description)) << "nothing selected yet";
    ASSERT_TRUE(installer.findPresentDevice(PAD_ID));

    devices.devices[0].present = false;
    EXPECT_FALSE(installer.findPresentDevice(PAD_ID));
    ASSERT_TRUE(installer.readDeviceDescription(description));
    EXPECT_EQ(description, PAD_DESCRIPTION);
    EXPECT_EQ(devices.liveLists(), 1u) << "the empty search's list was destroyed";
}

TEST(SetupDialog, ShowsDeviceAndInfAfterInitialization)
{
    DialogRig rig;
    rig.devices.add({PAD_ID}, PAD_DESCRIPTION);
    rig.open("");
    EXPECT_EQ(windowText(rig.window), "Driver Setup");
    EXPECT_EQ(rig.text(IDC_TITLE),
              std::string("Installing ") + PAD_DESCRIPTION + "\n\nfrom " + rig.dir.file("pad.inf"));
    EXPECT_EQ(rig.state(), DriverState::Installed) << "empty id: the INF's first, and that pad";
    HICON programIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SETUP));
    EXPECT_EQ(rig.shownIcon(), programIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(rig.window, WM_GETICON, ICON_BIG, 0)), programIcon);

    rig.click(IDOK);
    EXPECT_FALSE(IsWindow(rig.window)) << "Exit closes the dialog";
}

TEST(SetupDialog, StopsEarlyWhenTheInfOrTheDeviceIsMissing)
{
    for (bool infMissing : {true, false}) {
        SCOPED_TRACE(infMissing ? "INF missing" : "device missing");
        DialogRig rig;
        rig.devices.add({"usb\\vid_1f3a&pid_240b"}, PAD_DESCRIPTION);
        if (infMissing)
            rig.open(PAD_ID, rig.dir.file("absent.inf"));
        else
            rig.open("usb\\vid_1f3a&pid_240b"); // the INF writes it in upper case
        ASSERT_EQ(rig.boxes.seen.size(), 1u);
        const SeenBox& box = rig.boxes.seen[0];
        if (infMissing) {
            EXPECT_EQ(box.text.rfind("Error ", 0), 0u) << box.text;
            EXPECT_NE(box.text.find(" in SetupOpenInfFile: \n\n "), std::string::npos) << box.text;
        } else {
            EXPECT_EQ(box.text, "Specified device not found");
        }
        EXPECT_EQ(box.icon, "exclamation");
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
        EXPECT_EQ(box.caption, ownCaption());
        EXPECT_EQ(rig.text(IDC_TITLE), "Installing xxx");
        EXPECT_EQ(rig.text(IDC_STATUS), "setup");
        EXPECT_FALSE(rig.enabled(IDC_INSTALL));
        EXPECT_FALSE(rig.enabled(IDC_UNINSTALL));
        EXPECT_TRUE(rig.enabled(IDOK));
    }
}

TEST(SetupError, FourTextFormsWithinTheLimit)
{
    std::string success = formatSetupError("Driver Install ", 0);
    EXPECT_EQ(success.rfind("Driver Install : \n\n ", 0), 0u) << success;
    EXPECT_GT(success.size(), strlen("Driver Install : \n\n \n"));
    EXPECT_EQ(success.back(), '\n');

    std::string system = formatSetupError("Op", ERROR_ACCESS_DENIED);
    EXPECT_EQ(system.rfind("Error 5 in Op: \n\n ", 0), 0u) << system;
    EXPECT_GT(system.size(), strlen("Error 5 in Op: \n\n \n"));

    EXPECT_EQ(formatSetupError("Op", 0xE000020B), "Error E000020B in Op: \n\n ERROR_NO_SUCH_DEVINST\n");
    EXPECT_EQ(formatSetupError("Op", 0xE000022F),
              "Error E000022F in Op: \n\n User Does not Accept Uncertified Driver\n");
    EXPECT_EQ(formatSetupError("Op", 0xE0001000), "Error E0001000 in Op: \n\n ERROR_NOT_INSTALLED\n");
    EXPECT_EQ(formatSetupError("Op", 0xE0001234), "Error E0001234 in Op\n\n");

    std::string longWhat(2000, 'w');
    std::string cut = formatSetupError(longWhat.c_str(), 0xE0001234);
    EXPECT_EQ(cut.size(), MAX_ERROR_TEXT);
    EXPECT_EQ(cut.rfind("Error E0001234 in www", 0), 0u);

    for (size_t i = 0; i < setupErrorNameCount; ++i)
        for (size_t j = i + 1; j < setupErrorNameCount; ++j)
            EXPECT_NE(setupErrorNames[i].code, setupErrorNames[j].code) << setupErrorNames[j].name;
}

// Every row: its name where the system has no text, and its advice after either text.
TEST(SetupError, EveryRowNamesItsCodeAndSaysWhatToDo)
{
    const struct {
        DWORD code;
        const char* name;
        const char* says; // part of the advice; null: none
    } today[] = {
        {0xE0000235, "ERROR_IN_WOW64", "64-bit Pad Driver Setup"},
        {0xE000023C, "ERROR_NOT_AN_INSTALLED_OEM_INF", nullptr},
        {0xE000023D, "ERROR_INF_IN_USE_BY_DEVICES", "Unplug the pad"},
        {0xE000023F, "ERROR_NO_AUTHENTICODE_CATALOG", "signed driver"},
        {0xE0000242, "ERROR_AUTHENTICODE_TRUST_NOT_ESTABLISHED", "not signed for this Windows"},
        {0xE0000245, "ERROR_ONLY_VALIDATE_VIA_AUTHENTICODE", "signed driver"},
        {0xE0000247, "ERROR_DRIVER_STORE_ADD_FAILED", "driver store"},
        {0xE0000248, "ERROR_DEVICE_INSTALL_BLOCKED", "Ask your administrator"},
        {0xE0000249, "ERROR_DRIVER_INSTALL_BLOCKED", "Memory integrity"},
        {0xE000024B, "ERROR_FILE_HASH_NOT_IN_CATALOG", "signed driver"},
        {0xE000024C, "ERROR_DRIVER_STORE_DELETE_FAILED", "driver store"},
        {0x800B0100, "TRUST_E_NOSIGNATURE", "signed driver"},
        {0x800B0109, "CERT_E_UNTRUSTEDROOT", "signed driver"},
    };
    for (const auto& c : today) {
        auto row = std::find_if(setupErrorNames, setupErrorNames + setupErrorNameCount,
                                [&](const SetupErrorName& r) { return r.code == c.code; });
        ASSERT_NE(row, setupErrorNames + setupErrorNameCount) << c.name;
        EXPECT_STREQ(row->name, c.name);
        EXPECT_EQ(row->advice != nullptr, c.says != nullptr) << c.name;
        if (c.says) {
            EXPECT_NE(std::string(row->advice).find(c.says), std::string::npos) << c.name;
        }
    }
    for (size_t i = 0; i < setupErrorNameCount; ++i) {
        const SetupErrorName& row = setupErrorNames[i];
        std::string text = formatSetupError("Driver Install ", row.code);
        char head[64];
        snprintf(head, sizeof(head), "Error %8.8lX in Driver Install : \n\n ", static_cast<unsigned long>(row.code));
        // TRUST_E and CERT_E codes may have a system text (Windows has one); SetupAPI's never do.
        if (text.rfind(head, 0) == 0) {
            EXPECT_EQ(text.substr(strlen(head), strlen(row.name) + 1), std::string(row.name) + "\n") << text;
        } else {
            EXPECT_EQ(text.rfind("Error ", 0), 0u) << text;
        }
        if (row.advice) {
            EXPECT_EQ(text.substr(text.size() - strlen(row.advice) - 3), std::string("\n ") + row.advice + "\n");
        }
    }
    EXPECT_EQ(formatSetupError("Op", 0xE0000246 + 0x100), "Error E0000346 in Op\n\n") << "no row: the bare code";
}

TEST(SetupError, ShowsInformationForSuccessAndWarningOtherwise)
{
    BoxAnswerer boxes;
    showSetupError(nullptr, "Done", 0);
    showSetupError(nullptr, "Op", 0xE000020B);
    ASSERT_EQ(boxes.seen.size(), 2u);
    expectBox(boxes.seen[0], formatSetupError("Done", 0), "information", {IDOK});
    expectBox(boxes.seen[1], "Error E000020B in Op: \n\n ERROR_NO_SUCH_DEVINST\n", "exclamation", {IDOK});
}

// Frame numbers (0..4; 5 for any other icon) of the icons the dialog shows while `pump` dispatches its
// messages.
static std::vector<int> watchFrames(DialogRig& rig, size_t wanted, DWORD limitMs)
{
    HICON frames[ANIMATION_FRAMES];
    for (int i = 0; i < ANIMATION_FRAMES; ++i)
        frames[i] = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_FRAME_FIRST + i));
    std::vector<int> seen;
    HICON last = rig.shownIcon();
    DWORD start = GetTickCount();
    while (seen.size() < wanted && GetTickCount() - start < limitMs) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        HICON now = rig.shownIcon();
        if (now != last) {
            last = now;
            seen.push_back(static_cast<int>(std::find(frames, frames + ANIMATION_FRAMES, now) - frames));
        }
        Sleep(10);
    }
    return seen;
}

TEST(SetupDialog, AnimatesWhileAnActionRunsAndContinuesWithTheNextFrame)
{
    DialogRig rig;
    rig.devices.add({PAD_ID}, "Vendor driver");
    rig.devices.installedDescription = "Vendor driver";
    std::vector<int> frames;
    rig.devices.duringUpdate = [&] {
        std::vector<int> part = watchFrames(rig, 3, 5000);
        frames.insert(frames.end(), part.begin(), part.end());
    };
    rig.open();
    ASSERT_EQ(rig.state(), DriverState::OtherDriver);

    rig.click(IDC_INSTALL);
    ASSERT_EQ(frames.size(), 3u);
    rig.click(IDC_INSTALL);
    ASSERT_EQ(frames.size(), 6u);
    for (size_t i = 1; i < frames.size(); ++i)
        EXPECT_EQ(frames[i], (frames[i - 1] + 1) % ANIMATION_FRAMES) << "frame " << i;

    // The timer stopped with the action: the last frame stays.
    EXPECT_TRUE(watchFrames(rig, 1, 1200).empty());
}
