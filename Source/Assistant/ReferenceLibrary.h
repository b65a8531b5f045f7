#pragma once

#include <juce_core/juce_core.h>
#include <cstdint>
#include "Assistant/Snapshot.h"
#include "Model/FactoryPresets.h"

// The reference library: 1036 mastering destinations, each a loudness, an expected share of time at
// the ceiling and a tonal balance, with a medium, style and glue class. Profiles are built from
// their index on demand (the catalogue is never stored whole): 840 from a grid of rules, 17 from
// the factory presets, 15 stress cases and 164 named references read from the embedded table.
namespace vyrMasterLib
{
    constexpr int kNumProfiles = 1036;
    constexpr int kGridCount = 840, kFactoryFirst = 840, kStressFirst = 857, kNamedFirst = 872;
    constexpr int kNumNamed = 164, kNumStress = 15;

    extern const char* const kGlue[3];
    extern const char* const kAesthetic[5];
    extern const char* const kStressNames[kNumStress];

    struct Profile
    {
        std::int32_t medium = 3;
        std::int32_t style = 5;
        std::int32_t glue = 1;          // 0 Open, 1 Glued, 2 Crushed
        std::int32_t aesthetic = 0;     // 0 Classic, 1 Warm, 2 Bright, 3 Dense, 4 Intimate
        std::int32_t factoryIndex = -1;
        const char* title = nullptr;    // null for grid profiles
        const char* note = nullptr;     // named references only
        float lufs = -14.0f;
        float grab = 0.18f;
        float low = 0.0f;
        float mid = 0.0f;
        float high = 0.0f;
    };

    // The profile of an index clamped to 0..1035: 0..839 grid, 840..856 factory, 857..871 stress,
    // 872..1035 named. Builds nothing on the heap.
    Profile at (int index) noexcept;

    // The factory profile of a preset record at a factory index 0..16.
    Profile fromFactory (const vyrFactory::Preset& preset, int factoryIndex) noexcept;

    // The display title: the profile's own text, or the grid's "medium  ·  style  ·  glue  ·  aesthetic  ·  N LUFS".
    juce::String title (const Profile& profile);

    // Ranking measures of a profile against a measurement: a distance (smaller is nearer, with the
    // lane penalties and the titled bonus) and a match in percent.
    float distance (const vyrMasterAssist::Snapshot& s, const Profile& p) noexcept;
    float match (const vyrMasterAssist::Snapshot& s, const Profile& p) noexcept;

    // Numbers as the texts print them: "general" format (up to six significant digits, no trailing
    // zeros), one decimal, and the nearest whole number with halves going to the even neighbour.
    juce::String general (float value);
    juce::String oneDecimal (float value);
    int nearestEven (float value) noexcept;
}

namespace vyrMasterAssist
{
    struct Ranked
    {
        vyrMasterLib::Profile profile;
        float distance = 0.0f;
        float match = 0.0f;
    };
}
