// The driver under random and hostile DIEFFECT structures and escape buffers, each ending at a
// no-access page: no fault, and every result S_OK, S_FALSE or DIERR_OUTOFMEMORY.

#include "fuzz/hostile_input.h"
#include "tests/fake_pad.h"

namespace {

TEST(Fuzz, HostileCallsWithAFixedSeed)
{
    SettingsKey settings(TEST_EXTERNAL_ID + 20);
    SinkPad pad;
    pad.now = 0xFFFF0000; // the clock wraps during the run
    DriverUnderTest driver(pad);
    ASSERT_EQ(driver->DeviceID(0x800, settings.id, TRUE, 0, nullptr), S_OK);

    FuzzCounts counts;
    std::string failure;
    EXPECT_TRUE(fuzzDriver(driver.driver, pad, 20261207, 60000, counts, failure)) << failure;
    EXPECT_EQ(counts.calls, 60000);
    EXPECT_EQ(counts.ok + counts.refused + counts.outOfMemory, counts.calls);
    // The mix reaches both outcomes, and real effects were made along the way.
    EXPECT_GT(counts.ok, 5000);
    EXPECT_GT(counts.refused, 5000);
    expectConsistentSlots(driver);
}

} // namespace
