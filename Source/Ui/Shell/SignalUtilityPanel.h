#pragma once

#include "Ui/Controls/HardwareKnob.h"
#include "Ui/Foundation/VyrInfoButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

class VyrAudioProcessor;

// The test-signal generator's control surface: power and dim, nine waveforms, eleven presets,
// frequency, level, DC-offset and duty knobs, anti-alias, decorrelation and stereo switches,
// polarity inversion and, for the sweep, start, end, duration and log or linear rate, with live
// peak and RMS readouts. Reads and writes the processor's generator atomics directly; the 50 ms
// timer resynchronises after a state change and repaints while showing. Option-click (Alt) puts
// a button's setting back to its default. Message thread only.
class SignalUtilityPanel : public juce::Component, public juce::Timer
{
public:
    struct Preset
    {
        const char* name;
        int wave;
        float frequency, level, duty;
        bool antiAlias, decorrelated, stereo;
        float sweepStart, sweepEnd, duration;
        int logSweep;
    };
    static const Preset kUtilPresets[11];
    static const char* const kUtilWaveNames[9];

    explicit SignalUtilityPanel (VyrAudioProcessor&);
    ~SignalUtilityPanel() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void timerCallback() override;

    // Reloads the knobs and the five toggles from the processor.
    void syncUtilityFromProc();
    // Greys and locks the knobs the current waveform does not use; passes the light flag on.
    void updateUtilityEnabledChrome();
    // Applies preset id 1..11 (other ids change nothing).
    void applyPreset (int id);

    // "A4", "B5", "C4": the nearest note of a frequency.
    static juce::String utilNoteOf (float hz);
    // Inset of the content by identity.
    static int identityInset (int themeId) noexcept;

    VyrAudioProcessor& proc;
    juce::TextButton powerButton, dimButton;
    juce::TextButton waveButtons[9];
    juce::TextButton antiAliasButton, decorrelatedButton, stereoButton;
    juce::TextButton invertButtons[4];
    juce::TextButton sweepLogButton, sweepLinButton;
    juce::ComboBox presetBox;
    HardwareKnob freqKnob, levelKnob, dcKnob, dutyKnob, sweepStartKnob, sweepEndKnob, sweepDurKnob;
    juce::Rectangle<int> readoutArea, noteArea;
    VyrInfoButton infoButton;
    int lastStateVersion = 0;

private:
    static bool optionHeld();
    void setUpKnob (HardwareKnob&, double start, double end, double interval, bool skewed, double value,
                    std::atomic<float>& target);
    static void setKnobDimmed (HardwareKnob&, bool dimmed);
    void paintWaveTile (juce::Graphics&, int index, bool selected) const;
    void paintGlyph (juce::Graphics&, int index, juce::Rectangle<float> glyphArea, juce::Colour colour) const;
    void paintReadout (juce::Graphics&) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SignalUtilityPanel)
};
