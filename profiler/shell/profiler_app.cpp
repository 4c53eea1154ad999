#include "shell/profiler_app.h"

#include <windows.h>
#include <commctrl.h>

#include "shell/main_dialog.h"

ProfilerApp::ProfilerApp(const std::string& settingsFile, HINSTANCE resourceModule,
                         std::unique_ptr<AutoStart> autoStart)
    : settingsPath(settingsFile.substr(0, MAX_PATH - 1)), profiles(settingsPath), resources(resourceModule),
      autoStarter(autoStart ? std::move(autoStart) : systemAutoStart())
{
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
}

ProfilerApp::~ProfilerApp() = default;

bool ProfilerApp::start()
{
    main = std::make_unique<MainDialog>(*this);
    return main->create() != nullptr;
}

int ProfilerApp::run()
{
    MSG message;
    while (main && main->window()) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1)
            return got == 0 ? static_cast<int>(message.wParam) : 1;
        if (main->window() && IsDialogMessageA(main->window(), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
