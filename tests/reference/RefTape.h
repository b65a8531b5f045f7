// The engine as it was before its faster paths, kept as the reference the tests compare against.
#pragma once
#include "Dsp/DspCommon.h"
#include <array>

namespace vyrRef
{

// Tape colour: a short modulated delay for wow and flutter (rates follow the tape speed), a tanh
// saturation driven by the drive, saturation and bias controls, a band-limited hiss that follows the
// noise and bias controls and wobbles with the transport, and a dry/wet mix with input and output gains.


class VyrTape
{
public:
    // Settings, written before each block.
    bool enabled = false;
    float drive = 0.4f;       // 0..1
    float saturation = 0.5f;  // 0..1
    float bias = 0.55f;       // 0..1
    float hysteresis = 0.25f; // 0..1, base length of the wow and flutter delay
    float wow = 0.15f;        // wow depth 0..1
    float flutter = 0.08f;    // flutter depth 0..1
    float noise = 0.08f;      // hiss level 0..1
    float mix = 0.5f;         // wet share 0..1
    float inputGain = 0.0f;   // dB
    float outputGain = 0.0f;  // dB
    float speed = 15.0f;      // inches per second: 7.5, 15 or 30

    VyrTape();

    void prepare (double sampleRate, int blockSize);

    // In place on the first two channels; runs every block, also when switched off (then it fades its
    // effect out over 25 ms and leaves later blocks untouched).
    void process (juce::AudioBuffer<float>& buffer) noexcept;

    double getSampleRate() const noexcept { return sampleRate; }

    // Modulation rates for a tape speed, Hz.
    static double wowRateHz (float speedIps) noexcept;
    static double flutterRateHz (float speedIps) noexcept;

private:
    // Short fractional delay per channel; a read with delay d (1..capacity) returns the input d
    // samples back, linearly interpolated.
    struct ShortDelay
    {
        static constexpr int kSize = 4096;
        std::array<float, kSize> data {};
        int pos = 0;

        inline void push (float x) noexcept
        {
            pos = (pos + 1) & (kSize - 1);
            data[(size_t) pos] = x;
        }
        inline float read (float delay) const noexcept
        {
            const int di = (int) delay;
            const float fr = delay - (float) di;
            const float a = data[(size_t) ((pos - di) & (kSize - 1))];
            const float b = data[(size_t) ((pos - di - 1) & (kSize - 1))];
            return a + fr * (b - a);
        }
        void clear() noexcept { data.fill (0.0f); pos = 0; }
    };

    struct Hiss
    {
        float level = 0.0f, s1 = 0.0f, s2 = 0.0f;
    };

    ShortDelay delayLine[2];
    juce::Random rng { 8003089 };
    vyrDsp::SineOsc wowOsc, flutterOsc;
    double sampleRate = 44100.0;
    Hiss hiss[2];
    float hb0 = 1.0f, hb1 = 0.0f, hb2 = 0.0f, ha1 = 0.0f, ha2 = 0.0f;
    vyrDsp::Smoothed mixSmooth { 0.5f };
    // How far the gain stage is engaged (1 while the module is on with a wet share above 0). Lets the
    // input and output gains glide out with the wet share instead of dropping away in one sample when
    // the module goes quiet.
    vyrDsp::Smoothed engageSmooth { 1.0f };
};

} // namespace vyrRef
