#pragma once

#include <array>
#include <vector>
#include "Live/SectionAutomation.h"

namespace vyrSection
{
// Sections found in a file's waveform overview.
struct Detection
{
    int count = 1;
    std::array<float, 6> cues {};    // the first count-1 are boundaries 0..1
    std::array<int, 7> classes {};   // 0 quiet, 1 medium, 2 loud
    std::array<int, 7> presets {};   // factory preset for each section's letter
    std::array<float, 7> lufs {};    // overview level of each section, dB
    std::vector<float> effectLevels; // mastering-effect level of each section, -50..50
    float overallLufs = -100.0f;
    float overallCrest = 0.0f;
};

// Splits the overview (per-bin maxima and minima of the mono signal) into at most `wanted`
// sections of even level; `overviewMin` may be empty. Needs a non-empty `overviewMax`.
Detection detect (const std::vector<float>& overviewMax, const std::vector<float>& overviewMin, int wanted);
}
