#include "link/pad_settings.h"

#include <windows.h>

#include <cstdio>

#include "link/handles.h"

namespace {

constexpr DWORD VALUE_BUFFER_SIZE = 260;

// The driver package writes the key natively: on 64-bit Windows the 32-bit driver asks for the
// 64-bit view. On 32-bit Windows no flag (Windows 2000 does not know it).
REGSAM nativeView()
{
    if (sizeof(void*) == 8)
        return KEY_WOW64_64KEY;
    using IsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64 = reinterpret_cast<IsWow64>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64 ? REGSAM(KEY_WOW64_64KEY) : REGSAM(0);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The value's text as a number, or `fallback` when the value cannot be read into the buffer. The
// registry type is not examined: the bytes are parsed as text.
LONG readValue(HKEY key, const char* name, LONG fallback)
{
    char buffer[VALUE_BUFFER_SIZE];
    DWORD length = sizeof(buffer);
    if (!key || RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &length) !=
                    ERROR_SUCCESS)
        return fallback;
    return parseDecimal(buffer, length);
}

} // namespace

LONG parseDecimal(const char* text, size_t length)
{
    size_t i = 0;
    while (i < length && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    DWORD value = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + static_cast<DWORD>(text[i] - '0');
    return static_cast<LONG>(negative ? 0u - value : value);
}

PadSettings readPadSettings(DWORD externalId)
{
    char path[64];
    snprintf(path, sizeof(path), SETTINGS_KEY_FORMAT, static_cast<int>(externalId));
    HKEY opened = nullptr;
    const RegistryKey key(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                          KEY_ALL_ACCESS | nativeView(), nullptr, &opened,
                                          nullptr) == ERROR_SUCCESS
                              ? opened
                              : nullptr);

    const PadSettings defaults;
    PadSettings settings;
    settings.autocenter = readValue(key.get(), "AUTOCENTER", defaults.autocenter);
    settings.ffGain = readValue(key.get(), "FFGAIN", defaults.ffGain);
    settings.ffEnabled = readValue(key.get(), "FFENABLED", defaults.ffEnabled) == 1 ? 1 : 0;
    return settings;
}
