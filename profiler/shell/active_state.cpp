// The activity state: "PROFILEACTIVE" in the device settings key, WATCH_TIMER and the tray tip.
#include "shell/main_dialog.h"

#include "profiler_ids.h"
#include "store/active_marker.h"
#include "store/device_transfer.h"
#include "store/profile_store.h"

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

// A game with a name is marked in the device settings key while it runs, and the watcher rests;
// leaving that state removes the marker and starts the watcher again. Editing changes the tip only.
ActivityState MainDialog::setActiveState(ActivityState state, const std::string& gameName)
{
    ActivityState previous = activity;
    activity = state;
    const bool marks = state == ActivityState::GameActive && !gameName.empty();
    const bool unmarks = state == ActivityState::Idle && previous == ActivityState::GameActive;
    if (marks) {
        setActiveMarker(store(), gameName);
        KillTimer(hwnd, WATCH_TIMER);
    } else if (unmarks) {
        clearActiveMarker(store());
        SetTimer(hwnd, WATCH_TIMER, WATCH_PERIOD_MS, nullptr);
    }
    tray.setTip(windowCaption + ": " + tipText(state, gameName));
    return previous;
}

void MainDialog::recoverActiveProfile()
{
    if (activeMarkerPresent(store()))
        restoreDefaults(store());
}
