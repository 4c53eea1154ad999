#pragma once
// Tasks of the system's task scheduler (NT 6 and later), in its root folder.
#include <optional>
#include <string>
#include <vector>

// What a registered task starts and for whom: the program of its first action (without quotes, empty
// when it starts none) and its principal's user (SID or account name, empty when it names none).
struct TaskInfo {
    std::string program;
    std::string userId;
};

class TaskScheduler {
public:
    virtual ~TaskScheduler() = default;
    // None when there is no such task (or no scheduler).
    virtual std::optional<TaskInfo> task(const std::string& name) = 0;
    // The names of the tasks in the root folder, hidden ones too.
    virtual std::vector<std::string> taskNames() = 0;
    // Creates or replaces the task from its XML definition.
    virtual bool registerTask(const std::string& name, const std::string& xml) = 0;
    virtual bool deleteTask(const std::string& name) = 0;
};

// The scheduler's COM service, created at run time (taskschd.dll is never imported). Every call
// fails where the service does not exist.
class ComTaskScheduler : public TaskScheduler {
public:
    std::optional<TaskInfo> task(const std::string& name) override;
    std::vector<std::string> taskNames() override;
    bool registerTask(const std::string& name, const std::string& xml) override;
    bool deleteTask(const std::string& name) override;
};

// The definition of a task that starts `program` (its full path, quoted) with the highest rights
// when `user` (a SID or an account name) logs on interactively: no time limit, on battery as on mains, normal priority. An
// empty user leaves the trigger to any user's logon and the principal to the registering user.
std::string logonTaskXml(const std::string& program, const std::string& user);
