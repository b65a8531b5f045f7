// The delay echo screen, the reverb reflection field and the reverb EQ display of the hardware art.
#include "Ui/Foundation/HardwareArt.h"

#include <cmath>

namespace
{
using juce::Colour;
using juce::ColourGradient;
using juce::Graphics;

const Colour kDelayAccent1 (0xff38bdf8), kDelayAccent2 (0xff7dd3fc), kCaption (0xb367e8f9), kEqAccent (0xffc4b5fd);

juce::Rectangle<float> glassOf (juce::Rectangle<float> r)
{
    return { r.getX() + 5.5f, r.getY() + 5.5f, juce::jmax (r.getWidth() - 11.0f, 0.0f), juce::jmax (r.getHeight() - 11.0f, 0.0f) };
}

float frac (double v) { return (float) (v - std::floor (v)); }
float hash (int i) { return frac (std::sin (12.9898 * (double) i + 78.233) * 43758.547); }

juce::Colour withAlphaF (Colour c, float a) { return c.withAlpha (juce::jlimit (0.0f, 1.0f, a)); }

void captionRow (Graphics& g, juce::Rectangle<float> G, const juce::String& left, const juce::String& centre, const juce::String& right)
{
    const auto row = juce::Rectangle<float> (G.getX() + 8.0f, G.getBottom() - 14.0f, juce::jmax (G.getWidth() - 16.0f, 0.0f), 14.0f).toNearestInt();
    g.setColour (kCaption);
    g.setFont (juce::Font (8.0f).withExtraKerningFactor (0.14f));
    g.drawText (left, row, juce::Justification::centredLeft, true);
    g.drawText (centre, row, juce::Justification::centred, true);
    g.drawText (right, row, juce::Justification::centredRight, true);
}

Colour lightened (Colour c) // 255 - (255 - c) * 20/27 per channel
{
    auto f = [] (juce::uint8 v) { return (juce::uint8) (int) (255.0f - (255.0f - (float) v) * 20.0f / 27.0f); };
    return Colour (f (c.getRed()), f (c.getGreen()), f (c.getBlue()), c.getAlpha());
}

Colour darkened (Colour c) // c * 20/23 per channel
{
    auto f = [] (juce::uint8 v) { return (juce::uint8) (int) ((float) v * 20.0f / 23.0f); };
    return Colour (f (c.getRed()), f (c.getGreen()), f (c.getBlue()), c.getAlpha());
}

void handleBall (Graphics& g, juce::Point<float> p, Colour C, float diameter)
{
    g.setColour (C.withAlpha ((juce::uint8) 0x38));
    g.fillEllipse (p.x - 8.5f, p.y - 8.5f, 17.0f, 17.0f);
    g.setGradientFill (ColourGradient (lightened (C), p.x - 2.0f, p.y - 3.0f, darkened (C), p.x + 2.0f, p.y + 3.0f, true));
    g.fillEllipse (p.x - diameter / 2.0f, p.y - diameter / 2.0f, diameter, diameter);
}

void strokeAndFillCurve (Graphics& g, const juce::Path& curve, float baseline, Colour fill, Colour stroke, float thickness)
{
    if (curve.isEmpty())
        return;
    juce::Path area (curve);
    const auto b = curve.getBounds();
    area.lineTo (curve.getCurrentPosition().x, baseline);
    area.lineTo (b.getX(), baseline);
    area.closeSubPath();
    g.setColour (fill);
    g.fillPath (area);
    g.setColour (stroke);
    g.strokePath (curve, juce::PathStrokeType (thickness, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}
}

//==============================================================================
int HardwareArt::delayEchoCount (float feedback) noexcept
{
    const float fb = juce::jlimit (0.0f, 0.95f, std::isfinite (feedback) ? feedback : 0.0f);
    return fb > 0.0f ? juce::jlimit (1, 10, juce::roundToInt (2.0f + 8.0f * fb)) : 1;
}

float HardwareArt::delaySweepX (juce::Rectangle<float> screen, float T, float now) noexcept
{
    const auto G = glassOf (screen);
    const float pw = juce::jmax (G.getWidth() - 20.0f, 0.0f);
    const float t = juce::jmax (T, 0.01f);
    const float s = frac ((double) now / (double) t);
    return G.getX() + 10.0f + 8.0f + s * (pw - 20.0f);
}

juce::String HardwareArt::delayTimeText (float T)
{
    return juce::String (juce::roundToInt (juce::jmax (T, 0.01f) * 1000.0f)) + "ms";
}

void HardwareArt::paintLayerCached (Graphics& g, const juce::String& key, juce::Rectangle<float> area,
                                    const std::function<void (Graphics&)>& paint)
{
    if (std::abs (g.getInternalContext().getPhysicalPixelScaleFactor() - 1.0f) > 1.0e-4f || area.isEmpty())
    {
        paint (g);
        return;
    }
    const Layer* layer = nullptr;
    for (const auto& l : layers)
        if (l.key == key && l.area == area)
            layer = &l;
    if (layer == nullptr)
    {
        // A handful of displays at a time; past 16 layers or 16 MB of them (a window being resized)
        // the collection starts afresh.
        const auto box = area.expanded (2.0f).getSmallestIntegerContainer();
        size_t pixels = (size_t) box.getWidth() * (size_t) box.getHeight();
        for (const auto& l : layers)
            pixels += (size_t) l.image.getWidth() * (size_t) l.image.getHeight();
        if (layers.size() >= 16 || pixels > 4000000)
            layers.clear();
        juce::Image image (juce::Image::ARGB, box.getWidth(), box.getHeight(), true);
        {
            Graphics gi (image);
            gi.setOrigin (-box.getPosition());
            paint (gi);
        }
        layers.push_back ({ key, area, image, box.getPosition() });
        layer = &layers.back();
    }
    g.drawImageAt (layer->image, layer->origin.x, layer->origin.y);
}

void HardwareArt::paintDelayEcho (juce::Graphics& g, juce::Rectangle<float> r, float T, float feedback, float mix, bool active, float now)
{
    const auto G = glassOf (r);
    const float px = G.getX() + 10.0f, pw = juce::jmax (G.getWidth() - 20.0f, 0.0f), top = G.getY() + 8.0f;
    const float ph = G.getHeight() <= 16.0f ? 0.0f : juce::jmax (G.getHeight() - 30.0f, 0.0f);
    const float base = top + ph;
    // The screen and its dot grid stand still: they come from a kept image.
    get()->paintLayerCached (g, active ? "delay-screen-on" : "delay-screen-off", r, [&] (Graphics& gl)
    {
        paintTcScreen (gl, r, active);
        Graphics::ScopedSaveState save (gl);
        juce::Path clip;
        clip.addRoundedRectangle (G, 3.2f);
        gl.reduceClipRegion (clip);
        if (pw > 0.0f && ph > 0.0f)
        {
            gl.setColour (Colour (0x2a5b7a99));
            for (float y = top; y < base; y += 13.0f)
                for (float x = px; x < px + pw; x += 13.0f)
                    gl.fillEllipse (x, y, 1.15f, 1.15f);
        }
    });
    Graphics::ScopedSaveState save (g);
    juce::Path clip;
    clip.addRoundedRectangle (G, 3.2f);
    g.reduceClipRegion (clip);

    const float fb = juce::jlimit (0.0f, 0.95f, std::isfinite (feedback) ? feedback : 0.0f);
    const int n = delayEchoCount (feedback);
    const float t = juce::jmax (T, 0.01f);
    const float s = frac ((double) now / (double) t);
    const float L = active ? 0.55f + 0.45f * juce::jlimit (0.0f, 1.0f, mix) : 0.32f;
    g.setColour (Colour (0x4d5b7a99));
    g.drawLine (px, base, px + pw, base, 0.6f);

    const float x0 = px + 8.0f, span = pw - 20.0f, step = span / (float) n, A = 0.82f * ph;
    const float sx = x0 + s * span;
    juce::Path curve;
    curve.startNewSubPath (x0, base - A);
    for (int i = 1; i <= n; ++i)
        curve.lineTo (x0 + step * (float) i, base - A * std::pow (fb, (float) i));
    strokeAndFillCurve (g, curve, base, withAlphaF (kDelayAccent2, 0.16f * L), withAlphaF (kDelayAccent2, L), 1.35f);

    auto tap = [&] (float x, float h, float v) {
        g.setColour (withAlphaF (kDelayAccent2, 0.28f * L));
        g.fillRoundedRectangle (x - 1.15f * v, base - h - 3.0f, 2.3f * v, h + 6.0f, v);
        Graphics::ScopedSaveState s2 (g);
        g.setGradientFill (ColourGradient (kDelayAccent2, x, base - h, kDelayAccent1, x, base, false));
        g.setOpacity (L); // after the fill: a new fill resets the opacity
        g.fillRoundedRectangle (x - 0.5f * v, base - h, v, h, 0.4f * v);
    };
    tap (x0, A, 4.0f);
    for (int i = 1; i <= n; ++i)
    {
        const float xi = x0 + step * (float) i, hi = A * std::pow (fb, (float) i);
        tap (xi, hi, 3.2f);
        const float gl = std::exp (-(sx - xi) * (sx - xi) / 242.0f);
        g.setColour (withAlphaF (kDelayAccent2, 0.7f * gl));
        g.fillRoundedRectangle (xi - 2.4f, base - hi - 4.0f, 4.8f, 4.0f, 1.2f);
        g.setColour (withAlphaF (juce::Colours::white, 0.45f * gl));
        g.fillEllipse (xi - 1.6f, base - hi - 5.0f, 3.2f, 3.2f);
    }

    g.setColour (kDelayAccent2.withAlpha ((juce::uint8) (active ? 0x38 : 0x1a)));
    g.fillRect (sx - 3.0f, top + 4.0f, 6.0f, juce::jmax (base - top - 4.0f, 0.0f));
    g.setColour (kDelayAccent2.withAlpha ((juce::uint8) (active ? 0xe6 : 0x66)));
    g.drawLine (sx, top + 4.0f, sx, base, 0.85f);

    g.setColour (kDelayAccent2);
    g.setFont (juce::Font (12.0f, juce::Font::bold));
    g.drawText (delayTimeText (T), juce::Rectangle<int> ((int) (px + pw) - 72, (int) top, 70, 14), juce::Justification::centredRight, true);

    captionRow (g, G, "DRY", juce::String (juce::CharPointer_UTF8 ("ECHOES \xc2\xb7 FEEDBACK ")) + juce::String (juce::roundToInt (fb * 100.0f)) + "%", "TAIL");
    paintTcGlassOverlay (g, r);
}

//==============================================================================
juce::String HardwareArt::reverbDecayText (float decay)
{
    return juce::String (std::isfinite (decay) ? decay : 0.0f, 1) + "s";
}

juce::Colour HardwareArt::reverbFieldAccent (float damping) noexcept
{
    return Colour (damping > 0.6f ? 0xff818cf8 : 0xffc084fc);
}

int HardwareArt::reverbTailBars (float size) noexcept { return juce::jmax (juce::roundToInt (36.0f * size) + 64, 0); }
int HardwareArt::reverbEarlyBars (float size, float xl) noexcept { return juce::jmax (juce::roundToInt (6.0f * size + 4.0f * xl) + 7, 0); }

namespace
{
// Where the reverb field's plot and its tail lie; the painter and the repaint area share it.
struct ReverbPlot
{
    float px, pw, py, ph, bottom, right, d, p, preX, eW, tS, tA;
};

ReverbPlot reverbPlot (juce::Rectangle<float> r, float decay, float size, float xl, float predelay) noexcept
{
    ReverbPlot q {};
    const auto G = glassOf (r);
    q.px = G.getX() + 8.0f;
    q.pw = juce::jmax (G.getWidth() - 16.0f, 0.0f);
    q.py = G.getY() + 6.0f;
    q.ph = G.getHeight() <= 12.0f ? 0.0f : juce::jmax (G.getHeight() - 26.0f, 0.0f);
    q.bottom = q.py + q.ph;
    q.right = q.px + q.pw;
    q.d = juce::jlimit (0.0f, 1.0f, (decay - 0.5f) / 14.5f);
    q.p = juce::jlimit (0.0f, 1.0f, predelay / 200.0f);
    q.preX = q.px + 8.0f + 44.0f * q.p;
    q.eW = q.pw * (0.1f + 0.14f * size + 0.04f * xl);
    q.tS = juce::jmin (q.right - 40.0f, q.preX + q.eW);
    q.tA = (1.0f + 0.12f * xl) * (0.6f + 0.5f * q.d) * 0.72f * q.ph;
    return q;
}
}

juce::Rectangle<float> HardwareArt::reverbTailArea (juce::Rectangle<float> r, float decay, float size, float xl, float predelay) noexcept
{
    const auto q = reverbPlot (r, decay, size, xl, predelay);
    // On to the screen's right edge: a repaint whose right edge falls inside the glass's rounded
    // clip paints its last column a shade off.
    const float x0 = juce::jmin (q.tS, q.right - 4.0f);
    return juce::Rectangle<float>::leftTopRightBottom (x0 - 1.0f, q.bottom - juce::jmax (q.tA, 0.0f) - 1.0f, r.getRight() + 1.0f, q.bottom + 1.0f);
}

void HardwareArt::paintReverbField (juce::Graphics& g, juce::Rectangle<float> r, float decay, float size, float xl, float predelay,
                                    float mix, float damping, bool active, float now)
{
    const auto G = glassOf (r);
    const auto [px, pw, py, ph, bottom, right, d, p, preX, eW, tS, tA] = reverbPlot (r, decay, size, xl, predelay);
    const float dH = (0.7f + 0.3f * mix) * 0.82f * ph;
    const auto C = reverbFieldAccent (damping);
    const float k = active ? 1.0f : 0.5f;
    const float shape = 1.5f - 0.55f * xl;

    // The screen and its dot grid stand still: they come from a kept image.
    get()->paintLayerCached (g, juce::String (active ? "reverb-screen-on-" : "reverb-screen-off-") + juce::String::toHexString ((int) C.getARGB()), r,
                             [&] (Graphics& gl)
    {
        paintTcScreen (gl, r, active);
        gl.setColour (C.withAlpha ((juce::uint8) 0x24));
        for (float y = py; y < bottom; y += 13.0f)
            for (float x = px; x < right; x += 13.0f)
                gl.fillEllipse (x, y, 1.1f, 1.1f);
    });
    g.setColour (C.withAlpha ((juce::uint8) 0x54));
    g.drawLine (px, bottom, right, bottom, 0.6f);

    const int m = reverbTailBars (size);
    g.setColour (C.withAlpha ((juce::uint8) (active ? 255 : 128)));
    for (int i = 0; i < m; ++i)
    {
        const float u = (float) i / (float) m;
        const float x = tS + u * (right - 4.0f - tS);
        const float e = std::pow (1.0f - u, shape);
        const float h1 = hash (i) * juce::MathConstants<float>::twoPi;
        const float speed = 1.4f + 4.5f * hash (i + 7);
        const float flicker = 0.5f + 0.5f * std::sin (now * speed + h1);
        const float b = tA * e * (0.32f + 0.68f * flicker);
        g.fillRect (x, bottom - b, 1.4f, b);
    }

    juce::Path env;
    for (int j = 0; j <= 44; ++j)
    {
        const float u = (float) j / 44.0f;
        const juce::Point<float> pt (tS + u * (right - 4.0f - tS), bottom - tA * std::pow (1.0f - u, shape));
        if (j == 0)
            env.startNewSubPath (pt);
        else
            env.lineTo (pt);
    }
    strokeAndFillCurve (g, env, bottom, withAlphaF (C, 0.14f * k), C.withAlpha ((juce::uint8) 0xe6), 1.15f);

    g.setColour (withAlphaF (C, 0.3f * k));
    g.fillRoundedRectangle (px + 2.5f, bottom - dH - 3.0f, 6.0f, dH + 6.0f, 2.5f);
    g.setColour (C);
    g.fillRoundedRectangle (px + 4.0f, bottom - dH, 3.0f, dH, 1.5f);

    const int q = reverbEarlyBars (size, xl);
    for (int j = 0; j < q; ++j)
    {
        const float u = (float) j / (float) q;
        const float r1 = hash (j), r2 = hash (j + 99);
        const float x = preX + u * eW + (r1 - 0.5f) * eW * 0.08f;
        const float h = (0.45f + 0.55f * r2) * (1.0f - 0.75f * u) * (0.7f + 0.3f * size) * 0.48f * ph;
        g.setColour (withAlphaF (C, 0.22f * k));
        g.fillRoundedRectangle (x - 1.6f, bottom - h - 2.0f, 3.2f, h + 4.0f, 1.2f);
        g.setColour (withAlphaF (C, k));
        g.fillRoundedRectangle (x - 0.8f, bottom - h, 1.6f, h, 0.8f);
    }

    g.setColour (C);
    g.setFont (juce::Font (12.0f, juce::Font::bold));
    g.drawText (reverbDecayText (decay), juce::Rectangle<int> ((int) right - 56, (int) py, 52, 14), juce::Justification::centredRight, true);

    for (const auto pt : { juce::Point<float> (px + 5.5f, bottom - dH), juce::Point<float> (preX, bottom - 0.36f * ph), juce::Point<float> (tS, bottom - tA) })
    {
        handleBall (g, pt, C, 11.0f);
        g.setColour (Colour (0xff0b1020));
        g.drawEllipse (pt.x - 5.5f, pt.y - 5.5f, 11.0f, 11.0f, 1.2f);
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x8c));
        g.fillEllipse (pt.x - 2.4f, pt.y - 3.4f, 3.4f, 2.6f);
    }

    captionRow (g, G, "DIRECT", "EARLY REFLECTIONS", "TAIL / DENSITY");
    paintTcGlassOverlay (g, r);
}

//==============================================================================
float HardwareArt::reverbEqResponseDb (float f, float lowCut, float damping, float shelfFreq, float shelfGain) noexcept
{
    const double lc = juce::jlimit (20.0, 1000.0, (double) lowCut);
    const double dF = 500.0 + 19500.0 * juce::jlimit (0.0, 1.0, (double) damping);
    const double sf = juce::jlimit (1000.0, 16000.0, (double) shelfFreq);
    const double gs = juce::jlimit (-12.0, 12.0, (double) shelfGain);
    const double F = f, f2 = F * F, f4 = f2 * f2;
    const double hp = 20.0 * std::log10 (juce::jmax (f2 / std::sqrt (f4 + lc * lc * lc * lc), 1e-6));
    const double lp = 20.0 * std::log10 (juce::jmax (dF * dF / std::sqrt (f4 + dF * dF * dF * dF), 1e-6));
    return (float) (hp + lp + gs * f2 / (f2 + sf * sf));
}

HardwareArt::ReverbEqGeom HardwareArt::makeReverbEqGeom (juce::Rectangle<float> r, float lowCut, float damping, float shelfFreq, float shelfGain)
{
    ReverbEqGeom geom;
    const float W = juce::jmax (r.getWidth() - 39.0f, 0.0f), H = juce::jmax (r.getHeight() - 51.0f, 0.0f);
    geom.plot = { r.getX() + 19.5f, r.getY() + 21.5f, W, H };
    const float lc = juce::jlimit (20.0f, 1000.0f, lowCut);
    const float dF = 500.0f + 19500.0f * juce::jlimit (0.0f, 1.0f, damping);
    const float sf = juce::jlimit (1000.0f, 16000.0f, shelfFreq);
    auto X = [&] (float f) { return geom.plot.getX() + W * std::log10 (juce::jmax (f / 20.0f, 1.0f)) / 3.0f; };
    auto Y = [&] (float f) {
        const float R = reverbEqResponseDb (f, lowCut, damping, shelfFreq, shelfGain);
        return juce::jlimit (geom.plot.getY(), geom.plot.getY() + H, geom.plot.getY() + H * (12.0f - R) / 36.0f);
    };
    geom.lowCutHandle = { X (lc), Y (lc) };
    geom.dampingHandle = { X (dF), Y (dF) };
    geom.shelfHandle = { X (sf), Y (sf) };
    return geom;
}

void HardwareArt::paintReverbEq (juce::Graphics& g, juce::Rectangle<float> r, float lowCut, float damping, float shelfFreq, float shelfGain)
{
    paintTcScreen (g, r, true);
    const auto geom = makeReverbEqGeom (r, lowCut, damping, shelfFreq, shelfGain);
    const auto& plot = geom.plot;
    const float W = plot.getWidth(), H = plot.getHeight(), right = plot.getX() + W, bottom = plot.getY() + H;
    const auto C = kEqAccent;

    g.setColour (C.withAlpha ((juce::uint8) 0x2e));
    if (W > 0.0f)
        for (float y : { plot.getY() + H / 3.0f, plot.getY() + 2.0f * H / 3.0f, bottom })
            g.fillRect (plot.getX(), std::floor (y), W, 1.0f);
    if (H > 0.0f)
        for (float fx : { 0.23299f, 0.5663233f, 0.8996567f })
            g.fillRect (std::floor (plot.getX() + W * fx), plot.getY(), 1.0f, H);

    juce::Path curve;
    for (int i = 0; i < 160; ++i)
    {
        const float f = 20.0f * std::pow (1000.0f, (float) i / 159.0f);
        const float R = reverbEqResponseDb (f, lowCut, damping, shelfFreq, shelfGain);
        float v = (12.0f - R) / 36.0f;
        if (R > 12.0f)
            v = 0.0f;
        if (R < -24.0f)
            v = 1.0f;
        const juce::Point<float> pt (plot.getX() + W * std::log10 (juce::jmax (f / 20.0f, 1.0f)) / 3.0f, plot.getY() + H * v);
        if (i == 0)
            curve.startNewSubPath (pt);
        else
            curve.lineTo (pt);
    }
    juce::Path area (curve);
    area.lineTo (right, bottom);
    area.lineTo (plot.getX(), bottom);
    area.closeSubPath();
    g.setColour (C.withAlpha ((juce::uint8) 0x1f));
    g.fillPath (area);
    g.setColour (C);
    g.strokePath (curve, juce::PathStrokeType (1.9f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));

    const std::pair<juce::Point<float>, const char*> handles[] = { { geom.lowCutHandle, "LC" }, { geom.dampingHandle, "Dmp" }, { geom.shelfHandle, "HS" } };
    for (const auto& [p, label] : handles)
    {
        handleBall (g, p, C, 10.0f);
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x8c));
        g.fillEllipse (p.x - 2.2f, p.y - 3.2f, 3.0f, 2.4f);
        g.setColour (juce::Colours::white);
        g.setFont (juce::Font (8.0f));
        g.drawText (label, juce::Rectangle<int> ((int) (p.x - 18.0f), (int) (p.y - 16.0f), 36, 10), juce::Justification::centred, false);
    }
    captionRow (g, glassOf (r), "DIRECT", "EARLY REFLECTIONS", "TAIL / DENSITY");
    paintTcGlassOverlay (g, r);
}
