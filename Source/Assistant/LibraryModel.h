#pragma once

// What the library dialog and its printed report show: one measurement, its advice, and the
// nearest named references and grid destinations ranked against it. Message thread.

#include <vector>
#include "Assistant/Advice.h"
#include "Assistant/ReferenceLibrary.h"
#include "Assistant/Snapshot.h"

class VyrAudioProcessor;

struct LibraryModel
{
    vyrMasterAssist::Snapshot snapshot;
    vyrMasterAssist::Advice advice;
    std::vector<vyrMasterAssist::Ranked> named;   // at most 36, nearest first
    std::vector<vyrMasterAssist::Ranked> grid;    // at most 8, nearest first
};

namespace vyrLibrary
{
    constexpr int kNamedShown = 36, kGridShown = 8;

    // Ranks the titled named references and the grid profiles against a measurement.
    void rank (const vyrMasterAssist::Snapshot& snapshot, std::vector<vyrMasterAssist::Ranked>& named,
               std::vector<vyrMasterAssist::Ranked>& grid);

    // Height of the ranked list: 36 px per named row, 26 per grid row and 66 for the headings.
    int listHeight (const LibraryModel& model) noexcept;
}

// Measures, advises and ranks into the model.
void fillLibraryModel (VyrAudioProcessor& processor, LibraryModel& model);

// "Medium  ·  Style" of the measurement.
juce::String libraryLane (const vyrMasterAssist::Snapshot& snapshot);

// "LUFS x    CLIP n%    FIT f" (a dash for a loudness not measured, as without a file).
juce::String librarySnapLine (const vyrMasterAssist::Snapshot& snapshot, float fit);
