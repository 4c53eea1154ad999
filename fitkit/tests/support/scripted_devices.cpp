#include "scripted_devices.h"

#include <windows.h>
#include <setupapi.h>
#include <newdev.h>

#include <cstdio>
#include <cstring>

ScriptedDevices::ScriptedDevices()
{
    char root[128];
    snprintf(root, sizeof(root), "Software\\FitkitTests\\%lu-%p", GetCurrentProcessId(),
             static_cast<void*>(this));
    keyRoot = root;
}

ScriptedDevices::~ScriptedDevices()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, keyRoot.c_str());
}

ScriptedDevice& ScriptedDevices::add(const std::vector<std::string>& ids, const std::string& description)
{
    ScriptedDevice device;
    device.hardwareIds = ids;
    for (size_t i = 0; i < ids.size(); ++i)
        device.hardwareIdValue += (i ? "," : "") + ids[i];
    device.description = description;
    devices.push_back(device);
    return devices.back();
}

HDEVINFO ScriptedDevices::newList(const std::vector<size_t>& members)
{
    HDEVINFO list = reinterpret_cast<HDEVINFO>(nextList++);
    lists[list] = members;
    return list;
}

ScriptedDevice* ScriptedDevices::element(HDEVINFO list, SP_DEVINFO_DATA* device)
{
    auto found = lists.find(list);
    if (found == lists.end() || !device || device->cbSize != sizeof(SP_DEVINFO_DATA) ||
        device->DevInst == 0 || device->DevInst > devices.size()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return &devices[device->DevInst - 1];
}

// As the system's: every class only with DIGCF_ALLCLASSES, absent devices too without DIGCF_PRESENT.
HDEVINFO ScriptedDevices::getClassDevs(const GUID* classGuid, DWORD flags)
{
    DWORD failure = failGetClassDevs;
    if (!classGuid && !(flags & DIGCF_ALLCLASSES))
        failure = ERROR_INVALID_PARAMETER;
    if (failure) {
        SetLastError(failure);
        return INVALID_HANDLE_VALUE;
    }
    std::vector<size_t> members;
    for (size_t i = 0; i < devices.size(); ++i)
        if (devices[i].present || !(flags & DIGCF_PRESENT))
            members.push_back(i);
    return newList(members);
}

HDEVINFO ScriptedDevices::createDeviceInfoList(const GUID*, HWND)
{
    if (failCreateList) {
        SetLastError(failCreateList);
        return INVALID_HANDLE_VALUE;
    }
    return newList({});
}

BOOL ScriptedDevices::destroyDeviceInfoList(HDEVINFO list)
{
    if (!lists.erase(list)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL ScriptedDevices::enumDeviceInfo(HDEVINFO list, DWORD index, SP_DEVINFO_DATA* device)
{
    auto found = lists.find(list);
    if (found == lists.end() || device->cbSize != sizeof(SP_DEVINFO_DATA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (index >= found->second.size()) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    device->DevInst = static_cast<DWORD>(found->second[index] + 1);
    return TRUE;
}

static BOOL copyOut(const std::string& data, BYTE* buffer, DWORD size, DWORD* required)
{
    if (required)
        *required = static_cast<DWORD>(data.size());
    if (!buffer || size < data.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(buffer, data.data(), data.size());
    return TRUE;
}

BOOL ScriptedDevices::getDeviceRegistryProperty(HDEVINFO list, SP_DEVINFO_DATA* device, DWORD property,
                                                BYTE* buffer, DWORD size, DWORD* required)
{
    ScriptedDevice* found = element(list, device);
    if (!found)
        return FALSE;
    if (property == SPDRP_HARDWAREID) {
        if (found->hardwareIdError) {
            SetLastError(found->hardwareIdError);
            return FALSE;
        }
        if (found->hardwareIds.empty()) {
            SetLastError(ERROR_INVALID_DATA);
            return FALSE;
        }
        std::string multi;
        for (const std::string& id : found->hardwareIds)
            multi += id + '\0';
        multi += '\0';
        return copyOut(multi, buffer, size, required);
    }
    if (property == SPDRP_DEVICEDESC) {
        if (!found->hasDescription) {
            SetLastError(ERROR_INVALID_DATA);
            return FALSE;
        }
        return copyOut(found->description + '\0', buffer, size, required);
    }
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
}

BOOL ScriptedDevices::setDeviceRegistryProperty(HDEVINFO list, SP_DEVINFO_DATA* device, DWORD property,
                                                const BYTE* buffer, DWORD size)
{
    ScriptedDevice* found = element(list, device);
    if (!found)
        return FALSE;
    if (failSetProperty) {
        SetLastError(failSetProperty);
        return FALSE;
    }
    if (property == SPDRP_HARDWAREID) {
        found->rawHardwareIdProperty.assign(reinterpret_cast<const char*>(buffer), size);
        found->hardwareIds.clear();
        for (const char* p = reinterpret_cast<const char*>(buffer); *p; p += strlen(p) + 1)
            found->hardwareIds.push_back(p);
    }
    return TRUE;
}

HKEY ScriptedDevices::openDevRegKey(HDEVINFO list, SP_DEVINFO_DATA* device, DWORD, DWORD, DWORD keyType,
                                    REGSAM access)
{
    ScriptedDevice* found = element(list, device);
    if (!found)
        return static_cast<HKEY>(INVALID_HANDLE_VALUE);
    bool hardware = keyType == DIREG_DEV;
    if (hardware ? !found->hasHardwareKey : !found->hasDriverKey) {
        SetLastError(0xE0000204); // no such key
        return static_cast<HKEY>(INVALID_HANDLE_VALUE);
    }
    // A fresh key holding what the script says now.
    std::string path = keyRoot + "\\" + std::to_string(device->DevInst) + (hardware ? "\\hw" : "\\drv");
    RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    auto set = [&](const char* name, const std::string& value) {
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    };
    if (hardware) {
        if (found->hasHardwareIdValue)
            set("HardwareID", found->hardwareIdValue);
        if (found->hasDescription)
            set("DeviceDesc", found->description);
    } else if (found->hasInfPath) {
        set("InfPath", found->infPath);
    }
    RegCloseKey(key);
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, &opened) != ERROR_SUCCESS)
        return static_cast<HKEY>(INVALID_HANDLE_VALUE);
    return opened;
}

BOOL ScriptedDevices::createDeviceInfo(HDEVINFO list, const char* className, const GUID*, const char*, HWND,
                                       DWORD flags, SP_DEVINFO_DATA* device)
{
    auto found = lists.find(list);
    if (found == lists.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (failCreateDevice) {
        SetLastError(failCreateDevice);
        return FALSE;
    }
    ScriptedDevice created;
    created.present = false;
    created.created = true;
    created.className = className;
    created.generatedId = (flags & DICD_GENERATE_ID) != 0;
    created.hasHardwareKey = false;
    devices.push_back(created);
    found->second.push_back(devices.size() - 1);
    device->DevInst = static_cast<DWORD>(devices.size());
    return TRUE;
}

BOOL ScriptedDevices::callClassInstaller(DI_FUNCTION function, HDEVINFO list, SP_DEVINFO_DATA* device)
{
    ScriptedDevice* found = element(list, device);
    if (!found)
        return FALSE;
    if (function == DIF_REGISTERDEVICE) {
        if (failRegister) {
            SetLastError(failRegister);
            return FALSE;
        }
        found->present = true;
    } else if (function == DIF_REMOVE) {
        ++found->removeRequests;
        if (failRemove || !found->present) {
            SetLastError(failRemove ? failRemove : 0xE000020B);
            return FALSE;
        }
        found->present = false;
    }
    return TRUE;
}

HMODULE ScriptedDevices::loadLibrary(const char* name)
{
    if (missingLibraries.count(name)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ++libraries;
    return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x7000));
}

static BOOL WINAPI neverCalled(HWND, LPCSTR, LPCSTR, DWORD, PBOOL)
{
    return FALSE;
}

FARPROC ScriptedDevices::getProcAddress(HMODULE, const char* name)
{
    if (missingFunctions.count(name)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&neverCalled));
}

void ScriptedDevices::freeLibrary(HMODULE)
{
    --libraries;
    SetLastError(0); // as a real unload may: a code taken after this is lost
}

BOOL ScriptedDevices::updateDriver(FARPROC, HWND, const char* hardwareId, const char* infPath, DWORD flags,
                                   BOOL* reboot)
{
    if (duringUpdate)
        duringUpdate();
    if (updateError) {
        SetLastError(updateError);
        return FALSE;
    }
    for (ScriptedDevice& device : devices) {
        bool listed = false;
        for (const std::string& id : device.hardwareIds)
            listed = listed || _stricmp(id.c_str(), hardwareId) == 0;
        if (!device.present || !listed || (device.hasDriverKey && !(flags & INSTALLFLAG_FORCE)))
            continue;
        device.description = installedDescription;
        device.hasDescription = true;
        device.hasDriverKey = true;
        device.hasInfPath = true;
        device.infPath = installedInfPath;
        device.driverSource = infPath;
        if (!installedInfPath.empty())
            driverStore.insert(installedInfPath);
    }
    *reboot = updateReboot;
    return TRUE;
}

BOOL ScriptedDevices::uninstallOemInf(FARPROC, const char* infName, DWORD flags)
{
    uninstallRequests.push_back(infName);
    bool inUse = false;
    for (const ScriptedDevice& device : devices)
        inUse = inUse || (device.present && device.hasDriverKey && device.infPath == infName);
    DWORD failure = uninstallError                         ? uninstallError
                    : inUse && !(flags & SUOI_FORCEDELETE) ? ERROR_INF_IN_USE_BY_DEVICES
                                                           : 0;
    if (failure) {
        SetLastError(failure);
        return FALSE;
    }
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string inf = std::string(windows) + "\\INF\\" + infName;
    DeleteFileA(inf.c_str());
    DeleteFileA((inf.substr(0, inf.size() - 3) + "PNF").c_str());
    driverStore.erase(infName);
    return TRUE;
}
