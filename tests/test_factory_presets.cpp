// Factory preset table, its application to the parameters and the processor's preset recall.
#include "RecipeTestUtil.h"
#include "Model/FactoryPresets.h"

using namespace vyrRecipeTest;

namespace
{
bool on (VyrAudioProcessor& p, const char* id)
{
    return value (p, id) >= 0.5f;
}

// Columns of the preset table: index 0..16.
struct Expected
{
    const char* switches;   // eq comp lim tape sat mbc den deq img, '1' on
    float eqLowFreq, eqHighGain, compRatio, limCeiling;
    int limStyle, mbcBands;
    float imgWidth;
    int medium, style, lufs;
};

const Expected kExpected[17] = {
    { "000000000", 80, 0, 4, -1, 0, 3, 1, 3, 5, 2 },
    { "111101010", 55, 1.5f, 2.5f, -1, 0, 3, 1, 6, 5, 2 },
    { "111011000", 45, 2, 4, -0.5f, 1, 4, 1, 7, 0, 4 },
    { "111000001", 30, 1, 1.8f, -2, 0, 3, 1.2f, 0, 2, 0 },
    { "111000000", 80, 1.5f, 4, -1, 0, 3, 1, 1, 6, 1 },
    { "111001000", 50, 2.5f, 4, -0.5f, 2, 3, 1, 2, 4, 4 },
    { "111110100", 40, -1.5f, 2, -1, 3, 3, 1, 3, 1, 2 },
    { "111100000", 60, -2, 2.2f, -1, 3, 3, 1, 6, 6, 2 },
    { "111011100", 70, 1.5f, 4, -1, 1, 3, 1, 4, 4, 3 },
    { "101000001", 30, 0.5f, 4, -2, 4, 3, 1.2f, 0, 2, 0 },
    { "101011000", 40, 2.5f, 4, -0.5f, 1, 4, 1, 7, 0, 4 },
    { "111001001", 50, 2, 3.5f, -1, 2, 3, 1.3f, 6, 4, 4 },
    { "111100000", 45, 1.2f, 2, -1, 0, 3, 1, 3, 5, 2 },
    { "101011001", 38, 2, 4, -0.5f, 1, 4, 1.35f, 7, 4, 4 },
    { "111100001", 50, 0.8f, 1.8f, -1, 3, 3, 1.1f, 3, 1, 2 },
    { "111000000", 60, 1, 3, -1, 0, 3, 1, 5, 5, 1 },
    { "111000100", 50, 1, 2.2f, -1, 0, 3, 1, 3, 5, 2 },
};

const char* const kSwitchIds[9] = { "eq_enabled", "compressor_enabled", "limiter_enabled", "tape_enabled", "saturation_enabled",
                                    "multiBandComp_enabled", "analogueDensity_enabled", "dynamicEq_enabled", "stereoImager_enabled" };
}

TEST (FactoryPresetTable, RecordsAndTexts)
{
    EXPECT_EQ (&vyrFactory::get (-3), &vyrFactory::get (0));
    EXPECT_EQ (&vyrFactory::get (40), &vyrFactory::get (16));

    for (int i = 0; i < vyrFactory::kNumPresets; ++i)
    {
        const auto& r = vyrFactory::get (i);
        const auto& e = kExpected[i];
        const bool switches[9] = { r.eq_enabled, r.compressor_enabled, r.limiter_enabled, r.tape_enabled, r.saturation_enabled,
                                   r.multiBandComp_enabled, r.analogueDensity_enabled, r.dynamicEq_enabled, r.stereoImager_enabled };
        for (int k = 0; k < 9; ++k)
            EXPECT_EQ (switches[k], e.switches[k] == '1') << "preset " << i << " " << kSwitchIds[k];
        EXPECT_FLOAT_EQ (r.eq_lowFreq, e.eqLowFreq) << i;
        EXPECT_FLOAT_EQ (r.eq_highGain, e.eqHighGain) << i;
        EXPECT_FLOAT_EQ (r.compressor_ratio, e.compRatio) << i;
        EXPECT_FLOAT_EQ (r.limiter_ceiling, e.limCeiling) << i;
        EXPECT_EQ (r.limiter_style, e.limStyle) << i;
        EXPECT_EQ (r.multiBandComp_bandCount, e.mbcBands) << i;
        EXPECT_FLOAT_EQ (r.stereoImager_width, e.imgWidth) << i;
        EXPECT_EQ (r.medium, e.medium) << i;
        EXPECT_EQ (r.style, e.style) << i;
        EXPECT_EQ (r.lufs, e.lufs) << i;
        EXPECT_EQ (r.targetLufs, vyrFactory::kTargetLufs[i]) << i;
        EXPECT_EQ (r.eq_bandCount, 4);
        EXPECT_FLOAT_EQ (r.multiBandComp_x3, 8000.0f);
        EXPECT_FLOAT_EQ (r.dynamicEq_mix, 100.0f);
        if (! r.stereoImager_enabled)
            EXPECT_FLOAT_EQ (r.stereoImager_width, 1.0f) << i;
        for (float t : { r.multiBandComp_b0Thresh, r.multiBandComp_b1Thresh, r.multiBandComp_b2Thresh, r.multiBandComp_b3Thresh })
            EXPECT_LT (t, -9.0f) << i;   // every band carries settings, also with the module off
        EXPECT_GT (std::strlen (vyrFactory::kNames[i]), 3u);
        EXPECT_GT (std::strlen (vyrFactory::kInfo[i]), 20u);
    }
    EXPECT_STREQ (vyrFactory::kNames[2], "Club Banger");
    EXPECT_EQ (vyrFactory::kTargetLufs[2], -8.0f);
    EXPECT_EQ (vyrFactory::kTargetLufs[15], -18.0f);
    EXPECT_EQ (vyrFactory::get (15).lufs, 1);
}

TEST (FactoryPresetApply, EveryPresetWritesItsModules)
{
    for (int i = 1; i < vyrFactory::kNumPresets; ++i)
    {
        VyrAudioProcessor p;
        for (auto* id : { "clip_enabled", "delay_enabled", "reverb_enabled", "tovu_enabled" })
            vyrTest::setParam (p, id, 1.0f);
        p.currentMood = 5;
        p.applyFactoryPreset (i);

        const auto& e = kExpected[i];
        for (int k = 0; k < 9; ++k)
            EXPECT_EQ (on (p, kSwitchIds[k]), e.switches[k] == '1') << "preset " << i << " " << kSwitchIds[k];
        EXPECT_FALSE (on (p, "clip_enabled")) << i;
        for (auto* id : { "delay_enabled", "reverb_enabled", "tovu_enabled" })
            EXPECT_TRUE (on (p, id)) << i << " " << id;

        EXPECT_PARAM (p, "eq_lowFreq", e.eqLowFreq);
        EXPECT_PARAM (p, "eq_highGain", e.eqHighGain);
        EXPECT_PARAM (p, "eq_bandCount", 1);
        EXPECT_TRUE (on (p, "eq_m0On"));
        EXPECT_PARAM (p, "compressor_ratio", e.switches[1] == '1' ? e.compRatio : 4.0f) << i;
        EXPECT_PARAM (p, "limiter_ceiling", e.limCeiling);
        EXPECT_PARAM (p, "limiter_style", e.limStyle);
        EXPECT_PARAM (p, "limiter_mix", 100.0f);
        EXPECT_PARAM (p, "multiBandComp_bandCount", e.switches[5] == '1' ? e.mbcBands - 1 : 3) << i;
        if (e.switches[8] == '1')
        {
            EXPECT_PARAM (p, "stereoImager_width", e.imgWidth);
            EXPECT_PARAM (p, "stereoImager_spreadLo", -e.imgWidth);
            EXPECT_TRUE (on (p, "stereoImager_split"));
        }

        EXPECT_PARAM (p, "masterMedium", e.medium);
        EXPECT_PARAM (p, "masterStyle", e.style);
        EXPECT_PARAM (p, "masterLufs", e.lufs);
        EXPECT_EQ (p.mediumIndex.load(), e.medium);
        EXPECT_EQ (p.styleIndex.load(), e.style);
        EXPECT_EQ (p.lufsIndex.load(), e.lufs);
        EXPECT_EQ (p.factoryPresetIndex.load(), i);
        EXPECT_EQ (p.currentMood.load(), -1);
        EXPECT_PARAM (p, "masterMood", 0);
    }
}

TEST (FactoryPresetRecall, ThePresetIsNotOverwrittenByItsStyleRecipe)
{
    VyrAudioProcessor p;   // the edition product listens for style changes
    p.applyFactoryPreset (2);   // Club Banger, style EDM
    vyrTest::serveRequests (p);
    EXPECT_EQ (p.pendingBits.load(), 0);
    EXPECT_PARAM (p, "masterStyle", 0);
    EXPECT_PARAM (p, "eq_lowFreq", 45.0f);
    EXPECT_PARAM (p, "compressor_ratio", 4.0f);
    EXPECT_PARAM (p, "multiBandComp_bandCount", 3);
    EXPECT_FALSE (on (p, "clip_enabled"));
    EXPECT_FALSE (p.applyingRecipe.load());

    vyrTest::setParam (p, "liveAnalysis", 2.0f);
    p.live.setMode (2);
    p.live.userHold = false;
    p.applyFactoryPreset (5);
    EXPECT_TRUE (p.live.userHold.load()) << "in Arm the user's preset holds";
}

TEST (FactoryPresetApply, SwitchGesturesStepsAndUntouchedModules)
{
    VyrAudioProcessor p;
    vyrTest::setParam (p, "compressor_enabled", 1.0f);
    HostView host (p);
    p.applyFactoryPreset (1);
    // Modules already on are switched off and on again: two gestures each.
    EXPECT_EQ (host.beginsOf ("eq_enabled"), 2);
    EXPECT_EQ (host.beginsOf ("compressor_enabled"), 2);
    EXPECT_EQ (host.beginsOf ("dynamicEq_enabled"), 2);
    EXPECT_EQ (host.totalBegins, host.totalEnds);
    // Settings already holding their value are skipped (dynamic EQ band count "4" is the default).
    EXPECT_EQ (host.beginsOf ("dynamicEq_bandCount"), 0);
    // Values land on the parameter's step: multiband ratios 1.8 and 1.6 become 2 and 1.5.
    EXPECT_FLOAT_EQ (value (p, "multiBandComp_b0Ratio"), 2.0f);
    EXPECT_FLOAT_EQ (value (p, "multiBandComp_b1Ratio"), 1.5f);

    // A module the preset leaves off keeps its other settings.
    vyrTest::setParam (p, "compressor_ratio", 10.0f);
    p.applyFactoryPreset (9);
    EXPECT_FALSE (on (p, "compressor_enabled"));
    EXPECT_FLOAT_EQ (value (p, "compressor_ratio"), 10.0f);

    // Above the table: the last preset.
    p.applyFactoryPreset (20);
    EXPECT_EQ (p.factoryPresetIndex.load(), 16);
    EXPECT_TRUE (on (p, "analogueDensity_enabled"));
    EXPECT_PARAM (p, "analogueDensity_mix", 70.0f);
}

TEST (FactoryPresetApply, IndexZeroResetsEveryParameterWithoutGestures)
{
    VyrAudioProcessor p;
    vyrTest::setParam (p, "compressor_ratio", 10.0f);
    vyrTest::setParam (p, "theme", 3.0f);
    HostView host (p);
    vyrFactory::applyToApvts (p.apvts, 0);
    EXPECT_EQ (host.totalChanges, (int) p.getParameters().size());
    EXPECT_EQ ((int) host.changes.size(), (int) p.getParameters().size());
    EXPECT_EQ (host.totalBegins, 0);
    EXPECT_FLOAT_EQ (value (p, "compressor_ratio"), 4.0f);
    EXPECT_FLOAT_EQ (value (p, "theme"), 0.0f);
}

TEST (FactoryPresetRecall, PresetZeroRestoresTheInitialState)
{
    for (int index : { 0, -3 })
    {
        VyrAudioProcessor p;
        p.applyFactoryPreset (2);
        vyrTest::setParam (p, "linkLR", 0.0f);
        vyrTest::setParam (p, "inputGainL", -6.0f);
        p.fxOrder[0] = 12;
        p.fxOrder[12] = 0;
        p.section.count = 3;
        p.section.letters[2] = 9;
        p.themeIndex = 4;
        p.currentMood = 7;
        p.utilFreq = 440.0f;
        p.playerGain = 0.2f;
        p.sectionAnalysed = true;
        p.overallLufs = -12.0f;
        const int version = p.stateVersion.load();

        p.applyFactoryPreset (index);
        EXPECT_EQ (p.factoryPresetIndex.load(), 0);
        for (auto* param : p.getParameters())
        {
            auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (param);
            EXPECT_FLOAT_EQ (ranged->getValue(), ranged->getDefaultValue()) << ranged->paramID;
        }
        for (int i = 0; i < 13; ++i)
            EXPECT_EQ (p.fxOrder[i], i);
        EXPECT_EQ (p.section.count, 5);
        EXPECT_EQ (p.section.letters[2], 2);
        EXPECT_FLOAT_EQ (p.section.cues[3], 0.8f);
        EXPECT_EQ (p.themeIndex.load(), 0);
        EXPECT_EQ (p.mediumIndex.load(), 3);
        EXPECT_EQ (p.styleIndex.load(), 5);
        EXPECT_EQ (p.lufsIndex.load(), 2);
        EXPECT_EQ (p.currentMood.load(), -1);
        EXPECT_FLOAT_EQ (p.utilFreq.load(), 1000.0f);
        EXPECT_FLOAT_EQ (p.playerGain.load(), 0.8f);
        EXPECT_FALSE (p.sectionAnalysed);
        EXPECT_FLOAT_EQ (p.overallLufs, -100.0f);
        EXPECT_FALSE (p.restoring.load());
        EXPECT_EQ (p.stateVersion.load(), version + 1);
        EXPECT_FLOAT_EQ (value (p, "inputGainR"), 0.0f);   // gains linked again

        // A second reset changes no parameter but still moves the state version on.
        p.recallInitState();
        EXPECT_EQ (p.stateVersion.load(), version + 2);
        for (auto* param : p.getParameters())
        {
            auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (param);
            EXPECT_FLOAT_EQ (ranged->getValue(), ranged->getDefaultValue());
        }
    }
}

TEST (FactoryPresetRecall, ResetIsOneUndoStep)
{
    VyrAudioProcessor p;
    // The tree takes parameter values over on its own timer, whose interval grows while idle: wait
    // for the value itself rather than for a fixed time.
    const auto inTree = [&p] (float plain)
    {
        return vyrTest::pumpUntil ([&p, plain]
        {
            const auto v = p.apvts.state.getChildWithProperty ("id", "compressor_ratio").getProperty ("value");
            return ! v.isVoid() && std::abs ((float) v - plain) < 1.0e-4f;
        });
    };
    vyrTest::setParam (p, "compressor_ratio", 10.0f);
    ASSERT_TRUE (inTree (10.0f));
    p.undoManager.beginNewTransaction();
    p.recallInitState();
    EXPECT_TRUE (inTree (4.0f));
    EXPECT_FLOAT_EQ (value (p, "compressor_ratio"), 4.0f);
    EXPECT_TRUE (p.undoManager.canUndo());
    EXPECT_EQ (p.undoManager.getUndoDescription(), "Init");
}
