#pragma once
// Auto Start: the "PADWISE" entry of the machine's Run key on Windows 9x and NT 5, a logon task on
// NT 6 and later, where the Run key does not start a program that asks for administrator rights.
#include <memory>
#include <string>

#include "shell/task_scheduler.h"

// The logon task's name in the scheduler's root folder (the uninstaller deletes it by this name).
constexpr const char* AUTO_START_TASK = "Padwise";

// Whether Auto Start is a logon task here: NT 6 or later, however the system reports its version.
bool autoStartUsesLogonTask();

class AutoStart {
public:
    // `program`: this program's full path. `logonTask`: the NT 6 way, through `scheduler`.
    AutoStart(std::string program, bool logonTask, std::unique_ptr<TaskScheduler> scheduler);

    // The Run entry, or the logon task, starts this program (paths compared ignoring letter case).
    bool isOn() const;
    // On: writes the entry or registers the task. Off: removes the entry and the task. Returns
    // whether Auto Start is on afterwards: a refused registration leaves it off.
    bool set(bool on);
    // NT 6 and later: a Run entry naming this program becomes the logon task; the entry goes once
    // the task is registered. Run at start-up, before isOn.
    void moveRunEntry();

private:
    std::string program;
    bool logonTask;
    std::unique_ptr<TaskScheduler> scheduler;
};

// Auto Start of the running program on this system.
std::unique_ptr<AutoStart> systemAutoStart();
