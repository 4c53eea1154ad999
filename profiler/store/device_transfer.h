#pragma once
// Moving a profile's pad settings between the settings file, the device settings key and the pad's
// kernel driver. Nothing here reports a failure to the user: a key that cannot be opened is
// skipped, a driver that cannot be opened is not told, and the remaining steps go on. A device
// value that is not a short text is never written over, and an empty value name names nothing.
//
// "DEFAULT" holds the snapshot: the values in force before a profile went in, the names it took and
// the key it took them from, and its mark: "1" while it is still to be put back, "0" after.
#include <string>
#include <vector>

#include "store/profile_store.h"

enum class DriverSharing { Shared, Exclusive };

// Opens the driver at "DEVNODE" and sends it the "IOCTLCODE" request with no input and no output.
// True when the driver could be opened.
bool notifyDriver(const ProfileStore& store, DriverSharing sharing);

struct Snapshot {
    std::vector<std::string> names; // the value names it took
    std::vector<std::string> texts; // what it recorded for each
    std::string keyPath;            // the key it took them from
};
enum class SnapshotState { None, Complete, Unreadable };
// The snapshot still to be put back. One written by an earlier version without a record of its
// names and key took the names and the key that "SETTINGS" gives; without a mark it counts as
// complete when it has every value.
SnapshotState readSnapshot(const ProfileStore& store, Snapshot& snapshot);

// A "DEFAULT" of an earlier version without a mark is marked as put back, so that a recovery can
// never take it for the snapshot of a game that follows. False when the file could not be changed.
bool disarmEarlierSnapshot(const ProfileStore& store);

// Puts a profile's section into force and tells the driver; the key is closed first. With
// `snapshot` the values in force are recorded in "DEFAULT" first, as one change of the file, after
// a snapshot still to be put back has been put back: false, with nothing put into force, when
// either could not be done.
bool applyProfile(const ProfileStore& store, const std::string& section, bool snapshot,
                  DriverSharing sharing = DriverSharing::Exclusive);

enum class RestoreResult { Restored, NothingToRestore, FileUnavailable };
// Writes the snapshot back, exactly its names into its key, and tells the driver; then marks it put
// back. FileUnavailable when the file could not be read or the mark not written: the snapshot then
// stays to be put back. With `keepIn`, the values in force are first recorded in that section.
RestoreResult restoreDefaults(const ProfileStore& store, DriverSharing sharing = DriverSharing::Exclusive,
                              const std::string& keepIn = "");

// A profile's game ended and its values stay in force: the snapshot is no longer to be put back.
// False when the file could not be changed.
bool releaseSnapshot(const ProfileStore& store);

// Copies the device values in force into `targetSection`; the driver is not told.
void readDeviceValues(const ProfileStore& store, const std::string& targetSection);
