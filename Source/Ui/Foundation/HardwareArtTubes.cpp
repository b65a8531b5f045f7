// Tubes, tape machines, knob faces and rack parts of the hardware art.
#include "Ui/Foundation/HardwareArt.h"
#include "Ui/Foundation/VyrPainting.h"

#include <cmath>

namespace
{
using juce::Colour;
using juce::ColourGradient;
using juce::Graphics;

constexpr float kPi = juce::MathConstants<float>::pi;

juce::Colour white (juce::uint8 a) { return juce::Colour (0xffffffffu).withAlpha (a); }
juce::Colour black (juce::uint8 a) { return juce::Colour (0xff000000u).withAlpha (a); }

juce::Rectangle<float> nonNegative (float x, float y, float w, float h)
{
    return { x, y, juce::jmax (w, 0.0f), juce::jmax (h, 0.0f) };
}

// Elliptical Gaussian bloom drawn through the cached kernel as an alpha mask.
void paintTubeBloom (Graphics& g, HardwareArt& art, const juce::Image& kernel, float cx, float cy, float rx, float ry, Colour colour,
                     float alpha)
{
    if (rx < 1.0f || ry < 1.0f || alpha < 0.003f)
        return;
    Graphics::ScopedSaveState save (g);
    art.drawScaledCached (g, kernel, 8.0f * rx / 512.0f, 8.0f * ry / 512.0f, cx - 4.0f * rx, cy - 4.0f * ry,
                          colour.withAlpha (juce::jlimit (0.0f, 1.0f, alpha)).getFloatAlpha(), colour.withAlpha (1.0f));
}

void fillDisc (Graphics& g, juce::Point<float> c, float r) { g.fillEllipse (c.x - r, c.y - r, 2.0f * r, 2.0f * r); }
void drawCircle (Graphics& g, juce::Point<float> c, float r, float thickness) { g.drawEllipse (c.x - r, c.y - r, 2.0f * r, 2.0f * r, thickness); }

void proceduralFace (Graphics& g, juce::Point<float> c, float q)
{
    ColourGradient grad (Colour (0xfff6f7f9), c.x - 0.42f * q, c.y - 0.55f * q, Colour (0xff7a8088), c.x + 0.22f * q, c.y + 0.62f * q, true);
    grad.addColour (0.46, Colour (0xffc8ccd2));
    g.setGradientFill (grad);
    fillDisc (g, c, q);

    const int n = HardwareArt::spinLineCount (q);
    const float thickness = q >= 40.0f ? 0.95f : 0.75f;
    for (int i = 0; i < n; ++i)
    {
        const float a = 2.0f * kPi * (float) i / (float) n;
        g.setColour (juce::Colours::black.withAlpha (0.045f + 0.13f * std::abs (std::sin (2.0f * a + 0.55f))));
        g.drawLine (c.x, c.y, c.x + q * std::cos (a), c.y + q * std::sin (a), thickness);
    }
    juce::Path wedge;
    wedge.addTriangle (c.x, c.y, c.x - 0.6156615f * q, c.y - 0.7880108f * q, c.x + 0.6156615f * q, c.y - 0.7880108f * q);
    g.setGradientFill (ColourGradient (white (0x6b), c.x, c.y - 0.72f * q, white (0x00), c.x, c.y + 0.08f * q, false));
    g.fillPath (wedge);
}

// Images take the context's opacity, which a preceding setColour also sets: draw them opaque.
void drawImageCentred (Graphics& g, const juce::Image& img, juce::Point<float> c, float scale, float opacity = 1.0f)
{
    g.setOpacity (opacity);
    g.drawImageTransformed (img, juce::AffineTransform::translation (-0.5f * (float) img.getWidth(), -0.5f * (float) img.getHeight())
                                     .scaled (scale)
                                     .translated (c.x, c.y));
}

// The same through the art's scaled copies, for images drawn at the same size paint after paint.
void drawImageCentred (Graphics& g, HardwareArt& art, const juce::Image& img, juce::Point<float> c, float scale, float opacity = 1.0f)
{
    art.drawScaledCached (g, img, scale, scale, c.x - 0.5f * (float) img.getWidth() * scale, c.y - 0.5f * (float) img.getHeight() * scale,
                          opacity);
}
}

void HardwareArt::drawScaledCached (Graphics& g, const juce::Image& source, float sx, float sy, float tx, float ty, float opacity,
                                    juce::Colour tint)
{
    const bool mask = tint.isOpaque();
    const float w = (float) source.getWidth() * sx, h = (float) source.getHeight() * sy;
    if (std::abs (g.getInternalContext().getPhysicalPixelScaleFactor() - 1.0f) > 1.0e-4f || ! (w >= 1.0f && h >= 1.0f) || w * h > 4.0e6f)
    {
        Graphics::ScopedSaveState save (g);
        g.setImageResamplingQuality (Graphics::highResamplingQuality);
        if (mask)
            g.setColour (tint.withAlpha (opacity));
        else
            g.setOpacity (opacity);
        g.drawImageTransformed (source, juce::AffineTransform::scale (sx, sy).translated (tx, ty), mask);
        return;
    }
    const float x0 = std::floor (tx), y0 = std::floor (ty), fx = tx - x0, fy = ty - y0;
    const ScaledCopy* copy = nullptr;
    for (const auto& c : scaledCopies)
        if (c.source == source && c.sx == sx && c.sy == sy && c.fx == fx && c.fy == fy && c.tint == tint)
            copy = &c;
    if (copy == nullptr)
    {
        // Pictures use a handful of sizes at a time; past 48 copies or 24 MB of them (a window
        // being resized) the collection starts afresh.
        juce::Image image (juce::Image::ARGB, (int) std::ceil (w + fx) + 1, (int) std::ceil (h + fy) + 1, true);
        size_t pixels = (size_t) image.getWidth() * (size_t) image.getHeight();
        for (const auto& c : scaledCopies)
            pixels += (size_t) c.image.getWidth() * (size_t) c.image.getHeight();
        if (scaledCopies.size() >= 48 || pixels > 6000000)
            scaledCopies.clear();
        {
            Graphics gi (image);
            gi.setImageResamplingQuality (Graphics::highResamplingQuality);
            if (mask)
                gi.setColour (tint);
            gi.drawImageTransformed (source, juce::AffineTransform::scale (sx, sy).translated (fx, fy), mask);
        }
        scaledCopies.push_back ({ source, sx, sy, fx, fy, tint, image });
        copy = &scaledCopies.back();
    }
    g.setOpacity (opacity);
    g.drawImageAt (copy->image, (int) x0, (int) y0);
}

//==============================================================================
const juce::Image& HardwareArt::glowKernel()
{
    if (tubeGlowKernel.isNull())
    {
        tubeGlowKernel = juce::Image (juce::Image::ARGB, 512, 512, true);
        juce::Image::BitmapData data (tubeGlowKernel, juce::Image::BitmapData::writeOnly);
        for (int j = 0; j < 512; ++j)
            for (int i = 0; i < 512; ++i)
            {
                const float x = ((float) i + 0.5f) / 64.0f - 4.0f, y = ((float) j + 0.5f) / 64.0f - 4.0f;
                data.setPixelColour (i, j, juce::Colours::white.withAlpha ((juce::uint8) juce::roundToInt (255.0f * std::exp (-0.55f * (x * x + y * y)))));
            }
    }
    return tubeGlowKernel;
}

const juce::Image& HardwareArt::grainTile()
{
    if (grain.isNull())
    {
        grain = juce::Image (juce::Image::ARGB, 220, 220, true);
        juce::Image::BitmapData data (grain, juce::Image::BitmapData::writeOnly);
        for (juce::uint32 y = 0; y < 220; ++y)
            for (juce::uint32 x = 0; x < 220; ++x)
            {
                const juce::uint32 s = 0x3ea75978u * y + 0x165667b1u * x;
                const juce::uint32 v = ((s ^ (s >> 13)) * 97u) & 0xffu;
                data.setPixelColour ((int) x, (int) y, juce::Colours::white.withAlpha ((float) v / 255.0f * 0.28f));
            }
    }
    return grain;
}

const juce::Image& HardwareArt::millFace()
{
    if (milledFace.isNull() && effectKnob.getWidth() >= 32)
    {
        milledFace = juce::Image (juce::Image::ARGB, 512, 512, true);
        const juce::Image::BitmapData src (effectKnob, juce::Image::BitmapData::readOnly);
        juce::Image::BitmapData dst (milledFace, juce::Image::BitmapData::writeOnly);
        const float kcx = (float) effectKnob.getWidth() * 0.5f, kcy = (float) effectKnob.getHeight() * 0.5f;
        const float maxX = (float) effectKnob.getWidth() - 1.0f, maxY = (float) effectKnob.getHeight() - 1.0f;
        auto sample = [&] (float sx, float sy) {
            sx = juce::jlimit (0.0f, maxX, sx), sy = juce::jlimit (0.0f, maxY, sy);
            const int x0 = (int) sx, y0 = (int) sy;
            const int x1 = juce::jmin (x0 + 1, (int) maxX), y1 = juce::jmin (y0 + 1, (int) maxY);
            const float fx = sx - (float) x0, fy = sy - (float) y0;
            const auto top = src.getPixelColour (x0, y0).interpolatedWith (src.getPixelColour (x1, y0), fx);
            const auto bottom = src.getPixelColour (x0, y1).interpolatedWith (src.getPixelColour (x1, y1), fx);
            return top.interpolatedWith (bottom, fy);
        };
        for (int j = 0; j < 512; ++j)
            for (int i = 0; i < 512; ++i)
            {
                const float dx = (float) i + 0.5f - 256.0f, dy = (float) j + 0.5f - 256.0f;
                const float d = std::sqrt (dx * dx + dy * dy);
                if (d > 256.0f)
                    continue;
                const float ux = d < 0.35f ? 0.0f : dx / d, uy = d < 0.35f ? -1.0f : dy / d;
                const float radius = 208.0f + 148.0f * d / 256.0f;
                const auto c = sample (kcx + ux * radius, kcy + uy * radius);
                const float v = (float) juce::jmax (c.getRed(), c.getGreen(), c.getBlue()) / 255.0f;
                const float bright = juce::jlimit (0.0f, 1.0f, (v - 0.5f) * 1.28f + 0.5f);
                dst.setPixelColour (i, j, c.withBrightness (bright));
            }
    }
    return milledFace;
}

float HardwareArt::followedLevel (const juce::String& tubeName) const
{
    auto it = glowFollow.find (tubeName);
    return it == glowFollow.end() ? 0.0f : it->second.level;
}

float HardwareArt::tubeFlicker (bool lit, bool altTube, double time) noexcept
{
    if (! lit)
        return 1.0f;
    const double period = altTube ? 2.7 : 3.4;
    const double t = ((altTube ? 1.1 : 0.0) + time) / period;
    const float p = (float) (t - std::floor (t));
    static constexpr float xs[] = { 0.0f, 0.18f, 0.42f, 0.66f, 0.84f, 1.0f };
    static constexpr float ys[] = { 1.0f, 1.09f, 0.93f, 1.06f, 0.96f, 1.0f };
    for (int i = 0; i < 5; ++i)
        if (p <= xs[i + 1])
            return ys[i] + (ys[i + 1] - ys[i]) * (p - xs[i]) / (xs[i + 1] - xs[i]);
    return 1.0f;
}

float HardwareArt::tubeGlow (bool lit, float flicker, float followed, float drive) noexcept
{
    if (! lit)
        return 0.0f;
    return juce::jlimit (0.0f, 1.0f, ((flicker - 1.0f) * 0.22f + followed * 1.2f + juce::jmin (drive * 0.1f + 0.04f, 1.0f)) * 0.85f);
}

void HardwareArt::paintVacuumTube (juce::Graphics& g, juce::Rectangle<float> r, bool useTwelveAx7Photo, bool lit, bool altTube,
                                   float drive, float levelDb, double time, const juce::String& name, VacuumTubePass pass)
{
    auto art = get();
    const float level = juce::jlimit (0.0f, 1.0f, (levelDb + 36.0f) / 36.0f);
    const float target = lit ? level * level : 0.0f;
    const float flicker = tubeFlicker (lit, altTube, time);

    auto& follow = art->glowFollow[name];
    if (pass == VacuumTubePass::backGlow)
    {
        const double dt = follow.lastTime > 0.0 ? juce::jlimit (0.0, 0.08, time - follow.lastTime) : 0.016;
        follow.lastTime = time;
        const double tau = target > follow.level ? 0.005 : 0.19;
        follow.level += (target - follow.level) * (float) (1.0 - std::exp (-dt / tau));
    }

    const float glow = tubeGlow (lit, flicker, follow.level, drive);
    const Colour G (altTube ? 0xffff5a19 : 0xffff7814);
    const float bw = juce::jmax (r.getWidth() - 8.0f, 0.0f);
    const float th = juce::jmax (r.getHeight() - 32.0f, 0.0f);
    const float cx = r.getX() + 4.0f + bw / 2.0f;
    const float ty = r.getY() + 10.0f;
    const float gy = ty + 0.42f * th;
    const auto& kernel = art->glowKernel();

    if (pass == VacuumTubePass::backGlow)
    {
        if (glow > 0.002f)
        {
            const float k1 = useTwelveAx7Photo ? 0.62f : 0.7f, k2 = useTwelveAx7Photo ? 0.72f : 0.78f, k3 = useTwelveAx7Photo ? 0.10f : 0.14f;
            paintTubeBloom (g, *art, kernel, cx, gy, k1 * bw, k2 * th, Colour::fromHSV (G.getHue(), 0.58f, 0.5f, 1.0f), k3 * glow);
        }
        return;
    }

    const auto& photo = useTwelveAx7Photo ? art->tube12ax7 : art->tube6u8a;
    if (photo.getWidth() > 0 && photo.getHeight() > 0 && bw > 0.0f && th > 0.0f)
    {
        Graphics::ScopedSaveState save (g);
        g.setImageResamplingQuality (Graphics::highResamplingQuality);
        const float s = juce::jmin (bw / (float) photo.getWidth(), th / (float) photo.getHeight(), 1.0f);
        drawImageCentred (g, *art, photo, { r.getX() + 4.0f + bw / 2.0f, ty + th / 2.0f }, s,
                          lit ? juce::jlimit (0.82f, 1.0f, 0.9f * flicker) : 0.7f);
    }

    if (glow > 0.002f)
    {
        paintTubeBloom (g, *art, kernel, cx, gy, 0.16f * bw, 0.2f * th, G, 0.4f * glow);
        paintTubeBloom (g, *art, kernel, cx, gy, 0.07f * bw, 0.12f * th, Colour (0xffd97700), 0.5f * glow);
        const float rx = juce::jmax (0.06f * bw, 5.0f), ry = juce::jmax (0.04f * th, 4.0f);
        paintTubeBloom (g, *art, kernel, cx, ty + 0.3f * th, rx, ry, Colour (0xffffaa28), 0.22f * glow);
        paintTubeBloom (g, *art, kernel, cx, ty + 0.65f * th, rx, ry, Colour (0xffff8c1e), 0.18f * glow);
    }

    const auto whole = r.toNearestInt();
    g.setColour (white (0xb2));
    g.setFont (juce::Font (9.0f, juce::Font::bold));
    const int labelH = juce::jmin (whole.getHeight(), 14);
    g.drawText (name, whole.withTop (whole.getBottom() - labelH), juce::Justification::centred, true);
}

//==============================================================================
int HardwareArt::tapePhotoIndex (int model) noexcept
{
    return (model >= 1 && model <= 6) ? model : 0;
}

void HardwareArt::paintTapeMachine (juce::Graphics& g, juce::Rectangle<float> r, int model, float p, float wow, float running, bool on)
{
    auto art = get();
    const Colour A (0xffe8a06a);
    g.setColour (Colour (0xff0a0805));
    g.fillRoundedRectangle (r, 8.0f);
    {
        Graphics::ScopedSaveState save (g);
        juce::Path clip;
        clip.addRoundedRectangle (r, 8.0f);
        g.reduceClipRegion (clip);
        const auto& photo = art->tapeMachines[tapePhotoIndex (model)];
        if (photo.getWidth() >= 1 && photo.getHeight() >= 1 && r.getWidth() > 0.0f)
        {
            const float s = r.getWidth() / (float) photo.getWidth() * 1.18f;
            const float dw = (float) photo.getWidth() * s, dh = (float) photo.getHeight() * s;
            art->drawScaledCached (g, photo, (float) (int) dw / (float) photo.getWidth(), (float) (int) dh / (float) photo.getHeight(),
                                   (float) (int) (r.getCentreX() - dw / 2.0f), (float) (int) (r.getCentreY() - dh / 2.0f), 0.55f);
            g.setOpacity (1.0f);
        }
        g.setGradientFill (ColourGradient (Colour (0x8c0a0805), r.getX(), r.getY(), Colour (0xc70a0805), r.getX(), r.getBottom(), false));
        g.fillRect (r);
    }
    g.setColour (A.withAlpha ((juce::uint8) 0x33));
    g.drawRoundedRectangle (r, 8.0f, 1.0f);

    const float sx = r.getWidth() / 300.0f, sy = r.getHeight() / 148.0f, u = juce::jmin (sx, sy);
    const float R = 34.0f * u, cy = r.getY() + 74.0f * sy, k = 5.0f * u;
    const juce::Point<float> left (r.getX() + 52.0f * sx, cy), right (r.getX() + 248.0f * sx, cy);
    const float wob1 = sy * (std::sin (1.7f * p) + 0.4f * std::sin (3.1f * p + 1.2f)) * wow * 10.0f * running;
    const float wob2 = sy * (std::sin (2.3f * p + 0.6f) + 0.35f * std::sin (1.4f * p + 2.1f)) * wow * 10.0f * running;

    g.setColour (A.withAlpha ((juce::uint8) 0xbf));
    juce::Path upper, lower;
    upper.startNewSubPath (left.x, cy - R + k);
    upper.quadraticTo (r.getX() + r.getWidth() / 2.0f, cy - R + k + wob1, right.x, cy - R + k);
    lower.startNewSubPath (left.x, cy + R - k);
    lower.quadraticTo (r.getX() + r.getWidth() / 2.0f, cy + R - k + wob2, right.x, cy + R - k);
    g.strokePath (upper, juce::PathStrokeType (2.0f));
    g.strokePath (lower, juce::PathStrokeType (2.0f));

    for (const auto c : { left, right })
    {
        g.setColour (Colour (0xff15171c));
        fillDisc (g, c, R);
        g.setColour (A.withAlpha ((juce::uint8) 0x73));
        drawCircle (g, c, R, 2.4f);
        g.setColour (A.withAlpha ((juce::uint8) 0x2e));
        drawCircle (g, c, R - 8.0f * sx, 1.0f);
        g.setColour (A.withAlpha ((juce::uint8) 0x8c));
        for (int i = 0; i < 3; ++i)
        {
            const float a = p + (float) i * kPi / 3.0f;
            g.drawLine (c.x, c.y, c.x + (R - 6.0f * sx) * std::cos (a), c.y + (R - 6.0f * sx) * std::sin (a), 2.4f);
        }
        g.setColour (A.withAlpha ((juce::uint8) (on ? 0xd9 : 0x73)));
        fillDisc (g, c, 9.0f * sx);
        g.setColour (Colour (0xff0b0d10));
        fillDisc (g, c, 3.0f * sx);
    }
}

juce::RectangleList<float> HardwareArt::tapeMovingAreas (juce::Rectangle<float> r, float wow, float running0, float running1)
{
    // The same geometry as paintTapeMachine's reels and tape runs.
    const float sx = r.getWidth() / 300.0f, sy = r.getHeight() / 148.0f, u = juce::jmin (sx, sy);
    const float R = 34.0f * u, cy = r.getY() + 74.0f * sy, k = 5.0f * u;
    const float lx = r.getX() + 52.0f * sx, rx = r.getX() + 248.0f * sx;
    // A run bows by half its control point's offset, which is at most 1.4 wobble amplitudes.
    const float bow = 0.5f * sy * 1.4f * std::abs (wow) * 10.0f * juce::jmax (std::abs (running0), std::abs (running1)) + 2.0f;
    juce::RectangleList<float> areas;
    for (const float x : { lx, rx })
        areas.add (juce::Rectangle<float> (x - R, cy - R, 2.0f * R, 2.0f * R).expanded (2.0f));
    for (const float y : { cy - R + k, cy + R - k })
        areas.add (juce::Rectangle<float>::leftTopRightBottom (lx, y - bow, rx, y + bow).expanded (1.0f));
    return areas;
}

//==============================================================================
int HardwareArt::spinLineCount (float radius) noexcept
{
    return juce::jlimit (56, 240, juce::roundToInt (3.4f * radius));
}

void HardwareArt::paintSpunAluminum (juce::Graphics& g, juce::Point<float> c, float r, float pointerAngle, bool milled,
                                     VyrCachedShadow* shadowCache)
{
    if (r < 4.0f)
        return;
    auto art = get();
    const auto& K = art->effectKnob;

    juce::Path disc;
    disc.addEllipse (c.x - r, c.y - r, 2.0f * r, 2.0f * r);
    const juce::DropShadow shadow (black (0x61), juce::jmax (juce::roundToInt (0.32f * r), 6),
                                   { juce::roundToInt (0.08f * r), juce::roundToInt (0.18f * r) });
    if (shadowCache != nullptr)
        shadowCache->drawForPath (g, disc, shadow);
    else
        shadow.drawForPath (g, disc);

    Graphics::ScopedSaveState save (g);
    g.reduceClipRegion (disc);
    g.setImageResamplingQuality (Graphics::highResamplingQuality);

    if (! milled)
    {
        if (K.getWidth() > 16)
            drawImageCentred (g, K, c, r / 356.0f);
        else
            proceduralFace (g, c, r);

        const float Y = 0.53932583f * r;
        ColourGradient cap (Colour (0xffc8ccd2), c.x, c.y - 0.55f * Y, Colour (0xff8a9098), c.x, c.y + 0.7f * Y, true);
        cap.addColour (0.42, Colour (0xffb4b8be));
        g.setGradientFill (cap);
        fillDisc (g, c, Y);
        g.setColour (white (0x1a));
        fillDisc (g, c, r);
        const float Z = 0.28f * r;
        g.setGradientFill (ColourGradient (Colour (0xff2a2e34), c.x, c.y - 0.3f * Z, Colour (0xff101216), c.x, c.y + 0.5f * Z, true));
        fillDisc (g, c, Z);
        g.setColour (black (0x94));
        drawCircle (g, c, Z, juce::jmax (0.018f * r, 1.0f));
        g.setColour (white (0x14));
        g.drawEllipse (c.x - Z + 1.0f, c.y - Z + 1.0f, 2.0f * Z - 2.0f, 2.0f * Z - 2.0f, 0.7f);
        return;
    }

    const float rr = 0.93f * r;
    {
        Graphics::ScopedSaveState inner (g);
        juce::Path innerDisc;
        innerDisc.addEllipse (c.x - rr, c.y - rr, 2.0f * rr, 2.0f * rr);
        g.reduceClipRegion (innerDisc);
        if (K.getWidth() >= 32)
        {
            const auto& face = art->millFace();
            drawImageCentred (g, face, c, rr / ((float) face.getWidth() / 2.0f));
        }
        else if (K.getWidth() > 16)
            drawImageCentred (g, K, c, rr / ((float) K.getWidth() / 2.0f));
        else
            proceduralFace (g, c, rr);
        g.setColour (white (0x1a));
        fillDisc (g, c, rr);
        ColourGradient sheen (Colour (0x47f0f4f8), c.x - 0.38f * rr, c.y - 0.5f * rr, white (0x00), c.x + 0.2f * rr, c.y + 0.12f * rr, true);
        sheen.addColour (0.36, Colour (0x1ae2e8ee));
        g.setGradientFill (sheen);
        fillDisc (g, c, rr);
        g.setGradientFill (ColourGradient (black (0x29), c.x + 0.3f * rr, c.y + 0.46f * rr, black (0x00), c.x - 0.12f * rr, c.y - 0.08f * rr, true));
        fillDisc (g, c, rr);
    }
    if (K.getWidth() > 16)
    {
        juce::Path ring;
        ring.addEllipse (c.x - r, c.y - r, 2.0f * r, 2.0f * r);
        ring.addEllipse (c.x - rr, c.y - rr, 2.0f * rr, 2.0f * rr);
        ring.setUsingNonZeroWinding (false);
        g.reduceClipRegion (ring);
        g.addTransform (juce::AffineTransform::rotation (juce::degreesToRadians (pointerAngle * 0.5f), c.x, c.y));
        drawImageCentred (g, K, c, r / 426.0f);
    }
}

//==============================================================================
void HardwareArt::paintTcScrew (juce::Graphics& g, juce::Point<float> c)
{
    g.setColour (black (0x66));
    fillDisc (g, c, 6.2f);
    g.setGradientFill (ColourGradient (Colour (0xff4a4e54), c.x, c.y - 5.0f, Colour (0xff1c1f24), c.x, c.y + 5.0f, false));
    fillDisc (g, c, 5.6f);
    ColourGradient head (Colour (0xffeef1f4), c.x - 2.4f, c.y - 3.4f, Colour (0xff4a4d52), c.x + 1.0f, c.y + 3.6f, true);
    head.addColour (0.32, Colour (0xffc2c7cc));
    head.addColour (0.62, Colour (0xff8a8f94));
    g.setGradientFill (head);
    fillDisc (g, c, 3.8f);
    g.setColour (white (0x8c));
    drawCircle (g, c, 3.8f, 0.6f);
    g.setColour (Colour (0xe62a2d32));
    g.drawLine (c.x - 2.4f, c.y, c.x + 2.4f, c.y, 1.15f);
    g.setColour (white (0x38));
    g.drawLine (c.x - 2.4f, c.y - 0.7f, c.x + 2.4f, c.y - 0.7f, 0.7f);
}

void HardwareArt::paintTcPanel (juce::Graphics& g, juce::Rectangle<float> r)
{
    auto art = get();
    g.setColour (Colour (0xff2a2e33));
    g.fillRoundedRectangle (r, 7.0f);
    g.setColour (black (0x8c));
    g.drawRoundedRectangle (r, 7.0f, 1.2f);
    g.setColour (white (0x1a));
    g.drawRoundedRectangle (nonNegative (r.getX() + 1.0f, r.getY() + 1.0f, r.getWidth() - 2.0f, r.getHeight() - 2.0f), 6.2f, 0.8f);

    const auto F = nonNegative (r.getX() + 1.6f, r.getY() + 1.6f, r.getWidth() - 3.2f, r.getHeight() - 3.2f);
    ColourGradient face (Colour (0xffd6dbdf), F.getX(), F.getY(), Colour (0xff767c82), F.getX(), F.getBottom(), false);
    face.addColour (0.3, Colour (0xffb6bbc0));
    face.addColour (0.55, Colour (0xff9aa0a6));
    face.addColour (0.82, Colour (0xff868c92));
    g.setGradientFill (face);
    g.fillRoundedRectangle (F, 5.4f);
    {
        Graphics::ScopedSaveState save (g);
        juce::Path clip;
        clip.addRoundedRectangle (F, 5.4f);
        g.reduceClipRegion (clip);
        g.setOpacity (0.55f);
        const auto& tile = art->grainTile();
        for (float ty = F.getY(); ty < F.getBottom(); ty += 220.0f)
            for (float tx = F.getX(); tx < F.getRight(); tx += 220.0f)
                g.drawImageAt (tile, (int) tx, (int) ty);
        g.setOpacity (1.0f);
    }
    g.setColour (white (0xb2));
    g.fillRect (F.getX() + 1.5f, F.getY() + 1.0f, juce::jmax (F.getWidth() - 3.0f, 0.0f), 1.6f);
    g.setColour (white (0x38));
    g.fillRect (F.getX() + 1.5f, F.getY() + 2.6f, juce::jmax (F.getWidth() - 3.0f, 0.0f), 1.0f);
    g.setColour (black (0x94));
    g.fillRect (F.getX() + 1.5f, F.getBottom() - 3.2f, juce::jmax (F.getWidth() - 3.0f, 0.0f), 2.2f);

    g.setColour (Colour (0xff3a3d42));
    g.drawRoundedRectangle (F, 5.4f, 1.0f);
    g.setColour (black (0x47));
    g.drawRoundedRectangle (nonNegative (F.getX() + 3.4f, F.getY() + 3.4f, F.getWidth() - 6.8f, F.getHeight() - 6.8f), 3.8f, 1.0f);
    g.setColour (white (0x29));
    g.drawRoundedRectangle (nonNegative (F.getX() + 4.4f, F.getY() + 4.4f, F.getWidth() - 8.8f, F.getHeight() - 8.8f), 3.2f, 0.8f);
    g.setColour (Colour (0x611fa9a9));
    g.fillRect (F.getX() + 16.0f, F.getY() + 3.6f, juce::jmax (F.getWidth() - 32.0f, 0.0f), 1.0f);

    paintTcScrew (g, { F.getX() + 10.0f, F.getY() + 10.0f });
    paintTcScrew (g, { F.getRight() - 10.0f, F.getY() + 10.0f });
    paintTcScrew (g, { F.getX() + 10.0f, F.getBottom() - 10.0f });
    paintTcScrew (g, { F.getRight() - 10.0f, F.getBottom() - 10.0f });
}

void HardwareArt::paintTcScreen (juce::Graphics& g, juce::Rectangle<float> r, bool active)
{
    const auto G = nonNegative (r.getX() + 5.5f, r.getY() + 5.5f, r.getWidth() - 11.0f, r.getHeight() - 11.0f);
    g.setGradientFill (ColourGradient (Colour (0xff1a1e24), r.getX(), r.getY(), Colour (0xff0b0d11), r.getX(), r.getBottom(), false));
    g.fillRoundedRectangle (r, 5.2f);

    const auto B = nonNegative (r.getX() + 1.15f, r.getY() + 1.15f, r.getWidth() - 2.3f, r.getHeight() - 2.3f);
    ColourGradient bevel (Colour (0xff6e767e), B.getX(), B.getY(), Colour (0xff262b31), B.getRight(), B.getBottom(), false);
    bevel.addColour (0.42, Colour (0xff3e454c));
    g.setGradientFill (bevel);
    g.fillRoundedRectangle (B, 4.2f);
    g.setColour (white (0x52));
    g.fillRect (B.getX() + 2.0f, B.getY() + 1.0f, juce::jmax (B.getWidth() - 4.0f, 0.0f), 1.15f);
    g.setColour (black (0x94));
    g.fillRect (B.getX() + 2.0f, B.getBottom() - 2.1f, juce::jmax (B.getWidth() - 4.0f, 0.0f), 1.5f);

    ColourGradient glass (Colour (0xff0e1c28), G.getX(), G.getY(), Colour (0xff03080c), G.getX(), G.getBottom(), false);
    glass.addColour (0.52, Colour (0xff07131c));
    g.setGradientFill (glass);
    g.fillRoundedRectangle (G, 3.2f);
    g.setGradientFill (ColourGradient (Colour (active ? 0x3d7ec8d0 : 0x1870a0aa), G.getX() + 0.28f * G.getWidth(), G.getY() + 0.1f * G.getHeight(),
                                       black (0x00), G.getX() + 0.88f * G.getWidth(), G.getBottom(), true));
    g.fillRoundedRectangle (G, 3.2f);
    g.setGradientFill (ColourGradient (black (0x9e), G.getX(), G.getY(), black (0x00), G.getX(), G.getY() + 9.0f, false));
    g.fillRoundedRectangle (G, 3.2f);
    if (active)
    {
        g.setColour (Colour (0x332cc8c8));
        g.drawRoundedRectangle (nonNegative (G.getX() + 0.5f, G.getY() + 0.5f, G.getWidth() - 1.0f, G.getHeight() - 1.0f), 3.2f, 1.15f);
    }
    g.setColour (black (0xb2));
    g.drawRoundedRectangle (G, 3.2f, 1.4f);
    g.setColour (Colour (0xff1a242c));
    g.drawRoundedRectangle (r, 5.2f, 1.0f);
    g.setColour (white (0x33));
    g.drawRoundedRectangle (nonNegative (r.getX() + 1.0f, r.getY() + 1.0f, r.getWidth() - 2.0f, r.getHeight() - 2.0f), 4.6f, 0.8f);
}

void HardwareArt::paintTcGlassOverlay (juce::Graphics& g, juce::Rectangle<float> r)
{
    const auto G = nonNegative (r.getX() + 5.5f, r.getY() + 5.5f, r.getWidth() - 11.0f, r.getHeight() - 11.0f);
    if (G.isEmpty())
        return;
    Graphics::ScopedSaveState save (g);
    juce::Path clip;
    clip.addRoundedRectangle (G, 3.2f);
    g.reduceClipRegion (clip);

    ColourGradient sheen (Colour (0x1cffffff), G.getX(), G.getY(), black (0x00), G.getX() + 0.62f * G.getWidth(), G.getY() + 0.48f * G.getHeight(), false);
    sheen.addColour (0.18, Colour (0x0cffffff));
    sheen.addColour (0.42, black (0x00));
    g.setGradientFill (sheen);
    g.fillRect (G);
    g.setGradientFill (ColourGradient (Colour (0x14ffffff), G.getX(), G.getY(), black (0x00), G.getX(), G.getY() + 14.0f, false));
    g.fillRect (G.getX(), G.getY(), G.getWidth(), 16.0f);
    g.setColour (Colour (0x1478a0b4));
    g.fillRect (G.getX() + 5.0f, G.getBottom() - 1.2f, juce::jmax (G.getWidth() - 10.0f, 0.0f), 1.2f);
    g.setColour (white (0x1a));
    g.drawRoundedRectangle (nonNegative (G.getX() + 0.6f, G.getY() + 0.6f, G.getWidth() - 1.2f, G.getHeight() - 1.2f), 3.2f, 0.8f);
}
