#include "Dsp/SignalGenerator.h"

#include <algorithm>
#include <iterator>

namespace
{
constexpr double twoPi = 6.283185307179586476925286766559;

inline float finiteOr (float v, float fallback) noexcept { return std::isfinite (v) ? v : fallback; }

inline double wrapPhase (double p) noexcept { return p - std::floor (p); }

// Polynomial band-limited step residual for a phase x in 0..1 and phase step dt: smooths the
// discontinuity of a naive edge at phase 0 over the sample on either side of it.
inline double blep (double x, double dt) noexcept
{
    if (x < dt)
    {
        const double t = x / dt;
        return 2.0 * t - t * t - 1.0;
    }
    if (x > 1.0 - dt)
    {
        const double t = (x - 1.0) / dt;
        return t * t + 2.0 * t + 1.0;
    }
    return 0.0;
}

// Integral of the step residual above, centred on the edge at phase 0: rounds the corner that the
// integrated edge leaves in a triangle. Zero outside the two samples around the corner.
inline double blamp (double x, double dt) noexcept
{
    if (x < dt)
    {
        const double u = 1.0 - x / dt;
        return dt * u * u * u * (1.0 / 3.0);
    }
    if (x > 1.0 - dt)
    {
        const double u = 1.0 + (x - 1.0) / dt;
        return dt * u * u * u * (1.0 / 3.0);
    }
    return 0.0;
}

inline float pinkStep (float* b, float w) noexcept
{
    b[0] = 0.99886f * b[0] + 0.0555179f * w;
    b[1] = 0.99332f * b[1] + 0.0750759f * w;
    b[2] = 0.969f * b[2] + 0.153852f * w;
    b[3] = 0.8665f * b[3] + 0.3104856f * w;
    b[4] = 0.55f * b[4] + 0.5329522f * w;
    b[5] = -0.7616f * b[5] - 0.016898f * w;
    const float out = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + 0.5362f * w;
    b[6] = 0.115926f * w;
    return out;
}

inline float whiteDraw (juce::Random& random) noexcept { return 2.0f * random.nextFloat() - 1.0f; }
}

void VyrSignalGenerator::reset() noexcept
{
    phase = sweepPhase = sweepTime = needleTime = 0.0;
    needleInterval = 0.55;
    lastWave = -1;
    for (int c = 0; c < 2; ++c)
    {
        peakHold[c] = 0.0f;
        sumSquares[c] = 0.0;
    }
    readoutCount = readoutTimer = 0;
    std::fill (std::begin (pinkL), std::end (pinkL), 0.0f);
    std::fill (std::begin (pinkR), std::end (pinkR), 0.0f);
}

void VyrSignalGenerator::restartWave (int wave, juce::Random& random) noexcept
{
    lastWave = wave;
    phase = 0.0;
    sweepPhase = 0.0;
    sweepTime = 0.0;
    needleTime = 0.0;
    std::fill (std::begin (pinkL), std::end (pinkL), 0.0f);
    std::fill (std::begin (pinkR), std::end (pinkR), 0.0f);
    needleInterval = 0.5 + 0.2 * (double) random.nextFloat();
}

VyrSignalGenerator::Readout VyrSignalGenerator::render (juce::AudioBuffer<float>& buffer, const Settings& s,
                                                        double sampleRate, juce::Random& random) noexcept
{
    Readout readout;
    const int numChannels = buffer.getNumChannels();
    const int n = buffer.getNumSamples();
    if (numChannels <= 0 || n <= 0)
        return readout;

    if (resetPending.exchange (false, std::memory_order_acq_rel))
        reset();

    // Settings for this block.
    const int wave = juce::jlimit (0, 8, s.wave);
    const double freq = juce::jlimit (1.0f, 20000.0f, finiteOr (s.frequency, 1000.0f));
    const float levelDb = juce::jlimit (-96.0f, 6.0f, finiteOr (s.levelDb, -20.0f));
    const double duty = juce::jlimit (0.05f, 0.95f, finiteOr (s.duty, 0.5f));
    const float dc = juce::jlimit (-1.0f, 1.0f, finiteOr (s.dcOffset, 0.0f));
    const double sweepStart = std::fmax (1.0f, finiteOr (s.sweepStart, 20.0f));
    const double sweepEnd = std::fmax (1.0f, finiteOr (s.sweepEnd, 20000.0f));
    const double sweepDuration = std::fmax (0.05f, finiteOr (s.sweepDuration, 4.0f));
    const bool independentRight = s.stereo && s.decorrelated;

    const float gain = std::pow (10.0f, 0.05f * levelDb) * (s.dim ? 0.1f : 1.0f);
    const float gainL = (s.invert & 1) != 0 ? -gain : gain;
    const float gainR = (s.invert & 2) != 0 ? -gain : gain;

    const double rate = sampleRate > 1.0 ? sampleRate : 1.0;
    const double invRate = 1.0 / rate;
    const double dt = freq * invRate;
    // Corner rounding of the triangle; beyond half the sample rate there is nothing left to band-limit.
    const double triDt = std::fmin (dt, 0.5);
    const double sweepLogSpan = std::log (sweepEnd / sweepStart);
    const double invSweepDuration = 1.0 / sweepDuration;

    if (wave != lastWave)
        restartWave (wave, random);

    float* left = buffer.getWritePointer (0);
    float* right = numChannels > 1 ? buffer.getWritePointer (1) : nullptr;

    for (int i = 0; i < n; ++i)
    {
        float v = 0.0f, u = 0.0f;
        switch (wave)
        {
            case sine:
                v = u = (float) std::sin (twoPi * phase);
                break;

            case white:
                v = whiteDraw (random);
                u = independentRight ? whiteDraw (random) : v;
                break;

            case pink:
            {
                const float w = whiteDraw (random);
                v = 0.11f * pinkStep (pinkL, w);
                if (independentRight)
                {
                    const float wr = whiteDraw (random);
                    u = 0.11f * pinkStep (pinkR, wr);
                }
                else
                {
                    u = v;
                }
                break;
            }

            case square:
            {
                double x = phase < duty ? 1.0 : -1.0;
                if (s.antiAlias)
                    x += blep (phase, dt) - blep (wrapPhase (phase - duty + 1.0), dt);
                v = u = (float) x;
                break;
            }

            case saw:
            {
                double x = 2.0 * phase - 1.0;
                if (s.antiAlias)
                    x -= blep (phase, dt);
                v = u = (float) x;
                break;
            }

            case triangle:
            {
                // The exact integral of the band-limited 50 % square, read at the phase: -1 at phase 0,
                // +1 at one half, centred on zero from the first sample and tied to the phase, so it
                // follows frequency changes without a jump and cannot drift.
                const double x = 1.0 - 4.0 * std::abs (phase - 0.5)
                                 + 4.0 * (blamp (phase, triDt) - blamp (wrapPhase (phase + 0.5), triDt));
                v = u = (float) x;
                break;
            }

            case needle:
                needleTime += invRate;
                if (needleTime >= needleInterval)
                {
                    const float magnitude = 0.7f + 0.3f * random.nextFloat();
                    v = random.nextFloat() < 0.5f ? -magnitude : magnitude;
                    u = independentRight ? (random.nextFloat() < 0.5f ? -magnitude : magnitude) : v;
                    needleTime = 0.0;
                    needleInterval = 0.5 + 0.2 * (double) random.nextFloat();
                }
                break;

            case impulse:
                v = u = (i == 0 && s.impulseRequested) ? 1.0f : 0.0f;
                break;

            case sweep:
            default:
                v = u = (float) std::sin (twoPi * sweepPhase);
                break;
        }

        const float outL = juce::jlimit (-1.0f, 1.0f, (v + dc) * gainL);
        const float outR = juce::jlimit (-1.0f, 1.0f, (u + dc) * gainR);
        left[i] = outL;
        if (right != nullptr)
            right[i] = outR;

        peakHold[0] = std::fmax (std::abs (outL), 0.999f * peakHold[0]);
        peakHold[1] = std::fmax (std::abs (outR), 0.999f * peakHold[1]);
        sumSquares[0] += (double) outL * outL;
        sumSquares[1] += (double) outR * outR;

        // Advance the oscillator; every phase keeps only its fractional part, whatever the step.
        if (wave == sine || wave == square || wave == saw || wave == triangle)
        {
            phase = wrapPhase (phase + dt);
        }
        else if (wave == sweep)
        {
            sweepTime += invRate;
            if (sweepTime >= sweepDuration)
                sweepTime = 0.0;
            const double pos = sweepTime * invSweepDuration;
            const double f = s.sweepLog ? sweepStart * std::exp (pos * sweepLogSpan)
                                        : sweepStart + (sweepEnd - sweepStart) * pos;
            sweepPhase = wrapPhase (sweepPhase + f * invRate);
        }
    }

    for (int ch = 2; ch < numChannels; ++ch)
        buffer.copyFrom (ch, 0, buffer, 0, 0, n);

    readoutCount += n;
    readoutTimer += n;
    if (readoutTimer >= (int) (rate * 0.03) && readoutCount > 0)
    {
        readoutTimer = 0;
        for (int c = 0; c < 2; ++c)
        {
            readout.peakDb[c] = (float) std::fmax (20.0 * std::log10 (std::fmax ((double) peakHold[c], 1.0e-10)), -100.0);
            const double rms = std::sqrt (sumSquares[c] / readoutCount);
            readout.rmsDb[c] = (float) std::fmax (20.0 * std::log10 (std::fmax (rms, 1.0e-10)), -100.0);
            sumSquares[c] = 0.0;
        }
        readoutCount = 0;
        readout.published = true;
    }

    return readout;
}
