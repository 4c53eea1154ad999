#include "profiler_stage.h"

#include <windows.h>

#include "testlib/process.h"

ProfilerStage::ProfilerStage(const std::string& folder, const std::string& gameName)
    : folder_(folder), gameName_(gameName)
{
    CreateDirectoryA(folder_.c_str(), nullptr);
    ready_ = !placeProgram("profiler.exe", folder_).empty() &&
             !placeProgram("standin_game.exe", folder_, gameName_).empty();
}

ProfilerStage::~ProfilerStage()
{
    for (const std::string& file : {programPath(), gamePath(), folder_ + "\\profiler.INI"})
        DeleteFileA(file.c_str());
    RemoveDirectoryA(folder_.c_str());
}

void ProfilerStage::set(const std::string& section,
                        std::initializer_list<std::pair<const char*, std::string>> values) const
{
    for (const auto& value : values)
        WritePrivateProfileStringA(section.c_str(), value.first, value.second.c_str(),
                                   (folder_ + "\\profiler.INI").c_str());
}
