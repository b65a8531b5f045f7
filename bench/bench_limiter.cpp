// The limiter at its heaviest settings: 20 ms lookahead, true peak, dither with the longest noise shaper,
// Warm colour, limiting 12 dB deep, for each oversampling factor.
#include "BenchUtil.h"
#include "LimiterEngine.h"

static void BM_Limiter (benchmark::State& state)
{
    const int factor = (int) state.range (0);
    const double sr = (double) state.range (1);
    const int block = (int) state.range (2);

    VyrLimiter limiter;
    limiter.prepare (sr, block);
    limiter.oversampling = factor;
    limiter.truePeak = factor > 1;
    limiter.lookahead = 20.0f;
    limiter.inputGain = 12.0f;
    limiter.ceiling = -1.0f;
    limiter.stylePos = 3.0f;
    limiter.dither = 1;
    limiter.noiseShape = 3;
    limiter.releaseMode = 1;

    const int sourceLength = block * 64;
    juce::AudioBuffer<float> source (2, sourceLength), buffer (2, block);
    juce::Random rng (1);
    vyrFillProgram (source, sr, rng);
    int offset = 0;

    for (auto _ : state)
    {
        for (int ch = 0; ch < 2; ++ch)
            buffer.copyFrom (ch, 0, source, ch, offset, block);
        offset = (offset + block) % sourceLength;
        limiter.process (buffer);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    vyrReportRealTimeFactor (state, sr, block);
}

static void limiterArgs (benchmark::internal::Benchmark* b)
{
    for (int factor : { 1, 2, 4, 8 })
        for (int sr : { 44100, 96000, 192000 })
            for (int block : { 64, 512 })
                b->Args ({ factor, sr, block });
}
BENCHMARK (BM_Limiter)->Apply (limiterArgs)->ArgNames ({ "os", "sr", "block" });
