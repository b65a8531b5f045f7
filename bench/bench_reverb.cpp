// Reverb engine at its heaviest: "Round" (14 taps per channel), largest X-Large room, and room size,
// reflection spacing and predelay changing every block so both crossfaded pairs and the gliding tap
// spacing are always working.
#include "BenchUtil.h"
#include "ReverbEngine.h"

static void BM_ReverbHeaviest (benchmark::State& state)
{
    const double sr = (double) state.range (0);
    const int block = (int) state.range (1);
    juce::ScopedNoDenormals noDenormals;

    VyrReverbEngine reverb;
    reverb.prepare (sr, block);
    VyrReverbEngine::Params p;
    p.enabled = true;
    p.shape = 2;
    p.mix = 0.5f;
    p.decay = 8.0f;
    p.radicalness = 1.0f;
    p.predelay = 120.0f;

    juce::AudioBuffer<float> source (2, block * 64), buffer (2, block);
    juce::Random rng (1);
    vyrFillProgram (source, sr, rng);
    int offset = 0, count = 0;

    for (auto _ : state)
    {
        for (int ch = 0; ch < 2; ++ch)
            buffer.copyFrom (ch, 0, source, ch, offset, block);
        offset = (offset + block) % (block * 64);
        const bool flip = (++count & 1) != 0;
        p.size = p.erSize = flip ? 0.9f : 0.6f;
        p.predelay = flip ? 120.0f : 80.0f;
        reverb.setParams (p);
        reverb.process (buffer);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    vyrReportRealTimeFactor (state, sr, block);
}
BENCHMARK (BM_ReverbHeaviest)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
