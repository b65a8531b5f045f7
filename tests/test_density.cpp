#include <gtest/gtest.h>
#include "TestSignals.h"
#include "ColourFxTestUtil.h"
#include "Dsp/AnalogueDensity.h"

using namespace colourTest;
using namespace vyrTestSignals;

namespace
{
    constexpr double sr = 48000.0;

    VyrAnalogueDensity makeDensity()
    {
        VyrAnalogueDensity d;
        d.enabled = true;
        d.satIn = false;
        d.mix = 1.0f;
        d.prepare (sr, 512);
        return d;
    }

    double transformer (double v) { return v + 0.018 * std::tanh (7.0 * v) - 0.004 * v; }

    struct Harmonics { double second, third; };

    Harmonics harmonicsOf (VyrAnalogueDensity& d, float amp)
    {
        const double f0 = 1000.0;
        juce::AudioBuffer<float> b (1, 9600);
        fillSine (b, 0, f0, sr, amp);
        processInBlocks (d, b, 512);
        const int start = 4800, n = 4800;
        const double fund = amplitudeAt (b.getReadPointer (0), start, n, f0, sr);
        return { toDb (amplitudeAt (b.getReadPointer (0), start, n, 2 * f0, sr) / fund),
                 toDb (amplitudeAt (b.getReadPointer (0), start, n, 3 * f0, sr) / fund) };
    }
}

TEST (AnalogueDensity, NeutralSettingsFollowTheValvePath)
{
    // Every amount 0, density 0, no saturation stage, unity output: the biased pentode and the triode
    // still shape the signal, T(tanh(tanh(T(x) + 0.14) - tanh(0.14) + 0.05 T(x))).
    auto d = makeDensity();
    juce::AudioBuffer<float> b (1, 401);
    for (int i = 0; i < b.getNumSamples(); ++i)
        b.setSample (0, i, -1.5f + 3.0f * (float) i / 400.0f);
    juce::AudioBuffer<float> in (b);
    d.process (b);

    double largestChange = 0.0;
    for (int i = 0; i < b.getNumSamples(); ++i)
    {
        const double x = in.getSample (0, i);
        const double u = transformer (x);
        const double ref = std::clamp (transformer (std::tanh (std::tanh (u + 0.14) - std::tanh (0.14) + 0.05 * u)), -1.0, 1.0);
        ASSERT_NEAR (b.getSample (0, i), ref, 2.0e-6) << x;
        largestChange = std::max (largestChange, std::abs (ref - x));
    }
    EXPECT_GT (largestChange, 0.1);  // not an identity
}

TEST (AnalogueDensity, BiasMakesEvenHarmonicsAndDensityScalesThem)
{
    // The pentode's bias gives even harmonics at any setting; density softens (negative) or drives
    // (positive) both valve stages.
    float thirdByDensity[3] {};
    int k = 0;
    for (float density : { -100.0f, 0.0f, 100.0f })
    {
        auto d = makeDensity();
        d.density = density;
        d.pentode = 5.0f;
        d.triode = 5.0f;
        d.prepare (sr, 512);
        const auto h = harmonicsOf (d, 0.5f);
        EXPECT_GT (h.second, -60.0) << density;  // an odd-symmetric path would read below -100 dB
        EXPECT_GT (h.third, -60.0) << density;
        thirdByDensity[k++] = (float) h.third;
    }
    EXPECT_LT (thirdByDensity[0], thirdByDensity[1] - 1.0);
    EXPECT_LT (thirdByDensity[1], thirdByDensity[2] - 1.0);

    // The saturation stage (both curves) adds to the distortion of the neutral path.
    auto plain = makeDensity();
    const auto h0 = harmonicsOf (plain, 0.5f);
    for (bool alt : { false, true })
    {
        auto d = makeDensity();
        d.satIn = true;
        d.altTube = alt;
        d.saturation = 10.0f;
        d.prepare (sr, 512);
        const auto h = harmonicsOf (d, 0.5f);
        EXPECT_GT (h.third, h0.third + 3.0) << "alt " << alt;
    }
}

TEST (AnalogueDensity, WetPathStaysWithinUnity)
{
    auto d = makeDensity();
    d.satIn = true;
    d.saturation = d.pentode = d.triode = 10.0f;
    d.density = 100.0f;
    d.output = 10.0f;
    d.inputGain = 24.0f;
    d.prepare (sr, 512);
    juce::AudioBuffer<float> b (2, 24000);
    fillNoise (b, 0, 3, 4.0f);
    fillSine (b, 1, 60.0, sr, 2.0f);
    processInBlocks (d, b, 333);
    EXPECT_LE (peakOf (b, 0), 1.0);
    EXPECT_LE (peakOf (b, 1), 1.0);
    EXPECT_GT (peakOf (b, 1), 0.9);
}

TEST (AnalogueDensity, SwitchingOffFadesThenPassesUntouched)
{
    auto d = makeDensity();
    d.density = 60.0f;
    d.pentode = 8.0f;
    d.prepare (sr, 512);
    const int ramp = (int) std::floor (0.025 * sr);
    juce::AudioBuffer<float> b (2, 9600);
    fillSine (b, 0, 50.0, sr, 0.9f);
    fillSine (b, 1, 70.0, sr, 0.9f);
    juce::AudioBuffer<float> in (b);

    processSwitchingOffAt (d, b, 500, 4800);

    // No sample step from the switch on is larger than the steps of the running wet signal before it.
    EXPECT_LE (largestStep (b.getReadPointer (0), 4800, 9600), 1.02 * largestStep (b.getReadPointer (0), 2400, 4800));

    // The departure from the input shrinks over the ramp and is gone afterwards.
    double early = 0.0, late = 0.0;
    for (int i = 4800; i < 4800 + ramp / 4; ++i)
        early = std::max (early, (double) std::abs (b.getSample (0, i) - in.getSample (0, i)));
    for (int i = 4800 + 3 * ramp / 4; i < 4800 + ramp; ++i)
        late = std::max (late, (double) std::abs (b.getSample (0, i) - in.getSample (0, i)));
    EXPECT_LT (late, early * 0.5);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 4800 + ramp; i < 9600; ++i)
            ASSERT_EQ (b.getSample (ch, i), in.getSample (ch, i)) << i;
}

TEST (AnalogueDensity, NonFiniteInputDoesNotLatch)
{
    auto d = makeDensity();
    d.satIn = true;
    d.altTube = true;
    d.saturation = 5.0f;
    d.prepare (sr, 256);
    juce::AudioBuffer<float> bad (2, 256), good (2, 256);
    fillSine (bad, 0, 440.0, sr, 0.5f);
    fillSine (bad, 1, 440.0, sr, 0.5f);
    bad.setSample (0, 3, std::numeric_limits<float>::quiet_NaN());
    bad.setSample (1, 7, -std::numeric_limits<float>::infinity());
    d.process (bad);

    fillSine (good, 0, 440.0, sr, 0.5f);
    fillSine (good, 1, 440.0, sr, 0.5f);
    juce::AudioBuffer<float> reference (good);
    d.process (good);
    auto fresh = makeDensity();
    fresh.satIn = true;
    fresh.altTube = true;
    fresh.saturation = 5.0f;
    fresh.prepare (sr, 256);
    fresh.process (reference);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ (good.getSample (ch, i), reference.getSample (ch, i));
}
