// Skeleton of the profile manager: starts and exits cleanly.
#include <windows.h>

#include "platform_checks.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
