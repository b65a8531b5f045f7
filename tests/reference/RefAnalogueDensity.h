// The engine as it was before its faster paths, kept as the reference the tests compare against.
#pragma once
#include "Dsp/DspCommon.h"

namespace vyrRef
{


// A valve signal path as a chain of memoryless stages: input transformer, optional parallel valve
// saturation, biased pentode, triode and output transformer, then an output level and a dry/wet mix.
// "density" drives both valve stages harder when positive and softens them when negative.
class VyrAnalogueDensity
{
public:
    // Settings, written before every block.
    bool enabled = false;
    bool satIn = true;         // parallel saturation stage in circuit
    bool altTube = false;      // saturation stage uses the exponential curve
    bool air = false;          // carried with the settings, not used by the valve path
    float density = 0.0f;      // percent -100..100
    float saturation = 0.0f;   // 0..10
    float pentode = 0.0f;      // 0..10
    float triode = 0.0f;       // 0..10
    float mix = 0.2f;          // wet share 0..1
    float inputGain = 0.0f;    // dB
    float output = 5.0f;       // 0..10, 5 = unity
    float airAmount = 0.0f;    // carried, not used
    int calibration = 1;       // 0 Dark, 1 Normal, 2 Bright; carried, not used

    void prepare (double sampleRate, int blockSize);
    void process (juce::AudioBuffer<float>& buffer) noexcept;

    // Input and output transformer curve.
    static float transformer (float v) noexcept { return v + 0.018f * std::tanh (7.0f * v) - 0.004f * v; }

    static constexpr int maxChannels = 8;

private:
    double sampleRate = 44100.0;
    vyrDsp::Smoothed mixSmooth { 0.2f };
    vyrDsp::Smoothed densitySmooth { 0.0f };
    vyrDsp::Smoothed saturationSmooth { 0.0f };
    vyrDsp::Smoothed pentodeSmooth { 0.0f };
    vyrDsp::Smoothed triodeSmooth { 0.0f };
    vyrDsp::Smoothed inputGainSmooth { 1.0f };
};

} // namespace vyrRef
