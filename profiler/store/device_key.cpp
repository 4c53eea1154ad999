#include "store/device_key.h"

#include <windows.h>

#include "store/profile_store.h"
#include "store/reg_key.h"

std::string activeMarkerName(const std::string& title, const std::string& location)
{
    return title.empty() ? location : title;
}

void setActiveMarker(const ProfileStore& store, const std::string& name)
{
    RegKey key;
    if (store.openDeviceKey(key) == ERROR_SUCCESS)
        key.setText("", PROFILE_ACTIVE, name);
}

void clearActiveMarker(const ProfileStore& store)
{
    RegKey key;
    if (store.openDeviceKey(key) == ERROR_SUCCESS)
        key.deleteValue(PROFILE_ACTIVE);
}

bool activeMarkerPresent(const ProfileStore& store)
{
    RegKey key;
    if (store.openDeviceKey(key) != ERROR_SUCCESS)
        return false;
    // No buffer: only the value's presence is asked for, so no length is too long.
    return RegQueryValueExA(key.get(), PROFILE_ACTIVE, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

LONG openDeviceKey(RegKey& key, const std::string& keyPath)
{
    if (keyPath.empty())
        return ERROR_FILE_NOT_FOUND;
    return key.open(HKEY_LOCAL_MACHINE, keyPath.c_str(), KEY_ALL_ACCESS | nativeRegistryView());
}
