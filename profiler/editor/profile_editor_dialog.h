#pragma once
// The modal profile editor (dialog 136): location, title, parameters, start directory and, through
// the game controller control panel, the pad settings of one profile. While it is open the pad
// settings live in the "TMP" section of the settings file.
#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "ui/dialog.h"

class ProfileStore;

// "Go to Game Option": runs the game controller control panel, owned by `owner`, with the values of
// "TMP" in force as a game's profile would be (marked with `name`), and takes what the user left
// back into "TMP".
using GameOptionRunner = std::function<void(HWND owner, const std::string& name)>;

// New: a profile for a program not listed yet, starting from the pad settings in force. Edit: the
// listed profile at a location, which stays its location.
enum class EditorMode { New, Edit };

class ProfileEditorDialog : public Dialog {
public:
    // `location` names the profile to edit; New ignores it.
    ProfileEditorDialog(EditorMode mode, ProfileStore& store, std::string location, GameOptionRunner gameOption)
        : mode(mode), store(store), location(std::move(location)), runGameOption(std::move(gameOption))
    {
    }

    // Runs the editor modally; IDOK or IDCANCEL.
    INT_PTR run(HINSTANCE instance, HWND owner);
    // After OK: the location the profile was saved under.
    const std::string& savedLocation() const { return location; }

protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int notifyCode) override;

private:
    static const CommandEntry<ProfileEditorDialog> COMMANDS[];
    void onBrowse(int id);
    void onGameOption(int id);
    void onOk(int id);
    void onCancel(int id);

    // Takes the trimmed location edit into `location`; false (after saying so) when it is empty.
    bool takeLocation();
    // New mode: whether `location` may become a new profile; says why not when it may not.
    bool acceptNewLocation();

    const EditorMode mode;
    ProfileStore& store;
    std::string location;
    GameOptionRunner runGameOption;
    HWND browseButton = nullptr;
    HWND startDirectoryEdit = nullptr;
    HWND titleEdit = nullptr;
    HWND parametersEdit = nullptr;
    HWND locationEdit = nullptr;
};
