// The audio thread's rules: no allocation, no wait on a lock the message thread can hold, no message
// post; measurements nobody sees cost nothing; the latency hosts read is right before playback.
#include <gtest/gtest.h>
#include "ProcessorFixture.h"
#include "AllocationGuard.h"
#include "Core/RealtimeProbe.h"
#include <cmath>
#include <thread>

using vyrTest::makeProcessor;
using vyrTest::param;
using vyrTest::prepare;
using vyrTest::setParam;

namespace
{
const char* const kModules[] = { "compressor", "saturation", "analogueDensity", "clip", "tape", "delay", "reverb",
                                 "eq", "dynamicEq", "multiBandComp", "tovu", "stereoImager", "limiter" };

void fillSine (juce::AudioBuffer<float>& b, double& phase, double hz, double sr, float level)
{
    for (int i = 0; i < b.getNumSamples(); ++i)
    {
        const float v = level * (float) std::sin (phase);
        phase += 2.0 * juce::MathConstants<double>::pi * hz / sr;
        for (int ch = 0; ch < b.getNumChannels(); ++ch)
            b.setSample (ch, i, v);
    }
}

int loudestBin (const float* spectrum)
{
    int best = 1;
    for (int k = 1; k < VyrMeterEngine::spectrumBins; ++k)
        if (spectrum[k] > spectrum[best])
            best = k;
    return best;
}
}

TEST (RealtimeRules, TheProbeCountsWaitsOnTheArmedThreadOnly)
{
    juce::SpinLock lock;
    {
        vyrTest::AllocationGuard guard;
        const vyrRt::ScopedSpin hold (lock);
        EXPECT_EQ (guard.waits(), 1);
        EXPECT_FALSE (guard.realtimeSafe());
    }
    vyrTest::AllocationGuard guard;
    std::thread other ([&lock] { const vyrRt::ScopedSpin hold (lock); });
    other.join();
    EXPECT_EQ (guard.waits(), 0);
}

// Live blocks of every product, every module of the chain switched on at heavy settings, the spectrum
// shown, bypass switched both ways, and the message thread resetting the meters between blocks.
TEST (RealtimeRules, AudioThreadNeverAllocatesWaitsOrPosts)
{
    for (int product = 0; product <= 15; ++product)
    {
        SCOPED_TRACE (product);
        auto p = makeProcessor (product, juce::AudioProcessor::wrapperType_VST3);
        if (product == 0 || product == 15)
        {
            for (auto* m : kModules)
                setParam (*p, (juce::String (m) + "_enabled").toRawUTF8(), 1.0f);
            setParam (*p, "limiter_oversampling", 3.0f);
            setParam (*p, "limiter_truePeak", 1.0f);
            setParam (*p, "limiter_lookahead", 5.0f);
        }
        if (product == 15)
            setParam (*p, "liveAnalysis", 1.0f);
        prepare (*p, 48000.0, 512);
        VyrAudioProcessor::SpectrumViewToken view (*p);

        juce::AudioBuffer<float> buf (2, 512);
        juce::MidiBuffer midi;
        midi.ensureSize (256);
        double phase = 0.0;
        for (int block = 0; block < 40; ++block)
        {
            fillSine (buf, phase, 997.0, 48000.0, 0.5f);
            if (block == 10 || block == 25)
                setParam (*p, "bypass", block == 10 ? 1.0f : 0.0f);
            if (block % 7 == 3)
            {
                p->resetLoudness();
                p->liveChain.limiter.resetLoudness();
            }
            vyrTest::AllocationGuard guard;
            p->processBlock (buf, midi);
            ASSERT_EQ (guard.count(), 0) << "block " << block;
            ASSERT_EQ (guard.waits(), 0) << "block " << block;
            ASSERT_EQ (guard.posts(), 0) << "block " << block;
        }
        p->releaseResources();
    }
}

TEST (RealtimeRules, SpectrumRunsOnlyWhileAViewShowsIt)
{
    VyrAudioProcessor p;
    prepare (p, 48000.0, 512);
    const double hz = 1500.0;
    const int expectedBin = (int) std::lround (hz * VyrMeterEngine::fftSize / 48000.0);
    juce::AudioBuffer<float> buf (2, 512);
    juce::MidiBuffer midi;
    double phase = 0.0;
    auto run = [&] (int blocks)
    {
        for (int b = 0; b < blocks; ++b)
        {
            fillSine (buf, phase, hz, 48000.0, 0.25f);
            p.processBlock (buf, midi);
        }
    };
    float spectrum[VyrMeterEngine::spectrumBins];
    auto peak = [&]
    {
        p.meters.copySpectrum (spectrum, VyrMeterEngine::spectrumBins);
        return *std::max_element (std::begin (spectrum), std::end (spectrum));
    };

    run (40);
    EXPECT_EQ (peak(), 0.0f) << "no view: no analysis";

    {
        VyrAudioProcessor::SpectrumViewToken view (p);
        EXPECT_TRUE (p.isSpectrumViewOpen());
        run (40);
        EXPECT_GT (peak(), 0.01f);
        EXPECT_EQ (loudestBin (spectrum), expectedBin);
    }
    EXPECT_FALSE (p.isSpectrumViewOpen());
    const float frozen = peak();
    run (10);
    EXPECT_EQ (peak(), frozen) << "closed: the analysis stopped";

    p.setSpectrumViewOpen (false);   // an unmatched close does not leave the count below zero
    p.setSpectrumViewOpen (true);
    EXPECT_TRUE (p.isSpectrumViewOpen());
    p.setSpectrumViewOpen (false);
}

// A reader holding the spectrum never makes the audio thread wait: that transform's copy is skipped,
// and the next one after the reader lets go publishes.
TEST (RealtimeRules, AudioThreadSkipsTheSpectrumCopyWhileAReaderHoldsIt)
{
    VyrAudioProcessor p;
    prepare (p, 48000.0, 512);
    VyrAudioProcessor::SpectrumViewToken view (p);
    juce::AudioBuffer<float> buf (2, 512);
    juce::MidiBuffer midi;
    double phase = 0.0;

    std::atomic<bool> finished { false };
    long waits = -1;
    p.meters.spectrumLock.enter();
    std::thread audio ([&]
    {
        vyrTest::AllocationGuard guard;
        for (int b = 0; b < 40; ++b)
        {
            fillSine (buf, phase, 3000.0, 48000.0, 0.25f);
            p.processBlock (buf, midi);
        }
        waits = guard.waits();
        finished = true;
    });
    // Bounded: an audio thread that waited on the lock would never finish while it is held.
    const auto deadline = juce::Time::getMillisecondCounter() + 20000;
    while (! finished.load() && juce::Time::getMillisecondCounter() < deadline)
        std::this_thread::yield();
    const bool finishedWhileHeld = finished.load();
    const float heldValue = *std::max_element (std::begin (p.meters.spectrum), std::end (p.meters.spectrum));
    p.meters.spectrumLock.exit();
    audio.join();

    EXPECT_TRUE (finishedWhileHeld);
    EXPECT_EQ (waits, 0);
    EXPECT_EQ (heldValue, 0.0f) << "nothing was published while the reader held the spectrum";

    for (int b = 0; b < 3; ++b)
    {
        fillSine (buf, phase, 3000.0, 48000.0, 0.25f);
        p.processBlock (buf, midi);
    }
    float spectrum[VyrMeterEngine::spectrumBins];
    p.meters.copySpectrum (spectrum, VyrMeterEngine::spectrumBins);
    EXPECT_EQ (loudestBin (spectrum), (int) std::lround (3000.0 * VyrMeterEngine::fftSize / 48000.0));
}

// The reset shows at once and the histories restart on the audio thread's next block: the integrated
// loudness then measures only what followed the reset.
TEST (RealtimeRules, LoudnessResetIsServedByTheAudioThread)
{
    VyrAudioProcessor p (0);   // no module on: the output is the input
    const VyrReaderToken truePeakReader (p.truePeakReaders);
    prepare (p, 48000.0, 480);
    juce::AudioBuffer<float> buf (2, 480);
    juce::MidiBuffer midi;
    double phase = 0.0;
    auto run = [&] (float level, double seconds)
    {
        for (int b = 0; b < (int) (seconds * 100.0); ++b)
        {
            fillSine (buf, phase, 997.0, 48000.0, level);
            p.processBlock (buf, midi);
        }
    };
    run (0.5f, 4.0);
    const float loud = p.meters.lufsIntegrated.load();
    EXPECT_GT (loud, -12.0f);

    p.resetLoudness();
    EXPECT_EQ (p.meters.lufsIntegrated.load(), -100.0f);
    EXPECT_EQ (p.meters.maxTruePeak.load(), -100.0f);

    run (0.05f, 4.0);   // 20 dB quieter
    EXPECT_NEAR (p.meters.lufsIntegrated.load(), loud - 20.0f, 0.3f);
    EXPECT_LT (p.meters.maxTruePeak.load(), -20.0f) << "the loud part's peaks are forgotten";
}

// Hosts read the latency between prepareToPlay and the first block: it comes from the settings, and
// blocks that change nothing ask for no new report.
TEST (RealtimeRules, LatencyIsKnownAtPrepareAndMovesOnlyWithItsSettings)
{
    struct Case { float oversampling; float lookahead; float truePeak; };
    const Case cases[] = { { 0.0f, 0.0f, 0.0f }, { 0.0f, 5.0f, 0.0f }, { 0.0f, 0.0f, 1.0f }, { 2.0f, 1.5f, 0.0f }, { 3.0f, 20.0f, 1.0f } };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.oversampling) + " " + juce::String (c.lookahead) + " " + juce::String (c.truePeak));
        VyrAudioProcessor p;
        setParam (p, "limiter_enabled", 1.0f);
        setParam (p, "limiter_oversampling", c.oversampling);
        setParam (p, "limiter_lookahead", c.lookahead);
        setParam (p, "limiter_truePeak", c.truePeak);
        vyrTest::serveRequests (p);
        prepare (p, 48000.0, 512);
        const int expected = p.liveChain.getLatencySamples();
        EXPECT_EQ (p.getLatencySamples(), expected);
        if (c.oversampling > 0.0f || c.lookahead > 0.0f || c.truePeak > 0.0f)
            EXPECT_GT (expected, 0);

        juce::AudioBuffer<float> buf (2, 512);
        juce::MidiBuffer midi;
        double phase = 0.0;
        for (int b = 0; b < 8; ++b)
        {
            fillSine (buf, phase, 440.0, 48000.0, 0.3f);
            p.processBlock (buf, midi);
            ASSERT_FALSE (p.requestsPending()) << "block " << b;
        }
        EXPECT_EQ (p.getLatencySamples(), expected);

        // A setting that changes it: the next block asks and the poll tells the host.
        setParam (p, "limiter_lookahead", c.lookahead >= 10.0f ? c.lookahead - 5.0f : c.lookahead + 2.0f);
        fillSine (buf, phase, 440.0, 48000.0, 0.3f);
        p.processBlock (buf, midi);
        vyrTest::serveRequests (p);
        EXPECT_EQ (p.getLatencySamples(), p.liveChain.getLatencySamples());
        EXPECT_NE (p.getLatencySamples(), expected);
    }
}
