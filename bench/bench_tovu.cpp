// Bass-mono monitor at its heaviest: 24 dB slope, the amount gliding and the frequency moving.
#include "BenchUtil.h"
#include "Tovu.h"

static void BM_VyrTovu (benchmark::State& state)
{
    const double sr = (double) state.range (0);
    const int block = (int) state.range (1);
    VyrTovu engine;
    engine.enabled = true;
    engine.width = 1.0f;
    engine.slope = 24;
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
        engine.frequency = ((blockCount >> 4) & 1) ? 80.0f : 160.0f;  // redesigns now and then
        engine.width = (blockCount & 1) ? 1.0f : 0.8f;  // the amount always glides
        ++blockCount;
        engine.process (buffer);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    vyrReportRealTimeFactor (state, sr, block);
}
BENCHMARK (BM_VyrTovu)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
