#include "Ui/Shell/SignalUtilityPanel.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/Foundation/VyrTheme.h"

namespace
{
const juce::Colour kCyan (0xff22d3ee), kAmber (0xfff59e0b);

juce::String utf8 (const char* s) { return juce::String::fromUTF8 (s); }
juce::Colour whiteA (int a) { return juce::Colours::white.withAlpha ((juce::uint8) a); }

juce::Rectangle<float> rounded (juce::Rectangle<float> r) { return r.toNearestInt().toFloat(); }

// A pill lit in the accent's hue or unlit; returns the ink for its label.
juce::Colour drawPill (juce::Graphics& g, juce::Rectangle<float> r, bool on, juce::Colour accent, float radius, bool muted)
{
    if (on)
    {
        float h, s, v;
        vyrToHsb (accent, h, s, v);
        const auto fill = juce::Colour::fromHSV (h, juce::jmin (0.9f * s, 0.7f), juce::jmin (0.82f * v, 0.7f), accent.getFloatAlpha());
        g.setColour (fill);
        g.fillRoundedRectangle (r, radius);
        g.setColour (fill.interpolatedWith (juce::Colours::white, 0.42f).withAlpha ((juce::uint8) 0xc7));
        g.drawRoundedRectangle (r.reduced (0.5f), juce::jmax (radius - 0.5f, 0.4f), 1.05f);
        float fh, fs, fv;
        vyrToHsb (fill, fh, fs, fv);
        return juce::Colour::fromHSV (fh, juce::jmin (0.28f * fs, 0.2f), 0.92f, 1.0f);
    }
    g.setColour (juce::Colour (0xff2a2e35));
    g.fillRoundedRectangle (r, radius);
    g.setColour (whiteA (0x26));
    g.drawRoundedRectangle (r, radius, 0.7f);
    return whiteA (muted ? 0x47 : 0x9e);
}

void drawLabelPill (juce::Graphics& g, const juce::Button& b, bool on, bool enabled, const juce::String& text)
{
    const auto r = b.getBounds().toFloat();
    const auto ink = drawPill (g, r, on && enabled, kCyan, 6.0f, ! enabled);
    g.setColour (ink);
    g.setFont (juce::Font (juce::jlimit (9.0f, 11.0f, 0.4f * r.getHeight()), juce::Font::bold));
    g.drawFittedText (text, b.getBounds().reduced (5, 2), juce::Justification::centred, 1, 1.0f);
}

juce::String levelText (float db)
{
    if (! (db > -99.0f))
        return utf8 ("\xe2\x88\x92\xe2\x88\x9e");
    return juce::String (db, 1);
}

float rnd (juce::uint32 s)
{
    const juce::uint32 x = ((s ^ (s >> 13)) * 40801u) & 0xffffu;
    return (float) x / 32767.5f - 1.0f;
}
}

void SignalUtilityPanel::paint (juce::Graphics& g)
{
    const int themeId = proc.themeIndex.load();
    const auto& theme = vyrTheme (themeId);
    const bool light = theme.light;
    const auto caption = [light] (int alpha) { return light ? juce::Colour (0xff2f4639) : whiteA (alpha); };

    vyrPaintPanelChrome (g, { 1.0f, 1.0f, (float) juce::jmax (getWidth() - 2, 0), (float) juce::jmax (getHeight() - 2, 0) }, theme, true);

    g.setColour (theme.textColour());
    g.setFont (juce::Font (12.0f, juce::Font::bold).withExtraKerningFactor (0.14f));
    g.drawText ("SIGNAL UTILITY", identityInset (themeId) + 16, 10, 200, 18, juce::Justification::centredLeft, true);

    // power and dim
    {
        const auto r = powerButton.getBounds().toFloat();
        const auto ink = drawPill (g, r, proc.utilEnabled.load(), kCyan, r.getHeight() / 2.0f, false);
        const juce::Rectangle<float> icon (r.getX() + 8.0f, r.getY() + r.getHeight() / 2.0f - 5.5f, 11.0f, 11.0f);
        vyrLucide::strokeD (g, icon, ink, "M12 2v10");
        vyrLucide::strokeD (g, icon, ink, "M18.4 6.6a9 9 0 1 1-12.77.04");
        g.setColour (ink);
        g.setFont (juce::Font (9.0f, juce::Font::bold));
        g.drawText (proc.utilEnabled.load() ? "On" : "Off", rounded ({ r.getX() + 22.0f, r.getY(), juce::jmax (r.getWidth() - 22.0f, 0.0f), r.getHeight() }),
                    juce::Justification::centredLeft, true);
    }
    {
        const auto r = dimButton.getBounds().toFloat();
        const auto ink = drawPill (g, r, proc.utilDim.load(), kAmber, r.getHeight() / 2.0f, false);
        const juce::Rectangle<float> icon (r.getX() + 8.0f, r.getY() + r.getHeight() / 2.0f - 5.5f, 11.0f, 11.0f);
        vyrLucide::strokeD (g, icon, ink, "M11 5 6 9H2v6h4l5 4z");
        const float k = 11.0f / 24.0f;
        g.setColour (ink);
        g.drawLine (icon.getX() + 22 * k, icon.getY() + 9 * k, icon.getX() + 16 * k, icon.getY() + 15 * k, 11.0f / 12.0f);
        g.drawLine (icon.getX() + 16 * k, icon.getY() + 9 * k, icon.getX() + 22 * k, icon.getY() + 15 * k, 11.0f / 12.0f);
        g.setFont (juce::Font (9.0f, juce::Font::bold));
        g.drawText ("Dim", rounded ({ r.getX() + 22.0f, r.getY(), juce::jmax (r.getWidth() - 22.0f, 0.0f), r.getHeight() }),
                    juce::Justification::centredLeft, true);
    }

    // waveform tiles
    {
        const auto sine = waveButtons[0].getBounds();
        g.setColour (caption (0x8c));
        g.setFont (juce::Font (9.0f, juce::Font::bold).withExtraKerningFactor (0.16f));
        g.drawText ("WAVEFORM", sine.getX(), sine.getY() - 16, 120, 14, juce::Justification::centredLeft, true);
        const int wave = proc.utilWave.load();
        for (int i = 0; i < 9; ++i)
            paintWaveTile (g, i, i == wave);
    }

    const int wave = proc.utilWave.load();
    drawLabelPill (g, antiAliasButton, proc.utilAntiAlias.load(), wave == 3 || wave == 4 || wave == 5, "Anti-Alias");
    drawLabelPill (g, decorrelatedButton, proc.utilDecorrelated.load(), wave == 1 || wave == 2, "Decorrelated");
    drawLabelPill (g, stereoButton, proc.utilStereo.load(), true, "Stereo");

    {
        const auto first = invertButtons[0].getBounds();
        g.setColour (caption (0x8c));
        g.setFont (juce::Font (9.0f, juce::Font::bold).withExtraKerningFactor (0.14f));
        g.drawText ("INVERT", first.getX(), first.getY() - 16, 80, 14, juce::Justification::centredLeft, true);
        const char* names[4] = { "Off", "Left", "Right", "Both" };
        for (int i = 0; i < 4; ++i)
            drawLabelPill (g, invertButtons[i], proc.utilInvert.load() == i, true, names[i]);
    }

    if (wave == 8)
    {
        const auto lb = sweepLogButton.getBounds();
        g.setColour (caption (0x80));
        g.setFont (juce::Font (9.0f, juce::Font::bold).withExtraKerningFactor (0.14f));
        g.drawText ("RATE", lb.getX(), lb.getY() - 16, 48, 14, juce::Justification::centredLeft, true);
        drawLabelPill (g, sweepLogButton, proc.utilSweepLog.load() != 0, true, "Log");
        drawLabelPill (g, sweepLinButton, proc.utilSweepLog.load() == 0, true, "Linear");
    }

    const float freq = proc.utilFreq.load();
    if ((wave == 0 || wave == 3 || wave == 4 || wave == 5) && freq >= 16.0f && ! noteArea.isEmpty())
    {
        g.setColour (light ? juce::Colour (0xff2f4639) : whiteA (0x66));
        g.setFont (juce::Font (10.0f));
        g.drawText (utf8 ("\xe2\x89\x88 ") + utilNoteOf (freq), noteArea, juce::Justification::centred, true);
    }

    if (! readoutArea.isEmpty())
        paintReadout (g);
}

void SignalUtilityPanel::paintWaveTile (juce::Graphics& g, int i, bool selected) const
{
    const auto b = waveButtons[i].getBounds().toFloat();
    const float x = b.getX(), y = b.getY(), w = b.getWidth(), h = b.getHeight();
    juce::Graphics::ScopedSaveState save (g);
    g.reduceClipRegion (waveButtons[i].getBounds());

    g.setGradientFill (juce::ColourGradient::vertical (kCyan.withAlpha ((juce::uint8) (selected ? 0x38 : 0x1f)), y,
                                                       juce::Colour (0xff1a1714), y + h));
    g.fillRoundedRectangle (b, 6.0f);
    if (selected)
    {
        g.setColour (kCyan.withAlpha ((juce::uint8) 0x6b));
        g.drawRoundedRectangle (x + 1, y + 1, juce::jmax (w - 2, 0.0f), juce::jmax (h - 2, 0.0f), 5.0f, 2.0f);
        g.setColour (kCyan);
        g.drawRoundedRectangle (x + 2, y + 2, juce::jmax (w - 4, 0.0f), juce::jmax (h - 4, 0.0f), 4.0f, 1.2f);
    }
    else
    {
        g.setColour (kCyan.withAlpha ((juce::uint8) 0x59));
        g.drawRoundedRectangle (x + 0.6f, y + 0.6f, juce::jmax (w - 1.2f, 0.0f), juce::jmax (h - 1.2f, 0.0f), 6.0f, 1.2f);
    }
    vyrLucide::drawLed (g, { x + 2, y + 2, w - 4, h - 4 }, selected, juce::jlimit (0.65f, 1.0f, h / 52.0f));

    const juce::Rectangle<float> inner (x + 6, y + 5, juce::jmax (w - 12, 0.0f), juce::jmax (h - 10, 0.0f));
    const float strip = juce::jmin (0.3f * inner.getHeight(), 13.0f);
    const auto glyphArea = inner.withTrimmedBottom (strip);
    const auto labelStrip = inner.withTop (inner.getBottom() - strip);
    if (selected)
    {
        g.setColour (kCyan.withAlpha ((juce::uint8) 0x38));
        g.fillEllipse (glyphArea.reduced (0.06f * glyphArea.getWidth(), 0.02f * glyphArea.getHeight()));
    }
    paintGlyph (g, i, glyphArea, selected ? kCyan : kCyan.withAlpha ((juce::uint8) 0x6b));

    g.setColour (selected ? juce::Colours::white : whiteA (0x9e));
    g.setFont (juce::Font (juce::jlimit (7.0f, 9.0f, 0.85f * strip), juce::Font::bold).withExtraKerningFactor (0.08f));
    g.drawText (kUtilWaveNames[i], labelStrip, juce::Justification::centred, false);
}

void SignalUtilityPanel::paintGlyph (juce::Graphics& g, int i, juce::Rectangle<float> area, juce::Colour colour) const
{
    const float x0 = area.getX() + 2.0f, Q = juce::jmax (area.getWidth() - 4.0f, 0.0f);
    const float m = juce::jmax (area.getHeight() - 3.0f, 0.0f);
    if (Q < 8.0f || m < 8.0f)
        return;
    const float yc = area.getY() + 1.5f + m / 2.0f, V = 0.42f * m, T = juce::jlimit (1.5f, 2.4f, 0.085f * m);
    const juce::PathStrokeType curved (T, juce::PathStrokeType::curved, juce::PathStrokeType::rounded);
    const juce::PathStrokeType mitred (T, juce::PathStrokeType::mitered, juce::PathStrokeType::butt);
    g.setColour (colour);
    juce::Path p;
    const float twoPi = juce::MathConstants<float>::twoPi;

    switch (i)
    {
        case 0:
            p.startNewSubPath (x0, yc);
            for (int k = 1; k <= 48; ++k)
                p.lineTo (x0 + Q * (float) k / 48.0f, yc + V * std::sin (-twoPi * 2.0f * (float) k / 48.0f));
            g.strokePath (p, curved);
            break;
        case 1:
        {
            g.drawLine (x0, yc, x0 + Q, yc, 0.45f * T);
            juce::uint32 s = 0x92dc1e82u;
            for (int k = 0; k <= 21; ++k)
            {
                const float xx = x0 + Q * (0.04f + 0.92f * (float) k / 21.0f);
                g.drawLine (xx, yc, xx, yc - V * rnd (s), juce::jmax (0.72f * T, 1.1f));
                s += 0x165667b1u;
            }
            break;
        }
        case 2:
        {
            const float pk[7] = { -0.72f, 0.08f, 0.85f, -0.35f, -0.92f, 0.4f, -0.1f };
            p.startNewSubPath (x0, yc - 0.15f * V);
            for (int k = 1; k <= 7; ++k)
                p.quadraticTo (x0 + Q * (float) (2 * k - 1) / 14.0f, yc + pk[k - 1] * V, x0 + Q * (float) (2 * k) / 14.0f, yc + pk[k - 1] * V);
            g.strokePath (p, juce::PathStrokeType (1.15f * T, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
            break;
        }
        case 3:
            p.startNewSubPath (x0, yc - V);
            p.lineTo (x0 + 0.25f * Q, yc - V);
            p.lineTo (x0 + 0.25f * Q, yc + V);
            p.lineTo (x0 + 0.5f * Q, yc + V);
            p.lineTo (x0 + 0.5f * Q, yc - V);
            p.lineTo (x0 + 0.75f * Q, yc - V);
            p.lineTo (x0 + 0.75f * Q, yc + V);
            p.lineTo (x0 + Q, yc + V);
            g.strokePath (p, mitred);
            break;
        case 4:
            p.startNewSubPath (x0, yc + V);
            p.lineTo (x0 + 0.48f * Q, yc - V);
            p.lineTo (x0 + 0.5f * Q, yc + V);
            p.lineTo (x0 + 0.98f * Q, yc - V);
            p.lineTo (x0 + Q, yc + V);
            g.strokePath (p, mitred);
            break;
        case 5:
            p.startNewSubPath (x0, yc);
            p.lineTo (x0 + 0.125f * Q, yc - V);
            p.lineTo (x0 + 0.375f * Q, yc + V);
            p.lineTo (x0 + 0.625f * Q, yc - V);
            p.lineTo (x0 + 0.875f * Q, yc + V);
            p.lineTo (x0 + Q, yc);
            g.strokePath (p, curved);
            break;
        case 6:
            g.drawLine (x0, yc, x0 + Q, yc, 0.7f * T);
            for (float f : { 0.18f, 0.5f, 0.82f })
                g.drawLine (x0 + f * Q, yc, x0 + f * Q, yc - V, 1.15f * T);
            break;
        case 7:
        {
            g.drawLine (x0, yc, x0 + Q, yc, 0.7f * T);
            juce::Path tri;
            tri.addTriangle (x0 + 0.42f * Q - 0.9f * T, yc, x0 + 0.42f * Q, yc - V, x0 + 0.42f * Q + 0.9f * T, yc);
            g.fillPath (tri);
            break;
        }
        default:
        {
            const float a = juce::jmin (0.18f * Q, V), b = juce::jmin (0.38f * m, 0.85f * V);
            const float e = juce::jmax (1.0f - (a + T) / juce::jmax (Q, 1.0f), 0.55f);
            for (int k = 0; k <= 72; ++k)
            {
                const float u = e * (float) k / 72.0f;
                const juce::Point<float> pt (x0 + u * Q, yc + V * std::sin (-twoPi * (0.7f * u + 3.15f * u * u)));
                if (k == 0)
                    p.startNewSubPath (pt);
                else
                    p.lineTo (pt);
            }
            g.strokePath (p, curved);
            juce::Path head;
            head.addTriangle (x0 + Q, yc, x0 + Q - a, yc - b, x0 + Q - a, yc + b);
            g.fillPath (head);
            break;
        }
    }
}

void SignalUtilityPanel::paintReadout (juce::Graphics& g) const
{
    const auto box = readoutArea.toFloat();
    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x66));
    g.fillRoundedRectangle (box, 8.0f);
    g.setColour (whiteA (0x1a));
    g.drawRoundedRectangle (box, 8.0f, 1.0f);

    const float x = box.getX() + 10.0f, Wd = juce::jmax (box.getWidth() - 20.0f, 0.0f);
    const float P = juce::jmax (box.getHeight() - 16.0f, 0.0f);
    const float r = juce::jlimit (16.0f, 22.0f, 0.16f * P), b = juce::jlimit (8.0f, 14.0f, 0.1f * P);
    float y = box.getY() + 8.0f, rem = P;
    const char* peakLab[2] = { "L Peak", "R Peak" };
    for (int ch = 0; ch < 2; ++ch)
    {
        const float db = proc.utilPeakDb[ch].load();
        const float rowH = juce::jmin (rem, r);
        g.setFont (juce::Font (10.0f).withExtraKerningFactor (0.1f));
        g.setColour (whiteA (0x73));
        g.drawText (peakLab[ch], rounded ({ x, y, Wd, rowH }), juce::Justification::centredLeft, true);
        g.setFont (juce::Font (10.0f));
        g.setColour (juce::Colour (0xff67e8f9));
        g.drawText (levelText (db), rounded ({ x, y, Wd, rowH }), juce::Justification::centredRight, true);
        y += rowH, rem -= rowH;
        const float barH = juce::jmax (0.0f, juce::jmin (rem, b));
        g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x80));
        g.fillRoundedRectangle (x, y, Wd, barH, 3.0f);
        const float frac = std::isfinite (db) ? juce::jlimit (0.0f, 1.0f, (db + 60.0f) / 66.0f) : 0.0f;
        g.setColour (db >= 0.0f ? juce::Colour (0xffff5b5b) : (db >= -6.0f ? juce::Colour (0xfffbbf24) : kCyan));
        g.fillRoundedRectangle (x, y, Wd * frac, barH, 3.0f);
        y += barH, rem -= barH;
        const float gap = juce::jmax (0.0f, juce::jmin (rem, 4.0f));
        y += gap, rem -= gap;
    }
    const float half = std::floor (Wd / 2.0f);
    const juce::Rectangle<float> leftHalf (x, y, half, juce::jmax (rem, 0.0f)), rightHalf (x + half, y, Wd - half, juce::jmax (rem, 0.0f));
    g.setFont (juce::Font (10.0f));
    for (int ch = 0; ch < 2; ++ch)
    {
        const auto area = rounded (ch == 0 ? leftHalf : rightHalf);
        g.setColour (whiteA (0x66));
        g.drawText (ch == 0 ? "L RMS" : "R RMS", area, juce::Justification::centredLeft, true);
        g.setColour (whiteA (0xcc));
        g.drawText (levelText (proc.utilRmsDb[ch].load()), area, juce::Justification::centredRight, true);
    }
}
