// The machine's devices as the tests see them: HID interfaces by product string, and a
// root-enumerated device made the way a bus would report the pad.
#pragma once

#include <string>
#include <vector>

#include "testlib/owned.h"

// Product strings of the present HID interfaces (low bytes of the UTF-16 text), in enumeration order;
// an interface whose string cannot be read gives "<unreadable>".
std::vector<std::string> hidProductStrings();

// Opens (read/write, shared) the first present HID interface whose product string is product.
testlib::Handle openHidDevice(const std::string& product);

// A device of the HID class on the root bus carrying hardwareId as its only hardware id, and no
// driver. Removed (DIF_REMOVE) when destroyed unless release() handed it over.
class RootDevice {
public:
    explicit RootDevice(const std::string& hardwareId);
    ~RootDevice();
    RootDevice(const RootDevice&) = delete;
    RootDevice& operator=(const RootDevice&) = delete;

    bool created() const { return created_; }
    DWORD error() const { return error_; }
    void release() { created_ = false; }

private:
    testlib::DevInfoList list_;
    SP_DEVINFO_DATA device_{};
    bool created_ = false;
    DWORD error_ = 0;
};

// Whether a present device lists hardwareId among its hardware ids (letter case ignored).
bool devicePresent(const std::string& hardwareId);
// Removes every device that lists hardwareId (clean-up after a failed run).
void removeDevices(const std::string& hardwareId);
