// The chain frame: module order, product gate, mono sum, output gains, link and DC blocker.
#include <gtest/gtest.h>
#include "Dsp/SignalChain.h"
#include "TestSignals.h"

namespace
{
// The DC blocker alone, as a reference: y = x - x1 + c * y1.
std::vector<float> dcBlocked (const float* x, int n, float c)
{
    std::vector<float> y ((size_t) n);
    float x1 = 0.0f, y1 = 0.0f;
    for (int i = 0; i < n; ++i)
    {
        y[(size_t) i] = std::fma (c, y1, x[i] - x1);
        x1 = x[i];
        y1 = y[(size_t) i];
    }
    return y;
}

// Runs 20 blocks of a loud sine through the chain and returns the output peak over the last nine.
float settledPeakOfLoudSine (VyrSignalChain& chain, const int* order)
{
    juce::AudioBuffer<float> b (2, 512);
    float maxOut = 0.0f;
    for (int blk = 0; blk < 20; ++blk)
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
                b.setSample (ch, i, 0.9f * std::sin (0.05f * (float) (blk * 512 + i)));
        chain.process (b, order);
        if (blk > 10)
            maxOut = std::max (maxOut, vyrTestSignals::peak (b));
    }
    return maxOut;
}

void enableColour (VyrSignalChain& c)
{
    c.clipper.enabled = true;
    c.clipper.drive = 18.0f;
    c.clipper.mix = 1.0f;
    c.saturation.enabled = true;
    c.saturation.drive = 0.9f;
    c.saturation.mix = 1.0f;
    c.parametricEq.state.enabled = true;
    c.parametricEq.state.main.mids[0].freq = 500.0f;   // a bell boost before or after the clipper
    c.parametricEq.state.main.mids[0].gain = 12.0f;
}
}

TEST (SignalChain, DcBlockerCoefficientAndBlockIndependence)
{
    VyrSignalChain chain;
    chain.product = 14;   // no module runs: only the frame
    chain.prepare (44100.0, 4096);
    EXPECT_NEAR (chain.dcCoeff, 0.99886f, 1.0e-5f);
    chain.prepare (48000.0, 4096);
    EXPECT_NEAR (chain.dcCoeff, 0.99895f, 1.0e-5f);

    juce::AudioBuffer<float> input (2, 4000);
    vyrTestSignals::fillNoiseAllChannels (input, 1, 0.3f);
    for (int i = 0; i < 4000; ++i)
        input.setSample (0, i, input.getSample (0, i) + 0.5f);   // DC on the left
    const auto reference = dcBlocked (input.getReadPointer (0), 4000, chain.dcCoeff);

    juce::AudioBuffer<float> work;
    work.makeCopyOf (input);
    int pos = 0;
    for (int len : { 1, 17, 0, 512, 1000, 2470 })
    {
        juce::AudioBuffer<float> piece (work.getArrayOfWritePointers(), 2, pos, len);
        chain.process (piece, nullptr);
        pos += len;
    }
    ASSERT_EQ (pos, 4000);
    for (int i = 0; i < 4000; ++i)
        ASSERT_NEAR (work.getSample (0, i), reference[(size_t) i], 1.0e-6f) << i;

    // A constant decays with the 8 Hz time constant: after one second it is gone.
    juce::AudioBuffer<float> dc (1, 48000);
    chain.prepare (48000.0, 48000);
    for (int i = 0; i < 48000; ++i)
        dc.setSample (0, i, 1.0f);
    chain.process (dc, nullptr);
    EXPECT_NEAR (dc.getSample (0, 0), 1.0f, 1.0e-6f);
    EXPECT_NEAR (dc.getSample (0, 6000), std::pow (0.99895f, 6000.0f), 2.0e-3f);
    EXPECT_LT (std::abs (dc.getSample (0, 47999)), 1.0e-3f);
}

TEST (SignalChain, MonoSumOutputGainsAndLink)
{
    VyrSignalChain chain;
    chain.product = 14;
    chain.prepare (48000.0, 256);
    juce::AudioBuffer<float> b (3, 256), in;
    vyrTestSignals::fillNoiseAllChannels (b, 2, 0.3f);
    in.makeCopyOf (b);

    chain.mono = true;
    chain.linkLR = true;
    chain.outputGainL = 0.5f;
    chain.outputGainR = 2.0f;
    chain.process (b, nullptr);

    std::vector<float> sum (256);
    for (int i = 0; i < 256; ++i)
        sum[(size_t) i] = 0.5f * 0.5f * (in.getSample (0, i) + in.getSample (1, i));
    const auto expected = dcBlocked (sum.data(), 256, chain.dcCoeff);
    for (int i = 0; i < 256; ++i)
    {
        ASSERT_NEAR (b.getSample (0, i), expected[(size_t) i], 1.0e-6f);
        ASSERT_EQ (b.getSample (1, i), b.getSample (0, i)) << "linked: both channels halved";
        ASSERT_EQ (b.getSample (2, i), in.getSample (2, i)) << "channels beyond two are left alone";
    }

    // Bypass skips the modules and the mono sum, but the gains and the blocker still apply.
    VyrSignalChain bypassed;
    bypassed.product = 15;
    bypassed.prepare (48000.0, 256);
    bypassed.bypass = true;
    bypassed.mono = true;
    bypassed.linkLR = false;
    bypassed.outputGainR = 2.0f;
    juce::AudioBuffer<float> c;
    c.makeCopyOf (in);
    bypassed.process (c, nullptr);
    std::vector<float> right (256);
    for (int i = 0; i < 256; ++i)
        right[(size_t) i] = 2.0f * in.getSample (1, i);
    const auto expR = dcBlocked (right.data(), 256, bypassed.dcCoeff);
    for (int i = 0; i < 256; ++i)
        ASSERT_NEAR (c.getSample (1, i), expR[(size_t) i], 1.0e-6f);
}

TEST (SignalChain, RunsModulesInTheGivenOrder)
{
    // Clipping then boosting differs from boosting then clipping; each order must equal running the
    // modules one by one in that order.
    const int eqFirst[13] = { 7, 3, 1, 0, 2, 4, 5, 6, 8, 9, 10, 11, 12 };
    auto runChain = [] (const int* order)
    {
        VyrSignalChain chain;
        chain.product = 0;
        chain.prepare (48000.0, 512);
        enableColour (chain);
        juce::AudioBuffer<float> b (2, 512);
        for (int blk = 0; blk < 8; ++blk)
        {
            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < 512; ++i)
                    b.setSample (ch, i, 0.5f * std::sin (0.0654f * (float) (blk * 512 + i)));
            chain.process (b, order);
        }
        return b;
    };
    const auto defaultOrder = runChain (nullptr);
    const auto swapped = runChain (eqFirst);
    double diff = 0.0;
    for (int i = 0; i < 512; ++i)
        diff += std::abs (defaultOrder.getSample (0, i) - swapped.getSample (0, i));
    EXPECT_GT (diff / 512.0, 0.01) << "reordering non-commuting modules changes the result";

    // The default order written out gives exactly the null order's result.
    const int identity[13] = { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 };
    const auto explicitOrder = runChain (identity);
    for (int i = 0; i < 512; ++i)
        ASSERT_EQ (explicitOrder.getSample (0, i), defaultOrder.getSample (0, i));
}

TEST (SignalChain, ProductGateAndRepeatedEntries)
{
    struct Case { int product; bool clipRuns; bool limiterRuns; };
    const Case cases[] = { { 0, true, true }, { 15, true, true }, { 5, true, false }, { 2, false, true }, { 14, false, false }, { 99, false, false } };
    for (const auto& c : cases)
    {
        VyrSignalChain chain;
        chain.product = c.product;
        chain.prepare (48000.0, 512);
        chain.clipper.enabled = true;
        chain.clipper.drive = 30.0f;
        chain.clipper.mix = 1.0f;
        chain.limiter.ceiling = -6.0f;
        const float maxOut = settledPeakOfLoudSine (chain, nullptr);
        SCOPED_TRACE (c.product);
        if (c.limiterRuns)
            EXPECT_LE (maxOut, juce::Decibels::decibelsToGain (-6.0f) + 1.0e-4f);
        else
            EXPECT_GT (maxOut, 0.6f);
        juce::ignoreUnused (c.clipRuns);
    }

    // Out-of-range entries are clamped: -5 runs the compressor, 99 the limiter.
    VyrSignalChain chain;
    chain.product = 0;
    chain.prepare (48000.0, 512);
    chain.limiter.ceiling = -6.0f;
    const int order[13] = { -5, -5, -5, -5, -5, -5, -5, -5, -5, -5, -5, -5, 99 };
    EXPECT_LE (settledPeakOfLoudSine (chain, order), juce::Decibels::decibelsToGain (-6.0f) + 1.0e-4f);
}

TEST (SignalChain, RecoversFromNonFiniteInputWithEveryModuleOn)
{
    VyrSignalChain chain;
    chain.product = 15;
    chain.prepare (44100.0, 256);
    chain.compressor.enabled = chain.saturation.enabled = chain.analogueDensity.enabled = chain.clipper.enabled = true;
    chain.tape.enabled = chain.delay.enabled = chain.imager.enabled = chain.tovu.enabled = true;
    auto rp = chain.reverb.getParams();
    rp.enabled = true;
    chain.reverb.setParams (rp);
    chain.multiBandComp.state.enabled = true;
    juce::AudioBuffer<float> b (2, 256);
    for (int blk = 0; blk < 40; ++blk)
    {
        vyrTestSignals::fillNoiseAllChannels (b, blk, 0.3f);
        if (blk == 10)
        {
            b.setSample (0, 17, std::numeric_limits<float>::quiet_NaN());
            b.setSample (1, 100, std::numeric_limits<float>::infinity());
        }
        chain.process (b, nullptr);
        if (blk >= 12)
            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < 256; ++i)
                    ASSERT_TRUE (std::isfinite (b.getSample (ch, i))) << "block " << blk;
    }
}
