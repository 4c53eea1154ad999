#pragma once
// The device the setup acts on, and the operations that find, create, install and remove it.
// Operations return 0 or the Windows/SetupAPI code of the failing call.
#include <windows.h>
#include <setupapi.h>

#include <string>

#include "config/platform_kind.h"
#include "device/device_handles.h"
#include "device/device_layer.h"
#include "device/driver_state.h"
#include "inf/inf_file.h"

// What the installer tells the user on the way, through whoever owns a window.
enum class InstallerNotice {
    DriverKeyUnreadable, // the driver key's "InfPath" value could not be read; removal goes on
};

struct NoticeSink {
    void (*notify)(void* context, InstallerNotice notice) = nullptr;
    void* context = nullptr;
};

extern const char UPDATE_LIBRARY[];          // "NEWDEV.DLL"
extern const char UPDATE_LIBRARY_FALLBACK[]; // "SETUPDRV.DLL"
extern const char UPDATE_FUNCTION[];         // "UpdateDriverForPlugAndPlayDevicesA"
extern const char SETUP_LIBRARY[];           // "SETUPAPI.DLL"
extern const char UNINSTALL_FUNCTION[];      // "SetupUninstallOEMInfA"

// "VID_xxxx&PID_xxxx" of a device id: the part after the enumerator, up to a "&REV_" or "&MI_"
// part; empty when the id names no VID and PID.
std::string vidPidOf(const std::string& deviceId);
// The joystick OEM entry key of a device id below HKEY_LOCAL_MACHINE; empty without VID and PID.
std::string oemEntryKey(const std::string& deviceId);

class DeviceInstaller {
public:
    DeviceInstaller(DeviceLayer& layer, PlatformKind platform, NoticeSink sink = NoticeSink());
    ~DeviceInstaller();
    DeviceInstaller(const DeviceInstaller&) = delete;
    DeviceInstaller& operator=(const DeviceInstaller&) = delete;

    // Selects the first present device listing `id` among its hardware ids (any letter case).
    // Without a match the earlier selection stays.
    bool findPresentDevice(const std::string& id);
    bool readDeviceDescription(std::string& out);
    // Finds the present device of `match` and decides its state: by its description, and for
    // one with the INF's driver by the status the system reports for it.
    DeviceCondition findState(const DeviceMatch& match);

    // Installs the INF's driver for `deviceId`; with `rootDevice` onto a device made here first
    // and removed afterwards (the pad is absent).
    SetupResult install(const InfFile& source, const std::string& deviceId, bool rootDevice);
    // Removes the installed INF and the device, and the joystick OEM entry of `deviceId`.
    SetupResult uninstall(const std::string& deviceId);

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
    DeviceCondition conditionOfInfDriver();
    bool restartRequested();
    bool restartPending();
    IdRead readHardwareIds(HDEVINFO list, SP_DEVINFO_DATA& element, std::string& ids);
    IdRead readHardwareIdProperty(HDEVINFO list, SP_DEVINFO_DATA& element, std::string& ids);
    DeviceKey openDeviceKey(HDEVINFO list, SP_DEVINFO_DATA& element, DWORD keyType, REGSAM access);
    bool uninstallOemInf(const std::string& infPath, const std::string& infDirectory);
    void deleteInstalledInf(const std::string& infPath);
    void resetDevice();

    DeviceLayer& layer;
    PlatformKind platform;
    NoticeSink sink;
    DeviceList deviceList;
    const InfFile* inf = nullptr;
    HWND parentWindow = nullptr;
    SP_DEVINFO_DATA device;
    bool registered = false; // `device` was created and registered here and has no driver yet
    std::string hardwareId;  // given to the last device created here
};
