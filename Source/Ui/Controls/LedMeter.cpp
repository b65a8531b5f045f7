#include "Ui/Controls/LedMeter.h"

#include "Ui/Foundation/VyrTheme.h"

using juce::Colour;
using juce::Rectangle;

namespace
{
constexpr float kMarkerFallDbPerSecond = 0.55f / 0.033f; // 0.55 dB per 33 ms frame
constexpr double kMaxPauseSeconds = 0.25;                // a hidden meter resumes as after 0.25 s

float load (std::atomic<float>* a, float fallback) noexcept
{
    return a != nullptr ? a->load (std::memory_order_acquire) : fallback;
}

struct Inks
{
    Colour base, caption, label, readout, housingLine, plateFill, plateLine, plateHighlight;
};

Inks inksFor (int themeId)
{
    const auto& r = vyrTheme (themeId);
    const auto accent = r.accentColour();
    if (r.light)
    {
        const Colour base = r.panelBottomColour();
        return { base, Colour (0xff2f4639), Colour (0xff2f4639), Colour (0xff1a1a1a), accent.withAlpha ((juce::uint8) 0x52),
                 base.withAlpha ((juce::uint8) 0xeb), accent.withAlpha ((juce::uint8) 0x47), juce::Colours::white.withAlpha ((juce::uint8) 0x59) };
    }
    const Colour base = vyrMeter::darkBase (r.id);
    return { base, accent.withAlpha ((juce::uint8) 0xbf), Colour (0xffd0dae6), Colour (0xffeef3f8), accent.withAlpha ((juce::uint8) 0x38),
             base.withAlpha ((juce::uint8) 0xe0), accent.withAlpha ((juce::uint8) 0x38), juce::Colours::white.withAlpha ((juce::uint8) 0x0f) };
}

Rectangle<int> whole (float x, float y, float w, float h)
{
    return { juce::roundToInt (x), juce::roundToInt (y), juce::roundToInt (w), juce::roundToInt (h) };
}
}

LedMeter::LedMeter (std::atomic<float>* pL, std::atomic<float>* pR, std::atomic<float>* rL, std::atomic<float>* rR)
    : peakL (pL)
    , peakR (pR)
    , rmsL (rL)
    , rmsR (rR)
{
    setOpaque (false);
    setPaintingIsUnclipped (true); // glows may spill over the edge
    startTimer (33);
}

LedMeter::~LedMeter()
{
    title = {};
    stopTimer();
}

void LedMeter::timerCallback()
{
    if (! vyrVisibleInScroll (*this))
        return;
    if (const auto area = areaToRepaint(); ! area.isEmpty())
        repaint (area);
}

juce::Rectangle<int> LedMeter::areaToRepaint() const
{
    if (! needsRepaint())
        return {};
    // The bars move towards the new readings; a falling marker can go as far down as them.
    float v[2];
    readings (v[0], v[1]);
    const float shownLevels[2] { lastShown.vL, lastShown.vR };
    return changedArea (shownLevels, levelDb, v, v, shown (v[0], v[1]));
}

juce::Rectangle<int> LedMeter::changedArea (const float (&from)[2], const float (&markerFrom)[2], const float (&to)[2],
                                            const float (&markerTo)[2], const Shown& now) const
{
    auto same = now;
    same.vL = lastShown.vL;
    same.vR = lastShown.vR;
    if (! painted || ! vertical || ! (same == lastShown))
        return getLocalBounds();

    int lowest = 0, n = 0;
    vyrMeter::segmentRange (meteringMode, lowest, n);
    Rectangle<int> area;
    for (int c = 0; c < 2; ++c)
    {
        const float lo = std::min ({ from[c], markerFrom[c], to[c], markerTo[c] });
        const float hi = std::max ({ from[c], markerFrom[c], to[c], markerTo[c] });
        if (! (lo == lo) || ! (hi == hi)) // a NaN reading: no range to trust
            return getLocalBounds();
        if (showPeakText)
            area = area.getUnion (readoutArea[c]);
        if (from[c] == to[c] && markerFrom[c] == markerTo[c])
            continue;
        // A segment lights at its threshold and the marker sits on the highest one below its level:
        // every segment from the one below the range's bottom to the one at its top may change.
        const int first = juce::jlimit (0, n - 1, (int) std::floor (juce::jmax (lo, -1000.0f)) - lowest);
        const int last = juce::jlimit (0, n - 1, (int) std::ceil (juce::jmin (hi, 1000.0f)) - lowest);
        const auto inner = vyrMeter::ledRowInner (barArea[c]);
        const auto span = vyrMeter::segmentRect (inner, first, n, true).getUnion (vyrMeter::segmentRect (inner, last, n, true));
        area = area.getUnion (span.expanded (4.0f).getSmallestIntegerContainer()); // glows and the marker's edge
    }
    return area.isEmpty() ? getLocalBounds() : area;
}

void LedMeter::readings (float& vL, float& vR) const
{
    const float pkL = load (peakL, 0.0f), pkR = load (peakR, 0.0f);
    if (meteringMode >= 1 && meteringMode <= 3)
    {
        const float k = (float) vyrMeter::kNumber (meteringMode);
        vL = k + vyrMeter::toDb (load (rmsL, pkL));
        vR = k + vyrMeter::toDb (load (rmsR, pkR));
    }
    else
    {
        vL = vyrMeter::toDb (pkL);
        vR = vyrMeter::toDb (pkR);
    }
}

LedMeter::Shown LedMeter::shown (float vL, float vR) const
{
    const int flags = (vertical ? 1 : 0) | (compact ? 2 : 0) | (showScale ? 4 : 0) | (showPeakText ? 8 : 0) | (housing ? 16 : 0) | (transparent ? 32 : 0);
    return { vL, vR, meteringMode, themeId, barWidth, getWidth(), getHeight(), flags, title };
}

bool LedMeter::needsRepaint() const
{
    if (! painted)
        return true;
    float v[2];
    readings (v[0], v[1]);
    if (! (shown (v[0], v[1]) == lastShown))
        return true;
    for (int c = 0; c < 2; ++c)
    {
        if (levelDb[c] > v[c] + 0.001f) // the marker is still falling
            return true;
        const float held = peakHold[c].hold.held;
        if (vertical && showPeakText && held > -120.0f && held > v[c] + 0.001f) // the readout holds or falls
            return true;
    }
    return false;
}

void LedMeter::advance (float vL, float vR)
{
    const double now = clock();
    double elapsed = lastPaintMs > 0.0 ? (now - lastPaintMs) / 1000.0 : 1.0 / 30.0;
    if (! (elapsed > 0.0))
        elapsed = 0.0;
    elapsed = juce::jmin (elapsed, kMaxPauseSeconds);
    lastPaintMs = now;

    const float fall = kMarkerFallDbPerSecond * (float) elapsed;
    levelDb[0] = juce::jmax (vL, levelDb[0] - fall);
    levelDb[1] = juce::jmax (vR, levelDb[1] - fall);

    if (vertical && showPeakText)
    {
        peakHold[0].update (vL, now, kMaxPauseSeconds);
        peakHold[1].update (vR, now, kMaxPauseSeconds);
    }
}

void LedMeter::paint (juce::Graphics& g)
{
    const auto inks = inksFor (themeId);
    float W = (float) getWidth(), H = (float) getHeight();

    // Its own bounds, not the clip: painting is unclipped, so the clip may be the parent's.
    if (! transparent)
    {
        g.setColour (inks.base);
        g.fillRect (getLocalBounds());
    }

    float D = 0.0f;
    if (housing && ! compact && ! transparent)
    {
        g.setColour (inks.base);
        g.fillRoundedRectangle (0.0f, 0.0f, W, H, 12.0f);
        g.setColour (inks.housingLine);
        g.drawRoundedRectangle (0.0f, 0.0f, W, H, 12.0f, 1.0f);
        D = 8.0f;
        W = juce::jmax (W - 16.0f, 0.0f);
        H = juce::jmax (H - 16.0f, 0.0f);
    }

    const float m = compact ? 2.0f : 4.0f;
    if (compact && ! transparent)
    {
        const Rectangle<float> plate (D + 0.5f, D + 0.5f, juce::jmax (W - 1.0f, 0.0f), juce::jmax (H - 1.0f, 0.0f));
        g.setColour (inks.plateFill);
        g.fillRoundedRectangle (plate, 6.0f);
        g.setColour (inks.plateLine);
        g.drawRoundedRectangle (plate, 6.0f, 1.0f);
        if (W - 8.0f > 0.0f)
        {
            g.setColour (inks.plateHighlight);
            g.fillRect (D + 4.0f, (float) (int) (D + 1.5f), W - 8.0f, 1.0f);
        }
    }

    const float cx = D + m, cw = juce::jmax (W - 2.0f * m, 0.0f);
    float cy = D + m, ch = juce::jmax (H - 2.0f * m, 0.0f);

    if (title.isNotEmpty())
    {
        g.setFont (juce::Font (compact ? 8.5f : 9.0f, juce::Font::plain).withExtraKerningFactor (0.14f));
        g.setColour (inks.caption);
        const float th = juce::jmin (compact ? 11.0f : 12.0f, ch);
        g.drawText (title, whole (cx, cy, cw, th), juce::Justification::centred, true);
        cy += th;
        ch -= th;
    }

    // Fresh readings in the mode's units.
    const int mode = meteringMode;
    float vL, vR;
    readings (vL, vR);
    const float fromLevel[2] { lastShown.vL, lastShown.vR }, fromMarker[2] { levelDb[0], levelDb[1] };
    const bool wasPainted = painted;
    const auto now = shown (vL, vR);
    advance (vL, vR);

    if (! vertical)
    {
        lastShown = now;
        painted = true;
        const float half = ch / 2.0f;
        paintRow (g, { cx, cy + 2.0f, cw, juce::jmax (half - 4.0f, 0.0f) }, "L", vL, levelDb[0], inks.label);
        paintRow (g, { cx, cy + half + 2.0f, cw, juce::jmax (ch - half - 4.0f, 0.0f) }, "R", vR, levelDb[1], inks.label);
        return;
    }

    const float sw = juce::jmin (showScale ? (compact ? 16.0f : 24.0f) : 0.0f, cw);
    const float bw = barWidth >= 1 ? (float) barWidth : (compact ? 10.0f : 14.0f);
    const float gap = compact ? 4.0f : 8.0f;
    const float pw = 2.0f * bw + gap;
    const float lx = cx + (cw - sw - pw) / 2.0f;
    const float rx = lx + bw + gap;

    if (showPeakText)
    {
        const float rh = placeReadouts (cx, cy, cw - sw, ch, lx, rx, bw);
        g.setFont (readoutFont());
        g.setColour (inks.readout);
        g.drawFittedText (vyrMeter::dbText (peakHold[0].hold.held), readoutArea[0], juce::Justification::centred, 1);
        g.drawFittedText (vyrMeter::dbText (peakHold[1].hold.held), readoutArea[1], juce::Justification::centred, 1);
        cy += rh;
        ch -= rh;
    }

    const float lh = juce::jmin (ch, compact ? 11.0f : 12.0f);
    const float bh = ch - lh;

    // The timer repaints only the segments it saw move. When the readings moved on since then
    // beyond what this paint covers, the rest follows in the next frame.
    barArea[0] = { lx, cy, bw, bh };
    barArea[1] = { rx, cy, bw, bh };
    if (wasPainted)
    {
        const float toLevel[2] { vL, vR };
        const auto needed = changedArea (fromLevel, fromMarker, toLevel, levelDb, now);
        if (! g.getClipBounds().contains (needed))
            repaint (needed);
    }
    lastShown = now;
    painted = true;
    vyrMeter::paintLedRow (g, { lx, cy, bw, bh }, vL, mode, true, levelDb[0]);
    vyrMeter::paintLedRow (g, { rx, cy, bw, bh }, vR, mode, true, levelDb[1]);

    g.setFont (juce::Font (compact ? 8.0f : 9.0f, juce::Font::plain));
    g.setColour (inks.label);
    g.drawText ("L", whole (lx, cy + ch - lh, bw, lh), juce::Justification::centred, false);
    g.drawText ("R", whole (rx, cy + ch - lh, bw, lh), juce::Justification::centred, false);

    if (showScale)
        vyrMeter::paintVScale (g, { cx + cw - sw, cy, sw, ch - lh }, { lx, cy, bw, bh }, mode, compact, inks.label);
}

juce::Font LedMeter::readoutFont() const
{
    return juce::Font (compact ? 9.5f : 11.0f, juce::Font::bold);
}

float LedMeter::placeReadouts (float x, float y, float w, float h, float lx, float rx, float bw)
{
    // The widest text a readout shows: a sign, two digits and one decimal (-∞ and +14.0 are narrower).
    const float need = std::ceil (readoutFont().getStringWidthFloat ("-88.8")) + 2.0f;
    const float line = juce::jmin (h, compact ? 12.0f : 14.0f);
    constexpr float pad = 3.0f;
    // Each readout centred over its bar, kept inside the column of the bars.
    auto slot = [&] (float barX, float top)
    {
        const float width = juce::jmin (need, w);
        const float left = juce::jlimit (x, juce::jmax (x, x + w - width), barX + bw / 2.0f - width / 2.0f);
        return whole (left, top, width, line);
    };
    readoutArea[0] = slot (lx, y);
    readoutArea[1] = slot (rx, y);
    if (! readoutArea[0].intersects (readoutArea[1]))
        return juce::jmin (h, line + pad);
    readoutArea[1] = slot (rx, y + line);
    return juce::jmin (h, 2.0f * line + pad);
}

void LedMeter::paintRow (juce::Graphics& g, Rectangle<float> row, const juce::String& label, float level, float marker, Colour labelInk)
{
    const float lw = juce::jmin (row.getWidth(), 14.0f);
    g.setFont (juce::Font (9.0f, juce::Font::plain));
    g.setColour (labelInk);
    g.drawText (label, whole (row.getX(), row.getY(), lw, row.getHeight()), juce::Justification::centred, false);
    vyrMeter::paintLedRow (g, { row.getX() + lw, row.getY() + row.getHeight() / 2.0f - 6.0f, row.getWidth() - lw, 12.0f }, level,
                           meteringMode, false, marker);
}
