// profiler.exe: the game-profile manager in the notification area.
#include <windows.h>

#include "module_path.h"
#include "platform_checks.h"
#include "profiler_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    ProfilerApp app(settingsPathFor(modulePath()), instance);
    if (!app.start())
        return 1;
    return app.run();
}
