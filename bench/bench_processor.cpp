// The whole processor (product 15) at its defaults, as a host would run it.
#include "BenchUtil.h"
#include "PluginProcessor.h"

static void BM_ProcessorDefaults (benchmark::State& state)
{
    const double sr = (double) state.range (0);
    const int block = (int) state.range (1);
    VyrAudioProcessor proc (vyrProducts::quarn);
    proc.setPlayConfigDetails (2, 2, sr, block);
    proc.prepareToPlay (sr, block);

    juce::AudioBuffer<float> source (2, block * 64), buffer (2, block);
    juce::Random rng (1);
    vyrFillProgram (source, sr, rng);
    juce::MidiBuffer midi;
    int offset = 0;

    for (auto _ : state)
    {
        for (int ch = 0; ch < 2; ++ch)
            buffer.copyFrom (ch, 0, source, ch, offset, block);
        offset = (offset + block) % (block * 64);
        proc.processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    vyrReportRealTimeFactor (state, sr, block);
    proc.releaseResources();
}
BENCHMARK (BM_ProcessorDefaults)->Args ({ 44100, 512 })->Args ({ 48000, 512 })->Args ({ 96000, 512 });
