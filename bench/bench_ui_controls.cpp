// Paint cost of the hardware controls at the sizes the pages use: one full paint of the component
// into an offscreen image per iteration (the software renderer the plug-in draws with on Linux).
#include "Core/PluginProcessor.h"
#include "Ui/Controls/HardwareFader.h"
#include "Ui/Controls/HardwareKnob.h"
#include "Ui/Controls/MasterEffectGauge.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{
void paintLoop (benchmark::State& state, juce::Component& c)
{
    juce::Image image (juce::Image::ARGB, c.getWidth(), c.getHeight(), true);
    for (auto _ : state)
    {
        juce::Graphics g (image);
        c.paintEntireComponent (g, false);
        benchmark::DoNotOptimize (image.getPixelAt (0, 0));
    }
}
}

// A module knob (size 62), a mix knob (40), the loudness selector (138, spun-metal face, five labels).
static void BM_PaintHardwareKnob (benchmark::State& state)
{
    const int size = (int) state.range (0);
    HardwareKnob knob ("Drive", "%", juce::Colour (0xff38e0ff), size);
    knob.slider.setRange (0.0, 1.0);
    knob.slider.setValue (0.62);
    if (size >= 100)
    {
        knob.selector = true;
        knob.topInset = 8;
        knob.stepLabels = { "-23", "-16", "-14", "-11", "-9" };
        knob.setSize (220, 230);
    }
    paintLoop (state, knob);
}
BENCHMARK (BM_PaintHardwareKnob)->Arg (40)->Arg (62)->Arg (138)->Unit (benchmark::kMicrosecond);

// The mastering-effect gauge at its default size, off the 0.5 grid so the scale is partly lit.
static void BM_PaintMasterEffectGauge (benchmark::State& state)
{
    auto processor = std::make_unique<VyrAudioProcessor>();
    MasterEffectGauge gauge (*processor);
    gauge.disc.setValue (18.5);
    paintLoop (state, gauge);
}
BENCHMARK (BM_PaintMasterEffectGauge)->Unit (benchmark::kMicrosecond);

// An input fader of the level panel (44 x 220 with a caption).
static void BM_PaintHardwareFader (benchmark::State& state)
{
    auto processor = std::make_unique<VyrAudioProcessor>();
    HardwareFader fader (processor->apvts, "inputGainL", juce::Colour (0xff22d3ee));
    fader.caption = "IN";
    fader.setBounds (0, 0, 44, 220);
    fader.slider.setValue (-3.5);
    paintLoop (state, fader);
}
BENCHMARK (BM_PaintHardwareFader)->Unit (benchmark::kMicrosecond);
