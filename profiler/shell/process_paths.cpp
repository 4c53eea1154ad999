#include "shell/process_paths.h"

#include <vector>

namespace {
// Not declared for Windows XP targets; the system ignores it before Vista, where the open fails.
constexpr DWORD QUERY_LIMITED_INFORMATION = 0x1000;

// Image paths can exceed MAX_PATH on later systems; this is what the settings file holds.
constexpr DWORD PATH_CAPACITY = 1024;

std::string queryByFullName(ProcessPathResolver::QueryFullProcessImageNameFn query, DWORD processId,
                            bool& transient)
{
    OwnedHandle process(OpenProcess(QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process.valid())
        return std::string();
    std::vector<char> buffer(PATH_CAPACITY + 1, '\0');
    DWORD size = PATH_CAPACITY;
    if (query(process.get(), 0, buffer.data(), &size) && size <= PATH_CAPACITY)
        return std::string(buffer.data(), size);
    transient = true;
    return std::string();
}

std::string queryByModuleName(ProcessPathResolver::GetModuleFileNameExFn moduleFileName, DWORD processId,
                              bool& transient)
{
    OwnedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process.valid())
        return std::string();
    std::vector<char> buffer(PATH_CAPACITY + 1, '\0');
    DWORD length = moduleFileName(process.get(), nullptr, buffer.data(), PATH_CAPACITY);
    if (length == 0 || length >= PATH_CAPACITY) {
        transient = true;
        return std::string();
    }
    return std::string(buffer.data(), length);
}
} // namespace

ProcessPathResolver::ProcessPathResolver()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel) {
        queryFullName = reinterpret_cast<QueryFullProcessImageNameFn>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "QueryFullProcessImageNameA")));
        moduleFileName = reinterpret_cast<GetModuleFileNameExFn>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "K32GetModuleFileNameExA")));
        sessionOf = reinterpret_cast<ProcessIdToSessionIdFn>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "ProcessIdToSessionId")));
    }
    if (!queryFullName && !moduleFileName) {
        psapi.reset(LoadLibraryA("psapi.dll"));
        if (psapi.valid())
            moduleFileName = reinterpret_cast<GetModuleFileNameExFn>(
                reinterpret_cast<void*>(GetProcAddress(psapi.get(), "GetModuleFileNameExA")));
    }
}

std::string ProcessPathResolver::resolve(DWORD processId, const char* snapshotName, bool* transient) const
{
    bool retry = false;
    std::string path;
    if (isFullPath(snapshotName))
        path = snapshotName;
    if (path.empty() && queryFullName)
        path = queryByFullName(queryFullName, processId, retry);
    if (path.empty() && moduleFileName)
        path = queryByModuleName(moduleFileName, processId, retry);
    if (transient)
        *transient = path.empty() && retry;
    return path;
}

bool ProcessPathResolver::inOwnSession(DWORD processId) const
{
    DWORD own = 0, other = 0;
    if (!sessionOf || !sessionOf(GetCurrentProcessId(), &own))
        return true;
    // A process whose session cannot be read (it has just ended, or is the system's) is not ours.
    return sessionOf(processId, &other) && other == own;
}

bool isFullPath(const char* text)
{
    if (!text)
        return false;
    bool drive = ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z')) &&
                 text[1] == ':' && text[2] == '\\';
    bool unc = text[0] == '\\' && text[1] == '\\';
    return drive || unc;
}

std::string foldCase(const std::string& text)
{
    std::string folded = text;
    if (!folded.empty())
        CharUpperBuffA(&folded[0], static_cast<DWORD>(folded.size()));
    return folded;
}

KnownProcess& ProcessPathCache::lookup(DWORD processId, DWORD parentId, const char* exeName, unsigned scan)
{
    auto found = known.find(processId);
    if (found == known.end() || found->second.parentId != parentId || found->second.exeName != exeName) {
        KnownProcess fresh;
        fresh.exeName = exeName;
        fresh.parentId = parentId;
        fresh.retriesLeft = PATH_RETRIES;
        fresh.otherSession = !resolver.inOwnSession(processId);
        found = known.insert_or_assign(processId, std::move(fresh)).first;
        if (!found->second.otherSession)
            resolve(processId, found->second);
    } else if (!found->second.otherSession && found->second.path.empty() && found->second.retriesLeft > 0) {
        --found->second.retriesLeft;
        resolve(processId, found->second);
    }
    found->second.seenInScan = scan;
    return found->second;
}

void ProcessPathCache::resolve(DWORD processId, KnownProcess& process) const
{
    bool transient = false;
    process.path = resolver.resolve(processId, process.exeName.c_str(), &transient);
    process.foldedPath = foldCase(process.path);
    if (!transient)
        process.retriesLeft = 0; // found, or refused for good
}

void ProcessPathCache::forgetAllBut(unsigned scan)
{
    for (auto it = known.begin(); it != known.end();) {
        if (it->second.seenInScan != scan)
            it = known.erase(it);
        else
            ++it;
    }
}
