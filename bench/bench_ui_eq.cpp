// The EQ editor: one paint of the curve graph at 880 x 326 (its size in the 900 x 500 panel) with a
// band selected, its popup open and program audio in the spectrum; and the message-thread share of
// a shown panel while the processor plays at real-time pace on another thread.
#include "BenchUtil.h"
#include "Core/PluginProcessor.h"
#include "Ui/EqEditor/EqBandPopup.h"
#include "Ui/EqEditor/EqPanel.h"
#include "Ui/Foundation/VyrLookAndFeel.h"

#include <benchmark/benchmark.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <thread>

namespace
{
struct EqRig
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf; // fonts resolve as in the editor
    std::unique_ptr<VyrAudioProcessor> proc;
    juce::AudioBuffer<float> source { 2, 48000 }, block { 2, 512 };
    juce::MidiBuffer midi;
    int offset = 0;

    explicit EqRig (bool dynamic)
    {
        proc = std::make_unique<VyrAudioProcessor> (0);
        proc->setPlayConfigDetails (2, 2, 48000.0, 512);
        proc->prepareToPlay (48000.0, 512);
        juce::Random rng (1);
        vyrFillProgram (source, 48000.0, rng);
        const juce::String P = dynamic ? "dynamicEq_" : "eq_";
        const std::pair<const char*, float> settings[] = { { "bandCount", 4.0f }, { "lowGain", 3.0f }, { "m1Gain", -2.5f },
                                                           { "m2Gain", 4.0f },    { "m4Gain", 2.0f },  { "highGain", -1.5f },
                                                           { "m2Thresh", -40.0f }, { "m2Ratio", 4.0f } };
        for (const auto& [id, v] : settings)
            if (auto* p = proc->apvts.getParameter (P + id))
                p->setValueNotifyingHost (p->convertTo0to1 (v));
    }
    ~EqRig() { proc->releaseResources(); }

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
    if (std::getenv ("DISPLAY") == nullptr)
    {
        state.SkipWithError ("needs an X display (run under xvfb-run)");
        return;
    }
    const bool dynamic = state.range (0) != 0;
    EqRig rig (dynamic);
    EqPanel panel (*rig.proc, dynamic);
    panel.setLookAndFeel (&rig.lnf.get());
    panel.setSize (900, 500);
    panel.selectedBand = 3;
    panel.rebuildKnobs();
    panel.setVisible (true);
    panel.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
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
    panel.removeFromDesktop();
    panel.setLookAndFeel (nullptr);
    state.counters["msg%"] = 100.0 * busy / juce::jmax (1.0e-9, wall);
}
BENCHMARK (BM_EqPanelShowingMessageThread)->Arg (0)->Arg (1)->ArgName ("dynamic")->Iterations (1)->Unit (benchmark::kMillisecond);
