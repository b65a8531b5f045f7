// The four module panels at their own sizes (limiter and multiband 900 x 500, imager and bass-mono
// 800 x 500) with their module switched on and program material playing: one full paint, and the
// share of one core their timers and paints cost the message thread while they show.
#include "BenchUi.h"
#include "Core/PluginProcessor.h"
#include "Model/Parameters.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/ModulePanels/ImagerPanel.h"
#include "Ui/ModulePanels/LimiterPanel.h"
#include "Ui/ModulePanels/MbcPanel.h"
#include "Ui/ModulePanels/TovuPanel.h"

#include <benchmark/benchmark.h>
#include <functional>
#include <memory>

namespace
{
enum PanelKind
{
    limiterPanel = 0,
    imagerPanel,
    tovuPanel,
    mbcPanel
};

const char* const kPanelNames[] = { "limiter", "imager", "tovu", "multiband" };

struct PanelRig
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf; // fonts resolve as in the editor
    std::unique_ptr<VyrAudioProcessor> proc;
    std::unique_ptr<juce::Component> panel;
    std::function<void()> tickAll;
    VyrProgramLoop program;

    explicit PanelRig (int kind)
    {
        static const int products[] = { vyrProducts::limiter, vyrProducts::stereoImager, vyrProducts::tovu, vyrProducts::multiBandComp };
        static const char* const enables[] = { "limiter_enabled", "stereoImager_enabled", "tovu_enabled", "multiBandComp_enabled" };
        proc = std::make_unique<VyrAudioProcessor> (products[kind]);
        proc->setPlayConfigDetails (2, 2, 48000.0, 512);
        proc->prepareToPlay (48000.0, 512);
        for (auto [id, v] : { std::pair<const char*, float> { enables[kind], 1.0f }, { "tovu_width", 0.8f }, { "limiter_inputGain", 6.0f } })
            if (auto* p = proc->apvts.getParameter (id))
                p->setValueNotifyingHost (p->convertTo0to1 (v));
        switch (kind)
        {
            case limiterPanel:
            {
                auto p = std::make_unique<LimiterPanel> (*proc);
                auto* raw = p.get();
                tickAll = [raw] { raw->tick(), raw->meterBay.tick(); };
                panel = std::move (p);
                break;
            }
            case imagerPanel:
            {
                auto p = std::make_unique<ImagerPanel> (*proc);
                auto* raw = p.get();
                tickAll = [raw] { raw->tick(), raw->gonio.tick(); };
                panel = std::move (p);
                break;
            }
            case tovuPanel:
            {
                auto p = std::make_unique<TovuPanel> (*proc);
                auto* raw = p.get();
                tickAll = [raw] { raw->tick(), raw->preScope.tick(), raw->postScope.tick(); };
                panel = std::move (p);
                break;
            }
            default:
            {
                auto p = std::make_unique<MbcPanel> (*proc);
                auto* raw = p.get();
                tickAll = [raw] { raw->visualiser.tick(), raw->graph.tick(); };
                panel = std::move (p);
                break;
            }
        }
        panel->setSize (kind == limiterPanel || kind == mbcPanel ? 900 : 800, 500);
        for (int i = 0; i < 60; ++i)
            feed (1);
    }
    ~PanelRig()
    {
        panel.reset();
        proc->releaseResources();
    }

    void feed (int blocks) { program.play (*proc, blocks); }
};
}

static void BM_PaintPanelFull (benchmark::State& state)
{
    PanelRig rig ((int) state.range (0));
    state.SetLabel (kPanelNames[state.range (0)]);
    juce::Image image (juce::Image::ARGB, rig.panel->getWidth(), rig.panel->getHeight(), true);
    for (auto _ : state)
    {
        state.PauseTiming();
        rig.feed (3);
        state.ResumeTiming();
        juce::Graphics g (image);
        rig.panel->paintEntireComponent (g, true);
        benchmark::DoNotOptimize (image.getPixelAt (0, 0));
    }
}
BENCHMARK (BM_PaintPanelFull)->DenseRange (0, 3)->ArgName ("panel")->Unit (benchmark::kMillisecond);

// The panel as it shows on screen (needs an X display, e.g. under xvfb-run): the real message loop
// runs three seconds while another thread plays blocks through the processor at real-time pace.
// `msg%` is the message thread's own CPU time per second of wall time: the share of one core the
// showing panel costs, its timers, repaints and the audio thread's feeds it reads included.
static void BM_PanelShowingMessageThread (benchmark::State& state)
{
    if (! vyrBenchHasDisplay (state))
        return;
    PanelRig rig ((int) state.range (0));
    state.SetLabel (kPanelNames[state.range (0)]);
    rig.panel->setVisible (true);
    rig.panel->addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    if (auto* mbc = dynamic_cast<MbcPanel*> (rig.panel.get()))
        mbc->setActive (true);
    if (auto* lim = dynamic_cast<LimiterPanel*> (rig.panel.get()))
        lim->setActive (true);
    vyrMeasureMessageThread (state, [&rig] { rig.feed (1); });
    rig.panel->removeFromDesktop();
}
BENCHMARK (BM_PanelShowingMessageThread)->DenseRange (0, 3)->ArgName ("panel")->Iterations (1)->Unit (benchmark::kMillisecond);
