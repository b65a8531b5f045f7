// Output analyser: peak hold and reset, band levels, bars by elapsed time, the shared Spectrum
// switch, loudness texts and colours, the spectrum request while visible, and renders.
#include "MeterTestUtil.h"
#include "Ui/Controls/OutputAnalyzerView.h"

using namespace vyrGui;
using namespace vyrMeterTest;

namespace
{
struct Rig
{
    std::unique_ptr<VyrAudioProcessor> proc = makeProcessor (15);
    OutputAnalyzerView view { *proc };

    explicit Rig (int w = 640, int h = 260)
    {
        view.clock = &fakeClock;
        view.setSize (w, h);
        setMeterData (*proc, MeterData::silent);
    }
    void setPeak (float p)
    {
        proc->meters.outPeak[0] = p, proc->meters.outPeak[1] = p;
        proc->meters.outRms[0] = 0.5f * p, proc->meters.outRms[1] = 0.5f * p;
    }
    void ticks (int n)
    {
        for (int i = 0; i < n; ++i)
        {
            advanceMs (1000.0 / 48.0);
            tick (view);
        }
    }
    void spectrum (const std::function<float (int)>& f)
    {
        const juce::SpinLock::ScopedLockType lock (proc->meters.spectrumLock);
        for (int i = 0; i < 4096; ++i)
            proc->meters.spectrum[i] = f (i);
    }
};

int inkNear (const juce::Image& img, juce::Rectangle<int> area, juce::Colour c)
{
    int n = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            n += colourDistance (img.getPixelAt (x, y).withAlpha ((juce::uint8) 255), c) < 40 ? 1 : 0;
    return n;
}
}

TEST (OutputAnalyzer, PeakHoldsAboutOneAndAHalfSecondsThenFallsAndReads70AsDash)
{
    Rig rig;
    rig.setPeak (0.5f); // -6 dBFS for one tick
    rig.ticks (1);
    rig.setPeak (0.0f);
    EXPECT_NEAR (rig.view.peakHold.hold.held, -6.0206f, 1e-3);
    rig.ticks (70); // still inside the 1.5 s hold (plus the four-value window)
    EXPECT_NEAR (rig.view.peakHold.hold.held, -6.0206f, 1e-3);
    rig.ticks (10);
    EXPECT_LT (rig.view.peakHold.hold.held, -6.1f);
    const float before = rig.view.peakHold.hold.held;
    rig.ticks (1);
    EXPECT_NEAR (before - rig.view.peakHold.hold.held, 0.245098f, 1e-4);
    rig.ticks (48 * 6);
    EXPECT_FLOAT_EQ (rig.view.peakHold.hold.held, -120.0f);
}

TEST (OutputAnalyzer, BandLevelsInterpolateNarrowBandsAndTakeTheMaxOfWideOnes)
{
    std::vector<float> s (4096, 0.0f);
    s[5] = 1.0f;                                                                              // 29.3 Hz at 48 kHz (5.859375 Hz per bin)
    s[20] = 0.5f;                                                                             // 117 Hz
    EXPECT_NEAR (OutputAnalyzerView::bandLevel (s.data(), 48000.0, 29.0, 29.5), 1.0f, 0.01f); // between bins 4 and 5, mostly 5
    EXPECT_NEAR (OutputAnalyzerView::bandLevel (s.data(), 48000.0, 32.0, 33.0), (90.0f + 20.0f * std::log10 (1.0f - (32.5f / 5.859375f - 5.0f))) / 90.0f, 0.01f);
    EXPECT_NEAR (OutputAnalyzerView::bandLevel (s.data(), 48000.0, 100.0, 200.0), (90.0f - 6.0206f) / 90.0f, 1e-3);
    EXPECT_FLOAT_EQ (OutputAnalyzerView::bandLevel (s.data(), 48000.0, 200.0, 400.0), 0.0f);
    s[7] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FLOAT_EQ (OutputAnalyzerView::bandLevel (s.data(), 48000.0, 38.0, 50.0), 0.0f);
    // Rates below 2 kHz count as a 1 kHz Nyquist.
    EXPECT_FLOAT_EQ (OutputAnalyzerView::bandLevel (s.data(), 100.0, 2.4, 2.5), OutputAnalyzerView::bandLevel (s.data(), 2000.0, 2.4, 2.5));
}

TEST (OutputAnalyzer, BarsMoveWithTimeOnlyWhileSignalIsPresent)
{
    Rig once, twice;
    for (auto* r : { &once, &twice })
    {
        r->setPeak (0.5f);
        r->spectrum ([] (int i)
                     { return i < 200 ? 0.5f : 0.01f; });
    }
    for (int i = 0; i < 10; ++i)
    {
        advanceMs (20);
        render (once.view);
        render (twice.view);
        render (twice.view);
    }
    for (int i = 0; i < OutputAnalyzerView::numBars; ++i)
    {
        EXPECT_EQ (once.view.barLevel[i], twice.view.barLevel[i]);
        EXPECT_EQ (once.view.barCap[i], twice.view.barCap[i]);
    }
    const float level = once.view.barLevel[20];
    EXPECT_NEAR (level, (1.0f - std::pow (0.8f, 10.0f)) * (90.0f - 6.0206f) / 90.0f, 1e-3);

    // Silence: the bars keep their heights and come back with the signal.
    once.setPeak (0.0f);
    advanceMs (500);
    render (once.view);
    EXPECT_EQ (once.view.barLevel[20], level);
    once.setPeak (0.5f);
    advanceMs (20);
    render (once.view);
    EXPECT_NEAR (once.view.barLevel[20], 0.8f * level + 0.2f * (90.0f - 6.0206f) / 90.0f, 1e-4);
}

TEST (OutputAnalyzer, SpectrumChipIsSharedAndMovesOnNarrowViews)
{
    Rig a, b;
    EXPECT_TRUE (gOutputShowSpectrum);
    EXPECT_EQ (a.view.spectrumButton.getBounds(), juce::Rectangle<int> (640 - 66, 6, 58, 16));
    EXPECT_EQ (a.view.spectrumButton.getComponentID(), "vyr-ghost");
    {
        Desk desk (a.view);
        desk.click (a.view.spectrumButton.getBounds().getCentre().toFloat());
        EXPECT_FALSE (gOutputShowSpectrum);
        EXPECT_FALSE (a.view.spectrumButton.getToggleState());
        b.ticks (1); // the other analyser follows at its next tick
        EXPECT_FALSE (b.view.spectrumButton.getToggleState());
        desk.click (a.view.spectrumButton.getBounds().getCentre().toFloat());
        EXPECT_TRUE (gOutputShowSpectrum);
    }
    a.view.setSize (74, 200);
    EXPECT_EQ (a.view.spectrumButton.getX(), 8);
}

TEST (OutputAnalyzer, ResetGlyphRestartsLoudnessAndTheSpectrumIsAskedForWhileVisible)
{
    auto rig = std::make_unique<Rig>();
    auto& m = rig->proc->meters;
    m.lufsMomentary = -8.0f, m.lufsShort = -12.0f, m.lufsIntegrated = -20.0f;
    {
        Desk desk (rig->view);
        rig->ticks (1);
        EXPECT_TRUE (rig->proc->isSpectrumViewOpen());
        render (rig->view);
        desk.click (rig->view.infoHit.getCentre()); // no editor: nothing happens
        desk.click (rig->view.resetHit.getCentre());
        for (auto* v : { &m.lufsMomentary, &m.lufsShort, &m.lufsIntegrated })
            EXPECT_EQ (OutputAnalyzerView::loudnessText (v->load()), juce::String::fromUTF8 ("-\xe2\x88\x9e"));
    }
    rig->ticks (1); // off the screen: the request is withdrawn
    EXPECT_FALSE (rig->proc->isSpectrumViewOpen());

    // A view destroyed while it shows the spectrum withdraws its request.
    auto proc = makeProcessor (15);
    auto view = std::make_unique<OutputAnalyzerView> (*proc);
    view->setSize (300, 200);
    view->addToDesktop (juce::ComponentPeer::windowIsTemporary);
    view->setVisible (true);
    tick (*view);
    EXPECT_TRUE (proc->isSpectrumViewOpen());
    view.reset(); // still on the desktop
    EXPECT_FALSE (proc->isSpectrumViewOpen());
}

TEST (OutputAnalyzer, LoudnessTextsAndColours)
{
    struct Case
    {
        float lufs;
        const char* text;
        juce::uint32 colour;
    };
    for (const Case c : { Case { -8.0f, "-8.0", 0xffff5252 }, Case { -9.0f, "-9.0", 0xffff5252 }, Case { -12.0f, "-12.0", 0xffccff00 },
                          Case { -16.0f, "-16.0", 0xffccff00 }, Case { -20.0f, "-20.0", 0xff00afff } })
    {
        EXPECT_EQ (OutputAnalyzerView::loudnessText (c.lufs), c.text);
        EXPECT_EQ (OutputAnalyzerView::loudnessColour (c.lufs).getARGB(), c.colour);
    }
    for (float v : { -100.0f, -150.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity() })
        EXPECT_EQ (OutputAnalyzerView::loudnessText (v), juce::String::fromUTF8 ("-\xe2\x88\x9e"));
}

TEST (OutputAnalyzer, HeldPeakAtFullScaleIsRed)
{
    Fonts fonts;
    Rig rig;
    rig.setPeak (1.0f);
    rig.ticks (1);
    const juce::Rectangle<int> peakLine (8, 16, 160, 12);
    EXPECT_GT (inkNear (render (rig.view), peakLine, juce::Colour (0xffb91c1c)), 10);
    rig.setPeak (0.25f);
    rig.ticks (200);
    EXPECT_EQ (inkNear (render (rig.view), peakLine, juce::Colour (0xffb91c1c)), 0);
}

TEST (OutputAnalyzer, SurvivesSizesAndBrokenData)
{
    // The view reads the same meter engine in every product, so two products cover it; a paint at
    // 4000 px with signal is the slow part of this check.
    for (int product : { 0, 15 })
    {
        auto proc = makeProcessor (product);
        OutputAnalyzerView view (*proc);
        for (auto kind : { MeterData::empty, MeterData::silent, MeterData::fullScale, MeterData::nonFinite })
        {
            setMeterData (*proc, kind);
            tick (view);
            view.setBounds (0, 0, 400, 300);
            render (view);
            view.setSize (1, 1);
            render (view);
            view.setSize (4000, 4000);
            render (view, 0.125f);
        }
    }
}

TEST (OutputAnalyzer, RendersInEveryIdentity)
{
    Fonts fonts;
    for (int id = 0; id < kNumThemes; ++id)
    {
        Rig rig (720, 280);
        rig.proc->themeIndex = id;
        auto& m = rig.proc->meters;
        m.sampleRate = 48000.0;
        rig.setPeak (0.7f);
        m.inPeak[0] = 0.5f, m.inPeak[1] = 0.5f;
        m.lufsMomentary = -8.4f, m.lufsShort = -10.9f, m.lufsIntegrated = -17.2f;
        rig.spectrum ([] (int i)
                      { return 0.25f / (1.0f + 0.004f * (float) i) * (1.0f + 0.5f * std::sin (0.05f * (float) i)); });
        for (int i = 0; i < VyrMeterEngine::scopeSize; ++i)
        {
            m.outScope[i] = 0.6f * std::sin (0.03f * (float) i) + 0.15f * std::sin (0.31f * (float) i);
            m.inScope[i] = 0.4f * std::sin (0.03f * (float) i);
        }
        for (int i = 0; i < 8; ++i)
        {
            rig.ticks (1);
            render (rig.view);
        }
        const auto img = render (rig.view);
        EXPECT_GT (countInk (img, { 100, 20, 400, 150 }, juce::Colours::transparentBlack, 0), 400 * 150 / 2);
        savePng (img, "meter-analyser-" + juce::String (kThemes[id].key));
    }
}

TEST (OutputAnalyzer, RepaintsWhileThereIsSignalOrAShownValueChanged)
{
    Rig rig;
    rig.ticks (1);
    render (rig.view);
    rig.ticks (1);
    EXPECT_FALSE (rig.view.needsRepaint()); // silence at rest
    rig.proc->themeIndex = 4;
    EXPECT_TRUE (rig.view.needsRepaint());
    render (rig.view);
    rig.proc->meters.lufsShort = -14.0f;
    EXPECT_TRUE (rig.view.needsRepaint());
    render (rig.view);
    rig.setPeak (0.3f);
    render (rig.view);
    EXPECT_TRUE (rig.view.needsRepaint()); // with signal, every frame
}
