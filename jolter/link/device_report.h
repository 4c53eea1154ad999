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

// Category bits of an effect type id: they select the effect's parameters below.
constexpr DWORD CATEGORY_MASK = 0xE0;
constexpr DWORD CAT_CONSTANT = 0x20;
constexpr DWORD CAT_RAMP = 0x40;
constexpr DWORD CAT_PERIODIC = 0x60;
constexpr DWORD CAT_CONDITION = 0x80;

// The effect form's parameters paramA (bytes 3-4), paramB (5-6), paramC (14-15) and paramD (16-17),
// named for each category; each goes out as its low 16 bits.
struct ConstantParams {
    LONG magnitude = 0; // paramA
};
struct RampParams {
    LONG start = 0; // paramA
    LONG end = 0;   // paramB
};
struct PeriodicParams {
    LONG magnitude = 0; // paramA
    LONG offset = 0;    // paramB
    LONG periodMs = 0;  // paramC
    LONG phase = 0;     // paramD, hundredths of a degree
};
struct ConditionParams {
    LONG saturation = 0;  // paramA, positive saturation
    LONG offset = 0;      // paramB
    LONG coefficient = 0; // paramC, positive coefficient
    LONG deadBand = 0;    // paramD
};

// What an effect keeps for its report. The category of typeId says which parameters go out; those
// of the other categories, and all of them for a type id of no known category, send 0.
struct EffectReportFields {
    DWORD typeId = 0;    // DirectInput's dwEffectType; its low byte is byte 2
    DWORD reserved1 = 0; // low byte: byte 7
    DWORD reserved2 = 0; // low 16 bits: bytes 8-9
    DWORD durationMs = 0;
    ConstantParams constant;
    RampParams ramp;
    PeriodicParams periodic;
    ConditionParams condition;
};

// Effect form: type, parameters, duration, `count` iterations and effect `id`.
void buildEffectReport(BYTE* buffer, const EffectReportFields& effect, DWORD count, DWORD id);

// Reads the length byte L (signed) of `buffer`; when it lies in 3..31, stores the checksum in byte
// L-1 so that bytes 0..L-1 sum to 0 modulo 256, and writes exactly 20 bytes to `pad` in one
// synchronous WriteFile. Returns the number of bytes written, 0 when nothing was.
DWORD sendReport(HANDLE pad, BYTE* buffer);
