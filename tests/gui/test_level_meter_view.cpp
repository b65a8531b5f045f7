// Level meter view: scale buttons write "meteringMode" with one gesture, the source switch, holds
// and loudness by elapsed time, readout texts, balance and RMS bars, and both layouts.
#include "MeterTestUtil.h"
#include "Ui/Controls/LevelMeterView.h"

using namespace vyrGui;
using namespace vyrMeterTest;

namespace
{
const juce::String minusInfinity = juce::String::fromUTF8 ("\xe2\x88\x92\xe2\x88\x9e");

struct Rig
{
    std::unique_ptr<VyrAudioProcessor> proc = makeProcessor (15);
    LevelMeterView view { *proc };

    explicit Rig (int w = 600, int h = 400)
    {
        view.clock = &fakeClock;
        view.setSize (w, h);
        setMeterData (*proc, MeterData::silent);
    }
    void setOut (float peakL, float peakR, float rmsL, float rmsR)
    {
        auto& m = proc->meters;
        m.outPeak[0] = peakL, m.outPeak[1] = peakR, m.outRms[0] = rmsL, m.outRms[1] = rmsR;
    }
    void ticks (int n, double ms = 33.0)
    {
        for (int i = 0; i < n; ++i)
        {
            advanceMs (ms);
            tick (view);
        }
    }
    float mode() const { return proc->apvts.getRawParameterValue ("meteringMode")->load(); }
};
}

TEST (LevelMeterView, NewViewShowsMinusInfinityEverywhere)
{
    Rig rig;
    rig.ticks (1);
    render (rig.view);
    for (float v : { rig.view.momentaryDb, rig.view.shortTermDb, rig.view.integratedDb, rig.view.heldL, rig.view.heldR, rig.view.heldMax })
        EXPECT_EQ (vyrMeter::dbText (v), minusInfinity);
    EXPECT_EQ (LevelMeterView::crestText (rig.view.heldMax + 100.0f, -100.0f), juce::String::fromUTF8 ("\xe2\x88\x9e"));
    EXPECT_EQ (LevelMeterView::headroomText (rig.view.heldMax), "120.0");
}

TEST (LevelMeterView, ScaleButtonsWriteMeteringModeWithOneGestureAndTheSwitchStaysLocal)
{
    for (bool vertical : { false, true })
    {
        SCOPED_TRACE (vertical ? "vertical" : "horizontal");
        Rig rig (vertical ? 400 : 600, vertical ? 600 : 400);
        rig.view.vertical = vertical;
        Desk desk (rig.view);
        render (rig.view); // hit areas are valid after a paint
        GestureCounter gestures (*rig.proc);
        for (int i : { 2, 3, 1, 0 })
        {
            desk.click (rig.view.modeAreas[i].getCentre());
            EXPECT_EQ (rig.mode(), (float) i);
        }
        EXPECT_EQ (gestures.begins ("meteringMode"), 4);
        EXPECT_EQ (gestures.ends ("meteringMode"), 4);

        desk.click (rig.view.inArea.getCentre());
        EXPECT_TRUE (rig.view.showInput);
        EXPECT_EQ (rig.mode(), 0.0f);
        desk.click (rig.view.outArea.getCentre());
        EXPECT_FALSE (rig.view.showInput);

        // Between two buttons, outside everything, and on the help dot without an editor: nothing.
        const auto a = rig.view.modeAreas[1], b = rig.view.modeAreas[2];
        const auto gap = vertical ? juce::Point<float> (a.getCentreX(), a.getBottom() + 1.0f) : juce::Point<float> (a.getRight() + 1.0f, a.getCentreY());
        ASSERT_FALSE (b.contains (gap));
        desk.click (gap);
        desk.click ({ 2.0f, (float) rig.view.getHeight() - 2.0f });
        desk.click (rig.view.infoDotArea.getCentre());
        EXPECT_EQ (gestures.totalBegins(), 4);
        EXPECT_FALSE (rig.view.showInput);
    }
}

TEST (LevelMeterView, ButtonGeometryFollowsTheLayout)
{
    Rig rig (400, 600);
    rig.view.vertical = true;
    render (rig.view);
    // Column of four: each a quarter of min(H', 88) less 2 px, moved by (1, 1).
    const auto first = rig.view.modeAreas[0], second = rig.view.modeAreas[1];
    EXPECT_FLOAT_EQ (first.getHeight(), 88.0f / 4.0f - 2.0f);
    EXPECT_FLOAT_EQ (second.getY() - first.getY(), 22.0f);
    EXPECT_FLOAT_EQ (first.getWidth(), 34.0f);
    // The source switch is at most 64 px, at the right end of its rectangle.
    EXPECT_FLOAT_EQ (rig.view.outArea.getRight(), 384.0f);
    EXPECT_FLOAT_EQ (rig.view.inArea.getWidth() + rig.view.outArea.getWidth(), 64.0f);

    Rig narrow (90, 300); // switch rectangle narrower than 64 px: two halves of it
    narrow.view.vertical = true;
    render (narrow.view);
    EXPECT_NEAR (narrow.view.inArea.getWidth(), narrow.view.outArea.getWidth(), 0.01f);
    EXPECT_LT (narrow.view.inArea.getWidth() + narrow.view.outArea.getWidth(), 64.0f);
}

TEST (LevelMeterView, ReadoutTexts)
{
    EXPECT_EQ (LevelMeterView::crestText (14.0f, -60.0f), juce::String::fromUTF8 ("\xe2\x88\x9e"));
    EXPECT_EQ (LevelMeterView::crestText (3.0f, -20.0f), "3.0");
    EXPECT_EQ (LevelMeterView::balanceText (0.04f), "C");
    EXPECT_EQ (LevelMeterView::balanceText (-0.049f), "C");
    EXPECT_EQ (LevelMeterView::balanceText (3.0f), "L 3.0");
    EXPECT_EQ (LevelMeterView::balanceText (-2.5f), "R 2.5");
    EXPECT_EQ (LevelMeterView::balanceText (std::numeric_limits<float>::quiet_NaN()), "C");
    EXPECT_EQ (LevelMeterView::headroomText (-120.0f), "120.0");
    EXPECT_EQ (LevelMeterView::headroomText (-6.5f), "6.5");
    EXPECT_EQ (LevelMeterView::headroomText (1.2f), "0.0");
}

TEST (LevelMeterView, BalanceTrackAndRmsBars)
{
    Rig flat; // horizontal, 600 x 400: balance track at (18, 140, 564, 4.9), centre x 300
    flat.setOut (1.0f, std::pow (10.0f, -24.0f / 20.0f), 0.5f, 0.05f);
    flat.ticks (1);
    EXPECT_NEAR (flat.view.heldL - flat.view.heldR, 24.0f, 0.01f);
    const auto img = render (flat.view);
    EXPECT_TRUE (colourNear (img.getPixelAt (440, 142), juce::Colour (0xff00afff), 8));
    EXPECT_TRUE (colourNear (img.getPixelAt (575, 142), juce::Colour (0xff00afff), 8)); // clamped at 12 dB: the whole half
    EXPECT_TRUE (colourNear (img.getPixelAt (160, 142), juce::Colour (0xff1e293b), 8));

    // Vertical 400 x 600: the tall left RMS bar is (22, 124, 94.2, 88), 13 segments of 6 px.
    auto litSegments = [] (float rmsDb)
    {
        Rig tall (400, 600);
        tall.view.vertical = true;
        const float r = std::pow (10.0f, rmsDb / 20.0f);
        tall.setOut (r, r, r, r);
        tall.ticks (1);
        const auto im = render (tall.view);
        int n = 0;
        for (int i = 0; i < 13; ++i)
            n += im.getPixelAt (78, 197 - 6 * i + 3).getBrightness() > 0.45f ? 1 : 0;
        return n;
    };
    EXPECT_EQ (litSegments (-4.0f), 11);
    EXPECT_EQ (litSegments (0.0f), 13);
    EXPECT_EQ (litSegments (-40.0f), 0);
}

TEST (LevelMeterView, HoldsAndLoudnessFollowTimeNotTicksOrPaints)
{
    Rig once, extra;
    for (auto* r : { &once, &extra })
        r->setOut (0.5f, 0.5f, 0.3f, 0.3f);
    for (int i = 0; i < 10; ++i)
    {
        advanceMs (33);
        tick (once.view);
        tick (extra.view);
        tick (extra.view); // a second tick at the same instant
        render (extra.view);
    }
    for (auto* r : { &once, &extra })
        r->setOut (0.0f, 0.0f, 0.0f, 0.0f);
    for (int i = 0; i < 90; ++i)
    {
        advanceMs (33);
        tick (once.view);
        tick (extra.view);
        render (extra.view);
        render (extra.view);
    }
    EXPECT_EQ (once.view.heldMax, extra.view.heldMax);
    EXPECT_LT (once.view.heldMax, -6.5f); // held 1.5 s, then fell

    // A timer that fires every 16 ms or runs late every 66 ms gives the same readout.
    Rig quick, late;
    for (auto* r : { &quick, &late })
        r->setOut (0.5f, 0.5f, 0.3f, 0.3f);
    auto run = [&] (int quickTicks)
    {
        for (int i = 1; i <= quickTicks; ++i)
        {
            advanceMs (16.5);
            tick (quick.view);
            if (i % 4 == 0)
                tick (late.view);
        }
    };
    run (12);
    for (auto* r : { &quick, &late })
        r->setOut (0.0f, 0.0f, 0.0f, 0.0f);
    run (160);
    EXPECT_NEAR (quick.view.heldMax, late.view.heldMax, 0.8f);
}

TEST (LevelMeterView, LoudnessOfOutputFromTheProcessorAndOfInputEstimated)
{
    Rig rig;
    auto& m = rig.proc->meters;
    m.lufsMomentary = -12.0f, m.lufsShort = -13.0f, m.lufsIntegrated = std::numeric_limits<float>::quiet_NaN();
    m.inRms[0] = 0.1f, m.inRms[1] = 0.1f; // -20 dB mean square
    rig.ticks (1);
    EXPECT_FLOAT_EQ (rig.view.momentaryDb, -12.0f);
    EXPECT_FLOAT_EQ (rig.view.shortTermDb, -13.0f);
    EXPECT_EQ (vyrMeter::dbText (rig.view.integratedDb), minusInfinity);

    rig.view.showInput = true;
    rig.ticks (120); // 4 s
    EXPECT_NEAR (rig.view.momentaryDb, -20.0f, 0.01f);
    EXPECT_NEAR (rig.view.shortTermDb, -20.0f, 0.01f);
    EXPECT_NEAR (rig.view.integratedDb, -20.0f, 0.01f);
    m.inRms[0] = 0.0f, m.inRms[1] = 0.0f;
    rig.ticks (15); // 0.5 s of silence: the 400 ms window is empty, the 3 s one is not
    EXPECT_EQ (vyrMeter::dbText (rig.view.momentaryDb), minusInfinity);
    EXPECT_NEAR (rig.view.shortTermDb, -20.0f + 10.0f * std::log10 (75.0f / 90.0f), 0.2f);
    EXPECT_NEAR (rig.view.integratedDb, -20.0f + 10.0f * std::log10 (121.0f / 136.0f), 0.2f);
}

TEST (LevelMeterView, SpectrumBelow8kHzIsMappedAsAt8kHz)
{
    auto strip = [] (double rate)
    {
        Rig rig;
        auto& m = rig.proc->meters;
        m.sampleRate = rate;
        {
            const juce::SpinLock::ScopedLockType lock (m.spectrumLock);
            for (int i = 0; i < 4096; ++i)
                m.spectrum[i] = i == 100 ? 1.0f : (i < 50 ? 0.1f : 0.001f);
        }
        return render (rig.view);
    };
    const auto at4k = strip (4000.0), at8k = strip (8000.0), at48k = strip (48000.0);
    EXPECT_EQ (differingPixels (at4k, at8k), 0);
    EXPECT_GT (differingPixels (at8k, at48k), 0);
}

TEST (LevelMeterView, SurvivesEveryProductSizeAndBrokenData)
{
    checkSurvives ([] (VyrAudioProcessor& p)
                   {
        auto v = std::make_unique<LevelMeterView> (p);
        v->moreDetail = true;
        tick (*v);
        return v; });
    // Tiny heights: the caption and rows shrink, empty panels draw nothing.
    Rig rig (600, 30);
    rig.ticks (1);
    render (rig.view);
    rig.view.vertical = true;
    render (rig.view);
}

TEST (LevelMeterView, RendersBothLayouts)
{
    Fonts fonts;
    for (int mode : { 0, 2 })
    {
        Rig rig (620, 420), tall (400, 620);
        for (auto* r : { &rig, &tall })
        {
            r->proc->apvts.getParameter ("meteringMode")->setValueNotifyingHost (mode / 3.0f);
            r->setOut (0.8f, 0.55f, 0.3f, 0.2f);
            auto& m = r->proc->meters;
            m.lufsMomentary = -9.5f, m.lufsShort = -11.2f, m.lufsIntegrated = -13.8f;
            const juce::SpinLock::ScopedLockType lock (m.spectrumLock);
            for (int i = 0; i < 4096; ++i)
                m.spectrum[i] = 0.3f / (1.0f + (float) i * 0.01f);
        }
        rig.view.moreDetail = true;
        tall.view.vertical = true;
        rig.ticks (1);
        tall.ticks (1);
        const juce::String name = mode == 0 ? "dbfs" : "k14";
        savePng (render (rig.view), "meter-level-horizontal-" + name);
        savePng (render (tall.view), "meter-level-vertical-" + name);
    }
}

TEST (LevelMeterView, RepaintsOnlyWhenAShownValueChanged)
{
    Rig rig;
    rig.ticks (1);
    EXPECT_TRUE (rig.view.needsRepaint());
    render (rig.view);
    rig.ticks (3);
    EXPECT_FALSE (rig.view.needsRepaint()); // silence at rest
    rig.setOut (0.5f, 0.5f, 0.2f, 0.2f);
    EXPECT_TRUE (rig.view.needsRepaint());
    render (rig.view);
    rig.view.vertical = true;
    EXPECT_TRUE (rig.view.needsRepaint());
}
