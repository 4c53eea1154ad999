#pragma once
#include <windows.h>

// The system's game controller control panel, started through the shell; owned by `owner`,
// and with `wait` awaited until it is closed.
void openGameControlPanel(HWND owner, bool wait);
