#include "Model/FactoryPresets.h"

namespace vyrFactory
{
const char* const kNames[kNumPresets] = {
    "Init Preset", "Streaming Pop", "Club Banger", "Cinematic Score", "Podcast Voice", "Radio Single",
    "Vinyl Warm", "Lo-Fi Chill", "Rock Wall", "Classical Dynamic", "EDM Festival", "Hip-Hop Modern",
    "Acoustic Shine", "Trap Heavy", "Jazz Club Live", "Broadcast Safe", "Tube Density Glue"
};

const char* const kInfo[kNumPresets] = {
    "Neutral default \xe2\x80\x94 all modules at unity, nothing engaged. The starting point.",
    "Balanced, streaming-ready pop master. Gentle glue, airy top, dynamic de-ess + low-mid control, true-peak ceiling at -1 dBFS.",
    "Loud, weighty low end and maximum impact for sound systems. Multi-band glue + hard ceiling.",
    "Wide dynamic range, dialogue-level loudness, gentle limiting. True peak \xe2\x89\xa4 -2 dBFS.",
    "Speech-optimized. Present midrange, consistent level, de-essed highs. True peak \xe2\x89\xa4 -1 dBFS.",
    "Loud and competitive. Dense, bright, tight low end for FM broadcast.",
    "Tape warmth, rolled extremes, analog character. Musical and forgiving.",
    "Soft, tape-saturated, slightly reduced bandwidth. Bedtime-room vibe.",
    "Dense, punchy rock. Mid-forward, tight bass, aggressive but controlled.",
    "Preserves full dynamics. Minimal intervention, only safety limiting.",
    "Hypersaturated drops, piercing highs, sub authority. Built for big rigs.",
    "Punchy 808s, vocal presence, wide stereo image. Modern streaming loud.",
    "Natural, open, detailed. Light glue and air for acoustic instruments.",
    "Sub-deep 808s, crisp hats, wide stereo. Heavy but controlled low end.",
    "Warm room, natural dynamics, intimate. Light tape and gentle glue.",
    "YouTube/broadcast-safe. Consistent level, true peak \xe2\x89\xa4 -1 dBFS, no surprises.",
    "Tube density front-end. Pentode + triode harmonic glue with air, gentle bus comp, transparent ceiling."
};

const float kTargetLufs[kNumPresets] = {
    -14.0f, -14.0f, -8.0f, -23.0f, -16.0f, -9.0f, -14.0f, -14.0f, -11.0f, -23.0f, -8.0f, -9.0f, -14.0f, -9.0f, -14.0f, -18.0f, -14.0f
};

namespace
{
// The presets as columns: entry i of every column belongs to preset i.
constexpr int c_medium[kNumPresets] = { 3, 6, 7, 0, 1, 2, 3, 6, 4, 0, 7, 6, 3, 7, 3, 5, 3 };
constexpr int c_style[kNumPresets] = { 5, 5, 0, 2, 6, 4, 1, 6, 4, 2, 0, 4, 5, 4, 1, 5, 5 };
constexpr int c_lufs[kNumPresets] = { 2, 2, 4, 0, 1, 4, 2, 2, 3, 0, 4, 4, 2, 4, 2, 1, 2 };
constexpr float c_targetLufs[kNumPresets] = {
    -14.0f, -14.0f, -8.0f, -23.0f, -16.0f, -9.0f, -14.0f, -14.0f, -11.0f, -23.0f, -8.0f, -9.0f, -14.0f, -9.0f, -14.0f, -18.0f, -14.0f
};
constexpr bool c_eq_enabled[kNumPresets] = { false, true, true, true, true, true, true, true, true, true, true, true, true, true, true, true, true };
constexpr bool c_compressor_enabled[kNumPresets] = { false, true, true, true, true, true, true, true, true, false, false, true, true, false, true, true, true };
constexpr bool c_limiter_enabled[kNumPresets] = { false, true, true, true, true, true, true, true, true, true, true, true, true, true, true, true, true };
constexpr bool c_tape_enabled[kNumPresets] = { false, true, false, false, false, false, true, true, false, false, false, false, true, false, true, false, false };
constexpr bool c_saturation_enabled[kNumPresets] = { false, false, true, false, false, false, true, false, true, false, true, false, false, true, false, false, false };
constexpr bool c_multiBandComp_enabled[kNumPresets] = { false, true, true, false, false, true, false, false, true, false, true, true, false, true, false, false, false };
constexpr bool c_analogueDensity_enabled[kNumPresets] = { false, false, false, false, false, false, true, false, true, false, false, false, false, false, false, false, true };
constexpr bool c_dynamicEq_enabled[kNumPresets] = { false, true, false, false, false, false, false, false, false, false, false, false, false, false, false, false, false };
constexpr bool c_stereoImager_enabled[kNumPresets] = { false, false, false, true, false, false, false, false, false, true, false, true, false, true, true, false, false };
constexpr float c_eq_lowFreq[kNumPresets] = { 80.0f, 55.0f, 45.0f, 30.0f, 80.0f, 50.0f, 40.0f, 60.0f, 70.0f, 30.0f, 40.0f, 50.0f, 45.0f, 38.0f, 50.0f, 60.0f, 50.0f };
constexpr float c_eq_lowGain[kNumPresets] = { 0.0f, 1.2f, 2.5f, 0.8f, -2.0f, 1.0f, -1.0f, 1.0f, 1.5f, 0.5f, 3.0f, 2.0f, 0.8f, 3.5f, 1.0f, 0.5f, 0.8f };
constexpr float c_eq_highFreq[kNumPresets] = { 12000.0f, 12000.0f, 11000.0f, 14000.0f, 10000.0f, 14000.0f, 16000.0f, 12000.0f, 12000.0f, 16000.0f, 13000.0f, 13000.0f, 14000.0f, 15000.0f, 13000.0f, 12000.0f, 14000.0f };
constexpr float c_eq_highGain[kNumPresets] = { 0.0f, 1.5f, 2.0f, 1.0f, 1.5f, 2.5f, -1.5f, -2.0f, 1.5f, 0.5f, 2.5f, 2.0f, 1.2f, 2.0f, 0.8f, 1.0f, 1.0f };
constexpr float c_eq_m0Freq[kNumPresets] = { 1000.0f, 3000.0f, 2500.0f, 1200.0f, 250.0f, 3000.0f, 2000.0f, 1000.0f, 1500.0f, 2000.0f, 2200.0f, 3000.0f, 2500.0f, 2800.0f, 1500.0f, 2000.0f, 2500.0f };
constexpr float c_eq_m0Gain[kNumPresets] = { 0.0f, -1.2f, -1.5f, -0.8f, -2.0f, 2.0f, 0.8f, -1.0f, 1.5f, 0.5f, -2.0f, 1.5f, -0.8f, 1.0f, 0.5f, 0.8f, -0.6f };
constexpr float c_eq_m0Q[kNumPresets] = { 1.0f, 1.1f, 1.2f, 0.7f, 1.0f, 1.0f, 0.8f, 0.7f, 1.0f, 0.6f, 1.2f, 1.0f, 0.9f, 1.0f, 0.7f, 0.8f, 0.9f };
constexpr float c_eq_m1Freq[kNumPresets] = { 5000.0f, 9000.0f, 8000.0f, 6000.0f, 5000.0f, 10000.0f, 7000.0f, 5000.0f, 6000.0f, 8000.0f, 9000.0f, 10000.0f, 10000.0f, 11000.0f, 6500.0f, 8000.0f, 10000.0f };
constexpr float c_eq_m1Gain[kNumPresets] = { 0.0f, 1.8f, 2.5f, 1.2f, 2.5f, 3.0f, 1.2f, 0.8f, 2.0f, 0.8f, 3.0f, 2.5f, 1.5f, 3.0f, 1.0f, 1.5f, 1.0f };
constexpr float c_eq_m1Q[kNumPresets] = { 1.0f, 0.9f, 0.8f, 0.7f, 1.2f, 0.7f, 0.7f, 0.8f, 0.9f, 0.6f, 0.7f, 0.8f, 0.7f, 0.7f, 0.7f, 0.8f, 0.7f };
constexpr float c_compressor_threshold[kNumPresets] = { -24.0f, -18.0f, -14.0f, -24.0f, -20.0f, -16.0f, -20.0f, -22.0f, -16.0f, -24.0f, -24.0f, -18.0f, -22.0f, -24.0f, -24.0f, -20.0f, -20.0f };
constexpr float c_compressor_ratio[kNumPresets] = { 4.0f, 2.5f, 4.0f, 1.8f, 4.0f, 4.0f, 2.0f, 2.2f, 4.0f, 4.0f, 4.0f, 3.5f, 2.0f, 4.0f, 1.8f, 3.0f, 2.2f };
constexpr float c_compressor_attack[kNumPresets] = { 0.003f, 0.008f, 0.004f, 0.012f, 0.003f, 0.003f, 0.01f, 0.01f, 0.004f, 0.003f, 0.003f, 0.005f, 0.01f, 0.003f, 0.012f, 0.006f, 0.01f };
constexpr float c_compressor_release[kNumPresets] = { 0.25f, 0.18f, 0.12f, 0.3f, 0.2f, 0.1f, 0.25f, 0.22f, 0.14f, 0.25f, 0.25f, 0.12f, 0.22f, 0.25f, 0.28f, 0.16f, 0.2f };
constexpr float c_compressor_knee[kNumPresets] = { 30.0f, 24.0f, 12.0f, 30.0f, 18.0f, 10.0f, 28.0f, 26.0f, 14.0f, 30.0f, 30.0f, 16.0f, 28.0f, 30.0f, 30.0f, 20.0f, 24.0f };
constexpr float c_compressor_makeup[kNumPresets] = { 0.0f, 1.5f, 3.0f, 1.0f, 4.0f, 3.0f, 1.5f, 1.5f, 2.5f, 0.0f, 0.0f, 2.0f, 1.0f, 0.0f, 1.0f, 2.0f, 1.5f };
constexpr float c_limiter_ceiling[kNumPresets] = { -1.0f, -1.0f, -0.5f, -2.0f, -1.0f, -0.5f, -1.0f, -1.0f, -1.0f, -2.0f, -0.5f, -1.0f, -1.0f, -0.5f, -1.0f, -1.0f, -1.0f };
constexpr float c_limiter_release[kNumPresets] = { 0.05f, 0.05f, 0.04f, 0.12f, 0.06f, 0.03f, 0.08f, 0.07f, 0.04f, 0.15f, 0.035f, 0.04f, 0.07f, 0.04f, 0.1f, 0.06f, 0.06f };
constexpr int c_limiter_style[kNumPresets] = { 0, 0, 1, 0, 0, 2, 3, 3, 1, 4, 1, 2, 0, 1, 3, 0, 0 };
constexpr int c_limiter_oversampling[kNumPresets] = { 1, 1, 2, 1, 1, 2, 1, 1, 2, 1, 2, 2, 1, 2, 1, 2, 1 };
constexpr bool c_limiter_truePeak[kNumPresets] = { true, true, true, true, true, false, true, true, true, true, true, true, true, true, true, true, true };
constexpr float c_tape_drive[kNumPresets] = { 0.4f, 0.25f, 0.4f, 0.4f, 0.4f, 0.4f, 0.45f, 0.4f, 0.4f, 0.4f, 0.4f, 0.4f, 0.2f, 0.4f, 0.3f, 0.4f, 0.4f };
constexpr float c_tape_bias[kNumPresets] = { 0.55f, 0.5f, 0.55f, 0.55f, 0.55f, 0.55f, 0.6f, 0.65f, 0.55f, 0.55f, 0.55f, 0.55f, 0.55f, 0.55f, 0.6f, 0.55f, 0.55f };
constexpr float c_tape_saturation[kNumPresets] = { 0.5f, 0.35f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.55f, 0.5f, 0.5f, 0.5f, 0.5f, 0.3f, 0.5f, 0.4f, 0.5f, 0.5f };
constexpr float c_tape_mix[kNumPresets] = { 0.5f, 0.35f, 0.5f, 0.5f, 0.5f, 0.5f, 0.55f, 0.6f, 0.5f, 0.5f, 0.5f, 0.5f, 0.25f, 0.5f, 0.4f, 0.5f, 0.5f };
constexpr float c_tape_wow[kNumPresets] = { 0.15f, 0.15f, 0.15f, 0.15f, 0.15f, 0.15f, 0.2f, 0.25f, 0.15f, 0.15f, 0.15f, 0.15f, 0.15f, 0.15f, 0.15f, 0.15f, 0.15f };
constexpr float c_tape_flutter[kNumPresets] = { 0.08f, 0.08f, 0.08f, 0.08f, 0.08f, 0.08f, 0.1f, 0.12f, 0.08f, 0.08f, 0.08f, 0.08f, 0.08f, 0.08f, 0.08f, 0.08f, 0.08f };
constexpr float c_tape_noise[kNumPresets] = { 0.08f, 0.08f, 0.08f, 0.08f, 0.08f, 0.08f, 0.05f, 0.08f, 0.08f, 0.08f, 0.08f, 0.08f, 0.08f, 0.08f, 0.08f, 0.08f, 0.08f };
constexpr int c_tape_speed[kNumPresets] = { 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1 };
constexpr int c_saturation_mode[kNumPresets] = { 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0 };
constexpr float c_saturation_drive[kNumPresets] = { 0.4f, 0.4f, 0.35f, 0.4f, 0.4f, 0.4f, 0.3f, 0.4f, 0.4f, 0.4f, 0.45f, 0.4f, 0.4f, 0.3f, 0.4f, 0.4f, 0.4f };
constexpr float c_saturation_mix[kNumPresets] = { 0.5f, 0.5f, 0.25f, 0.5f, 0.5f, 0.5f, 0.3f, 0.5f, 0.2f, 0.5f, 0.3f, 0.5f, 0.5f, 0.15f, 0.5f, 0.5f, 0.5f };
constexpr float c_saturation_tone[kNumPresets] = { 12000.0f, 12000.0f, 9000.0f, 12000.0f, 12000.0f, 12000.0f, 10000.0f, 12000.0f, 8000.0f, 12000.0f, 9500.0f, 12000.0f, 12000.0f, 9000.0f, 12000.0f, 12000.0f, 12000.0f };
constexpr float c_analogueDensity_density[kNumPresets] = { 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 25.0f, 0.0f, 40.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 35.0f };
constexpr float c_analogueDensity_saturation[kNumPresets] = { 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 2.0f, 0.0f, 3.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 2.5f };
constexpr float c_analogueDensity_pentode[kNumPresets] = { 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.5f, 0.0f, 3.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 2.5f };
constexpr float c_analogueDensity_triode[kNumPresets] = { 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 2.0f, 0.0f, 2.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 2.0f };
constexpr float c_analogueDensity_mix[kNumPresets] = { 20.0f, 20.0f, 20.0f, 20.0f, 20.0f, 20.0f, 60.0f, 20.0f, 50.0f, 20.0f, 20.0f, 20.0f, 20.0f, 20.0f, 20.0f, 20.0f, 70.0f };
constexpr float c_analogueDensity_airAmount[kNumPresets] = { 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 2.0f };
constexpr float c_analogueDensity_inputGain[kNumPresets] = { 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f };
constexpr bool c_analogueDensity_air[kNumPresets] = { false, false, false, false, false, false, true, false, false, false, false, false, false, false, false, false, true };
constexpr bool c_analogueDensity_altTube[kNumPresets] = { false, false, false, false, false, false, false, false, true, false, false, false, false, false, false, false, false };
constexpr int c_analogueDensity_calibration[kNumPresets] = { 1, 1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1 };
constexpr int c_multiBandComp_bandCount[kNumPresets] = { 3, 3, 4, 3, 3, 3, 3, 3, 3, 3, 4, 3, 3, 4, 3, 3, 3 };
constexpr float c_multiBandComp_x0[kNumPresets] = { 150.0f, 150.0f, 120.0f, 150.0f, 150.0f, 200.0f, 150.0f, 150.0f, 150.0f, 150.0f, 100.0f, 120.0f, 150.0f, 90.0f, 150.0f, 150.0f, 150.0f };
constexpr float c_multiBandComp_x1[kNumPresets] = { 2500.0f, 2500.0f, 800.0f, 2500.0f, 2500.0f, 3000.0f, 2500.0f, 2500.0f, 2500.0f, 2500.0f, 900.0f, 2500.0f, 2500.0f, 800.0f, 2500.0f, 2500.0f, 2500.0f };
constexpr float c_multiBandComp_x2[kNumPresets] = { 5000.0f, 5000.0f, 5000.0f, 5000.0f, 5000.0f, 5000.0f, 5000.0f, 5000.0f, 5000.0f, 5000.0f, 6000.0f, 5000.0f, 5000.0f, 5000.0f, 5000.0f, 5000.0f, 5000.0f };
constexpr float c_multiBandComp_globalMakeup[kNumPresets] = { 0.0f, 1.0f, 1.5f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.5f, 0.0f, 2.0f, 1.5f, 0.0f, 2.0f, 0.0f, 0.0f, 0.0f };
constexpr float c_multiBandComp_b0Thresh[kNumPresets] = { -18.0f, -18.0f, -18.0f, -18.0f, -18.0f, -14.0f, -18.0f, -18.0f, -14.0f, -18.0f, -16.0f, -14.0f, -18.0f, -12.0f, -18.0f, -18.0f, -18.0f };
constexpr float c_multiBandComp_b1Thresh[kNumPresets] = { -16.0f, -16.0f, -16.0f, -16.0f, -16.0f, -12.0f, -16.0f, -16.0f, -14.0f, -16.0f, -14.0f, -14.0f, -16.0f, -14.0f, -16.0f, -16.0f, -16.0f };
constexpr float c_multiBandComp_b2Thresh[kNumPresets] = { -14.0f, -18.0f, -14.0f, -14.0f, -14.0f, -10.0f, -14.0f, -14.0f, -12.0f, -14.0f, -12.0f, -12.0f, -14.0f, -12.0f, -14.0f, -14.0f, -14.0f };
constexpr float c_multiBandComp_b3Thresh[kNumPresets] = { -12.0f, -12.0f, -12.0f, -12.0f, -12.0f, -12.0f, -12.0f, -12.0f, -12.0f, -12.0f, -10.0f, -12.0f, -12.0f, -10.0f, -12.0f, -12.0f, -12.0f };
constexpr float c_multiBandComp_b0Ratio[kNumPresets] = { 2.0f, 1.8f, 3.0f, 2.0f, 2.0f, 3.0f, 2.0f, 2.0f, 3.5f, 2.0f, 4.0f, 4.0f, 2.0f, 4.5f, 2.0f, 2.0f, 2.0f };
constexpr float c_multiBandComp_b1Ratio[kNumPresets] = { 2.0f, 1.6f, 2.5f, 2.0f, 2.0f, 3.0f, 2.0f, 2.0f, 3.0f, 2.0f, 3.0f, 2.5f, 2.0f, 2.5f, 2.0f, 2.0f, 2.0f };
constexpr float c_multiBandComp_b2Ratio[kNumPresets] = { 2.0f, 1.6f, 3.0f, 2.0f, 2.0f, 3.5f, 2.0f, 2.0f, 3.0f, 2.0f, 3.5f, 3.0f, 2.0f, 3.0f, 2.0f, 2.0f, 2.0f };
constexpr float c_multiBandComp_b3Ratio[kNumPresets] = { 2.0f, 2.0f, 3.5f, 2.0f, 2.0f, 2.0f, 2.0f, 2.0f, 2.0f, 2.0f, 4.0f, 2.0f, 2.0f, 3.5f, 2.0f, 2.0f, 2.0f };
constexpr float c_multiBandComp_b0Atk[kNumPresets] = { 0.01f, 0.012f, 0.006f, 0.01f, 0.01f, 0.006f, 0.01f, 0.01f, 0.006f, 0.01f, 0.005f, 0.005f, 0.01f, 0.006f, 0.01f, 0.01f, 0.01f };
constexpr float c_multiBandComp_b1Atk[kNumPresets] = { 0.01f, 0.01f, 0.008f, 0.01f, 0.01f, 0.004f, 0.01f, 0.01f, 0.005f, 0.01f, 0.006f, 0.006f, 0.01f, 0.008f, 0.01f, 0.01f, 0.01f };
constexpr float c_multiBandComp_b2Atk[kNumPresets] = { 0.008f, 0.005f, 0.004f, 0.008f, 0.008f, 0.003f, 0.008f, 0.008f, 0.004f, 0.008f, 0.003f, 0.004f, 0.008f, 0.004f, 0.008f, 0.008f, 0.008f };
constexpr float c_multiBandComp_b3Atk[kNumPresets] = { 0.005f, 0.005f, 0.003f, 0.005f, 0.005f, 0.005f, 0.005f, 0.005f, 0.005f, 0.005f, 0.002f, 0.005f, 0.005f, 0.003f, 0.005f, 0.005f, 0.005f };
constexpr float c_multiBandComp_b0Rel[kNumPresets] = { 0.2f, 0.22f, 0.18f, 0.2f, 0.2f, 0.14f, 0.2f, 0.2f, 0.16f, 0.2f, 0.16f, 0.16f, 0.2f, 0.18f, 0.2f, 0.2f, 0.2f };
constexpr float c_multiBandComp_b1Rel[kNumPresets] = { 0.18f, 0.2f, 0.2f, 0.18f, 0.18f, 0.1f, 0.18f, 0.18f, 0.12f, 0.18f, 0.2f, 0.14f, 0.18f, 0.2f, 0.18f, 0.18f, 0.18f };
constexpr float c_multiBandComp_b2Rel[kNumPresets] = { 0.14f, 0.14f, 0.12f, 0.14f, 0.14f, 0.08f, 0.14f, 0.14f, 0.1f, 0.14f, 0.1f, 0.1f, 0.14f, 0.1f, 0.14f, 0.14f, 0.14f };
constexpr float c_multiBandComp_b3Rel[kNumPresets] = { 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.08f, 0.1f, 0.1f, 0.08f, 0.1f, 0.1f, 0.1f };
constexpr float c_multiBandComp_b0Makeup[kNumPresets] = { 1.0f, 1.0f, 1.5f, 1.0f, 1.0f, 1.5f, 1.0f, 1.0f, 1.5f, 1.0f, 2.0f, 1.8f, 1.0f, 2.5f, 1.0f, 1.0f, 1.0f };
constexpr float c_multiBandComp_b1Makeup[kNumPresets] = { 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.5f, 1.0f, 1.0f, 1.2f, 1.0f, 1.5f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f };
constexpr float c_multiBandComp_b2Makeup[kNumPresets] = { 1.0f, 1.0f, 1.5f, 1.0f, 1.0f, 2.0f, 1.0f, 1.0f, 1.8f, 1.0f, 2.0f, 1.5f, 1.0f, 1.5f, 1.0f, 1.0f, 1.0f };
constexpr float c_multiBandComp_b3Makeup[kNumPresets] = { 1.0f, 1.0f, 2.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 2.5f, 1.0f, 1.0f, 2.0f, 1.0f, 1.0f, 1.0f };
constexpr float c_stereoImager_width[kNumPresets] = { 1.0f, 1.0f, 1.0f, 1.2f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.2f, 1.0f, 1.3f, 1.0f, 1.35f, 1.1f, 1.0f, 1.0f };

constexpr Preset makePreset (int i)
{
    Preset p;

    // Settings every preset shares.
    p.eq_bandCount = 4;
    p.eq_lowCut = false;
    p.analogueDensity_output = 5.0f;
    p.multiBandComp_x3 = 8000.0f;
    p.dynamicEq_lowFreq = 90.0f;
    p.dynamicEq_lowThresh = -18.0f;
    p.dynamicEq_lowRatio = 1.6f;
    p.dynamicEq_m0Freq = 280.0f;
    p.dynamicEq_m0Q = 1.2f;
    p.dynamicEq_m0Thresh = -22.0f;
    p.dynamicEq_m0Ratio = 1.5f;
    p.dynamicEq_m1Freq = 4800.0f;
    p.dynamicEq_m1Q = 1.6f;
    p.dynamicEq_m1Thresh = -20.0f;
    p.dynamicEq_m1Ratio = 2.0f;
    p.dynamicEq_highFreq = 9000.0f;
    p.dynamicEq_highThresh = -16.0f;
    p.dynamicEq_highRatio = 1.5f;
    p.dynamicEq_mix = 100.0f;

    p.medium = c_medium[i];
    p.style = c_style[i];
    p.lufs = c_lufs[i];
    p.targetLufs = c_targetLufs[i];

    p.eq_enabled = c_eq_enabled[i];
    p.compressor_enabled = c_compressor_enabled[i];
    p.limiter_enabled = c_limiter_enabled[i];
    p.tape_enabled = c_tape_enabled[i];
    p.saturation_enabled = c_saturation_enabled[i];
    p.multiBandComp_enabled = c_multiBandComp_enabled[i];
    p.analogueDensity_enabled = c_analogueDensity_enabled[i];
    p.dynamicEq_enabled = c_dynamicEq_enabled[i];
    p.stereoImager_enabled = c_stereoImager_enabled[i];
    p.eq_lowFreq = c_eq_lowFreq[i];
    p.eq_lowGain = c_eq_lowGain[i];
    p.eq_highFreq = c_eq_highFreq[i];
    p.eq_highGain = c_eq_highGain[i];
    p.eq_m0Freq = c_eq_m0Freq[i];
    p.eq_m0Gain = c_eq_m0Gain[i];
    p.eq_m0Q = c_eq_m0Q[i];
    p.eq_m1Freq = c_eq_m1Freq[i];
    p.eq_m1Gain = c_eq_m1Gain[i];
    p.eq_m1Q = c_eq_m1Q[i];
    p.compressor_threshold = c_compressor_threshold[i];
    p.compressor_ratio = c_compressor_ratio[i];
    p.compressor_attack = c_compressor_attack[i];
    p.compressor_release = c_compressor_release[i];
    p.compressor_knee = c_compressor_knee[i];
    p.compressor_makeup = c_compressor_makeup[i];
    p.limiter_ceiling = c_limiter_ceiling[i];
    p.limiter_release = c_limiter_release[i];
    p.limiter_style = c_limiter_style[i];
    p.limiter_oversampling = c_limiter_oversampling[i];
    p.limiter_truePeak = c_limiter_truePeak[i];
    p.tape_drive = c_tape_drive[i];
    p.tape_bias = c_tape_bias[i];
    p.tape_saturation = c_tape_saturation[i];
    p.tape_mix = c_tape_mix[i];
    p.tape_wow = c_tape_wow[i];
    p.tape_flutter = c_tape_flutter[i];
    p.tape_noise = c_tape_noise[i];
    p.tape_speed = c_tape_speed[i];
    p.saturation_mode = c_saturation_mode[i];
    p.saturation_drive = c_saturation_drive[i];
    p.saturation_mix = c_saturation_mix[i];
    p.saturation_tone = c_saturation_tone[i];
    p.analogueDensity_density = c_analogueDensity_density[i];
    p.analogueDensity_saturation = c_analogueDensity_saturation[i];
    p.analogueDensity_pentode = c_analogueDensity_pentode[i];
    p.analogueDensity_triode = c_analogueDensity_triode[i];
    p.analogueDensity_mix = c_analogueDensity_mix[i];
    p.analogueDensity_airAmount = c_analogueDensity_airAmount[i];
    p.analogueDensity_inputGain = c_analogueDensity_inputGain[i];
    p.analogueDensity_air = c_analogueDensity_air[i];
    p.analogueDensity_altTube = c_analogueDensity_altTube[i];
    p.analogueDensity_calibration = c_analogueDensity_calibration[i];
    p.multiBandComp_bandCount = c_multiBandComp_bandCount[i];
    p.multiBandComp_x0 = c_multiBandComp_x0[i];
    p.multiBandComp_x1 = c_multiBandComp_x1[i];
    p.multiBandComp_x2 = c_multiBandComp_x2[i];
    p.multiBandComp_globalMakeup = c_multiBandComp_globalMakeup[i];
    p.multiBandComp_b0Thresh = c_multiBandComp_b0Thresh[i];
    p.multiBandComp_b1Thresh = c_multiBandComp_b1Thresh[i];
    p.multiBandComp_b2Thresh = c_multiBandComp_b2Thresh[i];
    p.multiBandComp_b3Thresh = c_multiBandComp_b3Thresh[i];
    p.multiBandComp_b0Ratio = c_multiBandComp_b0Ratio[i];
    p.multiBandComp_b1Ratio = c_multiBandComp_b1Ratio[i];
    p.multiBandComp_b2Ratio = c_multiBandComp_b2Ratio[i];
    p.multiBandComp_b3Ratio = c_multiBandComp_b3Ratio[i];
    p.multiBandComp_b0Atk = c_multiBandComp_b0Atk[i];
    p.multiBandComp_b1Atk = c_multiBandComp_b1Atk[i];
    p.multiBandComp_b2Atk = c_multiBandComp_b2Atk[i];
    p.multiBandComp_b3Atk = c_multiBandComp_b3Atk[i];
    p.multiBandComp_b0Rel = c_multiBandComp_b0Rel[i];
    p.multiBandComp_b1Rel = c_multiBandComp_b1Rel[i];
    p.multiBandComp_b2Rel = c_multiBandComp_b2Rel[i];
    p.multiBandComp_b3Rel = c_multiBandComp_b3Rel[i];
    p.multiBandComp_b0Makeup = c_multiBandComp_b0Makeup[i];
    p.multiBandComp_b1Makeup = c_multiBandComp_b1Makeup[i];
    p.multiBandComp_b2Makeup = c_multiBandComp_b2Makeup[i];
    p.multiBandComp_b3Makeup = c_multiBandComp_b3Makeup[i];
    p.stereoImager_width = c_stereoImager_width[i];
    return p;
}

struct Table
{
    Preset presets[kNumPresets];
};

constexpr Table makeTable()
{
    Table t {};
    for (int i = 0; i < kNumPresets; ++i)
        t.presets[i] = makePreset (i);
    return t;
}

// Constant-initialised: no construction at run time, so the first read may come from any thread.
constexpr Table kTable = makeTable();

bool nearlyEqual (float a, float b) noexcept
{
    return std::abs (a - b) < 1.0e-7f;
}

void writeNormalised (juce::RangedAudioParameter& p, float normalised)
{
    if (nearlyEqual (p.getValue(), normalised))
        return;
    p.beginChangeGesture();
    p.setValueNotifyingHost (normalised);
    p.endChangeGesture();
}

void setB (juce::AudioProcessorValueTreeState& tree, const char* id, bool on)
{
    if (auto* p = tree.getParameter (id))
        writeNormalised (*p, on ? 1.0f : 0.0f);
}

int eqBandChoice (int bandCount) noexcept
{
    switch (bandCount)
    {
        case 4: return 1;
        case 5: return 2;
        case 6: return 3;
        case 8: return 4;
        default: return 0;
    }
}

void resetToDefaults (juce::AudioProcessorValueTreeState& tree)
{
    for (auto* p : tree.processor.getParameters())
        if (auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (p))
            ranged->setValueNotifyingHost (ranged->getDefaultValue());
}

void applyRecord (juce::AudioProcessorValueTreeState& tree, const Preset& p)
{
    // Every module starts switched off; the record switches its own modules on again. The clip
    // module has no record fields and stays off.
    for (auto* id : { "eq_enabled", "compressor_enabled", "limiter_enabled", "tape_enabled", "saturation_enabled",
                      "analogueDensity_enabled", "clip_enabled", "dynamicEq_enabled", "multiBandComp_enabled",
                      "stereoImager_enabled" })
        setB (tree, id, false);

    setB (tree, "eq_enabled", p.eq_enabled);
    setI (tree, "eq_bandCount", eqBandChoice (p.eq_bandCount));
    setF (tree, "eq_lowFreq", p.eq_lowFreq);
    setF (tree, "eq_lowGain", p.eq_lowGain);
    setB (tree, "eq_lowCut", p.eq_lowCut);
    setF (tree, "eq_highFreq", p.eq_highFreq);
    setF (tree, "eq_highGain", p.eq_highGain);
    setF (tree, "eq_m0Freq", p.eq_m0Freq);
    setF (tree, "eq_m0Gain", p.eq_m0Gain);
    setF (tree, "eq_m0Q", p.eq_m0Q);
    setB (tree, "eq_m0On", true);
    setF (tree, "eq_m1Freq", p.eq_m1Freq);
    setF (tree, "eq_m1Gain", p.eq_m1Gain);
    setF (tree, "eq_m1Q", p.eq_m1Q);
    setB (tree, "eq_m1On", true);

    setB (tree, "compressor_enabled", p.compressor_enabled);
    if (p.compressor_enabled)
    {
        setF (tree, "compressor_threshold", p.compressor_threshold);
        setF (tree, "compressor_ratio", p.compressor_ratio);
        setF (tree, "compressor_attack", p.compressor_attack);
        setF (tree, "compressor_release", p.compressor_release);
        setF (tree, "compressor_knee", p.compressor_knee);
        setF (tree, "compressor_makeup", p.compressor_makeup);
    }

    setB (tree, "limiter_enabled", p.limiter_enabled);
    if (p.limiter_enabled)
    {
        setF (tree, "limiter_ceiling", p.limiter_ceiling);
        setF (tree, "limiter_release", p.limiter_release);
        setI (tree, "limiter_style", p.limiter_style);
        setI (tree, "limiter_oversampling", p.limiter_oversampling);
        setB (tree, "limiter_truePeak", p.limiter_truePeak);
        setF (tree, "limiter_mix", 100.0f);
    }

    setB (tree, "tape_enabled", p.tape_enabled);
    if (p.tape_enabled)
    {
        setF (tree, "tape_drive", p.tape_drive);
        setF (tree, "tape_bias", p.tape_bias);
        setF (tree, "tape_saturation", p.tape_saturation);
        setF (tree, "tape_mix", p.tape_mix);
        setF (tree, "tape_wow", p.tape_wow);
        setF (tree, "tape_flutter", p.tape_flutter);
        setF (tree, "tape_noise", p.tape_noise);
        setI (tree, "tape_speed", p.tape_speed);
    }

    setB (tree, "saturation_enabled", p.saturation_enabled);
    if (p.saturation_enabled)
    {
        setI (tree, "saturation_mode", p.saturation_mode);
        setF (tree, "saturation_drive", p.saturation_drive);
        setF (tree, "saturation_mix", p.saturation_mix);
        setF (tree, "saturation_tone", p.saturation_tone);
    }

    setB (tree, "analogueDensity_enabled", p.analogueDensity_enabled);
    if (p.analogueDensity_enabled)
    {
        setF (tree, "analogueDensity_density", p.analogueDensity_density);
        setF (tree, "analogueDensity_saturation", p.analogueDensity_saturation);
        setF (tree, "analogueDensity_pentode", p.analogueDensity_pentode);
        setF (tree, "analogueDensity_triode", p.analogueDensity_triode);
        setF (tree, "analogueDensity_mix", p.analogueDensity_mix);
        setF (tree, "analogueDensity_airAmount", p.analogueDensity_airAmount);
        setF (tree, "analogueDensity_output", p.analogueDensity_output);
        setF (tree, "analogueDensity_inputGain", p.analogueDensity_inputGain);
        setB (tree, "analogueDensity_air", p.analogueDensity_air);
        setB (tree, "analogueDensity_altTube", p.analogueDensity_altTube);
        setI (tree, "analogueDensity_calibration", p.analogueDensity_calibration);
    }

    setB (tree, "multiBandComp_enabled", p.multiBandComp_enabled);
    if (p.multiBandComp_enabled)
    {
        setI (tree, "multiBandComp_bandCount", p.multiBandComp_bandCount - 1);
        setF (tree, "multiBandComp_x0", p.multiBandComp_x0);
        setF (tree, "multiBandComp_x1", p.multiBandComp_x1);
        setF (tree, "multiBandComp_x2", p.multiBandComp_x2);
        setF (tree, "multiBandComp_x3", p.multiBandComp_x3);
        setF (tree, "multiBandComp_globalMakeup", p.multiBandComp_globalMakeup);
        setF (tree, "multiBandComp_mix", 100.0f);

        struct Band { const char* prefix; float thresh, ratio, atk, rel, makeup; };
        const Band bands[4] = {
            { "multiBandComp_b0", p.multiBandComp_b0Thresh, p.multiBandComp_b0Ratio, p.multiBandComp_b0Atk, p.multiBandComp_b0Rel, p.multiBandComp_b0Makeup },
            { "multiBandComp_b1", p.multiBandComp_b1Thresh, p.multiBandComp_b1Ratio, p.multiBandComp_b1Atk, p.multiBandComp_b1Rel, p.multiBandComp_b1Makeup },
            { "multiBandComp_b2", p.multiBandComp_b2Thresh, p.multiBandComp_b2Ratio, p.multiBandComp_b2Atk, p.multiBandComp_b2Rel, p.multiBandComp_b2Makeup },
            { "multiBandComp_b3", p.multiBandComp_b3Thresh, p.multiBandComp_b3Ratio, p.multiBandComp_b3Atk, p.multiBandComp_b3Rel, p.multiBandComp_b3Makeup },
        };
        for (const auto& b : bands)
        {
            const juce::String prefix (b.prefix);
            setF (tree, prefix + "Thresh", b.thresh);
            setF (tree, prefix + "Ratio", b.ratio);
            setF (tree, prefix + "Atk", b.atk);
            setF (tree, prefix + "Rel", b.rel);
            setF (tree, prefix + "Makeup", b.makeup);
            setB (tree, (prefix + "On").toRawUTF8(), true);
        }
    }

    setB (tree, "dynamicEq_enabled", p.dynamicEq_enabled);
    if (p.dynamicEq_enabled)
    {
        setI (tree, "dynamicEq_bandCount", 1);
        setF (tree, "dynamicEq_mix", p.dynamicEq_mix);
        setF (tree, "dynamicEq_lowFreq", p.dynamicEq_lowFreq);
        setF (tree, "dynamicEq_lowThresh", p.dynamicEq_lowThresh);
        setF (tree, "dynamicEq_lowRatio", p.dynamicEq_lowRatio);
        setF (tree, "dynamicEq_m0Freq", p.dynamicEq_m0Freq);
        setF (tree, "dynamicEq_m0Q", p.dynamicEq_m0Q);
        setF (tree, "dynamicEq_m0Thresh", p.dynamicEq_m0Thresh);
        setF (tree, "dynamicEq_m0Ratio", p.dynamicEq_m0Ratio);
        setF (tree, "dynamicEq_m1Freq", p.dynamicEq_m1Freq);
        setF (tree, "dynamicEq_m1Q", p.dynamicEq_m1Q);
        setF (tree, "dynamicEq_m1Thresh", p.dynamicEq_m1Thresh);
        setF (tree, "dynamicEq_m1Ratio", p.dynamicEq_m1Ratio);
        setF (tree, "dynamicEq_highFreq", p.dynamicEq_highFreq);
        setF (tree, "dynamicEq_highThresh", p.dynamicEq_highThresh);
        setF (tree, "dynamicEq_highRatio", p.dynamicEq_highRatio);
    }

    setB (tree, "stereoImager_enabled", p.stereoImager_enabled);
    if (p.stereoImager_enabled)
    {
        const float w = juce::jlimit (0.25f, 3.0f, p.stereoImager_width > 0.01f ? p.stereoImager_width : 1.0f);
        setF (tree, "stereoImager_width", w);
        setF (tree, "stereoImager_spreadLo", -w);
        setF (tree, "stereoImager_direction", 0.0f);
        setF (tree, "stereoImager_mix", 100.0f);
        setB (tree, "stereoImager_split", true);
    }
}
} // namespace

const Preset& get (int index)
{
    return kTable.presets[juce::jlimit (0, kNumPresets - 1, index)];
}

void applyToApvts (juce::AudioProcessorValueTreeState& tree, int index)
{
    if (index == 0)
        resetToDefaults (tree);
    else
        applyRecord (tree, get (index));
}

void setF (juce::AudioProcessorValueTreeState& tree, const juce::String& id, float value)
{
    if (! std::isfinite (value))
        return;
    if (auto* p = tree.getParameter (id))
        writeNormalised (*p, p->convertTo0to1 (value));
}

void setI (juce::AudioProcessorValueTreeState& tree, const juce::String& id, int index)
{
    if (auto* c = dynamic_cast<juce::AudioParameterChoice*> (tree.getParameter (id)))
        writeNormalised (*c, c->convertTo0to1 ((float) index));
}
}
