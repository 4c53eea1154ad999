#include "store/reg_key.h"

#include <vector>

LONG RegKey::open(HKEY root, const char* path, REGSAM access)
{
    HKEY opened = nullptr;
    LONG rc = RegOpenKeyExA(root, path, 0, access, &opened);
    if (rc != ERROR_SUCCESS)
        return rc;
    close();
    key.reset(opened);
    return ERROR_SUCCESS;
}

LONG RegKey::close()
{
    return key ? RegCloseKey(key.release()) : ERROR_SUCCESS;
}

LONG RegKey::setText(const char* subPath, const char* name, const std::string& text)
{
    if (!key)
        return ERROR_INVALID_HANDLE;
    HKEY created = nullptr;
    LONG rc = RegCreateKeyExA(key.get(), subPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &created, nullptr);
    if (rc != ERROR_SUCCESS)
        return rc;
    OwnedRegistryKey sub(created);
    return RegSetValueExA(sub.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}

LONG RegKey::queryText(const char* name, std::string& text, DWORD limit) const
{
    text.clear();
    if (!key)
        return ERROR_INVALID_HANDLE;
    std::vector<char> buffer(limit + 1, '\0');
    DWORD size = limit;
    LONG rc =
        RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (rc != ERROR_SUCCESS)
        return rc;
    buffer[limit] = '\0'; // the value need not carry its own terminator
    text = buffer.data();
    return ERROR_SUCCESS;
}

LONG RegKey::deleteValue(const char* name)
{
    if (!key)
        return ERROR_INVALID_HANDLE;
    return RegDeleteValueA(key.get(), name);
}
