// The chain's DC blocker as it was before its faster path, kept as the reference the tests compare
// against.
#pragma once
#include <cmath>

namespace vyrRef
{
// y = c * y1 + (x - x1) per channel, sample by sample; the state survives between blocks.
struct VyrDcBlocker
{
    float c = 0.995f;
    float prevIn[2] { 0.0f, 0.0f };
    float prevOut[2] { 0.0f, 0.0f };

    void prepare (double sampleRate)
    {
        const float fs = (float) std::max (sampleRate, 1.0);
        c = std::exp (-16.0f * 3.14159265358979323846f / fs);
        prevIn[0] = prevIn[1] = prevOut[0] = prevOut[1] = 0.0f;
    }

    void process (float* const* channels, int numChannels, int n)
    {
        for (int ch = 0; ch < std::min (2, numChannels); ++ch)
        {
            float* d = channels[ch];
            float x1 = prevIn[ch], y1 = prevOut[ch];
            for (int i = 0; i < n; ++i)
            {
                const float x = d[i];
                const float y = c * y1 + (x - x1);
                d[i] = y;
                x1 = x;
                y1 = y;
            }
            prevIn[ch] = std::isfinite (x1) ? x1 : 0.0f;
            prevOut[ch] = std::isfinite (y1) ? y1 : 0.0f;
        }
    }
};
}
