#include "tests/settings_key.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "link/handles.h"
#include "link/pad_settings.h"

namespace {

std::string keyPath(DWORD externalId)
{
    char path[64];
    snprintf(path, sizeof(path), SETTINGS_KEY_FORMAT, static_cast<int>(externalId));
    return path;
}

// The key, then each parent below the first level that is left empty (RegDeleteKey refuses a key
// that still has subkeys, such as another device's).
void deleteWithEmptyParents(std::string path)
{
    for (size_t cut = path.rfind('\\'); cut != std::string::npos && cut != path.find('\\');
         cut = path.rfind('\\')) {
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_64KEY, 0);
        path.resize(cut);
    }
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_64KEY, 0);
}

} // namespace

SettingsKey::SettingsKey(DWORD externalId) : id(externalId), path(keyPath(externalId))
{
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_64KEY, 0);
}

SettingsKey::~SettingsKey()
{
    deleteWithEmptyParents(path);
}

void SettingsKey::set(const char* name, const char* data, DWORD size, DWORD type) const
{
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                              nullptr, &opened, nullptr),
              ERROR_SUCCESS);
    const RegistryKey key(opened);
    const DWORD bytes = size ? size : static_cast<DWORD>(strlen(data) + 1);
    ASSERT_EQ(RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(data), bytes),
              ERROR_SUCCESS);
}

bool SettingsKey::exists() const
{
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &opened);
    const RegistryKey key(result == ERROR_SUCCESS ? opened : nullptr);
    return key.valid();
}
