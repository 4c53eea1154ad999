// New and Edit: the profile editor opened from the main window.
#include "shell/main_dialog.h"

#include <windows.h>
#include <commctrl.h>

#include <optional>

#include "editor/profile_editor_dialog.h"
#include "shell/control_panel.h"
#include "shell/profiler_app.h"
#include "store/profile_store.h"

void MainDialog::onNew(int)
{
    ProfileEditorDialog editor(openGameControlPanel);
    editor.caption = "New Game Profile";
    editor.store = &store();
    if (editor.run(app.instance(), hwnd) != IDOK)
        return;
    int rows = rowCount();
    store().appendProfile(editor.location, rows);
    if (std::optional<ProfileRow> added = store().profileRow(rows + 1))
        addProfileEntry(launchMenu(), *added);
}

void MainDialog::onEdit(int)
{
    int row = selectedRow();
    if (row < 0)
        return;
    ProfileEditorDialog editor(openGameControlPanel);
    editor.caption = "Edit Game profile";
    editor.store = &store();
    editor.location = rowText(row, 1);
    if (editor.run(app.instance(), hwnd) != IDOK)
        return;
    std::string title = store().readText(editor.location.c_str(), ini::PROFILE_TITLE);
    ListView_SetItemText(profileList, row, 0, const_cast<char*>(title.c_str()));
}
