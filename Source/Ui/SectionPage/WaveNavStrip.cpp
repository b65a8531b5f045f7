#include "Ui/SectionPage/WaveNavStrip.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrTheme.h"

#include <cmath>

namespace
{
constexpr juce::uint32 kWaveInk = 0xe628303a;

float playFraction (const VyrAudioProcessor& p, double length)
{
    return (float) juce::jlimit (0.0, 1.0, p.transport.getCurrentPosition() / length);
}
}

WaveNavStrip::WaveNavStrip (VyrAudioProcessor& p) : processor (p)
{
    setTooltip (juce::CharPointer_UTF8 ("Navigator \xe2\x80\x94 drag left/right to pan, up/down to zoom, edges to resize, click to jump"));
    setMouseCursor (juce::MouseCursor::UpDownLeftRightResizeCursor);
}

float WaveNavStrip::fileT (float x) const
{
    return juce::jlimit (0.0f, 1.0f, x / (float) std::max (getWidth(), 1));
}

int WaveNavStrip::zoneAt (float x) const
{
    if (zoomWindow == nullptr)
        return 0;
    const float w = (float) std::max (getWidth(), 1);
    const float x0 = zoomWindow->start * w, x1 = (zoomWindow->start + zoomWindow->width) * w;
    if (std::abs (x - x0) <= 5.0f)
        return 2;
    if (std::abs (x - x1) <= 5.0f)
        return 3;
    return x0 <= x && x <= x1 ? 1 : 0;
}

void WaveNavStrip::changed()
{
    if (onChanged)
        onChanged();
    else
        repaint();
}

void WaveNavStrip::mouseMove (const juce::MouseEvent& e)
{
    if (zoomWindow == nullptr)
    {
        setMouseCursor (juce::MouseCursor::NormalCursor);
        return;
    }
    const int zone = zoneAt (e.position.x);
    setMouseCursor (zone >= 2 ? juce::MouseCursor::LeftRightResizeCursor
                              : (zone == 1 ? juce::MouseCursor::UpDownLeftRightResizeCursor : juce::MouseCursor::PointingHandCursor));
}

void WaveNavStrip::mouseExit (const juce::MouseEvent&)
{
    if (dragMode == 0)
        setMouseCursor (juce::MouseCursor::UpDownLeftRightResizeCursor);
}

void WaveNavStrip::mouseDown (const juce::MouseEvent& e)
{
    if (zoomWindow == nullptr)
        return;
    auto& zw = *zoomWindow;
    const float t = fileT (e.position.x);
    const int zone = zoneAt (e.position.x);
    if (zone >= 2)
    {
        dragMode = zone;
        return;
    }
    if (zone == 1)
    {
        dragMode = 1;
        anchor = zw.width > 0.000001f ? juce::jlimit (0.0f, 1.0f, (t - zw.start) / zw.width) : 0.5f;
        widthAtPress = zw.width;
        pressY = e.position.y;
        return;
    }
    const float w = juce::jlimit (0.001f, 1.0f, zw.width);
    zw.start = juce::jlimit (0.0f, 1.0f - w, t - 0.5f * zw.width);
    zw.width = w;
    changed();
}

void WaveNavStrip::mouseDrag (const juce::MouseEvent& e)
{
    if (zoomWindow == nullptr || dragMode == 0)
        return;
    auto& zw = *zoomWindow;
    const float t = fileT (e.position.x);
    if (dragMode == 1)
    {
        const float w = juce::jlimit (0.001f, 1.0f, widthAtPress * std::exp (0.0173f * (e.position.y - pressY)));
        zw.width = w;
        zw.start = juce::jlimit (0.0f, 1.0f - w, t - anchor * w);
    }
    else if (dragMode == 3)
    {
        zw.width = juce::jlimit (0.001f, 1.0f, t - zw.start);
        zw.start = juce::jlimit (0.0f, 1.0f - zw.width, zw.start);
    }
    else
    {
        const float end = zw.start + zw.width;
        zw.width = juce::jlimit (0.001f, 1.0f, end - t);
        zw.start = juce::jlimit (0.0f, 1.0f - zw.width, end - zw.width);
    }
    changed();
}

void WaveNavStrip::mouseUp (const juce::MouseEvent&)
{
    dragMode = 0;
}

void WaveNavStrip::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    if (zoomWindow == nullptr || ! e.mods.isCommandDown())
    {
        juce::Component::mouseWheelMove (e, wheel);
        return;
    }
    zoomAround (*zoomWindow, fileT (e.position.x), wheel.deltaY > 0.0f ? 0.8f : 1.25f);
    changed();
}

void WaveNavStrip::mouseMagnify (const juce::MouseEvent& e, float scale)
{
    if (scale <= 0.0f || zoomWindow == nullptr)
        return;
    zoomAround (*zoomWindow, fileT (e.position.x), 1.0f / scale);
    changed();
}

void WaveNavStrip::paint (juce::Graphics& g)
{
    const float w = (float) getWidth(), h = (float) getHeight();
    const int identity = vyrClampTheme (processor.themeIndex.load());
    const auto accent = identityAccent (identity);
    g.setColour (juce::Colour (0xff343e4e));
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, 3.0f);
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x24));
    g.drawRoundedRectangle (getLocalBounds().toFloat().reduced (0.5f), 3.0f, 1.0f);

    const int bins = (int) std::min (processor.overviewMin.size(), processor.overviewMax.size());
    const float* mins = bins > 0 ? processor.overviewMin.data() : nullptr;
    const float* maxs = bins > 0 ? processor.overviewMax.data() : nullptr;
    const float halfH = std::max (h / 2.0f - 1.5f, 1.0f);
    paintPeakBars (g, 0.0f, w, h / 2.0f, halfH, 0.0f, 1.0f, mins, maxs, bins, juce::Colour (0x6b28303a));

    const float ws = (float) std::max (getWidth(), 1);
    const float start = zoomWindow != nullptr ? zoomWindow->start : 0.0f;
    const float width = zoomWindow != nullptr ? zoomWindow->width : 1.0f;
    const float x0 = start * ws, x1 = (start + width) * ws;
    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x61));
    if (x0 > 0.5f)
        g.fillRect (0.0f, 0.0f, x0, h);
    if (x1 < w - 0.5f)
        g.fillRect (x1, 0.0f, w - x1, h);

    const juce::Rectangle<int> window ((int) x0, 1, (int) std::max (x1 - x0, 4.0f), getHeight() - 2);
    {
        juce::Graphics::ScopedSaveState save (g);
        g.reduceClipRegion (window);
        paintPeakBars (g, 0.0f, w, h / 2.0f, halfH, 0.0f, 1.0f, mins, maxs, bins,
                       juce::Colour (kWaveInk).interpolatedWith (juce::Colours::white, 0.18f).withAlpha ((juce::uint8) 0xeb));
        g.setColour (accent.withAlpha ((juce::uint8) 0x52));
        g.fillRoundedRectangle (window.toFloat(), 2.0f);
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x1a));
        g.fillRoundedRectangle (window.toFloat(), 2.0f);
    }
    g.setColour (accent.withAlpha ((juce::uint8) 0xf2));
    g.drawRoundedRectangle (window.toFloat(), 2.0f, 1.3f);

    if (const double length = processor.transport.getLengthInSeconds(); length > 0.0)
    {
        const float px = (float) playFraction (processor, length) * w;
        g.setColour (juce::Colour (0xe67dd3fc));
        g.drawLine (px, 1.0f, px, h - 1.0f, 1.0f);
    }
}
