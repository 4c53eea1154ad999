// Game commands of the main window: Run Game, the Launch submenu, the Game Control Panel and the
// watcher's timer tick.
#include "control_panel.h"
#include "launcher.h"
#include "main_dialog.h"
#include "message_box.h"
#include "profiler_ids.h"

void MainDialog::onRunGame(int)
{
    int row = selectedRow();
    if (row < 0) {
        showNoSelection();
        return;
    }
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
    watcher.watchTick(*this, store(), timerId, {autoApply != 0, promptOnMatch != 0, restoreOnExit != 0});
}

int MainDialog::askUser(const std::string& text, UINT type)
{
    return showMessage(hwnd, text, type);
}
