// The engine as it was before its faster paths, kept as the reference the tests compare against.
#include "reference/RefTovu.h"

namespace vyrRef
{

namespace
{
    constexpr float butterworthQ = 1.0f / 1.4142271f;  // damping 1.4142271
    constexpr float criticalQ = 0.5f;                  // damping 2

    float amountFor (bool enabled, float width) noexcept
    {
        return enabled && std::isfinite (width) ? juce::jlimit (0.0f, 1.0f, width) : 0.0f;
    }

    // Scope samples are for display only; a non-finite input shows as silence instead of poisoning them.
    inline float displayable (float v) noexcept { return std::isfinite (v) ? v : 0.0f; }
}

void VyrTovu::prepare (double newSampleRate, int)
{
    sampleRate = newSampleRate > 0.0 ? newSampleRate : 44100.0;

    for (auto* f : { &sideHighPass1, &sideHighPass2, &preScopeL, &preScopeR, &postScopeL, &postScopeR })
        f->reset();

    const auto scopeLp = vyrDsp::design::lowPass (sampleRate, 500.0f, butterworthQ);
    for (auto* f : { &preScopeL, &preScopeR, &postScopeL, &postScopeR })
        f->c = scopeLp;

    designedFrequency = -1.0f;
    designedSlope = -1;

    amountSmooth.reset (vyrDsp::rampSamples (sampleRate, 0.025));
    amountSmooth.setCurrentAndTargetValue (amountFor (enabled, width));
}

void VyrTovu::designSideFilters (float hz, int dbPerOctave) noexcept
{
    if (dbPerOctave == 12)
    {
        sideHighPass1.c = vyrDsp::design::highPass (sampleRate, hz, butterworthQ);
        sideHighPass2.c = vyrDsp::BiquadCoeffs {};  // unity: the second stage passes the signal unchanged
    }
    else
    {
        const auto hp = vyrDsp::design::highPass (sampleRate, hz, criticalQ);
        sideHighPass1.c = hp;
        sideHighPass2.c = hp;
    }
    designedFrequency = hz;
    designedSlope = dbPerOctave;
}

void VyrTovu::process (juce::AudioBuffer<float>& buffer) noexcept
{
    const int numSamples = buffer.getNumSamples();
    const int numChannels = buffer.getNumChannels();
    if (numSamples < 1 || numChannels < 1)
        return;

    for (auto* f : { &sideHighPass1, &sideHighPass2, &preScopeL, &preScopeR, &postScopeL, &postScopeR })
        f->sanitise();

    int w = scopeWrite.load (std::memory_order_acquire) & (scopeSize - 1);

    if (numChannels == 1)
    {
        // A mono signal has no side: the audio stays as it is, the scopes still fill.
        const float* in = buffer.getReadPointer (0);
        for (int i = 0; i < numSamples; ++i)
        {
            const float p = displayable (preScopeL.process (in[i]));
            const float q = displayable (postScopeL.process (in[i]));
            preL[w] = preR[w] = p;
            postL[w] = postR[w] = q;
            w = (w + 1) & (scopeSize - 1);
        }
        scopeWrite.store (w, std::memory_order_release);
        return;
    }

    const float f = juce::jlimit (20.0f, 500.0f, std::isfinite (frequency) ? frequency : 120.0f);
    const int s = slope == 12 ? 12 : 24;
    if (std::abs (f - designedFrequency) > 0.25f || s != designedSlope)
        designSideFilters (vyrDsp::clampFreq (f, sampleRate), s);

    amountSmooth.setTargetValue (amountFor (enabled, width));

    float* left = buffer.getWritePointer (0);
    float* right = buffer.getWritePointer (1);

    for (int i = 0; i < numSamples; ++i)
    {
        const float a = amountSmooth.getNextValue();
        const float L = left[i], R = right[i];
        const float mid = (L + R) * 0.5f;
        const float side = (L - R) * 0.5f;
        const float hp = sideHighPass2.process (sideHighPass1.process (side));
        const float newSide = a * hp + (1.0f - a) * side;
        const float outL = mid + newSide;
        const float outR = mid - newSide;
        left[i] = outL;
        right[i] = outR;

        preL[w] = displayable (preScopeL.process (L));
        preR[w] = displayable (preScopeR.process (R));
        postL[w] = displayable (postScopeL.process (outL));
        postR[w] = displayable (postScopeR.process (outR));
        w = (w + 1) & (scopeSize - 1);
    }

    scopeWrite.store (w, std::memory_order_release);
}

} // namespace vyrRef
