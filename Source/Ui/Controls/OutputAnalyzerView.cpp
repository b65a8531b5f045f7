#include "Ui/Controls/OutputAnalyzerView.h"

#include "Core/PluginProcessor.h"
#include "Ui/Controls/GhostButton.h"
#include "Ui/Foundation/VyrInfoOverlay.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrTheme.h"

#include <cmath>

bool gOutputShowSpectrum = true;

using juce::Colour;
using juce::Rectangle;

namespace
{
constexpr float kSignalFloor = 3.1622778e-5f; // -90 dBFS
constexpr double kBarStepSeconds = 0.02;      // bars move 0.8 / 0.2 per 20 ms
constexpr double kMaxCatchUpSeconds = 2.0;
const Colour inkLight (0xff1a1a1a), dimInkLight (0xff2f4639);

float louder (const std::atomic<float>* pair) noexcept
{
    const float a = pair[0].load (std::memory_order_acquire), b = pair[1].load (std::memory_order_acquire);
    return juce::jmax (std::isnan (a) ? 0.0f : a, std::isnan (b) ? 0.0f : b);
}

float xOf (double f, float W)
{
    return (float) ((std::log10 (juce::jlimit (20.0, 20000.0, f)) - std::log10 (20.0)) / 3.0) * W;
}

Colour darkened (Colour c, float a)
{
    auto f = [a] (juce::uint8 v)
    { return (juce::uint8) (int) ((float) v / (1.0f + a)); };
    return Colour (f (c.getRed()), f (c.getGreen()), f (c.getBlue()), c.getAlpha());
}

Colour alpha (Colour c, int a) { return c.withAlpha ((juce::uint8) a); }
Colour white (int a) { return juce::Colours::white.withAlpha ((juce::uint8) a); }
Colour black (int a) { return juce::Colours::black.withAlpha ((juce::uint8) a); }
}

OutputAnalyzerView::OutputAnalyzerView (VyrAudioProcessor& p)
    : processor (p), levelToken (p.levelReaders)
{
    ghostBtn (spectrumButton);
    spectrumButton.setClickingTogglesState (true);
    spectrumButton.setToggleState (gOutputShowSpectrum, juce::dontSendNotification);
    spectrumButton.setTooltip ("EQ-style log-frequency spectrum fill");
    spectrumButton.onClick = [this]
    {
        gOutputShowSpectrum = spectrumButton.getToggleState();
        spectrumButton.setToggleState (gOutputShowSpectrum, juce::dontSendNotification);
        repaint();
    };
    addAndMakeVisible (spectrumButton);
    barClock.stepSeconds = kBarStepSeconds;
    startTimer (20);
}

OutputAnalyzerView::~OutputAnalyzerView()
{
    stopTimer();
    vyrMeter::setSpectrumShown (processor, spectrumOpen, false);
}

juce::String OutputAnalyzerView::loudnessText (float lufs)
{
    if (! std::isfinite (lufs) || lufs <= -100.0f)
        return juce::String::fromUTF8 ("-\xe2\x88\x9e");
    return vyrMeter::oneDecimal (lufs);
}

Colour OutputAnalyzerView::loudnessColour (float lufs)
{
    return Colour (lufs >= -9.0f ? 0xffff5252 : (lufs >= -16.0f ? 0xffccff00 : 0xff00afff));
}

float OutputAnalyzerView::bandLevel (const float* spectrum, double sampleRate, double fa, double fb) noexcept
{
    const double nyquist = juce::jmax (sampleRate / 2.0, 1000.0);
    const double level = vyrMeter::bandMagnitude (spectrum, nyquist / 4096.0, fa, fb);
    if (! std::isfinite (level))
        return 0.0f;
    const double db = juce::jmax (20.0 * std::log10 (juce::jmax (level, 0.0) + 1e-12), -100.0);
    return juce::jlimit (0.0f, 1.0f, (float) ((db + 90.0) / 90.0));
}

void OutputAnalyzerView::resized()
{
    const int W = getWidth();
    spectrumButton.setBounds (W < 75 ? 8 : W - 66, 6, 58, 16);
    spectrumButton.toFront (false);
}

void OutputAnalyzerView::timerCallback()
{
    const float pk = louder (processor.meters.outPeak) + 1e-12f;
    const float peakDb = pk > 0.0f ? juce::jlimit (-100.0f, vyrMeter::kMaxDb, 20.0f * std::log10 (pk)) : -100.0f;
    peakHold.update (peakDb, clock(), kMaxCatchUpSeconds);

    if (spectrumButton.getToggleState() != gOutputShowSpectrum)
        spectrumButton.setToggleState (gOutputShowSpectrum, juce::dontSendNotification);

    const bool visible = vyrVisibleInScroll (*this);
    vyrMeter::setSpectrumShown (processor, spectrumOpen, visible);
    if (visible && needsRepaint())
        repaint();
}

OutputAnalyzerView::Shown OutputAnalyzerView::shownNow() const
{
    using vyrMeter::load;
    auto& m = processor.meters;
    return { peakHold.hold.held, load (m.outPeak[0]), load (m.outPeak[1]), load (m.outRms[0]), load (m.outRms[1]), load (m.inPeak[0]),
             load (m.inPeak[1]), load (m.lufsMomentary), load (m.lufsShort), load (m.lufsIntegrated), gOutputShowSpectrum ? 1.0f : 0.0f,
             (float) processor.themeIndex.load(), (float) getWidth(), (float) getHeight(), (float) m.outScopeWrite.load(),
             (float) m.inScopeWrite.load() };
}

bool OutputAnalyzerView::needsRepaint() const
{
    // With signal the bars and traces move every frame; in silence only a changed value shows.
    return ! painted || louder (processor.meters.outPeak) >= kSignalFloor || vyrMeter::shownDiffers (shownNow(), lastShown);
}

juce::RectangleList<int> OutputAnalyzerView::opaqueArea() const
{
    juce::RectangleList<int> area;
    if (getWidth() < 8 || getHeight() < 8)
        return area;
    // The body's gradient is opaque in every identity; only the 12-px corners let the owner through.
    area.add ({ 12, 0, getWidth() - 24, getHeight() });
    area.add ({ 0, 12, getWidth(), getHeight() - 24 });
    return area;
}

void OutputAnalyzerView::mouseMove (const juce::MouseEvent& e)
{
    const bool hand = infoHit.contains (e.position) || resetHit.contains (e.position);
    setMouseCursor (hand ? juce::MouseCursor::PointingHandCursor : juce::MouseCursor::ParentCursor);
}

void OutputAnalyzerView::mouseDown (const juce::MouseEvent& e)
{
    if (infoHit.contains (e.position))
        vyrOpenInfo (*this, "lufs", vyrTheme (processor.themeIndex).accentColour());
    else if (resetHit.contains (e.position))
        processor.resetLoudness();
}

void OutputAnalyzerView::advanceBars (int steps, double sampleRate)
{
    float n[numBars];
    for (int i = 0; i < numBars; ++i)
    {
        const double f0 = std::pow (10.0, std::log10 (20.0) + 3.0 * i / numBars);
        const double f1 = std::pow (10.0, std::log10 (20.0) + 3.0 * (i + 1) / numBars);
        n[i] = bandLevel (spectrumCopy, sampleRate, f0, f1);
    }
    for (int s = 0; s < steps; ++s)
        for (int i = 0; i < numBars; ++i)
        {
            barLevel[i] = 0.8f * barLevel[i] + 0.2f * n[i];
            barCap[i] = juce::jmax (0.9564431f * barCap[i], barLevel[i]);
        }
}

void OutputAnalyzerView::paint (juce::Graphics& g)
{
    const float W = (float) getWidth(), H = (float) getHeight();
    if (W < 8.0f || H < 8.0f)
        return;
    const auto& T = vyrTheme (processor.themeIndex);
    const bool light = T.light;

    // Grid, bars and traces stay inside the panel and off its four rounded corners. A clip made
    // of rectangles keeps the many bars, glows and traces fast to fill; a rounded path as the clip
    // would make every one of them an edge-table merge.
    juce::RectangleList<int> clip (juce::Rectangle<int> (12, 0, juce::jmax (getWidth() - 24, 0), getHeight()));
    clip.add (juce::Rectangle<int> (0, 12, getWidth(), juce::jmax (getHeight() - 24, 0)));

    // The body and its grid depend only on the size, the scale and the identity: the opaque
    // middle is copied from an opaque image, the four rounded corners are filled as they are.
    const Colour base = vyrMeter::darkBase (T.id);
    const Colour top = light ? T.panelTopColour() : vyrMeter::brightened (base, 0.06f);
    const Colour bottom = light ? T.panelBottomColour() : darkened (base, 0.18f);
    const juce::ColourGradient body (top, 0.0f, 0.0f, bottom, 0.0f, H, false);
    const auto covered = opaqueArea();
    {
        juce::Graphics::ScopedSaveState save (g);
        g.reduceClipRegion (covered);
        const float scale = juce::jlimit (0.25f, 8.0f, g.getInternalContext().getPhysicalPixelScaleFactor());
        if (! backImage.isValid() || backKey != juce::Point<int> (T.id, 0) || backSize != getLocalBounds() || backScale != scale)
        {
            backKey = { T.id, 0 };
            backSize = getLocalBounds();
            backScale = scale;
            backImage = juce::Image (juce::Image::RGB, juce::jmax (1, (int) std::ceil (W * scale)), juce::jmax (1, (int) std::ceil (H * scale)), false,
                                     juce::SoftwareImageType());
            juce::Graphics bg (backImage);
            bg.addTransform (juce::AffineTransform::scale (scale));
            bg.setGradientFill (body);
            bg.fillRect (0.0f, 0.0f, W, H);
            bg.reduceClipRegion (clip);
            bg.setColour (light ? black (0x29) : white (0x0d));
            for (float p : { 0.13264664f, 0.23298998f, 0.33333328f, 0.46598002f, 0.56632334f, 0.6666666f, 0.79931337f, 0.8996566f })
                bg.fillRect ((float) juce::roundToInt (W * p), 0.0f, 1.0f, H);
            for (int k = 0; k <= 4; ++k)
                bg.fillRect (0.0f, (float) juce::roundToInt ((float) k * H / 4.0f), W, 1.0f);
        }
        if (backScale == 1.0f)
            g.drawImageAt (backImage, 0, 0);
        else
            g.drawImageTransformed (backImage, juce::AffineTransform::scale (1.0f / backScale));
    }
    {
        juce::Graphics::ScopedSaveState save (g);
        for (auto r : covered)
            g.excludeClipRegion (r);
        g.setGradientFill (body);
        g.fillRoundedRectangle (0.0f, 0.0f, W, H, 12.0f);
    }

    const float e = 0.66f * H;
    if (louder (processor.meters.outPeak) >= kSignalFloor)
    {
        juce::Graphics::ScopedSaveState save (g);
        g.reduceClipRegion (clip);
        processor.meters.copySpectrum (spectrumCopy, 4096);
        advanceBars (barClock.advance (clock(), 0.25), processor.meters.sampleRate.load (std::memory_order_acquire));
        paintSpectrum (g, W, e, light);
        paintScope (g, W, e, H, light);
    }
    else
    {
        barClock.restart(); // silent: the bars keep their heights for the signal's return
    }
    paintLabels (g, W, H, light);
    paintReadouts (g, W, light); // text and boxes sit inside the rounded panel by their layout

    g.setColour (light ? black (0x38) : white (0x1a));
    g.drawRoundedRectangle (0.5f, 0.5f, W - 1.0f, H - 1.0f, 12.0f, 1.0f);
    lastShown = shownNow();
    painted = true;
}

void OutputAnalyzerView::paintSpectrum (juce::Graphics& g, float W, float e, bool light)
{
    const auto& T = vyrTheme (processor.themeIndex);
    const Colour accent = T.accentColour(), accent2 = T.accent2Colour();
    for (int i = 0; i < numBars; ++i)
    {
        const double f0 = std::pow (10.0, std::log10 (20.0) + 3.0 * i / numBars);
        const double f1 = std::pow (10.0, std::log10 (20.0) + 3.0 * (i + 1) / numBars);
        const float left = xOf (f0, W) + 1.0f, width = juce::jmax (xOf (f1, W) - xOf (f0, W) - 1.0f, 1.0f);
        const float h = 0.96f * e * barLevel[i];
        const Rectangle<float> bar (left, e - h, width, h);
        if (h > 1.0f)
            vyrMeter::paintLedBloom (g, bar, accent2, 0.45f);
        if (h > 0.0f)
        {
            juce::ColourGradient grad (alpha (accent, light ? 0x38 : 0x47), 0.0f, e, alpha (accent2, light ? 0xd1 : 0xf2), 0.0f, e - h, false);
            grad.addColour (0.5, alpha (accent.interpolatedWith (accent2, 0.55f), light ? 0xad : 0xd9));
            g.setGradientFill (grad);
            g.fillRect (bar);
        }
        g.setColour (light ? alpha (inkLight, 0xb2) : white (0xd9));
        g.fillRect (left, e - 0.96f * e * barCap[i] - 2.0f, width, 2.0f);
    }

    if (! gOutputShowSpectrum)
        return;
    const double rate = processor.meters.sampleRate.load (std::memory_order_acquire);
    const int columns = (int) std::floor (W);
    auto fOf = [W] (int j)
    { return std::pow (10.0, std::log10 (20.0) + 3.0 * juce::jlimit (0.0, 1.0, (double) j / juce::jmax ((double) W, 1.0))); };
    curvePoints.resize ((size_t) columns + 1); // grows only when the view widens
    curveFill.clear();                         // keeps its storage between frames
    curveFill.startNewSubPath (0.0f, e);
    for (int j = 0; j <= columns; ++j)
    {
        const float n = bandLevel (spectrumCopy, rate, fOf (j), fOf (juce::jmin (j + 1, columns)));
        curvePoints[(size_t) j] = { (float) j, e - 0.9f * e * n };
        curveFill.lineTo (curvePoints[(size_t) j]);
    }
    curveFill.lineTo (W, e);
    curveFill.closeSubPath();
    g.setColour (alpha (accent2, light ? 0x38 : 0x6b));
    g.fillPath (curveFill);
    // The curve stays inside the spectrum area (n never exceeds 1), plus half its wider stroke.
    const juce::Rectangle<int> area (0, 0, getWidth(), (int) std::ceil (e + 2.0f));
    curveStroke.stroke (g, area, curvePoints.data(), columns + 1, 3.2f, alpha (accent2, light ? 0x7a : 0x8c));
    curveStroke.stroke (g, area, curvePoints.data(), columns + 1, 1.5f,
                        light ? alpha (inkLight, 0xc7) : alpha (vyrMeter::brightened (accent2, 0.4f), 0xf2));
}

void OutputAnalyzerView::paintScope (juce::Graphics& g, float W, float e, float H, bool light)
{
    const auto& T = vyrTheme (processor.themeIndex);
    auto& m = processor.meters;
    const float d = H - e, yc = e + d / 2.0f;
    constexpr int n = VyrMeterEngine::scopeSize;
    // Samples are kept inside the scope band: a broken or clipped block cannot draw over the rest.
    auto trace = [&] (const float* ring, int write)
    {
        write = juce::jlimit (0, n - 1, write);
        for (int j = 0; j < n; ++j)
        {
            float s = ring[(write + j) % n];
            s = std::isfinite (s) ? juce::jlimit (-1.19f, 1.19f, s) : 0.0f;
            scopePoints[(size_t) j] = { (float) j * W / (float) n, yc - 0.42f * d * s };
        }
    };
    // The traces reach at most half the band above and below its centre, plus half the glow.
    const int top = (int) std::floor (e - 3.0f);
    const juce::Rectangle<int> band (0, top, getWidth(), getHeight() - top);
    if (louder (m.inPeak) >= kSignalFloor)
    {
        trace (m.inScope, m.inScopeWrite.load (std::memory_order_acquire));
        scopeStroke.stroke (g, band, scopePoints.data(), n, 1.0f, Colour (0x59f59e0b));
    }
    trace (m.outScope, m.outScopeWrite.load (std::memory_order_acquire));
    scopeStroke.stroke (g, band, scopePoints.data(), n, 5.0f, alpha (T.accentColour(), light ? 0x33 : 0x47));
    scopeStroke.stroke (g, band, scopePoints.data(), n, 1.4f, alpha (T.accentColour(), light ? 0xe0 : 0xe6));
    g.setColour (light ? black (0x2e) : white (0x1a));
    g.fillRect (0.0f, (float) juce::roundToInt (yc), W, 1.0f);
}

void OutputAnalyzerView::paintLabels (juce::Graphics& g, float W, float H, bool light)
{
    // The captions, the title and the loudness box with its captions, help dot and reset glyph
    // never change while the size, scale and identity stay: they come from an image, drawn only
    // where they lie.
    infoHit = { W - 170.0f, 35.0f, 18.0f, 18.0f };
    resetHit = { W - 24.0f, 28.0f, 12.0f, 12.0f };
    juce::RectangleList<int> where (juce::Rectangle<int> (0, getHeight() - 16, getWidth(), 16));
    where.add ({ 8, 4, 140, 12 });
    where.add (juce::Rectangle<int> (getWidth() - 172, 2, 172, 60));
    juce::Graphics::ScopedSaveState save (g);
    g.reduceClipRegion (where);
    const auto& T = vyrTheme (processor.themeIndex);
    labelLayer.draw (g, getLocalBounds(), T.id, [&] (juce::Graphics& lg)
    {
        lg.setFont (juce::Font (8.0f, juce::Font::bold));
        lg.setColour (light ? dimInkLight : white (0x59));
        const int freqs[] = { 50, 100, 200, 500, 1000, 2000, 5000, 10000 };
        for (int f : freqs)
        {
            const juce::String text = f >= 1000 ? juce::String (f / 1000) + "k" : juce::String (f);
            lg.drawText (text, Rectangle<float> ((float) juce::roundToInt (xOf (f, W)) - 16.0f, H - 14.0f, 32.0f, 12.0f), juce::Justification::centred, false);
        }

        lg.setFont (juce::Font (9.0f, juce::Font::bold));
        lg.setColour (light ? inkLight : white (0x80));
        lg.drawText ("FINAL OUTPUT", Rectangle<float> (8.0f, 4.0f, 140.0f, 12.0f), juce::Justification::centredLeft, false);

        const Rectangle<float> box (W - 148.0f, 4.0f, 140.0f, 36.0f);
        lg.setColour (light ? alpha (T.panelTopColour(), 0xeb) : alpha (vyrMeter::darkBase (T.id), 0xe0));
        lg.fillRoundedRectangle (box, 8.0f);
        lg.setColour (alpha (T.accentColour(), light ? 0x52 : 0x40));
        lg.drawRoundedRectangle (box, 8.0f, 1.0f);
        lg.setFont (juce::Font (7.0f, juce::Font::plain).withExtraKerningFactor (0.18f));
        lg.setColour (light ? dimInkLight : alpha (T.accentColour(), 0x8c));
        lg.drawText (juce::String::fromUTF8 ("LUFS \xc2\xb7 BS.1770"), Rectangle<float> (W - 142.0f, 28.0f, 100.0f, 10.0f), juce::Justification::centredLeft, false);

        vyrMeter::paintInfoDot (lg, infoHit, T.accentColour());
        lg.setFont (juce::Font (9.0f, juce::Font::plain));
        lg.setColour (light ? dimInkLight : white (0x4c));
        lg.drawText (juce::String::fromUTF8 ("\xe2\x87\xb2"), resetHit, juce::Justification::centred, false);

        const char* const captions[] = { "MOM", "SHORT", "INT" };
        lg.setFont (juce::Font (6.0f, juce::Font::plain).withExtraKerningFactor (0.08f));
        lg.setColour (light ? dimInkLight : white (0x66));
        for (int i = 0; i < 3; ++i)
            lg.drawText (captions[i], Rectangle<float> (W - 140.0f + 44.0f * (float) i, 38.0f, 36.0f, 8.0f), juce::Justification::centred, false);
    });
}

void OutputAnalyzerView::paintReadouts (juce::Graphics& g, float W, bool light)
{
    const auto& T = vyrTheme (processor.themeIndex);
    auto& m = processor.meters;
    const Colour dim = light ? dimInkLight : white (0x4c);

    g.setFont (readoutFont);
    const float held = peakHold.hold.held;
    if (held <= -70.0f)
    {
        g.setColour (dim);
        g.drawText (juce::String::fromUTF8 ("PEAK \xe2\x80\x94 dB"), Rectangle<float> (8.0f, 16.0f, 160.0f, 12.0f), juce::Justification::centredLeft, false);
    }
    else
    {
        g.setColour (held >= 0.0f ? Colour (0xffb91c1c) : (light ? inkLight : Colour (0xffcbd5e1)));
        g.drawText ("PEAK " + vyrMeter::oneDecimal (held) + " dB", Rectangle<float> (8.0f, 16.0f, 160.0f, 12.0f), juce::Justification::centredLeft, false);
    }

    const Rectangle<float> rmsBox (8.0f, 27.0f, 160.0f, 12.0f);
    if (louder (m.outPeak) < kSignalFloor)
    {
        g.setColour (dim);
        g.drawText (juce::String::fromUTF8 ("RMS \xe2\x80\x94 dB"), rmsBox, juce::Justification::centredLeft, false);
    }
    else
    {
        const float mean = 0.5f * (m.outRms[0].load (std::memory_order_acquire) + m.outRms[1].load (std::memory_order_acquire));
        const float r = vyrMeter::toDb (mean);
        const auto number = r <= -70.0f ? juce::String::fromUTF8 ("\xe2\x88\x92\xe2\x88\x9e") : vyrMeter::oneDecimal (r);
        const Colour accent = T.accentColour();
        auto scale = [] (juce::uint8 v)
        { return (juce::uint8) (int) ((float) v * 0.78125f); };
        g.setColour (light ? Colour (scale (accent.getRed()), scale (accent.getGreen()), scale (accent.getBlue()), accent.getAlpha()) : accent);
        g.drawText ("RMS " + number + " dB", rmsBox, juce::Justification::centredLeft, false);
        if (louder (m.inPeak) >= kSignalFloor)
        {
            g.setColour (Colour (light ? 0xffb45309 : 0xccf59e0b));
            g.drawText (juce::String::fromUTF8 ("\xe2\x80\x94 DRY GHOST"), Rectangle<float> (W - 266.0f, 4.0f, 110.0f, 12.0f), juce::Justification::centredRight, false);
        }
    }

    const float values[] = { m.lufsMomentary.load (std::memory_order_acquire), m.lufsShort.load (std::memory_order_acquire),
                             m.lufsIntegrated.load (std::memory_order_acquire) };
    g.setFont (loudnessFont);
    for (int i = 0; i < 3; ++i)
    {
        g.setColour (loudnessColour (values[i]));
        g.drawText (loudnessText (values[i]), Rectangle<float> (W - 140.0f + 44.0f * (float) i, 46.0f, 36.0f, 14.0f), juce::Justification::centred, false);
    }
}

void OutputAnalyzerView::paintOverChildren (juce::Graphics& g)
{
    const auto& T = vyrTheme (processor.themeIndex);
    const bool light = T.light;
    const auto r = spectrumButton.getBounds().toFloat();
    const bool on = spectrumButton.getToggleState();
    if (on)
    {
        g.setColour (alpha (T.accent2Colour(), light ? 0x38 : 0x66));
        g.fillRoundedRectangle (r, 4.0f);
        g.setColour (light ? alpha (T.accent2Colour(), 0xb2) : T.accent2Colour());
        g.drawRoundedRectangle (r.reduced (0.5f), 4.0f, 1.0f);
        g.setColour (light ? inkLight : juce::Colours::white);
    }
    else
    {
        g.setColour (black (light ? 0x0f : 0x66));
        g.fillRoundedRectangle (r, 4.0f);
        g.setColour (light ? black (0x33) : white (0x1a));
        g.drawRoundedRectangle (r.reduced (0.5f), 4.0f, 1.0f);
        g.setColour (light ? dimInkLight : white (0x80));
    }
    g.setFont (juce::Font (9.0f, juce::Font::bold));
    g.drawText ("Spectrum", r, juce::Justification::centred, false);
}
