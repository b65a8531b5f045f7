// Parameters into the chain, the mastered path around it, and the plug-in's final output.
#include <gtest/gtest.h>
#include "ProcessorFixture.h"
#include "TestSignals.h"
#include "ChainTestUtil.h"
#include "Model/QuarnPresets.h"
#include "Model/FactoryPresets.h"
#include "Live/SectionBlend.h"

using vyrTest::makeProcessor;
using vyrTest::prepare;
using vyrTest::setParam;

namespace
{
// Loads the parameters into the live chain as the end of prepareToPlay does (no ramps).
void loadNow (VyrAudioProcessor& p)
{
    p.smoothBlockSamples = 0;
    p.syncChainFromApvts();
}

void runBlocks (VyrAudioProcessor& p, int blocks, int blockSize, float level = 0.1f)
{
    juce::AudioBuffer<float> b (2, blockSize);
    juce::MidiBuffer midi;
    for (int k = 0; k < blocks; ++k)
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < blockSize; ++i)
                b.setSample (ch, i, level * std::sin (0.03f * (float) (k * blockSize + i)));
        p.processBlock (b, midi);
    }
}
}

TEST (ParameterMapping, ValuesReachTheEnginesInTheirUnits)
{
    struct Case { const char* id; float value; std::function<float (VyrSignalChain&)> read; float expected; };
    const Case cases[] = {
        { "inputGainL", -60.0f, [] (VyrSignalChain& c) { return c.inputGainL; }, 0.001f },
        { "inputGainL", -6.0f, [] (VyrSignalChain& c) { return c.inputGainL; }, 0.5011872f },
        { "outputGainR", 0.0f, [] (VyrSignalChain& c) { return c.outputGainR; }, 1.0f },
        { "mono", 1.0f, [] (VyrSignalChain& c) { return c.mono ? 1.0f : 0.0f; }, 1.0f },
        { "compressor_mix", 50.0f, [] (VyrSignalChain& c) { return c.compressor.mix; }, 0.5f },
        { "compressor_threshold", -30.0f, [] (VyrSignalChain& c) { return c.compressor.threshold; }, -30.0f },
        { "compressor_model", 2.0f, [] (VyrSignalChain& c) { return c.compressor.model; }, 1.0f },
        { "limiter_mix", 25.0f, [] (VyrSignalChain& c) { return c.limiter.mix; }, 0.25f },
        { "limiter_oversampling", 3.0f, [] (VyrSignalChain& c) { return (float) c.limiter.oversampling; }, 8.0f },
        { "limiter_oversampling", 1.0f, [] (VyrSignalChain& c) { return (float) c.limiter.oversampling; }, 2.0f },
        { "limiter_style", 3.0f, [] (VyrSignalChain& c) { return c.limiter.stylePos; }, 3.0f },
        { "limiter_stereoLink", 40.0f, [] (VyrSignalChain& c) { return c.limiter.stereoLink; }, 40.0f },
        { "analogueDensity_mix", 20.0f, [] (VyrSignalChain& c) { return c.analogueDensity.mix; }, 0.2f },
        { "analogueDensity_density", -40.0f, [] (VyrSignalChain& c) { return c.analogueDensity.density; }, -40.0f },
        { "clip_symmetry", 30.0f, [] (VyrSignalChain& c) { return c.clipper.symmetry; }, 30.0f },
        { "clip_clipFilterType", 1.0f, [] (VyrSignalChain& c) { return (float) c.clipper.clipFilterType; }, 1.0f },
        { "tape_speed", 0.0f, [] (VyrSignalChain& c) { return c.tape.speed; }, 7.5f },
        { "tape_speed", 2.0f, [] (VyrSignalChain& c) { return c.tape.speed; }, 30.0f },
        { "saturation_mode", 3.0f, [] (VyrSignalChain& c) { return (float) c.saturation.mode; }, 3.0f },
        { "reverb_decay", 4.0f, [] (VyrSignalChain& c) { return c.reverb.getParams().decay; }, 4.0f },
        { "reverb_size", 0.8f, [] (VyrSignalChain& c) { return c.reverb.getParams().erSize; }, 0.8f },
        { "reverb_predelay", 40.0f, [] (VyrSignalChain& c) { return c.reverb.getParams().predelay; }, 40.0f },
        { "stereoImager_mix", 50.0f, [] (VyrSignalChain& c) { return c.imager.mix; }, 0.5f },
        { "stereoImager_direction", -30.0f, [] (VyrSignalChain& c) { return c.imager.direction; }, -30.0f },
        { "tovu_slope", 0.0f, [] (VyrSignalChain& c) { return (float) c.tovu.slope; }, 12.0f },
        { "tovu_frequency", 80.0f, [] (VyrSignalChain& c) { return c.tovu.frequency; }, 80.0f },
        { "eq_mix", 40.0f, [] (VyrSignalChain& c) { return c.parametricEq.state.mix; }, 40.0f },
        { "eq_bandCount", 4.0f, [] (VyrSignalChain& c) { return (float) c.parametricEq.state.bandCount; }, 8.0f },
        { "multiBandComp_bandCount", 0.0f, [] (VyrSignalChain& c) { return (float) c.multiBandComp.state.bandCount; }, 1.0f },
        { "quarn_eqAng", 0.75f, [] (VyrSignalChain& c) { return c.laneEq.eqAng; }, 0.75f },
    };
    for (const auto& c : cases)
    {
        VyrAudioProcessor p;
        setParam (p, c.id, c.value);
        loadNow (p);
        EXPECT_NEAR (c.read (p.liveChain), c.expected, 1.0e-4f) << c.id << " = " << c.value;
    }
}

TEST (ParameterMapping, DelayTimeFromSyncAndFromSpace)
{
    struct Case { int product; float bpm; int note; float spaceAng; float spaceRad; float time; float feedback; float xfade; bool on; };
    const Case cases[] = {
        { 0, 120.0f, 5, 0.0f, 0.0f, 0.5f, 0.3f, 15.0f, false },
        { 0, 20.0f, 6, 0.0f, 0.0f, 1.5f, 0.3f, 15.0f, false },   // 4.5 s clamped
        { 0, 10.0f, 1, 0.0f, 0.0f, 0.75f, 0.3f, 15.0f, false },  // below 20 BPM counts as 20
        { 15, 120.0f, 5, 0.3f, 0.5f, 0.2243f, 0.21f, 14.5f, true },
        { 15, 120.0f, 0, 0.95f, 1.0f, 0.1624f, 0.26f, 17.0f, true },
        { 15, 120.0f, 0, 0.75f, 0.6f, 0.412f, 0.39f, 28.8f, true },
        { 15, 120.0f, 0, 0.75f, 0.03f, 0.0586f, 0.0195f, 12.84f, false },
    };
    for (const auto& c : cases)
    {
        VyrAudioProcessor p (c.product);
        setParam (p, "delay_bpm", c.bpm);
        setParam (p, "delay_syncNote", (float) c.note);
        setParam (p, "quarn_spaceAng", c.spaceAng);
        setParam (p, "quarn_spaceRad", c.spaceRad);
        loadNow (p);
        SCOPED_TRACE (testing::Message() << "product " << c.product << " angle " << c.spaceAng << " radius " << c.spaceRad);
        EXPECT_NEAR (p.liveChain.delay.time, c.time, 2.0e-4f);
        EXPECT_NEAR (p.liveChain.delay.feedback, c.feedback, 1.0e-3f);
        EXPECT_NEAR (p.liveChain.delay.xfadeMs, c.xfade, 0.02f);
        EXPECT_EQ (p.liveChain.delay.enabled, c.on);
    }
    float t0, f0, x0, t1, f1, x1;
    bool o0, o1;
    vyrQuarn::spaceDelayParams (0.0f, 0.7f, t0, f0, x0, o0);
    vyrQuarn::spaceDelayParams (1.0f, 0.7f, t1, f1, x1, o1);
    EXPECT_EQ (t0, t1);
    vyrQuarn::spaceDelayParams (-0.25f, 0.6f, t1, f1, x1, o1);
    EXPECT_NEAR (t1, 0.412f, 1.0e-4f);
}

TEST (ParameterMapping, SmoothedSettingsRampOverTheirTimes)
{
    VyrAudioProcessor p (0);
    prepare (p, 48000.0, 512);
    setParam (p, "compressor_threshold", -40.0f);
    setParam (p, "reverb_decay", 6.0f);
    runBlocks (p, 1, 512);
    const float afterOne = p.liveChain.compressor.threshold;
    EXPECT_GT (afterOne, -40.0f);
    EXPECT_LT (afterOne, -18.0f);
    EXPECT_NEAR (afterOne, -18.0f + (-22.0f) * 512.0f / 1536.0f, 0.05f) << "32 ms ramp";
    runBlocks (p, 2, 512);
    EXPECT_FLOAT_EQ (p.liveChain.compressor.threshold, -40.0f) << "reached after 1536 samples";
    EXPECT_FLOAT_EQ (p.liveChain.reverb.getParams().decay, 6.0f) << "25 ms ramp reached too";
}

TEST (ParameterMapping, CharacterChangeFadesTheModelBlendFirst)
{
    VyrAudioProcessor p (0);
    prepare (p, 48000.0, 256);
    EXPECT_EQ (p.liveChain.compressor.character, 0);
    setParam (p, "compressor_character", 3.0f);
    runBlocks (p, 1, 256);
    EXPECT_EQ (p.liveChain.compressor.character, 0) << "the old character stays while the blend falls";
    EXPECT_LT (p.liveChain.compressor.model, 1.0f);
    runBlocks (p, 6, 256);   // 1536 samples: the blend reached 0 and the new character took over
    EXPECT_EQ (p.liveChain.compressor.character, 3);
    runBlocks (p, 8, 256);
    EXPECT_FLOAT_EQ (p.liveChain.compressor.model, 1.0f);
}

TEST (MasteredPath, EffectAmountScalesTheModuleMixes)
{
    struct Case { int product; float trim; float compMix; float expectedComp; float expectedEq; };
    const Case cases[] = {
        { 0, -50.0f, 60.0f, 0.3f, 50.0f },
        { 0, 50.0f, 80.0f, 1.0f, 100.0f },
        { 15, 20.0f, 50.0f, 0.6f, 100.0f },
    };
    for (const auto& c : cases)
    {
        VyrAudioProcessor p (c.product);
        setParam (p, "masterTrim", c.trim);
        setParam (p, "compressor_mix", c.compMix);
        prepare (p, 48000.0, 512);
        runBlocks (p, 4, 512);   // past the 32 ms ramp of the effect amount
        EXPECT_NEAR (p.liveChain.compressor.mix, c.expectedComp, 1.0e-4f) << c.trim;
        EXPECT_NEAR (p.liveChain.parametricEq.state.mix, c.expectedEq, 1.0e-3f);
        EXPECT_NEAR (p.liveChain.limiter.mix, 1.0f, 1.0e-6f) << "the limiter is not scaled";
    }

    // Product 15: the delay and reverb wet shares follow the SPACE radii instead of the amount.
    VyrAudioProcessor q (15);
    setParam (q, "delay_mix", 0.5f);
    setParam (q, "reverb_mix", 0.4f);
    setParam (q, "quarn_spaceRad", 0.5f);
    setParam (q, "quarn_reverbRad", 0.25f);
    setParam (q, "masterTrim", -50.0f);
    prepare (q, 48000.0, 512);
    runBlocks (q, 4, 512);
    EXPECT_NEAR (q.liveChain.delay.mix, 0.25f, 1.0e-4f);
    EXPECT_NEAR (q.liveChain.reverb.getParams().mix, 0.1f, 1.0e-4f);
}

TEST (MasteredPath, EqBellMeasuredThroughThePlugin)
{
    VyrAudioProcessor p (15);
    setParam (p, "eq_bandCount", 1.0f);   // 4 bands: low, M1, M2, high
    setParam (p, "eq_m0Freq", 1000.0f);
    setParam (p, "eq_m0Gain", 6.0f);
    setParam (p, "eq_m0Q", 2.0f);
    prepare (p, 48000.0, 480);
    juce::AudioBuffer<float> b (2, 480);
    juce::MidiBuffer midi;
    auto measure = [&] (double f)
    {
        std::vector<float> out;
        for (int k = 0; k < 100; ++k)
        {
            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < 480; ++i)
                    b.setSample (ch, i, 0.05f * (float) std::sin (2.0 * juce::MathConstants<double>::pi * f * (k * 480 + i) / 48000.0));
            p.processBlock (b, midi);
            if (k >= 50)
                out.insert (out.end(), b.getReadPointer (0), b.getReadPointer (0) + 480);
        }
        return vyrTestSignals::toDb (vyrTestSignals::amplitudeAt (out.data(), 0, (int) out.size(), f, 48000.0) / 0.05);
    };
    // The designed peak filter: +6 dB at the centre, +3 dB (half the gain in dB) at the band edges
    // for JUCE's peak design with Q 2: edges at f0 * (sqrt(1 + 1/(4Q^2)) -+ 1/(2Q)).
    EXPECT_NEAR (measure (1000.0), 6.0, 0.1);
    const double e = std::sqrt (1.0 + 1.0 / 16.0);
    EXPECT_NEAR (measure (1000.0 * (e + 0.25)), 3.0, 0.25);
    EXPECT_NEAR (measure (1000.0 * (e - 0.25)), 3.0, 0.25);
    EXPECT_NEAR (measure (100.0), 0.0, 0.1);
}

TEST (PluginOutput, HoldsTheCeilingFromTheFirstBlockAtEveryOversampling)
{
    const float ceiling = juce::Decibels::decibelsToGain (-1.0f);
    for (int os = 0; os < 4; ++os)
    {
        VyrAudioProcessor p (15);
        setParam (p, "limiter_ceiling", -1.0f);
        setParam (p, "limiter_inputGain", 12.0f);
        setParam (p, "limiter_oversampling", (float) os);
        prepare (p, 44100.0, 512);
        juce::AudioBuffer<float> b (2, 512);
        juce::MidiBuffer midi;
        juce::Random rng (7 + os);
        float worst = 0.0f;
        for (int k = 0; k < 200; ++k)
        {
            vyrChainTest::fillBassHeavyPink (b, rng, 0.5f);
            p.processBlock (b, midi);
            worst = std::max (worst, vyrTestSignals::peak (b));
            ASSERT_LE (vyrTestSignals::peak (b), ceiling) << "oversampling index " << os << " block " << k;
        }
        EXPECT_GT (worst, ceiling * 0.9f) << "the material really was limited";
    }
}

TEST (PluginOutput, SixteenBitDitherStaysOnItsGrid)
{
    VyrAudioProcessor p (15);
    setParam (p, "limiter_dither", 1.0f);
    setParam (p, "limiter_noiseShape", 2.0f);
    setParam (p, "limiter_ceiling", -1.0f);
    setParam (p, "limiter_inputGain", 12.0f);
    prepare (p, 44100.0, 512);
    juce::AudioBuffer<float> b (2, 512);
    juce::MidiBuffer midi;
    juce::Random rng (3);
    for (int k = 0; k < 50; ++k)
    {
        vyrChainTest::fillBassHeavyPink (b, rng, 0.5f);
        p.processBlock (b, midi);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
            {
                const double steps = (double) b.getSample (ch, i) * 32768.0;
                ASSERT_EQ (steps, std::round (steps)) << "block " << k << " sample " << i;
            }
    }
}

TEST (PluginOutput, OversamplingKeepsTheTopEndAndReportsItsLatency)
{
    for (double sr : { 44100.0, 48000.0 })
    {
        std::vector<double> reference;
        for (int os = 0; os < 4; ++os)
        {
            VyrAudioProcessor p (15);
            setParam (p, "limiter_oversampling", (float) os);
            setParam (p, "limiter_lookahead", 5.0f);
            prepare (p, sr, 1024);
            juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
            EXPECT_EQ (p.getLatencySamples(), p.liveChain.limiter.getLatencySamples());
            EXPECT_GT (p.getLatencySamples(), 0);

            int k = 0;
            for (double f : { 1000.0, 5000.0, 10000.0, 12500.0, 15000.0 })
            {
                juce::AudioBuffer<float> b (2, 1024);
                juce::MidiBuffer midi;
                std::vector<float> out;
                for (int blk = 0; blk < 24; ++blk)
                {
                    for (int ch = 0; ch < 2; ++ch)
                        for (int i = 0; i < 1024; ++i)
                            b.setSample (ch, i, 0.1f * (float) std::sin (2.0 * juce::MathConstants<double>::pi * f * (blk * 1024 + i) / sr));
                    p.processBlock (b, midi);
                    if (blk >= 8)
                        out.insert (out.end(), b.getReadPointer (0), b.getReadPointer (0) + 1024);
                }
                const double level = vyrTestSignals::toDb (vyrTestSignals::amplitudeAt (out.data(), 0, (int) out.size(), f, sr));
                if (os == 0)
                    reference.push_back (level);
                else
                    EXPECT_NEAR (level, reference[(size_t) k], 0.2) << sr << " Hz, factor index " << os << ", " << f << " Hz";
                ++k;
            }
        }
    }
}

TEST (MasteredPath, SectionFollowPostsSectionsAndBlendsInGlides)
{
    VyrAudioProcessor p (0);
    p.section.enabled = true;
    p.section.liveFollow = true;
    p.publishChainShared();
    prepare (p, 48000.0, 256);
    juce::AudioBuffer<float> b (2, 256);
    auto at = [&] (double position)
    {
        b.clear();
        p.smoothBlockSamples = 256;
        p.syncChainFromApvts();
        p.processMasteredBlock (b, true, position);
    };

    at (0.1);
    EXPECT_EQ (p.pendingSection.exchange (-1), 0);
    EXPECT_FALSE (p.sectionBlendActive);

    at (0.2);   // centre of the first glide window (half-width 0.35 x 0.18 = 0.063)
    EXPECT_TRUE (p.sectionBlendActive);
    EXPECT_NEAR (p.sectionBlendAmount, 0.5f, 1.0e-4f);
    EXPECT_EQ (p.sectionBlendFrom, 0);
    EXPECT_EQ (p.sectionBlendTo, 1);
    EXPECT_EQ (p.pendingSection.load(), -1) << "no post inside a window once a section was posted";

    at (0.262);
    EXPECT_TRUE (p.sectionBlendActive);
    at (0.264);
    EXPECT_FALSE (p.sectionBlendActive);
    EXPECT_EQ (p.pendingSection.exchange (-1), 1);
    at (0.4 + 0.07);   // just after the second window: section 2
    EXPECT_EQ (p.pendingSection.exchange (-1), 2);
}

TEST (MasteredPath, FactoryPresetBlendFadesModulesInAndOut)
{
    // Find two presets where one uses the compressor and the other does not.
    int withComp = -1, without = -1;
    for (int i = 1; i < vyrFactory::kNumPresets; ++i)
        (vyrFactory::get (i).compressor_enabled ? withComp : without) = i;
    ASSERT_GE (withComp, 1);
    ASSERT_GE (without, 1);

    VyrSignalChain chain;
    for (float t : { 0.0f, 0.25f, 0.999f, 1.0f })
    {
        vyrFactory::blendMastering (chain, withComp, without, t);
        EXPECT_NEAR (chain.compressor.mix, 1.0f - t, 1.0e-6f);
        EXPECT_EQ (chain.compressor.enabled, t < 1.0f);
        EXPECT_FLOAT_EQ (chain.compressor.threshold, vyrFactory::get (withComp).compressor_threshold);
        vyrFactory::blendMastering (chain, without, withComp, t);
        EXPECT_NEAR (chain.compressor.mix, t, 1.0e-6f);
        EXPECT_TRUE (chain.compressor.enabled);
    }
}
