#include "testlib/fitkit_run.h"

#include "fitkit_ids.h"
#include "testlib/temp_dir.h"
#include "testlib/wait.h"

std::string FitkitRun::builtExe()
{
    return programDirectory() + "\\fitkit.exe";
}

std::string FitkitRun::copyTo(const std::string& exeDir)
{
    std::string exe = exeDir + "\\fitkit.exe";
    CopyFileA(builtExe().c_str(), exe.c_str(), FALSE);
    return exe;
}

FitkitRun::FitkitRun(const std::string& exe, const std::string& arguments, const std::string& workDir)
    : process_(inQuotes(exe) + " " + arguments, workDir)
{
}

FitkitRun::~FitkitRun()
{
    if (dialog_ && !process_.wait(0))
        exit();
}

HWND FitkitRun::waitForDialog(DWORD limitMs)
{
    HWND found = nullptr;
    waitUntil(
        [&] {
            found = findDialog(process_.id(), IDC_STATUS);
            return found || findBox(process_.id()) || process_.wait(0);
        },
        limitMs);
    sawDialog_ = sawDialog_ || found;
    if (found)
        dialog_ = found;
    return found;
}

std::string FitkitRun::status() const
{
    return controlText(dialog_, IDC_STATUS);
}

bool FitkitRun::enabled(int button) const
{
    return controlEnabled(dialog_, button);
}

bool FitkitRun::waitStatus(const std::string& prefix, DWORD limitMs) const
{
    return waitUntil([&] { return status().compare(0, prefix.size(), prefix) == 0; }, limitMs, 50);
}

SeenBox FitkitRun::answerBox(int button, DWORD limitMs)
{
    waitUntil(
        [&] {
            sawDialog_ = sawDialog_ || findDialog(process_.id(), IDC_STATUS);
            return findBox(process_.id()) || process_.wait(0);
        },
        limitMs);
    return ::answerBox(process_.id(), button, 0);
}

std::vector<std::string> FitkitRun::press(int button, std::initializer_list<int> answers, DWORD limitMs)
{
    std::vector<std::string> texts;
    pressButton(dialog_, button);
    for (int answer : answers)
        texts.push_back(answerBox(answer, limitMs).text);
    return texts;
}

bool FitkitRun::exit(DWORD limitMs)
{
    pressButton(dialog_, IDOK);
    return process_.wait(limitMs);
}

DWORD FitkitRun::waitForExit(DWORD limitMs)
{
    return process_.wait(limitMs) ? process_.exitCode() : STILL_ACTIVE;
}
