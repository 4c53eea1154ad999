#pragma once
// The process watcher: every WATCH_TIMER tick, finds a running game that has a profile and serves it.
#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "base/owned.h"
#include "shell/process_paths.h"

class GameHost;
class ProfileStore;

// Row + 1 of the first location equal to `exePath` ignoring letter case (whole texts), 0 for none.
int findProfileForProcess(const std::vector<std::string>& locations, const std::string& exePath);

// The same rule as findProfileForProcess over case-folded texts, by lookup: rebuilt only when the
// list's locations change.
class LocationIndex {
public:
    // True when the index had to be rebuilt.
    bool update(const std::vector<std::string>& locations);
    int find(const std::string& foldedPath) const;

    std::vector<std::string> locations;
    std::unordered_map<std::string, int> firstRow; // folded location → row + 1 of its first row
};

// The three switches of the settings file that steer the watcher.
struct WatchSwitches {
    bool autoApply = false;
    bool promptOnMatch = false;
    bool restoreOnExit = false;
};

// A running process whose full path is a profile's location, opened for waiting.
struct WatchMatch {
    int row = -1;
    DWORD processId = 0;
    std::string path;
    OwnedHandle process;
};

class ProcessWatcher {
public:
    ProcessWatcher() = default;
    ProcessWatcher(const ProcessWatcher&) = delete;
    ProcessWatcher& operator=(const ProcessWatcher&) = delete;

    // WM_TIMER: with Auto Apply on, scans the processes and serves the first match in snapshot
    // order, waiting (blocking) until that game has ended.
    void watchTick(GameHost& host, const ProfileStore& store, UINT_PTR timerId,
                   const WatchSwitches& switches);

    // One pass over a process snapshot; false when no snapshot could be taken or read. A match
    // whose process cannot be opened is remembered as refused and the scan goes on. `mayEnd`: the
    // match prompt may end the game.
    bool scan(const std::vector<std::string>& rowLocations, WatchMatch& match, bool mayEnd = false);

    // Only the rights the watcher uses on a matched game: waiting, and with `mayEnd` reading its
    // exit code and ending it (the prompt's Cancel).
    static OwnedHandle openGame(DWORD processId, bool mayEnd);

    // The match prompt's text.
    static std::string promptText(const std::string& exePath, const std::string& title,
                                  const std::string& location);

    ProcessPathCache cache;
    LocationIndex index;
    unsigned scans = 0;
};
