#include "link/pad_settings.h"

#include <windows.h>

#include <cstdio>

#include "link/handles.h"

namespace {

constexpr DWORD VALUE_BUFFER_SIZE = 260;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The value's text, or `fallback` when the value cannot be read into the buffer. The registry type
// is not examined: the bytes are parsed as text.
LONG readValue(HKEY key, const char* name, const char* fallback)
{
    char buffer[VALUE_BUFFER_SIZE];
    DWORD length = sizeof(buffer);
    if (!key || RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &length) !=
                    ERROR_SUCCESS)
        return parseDecimal(fallback, VALUE_BUFFER_SIZE);
    return parseDecimal(buffer, length);
}

// The pad's driver package and kernel driver are native: on 64-bit Windows a 32-bit driver reads
// their view. 32-bit Windows gets no flag (Windows 2000 does not know it).
REGSAM settingsView()
{
    using IsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto isWow64 =
        kernel ? reinterpret_cast<IsWow64>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
               : nullptr;
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64 ? KEY_WOW64_64KEY : 0;
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
    const RegistryKey key(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS | settingsView(),
                                          nullptr, &opened, nullptr) == ERROR_SUCCESS
                              ? opened
                              : nullptr);

    PadSettings settings;
    settings.autocenter = readValue(key.get(), "AUTOCENTER", "4");
    settings.ffGain = readValue(key.get(), "FFGAIN", "80");
    settings.ffEnabled = readValue(key.get(), "FFENABLED", "1") == 1 ? 1 : 0;
    return settings;
}
