#include "test_registry.h"

std::string regText(const char* path, const char* name)
{
    char buffer[8192] = {};
    DWORD size = sizeof(buffer) - 1;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, path, name, RRF_RT_ANY, nullptr, buffer, &size) != ERROR_SUCCESS)
        return "<absent>";
    return buffer;
}

void setRegText(const char* path, const char* name, const std::string& text, DWORD type)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}
