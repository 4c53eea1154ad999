#include "hid_pad.h"
#include "hid_minidriver.h"
#include "pad_log.h"

#define PAD_VENDOR_ID 0xF055
#define PAD_VERSION 0x0100
#define PAD_OUTPUT_REPORT_ID 2
#define PAD_OUTPUT_REPORT_LENGTH 20

/* A game pad with two axes (input report 1) and the force-feedback output report 2:
 * the report id followed by 19 vendor-defined bytes. */
static const UCHAR reportDescriptor[] = {
    0x05, 0x01, /* Usage Page (Generic Desktop) */
    0x09, 0x05, /* Usage (Game Pad) */
    0xA1, 0x01, /* Collection (Application) */
    0x85, 0x01, /*   Report ID (1) */
    0x09, 0x30, /*   Usage (X) */
    0x09, 0x31, /*   Usage (Y) */
    0x15, 0x00, /*   Logical Minimum (0) */
    0x26, 0xFF,
    0x00,                       /*   Logical Maximum (255) */
    0x75, 0x08,                 /*   Report Size (8) */
    0x95, 0x02,                 /*   Report Count (2) */
    0x81, 0x02,                 /*   Input (Data, Variable, Absolute) */
    0x85, PAD_OUTPUT_REPORT_ID, /* Report ID (2) */
    0x06, 0x00,
    0xFF,       /*   Usage Page (Vendor Defined) */
    0x09, 0x01, /*   Usage (1) */
    0x15, 0x00, /*   Logical Minimum (0) */
    0x26, 0xFF,
    0x00,                               /*   Logical Maximum (255) */
    0x75, 0x08,                         /*   Report Size (8) */
    0x95, PAD_OUTPUT_REPORT_LENGTH - 1, /* Report Count (19) */
    0x91, 0x02,                         /*   Output (Data, Variable, Absolute) */
    0xC0,                               /* End Collection */
};

static const WCHAR manufacturerString[] = L"Padkit Test";
static const WCHAR serialString[] = L"VP0001";

static const HidIdentity* identity;

/* Only the pad journals; the other devices stay silent. */
static void journalLine(PadLine* line)
{
    if (identity->journal)
        padLineWrite(line);
}

static void journal(const char* text)
{
    PadLine line;
    padLineStart(&line, text);
    journalLine(&line);
}

static NTSTATUS complete(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS copyOut(PIRP irp, const void* data, ULONG size)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    if (!irp->UserBuffer || stack->Parameters.DeviceIoControl.OutputBufferLength < size)
        return complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
    RtlCopyMemory(irp->UserBuffer, data, size);
    return complete(irp, STATUS_SUCCESS, size);
}

static NTSTATUS getString(PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    ULONG id = (ULONG)(ULONG_PTR)stack->Parameters.DeviceIoControl.Type3InputBuffer & 0xFFFF;
    const WCHAR* text;
    ULONG size;
    PadLine line;

    switch (id) {
    case HID_STRING_ID_IMANUFACTURER:
        text = manufacturerString;
        size = sizeof(manufacturerString);
        break;
    case HID_STRING_ID_IPRODUCT:
        text = identity->product;
        size = identity->productSize;
        break;
    case HID_STRING_ID_ISERIALNUMBER:
        text = serialString;
        size = sizeof(serialString);
        break;
    default:
        return complete(irp, STATUS_INVALID_PARAMETER, 0);
    }
    padLineStart(&line, "string ");
    padLineDecimal(&line, id);
    journalLine(&line);
    return copyOut(irp, text, size);
}

/* Every output report is journalled byte for byte, with the device that received it (its device
 * object's address): "write <id> <length> <hex bytes> device <address>". */
static NTSTATUS writeReport(PDEVICE_OBJECT device, PIRP irp, const char* kind)
{
    HID_XFER_PACKET* packet = irp->UserBuffer;
    PadLine line;
    ULONG i;

    if (!packet || !packet->reportBuffer)
        return complete(irp, STATUS_INVALID_PARAMETER, 0);
    padLineStart(&line, kind);
    padLineText(&line, " ");
    padLineDecimal(&line, packet->reportId);
    padLineText(&line, " ");
    padLineDecimal(&line, packet->reportBufferLen);
    padLineText(&line, " ");
    for (i = 0; i < packet->reportBufferLen; ++i)
        padLineHex(&line, packet->reportBuffer[i], 2);
    padLineText(&line, " device ");
    padLineHex(&line, (ULONG)((ULONG64)(ULONG_PTR)device >> 32), 8);
    padLineHex(&line, (ULONG)(ULONG_PTR)device, 8);
    journalLine(&line);
    return complete(irp, STATUS_SUCCESS, packet->reportBufferLen);
}

static NTSTATUS NTAPI internalIoctl(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);

    switch (stack->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_HID_GET_DEVICE_DESCRIPTOR: {
        HID_DESCRIPTOR descriptor;
        RtlZeroMemory(&descriptor, sizeof(descriptor));
        descriptor.bLength = sizeof(descriptor);
        descriptor.bDescriptorType = HID_HID_DESCRIPTOR_TYPE;
        descriptor.bcdHID = 0x0111;
        descriptor.bNumDescriptors = 1;
        descriptor.DescriptorList[0].bReportType = HID_REPORT_DESCRIPTOR_TYPE;
        descriptor.DescriptorList[0].wReportLength = sizeof(reportDescriptor);
        return copyOut(irp, &descriptor, sizeof(descriptor));
    }
    case IOCTL_HID_GET_REPORT_DESCRIPTOR:
        return copyOut(irp, reportDescriptor, sizeof(reportDescriptor));
    case IOCTL_HID_GET_DEVICE_ATTRIBUTES: {
        HID_DEVICE_ATTRIBUTES attributes;
        RtlZeroMemory(&attributes, sizeof(attributes));
        attributes.Size = sizeof(attributes);
        attributes.VendorID = PAD_VENDOR_ID;
        attributes.ProductID = identity->productId;
        attributes.VersionNumber = PAD_VERSION;
        return copyOut(irp, &attributes, sizeof(attributes));
    }
    case IOCTL_HID_GET_STRING:
        return getString(irp);
    case IOCTL_HID_WRITE_REPORT:
        return writeReport(device, irp, "write");
    case IOCTL_HID_SET_OUTPUT_REPORT:
        return writeReport(device, irp, "set-output");
    case IOCTL_HID_ACTIVATE_DEVICE:
    case IOCTL_HID_DEACTIVATE_DEVICE:
        return complete(irp, STATUS_SUCCESS, 0);
    default:
        /* No input ever arrives from this pad: polls and reads find nothing. */
        return complete(irp, STATUS_NOT_SUPPORTED, 0);
    }
}

static PDEVICE_OBJECT lowerDevice(PDEVICE_OBJECT device)
{
    return ((PHID_DEVICE_EXTENSION)device->DeviceExtension)->NextDeviceObject;
}

static NTSTATUS NTAPI pnp(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    PadLine line;

    switch (stack->MinorFunction) {
    case IRP_MN_START_DEVICE:
        journal("start");
        break;
    case IRP_MN_SURPRISE_REMOVAL:
        journal("surprise-removal");
        break;
    case IRP_MN_REMOVE_DEVICE:
        journal("remove");
        break;
    default:
        padLineStart(&line, "pnp ");
        padLineHex(&line, stack->MinorFunction, 2);
        journalLine(&line);
        break;
    }
    /* The root bus below completes at once; nothing of the pad needs starting or stopping. */
    if (stack->MinorFunction == IRP_MN_START_DEVICE || stack->MinorFunction == IRP_MN_REMOVE_DEVICE ||
        stack->MinorFunction == IRP_MN_SURPRISE_REMOVAL || stack->MinorFunction == IRP_MN_STOP_DEVICE)
        irp->IoStatus.Status = STATUS_SUCCESS;
    IoSkipCurrentIrpStackLocation(irp);
    return IoCallDriver(lowerDevice(device), irp);
}

static NTSTATUS NTAPI power(PDEVICE_OBJECT device, PIRP irp)
{
    PoStartNextPowerIrp(irp);
    IoSkipCurrentIrpStackLocation(irp);
    return PoCallDriver(lowerDevice(device), irp);
}

static NTSTATUS NTAPI addDevice(PDRIVER_OBJECT driver, PDEVICE_OBJECT fdo)
{
    (void)driver;
    journal("add-device");
    fdo->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

NTSTATUS hidPadRegister(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath, const HidIdentity* who)
{
    HID_MINIDRIVER_REGISTRATION registration;
    NTSTATUS status;
    PadLine line;

    identity = who;
    driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = internalIoctl;
    driver->MajorFunction[IRP_MJ_PNP] = pnp;
    driver->MajorFunction[IRP_MJ_POWER] = power;
    driver->DriverExtension->AddDevice = addDevice;

    RtlZeroMemory(&registration, sizeof(registration));
    registration.Revision = HID_REVISION;
    registration.DriverObject = driver;
    registration.RegistryPath = registryPath;
    registration.DeviceExtensionSize = 0;
    /* Polled: the class driver asks for input now and then instead of keeping a read pending
     * in the pad, so removal never waits for a read that no input would complete. */
    registration.DevicesArePolled = TRUE;
    status = HidRegisterMinidriver(&registration);

    padLineStart(&line, "hid-register ");
    padLineHex(&line, (ULONG)status, 8);
    journalLine(&line);
    return status;
}
