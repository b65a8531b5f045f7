#pragma once

#include <benchmark/benchmark.h>
#include <juce_audio_basics/juce_audio_basics.h>

// Real-time factor: seconds of audio processed per second of CPU, reported as the "rtf" counter.
inline void vyrReportRealTimeFactor (benchmark::State& state, double sampleRate, int blockSize)
{
    const double audioSeconds = (double) state.iterations() * blockSize / sampleRate;
    state.counters["rtf"] = benchmark::Counter (audioSeconds, benchmark::Counter::kIsRate);
}

// Program-like test material: pink-ish noise with a slow level swell, stereo.
inline void vyrFillProgram (juce::AudioBuffer<float>& buffer, double sampleRate, juce::Random& rng)
{
    const int n = buffer.getNumSamples();
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
    {
        auto* d = buffer.getWritePointer (ch);
        float b0 = 0.0f, b1 = 0.0f, b2 = 0.0f;
        for (int i = 0; i < n; ++i)
        {
            const float w = rng.nextFloat() * 2.0f - 1.0f;
            b0 = 0.99765f * b0 + w * 0.0990460f;
            b1 = 0.96300f * b1 + w * 0.2965164f;
            b2 = 0.57000f * b2 + w * 1.0526913f;
            d[i] = 0.25f * (b0 + b1 + b2 + w * 0.1848f)
                   + 0.3f * std::sin (2.0f * juce::MathConstants<float>::pi * 55.0f * (float) i / (float) sampleRate);
        }
    }
}

// The timed loop over looped program material: each iteration copies the next block of a stereo
// source of `sourceLength` samples (a multiple of the block size) into the buffer and hands it to
// processBlock (buffer, blockIndex), blockIndex counting from 0. Reports the real-time factor.
template <typename ProcessBlock>
void vyrRunBlocks (benchmark::State& state, double sampleRate, int blockSize, int sourceLength, ProcessBlock&& processBlock)
{
    juce::AudioBuffer<float> source (2, sourceLength), buffer (2, blockSize);
    juce::Random rng (1);
    vyrFillProgram (source, sampleRate, rng);
    int offset = 0, blockIndex = 0;

    for (auto _ : state)
    {
        for (int ch = 0; ch < 2; ++ch)
            buffer.copyFrom (ch, 0, source, ch, offset, blockSize);
        offset = (offset + blockSize) % sourceLength;
        processBlock (buffer, blockIndex++);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    vyrReportRealTimeFactor (state, sampleRate, blockSize);
}

// When an engine benchmark writes its settings: before prepare() (engines that start their smoothers
// on the settings there) or after it (engines whose prepare() loads their defaults).
enum class VyrSettingsTime { beforePrepare, afterPrepare };

struct VyrNoBlockChange
{
    template <typename Engine>
    void operator() (Engine&, int) const {}
};

// Benchmarks one engine (prepare (sampleRate, blockSize), process (buffer)) on 64 blocks of looped
// program material: `settings (engine)` writes its settings once, `perBlock (engine, blockIndex)` runs
// before each block. The sample rate and block size are benchmark arguments `firstArg` and `firstArg + 1`.
template <typename Engine, typename Settings, typename PerBlock = VyrNoBlockChange>
void vyrRunEngine (benchmark::State& state, Settings&& settings, PerBlock&& perBlock = {},
                   VyrSettingsTime when = VyrSettingsTime::beforePrepare, int firstArg = 0)
{
    const double sampleRate = (double) state.range (firstArg);
    const int blockSize = (int) state.range (firstArg + 1);
    Engine engine;
    if (when == VyrSettingsTime::beforePrepare)
        settings (engine);
    engine.prepare (sampleRate, blockSize);
    if (when == VyrSettingsTime::afterPrepare)
        settings (engine);

    vyrRunBlocks (state, sampleRate, blockSize, blockSize * 64, [&] (juce::AudioBuffer<float>& buffer, int blockIndex)
    {
        perBlock (engine, blockIndex);
        engine.process (buffer);
    });
}
