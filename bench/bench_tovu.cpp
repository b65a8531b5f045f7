// Bass-mono monitor at its heaviest: 24 dB slope, the amount gliding and the frequency moving.
#include "BenchUtil.h"
#include "Dsp/Tovu.h"

static void BM_VyrTovu (benchmark::State& state)
{
    vyrRunEngine<VyrTovu> (state, [] (VyrTovu& engine)
    {
        engine.enabled = true;
        engine.width = 1.0f;
        engine.slope = 24;
    }, [] (VyrTovu& engine, int blockCount)
    {
        engine.frequency = ((blockCount >> 4) & 1) ? 80.0f : 160.0f;  // redesigns now and then
        engine.width = (blockCount & 1) ? 1.0f : 0.8f;  // the amount always glides
    });
}
BENCHMARK (BM_VyrTovu)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
