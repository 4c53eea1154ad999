#pragma once
// Owns one open registry key and closes it when destroyed.
#include <windows.h>

#include <string>

#include "base/owned.h"

// The registry view the pad's driver side uses: on 64-bit Windows it is native, so a 32-bit
// profiler asks for the 64-bit view (KEY_WOW64_64KEY); on 32-bit Windows no flag (Windows 2000
// does not know it).
REGSAM nativeRegistryView();

class RegKey {
public:
    // Opens path below root. On success the key held before is closed first. A view flag in
    // access (KEY_WOW64_64KEY) also applies to the keys setText creates below it.
    LONG open(HKEY root, const char* path, REGSAM access);
    // Closes the held key; 0 when nothing was held.
    LONG close();
    // Creates or opens subPath below the held key ("" = the key itself) and sets name to text as REG_SZ.
    LONG setText(const char* subPath, const char* name, const std::string& text);
    // Reads name of the held key as text: at most `limit` bytes, taken up to the first zero byte.
    LONG queryText(const char* name, std::string& text, DWORD limit = 259) const;
    LONG deleteValue(const char* name);

    bool valid() const { return key.valid(); }
    HKEY get() const { return key.get(); }

private:
    OwnedRegistryKey key;
    REGSAM view = 0;
};
