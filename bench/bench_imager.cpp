// Stereo imager at its heaviest: split on, rotation on, the crossover moving and the wet share gliding.
#include "BenchUtil.h"
#include "Imager.h"

static void BM_VyrImager (benchmark::State& state)
{
    const double sr = (double) state.range (0);
    const int block = (int) state.range (1);
    VyrImager engine;
    engine.enabled = true;
    engine.split = true;
    engine.direction = 30.0f;
    engine.width = 2.0f;
    engine.prepare (sr, block);

    juce::AudioBuffer<float> source (2, block * 64), buffer (2, block);
    juce::Random rng (1);
    vyrFillProgram (source, sr, rng);
    int offset = 0;
    int blockCount = 0;

    for (auto _ : state)
    {
        for (int ch = 0; ch < 2; ++ch)
            buffer.copyFrom (ch, 0, source, ch, offset, block);
        offset = (offset + block) % (block * 64);
        engine.crossover = ((blockCount >> 4) & 1) ? 150.0f : 300.0f;  // redesigns now and then
        engine.mix = (blockCount & 1) ? 1.0f : 0.9f;  // the wet share always glides
        ++blockCount;
        engine.process (buffer);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    vyrReportRealTimeFactor (state, sr, block);
}
BENCHMARK (BM_VyrImager)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
