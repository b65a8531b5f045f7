// Meter helpers: visibility test, mode tables, peak hold, step clock and the LED bar painter.
#include "MeterTestUtil.h"

using namespace vyrGui;
using vyrMeterTest::lit;
using vyrMeterTest::segmentCentre;

namespace
{
const auto clear = juce::Colours::transparentBlack;

}

TEST (MeterHelpers, VisibilityFollowsShowingSizeAndTheNearestViewport)
{
    juce::Component loose;
    loose.setSize (20, 20);
    EXPECT_FALSE (vyrVisibleInScroll (loose)); // not on screen

    juce::Component page, content, child;
    page.setSize (200, 100);
    juce::Viewport viewport;
    viewport.setBounds (0, 0, 200, 100);
    content.setSize (200, 1000);
    child.setBounds (10, 500, 50, 20);
    content.addAndMakeVisible (child);
    viewport.setViewedComponent (&content, false);
    viewport.setScrollBarsShown (false, false);
    page.addAndMakeVisible (viewport);
    Desk desk (page);

    EXPECT_FALSE (vyrVisibleInScroll (child)); // scrolled out
    viewport.setViewPosition (0, 400);         // view 400..500 ends where the child starts
    EXPECT_FALSE (vyrVisibleInScroll (child));
    viewport.setViewPosition (0, 401); // one pixel of overlap
    EXPECT_TRUE (vyrVisibleInScroll (child));
    child.setSize (0, 20);
    EXPECT_FALSE (vyrVisibleInScroll (child));
    EXPECT_TRUE (vyrVisibleInScroll (page)); // no viewport above it
    page.setVisible (false);
    EXPECT_FALSE (vyrVisibleInScroll (page));
    viewport.setViewedComponent (nullptr, false);
}

TEST (MeterHelpers, ModeTablesLabelsAndCaptions)
{
    struct Case
    {
        int mode, count, lowest, highest;
    };
    for (const Case c : { Case { 0, 31, -30, 0 }, Case { 1, 25, -12, 12 }, Case { 2, 29, -14, 14 }, Case { 3, 41, -20, 20 },
                          Case { 7, 1, 0, 0 }, Case { -1, 1, 0, 0 } })
    {
        const auto s = vyrMeter::segments (c.mode);
        ASSERT_EQ ((int) s.size(), c.count) << c.mode;
        EXPECT_EQ (s.front(), c.lowest);
        EXPECT_EQ (s.back(), c.highest);
    }

    juce::String s = "keep";
    EXPECT_FALSE (vyrMeter::scaleLabelAt (-27, 0, s));
    EXPECT_EQ (s, "keep");
    EXPECT_TRUE (vyrMeter::scaleLabelAt (7, 2, s));
    EXPECT_EQ (s, "+7");
    EXPECT_TRUE (vyrMeter::scaleLabelAt (0, 1, s));
    EXPECT_EQ (s, "0");
    EXPECT_TRUE (vyrMeter::scaleLabelAt (-10, 3, s));
    EXPECT_EQ (s, "-10");
    EXPECT_TRUE (vyrMeter::scaleLabelAt (-30, 0, s));
    EXPECT_EQ (s, "-30");
    EXPECT_FALSE (vyrMeter::scaleLabelAt (5, 1, s));
    int labelled = 0;
    for (int t : vyrMeter::segments (0))
        labelled += vyrMeter::scaleLabelAt (t, 0, s) ? 1 : 0;
    EXPECT_EQ (labelled, 7);

    EXPECT_EQ (vyrMeter::modeCaption (0), "dBFS");
    EXPECT_EQ (vyrMeter::modeCaption (-1), "dBFS");
    EXPECT_EQ (vyrMeter::modeCaption (3), juce::String::fromUTF8 ("K \xc2\xb7 0\xe2\x89\xa1\xe2\x88\x92"
                                                                  "20"));
    EXPECT_EQ (vyrMeter::modeCaption (4), juce::String::fromUTF8 ("K \xc2\xb7 0\xe2\x89\xa1\xe2\x88\x92"
                                                                  "0"));

    struct Zone
    {
        int t, mode;
        juce::uint32 colour;
    };
    for (const Zone z : { Zone { 0, 0, 0xffff2b2b }, Zone { -1, 0, 0xffffae42 }, Zone { -3, 0, 0xffffae42 }, Zone { -4, 0, 0xffccff00 },
                          Zone { -11, 0, 0xffccff00 }, Zone { -12, 0, 0xff00afff }, Zone { 14, 2, 0xffff2b2b }, Zone { 11, 2, 0xffffae42 },
                          Zone { 10, 2, 0xffccff00 }, Zone { 1, 2, 0xffccff00 }, Zone { 0, 2, 0xff22c55e }, Zone { 0, 9, 0xffff2b2b } })
        EXPECT_EQ (vyrMeter::zoneColour (z.t, z.mode).getARGB(), z.colour) << z.t << " in mode " << z.mode;
}

TEST (MeterHelpers, ReadoutTextsNeverShowMinusZero)
{
    const auto minusInfinity = juce::String::fromUTF8 ("\xe2\x88\x92\xe2\x88\x9e");
    struct Case
    {
        float db;
        juce::String text;
    };
    for (const Case& c : { Case { -6.24f, "-6.2" }, Case { -0.04f, "0.0" }, Case { 0.0f, "0.0" }, Case { 3.06f, "3.1" },
                           Case { -69.9f, "-69.9" }, Case { -70.0f, minusInfinity }, Case { std::numeric_limits<float>::quiet_NaN(), minusInfinity },
                           Case { std::numeric_limits<float>::infinity(), minusInfinity } })
        EXPECT_EQ (vyrMeter::dbText (c.db), c.text) << c.db;
}

TEST (MeterHelpers, PeakHoldTakesHoldsAndFalls)
{
    vyrMeter::PeakHold h;
    EXPECT_FLOAT_EQ (h.push (-10.0f, 0.033f), -10.0f);
    EXPECT_FLOAT_EQ (h.holdTimer, 1.5f);
    // The -10 stays in the three-value window for two more pushes, each restarting the hold.
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_FLOAT_EQ (h.push (-40.0f, 0.033f), -10.0f);
        EXPECT_FLOAT_EQ (h.holdTimer, 1.5f);
    }
    int held = 0;
    while (h.push (-40.0f, 0.033f) == -10.0f)
        ++held;
    EXPECT_EQ (held, 46); // 1.5 s of 33 ms pushes
    EXPECT_NEAR (h.held, -10.0f - 0.38823530f, 1e-4);
    for (int i = 0; i < 200; ++i)
        h.push (-40.0f, 0.033f);
    EXPECT_FLOAT_EQ (h.held, -40.0f); // falls to the window's peak and stays

    vyrMeter::PeakHold g;
    EXPECT_FLOAT_EQ (g.push (-75.0f, 0.033f), -120.0f);
    EXPECT_FLOAT_EQ (g.push (std::numeric_limits<float>::quiet_NaN(), 0.033f), -120.0f);
    EXPECT_FLOAT_EQ (g.push (std::numeric_limits<float>::infinity(), 0.033f), -120.0f);

    // A held value falling to -70 or below becomes -120 at once.
    vyrMeter::PeakHold f;
    f.push (-69.5f, 0.25f);
    for (int i = 0; i < 8; ++i)
        f.push (-120.0f, 0.25f); // the hold runs out, then one fall of 2.9 dB
    EXPECT_FLOAT_EQ (f.held, -120.0f);

    // dt is clamped: 0 behaves as 0.0001 s (window of 8), 1 s as 0.25 s (window of 2).
    vyrMeter::PeakHold a, b;
    a.push (-10.0f, 0.0f);
    b.push (-10.0f, 1.0f);
    for (int i = 0; i < 7; ++i)
        a.push (-40.0f, 0.0f);
    b.push (-40.0f, 1.0f);
    EXPECT_FLOAT_EQ (a.holdTimer, 1.5f); // -10 still inside the eight-value window
    EXPECT_FLOAT_EQ (b.holdTimer, 1.5f);
    b.push (-40.0f, 1.0f);
    EXPECT_FLOAT_EQ (b.holdTimer, 1.25f); // out of the two-value window, losing 0.25 s per push
}

TEST (MeterHelpers, StepClockCountsElapsedTimeNotCalls)
{
    vyrMeter::StepClock c;
    EXPECT_EQ (c.advance (1000.0, 0.25), 1); // the first look is one step
    EXPECT_EQ (c.advance (1000.0, 0.25), 0); // the same instant again: nothing
    EXPECT_EQ (c.advance (1020.0, 0.25), 0);
    EXPECT_EQ (c.advance (1040.0, 0.25), 1); // 40 ms: one step, 6.7 ms carried
    EXPECT_EQ (c.advance (1100.0, 0.25), 2);
    EXPECT_EQ (c.advance (900.0, 0.25), 0);   // a clock that steps back adds nothing
    EXPECT_EQ (c.advance (10900.0, 0.25), 7); // a pause counts 0.25 s

    vyrMeter::SteppedPeakHold h;
    EXPECT_FLOAT_EQ (h.update (-6.0f, 1000.0, 0.25), -6.0f);
    h.update (-3.0f, 1010.0, 0.25); // louder reading between steps is kept for the next step
    EXPECT_FLOAT_EQ (h.update (-50.0f, 1034.0, 0.25), -3.0f);
}

TEST (MeterHelpers, LedRowLightsByLevelAndMarksThePeak)
{
    const juce::Rectangle<float> area (10, 10, 16, 320);
    auto bar = [&] (float level, int mode, float peak)
    {
        return renderPaint (40, 340, [&] (juce::Graphics& g)
                            { vyrMeter::paintLedRow (g, area, level, mode, true, peak); });
    };

    const auto none = bar (-30.5f, 0, -1000.0f);
    const auto all = bar (0.2f, 0, -1000.0f);
    for (int i = 0; i < 31; ++i)
    {
        EXPECT_FALSE (lit (none, segmentCentre (area, i, 31, true))) << i;
        EXPECT_TRUE (lit (all, segmentCentre (area, i, 31, true))) << i;
    }
    auto top = segmentCentre (area, 30, 31, true);
    EXPECT_TRUE (colourNear (all.getPixelAt (top.x, top.y), juce::Colour (0xffff2b2b), 60));

    const auto k12 = bar (12.0f, 1, -1000.0f);
    top = segmentCentre (area, 24, 25, true);
    EXPECT_TRUE (lit (k12, top));
    EXPECT_TRUE (colourNear (k12.getPixelAt (top.x, top.y), juce::Colour (0xffff2b2b), 60));
    const auto half = bar (0.0f, 1, -1000.0f); // K-12 at the reference: 13 of 25 lit
    EXPECT_TRUE (lit (half, segmentCentre (area, 12, 25, true)));
    EXPECT_FALSE (lit (half, segmentCentre (area, 13, 25, true)));

    // The marker is the only difference a peak makes, and only above -90 and the lowest threshold.
    const auto plain = bar (-100.0f, 0, -1000.0f);
    EXPECT_GT (vyrMeterTest::differingPixels (bar (-100.0f, 0, -6.0f), plain), 0);
    EXPECT_EQ (vyrMeterTest::differingPixels (bar (-100.0f, 0, -95.0f), plain), 0);
    EXPECT_EQ (vyrMeterTest::differingPixels (bar (-100.0f, 0, -31.0f), plain), 0);

    // Non-finite levels paint a dark bar without stray shapes; zero areas paint nothing.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ (vyrMeterTest::differingPixels (bar (nan, 0, nan), plain), 0);
    EXPECT_EQ (countInk (renderPaint (40, 40, [] (juce::Graphics& g)
                                      { vyrMeter::paintLedRow (g, { 5, 5, 0, 30 }, 0.0f, 0, true, 0.0f); }),
                         clear, 0),
               0);

    const juce::Rectangle<float> row (10, 10, 320, 14);
    const auto across = renderPaint (340, 40, [&] (juce::Graphics& g)
                                     { vyrMeter::paintLedRow (g, row, -12.0f, 0, false, -1000.0f); });
    EXPECT_TRUE (lit (across, segmentCentre (row, 18, 31, false)));
    EXPECT_FALSE (lit (across, segmentCentre (row, 19, 31, false)));
    savePng (all, "meter-ledrow-dbfs");
}

TEST (MeterHelpers, TrapezoidCutsTheBottomRightCorner)
{
    auto seg = [] (bool vertical)
    {
        return renderPaint (60, 60, [&] (juce::Graphics& g)
                            { vyrMeter::paintTrapezoid (g, { 10, 10, 40, 40 }, juce::Colours::red, false, vertical, false); });
    };
    // Vertical: the right edge stops 8 % short (y 46.8..50 is cut at x = 49); horizontal: the bottom.
    const auto v = seg (true), h = seg (false);
    EXPECT_EQ (v.getPixelAt (49, 49).getAlpha(), 0);
    EXPECT_GT (v.getPixelAt (49, 30).getAlpha(), 0);
    EXPECT_GT (v.getPixelAt (12, 49).getAlpha(), 0);
    EXPECT_EQ (h.getPixelAt (49, 49).getAlpha(), 0);
    EXPECT_GT (h.getPixelAt (49, 12).getAlpha(), 0);
    EXPECT_EQ (h.getPixelAt (49, 30).getAlpha(), 0);
    EXPECT_EQ (countInk (renderPaint (20, 20, [] (juce::Graphics& g)
                                      { vyrMeter::paintTrapezoid (g, { 5, 5, 0.4f, 9 }, juce::Colours::red, true, true, true); }),
                         clear, 0),
               0);
}
