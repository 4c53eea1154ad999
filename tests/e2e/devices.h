// The machine's devices as the tests see them: HID interfaces by product string, and devices by
// hardware id (with the root device of the shared test support).
#pragma once

#include <string>
#include <vector>

#include "testlib/devices.h"
#include "testlib/owned.h"

// Product strings of the present HID interfaces (low bytes of the UTF-16 text), in enumeration order;
// an interface whose string cannot be read gives "<unreadable>".
std::vector<std::string> hidProductStrings();

// The device paths of the present HID interfaces whose product string is product, in enumeration
// order.
std::vector<std::string> hidInterfacePaths(const std::string& product);

// Opens (read/write, shared) the first present HID interface whose product string is product.
testlib::Handle openHidDevice(const std::string& product);
