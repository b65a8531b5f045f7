// Multiband compressor: the bands sum back flat at ratio 1, each band is a Linkwitz-Riley slice,
// gain-reduction readouts follow the static curve, mix and makeup, switching off, solo,
// sample-rate safety, NaN recovery and crossover redesign on change only.

#include <gtest/gtest.h>
#include "TestSignals.h"
#include "EqTestHelpers.h"
#include "Dsp/MbcEngine.h"
#include <cmath>
#include <limits>

namespace
{
    using vyrTestSignals::pi;

    struct Mbc
    {
        Mbc (double sr, int bands, std::vector<float> xovers = { 343, 980, 2800, 3454 }) : sampleRate (sr)
        {
            mbc.prepare (sr, 512);
            auto& s = mbc.state;
            s.enabled = true;
            s.mix = 100.0f;
            s.globalMakeup = 0.0f;
            s.bandCount = bands;
            for (int k = 0; k < 4; ++k)
                s.xover[k] = xovers[(size_t) k];
            for (auto* set : { s.mid, s.side })
                for (int b = 0; b < 5; ++b)
                {
                    set[b] = vyrMbc::Band {};
                    set[b].ratio = 1.0f;
                }
        }

        vyrMbc::Band& band (int b, bool side = false) { return side ? mbc.state.side[b] : mbc.state.mid[b]; }

        std::vector<float> settledResponse (std::vector<float> feed = { 1.0f, 1.0f }, int channel = 0, int length = 1 << 15)
        {
            eqTest::settle (mbc, sampleRate, (int) feed.size(), 0.3);
            return eqTest::impulseResponse (mbc, length, feed, channel);
        }

        VyrMultibandComp mbc;
        double sampleRate;
    };

    // Fourth-order Linkwitz-Riley magnitude (two Butterworth sections, D = 1.4142271) in dB.
    double lr4Db (double f, double fc, double sr, bool highPass)
    {
        const double x = std::tan (pi * f / sr) / std::tan (pi * fc / sr), d = 1.4142271;
        const double den = (1.0 - x * x) * (1.0 - x * x) + d * d * x * x;
        return 2.0 * 10.0 * std::log10 ((highPass ? x * x * x * x : 1.0) / den);
    }

    double staticReduction (double over, double ratio, double knee)
    {
        const double k = 1.0 - 1.0 / std::max (ratio, 1.0);
        if (over <= -knee / 2.0)
            return 0.0;
        if (over >= knee / 2.0)
            return k * over;
        return k * (over + knee / 2.0) * (over + knee / 2.0) / (2.0 * knee);
    }

    void compressBand (vyrMbc::Band& b, float thresh, float ratio, float knee)
    {
        b.thresh = thresh;
        b.ratio = ratio;
        b.knee = knee;
        b.atk = 0.001f;
        b.rel = 1.0f;
    }
}

//==============================================================================
// Every band of a Linkwitz-Riley tree sums to an all-pass once the lower bands carry the all-pass of
// each crossover above them. The crossover design leaves under 0.001 dB (D = 1.4142271 instead of
// the square root of 2); float rounding of the impulse response stays inside 0.02 dB. Without that
// alignment the default five-band layout (343, 980, 2800, 3454 Hz) would dip 12 dB near 3 kHz and
// the four-band one 1.6 dB near 450 Hz.
TEST (MultibandComp, BandsSumBackFlatAtRatioOne)
{
    struct Row { double sr; int bands; std::vector<float> xovers; bool ms; };
    const Row rows[] = {
        { 48000, 5, { 343, 980, 2800, 3454 }, false },
        { 48000, 4, { 343, 980, 2800, 3454 }, false },
        { 44100, 3, { 120, 2500, 2800, 3454 }, false },
        { 48000, 2, { 1000, 980, 2800, 3454 }, false },
        { 48000, 1, { 343, 980, 2800, 3454 }, false },
        { 96000, 5, { 60, 400, 3000, 12000 }, true },
        { 48000, 5, { 2000, 500, 8000, 1000 }, false },     // crossovers are not sorted
        { 22050, 5, { 1000, 5000, 12000, 18000 }, false },  // the top two sit at the Nyquist guard
    };
    for (const auto& r : rows)
    {
        for (int side = 0; side < (r.ms ? 2 : 1); ++side)
        {
            Mbc e (r.sr, r.bands, r.xovers);
            e.mbc.state.msMode = r.ms;
            const auto h = e.settledResponse ({ 1.0f, side ? -1.0f : 1.0f });
            double worst = 0.0;
            for (double f = 20.0; f < 0.45 * r.sr; f *= 1.05)
                worst = std::max (worst, std::abs (eqTest::responseDb (h, f, r.sr)));
            EXPECT_LT (worst, 0.02) << r.bands << " bands at " << r.sr << (side ? " side" : "");
        }
    }
}

TEST (MultibandComp, EachBandIsALinkwitzRileySlice)
{
    constexpr double sr = 48000.0;
    Mbc e (sr, 3, { 300, 3000, 8000, 9000 });
    e.band (1).solo = true;
    const auto h = e.settledResponse();
    for (double f : { 50.0, 150.0, 300.0, 600.0, 949.0, 1500.0, 3000.0, 6000.0, 12000.0 })
    {
        const double expected = lr4Db (f, 300.0, sr, true) + lr4Db (f, 3000.0, sr, false);
        if (expected > -90.0)
            EXPECT_NEAR (eqTest::responseDb (h, f, sr), expected, 0.05) << f;
    }
    EXPECT_NEAR (eqTest::responseDb (h, 300.0, sr), -6.02, 0.05);
}

TEST (MultibandComp, GainReductionReadoutFollowsTheStaticCurve)
{
    constexpr double sr = 48000.0, tone = 1000.0;
    struct Row { double levelDb; float thresh, ratio, knee; };
    const Row rows[] = {
        { -6, -30, 4, 0 }, { -6, -30, 2, 0 }, { -12, -24, 4, 12 },
        { -20, -18, 4, 6 },   // inside the knee
        { -40, -18, 4, 6 },   // below it
    };
    for (const auto& r : rows)
    {
        Mbc e (sr, 4, { 4000, 8000, 12000, 16000 });
        compressBand (e.band (0), r.thresh, r.ratio, r.knee);
        juce::AudioBuffer<float> b (2, (int) sr);
        const float amp = (float) std::pow (10.0, r.levelDb / 20.0);
        vyrTestSignals::fillSine (b, 0, tone, sr, amp);
        vyrTestSignals::fillSine (b, 1, tone, sr, amp);
        vyrTestSignals::processInBlocks (e.mbc, b, 512);

        const double bandLevel = r.levelDb + lr4Db (tone, 4000.0, sr, false);
        const double expected = staticReduction (bandLevel - r.thresh, r.ratio, r.knee);
        EXPECT_NEAR (e.mbc.bandGr[0].load(), expected, 0.3) << r.levelDb << " " << r.thresh;
        for (int k = 1; k < 5; ++k)
            EXPECT_EQ (e.mbc.bandGr[k].load(), 0.0f) << k;

        const int n = (int) (0.2 * sr);
        const double gain = eqTest::toneDb (b.getReadPointer (0) + b.getNumSamples() - n, n, tone, sr) - r.levelDb;
        EXPECT_NEAR (gain, -expected, 0.3) << r.levelDb;
    }
}

TEST (MultibandComp, MidSideReadoutShowsTheEditedChannel)
{
    constexpr double sr = 48000.0;
    for (int msChannel : { 0, 1 })
    {
        Mbc e (sr, 3);
        e.mbc.state.msMode = true;
        e.mbc.state.msChannel = msChannel;
        compressBand (e.band (0, true), -30.0f, 4.0f, 0.0f);
        juce::AudioBuffer<float> b (2, (int) sr);
        vyrTestSignals::fillSine (b, 0, 100.0, sr, 0.5f);
        vyrTestSignals::fillSine (b, 1, 100.0, sr, -0.5f);
        vyrTestSignals::processInBlocks (e.mbc, b, 512);
        const double expected = staticReduction (-6.02 + lr4Db (100.0, 343.0, sr, false) + 30.0, 4.0, 0.0);
        EXPECT_NEAR (e.mbc.bandGr[0].load(), msChannel == 1 ? expected : 0.0, 0.3) << msChannel;
    }
}

TEST (MultibandComp, MixAndOutputGainBlendAsGains)
{
    constexpr double sr = 48000.0;
    Mbc e (sr, 1);
    e.mbc.state.mix = 50.0f;
    e.mbc.state.globalMakeup = 6.0f;
    eqTest::settle (e.mbc, sr);
    juce::AudioBuffer<float> in (2, 4096), out;
    vyrTestSignals::fillNoiseAllChannels (in, 7, 0.3f);
    out.makeCopyOf (in);
    e.mbc.process (out);
    const float factor = 0.5f + 0.5f * std::pow (10.0f, 6.0f / 20.0f);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < in.getNumSamples(); ++i)
            ASSERT_NEAR (out.getSample (ch, i), factor * in.getSample (ch, i), 1.0e-5f);
}

TEST (MultibandComp, SwitchingOffReturnsTheInputWithin25ms)
{
    constexpr double sr = 48000.0;
    Mbc e (sr, 4);
    compressBand (e.band (0), -40.0f, 8.0f, 0.0f);
    juce::AudioBuffer<float> b (2, 24000);
    vyrTestSignals::fillNoiseAllChannels (b, 7, 0.5f);
    vyrTestSignals::processInBlocks (e.mbc, b, 480);
    EXPECT_GT (e.mbc.bandGr[0].load(), 1.0f);

    e.mbc.state.enabled = false;
    juce::AudioBuffer<float> in (2, 4800), out;
    vyrTestSignals::fillNoiseAllChannels (in, 5, 0.5f);
    out.makeCopyOf (in);
    vyrTestSignals::processInBlocks (e.mbc, out, 480);
    for (int i = 1200; i < in.getNumSamples(); ++i)
        ASSERT_EQ (out.getSample (0, i), in.getSample (0, i)) << i;
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ (e.mbc.bandGr[k].load(), 0.0f);
}

TEST (MultibandComp, SoloSilencesTheOtherBandsWhileTheyKeepMetering)
{
    constexpr double sr = 48000.0;
    Mbc e (sr, 3, { 300, 3000, 8000, 9000 });
    compressBand (e.band (0), -30.0f, 4.0f, 0.0f);
    e.band (1).solo = true;
    juce::AudioBuffer<float> b (2, (int) sr);
    vyrTestSignals::fillSine (b, 0, 40.0, sr, 0.5f);
    vyrTestSignals::fillSine (b, 1, 40.0, sr, 0.5f);
    vyrTestSignals::processInBlocks (e.mbc, b, 512);
    // What is left at 40 Hz is band 1's own Linkwitz-Riley skirt (-70 dB), not band 0.
    const int n = (int) (0.2 * sr);
    EXPECT_LT (eqTest::toneDb (b.getReadPointer (0) + b.getNumSamples() - n, n, 40.0, sr), -70.0);
    EXPECT_GT (e.mbc.bandGr[0].load(), 10.0f);
}

TEST (MultibandComp, StaysStableAtLowSampleRates)
{
    const std::vector<float> layouts[] = { { 16000, 17000, 17500, 18000 }, { 40, 18000, 40, 18000 }, { 9000, 12000, 15000, 18000 } };
    for (double sr : { 22050.0, 32000.0, 44100.0 })
    {
        for (const auto& xo : layouts)
        {
            for (bool ms : { false, true })
            {
                Mbc e (sr, 5, xo);
                e.mbc.state.msMode = ms;
                for (int b = 0; b < 5; ++b)
                {
                    compressBand (e.band (b), -40.0f, 20.0f, 0.0f);
                    compressBand (e.band (b, true), -40.0f, 20.0f, 0.0f);
                }
                juce::AudioBuffer<float> buf (2, 512);
                for (int block = 0; block < 100; ++block)
                {
                    vyrTestSignals::fillNoiseAllChannels (buf, block, 0.5f);
                    e.mbc.process (buf);
                    ASSERT_TRUE (vyrTestSignals::allFinite (buf)) << sr;
                    ASSERT_LT (vyrTestSignals::peak (buf), 20.0f) << sr;
                }
                for (int k = 0; k < 4; ++k)
                {
                    EXPECT_LE (e.mbc.designedXover[k], 0.45f * (float) sr);
                    for (auto* s : { &e.mbc.stereoSplitL[k], &e.mbc.midSplit[k] })
                    {
                        EXPECT_TRUE (eqTest::isStable (s->lp1.c)) << sr << " xover " << k;
                        EXPECT_TRUE (eqTest::isStable (s->hp1.c)) << sr << " xover " << k;
                    }
                    EXPECT_TRUE (eqTest::isStable (e.mbc.stereoAllPassL[k].c));
                }
            }
        }
    }
}

TEST (MultibandComp, RecoversFromNonFiniteInputWithinOneBlock)
{
    for (bool ms : { false, true })
    {
        Mbc e (44100.0, 5);
        e.mbc.state.msMode = ms;
        compressBand (e.band (2), -30.0f, 4.0f, 6.0f);
        juce::AudioBuffer<float> b (2, 512);
        vyrTestSignals::fillNoiseAllChannels (b, 7, 0.5f);
        e.mbc.process (b);
        b.setSample (0, 50, std::numeric_limits<float>::quiet_NaN());
        b.setSample (1, 60, std::numeric_limits<float>::infinity());
        e.mbc.process (b);

        vyrTestSignals::fillNoiseAllChannels (b, 2, 0.5f);
        e.mbc.process (b);
        EXPECT_TRUE (vyrTestSignals::allFinite (b)) << ms;
        for (int k = 0; k < 5; ++k)
            EXPECT_TRUE (std::isfinite (e.mbc.bandGr[k].load()));
    }
}

TEST (MultibandComp, CrossoversRedesignOnlyPastAQuarterHertz)
{
    constexpr double sr = 48000.0;
    Mbc e (sr, 4);
    eqTest::settle (e.mbc, sr);
    EXPECT_FLOAT_EQ (e.mbc.designedXover[1], 980.0f);

    // Mark the designed coefficients: a 0.1 Hz move leaves them, a real move glides to the new value.
    e.mbc.stereoSplitL[1].lp1.c.b0 = 123.0f;
    e.mbc.state.xover[1] = 980.1f;
    eqTest::settle (e.mbc, sr, 2, 0.1);
    EXPECT_EQ (e.mbc.stereoSplitL[1].lp1.c.b0, 123.0f);
    EXPECT_FLOAT_EQ (e.mbc.designedXover[1], 980.0f);

    e.mbc.state.xover[1] = 1200.0f;
    eqTest::settle (e.mbc, sr, 2, 0.1);
    EXPECT_NE (e.mbc.stereoSplitL[1].lp1.c.b0, 123.0f);
    EXPECT_FLOAT_EQ (e.mbc.designedXover[1], 1200.0f);
}
