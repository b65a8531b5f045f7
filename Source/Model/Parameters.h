#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// Product numbers: one processor class serves the whole family.
using VyrProduct = int;
namespace vyrProducts
{
    enum : int
    {
        fullChain = 0, compressor, limiter, saturation, analogueDensity, clip, tape, delay, reverb,
        eq, dynamicEq, multiBandComp, stereoImager, tovu, signalUtility, quarn
    };
}

// Builds the 519 parameters in their fixed order; the product does not change the layout.
juce::AudioProcessorValueTreeState::ParameterLayout vyrCreateParameterLayout (VyrProduct product);

// True for the 29 IDs the host may automate (exact, case-sensitive match).
bool vyrQuarnHostVisibleParam (const juce::String& parameterID);

// Copies the left input and output gains to the right ones while "linkLR" is on.
void vyrMirrorLinkedGains (juce::AudioProcessorValueTreeState& tree);

// Switches the gain link; switching it on copies the left gains at once.
void vyrSetLinkLR (juce::AudioProcessorValueTreeState& tree, bool on);

namespace vyrParams
{
    // Reading conventions shared by every reader of the tree.
    // A choice index is the value rounded (halves to even) and limited to 0..count-1.
    int choiceIndex (float value, int count) noexcept;

    // Sets a parameter to a plain value and tells its listeners and the host, without a gesture.
    void setPlainNotifying (juce::RangedAudioParameter& p, float plainValue);
}
