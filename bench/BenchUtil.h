#pragma once

#include <benchmark/benchmark.h>
#include <juce_audio_basics/juce_audio_basics.h>

// Real-time factor: seconds of audio processed per second of CPU, reported as the "rtf" counter.
inline void vyrReportRealTimeFactor (benchmark::State& state, double sampleRate, int blockSize)
{
    const double audioSeconds = (double) state.iterations() * blockSize / sampleRate;
    state.counters["rtf"] = benchmark::Counter (audioSeconds, benchmark::Counter::kIsRate);
}

// Program-like test material: pink-ish noise with a slow level swell, stereo.
inline void vyrFillProgram (juce::AudioBuffer<float>& buffer, double sampleRate, juce::Random& rng)
{
    const int n = buffer.getNumSamples();
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
    {
        auto* d = buffer.getWritePointer (ch);
        float b0 = 0.0f, b1 = 0.0f, b2 = 0.0f;
        for (int i = 0; i < n; ++i)
        {
            const float w = rng.nextFloat() * 2.0f - 1.0f;
            b0 = 0.99765f * b0 + w * 0.0990460f;
            b1 = 0.96300f * b1 + w * 0.2965164f;
            b2 = 0.57000f * b2 + w * 1.0526913f;
            d[i] = 0.25f * (b0 + b1 + b2 + w * 0.1848f)
                   + 0.3f * std::sin (2.0f * juce::MathConstants<float>::pi * 55.0f * (float) i / (float) sampleRate);
        }
    }
}
