// Parametric EQ: measured responses against the designed ones, cuts and their slopes, mid/side,
// the fade when switched off, sample-rate safety, NaN recovery and redesign on change only.

#include <gtest/gtest.h>
#include "TestSignals.h"
#include "EqTestHelpers.h"
#include "Dsp/EqEngine.h"
#include <cmath>
#include <limits>

namespace
{
    using vyrTestSignals::pi;

    // The designed peak response: the analogue bell mapped with the bilinear transform, warped at f0.
    double bellDb (double f, double f0, double gainDb, double q, double sr)
    {
        const double A = std::pow (10.0, gainDb / 40.0), w0 = 2.0 * pi * f0 / sr, alpha = std::sin (w0) / (2.0 * q);
        const auto z1 = std::polar (1.0, -2.0 * pi * f / sr), z2 = z1 * z1;
        const auto num = (1.0 + alpha * A) - 2.0 * std::cos (w0) * z1 + (1.0 - alpha * A) * z2;
        const auto den = (1.0 + alpha / A) - 2.0 * std::cos (w0) * z1 + (1.0 - alpha / A) * z2;
        return 20.0 * std::log10 (std::abs (num / den));
    }

    // Magnitude of one second-order Butterworth-type section (Q 0.707) after the bilinear transform.
    double passDb (double f, double fc, double sr, bool highPass)
    {
        const double x = std::tan (pi * std::min (f, sr * 0.4999) / sr) / std::tan (pi * fc / sr);
        const double q = 0.707;
        const double den = (1.0 - x * x) * (1.0 - x * x) + x * x / (q * q);
        return 10.0 * std::log10 ((highPass ? x * x * x * x : 1.0) / den);
    }

    struct Eq
    {
        explicit Eq (double sr, int block = 512) : sampleRate (sr) { eq.prepare (sr, block); eqTest::allBandsOff (eq.state, 8, false); }
        VyrParametricEQ eq;
        double sampleRate;

        std::vector<float> settledResponse (int length = 1 << 16, std::vector<float> feed = { 1.0f, 1.0f }, int channel = 0)
        {
            eqTest::settle (eq, sampleRate, (int) feed.size());
            return eqTest::impulseResponse (eq, length, feed, channel);
        }
    };
}

//==============================================================================
TEST (ParametricEq, AllBandsOffPassesTheSignal)
{
    Eq e (48000.0);
    juce::AudioBuffer<float> in (2, 48000), out;
    vyrTestSignals::fillNoiseAllChannels (in, 7, 0.5f);
    out.makeCopyOf (in);
    vyrTestSignals::processInBlocks (e.eq, out, 480);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < in.getNumSamples(); ++i)
            ASSERT_NEAR (out.getSample (ch, i), in.getSample (ch, i), 1.0e-5f) << ch << " " << i;
}

TEST (ParametricEq, BellMatchesItsDesignedGainAndBandwidth)
{
    struct Row { double sr, f0, gain, q; };
    const Row rows[] = { { 48000, 1000, 6, 2 }, { 48000, 1000, -6, 0.7 }, { 44100, 5000, 6, 1 }, { 96000, 120, 6, 4 }, { 44100, 12000, -6, 1.5 } };

    for (const auto& r : rows)
    {
        Eq e (r.sr);
        auto& band = e.eq.state.main.mids[2];
        band.on = true;
        band.freq = (float) r.f0;
        band.gain = (float) r.gain;
        band.q = (float) r.q;
        const auto h = e.settledResponse();
        const auto measured = [&] (double f) { return eqTest::responseDb (h, f, r.sr); };

        // The whole curve follows the design.
        for (double f = 20.0; f < 0.45 * r.sr; f *= 1.25)
            ASSERT_NEAR (measured (f), bellDb (f, r.f0, r.gain, r.q, r.sr), 0.02) << r.f0 << " at " << f;
        EXPECT_NEAR (measured (r.f0), r.gain, 0.02);

        // Edges 3 dB from the peak (half the gain): where the analogue prototype puts them,
        // |1 - W^2| = W / Q, mapped through the warp of the bilinear transform.
        const double half = r.gain / 2.0, k = std::tan (pi * r.f0 / r.sr);
        const double wLo = (std::sqrt (1.0 / (r.q * r.q) + 4.0) - 1.0 / r.q) / 2.0;
        const double wHi = (std::sqrt (1.0 / (r.q * r.q) + 4.0) + 1.0 / r.q) / 2.0;
        const double expectLo = std::atan (wLo * k) * r.sr / pi, expectHi = std::atan (wHi * k) * r.sr / pi;
        const double lo = eqTest::findCrossing (measured, 10.0, r.f0, half);
        const double hi = eqTest::findCrossing (measured, r.f0, 0.499 * r.sr, half);
        EXPECT_NEAR (lo / expectLo, 1.0, 0.003) << r.f0;
        EXPECT_NEAR (hi / expectHi, 1.0, 0.003) << r.f0;

        // Bandwidth in octaves as the cookbook relates it to Q for the bilinear design.
        const double w0 = 2.0 * pi * r.f0 / r.sr;
        const double octaves = 2.0 / std::log (2.0) * std::asinh (1.0 / (2.0 * r.q)) * std::sin (w0) / w0;
        EXPECT_NEAR (std::log2 (hi / lo), octaves, 0.01 * octaves) << r.f0;
    }
}

TEST (ParametricEq, ShelvesReachTheirGainWithTheMidpointAtTheCorner)
{
    struct Row { bool low; double f0, gain; };
    for (const Row r : { Row { true, 200, 6 }, Row { true, 80, -9 }, Row { false, 5000, -6 }, Row { false, 10000, 4 } })
    {
        Eq e (48000.0);
        auto& band = r.low ? e.eq.state.main.low : e.eq.state.main.high;
        band.on = true;
        band.cut = false;
        band.freq = (float) r.f0;
        band.gain = (float) r.gain;
        const auto h = e.settledResponse();
        const double dc = eqTest::responseDb (h, 0.0, 48000.0), nyq = eqTest::responseDb (h, 24000.0, 48000.0);
        EXPECT_NEAR (r.low ? dc : nyq, r.gain, 0.02) << r.f0;
        EXPECT_NEAR (r.low ? nyq : dc, 0.0, 0.02) << r.f0;
        EXPECT_NEAR (eqTest::responseDb (h, r.f0, 48000.0), r.gain / 2.0, 0.03) << r.f0;
    }
}

TEST (ParametricEq, CutsFallAtTheirSlope)
{
    constexpr double sr = 48000.0, fc = 1000.0;
    for (bool low : { true, false })
    {
        for (int slope : { 12, 24, 36, 48 })
        {
            Eq e (sr);
            auto& band = low ? e.eq.state.main.low : e.eq.state.main.high;
            band.on = true;
            band.cut = true;
            band.freq = (float) fc;
            band.slope = (float) slope;
            const auto h = e.settledResponse (1 << 17);
            const int stages = slope / 12;

            // Against the designed cascade, parked stages (20 Hz or 20 kHz) included.
            const auto designed = [&] (double f)
            {
                double db = 0.0;
                for (int k = 0; k < 4; ++k)
                    db += passDb (f, k < stages ? fc : (low ? 20.0 : 20000.0), sr, low);
                return db;
            };
            // (Down to -100 dB; below that the float impulse response is rounding noise.)
            for (double f : { 62.5, 125.0, 250.0, 500.0, 1000.0, 2000.0, 4000.0, 8000.0, 16000.0 })
                if (designed (f) > -100.0)
                    EXPECT_NEAR (eqTest::responseDb (h, f, sr), designed (f), 0.05) << slope << (low ? " low cut at " : " high cut at ") << f;

            // Each stage is 3 dB down at the corner; one and two octaves out the cascade falls by
            // about 12 dB per octave per stage (11.8 for a Butterworth section that close in).
            EXPECT_NEAR (eqTest::responseDb (h, fc, sr), stages * 20.0 * std::log10 (0.707), 0.03);
            const double a = low ? fc / 4.0 : fc * 2.0, b = low ? fc / 2.0 : fc * 4.0;
            const double perOctave = std::abs (eqTest::responseDb (h, b, sr) - eqTest::responseDb (h, a, sr));
            EXPECT_NEAR (perOctave, 11.8 * stages, 0.4 * stages) << slope << (low ? " low" : " high");
        }
    }
}

TEST (ParametricEq, MidSideSeparatesMidAndSide)
{
    struct Row { bool boostMid; std::vector<float> feed; int channels; double expectDb; };
    const Row rows[] = {
        { true, { 1.0f, 1.0f }, 2, 6.0 },     // mid bell, mid signal
        { true, { 1.0f, -1.0f }, 2, 0.0 },    // mid bell, side signal
        { false, { 1.0f, -1.0f }, 2, 6.0 },   // side bell, side signal
        { false, { 1.0f, 1.0f }, 2, 0.0 },    // side bell, mid signal
        { true, { 1.0f }, 1, 6.0 },           // mono buffer: all mid
        { false, { 1.0f }, 1, 0.0 },
    };
    for (const auto& r : rows)
    {
        Eq e (48000.0);
        e.eq.state.msMode = true;
        auto& band = (r.boostMid ? e.eq.state.main : e.eq.state.side).mids[0];
        band.on = true;
        band.freq = 1000.0f;
        band.gain = 6.0f;
        band.q = 1.0f;
        for (int ch = 0; ch < r.channels; ++ch)
        {
            const auto h = e.settledResponse (1 << 15, r.feed, ch);
            EXPECT_NEAR (eqTest::responseDb (h, 1000.0, 48000.0), r.expectDb, 0.02) << r.boostMid << " ch " << ch;
            EXPECT_NEAR (eqTest::responseDb (h, 50.0, 48000.0), 0.0, 0.05);
        }
    }
}

TEST (ParametricEq, SwitchingOffFadesToDryIn25ms)
{
    constexpr double sr = 48000.0;
    Eq on (sr), off (sr);
    for (auto* e : { &on, &off })
    {
        auto& band = e->eq.state.main.mids[0];
        band.on = true;
        band.gain = 12.0f;
        band.freq = 1000.0f;
    }
    juce::AudioBuffer<float> lead (2, 9600);
    vyrTestSignals::fillNoiseAllChannels (lead, 7, 0.3f);
    auto leadCopy = lead;
    vyrTestSignals::processInBlocks (on.eq, lead, 480);
    vyrTestSignals::processInBlocks (off.eq, leadCopy, 480);

    juce::AudioBuffer<float> in (2, 4800), wet, faded;
    vyrTestSignals::fillNoiseAllChannels (in, 3, 0.3f);
    wet.makeCopyOf (in);
    faded.makeCopyOf (in);
    off.eq.state.enabled = false;
    vyrTestSignals::processInBlocks (on.eq, wet, 480);
    vyrTestSignals::processInBlocks (off.eq, faded, 480);

    const int ramp = 1200;   // 25 ms
    for (int i = 0; i < in.getNumSamples(); ++i)
    {
        const float m = i < ramp ? 1.0f - (float) (i + 1) / ramp : 0.0f;
        const float expected = in.getSample (0, i) * (1.0f - m) + wet.getSample (0, i) * m;
        ASSERT_NEAR (faded.getSample (0, i), expected, 1.0e-4f) << i;
        if (i >= ramp)
            ASSERT_EQ (faded.getSample (0, i), in.getSample (0, i)) << i;
    }
}

TEST (ParametricEq, MidBandShapesDesignTheirSection)
{
    struct Row { int shape; float q, gain; int type; float designedQ; };
    const Row rows[] = {
        { 0, 1.0f, 12.0f, VyrParametricEQ::peak, 1.0f },
        { 1, 1.0f, 12.0f, VyrParametricEQ::peak, 3.0f },
        { 1, 1.0f, -12.0f, VyrParametricEQ::peak, 3.0f },
        { 1, 1.0f, 18.0f, VyrParametricEQ::peak, 4.0f },
        { 1, 1.0f, -24.0f, VyrParametricEQ::peak, 4.0f },
        { 2, 0.4f, 6.0f, VyrParametricEQ::peak, 0.3f },
        { 2, 2.0f, 6.0f, VyrParametricEQ::peak, 1.0f },
        { 3, 2.0f, 6.0f, VyrParametricEQ::lowShelf, 0.707f },
        { 4, 2.0f, 6.0f, VyrParametricEQ::highShelf, 0.707f },
        { 7, 0.01f, 6.0f, VyrParametricEQ::peak, 0.05f },
    };
    for (const auto& r : rows)
    {
        Eq e (48000.0);
        auto& band = e.eq.state.main.mids[1];
        band.on = true;
        band.shape = r.shape;
        band.q = r.q;
        band.gain = r.gain;
        juce::AudioBuffer<float> b (2, 64);
        b.clear();
        e.eq.process (b);
        EXPECT_EQ (e.eq.mainSlots[5].type, r.type) << r.shape;
        EXPECT_NEAR (e.eq.mainSlots[5].qSmooth.getTargetValue(), r.designedQ, 1.0e-5f) << r.shape << " q " << r.q;
    }
}

TEST (ParametricEq, SoloAndBandCountDecideWhatSounds)
{
    Eq e (48000.0);
    auto& ch = e.eq.state.main;
    e.eq.state.bandCount = 6;   // m4 and m5 inactive
    ch.low.on = ch.high.on = true;
    ch.low.gain = 6.0f;
    ch.high.gain = 6.0f;
    for (int i = 0; i < 6; ++i)
    {
        ch.mids[i].on = true;
        ch.mids[i].gain = 6.0f;
    }
    ch.mids[5].solo = true;   // inactive: no effect
    ch.high.solo = true;
    const auto h = e.settledResponse();
    EXPECT_NEAR (eqTest::responseDb (h, 20.0, 48000.0), 0.0, 0.05);     // low shelf silent under solo
    EXPECT_NEAR (eqTest::responseDb (h, 446.0, 48000.0), 0.0, 0.05);    // mids silent
    EXPECT_NEAR (eqTest::responseDb (h, 23000.0, 48000.0), 6.0, 0.1);   // the soloed high shelf
}

// Corners at 20 kHz on hosts running at 22.05, 32 or 44.1 kHz must stay below Nyquist: every
// section stays stable and the output finite, also while frequencies glide across the range.
TEST (ParametricEq, StaysStableAtLowSampleRates)
{
    for (double sr : { 22050.0, 32000.0, 44100.0 })
    {
        for (int config = 0; config < 3; ++config)
        {
            Eq e (sr);
            auto& s = e.eq.state;
            s.msMode = config == 2;
            for (auto* ch : { &s.main, &s.side })
            {
                ch->low.on = ch->high.on = true;
                ch->low.cut = ch->high.cut = config == 0;
                ch->low.slope = ch->high.slope = 48.0f;
                ch->low.freq = 20.0f;
                ch->high.freq = 20000.0f;
                ch->low.gain = ch->high.gain = 24.0f;
                for (auto& m : ch->mids)
                {
                    m.on = true;
                    m.freq = 20000.0f;
                    m.gain = 6.0f;
                    m.q = 6.0f;
                    m.shape = config;
                }
            }
            juce::AudioBuffer<float> b (2, 512);
            for (int block = 0; block < 200; ++block)
            {
                // Glide the mids across the whole range and back.
                for (auto& m : s.main.mids)
                    m.freq = (block / 20) % 2 == 0 ? 20000.0f : 20.0f;
                vyrTestSignals::fillNoiseAllChannels (b, block, 0.1f);
                e.eq.process (b);
                ASSERT_TRUE (vyrTestSignals::allFinite (b)) << sr << " config " << config << " block " << block;
                ASSERT_LT (vyrTestSignals::peak (b), 1.0e4f) << sr << " config " << config << " block " << block;
                for (int k = 0; k < VyrParametricEQ::kSections; ++k)
                {
                    ASSERT_TRUE (eqTest::isStable (e.eq.mainSlots[k].filterA.c)) << sr << " section " << k;
                    ASSERT_TRUE (eqTest::isStable (e.eq.sideSlots[k].filterA.c)) << sr << " section " << k;
                }
            }
        }
    }
}

TEST (ParametricEq, RecoversFromNonFiniteInputWithinOneBlock)
{
    for (bool ms : { false, true })
    {
        Eq e (44100.0);
        e.eq.state.msMode = ms;
        auto& band = e.eq.state.main.mids[0];
        band.on = true;
        band.gain = 6.0f;
        e.eq.state.main.low.on = e.eq.state.main.low.cut = true;

        juce::AudioBuffer<float> b (2, 512);
        vyrTestSignals::fillNoiseAllChannels (b, 7, 0.2f);
        b.setSample (0, 100, std::numeric_limits<float>::quiet_NaN());
        b.setSample (1, 200, std::numeric_limits<float>::infinity());
        e.eq.process (b);

        vyrTestSignals::fillNoiseAllChannels (b, 9, 0.2f);
        e.eq.process (b);
        EXPECT_TRUE (vyrTestSignals::allFinite (b)) << ms;
        EXPECT_LT (vyrTestSignals::peak (b), 2.0f);
    }
}

TEST (ParametricEq, RedesignsOnlyWhenASettingMoves)
{
    Eq e (48000.0);
    auto& band = e.eq.state.main.mids[0];
    band.on = true;
    band.gain = 3.0f;
    eqTest::settle (e.eq, 48000.0);

    // Mark the settled section's coefficients: a block with unchanged settings leaves them alone.
    auto& slot = e.eq.mainSlots[4];
    const float designedB0 = slot.filterA.c.b0;
    slot.filterA.c.b0 = 123.0f;
    juce::AudioBuffer<float> b (2, 512);
    b.clear();
    e.eq.process (b);
    EXPECT_EQ (slot.filterA.c.b0, 123.0f);

    // A 0.01 dB change starts a ramp and redesigns while it runs, ending on the new gain.
    band.gain = 3.01f;
    e.eq.process (b);
    EXPECT_NE (slot.filterA.c.b0, 123.0f);
    eqTest::settle (e.eq, 48000.0, 2, 0.05);
    EXPECT_NEAR (slot.lastGain, 3.01f, 1.0e-3f);   // within the ramp's float rounding
    EXPECT_FALSE (slot.gainSmooth.isSmoothing());
    EXPECT_GT (slot.filterA.c.b0, designedB0);   // a little more boost
}

// Sections with low corners at high rates (the parked 20 Hz stages of a cut) must not add rounding
// noise: a sine comes out as a sine, with the residual far below any converter's noise floor.
TEST (ParametricEq, LowCornersAddNoRoundingNoiseAtHighRates)
{
    for (double sr : { 96000.0, 192000.0 })
    {
        Eq e (sr);
        auto& s = e.eq.state.main;
        s.low.on = s.low.cut = true;
        s.low.freq = 30.0f;
        s.low.slope = 12.0f;
        s.mids[0].on = true;
        s.mids[0].freq = 40.0f;
        s.mids[0].gain = 4.0f;
        eqTest::settle (e.eq, sr);

        juce::AudioBuffer<float> b (2, (int) sr);
        vyrTestSignals::fillSine (b, 0, 1000.0, sr, 0.5f);
        vyrTestSignals::fillSine (b, 1, 1000.0, sr, 0.5f);
        vyrTestSignals::processInBlocks (e.eq, b, 512);

        // Fit the 1 kHz sine over a whole number of cycles and measure what is left.
        const int n = (int) (sr / 2), start = b.getNumSamples() - n;
        const float* y = b.getReadPointer (0) + start;
        double sa = 0.0, ca = 0.0;
        for (int i = 0; i < n; ++i)
        {
            const double ph = 2.0 * pi * 1000.0 * (start + i) / sr;
            sa += y[i] * std::sin (ph);
            ca += y[i] * std::cos (ph);
        }
        sa *= 2.0 / n;
        ca *= 2.0 / n;
        double residual = 0.0, signal = 0.0;
        for (int i = 0; i < n; ++i)
        {
            const double ph = 2.0 * pi * 1000.0 * (start + i) / sr;
            const double fit = sa * std::sin (ph) + ca * std::cos (ph);
            residual += (y[i] - fit) * (y[i] - fit);
            signal += fit * fit;
        }
        EXPECT_LT (10.0 * std::log10 (residual / signal), -120.0) << sr;
    }
}
