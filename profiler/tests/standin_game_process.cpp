#include "tests/standin_game_process.h"

std::string GameFolder::placeGame(const std::string& relativePath) const
{
    size_t slash = relativePath.rfind('\\');
    if (slash != std::string::npos)
        makeDir(relativePath.substr(0, slash));
    placeProgram("standin_game.exe", path(), relativePath);
    return file(relativePath);
}

bool StandinGame::start(const std::string& exePath, const std::string& options)
{
    Process::operator=(Process(inQuotes(exePath) + " " + options));
    return started();
}
