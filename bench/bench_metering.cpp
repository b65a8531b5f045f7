// Per-block work of the meter engine on a live block: input and output capture, loudness with
// true peak and the spectrum (as the processor runs them with a spectrum view open).
#include "BenchUtil.h"
#include "Dsp/Metering.h"

#include <memory>

static void BM_MeterEngine (benchmark::State& state)
{
    const double sr = (double) state.range (0);
    const int block = (int) state.range (1);
    auto meters = std::make_unique<VyrMeterEngine>();
    auto loudness = std::make_unique<VyrLoudnessState>();
    meters->prepare (sr);
    loudness->prepare (sr);
    loudness->reset (*meters);

    vyrRunBlocks (state, sr, block, block * 64, [&] (juce::AudioBuffer<float>& buffer, int)
    {
        meters->capture (buffer, true);
        meters->capture (buffer, false);
        loudness->process (buffer, *meters);
        meters->updateSpectrum (buffer);
        benchmark::DoNotOptimize (meters->lufsMomentary.load());
    });
}
BENCHMARK (BM_MeterEngine)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });

// The output's true-peak scan alone, both channels: the skipping scan (0) against the exhaustive one (1),
// on program material (last argument 0) or on a limited master that sits near its peak (1; the
// program driven 12 dB into a hard clip, which the processor's limiter output resembles).
static void BM_TruePeakScan (benchmark::State& state)
{
    const bool exhaustive = state.range (0) == 1;
    const double sr = (double) state.range (1);
    const int block = (int) state.range (2);
    const bool limited = state.range (3) == 1;
    auto scan = std::make_unique<VyrTruePeakMeter>();
    vyrRunBlocks (state, sr, block, block * 64, [&] (juce::AudioBuffer<float>& buffer, int)
    {
        if (limited)
            for (int ch = 0; ch < 2; ++ch)
            {
                float* d = buffer.getWritePointer (ch);
                for (int i = 0; i < block; ++i)
                    d[i] = juce::jlimit (-0.9f, 0.9f, 4.0f * d[i]);
            }
        float peak = 0.0f;
        for (int ch = 0; ch < 2; ++ch)
            peak = std::max (peak, exhaustive ? scan->processExhaustive (buffer.getReadPointer (ch), block, ch)
                                              : scan->process (buffer.getReadPointer (ch), block, ch));
        benchmark::DoNotOptimize (peak);
    });
}
BENCHMARK (BM_TruePeakScan)->ArgsProduct ({ { 0, 1 }, { 48000 }, { 512 }, { 0, 1 } });
