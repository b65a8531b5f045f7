#pragma once

#include <juce_audio_formats/juce_audio_formats.h>
#include <vector>

namespace vyrAudioIo
{
// The waveform summaries of a loaded file that the section views draw and section detection
// reads: an overview of 800 bins and an envelope of at most 278528 min/max pairs, whatever
// the file's length.
struct FileSummary
{
    static constexpr int kOverviewBins = 800;
    std::vector<float> overviewMin, overviewMax, envelopeMin, envelopeMax;
};

// Samples per envelope entry for a file of `length` frames.
juce::int64 envelopeStride (juce::int64 length) noexcept;

// Decodes the reader once from the start (8192-frame blocks) into the summaries of its mono
// signal (the average of the first two channels).
FileSummary summarise (juce::AudioFormatReader& reader);
}
