#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <atomic>
#include "Dsp/Compressor.h"
#include "Dsp/LimiterEngine.h"
#include "Dsp/Saturation.h"
#include "Dsp/AnalogueDensity.h"
#include "Dsp/Clipper.h"
#include "Dsp/Tape.h"
#include "Dsp/Delay.h"
#include "Dsp/ReverbEngine.h"
#include "Dsp/EqEngine.h"
#include "Dsp/MbcEngine.h"
#include "Dsp/Imager.h"
#include "Dsp/Tovu.h"
#include "Dsp/LaneEq.h"

// Module ids in the default chain order; the saved chain order holds indexes into this table.
namespace vyrChain
{
    constexpr int kNumModules = 13;
    extern const char* const kFxOrder[kNumModules];

    enum Module : int
    {
        compressorModule = 0, saturationModule, analogueDensityModule, clipModule, tapeModule, delayModule,
        reverbModule, eqModule, dynamicEqModule, multiBandCompModule, tovuModule, stereoImagerModule, limiterModule
    };

    // Index into kFxOrder of a module id, or -1 when the id names no module.
    int moduleIndexOf (const juce::String& moduleId) noexcept;
}

// The serial mastering chain: every engine by value, run in a given order, then mono sum,
// output gains and DC blocker.
class VyrSignalChain
{
public:
    VyrCompressor compressor;
    VyrLimiter limiter;
    VyrSaturation saturation;
    VyrAnalogueDensity analogueDensity;
    VyrClipper clipper;
    VyrTape tape;
    VyrDelay delay;
    VyrReverbEngine reverb;
    VyrParametricEQ parametricEq;
    VyrDynamicEQ dynamicEq;
    VyrMultibandComp multiBandComp;
    VyrImager imager;
    VyrTovu tovu;
    VyrQuarnLaneEq laneEq;

    int product = 0;
    float inputGainL = 1.0f;
    float inputGainR = 1.0f;
    float outputGainL = 1.0f;
    float outputGainR = 1.0f;
    bool bypass = false;
    bool mono = false;
    bool linkLR = true;
    // The compressor's latest reduction in dB: written by the audio thread, read by the editor.
    std::atomic<float> compressorGr { 0.0f };
    float dcCoeff = 0.995f;
    float dcPrevIn[2] { 0.0f, 0.0f };
    float dcPrevOut[2] { 0.0f, 0.0f };

    VyrSignalChain() = default;

    void prepare (double sampleRate, int blockSize);
    void process (juce::AudioBuffer<float>& buffer, const int* order);
    void runModule (const juce::String& moduleId, juce::AudioBuffer<float>& buffer);

    // Samples of delay the chain adds (the limiter's lookahead and oversampling filters).
    int getLatencySamples() const noexcept;
    // What getLatencySamples() reports once these limiter settings are in place at this rate. Any thread.
    int latencyForSettings (double sampleRate, int oversampling, bool truePeak, float lookaheadMs) const noexcept;
    bool runsLimiter() const noexcept { return productRuns (vyrChain::limiterModule); }

    // After process(): the factor by which the block's output is the limiter's output (the limiter ran
    // last, measured its block, and only the output gain, equal on both channels, came after it), or -1
    // when the output is something else. Meters of the output can then scale the limiter's readings.
    float limiterOutputScale() const noexcept { return outputScaleOfLimiter; }

private:
    float outputScaleOfLimiter = -1.0f;

    void runModuleIndex (int index, juce::AudioBuffer<float>& buffer);
    void runDcBlocker (juce::AudioBuffer<float>& buffer) noexcept;
    bool productRuns (int index) const noexcept;
};
