#pragma once

// Runs an engine and its earlier implementation (tests/reference) side by side on program material
// and measures how far the outputs differ, relative to the signal.

#include "TestSignals.h"
#include <juce_audio_basics/juce_audio_basics.h>
#include <cmath>

namespace vyrReferenceCompare
{
    // Stereo program-like material: pink noise with a slow level swell and a 55 Hz tone, the two
    // channels partly correlated, peaking near -3 dBFS.
    inline juce::AudioBuffer<float> program (double sampleRate, double seconds, juce::int64 seed = 7)
    {
        const int n = (int) (sampleRate * seconds);
        juce::AudioBuffer<float> b (2, n);
        juce::Random rng (seed);
        vyrTestSignals::PinkFilter pinkL, pinkR;
        for (int i = 0; i < n; ++i)
        {
            const float common = 2.0f * rng.nextFloat() - 1.0f;
            const float wl = 0.7f * common + 0.3f * (2.0f * rng.nextFloat() - 1.0f);
            const float wr = 0.7f * common + 0.3f * (2.0f * rng.nextFloat() - 1.0f);
            const double t = i / sampleRate;
            const float swell = (float) (0.55 + 0.45 * std::sin (2.0 * vyrTestSignals::pi * 0.7 * t));
            const float tone = 0.2f * (float) std::sin (2.0 * vyrTestSignals::pi * 55.0 * t);
            b.setSample (0, i, swell * 0.12f * pinkL.next (wl) + tone);
            b.setSample (1, i, swell * 0.12f * pinkR.next (wr) + tone);
        }
        return b;
    }

    struct Result
    {
        double diffDb = 0.0;        // RMS of new - old relative to the RMS of old, dB
        double newLargestStep = 0.0;
        double oldLargestStep = 0.0;
    };

    // Processes `input` through both engines in blocks; `perBlock (engine, blockIndex)` may change the
    // settings of each before a block (called with the same arguments for both).
    template <typename NewEngine, typename OldEngine, typename PerBlock>
    Result compare (NewEngine& fresh, OldEngine& old, const juce::AudioBuffer<float>& input, int blockSize, PerBlock&& perBlock)
    {
        juce::AudioBuffer<float> a (input), b (input);
        const int n = input.getNumSamples();
        int blockIndex = 0;
        for (int pos = 0; pos < n; pos += blockSize, ++blockIndex)
        {
            const int len = std::min (blockSize, n - pos);
            juce::AudioBuffer<float> va (a.getArrayOfWritePointers(), a.getNumChannels(), pos, len);
            juce::AudioBuffer<float> vb (b.getArrayOfWritePointers(), b.getNumChannels(), pos, len);
            perBlock (fresh, blockIndex);
            perBlock (old, blockIndex);
            fresh.process (va);
            old.process (vb);
        }

        double diff = 0.0, sig = 0.0;
        Result r;
        for (int ch = 0; ch < a.getNumChannels(); ++ch)
        {
            const float* x = a.getReadPointer (ch);
            const float* y = b.getReadPointer (ch);
            for (int i = 0; i < n; ++i)
            {
                diff += ((double) x[i] - y[i]) * ((double) x[i] - y[i]);
                sig += (double) y[i] * y[i];
            }
            r.newLargestStep = std::max (r.newLargestStep, vyrTestSignals::largestStep (x, 1, n));
            r.oldLargestStep = std::max (r.oldLargestStep, vyrTestSignals::largestStep (y, 1, n));
        }
        r.diffDb = 10.0 * std::log10 (std::max (diff, 1.0e-300) / std::max (sig, 1.0e-300));
        return r;
    }

    template <typename NewEngine, typename OldEngine>
    Result compare (NewEngine& fresh, OldEngine& old, const juce::AudioBuffer<float>& input, int blockSize = 512)
    {
        return compare (fresh, old, input, blockSize, [] (auto&, int) {});
    }
}
