#include "Dsp/Delay.h"
#include <limits>

namespace
{
    // Clamp that maps NaN to the low end.
    inline float clampSafe (float v, float lo, float hi) noexcept
    {
        return v >= lo ? (v <= hi ? v : hi) : lo;
    }
}

float vyrDelay::syncedTime (float freeTime, float bpm, int syncNoteIndex) noexcept
{
    if (syncNoteIndex < 1 || syncNoteIndex > (int) kDelayNoteMul.size())
        return freeTime;

    const float beat = 60.0f / clampSafe (bpm, 20.0f, 300.0f);
    return beat * kDelayNoteMul[(size_t) (syncNoteIndex - 1)];
}

//==============================================================================
void VyrDelay::TapRead::set (float delaySamples) noexcept
{
    // Reading at writeIndex - d: the sample d back, blended toward the one before it by the fraction.
    whole = (int) std::floor (delaySamples);
    frac = delaySamples - (float) whole;
}

inline float VyrDelay::readTap (const float* line, const TapRead& t) const noexcept
{
    // p = writeIndex - delay; i = floor(p), f = p - i; value = line[i] + f (line[i + 1] - line[i]).
    // With delay = whole + frac: for frac 0, i = writeIndex - whole and f = 0; otherwise
    // i = writeIndex - whole - 1 and f = 1 - frac. Computed in integers so the fraction keeps full
    // precision however far the write index has run.
    int i = writeIndex - t.whole;
    float f = 0.0f;
    if (t.frac > 0.0f)
    {
        --i;
        f = 1.0f - t.frac;
    }
    if (i < 0)
        i += length;
    const int j = (i + 1 == length) ? 0 : i + 1;
    const float a = line[i];
    return a + f * (line[j] - a);
}

VyrDelay::VyrDelay() = default;

void VyrDelay::recordOnly (const float* inL, const float* inR, int numSamples) noexcept
{
    float* lines[2] = { bufferL.data(), bufferR.data() };
    const float* ins[2] = { inL, inR != nullptr ? inR : inL };
    for (int ch = 0; ch < 2; ++ch)
    {
        int w = writeIndex;
        for (int done = 0; done < numSamples;)
        {
            const int run = juce::jmin (numSamples - done, length - w);
            float* dst = lines[ch] + w;
            const float* src = ins[ch] + done;
            // Branch-free so it vectorises: a NaN or infinity fails the magnitude test and records 0.
            for (int i = 0; i < run; ++i)
            {
                const float x = src[i];
                const float clamped = std::min (8.0f, std::max (-8.0f, x));
                dst[i] = std::abs (x) <= std::numeric_limits<float>::max() ? clamped : 0.0f;
            }
            done += run;
            w = w + run == length ? 0 : w + run;
        }
    }
    writeIndex = (int) (((juce::int64) writeIndex + numSamples) % length);

    // Nothing recirculates while off; on return the feedback glides in from zero, so the line
    // never steps where the recirculation starts again.
    feedbackSmooth = 0.0f;
}

void VyrDelay::prepare (double newRate, int blockSize)
{
    juce::ignoreUnused (blockSize);
    sampleRate = newRate;

    const double samples = std::ceil (4.0 * (newRate > 0.0 ? newRate : 0.0)) + 4.0;
    length = samples < 8.0 ? (samples >= 0.0 ? (int) samples : 0) : (int) juce::jmin (samples, 1.0e8);
    bufferL.assign ((size_t) length, 0.0f);
    bufferR.assign ((size_t) length, 0.0f);
    writeIndex = 0;

    // The starting taps use the same limits as every later block, so a stored time outside the range
    // never starts reading from an arbitrary place in the line.
    const float start = length >= 8 ? clampSafe (clampSafe (time, 0.01f, 4.0f) * (float) sampleRate, 1.0f, (float) (length - 4))
                                    : 1.0f;
    tapDelay[0] = tapDelay[1] = start;
    activeTap = 0;
    fadeCount = 0;
    initialised = true;
    fading = false;
    feedbackSmooth = clampSafe (feedback, 0.0f, 0.9f);
    feedbackCoef = sampleRate > 0.0 ? (float) (1.0 - std::exp (-1.0 / (0.025 * sampleRate))) : 1.0f;

    mixSmooth.reset (sampleRate > 0.0 ? sampleRate : 1.0, 0.025);
    mixSmooth.setCurrentAndTargetValue (enabled ? clampSafe (mix, 0.0f, 1.0f) : 0.0f);
    timeSmooth.reset (sampleRate > 0.0 ? sampleRate : 1.0, 0.025);
    timeSmooth.setCurrentAndTargetValue (clampSafe (time, 0.01f, 4.0f));
}

void VyrDelay::process (juce::AudioBuffer<float>& buffer) noexcept
{
    const int numSamples = buffer.getNumSamples();
    const int numChannels = buffer.getNumChannels();
    if (length < 8 || numSamples < 1 || numChannels < 1)
        return;

    float* outL = buffer.getWritePointer (0);
    float* outR = numChannels > 1 ? buffer.getWritePointer (1) : nullptr;

    // Time: one smoothed value for the whole block.
    timeSmooth.setTargetValue (clampSafe (time, 0.01f, 4.0f));
    const float t = timeSmooth.skip (numSamples);
    const float v = clampSafe (t * (float) sampleRate, 1.0f, (float) (length - 4));

    const float fb0 = clampSafe (feedback, 0.0f, 0.9f);
    mixSmooth.setTargetValue (enabled ? clampSafe (mix, 0.0f, 1.0f) : 0.0f);

    if (! initialised)
    {
        tapDelay[0] = tapDelay[1] = v;
        activeTap = 0;
        feedbackSmooth = fb0;
        initialised = true;
    }

    // Off and faded out: the output is the input. The line still records the input (no echoes
    // recirculate), so the echoes of what just played are there when the module fades back in.
    if (! enabled && ! fading && ! mixSmooth.isSmoothing() && mixSmooth.getCurrentValue() <= 0.0f)
    {
        tapDelay[activeTap] = v;
        recordOnly (outL, outR, numSamples);
        return;
    }

    if (! fading && std::abs (v - tapDelay[activeTap]) > 0.5f)
    {
        const int k = 1 - activeTap;
        tapDelay[k] = v;
        fadeFromTap = activeTap;
        fadeToTap = k;
        activeTap = k;
        fadeCount = 0;
        fadeSamples = juce::jmax (1, (int) std::round (clampSafe (xfadeMs, 2.0f, 60.0f) / 1000.0f * (float) sampleRate));
        fadeStep = 1.0f / (float) fadeSamples;
        fading = true;
    }

    TapRead taps[2];
    taps[0].set (tapDelay[0]);
    taps[1].set (tapDelay[1]);

    float* lineL = bufferL.data();
    float* lineR = bufferR.data();
    const float coef = feedbackCoef;

    for (int n = 0; n < numSamples; ++n)
    {
        const float xL = outL[n];
        const float xR = outR != nullptr ? outR[n] : xL;

        float yL, yR;
        if (fading)
        {
            const float theta = juce::MathConstants<float>::halfPi * ((float) fadeCount * fadeStep);
            const float gFrom = std::cos (theta), gTo = std::sin (theta);
            const auto& from = taps[fadeFromTap];
            const auto& to = taps[fadeToTap];
            yL = gFrom * readTap (lineL, from) + gTo * readTap (lineL, to);
            yR = gFrom * readTap (lineR, from) + gTo * readTap (lineR, to);
            if (++fadeCount >= fadeSamples)
                fading = false;
        }
        else
        {
            const auto& tap = taps[activeTap];
            yL = readTap (lineL, tap);
            yR = readTap (lineR, tap);
        }

        feedbackSmooth += (fb0 - feedbackSmooth) * coef;
        feedbackSmooth = juce::jmin (feedbackSmooth, 0.99f);

        // Stored values stay within +-8, so runaway feedback stays bounded. A non-finite input sample
        // enters the line as silence while the echoes already in the loop recirculate untouched, so a
        // NaN never lingers in a line nor leaves a gap that would come back with every repeat.
        const float fL = feedbackSmooth * yL + (std::isfinite (xL) ? xL : 0.0f);
        const float fR = feedbackSmooth * yR + (std::isfinite (xR) ? xR : 0.0f);
        lineL[writeIndex] = std::isfinite (fL) ? juce::jlimit (-8.0f, 8.0f, fL) : 0.0f;
        lineR[writeIndex] = std::isfinite (fR) ? juce::jlimit (-8.0f, 8.0f, fR) : 0.0f;

        const float m = mixSmooth.getNextValue();
        outL[n] = xL * (1.0f - m) + yL * m;
        if (outR != nullptr)
            outR[n] = xR * (1.0f - m) + yR * m;

        if (++writeIndex == length)
            writeIndex = 0;
    }
}
