// The sub-panels of the level meter view: source switch, scale buttons, multimeter, loudness,
// spectrum strip and readout grid. Each paints into its rectangle and writes the view's hit areas.
#include "Ui/Controls/LevelMeterView.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrLucide.h"

#include <cmath>

using juce::Colour;
using juce::Rectangle;

namespace
{
const Colour sourceFill = Colour::fromHSV (0.52205884f, 0.7f, 0.7f, 1.0f);
const Colour scaleFill = Colour::fromHSV (0.39414415f, 0.6f, 0.7f, 1.0f);
const Colour inactiveInk (0xffd4d8de);

Colour textOn (Colour fill) { return Colour::fromHSV (fill.getHue(), juce::jmin (0.28f * fill.getSaturation(), 0.2f), 0.92f, 1.0f); }

Colour peakColour (float db)
{
    return Colour (db >= 0.0f ? 0xffff2b2b : (db >= -3.0f ? 0xffffae42 : 0xffe2e8f0));
}

Rectangle<int> whole (Rectangle<float> r)
{
    return { juce::roundToInt (r.getX()), juce::roundToInt (r.getY()), juce::roundToInt (r.getWidth()), juce::roundToInt (r.getHeight()) };
}

juce::Font kerned (float height, float kerning, bool bold = false)
{
    return juce::Font (height, bold ? juce::Font::bold : juce::Font::plain).withExtraKerningFactor (kerning);
}

void readoutCell (juce::Graphics& g, const juce::String& label, const juce::String& value, Colour colour, Rectangle<float> r, bool tall)
{
    g.setFont (kerned (8.5f, 0.1f));
    g.setColour (Colour (0xffd0dae6));
    g.drawText (label, r, tall ? juce::Justification::centredLeft : juce::Justification::centred, false);
    g.setFont (juce::Font (12.0f, juce::Font::bold));
    g.setColour (colour);
    if (tall)
        g.drawText (value, Rectangle<float> (r.getX() + 52.0f, r.getY(), juce::jmax (r.getWidth() - 52.0f, 0.0f), r.getHeight()),
                    juce::Justification::centredRight, false);
    else
        g.drawText (value, Rectangle<float> (r.getX(), r.getY() + 10.0f, r.getWidth(), r.getHeight()), juce::Justification::centred, false);
}

// Thirteen-segment RMS bar from -36 to 0 dB in 3 dB steps.
void rmsBar (juce::Graphics& g, Rectangle<float> r, float db, const char* label, bool vertical)
{
    if (r.getWidth() <= 0.0f || r.getHeight() <= 0.0f)
        return;
    auto colourOf = [] (int t)
    { return Colour (t <= -15 ? 0xff00afff : (t <= -6 ? 0xffccff00 : 0xffff2b2b)); };
    g.setFont (juce::Font (7.0f, juce::Font::plain));
    if (vertical)
    {
        const float lh = juce::jmin (r.getHeight(), 10.0f), p = (r.getHeight() - lh) / 13.0f;
        for (int i = 0; i < 13; ++i)
        {
            const int t = -36 + 3 * i;
            vyrMeter::paintTrapezoid (g, { r.getX(), r.getBottom() - lh - (float) (i + 1) * p + 1.0f, r.getWidth(), p - 1.0f },
                                      colourOf (t), (float) t <= db, true, true);
        }
        g.setColour (Colour (0xffb4bcc6));
        g.drawText (label, Rectangle<float> (r.getX(), r.getBottom() - lh, r.getWidth(), lh), juce::Justification::centred, false);
        return;
    }
    const float lw = juce::jmin (r.getWidth(), 10.0f), p = (r.getWidth() - lw) / 13.0f;
    for (int i = 0; i < 13; ++i)
    {
        const int t = -36 + 3 * i;
        vyrMeter::paintTrapezoid (g, { r.getX() + lw + (float) i * p, r.getY(), p - 1.0f, r.getHeight() }, colourOf (t), (float) t <= db,
                                  false, true);
    }
    g.setColour (Colour (0xffb4bcc6));
    g.drawText (label, Rectangle<float> (r.getX(), r.getY(), lw, r.getHeight()), juce::Justification::centred, false);
}
}

juce::String LevelMeterView::crestText (float crest, float maxRms)
{
    if (maxRms <= -60.0f || ! std::isfinite (crest))
        return juce::String::fromUTF8 ("\xe2\x88\x9e");
    return vyrMeter::oneDecimal (crest);
}

juce::String LevelMeterView::balanceText (float balance)
{
    if (! (std::abs (balance) >= 0.05f)) // also NaN
        return "C";
    return juce::String (balance > 0.0f ? "L " : "R ") + vyrMeter::oneDecimal (std::abs (balance));
}

juce::String LevelMeterView::headroomText (float heldMax)
{
    return vyrMeter::oneDecimal (juce::jmax (std::isfinite (heldMax) ? -heldMax : 0.0f, 0.0f));
}

void LevelMeterView::paintSourceSwitch (juce::Graphics& g, Rectangle<float> r)
{
    const float d = juce::jmin (juce::jmax (r.getWidth(), 0.0f), 64.0f);
    inArea = { r.getRight() - d, r.getY(), d / 2.0f, r.getHeight() };
    outArea = { r.getRight() - d / 2.0f, r.getY(), d - d / 2.0f, r.getHeight() };
    if (inArea.isEmpty() && outArea.isEmpty())
        return;
    const auto both = inArea.isEmpty() ? outArea : (outArea.isEmpty() ? inArea : inArea.getUnion (outArea));
    g.setColour (Colour (0x4c22d3ee));
    g.drawRoundedRectangle (both, 3.0f, 1.0f);

    auto segment = [&] (Rectangle<float> area, const char* text, bool active)
    {
        if (active)
        {
            g.setColour (sourceFill);
            g.fillRoundedRectangle (area, 3.0f);
        }
        g.setColour (active ? textOn (sourceFill) : inactiveInk);
        g.setFont (juce::Font (8.0f, juce::Font::bold));
        g.drawText (text, whole (area), juce::Justification::centred, false);
    };
    segment (inArea, "IN", showInput);
    segment (outArea, "OUT", ! showInput);
}

void LevelMeterView::paintScaleButtons (juce::Graphics& g, Rectangle<float> r, bool row, int mode)
{
    const char* const names[] = { "dBFS", "K12", "K14", "K20" };
    const float cw = row ? r.getWidth() / 4.0f : r.getWidth(), ch = row ? r.getHeight() : r.getHeight() / 4.0f;
    g.setFont (juce::Font (8.0f, juce::Font::bold));
    for (int i = 0; i < 4; ++i)
    {
        const float x = r.getX() + (row ? (float) i * cw : 0.0f), y = r.getY() + (row ? 0.0f : (float) i * ch);
        modeAreas[i] = { x + 1.0f, y + 1.0f, juce::jmax (cw - 2.0f, 0.0f), juce::jmax (ch - 2.0f, 0.0f) };
        const bool active = i == mode;
        if (active)
        {
            g.setColour (scaleFill);
            g.fillRoundedRectangle (modeAreas[i], 3.0f);
        }
        g.setColour (active ? textOn (scaleFill) : inactiveInk);
        g.drawText (names[i], modeAreas[i], juce::Justification::centred, false);
    }
}

void LevelMeterView::paintMultimeter (juce::Graphics& g, Rectangle<float> r, bool tall, const Frame& f)
{
    const float x = r.getX(), y = r.getY(), w = r.getWidth(), h = r.getHeight();
    if (w <= 0.0f || h <= 0.0f)
        return;
    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0xb2));
    g.fillRoundedRectangle (r, 6.0f);
    g.setColour (Colour (0x2622d3ee));
    g.drawRoundedRectangle (r, 6.0f, 1.0f);

    const float inner = juce::jmax (w - 16.0f, 0.0f);
    const float hh = juce::jmin (juce::jmax (h - 12.0f, 0.0f), 12.0f);
    const auto headerBox = whole ({ x + 8.0f, y + 6.0f, inner, hh });
    g.setFont (kerned (7.0f, 0.16f));
    g.setColour (Colour (0xffb4bcc6));
    g.drawText ("MULTI", headerBox, juce::Justification::centredLeft, false);
    g.setColour (Colour (0xff9aa3ae));
    g.drawText ("RMS", headerBox, juce::Justification::centredRight, false);

    float e = juce::jmax (h - 12.0f, 0.0f) - hh, t = y + 6.0f + hh;
    const float D = juce::jmin (e, tall ? 54.0f : 28.0f);
    const auto crest = crestText (f.crest, f.maxRms);
    if (tall)
    {
        const float h1 = juce::jmin (18.0f, D), h2 = juce::jmin (D - h1, 18.0f), h3 = juce::jmin (D - h1 - h2, 18.0f);
        readoutCell (g, "PEAK", vyrMeter::dbText (heldMax), peakColour (heldMax), { x + 8.0f, t, inner, h1 }, true);
        readoutCell (g, "RMS", vyrMeter::dbText (f.maxRms), Colour (0xffa5f3fc), { x + 8.0f, t + h1, inner, h2 }, true);
        readoutCell (g, "CREST", crest, juce::Colours::white, { x + 8.0f, t + h1 + h2, inner, h3 }, true);
    }
    else
    {
        const float cw = (w - 16.0f) / 3.0f;
        readoutCell (g, "PEAK", vyrMeter::dbText (heldMax), peakColour (heldMax), { x + 8.0f, t, cw, D }, false);
        readoutCell (g, "RMS", vyrMeter::dbText (f.maxRms), Colour (0xffa5f3fc), { x + 8.0f + cw, t, cw, D }, false);
        readoutCell (g, "CREST", crest, juce::Colours::white, { x + 8.0f + 2.0f * cw, t, cw, D }, false);
    }

    e -= D;
    t += D;
    const float bl = juce::jmin (e, 22.0f), tl = juce::jmin (bl, 10.0f);
    if (bl > 0.0f)
    {
        g.setFont (kerned (7.0f, 0.12f));
        g.setColour (Colour (0xffb4bcc6));
        g.drawText ("BALANCE", Rectangle<float> (x + 8.0f, t, w - 16.0f, tl), juce::Justification::centredLeft, false);
        const float b = f.balance;
        const auto value = balanceText (b);
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0xd9));
        g.drawText (value, Rectangle<float> (x + w - 40.0f, t + tl - 10.0f, 32.0f, 10.0f), juce::Justification::centredRight, false);
        const float tb = juce::jmin (bl - tl, 6.0f);
        if (tb > 0.0f && inner > 0.0f)
        {
            g.setColour (Colour (0xff1e293b));
            g.fillRoundedRectangle (x + 8.0f, t + tl, inner, tb, 3.0f);
            const float mid = x + 8.0f + inner / 2.0f;
            g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x40));
            g.fillRect (mid - 0.5f, t + tl, 1.0f, tb);
            const float p = juce::jlimit (-1.0f, 1.0f, b / 12.0f);
            const float span = inner * std::abs (p) / 2.0f;
            if (span > 0.0f)
            {
                g.setColour (Colour (p >= 0.0f ? 0xff00afff : 0xffff5ca0));
                g.fillRoundedRectangle (p >= 0.0f ? mid : mid - span, t + tl, span, tb, 3.0f);
            }
        }
    }

    t += bl;
    const float e2 = juce::jmin (e - bl, tall ? 88.0f : 14.0f);
    if (e2 <= 0.0f)
        return;
    if (tall)
    {
        const float hw = (w - 16.0f) / 2.0f;
        rmsBar (g, { x + 12.0f, t, juce::jmax (hw - 8.0f, 0.0f), e2 }, f.rmsLdB, "L", true);
        rmsBar (g, { x + 8.0f + hw + 4.0f, t, juce::jmax (w - 16.0f - hw - 8.0f, 0.0f), e2 }, f.rmsRdB, "R", true);
    }
    else
    {
        rmsBar (g, { x + 8.0f, t, w - 16.0f, e2 / 2.0f }, f.rmsLdB, "L", false);
        rmsBar (g, { x + 8.0f, t + e2 / 2.0f, w - 16.0f, e2 - e2 / 2.0f }, f.rmsRdB, "R", false);
    }
}

void LevelMeterView::paintLoudness (juce::Graphics& g, Rectangle<float> r, bool tall)
{
    const float x = r.getX(), y = r.getY(), w = r.getWidth(), h = r.getHeight();
    if (w <= 0.0f || h <= 0.0f)
        return;
    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x99));
    g.fillRoundedRectangle (r, 6.0f);
    g.setColour (Colour (0x3322d3ee));
    g.drawRoundedRectangle (r, 6.0f, 1.0f);

    const float th = juce::jmin (juce::jmax (h - 12.0f, 0.0f), 12.0f);
    const float cwAll = juce::jmax (w - 16.0f, 0.0f);
    g.setFont (kerned (8.0f, 0.12f));
    g.setColour (Colour (0xffb4bcc6));
    g.drawText (tall ? juce::String ("LUFS") : juce::String::fromUTF8 ("LUFS  \xc2\xb7  ITU-R BS.1770-4  K-weighted"),
                Rectangle<float> (x + 8.0f, y + 6.0f, cwAll, th), juce::Justification::centredLeft, false);

    infoDotArea = { x + w - 24.0f, y + 3.0f, 18.0f, 18.0f };
    vyrMeter::paintInfoDot (g, infoDotArea, Colour (0xff22d3ee));

    const float values[] = { momentaryDb, shortTermDb, integratedDb };
    const char* const labels[] = { "MOMENTARY", "SHORT-TERM", "INTEGRATED" };
    const char* const notes[] = { "400 ms", "3 s", "\xe2\x88\x9e" };
    float u = juce::jmax (h - 12.0f, 0.0f) - th, B = y + 6.0f + th;
    float left = x + 8.0f, v = cwAll;
    for (int i = 0; i < 3; ++i)
    {
        Rectangle<float> cell;
        if (tall)
        {
            const float rr = juce::jmin (u, u / (float) (3 - i) - 2.0f);
            cell = { x + 8.0f, B + 2.0f, cwAll, juce::jmax (rr - 4.0f, 0.0f) };
            B += rr;
            u -= rr;
        }
        else
        {
            const float q = juce::jmin (v, v / (float) (3 - i));
            cell = { left + 3.0f, B, juce::jmax (q - 6.0f, 0.0f), juce::jmax (u, 0.0f) };
            left += q;
            v -= q;
        }
        if (cell.isEmpty())
            continue;
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x0a));
        g.fillRoundedRectangle (cell, 4.0f);
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x1a));
        g.drawRoundedRectangle (cell, 4.0f, 1.0f);

        const float l1 = juce::jmin (cell.getHeight(), 12.0f);
        const float l2 = juce::jmin (cell.getHeight() - l1, tall ? 16.0f : 20.0f);
        g.setFont (kerned (7.0f, 0.1f));
        g.setColour (Colour (0xffb4bcc6));
        g.drawText (labels[i], whole ({ cell.getX(), cell.getY(), cell.getWidth(), l1 }), juce::Justification::centred, false);
        const float val = values[i];
        g.setFont (juce::Font (tall ? 13.0f : 16.0f, juce::Font::bold));
        g.setColour (Colour (val >= -6.0f ? 0xffff2b2b : (val >= -14.0f ? 0xffccff00 : 0xff00afff)));
        g.drawText (vyrMeter::dbText (val), whole ({ cell.getX(), cell.getY() + l1, cell.getWidth(), l2 }), juce::Justification::centred, false);
        g.setFont (juce::Font (7.0f, juce::Font::plain));
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x40));
        g.drawText (juce::String::fromUTF8 (notes[i]), whole ({ cell.getX(), cell.getY() + l1 + l2, cell.getWidth(), cell.getHeight() - l1 - l2 }),
                    juce::Justification::centred, false);
    }
}

void LevelMeterView::paintSpectrumStrip (juce::Graphics& g, Rectangle<float> r)
{
    const float x = r.getX(), y = r.getY(), w = r.getWidth(), h = r.getHeight();
    if (w <= 0.0f || h <= 0.0f)
        return;
    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x80));
    g.fillRoundedRectangle (r, 4.0f);
    // The processor measures the spectrum of the output only, so the strip says so whatever the
    // source switch shows.
    g.setFont (kerned (7.0f, 0.12f));
    g.setColour (Colour (0x5967e8f9));
    g.drawText ("OUT SPECTRUM", Rectangle<float> (x + 6.0f, y + 2.0f, juce::jmax (w - 12.0f, 0.0f), juce::jmax (h - 4.0f, 0.0f)),
                juce::Justification::topLeft, false);

    auto& m = processor.meters;
    m.copySpectrum (spectrumCopy, 4096);
    const double sr = juce::jmax (m.sampleRate.load (std::memory_order_acquire), 8000.0);
    const double bw = juce::jmax (sr / 2.0 / 4096.0, 1e-6);

    const float pw = juce::jmax (w - 12.0f, 0.0f) / 64.0f, ba = juce::jmax (h - 24.0f, 0.0f);
    const float bottom = y + 12.0f + ba;
    for (int j = 0; j < 64; ++j)
    {
        const double f1 = std::pow (10.0, 1.30103 + 3.0 * j / 64.0), f2 = std::pow (10.0, 1.30103 + 3.0 * (j + 1) / 64.0);
        const double mag = vyrMeter::bandMagnitude (spectrumCopy, bw, f1, f2);
        double db = std::isfinite (mag) ? 20.0 * std::log10 (juce::jmax (mag, 0.0) + 1e-8) : -100.0;
        db = juce::jmax (db, -100.0);
        const float frac = juce::jlimit (0.0f, 1.0f, (float) ((db + 80.0) / 80.0));
        const Rectangle<float> bar (x + 6.0f + (float) j * pw, bottom - frac * ba, pw - 0.5f, frac * ba);
        if (frac > 0.02f)
            vyrMeter::paintLedBloom (g, bar, Colour (0xff22d3ee), 0.45f);
        g.setColour (vyrMeter::withAlpha (Colour (0xff22d3ee), 0.15f + 0.85f * frac));
        g.fillRect (bar);
    }
}

void LevelMeterView::paintReadoutGrid (juce::Graphics& g, float y0, float a, const Frame& f)
{
    const float Wc = f.contentWidth;
    if (a <= 0.0f || Wc <= 0.0f)
        return;
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x1a));
    g.fillRect (10.0f, y0, Wc, 1.0f);
    const float gap = juce::jmin (a, 4.0f), rh = (a - gap) / 2.0f, cw3 = Wc / 3.0f;
    const float lw = juce::jmin (58.0f, juce::jmax (cw3 - 12.0f, 0.0f)), vw = juce::jmax (cw3 - 12.0f, 0.0f) - lw;
    const float ch = juce::jmax (rh - 4.0f, 0.0f);
    struct Cell
    {
        const char* label;
        juce::String value;
        Colour colour;
    };
    const Cell cells[] = { { "L PK", vyrMeter::dbText (heldL), peakColour (heldL) },
                           { "R PK", vyrMeter::dbText (heldR), peakColour (heldR) },
                           { "MASTER", vyrMeter::dbText (heldMax), peakColour (heldMax) },
                           { "L RMS", vyrMeter::dbText (f.rmsLdB), Colour (0xffcbd5e1) },
                           { "R RMS", vyrMeter::dbText (f.rmsRdB), Colour (0xffcbd5e1) },
                           { "HEADROOM", headroomText (heldMax), Colour (0xff67e8f9) } };
    for (int j = 0; j < 6; ++j)
    {
        const float cx = 10.0f + (float) (j % 3) * cw3 + 6.0f, cy = y0 + gap + (float) (j / 3) * rh + 2.0f;
        g.setFont (kerned (8.0f, 0.08f));
        g.setColour (Colour (0xffb4bcc6));
        g.drawText (cells[j].label, whole ({ cx, cy, lw, ch }), juce::Justification::centredLeft, false);
        g.setFont (juce::Font (10.0f, juce::Font::bold));
        g.setColour (cells[j].colour);
        g.drawText (cells[j].value, whole ({ cx + lw, cy, vw, ch }), juce::Justification::centredRight, false);
    }
}
