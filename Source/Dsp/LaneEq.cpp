#include "Dsp/LaneEq.h"

void VyrQuarnLaneEq::targetGains (float angle, float (&gainsDb)[numBands]) noexcept
{
    for (auto& g : gainsDb)
        g = 0.0f;

    if (! std::isfinite (angle))
        return;

    float turn = angle - std::floor (angle);
    if (turn < 0.0f)
        turn += 1.0f;
    const float deg = turn * 360.0f;

    int sector = (int) std::floor (deg / 45.0f);
    if (sector < 0 || sector > 7)
        sector = 0;  // a turn that rounds up to 360 degrees is the start of the ring

    const float t = (deg - 45.0f * (float) sector) / 45.0f;
    float z = (t - 0.5f) / 0.18f;
    if (t > 1.0f)
        z = 2.7777778f;
    else if (t < 0.0f)
        z = -2.7777778f;

    const float bell = juce::jmax ((std::exp (-z * z * 0.5f) - 0.02110966f) / 0.9788904f, 0.0f);
    const float limit = sector >= 6 ? 9.0f : 6.0f;
    const float gain = (sector % 2 == 0 ? limit : -limit) * bell;
    gainsDb[sector / 2] = juce::jlimit (-limit, limit, gain);
}

void VyrQuarnLaneEq::prepare (double newSampleRate, int)
{
    sampleRate = juce::jmax (newSampleRate, 1.0);
    const int steps = vyrDsp::rampSamples (sampleRate, 0.018);

    for (int k = 0; k < numBands; ++k)
    {
        auto& b = bands[k];
        b.type = kType[k];
        b.freq = kHz[k];
        b.q = kQ[k];
        b.filterL.reset();
        b.filterR.reset();
        b.gainSmooth.reset (steps);
        b.gainSmooth.setCurrentAndTargetValue (0.0f);
        b.designedGain = 1000000.0f;

        // The centre frequency never moves while running: its sine and cosine are taken once here.
        const double f = (double) vyrDsp::clampFreq (juce::jlimit (20.0f, 20000.0f, b.freq), sampleRate);
        const double w = juce::MathConstants<double>::twoPi * f / sampleRate;
        b.cosW = (float) std::cos (w);
        b.sinW = (float) std::sin (w);
    }
}

void VyrQuarnLaneEq::computeCoefficients (BandState& band, float gainDb) noexcept
{
    const double factor = gainDb > -100.0f ? std::pow (10.0, (double) gainDb / 20.0) : 0.0;
    const double A = std::sqrt (std::max (factor, 1.0e-15));
    const double cw = band.cosW, sw = band.sinW;
    const double Q = std::max ((double) band.q, 0.05);

    const auto shape = band.type == lowShelfType ? vyrDsp::CookbookShape::lowShelf
                     : band.type == highShelfType ? vyrDsp::CookbookShape::highShelf
                                                  : vyrDsp::CookbookShape::peak;
    auto c = vyrDsp::cookbookFromTrig<double> (shape, cw, sw, Q, A);
    // Within a millionth of a decibel of 0 dB (the ring's bell ends there, not exactly at 0) the
    // band is an exact identity, so a flat setting costs nothing.
    const bool flat = std::abs (gainDb) < 1.0e-6f;
    if (flat)
        vyrDsp::makeIdentity (c);
    band.filterL.c = c;
    band.filterR.c = c;
    band.designedGain = flat ? 0.0f : gainDb;
}

void VyrQuarnLaneEq::process (juce::AudioBuffer<float>& buffer) noexcept
{
    const int numSamples = buffer.getNumSamples();
    const int numChannels = juce::jmin (buffer.getNumChannels(), 2);
    if (numSamples < 1 || numChannels < 1)
        return;

    float targets[numBands];
    targetGains (eqAng, targets);

    bool anyGliding = false;
    for (int k = 0; k < numBands; ++k)
    {
        auto& b = bands[k];
        b.filterL.sanitise();
        b.filterR.sanitise();
        b.gainSmooth.setTargetValue (targets[k]);
        anyGliding = anyGliding || b.gainSmooth.isSmoothing();
    }

    float* left = buffer.getWritePointer (0);
    float* right = numChannels > 1 ? buffer.getWritePointer (1) : nullptr;

    if (! anyGliding)
    {
        // At rest: settle any band whose coefficients lag their gain, then filter with fixed coefficients.
        for (auto& b : bands)
        {
            const float g = b.gainSmooth.getCurrentValue();
            if (std::abs (g - b.designedGain) >= 0.02f)
                computeCoefficients (b, g);
        }

        // All four bands at 0 dB with nothing left in their state: the output is the input.
        bool flat = true;
        for (const auto& b : bands)
            flat = flat && b.designedGain == 0.0f && vyrDsp::stateSettled (b.filterL) && vyrDsp::stateSettled (b.filterR);
        if (flat)
        {
            for (auto& b : bands)
            {
                b.filterL.reset();
                b.filterR.reset();
            }
            return;
        }

        for (int i = 0; i < numSamples; ++i)
        {
            float l = left[i];
            for (auto& b : bands)
                l = b.filterL.process (l);
            left[i] = l;
        }
        if (right != nullptr)
        {
            for (int i = 0; i < numSamples; ++i)
            {
                float r = right[i];
                for (auto& b : bands)
                    r = b.filterR.process (r);
                right[i] = r;
            }
        }
        return;
    }

    for (int i = 0; i < numSamples; ++i)
    {
        for (auto& b : bands)
        {
            // A gliding band is recomputed on every step, its last step included, so it lands exactly
            // on its target.
            const bool gliding = b.gainSmooth.isSmoothing();
            const float g = b.gainSmooth.getNextValue();
            if (gliding || std::abs (g - b.designedGain) >= 0.02f)
                computeCoefficients (b, g);
        }

        float l = left[i];
        for (auto& b : bands)
            l = b.filterL.process (l);
        left[i] = l;

        if (right != nullptr)
        {
            float r = right[i];
            for (auto& b : bands)
                r = b.filterR.process (r);
            right[i] = r;
        }
    }
}
