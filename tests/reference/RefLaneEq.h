// The engine as it was before its faster paths, kept as the reference the tests compare against.
#pragma once
#include "Dsp/DspCommon.h"

namespace vyrRef
{


// The tone lane of product 15: one angle (0..1 = one full turn) steers four fixed bands, at most one of
// them away from 0 dB at a time. The turn has eight 45-degree sectors; each band owns two neighbouring
// sectors, boosting in the first and cutting in the second with a bell-shaped profile across the sector.
// Band gains glide over 18 ms; coefficients are recomputed in place while a band glides.
class VyrQuarnLaneEq
{
public:
    enum BandType { peakType = 0, lowShelfType = 1, highShelfType = 2 };

    struct BandState
    {
        vyrDsp::Biquad filterL, filterR;
        vyrDsp::Smoothed gainSmooth { 0.0f };   // dB
        float designedGain = 1000000.0f;        // dB the coefficients were last computed for
        float freq = 1000.0f;                   // Hz
        float q = 0.707f;
        int type = peakType;
        float cosW = 1.0f, sinW = 0.0f;         // of the band's centre, worked out by prepare
    };

    static constexpr int numBands = 4;
    static constexpr float kHz[numBands] = { 3500.0f, 1500.0f, 200.0f, 250.0f };
    static constexpr float kQ[numBands] = { 1.0f, 0.8f, 0.8f, 1.0f };
    static constexpr int kType[numBands] = { highShelfType, peakType, peakType, lowShelfType };

    // Setting, written before every block: lane angle in turns (wrapped into 0..1).
    float eqAng = 0.0f;

    BandState bands[numBands];

    void prepare (double sampleRate, int blockSize);
    void process (juce::AudioBuffer<float>& buffer) noexcept;

    // The gain in dB each band is steered to at an angle (turns).
    static void targetGains (float angle, float (&gainsDb)[numBands]) noexcept;

private:
    void computeCoefficients (BandState& band, float gainDb) noexcept;

    double sampleRate = 44100.0;
};

} // namespace vyrRef
