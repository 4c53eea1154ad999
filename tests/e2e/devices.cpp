#include "devices.h"

extern "C" {
#include <hidsdi.h>
}

namespace {

const GUID hidClassGuid = {0x745a17a0, 0x74d3, 0x11d0, {0xb6, 0xfe, 0x00, 0xa0, 0xc9, 0x0f, 0x57, 0xda}};

bool listsId(HDEVINFO set, SP_DEVINFO_DATA& device, const std::string& hardwareId)
{
    char ids[1024] = {};
    if (!SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID, nullptr,
                                           reinterpret_cast<BYTE*>(ids), sizeof(ids) - 2, nullptr))
        return false;
    for (const char* id = ids; *id; id += lstrlenA(id) + 1)
        if (!lstrcmpiA(id, hardwareId.c_str()))
            return true;
    return false;
}

template <typename Visit>
void forEachDevice(const std::string& hardwareId, Visit visit)
{
    testlib::DevInfoList set(
        SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
    if (!set.valid())
        return;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set.get(), i, &device); ++i)
        if (listsId(set.get(), device, hardwareId) && !visit(set.get(), device))
            return;
}

} // namespace

namespace {

// Visits each present HID interface with its open handle (may be invalid) and product string.
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
        testlib::Handle device;
        if (SetupDiGetDeviceInterfaceDetailA(set.get(), &iface, &buffer.detail, sizeof(buffer), nullptr,
                                             nullptr)) {
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
        if (!visit(device, name))
            return;
    }
}

} // namespace

std::vector<std::string> hidProductStrings()
{
    std::vector<std::string> names;
    forEachHid([&](testlib::Handle&, const std::string& name) {
        names.push_back(name);
        return true;
    });
    return names;
}

testlib::Handle openHidDevice(const std::string& product)
{
    testlib::Handle found;
    forEachHid([&](testlib::Handle& device, const std::string& name) {
        if (name != product)
            return true;
        found = std::move(device);
        return false;
    });
    return found;
}

RootDevice::RootDevice(const std::string& hardwareId)
    : list_(SetupDiCreateDeviceInfoList(&hidClassGuid, nullptr))
{
    device_.cbSize = sizeof(device_);
    std::string ids = hardwareId;
    ids.append(2, '\0');
    if (!list_.valid() ||
        !SetupDiCreateDeviceInfoA(list_.get(), "HIDClass", &hidClassGuid, nullptr, nullptr, DICD_GENERATE_ID,
                                  &device_) ||
        !SetupDiSetDeviceRegistryPropertyA(list_.get(), &device_, SPDRP_HARDWAREID,
                                           reinterpret_cast<const BYTE*>(ids.data()), ids.size()) ||
        !SetupDiCallClassInstaller(DIF_REGISTERDEVICE, list_.get(), &device_)) {
        error_ = GetLastError();
        return;
    }
    created_ = true;
}

RootDevice::~RootDevice()
{
    if (created_)
        SetupDiCallClassInstaller(DIF_REMOVE, list_.get(), &device_);
}

bool devicePresent(const std::string& hardwareId)
{
    bool found = false;
    forEachDevice(hardwareId, [&](HDEVINFO, SP_DEVINFO_DATA&) {
        found = true;
        return false;
    });
    return found;
}

void removeDevices(const std::string& hardwareId)
{
    forEachDevice(hardwareId, [](HDEVINFO set, SP_DEVINFO_DATA& device) {
        SetupDiCallClassInstaller(DIF_REMOVE, set, &device);
        return true;
    });
}
