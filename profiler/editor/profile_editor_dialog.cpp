#include "profile_editor_dialog.h"

#include "profile_store.h"
#include "profiler_ids.h"

const CommandEntry<ProfileEditorDialog> ProfileEditorDialog::COMMANDS[] = {
    {IDOK, IDOK, &ProfileEditorDialog::onOk},
    {IDCANCEL, IDCANCEL, &ProfileEditorDialog::onCancel},
};

INT_PTR ProfileEditorDialog::run(HINSTANCE instance, HWND owner)
{
    return runModal(instance, IDD_EDITOR, owner);
}

bool ProfileEditorDialog::editMode() const
{
    return caption.size() >= 4 && CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, caption.c_str(), 4,
                                                 "edit", 4) == CSTR_EQUAL;
}

BOOL ProfileEditorDialog::onInitDialog()
{
    SetWindowTextA(hwnd, caption.c_str());
    return TRUE;
}

bool ProfileEditorDialog::onCommand(int id, int)
{
    return dispatchCommand(COMMANDS, *this, id);
}

void ProfileEditorDialog::onOk(int)
{
    close(IDCANCEL);
}

void ProfileEditorDialog::onCancel(int)
{
    close(IDCANCEL);
}
