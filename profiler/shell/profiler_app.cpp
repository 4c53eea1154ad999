#include "profiler_app.h"

#include <windows.h>

#include <commctrl.h>

#include "main_dialog.h"

ProfilerApp::ProfilerApp(const std::string& settingsFile, HINSTANCE resources)
    : settingsPath(settingsFile.substr(0, MAX_PATH - 1)), store(settingsPath), instance(resources)
{
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
}

ProfilerApp::~ProfilerApp() = default;

bool ProfilerApp::start()
{
    mainDialog = std::make_unique<MainDialog>(*this);
    return mainDialog->create() != nullptr;
}

int ProfilerApp::run()
{
    MSG message;
    while (mainDialog && mainDialog->hwnd) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1)
            return got == 0 ? static_cast<int>(message.wParam) : 1;
        if (mainDialog->hwnd && IsDialogMessageA(mainDialog->hwnd, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
