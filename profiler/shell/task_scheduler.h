#pragma once
// Tasks of the system's task scheduler (NT 6 and later), in its root folder.
#include <optional>
#include <string>

class TaskScheduler {
public:
    virtual ~TaskScheduler() = default;
    // The program that the task's first action starts, without quotes; none when there is no such
    // task or it starts no program.
    virtual std::optional<std::string> taskProgram(const std::string& name) = 0;
    // Creates or replaces the task from its XML definition.
    virtual bool registerTask(const std::string& name, const std::string& xml) = 0;
    virtual bool deleteTask(const std::string& name) = 0;
};

// The scheduler's COM service, created at run time (taskschd.dll is never imported). Every call
// fails where the service does not exist.
class ComTaskScheduler : public TaskScheduler {
public:
    std::optional<std::string> taskProgram(const std::string& name) override;
    bool registerTask(const std::string& name, const std::string& xml) override;
    bool deleteTask(const std::string& name) override;
};

// The definition of a task that starts `program` (its full path, quoted) with the highest rights
// when `user` logs on interactively: no time limit, on battery as on mains, normal priority. An
// empty user leaves the trigger to any user's logon and the principal to the registering user.
std::string logonTaskXml(const std::string& program, const std::string& user);

// "DOMAIN\name" of the user this process runs as; empty when it cannot be found.
std::string currentUserName();
