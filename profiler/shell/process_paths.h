#pragma once
// Full image paths of running processes, found once per process and remembered.
#include <windows.h>

#include <string>
#include <unordered_map>

#include "base/owned.h"

// Finds a process's full image path with what the system offers: QueryFullProcessImageNameA
// (Vista on), else GetModuleFileNameExA (psapi.dll, or kernel32's K32 variant), else the
// snapshot's own text when it already is a full path (Windows 9x).
class ProcessPathResolver {
public:
    ProcessPathResolver();
    ProcessPathResolver(const ProcessPathResolver&) = delete;
    ProcessPathResolver& operator=(const ProcessPathResolver&) = delete;

    // The full path, or "" when it cannot be found. `transient` is set when the process could be
    // opened but not yet read (a process that is still starting has no module list yet).
    std::string resolve(DWORD processId, const char* snapshotName, bool* transient = nullptr) const;

    // Whether the process runs in this program's session: a session's profiler serves and closes
    // only its own session's programs. Always, where the system knows no sessions (Windows 9x).
    bool inOwnSession(DWORD processId) const;

    using QueryFullProcessImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
    using GetModuleFileNameExFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
    using ProcessIdToSessionIdFn = BOOL(WINAPI*)(DWORD, DWORD*);
    QueryFullProcessImageNameFn queryFullName = nullptr;
    GetModuleFileNameExFn moduleFileName = nullptr;
    ProcessIdToSessionIdFn sessionOf = nullptr;
    OwnedLibrary psapi; // loaded where the system has neither function itself
};

// True for "C:\..." and "\\server\...": a text that names a file by its whole path.
bool isFullPath(const char* text);

// Letter case folded the way the system's code page folds it, for comparisons ignoring case.
std::string foldCase(const std::string& text);

// What the watcher knows of one running process.
struct KnownProcess {
    std::string exeName;    // the snapshot's text, to notice a reused process id
    DWORD parentId = 0;     // likewise
    std::string foldedPath; // full path with case folded; "" when it could not be found
    std::string path;
    bool refused = false;    // matched a profile but could not be opened: not served again
    bool otherSession = false; // runs in another user's session: that session's profiler serves it
    int retriesLeft = 0;     // later scans that may still try a path that was not yet readable
    unsigned seenInScan = 0; // number of the last complete scan that saw it
};

// Process id → what is known of it. Entries of processes that are gone are dropped after each
// complete scan, so the cache holds at most the processes that run.
class ProcessPathCache {
public:
    // How many later scans retry a process that could be opened but not read (about a second).
    static constexpr int PATH_RETRIES = 10;

    // The entry for a snapshot entry; resolves the path only for a process not seen before.
    KnownProcess& lookup(DWORD processId, DWORD parentId, const char* exeName, unsigned scan);
    // Drops every entry not seen in `scan`.
    void forgetAllBut(unsigned scan);
    size_t size() const { return known.size(); }
    void resolve(DWORD processId, KnownProcess& process) const;

    ProcessPathResolver resolver;
    std::unordered_map<DWORD, KnownProcess> known;
};
