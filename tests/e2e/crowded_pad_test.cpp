// jolter finds the pad however many HID devices the machine lists before it: a PC with a gaming
// keyboard and mouse, a headset and a few USB devices lists well over twenty HID collections.
// The other devices are root devices run by the virtual pad's HID minidriver under another name
// (tests/support/virtual_pad, other_hid.inf); made before the pad, they are listed before it.
// With two pads plugged in, each driver drives the pad DirectInput binds it to.
#include <gtest/gtest.h>

#include <algorithm>
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
    return waitUntil([&] { return hidInterfacePaths(product).size() == count; }, timeoutMs, 100);
}

class MachinePads : public ::testing::Test {
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

class CrowdedPad : public MachinePads, public ::testing::WithParamInterface<size_t> {};
using TwoPads = MachinePads;

// A new settings key's defaults (autocenter 4, FFGAIN 80 %) go out with the reset, then half the gain.
const std::vector<Report> bindReports = {
    commandReport(PadCommand::RESET, 0), commandReport(PadCommand::AUTOCENTER, 4),
    commandReport(PadCommand::GAIN, 80), commandReport(PadCommand::GAIN, 40)};

// The journal lines of a driver bound (to the interface at `path`, or as DirectInput without the
// interface when null), set to half gain and unbound.
std::vector<std::string> bindAndSetGain(PadJournal& journal, const std::string* path)
{
    journal.mark();
    std::wstring wide = path ? std::wstring(path->begin(), path->end()) : std::wstring();
    DIHIDFFINITINFO info = {sizeof(DIHIDFFINITINFO), &wide[0], {}};
    {
        JolterLink link(programDirectory() + "\\jolter.dll");
        if (!link.driver()) {
            ADD_FAILURE() << link.why();
            return {};
        }
        EXPECT_EQ(S_OK,
                  link.driver()->DeviceID(DIRECTINPUT_VERSION, externalId, TRUE, 0, path ? &info : nullptr));
        EXPECT_EQ(S_OK, link.driver()->SetGain(externalId, 5000)) << "no pad was found";
        EXPECT_EQ(S_OK, link.driver()->DeviceID(DIRECTINPUT_VERSION, externalId, FALSE, 0, nullptr));
    }
    journal.waitReports(bindReports.size(), 3000);
    return journal.fresh();
}

TEST_P(CrowdedPad, JolterFindsThePadBehindTheOtherHidDevices)
{
    const size_t others = GetParam();
    ASSERT_NO_FATAL_FAILURE(pad::addDevices(otherId, others, programDirectory() + "\\other_hid.inf"));
    ASSERT_TRUE(waitForCount(otherProduct, others, 30000)) << "the other HID devices did not all start";

    ASSERT_NO_FATAL_FAILURE(pad::addDevices(pad::hardwareId, 1, pad::infPath()));
    ASSERT_TRUE(pad::waitForPad(true, 15000));

    // The platform lists every other device before the pad, as jolter's search walks them.
    const auto names = hidProductStrings();
    const auto at = std::find(names.begin(), names.end(), pad::productString);
    EXPECT_GE(size_t(at - names.begin()), others);
    EXPECT_EQ(size_t(std::count(names.begin(), at, otherProduct)), others);

    PadJournal journal;
    EXPECT_EQ(bindReports, PadJournal::reports(bindAndSetGain(journal, nullptr)));
}

INSTANTIATE_TEST_SUITE_P(OtherDevices, CrowdedPad, ::testing::Values(0, 24));

TEST_F(TwoPads, EachDriverWritesToThePadItIsBoundTo)
{
    ASSERT_NO_FATAL_FAILURE(pad::addDevices(pad::hardwareId, 2, pad::infPath()));
    ASSERT_TRUE(waitForCount(pad::productString, 2, 30000)) << "the two pads did not both start";
    const std::vector<std::string> paths = hidInterfacePaths(pad::productString);
    ASSERT_EQ(2u, paths.size());

    // Which device each interface reaches: a report of the test's own through each path.
    PadJournal journal;
    std::vector<std::string> devices;
    for (const std::string& path : paths) {
        journal.mark();
        testlib::Handle hid = openHid(path);
        ASSERT_TRUE(hid.valid()) << GetLastError();
        Report probe = commandReport(PadCommand::PAUSE, 1);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(hid.get(), probe.data(), DWORD(probe.size()), &written, nullptr))
            << GetLastError();
        ASSERT_EQ(1u, journal.waitReports(1, 3000).size());
        devices.push_back(PadJournal::writes(journal.fresh()).at(0).device);
    }
    ASSERT_NE(devices[0], devices[1]);

    // Bound to each pad in turn, and then without the interface: the first pad listed, as the
    // search finds it.
    const struct {
        const std::string* path;
        size_t pad;
    } binds[] = {{&paths[1], 1}, {&paths[0], 0}, {nullptr, 0}};
    for (const auto& bind : binds) {
        SCOPED_TRACE("pad " + std::to_string(bind.pad) + (bind.path ? "" : " found"));
        const std::vector<std::string> lines = bindAndSetGain(journal, bind.path);
        EXPECT_EQ(bindReports, PadJournal::reports(lines));
        std::vector<std::string> receivers;
        for (const PadJournal::Write& write : PadJournal::writes(lines))
            receivers.push_back(write.device);
        EXPECT_EQ(std::vector<std::string>(bindReports.size(), devices[bind.pad]), receivers);
    }
}

} // namespace
