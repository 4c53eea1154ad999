// The activity state and the tray tip; a game's marker and the watcher's timer are GameSession's.
#include "shell/main_dialog.h"

#include "shell/game_session.h"
#include "shell/timers.h"

namespace {

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

// Start-up has waited for a held settings file already; one still held keeps the recovery
// pending, tried again while the program idles.
void MainDialog::recoverActiveProfile()
{
    if (!GameSession::recover(store()))
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
