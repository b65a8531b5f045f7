// The SPACE polar control: zones, drags, resets, wheel steps (also inside a drag), the character
// names and its painting.
#include "PolarTestUtil.h"
#include "Model/QuarnPresets.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/MainView/SpaceWidget.h"

#include <thread>

using namespace vyrGui;
using namespace vyrPolarTest;

namespace
{
const char* const kSpaceIds[] = { "quarn_spaceAng", "quarn_spaceRad", "quarn_reverbAng", "quarn_reverbRad" };

// 240 x 240: S 110, D 55, I 63, O 105.6.
struct SpaceFixture : WidgetFixture<SpaceWidget, 240>
{
};
}

TEST_F (SpaceFixture, ZonesAndDragWrites)
{
    const auto g = widget->geometry();
    EXPECT_FLOAT_EQ (g.disc, 55.0f);
    EXPECT_FLOAT_EQ (g.ringInner, 63.0f);
    EXPECT_FLOAT_EQ (g.ring, 0.96f * 110.0f);
    for (const auto& [radius, zone] : { std::pair { 0.0f, 1 }, { 61.0f, 1 }, { 62.0f, 2 }, { 114.0f, 2 }, { 115.0f, 0 } })
        EXPECT_EQ (widget->zoneAt (at (radius, 0.3f)), zone) << radius;
    EXPECT_TRUE (widget->hitTest (120 + 116, 120));
    EXPECT_FALSE (widget->hitTest (120 + 117, 120));

    Desk desk (*widget);
    GestureCounter gestures (*proc);
    TimedPointer ptr (*widget);
    // Just outside the disc rim still grabs the disc, at full amount.
    ptr.press (at (59.0f, 0.125f));
    EXPECT_NEAR (raw (*proc, "quarn_spaceRad"), 1.0f, 1.0e-6f);
    EXPECT_NEAR (raw (*proc, "quarn_spaceAng"), 0.125f, 1.0e-4f);
    ptr.drag (at (27.5f, 0.5f));
    EXPECT_NEAR (raw (*proc, "quarn_spaceRad"), 0.5f, 1.0e-3f);
    ptr.release (at (27.5f, 0.5f));

    ptr.pause();
    ptr.press (at (63.0f + 0.25f * (0.96f * 110.0f - 63.0f), 0.75f));
    EXPECT_NEAR (raw (*proc, "quarn_reverbRad"), 0.25f, 1.0e-3f);
    EXPECT_NEAR (raw (*proc, "quarn_reverbAng"), 0.75f, 1.0e-4f);
    ptr.release ({});

    for (auto* id : kSpaceIds)
    {
        EXPECT_EQ (gestures.begins (id), 2) << id;
        EXPECT_EQ (gestures.ends (id), 2) << id;
    }
    EXPECT_EQ (gestures.totalBegins(), 8) << "the mapping writes inside the control's gesture";
}

TEST_F (SpaceFixture, ResetsByAltClickAndDoubleClick)
{
    Desk desk (*widget);
    for (const bool alt : { true, false })
    {
        SCOPED_TRACE (alt ? "Alt-click" : "double-click");
        auto set = [this]
        {
            setRaw (*proc, "quarn_spaceAng", 0.4f);
            setRaw (*proc, "quarn_spaceRad", 0.7f);
            setRaw (*proc, "quarn_reverbAng", 0.6f);
            setRaw (*proc, "quarn_reverbRad", 0.8f);
        };
        TimedPointer ptr (*widget);
        auto resetAt = [&] (juce::Point<float> p)
        {
            if (alt)
            {
                ptr.press (p, juce::ModifierKeys::altModifier, 1000);
                ptr.release (p);
            }
            else
                ptr.doubleClick (p);
        };

        set();
        resetAt (at (80.0f, 0.6f)); // on the ring, at the reverb angle
        EXPECT_EQ (raw (*proc, "quarn_reverbRad"), 0.0f);
        EXPECT_NEAR (raw (*proc, "quarn_reverbAng"), 0.6f, 1.0e-4f) << "the reverb character stays";
        EXPECT_NEAR (raw (*proc, "quarn_spaceRad"), 0.7f, 1.0e-4f);

        set();
        resetAt (at (20.0f, 0.4f));
        EXPECT_EQ (raw (*proc, "quarn_spaceAng"), 0.0f);
        EXPECT_EQ (raw (*proc, "quarn_spaceRad"), 0.0f);
        EXPECT_NEAR (raw (*proc, "quarn_reverbRad"), 0.8f, 1.0e-4f);
        EXPECT_FALSE (widget->gestureOpen);
    }
}

TEST_F (SpaceFixture, WheelStepsAmountsAndNeverEndsADragGesture)
{
    Desk desk (*widget);
    GestureCounter gestures (*proc);
    TimedPointer ptr (*widget);

    ptr.wheel (at (20.0f, 0.3f), 0.2f);
    EXPECT_NEAR (raw (*proc, "quarn_spaceRad"), 0.11f, 1.0e-3f);
    EXPECT_EQ (gestures.begins ("quarn_spaceRad"), 1);
    EXPECT_EQ (gestures.ends ("quarn_spaceRad"), 1);

    setRaw (*proc, "quarn_reverbRad", 1.0f);
    ptr.wheel (at (90.0f, 0.3f), 0.5f); // at full amount it stays at 1
    EXPECT_EQ (raw (*proc, "quarn_reverbRad"), 1.0f);
    ptr.wheel (at (90.0f, 0.3f), -0.5f);
    EXPECT_NEAR (raw (*proc, "quarn_reverbRad"), 0.725f, 1.0e-3f);
    EXPECT_NEAR (raw (*proc, "quarn_reverbAng"), 0.0f, 1.0e-6f) << "the wheel never turns a character";

    // With Ctrl (Command) held nothing happens.
    ptr.wheel (at (90.0f, 0.3f), 0.5f, juce::ModifierKeys::ctrlModifier);
    EXPECT_NEAR (raw (*proc, "quarn_reverbRad"), 0.725f, 1.0e-3f);

    // A wheel step in the middle of a drag keeps the drag's gestures open until the release.
    const int begun = gestures.begins ("quarn_spaceAng");
    ptr.pause();
    ptr.press (at (30.0f, 0.2f));
    ptr.wheel (at (30.0f, 0.2f), 0.1f);
    EXPECT_TRUE (widget->gestureOpen);
    EXPECT_EQ (gestures.ends ("quarn_spaceAng"), begun);
    ptr.drag (at (40.0f, 0.3f));
    EXPECT_NEAR (raw (*proc, "quarn_spaceAng"), 0.3f, 1.0e-4f);
    ptr.release (at (40.0f, 0.3f));
    EXPECT_FALSE (widget->gestureOpen);
    for (auto* id : kSpaceIds)
        EXPECT_EQ (gestures.begins (id), gestures.ends (id)) << id;
    EXPECT_EQ (gestures.begins ("quarn_spaceAng"), begun + 1);
}

TEST_F (SpaceFixture, OutsideWritesOnlyRepaint)
{
    Desk desk (*widget);
    GestureCounter gestures (*proc);
    std::thread midi ([this]
                      { setRaw (*proc, "quarn_reverbRad", 0.5f); });
    midi.join();
    EXPECT_EQ (widget->reverbRad, 0.0f);
    ASSERT_TRUE (pumpUntil ([this]
                            { return std::abs (widget->reverbRad - 0.5f) < 1.0e-4f; }));
    pump (100);
    EXPECT_EQ (gestures.totalBegins(), 0);
    for (auto* id : { "quarn_spaceAng", "quarn_spaceRad", "quarn_reverbAng" })
        EXPECT_EQ (gestures.changes (id), 0) << id;
}

TEST_F (SpaceFixture, CharacterNames)
{
    struct Case
    {
        float angle;
        const char* delay;
        const char* reverb;
    };
    for (const auto& c : { Case { 0.0f, "SLAP", "ROOM" }, Case { 0.0625f, "ECHO", "ROOM" }, Case { 0.99f, "SLAP", "ROOM" },
                           Case { 3.0f / 7.0f, "1/4", "XTRM" }, Case { 0.875f, "SHIM", "CATH" }, Case { 0.5f, "TAPE", "PLATE" } })
    {
        EXPECT_STREQ (vyrQuarn::delayName (c.angle), c.delay) << c.angle;
        EXPECT_STREQ (vyrQuarn::reverbName (c.angle), c.reverb) << c.angle;
    }
    const char* ring[] = { "ROOM", "STUD", "HALL", "XTRM", "PLATE", "SHIM", "CATH" };
    for (int i = 0; i < 7; ++i)
        EXPECT_STREQ (vyrQuarn::reverbRingLabel (i), ring[i]);
}

TEST_F (SpaceFixture, PaintingAndRenders)
{
    const auto rest = render (*widget);
    EXPECT_EQ (pixel (rest, 1, 1).getAlpha(), 0);
    const auto well = at (60.0f, 0.6f).roundToInt(); // between disc rim and ring
    EXPECT_EQ (pixel (rest, well.x, well.y).getAlpha(), 255);
    EXPECT_GT (countInk (rest, { 76, 106, 88, 14 }, pixel (rest, 76, 106), 40), 20) << "the title has ink";
    // No reverb: the area between the well and the ring stays clear.
    const auto clear = at (80.0f, 0.55f).roundToInt();
    EXPECT_EQ (pixel (rest, clear.x, clear.y).getAlpha(), 0);
    // The XTRM sector is always emphasised: brighter than its neighbour on the ring.
    auto ringPixel = [this] (const juce::Image& img, float angle)
    {
        const auto p = at (0.96f * 110.0f - 1.6f, angle).roundToInt();
        return pixel (img, p.x, p.y);
    };
    EXPECT_GT (ringPixel (rest, 3.2f / 7.0f).getAlpha(), ringPixel (rest, 2.2f / 7.0f).getAlpha());

    setRaw (*proc, "quarn_reverbRad", 0.8f);
    EXPECT_GT (pixel (render (*widget), clear.x, clear.y).getAlpha(), 0) << "the reverb bloom fills the ring";

    setRaw (*proc, "quarn_spaceAng", 0.3f);
    setRaw (*proc, "quarn_spaceRad", 0.6f);
    setRaw (*proc, "quarn_reverbAng", 0.45f);
    for (int i = 0; i < 7; ++i) // 0.3 s of the timer: sparks fly for the amounts
        tick (timerOf (*widget));
    for (int theme = 0; theme < 6; ++theme)
    {
        proc->themeIndex = theme;
        auto img = renderPaint (
            260, 260, [this] (juce::Graphics& g)
            { g.setOrigin (10, 10); widget->paintEntireComponent (g, false); },
            juce::Colour (0xff14171c));
        EXPECT_GT (countInk (img, juce::Colour (0xff14171c), 8), 15000);
        savePng (img, "space-widget-" + juce::String (theme));
    }
}

// The ticks, labels and sectors are kept as images between paints: after a resize or a change of
// pixel scale the control must look exactly like one that never painted before.
TEST_F (SpaceFixture, KeptLayersFollowSizeAndScale)
{
    struct Case
    {
        int size;
        float scale;
    };
    for (const auto c : { Case { 180, 1.0f }, Case { 240, 2.0f }, Case { 300, 1.5f } })
    {
        SCOPED_TRACE (juce::String (c.size) + " px at " + juce::String (c.scale));
        render (*widget); // fills the layers at the fixture's size and scale 1
        widget->setSize (c.size, c.size);
        const auto reused = render (*widget, c.scale);

        SpaceWidget fresh (*proc);
        fresh.setSize (c.size, c.size);
        const auto expected = render (fresh, c.scale);
        ASSERT_EQ (reused.getBounds(), expected.getBounds());
        int differing = 0, inked = 0;
        for (int y = 0; y < expected.getHeight(); ++y)
            for (int x = 0; x < expected.getWidth(); ++x)
            {
                const auto a = reused.getPixelAt (x, y), b = expected.getPixelAt (x, y);
                inked += b.getAlpha() > 0 ? 1 : 0;
                differing += (std::abs (a.getAlpha() - b.getAlpha()) > 2 || std::abs (a.getRed() - b.getRed()) > 2
                              || std::abs (a.getGreen() - b.getGreen()) > 2 || std::abs (a.getBlue() - b.getBlue()) > 2)
                                 ? 1
                                 : 0;
            }
        EXPECT_GT (inked, expected.getWidth() * expected.getHeight() / 4);
        EXPECT_EQ (differing, 0);
        widget->setSize (240, 240);
    }
}

TEST (SpaceWidget, SurvivesEveryProductSizeAndMeterData)
{
    checkSurvives ([] (VyrAudioProcessor& p)
                   { return std::make_unique<SpaceWidget> (p); });
}

TEST_F (SpaceFixture, IdleTimerDoesNotRepaint)
{
    PaintProbe probe;
    probe.setSize (240, 240);
    probe.target = { 0, 0, 240, 240 };
    probe.addAndMakeVisible (*widget);
    Desk desk (probe);
    EXPECT_TRUE (probe.settle (400, 0.0));
    EXPECT_EQ (probe.any, 0);

    setRaw (*proc, "quarn_reverbRad", 0.7f);
    EXPECT_TRUE (pumpUntil ([&]
                            { return probe.area >= 3.0; }));
    probe.removeChildComponent (widget.get());
}
