// The EQ editor: one paint of the curve graph at 880 x 326 (its size in the 900 x 500 panel) with a
// band selected, its popup open and program audio in the spectrum; and the message-thread share of
// a shown panel while the processor plays at real-time pace on another thread.
#include "BenchUi.h"
#include "Core/PluginProcessor.h"
#include "Ui/EqEditor/EqBandPopup.h"
#include "Ui/EqEditor/EqPanel.h"
#include "Ui/Foundation/VyrLookAndFeel.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace
{
struct EqRig
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf; // fonts resolve as in the editor
    std::unique_ptr<VyrAudioProcessor> proc;
    VyrProgramLoop program;

    explicit EqRig (bool dynamic)
    {
        proc = std::make_unique<VyrAudioProcessor> (0);
        proc->setPlayConfigDetails (2, 2, 48000.0, 512);
        proc->prepareToPlay (48000.0, 512);
        const juce::String P = dynamic ? "dynamicEq_" : "eq_";
        const std::pair<const char*, float> settings[] = { { "bandCount", 4.0f }, { "lowGain", 3.0f }, { "m1Gain", -2.5f },
                                                           { "m2Gain", 4.0f },    { "m4Gain", 2.0f },  { "highGain", -1.5f },
                                                           { "m2Thresh", -40.0f }, { "m2Ratio", 4.0f } };
        for (const auto& [id, v] : settings)
            if (auto* p = proc->apvts.getParameter (P + id))
                p->setValueNotifyingHost (p->convertTo0to1 (v));
    }
    ~EqRig() { proc->releaseResources(); }

    void feed (int blocks) { program.play (*proc, blocks); }
};
}

static void BM_PaintEqGraph (benchmark::State& state)
{
    const bool dynamic = state.range (0) != 0;
    EqRig rig (dynamic);
    VyrAudioProcessor::SpectrumViewToken reader (*rig.proc);
    rig.feed (60);
    EqGraph graph (*rig.proc, dynamic);
    graph.setLookAndFeel (&rig.lnf.get());
    graph.setSize (880, 326);
    graph.setSelectedId ("mid2");
    juce::Image image (juce::Image::ARGB, 880, 326, true);
    for (auto _ : state)
    {
        juce::Graphics g (image);
        graph.paintEntireComponent (g, true);
        benchmark::DoNotOptimize (image.getPixelAt (0, 0));
    }
    graph.setLookAndFeel (nullptr);
}
BENCHMARK (BM_PaintEqGraph)->Arg (0)->Arg (1)->ArgName ("dynamic")->Unit (benchmark::kMicrosecond);

// A panel on the screen (needs an X display, e.g. under xvfb-run), the real message loop running for
// three seconds while another thread plays blocks at real-time pace. `msg%` is the message thread's
// own CPU time per second of wall time: the share of one core the shown panel costs.
static void BM_EqPanelShowingMessageThread (benchmark::State& state)
{
    if (! vyrBenchHasDisplay (state))
        return;
    const bool dynamic = state.range (0) != 0;
    EqRig rig (dynamic);
    EqPanel panel (*rig.proc, dynamic);
    panel.setLookAndFeel (&rig.lnf.get());
    panel.setSize (900, 500);
    panel.selectedBand = 3;
    panel.rebuildKnobs();
    panel.setVisible (true);
    panel.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    vyrMeasureMessageThread (state, [&rig] { rig.feed (1); });
    panel.removeFromDesktop();
    panel.setLookAndFeel (nullptr);
}
BENCHMARK (BM_EqPanelShowingMessageThread)->Arg (0)->Arg (1)->ArgName ("dynamic")->Iterations (1)->Unit (benchmark::kMillisecond);
