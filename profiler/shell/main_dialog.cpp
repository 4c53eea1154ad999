#include "shell/main_dialog.h"

#include <windows.h>
#include <commctrl.h>

#include "profiler_ids.h"
#include "shell/about_dialog.h"
#include "shell/game_session.h"
#include "shell/timers.h"
#include "shell/profiler_app.h"
#include "shell/single_instance.h"
#include "ui/message_box.h"

const CommandEntry<MainDialog> MainDialog::COMMANDS[] = {
    {CMD_PROFILE_EDIT, CMD_PROFILE_EDIT, &MainDialog::onProfileEdit},
    {IDC_CLOSE, IDC_CLOSE, &MainDialog::onHide},
    {IDOK, IDOK, &MainDialog::onHide},
    {IDCANCEL, IDCANCEL, &MainDialog::onHide},
    {IDC_NEW, IDC_NEW, &MainDialog::onNew},
    {IDC_DELETE, IDC_DELETE, &MainDialog::onDelete},
    {IDC_EDIT, IDC_EDIT, &MainDialog::onEdit},
    {IDC_RUN, IDC_RUN, &MainDialog::onRunGame},
    {CMD_CONTROL_PANEL, CMD_CONTROL_PANEL, &MainDialog::onControlPanel},
    {CMD_ABOUT, CMD_ABOUT, &MainDialog::onAbout},
    {LAUNCH_COMMAND_BASE, LAUNCH_COMMAND_LAST, &MainDialog::onLaunch},
    {CMD_EXIT, CMD_EXIT, &MainDialog::onExit},
    {CMD_AUTO_START, CMD_AUTO_START, &MainDialog::onToggleAutoStart},
    // After the commands whose ids lie in the range; the switches' table ignores ids it lacks.
    {CMD_SETTINGS_FIRST, CMD_SETTINGS_LAST, &MainDialog::onToggleSetting},
};

MainDialog::MainDialog(ProfilerApp& application) : app(application)
{
    largeIcon.reset(
        static_cast<HICON>(LoadImageA(app.instance(), MAKEINTRESOURCEA(IDI_PROFILER), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
    // The tray's and the caption's icon, at the system's small icon size (it grows with the DPI).
    smallIcon.reset(
        static_cast<HICON>(LoadImageA(app.instance(), MAKEINTRESOURCEA(IDI_PROFILER), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    menu.reset(LoadMenuA(app.instance(), MAKEINTRESOURCEA(IDM_TRAY)));
}

MainDialog::~MainDialog()
{
    tray.remove();
    if (hwnd) {
        GameSession::stopWatching(hwnd);
        KillTimer(hwnd, RETRY_TIMER);
        clearProfileList(popupMenu());
        RemovePropA(hwnd, INSTANCE_PROPERTY);
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        DestroyWindow(hwnd);
        hwnd = nullptr;
    }
}

HWND MainDialog::create()
{
    return createModeless(app.instance(), IDD_MAIN, nullptr);
}

ProfileStore& MainDialog::store() const
{
    return app.store();
}

HMENU MainDialog::popupMenu() const
{
    return menu.valid() ? GetSubMenu(menu.get(), 0) : nullptr;
}

HMENU MainDialog::launchMenu() const
{
    HMENU popup = popupMenu();
    return popup ? GetSubMenu(popup, MENU_POS_LAUNCH) : nullptr;
}

HMENU MainDialog::settingsMenu() const
{
    HMENU popup = popupMenu();
    return popup ? GetSubMenu(popup, MENU_POS_SETTINGS) : nullptr;
}

BOOL MainDialog::onInitDialog()
{
    SetPropA(hwnd, INSTANCE_PROPERTY, hwnd);
    // Told once per run of failures: the next change that is saved makes the notice due again.
    store().setSaveListener([this](bool saved) {
        if (!saved && !saveFailureTold)
            PostMessageA(hwnd, WM_SETTINGS_NOT_SAVED, 0, 0);
        saveFailureTold = !saved;
    });
    // A file held by another program for a moment (a sync client, a scan) is waited for before the
    // list, the switches and the recovery read it.
    store().waitUntilReadable(STARTUP_PATIENCE_MS);
    TrayIcon::acceptShellRestart(hwnd);
    newButton.bind(hwnd, IDC_NEW, app.instance(), IDB_NEW_UP, IDB_NEW_DOWN);
    deleteButton.bind(hwnd, IDC_DELETE, app.instance(), IDB_DELETE_UP, IDB_DELETE_DOWN);
    runButton.bind(hwnd, IDC_RUN, app.instance(), IDB_RUN_UP, IDB_RUN_DOWN);
    editButton.bind(hwnd, IDC_EDIT, app.instance(), IDB_EDIT_UP, IDB_EDIT_DOWN);
    profileList = item(IDC_PROFILE_LIST);

    SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon.get()));
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));

    HMENU popup = popupMenu();
    SetMenuDefaultItem(popup, CMD_PROFILE_EDIT, FALSE);
    loadSettings(popup);
    setUpProfileList();
    recoverActiveProfile();

    char caption[256] = {};
    GetWindowTextA(hwnd, caption, sizeof(caption));
    windowCaption = caption;
    tray.add(hwnd, TRAY_ICON_ID, WM_TRAYICON, smallIcon.get(), windowCaption);
    setActiveState(ActivityState::Idle, "");
    GameSession::startWatching(hwnd);
    return TRUE;
}

INT_PTR MainDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // While a game session waits only what Windows sends is answered; commands, clicks and ticks
    // that are sent rather than posted are let go.
    if (GameSession::running() && (message == WM_COMMAND || message == WM_TIMER || message == WM_TRAYICON ||
                                   message == WM_SYSCOMMAND || message == closeRequestMessage()))
        return TRUE;
    if (message == WM_QUERYENDSESSION)
        return messageResult(TRUE);
    if (message == WM_ENDSESSION) {
        // The defaults go back before the answer: the process may end at any moment after it.
        if (wParam)
            if (GameSession* session = GameSession::running())
                session->endOfSession();
        return messageResult(0);
    }
    if (message == TrayIcon::shellRestartMessage()) {
        tray.restore();
        return TRUE;
    }
    if (message == closeRequestMessage()) {
        shutDown();
        return TRUE;
    }
    switch (message) {
    case WM_DESTROY:
        RemovePropA(hwnd, INSTANCE_PROPERTY);
        return FALSE;
    case WM_SETTINGS_NOT_SAVED:
        showMessage(hwnd,
                    "The change could not be saved to " + store().filePath() +
                        ".\n\nThe file keeps its last saved settings. Check that the drive has free space "
                        "and that no other program holds the file.",
                    MB_OK | MB_ICONWARNING);
        return TRUE;
    case WM_AUTO_START_STATE:
        onAutoStartState(wParam != 0);
        return TRUE;
    case WM_TRAYICON:
        return messageResult(onTrayMessage(static_cast<UINT>(lParam)));
    case WM_TIMER:
        if (wParam == ICON_TIMER)
            onIconTimer();
        else if (wParam == CLICK_TIMER)
            onClickTimer();
        else if (wParam == RETRY_TIMER)
            onRetryTimer();
        else
            onWatchTimer(wParam);
        return TRUE;
    case WM_SHOWWINDOW:
    case WM_INITMENUPOPUP:
        // The user sees the list or a menu: every game's icon must be there.
        if (message == WM_INITMENUPOPUP || wParam)
            resolveIcons(INFINITE);
        return FALSE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_PROFILE_LIST && header->code == NM_DBLCLK) {
            onEdit(IDC_EDIT);
            return messageResult(0);
        }
        return FALSE;
    }
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        for (const BitmapButton* button : {&newButton, &deleteButton, &editButton, &runButton}) {
            if (button->draw(*draw))
                return TRUE;
        }
        return FALSE;
    }
    case WM_PAINT:
        return onPaint() ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(largeIcon.get());
    default:
        return Dialog::handleMessage(message, wParam, lParam);
    }
}

bool MainDialog::onCommand(int id, int)
{
    return dispatchCommand(COMMANDS, *this, id);
}

// While minimised the window shows the large icon centred on the erased client area.
bool MainDialog::onPaint()
{
    if (!IsIconic(hwnd))
        return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    SendMessageA(hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(hwnd, &client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, largeIcon.get());
    EndPaint(hwnd, &paint);
    return true;
}

// Tray clicks: left opens the Launch submenu, right the whole popup, double click shows the window.
// Windows sends a double click as down, up, double click, up: a menu opened at the first click would
// take the second, so a left click counts only once the double-click time has passed without one.
LRESULT MainDialog::onTrayMessage(UINT mouseMessage)
{
    if (activity != ActivityState::Idle)
        return 0;
    POINT cursor;
    GetCursorPos(&cursor);
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
        return 1;
    case WM_LBUTTONUP:
        if (secondClickUp) {
            secondClickUp = false; // the end of a double click
            return 1;
        }
        clickPoint = cursor;
        SetTimer(hwnd, CLICK_TIMER, GetDoubleClickTime(), nullptr);
        return 1;
    case WM_LBUTTONDBLCLK:
        KillTimer(hwnd, CLICK_TIMER);
        secondClickUp = true;
        onProfileEdit(CMD_PROFILE_EDIT);
        return 1;
    case WM_RBUTTONUP:
        KillTimer(hwnd, CLICK_TIMER);
        showTrayMenu(popupMenu(), cursor);
        return 1;
    default:
        return 0;
    }
}

void MainDialog::onClickTimer()
{
    KillTimer(hwnd, CLICK_TIMER);
    if (activity == ActivityState::Idle)
        showTrayMenu(launchMenu(), clickPoint);
}

void MainDialog::showTrayMenu(HMENU shown, POINT at)
{
    SetForegroundWindow(hwnd);
    TrackPopupMenu(shown, TPM_RIGHTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd, nullptr);
    PostMessageA(hwnd, WM_NULL, 0, 0);
}

void MainDialog::onProfileEdit(int)
{
    setActiveState(ActivityState::Editing, "");
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd);
}

void MainDialog::onHide(int)
{
    ShowWindow(hwnd, SW_HIDE);
    setActiveState(ActivityState::Idle, "");
}

void MainDialog::onAbout(int)
{
    AboutDialog about;
    about.runModal(app.instance(), IDD_ABOUT, hwnd);
}

void MainDialog::onExit(int)
{
    if (showMessage(hwnd, "Are you sure to Close Padwise?\n\n", MB_YESNO | MB_ICONQUESTION) == IDYES)
        shutDown();
}

// Exit answered Yes, and a close request: the tray icon goes when the application deletes the window.
void MainDialog::shutDown()
{
    GameSession::stopWatching(hwnd);
    KillTimer(hwnd, RETRY_TIMER);
    clearProfileList(popupMenu());
    DestroyWindow(hwnd);
}
