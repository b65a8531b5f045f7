#include "Ui/ModulePanels/MbcGraph.h"

#include "Core/PluginProcessor.h"

#include <cmath>

namespace
{
using juce::Colour;
using F = juce::Rectangle<float>;

const vyrMbc::Band& editedBand (const vyrMbc::State& s, int k)
{
    const bool side = s.msMode && s.msChannel == 1;
    return side ? s.side[juce::jlimit (0, 4, k)] : s.mid[juce::jlimit (0, 4, k)];
}

float centreOf (const vyrMbc::State& s, int k) { return std::sqrt (vyrMbc::bandLo (s, k) * vyrMbc::bandHi (s, k)); }

float roundHalfAway (float v) { return v < 0.0f ? -std::floor (-v + 0.5f) : std::floor (v + 0.5f); }
}

MbcGraph::MbcGraph (VyrAudioProcessor& p) : processor (p)
{
    setMouseCursor (juce::MouseCursor::CrosshairCursor);
    startTimer (33);
}

MbcGraph::~MbcGraph()
{
    stopTimer();
    drag.reset();
}

void MbcGraph::timerCallback()
{
    if (! vyrPanel::showing (*this))
        return;
    // The graph changes with the parameters and, while the module runs, with the band reductions.
    vyrMbc::State s;
    vyrMbc::loadState (processor.apvts, s);
    const bool side = s.msMode && s.msChannel == 1;
    juce::String now;
    now << (int) s.enabled << s.bandCount << (int) side << "|" << dragKind << dragIndex << hoverKind << hoverIndex;
    for (int k = 0; k < 4; ++k)
        now << "|" << s.xover[k];
    for (int k = 0; k < 5; ++k)
    {
        const auto& b = side ? s.side[k] : s.mid[k];
        now << "|" << b.thresh << "," << b.makeup;
        if (s.enabled)
            now << "," << juce::roundToInt (10.0f * processor.liveChain.multiBandComp.bandGr[k].load (std::memory_order_acquire));
    }
    if (shown.changed (now))
        repaint();
}

float MbcGraph::makeupScale (float m) noexcept { return m > 0.0f ? (std::log10 (juce::jmax (m, 0.1f)) + 1.0f) / 2.3802114f : 0.0f; }

juce::String MbcGraph::bandParam (const vyrMbc::State& s, int band, const char* name) const
{
    const bool side = s.msMode && s.msChannel == 1;
    return juce::String ("multiBandComp_") + (side ? "s_" : "") + "b" + juce::String (band) + name;
}

int MbcGraph::bandAt (const vyrMbc::State& s, float x) const
{
    const float W = (float) getWidth();
    int best = -1;
    float bestDistance = 0.0f;
    for (int k = 0; k < vyrMbc::bandsShown (s); ++k)
    {
        const float x1 = k == 0 ? 0.0f : vyrMbc::freqToX (vyrMbc::bandLo (s, k), W), x2 = vyrMbc::freqToX (vyrMbc::bandHi (s, k), W);
        if (x < x1 || x > x2)
            continue;
        const float d = std::abs (x - vyrMbc::freqToX (centreOf (s, k), W));
        if (best < 0 || d < bestDistance)
            best = k, bestDistance = d;
    }
    return best;
}

MbcGraph::Target MbcGraph::findTarget (const vyrMbc::State& s, float x, float y) const
{
    const float W = (float) getWidth(), H = (float) getHeight();
    const int n = vyrMbc::bandsShown (s);
    if (y >= H - 70.0f)
        if (const int k = bandAt (s, x); k >= 0)
            return { makeup, k };

    Target best;
    float bestDistance = 0.0f;
    auto consider = [&] (int kind, int index, float distance, float limit) {
        if (distance <= limit && (best.kind == none || distance < bestDistance))
            best = { kind, index }, bestDistance = distance;
    };
    for (int i = 0; i < n - 1; ++i)
        consider (crossover, i, juce::Point<float> (x, y).getDistanceFrom ({ vyrMbc::freqToX (s.xover[i], W), H / 2.0f }), 14.0f);
    if (best.kind != none)
        return best;
    for (int k = 0; k < n; ++k)
        consider (threshold, k,
                  juce::Point<float> (x, y).getDistanceFrom ({ vyrMbc::freqToX (centreOf (s, k), W), vyrMbc::thresholdToY (editedBand (s, k).thresh, H) }),
                  14.0f);
    if (best.kind != none)
        return best;
    for (int i = 0; i < n - 1; ++i)
        consider (crossover, i, std::abs (x - vyrMbc::freqToX (s.xover[i], W)), 8.0f);
    if (best.kind != none)
        return best;
    for (int k = 0; k < n; ++k)
    {
        const float x1 = k == 0 ? 0.0f : vyrMbc::freqToX (vyrMbc::bandLo (s, k), W), x2 = vyrMbc::freqToX (vyrMbc::bandHi (s, k), W);
        if (x >= x1 && x <= x2)
            consider (threshold, k, std::abs (y - vyrMbc::thresholdToY (editedBand (s, k).thresh, H)), 8.0f);
    }
    return best;
}

void MbcGraph::hit (juce::Point<float> p, bool hoverOnly)
{
    vyrMbc::State s;
    vyrMbc::loadState (processor.apvts, s);
    const auto target = findTarget (s, p.x, p.y);
    const auto cursor = target.kind == crossover ? juce::MouseCursor::LeftRightResizeCursor
                        : target.kind == none    ? juce::MouseCursor::CrosshairCursor
                                                 : juce::MouseCursor::UpDownResizeCursor;
    if (hoverOnly)
    {
        hoverKind = target.kind, hoverIndex = target.index;
        setMouseCursor (cursor);
        return;
    }
    if (const int k = bandAt (s, p.x); k >= 0)
        selectedBand = k;
    if (onBandSelected)
        onBandSelected (selectedBand);
    dragKind = target.kind, dragIndex = target.index;
    if (target.kind != none)
    {
        setMouseCursor (cursor);
        drag = std::make_unique<vyrPanel::GestureSpan> (processor.apvts);
    }
}

void MbcGraph::mouseMove (const juce::MouseEvent& e)
{
    if (dragKind == none)
        hit (e.position, true);
    repaint();
}

void MbcGraph::mouseExit (const juce::MouseEvent&)
{
    hoverKind = none;
    setMouseCursor (juce::MouseCursor::CrosshairCursor);
    repaint();
}

void MbcGraph::mouseDown (const juce::MouseEvent& e) { hit (e.position, false); }

void MbcGraph::mouseUp (const juce::MouseEvent&)
{
    drag.reset();
    dragKind = hoverKind = none;
    setMouseCursor (juce::MouseCursor::CrosshairCursor);
    repaint();
}

void MbcGraph::mouseDrag (const juce::MouseEvent& e)
{
    if (dragKind == none || drag == nullptr)
        return;
    vyrMbc::State s;
    vyrMbc::loadState (processor.apvts, s);
    const float W = (float) getWidth(), H = (float) getHeight();
    const float x = (float) e.x, y = (float) e.y;
    if (dragKind == crossover)
    {
        const int i = dragIndex, last = juce::jmax (vyrMbc::bandsShown (s), 1) - 2;
        float f = std::round (std::pow (10.0f, 1.4771212f + 2.778151f * juce::jlimit (0.0f, W, x) / juce::jmax (W, 1.0f)));
        const float lower = i == 0 ? 34.5f : 1.15f * s.xover[i - 1];
        const float upper = i >= last ? 18000.0f / 1.15f : s.xover[juce::jmin (i + 1, 3)] / 1.15f;
        f = f < lower ? lower : juce::jmin (f, upper);
        drag->write ("multiBandComp_x" + juce::String (i), std::round (f));
    }
    else if (dragKind == threshold)
    {
        const float db = (1.0f - juce::jlimit (0.0f, H, y) / juce::jmax (H, 1.0f)) * 60.0f - 60.0f;
        const float v = db > 0.0f ? 0.0f : (db < -60.0f ? -600.0f : 10.0f * db);
        drag->write (bandParam (s, dragIndex, "Thresh"), roundHalfAway (v) * 0.1f);
    }
    else if (dragKind == makeup)
    {
        const float t = juce::jlimit (0.0f, 1.0f, ((H - 3.0f) - juce::jlimit (H - 70.0f, H - 3.0f, y)) / 67.0f);
        const float db = t <= 0.0f ? 0.0f : roundHalfAway (std::pow (10.0f, 2.3802114f * t - 1.0f) / 0.1f) * 0.1f;
        drag->write (bandParam (s, dragIndex, "Makeup"), db);
    }
    repaint();
}

//==============================================================================
void MbcGraph::paint (juce::Graphics& g)
{
    const float W = (float) getWidth(), H = (float) getHeight();
    if (W < 8.0f || H < 8.0f)
        return;
    vyrMbc::State s;
    vyrMbc::loadState (processor.apvts, s);

    juce::Path clip;
    clip.addRoundedRectangle (0.0f, 0.0f, W, H, 8.0f);
    juce::String key;
    key << s.bandCount;
    for (float x : s.xover)
        key << "|" << x;
    if (key != backdropKey)
        backdrop.invalidate(), backdropKey = key;
    backdrop.draw (g, getLocalBounds(), 0, [&] (juce::Graphics& ig) {
        ig.setColour (Colour (0x8c080a10));
        ig.fillPath (clip);
        ig.reduceClipRegion (clip);
        ig.setColour (Colour (0x0dffffff));
        for (float q : vyrMbc::kGridFractions)
            ig.fillRect (q * W, 0.0f, 1.0f, H);
        for (float q : { 1.0f, 0.8f, 0.6f, 0.4f, 0.2f, 0.0f })
            ig.fillRect (0.0f, q * H, W, 1.0f);
        ig.setColour (Colour (0x29ffffff));
        ig.fillRect (0.0f, 0.0f, W, 1.0f);
        paintBands (ig, s);
    });
    juce::Graphics::ScopedSaveState save (g);
    g.reduceClipRegion (clip);
    if (s.enabled)
        paintReduction (g, s);
    paintCrossovers (g, s);
    paintThresholds (g, s);
    paintMakeups (g, s);
}

void MbcGraph::paintBands (juce::Graphics& g, const vyrMbc::State& s)
{
    const float W = (float) getWidth(), H = (float) getHeight();
    for (int k = 0; k < vyrMbc::bandsShown (s); ++k)
    {
        const auto bc = vyrMbc::bandColour (k);
        const float x1 = vyrMbc::freqToX (vyrMbc::bandLo (s, k), W), x2 = vyrMbc::freqToX (vyrMbc::bandHi (s, k), W);
        juce::ColourGradient tint (bc.withAlpha ((juce::uint8) 0x14), x1, 0.0f, bc.withAlpha ((juce::uint8) 0x14), juce::jmax (x2, x1 + 1.0f), 0.0f, false);
        tint.addColour (0.5, bc.withAlpha ((juce::uint8) 0x2e));
        g.setGradientFill (tint);
        g.fillRect (x1, 0.0f, juce::jmax (x2 - x1, 1.0f), H);
        g.setColour (bc.withAlpha ((juce::uint8) 0xcc));
        g.setFont (vyrPanel::font (9.0f, true));
        g.drawText ("B" + juce::String (k + 1), juce::Rectangle<int> ((int) ((x1 + x2) / 2.0f) - 12, 2, 24, 12), juce::Justification::centred, false);
    }
}

void MbcGraph::paintReduction (juce::Graphics& g, const vyrMbc::State& s)
{
    const float W = (float) getWidth(), H = (float) getHeight();
    auto& engine = processor.liveChain.multiBandComp;
    for (int k = 0; k < vyrMbc::bandsShown (s); ++k)
    {
        const float gr = engine.bandGr[k].load (std::memory_order_acquire);
        if (! (gr >= 0.01f))
            continue;
        const auto bc = vyrMbc::bandColour (k);
        const float x1 = vyrMbc::freqToX (vyrMbc::bandLo (s, k), W), x2 = vyrMbc::freqToX (vyrMbc::bandHi (s, k), W);
        const float y1 = vyrMbc::thresholdToY (editedBand (s, k).thresh, H), y2 = juce::jmin (y1 + gr * H / 60.0f, H);
        const float w = juce::jmax (x2 - x1 - 4.0f, 1.0f);
        g.setGradientFill (juce::ColourGradient (bc.withAlpha ((juce::uint8) 0xcc), 0.0f, y1, bc.withAlpha ((juce::uint8) 0x20), 0.0f, juce::jmax (y2, y1 + 1.0f), false));
        g.fillRect (x1 + 2.0f, y1, w, juce::jmax (y2 - y1, 1.0f));
        g.setColour (bc);
        g.fillRect (x1 + 2.0f, y2 - 1.0f, w, 1.5f);
        g.setFont (vyrPanel::font (8.0f, true));
        g.drawText (juce::String (juce::CharPointer_UTF8 ("\xe2\x88\x92")) + juce::String (gr, 1),
                    juce::Rectangle<int> ((int) ((x1 + x2) / 2.0f) - 16, (int) juce::jmin (H - 12.0f, y2 + 2.0f), 32, 10),
                    juce::Justification::centred, false);
    }
}

void MbcGraph::paintCrossovers (juce::Graphics& g, const vyrMbc::State& s)
{
    const float W = (float) getWidth(), H = (float) getHeight();
    const int n = vyrMbc::bandsShown (s);
    for (int i = 0; i < n - 1; ++i)
    {
        const float x = vyrMbc::freqToX (s.xover[i], W);
        const bool dragged = dragKind == crossover && dragIndex == i, hovered = hoverKind == crossover && hoverIndex == i;
        const float lw = dragged || hovered ? 2.0f : 1.2f, r = dragged ? 7.0f : 5.0f;
        g.setColour (Colour (dragged || hovered ? 0xf2ffffff : 0x8cffffff));
        g.fillRect (x - lw / 2.0f, 0.0f, lw, H);
        g.setColour (juce::Colours::white);
        g.fillEllipse (x - r, H / 2.0f - r, 2.0f * r, 2.0f * r);
        g.setColour (Colour (0xff4ade80));
        g.drawEllipse (x - r, H / 2.0f - r, 2.0f * r, 2.0f * r, 2.0f);
        g.setColour (Colour (0xd9ffffff));
        g.setFont (vyrPanel::font (8.0f, true));
        g.drawText (vyrMbc::crossoverCaption (s.xover[i]), juce::Rectangle<int> ((int) x - 22, (int) H - 12, 44, 10), juce::Justification::centred, false);
    }
}

void MbcGraph::paintThresholds (juce::Graphics& g, const vyrMbc::State& s)
{
    const float W = (float) getWidth(), H = (float) getHeight();
    for (int k = 0; k < vyrMbc::bandsShown (s); ++k)
    {
        const auto bc = vyrMbc::bandColour (k);
        const float thresh = editedBand (s, k).thresh;
        const float y = vyrMbc::thresholdToY (thresh, H), xc = vyrMbc::freqToX (centreOf (s, k), W);
        const bool dragged = dragKind == threshold && dragIndex == k, hovered = hoverKind == threshold && hoverIndex == k;
        const float r = dragged ? 7.0f : (hovered ? 6.0f : 5.0f);
        g.setColour (dragged ? bc : bc.withAlpha ((juce::uint8) 0xaa));
        const float lw = dragged ? 2.0f : 1.0f;
        const float x1 = vyrMbc::freqToX (vyrMbc::bandLo (s, k), W), x2 = vyrMbc::freqToX (vyrMbc::bandHi (s, k), W);
        g.fillRect (x1, y - lw / 2.0f, x2 - x1, lw);
        g.setColour (bc.withAlpha ((juce::uint8) 0x73));
        g.fillEllipse (xc - r - 3.0f, y - r - 3.0f, 2.0f * (r + 3.0f), 2.0f * (r + 3.0f));
        g.setColour (bc);
        g.fillEllipse (xc - r, y - r, 2.0f * r, 2.0f * r);
        g.setColour (juce::Colours::white);
        g.drawEllipse (xc - r, y - r, 2.0f * r, 2.0f * r, 1.2f);
        g.setColour (bc);
        g.setFont (vyrPanel::font (8.0f, true));
        g.drawText (juce::String (juce::roundToInt (thresh)), juce::Rectangle<int> ((int) xc - 16, (int) y - 18, 32, 10), juce::Justification::centred, false);
    }
}

void MbcGraph::paintMakeups (juce::Graphics& g, const vyrMbc::State& s)
{
    const float W = (float) getWidth(), H = (float) getHeight();
    for (int k = 0; k < vyrMbc::bandsShown (s); ++k)
    {
        const auto bc = vyrMbc::bandColour (k);
        const float m = juce::jlimit (0.0f, 24.0f, editedBand (s, k).makeup);
        const float y = (H - 3.0f) - 67.0f * makeupScale (m);
        const float x1 = vyrMbc::freqToX (vyrMbc::bandLo (s, k), W), x2 = vyrMbc::freqToX (vyrMbc::bandHi (s, k), W);
        const float xc = vyrMbc::freqToX (centreOf (s, k), W), w = juce::jmax (x2 - x1, 1.0f);
        const bool lit = (dragKind == makeup && dragIndex == k) || (hoverKind == makeup && hoverIndex == k);
        if (m > 0.0f)
        {
            g.setGradientFill (juce::ColourGradient (bc.withAlpha ((juce::uint8) 0x14), 0.0f, H - 70.0f, bc.withAlpha ((juce::uint8) (lit ? 0x99 : 0x66)), 0.0f, H - 3.0f, false));
            g.fillRect (x1, y, w, (H - 3.0f) - y);
        }
        g.setColour (lit ? bc : bc.withAlpha ((juce::uint8) 0xdd));
        g.fillRect (x1, y - 1.5f, w, 3.0f);
        const F grip (xc - 6.0f, y - 3.5f, 12.0f, 7.0f);
        g.setColour (bc);
        g.fillRoundedRectangle (grip, 1.5f);
        g.setColour (juce::Colours::white);
        g.drawRoundedRectangle (grip, 1.5f, 1.0f);
        g.setColour (Colour (0xccffffff));
        for (float dx : { -2.5f, 0.0f, 2.5f })
            g.fillRect (xc + dx - 0.5f, y - 2.5f, 1.0f, 5.0f);
        if (m > 0.0f)
        {
            g.setColour (bc);
            g.setFont (vyrPanel::font (8.0f, true));
            g.drawText ("+" + juce::String (m, 1), juce::Rectangle<int> ((int) xc - 18, (int) (y - 3.5f - 11.0f), 36, 10), juce::Justification::centred, false);
        }
    }
}
