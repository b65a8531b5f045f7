#pragma once

#include <juce_graphics/juce_graphics.h>

// Where everything of the edition main view goes, as plain integer rectangle arithmetic: the
// view's `resized` fills one of these and hands the rectangles to its children, and tests check
// them without building a view. Sizes are floored at zero; "/" truncates; rounding is to the
// nearest integer with halves to even.
struct VyrMainViewLayout
{
    // Full widths of the chips, in row order (style EDM..Soft, then the mood-name slot; medium
    // Cinematic..Club).
    static constexpr int kStyleWidths[7] = { 40, 42, 64, 78, 42, 54, 42 };
    static constexpr int kMoodNameWidth = 96;
    static constexpr int kMediumWidths[8] = { 70, 60, 46, 50, 34, 46, 68, 42 };

    // Standalone file row (empty in a plug-in host).
    juce::Rectangle<int> play, stop, download, load;

    juce::Rectangle<int> headerArea;
    juce::Rectangle<float> lockupArea;   // the rectangle the wordmark lockup is measured in
    juce::Rectangle<int> info, scaleDown, scaleReset, scaleUp, bypass;

    juce::Rectangle<int> styleChips[7], moodName, mediumChips[8];
    int chipGap = 10;

    juce::Rectangle<int> stageArea;
    juce::Rectangle<int> liveChips[3], moodBox, update, yes, no;

    juce::Rectangle<int> quarn, gauge, space, lufsKnob;
    juce::Rectangle<float> meterWell;
    juce::Rectangle<int> inMeter, outMeter;
    juce::Rectangle<int> tray;

    // Lays the view out for a size. `lockupWidth` is the measured width of the header wordmark;
    // `lufsDetents` says whether the loudness knob carries its detent labels (it then sits higher).
    static VyrMainViewLayout compute (int width, int height, bool standalone, float lockupWidth, bool lufsDetents = true);

    // The chip-row widths alone (also used by `compute`): C is the room left of the header's
    // controls once the wordmark is placed, possibly negative.
    struct ChipWidths
    {
        int style[7] {}, moodName = 0, medium[8] {};
        int gap = 10;
    };
    static ChipWidths chipWidths (int C);
};
