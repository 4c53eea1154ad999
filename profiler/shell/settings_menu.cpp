// The Settings submenu: Auto Apply Profile, the match prompt, Restore on Game Exit and Auto Start.
#include "shell/main_dialog.h"

#include "profiler_ids.h"
#include "shell/auto_start.h"
#include "shell/profiler_app.h"
#include "store/profile_store.h"

namespace {
int readFromFile(const ProfileStore& store, AutoStart&, const char* key)
{
    return store.readInt(ini::SETTINGS, key);
}

// Auto Start follows the Run entry or the logon task; an entry left from before the task is moved.
int readAutoStart(const ProfileStore&, AutoStart& autoStart, const char*)
{
    autoStart.moveRunEntry();
    return autoStart.isOn() ? 1 : 0;
}

void writeAutoStart(AutoStart& autoStart, int on)
{
    autoStart.set(on != 0);
}

// One switch: its command, the "SETTINGS" key a toggle writes, its flag, where start-up reads it
// from and what else a toggle changes.
struct SettingToggle {
    int command;
    const char* key;
    int SettingsFlags::*flag;
    int (*read)(const ProfileStore& store, AutoStart& autoStart, const char* key);
    void (*alsoWrite)(AutoStart& autoStart, int flag);
};

// In the order start-up reads them. The prompt has no menu item; "AUTORUN" is only written: Auto
// Start follows the Run entry or the logon task.
const SettingToggle TOGGLES[] = {
    {CMD_AUTO_APPLY, ini::AUTOLAUNCH, &SettingsFlags::autoApply, readFromFile, nullptr},
    {CMD_PROMPT, ini::PROMPT, &SettingsFlags::promptOnMatch, readFromFile, nullptr},
    {CMD_RESTORE, ini::RESTORE, &SettingsFlags::restoreOnExit, readFromFile, nullptr},
    {CMD_AUTO_START, ini::AUTORUN, &SettingsFlags::autoStart, readAutoStart, writeAutoStart},
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
        flags.*toggle.flag = toggle.read(store(), app.autoStart(), toggle.key);
        setCheck(settings, toggle.command, flags.*toggle.flag);
    }
}

void MainDialog::onToggleSetting(int id)
{
    for (const SettingToggle& toggle : TOGGLES) {
        if (toggle.command != id)
            continue;
        int& flag = flags.*toggle.flag;
        flag = flag == 0 ? 1 : 0;
        store().writeInt(ini::SETTINGS, toggle.key, flag);
        setCheck(settingsMenu(), toggle.command, flag);
        if (toggle.alsoWrite)
            toggle.alsoWrite(app.autoStart(), flag);
    }
}
