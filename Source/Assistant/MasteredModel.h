#pragma once

// The mastered-output model: predicts, without rendering audio, what the chain makes of the loaded
// file. Each chain module is reduced to a transfer function of one sample value, evaluated in the
// saved chain order over a few hundred buckets of the file's overview. Message thread only.

#include <juce_core/juce_core.h>
#include <cstdint>
#include "Assistant/EnvCache.h"
#include "Model/MbcState.h"
#include "Model/EqState.h"

class VyrAudioProcessor;

namespace vyrMasterHypo
{
    // The parameter values the model needs, taken once per rebuild. Amounts are wet shares 0..1
    // (0 = module off); linear gains are factors.
    struct Live
    {
        bool bypass = false;
        float eqAmount = 0.0f, eqGain = 1.0f;
        float dynEqAmount = 0.0f, dynEqGain = 1.0f;
        float compAmount = 0.0f;
        float compThresholdDb = -18.0f, compRatio = 4.0f, compKneeDb = 30.0f;
        float compMakeup = 1.0f;
        float satAmount = 0.0f, satDrive = 0.4f, satOutput = 1.0f;
        std::int32_t satMode = 0;
        float denAmount = 0.0f, denInput = 1.0f, denDrive = 1.0f, denOutput = 1.0f;
        float clipAmount = 0.0f;
        float clipDriveDb = 0.0f, clipSymmetry = 0.0f;
        float clipInput = 1.0f, clipOutput = 1.0f;
        float tapeAmount = 0.0f, tapeSat = 1.0f, tapeInput = 1.0f, tapeOutput = 1.0f;
        float delayAmount = 0.0f, delayFeedback = 0.3f;
        float reverbAmount = 0.0f, reverbGain = 1.0f;
        float mbcAmount = 0.0f, mbcMakeup = 1.0f;
        vyrMbc::Band mbcBands[5] {};
        std::int32_t mbcBandCount = 4;
        float imgAmount = 0.0f, imgWidth = 1.0f;
        float limAmount = 0.0f, limInput = 1.0f, limOutput = 1.0f;
        float inputGainDb = 0.0f, outputGainDb = 0.0f;
    };

    // The calling thread's snapshot.
    Live& tls() noexcept;

    // Rebuilds the processor's prediction when its inputs changed and the last build is at least
    // 40 ms old (`nowMs` on any monotonic millisecond clock; the overload without it reads one).
    void ensureEnv (const VyrAudioProcessor& processor);
    void ensureEnv (const VyrAudioProcessor& processor, double nowMs);

    // The processor's prediction.
    const EnvCache& messageEnv (const VyrAudioProcessor& processor) noexcept;

    // The hash of every input of the prediction (64-bit FNV-1a over 32-bit words).
    std::uint64_t inputHash (const VyrAudioProcessor& processor);

    // Fills the calling thread's snapshot from the parameters.
    void refreshLive (const VyrAudioProcessor& processor);

    // Modelled mastered value of the source sample value `x` at file position `pos` (0..1).
    float sample (const VyrAudioProcessor& processor, float x, float pos, float ceilingLin, float drive, float level);

    // One module's transfer of `x`; an id that names no module returns `x`.
    float runSlot (const Live& live, const juce::String& module, float x, float ceilingLin, float drive, float level);

    // Linear magnitude of an EQ channel's whole response at a frequency (1 when not enabled), built
    // from the same band-to-section rules the EQ engine runs.
    float eqMagAt (double sampleRate, const vyrEq::Channel& channel, bool enabled, float frequencyHz);

    // Level conversions of the model: lin(dB) is 0 at -100 dB and below; dB(x) floors at -100.
    float lin (float db) noexcept;
    float dB (float x) noexcept;
}
