#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include "Model/EqState.h"
#include "Model/MbcState.h"

// Parameters the per-block mapping reads, looked up once so a block builds no strings and
// searches nothing. A parameter the tree lacks reads as the given fallback.
struct VyrParamRef
{
    std::atomic<float>* value = nullptr;
    float fallback = 0.0f;

    float get() const noexcept { return value != nullptr ? value->load (std::memory_order_relaxed) : fallback; }
    bool on() const noexcept { return get() >= 0.5f; }
    bool present() const noexcept { return value != nullptr; }
    int index (int count) const noexcept;   // choice index, rounded halves to even, limited to 0..count-1
};

struct VyrMappingParams
{
    void build (juce::AudioProcessorValueTreeState& tree);
    // The limiter's oversampling factor (1, 2, 4 or 8) the choice asks for.
    int limiterOversampling() const noexcept;

    VyrParamRef bypass, mono, linkLR, inputGainL, inputGainR, outputGainL, outputGainR, masterTrim, liveAnalysis;
    VyrParamRef theme, masterMedium, masterStyle, masterLufs;
    VyrParamRef quarnSpaceAng, quarnSpaceRad, quarnReverbRad, quarnEqAng;

    VyrParamRef cmpEnabled, cmpThreshold, cmpRatio, cmpAttack, cmpRelease, cmpKnee, cmpMakeup, cmpMix, cmpModel, cmpCharacter;

    VyrParamRef limEnabled, limInputGain, limCeiling, limRelease, limReleaseMode, limLookahead, limStereoLink, limMix,
                limOutputGain, limTruePeak, limDcBlocker, limMsMode, limOversampling, limStyle, limStyleXfade, limStylePos,
                limDither, limNoiseShape, limReleaseShape, limScale;

    VyrParamRef satEnabled, satDrive, satGrit, satMix, satTone, satOutput, satMode;

    VyrParamRef denEnabled, denInputGain, denDensity, denSaturation, denPentode, denTriode, denOutput, denMix, denAir,
                denAirAmount, denSatIn, denAltTube, denCalibration;

    VyrParamRef clpEnabled, clpInputGain, clpDrive, clpSymmetry, clpMix, clpOutputGain, clpFilterFreq, clpFilterType,
                clpTone, clpShelfFreq, clpShelfGain, clpLpFreq;

    VyrParamRef tpeEnabled, tpeSpeed, tpeInputGain, tpeDrive, tpeSaturation, tpeBias, tpeHysteresis, tpeWow, tpeFlutter,
                tpeNoise, tpeMix, tpeOutputGain;

    VyrParamRef delEnabled, delTime, delFeedback, delMix, delXfadeMs, delBpm, delSyncNote;

    VyrParamRef revEnabled, revDecay, revSize, revDiffuse, revColor, revLoFactor, revHiFactor, revEarly, revLate, revMix,
                revPredelay, revLpf, revRadicalness, revLowCut, revShelfFreq, revShelfGain, revFreeze, revMonoCompatible, revShape;

    VyrParamRef imgEnabled, imgWidth, imgSpreadLo, imgDirection, imgCrossover, imgMix, imgInputMs, imgSplit;

    VyrParamRef tovEnabled, tovFrequency, tovWidth, tovSlope;

    vyrEq::ParamCache eq, dynamicEq;
    vyrMbc::ParamCache mbc;
};
