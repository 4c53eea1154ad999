#pragma once
// The pad's 20-byte HID output report (report id 2): every layout the driver sends, the checksum,
// and the one synchronous write that carries a report to the pad.
#include <windows.h>

#include <cstddef>

constexpr BYTE REPORT_ID = 2;
constexpr BYTE REPORT_LENGTH = 20;
constexpr size_t REPORT_BUFFER_SIZE = 32;

// Command codes (byte 3 of the command form).
constexpr BYTE CMD_STOP = 0;
constexpr BYTE CMD_GAIN = 1;
constexpr BYTE CMD_RESET = 2;
constexpr BYTE CMD_AUTOCENTER = 3;
constexpr BYTE CMD_PAUSE = 4;
constexpr BYTE CMD_ACTUATORS = 5;

// Value byte of CMD_GAIN: low byte of deviceGain x ffGain / 10000 in unsigned 32-bit arithmetic.
BYTE gainValue(DWORD deviceGain, LONG ffGain);

// Command form: 2, 20, 0, code, value, then zeros (checksum left to sendReport).
void buildCommandReport(BYTE* buffer, BYTE code, BYTE value);

// What the effect form carries; each field goes out as its low byte or low 16 bits.
struct EffectReportFields {
    DWORD typeId;
    LONG paramA;
    LONG paramB;
    DWORD reserved1;
    DWORD reserved2;
    DWORD durationMs;
    DWORD count; // iterations
    LONG paramC;
    LONG paramD;
    DWORD id;
};

// Effect form: type, parameters, duration, iterations and effect id.
void buildEffectReport(BYTE* buffer, const EffectReportFields& effect);

// Reads the length byte L (signed) of `buffer`; when it lies in 3..31, stores the checksum in byte
// L-1 so that bytes 0..L-1 sum to 0 modulo 256, and writes exactly 20 bytes to `pad` in one
// synchronous WriteFile. Returns the number of bytes written, 0 when nothing was.
DWORD sendReport(HANDLE pad, BYTE* buffer);
