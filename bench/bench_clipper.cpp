// Clipper at its heaviest: the drive gliding every block and the low-pass gliding (with redesigns).
#include "BenchUtil.h"
#include "Dsp/Clipper.h"

static void BM_VyrClipper (benchmark::State& state)
{
    vyrRunEngine<VyrClipper> (state, [] (VyrClipper& engine)
    {
        engine.enabled = true;
        engine.mix = 1.0f;
        engine.symmetry = 30.0f;
        engine.highShelfGain = 4.0f;
    }, [] (VyrClipper& engine, int blockCount)
    {
        engine.drive = (blockCount & 1) ? 30.0f : 10.0f;  // the drive always glides
        engine.lpFilterFreq = ((blockCount >> 4) & 1) ? 9000.0f : 3000.0f;  // filter glides with redesigns
    });
}
BENCHMARK (BM_VyrClipper)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
