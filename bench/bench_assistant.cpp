// The assistant's per-tick work: one measurement and one advice (the nearest of 1036 profiles) as the
// 40 ms tick runs them, with the model rebuilding on every tick (a control being dragged) or cached;
// and one ranking of the whole library for the library dialog.
#include "Assistant/Advice.h"
#include "Assistant/LibraryModel.h"
#include "Assistant/MasteredModel.h"
#include "Assistant/Measurements.h"
#include "Core/PluginProcessor.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace
{
std::unique_ptr<VyrAudioProcessor> loadedProcessor()
{
    auto p = std::make_unique<VyrAudioProcessor> (0);
    p->fileLoaded = true;
    for (int i = 0; i < 800; ++i)
    {
        const float v = 0.2f + 0.7f * std::abs (std::sin (0.05f * (float) i));
        p->overviewMin.push_back (-v);
        p->overviewMax.push_back (v);
    }
    p->apvts.getParameter ("compressor_enabled")->setValueNotifyingHost (1.0f);
    return p;
}

void measureAndCoach (benchmark::State& state)
{
    const bool rebuildEveryTick = state.range (0) != 0;
    auto p = loadedProcessor();
    auto* gain = p->apvts.getParameter ("outputGainL");
    double clock = 0.0;
    int tick = 0;
    for (auto _ : state)
    {
        if (rebuildEveryTick)
            gain->setValueNotifyingHost ((tick++ % 2) ? 0.70f : 0.71f);
        clock += 40.0;
        vyrMasterHypo::ensureEnv (*p, clock);
        const auto s = vyrMasterAssist::measure (*p);
        benchmark::DoNotOptimize (vyrMasterAssist::coach (s));
    }
    state.SetLabel (rebuildEveryTick ? "model rebuilt each tick" : "model cached");
}
BENCHMARK (measureAndCoach)->Arg (1)->Arg (0)->Unit (benchmark::kMicrosecond);

void rankLibrary (benchmark::State& state)
{
    vyrMasterAssist::Snapshot s;
    s.hasFile = true;
    s.lufs = -9.0f;
    s.clipShare = 0.4f;
    s.medium = 7;
    s.style = 0;
    std::vector<vyrMasterAssist::Ranked> named, grid;
    for (auto _ : state)
    {
        vyrLibrary::rank (s, named, grid);
        benchmark::DoNotOptimize (named.data());
        benchmark::DoNotOptimize (vyrMasterAssist::nearestProfile (s));
    }
    state.SetLabel ("1036 profiles: nearest plus the named and grid rankings");
}
BENCHMARK (rankLibrary)->Unit (benchmark::kMicrosecond);
}
