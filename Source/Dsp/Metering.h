#pragma once

#include <juce_core/juce_core.h>
#include <atomic>

// Loudness state placeholder until the meter engine arrives.
struct VyrLoudnessState
{
    float momentary = -100.0f, shortTerm = -100.0f, integrated = -100.0f, range = 0.0f;
    void reset() noexcept { *this = {}; }
};

// Meter captures of the audio thread; filled in by the meter engine.
struct VyrMeterEngine
{
    double sampleRate = 44100.0;
    std::atomic<float> inPeak[2] { { 0.0f }, { 0.0f } };
    std::atomic<float> outPeak[2] { { 0.0f }, { 0.0f } };
    void prepare (double sr) noexcept { sampleRate = sr > 0.0 ? sr : 44100.0; reset(); }
    void reset() noexcept { for (int i = 0; i < 2; ++i) { inPeak[i] = 0.0f; outPeak[i] = 0.0f; } }
};

