#include "link/pad_finder.h"

#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}

#include "link/handles.h"
#include "link/platform_checks.h"

const char PAD_PRODUCT[] = "KPX240";

namespace {

constexpr DWORD MAX_INTERFACES = 20;
constexpr size_t DETAIL_BUFFER_SIZE = 256;
constexpr size_t PRODUCT_BUFFER_SIZE = 256;

HANDLE openDevicePath(const char* path)
{
    HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

} // namespace

bool productMatches(const char* wanted, const WCHAR* product, size_t productUnits)
{
    size_t i = 0;
    for (; wanted[i] != '\0'; ++i) {
        if (i >= productUnits)
            return false;
        if (static_cast<BYTE>(product[i] & 0xFF) != static_cast<BYTE>(wanted[i]))
            return false;
    }
    return true;
}

HANDLE FindPadDevice(const char* product)
{
    GUID hidGuid;
    HidD_GetHidGuid(&hidGuid);
    DeviceInfoList devices(SetupDiGetClassDevsA(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!devices.valid())
        return nullptr;

    union {
        SP_DEVICE_INTERFACE_DETAIL_DATA_A detail;
        BYTE bytes[DETAIL_BUFFER_SIZE];
    } detailBuffer;
    WCHAR productString[PRODUCT_BUFFER_SIZE / sizeof(WCHAR)];

    for (DWORD index = 0; index < MAX_INTERFACES; ++index) {
        SP_DEVICE_INTERFACE_DATA iface = {};
        iface.cbSize = sizeof(iface);
        if (!SetupDiEnumDeviceInterfaces(devices.get(), nullptr, &hidGuid, index, &iface))
            continue;

        ZeroMemory(&detailBuffer, sizeof(detailBuffer));
        detailBuffer.detail.cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        if (!SetupDiGetDeviceInterfaceDetailA(devices.get(), &iface, &detailBuffer.detail, sizeof(detailBuffer),
                                              nullptr, nullptr))
            return nullptr;
        // The platform does not promise a terminator when the path fills the buffer.
        detailBuffer.bytes[DETAIL_BUFFER_SIZE - 1] = 0;

        UniqueHandle probe(openDevicePath(detailBuffer.detail.DevicePath));
        if (!probe)
            return nullptr;

        ZeroMemory(productString, sizeof(productString));
        if (!HidD_GetProductString(probe.get(), productString, sizeof(productString)))
            continue;
        if (!productMatches(product, productString, sizeof(productString) / sizeof(WCHAR)))
            continue;
        return openDevicePath(detailBuffer.detail.DevicePath);
    }
    return nullptr;
}
