#include "pad_setup.h"

#include <gtest/gtest.h>

#include <newdev.h>

#include "devices.h"
#include "testlib/registry.h"
#include "testlib/temp_dir.h"
#include "testlib/wait.h"

namespace pad {

std::string infPath()
{
    return programDirectory() + "\\virtual_pad.inf";
}

void addDevices(const char* id, size_t count, const std::string& inf)
{
    for (size_t i = 0; i < count; ++i) {
        RootDevice device(id);
        ASSERT_TRUE(device.created()) << "root device: error " << device.error();
        device.release();
    }
    if (count > 0 && !inf.empty()) {
        BOOL reboot = FALSE;
        ASSERT_TRUE(UpdateDriverForPlugAndPlayDevicesA(nullptr, id, inf.c_str(), INSTALLFLAG_FORCE, &reboot))
            << "driver update: error " << GetLastError();
    }
}

bool waitForPad(bool present, unsigned timeoutMs)
{
    return waitUntil([&] { return hidInterfacePaths(productString).empty() != present; }, timeoutMs, 100);
}

void writeSettings(std::initializer_list<std::pair<const char*, const char*>> values)
{
    for (const auto& value : values)
        setRegText(settingsKey, value.first, value.second);
}

void removeAll()
{
    removeDevices(hardwareId);
    deleteRegTree("Software\\PadkitTest");
}

} // namespace pad
