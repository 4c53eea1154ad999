#pragma once
// Copies of the stand-in game (standin_game.exe beside the test program) at chosen paths, started
// by the test and ended when the test is done with them.
#include <windows.h>

#include <string>

#include "testlib/process.h"
#include "testlib/temp_dir.h"

// A temporary folder to put copies of the stand-in game in.
class GameFolder : public TempDir {
public:
    using TempDir::TempDir;
    // Puts a copy of the stand-in game at relativePath (folders made as needed); its full path.
    std::string placeGame(const std::string& relativePath) const;
};

class StandinGame : public Process {
public:
    // Starts the game at `exePath` with the stand-in's options; false when it cannot start.
    bool start(const std::string& exePath, const std::string& options);
};
