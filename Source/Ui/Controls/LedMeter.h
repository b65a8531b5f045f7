#pragma once

#include "Ui/Controls/VyrMeterHelpers.h"

#include <atomic>

// Stereo LED bar meter of one meter point: two segmented bars (peak dBFS in the dBFS mode, RMS on a
// K scale in the K modes), peak-hold readouts above them, L and R labels, a scale column and an
// optional caption. Reads four level atomics the audio thread writes (linear peak and RMS, left and
// right) once per paint; its 33 ms timer repaints only while it is visible and something would
// look different (a new reading, a marker or readout still moving, or a changed setting). The owner sets the
// appearance, identity and metering mode through the public members at any time; the next paint
// shows them. Bars follow the fresh reading; the marker falls 16.7 dB/s and the readouts hold
// 1.5 s, both by elapsed time, so extra paints never change them.
class LedMeter : public juce::Component, private juce::Timer
{
public:
    // Any pointer may be null: a missing peak reads as silence, a missing RMS as the channel's peak.
    LedMeter (std::atomic<float>* peakL, std::atomic<float>* peakR, std::atomic<float>* rmsL, std::atomic<float>* rmsR);
    ~LedMeter() override;

    // One tick of the component's timer (tests and benchmarks call it directly).
    void tick() { timerCallback(); }

    void paint (juce::Graphics&) override;

    std::atomic<float>* peakL;
    std::atomic<float>* peakR;
    std::atomic<float>* rmsL;
    std::atomic<float>* rmsR;

    bool vertical = true;     // two vertical bars; false: two horizontal rows without readouts
    bool compact = false;     // smaller fonts, margins and bars
    bool showScale = true;    // scale column right of the vertical bars
    bool showPeakText = true; // peak-hold readouts above the vertical bars
    bool housing = false;     // rounded housing (not with compact or transparent)
    bool transparent = false; // no background, housing or plate
    int barWidth = 0;         // px per vertical bar; 0 or less: 10 compact, else 14
    int meteringMode = 0;     // 0 dBFS, 1 K-12, 2 K-14, 3 K-20 ("meteringMode" choice index)
    int themeId = 0;          // visual identity, clamped when used
    juce::String title;       // caption above the bars

    float levelDb[2] { -100.0f, -100.0f }; // marker levels in the mode's units
    vyrMeter::SteppedPeakHold peakHold[2]; // readouts, fed at 30 steps per second

    // True when a paint now would differ from the last one.
    bool needsRepaint() const;
    // What the timer repaints now: the segments and readouts that would change, the whole meter
    // after a change of layout, mode or identity, nothing at rest.
    juce::Rectangle<int> areaToRepaint() const;

    // Clock of the ballistics (tests install their own).
    vyrMeter::ClockFn clock = &vyrMeter::systemClockMs;

    // The face of the peak-hold readouts, and where the last paint put them (left, right; empty
    // before the first paint and in the horizontal layout). Each readout has room for the widest
    // value it can show; when two such readouts do not fit side by side over the bars, the right
    // one moves to a second line, so the two never run into each other.
    juce::Font readoutFont() const;
    juce::Rectangle<int> readoutBounds (int channel) const { return readoutArea[channel & 1]; }

private:
    void timerCallback() override;
    // What the last paint showed, apart from the ballistics.
    struct Shown
    {
        float vL = 0.0f, vR = 0.0f;
        int mode = 0, theme = 0, barWidth = 0, width = 0, height = 0, flags = 0;
        juce::String title;
        bool operator== (const Shown& o) const noexcept
        {
            return vL == o.vL && vR == o.vR && mode == o.mode && theme == o.theme && barWidth == o.barWidth && width == o.width && height == o.height && flags == o.flags && title == o.title;
        }
    };

    // The part of the meter a move of the bars from `from` to `to` and of the markers from `markerFrom`
    // to `markerTo` changes (mode's units): those segments with their glows, and the readouts. The
    // whole meter when anything but the levels moved since the last paint.
    juce::Rectangle<int> changedArea (const float (&from)[2], const float (&markerFrom)[2], const float (&to)[2],
                                      const float (&markerTo)[2], const Shown& now) const;

    void readings (float& vL, float& vR) const;
    Shown shown (float vL, float vR) const;
    void advance (float vL, float vR);
    // Places the two readouts in the column (x, w) from `y` down; returns the height they take.
    float placeReadouts (float x, float y, float w, float h, float lx, float rx, float bw);
    void paintRow (juce::Graphics&, juce::Rectangle<float> row, const juce::String& label, float level, float marker,
                   juce::Colour labelInk);

    // Where the last paint put the bars and the readouts (vertical layout only; empty otherwise).
    juce::Rectangle<float> barArea[2];
    juce::Rectangle<int> readoutArea[2];
    double lastPaintMs = 0.0;
    Shown lastShown;
    bool painted = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LedMeter)
};
