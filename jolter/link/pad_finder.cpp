#include "link/pad_finder.h"

#include <windows.h>
#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}

#include "link/direct_input.h"
#include "link/platform_checks.h"

const char PAD_PRODUCT[] = "KPX240";

namespace {

constexpr size_t DETAIL_BUFFER_SIZE = 256;
constexpr size_t PATH_BUFFER_SIZE = DETAIL_BUFFER_SIZE;
constexpr size_t GIVEN_PATH_SIZE = 512;
constexpr size_t PRODUCT_BUFFER_SIZE = 256;

GUID hidClassGuid()
{
    GUID guid;
    HidD_GetHidGuid(&guid);
    return guid;
}

class SystemHidInterfaces : public HidInterfaceList {
public:
    // The list is asked for only when the search needs it: a bind to a given interface lists nothing.
    bool valid() override
    {
        if (!listed_) {
            listed_ = true;
            hidGuid_ = hidClassGuid();
            devices_.reset(
                SetupDiGetClassDevsA(&hidGuid_, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
        }
        return devices_.valid();
    }

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

    UniqueHandle open(const char* path, DWORD access) override
    {
        return UniqueHandle(CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    }

    bool productString(HANDLE device, WCHAR* buffer, ULONG bytes) override
    {
        return HidD_GetProductString(device, buffer, bytes) != FALSE;
    }

private:
    bool listed_ = false;
    GUID hidGuid_ = {};
    DeviceInfoList devices_; // released on every exit of the search
};

// Whether the device at `path` is the pad, queried through an open without access rights: a
// device that another program holds exclusively is not disturbed.
bool isPad(const char* product, const char* path, HidInterfaceList& interfaces)
{
    const UniqueHandle probe = interfaces.open(path, 0);
    if (!probe.valid())
        return false;
    WCHAR productString[PRODUCT_BUFFER_SIZE / sizeof(WCHAR)];
    ZeroMemory(productString, sizeof(productString));
    return interfaces.productString(probe.get(), productString, sizeof(productString)) &&
           productMatches(product, productString, sizeof(productString) / sizeof(WCHAR));
}

UniqueHandle openPadPath(const char* path, HidInterfaceList& interfaces)
{
    return interfaces.open(path, GENERIC_READ | GENERIC_WRITE);
}

// Device interface paths are ASCII; a path that does not convert exactly, or does not fit, is none.
bool narrowPath(const WCHAR* wide, char* path, size_t size)
{
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, path,
                                           static_cast<int>(size), nullptr, &lossy);
    return length > 0 && !lossy;
}

// The first listed interface that is the pad, opened for reading and writing.
UniqueHandle searchPad(const char* product, HidInterfaceList& interfaces)
{
    if (!interfaces.valid())
        return UniqueHandle();
    char path[PATH_BUFFER_SIZE];
    for (DWORD index = 0;; ++index) {
        const HidInterfaceList::PathResult listed = interfaces.devicePath(index, path, sizeof(path));
        if (listed == HidInterfaceList::NO_MORE_INTERFACES)
            return UniqueHandle();
        if (listed != HidInterfaceList::PATH_READ)
            continue;
        path[sizeof(path) - 1] = '\0';
        if (isPad(product, path, interfaces))
            return openPadPath(path, interfaces);
    }
}

} // namespace

const WCHAR* givenInterface(const void* hidData)
{
    const auto* info = static_cast<const DIHIDFFINITINFO*>(hidData);
    if (!info || info->dwSize < sizeof(DIHIDFFINITINFO))
        return nullptr;
    return info->pwszDeviceInterface;
}

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

UniqueHandle findPadAmong(const char* product, const WCHAR* given, HidInterfaceList& interfaces)
{
    char path[GIVEN_PATH_SIZE];
    // A given pad that then cannot be opened is not replaced by another pad.
    if (given && narrowPath(given, path, sizeof(path)) && isPad(product, path, interfaces))
        return openPadPath(path, interfaces);
    return searchPad(product, interfaces);
}

UniqueHandle findPadDevice(const char* product, const WCHAR* given)
{
    SystemHidInterfaces interfaces;
    return findPadAmong(product, given, interfaces);
}
