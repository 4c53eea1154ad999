// fitkit: installs, reinstalls or removes the game pad's driver package.
#include <windows.h>

#include <cstdlib>

#include "app/setup_app.h"
#include "platform_checks.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    SetupApp app;
    return app.run(instance, __argc, __argv);
}
