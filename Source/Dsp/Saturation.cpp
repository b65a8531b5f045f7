#include "Dsp/Saturation.h"

namespace
{
    float finiteOr (float value, float fallback) noexcept { return std::isfinite (value) ? value : fallback; }

    float wetTargetFor (bool enabled, float mix) noexcept
    {
        return enabled ? juce::jlimit (0.0f, 1.0f, finiteOr (mix, 0.0f)) : 0.0f;
    }
}

float VyrSaturation::shape (int curve, float x, float D) noexcept
{
    const float ax = std::abs (x);
    switch (curve)
    {
        case tape:
            return std::tanh (0.85f * D * x) * (1.0f - 0.08f * ax);
        case trans:
        {
            const float u = D * x;
            const float s = u < 0.0f ? -1.0f : 1.0f;
            return s * (1.0f - std::exp (-2.5f * std::abs (u))) * 0.95f;
        }
        case opto:
            return 0.45f * x + 0.55f * std::tanh (0.5f * D * x);
        case clean:
            return 0.7f * x + 0.3f * std::tanh (D * x);
        case tube:
        default:
            return 0.9f * std::tanh (D * x) + 0.05f * x + 0.03f * x * ax;
    }
}

void VyrSaturation::prepare (double newSampleRate, int)
{
    sampleRate = newSampleRate > 0.0 ? newSampleRate : 44100.0;
    const int mixSteps = vyrDsp::rampSamples (sampleRate, 0.025);
    const int slowSteps = vyrDsp::rampSamples (sampleRate, 0.032);

    const float wet = wetTargetFor (enabled, mix);
    mixSmooth.reset (mixSteps);
    mixSmooth.setCurrentAndTargetValue (wet);
    outputSmooth.reset (mixSteps);
    outputSmooth.setCurrentAndTargetValue (wet > 0.0f ? finiteOr (output, 1.0f) : 1.0f);

    driveSmooth.reset (slowSteps);
    driveSmooth.setCurrentAndTargetValue (finiteOr (drive, 0.4f));
    gritSmooth.reset (slowSteps);
    gritSmooth.setCurrentAndTargetValue (finiteOr (grit, 0.0f));
    modeFade.reset (slowSteps);
    modeFade.setCurrentAndTargetValue (1.0f);
    fadeFromMode = fadeToMode = mode;
}

void VyrSaturation::process (juce::AudioBuffer<float>& buffer) noexcept
{
    const int numSamples = buffer.getNumSamples();
    const int numChannels = juce::jmin (buffer.getNumChannels(), maxChannels);
    if (numSamples < 1 || numChannels < 1)
        return;

    const float wetTarget = wetTargetFor (enabled, mix);
    mixSmooth.setTargetValue (wetTarget);
    outputSmooth.setTargetValue (wetTarget > 0.0f ? finiteOr (output, 1.0f) : 1.0f);

    const bool wetIdle = wetTarget <= 0.0f && ! mixSmooth.isSmoothing() && mixSmooth.getCurrentValue() <= 1.0e-6f;
    if (wetIdle && ! outputSmooth.isSmoothing() && outputSmooth.getCurrentValue() == 1.0f)
        return;

    driveSmooth.setTargetValue (finiteOr (drive, driveSmooth.getTargetValue()));
    gritSmooth.setTargetValue (finiteOr (grit, gritSmooth.getTargetValue()));

    if (mode != fadeToMode)
    {
        fadeFromMode = fadeToMode;
        fadeToMode = mode;
        modeFade.setCurrentAndTargetValue (0.0f);
    }
    modeFade.setTargetValue (1.0f);

    float* const* channels = buffer.getArrayOfWritePointers();

    for (int i = 0; i < numSamples; ++i)
    {
        const float m = mixSmooth.getNextValue();
        const float out = outputSmooth.getNextValue();
        const float dr = driveSmooth.getNextValue();
        const float gr = gritSmooth.getNextValue();
        const float f = modeFade.getNextValue();

        const float D = 1.0f + 1.5f * dr;
        const bool crossfading = f > 0.0001f && fadeToMode != fadeFromMode;
        const bool noisy = gr > 0.001f;
        const float noiseScale = gr * 0.11f * (0.4f + 0.6f * dr);

        for (int ch = 0; ch < numChannels; ++ch)
        {
            const float in = channels[ch][i];
            const float x = juce::jlimit (-1.5f, 1.5f, in);

            float y = shape (fadeFromMode, x, D);
            if (crossfading)
                y += f * (shape (fadeToMode, x, D) - y);

            if (noisy)
                y += noiseScale * (0.5f + 0.5f * std::abs (in)) * (2.0f * grain.nextFloat() - 1.0f);

            y = juce::jlimit (-1.0f, 1.0f, y);
            channels[ch][i] = out * (m * y + (1.0f - m) * in);
        }
    }

    // Once the crossfade has arrived the old curve is the new one: one shaper per sample again.
    if (fadeFromMode != fadeToMode && ! modeFade.isSmoothing())
        fadeFromMode = fadeToMode;
}
