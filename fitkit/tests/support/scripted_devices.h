#pragma once
// A scripted device table standing in for SetupAPI's device functions and the driver-update
// library. Registry keys of its devices are real keys below HKEY_CURRENT_USER, removed at the end;
// the registry value and file calls are the real layer's. Every device call is its own: a call
// added to the layer does not build here until it is scripted.
#include <windows.h>
#include <setupapi.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <cfgmgr32.h>

#include "device/win32_device_layer.h"

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
    std::string infPath;      // "InfPath" of the driver key
    std::string driverSource; // full path of the INF whose driver the device received
    bool present = true;
    int removeRequests = 0;   // DIF_REMOVE asked for, whatever came of it
    bool created = false;     // made through createDeviceInfo
    bool generatedId = false; //   with an instance id of the system's choosing
    std::string className;
    std::string rawHardwareIdProperty; // bytes set through setDeviceRegistryProperty
    ULONG status = DN_DRIVER_LOADED | DN_STARTED; // what CM_Get_DevNode_Status reports
    ULONG problem = 0;
    DWORD installFlags = 0;      // install params of the element (DI_NEEDREBOOT, DI_NEEDRESTART)
    DWORD flagsAfterRemove = 0;  //   as DIF_REMOVE leaves them
};

class ScriptedDevices : public DeviceLayer {
public:
    ScriptedDevices();
    ~ScriptedDevices() override;

    std::vector<ScriptedDevice> devices;

    DWORD failGetClassDevs = 0;
    DWORD failCreateList = 0;
    DWORD failCreateDevice = 0;
    DWORD failSetProperty = 0;
    DWORD failRegister = 0;
    DWORD failRemove = 0;
    std::set<std::string> missingLibraries; // names that cannot be loaded (code 126)
    std::set<std::string> missingFunctions; // names a loaded library lacks (code 127)
    DWORD updateError = 0;                  // the update fails with this code
    BOOL updateReboot = FALSE;
    // What the update gives each present device with the id (a device with a driver only when
    // forced): this description, and a driver key with an empty "InfPath".
    std::string installedDescription;
    std::function<void()> duringUpdate;
    // The status and problem code each device has after the update.
    ULONG installedStatus = DN_DRIVER_LOADED | DN_STARTED;
    ULONG installedProblem = 0;
    DWORD statusError = 0; // CM_Get_DevNode_Status fails with this CONFIGRET
    // Packages the system keeps: SetupUninstallOEMInfA, forced, takes a name out and deletes that INF and its
    // PNF from the Windows INF directory.
    std::set<std::string> driverStore;
    DWORD uninstallError = 0;                   // SetupUninstallOEMInfA fails with this code
    std::vector<std::string> uninstallRequests; // every name SetupUninstallOEMInfA was given

    size_t liveLists() const { return lists.size(); }
    int loadedLibraries() const { return libraries; }
    // Adds a present device with these hardware ids (property and comma value) and description.
    ScriptedDevice& add(const std::vector<std::string>& ids, const std::string& description);

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
    BOOL getDeviceInstallParams(HDEVINFO list, SP_DEVINFO_DATA* device, SP_DEVINSTALL_PARAMS_A* params) override;
    DWORD getDevNodeStatus(DWORD devInst, ULONG* status, ULONG* problem) override;
    HMODULE loadLibrary(const char* name) override;
    FARPROC getProcAddress(HMODULE library, const char* name) override;
    void freeLibrary(HMODULE library) override;
    BOOL updateDriver(FARPROC function, HWND parent, const char* hardwareId, const char* infPath, DWORD flags,
                      BOOL* reboot) override;
    BOOL uninstallOemInf(FARPROC function, const char* infName, DWORD flags) override;
    LONG queryValue(HKEY key, const char* name, BYTE* data, DWORD* size) override
    {
        return real.queryValue(key, name, data, size);
    }
    LONG closeKey(HKEY key) override { return real.closeKey(key); }
    UINT windowsDirectory(char* buffer, UINT size) override { return real.windowsDirectory(buffer, size); }
    DWORD fileAttributes(const char* path) override { return real.fileAttributes(path); }
    BOOL deleteFile(const char* path) override { return real.deleteFile(path); }
    // The real registry's, recorded so that a test sees what it deletes.
    LONG deleteMachineKeyTree(const char* path) override;
    std::vector<std::string> deletedKeys; // every path asked for

private:
    ScriptedDevice* element(HDEVINFO list, SP_DEVINFO_DATA* device);
    HDEVINFO newList(const std::vector<size_t>& members);

    std::map<HDEVINFO, std::vector<size_t>> lists;
    uintptr_t nextList = 0x5000;
    int libraries = 0;
    std::string keyRoot;
    Win32DeviceLayer real; // the registry values and files
};
