#pragma once

#include "Core/ReaderCount.h"
#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/Controls/VyrTraceStroke.h"
#include "Ui/Foundation/VyrPainting.h"

#include <array>
#include <vector>

class VyrAudioProcessor;

// Whether every output analyser draws its spectrum curve over the bars; one flag for the process,
// on at start, never saved. Message thread only.
extern bool gOutputShowSpectrum;

// The "FINAL OUTPUT" analyser panel: an 84-bar log-frequency spectrum of the processed output
// with an optional curve, a scope of the output over a dry ghost of the input, the held output
// peak and the RMS, and the processor's BS.1770 loudness with a help dot and a reset glyph. A
// "Spectrum" chip switches the curve for every analyser. Its 20 ms timer advances the peak hold
// by elapsed time and repaints while visible (while there is signal, or when a shown value
// changed in silence); the bars advance by elapsed time while painting
// with signal, so extra paints change nothing. The processor analyses the spectrum only while
// some view shows it: this view asks for it while visible. Identity from the processor's
// themeIndex, read at each paint.
class OutputAnalyzerView : public juce::Component, public juce::Timer
{
public:
    static constexpr int numBars = 84;

    explicit OutputAnalyzerView (VyrAudioProcessor&);
    ~OutputAnalyzerView() override;

    void mouseMove (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void paintOverChildren (juce::Graphics&) override;
    void resized() override;
    void timerCallback() override;

    // Loudness value text ("-∞" at or below -100) and colour (red from -9, lime from -16, else blue).
    static juce::String loudnessText (float lufs);
    static juce::Colour loudnessColour (float lufs);
    // Normalised level 0..1 (-90..0 dB) of the band [fa, fb] Hz of a 4096-bin output spectrum.
    static float bandLevel (const float* spectrum, double sampleRate, double fa, double fb) noexcept;

    VyrAudioProcessor& processor;
    VyrReaderToken levelToken; // the levels and scopes are measured while a meter view exists
    juce::TextButton spectrumButton { "Spectrum" };
    float barCap[numBars] {};
    float barLevel[numBars] {};
    vyrMeter::SteppedPeakHold peakHold { 1.0 / 48.0 };
    juce::Rectangle<float> resetHit, infoHit;

    // True when a paint now would differ from the last one.
    bool needsRepaint() const;
    // The part of the view its paint covers with opaque colour (all but the rounded corners; empty
    // while too small to paint): an owner need not paint its own background under it.
    juce::RectangleList<int> opaqueArea() const;

    // Clock of the peak hold and the bars (tests install their own).
    vyrMeter::ClockFn clock = &vyrMeter::systemClockMs;

private:
    void advanceBars (int steps, double sampleRate);
    void paintSpectrum (juce::Graphics&, float W, float e, bool light);
    void paintScope (juce::Graphics&, float W, float e, float H, bool light);
    void paintLabels (juce::Graphics&, float W, float H, bool light);
    void paintReadouts (juce::Graphics&, float W, bool light);

    juce::Image backImage; // the body's gradient and grid, opaque
    juce::Point<int> backKey;
    juce::Rectangle<int> backSize;
    float backScale = 0.0f;
    VyrCachedLayer labelLayer; // captions, title, loudness box and its captions
    juce::Font readoutFont { 9.0f, juce::Font::bold }, loudnessFont { 11.0f, juce::Font::bold };

    vyrMeter::StepClock barClock;
    float spectrumCopy[4096] {};
    std::array<juce::Point<float>, 2048> scopePoints {}; // one trace's points, rebuilt per paint
    VyrTraceStroke scopeStroke;
    std::vector<juce::Point<float>> curvePoints; // the spectrum curve, one point per column
    juce::Path curveFill;
    VyrTraceStroke curveStroke;
    bool spectrumOpen = false;

    static constexpr int numShown = 16;
    using Shown = std::array<float, numShown>;
    Shown shownNow() const;
    Shown lastShown {};
    bool painted = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OutputAnalyzerView)
};
