// Download, start, stop, destroy and status of effects, observed on the pipe the pad reads.
#include <gtest/gtest.h>

#include "fake_pad.h"

namespace {

class EffectPlayback : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(driver->DeviceID(0x800, TEST_EXTERNAL_ID, TRUE, 0, nullptr), S_OK);
        pad.reports();
    }
    DWORD download(DWORD durationUs = 1000000, LONG magnitude = 5000, DWORD flags = 0)
    {
        EffectParams params(durationUs, {10000});
        params.withConstant(magnitude);
        DWORD id = 0;
        EXPECT_EQ(driver->DownloadEffect(0, TYPE_CONSTANT, &id, params.get(), flags), S_OK);
        return id;
    }
    DWORD status(DWORD id)
    {
        DWORD value = 0xDEAD;
        EXPECT_EQ(driver->GetEffectStatus(0, id, &value), S_OK);
        return value;
    }
    std::vector<DWORD> ids()
    {
        std::vector<DWORD> list;
        for (EffectSlot* slot = driver.object().effects.head(); slot; slot = slot->next)
            list.push_back(slot->id);
        return list;
    }
    void reloadWithEnabled(const char* text)
    {
        settings.set("FFENABLED", text);
        DIEFFESCAPE reload = escapeOf(ESCAPE_RELOAD_SETTINGS);
        ASSERT_EQ(driver->Escape(0, 0, &reload), S_OK);
        pad.reports();
    }

    SettingsKey settings{TEST_EXTERNAL_ID};
    FakePad pad;
    DriverUnderTest driver{pad};
};

TEST_F(EffectPlayback, IdsFillTheFirstGapAboveTheHead)
{
    EXPECT_EQ(download(), 1u);
    EXPECT_EQ(download(), 2u);
    EXPECT_EQ(download(), 3u);
    EXPECT_EQ(driver->DestroyEffect(0, 2), S_OK);
    EXPECT_EQ(ids(), (std::vector<DWORD>{1, 3}));
    EXPECT_EQ(download(), 2u);
    EXPECT_EQ(ids(), (std::vector<DWORD>{1, 2, 3}));
    EXPECT_EQ(driver->DestroyEffect(0, 1), S_OK);
    EXPECT_EQ(download(), 4u);
    EXPECT_EQ(ids(), (std::vector<DWORD>{2, 3, 4}));
    EXPECT_EQ(driver->DestroyEffect(0, 99), S_OK);
    EXPECT_EQ(ids(), (std::vector<DWORD>{2, 3, 4}));
    EXPECT_TRUE(pad.reports().empty()) << "nothing reaches the pad before a start";
}

TEST_F(EffectPlayback, The256thEffectIsRefused)
{
    for (DWORD expected = 1; expected <= 255; ++expected)
        ASSERT_EQ(download(), expected);
    EffectParams params(1000, {10000});
    params.withConstant(1);
    DWORD id = 0;
    EXPECT_EQ(driver->DownloadEffect(0, TYPE_CONSTANT, &id, params.get(), 0), S_FALSE);
    EXPECT_EQ(id, 0u);
    EXPECT_EQ(driver.object().effects.count(), 255u);
}

TEST_F(EffectPlayback, DownloadWithStartSendsOneReportOfOneIteration)
{
    EffectParams params(2000000, {10000});
    params.withConstant(-1234);
    DWORD id = 0;
    ASSERT_EQ(driver->DownloadEffect(0, TYPE_CONSTANT, &id, params.get(), DIEP_ALLPARAMS | DIEP_START), S_OK);
    auto sent = pad.reports();
    ASSERT_EQ(sent.size(), 1u);
    // Type 0x21, paramA -1234, duration 2000 ms, one iteration, id 1.
    EXPECT_EQ(sent[0],
              (Report{2, 20, 0x21, 0x2E, 0xFB, 0, 0, 0, 0, 0, 0xD0, 0x07, 1, 0, 0, 0, 0, 0, 1, 0xC7}));
    EXPECT_EQ(status(id), SLOT_PLAYING);
}

TEST_F(EffectPlayback, UpdatingAPlayingEffectResendsItOnceAndKeepsItsStart)
{
    DWORD id = download(1000000, 5000);
    ASSERT_EQ(driver->StartEffect(0, id, 0, 5), S_OK);
    EXPECT_EQ(decodeEffect(pad.reports().at(0)).count, 5);
    pad.now += 600;

    EffectParams params(1000000, {10000});
    params.withConstant(7000);
    DWORD same = id;
    ASSERT_EQ(driver->DownloadEffect(0, TYPE_CONSTANT, &same, params.get(), DIEP_TYPESPECIFICPARAMS), S_OK);
    EXPECT_EQ(same, id);
    auto sent = pad.reports();
    ASSERT_EQ(sent.size(), 1u);
    EffectReport report = decodeEffect(sent[0]);
    EXPECT_EQ(report.paramA, 7000);
    EXPECT_EQ(report.count, 1);
    pad.now += 399;
    EXPECT_EQ(status(id), SLOT_PLAYING);
    pad.now += 1;
    EXPECT_EQ(status(id), 0u);

    // A stopped effect takes new parameters silently.
    ASSERT_EQ(driver->DownloadEffect(0, TYPE_CONSTANT, &same, params.get(), 0), S_OK);
    EXPECT_TRUE(pad.reports().empty());

    DWORD unknown = 42;
    EXPECT_EQ(driver->DownloadEffect(0, TYPE_CONSTANT, &unknown, params.get(), DIEP_START), S_FALSE);
    EXPECT_EQ(unknown, 0u);
    EXPECT_EQ(ids(), (std::vector<DWORD>{1}));
}

TEST_F(EffectPlayback, DisabledForceFeedbackHoldsEffectsWithoutSending)
{
    reloadWithEnabled("0");
    DWORD id = download();
    EXPECT_EQ(driver->StartEffect(0, id, 0, 1), S_OK);
    EXPECT_EQ(status(id), DWORD(DIEGES_PLAYING | DIEGES_EMULATED));
    EXPECT_EQ(driver->StopEffect(0, id), S_OK);
    EXPECT_EQ(status(id), 0u);
    EXPECT_TRUE(pad.reports().empty());

    // Held, then enabled: the next start sends it.
    ASSERT_EQ(driver->StartEffect(0, id, 0, 1), S_OK);
    reloadWithEnabled("1");
    EXPECT_EQ(driver->StartEffect(0, id, 0, 2), S_OK);
    EXPECT_EQ(status(id), SLOT_PLAYING);
    EXPECT_EQ(decodeEffect(pad.reports().at(0)).count, 2);
}

TEST_F(EffectPlayback, SoloStopsEverythingFirst)
{
    DWORD other = download();
    DWORD solo = download(INFINITE, 3000);
    ASSERT_EQ(driver->StartEffect(0, other, 0, 1), S_OK);
    pad.reports();
    EXPECT_EQ(driver->StartEffect(0, solo, DIES_SOLO, 1), S_OK);
    auto sent = pad.reports();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], commandReport(0, 0));
    EXPECT_EQ(sent[1], commandReport(3, 0));
    EXPECT_EQ(decodeEffect(sent[2]).id, solo);
    EXPECT_EQ(decodeEffect(sent[2]).duration, 0xFFFF);
    EXPECT_EQ(status(other), 0u);
    EXPECT_EQ(status(solo), SLOT_PLAYING);
}

TEST_F(EffectPlayback, IterationsDoNotLengthenTheDriversIdeaOfTheEnd)
{
    DWORD id = download(1000000);
    ASSERT_EQ(driver->StartEffect(0, id, 0, 3), S_OK);
    EXPECT_EQ(decodeEffect(pad.reports().at(0)).count, 3);
    pad.now += 1500;
    EXPECT_EQ(status(id), 0u);
    EXPECT_EQ(driver->StopEffect(0, id), S_OK);
    EXPECT_TRUE(pad.reports().empty()) << "an ended effect gets no stop report";
}

TEST_F(EffectPlayback, StartingAPlayingEffectResendsWithoutRestartingItsTime)
{
    DWORD id = download(1000000);
    ASSERT_EQ(driver->StartEffect(0, id, 0, 1), S_OK);
    pad.now += 700;
    ASSERT_EQ(driver->StartEffect(0, id, 0, 1), S_OK);
    EXPECT_EQ(pad.reports().size(), 2u);
    pad.now += 300;
    EXPECT_EQ(status(id), 0u);
}

TEST_F(EffectPlayback, StopAndDestroySendTheStopReportOfAPlayingEffect)
{
    DWORD first = download(INFINITE);
    DWORD second = download(INFINITE);
    ASSERT_EQ(driver->StartEffect(0, first, 0, 1), S_OK);
    ASSERT_EQ(driver->StartEffect(0, second, 0, 1), S_OK);
    pad.reports();
    EXPECT_EQ(driver->StopEffect(0, first), S_OK);
    EXPECT_EQ(driver->StopEffect(0, first), S_OK);
    EXPECT_EQ(driver->DestroyEffect(0, second), S_OK);
    EXPECT_EQ(pad.reports(), (std::vector<Report>{commandReport(0, 1), commandReport(0, 2)}));
    EXPECT_EQ(ids(), (std::vector<DWORD>{1}));
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
    DWORD id = download(INFINITE);
    ASSERT_EQ(driver->StartEffect(0, id, 0, 1), S_OK);
    ASSERT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_STOPALL), S_OK);
    reloadWithEnabled("1");
    ASSERT_EQ(driver->StartEffect(0, id, 0, 1), S_OK);
    EXPECT_EQ(status(id), SLOT_PLAYING);
    pad.reports();
    EXPECT_EQ(driver->StopEffect(0, id), S_OK);
    EXPECT_EQ(pad.reports(), (std::vector<Report>{commandReport(0, BYTE(id))}))
        << "the pad must hear the stop";

    // A pause, then stop-all: SLOT_PAUSED is left behind; a new run must still end on time.
    DWORD finite = download(1000000);
    ASSERT_EQ(driver->StartEffect(0, finite, 0, 1), S_OK);
    ASSERT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_PAUSE), S_OK);
    ASSERT_EQ(driver->SendForceFeedbackCommand(0, DISFFC_STOPALL), S_OK);
    pad.now += 5000;
    ASSERT_EQ(driver->StartEffect(0, finite, 0, 1), S_OK);
    EXPECT_EQ(status(finite), SLOT_PLAYING);
    pad.now += 1000;
    EXPECT_EQ(status(finite), 0u);
}

TEST_F(EffectPlayback, MalformedEffectsAreRefusedBeforeAnySlotChanges)
{
    DWORD kept = download(1000000, 4000);
    ASSERT_EQ(driver->StartEffect(0, kept, 0, 1), S_OK);
    pad.reports();

    auto refused = [&](const DIEFFECT* effect, DWORD type, const char* what) {
        DWORD id = 0;
        EXPECT_EQ(driver->DownloadEffect(0, type, &id, effect, DIEP_START), S_FALSE) << what;
        EXPECT_EQ(id, 0u) << what;
        DWORD update = kept;
        EXPECT_EQ(driver->DownloadEffect(0, type, &update, effect, DIEP_START), S_FALSE) << what;
    };
    refused(nullptr, TYPE_CONSTANT, "null structure");
    {
        EffectParams e(1000000, {5000, 0});
        e.withConstant(100);
        e.effect.dwSize = sizeof(DIEFFECT_DX5) - 1;
        refused(e.get(), TYPE_CONSTANT, "short structure");
    }
    {
        EffectParams e(1000000, {5000, 0});
        e.withConstant(100);
        e.effect.rgdwAxes = nullptr;
        refused(e.get(), TYPE_CONSTANT, "no axes");
    }
    {
        EffectParams e(1000000, {5000, 0});
        e.withConstant(100);
        e.effect.rglDirection = nullptr;
        refused(e.get(), TYPE_CONSTANT, "no directions");
    }
    {
        EffectParams e(1000000, {5000, 0});
        e.withConstant(100);
        e.effect.cAxes = 100000;
        refused(e.get(), TYPE_CONSTANT, "absurd axis count");
    }
    {
        EffectParams e(1000000, {5000, 0});
        e.withConstant(100);
        e.effect.lpvTypeSpecificParams = nullptr;
        refused(e.get(), TYPE_CONSTANT, "no constant block");
        refused(e.get(), TYPE_RAMP, "no ramp block");
        refused(e.get(), TYPE_SINE, "no periodic block");
        refused(e.get(), TYPE_SPRING, "no condition block");
    }
    {
        EffectParams e(1000000, {5000, 0});
        e.withConstant(100);
        e.effect.cbTypeSpecificParams = sizeof(DICONSTANTFORCE) - 1;
        refused(e.get(), TYPE_CONSTANT, "short constant block");
        e.withConstant(1).effect.cbTypeSpecificParams = sizeof(DIRAMPFORCE) - 1;
        refused(e.get(), TYPE_RAMP, "short ramp block");
    }
    {
        // Per-axis conditions with X second: the record at index 1 must be there.
        EffectParams e(1000000, {0, 5000}, {Y_AXIS_ID, X_AXIS_ID});
        e.withConditions(1).effect.cbTypeSpecificParams = sizeof(DICONDITION) + 4;
        refused(e.get(), TYPE_SPRING, "X record missing");
    }
    EXPECT_EQ(ids(), (std::vector<DWORD>{kept}));
    EXPECT_TRUE(pad.reports().empty());
    EXPECT_EQ(status(kept), SLOT_PLAYING);
    EXPECT_EQ(driver.object().effects.FindSlot(kept)->paramA, 4000);

    // Where the block is never read, a missing one is no fault.
    EffectParams other(1000000, {5000, 0});
    other.effect.lpvTypeSpecificParams = nullptr;
    DWORD id = 0;
    EXPECT_EQ(driver->DownloadEffect(0, TYPE_OTHER, &id, other.get(), 0), S_OK);
    EffectParams noX(1000000, {5000, 0}, {Y_AXIS_ID, 0x01000202});
    noX.effect.lpvTypeSpecificParams = nullptr;
    id = 0;
    EXPECT_EQ(driver->DownloadEffect(0, TYPE_SPRING, &id, noX.get(), 0), S_OK);
}

} // namespace
