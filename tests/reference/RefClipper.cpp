// The engine as it was before its faster paths, kept as the reference the tests compare against.
#include "reference/RefClipper.h"

namespace vyrRef
{

namespace
{
    float finiteOr (float value, float fallback) noexcept { return std::isfinite (value) ? value : fallback; }

    float wetTargetFor (bool enabled, float mix) noexcept
    {
        return enabled ? juce::jlimit (0.0f, 1.0f, finiteOr (mix, 0.0f)) : 0.0f;
    }

    float clampedHz (float hz, float fallback) noexcept { return juce::jlimit (20.0f, 20000.0f, finiteOr (hz, fallback)); }
}

void VyrClipper::prepare (double newSampleRate, int)
{
    sampleRate = newSampleRate > 0.0 ? newSampleRate : 44100.0;
    for (auto& f : filters)
    {
        f.preClip.reset();
        f.tone.reset();
        f.shelf.reset();
        f.lowPass.reset();
    }

    const int filterSteps = vyrDsp::rampSamples (sampleRate, 0.04);
    const int mixSteps = vyrDsp::rampSamples (sampleRate, 0.025);
    const int gainSteps = vyrDsp::rampSamples (sampleRate, 0.032);
    const auto start = [] (vyrDsp::Smoothed& s, int steps, float value)
    {
        s.reset (steps);
        s.setCurrentAndTargetValue (value);
    };

    // The filter glides start from the construction defaults, so the first block glides to the settings.
    start (clipFreqSmooth, filterSteps, 4400.0f);
    start (toneSmooth, filterSteps, 170.0f);
    start (shelfFreqSmooth, filterSteps, 980.0f);
    start (shelfGainSmooth, filterSteps, 0.0f);
    start (lpFreqSmooth, filterSteps, 6600.0f);

    start (mixSmooth, mixSteps, wetTargetFor (enabled, mix));
    start (driveSmooth, gainSteps, finiteOr (drive, 0.0f));
    start (inputGainSmooth, gainSteps, vyrDsp::dbToGain (finiteOr (inputGain, 0.0f)));
    start (outputGainSmooth, gainSteps, vyrDsp::dbToGain (finiteOr (outputGain, 0.0f)));

    key = DesignKey {};
}

void VyrClipper::redesignIfMoved() noexcept
{
    const float clipHz = clipFreqSmooth.getCurrentValue();
    const float toneHz = toneSmooth.getCurrentValue();
    const float shelfHz = shelfFreqSmooth.getCurrentValue();
    const float shelfDb = shelfGainSmooth.getCurrentValue();
    const float lpHz = lpFreqSmooth.getCurrentValue();
    const int type = clipFilterType == highPassType ? highPassType : lowPassType;

    const bool moved = clipFilterType != key.type || key.clipFreq < 0.0f
                       || std::abs (clipHz - key.clipFreq) > 2.0f
                       || std::abs (toneHz - key.tone) > 1.0f
                       || std::abs (shelfHz - key.shelfFreq) > 4.0f
                       || std::abs (shelfDb - key.shelfGain) > 0.05f
                       || std::abs (lpHz - key.lpFreq) > 4.0f;
    if (! moved)
        return;

    key = { clipHz, toneHz, shelfHz, shelfDb, lpHz, clipFilterType };

    // Every corner is kept below 0.45 x the sample rate by the shared designs.
    const auto pre = type == highPassType ? vyrDsp::design::highPass (sampleRate, clipHz, filterQ)
                                          : vyrDsp::design::lowPass (sampleRate, clipHz, filterQ);
    const auto toneHp = vyrDsp::design::highPass (sampleRate, toneHz, filterQ);
    const float shelfFactor = juce::jmax (std::pow (10.0f, shelfDb / 20.0f), 1.0e-15f);
    const auto shelf = vyrDsp::design::highShelf (sampleRate, shelfHz, filterQ, shelfFactor);
    const auto lp = vyrDsp::design::lowPass (sampleRate, lpHz, filterQ);

    for (auto& f : filters)
    {
        f.preClip.c = pre;
        f.tone.c = toneHp;
        f.shelf.c = shelf;
        f.lowPass.c = lp;
    }
}

void VyrClipper::process (juce::AudioBuffer<float>& buffer) noexcept
{
    const int numSamples = buffer.getNumSamples();
    const int numChannels = juce::jmin (buffer.getNumChannels(), 2);
    if (numSamples < 1 || numChannels < 1)
        return;

    const float wetTarget = wetTargetFor (enabled, mix);
    mixSmooth.setTargetValue (wetTarget);
    if (wetTarget <= 0.0f && ! mixSmooth.isSmoothing() && mixSmooth.getCurrentValue() <= 1.0e-6f)
        return;

    // A non-finite sample in an earlier block must not leave a filter stuck.
    for (auto& f : filters)
    {
        f.preClip.sanitise();
        f.tone.sanitise();
        f.shelf.sanitise();
        f.lowPass.sanitise();
    }

    clipFreqSmooth.setTargetValue (clampedHz (clipFilterFreq, clipFreqSmooth.getTargetValue()));
    toneSmooth.setTargetValue (clampedHz (tone, toneSmooth.getTargetValue()));
    shelfFreqSmooth.setTargetValue (clampedHz (highShelfFreq, shelfFreqSmooth.getTargetValue()));
    shelfGainSmooth.setTargetValue (juce::jlimit (-24.0f, 24.0f, finiteOr (highShelfGain, shelfGainSmooth.getTargetValue())));
    lpFreqSmooth.setTargetValue (clampedHz (lpFilterFreq, lpFreqSmooth.getTargetValue()));

    redesignIfMoved();

    clipFreqSmooth.skip (numSamples);
    toneSmooth.skip (numSamples);
    shelfFreqSmooth.skip (numSamples);
    shelfGainSmooth.skip (numSamples);
    lpFreqSmooth.skip (numSamples);

    driveSmooth.setTargetValue (finiteOr (drive, driveSmooth.getTargetValue()));
    if (std::isfinite (inputGain))
        inputGainSmooth.setTargetValue (vyrDsp::dbToGain (inputGain));
    if (std::isfinite (outputGain))
        outputGainSmooth.setTargetValue (vyrDsp::dbToGain (outputGain));

    const float s = juce::jlimit (-1.0f, 1.0f, finiteOr (symmetry, 0.0f) / 100.0f);

    // At rest the drive factor and the bias term are per-block values.
    const bool driveGliding = driveSmooth.isSmoothing();
    float g = std::pow (10.0f, juce::jmax (driveSmooth.getTargetValue(), 0.0f) / 20.0f);
    float bias = std::tanh (g * s);

    float* const* channels = buffer.getArrayOfWritePointers();

    for (int i = 0; i < numSamples; ++i)
    {
        const float m = mixSmooth.getNextValue();
        const float gi = inputGainSmooth.getNextValue();
        const float gw = outputGainSmooth.getNextValue();
        if (driveGliding)
        {
            g = std::pow (10.0f, juce::jmax (driveSmooth.getNextValue(), 0.0f) / 20.0f);
            bias = std::tanh (g * s);
        }

        for (int ch = 0; ch < numChannels; ++ch)
        {
            auto& f = filters[ch];
            const float x = channels[ch][i];
            const float v = f.preClip.process (gi * x);
            const float w = juce::jlimit (-1.0f, 1.0f, std::tanh (g * (v + s)) - bias);
            const float y = f.lowPass.process (f.shelf.process (f.tone.process (w)));
            channels[ch][i] = (1.0f - m) * x + m * gw * y;
        }
    }
}

} // namespace vyrRef
