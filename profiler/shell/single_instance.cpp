#include "shell/single_instance.h"

#include <tlhelp32.h>

#include <algorithm>
#include <vector>

#include "profiler_ids.h"
#include "shell/module_path.h"
#include "shell/process_paths.h"

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
    isFirst = mutex.valid() ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED;
}

bool isRequest(const std::string& commandLine, const char* word)
{
    std::string::size_type begin = commandLine.find_first_not_of(" \t");
    std::string::size_type end = commandLine.find_last_not_of(" \t");
    if (begin == std::string::npos)
        return false;
    std::string argument = commandLine.substr(begin, end - begin + 1);
    return (argument[0] == '/' || argument[0] == '-') && lstrcmpiA(argument.c_str() + 1, word) == 0;
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
// Processes of this session started from this program file, other than this one: the running
// instance, and one that is still starting.
std::vector<DWORD> copiesOfThisProgram(const ProcessPathResolver& resolver, const std::string& program)
{
    std::vector<DWORD> found;
    OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    if (!snapshot.valid() || !Process32First(snapshot.get(), &entry))
        return found;
    do {
        if (entry.th32ProcessID == GetCurrentProcessId() || !resolver.inOwnSession(entry.th32ProcessID))
            continue;
        entry.szExeFile[sizeof(entry.szExeFile) - 1] = '\0';
        if (lstrcmpiA(resolver.resolve(entry.th32ProcessID, entry.szExeFile).c_str(), program.c_str()) == 0)
            found.push_back(entry.th32ProcessID);
    } while (Process32Next(snapshot.get(), &entry));
    return found;
}

HWND instanceWindowOf(DWORD processId)
{
    for (HWND window : instanceWindows()) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        if (id == processId)
            return window;
    }
    return nullptr;
}
} // namespace

// Another folder's copy is left alone; a copy of this file that is still starting is asked as soon
// as its window exists, so a start and a close never cross.
int closeRunningInstance(unsigned timeoutMs)
{
    const std::string program = modulePath();
    ProcessPathResolver resolver;
    std::vector<DWORD> asked;
    const DWORD start = GetTickCount();
    for (;;) {
        std::vector<DWORD> copies = copiesOfThisProgram(resolver, program);
        if (copies.empty())
            return 0;
        for (DWORD id : copies) {
            if (std::find(asked.begin(), asked.end(), id) != asked.end())
                continue;
            HWND window = instanceWindowOf(id);
            if (window && PostMessageA(window, closeRequestMessage(), 0, 0))
                asked.push_back(id);
        }
        if (GetTickCount() - start >= timeoutMs)
            return 1;
        Sleep(POLL_MS);
    }
}
