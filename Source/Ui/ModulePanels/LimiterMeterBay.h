#pragma once

#include "Ui/ModulePanels/PanelKit.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class VyrAudioProcessor;
class VyrLimiter;

// A gain fader of the limiter meter bay bound to one parameter by ID (IN: limiter_inputGain, OUT:
// limiter_outputGain): the track spans -60..+12 dB, unity three quarters up, linear above. A value
// beyond +12 dB (the input gain reaches +24 dB through its knob and the recipes) keeps the cap at
// the top of the track and reads its true value in the readout. A press and its drag are one change
// gesture, as are an Alt-click and a double-click (both set 0 dB). Message thread only.
class LimiterIoFader : public juce::Component
{
public:
    LimiterIoFader (VyrAudioProcessor&, juce::String paramId, juce::String caption);

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;

    // Sets the parameter to the gain at height y of the track (the cap follows the mouse).
    void setFromY (float y);
    // The gain at height y, rounded to 0.1 dB.
    float gainAtY (float y) const;
    float value() const;
    juce::Rectangle<float> trackArea() const;

    static constexpr float kMinDb = -60.0f, kMaxDb = 12.0f;

    VyrAudioProcessor& processor;
    const juce::String paramId, caption;

private:
    void setGain (float db);
    std::unique_ptr<vyrPanel::GestureSpan> drag; // open from a press to its release
    int captionBand() const noexcept;
    int valueBand() const noexcept;
};

// The left block of the limiter panel: input and output peak meters with hold lines, the ceiling
// line and the true-peak marker, the gain-reduction meter, the IN and OUT faders, four maxima readouts
// (a click on a value resets all four), the loudness readouts with their reset and help dot, and the
// gain-reduction history of the last four seconds. Reads the limiter's meter block (atomics the audio
// thread writes once per block) from a 33 ms timer while it shows. Message thread only.
class LimiterMeterBay : public juce::Component, private juce::Timer
{
public:
    explicit LimiterMeterBay (VyrAudioProcessor&);
    ~LimiterMeterBay() override;

    void mouseDown (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    // The meter floor of a limiter_scale choice (-24 outside 1..5).
    static float floorOfScale (int choice) noexcept;
    // Position 0..100 of a level on a meter with floor F.
    static float percentOf (float db, float floor) noexcept;
    // The readout text of a maximum (one decimal, "—" at the floor) and of a loudness.
    static juce::String maxText (float db);
    static juce::String lufsText (float lufs);

    void tick() { timerCallback(); }

    VyrAudioProcessor& processor;
    LimiterIoFader inFader, outFader;
    juce::Rectangle<int> maxHitRects[4];
    juce::Rectangle<int> resetRect;
    juce::Rectangle<int> inMeterRect, outMeterRect, grMeterRect, historyRect, readoutRect;
    juce::Rectangle<float> infoDotRect;

private:
    struct Reading;
    void timerCallback() override;
    void paintColumn (juce::Graphics&, juce::Rectangle<int>, const juce::String& caption, float left, float right,
                      float maximum, float marker, const Reading&);
    void paintBar (juce::Graphics&, juce::Rectangle<float>, const juce::String& label, float level, float maximum,
                   float marker, const Reading&);
    void paintGrMeter (juce::Graphics&, const Reading&);
    void paintReadouts (juce::Graphics&, const Reading&);
    void paintLoudness (juce::Graphics&, juce::Rectangle<float> box, const Reading&);
    void paintHistory (juce::Graphics&);
    VyrLimiter& limiter() const;
};
