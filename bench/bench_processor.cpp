// The whole processor (product 15) at its defaults, as a host would run it.
#include "BenchUtil.h"
#include "Core/PluginProcessor.h"

static void BM_ProcessorDefaults (benchmark::State& state)
{
    const double sr = (double) state.range (0);
    const int block = (int) state.range (1);
    VyrAudioProcessor proc (vyrProducts::quarn);
    proc.setPlayConfigDetails (2, 2, sr, block);
    proc.prepareToPlay (sr, block);

    juce::MidiBuffer midi;
    vyrRunBlocks (state, sr, block, block * 64, [&] (juce::AudioBuffer<float>& buffer, int) { proc.processBlock (buffer, midi); });
    proc.releaseResources();
}
BENCHMARK (BM_ProcessorDefaults)->Args ({ 44100, 512 })->Args ({ 48000, 512 })->Args ({ 96000, 512 });
