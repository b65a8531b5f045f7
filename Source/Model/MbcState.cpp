#include "Model/MbcState.h"
#include "Model/ParamRead.h"
#include <cmath>

namespace vyrMbc
{
namespace
{
    using vyrParamRead::readFloat;
    using vyrParamRead::readBool;

    // Choice index: the value rounded to the nearest integer (halves to even).
    int readIndex (const std::atomic<float>* p, int fallback) noexcept
    {
        if (p == nullptr)
            return fallback;
        const float v = p->load (std::memory_order_relaxed);
        return std::isfinite (v) ? (int) juce::jlimit (-1.0e6f, 1.0e6f, std::nearbyint (v)) : fallback;
    }

    std::atomic<float>* choiceRaw (juce::AudioProcessorValueTreeState& tree, const juce::String& id, int* count = nullptr)
    {
        if (auto* p = dynamic_cast<juce::AudioParameterChoice*> (tree.getParameter (id)))
        {
            if (count != nullptr)
                *count = p->choices.size();
            return tree.getRawParameterValue (id);
        }
        return nullptr;
    }
}

float defaultCrossover (int k, int numBands) noexcept
{
    const float span = (float) (k + 1) / (float) juce::jmax (numBands, k + 2);
    return std::round (std::pow (10.0f, 2.0791812f + 1.8239088f * span));
}

BandHandles findBand (juce::AudioProcessorValueTreeState& tree, bool side, int index)
{
    const auto base = juce::String (side ? "multiBandComp_s_b" : "multiBandComp_b") + juce::String (index);
    BandHandles h;
    h.thresh = tree.getRawParameterValue (base + "Thresh");
    h.ratio = tree.getRawParameterValue (base + "Ratio");
    h.atk = tree.getRawParameterValue (base + "Atk");
    h.rel = tree.getRawParameterValue (base + "Rel");
    h.knee = tree.getRawParameterValue (base + "Knee");
    h.makeup = tree.getRawParameterValue (base + "Makeup");
    h.on = tree.getRawParameterValue (base + "On");
    h.solo = tree.getRawParameterValue (base + "Solo");
    return h;
}

void ParamCache::build (juce::AudioProcessorValueTreeState& tree)
{
    enabled = tree.getRawParameterValue ("multiBandComp_enabled");
    bandCount = choiceRaw (tree, "multiBandComp_bandCount");
    msMode = tree.getRawParameterValue ("multiBandComp_msMode");
    msChannelCount = 0;
    msChannel = choiceRaw (tree, "multiBandComp_msChannel", &msChannelCount);
    globalMakeup = tree.getRawParameterValue ("multiBandComp_globalMakeup");
    mix = tree.getRawParameterValue ("multiBandComp_mix");
    for (int k = 0; k < 4; ++k)
        xover[k] = tree.getRawParameterValue ("multiBandComp_x" + juce::String (k));
    for (int b = 0; b < 5; ++b)
    {
        mid[b] = findBand (tree, false, b);
        side[b] = findBand (tree, true, b);
    }
}

void loadBand (const BandHandles& h, Band& band) noexcept
{
    band.thresh = readFloat (h.thresh, -18.0f);
    band.ratio = readFloat (h.ratio, 2.5f);
    band.atk = readFloat (h.atk, 0.01f);
    band.rel = readFloat (h.rel, 0.15f);
    band.knee = readFloat (h.knee, 6.0f);
    band.makeup = readFloat (h.makeup, 0.0f);
    band.on = readBool (h.on, true);
    band.solo = readBool (h.solo, false);
}

void loadBand (juce::AudioProcessorValueTreeState& tree, Band& band, bool side, int index)
{
    loadBand (findBand (tree, side, index), band);
}

void loadState (const ParamCache& p, State& state) noexcept
{
    state.enabled = readBool (p.enabled, false);
    state.bandCount = juce::jlimit (1, 5, readIndex (p.bandCount, 3) + 1);
    state.msMode = readBool (p.msMode, false);
    state.msChannel = juce::jlimit (0, juce::jmax (0, p.msChannelCount - 1), readIndex (p.msChannel, 0));
    state.globalMakeup = readFloat (p.globalMakeup, 0.0f);
    state.mix = readFloat (p.mix, 100.0f);
    for (int k = 0; k < 4; ++k)
        state.xover[k] = readFloat (p.xover[k], kXoverFallbacks[k]);
    for (int b = 0; b < 5; ++b)
    {
        loadBand (p.mid[b], state.mid[b]);
        loadBand (p.side[b], state.side[b]);
    }
}

void loadState (juce::AudioProcessorValueTreeState& tree, State& state)
{
    const ParamCache cache (tree);
    loadState (cache, state);
}
}
