#include "shell/launcher.h"

#include <windows.h>
#include <shellapi.h>

#include "shell/game_host.h"
#include "shell/game_session.h"
#include "store/active_marker.h"
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

    GameSession session(host, store, name);
    session.mark();
    // Without its snapshot in the file the profile is not applied, and there is nothing to undo.
    session.apply(location);
    OwnedHandle process =
        runProgram(host.window(), "Open", location, parameters, directory, SW_SHOWNORMAL, false);
    if (wait && process)
        session.wait(process.get());
    session.end(true);
    return process;
}
