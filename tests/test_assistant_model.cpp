// The mastered-output model and the assistant's measurements: bucket layout, module transfers,
// bypass, the ceiling count, the rebuild throttle, the band levels and the measurement's fallbacks.

#include "Assistant/MasteredModel.h"
#include "Assistant/Measurements.h"
#include "Core/PluginProcessor.h"
#include "ProcessorFixture.h"

#include <gtest/gtest.h>
#include <cmath>

namespace
{
using vyrTest::setParam;

const char* const kModules[] = { "compressor", "saturation", "analogueDensity", "clip", "tape", "delay", "reverb",
                                 "eq", "dynamicEq", "multiBandComp", "tovu", "stereoImager", "limiter" };

void allModulesOff (VyrAudioProcessor& p)
{
    for (auto* m : kModules)
        setParam (p, (juce::String (m) + "_enabled").toRawUTF8(), 0.0f);
}

// Gives the processor an overview as the file loader would, one value pair per bin.
void loadOverview (VyrAudioProcessor& p, const std::vector<float>& peaks)
{
    p.fileLoaded = true;
    p.overviewMin.clear();
    p.overviewMax.clear();
    for (float v : peaks)
    {
        p.overviewMin.push_back (-v);
        p.overviewMax.push_back (v);
    }
    p.sectionRevision.fetch_add (1);   // a load always moves the revision
}

const vyrMasterHypo::EnvCache& build (VyrAudioProcessor& p, double nowMs = 1000.0)
{
    vyrMasterHypo::ensureEnv (p, nowMs);
    return vyrMasterHypo::messageEnv (p);
}

float lin (float db) { return std::pow (10.0f, db / 20.0f); }
}

TEST (MasteredModel, BucketLayoutFollowsTheOverviewSize)
{
    struct Case { int bins, stride, buckets; } cases[] = { { 800, 4, 200 }, { 1600, 5, 320 }, { 10000, 27, 371 }, { 1, 4, 1 } };
    for (const auto& c : cases)
    {
        auto p = vyrTest::makeProcessor (0);
        allModulesOff (*p);
        loadOverview (*p, std::vector<float> ((size_t) c.bins, 0.5f));
        const auto& env = build (*p);
        EXPECT_EQ (env.stride, c.stride) << c.bins;
        EXPECT_EQ (env.buckets, c.buckets) << c.bins;
        EXPECT_EQ (env.sourceBins, c.bins);
    }
}

TEST (MasteredModel, SingleBinIsSampledAtTheMiddleOfTheFile)
{
    // The input ride climbs linearly from 0 dB to +12 dB over the file: at its middle it gives +6 dB.
    auto p = vyrTest::makeProcessor (0);
    allModulesOff (*p);
    p->section.autoRide = true;
    p->section.autoIn = { VyrAutoPt { 0.0f, 0.0f }, VyrAutoPt { 1.0f, 12.0f } };
    loadOverview (*p, { 0.25f });
    const auto& env = build (*p);
    ASSERT_EQ (env.buckets, 1);
    EXPECT_NEAR (env.hi[0], 0.25f * lin (6.0f), 0.002f);
    EXPECT_NEAR (env.lo[0], -0.25f * lin (6.0f), 0.002f);
    EXPECT_NEAR (env.gain[0], lin (6.0f), 0.01f);
}

TEST (MasteredModel, NeutralChainReproducesTheSource)
{
    auto p = vyrTest::makeProcessor (0);
    allModulesOff (*p);
    std::vector<float> peaks;
    for (int i = 0; i < 800; ++i)
        peaks.push_back (0.05f + 0.9f * (float) ((i * 37) % 100) / 100.0f);
    loadOverview (*p, peaks);
    const auto& env = build (*p);
    ASSERT_EQ (env.buckets, 200);
    for (int i = 0; i < env.buckets; ++i)
    {
        const int bin = i == env.buckets - 1 ? 799 : i * 4;
        EXPECT_FLOAT_EQ (env.hi[(size_t) i], peaks[(size_t) bin]);
        EXPECT_FLOAT_EQ (env.lo[(size_t) i], -peaks[(size_t) bin]);
        EXPECT_FLOAT_EQ (env.gain[(size_t) i], 1.0f);
    }
}

TEST (MasteredModel, LimiterAloneShapesTowardTheCeilingAndCountsTheGrab)
{
    auto p = vyrTest::makeProcessor (0);
    allModulesOff (*p);
    setParam (*p, "limiter_enabled", 1.0f);
    setParam (*p, "limiter_mix", 100.0f);
    setParam (*p, "limiter_ceiling", -1.0f);
    p->styleIndex = 5;   // drive 1.06
    std::vector<float> peaks (800, 0.3f);
    for (size_t i = 400; i < 800; ++i)
        peaks[i] = 2.0f;
    loadOverview (*p, peaks);
    const auto& env = build (*p);

    const float cl = lin (-1.0f);
    EXPECT_NEAR (env.ceilingLin, cl, 1e-5f);
    EXPECT_NEAR (env.hi[0], cl * std::tanh (0.3f / cl * 1.06f), 1e-5f);
    EXPECT_NEAR (env.hi[150], cl * std::tanh (2.0f / cl * 1.06f), 1e-5f);
    EXPECT_NEAR (env.gain[150], cl * std::tanh (2.0f / cl * 1.06f) / 2.0f, 1e-5f);
    // Half the buckets sit above 0.92 x the ceiling.
    EXPECT_FLOAT_EQ (env.clipShare, 0.5f);
    EXPECT_GT (env.sourcePeakToRmsDb, env.crestDb);

    // A loud style drives harder.
    p->styleIndex = 4;
    const auto& loud = build (*p, 2000.0);
    EXPECT_NEAR (loud.hi[0], cl * std::tanh (0.3f / cl * 1.1872f), 1e-5f);
}

TEST (MasteredModel, CompressorAloneActsOnTheQuarterPeakLevel)
{
    auto p = vyrTest::makeProcessor (0);
    allModulesOff (*p);
    setParam (*p, "compressor_enabled", 1.0f);
    setParam (*p, "compressor_mix", 100.0f);
    setParam (*p, "compressor_threshold", -18.0f);
    setParam (*p, "compressor_ratio", 4.0f);
    setParam (*p, "compressor_knee", 6.0f);
    setParam (*p, "compressor_makeup", 0.0f);
    std::vector<float> peaks (800, 0.2f);
    for (size_t i = 400; i < 800; ++i)
        peaks[i] = 0.8f;
    loadOverview (*p, peaks);
    const auto& env = build (*p);

    // 0.2: the detector sees 0.05 (-26 dB), below the knee: untouched.
    EXPECT_NEAR (env.hi[0], 0.2f, 1e-6f);
    // 0.8: the detector sees 0.2 (-13.98 dB), 4.02 dB over, past the knee: 3.015 dB of reduction.
    const float over = 20.0f * std::log10 (0.2f) + 18.0f;
    EXPECT_NEAR (env.hi[150], 0.8f * lin (-over * 0.75f), 1e-4f);
    EXPECT_NEAR (env.hi[150], 0.5654f, 1e-3f);
}

TEST (MasteredModel, BypassScalesByTheGainsAndJudgesAgainstFullScale)
{
    auto p = vyrTest::makeProcessor (0);
    setParam (*p, "limiter_enabled", 1.0f);   // bypass overrides every module
    setParam (*p, "bypass", 1.0f);
    setParam (*p, "linkLR", 0.0f);
    setParam (*p, "inputGainL", 6.0f);
    setParam (*p, "inputGainR", 6.0f);
    setParam (*p, "outputGainL", -3.0f);
    setParam (*p, "outputGainR", -3.0f);
    std::vector<float> peaks (800, 0.65f);   // 0.918 after +3 dB: not over 0.92
    for (size_t i = 600; i < 800; ++i)
        peaks[i] = 0.66f;                     // 0.932: over
    loadOverview (*p, peaks);
    const auto& env = build (*p);
    EXPECT_FLOAT_EQ (env.ceilingLin, 1.0f);
    EXPECT_NEAR (env.hi[0], 0.65f * lin (6.0f) * lin (-3.0f), 1e-5f);
    EXPECT_NEAR (env.lo[0], -0.65f * lin (6.0f) * lin (-3.0f), 1e-5f);
    EXPECT_FLOAT_EQ (env.clipShare, 50.0f / 200.0f);
}

TEST (MasteredModel, PeakExactlyAtTheCountLineIsNotClipping)
{
    auto p = vyrTest::makeProcessor (0);
    allModulesOff (*p);
    setParam (*p, "limiter_ceiling", -1.0f);
    const float line = 0.92f * vyrMasterHypo::lin (-1.0f);
    std::vector<float> peaks (800, line);
    for (size_t i = 0; i < 4; ++i)
        peaks[i] = std::nextafter (line, 1.0f);
    loadOverview (*p, peaks);
    const auto& env = build (*p);
    EXPECT_FLOAT_EQ (env.clipShare, 1.0f / 200.0f);
}

TEST (MasteredModel, RebuildsAtMostEvery40Milliseconds)
{
    auto p = vyrTest::makeProcessor (0);
    loadOverview (*p, std::vector<float> (800, 0.5f));
    build (*p, 1000.0);
    const auto builds = p->masteredEnv.builds;
    build (*p, 1005.0);
    EXPECT_EQ (p->masteredEnv.builds, builds) << "unchanged input never rebuilds";

    setParam (*p, "outputGainL", -6.0f);
    build (*p, 1010.0);
    EXPECT_EQ (p->masteredEnv.builds, builds) << "10 ms after a build the change waits";
    build (*p, 1040.0);
    EXPECT_EQ (p->masteredEnv.builds, builds + 1);
    EXPECT_EQ (p->masteredEnv.hash, vyrMasterHypo::inputHash (*p));
}

TEST (MasteredModel, EachProcessorKeepsItsOwnPrediction)
{
    auto a = vyrTest::makeProcessor (0);
    auto b = vyrTest::makeProcessor (0);
    loadOverview (*a, std::vector<float> (800, 0.5f));
    loadOverview (*b, std::vector<float> (1600, 0.5f));
    build (*a);
    build (*b);
    EXPECT_EQ (vyrMasterHypo::messageEnv (*a).buckets, 200);
    EXPECT_EQ (vyrMasterHypo::messageEnv (*b).buckets, 320);

    // Unloading empties only that instance's prediction.
    b->fileLoaded = false;
    build (*b, 5000.0);
    EXPECT_EQ (vyrMasterHypo::messageEnv (*b).buckets, 0);
    EXPECT_FLOAT_EQ (vyrMasterHypo::messageEnv (*b).ceilingLin, 0.89f);
    EXPECT_EQ (vyrMasterHypo::messageEnv (*a).buckets, 200);
}

TEST (MasteredModel, EditionProductRidesDelayOnItsSpaceControlNotTheEffectAmount)
{
    const auto delayOut = [] (int product, float trim, float spaceRad)
    {
        auto p = vyrTest::makeProcessor (product);
        allModulesOff (*p);
        setParam (*p, "delay_enabled", 1.0f);
        setParam (*p, "delay_mix", 1.0f);
        setParam (*p, "delay_feedback", 0.5f);
        setParam (*p, "masterTrim", trim);
        setParam (*p, "quarn_spaceRad", spaceRad);
        vyrMasterHypo::refreshLive (*p);
        return vyrMasterHypo::sample (*p, 0.4f, 0.5f, 1.0f, 1.0f, 0.1f);
    };
    EXPECT_NEAR (delayOut (15, 0.0f, 1.0f), 0.4f * 1.35f, 1e-5f);
    EXPECT_NEAR (delayOut (15, 50.0f, 1.0f), 0.4f * 1.35f, 1e-5f);
    EXPECT_NEAR (delayOut (15, 0.0f, 0.0f), 0.4f, 1e-6f);
    // Elsewhere the effect amount scales it: -50 % halves the wet share.
    EXPECT_NEAR (delayOut (0, -50.0f, 0.0f), 0.4f * (0.5f + 0.5f * 1.35f), 1e-5f);
}

TEST (MasteredModel, UnknownModulePassesTheValue)
{
    vyrMasterHypo::Live live;
    live.limAmount = 1.0f;
    EXPECT_FLOAT_EQ (vyrMasterHypo::runSlot (live, "nothing", 0.7f, 0.5f, 1.0f, 0.1f), 0.7f);
    EXPECT_LT (vyrMasterHypo::runSlot (live, "limiter", 0.7f, 0.5f, 1.0f, 0.1f), 0.5f);
}

//==============================================================================
TEST (AssistantMeasure, OctaveStepsTakeTheLoudestBinOrInterpolateNarrowSteps)
{
    std::vector<float> s (4096, 0.0f);
    // 48 kHz: bins of 5.86 Hz; the 20-28.3 Hz step covers bins 3 and 4.
    s[3] = 0.25f;
    s[4] = 1.0f;
    s[5] = 10.0f;
    EXPECT_NEAR (vyrMasterAssist::octaveDb (s.data(), 24000.0f, 20.0f, 28.3f), 0.0f, 1e-3f);

    // 96 kHz: bins of 11.7 Hz; the same step spans 0.7 bins and reads the level at bin 2.06.
    std::vector<float> t (4096, 0.0f);
    t[2] = 1.0f;
    const float expected = 20.0f * std::log10 (1.0f - (24.142f / (48000.0f / 4096.0f) - 2.0f));
    EXPECT_NEAR (vyrMasterAssist::octaveDb (t.data(), 48000.0f, 20.0f, 28.3f), expected, 0.02f);

    // 4-16 kHz at 48 kHz: four steps from 4000, 5657, 8000 and 11314 Hz; with the bins holding their
    // index, each step reads its top bin.
    std::vector<float> ramp (4096);
    for (int i = 0; i < 4096; ++i)
        ramp[(size_t) i] = (float) i;
    const float mean = (20.0f * std::log10 (965.0f) + 20.0f * std::log10 (1365.0f) + 20.0f * std::log10 (1930.0f)
                        + 20.0f * std::log10 (2730.0f)) / 4.0f;
    EXPECT_NEAR (vyrMasterAssist::octaveDb (ramp.data(), 24000.0f, 4000.0f, 16000.0f), mean, 0.05f);

    EXPECT_FLOAT_EQ (vyrMasterAssist::octaveDb (ramp.data(), 24000.0f, 999.0f, 1000.0f), -100.0f);
    EXPECT_FLOAT_EQ (vyrMasterAssist::octaveDb (nullptr, 24000.0f, 20.0f, 80.0f), -100.0f);
}

TEST (AssistantMeasure, WithoutFileOrSignalNothingIsClaimed)
{
    auto p = vyrTest::makeProcessor (0);
    const auto s = vyrMasterAssist::measure (*p);
    EXPECT_FALSE (s.hasFile);
    EXPECT_FALSE (s.hasSignal);
    EXPECT_FLOAT_EQ (s.lufs, s.targetLufs);
    EXPECT_FLOAT_EQ (s.targetLufs, -14.0f);
    for (float v : { s.clipShare, s.crestDb, s.modelCrestDb, s.lowVsMidDb, s.subDb, s.lowDb, s.midDb, s.highDb })
        EXPECT_FLOAT_EQ (v, 0.0f);
}

TEST (AssistantMeasure, IndexesAreClampedAndLoudnessFallsBack)
{
    auto p = vyrTest::makeProcessor (0);
    p->mediumIndex = 9;
    p->styleIndex = -1;
    p->lufsIndex = 7;
    auto s = vyrMasterAssist::measure (*p);
    EXPECT_EQ (s.medium, 7);
    EXPECT_EQ (s.style, 0);
    EXPECT_FLOAT_EQ (s.targetLufs, -9.0f);

    // Integrated loudness exactly -70 is not a measurement; the analysed file's loudness is used.
    p->meters.lufsIntegrated = -70.0f;
    p->sectionAnalysed = true;
    p->overallLufs = -12.5f;
    EXPECT_FLOAT_EQ (vyrMasterAssist::measure (*p).lufs, -12.5f);
    p->meters.lufsIntegrated = -69.9f;
    EXPECT_FLOAT_EQ (vyrMasterAssist::measure (*p).lufs, -69.9f);
}

TEST (AssistantMeasure, BalanceFollowsTheEqCurveWhileSilentAndTheSpectrumWhilePlaying)
{
    auto p = vyrTest::makeProcessor (0);
    setParam (*p, "eq_enabled", 1.0f);
    setParam (*p, "eq_lowGain", 6.0f);
    auto s = vyrMasterAssist::measure (*p);
    EXPECT_GT (s.lowVsMidDb, 3.0f);
    EXPECT_GT (s.subDb, s.highDb);

    // Playing: a spectrum loud above 4 kHz tips the balance to the top whatever the EQ says.
    p->meters.outPeak[0] = 0.5f;
    {
        const juce::SpinLock::ScopedLockType lock (p->meters.spectrumLock);
        for (int i = 0; i < 4096; ++i)
            p->meters.spectrum[i] = i * 24000.0f / 4096.0f > 4000.0f ? 1.0f : 0.01f;
    }
    p->meters.sampleRate = 48000.0;
    s = vyrMasterAssist::measure (*p);
    EXPECT_TRUE (s.hasSignal);
    EXPECT_NEAR (s.highDb - s.midDb, 40.0f, 0.5f);
    EXPECT_NEAR (s.lowVsMidDb, 0.0f, 0.5f);
}

TEST (AssistantMeasure, LoadedFileBringsTheModelFigures)
{
    auto p = vyrTest::makeProcessor (0);
    allModulesOff (*p);
    setParam (*p, "limiter_ceiling", -1.0f);
    std::vector<float> peaks (800, 0.1f);
    for (size_t i = 0; i < 200; ++i)
        peaks[i] = 0.99f;
    loadOverview (*p, peaks);
    auto s = vyrMasterAssist::measure (*p);
    EXPECT_TRUE (s.hasFile);
    EXPECT_FLOAT_EQ (s.clipShare, 0.25f);
    EXPECT_NEAR (s.crestDb, s.modelCrestDb, 1e-4f);   // a neutral chain keeps the crest
    EXPECT_GT (s.crestDb, 3.0f);
    p->sectionAnalysed = true;
    p->overallCrest = 11.0f;
    EXPECT_FLOAT_EQ (vyrMasterAssist::measure (*p).crestDb, 11.0f);
}
