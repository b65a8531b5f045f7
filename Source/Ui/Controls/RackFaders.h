#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// Three small linear controls that give some effect units the look of rack hardware:
// - HardwareStripSlider: a horizontal strip with a name, a coloured readout and a disc thumb;
// - TcFader: a horizontal rack fader with a teal-lit groove, a metal thumb with an LED and a
//   readout in one of the TcReadout styles;
// - ClipMixFader: the clip unit's vertical "MIX" fader on "clip_mix".
// Each keeps its value in an invisible slider bound to one parameter and draws everything itself.
// A press jumps to the pointer and a drag follows it (no relative drag, no reset gesture), all in
// one change gesture; the wheel goes to the parent. No timers; parameter changes from other
// threads arrive through the attachment's asynchronous update. Message thread only.

// Readout styles of a TcFader; any other value shows no readout.
enum class TcReadout : int
{
    percent = 0,
    secondsAsMs = 1,
    milliseconds = 2,
    seconds = 3,
    hertz = 4,
    decibels = 5
};

// What the three share: the bound invisible slider and the press-to-release gesture. A parameter
// ID the tree does not hold leaves the slider unbound over its default 0..10.
class VyrRackControl : public juce::Component
{
public:
    VyrRackControl (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID, bool vertical);
    ~VyrRackControl() override;

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;

    // The value's proportion of the range, clamped to 0..1 (0 for an empty range).
    double proportion();
    // "Percent" value of a readout: the value times 100 on a range ending at 2.0001 or below.
    double percentValue() const;

    juce::Slider slider;
    std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment> attachment;

protected:
    // Sets the value for a pointer position in the control's coordinates.
    virtual void setFromPoint (juce::Point<float> p) = 0;

private:
    std::unique_ptr<juce::Slider::ScopedDragNotification> gesture;
};

//==============================================================================
class HardwareStripSlider : public VyrRackControl
{
public:
    HardwareStripSlider (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID, juce::String label,
                         juce::String unit, juce::Colour colour);
    ~HardwareStripSlider() override;

    bool hitTest (int x, int y) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    // The readout for a value by unit ("%", "Hz", "x", anything else: two decimals).
    static juce::String readoutText (const juce::String& unit, double value, double rangeEnd);

    // Track geometry: top strip height, track left, width and top.
    int stripHeight() const noexcept;
    float trackX() const noexcept;
    float trackWidth() const noexcept;
    float trackY() const noexcept;

    juce::String label;
    juce::String unit;
    juce::Colour colour;
    bool light = false; // light identity: dark name and track

protected:
    void setFromPoint (juce::Point<float>) override;
};

//==============================================================================
class TcFader : public VyrRackControl
{
public:
    TcFader (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID, juce::String label, TcReadout readout);
    ~TcFader() override;

    bool hitTest (int x, int y) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    // The readout of a value in a style (empty for an unknown style).
    static juce::String readoutText (TcReadout style, double value, double rangeEnd);

    int stripHeight() const noexcept;
    float trackWidth() const noexcept;
    float trackY() const noexcept;

    juce::String label;
    TcReadout readout;

protected:
    void setFromPoint (juce::Point<float>) override;
};

//==============================================================================
class ClipMixFader : public VyrRackControl
{
public:
    explicit ClipMixFader (juce::AudioProcessorValueTreeState& state);
    ~ClipMixFader() override;

    bool hitTest (int x, int y) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    // The readout: the percentage as a whole number, then " %".
    static juce::String readoutText (double value, double rangeEnd);

    int titleHeight() const noexcept;
    float trackWidth() const noexcept;
    float trackY() const noexcept;
    float trackHeight() const noexcept;

protected:
    void setFromPoint (juce::Point<float>) override;
};
