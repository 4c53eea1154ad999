#include "pad_log.h"

static void append(PadLine* line, char c)
{
    if (line->length + 1 < PAD_LOG_LINE)
        line->text[line->length++] = c;
}

void padLineStart(PadLine* line, const char* text)
{
    line->length = 0;
    padLineText(line, text);
}

void padLineText(PadLine* line, const char* text)
{
    while (*text)
        append(line, *text++);
}

void padLineHex(PadLine* line, ULONG value, int digits)
{
    static const char hex[] = "0123456789abcdef";
    int i;
    for (i = digits - 1; i >= 0; --i)
        append(line, hex[(value >> (4 * i)) & 0xF]);
}

void padLineDecimal(PadLine* line, ULONG value)
{
    char digits[12];
    int n = 0;
    do {
        digits[n++] = (char)('0' + value % 10);
        value /= 10;
    } while (value);
    while (n)
        append(line, digits[--n]);
}

void padLineWide(PadLine* line, const WCHAR* text, ULONG units)
{
    ULONG i;
    for (i = 0; i < units && text[i]; ++i)
        append(line, (char)(text[i] & 0xFF));
}

void padLineWrite(PadLine* line)
{
    UNICODE_STRING path = RTL_CONSTANT_STRING(L"\\??\\C:\\virtual_pad.log");
    padLineWriteTo(line, &path);
}

void padLineWriteTo(PadLine* line, PUNICODE_STRING path)
{
    OBJECT_ATTRIBUTES attributes;
    IO_STATUS_BLOCK io;
    HANDLE file;

    append(line, '\n');
    InitializeObjectAttributes(&attributes, path, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    if (!NT_SUCCESS(ZwCreateFile(&file, FILE_APPEND_DATA | SYNCHRONIZE, &attributes, &io, NULL,
                                 FILE_ATTRIBUTE_NORMAL,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN_IF,
                                 FILE_SYNCHRONOUS_IO_NONALERT, NULL, 0)))
        return;
    /* One write per line: lines of concurrent requests never interleave. */
    ZwWriteFile(file, NULL, NULL, NULL, &io, line->text, line->length, NULL, NULL);
    ZwClose(file);
}

void padLog(const char* text)
{
    PadLine line;
    padLineStart(&line, text);
    padLineWrite(&line);
}
