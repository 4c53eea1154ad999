#include "standin_driver_service.h"

#include <fstream>
#include <sstream>

namespace {
class ServiceHandle {
public:
    explicit ServiceHandle(SC_HANDLE h) : handle(h) {}
    ~ServiceHandle()
    {
        if (handle)
            CloseServiceHandle(handle);
    }
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;
    SC_HANDLE handle;
};

std::string programDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\') + 1);
}

void stopAndDelete(SC_HANDLE manager)
{
    ServiceHandle service(OpenServiceA(manager, StandinDriverService::SERVICE_NAME, SERVICE_ALL_ACCESS));
    if (!service.handle)
        return;
    SERVICE_STATUS status = {};
    ControlService(service.handle, SERVICE_CONTROL_STOP, &status);
    DeleteService(service.handle);
}
} // namespace

DWORD StandinDriverService::install(const std::string& logPath, const std::string& watchKey)
{
    logFile = logPath;
    clearLog();
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager.handle)
        return GetLastError();
    stopAndDelete(manager.handle); // left over from an interrupted run
    std::string binary = programDirectory() + "standin_driver.sys";
    ServiceHandle service(CreateServiceA(manager.handle, SERVICE_NAME, SERVICE_NAME, SERVICE_ALL_ACCESS,
                                         SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                         binary.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    if (!service.handle)
        return GetLastError();
    installed = true;
    HKEY key = nullptr;
    std::string serviceKey = std::string("System\\CurrentControlSet\\Services\\") + SERVICE_NAME;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, serviceKey.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return ERROR_FILE_NOT_FOUND;
    std::string ntLog = "\\??\\" + logPath;
    std::string ntWatch = "\\Registry\\Machine\\" + watchKey;
    RegSetValueExA(key, "LogFile", 0, REG_SZ, reinterpret_cast<const BYTE*>(ntLog.c_str()),
                   static_cast<DWORD>(ntLog.size() + 1));
    RegSetValueExA(key, "WatchKey", 0, REG_SZ, reinterpret_cast<const BYTE*>(ntWatch.c_str()),
                   static_cast<DWORD>(ntWatch.size() + 1));
    RegCloseKey(key);
    if (!StartServiceA(service.handle, 0, nullptr))
        return GetLastError();
    return 0;
}

void StandinDriverService::remove()
{
    if (!installed)
        return;
    installed = false;
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (manager.handle)
        stopAndDelete(manager.handle);
    clearLog();
}

std::string StandinDriverService::log(const char* until, DWORD timeoutMs) const
{
    DWORD start = GetTickCount();
    for (;;) {
        std::ifstream in(logFile, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        std::string all = text.str();
        if (!until || all.find(until) != std::string::npos || GetTickCount() - start >= timeoutMs)
            return all;
        Sleep(20);
    }
}

namespace {
size_t countOf(const std::string& text, const char* word)
{
    size_t n = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++n;
    return n;
}
} // namespace

void StandinDriverService::settle() const
{
    DWORD start = GetTickCount();
    for (;;) {
        std::string all = log();
        if (countOf(all, "create") <= countOf(all, "close") || GetTickCount() - start >= 3000)
            return;
        Sleep(20);
    }
}
