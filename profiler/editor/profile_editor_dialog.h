#pragma once
// The modal profile editor (dialog 136): location, title, parameters, start directory and, through
// the game controller control panel, the pad settings of one profile.
#include <windows.h>

#include <string>

#include "dialog.h"

class ProfileStore;

class ProfileEditorDialog : public Dialog {
public:
    // Runs the editor modally; IDOK or IDCANCEL.
    INT_PTR run(HINSTANCE instance, HWND owner);
    // Edit mode when the caption begins with "edit" in any letter case.
    bool editMode() const;

    std::string caption = "New Profile";
    ProfileStore* store = nullptr;
    std::string location;

protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int notifyCode) override;

private:
    static const CommandEntry<ProfileEditorDialog> COMMANDS[];
    void onOk(int id);
    void onCancel(int id);
};
