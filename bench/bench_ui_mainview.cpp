// The main view at 1168 x 720: one full paint with audio-fed meters, and what its timers cost
// while the processor plays program material. One timer round is a tick of every timer of the
// view (its own and its controls') and a paint of the part of the view that round marked dirty.
// The processor is fed between rounds with the timing paused.
#include "BenchUtil.h"
#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/MainView/BasicMasteringView.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace
{
struct MainViewRig
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf; // fonts resolve as in the editor
    std::unique_ptr<VyrAudioProcessor> proc = std::make_unique<VyrAudioProcessor> (15);
    std::unique_ptr<BasicMasteringView> view;
    juce::AudioBuffer<float> source { 2, 48000 }, block { 2, 512 };
    juce::MidiBuffer midi;
    int offset = 0;

    explicit MainViewRig (bool playing)
    {
        proc->setPlayConfigDetails (2, 2, 48000.0, 512);
        proc->prepareToPlay (48000.0, 512);
        view = std::make_unique<BasicMasteringView> (*proc);
        view->setSize (1168, 720);
        juce::Random rng (1);
        vyrFillProgram (source, 48000.0, rng);
        if (! playing)
            source.clear();
        else
        {
            view->setChoice ("masterStyle", 2);
            for (auto [id, v] : { std::pair { "quarn_boost", 1.0f }, std::pair { "masterTrim", 18.0f } })
                if (auto* p = proc->apvts.getParameter (id))
                    p->setValueNotifyingHost (p->convertTo0to1 (v));
        }
        for (int i = 0; i < 60; ++i)
            feed (1);
    }
    ~MainViewRig()
    {
        view.reset();
        proc->releaseResources();
    }

    // Blocks of audio through the processor (what plays between two timer rounds).
    void feed (int blocks)
    {
        for (int b = 0; b < blocks; ++b)
        {
            for (int ch = 0; ch < 2; ++ch)
                block.copyFrom (ch, 0, source, ch, offset, 512);
            offset = (offset + 512) % (source.getNumSamples() - 512);
            proc->processBlock (block, midi);
        }
    }

    void tickAll()
    {
        view->tick();
        view->quarn.tick();
        view->space.tick();
        view->effectGauge.tick();
        view->inMeter->tick();
        view->outMeter->tick();
    }
};
}

static void BM_PaintMainViewFull (benchmark::State& state)
{
    MainViewRig rig (true);
    rig.tickAll();
    juce::Image image (juce::Image::ARGB, 1168, 720, true);
    for (auto _ : state)
    {
        juce::Graphics g (image);
        rig.view->paintEntireComponent (g, true);
        benchmark::DoNotOptimize (image.getPixelAt (0, 0));
    }
}
BENCHMARK (BM_PaintMainViewFull)->Unit (benchmark::kMicrosecond);

// One round of every timer at the fastest rate (30 Hz) plus a paint of each animated control
// paint, whole. Reports `cpu%`, the share of one core of 30 such rounds a second: an upper bound,
// since the view's own timer runs at 16 Hz and a control repaints only its changed part.
static void BM_MainViewTimerRound (benchmark::State& state)
{
    const bool playing = state.range (0) != 0;
    MainViewRig rig (playing);
    juce::Image image (juce::Image::ARGB, 1168, 720, true);
    juce::Component* watched[] = { &rig.view->quarn, &rig.view->space, &rig.view->effectGauge, rig.view->inMeter.get(),
                                   rig.view->outMeter.get() };
    double seconds = 0.0;
    for (auto _ : state)
    {
        state.PauseTiming();
        rig.feed (3); // 32 ms of audio between two rounds
        state.ResumeTiming();
        const auto t0 = juce::Time::getMillisecondCounterHiRes();
        rig.tickAll();
        // Every animated control painted whole, whether it moved or not.
        juce::Graphics g (image);
        for (auto* c : watched)
        {
            juce::Graphics::ScopedSaveState save (g);
            g.reduceClipRegion (c->getBounds());
            g.setOrigin (c->getPosition());
            c->paintEntireComponent (g, true);
        }
        seconds += (juce::Time::getMillisecondCounterHiRes() - t0) * 0.001;
        benchmark::DoNotOptimize (image.getPixelAt (0, 0));
    }
    state.counters["cpu%"] = 100.0 * 30.0 * seconds / (double) juce::jmax<benchmark::IterationCount> (1, state.iterations());
}
BENCHMARK (BM_MainViewTimerRound)->Arg (0)->Arg (1)->ArgName ("playing")->Unit (benchmark::kMicrosecond);
