#pragma once
#include <windows.h>

enum class DriverState {
    NotInstalled = 0,   // no present device lists the device id
    OtherDriver = 1,    // present, description differs from the INF's model description
    Installed = 2,      // present with the INF's driver, and working as far as the system says
    NotWorking = 3,     // present with the INF's driver, but the system reports a problem code
    RestartPending = 4, // present with the INF's driver, waiting for a restart
};

// The device has the INF's driver, whether or not it works.
inline bool hasInfDriver(DriverState state)
{
    return state == DriverState::Installed || state == DriverState::NotWorking ||
           state == DriverState::RestartPending;
}

// What refreshing the state found: the state and, for NotWorking, the system's problem code (CM_PROB_*).
struct DeviceCondition {
    DriverState state = DriverState::NotInstalled;
    ULONG problem = 0;
};

// The step of an install or uninstall that a result's code comes from.
enum class SetupStep {
    None,
    CreateDeviceList, // SetupDiCreateDeviceInfoList
    CreateRootDevice, // SetupDiCreateDeviceInfo or SetupDiSetDeviceRegistryProperty
    RegisterDevice,   // SetupDiCallClassInstaller(DIF_REGISTERDEVICE)
    UpdateDriver,     // the driver update
    RemoveDriver,     // the installed INF and the device
};

// Outcome of an install or uninstall: 0 or the code of the failing step, and whether the system
// asked for a restart to finish it.
struct SetupResult {
    DWORD code = 0;
    SetupStep operation = SetupStep::None;
    bool restartNeeded = false;
};
