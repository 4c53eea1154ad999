#include "testlib/devices.h"

const GUID hidClassGuid = {0x745a17a0, 0x74d3, 0x11d0, {0xb6, 0xfe, 0x00, 0xa0, 0xc9, 0x0f, 0x57, 0xda}};

namespace {
bool listsId(HDEVINFO set, SP_DEVINFO_DATA& device, const std::string& hardwareId)
{
    char ids[4096] = {};
    if (!SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID, nullptr,
                                           reinterpret_cast<BYTE*>(ids), sizeof(ids) - 2, nullptr))
        return false;
    for (const char* id = ids; *id; id += lstrlenA(id) + 1)
        if (!lstrcmpiA(id, hardwareId.c_str()))
            return true;
    return false;
}
} // namespace

RootDevice::RootDevice(const std::string& hardwareId, const GUID& classGuid, const char* className)
    : list_(SetupDiCreateDeviceInfoList(&classGuid, nullptr))
{
    device_.cbSize = sizeof(device_);
    std::string ids = hardwareId;
    ids.append(2, '\0');
    if (!list_.valid() ||
        !SetupDiCreateDeviceInfoA(list_.get(), className, &classGuid, nullptr, nullptr, DICD_GENERATE_ID,
                                  &device_) ||
        !SetupDiSetDeviceRegistryPropertyA(list_.get(), &device_, SPDRP_HARDWAREID,
                                           reinterpret_cast<const BYTE*>(ids.data()),
                                           static_cast<DWORD>(ids.size())) ||
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

int forEachDevice(const std::string& hardwareId, const std::function<bool(HDEVINFO, SP_DEVINFO_DATA&)>& visit)
{
    testlib::DevInfoList set(
        SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
    int visited = 0;
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    for (DWORD i = 0; set.valid() && SetupDiEnumDeviceInfo(set.get(), i, &device); ++i) {
        if (!listsId(set.get(), device, hardwareId))
            continue;
        ++visited;
        if (!visit(set.get(), device))
            break;
    }
    return visited;
}

int presentDevices(const std::string& hardwareId)
{
    return forEachDevice(hardwareId, [](HDEVINFO, SP_DEVINFO_DATA&) { return true; });
}

void removeDevices(const std::string& hardwareId)
{
    forEachDevice(hardwareId, [](HDEVINFO set, SP_DEVINFO_DATA& device) {
        SetupDiCallClassInstaller(DIF_REMOVE, set, &device);
        return true;
    });
}
