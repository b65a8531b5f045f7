// The QUARN polar control: hit zones, what real presses, drags, Alt-clicks and double-clicks write
// (each inside one gesture per parameter), that writes from the host or MIDI never make it write,
// and its painting at points whose colours the design fixes.
#include "PolarTestUtil.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/MainView/QuarnWidget.h"

#include <thread>

using namespace vyrGui;
using namespace vyrPolarTest;

namespace
{
const char* const kQuarnIds[] = { "quarn_toneAng", "quarn_toneRad", "quarn_energy", "quarn_boost", "quarn_presence", "quarn_eqAng" };

// 300 x 300: B 136, tR 62.56, eR 92.48, mR 77.52, oR 139.84.
struct QuarnFixture : WidgetFixture<QuarnWidget, 300>
{
};
}

TEST_F (QuarnFixture, GeometryAndHitZones)
{
    const auto g = widget->geometry();
    EXPECT_FLOAT_EQ (g.base, 136.0f);
    EXPECT_FLOAT_EQ (g.tone, 0.46f * 136.0f);
    EXPECT_FLOAT_EQ (g.energy, 0.68f * 136.0f);
    EXPECT_FLOAT_EQ (g.outer, 0.94f * 136.0f + 12.0f);
    EXPECT_FLOAT_EQ (g.handle, g.energy + 18.0f); // boost 0: the handle sits 18 px outside the ring

    struct Case
    {
        float radius, angle;
        int zone;
    };
    // Away from the boost handle (presence 0.25 puts it straight up).
    const Case cases[] = {
        { 0.0f, 0.0f, 1 },   { 70.0f, 0.6f, 1 },  { 72.0f, 0.6f, 4 },  { 78.0f, 0.6f, 4 },    { 80.0f, 0.6f, 2 },
        { 106.0f, 0.6f, 2 }, { 107.0f, 0.6f, 3 }, { 145.0f, 0.6f, 3 }, { 112.0f, 0.25f, 3 },
    };
    for (const auto& c : cases)
        EXPECT_EQ (widget->hit (at (c.radius, c.angle)), c.zone) << "radius " << c.radius << " angle " << c.angle;

    // Clicks reach the control only within max(B, oR, hR) + 6 of the centre.
    EXPECT_TRUE (widget->hitTest (150 + 145, 150));
    EXPECT_FALSE (widget->hitTest (150 + 147, 150));
    EXPECT_FALSE (widget->hitTest (2, 2));

    // A tiny control keeps a base radius of 8.
    widget->setSize (4, 4);
    EXPECT_FLOAT_EQ (widget->geometry().base, 8.0f);
}

TEST_F (QuarnFixture, DragOnToneDiscWritesInsideOneGesturePerParameter)
{
    Desk desk (*widget);
    GestureCounter gestures (*proc);
    const auto before = snapshot (*proc);
    int edits = 0;
    widget->onChanged = [&edits] { ++edits; };
    TimedPointer ptr (*widget);

    ptr.press (at (30.0f, 0.0f));
    EXPECT_NEAR (raw (*proc, "quarn_toneAng"), 0.0f, 1.0e-4f);
    EXPECT_NEAR (raw (*proc, "quarn_toneRad"), 30.0f / (0.46f * 136.0f), 1.0e-3f);
    ptr.drag (at (40.0f, 0.25f));
    ptr.drag (at (200.0f, 0.5f)); // beyond the disc: the radius clamps at 1
    EXPECT_NEAR (raw (*proc, "quarn_toneAng"), 0.5f, 1.0e-4f);
    EXPECT_NEAR (raw (*proc, "quarn_toneRad"), 1.0f, 1.0e-6f);
    EXPECT_TRUE (widget->gestureOpen);
    ptr.release (at (200.0f, 0.5f));
    EXPECT_FALSE (widget->gestureOpen);
    EXPECT_EQ (edits, 3) << "every edit tells the owner";

    for (auto* id : kQuarnIds)
    {
        EXPECT_EQ (gestures.begins (id), 1) << id;
        EXPECT_EQ (gestures.ends (id), 1) << id;
    }
    // The mapping wrote module parameters without gestures of its own.
    EXPECT_EQ (gestures.totalBegins(), 6);
    const auto changed = changedIds (*proc, before, snapshot (*proc));
    EXPECT_TRUE (changed.contains ("quarn_toneRad"));
    EXPECT_GT (changed.size(), 2) << "the QUARN mapping moved no module parameter";
}

TEST_F (QuarnFixture, BoostDeadZoneAndAngleSeam)
{
    Desk desk (*widget);
    TimedPointer ptr (*widget);
    const float eR = 0.68f * 136.0f, span = (0.94f * 136.0f + 12.0f) - eR;

    // Inside the 22 px dead zone the boost stays 0; just outside it jumps to about 22/(oR - eR).
    ptr.press (at (eR + 20.0f, 0.6f));
    EXPECT_EQ (raw (*proc, "quarn_boost"), 0.0f);
    EXPECT_NEAR (raw (*proc, "quarn_presence"), 0.6f, 1.0e-4f);
    ptr.drag (at (eR + 23.0f, 0.6f));
    EXPECT_NEAR (raw (*proc, "quarn_boost"), 23.0f / span, 1.0e-3f);
    ptr.release (at (eR + 23.0f, 0.6f));

    // The energy ring wraps across the 0/1 seam.
    ptr.pause();
    ptr.press (at (eR, 0.99f));
    EXPECT_NEAR (raw (*proc, "quarn_energy"), 0.99f, 1.0e-4f);
    ptr.drag (at (eR, 0.01f));
    EXPECT_NEAR (raw (*proc, "quarn_energy"), 0.01f, 1.0e-4f);
    ptr.release (at (eR, 0.01f));

    // The lane band measures clockwise from the top.
    ptr.pause();
    ptr.press (at (77.0f, 0.0f));
    EXPECT_NEAR (raw (*proc, "quarn_eqAng"), 0.25f, 1.0e-4f);
    ptr.release (at (77.0f, 0.0f));
}

TEST_F (QuarnFixture, AltClickAndDoubleClickResetTheirZoneOnly)
{
    Desk desk (*widget);
    struct Case
    {
        float radius, angle;
        std::map<juce::String, float> expect; // reset parameters and their values
    };
    const Case cases[] = {
        { 20.0f, 0.1f, { { "quarn_toneAng", 0.25f }, { "quarn_toneRad", 0.0f } } },
        { 92.0f, 0.6f, { { "quarn_energy", 0.25f } } },
        { 76.0f, 0.6f, { { "quarn_eqAng", 0.0f } } },
        { 125.0f, 0.6f, { { "quarn_boost", 0.0f }, { "quarn_presence", 0.25f } } },
    };
    const std::map<juce::String, float> moved {
        { "quarn_toneAng", 0.7f }, { "quarn_toneRad", 0.6f },  { "quarn_energy", 0.4f },
        { "quarn_boost", 0.5f },   { "quarn_presence", 0.8f }, { "quarn_eqAng", 0.3f },
    };
    for (const bool alt : { true, false })
        for (const auto& c : cases)
        {
            SCOPED_TRACE ((alt ? "Alt-click at radius " : "double-click at radius ") + std::to_string (c.radius));
            for (auto& kv : moved)
                setRaw (*proc, kv.first.toRawUTF8(), kv.second);
            widget->readParams();
            GestureCounter gestures (*proc);
            TimedPointer ptr (*widget);
            if (alt)
            {
                ptr.press (at (c.radius, c.angle), juce::ModifierKeys::altModifier, 1000);
                ptr.release (at (c.radius, c.angle));
            }
            else
                ptr.doubleClick (at (c.radius, c.angle));

            for (auto& kv : moved)
            {
                auto it = c.expect.find (kv.first);
                if (it != c.expect.end())
                    EXPECT_NEAR (raw (*proc, kv.first.toRawUTF8()), it->second, 1.0e-4f) << kv.first;
                else
                    EXPECT_NEAR (raw (*proc, kv.first.toRawUTF8()), kv.second, 1.0e-4f) << kv.first << " must stay";
            }
            EXPECT_FALSE (widget->gestureOpen);
            for (auto* id : kQuarnIds)
                EXPECT_EQ (gestures.begins (id), gestures.ends (id)) << id;
            EXPECT_EQ (gestures.begins ("quarn_energy"), alt ? 1 : 3); // a double-click: two presses, then the reset
        }
}

TEST_F (QuarnFixture, OutsideWritesNeverMakeTheControlWrite)
{
    Desk desk (*widget);
    GestureCounter gestures (*proc);

    // Host automation from a host thread and a MIDI write from the audio thread.
    std::thread host ([this]
                      { setRaw (*proc, "quarn_boost", 0.75f); });
    host.join();
    std::thread midi ([this]
                      { setRaw (*proc, "quarn_energy", 0.6f); });
    midi.join();
    EXPECT_EQ (widget->boost, 0.0f) << "the control must not read parameters off the message thread";
    ASSERT_TRUE (pumpUntil ([this]
                            { return std::abs (widget->boost - 0.75f) < 1.0e-4f; }));
    EXPECT_NEAR (widget->energy, 0.6f, 1.0e-4f);

    // A recipe write on the message thread is seen at once.
    setRaw (*proc, "quarn_toneRad", 0.4f);
    EXPECT_NEAR (widget->toneRad, 0.4f, 1.0e-4f);

    pump (100);
    EXPECT_EQ (gestures.totalBegins(), 0);
    for (auto* id : { "quarn_toneAng", "quarn_presence", "quarn_eqAng" })
        EXPECT_EQ (gestures.changes (id), 0) << id;
    EXPECT_EQ (gestures.changes ("quarn_boost"), 1);
}

TEST_F (QuarnFixture, NamesColoursAndLaneGain)
{
    struct NameCase
    {
        float angle;
        const char* tone;
        const char* energy;
    };
    for (const auto& c : { NameCase { 7.0f / 12.0f, "LOW", "PUNCH" }, NameCase { 0.25f, "BODY", "GLUE" },
                           NameCase { 11.0f / 12.0f, "AIR", "DENSITY" }, NameCase { 0.0f, "AIR", "DENSITY" } })
    {
        EXPECT_STREQ (QuarnWidget::toneName (c.angle), c.tone);
        EXPECT_STREQ (QuarnWidget::energyName (c.angle), c.energy);
    }

    struct GainCase
    {
        float eqAng, gain;
        int sector;
    };
    for (const auto& c : { GainCase { 0.0f, 0.0f, 0 }, GainCase { 0.0625f, 6.0f, 0 }, GainCase { 0.1875f, -6.0f, 1 },
                           GainCase { 0.125f, 0.0f, 1 }, GainCase { 0.8125f, 9.0f, 6 }, GainCase { 0.9375f, -9.0f, 7 } })
    {
        int sector = -1;
        EXPECT_NEAR (QuarnWidget::laneGain (c.eqAng, sector), c.gain, 1.0e-3f) << c.eqAng;
        EXPECT_EQ (sector, c.sector) << c.eqAng;
    }

    // Grey at the centre drifts 8 % + 92 % * max(radius, 0.22) toward the tone hue.
    EXPECT_TRUE (colourNear (QuarnWidget::pointColour (7.0f / 12.0f, 1.0f), juce::Colour (245, 148, 20), 2));
    EXPECT_TRUE (colourNear (QuarnWidget::pointColour (0.25f, 0.0f),
                             juce::Colour (0xffc8ccd2).interpolatedWith (juce::Colour (212, 194, 133), 0.2824f), 2));
}

TEST_F (QuarnFixture, PaintsOnlyItsElementsAndFollowsTheValues)
{
    auto shot = [this]
    { return render (*widget); };
    const auto rest = shot();
    EXPECT_EQ (pixel (rest, 2, 2).getAlpha(), 0) << "the plate behind must show outside the rings";
    // The well between disc and ring is the opaque dark gradient.
    const auto well = pixel (rest, 150 - 84, 150);
    EXPECT_EQ (well.getAlpha(), 255);
    EXPECT_LT (well.getBrightness(), 0.25f);
    // The title has ink.
    EXPECT_GT (countInk (rest, { 100, 134, 100, 16 }, pixel (rest, 100, 134), 40), 20);
    // No boost: nothing between the well and the handle ring.
    const auto outside = at (103.0f, 0.5f).roundToInt();
    EXPECT_EQ (pixel (rest, outside.x, outside.y).getAlpha(), 0);
    // Inside the lane band where sector 6's lobe would bulge (clockwise from the top).
    const auto lobe = at (81.0f, 0.4625f).roundToInt();
    auto warmth = [] (juce::Colour c)
    { return (int) c.getRed() - (int) c.getBlue(); };
    const int cool = warmth (pixel (rest, lobe.x, lobe.y));
    EXPECT_LE (cool, 0);

    setRaw (*proc, "quarn_eqAng", 0.75f); // a sector edge: no gain, no lobe
    EXPECT_LE (warmth (pixel (shot(), lobe.x, lobe.y)), cool + 2);

    setRaw (*proc, "quarn_boost", 0.8f);
    setRaw (*proc, "quarn_eqAng", 0.8125f); // the middle of sector 6: a full 9 dB lobe
    const auto lit = shot();
    EXPECT_GT (pixel (lit, outside.x, outside.y).getAlpha(), 0) << "the boost bloom reaches past the ring";
    EXPECT_GT (warmth (pixel (lit, lobe.x, lobe.y)), cool + 8) << "the low-shelf lobe is drawn in its warm band colour";
}

TEST_F (QuarnFixture, RendersEveryIdentity)
{
    setRaw (*proc, "quarn_toneAng", 0.62f);
    setRaw (*proc, "quarn_toneRad", 0.7f);
    setRaw (*proc, "quarn_energy", 0.1f);
    setRaw (*proc, "quarn_boost", 0.55f);
    setRaw (*proc, "quarn_presence", 0.8f);
    setRaw (*proc, "quarn_eqAng", 0.3f);
    widget->setSize (340, 340);
    for (int i = 0; i < 9; ++i) // 0.3 s of the timer: sparks fly for the boost
        tick (timerOf (*widget));
    for (int theme = 0; theme < 6; ++theme)
    {
        proc->themeIndex = theme;
        auto img = renderPaint (
            340, 340, [this] (juce::Graphics& g)
            { widget->paintEntireComponent (g, false); },
            juce::Colour (0xff14171c));
        // The energy ring takes the identity's accent.
        EXPECT_GT (countInk (img, juce::Colour (0xff14171c), 8), 20000);
        savePng (img, "quarn-widget-" + juce::String (theme));
    }
}

TEST_F (QuarnFixture, DestroyedMidDragClosesItsGestures)
{
    GestureCounter gestures (*proc);
    {
        Desk desk (*widget);
        TimedPointer ptr (*widget);
        ptr.press (at (92.0f, 0.3f));
        EXPECT_TRUE (widget->gestureOpen);
    }
    widget.reset();
    {
        // Let go of the button somewhere else, so later tests start with the mouse up.
        juce::Component other;
        other.setSize (10, 10);
        Desk desk (other);
        TimedPointer (other).release ({ 2.0f, 2.0f });
    }
    for (auto* id : kQuarnIds)
    {
        EXPECT_EQ (gestures.begins (id), 1) << id;
        EXPECT_EQ (gestures.ends (id), 1) << id;
    }
}

TEST (QuarnWidget, SurvivesEveryProductSizeAndMeterData)
{
    checkSurvives ([] (VyrAudioProcessor& p)
                   { return std::make_unique<QuarnWidget> (p); });
}

TEST_F (QuarnFixture, IdleTimerRepaintsOnlyTheCreepingMotes)
{
    PaintProbe probe;
    probe.setSize (300, 300);
    probe.target = { 0, 0, 300, 300 };
    probe.addAndMakeVisible (*widget);
    Desk desk (probe);
    EXPECT_TRUE (probe.settle (500, 3.0)); // about 15 ticks a window
    EXPECT_LT (probe.area, 3.0) << "an idle control repaints only the few pixels of its motes";

    setRaw (*proc, "quarn_boost", 0.6f); // sparks start to fly: the whole disc animates
    EXPECT_TRUE (pumpUntil ([&]
                            { return probe.area >= 6.0; }));
    probe.removeChildComponent (widget.get());
}

TEST (PolarParamSet, MissingParametersAreSkippedAndTinyDragStepsDropped)
{
    auto proc = makeProcessor (15);
    vyrPolar::ParamSet set (proc->apvts, { "quarn_boost", "no_such_parameter" });
    EXPECT_EQ (set.read (1, 0.25f), 0.25f);

    GestureCounter gestures (*proc);
    EXPECT_TRUE (set.begin());
    EXPECT_FALSE (set.begin()) << "a nested begin must not open a second gesture";
    set.write (1, 0.5f, true);
    set.write (0, 0.4f, false);
    set.write (0, 0.4f + 4.0e-6f, false); // below the drag threshold: no write
    set.write (0, 0.4f, true);            // a reset always writes
    set.end();
    set.end();
    EXPECT_NEAR (raw (*proc, "quarn_boost"), 0.4f, 1.0e-6f);
    EXPECT_EQ (gestures.begins ("quarn_boost"), 1);
    EXPECT_EQ (gestures.ends ("quarn_boost"), 1);
    EXPECT_EQ (gestures.changes ("quarn_boost"), 2);
}
