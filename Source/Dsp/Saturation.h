#pragma once

#include "Dsp/DspCommon.h"

// Memoryless waveshaper with five curves, a level-dependent noise ("grit"), a dry/wet mix and an output
// gain. A change of curve is crossfaded over 32 ms.
class VyrSaturation
{
public:
    enum Mode { tube = 0, tape = 1, trans = 2, opto = 3, clean = 4 };

    // Settings, written before every block.
    bool enabled = false;
    int mode = tube;          // 0 Tube, 1 Tape, 2 Trans, 3 Opto, 4 Clean; anything else shapes like Tube
    float drive = 0.4f;       // 0..1
    float grit = 0.0f;        // 0..1
    float mix = 0.5f;         // wet share 0..1
    float output = 1.0f;      // output factor 0..2, on dry and wet
    float tone = 12000.0f;    // Hz; carried with the settings, the shaper does not use it

    void prepare (double sampleRate, int blockSize);
    void process (juce::AudioBuffer<float>& buffer) noexcept;

    // One curve for a sample already limited to +-1.5; D = 1 + 1.5 x drive.
    static float shape (int mode, float x, float D) noexcept;

    static constexpr int maxChannels = 8;

private:
    double sampleRate = 44100.0;
    vyrDsp::Smoothed mixSmooth { 0.5f };
    vyrDsp::Smoothed driveSmooth { 0.4f };
    vyrDsp::Smoothed gritSmooth { 0.0f };
    vyrDsp::Smoothed modeFade { 1.0f };
    // The output factor glides with the wet share, so that switching the module off (or the wet share
    // reaching zero, after which the block is skipped) never steps the level.
    vyrDsp::Smoothed outputSmooth { 1.0f };
    int fadeFromMode = tube;
    int fadeToMode = tube;
    // The grit's noise; each instance seeds its own on construction, so the audio thread never
    // meets a first use of per-thread storage.
    juce::Random grain;
};
