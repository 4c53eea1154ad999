#include "editor/profile_editor_dialog.h"

#include <windows.h>
#include <commdlg.h>

#include "editor/own_program.h"
#include "editor/text_rules.h"
#include "profiler_ids.h"
#include "store/device_key.h"
#include "store/device_transfer.h"
#include "store/profile_store.h"
#include "ui/message_box.h"

namespace {
constexpr const char* NO_LOCATION = "Please seletec program location first.";
constexpr const char EXE_FILTER[] = "Execute File (*.EXE)\0*.EXE\0";
constexpr std::size_t DRIVE_ROOT_LENGTH = 3; // "C:\"

std::string controlText(HWND control)
{
    int length = GetWindowTextLengthA(control);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(control, &text[0], length + 1);
    text.resize(static_cast<std::size_t>(lstrlenA(text.c_str())));
    return text;
}
} // namespace

const CommandEntry<ProfileEditorDialog> ProfileEditorDialog::COMMANDS[] = {
    {IDC_BROWSE, IDC_BROWSE, &ProfileEditorDialog::onBrowse},
    {IDC_GAME_OPTION, IDC_GAME_OPTION, &ProfileEditorDialog::onGameOption},
    {IDOK, IDOK, &ProfileEditorDialog::onOk},
    {IDCANCEL, IDCANCEL, &ProfileEditorDialog::onCancel},
};

INT_PTR ProfileEditorDialog::run(HINSTANCE instance, HWND owner)
{
    return runModal(instance, IDD_EDITOR, owner);
}

BOOL ProfileEditorDialog::onInitDialog()
{
    browseButton = item(IDC_BROWSE);
    startDirectoryEdit = item(IDC_START_DIRECTORY);
    titleEdit = item(IDC_TITLE);
    parametersEdit = item(IDC_PARAMETERS);
    locationEdit = item(IDC_LOCATION);
    SetWindowTextA(hwnd, mode == EditorMode::Edit ? "Edit Game profile" : "New Game Profile");
    if (mode == EditorMode::New) {
        // A new profile starts from the pad settings in force.
        readDeviceValues(store, ini::TMP);
        SetFocus(locationEdit);
        return FALSE;
    }
    EnableWindow(browseButton, FALSE);
    EnableWindow(locationEdit, FALSE);
    SetWindowTextA(locationEdit, location.c_str());
    SetWindowTextA(titleEdit, store.readText(location.c_str(), ini::PROFILE_TITLE).c_str());
    SetWindowTextA(parametersEdit, store.readText(location.c_str(), ini::APP_PARAMS).c_str());
    SetWindowTextA(startDirectoryEdit, store.readText(location.c_str(), ini::START_DIRECTORY).c_str());
    store.copyDeviceValues(location, ini::TMP);
    SetFocus(titleEdit);
    return FALSE;
}

bool ProfileEditorDialog::onCommand(int id, int)
{
    return dispatchCommand(COMMANDS, *this, id);
}

void ProfileEditorDialog::onBrowse(int)
{
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string initial = std::string(windows).substr(0, DRIVE_ROOT_LENGTH) + "*.EXE";

    char chosen[MAX_PATH] = {};
    lstrcpynA(chosen, initial.c_str(), MAX_PATH);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = hwnd;
    dialog.lpstrFilter = EXE_FILTER;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = chosen;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = "EXE";
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (!GetOpenFileNameA(&dialog))
        return;

    ChosenFile parts = splitChosenFile(chosen);
    SetWindowTextA(locationEdit, chosen);
    SetWindowTextA(startDirectoryEdit, parts.startDirectory.c_str());
    SetWindowTextA(titleEdit, parts.title.c_str());
    SetFocus(titleEdit);
    SendMessageA(titleEdit, EM_SETSEL, 0, -1);
    SendMessageA(titleEdit, EM_SCROLLCARET, 0, 0);
}

bool ProfileEditorDialog::takeLocation()
{
    location = trimText(controlText(locationEdit));
    if (!location.empty())
        return true;
    showMessage(hwnd, NO_LOCATION, MB_OK);
    return false;
}

// The profile's settings go into force, the control panel lets the user change them, and what the
// user left is taken back into "TMP" while the settings from before go back into force.
// While the panel is open the profile's values are in force: they are marked as a launched game's
// are, so that a run ending meanwhile is undone at the next start.
void ProfileEditorDialog::onGameOption(int)
{
    if (!takeLocation())
        return;
    if (runGameOption)
        runGameOption(hwnd, activeMarkerName(controlText(titleEdit), location));
}

// A new profile must name a program file of its own: not one of the settings file's sections, and
// not the location of a listed profile, whose section it would take over.
bool ProfileEditorDialog::acceptNewLocation()
{
    if (isProfilerProgram(location)) {
        showMessage(hwnd, "This is Padwise itself: " + location + "\n\nPlease select the game's program file.",
                    MB_OK);
        return false;
    }
    if (!isProgramLocation(location)) {
        showMessage(hwnd,
                    "Not a program location: " + location + "\n\nPlease select the game's program file.",
                    MB_OK);
        return false;
    }
    for (const ProfileRow& row : store.listedProfiles()) {
        if (lstrcmpiA(row.location.c_str(), location.c_str()) == 0) {
            showMessage(hwnd,
                        "This game already has a profile: " + row.title + "\n\nAt:\n\n" + row.location +
                            "\n\nPlease use Edit to change it.",
                        MB_OK);
            return false;
        }
    }
    return true;
}

void ProfileEditorDialog::onOk(int)
{
    if (!takeLocation() || (mode == EditorMode::New && !acceptNewLocation()))
        return;
    store.writeProfileFields(location, controlText(titleEdit), trimText(controlText(parametersEdit)),
                             trimText(controlText(startDirectoryEdit)));
    store.copyDeviceValues(ini::TMP, location);
    notifyDriver(store, DriverSharing::Shared);
    store.deleteSection(ini::TMP);
    close(IDOK);
}

void ProfileEditorDialog::onCancel(int)
{
    store.deleteSection(ini::TMP);
    close(IDCANCEL);
}
