// The FX chain page of each single-effect product with a picture (compressor, saturation, analogue
// density, clipper, tape, delay, reverb) at the product's 855 x 470, its module switched on, with
// program audio playing: one full paint, one timer round, and the share of one core the showing page
// costs the message thread.
#include "BenchUi.h"
#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/FxChain/StudioComponent.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace
{
struct FxChainRig
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    std::unique_ptr<VyrAudioProcessor> proc;
    std::unique_ptr<StudioComponent> page;
    VyrProgramLoop program;

    // `view` picks the clipper's display (0 transfer, 2 the animated macro).
    explicit FxChainRig (int product, int view = 0)
    {
        proc = std::make_unique<VyrAudioProcessor> (product);
        proc->setPlayConfigDetails (2, 2, 48000.0, 512);
        proc->prepareToPlay (48000.0, 512);
        page = std::make_unique<StudioComponent> (*proc);
        page->setLookAndFeel (&*lnf);
        page->setSize (855, 470);
        // The module on, so that its picture moves as it does while a user listens to it.
        if (auto* on = proc->apvts.getParameter (page->moduleId() + "_enabled"))
            on->setValueNotifyingHost (1.0f);
        if (view != 0)
            page->selectClipView (view);
        program.play (*proc, 20);
    }
    ~FxChainRig()
    {
        page->setLookAndFeel (nullptr);
        page.reset();
        proc->releaseResources();
    }
};

// Products 1, 3, 4, 5, 6, 7 and 8: the modules that draw a picture of their own.
void pictureProducts (benchmark::internal::Benchmark* b)
{
    for (int product : { 1, 3, 4, 5, 6, 7, 8 })
        b->Arg (product);
}
}

static void BM_PaintFxChainPageFull (benchmark::State& state)
{
    FxChainRig rig ((int) state.range (0));
    juce::Image image (juce::Image::ARGB, 855, 470, true);
    for (auto _ : state)
    {
        juce::Graphics g (image);
        rig.page->paintEntireComponent (g, true);
        benchmark::DoNotOptimize (image.getPixelAt (0, 0));
    }
}
BENCHMARK (BM_PaintFxChainPageFull)->Apply (pictureProducts)->ArgName ("product")->Unit (benchmark::kMicrosecond);

// One tick of the page's timer on the screen (needs an X display, e.g. under xvfb-run) and the paint
// of what that tick marked dirty, with 32 ms of program audio played between two rounds (timing
// paused). Reports `cpu%`, the share of one core of the 30 rounds a second the timer runs.
static void timerRound (benchmark::State& state, int product, int view)
{
    if (! vyrBenchHasDisplay (state))
        return;
    FxChainRig rig (product, view);
    rig.page->addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    rig.page->setVisible (true);
    rig.page->tick();
    juce::Image image (juce::Image::ARGB, 855, 470, true);
    double seconds = 0.0;
    for (auto _ : state)
    {
        state.PauseTiming();
        rig.program.play (*rig.proc, 3);
        state.ResumeTiming();
        const auto t0 = juce::Time::getMillisecondCounterHiRes();
        rig.page->tick();
        juce::Graphics g (image);
        for (const auto& area : rig.page->tickRepaints)
        {
            juce::Graphics::ScopedSaveState save (g);
            g.reduceClipRegion (area);
            rig.page->paintEntireComponent (g, true);
        }
        seconds += (juce::Time::getMillisecondCounterHiRes() - t0) * 0.001;
        benchmark::DoNotOptimize (image.getPixelAt (0, 0));
    }
    state.counters["cpu%"] = 100.0 * 30.0 * seconds / (double) juce::jmax<benchmark::IterationCount> (1, state.iterations());
}
static void BM_FxChainPageTimerRound (benchmark::State& state) { timerRound (state, (int) state.range (0), 0); }
BENCHMARK (BM_FxChainPageTimerRound)->Apply (pictureProducts)->ArgName ("product")->Unit (benchmark::kMicrosecond);

// The page on the screen (needs an X display, e.g. under xvfb-run), its timer and pictures running
// while another thread plays program audio through the processor at real-time pace.
static void showing (benchmark::State& state, int product, int view)
{
    if (! vyrBenchHasDisplay (state))
        return;
    FxChainRig rig (product, view);
    rig.page->addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    rig.page->setVisible (true);
    vyrMeasureMessageThread (state, [&rig] { rig.program.play (*rig.proc, 1); });
}
static void BM_FxChainPageShowingMessageThread (benchmark::State& state) { showing (state, (int) state.range (0), 0); }
BENCHMARK (BM_FxChainPageShowingMessageThread)->Apply (pictureProducts)->ArgName ("product")->Iterations (1)->Unit (benchmark::kMillisecond);

// The clipper (product 5) in its animated "MACRO" view, which moves on every tick.
static void BM_FxChainClipMacroTimerRound (benchmark::State& state) { timerRound (state, 5, 2); }
BENCHMARK (BM_FxChainClipMacroTimerRound)->Unit (benchmark::kMicrosecond);
static void BM_FxChainClipMacroShowingMessageThread (benchmark::State& state) { showing (state, 5, 2); }
BENCHMARK (BM_FxChainClipMacroShowingMessageThread)->Iterations (1)->Unit (benchmark::kMillisecond);
