#include "Dsp/Compressor.h"

namespace
{
// Soft-knee gain reduction for a level d dB above the threshold, full knee width k dB, ratio r.
inline float kneeCurve (float d, float k, float r) noexcept
{
    const float slope = 1.0f - 1.0f / r;
    if (d <= -0.5f * k)
        return 0.0f;
    if (d >= 0.5f * k)
        return d * slope;
    if (k > 0.0f)
    {
        const float x = 0.5f * k + d;
        return x * x * slope / (2.0f * k);
    }
    return d > 0.0f ? d * slope : 0.0f;
}

constexpr float dbToNeperish = 0.11512925464970229f; // ln(10) / 20: 10^(x/20) == exp(x * this)
}

float VyrCompressor::computeGr (float levelDb) const noexcept
{
    const float d = levelDb - threshold;
    // Ratios below 1 are outside the control's range; holding them at 1 also keeps the level-dependent
    // character ratios away from zero, where the curve would divide by zero.
    const float r0 = ratio > 1.0f ? ratio : 1.0f;
    const float plain = kneeCurve (d, knee, r0);

    const float m = model > 0.0f ? model : 0.0f;
    if (character == digital || m <= 0.0f)
        return plain;

    float k = knee, r = r0;
    switch (character)
    {
        case studioFet:
            // Hard knee; the ratio climbs to 20:1 over the first 10 dB above the threshold.
            k = 0.0f;
            if (d > 0.0f)
                r = r0 + std::fmin (d * 0.1f, 1.0f) * (20.0f - r0);
            break;

        case vintageOpto:
            // Wide knee; the ratio starts at half the setting and grows with the square of the overshoot.
            k = std::fmax (knee, 24.0f);
            if (d > 0.0f)
            {
                const float x = d * 0.1f;
                r = std::fmin (r0 * (0.5f + 0.5f * x) + (20.0f - r0) * x * x, 20.0f);
            }
            break;

        case vintageFet:
            k = std::fmax (knee, 12.0f);
            break;

        default: // Studio VCA, and any unknown index
            break;
    }

    const float s = kneeCurve (d, k, r);
    return plain * (1.0f - m) + s * m;
}

void VyrCompressor::prepare (double newSampleRate, int)
{
    sampleRate = newSampleRate;
    envelopeDb = -80.0f;
    mixSmooth.reset ((int) std::floor (0.025 * newSampleRate));
    mixSmooth.setCurrentAndTargetValue (wetTarget());
}

void VyrCompressor::process (juce::AudioBuffer<float>& buffer)
{
    const int numChannels = buffer.getNumChannels();
    const int numSamples = buffer.getNumSamples();

    mixSmooth.setTargetValue (wetTarget());

    if (numSamples <= 0 || numChannels <= 0
        || (mixSmooth.getTargetValue() <= 0.0f && ! mixSmooth.isSmoothing() && mixSmooth.getCurrentValue() <= 0.000001f))
    {
        grDb = 0.0f;
        return;
    }

    // A non-finite input can leave the detector at infinity or NaN; start again from its rest level.
    if (! std::isfinite (envelopeDb))
        envelopeDb = -80.0f;

    // Smoothing steps 1 - exp(-1 / (time x rate)), taken directly so that long times at high rates keep
    // their precision (1 - a rounded to single precision would miss a one-second release at 192 kHz by about half a percent). The
    // envelope runs in double within the block for the same reason.
    const double attackSamples = (double) attack * sampleRate;
    const double releaseSamples = (double) release * sampleRate;
    const double oneMinusA = -std::expm1 (attackSamples > 1.0 ? -1.0 / attackSamples : -1.0);
    const double oneMinusB = -std::expm1 (releaseSamples > 1.0 ? -1.0 / releaseSamples : -1.0);
    const float mu = vyrDsp::dbToGain (makeup);

    float* const* data = buffer.getArrayOfWritePointers();
    double env = envelopeDb;
    double grSum = 0.0;

    for (int i = 0; i < numSamples; ++i)
    {
        // Linked detector: the loudest channel drives the one gain. A NaN sample never wins the
        // comparison, so it cannot reach the envelope.
        float peak = 0.0f;
        for (int ch = 0; ch < numChannels; ++ch)
        {
            const float v = std::abs (data[ch][i]);
            if (v > peak)
                peak = v;
        }
        peak += 1.0e-8f;
        const double level = std::fmax (20.0f * std::log10 (peak), -100.0f);

        env += (level > env ? oneMinusA : oneMinusB) * (level - env);

        const float gr = computeGr ((float) env);
        const float g = gr == 0.0f ? 1.0f : (gr < 100.0f ? std::exp (-gr * dbToNeperish) : 0.0f);

        const float m = mixSmooth.getNextValue();
        const float w = m * mu * g + (1.0f - m);
        for (int ch = 0; ch < numChannels; ++ch)
            data[ch][i] *= w;

        grSum += gr;
    }

    envelopeDb = std::isfinite (env) ? (float) env : -80.0f;
    const float mean = (float) (grSum / numSamples);
    grDb = std::isfinite (mean) ? mean : 0.0f;
}
