#include "Ui/Studio/TapeStrip.h"

#include "Ui/Foundation/VyrLucide.h"

#include <cmath>

namespace
{
using Sample = MasteredWaveformPanel::TapeStrip::Sample;

struct ChipDef
{
    const char* label;
    juce::uint32 colour;
    const char* tip;
    float labelWidth;
    int group;
};

const ChipDef kChips[9] = {
    { "SUB", 0xff22d3ee, "Sub 20-80 Hz vs pink", 22.0f, 0 },
    { "LOW", 0xff38bdf8, "Low 80-250 Hz vs pink", 22.0f, 0 },
    { "MID", 0xff34d399, "Mid 250 Hz-4 kHz vs pink", 22.0f, 0 },
    { "HIGH", 0xffa78bfa, "High 4-16 kHz vs pink", 24.0f, 0 },
    { "MOM", 0xffa3e635, "Momentary LUFS \xe2\x80\x94 400 ms, split-second peaks / transients", 26.0f, 1 },
    { "SHORT", 0xfffb923c, "Short-term LUFS \xe2\x80\x94 rolling 3 s, how a section / chorus feels", 32.0f, 1 },
    { "INT", 0xfffbbf24, "Integrated LUFS \xe2\x80\x94 whole program, the normalization metric", 20.0f, 1 },
    { "CLIP", 0xfff87171, "Limiter ceiling crush", 24.0f, 2 },
    { "FIT", 0xff818cf8, "Library destination fit", 18.0f, 2 },
};

const char* const kStripTip = "TAPE \xe2\x80\x94 click to cycle closed / compact / tall";

// Rounds halves to the even neighbour (the default floating-point rounding mode).
int roundEven (float v) noexcept { return (int) std::nearbyint (v); }

juce::String lufsText (float v) { return v > -70.0f ? juce::String (v, 1) + " LUFS" : juce::String(); }

float lufsY (juce::Rectangle<float> plot, float v) noexcept
{
    return plot.getBottom() - juce::jlimit (0.0f, 1.0f, (v + 24.0f) / 18.0f) * plot.getHeight();
}
float shareY (juce::Rectangle<float> plot, float v) noexcept { return plot.getBottom() - juce::jlimit (0.0f, 1.0f, v) * plot.getHeight(); }

juce::Font boldFont (float pt, float kerning = 0.0f) { return juce::Font (pt, juce::Font::bold).withExtraKerningFactor (kerning); }
}

MasteredWaveformPanel::TapeStrip::TapeStrip()
{
    setTooltip (juce::String::fromUTF8 (kStripTip));
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
    infoButton.setPanel ("emg", juce::Colour (0xff38bdf8));
    addAndMakeVisible (infoButton);
}

void MasteredWaveformPanel::TapeStrip::append (const Sample& s)
{
    ring[writeIndex] = s;
    writeIndex = (writeIndex + 1) % ringSize;
    sampleCount = juce::jmin (sampleCount + 1, ringSize);
    repaint();
}

void MasteredWaveformPanel::TapeStrip::holdReaders (VyrAudioProcessor& processor, bool showing)
{
    readers.hold (processor, showing);
}

const Sample& MasteredWaveformPanel::TapeStrip::at (int i) const noexcept
{
    const int start = sampleCount == ringSize ? writeIndex : 0;
    return ring[(start + i) % ringSize];
}

int MasteredWaveformPanel::TapeStrip::getLanes (juce::Rectangle<float> (&lanes)[3]) const
{
    const float W = (float) getWidth(), H = (float) getHeight();
    const float hh = juce::jmin (H, 18.0f), b = H - hh;
    if (mode < 1)
        return 0;
    const float lw = juce::jmax (W - 16.0f, 0.0f), a = juce::jmax (b - 10.0f, 0.0f);
    if (! (b >= 12.0f && lw > 4.0f && a > 8.0f))
        return 0;
    const float y0 = hh + 5.0f;
    if (solo >= 0)
    {
        lanes[0] = { 8.0f, y0, lw, a };
        return 1;
    }
    float y = y0, rest = a;
    auto take = [&] (float h) { juce::Rectangle<float> r (8.0f, y, lw, h); y += h; rest -= h; return r; };
    auto gap = [&] { const float g = juce::jmin (rest, 4.0f); y += g; rest -= g; };
    if (mode >= 2)
    {
        lanes[0] = take (0.46f * a);
        gap();
        lanes[1] = take (0.48f * rest);
        gap();
        lanes[2] = take (rest);
        return 3;
    }
    lanes[0] = take (0.52f * a);
    gap();
    lanes[1] = take (rest);
    return 2;
}

juce::String MasteredWaveformPanel::TapeStrip::chipValue (int chip) const
{
    if (sampleCount == 0)
        return {};
    const auto& s = at (sampleCount - 1);
    switch (chip)
    {
        case 0: return juce::String::formatted ("%+.1f dB", s.subDb);
        case 1: return juce::String::formatted ("%+.1f dB", s.lowDb);
        case 2: return juce::String::formatted ("%+.1f dB", s.midDb);
        case 3: return juce::String::formatted ("%+.1f dB", s.highDb);
        case 4: return lufsText (s.lufsMomentary);
        case 5: return lufsText (s.lufsShort);
        case 6: return lufsText (s.lufs);
        case 7: return juce::String (roundEven (s.clipShare * 100.0f)) + "%";
        case 8: return juce::String (roundEven (s.fit));
        default: return {};
    }
}

float MasteredWaveformPanel::TapeStrip::balanceRange() const noexcept
{
    float m = 6.0f;
    for (int i = 0; i < sampleCount; ++i)
    {
        const auto& s = at (i);
        for (float v : { s.subDb, s.lowDb, s.midDb, s.highDb })
            m = juce::jmax (m, std::abs (v));
    }
    return m <= 6.5f ? 6.0f : (m <= 12.5f ? 12.0f : (m <= 18.5f ? 18.0f : 24.0f));
}

void MasteredWaveformPanel::TapeStrip::resized()
{
    infoButton.setBounds (getWidth() - 19, 0, 18, 18);
    infoButton.toFront (false);
}

//==============================================================================
void MasteredWaveformPanel::TapeStrip::paint (juce::Graphics& g)
{
    const float W = (float) getWidth(), H = (float) getHeight();
    if (W < 8.0f)
        return;
    const float hh = juce::jmin (H, 18.0f), b = H - hh;

    g.setColour (juce::Colour (0xb80b1220));
    g.fillRoundedRectangle (0.0f, 0.0f, W, hh, 4.0f);
    g.setColour (juce::Colour (0x4738bdf8));
    g.drawRoundedRectangle (0.5f, 0.5f, juce::jmax (W - 1.0f, 0.0f), juce::jmax (hh - 1.0f, 0.0f), 4.0f, 1.0f);

    vyrLucide::strokeD (g, { 3.0f, 2.0f, juce::jmax (juce::jmin (W, 18.0f) - 6.0f, 0.0f), juce::jmax (hh - 4.0f, 0.0f) },
                        juce::Colour (0xff7dd3fc), mode == 0 ? "m9 18 6-6-6-6" : "m6 9 6 6 6-6");

    const float x1 = juce::jmin (W, 18.0f);
    const float tapeW = juce::jmin (W - x1, 36.0f);
    g.setColour (juce::Colour (0xe0e2e8f0));
    g.setFont (boldFont (8.0f, 0.1f));
    g.drawText ("TAPE", juce::Rectangle<float> (x1, 0.0f, tapeW, hh), juce::Justification::centredLeft, false);
    const float x2 = x1 + tapeW;
    const float emgW = juce::jmin (W - x2, 22.0f);
    g.setColour (juce::Colour (0xb87dd3fc));
    g.setFont (boldFont (7.0f, 0.08f));
    g.drawText ("EMG", juce::Rectangle<float> (x2, 0.0f, emgW, hh), juce::Justification::centredLeft, false);

    const float r = W - (x2 + emgW);
    paintChips (g, x2 + emgW + 4.0f, juce::jmax (r - juce::jmin (r, 20.0f) - 8.0f, 0.0f), hh);

    if (b < 12.0f || mode < 1)
        return;
    g.setColour (juce::Colour (0xd10b1220));
    g.fillRoundedRectangle (0.0f, hh + 1.0f, W, juce::jmax (b - 2.0f, 0.0f), 6.0f);
    juce::Rectangle<float> lanes[3];
    const int n = getLanes (lanes);
    if (n == 1)
    {
        if (solo == 0)
            paintBalance (g, lanes[0]);
        else if (solo == 1)
            paintLufs (g, lanes[0]);
        else
            paintClipFit (g, lanes[0]);
    }
    else if (n == 3)
    {
        paintBalance (g, lanes[0]);
        paintLufs (g, lanes[1]);
        paintClipFit (g, lanes[2]);
    }
    else if (n == 2)
    {
        paintBalance (g, lanes[0]);
        paintLoud (g, lanes[1]);
    }
}

void MasteredWaveformPanel::TapeStrip::paintChips (juce::Graphics& g, float x, float avail, float hh)
{
    hitCount = 0;
    float left = avail;
    const auto font = boldFont (7.0f);
    g.setFont (font);
    for (int i = 0; i < 9; ++i)
    {
        const auto& c = kChips[i];
        const float cw = juce::jmin (left, avail / 9.0f);
        if (hitCount < 12)
            hits[hitCount++] = { { x, 2.0f, cw, hh - 4.0f }, juce::String::fromUTF8 (c.tip) };
        const bool dim = solo >= 0 && c.group != solo;
        const float f = dim ? 0.38f : 1.0f;
        const juce::Colour colour (c.colour);
        g.setColour (colour.withAlpha ((juce::uint8) juce::jmin (255, roundEven (colour.getAlpha() * f))));
        g.fillEllipse (x, (hh - 4.0f) / 2.0f, 4.0f, 4.0f);
        const float s = juce::jmax (cw - 7.0f, 0.0f);
        const float lwid = juce::jmin (s, 0.42f * s, c.labelWidth);
        g.setColour (juce::Colour (0x94a3b8).withAlpha ((juce::uint8) roundEven (255.0f * f)));
        g.drawText (c.label, juce::Rectangle<float> (x + 7.0f, 2.0f, lwid, hh - 4.0f), juce::Justification::centredLeft, false);
        const auto value = chipValue (i);
        if (value.isNotEmpty() && s - lwid > 16.0f)
        {
            g.setColour (colour.withAlpha ((juce::uint8) (dim ? 0x8c : 0xeb)));
            g.drawText (value, juce::Rectangle<float> (x + 7.0f + lwid, 2.0f, s - lwid, hh - 4.0f), juce::Justification::centredLeft, false);
        }
        x += cw;
        left -= cw;
    }
}

juce::Rectangle<float> MasteredWaveformPanel::TapeStrip::laneFrame (juce::Graphics& g, juce::Rectangle<float> lane, float ax,
                                                                     float rightReserve, const char* unit) const
{
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x0f));
    g.fillRoundedRectangle (lane, 4.0f);
    const juce::Rectangle<float> plot (lane.getX() + ax + 2.0f, lane.getY() + 1.0f,
                                       juce::jmax (lane.getWidth() - ax - 4.0f - rightReserve, 0.0f), juce::jmax (lane.getHeight() - 2.0f, 0.0f));
    if (unit != nullptr)
    {
        g.setColour (juce::Colour (0x8c94a3b8));
        g.setFont (boldFont (6.0f));
        g.drawText (unit, juce::Rectangle<int> ((int) lane.getX(), (int) plot.getY(), (int) (ax - 2.0f), 8), juce::Justification::centredRight, false);
    }
    return plot;
}

void MasteredWaveformPanel::TapeStrip::drawYTick (juce::Graphics& g, juce::Rectangle<float> column, float y, const juce::String& text) const
{
    g.setColour (juce::Colour (0xc794a3b8));
    g.setFont (boldFont (6.5f));
    g.drawText (text, juce::Rectangle<int> ((int) column.getX(), (int) (y - 5.0f), (int) (column.getWidth() - 2.0f), 10),
                juce::Justification::centredRight, false);
}

void MasteredWaveformPanel::TapeStrip::strokeSeries (juce::Graphics& g, juce::Rectangle<float> plot, juce::Colour colour,
                                                     const YOf& yOf, float thickness) const
{
    const int n = sampleCount;
    if (n < 2)
        return;
    juce::Path p;
    p.preallocateSpace (3 * n + 3);
    for (int i = 0; i < n; ++i)
    {
        const float x = plot.getX() + (float) i / (float) (n - 1) * plot.getWidth();
        const float y = yOf (at (i));
        if (i == 0)
            p.startNewSubPath (x, y);
        else
            p.lineTo (x, y);
    }
    g.setColour (colour);
    g.strokePath (p, juce::PathStrokeType (thickness, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void MasteredWaveformPanel::TapeStrip::paintTarget (juce::Graphics& g, juce::Rectangle<float> plot, juce::Rectangle<float> column) const
{
    if (sampleCount == 0)
        return;
    const float t = at (sampleCount - 1).targetLufs;
    const float yt = lufsY (plot, t);
    g.setColour (juce::Colour (0x6be2e8f0));
    for (float x = plot.getX(); x < plot.getRight(); x += 10.0f)
        g.fillRect (x, yt, 5.0f, 1.0f);
    drawYTick (g, column, yt, juce::String (roundEven (t)));
}

void MasteredWaveformPanel::TapeStrip::paintBalance (juce::Graphics& g, juce::Rectangle<float> lane) const
{
    const float ax = juce::jmin (lane.getWidth(), 28.0f);
    const auto plot = laneFrame (g, lane, ax, 0.0f, "dB");
    const auto column = lane.withWidth (ax);
    const float R = balanceRange();
    const float cy = plot.getY() + plot.getHeight() / 2.0f;
    auto yOf = [cy, R, h = plot.getHeight()] (float v) { return cy - juce::jlimit (-1.0f, 1.0f, v / R) * 0.42f * h; };
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x1a));
    g.fillRect (plot.getX(), yOf (R / 2.0f), plot.getWidth(), 1.0f);
    g.fillRect (plot.getX(), yOf (-R / 2.0f), plot.getWidth(), 1.0f);
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x29));
    g.fillRect (plot.getX(), cy, plot.getWidth(), 1.0f);
    drawYTick (g, column, cy - 0.42f * plot.getHeight(), juce::String::formatted ("%+.0f", R));
    drawYTick (g, column, cy, "0");
    drawYTick (g, column, cy + 0.42f * plot.getHeight(), juce::String::formatted ("%+.0f", -R));
    strokeSeries (g, plot, juce::Colour (0xff22d3ee), [&] (const Sample& s) { return yOf (s.subDb); }, 1.15f);
    strokeSeries (g, plot, juce::Colour (0xff38bdf8), [&] (const Sample& s) { return yOf (s.lowDb); }, 1.15f);
    strokeSeries (g, plot, juce::Colour (0xff34d399), [&] (const Sample& s) { return yOf (s.midDb); }, 1.15f);
    strokeSeries (g, plot, juce::Colour (0xffa78bfa), [&] (const Sample& s) { return yOf (s.highDb); }, 1.15f);
}

void MasteredWaveformPanel::TapeStrip::paintLufs (juce::Graphics& g, juce::Rectangle<float> lane) const
{
    const float ax = juce::jmin (lane.getWidth(), 28.0f);
    const auto plot = laneFrame (g, lane, ax, 0.0f, "LUFS");
    const auto column = lane.withWidth (ax);
    drawYTick (g, column, plot.getBottom(), "-24");
    paintTarget (g, plot, column);
    strokeSeries (g, plot, juce::Colour (0xffa3e635), [&] (const Sample& s) { return lufsY (plot, s.lufsMomentary); }, 0.95f);
    strokeSeries (g, plot, juce::Colour (0xfffb923c), [&] (const Sample& s) { return lufsY (plot, s.lufsShort); }, 1.1f);
    strokeSeries (g, plot, juce::Colour (0xfffbbf24), [&] (const Sample& s) { return lufsY (plot, s.lufs); }, 1.3f);
}

void MasteredWaveformPanel::TapeStrip::paintClipFit (juce::Graphics& g, juce::Rectangle<float> lane) const
{
    const float ax = juce::jmin (lane.getWidth(), 26.0f);
    const auto plot = laneFrame (g, lane, ax, 0.0f, "%");
    const auto column = lane.withWidth (ax);
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x1a));
    g.fillRect (plot.getX(), plot.getY() + plot.getHeight() / 2.0f, plot.getWidth(), 1.0f);
    drawYTick (g, column, plot.getBottom() - 0.5f * plot.getHeight(), "50");
    drawYTick (g, column, plot.getBottom(), "0");
    strokeSeries (g, plot, juce::Colour (0xfff87171), [&] (const Sample& s) { return shareY (plot, s.clipShare); }, 1.15f);
    strokeSeries (g, plot, juce::Colour (0xff818cf8), [&] (const Sample& s) { return shareY (plot, s.fit * 0.01f); }, 1.15f);
}

void MasteredWaveformPanel::TapeStrip::paintLoud (juce::Graphics& g, juce::Rectangle<float> lane) const
{
    const float ax = juce::jmin (lane.getWidth(), 28.0f);
    const float lg = juce::jmin (lane.getWidth() - ax, 22.0f);
    const auto plot = laneFrame (g, lane, ax, lg, nullptr);
    const auto column = lane.withWidth (ax);
    drawYTick (g, column, plot.getY(), "-6");
    drawYTick (g, column, plot.getBottom(), "-24");
    g.setColour (juce::Colour (0xc794a3b8));
    g.setFont (boldFont (6.5f));
    for (auto [y, text] : { std::pair<float, const char*> { plot.getY(), "100" }, { plot.getBottom(), "0" } })
        g.drawText (text, juce::Rectangle<int> ((int) (lane.getRight() - lg), (int) (y - 5.0f), (int) lg, 10), juce::Justification::centredLeft, false);
    paintTarget (g, plot, column);
    strokeSeries (g, plot, juce::Colour (0xffa3e635), [&] (const Sample& s) { return lufsY (plot, s.lufsMomentary); }, 0.95f);
    strokeSeries (g, plot, juce::Colour (0xfffb923c), [&] (const Sample& s) { return lufsY (plot, s.lufsShort); }, 1.1f);
    strokeSeries (g, plot, juce::Colour (0xfffbbf24), [&] (const Sample& s) { return lufsY (plot, s.lufs); }, 1.3f);
    strokeSeries (g, plot, juce::Colour (0xfff87171), [&] (const Sample& s) { return shareY (plot, s.clipShare); }, 1.15f);
    strokeSeries (g, plot, juce::Colour (0xff818cf8), [&] (const Sample& s) { return shareY (plot, s.fit * 0.01f); }, 1.15f);
}

//==============================================================================
int MasteredWaveformPanel::TapeStrip::axisZoneAt (juce::Point<float> p) const
{
    juce::Rectangle<float> lanes[3];
    const int n = getLanes (lanes);
    for (int i = 0; i < n; ++i)
        if (lanes[i].withWidth (juce::jmin (lanes[i].getWidth(), 28.0f)).contains (p))
            return i;
    return -1;
}

void MasteredWaveformPanel::TapeStrip::mouseDown (const juce::MouseEvent& e)
{
    consumed = false;
    const auto p = e.position;
    if (e.eventComponent == &infoButton || p.y < 21.0f)
        return;
    const int lane = axisZoneAt (p);
    if (lane >= 0)
    {
        const int id = solo < 0 ? lane : solo;
        solo = solo == id ? -1 : id;
        consumed = true;
        repaint();
        return;
    }
    if (solo >= 0 && mode >= 1)
    {
        const float hh = juce::jmin ((float) getHeight(), 18.0f), b = (float) getHeight() - hh;
        const float lw = juce::jmax ((float) getWidth() - 16.0f, 0.0f), a = juce::jmax (b - 10.0f, 0.0f), y0 = hh + 5.0f;
        if (b >= 12.0f && lw > 4.0f && a > 8.0f && juce::Rectangle<float> (8.0f, y0, lw, a).contains (p))
        {
            solo = -1;
            consumed = true;
            repaint();
        }
    }
}

void MasteredWaveformPanel::TapeStrip::mouseUp (const juce::MouseEvent& e)
{
    if (consumed)
    {
        consumed = false;
        return;
    }
    if (e.eventComponent != &infoButton && e.position.y <= 20.0f && onCycle)
        onCycle();
}

void MasteredWaveformPanel::TapeStrip::mouseMove (const juce::MouseEvent& e)
{
    const int lane = axisZoneAt (e.position);
    if (lane >= 0)
    {
        setTooltip (solo == lane || (solo >= 0 && lane == 0) ? "Show all lanes" : "Solo this lane");
        return;
    }
    for (int k = 0; k < hitCount; ++k)
        if (hits[k].area.contains (e.position))
        {
            setTooltip (hits[k].tip);
            return;
        }
    setTooltip (juce::String::fromUTF8 (kStripTip));
}
