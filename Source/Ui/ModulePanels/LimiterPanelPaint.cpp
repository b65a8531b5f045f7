#include "Ui/ModulePanels/LimiterPanel.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/Foundation/VyrTheme.h"

#include <cmath>

namespace
{
using juce::Colour;
using F = juce::Rectangle<float>;

constexpr juce::uint32 kUnlitPill = 0xff2a2e35;
constexpr juce::uint32 kLightText = 0xffd4d8de;
constexpr juce::uint32 kCaption = 0xffb4bcc6;
constexpr juce::uint32 kDimCaption = 0xff9aa3ae;

bool usable (juce::Rectangle<int> r) { return r.getWidth() >= 1 && r.getHeight() >= 1; }
}

void LimiterPanel::paint (juce::Graphics& g)
{
    const int W = getWidth(), H = getHeight();
    const int t = processor.themeIndex.load (std::memory_order_acquire);
    const auto& theme = vyrTheme (t);

    housing.draw (g, getLocalBounds(), t, [&] (juce::Graphics& ig) {
        vyrPaintModuleHousing (ig, F (0.0f, 0.0f, (float) W, (float) H), t, "limiter", Colour (0x33241522), Colour (kAccent));
    });
    for (auto& k : knobs)
        k->light = theme.light;
    paintHeader (g, pad(), theme);

    auto& tree = processor.apvts;
    paintRowCaptions (g);
    const bool xfade = vyrPanel::readOn (tree, "limiter_styleXfade", false);
    if (usable (xfadeRect))
        paintXfade (g, xfade);
    if (usable (morphStripRect))
        paintMorphStrip (g, xfade);
    paintPills (g);

    g.setColour (Colour (kCaption));
    g.setFont (vyrPanel::font (9.0f));
    const auto where = statusRect.getWidth() >= 1 && statusRect.getHeight() > 0
                           ? statusRect
                           : juce::Rectangle<int> (20, H - juce::jmin (H, 18), juce::jmax (W - 40, 0), juce::jmin (H, 18));
    g.drawFittedText (statusText(), where, juce::Justification::centred, 1);
}

void LimiterPanel::paintHeader (juce::Graphics& g, int pd, const VyrTheme& theme)
{
    const Colour accent (kAccent);
    g.setColour (accent.withAlpha ((juce::uint8) 0x33));
    g.fillRoundedRectangle (F ((float) pd, 14.0f, 26.0f, 26.0f), 8.0f);

    // Scissors: two rings and three blades in a 22 px icon box.
    const float k = 22.0f / 24.0f, ox = (float) pd + 2.0f, oy = 16.0f;
    auto at = [=] (float u, float v) { return juce::Point<float> (ox + u * k, oy + v * k); };
    g.setColour (Colour (0xffc08490));
    const float lw = 2.0f * k;
    for (float cy : { 6.0f, 18.0f })
    {
        const auto c = at (6.0f, cy);
        g.drawEllipse (c.x - 3.0f * k, c.y - 3.0f * k, 6.0f * k, 6.0f * k, lw);
    }
    const float segs[3][4] = { { 20, 4, 8.12f, 15.88f }, { 14.47f, 14.48f, 20, 20 }, { 8.12f, 8.12f, 12, 12 } };
    juce::Path blades;
    for (const auto& s : segs)
    {
        blades.startNewSubPath (at (s[0], s[1]));
        blades.lineTo (at (s[2], s[3]));
    }
    g.strokePath (blades, juce::PathStrokeType (lw, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));

    const bool on = vyrPanel::readOn (processor.apvts, "limiter_enabled", true);
    g.setColour (theme.light ? Colour (0xff1a1a1a) : Colour (on ? 0xffe8a0ad : 0xffd4d8de));
    g.setFont (vyrPanel::font (14.0f, false, theme.titleKerning));
    g.drawText ("Brickwall Limiter", juce::Rectangle<int> (pd + 32, 16, juce::jmax (powerButton.getX(), 136) - 56, 22),
                juce::Justification::centredLeft, false);
}

void LimiterPanel::paintRowCaptions (juce::Graphics& g)
{
    if (pills.empty() || ! usable (pillArea))
        return;
    auto firstOf = [this] (int group) -> const LimiterPill* {
        for (const auto& p : pills)
            if (p.group == group)
                return &p;
        return nullptr;
    };
    auto lastOf = [this] (int group) -> const LimiterPill* {
        const LimiterPill* last = nullptr;
        for (const auto& p : pills)
            if (p.group == group)
                last = &p;
        return last;
    };
    g.setFont (vyrPanel::font (9.0f, false, 0.1f));
    g.setColour (Colour (kCaption));
    const std::pair<int, const char*> rows[] = { { LimiterPill::style, "STYLE" }, { LimiterPill::oversampling, "OVERSAMP" },
                                                 { LimiterPill::dither, "DITHER" }, { LimiterPill::releaseShape, "REL SHAPE" } };
    for (const auto& [group, caption] : rows)
    {
        const auto* first = firstOf (group);
        g.drawText (caption, juce::Rectangle<int> (pillArea.getX(), first != nullptr ? first->bounds.getY() : 0, 76, 26),
                    juce::Justification::centredLeft, false);
    }

    const bool ditherOff = vyrPanel::readChoice (processor.apvts, "limiter_dither", 0) == 0;
    auto gapCaption = [&] (int before, int after, const char* caption, Colour colour) {
        const auto *a = lastOf (before), *b = firstOf (after);
        if (a == nullptr || b == nullptr || a->bounds.isEmpty() || b->bounds.isEmpty())
            return;
        const int x = a->bounds.getRight();
        g.setColour (colour);
        g.drawText (caption, juce::Rectangle<int> (x, b->bounds.getY(), juce::jmax (b->bounds.getX() - x, 8), b->bounds.getHeight()),
                    juce::Justification::centred, false);
    };
    gapCaption (LimiterPill::dither, LimiterPill::noiseShape, "SHAPE", Colour (ditherOff ? kDimCaption : kCaption));
    gapCaption (LimiterPill::releaseShape, LimiterPill::scale, "SCALE", Colour (kCaption));
}

void LimiterPanel::paintXfade (juce::Graphics& g, bool on)
{
    const auto r = xfadeRect.toFloat();
    if (on)
    {
        g.setColour (Colour (kAccent));
        g.fillRoundedRectangle (r, 5.0f);
    }
    else
    {
        g.setColour (Colour (kUnlitPill));
        g.fillRoundedRectangle (r, 5.0f);
        g.setColour (Colour (0x26ffffff));
        g.drawRoundedRectangle (r, 5.0f, 0.7f);
    }
    g.setColour (on ? juce::Colours::white : Colour (kLightText));
    g.setFont (vyrPanel::font (8.0f, true, 0.1f));
    g.drawText ("XFADE", r, juce::Justification::centred, false);
}

void LimiterPanel::paintMorphStrip (juce::Graphics& g, bool on)
{
    const auto r = morphStripRect.toFloat();
    const float x = r.getX(), y = r.getY(), w = r.getWidth(), h = r.getHeight();
    const Colour accent (kAccent);
    g.setColour (Colour (0x73000000));
    g.fillRoundedRectangle (r, 8.0f);
    g.setColour (Colour (on ? 0x29ffffff : 0x12ffffff));
    g.drawRoundedRectangle (F (x + 0.5f, y + 0.5f, juce::jmax (w - 1.0f, 0.0f), juce::jmax (h - 1.0f, 0.0f)), 8.0f, 1.0f);
    const float cy = y + h / 2.0f;
    g.setColour (accent.withAlpha ((juce::uint8) (on ? 0x8c : 0x2e)));
    g.fillRoundedRectangle (F (x + 8.0f, cy - 1.5f, w - 16.0f, 3.0f), 1.5f);
    g.setColour (Colour (on ? 0x66ffffff : 0x24ffffff));
    for (float q : { 0.1f, 0.3f, 0.5f, 0.7f, 0.9f })
        g.fillRect (F (x + q * w - 0.5f, y + 3.0f, 1.0f, h - 6.0f));
    const float pos = vyrPanel::read (processor.apvts, "limiter_stylePos", (float) vyrPanel::readChoice (processor.apvts, "limiter_style", 0));
    const float tx = x + (pos + 0.5f) / 5.0f * w;
    g.setColour (on ? accent : Colour (0x47ffffff));
    g.fillEllipse (tx - 6.0f, cy - 6.0f, 12.0f, 12.0f);
    g.setColour (Colour (on ? 0xe6ffffff : 0x59ffffff));
    g.fillEllipse (tx - 2.2f, cy - 2.2f, 4.4f, 4.4f);
}

void LimiterPanel::paintPills (juce::Graphics& g)
{
    auto& tree = processor.apvts;
    const bool xfade = vyrPanel::readOn (tree, "limiter_styleXfade", false);
    const int style = vyrPanel::readChoice (tree, "limiter_style", 0);
    int a = style, b = style;
    float f = 0.0f;
    if (xfade)
    {
        const float p = juce::jlimit (0.0f, 4.0f, vyrPanel::read (tree, "limiter_stylePos", (float) style));
        a = (int) p, b = juce::jmin (a, 3) + 1, f = p - (float) a;
    }
    const int choice[7] = { style, vyrPanel::readChoice (tree, "limiter_oversampling", 0), 0,
                            vyrPanel::readChoice (tree, "limiter_dither", 0), vyrPanel::readChoice (tree, "limiter_noiseShape", 0),
                            vyrPanel::readChoice (tree, "limiter_releaseShape", 1), vyrPanel::readChoice (tree, "limiter_scale", 0) };
    const bool switches[3] = { vyrPanel::readOn (tree, "limiter_truePeak", false), vyrPanel::readOn (tree, "limiter_dcBlocker", true),
                               vyrPanel::readOn (tree, "limiter_msMode", false) };
    const bool ditherOff = choice[LimiterPill::dither] == 0;

    for (const auto& pill : pills)
    {
        bool lit = false, dimmed = false;
        float alpha = 1.0f;
        switch (pill.group)
        {
            case LimiterPill::style:
                if (! xfade)
                    lit = pill.index == style;
                else if (pill.index == a || pill.index == b)
                {
                    lit = true;
                    const float weight = a == b ? 1.0f : (pill.index == a ? 1.0f - f : f);
                    alpha = juce::jmax (weight, 0.4f);
                }
                break;
            case LimiterPill::switches:
                lit = switches[pill.index];
                break;
            case LimiterPill::noiseShape:
                lit = pill.index == choice[pill.group];
                dimmed = ditherOff;
                if (lit && ditherOff)
                    alpha = 115.0f / 255.0f;
                break;
            default:
                lit = pill.index == choice[pill.group];
                break;
        }
        paintPill (g, pill, lit, alpha, dimmed);
    }
}

void LimiterPanel::paintPill (juce::Graphics& g, const LimiterPill& pill, bool lit, float alpha, bool dimmed)
{
    const auto r = pill.bounds.toFloat();
    if (lit)
    {
        g.setColour (Colour (kAccent).withAlpha ((juce::uint8) juce::roundToInt (alpha * 255.0f)));
        g.fillRoundedRectangle (r, 5.0f);
    }
    else
    {
        g.setColour (Colour (kUnlitPill));
        g.fillRoundedRectangle (r, 5.0f);
        g.setColour (Colour (0x26ffffff));
        g.drawRoundedRectangle (r, 5.0f, 0.7f);
    }
    const Colour ink = lit ? juce::Colours::white : Colour (kLightText);
    g.setColour (dimmed ? ink.withAlpha ((juce::uint8) 0x66) : ink);
    g.setFont (vyrPanel::font (9.0f, true, 0.06f));
    g.drawText (pill.label, r, juce::Justification::centred, false);
}
