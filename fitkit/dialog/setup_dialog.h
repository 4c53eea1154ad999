#pragma once
// The setup dialog: names the device and the INF, shows the driver state and runs Install,
// Reinstall and Uninstall with an animated icon.
#include <windows.h>

#include <string>

#include "config/platform_kind.h"
#include "device/device_installer.h"
#include "device/device_layer.h"
#include "device/driver_state.h"
#include "dialog/state_view.h"
#include "inf/inf_file.h"

const UINT_PTR ANIMATION_TIMER = 1;
const UINT ANIMATION_PERIOD_MS = 500;
const int ANIMATION_FRAMES = 5;

extern const char DEVICE_NOT_FOUND[];
extern const char REINSTALL_QUESTION[];
extern const char PLUG_IN_WARNING[];
extern const char WIN9X_UPDATE_HINT[];
extern const char REBOOT_NOTE[];
extern const char UNINSTALL_QUESTION[];
extern const char DRIVER_REMOVED[];
extern const char RESTART_NEEDED[];
extern const char READ_DRIVER_KEY_FAIL[];

extern const char WOW64_REFUSAL[];

class SetupDialog {
public:
    SetupDialog(HINSTANCE instance, DeviceLayer& layer, PlatformKind platform, const std::string& infName,
                const std::string& deviceId);
    ~SetupDialog();
    SetupDialog(const SetupDialog&) = delete;
    SetupDialog& operator=(const SetupDialog&) = delete;

    // Runs the dialog modally until it is closed.
    INT_PTR run(HWND parent);
    // Creates the dialog modeless; it destroys its window when closed.
    HWND create(HWND parent);

    // What the last refresh found; the status text and the buttons show it (viewOf).
    DeviceCondition condition() const { return shown; }

private:
    struct CommandRoute {
        UINT first;
        UINT last;
        void (SetupDialog::*handler)();
    };
    static const CommandRoute commands[];

    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void notify(void* context, InstallerNotice notice);
    bool dispatchCommand(UINT id);
    void onInitDialog();
    DriverState refreshState();
    void show(const DeviceCondition& condition);
    void onInstall();
    void reportInstall(const SetupResult& result);
    void onUninstall();
    void onExit();
    void onTimer();

    PlatformKind platform;
    std::string infName;
    std::string deviceId;
    HINSTANCE instance;
    bool modal = false;
    bool busy = false; // an action is running; its message boxes must not start another

    HICON programIcon = nullptr;
    HICON frames[ANIMATION_FRAMES] = {};
    HWND window = nullptr;
    HWND iconControl = nullptr;
    HWND titleText = nullptr;
    HWND statusText = nullptr;
    HWND installButton = nullptr;
    HWND uninstallButton = nullptr;

    // Destroyed in reverse order: the installer first, then the match, then the INF.
    InfFile inf;
    DeviceMatch match;
    DeviceInstaller installer;
    DeviceCondition shown;
};
