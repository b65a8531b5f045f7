#pragma once

// What the EQ editor draws rests on these: band ids and the parameter stems they map to, band
// colours, the gain ranges, one channel's magnitude response and the reference curves. Stateless
// free functions and constant tables; any thread.

#include "Model/EqState.h"

#include <juce_graphics/juce_graphics.h>

namespace vyrEq
{
    struct GainRange
    {
        float range;       // display span ±range dB
        float gridStep;    // dB between grid lines
        float labelStep;   // dB between gain captions
        juce::uint32 accent;
        const char* name;
    };

    inline constexpr GainRange kRanges[3] = { { 6.0f, 1.0f, 2.0f, 0xff38bdf8, "Surgical" },
                                              { 12.0f, 2.0f, 2.0f, 0xff4f46e5, "Mastering" },
                                              { 24.0f, 6.0f, 6.0f, 0xff7c3aed, "Full" } };

    inline const GainRange& rangeOf (int gainRange) noexcept { return kRanges[juce::jlimit (0, 2, gainRange)]; }

    inline constexpr juce::uint32 kMidCols[6] = { 0xff14b8a6, 0xff34d399, 0xfffbbf24, 0xfffb923c, 0xff22d3ee, 0xfff87171 };

    // Pink reference: a straight line on the log-frequency axis through these gains at 20 Hz and 20 kHz.
    inline constexpr float kPinkAt20Hz = 12.274582f, kPinkAt20kHz = -9.399578f;

    // The band of a channel named by an id ("low", "high", "mid0".."mid5"), or null.
    Band* bandOf (Channel& channel, const juce::String& id);
    const Band* bandOf (const Channel& channel, const juce::String& id);

    // Parameter stem of a band id: "low", "high", "m0".."m5"; other ids unchanged.
    juce::String bandStem (const juce::String& id);

    // Display colour of a band id; opaque white for an unknown id.
    juce::Colour bandColour (const juce::String& id);

    // Id of band position k of a channel with `midCount` mids: 0 low, 1..midCount mids, then high.
    juce::String bandIdAt (int position, int midCount);

    bool isEdgeId (const juce::String& id);   // "low" or "high"
    bool isMidId (const juce::String& id);    // begins with "mid"

    // Linear magnitude of the channel's whole response at a frequency; exactly 1 when disabled.
    // Coefficients in single precision, magnitudes and their product in double precision.
    float magAt (double sampleRate, const Channel& channel, bool enabled, float frequencyHz);

    // Magnitude of one section kind at a frequency (the editor's gain-reduction overlay uses them).
    double peakMag (double sampleRate, float freq, float gainDb, float q, float frequencyHz);
    double lowShelfMag (double sampleRate, float freq, float gainDb, float frequencyHz);
    double highShelfMag (double sampleRate, float freq, float gainDb, float frequencyHz);

    // Magnitude to display decibels: 20 log10 (m + 1e-12), at least -100 (and -100 when not positive).
    float displayDb (double magnitude) noexcept;

    // Equal-loudness reference contour in display decibels at a frequency and listening level.
    float fmContourDb (float frequencyHz, float level);
}
