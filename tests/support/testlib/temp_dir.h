#pragma once
// Temporary folders and files of a test.
#include <windows.h>

#include <string>

// A fresh folder below the temporary folder, removed with everything in it at the end.
class TempDir {
public:
    // tag goes into the folder's name, beside the program's name and the process id.
    explicit TempDir(const std::string& tag = "tmp");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return root_; }
    std::string file(const std::string& name) const { return root_ + "\\" + name; }
    // Writes text to name (below the folder), making its folders; the file's full path.
    std::string write(const std::string& name, const std::string& text) const;
    // Makes the folder name and those above it below this one; its full path.
    std::string makeDir(const std::string& name) const;

private:
    std::string root_;
};

// A path for a file name in the temporary folder, with the program's name and process id in front.
std::string tempPath(const std::string& name);
bool fileExists(const std::string& path);
std::string readFile(const std::string& path); // the bytes; empty when it cannot be read
bool writeFile(const std::string& path, const std::string& text);
// The running test program's path, its base name without extension, and its folder, where the
// programs under test are built too.
std::string programPath();
std::string programName();
std::string programDirectory();

// Changes the current directory for a scope.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& path);
    ~CurrentDirectory();
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    char saved_[MAX_PATH] = {};
};
