// Delay engine at its heaviest: stereo, full feedback, and a new time every block so the equal-power
// crossfade between the two taps is always running.
#include "BenchUtil.h"
#include "Delay.h"

static void BM_DelayHeaviest (benchmark::State& state)
{
    const double sr = (double) state.range (0);
    const int block = (int) state.range (1);
    juce::ScopedNoDenormals noDenormals;

    VyrDelay delay;
    delay.enabled = true;
    delay.feedback = 0.9f;
    delay.mix = 0.5f;
    delay.xfadeMs = 60.0f;
    delay.prepare (sr, block);

    juce::AudioBuffer<float> source (2, block * 64), buffer (2, block);
    juce::Random rng (1);
    vyrFillProgram (source, sr, rng);
    int offset = 0, count = 0;

    for (auto _ : state)
    {
        for (int ch = 0; ch < 2; ++ch)
            buffer.copyFrom (ch, 0, source, ch, offset, block);
        offset = (offset + block) % (block * 64);
        delay.time = (++count & 1) != 0 ? 1.5f : 0.75f;
        delay.process (buffer);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    vyrReportRealTimeFactor (state, sr, block);
}
BENCHMARK (BM_DelayHeaviest)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
