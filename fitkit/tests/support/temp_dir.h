#pragma once
// A temporary folder of a test, removed with everything in it at the end.
#include <windows.h>

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return root; }
    std::string file(const std::string& name) const { return root + "\\" + name; }
    // Writes `text` to `name` (below the folder), creating sub-folders.
    std::string write(const std::string& name, const std::string& text) const;
    std::string makeDir(const std::string& name) const;

private:
    std::string root;
};

bool fileExists(const std::string& path);
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& text);
// The folder of the running test program (where fitkit.exe is built too).
std::string programDirectory();

// Changes the current directory for a scope.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& path);
    ~CurrentDirectory();

private:
    char saved[MAX_PATH] = {};
};
