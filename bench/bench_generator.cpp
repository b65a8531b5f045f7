// Signal-utility product generating a logarithmic sweep (one sine and one exponential per sample).
#include "BenchUtil.h"
#include "Core/PluginProcessor.h"

static void BM_SignalGenerator (benchmark::State& state)
{
    const double sr = (double) state.range (0);
    const int block = (int) state.range (1);
    VyrAudioProcessor proc (vyrProducts::signalUtility);
    proc.setPlayConfigDetails (2, 2, sr, block);
    proc.prepareToPlay (sr, block);
    proc.utilWave = 8;
    proc.utilInvert = 2;
    proc.utilDcOffset = 0.01f;

    juce::AudioBuffer<float> buffer (2, block);
    juce::MidiBuffer midi;
    for (auto _ : state)
    {
        proc.processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    vyrReportRealTimeFactor (state, sr, block);
    proc.releaseResources();
}
BENCHMARK (BM_SignalGenerator)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
