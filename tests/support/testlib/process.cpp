#include "testlib/process.h"

#include "testlib/temp_dir.h"

#include <utility>
#include <vector>

Process::Process(const std::string& commandLine, const std::string& directory, DWORD flags)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &info))
        return;
    CloseHandle(info.hThread);
    process_ = testlib::Handle(info.hProcess);
    id_ = info.dwProcessId;
}

Process::Process(const std::wstring& commandLine, const std::wstring& directory)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &info))
        return;
    CloseHandle(info.hThread);
    process_ = testlib::Handle(info.hProcess);
    id_ = info.dwProcessId;
}

Process::Process(Process&& other) noexcept
    : process_(std::move(other.process_)), id_(std::exchange(other.id_, 0))
{
}

Process& Process::operator=(Process&& other) noexcept
{
    if (this != &other) {
        end();
        process_ = std::move(other.process_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

bool Process::wait(unsigned timeoutMs) const
{
    return started() && WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD Process::exitCode() const
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

void Process::terminate(UINT code)
{
    TerminateProcess(process_.get(), code);
}

void Process::end()
{
    if (running()) {
        terminate();
        wait(5000);
    }
    process_.reset();
    id_ = 0;
}

std::string inQuotes(const std::string& path)
{
    return "\"" + path + "\"";
}

std::string placeProgram(const std::string& program, const std::string& folder, const std::string& name)
{
    const std::string path = folder + "\\" + (name.empty() ? program : name);
    const std::string source = programDirectory() + "\\" + program;
    return CopyFileA(source.c_str(), path.c_str(), FALSE) ? path : std::string();
}

Process startPlaced(const std::string& path, const std::string& arguments)
{
    return Process(inQuotes(path) + arguments, path.substr(0, path.find_last_of('\\')));
}
