/* The other HID devices of the end-to-end tests: as many as a test makes root devices with the
 * hardware id Root\OtherHid_KPX24, each a HID device whose product string "KPX24 Other HID" is
 * close to the pad's without matching it. They journal nothing. */
#include <ntddk.h>

#include "hid_pad.h"

static const WCHAR otherProduct[] = L"KPX24 Other HID";
static const HidIdentity other = {0x0241, otherProduct, sizeof(otherProduct), FALSE};

static VOID NTAPI unload(PDRIVER_OBJECT driver)
{
    (void)driver;
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    driver->DriverUnload = unload;
    return hidPadRegister(driver, registryPath, &other);
}
