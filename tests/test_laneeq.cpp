#include <gtest/gtest.h>
#include "TestSignals.h"
#include "ColourFxTestUtil.h"
#include "Dsp/LaneEq.h"

using namespace colourTest;
using namespace vyrTestSignals;

namespace
{
    double measuredGainDb (VyrQuarnLaneEq& eq, double sr, double hz)
    {
        const int settle = (int) (0.2 * sr), window = (int) (sr / 10);
        juce::AudioBuffer<float> b (2, settle + window);
        fillSine (b, 0, hz, sr, 0.1f);
        fillSine (b, 1, hz, sr, 0.1f);
        processInBlocks (eq, b, 512);
        const double l = amplitudeAt (b.getReadPointer (0), settle, window, hz, sr);
        const double r = amplitudeAt (b.getReadPointer (1), settle, window, hz, sr);
        EXPECT_NEAR (l, r, 1.0e-6);
        return toDb (l / 0.1);
    }
}

TEST (LaneEq, BandGainsAtTheSectorCentres)
{
    enum Kind { highShelf, bell, lowShelf };
    struct Case { float angle; Kind kind; double hz, q, dB; };
    const Case cases[] = {
        { 0.0625f, highShelf, 3500.0, 1.0, 6.0 },   // 22.5 degrees
        { 0.1875f, highShelf, 3500.0, 1.0, -6.0 },  // 67.5
        { 0.3125f, bell, 1500.0, 0.8, 6.0 },        // 112.5
        { 0.4375f, bell, 1500.0, 0.8, -6.0 },       // 157.5
        { 0.5625f, bell, 200.0, 0.8, 6.0 },         // 202.5
        { 0.6875f, bell, 200.0, 0.8, -6.0 },        // 247.5
        { 0.8125f, lowShelf, 250.0, 1.0, 9.0 },     // 292.5
        { 0.9375f, lowShelf, 250.0, 1.0, -9.0 },    // 337.5
        { 1.0625f, highShelf, 3500.0, 1.0, 6.0 },   // angles wrap
        { -0.0625f, lowShelf, 250.0, 1.0, -9.0 },
    };
    for (double sr : { 22050.0, 48000.0, 192000.0 })
    {
        for (const auto& k : cases)
        {
            for (double probe : { 30.0, 200.0, 250.0, 1500.0, 3500.0, 9000.0 })
            {
                VyrQuarnLaneEq eq;
                eq.prepare (sr, 512);
                eq.eqAng = k.angle;
                const auto designed = k.kind == highShelf ? protoHighShelf (probe, k.hz, k.q, k.dB, sr)
                                    : k.kind == lowShelf  ? protoLowShelf (probe, k.hz, k.q, k.dB, sr)
                                                          : protoBell (probe, k.hz, k.q, k.dB, sr);
                EXPECT_NEAR (measuredGainDb (eq, sr, probe), toDb (std::abs (designed)), 0.02)
                    << sr << " angle " << k.angle << " probe " << probe;
            }
        }
    }
}

TEST (LaneEq, FlatAtEverySectorEdge)
{
    const double sr = 48000.0;
    for (int k = -1; k <= 8; ++k)
    {
        VyrQuarnLaneEq eq;
        eq.prepare (sr, 512);
        eq.eqAng = 0.3f;  // move away first, then come back to the edge
        juce::AudioBuffer<float> warm (2, 4800);
        warm.clear();
        processInBlocks (eq, warm, 512);

        eq.eqAng = (float) k / 8.0f;
        juce::AudioBuffer<float> b (2, 9600);
        fillNoise (b, 0, 31, 0.5f);
        fillNoise (b, 1, 32, 0.5f);
        juce::AudioBuffer<float> in (b);
        processInBlocks (eq, b, 512);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 4800; i < 9600; ++i)
                ASSERT_NEAR (b.getSample (ch, i), in.getSample (ch, i), 1.0e-5) << "edge " << k;
    }
}

TEST (LaneEq, BandGlidesOver18ms)
{
    // From flat to the high-shelf boost: a 12 kHz tone rises linearly in dB and arrives after 18 ms.
    const double sr = 48000.0, hz = 12000.0;
    VyrQuarnLaneEq eq;
    eq.prepare (sr, 512);
    eq.eqAng = 0.0625f;
    juce::AudioBuffer<float> b (2, 4800);
    fillSine (b, 0, hz, sr, 0.1f);
    fillSine (b, 1, hz, sr, 0.1f);
    processInBlocks (eq, b, 64);

    const double full = toDb (std::abs (protoHighShelf (hz, 3500.0, 1.0, 6.0, sr)));
    const auto levelAround = [&] (double ms)
    {
        const int n = 48;  // 1 ms: 12 whole periods
        const int start = (int) (ms * sr / 1000.0) - n / 2;
        return toDb (amplitudeAt (b.getReadPointer (0), start, n, hz, sr) / 0.1);
    };
    EXPECT_NEAR (levelAround (9.0), full * 0.5, 0.4);
    EXPECT_LT (levelAround (4.5), full * 0.5);
    EXPECT_NEAR (levelAround (30.0), full, 0.05);
}

TEST (LaneEq, MonoBufferUsesTheLeftFilters)
{
    const double sr = 44100.0;
    VyrQuarnLaneEq stereo, mono;
    stereo.prepare (sr, 512);
    mono.prepare (sr, 512);
    stereo.eqAng = mono.eqAng = 0.8125f;
    juce::AudioBuffer<float> s (2, 8192), m (1, 8192);
    fillNoise (s, 0, 41, 0.5f);
    fillNoise (s, 1, 42, 0.5f);
    m.copyFrom (0, 0, s, 0, 0, 8192);
    processInBlocks (stereo, s, 256);
    processInBlocks (mono, m, 256);
    for (int i = 0; i < 8192; ++i)
        ASSERT_EQ (m.getSample (0, i), s.getSample (0, i));
}

TEST (LaneEq, NonFiniteInputDoesNotLatch)
{
    const double sr = 48000.0;
    VyrQuarnLaneEq eq;
    eq.prepare (sr, 256);
    eq.eqAng = 0.3125f;
    const int block = 256;
    juce::AudioBuffer<float> b (2, block * 6);
    fillSine (b, 0, 1000.0, sr, 0.5f);
    fillSine (b, 1, 3000.0, sr, 0.5f);
    b.setSample (0, block + 1, std::numeric_limits<float>::quiet_NaN());
    b.setSample (1, block + 2, std::numeric_limits<float>::infinity());
    processInBlocks (eq, b, block);
    EXPECT_TRUE (allFinite (b, block * 2));
    EXPECT_LT (peakOf (b, 0, block * 4, block * 2), 2.0);

    // A non-finite angle leaves the lane flat instead of poisoning the bands.
    eq.eqAng = std::numeric_limits<float>::quiet_NaN();
    juce::AudioBuffer<float> c (2, block * 8);
    fillSine (c, 0, 1500.0, sr, 0.5f);
    fillSine (c, 1, 1500.0, sr, 0.5f);
    processInBlocks (eq, c, block);
    EXPECT_TRUE (allFinite (c));
    EXPECT_NEAR (amplitudeAt (c.getReadPointer (0), block * 6, block * 2, 1500.0, sr), 0.5, 0.005);
}
