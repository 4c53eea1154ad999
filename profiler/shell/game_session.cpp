#include "shell/game_session.h"

#include <utility>

#include "shell/tray_icon.h"
#include "shell/timers.h"
#include "store/device_key.h"
#include "store/profile_store.h"

namespace {
GameSession* current = nullptr;
constexpr DWORD RECOVERY_POLL_MS = 100;
} // namespace

void waitForProcess(HANDLE process, const bool& stop)
{
    const UINT shellRestart = TrayIcon::shellRestartMessage();
    while (!stop) {
        DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_SENDMESSAGE | QS_POSTMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1)
            return; // ended, or no process to wait on
        MSG message;
        // Sent messages are answered inside PeekMessage; of the posted ones only these are taken.
        for (UINT taken : {shellRestart, static_cast<UINT>(WM_SETTINGCHANGE)}) {
            while (PeekMessageA(&message, nullptr, taken, taken, PM_REMOVE))
                DispatchMessageA(&message);
        }
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE); // the rest counts as seen, and waits
    }
}

GameSession::GameSession(GameHost& gameHost, const ProfileStore& profiles, std::string gameName,
                         DriverSharing driverSharing)
    : host(gameHost), store(profiles), name(std::move(gameName)), sharing(driverSharing)
{
}

GameSession::~GameSession()
{
    if (current == this)
        current = nullptr;
}

GameSession* GameSession::running()
{
    return current;
}

void GameSession::startWatching(HWND window)
{
    SetTimer(window, WATCH_TIMER, WATCH_PERIOD_MS, nullptr);
}

void GameSession::stopWatching(HWND window)
{
    KillTimer(window, WATCH_TIMER);
}

void GameSession::mark()
{
    stopWatching(host.window());
    before = host.setActiveState(ActivityState::GameActive, name);
    mayApply = disarmEarlierSnapshot(store);
    if (mayApply && !name.empty()) {
        setActiveMarker(store, name);
        marked = true;
    }
    host.stepDone(SessionStep::Marked);
}

bool GameSession::apply(const std::string& section)
{
    applied = mayApply && applyProfile(store, section, true, sharing);
    host.stepDone(SessionStep::Applied);
    return applied;
}

void GameSession::wait(HANDLE process)
{
    current = this;
    waitForProcess(process, ended);
    current = nullptr;
    host.stepDone(SessionStep::GameEnded);
}

void GameSession::endOfSession()
{
    end(restoreAtEnd);
}

void GameSession::end(bool restore, const std::string& keepIn, bool toPrevious)
{
    if (ended)
        return;
    ended = true;
    bool settled = true;
    if (applied && restore)
        settled = restoreDefaults(store, sharing, keepIn) != RestoreResult::FileUnavailable;
    else if (applied)
        settled = releaseSnapshot(store);
    else if (!keepIn.empty())
        readDeviceValues(store, keepIn);
    host.stepDone(SessionStep::Restored);
    if (marked && settled)
        clearActiveMarker(store);
    else if (marked)
        host.retryLater();
    host.stepDone(SessionStep::Unmarked);
    host.setActiveState(toPrevious ? before : ActivityState::Idle, "");
    if (!toPrevious || before != ActivityState::GameActive)
        startWatching(host.window());
}

bool GameSession::recover(const ProfileStore& store, DWORD patienceMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        // The marker's key is named in the file: a file that cannot be read hides it.
        if (store.waitUntilReadable(0)) {
            if (!activeMarkerPresent(store))
                return true;
            if (restoreDefaults(store) != RestoreResult::FileUnavailable) {
                clearActiveMarker(store);
                return true;
            }
        }
        if (GetTickCount() - start >= patienceMs)
            return false;
        Sleep(RECOVERY_POLL_MS);
    }
}
