// Reverb engine at its heaviest: "Round" (14 taps per channel), largest X-Large room, and room size,
// reflection spacing and predelay changing every block so both crossfaded pairs and the gliding tap
// spacing are always working.
#include "BenchUtil.h"
#include "Dsp/ReverbEngine.h"

static void BM_ReverbHeaviest (benchmark::State& state)
{
    juce::ScopedNoDenormals noDenormals;
    VyrReverbEngine::Params p;
    p.enabled = true;
    p.shape = 2;
    p.mix = 0.5f;
    p.decay = 8.0f;
    p.radicalness = 1.0f;
    p.predelay = 120.0f;

    vyrRunEngine<VyrReverbEngine> (state, [] (VyrReverbEngine&) {}, [&p] (VyrReverbEngine& reverb, int blockIndex)
    {
        const bool flip = (blockIndex & 1) == 0;
        p.size = p.erSize = flip ? 0.9f : 0.6f;
        p.predelay = flip ? 120.0f : 80.0f;
        reverb.setParams (p);
    });
}
BENCHMARK (BM_ReverbHeaviest)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
