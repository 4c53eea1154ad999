#pragma once
// One game under a profile, for the launcher, the watcher and the editor's game panel, in the one
// order that a run ending at any step can be undone by: mark, snapshot and apply, wait, restore (or
// release), unmark. The marker "PROFILEACTIVE" goes only once the defaults are back, so a start after
// a crash puts back exactly the snapshot of the game it interrupted. This is the only writer of the
// marker and the only code that stops and starts WATCH_TIMER.
#include <windows.h>

#include <string>

#include "shell/game_host.h"
#include "store/device_transfer.h"

class ProfileStore;

class GameSession {
public:
    GameSession(GameHost& host, const ProfileStore& store, std::string name,
                DriverSharing sharing = DriverSharing::Exclusive);
    ~GameSession();
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    // The watcher rests, the state shows the game, and the device key is marked. A "DEFAULT" of an
    // earlier version is marked as put back first; when that cannot be done nothing is marked and
    // nothing will be applied.
    void mark();
    // Snapshot, then the section's values into force; false when nothing was applied.
    bool apply(const std::string& section);
    // Until the process has ended, answering what Windows sends meanwhile (see waitForProcess).
    void wait(HANDLE process);
    // The defaults back (`restore`, else the snapshot released), and only then the marker removed,
    // the state back (to the one before the game with `toPrevious`, else idle) and the watcher
    // started. With `keepIn`, the values in force are first recorded in that section. A restore that
    // cannot read or write the settings file keeps the marker and is tried again (GameHost::
    // retryLater). Done once; later calls do nothing.
    void end(bool restore, const std::string& keepIn = "", bool toPrevious = false);
    // The session ends with the user's session: the end that the game's end would have made.
    void endOfSession();
    // How the session will end when Windows ends first.
    void endWith(bool restore) { restoreAtEnd = restore; }

    // The session waiting for its game, if any.
    static GameSession* running();

    // Start-up and its retries: a marker left by an earlier run is undone. Retries a settings file
    // that cannot be read for up to `patienceMs`; true when nothing is left to undo.
    static bool recover(const ProfileStore& store, DWORD patienceMs = 0);
    static void startWatching(HWND window);
    static void stopWatching(HWND window);

private:
    GameHost& host;
    const ProfileStore& store;
    std::string name;
    DriverSharing sharing;
    ActivityState before = ActivityState::Idle;
    bool marked = false;
    bool mayApply = false;
    bool applied = false;
    bool ended = false;
    bool restoreAtEnd = true;
};

// Waits for `process` to end. Meanwhile sent messages are answered (a broadcast of
// WM_SETTINGCHANGE, WM_QUERYENDSESSION, WM_ENDSESSION) and the shell's "TaskbarCreated" and a
// posted WM_SETTINGCHANGE are handled; input and commands stay queued until the game has ended.
// Returns early when `stop` becomes true.
void waitForProcess(HANDLE process, const bool& stop);
