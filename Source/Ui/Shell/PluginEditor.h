#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

class VyrAudioProcessor;

// The plug-in's editor window.
class VyrAudioProcessorEditor : public juce::AudioProcessorEditor
{
public:
    explicit VyrAudioProcessorEditor (VyrAudioProcessor&);
    ~VyrAudioProcessorEditor() override;

    void paint (juce::Graphics&) override;

    VyrAudioProcessor& processor;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VyrAudioProcessorEditor)
};
