#include "profiler_stage.h"

#include <windows.h>

#include "testlib/temp_dir.h"

ProfilerStage::ProfilerStage(const std::string& folder, const std::string& gameName)
    : folder_(folder), gameName_(gameName)
{
    CreateDirectoryA(folder_.c_str(), nullptr);
    std::string bin = programDirectory();
    ready_ = CopyFileA((bin + "\\profiler.exe").c_str(), programPath().c_str(), FALSE) &&
             CopyFileA((bin + "\\standin_game.exe").c_str(), gamePath().c_str(), FALSE);
}

ProfilerStage::~ProfilerStage()
{
    for (const std::string& file : {programPath(), gamePath(), folder_ + "\\profiler.INI"})
        DeleteFileA(file.c_str());
    RemoveDirectoryA(folder_.c_str());
}

void ProfilerStage::set(const std::string& section, const std::string& key, const std::string& value) const
{
    WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                               (folder_ + "\\profiler.INI").c_str());
}
