// Auto Start: the logon task's definition read back by the system's XML parser, the choice between
// the Run key and the task through a scheduler of the test's own, and profiler.exe itself on a Wine
// that reports Windows 10 (the real task scheduler service) and one that reports XP.
#include <gtest/gtest.h>

#include <windows.h>
#include <msxml2.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "shell/timers.h"
#include "profiler_ids.h"
#include "shell/auto_start.h"
#include "shell/desktop_user.h"
#include "shell/main_dialog.h"
#include "shell/module_path.h"
#include "shell/profiler_app.h"
#include "testlib/owned.h"
#include "testlib/process.h"
#include "testlib/services.h"
#include "testlib/unicode.h"
#include "testlib/wait.h"
#include "testlib/window_search.h"
#include "tests/ui_test_support.h"

namespace {
const CLSID DOM_DOCUMENT = {0xf5078f32, 0xc551, 0x11d3, {0x89, 0xb9, 0x00, 0x00, 0xf8, 0x1f, 0xe2, 0x21}};
const IID DOM_DOCUMENT2 = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

VARIANT textVariant(const wchar_t* text)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

// The text of the node at `xpath` (prefix t: the task namespace) of a task definition, as the system's
// XML parser reads it; "<not XML>" or "<none>" otherwise.
std::string taskNode(const std::string& xml, const std::string& xpath)
{
    CoInitialize(nullptr);
    IXMLDOMDocument2* doc = nullptr;
    if (FAILED(CoCreateInstance(DOM_DOCUMENT, nullptr, CLSCTX_INPROC_SERVER, DOM_DOCUMENT2,
                                reinterpret_cast<void**>(&doc))))
        return "<no parser>";
    std::string result = "<not XML>";
    BSTR source = SysAllocString(widen(xml).c_str());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (SUCCEEDED(doc->loadXML(source, &loaded)) && loaded) {
        doc->setProperty(SysAllocString(L"SelectionLanguage"), textVariant(L"XPath"));
        doc->setProperty(SysAllocString(L"SelectionNamespaces"),
                         textVariant(L"xmlns:t='http://schemas.microsoft.com/windows/2004/02/mit/task'"));
        IXMLDOMNode* node = nullptr;
        BSTR path = SysAllocString(widen(xpath).c_str());
        result = "<none>";
        BSTR text = nullptr;
        if (doc->selectSingleNode(path, &node) == S_OK && SUCCEEDED(node->get_text(&text)))
            result = narrow(text);
        if (node)
            node->Release();
    }
    doc->Release();
    return result;
}

TEST(LogonTask, DefinitionStartsTheQuotedProgramAtTheUsersLogonWithTheHighestRights)
{
    struct Case {
        const char* program;
        const char* user;
    } cases[] = {
        {"C:\\Program Files\\Padwise\\profiler.exe", "PC\\Ann"},
        {"D:\\Tom & Jerry's <pads>\\profiler.exe", "WORK\\O'Brien & Co"},
        {"C:\\profiler.exe", ""},
    };
    const std::vector<std::pair<const char*, const char*>> fixed = {
        {"t:Task/t:Principals/t:Principal/t:RunLevel", "HighestAvailable"},
        {"t:Task/t:Principals/t:Principal/t:LogonType", "InteractiveToken"},
        {"t:Task/t:Settings/t:ExecutionTimeLimit", "PT0S"},
        {"t:Task/t:Settings/t:DisallowStartIfOnBatteries", "false"},
        {"t:Task/t:Settings/t:StopIfGoingOnBatteries", "false"},
        {"t:Task/t:Triggers/t:LogonTrigger/t:Enabled", "true"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        std::string xml = logonTaskXml(c.program, c.user);
        EXPECT_EQ(taskNode(xml, "t:Task/t:Actions/t:Exec/t:Command"), std::string("\"") + c.program + "\"");
        std::string user = *c.user ? c.user : "<none>";
        EXPECT_EQ(taskNode(xml, "t:Task/t:Triggers/t:LogonTrigger/t:UserId"), user);
        EXPECT_EQ(taskNode(xml, "t:Task/t:Principals/t:Principal/t:UserId"), user);
        for (const auto& node : fixed)
            EXPECT_EQ(taskNode(xml, node.first), node.second) << node.first;
    }
}

// A scheduler that keeps its tasks in memory; what a task starts, and for whom, comes from its
// definition.
class MemoryScheduler : public TaskScheduler {
public:
    std::optional<TaskInfo> task(const std::string& name) override
    {
        if (slow)
            WaitForSingleObject(slow, 5000); // a scheduler busy at logon
        auto found = tasks.find(name);
        return found == tasks.end() ? std::nullopt : std::optional<TaskInfo>(found->second);
    }
    std::vector<std::string> taskNames() override
    {
        std::vector<std::string> names;
        for (const auto& task : tasks)
            names.push_back(task.first);
        return names;
    }
    bool registerTask(const std::string& name, const std::string& xml) override
    {
        calls.push_back("register " + name);
        if (refuse)
            return false;
        std::string command = taskNode(xml, "t:Task/t:Actions/t:Exec/t:Command");
        tasks[name] = {command.substr(1, command.size() - 2),
                       taskNode(xml, "t:Task/t:Principals/t:Principal/t:UserId")};
        return true;
    }
    bool deleteTask(const std::string& name) override
    {
        calls.push_back("delete " + name);
        tasks.erase(name);
        return true;
    }

    std::map<std::string, TaskInfo> tasks;
    std::vector<std::string> calls;
    bool refuse = false;
    HANDLE slow = nullptr; // set: reads answer once it is signalled
};

constexpr const char* ME = "S-1-5-21-7-7-7-1001";
constexpr const char* SOMEONE_ELSE = "S-1-5-21-7-7-7-1002";

// The scheduler has not answered yet: the window, its tray icon and the watch timer are there at
// once, Auto Start waits greyed, and takes the scheduler's answer when it comes.
TEST(AutoStartTask, ASchedulerThatDoesNotAnswerHoldsUpOnlyTheAutoStartItem)
{
    RunEntryGuard guard;
    RunEntryGuard::erase();
    TempSettings settings("slow_scheduler");
    settings.write("[SETTINGS]\r\n");
    auto scheduler = std::make_unique<MemoryScheduler>();
    testlib::Handle answer(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    scheduler->tasks[userTaskName(ME)] = {modulePath(), ME};
    scheduler->slow = answer.get();
    const DWORD start = GetTickCount();
    ProfilerApp app(settings.path, GetModuleHandleA(nullptr),
                    std::make_unique<AutoStart>(modulePath(), true, std::move(scheduler), ME));
    ASSERT_TRUE(app.start());
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_TRUE(app.mainDialog()->trayIcon().isAdded());
    EXPECT_TRUE(KillTimer(app.mainDialog()->window(), WATCH_TIMER)) << "the watcher does not tick";
    HMENU menu = app.mainDialog()->settingsMenu();
    EXPECT_EQ(GetMenuState(menu, CMD_AUTO_START, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), UINT(MF_GRAYED));
    SetEvent(answer.get());
    ASSERT_TRUE(waitAutoStartRead(menu));
    EXPECT_TRUE(GetMenuState(menu, CMD_AUTO_START, MF_BYCOMMAND) & MF_CHECKED);
}

// NT 6 and later: the check mark shows this user's task starting this program; the Run entry of
// this program and the machine's task of earlier versions, when it is this user's, move into it.
TEST(AutoStartTask, CheckMarkToggleAndMigrationFollowThisUsersLogonTask)
{
    RunEntryGuard guard;
    TempSettings settings("logon_task");
    settings.write("[SETTINGS]\r\n");
    const std::string self = modulePath(), other = "C:\\Other\\profiler.exe";
    std::string upper = self;
    CharUpperA(&upper[0]);
    const std::string mine = userTaskName(ME), reg = "register " + mine, del = "delete " + mine;
    using Tasks = std::map<std::string, TaskInfo>;
    struct Case {
        const char* what;
        Tasks before;
        std::optional<std::string> run; // the Run entry before
        bool refuse;                    // the scheduler refuses to register
        bool on;                        // check mark once read
        std::vector<std::string> calls; // scheduler calls of start-up and one toggle
        std::optional<std::string> runAfter;
        std::vector<std::string> tasksAfter;
    } cases[] = {
        {"nothing", {}, {}, false, false, {reg}, {}, {mine}},
        {"my task, this program", {{mine, {upper, ME}}}, {}, false, true, {del}, {}, {}},
        {"my task, another program", {{mine, {other, ME}}}, {}, false, false, {reg}, {}, {mine}},
        {"my task's name, another user", {{mine, {self, SOMEONE_ELSE}}}, {}, false, false, {reg}, {}, {mine}},
        {"Run entry", {}, upper, false, true, {reg, del}, {}, {}},
        {"Run entry, refused", {}, self, true, false, {reg, reg}, self, {}},
        {"Run entry of another", {}, other, false, false, {reg}, other, {mine}},
        {"machine task, mine", {{MACHINE_TASK, {self, ME}}}, {}, false, true,
         {reg, std::string("delete ") + MACHINE_TASK, del}, {}, {}},
        {"machine task, another user's", {{MACHINE_TASK, {self, SOMEONE_ELSE}}}, {}, false, false, {reg}, {},
         {MACHINE_TASK, mine}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RunEntryGuard::write(c.run.value_or(""));
        auto scheduler = std::make_unique<MemoryScheduler>();
        MemoryScheduler& tasks = *scheduler;
        tasks.tasks = c.before;
        tasks.refuse = c.refuse;
        ProfilerApp app(settings.path, GetModuleHandleA(nullptr),
                        std::make_unique<AutoStart>(self, true, std::move(scheduler), ME));
        ASSERT_TRUE(app.start());
        HMENU menu = app.mainDialog()->settingsMenu();
        ASSERT_TRUE(waitAutoStartRead(menu));
        EXPECT_EQ((GetMenuState(menu, CMD_AUTO_START, MF_BYCOMMAND) & MF_CHECKED) != 0, c.on);
        SendMessageA(app.mainDialog()->window(), WM_COMMAND, CMD_AUTO_START, 0);
        const bool after = !c.on && !c.refuse; // a refused registration leaves it off
        EXPECT_EQ((GetMenuState(menu, CMD_AUTO_START, MF_BYCOMMAND) & MF_CHECKED) != 0, after);
        EXPECT_EQ(settings.read("SETTINGS", "AUTORUN"), after ? "1" : "0");
        EXPECT_EQ(tasks.calls, c.calls);
        std::string entry;
        EXPECT_EQ(RunEntryGuard::read(entry) ? std::optional<std::string>(entry) : std::nullopt, c.runAfter);
        EXPECT_EQ(tasks.taskNames(), c.tasksAfter);
        if (after) {
            EXPECT_EQ(tasks.tasks[mine].program, self);
            EXPECT_EQ(tasks.tasks[mine].userId, ME);
        }
    }
}

// The uninstaller's "/unregister": every user's task that starts this program goes, and one whose
// program cannot be read; another copy's task, an unrelated task and another copy's Run entry stay.
TEST(AutoStartTask, UnregisterRemovesOnlyWhatStartsThisProgram)
{
    RunEntryGuard guard;
    const std::string self = modulePath(), other = "D:\\Portable\\profiler.exe";
    for (bool ownEntry : {true, false}) {
        RunEntryGuard::write(ownEntry ? self : other);
        auto scheduler = std::make_unique<MemoryScheduler>();
        MemoryScheduler& tasks = *scheduler;
        tasks.tasks = {{userTaskName(ME), {self, ME}},
                       {userTaskName(SOMEONE_ELSE), {self, SOMEONE_ELSE}},
                       {userTaskName("S-1-5-21-7-7-7-1003"), {other, "S-1-5-21-7-7-7-1003"}},
                       {userTaskName("S-1-5-21-7-7-7-1004"), {"", ""}},
                       {MACHINE_TASK, {other, SOMEONE_ELSE}},
                       {"Backup", {self, ME}}};
        AutoStart autoStart(self, true, std::move(scheduler), ME); // owns `tasks`
        autoStart.removeForEveryUser();
        EXPECT_EQ(tasks.taskNames(),
                  (std::vector<std::string>{"Backup", MACHINE_TASK, userTaskName("S-1-5-21-7-7-7-1003")}));
        std::string entry;
        EXPECT_EQ(RunEntryGuard::read(entry), !ownEntry);
    }
}

// The Windows version Wine reports to every program named profiler.exe, for the test's duration.
class ReportedVersion {
public:
    explicit ReportedVersion(const char* version)
    {
        RegSetKeyValueA(HKEY_CURRENT_USER, KEY, "Version", REG_SZ, version,
                        static_cast<DWORD>(lstrlenA(version) + 1));
    }
    ~ReportedVersion() { RegDeleteTreeA(HKEY_CURRENT_USER, KEY); }

private:
    static constexpr const char* KEY = "Software\\Wine\\AppDefaults\\profiler.exe";
};

TEST(AutoStartProcess, Windows10UsesTheLogonTaskAndXpTheRunKey)
{
    ASSERT_TRUE(startService("Schedule")) << "the task scheduler service did not start";
    // Where Wine keeps the logon task of the user at the desk (the test's user: Wine has no shell
    // window, so the program's own token names the user).
    const std::string taskFile = taskFilePath(userTaskName(desktopUserSid()));
    ASSERT_NE(taskFile.find("Padwise S-1-5-"), std::string::npos) << taskFile;
    RunEntryGuard guard;
    using State = std::pair<bool, bool>; // the task exists, the Run entry exists
    struct Case {
        const char* version;
        bool runEntryBefore;
        State afterStart;
        std::vector<State> afterToggles;
    } cases[] = {
        {"win10", false, {false, false}, {{true, false}, {false, false}}},
        {"win10", true, {true, false}, {}},
        {"winxp64", false, {false, false}, {{false, true}, {false, false}}},
        {"winxp64", true, {false, true}, {{false, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.version) + (c.runEntryBefore ? " with a Run entry" : ""));
        ReportedVersion version(c.version);
        DeleteFileA(taskFile.c_str());
        TempSettings settings("auto_start");
        settings.write("[SETTINGS]\r\n");
        std::string path = placeProgram("profiler.exe", settings.folder);
        RunEntryGuard::write(c.runEntryBefore ? path : "");
        Process profiler = startPlaced(path);
        HWND main = waitDialog(profiler.id(), "Padwise", 20000, Shown::AlsoHidden);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(waitUntil([&] { return trayIconPresent(main); }, 20000)) << "start-up did not end";
        std::string entry;
        auto state = [&] { return State(fileExists(taskFile), RunEntryGuard::read(entry)); };
        EXPECT_TRUE(waitUntil([&] { return state() == c.afterStart; }, 20000)) << "read in the background";
        for (const State& expected : c.afterToggles) {
            SendMessageA(main, WM_COMMAND, CMD_AUTO_START, 0);
            EXPECT_EQ(state(), expected);
            if (expected.second) {
                EXPECT_EQ(entry, path);
            }
        }
    }
    DeleteFileA(taskFile.c_str());
}
} // namespace
