#include "Dsp/Imager.h"

namespace
{
    float finiteOr (float value, float fallback) noexcept { return std::isfinite (value) ? value : fallback; }

    float wetTargetFor (bool enabled, float mix) noexcept
    {
        return enabled ? juce::jlimit (0.0f, 1.0f, finiteOr (mix, 0.0f)) : 0.0f;
    }

    inline float displayable (float v) noexcept { return std::isfinite (v) ? v : 0.0f; }

    // A rotation angle in degrees, wrapped into -180..180.
    float wrapDegrees (float deg) noexcept
    {
        if (! std::isfinite (deg))
            return 0.0f;
        if (deg >= -180.0f && deg <= 180.0f)
            return deg;
        float w = std::fmod (deg + 180.0f, 360.0f);
        if (w < 0.0f)
            w += 360.0f;
        return w - 180.0f;
    }
}

float VyrImager::spreadGain (float hi, float lo) noexcept
{
    hi = finiteOr (hi, 1.0f);
    lo = finiteOr (lo, -1.0f);
    float u = juce::jlimit (0.0f, 2.0f, (juce::jmax (hi, lo) - juce::jmin (hi, lo)) * 0.5f);
    if (std::abs (u - 1.0f) <= 0.05f)
        u = 1.65f;
    return u;
}

void VyrImager::prepare (double newSampleRate, int)
{
    sampleRate = newSampleRate > 0.0 ? newSampleRate : 44100.0;
    lowBand.reset();
    designedCrossover = -1.0f;
    std::fill (std::begin (scopeL), std::end (scopeL), 0.0f);
    std::fill (std::begin (scopeR), std::end (scopeR), 0.0f);
    mixSmooth.reset (vyrDsp::rampSamples (sampleRate, 0.025));
    mixSmooth.setCurrentAndTargetValue (wetTargetFor (enabled, mix));
}

void VyrImager::process (juce::AudioBuffer<float>& buffer) noexcept
{
    const int numSamples = buffer.getNumSamples();
    const int numChannels = buffer.getNumChannels();
    if (numSamples < 1 || numChannels < 1)
        return;

    int w = scopeWrite.load (std::memory_order_acquire) & (scopeSize - 1);

    if (numChannels == 1)
    {
        const float* in = buffer.getReadPointer (0);
        for (int i = 0; i < numSamples; ++i)
        {
            scopeL[w] = scopeR[w] = displayable (in[i]);
            w = (w + 1) & (scopeSize - 1);
        }
        scopeWrite.store (w, std::memory_order_release);
        correlation.store (1.0f, std::memory_order_release);
        return;
    }

    const float wetTarget = wetTargetFor (enabled, mix);
    mixSmooth.setTargetValue (wetTarget);
    const bool idle = wetTarget <= 0.0f && ! mixSmooth.isSmoothing() && mixSmooth.getCurrentValue() <= 1.0e-6f;

    // Off and faded out: the output is the input, and the scope and correlation, which only an open
    // imager panel shows, keep their last readings. The band filter starts from silence on return.
    if (idle)
    {
        lowBand.reset();
        return;
    }

    lowBand.sanitise();

    const float f = juce::jlimit (20.0f, 2000.0f, finiteOr (crossover, 200.0f));
    if (std::abs (f - designedCrossover) > 0.25f)
    {
        lowBand.c = vyrDsp::design::lowPass (sampleRate, f, 0.5f);
        designedCrossover = f;
    }

    const float u = spreadGain (width, spreadLo);
    const float theta = wrapDegrees (direction) * juce::MathConstants<float>::pi / 180.0f;
    const float sn = std::sin (theta), cs = std::cos (theta);
    const bool msInput = inputMs;
    const bool useSplit = split;

    float* left = buffer.getWritePointer (0);
    float* right = buffer.getWritePointer (1);
    double sumLR = 0.0, sumLL = 0.0, sumRR = 0.0;

    for (int i = 0; i < numSamples; ++i)
    {
        float L = left[i], R = right[i];

        if (! idle)
        {
            const float M = msInput ? L : (L + R) * 0.5f;
            const float S = msInput ? R : (L - R) * 0.5f;
            float sideOut;
            if (useSplit)
            {
                // Complementary bands: the high band is what the low band leaves, so with the one
                // spread gain on both they add back to the side with no notch or phase turn.
                const float low = lowBand.process (S);
                const float high = S - low;
                sideOut = u * low + u * high;
            }
            else
            {
                sideOut = u * S;
            }

            const float a = M + sideOut, b = M - sideOut;
            const float wetL = cs * a - sn * b;
            const float wetR = sn * a + cs * b;

            const float m = mixSmooth.getNextValue();
            L = L * (1.0f - m) + wetL * m;
            R = R * (1.0f - m) + wetR * m;
            left[i] = L;
            right[i] = R;
        }

        scopeL[w] = displayable (L);
        scopeR[w] = displayable (R);
        w = (w + 1) & (scopeSize - 1);

        sumLR += (double) L * (double) R;
        sumLL += (double) L * (double) L;
        sumRR += (double) R * (double) R;
    }

    scopeWrite.store (w, std::memory_order_release);

    const double root = std::sqrt (sumLL * sumRR);
    double c = root > 1.0e-9 ? sumLR / root : 0.0;
    if (! std::isfinite (c))
        c = 0.0;
    correlation.store ((float) juce::jlimit (-1.0, 1.0, c), std::memory_order_release);
}
