#pragma once
// A scripted device table standing in for SetupAPI's device functions and the driver-update
// library. Registry keys of its devices are real keys below HKEY_CURRENT_USER, removed at the end.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "device/device_layer.h"

struct ScriptedDevice {
    std::vector<std::string> hardwareIds; // device property; none: the property is missing
    DWORD hardwareIdError = 0;            // a property read failing with this code
    bool hasHardwareKey = true;           // systems without device properties:
    bool hasHardwareIdValue = true;       //   "HardwareID", comma-separated
    std::string hardwareIdValue;
    std::string description; // property and "DeviceDesc"
    bool hasDescription = true;
    bool hasDriverKey = false;
    bool hasInfPath = true;
    std::string infPath; // "InfPath" of the driver key
    bool present = true;
    bool created = false; // made through createDeviceInfo
    std::string className;
    std::string rawHardwareIdProperty; // bytes set through setDeviceRegistryProperty
};

class ScriptedDevices : public DeviceLayer {
public:
    ScriptedDevices();
    ~ScriptedDevices() override;

    std::vector<ScriptedDevice> devices;
    std::vector<std::string> calls; // what was called, in order

    DWORD failGetClassDevs = 0;
    DWORD failCreateList = 0;
    DWORD failCreateDevice = 0;
    DWORD failSetProperty = 0;
    DWORD failRegister = 0;
    DWORD failRemove = 0;
    std::set<std::string> missingLibraries; // names that cannot be loaded (code 126)
    bool missingFunction = false;           // the library lacks the update function (code 127)
    DWORD updateError = 0;                  // the update fails with this code
    BOOL updateReboot = FALSE;
    std::string installedDescription; // what a device gets from the update
    std::string installedInfPath;
    std::function<void()> duringUpdate;

    size_t liveLists() const { return lists.size(); }
    size_t presentCount() const;
    // Adds a present device with these hardware ids (property and comma value) and description.
    ScriptedDevice& add(const std::vector<std::string>& ids, const std::string& description);
    bool calledWith(const std::string& prefix) const;

    HDEVINFO getClassDevs(const GUID* classGuid, DWORD flags) override;
    HDEVINFO createDeviceInfoList(const GUID* classGuid, HWND parent) override;
    BOOL destroyDeviceInfoList(HDEVINFO list) override;
    BOOL enumDeviceInfo(HDEVINFO list, DWORD index, SP_DEVINFO_DATA* device) override;
    BOOL getDeviceRegistryProperty(HDEVINFO list, SP_DEVINFO_DATA* device, DWORD property, BYTE* buffer,
                                   DWORD size, DWORD* required) override;
    BOOL setDeviceRegistryProperty(HDEVINFO list, SP_DEVINFO_DATA* device, DWORD property, const BYTE* buffer,
                                   DWORD size) override;
    HKEY openDevRegKey(HDEVINFO list, SP_DEVINFO_DATA* device, DWORD scope, DWORD profile, DWORD keyType,
                       REGSAM access) override;
    BOOL createDeviceInfo(HDEVINFO list, const char* className, const GUID* classGuid,
                          const char* description, HWND parent, DWORD flags,
                          SP_DEVINFO_DATA* device) override;
    BOOL callClassInstaller(DI_FUNCTION function, HDEVINFO list, SP_DEVINFO_DATA* device) override;
    HMODULE loadLibrary(const char* name) override;
    FARPROC getProcAddress(HMODULE library, const char* name) override;
    void freeLibrary(HMODULE library) override;
    BOOL updateDriver(FARPROC function, HWND parent, const char* hardwareId, const char* infPath, DWORD flags,
                      BOOL* reboot) override;

private:
    ScriptedDevice* element(HDEVINFO list, SP_DEVINFO_DATA* device);
    HDEVINFO newList(const std::vector<size_t>& members);

    std::map<HDEVINFO, std::vector<size_t>> lists;
    uintptr_t nextList = 0x5000;
    std::string keyRoot;
};
