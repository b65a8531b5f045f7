#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <atomic>
#include <cmath>
#include <vector>

class VyrAudioProcessor;

// What every meter of the editor shares: the visibility test its timer makes before repainting,
// the segment thresholds, colours and scale texts of the metering modes (0 dBFS, 1 K-12, 2 K-14,
// 3 K-20), the LED bar painters, a readout peak hold and the clock that moves meter ballistics
// with elapsed time. Message thread only; the painters keep no state.

// True when the component is showing, at least 1 x 1 and, inside a viewport, overlaps the
// viewport's visible area (only the nearest viewport counts).
bool vyrVisibleInScroll (const juce::Component& c);

namespace vyrMeter
{
// Millisecond clock the meters read; the high-resolution counter unless a test installs its own.
using ClockFn = double (*)();
double systemClockMs();

// Readings above this are shown as this (a broken block must not pin a meter for minutes).
constexpr float kMaxDb = 60.0f;

// 20 log10 (x + 1e-12), -100 for silence, NaN and negative input, at most kMaxDb.
float toDb (float linear) noexcept;

// Reference level of a metering mode: 12, 14, 20 for modes 1..3, otherwise 0.
int kNumber (int mode) noexcept;

// Segment thresholds of a mode, lowest first (dBFS in mode 0, dB above the K reference otherwise).
std::vector<int> segments (int mode);

// True when the threshold carries a scale number in the mode; then `text` receives it.
bool scaleLabelAt (int threshold, int mode, juce::String& text);

// "dBFS" for mode 0 and below, "K · 0≡−12" and so on for the K modes.
juce::String modeCaption (int mode);

// LED colour of a segment by its threshold and the mode.
juce::Colour zoneColour (int threshold, int mode) noexcept;

// Held peak of a numeric readout: takes a new maximum at once, keeps it 1.5 s, then falls at
// 11.764706 dB/s towards the recent peak; anything at or below -70 dB reads -120.
struct PeakHold
{
    float held = -120.0f;
    float holdTimer = 0.0f;
    float ring[8] { -120.0f, -120.0f, -120.0f, -120.0f, -120.0f, -120.0f, -120.0f, -120.0f };
    int writeIndex = 0;
    int count = 0;
    double lastPushMs = 0.0; // time of the previous push, kept by callers that need it

    float push (float readingDb, float dtSeconds) noexcept;
};

// Turns real elapsed time into whole ballistic steps, so a meter's state advances with time and
// not with how often it is painted or ticked. The first call (or the first after restart) gives
// one step; a pause counts at most `maxSeconds`.
struct StepClock
{
    double stepSeconds = 1.0 / 30.0;
    double lastMs = 0.0;
    double carry = 0.0;

    int advance (double nowMs, double maxSeconds) noexcept;
    void restart() noexcept { lastMs = 0.0, carry = 0.0; }
};

// A peak hold fed at a fixed step from readings taken whenever its owner looks: the loudest
// reading since the last step is pushed once per whole step of elapsed time.
struct SteppedPeakHold
{
    PeakHold hold;
    StepClock clock;
    float pending = -1000.0f;

    explicit SteppedPeakHold (double stepSeconds = 1.0 / 30.0) { clock.stepSeconds = stepSeconds; }
    // Returns the held value after the steps due at nowMs.
    float update (float readingDb, double nowMs, double maxPauseSeconds) noexcept;
};

// Lowest threshold and count of a mode's segments (the thresholds are consecutive integers).
void segmentRange (int mode, int& lowest, int& count) noexcept;
// Segment i of n inside a bar's inner area, counted from the bottom (vertical) or the left.
juce::Rectangle<float> segmentRect (juce::Rectangle<float> inner, int i, int n, bool vertical) noexcept;
// The area inside a bar's bevel that holds its segments.
juce::Rectangle<float> ledRowInner (juce::Rectangle<float> area) noexcept;

// One LED bar: `level` lights segments, `peak` (above -90) places the white marker; both in the
// mode's units.
void paintLedRow (juce::Graphics& g, juce::Rectangle<float> area, float level, int mode, bool vertical, float peak);

// Scale texts (and dBFS ticks) beside a vertical bar painted in meterArea.
void paintVScale (juce::Graphics& g, juce::Rectangle<float> labelArea, juce::Rectangle<float> meterArea, int mode,
                  bool compact, juce::Colour colour);

// One segment, its bottom-right corner cut by 8 %.
void paintTrapezoid (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour colour, bool lit, bool vertical,
                     bool withBloom);

// Soft glow round a lit element (intensity 0..1.5).
void paintLedBloom (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour colour, float intensity);

// Base colour of a meter housing or panel on a dark identity (0..5; others the titanium grey).
juce::Colour darkBase (int themeId) noexcept;

// A value with one decimal place; values that round to zero read "0.0", never "-0.0".
juce::String oneDecimal (float value);

// Readout text of a dB value: one decimal, or "−∞" at or below -70 and when not finite.
juce::String dbText (float db);

// A colour with alpha a (0..1) rounded to a byte, keeping red, green and blue.
juce::Colour withAlpha (juce::Colour c, float a) noexcept;

// Each colour channel v -> 255 - (255 - v) / (1 + k), alpha kept.
juce::Colour brightened (juce::Colour c, float k) noexcept;

// A meter value published by the audio thread.
inline float load (const std::atomic<float>& a) noexcept { return a.load (std::memory_order_acquire); }

// Whether a view's snapshot of what it shows differs from the one last painted (NaN equals NaN).
template <size_t N>
bool shownDiffers (const std::array<float, N>& now, const std::array<float, N>& last) noexcept
{
    for (size_t i = 0; i < N; ++i)
        if (! (now[i] == last[i]) && ! (std::isnan (now[i]) && std::isnan (last[i])))
            return true;
    return false;
}

// Linear magnitude of the band between fa and fb (Hz, either order) in a 4096-bin spectrum of bins
// binHz wide: the value interpolated at the band's centre when the band spans one bin or less,
// otherwise the largest bin it covers. The band starts one bin up at the lowest (DC is skipped).
double bandMagnitude (const float* spectrum, double binHz, double fa, double fb) noexcept;

// Tells the processor that a spectrum view opens or closes, only when `want` differs from `open`
// (the state last told, updated here).
void setSpectrumShown (VyrAudioProcessor& processor, bool& open, bool want);
}
