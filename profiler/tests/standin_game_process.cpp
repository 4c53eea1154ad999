#include "tests/standin_game_process.h"

std::string GameFolder::placeGame(const std::string& relativePath) const
{
    size_t slash = relativePath.rfind('\\');
    if (slash != std::string::npos)
        makeDir(relativePath.substr(0, slash));
    std::string target = file(relativePath);
    CopyFileA((programDirectory() + "\\standin_game.exe").c_str(), target.c_str(), FALSE);
    return target;
}

bool StandinGame::start(const std::string& exePath, const std::string& options)
{
    Process::operator=(Process(inQuotes(exePath) + " " + options));
    return started();
}
