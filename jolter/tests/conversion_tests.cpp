// DIEFFECT parameters as the conversion turns them into the pad's effect parameters, and as they
// reach the pad in the effect report.

#include "engine/effect_params.h"
#include "tests/fake_pad.h"

namespace {

// What a slot held before the download: parameters a conversion does not set keep these values.
constexpr LONG OLD_A = 11, OLD_B = 22, OLD_C = 33, OLD_D = 44;

// Scale and the parameters of the case's category, in the order of their report fields.
using Converted = std::vector<LONG>;

// One effect: its type, axes and directions, and the values of its type-specific block (constant:
// magnitude; ramp: start, end; periodic: magnitude, offset, period in µs, phase; conditions: six
// values a record, in DICONDITION's order).
struct Case {
    const char* what;
    DWORD type;
    std::vector<LONG> directions;
    std::vector<DWORD> axes;
    std::vector<LONG> block;
    Converted expected;
    bool offsets = false;
};

// The case's axis form and type-specific block.
void fillBlock(EffectParams& params, const Case& c)
{
    const std::vector<LONG>& v = c.block;
    if (c.offsets)
        params.effect.dwFlags = DIEFF_OBJECTOFFSETS | DIEFF_CARTESIAN;
    std::vector<DICONDITION> records;
    for (size_t i = 0; i + 6 <= v.size(); i += 6)
        records.push_back({v[i], v[i + 1], v[i + 2], DWORD(v[i + 3]), DWORD(v[i + 4]), v[i + 5]});
    const DWORD category = c.type & CATEGORY_MASK;
    if (category == CAT_CONSTANT)
        params.withConstant(v.at(0));
    else if (category == CAT_RAMP)
        params.withRamp(v.at(0), v.at(1));
    else if (category == CAT_PERIODIC)
        params.withPeriodic(DWORD(v.at(0)), v.at(1), DWORD(v.at(2)), DWORD(v.at(3)));
    else if (category == CAT_CONDITION)
        params.withConditions(records);
}

const DWORD CATEGORIES[] = {CAT_CONSTANT, CAT_RAMP, CAT_PERIODIC, CAT_CONDITION};

// Each category's parameters in the order of their report fields, the categories in CATEGORIES' order.
std::vector<Converted> paramsOf(const EffectSlot& s)
{
    return {{s.constant.magnitude},
            {s.ramp.start, s.ramp.end},
            {s.periodic.magnitude, s.periodic.offset, s.periodic.periodMs, s.periodic.phase},
            {s.condition.saturation, s.condition.offset, s.condition.coefficient, s.condition.deadBand}};
}

// The scale and parameters the case converts to; no other category's parameters may change from
// what the slot held.
Converted convert(const Case& c)
{
    EffectParams params(1000000, c.directions, c.axes);
    fillBlock(params, c);
    EffectSlot slot;
    slot.typeId = c.type;
    slot.constant = {OLD_A};
    slot.ramp = {OLD_A, OLD_B};
    slot.periodic = {OLD_A, OLD_B, OLD_C, OLD_D};
    slot.condition = {OLD_A, OLD_B, OLD_C, OLD_D};
    const std::vector<Converted> old = paramsOf(slot);
    EXPECT_TRUE(convertEffectParams(slot, params.get())) << c.what;
    const std::vector<Converted> now = paramsOf(slot);
    Converted converted = {slot.scale};
    for (size_t i = 0; i < now.size(); ++i) {
        if (CATEGORIES[i] == (c.type & CATEGORY_MASK))
            converted.insert(converted.end(), now[i].begin(), now[i].end());
        else
            EXPECT_EQ(now[i], old[i]) << c.what;
    }
    return converted;
}

// Every suite's case has a driver over a fake pad at hand; the conversion itself needs none.
using Conversion = DriverTest;

// clang-format off
const Case CATEGORY_CASES[] = {
    // Constant: the X share of the magnitude.
    {"X among two axes", TYPE_CONSTANT, {5000, 3000}, {}, {8000}, {5000, 4000}},
    {"X alone", TYPE_CONSTANT, {-2000}, {}, {8000}, {10000, 8000}},
    {"negative X", TYPE_CONSTANT, {-5000, 3000}, {}, {8000}, {-5000, -4000}},
    {"X second", TYPE_CONSTANT, {3000, 2500}, {Y_AXIS, X_AXIS}, {8000}, {2500, 2000}},
    {"wrapping product", TYPE_CONSTANT, {10000, 0}, {}, {300000}, {10000, -129496}},
    {"truncated toward zero", TYPE_CONSTANT, {3333, 0}, {}, {-3}, {3333, 0}},
    {"no X", TYPE_CONSTANT, {4000, 6000}, {Y_AXIS, Z_AXIS}, {8000}, {0, 0}},
    {"no axes", TYPE_CONSTANT, {}, {}, {8000}, {0, 0}},
    {"ramp", TYPE_RAMP, {5000, 0}, {}, {-4000, 6000}, {5000, -2000, 3000}},
    // Periodic (magnitude, offset, period, phase): periods of at most 332 ms fold in the Y share.
    {"short sine", TYPE_SINE, {6000, -5000}, {},
     {10000, 1000, 100000, 9000}, {10000, 10000, 1000, 100, 9000}},
    {"long sine", TYPE_SINE, {6000, -5000}, {}, {10000, 1000, 400000, 0}, {6000, 6000, 600, 400, 0}},
    {"332 ms", TYPE_SINE, {2000, 3000}, {}, {10000, 0, 332499, 0}, {5000, 5000, 0, 332, 0}},
    {"333 ms", TYPE_SINE, {2000, 3000}, {}, {10000, 0, 332500, 0}, {2000, 2000, 0, 333, 0}},
    {"negative X grows to -10000", TYPE_SINE, {-8000, 5000}, {},
     {4000, 0, 50000, 0}, {-10000, -4000, 0, 50, 0}},
    {"Y and Z", TYPE_SINE, {-3000, 7000}, {Y_AXIS, Z_AXIS}, {10000, 0, 50000, 0}, {-3000, -3000, 0, 50, 0}},
    {"Y alone", TYPE_SINE, {-1234}, {Y_AXIS}, {6000, 0, 200000, 0}, {10000, 6000, 0, 200, 0}},
    {"X alone ignores Y", TYPE_SINE, {0}, {X_AXIS}, {6000, 0, 200000, 0}, {10000, 6000, 0, 200, 0}},
    {"Y alone, long", TYPE_SINE, {5000}, {Y_AXIS}, {6000, 0, 400000, 0}, {0, 0, 0, 400, 0}},
    // Conditions: one record for several axes is scaled by the X share, the dead band is not;
    // per-axis records give X's unscaled.
    {"one condition", TYPE_SPRING, {5000, 2000}, {},
     {2000, 6000, -9000, 10000, 8000, 500}, {5000, 5000, 1000, 3000, 500}},
    {"per axis, X second", TYPE_SPRING, {0, 0}, {Y_AXIS, X_AXIS},
     {111, 222, 333, 444, 555, 666, -700, -3000, 1, 0, 1, 250}, {-3000, 0, -700, -3000, 250}},
    {"per axis, saturation", TYPE_SPRING, {0, 0}, {Y_AXIS, X_AXIS},
     {111, 222, 333, 444, 555, 666, -700, -3000, 1, 2000, 1, 250}, {2000, 2000, -700, -3000, 250}},
    {"per axis, smaller coefficient", TYPE_SPRING, {0, 0}, {Y_AXIS, X_AXIS},
     {111, 222, 333, 444, 555, 666, -700, -1500, 1, 2000, 1, 250}, {1500, 2000, -700, -1500, 250}},
    {"single axis", TYPE_SPRING, {0}, {}, {0, 4000, 0, 0, 9000, 0}, {4000, 0, 0, 4000, 0}},
    {"condition without X", TYPE_SPRING, {5000, 5000}, {Y_AXIS, Z_AXIS},
     {0, 4000, 4000, 10000, 10000, 0, 0, 4000, 4000, 10000, 10000, 0}, {0, OLD_A, OLD_B, OLD_C, OLD_D}},
    {"other category", TYPE_OTHER, {-7000, 0}, {}, {}, {-7000}},
    // Axes as offsets: X is offset 0, and per-axis conditions then count it as absent.
    {"offsets, X second", TYPE_CONSTANT, {5000, 2500}, {DIJOFS_Y, DIJOFS_X}, {8000}, {2500, 2000}, true},
    {"offsets, X first", TYPE_CONSTANT, {5000, 0}, {DIJOFS_X, DIJOFS_Y}, {8000}, {5000, 4000}, true},
    {"offsets, conditions", TYPE_SPRING, {5000, 0}, {DIJOFS_X, DIJOFS_Y},
     {0, 4000, 4000, 10000, 10000, 0, 0, 4000, 4000, 10000, 10000, 0}, {0, OLD_A, OLD_B, OLD_C, OLD_D}, true},
};
// clang-format on

TEST_F(Conversion, ScaleAndParametersOfEachCategory)
{
    for (const Case& c : CATEGORY_CASES)
        EXPECT_EQ(convert(c), c.expected) << c.what;
}

TEST_F(Conversion, DurationsRoundHalfUpToMilliseconds)
{
    const struct {
        DWORD us;
        DWORD ms;
    } cases[] = {{1499, 1}, {1500, 2}, {INFINITE, 0xFFFF}, {65536000, 65536}, {70000000, 70000}};
    for (const auto& c : cases) {
        EffectParams params(c.us, {10000});
        params.withConstant(100);
        EffectSlot slot;
        slot.typeId = TYPE_CONSTANT;
        ASSERT_TRUE(convertEffectParams(slot, params.get()));
        EXPECT_EQ(slot.durationMs, c.ms) << c.us;
        EXPECT_EQ(slot.reserved1 | slot.reserved2, 0u);
    }
}

// The effect form takes the parameters of the type's category alone, each at its report field.
TEST_F(Conversion, EffectReportTakesTheParametersOfItsCategory)
{
    EffectReportFields fields;
    fields.durationMs = 500;
    fields.constant = {-100};
    fields.ramp = {201, -202};
    fields.periodic = {301, 302, 303, 304};
    fields.condition = {401, -402, 403, 404};
    const struct {
        DWORD type;
        Report expected;
    } cases[] = {
        {TYPE_CONSTANT, effectReport(TYPE_CONSTANT, -100, 0, 500, 3, 0, 0, 9)},
        {TYPE_RAMP, effectReport(TYPE_RAMP, 201, -202, 500, 3, 0, 0, 9)},
        {TYPE_SINE, effectReport(TYPE_SINE, 301, 302, 500, 3, 303, 304, 9)},
        {TYPE_SPRING, effectReport(TYPE_SPRING, 401, -402, 500, 3, 403, 404, 9)},
        {TYPE_OTHER, effectReport(TYPE_OTHER, 0, 0, 500, 3, 0, 0, 9)},
    };
    for (const auto& c : cases) {
        fields.typeId = c.type;
        BYTE buffer[REPORT_BUFFER_SIZE] = {};
        buildEffectReport(buffer, fields, 3, 9);
        // The checksum is sendReport's; the builder leaves byte 19 at 0.
        Report expected = c.expected;
        expected[19] = 0;
        EXPECT_EQ(Report(buffer, buffer + REPORT_SIZE), expected) << std::hex << c.type;
    }
}

// Through the driver: the effect report carries every converted field, durations as their low 16
// bits; an effect whose scale is 0 (each such case above) is held and never reaches the pad.
TEST_F(Conversion, EffectReportCarriesTheConvertedFields)
{
    driver.bind(settings, pad);

    EffectParams sine(70000000, {6000, -5000});
    sine.withPeriodic(10000, 1000, 100000, 9000);
    DWORD id = driver.download(sine, TYPE_SINE, DIEP_START);
    EXPECT_EQ(pad.reports(),
              (Reports{effectReport(0x63, 10000, 1000, 70000 & 0xFFFF, 1, 100, 9000, BYTE(id))}));

    for (const Case& c : CATEGORY_CASES) {
        if (c.expected[0] != 0)
            continue;
        EffectParams params(1000000, c.directions, c.axes);
        fillBlock(params, c);
        id = driver.download(params, c.type, DIEP_START);
        EXPECT_TRUE(pad.reports().empty()) << c.what;
        EXPECT_EQ(driver.status(id), DWORD(DIEGES_PLAYING | DIEGES_EMULATED)) << c.what;
    }
}

} // namespace
