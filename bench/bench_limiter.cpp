// The limiter at its heaviest settings: 20 ms lookahead, true peak, dither with the longest noise shaper,
// Warm colour, limiting 12 dB deep, for each oversampling factor.
#include "BenchUtil.h"
#include "Dsp/LimiterEngine.h"

static void BM_Limiter (benchmark::State& state)
{
    const int factor = (int) state.range (0);
    vyrRunEngine<VyrLimiter> (state, [factor] (VyrLimiter& limiter)
    {
        limiter.oversampling = factor;
        limiter.truePeak = factor > 1;
        limiter.lookahead = 20.0f;
        limiter.inputGain = 12.0f;
        limiter.ceiling = -1.0f;
        limiter.stylePos = 3.0f;
        limiter.dither = 1;
        limiter.noiseShape = 3;
        limiter.releaseMode = 1;
    }, VyrNoBlockChange {}, VyrSettingsTime::afterPrepare, 1);
}

static void limiterArgs (benchmark::internal::Benchmark* b)
{
    for (int factor : { 1, 2, 4, 8 })
        for (int sr : { 44100, 96000, 192000 })
            for (int block : { 64, 512 })
                b->Args ({ factor, sr, block });
}
BENCHMARK (BM_Limiter)->Apply (limiterArgs)->ArgNames ({ "os", "sr", "block" });
