#pragma once
// Finding the pad: the device interface DirectInput binds the driver to, or else the first of the
// present HID interfaces whose product string is the pad's.
#include <windows.h>

#include "link/handles.h"

// The product string of the supported pad; a device whose string begins with it matches.
extern const char PAD_PRODUCT[];

// True when every character of `wanted` equals the low byte of the UTF-16 unit at the same
// position of `product` (at most `productUnits` units long). High bytes are not compared, and
// the product string may continue past the wanted text.
bool productMatches(const char* wanted, const WCHAR* product, size_t productUnits);

// The present HID interfaces as the search sees them. The system's list comes from SetupAPI and
// the HID library.
class HidInterfaceList {
public:
    enum PathResult { PATH_READ, PATH_UNREADABLE, NO_MORE_INTERFACES };

    // False when the platform gave no list at all.
    virtual bool valid() = 0;
    // The device path of interface `index`, zero-terminated within `size` bytes. The interfaces are
    // numbered from 0 without gaps: the first index past the list gives NO_MORE_INTERFACES.
    virtual PathResult devicePath(DWORD index, char* path, size_t size) = 0;
    // Opens the path with `access` (0 to query it only), shared for reading and writing; no handle
    // on failure.
    virtual UniqueHandle open(const char* path, DWORD access) = 0;
    virtual bool productString(HANDLE device, WCHAR* buffer, ULONG bytes) = 0;

protected:
    ~HidInterfaceList() = default;
};

// The device interface path of DeviceID's last parameter: a DIHIDFFINITINFO at least as large as
// the platform's, with a path. Null for anything else.
const WCHAR* givenInterface(const void* hidData);

// With a `given` interface path, opens that device when its product string matches `product`.
// Otherwise, or when the given device is absent or another one, walks every interface from index 0
// to the end of the list and takes the first whose product string matches. An interface whose path
// cannot be read, that cannot be opened or that gives no product string is passed over. Devices are
// queried through opens without access rights; only the match is opened for reading and writing,
// and that handle is the result: none when nothing matched or that last open failed.
UniqueHandle findPadAmong(const char* product, const WCHAR* given, HidInterfaceList& interfaces);

// findPadAmong over the system's present HID interfaces.
UniqueHandle findPadDevice(const char* product, const WCHAR* given);
