// VU meter: needle maths and ballistics by elapsed time, header and dial layout, mouse handling
// of the switches and the ballistics panel, and renders of both dial styles in every identity.
#include "MeterTestUtil.h"
#include "Ui/Controls/VuMeter.h"

using namespace vyrGui;
using namespace vyrMeterTest;

namespace
{
struct Rig
{
    std::atomic<float> lv[4] { { 0.0f }, { 0.0f }, { 0.0f }, { 0.0f } }; // in L, R, out L, R (RMS)
    VuMeter vu { &lv[0], &lv[1], &lv[2], &lv[3] };

    Rig()
    {
        vu.clock = &fakeClock;
        vu.lastTickMs = nowMs();
        vu.setSize (600, 300);
    }
    void run (double seconds, double stepMs = 16.0)
    {
        for (double t = 0.0; t < seconds * 1000.0 - 1e-6; t += stepMs)
        {
            advanceMs (stepMs);
            tick (vu);
        }
    }
    void setOut (float rms) { lv[2] = rms, lv[3] = rms; }
};

const float rest = std::pow (10.0f, -88.0f / 20.0f);
}

TEST (VuMeter, NeedleMaths)
{
    EXPECT_NEAR (VuMeter::positionOfVu (0.0f), 0.70794578f, 1e-5);
    EXPECT_NEAR (VuMeter::needleAngle (VuMeter::positionOfVu (0.0f), true), 20.79f, 0.01f);
    EXPECT_NEAR (VuMeter::needleAngle (VuMeter::positionOfVu (0.0f), false), 31.19f, 0.01f);
    EXPECT_FLOAT_EQ (VuMeter::positionOfVu (3.0f), 1.0f);
    EXPECT_FLOAT_EQ (VuMeter::positionOfVu (12.0f), 1.0f);
    EXPECT_FLOAT_EQ (VuMeter::needleAngle (1.0f, true), 50.0f);
    EXPECT_FLOAT_EQ (VuMeter::needleAngle (1.0f, false), 75.0f);
    EXPECT_FLOAT_EQ (VuMeter::needleAngle (0.0f, true), -50.0f);
}

TEST (VuMeter, NeedlesSettleRiseAndRestByElapsedTime)
{
    Rig rig;
    rig.setOut (std::pow (10.0f, -18.0f / 20.0f)); // 0 VU
    rig.run (0.1, 10.0);
    // 100 ms rise: 63 % of the way in 100 ms.
    EXPECT_NEAR (rig.vu.needle[0], 0.632f * 0.70794578f, 0.01f);
    rig.run (2.0);
    EXPECT_NEAR (rig.vu.needle[0], 0.70794578f, 1e-4);
    EXPECT_NEAR (rig.vu.needle[1], 0.70794578f, 1e-4);

    rig.setOut (std::pow (10.0f, -15.0f / 20.0f)); // +3 VU pins the needle
    rig.run (2.0);
    EXPECT_NEAR (rig.vu.needle[0], 1.0f, 1e-4);

    // The input pair is ignored until IN is chosen.
    rig.vu.showInput = true;
    rig.run (3.0);
    EXPECT_NEAR (rig.vu.needle[0], rest, 1e-4); // silent input

    // Null sources and broken levels rest or pin, never leave 0..1.
    VuMeter none (nullptr, nullptr, nullptr, nullptr);
    none.clock = &fakeClock;
    none.lastTickMs = nowMs();
    for (int i = 0; i < 200; ++i)
    {
        advanceMs (16);
        tick (none);
    }
    EXPECT_NEAR (none.needle[0], rest, 1e-5);
    for (float bad : { std::numeric_limits<float>::quiet_NaN(), -1.0f, std::numeric_limits<float>::infinity(), 1e30f })
    {
        Rig r;
        r.setOut (bad);
        r.run (1.0);
        EXPECT_TRUE (r.vu.needle[0] >= 0.0f && r.vu.needle[0] <= 1.0f) << bad;
        r.vu.setSize (300, 200);
        render (r.vu);
    }
}

TEST (VuMeter, BallisticsFollowTimeNotTheNumberOfTicksOrPaints)
{
    Rig slow, fast;
    slow.setOut (0.5f);
    fast.setOut (0.5f);
    for (int i = 0; i < 10; ++i)
    {
        advanceMs (8);
        tick (fast.vu);
        tick (fast.vu); // a second tick at the same instant moves nothing
        render (fast.vu);
        advanceMs (8);
        tick (fast.vu);
        tick (slow.vu);
        render (slow.vu);
    }
    EXPECT_NEAR (slow.vu.needle[0], fast.vu.needle[0], 1e-4);

    // A pause longer than 50 ms counts as 50 ms.
    Rig paused;
    paused.setOut (std::pow (10.0f, -18.0f / 20.0f));
    advanceMs (1000);
    tick (paused.vu);
    EXPECT_NEAR (paused.vu.needle[0], (0.70794578f - 0.0f) * (1.0f - std::exp (-0.5f)), 1e-4);
}

TEST (VuMeter, LayoutOfHeaderDialsAndBallistics)
{
    Rig rig;
    auto& v = rig.vu;
    v.layoutHits();
    EXPECT_EQ (v.ballisticsBox, juce::Rectangle<float> (553, 20, 18, 16));
    EXPECT_EQ (v.roundBox, juce::Rectangle<float> (456, 19, 44, 18));
    EXPECT_EQ (v.rectBox, juce::Rectangle<float> (500, 19, 44, 18));
    EXPECT_EQ (v.inBox, juce::Rectangle<float> (384, 19, 32, 18));
    EXPECT_EQ (v.outBox, juce::Rectangle<float> (416, 19, 32, 18));
    EXPECT_EQ (v.leftDial, juce::Rectangle<float> (72, 52, 208, 208));
    EXPECT_EQ (v.rightDial, juce::Rectangle<float> (320, 52, 208, 208));
    EXPECT_EQ (v.leftLabel, juce::Rectangle<float> (72, 268, 208, 12));
    EXPECT_EQ (v.riseTrack, juce::Rectangle<float> (36, 224, 258, 10));
    EXPECT_EQ (v.fallTrack, juce::Rectangle<float> (306, 224, 258, 10));
    EXPECT_EQ (v.standardBox, juce::Rectangle<float> (486, 256, 84, 14));

    // Rectangular dials: 70:43, gap 48 from a 520 px meter area, else 32.
    v.roundDial = false;
    v.layoutHits();
    EXPECT_FLOAT_EQ (v.leftDial.getWidth(), 260.0f);
    EXPECT_NEAR (v.leftDial.getHeight(), 260.0f / 1.6279069f, 1e-3);
    EXPECT_FLOAT_EQ (v.rightDial.getX() - v.leftDial.getRight(), 48.0f);
    v.setSize (500, 300);
    EXPECT_FLOAT_EQ (v.rightDial.getX() - v.leftDial.getRight(), 32.0f);

    // Tiny: dials never below 40 px, nothing negative.
    v.setSize (10, 10);
    EXPECT_GE (v.leftDial.getWidth(), 40.0f);
    EXPECT_GE (v.ballisticsBox.getWidth(), 0.0f);
    render (v);
}

TEST (VuMeter, SwitchesAndBallisticsPanelByMouse)
{
    Rig rig;
    auto& v = rig.vu;
    Desk desk (v);
    v.layoutHits();

    desk.click (v.inBox.getCentre());
    EXPECT_TRUE (v.showInput);
    desk.click (v.outBox.getCentre());
    EXPECT_FALSE (v.showInput);

    desk.click (v.rectBox.getCentre());
    EXPECT_FALSE (v.roundDial);
    EXPECT_FLOAT_EQ (v.rightDial.getX() - v.leftDial.getRight(), 48.0f); // laid out at once
    desk.click (v.roundBox.getCentre());
    EXPECT_TRUE (v.roundDial);

    // Closed panel: the tracks and Standard VU do nothing.
    desk.click (v.riseTrack.getCentre());
    desk.click (v.standardBox.getCentre());
    EXPECT_FLOAT_EQ (v.riseMs, 100.0f);
    EXPECT_FLOAT_EQ (v.fallMs, 100.0f);

    desk.click (v.ballisticsBox.getCentre());
    ASSERT_TRUE (v.ballisticsOpen);
    struct Case
    {
        juce::Rectangle<float> track;
        float xFraction, yOffset;
        float rise, fall;
    };
    const Case cases[] = { { v.riseTrack, 0.0f, -7.0f, 10.0f, 100.0f }, { v.riseTrack, 1.0f, 12.0f, 600.0f, 100.0f }, { v.fallTrack, 0.0f, 5.0f, 600.0f, 10.0f }, { v.fallTrack, 1.0f, 5.0f, 600.0f, 1000.0f }, { v.riseTrack, 0.5f, 5.0f, 305.0f, 1000.0f } };
    for (const auto& c : cases)
    {
        desk.click ({ c.track.getX() + 1.0f + c.xFraction * (c.track.getWidth() - 2.0f), c.track.getY() + c.yOffset });
        EXPECT_FLOAT_EQ (v.riseMs, c.rise);
        EXPECT_FLOAT_EQ (v.fallMs, c.fall);
        EXPECT_EQ (std::fmod (v.riseMs, 5.0f), 0.0f);
    }

    // Dragging the Fall knob follows x whatever y, until release.
    const auto f = v.fallTrack;
    desk.press ({ f.getX() + 6.0f, f.getCentreY() });
    EXPECT_EQ (v.dragSlider, 2);
    desk.drag ({ f.getX() + 6.0f + 0.25f * (f.getWidth() - 12.0f), f.getY() - 60.0f });
    EXPECT_NEAR (v.fallMs, 257.5f, 5.0f); // 10 + 990 x 0.25, to a multiple of 5
    EXPECT_EQ (std::fmod (v.fallMs, 5.0f), 0.0f);
    desk.release ({ f.getX(), f.getY() - 60.0f });
    EXPECT_EQ (v.dragSlider, 0);

    desk.click (v.standardBox.getCentre());
    EXPECT_FLOAT_EQ (v.riseMs, 300.0f);
    EXPECT_FLOAT_EQ (v.fallMs, 300.0f);
}

TEST (VuMeter, RendersBothDialStylesInEveryIdentity)
{
    Fonts fonts;
    for (bool round : { true, false })
        for (int id = 0; id < kNumThemes; ++id)
        {
            Rig rig;
            rig.vu.theme = id;
            rig.vu.roundDial = round;
            rig.vu.needle[0] = 0.708f, rig.vu.needle[1] = 0.35f;
            rig.vu.ballisticsOpen = id == 2;
            const auto img = render (rig.vu);
            // Housing painted (the corners outside the rounding stay clear), needle hub dark.
            EXPECT_GT (countInk (img, { 20, 60, 40, 200 }, juce::Colours::transparentBlack, 0), 40 * 200 / 2);
            EXPECT_EQ (img.getPixelAt (0, 0).getAlpha(), 0);
            savePng (img, juce::String ("meter-vu-") + (round ? "round-" : "rect-") + kThemes[id].key);
        }
    // An identity outside 0..5 draws no housing.
    Rig other;
    other.vu.theme = 9;
    EXPECT_EQ (countInk (render (other.vu), { 20, 60, 40, 200 }, juce::Colours::transparentBlack, 0), 0);
}

TEST (VuMeter, KeptFaceFollowsEveryChangeItDependsOn)
{
    // A meter painted once and then changed paints exactly what a fresh meter in that state paints.
    auto fresh = [] (int theme, bool round, bool input, bool open, float needle, int w)
    {
        Rig r;
        r.vu.theme = theme, r.vu.roundDial = round, r.vu.showInput = input, r.vu.ballisticsOpen = open;
        r.vu.needle[0] = r.vu.needle[1] = needle;
        r.vu.setSize (w, 300);
        return render (r.vu);
    };
    Rig rig;
    render (rig.vu);
    struct Step
    {
        int theme;
        bool round, input, open;
        float needle;
        int w;
    };
    for (const Step s : { Step { 0, true, false, false, 0.9f, 600 }, Step { 3, true, false, false, 0.9f, 600 },
                          Step { 3, false, false, false, 0.9f, 600 }, Step { 3, false, true, false, 0.9f, 600 },
                          Step { 3, false, true, true, 0.9f, 600 }, Step { 3, false, true, true, 0.9f, 520 } })
    {
        rig.vu.theme = s.theme, rig.vu.roundDial = s.round, rig.vu.showInput = s.input, rig.vu.ballisticsOpen = s.open;
        rig.vu.needle[0] = rig.vu.needle[1] = s.needle;
        rig.vu.setSize (s.w, 300);
        EXPECT_EQ (differingPixels (render (rig.vu), fresh (s.theme, s.round, s.input, s.open, s.needle, s.w)), 0);
    }
    // Kept at one scale and then painted at twice that, the face is redrawn at the new scale.
    Rig other;
    other.vu.theme = 3, other.vu.roundDial = false, other.vu.showInput = true, other.vu.ballisticsOpen = true;
    other.vu.needle[0] = other.vu.needle[1] = 0.9f;
    other.vu.setSize (520, 300);
    EXPECT_EQ (differingPixels (render (rig.vu, 2.0f), render (other.vu, 2.0f)), 0);
}

TEST (VuMeter, RepaintsOnlyWhenANeedleOrSettingMoved)
{
    Rig rig;
    EXPECT_TRUE (rig.vu.needsRepaint());
    render (rig.vu);
    rig.run (0.1);
    EXPECT_FALSE (rig.vu.needsRepaint()); // silent and at rest

    rig.setOut (0.1f);
    rig.run (0.016);
    EXPECT_TRUE (rig.vu.needsRepaint());
    rig.run (3.0);
    render (rig.vu);
    rig.run (0.1);
    EXPECT_FALSE (rig.vu.needsRepaint()); // settled on a steady tone

    rig.vu.ballisticsOpen = true;
    EXPECT_TRUE (rig.vu.needsRepaint());
    render (rig.vu);
    rig.vu.riseMs = 300.0f;
    EXPECT_TRUE (rig.vu.needsRepaint());
}
