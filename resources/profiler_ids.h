#pragma once
// Resource, control and command identifiers of profiler.exe (shared by the .rc file and the code).

// Icons and bitmaps
#define IDI_PROFILER 128 // program icon; also the tray icon's identifier
#define IDI_NO_ICON 137  // stands in for a game file that has no icon
#define IDI_OPTIONS 138  // editor's "Options" picture
#define IDB_ABOUT 140    // About box banner, 240 x 61
#define IDB_NEW_UP 151
#define IDB_DELETE_UP 152
#define IDB_RUN_UP 153
#define IDB_EDIT_UP 154
#define IDB_NEW_DOWN 155
#define IDB_DELETE_DOWN 156
#define IDB_RUN_DOWN 157
#define IDB_EDIT_DOWN 158
// The bitmaps above are drawn at 100 %; the same picture at 150 or 200 % has the 100 % identifier
// plus one of these steps (About banner 360 x 92 and 480 x 122, button faces 54 and 72 square).
#define IDB_STEP_150 100
#define IDB_STEP_200 200

// Dialogs and menus
#define IDD_MAIN 102
#define IDD_ABOUT 135
#define IDD_EDITOR 136
#define IDM_TRAY 129 // submenu 0 is the tray's popup menu

// Main window controls
#define IDC_CLOSE 1000
#define IDC_NEW 1001
#define IDC_DELETE 1002
#define IDC_EDIT 1003
#define IDC_RUN 1004
#define IDC_PROFILE_LIST 1005

// About box
#define IDC_PROCESS_LIST 1005
#define IDC_ABOUT_BANNER 1006

// Profile editor
#define IDC_TITLE 1009
#define IDC_LOCATION 1010
#define IDC_PARAMETERS 1011
#define IDC_START_DIRECTORY 1012
#define IDC_BROWSE 1013
#define IDC_BROWSE_DIRECTORY 1014 // hidden, no action
#define IDC_GAME_OPTION 1015

// Popup menu commands
#define CMD_PROFILE_EDIT 32771
#define CMD_EXIT 32774
#define CMD_AUTO_APPLY 32775
#define CMD_RESTORE 32777
#define CMD_PROMPT 32778 // handled, but no menu item carries it
#define CMD_LAUNCH_PLACEHOLDER 32779
#define CMD_CONTROL_PANEL 32780
#define CMD_ABOUT 32781
#define CMD_AUTO_START 32782
// The Settings switches take ids in this range; the other commands in it keep their own routes.
#define CMD_SETTINGS_FIRST CMD_AUTO_APPLY
#define CMD_SETTINGS_LAST 32799
#define LAUNCH_COMMAND_BASE 40000 // Launch submenu item i carries LAUNCH_COMMAND_BASE + i
#define LAUNCH_COMMAND_LAST 59999 // one command for each of the 20,000 profiles listed at most

// Popup menu positions
#define MENU_POS_LAUNCH 3
#define MENU_POS_SETTINGS 5

// Tray icon
#define WM_TRAYICON (WM_USER + 100)
#define WM_AUTO_START_STATE (WM_USER + 101) // the background read of Auto Start: wParam 1 when on
#define WM_SETTINGS_NOT_SAVED (WM_USER + 102) // a change to the settings file could not be saved
#define TRAY_ICON_ID 128
