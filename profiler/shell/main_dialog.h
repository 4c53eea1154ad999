#pragma once
// The one top-level window: profile list, picture buttons, tray icon and popup menu.
#include <windows.h>

#include <string>

#include "shell/auto_start_reader.h"
#include "shell/bitmap_button.h"
#include "shell/game_host.h"
#include "shell/tray_icon.h"
#include "shell/watcher.h"
#include "editor/profile_editor_dialog.h"
#include "store/profile_store.h"
#include "ui/dialog.h"
#include "ui/handles.h"

class ProfilerApp;

class MainDialog : public Dialog, public GameHost {
public:
    explicit MainDialog(ProfilerApp& application);
    ~MainDialog() override;

    // The hidden, modeless window from dialog 102. Its initialisation loads the settings and the
    // profile list, restores the pad's defaults when an earlier run left a profile in force, adds the
    // tray icon and enters the idle state, which starts WATCH_TIMER.
    HWND create();

    HMENU popupMenu() const;
    HMENU launchMenu() const;
    HMENU settingsMenu() const;
    const TrayIcon& trayIcon() const { return tray; }
    // The switches of the settings file as the watcher takes them.
    const WatchSwitches& watchSwitches() const { return switches; }

    HWND window() const override { return Dialog::window(); }
    ActivityState setActiveState(ActivityState state, const std::string& gameName) override;
    const ProfileList& profiles() const override { return listed; }
    // The list view as shown: column 0 is the title, column 1 the location.
    int rowCount() const;
    std::string rowText(int row, int column) const;
    int askUser(const std::string& text, UINT type) override;

protected:
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL onInitDialog() override;
    bool onCommand(int id, int notifyCode) override;

private:
    static const CommandEntry<MainDialog> COMMANDS[];

    ProfileStore& store() const;
    // The selected row; when there is none, -1 after asking the user to select one.
    int selectedRow();
    LRESULT onTrayMessage(UINT mouseMessage);
    void onClickTimer();
    void showTrayMenu(HMENU shown, POINT at);
    bool onPaint();

    // Profile list, Launch submenu and images, kept in the same order with the same indexes.
    void setUpProfileList();
    void loadProfileList(HMENU popup);
    void clearProfileList(HMENU popup);
    void addProfileEntry(HMENU launchSubmenu, const ProfileRow& row);
    void appendRow(HMENU launchSubmenu, const ProfileRow& row);
    HICON standInIcon();
    void resolveIcon(int row);
    void resolveIcons(DWORD sliceMs);
    void onIconTimer();
    OwnedBitmap makeMenuBitmap(HICON icon, int width, int height);

    // Settings submenu: reads the switches, sets the check marks and starts the background read of
    // Auto Start, whose item stays greyed until onAutoStartState.
    void loadSettings(HMENU popup);
    void onAutoStartState(bool on);
    // Restores the pad's defaults when "PROFILEACTIVE" says a profile was left in force.
    void recoverActiveProfile();
    void retryLater() override;
    void onRetryTimer();
    // Runs "Go to Game Option" of the editor as a game session.
    GameOptionRunner gameOptionRunner();

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
    void onToggleSetting(int id);
    void onToggleAutoStart(int id);
    void onExit(int id);
    void shutDown();

    // WATCH_TIMER tick.
    void onWatchTimer(UINT_PTR timerId);

    OwnedIcon largeIcon;
    OwnedIcon smallIcon;
    OwnedMenu menu;
    std::string windowCaption;
    BitmapButton editButton;
    BitmapButton runButton;
    BitmapButton deleteButton;
    BitmapButton newButton;
    HWND profileList = nullptr;
    ProfileList listed; // the rows the list view, its images and the Launch submenu show
    ProfilerApp& app;
    ActivityState activity = ActivityState::Idle;
    WatchSwitches switches; // the Settings switches of the settings file
    bool autoStart = false;  // as the system last answered
    AutoStartReader autoStartRead;
    bool saveFailureTold = false;
    bool autoStartKnown = false; // the read has answered, or a toggle has waited for it
    OwnedImageList profileImages;
    OwnedIcon standIn;         // for a game file without an icon
    OwnedBitmap standInBitmap; // its Launch item bitmap, shared by the rows that show it
    int nextIcon = 0;          // rows below it have their own icon, when their file has one
    TrayIcon tray;
    POINT clickPoint = {};      // where the left click that CLICK_TIMER decides was made
    bool secondClickUp = false; // the next left button-up ends a double click
    ProcessWatcher watcher;
};
