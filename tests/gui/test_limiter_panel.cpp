#include "PanelTestUtil.h"
#include "Ui/ModulePanels/LimiterPanel.h"

using namespace vyrGui;
using namespace vyrPanelTest;
using vyrTest::setParam;

namespace
{
const juce::ModifierKeys alt (juce::ModifierKeys::altModifier);

struct LimiterFixture
{
    std::unique_ptr<VyrAudioProcessor> proc = makeProcessor (vyrProducts::limiter);
    std::unique_ptr<LimiterPanel> panel;

    explicit LimiterFixture (int theme = 0)
    {
        proc->themeIndex = theme;
        vyrTest::prepare (*proc, kRate, kBlock);
        panel = std::make_unique<LimiterPanel> (*proc);
        panel->setBounds (0, 0, 900, 500);
    }
    ~LimiterFixture()
    {
        panel.reset();
        proc->releaseResources();
    }
    const LimiterPill& pill (int group, int index) const
    {
        for (const auto& p : panel->pills)
            if (p.group == group && p.index == index)
                return p;
        static LimiterPill none;
        ADD_FAILURE() << "no pill " << group << "/" << index;
        return none;
    }
    juce::Point<float> inBay (juce::Rectangle<int> r) const { return (r + panel->meterBay.getPosition()).getCentre().toFloat(); }
    float raw (const char* id) const { return paramValue (*proc, id); }
};

// Peak of the processor's output over a second of a loud sine, after half a second of settling.
float measuredPeakDb (VyrAudioProcessor& p)
{
    juce::AudioBuffer<float> block (2, kBlock);
    juce::MidiBuffer midi;
    float peak = 0.0f;
    for (int b = 0; b < 150; ++b)
    {
        for (int ch = 0; ch < 2; ++ch)
            vyrTestSignals::fillSine (block, ch, 220.0, kRate, 1.4f, b * kBlock * 2.0 * juce::MathConstants<double>::pi * 220.0 / kRate);
        p.processBlock (block, midi);
        if (b >= 50)
            peak = juce::jmax (peak, block.getMagnitude (0, kBlock));
    }
    return juce::Decibels::gainToDecibels (peak);
}
}

//==============================================================================
TEST (LimiterMeterBay, ScaleFloorsAndTexts)
{
    EXPECT_EQ (LimiterMeterBay::floorOfScale (0), -24.0f);
    EXPECT_EQ (LimiterMeterBay::floorOfScale (3), -12.0f);
    EXPECT_EQ (LimiterMeterBay::floorOfScale (5), -20.0f);
    EXPECT_EQ (LimiterMeterBay::floorOfScale (9), -24.0f);
    EXPECT_NEAR (LimiterMeterBay::percentOf (-3.0f, -12.0f), 75.0f, 1e-4f);
    EXPECT_NEAR (LimiterMeterBay::percentOf (-12.0f, -12.0f), 0.0f, 1e-4f);
    EXPECT_NEAR (LimiterMeterBay::percentOf (-0.1f, -24.0f), 99.5833f, 1e-3f);
    EXPECT_EQ (LimiterMeterBay::percentOf (std::nanf (""), -24.0f), 0.0f);
    EXPECT_EQ (LimiterMeterBay::maxText (-120.0f), juce::String (juce::CharPointer_UTF8 ("\xe2\x80\x94")));
    EXPECT_EQ (LimiterMeterBay::maxText (-6.04f), "-6.0");
    EXPECT_EQ (LimiterMeterBay::lufsText (-100.0f), juce::String (juce::CharPointer_UTF8 ("-\xe2\x88\x9e")));
    EXPECT_EQ (LimiterMeterBay::lufsText (-14.26f), "-14.3");
}

TEST (LimiterMeterBay, ReadoutClicksResetMaximaAndLoudness)
{
    LimiterFixture f;
    Desk desk (*f.panel);
    Program program;
    play (*f.proc, program, 200, {}, 0.8f);
    auto& mb = f.proc->liveChain.limiter.meterBlock;
    ASSERT_GT (mb.maxIn.load(), -30.0f);
    ASSERT_GT (mb.lufsIntegrated.load(), -60.0f);
    render (*f.panel); // records the hit areas

    // A caption does nothing; a value resets all four maxima.
    auto& bay = f.panel->meterBay;
    desk.click ({ f.inBay (bay.maxHitRects[0]).x, (float) (bay.maxHitRects[0].getY() + bay.getY() - 7) });
    EXPECT_GT (mb.maxIn.load(), -30.0f);
    desk.click (f.inBay (bay.maxHitRects[3]));
    EXPECT_EQ (mb.maxIn.load(), -120.0f);
    EXPECT_EQ (mb.maxOut.load(), -120.0f);
    EXPECT_EQ (mb.maxGr.load(), 0.0f);
    EXPECT_EQ (mb.maxTruePeak.load(), -120.0f);

    desk.click (f.inBay (bay.resetRect));
    EXPECT_EQ (mb.lufsIntegrated.load(), -100.0f);
    EXPECT_EQ (mb.lufsShort.load(), -100.0f);
    EXPECT_EQ (mb.lra.load(), 0.0f);
}

TEST (LimiterMeterBay, FaderMapsTheTrackAndResets)
{
    LimiterFixture f;
    Desk desk (*f.panel);
    auto& fader = f.panel->meterBay.inFader;
    const auto track = fader.trackArea();
    const auto origin = fader.getScreenPosition() - f.panel->getScreenPosition();
    auto at = [&] (float fraction) { return juce::Point<float> ((float) origin.x + track.getCentreX(), (float) origin.y + track.getY() + fraction * track.getHeight()); };

    const struct
    {
        const char* where;
        juce::Point<float> point;
        float db;
    } cases[] = {
        { "top", at (0.0f), 12.0f },
        { "three quarters up", at (0.25f), 0.0f },
        { "bottom", at (1.0f), -60.0f },
        { "dragged above the track", at (-0.3f), 12.0f },
        { "dragged below the track", at (1.3f), -60.0f },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.where);
        setParam (*f.proc, "limiter_inputGain", 5.0f);
        GestureCounter gestures (*f.proc);
        // Every case presses in the track and drags to its point: the whole drag is one gesture.
        desk.move (at (0.5f));
        desk.press (at (0.5f));
        desk.drag (c.point);
        desk.release (c.point);
        EXPECT_NEAR (f.raw ("limiter_inputGain"), c.db, 0.051f);
        EXPECT_EQ (gestures.begins ("limiter_inputGain"), 1);
        EXPECT_EQ (gestures.ends ("limiter_inputGain"), 1);
    }

    setParam (*f.proc, "limiter_inputGain", -20.0f);
    desk.click (at (0.6f), alt);
    EXPECT_EQ (f.raw ("limiter_inputGain"), 0.0f);
    setParam (*f.proc, "limiter_inputGain", -20.0f);
    desk.doubleClick (at (0.9f));
    EXPECT_EQ (f.raw ("limiter_inputGain"), 0.0f);

    // A gain beyond the track's top (the input reaches +24 dB) keeps the cap inside the track.
    setParam (*f.proc, "limiter_inputGain", 12.0f);
    const auto atTop = render (fader);
    setParam (*f.proc, "limiter_inputGain", 20.0f);
    const auto beyond = render (fader);
    const auto trackPixels = track.toNearestInt();
    for (int y = 0; y < trackPixels.getBottom(); ++y)
        for (int x = 0; x < fader.getWidth(); ++x)
            ASSERT_EQ (atTop.getPixelAt (x, y), beyond.getPixelAt (x, y)) << x << "," << y;
    EXPECT_NEAR (fader.gainAtY (track.getY() + 0.01f * track.getHeight()), 11.5f, 0.051f);
}

//==============================================================================
TEST (LimiterPanel, LayoutAtItsSize)
{
    LimiterFixture f;
    auto& p = *f.panel;
    EXPECT_EQ (p.powerButton.getBounds(), juce::Rectangle<int> (900 - 16 - 86, 15, 86, 26));
    EXPECT_EQ (p.meterBay.getBounds(), juce::Rectangle<int> (16, 48, 260, 440));
    ASSERT_EQ (p.knobs.size(), 7u);
    EXPECT_TRUE (p.knobs[2]->showSeconds);
    EXPECT_EQ (p.manualButton.getY(), p.knobs[2]->getBottom() - 2);
    EXPECT_EQ (p.pills.size(), 5u + 4 + 3 + 3 + 4 + 3 + 6);
    for (size_t i = 0; i < p.pills.size(); ++i)
    {
        EXPECT_TRUE (p.getLocalBounds().contains (p.pills[i].bounds)) << p.pills[i].label;
        for (size_t j = i + 1; j < p.pills.size(); ++j)
            EXPECT_FALSE (p.pills[i].bounds.intersects (p.pills[j].bounds)) << p.pills[i].label << " " << p.pills[j].label;
    }
    EXPECT_LT (p.morphStripRect.getBottom(), f.pill (LimiterPill::style, 0).bounds.getY());
    EXPECT_LE (f.pill (LimiterPill::scale, 5).bounds.getBottom(), p.statusRect.getY());

    // A narrow panel still lays the style row out over 158 px, pills at least 32 wide.
    p.setBounds (0, 0, 420, 500);
    for (const auto& pill : p.pills)
        EXPECT_GE (pill.bounds.getWidth(), 32) << pill.label;
}

TEST (LimiterPanel, StylePillsWriteTheirRecipes)
{
    LimiterFixture f;
    Desk desk (*f.panel);
    GestureCounter gestures (*f.proc);
    desk.click (centreOf (f.pill (LimiterPill::style, 3).bounds)); // WARM
    EXPECT_EQ (f.raw ("limiter_style"), 3.0f);
    EXPECT_EQ (f.raw ("limiter_stylePos"), 3.0f);
    EXPECT_NEAR (f.raw ("limiter_mix"), 88.0f, 1e-4f);
    EXPECT_NEAR (f.raw ("limiter_ceiling"), -1.5f, 1e-4f);
    EXPECT_NEAR (f.raw ("limiter_release"), 0.18f, 1e-4f);
    EXPECT_EQ (f.raw ("limiter_releaseMode"), 0.0f);
    EXPECT_TRUE (f.panel->knobs[2]->slider.isEnabled());
    EXPECT_EQ (gestures.begins ("limiter_mix"), 1);
    EXPECT_EQ (gestures.totalBegins(), gestures.totalEnds());

    desk.click (centreOf (f.pill (LimiterPill::style, 2).bounds)); // MODERN
    EXPECT_EQ (f.raw ("limiter_releaseMode"), 1.0f);
    EXPECT_FALSE (f.panel->knobs[2]->slider.isEnabled());
    EXPECT_EQ (f.raw ("limiter_stereoLink"), 100.0f);
    EXPECT_EQ (f.raw ("limiter_outputGain"), 0.0f);

    // Man / Auto switch the release mode and the Release knob.
    desk.click (centreOf (f.panel->manualButton.getBounds()));
    EXPECT_EQ (f.raw ("limiter_releaseMode"), 0.0f);
    EXPECT_TRUE (f.panel->knobs[2]->slider.isEnabled());

    // Choice pills and switches.
    desk.click (centreOf (f.pill (LimiterPill::oversampling, 2).bounds));
    EXPECT_EQ (f.raw ("limiter_oversampling"), 2.0f);
    desk.click (centreOf (f.pill (LimiterPill::switches, 1).bounds));
    EXPECT_EQ (f.raw ("limiter_dcBlocker"), 0.0f);
    desk.click (centreOf (f.pill (LimiterPill::scale, 3).bounds));
    EXPECT_EQ (f.raw ("limiter_scale"), 3.0f);
}

TEST (LimiterPanel, MorphStripAndCrossfade)
{
    LimiterFixture f;
    Desk desk (*f.panel);
    const auto strip = f.panel->morphStripRect;
    auto at = [&] (float fraction) { return juce::Point<float> ((float) strip.getX() + fraction * (float) strip.getWidth() + 0.01f, (float) strip.getCentreY()); };

    desk.click (at (0.0f));
    EXPECT_EQ (f.raw ("limiter_styleXfade"), 1.0f);
    EXPECT_EQ (f.raw ("limiter_stylePos"), 0.0f);
    EXPECT_NEAR (f.raw ("limiter_ceiling"), -1.0f, 1e-4f);

    desk.click (at (0.3f));
    EXPECT_NEAR (f.raw ("limiter_stylePos"), 1.0f, 0.011f);
    EXPECT_EQ (f.raw ("limiter_style"), 1.0f);
    EXPECT_NEAR (f.raw ("limiter_inputGain"), 2.0f, 0.051f);

    desk.click (at (0.4f));
    EXPECT_NEAR (f.raw ("limiter_stylePos"), 1.5f, 0.011f);
    EXPECT_NEAR (f.raw ("limiter_inputGain"), 2.5f, 0.051f);
    EXPECT_NEAR (f.raw ("limiter_ceiling"), -0.4f, 0.026f);
    EXPECT_NEAR (f.raw ("limiter_release"), 0.065f, 0.0026f);
    EXPECT_NEAR (f.raw ("limiter_lookahead"), 2.5f, 1e-4f);
    EXPECT_EQ (f.raw ("limiter_style"), 2.0f);
    EXPECT_EQ (f.raw ("limiter_releaseMode"), 1.0f);

    // A drag across the strip is one gesture per written parameter.
    {
        GestureCounter gestures (*f.proc);
        desk.move (at (0.1f));
        desk.press (at (0.1f));
        for (float q : { 0.2f, 0.5f, 0.7f, 0.9f })
            desk.drag (at (q));
        desk.release (at (0.9f));
        EXPECT_NEAR (f.raw ("limiter_stylePos"), 4.0f, 0.011f);
        EXPECT_EQ (gestures.totalBegins(), gestures.totalEnds());
    }

    // With the crossfade on a style pill moves the morph; switching it off snaps to the style's recipe.
    desk.click (centreOf (f.pill (LimiterPill::style, 1).bounds));
    EXPECT_NEAR (f.raw ("limiter_stylePos"), 1.0f, 1e-4f);
    setParam (*f.proc, "limiter_inputGain", 9.0f);
    desk.click (centreOf (f.panel->xfadeRect));
    EXPECT_EQ (f.raw ("limiter_styleXfade"), 0.0f);
    EXPECT_NEAR (f.raw ("limiter_inputGain"), 2.0f, 1e-4f);
}

TEST (LimiterPanel, StatusLineSummarisesTheSettings)
{
    LimiterFixture f;
    const juce::String sep (juce::CharPointer_UTF8 ("  \xc2\xb7  "));
    EXPECT_EQ (f.panel->statusText(), "Release 50 ms" + sep + "Linked" + sep + "Lookahead 0 ms" + sep + "Oversampling 1x" + sep
                                          + "DC Block" + sep + "exp release");
    setParam (*f.proc, "limiter_releaseMode", 1.0f);
    setParam (*f.proc, "limiter_stereoLink", 49.0f);
    setParam (*f.proc, "limiter_lookahead", 2.5f);
    setParam (*f.proc, "limiter_dither", 2.0f);
    setParam (*f.proc, "limiter_noiseShape", 3.0f);
    setParam (*f.proc, "limiter_truePeak", 1.0f);
    EXPECT_EQ (f.panel->statusText(), "Auto release" + sep + "Unlinked" + sep + "Lookahead 2.5 ms" + sep + "Oversampling 1x" + sep
                                          + "True-Peak" + sep + "DC Block" + sep + "Dither 24-bit weighted" + sep + "exp release");
    setParam (*f.proc, "limiter_lookahead", 3.0f);
    EXPECT_TRUE (f.panel->statusText().contains ("Lookahead 3 ms"));
}

TEST (LimiterPanel, CrossfadePillsShowBothNeighbours)
{
    LimiterFixture f;
    setParam (*f.proc, "limiter_styleXfade", 1.0f);
    setParam (*f.proc, "limiter_stylePos", 1.25f);
    const auto img = render (*f.panel);
    auto fill = [&] (int index) {
        const auto b = f.pill (LimiterPill::style, index).bounds;
        return pixel (img, b.getX() + 3, b.getCentreY());
    };
    // PUNCHY lit at 75 %, MODERN at 40 %, the others unlit: three different fills, PUNCHY the reddest.
    EXPECT_GT (fill (1).getRed(), fill (2).getRed() + 10);
    EXPECT_GT (fill (2).getRed(), fill (0).getRed() + 5);
    EXPECT_TRUE (colourNear (fill (0), fill (4), 2));
}

// Real mouse: a style pill changes what the limiter does to the audio.
TEST (LimiterPanel, StylePillChangesTheMeasuredOutput)
{
    LimiterFixture f;
    Desk desk (*f.panel);
    const float before = measuredPeakDb (*f.proc);
    EXPECT_NEAR (before, -0.1f, 0.3f);
    desk.click (centreOf (f.pill (LimiterPill::style, 4).bounds)); // CLASSICAL: ceiling -2 dB
    EXPECT_NEAR (f.raw ("limiter_ceiling"), -2.0f, 1e-4f);
    const float after = measuredPeakDb (*f.proc);
    EXPECT_NEAR (after, -2.0f, 0.3f);
    EXPECT_LT (after, before - 1.5f);
}

TEST (LimiterPanel, HiddenPanelLeavesItsTimerIdle)
{
    LimiterFixture f;
    f.panel->setActive (false);
    setParam (*f.proc, "limiter_enabled", 0.0f);
    f.panel->tick();
    EXPECT_TRUE (f.panel->powerButton.getToggleState()); // not re-read while hidden
    Desk desk (*f.panel);
    f.panel->setActive (true);
    EXPECT_FALSE (f.panel->powerButton.getToggleState());
    GestureCounter gestures (*f.proc);
    f.panel->tick();
    EXPECT_EQ (gestures.totalBegins(), 0); // re-reading never writes
}

// Program audio moving the meters, in every identity.
TEST (LimiterPanel, RendersEveryIdentityWithAudioPlaying)
{
    for (int theme = 0; theme < 6; ++theme)
    {
        LimiterFixture f (theme);
        setParam (*f.proc, "limiter_inputGain", 6.0f);
        const auto atRest = render (*f.panel);
        Program program;
        play (*f.proc, program, 250, {}, 0.5f);
        const auto img = render (*f.panel);
        const auto bay = f.panel->meterBay.getBounds();
        const auto gr = f.panel->meterBay.grMeterRect + bay.getPosition();
        EXPECT_GT (countInk (img, gr, pixel (atRest, gr.getCentreX(), gr.getBottom() - 4), 40), 20) << theme;
        savePng (renderOnPage (*f.panel, theme), "panel-limiter-" + juce::String (theme));
    }
}
