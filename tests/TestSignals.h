#pragma once

// Signals and measurements shared by the tests: sines and noise, running an engine block by block,
// peak, RMS, sample steps and single-frequency readings.

#include <juce_audio_basics/juce_audio_basics.h>
#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

namespace vyrTestSignals
{
    constexpr double pi = 3.14159265358979323846;

    inline double toDb (double gain) { return 20.0 * std::log10 (std::max (gain, 1.0e-300)); }

    //==============================================================================
    // Signals

    inline void fillSine (juce::AudioBuffer<float>& b, int ch, double hz, double sr, float amp, double phase = 0.0)
    {
        auto* d = b.getWritePointer (ch);
        for (int i = 0; i < b.getNumSamples(); ++i)
            d[i] = amp * (float) std::sin (2.0 * pi * hz * i / sr + phase);
    }

    // Uniform white noise in [-amp, amp) on one channel, its own generator seeded with `seed`.
    inline void fillNoise (juce::AudioBuffer<float>& b, int ch, juce::int64 seed, float amp)
    {
        juce::Random r (seed);
        auto* d = b.getWritePointer (ch);
        for (int i = 0; i < b.getNumSamples(); ++i)
            d[i] = amp * (2.0f * r.nextFloat() - 1.0f);
    }

    // Uniform white noise in [-amp, amp) on every channel, one generator running on from channel to channel.
    inline void fillNoiseAllChannels (juce::AudioBuffer<float>& b, juce::int64 seed, float amp)
    {
        juce::Random rng (seed);
        for (int ch = 0; ch < b.getNumChannels(); ++ch)
            for (int i = 0; i < b.getNumSamples(); ++i)
                b.setSample (ch, i, amp * (2.0f * rng.nextFloat() - 1.0f));
    }

    // n samples of uniform white noise in [-level, level).
    inline std::vector<float> noise (int n, juce::int64 seed, float level = 0.5f)
    {
        juce::Random rng (seed);
        std::vector<float> v ((size_t) n);
        for (auto& x : v)
            x = level * (2.0f * rng.nextFloat() - 1.0f);
        return v;
    }

    // Pink-ish noise from white noise: three one-pole sections summed, roughly -3 dB per octave.
    struct PinkFilter
    {
        float b0 = 0.0f, b1 = 0.0f, b2 = 0.0f;

        float next (float white)
        {
            b0 = 0.99765f * b0 + white * 0.0990460f;
            b1 = 0.96300f * b1 + white * 0.2965164f;
            b2 = 0.57000f * b2 + white * 1.0526913f;
            return b0 + b1 + b2 + white * 0.1848f;
        }
    };

    //==============================================================================
    // Running an engine

    // Runs an engine over samples [start, end) of a buffer in blocks of the given size, in place.
    template <typename Engine>
    void processInBlocks (Engine& engine, juce::AudioBuffer<float>& b, int blockSize, int start = 0, int end = -1)
    {
        if (end < 0)
            end = b.getNumSamples();
        for (int pos = start; pos < end; pos += blockSize)
        {
            const int n = std::min (blockSize, end - pos);
            juce::AudioBuffer<float> view (b.getArrayOfWritePointers(), b.getNumChannels(), pos, n);
            engine.process (view);
        }
    }

    // Runs an engine over a buffer in blocks of the given size: on up to sample `offAt`, then switched off
    // (enabled = false) for the rest.
    template <typename Engine>
    void processSwitchingOffAt (Engine& engine, juce::AudioBuffer<float>& b, int blockSize, int offAt)
    {
        processInBlocks (engine, b, blockSize, 0, offAt);
        engine.enabled = false;
        processInBlocks (engine, b, blockSize, offAt);
    }

    // Runs an engine in place over a mono signal (right == nullptr) or a stereo pair held as vectors, in
    // blocks of the given size; `before` runs before each block with the block's start sample.
    template <typename Engine, typename Before>
    void processInBlocks (Engine& engine, std::vector<float>& left, std::vector<float>* right, int blockSize, Before&& before)
    {
        const int total = (int) left.size();
        juce::AudioBuffer<float> buf (right != nullptr ? 2 : 1, blockSize);
        for (int start = 0; start < total; start += blockSize)
        {
            const int n = std::min (blockSize, total - start);
            buf.setSize (buf.getNumChannels(), n, false, false, true);
            std::copy_n (left.data() + start, n, buf.getWritePointer (0));
            if (right != nullptr)
                std::copy_n (right->data() + start, n, buf.getWritePointer (1));
            before (start);
            engine.process (buf);
            std::copy_n (buf.getReadPointer (0), n, left.data() + start);
            if (right != nullptr)
                std::copy_n (buf.getReadPointer (1), n, right->data() + start);
        }
    }

    //==============================================================================
    // Measurements

    // Largest magnitude over every channel, from sample `start` on.
    inline float peak (const juce::AudioBuffer<float>& b, int start = 0)
    {
        float p = 0.0f;
        for (int ch = 0; ch < b.getNumChannels(); ++ch)
            p = std::max (p, b.getMagnitude (ch, start, b.getNumSamples() - start));
        return p;
    }

    // Largest magnitude of one channel over samples [start, start + n) (n < 0: to the end).
    inline double peakOf (const juce::AudioBuffer<float>& b, int ch, int start = 0, int n = -1)
    {
        if (n < 0)
            n = b.getNumSamples() - start;
        double p = 0.0;
        for (int i = 0; i < n; ++i)
            p = std::max (p, (double) std::abs (b.getSample (ch, start + i)));
        return p;
    }

    inline double rms (const float* x, int n)
    {
        double s = 0;
        for (int i = 0; i < n; ++i)
            s += (double) x[i] * x[i];
        return n > 0 ? std::sqrt (s / n) : 0.0;
    }

    // RMS of one channel from sample `start` to the end.
    inline double rmsOf (const juce::AudioBuffer<float>& b, int ch, int start = 0)
    {
        return rms (b.getReadPointer (ch) + start, b.getNumSamples() - start);
    }

    // Largest step between neighbouring samples x[i - 1] and x[i] for i in [from, to).
    inline double largestStep (const float* x, int from, int to)
    {
        double m = 0.0;
        for (int i = from; i < to; ++i)
            m = std::max (m, (double) std::abs (x[i] - x[i - 1]));
        return m;
    }

    inline bool allFinite (const juce::AudioBuffer<float>& b, int start = 0, int n = -1)
    {
        if (n < 0)
            n = b.getNumSamples() - start;
        for (int ch = 0; ch < b.getNumChannels(); ++ch)
            for (int i = 0; i < n; ++i)
                if (! std::isfinite (b.getSample (ch, start + i)))
                    return false;
        return true;
    }

    // Complex amplitude of one frequency over samples [start, start + n): a single DFT bin, scaled so a
    // sine of amplitude a reads |a| when n holds whole periods.
    inline std::complex<double> phasorAt (const float* x, int start, int n, double hz, double sr)
    {
        std::complex<double> acc (0.0, 0.0);
        const double w = 2.0 * pi * hz / sr;
        for (int i = 0; i < n; ++i)
            acc += (double) x[start + i] * std::polar (1.0, -w * (start + i));
        return acc * (2.0 / n);
    }

    inline double amplitudeAt (const float* x, int start, int n, double hz, double sr)
    {
        return std::abs (phasorAt (x, start, n, hz, sr));
    }
}
