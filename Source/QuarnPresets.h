#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// Mastering recipes: the recipe tables, the recipe writes and the MIDI controller map.
namespace vyrQuarn
{
    struct StyleMix
    {
        float comp = 0, sat = 0, dens = 0, clip = 0, tape = 0, delay = 0, rev = 0, eq = 0, dyn = 0, mbc = 0, img = 0, lim = 0;
    };

    struct StyleRecipe
    {
        StyleMix mix;
        int limiterStyle = 0;
    };

    struct LufsRecipe
    {
        float target = -14.0f;   // LUFS
        float ceiling = -1.0f;   // dB
        float inputGain = 0.0f;  // dB
        float release = 0.05f;   // seconds
        float trim = 0.0f;       // mastering effect, percent -50..50
    };

    extern StyleRecipe gStyleRecipes[7];
    extern LufsRecipe gLufsRecipes[5];
    extern float gMediumLufs[8];

    // Fills the recipe tables from the embedded recipe document over their built-in values.
    void loadQuarnPresets();

    void applyLufs (juce::AudioProcessorValueTreeState& tree, int lufsIndex, bool notify);
    void applyChips (juce::AudioProcessorValueTreeState& tree, int style, int lufs, bool notify, int medium);
    void apply (juce::AudioProcessorValueTreeState& tree, bool notify);

    // The SPACE delay derivation: delay settings from the SPACE delay angle and radius.
    void spaceDelayParams (float angle, float radius, float& time, float& feedback, float& crossfadeMs, bool& on) noexcept;
}

namespace vyrMidi
{
    enum RequestBits : int { loudnessChosen = 1, styleChosen = 2, mediumChosen = 4, moodChosen = 8 };

    // Sets the mapped parameters from the controller messages of `midi`; returns the request bits
    // the message thread must act on.
    int applyQuarnMidi (juce::AudioProcessorValueTreeState& tree, const juce::MidiBuffer& midi);
}
