#include "shell/auto_start.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "shell/desktop_user.h"
#include "shell/module_path.h"
#include "store/reg_key.h"

namespace {
constexpr DWORD RUN_VALUE_LIMIT = 260;

bool samePath(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// The Run entry's text; none when the key or the value cannot be read.
std::optional<std::string> readRunEntry()
{
    RegKey run;
    std::string entry;
    if (run.open(HKEY_LOCAL_MACHINE, RUN_KEY, KEY_ALL_ACCESS) != ERROR_SUCCESS ||
        run.queryText(RUN_VALUE, entry, RUN_VALUE_LIMIT) != ERROR_SUCCESS)
        return std::nullopt;
    return entry;
}

void writeRunEntry(const std::string* program)
{
    RegKey run;
    run.open(HKEY_LOCAL_MACHINE, RUN_KEY, KEY_ALL_ACCESS);
    if (program)
        run.setText("", RUN_VALUE, *program);
    else
        run.deleteValue(RUN_VALUE);
}
} // namespace

bool autoStartUsesLogonTask()
{
    // Without a manifest that names it, Windows 10 reports 6.2: the major version decides.
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           version.dwMajorVersion >= 6;
}

std::string userTaskName(const std::string& userSid)
{
    return userSid.empty() ? std::string(MACHINE_TASK) : std::string(MACHINE_TASK) + " " + userSid;
}

AutoStart::AutoStart(std::string programPath, bool useLogonTask, std::unique_ptr<TaskScheduler> taskScheduler,
                     std::string sid)
    : program(std::move(programPath)), logonTask(useLogonTask), scheduler(std::move(taskScheduler)),
      userSid(std::move(sid))
{
}

bool AutoStart::isOn() const
{
    if (!logonTask) {
        std::optional<std::string> entry = readRunEntry();
        return entry && samePath(*entry, program);
    }
    // A task whose principal names no user runs for the user it is named after.
    std::optional<TaskInfo> task = scheduler->task(userTaskName(userSid));
    return task && samePath(task->program, program) &&
           (task->userId.empty() || sameUser(task->userId, userSid));
}

bool AutoStart::registerFor(const std::string& startedProgram)
{
    return scheduler->registerTask(userTaskName(userSid), logonTaskXml(startedProgram, userSid));
}

bool AutoStart::set(bool on)
{
    if (!logonTask) {
        writeRunEntry(on ? &program : nullptr);
        return isOn();
    }
    if (on)
        return registerFor(program);
    const bool deleted = scheduler->deleteTask(userTaskName(userSid));
    writeRunEntry(nullptr);
    return !deleted;
}

void AutoStart::moveRunEntry()
{
    if (!logonTask)
        return;
    std::optional<std::string> entry = readRunEntry();
    if (entry && samePath(*entry, program) && registerFor(program))
        writeRunEntry(nullptr);
    // The machine's task keeps the program it starts; another user's is left to that user.
    std::optional<TaskInfo> machine = scheduler->task(MACHINE_TASK);
    if (machine && !machine->program.empty() && sameUser(machine->userId, userSid) &&
        userTaskName(userSid) != MACHINE_TASK && registerFor(machine->program))
        scheduler->deleteTask(MACHINE_TASK);
}

void AutoStart::removeForEveryUser()
{
    std::optional<std::string> entry = readRunEntry();
    if (entry && samePath(*entry, program))
        writeRunEntry(nullptr);
    if (!logonTask)
        return;
    std::vector<std::string> names = scheduler->taskNames();
    names.push_back(userTaskName(userSid)); // also where the scheduler lists no tasks
    names.push_back(MACHINE_TASK);
    const std::string userPrefix = std::string(MACHINE_TASK) + " ";
    for (const std::string& name : names) {
        if (name != MACHINE_TASK && name.compare(0, userPrefix.size(), userPrefix) != 0)
            continue;
        std::optional<TaskInfo> task = scheduler->task(name);
        if (task && (task->program.empty() || samePath(task->program, program)))
            scheduler->deleteTask(name);
    }
}

std::unique_ptr<AutoStart> systemAutoStart()
{
    return std::make_unique<AutoStart>(modulePath(), autoStartUsesLogonTask(),
                                       std::make_unique<ComTaskScheduler>(), desktopUserSid());
}
