// Analogue density at its heaviest: every stage in, the density gliding so the drives are derived per sample.
#include "BenchUtil.h"
#include "AnalogueDensity.h"

static void BM_VyrAnalogueDensity (benchmark::State& state)
{
    const double sr = (double) state.range (0);
    const int block = (int) state.range (1);
    VyrAnalogueDensity engine;
    engine.enabled = true;
    engine.mix = 1.0f;
    engine.satIn = true;
    engine.altTube = true;
    engine.saturation = 6.0f;
    engine.pentode = 5.0f;
    engine.triode = 5.0f;
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
        engine.density = (blockCount & 1) ? 80.0f : -40.0f;  // the stage drives always glide
        ++blockCount;
        engine.process (buffer);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    vyrReportRealTimeFactor (state, sr, block);
}
BENCHMARK (BM_VyrAnalogueDensity)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
