#include "fitkit_process.h"

#include "fitkit_ids.h"
#include "testlib/temp_dir.h"
#include "testlib/wait.h"

std::string FitkitProcess::install(const std::string& exeDir)
{
    std::string exe = exeDir + "\\fitkit.exe";
    CopyFileA((programDirectory() + "\\fitkit.exe").c_str(), exe.c_str(), FALSE);
    return exe;
}

FitkitProcess::FitkitProcess(const std::string& exe, const std::string& arguments, const std::string& workDir)
    : process_(inQuotes(exe) + " " + arguments, workDir)
{
}

HWND FitkitProcess::waitForDialog(DWORD limitMs)
{
    HWND dialog = nullptr;
    waitUntil(
        [&] {
            dialog = findDialog(process_.id(), IDC_STATUS);
            return dialog || findBox(process_.id()) || process_.wait(0);
        },
        limitMs);
    sawDialog_ = sawDialog_ || dialog;
    return dialog;
}

SeenBox FitkitProcess::answerBox(int button, DWORD limitMs)
{
    waitUntil(
        [&] {
            sawDialog_ = sawDialog_ || findDialog(process_.id(), IDC_STATUS);
            return findBox(process_.id()) || process_.wait(0);
        },
        limitMs);
    return ::answerBox(process_.id(), button, 0);
}

DWORD FitkitProcess::waitForExit(DWORD limitMs)
{
    return process_.wait(limitMs) ? process_.exitCode() : STILL_ACTIVE;
}
