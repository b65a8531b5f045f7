#include "Ui/Studio/FinalOutputPanel.h"

#include "Core/PluginProcessor.h"
#include "Ui/Controls/GhostButton.h"
#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/Foundation/VyrTheme.h"

namespace
{

// The analyser's body and a meter with a background cover their bounds with opaque colour: the
// page's own background is not painted under them, which spares a full blend of the page under
// the analyser on every frame.
void skipCovered (juce::Graphics& g, const OutputAnalyzerView& analyzer, const LedMeter& meter)
{
    if (analyzer.isVisible())
        for (auto r : analyzer.opaqueArea())
            g.excludeClipRegion (r + analyzer.getPosition());
    if (meter.isVisible() && ! meter.transparent)
        g.excludeClipRegion (meter.getBounds());
}

juce::Colour buttonInk (bool light, int darkAlpha)
{
    return light ? juce::Colour (0xff1a1a1a) : juce::Colours::white.withAlpha ((juce::uint8) darkAlpha);
}
}

//==============================================================================
FinalOutputOverlay::FinalOutputOverlay (VyrAudioProcessor& p, std::function<void()> onClose)
    : processor (p), analyzer (p),
      meter (&p.meters.outPeak[0], &p.meters.outPeak[1], &p.meters.outRms[0], &p.meters.outRms[1])
{
    addAndMakeVisible (analyzer);
    addAndMakeVisible (meter);
    ghostBtn (exitButton);
    exitButton.onClick = [close = std::move (onClose)]
    {
        if (close)
            close();
    };
    addAndMakeVisible (exitButton);
}

void FinalOutputOverlay::resized()
{
    const int W = getWidth(), H = getHeight();
    const int iw = juce::jmax (W - 32, 0), h1 = juce::jmax (H - 32, 0), header = juce::jmin (h1, 36);
    const int ew = juce::jmin (iw, 92);
    exitButton.setBounds (16 + iw - ew, 20, ew, juce::jmax (header, 8) - 8);
    const int mw = juce::jmin (iw, 96);
    const int y = header + 16, h = h1 - header;
    meter.setBounds (16 + iw - mw, y, mw, h);
    analyzer.setBounds (16, y, iw - mw - juce::jmin (iw - mw, 12), h);
}

void FinalOutputOverlay::paint (juce::Graphics& g)
{
    const int identity = processor.themeIndex.load (std::memory_order_acquire);
    meter.themeId = identity;
    {
        juce::Graphics::ScopedSaveState save (g);
        skipCovered (g, analyzer, meter);
        vyrFillPageBackground (g, getLocalBounds(), identity);
    }
    g.setColour (juce::Colour (vyrTheme (identity).text));
    g.setFont (juce::Font (13.0f, juce::Font::bold).withExtraKerningFactor (0.18f));
    g.drawText (juce::String::fromUTF8 ("FINAL OUTPUT \xe2\x80\x94 FULL SCREEN"), juce::Rectangle<int> (16, 14, 480, 22),
                juce::Justification::centredLeft, true);
}

void FinalOutputOverlay::paintOverChildren (juce::Graphics& g)
{
    if (! g.clipRegionIntersects (exitButton.getBounds()))
        return;
    const bool light = vyrTheme (processor.themeIndex.load (std::memory_order_acquire)).light;
    const auto e = exitButton.getBounds().toFloat();
    g.setColour (light ? juce::Colours::black.withAlpha ((juce::uint8) 0x0f) : juce::Colours::white.withAlpha ((juce::uint8) 0x14));
    g.fillRoundedRectangle (e, 8.0f);
    g.setColour (light ? juce::Colours::black.withAlpha ((juce::uint8) 0x38) : juce::Colours::white.withAlpha ((juce::uint8) 0x2e));
    g.drawRoundedRectangle (e, 8.0f, 1.0f);
    const auto ink = buttonInk (light, 0xe0);
    const juce::Rectangle<float> icon (e.getX() + 8.0f, e.getY() + 7.0f, 16.0f, 16.0f);
    for (auto* d : { "M4 14h6v6", "M20 10h-6V4", "M14 10 21 3", "M3 21 10 14" })
        vyrLucide::strokeD (g, icon, ink, d);
    g.setColour (ink);
    g.setFont (juce::Font (13.0f, juce::Font::bold));
    g.drawText ("Exit", juce::Rectangle<float> (e.getX() + 26.0f, e.getY(), juce::jmax (e.getWidth() - 26.0f, 0.0f), e.getHeight()),
                juce::Justification::centredLeft, true);
}

//==============================================================================
FinalOutputPanel::FinalOutputPanel (VyrAudioProcessor& p)
    : processor (p), analyzer (p),
      meter (&p.meters.outPeak[0], &p.meters.outPeak[1], &p.meters.outRms[0], &p.meters.outRms[1])
{
    addAndMakeVisible (analyzer);
    addAndMakeVisible (meter);
    configure (meter, p.themeIndex.load (std::memory_order_acquire), meteringMode());
    ghostBtn (fullscreenButton);
    fullscreenButton.onClick = [this] { openFullscreen(); };
    addAndMakeVisible (fullscreenButton);
    infoButton.setPanel ("output", juce::Colour (0xff34506b));
    addAndMakeVisible (infoButton);
    updateTimer();
}

FinalOutputPanel::~FinalOutputPanel()
{
    stopTimer();
    if (overlay != nullptr)
    {
        overlay->setVisible (false);
        if (auto* parent = overlay->getParentComponent())
            parent->removeChildComponent (overlay.get());
        overlay.reset();
    }
}

int FinalOutputPanel::padFor (int identity) noexcept
{
    constexpr int pads[6] = { 24, 16, 22, 16, 16, 28 };
    return identity >= 0 && identity < 6 ? pads[identity] : 16;
}

int FinalOutputPanel::meteringMode() const
{
    if (auto* choice = dynamic_cast<juce::AudioParameterChoice*> (processor.apvts.getParameter ("meteringMode")))
        return choice->getIndex();
    return 0;
}

void FinalOutputPanel::configure (LedMeter& m, int identity, int mode)
{
    const bool changed = m.themeId != identity || m.meteringMode != mode;
    m.themeId = identity;
    m.meteringMode = mode;
    m.title = vyrMeter::modeCaption (mode);
    m.vertical = true;
    m.compact = false;
    m.showScale = true;
    m.housing = true;
    if (changed)
        m.repaint();
}

void FinalOutputPanel::syncMeter()
{
    const int identity = processor.themeIndex.load (std::memory_order_acquire);
    const int mode = meteringMode();
    configure (meter, identity, mode);
    if (overlay != nullptr)
        configure (overlay->meter, identity, mode);
}

void FinalOutputPanel::timerCallback()
{
    syncMeter();
    if (overlay != nullptr && overlay->isShowing())
        if (auto* root = overlayRoot())
            overlay->setBounds (0, 0, root->getWidth(), root->getHeight());
    updateTimer();
}

// The timer serves the page and its overlay: it runs while either is showing.
void FinalOutputPanel::updateTimer()
{
    const bool needed = isShowing() || (overlay != nullptr && overlay->isShowing());
    if (needed && ! isTimerRunning())
    {
        syncMeter();
        startTimer (83);
    }
    else if (! needed && isTimerRunning())
        stopTimer();
}

void FinalOutputPanel::visibilityChanged() { updateTimer(); }
void FinalOutputPanel::parentHierarchyChanged() { updateTimer(); }

juce::Component* FinalOutputPanel::overlayRoot()
{
    // The overlay covers the editor the page lives in. The top-level component is the editor in a
    // host, but in the Standalone app it is the app's window, whose title bar and notices must
    // stay uncovered.
    if (auto* editor = findParentComponentOfClass<juce::AudioProcessorEditor>())
        return editor;
    return getTopLevelComponent();
}

void FinalOutputPanel::openFullscreen()
{
    auto* root = overlayRoot();
    if (overlay == nullptr)
        overlay = std::make_unique<FinalOutputOverlay> (processor, [this] { closeFullscreen(); });
    overlay->setVisible (true);
    root->addChildComponent (*overlay);
    overlay->setBounds (0, 0, root->getWidth(), root->getHeight());
    overlay->setVisible (true);
    overlay->toFront (false);
    syncMeter();
    updateTimer();
}

void FinalOutputPanel::closeFullscreen()
{
    if (overlay == nullptr)
        return;
    overlay->setVisible (false);
    if (auto* parent = overlay->getParentComponent())
        parent->removeChildComponent (overlay.get());
    updateTimer();
}

void FinalOutputPanel::resized()
{
    const int W = getWidth(), H = getHeight();
    const int pad = padFor (processor.themeIndex.load (std::memory_order_acquire));
    const int iw = juce::jmax (W - 2 * pad, 0), h1 = juce::jmax (H - 24, 0), header = juce::jmin (h1, 28);
    const int rest = h1 - header, gap = juce::jmin (rest, 8);
    const int bw = juce::jmin (iw, 108);
    fullscreenButton.setBounds (pad + iw - bw, 14, bw, juce::jmax (header, 4) - 4);
    infoButton.setBounds (fullscreenButton.getX() - 202, fullscreenButton.getY() + 4, 18, 18);
    const int y = header + gap + 12, h = rest - gap;
    const int mw = juce::jmin (iw, 96);
    meter.setBounds (pad + iw - mw, y, mw, h);
    analyzer.setBounds (pad, y, iw - mw - juce::jmin (iw - mw, 12), h);
}

void FinalOutputPanel::paint (juce::Graphics& g)
{
    const auto& theme = kThemes[juce::jlimit (0, 5, processor.themeIndex.load (std::memory_order_acquire))];
    meter.themeId = theme.id;
    juce::Graphics::ScopedSaveState save (g);
    skipCovered (g, analyzer, meter);
    chrome.draw (g, getLocalBounds(), theme.id, [this, &theme] (juce::Graphics& cg)
    {
        vyrPaintPanelChrome (cg, { 2.0f, 2.0f, juce::jmax ((float) getWidth() - 4.0f, 0.0f), juce::jmax ((float) getHeight() - 4.0f, 0.0f) },
                             theme, true);
        constexpr int tx[6] = { 26, 18, 24, 18, 18, 30 };
        cg.setColour (juce::Colour (theme.text));
        cg.setFont (juce::Font (13.0f, juce::Font::bold).withExtraKerningFactor (0.18f));
        cg.drawText ("FINAL OUTPUT", juce::Rectangle<int> (theme.id >= 0 && theme.id < 6 ? tx[theme.id] : 18, 12, 280, 22),
                     juce::Justification::centredLeft, true);
    });
}

void FinalOutputPanel::paintOverChildren (juce::Graphics& g)
{
    const auto b = fullscreenButton.getBounds();
    // The header art is all this paints: the analyser's frames repaint below it and skip it.
    if (! g.clipRegionIntersects (b.withLeft (b.getX() - 176)))
        return;
    const bool light = vyrTheme (processor.themeIndex.load (std::memory_order_acquire)).light;
    g.setColour (light ? juce::Colour (0xff2f4639) : juce::Colours::white.withAlpha ((juce::uint8) 0x73));
    g.setFont (juce::Font (10.0f));
    g.drawText (juce::String::fromUTF8 ("spectrum \xc2\xb7 scope \xc2\xb7 peak / rms"), juce::Rectangle<int> (b.getX() - 176, b.getY(), 168, b.getHeight()),
                juce::Justification::centredRight, true);
    const auto r = b.toFloat();
    g.setColour (light ? juce::Colours::black.withAlpha ((juce::uint8) 0x0f) : juce::Colours::white.withAlpha ((juce::uint8) 0x0d));
    g.fillRoundedRectangle (r, 8.0f);
    g.setColour (light ? juce::Colours::black.withAlpha ((juce::uint8) 0x38) : juce::Colours::white.withAlpha ((juce::uint8) 0x26));
    g.drawRoundedRectangle (r, 8.0f, 1.0f);
    const auto ink = buttonInk (light, 0xb2);
    const juce::Rectangle<float> icon (r.getX() + 8.0f, r.getY() + 6.0f, 14.0f, 14.0f);
    for (auto* d : { "M15 3h6v6", "M9 21H3v-6", "M21 3 14 10", "M3 21 10 14" })
        vyrLucide::strokeD (g, icon, ink, d);
    g.setColour (ink);
    g.setFont (juce::Font (11.0f));
    g.drawText ("Fullscreen", juce::Rectangle<float> (r.getX() + 24.0f, r.getY(), juce::jmax (r.getWidth() - 24.0f, 0.0f), r.getHeight()),
                juce::Justification::centredLeft, true);
}
