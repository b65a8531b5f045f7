// The engine as it was before its faster paths, kept as the reference the tests compare against.
#pragma once
#include "Dsp/DspCommon.h"

namespace vyrRef
{


// Parallel soft clipper with a filtered path: input gain, a pre-clip low- or high-pass, a DC-balanced
// tanh clipper with drive and symmetry, a high-pass "tone", a high shelf and a final low-pass; the wet
// path, after its output gain, is mixed with the untouched input. Filter settings glide over 40 ms and
// the filters are redesigned only when a gliding setting has moved past a small threshold.
class VyrClipper
{
public:
    enum FilterType { lowPassType = 0, highPassType = 1 };

    // Settings, written before every block.
    bool enabled = false;
    float drive = 0.0f;              // dB, 0..50 (below 0 acts as 0)
    float mix = 0.2f;                // wet share 0..1
    float symmetry = 0.0f;           // bias, percent -100..100
    float inputGain = 0.0f;          // dB
    float outputGain = 0.0f;         // dB, wet path only
    int clipFilterType = lowPassType;
    float clipFilterFreq = 4400.0f;  // Hz
    float tone = 170.0f;             // post-clip high-pass, Hz
    float highShelfFreq = 980.0f;    // Hz
    float highShelfGain = 0.0f;      // dB
    float lpFilterFreq = 6600.0f;    // Hz

    void prepare (double sampleRate, int blockSize);
    void process (juce::AudioBuffer<float>& buffer) noexcept;

    // The filters of one channel (0 left, 1 right), for measurements and displays.
    struct ChannelFilters { vyrDsp::Biquad preClip, tone, shelf, lowPass; };
    const ChannelFilters& filtersOf (int channel) const noexcept { return filters[channel & 1]; }

    static constexpr float filterQ = 0.707f;

private:
    void redesignIfMoved() noexcept;

    double sampleRate = 44100.0;
    ChannelFilters filters[2];

    vyrDsp::Smoothed clipFreqSmooth { 4400.0f };
    vyrDsp::Smoothed toneSmooth { 170.0f };
    vyrDsp::Smoothed shelfFreqSmooth { 980.0f };
    vyrDsp::Smoothed shelfGainSmooth { 0.0f };
    vyrDsp::Smoothed lpFreqSmooth { 6600.0f };
    vyrDsp::Smoothed mixSmooth { 0.2f };
    vyrDsp::Smoothed driveSmooth { 0.0f };
    vyrDsp::Smoothed inputGainSmooth { 1.0f };
    vyrDsp::Smoothed outputGainSmooth { 1.0f };

    // The values the filters were last designed for.
    struct DesignKey
    {
        float clipFreq = -1.0f, tone = -1.0f, shelfFreq = -1.0f, shelfGain = 1.0e9f, lpFreq = -1.0f;
        int type = -1;
    } key;
};

} // namespace vyrRef
