#include "tests/standin_driver_service.h"

#include "testlib/owned.h"
#include "testlib/registry.h"
#include "testlib/services.h"
#include "testlib/temp_dir.h"
#include "testlib/wait.h"

namespace {
void stopAndDelete(SC_HANDLE manager)
{
    testlib::Service service(OpenServiceA(manager, StandinDriverService::SERVICE_NAME, SERVICE_ALL_ACCESS));
    if (!service.valid())
        return;
    SERVICE_STATUS status = {};
    ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
    DeleteService(service.get());
}
} // namespace

DWORD StandinDriverService::install(const std::string& logPath, const std::string& watchKey)
{
    logFile = logPath;
    clearLog();
    testlib::Service manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager.valid())
        return GetLastError();
    stopAndDelete(manager.get()); // left over from an interrupted run
    DWORD created = createKernelDriverService(SERVICE_NAME, programDirectory() + "\\standin_driver.sys");
    if (created)
        return created;
    testlib::Service service(OpenServiceA(manager.get(), SERVICE_NAME, SERVICE_ALL_ACCESS));
    if (!service.valid())
        return GetLastError();
    installed = true;
    std::string serviceKey = std::string("System\\CurrentControlSet\\Services\\") + SERVICE_NAME;
    if (!setRegText(serviceKey, "LogFile", "\\??\\" + logPath) ||
        !setRegText(serviceKey, "WatchKey", "\\Registry\\Machine\\" + watchKey))
        return ERROR_FILE_NOT_FOUND;
    return StartServiceA(service.get(), 0, nullptr) ? 0 : GetLastError();
}

void StandinDriverService::remove()
{
    if (!installed)
        return;
    installed = false;
    testlib::Service manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (manager.valid())
        stopAndDelete(manager.get());
    clearLog();
}

std::string StandinDriverService::log(const char* until, DWORD timeoutMs) const
{
    std::string all;
    waitUntil(
        [&] {
            all = readFile(logFile);
            return !until || all.find(until) != std::string::npos;
        },
        timeoutMs);
    return all;
}

size_t countOf(const std::string& text, const char* word)
{
    size_t n = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++n;
    return n;
}

void StandinDriverService::settle() const
{
    waitUntil(
        [&] {
            std::string all = log();
            return countOf(all, "create") <= countOf(all, "close");
        },
        3000);
}

void StandinDriverTest::installDriver(const std::string& logName, const std::string& watchKey)
{
    driver = std::make_unique<StandinDriverService>();
    driverError = driver->install(tempPath(logName), watchKey);
}
