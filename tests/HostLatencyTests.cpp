// The latency a host reads right after restoring a state or changing a setting itself, before any
// audio, is the latency the plug-in then runs with: an impulse comes out exactly that late.
#include "HostedPlugin.h"

#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

namespace
{
using namespace vyrTest;

class HostLatencyTest : public ::testing::TestWithParam<HostCase> {};

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;

bool isLv2 (const HostCase& c) { return juce::String (c.format) == "LV2"; }

// LV2 hosts name parameters by URI (ending in the ID), VST3 hosts by number; the names here are unique.
juce::AudioProcessorParameter* limiterParameter (juce::AudioPluginInstance& p, const char* id, const char* name)
{
    for (auto* param : p.getParameters())
        if (auto* hosted = dynamic_cast<juce::HostedAudioProcessorParameter*> (param))
            if (hosted->getParameterID().endsWith (juce::String (":") + id))
                return param;
    for (auto* param : p.getParameters())
        if (param->getName (64) == name)
            return param;
    return nullptr;
}

void setByText (juce::AudioProcessorParameter& param, const char* text)
{
    param.setValueNotifyingHost (param.getValueForText (text));
}

void runBlock (juce::AudioPluginInstance& p, juce::AudioBuffer<float>& buffer)
{
    juce::MidiBuffer midi;
    p.processBlock (buffer, midi);
}

// The latency as the host has it before any audio. An LV2 host reads the plug-in's latency port by
// running it for zero samples (which also hands over the host's parameter writes).
int latencyBeforeAudio (juce::AudioPluginInstance& p, const HostCase& c)
{
    if (isLv2 (c))
    {
        juce::AudioBuffer<float> none (2, 0);
        runBlock (p, none);
    }
    return p.getLatencySamples();
}

// The latency the host has once it heard of `expected`, without running any audio: the plug-in's
// report may pass through its own message thread (it has one without an editor) and the host's
// message loop, so the loop runs until it arrives (bounded).
int latencyWithoutAudio (juce::AudioPluginInstance& p, const HostCase& c, int expected)
{
    int latency = latencyBeforeAudio (p, c);
    const auto end = juce::Time::getMillisecondCounter() + 5000;
    while (latency != expected && juce::Time::getMillisecondCounter() < end)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
        latency = latencyBeforeAudio (p, c);
    }
    return latency;
}

// How late the largest output sample of an impulse comes, after a block of silence.
int impulseDelay (juce::AudioPluginInstance& p)
{
    constexpr int at = 100;
    juce::AudioBuffer<float> buffer (2, kBlock);
    buffer.clear();
    runBlock (p, buffer);
    int delay = -1;
    float peak = 0.0f;
    for (int b = 0; b < 4; ++b)
    {
        buffer.clear();
        if (b == 0)
            for (int ch = 0; ch < 2; ++ch)
                buffer.setSample (ch, at, 0.25f);
        runBlock (p, buffer);
        for (int i = 0; i < kBlock; ++i)
            if (std::abs (buffer.getSample (0, i)) > peak)
            {
                peak = std::abs (buffer.getSample (0, i));
                delay = b * kBlock + i - at;
            }
    }
    return delay;
}

// A state with the limiter at 8x oversampling and 20 ms of lookahead, saved by an instance of the
// same format.
juce::MemoryBlock slowLimiterState (const HostCase& c)
{
    auto source = c.load();
    if (source.instance == nullptr)
        return {};
    auto& p = *source.instance;
    p.setPlayConfigDetails (2, 2, kRate, kBlock);
    p.prepareToPlay (kRate, kBlock);
    auto* os = limiterParameter (p, "limiter_oversampling", "OS");
    auto* lookahead = limiterParameter (p, "limiter_lookahead", "Lookahead");
    if (os == nullptr || lookahead == nullptr)
        return {};
    setByText (*os, "8x");
    setByText (*lookahead, "20");
    juce::AudioBuffer<float> buffer (2, kBlock);
    buffer.clear();
    runBlock (p, buffer);   // both hosts hand parameter writes over with a block at the latest
    juce::MemoryBlock blob;
    p.getStateInformation (blob);
    p.releaseResources();
    return blob;
}

TEST_P (HostLatencyTest, RestoredStateReportsItsLatencyBeforeTheFirstBlock)
{
    const auto state = slowLimiterState (GetParam());
    ASSERT_GT (state.getSize(), 0u);

    auto loaded = GetParam().load();
    ASSERT_NE (loaded.instance, nullptr) << loaded.error;
    auto& p = *loaded.instance;
    p.setPlayConfigDetails (2, 2, kRate, kBlock);
    p.prepareToPlay (kRate, kBlock);
    const int before = latencyBeforeAudio (p, GetParam());

    p.setStateInformation (state.getData(), (int) state.getSize());
    constexpr int expected = 971;   // 8x oversampling and 20 ms at 48 kHz
    // An LV2 plug-in answers the first zero-length run from the latency it holds: the restore must
    // have set it already.
    const int reported = isLv2 (GetParam()) ? latencyBeforeAudio (p, GetParam()) : latencyWithoutAudio (p, GetParam(), expected);
    EXPECT_NE (before, expected);
    EXPECT_EQ (reported, expected);
    EXPECT_EQ (impulseDelay (p), reported);
    EXPECT_EQ (p.getLatencySamples(), reported);
    p.releaseResources();
}

// A host's own change of the lookahead reaches the host's latency without any audio running: the
// VST3 host hands it over on its message thread, the LV2 host with a zero-length run.
TEST_P (HostLatencyTest, HostLookaheadChangeIsReportedBeforeAudio)
{
    auto loaded = GetParam().load();
    ASSERT_NE (loaded.instance, nullptr) << loaded.error;
    auto& p = *loaded.instance;
    p.setPlayConfigDetails (2, 2, kRate, kBlock);
    p.prepareToPlay (kRate, kBlock);
    auto* lookahead = limiterParameter (p, "limiter_lookahead", "Lookahead");
    ASSERT_NE (lookahead, nullptr);
    const int before = latencyBeforeAudio (p, GetParam());

    setByText (*lookahead, "7.5");
    constexpr int expected = 360;   // 7.5 ms at 48 kHz
    const int reported = latencyWithoutAudio (p, GetParam(), expected);
    EXPECT_NE (before, expected);
    EXPECT_EQ (reported, expected);
    EXPECT_EQ (impulseDelay (p), reported);
    EXPECT_EQ (p.getLatencySamples(), reported);
    p.releaseResources();
}

INSTANTIATE_TEST_SUITE_P (Formats, HostLatencyTest,
                          ::testing::Values (vst3Case, lv2Case),
                          [] (const auto& info) { return std::string (info.param.format); });
}
