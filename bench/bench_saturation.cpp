// Saturation at its heaviest: grit noise on, the mode switching every block so two curves always run.
#include "BenchUtil.h"
#include "Saturation.h"

static void BM_VyrSaturation (benchmark::State& state)
{
    const double sr = (double) state.range (0);
    const int block = (int) state.range (1);
    VyrSaturation engine;
    engine.enabled = true;
    engine.mix = 1.0f;
    engine.drive = 1.0f;
    engine.grit = 1.0f;
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
        engine.mode = (blockCount & 1) ? VyrSaturation::trans : VyrSaturation::tube;  // always crossfading
        ++blockCount;
        engine.process (buffer);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    vyrReportRealTimeFactor (state, sr, block);
}
BENCHMARK (BM_VyrSaturation)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
