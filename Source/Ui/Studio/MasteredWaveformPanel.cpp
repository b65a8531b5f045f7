#include "Ui/Studio/MasteredWaveformPanel.h"

#include "Assistant/Advice.h"
#include "Assistant/MasteredModel.h"
#include "Assistant/Measurements.h"
#include "Core/PluginProcessor.h"
#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/Foundation/VyrTheme.h"
#include "Ui/SectionPage/SectionWaveformView.h"
#include "Ui/Studio/AssistantDrawer.h"
#include "Ui/Studio/TapeStrip.h"

#include <cmath>

namespace
{
constexpr float kDrawerWidth = 276.0f;
constexpr float kWaveTop = 40.0f, kWaveHeight = 164.0f, kMidY = 122.0f, kHalf = 72.0f;

const char* const kWaves[3] = {
    "M2 6c.6.5 1.2 1 2.5 1C7 7 7 5 9.5 5c2.6 0 2.4 2 5 2 2.5 0 2.5-2 5-2 1.3 0 1.9.5 2.5 1",
    "M2 12c.6.5 1.2 1 2.5 1 2.5 0 2.5-2 5-2 2.6 0 2.4 2 5 2 2.5 0 2.5-2 5-2 1.3 0 1.9.5 2.5 1",
    "M2 18c.6.5 1.2 1 2.5 1 2.5 0 2.5-2 5-2 2.6 0 2.4 2 5 2 2.5 0 2.5-2 5-2 1.3 0 1.9.5 2.5 1",
};

MasteredWaveformPanel::TapeStrip::Sample sampleOf (const vyrMasterAssist::Snapshot& s, const vyrMasterAssist::Advice& a) noexcept
{
    return { s.subDb, s.lowDb, s.midDb, s.highDb, s.lufsMomentary, s.lufsShort, s.lufs, s.targetLufs, s.clipShare, a.fit };
}
}

MasteredWaveformPanel::MasteredWaveformPanel (VyrAudioProcessor& p) : processor (p)
{
    infoButton.setPanel ("masteredoutput", juce::Colour (0xfff59e0b));
    addAndMakeVisible (infoButton);
    analysisButton.setClickingTogglesState (true);
    analysisButton.setTooltip ("Mastering Analysis");
    analysisButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0x0fffffff));
    analysisButton.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0x590ea5e9));
    analysisButton.setColour (juce::TextButton::textColourOffId, juce::Colour (0xff7dd3fc));
    analysisButton.setColour (juce::TextButton::textColourOnId, juce::Colours::white);
    addAndMakeVisible (analysisButton);
    drawer = std::make_unique<Drawer> (p);
    addChildComponent (*drawer);
    tape = std::make_unique<TapeStrip>();
    addAndMakeVisible (*tape);
    analysisButton.onClick = [this] { toggleDrawer(); };
    tape->onCycle = [this] { cycleTapeMode(); };
    startTimer (40);
}

MasteredWaveformPanel::~MasteredWaveformPanel()
{
    stopTimer();
    tape.reset();
    drawer.reset();
}

int MasteredWaveformPanel::headerInset (int identity) noexcept
{
    constexpr int insets[6] = { 8, 0, 6, 0, 0, 12 };
    return identity >= 0 && identity < 6 ? insets[identity] : 0;
}

float MasteredWaveformPanel::waveWidth() const noexcept
{
    return ((float) getWidth() - 32.0f) - kDrawerWidth * drawerAnim;
}

void MasteredWaveformPanel::resized() { layoutChrome(); }

void MasteredWaveformPanel::layoutChrome()
{
    const int W = getWidth();
    infoButton.setBounds (W - 34, 12, 18, 18);
    infoButton.toFront (false);
    analysisButton.setBounds (W - 120, 12, 78, 18);
    analysisButton.toFront (false);
    const int d = juce::roundToInt (drawerAnim * kDrawerWidth);
    if (d >= 9)
    {
        const int w = juce::jmin (d, W - 32);
        drawer->setBounds (W - w - 8, 40, juce::jmax (w, 8) - 8, 164);
    }
    else
        drawer->setBounds (0, 0, 0, 0);
    drawer->toFront (false);
    tape->setBounds (16, 206, W - 32, tapeMode == 0 ? 18 : (tapeMode == 1 ? 102 : 214));
    tape->toFront (false);
}

void MasteredWaveformPanel::toggleDrawer()
{
    drawerOpen = analysisButton.getToggleState();
    drawer->setVisible (drawerOpen || drawerAnim > 0.02f);
    repaint();
}

void MasteredWaveformPanel::cycleTapeMode()
{
    tapeMode = (tapeMode + 1) % 3;
    tape->mode = tapeMode;
    tape->repaint();
    resized();
    if (onLayoutChange)
        onLayoutChange();
}

void MasteredWaveformPanel::timerCallback()
{
    const bool showing = isShowing();
    tape->holdReaders (processor, showing);
    // The tape keeps its history whether or not anyone sees it: one sample per tick.
    const auto snap = vyrMasterAssist::measure (processor);
    tape->append (sampleOf (snap, vyrMasterAssist::coach (snap)));

    if (showing)
    {
        vyrMasterHypo::ensureEnv (processor);
        const float target = drawerOpen ? 1.0f : 0.0f;
        float v = drawerAnim + (target - drawerAnim) * 0.22f;
        if (std::abs (v - target) < 0.01f)
            v = target;
        const bool moved = std::abs (v - drawerAnim) > 0.004f;
        drawerAnim = v;
        if (drawerOpen || moved)
            layoutChrome();
        drawer->setVisible (drawerAnim > 0.02f);
        if (drawerOpen)
            drawer->syncFeed();
        if (vyrVisibleInScroll (*this))
            repaintChanges();
    }
    // An open library dialog stays current also after the drawer closed.
    if (! (showing && drawerOpen))
        drawer->refreshLibrary();
}

juce::uint64 MasteredWaveformPanel::waveKey() const
{
    const auto& env = vyrMasterHypo::messageEnv (processor);
    const auto& sec = processor.section;
    VyrPaintKey key;
    key.add (getWidth()).add (getHeight()).add (drawerAnim).add (processor.themeIndex.load()).add (processor.fileLoaded ? 1 : 0)
        .add ((int) env.builds).add ((int) env.hash).add ((int) (env.hash >> 32)).add ((int) processor.overviewMin.size())
        .add ((int) processor.envelopeMin.size()).add (sec.enabled ? 1 : 0).add (sec.count)
        .add (processor.loadedFile.getFullPathName().hashCode()).add ((int) (juce::pointer_sized_int) processor.overviewMin.data())
        .add ((int) (juce::pointer_sized_int) processor.envelopeMin.data());
    for (float c : sec.cues)
        key.add (c);
    for (int a : sec.assign)
        key.add (a);
    return key.value;
}

int MasteredWaveformPanel::playheadX() const
{
    const double length = processor.transport.getLengthInSeconds();
    return length > 0.0 ? juce::roundToInt (16.0f + (float) juce::jlimit (0.0, 1.0, processor.transport.getCurrentPosition() / length) * waveWidth())
                        : -1;
}

void MasteredWaveformPanel::repaintChanges()
{
    const auto key = waveKey();
    const int playX = playheadX();
    if (key != shownKey)
    {
        shownKey = key;
        shownPlayX = playX;
        repaint();
        return;
    }
    if (playX != shownPlayX)
    {
        for (int x : { shownPlayX, playX })
            if (x >= 0)
                repaint (x - 7, 40, 14, 165);
        shownPlayX = playX;
    }
}

//==============================================================================
void MasteredWaveformPanel::paint (juce::Graphics& g)
{
    const int identity = juce::jlimit (0, 5, processor.themeIndex.load (std::memory_order_acquire));
    const auto& T = kThemes[identity];
    const auto accent = identityAccent (T.id);
    const float W = (float) getWidth(), H = (float) getHeight();
    const float inset = (float) headerInset (processor.themeIndex.load (std::memory_order_acquire));

    chrome.draw (g, getLocalBounds(), T.id * 64 + (int) inset, [&] (juce::Graphics& cg)
    {
        vyrPaintPanelChrome (cg, { 1.0f, 1.0f, juce::jmax (W - 2.0f, 0.0f), juce::jmax (H - 2.0f, 0.0f) }, T, true);
        cg.setColour (T.light ? juce::Colour (0x292c5f52) : accent.withAlpha ((juce::uint8) 0x21));
        cg.fillRoundedRectangle (inset + 16.0f, 10.0f, 22.0f, 22.0f, 7.0f);
        for (auto* d : kWaves)
            vyrLucide::strokeD (cg, { inset + 20.5f, 14.5f, 13.0f, 13.0f }, T.light ? juce::Colour (0xff2c5f52) : accent, d);
        cg.setColour (juce::Colour (T.text));
        cg.setFont (juce::Font (12.0f, juce::Font::bold).withExtraKerningFactor (0.18f));
        cg.drawText ("MASTERED OUTPUT", juce::Rectangle<float> (inset + 44.0f, 8.0f, 220.0f, 16.0f), juce::Justification::centredLeft, false);
        cg.setColour (T.light ? juce::Colour (0xff3a4d46) : juce::Colours::white.withAlpha ((juce::uint8) 66));
        cg.setFont (juce::Font (9.0f));
        cg.drawText ("The master as the whole chain will print it", juce::Rectangle<float> (inset + 44.0f, 22.0f, 360.0f, 12.0f),
                    juce::Justification::centredLeft, false);
    });
    const float O = waveWidth();
    if (O >= 8.0f && g.clipRegionIntersects (juce::Rectangle<float> (16.0f, kWaveTop, O, kWaveHeight).getSmallestIntegerContainer()))
        paintWave (g, O, accent);
}

void MasteredWaveformPanel::paintWave (juce::Graphics& g, float O, juce::Colour accent)
{
    // The picture of the file changes only with the model, the sections, the identity, the size
    // or the slide: it comes from an image, and a moving playhead repaints just its own strips.
    vyrMasterHypo::ensureEnv (processor);
    const juce::uint64 key = waveKey();
    waveLayer.draw (g, juce::Rectangle<int> (16, 40, (int) std::ceil (O) + 1, 165), (int) (key ^ (key >> 32)),
                    [&] (juce::Graphics& wg) { paintWaveBody (wg, O, accent); });
    const bool hasFile = processor.fileLoaded && ! processor.overviewMin.empty();
    const double length = processor.transport.getLengthInSeconds();
    if (hasFile && length > 0.0)
    {
        juce::Path clip;
        clip.addRoundedRectangle (juce::Rectangle<float> (16.0f, kWaveTop, O, kWaveHeight), 8.0f);
        juce::Graphics::ScopedSaveState save (g);
        g.reduceClipRegion (clip);
        const float x = 16.0f + (float) juce::jlimit (0.0, 1.0, processor.transport.getCurrentPosition() / length) * O;
        g.setColour (juce::Colour (0xe67dd3fc));
        g.drawLine (x, kWaveTop, x, kWaveTop + kWaveHeight, 1.4f);
        juce::Path tri;
        tri.addTriangle (x - 5.0f, 41.0f, x + 5.0f, 41.0f, x, 49.0f);
        g.fillPath (tri);
    }
}

void MasteredWaveformPanel::paintWaveBody (juce::Graphics& g, float O, juce::Colour accent)
{
    const juce::Rectangle<float> area (16.0f, kWaveTop, O, kWaveHeight);
    juce::Path clip;
    clip.addRoundedRectangle (area, 8.0f);
    const bool hasFile = processor.fileLoaded && ! processor.overviewMin.empty();
    {
        juce::Graphics::ScopedSaveState save (g);
        g.reduceClipRegion (clip);
        if (hasFile)
        {
            g.setColour (juce::Colour (0x99080a10));
            g.fillRect (area);
            const auto& sec = processor.section;
            if (sec.enabled)
            {
                // Only the seven sections the page can hold are read, whatever the record says.
                const int count = juce::jlimit (1, 7, sec.count);
                for (int s = 0; s < count; ++s)
                {
                    const float a = s == 0 ? 0.0f : sec.cues[s - 1];
                    const float b = s + 1 < count ? sec.cues[s] : 1.0f;
                    g.setColour (sectionTint (juce::jlimit (0, 6, sec.assign[s]), processor.themeIndex.load())
                                     .withAlpha ((juce::uint8) 0x0f));
                    g.fillRect (16.0f + a * O, kWaveTop, juce::jmax ((b - a) * O, 1.0f), kWaveHeight);
                }
            }
            const auto& env = vyrMasterHypo::messageEnv (processor);
            const bool useEnv = juce::jmin (processor.envelopeMin.size(), processor.envelopeMax.size())
                                > juce::jmin (processor.overviewMin.size(), processor.overviewMax.size());
            const auto& mins = useEnv ? processor.envelopeMin : processor.overviewMin;
            const auto& maxs = useEnv ? processor.envelopeMax : processor.overviewMax;
            const int bins = (int) juce::jmin (mins.size(), maxs.size());
            if (bins > 0)
            {
                PeakBarGain gain { &env.gain, env.buckets, env.sourceBins };
                paintPeakBars (g, 16.0f, O, kMidY, kHalf, 0.0f, 1.0f, mins.data(), maxs.data(), bins,
                               juce::Colour (0xe628303a).interpolatedWith (accent, 0.36f), env.valid ? &gain : nullptr);
            }
            const float ceil = env.ceilingLin > 0.0001f ? env.ceilingLin : 0.89f;
            g.setColour (juce::Colour (0x47f59e0b));
            const float dashes[2] = { 3.0f, 4.0f };
            for (float y : { kMidY - kHalf * ceil, kMidY + kHalf * ceil })
                g.drawDashedLine ({ 16.0f, y, 16.0f + O, y }, dashes, 2, 0.9f);
            g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x2e));
            g.fillRect (16.0f, kMidY, O, 1.0f);
        }
        else
        {
            juce::Colour top, bottom, grid, centre, text;
            emptyWaveStyle (processor.themeIndex.load(), top, bottom, grid, centre, text);
            g.setGradientFill (juce::ColourGradient (top, 0.0f, kWaveTop, bottom, 0.0f, kWaveTop + kWaveHeight, false));
            g.fillRect (area);
            g.setColour (grid);
            for (float y = 40.0f; y <= 180.0f; y += 28.0f)
                g.fillRect (16.0f, y, O, 1.0f);
            for (float x = 16.0f; x < 16.0f + O; x += 80.0f)
                g.fillRect (x, kWaveTop, 1.0f, kWaveHeight);
            g.setColour (centre);
            g.fillRect (16.0f, kMidY, O, 1.0f);
        }
    }
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) (hasFile ? 0x1f : 0x26)));
    g.drawRoundedRectangle (16.5f, 40.5f, juce::jmax (O - 1.0f, 0.0f), 163.0f, 8.0f, 1.0f);
    if (! hasFile)
    {
        juce::Colour top, bottom, grid, centre, text;
        emptyWaveStyle (processor.themeIndex.load(), top, bottom, grid, centre, text);
        g.setColour (text);
        g.setFont (juce::Font (13.0f));
        g.drawText ("Load an audio file to preview the mastered waveform", juce::Rectangle<int> (16, 40, juce::roundToInt (O), 164),
                    juce::Justification::centred, false);
    }
}
