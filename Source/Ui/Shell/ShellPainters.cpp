#include "Ui/Shell/ShellPainters.h"

namespace vyrShell
{
const char* familyMotto() noexcept { return "Mastering instruments for the last mile"; }

juce::Colour withAlphaF (juce::Colour c, float f) noexcept
{
    const int a = f <= 0.0f ? 0 : (f >= 1.0f ? 255 : juce::roundToInt (f * 255.0f));
    return c.withAlpha ((juce::uint8) a);
}

namespace
{
juce::Colour whiteA (int a) { return juce::Colours::white.withAlpha ((juce::uint8) a); }
juce::Colour blackA (int a) { return juce::Colours::black.withAlpha ((juce::uint8) a); }
}

void paintMillBrush (juce::Graphics& g, juce::Rectangle<float> r, bool light)
{
    if (r.getHeight() <= 0.0f)
        return;
    g.setColour (whiteA (light ? 0x12 : 0x0a));
    for (float f = -r.getHeight(); f < r.getWidth() + r.getHeight(); f += 3.2f)
        g.fillRect (r.getX() + f, r.getY(), 1.05f, r.getHeight());
    if (r.getWidth() <= 0.0f)
        return;
    g.setColour (blackA (light ? 0x0b : 0x0a));
    for (float y = r.getY(); y < r.getBottom(); y += 5.0f)
        g.fillRect (r.getX(), y, r.getWidth(), 0.55f);
}

void paintRecess (juce::Graphics& g, juce::Rectangle<float> r, float radius, bool light)
{
    r = r.withWidth (juce::jmax (r.getWidth(), 0.0f)).withHeight (juce::jmax (r.getHeight(), 0.0f));
    g.setColour (blackA (light ? 0x29 : 0x6b));
    g.fillRoundedRectangle (r.translated (0.0f, 1.1f), radius);

    g.setGradientFill (juce::ColourGradient::vertical (juce::Colour (light ? 0xff5a655c : 0xff10131a), r.getY(),
                                                       juce::Colour (light ? 0xff6a756c : 0xff171b24), r.getBottom()));
    g.fillRoundedRectangle (r, radius);
    {
        juce::Graphics::ScopedSaveState save (g);
        juce::Path clip;
        clip.addRoundedRectangle (r, radius);
        g.reduceClipRegion (clip);
        paintMillBrush (g, r, light);
    }
    g.setColour (blackA (light ? 0x38 : 0x8c));
    g.drawRoundedRectangle (r.getX() + 0.4f, r.getY() + 0.4f, juce::jmax (r.getWidth() - 0.8f, 0.0f),
                            juce::jmax (r.getHeight() - 0.8f, 0.0f), radius, 1.15f);
    const float lw = juce::jmax (r.getWidth() - 2.0f * radius, 0.0f);
    g.setColour (whiteA (light ? 0x29 : 0x14));
    g.fillRect (r.getX() + radius, r.getBottom() - 1.4f, lw, 1.0f);
    g.setColour (blackA (light ? 0x29 : 0x59));
    g.fillRect (r.getX() + radius, r.getY() + 0.6f, lw, 1.0f);
}

void paintMetalRocker (juce::Graphics& g, juce::Rectangle<float> r, int side, bool light, juce::Colour accent)
{
    paintRecess (g, r, 8.0f, light);
    const float cx = r.getCentreX();
    g.setColour (blackA (light ? 0x38 : 0x73));
    g.drawLine (cx, r.getY() + 7.0f, cx, r.getBottom() - 7.0f, 1.05f);
    g.setColour (whiteA (light ? 0x24 : 0x0f));
    g.drawLine (cx + 1.05f, r.getY() + 7.0f, cx + 1.05f, r.getBottom() - 7.0f, 1.0f);

    const float half = r.getWidth() / 2.0f;
    const juce::Rectangle<float> paddle ((side == 1 ? r.getX() + r.getWidth() - half : r.getX()) + 2.5f, r.getY() + 2.5f,
                                         juce::jmax (half - 5.0f, 0.0f), juce::jmax (r.getHeight() - 5.0f, 0.0f));
    const auto top = light ? juce::Colour (0xffd5ddd5) : juce::Colour (0xff2c3340).interpolatedWith (accent, 0.1f);
    g.setGradientFill (juce::ColourGradient::vertical (top, paddle.getY(), juce::Colour (light ? 0xffb4c0b6 : 0xff161a22),
                                                       paddle.getBottom()));
    g.fillRoundedRectangle (paddle, 6.0f);
    {
        juce::Graphics::ScopedSaveState save (g);
        juce::Path clip;
        clip.addRoundedRectangle (paddle, 6.0f);
        g.reduceClipRegion (clip);
        paintMillBrush (g, paddle, light);
    }
    if (paddle.getWidth() > 16.0f)
    {
        g.setColour (whiteA (light ? 0x38 : 0x1a));
        g.fillRect (paddle.getX() + 8.0f, paddle.getY() + 1.0f, paddle.getWidth() - 16.0f, 1.0f);
    }
    if (paddle.getWidth() > 20.0f)
    {
        g.setColour (accent);
        g.fillRoundedRectangle (paddle.getX() + 10.0f, paddle.getY() + 1.4f, paddle.getWidth() - 20.0f, 2.0f, 1.0f);
    }
}

namespace
{
struct Ink
{
    juce::Colour base;
    float a, t;
    int p;

    juce::Colour line (float k = 1.0f) const { return withAlphaF (base, a * k); }
    juce::Colour label (float k = 1.0f) const { return withAlphaF (base, t * k); }
    juce::Colour part() const { return base.withAlpha ((juce::uint8) p); }
};

void line (juce::Graphics& g, const Ink& ink, float x1, float y1, float x2, float y2, float w = 0.72f, float k = 1.0f)
{
    g.setColour (ink.line (k));
    g.drawLine (x1, y1, x2, y2, w);
}

void dot (juce::Graphics& g, const Ink& ink, float x, float y)
{
    g.setColour (ink.part());
    g.fillEllipse (x - 1.2f, y - 1.2f, 2.4f, 2.4f);
}

void label (juce::Graphics& g, juce::Colour c, const juce::Font& f, const char* text, juce::Rectangle<float> r,
            juce::Justification j)
{
    g.setColour (c);
    g.setFont (f);
    g.drawText (text, r, j, false);
}

void resistorV (juce::Graphics& g, const Ink& ink, float x, float y1, float y2)
{
    const float h = juce::jlimit (6.0f, 10.0f, 0.38f * std::abs (y2 - y1));
    const float top = (y1 + y2) / 2.0f - h / 2.0f;
    line (g, ink, x, y1, x, top);
    line (g, ink, x, top + h, x, y2);
    g.setColour (ink.line());
    g.drawRect (juce::Rectangle<float> (x - 1.75f, top, 3.5f, h), 0.72f);
}

void capacitorH (juce::Graphics& g, const Ink& ink, float x1, float x2, float y, bool electrolytic)
{
    const float m = (x1 + x2) / 2.0f;
    line (g, ink, x1, y, m - 2.15f, y);
    line (g, ink, m - 2.15f, y - 3.3f, m - 2.15f, y + 3.3f);
    if (! electrolytic)
    {
        line (g, ink, m + 2.15f, y - 3.3f, m + 2.15f, y + 3.3f);
        line (g, ink, m + 2.15f, y, x2, y);
    }
    else
    {
        juce::Path p;
        p.startNewSubPath (m + 3.75f, y - 3.3f);
        p.quadraticTo (m + 1.25f, y, m + 3.75f, y + 3.3f);
        g.setColour (ink.line());
        g.strokePath (p, juce::PathStrokeType (0.72f));
        line (g, ink, m + 3.55f, y, x2, y);
    }
}

void dashed (juce::Graphics& g, juce::Colour c, float x1, float y, float x2, float on, float off, float w)
{
    juce::Path p;
    p.startNewSubPath (x1, y);
    p.lineTo (x2, y);
    const float dashes[2] = { on, off };
    juce::Path d;
    juce::PathStrokeType (w).createDashedStroke (d, p, dashes, 2);
    g.setColour (c);
    g.fillPath (d);
}
}

void paintTubeSchematic (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour accent, bool light)
{
    const float left = area.getX(), Q = area.getWidth();
    Ink ink;
    if (light)
        ink = { juce::Colour (0xff1e2a24).interpolatedWith (accent, 0.22f), 0.12f, 0.13f, 0x24 };
    else
        ink = { accent, 0.09f, 0.11f, 0x1f };

    const float S = juce::jlimit (15.0f, 21.5f, 0.055f * Q);
    const float U[3] = { left + 0.27f * Q, left + 0.56f * Q, left + 0.84f * Q };
    const float y0 = 70.24f;
    const float inX = left + 0.018f * Q, resEnd = left + 0.125f * Q, outX = left + 0.985f * Q;
    const float gy = y0 - 0.015f * S; // the grid line

    line (g, ink, left, 26.0f, left + Q, 26.0f, 0.82f, 0.95f);
    line (g, ink, left, 126.0f, left + Q, 126.0f, 0.82f, 0.95f);
    label (g, ink.label(), juce::Font (6.0f, juce::Font::bold).withExtraKerningFactor (0.18f), "B+", { left, 16.0f, 16.0f, 8.0f },
           juce::Justification::centredLeft);

    for (int k = 0; k < 3; ++k)
    {
        const float u = U[k];
        g.setColour (ink.part());
        g.drawEllipse (u - S, y0 - S, 2.0f * S, 2.0f * S, 0.9f);
        line (g, ink, u - 0.38f * S, y0 - 0.4f * S, u + 0.38f * S, y0 - 0.4f * S, 0.95f);
        line (g, ink, u, y0 - 0.4f * S, u, y0 - S);
        dashed (g, ink.line(), u - 1.08f * 0.38f * S, gy, u + 1.02f * 0.38f * S, 1.55f, 1.15f, 0.78f);
        line (g, ink, u - 1.08f * 0.38f * S, gy, u - S, gy);
        juce::Path cathode;
        const float cy = y0 + 0.34f * S;
        cathode.startNewSubPath (u - 0.3344f * S, cy - 2.4f);
        cathode.lineTo (u - 0.3344f * S, cy);
        cathode.lineTo (u + 0.3344f * S, cy);
        cathode.lineTo (u + 0.3344f * S, cy - 2.4f);
        g.setColour (ink.line());
        g.strokePath (cathode, juce::PathStrokeType (0.78f, juce::PathStrokeType::mitered, juce::PathStrokeType::rounded));
        line (g, ink, u, cy, u, y0 + S);
        label (g, ink.label(), juce::Font (5.6f, juce::Font::bold).withExtraKerningFactor (0.16f), "12AX7",
               { (float) juce::roundToInt (u + 4.5f), (float) juce::roundToInt (y0 + S + 0.4f), 32.0f, 8.0f },
               juce::Justification::centredLeft);

        // anode and cathode resistors, grid leak
        resistorV (g, ink, u, 26.0f, y0 - S);
        dot (g, ink, u, 26.0f);
        dot (g, ink, u, y0 - S);
        resistorV (g, ink, u, y0 + S, 126.0f);
        dot (g, ink, u, 126.0f);
        const float stub = k == 0 ? 7.0f : 5.5f;
        line (g, ink, u - S, gy, u - S - stub, gy, 0.72f, 0.9f);
        dot (g, ink, u - S - stub, gy);
        resistorV (g, ink, u - S - stub, gy, 126.0f);
        dot (g, ink, u - S - stub, 126.0f);
    }

    // input jack and variable resistor
    line (g, ink, inX, gy - 4.0f, inX, gy + 4.0f, 0.9f, 1.05f);
    dot (g, ink, inX, gy);
    label (g, ink.label(), juce::Font (6.0f, juce::Font::bold).withExtraKerningFactor (0.16f), "IN",
           { inX - 10.0f, gy - 13.0f, 20.0f, 8.0f }, juce::Justification::centred);
    const float d = juce::jmin (0.72f * (resEnd - inX), 15.0f);
    const float xm = (inX + resEnd) / 2.0f;
    g.setColour (ink.line());
    g.drawRect (juce::Rectangle<float> (xm - d / 2.0f, gy - 2.7f, d, 5.4f), 0.72f);
    line (g, ink, inX, gy, xm - d / 2.0f, gy);
    line (g, ink, xm + d / 2.0f, gy, U[0] - S, gy);
    dot (g, ink, U[0] - S, gy);
    line (g, ink, xm - 4.2f, gy + 4.3f, xm + 4.6f, gy - 4.9f, 0.75f);
    {
        juce::Path head;
        head.addTriangle (xm + 4.6f, gy - 4.9f, xm + 1.6f, gy - 2.9f, xm + 3.2f, gy - 1.1f);
        g.setColour (ink.line());
        g.fillPath (head);
    }

    // couplings
    for (int k = 0; k < 2; ++k)
    {
        const float u = U[k];
        line (g, ink, u, y0 - S, u + S + 2.4f, y0 - S);
        line (g, ink, u + S + 2.4f, y0 - S, u + S + 2.4f, gy);
        dot (g, ink, u + S + 2.4f, gy);
        capacitorH (g, ink, u + S + 2.4f, U[k + 1] - S, gy, false);
        dot (g, ink, U[k + 1] - S, gy);
    }

    // output
    dot (g, ink, U[2], y0 + S);
    line (g, ink, U[2], y0 + S, U[2] + S + 2.4f, y0 + S);
    line (g, ink, U[2] + S + 2.4f, y0 + S, U[2] + S + 2.4f, gy);
    capacitorH (g, ink, U[2] + S + 2.4f, outX - 6.0f, gy, true);
    line (g, ink, outX, gy - 4.0f, outX, gy + 4.0f, 0.9f, 1.05f);
    dot (g, ink, outX, gy);
    label (g, ink.label(), juce::Font (6.0f, juce::Font::bold).withExtraKerningFactor (0.16f), "OUT",
           { outX - 12.0f, gy - 13.0f, 26.0f, 8.0f }, juce::Justification::centred);

    // heater
    dashed (g, ink.line (0.55f), U[0] - S, 118.0f, U[2] + S, 2.2f, 2.6f, 0.55f);
    line (g, ink, U[0] - S, 118.0f, U[0] - S, 126.0f, 0.55f, 0.55f);
    line (g, ink, U[2] + S, 118.0f, U[2] + S, 126.0f, 0.55f, 0.55f);
    label (g, ink.label (0.7f), juce::Font (5.2f).withExtraKerningFactor (0.12f), "6.3", { U[0] - S - 2.0f, 110.0f, 22.0f, 7.0f },
           juce::Justification::centredLeft);
}
}
