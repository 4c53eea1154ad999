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

static void appendLog(const char* text, ULONG length)
{
    OBJECT_ATTRIBUTES attributes;
    IO_STATUS_BLOCK status;
    HANDLE file;
    if (!logPath.Length)
        return;
    InitializeObjectAttributes(&attributes, &logPath, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    if (!NT_SUCCESS(ZwCreateFile(&file, FILE_APPEND_DATA | SYNCHRONIZE, &attributes, &status, NULL,
                                 FILE_ATTRIBUTE_NORMAL,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN_IF,
                                 FILE_SYNCHRONOUS_IO_NONALERT, NULL, 0)))
        return;
    ZwWriteFile(file, NULL, NULL, NULL, &status, (PVOID)text, length, NULL, NULL);
    ZwClose(file);
}

static ULONG appendText(char* line, ULONG used, ULONG capacity, const char* text)
{
    while (*text && used + 1 < capacity)
        line[used++] = *text++;
    line[used] = 0;
    return used;
}

static ULONG appendHex(char* line, ULONG used, ULONG capacity, ULONG value)
{
    char digits[11];
    int shift;
    int n = 0;
    digits[n++] = '0';
    digits[n++] = 'x';
    for (shift = 28; shift >= 0; shift -= 4)
        digits[n++] = "0123456789abcdef"[(value >> shift) & 0xF];
    digits[n] = 0;
    return appendText(line, used, capacity, digits);
}

static ULONG appendWide(char* line, ULONG used, ULONG capacity, const WCHAR* text, ULONG chars)
{
    ULONG i;
    for (i = 0; i < chars && text[i] && used + 1 < capacity; ++i)
        line[used++] = text[i] < 0x80 ? (char)text[i] : '?';
    line[used] = 0;
    return used;
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
        appendLog("nokey\n", 6);
        return;
    }
    for (index = 0;; ++index) {
        PKEY_VALUE_FULL_INFORMATION info = (PKEY_VALUE_FULL_INFORMATION)buffer;
        ULONG length = 0;
        char line[1200];
        ULONG used;
        if (!NT_SUCCESS(
                ZwEnumerateValueKey(key, index, KeyValueFullInformation, info, sizeof(buffer), &length)))
            break;
        if (info->Type != REG_SZ)
            continue;
        used = appendText(line, 0, sizeof(line), "value ");
        used = appendWide(line, used, sizeof(line), info->Name, info->NameLength / sizeof(WCHAR));
        used = appendText(line, used, sizeof(line), "=");
        used = appendWide(line, used, sizeof(line), (const WCHAR*)((const UCHAR*)info + info->DataOffset),
                          info->DataLength / sizeof(WCHAR));
        used = appendText(line, used, sizeof(line), "\n");
        appendLog(line, used);
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
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    USHORT share = stack->Parameters.Create.ShareAccess;
    char line[64];
    ULONG used = appendText(line, 0, sizeof(line), "create share=");
    (void)device;
    used = appendHex(line, used, sizeof(line), share);
    used = appendText(line, used, sizeof(line), "\n");
    appendLog(line, used);
    return complete(irp, STATUS_SUCCESS);
}

static NTSTATUS WINAPI onClose(PDEVICE_OBJECT device, PIRP irp)
{
    (void)device;
    appendLog("close\n", 6);
    return complete(irp, STATUS_SUCCESS);
}

static NTSTATUS WINAPI onDeviceControl(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    char line[128];
    ULONG used = appendText(line, 0, sizeof(line), "ioctl code=");
    (void)device;
    used = appendHex(line, used, sizeof(line), code);
    used = appendText(line, used, sizeof(line), " in=");
    used = appendHex(line, used, sizeof(line), stack->Parameters.DeviceIoControl.InputBufferLength);
    used = appendText(line, used, sizeof(line), " out=");
    used = appendHex(line, used, sizeof(line), stack->Parameters.DeviceIoControl.OutputBufferLength);
    used = appendText(line, used, sizeof(line), "\n");
    appendLog(line, used);
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
    appendLog("load\n", 5);
    return STATUS_SUCCESS;
}
