// LED bar meter: readings per metering mode, readouts and marker ballistics by elapsed time,
// geometry switches, identities and broken input.
#include "MeterTestUtil.h"
#include "Ui/Controls/LedMeter.h"
#include "Ui/Foundation/VyrPainting.h"

using namespace vyrGui;
using namespace vyrMeterTest;

namespace
{
struct Rig
{
    std::atomic<float> lv[4] { { 0.0f }, { 0.0f }, { 0.0f }, { 0.0f } }; // peak L, R, RMS L, R
    LedMeter meter { &lv[0], &lv[1], &lv[2], &lv[3] };

    explicit Rig (int w = 80, int h = 300)
    {
        meter.clock = &fakeClock;
        meter.setSize (w, h);
    }
    juce::Image paintAfter (double ms)
    {
        advanceMs (ms);
        return render (meter);
    }
    // Left bar of the default (non-compact, readouts on two lines, scale) layout at 80 x 300.
    static juce::Rectangle<float> leftBar() { return { 10.0f, 35.0f, 14.0f, 249.0f }; }
};

juce::String minusInfinity() { return juce::String::fromUTF8 ("\xe2\x88\x92\xe2\x88\x9e"); }
}

TEST (LedMeter, SilentNewMeterReadsMinusInfinityWithDarkBarsAndNoMarker)
{
    Rig rig;
    const auto img = rig.paintAfter (33);
    EXPECT_FLOAT_EQ (rig.meter.levelDb[0], -100.0f);
    EXPECT_EQ (vyrMeter::dbText (rig.meter.peakHold[0].hold.held), minusInfinity());
    EXPECT_EQ (vyrMeter::dbText (rig.meter.peakHold[1].hold.held), minusInfinity());
    for (int i = 0; i < 31; ++i)
        EXPECT_FALSE (lit (img, segmentCentre (Rig::leftBar(), i, 31, true)));
}

TEST (LedMeter, FullScaleSineInDbfsAndK14)
{
    struct Case
    {
        int mode;
        float readout;
        int lastLit, segments;
    };
    for (const Case c : { Case { 0, 0.0f, 30, 31 }, Case { 2, 11.0f, 24, 29 } })
    {
        SCOPED_TRACE (c.mode);
        Rig rig;
        setLevels (rig.lv, 1.0f, 0.70710678f);
        rig.meter.meteringMode = c.mode;
        const auto img = rig.paintAfter (33);
        EXPECT_EQ (vyrMeter::dbText (rig.meter.peakHold[0].hold.held), juce::String (c.readout, 1));
        EXPECT_TRUE (lit (img, segmentCentre (Rig::leftBar(), c.lastLit, c.segments, true)));
        if (c.lastLit + 1 < c.segments)
            EXPECT_FALSE (lit (img, segmentCentre (Rig::leftBar(), c.lastLit + 1, c.segments, true)));
        const auto top = segmentCentre (Rig::leftBar(), c.segments - 1, c.segments, true);
        if (c.mode == 0)
            EXPECT_TRUE (colourNear (img.getPixelAt (top.x, top.y), juce::Colour (0xffff2b2b), 60));
    }
    // Without RMS sources the K modes show the peak plus K.
    std::atomic<float> pk { 0.5f };
    LedMeter m (&pk, &pk, nullptr, nullptr);
    m.clock = &fakeClock;
    m.meteringMode = 1;
    m.setSize (80, 300);
    render (m);
    EXPECT_NEAR (m.levelDb[0], 12.0f - 6.0206f, 0.01f);
}

TEST (LedMeter, AfterSilenceBarsGoDarkMarkerFallsAndReadoutsHold)
{
    Rig rig;
    setLevels (rig.lv, 1.0f, 1.0f);
    rig.paintAfter (33);
    setLevels (rig.lv, 0.0f, 0.0f);
    const auto img = rig.paintAfter (33);
    EXPECT_FALSE (lit (img, segmentCentre (Rig::leftBar(), 0, 31, true)));
    EXPECT_NEAR (rig.meter.levelDb[0], -0.55f, 0.01f);

    double t = 0.033;
    auto runTo = [&] (double seconds)
    {
        while (t + 0.033 <= seconds + 1e-9)
        {
            rig.paintAfter (33);
            t += 0.033;
        }
    };
    runTo (1.5);
    EXPECT_NEAR (rig.meter.peakHold[0].hold.held, 0.0f, 1e-6); // held 1.5 s
    EXPECT_NEAR (rig.meter.levelDb[0], -0.55f / 0.033f * (float) t, 0.05f);
    runTo (2.5);
    // The hold starts with the last step whose window held the peak, about 0.1 s after the drop.
    EXPECT_NEAR (rig.meter.peakHold[0].hold.held, -11.764706f * ((float) t - 1.6f), 0.5f);
    runTo (8.0);
    EXPECT_EQ (vyrMeter::dbText (rig.meter.peakHold[0].hold.held), minusInfinity());
}

TEST (LedMeter, BallisticsFollowTimeNotTheNumberOfPaints)
{
    Rig once, twice, fast;
    // Every 33 ms: `once` is painted once, `twice` twice at the same instant (a host that repaints
    // twice, or a snapshot), `fast` three times (also 11 and 22 ms into the interval).
    auto step = [&] (float peak)
    {
        for (int i = 0; i < 2; ++i)
        {
            advanceMs (11);
            render (fast.meter);
        }
        advanceMs (11);
        for (auto* r : { &once, &twice, &fast })
            setLevels (r->lv, peak, peak);
        render (once.meter);
        render (twice.meter);
        render (twice.meter);
        render (fast.meter);
    };
    for (int i = 0; i < 15; ++i)
        step (0.5f);
    for (int i = 0; i < 80; ++i)
    {
        step (0.0f);
        EXPECT_EQ (once.meter.levelDb[0], twice.meter.levelDb[0]);
        EXPECT_EQ (once.meter.peakHold[0].hold.held, twice.meter.peakHold[0].hold.held);
    }
    EXPECT_LT (once.meter.peakHold[0].hold.held, -7.0f); // it did fall
    // Counted per paint, `fast` would have fallen three times as far; by time it differs only by
    // the readings it saw just before the drop (a step or two).
    EXPECT_NEAR (once.meter.peakHold[0].hold.held, fast.meter.peakHold[0].hold.held, 1.0f);
    EXPECT_NEAR (once.meter.levelDb[0], fast.meter.levelDb[0], 0.6f);
}

TEST (LedMeter, GeometrySwitches)
{
    auto barInk = [] (bool scale, int barWidth)
    {
        Rig rig (100, 200);
        rig.meter.transparent = true;
        rig.meter.showPeakText = false;
        rig.meter.showScale = scale;
        rig.meter.barWidth = barWidth;
        return inkBounds (rig.paintAfter (33), juce::Colours::transparentBlack, 0);
    };
    // Without the scale the pair (2 x 14 + 8) is centred in the 92 px content: x 32..68.
    auto b = barInk (false, 0);
    EXPECT_NEAR (b.getX(), 32, 1);
    EXPECT_NEAR (b.getRight(), 68, 1);
    b = barInk (false, 20); // 20 px bars: 26..74
    EXPECT_NEAR (b.getX(), 26, 1);
    EXPECT_NEAR (b.getRight(), 74, 1);
    b = barInk (true, 0); // the scale takes 24 px at the right: pair centred in 68 px
    EXPECT_NEAR (b.getX(), 20, 1);

    // An identity above 5 paints as the light identity; an unknown mode shows one segment.
    Rig a, c;
    a.meter.themeId = 9;
    c.meter.themeId = 5;
    setLevels (a.lv, 1.0f, 1.0f);
    setLevels (c.lv, 1.0f, 1.0f);
    a.meter.meteringMode = c.meter.meteringMode = 5;
    advanceMs (33);
    const auto ia = render (a.meter), ic = render (c.meter);
    EXPECT_EQ (countInk (ia, juce::Colours::transparentBlack, 0), countInk (ic, juce::Colours::transparentBlack, 0));
    EXPECT_EQ (ia.getPixelAt (17, 150), ic.getPixelAt (17, 150));
    EXPECT_TRUE (lit (ia, segmentCentre (Rig::leftBar(), 0, 1, true)));

    // Too short for a bar: nothing breaks, nothing is drawn below the labels.
    Rig tiny (80, 30);
    tiny.paintAfter (33);
    tiny.meter.setSize (0, 0);
    tiny.paintAfter (33);
}

TEST (LedMeter, BrokenReadingsPaintAClampedMeter)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    for (float bad : { nan, inf, -inf, 1e30f, -1e30f })
    {
        SCOPED_TRACE (bad);
        for (int mode : { 0, 2 })
        {
            Rig rig (40, 120);
            rig.meter.meteringMode = mode;
            setLevels (rig.lv, bad, bad);
            rig.paintAfter (33);
            EXPECT_TRUE (std::isfinite (rig.meter.levelDb[0]));
            EXPECT_LE (rig.meter.levelDb[0], vyrMeter::kMaxDb + 20.0f);
            // A single broken block does not pin the meter: with silence it returns to the floor.
            setLevels (rig.lv, 0.0f, 0.0f);
            for (int i = 0; i < 60; ++i) // 15 s in the longest steps a paint counts
                rig.paintAfter (250);
            EXPECT_LE (rig.meter.levelDb[0], mode == 0 ? -99.0f : -85.0f);
            EXPECT_FLOAT_EQ (rig.meter.peakHold[0].hold.held, -120.0f);
        }
    }
}

TEST (LedMeter, RendersInEveryIdentity)
{
    Fonts fonts;
    for (int id = 0; id < kNumThemes; ++id)
    {
        // The final-output meter: housed, scale, readouts and the mode caption.
        Rig housed (110, 320);
        housed.meter.housing = true;
        housed.meter.themeId = id;
        housed.meter.meteringMode = 2;
        housed.meter.title = vyrMeter::modeCaption (2);
        housed.lv[0] = 0.9f, housed.lv[1] = 0.5f, housed.lv[2] = 0.45f, housed.lv[3] = 0.2f;
        const auto img = housed.paintAfter (33);
        EXPECT_GT (countInk (img, juce::Colours::transparentBlack, 0), 110 * 300);

        // The main view's compact, transparent IN and OUT pair on the page background.
        Rig in (60, 220), out (76, 220);
        for (auto* r : { &in, &out })
        {
            r->meter.compact = r->meter.transparent = true;
            r->meter.themeId = id;
            r->lv[0] = 0.7f, r->lv[1] = 0.3f, r->lv[2] = 0.3f, r->lv[3] = 0.1f;
        }
        in.meter.showScale = false;
        in.meter.title = "IN";
        out.meter.title = "OUT";
        Rig rows (220, 60);
        rows.meter.vertical = false;
        rows.meter.themeId = id;
        rows.lv[0] = 0.5f, rows.lv[1] = 0.25f;
        advanceMs (33);
        auto sheet = renderPaint (520, 340, [&] (juce::Graphics& g)
                                  {
            vyrFillPageBackground (g, { 0, 0, 520, 340 }, id);
            g.setOpacity (1.0f); // images are drawn with the context's current opacity
            g.drawImageAt (img, 10, 10);
            g.drawImageAt (render (in.meter), 140, 10);
            g.drawImageAt (render (out.meter), 210, 10);
            g.drawImageAt (render (rows.meter), 290, 10); });
        savePng (sheet, "meter-led-" + juce::String (kThemes[id].key));
    }
}

TEST (LedMeter, RepaintsOnlyWhenSomethingWouldLookDifferent)
{
    Rig rig;
    EXPECT_TRUE (rig.meter.needsRepaint()); // never painted
    rig.paintAfter (33);
    advanceMs (33);
    EXPECT_FALSE (rig.meter.needsRepaint()); // silence at rest

    setLevels (rig.lv, 0.5f, 0.5f);
    EXPECT_TRUE (rig.meter.needsRepaint()); // a new reading
    rig.paintAfter (33);
    for (int i = 0; i < 3; ++i)
        rig.paintAfter (33);                 // the window lets the hold catch up with the steady reading
    EXPECT_FALSE (rig.meter.needsRepaint()); // a steady tone at rest

    setLevels (rig.lv, 0.0f, 0.0f);
    rig.paintAfter (33);
    EXPECT_TRUE (rig.meter.needsRepaint()); // marker falling, readout holding
    for (int i = 0; i < 400 && rig.meter.needsRepaint(); ++i)
        rig.paintAfter (33);
    EXPECT_FALSE (rig.meter.needsRepaint()); // came to rest

    rig.meter.themeId = 3; // owner settings show at once
    EXPECT_TRUE (rig.meter.needsRepaint());
    rig.paintAfter (33);
    rig.meter.title = "OUT";
    EXPECT_TRUE (rig.meter.needsRepaint());
}

// The timer repaints only the segments that move. A screen that takes only those repaints must
// look exactly like a meter painted whole at the same moment, also while the marker falls.
TEST (LedMeter, RepaintingOnlyChangedSegmentsLeavesNothingStale)
{
    struct Case
    {
        const char* name;
        int mode;
        bool compact;
        std::vector<float> peaks; // one reading per 33 ms frame
    };
    const Case cases[] = {
        { "rise and fall in dBFS", 0, false, { 0.01f, 0.2f, 1.0f, 0.05f, 0.0f, 0.0f, 0.0f, 0.3f, 0.0f } },
        { "small steps in K-14", 2, false, { 0.25f, 0.27f, 0.3f, 0.29f, 0.1f, 0.1f, 0.6f } },
        { "main view meter", 0, true, { 0.7f, 0.0f, 0.0f, 0.9f, 0.85f, 0.0f, 0.001f } },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        Rig rig (56, 220);
        rig.meter.meteringMode = c.mode;
        rig.meter.compact = c.compact;
        rig.meter.transparent = c.compact;
        auto screen = rig.paintAfter (33).createCopy();
        for (const float peak : c.peaks)
        {
            setLevels (rig.lv, peak, peak * 0.5f);
            advanceMs (33);
            const auto area = rig.meter.areaToRepaint();
            ASSERT_FALSE (area.isEmpty());
            screen.clear (area);
            {
                juce::Graphics g (screen);
                g.reduceClipRegion (area);
                rig.meter.paintEntireComponent (g, true);
            }
            const auto whole = render (rig.meter); // the same instant: the ballistics do not move
            int differing = 0;
            for (int y = 0; y < whole.getHeight(); ++y)
                for (int x = 0; x < whole.getWidth(); ++x)
                    differing += screen.getPixelAt (x, y) == whole.getPixelAt (x, y) ? 0 : 1;
            EXPECT_EQ (differing, 0) << "after a reading of " << peak;
        }
    }
}
