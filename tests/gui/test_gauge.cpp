#include "GuiTestUtil.h"
#include "Ui/Controls/MasterEffectGauge.h"
#include "Ui/Foundation/VyrPainting.h"

using namespace vyrGui;

namespace
{
const juce::ModifierKeys alt (juce::ModifierKeys::altModifier);

float trim (VyrAudioProcessor& p) { return p.apvts.getRawParameterValue ("masterTrim")->load(); }

void setTrim (VyrAudioProcessor& p, MasterEffectGauge& gauge, float value)
{
    auto* param = p.apvts.getParameter ("masterTrim");
    param->setValueNotifyingHost (param->convertTo0to1 (value));
    ASSERT_TRUE (pumpUntil ([&]
                            { return gauge.disc.getValue() == (double) value; }));
}

struct MasterEffectGaugeTest : ::testing::Test
{
    std::unique_ptr<VyrAudioProcessor> proc = makeProcessor (15);
    MasterEffectGauge gauge { *proc };
};
}

TEST_F (MasterEffectGaugeTest, ChildBoundsFollowTheArtColumnAndTheNudgeRow)
{
    struct Case
    {
        int w, h;
        juce::Rectangle<int> disc, centre, down, up;
    };
    const Case cases[] = {
        { 292, 368, { 56, 86, 180, 180 }, { 129, 159, 34, 34 }, { 118, 310, 24, 24 }, { 150, 310, 24, 24 } },
        { 200, 200, { 10, 86, 180, 180 }, { 83, 159, 34, 34 }, { 72, 176, 24, 24 }, { 104, 176, 24, 24 } },
        { 292, 600, { 56, 86, 180, 180 }, { 129, 159, 34, 34 }, { 118, 310, 24, 24 }, { 150, 310, 24, 24 } },
        { 400, 250, { 110, 86, 180, 180 }, { 183, 159, 34, 34 }, { 172, 202, 24, 24 }, { 204, 202, 24, 24 } },
    };
    EXPECT_EQ (gauge.getWidth(), 292);
    EXPECT_EQ (gauge.getHeight(), 368);
    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.w) + " x " + juce::String (c.h));
        gauge.setSize (c.w, c.h);
        EXPECT_EQ (gauge.disc.getBounds(), c.disc);
        EXPECT_EQ (gauge.centreHit.getBounds(), c.centre);
        EXPECT_EQ (gauge.nudgeDown.getBounds(), c.down);
        EXPECT_EQ (gauge.nudgeUp.getBounds(), c.up);
    }
}

TEST (MasterEffectGauge, ScaleAndReadout)
{
    struct Case
    {
        float v;
        const char* text;
        int firstLit, lastLit; // -1: none
    };
    const Case cases[] = {
        { 0.0f, "0.0%", -1, -1 },
        { 0.1f, "+0.1%", -1, -1 },
        { -0.1f, "-0.1%", -1, -1 },
        { 50.0f, "+50.0%", 50, 100 },
        { -50.0f, "-50.0%", 0, 50 },
        { 12.5f, "+12.5%", 50, 62 },
        { -3.0f, "-3.0%", 47, 50 },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.v);
        EXPECT_EQ (MasterEffectGauge::readoutText (c.v), c.text);
        for (int i = 0; i <= 100; ++i)
            EXPECT_EQ (MasterEffectGauge::tickLit (i, c.v), c.firstLit >= 0 && i >= c.firstLit && i <= c.lastLit) << "tick " << i;
    }
}

TEST_F (MasterEffectGaugeTest, NudgesSnapToTheHalfPercentGrid)
{
    struct Case
    {
        double from, step, to;
    };
    const Case cases[] = { { 49.5, 0.5, 50 }, { 50, 0.5, 50 }, { -49.5, -0.5, -50 }, { -50, -0.5, -50 }, { 0.3, -0.5, 0.0 }, { 0.3, 0.5, 1.0 }, { 7.0, 0.5, 7.5 } };
    for (const auto& c : cases)
        EXPECT_EQ (MasterEffectGauge::nudgedValue (c.from, c.step), c.to) << c.from << " " << c.step;

    Desk desk (gauge);
    for (auto [from, button, to] : { std::tuple { 49.5f, &gauge.nudgeUp, 50.0f }, { -49.5f, &gauge.nudgeDown, -50.0f }, { 0.0f, &gauge.nudgeUp, 0.5f } })
    {
        setTrim (*proc, gauge, from);
        GestureCounter gestures (*proc);
        desk.click (button->getBounds().getCentre().toFloat());
        EXPECT_EQ (trim (*proc), to);
        EXPECT_EQ (gestures.begins ("masterTrim"), 1);
        EXPECT_EQ (gestures.ends ("masterTrim"), 1);
    }
}

TEST_F (MasterEffectGaugeTest, CentreDoubleClickWithin350Milliseconds)
{
    Desk desk (gauge);
    const auto c = gauge.centreHit.getBounds().getCentre().toFloat();
    // Press times: the press, a quick release, the wait, the second press (20 ms per event).
    for (auto [gapMs, resets] : { std::pair { 350, true }, { 351, false } })
    {
        SCOPED_TRACE (gapMs);
        setTrim (*proc, gauge, 10.0f);
        gauge.centreHit.lastDownMs = 0;
        desk.move (c);
        desk.press (c);
        desk.releaseQuick (c);
        desk.wait (gapMs - 40);
        desk.press (c);
        desk.release (c);
        EXPECT_EQ (trim (*proc), resets ? 0.0f : 10.0f);
    }

    setTrim (*proc, gauge, 10.0f);
    gauge.centreHit.lastDownMs = 0;
    GestureCounter gestures (*proc);
    for (int i = 0; i < 3; ++i)
    {
        desk.press (c);
        desk.releaseQuick (c);
        desk.wait (60);
    }
    EXPECT_EQ (trim (*proc), 0.0f);
    EXPECT_EQ (gestures.begins ("masterTrim"), 1) << "three quick clicks reset once";
}

TEST_F (MasterEffectGaugeTest, DiscTakesOnlyItsCircleAndDragsInOneGesture)
{
    Desk desk (gauge);
    const auto d = gauge.disc.getBounds().toFloat();
    const juce::Point<float> inside (d.getX() + 40.0f, d.getY() + 90.0f), corner (d.getX() + 6.0f, d.getY() + 6.0f);
    const juce::Point<float> up (0.0f, 40.0f);

    setTrim (*proc, gauge, 0.0f);
    {
        GestureCounter gestures (*proc);
        desk.move (corner);
        desk.press (corner);
        desk.drag (corner - up);
        desk.release (corner - up);
        EXPECT_EQ (trim (*proc), 0.0f);
        EXPECT_EQ (gestures.totalBegins(), 0);
    }
    {
        // 200 pixels span the whole range: 40 pixels up is +20 %.
        GestureCounter gestures (*proc);
        desk.move (inside);
        desk.press (inside);
        desk.drag (inside - up * 0.5f);
        desk.drag (inside - up);
        desk.release (inside - up);
        EXPECT_EQ (trim (*proc), 20.0f);
        EXPECT_EQ (gestures.begins ("masterTrim"), 1);
        EXPECT_EQ (gestures.ends ("masterTrim"), 1);
    }
    {
        GestureCounter gestures (*proc);
        desk.move (inside);
        desk.press (inside, alt);
        desk.drag (inside - up, alt);
        desk.release (inside - up, alt);
        EXPECT_EQ (trim (*proc), 0.0f) << "Option-click resets without a drag";
        EXPECT_EQ (gestures.begins ("masterTrim"), 1);
        EXPECT_EQ (gestures.ends ("masterTrim"), 1);
    }
}

TEST_F (MasterEffectGaugeTest, WheelScrollsTheEnclosingView)
{
    juce::Viewport view;
    juce::Component content;
    content.setSize (300, 1200);
    content.addAndMakeVisible (gauge);
    view.setViewedComponent (&content, false);
    view.setSize (310, 300);
    Desk desk (view);
    setTrim (*proc, gauge, 5.0f);
    desk.wheel (gauge.disc.getBounds().getCentre().toFloat() + juce::Point<float> (40.0f, 0.0f), -0.5f);
    EXPECT_GT (view.getViewPositionY(), 0);
    EXPECT_EQ (trim (*proc), 5.0f);
}

TEST_F (MasterEffectGaugeTest, ShowsTheRiddenAmountThenTheCrossfadingParameter)
{
    setTrim (*proc, gauge, 4.0f);
    EXPECT_EQ (gauge.displayedEffect(), 4.0f);

    proc->riddenEffect = 25.0f;
    proc->effectRiding = true;
    EXPECT_EQ (gauge.displayedEffect(), 25.0f);
    Desk desk (gauge);
    const auto p = gauge.disc.getBounds().toFloat().getCentre() + juce::Point<float> (-40.0f, 0.0f);
    desk.move (p);
    desk.press (p);
    desk.drag (p - juce::Point<float> (0.0f, 20.0f));
    desk.release (p - juce::Point<float> (0.0f, 20.0f));
    EXPECT_EQ (trim (*proc), 14.0f) << "the knob still trims while the effect rides";
    EXPECT_EQ (gauge.displayedEffect(), 25.0f);

    proc->effectRiding = false;
    proc->live.xfadeActive = true;
    auto* param = proc->apvts.getParameter ("masterTrim");
    param->setValueNotifyingHost (param->convertTo0to1 (-12.5f));
    EXPECT_EQ (gauge.displayedEffect(), -12.5f) << "the raw value, before the knob catches up";
    proc->live.xfadeActive = false;
}

TEST_F (MasterEffectGaugeTest, TimerRepaintsWhenTheShownAmountMoves)
{
    constexpr int kPaintWaitMs = 5000; // a window paint on a loaded machine under the sanitizers
    Desk desk (gauge);
    setTrim (*proc, gauge, 4.0f);
    ASSERT_TRUE (pumpUntil ([&]
                            { return gauge.paintedEffect() == 4.0f; },
                            kPaintWaitMs));
    proc->riddenEffect = -20.0f;
    proc->effectRiding = true;
    EXPECT_TRUE (pumpUntil ([&]
                            { return gauge.paintedEffect() == -20.0f; },
                            kPaintWaitMs));
    proc->effectRiding = false;
    EXPECT_TRUE (pumpUntil ([&]
                            { return gauge.paintedEffect() == 4.0f; },
                            kPaintWaitMs))
        << "the end of a ride shows";

    // Broken readings are shown clamped.
    for (auto [ridden, shown] : { std::pair { std::numeric_limits<float>::quiet_NaN(), 0.0f }, { 1000.0f, 50.0f }, { -1.0e9f, -50.0f } })
    {
        proc->riddenEffect = ridden;
        proc->effectRiding = true;
        EXPECT_EQ (gauge.displayedEffect(), shown);
        EXPECT_TRUE (pumpUntil ([&]
                                { return gauge.paintedEffect() == shown; },
                                kPaintWaitMs));
    }
    proc->effectRiding = false;
}

TEST_F (MasterEffectGaugeTest, RendersInEveryIdentity)
{
    // Tick 100 (at +135 degrees, radius 99 around (146, 176)) is lit only at +50 %.
    const juce::Point<int> lastTick (146 + 70, 176 + 70);
    for (int id = 0; id < kNumThemes; ++id)
    {
        proc->themeIndex = id;
        for (float v : { 0.0f, 50.0f, -22.5f })
        {
            setTrim (*proc, gauge, v);
            const auto img = render (gauge);
            const auto tick = img.getPixelAt (lastTick.x, lastTick.y);
            const bool lit = tick.getAlpha() > 0x60;
            EXPECT_EQ (lit, v == 50.0f) << "identity " << id << " at " << v;
            if (lit)
                EXPECT_LT (colourDistance (tick.withAlpha ((juce::uint8) 255),
                                           vyrLighten (MasterEffectGauge::gaugeAccent (id), 0.78125f)),
                           90);
        }
        setTrim (*proc, gauge, 18.5f);
        auto sheet = renderPaint (gauge.getWidth(), gauge.getHeight(), [&] (juce::Graphics& g)
                                  {
            vyrFillPageBackground (g, gauge.getLocalBounds(), id);
            gauge.paintEntireComponent (g, false); });
        savePng (sheet, juce::String ("control-gauge-") + kThemes[id].key);
    }

    // Without the photograph the face is a gradient disc.
    gauge.knobImage = {};
    const auto img = render (gauge);
    EXPECT_GT (img.getPixelAt (146, 120).getAlpha(), 200);

    // Tiny and narrow gauges paint without complaint.
    for (auto size : { juce::Point<int> (1, 1), juce::Point<int> (10, 40), juce::Point<int> (120, 500) })
    {
        gauge.setSize (size.x, size.y);
        render (gauge);
    }
}
