/* The pad's journal: one text line per event, appended to C:\virtual_pad.log (or another log
 * file), so that a test (another process) can read what the driver received. */
#ifndef VIRTUAL_PAD_PAD_LOG_H
#define VIRTUAL_PAD_PAD_LOG_H

#include <ntddk.h>

#define PAD_LOG_LINE 1200

/* A line under construction; text that does not fit is cut. */
typedef struct PadLine {
    char text[PAD_LOG_LINE];
    ULONG length;
} PadLine;

void padLineStart(PadLine* line, const char* text);
void padLineText(PadLine* line, const char* text);
void padLineHex(PadLine* line, ULONG value, int digits);
void padLineDecimal(PadLine* line, ULONG value);
/* Appends UTF-16 text, each unit reduced to its low byte (the pad's texts are ASCII). */
void padLineWide(PadLine* line, const WCHAR* text, ULONG units);
/* Appends the line and a line break to the journal, or to the file at an NT path. */
void padLineWrite(PadLine* line);
void padLineWriteTo(PadLine* line, PUNICODE_STRING path);

void padLog(const char* text);

#endif
