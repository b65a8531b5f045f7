#include "Dsp/AnalogueDensity.h"

namespace
{
    float finiteOr (float value, float fallback) noexcept { return std::isfinite (value) ? value : fallback; }

    float wetTargetFor (bool enabled, float mix) noexcept
    {
        return enabled ? juce::jlimit (0.0f, 1.0f, finiteOr (mix, 0.0f)) : 0.0f;
    }

    constexpr int runLength = 64;

    // Per-sample ramps and stage drives of one run.
    struct ValveRun
    {
        const float *mix, *gin, *dpDrive, *k0, *dtDrive, *g, *s;
    };

    // The valve path over a run, in place. satMode 0: no parallel saturation; 1: tanh curve;
    // 2: exponential curve. The valve curves and the pentode's offset use the fast tanh and exponential
    // (absolute error below 4e-7 each; through the six uses the output stays within 3e-6 of the exact
    // curves, below -105 dB).
    template <int satMode>
    forcedinline void valves (float* xs, int n, const ValveRun& r) noexcept
    {
        for (int i = 0; i < n; ++i)
        {
            const float x = xs[i];
            float u = VyrAnalogueDensity::transformer (r.gin[i] * x);
            if constexpr (satMode == 2)
            {
                const float sign = u < 0.0f ? -1.0f : 1.0f;
                const float sat = sign * (1.0f - vyrDsp::fastExp (-1.6f * (1.0f + 3.4f * r.s[i]) * std::abs (u))) * 0.92f;
                u = 0.62f * u + 0.38f * sat;
            }
            else if constexpr (satMode == 1)
            {
                const float sat = 0.9f * vyrDsp::fastTanh ((1.0f + 2.1f * r.s[i]) * u) + 0.025f * u * std::abs (u);
                u = 0.62f * u + 0.38f * sat;
            }
            const float a = vyrDsp::fastTanh (r.dpDrive[i] * (u + 0.14f)) - r.k0[i] + 0.05f * u;
            const float b = vyrDsp::fastTanh (r.dtDrive[i] * a);
            const float y = juce::jlimit (-1.0f, 1.0f, r.g[i] * VyrAnalogueDensity::transformer (b));
            const float m = r.mix[i];
            xs[i] = m * y + (1.0f - m) * x;
        }
    }

    void valvesPlain (float* x, int n, const ValveRun& r) noexcept { valves<0> (x, n, r); }
    void valvesTanh (float* x, int n, const ValveRun& r) noexcept { valves<1> (x, n, r); }
    void valvesExp (float* x, int n, const ValveRun& r) noexcept { valves<2> (x, n, r); }
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
        k0 = vyrDsp::fastTanh (0.14f * dpDrive);   // per sample while a drive glides
        dtDrive = 1.0f + 2.8f * juce::jmax (0.0f, 0.6f * (0.55f * dpos + t - dneg));
        s = juce::jmax (sat / 10.0f, 0.0f);
    };

    const bool gliding = densitySmooth.isSmoothing() || saturationSmooth.isSmoothing()
                         || pentodeSmooth.isSmoothing() || triodeSmooth.isSmoothing();
    if (! gliding)
        deriveDrives (densitySmooth.getTargetValue(), saturationSmooth.getTargetValue(),
                      pentodeSmooth.getTargetValue(), triodeSmooth.getTargetValue());

    float* const* channels = buffer.getArrayOfWritePointers();

    // The ramps and drives of a run of samples go into small arrays first; the valve path then runs
    // over the run without a branch on the settings, so it vectorises.
    const int satMode = useSat ? (useAlt ? 2 : 1) : 0;
    alignas (32) float mixRun[runLength], ginRun[runLength], dpRun[runLength], k0Run[runLength], dtRun[runLength],
        gRun[runLength], sRun[runLength];
    for (int start = 0; start < numSamples; start += runLength)
    {
        const int len = juce::jmin (runLength, numSamples - start);
        for (int i = 0; i < len; ++i)
        {
            mixRun[i] = mixSmooth.getNextValue();
            ginRun[i] = inputGainSmooth.getNextValue();
            if (gliding)
                deriveDrives (densitySmooth.getNextValue(), saturationSmooth.getNextValue(),
                              pentodeSmooth.getNextValue(), triodeSmooth.getNextValue());
            dpRun[i] = dpDrive;
            k0Run[i] = k0;
            dtRun[i] = dtDrive;
            gRun[i] = g;
            sRun[i] = s;
        }
        const ValveRun run { mixRun, ginRun, dpRun, k0Run, dtRun, gRun, sRun };
        for (int ch = 0; ch < numChannels; ++ch)
        {
            float* x = channels[ch] + start;
            if (satMode == 0)
                valvesPlain (x, len, run);
            else if (satMode == 1)
                valvesTanh (x, len, run);
            else
                valvesExp (x, len, run);
        }
    }
}
