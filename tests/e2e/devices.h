// The machine's devices as the tests see them: HID interfaces by product string, and devices by
// hardware id (with the root device of the shared test support).
#pragma once

#include <string>
#include <vector>

#include "testlib/devices.h"
#include "testlib/owned.h"

// The product strings of the present HID interfaces (low bytes of the UTF-16 text), in enumeration
// order, "<unreadable>" where one cannot be read; and the device paths of those that carry product.
std::vector<std::string> hidProductStrings();
std::vector<std::string> hidInterfacePaths(const std::string& product);

// Opens (read/write, shared) the HID interface at path.
testlib::Handle openHid(const std::string& path);
