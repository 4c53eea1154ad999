#include "devices.h"

extern "C" {
#include <hidsdi.h>
}

namespace {

// Visits each present HID interface with its open handle (may be invalid), product string and path.
template <typename Visit>
void forEachHid(Visit visit)
{
    GUID hid;
    HidD_GetHidGuid(&hid);
    testlib::DevInfoList set(
        SetupDiGetClassDevsA(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set.valid())
        return;
    SP_DEVICE_INTERFACE_DATA iface{};
    iface.cbSize = sizeof(iface);
    for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set.get(), nullptr, &hid, i, &iface); ++i) {
        union {
            SP_DEVICE_INTERFACE_DETAIL_DATA_A detail;
            char bytes[1024];
        } buffer{};
        buffer.detail.cbSize = sizeof(buffer.detail);
        std::string name = "<unreadable>";
        std::string path;
        testlib::Handle device;
        if (SetupDiGetDeviceInterfaceDetailA(set.get(), &iface, &buffer.detail, sizeof(buffer), nullptr,
                                             nullptr)) {
            path = buffer.detail.DevicePath;
            device = testlib::Handle(CreateFileA(buffer.detail.DevicePath, GENERIC_READ | GENERIC_WRITE,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                 0, nullptr));
            WCHAR text[128] = {};
            if (device.valid() && HidD_GetProductString(device.get(), text, sizeof(text) - sizeof(WCHAR))) {
                name.clear();
                for (const WCHAR* c = text; *c; ++c)
                    name += static_cast<char>(*c & 0xFF);
            }
        }
        if (!visit(device, name, path))
            return;
    }
}

} // namespace

std::vector<std::string> hidProductStrings()
{
    std::vector<std::string> names;
    forEachHid([&](testlib::Handle&, const std::string& name, const std::string&) {
        names.push_back(name);
        return true;
    });
    return names;
}

std::vector<std::string> hidInterfacePaths(const std::string& product)
{
    std::vector<std::string> paths;
    forEachHid([&](testlib::Handle&, const std::string& name, const std::string& path) {
        if (name == product)
            paths.push_back(path);
        return true;
    });
    return paths;
}

testlib::Handle openHidDevice(const std::string& product)
{
    testlib::Handle found;
    forEachHid([&](testlib::Handle& device, const std::string& name, const std::string&) {
        if (name == product)
            found = std::move(device);
        return !found.valid();
    });
    return found;
}
