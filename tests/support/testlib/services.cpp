#include "testlib/services.h"

#include "testlib/owned.h"
#include "testlib/process.h"
#include "testlib/wait.h"

bool startService(const char* name, unsigned timeoutMs)
{
    testlib::Service manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    testlib::Service service(OpenServiceA(manager.get(), name, SERVICE_START | SERVICE_QUERY_STATUS));
    if (!service.valid())
        return false;
    return waitUntil(
        [&] {
            SERVICE_STATUS status = {};
            if (QueryServiceStatus(service.get(), &status) && status.dwCurrentState == SERVICE_RUNNING)
                return true;
            StartServiceA(service.get(), 0, nullptr);
            return false;
        },
        timeoutMs, 200);
}

bool runsUnderWow64()
{
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::string nativeSystemFolder()
{
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + (runsUnderWow64() ? "\\sysnative" : "\\system32");
}

std::string taskFilePath(const std::string& taskName)
{
    return nativeSystemFolder() + "\\tasks\\" + taskName;
}

DWORD createKernelDriverService(const char* name, const std::string& binaryPath)
{
    if (runsUnderWow64()) {
        Process sc(inQuotes(nativeSystemFolder() + "\\sc.exe") + " create " + name +
                   " type= kernel start= demand error= ignore binpath= " + inQuotes(binaryPath));
        if (!sc.started())
            return GetLastError();
        if (!sc.wait(30000))
            return ERROR_TIMEOUT;
        return sc.exitCode();
    }
    testlib::Service manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
    if (!manager.valid())
        return GetLastError();
    testlib::Service service(CreateServiceA(manager.get(), name, name, SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
                                            SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, binaryPath.c_str(),
                                            nullptr, nullptr, nullptr, nullptr, nullptr));
    return service.valid() ? 0 : GetLastError();
}
