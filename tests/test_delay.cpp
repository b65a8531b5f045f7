// Delay engine: echo times, feedback per repeat, time-change crossfade, limits, switching off, mono use,
// non-finite input, and the tempo-synced time helper.

#include <gtest/gtest.h>
#include "TestSignals.h"
#include "Dsp/Delay.h"

#include <cmath>
#include <vector>

namespace
{
    struct DelayRig
    {
        VyrDelay d;
        int block;

        DelayRig (double sr, int blockSize, float time, float feedback, float mix, bool enabled = true) : block (blockSize)
        {
            d.enabled = enabled;
            d.time = time;
            d.feedback = feedback;
            d.mix = mix;
            d.prepare (sr, blockSize);
        }

        // In place, mono or stereo; `before` runs before each block with its start sample.
        template <typename Before>
        void run (std::vector<float>& left, std::vector<float>* right, Before&& before)
        {
            vyrTestSignals::processInBlocks (d, left, right, block, before);
        }

        void run (std::vector<float>& left, std::vector<float>* right = nullptr)
        {
            run (left, right, [] (int) {});
        }
    };

    using vyrTestSignals::noise;

    // Sum and centre of gravity of the samples in [from, to).
    void moments (const std::vector<float>& y, int from, int to, double& sum, double& centre)
    {
        double s = 0, st = 0;
        for (int i = std::max (from, 0); i < std::min (to, (int) y.size()); ++i)
        {
            s += y[(size_t) i];
            st += (double) i * y[(size_t) i];
        }
        sum = s;
        centre = s != 0 ? st / s : -1.0;
    }
}

//==============================================================================
// An impulse comes back at the set time (fractional times as a two-sample interpolated echo whose centre
// of gravity is the exact time), and every repeat is the one before times the feedback: with linear
// interpolation each echo's samples sum to feedback^(n-1).
struct EchoCase { double sr; float time, feedback; };

class DelayEcho : public ::testing::TestWithParam<EchoCase> {};

TEST_P (DelayEcho, TimeAndFeedbackPerRepeat)
{
    const auto c = GetParam();
    const int repeats = 4;
    const double delaySamples = (double) (float) (c.time * (float) c.sr);
    const int total = (int) (delaySamples * repeats) + 64;

    std::vector<float> x ((size_t) total, 0.0f);
    x[0] = 1.0f;
    DelayRig rig (c.sr, 512, c.time, c.feedback, 1.0f);
    rig.run (x);

    for (int k = 1; k <= repeats; ++k)
    {
        const double at = k * delaySamples;
        double sum, centre;
        moments (x, (int) at - 4, (int) at + 6, sum, centre);
        EXPECT_NEAR (sum, std::pow ((double) c.feedback, k - 1), 1.0e-5) << "repeat " << k;
        EXPECT_NEAR (centre, at, 0.01 * k) << "repeat " << k;
    }
    // Nothing between the repeats.
    double between, unused;
    moments (x, 8, (int) delaySamples - 8, between, unused);
    EXPECT_EQ (between, 0.0);
}

INSTANTIATE_TEST_SUITE_P (Times, DelayEcho, ::testing::Values (
    EchoCase { 44100.0, 0.25f, 0.3f },
    EchoCase { 44100.0, 0.0123457f, 0.9f },
    EchoCase { 48000.0, 1.5f, 0.6f },
    EchoCase { 96000.0, 0.3333f, 0.5f },
    EchoCase { 192000.0, 0.75f, 0.75f },
    EchoCase { 192000.0, 3.99f, 0.2f }));

TEST (DelayEcho, TimeLimits)
{
    struct Case { double sr; float time; double expectSeconds; };
    for (auto c : { Case { 44100.0, 10.0f, 4.0 }, Case { 44100.0, 0.001f, 0.01 }, Case { 192000.0, 9.0f, 4.0 } })
    {
        const int total = (int) (c.expectSeconds * c.sr) + 200;
        std::vector<float> x ((size_t) total, 0.0f);
        x[0] = 1.0f;
        DelayRig rig (c.sr, 256, c.time, 0.0f, 1.0f);
        rig.run (x);
        double sum, centre;
        moments (x, 1, total, sum, centre);
        EXPECT_NEAR (sum, 1.0, 1.0e-6) << c.time;
        EXPECT_NEAR (centre, c.expectSeconds * c.sr, 0.05) << c.time;
    }
}

// Left and right are separate loops: an impulse on the left never shows up on the right.
TEST (DelayEcho, ChannelsStaySeparate)
{
    std::vector<float> l (30000, 0.0f), r (30000, 0.0f);
    l[0] = 1.0f;
    DelayRig rig (44100.0, 512, 0.1f, 0.8f, 0.5f);
    rig.run (l, &r);
    for (float v : r)
        ASSERT_EQ (v, 0.0f);
}

//==============================================================================
// A time change crossfades, equal-power, from the old tap to one at the new time over xfadeMs; the
// output during the change is exactly cos/sin-weighted copies of the input at the two times, so there is
// no pitch change.
TEST (DelayTimeChange, EqualPowerCrossfadeBetweenTaps)
{
    const double sr = 48000.0;
    const int block = 2048; // longer than the 25 ms time smoothing, so the new time arrives in one step
    const int changeAt = 30 * block;
    const int total = changeAt + 4 * block;
    const auto input = noise (total, 21);
    auto y = input;

    DelayRig rig (sr, block, 0.25f, 0.0f, 1.0f);
    rig.d.xfadeMs = 15.0f;
    rig.run (y, nullptr, [&] (int start) { rig.d.time = start >= changeAt ? 0.5f : 0.25f; });

    const int fade = 720; // 15 ms at 48 kHz
    const auto in = [&] (int i) { return i >= 0 ? (double) input[(size_t) i] : 0.0; };
    for (int i = changeAt - 100; i < total; ++i)
    {
        double expected;
        if (i < changeAt)
            expected = in (i - 12000);
        else if (i < changeAt + fade)
        {
            const double theta = juce::MathConstants<double>::halfPi * (i - changeAt) / fade;
            expected = std::cos (theta) * in (i - 12000) + std::sin (theta) * in (i - 24000);
        }
        else
            expected = in (i - 24000);
        ASSERT_NEAR (y[(size_t) i], expected, 2.0e-6) << "sample " << i - changeAt << " after the change";
    }
}

// A change of less than half a sample starts no crossfade: the output is bit-identical to no change.
TEST (DelayTimeChange, SubHalfSampleChangeIsIgnored)
{
    const double sr = 44100.0;
    const auto input = noise (60000, 4);
    auto a = input, b = input;
    DelayRig rigA (sr, 512, 0.25f, 0.5f, 0.7f), rigB (sr, 512, 0.25f, 0.5f, 0.7f);
    rigA.run (a);
    rigB.run (b, nullptr, [&] (int start) { rigB.d.time = start >= 20000 ? 0.25f + 0.4f / (float) sr : 0.25f; });
    EXPECT_EQ (a, b);
}

//==============================================================================
TEST (DelayLimits, FullFeedbackOnSustainedInputStaysBounded)
{
    std::vector<float> x (200000, 1.0f), r = x;
    DelayRig rig (44100.0, 512, 0.05f, 0.9f, 1.0f);
    rig.run (x, &r);
    float peak = 0.0f;
    for (float v : x)
        peak = std::max (peak, std::abs (v));
    EXPECT_LE (peak, 8.0f);
    EXPECT_GT (peak, 7.9f); // the loop does build up to the limit
}

//==============================================================================
// Switching off ramps the wet share to 0 over 25 ms, after which the output is the input exactly; the
// lines keep running, so switching on again brings back echoes of what was played while off.
TEST (DelaySwitch, OffFadesToDryAndLinesKeepRunning)
{
    for (double sr : { 44100.0, 96000.0 })
    {
        const int block = 256;
        const int offAt = block * (int) (0.5 * sr / block), onAt = block * (int) (1.5 * sr / block);
        const int total = onAt + (int) (0.3 * sr);
        std::vector<float> x ((size_t) total, 0.0f);
        for (int i = 0; i < offAt; ++i)
            x[(size_t) i] = 0.3f * std::sin (0.05f * (float) i);
        const int clickAt = onAt - (int) (0.1 * sr); // played while off
        x[(size_t) clickAt] = 1.0f;
        const auto input = x;

        DelayRig rig (sr, block, 0.2f, 0.0f, 0.5f);
        rig.run (x, nullptr, [&] (int start) { rig.d.enabled = start < offAt || start >= onAt; });

        const int ramp = (int) std::floor (0.025 * sr);
        // Mid-ramp the wet share is about half its set value: out = x (1 - m) + y m.
        // The input is silent by then, so out = y m with y the input 0.2 s back; fit m over +-16 samples.
        const int mid = offAt + ramp / 2, back = (int) std::lround (0.2 * sr);
        double num = 0, den = 0;
        for (int i = mid - 16; i <= mid + 16; ++i)
        {
            num += (double) x[(size_t) i] * input[(size_t) (i - back)];
            den += (double) input[(size_t) (i - back)] * input[(size_t) (i - back)];
        }
        EXPECT_NEAR (num / den, 0.25, 0.01) << sr;
        for (int i = offAt + ramp; i < onAt; ++i)
            ASSERT_EQ (x[(size_t) i], input[(size_t) i]) << sr << " " << i;

        // The click played while off returns 0.2 s later, faded in by the 25 ms ramp after switching on.
        const int echo = clickAt + (int) std::lround (0.2 * sr);
        const double expectedGain = 0.5 * std::min (1.0, (echo - onAt + 1) / (0.025 * sr));
        EXPECT_NEAR (x[(size_t) echo], expectedGain, 1.0e-3) << sr;
    }
}

// A mono buffer gives the left output of a stereo run whose right input is anything.
TEST (DelayMono, MatchesLeftOfStereo)
{
    const auto in = noise (40000, 8);
    auto mono = in, l = in, r = noise (40000, 9);
    DelayRig rigMono (44100.0, 300, 0.123f, 0.6f, 0.4f), rigStereo (44100.0, 300, 0.123f, 0.6f, 0.4f);
    rigMono.run (mono);
    rigStereo.run (l, &r);
    EXPECT_EQ (mono, l);
}

//==============================================================================
// NaN and infinity are written to the lines as silence: after the bad block the engine runs exactly as if
// those samples had been zeros, echoes included.
TEST (DelayNonFinite, RecoversWithinOneBlock)
{
    const int block = 256;
    auto good = noise (40000, 12), bad = good;
    for (int i = 10 * block; i < 11 * block; i += 2)
    {
        bad[(size_t) i] = (i % 4) == 0 ? std::numeric_limits<float>::quiet_NaN() : -std::numeric_limits<float>::infinity();
        good[(size_t) i] = 0.0f;
    }
    auto l1 = bad, r1 = bad, l2 = good, r2 = good;
    DelayRig rigBad (44100.0, block, 0.05f, 0.7f, 0.5f), rigGood (44100.0, block, 0.05f, 0.7f, 0.5f);
    rigBad.run (l1, &r1);
    rigGood.run (l2, &r2);
    for (size_t i = 11 * block; i < l1.size(); ++i)
    {
        ASSERT_EQ (l1[i], l2[i]) << i;
        ASSERT_EQ (r1[i], r2[i]) << i;
    }
}

//==============================================================================
TEST (DelaySync, NoteLengthsAtTempo)
{
    struct Case { float free; float bpm; int note; float expected; };
    for (auto c : { Case { 0.3f, 120.0f, 0, 0.3f },     // "Free" keeps the free time
                    Case { 0.3f, 120.0f, 5, 0.5f },     // "1/4" at 120 BPM
                    Case { 0.3f, 120.0f, 1, 0.125f },   // "1/16"
                    Case { 0.3f, 120.0f, 4, 0.375f },   // "1/8."
                    Case { 0.3f, 20.0f, 6, 4.5f },      // "1/4." at 20 BPM (the mapping then limits it)
                    Case { 0.3f, 10.0f, 5, 3.0f },      // below 20 BPM counts as 20
                    Case { 0.3f, 400.0f, 5, 0.2f },     // above 300 BPM counts as 300
                    Case { 0.3f, 120.0f, 7, 0.3f } })   // out-of-range index keeps the free time
        EXPECT_NEAR (vyrDelay::syncedTime (c.free, c.bpm, c.note), c.expected, 1.0e-6f) << c.bpm << " " << c.note;
}
