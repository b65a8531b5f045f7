#pragma once

// Band operations of the EQ panel on the parameter tree: a band back to its defaults, a channel
// reset that spreads the mid bands by the band count, and a gain range pulled over the stored
// gains. Message thread; every write is its own change gesture and unchanged values are not written.

#include <juce_audio_processors/juce_audio_processors.h>

namespace vyrEq
{
    // Writes one parameter by ID in its own gesture: floats and choices in plain units (a choice by
    // its index), bools as 0 or 1. Skipped when the ID is missing, the value not finite, or the
    // normalised value would move by less than 1e-7.
    void writeParam (juce::AudioProcessorValueTreeState& tree, const juce::String& id, float plainValue);

    // One band of one channel back to the layout defaults, at the given frequency (non-finite: left alone).
    void writeBandDefaults (juce::AudioProcessorValueTreeState& tree, bool dynamic, bool side, const juce::String& stem,
                            bool mid, bool edge, float frequencyHz);

    // Every band's gain of one channel (inactive mids too) pulled into ±rangeDb.
    void clampGainsToRange (juce::AudioProcessorValueTreeState& tree, bool dynamic, bool side, float rangeDb);

    // Mid band k's frequency after a channel reset with `bandCount` bands: log-even from 250 Hz to
    // 4.5 kHz over the active mids, 1 kHz for three bands or fewer.
    float resetMidFrequency (int k, int bandCount) noexcept;

    // Every band of the edited channel back to its defaults.
    void resetChannel (juce::AudioProcessorValueTreeState& tree, bool dynamic, bool side, int bandCount);

    // Gain-range choice k, then both channels' gains clamped into it.
    void applyGainRange (juce::AudioProcessorValueTreeState& tree, bool dynamic, int rangeIndex);
}
