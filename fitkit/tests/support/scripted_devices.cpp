#include "scripted_devices.h"

#include <windows.h>
#include <setupapi.h>
#include <newdev.h>

#include <algorithm>
#include <cstring>

#include "inf_text.h"

// Sets the thread's last error and gives `result`, as a failing platform function does.
template <typename T = BOOL>
static T fail(DWORD code, T result = FALSE)
{
    SetLastError(code);
    return result;
}

ScriptedDevices::ScriptedDevices()
    : keyRoot("Software\\FitkitTests\\" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(reinterpret_cast<uintptr_t>(this)))
{
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
    if (!lists.count(list) || !device || device->cbSize != sizeof(SP_DEVINFO_DATA) || device->DevInst == 0 ||
        device->DevInst > devices.size())
        return fail<ScriptedDevice*>(ERROR_INVALID_HANDLE, nullptr);
    return &devices[device->DevInst - 1];
}

// As the system's: every class only with DIGCF_ALLCLASSES, absent devices too without DIGCF_PRESENT.
HDEVINFO ScriptedDevices::getClassDevs(const GUID* classGuid, DWORD flags)
{
    if (!classGuid && !(flags & DIGCF_ALLCLASSES))
        return fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    if (failGetClassDevs)
        return fail(failGetClassDevs, INVALID_HANDLE_VALUE);
    std::vector<size_t> members;
    for (size_t i = 0; i < devices.size(); ++i)
        if (devices[i].present || !(flags & DIGCF_PRESENT))
            members.push_back(i);
    return newList(members);
}

HDEVINFO ScriptedDevices::createDeviceInfoList(const GUID*, HWND)
{
    if (failCreateList)
        return fail(failCreateList, INVALID_HANDLE_VALUE);
    return newList({});
}

BOOL ScriptedDevices::destroyDeviceInfoList(HDEVINFO list)
{
    if (!lists.erase(list))
        return fail(ERROR_INVALID_HANDLE);
    return TRUE;
}

BOOL ScriptedDevices::enumDeviceInfo(HDEVINFO list, DWORD index, SP_DEVINFO_DATA* device)
{
    auto found = lists.find(list);
    if (found == lists.end() || device->cbSize != sizeof(SP_DEVINFO_DATA))
        return fail(ERROR_INVALID_PARAMETER);
    if (index >= found->second.size())
        return fail(ERROR_NO_MORE_ITEMS);
    device->DevInst = static_cast<DWORD>(found->second[index] + 1);
    return TRUE;
}

static BOOL copyOut(const std::string& data, BYTE* buffer, DWORD size, DWORD* required)
{
    if (required)
        *required = static_cast<DWORD>(data.size());
    if (!buffer || size < data.size())
        return fail(ERROR_INSUFFICIENT_BUFFER);
    memcpy(buffer, data.data(), data.size());
    return TRUE;
}

BOOL ScriptedDevices::getDeviceRegistryProperty(HDEVINFO list, SP_DEVINFO_DATA* device, DWORD property,
                                                BYTE* buffer, DWORD size, DWORD* required)
{
    ScriptedDevice* found = element(list, device);
    if (!found)
        return FALSE;
    if (property == SPDRP_HARDWAREID && found->hardwareIdError)
        return fail(found->hardwareIdError);
    if (property == SPDRP_HARDWAREID && !found->hardwareIds.empty()) {
        std::string multi;
        for (const std::string& id : found->hardwareIds)
            multi += id + '\0';
        return copyOut(multi + '\0', buffer, size, required);
    }
    if (property == SPDRP_DEVICEDESC && found->hasDescription)
        return copyOut(found->description + '\0', buffer, size, required);
    return fail(ERROR_INVALID_DATA);
}

BOOL ScriptedDevices::setDeviceRegistryProperty(HDEVINFO list, SP_DEVINFO_DATA* device, DWORD property,
                                                const BYTE* buffer, DWORD size)
{
    ScriptedDevice* found = element(list, device);
    if (!found)
        return FALSE;
    if (failSetProperty)
        return fail(failSetProperty);
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
    if (hardware ? !found->hasHardwareKey : !found->hasDriverKey)
        return fail(0xE0000204, static_cast<HKEY>(INVALID_HANDLE_VALUE)); // no such key
    // A fresh key holding what the script says now, opened with the access asked for.
    std::string path = keyRoot + "\\" + std::to_string(device->DevInst) + (hardware ? "\\hw" : "\\drv");
    RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr))
        return static_cast<HKEY>(INVALID_HANDLE_VALUE);
    auto set = [&](const char* name, const std::string& value) {
        RegSetKeyValueA(HKEY_CURRENT_USER, path.c_str(), name, REG_SZ, value.c_str(),
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
    return key;
}

BOOL ScriptedDevices::createDeviceInfo(HDEVINFO list, const char* className, const GUID*, const char*, HWND,
                                       DWORD flags, SP_DEVINFO_DATA* device)
{
    auto found = lists.find(list);
    if (found == lists.end())
        return fail(ERROR_INVALID_HANDLE);
    if (failCreateDevice)
        return fail(failCreateDevice);
    ScriptedDevice& created = add({}, "");
    created.present = false;
    created.created = true;
    created.className = className;
    created.generatedId = (flags & DICD_GENERATE_ID) != 0;
    created.hasHardwareKey = false;
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
        if (failRegister)
            return fail(failRegister);
        found->present = true;
    } else if (function == DIF_REMOVE) {
        ++found->removeRequests;
        if (failRemove || !found->present)
            return fail(failRemove ? failRemove : 0xE000020B);
        found->present = false;
        found->installFlags = found->flagsAfterRemove;
    }
    return TRUE;
}

BOOL ScriptedDevices::getDeviceInstallParams(HDEVINFO list, SP_DEVINFO_DATA* device, SP_DEVINSTALL_PARAMS_A* params)
{
    ScriptedDevice* found = element(list, device);
    if (!found)
        return FALSE;
    if (params->cbSize != sizeof(SP_DEVINSTALL_PARAMS_A))
        return fail(ERROR_INVALID_USER_BUFFER);
    params->Flags = found->installFlags;
    return TRUE;
}

DWORD ScriptedDevices::getDevNodeStatus(DWORD devInst, ULONG* status, ULONG* problem)
{
    if (statusError)
        return statusError;
    if (devInst == 0 || devInst > devices.size() || !devices[devInst - 1].present)
        return CR_NO_SUCH_DEVNODE;
    const ScriptedDevice& device = devices[devInst - 1];
    *status = device.status;
    *problem = device.problem;
    return CR_SUCCESS;
}

HMODULE ScriptedDevices::loadLibrary(const char* name)
{
    if (missingLibraries.count(name))
        return fail<HMODULE>(ERROR_MOD_NOT_FOUND, nullptr);
    ++libraries;
    return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x7000));
}

static BOOL WINAPI neverCalled(HWND, LPCSTR, LPCSTR, DWORD, PBOOL)
{
    return FALSE;
}

FARPROC ScriptedDevices::getProcAddress(HMODULE, const char* name)
{
    if (missingFunctions.count(name))
        return fail<FARPROC>(ERROR_PROC_NOT_FOUND, nullptr);
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
    if (updateError)
        return fail(updateError);
    for (ScriptedDevice& device : devices) {
        bool listed =
            std::any_of(device.hardwareIds.begin(), device.hardwareIds.end(),
                        [&](const std::string& id) { return _stricmp(id.c_str(), hardwareId) == 0; });
        if (!device.present || !listed || (device.hasDriverKey && !(flags & INSTALLFLAG_FORCE)))
            continue;
        device.description = installedDescription;
        device.hasDescription = true;
        device.hasDriverKey = true;
        device.hasInfPath = true;
        device.infPath.clear();
        device.driverSource = infPath;
        device.status = installedStatus;
        device.problem = installedProblem;
    }
    *reboot = updateReboot;
    return TRUE;
}

BOOL ScriptedDevices::uninstallOemInf(FARPROC, const char* infName, DWORD flags)
{
    uninstallRequests.push_back(infName);
    bool inUse = std::any_of(devices.begin(), devices.end(), [&](const ScriptedDevice& device) {
        return device.present && device.hasDriverKey && device.infPath == infName;
    });
    if (uninstallError || (inUse && !(flags & SUOI_FORCEDELETE)))
        return fail(uninstallError ? uninstallError : ERROR_INF_IN_USE_BY_DEVICES);
    std::string inf = windowsInfPath(infName);
    DeleteFileA(inf.c_str());
    DeleteFileA(pnfPath(inf).c_str());
    driverStore.erase(infName);
    return TRUE;
}

LONG ScriptedDevices::deleteMachineKeyTree(const char* path)
{
    deletedKeys.push_back(path);
    return real.deleteMachineKeyTree(path);
}
