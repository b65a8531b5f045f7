#include "PanelTestUtil.h"
#include "Ui/ModulePanels/MbcPanel.h"

using namespace vyrGui;
using namespace vyrPanelTest;
using vyrTest::setParam;

namespace
{
struct MbcFixture
{
    std::unique_ptr<VyrAudioProcessor> proc = makeProcessor (vyrProducts::multiBandComp);
    std::unique_ptr<MbcPanel> panel;

    explicit MbcFixture (int theme = 0)
    {
        proc->themeIndex = theme;
        vyrTest::prepare (*proc, kRate, kBlock);
        panel = std::make_unique<MbcPanel> (*proc);
        panel->setBounds (0, 0, 900, 500);
    }
    ~MbcFixture()
    {
        panel.reset();
        proc->releaseResources();
    }
    float raw (const juce::String& id) const { return paramValue (*proc, id); }
    // A point of the graph (its own coordinates) in the panel's coordinates.
    juce::Point<float> onGraph (float x, float y) const { return { (float) panel->graph.getX() + x, (float) panel->graph.getY() + y }; }
    float graphW() const { return (float) panel->graph.getWidth(); }
    float graphH() const { return (float) panel->graph.getHeight(); }
    juce::Point<float> crossoverHandle (int i) const { return onGraph (vyrMbc::freqToX (raw ("multiBandComp_x" + juce::String (i)), graphW()), graphH() / 2.0f); }
    void drag (Desk& desk, juce::Point<float> from, juce::Point<float> to) const
    {
        desk.move (from);
        desk.press (from);
        desk.drag ((from + to) / 2.0f);
        desk.drag (to);
        desk.release (to);
    }
};

// Each band's gain reduction after a second and a half of loud program audio.
std::array<float, 4> measuredReduction (VyrAudioProcessor& p)
{
    Program program;
    play (p, program, 140, {}, 0.6f);
    std::array<float, 4> gr {};
    for (int k = 0; k < 4; ++k)
        gr[(size_t) k] = p.liveChain.multiBandComp.bandGr[k].load();
    return gr;
}
}

TEST (MbcScales, AxisCaptionsAndBands)
{
    EXPECT_NEAR (vyrMbc::freqToX (30.0f, 600.0f), 0.0f, 1e-3f);
    EXPECT_NEAR (vyrMbc::freqToX (18000.0f, 600.0f), 600.0f, 1e-2f);
    EXPECT_NEAR (vyrMbc::freqToX (10.0f, 600.0f), 0.0f, 1e-3f);
    EXPECT_NEAR (vyrMbc::freqToX (1000.0f, 1.0f), vyrMbc::kGridFractions[4], 1e-5f);
    EXPECT_EQ (vyrMbc::crossoverCaption (343.0f), "343");
    EXPECT_EQ (vyrMbc::crossoverCaption (2800.0f), "2.8k");
    EXPECT_EQ (vyrMbc::crossoverCaption (8000.0f), "8k");
    EXPECT_EQ (vyrMbc::crossoverCaption (3454.0f), "3.5k");
    EXPECT_EQ (vyrMbc::State().xover[3], 3454.0f); // the parameter's default, not 8 kHz

    vyrMbc::State s;
    s.bandCount = 4;
    EXPECT_EQ (vyrMbc::bandOfFreq (s, 100.0f), 0);
    EXPECT_EQ (vyrMbc::bandOfFreq (s, 1000.0f), 2);
    EXPECT_EQ (vyrMbc::bandOfFreq (s, 17000.0f), 3);
    EXPECT_EQ (vyrMbc::bandOfFreq (s, 20.0f), 3); // in no band: the last one's
    s.xover[0] = 3000.0f;                           // out of order: 1 kHz falls in band 0, 2 kHz too
    EXPECT_EQ (vyrMbc::bandOfFreq (s, 2000.0f), 0);
    s.bandCount = 1;
    EXPECT_EQ (vyrMbc::bandOfFreq (s, 5000.0f), 0);
}

TEST (MbcVisualizer, BarsAndPeakHold)
{
    float silent[4096] {}, tone[4096] {};
    EXPECT_EQ (MbcVisualizer::barLevel (silent, 22050.0, 40), 0.0f);
    tone[93] = 0.1f; // about 1 kHz at 44.1 kHz: -20 dB
    const int bar = (int) (vyrMbc::freqToX (93.0f * 22050.0f / 4096.0f, 96.0f));
    EXPECT_NEAR (MbcVisualizer::barLevel (tone, 22050.0, bar), 80.0f / 70.0f > 1.0f ? 1.0f : 80.0f / 70.0f, 0.02f);

    MbcFixture f;
    f.panel->visualiser.peakHold[10] = 0.5f;
    render (f.panel->visualiser);
    EXPECT_NEAR (f.panel->visualiser.peakHold[10], 0.48f, 1e-5f); // silence: 4 % down per paint

    // The output spectrum is analysed for the analyser only while it shows.
    EXPECT_FALSE (f.proc->isSpectrumViewOpen());
    {
        Desk desk (*f.panel);
        f.panel->visualiser.tick();
        EXPECT_TRUE (f.proc->isSpectrumViewOpen());
        f.panel->setActive (false);
        f.panel->visualiser.tick();
        EXPECT_FALSE (f.proc->isSpectrumViewOpen());
        f.panel->setActive (true);
        f.panel->visualiser.tick();
        EXPECT_TRUE (f.proc->isSpectrumViewOpen());
    }
    f.panel.reset();
    EXPECT_FALSE (f.proc->isSpectrumViewOpen());
}

TEST (MbcGraph, CrossoverDragsKeepTheirNeighboursApart)
{
    MbcFixture f;
    Desk desk (*f.panel);
    auto& p = *f.panel;
    GestureCounter gestures (*f.proc);
    f.drag (desk, f.crossoverHandle (1), f.onGraph (2.0f, f.graphH() / 2.0f));
    EXPECT_EQ (f.raw ("multiBandComp_x1"), 394.0f); // 343 x 1.15
    EXPECT_EQ (gestures.begins ("multiBandComp_x1"), 1);
    EXPECT_EQ (gestures.ends ("multiBandComp_x1"), 1);
    f.drag (desk, f.crossoverHandle (2), f.onGraph (f.graphW() - 1.0f, f.graphH() / 2.0f));
    EXPECT_NEAR (f.raw ("multiBandComp_x2"), 15652.0f, 1.0f);
    f.drag (desk, f.crossoverHandle (0), f.onGraph (0.0f, f.graphH() / 2.0f));
    EXPECT_NEAR (f.raw ("multiBandComp_x0"), 34.5f, 0.5f);

    setParam (*f.proc, "multiBandComp_bandCount", 4.0f); // five bands: crossover 2 stops below crossover 3
    setParam (*f.proc, "multiBandComp_x2", 2800.0f);
    p.rebuildKnobs();
    f.drag (desk, f.crossoverHandle (2), f.onGraph (f.graphW() - 1.0f, f.graphH() / 2.0f));
    EXPECT_NEAR (f.raw ("multiBandComp_x2"), 3454.0f / 1.15f, 1.0f);
}

TEST (MbcGraph, ThresholdAndMakeupDrags)
{
    MbcFixture f;
    Desk desk (*f.panel);
    auto& p = *f.panel;
    const float W = f.graphW(), H = f.graphH();
    auto centreX = [&] (int k) {
        vyrMbc::State s;
        vyrMbc::loadState (f.proc->apvts, s);
        return vyrMbc::freqToX (std::sqrt (vyrMbc::bandLo (s, k) * vyrMbc::bandHi (s, k)), W);
    };
    auto handle = [&] (int k, const char* id) { return f.onGraph (centreX (k), vyrMbc::thresholdToY (f.raw (id), H)); };

    {
        GestureCounter gestures (*f.proc);
        f.drag (desk, handle (1, "multiBandComp_b1Thresh"), f.onGraph (centreX (1), -20.0f));
        EXPECT_EQ (f.raw ("multiBandComp_b1Thresh"), 0.0f);
        EXPECT_EQ (gestures.begins ("multiBandComp_b1Thresh"), 1);
        EXPECT_EQ (p.selectedBand, 1);
    }
    f.drag (desk, handle (1, "multiBandComp_b1Thresh"), f.onGraph (centreX (1), H + 40.0f));
    EXPECT_EQ (f.raw ("multiBandComp_b1Thresh"), -60.0f);
    setParam (*f.proc, "multiBandComp_b1Thresh", -18.0f); // a handle on the makeup strip drags the makeup
    f.drag (desk, handle (1, "multiBandComp_b1Thresh"), f.onGraph (centreX (1), H * 0.5f + 0.3f));
    const float v = f.raw ("multiBandComp_b1Thresh");
    EXPECT_NEAR (v * 10.0f, std::round (v * 10.0f), 1e-3f); // 0.1 dB steps
    EXPECT_NEAR (v, -30.0f, 0.5f);

    // The makeup strip inside B3: a press selects B3; the strip's top is 24 dB, its bottom 0 dB.
    const auto strip = f.onGraph (centreX (2), H - 3.0f);
    f.drag (desk, strip, f.onGraph (centreX (2), H - 75.0f));
    EXPECT_EQ (p.selectedBand, 2);
    EXPECT_NEAR (f.raw ("multiBandComp_b2Makeup"), 24.0f, 1e-4f);
    f.drag (desk, f.onGraph (centreX (2), H - 70.0f), f.onGraph (centreX (2), H));
    EXPECT_EQ (f.raw ("multiBandComp_b2Makeup"), 0.0f);

    // M/S with Side edited: the same drags write the side set, crossovers stay shared.
    setParam (*f.proc, "multiBandComp_msMode", 1.0f);
    setParam (*f.proc, "multiBandComp_msChannel", 1.0f);
    p.rebuildKnobs();
    f.drag (desk, handle (0, "multiBandComp_s_b0Thresh"), f.onGraph (centreX (0), H + 10.0f));
    EXPECT_EQ (f.raw ("multiBandComp_s_b0Thresh"), -60.0f);
    EXPECT_EQ (f.raw ("multiBandComp_b0Thresh"), -18.0f);
    EXPECT_EQ (p.bandParamId (3, "Solo"), "multiBandComp_s_b3Solo");
}

TEST (MbcPanel, ResetTables)
{
    const struct
    {
        int bands;
        float x[4];
    } cases[] = { { 1, { 980, 1973, 2800, 3454 } }, { 4, { 343, 980, 2800, 3454 } }, { 5, { 278, 644, 1491, 3454 } },
                  { 3, { 487, 1973, 2800, 3454 } } };
    MbcFixture f;
    Desk desk (*f.panel);
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.bands);
        setParam (*f.proc, "multiBandComp_bandCount", (float) (c.bands - 1));
        setParam (*f.proc, "multiBandComp_msMode", 1.0f);
        setParam (*f.proc, "multiBandComp_globalMakeup", 5.0f);
        setParam (*f.proc, "multiBandComp_s_b4Thresh", -40.0f);
        setParam (*f.proc, "multiBandComp_b2Solo", 1.0f);
        f.panel->rebuildKnobs();
        desk.click (centreOf (f.panel->resetButton.getBounds()));
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ (f.raw ("multiBandComp_x" + juce::String (k)), c.x[k]) << k;
        EXPECT_EQ (f.raw ("multiBandComp_bandCount"), (float) (c.bands - 1));
        EXPECT_EQ (f.raw ("multiBandComp_msMode"), 0.0f);
        EXPECT_EQ (f.raw ("multiBandComp_globalMakeup"), 0.0f);
        EXPECT_EQ (f.raw ("multiBandComp_mix"), 100.0f);
        EXPECT_EQ (f.raw ("multiBandComp_s_b4Thresh"), -18.0f);
        EXPECT_EQ (f.raw ("multiBandComp_b2Solo"), 0.0f);
    }
}

TEST (MbcPanel, TabsCountChipsAndMs)
{
    MbcFixture f;
    auto& p = *f.panel;
    Desk desk (p);
    render (p); // records the tabs
    ASSERT_EQ (p.tabCount, 4);
    desk.click (centreOf (p.tabBounds[3]));
    EXPECT_EQ (p.selectedBand, 3);
    EXPECT_EQ (p.graph.selectedBand, 3);
    EXPECT_EQ (p.knobs.size(), 7u);
    EXPECT_TRUE (p.knobs[4]->showSeconds && p.knobs[5]->showSeconds);

    desk.click (centreOf (p.countButtons[1].getBounds())); // two bands: band 4 becomes band 2
    EXPECT_EQ (f.raw ("multiBandComp_bandCount"), 1.0f);
    EXPECT_EQ (p.selectedBand, 1);
    render (p);
    EXPECT_EQ (p.tabCount, 2);

    desk.click (centreOf (p.msButton.getBounds()));
    EXPECT_EQ (f.raw ("multiBandComp_msMode"), 1.0f);
    EXPECT_EQ (f.raw ("multiBandComp_msChannel"), 0.0f);
    EXPECT_TRUE (p.sideButton.isVisible());
    desk.click (centreOf (p.sideButton.getBounds()));
    EXPECT_EQ (f.raw ("multiBandComp_msChannel"), 1.0f);
    desk.click (centreOf (p.soloButton.getBounds()));
    EXPECT_EQ (f.raw ("multiBandComp_s_b1Solo"), 1.0f);
    EXPECT_EQ (f.raw ("multiBandComp_b1Solo"), 0.0f);
    desk.click (centreOf (p.powerButton.getBounds()));
    EXPECT_EQ (f.raw ("multiBandComp_enabled"), 1.0f);

    EXPECT_EQ (p.powerButton.getBounds(), juce::Rectangle<int> (798, 8, 86, 26));
    EXPECT_EQ (p.visualiser.getBounds(), juce::Rectangle<int> (10, 60, 880, 108));
    EXPECT_EQ (p.graph.getBounds(), juce::Rectangle<int> (10, 172, 880, 200));
    EXPECT_EQ (p.knobs.back()->getBounds(), juce::Rectangle<int> (822, 416, 64, 72));

    // A narrow panel has no tabs to click.
    p.setBounds (0, 0, 100, 500);
    render (p);
    for (int i = 0; i < p.tabCount; ++i)
        EXPECT_LE (p.tabBounds[i].getWidth(), 0);
}

// Real mouse: crossover and threshold drags change what each band's compressor does.
TEST (MbcPanel, DragsChangeTheMeasuredBandReduction)
{
    MbcFixture f;
    setParam (*f.proc, "multiBandComp_enabled", 1.0f);
    setParam (*f.proc, "multiBandComp_x0", 150.0f);
    f.panel->rebuildKnobs();
    Desk desk (*f.panel);
    const auto before = measuredReduction (*f.proc);

    // Band 2's threshold down to -50 dB: much more reduction there.
    const float W = f.graphW(), H = f.graphH();
    vyrMbc::State s;
    vyrMbc::loadState (f.proc->apvts, s);
    const float x1 = vyrMbc::freqToX (std::sqrt (vyrMbc::bandLo (s, 1) * vyrMbc::bandHi (s, 1)), W);
    f.drag (desk, f.onGraph (x1, vyrMbc::thresholdToY (-18.0f, H)), f.onGraph (x1, vyrMbc::thresholdToY (-50.0f, H)));
    EXPECT_NEAR (f.raw ("multiBandComp_b1Thresh"), -50.0f, 0.6f);
    // Crossover 0 up towards 800 Hz: the low band takes in more of the pink noise.
    f.drag (desk, f.crossoverHandle (0), f.onGraph (vyrMbc::freqToX (800.0f, W), H / 2.0f));
    EXPECT_NEAR (f.raw ("multiBandComp_x0"), 800.0f, 20.0f);

    const auto after = measuredReduction (*f.proc);
    EXPECT_GT (after[1], before[1] + 10.0f) << before[1] << " " << after[1];
    EXPECT_GT (after[0], before[0] + 1.0f) << before[0] << " " << after[0];
}

TEST (MbcPanel, RendersEveryIdentityWithAudioPlaying)
{
    for (int theme = 0; theme < 6; ++theme)
    {
        MbcFixture f (theme);
        setParam (*f.proc, "multiBandComp_enabled", 1.0f);
        setParam (*f.proc, "multiBandComp_b1Thresh", -36.0f);
        setParam (*f.proc, "multiBandComp_b2Makeup", 4.0f);
        f.panel->setActive (true);
        Desk desk (*f.panel); // showing: the spectrum is analysed for it
        Program program;
        play (*f.proc, program, 60, [&] (int b) {
            if (b % 3 == 0)
                render (f.panel->visualiser); // the peak marks fall between frames as they do on screen
        }, 0.5f);
        const auto img = renderOnPage (*f.panel, theme);
        const auto vis = f.panel->visualiser.getBounds().withTrimmedTop (60);
        EXPECT_GT (countInk (img, vis, pixel (img, vis.getX() + 2, vis.getY() + 2), 40), 500) << theme;
        savePng (img, "panel-mbc-" + juce::String (theme));
    }
}
