// The whole processor (product 15) at its defaults, with the EQ family at its heaviest, with every
// module on at its heaviest setting, and with every module off.
#include "BenchUtil.h"
#include "Core/PluginProcessor.h"

namespace
{
void set (VyrAudioProcessor& p, const char* id, float v)
{
    if (auto* param = p.apvts.getParameter (id))
        param->setValueNotifyingHost (param->convertTo0to1 (v));
}

void heavyEqFamily (VyrAudioProcessor& p)
{
    set (p, "eq_enabled", 1); set (p, "eq_bandCount", 4); set (p, "eq_msMode", 1);
    set (p, "eq_lowCut", 1); set (p, "eq_lowSlope", 3); set (p, "eq_highCut", 1); set (p, "eq_highSlope", 3);
    for (int k = 0; k < 6; ++k)
    {
        set (p, ("eq_m" + juce::String (k) + "Gain").toRawUTF8(), 4.0f);
        set (p, ("eq_s_m" + juce::String (k) + "Gain").toRawUTF8(), -3.0f);
    }
    set (p, "dynamicEq_enabled", 1); set (p, "dynamicEq_bandCount", 4); set (p, "dynamicEq_msMode", 1);
    for (const char* prefix : { "dynamicEq_", "dynamicEq_s_" })
        for (const char* band : { "low", "m0", "m1", "m2", "m3", "m4", "m5", "high" })
        {
            const juce::String b = juce::String (prefix) + band;
            set (p, (b + "Gain").toRawUTF8(), 3.0f);
            set (p, (b + "Thresh").toRawUTF8(), -50.0f);
            set (p, (b + "Ratio").toRawUTF8(), 6.0f);
            set (p, (b + "Sat").toRawUTF8(), 1.0f);
        }
    set (p, "multiBandComp_enabled", 1); set (p, "multiBandComp_bandCount", 4); set (p, "multiBandComp_msMode", 1);
    for (int b = 0; b < 5; ++b)
    {
        set (p, ("multiBandComp_b" + juce::String (b) + "Thresh").toRawUTF8(), -40.0f);
        set (p, ("multiBandComp_s_b" + juce::String (b) + "Thresh").toRawUTF8(), -40.0f);
        set (p, ("multiBandComp_b" + juce::String (b) + "Ratio").toRawUTF8(), 6.0f);
    }
}

void heavyEverything (VyrAudioProcessor& p)
{
    heavyEqFamily (p);
    for (const char* id : { "compressor_enabled", "saturation_enabled", "analogueDensity_enabled", "clip_enabled", "tape_enabled",
                            "delay_enabled", "reverb_enabled", "stereoImager_enabled", "tovu_enabled", "limiter_truePeak" })
        set (p, id, 1.0f);
    set (p, "compressor_character", 3); set (p, "compressor_model", 0.7f);
    set (p, "analogueDensity_density", 60); set (p, "analogueDensity_triode", 5); set (p, "analogueDensity_pentode", 5);
    set (p, "analogueDensity_saturation", 5); set (p, "clip_drive", 12);
    set (p, "reverb_shape", 2); set (p, "reverb_radicalness", 1);
    set (p, "quarn_spaceRad", 0.6f); set (p, "quarn_reverbRad", 0.6f); set (p, "quarn_eqAng", 0.3f);
    set (p, "limiter_oversampling", 3); set (p, "limiter_lookahead", 20); set (p, "limiter_dither", 1); set (p, "limiter_noiseShape", 3);
    set (p, "limiter_inputGain", 6);
}

// Every module switched off: the chain is only the output gains and the DC blocker.
void everythingOff (VyrAudioProcessor& p)
{
    for (const char* id : { "compressor_enabled", "saturation_enabled", "analogueDensity_enabled", "clip_enabled", "tape_enabled",
                            "delay_enabled", "reverb_enabled", "eq_enabled", "dynamicEq_enabled", "multiBandComp_enabled",
                            "stereoImager_enabled", "tovu_enabled", "limiter_enabled" })
        set (p, id, 0.0f);
}

void runProcessor (benchmark::State& state, void (*setup) (VyrAudioProcessor&))
{
    const double sr = (double) state.range (0);
    const int block = (int) state.range (1);
    VyrAudioProcessor proc (vyrProducts::quarn);
    if (setup != nullptr)
        setup (proc);
    proc.setPlayConfigDetails (2, 2, sr, block);
    proc.prepareToPlay (sr, block);

    const int span = block * std::max (1, 32768 / block);
    juce::MidiBuffer midi;
    vyrRunBlocks (state, sr, block, span, [&] (juce::AudioBuffer<float>& buffer, int) { proc.processBlock (buffer, midi); });
    proc.releaseResources();
}
}

static void BM_ChainDefaults (benchmark::State& s) { runProcessor (s, nullptr); }
static void BM_ChainEqFamilyHeaviest (benchmark::State& s) { runProcessor (s, &heavyEqFamily); }
static void BM_ChainEverythingHeaviest (benchmark::State& s) { runProcessor (s, &heavyEverything); }
static void BM_ChainEverythingOff (benchmark::State& s) { runProcessor (s, &everythingOff); }

#define VYR_CHAIN_ARGS ->Args ({ 44100, 64 })->Args ({ 44100, 512 })->Args ({ 48000, 512 })->Args ({ 96000, 64 })->Args ({ 96000, 512 })->Args ({ 192000, 64 })->Args ({ 192000, 512 })
BENCHMARK (BM_ChainDefaults) VYR_CHAIN_ARGS;
BENCHMARK (BM_ChainEqFamilyHeaviest) VYR_CHAIN_ARGS;
BENCHMARK (BM_ChainEverythingHeaviest) VYR_CHAIN_ARGS;
BENCHMARK (BM_ChainEverythingOff)->Args ({ 44100, 512 })->Args ({ 48000, 512 })->Args ({ 96000, 512 });
