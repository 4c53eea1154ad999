// New and Edit: the profile editor opened from the main window.
#include "shell/main_dialog.h"

#include <windows.h>
#include <commctrl.h>

#include <optional>

#include "editor/profile_editor_dialog.h"
#include "shell/control_panel.h"
#include "shell/game_session.h"
#include "shell/profiler_app.h"
#include "store/profile_store.h"

// The editor's game panel is a game session of its own, shared with the editor's other uses of the
// driver; when it ends the state is the editor's again.
GameOptionRunner MainDialog::gameOptionRunner()
{
    return [this](HWND owner, const std::string& name) {
        GameSession session(*this, store(), name, DriverSharing::Shared);
        session.mark();
        session.apply(ini::TMP);
        OwnedHandle panel = startGameControlPanel(owner);
        session.wait(panel.get());
        session.end(true, ini::TMP, true);
    };
}

void MainDialog::onNew(int)
{
    ProfileEditorDialog editor(EditorMode::New, store(), "", gameOptionRunner());
    if (editor.run(app.instance(), hwnd) != IDOK)
        return;
    int rows = listed.size();
    bool appended = store().appendProfile(editor.savedLocation(), rows);
    if (!appended) {
        // The file holds an entry past the rows (written by another program): list the file again.
        loadProfileList(popupMenu());
        rows = listed.size();
        appended = store().appendProfile(editor.savedLocation(), rows);
    }
    if (!appended || rows >= MAX_LISTED_PROFILES)
        return;
    if (std::optional<ProfileRow> added = store().profileRow(rows + 1))
        addProfileEntry(launchMenu(), *added);
}

void MainDialog::onEdit(int)
{
    int row = selectedRow();
    if (!listed.has(row))
        return;
    ProfileEditorDialog editor(EditorMode::Edit, store(), listed.rows[row].location, gameOptionRunner());
    if (editor.run(app.instance(), hwnd) != IDOK || !listed.has(row))
        return;
    std::string title = store().readText(editor.savedLocation().c_str(), ini::PROFILE_TITLE);
    listed.rows[row].title = title;
    ListView_SetItemText(profileList, row, 0, const_cast<char*>(title.c_str()));
}
