// Download, start, stop, destroy and status of effects, observed on the pipe the pad reads.

#include "tests/fake_pad.h"

namespace {

using Ids = std::vector<DWORD>;

class EffectPlayback : public DriverTest {
protected:
    void SetUp() override { driver.bind(settings, pad); }
    // The report of a constant force on X alone, as driver.downloadConstant() makes it.
    static Report constantReport(DWORD id, LONG magnitude, WORD durationMs, WORD count)
    {
        return effectReport(TYPE_CONSTANT, SHORT(magnitude), 0, durationMs, count, 0, 0, BYTE(id));
    }
    void reloadWithEnabled(const char* text)
    {
        settings.set("FFENABLED", text);
        ASSERT_EQ(driver.reloadSettings(), S_OK);
        pad.reports();
    }
};

TEST_F(EffectPlayback, IdsFillTheFirstGapAboveTheHead)
{
    for (DWORD expected = 1; expected <= 3; ++expected)
        EXPECT_EQ(driver.downloadConstant(), expected);
    EXPECT_EQ(driver->DestroyEffect(0, 2), S_OK);
    EXPECT_EQ(driver.ids(), (Ids{1, 3}));
    EXPECT_EQ(driver.downloadConstant(), 2u);
    EXPECT_EQ(driver->DestroyEffect(0, 1), S_OK);
    EXPECT_EQ(driver.downloadConstant(), 4u);
    EXPECT_EQ(driver->DestroyEffect(0, 99), S_OK);
    EXPECT_EQ(driver.ids(), (Ids{2, 3, 4}));
    EXPECT_TRUE(pad.reports().empty()) << "nothing reaches the pad before a start";
}

TEST_F(EffectPlayback, The256thEffectIsRefused)
{
    for (DWORD expected = 1; expected <= 255; ++expected)
        ASSERT_EQ(driver.downloadConstant(), expected);
    EXPECT_EQ(driver.downloadConstant(1000, 1, 0, S_FALSE), 0u);
    EXPECT_EQ(driver.state().dwLoad, 100u);
    EXPECT_EQ(driver.ids().size(), 255u);
}

TEST_F(EffectPlayback, DownloadWithStartSendsOneReportOfOneIteration)
{
    const DWORD id = driver.downloadConstant(2000000, -1234, DIEP_ALLPARAMS | DIEP_START);
    // Type 0x21, paramA -1234, duration 2000 ms, one iteration, id 1.
    EXPECT_EQ(pad.reports(),
              (Reports{{2, 20, 0x21, 0x2E, 0xFB, 0, 0, 0, 0, 0, 0xD0, 0x07, 1, 0, 0, 0, 0, 0, 1, 0xC7}}));
    EXPECT_EQ(driver.status(id), SLOT_PLAYING);
}

TEST_F(EffectPlayback, UpdatingAPlayingEffectResendsItOnceAndKeepsItsStart)
{
    const DWORD id = driver.started(1000000, 5000, 5);
    EXPECT_EQ(pad.reports(), (Reports{constantReport(id, 5000, 1000, 5)}));
    pad.now += 600;

    EffectParams params(1000000, {10000});
    params.withConstant(7000);
    EXPECT_EQ(driver.downloadOver(id, params.get(), TYPE_CONSTANT, DIEP_TYPESPECIFICPARAMS, S_OK), id);
    EXPECT_EQ(pad.reports(), (Reports{constantReport(id, 7000, 1000, 1)}));
    expectEndsIn(id, 400);

    // A stopped effect takes new parameters silently.
    EXPECT_EQ(driver.downloadOver(id, params.get(), TYPE_CONSTANT, 0, S_OK), id);
    EXPECT_TRUE(pad.reports().empty());

    EXPECT_EQ(driver.downloadOver(42, params.get(), TYPE_CONSTANT, DIEP_START, S_FALSE), 0u);
    EXPECT_EQ(driver.ids(), (Ids{1}));
}

TEST_F(EffectPlayback, DisabledForceFeedbackHoldsEffectsWithoutSending)
{
    reloadWithEnabled("0");
    const DWORD id = driver.started();
    EXPECT_EQ(driver.status(id), DWORD(DIEGES_PLAYING | DIEGES_EMULATED));
    EXPECT_EQ(driver->StopEffect(0, id), S_OK);
    EXPECT_EQ(driver.status(id), 0u);
    EXPECT_TRUE(pad.reports().empty());

    // Held, then enabled: the next start sends it.
    ASSERT_EQ(driver->StartEffect(0, id, 0, 1), S_OK);
    reloadWithEnabled("1");
    EXPECT_EQ(driver->StartEffect(0, id, 0, 2), S_OK);
    EXPECT_EQ(driver.status(id), SLOT_PLAYING);
    EXPECT_EQ(pad.reports(), (Reports{constantReport(id, 5000, 1000, 2)}));
}

TEST_F(EffectPlayback, SoloStopsEverythingFirst)
{
    const DWORD other = driver.started();
    const DWORD solo = driver.downloadConstant(INFINITE, 3000);
    pad.reports();
    EXPECT_EQ(driver->StartEffect(0, solo, DIES_SOLO, 1), S_OK);
    EXPECT_EQ(pad.reports(),
              (Reports{commandReport(PadCommand::STOP, 0), commandReport(PadCommand::AUTOCENTER, 0),
                       constantReport(solo, 3000, 0xFFFF, 1)}));
    EXPECT_EQ(driver.status(other), 0u);
    EXPECT_EQ(driver.status(solo), SLOT_PLAYING);
}

TEST_F(EffectPlayback, IterationsDoNotLengthenTheDriversIdeaOfTheEnd)
{
    const DWORD id = driver.started(1000000, 5000, 3);
    EXPECT_EQ(pad.reports(), (Reports{constantReport(id, 5000, 1000, 3)}));
    pad.now += 1500;
    EXPECT_EQ(driver.status(id), 0u);
    EXPECT_EQ(driver->StopEffect(0, id), S_OK);
    EXPECT_TRUE(pad.reports().empty()) << "an ended effect gets no stop report";
}

// 0xFFFF ms is the pad's "infinite": a finite duration that converts to it never ends either.
TEST_F(EffectPlayback, ADurationOf65535MillisecondsNeverEnds)
{
    const struct {
        DWORD us;
        DWORD endsAtMs; // 0: never
    } cases[] = {{65534000, 65534}, {65534499, 65534}, {65534500, 0}, {65535000, 0},
                 {65535499, 0},     {65535500, 65536}, {INFINITE, 0}};
    for (const auto& c : cases) {
        const DWORD id = driver.started(c.us);
        const DWORD start = pad.now;
        pad.now = start + (c.endsAtMs ? c.endsAtMs - 1 : 0x7FFFFFFF);
        EXPECT_EQ(driver.status(id), SLOT_PLAYING) << c.us;
        pad.now = start + c.endsAtMs;
        EXPECT_EQ(driver.status(id), c.endsAtMs ? 0u : SLOT_PLAYING) << c.us;
        driver->DestroyEffect(0, id);
    }
}

TEST_F(EffectPlayback, StartingAPlayingEffectResendsWithoutRestartingItsTime)
{
    const DWORD id = driver.started(1000000);
    pad.now += 700;
    ASSERT_EQ(driver->StartEffect(0, id, 0, 1), S_OK);
    EXPECT_EQ(pad.reports().size(), 2u);
    expectEndsIn(id, 300);
}

TEST_F(EffectPlayback, StopAndDestroySendTheStopReportOfAPlayingEffect)
{
    const DWORD first = driver.started(INFINITE);
    const DWORD second = driver.started(INFINITE);
    pad.reports();
    EXPECT_EQ(driver->StopEffect(0, first), S_OK);
    EXPECT_EQ(driver->StopEffect(0, first), S_OK);
    EXPECT_EQ(driver->DestroyEffect(0, second), S_OK);
    EXPECT_EQ(pad.reports(),
              (Reports{commandReport(PadCommand::STOP, 1), commandReport(PadCommand::STOP, 2)}));
    EXPECT_EQ(driver.ids(), (Ids{1}));
}

TEST_F(EffectPlayback, UnknownIdsAreRefused)
{
    DWORD untouched = 0xDEAD;
    EXPECT_EQ(driver->GetEffectStatus(0, 7, &untouched), S_FALSE);
    EXPECT_EQ(untouched, 0xDEADu);
    EXPECT_EQ(driver->StartEffect(0, 7, DIES_SOLO, 1), S_FALSE);
    EXPECT_EQ(driver->StopEffect(0, 7), S_FALSE);
    EXPECT_TRUE(pad.reports().empty());
}

TEST_F(EffectPlayback, ANewStartClearsBitsLeftFromAnEarlierRun)
{
    // A held start, then stop-all: SLOT_HELD is left behind without SLOT_PLAYING.
    reloadWithEnabled("0");
    const DWORD id = driver.started(INFINITE);
    ASSERT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_STOPALL), S_OK);
    reloadWithEnabled("1");
    ASSERT_EQ(driver->StartEffect(0, id, 0, 1), S_OK);
    EXPECT_EQ(driver.status(id), SLOT_PLAYING);
    pad.reports();
    EXPECT_EQ(driver->StopEffect(0, id), S_OK);
    EXPECT_EQ(pad.reports(), (Reports{commandReport(PadCommand::STOP, BYTE(id))}))
        << "the pad must hear the stop";

    // A pause, then stop-all: SLOT_PAUSED is left behind; a new run must still end on time.
    const DWORD finite = driver.started(1000000);
    ASSERT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_PAUSE), S_OK);
    ASSERT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_STOPALL), S_OK);
    pad.now += 5000;
    ASSERT_EQ(driver->StartEffect(0, finite, 0, 1), S_OK);
    expectEndsIn(finite, 1000);
}

// Each case spoils an otherwise sound two-axis constant force of magnitude 100.
TEST_F(EffectPlayback, MalformedEffectsAreRefusedBeforeAnySlotChanges)
{
    const DWORD kept = driver.started(1000000, 4000);
    pad.reports();

    using Spoil = void (*)(DIEFFECT&);
    const struct {
        const char* what;
        DWORD type;
        Spoil spoil;
    } cases[] = {
        {"short structure", TYPE_CONSTANT, [](DIEFFECT& e) { e.dwSize = sizeof(DIEFFECT_DX5) - 1; }},
        {"no axes", TYPE_CONSTANT, [](DIEFFECT& e) { e.rgdwAxes = nullptr; }},
        {"no directions", TYPE_CONSTANT, [](DIEFFECT& e) { e.rglDirection = nullptr; }},
        {"absurd axis count", TYPE_CONSTANT, [](DIEFFECT& e) { e.cAxes = 100000; }},
        {"no constant block", TYPE_CONSTANT, [](DIEFFECT& e) { e.lpvTypeSpecificParams = nullptr; }},
        {"no ramp block", TYPE_RAMP, [](DIEFFECT& e) { e.lpvTypeSpecificParams = nullptr; }},
        {"no periodic block", TYPE_SINE, [](DIEFFECT& e) { e.lpvTypeSpecificParams = nullptr; }},
        {"no condition block", TYPE_SPRING, [](DIEFFECT& e) { e.lpvTypeSpecificParams = nullptr; }},
        {"short constant block", TYPE_CONSTANT, [](DIEFFECT& e) { e.cbTypeSpecificParams = 3; }},
        {"short ramp block", TYPE_RAMP,
         [](DIEFFECT& e) { e.cbTypeSpecificParams = sizeof(DIRAMPFORCE) - 1; }},
        {"null structure", TYPE_CONSTANT, nullptr},
    };
    for (const auto& c : cases) {
        EffectParams params(1000000, {5000, 0});
        params.withConstant(100);
        if (c.spoil)
            c.spoil(params.effect);
        const DIEFFECT* passed = c.spoil ? params.get() : nullptr;
        SCOPED_TRACE(c.what);
        EXPECT_EQ(driver.downloadOver(0, passed, c.type, DIEP_START, S_FALSE), 0u);
        EXPECT_EQ(driver.downloadOver(kept, passed, c.type, DIEP_START, S_FALSE), kept);
    }
    // Per-axis conditions with X second: the record at index 1 must be there.
    EffectParams spring(1000000, {0, 5000}, {Y_AXIS, X_AXIS});
    spring.withConditions({{}}).effect.cbTypeSpecificParams = sizeof(DICONDITION) + 4;
    EXPECT_EQ(driver.downloadOver(0, spring.get(), TYPE_SPRING, 0, S_FALSE), 0u);

    EXPECT_EQ(driver.ids(), (Ids{kept}));
    EXPECT_TRUE(pad.reports().empty());
    EXPECT_EQ(driver.status(kept), SLOT_PLAYING);
    ASSERT_EQ(driver->StartEffect(0, kept, 0, 1), S_OK);
    EXPECT_EQ(pad.reports(), (Reports{constantReport(kept, 4000, 1000, 1)})) << "the old parameters stay";

    // Where the block is never read, a missing one is no fault.
    EffectParams other(1000000, {5000, 0});
    EXPECT_NE(driver.download(other, TYPE_OTHER), 0u);
    EffectParams noX(1000000, {5000, 0}, {Y_AXIS, Z_AXIS});
    EXPECT_NE(driver.download(noX, TYPE_SPRING), 0u);
}

} // namespace
