#include "testlib/temp_dir.h"

#include <fstream>
#include <sstream>

#include "testlib/owned.h"

namespace {
void removeTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    testlib::FileSearch search(FindFirstFileA((path + "\\*").c_str(), &found));
    for (bool more = search.valid(); more; more = FindNextFileA(search.get(), &found)) {
        std::string name = found.cFileName;
        std::string child = path + "\\" + name;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            removeTree(child);
        } else {
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(child.c_str());
        }
    }
    search.reset();
    RemoveDirectoryA(path.c_str());
}
} // namespace

std::string tempPath(const std::string& name)
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    return std::string(base) + programName() + "-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

TempDir::TempDir(const std::string& tag)
{
    static int serial = 0;
    root_ = tempPath(tag + "-" + std::to_string(++serial));
    removeTree(root_); // left over from an earlier process of this id
    CreateDirectoryA(root_.c_str(), nullptr);
}

TempDir::~TempDir()
{
    removeTree(root_);
}

std::string TempDir::makeDir(const std::string& name) const
{
    for (size_t slash = name.find('\\'); slash != std::string::npos; slash = name.find('\\', slash + 1))
        CreateDirectoryA(file(name.substr(0, slash)).c_str(), nullptr);
    CreateDirectoryA(file(name).c_str(), nullptr);
    return file(name);
}

std::string TempDir::write(const std::string& name, const std::string& text) const
{
    const size_t slash = name.rfind('\\');
    if (slash != std::string::npos)
        makeDir(name.substr(0, slash));
    writeFile(file(name), text);
    return file(name);
}

bool fileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

std::string programPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string programName()
{
    std::string name = programPath();
    name = name.substr(name.rfind('\\') + 1);
    return name.substr(0, name.rfind('.'));
}

std::string programDirectory()
{
    std::string path = programPath();
    return path.substr(0, path.rfind('\\'));
}

CurrentDirectory::CurrentDirectory(const std::string& path)
{
    GetCurrentDirectoryA(MAX_PATH, saved_);
    SetCurrentDirectoryA(path.c_str());
}

CurrentDirectory::~CurrentDirectory()
{
    SetCurrentDirectoryA(saved_);
}
