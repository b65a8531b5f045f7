// The FX chain page of each single-effect product with a picture (compressor, saturation, analogue
// density, clipper, tape, delay, reverb) at the product's 855 x 470 with program audio playing: one
// full paint, and the share of one core the showing page costs the message thread.
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

    explicit FxChainRig (int product)
    {
        proc = std::make_unique<VyrAudioProcessor> (product);
        proc->setPlayConfigDetails (2, 2, 48000.0, 512);
        proc->prepareToPlay (48000.0, 512);
        page = std::make_unique<StudioComponent> (*proc);
        page->setLookAndFeel (&*lnf);
        page->setSize (855, 470);
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

// The page on the screen (needs an X display, e.g. under xvfb-run), its timer and pictures running
// while another thread plays program audio through the processor at real-time pace.
static void BM_FxChainPageShowingMessageThread (benchmark::State& state)
{
    if (! vyrBenchHasDisplay (state))
        return;
    FxChainRig rig ((int) state.range (0));
    rig.page->addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    rig.page->setVisible (true);
    vyrMeasureMessageThread (state, [&rig] { rig.program.play (*rig.proc, 1); });
}
BENCHMARK (BM_FxChainPageShowingMessageThread)->Apply (pictureProducts)->ArgName ("product")->Iterations (1)->Unit (benchmark::kMillisecond);
