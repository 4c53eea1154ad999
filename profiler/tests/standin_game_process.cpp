#include "standin_game_process.h"

#include <shellapi.h>

#include <fstream>
#include <sstream>

std::string programDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\'));
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

ScratchFolder::ScratchFolder(const std::string& name)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    path = std::string(temp) + name + "_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder()
{
    std::string from = path + '\0'; // double-terminated for the shell
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&operation);
}

std::string ScratchFolder::placeGame(const std::string& relativePath) const
{
    std::string target = file(relativePath);
    for (size_t at = target.find('\\', path.size() + 1); at != std::string::npos;
         at = target.find('\\', at + 1))
        CreateDirectoryA(target.substr(0, at).c_str(), nullptr);
    CopyFileA((programDirectory() + "\\standin_game.exe").c_str(), target.c_str(), FALSE);
    return target;
}

bool StandinGame::start(const std::string& exePath, const std::string& options)
{
    end();
    std::string commandLine = "\"" + exePath + "\" " + options;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process = info.hProcess;
    processId = info.dwProcessId;
    return true;
}

bool StandinGame::waitEnd(DWORD timeoutMs, DWORD* exitCode) const
{
    if (!process || WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(process, exitCode);
    return true;
}

void StandinGame::end()
{
    if (!process)
        return;
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
    process = nullptr;
    processId = 0;
}
