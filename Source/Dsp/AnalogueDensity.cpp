#include "Dsp/AnalogueDensity.h"

namespace
{
    float finiteOr (float value, float fallback) noexcept { return std::isfinite (value) ? value : fallback; }

    float wetTargetFor (bool enabled, float mix) noexcept
    {
        return enabled ? juce::jlimit (0.0f, 1.0f, finiteOr (mix, 0.0f)) : 0.0f;
    }
}

void VyrAnalogueDensity::prepare (double newSampleRate, int)
{
    sampleRate = newSampleRate > 0.0 ? newSampleRate : 44100.0;
    const int mixSteps = vyrDsp::rampSamples (sampleRate, 0.025);
    const int slowSteps = vyrDsp::rampSamples (sampleRate, 0.032);

    mixSmooth.reset (mixSteps);
    mixSmooth.setCurrentAndTargetValue (wetTargetFor (enabled, mix));

    const auto start = [slowSteps] (vyrDsp::Smoothed& s, float value)
    {
        s.reset (slowSteps);
        s.setCurrentAndTargetValue (value);
    };
    start (densitySmooth, finiteOr (density, 0.0f));
    start (saturationSmooth, finiteOr (saturation, 0.0f));
    start (pentodeSmooth, finiteOr (pentode, 0.0f));
    start (triodeSmooth, finiteOr (triode, 0.0f));
    start (inputGainSmooth, vyrDsp::dbToGain (finiteOr (inputGain, 0.0f)));
}

void VyrAnalogueDensity::process (juce::AudioBuffer<float>& buffer) noexcept
{
    const int numSamples = buffer.getNumSamples();
    const int numChannels = juce::jmin (buffer.getNumChannels(), maxChannels);
    if (numSamples < 1 || numChannels < 1)
        return;

    const float wetTarget = wetTargetFor (enabled, mix);
    mixSmooth.setTargetValue (wetTarget);
    if (wetTarget <= 0.0f && ! mixSmooth.isSmoothing() && mixSmooth.getCurrentValue() <= 1.0e-6f)
        return;

    densitySmooth.setTargetValue (finiteOr (density, densitySmooth.getTargetValue()));
    saturationSmooth.setTargetValue (finiteOr (saturation, saturationSmooth.getTargetValue()));
    pentodeSmooth.setTargetValue (finiteOr (pentode, pentodeSmooth.getTargetValue()));
    triodeSmooth.setTargetValue (finiteOr (triode, triodeSmooth.getTargetValue()));
    if (std::isfinite (inputGain))
        inputGainSmooth.setTargetValue (vyrDsp::dbToGain (inputGain));

    const float outputLevel = finiteOr (output, 5.0f) / 5.0f;
    const bool useSat = satIn;
    const bool useAlt = altTube;

    // The stage drives only move while a smoother glides: at rest they are worked out once per block.
    float dpDrive = 1.0f, k0 = 0.0f, dtDrive = 1.0f, g = 1.0f, s = 0.0f;
    const auto deriveDrives = [&] (float dens, float sat, float pent, float tri)
    {
        const float d = juce::jlimit (-1.0f, 1.0f, dens / 100.0f);
        const float dpos = juce::jmax (d, 0.0f);
        const float dneg = d < 0.0f ? 0.25f * -d : 0.0f;
        const float p = pent / 10.0f;
        const float t = tri / 10.0f;
        g = outputLevel / (1.0f + 0.51f * dpos);
        dpDrive = 1.0f + 2.4f * juce::jmax (0.0f, 0.6f * (0.55f * dpos + p - dneg));
        k0 = std::tanh (0.14f * dpDrive);
        dtDrive = 1.0f + 2.8f * juce::jmax (0.0f, 0.6f * (0.55f * dpos + t - dneg));
        s = juce::jmax (sat / 10.0f, 0.0f);
    };

    const bool gliding = densitySmooth.isSmoothing() || saturationSmooth.isSmoothing()
                         || pentodeSmooth.isSmoothing() || triodeSmooth.isSmoothing();
    if (! gliding)
        deriveDrives (densitySmooth.getTargetValue(), saturationSmooth.getTargetValue(),
                      pentodeSmooth.getTargetValue(), triodeSmooth.getTargetValue());

    float* const* channels = buffer.getArrayOfWritePointers();

    // The valve curves use the fast tanh and exponential (absolute error below 4e-7 each; through
    // the five stages the output stays within 2e-6 of the exact curves, below -110 dB).
    for (int i = 0; i < numSamples; ++i)
    {
        const float m = mixSmooth.getNextValue();
        const float gin = inputGainSmooth.getNextValue();
        if (gliding)
            deriveDrives (densitySmooth.getNextValue(), saturationSmooth.getNextValue(),
                          pentodeSmooth.getNextValue(), triodeSmooth.getNextValue());

        for (int ch = 0; ch < numChannels; ++ch)
        {
            const float x = channels[ch][i];
            float u = transformer (gin * x);

            if (useSat)
            {
                float sat;
                if (useAlt)
                {
                    const float sign = u < 0.0f ? -1.0f : 1.0f;
                    sat = sign * (1.0f - vyrDsp::fastExp (-1.6f * (1.0f + 3.4f * s) * std::abs (u))) * 0.92f;
                }
                else
                {
                    sat = 0.9f * vyrDsp::fastTanh ((1.0f + 2.1f * s) * u) + 0.025f * u * std::abs (u);
                }
                u = 0.62f * u + 0.38f * sat;
            }

            const float a = vyrDsp::fastTanh (dpDrive * (u + 0.14f)) - k0 + 0.05f * u;
            const float b = vyrDsp::fastTanh (dtDrive * a);
            const float y = juce::jlimit (-1.0f, 1.0f, g * transformer (b));
            channels[ch][i] = m * y + (1.0f - m) * x;
        }
    }
}
