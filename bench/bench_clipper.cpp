// Clipper at its heaviest: the drive gliding every block and the low-pass gliding (with redesigns).
#include "BenchUtil.h"
#include "Clipper.h"

static void BM_VyrClipper (benchmark::State& state)
{
    const double sr = (double) state.range (0);
    const int block = (int) state.range (1);
    VyrClipper engine;
    engine.enabled = true;
    engine.mix = 1.0f;
    engine.symmetry = 30.0f;
    engine.highShelfGain = 4.0f;
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
        engine.drive = (blockCount & 1) ? 30.0f : 10.0f;  // the drive always glides
        engine.lpFilterFreq = ((blockCount >> 4) & 1) ? 9000.0f : 3000.0f;  // filter glides with redesigns
        ++blockCount;
        engine.process (buffer);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    vyrReportRealTimeFactor (state, sr, block);
}
BENCHMARK (BM_VyrClipper)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
