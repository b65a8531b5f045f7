#pragma once

#include "Ui/Foundation/VyrInfoButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class VyrAudioProcessor;

// The desktop's "AUDIO SOURCE" panel: a drop well (drop a file or click to browse), Play/Pause,
// Stop, Mic, Bypass and Reset, a position row with elapsed and total time and a monitor-out gain.
// Buttons and sliders are invisible hit areas over art the panel paints. Polls the processor
// every 50 ms on the message thread; writes playerGain and micInput (atomics) and "bypass".
class AudioSourcePanel : public juce::Component, public juce::FileDragAndDropTarget, private juce::Timer
{
public:
    explicit AudioSourcePanel (VyrAudioProcessor&);
    ~AudioSourcePanel() override;

    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void paintOverChildren (juce::Graphics&) override;
    void resized() override;

    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;
    void fileDragEnter (const juce::StringArray& files, int x, int y) override;
    void fileDragExit (const juce::StringArray& files) override;

    // What the file dialog does when it closes: loads an existing file, then repaints.
    void loadChosen (const juce::File& file);

    // "m:ss" of a time in seconds (negative, infinite or NaN: 0:00).
    static juce::String fmtTime (double seconds);
    // The monitor gain readout ("-1.9 dB", "−∞ dB").
    static juce::String gainText (float gain);
    // Margin of the panel's content by identity.
    static int identityPad (int themeId) noexcept;

    VyrAudioProcessor& processor;
    juce::TextButton playButton, stopButton, micButton, bypassButton, resetButton;
    juce::Slider seekSlider, gainSlider;
    juce::Rectangle<int> dropArea, seekArea, gainArea;
    VyrInfoButton infoButton;
    bool dragOver = false;
    int lastStateVersion = 0;
    int lastPlaying = -1;
    std::shared_ptr<juce::FileChooser> chooser;

private:
    void timerCallback() override;
    void browse();
    void seekToSlider();
    bool bypassOn() const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioSourcePanel)
};
