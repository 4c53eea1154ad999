#pragma once
// What the launcher and the watcher need from the main window.
#include <windows.h>

#include <string>

#include "store/profile_list.h"

// The activity state, shown in the tray tip: nothing going on, the main window shown for editing, or
// a game running under its profile (marked by "PROFILEACTIVE" in the device settings key).
enum class ActivityState { Idle, Editing, GameActive };

// The steps of a game session, in order.
enum class SessionStep { Marked, Applied, GameEnded, Restored, Unmarked };

class GameHost {
public:
    virtual ~GameHost() = default;

    // The main window: owner of launched programs and of the match prompt, and of WATCH_TIMER.
    virtual HWND window() const = 0;
    // The activity state and the tray tip; `gameName` names the game of GameActive. Returns the state
    // left. The marker and WATCH_TIMER belong to GameSession.
    virtual ActivityState setActiveState(ActivityState state, const std::string& gameName) = 0;
    // A game session ended with its defaults not yet back: GameSession::recover is to be tried again
    // while the program idles.
    virtual void retryLater() {}
    // After each step of a game session.
    virtual void stepDone(SessionStep) {}
    // The profile list's rows.
    virtual const ProfileList& profiles() const = 0;
    // A message box captioned with the program's name; returns the button pressed.
    virtual int askUser(const std::string& text, UINT type) = 0;
};
