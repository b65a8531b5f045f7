#pragma once

#include <juce_core/juce_core.h>
#include <array>
#include <vector>

// One point of a section automation lane.
struct VyrAutoPt
{
    float t = 0.0f;       // position 0..1 of the file
    float value = 0.0f;
    bool step = false;    // the segment after this point holds its value
    bool hasOut = false;
    bool hasIn = false;
    float outT = 0.0f, outV = 0.0f;   // outgoing handle
    float inT = 0.0f, inV = 0.0f;     // incoming handle
};

namespace vyrSection
{
    // The curve's value at a position, clamped to 0..1 in position; safe on the audio thread.
    float sampleAutomation (const std::vector<VyrAutoPt>& points, float position) noexcept;

    // Text form of a lane: nine comma-separated fields per point, points joined by "|".
    juce::String encodeAutomation (const std::vector<VyrAutoPt>& points);

    // Reads the text form; replaces the points only when at least two were read.
    void decodeAutomation (const juce::String& text, std::vector<VyrAutoPt>& points);

    // Rebuilds a lane holding values[k] flat across section k of `count` (clamped to 1..7), with an
    // eased transition centred on each boundary in `cues`. The points stay in time order whatever
    // the cues hold.
    void automationPlanes (std::vector<VyrAutoPt>& points, const std::vector<float>& values,
                           const std::array<float, 6>& cues, int count);
}
