#pragma once

#include "Core/ReaderCount.h"
#include "Ui/Controls/VyrMeterHelpers.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>

class VyrAudioProcessor;

// Master level meter panel of the input or output point: L/R LED bars, peak-hold and RMS
// readouts, crest and balance, momentary, short-term and integrated loudness, and (horizontal
// layout) a 64-band output spectrum strip, with its own IN/OUT switch, four scale buttons that
// write "meteringMode" (one gesture per click; skipped when the parameter does not exist) and a
// help dot. Its 33 ms timer reads the meter engine's atomics, advances the holds and the loudness
// by elapsed time, also while hidden, and repaints only while visible and when something shown
// changed; painting changes no state.
//
// The processor analyses the output spectrum only while some view shows it: this view asks for
// it while it is visible in the horizontal layout.
//
// Loudness: the output point shows the processor's K-weighted BS.1770 readings; the input point,
// which the processor does not measure that way, shows unweighted, ungated estimates from its
// block RMS (means over the newest 0.4 s, 3 s and everything since the view was built).
class LevelMeterView : public juce::Component, public juce::Timer
{
public:
    explicit LevelMeterView (VyrAudioProcessor&);
    ~LevelMeterView() override;

    void mouseDown (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void timerCallback() override;

    bool vertical = false;   // vertical layout; written by the owner
    bool moreDetail = false; // horizontal layout adds the readout grid; written by the owner
    bool showInput = false;  // meter the input point; changed by the view's own switch

    VyrAudioProcessor& processor;
    VyrReaderToken levelToken;   // the levels and scopes are measured while a meter view exists

    float momentaryDb = -100.0f, shortTermDb = -100.0f, integratedDb = -100.0f;

    // Hit areas, rewritten by every paint (empty before the first).
    juce::Rectangle<float> inArea, outArea, modeAreas[4], infoDotArea;

    vyrMeter::SteppedPeakHold peakHoldL, peakHoldR, peakHoldMax;
    float heldL = -120.0f, heldR = -120.0f, heldMax = -120.0f;

    // Readout texts: crest ("∞" while the louder RMS is -60 dB or below), balance ("C" within
    // 0.05 dB, else "L 3.0" or "R 3.0") and headroom below the held peak (never negative).
    static juce::String crestText (float crest, float maxRms);
    static juce::String balanceText (float balance);
    static juce::String headroomText (float heldMax);

    // True when a paint now would differ from the last one.
    bool needsRepaint() const;

    // The current "meteringMode" choice index, 0 when the parameter is missing.
    int meteringMode() const;

    // Clock of the holds and loudness estimates (tests install their own).
    vyrMeter::ClockFn clock = &vyrMeter::systemClockMs;

private:
    // Values every sub-panel of one paint reads.
    struct Frame
    {
        int mode = 0, k = 0;
        float levelL = -100.0f, levelR = -100.0f;
        float rmsLdB = -100.0f, rmsRdB = -100.0f, maxRms = -100.0f, crest = 0.0f, balance = 0.0f;
        float contentWidth = 0.0f;
    };

    void updateLoudness (int steps);
    void paintHorizontal (juce::Graphics&, const Frame&, float W, float H);
    void paintVertical (juce::Graphics&, const Frame&, float W, float H);

    void paintSourceSwitch (juce::Graphics&, juce::Rectangle<float>);
    void paintScaleButtons (juce::Graphics&, juce::Rectangle<float>, bool row, int mode);
    void paintMultimeter (juce::Graphics&, juce::Rectangle<float>, bool tall, const Frame&);
    void paintLoudness (juce::Graphics&, juce::Rectangle<float>, bool tall);
    void paintSpectrumStrip (juce::Graphics&, juce::Rectangle<float>);
    void paintReadoutGrid (juce::Graphics&, float top, float available, const Frame&);

    juce::RangedAudioParameter* modeParam = nullptr;
    bool spectrumOpen = false;

    // Every value a paint shows, in a fixed order, to tell whether the next paint would differ.
    static constexpr int numShown = 20;
    using Shown = std::array<float, numShown>;
    Shown shownNow() const;
    Shown lastShown {};
    bool painted = false;
    vyrMeter::StepClock loudnessClock;

    // Input loudness estimate: per-step mean squares (30 per second) and the running total.
    static constexpr int ringSize = 180;
    float ring[ringSize] {};
    int ringWrite = 0, ringCount = 0;
    double totalEnergy = 0.0;
    long long totalSteps = 0;

    float spectrumCopy[4096] {};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LevelMeterView)
};
