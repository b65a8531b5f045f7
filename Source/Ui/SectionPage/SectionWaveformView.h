#pragma once

#include "Ui/Foundation/VyrPainting.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstring>
#include <functional>
#include <vector>

class VyrAudioProcessor;

// The part of the loaded file every view of the section page shows, as fractions of its length.
// Writers keep 0.001 <= width <= 1 and 0 <= start <= 1 - width; {0, 1} is the whole file.
struct ZoomWindow
{
    float start = 0.0f;
    float width = 1.0f;
};

// Scales the window by `factor` about the file position `anchor` (0..1), keeping the anchor at
// its place in the view unless a clamp moves it.
void zoomAround (ZoomWindow& w, float anchor, float factor) noexcept;

// A fingerprint of drawn state (FNV-1a over the values added), so a view can tell whether what
// it would paint changed since it last painted.
struct VyrPaintKey
{
    juce::uint64 value = 0xcbf29ce484222325ull;
    VyrPaintKey& add (int v) noexcept { value = (value ^ (juce::uint32) v) * 0x100000001b3ull; return *this; }
    VyrPaintKey& add (float v) noexcept
    {
        juce::uint32 bits = 0;
        std::memcpy (&bits, &v, sizeof bits);
        return add ((int) bits);
    }
};

// Colours of the section page and the mastered-output panel.
extern const char* const kSectionLetters[7];
extern const juce::uint32 kLetterColours[7];

// Accent of a visual identity (ids outside 1..5 give the dark identity's cyan).
juce::Colour identityAccent (int identity) noexcept;

// Colour of a form letter on an identity: the letter's colour pulled towards the accent, with
// its saturation capped so the bands stay quiet behind the waveform.
juce::Colour sectionTint (int letter, int identity) noexcept;

// The lit face of an active key or switch built from a colour (same hue, deeper), and the ink
// drawn on such a face (the face's hue, nearly white).
juce::Colour sectionLitFill (juce::Colour c) noexcept;
juce::Colour sectionLitInk (juce::Colour fill) noexcept;

// Colours of the waveform placeholder (no file loaded) per identity.
void emptyWaveStyle (int identity, juce::Colour& top, juce::Colour& bottom, juce::Colour& grid,
                     juce::Colour& centre, juce::Colour& text) noexcept;

// Per-bin gain over a peak envelope (the mastered-output panel's loudness cache); without one
// every bin is drawn at its own level.
struct PeakBarGain
{
    const std::vector<float>* gain = nullptr;
    int buckets = 0;
    int sourceBins = 0;

    float at (int bin, int bins) const noexcept;
};

// Draws one 1-px column per pixel from the min/max of the bins it covers, over [viewStart,
// viewEnd] of the envelope: the cost is bounded by the width, not the length of the file.
void paintPeakBars (juce::Graphics& g, float x, float width, float midY, float halfHeight, float viewStart,
                    float viewEnd, const float* mins, const float* maxs, int bins, juce::Colour colour,
                    const PeakBarGain* gain = nullptr);

// Section under a file position: a position exactly on a boundary belongs to the later section.
// The count is clamped to 1..7.
int sectionAt (const int count, const float (&cues)[6], float t) noexcept;

// The loaded file's waveform with its section bands, form letters, boundaries, glide zones and
// playhead. Dragging a boundary moves it, dragging a glide handle sets how far the presets of the
// two sections blend across it, dragging the playhead seeks, a click elsewhere auditions the
// section. Writes the processor's section record and publishes it to the audio thread after each
// change; reads the overview and envelope the file loader wrote. Message thread only; a 50 ms
// timer follows the playhead while the view is showing.
class SectionWaveformView : public juce::Component, private juce::Timer
{
public:
    explicit SectionWaveformView (VyrAudioProcessor&);
    ~SectionWaveformView() override;

    enum HandleKind { none = 0, boundary = 1, glide = 2, playhead = 3 };

    void paint (juce::Graphics&) override;
    void mouseMove (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;
    void mouseMagnify (const juce::MouseEvent&, float scale) override;

    // Handle under a point, by the probe order glide, boundary knob, playhead, boundary line.
    void probeHandles (juce::Point<float> p, int& kind, int& index) const;

    // y of a glide handle; false when the view is too short for glide handles (under 62 px).
    bool glideY (float glide, float& y) const noexcept;

    // File position of a view x (clamped to 0..1) and view x of a file position.
    float fileT (float x) const noexcept;
    float viewX (float t) const noexcept;

    std::function<void (int)> onSectionPicked;
    std::function<void()> onViewChanged;
    ZoomWindow* zoomWindow = nullptr;
    int hoverDropSection = -1;
    VyrAudioProcessor& processor;
    int dragKind = none, dragIndex = 0;
    int hoverKind = none, hoverIndex = -1;
    int lastPlayheadX = -1;

private:
    // The bands, waveform and boundaries, painted again only when their state changes: the
    // playhead moves across them many times a second.
    VyrCachedLayer layer;
    juce::uint64 layerKey = 0;
    juce::uint64 layerState (int identity) const;

    void timerCallback() override;
    void updateCursor();
    void viewChanged();
    bool hasWaveform() const;
    double transportLength() const;
    void seekTo (float t);
    void paintPlaceholder (juce::Graphics&, int identity);
    void paintBands (juce::Graphics&, int identity);
    void paintBoundaries (juce::Graphics&, int identity);
    void paintPlayhead (juce::Graphics&);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SectionWaveformView)
};
