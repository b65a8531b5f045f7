// Delay engine at its heaviest: stereo, full feedback, and a new time every block so the equal-power
// crossfade between the two taps is always running.
#include "BenchUtil.h"
#include "Dsp/Delay.h"

static void BM_DelayHeaviest (benchmark::State& state)
{
    juce::ScopedNoDenormals noDenormals;
    vyrRunEngine<VyrDelay> (state, [] (VyrDelay& delay)
    {
        delay.enabled = true;
        delay.feedback = 0.9f;
        delay.mix = 0.5f;
        delay.xfadeMs = 60.0f;
    }, [] (VyrDelay& delay, int blockIndex) { delay.time = (blockIndex & 1) == 0 ? 1.5f : 0.75f; });
}
BENCHMARK (BM_DelayHeaviest)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
