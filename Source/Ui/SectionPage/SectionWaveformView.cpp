#include "Ui/SectionPage/SectionWaveformView.h"

#include "Core/PluginProcessor.h"
#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/Foundation/VyrTheme.h"

#include <cmath>

const char* const kSectionLetters[7] = { "A", "B", "C", "D", "E", "F", "G" };
const juce::uint32 kLetterColours[7] = { 0xff7ec8e3, 0xffb4a8dc, 0xff7dcec0, 0xffd4c07a, 0xffd4a0b4, 0xff6ec4d0, 0xffb4c878 };

namespace
{
constexpr juce::uint32 kWaveInk = 0xe628303a;
constexpr juce::uint32 kPlayheadInk = 0xff7dd3fc;
constexpr float kMinWidth = 0.001f;

float round3 (float v) { return std::round (v * 1000.0f) / 1000.0f; }
float round2 (float v) { return std::round (v * 100.0f) / 100.0f; }

// The waveform arrays a view draws: the finer envelope when it holds more bins than the overview.
void waveArrays (const VyrAudioProcessor& p, const float*& mins, const float*& maxs, int& bins)
{
    const auto envBins = std::min (p.envelopeMin.size(), p.envelopeMax.size());
    const auto ovBins = std::min (p.overviewMin.size(), p.overviewMax.size());
    const bool useEnvelope = envBins > ovBins;
    mins = useEnvelope ? p.envelopeMin.data() : p.overviewMin.data();
    maxs = useEnvelope ? p.envelopeMax.data() : p.overviewMax.data();
    bins = (int) (useEnvelope ? envBins : ovBins);
}

double playFraction (const VyrAudioProcessor& p, double length)
{
    return juce::jlimit (0.0, 1.0, p.transport.getCurrentPosition() / length);
}
}

//==============================================================================
void zoomAround (ZoomWindow& w, float anchor, float factor) noexcept
{
    const float r = w.width > 0.000001f ? juce::jlimit (0.0f, 1.0f, (anchor - w.start) / w.width) : 0.5f;
    const float nw = juce::jlimit (kMinWidth, 1.0f, w.width * factor);
    w.start = juce::jlimit (0.0f, 1.0f - nw, anchor - r * nw);
    w.width = nw;
}

juce::Colour identityAccent (int identity) noexcept
{
    static constexpr juce::uint32 accents[6] = { 0xff38e0ff, 0xff22d3ee, 0xffe0a94e, 0xffff9e1a, 0xff00f0ff, 0xff5fe8c4 };
    return juce::Colour (identity >= 1 && identity <= 5 ? accents[identity] : accents[0]);
}

juce::Colour sectionTint (int letter, int identity) noexcept
{
    const auto c = juce::Colour (kLetterColours[juce::jlimit (0, 6, letter)]).interpolatedWith (identityAccent (identity), 0.16f);
    const int hi = std::max ({ c.getRed(), c.getGreen(), c.getBlue() });
    const int lo = std::min ({ c.getRed(), c.getGreen(), c.getBlue() });
    const float s = hi == 0 ? 0.0f : (float) (hi - lo) / (float) hi;
    return c.withSaturation (std::min (s, 0.42f));
}

juce::Colour sectionLitFill (juce::Colour c) noexcept
{
    float h = 0, s = 0, b = 0;
    c.getHSB (h, s, b);
    return juce::Colour::fromHSV (s > 0.0f ? h : 0.0f, std::min (s * 0.9f, 0.7f), std::min (b * 0.82f, 0.7f), c.getFloatAlpha());
}

juce::Colour sectionLitInk (juce::Colour fill) noexcept
{
    float h = 0, s = 0, b = 0;
    fill.getHSB (h, s, b);
    return juce::Colour::fromHSV (h, std::min (s * 0.28f, 0.2f), 0.92f, 1.0f);
}

void emptyWaveStyle (int identity, juce::Colour& top, juce::Colour& bottom, juce::Colour& grid,
                     juce::Colour& centre, juce::Colour& text) noexcept
{
    static constexpr juce::uint32 table[6][5] = {
        { 0xff0c141e, 0xff06080c, 0x1a7dd3fc, 0x4c7dd3fc, 0xff9fd9f5 },
        { 0xff161028, 0xff080412, 0x1af5d0fe, 0x4cf5d0fe, 0xfff5d0fe },
        { 0xff16181c, 0xff0a0b0e, 0x1ad4a04a, 0x52d4a04a, 0xffe6d3a6 },
        { 0xff161008, 0xff0a0704, 0x1affb84d, 0x4cffb84d, 0xffffd56b },
        { 0xff0e161a, 0xff080c0e, 0x2400f0ff, 0x6600f0ff, 0xff7df9ff },
        { 0xff5a6872, 0xff3e4a52, 0x12ffffff, 0x40ffffff, 0xffeaf2f7 },
    };
    const auto& row = table[juce::jlimit (0, 5, identity)];
    top = juce::Colour (row[0]), bottom = juce::Colour (row[1]), grid = juce::Colour (row[2]);
    centre = juce::Colour (row[3]), text = juce::Colour (row[4]);
}

float PeakBarGain::at (int bin, int bins) const noexcept
{
    if (gain == nullptr || buckets < 1 || buckets > (int) gain->size())
        return 1.0f;
    if (buckets == 1 || sourceBins <= 1)
        return (*gain)[0];
    const int j = sourceBins == bins ? bin : (int) ((float) bin / (float) (std::max (bins, 2) - 1) * (float) (sourceBins - 1));
    const float p = juce::jlimit (0.0f, (float) (buckets - 1), (float) j / (float) (sourceBins - 1) * (float) (buckets - 1));
    const int k = (int) p;
    const int k1 = std::min (k + 1, buckets - 1);
    const float a = (*gain)[(size_t) k], b = (*gain)[(size_t) k1];
    if (a < 0.000001f)
        return b;
    if (b < 0.000001f)
        return a;
    return a + (b - a) * (p - (float) k);
}

void paintPeakBars (juce::Graphics& g, float x, float width, float midY, float halfHeight, float viewStart,
                    float viewEnd, const float* mins, const float* maxs, int bins, juce::Colour colour,
                    const PeakBarGain* gain)
{
    if (width < 0.5f || mins == nullptr || maxs == nullptr || bins < 1)
        return;
    g.setColour (colour);
    const int columns = std::max ((int) std::ceil (width), 1);
    const float span = std::max (viewEnd - viewStart, 0.000001f);
    for (int k = 0; k < columns; ++k)
    {
        const float u0 = juce::jlimit (0.0f, 1.0f, viewStart + span * (float) k / (float) columns);
        const float u1 = juce::jlimit (0.0f, 1.0f, viewStart + span * (float) (k + 1) / (float) columns);
        const int a = juce::jlimit (0, bins - 1, (int) (u0 * (float) bins));
        int e = (int) std::ceil (u1 * (float) bins);
        e = a < e ? std::min (e, bins) : a + 1;
        float lo = std::numeric_limits<float>::max(), hi = std::numeric_limits<float>::lowest();
        for (int j = a; j < e; ++j)
        {
            const float gj = gain != nullptr ? gain->at (j, bins) : 1.0f;
            lo = std::min (lo, mins[j] * gj);
            hi = std::max (hi, maxs[j] * gj);
        }
        const float y1 = midY - lo * halfHeight, y2 = midY - hi * halfHeight;
        g.fillRect (x + (float) k, std::min (y1, y2), 1.0f, std::max (std::abs (y1 - y2), 1.0f));
    }
}

int sectionAt (const int count, const float (&cues)[6], float t) noexcept
{
    const int n = juce::jlimit (1, 7, count);
    int s = 0;
    for (int i = 1; i <= n - 1; ++i)
        if (cues[std::min (i - 1, 5)] <= t && t <= (i + 1 < n ? cues[std::min (i, 5)] : 1.0f))
            s = i;
    return s;
}

//==============================================================================
SectionWaveformView::SectionWaveformView (VyrAudioProcessor& p) : processor (p)
{
    setOpaque (false);
    startTimer (50);
}

SectionWaveformView::~SectionWaveformView() = default;

bool SectionWaveformView::hasWaveform() const
{
    return processor.fileLoaded && ! processor.overviewMin.empty();
}

double SectionWaveformView::transportLength() const
{
    return processor.transport.getLengthInSeconds();
}

float SectionWaveformView::fileT (float x) const noexcept
{
    const float w = (float) std::max (getWidth(), 1);
    if (zoomWindow == nullptr)
        return juce::jlimit (0.0f, 1.0f, x / w);
    return juce::jlimit (0.0f, 1.0f, zoomWindow->start + x / w * zoomWindow->width);
}

float SectionWaveformView::viewX (float t) const noexcept
{
    if (zoomWindow == nullptr)
        return t * (float) getWidth();
    return (t - zoomWindow->start) / std::max (zoomWindow->width, 0.000001f) * (float) getWidth();
}

bool SectionWaveformView::glideY (float glide, float& y) const noexcept
{
    // The handles travel between y 34 and H - 28; a view shorter than 62 px has no room for them.
    const float h = (float) getHeight();
    if (h - 62.0f < 1.0f)
        return false;
    y = (h - 28.0f) - glide * ((h - 28.0f) - 34.0f);
    return true;
}

void SectionWaveformView::probeHandles (juce::Point<float> p, int& kind, int& index) const
{
    kind = none, index = -1;
    const auto& sec = processor.section;
    const int count = juce::jlimit (1, 7, sec.count);
    if (! processor.fileLoaded || count < 2)
        return;
    const float h = (float) getHeight();
    for (int i = 0; i <= count - 2; ++i)
    {
        float gy = 0.0f;
        if (glideY (sec.glides[i], gy) && p.getDistanceFrom ({ viewX (sec.cues[i]), gy }) < 13.0f)
        {
            kind = glide, index = i;
            return;
        }
    }
    for (int i = 0; i <= count - 2; ++i)
        if (p.getDistanceFrom ({ viewX (sec.cues[i]), h / 2.0f }) < 13.0f)
        {
            kind = boundary, index = i;
            return;
        }
    if (const double length = transportLength(); length > 0.0)
        if (std::abs (p.x - viewX ((float) playFraction (processor, length))) < 8.0f)
        {
            kind = playhead, index = 0;
            return;
        }
    for (int i = 0; i <= count - 2; ++i)
        if (std::abs (p.x - viewX (sec.cues[i])) < 7.0f)
        {
            kind = boundary, index = i;
            return;
        }
}

void SectionWaveformView::updateCursor()
{
    const int k = dragKind != none ? dragKind : hoverKind;
    if (k == boundary || k == playhead)
        setMouseCursor (juce::MouseCursor::LeftRightResizeCursor);
    else if (k == glide)
        setMouseCursor (juce::MouseCursor::UpDownResizeCursor);
    else
        setMouseCursor (juce::MouseCursor::PointingHandCursor);
}

void SectionWaveformView::viewChanged()
{
    if (onViewChanged)
        onViewChanged();
    else
        repaint();
}

void SectionWaveformView::seekTo (float t)
{
    const double length = transportLength();
    if (! processor.fileLoaded || ! (length > 0.0))
        return;
    processor.transport.setPosition (juce::jlimit (0.0, length, length * (double) juce::jlimit (0.0f, 1.0f, t)));
}

void SectionWaveformView::mouseMove (const juce::MouseEvent& e)
{
    if (dragKind != none)
        return;
    int k = none, i = -1;
    probeHandles (e.position, k, i);
    if (k != hoverKind || i != hoverIndex)
    {
        hoverKind = k, hoverIndex = i;
        updateCursor();
        repaint();
    }
}

void SectionWaveformView::mouseExit (const juce::MouseEvent&)
{
    if (dragKind != none)
        return;
    hoverKind = none, hoverIndex = -1;
    setMouseCursor (juce::MouseCursor::NormalCursor);
    repaint();
}

void SectionWaveformView::mouseDown (const juce::MouseEvent& e)
{
    int k = none, i = -1;
    probeHandles (e.position, k, i);
    if (k != none)
    {
        dragKind = k, dragIndex = i;
        if (k == playhead)
            seekTo (fileT (e.position.x));
        updateCursor();
        repaint();
        return;
    }
    if (processor.fileLoaded && onSectionPicked)
    {
        const auto& sec = processor.section;
        const float t = fileT (e.position.x);
        const int n = juce::jlimit (1, 7, sec.count);
        int picked = 0;
        for (int s = 1; s <= n - 1; ++s)
            if (sec.cues[s - 1] <= t && t <= (s + 1 < n ? sec.cues[s] : 1.0f))
                picked = s;
        onSectionPicked (picked);
    }
}

void SectionWaveformView::mouseDrag (const juce::MouseEvent& e)
{
    auto& sec = processor.section;
    const int count = juce::jlimit (1, 7, sec.count);
    if (dragKind == boundary && dragIndex >= 0 && dragIndex <= count - 2)
    {
        const int i = dragIndex;
        const float lower = i == 0 ? 0.02f : sec.cues[i - 1] + 0.02f;
        const float upper = i == count - 2 ? 0.98f : sec.cues[i + 1] - 0.02f;
        sec.cues[i] = round3 (std::max (lower, std::min (fileT (e.position.x), upper)));
        processor.publishChainShared();
        repaint();
    }
    else if (dragKind == glide && dragIndex >= 0 && dragIndex <= count - 2)
    {
        const float h = (float) getHeight();
        if (h - 62.0f >= 1.0f)
        {
            sec.glides[dragIndex] = round2 (juce::jlimit (0.0f, 1.0f, ((h - 28.0f) - e.position.y) / (h - 62.0f)));
            processor.publishChainShared();
        }
        repaint();
    }
    else if (dragKind == playhead)
    {
        seekTo (fileT (e.position.x));
        viewChanged();
    }
}

void SectionWaveformView::mouseUp (const juce::MouseEvent&)
{
    const bool wasPlayhead = dragKind == playhead;
    dragKind = none, dragIndex = 0;
    updateCursor();
    if (wasPlayhead)
        viewChanged();
    else
        repaint();
}

void SectionWaveformView::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    if (zoomWindow == nullptr || ! e.mods.isCommandDown())
    {
        juce::Component::mouseWheelMove (e, wheel);
        return;
    }
    zoomAround (*zoomWindow, fileT (e.position.x), wheel.deltaY > 0.0f ? 0.8f : 1.25f);
    viewChanged();
}

void SectionWaveformView::mouseMagnify (const juce::MouseEvent& e, float scale)
{
    if (scale <= 0.0f || zoomWindow == nullptr)
        return;
    zoomAround (*zoomWindow, fileT (e.position.x), 1.0f / scale);
    viewChanged();
}

void SectionWaveformView::timerCallback()
{
    if (dragKind != none)
    {
        repaint();
        return;
    }
    const double length = transportLength();
    if (! vyrVisibleInScroll (*this) || ! (length > 0.0))
        return;
    const int px = juce::roundToInt (playFraction (processor, length) * std::max (getWidth(), 1));
    if (px != lastPlayheadX)
    {
        lastPlayheadX = px;
        repaint();
    }
}

//==============================================================================
juce::uint64 SectionWaveformView::layerState (int identity) const
{
    const auto& sec = processor.section;
    VyrPaintKey key;
    key.add (identity).add (sec.count).add (hoverDropSection).add (dragKind).add (dragIndex).add (hoverKind).add (hoverIndex);
    for (int k = 0; k < 6; ++k)
        key.add (sec.cues[k]).add (sec.glides[k]);
    for (int k = 0; k < 7; ++k)
        key.add (sec.assign[k]);
    if (zoomWindow != nullptr)
        key.add (zoomWindow->start).add (zoomWindow->width);
    // A new song brings new arrays (and a new revision).
    key.add (processor.sectionRevision.load()).add ((int) processor.overviewMax.size()).add ((int) processor.envelopeMax.size());
    return key.value;
}

void SectionWaveformView::paint (juce::Graphics& g)
{
    const int identity = vyrClampTheme (processor.themeIndex.load());
    const auto bounds = getLocalBounds().toFloat();
    juce::Path clip;
    clip.addRoundedRectangle (bounds, 8.0f);
    g.reduceClipRegion (clip);
    if (! hasWaveform())
    {
        paintPlaceholder (g, identity);
        return;
    }
    if (const auto key = layerState (identity); key != layerKey)
    {
        layerKey = key;
        layer.invalidate();
    }
    layer.draw (g, getLocalBounds(), identity, [this, identity] (juce::Graphics& lg)
    {
        lg.fillAll (juce::Colour (0x99080a10));
        paintBands (lg, identity);
        const float* mins = nullptr;
        const float* maxs = nullptr;
        int bins = 0;
        waveArrays (processor, mins, maxs, bins);
        const float h = (float) getHeight();
        const float vs = zoomWindow != nullptr ? zoomWindow->start : 0.0f;
        const float ve = zoomWindow != nullptr ? zoomWindow->start + zoomWindow->width : 1.0f;
        paintPeakBars (lg, 0.0f, (float) getWidth(), h / 2.0f, std::max (h / 2.0f - 10.0f, 1.0f), vs, ve, mins, maxs, bins,
                       juce::Colour (kWaveInk).interpolatedWith (identityAccent (identity), 0.32f));
        paintBoundaries (lg, identity);
    });
    paintPlayhead (g);
}

void SectionWaveformView::paintPlaceholder (juce::Graphics& g, int identity)
{
    juce::Colour top, bottom, grid, centre, text;
    emptyWaveStyle (identity, top, bottom, grid, centre, text);
    const int w = getWidth(), h = getHeight();
    g.setGradientFill (juce::ColourGradient (top, 0.0f, 0.0f, bottom, 0.0f, (float) h, false));
    g.fillAll();
    g.setColour (grid);
    for (int y = 0; y < h; y += 44)
        g.fillRect (0, y, w, 1);
    for (int x = 0; x < w; x += 80)
        g.fillRect (x, 0, 1, h);
    g.setColour (centre);
    g.fillRect (0.0f, (float) h / 2.0f, (float) w, 1.0f);
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x26));
    g.drawRoundedRectangle (getLocalBounds().toFloat().reduced (0.5f), 8.0f, 1.0f);
    g.setColour (text);
    g.setFont (juce::Font (14.0f));
    g.drawText ("Load an audio file to see the waveform", getLocalBounds(), juce::Justification::centred, true);
}

void SectionWaveformView::paintBands (juce::Graphics& g, int identity)
{
    const auto& sec = processor.section;
    const int count = juce::jlimit (1, 7, sec.count);
    const float h = (float) getHeight();
    for (int i = 0; i < count; ++i)
    {
        const float x0 = viewX (i == 0 ? 0.0f : sec.cues[i - 1]);
        const float x1 = viewX (i + 1 < count ? sec.cues[i] : 1.0f);
        const int letter = juce::jlimit (0, 6, sec.assign[i]);
        const auto tint = sectionTint (letter, identity);
        const bool hot = i == hoverDropSection;
        juce::ColourGradient grad (tint.withAlpha ((juce::uint8) (hot ? 0x38 : 0x0d)), x0, 0.0f,
                                   tint.withAlpha ((juce::uint8) (hot ? 0x38 : 0x0d)), x1, 0.0f, false);
        grad.addColour (0.5, tint.withAlpha ((juce::uint8) (hot ? 0x52 : 0x1c)));
        g.setGradientFill (grad);
        g.fillRect (x0, 0.0f, std::max (x1 - x0, 1.0f), h);
        g.setColour (tint.withAlpha ((juce::uint8) 0xcc));
        g.setFont (juce::Font (12.0f, juce::Font::bold));
        g.drawText (kSectionLetters[letter], juce::Rectangle<int> ((int) x0, 4, (int) (x1 - x0), 18), juce::Justification::centred, true);
    }
}

void SectionWaveformView::paintBoundaries (juce::Graphics& g, int identity)
{
    const auto& sec = processor.section;
    const int count = juce::jlimit (1, 7, sec.count);
    const float h = (float) getHeight(), w = (float) getWidth();
    const float viewWidth = zoomWindow != nullptr ? zoomWindow->width : 1.0f;
    for (int i = 0; i <= count - 2; ++i)
    {
        const float x = viewX (sec.cues[i]);
        const auto left = sectionTint (sec.assign[i], identity);
        const auto right = sectionTint (sec.assign[std::min (i + 1, count - 1)], identity);

        const float prev = i == 0 ? 0.0f : sec.cues[i - 1];
        const float next = i + 1 < count - 1 ? sec.cues[i + 1] : 1.0f;
        const float gz = juce::jlimit (0.0f, 1.0f, sec.glides[i]) * std::min ({ sec.cues[i] - prev, next - sec.cues[i], 0.18f });
        const float half = gz / std::max (viewWidth, 0.000001f) * w;
        if (half > 1.0f)
        {
            const auto mid = juce::Colour ((juce::uint8) ((left.getRed() + right.getRed()) / 2), (juce::uint8) ((left.getGreen() + right.getGreen()) / 2),
                                           (juce::uint8) ((left.getBlue() + right.getBlue()) / 2), (juce::uint8) 0x87);
            juce::ColourGradient grad (left.withAlpha ((juce::uint8) 0x54), x - half, 0.0f, right.withAlpha ((juce::uint8) 0x54), x + half, 0.0f, false);
            grad.addColour (0.5, mid);
            g.setGradientFill (grad);
            g.fillRect (x - half, 0.0f, 2.0f * half, h);
            juce::Path tri;
            tri.addTriangle (x, h / 2.0f - 22.0f, x - half, h / 2.0f + 22.0f, x + half, h / 2.0f + 22.0f);
            g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x59));
            g.strokePath (tri, juce::PathStrokeType (1.0f));
        }

        const bool hotLine = (dragKind == boundary && dragIndex == i) || (dragKind == none && hoverKind == boundary && hoverIndex == i);
        if (hotLine)
        {
            g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0xf2));
            g.drawLine (x, 0.0f, x, h, 2.0f);
        }
        else
        {
            g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x80));
            const float dashes[] = { 4.0f, 4.0f };
            g.drawDashedLine ({ x, 0.0f, x, h }, dashes, 2, 1.2f);
        }
        g.setColour (juce::Colours::white);
        g.fillEllipse (x - 6.0f, h / 2.0f - 6.0f, 12.0f, 12.0f);
        g.setColour (juce::Colour (0xff0b0e14));
        g.drawEllipse (x - 6.0f, h / 2.0f - 6.0f, 12.0f, 12.0f, 1.0f);

        float gy = 0.0f;
        if (! glideY (sec.glides[i], gy))
            continue;
        const bool hotGlide = (dragKind == glide && dragIndex == i) || (dragKind == none && hoverKind == glide && hoverIndex == i);
        const float r = hotGlide ? 8.0f : 7.0f;
        g.setColour (left);
        g.fillEllipse (x - r, gy - r, 2.0f * r, 2.0f * r);
        g.setColour (juce::Colours::white);
        g.drawEllipse (x - r, gy - r, 2.0f * r, 2.0f * r, 1.5f);
        g.drawLine (x - 3.0f, gy - 3.0f, x + 3.0f, gy + 3.0f, 1.6f);
        g.drawLine (x + 3.0f, gy - 3.0f, x - 3.0f, gy + 3.0f, 1.6f);
    }
}

void SectionWaveformView::paintPlayhead (juce::Graphics& g)
{
    const double length = transportLength();
    if (! (length > 0.0))
        return;
    const float x = viewX ((float) playFraction (processor, length));
    if (x < -4.0f || x > (float) getWidth() + 4.0f)
        return;
    const bool hot = dragKind == playhead || (dragKind == none && hoverKind == playhead);
    g.setColour (juce::Colour (hot ? kPlayheadInk : 0xe67dd3fc));
    g.drawLine (x, 0.0f, x, (float) getHeight(), hot ? 2.0f : 1.5f);
    juce::Path cap;
    cap.addTriangle (x - 6.0f, 2.0f, x + 6.0f, 2.0f, x, 12.0f);
    g.setColour (juce::Colour (kPlayheadInk));
    g.fillPath (cap);
    g.setColour (juce::Colour (0x8c0b0e14));
    g.strokePath (cap, juce::PathStrokeType (1.0f));
}
