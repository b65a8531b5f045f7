#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// The seventeen factory mastering presets. Each record holds the settings of nine modules; every
// field is named after the parameter whose meaning, unit and range it carries.
namespace vyrFactory
{
    struct Preset
    {
        // Module switches
        bool eq_enabled = false, compressor_enabled = false, limiter_enabled = false, tape_enabled = false;
        bool saturation_enabled = false, multiBandComp_enabled = false, analogueDensity_enabled = false;
        bool dynamicEq_enabled = false;

        // Parametric EQ (eq_bandCount is a band count 3, 4, 5, 6 or 8, not a choice index)
        int eq_bandCount = 4;
        float eq_lowFreq = 0, eq_lowGain = 0, eq_highFreq = 0, eq_highGain = 0;
        bool eq_lowCut = false;
        float eq_m0Freq = 0, eq_m0Gain = 0, eq_m0Q = 0, eq_m1Freq = 0, eq_m1Gain = 0, eq_m1Q = 0;

        // Compressor
        float compressor_threshold = 0, compressor_ratio = 0, compressor_attack = 0, compressor_release = 0;
        float compressor_knee = 0, compressor_makeup = 0;

        // Limiter (style and oversampling are choice indexes)
        float limiter_ceiling = 0, limiter_release = 0;
        int limiter_style = 0, limiter_oversampling = 0;
        bool limiter_truePeak = false;

        // Tape machine (tape_speed is a choice index: 7.5, 15, 30 ips)
        float tape_drive = 0, tape_bias = 0, tape_saturation = 0, tape_mix = 0, tape_wow = 0, tape_flutter = 0, tape_noise = 0;
        int tape_speed = 1;

        // Saturation (saturation_mode is a choice index)
        int saturation_mode = 0;
        float saturation_drive = 0, saturation_mix = 0, saturation_tone = 0;

        // Analogue density (mix in percent; calibration is a choice index)
        float analogueDensity_density = 0, analogueDensity_saturation = 0, analogueDensity_pentode = 0;
        float analogueDensity_triode = 0, analogueDensity_mix = 0, analogueDensity_airAmount = 0;
        float analogueDensity_output = 0, analogueDensity_inputGain = 0;
        bool analogueDensity_air = false, analogueDensity_altTube = false;
        int analogueDensity_calibration = 1;

        // Multiband compressor (multiBandComp_bandCount is a band count 1..5, not a choice index)
        int multiBandComp_bandCount = 3;
        float multiBandComp_x0 = 0, multiBandComp_x1 = 0, multiBandComp_x2 = 0, multiBandComp_x3 = 0;
        float multiBandComp_globalMakeup = 0;
        float multiBandComp_b0Thresh = 0, multiBandComp_b0Ratio = 0, multiBandComp_b0Atk = 0, multiBandComp_b0Rel = 0, multiBandComp_b0Makeup = 0;
        float multiBandComp_b1Thresh = 0, multiBandComp_b1Ratio = 0, multiBandComp_b1Atk = 0, multiBandComp_b1Rel = 0, multiBandComp_b1Makeup = 0;
        float multiBandComp_b2Thresh = 0, multiBandComp_b2Ratio = 0, multiBandComp_b2Atk = 0, multiBandComp_b2Rel = 0, multiBandComp_b2Makeup = 0;
        float multiBandComp_b3Thresh = 0, multiBandComp_b3Ratio = 0, multiBandComp_b3Atk = 0, multiBandComp_b3Rel = 0, multiBandComp_b3Makeup = 0;

        // Dynamic EQ (mix in percent)
        float dynamicEq_lowFreq = 0, dynamicEq_lowThresh = 0, dynamicEq_lowRatio = 0;
        float dynamicEq_m0Freq = 0, dynamicEq_m0Q = 0, dynamicEq_m0Thresh = 0, dynamicEq_m0Ratio = 0;
        float dynamicEq_m1Freq = 0, dynamicEq_m1Q = 0, dynamicEq_m1Thresh = 0, dynamicEq_m1Ratio = 0;
        float dynamicEq_highFreq = 0, dynamicEq_highThresh = 0, dynamicEq_highRatio = 0;
        float dynamicEq_mix = 0;

        // What the preset stands for: "masterMedium", "masterStyle" and "masterLufs" choice indexes
        // and its target loudness (LUFS)
        int medium = 3, style = 5, lufs = 2;
        float targetLufs = -14.0f;

        // Stereo imager: stereoImager_width is the spread; the low spread gets its negative
        bool stereoImager_enabled = false;
        float stereoImager_width = 1.0f;
    };

    constexpr int kNumPresets = 17;

    extern const char* const kNames[kNumPresets];
    extern const char* const kInfo[kNumPresets];
    extern const float kTargetLufs[kNumPresets];

    // The record of preset max(0, min(index, 16)). The table is constant data in static storage, so
    // any thread may read it at any time, the audio thread included.
    const Preset& get (int index);

    // Message thread. Index 0 puts every parameter on its default; any other index writes the
    // module settings of get (index).
    void applyToApvts (juce::AudioProcessorValueTreeState& tree, int index);

    // Program writes inside a change gesture, skipped when the parameter already holds the value.
    void setF (juce::AudioProcessorValueTreeState& tree, const juce::String& id, float value);
    void setI (juce::AudioProcessorValueTreeState& tree, const juce::String& id, int index);
}
