#pragma once
// The platform's device-installation services as the installer uses them. The Win32 layer
// forwards to SetupAPI and the driver-update library; a test supplies a scripted device table.
// Failing calls report their code through SetLastError, as the platform does.
#include <windows.h>
#include <setupapi.h>

using UpdateDriverFunction = BOOL(WINAPI*)(HWND, LPCSTR, LPCSTR, DWORD, PBOOL);
using UninstallOemInfFunction = BOOL(WINAPI*)(PCSTR, DWORD, PVOID);

class DeviceLayer {
public:
    virtual ~DeviceLayer() = default;

    virtual HDEVINFO getClassDevs(const GUID* classGuid, DWORD flags) = 0;
    virtual HDEVINFO createDeviceInfoList(const GUID* classGuid, HWND parent) = 0;
    virtual BOOL destroyDeviceInfoList(HDEVINFO list) = 0;
    virtual BOOL enumDeviceInfo(HDEVINFO list, DWORD index, SP_DEVINFO_DATA* device) = 0;
    virtual BOOL getDeviceRegistryProperty(HDEVINFO list, SP_DEVINFO_DATA* device, DWORD property,
                                           BYTE* buffer, DWORD size, DWORD* required) = 0;
    virtual BOOL setDeviceRegistryProperty(HDEVINFO list, SP_DEVINFO_DATA* device, DWORD property,
                                           const BYTE* buffer, DWORD size) = 0;
    // INVALID_HANDLE_VALUE on failure, as SetupDiOpenDevRegKey.
    virtual HKEY openDevRegKey(HDEVINFO list, SP_DEVINFO_DATA* device, DWORD scope, DWORD profile,
                               DWORD keyType, REGSAM access) = 0;
    virtual BOOL createDeviceInfo(HDEVINFO list, const char* className, const GUID* classGuid,
                                  const char* description, HWND parent, DWORD flags,
                                  SP_DEVINFO_DATA* device) = 0;
    virtual BOOL callClassInstaller(DI_FUNCTION function, HDEVINFO list, SP_DEVINFO_DATA* device) = 0;
    // The flags a class installer left on the element (DI_NEEDREBOOT, DI_NEEDRESTART).
    virtual BOOL getDeviceInstallParams(HDEVINFO list, SP_DEVINFO_DATA* device, SP_DEVINSTALL_PARAMS_A* params) = 0;
    // CM_Get_DevNode_Status of a device instance: a CONFIGRET, CR_SUCCESS (0) when read.
    // CR_CALL_NOT_IMPLEMENTED where the system lacks the function.
    virtual DWORD getDevNodeStatus(DWORD devInst, ULONG* status, ULONG* problem) = 0;

    // The driver-update library and setupapi.dll's SetupUninstallOEMInfA, found at run time.
    virtual HMODULE loadLibrary(const char* name) = 0;
    virtual FARPROC getProcAddress(HMODULE library, const char* name) = 0;
    virtual void freeLibrary(HMODULE library) = 0;
    virtual BOOL updateDriver(FARPROC function, HWND parent, const char* hardwareId, const char* infPath,
                              DWORD flags, BOOL* reboot) = 0;
    virtual BOOL uninstallOemInf(FARPROC function, const char* infName, DWORD flags) = 0;

    // The registry value and file calls of the installer, as RegQueryValueExA, RegCloseKey,
    // GetWindowsDirectoryA, GetFileAttributesA and DeleteFileA.
    virtual LONG queryValue(HKEY key, const char* name, BYTE* data, DWORD* size) = 0;
    virtual LONG closeKey(HKEY key) = 0;
    virtual UINT windowsDirectory(char* buffer, UINT size) = 0;
    virtual DWORD fileAttributes(const char* path) = 0;
    virtual BOOL deleteFile(const char* path) = 0;

    // Deletes a key below HKEY_LOCAL_MACHINE with all its subkeys, in the native registry view.
    // ERROR_FILE_NOT_FOUND when there is no such key.
    virtual LONG deleteMachineKeyTree(const char* path) = 0;
};
