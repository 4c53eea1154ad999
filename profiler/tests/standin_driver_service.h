#pragma once
// Installs the stand-in kernel driver (standin_driver.sys beside the test program) as a service,
// points its log at a file and its registry watch at a key, and removes it again.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

class StandinDriverService {
public:
    static constexpr const char* SERVICE_NAME = "PadStandin";
    static constexpr const char* DEVICE_PATH = "\\\\.\\PadStandin";

    // logPath: a Win32 path; watchKey: a path below HKEY_LOCAL_MACHINE. 0 or a Windows error code.
    DWORD install(const std::string& logPath, const std::string& watchKey);
    void remove();
    ~StandinDriverService() { remove(); }

    // The whole log as written so far; waits up to timeoutMs for `until` to appear when given.
    std::string log(const char* until = nullptr, DWORD timeoutMs = 3000) const;
    // Waits (briefly) until every open has seen its close: the driver receives the close later.
    void settle() const;
    // Empties the log once the last close has arrived.
    void clearLog() const
    {
        settle();
        DeleteFileA(logFile.c_str());
    }

    std::string logFile;
    bool installed = false;
};

// How often `word` occurs in a log.
size_t countOf(const std::string& text, const char* word);

// A suite whose tests share one stand-in driver: its SetUpTestSuite calls installDriver, and the
// driver is removed after the last test.
class StandinDriverTest : public ::testing::Test {
protected:
    static void installDriver(const std::string& logName, const std::string& watchKey);
    static void TearDownTestSuite() { driver.reset(); }

    static inline std::unique_ptr<StandinDriverService> driver;
    static inline DWORD driverError = 0; // of the install; each test's SetUp asserts it is 0
};
