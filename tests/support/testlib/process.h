#pragma once
// A program that a test starts: its id and handle, its end and exit code. One still running when
// its object goes is terminated.
#include <windows.h>

#include <string>

#include "testlib/owned.h"

class Process {
public:
    Process() = default; // no process
    // Starts commandLine in directory (the current one when empty) with CreateProcessA's creation
    // flags; check started().
    explicit Process(const std::string& commandLine, const std::string& directory = {}, DWORD flags = 0);
    // The same with CreateProcessW, for paths outside the test's code page (testlib/unicode.h).
    Process(const std::wstring& commandLine, const std::wstring& directory);
    ~Process() { end(); }
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept; // ends the process held before

    bool started() const { return process_.valid(); }
    DWORD id() const { return id_; }
    HANDLE handle() const { return process_.get(); }
    bool running() const { return started() && !wait(0); }
    // Whether it has ended within timeoutMs (false when none was started).
    bool wait(unsigned timeoutMs) const;
    DWORD exitCode() const; // STILL_ACTIVE while it runs
    void terminate(UINT code = 1);
    // Terminates it when it still runs, waits for its end and lets it go.
    void end();

private:
    testlib::Handle process_;
    DWORD id_ = 0;
};

// A path in double quotes, as the program part of a command line.
std::string inQuotes(const std::string& path);

// Copies `program`, a file beside the test program, into `folder` (which exists) as `name`, its own
// name when empty: the copy's path, empty when the copy failed.
std::string placeProgram(const std::string& program, const std::string& folder, const std::string& name = {});
// Starts the program at `path` in its own folder (where its settings file is), `arguments` after
// its quoted path; check started().
Process startPlaced(const std::string& path, const std::string& arguments = {});
