#include "FactoryPresets.h"

namespace vyrFactory
{
const Preset& get (int index)
{
    static const auto presets = []
    {
        std::array<Preset, kNumPresets> p {};
        p[0].name = "Neutral";
        return p;
    }();
    return presets[(size_t) juce::jlimit (0, kNumPresets - 1, index)];
}

void applyToApvts (juce::AudioProcessorValueTreeState& tree, int index)
{
    if (index != 0)
        return;   // the module settings of presets 1..16 arrive with the recipe subsystem

    for (auto* p : tree.processor.getParameters())
        if (auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (p))
            ranged->setValueNotifyingHost (ranged->getDefaultValue());
}

void setF (juce::AudioProcessorValueTreeState& tree, const juce::String& id, float value)
{
    if (auto* p = tree.getParameter (id))
    {
        const float norm = p->convertTo0to1 (value);
        if (std::abs (norm - p->getValue()) < 1.0e-7f)
            return;
        p->beginChangeGesture();
        p->setValueNotifyingHost (norm);
        p->endChangeGesture();
    }
}

void setI (juce::AudioProcessorValueTreeState& tree, const juce::String& id, int index)
{
    if (auto* c = dynamic_cast<juce::AudioParameterChoice*> (tree.getParameter (id)))
    {
        const float norm = c->convertTo0to1 ((float) index);
        if (std::abs (norm - static_cast<juce::RangedAudioParameter*> (c)->getValue()) < 1.0e-7f)
            return;
        c->beginChangeGesture();
        c->setValueNotifyingHost (norm);
        c->endChangeGesture();
    }
}
}
