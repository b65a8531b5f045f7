#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// The seventeen factory presets (0 is neutral: every parameter on its default).
namespace vyrFactory
{
    struct Preset
    {
        juce::String name;
        int medium = 3, style = 5, lufs = 2;
    };

    constexpr int kNumPresets = 17;

    const Preset& get (int index);
    void applyToApvts (juce::AudioProcessorValueTreeState& tree, int index);
    void setF (juce::AudioProcessorValueTreeState& tree, const juce::String& id, float value);
    void setI (juce::AudioProcessorValueTreeState& tree, const juce::String& id, int index);
}
