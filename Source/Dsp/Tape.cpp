#include "Dsp/Tape.h"

namespace
{
    inline float clampSafe (float v, float lo, float hi) noexcept
    {
        return v >= lo ? (v <= hi ? v : hi) : lo;
    }

    inline float finiteOr (float v, float fallback) noexcept
    {
        return std::isfinite (v) ? v : fallback;
    }

    inline double speedFactor (float speedIps) noexcept
    {
        return speedIps > 7.5f ? (double) speedIps / 15.0 : 0.5;
    }
}

double VyrTape::wowRateHz (float speedIps) noexcept     { return 0.6 / speedFactor (speedIps); }
double VyrTape::flutterRateHz (float speedIps) noexcept { return 6.2 * speedFactor (speedIps); }

VyrTape::VyrTape() = default;

void VyrTape::prepare (double newRate, int blockSize)
{
    juce::ignoreUnused (blockSize);
    sampleRate = newRate;

    delayLine[0].clear();
    delayLine[1].clear();

    // Constant-peak band-pass around 4 kHz for the hiss.
    const double fs = juce::jmax (newRate, 1.0);
    const double w = 2.0 * juce::MathConstants<double>::pi * (double) vyrDsp::clampFreq (4000.0f, fs) / fs;
    const double k = std::sin (w) / 0.8;
    hb0 = (float) (k / (1.0 + k));
    hb1 = 0.0f;
    hb2 = (float) (-k / (1.0 + k));
    ha1 = (float) (-2.0 * std::cos (w) / (1.0 + k));
    ha2 = (float) ((1.0 - k) / (1.0 + k));

    wowOsc.phase = 0.0;
    flutterOsc.phase = 0.0;
    hiss[0] = hiss[1] = Hiss {};

    const float wetShare = enabled ? clampSafe (mix, 0.0f, 1.0f) : 0.0f;
    mixSmooth.reset (fs, 0.025);
    mixSmooth.setCurrentAndTargetValue (wetShare);
    engageSmooth.reset (fs, 0.025);
    engageSmooth.setCurrentAndTargetValue (wetShare > 0.0f ? 1.0f : 0.0f);
}

void VyrTape::process (juce::AudioBuffer<float>& buffer) noexcept
{
    const int numSamples = buffer.getNumSamples();
    const int numChannels = juce::jmin (buffer.getNumChannels(), 2);
    if (numSamples < 1 || numChannels < 1)
        return;

    const float wetTarget = enabled ? clampSafe (mix, 0.0f, 1.0f) : 0.0f;
    mixSmooth.setTargetValue (wetTarget);
    engageSmooth.setTargetValue (wetTarget > 0.0f ? 1.0f : 0.0f);

    if (wetTarget <= 0.0f && ! mixSmooth.isSmoothing() && mixSmooth.getCurrentValue() <= 0.000001f
        && ! engageSmooth.isSmoothing() && engageSmooth.getCurrentValue() <= 0.0f)
        return;

    // Per-block values.
    const float gi = vyrDsp::dbToGain (finiteOr (inputGain, 0.0f));
    const float gw = vyrDsp::dbToGain (finiteOr (outputGain, 0.0f));
    const float noiseAmount = finiteOr (noise, 0.0f);
    const float hn = noiseAmount > 0.0f ? noiseAmount * 0.04f * (1.0f - 0.28f * clampSafe (bias, 0.0f, 1.0f)) : 0.0f;
    const float ds = 1.0f + 3.0f * finiteOr (drive, 0.0f) * finiteOr (saturation, 0.0f) * (1.0f - 0.35f * finiteOr (bias, 0.0f));
    const double twoPiOverRate = juce::MathConstants<double>::twoPi / juce::jmax (sampleRate, 1.0);
    wowOsc.beginBlock (twoPiOverRate * wowRateHz (speed));
    flutterOsc.beginBlock (twoPiOverRate * flutterRateHz (speed));

    const float wowDepth = finiteOr (wow, 0.0f);
    const float flutterDepth = finiteOr (flutter, 0.0f);
    const float baseDelay = 8.0f + 6.0f * finiteOr (hysteresis, 0.0f);
    const float delayWow = baseDelay * 0.004f * wowDepth;
    const float delayFlutter = baseDelay * 0.0015f * flutterDepth;
    const float hissWow = 0.08f * wowDepth;
    const float hissFlutter = 0.03f * flutterDepth;
    constexpr float kHissLeak = 1.0f / 1.02f;

    const bool engaging = engageSmooth.isSmoothing() || engageSmooth.getCurrentValue() != 1.0f;

    float* channel[2] = { buffer.getWritePointer (0), numChannels > 1 ? buffer.getWritePointer (1) : nullptr };

    for (int n = 0; n < numSamples; ++n)
    {
        const float sw = wowOsc.next();
        const float sf = flutterOsc.next();
        const float tau = juce::jlimit (1.0f, 400.0f, baseDelay + delayWow * sw + delayFlutter * sf);
        const float wobble = 1.0f + hissWow * sw + hissFlutter * sf;
        const float m = mixSmooth.getNextValue();

        float inGain = gi, outGain = gw;
        if (engaging)
        {
            const float e = engageSmooth.getNextValue();
            inGain = 1.0f + e * (gi - 1.0f);
            outGain = 1.0f + e * (gw - 1.0f);
        }

        for (int ch = 0; ch < numChannels; ++ch)
        {
            float* data = channel[ch];
            const float x = data[n];
            const float u = gi * x;

            // A non-finite input enters the line as silence, so it leaves the wet path at once.
            auto& line = delayLine[ch];
            line.push (std::isfinite (u) ? u : 0.0f);
            const float d = line.read (tau);
            const float t = vyrDsp::fastTanh (ds * d);   // within 4e-7 of the exact curve

            const float r = rng.nextFloat();
            auto& hs = hiss[ch & 1];
            hs.level = (hs.level + 0.02f * (2.0f * r - 1.0f)) * kHissLeak;
            const float hin = 3.5f * hs.level;
            const float h = hb0 * hin + hs.s1;
            hs.s1 = hb1 * hin - ha1 * h + hs.s2;
            hs.s2 = hb2 * hin - ha2 * h;

            const float wet = t + hn * wobble * h;
            data[n] = outGain * (m * wet + (1.0f - m) * (inGain * x));
        }
    }

    wowOsc.endBlock (numSamples);
    flutterOsc.endBlock (numSamples);

    for (auto& hs : hiss)
        if (! (std::isfinite (hs.level) && std::isfinite (hs.s1) && std::isfinite (hs.s2)))
            hs = Hiss {};
}
