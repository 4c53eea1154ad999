#pragma once
// The main window's timers.
#include <windows.h>

constexpr UINT_PTR WATCH_TIMER = 100; // the process watcher's tick
constexpr UINT_PTR ICON_TIMER = 101;  // the games' icons, fetched after start-up
constexpr UINT_PTR RETRY_TIMER = 102; // a restore that could not read or write the settings file
constexpr UINT WATCH_PERIOD_MS = 100;
constexpr UINT RETRY_PERIOD_MS = 500;
