// The watcher's tick with many running processes against 255 profiles that match none of them,
// beside a bare Toolhelp walk of the same processes and a tick that opens every process each time.
//   watch_bench [processes=300] [rounds=200]
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/owned.h"
#include "bench/bench_clock.h"
#include "shell/game_host.h"
#include "shell/watcher.h"
#include "store/profile_store.h"

namespace {
constexpr int PROFILES = 255;

// The main window's side for the benchmark: the rows in memory, a message-only window for the timer.
class BenchHost : public GameHost {
public:
    BenchHost()
    {
        hwnd = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~BenchHost() override { DestroyWindow(hwnd); }
    HWND window() const override { return hwnd; }
    ActivityState setActiveState(ActivityState, const std::string&) override { return ActivityState::Idle; }
    const ProfileList& profiles() const override { return listed; }
    ProfileList listed;
    int askUser(const std::string&, UINT) override { return IDNO; }

    HWND hwnd = nullptr;
};

// CPU time (user and kernel) this thread has used, in microseconds.
double threadCpuUs()
{
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    auto us = [](const FILETIME& t) {
        return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10.0;
    };
    return us(kernel) + us(user);
}

// Calls visit(entry) for each process of a fresh snapshot while it returns true.
template <class Visit>
void walkProcesses(Visit visit)
{
    OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid())
        return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    BOOL more = Process32First(snapshot.get(), &entry);
    while (more && visit(entry))
        more = Process32Next(snapshot.get(), &entry);
}

int bareWalk()
{
    int count = 0;
    walkProcesses([&](const PROCESSENTRY32&) { return ++count > 0; });
    return count;
}

// What a tick costs without the cache: every process opened and its path compared with every row.
int uncachedTick(const ProcessPathResolver& resolver, const std::vector<std::string>& locations)
{
    int matched = 0;
    walkProcesses([&](const PROCESSENTRY32& entry) {
        matched = findProfileForProcess(locations, resolver.resolve(entry.th32ProcessID, entry.szExeFile));
        return matched == 0;
    });
    return matched;
}

std::string programDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\'));
}

// Stand-in games under 30 different names in a folder of their own, running until the crowd goes.
class StandinCrowd {
public:
    explicit StandinCrowd(int processes)
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "watch_bench_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
        for (int i = 0; i < 30; ++i) {
            exes.push_back(folder + "\\game" + std::to_string(i) + ".exe");
            CopyFileA((programDirectory() + "\\standin_game.exe").c_str(), exes.back().c_str(), FALSE);
        }
        const double startAt = nowUs();
        for (int i = 0; i < processes; ++i) {
            if (!start(exes[i % exes.size()]))
                break;
        }
        startSeconds = (nowUs() - startAt) / 1e6;
    }
    ~StandinCrowd()
    {
        for (const OwnedHandle& game : games) {
            TerminateProcess(game.get(), 0);
            WaitForSingleObject(game.get(), 5000);
        }
        games.clear();
        for (const std::string& exe : exes)
            DeleteFileA(exe.c_str());
        DeleteFileA((folder + "\\profiler.INI").c_str());
        RemoveDirectoryA(folder.c_str());
    }

    std::string folder;
    std::vector<std::string> exes;
    std::vector<OwnedHandle> games;
    double startSeconds = 0;

private:
    bool start(const std::string& exe)
    {
        std::string commandLine = "\"" + exe + "\" --wait-ms 900000";
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &info))
            return false;
        CloseHandle(info.hThread);
        games.emplace_back(info.hProcess);
        return true;
    }
};

struct Figures {
    double walk = 0;      // bare Toolhelp walk, median
    double tick = 0;      // watchTick with a warm cache, median
    double firstTick = 0; // watchTick with a cold cache
    double uncached = 0;  // a tick that opens every process, median
    double tickCpu = 0;   // CPU of this thread per watchTick, mean
    size_t known = 0;     // processes the watcher knows
};

// 255 profiles in another folder: every tick compares every process and finds nothing. The variants
// take turns in every round, so that they meet the same load on the machine.
Figures measure(const std::string& folder, int rounds)
{
    BenchHost host;
    for (int k = 0; k < PROFILES; ++k)
        host.listed.append({"C:\\Games\\Title " + std::to_string(k) + "\\game" + std::to_string(k % 30) + ".exe",
                            "title"});
    const std::vector<std::string> locations = host.listed.locations();
    ProfileStore store(folder + "\\profiler.INI");
    ProcessWatcher watcher;
    const WatchSwitches switches = {true, false, false};
    Figures figures;
    double first = nowUs();
    watcher.watchTick(host, store, 100, switches);
    figures.firstTick = nowUs() - first;

    ProcessPathResolver resolver;
    std::vector<double> walks, ticks, uncachedTicks;
    for (int round = 0; round < rounds; ++round) {
        double start = nowUs();
        bareWalk();
        walks.push_back(nowUs() - start);
        double cpu = threadCpuUs();
        start = nowUs();
        watcher.watchTick(host, store, 100, switches);
        ticks.push_back(nowUs() - start);
        figures.tickCpu += (threadCpuUs() - cpu) / rounds;
        if (round % 5 == 0) {
            start = nowUs();
            uncachedTick(resolver, locations);
            uncachedTicks.push_back(nowUs() - start);
        }
    }
    figures.walk = medianOf(walks);
    figures.tick = medianOf(ticks);
    figures.uncached = medianOf(uncachedTicks);
    figures.known = watcher.cache.size();
    return figures;
}
} // namespace

int main(int argc, char** argv)
{
    const int processes = argc > 1 ? std::atoi(argv[1]) : 300;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 200;

    StandinCrowd crowd(processes);
    Sleep(2000); // let the last ones finish starting
    std::printf("started %zu stand-in processes in %.1f s; %d processes in the snapshot\n",
                crowd.games.size(), crowd.startSeconds, bareWalk());

    const Figures f = measure(crowd.folder, rounds);
    std::printf("rounds: %d; profiles: %d; processes known to the watcher: %zu\n", rounds, PROFILES, f.known);
    std::printf("bare Toolhelp walk, median:         %8.1f us\n", f.walk);
    std::printf("watchTick (warm cache), median:     %8.1f us  (%.2f x the bare walk)\n", f.tick,
                f.tick / f.walk);
    std::printf("watchTick, first tick (cold cache): %8.1f us\n", f.firstTick);
    std::printf("tick opening every process, median: %8.1f us  (%.1f x the bare walk)\n", f.uncached,
                f.uncached / f.walk);
    std::printf("watchTick, CPU of profiler's own thread (mean): %.1f us\n", f.tickCpu);
    std::printf(
        "CPU share at a 100 ms period: watchTick %.2f %%, bare walk %.2f %%, opening every process %.2f %%\n",
        f.tick / 1000.0, f.walk / 1000.0, f.uncached / 1000.0);
    return 0;
}
