// The virtual pad itself under Wine, installed with the platform's own driver update: it must be
// a HID device like a plugged-in pad before the programs can be tested against it.
#include <gtest/gtest.h>

#include <algorithm>

#include "devices.h"
#include "pad_journal.h"
#include "pad_setup.h"
#include "testlib/owned.h"

namespace {

class VirtualPad : public ::testing::Test {
protected:
    void SetUp() override
    {
        pad::removeAll();
        journal.mark();
    }
    void TearDown() override { pad::removeAll(); }
    PadJournal journal;
};

TEST_F(VirtualPad, OnARootDeviceItIsAHidDeviceThatTakesReportsAndControlRequests)
{
    ASSERT_TRUE(pad::waitForPad(false, 0)) << "a pad is present before the test made one";
    ASSERT_NO_FATAL_FAILURE(pad::addDevices(pad::hardwareId, 1, pad::infPath()));
    ASSERT_TRUE(pad::waitForPad(true, 15000)) << "no HID interface with the pad's product string";

    // A host's 20-byte output report with id 2 reaches the pad byte for byte.
    const std::vector<std::string> paths = hidInterfacePaths(pad::productString);
    ASSERT_EQ(1u, paths.size());
    testlib::Handle hid = openHid(paths[0]);
    ASSERT_TRUE(hid.valid());
    unsigned char report[20] = {2, 20, 0, 1, 0x50};
    report[19] = 0xAB;
    DWORD written = 0;
    journal.mark();
    ASSERT_TRUE(WriteFile(hid.get(), report, sizeof(report), &written, nullptr)) << GetLastError();
    EXPECT_GT(written, 0u);
    ASSERT_TRUE(journal.waitFor("write", 2000));
    auto reports = PadJournal::reports(journal.fresh());
    ASSERT_EQ(1u, reports.size());
    EXPECT_EQ(std::vector<unsigned char>(report, report + 20), reports[0]);

    // The control device reads the settings key when the request arrives, not before.
    pad::writeSettings({{"Strength", "75"}, {"Deadzone", "3"}});
    journal.mark();
    {
        testlib::Handle control(CreateFileA(pad::controlPath, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(control.valid()) << GetLastError();
        pad::writeSettings({{"Strength", "40"}});
        DWORD returned = 0;
        EXPECT_TRUE(DeviceIoControl(control.get(), 0x222004, nullptr, 0, nullptr, 0, &returned, nullptr));
    }
    ASSERT_TRUE(journal.waitFor("control-close", 2000));
    auto requests = PadJournal::requests(journal.fresh());
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ("00222004", requests[0].code);
    std::sort(requests[0].values.begin(), requests[0].values.end());
    EXPECT_EQ((std::vector<std::string>{"Deadzone=3", "Strength=40"}), requests[0].values);

    // Removing the device removes the HID interface.
    hid.reset();
    removeDevices(pad::hardwareId);
    EXPECT_TRUE(pad::waitForPad(false, 15000));
}

} // namespace
