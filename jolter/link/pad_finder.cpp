#include "link/pad_finder.h"

#include <windows.h>
#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}

#include "link/platform_checks.h"

const char PAD_PRODUCT[] = "KPX240";

namespace {

constexpr size_t DETAIL_BUFFER_SIZE = 256;
constexpr size_t PATH_BUFFER_SIZE = DETAIL_BUFFER_SIZE;
constexpr size_t PRODUCT_BUFFER_SIZE = 256;

GUID hidClassGuid()
{
    GUID guid;
    HidD_GetHidGuid(&guid);
    return guid;
}

class SystemHidInterfaces : public HidInterfaceList {
public:
    SystemHidInterfaces()
        : hidGuid_(hidClassGuid()),
          devices_(SetupDiGetClassDevsA(&hidGuid_, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE))
    {
    }

    bool valid() override { return devices_.valid(); }

    PathResult devicePath(DWORD index, char* path, size_t size) override
    {
        SP_DEVICE_INTERFACE_DATA iface = {};
        iface.cbSize = sizeof(iface);
        // ERROR_NO_MORE_ITEMS past the last interface; any other failure would repeat for every
        // later index, so it ends the list too.
        if (!SetupDiEnumDeviceInterfaces(devices_.get(), nullptr, &hidGuid_, index, &iface))
            return NO_MORE_INTERFACES;

        union {
            SP_DEVICE_INTERFACE_DETAIL_DATA_A detail;
            BYTE bytes[DETAIL_BUFFER_SIZE];
        } buffer;
        ZeroMemory(&buffer, sizeof(buffer));
        buffer.detail.cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        if (!SetupDiGetDeviceInterfaceDetailA(devices_.get(), &iface, &buffer.detail, sizeof(buffer), nullptr,
                                              nullptr))
            return PATH_UNREADABLE;
        lstrcpynA(path, buffer.detail.DevicePath, static_cast<int>(size));
        return PATH_READ;
    }

    UniqueHandle open(const char* path) override
    {
        return UniqueHandle(CreateFileA(path, GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                        nullptr));
    }

    bool productString(HANDLE device, WCHAR* buffer, ULONG bytes) override
    {
        return HidD_GetProductString(device, buffer, bytes) != FALSE;
    }

private:
    GUID hidGuid_;
    DeviceInfoList devices_; // released on every exit of the search
};

} // namespace

bool productMatches(const char* wanted, const WCHAR* product, size_t productUnits)
{
    for (size_t i = 0; wanted[i] != '\0'; ++i) {
        if (i >= productUnits)
            return false;
        if (static_cast<BYTE>(product[i] & 0xFF) != static_cast<BYTE>(wanted[i]))
            return false;
    }
    return true;
}

UniqueHandle findPadAmong(const char* product, HidInterfaceList& interfaces)
{
    if (!interfaces.valid())
        return UniqueHandle();
    char path[PATH_BUFFER_SIZE];
    WCHAR productString[PRODUCT_BUFFER_SIZE / sizeof(WCHAR)];
    for (DWORD index = 0;; ++index) {
        const HidInterfaceList::PathResult listed = interfaces.devicePath(index, path, sizeof(path));
        if (listed == HidInterfaceList::NO_MORE_INTERFACES)
            return UniqueHandle();
        // Keyboards and mice are held exclusively by the system on NT and cannot be opened for
        // writing; they, and any interface that cannot be read, are passed over.
        if (listed != HidInterfaceList::PATH_READ)
            continue;
        path[sizeof(path) - 1] = '\0';
        const UniqueHandle probe = interfaces.open(path);
        if (!probe.valid())
            continue;
        ZeroMemory(productString, sizeof(productString));
        if (!interfaces.productString(probe.get(), productString, sizeof(productString)))
            continue;
        if (productMatches(product, productString, sizeof(productString) / sizeof(WCHAR)))
            return interfaces.open(path);
    }
}

UniqueHandle findPadDevice(const char* product)
{
    SystemHidInterfaces interfaces;
    return findPadAmong(product, interfaces);
}
