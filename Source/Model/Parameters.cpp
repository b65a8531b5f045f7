#include "Model/Parameters.h"
#include "Model/MoodTable.h"
#include <cmath>

namespace
{
using Layout = juce::AudioProcessorValueTreeState::ParameterLayout;

// Host visibility is decided per build (not through a process-wide flag), so two processors
// built on different threads at once still get exactly the automatable set.
struct Builder
{
    Layout& layout;

    bool automatable (const juce::String& id) const { return vyrQuarnHostVisibleParam (id); }

    juce::AudioParameterFloatAttributes floatHostAttrs (const juce::String& id, const juce::String& unit) const
    {
        return juce::AudioParameterFloatAttributes().withLabel (unit).withAutomatable (automatable (id));
    }

    void addFloat (const juce::String& id, const juce::String& name, float min, float max, float def, float step, const juce::String& unit)
    {
        layout.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { id, 1 }, name,
                                                                 juce::NormalisableRange<float> (min, max, step), def,
                                                                 floatHostAttrs (id, unit)));
    }

    static juce::NormalisableRange<float> logRange (float min, float max, float step)
    {
        const float m = min > 0.0f ? min : (step > 0.0f ? step : 0.1f);
        const float l0 = std::log10 (m), l1 = std::log10 (max);

        juce::NormalisableRange<float> r (
            min, max,
            [min, l0, l1] (float, float, float x)
            {
                if (! std::isfinite (x))
                    return min;
                x = juce::jlimit (0.0f, 1.0f, x);
                if (x <= 0.0f && min <= 0.0f)
                    return min;
                return std::pow (10.0f, l0 + x * (l1 - l0));
            },
            [min, m, l0, l1] (float, float, float v)
            {
                if (! std::isfinite (v))
                    return 0.0f;
                if (v <= 0.0f && min <= 0.0f)
                    return 0.0f;
                return juce::jlimit (0.0f, 1.0f, (std::log10 (std::max (v, m)) - l0) / (l1 - l0));
            });
        r.interval = step;
        return r;
    }

    void addLogFloat (const juce::String& id, const juce::String& name, float min, float max, float def, float step, const juce::String& unit)
    {
        layout.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { id, 1 }, name, logRange (min, max, step), def,
                                                                 floatHostAttrs (id, unit)));
    }

    void addMakeup (const juce::String& id, const juce::String& name)
    {
        constexpr float log240 = 2.3802114f;
        juce::NormalisableRange<float> r (
            0.0f, 24.0f,
            [] (float, float, float x)
            {
                if (! (x > 0.0f))
                    return 0.0f;
                return std::pow (10.0f, log240 * std::min (x, 1.0f) - 1.0f);
            },
            [] (float, float, float v)
            {
                if (! (v > 0.0f))
                    return 0.0f;
                return juce::jlimit (0.0f, 1.0f, (std::log10 (std::max (v, 0.1f)) + 1.0f) / log240);
            });
        r.interval = 0.1f;
        layout.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { id, 1 }, name, r, 0.0f, floatHostAttrs (id, "dB")));
    }

    void addBool (const juce::String& id, const juce::String& name, bool def)
    {
        layout.add (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { id, 1 }, name, def,
                                                                juce::AudioParameterBoolAttributes().withAutomatable (automatable (id))));
    }

    void addChoice (const juce::String& id, const juce::String& name, const juce::StringArray& choices, int def)
    {
        layout.add (std::make_unique<juce::AudioParameterChoice> (juce::ParameterID { id, 1 }, name, choices, def,
                                                                  juce::AudioParameterChoiceAttributes().withAutomatable (automatable (id))));
    }

    void addLimiterParams()
    {
        addBool ("limiter_enabled", "LIM On", true);
        addFloat ("limiter_inputGain", "LIM In", -60.0f, 24.0f, 0.0f, 0.1f, "dB");
        addFloat ("limiter_ceiling", "Ceiling", -6.0f, 0.0f, -0.1f, 0.05f, "dB");
        addFloat ("limiter_release", "Release", 0.005f, 0.5f, 0.05f, 0.005f, "s");
        addChoice ("limiter_releaseMode", "Rel Mode", { "Manual", "Auto" }, 0);
        addFloat ("limiter_lookahead", "Lookahead", 0.0f, 20.0f, 0.0f, 0.5f, "ms");
        addFloat ("limiter_stereoLink", "Link", 0.0f, 100.0f, 100.0f, 1.0f, "%");
        addFloat ("limiter_mix", "Mix", 0.0f, 100.0f, 100.0f, 1.0f, "%");
        addFloat ("limiter_outputGain", "LIM Out", -60.0f, 12.0f, 0.0f, 0.1f, "dB");
        addBool ("limiter_truePeak", "True Peak", false);
        addBool ("limiter_dcBlocker", "DC Block", true);
        addBool ("limiter_msMode", "LIM M/S", false);
        addChoice ("limiter_oversampling", "OS", { "1x", "2x", "4x", "8x" }, 0);
        addChoice ("limiter_style", "Style", { "Transparent", "Punchy", "Modern", "Warm", "Classical" }, 0);
        addBool ("limiter_styleXfade", "Style Xfade", false);
        addFloat ("limiter_stylePos", "Style Pos", 0.0f, 4.0f, 0.0f, 0.01f, "");
        addChoice ("limiter_dither", "Dither", { "Off", "16", "24" }, 0);
        addChoice ("limiter_noiseShape", "Shape", { "None", "Basic", "Opt", "Weight" }, 0);
        addChoice ("limiter_releaseShape", "Rel Shape", { "Linear", "Exp", "Adapt" }, 1);
        addChoice ("limiter_scale", "Scale", { "24", "32", "48", "K-12", "K-14", "K-20" }, 0);
    }

    void addEqBandParams (const juce::String& prefix, const juce::String& key, const juce::String& word,
                          bool mid, bool edge, bool dynamic, float defaultFreq)
    {
        const auto id = [&] (const char* suffix) { return prefix + key + suffix; };
        const auto nm = [&] (const char* w) { return word + " " + w; };

        addLogFloat (id ("Freq"), nm ("Freq"), 20.0f, 20000.0f, defaultFreq, 1.0f, "Hz");
        addFloat (id ("Gain"), nm ("Gain"), -24.0f, 24.0f, 0.0f, 0.1f, "dB");
        addBool (id ("On"), nm ("On"), true);
        addBool (id ("Solo"), nm ("Solo"), false);
        if (mid)
        {
            addFloat (id ("Q"), nm ("Q"), 0.1f, 6.0f, 1.0f, 0.1f, "");
            if (! dynamic)
                addChoice (id ("Shape"), nm ("Shape"), { "Bell", "Prop Q", "Band Shelf", "Bax Bass", "Bax Treble" }, 0);
        }
        if (edge)
        {
            addChoice (id ("Slope"), nm ("Slope"), { "12", "24", "36", "48" }, 0);
            addBool (id ("Cut"), nm ("Cut"), false);
        }
        if (dynamic)
        {
            addFloat (id ("Thresh"), nm ("Thresh"), -60.0f, 0.0f, -24.0f, 0.1f, "dB");
            addLogFloat (id ("Ratio"), nm ("Ratio"), 1.0f, 12.0f, 1.0f, 0.1f, "");
            addLogFloat (id ("Atk"), nm ("Atk"), 0.001f, 0.5f, 0.01f, 0.001f, "s");
            addLogFloat (id ("Rel"), nm ("Rel"), 0.01f, 1.0f, 0.2f, 0.01f, "s");
            addBool (id ("Sat"), nm ("Sat"), false);
            addFloat (id ("Drive"), nm ("Drive"), 0.0f, 1.0f, 0.3f, 0.01f, "");
        }
    }

    void addEqChannelParams (const juce::String& prefix, bool dynamic)
    {
        static const int midFreqs[6] = { 250, 446, 794, 1416, 2524, 4500 };
        addEqBandParams (prefix, "low", "Low", false, true, dynamic, 200.0f);
        for (int k = 0; k < 6; ++k)
            addEqBandParams (prefix, "m" + juce::String (k), "M" + juce::String (k + 1), true, false, dynamic, (float) midFreqs[k]);
        addEqBandParams (prefix, "high", "High", false, true, dynamic, 5000.0f);
    }

    void addMbcParams (bool enabledDefault)
    {
        addBool ("multiBandComp_enabled", "MBC On", enabledDefault);
        addChoice ("multiBandComp_bandCount", "MBC Bands", { "1", "2", "3", "4", "5" }, 3);
        addBool ("multiBandComp_msMode", "MBC M/S", false);
        addChoice ("multiBandComp_msChannel", "MBC Edit", { "Mid", "Side" }, 0);
        addFloat ("multiBandComp_globalMakeup", "MBC Output", -12.0f, 24.0f, 0.0f, 0.5f, "dB");
        addFloat ("multiBandComp_mix", "MBC Mix", 0.0f, 100.0f, 100.0f, 1.0f, "%");

        for (const juce::String prefix : { "multiBandComp_", "multiBandComp_s_" })
        {
            for (int b = 0; b < 5; ++b)
            {
                const auto key = prefix + "b" + juce::String (b);
                const auto word = "B" + juce::String (b + 1) + " ";
                addFloat (key + "Thresh", word + "Th", -60.0f, 0.0f, -18.0f, 0.5f, "dB");
                addFloat (key + "Ratio", word + "Ratio", 1.0f, 20.0f, 2.5f, 0.5f, "");
                addLogFloat (key + "Atk", word + "Atk", 0.001f, 0.3f, 0.01f, 0.001f, "s");
                addLogFloat (key + "Rel", word + "Rel", 0.01f, 1.0f, 0.15f, 0.01f, "s");
                addFloat (key + "Knee", word + "Knee", 0.0f, 40.0f, 6.0f, 1.0f, "dB");
                addMakeup (key + "Makeup", word + "Makeup");
                addBool (key + "On", word + "On", true);
                addBool (key + "Solo", word + "Solo", false);
            }
        }

        static const int xovers[4] = { 343, 980, 2800, 3454 };
        for (int i = 0; i < 4; ++i)
            addLogFloat ("multiBandComp_x" + juce::String (i), "Xover " + juce::String (i + 1), 30.0f, 18000.0f, (float) xovers[i], 1.0f, "Hz");
    }
};
} // namespace

bool vyrQuarnHostVisibleParam (const juce::String& id)
{
    static const char* const visible[] = {
        "bypass", "masterTrim", "masterMedium", "masterStyle", "masterMood", "masterLufs", "liveAnalysis",
        "quarn_toneAng", "quarn_toneRad", "quarn_energy", "quarn_boost", "quarn_presence", "quarn_eqAng",
        "quarn_spaceAng", "quarn_spaceRad", "quarn_reverbAng", "quarn_reverbRad",
        "compressor_mix", "saturation_mix", "analogueDensity_mix", "clip_mix", "tape_mix", "delay_mix",
        "reverb_mix", "eq_mix", "dynamicEq_mix", "multiBandComp_mix", "stereoImager_mix", "limiter_mix"
    };
    for (auto* v : visible)
        if (id == v)
            return true;
    return false;
}

juce::AudioProcessorValueTreeState::ParameterLayout vyrCreateParameterLayout (VyrProduct)
{
    Layout layout;
    Builder b { layout };

    b.addFloat ("inputGainL", "In L", -60.0f, 24.0f, 0.0f, 0.1f, "dB");
    b.addFloat ("inputGainR", "In R", -60.0f, 24.0f, 0.0f, 0.1f, "dB");
    b.addFloat ("outputGainL", "Out L", -60.0f, 24.0f, 0.0f, 0.1f, "dB");
    b.addFloat ("outputGainR", "Out R", -60.0f, 24.0f, 0.0f, 0.1f, "dB");
    b.addBool ("linkLR", "Link LR", true);
    b.addBool ("bypass", "Bypass", false);
    b.addBool ("mono", "Mono", false);
    b.addFloat ("masterTrim", "Mastering Effect", -50.0f, 50.0f, 0.0f, 0.5f, "%");
    b.addChoice ("theme", "Theme", { "Precision Studio", "Ethereal Glass", "Forge Titanium", "Analog Rack", "Neural Lab", "Instrument Lab" }, 0);
    b.addChoice ("meteringMode", "Meter Scale", { "dBFS", "K12", "K14", "K20" }, 0);
    b.addChoice ("masterMedium", "Master Medium", { "Cinematic", "Podcast", "Radio", "Album", "EP", "Video", "Streaming", "Club" }, 3);
    b.addChoice ("masterStyle", "Style Chip", { "EDM", "Jazz", "Classical", "Independent", "Loud", "Medium", "Soft" }, 5);
    b.addChoice ("masterLufs", "Target LUFS", { "-23", "-16", "-14", "-11", "-9" }, 2);
    b.addChoice ("liveAnalysis", "LIVE", { "Off", "Show", "Arm" }, 0);

    b.addFloat ("quarn_toneAng", "QUARN Tone Angle", 0.0f, 1.0f, 0.25f, 0.0001f, "");
    b.addFloat ("quarn_toneRad", "QUARN Tone Radius", 0.0f, 1.0f, 0.0f, 0.001f, "");
    b.addFloat ("quarn_energy", "QUARN Energy", 0.0f, 1.0f, 0.25f, 0.0001f, "");
    b.addFloat ("quarn_boost", "QUARN Boost", 0.0f, 1.0f, 0.0f, 0.001f, "");
    b.addFloat ("quarn_presence", "QUARN Presence", 0.0f, 1.0f, 0.25f, 0.0001f, "");
    b.addFloat ("quarn_eqAng", "QUARN Lane EQ", 0.0f, 1.0f, 0.0f, 0.0001f, "");
    b.addFloat ("quarn_spaceAng", "SPACE Delay Angle", 0.0f, 1.0f, 0.0f, 0.0001f, "");
    b.addFloat ("quarn_spaceRad", "SPACE Delay", 0.0f, 1.0f, 0.0f, 0.001f, "");
    b.addFloat ("quarn_reverbAng", "SPACE Reverb Angle", 0.0f, 1.0f, 0.0f, 0.0001f, "");
    b.addFloat ("quarn_reverbRad", "SPACE Reverb", 0.0f, 1.0f, 0.0f, 0.001f, "");

    b.addBool ("compressor_enabled", "CMP On", false);
    b.addFloat ("compressor_threshold", "Threshold", -60.0f, 0.0f, -18.0f, 0.1f, "dB");
    b.addFloat ("compressor_ratio", "Ratio", 1.0f, 20.0f, 4.0f, 0.1f, ":1");
    b.addFloat ("compressor_attack", "Attack", 0.001f, 0.3f, 0.003f, 0.001f, "s");
    b.addFloat ("compressor_release", "Release", 0.01f, 1.0f, 0.25f, 0.01f, "s");
    b.addFloat ("compressor_knee", "Knee", 0.0f, 40.0f, 30.0f, 0.5f, "dB");
    b.addFloat ("compressor_makeup", "Makeup", 0.0f, 24.0f, 0.0f, 0.1f, "dB");
    b.addFloat ("compressor_mix", "Mix", 0.0f, 100.0f, 100.0f, 1.0f, "%");
    b.addFloat ("compressor_model", "Model", 0.0f, 2.0f, 1.0f, 0.01f, "");
    b.addChoice ("compressor_character", "Character", { "Digital", "Studio VCA", "Studio FET", "Vintage Opto", "Vintage FET" }, 0);

    b.addLimiterParams();

    b.addBool ("saturation_enabled", "SAT On", false);
    b.addFloat ("saturation_drive", "Drive", 0.0f, 1.0f, 0.4f, 0.01f, "");
    b.addFloat ("saturation_grit", "Grit", 0.0f, 1.0f, 0.0f, 0.01f, "");
    b.addFloat ("saturation_mix", "Mix", 0.0f, 1.0f, 0.5f, 0.01f, "");
    b.addFloat ("saturation_tone", "Tone", 2000.0f, 20000.0f, 12000.0f, 1.0f, "Hz");
    b.addFloat ("saturation_output", "Output", 0.0f, 2.0f, 1.0f, 0.01f, "");
    b.addChoice ("saturation_mode", "Mode", { "Tube", "Tape", "Trans", "Opto", "Clean" }, 0);

    b.addBool ("analogueDensity_enabled", "DEN On", false);
    b.addFloat ("analogueDensity_inputGain", "Input", -24.0f, 24.0f, 0.0f, 0.1f, "dB");
    b.addFloat ("analogueDensity_density", "Density", -100.0f, 100.0f, 0.0f, 1.0f, "%");
    b.addFloat ("analogueDensity_saturation", "Sat", 0.0f, 10.0f, 0.0f, 0.1f, "");
    b.addFloat ("analogueDensity_pentode", "Pentode", 0.0f, 10.0f, 0.0f, 0.1f, "");
    b.addFloat ("analogueDensity_triode", "Triode", 0.0f, 10.0f, 0.0f, 0.1f, "");
    b.addFloat ("analogueDensity_output", "Output", 0.0f, 10.0f, 5.0f, 0.1f, "");
    b.addFloat ("analogueDensity_mix", "Mix", 0.0f, 100.0f, 20.0f, 1.0f, "%");
    b.addBool ("analogueDensity_air", "Air", false);
    b.addFloat ("analogueDensity_airAmount", "Air Amt", 0.0f, 10.0f, 0.0f, 0.1f, "");
    b.addBool ("analogueDensity_satIn", "Sat In", true);
    b.addBool ("analogueDensity_altTube", "Alt Tube", false);
    b.addChoice ("analogueDensity_satFreq", "Sat Freq", { "Low", "Flat", "High" }, 1);
    b.addChoice ("analogueDensity_calibration", "Calib", { "Dark", "Normal", "Bright" }, 1);

    b.addBool ("clip_enabled", "CLP On", false);
    b.addFloat ("clip_inputGain", "Input", -30.0f, 30.0f, 0.0f, 0.1f, "dB");
    b.addFloat ("clip_drive", "Drive", 0.0f, 50.0f, 0.0f, 0.1f, "dB");
    b.addFloat ("clip_symmetry", "Symmetry", -100.0f, 100.0f, 0.0f, 1.0f, "%");
    b.addFloat ("clip_mix", "Mix", 0.0f, 1.0f, 0.2f, 0.01f, "");
    b.addFloat ("clip_outputGain", "Output", -30.0f, 30.0f, 0.0f, 0.1f, "dB");
    b.addFloat ("clip_clipFilterFreq", "Clip Freq", 20.0f, 20000.0f, 4400.0f, 1.0f, "Hz");
    b.addChoice ("clip_clipFilterType", "Clip Type", { "LP", "HP" }, 0);
    b.addFloat ("clip_tone", "Tone", 20.0f, 20000.0f, 170.0f, 1.0f, "Hz");
    b.addFloat ("clip_highShelfFreq", "Shelf F", 20.0f, 20000.0f, 980.0f, 1.0f, "Hz");
    b.addFloat ("clip_highShelfGain", "Shelf G", -24.0f, 24.0f, 0.0f, 0.1f, "dB");
    b.addFloat ("clip_lpFilterFreq", "LP Freq", 20.0f, 20000.0f, 6600.0f, 1.0f, "Hz");

    b.addBool ("tape_enabled", "TPE On", false);
    b.addChoice ("tape_preset", "Machine", { "Studer A800", "Ampex ATR-102", "Studer A810", "Otari MTR-90", "3M M79", "Nagra IV-S", "Tascam MSR-16", "Studer A800 (30 ips)" }, 0);
    b.addChoice ("tape_speed", "Speed", { "7.5", "15", "30" }, 1);
    b.addFloat ("tape_inputGain", "Input", -30.0f, 30.0f, 0.0f, 0.1f, "dB");
    b.addFloat ("tape_drive", "Drive", 0.0f, 1.0f, 0.4f, 0.01f, "");
    b.addFloat ("tape_saturation", "Sat", 0.0f, 1.0f, 0.5f, 0.01f, "");
    b.addFloat ("tape_bias", "Bias", 0.0f, 1.0f, 0.55f, 0.01f, "");
    b.addFloat ("tape_hysteresis", "Hyster", 0.0f, 1.0f, 0.25f, 0.01f, "");
    b.addFloat ("tape_wow", "Wow", 0.0f, 1.0f, 0.15f, 0.01f, "");
    b.addFloat ("tape_flutter", "Flutter", 0.0f, 1.0f, 0.08f, 0.01f, "");
    b.addFloat ("tape_noise", "Noise", 0.0f, 1.0f, 0.08f, 0.01f, "");
    b.addFloat ("tape_headBump", "Bump", 0.0f, 1.0f, 0.25f, 0.01f, "");
    b.addFloat ("tape_hfLoss", "HF Loss", 0.0f, 1.0f, 0.3f, 0.01f, "");
    b.addFloat ("tape_mix", "Mix", 0.0f, 1.0f, 0.5f, 0.01f, "");
    b.addFloat ("tape_outputGain", "Output", -30.0f, 30.0f, 0.0f, 0.1f, "dB");

    b.addBool ("delay_enabled", "DEL On", false);
    b.addFloat ("delay_time", "Time", 0.01f, 1.5f, 0.25f, 0.001f, "s");
    b.addFloat ("delay_feedback", "Feedback", 0.0f, 0.9f, 0.3f, 0.01f, "");
    b.addFloat ("delay_mix", "Mix", 0.0f, 1.0f, 0.2f, 0.01f, "");
    b.addFloat ("delay_xfadeMs", "XFade", 2.0f, 60.0f, 15.0f, 0.5f, "ms");
    b.addFloat ("delay_bpm", "BPM", 20.0f, 300.0f, 120.0f, 1.0f, "");
    b.addChoice ("delay_syncNote", "Sync", { "Free", "1/16", "1/16.", "1/8", "1/8.", "1/4", "1/4." }, 0);

    b.addBool ("reverb_enabled", "REV On", false);
    b.addFloat ("reverb_decay", "Decay", 0.3f, 15.0f, 1.5f, 0.1f, "s");
    b.addFloat ("reverb_size", "Size", 0.0f, 1.0f, 0.5f, 0.01f, "");
    b.addFloat ("reverb_diffuse", "Diffuse", 0.0f, 1.0f, 0.78f, 0.01f, "");
    b.addFloat ("reverb_color", "Color", 0.0f, 1.0f, 0.55f, 0.01f, "");
    b.addFloat ("reverb_loFactor", "Lo", 0.0f, 1.0f, 0.35f, 0.01f, "");
    b.addFloat ("reverb_hiFactor", "Damping", 0.0f, 1.0f, 0.45f, 0.01f, "");
    b.addFloat ("reverb_earlyLevel", "Early", 0.0f, 1.5f, 0.55f, 0.01f, "");
    b.addFloat ("reverb_lateLevel", "Late", 0.0f, 1.5f, 1.18f, 0.01f, "");
    b.addFloat ("reverb_mix", "Mix", 0.0f, 1.0f, 0.2f, 0.01f, "");
    b.addFloat ("reverb_predelay", "Predelay", 0.0f, 200.0f, 0.0f, 1.0f, "ms");
    b.addFloat ("reverb_lpf", "LPF", 1000.0f, 20000.0f, 18000.0f, 1.0f, "Hz");
    b.addFloat ("reverb_radicalness", "X-Large", 0.0f, 1.0f, 0.0f, 0.01f, "");
    b.addFloat ("reverb_lowCut", "Low Cut", 20.0f, 1000.0f, 20.0f, 1.0f, "Hz");
    b.addFloat ("reverb_highShelfFreq", "High Shelf", 1000.0f, 16000.0f, 8000.0f, 10.0f, "Hz");
    b.addFloat ("reverb_highShelfGain", "HS Gain", -12.0f, 12.0f, 0.0f, 0.1f, "dB");
    b.addBool ("reverb_freeze", "Freeze", false);
    b.addBool ("reverb_monoCompatible", "Mono", false);
    b.addChoice ("reverb_shape", "Shape", { "Square", "Curved", "Round" }, 1);

    const juce::StringArray bandCounts { "3", "4", "5", "6", "8" };
    const juce::StringArray msChannels { "Mid", "Side" };
    const juce::StringArray gainRanges { "Surgical", "Mastering", "Full" };

    b.addBool ("eq_enabled", "EQ On", true);
    b.addChoice ("eq_bandCount", "EQ Bands", bandCounts, 0);
    b.addBool ("eq_msMode", "EQ M/S", false);
    b.addChoice ("eq_msChannel", "EQ Edit", msChannels, 0);
    b.addChoice ("eq_gainRange", "EQ Range", gainRanges, 2);
    b.addFloat ("eq_mix", "EQ Mix", 0.0f, 100.0f, 100.0f, 1.0f, "%");
    b.addEqChannelParams ("eq_", false);
    b.addEqChannelParams ("eq_s_", false);

    b.addBool ("dynamicEq_enabled", "D-EQ On", true);
    b.addChoice ("dynamicEq_bandCount", "D-EQ Bands", bandCounts, 1);
    b.addBool ("dynamicEq_msMode", "D-EQ M/S", false);
    b.addChoice ("dynamicEq_msChannel", "D-EQ Edit", msChannels, 0);
    b.addChoice ("dynamicEq_gainRange", "D-EQ Range", gainRanges, 2);
    b.addFloat ("dynamicEq_mix", "D-EQ Mix", 0.0f, 100.0f, 100.0f, 1.0f, "%");
    b.addEqChannelParams ("dynamicEq_", true);
    b.addEqChannelParams ("dynamicEq_s_", true);

    b.addMbcParams (false);

    b.addBool ("stereoImager_enabled", "IMG On", false);
    b.addFloat ("stereoImager_width", "Spread Hi", -3.0f, 3.0f, 1.0f, 0.01f, "");
    b.addFloat ("stereoImager_spreadLo", "Spread Lo", -3.0f, 3.0f, -1.0f, 0.01f, "");
    b.addFloat ("stereoImager_direction", "Direction", -180.0f, 180.0f, 0.0f, 1.0f, "deg");
    b.addLogFloat ("stereoImager_crossover", "Crossover", 20.0f, 2000.0f, 200.0f, 1.0f, "Hz");
    b.addFloat ("stereoImager_mix", "Mix", 0.0f, 100.0f, 100.0f, 1.0f, "%");
    b.addBool ("stereoImager_inputMs", "Input MS", false);
    b.addBool ("stereoImager_split", "Split", true);

    b.addBool ("tovu_enabled", "TOVU On", false);
    b.addLogFloat ("tovu_frequency", "Frequency", 20.0f, 500.0f, 120.0f, 1.0f, "Hz");
    b.addFloat ("tovu_width", "Width", 0.0f, 1.0f, 0.0f, 0.01f, "");
    b.addChoice ("tovu_slope", "Slope", { "12", "24" }, 1);

    b.addChoice ("masterMood", "Master Style", vyrMood::table().names, 0);
    return layout;
}

namespace vyrParams
{
int choiceIndex (float value, int count) noexcept
{
    if (count <= 0 || ! std::isfinite (value))
        return 0;
    const float r = std::nearbyint (value);   // default rounding mode: halves to even
    return (int) juce::jlimit (0.0f, (float) (count - 1), r);
}

void setPlainNotifying (juce::RangedAudioParameter& p, float plainValue)
{
    p.setValueNotifyingHost (p.convertTo0to1 (plainValue));
}
}

void vyrMirrorLinkedGains (juce::AudioProcessorValueTreeState& tree)
{
    if (auto* link = tree.getRawParameterValue ("linkLR"))
        if (link->load() < 0.5f)
            return;

    auto mirror = [&tree] (const char* leftId, const char* rightId)
    {
        auto* left = tree.getRawParameterValue (leftId);
        auto* right = tree.getParameter (rightId);
        if (left == nullptr || right == nullptr)
            return;
        const float l = left->load();
        const float r = right->convertFrom0to1 (right->getValue());
        if (std::abs (r - l) > 0.05f)
            right->setValueNotifyingHost (right->convertTo0to1 (l));
    };
    mirror ("inputGainL", "inputGainR");
    mirror ("outputGainL", "outputGainR");
}

void vyrSetLinkLR (juce::AudioProcessorValueTreeState& tree, bool on)
{
    if (auto* link = tree.getParameter ("linkLR"))
        link->setValueNotifyingHost (on ? 1.0f : 0.0f);
    if (on)
        vyrMirrorLinkedGains (tree);
}
