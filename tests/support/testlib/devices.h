#pragma once
// Devices the tests make and find through SetupAPI: a root-enumerated device as a bus would report
// a plugged-in pad, and the present devices by hardware id.
#include <windows.h>
#include <setupapi.h>

#include <functional>
#include <string>

#include "testlib/owned.h"

extern const GUID hidClassGuid;

// A device on the root bus carrying hardwareId as its only hardware id, and no driver. Removed
// (DIF_REMOVE) when destroyed unless release() handed it over.
class RootDevice {
public:
    explicit RootDevice(const std::string& hardwareId, const GUID& classGuid = hidClassGuid,
                        const char* className = "HIDClass");
    ~RootDevice();
    RootDevice(const RootDevice&) = delete;
    RootDevice& operator=(const RootDevice&) = delete;

    bool created() const { return created_; }
    DWORD error() const { return error_; }
    void release() { created_ = false; }

private:
    testlib::DevInfoList list_;
    SP_DEVINFO_DATA device_ = {};
    bool created_ = false;
    DWORD error_ = 0;
};

// Calls visit for each present device that lists hardwareId among its hardware ids (letter case
// ignored) until it returns false; how many devices it visited.
int forEachDevice(const std::string& hardwareId,
                  const std::function<bool(HDEVINFO, SP_DEVINFO_DATA&)>& visit);
int presentDevices(const std::string& hardwareId);
// Removes every device that lists hardwareId (also clean-up after a failed run).
void removeDevices(const std::string& hardwareId);
