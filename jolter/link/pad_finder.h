#pragma once
// Finding the pad among the present HID interfaces by its product string.
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
    // Opens the path for reading and writing, shared; no handle on failure.
    virtual UniqueHandle open(const char* path) = 0;
    virtual bool productString(HANDLE device, WCHAR* buffer, ULONG bytes) = 0;

protected:
    ~HidInterfaceList() = default;
};

// Walks every interface from index 0 to the end of the list and opens the first whose product
// string matches `product` a second time; that handle is the result, none when none matched or the
// second open failed. An interface whose path cannot be read, that cannot be opened or that gives
// no product string is passed over.
UniqueHandle findPadAmong(const char* product, HidInterfaceList& interfaces);

// findPadAmong over the system's present HID interfaces.
UniqueHandle findPadDevice(const char* product);
