// Game commands of the main window: Run Game, the Launch submenu, the Game Control Panel and the
// watcher's timer tick. The launcher and the watcher fill these in.
#include "main_dialog.h"
#include "profiler_ids.h"

void MainDialog::onRunGame(int)
{
    int row = selectedRow();
    if (row < 0) {
        showNoSelection();
        return;
    }
    // TODO(watcher): launchProfile(row, true)
}

void MainDialog::onLaunch(int id)
{
    (void)id;  // TODO(watcher): launchProfile(id - LAUNCH_COMMAND_BASE, true)
}

void MainDialog::onControlPanel(int)
{
    // TODO(watcher): runProgram(hwnd, "Open", "rundll32.exe", "shell32.dll,Control_RunDLL joy.cpl,,0", "",
    //                           SW_SHOWNORMAL, false), closing the returned process handle
}

void MainDialog::onWatchTimer(UINT_PTR timerId)
{
    (void)timerId;  // TODO(watcher): watchTick(timerId)
}
