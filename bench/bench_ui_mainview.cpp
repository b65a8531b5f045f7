// The main view at 1168 x 720: one full paint with audio-fed meters, and what its timers cost
// while the processor plays program material. One timer round is a tick of every timer of the
// view (its own and its controls') and a paint of the part of the view that round marked dirty.
// The processor is fed between rounds with the timing paused.
#include "BenchUi.h"
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
    VyrProgramLoop program;

    explicit MainViewRig (bool playing) : program (! playing)
    {
        proc->setPlayConfigDetails (2, 2, 48000.0, 512);
        proc->prepareToPlay (48000.0, 512);
        view = std::make_unique<BasicMasteringView> (*proc);
        view->setSize (1168, 720);
        if (playing)
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
    void feed (int blocks) { program.play (*proc, blocks); }

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

// The editor as a host shows it: product 15's whole editor on the screen (needs an X display, e.g.
// under xvfb-run), the real message loop running for three seconds while another thread plays
// blocks through the processor at real-time pace. `msg%` is the CPU time the message thread spent
// (its own clock, so time spent waiting for events does not count) per second of wall time: the
// measured share of one core that the open editor costs the host's message thread.
static void BM_EditorOpenMessageThread (benchmark::State& state)
{
    if (! vyrBenchHasDisplay (state))
        return;
    const bool playing = state.range (0) != 0;
    MainViewRig rig (playing);
    rig.view.reset(); // the editor builds its own view
    std::unique_ptr<juce::AudioProcessorEditor> editor (rig.proc->createEditorIfNeeded());
    editor->setVisible (true);
    editor->addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    vyrMeasureMessageThread (state, [&rig] { rig.feed (1); });
    editor.reset();
}
BENCHMARK (BM_EditorOpenMessageThread)->Arg (0)->Arg (1)->ArgName ("playing")->Iterations (1)->Unit (benchmark::kMillisecond);
