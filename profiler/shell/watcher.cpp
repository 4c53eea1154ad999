#include "shell/watcher.h"

#include <windows.h>
#include <tlhelp32.h>

#include <utility>

#include "editor/own_program.h"
#include "shell/game_host.h"
#include "shell/game_session.h"
#include "shell/launcher.h"
#include "store/device_key.h"
#include "store/profile_store.h"

namespace {
constexpr UINT MATCH_PROMPT_TYPE = MB_YESNOCANCEL | MB_ICONQUESTION | MB_SYSTEMMODAL;
// Not declared for Windows XP targets; XP refuses it, and the open falls back to the full query right.
constexpr DWORD QUERY_LIMITED_INFORMATION = 0x1000;

} // namespace

int findProfileForProcess(const std::vector<std::string>& locations, const std::string& exePath)
{
    const std::string folded = foldCase(exePath);
    for (size_t i = 0; i < locations.size(); ++i) {
        if (foldCase(locations[i]) == folded)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

bool LocationIndex::update(const std::vector<std::string>& current)
{
    if (current == locations)
        return false;
    locations = current;
    firstRow.clear();
    for (size_t i = 0; i < locations.size(); ++i)
        firstRow.emplace(foldCase(locations[i]), static_cast<int>(i) + 1); // keeps the first row
    return true;
}

int LocationIndex::find(const std::string& foldedPath) const
{
    if (foldedPath.empty())
        return 0;
    auto found = firstRow.find(foldedPath);
    return found == firstRow.end() ? 0 : found->second;
}

OwnedHandle ProcessWatcher::openGame(DWORD processId, bool mayEnd)
{
    if (!mayEnd)
        return OwnedHandle(OpenProcess(SYNCHRONIZE, FALSE, processId));
    OwnedHandle process(
        OpenProcess(SYNCHRONIZE | QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, processId));
    if (!process.valid())
        process.reset(
            OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, processId));
    return process;
}

std::string ProcessWatcher::promptText(const std::string& exePath, const std::string& title,
                                       const std::string& location)
{
    return exePath + " Match the following profile\n\nTitle:    " + title + "\nLocation: " + location +
           "\n\nYes    = Apply Profile and Continue\nNo     = Continue without Apply Profile\n"
           "Cancel = Abort the Program";
}

bool ProcessWatcher::scan(const std::vector<std::string>& rowLocations, WatchMatch& match, bool mayEnd)
{
    match = WatchMatch();
    OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid())
        return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    if (!Process32First(snapshot.get(), &entry))
        return false;
    index.update(rowLocations);
    const unsigned scan = ++scans;
    do {
        entry.szExeFile[sizeof(entry.szExeFile) - 1] = '\0';
        KnownProcess& known =
            cache.lookup(entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile, scan);
        if (known.refused || known.otherSession)
            continue;
        int matched = index.find(known.foldedPath);
        if (!matched)
            continue;
        if (entry.th32ProcessID == GetCurrentProcessId() || isProfilerProgram(known.path)) {
            known.refused = true; // it would wait on itself, or on a copy that may wait on it
            continue;
        }
        OwnedHandle process = openGame(entry.th32ProcessID, mayEnd);
        if (!process.valid()) {
            known.refused = true; // not served, and not matched again while it runs
            continue;
        }
        match.row = matched - 1;
        match.processId = entry.th32ProcessID;
        match.path = known.path;
        match.process = std::move(process);
        return true; // a partial scan forgets nothing
    } while (Process32Next(snapshot.get(), &entry));
    cache.forgetAllBut(scan);
    return true;
}

void ProcessWatcher::watchTick(GameHost& host, const ProfileStore& store, UINT_PTR timerId,
                               const WatchSwitches& switches)
{
    if (!switches.autoApply)
        return;
    const std::vector<std::string> locations = host.profiles().locations();

    // The period counts from the end of one scan to the start of the next.
    (void)timerId;
    GameSession::stopWatching(host.window());
    WatchMatch match;
    scan(locations, match, switches.promptOnMatch);
    GameSession::startWatching(host.window());
    if (match.row < 0)
        return;

    OwnedHandle game = std::move(match.process);
    // Copies: the list may be loaded again while the prompt is up.
    const std::string title = host.profiles().rows[match.row].title;
    const std::string location = host.profiles().rows[match.row].location;
    const std::string name = activeMarkerName(title, location);
    GameSession session(host, store, name);
    session.endWith(switches.restoreOnExit);
    session.mark();

    bool apply = true;
    if (switches.promptOnMatch) {
        int answer = host.askUser(promptText(match.path, title, location), MATCH_PROMPT_TYPE);
        if (answer == IDCANCEL) {
            DWORD exitCode = 0;
            GetExitCodeProcess(game.get(), &exitCode);
            TerminateProcess(game.get(), exitCode);
        }
        apply = answer == IDYES;
    }
    if (apply)
        session.apply(match.path); // false: the snapshot could not be stored
    session.wait(game.get());
    session.end(switches.restoreOnExit);
}
