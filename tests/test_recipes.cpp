// Style, medium and loudness recipes, the QUARN and SPACE mapping and the recipe glide, checked
// through the parameter tree and through what the host sees.
#include "RecipeTestUtil.h"
#include "Model/QuarnPresets.h"

using namespace vyrRecipeTest;

namespace
{
constexpr float k7_12 = 0.5833334f;
constexpr float k11_12 = 0.9166667f;

void setPlain (VyrAudioProcessor& p, const char* id, float plain)
{
    asRecipe (p, [&] { vyrTest::setParam (p, id, plain); });
}

bool on (VyrAudioProcessor& p, const char* id)
{
    return value (p, id) >= 0.5f;
}

// Temporarily changes a recipe table entry (the tables are process-wide).
struct StyleRowOverride
{
    explicit StyleRowOverride (int row) : index (row), saved (vyrQuarn::gStyleRecipes[row]) {}
    ~StyleRowOverride() { vyrQuarn::gStyleRecipes[index] = saved; }
    int index;
    vyrQuarn::StyleRecipe saved;
};
}

//==============================================================================
TEST (StyleRecipe, StyleClickWritesLoudnessStyleAndMapping)
{
    VyrAudioProcessor p;
    HostView host (p);
    asRecipe (p, [&] { vyrQuarn::applyChips (p.apvts, 0, 2, -1); });   // EDM at -14

    EXPECT_PARAM (p, "masterStyle", 0);
    EXPECT_PARAM (p, "masterMedium", 3);   // untouched
    EXPECT_PARAM (p, "masterLufs", 2);

    // Loudness recipe -14
    EXPECT_TRUE (on (p, "limiter_enabled"));
    EXPECT_TRUE (on (p, "limiter_truePeak"));
    EXPECT_PARAM (p, "limiter_ceiling", -1.0f);
    EXPECT_PARAM (p, "limiter_inputGain", 3.5f);
    EXPECT_PARAM (p, "limiter_release", 0.06f);
    EXPECT_PARAM (p, "limiter_oversampling", 1);
    EXPECT_PARAM (p, "limiter_scale", 4);
    EXPECT_PARAM (p, "meteringMode", 2);
    EXPECT_PARAM (p, "masterTrim", 0.0f);

    // Style recipe EDM (boost capped at 0.50 by the loudness)
    EXPECT_PARAM (p, "quarn_toneAng", k7_12);
    EXPECT_PARAM (p, "quarn_toneRad", 0.70f);
    EXPECT_PARAM (p, "quarn_energy", k7_12);
    EXPECT_PARAM (p, "quarn_boost", 0.50f);
    EXPECT_PARAM (p, "quarn_presence", k11_12);
    EXPECT_PARAM (p, "quarn_spaceAng", 0.0f);
    EXPECT_PARAM (p, "quarn_spaceRad", 0.08f);
    EXPECT_PARAM (p, "quarn_reverbAng", 0.0f);
    EXPECT_PARAM (p, "quarn_reverbRad", 0.04f);
    EXPECT_PARAM (p, "limiter_style", 1);

    const struct { const char* id; float plain; } mixes[] = {
        { "compressor_mix", 85.0f }, { "saturation_mix", 0.30f }, { "analogueDensity_mix", 22.0f }, { "clip_mix", 0.18f },
        { "tape_mix", 0.12f }, { "delay_mix", 0.12f }, { "reverb_mix", 0.08f }, { "eq_mix", 100.0f },
        { "dynamicEq_mix", 35.0f }, { "multiBandComp_mix", 90.0f }, { "stereoImager_mix", 55.0f }, { "limiter_mix", 100.0f },
    };
    for (const auto& m : mixes)
        EXPECT_PARAM (p, m.id, m.plain);

    for (auto* id : { "eq_enabled", "compressor_enabled", "multiBandComp_enabled", "tape_enabled", "dynamicEq_enabled",
                      "stereoImager_enabled", "saturation_enabled", "analogueDensity_enabled", "clip_enabled" })
        EXPECT_TRUE (on (p, id)) << id;
    EXPECT_PARAM (p, "stereoImager_width", 1.65f);
    EXPECT_PARAM (p, "stereoImager_spreadLo", -1.65f);

    // The mapping ran on the new polar values: tone on "low" at radius 0.7, energy on "punch".
    EXPECT_PARAM (p, "eq_lowGain", 3.36f);
    EXPECT_PARAM (p, "compressor_character", 2);
    EXPECT_PARAM (p, "compressor_ratio", 3.9f);
    EXPECT_PARAM (p, "compressor_makeup", 2.2f + 1.6f);
    EXPECT_TRUE (on (p, "delay_enabled"));
    EXPECT_PARAM (p, "delay_time", 0.04f + 0.08f * 0.11f);
    EXPECT_FALSE (on (p, "reverb_enabled"));   // radius 0.04 is not above the gate

    // Every changed parameter reached the host in exactly one gesture of its own.
    EXPECT_GT (host.totalBegins, 60);
    EXPECT_EQ (host.totalBegins, host.totalEnds);
    EXPECT_EQ (host.maxBeginsPerParameter(), 1);
    EXPECT_EQ (host.totalBegins, host.totalChanges);

    // The same click again finds every value in place: nothing reaches the host.
    host.reset();
    asRecipe (p, [&] { vyrQuarn::applyChips (p.apvts, 0, 2, -1); });
    EXPECT_EQ (host.totalChanges, 0);
    EXPECT_EQ (host.totalBegins, 0);
}

TEST (StyleRecipe, SwitchesAndBoostForEveryStyleAndLoudness)
{
    // tape, saturation, analogueDensity, clip, dynamicEq, stereoImager
    const bool switches[7][6] = {
        { true, true, true, true, true, true },      // EDM
        { false, true, true, true, true, true },     // Jazz
        { false, false, false, false, true, true },  // Classical
        { false, true, true, true, true, true },     // Independent
        { false, true, true, true, true, true },     // Loud
        { false, true, true, true, true, true },     // Medium
        { true, true, true, true, true, true },      // Soft
    };
    const float boost[7][5] = {
        { 0.18f, 0.36f, 0.50f, 0.58f, 0.58f }, { 0.18f, 0.20f, 0.20f, 0.20f, 0.20f }, { 0.03f, 0.03f, 0.03f, 0.03f, 0.03f },
        { 0.18f, 0.30f, 0.30f, 0.30f, 0.30f }, { 0.18f, 0.36f, 0.50f, 0.70f, 0.70f }, { 0.18f, 0.32f, 0.32f, 0.32f, 0.32f },
        { 0.08f, 0.08f, 0.08f, 0.08f, 0.08f },
    };
    const char* ids[6] = { "tape_enabled", "saturation_enabled", "analogueDensity_enabled", "clip_enabled",
                           "dynamicEq_enabled", "stereoImager_enabled" };

    VyrAudioProcessor p;
    HostView host (p);
    for (int style = 0; style < 7; ++style)
    {
        for (int lufs = 0; lufs < 5; ++lufs)
        {
            asRecipe (p, [&] { vyrQuarn::applyChips (p.apvts, style, lufs, -1); });
            for (int k = 0; k < 6; ++k)
                EXPECT_EQ (on (p, ids[k]), switches[style][k]) << "style " << style << " lufs " << lufs << " " << ids[k];
            EXPECT_PARAM (p, "quarn_boost", boost[style][lufs]);
            for (auto* id : { "eq_enabled", "limiter_enabled", "compressor_enabled", "multiBandComp_enabled" })
                EXPECT_TRUE (on (p, id));
            EXPECT_PARAM (p, "stereoImager_width", 1.65f);
            EXPECT_PARAM (p, "stereoImager_spreadLo", -1.65f);

            // The mapping on its own (a QUARN move) agrees with every switch the recipe set.
            host.reset();
            vyrQuarn::apply (p.apvts, false);
            EXPECT_EQ (host.totalChanges, 0) << "style " << style << " lufs " << lufs;
        }
    }
}

TEST (StyleRecipe, ChipArgumentsAreClampedAndMediumIsOptional)
{
    VyrAudioProcessor p;
    asRecipe (p, [&] { vyrQuarn::applyChips (p.apvts, 9, -3, 12); });
    EXPECT_PARAM (p, "masterStyle", 6);
    EXPECT_PARAM (p, "masterMedium", 7);
    EXPECT_PARAM (p, "masterLufs", 0);
    EXPECT_PARAM (p, "limiter_ceiling", -2.0f);   // loudness recipe 0
    EXPECT_PARAM (p, "quarn_boost", 0.08f);       // Soft

    asRecipe (p, [&] { vyrQuarn::applyChips (p.apvts, 1, 3, -1); });
    EXPECT_PARAM (p, "masterMedium", 7);
    asRecipe (p, [&] { vyrQuarn::applyChips (p.apvts, 1, 3, 0); });
    EXPECT_PARAM (p, "masterMedium", 0);
    EXPECT_PARAM (p, "masterLufs", 3);   // the medium alone does not change the loudness
}

TEST (StyleRecipe, StyleReadsTheCurrentLoudnessAndLeavesAQuietImagerAlone)
{
    VyrAudioProcessor p;
    setPlain (p, "masterLufs", 0.0f);
    asRecipe (p, [&] { vyrQuarn::applyStyle (p.apvts, 1); });   // Jazz, boost 0.20 capped at 0.18
    EXPECT_PARAM (p, "quarn_boost", 0.18f);
    EXPECT_PARAM (p, "masterStyle", 5);   // applyStyle does not write the choice

    StyleRowOverride keep (1);
    vyrQuarn::gStyleRecipes[1].mix.img = 0.08f;
    setPlain (p, "stereoImager_width", 2.5f);
    setPlain (p, "stereoImager_spreadLo", 0.5f);
    asRecipe (p, [&] { vyrQuarn::applyStyle (p.apvts, 1); });
    EXPECT_FALSE (on (p, "stereoImager_enabled"));
    EXPECT_PARAM (p, "stereoImager_width", 2.5f);
    EXPECT_PARAM (p, "stereoImager_spreadLo", 0.5f);
}

TEST (StyleRecipe, HostAutomationOfTheStyleAppliesTheRecipe)
{
    VyrAudioProcessor p;
    vyrTest::setParam (p, "masterStyle", 2.0f);   // as a host would: through the listener
    vyrTest::serveRequests (p);
    EXPECT_EQ (p.styleIndex.load(), 2);
    EXPECT_FALSE (p.applyingRecipe.load());
    EXPECT_PARAM (p, "limiter_style", 4);
    EXPECT_PARAM (p, "quarn_reverbRad", 0.52f);
    EXPECT_PARAM (p, "reverb_mix", 0.48f);
    EXPECT_FALSE (on (p, "analogueDensity_enabled"));
    EXPECT_TRUE (on (p, "reverb_enabled"));
    EXPECT_FALSE (p.quarnDirty.load());
}

//==============================================================================
TEST (LoudnessRecipe, CapsTheBoostAndMapsOnlyWhenAsked)
{
    struct Case { float boostBefore; int lufs; float boostAfter; };
    const Case cases[] = { { 0.7f, 0, 0.18f }, { 0.3f, 4, 0.3f }, { 0.181f, 0, 0.181f } };
    for (const auto& c : cases)
    {
        VyrAudioProcessor p;
        setPlain (p, "quarn_boost", c.boostBefore);
        asRecipe (p, [&] { vyrQuarn::applyLufs (p.apvts, c.lufs, true); });
        EXPECT_PARAM (p, "quarn_boost", c.boostAfter) << c.boostBefore << " at " << c.lufs;
        EXPECT_PARAM (p, "eq_bandCount", 1);   // the mapping ran
    }

    VyrAudioProcessor p;
    setPlain (p, "quarn_boost", 0.7f);
    HostView host (p);
    asRecipe (p, [&] { vyrQuarn::applyLufs (p.apvts, 2, false); });
    EXPECT_PARAM (p, "quarn_boost", 0.7f);
    EXPECT_PARAM (p, "eq_bandCount", 0);   // no mapping
    EXPECT_PARAM (p, "masterLufs", 2);
    EXPECT_EQ (host.changesOf ("masterLufs"), 0);
    EXPECT_PARAM (p, "limiter_inputGain", 3.5f);
}

TEST (LoudnessRecipe, MediumChangeAppliesTheNearestLoudness)
{
    VyrAudioProcessor p;
    setPlain (p, "quarn_boost", 0.95f);
    setPlain (p, "masterMedium", 7.0f);   // Club, -8 LUFS: nearest target -9
    p.pendingBits = vyrMidi::mediumChosen;
    p.requestAsyncUpdate();
    vyrTest::serveRequests (p);

    EXPECT_EQ (p.lufsIndex.load(), 4);
    EXPECT_PARAM (p, "masterLufs", 4);
    EXPECT_PARAM (p, "limiter_ceiling", -0.5f);
    EXPECT_PARAM (p, "limiter_inputGain", 8.0f);
    EXPECT_PARAM (p, "limiter_release", 0.035f);
    EXPECT_PARAM (p, "masterTrim", 14.0f);
    EXPECT_PARAM (p, "limiter_scale", 3);
    EXPECT_PARAM (p, "meteringMode", 1);
    EXPECT_PARAM (p, "quarn_boost", 0.90f);
    EXPECT_PARAM (p, "compressor_makeup", 1.1f + 3.2f);   // glue energy plus this loudness's makeup
}

//==============================================================================
TEST (QuarnMapping, DefaultsWriteTheNeutralSettings)
{
    VyrAudioProcessor p;
    asRecipe (p, [&] { vyrQuarn::apply (p.apvts, false); });

    const struct { const char* id; float v; } expected[] = {
        { "eq_bandCount", 1 }, { "eq_gainRange", 1 }, { "eq_lowFreq", 66 }, { "eq_highFreq", 8200 }, { "eq_m0Freq", 420 },
        { "eq_m0Q", 1.05f }, { "eq_m1Freq", 2400 }, { "eq_m1Q", 0.8f }, { "eq_lowGain", 0 }, { "eq_highGain", 0 },
        { "eq_m0Gain", 0 }, { "eq_m1Gain", 0 },
        { "compressor_model", 1 }, { "compressor_attack", 0.018f }, { "compressor_release", 0.28f }, { "compressor_ratio", 2.2f },
        { "compressor_knee", 28 }, { "compressor_threshold", -16 }, { "compressor_makeup", 2.7f }, { "compressor_character", 3 },
        { "multiBandComp_bandCount", 3 }, { "multiBandComp_x0", 120 }, { "multiBandComp_x1", 830 }, { "multiBandComp_x2", 4200 },
        { "multiBandComp_globalMakeup", 0.4f },
        { "multiBandComp_b0Thresh", -18 }, { "multiBandComp_b1Thresh", -17 }, { "multiBandComp_b2Thresh", -16.5f }, { "multiBandComp_b3Thresh", -17 },
        { "multiBandComp_b0Ratio", 2.1f }, { "multiBandComp_b1Ratio", 1.6f }, { "multiBandComp_b2Ratio", 1.6f }, { "multiBandComp_b3Ratio", 1.8f },
        { "multiBandComp_b0Knee", 12 }, { "multiBandComp_b3Knee", 12 },
        { "dynamicEq_lowFreq", 72 }, { "dynamicEq_m0Freq", 1700 }, { "dynamicEq_m1Freq", 4200 }, { "dynamicEq_highFreq", 8600 },
        { "dynamicEq_lowRatio", 1 }, { "dynamicEq_m0Ratio", 1 }, { "dynamicEq_m1Ratio", 1 }, { "dynamicEq_highRatio", 1 },
        { "analogueDensity_density", 0 }, { "saturation_drive", 0 }, { "clip_drive", 0 },
        { "analogueDensity_calibration", 1 }, { "analogueDensity_satFreq", 1 }, { "saturation_tone", 7000 }, { "clip_tone", 140 },
    };
    for (const auto& e : expected)
        EXPECT_PARAM (p, e.id, e.v);
    for (auto* id : { "analogueDensity_enabled", "saturation_enabled", "clip_enabled", "compressor_enabled", "multiBandComp_enabled" })
        EXPECT_TRUE (on (p, id)) << id;
}

TEST (QuarnMapping, PolarPositions)
{
    struct Setting { const char* id; float v; };
    struct Case
    {
        const char* name;
        std::vector<Setting> in;
        std::vector<Setting> out;
    };
    const Case cases[] = {
        { "tone on low, full radius",
          { { "quarn_toneAng", k7_12 }, { "quarn_toneRad", 1.0f } },
          { { "eq_lowGain", 4.8f }, { "eq_highGain", -1.4f }, { "eq_lowFreq", 90 }, { "multiBandComp_x0", 160 },
            { "analogueDensity_calibration", 0 }, { "analogueDensity_satFreq", 0 } } },
        { "low tone, punch, boost, air presence",
          { { "quarn_toneAng", 0.6f }, { "quarn_toneRad", 0.7f }, { "quarn_energy", 0.6f }, { "quarn_boost", 0.5f },
            { "quarn_presence", 0.92f } },
          { { "eq_lowFreq", 90 }, { "eq_lowGain", 3.36f }, { "eq_highFreq", 9600 }, { "eq_highGain", 1.22f },
            { "eq_m0Freq", 320 }, { "eq_m0Gain", 0.56f }, { "eq_m1Freq", 2200 }, { "eq_m1Gain", 0.17f },
            { "compressor_attack", 0.0022f }, { "compressor_release", 0.10f }, { "compressor_ratio", 3.9f }, { "compressor_knee", 8 },
            { "compressor_threshold", -9.5f }, { "compressor_makeup", 3.8f }, { "compressor_character", 2 },
            { "analogueDensity_density", 36 }, { "analogueDensity_airAmount", 4.2f }, { "analogueDensity_air", 1 },
            { "analogueDensity_calibration", 0 }, { "saturation_drive", 0.29f }, { "saturation_grit", 0.11f },
            { "saturation_mode", 2 }, { "saturation_tone", 9500 }, { "clip_drive", 4.75f }, { "clip_inputGain", 0.9f },
            { "clip_tone", 220 } } },
        { "energy halfway between punch and density",
          { { "quarn_energy", 0.75f } },
          { { "compressor_model", 0 } } },
        { "presence on air without boost",
          { { "quarn_presence", k11_12 } },
          { { "analogueDensity_air", 0 }, { "eq_highGain", 2.2f }, { "analogueDensity_airAmount", 3.6f } } },
    };

    for (const auto& c : cases)
    {
        VyrAudioProcessor p;
        for (const auto& s : c.in)
            setPlain (p, s.id, s.v);
        asRecipe (p, [&] { vyrQuarn::apply (p.apvts, false); });
        for (const auto& o : c.out)
            EXPECT_PARAM (p, o.id, o.v) << c.name;
    }
}

TEST (QuarnMapping, BoostGateSwitchesTheColourModules)
{
    for (float boost : { 0.04f, 0.041f })
    {
        VyrAudioProcessor p;
        for (auto* id : { "saturation_mix", "analogueDensity_mix", "clip_mix" })
            setPlain (p, id, 0.0f);
        setPlain (p, "quarn_boost", boost);
        asRecipe (p, [&] { vyrQuarn::apply (p.apvts, false); });
        const bool expected = boost > 0.04f;
        for (auto* id : { "saturation_enabled", "analogueDensity_enabled", "clip_enabled" })
            EXPECT_EQ (on (p, id), expected) << id << " at boost " << boost;
    }
}

TEST (QuarnMapping, GesturesAndRepeatedRuns)
{
    VyrAudioProcessor p;
    HostView host (p);
    asRecipe (p, [&] { vyrQuarn::apply (p.apvts, false); });
    EXPECT_GT (host.totalChanges, 50);
    EXPECT_EQ (host.totalBegins, host.totalChanges);
    EXPECT_EQ (host.totalEnds, host.totalChanges);
    EXPECT_EQ (host.maxBeginsPerParameter(), 1);

    host.reset();
    asRecipe (p, [&] { vyrQuarn::apply (p.apvts, false); });
    EXPECT_EQ (host.totalChanges, 0);

    setPlain (p, "quarn_toneAng", k7_12);
    setPlain (p, "quarn_toneRad", 0.5f);
    host.reset();
    asRecipe (p, [&] { vyrQuarn::apply (p.apvts, true); });
    EXPECT_GT (host.totalChanges, 5);
    EXPECT_EQ (host.totalBegins, 0);
}

//==============================================================================
TEST (SpaceMapping, DelayCharacters)
{
    struct Case { float angle, radius, time, feedback, crossfade; bool on; const char* name; };
    const Case cases[] = {
        { 0.0f, 0.0f, 0.04f, 0.0f, 12.0f, false, "SLAP" },
        { 0.375f, 1.0f, 0.54f, 0.45f, 20.0f, true, "1/4" },
        { 0.9375f, 1.0f, 0.1655f, 0.30f, 17.5f, true, "SLAP" },   // halfway from SHIM back to SLAP
        { 0.0f, 0.04f, 0.04f + 0.04f * 0.11f, 0.004f, 12.12f, false, "SLAP" },
        { 0.0f, 0.0401f, 0.04f + 0.0401f * 0.11f, 0.00401f, 12.1203f, true, "SLAP" },
        { -0.625f, 2.0f, 0.54f, 0.45f, 20.0f, true, "1/4" },   // wrapped to 3/8, radius clamped to 1
    };
    for (const auto& c : cases)
    {
        float time = 0, feedback = 0, crossfade = 0;
        bool isOn = ! c.on;
        vyrQuarn::spaceDelayParams (c.angle, c.radius, time, feedback, crossfade, isOn);
        EXPECT_NEAR (time, c.time, 1.0e-5f) << c.angle << " " << c.radius;
        EXPECT_NEAR (feedback, c.feedback, 1.0e-5f);
        EXPECT_NEAR (crossfade, c.crossfade, 1.0e-3f);
        EXPECT_EQ (isOn, c.on);
        EXPECT_STREQ (vyrQuarn::delayName (c.angle), c.name);
    }
    EXPECT_STREQ (vyrQuarn::reverbName (3.0f / 7.0f), "XTRM");
    EXPECT_STREQ (vyrQuarn::reverbName (13.0f / 14.0f), "ROOM");
    EXPECT_STREQ (vyrQuarn::reverbRingLabel (1), "STUD");
    EXPECT_STREQ (vyrQuarn::reverbRingLabel (6), "CATH");
}

TEST (SpaceMapping, DelayAndReverbThroughTheTree)
{
    {
        VyrAudioProcessor p;
        setPlain (p, "delay_syncNote", 3.0f);
        asRecipe (p, [&] { vyrQuarn::apply (p.apvts, false); });
        EXPECT_FALSE (on (p, "delay_enabled"));
        EXPECT_FALSE (on (p, "reverb_enabled"));
        const struct { const char* id; float v; } expected[] = {
            { "delay_syncNote", 0 }, { "delay_time", 0.04f }, { "delay_feedback", 0 }, { "delay_xfadeMs", 12 },
            { "reverb_size", 0 }, { "reverb_decay", 0.35f }, { "reverb_diffuse", 0.5f }, { "reverb_hiFactor", 0.4f },
            { "reverb_radicalness", 0 }, { "reverb_predelay", 0 }, { "reverb_lowCut", 80 }, { "reverb_earlyLevel", 0.22f },
            { "reverb_lateLevel", 0.55f },
        };
        for (const auto& e : expected)
            EXPECT_PARAM (p, e.id, e.v);
    }
    {
        VyrAudioProcessor p;
        setPlain (p, "quarn_reverbAng", 3.0f / 7.0f);
        setPlain (p, "quarn_reverbRad", 1.0f);
        setPlain (p, "quarn_spaceAng", 0.375f);
        setPlain (p, "quarn_spaceRad", 1.0f);
        asRecipe (p, [&] { vyrQuarn::apply (p.apvts, false); });
        EXPECT_TRUE (on (p, "reverb_enabled"));
        EXPECT_TRUE (on (p, "delay_enabled"));
        const struct { const char* id; float v; } expected[] = {
            { "reverb_decay", 15 }, { "reverb_size", 0.95f }, { "reverb_diffuse", 0.95f }, { "reverb_radicalness", 1 },
            { "reverb_predelay", 50 }, { "reverb_lowCut", 25 }, { "reverb_earlyLevel", 0.28f }, { "reverb_lateLevel", 1.35f },
            { "delay_time", 0.54f }, { "delay_feedback", 0.45f }, { "delay_xfadeMs", 20 },
        };
        for (const auto& e : expected)
            EXPECT_PARAM (p, e.id, e.v);
    }
    {
        VyrAudioProcessor p;
        setPlain (p, "quarn_reverbAng", 13.0f / 14.0f);   // halfway from CATH to ROOM
        setPlain (p, "quarn_reverbRad", 0.5f);
        asRecipe (p, [&] { vyrQuarn::apply (p.apvts, false); });
        EXPECT_PARAM (p, "reverb_size", 0.2875f);
        EXPECT_PARAM (p, "reverb_decay", 2.075f);
        EXPECT_PARAM (p, "reverb_lowCut", 55);
    }
}

//==============================================================================
TEST (RecipeGlide, ChoicesFollowTheNearerRecipe)
{
    struct Case { float t; int style, medium, lufs, limiterStyle, oversampling, scale, meter; };
    // A = EDM, Club, -9; B = Classical, Cinematic, -23
    const Case cases[] = { { 0.4999f, 0, 7, 4, 1, 1, 3, 1 }, { 0.5f, 2, 0, 0, 4, 0, 5, 3 } };
    for (const auto& c : cases)
    {
        VyrAudioProcessor p;
        asRecipe (p, [&] { vyrQuarn::lerpChips (p.apvts, 0, 7, 4, 2, 0, 0, c.t, -1.0f, -1.0f); });
        EXPECT_PARAM (p, "masterStyle", c.style) << c.t;
        EXPECT_PARAM (p, "masterMedium", c.medium) << c.t;
        EXPECT_PARAM (p, "masterLufs", c.lufs) << c.t;
        EXPECT_PARAM (p, "limiter_style", c.limiterStyle) << c.t;
        EXPECT_PARAM (p, "limiter_oversampling", c.oversampling) << c.t;
        EXPECT_PARAM (p, "limiter_scale", c.scale) << c.t;
        EXPECT_PARAM (p, "meteringMode", c.meter) << c.t;
    }
}

TEST (RecipeGlide, MidpointBlend)
{
    VyrAudioProcessor p;
    asRecipe (p, [&] { vyrQuarn::lerpChips (p.apvts, 0, 7, 4, 2, 0, 0, 0.5f, -1.0f, -1.0f); });   // EDM/-9 to Classical/-23
    EXPECT_PARAM (p, "compressor_mix", 53.5f);
    EXPECT_PARAM (p, "saturation_mix", 0.15f);
    EXPECT_PARAM (p, "reverb_mix", 0.28f);
    EXPECT_PARAM (p, "limiter_ceiling", -1.25f);
    EXPECT_PARAM (p, "limiter_inputGain", 4.0f);
    EXPECT_PARAM_NEAR (p, "limiter_release", 0.0775f, 0.0026f);
    EXPECT_PARAM (p, "masterTrim", 2.0f);                     // (14 + -10) / 2
    EXPECT_PARAM (p, "quarn_toneAng", 0.75f);                 // 7/12 to 11/12, the short way
    EXPECT_PARAM (p, "quarn_toneRad", 0.48f);
    EXPECT_PARAM (p, "quarn_boost", std::min (0.305f, 0.54f));
    EXPECT_PARAM (p, "quarn_reverbRad", 0.28f);
    EXPECT_PARAM (p, "quarn_reverbAng", 0.5f * 0.2857143f);
    EXPECT_FALSE (on (p, "tape_enabled"));                    // blended tape mix 0.06 is not above 0.08
    EXPECT_TRUE (on (p, "stereoImager_enabled"));
    EXPECT_PARAM (p, "stereoImager_width", 1.65f);
    EXPECT_PARAM (p, "eq_bandCount", 1);                      // the mapping ran on the blend
}

TEST (RecipeGlide, BlendCases)
{
    {
        VyrAudioProcessor p;   // Classical (11/12) to Jazz (1/4): through 0, not through 7/12
        asRecipe (p, [&] { vyrQuarn::lerpChips (p.apvts, 2, 3, 2, 1, 3, 2, 0.5f, -1.0f, -1.0f); });
        EXPECT_PARAM_NEAR (p, "quarn_toneAng", 1.0f / 12.0f, 1.0e-3f);
    }
    {
        VyrAudioProcessor p;   // EDM on both sides at -23: the boost stays under that loudness's cap
        asRecipe (p, [&] { vyrQuarn::lerpChips (p.apvts, 0, 3, 0, 0, 3, 0, 0.4f, -1.0f, -1.0f); });
        EXPECT_PARAM (p, "quarn_boost", 0.18f);
    }
    {
        VyrAudioProcessor p;   // effective trims +8 % (loudness -11) and -30 %
        asRecipe (p, [&] { vyrQuarn::lerpChips (p.apvts, 5, 3, 3, 5, 3, 2, 0.3f, -1.0f, 0.2f); });
        EXPECT_PARAM (p, "masterTrim", 8.0f + 0.3f * (-38.0f));
    }
    {
        VyrAudioProcessor p;   // a missing medium blends as medium 0; the end call leaves the medium alone
        setPlain (p, "masterMedium", 5.0f);
        asRecipe (p, [&] { vyrQuarn::lerpChips (p.apvts, 5, -1, 2, 1, 4, 2, 0.3f, -1.0f, -1.0f); });
        EXPECT_PARAM (p, "masterMedium", 0);
        setPlain (p, "masterMedium", 5.0f);
        asRecipe (p, [&] { vyrQuarn::lerpChips (p.apvts, 5, -1, 2, 1, 4, 2, 0.001f, -1.0f, -1.0f); });
        EXPECT_PARAM (p, "masterMedium", 5);
    }
}

TEST (RecipeGlide, EndsApplyTheRecipeWhole)
{
    struct Case { float t; bool endB; };
    const Case cases[] = { { 0.999f, true }, { 1.7f, true }, { 0.001f, false }, { -0.5f, false } };
    for (const auto& c : cases)
    {
        VyrAudioProcessor p;
        asRecipe (p, [&] { vyrQuarn::lerpChips (p.apvts, 0, 7, 4, 6, 1, 1, c.t, 0.8f, 0.25f); });
        const int style = c.endB ? 6 : 0, medium = c.endB ? 1 : 7, lufs = c.endB ? 1 : 4;
        EXPECT_PARAM (p, "masterTrim", c.endB ? -25.0f : 30.0f) << c.t;   // the stored amounts

        // Nothing is left for the chip application of that recipe to change (apart from the trim).
        HostView host (p);
        asRecipe (p, [&] { vyrQuarn::applyChips (p.apvts, style, lufs, medium); });
        EXPECT_EQ (host.totalChanges, 1) << c.t;
        EXPECT_EQ (host.changesOf ("masterTrim"), 1) << c.t;
    }

    // Just inside the ends the recipes are blended.
    for (float t : { 0.0011f, 0.9989f })
    {
        VyrAudioProcessor p;
        asRecipe (p, [&] { vyrQuarn::lerpChips (p.apvts, 0, 7, 4, 6, 1, 1, t, -1.0f, -1.0f); });
        const float ceiling = -0.5f + (-1.0f + 0.5f) * t;
        EXPECT_PARAM (p, "limiter_ceiling", ceiling) << t;
        EXPECT_PARAM (p, "quarn_toneRad", 0.70f + (0.24f - 0.70f) * t) << t;
    }
}

TEST (RecipeGlide, ModuleSwitchesNeverFlipBackAndForth)
{
    // Both sides Classical: the blended density mix is 0.08 (not above its gate) and the boost 0.03.
    // The density module goes off once and stays off; the mapping run inside the step agrees.
    VyrAudioProcessor p;
    setPlain (p, "analogueDensity_enabled", 1.0f);
    HostView host (p);
    asRecipe (p, [&] { vyrQuarn::lerpChips (p.apvts, 2, 0, 0, 2, 0, 0, 0.5f, -1.0f, -1.0f); });
    EXPECT_FALSE (on (p, "analogueDensity_enabled"));
    EXPECT_EQ (host.beginsOf ("analogueDensity_enabled"), 1);
    EXPECT_EQ (host.maxBeginsPerParameter(), 1);
    host.reset();
    asRecipe (p, [&] { vyrQuarn::lerpChips (p.apvts, 2, 0, 0, 2, 0, 0, 0.5f, -1.0f, -1.0f); });
    EXPECT_EQ (host.totalChanges, 0) << "a repeated step writes nothing";

    // A whole glide, tick by tick, from Soft at -23 to Classical at -23 and back: each switch
    // changes at most once per direction, and no tick writes a parameter twice.
    const char* switches[] = { "saturation_enabled", "analogueDensity_enabled", "clip_enabled", "tape_enabled",
                               "dynamicEq_enabled", "stereoImager_enabled" };
    for (int direction = 0; direction < 2; ++direction)
    {
        VyrAudioProcessor q;
        const int a = direction == 0 ? 6 : 2, b = direction == 0 ? 2 : 6;
        asRecipe (q, [&] { vyrQuarn::applyChips (q.apvts, a, 0, 0); });
        HostView view (q);
        std::map<std::string, int> flips;
        for (int tick = 0; tick <= 64; ++tick)
        {
            std::map<std::string, bool> before;
            for (auto* id : switches)
                before[id] = on (q, id);
            view.reset();
            asRecipe (q, [&] { vyrQuarn::lerpChips (q.apvts, a, 0, 0, b, 0, 0, (float) tick / 64.0f, -1.0f, -1.0f); });
            EXPECT_LE (view.maxBeginsPerParameter(), 1) << "tick " << tick;
            for (auto* id : switches)
                flips[id] += before[id] != on (q, id) ? 1 : 0;
        }
        for (auto* id : switches)
            EXPECT_LE (flips[id], 1) << id << " direction " << direction;
        EXPECT_EQ (flips["saturation_enabled"], 1);
        EXPECT_EQ (flips["analogueDensity_enabled"], 1);
        EXPECT_EQ (flips["tape_enabled"], 1);
    }
}
