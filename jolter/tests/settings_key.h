#pragma once
// A device's settings key below HKEY_LOCAL_MACHINE, named as the driver names it, in the native view
// as the pad's driver package writes it (a 32-bit test on 64-bit Windows writes past its own view);
// the key and the parents it leaves empty go again at the end of the scope.
#include <windows.h>

#include <string>

class SettingsKey {
public:
    explicit SettingsKey(DWORD externalId);
    ~SettingsKey();
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    // Stores `size` bytes of `data` (the text and its terminator when size is left out) as `type`.
    void set(const char* name, const char* text, DWORD size = 0, DWORD type = REG_SZ) const;
    bool exists() const;

    const DWORD id;
    const std::string path;
};
