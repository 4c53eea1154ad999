#pragma once
// Registry values and keys that fitkit reads or writes.

// Hardware key of a device on systems without device properties.
#define VALUE_HARDWARE_ID "HardwareID"
#define VALUE_DEVICE_DESC "DeviceDesc"
// Driver key of a device: the INF the system keeps for it.
#define VALUE_INF_PATH "InfPath"

// Joystick OEM entries that DirectInput reads, below HKEY_LOCAL_MACHINE, followed by VID_xxxx&PID_xxxx.
#define OEM_PATH "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\"
