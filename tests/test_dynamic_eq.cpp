// Dynamic EQ: gain reduction only above the threshold along the static soft-knee curve, measured
// on steady sines; meters, mix, switching off, band-layout changes, sample-rate safety, NaN recovery.

#include <gtest/gtest.h>
#include "TestSignals.h"
#include "EqTestHelpers.h"
#include "Dsp/EqEngine.h"
#include <cmath>
#include <limits>

namespace
{
    struct DynEq
    {
        explicit DynEq (double sr) : sampleRate (sr)
        {
            eq.prepare (sr, 512);
            eqTest::allBandsOff (eq.state, 3, true);
        }

        // A mid band at 1 kHz with a fast attack and slow release, so the envelope sits on the
        // sine's peak level and the static curve can be read off the output.
        vyrEq::Band& tightBand (vyrEq::Channel& ch, float ratio, float gain = 0.0f)
        {
            auto& b = ch.mids[0];
            b.on = true;
            b.freq = 1000.0f;
            b.q = 1.0f;
            b.gain = gain;
            b.ratio = ratio;
            b.thresh = -24.0f;
            b.atk = 0.001f;
            b.rel = 1.0f;
            return b;
        }

        VyrDynamicEQ eq;
        double sampleRate;
    };

    // The soft-knee reduction law: 12 dB knee centred on the threshold.
    double staticReduction (double levelDb, double thresh, double ratio)
    {
        const double r = std::min (std::max (ratio, 1.0), 12.0);
        if (r <= 1.0001)
            return 0.0;
        const double k = 1.0 - 1.0 / r, over = levelDb - thresh;
        if (over > 6.0)
            return k * over;
        if (over > -6.0)
            return k * (over + 6.0) * (over + 6.0) / 24.0;
        return 0.0;
    }

    // Runs a steady stereo sine and returns its gain through the engine in dB, read at the end.
    double steadyGainDb (VyrDynamicEQ& eq, double sr, double freq, float amplitude, bool sideSignal = false)
    {
        juce::AudioBuffer<float> b (2, (int) (0.8 * sr));
        vyrTestSignals::fillSine (b, 0, freq, sr, amplitude);
        vyrTestSignals::fillSine (b, 1, freq, sr, sideSignal ? -amplitude : amplitude);
        vyrTestSignals::processInBlocks (eq, b, 512);
        const int n = (int) (0.2 * sr);
        return eqTest::toneDb (b.getReadPointer (0) + b.getNumSamples() - n, n, freq, sr) - 20.0 * std::log10 (amplitude);
    }
}

//==============================================================================
TEST (DynamicEq, ReducesOnlyAboveThresholdAlongTheStaticCurve)
{
    struct Row { double levelDb; float ratio; float gain; };
    const Row rows[] = {
        { -40, 4, 0 }, { -30, 4, 0 },                 // below the knee: untouched
        { -27, 4, 0 }, { -24, 4, 0 }, { -21, 4, 0 },  // inside the 12 dB knee
        { -12, 4, 0 }, { -6, 4, 0 }, { -12, 2, 0 },   // above it
        { -12, 20, 0 },                               // ratio 20 acts as 12
        { -6, 0.5f, 0 },                              // ratio below 1 acts as 1
        { -6, 1, 6 }, { -40, 4, 6 }, { -12, 4, 6 },   // a boosting band: static gain minus the reduction
    };
    for (const auto& r : rows)
    {
        DynEq e (48000.0);
        e.tightBand (e.eq.state.main, r.ratio, r.gain);
        const double measured = steadyGainDb (e.eq, 48000.0, 1000.0, (float) std::pow (10.0, r.levelDb / 20.0));
        const double expected = r.gain - staticReduction (r.levelDb, -24.0, r.ratio);
        EXPECT_NEAR (measured, expected, 0.15) << r.levelDb << " dB, ratio " << r.ratio << ", gain " << r.gain;
        if (expected == r.gain)
            EXPECT_NEAR (measured, expected, 0.02) << "no reduction expected at " << r.levelDb;
    }
}

TEST (DynamicEq, MetersShowTheEditedChannelInMidSide)
{
    for (int msChannel : { 0, 1 })
    {
        DynEq e (48000.0);
        e.eq.state.msMode = true;
        e.eq.state.msChannel = msChannel;
        e.tightBand (e.eq.state.side, 4.0f);
        const double gain = steadyGainDb (e.eq, 48000.0, 1000.0, 0.5f, true);   // pure side, -6 dBFS
        const double reduction = staticReduction (-6.0, -24.0, 4.0);
        EXPECT_NEAR (gain, -reduction, 0.15);
        if (msChannel == 1)
            EXPECT_NEAR (e.eq.grMeter[1].load(), reduction, 0.3);
        else
            EXPECT_EQ (e.eq.grMeter[1].load(), 0.0f);
        for (int p : { 0, 2, 3, 4, 5, 6, 7 })
            EXPECT_EQ (e.eq.grMeter[p].load(), 0.0f) << p;
    }
}

TEST (DynamicEq, MixZeroPassesTheInputAndHoldsTheNodes)
{
    DynEq e (48000.0);
    e.tightBand (e.eq.state.main, 4.0f, 6.0f);
    e.eq.state.mix = 0.0f;
    juce::AudioBuffer<float> in (2, 24000), out;
    vyrTestSignals::fillSine (in, 0, 1000.0, 48000.0, 0.5f);
    vyrTestSignals::fillSine (in, 1, 1000.0, 48000.0, 0.5f);
    out.makeCopyOf (in);
    vyrTestSignals::processInBlocks (e.eq, out, 512);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < in.getNumSamples(); ++i)
            ASSERT_EQ (out.getSample (ch, i), in.getSample (ch, i));
    EXPECT_EQ (e.eq.lrNodes[2].envDb, -80.0f);
    EXPECT_EQ (e.eq.grMeter[1].load(), 0.0f);
}

// Switching the module off fades the band out with the mix instead of jumping to the dry signal.
TEST (DynamicEq, SwitchingOffFadesOutWithoutAJump)
{
    constexpr double sr = 48000.0;
    DynEq on (sr), off (sr);
    for (auto* e : { &on, &off })
        e->tightBand (e->eq.state.main, 1.0f, 12.0f);
    const int lead = 24012;   // the switch lands on a crest of the sine
    juce::AudioBuffer<float> a (2, lead);
    vyrTestSignals::fillSine (a, 0, 1000.0, sr, 0.1f);
    vyrTestSignals::fillSine (a, 1, 1000.0, sr, 0.1f);
    auto b = a;
    vyrTestSignals::processInBlocks (on.eq, a, 480);
    vyrTestSignals::processInBlocks (off.eq, b, 480);

    juce::AudioBuffer<float> in (2, 4800);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < in.getNumSamples(); ++i)
            in.setSample (ch, i, 0.1f * (float) std::sin (2.0 * vyrTestSignals::pi * 1000.0 * (i + lead) / sr));
    auto wet = in, faded = in;
    off.eq.state.enabled = false;
    vyrTestSignals::processInBlocks (on.eq, wet, 480);
    vyrTestSignals::processInBlocks (off.eq, faded, 480);

    // First samples after the switch still carry (nearly) the whole band; after 25 ms the input passes.
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR (faded.getSample (0, i), wet.getSample (0, i), 0.01f) << i;
    for (int i = 1200; i < in.getNumSamples(); ++i)
        ASSERT_EQ (faded.getSample (0, i), in.getSample (0, i)) << i;
    float worstStep = 0.0f, previous = b.getSample (0, lead - 1);
    for (int i = 0; i < in.getNumSamples(); ++i)
    {
        worstStep = std::max (worstStep, std::abs (faded.getSample (0, i) - previous));
        previous = faded.getSample (0, i);
    }
    EXPECT_LT (worstStep, 0.4f * 2.0f * (float) vyrTestSignals::pi * 1000.0f / (float) sr * 1.1f);   // the boosted sine's own slope
    for (int p = 0; p < VyrDynamicEQ::kPositions; ++p)
        EXPECT_EQ (off.eq.grMeter[p].load(), 0.0f);
}

// A band-count change can turn a peak node into the high shelf at the same frequency, Q and gain:
// the section must change its design.
TEST (DynamicEq, BandLayoutChangeRedesignsTheNodeKind)
{
    constexpr double sr = 48000.0;
    DynEq e (sr);
    auto& s = e.eq.state;
    s.bandCount = 4;
    for (auto* b : { &s.main.mids[1], &s.main.high })
    {
        b->on = true;
        b->freq = 5000.0f;
        b->gain = 6.0f;
        b->q = 0.707f;
        b->ratio = 1.0f;
    }
    eqTest::settle (e.eq, sr, 2, 0.3);
    s.bandCount = 3;
    eqTest::settle (e.eq, sr, 2, 0.3);
    EXPECT_EQ (e.eq.lrNodes[4].kind, VyrDynamicEQ::highShelfKind);
    EXPECT_NEAR (steadyGainDb (e.eq, sr, 16000.0, 0.01f), 6.0, 0.3);   // a shelf, not a 5 kHz bell
}

TEST (DynamicEq, StaysStableAtLowSampleRates)
{
    for (double sr : { 22050.0, 32000.0, 44100.0 })
    {
        for (bool ms : { false, true })
        {
            DynEq e (sr);
            auto& s = e.eq.state;
            s.bandCount = 8;
            s.msMode = ms;
            for (auto* ch : { &s.main, &s.side })
            {
                vyrEq::initDefaults (*ch, 8, true);
                for (auto* b : { &ch->low, &ch->mids[0], &ch->mids[1], &ch->mids[2], &ch->mids[3], &ch->mids[4], &ch->mids[5], &ch->high })
                {
                    b->freq = 20000.0f;
                    b->gain = 12.0f;
                    b->q = 6.0f;
                    b->ratio = 12.0f;
                    b->thresh = -60.0f;
                    b->sat = true;
                    b->drive = 1.0f;
                }
            }
            juce::AudioBuffer<float> b (2, 512);
            for (int block = 0; block < 200; ++block)
            {
                for (auto& m : s.main.mids)
                    m.freq = (block / 20) % 2 == 0 ? 20000.0f : 20.0f;
                vyrTestSignals::fillNoiseAllChannels (b, block, 0.5f);
                e.eq.process (b);
                ASSERT_TRUE (vyrTestSignals::allFinite (b)) << sr << " block " << block;
                ASSERT_LT (vyrTestSignals::peak (b), 10.0f);
                for (auto* nodes : { e.eq.lrNodes, e.eq.midNodes, e.eq.sideNodes })
                    for (int p = 0; p < VyrDynamicEQ::kPositions; ++p)
                    {
                        ASSERT_TRUE (eqTest::isStable (nodes[p].eq.c)) << sr << " position " << p;
                        ASSERT_TRUE (eqTest::isStable (nodes[p].detector.c)) << sr << " position " << p;
                    }
            }
        }
    }
}

TEST (DynamicEq, RecoversFromNonFiniteInputWithinOneBlock)
{
    for (bool ms : { false, true })
    {
        DynEq e (44100.0);
        e.eq.state.msMode = ms;
        e.tightBand (e.eq.state.main, 4.0f, 3.0f);
        e.tightBand (e.eq.state.side, 4.0f, 3.0f);
        juce::AudioBuffer<float> b (2, 512);
        vyrTestSignals::fillNoiseAllChannels (b, 7, 0.5f);
        e.eq.process (b);
        b.setSample (0, 10, std::numeric_limits<float>::quiet_NaN());
        b.setSample (1, 20, -std::numeric_limits<float>::infinity());
        e.eq.process (b);

        vyrTestSignals::fillNoiseAllChannels (b, 4, 0.5f);
        e.eq.process (b);
        EXPECT_TRUE (vyrTestSignals::allFinite (b)) << ms;
        for (int p = 0; p < VyrDynamicEQ::kPositions; ++p)
            EXPECT_TRUE (std::isfinite (e.eq.grMeter[p].load()));
        e.eq.process (b);
        for (int p = 0; p < VyrDynamicEQ::kPositions; ++p)
            EXPECT_TRUE (std::isfinite (e.eq.grMeter[p].load()));
    }
}
