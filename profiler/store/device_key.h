#pragma once
// The device settings key: its opener, and "PROFILEACTIVE" in it, present while a profile's values
// stand in for the pad's own, so that a run that ends meanwhile is undone at the next start. The
// key's values themselves are read by store/device_value.h and moved by store/device_transfer.h.
#include <windows.h>

#include <string>

class ProfileStore;
class RegKey;

// Opens a device settings key, `path` below HKEY_LOCAL_MACHINE, with full access in the native
// view. An empty path is refused: it would open HKEY_LOCAL_MACHINE itself.
LONG openDeviceKey(RegKey& key, const std::string& path);

constexpr const char* PROFILE_ACTIVE = "PROFILEACTIVE";

// The marker's text for a profile: its title, or its location when the title is empty, so that a
// profile without a title is still recovered.
std::string activeMarkerName(const std::string& title, const std::string& location);
// Writes the marker with `name` (a title, or a location for a profile without one).
void setActiveMarker(const ProfileStore& store, const std::string& name);
void clearActiveMarker(const ProfileStore& store);
// Whether the marker is there, whatever its length or type.
bool activeMarkerPresent(const ProfileStore& store);
