#pragma once

// The assistant's advice: the nearest library destination for one measurement, a FIT score and six
// short coaching lines. A pure function of the measurement and the constant library; message thread.

#include <juce_core/juce_core.h>
#include <cstdint>
#include "Assistant/Snapshot.h"

namespace vyrMasterAssist
{
    struct Advice
    {
        std::int32_t nearest = 0;   // 0..1035
        float fit = 0.0f;           // 0..100
        juce::String title;
        juce::String loudness;
        juce::String limiting;
        juce::String balance;
        juce::String next;
        juce::String headline;
    };

    Advice coach (const Snapshot& snapshot);

    // The nearest profile: the lowest distance, ties to the lowest index.
    int nearestProfile (const Snapshot& snapshot) noexcept;
}

// The line builders, each choosing its sentence by style group and threshold.
namespace vyrMasterLib
{
    // Loudness line with a file loaded: on target within 0.6 LU, else over or under.
    juce::String lineLufs (int style, int medium, float lufs, float targetLufs, int variant);

    // Limiting line: over (= clip share - the profile's grab) below -0.05 is open, below 0.08 glued, else crushed.
    juce::String lineLimit (int style, float clipShare, float over);

    // One band's phrase against pink noise ("sits with", "is +x dB vs" or "is x dB vs").
    juce::String lineBal (const juce::String& name, float deviationDb);

    // The whole balance line (low phrase, two spaces, high phrase, and the from-EQ ending without signal).
    juce::String lineBalance (int style, float lowDev, float highDev, bool hasSignal);

    // The headline by FIT (>= 88, >= 70, below) and style group, with the suffix already formed.
    juce::String lineHeadline (int style, float fit, const juce::String& title, const juce::String& suffix);

    // The next-step tip: low end heavy, top hot, top shy, too much limiting, else a variant.
    juce::String lineNext (int style, float lowDev, float highDev, float over, int variant);
}
