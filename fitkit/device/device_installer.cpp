#include "device/device_installer.h"

#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>
#include <newdev.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "device/registry_names.h"

const char UPDATE_LIBRARY[] = "NEWDEV.DLL";
const char UPDATE_LIBRARY_FALLBACK[] = "SETUPDRV.DLL";
const char UPDATE_FUNCTION[] = "UpdateDriverForPlugAndPlayDevicesA";
const char SETUP_LIBRARY[] = "SETUPAPI.DLL";
const char UNINSTALL_FUNCTION[] = "SetupUninstallOEMInfA";

// Largest hardware-id property accepted from a device.
static const DWORD MAX_ID_LIST = 64 * 1024;
static const DWORD DESCRIPTION_SIZE = 260;

// The code of a call that just failed; never 0, so a failure is never taken for success.
static DWORD failureCode()
{
    DWORD code = GetLastError();
    return code ? code : ERROR_GEN_FAILURE;
}

DeviceInstaller::DeviceInstaller(DeviceLayer& layer, PlatformKind platform, NoticeSink sink)
    : layer(layer), platform(platform), sink(sink)
{
    resetDevice();
}

DeviceInstaller::~DeviceInstaller()
{
    if (registered && deviceList.valid())
        removeDevice();
}

void DeviceInstaller::resetDevice()
{
    device = SP_DEVINFO_DATA();
    device.cbSize = sizeof(SP_DEVINFO_DATA);
}

// SetupDiOpenDevRegKey's key, or none (it reports a failure as INVALID_HANDLE_VALUE).
DeviceKey DeviceInstaller::openDeviceKey(HDEVINFO list, SP_DEVINFO_DATA& element, DWORD keyType, REGSAM access)
{
    HKEY key = layer.openDevRegKey(list, &element, DICS_FLAG_GLOBAL, 0, keyType, access);
    return DeviceKey(key == INVALID_HANDLE_VALUE ? nullptr : key, DeviceKeyTraits{&layer});
}

// The SPDRP_HARDWAREID multi-string of one element, asked for until the buffer is large enough.
DeviceInstaller::IdRead DeviceInstaller::readHardwareIdProperty(HDEVINFO list, SP_DEVINFO_DATA& element,
                                                                std::string& ids)
{
    std::vector<BYTE> buffer;
    DWORD required = 0;
    while (!layer.getDeviceRegistryProperty(list, &element, SPDRP_HARDWAREID, buffer.data(),
                                            static_cast<DWORD>(buffer.size()), &required)) {
        DWORD code = GetLastError();
        if (code == ERROR_INVALID_DATA)
            return IdRead::Skip;
        if (code == ERROR_INSUFFICIENT_BUFFER && required > MAX_ID_LIST)
            return IdRead::Skip; // more ids than any pad lists: not ours
        if (code != ERROR_INSUFFICIENT_BUFFER || required <= buffer.size())
            return IdRead::Abort;
        buffer.assign(required, 0);
    }
    ids.assign(reinterpret_cast<const char*>(buffer.data()), std::min<size_t>(required, buffer.size()));
    return IdRead::Read;
}

// Hardware ids of one element as zero-separated texts (comma-separated on systems without
// device properties).
DeviceInstaller::IdRead DeviceInstaller::readHardwareIds(HDEVINFO list, SP_DEVINFO_DATA& element,
                                                         std::string& ids)
{
    if (platform.isNt5)
        return readHardwareIdProperty(list, element, ids);

    DeviceKey key = openDeviceKey(list, element, DIREG_DEV, KEY_ALL_ACCESS);
    if (!key.valid())
        return IdRead::Skip;
    DWORD size = 0;
    if (layer.queryValue(key.get(), VALUE_HARDWARE_ID, nullptr, &size) != ERROR_SUCCESS ||
        size > MAX_ID_LIST)
        return IdRead::Skip;
    std::vector<char> buffer(size + 1, 0);
    DWORD got = size;
    if (layer.queryValue(key.get(), VALUE_HARDWARE_ID, reinterpret_cast<BYTE*>(buffer.data()), &got) !=
        ERROR_SUCCESS)
        got = 0;
    ids.assign(buffer.data(), std::min(got, size));
    std::replace(ids.begin(), ids.end(), ',', '\0');
    return IdRead::Read;
}

// Equal apart from letter case, character by character in the system code page.
static bool sameIgnoringCase(std::string a, std::string b)
{
    if (a.size() != b.size())
        return false;
    CharUpperBuffA(&a[0], static_cast<DWORD>(a.size()));
    CharUpperBuffA(&b[0], static_cast<DWORD>(b.size()));
    return a == b;
}

// Walks zero-separated texts up to the first empty one or the end of the data.
static bool listsId(const std::string& ids, const std::string& id)
{
    size_t start = 0;
    while (start < ids.size() && ids[start] != '\0') {
        size_t end = ids.find('\0', start);
        if (end == std::string::npos)
            end = ids.size();
        if (sameIgnoringCase(ids.substr(start, end - start), id))
            return true;
        start = end + 1;
    }
    return false;
}

bool DeviceInstaller::findPresentDevice(const std::string& id)
{
    DeviceList list(layer.getClassDevs(nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES), DeviceListTraits{&layer});
    if (!list.valid())
        return false;
    SP_DEVINFO_DATA element = {};
    element.cbSize = sizeof(SP_DEVINFO_DATA);
    for (DWORD index = 0; layer.enumDeviceInfo(list.get(), index, &element); ++index) {
        std::string ids;
        IdRead read = readHardwareIds(list.get(), element, ids);
        if (read == IdRead::Abort)
            return false;
        if (read == IdRead::Read && listsId(ids, id)) {
            deviceList = std::move(list);
            registered = false; // a device registered here went with the old list
            device = element;
            return true;
        }
        element = SP_DEVINFO_DATA();
        element.cbSize = sizeof(SP_DEVINFO_DATA);
    }
    return false;
}

bool DeviceInstaller::readDeviceDescription(std::string& out)
{
    if (!deviceList.valid())
        return false;
    char text[DESCRIPTION_SIZE + 1] = {};
    if (platform.isNt5) {
        if (!layer.getDeviceRegistryProperty(deviceList.get(), &device, SPDRP_DEVICEDESC,
                                             reinterpret_cast<BYTE*>(text), DESCRIPTION_SIZE, nullptr))
            return false;
    } else {
        DeviceKey key = openDeviceKey(deviceList.get(), device, DIREG_DEV, KEY_ALL_ACCESS);
        if (!key.valid())
            return false;
        DWORD size = DESCRIPTION_SIZE;
        if (layer.queryValue(key.get(), VALUE_DEVICE_DESC, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS)
            text[0] = '\0';
    }
    text[DESCRIPTION_SIZE - 1] = '\0';
    out = text;
    return true;
}

// The status the system reports for the selected device, which has the INF's driver. A system
// that cannot say counts as working.
DeviceCondition DeviceInstaller::conditionOfInfDriver()
{
    DeviceCondition condition;
    condition.state = DriverState::Installed;
    ULONG status = 0, problem = 0;
    if (layer.getDevNodeStatus(device.DevInst, &status, &problem) != CR_SUCCESS)
        return condition;
    if (status & DN_HAS_PROBLEM) {
        if (problem == CM_PROB_NEED_RESTART) {
            condition.state = DriverState::RestartPending;
        } else {
            condition.state = DriverState::NotWorking;
            condition.problem = problem;
        }
    } else if (status & DN_NEED_RESTART) {
        condition.state = DriverState::RestartPending;
    }
    return condition;
}

DeviceCondition DeviceInstaller::findState(const DeviceMatch& match)
{
    DeviceCondition condition;
    if (!findPresentDevice(match.deviceId))
        return condition;
    std::string description;
    if (!readDeviceDescription(description))
        description.clear();
    if (description != match.description) {
        condition.state = DriverState::OtherDriver;
        return condition;
    }
    return conditionOfInfDriver();
}

// Whether the system reports the selected device as waiting for a restart.
bool DeviceInstaller::restartPending()
{
    return deviceList.valid() && conditionOfInfDriver().state == DriverState::RestartPending;
}

// Whether a class installer asked for a restart on the selected element.
bool DeviceInstaller::restartRequested()
{
    if (!deviceList.valid())
        return false;
    SP_DEVINSTALL_PARAMS_A params = {};
    params.cbSize = sizeof(params);
    return layer.getDeviceInstallParams(deviceList.get(), &device, &params) &&
           (params.Flags & (DI_NEEDREBOOT | DI_NEEDRESTART)) != 0;
}

SetupResult DeviceInstaller::install(const InfFile& source, const std::string& deviceId, bool rootDevice)
{
    SetupResult result;
    if (rootDevice) {
        result.operation = SetupStep::CreateDeviceList;
        result.code = createDeviceList(source);
        if (result.code == 0) {
            result.operation = SetupStep::CreateRootDevice;
            result.code = createRootDevice(deviceId);
        }
        if (result.code == 0) {
            result.operation = SetupStep::RegisterDevice;
            result.code = registerDevice();
        }
        if (result.code != 0)
            return result;
    }
    if (platform.isWin9x)
        removeDriver(); // the old driver goes first; its outcome does not stop the update
    bool reboot = false;
    result.operation = SetupStep::UpdateDriver;
    result.code = updateDriver(deviceId, source.path, reboot);
    if (rootDevice) {
        removeDevice(); // a restart asked for the device made here went with it
        return result;
    }
    result.restartNeeded = result.code == 0 && (reboot || restartRequested() || restartPending());
    return result;
}

SetupResult DeviceInstaller::uninstall(const std::string& deviceId)
{
    SetupResult result;
    result.operation = SetupStep::RemoveDriver;
    result.code = removeDriver();
    result.restartNeeded = result.code == 0 && restartRequested();
    // DirectInput would otherwise still take the pad for one with our force-feedback driver.
    clearOemEntry(deviceId);
    return result;
}

DWORD DeviceInstaller::createDeviceList(const InfFile& source)
{
    inf = &source;
    deviceList.reset();
    registered = false;
    resetDevice();
    HDEVINFO list = layer.createDeviceInfoList(&source.classGuid, parentWindow);
    if (list == INVALID_HANDLE_VALUE)
        return failureCode();
    deviceList = DeviceList(list, DeviceListTraits{&layer});
    return 0;
}

DWORD DeviceInstaller::createRootDevice(const std::string& id)
{
    if (!inf || !deviceList.valid())
        return ERROR_INVALID_HANDLE;
    if (!layer.createDeviceInfo(deviceList.get(), inf->className.c_str(), &inf->classGuid, nullptr,
                                parentWindow, DICD_GENERATE_ID, &device))
        return failureCode();
    hardwareId = id;
    // A multi-string of one id: its characters and two zero bytes.
    std::vector<BYTE> ids(id.begin(), id.end());
    ids.push_back(0);
    ids.push_back(0);
    if (!layer.setDeviceRegistryProperty(deviceList.get(), &device, SPDRP_HARDWAREID, ids.data(),
                                         static_cast<DWORD>(ids.size())))
        return failureCode();
    return 0;
}

DWORD DeviceInstaller::registerDevice()
{
    if (!layer.callClassInstaller(DIF_REGISTERDEVICE, deviceList.get(), &device))
        return failureCode();
    registered = true;
    return 0;
}

DWORD DeviceInstaller::removeDevice()
{
    if (!layer.callClassInstaller(DIF_REMOVE, deviceList.get(), &device))
        return failureCode();
    return 0;
}

DWORD DeviceInstaller::updateDriver(const std::string& id, const std::string& infFullPath, bool& reboot)
{
    HMODULE module = layer.loadLibrary(UPDATE_LIBRARY);
    if (!module)
        module = layer.loadLibrary(UPDATE_LIBRARY_FALLBACK);
    if (!module)
        return failureCode();
    Library library(module, LibraryTraits{&layer});
    FARPROC update = layer.getProcAddress(module, UPDATE_FUNCTION);
    if (!update)
        return failureCode(); // taken before the library is unloaded
    BOOL needsReboot = FALSE;
    if (!layer.updateDriver(update, parentWindow, id.c_str(), infFullPath.c_str(), INSTALLFLAG_FORCE,
                            &needsReboot))
        return failureCode();
    reboot = needsReboot != FALSE;
    registered = false;
    return 0;
}

// A file name alone: no folder, no drive. Any other InfPath value is tried as written first.
static bool isBareName(const std::string& path)
{
    return path.find_first_of("\\/:") == std::string::npos;
}

static bool endsWithIgnoringCase(const std::string& text, const char* tail)
{
    size_t length = strlen(tail);
    return text.size() >= length && _stricmp(text.c_str() + text.size() - length, tail) == 0;
}

// "oem*.inf": the name the system gives a package it copies into its INF directory.
static bool isOemInfName(const std::string& name)
{
    return isBareName(name) && name.size() >= 7 && _strnicmp(name.c_str(), "oem", 3) == 0 &&
           endsWithIgnoringCase(name, ".inf");
}

static bool isFile(DeviceLayer& layer, const std::string& path)
{
    DWORD attributes = layer.fileAttributes(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The Windows INF directory, with its closing backslash.
static std::string windowsInfDirectory(DeviceLayer& layer)
{
    char windows[MAX_PATH + 1] = {};
    UINT length = layer.windowsDirectory(windows, MAX_PATH);
    std::string directory(windows, length < MAX_PATH ? length : 0);
    if (directory.empty() || directory.back() != '\\')
        directory += '\\';
    return directory + "INF\\";
}

// Has the system remove an installed oem*.inf of its INF directory, and on Vista and later the
// package in its driver store with it. False where the system lacks the function, it fails, or
// the value is not such a file.
bool DeviceInstaller::uninstallOemInf(const std::string& infPath, const std::string& infDirectory)
{
    if (!isOemInfName(infPath) || !isFile(layer, infDirectory + infPath))
        return false;
    Library library(layer.loadLibrary(SETUP_LIBRARY), LibraryTraits{&layer});
    if (!library.valid())
        return false;
    FARPROC uninstall = layer.getProcAddress(library.get(), UNINSTALL_FUNCTION);
    return uninstall && layer.uninstallOemInf(uninstall, infPath.c_str(), SUOI_FORCEDELETE);
}

// Deletes the INF the system keeps for the device (and on NT 5 its precompiled PNF beside it).
// By path, each place is tried only while the file was not found at the one before.
void DeviceInstaller::deleteInstalledInf(const std::string& infPath)
{
    std::string infDirectory = windowsInfDirectory(layer);
    std::string last = infDirectory + infPath;
    if (!uninstallOemInf(infPath, infDirectory)) {
        std::vector<std::string> trials;
        // A bare name is never taken from the current directory: that may be the package's own INF.
        if (!isBareName(infPath))
            trials.push_back(infPath);
        trials.push_back(infDirectory + infPath);
        trials.push_back(infDirectory + "OTHER\\" + infPath);
        for (const std::string& trial : trials) {
            last = trial;
            if (layer.deleteFile(trial.c_str()))
                break;
            DWORD code = GetLastError();
            if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND)
                break;
        }
    }
    if (platform.isNt5 && last.size() >= 3) {
        last.replace(last.size() - 3, 3, "PNF"); // the precompiled INF beside it, if still there
        layer.deleteFile(last.c_str());
    }
}

DWORD DeviceInstaller::removeDriver()
{
    if (!deviceList.valid())
        return 0;
    DeviceKey key = openDeviceKey(deviceList.get(), device, DIREG_DRV, KEY_QUERY_VALUE);
    if (!key.valid())
        return 0; // no driver key: nothing to remove
    char value[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    if (layer.queryValue(key.get(), VALUE_INF_PATH, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS) {
        if (sink.notify)
            sink.notify(sink.context, InstallerNotice::DriverKeyUnreadable);
    } else if (value[0] != '\0') {
        deleteInstalledInf(value);
    }
    key.reset();
    return removeDevice();
}

static bool startsWithIgnoringCase(const std::string& text, size_t at, const char* head)
{
    size_t length = strlen(head);
    return text.size() >= at + length && _strnicmp(text.c_str() + at, head, length) == 0;
}

std::string vidPidOf(const std::string& deviceId)
{
    size_t start = deviceId.find('\\');
    if (start == std::string::npos)
        return std::string();
    ++start;
    size_t end = deviceId.find('\\', start);
    std::string part = deviceId.substr(start, end == std::string::npos ? std::string::npos : end - start);
    for (size_t at = 0; (at = part.find('&', at)) != std::string::npos; ++at) {
        if (startsWithIgnoringCase(part, at, "&REV_") || startsWithIgnoringCase(part, at, "&MI_")) {
            part.resize(at);
            break;
        }
    }
    // VID_ and four hex digits, &PID_ and four hex digits.
    const size_t VID_PID_LENGTH = 17;
    if (part.size() != VID_PID_LENGTH || !startsWithIgnoringCase(part, 0, "VID_") ||
        !startsWithIgnoringCase(part, 8, "&PID_"))
        return std::string();
    for (size_t i : {4, 5, 6, 7, 13, 14, 15, 16})
        if (!isxdigit(static_cast<unsigned char>(part[i])))
            return std::string();
    return part;
}

std::string oemEntryKey(const std::string& deviceId)
{
    std::string vidPid = vidPidOf(deviceId);
    return vidPid.empty() ? std::string() : OEM_PATH + vidPid;
}

void DeviceInstaller::clearOemEntry(const std::string& deviceId)
{
    std::string key = oemEntryKey(deviceId);
    if (!key.empty())
        layer.deleteMachineKeyTree(key.c_str()); // an entry that is not there is no failure
}
