#include <gtest/gtest.h>
#include "TestSignals.h"
#include "ColourFxTestUtil.h"
#include "Dsp/Imager.h"

using namespace colourTest;
using namespace vyrTestSignals;

namespace
{
    void setUp (VyrImager& im, double sr, float hi = 1.0f, float lo = -1.0f)
    {
        im.enabled = true;
        im.width = hi;
        im.spreadLo = lo;
        im.prepare (sr, 512);
    }

    // Complex side gain at one frequency (output side over input side), with the mid checked unchanged.
    std::complex<double> sideGainAt (VyrImager& im, double sr, double hz, double* midGain = nullptr)
    {
        const int settle = (int) (0.3 * sr), window = (int) (sr / 10);
        juce::AudioBuffer<float> b (2, settle + window);
        // Mid at one frequency, side at the probe: both read separately afterwards.
        const double midHz = hz * 1.5 + 10.0;
        for (int i = 0; i < b.getNumSamples(); ++i)
        {
            const float m = 0.2f * (float) std::sin (2.0 * pi * midHz * i / sr);
            const float s = 0.3f * (float) std::sin (2.0 * pi * hz * i / sr);
            b.setSample (0, i, m + s);
            b.setSample (1, i, m - s);
        }
        processInBlocks (im, b, 512);
        std::vector<float> side ((size_t) b.getNumSamples()), mid ((size_t) b.getNumSamples()), ref ((size_t) b.getNumSamples());
        for (int i = 0; i < b.getNumSamples(); ++i)
        {
            side[(size_t) i] = 0.5f * (b.getSample (0, i) - b.getSample (1, i));
            mid[(size_t) i] = 0.5f * (b.getSample (0, i) + b.getSample (1, i));
            ref[(size_t) i] = 0.3f * (float) std::sin (2.0 * pi * hz * i / sr);
        }
        if (midGain != nullptr)
            *midGain = amplitudeAt (mid.data(), settle, window, midHz, sr) / 0.2;
        return phasorAt (side.data(), settle, window, hz, sr) / phasorAt (ref.data(), settle, window, hz, sr);
    }
}

TEST (Imager, SpreadRangeSetsOneSideGain)
{
    struct Case { float hi, lo, gain; };
    const Case cases[] = {
        { 1.0f, -1.0f, 1.65f },   // the default range sits on the 1.65 detent
        { 2.0f, 0.0f, 1.65f },
        { 1.04f, -1.0f, 1.65f },  // within 0.05 of unity: detent
        { 1.2f, -1.0f, 1.1f },
        { 0.5f, -0.5f, 0.5f },
        { -0.5f, 0.5f, 0.5f },    // handle order does not matter
        { 3.0f, -3.0f, 2.0f },    // limited to 2
        { 0.7f, 0.7f, 0.0f },     // mono
    };
    const double sr = 48000.0;
    for (const auto& k : cases)
    {
        EXPECT_FLOAT_EQ (VyrImager::spreadGain (k.hi, k.lo), k.gain);
        for (bool split : { true, false })
        {
            VyrImager im;
            im.split = split;
            setUp (im, sr, k.hi, k.lo);
            for (double probe : { 60.0, 200.0, 3000.0 })
            {
                double mid = 0.0;
                const auto g = sideGainAt (im, sr, probe, &mid);
                EXPECT_NEAR (std::abs (g), k.gain, 2.0e-3) << k.hi << " " << k.lo << " split " << split << " probe " << probe;
                EXPECT_NEAR (mid, 1.0, 1.0e-3);
                im.prepare (sr, 512);
            }
        }
    }
}

TEST (Imager, SplitSumsFlatThroughTheCrossover)
{
    // Default spread (1.65): the side keeps the same gain and phase at, below and above the crossover,
    // at every crossover and host rate.
    for (double sr : { 22050.0, 44100.0, 192000.0 })
    {
        for (float xover : { 20.0f, 200.0f, 2000.0f })
        {
            for (double ratio : { 0.5, 1.0, 2.0 })
            {
                VyrImager im;
                im.crossover = xover;
                setUp (im, sr);
                const double probe = std::round (xover * ratio / 10.0) * 10.0 + (xover < 30.0f ? 10.0 : 0.0);
                const auto g = sideGainAt (im, sr, probe);
                EXPECT_NEAR (toDb (std::abs (g)), toDb (1.65), 0.01) << sr << " xover " << xover << " probe " << probe;
                EXPECT_NEAR (std::arg (g), 0.0, 1.0e-3) << sr << " xover " << xover << " probe " << probe;
            }
        }
    }

    // The split and the plain path give the same output.
    const double sr = 48000.0;
    VyrImager a, b;
    a.split = true;
    b.split = false;
    setUp (a, sr);
    setUp (b, sr);
    juce::AudioBuffer<float> x (2, 9600);
    fillNoise (x, 0, 5, 0.5f);
    fillNoise (x, 1, 6, 0.5f);
    juce::AudioBuffer<float> y (x);
    processInBlocks (a, x, 512);
    processInBlocks (b, y, 512);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 9600; ++i)
            ASSERT_NEAR (x.getSample (ch, i), y.getSample (ch, i), 2.0e-6);
}

TEST (Imager, DirectionRotatesTheImage)
{
    const double sr = 48000.0;
    for (float deg : { 0.0f, 90.0f, -90.0f, 45.0f, -135.0f, 180.0f, 270.0f, -450.0f })
    {
        VyrImager im;
        im.direction = deg;
        im.split = false;
        setUp (im, sr, 1.2f, -1.0f);  // side gain 1.1
        juce::AudioBuffer<float> b (2, 2048);
        fillNoise (b, 0, 7, 0.5f);
        fillNoise (b, 1, 8, 0.5f);
        juce::AudioBuffer<float> in (b);
        processInBlocks (im, b, 512);

        // Reference: side scaled, then (M + S', M - S') turned by the angle; 270 and -450 are -90.
        const double th = deg * pi / 180.0;
        for (int i = 0; i < b.getNumSamples(); ++i)
        {
            const double L = in.getSample (0, i), R = in.getSample (1, i);
            const double M = 0.5 * (L + R), S = 1.1 * 0.5 * (L - R);
            const double wl = std::cos (th) * (M + S) - std::sin (th) * (M - S);
            const double wr = std::sin (th) * (M + S) + std::cos (th) * (M - S);
            ASSERT_NEAR (b.getSample (0, i), wl, 1.0e-5) << deg;
            ASSERT_NEAR (b.getSample (1, i), wr, 1.0e-5) << deg;
        }
    }
}

TEST (Imager, MidSideInputIsDecodedWithTheSpread)
{
    const double sr = 48000.0;
    VyrImager im;
    im.inputMs = true;
    im.split = false;
    setUp (im, sr);
    juce::AudioBuffer<float> b (2, 1024);
    fillNoise (b, 0, 9, 0.4f);
    fillNoise (b, 1, 10, 0.2f);
    juce::AudioBuffer<float> in (b);
    im.process (b);
    for (int i = 0; i < 1024; ++i)
    {
        ASSERT_NEAR (b.getSample (0, i), in.getSample (0, i) + 1.65f * in.getSample (1, i), 1.0e-6);
        ASSERT_NEAR (b.getSample (1, i), in.getSample (0, i) - 1.65f * in.getSample (1, i), 1.0e-6);
    }
}

TEST (Imager, CorrelationReadout)
{
    const double sr = 48000.0;
    struct Case { const char* name; bool on; int kind; float lo, hi; };
    // kind: 0 identical channels, 1 opposite, 2 independent noise, 3 silence, 4 one-channel buffer
    const Case cases[] = {
        { "mono", true, 0, 1.0f, 1.0f }, { "inverted", true, 1, -1.0f, -1.0f }, { "decorrelated", false, 2, -0.05f, 0.05f },
        { "silent", true, 3, 0.0f, 0.0f }, { "one channel", true, 4, 1.0f, 1.0f },
    };
    for (const auto& k : cases)
    {
        VyrImager im;
        im.enabled = k.on;
        setUp (im, sr);
        im.enabled = k.on;
        im.prepare (sr, 512);
        juce::AudioBuffer<float> b (k.kind == 4 ? 1 : 2, 8192);
        fillNoise (b, 0, 21, 0.5f);
        if (k.kind == 0) b.copyFrom (1, 0, b, 0, 0, 8192);
        if (k.kind == 1) { b.copyFrom (1, 0, b, 0, 0, 8192); b.applyGain (1, 0, 8192, -1.0f); }
        if (k.kind == 2) fillNoise (b, 1, 22, 0.5f);
        if (k.kind == 3) b.clear();
        im.process (b);
        const float c = im.correlation.load();
        EXPECT_GE (c, k.lo - 1.0e-6f) << k.name;
        EXPECT_LE (c, k.hi + 1.0e-6f) << k.name;
    }
}

TEST (Imager, SwitchingOffFadesThenPassesUntouched)
{
    const double sr = 48000.0;
    VyrImager im;
    setUp (im, sr, 3.0f, -3.0f);
    im.direction = 30.0f;
    const int ramp = (int) std::floor (0.025 * sr);
    juce::AudioBuffer<float> b (2, 9600);
    fillSine (b, 0, 50.0, sr, 0.7f);
    fillSine (b, 1, 50.0, sr, -0.2f, 0.5);
    juce::AudioBuffer<float> in (b);

    processSwitchingOffAt (im, b, 500, 4800);

    EXPECT_LE (largestStep (b.getReadPointer (0), 4800, 9600), 1.02 * largestStep (b.getReadPointer (0), 2400, 4800));
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 4800 + ramp; i < 9600; ++i)
            ASSERT_EQ (b.getSample (ch, i), in.getSample (ch, i)) << i;

    // Once faded out the module costs nothing: the scope and the correlation keep the readings of
    // the last block that ran.
    const int written = im.scopeWrite.load();
    const float lastScope = im.scopeL[(written + VyrImager::scopeSize - 1) % VyrImager::scopeSize];
    const float lastCorrelation = im.correlation.load();
    juce::AudioBuffer<float> more (2, 512);
    fillSine (more, 0, 50.0, sr, 0.7f);
    fillSine (more, 1, 50.0, sr, 0.7f);
    im.process (more);
    EXPECT_EQ (im.scopeWrite.load(), written);
    EXPECT_EQ (im.scopeL[(written + VyrImager::scopeSize - 1) % VyrImager::scopeSize], lastScope);
    EXPECT_EQ (im.correlation.load(), lastCorrelation);
}

TEST (Imager, NonFiniteInputDoesNotLatch)
{
    const double sr = 48000.0;
    VyrImager im;
    setUp (im, sr);
    const int block = 256;
    juce::AudioBuffer<float> b (2, block * 6);
    fillSine (b, 0, 100.0, sr, 0.5f);
    fillSine (b, 1, 150.0, sr, 0.5f);
    b.setSample (0, block + 3, std::numeric_limits<float>::quiet_NaN());
    b.setSample (1, block + 4, -std::numeric_limits<float>::infinity());

    processInBlocks (im, b, block, 0, block * 2);
    EXPECT_TRUE (std::isfinite (im.correlation.load()));
    processInBlocks (im, b, block, block * 2, block * 6);
    EXPECT_TRUE (allFinite (b, block * 2));
    EXPECT_TRUE (std::isfinite (im.correlation.load()));
    for (int i = 0; i < VyrImager::scopeSize; ++i)
        ASSERT_TRUE (std::isfinite (im.scopeL[i]) && std::isfinite (im.scopeR[i]));
}
