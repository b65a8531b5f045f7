// The main view at 1168 x 720: one full paint with audio-fed meters, and what its timers cost
// while the processor plays program material. One timer round is a tick of every timer of the
// view (its own and its controls') and a paint of the part of the view that round marked dirty.
// The processor is fed between rounds with the timing paused.
#include "BenchUtil.h"
#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/MainView/BasicMasteringView.h"

#include <benchmark/benchmark.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <thread>

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

// The editor as a host shows it: product 15's whole editor on the screen (needs an X display, e.g.
// under xvfb-run), the real message loop running for three seconds while another thread plays
// blocks through the processor at real-time pace. `msg%` is the CPU time the message thread spent
// (its own clock, so time spent waiting for events does not count) per second of wall time: the
// measured share of one core that the open editor costs the host's message thread.
static void BM_EditorOpenMessageThread (benchmark::State& state)
{
    if (std::getenv ("DISPLAY") == nullptr)
    {
        state.SkipWithError ("needs an X display (run under xvfb-run)");
        return;
    }
    const bool playing = state.range (0) != 0;
    MainViewRig rig (playing);
    rig.view.reset(); // the editor builds its own view
    std::unique_ptr<juce::AudioProcessorEditor> editor (rig.proc->createEditorIfNeeded());
    editor->setVisible (true);
    editor->addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (500); // first paints and decodes

    std::atomic<bool> stop { false };
    std::thread audio ([&rig, &stop]
    {
        // 512 samples at 48 kHz every 10.67 ms, paced against the clock so late blocks catch up.
        const auto start = std::chrono::steady_clock::now();
        for (long n = 0; ! stop.load(); ++n)
        {
            rig.feed (1);
            std::this_thread::sleep_until (start + std::chrono::microseconds (n * 512 * 1000000L / 48000));
        }
    });

    auto threadSeconds = []
    {
        timespec t {};
        clock_gettime (CLOCK_THREAD_CPUTIME_ID, &t);
        return (double) t.tv_sec + 1.0e-9 * (double) t.tv_nsec;
    };
    double busy = 0.0, wall = 0.0;
    for (auto _ : state)
    {
        const double c0 = threadSeconds();
        const auto w0 = juce::Time::getMillisecondCounterHiRes();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (3000);
        busy += threadSeconds() - c0;
        wall += (juce::Time::getMillisecondCounterHiRes() - w0) * 0.001;
    }
    stop = true;
    audio.join();
    editor.reset();
    state.counters["msg%"] = 100.0 * busy / juce::jmax (1.0e-9, wall);
}
BENCHMARK (BM_EditorOpenMessageThread)->Arg (0)->Arg (1)->ArgName ("playing")->Iterations (1)->Unit (benchmark::kMillisecond);
