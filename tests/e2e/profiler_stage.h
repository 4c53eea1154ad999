// A folder with a copy of profiler.exe and its settings file, and a stand-in game to watch for.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

class ProfilerStage {
public:
    // Makes the folder, copies profiler.exe and the stand-in game (as gameName) into it.
    explicit ProfilerStage(const std::string& folder, const std::string& gameName);
    ~ProfilerStage(); // removes the folder
    ProfilerStage(const ProfilerStage&) = delete;
    ProfilerStage& operator=(const ProfilerStage&) = delete;

    bool ready() const { return ready_; }
    std::string programPath() const { return folder_ + "\\profiler.exe"; }
    std::string gamePath() const { return folder_ + "\\" + gameName_; }
    std::string folder() const { return folder_; }
    // Writes key=value lines into a section of the settings file (profiler.INI beside the program).
    void set(const std::string& section,
             std::initializer_list<std::pair<const char*, std::string>> values) const;

private:
    std::string folder_;
    std::string gameName_;
    bool ready_ = false;
};
