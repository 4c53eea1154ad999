// profiler.exe: the game-profile manager in the notification area.
#include <windows.h>

#include "shell/auto_start.h"
#include "shell/module_path.h"
#include "shell/platform_checks.h"
#include "shell/profiler_app.h"
#include "shell/settings_code_page.h"
#include "shell/single_instance.h"

namespace {
constexpr unsigned CLOSE_WAIT_MS = 10000;
constexpr unsigned SHOW_WAIT_MS = 5000; // the running instance may still be starting
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    if (isCloseRequest(commandLine ? commandLine : ""))
        return closeRunningInstance(CLOSE_WAIT_MS);
    if (isUnregisterRequest(commandLine ? commandLine : "")) {
        systemAutoStart()->removeForEveryUser();
        return 0;
    }
    SessionLock lock;
    if (!lock.first()) {
        showRunningInstance(SHOW_WAIT_MS);
        return 0;
    }
    std::string settingsFile = settingsPathFor(modulePath());
    SettingsCodePage settingsText = prepareSettingsText(settingsFile); // holds a write lock while kept
    ProfilerApp app(settingsFile, instance);
    if (!app.start())
        return 1;
    return app.run();
}
