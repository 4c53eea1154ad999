// jolter finds the pad however many HID devices the machine lists before it: a PC with a gaming
// keyboard and mouse, a headset and a few USB devices lists well over twenty HID collections.
// The other devices are root devices run by the virtual pad's HID minidriver under another name
// (tests/support/virtual_pad, other_hid.inf); made before the pad, they are listed before it.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "devices.h"
#include "jolter_link.h"
#include "pad_journal.h"
#include "pad_reports/pad_reports.h"
#include "pad_setup.h"
#include "testlib/registry.h"
#include "testlib/temp_dir.h"
#include "testlib/wait.h"

namespace {

constexpr const char* otherId = "Root\\OtherHid_KPX24";
constexpr const char* otherProduct = "KPX24 Other HID";
constexpr DWORD externalId = 8;

// Waits up to timeoutMs until `count` HID interfaces carry `product`.
bool waitForCount(const std::string& product, size_t count, unsigned timeoutMs)
{
    return waitUntil(
        [&] {
            const auto names = hidProductStrings();
            return size_t(std::count(names.begin(), names.end(), product)) == count;
        },
        timeoutMs, 100);
}

class CrowdedPad : public ::testing::TestWithParam<size_t> {
protected:
    // Removes the pad and the other devices; whether all are gone from the HID devices in time.
    static bool removeAll()
    {
        removeDevices(pad::hardwareId);
        removeDevices(otherId);
        return pad::waitForPad(false, 15000) && waitForCount(otherProduct, 0, 15000);
    }
    void SetUp() override { ASSERT_TRUE(removeAll()); }
    void TearDown() override
    {
        EXPECT_TRUE(removeAll());
        deleteRegTree("Software\\OV\\4B7D");
    }
};

TEST_P(CrowdedPad, JolterFindsThePadBehindTheOtherHidDevices)
{
    const size_t others = GetParam();
    std::vector<std::unique_ptr<RootDevice>> crowd;
    for (size_t i = 0; i < others; ++i) {
        crowd.push_back(std::make_unique<RootDevice>(otherId));
        ASSERT_TRUE(crowd.back()->created()) << "root device: error " << crowd.back()->error();
        crowd.back()->release(); // removed by hardware id at the end
    }
    if (others > 0) {
        ASSERT_EQ(0u, pad::updateDriver(otherId, programDirectory() + "\\other_hid.inf"));
    }
    ASSERT_TRUE(waitForCount(otherProduct, others, 30000)) << "the other HID devices did not all start";

    RootDevice device(pad::hardwareId);
    ASSERT_TRUE(device.created()) << "root device: error " << device.error();
    device.release();
    ASSERT_EQ(0u, pad::updateDriver());
    ASSERT_TRUE(pad::waitForPad(true, 15000));

    // The platform lists every other device before the pad, as jolter's search walks them.
    const auto names = hidProductStrings();
    const auto at = std::find(names.begin(), names.end(), pad::productString);
    EXPECT_GE(size_t(at - names.begin()), others);
    EXPECT_EQ(size_t(std::count(names.begin(), at, otherProduct)), others);

    PadJournal journal;
    journal.mark();
    {
        JolterLink link(programDirectory() + "\\jolter.dll");
        ASSERT_TRUE(link.driver()) << link.why();
        EXPECT_EQ(S_OK, link.driver()->DeviceID(DIRECTINPUT_VERSION, externalId, TRUE, 0, nullptr));
        EXPECT_EQ(S_OK, link.driver()->SetGain(externalId, 5000)) << "the pad was not found";
        EXPECT_EQ(S_OK, link.driver()->DeviceID(DIRECTINPUT_VERSION, externalId, FALSE, 0, nullptr));
    }
    // The settings key is new: the defaults (autocenter 4, FFGAIN 80 %) go out with the reset.
    const std::vector<Report> expected = {
        commandReport(PadCommand::RESET, 0), commandReport(PadCommand::AUTOCENTER, 4),
        commandReport(PadCommand::GAIN, 80), commandReport(PadCommand::GAIN, 40)};
    EXPECT_EQ(expected, journal.waitReports(expected.size(), 3000));
}

INSTANTIATE_TEST_SUITE_P(OtherDevices, CrowdedPad, ::testing::Values(0, 24));

} // namespace
