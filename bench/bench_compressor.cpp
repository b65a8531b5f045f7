// Compressor at its heaviest: Vintage Opto curve blended with the plain curve, parallel mix, stereo.
#include "BenchUtil.h"
#include "Compressor.h"

static void BM_Compressor (benchmark::State& state)
{
    const double sr = (double) state.range (0);
    const int block = (int) state.range (1);
    VyrCompressor comp;
    comp.enabled = true;
    comp.character = VyrCompressor::vintageOpto;
    comp.model = 0.7f;
    comp.mix = 0.6f;
    comp.threshold = -30.0f;
    comp.ratio = 6.0f;
    comp.knee = 30.0f;
    comp.makeup = 6.0f;
    comp.prepare (sr, block);

    juce::AudioBuffer<float> source (2, block * 64), buffer (2, block);
    juce::Random rng (1);
    vyrFillProgram (source, sr, rng);
    int offset = 0;

    for (auto _ : state)
    {
        for (int ch = 0; ch < 2; ++ch)
            buffer.copyFrom (ch, 0, source, ch, offset, block);
        offset = (offset + block) % (block * 64);
        comp.process (buffer);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    vyrReportRealTimeFactor (state, sr, block);
}
BENCHMARK (BM_Compressor)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
