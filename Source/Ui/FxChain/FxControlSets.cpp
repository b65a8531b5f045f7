#include "Ui/FxChain/FxControlSets.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrTheme.h"
#include "Ui/FxChain/StudioComponent.h"

namespace vyrFxControls
{
namespace
{
const KnobSpec kCompressor[] = {
    { "compressor_threshold", "Thresh", "dB", 62, false, true },
    { "compressor_ratio", "Ratio", "", 62, false, true },
    { "compressor_knee", "Knee", "dB", 42, false, false },
    { "compressor_makeup", "Makeup", "dB", 56, false, true },
    { "compressor_attack", "Attack", "s", 42, false, false },
    { "compressor_release", "Release", "s", 42, false, false },
    { "compressor_model", "Model", "%", 42, false, false },
    { "compressor_mix", "Mix", "%", 42, false, false },
};

const KnobSpec kDensity[] = {
    { "analogueDensity_saturation", "Saturation", "", 88, false, true },
    { "analogueDensity_pentode", "Pentode", "", 42, false, false },
    { "analogueDensity_triode", "Triode", "", 42, false, false },
    { "analogueDensity_airAmount", "Air Amt", "", 36, false, false },
    { "analogueDensity_output", "Output", "", 36, false, false },
    { "analogueDensity_inputGain", "Input", "dB", 36, true, false },
    { "analogueDensity_density", "Density", "%", 88, true, true },
    { "analogueDensity_mix", "Mix", "%", 88, false, false },
};

const KnobSpec kClip[] = {
    { "clip_inputGain", "Input", "dB", 42, true, false },
    { "clip_drive", "Drive", "dB", 56, false, true },
    { "clip_symmetry", "Symmetry", "%", 42, true, false },
    { "clip_clipFilterFreq", "Clip Filter", "Hz", 42, false, false },
    { "clip_tone", "Tone", "Hz", 42, false, false },
    { "clip_highShelfFreq", "High Shelving", "Hz", 42, false, false },
    { "clip_highShelfGain", "Gain", "dB", 42, true, false },
    { "clip_lpFilterFreq", "LP Filter", "Hz", 42, false, false },
    { "clip_mix", "Mix", "%", 42, false, false },
    { "clip_outputGain", "Output", "dB", 42, true, false },
};

const KnobSpec kTape[] = {
    { "tape_inputGain", "Input", "dB", 40, true, false },
    { "tape_drive", "Drive", "", 52, false, true },
    { "tape_saturation", "Satur", "", 40, false, false },
    { "tape_bias", "Bias", "", 40, false, false },
    { "tape_hysteresis", "Hyster", "", 40, false, false },
    { "tape_wow", "Wow", "", 40, false, false },
    { "tape_flutter", "Flutter", "", 40, false, false },
    { "tape_noise", "Noise", "", 40, false, false },
    { "tape_headBump", "Head Bump", "", 40, false, false },
    { "tape_hfLoss", "HF Loss", "", 40, false, false },
    { "tape_mix", "Mix", "%", 40, false, false },
    { "tape_outputGain", "Output", "dB", 40, true, false },
};

const StripSpec kSaturation[] = {
    { "saturation_drive", "Drive", "%" },
    { "saturation_grit", "Grit", "%" },
    { "saturation_mix", "Mix", "%" },
    { "saturation_tone", "Tone", "Hz" },
    { "saturation_output", "Output", "x" },
};

const FaderSpec kDelay[] = {
    { "delay_time", "Time", TcReadout::secondsAsMs },
    { "delay_feedback", "Feedback", TcReadout::percent },
    { "delay_mix", "Mix", TcReadout::percent },
    { "delay_xfadeMs", "Time Xfade", TcReadout::milliseconds },
};

const FaderSpec kReverbMain[] = {
    { "reverb_decay", "Decay", TcReadout::seconds },
    { "reverb_predelay", "Pre-Delay", TcReadout::milliseconds },
    { "reverb_size", "Size", TcReadout::percent },
    { "reverb_radicalness", "X-Large", TcReadout::percent },
    { "reverb_mix", "Mix", TcReadout::percent },
};

const FaderSpec kReverbEq[] = {
    { "reverb_lowCut", "Low Cut", TcReadout::hertz },
    { "reverb_hiFactor", "Damping", TcReadout::percent },
    { "reverb_highShelfFreq", "High Shelf", TcReadout::hertz },
    { "reverb_highShelfGain", "HS Gain", TcReadout::decibels },
    { "reverb_diffuse", "Diffusion", TcReadout::percent },
};

template <typename Spec, int N>
Set<Spec> all (const Spec (&items)[N], int from = 0)
{
    return { items + from, N - from };
}
} // namespace

Set<KnobSpec> knobsFor (const juce::String& key, int clipView)
{
    if (key == "compressor")
        return all (kCompressor);
    if (key == "analogueDensity")
        return all (kDensity);
    if (key == "clip")
        return clipView == 2 ? Set<KnobSpec> {} : all (kClip);
    if (key == "tape")
        return all (kTape);
    return {};
}

Set<StripSpec> stripsFor (const juce::String& key)
{
    return key == "saturation" ? all (kSaturation) : Set<StripSpec> {};
}

Set<FaderSpec> fadersFor (const juce::String& key, bool delayRunsFree, int reverbView)
{
    if (key == "delay")
        return all (kDelay, delayRunsFree ? 0 : 1);
    if (key == "reverb")
        return reverbView == 0 ? all (kReverbMain) : all (kReverbEq);
    return {};
}

juce::uint32 accentFor (const juce::String& key)
{
    if (key == "compressor")
        return 0xff5b7a99;
    if (key == "saturation")
        return 0xfffb923c;
    return vyrFxColour (key).getARGB();
}
} // namespace vyrFxControls

void StudioComponent::rebuildKnobs()
{
    knobs.clear (true);
    strips.clear (true);
    tcFaders.clear (true);

    if (panelMode)
    {
        for (auto& slot : panels)
            if (slot.activate)
                slot.activate (false);
        resized();
        tray.selectedModule = selectedSlot;
        tray.overviewMode = true;
        tray.repaint();
        repaint();
        return;
    }

    const auto key = moduleId();
    for (auto& slot : panels)
        if (slot.activate)
            slot.activate (key == slot.moduleKey);

    auto& tree = processor.apvts;
    const juce::Colour accent (vyrFxControls::accentFor (key));
    const bool light = vyrTheme (processor.themeIndex.load()).light;

    const auto knobSet = vyrFxControls::knobsFor (key, clipView);
    for (int i = 0; i < knobSet.count; ++i)
    {
        const auto& k = knobSet.items[i];
        if (tree.getParameter (k.paramId) == nullptr)
            continue;
        auto* knob = knobs.add (new HardwareKnob (tree, k.paramId, k.label, k.unit, accent, k.size));
        knob->bipolar = k.bipolar;
        knob->light = light;
        addAndMakeVisible (knob);
    }

    const auto stripSet = vyrFxControls::stripsFor (key);
    for (int i = 0; i < stripSet.count; ++i)
    {
        const auto& s = stripSet.items[i];
        if (tree.getParameter (s.paramId) == nullptr)
            continue;
        auto* strip = strips.add (new HardwareStripSlider (tree, s.paramId, s.label, s.unit, accent));
        strip->setSize (220, 44);
        strip->light = light;
        addAndMakeVisible (strip);
    }

    const bool free = tree.getParameter ("delay_syncNote") == nullptr || juce::roundToInt (paramValue ("delay_syncNote", 0.0f)) == 0;
    const auto faderSet = vyrFxControls::fadersFor (key, free, reverbView);
    for (int i = 0; i < faderSet.count; ++i)
    {
        const auto& f = faderSet.items[i];
        if (tree.getParameter (f.paramId) == nullptr)
            continue;
        auto* fader = tcFaders.add (new TcFader (tree, f.paramId, f.label, f.readout));
        fader->setSize (220, 44);
        addAndMakeVisible (fader);
    }

    resized();
    tray.selectedModule = selectedSlot;
    tray.overviewMode = false;
    tray.repaint();
    repaint();
}
