// The full chain's studio pages with a loaded song that plays: the mastered-output panel (drawer
// open, tall tape), the mastering studio page and the final output - each page's timer round and
// full paint, and the share of one core the three showing pages cost the message thread.
#include "BenchUi.h"
#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/Studio/FinalOutputPanel.h"
#include "Ui/Studio/MasteredWaveformPanel.h"
#include "Ui/Studio/MasteringStudioPanel.h"
#include "Ui/Studio/TapeStrip.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace
{
struct StudioRig
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    juce::File song = juce::File::createTempFile ("vyr-bench-studio.wav");
    std::unique_ptr<VyrAudioProcessor> proc;
    juce::Component host;
    std::unique_ptr<MasteredWaveformPanel> mastered;
    std::unique_ptr<MasteringStudioPanel> studio;
    std::unique_ptr<FinalOutputPanel> output;
    juce::AudioBuffer<float> block { 2, 512 };
    juce::MidiBuffer midi;

    StudioRig()
    {
        vyrWriteProgramSong (song, 60, 3);
        proc = vyrMakeStandaloneProcessor<VyrAudioProcessor> (0);
        proc->loadAudioFile (song);
        mastered = std::make_unique<MasteredWaveformPanel> (*proc);
        studio = std::make_unique<MasteringStudioPanel> (*proc);
        output = std::make_unique<FinalOutputPanel> (*proc);
        host.setLookAndFeel (&lnf.get());
        host.setSize (1200, 1400);
        mastered->setBounds (0, 0, 1200, 430);
        studio->setBounds (0, 440, 1200, 540);
        output->setBounds (0, 990, 1200, 360);
        for (juce::Component* c : { (juce::Component*) mastered.get(), (juce::Component*) studio.get(), (juce::Component*) output.get() })
            host.addAndMakeVisible (c);
        mastered->analysisButton.setToggleState (true, juce::sendNotificationSync);
        mastered->cycleTapeMode();
        mastered->cycleTapeMode();
        mastered->drawerAnim = 1.0f;
        mastered->layoutChrome();
        proc->playFile();
        feed (40);
    }
    ~StudioRig()
    {
        host.removeAllChildren();
        output.reset();
        studio.reset();
        mastered.reset();
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

void paintRound (benchmark::State& state, juce::Component& c)
{
    juce::Image image (juce::Image::ARGB, c.getWidth(), c.getHeight(), true);
    for (auto _ : state)
    {
        juce::Graphics g (image);
        c.paintEntireComponent (g, true);
        benchmark::DoNotOptimize (image.getPixelAt (0, 0));
    }
}
}

static void BM_PaintMasteredOutputPanel (benchmark::State& state)
{
    StudioRig rig;
    paintRound (state, *rig.mastered);
}
BENCHMARK (BM_PaintMasteredOutputPanel)->Unit (benchmark::kMicrosecond);

static void BM_PaintMasteringStudioPage (benchmark::State& state)
{
    StudioRig rig;
    paintRound (state, *rig.studio);
}
BENCHMARK (BM_PaintMasteringStudioPage)->Unit (benchmark::kMicrosecond);

static void BM_PaintFinalOutputPage (benchmark::State& state)
{
    StudioRig rig;
    paintRound (state, *rig.output);
}
BENCHMARK (BM_PaintFinalOutputPage)->Unit (benchmark::kMicrosecond);

// One 40 ms round of the mastered-output panel off screen: the tape's sample (measurement and
// advice) only, as every product pays it.
static void BM_MasteredOutputTimerRoundHidden (benchmark::State& state)
{
    StudioRig rig;
    for (auto _ : state)
    {
        rig.feed (2);
        rig.mastered->tick();
    }
}
BENCHMARK (BM_MasteredOutputTimerRoundHidden)->Unit (benchmark::kMicrosecond);

// The three pages on the screen (needs an X display, e.g. under xvfb-run) with the real message
// loop running for three seconds while another thread plays the song at real-time pace. `msg%`
// is the message thread's own CPU time per second of wall time.
static void BM_StudioPagesShowingMessageThread (benchmark::State& state)
{
    if (! vyrBenchHasDisplay (state))
        return;
    StudioRig rig;
    // Which pages show: 1 mastered output, 2 studio, 4 final output.
    const int pages = (int) state.range (0);
    rig.mastered->setVisible ((pages & 1) != 0);
    rig.studio->setVisible ((pages & 2) != 0);
    rig.output->setVisible ((pages & 4) != 0);
    rig.host.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    rig.host.setVisible (true);
    vyrMeasureMessageThread (state, [&rig] { rig.feed (1); });
    rig.host.removeFromDesktop();
    state.counters["playing"] = rig.proc->transport.isPlaying() ? 1.0 : 0.0;
}
BENCHMARK (BM_StudioPagesShowingMessageThread)->Arg (1)->Arg (2)->Arg (4)->Arg (7)->Iterations (1)->Unit (benchmark::kMillisecond);
