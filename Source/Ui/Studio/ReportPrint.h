#pragma once

// Printing the library report on Linux: the framework has no print service here, so the report
// image becomes a one-page PDF with the page geometry a print of it would have (612 pt wide, the
// image fitted between 36 pt side margins and 28 pt top and bottom margins, at half its pixel size
// or smaller) and the user chooses where to save it. Message thread.

#include <juce_gui_basics/juce_gui_basics.h>
#include <cstdint>
#include <functional>
#include <vector>

namespace vyrPrint
{
    constexpr float kPageWidthPt = 612.0f, kSideMarginPt = 36.0f, kTopBottomMarginPt = 28.0f;

    // Copies `height` rows of `width` pixels (4 bytes each, the framework's ARGB layout) that start
    // `lineStride` bytes apart into one packed, zero-initialised buffer. Empty when the pixels are
    // missing, the size is below 2 x 2, or the stride is not a whole row or more (zero, negative or
    // shorter than a row): such a stride would read other rows' or foreign memory.
    std::vector<std::uint8_t> packRows (const unsigned char* pixels, int width, int height, int lineStride);

    // Height of the PDF page for an image of the given pixel size, in points.
    float pageHeightPt (int width, int height) noexcept;

    // A one-page PDF showing the packed image (composited over white) with `title` as its title.
    juce::MemoryBlock makeImagePdf (const std::vector<std::uint8_t>& packed, int width, int height, const juce::String& title);

    // Writes the PDF to `file`; returns an empty text on success, else why it failed.
    juce::String writeImagePdf (const juce::File& file, const std::vector<std::uint8_t>& packed, int width,
                                int height, const juce::String& title);

    // Asks where to save: calls back with the chosen file, or with a file of empty path when cancelled.
    using SaveChooser = std::function<void (std::function<void (const juce::File&)>)>;
    SaveChooser defaultSaveChooser();

    // Tells the user the report could not be saved.
    using FailureReport = std::function<void (const juce::String& message)>;
    FailureReport defaultFailureReport();
}

// Prints an image: packs it, asks where to save the PDF and writes it there, reporting a failure to
// the user. Returns false (and does nothing else) when the image cannot be read as given.
// `jobTitle` may be null ("VYR Library").
bool vyrPrintRGBA (const unsigned char* pixels, int width, int height, int lineStride, const char* jobTitle,
                   vyrPrint::SaveChooser chooser = {}, vyrPrint::FailureReport reportFailure = {});
