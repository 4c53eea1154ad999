// Start-up of profiler.exe until its hidden main window lists every profile: 4, 255 and a large
// list, with the games' executables absent and present (hard links to a program with an icon);
// and until a right click on the tray icon made at that moment shows the menu with every game's icon
// (a left click waits the double-click time first).
// The cases take turns in every round, so that they meet the same load on the machine.
// Then the time to the first watch tick: from the start until a game that already runs is under its
// profile, with the task scheduler service up and down (disabled and its process ended: the
// scheduler then fails every request).
//   startup_bench [rounds=7] [large=5000] [first-tick: only the time to the first tick]
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "profiler_ids.h"
#include "testlib/process.h"
#include "testlib/services.h"
#include "testlib/temp_dir.h"
#include "testlib/window_search.h"

namespace {
constexpr const char* DEVICE_KEY = "Software\\PadkitBench\\Startup";
constexpr DWORD START_LIMIT_MS = 300000; // a hang guard, not a goal

// A copy of profiler.exe beside a settings file with `profiles` profiles whose games lie in the
// same folder, present or not.
class StartupCase {
public:
    StartupCase(int profiles, bool present)
        : profiles(profiles), present(present),
          dir(std::make_unique<TempDir>("startup_" + std::to_string(profiles) + (present ? "p" : "a")))
    {
        exe = dir->file("profiler.exe");
        CopyFileA((programDirectory() + "\\profiler.exe").c_str(), exe.c_str(), FALSE);
        std::string list = "[PROFILES]\r\nCOUNT=" + std::to_string(profiles) + "\r\n";
        std::string sections;
        for (int k = 1; k <= profiles; ++k) {
            const std::string folder = dir->makeDir("Games\\Title " + std::to_string(k));
            const std::string game = folder + "\\game" + std::to_string(k) + ".exe";
            if (present && !CreateHardLinkA(game.c_str(), exe.c_str(), nullptr))
                CopyFileA(exe.c_str(), game.c_str(), FALSE);
            list += std::to_string(k) + "=" + game + "\r\n";
            sections += "[" + game + "]\r\nProfileTitle=Game number " + std::to_string(k) +
                        "\r\nAppParams=-window\r\nAppDirection=" + folder +
                        "\r\nForceGain=" + std::to_string(k % 100) + "\r\nDeadzone=2\r\n";
        }
        settings = std::string("[SETTINGS]\r\nKEYS=2\r\n1=ForceGain\r\n2=Deadzone\r\nREGPATH=") + DEVICE_KEY +
                   "\r\n" + list + sections;
        dir->write("profiler.INI", settings);
    }

    // Start-up wrote nothing: every entry is still there as it was.
    bool settingsKept() const { return readFile(dir->file("profiler.INI")) == settings; }

    // One start: milliseconds until the list holds every profile, and until a right click on the
    // tray icon made then shows the menu, which waits for every game's icon. Negative when that did not happen.
    void startOnce()
    {
        const double start = nowMs();
        Process profiler(inQuotes(exe), dir->path());
        HWND main = profiler.started()
                        ? waitDialog(profiler.id(), "Padwise", START_LIMIT_MS, Shown::AlsoHidden)
                        : nullptr;
        const bool whole = main && waitListed(main, start);
        listed.push_back(whole ? nowMs() - start : -1);
        PostMessageA(main, WM_TRAYICON, TRAY_ICON_ID, WM_RBUTTONUP);
        const bool shown = whole && waitWindow(
                                        [&](HWND w) {
                                            char name[16] = {};
                                            GetClassNameA(w, name, sizeof(name));
                                            return windowProcess(w) == profiler.id() && IsWindowVisible(w) &&
                                                   std::string(name) == "#32768";
                                        },
                                        START_LIMIT_MS);
        menu.push_back(shown ? nowMs() - start : -1);
        if (main) {
            NOTIFYICONDATAA tray = {};
            tray.cbSize = sizeof(tray);
            tray.hWnd = main;
            tray.uID = TRAY_ICON_ID;
            Shell_NotifyIconA(NIM_DELETE, &tray); // no stale icons pile up in the tray
        }
    }

    const int profiles;
    const bool present;
    std::vector<double> listed;
    std::vector<double> menu;

private:
    // The list's row count is answered once the window's thread handles messages again.
    bool waitListed(HWND main, double start) const
    {
        while (nowMs() - start < START_LIMIT_MS) {
            HWND list = GetDlgItem(main, IDC_PROFILE_LIST); // the dialog exists before its controls
            DWORD_PTR rows = 0;
            if (list &&
                SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, START_LIMIT_MS, &rows) &&
                static_cast<int>(rows) == profiles)
                return true;
            Sleep(1);
        }
        return false;
    }

    std::unique_ptr<TempDir> dir;
    std::string exe;
    std::string settings;
};
// The scheduler service: running, or disabled with its process ended.
bool schedulerUp(bool up)
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = OpenServiceA(manager, "Schedule", SERVICE_ALL_ACCESS);
    bool done = service && ChangeServiceConfigA(service, SERVICE_NO_CHANGE, up ? SERVICE_DEMAND_START : SERVICE_DISABLED,
                                                SERVICE_NO_CHANGE, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                nullptr, nullptr);
    if (done && !up) {
        SERVICE_STATUS_PROCESS status = {};
        DWORD size = 0;
        QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof(status),
                             &size);
        HANDLE host = status.dwProcessId ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, status.dwProcessId)
                                         : nullptr;
        if (host) {
            TerminateProcess(host, 1);
            WaitForSingleObject(host, 5000);
            CloseHandle(host);
        }
    }
    if (service)
        CloseServiceHandle(service);
    if (manager)
        CloseServiceHandle(manager);
    return done && (!up || startService("Schedule"));
}

// profiler.exe beside a settings file with one profile, whose game runs before every start.
class FirstTickCase {
public:
    FirstTickCase() : dir(std::make_unique<TempDir>("first_tick"))
    {
        exe = dir->file("profiler.exe");
        CopyFileA((programDirectory() + "\\profiler.exe").c_str(), exe.c_str(), FALSE);
        const std::string game = dir->file("fly.exe");
        CopyFileA((programDirectory() + "\\standin_game.exe").c_str(), game.c_str(), FALSE);
        dir->write("profiler.INI", std::string("[SETTINGS]\r\nKEYS=1\r\n1=Gain\r\nAUTOLAUNCH=1\r\nREGPATH=") +
                                       DEVICE_KEY + "\r\n[PROFILES]\r\nCOUNT=1\r\n1=" + game + "\r\n[" + game +
                                       "]\r\nProfileTitle=Fly\r\nGain=70\r\n");
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, DEVICE_KEY, "Gain", REG_SZ, "100", 4); // the pad's key exists
        running = Process(inQuotes(game), dir->path());
    }
    // Milliseconds until the game is under its profile; negative when that did not happen.
    double startOnce()
    {
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, DEVICE_KEY, "PROFILEACTIVE");
        const double start = nowMs();
        Process profiler(inQuotes(exe), dir->path());
        double served = -1;
        while (profiler.started() && nowMs() - start < 20000) {
            char text[64] = {};
            DWORD size = sizeof(text);
            if (RegGetValueA(HKEY_LOCAL_MACHINE, DEVICE_KEY, "PROFILEACTIVE", RRF_RT_REG_SZ, nullptr, text, &size) ==
                ERROR_SUCCESS) {
                served = nowMs() - start;
                break;
            }
            Sleep(1);
        }
        HWND main = waitDialog(profiler.id(), "Padwise", 5000, Shown::AlsoHidden);
        if (main) {
            NOTIFYICONDATAA tray = {};
            tray.cbSize = sizeof(tray);
            tray.hWnd = main;
            tray.uID = TRAY_ICON_ID;
            Shell_NotifyIconA(NIM_DELETE, &tray);
        }
        profiler.end(); // killed during the game: the next start recovers first, as after a crash
        return served;
    }

private:
    std::unique_ptr<TempDir> dir;
    std::string exe;
    Process running;
};
} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const int large = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5000;
    FirstTickCase firstTick;
    std::printf("time to the first watch tick (a running game under its profile); medians of %d starts in ms\n",
                rounds);
    for (bool up : {true, false}) {
        if (!schedulerUp(up)) {
            std::printf("the task scheduler could not be brought %s\n", up ? "up" : "down");
            continue;
        }
        std::vector<double> times;
        for (int round = 0; round < rounds; ++round)
            times.push_back(firstTick.startOnce());
        const auto failed = std::count_if(times.begin(), times.end(), [](double t) { return t < 0; });
        std::printf("scheduler %-5s %10.1f%s\n", up ? "up" : "down", medianOf(times),
                    failed ? "  (some starts never served the game)" : "");
    }
    schedulerUp(true);
    if (argc > 3 && std::string(argv[3]) == "first-tick")
        return 0;
    std::printf("\n");
    std::vector<std::unique_ptr<StartupCase>> cases;
    for (bool present : {false, true}) {
        for (int profiles : {4, 255, large})
            cases.push_back(std::make_unique<StartupCase>(profiles, present));
    }
    for (int round = 0; round < rounds; ++round) {
        for (auto& c : cases)
            c->startOnce();
    }

    std::printf("start-up of profiler.exe; medians of %d rounds in ms\n", rounds);
    std::printf("%-8s %8s %10s %20s %24s\n", "games", "profiles", "listed", "x the 4-profile one",
                "tray click shows menu");
    for (const auto& c : cases) {
        const StartupCase& four = *cases[c->present ? 3 : 0];
        const double median = medianOf(c->listed);
        std::printf("%-8s %8d %10.1f %20.2f %24.1f\n", c->present ? "present" : "absent", c->profiles, median,
                    median / medianOf(four.listed), medianOf(c->menu));
    }
    for (const auto& c : cases) {
        auto failed = [](const std::vector<double>& times) {
            return std::count_if(times.begin(), times.end(), [](double t) { return t < 0; });
        };
        if (failed(c->listed) || failed(c->menu))
            std::printf("%d profiles: a start did not list every profile or show the menu\n", c->profiles);
        if (!c->settingsKept())
            std::printf("%d profiles: the settings file changed\n", c->profiles);
    }
    return 0;
}
