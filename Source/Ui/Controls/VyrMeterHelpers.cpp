#include "Ui/Controls/VyrMeterHelpers.h"

#include "Core/PluginProcessor.h"

#include <cmath>

using juce::Colour;
using juce::Rectangle;

bool vyrVisibleInScroll (const juce::Component& c)
{
    if (! c.isShowing())
        return false;
    if (c.getWidth() < 1 || c.getHeight() < 1)
        return false;

    const juce::Viewport* viewport = nullptr;
    for (auto* p = c.getParentComponent(); p != nullptr; p = p->getParentComponent())
        if ((viewport = dynamic_cast<const juce::Viewport*> (p)) != nullptr)
            break;
    if (viewport == nullptr)
        return true;

    auto* viewed = viewport->getViewedComponent();
    if (viewed == nullptr)
        return true;

    const auto mine = viewed->getLocalArea (&c, c.getLocalBounds());
    const auto view = viewport->getViewArea();
    return ! mine.isEmpty() && ! view.isEmpty() && mine.getRight() > view.getX() && view.getRight() > mine.getX() && mine.getBottom() > view.getY() && view.getBottom() > mine.getY();
}

namespace vyrMeter
{
namespace
{
const Colour red { 0xffff2b2b }, amber { 0xffffae42 }, lime { 0xffccff00 }, blue { 0xff00afff }, green { 0xff22c55e };
}

void segmentRange (int mode, int& lowest, int& count) noexcept
{
    if (mode == 0)
        lowest = -30, count = 31;
    else if (mode >= 1 && mode <= 3)
        lowest = -kNumber (mode), count = 2 * kNumber (mode) + 1;
    else
        lowest = 0, count = 1;
}

Rectangle<float> segmentRect (Rectangle<float> inner, int i, int n, bool vertical) noexcept
{
    if (vertical)
    {
        const float gap = 1.35f;
        const float sh = (inner.getHeight() - gap * (float) (n - 1)) / (float) n;
        return { inner.getX(), inner.getY() + inner.getHeight() - (float) (i + 1) * (sh + gap) + gap, inner.getWidth(), sh };
    }
    const float gap = 1.5f;
    const float sw = (inner.getWidth() - gap * (float) (n - 1)) / (float) n;
    return { inner.getX() + (float) i * (sw + gap), inner.getY(), sw, inner.getHeight() };
}

Rectangle<float> ledRowInner (Rectangle<float> area) noexcept
{
    return { area.getX() + 1.4f, area.getY() + 1.2f, juce::jmax (area.getWidth() - 2.8f, 0.0f), juce::jmax (area.getHeight() - 2.4f, 0.0f) };
}

double systemClockMs() { return juce::Time::getMillisecondCounterHiRes(); }

float toDb (float linear) noexcept
{
    const double x = (double) linear + 1e-12;
    if (! (x > 0.0)) // also NaN
        return -100.0f;
    const double db = 20.0 * std::log10 (x);
    return (float) juce::jlimit (-100.0, (double) kMaxDb, db);
}

int kNumber (int mode) noexcept
{
    switch (mode)
    {
        case 1:
            return 12;
        case 2:
            return 14;
        case 3:
            return 20;
        default:
            return 0;
    }
}

std::vector<int> segments (int mode)
{
    int lowest = 0, count = 0;
    segmentRange (mode, lowest, count);
    std::vector<int> t ((size_t) count);
    for (int i = 0; i < count; ++i)
        t[(size_t) i] = lowest + i;
    return t;
}

bool scaleLabelAt (int threshold, int mode, juce::String& text)
{
    if (mode == 0)
    {
        for (int t : { -30, -24, -18, -12, -6, -3, 0 })
            if (t == threshold)
            {
                text = juce::String (t);
                return true;
            }
        return false;
    }
    if (mode >= 1 && mode <= 3)
    {
        const int k = kNumber (mode);
        for (int t : { k, k / 2, 0, -k / 2, -k })
            if (t == threshold)
            {
                text = t > 0 ? "+" + juce::String (t) : juce::String (t);
                return true;
            }
        return false;
    }
    if (threshold != 0)
        return false;
    text = "0";
    return true;
}

juce::String modeCaption (int mode)
{
    if (mode <= 0)
        return "dBFS";
    return juce::String::fromUTF8 ("K \xc2\xb7 0\xe2\x89\xa1\xe2\x88\x92") + juce::String (kNumber (mode));
}

Colour zoneColour (int t, int mode) noexcept
{
    if (mode == 0)
        return t >= 0 ? red : (t >= -3 ? amber : (t >= -11 ? lime : blue));
    const int k = kNumber (mode);
    return t >= k ? red : (t >= k - 3 ? amber : (t >= 1 ? lime : green));
}

float PeakHold::push (float readingDb, float dtSeconds) noexcept
{
    float dt = dtSeconds;
    if (! (dt >= 0.0001f)) // also NaN
        dt = 0.0001f;
    dt = juce::jmin (dt, 0.25f);

    const float v = (std::isfinite (readingDb) && readingDb > -70.0f) ? readingDb : -120.0f;
    if (held <= -70.0f)
        held = -120.0f;

    ring[writeIndex] = v;
    writeIndex = (writeIndex + 1) % 8;
    if (count < 8)
        ++count;

    const int window = juce::jmax (2, (int) std::ceil (0.08f / dt));
    const int n = juce::jmin (count, window);
    float p = -120.0f;
    for (int i = 1; i <= n; ++i)
        p = juce::jmax (p, ring[(writeIndex - i + 8) % 8]);

    float candidate;
    if (p >= held)
    {
        holdTimer = 1.5f;
        candidate = p;
    }
    else if (holdTimer > 0.0f)
    {
        holdTimer -= dt;
        candidate = held;
    }
    else
    {
        candidate = juce::jmax (held - 11.764706f * dt, p);
    }

    candidate = juce::jmax (candidate, -120.0f);
    held = candidate > -70.0f ? candidate : -120.0f;
    return held;
}

int StepClock::advance (double nowMs, double maxSeconds) noexcept
{
    if (lastMs <= 0.0)
    {
        lastMs = nowMs;
        carry = 0.0;
        return 1;
    }
    double elapsed = (nowMs - lastMs) / 1000.0;
    if (! (elapsed > 0.0)) // no time passed, the clock stepped back, or NaN
        return 0;
    lastMs = nowMs;
    carry += juce::jmin (elapsed, maxSeconds);
    const int steps = (int) std::floor (carry / stepSeconds + 1e-9);
    carry = juce::jmax (0.0, carry - steps * stepSeconds);
    return steps;
}

float SteppedPeakHold::update (float readingDb, double nowMs, double maxPauseSeconds) noexcept
{
    // A second look at the same instant (a repeated paint) sees nothing new.
    if (clock.lastMs > 0.0 && ! (nowMs > clock.lastMs))
        return hold.held;
    if (std::isfinite (readingDb))
        pending = juce::jmax (pending, readingDb);
    const int steps = clock.advance (nowMs, maxPauseSeconds);
    for (int i = 0; i < steps; ++i)
        hold.push (pending, (float) clock.stepSeconds);
    if (steps > 0)
    {
        hold.lastPushMs = nowMs;
        pending = -1000.0f;
    }
    return hold.held;
}

Colour darkBase (int themeId) noexcept
{
    static const juce::uint32 bases[] = { 0xff243044, 0xff2a2148, 0xff2a2e35, 0xff2e2418, 0xff1c262c, 0xffd5ddd5 };
    return Colour (themeId >= 0 && themeId <= 5 ? bases[themeId] : 0xff2a2e35);
}

juce::String oneDecimal (float value)
{
    return juce::String (std::abs (value) < 0.05f ? 0.0f : value, 1);
}

juce::String dbText (float db)
{
    if (! std::isfinite (db) || db <= -70.0f)
        return juce::String::fromUTF8 ("\xe2\x88\x92\xe2\x88\x9e");
    return oneDecimal (db);
}

Colour withAlpha (Colour c, float a) noexcept
{
    const auto byte = a <= 0.0f ? 0 : (a >= 1.0f ? 255 : juce::roundToInt (a * 255.0f));
    return c.withAlpha ((juce::uint8) byte);
}

Colour brightened (Colour c, float k) noexcept
{
    auto f = [k] (juce::uint8 v)
    { return (juce::uint8) (int) (255.0f - (255.0f - (float) v) / (1.0f + k)); };
    return Colour (f (c.getRed()), f (c.getGreen()), f (c.getBlue()), c.getAlpha());
}

void paintLedBloom (juce::Graphics& g, Rectangle<float> area, Colour colour, float intensity)
{
    if (area.getWidth() < 0.4f || area.getHeight() < 0.4f || ! (intensity > 0.01f))
        return;
    const float k = juce::jlimit (0.0f, 1.5f, intensity);
    const float m = juce::jmin (area.getWidth(), area.getHeight());
    const float spread = juce::jlimit (2.0f, 2.5f, 1.5f + 0.2f * m);
    const auto glow = colour.interpolatedWith (juce::Colours::white, 0.08f);
    // Plain anti-aliased rectangles: a corner of at most 0.7 px is below what a faint glow can
    // show, and no path is built per glow.
    g.setColour (withAlpha (glow, 0.045f * k));
    g.fillRect (area.expanded (spread));
    g.setColour (withAlpha (glow, 0.1f * k));
    g.fillRect (area.expanded (0.4f * spread));
}

void paintTrapezoid (juce::Graphics& g, Rectangle<float> area, Colour colour, bool lit, bool vertical, bool withBloom)
{
    const float x = area.getX(), y = area.getY(), w = area.getWidth(), h = area.getHeight();
    if (! (w >= 0.5f) || ! (h >= 0.5f))
        return;
    if (lit && withBloom)
        paintLedBloom (g, area, colour, 1.0f);

    juce::Path shape;
    shape.startNewSubPath (x, y);
    shape.lineTo (x + w, y);
    if (vertical)
        shape.lineTo (x + w, y + 0.92f * h);
    else
        shape.lineTo (x + 0.92f * w, y + h);
    shape.lineTo (x, y + h);
    shape.closeSubPath();

    g.setColour (withAlpha (colour, lit ? 1.0f : 0.1f));
    g.fillPath (shape);
    if (! lit)
    {
        g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x80));
        g.strokePath (shape, juce::PathStrokeType (0.55f));
        return;
    }

    g.setColour (withAlpha (colour, 0.55f));
    g.strokePath (shape, juce::PathStrokeType (1.05f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
    juce::Graphics::ScopedSaveState save (g);
    // Narrow the clip to the segment first: clipping to a path turns the whole current clip into
    // an edge table, which for a large component costs more than the segment itself.
    g.reduceClipRegion (area.getSmallestIntegerContainer());
    g.reduceClipRegion (shape);
    g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha ((juce::uint8) 0x66), x, y,
                                             juce::Colours::transparentBlack, x, y + 0.55f * h, false));
    g.fillRect (area);
    g.setColour (withAlpha (brightened (colour, 0.35f), 0.55f));
    g.fillRect (x + 0.6f, y + 0.4f, juce::jmax (0.22f * w, 0.8f), h - 0.8f);
}

void paintLedRow (juce::Graphics& g, Rectangle<float> area, float level, int mode, bool vertical, float peak)
{
    int lowest = 0, n = 0;
    segmentRange (mode, lowest, n);
    const float x = area.getX(), y = area.getY(), w = area.getWidth(), h = area.getHeight();
    if (n < 1 || ! (w > 0.0f) || ! (h > 0.0f))
        return;

    g.setColour (Colour (0xff05070c));
    g.fillRoundedRectangle (area, 2.5f);
    const int hy = (int) (y + 0.8f);
    if (w - 2.0f > 0.0f)
    {
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x12));
        g.fillRect (x + 1.0f, (float) hy, w - 2.0f, 1.0f);
    }
    const Rectangle<float> bevel (x + 0.6f, y + 0.6f, juce::jmax (w - 1.2f, 0.0f), juce::jmax (h - 1.2f, 0.0f));
    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0xbf));
    g.drawRoundedRectangle (bevel, 2.5f, 1.0f);
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x24));
    g.drawRoundedRectangle (area, 2.5f, 1.0f);

    const auto inner = ledRowInner (area);
    // A NaN level lights nothing; levels are compared, never used as sizes.
    for (int i = 0; i < n && (float) (lowest + i) <= level; ++i)
        paintLedBloom (g, segmentRect (inner, i, n, vertical), zoneColour (lowest + i, mode), 1.0f);

    juce::Graphics::ScopedSaveState save (g);
    g.reduceClipRegion (Rectangle<int> (juce::roundToInt (x), juce::roundToInt (y), juce::roundToInt (w), juce::roundToInt (h)));
    for (int i = 0; i < n; ++i)
    {
        const int t = lowest + i;
        paintTrapezoid (g, segmentRect (inner, i, n, vertical), zoneColour (t, mode), (float) t <= level, vertical, false);
    }

    if (! (peak > -90.0f))
        return;
    int marker = -1;
    for (int i = 0; i < n; ++i)
        if ((float) (lowest + i) <= peak)
            marker = i;
    if (marker < 0)
        return;
    const auto s = segmentRect (inner, marker, n, vertical);
    if (vertical)
    {
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x8c));
        g.fillRect (s.getX() - 0.5f, s.getY() - 0.4f, s.getWidth() + 1.0f, 1.8f);
        g.setColour (juce::Colours::white);
        g.fillRect (s.getX(), s.getY(), s.getWidth(), 1.1f);
    }
    else
    {
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x8c));
        g.fillRect (s.getRight() - 1.6f, s.getY() - 0.5f, 1.8f, s.getHeight() + 1.0f);
        g.setColour (juce::Colours::white);
        g.fillRect (s.getRight() - 1.1f, s.getY(), 1.1f, s.getHeight());
    }
}

void paintVScale (juce::Graphics& g, Rectangle<float> labelArea, Rectangle<float> meterArea, int mode, bool compact, Colour colour)
{
    int lowest = 0, n = 0;
    segmentRange (mode, lowest, n);
    if (n < 1 || labelArea.getWidth() <= 0.0f || labelArea.getHeight() <= 0.0f || meterArea.getWidth() <= 0.0f || meterArea.getHeight() <= 0.0f)
        return;

    g.setFont (juce::Font (compact ? 8.0f : 9.0f, juce::Font::plain));
    const float gap = 1.35f;
    const float rh = (meterArea.getHeight() - gap * (float) (n - 1)) / (float) n;
    juce::String text;
    for (int i = 0; i < n; ++i)
    {
        const int t = lowest + i;
        const float top = meterArea.getBottom() - (float) (i + 1) * (rh + gap) + gap;
        if (scaleLabelAt (t, mode, text))
        {
            g.setColour (colour);
            const Rectangle<int> box (juce::roundToInt (labelArea.getX()), juce::roundToInt (top),
                                      juce::roundToInt (labelArea.getWidth()), juce::roundToInt (rh));
            g.drawText (text, box, juce::Justification::centredLeft, true);
        }
        else if (mode == 0 && t % 3 == 0)
        {
            g.setColour (colour.withAlpha ((juce::uint8) 0x66));
            g.fillRect (labelArea.getX(), top + rh / 2.0f - 0.4f, 3.5f, 0.9f);
        }
    }
}

void setSpectrumShown (VyrAudioProcessor& processor, bool& open, bool want)
{
    if (want == open)
        return;
    open = want;
    processor.setSpectrumViewOpen (want);
}

double bandMagnitude (const float* spectrum, double binHz, double fa, double fb) noexcept
{
    const double lo = juce::jmax (juce::jmin (fa, fb), binHz), hi = juce::jmax (juce::jmax (fa, fb), lo + 1e-6);
    if (hi / binHz - lo / binHz <= 1.0)
    {
        const double k = juce::jlimit (1.0, 4094.999, (lo + hi) / 2.0 / binHz);
        const int i0 = (int) k;
        return spectrum[i0] + (spectrum[i0 + 1] - spectrum[i0]) * (k - i0);
    }
    const int a = juce::jlimit (1, 4095, (int) std::floor (lo / binHz));
    const int b = juce::jmax (a + 1, juce::jmin (4096, (int) std::ceil (hi / binHz)));
    double mag = 0.0;
    for (int i = a; i < b; ++i)
        mag = juce::jmax (mag, (double) spectrum[i]);
    return mag;
}
}
