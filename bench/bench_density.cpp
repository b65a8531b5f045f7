// Analogue density at its heaviest: every stage in, the density gliding so the drives are derived per sample.
#include "BenchUtil.h"
#include "Dsp/AnalogueDensity.h"

static void BM_VyrAnalogueDensity (benchmark::State& state)
{
    vyrRunEngine<VyrAnalogueDensity> (state, [] (VyrAnalogueDensity& engine)
    {
        engine.enabled = true;
        engine.mix = 1.0f;
        engine.satIn = true;
        engine.altTube = true;
        engine.saturation = 6.0f;
        engine.pentode = 5.0f;
        engine.triode = 5.0f;
    }, [] (VyrAnalogueDensity& engine, int blockCount)
    {
        engine.density = (blockCount & 1) ? 80.0f : -40.0f;  // the stage drives always glide
    });
}
BENCHMARK (BM_VyrAnalogueDensity)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
