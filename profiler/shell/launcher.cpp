#include "shell/launcher.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "shell/desktop_user.h"
#include "shell/game_host.h"
#include "shell/game_session.h"
#include "store/device_key.h"
#include "store/profile_store.h"

namespace {
// Not declared for Windows XP targets.
constexpr DWORD EXTENDED_STARTUPINFO = 0x00080000;      // EXTENDED_STARTUPINFO_PRESENT
constexpr DWORD_PTR PARENT_PROCESS_ATTRIBUTE = 0x00020000; // PROC_THREAD_ATTRIBUTE_PARENT_PROCESS
struct StartupInfoEx {                                   // STARTUPINFOEXA
    STARTUPINFOA startup;
    void* attributes;
};

using InitializeAttributesFn = BOOL(WINAPI*)(void*, DWORD, DWORD, SIZE_T*);
using UpdateAttributeFn = BOOL(WINAPI*)(void*, DWORD, DWORD_PTR, void*, SIZE_T, void*, SIZE_T*);
using DeleteAttributesFn = void(WINAPI*)(void*);
using CreateEnvironmentFn = BOOL(WINAPI*)(void**, HANDLE, BOOL);
using DestroyEnvironmentFn = BOOL(WINAPI*)(void*);

template <class F>
F kernelFunction(const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

bool isProgramFile(const std::string& file)
{
    std::string::size_type dot = file.find_last_of(".\\/");
    if (dot == std::string::npos || file[dot] != '.')
        return false;
    const std::string extension = file.substr(dot);
    return lstrcmpiA(extension.c_str(), ".exe") == 0 || lstrcmpiA(extension.c_str(), ".com") == 0;
}

// The environment of the user that `process` runs as (userenv.dll, loaded here); null for ours.
class UserEnvironment {
public:
    explicit UserEnvironment(HANDLE process) : userenv(LoadLibraryA("userenv.dll"))
    {
        HANDLE opened = nullptr;
        if (!userenv.valid() || !OpenProcessToken(process, TOKEN_QUERY | TOKEN_DUPLICATE, &opened))
            return;
        OwnedHandle token(opened);
        auto create = reinterpret_cast<CreateEnvironmentFn>(
            reinterpret_cast<void*>(GetProcAddress(userenv.get(), "CreateEnvironmentBlock")));
        if (create && !create(&block, token.get(), FALSE))
            block = nullptr;
    }
    ~UserEnvironment()
    {
        auto destroy = userenv.valid() ? reinterpret_cast<DestroyEnvironmentFn>(reinterpret_cast<void*>(
                                     GetProcAddress(userenv.get(), "DestroyEnvironmentBlock")))
                               : nullptr;
        if (block && destroy)
            destroy(block);
    }
    UserEnvironment(const UserEnvironment&) = delete;
    UserEnvironment& operator=(const UserEnvironment&) = delete;

    void* block = nullptr; // UTF-16
private:
    OwnedLibrary userenv;
};

// CreateProcess with `parentId` as the parent: the child gets that process's token. Empty where
// the system lacks the attribute (before Vista) or the parent cannot be opened.
OwnedHandle startAsChildOf(DWORD parentId, const std::string& file, const std::string& parameters,
                           const std::string& directory, int showCommand)
{
    auto initialize = kernelFunction<InitializeAttributesFn>("InitializeProcThreadAttributeList");
    auto update = kernelFunction<UpdateAttributeFn>("UpdateProcThreadAttribute");
    auto release = kernelFunction<DeleteAttributesFn>("DeleteProcThreadAttributeList");
    if (!initialize || !update || !release)
        return OwnedHandle();
    OwnedHandle parent(OpenProcess(PROCESS_CREATE_PROCESS | PROCESS_QUERY_INFORMATION, FALSE, parentId));
    if (!parent.valid())
        return OwnedHandle();
    SIZE_T size = 0;
    initialize(nullptr, 1, 0, &size);
    std::vector<unsigned char> list(size ? size : 1);
    if (!initialize(list.data(), 1, 0, &size))
        return OwnedHandle();
    HANDLE parentHandle = parent.get();
    PROCESS_INFORMATION started = {};
    BOOL ok = update(list.data(), 0, PARENT_PROCESS_ATTRIBUTE, &parentHandle, sizeof(parentHandle), nullptr, nullptr);
    if (ok) {
        StartupInfoEx info = {};
        info.startup.cb = sizeof(info);
        info.startup.dwFlags = STARTF_USESHOWWINDOW;
        info.startup.wShowWindow = static_cast<WORD>(showCommand);
        info.attributes = list.data();
        UserEnvironment environment(parent.get());
        std::string commandLine = "\"" + file + "\"" + (parameters.empty() ? "" : " " + parameters);
        ok = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE,
                            EXTENDED_STARTUPINFO | (environment.block ? CREATE_UNICODE_ENVIRONMENT : 0),
                            environment.block, directory.empty() ? nullptr : directory.c_str(), &info.startup,
                            &started);
    }
    release(list.data());
    if (!ok)
        return OwnedHandle();
    CloseHandle(started.hThread);
    return OwnedHandle(started.hProcess);
}
} // namespace

OwnedHandle runProgram(HWND window, const char* verb, const std::string& file, const std::string& parameters,
                       const std::string& directory, int showCommand, bool wait, DWORD asChildOf)
{
    OwnedHandle process;
    if (asChildOf && isProgramFile(file))
        process = startAsChildOf(asChildOf, file, parameters, directory, showCommand);
    if (!process.valid()) {
        SHELLEXECUTEINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
        info.hwnd = window;
        info.lpVerb = verb;
        info.lpFile = file.c_str();
        info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
        info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
        info.nShow = showCommand;
        if (!ShellExecuteExA(&info))
            return OwnedHandle();
        process.reset(info.hProcess);
    }
    if (wait && process.valid())
        WaitForSingleObject(process.get(), INFINITE);
    return process;
}

OwnedHandle launchProfile(GameHost& host, const ProfileStore& store, int row, bool wait)
{
    if (!host.profiles().has(row))
        return OwnedHandle();
    ShowWindow(host.window(), SW_HIDE);
    const std::string title = host.profiles().rows[row].title;
    const std::string location = host.profiles().rows[row].location;
    const std::string parameters = store.readText(location.c_str(), ini::APP_PARAMS);
    const std::string directory = store.readText(location.c_str(), ini::START_DIRECTORY);
    const std::string name = activeMarkerName(title, location);

    GameSession session(host, store, name);
    session.mark();
    // Without its snapshot in the file the profile is not applied, and there is nothing to undo.
    session.apply(location);
    OwnedHandle process =
        runProgram(host.window(), "Open", location, parameters, directory, SW_SHOWNORMAL, false, shellProcessId());
    if (wait && process.valid())
        session.wait(process.get());
    session.end(true);
    return process;
}
