#pragma once
// The one top-level window: profile list, picture buttons, tray icon and popup menu.
#include <windows.h>

#include <string>

#include "bitmap_button.h"
#include "dialog.h"
#include "game_host.h"
#include "handles.h"
#include "tray_icon.h"
#include "watcher.h"

class ProfilerApp;
class ProfileStore;

class MainDialog : public Dialog, public GameHost {
public:
    explicit MainDialog(ProfilerApp& application);
    ~MainDialog() override;

    // The hidden, modeless window from dialog 102; its initialisation runs start-up steps 4.1 … 4.10.
    HWND create();

    // Profile list, Launch submenu and images, kept in the same order with the same indexes.
    void loadProfileList(HMENU popup);
    void clearProfileList(HMENU popup);
    bool addProfileEntry(HMENU launchSubmenu, int i);
    HBITMAP makeMenuBitmap(HICON icon, int width, int height);

    // Settings submenu: reads the flags and the Auto Start entry, sets the check marks.
    void loadSettings(HMENU popup);

    // The one place that changes the activity state, "PROFILEACTIVE", WATCH_TIMER and the tray tip.
    // Returns the previous profileActive.
    int setActiveState(int flag, const std::string& name) override;

    // Start-up recovery: restores the pad's defaults when a profile was left active.
    void recoverActiveProfile();

    HMENU popupMenu() const;
    HMENU launchMenu() const;
    HMENU settingsMenu() const;
    int rowCount() const override;
    int selectedRow() const; // -1 when none
    std::string rowText(int row, int column) const override;
    ProfileStore& store() const;
    HWND window() const override { return hwnd; }
    int askUser(const std::string& text, UINT type) override;

    OwnedIcon largeIcon;
    OwnedIcon smallIcon;
    OwnedMenu menu;
    std::string windowCaption;
    BitmapButton editButton;
    BitmapButton runButton;
    BitmapButton deleteButton;
    BitmapButton newButton;
    HWND profileList = nullptr;
    ProfilerApp& app;
    int profileActive = 0;
    int autoApply = 0;
    int promptOnMatch = 0;
    int restoreOnExit = 0;
    int autoStart = 0;
    OwnedImageList profileImages;
    TrayIcon tray; // tray.data is the icon's record
    ProcessWatcher watcher;

protected:
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL onInitDialog() override;
    bool onCommand(int id, int notifyCode) override;

private:
    static const CommandEntry<MainDialog> COMMANDS[];

    void setUpProfileList();
    LRESULT onTrayMessage(UINT mouseMessage);
    bool onPaint();
    void showNoSelection();

    // Commands, one handler per id or id range.
    void onProfileEdit(int id);
    void onHide(int id);
    void onNew(int id);
    void onDelete(int id);
    void onEdit(int id);
    void onRunGame(int id);
    void onControlPanel(int id);
    void onAbout(int id);
    void onLaunch(int id);
    void onToggleAutoApply(int id);
    void onTogglePrompt(int id);
    void onToggleRestore(int id);
    void onToggleAutoStart(int id);
    void onExit(int id);

    // WATCH_TIMER tick.
    void onWatchTimer(UINT_PTR timerId);
};
