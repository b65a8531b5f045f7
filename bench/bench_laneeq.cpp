// Lane EQ at its heaviest: the angle sweeping, so gliding bands are recomputed every sample.
#include "BenchUtil.h"
#include "LaneEq.h"

static void BM_VyrQuarnLaneEq (benchmark::State& state)
{
    const double sr = (double) state.range (0);
    const int block = (int) state.range (1);
    VyrQuarnLaneEq engine;

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
        engine.eqAng = (float) ((blockCount % 4096) / 4096.0);  // a continuous sweep: bands always glide
        ++blockCount;
        engine.process (buffer);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    vyrReportRealTimeFactor (state, sr, block);
}
BENCHMARK (BM_VyrQuarnLaneEq)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
