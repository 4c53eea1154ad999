// Stand-in game. Options (any order):
//   --exit N         exit code (default 0)
//   --wait-ms N      run for N milliseconds (default: until ended from outside)
//   --event NAME     run until the named event is signalled (created if absent)
//   --report FILE    first write "cmdline=<command line>", "cwd=<current directory>" and
//                    "parent=<parent process id>" lines to FILE
//   --value KEY\NAME with --report, also "value=<text>" of that REG_SZ value below HKLM, as the
//                    game finds it when it starts
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

static std::string readValue(const std::string& keyAndName)
{
    size_t cut = keyAndName.find_last_of('\\');
    if (cut == std::string::npos)
        return "<absent>";
    char text[1024] = {};
    DWORD size = sizeof(text) - 1;
    // The native view, where the pad's driver side keeps its settings.
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyAndName.substr(0, cut).c_str(), 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return "<absent>";
    LONG rc = RegGetValueA(key, nullptr, keyAndName.substr(cut + 1).c_str(), RRF_RT_REG_SZ, nullptr, text, &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? text : "<absent>";
}

static DWORD parentId()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    DWORD parent = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == GetCurrentProcessId())
            parent = entry.th32ParentProcessID;
    CloseHandle(snapshot);
    return parent;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    int exitCode = 0;
    DWORD waitMs = INFINITE;
    const char* eventName = nullptr;
    const char* report = nullptr;
    const char* registryValue = nullptr;
    for (int i = 1; i + 1 < __argc; i += 2) {
        const char* option = __argv[i];
        const char* value = __argv[i + 1];
        if (!std::strcmp(option, "--exit"))
            exitCode = std::atoi(value);
        else if (!std::strcmp(option, "--wait-ms"))
            waitMs = static_cast<DWORD>(std::strtoul(value, nullptr, 10));
        else if (!std::strcmp(option, "--event"))
            eventName = value;
        else if (!std::strcmp(option, "--report"))
            report = value;
        else if (!std::strcmp(option, "--value"))
            registryValue = value;
    }
    if (report) {
        char directory[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, directory);
        if (FILE* out = std::fopen(report, "w")) {
            std::fprintf(out, "cmdline=%s\ncwd=%s\nparent=%lu\n", GetCommandLineA(), directory,
                         static_cast<unsigned long>(parentId()));
            if (registryValue)
                std::fprintf(out, "value=%s\n", readValue(registryValue).c_str());
            std::fclose(out);
        }
    }
    HANDLE event = eventName ? CreateEventA(nullptr, TRUE, FALSE, eventName) : nullptr;
    if (event)
        WaitForSingleObject(event, waitMs);
    else
        Sleep(waitMs);
    return exitCode;
}
