// The EQ family at its heaviest settings: parametric EQ with eight bands and both cuts in mid/side
// (steady, and with a band gliding on every block), dynamic EQ with eight compressing bands in
// mid/side, and the multiband compressor with five compressing bands in mid/side.
#include "BenchUtil.h"
#include "Dsp/EqEngine.h"
#include "Dsp/MbcEngine.h"

namespace
{
    void fullParametric (vyrEq::State& s)
    {
        s.enabled = true;
        s.msMode = true;
        s.bandCount = 8;
        s.mix = 100.0f;
        for (auto* ch : { &s.main, &s.side })
        {
            vyrEq::initDefaults (*ch, 8, false);
            ch->low.cut = ch->high.cut = true;
            ch->low.slope = ch->high.slope = 48.0f;
            ch->low.freq = 30.0f;
            ch->high.freq = 18000.0f;
            for (auto& m : ch->mids)
            {
                m.gain = 3.0f;
                m.q = 1.2f;
            }
        }
    }

    // The EQ engines load their default bands in prepare(), so the settings go in after it.
    template <typename Engine, typename Setup, typename PerBlock>
    void runEngine (benchmark::State& state, Setup setup, PerBlock perBlock)
    {
        vyrRunEngine<Engine> (state, [&] (Engine& engine) { setup (engine.state); },
                              [&] (Engine& engine, int blockIndex) { perBlock (engine.state, blockIndex); },
                              VyrSettingsTime::afterPrepare);
    }
}

static void BM_ParametricEqMidSide8Bands (benchmark::State& state)
{
    runEngine<VyrParametricEQ> (state, fullParametric, [] (vyrEq::State&, int) {});
}

static void BM_ParametricEqMidSide8BandsGliding (benchmark::State& state)
{
    // A mid band's gain moves every block, so its sections are redesigned on every sample.
    runEngine<VyrParametricEQ> (state, fullParametric,
                                [] (vyrEq::State& s, int n) { s.main.mids[2].gain = (n % 2) ? 6.0f : -6.0f; });
}

static void BM_DynamicEqMidSide8BandsCompressing (benchmark::State& state)
{
    runEngine<VyrDynamicEQ> (state, [] (vyrEq::State& s)
    {
        s.enabled = true;
        s.msMode = true;
        s.bandCount = 8;
        s.mix = 100.0f;
        for (auto* ch : { &s.main, &s.side })
        {
            vyrEq::initDefaults (*ch, 8, true);
            for (auto* b : { &ch->low, &ch->mids[0], &ch->mids[1], &ch->mids[2], &ch->mids[3], &ch->mids[4], &ch->mids[5], &ch->high })
            {
                b->thresh = -50.0f;
                b->ratio = 4.0f;
                b->gain = 2.0f;
                b->sat = true;
                b->drive = 0.5f;
            }
        }
    }, [] (vyrEq::State&, int) {});
}

static void BM_MultibandMidSide5BandsCompressing (benchmark::State& state)
{
    runEngine<VyrMultibandComp> (state, [] (vyrMbc::State& s)
    {
        s.enabled = true;
        s.msMode = true;
        s.bandCount = 5;
        for (auto* set : { s.mid, s.side })
            for (int b = 0; b < 5; ++b)
            {
                set[b].thresh = -40.0f;
                set[b].ratio = 4.0f;
            }
        const float xo[4] = { 120, 500, 2500, 8000 };
        for (int k = 0; k < 4; ++k)
            s.xover[k] = xo[k];
    }, [] (vyrMbc::State&, int) {});
}

#define VYR_EQ_BENCH_ARGS ->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } })
BENCHMARK (BM_ParametricEqMidSide8Bands) VYR_EQ_BENCH_ARGS;
BENCHMARK (BM_ParametricEqMidSide8BandsGliding) VYR_EQ_BENCH_ARGS;
BENCHMARK (BM_DynamicEqMidSide8BandsCompressing) VYR_EQ_BENCH_ARGS;
BENCHMARK (BM_MultibandMidSide5BandsCompressing) VYR_EQ_BENCH_ARGS;
