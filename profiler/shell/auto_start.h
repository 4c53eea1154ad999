#pragma once
// Auto Start: the "PADWISE" entry of the machine's Run key on Windows 9x and NT 5, a logon task of
// the user at the desk on NT 6 and later, where the Run key does not start a program that asks for
// administrator rights.
#include <memory>
#include <string>

#include "shell/task_scheduler.h"

// The machine's Run key (below HKEY_LOCAL_MACHINE) and this program's value in it.
constexpr const char* RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* RUN_VALUE = "PADWISE";

// The logon task of earlier versions, one per machine, in the scheduler's root folder.
constexpr const char* MACHINE_TASK = "Padwise";

// The name of the logon task of the user with SID text `userSid`, in the scheduler's root folder.
std::string userTaskName(const std::string& userSid);

// Whether Auto Start is a logon task here: NT 6 or later, however the system reports its version.
bool autoStartUsesLogonTask();

class AutoStart {
public:
    // `program`: this program's full path. `logonTask`: the NT 6 way, through `scheduler`, for the
    // user with SID text `userSid` (the user at the desk, not the elevated account).
    AutoStart(std::string program, bool logonTask, std::unique_ptr<TaskScheduler> scheduler,
              std::string userSid = std::string());

    // The Run entry starts this program, or this user's logon task does (paths compared ignoring
    // letter case).
    bool isOn() const;
    // On: writes the entry or registers the task. Off: removes the entry and the task. Returns
    // whether Auto Start is on afterwards: a refused registration leaves it off.
    bool set(bool on);
    // NT 6 and later: a Run entry naming this program, and the machine's task of earlier versions
    // when it is this user's, become this user's task; each goes once that task is registered.
    // Run before isOn.
    void moveRunEntry();
    // The uninstaller's clean-up: every user's logon task, and the Run entry, that starts this
    // program; a task of that name whose program cannot be read goes too. Others are left alone.
    void removeForEveryUser();

private:
    bool registerFor(const std::string& startedProgram);

    std::string program;
    bool logonTask;
    std::unique_ptr<TaskScheduler> scheduler;
    std::string userSid;
};

// Auto Start of the running program on this system, for the user at the desk.
std::unique_ptr<AutoStart> systemAutoStart();
