// The latency the host is told follows the settings as soon as they change on the message thread,
// before another block runs, and the signal comes out exactly that late, processed or bypassed.
#include <gtest/gtest.h>
#include "ProcessorFixture.h"
#include <functional>
#include <thread>

using vyrTest::prepare;
using vyrTest::setParam;

namespace
{
constexpr int kBlock = 512;
constexpr int kAt = 100;   // where the impulse sits in its block

// A state that runs the limiter at 8x oversampling with 20 ms of lookahead (and the bypass as asked).
juce::MemoryBlock slowLimiterState (bool bypassed)
{
    VyrAudioProcessor source;
    setParam (source, "limiter_oversampling", 3.0f);
    setParam (source, "limiter_lookahead", 20.0f);
    setParam (source, "bypass", bypassed ? 1.0f : 0.0f);
    vyrTest::serveRequests (source);
    juce::MemoryBlock blob;
    source.getStateInformation (blob);
    return blob;
}

// Sends an impulse through after one block of silence: how late the output's largest sample comes,
// and whether the output is nothing but the impulse, moved.
struct ImpulseResult
{
    int delay = -1;
    bool onlyTheImpulse = true;
};

ImpulseResult sendImpulse (VyrAudioProcessor& p)
{
    juce::AudioBuffer<float> buf (2, kBlock);
    juce::MidiBuffer midi;
    buf.clear();
    p.processBlock (buf, midi);
    ImpulseResult r;
    float peak = 0.0f;
    for (int b = 0; b < 4; ++b)
    {
        buf.clear();
        if (b == 0)
            for (int ch = 0; ch < 2; ++ch)
                buf.setSample (ch, kAt, 0.25f);
        p.processBlock (buf, midi);
        for (int i = 0; i < kBlock; ++i)
        {
            const float v = std::abs (buf.getSample (0, i));
            if (v > peak)
            {
                peak = v;
                r.delay = b * kBlock + i - kAt;
            }
            if (v != 0.0f && v != 0.25f)
                r.onlyTheImpulse = false;
        }
    }
    return r;
}
}

TEST (LatencyReport, MessageThreadChangesAreReportedBeforeTheNextBlock)
{
    const auto slow = slowLimiterState (false);
    const auto slowBypassed = slowLimiterState (true);
    struct Case
    {
        const char* what;
        std::function<void (VyrAudioProcessor&)> before, change;
    };
    const auto nothing = [] (VyrAudioProcessor&) {};
    const Case cases[] = {
        { "restored state", nothing, [&] (VyrAudioProcessor& p) { p.setStateInformation (slow.getData(), (int) slow.getSize()); } },
        { "restored state, bypassed", [] (VyrAudioProcessor& p) { setParam (p, "bypass", 1.0f); },
          [&] (VyrAudioProcessor& p) { p.setStateInformation (slowBypassed.getData(), (int) slowBypassed.getSize()); } },
        { "factory preset", nothing, [] (VyrAudioProcessor& p) { p.applyFactoryPreset (5); } },
        { "initial state", [] (VyrAudioProcessor& p) { setParam (p, "limiter_lookahead", 12.0f); },
          [] (VyrAudioProcessor& p) { p.recallInitState(); } },
        { "host lookahead", nothing, [] (VyrAudioProcessor& p) { setParam (p, "limiter_lookahead", 7.5f); } },
        { "host lookahead, bypassed", [] (VyrAudioProcessor& p) { setParam (p, "bypass", 1.0f); },
          [] (VyrAudioProcessor& p) { setParam (p, "limiter_lookahead", 7.5f); } },
        { "true-peak switch", nothing, [] (VyrAudioProcessor& p) { setParam (p, "limiter_truePeak", 1.0f); } },
        { "oversampling", nothing, [] (VyrAudioProcessor& p) { setParam (p, "limiter_oversampling", 2.0f); } },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        VyrAudioProcessor p;
        c.before (p);
        vyrTest::serveRequests (p);
        prepare (p, 48000.0, kBlock);
        const int was = p.getLatencySamples();

        c.change (p);
        const int reported = p.getLatencySamples();
        EXPECT_NE (reported, was);
        EXPECT_EQ (reported, p.latencyForCurrentSettings());
        EXPECT_FALSE (p.requestsPending()) << "nothing left for the message thread to report";

        const bool bypassed = p.apvts.getRawParameterValue ("bypass")->load() >= 0.5f;
        const auto out = sendImpulse (p);
        EXPECT_EQ (out.delay, reported);
        if (bypassed)
            EXPECT_TRUE (out.onlyTheImpulse) << "bypassed, the input passes untouched";
        vyrTest::serveRequests (p);
        EXPECT_EQ (p.getLatencySamples(), reported) << "the audio thread ran with the reported figure";
        if (! bypassed)
            EXPECT_EQ (p.liveChain.getLatencySamples(), reported);
    }
    // 8x oversampling with 20 ms of lookahead at 48 kHz.
    VyrAudioProcessor p;
    prepare (p, 48000.0, kBlock);
    p.setStateInformation (slow.getData(), (int) slow.getSize());
    EXPECT_EQ (p.getLatencySamples(), 971);
}

// A latency moved by automation on the audio thread reaches the host once the message thread runs,
// and the bypass crossfade stays aligned across the change: the faded output is the processed output
// of an identical processor times cos plus the input delayed by the new latency times sin.
TEST (LatencyReport, AudioThreadChangeIsReportedAndTheCrossfadeStaysAligned)
{
    VyrAudioProcessor faded, reference;
    prepare (faded, 48000.0, kBlock);
    prepare (reference, 48000.0, kBlock);
    juce::AudioBuffer<float> a (2, kBlock), b (2, kBlock), input (2, kBlock);
    juce::MidiBuffer midi;
    auto signal = [] (int n) { return n < 0 ? 0.0f : 0.3f * std::sin (0.021f * (float) n) + 0.1f * std::sin (0.37f * (float) n); };
    int t = 0;
    auto run = [&]
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < kBlock; ++i)
                input.setSample (ch, i, signal (t + i));
        a.makeCopyOf (input);
        b.makeCopyOf (input);
        faded.processBlock (a, midi);
        reference.processBlock (b, midi);
        t += kBlock;
    };
    run();
    run();

    // The new lookahead and the bypass arrive together from another thread, as a host's automation
    // does; the message loop does not run until the end.
    std::thread automation ([&]
    {
        for (auto* p : { &faded, &reference })
            setParam (*p, "limiter_lookahead", 5.0f);
        setParam (faded, "bypass", 1.0f);
    });
    automation.join();
    const int latency = faded.latencyForCurrentSettings();
    ASSERT_NE (latency, faded.getLatencySamples());
    const int start = t;
    run();
    const float step = 1.0f / (48000.0f * 0.01f);
    float fade = 0.0f;
    for (int i = 0; i < kBlock; ++i)
    {
        fade = std::min (1.0f, fade + step);
        const float g = fade * juce::MathConstants<float>::halfPi;
        for (int ch = 0; ch < 2; ++ch)
            ASSERT_NEAR (a.getSample (ch, i), b.getSample (ch, i) * std::cos (g) + signal (start + i - latency) * std::sin (g), 1.0e-5f)
                << "sample " << i;
    }
    run();
    for (int i = 0; i < kBlock; ++i)
        ASSERT_EQ (a.getSample (0, i), signal (t - kBlock + i - latency)) << "fully bypassed, sample " << i;

    EXPECT_TRUE (faded.requestsPending());
    vyrTest::serveRequests (faded);
    EXPECT_EQ (faded.getLatencySamples(), latency);
}
