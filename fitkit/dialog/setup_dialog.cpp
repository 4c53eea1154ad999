#include "dialog/setup_dialog.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "dialog/message_box.h"
#include "dialog/setup_error.h"
#include "fitkit_ids.h"

const char DEVICE_NOT_FOUND[] = "Specified device not found";
const char REINSTALL_QUESTION[] = "Driver installed, Are you sure to Reinstall the driver?";
const char PLUG_IN_WARNING[] =
    "Please make sure that the device was pluged-in before run setup.\n\nSee users manual for detail.";
const char WIN9X_UPDATE_HINT[] =
    "Driver update inprogress, please follow the instruction to install driver, \n"
    "Be sure to select \"Other Location\" and give the path to the driver";
const char REBOOT_NOTE[] = ", You need reboot to make the driver work";
const char UNINSTALL_QUESTION[] = "Are you sure to uninstall the driver?";
const char DRIVER_REMOVED[] = "Driver Removed OK!";
const char RESTART_NEEDED[] = "Windows needs a restart to finish setting up the pad.\n\n"
                              "Save your work and restart Windows before you use the pad.";
const char READ_DRIVER_KEY_FAIL[] = "Read Driver Key fail!";
const char WOW64_REFUSAL[] =
    "This is the 32-bit Pad Driver Setup, and this Windows is 64-bit: Windows installs drivers only "
    "from a 64-bit program here.\n\nPlease use the 64-bit Pad Driver Setup to install the driver.";

static const char OPEN_INF_OPERATION[] = "SetupOpenInfFile";

// The operation named in the box of a failing install step.
static const struct {
    SetupStep step;
    const char* operation;
} STEP_NAMES[] = {
    {SetupStep::CreateDeviceList, "SetupDiCreateDeviceInfoList"},
    {SetupStep::CreateRootDevice, "SetupDiCreateDeviceInfo or SetupDiSetDeviceRegistryProperty"},
    {SetupStep::RegisterDevice, "SetupDiCallClassInstaller(DIF_REGISTERDEVICE)"},
};

static const char* operationName(SetupStep step)
{
    for (const auto& row : STEP_NAMES)
        if (row.step == step)
            return row.operation;
    return nullptr;
}

// Frame counter of the install animation: one per process, never reset.
static unsigned animationCounter = 0;

const SetupDialog::CommandRoute SetupDialog::commands[] = {
    {IDC_INSTALL, IDC_INSTALL, &SetupDialog::onInstall},
    {IDC_UNINSTALL, IDC_UNINSTALL, &SetupDialog::onUninstall},
    {IDOK, IDCANCEL, &SetupDialog::onExit},
};

SetupDialog::SetupDialog(HINSTANCE instance, DeviceLayer& layer, PlatformKind platform,
                         const std::string& infName, const std::string& deviceId)
    : platform(platform), infName(infName), deviceId(deviceId), instance(instance),
      installer(layer, platform, NoticeSink{&SetupDialog::notify, this})
{
    programIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SETUP));
}

SetupDialog::~SetupDialog()
{
    if (window && !modal)
        DestroyWindow(window);
}

void SetupDialog::notify(void* context, InstallerNotice notice)
{
    if (notice == InstallerNotice::DriverKeyUnreadable)
        showBox(static_cast<SetupDialog*>(context)->window, READ_DRIVER_KEY_FAIL, BoxKind::Warning);
}

INT_PTR SetupDialog::run(HWND parent)
{
    modal = true;
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), parent, dialogProc,
                           reinterpret_cast<LPARAM>(this));
}

HWND SetupDialog::create(HWND parent)
{
    modal = false;
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), parent, dialogProc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK SetupDialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<SetupDialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->window = window;
        self->onInitDialog();
        return TRUE;
    }
    auto* self = reinterpret_cast<SetupDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            return self->dispatchCommand(LOWORD(wParam));
        return FALSE;
    case WM_TIMER:
        self->onTimer();
        return TRUE;
    case WM_NCDESTROY:
        self->window = nullptr;
        return FALSE;
    }
    return FALSE;
}

bool SetupDialog::dispatchCommand(UINT id)
{
    for (const CommandRoute& route : commands) {
        if (id >= route.first && id <= route.last) {
            (this->*route.handler)();
            return true;
        }
    }
    return false;
}

void SetupDialog::onInitDialog()
{
    iconControl = GetDlgItem(window, IDC_ANIMATION);
    titleText = GetDlgItem(window, IDC_TITLE);
    statusText = GetDlgItem(window, IDC_STATUS);
    installButton = GetDlgItem(window, IDC_INSTALL);
    uninstallButton = GetDlgItem(window, IDC_UNINSTALL);

    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(programIcon));
    for (int i = 0; i < ANIMATION_FRAMES; ++i)
        frames[i] = LoadIconA(instance, MAKEINTRESOURCEA(IDI_FRAME_FIRST + i));

    DWORD code = inf.openInf(infName);
    if (code != 0) {
        showSetupError(window, OPEN_INF_OPERATION, code);
        return;
    }
    match.found = false;
    match.deviceId = deviceId;
    code = inf.findModel(match);
    if (code != 0 || !match.found) {
        showBox(window, DEVICE_NOT_FOUND, BoxKind::Warning);
        return;
    }

    char format[256] = {};
    LoadStringA(instance, IDS_TITLE_FORMAT, format, sizeof(format));
    std::vector<char> title(sizeof(format) + match.description.size() + inf.path.size() + 1);
    snprintf(title.data(), title.size(), format, match.description.c_str(), inf.path.c_str());
    SetWindowTextA(titleText, title.data());

    refreshState();
}

DriverState SetupDialog::refreshState()
{
    show(installer.findState(match));
    return shown.state;
}

void SetupDialog::show(const DeviceCondition& condition)
{
    const StateView& view = viewOf(condition.state);
    shown = condition;
    EnableWindow(installButton, TRUE);
    EnableWindow(uninstallButton, view.uninstallEnabled);
    SetWindowTextA(installButton, view.installCaption);
    SetWindowTextA(statusText, ::statusText(condition).c_str());
}

void SetupDialog::onTimer()
{
    int frame = static_cast<int>(animationCounter % ANIMATION_FRAMES);
    ++animationCounter;
    SendMessageA(iconControl, STM_SETICON, reinterpret_cast<WPARAM>(frames[frame]), 0);
}

void SetupDialog::onExit()
{
    if (modal)
        EndDialog(window, IDOK);
    else
        DestroyWindow(window);
}

void SetupDialog::onInstall()
{
    if (busy)
        return;
    if (platform.isWow64) {
        // The system refuses a 32-bit caller's driver install (ERROR_IN_WOW64): nothing to try.
        busy = true;
        showBox(window, WOW64_REFUSAL, BoxKind::Warning);
        busy = false;
        return;
    }
    busy = true;
    SetTimer(window, ANIMATION_TIMER, ANIMATION_PERIOD_MS, nullptr);
    if (shown.state == DriverState::NotInstalled)
        refreshState();

    bool proceed = true;
    bool rootDevice = shown.state == DriverState::NotInstalled;
    if (hasInfDriver(shown.state)) {
        proceed = showBox(window, REINSTALL_QUESTION, BoxKind::Question) == IDYES;
    } else if (rootDevice && !platform.isNt5) {
        showBox(window, PLUG_IN_WARNING, BoxKind::Warning);
        proceed = false;
    }
    if (proceed) {
        SetupResult result = installer.install(inf, match.deviceId, rootDevice);
        reportInstall(result);
        if (result.operation == SetupStep::UpdateDriver)
            refreshState();
    }
    KillTimer(window, ANIMATION_TIMER);
    busy = false;
}

void SetupDialog::reportInstall(const SetupResult& result)
{
    if (const char* operation = operationName(result.operation)) {
        showSetupError(window, operation, result.code); // the root device could not be prepared
        return;
    }
    if (platform.isWin9x) {
        showBox(window, WIN9X_UPDATE_HINT, BoxKind::Warning);
        return;
    }
    char title[128] = {};
    snprintf(title, sizeof(title), "Driver Install %s", result.restartNeeded ? REBOOT_NOTE : "");
    showSetupError(window, title, result.code);
    if (result.restartNeeded)
        showBox(window, RESTART_NEEDED, BoxKind::Information);
}

void SetupDialog::onUninstall()
{
    if (busy)
        return;
    if (showBox(window, UNINSTALL_QUESTION, BoxKind::Question) != IDYES)
        return;
    busy = true;
    SetTimer(window, ANIMATION_TIMER, ANIMATION_PERIOD_MS, nullptr);
    SetupResult result = installer.uninstall(match.deviceId);
    if (result.code == 0) {
        EnableWindow(uninstallButton, FALSE);
        EnableWindow(installButton, FALSE);
        showBox(window, DRIVER_REMOVED, BoxKind::Information);
        if (result.restartNeeded)
            showBox(window, RESTART_NEEDED, BoxKind::Information);
    }
    KillTimer(window, ANIMATION_TIMER);
    refreshState();
    busy = false;
}
