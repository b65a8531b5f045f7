// The parameter layout, its tapers and value texts, and gain linking.
#include <gtest/gtest.h>
#include "Core/PluginProcessor.h"
#include "Model/MoodTable.h"

namespace
{
enum class Kind { linear, log, makeup, boolean, choice };

struct Row
{
    const char* id;
    const char* name;
    Kind kind;
    float min, max, def, step;
    const char* unit;
    bool automatable;
};

Kind kindOf (juce::RangedAudioParameter& p)
{
    if (dynamic_cast<juce::AudioParameterBool*> (&p) != nullptr)
        return Kind::boolean;
    if (dynamic_cast<juce::AudioParameterChoice*> (&p) != nullptr)
        return Kind::choice;
    const auto& r = p.getNormalisableRange();
    // A linear float maps normalised 0.5 to the middle of its range.
    const float mid = r.convertFrom0to1 (0.5f);
    if (std::abs (mid - 0.5f * (r.start + r.end)) <= r.interval)
        return Kind::linear;
    return r.end == 24.0f && r.start == 0.0f ? Kind::makeup : Kind::log;
}

std::vector<juce::String> expectedIdOrder()
{
    std::vector<juce::String> ids;
    for (auto* id : { "inputGainL", "inputGainR", "outputGainL", "outputGainR", "linkLR", "bypass", "mono", "masterTrim",
                      "theme", "meteringMode", "masterMedium", "masterStyle", "masterLufs", "liveAnalysis",
                      "quarn_toneAng", "quarn_toneRad", "quarn_energy", "quarn_boost", "quarn_presence", "quarn_eqAng",
                      "quarn_spaceAng", "quarn_spaceRad", "quarn_reverbAng", "quarn_reverbRad" })
        ids.push_back (id);
    for (auto* s : { "enabled", "threshold", "ratio", "attack", "release", "knee", "makeup", "mix", "model", "character" })
        ids.push_back (juce::String ("compressor_") + s);
    for (auto* s : { "enabled", "inputGain", "ceiling", "release", "releaseMode", "lookahead", "stereoLink", "mix", "outputGain",
                     "truePeak", "dcBlocker", "msMode", "oversampling", "style", "styleXfade", "stylePos", "dither",
                     "noiseShape", "releaseShape", "scale" })
        ids.push_back (juce::String ("limiter_") + s);
    for (auto* s : { "enabled", "drive", "grit", "mix", "tone", "output", "mode" })
        ids.push_back (juce::String ("saturation_") + s);
    for (auto* s : { "enabled", "inputGain", "density", "saturation", "pentode", "triode", "output", "mix", "air", "airAmount",
                     "satIn", "altTube", "satFreq", "calibration" })
        ids.push_back (juce::String ("analogueDensity_") + s);
    for (auto* s : { "enabled", "inputGain", "drive", "symmetry", "mix", "outputGain", "clipFilterFreq", "clipFilterType", "tone",
                     "highShelfFreq", "highShelfGain", "lpFilterFreq" })
        ids.push_back (juce::String ("clip_") + s);
    for (auto* s : { "enabled", "preset", "speed", "inputGain", "drive", "saturation", "bias", "hysteresis", "wow", "flutter",
                     "noise", "headBump", "hfLoss", "mix", "outputGain" })
        ids.push_back (juce::String ("tape_") + s);
    for (auto* s : { "enabled", "time", "feedback", "mix", "xfadeMs", "bpm", "syncNote" })
        ids.push_back (juce::String ("delay_") + s);
    for (auto* s : { "enabled", "decay", "size", "diffuse", "color", "loFactor", "hiFactor", "earlyLevel", "lateLevel", "mix",
                     "predelay", "lpf", "radicalness", "lowCut", "highShelfFreq", "highShelfGain", "freeze", "monoCompatible", "shape" })
        ids.push_back (juce::String ("reverb_") + s);

    auto eqBlock = [&ids] (const juce::String& prefix, bool dynamic)
    {
        for (auto* s : { "enabled", "bandCount", "msMode", "msChannel", "gainRange", "mix" })
            ids.push_back (prefix + s);
        for (const juce::String channel : { prefix, prefix + "s_" })
        {
            for (const juce::String key : { "low", "m0", "m1", "m2", "m3", "m4", "m5", "high" })
            {
                const bool edge = key == "low" || key == "high";
                for (auto* s : { "Freq", "Gain", "On", "Solo" })
                    ids.push_back (channel + key + s);
                if (! edge)
                {
                    ids.push_back (channel + key + "Q");
                    if (! dynamic)
                        ids.push_back (channel + key + "Shape");
                }
                else
                {
                    ids.push_back (channel + key + "Slope");
                    ids.push_back (channel + key + "Cut");
                }
                if (dynamic)
                    for (auto* s : { "Thresh", "Ratio", "Atk", "Rel", "Sat", "Drive" })
                        ids.push_back (channel + key + s);
            }
        }
    };
    eqBlock ("eq_", false);
    eqBlock ("dynamicEq_", true);

    for (auto* s : { "enabled", "bandCount", "msMode", "msChannel", "globalMakeup", "mix" })
        ids.push_back (juce::String ("multiBandComp_") + s);
    for (const juce::String channel : { "multiBandComp_", "multiBandComp_s_" })
        for (int b = 0; b < 5; ++b)
            for (auto* s : { "Thresh", "Ratio", "Atk", "Rel", "Knee", "Makeup", "On", "Solo" })
                ids.push_back (channel + "b" + juce::String (b) + s);
    for (int x = 0; x < 4; ++x)
        ids.push_back ("multiBandComp_x" + juce::String (x));

    for (auto* s : { "enabled", "width", "spreadLo", "direction", "crossover", "mix", "inputMs", "split" })
        ids.push_back (juce::String ("stereoImager_") + s);
    for (auto* s : { "enabled", "frequency", "width", "slope" })
        ids.push_back (juce::String ("tovu_") + s);
    ids.push_back ("masterMood");
    return ids;
}

juce::Array<juce::RangedAudioParameter*> rangedParameters (juce::AudioProcessor& p)
{
    juce::Array<juce::RangedAudioParameter*> out;
    for (auto* param : p.getParameters())
        out.add (dynamic_cast<juce::RangedAudioParameter*> (param));
    return out;
}
} // namespace

TEST (ParameterLayout, OrderKindsAndAutomationMatchTheLayout)
{
    VyrAudioProcessor proc;
    const auto params = rangedParameters (proc);
    const auto expected = expectedIdOrder();
    ASSERT_EQ (expected.size(), 519u);
    ASSERT_EQ (params.size(), 519);

    int counts[5] {};
    int automatable = 0, sideTwins = 0;
    for (int i = 0; i < params.size(); ++i)
    {
        ASSERT_NE (params[i], nullptr);
        EXPECT_EQ (params[i]->paramID, expected[(size_t) i]) << "position " << i;
        EXPECT_EQ (params[i]->getVersionHint(), 1);
        ++counts[(int) kindOf (*params[i])];
        automatable += params[i]->isAutomatable() ? 1 : 0;
        EXPECT_EQ (params[i]->isAutomatable(), vyrQuarnHostVisibleParam (params[i]->paramID)) << params[i]->paramID;
        EXPECT_FALSE (params[i]->isMetaParameter());
        sideTwins += params[i]->paramID.contains ("_s_") ? 1 : 0;
    }
    EXPECT_EQ (counts[(int) Kind::linear], 213);
    EXPECT_EQ (counts[(int) Kind::log], 106);
    EXPECT_EQ (counts[(int) Kind::makeup], 10);
    EXPECT_EQ (counts[(int) Kind::boolean], 138);
    EXPECT_EQ (counts[(int) Kind::choice], 52);
    EXPECT_EQ (automatable, 29);
    EXPECT_EQ (sideTwins, 178);
}

TEST (ParameterLayout, RowsCarryTheirNamesRangesDefaultsAndUnits)
{
    static const Row rows[] = {
        { "inputGainL", "In L", Kind::linear, -60, 24, 0, 0.1f, "dB", false },
        { "linkLR", "Link LR", Kind::boolean, 0, 1, 1, 1, "", false },
        { "bypass", "Bypass", Kind::boolean, 0, 1, 0, 1, "", true },
        { "masterTrim", "Mastering Effect", Kind::linear, -50, 50, 0, 0.5f, "%", true },
        { "theme", "Theme", Kind::choice, 0, 5, 0, 1, "", false },
        { "masterMedium", "Master Medium", Kind::choice, 0, 7, 3, 1, "", true },
        { "masterStyle", "Style Chip", Kind::choice, 0, 6, 5, 1, "", true },
        { "masterLufs", "Target LUFS", Kind::choice, 0, 4, 2, 1, "", true },
        { "liveAnalysis", "LIVE", Kind::choice, 0, 2, 0, 1, "", true },
        { "quarn_toneAng", "QUARN Tone Angle", Kind::linear, 0, 1, 0.25f, 0.0001f, "", true },
        { "quarn_eqAng", "QUARN Lane EQ", Kind::linear, 0, 1, 0, 0.0001f, "", true },
        { "compressor_ratio", "Ratio", Kind::linear, 1, 20, 4, 0.1f, ":1", false },
        { "compressor_attack", "Attack", Kind::linear, 0.001f, 0.3f, 0.003f, 0.001f, "s", false },
        { "compressor_character", "Character", Kind::choice, 0, 4, 0, 1, "", false },
        { "limiter_ceiling", "Ceiling", Kind::linear, -6, 0, -0.1f, 0.05f, "dB", false },
        { "limiter_release", "Release", Kind::linear, 0.005f, 0.5f, 0.05f, 0.005f, "s", false },
        { "limiter_mix", "Mix", Kind::linear, 0, 100, 100, 1, "%", true },
        { "limiter_releaseShape", "Rel Shape", Kind::choice, 0, 2, 1, 1, "", false },
        { "saturation_tone", "Tone", Kind::linear, 2000, 20000, 12000, 1, "Hz", false },
        { "analogueDensity_mix", "Mix", Kind::linear, 0, 100, 20, 1, "%", true },
        { "clip_clipFilterFreq", "Clip Freq", Kind::linear, 20, 20000, 4400, 1, "Hz", false },
        { "tape_preset", "Machine", Kind::choice, 0, 7, 0, 1, "", false },
        { "delay_time", "Time", Kind::linear, 0.01f, 1.5f, 0.25f, 0.001f, "s", false },
        { "reverb_highShelfFreq", "High Shelf", Kind::linear, 1000, 16000, 8000, 10, "Hz", false },
        { "reverb_shape", "Shape", Kind::choice, 0, 2, 1, 1, "", false },
        { "eq_bandCount", "EQ Bands", Kind::choice, 0, 4, 0, 1, "", false },
        { "eq_m0Freq", "M1 Freq", Kind::log, 20, 20000, 250, 1, "Hz", false },
        { "eq_m5Freq", "M6 Freq", Kind::log, 20, 20000, 4500, 1, "Hz", false },
        { "eq_s_lowFreq", "Low Freq", Kind::log, 20, 20000, 200, 1, "Hz", false },
        { "eq_highSlope", "High Slope", Kind::choice, 0, 3, 0, 1, "", false },
        { "eq_m3Shape", "M4 Shape", Kind::choice, 0, 4, 0, 1, "", false },
        { "dynamicEq_bandCount", "D-EQ Bands", Kind::choice, 0, 4, 1, 1, "", false },
        { "dynamicEq_highRel", "High Rel", Kind::log, 0.01f, 1, 0.2f, 0.01f, "s", false },
        { "dynamicEq_s_m2Ratio", "M3 Ratio", Kind::log, 1, 12, 1, 0.1f, "", false },
        { "multiBandComp_b0Thresh", "B1 Th", Kind::linear, -60, 0, -18, 0.5f, "dB", false },
        { "multiBandComp_s_b4Makeup", "B5 Makeup", Kind::makeup, 0, 24, 0, 0.1f, "dB", false },
        { "multiBandComp_x3", "Xover 4", Kind::log, 30, 18000, 3454, 1, "Hz", false },
        { "stereoImager_crossover", "Crossover", Kind::log, 20, 2000, 200, 1, "Hz", false },
        { "stereoImager_direction", "Direction", Kind::linear, -180, 180, 0, 1, "deg", false },
        { "tovu_frequency", "Frequency", Kind::log, 20, 500, 120, 1, "Hz", false },
        { "masterMood", "Master Style", Kind::choice, 0, 176, 0, 1, "", true },
    };

    VyrAudioProcessor proc;
    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.id);
        auto* p = proc.apvts.getParameter (row.id);
        ASSERT_NE (p, nullptr);
        EXPECT_EQ (p->getName (64), row.name);
        EXPECT_EQ (kindOf (*p), row.kind);
        EXPECT_EQ (p->isAutomatable(), row.automatable);
        EXPECT_EQ (p->getLabel(), row.unit);
        const auto& r = p->getNormalisableRange();
        EXPECT_FLOAT_EQ (r.start, row.min);
        EXPECT_FLOAT_EQ (r.end, row.max);
        EXPECT_NEAR (p->convertFrom0to1 (p->getDefaultValue()), row.def, 1.0e-4f);
        if (row.kind != Kind::boolean && row.kind != Kind::choice)
            EXPECT_FLOAT_EQ (r.interval, row.step);
    }
}

TEST (ParameterLayout, SameLayoutForEveryProduct)
{
    VyrAudioProcessor reference (15);
    const auto ref = rangedParameters (reference);
    for (int product = 0; product < 16; ++product)
    {
        VyrAudioProcessor proc (product);
        const auto params = rangedParameters (proc);
        ASSERT_EQ (params.size(), ref.size());
        for (int i = 0; i < params.size(); ++i)
            ASSERT_EQ (params[i]->paramID, ref[i]->paramID);
    }
}

TEST (ParameterLayout, HostVisibilityIsCaseSensitive)
{
    EXPECT_TRUE (vyrQuarnHostVisibleParam ("bypass"));
    EXPECT_FALSE (vyrQuarnHostVisibleParam ("Bypass"));
    EXPECT_FALSE (vyrQuarnHostVisibleParam ("limiter_inputGain"));
    EXPECT_TRUE (vyrQuarnHostVisibleParam ("limiter_mix"));
}

TEST (ParameterLayout, LogAndMakeupTapers)
{
    VyrAudioProcessor proc;
    auto* freq = proc.apvts.getParameter ("eq_m0Freq");
    EXPECT_FLOAT_EQ (freq->convertFrom0to1 (0.0f), 20.0f);
    EXPECT_NEAR (freq->convertFrom0to1 (1.0f), 20000.0f, 0.5f);
    freq->setValueNotifyingHost (0.5f);
    EXPECT_FLOAT_EQ (proc.apvts.getRawParameterValue ("eq_m0Freq")->load(), 632.0f);   // 632.46 snapped to 1 Hz
    EXPECT_FLOAT_EQ (freq->convertTo0to1 (5.0f), 0.0f);
    EXPECT_FLOAT_EQ (freq->convertTo0to1 (std::numeric_limits<float>::quiet_NaN()), 0.0f);

    auto* makeup = proc.apvts.getParameter ("multiBandComp_b2Makeup");
    EXPECT_FLOAT_EQ (makeup->convertFrom0to1 (0.0f), 0.0f);
    EXPECT_NEAR (makeup->convertFrom0to1 (1.0f), 24.0f, 1.0e-3f);
    EXPECT_NEAR (makeup->getNormalisableRange().convertFrom0to1 (0.5f), 0.1f * std::sqrt (240.0f), 1.0e-3f);
    makeup->setValueNotifyingHost (0.5f);
    EXPECT_NEAR (proc.apvts.getRawParameterValue ("multiBandComp_b2Makeup")->load(), 1.5f, 1.0e-5f);
    EXPECT_FLOAT_EQ (makeup->convertTo0to1 (0.0f), 0.0f);
    EXPECT_FLOAT_EQ (makeup->convertTo0to1 (0.1f), 0.0f);
}

TEST (ParameterLayout, ValueTextsUseTheStepsDecimals)
{
    VyrAudioProcessor proc;
    struct Case { const char* id; const char* text; };
    const Case cases[] = {
        { "limiter_ceiling", "-0.10" },
        { "quarn_toneAng", "0.2500" },
        { "eq_lowFreq", "200" },
        { "compressor_attack", "0.003" },
        { "limiter_release", "0.050" },
        { "inputGainL", "0.0" },
        { "masterStyle", "Medium" },
        { "masterMood", "Preset" },
    };
    for (const auto& c : cases)
    {
        auto* p = proc.apvts.getParameter (c.id);
        EXPECT_EQ (p->getCurrentValueAsText(), c.text) << c.id;
    }
}

TEST (ParameterLayout, MoodChoicesComeFromTheMoodTable)
{
    VyrAudioProcessor proc;
    auto* mood = dynamic_cast<juce::AudioParameterChoice*> (proc.apvts.getParameter ("masterMood"));
    ASSERT_NE (mood, nullptr);
    EXPECT_EQ (mood->choices.size(), 177);
    EXPECT_EQ (mood->choices[0], "Preset");
    EXPECT_EQ (mood->choices[1], "Chill - Soft Launch");
}

TEST (GainLinking, MirrorsLeftGainsWhileLinked)
{
    VyrAudioProcessor proc;
    auto& t = proc.apvts;
    auto value = [&t] (const char* id) { return t.getRawParameterValue (id)->load(); };
    auto set = [&t] (const char* id, float v) { auto* p = t.getParameter (id); p->setValueNotifyingHost (p->convertTo0to1 (v)); };

    set ("inputGainL", -3.0f);   // the processor's listener mirrors
    EXPECT_NEAR (value ("inputGainR"), -3.0f, 1.0e-4f);
    EXPECT_NEAR (value ("outputGainR"), 0.0f, 1.0e-4f);

    set ("inputGainR", 5.0f);    // a right gain moved by itself keeps its value...
    EXPECT_NEAR (value ("inputGainR"), 5.0f, 1.0e-4f);
    set ("outputGainL", -1.0f);  // ...until a left gain or the link changes
    EXPECT_NEAR (value ("inputGainR"), -3.0f, 1.0e-4f);
    EXPECT_NEAR (value ("outputGainR"), -1.0f, 1.0e-4f);

    vyrSetLinkLR (t, false);
    EXPECT_LT (value ("linkLR"), 0.5f);
    set ("inputGainL", 6.0f);
    EXPECT_NEAR (value ("inputGainR"), -3.0f, 1.0e-4f);

    vyrSetLinkLR (t, true);
    EXPECT_NEAR (value ("inputGainR"), 6.0f, 1.0e-4f);
}

TEST (GainLinking, WritesNothingWithinTolerance)
{
    VyrAudioProcessor proc;
    auto& t = proc.apvts;
    struct Counter : juce::AudioProcessorParameter::Listener
    {
        int changes = 0;
        void parameterValueChanged (int, float) override { ++changes; }
        void parameterGestureChanged (int, bool) override {}
    } counter;
    vyrSetLinkLR (t, false);
    t.getParameter ("inputGainL")->setValueNotifyingHost (t.getParameter ("inputGainL")->convertTo0to1 (0.0f));
    t.getParameter ("inputGainR")->setValueNotifyingHost (t.getParameter ("inputGainR")->convertTo0to1 (0.0f));
    t.getParameter ("inputGainR")->addListener (&counter);
    vyrSetLinkLR (t, true);
    EXPECT_EQ (counter.changes, 0);
    t.getParameter ("inputGainR")->removeListener (&counter);
}
