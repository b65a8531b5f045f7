#include "Ui/Foundation/VyrPainting.h"

#include <cmath>

namespace
{
using juce::Colour;
using juce::ColourGradient;
using juce::Graphics;
using juce::Path;
using juce::Rectangle;

Colour white (juce::uint8 alpha) { return Colour (0xffffffffu).withAlpha (alpha); }
Colour black (juce::uint8 alpha) { return Colour (0xff000000u).withAlpha (alpha); }

ColourGradient vertical (Colour top, Colour bottom, Rectangle<float> r)
{
    return ColourGradient (top, r.getX(), r.getY(), bottom, r.getX(), r.getBottom(), false);
}

Path roundedPath (Rectangle<float> r, float radius)
{
    Path p;
    p.addRoundedRectangle (r, radius);
    return p;
}

void clipToRounded (Graphics& g, Rectangle<float> r, float radius)
{
    g.reduceClipRegion (roundedPath (r, radius));
}

// Soft elliptical glow that fades out at 0.55 of its horizontal radius.
void radialGlow (Graphics& g, float cx, float cy, float rx, float ry, Colour c)
{
    ColourGradient grad (c, cx, cy, c.withAlpha ((juce::uint8) 0), cx + rx, cy, true);
    grad.addColour (0.55, c.withAlpha ((juce::uint8) 0));
    g.setGradientFill (grad);
    g.fillEllipse (cx - rx, cy - ry, 2.0f * rx, 2.0f * ry);
}

void verticalLines (Graphics& g, Rectangle<float> r, float step)
{
    for (float x = r.getX(); x < r.getRight(); x += step)
        g.fillRect (x, r.getY(), 1.0f, r.getHeight());
}

void horizontalLines (Graphics& g, Rectangle<float> r, float step)
{
    for (float y = r.getY(); y < r.getBottom(); y += step)
        g.fillRect (r.getX(), y, r.getWidth(), 1.0f);
}

void grid (Graphics& g, Rectangle<float> r, float step)
{
    verticalLines (g, r, step);
    horizontalLines (g, r, step);
}

void hudBrackets (Graphics& g, Rectangle<float> r, Colour c, float length, float thickness)
{
    g.setColour (c);
    const float x = r.getX(), y = r.getY(), xr = r.getRight(), yb = r.getBottom();
    g.drawLine (x, y, x + length, y, thickness);
    g.drawLine (x, y, x, y + length, thickness);
    g.drawLine (xr, yb, xr - length, yb, thickness);
    g.drawLine (xr, yb, xr, yb - length, thickness);
}

struct Glow
{
    float fx, fy, rx, ry;
    juce::uint32 colour;
};

// clang-format off
const Glow kDarkGlows[] = { { 0.14f, -0.12f, 550, 310, 0x3d38e0ff }, { 0.88f, 1.12f, 500, 280, 0x336366f1 },
                            { 0.5f, 1.04f, 450, 260, 0x8c1e3a5f } };
const Glow kGlassGlows[] = { { 0.12f, 0.08f, 410, 260, 0x6b38bdf8 }, { 0.88f, 0.18f, 380, 260, 0x66d946ef },
                             { 0.78f, 0.96f, 350, 230, 0x61818cf8 }, { 0.22f, 0.16f, 260, 140, 0x2438bdf8 },
                             { 0.82f, 0.3f, 230, 130, 0x24e879f9 }, { 0.6f, 0.92f, 280, 150, 0x1f818cf8 } };
const Glow kTitaniumGlows[] = { { 0.5f, -0.1f, 450, 250, 0x29d4a04a } };
const Glow kRetroGlows[] = { { 0.3f, 0.0f, 450, 260, 0x29ff9e1a }, { 0.8f, 1.0f, 350, 230, 0x1a4ade80 } };
const Glow kHudGlows[] = { { 0.5f, -0.08f, 280, 180, 0x3300f0ff }, { 0.96f, 0.08f, 210, 150, 0x29ff2dd1 },
                           { 0.04f, 0.96f, 210, 150, 0x1faaff00 } };
// clang-format on

template <size_t N>
void drawGlows (Graphics& g, const Glow (&glows)[N], float W, float H)
{
    for (const auto& gl : glows)
        radialGlow (g, gl.fx * W, gl.fy * H, gl.rx, gl.ry, Colour (gl.colour));
}

juce::uint32 titaniumTint (const juce::String& key)
{
    // clang-format off
    static const std::pair<const char*, juce::uint32> tints[] = {
        { "compressor", 0xff376b84 }, { "limiter", 0xff613b48 }, { "saturation", 0xff614934 },
        { "clip", 0xff455d4b }, { "tape", 0xff5d4d37 }, { "delay", 0xff375673 }, { "reverb", 0xff5d4686 },
        { "eq", 0xff563f81 }, { "dynamicEq", 0xff623f86 }, { "multiBandComp", 0xff375d4b },
        { "tovu", 0xff40456b }, { "stereoImager", 0xff375d5b } };
    // clang-format on
    for (const auto& t : tints)
        if (key == t.first)
            return t.second;
    return 0xff6b7671;
}

// Face step sequence of an enamel button.
void enamelFace (Graphics& g, Rectangle<float> r, float radius, Colour top, Colour bottom,
                 float stripAlpha, float glossAlpha, float shadeAlpha)
{
    const float x = r.getX(), y = r.getY(), w = r.getWidth(), h = r.getHeight();
    g.setGradientFill (vertical (top, bottom, r));
    g.fillRoundedRectangle (r, radius);

    Graphics::ScopedSaveState save (g);
    const Rectangle<float> inner (x + 0.35f, y + 0.35f, juce::jmax (w - 0.7f, 0.0f), juce::jmax (h - 0.7f, 0.0f));
    clipToRounded (g, inner, juce::jmax (radius - 0.35f, 0.4f));

    g.setGradientFill (ColourGradient (juce::Colours::white.withAlpha (glossAlpha), x, y,
                                       juce::Colours::white.withAlpha (0.0f), x, y + 0.46f * h, false));
    g.fillRect (x, y, w, 0.46f * h);

    g.setColour (juce::Colours::white.withAlpha (stripAlpha));
    if (w > 3.4f)
        g.fillRoundedRectangle (x + 1.7f, y + 0.65f, w - 3.4f, 1.25f, 0.55f);

    g.setGradientFill (ColourGradient (juce::Colours::black.withAlpha (0.0f), x, y + 0.58f * h,
                                       juce::Colours::black.withAlpha (shadeAlpha), x, y + h, false));
    g.fillRect (x, y + 0.58f * h, w, juce::jmax (0.42f * h, 0.0f));
}
}

juce::Colour vyrLighten (juce::Colour c, float keep) noexcept
{
    auto f = [keep] (juce::uint8 v) { return (juce::uint8) (int) (255.0f - (255.0f - (float) v) * keep); };
    return juce::Colour (f (c.getRed()), f (c.getGreen()), f (c.getBlue()), c.getAlpha());
}

juce::Colour vyrTowardsWhite (juce::Colour c, float amount) noexcept
{
    auto f = [amount] (juce::uint8 v) { return (juce::uint8) juce::roundToInt ((float) v + (255.0f - (float) v) * amount); };
    return juce::Colour (f (c.getRed()), f (c.getGreen()), f (c.getBlue()), c.getAlpha());
}

void vyrToHsb (juce::Colour c, float& hue, float& saturation, float& brightness) noexcept
{
    const int r = c.getRed(), gr = c.getGreen(), b = c.getBlue();
    const int hi = juce::jmax (r, gr, b), lo = juce::jmin (r, gr, b);
    brightness = (float) hi / 255.0f;
    saturation = hi > 0 ? (float) (hi - lo) / (float) hi : 0.0f;
    hue = hi > 0 ? c.getHue() : 0.0f;
}

void vyrPaintPanelScrew (juce::Graphics& g, float x, float y, float d, bool instrument)
{
    ColourGradient grad (Colour (instrument ? 0xffb4b7b4 : 0xffd8dde3), x + 0.35f * d, y + 0.35f * d,
                         Colour (instrument ? 0xff6a6d6a : 0xff2c2f34), x + d, y + d, true);
    grad.addColour (0.45, Colour (instrument ? 0xff8a8d8a : 0xff6a7079));
    g.setGradientFill (grad);
    g.fillEllipse (x, y, d, d);
    g.setColour (black (0x59));
    g.drawEllipse (x, y, d, d, 0.6f);
}

void vyrPaintHousingScrew (juce::Graphics& g, float x, float y)
{
    ColourGradient grad (Colour (0xffd8dde3), x + 1.5f, y + 1.5f, Colour (0xff2c2f34), x + 5.0f, y + 5.0f, true);
    grad.addColour (0.7, Colour (0xff6a7079));
    g.setGradientFill (grad);
    g.fillEllipse (x, y, 5.0f, 5.0f);
}

void vyrPaintVuScrew (juce::Graphics& g, float x, float y, bool bright)
{
    g.setGradientFill (ColourGradient (Colour (bright ? 0xffe8e8ea : 0xff9a9aa2), x, y,
                                       Colour (bright ? 0xff8a8a90 : 0xff3a3a40), x + 5.0f, y + 8.0f, false));
    g.fillEllipse (x, y, 10.0f, 10.0f);
    g.setColour (white (bright ? 0x80 : 0x40));
    g.fillEllipse (x + 2.0f, y + 1.5f, 5.0f, 3.0f);
    g.setColour (black (0x66));
    g.drawEllipse (x, y, 10.0f, 10.0f, 0.7f);
    g.drawLine (x + 3.0f, y + 5.0f, x + 7.0f, y + 5.0f, 0.8f);
}

void vyrFillPageBackground (juce::Graphics& g, juce::Rectangle<int> area, int themeId)
{
    // The textures below change the opacity and fill; what the caller paints next must not inherit them.
    juce::Graphics::ScopedSaveState keepState (g);
    const auto r = area.toFloat();
    const float W = r.getWidth(), H = r.getHeight();
    const int id = (themeId >= 1 && themeId <= 5) ? themeId : VyrThemeId::dark;
    const bool outside = themeId < 0 || themeId > 5;

    switch (id)
    {
        case VyrThemeId::glass:
        {
            ColourGradient grad (Colour (0xff1c1238), 0.0f, 0.0f, Colour (0xff120a24), W, H, false);
            grad.addColour (0.48, Colour (0xff241043));
            grad.addColour (0.78, Colour (0xff0a0524));
            g.setGradientFill (grad);
            break;
        }
        case VyrThemeId::titanium:
        {
            ColourGradient grad (Colour (0xff3a3e45), 0.0f, 0.0f, Colour (0xff1a1c20), 0.0f, H, false);
            grad.addColour (0.55, Colour (0xff26292f));
            g.setGradientFill (grad);
            break;
        }
        case VyrThemeId::retro:
        {
            ColourGradient grad (Colour (0xff2a1e12), 0.0f, 0.0f, Colour (0xff1c140c), 0.0f, H, false);
            grad.addColour (0.5, Colour (0xff241a10));
            g.setGradientFill (grad);
            break;
        }
        case VyrThemeId::hud:
        {
            ColourGradient grad (Colour (0xff1a2428), 0.0f, 0.0f, Colour (0xff12181c), 0.0f, H, false);
            grad.addColour (0.6, Colour (0xff161e22));
            g.setGradientFill (grad);
            break;
        }
        case VyrThemeId::instrument:
        {
            ColourGradient grad (Colour (0xff6b786d), 0.5f * W, -0.1f * H, Colour (0xff4a544b), 0.5f * W, H, true);
            grad.addColour (0.55, Colour (0xff586359));
            g.setGradientFill (grad);
            break;
        }
        default:
        {
            ColourGradient grad (Colour (0xff2c3a58), 0.0f, 0.0f, Colour (0xff182234), 0.0f, H, false);
            grad.addColour (0.48, Colour (0xff1d2842));
            g.setGradientFill (grad);
            break;
        }
    }
    g.fillRect (r);

    if (outside)
        return;

    switch (id)
    {
        case VyrThemeId::dark: drawGlows (g, kDarkGlows, W, H); break;
        case VyrThemeId::glass: drawGlows (g, kGlassGlows, W, H); break;
        case VyrThemeId::titanium: drawGlows (g, kTitaniumGlows, W, H); break;
        case VyrThemeId::retro: drawGlows (g, kRetroGlows, W, H); break;
        case VyrThemeId::hud: drawGlows (g, kHudGlows, W, H); break;
        default: break;
    }

    if (id == VyrThemeId::titanium)
    {
        // Brushed lines start at -H in steps of 5; the ones left of the area are skipped.
        g.setColour (white (0x09));
        float x = -H;
        if (x < r.getX() - 1.0f)
            x += 5.0f * std::floor ((r.getX() - 1.0f - x) / 5.0f);
        for (; x < W + H; x += 5.0f)
            g.fillRect (x, r.getY(), 1.0f, H);
    }
    else if (id == VyrThemeId::retro)
    {
        g.setColour (black (0x16));
        horizontalLines (g, r, 3.0f);
        g.setGradientFill (ColourGradient (black (0x00), r.getCentreX(), r.getCentreY(), black (0x47), r.getX(), r.getY(), true));
        g.fillRect (r);
    }
    else if (id == VyrThemeId::instrument)
    {
        g.setColour (white (0x08));
        grid (g, r, 30.0f);
    }
}

void vyrPaintPanelChrome (juce::Graphics& g, juce::Rectangle<float> area, const VyrTheme& theme, bool screws)
{
    const float x = area.getX(), y = area.getY(), w = area.getWidth(), h = area.getHeight();
    const float r = theme.cornerRadius;
    const bool light = theme.light;

    if (! light)
    {
        g.setColour (black (0x47));
        g.fillRoundedRectangle (x + 2.0f, y + 3.4f, w, h, r);
    }

    g.setGradientFill (vertical (theme.panelTopColour(), theme.panelBottomColour(), area));
    g.fillRoundedRectangle (area, r);

    {
        Graphics::ScopedSaveState save (g);
        clipToRounded (g, area, r);

        const float cx = x + 0.46f * w, cy = y + 0.42f * h, R = 0.62f * juce::jmax (w, h);
        const auto inner = vyrLighten (theme.panelTopColour(), 0.8333333f).withAlpha ((juce::uint8) (light ? 0x2e : 0x47));
        g.setGradientFill (ColourGradient (inner, cx, cy, black (light ? 0x0a : 0x38), cx + R, cy, true));
        g.fillEllipse (cx - R, cy - R, 2.0f * R, 2.0f * R);

        switch (theme.id)
        {
            case VyrThemeId::glass:
                g.setColour (white (0x1a));
                g.fillRect (x, y, w, 0.18f * h);
                g.setColour (white (0x66));
                g.fillRect (x, y, w, 1.0f);
                break;
            case VyrThemeId::titanium:
                g.setColour (white (0x0a));
                verticalLines (g, area, 3.0f);
                break;
            case VyrThemeId::retro:
            {
                const float rr = 0.48f * juce::jmax (w, h);
                g.setColour (Colour (0x14ff9e1a));
                g.fillEllipse (x + 0.5f * w - rr, y + 0.44f * h - rr, 2.0f * rr, 2.0f * rr);
                g.setColour (black (0x16));
                horizontalLines (g, area, 3.0f);
                g.setColour (Colour (0x38ffc878));
                g.fillRect (x, y, w, 2.0f);
                g.setColour (black (0x99));
                g.fillRect (x, y + h - 2.0f, w, 2.0f);
                break;
            }
            case VyrThemeId::hud:
                g.setColour (Colour (0x0700f0ff));
                grid (g, area, 46.0f);
                break;
            case VyrThemeId::instrument:
                g.setGradientFill (ColourGradient (white (0x57), x, y, black (0x0d), x + w, y + h, false));
                g.fillRect (area);
                g.setColour (white (0x73));
                g.fillRect (x, y, w, 1.0f);
                break;
            default: break;
        }
    }

    g.setColour (theme.outlineColour());
    g.drawRoundedRectangle (area, r, light ? 1.5f : 1.0f);

    if (theme.id == VyrThemeId::hud)
        hudBrackets (g, area, theme.accentColour(), 14.0f, 2.0f);

    if (! screws)
        return;
    if (theme.id == VyrThemeId::titanium)
    {
        vyrPaintPanelScrew (g, x + 8.0f, y + 8.0f, 5.0f, false);
        vyrPaintPanelScrew (g, x + w - 13.0f, y + h - 13.0f, 5.0f, false);
    }
    else if (theme.id == VyrThemeId::dark || theme.id == VyrThemeId::instrument)
    {
        const bool inst = theme.id == VyrThemeId::instrument;
        const float d = inst ? 10.0f : 7.0f, inset = inst ? 8.0f : 7.0f, far = inst ? 18.0f : 14.0f;
        vyrPaintPanelScrew (g, x + inset, y + inset, d, inst);
        vyrPaintPanelScrew (g, x + w - far, y + inset, d, inst);
        vyrPaintPanelScrew (g, x + w - far, y + h - far, d, inst);
        vyrPaintPanelScrew (g, x + inset, y + h - far, d, inst);
    }
}

void paintPinstripe (juce::Graphics& g, juce::Rectangle<float> area, float cornerRadius,
                     juce::Colour c1, juce::Colour c2, juce::Colour c3, juce::Colour c4,
                     juce::Colour top, juce::Colour bottom)
{
    g.setGradientFill (vertical (top, bottom, area));
    g.fillRoundedRectangle (area, cornerRadius);

    Graphics::ScopedSaveState save (g);
    clipToRounded (g, area, cornerRadius);
    const float y = area.getY(), h = area.getHeight();
    for (float sx = area.getX(); sx < area.getRight() + 6.0f; sx += 6.0f)
    {
        g.setColour (c1);
        g.fillRect (sx, y, 2.0f, h);
        g.setColour (c2);
        g.fillRect (sx + 2.0f, y, 2.0f, h);
        g.setColour (c3);
        g.fillRect (sx + 4.0f, y, 1.0f, h);
        g.setColour (c4);
        g.fillRect (sx + 5.0f, y, 1.0f, h);
    }
}

void vyrPaintVuBezelScrews (juce::Graphics& g, juce::Rectangle<float> area, int themeId, bool dim)
{
    const bool brightTheme = themeId == VyrThemeId::dark || themeId == VyrThemeId::glass || themeId == VyrThemeId::instrument;
    const bool bright = ! dim && brightTheme;
    const float x = area.getX(), y = area.getY(), w = area.getWidth(), h = area.getHeight();
    vyrPaintVuScrew (g, x + 8.0f, y + 8.0f, bright);
    vyrPaintVuScrew (g, x + w - 18.0f, y + 8.0f, bright);
    vyrPaintVuScrew (g, x + 8.0f, y + h - 18.0f, bright);
    vyrPaintVuScrew (g, x + w - 18.0f, y + h - 18.0f, bright);
}

void vyrPaintFxThemeFrame (juce::Graphics& g, juce::Rectangle<float> area, int themeId)
{
    const auto& theme = vyrTheme (themeId);
    const float r = theme.cornerRadius;
    {
        Graphics::ScopedSaveState save (g);
        clipToRounded (g, area, r);
        switch (themeId)
        {
            case VyrThemeId::hud:
                g.setColour (Colour (0x0d00f0ff));
                grid (g, area, 46.0f);
                break;
            case VyrThemeId::glass:
                g.setColour (Colour (0x0ae879f9));
                g.fillRect (area);
                break;
            case VyrThemeId::titanium:
                g.setColour (white (0x08));
                verticalLines (g, area, 3.0f);
                break;
            case VyrThemeId::retro:
                g.setColour (Colour (0x0aff9e1a));
                g.fillRect (area);
                g.setColour (black (0x17));
                horizontalLines (g, area, 3.0f);
                break;
            default: break;
        }
    }
    const bool hud = themeId == VyrThemeId::hud;
    g.setColour (theme.outlineColour().withAlpha ((juce::uint8) (hud ? 0xd9 : 0x8c)));
    g.drawRoundedRectangle (area, r, themeId == VyrThemeId::instrument ? 1.5f : 1.0f);
    if (hud)
        hudBrackets (g, area, theme.accentColour(), 12.0f, 1.6f);
}

void vyrPaintFxHousing (juce::Graphics& g, juce::Rectangle<float> area, int themeId, const juce::String& moduleKey)
{
    const auto& theme = vyrTheme (themeId);
    const float r = theme.cornerRadius;

    if (moduleKey == "analogueDensity")
    {
        switch (themeId)
        {
            case VyrThemeId::dark:
            {
                auto grad = vertical (Colour (0xff141d2c), Colour (0xff070b14), area);
                grad.addColour (0.55, Colour (0xff0c1320));
                g.setGradientFill (grad);
                g.fillRoundedRectangle (area, r);
                g.setColour (Colour (0x4738e0ff));
                g.drawRoundedRectangle (area, r, 1.0f);
                break;
            }
            case VyrThemeId::glass:
                g.setGradientFill (vertical (Colour (0xeb281a3c), Colour (0xf50c0816), area));
                g.fillRoundedRectangle (area, r);
                g.setColour (Colour (0x4cf5d0fe));
                g.drawRoundedRectangle (area, r, 1.0f);
                break;
            case VyrThemeId::titanium:
            {
                g.setColour (Colour (0xff2b2e34));
                g.fillRoundedRectangle (area, r);
                {
                    Graphics::ScopedSaveState save (g);
                    clipToRounded (g, area, r);
                    g.setColour (white (0x0f));
                    verticalLines (g, area, 3.0f);
                }
                g.setColour (Colour (0x4cd4a04a));
                g.drawRoundedRectangle (area, r, 1.0f);
                break;
            }
            case VyrThemeId::retro:
            {
                auto grad = vertical (Colour (0xff2e2114), Colour (0xff160f0a), area);
                grad.addColour (0.55, Colour (0xff241a10));
                g.setGradientFill (grad);
                g.fillRoundedRectangle (area, r);
                g.setColour (Colour (0xff7a5828));
                g.drawRoundedRectangle (area, r, 1.0f);
                break;
            }
            case VyrThemeId::hud:
            {
                g.setColour (Colour (0xff1a2428));
                g.fillRoundedRectangle (area, r);
                {
                    Graphics::ScopedSaveState save (g);
                    clipToRounded (g, area, r);
                    g.setColour (Colour (0x0800f0ff));
                    grid (g, area, 46.0f);
                }
                g.setColour (Colour (0x8c00f0ff));
                g.drawRoundedRectangle (area, r, 1.0f);
                break;
            }
            case VyrThemeId::instrument:
                vyrPaintPanelChrome (g, area, theme, true);
                break;
            default:
                vyrPaintPanelChrome (g, area, theme, false);
                break;
        }
        vyrPaintFxThemeFrame (g, area, themeId);
        return;
    }

    if (themeId == VyrThemeId::titanium)
    {
        g.setGradientFill (vertical (Colour (titaniumTint (moduleKey)), Colour (0xff22262c), area));
        g.fillRoundedRectangle (area, r);
        {
            Graphics::ScopedSaveState save (g);
            clipToRounded (g, area, r);
            g.setColour (white (0x0f));
            verticalLines (g, area, 3.0f);
        }
        g.setColour (white (0x33));
        g.drawRoundedRectangle (area, r, 1.0f);
        vyrPaintHousingScrew (g, area.getX() + 8.0f, area.getY() + 8.0f);
        vyrPaintHousingScrew (g, area.getRight() - 13.0f, area.getBottom() - 13.0f);
        vyrPaintFxThemeFrame (g, area, themeId);
        return;
    }

    vyrPaintPanelChrome (g, area, theme, themeId == VyrThemeId::instrument);
    g.setColour (vyrFxColour (moduleKey).withAlpha ((juce::uint8) (themeId == VyrThemeId::instrument ? 0x0f : 0x1a)));
    g.fillRoundedRectangle (area, r);
    vyrPaintFxThemeFrame (g, area, themeId);
}

void vyrPaintModuleHousing (juce::Graphics& g, juce::Rectangle<float> area, int themeId, const juce::String& moduleKey,
                            juce::Colour top, juce::Colour edge)
{
    if (themeId != VyrThemeId::dark)
    {
        vyrPaintFxHousing (g, area, themeId, moduleKey);
        return;
    }
    g.setGradientFill (vertical (top, Colour (0xe01a2430), area));
    g.fillRoundedRectangle (area, 12.0f);
    g.setColour (edge.withAlpha ((juce::uint8) 0x4c));
    g.drawRoundedRectangle (area, 12.0f, 1.0f);
    vyrPaintFxThemeFrame (g, area, VyrThemeId::dark);
}

void vyrFillSegmentCell (juce::Graphics& g, juce::Rectangle<float> area, float cornerSize, int index, int count)
{
    const bool first = index == 0;
    const bool last = count < 2 || index >= count - 1;
    Path p;
    p.addRoundedRectangle (area.getX(), area.getY(), area.getWidth(), area.getHeight(), cornerSize, cornerSize,
                           first, last, first, last);
    g.fillPath (p);
}

float vyrEnamelRadius (float height, bool pill) noexcept
{
    return pill ? height * 0.5f : juce::jmin (0.38f * height, 6.0f);
}

void vyrDrawEnamelButton (juce::Graphics& g, juce::Rectangle<float> area, bool lit, juce::Colour accent,
                          bool lightFace, bool pill)
{
    const float r = vyrEnamelRadius (area.getHeight(), pill);
    const float x = area.getX(), y = area.getY(), w = area.getWidth(), h = area.getHeight();

    if (lit)
    {
        float hue, sat, bri;
        vyrToHsb (accent, hue, sat, bri);
        const auto base = Colour::fromHSV (hue, juce::jmin (0.96f * sat, 0.84f), juce::jmin (0.9f * bri, 0.82f), accent.getFloatAlpha());
        const auto top = vyrTowardsWhite (base, 0.14f);
        auto scale = [] (juce::uint8 v) { return (juce::uint8) juce::roundToInt ((float) v * 0.7936508f); };
        const Colour bottom (scale (base.getRed()), scale (base.getGreen()), scale (base.getBlue()), base.getAlpha());
        enamelFace (g, area, r, top, bottom, 0.5f, 0.2f, 0.18f);
        g.setColour (vyrTowardsWhite (base, 0.42f).withAlpha ((juce::uint8) 0xc7));
        g.drawRoundedRectangle (x + 0.5f, y + 0.5f, juce::jmax (w - 1.0f, 0.0f), juce::jmax (h - 1.0f, 0.0f),
                                juce::jmax (r - 0.5f, 0.4f), 1.05f);
        return;
    }

    if (lightFace)
    {
        enamelFace (g, area, r, Colour (0xffeaf0ea), Colour (0xffd4dcd4), 0.4f, 0.16f, 0.08f);
        g.setColour (white (0x26));
        g.drawRoundedRectangle (area, r, 0.7f);
        return;
    }

    enamelFace (g, area, r, Colour (0xff3a3f48), Colour (0xff22262c), 0.3f, 0.11f, 0.14f);
    g.setColour (white (0x26));
    g.drawRoundedRectangle (area, r, 0.7f);
    Graphics::ScopedSaveState save (g);
    clipToRounded (g, area, r);
    g.setColour (accent.withAlpha ((juce::uint8) 0x6b));
    g.fillRect (x + 1.5f, y + 0.75f, juce::jmax (w - 3.0f, 0.0f), 1.05f);
}

//==============================================================================
void VyrCachedShadow::drawForPath (juce::Graphics& g, const juce::Path& path, const juce::DropShadow& shadow)
{
    const auto bounds = path.getBounds();
    if (shadow.radius <= 0 || bounds.isEmpty())
        return;
    if (! blurred.isValid() || bounds != keyBounds || shadow.colour != keyShadow.colour || shadow.radius != keyShadow.radius
        || shadow.offset != keyShadow.offset)
    {
        keyBounds = bounds;
        keyShadow = shadow;
        area = (bounds.getSmallestIntegerContainer() + shadow.offset).expanded (shadow.radius + 1);
        blurred = juce::Image (juce::Image::SingleChannel, area.getWidth(), area.getHeight(), true);
        // JUCE's own shadow in opaque white on a mask as large as the shadow: the mask's alpha is
        // the blurred shape, exactly as drawForPath would compose it.
        juce::Graphics g2 (blurred);
        g2.setOrigin (-area.getPosition());
        juce::DropShadow (juce::Colours::white, shadow.radius, shadow.offset).drawForPath (g2, path);
    }
    g.setColour (shadow.colour);
    g.drawImageAt (blurred, area.getX(), area.getY(), true);
}

//==============================================================================
bool VyrCachedLayer::prepare (juce::Graphics& g, juce::Rectangle<int> area, int identity)
{
    const float physical = juce::jlimit (0.25f, 8.0f, g.getInternalContext().getPhysicalPixelScaleFactor());
    if (image.isValid() && area == keyArea && identity == keyIdentity && physical == scale)
        return false;
    keyArea = area;
    keyIdentity = identity;
    scale = physical;
    image = {};
    if (area.isEmpty())
        return false;
    image = juce::Image (juce::Image::ARGB, juce::jmax (1, (int) std::ceil ((float) area.getWidth() * scale)),
                         juce::jmax (1, (int) std::ceil ((float) area.getHeight() * scale)), true, juce::SoftwareImageType());
    return true;
}

void VyrCachedLayer::paintImage (juce::Graphics& g) const
{
    if (! image.isValid())
        return;
    if (scale == 1.0f)
    {
        g.drawImageAt (image, keyArea.getX(), keyArea.getY());
        return;
    }
    g.drawImageTransformed (image, juce::AffineTransform::scale (1.0f / scale).translated ((float) keyArea.getX(), (float) keyArea.getY()));
}
