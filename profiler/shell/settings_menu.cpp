// The Settings submenu: Auto Apply Profile, the match prompt, Restore on Game Exit and Auto Start.
#include "main_dialog.h"
#include "module_path.h"
#include "profile_store.h"
#include "profiler_ids.h"
#include "reg_key.h"

namespace {
constexpr const char* RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* RUN_VALUE = "PADWISE";
constexpr DWORD RUN_VALUE_LIMIT = 260;

void setCheck(HMENU settings, int command, int flag)
{
    CheckMenuItem(settings, command, MF_BYCOMMAND | (flag ? MF_CHECKED : MF_UNCHECKED));
}

// Auto Start is on when the Run entry names this program (letter case aside).
int readAutoStart()
{
    RegKey run;
    if (run.open(HKEY_LOCAL_MACHINE, RUN_KEY, KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return 0;
    std::string entry;
    if (run.queryText(RUN_VALUE, entry, RUN_VALUE_LIMIT) != ERROR_SUCCESS)
        return 0;
    return lstrcmpiA(entry.c_str(), modulePath().c_str()) == 0 ? 1 : 0;
}
} // namespace

void MainDialog::loadSettings(HMENU popup)
{
    HMENU settings = GetSubMenu(popup, MENU_POS_SETTINGS);
    autoApply = store().readInt(ini::SETTINGS, ini::AUTOLAUNCH);
    setCheck(settings, CMD_AUTO_APPLY, autoApply);
    promptOnMatch = store().readInt(ini::SETTINGS, ini::PROMPT);
    setCheck(settings, CMD_PROMPT, promptOnMatch);
    restoreOnExit = store().readInt(ini::SETTINGS, ini::RESTORE);
    setCheck(settings, CMD_RESTORE, restoreOnExit);
    autoStart = readAutoStart();
    setCheck(settings, CMD_AUTO_START, autoStart);
}

void MainDialog::onToggleAutoApply(int)
{
    autoApply = autoApply == 0 ? 1 : 0;
    store().writeInt(ini::SETTINGS, ini::AUTOLAUNCH, autoApply);
    setCheck(settingsMenu(), CMD_AUTO_APPLY, autoApply);
}

void MainDialog::onTogglePrompt(int)
{
    promptOnMatch = promptOnMatch == 0 ? 1 : 0;
    store().writeInt(ini::SETTINGS, ini::PROMPT, promptOnMatch);
    setCheck(settingsMenu(), CMD_PROMPT, promptOnMatch);
}

void MainDialog::onToggleRestore(int)
{
    restoreOnExit = restoreOnExit == 0 ? 1 : 0;
    store().writeInt(ini::SETTINGS, ini::RESTORE, restoreOnExit);
    setCheck(settingsMenu(), CMD_RESTORE, restoreOnExit);
}

void MainDialog::onToggleAutoStart(int)
{
    autoStart = autoStart == 0 ? 1 : 0;
    store().writeInt(ini::SETTINGS, ini::AUTORUN, autoStart);
    setCheck(settingsMenu(), CMD_AUTO_START, autoStart);
    RegKey run;
    run.open(HKEY_LOCAL_MACHINE, RUN_KEY, KEY_ALL_ACCESS);
    if (autoStart)
        run.setText("", RUN_VALUE, modulePath());
    else
        run.deleteValue(RUN_VALUE);
}
