/* The pad as a HID minidriver below the HID class driver. */
#ifndef VIRTUAL_PAD_HID_PAD_H
#define VIRTUAL_PAD_HID_PAD_H

#include <ntddk.h>

NTSTATUS hidPadRegister(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath);

#endif
