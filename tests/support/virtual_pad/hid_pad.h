/* A HID minidriver below the HID class driver: the virtual pad, or one of the other HID devices
 * that stand before it in the device list. */
#ifndef VIRTUAL_PAD_HID_PAD_H
#define VIRTUAL_PAD_HID_PAD_H

#include <ntddk.h>

/* Who the device says it is, and whether it journals what it receives. */
typedef struct HidIdentity {
    USHORT productId;
    const WCHAR* product; /* zero-terminated */
    ULONG productSize;    /* bytes, terminator included */
    BOOLEAN journal;
} HidIdentity;

/* Registers the driver's devices with the HID class driver; `identity` must outlive the driver. */
NTSTATUS hidPadRegister(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath, const HidIdentity* identity);

#endif
