/* The virtual pad of the end-to-end tests: a HID minidriver that journals the output reports it
 * receives, and a control device that journals the pad's settings when it is told of a change.
 * The HID class driver takes over the driver's dispatch table when the minidriver registers;
 * requests for the control device are routed around it. */
#include <ntddk.h>

#include "control_device.h"
#include "hid_pad.h"
#include "pad_log.h"

static const WCHAR padProduct[] = L"KPX240 Virtual Pad";
static const HidIdentity pad = {0x0240, padProduct, sizeof(padProduct), TRUE};

static PDRIVER_DISPATCH classDispatch[IRP_MJ_MAXIMUM_FUNCTION + 1];
static PDRIVER_UNLOAD classUnload;

static NTSTATUS NTAPI route(PDEVICE_OBJECT device, PIRP irp)
{
    if (controlDeviceIs(device))
        return controlDeviceDispatch(device, irp);
    return classDispatch[IoGetCurrentIrpStackLocation(irp)->MajorFunction](device, irp);
}

static VOID NTAPI unload(PDRIVER_OBJECT driver)
{
    controlDeviceDelete();
    padLog("unload");
    if (classUnload)
        classUnload(driver);
}

static VOID NTAPI minidriverUnload(PDRIVER_OBJECT driver)
{
    (void)driver;
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    NTSTATUS status;
    ULONG i;

    padLog("driver-entry");
    driver->DriverUnload = minidriverUnload;
    status = hidPadRegister(driver, registryPath, &pad);
    if (!NT_SUCCESS(status))
        return status;

    for (i = 0; i <= IRP_MJ_MAXIMUM_FUNCTION; ++i) {
        classDispatch[i] = driver->MajorFunction[i];
        driver->MajorFunction[i] = route;
    }
    classUnload = driver->DriverUnload;
    driver->DriverUnload = unload;

    status = controlDeviceCreate(driver, registryPath);
    if (!NT_SUCCESS(status))
        padLog("control-device failed");
    return STATUS_SUCCESS;
}
