#include "testlib/services.h"

#include "testlib/owned.h"
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
