// Game commands of the main window: Run Game, the Launch submenu, the Game Control Panel and the
// watcher's timer tick.
#include "shell/main_dialog.h"

#include "profiler_ids.h"
#include "shell/control_panel.h"
#include "shell/launcher.h"
#include "ui/message_box.h"

void MainDialog::onRunGame(int)
{
    int row = selectedRow();
    if (row < 0)
        return;
    launchProfile(*this, store(), row, true);
}

void MainDialog::onLaunch(int id)
{
    launchProfile(*this, store(), id - LAUNCH_COMMAND_BASE, true);
}

void MainDialog::onControlPanel(int)
{
    openGameControlPanel(hwnd, false);
}

void MainDialog::onWatchTimer(UINT_PTR timerId)
{
    watcher.watchTick(*this, store(), timerId, switches);
}

int MainDialog::askUser(const std::string& text, UINT type)
{
    return showMessage(hwnd, text, type);
}
