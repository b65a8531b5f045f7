// Painting of the EQ curve graph: body, grid, spectrum, references, curves, gain reduction,
// captions and band handles.
#include "Ui/EqEditor/EqGraph.h"

#include "Ui/EqEditor/EqBandPopup.h"
#include "Ui/Foundation/VyrPainting.h"

#include <cmath>

namespace
{
constexpr float kLg20 = 1.30103f;

juce::Font boldFont (float h) { return juce::Font (h, juce::Font::bold); }
juce::Colour white (juce::uint8 alpha) { return juce::Colours::white.withAlpha (alpha); }
float logPointFreq (int i, int count) { return std::pow (10.0f, (float) i / (float) (count - 1) * 3.0f + kLg20); }

juce::Path bodyOutline (float W, float H)
{
    juce::Path p;
    p.startNewSubPath (0.0f, H);
    p.lineTo (0.0f, 28.0f);
    p.lineTo (62.0f, 28.0f);
    p.cubicTo (70.0f, 28.0f, 70.0f, 0.0f, 86.0f, 0.0f);
    p.lineTo (W - 98.0f, 0.0f);
    p.cubicTo (W - 82.0f, 0.0f, W - 82.0f, 28.0f, W - 74.0f, 28.0f);
    p.lineTo (W, 28.0f);
    p.lineTo (W, H);
    p.closeSubPath();
    return p;
}

constexpr float kGridFreqs[10] = { 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000 };
}

void EqGraph::paint (juce::Graphics& g)
{
    const float W = (float) getWidth(), H = (float) getHeight();
    if (getWidth() <= 7 || getHeight() <= 7)
        return;

    const double sr = std::max (processor.hostSampleRate, 8000.0);

    // Body, grid, outline and captions change only with the size and the gain range: kept as an image.
    staticLayer.draw (g, getLocalBounds(), juce::jlimit (0, 2, state.gainRange), [this, W, H] (juce::Graphics& lg)
    {
        const auto& range = vyrEq::rangeOf (state.gainRange);
        const float R = range.range;
        const auto body = bodyOutline (W, H);
        {
            juce::Graphics::ScopedSaveState save (lg);
            lg.reduceClipRegion (body);
            lg.setGradientFill (juce::ColourGradient (juce::Colour (0x148b5cf6), 0.0f, 0.0f, juce::Colour (0x660a0a14), 0.0f, H, false));
            lg.fillPath (body);
            lg.setColour (white (0x0f));
            for (float f : kGridFreqs)
                lg.fillRect (juce::Rectangle<float> (xOf (f), 0.0f, 1.0f, H));
            for (float d = -R; d <= R + 0.01f; d += range.gridStep)
                lg.fillRect (juce::Rectangle<float> (0.0f, yOf (d), W, 1.0f));
            lg.setColour (white (0x2e));
            lg.fillRect (juce::Rectangle<float> (0.0f, yOf (0.0f), W, 1.0f));
        }
        lg.setColour (white (0x1a));
        lg.strokePath (body, juce::PathStrokeType (1.0f));
        paintCaptions (lg, W, H);
    });

    {
        // The live layers stay inside the body: below the notches' line and between the two notches
        // (a rectangle clip is far cheaper than the curved outline, and the live layers barely reach
        // the notches' curves).
        juce::Graphics::ScopedSaveState save (g);
        juce::RectangleList<int> inside (juce::Rectangle<int> (0, 28, getWidth(), getHeight() - 28));
        inside.addWithoutMerging (juce::Rectangle<int> (86, 0, std::max (getWidth() - 184, 0), 28));
        g.reduceClipRegion (inside);
        if (showSpectrum)
            paintSpectrum (g, W, H);
        paintCurves (g, W, H, sr);
        if (dynamic && state.enabled)
            paintReduction (g, W, sr);
    }

    paintHandles (g);

    spectrumButton.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0x668b5cf6));
    contourButton.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0x6622d3ee));
    pinkButton.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0x66f59e0b));
    for (auto* b : { &spectrumButton, &contourButton, &pinkButton })
    {
        b->setColour (juce::TextButton::buttonColourId, juce::Colours::black.withAlpha ((juce::uint8) 0x66));
        b->setColour (juce::TextButton::textColourOffId, juce::Colour (0xffd4d8de));
        b->setColour (juce::TextButton::textColourOnId, juce::Colours::white);
    }
}

void EqGraph::paintSpectrum (juce::Graphics& g, float W, float H)
{
    constexpr int bins = VyrMeterEngine::spectrumBins;
    {
        const juce::SpinLock::ScopedLockType lock (processor.meters.spectrumLock);
        std::copy (std::begin (processor.meters.spectrum), std::end (processor.meters.spectrum), spectrumCopy.begin());
    }
    const double sr = std::max (processor.hostSampleRate, 8000.0);
    const float nyq = (float) sr / 2.0f;
    const float binHz = nyq / (float) bins;
    const int w = getWidth();
    const auto rawFreq = [this] (int x) { return std::pow (10.0f, 3.0f * (float) x / (float) std::max (getWidth(), 1) + kLg20); };

    // One column per pixel: integer rectangles fill without building an edge table, which for a
    // jagged outline would hold hundreds of edges per line.
    columns.clear();
    for (int x = 0; x <= w; ++x)
    {
        const float f0 = rawFreq (x), f1 = rawFreq (std::min (x + 1, w));
        float v = 0.0f;
        if (nyq > 0.0f && f0 < nyq)
        {
            const float lo = std::max (std::min (f0, f1), binHz);
            const float hi = std::max (std::max (f0, f1), lo + 1.0e-6f);
            if (hi / binHz - lo / binHz > 1.0f)
            {
                const int a = juce::jlimit (1, bins - 1, (int) std::floor (lo / binHz));
                int b = std::min ((int) std::ceil (hi / binHz), bins);
                if (b <= a)
                    b = a + 1;
                for (int i = a; i < b; ++i)
                    v = std::max (v, spectrumCopy[(size_t) i]);
            }
            else
            {
                const float pos = juce::jlimit (1.0f, (float) bins - 1.001f, ((lo + hi) / 2.0f) / std::max (binHz, 1.0e-6f));
                const int i = (int) pos;
                const float t = pos - (float) i;
                v = spectrumCopy[(size_t) i] + t * (spectrumCopy[(size_t) std::min (i, bins - 2) + 1] - spectrumCopy[(size_t) i]);
            }
        }
        if (! std::isfinite (v))
            v = 0.0f;
        const float s = vyrEq::displayDb (v);
        const int top = (int) std::lround (H * (1.0f - 0.9f * juce::jlimit (0.0f, 1.0f, (s + 90.0f) / 90.0f)));
        if (top < getHeight())
            columns.addWithoutMerging ({ x, top, 1, getHeight() - top });
    }
    juce::ignoreUnused (W);
    g.setColour (juce::Colour (0x268b5cf6));
    g.fillRectList (columns);
}

void EqGraph::paintCurves (juce::Graphics& g, float W, float H, double sr)
{
    const float R = rangeDb();
    juce::ignoreUnused (H);

    if (showContour)
    {
        for (int i = 0; i < 3; ++i)
        {
            juce::Path p;
            for (int j = 0; j <= 90; ++j)
            {
                const float f = std::pow (10.0f, (float) j / 90.0f * 3.0f + kLg20);
                const juce::Point<float> pt (xOf (f), yOf (vyrEq::fmContourDb (f, 20.0f * (float) i)));
                j == 0 ? p.startNewSubPath (pt) : p.lineTo (pt);
            }
            g.setColour (juce::Colour (0x22d3ee).withAlpha ((juce::uint8) std::lround ((0.5 - 0.13 * i) * 255.0)));
            g.strokePath (p, juce::PathStrokeType (1.2f));
        }
        g.setFont (boldFont (8.0f));
        g.setColour (juce::Colour (0x8c22d3ee));
        g.drawText ("F-M", juce::Rectangle<float> (6.0f, 18.0f, 30.0f, 10.0f), juce::Justification::centredLeft, false);
    }

    if (showPink)
    {
        juce::Path line;
        line.startNewSubPath (0.0f, yOf (juce::jlimit (-R, R, vyrEq::kPinkAt20Hz)));
        line.lineTo (W, yOf (juce::jlimit (-R, R, vyrEq::kPinkAt20kHz)));
        juce::Path dashed;
        const float dashes[] = { 5.0f, 4.0f };
        juce::PathStrokeType (1.4f).createDashedStroke (dashed, line, dashes, 2);
        g.setColour (juce::Colour (0x80fbbf24));
        g.fillPath (dashed);
        g.setFont (boldFont (8.0f));
        g.setColour (juce::Colour (0x99fbbf24));
        g.drawText ("PINK -3dB/oct", juce::Rectangle<float> ((float) (int) W - 96.0f, 18.0f, 90.0f, 10.0f),
                    juce::Justification::centredRight, false);
    }

    const auto curvePath = [&] (const vyrEq::Channel& ch)
    {
        juce::Path p;
        for (int i = 0; i < 128; ++i)
        {
            const float f = logPointFreq (i, 128);
            const juce::Point<float> pt (xOf (f), yOf (vyrEq::displayDb (vyrEq::magAt (sr, ch, state.enabled, f))));
            i == 0 ? p.startNewSubPath (pt) : p.lineTo (pt);
        }
        return p;
    };

    if (state.msMode)
    {
        const auto other = curvePath (editsSide() ? state.main : state.side);
        juce::Path dashed;
        const float dashes[] = { 4.0f, 4.0f };
        juce::PathStrokeType (1.5f).createDashedStroke (dashed, other, dashes, 2);
        g.setColour (white (0x59));
        g.strokePath (dashed, juce::PathStrokeType (1.5f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
    }

    juce::Colour colour = state.msMode ? juce::Colour (editsSide() ? 0xff22d3ee : 0xfffbbf24)
                                       : juce::Colour (dynamic ? 0xff0d9488 : 0xff2563eb);
    if (! state.enabled)
        colour = juce::Colour (0x66a78bfa);
    const auto curve = curvePath (editedChannel());
    g.setColour (colour.withAlpha ((juce::uint8) 0x59));
    g.strokePath (curve, juce::PathStrokeType (8.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    g.setColour (colour);
    g.strokePath (curve, juce::PathStrokeType (2.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void EqGraph::paintReduction (juce::Graphics& g, float, double sr)
{
    const float R = rangeDb();
    const auto& ch = editedChannel();
    const int mids = juce::jlimit (0, 6, ch.midCount);
    for (int k = 0; k <= mids + 1 && k < VyrDynamicEQ::kPositions; ++k)
    {
        const float r = processor.liveChain.dynamicEq.grMeter[k].load (std::memory_order_acquire);
        if (! (r > 0.05f))
            continue;
        const auto id = vyrEq::bandIdAt (k, mids);
        const auto* b = vyrEq::bandOf (ch, id);
        if (b == nullptr)
            continue;
        const float fc = std::max (b->freq, 20.0f);
        const float gainDb = r >= 100.0f ? -200.0f : -r;

        juce::Path top, reduced;
        juce::Array<juce::Point<float>> lower;
        for (int i = 0; i < 80; ++i)
        {
            const float f = logPointFreq (i, 80);
            const float t = juce::jlimit (-R, R, vyrEq::displayDb (vyrEq::magAt (sr, ch, true, f)));
            const double m = k == 0 ? vyrEq::lowShelfMag (sr, fc, gainDb, f)
                                    : (k == mids + 1 ? vyrEq::highShelfMag (sr, fc, gainDb, f) : vyrEq::peakMag (sr, fc, gainDb, b->q, f));
            const float red = juce::jlimit (-R, R, t + vyrEq::displayDb (m));
            const float x = xOf (f);
            i == 0 ? top.startNewSubPath (x, yOf (t)) : top.lineTo (x, yOf (t));
            i == 0 ? reduced.startNewSubPath (x, yOf (red)) : reduced.lineTo (x, yOf (red));
            lower.add ({ x, yOf (red) });
        }
        for (int i = lower.size(); --i >= 0;)
            top.lineTo (lower[i]);
        top.closeSubPath();
        const auto bc = vyrEq::bandColour (id);
        g.setColour (bc.withAlpha ((juce::uint8) 0x47));
        g.fillPath (top);
        g.setColour (bc.withAlpha ((juce::uint8) 0x66));
        g.strokePath (reduced, juce::PathStrokeType (5.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
        g.setColour (bc);
        g.strokePath (reduced, juce::PathStrokeType (1.8f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    }
}

void EqGraph::paintCaptions (juce::Graphics& g, float, float H)
{
    g.setFont (boldFont (8.0f));
    g.setColour (white (0x8c));
    for (float f : kGridFreqs)
    {
        const auto text = f >= 1000.0f ? juce::String ((int) (f / 1000.0f)) + "k" : juce::String ((int) f);
        g.drawText (text, juce::Rectangle<int> ((int) xOf (f) - 16, (int) H - 12, 32, 10), juce::Justification::centred, false);
    }
    const auto& range = vyrEq::rangeOf (state.gainRange);
    for (float d = -range.range; d <= range.range + 0.01f; d += range.labelStep)
    {
        const float y = yOf (d);
        if (y < 34.0f)
            continue;
        const int whole = (int) std::lround (d);
        const auto text = whole > 0 ? "+" + juce::String (whole) : juce::String (whole);
        g.drawText (text, juce::Rectangle<int> (3, (int) y - 6, 28, 12), juce::Justification::centredLeft, false);
    }
}

void EqGraph::paintHandles (juce::Graphics& g)
{
    const auto& ch = editedChannel();
    const int mids = juce::jlimit (0, 6, ch.midCount);
    for (int k = 0; k <= mids + 1; ++k)
    {
        const auto id = vyrEq::bandIdAt (k, mids);
        const auto* b = vyrEq::bandOf (ch, id);
        if (b == nullptr)
            continue;
        const auto h = handleOf (id);
        const auto bc = vyrEq::bandColour (id);
        const auto ring = [&] (float radius, float thickness, juce::Colour c)
        {
            g.setColour (c);
            g.drawEllipse (h.x - radius, h.y - radius, 2.0f * radius, 2.0f * radius, thickness);
        };
        const auto disc = [&] (juce::Point<float> c, float radius, juce::Colour colour)
        {
            g.setColour (colour);
            g.fillEllipse (c.x - radius, c.y - radius, 2.0f * radius, 2.0f * radius);
        };

        if (dynamic && b->sat)
            ring (9.0f, 2.0f, juce::Colour (0x8cfb923c));
        if (b->solo)
            ring (10.0f, 1.5f, bc);
        const bool selected = id == selectedId;
        if (selected)
        {
            ring (12.0f, 2.0f, bc);
            ring (16.0f, 1.0f, bc.withAlpha ((juce::uint8) 0x54));
            if (vyrEq::isMidId (id))
            {
                const float E = juce::jlimit (12.0f, 60.0f, 60.0f - 8.0f * b->q);
                g.setColour (white (0x80));
                g.drawLine (h.x - E, h.y, h.x + E, h.y, 1.0f);
                for (float ex : { h.x - E, h.x + E })
                {
                    disc ({ ex, h.y }, 3.2f, bc);
                    g.setColour (white (0xd9));
                    g.drawEllipse (ex - 3.2f, h.y - 3.2f, 6.4f, 6.4f, 1.0f);
                }
            }
            juce::Path tri;
            tri.addTriangle (h.x - 3.0f, h.y + 9.0f, h.x + 3.0f, h.y + 9.0f, h.x, h.y + 13.0f);
            g.setColour (white (0xbf));
            g.fillPath (tri);
        }
        g.setOpacity (1.0f);
        const float opacity = b->on ? 1.0f : 0.3f;
        const float J = (selected || id == dragId) ? 7.0f : 5.0f;
        disc (h, J + 4.0f, bc.withAlpha ((juce::uint8) 0x73).withMultipliedAlpha (opacity));
        disc (h, J, bc.withMultipliedAlpha (opacity));
        g.setColour (white (0xcc).withMultipliedAlpha (opacity));
        g.drawEllipse (h.x - J, h.y - J, 2.0f * J, 2.0f * J, 1.5f);
    }
}
