#include <gtest/gtest.h>
#include "TestSignals.h"
#include "ColourFxTestUtil.h"
#include "Dsp/Clipper.h"

using namespace colourTest;
using namespace vyrTestSignals;

namespace
{
    VyrClipper makeClipper (double sr)
    {
        VyrClipper c;
        c.enabled = true;
        c.mix = 1.0f;
        c.prepare (sr, 512);
        return c;
    }

    struct Harmonics { double second, third; };

    Harmonics harmonicsOf (VyrClipper& c, double sr, double f0, float amp)
    {
        juce::AudioBuffer<float> b (2, (int) sr);
        fillSine (b, 0, f0, sr, amp);
        fillSine (b, 1, f0, sr, amp);
        processInBlocks (c, b, 512);
        const int start = (int) sr / 2, n = (int) sr / 2;
        const double fund = amplitudeAt (b.getReadPointer (0), start, n, f0, sr);
        return { toDb (amplitudeAt (b.getReadPointer (0), start, n, 2 * f0, sr) / fund),
                 toDb (amplitudeAt (b.getReadPointer (0), start, n, 3 * f0, sr) / fund) };
    }

    // Small-signal gain of the wet path at one frequency (the clipper is linear at -60 dBFS).
    double measuredGainDb (VyrClipper& c, double sr, double hz)
    {
        const int settle = (int) (0.25 * sr), window = (int) (sr / 10);
        juce::AudioBuffer<float> b (2, settle + window);
        fillSine (b, 0, hz, sr, 1.0e-3f);
        fillSine (b, 1, hz, sr, 1.0e-3f);
        processInBlocks (c, b, 256);
        return toDb (amplitudeAt (b.getReadPointer (1), settle, window, hz, sr) / 1.0e-3);
    }
}

TEST (Clipper, EvenHarmonicsOnlyWithAsymmetry)
{
    const double sr = 48000.0;
    for (float symmetry : { 0.0f, 30.0f, -30.0f, 100.0f })
    {
        auto c = makeClipper (sr);
        c.drive = 12.0f;
        c.symmetry = symmetry;
        const auto h = harmonicsOf (c, sr, 500.0, 0.5f);
        if (symmetry == 0.0f)
            EXPECT_LT (h.second, -100.0) << "a symmetric clipper makes no even harmonics";
        else
            EXPECT_GT (h.second, -40.0) << symmetry;
        EXPECT_GT (h.third, -40.0) << symmetry;
    }
}

TEST (Clipper, BiasLeavesSilenceSilentAndNegativeDriveActsAsZero)
{
    const double sr = 48000.0;
    for (float symmetry : { 100.0f, -100.0f, 37.0f })
    {
        auto c = makeClipper (sr);
        c.drive = 30.0f;
        c.symmetry = symmetry;
        juce::AudioBuffer<float> b (2, 4096);
        b.clear();
        processInBlocks (c, b, 512);
        EXPECT_EQ (peakOf (b, 0), 0.0) << symmetry;
    }

    // Drive -10 dB clips exactly like 0 dB.
    auto atZero = makeClipper (sr);
    auto negative = makeClipper (sr);
    negative.drive = -10.0f;
    negative.prepare (sr, 512);
    juce::AudioBuffer<float> a (2, 4800), b (2, 4800);
    fillSine (a, 0, 300.0, sr, 0.9f);
    fillSine (a, 1, 300.0, sr, 0.9f);
    b.makeCopyOf (a);
    processInBlocks (atZero, a, 480);
    processInBlocks (negative, b, 480);
    for (int i = 0; i < 4800; ++i)
        ASSERT_EQ (a.getSample (0, i), b.getSample (0, i));
}

TEST (Clipper, FilterChainResponseMatchesDesign)
{
    struct Case
    {
        double sr;
        int type;
        float clipHz, toneHz, shelfHz, shelfDb, lpHz;
        std::vector<double> probes;
    };
    const Case cases[] = {
        { 48000.0, VyrClipper::lowPassType, 2000.0f, 100.0f, 3000.0f, 12.0f, 8000.0f, { 50, 200, 1000, 2000, 5000, 10000, 16000 } },
        { 44100.0, VyrClipper::highPassType, 1000.0f, 20.0f, 980.0f, -6.0f, 20000.0f, { 100, 500, 1000, 5000, 15000, 19000 } },
        { 22050.0, VyrClipper::lowPassType, 20000.0f, 170.0f, 980.0f, 3.0f, 20000.0f, { 100, 1000, 5000, 9000, 10500 } },
        { 192000.0, VyrClipper::lowPassType, 20000.0f, 5000.0f, 10000.0f, 6.0f, 20000.0f, { 1000, 5000, 10000, 20000, 40000 } },
    };

    for (const auto& k : cases)
    {
        // Corners are kept below 0.45 x the sample rate.
        const auto corner = [&k] (float hz) { return std::min ((double) hz, 0.45 * k.sr); };
        for (double hz : k.probes)
        {
            auto c = makeClipper (k.sr);
            c.clipFilterType = k.type;
            c.clipFilterFreq = k.clipHz;
            c.tone = k.toneHz;
            c.highShelfFreq = k.shelfHz;
            c.highShelfGain = k.shelfDb;
            c.lpFilterFreq = k.lpHz;

            const auto pre = k.type == VyrClipper::highPassType ? protoHighPass (hz, corner (k.clipHz), 0.707, k.sr)
                                                                : protoLowPass (hz, corner (k.clipHz), 0.707, k.sr);
            const auto expected = pre * protoHighPass (hz, corner (k.toneHz), 0.707, k.sr)
                                  * protoHighShelf (hz, corner (k.shelfHz), 0.707, k.shelfDb, k.sr)
                                  * protoLowPass (hz, corner (k.lpHz), 0.707, k.sr);
            const double expectedDb = toDb (std::abs (expected));
            const double measured = measuredGainDb (c, k.sr, hz);
            if (expectedDb > -50.0)
                EXPECT_NEAR (measured, expectedDb, 0.05) << k.sr << " Hz rate, probe " << hz;
            else
                EXPECT_LT (measured, -45.0) << k.sr << " Hz rate, probe " << hz;
        }
    }
}

TEST (Clipper, FiltersRedesignOnlyPastTheirThresholds)
{
    const double sr = 48000.0;
    auto c = makeClipper (sr);
    juce::AudioBuffer<float> b (2, 512);
    const auto settle = [&] { for (int i = 0; i < 20; ++i) { b.clear(); c.process (b); } };
    settle();
    const auto lpBefore = c.filtersOf (0).lowPass.c;

    c.lpFilterFreq = 6603.0f;  // 3 Hz: below the 4 Hz threshold, never redesigned
    settle();
    EXPECT_EQ (c.filtersOf (0).lowPass.c.b0, lpBefore.b0);
    EXPECT_EQ (c.filtersOf (1).lowPass.c.a1, lpBefore.a1);

    c.lpFilterFreq = 6606.0f;  // now 6 Hz away from the design
    settle();
    EXPECT_NE (c.filtersOf (0).lowPass.c.b0, lpBefore.b0);

    // The filter type alone redesigns on the next block: the pre-clip filter turns into a high-pass.
    EXPECT_GT (c.filtersOf (0).preClip.magnitude (100.0, sr), 0.99);
    c.clipFilterType = VyrClipper::highPassType;
    b.clear();
    c.process (b);
    EXPECT_LT (c.filtersOf (0).preClip.magnitude (100.0, sr), 0.01);
    EXPECT_LT (c.filtersOf (1).preClip.magnitude (100.0, sr), 0.01);
}

TEST (Clipper, OnlyTheFirstTwoChannelsAndMonoBuffers)
{
    const double sr = 48000.0;
    auto c = makeClipper (sr);
    c.drive = 20.0f;
    juce::AudioBuffer<float> b (4, 4800);
    for (int ch = 0; ch < 4; ++ch)
        fillSine (b, ch, 1000.0, sr, 0.8f);
    juce::AudioBuffer<float> in (b);
    processInBlocks (c, b, 512);
    for (int ch = 2; ch < 4; ++ch)
        for (int i = 0; i < 4800; ++i)
            ASSERT_EQ (b.getSample (ch, i), in.getSample (ch, i));
    EXPECT_GT (amplitudeAt (b.getReadPointer (1), 2400, 2400, 3000.0, sr), 0.01);

    auto mono = makeClipper (sr);
    mono.drive = 20.0f;
    juce::AudioBuffer<float> m (1, 4800);
    fillSine (m, 0, 1000.0, sr, 0.8f);
    processInBlocks (mono, m, 512);
    for (int i = 0; i < 4800; ++i)
        ASSERT_FLOAT_EQ (m.getSample (0, i), b.getSample (0, i));
}

TEST (Clipper, SwitchingOffFadesThenPassesUntouched)
{
    const double sr = 48000.0;
    auto c = makeClipper (sr);
    c.drive = 24.0f;
    c.outputGain = 6.0f;
    c.prepare (sr, 512);
    const int ramp = (int) std::floor (0.025 * sr);
    juce::AudioBuffer<float> b (2, 9600);
    fillSine (b, 0, 50.0, sr, 0.7f);
    fillSine (b, 1, 50.0, sr, 0.7f);
    juce::AudioBuffer<float> in (b);

    processSwitchingOffAt (c, b, 500, 4800);

    EXPECT_LE (largestStep (b.getReadPointer (0), 4800, 9600), 1.02 * largestStep (b.getReadPointer (0), 2400, 4800));
    for (int i = 4800 + ramp; i < 9600; ++i)
        ASSERT_EQ (b.getSample (0, i), in.getSample (0, i)) << i;
}

TEST (Clipper, NonFiniteInputDoesNotLatch)
{
    const double sr = 48000.0;
    auto hit = makeClipper (sr), clean = makeClipper (sr);
    for (auto* c : { &hit, &clean })
    {
        c->drive = 18.0f;
        c->highShelfGain = 6.0f;
        c->symmetry = 20.0f;
    }
    const int block = 256;
    juce::AudioBuffer<float> a (2, block * 40);
    fillSine (a, 0, 220.0, sr, 0.5f);
    fillSine (a, 1, 330.0, sr, 0.5f);
    juce::AudioBuffer<float> b (a);
    a.setSample (0, block * 4 + 9, std::numeric_limits<float>::quiet_NaN());
    a.setSample (1, block * 4 + 50, std::numeric_limits<float>::infinity());
    b.setSample (0, block * 4 + 9, 0.0f);
    b.setSample (1, block * 4 + 50, 0.0f);

    processInBlocks (hit, a, block);
    processInBlocks (clean, b, block);

    // The block after the bad one is finite, and the filters settle back onto the clean run (to the
    // rounding floor of single-precision filters, about -100 dB here).
    EXPECT_TRUE (allFinite (a, block * 5));
    for (int ch = 0; ch < 2; ++ch)
        for (int i = block * 20; i < block * 40; ++i)
            ASSERT_NEAR (a.getSample (ch, i), b.getSample (ch, i), 1.0e-4) << i;
}
