#include "app/setup_app.h"

#include <windows.h>
#include <commctrl.h>

#include "config/platform_kind.h"
#include "config/startup.h"
#include "device/win32_device_layer.h"
#include "dialog/message_box.h"
#include "dialog/setup_dialog.h"

int SetupApp::run(HINSTANCE instance, int argc, char** argv)
{
    chooseWorkingDirectory();
    StartupParams params;
    if (!resolveStartup(argc, argv, params)) {
        showBox(nullptr, USAGE_TEXT, BoxKind::Warning);
        return 1;
    }
    InitCommonControls();
    Win32DeviceLayer layer;
    SetupDialog dialog(instance, layer, PlatformKind::current(), params.infName, params.deviceId);
    dialog.run(nullptr);
    return 0;
}
