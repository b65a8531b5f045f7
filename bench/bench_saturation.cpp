// Saturation at its heaviest: grit noise on, the mode switching every block so two curves always run.
#include "BenchUtil.h"
#include "Dsp/Saturation.h"

static void BM_VyrSaturation (benchmark::State& state)
{
    vyrRunEngine<VyrSaturation> (state, [] (VyrSaturation& engine)
    {
        engine.enabled = true;
        engine.mix = 1.0f;
        engine.drive = 1.0f;
        engine.grit = 1.0f;
    }, [] (VyrSaturation& engine, int blockCount)
    {
        engine.mode = (blockCount & 1) ? VyrSaturation::trans : VyrSaturation::tube;  // always crossfading
    });
}
BENCHMARK (BM_VyrSaturation)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
