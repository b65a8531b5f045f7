// Paint time of the busiest meters at the sizes the pages give them, with live-looking data:
// one iteration is one full paint of the component into an image (software renderer).
#include "Core/PluginProcessor.h"
#include "Ui/Controls/LedMeter.h"
#include "Ui/Controls/LevelMeterView.h"
#include "Ui/Controls/OutputAnalyzerView.h"
#include "Ui/Controls/VuMeter.h"
#include "Ui/Foundation/VyrLookAndFeel.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace
{
void fillMeters (VyrMeterEngine& m)
{
    m.sampleRate = 48000.0;
    for (int ch = 0; ch < 2; ++ch)
    {
        m.inPeak[ch] = 0.5f, m.outPeak[ch] = 0.8f;
        m.inRms[ch] = 0.2f, m.outRms[ch] = 0.3f;
    }
    m.lufsMomentary = -9.5f, m.lufsShort = -11.0f, m.lufsIntegrated = -13.5f;
    {
        const juce::SpinLock::ScopedLockType lock (m.spectrumLock);
        for (int i = 0; i < VyrMeterEngine::spectrumBins; ++i)
            m.spectrum[i] = 0.3f / (1.0f + 0.004f * (float) i);
    }
    for (int i = 0; i < VyrMeterEngine::scopeSize; ++i)
    {
        m.outScope[i] = 0.6f * std::sin (0.03f * (float) i);
        m.inScope[i] = 0.4f * std::sin (0.03f * (float) i);
    }
}

void paintLoop (benchmark::State& state, juce::Component& c)
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf; // fonts resolve as in the editor
    juce::Image image (juce::Image::ARGB, c.getWidth(), c.getHeight(), true);
    for (auto _ : state)
    {
        juce::Graphics g (image);
        c.paintEntireComponent (g, true);
        benchmark::DoNotOptimize (image.getPixelAt (0, 0));
    }
}

struct Fixture
{
    std::unique_ptr<VyrAudioProcessor> proc = std::make_unique<VyrAudioProcessor> (15);
    Fixture() { fillMeters (proc->meters); }
    VyrMeterEngine& m() { return proc->meters; }
};
}

static void BM_PaintLedMeterHoused (benchmark::State& state)
{
    Fixture f;
    LedMeter meter (&f.m().outPeak[0], &f.m().outPeak[1], &f.m().outRms[0], &f.m().outRms[1]);
    meter.housing = true;
    meter.meteringMode = 2;
    meter.title = vyrMeter::modeCaption (2);
    meter.setSize (110, 320);
    paintLoop (state, meter);
}
BENCHMARK (BM_PaintLedMeterHoused)->Unit (benchmark::kMicrosecond);

static void BM_PaintVuMeter (benchmark::State& state)
{
    Fixture f;
    VuMeter vu (&f.m().inRms[0], &f.m().inRms[1], &f.m().outRms[0], &f.m().outRms[1]);
    vu.roundDial = state.range (0) != 0;
    vu.needle[0] = 0.7f, vu.needle[1] = 0.5f;
    vu.setSize (600, 300);
    paintLoop (state, vu);
}
BENCHMARK (BM_PaintVuMeter)->Arg (1)->Arg (0)->ArgName ("round")->Unit (benchmark::kMicrosecond);

static void BM_PaintLevelMeterView (benchmark::State& state)
{
    Fixture f;
    LevelMeterView view (*f.proc);
    view.vertical = state.range (0) != 0;
    view.moreDetail = ! view.vertical;
    view.setSize (view.vertical ? 400 : 620, view.vertical ? 620 : 420);
    view.timerCallback();
    paintLoop (state, view);
}
BENCHMARK (BM_PaintLevelMeterView)->Arg (0)->Arg (1)->ArgName ("vertical")->Unit (benchmark::kMicrosecond);

static void BM_PaintOutputAnalyzer (benchmark::State& state)
{
    Fixture f;
    OutputAnalyzerView view (*f.proc);
    view.setSize (720, 280);
    view.timerCallback();
    paintLoop (state, view);
}
BENCHMARK (BM_PaintOutputAnalyzer)->Unit (benchmark::kMicrosecond);
