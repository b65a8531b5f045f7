#pragma once

// Signal helpers for the colour and stereo engine tests: sines, noise, block-wise processing and
// single-frequency measurements.

#include <juce_audio_basics/juce_audio_basics.h>
#include <complex>
#include <cmath>
#include <vector>

namespace colourTest
{
    constexpr double pi = 3.14159265358979323846;

    inline void fillSine (juce::AudioBuffer<float>& b, int ch, double hz, double sr, float amp, double phase = 0.0)
    {
        auto* d = b.getWritePointer (ch);
        for (int i = 0; i < b.getNumSamples(); ++i)
            d[i] = amp * (float) std::sin (2.0 * pi * hz * i / sr + phase);
    }

    inline void fillNoise (juce::AudioBuffer<float>& b, int ch, juce::int64 seed, float amp)
    {
        juce::Random r (seed);
        auto* d = b.getWritePointer (ch);
        for (int i = 0; i < b.getNumSamples(); ++i)
            d[i] = amp * (2.0f * r.nextFloat() - 1.0f);
    }

    // Runs an engine over a buffer in blocks of the given size, in place.
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

    inline double toDb (double v) { return 20.0 * std::log10 (std::max (v, 1.0e-300)); }

    inline double peakOf (const juce::AudioBuffer<float>& b, int ch, int start = 0, int n = -1)
    {
        if (n < 0)
            n = b.getNumSamples() - start;
        double p = 0.0;
        for (int i = 0; i < n; ++i)
            p = std::max (p, (double) std::abs (b.getSample (ch, start + i)));
        return p;
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

    // Bilinear-transform responses of the analogue second-order prototypes: the exact response of
    // a digital section designed at f0 is the prototype's at the warped frequency. s = j * Omega.
    inline std::complex<double> warpedS (double hz, double f0, double sr)
    {
        return { 0.0, std::tan (pi * hz / sr) / std::tan (pi * f0 / sr) };
    }

    inline std::complex<double> protoLowPass (double hz, double f0, double q, double sr)
    {
        const auto s = warpedS (hz, f0, sr);
        return 1.0 / (s * s + s / q + 1.0);
    }

    inline std::complex<double> protoHighPass (double hz, double f0, double q, double sr)
    {
        const auto s = warpedS (hz, f0, sr);
        return s * s / (s * s + s / q + 1.0);
    }

    // Shelves and bell with A = 10^(dB/40).
    inline std::complex<double> protoHighShelf (double hz, double f0, double q, double dB, double sr)
    {
        const auto s = warpedS (hz, f0, sr);
        const double A = std::pow (10.0, dB / 40.0);
        return A * (A * s * s + std::sqrt (A) / q * s + 1.0) / (s * s + std::sqrt (A) / q * s + A);
    }

    inline std::complex<double> protoLowShelf (double hz, double f0, double q, double dB, double sr)
    {
        const auto s = warpedS (hz, f0, sr);
        const double A = std::pow (10.0, dB / 40.0);
        return A * (s * s + std::sqrt (A) / q * s + A) / (A * s * s + std::sqrt (A) / q * s + 1.0);
    }

    inline std::complex<double> protoBell (double hz, double f0, double q, double dB, double sr)
    {
        const auto s = warpedS (hz, f0, sr);
        const double A = std::pow (10.0, dB / 40.0);
        return (s * s + s * (A / q) + 1.0) / (s * s + s / (A * q) + 1.0);
    }
}
