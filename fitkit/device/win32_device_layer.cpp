#include "device/win32_device_layer.h"

#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>

#include <string>

#include "device/device_handles.h"

HDEVINFO Win32DeviceLayer::getClassDevs(const GUID* classGuid, DWORD flags)
{
    return SetupDiGetClassDevsA(classGuid, nullptr, nullptr, flags);
}

HDEVINFO Win32DeviceLayer::createDeviceInfoList(const GUID* classGuid, HWND parent)
{
    return SetupDiCreateDeviceInfoList(classGuid, parent);
}

BOOL Win32DeviceLayer::destroyDeviceInfoList(HDEVINFO list)
{
    return SetupDiDestroyDeviceInfoList(list);
}

BOOL Win32DeviceLayer::enumDeviceInfo(HDEVINFO list, DWORD index, SP_DEVINFO_DATA* device)
{
    return SetupDiEnumDeviceInfo(list, index, device);
}

BOOL Win32DeviceLayer::getDeviceRegistryProperty(HDEVINFO list, SP_DEVINFO_DATA* device, DWORD property,
                                                 BYTE* buffer, DWORD size, DWORD* required)
{
    return SetupDiGetDeviceRegistryPropertyA(list, device, property, nullptr, buffer, size, required);
}

BOOL Win32DeviceLayer::setDeviceRegistryProperty(HDEVINFO list, SP_DEVINFO_DATA* device, DWORD property,
                                                 const BYTE* buffer, DWORD size)
{
    return SetupDiSetDeviceRegistryPropertyA(list, device, property, buffer, size);
}

HKEY Win32DeviceLayer::openDevRegKey(HDEVINFO list, SP_DEVINFO_DATA* device, DWORD scope, DWORD profile,
                                     DWORD keyType, REGSAM access)
{
    return SetupDiOpenDevRegKey(list, device, scope, profile, keyType, access);
}

BOOL Win32DeviceLayer::createDeviceInfo(HDEVINFO list, const char* className, const GUID* classGuid,
                                        const char* description, HWND parent, DWORD flags,
                                        SP_DEVINFO_DATA* device)
{
    return SetupDiCreateDeviceInfoA(list, className, classGuid, description, parent, flags, device);
}

BOOL Win32DeviceLayer::callClassInstaller(DI_FUNCTION function, HDEVINFO list, SP_DEVINFO_DATA* device)
{
    return SetupDiCallClassInstaller(function, list, device);
}

BOOL Win32DeviceLayer::getDeviceInstallParams(HDEVINFO list, SP_DEVINFO_DATA* device,
                                              SP_DEVINSTALL_PARAMS_A* params)
{
    return SetupDiGetDeviceInstallParamsA(list, device, params);
}

using DevNodeStatusFunction = CONFIGRET(WINAPI*)(PULONG, PULONG, DEVINST, ULONG);

// Found at run time: the configuration manager's library, else SetupAPI, which exports it too.
DWORD Win32DeviceLayer::getDevNodeStatus(DWORD devInst, ULONG* status, ULONG* problem)
{
    for (const char* name : {"CFGMGR32.DLL", "SETUPAPI.DLL"}) {
        Library library(LoadLibraryA(name), LibraryTraits{this});
        if (!library.valid())
            continue;
        FARPROC found = GetProcAddress(library.get(), "CM_Get_DevNode_Status");
        if (!found)
            continue;
        auto read = reinterpret_cast<DevNodeStatusFunction>(reinterpret_cast<void*>(found));
        return read(status, problem, devInst, 0);
    }
    return CR_CALL_NOT_IMPLEMENTED;
}

HMODULE Win32DeviceLayer::loadLibrary(const char* name)
{
    return LoadLibraryA(name);
}

FARPROC Win32DeviceLayer::getProcAddress(HMODULE library, const char* name)
{
    return GetProcAddress(library, name);
}

void Win32DeviceLayer::freeLibrary(HMODULE library)
{
    FreeLibrary(library);
}

BOOL Win32DeviceLayer::updateDriver(FARPROC function, HWND parent, const char* hardwareId,
                                    const char* infPath, DWORD flags, BOOL* reboot)
{
    auto update = reinterpret_cast<UpdateDriverFunction>(reinterpret_cast<void*>(function));
    return update(parent, hardwareId, infPath, flags, reboot);
}

BOOL Win32DeviceLayer::uninstallOemInf(FARPROC function, const char* infName, DWORD flags)
{
    auto uninstall = reinterpret_cast<UninstallOemInfFunction>(reinterpret_cast<void*>(function));
    return uninstall(infName, flags, nullptr);
}

LONG Win32DeviceLayer::queryValue(HKEY key, const char* name, BYTE* data, DWORD* size)
{
    return RegQueryValueExA(key, name, nullptr, nullptr, data, size);
}

LONG Win32DeviceLayer::closeKey(HKEY key)
{
    return RegCloseKey(key);
}

UINT Win32DeviceLayer::windowsDirectory(char* buffer, UINT size)
{
    return GetWindowsDirectoryA(buffer, size);
}

DWORD Win32DeviceLayer::fileAttributes(const char* path)
{
    return GetFileAttributesA(path);
}

BOOL Win32DeviceLayer::deleteFile(const char* path)
{
    return DeleteFileA(path);
}

// The native view: on 64-bit Windows a 32-bit caller would otherwise see its own view. 32-bit
// Windows before XP SP2 ignores the flag.
static const REGSAM NATIVE_VIEW = KEY_WOW64_64KEY;

// RegDeleteTree is not on XP: the subkeys first, then the key.
static LONG deleteTree(HKEY parent, const std::string& name)
{
    HKEY opened = nullptr;
    LONG result = RegOpenKeyExA(parent, name.c_str(), 0, KEY_ENUMERATE_SUB_KEYS | DELETE | NATIVE_VIEW, &opened);
    if (result != ERROR_SUCCESS)
        return result;
    RegKey key(opened);
    char child[256];
    for (;;) {
        DWORD length = sizeof(child);
        result = RegEnumKeyExA(key.get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS)
            return result;
        result = deleteTree(key.get(), child);
        if (result != ERROR_SUCCESS)
            return result;
    }
    key.reset();
    return RegDeleteKeyA(parent, name.c_str());
}

LONG Win32DeviceLayer::deleteMachineKeyTree(const char* path)
{
    std::string full = path;
    size_t cut = full.rfind('\\');
    if (cut == std::string::npos)
        return deleteTree(HKEY_LOCAL_MACHINE, full);
    HKEY opened = nullptr;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, full.substr(0, cut).c_str(), 0,
                                KEY_ENUMERATE_SUB_KEYS | NATIVE_VIEW, &opened);
    if (result != ERROR_SUCCESS)
        return result;
    RegKey parent(opened);
    return deleteTree(parent.get(), full.substr(cut + 1));
}
