#include "Ui/EqEditor/EqBandDefaults.h"

#include "Ui/EqEditor/EqDisplayModel.h"

#include <cmath>

namespace vyrEq
{
namespace
{
    juce::String prefixOf (bool dynamic, bool side) { return juce::String (dynamic ? "dynamicEq_" : "eq_") + (side ? "s_" : ""); }

    float normalisedOf (juce::RangedAudioParameter& p, float plain)
    {
        if (dynamic_cast<juce::AudioParameterBool*> (&p) != nullptr)
            return plain >= 0.5f ? 1.0f : 0.0f;
        return p.convertTo0to1 (plain);
    }
}

void writeParam (juce::AudioProcessorValueTreeState& tree, const juce::String& id, float plain)
{
    auto* p = tree.getParameter (id);
    if (p == nullptr || ! std::isfinite (plain))
        return;
    const float target = normalisedOf (*p, plain);
    if (std::abs (p->getValue() - target) < 1.0e-7f)
        return;
    p->beginChangeGesture();
    p->setValueNotifyingHost (target);
    p->endChangeGesture();
}

void writeBandDefaults (juce::AudioProcessorValueTreeState& tree, bool dynamic, bool side, const juce::String& stem,
                        bool mid, bool edge, float frequencyHz)
{
    const auto base = prefixOf (dynamic, side) + stem;
    if (std::isfinite (frequencyHz))
        writeParam (tree, base + "Freq", frequencyHz);
    writeParam (tree, base + "Gain", 0.0f);
    writeParam (tree, base + "On", 1.0f);
    writeParam (tree, base + "Solo", 0.0f);
    if (mid)
    {
        writeParam (tree, base + "Q", 1.0f);
        if (! dynamic)
            writeParam (tree, base + "Shape", 0.0f);
    }
    if (edge)
    {
        writeParam (tree, base + "Slope", 0.0f);
        writeParam (tree, base + "Cut", 0.0f);
    }
    if (dynamic)
    {
        writeParam (tree, base + "Thresh", -24.0f);
        writeParam (tree, base + "Ratio", 1.0f);
        writeParam (tree, base + "Atk", 0.01f);
        writeParam (tree, base + "Rel", 0.2f);
        writeParam (tree, base + "Sat", 0.0f);
        writeParam (tree, base + "Drive", 0.3f);
    }
}

void clampGainsToRange (juce::AudioProcessorValueTreeState& tree, bool dynamic, bool side, float rangeDb)
{
    static const char* const stems[] = { "low", "m0", "m1", "m2", "m3", "m4", "m5", "high" };
    const auto prefix = prefixOf (dynamic, side);
    for (const auto* stem : stems)
    {
        const auto id = prefix + stem + "Gain";
        const auto* raw = tree.getRawParameterValue (id);
        float gain = raw != nullptr ? raw->load() : 0.0f;
        if (! std::isfinite (gain))
            gain = 0.0f;
        writeParam (tree, id, juce::jlimit (-rangeDb, rangeDb, gain));
    }
}

float resetMidFrequency (int k, int bandCount) noexcept
{
    const int n = bandCount < 3 ? 2 : bandCount;
    if (n <= 3)
        return 1000.0f;
    const float exponent = 2.3979399f + ((float) k / (float) (n - 3)) * 1.2552726f;
    return std::round (std::pow (10.0f, exponent));
}

void resetChannel (juce::AudioProcessorValueTreeState& tree, bool dynamic, bool side, int bandCount)
{
    writeBandDefaults (tree, dynamic, side, "low", false, true, 200.0f);
    for (int k = 0; k < 6; ++k)
        writeBandDefaults (tree, dynamic, side, "m" + juce::String (k), true, false, resetMidFrequency (k, bandCount));
    writeBandDefaults (tree, dynamic, side, "high", false, true, 5000.0f);
}

void applyGainRange (juce::AudioProcessorValueTreeState& tree, bool dynamic, int rangeIndex)
{
    writeParam (tree, juce::String (dynamic ? "dynamicEq_" : "eq_") + "gainRange", (float) rangeIndex);
    const float r = rangeOf (rangeIndex).range;
    clampGainsToRange (tree, dynamic, false, r);
    clampGainsToRange (tree, dynamic, true, r);
}
}
