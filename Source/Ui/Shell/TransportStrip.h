#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class VyrAudioProcessor;

// The Standalone app's bottom strip in the plug-in layout of the full chain: load a file, play or
// pause, stop, set the playback gain; a ready indicator and, after a failed load or a Play
// without an output device, the reason.
// Polls the processor every 125 ms on the message thread; writes playerGain (atomic) directly.
class TransportStrip : public juce::Component, private juce::Timer
{
public:
    explicit TransportStrip (VyrAudioProcessor&);
    ~TransportStrip() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    // What the file dialog does when it closes: loads the file when it exists as a file.
    void loadChosen (const juce::File& file);

    VyrAudioProcessor& processor;
    juce::TextButton loadButton, playButton { "Play" }, stopButton { "Stop" };
    juce::Slider gainSlider;
    int lastStateVersion = 0;
    std::shared_ptr<juce::FileChooser> chooser;
    juce::String notice; // why Play did not start (no output device); cleared by the next start

    // Where the load error text goes (between Stop and the gain slider).
    juce::Rectangle<int> messageArea() const;

private:
    void timerCallback() override;
    void browse();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TransportStrip)
};
