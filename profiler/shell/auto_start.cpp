#include "shell/auto_start.h"

#include <windows.h>

#include <optional>

#include "shell/module_path.h"
#include "store/reg_key.h"

namespace {
constexpr const char* RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* RUN_VALUE = "PADWISE";
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

AutoStart::AutoStart(std::string programPath, bool useLogonTask, std::unique_ptr<TaskScheduler> taskScheduler)
    : program(std::move(programPath)), logonTask(useLogonTask), scheduler(std::move(taskScheduler))
{
}

bool AutoStart::isOn() const
{
    std::optional<std::string> starts = logonTask ? scheduler->taskProgram(AUTO_START_TASK) : readRunEntry();
    return starts && samePath(*starts, program);
}

bool AutoStart::set(bool on)
{
    if (!logonTask) {
        writeRunEntry(on ? &program : nullptr);
        return isOn();
    }
    if (on)
        return scheduler->registerTask(AUTO_START_TASK, logonTaskXml(program, currentUserName()));
    const bool deleted = scheduler->deleteTask(AUTO_START_TASK);
    writeRunEntry(nullptr);
    return !deleted;
}

void AutoStart::moveRunEntry()
{
    if (!logonTask)
        return;
    std::optional<std::string> entry = readRunEntry();
    if (entry && samePath(*entry, program) &&
        scheduler->registerTask(AUTO_START_TASK, logonTaskXml(program, currentUserName())))
        writeRunEntry(nullptr);
}

std::unique_ptr<AutoStart> systemAutoStart()
{
    return std::make_unique<AutoStart>(modulePath(), autoStartUsesLogonTask(),
                                       std::make_unique<ComTaskScheduler>());
}
