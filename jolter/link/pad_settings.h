#pragma once
// The user's force-feedback settings of one device, read from its key below HKEY_LOCAL_MACHINE.
#include <windows.h>

#include <cstddef>

// The device's settings key: the format takes DirectInput's external joystick id as a signed int.
constexpr char SETTINGS_KEY_FORMAT[] = "Software\\OV\\4B7D\\%d";

// The pad's defaults: what a driver uses until it has read its key, and what a value that is absent
// from the key, or cannot be read, stands for.
struct PadSettings {
    LONG autocenter = 4;
    LONG ffGain = 80;   // percent
    LONG ffEnabled = 1; // 0 or 1
};

// Leading white space, one optional sign, then decimal digits up to the first non-digit; no digits
// give 0. Reads at most `length` bytes and stops at a zero byte. Wraps modulo 2^32.
LONG parseDecimal(const char* text, size_t length);

// Opens (creating if need be) the device's key, in the native view on 64-bit Windows, and reads
// "AUTOCENTER", "FFGAIN" and "FFENABLED"; a value that cannot be read takes its default (PadSettings).
// Never fails.
PadSettings readPadSettings(DWORD externalId);
