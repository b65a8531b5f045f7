#include "GuiTestUtil.h"
#include "Ui/Controls/HardwareFader.h"
#include "Ui/Controls/RackFaders.h"
#include "Ui/Foundation/VyrPainting.h"

using namespace vyrGui;
using vyrTest::setParam;

namespace
{
const juce::ModifierKeys alt (juce::ModifierKeys::altModifier);
const juce::Colour cyan (0xff22d3ee);

// Presses, optionally drags through more points, releases; returns the gestures opened on the ID.
int pressDragRelease (Desk& desk, VyrAudioProcessor& proc, const juce::String& id, std::vector<juce::Point<float>> points,
                      juce::ModifierKeys mods = {})
{
    GestureCounter gestures (proc);
    desk.move (points.front());
    desk.press (points.front(), mods);
    for (size_t i = 1; i < points.size(); ++i)
        desk.drag (points[i], mods);
    desk.release (points.back(), mods);
    EXPECT_EQ (gestures.begins (id), gestures.ends (id));
    return gestures.begins (id);
}
}

//==============================================================================
TEST (HardwareFader, ClicksSetTheGainOfTheSplitThrow)
{
    auto proc = makeProcessor (15);
    HardwareFader fader (proc->apvts, "inputGainL", cyan);
    fader.setBounds (0, 0, 40, 200); // no caption: track from y 2, 182 pixels long
    Desk desk (fader);
    ASSERT_EQ (fader.trackTop(), 2);
    ASSERT_EQ (fader.trackLength(), 182);

    struct Case
    {
        const char* where;
        float y, db;
    };
    const Case cases[] = {
        { "a quarter below the top: unity", 2.0f + 0.25f * 182.0f, 0.0f },
        { "top", 2.0f, 24.0f },
        { "bottom", 184.0f, -60.0f },
        { "middle", 2.0f + 91.0f, -3.5f },
        { "above the track", 0.5f, 24.0f },
        { "readout strip", 195.0f, -60.0f },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.where);
        setParam (*proc, "inputGainL", 7.0f);
        EXPECT_EQ (pressDragRelease (desk, *proc, "inputGainL", { { 20.0f, c.y } }), 1);
        EXPECT_NEAR (paramValue (*proc, "inputGainL"), c.db, 1e-4f);
    }

    // A drag follows the pointer absolutely, all in one gesture.
    EXPECT_EQ (pressDragRelease (desk, *proc, "inputGainL", { { 20.0f, 150.0f }, { 20.0f, 120.0f }, { 20.0f, 2.0f + 45.5f } }), 1);
    EXPECT_NEAR (paramValue (*proc, "inputGainL"), 0.0f, 1e-4f);
    EXPECT_EQ (HardwareFader::gainAt (0.5, -60.0, 24.0), 20.0 * std::log10 (0.001 + (0.5 / 0.75) * 0.999));
}

TEST (HardwareFader, OptionClickAndDoubleClickReturnToUnity)
{
    auto proc = makeProcessor (15);
    HardwareFader fader (proc->apvts, "outputGainR", cyan);
    fader.setBounds (0, 0, 40, 200);
    Desk desk (fader);

    setParam (*proc, "outputGainR", -20.0f);
    EXPECT_EQ (pressDragRelease (desk, *proc, "outputGainR", { { 20.0f, 170.0f }, { 20.0f, 20.0f } }, alt), 1);
    EXPECT_EQ (paramValue (*proc, "outputGainR"), 0.0f) << "Option-click resets and starts no drag";

    setParam (*proc, "outputGainR", -20.0f);
    GestureCounter gestures (*proc);
    desk.doubleClick ({ 20.0f, 170.0f });
    EXPECT_EQ (paramValue (*proc, "outputGainR"), 0.0f);
    EXPECT_EQ (gestures.begins ("outputGainR"), gestures.ends ("outputGainR"));

    // 0 dB outside the range: the slider clamps it.
    HardwareFader unbound (proc->apvts, "noSuchGain", cyan);
    EXPECT_EQ (unbound.attachment, nullptr);
    unbound.slider.setRange (-30.0, -6.0);
    unbound.setBounds (0, 0, 40, 200);
    Desk desk2 (unbound);
    desk2.click ({ 20.0f, 150.0f }, alt);
    EXPECT_EQ (unbound.slider.getValue(), -6.0);
}

TEST (HardwareFader, CaptionReadoutAndHostChanges)
{
    auto proc = makeProcessor (15);
    HardwareFader fader (proc->apvts, "inputGainR", cyan);
    fader.setBounds (0, 0, 40, 200);
    EXPECT_EQ (fader.trackTop(), 2);
    fader.caption = "IN";
    fader.resized();
    EXPECT_EQ (fader.trackTop(), 14);
    EXPECT_EQ (fader.trackLength(), 200 - 12 - 14 - 4);
    EXPECT_EQ (fader.slider.getBounds(), juce::Rectangle<int> (2, 14, 36, 170));

    for (auto [db, text] : { std::pair { 1.5, "+1.5" }, { 0.0, "0.0" }, { -12.0, "-12.0" }, { -0.04, "0.0" } })
        EXPECT_EQ (HardwareFader::readoutText (db), text);

    setParam (*proc, "inputGainR", -9.5f);
    EXPECT_TRUE (pumpUntil ([&]
                            { return std::abs (fader.slider.getValue() + 9.5) < 1e-6; }));
}

TEST (HardwareFader, PainterPlacesCapAndUnityMark)
{
    struct Case
    {
        float v, minDb, maxDb, position;
    };
    const Case cases[] = {
        { 0.0f, -60.0f, 24.0f, 0.75f },
        { 24.0f, -60.0f, 24.0f, 1.0f },
        { 12.0f, -60.0f, 24.0f, 0.875f },
        { -60.0f, -60.0f, 24.0f, 0.0f },
        { -100.0f, -60.0f, 24.0f, 0.0f },
        { 6.0f, -60.0f, 0.0f, 1.0f }, // max 0 dB counts as 0.01
        { -6.0f, 0.0f, 12.0f, 0.0f }, // a range starting at 0 dB
        { std::numeric_limits<float>::quiet_NaN(), -60.0f, 24.0f, 0.0f },
    };
    for (const auto& c : cases)
        EXPECT_NEAR (vyrMeter::kestroFaderPosition (c.v, c.minDb, c.maxDb), c.position, 1e-5f) << c.v;

    // Cap width and unity mark: 28 and 11 pixels wide, 16 and 7 when compact.
    for (bool compact : { false, true })
    {
        const auto img = renderPaint (60, 200, [&] (juce::Graphics& g)
                                      { vyrMeter::paintKestroFader (g, { 10.0f, 0.0f, 40.0f, 200.0f }, -60.0f, -60.0f, 24.0f, juce::Colours::red, compact); });
        // Cap at the bottom (y 193..207): its body at y 196 spans the cap's width.
        auto widthAt = [&] (int y, int minAlpha)
        {
            int n = 0;
            for (int x = 0; x < 60; ++x)
                n += img.getPixelAt (x, y).getRed() > 100 && img.getPixelAt (x, y).getAlpha() >= minAlpha ? 1 : 0;
            return n;
        };
        EXPECT_NEAR (widthAt (197, 250), compact ? 16 : 28, 2);
        // Unity at y 50: 5 pixels off centre only the wide mark lightens the track.
        EXPECT_EQ (img.getPixelAt (25, 50).getRed() > img.getPixelAt (25, 60).getRed() + 4, ! compact);
    }
}

//==============================================================================
TEST (RackFaders, ReadoutTexts)
{
    struct TcCase
    {
        TcReadout style;
        double v, end;
        const char* text;
    };
    const TcCase tc[] = {
        { TcReadout::secondsAsMs, 0.25, 1.5, "250 ms" },
        { TcReadout::milliseconds, 14.5, 60, "15 ms" },
        { TcReadout::seconds, 2.0, 15, "2.0s" },
        { TcReadout::hertz, 12000, 20000, "12.0 kHz" },
        { TcReadout::hertz, 250, 20000, "250 Hz" },
        { TcReadout::decibels, -3, 12, "-3.0 dB" },
        { TcReadout::decibels, 1.25, 12, "+1.2 dB" },
        { TcReadout::percent, 0.355, 1, "35.5%" },
        { TcReadout::percent, 40, 100, "40%" },
        { (TcReadout) 9, 1, 1, "" },
    };
    for (const auto& c : tc)
        EXPECT_EQ (TcFader::readoutText (c.style, c.v, c.end), c.text) << c.v;

    struct StripCase
    {
        const char* unit;
        double v, end;
        const char* text;
    };
    const StripCase strip[] = {
        { "x", 1.5, 2, "1.50\xc3\x97" },
        { "dB", -3, 12, "-3.00" },
        { "%", 0.5, 1, "50%" },
        { "Hz", 12000, 20000, "12.0 kHz" },
        { "Hz", 2000, 20000, "2.0 kHz" },
        { "Hz", 800, 20000, "800 Hz" },
    };
    for (const auto& c : strip)
        EXPECT_EQ (HardwareStripSlider::readoutText (c.unit, c.v, c.end), juce::String (juce::CharPointer_UTF8 (c.text))) << c.v;

    EXPECT_EQ (ClipMixFader::readoutText (0.376, 1.0), "38 %");
    EXPECT_EQ (ClipMixFader::readoutText (0.0, 1.0), "0 %");
}

TEST (RackFaders, PressJumpsToThePointerInOneGesture)
{
    auto proc = makeProcessor (15);
    TcFader tc (proc->apvts, "delay_feedback", "Feedback", TcReadout::percent); // 220 x 44
    HardwareStripSlider strip (proc->apvts, "saturation_drive", "Drive", "%", cyan);
    ClipMixFader clip (proc->apvts);
    clip.setBounds (0, 0, 60, 200);
    clip.resized();

    struct Case
    {
        juce::Component* control;
        const char* id;
        juce::Point<float> press, drag;
        float expected;
    };
    const float tcY = tc.trackY() + 4.0f, stripY = strip.trackY() + 3.0f, stripX = strip.trackX();
    const float clipBottom = clip.trackY() + clip.trackHeight();
    const Case cases[] = {
        { &tc, "delay_feedback", { 8.0f, tcY }, { 8.0f, tcY }, 0.0f },                    // left of the track
        { &tc, "delay_feedback", { 100.0f, tcY }, { 9.0f + 202.0f * 0.5f, tcY }, 0.45f }, // middle after a drag
        { &tc, "delay_feedback", { 100.0f, tcY }, { 300.0f, tcY }, 0.9f },                // dragged past the right end
        { &strip, "saturation_drive", { stripX, stripY }, { stripX + 202.0f * 0.25f, stripY }, 0.25f },
        { &clip, "clip_mix", { 30.0f, clipBottom }, { 30.0f, clipBottom }, 0.0f },
        { &clip, "clip_mix", { 30.0f, clipBottom - 0.5f * clip.trackHeight() }, { 30.0f, -50.0f }, 1.0f },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.id) + " " + juce::String (c.drag.x) + "," + juce::String (c.drag.y));
        Desk desk (*c.control);
        setParam (*proc, c.id, 0.3f);
        auto& slider = dynamic_cast<VyrRackControl*> (c.control)->slider;
        ASSERT_TRUE (pumpUntil ([&]
                                { return std::abs (slider.getValue() - 0.3) < 1e-6; }))
            << "follows the host";
        EXPECT_EQ (pressDragRelease (desk, *proc, c.id, { c.press, c.drag }), 1);
        EXPECT_NEAR (paramValue (*proc, c.id), c.expected, 0.006f);
    }

    // Outside the hit areas the press goes through: nothing changes.
    EXPECT_FALSE (tc.hitTest (3, 20));
    EXPECT_FALSE (strip.hitTest (110, 2));
    EXPECT_FALSE (clip.hitTest (5, 100));
    EXPECT_TRUE (clip.hitTest (12, 100));
}

TEST (RackFaders, ZeroStillShowsTheLitStubAndTheThumbAtTheLeft)
{
    auto proc = makeProcessor (15);
    TcFader tc (proc->apvts, "reverb_mix", "Mix", TcReadout::percent);
    setParam (*proc, "reverb_mix", 0.0f);
    ASSERT_TRUE (pumpUntil ([&]
                            { return tc.slider.getValue() == 0.0; }));
    const auto img = render (tc);
    const int ty = (int) tc.trackY();
    const auto stub = img.getPixelAt (11, ty + 3);
    EXPECT_GT (stub.getGreen(), stub.getRed() + 40) << "teal stub at the left end";
    // Thumb body (light metal) spans x 0..18 around the track's left end.
    EXPECT_GT (img.getPixelAt (15, ty - 4).getBrightness(), 0.7f);
    EXPECT_EQ (img.getPixelAt (30, ty - 4).getAlpha(), 0);

    HardwareStripSlider missing (proc->apvts, "noSuchParameter", "Ghost", "x", cyan);
    EXPECT_EQ (missing.attachment, nullptr);
    EXPECT_EQ (missing.slider.getMaximum(), 10.0);
    render (missing);
}

TEST (RackFaders, RendersInEveryIdentity)
{
    auto proc = makeProcessor (15);
    for (int id = 0; id < kNumThemes; ++id)
    {
        const auto& theme = kThemes[id];
        juce::Component sheet;
        sheet.setSize (640, 240);
        HardwareStripSlider drive (proc->apvts, "saturation_drive", "Drive", "%", theme.accentColour());
        HardwareStripSlider tone (proc->apvts, "saturation_tone", "Tone", "Hz", theme.accent2Colour());
        drive.light = tone.light = theme.light;
        TcFader time (proc->apvts, "delay_time", "Time", TcReadout::secondsAsMs);
        TcFader decay (proc->apvts, "reverb_decay", "Decay", TcReadout::seconds);
        ClipMixFader mix (proc->apvts);
        HardwareFader in (proc->apvts, "inputGainL", theme.accentColour());
        HardwareFader out (proc->apvts, "outputGainL", theme.accentColour());
        in.caption = "IN";
        out.caption = "OUT";
        out.compact = true;
        drive.setTopLeftPosition (10, 10);
        tone.setTopLeftPosition (10, 60);
        time.setTopLeftPosition (10, 120);
        decay.setTopLeftPosition (10, 170);
        mix.setBounds (260, 10, 60, 220);
        in.setBounds (340, 10, 44, 220);
        out.setBounds (400, 10, 30, 220);
        for (juce::Component* c : std::initializer_list<juce::Component*> { &drive, &tone, &time, &decay, &mix, &in, &out })
            sheet.addAndMakeVisible (c);

        auto img = renderPaint (sheet.getWidth(), sheet.getHeight(), [&] (juce::Graphics& g)
                                {
            vyrFillPageBackground (g, sheet.getLocalBounds(), id);
            g.setColour (juce::Colour (0xffd8dde2)); // the rack plate behind the TC faders
            g.fillRect (6, 116, 232, 100);
            sheet.paintEntireComponent (g, false); });
        EXPECT_GT (countInk (img, { 340, 10, 44, 220 }, img.getPixelAt (335, 5), 12), 300);
        savePng (img, juce::String ("control-faders-") + theme.key);
    }
}
