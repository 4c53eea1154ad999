#include "launcher.h"

#include <shellapi.h>

#include "device_transfer.h"
#include "game_host.h"
#include "profile_store.h"

ProcessHandle runProgram(HWND window, const char* verb, const std::string& file,
                         const std::string& parameters, const std::string& directory, int showCommand,
                         bool wait)
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
        return ProcessHandle();
    ProcessHandle process(info.hProcess);
    if (wait && process)
        WaitForSingleObject(process.get(), INFINITE);
    return process;
}

std::string activeStateName(const std::string& title, const std::string& location)
{
    return title.empty() ? location : title;
}

ProcessHandle launchProfile(GameHost& host, const ProfileStore& store, int row, bool wait)
{
    if (row < 0 || row >= host.rowCount())
        return ProcessHandle();
    ShowWindow(host.window(), SW_HIDE);
    const std::string title = host.rowText(row, 0);
    const std::string location = host.rowText(row, 1);
    const std::string parameters = store.readText(location.c_str(), ini::APP_PARAMS);
    const std::string directory = store.readText(location.c_str(), ini::APP_DIRECTION);
    const std::string name = activeStateName(title, location);

    host.setActiveState(1, name);
    applyProfile(store, location, true);
    ProcessHandle process =
        runProgram(host.window(), "Open", location, parameters, directory, SW_SHOWNORMAL, wait);
    restoreDefaults(store);
    host.setActiveState(0, name);
    return process;
}
