/* The pad's control device \\.\VirtualPadControl: on any device control request it reads the
 * pad's settings key and journals the values it finds there. The key's path (below
 * HKEY_LOCAL_MACHINE) is the "SettingsKey" value of the service's Parameters key. */
#ifndef VIRTUAL_PAD_CONTROL_DEVICE_H
#define VIRTUAL_PAD_CONTROL_DEVICE_H

#include <ntddk.h>

NTSTATUS controlDeviceCreate(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath);
void controlDeviceDelete(void);
BOOLEAN controlDeviceIs(PDEVICE_OBJECT device);
NTSTATUS controlDeviceDispatch(PDEVICE_OBJECT device, PIRP irp);

#endif
