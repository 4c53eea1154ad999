#include "shell/single_instance.h"

#include <vector>

#include "profiler_ids.h"

namespace {
constexpr const char* MUTEX_NAME = "Padwise.Profiler";
constexpr DWORD POLL_MS = 50;

// Session-local on NT 5 and later; Windows 9x and NT 4 know no session and no "Local\" prefix.
std::string mutexName()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    bool sessions = version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5;
    return sessions ? std::string("Local\\") + MUTEX_NAME : std::string(MUTEX_NAME);
}

BOOL CALLBACK collectInstance(HWND window, LPARAM found)
{
    char className[16] = {};
    GetClassNameA(window, className, sizeof(className));
    if (lstrcmpA(className, "#32770") == 0 && GetPropA(window, INSTANCE_PROPERTY))
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

std::vector<HWND> instanceWindows()
{
    std::vector<HWND> found;
    EnumWindows(collectInstance, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The running instance may come to the foreground: the user started this one.
void letComeForward(HWND window)
{
    using Allow = BOOL(WINAPI*)(DWORD);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (auto allow = reinterpret_cast<Allow>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("user32.dll"), "AllowSetForegroundWindow"))))
        allow(process);
}
} // namespace

UINT closeRequestMessage()
{
    static const UINT message = RegisterWindowMessageA("Padwise.Profiler.Close");
    return message;
}

SessionLock::SessionLock() : mutex(CreateMutexA(nullptr, TRUE, mutexName().c_str()))
{
    DWORD error = GetLastError();
    // Without a mutex at all (other than one refused to this user) the program runs unguarded.
    isFirst = mutex ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED;
}

bool isCloseRequest(const std::string& commandLine)
{
    std::string::size_type begin = commandLine.find_first_not_of(" \t");
    std::string::size_type end = commandLine.find_last_not_of(" \t");
    if (begin == std::string::npos)
        return false;
    std::string argument = commandLine.substr(begin, end - begin + 1);
    return lstrcmpiA(argument.c_str(), "/close") == 0 || lstrcmpiA(argument.c_str(), "-close") == 0;
}

bool showRunningInstance(unsigned timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        std::vector<HWND> found = instanceWindows();
        if (!found.empty()) {
            letComeForward(found.front());
            PostMessageA(found.front(), WM_COMMAND, CMD_PROFILE_EDIT, 0);
            return true;
        }
        Sleep(POLL_MS);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

namespace {
// Asks every window of the instance to close; the instance's process, for the wait on its end.
OwnedHandle askToClose()
{
    OwnedHandle process;
    for (HWND window : instanceWindows()) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        if (PostMessageA(window, closeRequestMessage(), 0, 0) && !process)
            process.reset(OpenProcess(SYNCHRONIZE, FALSE, id));
    }
    return process;
}
} // namespace

// The instance holds the mutex until it ends (the wait on it then ends as abandoned); the end of
// its process follows.
int closeRunningInstance(unsigned timeoutMs)
{
    OwnedHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, mutexName().c_str()));
    if (!mutex)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : 1;
    OwnedHandle process;
    DWORD start = GetTickCount();
    for (;;) {
        if (!process)
            process = askToClose();
        DWORD waited = WaitForSingleObject(mutex.get(), POLL_MS);
        DWORD spent = GetTickCount() - start;
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
            ReleaseMutex(mutex.get());
            DWORD left = spent < timeoutMs ? timeoutMs - spent : 0;
            bool ended = !process || WaitForSingleObject(process.get(), left) == WAIT_OBJECT_0;
            return ended ? 0 : 1;
        }
        if (spent >= timeoutMs)
            return 1;
    }
}
