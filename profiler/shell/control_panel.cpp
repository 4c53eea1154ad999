#include "shell/control_panel.h"

#include "shell/launcher.h"

void openGameControlPanel(HWND owner, bool wait)
{
    runProgram(owner, "Open", "rundll32.exe", "shell32.dll,Control_RunDLL joy.cpl,,0", "", SW_SHOWNORMAL,
               wait);
}

OwnedHandle startGameControlPanel(HWND owner)
{
    return runProgram(owner, "Open", "rundll32.exe", "shell32.dll,Control_RunDLL joy.cpl,,0", "",
                      SW_SHOWNORMAL, false);
}
