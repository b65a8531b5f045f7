#include "Ui/ModulePanels/ImagerScope.h"

#include "Core/PluginProcessor.h"
#include "Ui/ModulePanels/PanelKit.h"

#include <cmath>

namespace
{
using juce::Colour;
constexpr juce::uint32 kAccent = 0xff5eead4;

Colour accentA (juce::uint8 alpha) { return Colour (kAccent).withAlpha (alpha); }

float snapHundredth (float v) { return (float) (v < 0.0f ? -std::floor (-v / 0.01 + 0.5) : std::floor (v / 0.01 + 0.5)) * 0.01f; }
}

//==============================================================================
ImagerGonio::ImagerGonio (VyrAudioProcessor& p) : processor (p)
{
    setInterceptsMouseClicks (false, false);
    startTimer (33);
}

ImagerGonio::~ImagerGonio() { stopTimer(); }

void ImagerGonio::timerCallback()
{
    if (vyrPanel::showing (*this))
        repaint();
}

float ImagerGonio::correlationOf (const float* L, const float* R, int n, float fallback) noexcept
{
    double lr = 0.0, ll = 0.0, rr = 0.0;
    for (int i = 0; i < n; i += 2)
    {
        lr += (double) L[i] * R[i];
        ll += (double) L[i] * L[i];
        rr += (double) R[i] * R[i];
    }
    const double norm = std::sqrt (ll * rr);
    if (norm > 1.0e-9)
        return (float) juce::jlimit (-1.0, 1.0, lr / norm);
    return fallback;
}

void ImagerGonio::paint (juce::Graphics& g)
{
    const float W = (float) getWidth(), H = (float) getHeight();
    if (W < 8.0f || H < 8.0f)
        return;
    const juce::Rectangle<float> box (0.0f, 0.0f, W, H);
    g.setColour (Colour (0x8c02080c));
    g.fillRoundedRectangle (box, 8.0f);
    g.setColour (accentA (0x33));
    g.drawRoundedRectangle (box, 8.0f, 1.0f);

    const float cx = W / 2.0f, cy = H / 2.0f, r = juce::jmin (W, H) / 2.0f - 8.0f;
    g.setColour (accentA (0x29));
    g.drawLine (cx, cy - r, cx, cy + r, 1.0f);
    g.drawLine (cx - r, cy, cx + r, cy, 1.0f);
    g.setColour (accentA (0x17));
    g.drawLine (cx - r, cy - r, cx + r, cy + r, 1.0f);
    g.drawLine (cx - r, cy + r, cx + r, cy - r, 1.0f);

    auto& imager = processor.liveChain.imager;
    constexpr int n = VyrImager::scopeSize;
    float L[n], R[n];
    const int start = imager.scopeWrite.load (std::memory_order_acquire);
    for (int i = 0; i < n; ++i)
    {
        const int k = (start + i) & (n - 1);
        L[i] = std::isfinite (imager.scopeL[k]) ? imager.scopeL[k] : 0.0f;
        R[i] = std::isfinite (imager.scopeR[k]) ? imager.scopeR[k] : 0.0f;
    }

    juce::RectangleList<float> dots;
    dots.ensureStorageAllocated (n / 2);
    for (int i = 0; i < n; i += 2)
        dots.addWithoutMerging ({ cx + 0.5f * r * (L[i] - R[i]) - 0.5f, cy - 0.5f * r * (L[i] + R[i]) - 0.5f, 1.5f, 1.5f });
    g.setColour (accentA (0x8c));
    g.fillRectList (dots);

    const float corr = correlationOf (L, R, n, imager.correlation.load (std::memory_order_acquire));
    g.setColour (Colour (0x0fffffff));
    g.fillRect (8.0f, H - 9.0f, W - 16.0f, 4.0f);
    const float x0 = 8.0f + (W - 16.0f) / 2.0f, len = (W - 16.0f) / 2.0f * std::abs (corr);
    if (corr >= 0.0f)
    {
        g.setColour (Colour (kAccent));
        g.fillRect (x0 - len, H - 9.0f, len, 4.0f);
    }
    else
    {
        g.setColour (Colour (0xfff87171));
        g.fillRect (x0, H - 9.0f, len, 4.0f);
    }
    g.setColour (Colour (0x8cffffff));
    g.fillRect (x0 - 0.5f, H - 11.0f, 1.0f, 8.0f);

    g.setColour (Colour (0x80ffffff));
    g.setFont (vyrPanel::font (8.0f));
    g.drawText (juce::String (corr, 2), juce::Rectangle<float> (8.0f, std::floor (H - 9.0f) - 14.0f, 48.0f, 12.0f),
                juce::Justification::centredLeft, false);
}

//==============================================================================
SpreadRange::SpreadRange (VyrAudioProcessor& p) : processor (p) {}

void SpreadRange::readRange (float& lo, float& hi) const
{
    const float a = vyrPanel::read (processor.apvts, "stereoImager_spreadLo", -1.0f);
    const float b = vyrPanel::read (processor.apvts, "stereoImager_width", 1.0f);
    lo = juce::jmin (a, b), hi = juce::jmax (a, b);
}

float SpreadRange::valueAtX (int x) const
{
    const float t = juce::jlimit (0.0f, 1.0f, (float) x / (float) juce::jmax (getWidth(), 1));
    return snapHundredth (6.0f * t - 3.0f);
}

float SpreadRange::xOfValue (float v) const { return juce::jlimit (0.0f, (float) getWidth(), (float) getWidth() * (v + 3.0f) / 6.0f); }

void SpreadRange::applyRange (float a, float b)
{
    a = juce::jlimit (-3.0f, 3.0f, a), b = juce::jlimit (-3.0f, 3.0f, b);
    const float lo = juce::jmin (a, b), hi = juce::jmax (a, b);
    const float direction = juce::jlimit (-180.0f, 180.0f, (lo + hi) / 2.0f * 60.0f);
    auto& tree = processor.apvts;
    if (span != nullptr)
    {
        span->write ("stereoImager_spreadLo", lo);
        span->write ("stereoImager_width", hi);
        span->write ("stereoImager_split", 1.0f);
        span->write ("stereoImager_direction", direction);
    }
    else
    {
        vyrPanel::write (tree, "stereoImager_spreadLo", lo);
        vyrPanel::write (tree, "stereoImager_width", hi);
        vyrPanel::writeOn (tree, "stereoImager_split", true);
        vyrPanel::write (tree, "stereoImager_direction", direction);
    }
    repaint();
}

void SpreadRange::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isAltDown())
    {
        applyRange (-1.0f, 1.0f);
        return;
    }
    float lo, hi;
    readRange (lo, hi);
    const float v = valueAtX (e.getPosition().x);
    span = std::make_unique<vyrPanel::GestureSpan> (processor.apvts);
    if (v > lo + 0.01f && v < hi - 0.01f)
    {
        dragMode = 3, dragLo = lo, dragHi = hi, dragStart = v;
    }
    else if (std::abs (v - lo) <= std::abs (v - hi))
    {
        dragMode = 1;
        applyRange (juce::jmin (v, hi - 0.01f), hi);
    }
    else
    {
        dragMode = 2;
        applyRange (lo, juce::jmax (v, lo + 0.01f));
    }
}

void SpreadRange::mouseDrag (const juce::MouseEvent& e)
{
    if (dragMode == 0)
        return;
    float lo, hi;
    readRange (lo, hi);
    const float v = valueAtX (e.getPosition().x);
    if (dragMode == 3)
    {
        const float spanWidth = dragHi - dragLo;
        float newLo = dragLo + (v - dragStart);
        newLo = newLo < -3.0f ? -3.0f : juce::jmin (newLo, 3.0f - spanWidth);
        applyRange (newLo, newLo + spanWidth);
    }
    else if (dragMode == 1)
        applyRange (juce::jmin (v, hi - 0.01f), hi);
    else
        applyRange (lo, juce::jmax (v, lo + 0.01f));
}

void SpreadRange::mouseUp (const juce::MouseEvent&)
{
    dragMode = 0;
    span.reset();
}

void SpreadRange::paint (juce::Graphics& g)
{
    const float W = (float) getWidth(), cy = (float) getHeight() / 2.0f;
    float lo, hi;
    readRange (lo, hi);
    const float xl = xOfValue (lo), xh = xOfValue (hi);

    g.setColour (Colour (0x26ffffff));
    g.fillRoundedRectangle (0.0f, cy - 4.0f, W, 8.0f, 4.0f);
    g.setColour (Colour (0x8cffffff));
    g.fillRect (W / 2.0f - 0.5f, cy - 8.0f, 1.0f, 16.0f);
    g.setGradientFill (juce::ColourGradient (accentA (0x21), xl, cy, Colour (kAccent), juce::jmax (xh, xl + 0.01f), cy, false));
    g.fillRoundedRectangle (xl, cy - 4.0f, juce::jmax (xh - xl, 0.0f), 8.0f, 4.0f);
    for (float x : { xl, xh })
    {
        const juce::Rectangle<float> handle (x - 5.0f, cy - 10.0f, 10.0f, 20.0f);
        g.setColour (Colour (0xe6ffffff));
        g.fillRoundedRectangle (handle, 2.0f);
        g.setColour (Colour (0x99ffffff));
        g.drawRoundedRectangle (handle, 2.0f, 1.0f);
    }
}
