#pragma once

// Feed-forward, stereo-linked compressor: one peak detector for every channel, a level envelope in
// decibels, a soft-knee static curve with five characters and a dry/wet blend applied as a gain.

#include <juce_audio_basics/juce_audio_basics.h>
#include "Dsp/DspCommon.h"

class VyrCompressor
{
public:
    enum Character
    {
        digital = 0,
        studioVca = 1,
        studioFet = 2,
        vintageOpto = 3,
        vintageFet = 4
    };

    // Settings, written before each block.
    float threshold = -18.0f;   // dB
    float ratio = 4.0f;         // n:1
    float attack = 0.003f;      // seconds
    float release = 0.25f;      // seconds
    float knee = 30.0f;         // full knee width, dB
    float makeup = 0.0f;        // dB
    float mix = 1.0f;           // wet share 0..1
    float model = 1.0f;         // 0 plain curve, 1 character curve, above 1 extrapolated
    int character = digital;    // 0..4, anything else behaves like Studio VCA
    bool enabled = false;

    // Detector state and meter.
    float envelopeDb = -80.0f;  // smoothed peak level, dB
    float grDb = 0.0f;          // mean gain reduction of the last block, dB (positive = reduction)
    double sampleRate = 44100.0;
    vyrDsp::LinearSmoothed mixSmooth { 1.0f };

    void prepare (double newSampleRate, int maxBlockSize);

    // Processes every channel of the block in place with one shared gain.
    void process (juce::AudioBuffer<float>& buffer);

    // Static curve: gain reduction in dB for a detector level in dB. Uses the settings only, so the
    // editor can draw the transfer curve with the same function.
    float computeGr (float levelDb) const noexcept;

private:
    float wetTarget() const noexcept { return enabled ? juce::jlimit (0.0f, 1.0f, mix) : 0.0f; }
};
