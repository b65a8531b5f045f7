// The section page of the full-chain product at 1200 x 640 with a loaded song, its sections found
// and its lanes shaped: one full paint, and the share of one core the showing page costs the
// message thread while the song plays.
#include "BenchUi.h"
#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/SectionPage/SectionMasteringPanel.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace
{
struct SectionRig
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    juce::File song = juce::File::createTempFile ("vyr-bench-song.wav");
    std::unique_ptr<VyrAudioProcessor> proc;
    std::unique_ptr<SectionMasteringPanel> page;
    juce::AudioBuffer<float> block { 2, 512 };
    juce::MidiBuffer midi;

    SectionRig()
    {
        const float gains[4] = { 0.2f, 0.8f, 0.4f, 1.0f }; // four sections of different level
        vyrWriteProgramSong (song, 180, 7, gains);
        proc = vyrMakeStandaloneProcessor<VyrAudioProcessor> (0);
        proc->loadAudioFile (song);
        page = std::make_unique<SectionMasteringPanel> (*proc);
        page->setSize (1200, 640);
        page->detect();
        auto& sec = proc->section;
        sec.autoOut.insert (sec.autoOut.end() - 1, VyrAutoPt { 0.9f, -6.0f });
        sec.autoIn.insert (sec.autoIn.begin() + 1, VyrAutoPt { 0.1f, 4.0f });
        proc->publishChainShared();
    }
    ~SectionRig()
    {
        page.reset();
        proc->releaseResources();
        proc.reset();
        song.deleteFile();
    }

    void feed (int blocks)
    {
        for (int b = 0; b < blocks; ++b)
        {
            block.clear();
            proc->processBlock (block, midi);
        }
    }
};
}

static void BM_PaintSectionPageFull (benchmark::State& state)
{
    SectionRig rig;
    juce::Image image (juce::Image::ARGB, 1200, 640, true);
    for (auto _ : state)
    {
        juce::Graphics g (image);
        rig.page->paintEntireComponent (g, true);
        benchmark::DoNotOptimize (image.getPixelAt (0, 0));
    }
}
BENCHMARK (BM_PaintSectionPageFull)->Unit (benchmark::kMicrosecond);

// What a playhead step repaints: the waveform view (and the page's cached chrome under it).
static void BM_PaintSectionWaveform (benchmark::State& state)
{
    SectionRig rig;
    auto& view = rig.page->waveform;
    juce::Image image (juce::Image::ARGB, view.getWidth(), view.getHeight(), true);
    for (auto _ : state)
    {
        juce::Graphics g (image);
        view.paintEntireComponent (g, true);
        benchmark::DoNotOptimize (image.getPixelAt (0, 0));
    }
}
BENCHMARK (BM_PaintSectionWaveform)->Unit (benchmark::kMicrosecond);

// The page on the screen (needs an X display, e.g. under xvfb-run) with the real message loop
// running for three seconds while another thread plays the song through the processor at
// real-time pace. `msg%` is the message thread's own CPU time per second of wall time.
static void BM_SectionPageShowingMessageThread (benchmark::State& state)
{
    if (! vyrBenchHasDisplay (state))
        return;
    SectionRig rig;
    rig.page->addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    rig.page->setVisible (true);
    rig.proc->playFile();
    vyrMeasureMessageThread (state, [&rig] { rig.feed (1); });
    state.counters["playing"] = rig.proc->transport.isPlaying() ? 1.0 : 0.0;
}
BENCHMARK (BM_SectionPageShowingMessageThread)->Iterations (1)->Unit (benchmark::kMillisecond);
