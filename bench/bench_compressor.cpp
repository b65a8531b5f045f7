// Compressor at its heaviest: Vintage Opto curve blended with the plain curve, parallel mix, stereo.
#include "BenchUtil.h"
#include "Dsp/Compressor.h"

static void BM_Compressor (benchmark::State& state)
{
    vyrRunEngine<VyrCompressor> (state, [] (VyrCompressor& comp)
    {
        comp.enabled = true;
        comp.character = VyrCompressor::vintageOpto;
        comp.model = 0.7f;
        comp.mix = 0.6f;
        comp.threshold = -30.0f;
        comp.ratio = 6.0f;
        comp.knee = 30.0f;
        comp.makeup = 6.0f;
    });
}
BENCHMARK (BM_Compressor)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
