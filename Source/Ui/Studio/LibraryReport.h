#pragma once

// The ranked rows of the library and the printed report: one painter for a row, shared by the
// dialog's list and the report image, and the white report page itself. Message thread.

#include <juce_gui_basics/juce_gui_basics.h>
#include "Assistant/LibraryModel.h"

namespace vyrLibraryReport
{
    constexpr int kReportWidth = 1224, kReportMinHeight = 900;

    // Where a row puts its parts: rank, title (and note), loudness and FIT columns.
    struct RowLayout
    {
        juce::Rectangle<float> rank, title, note, lufs, fit;
    };
    RowLayout rowLayout (juce::Rectangle<float> row, bool named) noexcept;

    // The report image's size for a model: 1224 wide, tall enough for every row plus the header.
    juce::Rectangle<int> reportSize (const LibraryModel& model) noexcept;
}

// One ranked row: rank, title, note (named rows), loudness and FIT.
void paintRankRow (juce::Graphics& g, juce::Rectangle<float> row, int index, const vyrMasterAssist::Ranked& entry,
                   juce::Colour ink, juce::Colour dim, juce::Colour accent, bool named);

// The report page: header, the snapshot line, the named and grid rankings, on white.
juce::Image makeLibraryPrintImage (const LibraryModel& model);
