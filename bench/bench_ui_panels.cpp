// The four module panels at their own sizes (limiter and multiband 900 x 500, imager and bass-mono
// 800 x 500) with their module switched on and program material playing: one full paint, and the
// share of one core their timers and paints cost the message thread while they show.
#include "BenchUtil.h"
#include "Core/PluginProcessor.h"
#include "Model/Parameters.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/ModulePanels/ImagerPanel.h"
#include "Ui/ModulePanels/LimiterPanel.h"
#include "Ui/ModulePanels/MbcPanel.h"
#include "Ui/ModulePanels/TovuPanel.h"

#include <benchmark/benchmark.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <thread>

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
    juce::AudioBuffer<float> source { 2, 48000 }, block { 2, 512 };
    juce::MidiBuffer midi;
    int offset = 0;

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
        juce::Random rng (1);
        vyrFillProgram (source, 48000.0, rng);
        for (int i = 0; i < 60; ++i)
            feed (1);
    }
    ~PanelRig()
    {
        panel.reset();
        proc->releaseResources();
    }

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
};

double threadSeconds()
{
    timespec t {};
    clock_gettime (CLOCK_THREAD_CPUTIME_ID, &t);
    return (double) t.tv_sec + 1.0e-9 * (double) t.tv_nsec;
}
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
    if (std::getenv ("DISPLAY") == nullptr)
    {
        state.SkipWithError ("needs an X display (run under xvfb-run)");
        return;
    }
    PanelRig rig ((int) state.range (0));
    state.SetLabel (kPanelNames[state.range (0)]);
    rig.panel->setVisible (true);
    rig.panel->addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    if (auto* mbc = dynamic_cast<MbcPanel*> (rig.panel.get()))
        mbc->setActive (true);
    if (auto* lim = dynamic_cast<LimiterPanel*> (rig.panel.get()))
        lim->setActive (true);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (500);

    std::atomic<bool> stop { false };
    std::thread audio ([&rig, &stop]
    {
        const auto start = std::chrono::steady_clock::now();
        for (long n = 0; ! stop.load(); ++n)
        {
            rig.feed (1);
            std::this_thread::sleep_until (start + std::chrono::microseconds (n * 512 * 1000000L / 48000));
        }
    });
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
    rig.panel->removeFromDesktop();
    state.counters["msg%"] = 100.0 * busy / juce::jmax (1.0e-9, wall);
}
BENCHMARK (BM_PanelShowingMessageThread)->DenseRange (0, 3)->ArgName ("panel")->Iterations (1)->Unit (benchmark::kMillisecond);
