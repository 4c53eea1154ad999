#pragma once
#include <windows.h>

#include "base/owned.h"

// The system's game controller control panel, started through the shell; owned by `owner`,
// and with `wait` awaited until it is closed.
void openGameControlPanel(HWND owner, bool wait);
// The same, not awaited: the panel's process (empty when it could not be started).
OwnedHandle startGameControlPanel(HWND owner);
