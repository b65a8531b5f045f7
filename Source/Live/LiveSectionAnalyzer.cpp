#include "Live/LiveSectionAnalyzer.h"
#include <cmath>

LiveSectionAnalyzer::LiveSectionAnalyzer() = default;

void LiveSectionAnalyzer::loadStyleTable()
{
    // The style and mood tables and the training log are loaded by the live analysis itself.
}

void LiveSectionAnalyzer::reset()
{
    hopSumSquares = 0.0;
    hopPeak = 0.0f;
    hopCount = 0;
    for (int i = 0; i < 6; ++i)
        bandEnergy[i] = bandLowpass[i] = 0.0f;
    envelope = prevEnvelope = 0.0f;
    onsetCount = 0;
    sinceOnset = 0;
    blockPosition = 0;
    ownPosition = 0;
    ownPlaying = false;
    mapCount = 0;
    lastBlockEnd = -1;
    lastFiredPosition = -1;
}

float LiveSectionAnalyzer::densityOf (const float* imprint) noexcept
{
    float largest = 0.0f;
    for (int i = 0; i < 6; ++i)
        largest = std::max (largest, imprint[i]);

    double h = 0.0;
    int k = 0;
    for (int i = 0; i < 6; ++i)
    {
        const double p = imprint[i];
        if (p > 1.0e-12)
            h -= p * std::log (p);
        if (imprint[i] >= 0.0039810717f * largest)
            ++k;
    }
    const double spread = std::clamp (h / std::log (6.0), 0.0, 1.0);
    return (float) (0.65 * spread + 0.35 * k / 6.0);
}

void LiveSectionAnalyzer::fireMapAt (long long) noexcept
{
    // The section map is stamped and replayed by the live analysis.
}
