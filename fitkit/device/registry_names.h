#pragma once
// Registry values and keys that fitkit reads or writes.

// Hardware key of a device on systems without device properties.
#define VALUE_HARDWARE_ID "HardwareID"
#define VALUE_DEVICE_DESC "DeviceDesc"
// Driver key of a device: the INF the system keeps for it.
#define VALUE_INF_PATH "InfPath"

// Joystick OEM entries, below HKEY_LOCAL_MACHINE, followed by the device id.
#define OEM_PATH_NT5 "SYSTEM\\ControlSet001\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\"
#define OEM_PATH_OTHER                                                                                       \
    "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\"
