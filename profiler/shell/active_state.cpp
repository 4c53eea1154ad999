// The activity state and the tray tip; a game's marker and the watcher's timer are GameSession's.
#include "shell/main_dialog.h"

#include "shell/game_session.h"
#include "shell/watch_timer.h"

namespace {
constexpr DWORD STARTUP_PATIENCE_MS = 3000; // a settings file held by another program at start-up

const char* tipText(ActivityState state, const std::string& gameName)
{
    if (state == ActivityState::Idle)
        return "No Profile Active";
    if (state == ActivityState::Editing || gameName.empty())
        return "Profile Editor";
    return gameName.c_str();
}
} // namespace

ActivityState MainDialog::setActiveState(ActivityState state, const std::string& gameName)
{
    ActivityState previous = activity;
    activity = state;
    tray.setTip(windowCaption + ": " + tipText(state, gameName));
    return previous;
}

// A settings file held by another program is waited for a while; after that the recovery stays
// pending and is tried again while the program idles.
void MainDialog::recoverActiveProfile()
{
    if (!GameSession::recover(store(), STARTUP_PATIENCE_MS))
        retryLater();
}

void MainDialog::retryLater()
{
    SetTimer(hwnd, RETRY_TIMER, RETRY_PERIOD_MS, nullptr);
}

void MainDialog::onRetryTimer()
{
    if (GameSession::recover(store()))
        KillTimer(hwnd, RETRY_TIMER);
}
