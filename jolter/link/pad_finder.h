#pragma once
// Finding the pad among the present HID interfaces by its product string.
#include <windows.h>

// The product string of the supported pad; a device whose string begins with it matches.
extern const char PAD_PRODUCT[];

// True when every character of `wanted` equals the low byte of the UTF-16 unit at the same
// position of `product` (at most `productUnits` units long). High bytes are not compared, and
// the product string may continue past the wanted text.
bool productMatches(const char* wanted, const WCHAR* product, size_t productUnits);

// Opens the first of the first 20 HID interfaces whose product string matches; null when none.
// The caller owns the handle.
HANDLE FindPadDevice(const char* product);
