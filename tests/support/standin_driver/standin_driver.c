/* Stand-in for the pad's kernel driver, for the tests.
 *
 * Creates the control device \Device\PadStandin (\\.\PadStandin for programs) and appends one
 * line per event to a log file:
 *   create share=<ShareAccess hex>
 *   ioctl code=<hex> in=<input length> out=<output length>
 *   value <name>=<text>                       (each REG_SZ value of the watched key, per ioctl)
 *   close
 * Its service key holds the parameters: "LogFile" (an NT path such as \??\C:\x\driver.log) and
 * "WatchKey" (a registry path such as \Registry\Machine\Software\...).
 */
#include <ntddk.h>

#include "pad_log.h"

static UNICODE_STRING logPath;
static UNICODE_STRING watchKey;
static WCHAR logBuffer[512];
static WCHAR watchBuffer[512];
static PDEVICE_OBJECT controlDevice;

static void readParameter(HANDLE key, const WCHAR* name, UNICODE_STRING* target, WCHAR* storage,
                          USHORT capacity)
{
    UNICODE_STRING valueName;
    UCHAR buffer[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + 1024];
    PKEY_VALUE_PARTIAL_INFORMATION info = (PKEY_VALUE_PARTIAL_INFORMATION)buffer;
    ULONG length = 0;
    RtlInitUnicodeString(&valueName, name);
    target->Buffer = storage;
    target->Length = 0;
    target->MaximumLength = capacity;
    if (!NT_SUCCESS(
            ZwQueryValueKey(key, &valueName, KeyValuePartialInformation, info, sizeof(buffer), &length)))
        return;
    if (info->Type != REG_SZ || info->DataLength < sizeof(WCHAR))
        return;
    ULONG bytes = info->DataLength - sizeof(WCHAR);
    if (bytes > capacity)
        bytes = capacity;
    RtlCopyMemory(storage, info->Data, bytes);
    target->Length = (USHORT)bytes;
}

static void readParameters(PUNICODE_STRING registryPath)
{
    OBJECT_ATTRIBUTES attributes;
    HANDLE key;
    InitializeObjectAttributes(&attributes, registryPath, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL,
                               NULL);
    if (!NT_SUCCESS(ZwOpenKey(&key, KEY_READ, &attributes)))
        return;
    readParameter(key, L"LogFile", &logPath, logBuffer, sizeof(logBuffer));
    readParameter(key, L"WatchKey", &watchKey, watchBuffer, sizeof(watchBuffer));
    ZwClose(key);
}

static void writeLine(PadLine* line)
{
    if (logPath.Length)
        padLineWriteTo(line, &logPath);
}

static void logText(const char* text)
{
    PadLine line;
    padLineStart(&line, text);
    writeLine(&line);
}

/* Appends label and value as 0x and eight hex digits. */
static void appendHex(PadLine* line, const char* label, ULONG value)
{
    padLineText(line, label);
    padLineText(line, "0x");
    padLineHex(line, value, 8);
}

/* Logs every REG_SZ value of the watched key as it stands now. */
static void logWatchedValues(void)
{
    OBJECT_ATTRIBUTES attributes;
    HANDLE key;
    ULONG index;
    static UCHAR buffer[sizeof(KEY_VALUE_FULL_INFORMATION) + 4096];
    if (!watchKey.Length)
        return;
    InitializeObjectAttributes(&attributes, &watchKey, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    if (!NT_SUCCESS(ZwOpenKey(&key, KEY_READ, &attributes))) {
        logText("nokey");
        return;
    }
    for (index = 0;; ++index) {
        PKEY_VALUE_FULL_INFORMATION info = (PKEY_VALUE_FULL_INFORMATION)buffer;
        ULONG length = 0;
        PadLine line;
        if (!NT_SUCCESS(
                ZwEnumerateValueKey(key, index, KeyValueFullInformation, info, sizeof(buffer), &length)))
            break;
        if (info->Type != REG_SZ)
            continue;
        padLineStart(&line, "value ");
        padLineWide(&line, info->Name, info->NameLength / sizeof(WCHAR));
        padLineText(&line, "=");
        padLineWide(&line, (const WCHAR*)((const UCHAR*)info + info->DataOffset),
                    info->DataLength / sizeof(WCHAR));
        writeLine(&line);
    }
    ZwClose(key);
}

static NTSTATUS complete(PIRP irp, NTSTATUS status)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = 0;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS WINAPI onCreate(PDEVICE_OBJECT device, PIRP irp)
{
    PadLine line;
    (void)device;
    padLineStart(&line, "");
    appendHex(&line, "create share=", IoGetCurrentIrpStackLocation(irp)->Parameters.Create.ShareAccess);
    writeLine(&line);
    return complete(irp, STATUS_SUCCESS);
}

static NTSTATUS WINAPI onClose(PDEVICE_OBJECT device, PIRP irp)
{
    (void)device;
    logText("close");
    return complete(irp, STATUS_SUCCESS);
}

static NTSTATUS WINAPI onDeviceControl(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    PadLine line;
    (void)device;
    padLineStart(&line, "");
    appendHex(&line, "ioctl code=", stack->Parameters.DeviceIoControl.IoControlCode);
    appendHex(&line, " in=", stack->Parameters.DeviceIoControl.InputBufferLength);
    appendHex(&line, " out=", stack->Parameters.DeviceIoControl.OutputBufferLength);
    writeLine(&line);
    logWatchedValues();
    return complete(irp, STATUS_SUCCESS);
}

static void WINAPI onUnload(PDRIVER_OBJECT driver)
{
    UNICODE_STRING link;
    (void)driver;
    RtlInitUnicodeString(&link, L"\\DosDevices\\PadStandin");
    IoDeleteSymbolicLink(&link);
    if (controlDevice)
        IoDeleteDevice(controlDevice);
}

NTSTATUS WINAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    UNICODE_STRING name;
    UNICODE_STRING link;
    NTSTATUS status;
    readParameters(registryPath);
    RtlInitUnicodeString(&name, L"\\Device\\PadStandin");
    status = IoCreateDevice(driver, 0, &name, FILE_DEVICE_UNKNOWN, 0, FALSE, &controlDevice);
    if (!NT_SUCCESS(status))
        return status;
    RtlInitUnicodeString(&link, L"\\DosDevices\\PadStandin");
    status = IoCreateSymbolicLink(&link, &name);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(controlDevice);
        controlDevice = NULL;
        return status;
    }
    driver->MajorFunction[IRP_MJ_CREATE] = onCreate;
    driver->MajorFunction[IRP_MJ_CLOSE] = onClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = onDeviceControl;
    driver->DriverUnload = onUnload;
    logText("load");
    return STATUS_SUCCESS;
}
