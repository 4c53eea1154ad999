// DIEFFECT parameters as they reach the pad in the effect report.
#include <gtest/gtest.h>

#include "fake_pad.h"

namespace {

class Conversion : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(driver->DeviceID(0x800, TEST_EXTERNAL_ID, TRUE, 0, nullptr), S_OK);
        pad.reports();
    }
    // Downloads with DIEP_START and returns what the pad received (nothing when the effect is held).
    std::vector<Report> play(DWORD type, const EffectParams& params, DWORD* id = nullptr)
    {
        DWORD local = 0;
        DWORD& effect = id ? *id : local;
        EXPECT_EQ(driver->DownloadEffect(0, type, &effect, params.get(), DIEP_ALLPARAMS | DIEP_START), S_OK);
        lastId = effect;
        return pad.reports();
    }
    EffectReport playOne(DWORD type, const EffectParams& params)
    {
        auto sent = play(type, params);
        EXPECT_EQ(sent.size(), 1u);
        return sent.empty() ? EffectReport{} : decodeEffect(sent[0]);
    }
    LONG scaleOf(DWORD id) { return driver.object().effects.FindSlot(id)->scale; }

    SettingsKey settings{TEST_EXTERNAL_ID};
    FakePad pad;
    DriverUnderTest driver{pad};
    DWORD lastId = 0;
};

TEST_F(Conversion, DurationsRoundHalfUpToMilliseconds)
{
    const struct {
        DWORD us;
        WORD ms;
    } cases[] = {{1499, 1}, {1500, 2}, {INFINITE, 0xFFFF}, {65536000, 0}, {70000000, 70000 & 0xFFFF}};
    for (const auto& c : cases) {
        EffectParams params(c.us, {10000});
        params.withConstant(100);
        EXPECT_EQ(playOne(TYPE_CONSTANT, params).duration, c.ms) << c.us;
    }
}

TEST_F(Conversion, ConstantForceTakesTheXShare)
{
    EffectParams twoAxes(1000000, {5000, 3000});
    twoAxes.withConstant(8000);
    EffectReport report = playOne(TYPE_CONSTANT, twoAxes);
    EXPECT_EQ(report.type, 0x21);
    EXPECT_EQ(report.paramA, 4000);
    EXPECT_EQ(scaleOf(lastId), 5000);

    EffectParams xOnly(1000000, {-2000});
    xOnly.withConstant(8000);
    EXPECT_EQ(playOne(TYPE_CONSTANT, xOnly).paramA, 8000);

    EffectParams negative(1000000, {-5000, 3000});
    negative.withConstant(8000);
    EXPECT_EQ(playOne(TYPE_CONSTANT, negative).paramA, -4000);

    // X second among the axes.
    EffectParams xSecond(1000000, {3000, 2500}, {Y_AXIS_ID, X_AXIS_ID});
    xSecond.withConstant(8000);
    EXPECT_EQ(playOne(TYPE_CONSTANT, xSecond).paramA, 2000);

    // Signed 32-bit product, wrapped, then truncated toward zero: 300000 x 10000 wraps negative.
    EffectParams wraps(1000000, {10000, 0});
    wraps.withConstant(300000);
    EXPECT_EQ(WORD(playOne(TYPE_CONSTANT, wraps).paramA), 0x0628);
    EffectParams truncates(1000000, {3333, 0});
    truncates.withConstant(-3);
    EXPECT_EQ(playOne(TYPE_CONSTANT, truncates).paramA, 0); // -0.9999 toward zero
}

TEST_F(Conversion, EffectsWithoutAnXShareAreHeld)
{
    EffectParams yOnly(1000000, {4000, 6000}, {Y_AXIS_ID, 0x01000202});
    yOnly.withConstant(8000);
    EXPECT_TRUE(play(TYPE_CONSTANT, yOnly).empty());
    DWORD status = 0;
    ASSERT_EQ(driver->GetEffectStatus(0, lastId, &status), S_OK);
    EXPECT_EQ(status, DWORD(DIEGES_PLAYING | DIEGES_EMULATED));

    EffectParams noAxes(1000000, {});
    noAxes.withConstant(8000);
    EXPECT_TRUE(play(TYPE_CONSTANT, noAxes).empty());
}

TEST_F(Conversion, RampScalesStartAndEnd)
{
    EffectParams params(1000000, {5000, 0});
    params.withRamp(-4000, 6000);
    EffectReport report = playOne(TYPE_RAMP, params);
    EXPECT_EQ(report.type, 0x42);
    EXPECT_EQ(report.paramA, -2000);
    EXPECT_EQ(report.paramB, 3000);
}

TEST_F(Conversion, ShortPeriodicEffectsFoldInTheYShare)
{
    EffectParams shortSine(1000000, {6000, -5000});
    shortSine.withPeriodic(10000, 1000, 100000, 9000);
    EffectReport report = playOne(TYPE_SINE, shortSine);
    EXPECT_EQ(scaleOf(lastId), 10000);
    EXPECT_EQ(report.paramA, 10000);
    EXPECT_EQ(report.paramB, 1000);
    EXPECT_EQ(report.paramC, 100);
    EXPECT_EQ(report.paramD, 9000);

    EffectParams longSine(1000000, {6000, -5000});
    longSine.withPeriodic(10000, 1000, 400000, 0);
    report = playOne(TYPE_SINE, longSine);
    EXPECT_EQ(report.paramA, 6000);
    EXPECT_EQ(report.paramB, 600);
    EXPECT_EQ(report.paramC, 400);

    // 332 ms is still short; 333 ms is not.
    EffectParams edge(1000000, {2000, 3000});
    edge.withPeriodic(10000, 0, 332499, 0);
    EXPECT_EQ(playOne(TYPE_SINE, edge).paramA, 5000);
    edge.withPeriodic(10000, 0, 332500, 0);
    EXPECT_EQ(playOne(TYPE_SINE, edge).paramA, 2000);

    // A negative X share grows away from zero and stops at -10000.
    EffectParams negative(1000000, {-8000, 5000});
    negative.withPeriodic(4000, 0, 50000, 0);
    EXPECT_EQ(playOne(TYPE_SINE, negative).paramA, -4000);
    EXPECT_EQ(scaleOf(lastId), -10000);

    // No X share: the Y direction itself.
    EffectParams yAndZ(1000000, {-3000, 7000}, {Y_AXIS_ID, 0x01000202});
    yAndZ.withPeriodic(10000, 0, 50000, 0);
    EXPECT_EQ(playOne(TYPE_SINE, yAndZ).paramA, -3000);
}

TEST_F(Conversion, PeriodicOnTheYAxisAlone)
{
    EffectParams yAlone(1000000, {-1234}, {Y_AXIS_ID});
    yAlone.withPeriodic(6000, 0, 200000, 0);
    EXPECT_EQ(playOne(TYPE_SINE, yAlone).paramA, 6000);
    EXPECT_EQ(scaleOf(lastId), 10000);

    // X alone never looks at Y; a long period on Y alone is held.
    EffectParams xAlone(1000000, {0}, {X_AXIS_ID});
    xAlone.withPeriodic(6000, 0, 200000, 0);
    EXPECT_EQ(playOne(TYPE_SINE, xAlone).paramA, 6000);
    EffectParams yLong(1000000, {5000}, {Y_AXIS_ID});
    yLong.withPeriodic(6000, 0, 400000, 0);
    EXPECT_TRUE(play(TYPE_SINE, yLong).empty());
}

TEST_F(Conversion, OneConditionForSeveralAxesIsScaledByTheXShare)
{
    EffectParams spring(INFINITE, {5000, 2000});
    spring.withConditions(1);
    spring.conditions[0] = {2000, 6000, -9000, 10000, 8000, 500};
    EffectReport report = playOne(TYPE_SPRING, spring);
    EXPECT_EQ(report.type, 0x84);
    EXPECT_EQ(report.paramA, 5000); // positive saturation
    EXPECT_EQ(report.paramB, 1000); // offset
    EXPECT_EQ(report.paramC, 3000); // positive coefficient
    EXPECT_EQ(report.paramD, 500);  // dead band, unscaled
    EXPECT_EQ(scaleOf(lastId), 5000);
}

TEST_F(Conversion, PerAxisConditionsTakeTheXRecordUnscaled)
{
    EffectParams spring(INFINITE, {0, 0}, {Y_AXIS_ID, X_AXIS_ID});
    spring.withConditions(2);
    spring.conditions[0] = {111, 222, 333, 444, 555, 666};
    spring.conditions[1] = {-700, -3000, 1, 0, 1, 250};
    EffectReport report = playOne(TYPE_SPRING, spring);
    EXPECT_EQ(report.paramA, 0);
    EXPECT_EQ(report.paramB, -700);
    EXPECT_EQ(report.paramC, -3000);
    EXPECT_EQ(report.paramD, 250);
    EXPECT_EQ(scaleOf(lastId), -3000);

    spring.conditions[1].dwPositiveSaturation = 2000;
    EXPECT_EQ(playOne(TYPE_SPRING, spring).paramA, 2000);
    EXPECT_EQ(scaleOf(lastId), 2000);
    spring.conditions[1].lPositiveCoefficient = -1500;
    playOne(TYPE_SPRING, spring);
    EXPECT_EQ(scaleOf(lastId), 1500);

    // A single axis reads its one record, even at 24 bytes.
    EffectParams single(INFINITE, {0});
    single.withConditions(1);
    single.conditions[0] = {0, 4000, 0, 0, 9000, 0};
    EXPECT_EQ(playOne(TYPE_SPRING, single).paramC, 4000);
}

TEST_F(Conversion, ConditionWithoutXIsNeverSent)
{
    EffectParams spring(INFINITE, {5000, 5000}, {Y_AXIS_ID, 0x01000202});
    spring.withConditions(2);
    spring.conditions[0] = {0, 4000, 4000, 10000, 10000, 0};
    EXPECT_TRUE(play(TYPE_SPRING, spring).empty());
    EXPECT_EQ(scaleOf(lastId), 0);
}

TEST_F(Conversion, OtherCategoriesKeepTheirParameters)
{
    EffectParams constant(1000000, {5000, 0});
    constant.withConstant(8000);
    DWORD id = 0;
    EXPECT_EQ(decodeEffect(play(TYPE_CONSTANT, constant, &id).at(0)).paramA, 4000);

    EffectParams other(2000000, {-7000, 0});
    other.effect.lpvTypeSpecificParams = nullptr;
    other.effect.cbTypeSpecificParams = 0;
    auto sent = play(TYPE_OTHER, other, &id);
    ASSERT_EQ(sent.size(), 1u);
    EffectReport report = decodeEffect(sent[0]);
    EXPECT_EQ(report.type, 0xA5);
    EXPECT_EQ(report.paramA, 4000);
    EXPECT_EQ(report.duration, 2000);
    EXPECT_EQ(scaleOf(id), -7000);
}

TEST_F(Conversion, AxesGivenAsOffsets)
{
    // X as offset 0 still gives the constant its share.
    EffectParams constant(1000000, {5000, 2500}, {DIJOFS_Y, DIJOFS_X});
    constant.effect.dwFlags = DIEFF_OBJECTOFFSETS | DIEFF_CARTESIAN;
    constant.withConstant(8000);
    EXPECT_EQ(playOne(TYPE_CONSTANT, constant).paramA, 2000);

    EffectParams swapped(1000000, {5000, 0}, {DIJOFS_X, DIJOFS_Y});
    swapped.effect.dwFlags = DIEFF_OBJECTOFFSETS | DIEFF_CARTESIAN;
    swapped.withConstant(8000);
    EXPECT_EQ(playOne(TYPE_CONSTANT, swapped).paramA, 4000);

    // Per-axis conditions then count X as absent.
    EffectParams spring(INFINITE, {5000, 0}, {DIJOFS_X, DIJOFS_Y});
    spring.effect.dwFlags = DIEFF_OBJECTOFFSETS | DIEFF_CARTESIAN;
    spring.withConditions(2);
    spring.conditions[0] = {0, 4000, 4000, 10000, 10000, 0};
    EXPECT_TRUE(play(TYPE_SPRING, spring).empty());
}

} // namespace
