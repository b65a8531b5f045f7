// The engine as it was before its faster paths, kept as the reference the tests compare against.
#pragma once
#include "Dsp/DspCommon.h"
#include <atomic>

namespace vyrRef
{


// Bass-mono monitor: the side signal is high-passed at "frequency" (12 or 24 dB per octave) and blended
// with the unfiltered side by "width", so at full amount everything below the frequency is mono while the
// image above it stays as it was. Four scope rings (input and output, left and right, low-passed at
// 500 Hz) feed the editor's goniometers; they share one write index.
class VyrTovu
{
public:
    // Settings, written before every block.
    bool enabled = false;
    float frequency = 120.0f;   // mono-below frequency, Hz (20..500)
    float width = 0.0f;         // amount 0..1 of high-passed side in the output side
    int slope = 24;             // 12 or 24 dB per octave

    void prepare (double sampleRate, int blockSize);
    void process (juce::AudioBuffer<float>& buffer) noexcept;

    // Side filters, for measurements and displays.
    const vyrDsp::Biquad& sideStage (int index) const noexcept { return index == 0 ? sideHighPass1 : sideHighPass2; }

    static constexpr int scopeSize = 1024;

    // Read by the editor without a lock: take scopeWrite (acquire) first, then the rings.
    float preL[scopeSize] {}, preR[scopeSize] {}, postL[scopeSize] {}, postR[scopeSize] {};
    std::atomic<int> scopeWrite { 0 };

private:
    void designSideFilters (float hz, int dbPerOctave) noexcept;

    double sampleRate = 44100.0;
    vyrDsp::Biquad sideHighPass1, sideHighPass2;
    vyrDsp::Biquad preScopeL, preScopeR, postScopeL, postScopeR;
    float designedFrequency = -1.0f;
    int designedSlope = -1;
    // The amount glides over 25 ms, so switching the module or moving the width never steps the
    // low-frequency side in or out.
    vyrDsp::Smoothed amountSmooth { 0.0f };
};

} // namespace vyrRef
