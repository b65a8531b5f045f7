#pragma once

#include "Ui/Foundation/VyrLookAndFeel.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// The vertical gain fader of the input and output stages: bound to one gain parameter in dB, a
// flat studio fader with an optional caption above and a readout below. The throw is split: the
// lower three quarters run from the range's minimum to 0 dB evenly in amplitude, the top quarter
// from 0 dB to the maximum evenly in dB, so unity always sits a quarter below the top.
//
// The fader takes the mouse itself (the bound slider underneath only holds the value): a press
// jumps to the pointer and a drag follows it, all inside one change gesture; Option-click and
// double-click return to 0 dB. No timer: it repaints on value changes, which arrive from other
// threads through the attachment's asynchronous update. Message thread only.
class HardwareFader : public juce::Component
{
public:
    // A parameter ID the tree does not hold leaves the fader unbound over the slider's 0..10.
    HardwareFader (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID, juce::Colour colour);
    ~HardwareFader() override;

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;
    bool hitTest (int, int) override { return true; }
    void paint (juce::Graphics&) override;
    void paintOverChildren (juce::Graphics&) override;
    void resized() override;

    // Sets the gain for a height in fader coordinates, rounded to 0.1 dB.
    void setFromY (float y);
    // The gain at a track position s (0 bottom .. 1 top) over a dB range, before rounding.
    static double gainAt (double s, double minDb, double maxDb) noexcept;
    // The readout: "+1.5", "0.0", "-12.0".
    static juce::String readoutText (double db);

    // Geometry in fader coordinates.
    int captionHeight() const noexcept;
    int trackTop() const noexcept;
    int trackLength() const noexcept;

    juce::Slider slider;
    std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment> attachment;
    juce::Colour colour;
    juce::String caption; // "IN", "OUT", "L", "R"...; empty: no caption strip
    bool compact = false; // narrow cap for side-by-side pairs

private:
    void setToUnity();

    std::unique_ptr<juce::Slider::ScopedDragNotification> gesture; // open from press to release
    juce::SharedResourcePointer<VyrLookAndFeel> lookAndFeel;       // its identity colours the caption

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HardwareFader)
};

namespace vyrMeter
{
// A flat studio fader for a gain in dB in r: track, centre slot, unity mark a quarter below the
// top, a gain bar from unity to the cap, and the cap (16 pixels wide when compact, else 28).
void paintKestroFader (juce::Graphics& g, juce::Rectangle<float> r, float value, float minDb, float maxDb,
                       juce::Colour accent, bool compact);

// Height of the cap's centre as a fraction of the track from its bottom (0..1).
float kestroFaderPosition (float value, float minDb, float maxDb) noexcept;
}
