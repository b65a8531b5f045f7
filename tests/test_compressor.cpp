#include <gtest/gtest.h>
#include "TestSignals.h"
#include "Dsp/Compressor.h"

#include <cmath>
#include <vector>

namespace
{
// Reference transfer curve written straight from the character table, in double precision.
double refKnee (double d, double k, double r)
{
    const double slope = 1.0 - 1.0 / r;
    if (d <= -k / 2)
        return 0.0;
    if (d >= k / 2)
        return d * slope;
    if (k > 0)
        return (k / 2 + d) * (k / 2 + d) * slope / (2 * k);
    return d > 0 ? d * slope : 0.0;
}

double refGr (double level, double threshold, double ratio, double knee, double model, int character)
{
    const double d = level - threshold;
    const double R = std::max (ratio, 1.0);
    const double plain = refKnee (d, knee, R);
    const double M = std::max (model, 0.0);
    if (character == 0 || M == 0.0)
        return plain;

    double k = knee, r = R;
    if (character == 2)
    {
        k = 0;
        if (d > 0)
            r = ratio + std::min (d / 10, 1.0) * (20 - ratio);
    }
    else if (character == 3)
    {
        k = std::max (knee, 24.0);
        if (d > 0)
            r = std::min (ratio * (0.5 + 0.5 * d / 10) + (20 - ratio) * (d / 10) * (d / 10), 20.0);
    }
    else if (character == 4)
    {
        k = std::max (knee, 12.0);
    }
    const double s = refKnee (d, k, r);
    return plain * (1 - M) + s * M;
}

using vyrTestSignals::rmsOf;
using vyrTestSignals::toDb;

void fillSine (juce::AudioBuffer<float>& b, double amp, double freq, double sr, long long& n0)
{
    for (int i = 0; i < b.getNumSamples(); ++i)
    {
        const float v = (float) (amp * std::sin (2.0 * juce::MathConstants<double>::pi * freq * (double) (n0 + i) / sr));
        for (int ch = 0; ch < b.getNumChannels(); ++ch)
            b.setSample (ch, i, v);
    }
    n0 += b.getNumSamples();
}

// Constant magnitude with alternating sign: the detector sees one steady level.
void fillSquare (juce::AudioBuffer<float>& b, double amp)
{
    for (int ch = 0; ch < b.getNumChannels(); ++ch)
        for (int i = 0; i < b.getNumSamples(); ++i)
            b.setSample (ch, i, (float) ((i & 1) ? -amp : amp));
}

VyrCompressor makeComp (int character, float threshold, float ratio, float knee, float makeup, double sr)
{
    VyrCompressor c;
    c.enabled = true;
    c.character = character;
    c.threshold = threshold;
    c.ratio = ratio;
    c.knee = knee;
    c.makeup = makeup;
    c.model = 1.0f;
    c.mix = 1.0f;
    c.prepare (sr, 512);
    return c;
}
}

TEST (Compressor, TransferCurveMatchesCharacterTable)
{
    VyrCompressor c;
    const int characters[] = { 0, 1, 2, 3, 4, 7, -1 }; // unknown indexes behave like Studio VCA
    const float models[] = { 0.0f, 0.4f, 1.0f, 2.0f };
    const float ratios[] = { 1.0f, 1.5f, 4.0f, 20.0f };
    const float knees[] = { 0.0f, 6.0f, 30.0f };
    double worst = 0;
    for (int ch : characters)
        for (float m : models)
            for (float r : ratios)
                for (float k : knees)
                    for (float t : { -40.0f, -18.0f })
                    {
                        c.character = ch;
                        c.model = m;
                        c.ratio = r;
                        c.knee = k;
                        c.threshold = t;
                        const int refCh = (ch >= 0 && ch <= 4) ? ch : 1;
                        for (float level = -100.0f; level <= 20.0f; level += 0.25f)
                        {
                            const double want = refGr (level, t, r, k, m, refCh);
                            const double got = c.computeGr (level);
                            worst = std::max (worst, std::abs (want - got));
                            ASSERT_NEAR (got, want, 2e-3 + 1e-5 * std::abs (want))
                                << "character " << ch << " model " << m << " ratio " << r << " knee " << k
                                << " threshold " << t << " level " << level;
                        }
                    }
    EXPECT_LT (worst, 2e-3);
}

TEST (Compressor, TransferCurveLandmarks)
{
    VyrCompressor c;
    c.threshold = -18.0f;
    c.ratio = 4.0f;
    c.knee = 0.0f;
    c.character = VyrCompressor::digital;
    EXPECT_NEAR (c.computeGr (-6.0f), 9.0f, 1e-4);        // 12 dB over at 4:1
    EXPECT_EQ (c.computeGr (-18.0f), 0.0f);

    c.character = VyrCompressor::studioFet;                // ratio 20 from 10 dB over, no knee
    c.knee = 30.0f;
    EXPECT_NEAR (c.computeGr (-18.0f + 15.0f), 15.0f * 0.95f, 1e-4);
    EXPECT_EQ (c.computeGr (-18.1f), 0.0f);

    c.character = VyrCompressor::vintageOpto;              // ratio below 2: a small rise just over the threshold
    c.ratio = 1.5f;
    c.knee = 0.0f;
    EXPECT_LT (c.computeGr (-17.8f), 0.0f);

    c.model = 0.0f;                                        // model 0: plain curve for every character
    EXPECT_NEAR (c.computeGr (-17.8f), 0.2f * (1.0f - 1.0f / 1.5f), 1e-5);
}

// Input level against output level on steady sines once the detector has settled.
TEST (Compressor, StaticCurveOnSteadySines)
{
    struct Case { int character; float threshold, ratio, knee, makeup, model, inputDb; };
    const Case cases[] = {
        { 0, -18, 4, 0, 0, 1, -30 },   // below threshold: untouched
        { 0, -18, 4, 0, 0, 1, -6 },    // 12 dB over, hard knee
        { 0, -18, 4, 12, 3, 1, -14 },  // inside the knee, with make-up
        { 1, -24, 2, 30, 0, 1, -20 },  // Studio VCA, wide knee
        { 1, -30, 8, 6, 6, 1, -6 },
        { 2, -20, 4, 30, 0, 1, -15 },  // Studio FET, ratio rising with overshoot
        { 2, -30, 4, 30, 0, 1, -6 },   // FET past 10 dB over: 20:1
        { 3, -24, 4, 0, 0, 1, -14 },   // Vintage Opto, knee held at 24 dB
        { 3, -20, 1.5f, 0, 0, 1, -19 }, // Opto below ratio 2: gain rise
        { 4, -20, 4, 2, 0, 1, -16 },   // Vintage FET, knee held at 12 dB
        { 2, -20, 4, 10, 0, 0.5f, -8 }, // half way between plain and character curve
        { 3, -24, 4, 10, 0, 2, -12 },  // extrapolated past the character curve
    };
    const double sr = 48000.0;
    for (const auto& k : cases)
    {
        auto c = makeComp (k.character, k.threshold, k.ratio, k.knee, k.makeup, sr);
        c.model = k.model;
        c.attack = 0.001f;
        c.release = 1.0f;
        const double amp = std::pow (10.0, k.inputDb / 20.0);
        juce::AudioBuffer<float> buf (2, 480);
        long long n0 = 0;
        double inSq = 0, outSq = 0;
        for (int block = 0; block < 60; ++block)
        {
            fillSine (buf, amp, 1000.0, sr, n0);
            juce::AudioBuffer<float> in (buf);
            c.process (buf);
            if (block >= 40)
            {
                inSq += rmsOf (in, 0) * rmsOf (in, 0);
                outSq += rmsOf (buf, 1) * rmsOf (buf, 1);
            }
        }
        const double gainDb = 10.0 * std::log10 (outSq / inSq);
        const double want = k.makeup - refGr (k.inputDb, k.threshold, k.ratio, k.knee, k.model, k.character);
        EXPECT_NEAR (gainDb, want, 0.2) << "character " << k.character << " input " << k.inputDb;
    }
}

TEST (Compressor, SquareTwelveDbOverSettlesAtNineDb)
{
    auto c = makeComp (VyrCompressor::digital, -18.0f, 4.0f, 0.0f, 0.0f, 44100.0);
    juce::AudioBuffer<float> buf (2, 512);
    for (int i = 0; i < 100; ++i)
    {
        fillSquare (buf, std::pow (10.0, -6.0 / 20.0));
        c.process (buf);
    }
    EXPECT_NEAR (c.grDb, 9.0f, 0.01f);
    EXPECT_NEAR (toDb (std::abs (buf.getSample (0, 511))), -15.0, 0.01);
}

// Level steps on a constant-magnitude signal: the envelope covers 63 % of the step after attack x rate
// (rising) or release x rate (falling) samples. The envelope is read back from the hard-knee gain.
TEST (Compressor, AttackAndReleaseTimeConstants)
{
    struct Case { double sr; float attack, release; };
    const Case cases[] = { { 22050, 0.3f, 0.5f }, { 44100, 0.001f, 0.01f }, { 48000, 0.01f, 0.25f },
                           { 96000, 0.003f, 1.0f }, { 192000, 0.1f, 0.05f }, { 192000, 0.05f, 1.0f },
                           { 44100, 0.00001f, 0.00001f } };
    const double low = -40.0, high = -10.0, threshold = -60.0;
    for (const auto& k : cases)
    {
        auto c = makeComp (VyrCompressor::digital, (float) threshold, 20.0f, 0.0f, 0.0f, k.sr);
        c.attack = k.attack;
        c.release = k.release;

        auto envelopeTrack = [&] (double levelDb, double seconds)
        {
            const double amp = std::pow (10.0, levelDb / 20.0);
            const int total = (int) (seconds * k.sr);
            std::vector<double> env;
            juce::AudioBuffer<float> buf (1, 1024);
            for (int done = 0; done < total; done += 1024)
            {
                buf.setSize (1, std::min (1024, total - done), false, false, true);
                for (int i = 0; i < buf.getNumSamples(); ++i)
                    buf.setSample (0, i, (float) amp);
                c.process (buf);
                for (int i = 0; i < buf.getNumSamples(); ++i)
                    env.push_back (threshold + (-toDb (buf.getSample (0, i) / amp)) / 0.95);
            }
            return env;
        };
        auto crossing = [] (const std::vector<double>& env, double target, bool rising)
        {
            for (size_t i = 0; i < env.size(); ++i)
                if (rising ? env[i] >= target : env[i] <= target)
                    return (double) i + 1.0; // samples since the step, the first one counted as 1
            return -1.0;
        };

        envelopeTrack (low, 12.0 * k.attack + 0.05);
        const auto up = envelopeTrack (high, 12.0 * std::max (k.attack, k.release) + 0.05);
        EXPECT_NEAR (up.back(), high, 0.01);
        const double tau = 1.0 - std::exp (-1.0);
        const double upSamples = crossing (up, low + tau * (high - low), true);
        const auto down = envelopeTrack (low, 2.0 * k.release + 0.05);
        const double downSamples = crossing (down, high - tau * (high - low), false);

        const double attackSamples = std::max (1.0, k.attack * k.sr);
        const double releaseSamples = std::max (1.0, k.release * k.sr);
        EXPECT_NEAR (upSamples, attackSamples, 1.0 + 1e-3 * attackSamples) << "rate " << k.sr;
        EXPECT_NEAR (downSamples, releaseSamples, 1.0 + 1e-3 * releaseSamples) << "rate " << k.sr;
    }
}

TEST (Compressor, MixBlendsGainsAndMakeUpStaysInWetShare)
{
    const double sr = 48000.0, amp = std::pow (10.0, -6.0 / 20.0);
    struct Case { float mix, makeup; };
    for (const auto k : { Case { 0.5f, 6.0f }, Case { 0.25f, 0.0f }, Case { 1.0f, 12.0f } })
    {
        auto c = makeComp (VyrCompressor::digital, -18.0f, 4.0f, 0.0f, k.makeup, sr);
        c.mix = k.mix;
        c.prepare (sr, 512);
        juce::AudioBuffer<float> buf (2, 512);
        for (int i = 0; i < 40; ++i)
        {
            fillSquare (buf, amp);
            c.process (buf);
        }
        const double g = std::pow (10.0, -refGr (-6.0, -18.0, 4.0, 0.0, 1.0, 0) / 20.0);
        const double want = k.mix * std::pow (10.0, k.makeup / 20.0) * g + (1.0 - k.mix);
        EXPECT_NEAR (buf.getSample (1, 300) / amp, want, 1e-4) << "mix " << k.mix;
    }

    // Mix 0 leaves the audio bit-exact once the ramp is over, even with make-up gain.
    auto c = makeComp (VyrCompressor::digital, -40.0f, 10.0f, 0.0f, 12.0f, sr);
    c.mix = 0.0f;
    juce::AudioBuffer<float> buf (2, 512);
    for (int i = 0; i < 5; ++i)
    {
        fillSquare (buf, amp);
        c.process (buf);
    }
    for (int i = 0; i < 512; ++i)
        ASSERT_EQ (buf.getSample (0, i), (float) ((i & 1) ? -amp : amp));
}

TEST (Compressor, SwitchingOffFadesOverTwentyFiveMillisecondsThenPasses)
{
    for (double sr : { 44100.0, 96000.0 })
    {
        const double amp = 0.5;
        auto c = makeComp (VyrCompressor::digital, -30.0f, 10.0f, 0.0f, 0.0f, sr);
        juce::AudioBuffer<float> buf (2, 256);
        for (int i = 0; i < 100; ++i)
        {
            fillSquare (buf, amp);
            c.process (buf);
        }
        const double wet = std::abs (buf.getSample (0, 255)) / amp;
        ASSERT_LT (wet, 0.2);

        c.enabled = false;
        const int ramp = (int) std::floor (0.025 * sr);
        std::vector<double> w;
        for (int done = 0; done < ramp + 1024; done += 256)
        {
            fillSquare (buf, amp);
            c.process (buf);
            for (int i = 0; i < 256; ++i)
                w.push_back (std::abs (buf.getSample (1, i)) / amp);
        }
        // The wet share falls linearly, so the gain moves from the compressed value to 1 in a straight line.
        for (int i : { ramp / 4, ramp / 2, (3 * ramp) / 4 })
        {
            const double m = 1.0 - (double) (i + 1) / ramp;
            EXPECT_NEAR (w[(size_t) i], m * wet + (1.0 - m), 2e-3) << i;
        }
        EXPECT_LT (w[(size_t) ramp - 2], 1.0);
        for (size_t i = (size_t) ramp; i < w.size(); ++i)
            ASSERT_EQ (w[i], 1.0) << i;
        EXPECT_EQ (c.grDb, 0.0f);
    }

    // Off from the start: untouched, no reduction shown; a block of zero samples shows none either.
    VyrCompressor off;
    off.threshold = -60.0f;
    off.prepare (48000.0, 512);
    juce::AudioBuffer<float> buf (1, 512);
    fillSquare (buf, 0.9);
    off.process (buf);
    EXPECT_EQ (buf.getSample (0, 100), 0.9f);
    EXPECT_EQ (off.grDb, 0.0f);

    auto on = makeComp (VyrCompressor::digital, -60.0f, 10.0f, 0.0f, 0.0f, 48000.0);
    fillSquare (buf, 0.9);
    on.process (buf);
    EXPECT_GT (on.grDb, 10.0f);
    juce::AudioBuffer<float> empty (2, 0);
    on.process (empty);
    EXPECT_EQ (on.grDb, 0.0f);
}

TEST (Compressor, SwitchingOnRampsInFromDry)
{
    const double sr = 48000.0;
    VyrCompressor c;
    c.threshold = -30.0f;
    c.ratio = 10.0f;
    c.knee = 0.0f;
    c.prepare (sr, 512);
    juce::AudioBuffer<float> buf (2, 2400);
    fillSquare (buf, 0.5);
    c.enabled = true;
    c.process (buf);
    EXPECT_NEAR (std::abs (buf.getSample (0, 0)), 0.5, 0.5 * 0.01);   // first sample nearly dry
    EXPECT_LT (std::abs (buf.getSample (0, 1199)), 0.5 * 0.3);        // fully compressed after 25 ms
}

TEST (Compressor, LinkedGainOnEveryChannel)
{
    const double sr = 48000.0;
    for (int channels : { 1, 2, 4 })
    {
        auto c = makeComp (VyrCompressor::studioVca, -30.0f, 6.0f, 6.0f, 0.0f, sr);
        juce::AudioBuffer<float> buf (channels, 512);
        for (int b = 0; b < 20; ++b)
        {
            for (int ch = 0; ch < channels; ++ch)
                for (int i = 0; i < 512; ++i)
                    buf.setSample (ch, i, (float) (((i & 1) ? -1 : 1) * (ch == 0 ? 0.5 : 0.01 * (ch + 1))));
            c.process (buf);
        }
        const double g0 = std::abs (buf.getSample (0, 400)) / 0.5;
        const double want = std::pow (10.0, -refGr (toDb (0.5), -30.0, 6.0, 6.0, 1.0, 1) / 20.0);
        EXPECT_NEAR (g0, want, 1e-3);
        for (int ch = 1; ch < channels; ++ch)
            EXPECT_NEAR (std::abs (buf.getSample (ch, 400)) / (0.01 * (ch + 1)), g0, 1e-4) << ch;
    }
}

TEST (Compressor, RecoversFromNonFiniteInputWithinOneBlock)
{
    const double sr = 48000.0, amp = 0.5;
    for (float bad : { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity() })
    {
        auto c = makeComp (VyrCompressor::vintageOpto, -30.0f, 4.0f, 10.0f, 3.0f, sr);
        c.mix = 0.7f;
        juce::AudioBuffer<float> buf (2, 512);
        for (int i = 0; i < 20; ++i)
        {
            fillSquare (buf, amp);
            c.process (buf);
        }
        const float steady = buf.getSample (0, 500);

        fillSquare (buf, amp);
        buf.setSample (0, 100, bad);
        buf.setSample (1, 300, bad);
        c.process (buf);

        for (int block = 0; block < 3; ++block)
        {
            fillSquare (buf, amp);
            c.process (buf);
            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < 512; ++i)
                    ASSERT_TRUE (std::isfinite (buf.getSample (ch, i))) << block;
            EXPECT_TRUE (std::isfinite (c.grDb));
            EXPECT_TRUE (std::isfinite (c.envelopeDb));
        }
        EXPECT_NEAR (buf.getSample (0, 500), steady, std::abs (steady) * 1e-3);
    }
}
