#include <gtest/gtest.h>
#include "TestSignals.h"
#include "ColourFxTestUtil.h"
#include "Dsp/Tovu.h"

using namespace colourTest;
using namespace vyrTestSignals;

namespace
{
    void setUp (VyrTovu& t, double sr, float width, int slope, float hz = 120.0f)
    {
        t.enabled = true;
        t.width = width;
        t.slope = slope;
        t.frequency = hz;
        t.prepare (sr, 512);
    }

    // Complex side and mid transfer at one frequency: a side-only and a mid-only sine are sent through.
    struct MsResponse { std::complex<double> side, mid; };

    MsResponse measureMs (VyrTovu& t, double sr, double hz)
    {
        const int settle = (int) (0.3 * sr), window = (int) (sr / 10);
        juce::AudioBuffer<float> b (2, settle + window);
        fillSine (b, 0, hz, sr, 0.25f);
        fillSine (b, 1, hz, sr, -0.25f);   // pure side of amplitude 0.25
        juce::AudioBuffer<float> m (2, settle + window);
        fillSine (m, 0, hz, sr, 0.25f);
        fillSine (m, 1, hz, sr, 0.25f);    // pure mid
        processInBlocks (t, b, 512);
        t.prepare (sr, 512);
        processInBlocks (t, m, 512);

        std::vector<float> side (b.getNumSamples()), mid (m.getNumSamples());
        for (int i = 0; i < b.getNumSamples(); ++i)
        {
            side[(size_t) i] = 0.5f * (b.getSample (0, i) - b.getSample (1, i));
            mid[(size_t) i] = 0.5f * (m.getSample (0, i) + m.getSample (1, i));
        }
        std::vector<float> in (b.getNumSamples());
        for (int i = 0; i < b.getNumSamples(); ++i)
            in[(size_t) i] = 0.25f * (float) std::sin (2.0 * pi * hz * i / sr);
        const auto inPhasor = phasorAt (in.data(), settle, window, hz, sr);
        return { phasorAt (side.data(), settle, window, hz, sr) / inPhasor,
                 phasorAt (mid.data(), settle, window, hz, sr) / inPhasor };
    }

    std::complex<double> designedSideHighPass (double hz, double f0, int slope, double sr)
    {
        if (slope == 12)
            return protoHighPass (hz, f0, 1.0 / 1.4142271, sr);
        const auto h = protoHighPass (hz, f0, 0.5, sr);
        return h * h;
    }
}

TEST (Tovu, SideBelowTheFrequencyIsRemovedAboveKept)
{
    struct Case { double sr; int slope; float hz; };
    for (const auto& k : { Case { 48000.0, 24, 120.0f }, Case { 44100.0, 12, 120.0f }, Case { 192000.0, 24, 300.0f },
                           Case { 22050.0, 12, 500.0f } })
    {
        for (double probe : { 30.0, 60.0, (double) k.hz, 1000.0, 5000.0 })
        {
            VyrTovu t;
    setUp (t, k.sr, 1.0f, k.slope, k.hz);
            const auto r = measureMs (t, k.sr, probe);
            const double expected = toDb (std::abs (designedSideHighPass (probe, k.hz, k.slope, k.sr)));
            EXPECT_NEAR (toDb (std::abs (r.side)), expected, 0.05) << k.sr << " " << k.slope << " probe " << probe;
            EXPECT_NEAR (std::abs (r.mid), 1.0, 1.0e-4) << "mid never changes";
        }
    }

    // A 50 Hz tone in the left channel alone comes out at about half level in both channels at 24 dB,
    // while a 5 kHz tone keeps its place.
    const double sr = 48000.0;
    VyrTovu t;
    setUp (t, sr, 1.0f, 24);
    juce::AudioBuffer<float> b (2, 48000);
    fillSine (b, 0, 50.0, sr, 0.8f);
    b.clear (1, 0, b.getNumSamples());
    for (int i = 0; i < b.getNumSamples(); ++i)
        b.setSample (0, i, b.getSample (0, i) + 0.3f * (float) std::sin (2.0 * pi * 5000.0 * i / sr));
    processInBlocks (t, b, 512);
    const int start = 24000, n = 24000;
    EXPECT_NEAR (amplitudeAt (b.getReadPointer (0), start, n, 50.0, sr), 0.4, 0.02);
    EXPECT_NEAR (amplitudeAt (b.getReadPointer (1), start, n, 50.0, sr), 0.4, 0.02);
    EXPECT_NEAR (amplitudeAt (b.getReadPointer (0), start, n, 5000.0, sr), 0.3, 0.003);
    // What reaches the right channel at 5 kHz is only the side filters' small phase turn there.
    const double leak = 0.15 * std::abs (1.0 - designedSideHighPass (5000.0, 120.0, 24, sr));
    EXPECT_NEAR (amplitudeAt (b.getReadPointer (1), start, n, 5000.0, sr), leak, 0.001);
    EXPECT_LT (leak, 0.3 * 0.06);
}

TEST (Tovu, WidthBlendsFilteredAndPlainSide)
{
    const double sr = 48000.0;
    for (float width : { 0.25f, 0.5f, 0.75f })
    {
        for (double probe : { 40.0, 120.0, 400.0 })
        {
            VyrTovu t;
    setUp (t, sr, width, 24);
            const auto r = measureMs (t, sr, probe);
            const auto expected = (double) width * designedSideHighPass (probe, 120.0, 24, sr) + (1.0 - width);
            EXPECT_NEAR (std::abs (r.side - expected), 0.0, 2.0e-3) << width << " probe " << probe;
        }
    }

    // Width 0, or the module switched off: the output is the input.
    for (bool on : { true, false })
    {
        VyrTovu t;
    setUp (t, sr, on ? 0.0f : 1.0f, 24);
        t.enabled = on;
        t.prepare (sr, 512);
        juce::AudioBuffer<float> b (2, 4800);
        fillNoise (b, 0, 1, 0.5f);
        fillNoise (b, 1, 2, 0.5f);
        juce::AudioBuffer<float> in (b);
        processInBlocks (t, b, 512);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < b.getNumSamples(); ++i)
                ASSERT_NEAR (b.getSample (ch, i), in.getSample (ch, i), 1.0e-6);
    }
}

TEST (Tovu, SwitchingOffGlidesTheLowSideBackIn)
{
    // Bass with a strong side: turning the monitor off brings the side back over 25 ms without a step.
    const double sr = 48000.0;
    VyrTovu t;
    setUp (t, sr, 1.0f, 24);
    const int ramp = (int) std::floor (0.025 * sr);
    juce::AudioBuffer<float> b (2, 9600);
    fillSine (b, 0, 60.0, sr, 0.8f);
    fillSine (b, 1, 60.0, sr, -0.8f, 0.3);
    juce::AudioBuffer<float> in (b);

    processSwitchingOffAt (t, b, 500, 4800);

    EXPECT_LE (largestStep (b.getReadPointer (0), 4700, 9600), largestStep (in.getReadPointer (0), 4700, 9600) * 1.05);
    for (int i = 4800 + ramp; i < 9600; ++i)
        ASSERT_NEAR (b.getSample (0, i), in.getSample (0, i), 1.0e-6);
}

TEST (Tovu, MonoBuffersPassAndScopesFill)
{
    const double sr = 48000.0;
    VyrTovu t;
    setUp (t, sr, 1.0f, 24);
    const int start = t.scopeWrite.load();
    juce::AudioBuffer<float> b (1, 1500);
    fillSine (b, 0, 100.0, sr, 0.5f);
    juce::AudioBuffer<float> in (b);
    processInBlocks (t, b, 500);
    for (int i = 0; i < b.getNumSamples(); ++i)
        ASSERT_EQ (b.getSample (0, i), in.getSample (0, i));

    // The shared write index wraps past 1023; pre and post rings show the same low-passed signal.
    EXPECT_EQ (t.scopeWrite.load(), (start + 1500) % VyrTovu::scopeSize);
    float ringPeak = 0.0f;
    for (int i = 0; i < VyrTovu::scopeSize; ++i)
    {
        ASSERT_EQ (t.preL[i], t.postR[i]);
        ASSERT_EQ (t.preR[i], t.postL[i]);
        ringPeak = std::max (ringPeak, std::abs (t.preL[i]));
    }
    EXPECT_NEAR (ringPeak, 0.5f, 0.02f);  // 100 Hz passes the 500 Hz scope filter
}

TEST (Tovu, NonFiniteInputDoesNotLatch)
{
    const double sr = 48000.0;
    VyrTovu t;
    setUp (t, sr, 1.0f, 24);
    const int block = 256;
    juce::AudioBuffer<float> b (2, block * 6);
    fillSine (b, 0, 80.0, sr, 0.5f);
    fillSine (b, 1, 200.0, sr, 0.5f);
    b.setSample (0, block + 5, std::numeric_limits<float>::quiet_NaN());
    b.setSample (1, block + 9, std::numeric_limits<float>::infinity());
    processInBlocks (t, b, block);
    EXPECT_TRUE (allFinite (b, block * 2));
    for (int i = 0; i < VyrTovu::scopeSize; ++i)
        ASSERT_TRUE (std::isfinite (t.preL[i]) && std::isfinite (t.preR[i]) && std::isfinite (t.postL[i]) && std::isfinite (t.postR[i]));
}
