#pragma once

#include "TestSignals.h"

namespace vyrChainTest
{
    // Bass-heavy pink noise, stereo, roughly program-like.
    inline void fillBassHeavyPink (juce::AudioBuffer<float>& b, juce::Random& rng, float gain)
    {
        for (int ch = 0; ch < b.getNumChannels(); ++ch)
        {
            vyrTestSignals::PinkFilter pink;
            float low = 0;
            auto* d = b.getWritePointer (ch);
            for (int i = 0; i < b.getNumSamples(); ++i)
            {
                const float w = rng.nextFloat() * 2.0f - 1.0f;
                const float p = pink.next (w);
                low = 0.995f * low + 0.005f * w * 8.0f;
                d[i] = gain * (0.2f * p + 2.5f * low + 0.4f * std::sin (0.0085f * (float) i));
            }
        }
    }
}
