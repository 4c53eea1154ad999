#pragma once
// The real thing: SetupAPI, the configuration manager, LoadLibraryA and
// UpdateDriverForPlugAndPlayDevicesA, the registry and the file system.
#include <windows.h>
#include <setupapi.h>

#include "device/device_layer.h"

class Win32DeviceLayer : public DeviceLayer {
public:
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
    LONG queryValue(HKEY key, const char* name, BYTE* data, DWORD* size) override;
    LONG closeKey(HKEY key) override;
    UINT windowsDirectory(char* buffer, UINT size) override;
    DWORD fileAttributes(const char* path) override;
    BOOL deleteFile(const char* path) override;
    LONG deleteMachineKeyTree(const char* path) override;
};
