#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <cmath>
#include <vector>

namespace vyrChainTest
{
    // Magnitude of one frequency in a signal (single-bin DFT), linear amplitude.
    inline double toneAmplitude (const float* x, int n, double freq, double sampleRate)
    {
        double re = 0.0, im = 0.0;
        const double w = 2.0 * juce::MathConstants<double>::pi * freq / sampleRate;
        for (int i = 0; i < n; ++i)
        {
            re += x[i] * std::cos (w * i);
            im -= x[i] * std::sin (w * i);
        }
        return 2.0 * std::sqrt (re * re + im * im) / n;
    }

    inline double toDb (double g) { return 20.0 * std::log10 (std::max (g, 1.0e-12)); }

    inline float peak (const juce::AudioBuffer<float>& b)
    {
        float p = 0.0f;
        for (int ch = 0; ch < b.getNumChannels(); ++ch)
            p = std::max (p, b.getMagnitude (ch, 0, b.getNumSamples()));
        return p;
    }

    // Bass-heavy pink noise, stereo, roughly program-like.
    inline void fillBassHeavyPink (juce::AudioBuffer<float>& b, juce::Random& rng, float gain)
    {
        for (int ch = 0; ch < b.getNumChannels(); ++ch)
        {
            float b0 = 0, b1 = 0, b2 = 0, low = 0;
            auto* d = b.getWritePointer (ch);
            for (int i = 0; i < b.getNumSamples(); ++i)
            {
                const float w = rng.nextFloat() * 2.0f - 1.0f;
                b0 = 0.99765f * b0 + w * 0.0990460f;
                b1 = 0.96300f * b1 + w * 0.2965164f;
                b2 = 0.57000f * b2 + w * 1.0526913f;
                low = 0.995f * low + 0.005f * w * 8.0f;
                d[i] = gain * (0.2f * (b0 + b1 + b2 + w * 0.1848f) + 2.5f * low
                               + 0.4f * std::sin (0.0085f * (float) i));
            }
        }
    }
}
