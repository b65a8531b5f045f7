// Stereo imager at its heaviest: split on, rotation on, the crossover moving and the wet share gliding.
#include "BenchUtil.h"
#include "Dsp/Imager.h"

static void BM_VyrImager (benchmark::State& state)
{
    vyrRunEngine<VyrImager> (state, [] (VyrImager& engine)
    {
        engine.enabled = true;
        engine.split = true;
        engine.direction = 30.0f;
        engine.width = 2.0f;
    }, [] (VyrImager& engine, int blockCount)
    {
        engine.crossover = ((blockCount >> 4) & 1) ? 150.0f : 300.0f;  // redesigns now and then
        engine.mix = (blockCount & 1) ? 1.0f : 0.9f;  // the wet share always glides
    });
}
BENCHMARK (BM_VyrImager)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
