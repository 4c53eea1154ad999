#include "control_device.h"
#include "pad_log.h"

#define PATH_UNITS 512

static PDEVICE_OBJECT controlDevice;
static WCHAR parametersPath[PATH_UNITS];
static UNICODE_STRING deviceName = RTL_CONSTANT_STRING(L"\\Device\\VirtualPadControl");
static UNICODE_STRING linkName = RTL_CONSTANT_STRING(L"\\DosDevices\\VirtualPadControl");

static BOOLEAN appendPath(WCHAR* path, ULONG* used, const WCHAR* text, ULONG units)
{
    ULONG i;
    for (i = 0; i < units && text[i]; ++i) {
        if (*used + 1 >= PATH_UNITS)
            return FALSE;
        path[(*used)++] = text[i];
    }
    path[*used] = 0;
    return TRUE;
}

static HANDLE openKey(const WCHAR* path)
{
    UNICODE_STRING name;
    OBJECT_ATTRIBUTES attributes;
    HANDLE key;
    RtlInitUnicodeString(&name, path);
    InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    return NT_SUCCESS(ZwOpenKey(&key, KEY_READ, &attributes)) ? key : NULL;
}

/* The kernel path of the settings key, from the service's Parameters\SettingsKey. */
static BOOLEAN settingsKeyPath(WCHAR* path)
{
    UCHAR buffer[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + PATH_UNITS * sizeof(WCHAR)];
    PKEY_VALUE_PARTIAL_INFORMATION value = (PKEY_VALUE_PARTIAL_INFORMATION)buffer;
    UNICODE_STRING name = RTL_CONSTANT_STRING(L"SettingsKey");
    ULONG size, used = 0;
    HANDLE parameters = openKey(parametersPath);
    NTSTATUS status;

    if (!parameters)
        return FALSE;
    status = ZwQueryValueKey(parameters, &name, KeyValuePartialInformation, value, sizeof(buffer), &size);
    ZwClose(parameters);
    if (!NT_SUCCESS(status) || value->Type != REG_SZ)
        return FALSE;
    return appendPath(path, &used, L"\\Registry\\Machine\\", PATH_UNITS) &&
           appendPath(path, &used, (const WCHAR*)value->Data, value->DataLength / sizeof(WCHAR));
}

/* Journals "value <name>=<text>" for every text value of the settings key, as it stands now. */
static void journalSettings(void)
{
    UCHAR buffer[sizeof(KEY_VALUE_FULL_INFORMATION) + 2048];
    PKEY_VALUE_FULL_INFORMATION value = (PKEY_VALUE_FULL_INFORMATION)buffer;
    WCHAR path[PATH_UNITS];
    HANDLE key;
    ULONG index, size;
    PadLine line;

    if (!settingsKeyPath(path)) {
        padLog("settings-key unknown");
        return;
    }
    if (!(key = openKey(path))) {
        padLog("settings-key missing");
        return;
    }
    for (index = 0;
         NT_SUCCESS(ZwEnumerateValueKey(key, index, KeyValueFullInformation, value, sizeof(buffer), &size));
         ++index) {
        padLineStart(&line, "value ");
        padLineWide(&line, value->Name, value->NameLength / sizeof(WCHAR));
        if (value->Type == REG_SZ) {
            padLineText(&line, "=");
            padLineWide(&line, (const WCHAR*)(buffer + value->DataOffset), value->DataLength / sizeof(WCHAR));
        } else {
            padLineText(&line, " type ");
            padLineDecimal(&line, value->Type);
        }
        padLineWrite(&line);
    }
    ZwClose(key);
}

NTSTATUS controlDeviceDispatch(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    NTSTATUS status = STATUS_SUCCESS;
    PadLine line;
    (void)device;

    switch (stack->MajorFunction) {
    case IRP_MJ_CREATE:
        padLineStart(&line, "control-open share ");
        padLineDecimal(&line, stack->Parameters.Create.ShareAccess);
        padLineWrite(&line);
        break;
    case IRP_MJ_CLOSE:
        padLog("control-close");
        break;
    case IRP_MJ_CLEANUP:
        break;
    case IRP_MJ_DEVICE_CONTROL:
        padLineStart(&line, "request ");
        padLineHex(&line, stack->Parameters.DeviceIoControl.IoControlCode, 8);
        padLineText(&line, " in ");
        padLineDecimal(&line, stack->Parameters.DeviceIoControl.InputBufferLength);
        padLineText(&line, " out ");
        padLineDecimal(&line, stack->Parameters.DeviceIoControl.OutputBufferLength);
        padLineWrite(&line);
        journalSettings();
        padLog("request-end");
        break;
    default:
        status = STATUS_INVALID_DEVICE_REQUEST;
        break;
    }
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = 0;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

BOOLEAN controlDeviceIs(PDEVICE_OBJECT device)
{
    return controlDevice && device == controlDevice;
}

NTSTATUS controlDeviceCreate(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    ULONG used = 0;
    NTSTATUS status;

    if (!appendPath(parametersPath, &used, registryPath->Buffer, registryPath->Length / sizeof(WCHAR)) ||
        !appendPath(parametersPath, &used, L"\\Parameters", PATH_UNITS))
        return STATUS_NAME_TOO_LONG;
    status = IoCreateDevice(driver, 0, &deviceName, FILE_DEVICE_UNKNOWN, 0, FALSE, &controlDevice);
    if (!NT_SUCCESS(status))
        return status;
    status = IoCreateSymbolicLink(&linkName, &deviceName);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(controlDevice);
        controlDevice = NULL;
        return status;
    }
    controlDevice->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

void controlDeviceDelete(void)
{
    if (!controlDevice)
        return;
    IoDeleteSymbolicLink(&linkName);
    IoDeleteDevice(controlDevice);
    controlDevice = NULL;
}
