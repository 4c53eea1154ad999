#pragma once
// Starting programs, and launching a game under its profile.
#include <windows.h>

#include <string>

#include "base/owned.h"

class GameHost;
class ProfileStore;

// ShellExecuteExA with no error UI; with `wait`, blocks until the started process has ended.
// Empty parameters or directory are passed as none. Returns the process handle (empty on failure).
// `asChildOf`: a program file (.exe, .com) is started as a child of that process, with its token
// and its user's environment (Vista and later: CreateProcess with the parent process attribute),
// so that a game started from this elevated program runs with the desktop user's rights. Where
// that cannot be done the start is the ShellExecuteExA one.
OwnedHandle runProgram(HWND window, const char* verb, const std::string& file, const std::string& parameters,
                       const std::string& directory, int showCommand, bool wait, DWORD asChildOf = 0);

// Run Game and the Launch submenu: applies the row's profile with a snapshot, starts the game with
// its parameters and start directory, and restores the defaults when it ends (or at once when it
// cannot be started). A row that does not exist does nothing.
OwnedHandle launchProfile(GameHost& host, const ProfileStore& store, int row, bool wait);
