// The audio thread's hop features measured on known signals, and its hand-over to the timer
// without ever waiting for the message thread.
#include <gtest/gtest.h>
#include "Live/LiveSectionAnalyzer.h"
#include <cmath>
#include <functional>

namespace
{
using Feature = LiveSectionAnalyzer::Feature;
constexpr double kRate = 48000.0;

struct FeatureAnalyser : LiveSectionAnalyzer
{
    FeatureAnalyser()
    {
        sampleRate = kRate;
        hopLength = kRate * 0.25;
        reset();
        setMode (show);
    }

    // Runs `seconds` of a signal (one function of the sample index for both channels) in blocks
    // and returns every hop published.
    std::vector<Feature> run (double seconds, const std::function<float (std::int64_t)>& signal, int block = 512)
    {
        std::vector<Feature> hops;
        juce::AudioBuffer<float> buf (2, block);
        const auto total = (std::int64_t) (seconds * kRate);
        for (std::int64_t start = 0; start < total; start += block)
        {
            for (int i = 0; i < block; ++i)
                buf.setSample (0, i, signal (start + i)), buf.setSample (1, i, signal (start + i));
            const int seq = hopSeq.load();
            analyseBlock (buf, kRate, start, true, true);
            if (hopSeq.load() != seq)
                hops.push_back (hopFrame);
        }
        return hops;
    }
};

float sine (std::int64_t n, double hz, float amp) { return amp * (float) std::sin (2.0 * juce::MathConstants<double>::pi * hz * (double) n / kRate); }
}

TEST (LiveFeatures, KnownSignalsGiveTheirLevelBandsCrestAndRhythm)
{
    {
        FeatureAnalyser a;
        const auto hops = a.run (1.0, [] (std::int64_t) { return 0.0f; });
        ASSERT_EQ (hops.size(), 4u);
        for (float v : hops[0].imprint)
            EXPECT_FLOAT_EQ (v, 1.0f / 6.0f);
        EXPECT_FLOAT_EQ (hops[0].slowA, -100.0f);
        EXPECT_TRUE (hops[0].silent);
        EXPECT_FLOAT_EQ (hops[0].crest, 0.0f);
        // A hop that ends inside a block keeps the position of its first sample.
        for (size_t k = 0; k < hops.size(); ++k)
            EXPECT_EQ (hops[k].position, (std::int64_t) k * 12000);
    }
    struct Case
    {
        double hz;
        int band;   // the band that must hold most of the energy
    };
    for (const auto& c : { Case { 30.0, 0 }, Case { 120.0, 1 }, Case { 1000.0, 3 }, Case { 4000.0, 4 }, Case { 15000.0, 5 } })
    {
        FeatureAnalyser a;
        const auto hops = a.run (1.0, [&] (std::int64_t n) { return sine (n, c.hz, 0.5f); });
        ASSERT_EQ (hops.size(), 4u);
        const auto& f = hops.back();
        EXPECT_NEAR (f.slowA, 20.0 * std::log10 (0.5 / std::sqrt (2.0)), 0.05) << c.hz;
        EXPECT_NEAR (f.crest, 3.01f, 0.05f) << c.hz;
        EXPECT_FALSE (f.silent);
        const auto strongest = std::max_element (std::begin (f.imprint), std::end (f.imprint)) - std::begin (f.imprint);
        EXPECT_EQ (strongest, c.band) << c.hz << " Hz";
        float sum = 0.0f;
        for (float v : f.imprint)
            sum += v;
        EXPECT_NEAR (sum, 1.0f, 1.0e-5f);
        EXPECT_NEAR (f.density, LiveSectionAnalyzer::densityOf (f.imprint), 1.0e-6f);
        EXPECT_FLOAT_EQ (f.rhythmHz, 0.0f) << "a steady tone has no onsets";
    }
    {
        // Clicks four times a second: four onsets per second; clicks every 10 ms: at most one per 50 ms.
        // An onset is a rise of the follower by more than 0.012 in one sample: a hot click.
        FeatureAnalyser a;
        auto clicks = [] (int period) { return [period] (std::int64_t n) { return (n % period) < 48 ? 1.5f : 0.0f; }; };
        auto hops = a.run (2.0, clicks (12000));
        EXPECT_NEAR (hops.back().rhythmHz, 4.0f, 0.01f);
        FeatureAnalyser b;
        hops = b.run (2.0, clicks (480));
        EXPECT_LE (hops.back().rhythmHz, 20.0f);
        EXPECT_GE (hops.back().rhythmHz, 16.0f);
    }
    {
        // Block size does not change what is measured.
        FeatureAnalyser a, b;
        const auto x = a.run (1.0, [] (std::int64_t n) { return sine (n, 440.0, 0.3f) + sine (n, 60.0, 0.2f); }, 64);
        const auto y = b.run (1.0, [] (std::int64_t n) { return sine (n, 440.0, 0.3f) + sine (n, 60.0, 0.2f); }, 4000);
        ASSERT_EQ (x.size(), y.size());
        for (size_t k = 0; k < x.size(); ++k)
        {
            EXPECT_EQ (x[k].position, y[k].position);
            EXPECT_NEAR (x[k].slowA, y[k].slowA, 1.0e-3f);
            for (int i = 0; i < 6; ++i)
                EXPECT_NEAR (x[k].imprint[i], y[k].imprint[i], 1.0e-4f);
        }
    }
}

TEST (LiveFeatures, TheAudioThreadNeverWaitsForTheMessageThread)
{
    FeatureAnalyser a;
    a.setMode (LiveSectionAnalyzer::arm);
    a.stampMap (0, {});
    juce::AudioBuffer<float> buf (2, 12000);
    for (int i = 0; i < 12000; ++i)
        buf.setSample (0, i, sine (i, 440.0, 0.5f)), buf.setSample (1, i, sine (i, 440.0, 0.5f));

    // The timer is copying the frame: the hop waits for the next block instead.
    a.frameLock.enter();
    a.analyseBlock (buf, kRate, 0, true, true);
    EXPECT_EQ (a.hopSeq.load(), 0);
    a.frameLock.exit();
    juce::AudioBuffer<float> empty (2, 0);
    a.analyseBlock (empty, kRate, 12000, true, true);
    EXPECT_EQ (a.hopSeq.load(), 1);
    EXPECT_NEAR (a.hopFrame.slowA, -9.03f, 0.05f);
    EXPECT_EQ (a.hopFrame.position, 0);

    // The message thread edits the map: the block skips its map work.
    a.mapLock.enter();
    a.analyseBlock (buf, kRate, 100000, true, true);
    EXPECT_EQ (a.prevBlockEnd, 12000) << "untouched while the map was busy";
    a.mapLock.exit();
    a.analyseBlock (buf, kRate, 200000, true, true);
    EXPECT_EQ (a.prevBlockEnd, 212000);

    // The request slot is busy: the entry fires on a later block.
    a.replaying = true;
    a.requestLock.enter();
    a.analyseBlock (buf, kRate, 212000, true, true);
    EXPECT_FALSE (a.requestPending.load());
    a.requestLock.exit();
    a.analyseBlock (buf, kRate, 224000, true, true);
    EXPECT_TRUE (a.requestPending.load());

    // A reset on the message thread reaches the audio thread's accumulators on its next block.
    juce::AudioBuffer<float> half (2, 6000);
    half.copyFrom (0, 0, buf, 0, 0, 6000);
    half.copyFrom (1, 0, buf, 1, 0, 6000);
    a.analyseBlock (half, kRate, 236000, true, true);
    a.reset();
    EXPECT_NE (a.hopSamples, 0) << "the message thread does not write the audio thread's state";
    a.setMode (LiveSectionAnalyzer::show);
    a.analyseBlock (empty, kRate, 0, true, true);
    EXPECT_EQ (a.hopSamples, 0);
    EXPECT_EQ (a.sumSquares, 0.0);
}
