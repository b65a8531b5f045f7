#include "Ui/Controls/VuMeter.h"

#include "Ui/Foundation/VyrPainting.h"

#include <cmath>

using juce::Colour;
using juce::Point;
using juce::Rectangle;

namespace
{
constexpr float kRectAspect = 1.6279069f; // 70:43

// Scale marks in VU, their captions, the minor marks and the percent captions.
const float kMajorV[] = { -20.0f, -10.0f, -7.0f, -5.0f, -3.0f, -2.0f, -1.0f, 0.0f, 1.0f, 2.0f, 3.0f };
const char* const kMajorL[] = { "20", "10", "7", "5", "3", "2", "1", "0", "+1", "+2", "+3" };
const float kMinor[] = { -18.0f, -16.0f, -14.0f, -12.0f, -9.0f, -8.0f, -6.0f, -4.0f, 0.5f, 1.5f, 2.5f };
const int kPct[] = { 20, 40, 60, 80, 100 };

// The dial's virtual canvas: canvas point (u, v) is at (ox + s u, oy + s v) on screen.
struct Vb
{
    float s, ox, oy;
    Point<float> at (float u, float v) const noexcept { return { ox + s * u, oy + s * v }; }
    Point<float> at (Point<float> c) const noexcept { return at (c.x, c.y); }
    // Canvas point at a radius and angle (degrees, clockwise from straight up) about a centre.
    Point<float> polar (Point<float> c, float radius, float degrees) const noexcept
    {
        const float a = juce::degreesToRadians (degrees);
        return at (c.x + radius * std::sin (a), c.y - radius * std::cos (a));
    }
};

juce::Font faceFont (float sizePx) { return juce::Font ("Helvetica Neue", juce::jmax (sizePx, 5.0f), juce::Font::bold); }

Colour black (int alpha) { return juce::Colours::black.withAlpha ((juce::uint8) alpha); }
Colour white (int alpha) { return juce::Colours::white.withAlpha ((juce::uint8) alpha); }

Rectangle<int> boxAbout (Point<float> centre, float w, float h)
{
    return { juce::roundToInt (centre.x - w / 2.0f), juce::roundToInt (centre.y - h / 2.0f), (int) w, (int) h };
}

void fillShape (juce::Graphics& g, Rectangle<float> r, bool round, float corner)
{
    if (round)
        g.fillEllipse (r);
    else
        g.fillRoundedRectangle (r, corner);
}

juce::Path shapeOf (Rectangle<float> r, bool round, float corner)
{
    juce::Path p;
    if (round)
        p.addEllipse (r);
    else
        p.addRoundedRectangle (r, corner);
    return p;
}

void fillZincHousing (juce::Graphics& g, Rectangle<float> r, bool round, float corner)
{
    g.setGradientFill (juce::ColourGradient (Colour (0xffd4d4d8), r.getX(), r.getY(), Colour (0xff52525b), r.getX(), r.getBottom(), false));
    fillShape (g, r, round, corner);
}

void creamFace (juce::Graphics& g, Rectangle<float> r, bool round, float corner)
{
    const Point<float> c (r.getCentreX(), r.getY() + 0.4f * r.getHeight());
    juce::ColourGradient grad (Colour (0xffead5a0), c, Colour (0xffc69b55), c.translated (0.68f * r.getWidth(), 0.0f), true);
    grad.addColour (0.55, Colour (0xffdebc76));
    g.setGradientFill (grad);
    fillShape (g, r, round, corner);
}

void vigFace (juce::Graphics& g, Rectangle<float> r, bool round, float centreFactor, float radiusFactor, float corner)
{
    juce::Graphics::ScopedSaveState save (g);
    g.reduceClipRegion (shapeOf (r, round, corner));
    const Point<float> c (r.getCentreX(), r.getY() + centreFactor * r.getHeight());
    juce::ColourGradient grad (juce::Colours::transparentBlack, c, Colour (0x2e2a2a2a), c.translated (radiusFactor * r.getWidth(), 0.0f), true);
    grad.addColour (0.72, juce::Colours::transparentBlack);
    g.setGradientFill (grad);
    g.fillRect (r);
}

void strokeArc (juce::Graphics& g, const Vb& vb, Point<float> centre, float radius, float startDeg, float endDeg, Colour colour,
                float width, float alphaFactor)
{
    const int steps = juce::jmax (8, juce::roundToInt (std::abs (endDeg - startDeg)));
    juce::Path p;
    for (int i = 0; i <= steps; ++i)
    {
        const auto pt = vb.polar (centre, radius, startDeg + (endDeg - startDeg) * (float) i / (float) steps);
        if (i == 0)
            p.startNewSubPath (pt);
        else
            p.lineTo (pt);
    }
    const int alpha = juce::jmin (juce::roundToInt ((float) colour.getAlpha() * alphaFactor), 255);
    g.setColour (colour.withAlpha ((juce::uint8) alpha));
    g.strokePath (p, juce::PathStrokeType (width * vb.s, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void radialLine (juce::Graphics& g, const Vb& vb, Point<float> pivot, float r0, float r1, float degrees, float width, Colour c)
{
    g.setColour (c);
    g.drawLine (juce::Line<float> (vb.polar (pivot, r0, degrees), vb.polar (pivot, r1, degrees)), width * vb.s);
}

void paintNeedle (juce::Graphics& g, const Vb& vb, Point<float> pivot, float length, float degrees, bool rect)
{
    const auto p = vb.at (pivot);
    const float s = vb.s;
    juce::Graphics::ScopedSaveState save (g);
    g.addTransform (juce::AffineTransform::rotation (juce::degreesToRadians (degrees), p.x, p.y));
    g.setColour (Colour (0xff0a0a0a));
    const float tail = rect ? 14.0f : 16.0f;
    g.drawLine (p.x, p.y + tail * s, p.x, p.y + 4.0f * s, 3.0f * s);
    g.drawLine (p.x, p.y, p.x, p.y + (6.0f - length) * s, (rect ? 1.6f : 1.8f) * s);
    const float w = (rect ? 2.0f : 2.2f) * s;
    juce::Path tip;
    tip.addTriangle (p.x - w, p.y + (14.0f - length) * s, p.x + w, p.y + (14.0f - length) * s, p.x, p.y + (2.0f - length) * s);
    g.fillPath (tip);
}

void paintPivotHub (juce::Graphics& g, const Vb& vb, Point<float> pivot, bool rect)
{
    const auto p = vb.at (pivot);
    const float s = vb.s;
    if (rect)
    {
        const float R = 16.0f * s;
        juce::Path half;
        for (int i = 0; i <= 24; ++i)
        {
            const float a = juce::MathConstants<float>::pi * (float) i / 24.0f; // from the left, over the top
            const Point<float> q (p.x - R * std::cos (a), p.y - R * std::sin (a));
            if (i == 0)
                half.startNewSubPath (q);
            else
                half.lineTo (q);
        }
        half.closeSubPath();
        juce::ColourGradient grad (Colour (0xff3a3a3a), p.x - 0.4f * R, p.y - 0.25f * R, Colour (0xff0a0a0a), p.x + 0.1f * R, p.y + 0.12f * R, true);
        grad.addColour (0.5, Colour (0xff161616));
        g.setGradientFill (grad);
        g.fillPath (half);
        g.setColour (Colour (0xff5a5a5a));
        g.strokePath (half, juce::PathStrokeType (0.6f * s));
        g.setColour (white (0x24));
        g.fillEllipse (Rectangle<float> (0.66f * R, 0.26f * R).withCentre ({ p.x - 0.4f * R, p.y - 0.52f * R }));
    }

    const float r = (rect ? 5.5f : 7.5f) * s;
    juce::ColourGradient hub (Colour (0xff5c5c5c), p.x - 0.42f * r, p.y - 0.55f * r, Colour (0xff0c0c0c), p.x + 0.22f * r, p.y + 0.55f * r, true);
    hub.addColour (0.4, Colour (0xff2a2a2a));
    g.setGradientFill (hub);
    g.fillEllipse (p.x - r, p.y - r, 2.0f * r, 2.0f * r);
    g.setColour (white (0x38));
    const float ring = r - 0.55f * s;
    if (ring > 0.0f)
        g.drawEllipse (p.x - ring, p.y - ring, 2.0f * ring, 2.0f * ring, 0.7f * s);
    g.setColour (Colour (rect ? 0xff5a5a5a : 0xff6a6a6a));
    g.drawEllipse (p.x - r, p.y - r, 2.0f * r, 2.0f * r, (rect ? 0.5f : 0.8f) * s);

    const float E = (rect ? 2.4f : 3.0f) * s;
    g.setGradientFill (juce::ColourGradient (Colour (0xff6a6a6a), p.x - 0.3f * E, p.y - 0.4f * E, Colour (0xff3a3a3a), p.x, p.y + E, true));
    g.fillEllipse (p.x - E, p.y - E, 2.0f * E, 2.0f * E);
    g.setColour (white (0x5c));
    g.fillEllipse (Rectangle<float> (0.72f * r, 0.34f * r).withCentre ({ p.x - 0.5f * r, p.y - 0.62f * r }));
    g.setColour (white (0x29));
    g.fillEllipse (Rectangle<float> (0.26f * r, 0.16f * r).withCentre ({ p.x - 0.16f * r, p.y - 0.1f * r }));
    if (rect)
    {
        g.setColour (Colour (0xff9a9a9a));
        g.drawLine (p.x - 2.5f * s, p.y, p.x + 2.5f * s, p.y, 0.9f * s);
        g.setColour (white (0x66));
        g.drawLine (p.x - 1.4f * s, p.y - 0.35f * s, p.x + 0.5f * s, p.y - 0.35f * s, 0.55f * s);
    }
}

Colour labelColour (int theme, bool round)
{
    static const juce::uint32 roundInk[] = { 0xffdde7f0, 0xff2a2a3a, 0xffe4d6b0, 0xffffb84d, 0xff7df9ff, 0xff333333 };
    static const juce::uint32 rectInk[] = { 0xff7dd3fc, 0xfff5d0fe, 0xffe4c98a, 0xffffb84d, 0xff7df9ff, 0xffd5ddd5 };
    if (theme < 0 || theme > 5)
        return Colour (0xff333333);
    return Colour (round ? roundInk[theme] : rectInk[theme]);
}

// Dark-on-light fill of an active header segment in an accent's hue, and its text colour.
void segmentColours (Colour accent, Colour& fill, Colour& text)
{
    float h = 0, s = 0, b = 0;
    vyrToHsb (accent, h, s, b);
    fill = Colour::fromHSV (h, juce::jmin (0.9f * s, 0.7f), juce::jmin (0.82f * b, 0.7f), accent.getFloatAlpha());
    float fh = 0, fs = 0, fb = 0;
    vyrToHsb (fill, fh, fs, fb);
    text = Colour::fromHSV (fh, juce::jmin (0.28f * fs, 0.2f), 0.92f, 1.0f);
}

void paintSegment (juce::Graphics& g, Rectangle<float> box, const juce::String& text, bool active, Colour accent)
{
    Colour fill, ink (0xffd4d8de);
    if (active)
    {
        Colour activeInk;
        segmentColours (accent, fill, activeInk);
        g.setColour (fill);
        g.fillRoundedRectangle (box.reduced (0.5f), 3.0f);
        ink = activeInk;
    }
    g.setColour (ink);
    g.setFont (juce::Font (9.0f, juce::Font::bold).withExtraKerningFactor (0.08f));
    g.drawText (text, box, juce::Justification::centred, false);
}
}

VuMeter::LampKernel::LampKernel()
    : image (juce::Image::ARGB, 96, 96, true)
{
    juce::Image::BitmapData data (image, juce::Image::BitmapData::writeOnly);
    for (int r = 0; r < 96; ++r)
        for (int c = 0; c < 96; ++c)
        {
            const float u = ((float) c + 0.5f) / 48.0f - 1.0f, v = ((float) r + 0.5f) / 48.0f - 1.0f;
            const float d2 = u * u + v * v;
            const float a = d2 < 1.0f ? (1.0f - d2) * (1.0f - d2) * std::exp (-3.6f * d2) : 0.0f;
            data.setPixelColour (c, r, juce::Colours::white.withAlpha (a));
        }
}

VuMeter::VuMeter (std::atomic<float>* inL, std::atomic<float>* inR, std::atomic<float>* outL, std::atomic<float>* outR)
    : sources { inL, inR, outL, outR }
{
    setOpaque (false);
    lastTickMs = clock();
    startTimer (16);
}

VuMeter::~VuMeter() { stopTimer(); }

float VuMeter::positionOfVu (float vu) noexcept
{
    const float p = std::pow (10.0f, (vu - 3.0f) / 20.0f);
    return std::isnan (p) ? 0.0f : juce::jlimit (0.0f, 1.0f, p);
}

float VuMeter::needleAngle (float position, bool round) noexcept
{
    return round ? 100.0f * position - 50.0f : 150.0f * position - 75.0f;
}

void VuMeter::timerCallback()
{
    const double now = clock();
    double dt = juce::jmin ((now - lastTickMs) / 1000.0, 0.05);
    if (! (dt > 0.0))
        dt = 0.0;
    lastTickMs = now;

    for (int i = 0; i < 2; ++i)
    {
        auto* src = sources[(showInput ? 0 : 2) + i];
        const float x = (src != nullptr ? src->load (std::memory_order_acquire) : 0.0f) + 1e-8f;
        const float db = x > 0.0f ? 20.0f * std::log10 (x) : -1000.0f;
        const float vu = db > -100.0f ? db + 18.0f : -85.0f; // NaN falls to rest
        const float target = positionOfVu (vu);
        const float tau = (target >= needle[i] ? riseMs : fallMs) / 1000.0f;
        const float k = 1.0f - std::exp (-(float) dt / juce::jmax (tau, 0.001f));
        needle[i] += (target - needle[i]) * k;
    }

    if (vyrVisibleInScroll (*this) && needsRepaint())
        repaint();
}

bool VuMeter::needsRepaint() const
{
    const CacheKey now { getWidth(), getHeight(), theme, roundDial, showInput, ballisticsOpen, paintedKey.scale };
    return ! (now == paintedKey) || std::abs (needle[0] - paintedNeedle[0]) > 1e-4f || std::abs (needle[1] - paintedNeedle[1]) > 1e-4f || riseMs != paintedRise || fallMs != paintedFall;
}

void VuMeter::resized() { layoutHits(); }

void VuMeter::layoutHits()
{
    const float W = (float) getWidth(), H = (float) getHeight();
    const float A = W - 32.0f, M = juce::jmax (H - 72.0f, 80.0f);
    bounds = { 0.0f, 0.0f, W, H };
    header = { 16.0f, 16.0f, juce::jmax (A, 0.0f), 24.0f };
    meterArea = { 16.0f, 52.0f, juce::jmax (A, 0.0f), M };

    const float R = juce::jmax (W - 56.0f, 0.0f);
    const float t = juce::jmin (R, 88.0f);
    const float x0 = 28.0f + t, r1 = R - t;
    const float b = juce::jmin (r1, 20.0f);
    ballisticsBox = { x0 + r1 - b + 1.0f, 20.0f, juce::jmax (b - 2.0f, 0.0f), 16.0f };
    const float r2 = r1 - b, r3 = r2 - juce::jmin (r2, 8.0f);
    const float p = juce::jmin (r3, 88.0f), pl = x0 + r3 - p;
    roundBox = { pl, 19.0f, p / 2.0f, 18.0f };
    rectBox = { pl + p / 2.0f, 19.0f, p - p / 2.0f, 18.0f };
    const float r4 = r3 - p, r5 = r4 - juce::jmin (r4, 8.0f);
    const float q = juce::jmin (r5, 64.0f), ql = x0 + r5 - q;
    inBox = { ql, 19.0f, q / 2.0f, 18.0f };
    outBox = { ql + q / 2.0f, 19.0f, q - q / 2.0f, 18.0f };

    const float G = roundDial ? (A >= 480.0f ? 40.0f : 24.0f) : (A >= 520.0f ? 48.0f : 32.0f);
    const float hMax = juce::jmax (M - 20.0f, 40.0f), wMax = juce::jmax ((A - G) / 2.0f, 40.0f);
    float dw, dh;
    if (roundDial)
        dw = dh = juce::jmin (hMax, wMax);
    else if (wMax / kRectAspect > hMax)
        dh = hMax, dw = hMax * kRectAspect;
    else
        dw = wMax, dh = wMax / kRectAspect;
    const float x1 = 16.0f + (A - (2.0f * dw + G)) / 2.0f;
    const float y = 52.0f + (M - (dh + 20.0f)) / 2.0f;
    leftDial = { x1, y, dw, dh };
    rightDial = { x1 + dw + G, y, dw, dh };
    leftLabel = { x1, y + dh + 8.0f, dw, 12.0f };
    rightLabel = { x1 + dw + G, y + dh + 8.0f, dw, 12.0f };

    const float PW = juce::jmax (A - 12.0f, 0.0f), PH = juce::jmax (M - 12.0f, 0.0f);
    const float bb = juce::jmin (PH, 72.0f), by = 58.0f + PH - bb;
    const float I = juce::jmax (PW - 16.0f, 0.0f), half = I / 2.0f, rest = I - half;
    const float room = juce::jmax (bb - 12.0f, 0.0f), label = juce::jmin (room, 16.0f);
    const float rowTop = by + 6.0f + label, trackH = juce::jmin (room - label, 10.0f);
    riseTrack = { 36.0f, rowTop, juce::jmax (half - 12.0f, 0.0f), trackH };
    fallTrack = { half + 36.0f, rowTop, juce::jmax (rest - 12.0f, 0.0f), trackH };
    standardBox = { PW - 70.0f, by + bb - 18.0f, 84.0f, 14.0f };
}

void VuMeter::setSliderFromX (int slider, float x)
{
    const auto& track = slider == 1 ? riseTrack : fallTrack;
    const float s = juce::jlimit (0.0f, 1.0f, (x - track.getX() - 6.0f) / juce::jmax (track.getWidth() - 12.0f, 1.0f));
    auto toFive = [] (float v)
    { return 5.0f * std::round (v / 5.0f); };
    if (slider == 1)
    {
        riseMs = toFive (10.0f + 590.0f * s);
        fallMs = toFive (fallMs);
    }
    else
    {
        fallMs = toFive (10.0f + 990.0f * s);
        riseMs = toFive (riseMs);
    }
    dragSlider = slider;
}

void VuMeter::mouseDown (const juce::MouseEvent& e)
{
    const auto p = e.position;
    if (inBox.contains (p))
        showInput = true;
    else if (outBox.contains (p))
        showInput = false;
    else if (roundBox.contains (p))
    {
        roundDial = true;
        layoutHits();
    }
    else if (rectBox.contains (p))
    {
        roundDial = false;
        layoutHits();
    }
    else if (ballisticsBox.contains (p))
        ballisticsOpen = ! ballisticsOpen;
    else if (ballisticsOpen && standardBox.contains (p))
        riseMs = fallMs = 300.0f;
    else if (ballisticsOpen && riseTrack.expanded (0.0f, 8.0f).contains (p))
        setSliderFromX (1, p.x);
    else if (ballisticsOpen && fallTrack.expanded (0.0f, 8.0f).contains (p))
        setSliderFromX (2, p.x);
}

void VuMeter::mouseDrag (const juce::MouseEvent& e)
{
    if (dragSlider == 1 || dragSlider == 2)
        setSliderFromX (dragSlider, e.position.x);
}

void VuMeter::mouseUp (const juce::MouseEvent&) { dragSlider = 0; }

void VuMeter::paint (juce::Graphics& g)
{
    layoutHits();
    const float scale = juce::jlimit (0.25f, 8.0f, g.getInternalContext().getPhysicalPixelScaleFactor());
    const CacheKey key { getWidth(), getHeight(), theme, roundDial, showInput, ballisticsOpen, scale };
    if (! (key == cacheKey) || ! staticLayer.isValid())
    {
        cacheKey = key;
        staticLayer = {};
        const int pw = juce::roundToInt ((float) getWidth() * scale), ph = juce::roundToInt ((float) getHeight() * scale);
        if (pw > 0 && ph > 0 && (juce::int64) pw * ph <= 16 * 1024 * 1024)
        {
            staticLayer = juce::Image (juce::Image::ARGB, pw, ph, true);
            juce::Graphics sg (staticLayer);
            sg.addTransform (juce::AffineTransform::scale (scale));
            paintStatic (sg);
        }
    }
    if (staticLayer.isValid())
        g.drawImageTransformed (staticLayer, juce::AffineTransform::scale (1.0f / scale));
    else
        paintStatic (g);

    if (roundDial)
    {
        paintRoundTop (g, leftDial, needle[0]);
        paintRoundTop (g, rightDial, needle[1]);
    }
    else
    {
        paintRectTop (g, leftDial, needle[0]);
        paintRectTop (g, rightDial, needle[1]);
    }
    if (ballisticsOpen)
        paintBallistics (g);

    paintedKey = key;
    paintedNeedle[0] = needle[0], paintedNeedle[1] = needle[1];
    paintedRise = riseMs, paintedFall = fallMs;
}

// Everything the needles do not move: kept as an image until the size, style, identity, header
// state or display scale changes.
void VuMeter::paintStatic (juce::Graphics& g)
{
    paintHousing (g);
    g.setColour (black (0x59));
    g.drawRoundedRectangle (bounds, 12.0f, 1.0f);
    paintHeader (g);

    if (roundDial)
    {
        paintRoundFace (g, leftDial);
        paintRoundFace (g, rightDial);
    }
    else
    {
        paintRectFace (g, leftDial);
        paintRectFace (g, rightDial);
    }

    g.setColour (labelColour (theme, roundDial));
    g.setFont (juce::Font (10.0f, juce::Font::plain).withExtraKerningFactor (0.2f));
    g.drawText ("L METER", leftLabel, juce::Justification::centred, false);
    g.drawText ("R METER", rightLabel, juce::Justification::centred, false);
    // The screws sit in the corners, clear of the ballistics panel drawn over the dials.
    vyrPaintVuBezelScrews (g, bounds, theme, ! roundDial);
}

void VuMeter::paintHousing (juce::Graphics& g)
{
    const auto r = bounds;
    auto gradient = [&] (juce::uint32 top, juce::uint32 bottom)
    {
        g.setGradientFill (juce::ColourGradient (Colour (top), 0.0f, r.getY(), Colour (bottom), 0.0f, r.getBottom(), false));
        g.fillRoundedRectangle (r, 12.0f);
    };
    auto gradient3 = [&] (juce::uint32 top, juce::uint32 mid, juce::uint32 bottom)
    {
        juce::ColourGradient grad (Colour (top), 0.0f, r.getY(), Colour (bottom), 0.0f, r.getBottom(), false);
        grad.addColour (0.55, Colour (mid));
        g.setGradientFill (grad);
        g.fillRoundedRectangle (r, 12.0f);
    };
    auto pin = [&] (juce::uint32 a, juce::uint32 b, juce::uint32 c, juce::uint32 d, juce::uint32 top, juce::uint32 bottom)
    {
        paintPinstripe (g, r, 12.0f, Colour (a), Colour (b), Colour (c), Colour (d), Colour (top), Colour (bottom));
    };
    // 1-px texture lines clipped to the housing: vertical every `step` px from `offset`, or a grid.
    auto lines = [&] (juce::uint32 colour, float step, float offset, bool grid)
    {
        juce::Graphics::ScopedSaveState save (g);
        g.reduceClipRegion (shapeOf (r, false, 12.0f));
        g.setColour (Colour (colour));
        for (float x = r.getX() + offset; x < r.getRight(); x += step)
            g.fillRect (x, r.getY(), 1.0f, r.getHeight());
        if (grid)
            for (float y = r.getY(); y < r.getBottom(); y += step)
                g.fillRect (r.getX(), y, r.getWidth(), 1.0f);
    };
    auto outline = [&] (Colour c, float inset)
    {
        g.setColour (c);
        g.drawRoundedRectangle (r.reduced (inset), 12.0f, 1.0f);
    };

    if (roundDial)
    {
        switch (theme)
        {
            case 0:
                pin (0xffaab8c6, 0xffc2cdda, 0xff9aa8b6, 0xffc6d2de, 0xffc8d4e0, 0xff7a8694);
                break;
            case 1:
                pin (0xffcbc8db, 0xffbab6cc, 0xffaca8c4, 0xffc6c3d8, 0xffd9d6ec, 0xffa6a2c0);
                break;
            case 2:
                pin (0xff3a3d44, 0xff4a4e57, 0xff33363c, 0xff52565f, 0xff4a4e57, 0xff2a2d33);
                break;
            case 3:
                gradient3 (0xff3a2a18, 0xff2a1d10, 0xff1a120a);
                lines (0x0fffc878, 2.0f, 0.0f, false);
                break;
            case 4:
                gradient (0xff1a262c, 0xff141c22);
                lines (0x0d00f0ff, 22.0f, 0.0f, true);
                break;
            case 5:
                pin (0xffc9c9cf, 0xffd4d4da, 0xffc2c2c8, 0xffd8d8de, 0xffdadde2, 0xffa9acb2);
                break;
            default:
                break;
        }
        return;
    }
    switch (theme)
    {
        case 0:
            gradient (0xff2a2a2a, 0xff141414);
            outline (Colour (0x2938e0ff), 0.5f);
            break;
        case 1:
            pin (0xff2a2638, 0xff343044, 0xff221e30, 0xff383348, 0xff2c2740, 0xff171325);
            break;
        case 2:
            gradient (0xff1a1d22, 0xff0c0e12);
            lines (0x0dd4b572, 4.0f, 0.0f, false);
            lines (0x08d4b572, 4.0f, 2.0f, false);
            outline (white (0x14), 0.5f);
            break;
        case 3:
            gradient3 (0xff1c130a, 0xff140d07, 0xff080503);
            lines (0x0affb84d, 2.0f, 0.0f, false);
            break;
        case 4:
            gradient (0xff1a2428, 0xff141c20);
            lines (0x2900f0ff, 18.0f, 0.0f, true);
            outline (Colour (0x4700f0ff), 0.0f);
            break;
        case 5:
            pin (0xff38504a, 0xff46605a, 0xff2e443c, 0xff506a60, 0xff42584e, 0xff2c3c30);
            break;
        default:
            break;
    }
}

void VuMeter::paintHeader (juce::Graphics& g)
{
    g.setColour (roundDial ? Colour (0xff1a1a1a) : black (0x99));
    g.fillRoundedRectangle (header, 5.0f);
    g.setColour (Colour (roundDial ? 0xffd4d4d8 : 0xffa1a1aa));
    g.setFont (juce::Font (9.0f, juce::Font::bold).withExtraKerningFactor (0.22f));
    g.drawText ("VU METER", Rectangle<float> (24.0f, 16.0f, juce::jmax ((float) getWidth() - 48.0f, 0.0f), 24.0f),
                juce::Justification::centredLeft, false);

    auto pair = [&] (Rectangle<float> a, Rectangle<float> b, const char* ta, const char* tb, bool firstActive, Colour frame, Colour accent)
    {
        const auto both = a.getUnion (b);
        if (both.isEmpty())
            return;
        g.setColour (frame);
        g.drawRoundedRectangle (both, 4.0f, 1.0f);
        paintSegment (g, a, ta, firstActive, accent);
        paintSegment (g, b, tb, ! firstActive, accent);
    };
    pair (inBox, outBox, "IN", "OUT", showInput, Colour (roundDial ? 0x993f6b7a : 0xff0891b2), Colour (0xff22d3ee));
    pair (roundBox, rectBox, "ROUND", "RECT", roundDial, Colour (roundDial ? 0xff3f3f46 : 0xff52525b), Colour (0xfffbbf24));

    const auto bx = ballisticsBox;
    if (bx.isEmpty())
        return;
    if (ballisticsOpen)
    {
        g.setColour (Colour (0x33fbbf24));
        g.fillRoundedRectangle (bx, 4.0f);
    }
    g.setColour (Colour (ballisticsOpen ? 0xfffbbf24 : 0xff71717a));
    g.drawRoundedRectangle (bx, 4.0f, 1.0f);

    // Slider icon: three rails with a knob each, on a 24-unit box.
    const float s = juce::jmin (bx.getWidth() - 6.0f, bx.getHeight() - 6.0f) / 24.0f;
    if (s <= 0.0f)
        return;
    const float ox = bx.getCentreX() - 12.0f * s, oy = bx.getCentreY() - 12.0f * s;
    g.setColour (Colour (ballisticsOpen ? 0xfffcd34d : 0xffa1a1aa));
    const float segs[][4] = { { 21, 4, 14, 4 }, { 10, 4, 3, 4 }, { 21, 12, 12, 12 }, { 8, 12, 3, 12 }, { 21, 20, 16, 20 }, { 12, 20, 3, 20 } };
    for (const auto& l : segs)
        g.drawLine (ox + l[0] * s, oy + l[1] * s, ox + l[2] * s, oy + l[3] * s, 2.0f * s);
    for (const auto& c : { Point<float> (14, 4), Point<float> (8, 12), Point<float> (16, 20) })
        g.drawEllipse (ox + (c.x - 2.0f) * s, oy + (c.y - 2.0f) * s, 4.0f * s, 4.0f * s, 2.0f * s);
}

void VuMeter::paintBallistics (juce::Graphics& g)
{
    const float A = (float) getWidth() - 32.0f, M = juce::jmax ((float) getHeight() - 72.0f, 80.0f);
    const float PW = juce::jmax (A - 12.0f, 0.0f), PH = juce::jmax (M - 12.0f, 0.0f);
    const float ph = juce::jmin (PH, 76.0f);
    const Rectangle<float> P (22.0f, 58.0f + PH - ph, PW, ph);
    g.setColour (roundDial ? Colour (0xe0161616) : black (0xe0));
    g.fillRoundedRectangle (P, 6.0f);
    g.setColour (black (0x73));
    g.drawRoundedRectangle (P, 6.0f, 1.0f);

    auto slider = [&] (Rectangle<float> track, const char* name, float value, float maximum)
    {
        const Rectangle<float> box (track.getX(), track.getY() - 16.0f, track.getWidth(), 14.0f);
        g.setFont (juce::Font (9.0f, juce::Font::plain));
        g.setColour (Colour (0xffa1a1aa));
        g.drawText (name, box, juce::Justification::centredLeft, false);
        g.setColour (Colour (0xfffcd34d));
        g.drawText (juce::String (juce::roundToInt (value)) + " ms", box, juce::Justification::centredRight, false);
        g.setColour (Colour (0x66f59e0b));
        g.fillRoundedRectangle (track, 3.0f);
        const Rectangle<float> knob (track.getX() + (track.getWidth() - 12.0f) * (value - 10.0f) / (maximum - 10.0f), track.getY() - 2.0f, 12.0f, 14.0f);
        g.setColour (Colour (0xfffbbf24));
        g.fillEllipse (knob);
        g.setColour (Colour (0xfffde68a));
        g.drawEllipse (knob, 1.0f);
    };
    slider (riseTrack, "Rise", riseMs, 600.0f);
    slider (fallTrack, "Fall", fallMs, 1000.0f);

    const float th = juce::jmin (juce::jmax (ph - 20.0f, 0.0f), 16.0f);
    g.setFont (juce::Font (8.0f, juce::Font::plain));
    g.setColour (Colour (0xff9aa3ae));
    g.drawText (juce::String::fromUTF8 ("Lower = faster / more transient. Standard VU \xe2\x89\x88 300 ms."),
                Rectangle<float> (32.0f, P.getY() + 10.0f + juce::jmax (ph - 20.0f, 0.0f) - th, juce::jmax (PW - 116.0f, 0.0f), th),
                juce::Justification::centredLeft, true);
    g.setColour (Colour (0xd9d4d4d8));
    g.drawRoundedRectangle (standardBox, 3.0f, 1.0f);
    g.setColour (Colour (0xffd4d4d8));
    g.drawText ("Standard VU", standardBox, juce::Justification::centred, false);
}

void VuMeter::paintFaceLamp (juce::Graphics& g, Rectangle<float> face, Point<float> pivot, bool round, float corner)
{
    juce::Graphics::ScopedSaveState save (g);
    g.reduceClipRegion (shapeOf (face, round, corner));
    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);
    const float r = 0.36f * juce::jmin (face.getWidth(), face.getHeight());
    const auto& kernel = lampKernel->image;
    auto stamp = [&] (Colour c, float x, float y, float w, float h)
    {
        if (w < 1.0f || h < 1.0f)
            return;
        g.setColour (c);
        g.drawImage (kernel, Rectangle<float> (x, y, w, h), juce::RectanglePlacement::stretchToFit, true);
    };
    stamp (Colour (0x85e4941c), pivot.x - r, pivot.y - 1.28f * r, 2.0f * r, 1.95f * r);
    stamp (Colour (0x99ffd660), pivot.x - 0.51f * r, pivot.y - 0.77f * r, 1.02f * r, 1.09f * r);
}

static Vb roundCanvas (Rectangle<float> D) noexcept
{
    const float h = juce::jmax (0.0272727f * D.getWidth(), 4.0f);
    const auto inner = D.reduced (juce::jmin (h, D.getWidth() / 2.0f), juce::jmin (h, D.getHeight() / 2.0f));
    const float l = juce::jmin (inner.getWidth(), inner.getHeight()) / 260.0f;
    return { l, inner.getCentreX() - 130.0f * l, inner.getCentreY() - 130.0f * l };
}

static Vb rectCanvas (Rectangle<float> D) noexcept
{
    const float h = juce::jmax (0.0214286f * D.getWidth(), 4.0f);
    const auto inner = D.reduced (juce::jmin (h, D.getWidth() / 2.0f), juce::jmin (h, D.getHeight() / 2.0f));
    const float m = juce::jmin (inner.getHeight() / 172.0f, inner.getWidth() / 280.0f);
    return { m, inner.getCentreX() - 140.0f * m, inner.getCentreY() - 86.0f * m };
}

void VuMeter::paintRoundFace (juce::Graphics& g, Rectangle<float> D)
{
    juce::Path disc;
    disc.addEllipse (D);
    roundShadow.drawForPath (g, disc, juce::DropShadow (black (0xa6), 20, { 0, 8 }));
    fillZincHousing (g, D, true, 0.0f);

    const Vb vb = roundCanvas (D);
    const float l = vb.s;
    if (l <= 0.0f)
        return;
    const Point<float> centre (130.0f, 130.0f), pivot (130.0f, 200.0f);
    auto circle = [&] (float radius)
    { return Rectangle<float> (2.0f * radius * l, 2.0f * radius * l).withCentre (vb.at (centre)); };
    auto angleOf = [] (float vu)
    { return needleAngle (positionOfVu (vu), true); };

    const auto bezel = circle (128.0f);
    juce::ColourGradient grad (Colour (0xfff4f4f6), 0.0f, bezel.getY(), Colour (0xff52525a), 0.0f, bezel.getBottom(), false);
    grad.addColour (0.48, Colour (0xff9a9aa2));
    g.setGradientFill (grad);
    g.fillEllipse (bezel);
    g.setColour (Colour (0xff1a1a1a));
    g.fillEllipse (circle (120.0f));
    const auto face = circle (118.0f);
    creamFace (g, face, true, 0.0f);
    g.setColour (Colour (0xff5a5a52));
    g.drawEllipse (face, 1.2f * l);
    vigFace (g, face, true, 0.82f, 0.8f, 0.0f);

    strokeArc (g, vb, pivot, 116.0f, angleOf (0.0f), angleOf (3.0f), Colour (0xffd60000), 5.0f, 0.92f);
    strokeArc (g, vb, pivot, 123.0f, angleOf (0.0f), angleOf (3.0f), Colour (0xffd60000), 1.4f, 0.4f);

    for (float v : kMinor)
        radialLine (g, vb, pivot, 118.0f, 112.0f, angleOf (v), 1.0f, Colour (0xb22a1a00));
    for (float v : { -16.0f, -12.0f, -8.0f, -4.0f, 0.0f })
        radialLine (g, vb, pivot, 70.0f, 62.0f, angleOf (v), 1.0f, Colour (0x8c3a2a00));
    for (int i = 0; i < 11; ++i)
    {
        const float v = kMajorV[i];
        const Colour c (v > 0.0f ? 0xffa30000 : 0xff1c1200);
        radialLine (g, vb, pivot, 120.0f, 107.0f, angleOf (v), v == 0.0f ? 2.8f : 2.0f, c);
        g.setFont (faceFont ((v >= -3.0f && v <= 0.0f ? 7.5f : 9.5f) * l));
        g.drawText (kMajorL[i], boxAbout (vb.polar (pivot, 92.0f, angleOf (v)), 28.0f, 16.0f), juce::Justification::centred, false);
    }
    g.setColour (Colour (0xff4a3000));
    g.setFont (faceFont (5.5f * l));
    for (int pct : kPct)
        g.drawText (juce::String (pct), boxAbout (vb.polar (pivot, 64.0f, angleOf ((float) pct / 5.0f - 20.0f)), 24.0f, 12.0f),
                    juce::Justification::centred, false);

    paintFaceLamp (g, face, vb.at (pivot), true, 0.0f);
}

void VuMeter::paintRoundTop (juce::Graphics& g, Rectangle<float> D, float n)
{
    const Vb vb = roundCanvas (D);
    const float l = vb.s;
    if (l <= 0.0f)
        return;
    const Point<float> pivot (130.0f, 200.0f);
    paintNeedle (g, vb, pivot, 116.0f, needleAngle (n, true), false);
    paintPivotHub (g, vb, pivot, false);

    g.setColour (Colour (0xff1c1200));
    g.setFont (faceFont (15.0f * l).withExtraKerningFactor (0.12f));
    g.drawText ("VU", boxAbout (vb.at (200.0f, 194.0f), 48.0f, 24.0f), juce::Justification::centred, false);
    g.setColour (Colour (0xff4a3000));
    g.setFont (faceFont (6.0f * l));
    g.drawText ("0VU=-18dB", boxAbout (vb.at (60.0f, 194.0f), 80.0f, 16.0f), juce::Justification::centred, false);

    // Glass glint, tilted 34 degrees anticlockwise about its centre.
    juce::Graphics::ScopedSaveState save (g);
    const auto face = Rectangle<float> (236.0f * l, 236.0f * l).withCentre (vb.at (130.0f, 130.0f));
    g.reduceClipRegion (face.getSmallestIntegerContainer());
    g.reduceClipRegion (shapeOf (face, true, 0.0f));
    const auto G = vb.at (96.0f, 76.0f);
    g.addTransform (juce::AffineTransform::rotation (juce::degreesToRadians (-34.0f), G.x, G.y));
    juce::ColourGradient glint (white (0x2e), G.x - 54.0f * l, G.y - 32.0f * l, juce::Colours::transparentWhite, G.x + 40.0f * l, G.y + 32.0f * l, false);
    glint.addColour (0.4, white (0x05));
    g.setGradientFill (glint);
    g.fillEllipse (Rectangle<float> (108.0f * l, 64.0f * l).withCentre (G));
}

void VuMeter::paintRectFace (juce::Graphics& g, Rectangle<float> D)
{
    juce::Path body;
    body.addRoundedRectangle (D, 6.0f);
    rectShadow.drawForPath (g, body, juce::DropShadow (black (0xa6), 20, { 0, 8 }));
    fillZincHousing (g, D, false, 6.0f);

    const Vb vb = rectCanvas (D);
    const float m = vb.s;
    if (m <= 0.0f)
        return;
    const Point<float> pivot (140.0f, 134.0f);
    auto angleOf = [] (float vu)
    { return needleAngle (positionOfVu (vu), false); };

    const Rectangle<float> face (vb.at (6.0f, 6.0f), vb.at (274.0f, 166.0f));
    creamFace (g, face, false, 6.0f * m);
    g.setColour (Colour (0xff5a5a52));
    g.drawRoundedRectangle (face, 6.0f * m, 1.4f * m);
    vigFace (g, face, false, 0.88f, 0.82f, 6.0f * m);

    strokeArc (g, vb, pivot, 122.0f, angleOf (0.0f), angleOf (3.0f), Colour (0xffd60000), 4.5f, 0.92f);
    for (float v : kMinor)
        radialLine (g, vb, pivot, 123.0f, 117.0f, angleOf (v), 1.0f, Colour (0xb22a1a00));
    for (float v : { -16.0f, -12.0f, -8.0f, -4.0f, 0.0f })
        radialLine (g, vb, pivot, 89.0f, 82.0f, angleOf (v), 1.0f, Colour (0x803a2a00));
    for (int i = 0; i < 11; ++i)
    {
        const float v = kMajorV[i];
        const Colour c (v > 0.0f ? 0xffa30000 : 0xff1c1200);
        radialLine (g, vb, pivot, 125.0f, 113.0f, angleOf (v), v == 0.0f ? 2.6f : 2.0f, c);
        g.setFont (faceFont ((v >= -3.0f && v <= 0.0f ? 7.0f : 8.5f) * m));
        g.drawText (kMajorL[i], boxAbout (vb.polar (pivot, 102.0f, angleOf (v)), 28.0f, 16.0f), juce::Justification::centred, false);
    }

    paintFaceLamp (g, face, vb.at (pivot), false, 6.0f * m);
}

void VuMeter::paintRectTop (juce::Graphics& g, Rectangle<float> D, float n)
{
    const Vb vb = rectCanvas (D);
    const float m = vb.s;
    if (m <= 0.0f)
        return;
    const Point<float> pivot (140.0f, 134.0f);
    paintNeedle (g, vb, pivot, 122.0f, needleAngle (n, false), true);
    paintPivotHub (g, vb, pivot, true);

    g.setColour (Colour (0xff1c1200));
    g.setFont (faceFont (12.0f * m).withExtraKerningFactor (0.1f));
    g.drawText ("VU", boxAbout (vb.at (201.0f, 164.0f), 40.0f, 20.0f), juce::Justification::centred, false);
    g.setColour (Colour (0xff4a3000));
    g.setFont (faceFont (5.5f * m));
    g.drawText ("0VU=-18dB", boxAbout (vb.at (79.0f, 162.0f), 72.0f, 16.0f), juce::Justification::centred, false);
}
