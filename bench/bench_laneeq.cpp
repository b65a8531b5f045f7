// Lane EQ at its heaviest: the angle sweeping, so gliding bands are recomputed every sample.
#include "BenchUtil.h"
#include "Dsp/LaneEq.h"

static void BM_VyrQuarnLaneEq (benchmark::State& state)
{
    vyrRunEngine<VyrQuarnLaneEq> (state, [] (VyrQuarnLaneEq&) {}, [] (VyrQuarnLaneEq& engine, int blockCount)
    {
        engine.eqAng = (float) ((blockCount % 4096) / 4096.0);  // a continuous sweep: bands always glide
    });
}
BENCHMARK (BM_VyrQuarnLaneEq)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
