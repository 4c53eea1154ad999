#include "devices.h"

extern "C" {
#include <hidsdi.h>
}

namespace {
struct HidInterface {
    std::string product;
    std::string path;
};

std::vector<HidInterface> hidInterfaces()
{
    GUID hid;
    HidD_GetHidGuid(&hid);
    testlib::DevInfoList set(
        SetupDiGetClassDevsA(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    std::vector<HidInterface> found;
    SP_DEVICE_INTERFACE_DATA iface{};
    iface.cbSize = sizeof(iface);
    for (DWORD i = 0; set.valid() && SetupDiEnumDeviceInterfaces(set.get(), nullptr, &hid, i, &iface); ++i) {
        union {
            SP_DEVICE_INTERFACE_DETAIL_DATA_A detail;
            char bytes[1024];
        } buffer{};
        buffer.detail.cbSize = sizeof(buffer.detail);
        HidInterface one{"<unreadable>", {}};
        if (SetupDiGetDeviceInterfaceDetailA(set.get(), &iface, &buffer.detail, sizeof(buffer), nullptr,
                                             nullptr)) {
            one.path = buffer.detail.DevicePath;
            testlib::Handle device = openHid(one.path);
            WCHAR text[128] = {};
            if (device.valid() && HidD_GetProductString(device.get(), text, sizeof(text) - sizeof(WCHAR))) {
                one.product.clear();
                for (const WCHAR* c = text; *c; ++c)
                    one.product += static_cast<char>(*c & 0xFF);
            }
        }
        found.push_back(one);
    }
    return found;
}
} // namespace

std::vector<std::string> hidProductStrings()
{
    std::vector<std::string> names;
    for (const HidInterface& hid : hidInterfaces())
        names.push_back(hid.product);
    return names;
}

std::vector<std::string> hidInterfacePaths(const std::string& product)
{
    std::vector<std::string> paths;
    for (const HidInterface& hid : hidInterfaces())
        if (hid.product == product)
            paths.push_back(hid.path);
    return paths;
}

testlib::Handle openHid(const std::string& path)
{
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    return testlib::Handle(
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0, nullptr));
}
