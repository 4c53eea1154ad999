// The activity state: profileActive, the "PROFILEACTIVE" marker, WATCH_TIMER and the tray tip.
#include "device_transfer.h"
#include "main_dialog.h"
#include "profile_store.h"
#include "profiler_ids.h"
#include "reg_key.h"

namespace {
constexpr const char* PROFILE_ACTIVE = "PROFILEACTIVE";
constexpr DWORD PROFILE_ACTIVE_QUERY_LIMIT = 128; // a longer marker is not taken for one
} // namespace

int MainDialog::setActiveState(int flag, const std::string& name)
{
    int previous = profileActive;
    profileActive = flag;
    if (!name.empty()) {
        RegKey key;
        store().openDeviceKey(key);
        if (flag != 0) {
            key.setText("", PROFILE_ACTIVE, name);
            KillTimer(hwnd, WATCH_TIMER);
        } else {
            key.deleteValue(PROFILE_ACTIVE);
            SetTimer(hwnd, WATCH_TIMER, WATCH_PERIOD_MS, nullptr);
        }
    }
    const char* state = flag == 0 ? "No Profile Active" : name.empty() ? "Profile Editor" : name.c_str();
    tray.setTip(windowCaption + ": " + state);
    return previous;
}

void MainDialog::recoverActiveProfile()
{
    RegKey key;
    if (store().openDeviceKey(key) != ERROR_SUCCESS)
        return;
    std::string marker;
    bool leftActive = key.queryText(PROFILE_ACTIVE, marker, PROFILE_ACTIVE_QUERY_LIMIT) == ERROR_SUCCESS;
    key.close();
    if (leftActive)
        restoreDefaults(store());
}
