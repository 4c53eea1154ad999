// The Settings submenu: Auto Apply Profile, the match prompt, Restore on Game Exit and Auto Start.
#include "shell/main_dialog.h"

#include "profiler_ids.h"
#include "shell/auto_start.h"
#include "shell/profiler_app.h"
#include "store/profile_store.h"

namespace {
// One switch: its command, the "SETTINGS" key a toggle writes, its flag, and whether start-up reads
// it from the settings file (Auto Start is read from the system, in the background).
struct SettingToggle {
    int command;
    const char* key;
    int SettingsFlags::*flag;
    bool fromFile;
};

// In the order start-up reads them. The prompt has no menu item; "AUTORUN" is only written: Auto
// Start follows the Run entry or the logon task.
const SettingToggle TOGGLES[] = {
    {CMD_AUTO_APPLY, ini::AUTOLAUNCH, &SettingsFlags::autoApply, true},
    {CMD_PROMPT, ini::PROMPT, &SettingsFlags::promptOnMatch, true},
    {CMD_RESTORE, ini::RESTORE, &SettingsFlags::restoreOnExit, true},
    {CMD_AUTO_START, ini::AUTORUN, &SettingsFlags::autoStart, false},
};

void setCheck(HMENU settings, int command, int flag)
{
    CheckMenuItem(settings, command, MF_BYCOMMAND | (flag ? MF_CHECKED : MF_UNCHECKED));
}
} // namespace

void MainDialog::loadSettings(HMENU popup)
{
    HMENU settings = GetSubMenu(popup, MENU_POS_SETTINGS);
    for (const SettingToggle& toggle : TOGGLES) {
        if (!toggle.fromFile)
            continue;
        flags.*toggle.flag = store().readInt(ini::SETTINGS, toggle.key);
        setCheck(settings, toggle.command, flags.*toggle.flag);
    }
    // Auto Start waits, greyed and unchecked, for the system's answer.
    autoStartKnown = false;
    setCheck(settings, CMD_AUTO_START, 0);
    EnableMenuItem(settings, CMD_AUTO_START, MF_BYCOMMAND | MF_GRAYED);
    autoStartRead.start(app.sharedAutoStart(), hwnd, WM_AUTO_START_STATE);
}

void MainDialog::onAutoStartState(bool on)
{
    if (autoStartKnown)
        return; // a toggle has waited for this answer already
    autoStartKnown = true;
    flags.autoStart = on ? 1 : 0;
    setCheck(settingsMenu(), CMD_AUTO_START, flags.autoStart);
    EnableMenuItem(settingsMenu(), CMD_AUTO_START, MF_BYCOMMAND | MF_ENABLED);
}

void MainDialog::onToggleSetting(int id)
{
    if (id == CMD_AUTO_START && !autoStartKnown)
        onAutoStartState(autoStartRead.wait());
    for (const SettingToggle& toggle : TOGGLES) {
        if (toggle.command != id)
            continue;
        int& flag = flags.*toggle.flag;
        flag = flag == 0 ? 1 : 0;
        if (toggle.command == CMD_AUTO_START)
            flag = app.autoStart().set(flag != 0) ? 1 : 0; // what the system now holds
        store().writeInt(ini::SETTINGS, toggle.key, flag);
        setCheck(settingsMenu(), toggle.command, flag);
    }
}
