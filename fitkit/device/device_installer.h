#pragma once
// The device the setup acts on, and the operations that find, create, install and remove it.
// Operations return 0 or the Windows/SetupAPI code of the failing call.
#include <windows.h>
#include <setupapi.h>

#include <string>

#include "config/platform_kind.h"
#include "device/device_handles.h"
#include "device/device_layer.h"
#include "inf/inf_file.h"

// Shows a warning on behalf of an operation (the installer itself owns no window).
struct WarningSink {
    void (*warn)(void* context, const char* text) = nullptr;
    void* context = nullptr;
};

extern const char UPDATE_LIBRARY[];          // "NEWDEV.DLL"
extern const char UPDATE_LIBRARY_FALLBACK[]; // "SETUPDRV.DLL"
extern const char UPDATE_FUNCTION[];         // "UpdateDriverForPlugAndPlayDevicesA"
extern const char SETUP_LIBRARY[];           // "SETUPAPI.DLL"
extern const char UNINSTALL_FUNCTION[];      // "SetupUninstallOEMInfA"
extern const char READ_DRIVER_KEY_FAIL[];

// "VID_xxxx&PID_xxxx" of a device id: the part after the enumerator, up to a "&REV_" or "&MI_"
// part; empty when the id names no VID and PID.
std::string vidPidOf(const std::string& deviceId);
// The joystick OEM entry key of a device id below HKEY_LOCAL_MACHINE; empty without VID and PID.
std::string oemEntryKey(const std::string& deviceId);

class DeviceInstaller {
public:
    DeviceInstaller(DeviceLayer& layer, PlatformKind platform, WarningSink sink = WarningSink());
    ~DeviceInstaller();
    DeviceInstaller(const DeviceInstaller&) = delete;
    DeviceInstaller& operator=(const DeviceInstaller&) = delete;

    // Selects the first present device listing `id` among its hardware ids (any letter case).
    // Without a match the earlier selection stays.
    bool findPresentDevice(const std::string& id);
    bool readDeviceDescription(std::string& out);

    DWORD createDeviceList(const InfFile& inf);
    DWORD createRootDevice(const std::string& id);
    DWORD registerDevice();
    DWORD removeDevice();
    DWORD updateDriver(const std::string& id, const std::string& infFullPath, bool& reboot);
    DWORD removeDriver();
    // Deletes the joystick OEM entry of `deviceId` that DirectInput reads; nothing without VID and PID.
    void clearOemEntry(const std::string& deviceId);

private:
    enum class IdRead { Read, Skip, Abort };
    IdRead readHardwareIds(HDEVINFO list, SP_DEVINFO_DATA& element, std::string& ids);
    IdRead readHardwareIdProperty(HDEVINFO list, SP_DEVINFO_DATA& element, std::string& ids);
    RegKey openDeviceKey(HDEVINFO list, SP_DEVINFO_DATA& element, DWORD keyType, REGSAM access);
    bool uninstallOemInf(const std::string& infPath, const std::string& infDirectory);
    void deleteInstalledInf(const std::string& infPath);
    void resetDevice();

    DeviceLayer& layer;
    PlatformKind platform;
    WarningSink sink;
    DeviceList deviceList;
    const InfFile* inf = nullptr;
    HWND parentWindow = nullptr;
    SP_DEVINFO_DATA device;
    bool registered = false; // `device` was created and registered here and has no driver yet
    std::string hardwareId;  // given to the last device created here
};
