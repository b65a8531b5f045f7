#include "GuiTestUtil.h"
#include "Ui/Controls/HardwareKnob.h"
#include "Ui/Foundation/VyrPainting.h"

using namespace vyrGui;
using vyrTest::setParam;

namespace
{
const auto kNan = std::numeric_limits<double>::quiet_NaN();
const juce::ModifierKeys alt (juce::ModifierKeys::altModifier);

// Red accent, so lit arc and highlighted labels are easy to tell from white and grey ink.
const juce::Colour red (0xffff0000);
bool isAccent (juce::Colour c) { return c.getAlpha() > 120 && c.getRed() > 150 && c.getGreen() < 110 && c.getBlue() < 110; }

int accentPixels (const juce::Image& img, juce::Rectangle<int> area)
{
    int n = 0;
    area = area.getIntersection (img.getBounds());
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            n += isAccent (img.getPixelAt (x, y)) ? 1 : 0;
    return n;
}

juce::Point<float> dialCentre (const HardwareKnob& k) { return k.slider.getBounds().toFloat().getCentre(); }
}

TEST (HardwareKnob, ValueTextsByUnit)
{
    struct Case
    {
        const char* unit;
        double start, end, value;
        bool seconds;
        const char* text;
    };
    const Case cases[] = {
        { "s", 0, 1, 0.0005, false, "0.5 ms" },
        { "s", 0, 1, 0.05, false, "50 ms" },
        { "s", 0, 1, 0.05, true, "0.050 s" },
        { "s", 0, 1, 0.25, true, "0.25 s" },
        { "Hz", 20, 20000, 2500, false, "2.5k Hz" },
        { "Hz", 20, 20000, 150, false, "150 Hz" },
        { "Hz", 20, 20000, 47.5, false, "47.5 Hz" },
        { "%", 0, 1, 0.5, false, "50 %" },
        { "%", 0, 100, 5, false, "5.0 %" },
        { "%", 0, 100, 12.5, false, "12.5 %" },
        { "dB", -24, 24, 0, false, "0.0 dB" },
        { "dB", -24, 24, 1.5, false, "+1.5 dB" },
        { "dB", -24, 24, -3, false, "-3.0 dB" },
        { "x", 1, 10, 1.5, false, "1.50x" },
        { "deg", -180, 180, 45, false, "45\xc2\xb0" },
        { "\xc2\xb0", -180, 180, -22.5, false, "-22.5\xc2\xb0" },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (juce::CharPointer_UTF8 (c.unit)) + " " + juce::String (c.value));
        HardwareKnob knob ("Name", juce::String (juce::CharPointer_UTF8 (c.unit)), red, 60);
        knob.showSeconds = c.seconds;
        knob.slider.setRange (c.start, c.end);
        knob.slider.setValue (c.value, juce::dontSendNotification);
        EXPECT_EQ (knob.valueText(), juce::String (juce::CharPointer_UTF8 (c.text)));
    }

    // Other units show the parameter's own text, then the unit.
    auto proc = makeProcessor (15);
    HardwareKnob choice (proc->apvts, "masterLufs", "LUFS", {}, red, 60);
    HardwareKnob withUnit (proc->apvts, "masterLufs", "Target", "LUFS", red, 60);
    setParam (*proc, "masterLufs", 2.0f);
    ASSERT_TRUE (pumpUntil ([&]
                            { return choice.slider.getValue() == 2.0 && withUnit.slider.getValue() == 2.0; }));
    EXPECT_EQ (choice.valueText(), "-14");
    EXPECT_EQ (withUnit.valueText(), "-14 LUFS");
}

TEST (HardwareKnob, OptionClickResetsWithoutStartingADrag)
{
    struct Case
    {
        double start, end, reset, expected;
    };
    const Case cases[] = {
        { 1, 20, kNan, 1 },     // 0 below the range: the start
        { -20, -5, kNan, -20 }, // 0 above the range: still the start
        { -10, 10, kNan, 0 },   // 0 inside the range
        { 0, 4, 2, 2 },         // an explicit reset value
        { 0, 4, 9, 4 },         // clamped into the range
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.start) + ".." + juce::String (c.end));
        HardwareKnob knob ("Gain", {}, red, 60);
        knob.slider.setRange (c.start, c.end);
        knob.slider.setValue (c.start + 0.75 * (c.end - c.start));
        knob.resetValue = c.reset;
        Desk desk (knob);
        const auto centre = dialCentre (knob);
        desk.move (centre);
        desk.press (centre, alt);
        desk.drag (centre - juce::Point<float> (0, 40), alt);
        desk.release (centre - juce::Point<float> (0, 40), alt);
        EXPECT_DOUBLE_EQ (knob.slider.getValue(), c.expected);

        // Option-click on the name strip resets too.
        knob.slider.setValue (c.start + 0.5 * (c.end - c.start));
        desk.click ({ 6.0f, (float) knob.textTop() + 18.0f }, alt);
        EXPECT_DOUBLE_EQ (knob.slider.getValue(), c.expected);
    }
}

TEST (HardwareKnob, BoundKnobResetsAndDoubleClicksEachWriteOneGesture)
{
    auto proc = makeProcessor (15);
    HardwareKnob knob (proc->apvts, "compressor_threshold", "Thresh", "dB", red, 60);
    knob.resetValue = -6.0;
    ASSERT_NE (knob.attachment, nullptr);
    Desk desk (knob);
    const auto centre = dialCentre (knob);
    const juce::Point<float> name (10.0f, (float) knob.textTop() + 18.0f);

    // Each press on the dial opens and closes a gesture of its own, so a double-click there makes
    // three; the resets elsewhere make exactly one.
    struct Step
    {
        const char* what;
        std::function<void()> act;
        float expected;
        int gestures;
    };
    const Step steps[] = {
        { "option-click on the dial", [&]
          { desk.click (centre, alt); },
          -6.0f, 1 },
        { "double-click on the name", [&]
          { desk.doubleClick (name); },
          -6.0f, 1 },
        { "double-click on the dial: the parameter's default", [&]
          { desk.doubleClick (centre); },
          -18.0f, 3 },
    };
    for (const auto& s : steps)
    {
        SCOPED_TRACE (s.what);
        setParam (*proc, "compressor_threshold", -40.0f);
        ASSERT_TRUE (pumpUntil ([&]
                                { return knob.slider.getValue() == -40.0; }));
        GestureCounter gestures (*proc);
        s.act();
        EXPECT_NEAR (paramValue (*proc, "compressor_threshold"), s.expected, 1e-4f);
        EXPECT_EQ (gestures.begins ("compressor_threshold"), s.gestures);
        EXPECT_EQ (gestures.ends ("compressor_threshold"), s.gestures);
    }
}

TEST (HardwareKnob, RealDragWritesTheParameterInOneGestureAndFollowsTheHost)
{
    auto proc = makeProcessor (15);
    HardwareKnob knob (proc->apvts, "compressor_threshold", "Thresh", "dB", red, 60);
    Desk desk (knob);
    const auto centre = dialCentre (knob);
    GestureCounter gestures (*proc);
    desk.move (centre);
    desk.press (centre);
    for (int dy = 10; dy <= 50; dy += 10)
        desk.drag (centre - juce::Point<float> (0.0f, (float) dy));
    desk.release (centre - juce::Point<float> (0.0f, 50.0f));

    // 250 pixels span the 60 dB range: 50 pixels up from -18 dB is -6 dB.
    EXPECT_NEAR (paramValue (*proc, "compressor_threshold"), -6.0f, 0.11f);
    EXPECT_EQ (gestures.begins ("compressor_threshold"), 1);
    EXPECT_EQ (gestures.ends ("compressor_threshold"), 1);
    EXPECT_GE (gestures.changes ("compressor_threshold"), 1);
    EXPECT_EQ (gestures.totalBegins(), 1);

    setParam (*proc, "compressor_threshold", -33.0f);
    EXPECT_TRUE (pumpUntil ([&]
                            { return std::abs (knob.slider.getValue() + 33.0) < 1e-4; }));
    EXPECT_EQ (knob.valueText(), "-33.0 dB");
}

TEST (HardwareKnob, MissingParameterLeavesAnUnattachedKnob)
{
    auto proc = makeProcessor (15);
    HardwareKnob knob (proc->apvts, "noSuchParameter", "Ghost", "dB", red, 48);
    EXPECT_EQ (knob.attachment, nullptr);
    EXPECT_EQ (knob.slider.getMinimum(), 0.0);
    EXPECT_EQ (knob.slider.getMaximum(), 10.0);
    Desk desk (knob);
    const auto centre = dialCentre (knob);
    desk.move (centre);
    desk.press (centre);
    desk.drag (centre - juce::Point<float> (0.0f, 25.0f));
    desk.release (centre - juce::Point<float> (0.0f, 25.0f));
    EXPECT_NEAR (knob.slider.getValue(), 1.0, 1e-6); // 25 of 250 pixels over 0..10
}

TEST (HardwareKnob, WrappingDragOnAFiveStepSelector)
{
    auto proc = makeProcessor (15);
    HardwareKnob knob (proc->apvts, "masterLufs", "LUFS", {}, juce::Colour (0xff67e8f9), 138);
    knob.selector = true;
    knob.topInset = 8;
    knob.resetValue = 2.0;
    knob.stepLabels = { "-23", "-16", "-14", "-11", "-9" };
    knob.slider.setMouseDragSensitivity (200);
    knob.slider.wrapDrag = true;
    knob.setSize (220, 230);
    Desk desk (knob);
    const auto c = dialCentre (knob);

    struct Case
    {
        float startIndex;
        std::vector<float> dragsUp; // pointer positions above the press point, in order
        float expected;
    };
    const Case cases[] = {
        { 4, { 4 }, 0 },         // from the last step a little further up: the first
        { 4, { 4, 30, 54 }, 1 }, // 50 pixels beyond the end: the second
        { 0, { -4 }, 4 },        // from the first step a little down: the last
        { 2, { 50, 100 }, 4 },   // ending exactly at the top keeps the maximum
        { 1, { -30, -60 }, 4 },  // wraps below the start
    };
    for (const auto& k : cases)
    {
        SCOPED_TRACE (juce::String (k.startIndex) + " -> " + juce::String (k.expected));
        setParam (*proc, "masterLufs", k.startIndex);
        ASSERT_TRUE (pumpUntil ([&]
                                { return knob.slider.getValue() == (double) k.startIndex; }));
        GestureCounter gestures (*proc);
        desk.move (c);
        desk.press (c);
        for (float up : k.dragsUp)
            desk.drag (c - juce::Point<float> (0.0f, up));
        desk.release (c - juce::Point<float> (0.0f, k.dragsUp.back()));
        EXPECT_EQ (paramValue (*proc, "masterLufs"), k.expected);
        EXPECT_EQ (gestures.begins ("masterLufs"), 1);
        EXPECT_EQ (gestures.ends ("masterLufs"), 1);
    }
}

TEST (HardwareKnob, WheelOverAKnobScrollsTheEnclosingView)
{
    juce::Viewport view;
    juce::Component content;
    content.setSize (200, 800);
    HardwareKnob knob ("Mix", "%", red, 60);
    knob.slider.setRange (0.0, 1.0);
    knob.slider.setValue (0.4);
    knob.setTopLeftPosition (20, 20);
    content.addAndMakeVisible (knob);
    view.setViewedComponent (&content, false);
    view.setSize (220, 200);
    Desk desk (view);
    desk.wheel (knob.getBounds().toFloat().getCentre(), -0.5f);
    EXPECT_GT (view.getViewPositionY(), 0);
    EXPECT_EQ (knob.slider.getValue(), 0.4);
}

TEST (HardwareKnob, OnlyTheDialAndTheTextStripTakeTheMouse)
{
    HardwareKnob knob ("Mix", "%", red, 60); // bounds 68 x 88, dial centred at (34, 30)
    knob.slider.setBounds (0, 0, 1, 1);
    EXPECT_TRUE (knob.hitTest (2, 2)) << "dial not laid out: the whole bounds";
    knob.resized();
    EXPECT_TRUE (knob.hitTest (34, 30));
    EXPECT_TRUE (knob.hitTest (34, 2));
    EXPECT_FALSE (knob.hitTest (2, 2)); // corner beside the dial
    EXPECT_TRUE (knob.hitTest (1, 61)); // text strip 60..81
    EXPECT_TRUE (knob.hitTest (66, 81));
    EXPECT_FALSE (knob.hitTest (1, 83)); // below the strip
    EXPECT_FALSE (knob.slider.hitTest (1, 1));
    EXPECT_TRUE (knob.slider.hitTest (30, 1));

    // Step labels widen the dial's circle by half the label band, at least 12 pixels.
    knob.stepLabels = { "A", "B" };
    knob.setSize (120, 120);
    const auto c = dialCentre (knob); // band 18: radius 30 + 12
    EXPECT_TRUE (knob.hitTest ((int) c.x + 41, (int) c.y));
    EXPECT_FALSE (knob.hitTest ((int) c.x + 44, (int) c.y));
}

TEST (HardwareKnob, ValueArcFollowsThePolarity)
{
    struct Case
    {
        bool bipolar;
        double value;
        bool leftLit, rightLit; // arc at 9 and at 3 o'clock
    };
    const Case cases[] = {
        { false, 0.0, false, false },
        { false, 1.0, true, true },
        { false, 0.4, true, false },
        { true, 0.5, false, false },
        { true, 1.0, false, true },
        { true, 0.0, true, false },
    };
    for (const auto& k : cases)
    {
        SCOPED_TRACE (juce::String ((int) k.bipolar) + " " + juce::String (k.value));
        HardwareKnob knob ("Pan", {}, red, 60);
        knob.bipolar = k.bipolar;
        knob.slider.setRange (0.0, 1.0);
        knob.slider.setValue (k.value);
        knob.setBounds (0, 0, 68, 88);
        const auto img = render (knob);
        const auto c = dialCentre (knob);
        const int R = (int) knob.ringRadius();
        EXPECT_EQ (accentPixels (img, { (int) c.x - R - 2, (int) c.y - 2, 5, 5 }) > 0, k.leftLit);
        EXPECT_EQ (accentPixels (img, { (int) c.x + R - 2, (int) c.y - 2, 5, 5 }) > 0, k.rightLit);
    }
}

TEST (HardwareKnob, CurrentStepLabelIsHighlighted)
{
    HardwareKnob knob ("Mode", {}, red, 60);
    knob.selector = true; // no value arc near the labels
    knob.stepLabels = { "A", "B", "C", "D", "E" };
    knob.slider.setRange (0.0, 4.0);
    knob.slider.setValue (3.7); // truncated: step 3
    knob.setBounds (0, 0, 130, 130);
    const auto img = render (knob);
    const auto c = dialCentre (knob);
    const float r = knob.ringRadius() + 13.0f;
    for (int i = 0; i < 5; ++i)
    {
        const float a = juce::degreesToRadians (-135.0f + 67.5f * (float) i);
        const juce::Rectangle<int> box ((int) (c.x + r * std::sin (a)) - 14, (int) (c.y - r * std::cos (a)) - 7, 28, 14);
        EXPECT_EQ (accentPixels (img, box) > 0, i == 3) << "label " << i;
    }
}

TEST (HardwareKnob, TinyAndOddSizesPaint)
{
    for (int size : { 0, 3, 39, 100 })
        for (bool sel : { false, true })
            for (bool skirt : { false, true })
            {
                HardwareKnob knob ("Tiny", "dB", red, size);
                knob.selector = sel;
                knob.skirted = skirt;
                knob.stepLabels = sel ? juce::StringArray { "1" } : juce::StringArray();
                knob.resized();
                render (knob);
                knob.setSize (1, 1);
                render (knob);
            }
}

TEST (HardwareKnob, RendersInEveryIdentity)
{
    for (int id = 0; id < kNumThemes; ++id)
    {
        const auto& theme = kThemes[id];
        juce::Component sheet;
        sheet.setSize (760, 250);
        std::vector<std::unique_ptr<HardwareKnob>> knobs;
        auto add = [&] (HardwareKnob* k, int x, int y, double v)
        {
            k->light = theme.light;
            if (k->slider.getMaximum() == 10.0)
                k->slider.setRange (0.0, 1.0);
            k->slider.setValue (v);
            k->setTopLeftPosition (x, y);
            sheet.addAndMakeVisible (*k);
            knobs.emplace_back (k);
        };
        add (new HardwareKnob ("Drive", "%", theme.accentColour(), 62), 10, 20, 0.62);
        auto* pan = new HardwareKnob ("Balance", "%", theme.accent2Colour(), 48);
        pan->bipolar = true;
        add (pan, 90, 30, 0.3);
        auto* thresh = new HardwareKnob ("Thresh", "dB", theme.accentColour(), 56);
        thresh->skirted = true;
        thresh->slider.setRange (-60.0, 0.0);
        add (thresh, 150, 20, -18.0);
        auto* atk = new HardwareKnob ("Atk", "s", theme.accentColour(), 36);
        add (atk, 220, 30, 0.3);
        auto* mode = new HardwareKnob ("Mode", {}, theme.accentColour(), 70);
        mode->selector = true;
        mode->stepLabels = { "A", "B", "C" };
        mode->slider.setRange (0.0, 2.0, 1.0);
        add (mode, 270, 10, 1.0);
        mode->setSize (110, 130);
        auto* lufs = new HardwareKnob ("LUFS", {}, juce::Colour (0xff67e8f9), 138);
        lufs->selector = true;
        lufs->topInset = 8;
        lufs->stepLabels = { "-23", "-16", "-14", "-11", "-9" };
        lufs->slider.setRange (0.0, 4.0, 1.0);
        add (lufs, 400, 0, 2.0);
        lufs->setSize (230, 240);

        auto img = renderPaint (sheet.getWidth(), sheet.getHeight(), [&] (juce::Graphics& g)
                                {
            vyrFillPageBackground (g, sheet.getLocalBounds(), id);
            sheet.paintEntireComponent (g, false); });
        EXPECT_GT (countInk (img, { 10, 20, 70, 90 }, img.getPixelAt (2, 2), 12), 500);
        savePng (img, juce::String ("control-knobs-") + theme.key);
    }
}
