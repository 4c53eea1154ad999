#include "reg_key.h"

#include <vector>

LONG RegKey::open(HKEY root, const char* path, REGSAM access)
{
    HKEY opened = nullptr;
    LONG rc = RegOpenKeyExA(root, path, 0, access, &opened);
    if (rc != ERROR_SUCCESS)
        return rc;
    close();
    handle = opened;
    return ERROR_SUCCESS;
}

LONG RegKey::close()
{
    if (!handle)
        return ERROR_SUCCESS;
    LONG rc = RegCloseKey(handle);
    handle = nullptr;
    return rc;
}

LONG RegKey::setText(const char* subPath, const char* name, const std::string& text)
{
    if (!handle)
        return ERROR_INVALID_HANDLE;
    HKEY sub = nullptr;
    LONG rc = RegCreateKeyExA(handle, subPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                              &sub, nullptr);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = RegSetValueExA(sub, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1));
    RegCloseKey(sub);
    return rc;
}

LONG RegKey::queryText(const char* name, std::string& text, DWORD limit) const
{
    text.clear();
    if (!handle)
        return ERROR_INVALID_HANDLE;
    std::vector<char> buffer(limit + 1, '\0');
    DWORD size = limit;
    LONG rc = RegQueryValueExA(handle, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (rc != ERROR_SUCCESS)
        return rc;
    buffer[limit] = '\0'; // the value need not carry its own terminator
    text = buffer.data();
    return ERROR_SUCCESS;
}

LONG RegKey::deleteValue(const char* name)
{
    if (!handle)
        return ERROR_INVALID_HANDLE;
    return RegDeleteValueA(handle, name);
}
