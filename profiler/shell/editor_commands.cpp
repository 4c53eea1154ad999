// New and Edit: the profile editor opened from the main window.
#include <windows.h>
#include <commctrl.h>

#include "control_panel.h"
#include "main_dialog.h"
#include "profile_editor_dialog.h"
#include "profile_store.h"
#include "profiler_app.h"
#include "profiler_ids.h"

void MainDialog::onNew(int)
{
    ProfileEditorDialog editor(openGameControlPanel);
    editor.caption = "New Game Profile";
    editor.store = &store();
    if (editor.run(app.instance, hwnd) != IDOK)
        return;
    int rows = rowCount();
    store().appendProfile(editor.location, rows);
    addProfileEntry(launchMenu(), rows);
}

void MainDialog::onEdit(int)
{
    int row = selectedRow();
    if (row < 0) {
        showNoSelection();
        return;
    }
    ProfileEditorDialog editor(openGameControlPanel);
    editor.caption = "Edit Game profile";
    editor.store = &store();
    editor.location = rowText(row, 1);
    if (editor.run(app.instance, hwnd) != IDOK)
        return;
    std::string title = store().readText(editor.location.c_str(), ini::PROFILE_TITLE);
    ListView_SetItemText(profileList, row, 0, const_cast<char*>(title.c_str()));
}
