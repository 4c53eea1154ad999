#pragma once
// Owns one open registry key and closes it when destroyed.
#include <windows.h>

#include <string>

#include "base/owned.h"

class RegKey {
public:
    // Opens path below root. On success the key held before is closed first.
    LONG open(HKEY root, const char* path, REGSAM access);
    // Closes the held key; 0 when nothing was held.
    LONG close();
    // Creates or opens subPath below the held key ("" = the key itself) and sets name to text as REG_SZ.
    LONG setText(const char* subPath, const char* name, const std::string& text);
    // Reads name of the held key as text: at most `limit` bytes, taken up to the first zero byte.
    LONG queryText(const char* name, std::string& text, DWORD limit = 259) const;
    LONG deleteValue(const char* name);

    bool isOpen() const { return static_cast<bool>(key); }
    HKEY get() const { return key.get(); }

private:
    OwnedRegistryKey key;
};
