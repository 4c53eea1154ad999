#include "shell/launcher.h"

#include <windows.h>
#include <shellapi.h>

#include "shell/game_host.h"
#include "store/active_marker.h"
#include "store/device_transfer.h"
#include "store/profile_store.h"

OwnedHandle runProgram(HWND window, const char* verb, const std::string& file, const std::string& parameters,
                       const std::string& directory, int showCommand, bool wait)
{
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = window;
    info.lpVerb = verb;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    info.nShow = showCommand;
    if (!ShellExecuteExA(&info))
        return OwnedHandle();
    OwnedHandle process(info.hProcess);
    if (wait && process)
        WaitForSingleObject(process.get(), INFINITE);
    return process;
}

OwnedHandle launchProfile(GameHost& host, const ProfileStore& store, int row, bool wait)
{
    if (row < 0 || row >= host.rowCount())
        return OwnedHandle();
    ShowWindow(host.window(), SW_HIDE);
    const std::string title = host.rowText(row, 0);
    const std::string location = host.rowText(row, 1);
    const std::string parameters = store.readText(location.c_str(), ini::APP_PARAMS);
    const std::string directory = store.readText(location.c_str(), ini::APP_DIRECTION);
    const std::string name = activeMarkerName(title, location);

    host.setActiveState(ActivityState::GameActive, name);
    applyProfile(store, location, true);
    OwnedHandle process =
        runProgram(host.window(), "Open", location, parameters, directory, SW_SHOWNORMAL, wait);
    restoreDefaults(store);
    host.setActiveState(ActivityState::Idle, "");
    return process;
}
