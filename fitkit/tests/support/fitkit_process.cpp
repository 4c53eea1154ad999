#include "fitkit_process.h"

#include "temp_dir.h"

static const int STATUS_CONTROL = 1001;

std::string FitkitProcess::install(const std::string& exeDir)
{
    std::string exe = exeDir + "\\fitkit.exe";
    CopyFileA((programDirectory() + "\\fitkit.exe").c_str(), exe.c_str(), FALSE);
    return exe;
}

FitkitProcess::FitkitProcess(const std::string& exe, const std::string& arguments, const std::string& workDir)
{
    std::string commandLine = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, workDir.c_str(),
                        &startup, &info))
        info = PROCESS_INFORMATION();
}

FitkitProcess::~FitkitProcess()
{
    if (!info.hProcess)
        return;
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info.hProcess, 99);
        WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

HWND FitkitProcess::waitForDialog(DWORD limitMs)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < limitMs) {
        HWND dialog = findDialog(info.dwProcessId, STATUS_CONTROL);
        if (dialog) {
            sawDialog = true;
            return dialog;
        }
        if (findBox(info.dwProcessId) || WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0)
            return nullptr;
        Sleep(20);
    }
    return nullptr;
}

SeenBox FitkitProcess::waitForBox(HWND* handle, DWORD limitMs)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < limitMs) {
        if (findDialog(info.dwProcessId, STATUS_CONTROL))
            sawDialog = true;
        HWND box = findBox(info.dwProcessId);
        if (box) {
            Sleep(50); // let it finish drawing its text
            if (handle)
                *handle = box;
            return readBox(box);
        }
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0)
            break;
        Sleep(20);
    }
    if (handle)
        *handle = nullptr;
    return SeenBox();
}

SeenBox FitkitProcess::answerBox(int button, DWORD limitMs)
{
    HWND box = nullptr;
    SeenBox seen = waitForBox(&box, limitMs);
    if (box) {
        pressButton(box, button);
        DWORD start = GetTickCount();
        while (IsWindow(box) && GetTickCount() - start < 5000)
            Sleep(20);
    }
    return seen;
}

DWORD FitkitProcess::waitForExit(DWORD limitMs)
{
    if (WaitForSingleObject(info.hProcess, limitMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
}

std::string controlText(HWND dialog, int id)
{
    char text[1024] = {};
    SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}
