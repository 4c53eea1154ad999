#pragma once
// What the launcher and the watcher need from the main window.
#include <windows.h>

#include <string>

// The activity state, shown in the tray tip: nothing going on, the main window shown for editing, or
// a game running under its profile (marked by "PROFILEACTIVE" in the device settings key).
enum class ActivityState { Idle, Editing, GameActive };

class GameHost {
public:
    virtual ~GameHost() = default;

    // The main window: owner of launched programs and of the match prompt, and of WATCH_TIMER.
    virtual HWND window() const = 0;
    // The one place that changes the activity state, "PROFILEACTIVE", WATCH_TIMER and the tray tip.
    // `gameName` names the game of GameActive (the text "PROFILEACTIVE" receives); returns the state
    // left.
    virtual ActivityState setActiveState(ActivityState state, const std::string& gameName) = 0;
    // The profile list: column 0 is the title, column 1 the location.
    virtual int rowCount() const = 0;
    virtual std::string rowText(int row, int column) const = 0;
    // A message box captioned with the program's name; returns the button pressed.
    virtual int askUser(const std::string& text, UINT type) = 0;
};
