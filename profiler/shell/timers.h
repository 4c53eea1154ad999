#pragma once
// The main window's timers.
#include <windows.h>

constexpr UINT_PTR WATCH_TIMER = 100; // the process watcher's tick
constexpr UINT_PTR ICON_TIMER = 101;  // the games' icons, fetched after start-up
constexpr UINT_PTR CLICK_TIMER = 102; // a tray click counts once the double-click time has passed
constexpr UINT_PTR RETRY_TIMER = 103; // a restore that could not read or write the settings file
constexpr UINT WATCH_PERIOD_MS = 100;
constexpr UINT RETRY_PERIOD_MS = 500;
// How long start-up waits for a settings file that another program holds.
constexpr DWORD STARTUP_PATIENCE_MS = 3000;
