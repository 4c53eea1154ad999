#pragma once
// Copies of the stand-in game (standin_game.exe beside the test program) at chosen paths, started
// by the test and ended when the test is done with them.
#include <windows.h>

#include <string>

// A scratch folder of the test under the temporary folder, removed with everything in it.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Puts a copy of the stand-in game at relativePath (folders made as needed); its full path.
    std::string placeGame(const std::string& relativePath) const;
    std::string file(const std::string& relativePath) const { return path + "\\" + relativePath; }

    std::string path;
};

class StandinGame {
public:
    StandinGame() = default;
    ~StandinGame() { end(); }
    StandinGame(const StandinGame&) = delete;
    StandinGame& operator=(const StandinGame&) = delete;

    // Starts the game at `exePath` with the stand-in's options; false when it cannot start.
    bool start(const std::string& exePath, const std::string& options);
    // True when it has ended within timeoutMs; its exit code then in `exitCode`.
    bool waitEnd(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
    bool running() const { return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }
    void end();

    HANDLE process = nullptr;
    DWORD processId = 0;
};

std::string programDirectory();
std::string readFile(const std::string& path);
