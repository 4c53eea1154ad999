// profiler.exe: the game-profile manager in the notification area.
#include <windows.h>

#include "shell/module_path.h"
#include "shell/platform_checks.h"
#include "shell/profiler_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    ProfilerApp app(settingsPathFor(modulePath()), instance);
    if (!app.start())
        return 1;
    return app.run();
}
