#pragma once

#include "Files/StreamWriter.h"

namespace vyrAudioIo
{
// Adds TPDF dither of just under one 16-bit step to the first `numFrames` frames of the first
// two channels (channel 0 first, then channel 1).
void addDither (juce::AudioBuffer<float>& buffer, int numFrames, juce::Random& random) noexcept;

// Output frames of a copy of `length` source frames to `targetRate`.
juce::int64 resampledLength (juce::int64 length, double sourceRate, double targetRate) noexcept;

// Streams `source` into `writer` at `targetRate` (windowed-sinc per channel), with dither when
// asked. True when every output frame was written; neither finishes the writer nor deletes the reader.
bool copyResampled (juce::AudioFormatReader& source, StreamWriter& writer, double targetRate, bool dither, juce::Random& random);
}
