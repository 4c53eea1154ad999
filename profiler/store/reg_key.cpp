#include "store/reg_key.h"

#include <vector>

REGSAM nativeRegistryView()
{
    if (sizeof(void*) == 8)
        return KEY_WOW64_64KEY;
    using IsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
    static const REGSAM view = [] {
        auto isWow64 = reinterpret_cast<IsWow64>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
        BOOL wow64 = FALSE;
        return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64 ? REGSAM(KEY_WOW64_64KEY) : REGSAM(0);
    }();
    return view;
}

LONG RegKey::open(HKEY root, const char* path, REGSAM access)
{
    HKEY opened = nullptr;
    LONG rc = RegOpenKeyExA(root, path, 0, access, &opened);
    if (rc != ERROR_SUCCESS)
        return rc;
    close();
    key.reset(opened);
    view = access & (KEY_WOW64_64KEY | KEY_WOW64_32KEY);
    return ERROR_SUCCESS;
}

LONG RegKey::close()
{
    return key.valid() ? RegCloseKey(key.release()) : ERROR_SUCCESS;
}

LONG RegKey::setText(const char* subPath, const char* name, const std::string& text)
{
    if (!key.valid())
        return ERROR_INVALID_HANDLE;
    HKEY created = nullptr;
    LONG rc = RegCreateKeyExA(key.get(), subPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS | view, nullptr, &created, nullptr);
    if (rc != ERROR_SUCCESS)
        return rc;
    OwnedRegistryKey sub(created);
    return RegSetValueExA(sub.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}

LONG RegKey::queryText(const char* name, std::string& text, DWORD limit) const
{
    text.clear();
    if (!key.valid())
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
    if (!key.valid())
        return ERROR_INVALID_HANDLE;
    return RegDeleteValueA(key.get(), name);
}
