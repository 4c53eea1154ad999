#include "ff_games.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "testlib/process.h"
#include "testlib/temp_dir.h"

namespace {
// The OEM entry that names the pad's effect driver: its VID and PID.
const char* const padOemName = "VID_F055&PID_0240";

// The 32-bit build's binaries, beside this build's tree.
std::string x86Binaries()
{
    return programDirectory() + "\\..\\..\\win32\\bin";
}

// The package INF copies the 32-bit jolter from jolter_x86.dll beside it: that is the 32-bit
// build's jolter.dll, put there before any test installs the package.
class X86Jolter : public ::testing::Environment {
public:
    void SetUp() override
    {
        const std::string from = x86Binaries() + "\\jolter.dll", to = programDirectory() + "\\jolter_x86.dll";
        ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE))
            << from << ": build the 32-bit target first (error " << GetLastError() << ")";
    }
};
const auto* const x86Jolter = ::testing::AddGlobalTestEnvironment(new X86Jolter);

std::string field(const std::string& report, const char* name)
{
    std::string key = std::string(name) + "=";
    size_t at = report.find(key);
    if (at == std::string::npos)
        return "<none>";
    at += key.size();
    return report.substr(at, report.find('\n', at) - at);
}
} // namespace

FfGameRun runFfGame(int bits, unsigned long externalId)
{
    const std::string game = (bits == 32 ? x86Binaries() : programDirectory()) + "\\ff_game.exe";
    const std::string report = tempPath("ff_game_" + std::to_string(bits) + ".txt");
    DeleteFileA(report.c_str());
    Process process(inQuotes(game) + " \"" + padOemName + "\" " + std::to_string(externalId) + " " +
                    inQuotes(report));
    if (!process.started() || !process.wait(30000))
        return {};
    const std::string text = readFile(report);
    return {process.exitCode(), field(text, "dll"), field(text, "machine"), field(text, "result")};
}
