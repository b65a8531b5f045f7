#pragma once

#include <juce_graphics/juce_graphics.h>

#include <cmath>

// Captions, options and fixed texts of the edition main view.
namespace vyrMainView
{
// Captions of the "masterStyle" choices.
inline constexpr const char* kMasterStyles[7] = { "EDM", "Jazz", "Classical", "Independent", "Loud", "Medium", "Soft" };
// Names of the "masterMedium" choices.
inline constexpr const char* kMediumNames[8] = { "Cinematic", "Podcast", "Radio", "Album", "EP", "Video", "Streaming", "Club" };
// Loudness of each "masterLufs" choice, LUFS.
inline constexpr float kLufsOptions[5] = { -23.0f, -16.0f, -14.0f, -11.0f, -9.0f };
// Names of the "liveAnalysis" choices.
inline constexpr const char* kLiveModes[3] = { "Off", "Show", "Arm" };

inline constexpr const char* kMoodBoxTooltip = "Library mood presets. Selected row is the sounding recipe.";
inline constexpr const char* kMoodChipTooltip = "Arm / Presets name. Preset until a mood recipe is sounding.";

// The loudness option nearest a target (ties keep the lower index; a target that is not a number
// gives -14).
inline int nearestLufsOption (float target) noexcept
{
    double best = std::abs ((double) target - kLufsOptions[0]);
    int k = 0;
    if (! (best < 1.0e9))
        return 2;
    for (int i = 1; i < 5; ++i)
    {
        const double d = std::abs ((double) target - kLufsOptions[i]);
        if (d < best)
            best = d, k = i;
    }
    return k;
}

// Width of the header wordmark measured in an area (0 until the lockup is available).
float headerLockupWidth (juce::Rectangle<float> area);
}
