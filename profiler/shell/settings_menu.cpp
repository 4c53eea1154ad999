// The Settings submenu: the switches of the settings file, and Auto Start.
#include "shell/main_dialog.h"

#include "profiler_ids.h"
#include "shell/auto_start.h"
#include "shell/profiler_app.h"
#include "store/profile_store.h"

namespace {
// One switch of the settings file: its command, its "SETTINGS" key, its value when the key is
// missing, and the field it sets.
struct SettingSwitch {
    int command;
    const char* key;
    bool byDefault;
    bool WatchSwitches::*flag;
};

// In the order start-up reads them. A new switch: a row here, its field in WatchSwitches, its id in
// profiler_ids.h between CMD_SETTINGS_FIRST and CMD_SETTINGS_LAST, and its item in profiler.rc.
// Auto Start is not here: the system holds it (the logon task or the Run entry), read in the
// background; "AUTORUN" is only written.
const SettingSwitch SWITCHES[] = {
    {CMD_AUTO_APPLY, ini::AUTO_APPLY, false, &WatchSwitches::autoApply},
    {CMD_PROMPT, ini::PROMPT, false, &WatchSwitches::promptOnMatch}, // no menu item carries it
    {CMD_RESTORE, ini::RESTORE, false, &WatchSwitches::restoreOnExit},
};

void setCheck(HMENU settings, int command, bool on)
{
    CheckMenuItem(settings, command, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}
} // namespace

void MainDialog::loadSettings(HMENU popup)
{
    HMENU settings = GetSubMenu(popup, MENU_POS_SETTINGS);
    for (const SettingSwitch& row : SWITCHES) {
        bool& on = switches.*row.flag;
        on = store().readInt(ini::SETTINGS, row.key, row.byDefault ? 1 : 0) != 0;
        setCheck(settings, row.command, on);
    }
    // Auto Start waits, greyed and unchecked, for the system's answer.
    autoStartKnown = false;
    setCheck(settings, CMD_AUTO_START, false);
    EnableMenuItem(settings, CMD_AUTO_START, MF_BYCOMMAND | MF_GRAYED);
    autoStartRead.start(app.sharedAutoStart(), hwnd, WM_AUTO_START_STATE);
}

void MainDialog::onAutoStartState(bool on)
{
    if (autoStartKnown)
        return; // a toggle has waited for this answer already
    autoStartKnown = true;
    autoStart = on;
    setCheck(settingsMenu(), CMD_AUTO_START, autoStart);
    EnableMenuItem(settingsMenu(), CMD_AUTO_START, MF_BYCOMMAND | MF_ENABLED);
}

void MainDialog::onToggleSetting(int id)
{
    for (const SettingSwitch& row : SWITCHES) {
        if (row.command != id)
            continue;
        bool& on = switches.*row.flag;
        on = !on;
        store().writeInt(ini::SETTINGS, row.key, on ? 1 : 0);
        setCheck(settingsMenu(), row.command, on);
    }
}

void MainDialog::onToggleAutoStart(int)
{
    if (!autoStartKnown)
        onAutoStartState(autoStartRead.wait());
    autoStart = app.autoStart().set(!autoStart); // what the system now holds
    store().writeInt(ini::SETTINGS, ini::AUTORUN, autoStart ? 1 : 0);
    setCheck(settingsMenu(), CMD_AUTO_START, autoStart);
}
