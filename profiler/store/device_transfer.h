#pragma once
// Moving a profile's pad settings between the settings file, the device settings key and the pad's
// kernel driver. Nothing here reports a failure: a key that cannot be opened is skipped, a driver
// that cannot be opened is not told, and the remaining steps go on.
#include <string>

#include "store/profile_store.h"

enum class DriverSharing { Shared, Exclusive };

// Opens the driver at "DEVNODE" and sends it the "IOCTLCODE" request with no input and no output.
// True when the driver could be opened.
bool notifyDriver(const ProfileStore& store, DriverSharing sharing);

// For each name of the device value list, in order: when `saveSection` is not empty the value in
// force is copied into it, then the text of `sourceSection` is written into the device settings
// key. The key is closed before the driver is told.
void transferDeviceValues(const ProfileStore& store, const std::string& sourceSection,
                          const std::string& saveSection, DriverSharing sharing);

// Puts a profile into force, exclusive; with `snapshot` the values in force go to "DEFAULT" first.
void applyProfile(const ProfileStore& store, const std::string& section, bool snapshot);

// Writes "DEFAULT" back into the device settings key and tells the driver, exclusive.
void restoreDefaults(const ProfileStore& store);

// Copies the device values in force into `targetSection`; the driver is not told.
void readDeviceValues(const ProfileStore& store, const std::string& targetSection);
