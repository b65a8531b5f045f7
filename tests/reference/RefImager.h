// The engine as it was before its faster paths, kept as the reference the tests compare against.
#pragma once
#include "Dsp/DspCommon.h"
#include <atomic>

namespace vyrRef
{


// Mid/side stereo imager: scales the side by one spread gain taken from a two-handle spread range
// (optionally through a band split at a crossover), rotates the image by a direction angle and mixes
// the result with the input. Feeds two output scope rings and a per-block correlation readout.
class VyrImager
{
public:
    // Settings, written before every block.
    bool enabled = false;
    bool inputMs = false;        // input carries mid in the left and side in the right channel
    bool split = true;           // side passes the crossover bands
    float width = 1.0f;          // upper handle of the spread range, -3..3
    float spreadLo = -1.0f;      // lower handle of the spread range, -3..3
    float direction = 0.0f;      // rotation, degrees
    float mix = 1.0f;            // wet share 0..1
    float crossover = 200.0f;    // Hz, 20..2000

    void prepare (double sampleRate, int blockSize);
    void process (juce::AudioBuffer<float>& buffer) noexcept;

    // Side gain of a spread range; a range of about one unit either way snaps to the 1.65 detent.
    static float spreadGain (float width, float spreadLo) noexcept;

    static constexpr int scopeSize = 2048;

    // Read by the editor without a lock: take scopeWrite (acquire) first, then the rings.
    float scopeL[scopeSize] {}, scopeR[scopeSize] {};
    std::atomic<int> scopeWrite { 0 };
    std::atomic<float> correlation { 0.0f };

private:
    double sampleRate = 44100.0;
    // Low band of the split; the high band is the side minus the low band, so the two always sum
    // back to the side exactly (no notch or phase turn at the crossover).
    vyrDsp::Biquad lowBand;
    float designedCrossover = -1.0f;
    vyrDsp::Smoothed mixSmooth { 1.0f };
};

} // namespace vyrRef
