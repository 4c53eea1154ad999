#pragma once
// Moving a profile's pad settings between the settings file, the device settings key and the pad's
// kernel driver. Nothing here reports a failure to the user: a key that cannot be opened is
// skipped, a driver that cannot be opened is not told, and the remaining steps go on. A device
// value that is not a short text is never written over, and an empty value name names nothing.
#include <string>

#include "store/profile_store.h"

enum class DriverSharing { Shared, Exclusive };

// Opens the driver at "DEVNODE" and sends it the "IOCTLCODE" request with no input and no output.
// True when the driver could be opened.
bool notifyDriver(const ProfileStore& store, DriverSharing sharing);

// Puts the values of `sourceSection` into force and tells the driver; the key is closed first.
// With `saveSection`, the values in force are first recorded there. Saved into "DEFAULT" they are
// a snapshot: every value is read back from the file, and when one is missing nothing is put into
// force. From "DEFAULT" it is a restore, done only while "DEFAULT" holds a complete snapshot,
// which it then no longer counts as. False when nothing was put into force.
bool transferDeviceValues(const ProfileStore& store, const std::string& sourceSection,
                          const std::string& saveSection, DriverSharing sharing);

// Puts a profile into force, exclusive; with `snapshot` the values in force go to "DEFAULT" first.
// False when the snapshot could not be stored: the device values are then left as they are.
bool applyProfile(const ProfileStore& store, const std::string& section, bool snapshot);

// Writes "DEFAULT" back into the device settings key and tells the driver, exclusive; nothing when
// "DEFAULT" holds no complete snapshot of a profile still in force.
void restoreDefaults(const ProfileStore& store);

// A profile's game ended and its values stay in force: "DEFAULT" is no longer to be put back.
void releaseSnapshot(const ProfileStore& store);

// Copies the device values in force into `targetSection`; the driver is not told.
void readDeviceValues(const ProfileStore& store, const std::string& targetSection);
