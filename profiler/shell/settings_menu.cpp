// The Settings submenu: Auto Apply Profile, the match prompt, Restore on Game Exit and Auto Start.
#include "shell/main_dialog.h"

#include "profiler_ids.h"
#include "shell/module_path.h"
#include "store/profile_store.h"
#include "store/reg_key.h"

namespace {
constexpr const char* RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* RUN_VALUE = "PADWISE";
constexpr DWORD RUN_VALUE_LIMIT = 260;

int readFromFile(const ProfileStore& store, const char* key)
{
    return store.readInt(ini::SETTINGS, key);
}

// Auto Start is on when the Run entry names this program (letter case aside).
int readRunEntry(const ProfileStore&, const char*)
{
    RegKey run;
    if (run.open(HKEY_LOCAL_MACHINE, RUN_KEY, KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return 0;
    std::string entry;
    if (run.queryText(RUN_VALUE, entry, RUN_VALUE_LIMIT) != ERROR_SUCCESS)
        return 0;
    return lstrcmpiA(entry.c_str(), modulePath().c_str()) == 0 ? 1 : 0;
}

void writeRunEntry(int on)
{
    RegKey run;
    run.open(HKEY_LOCAL_MACHINE, RUN_KEY, KEY_ALL_ACCESS);
    if (on)
        run.setText("", RUN_VALUE, modulePath());
    else
        run.deleteValue(RUN_VALUE);
}

// One switch: its command, the "SETTINGS" key a toggle writes, its flag, where start-up reads it
// from and what else a toggle changes.
struct SettingToggle {
    int command;
    const char* key;
    int SettingsFlags::*flag;
    int (*read)(const ProfileStore& store, const char* key);
    void (*alsoWrite)(int flag);
};

// In the order start-up reads them. The prompt has no menu item; "AUTORUN" is only written: Auto
// Start follows the Run entry.
const SettingToggle TOGGLES[] = {
    {CMD_AUTO_APPLY, ini::AUTOLAUNCH, &SettingsFlags::autoApply, readFromFile, nullptr},
    {CMD_PROMPT, ini::PROMPT, &SettingsFlags::promptOnMatch, readFromFile, nullptr},
    {CMD_RESTORE, ini::RESTORE, &SettingsFlags::restoreOnExit, readFromFile, nullptr},
    {CMD_AUTO_START, ini::AUTORUN, &SettingsFlags::autoStart, readRunEntry, writeRunEntry},
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
        flags.*toggle.flag = toggle.read(store(), toggle.key);
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
            toggle.alsoWrite(flag);
    }
}
