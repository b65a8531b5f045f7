#include "Model/EqState.h"
#include "Model/ParamRead.h"
#include <cmath>

namespace vyrEq
{
namespace
{
    using vyrParamRead::readFloat;
    using vyrParamRead::readBool;

    // The choice index rounded to the nearest integer (halves to even), limited to lo..hi.
    int readChoice (const ChoiceHandle& c, int fallback, int lo, int hi) noexcept
    {
        if (c.value == nullptr)
            return fallback;
        const float v = c.value->load (std::memory_order_relaxed);
        if (! std::isfinite (v))
            return fallback;
        return (int) juce::jlimit ((float) lo, (float) hi, std::nearbyint (v));
    }

    std::atomic<float>* raw (juce::AudioProcessorValueTreeState& tree, const juce::String& id)
    {
        return tree.getRawParameterValue (id);
    }

    ChoiceHandle choice (juce::AudioProcessorValueTreeState& tree, const juce::String& id)
    {
        ChoiceHandle h;
        if (auto* p = dynamic_cast<juce::AudioParameterChoice*> (tree.getParameter (id)))
        {
            h.value = tree.getRawParameterValue (id);
            h.count = p->choices.size();
        }
        return h;
    }

    juce::String prefixFor (bool dynamic, bool side)
    {
        return juce::String (dynamic ? "dynamicEq_" : "eq_") + (side ? "s_" : "");
    }

    void loadChannel (const ChannelHandles& h, Channel& ch) noexcept
    {
        loadBand (h.low, ch.low);
        for (int i = 0; i < 6; ++i)
            loadBand (h.mids[i], ch.mids[i]);
        loadBand (h.high, ch.high);
    }

    ChannelHandles findChannel (juce::AudioProcessorValueTreeState& tree, bool dynamic, bool side)
    {
        ChannelHandles h;
        h.low = findBand (tree, dynamic, side, "low", false, true);
        for (int i = 0; i < 6; ++i)
            h.mids[i] = findBand (tree, dynamic, side, "m" + juce::String (i), true, false);
        h.high = findBand (tree, dynamic, side, "high", false, true);
        return h;
    }
}

int midCountFor (int bandCount) noexcept
{
    return bandCount < 3 ? 1 : juce::jmin (bandCount, 8) - 2;
}

bool isSoloed (const Channel& ch) noexcept
{
    if (ch.low.solo || ch.high.solo)
        return true;
    const int active = juce::jlimit (0, 6, ch.midCount);
    for (int i = 0; i < active; ++i)
        if (ch.mids[i].solo)
            return true;
    return false;
}

static bool soundsIn (const Band& b, bool soloed) noexcept
{
    return b.on && (! soloed || b.solo);
}

bool lowSounds (const Channel& ch) noexcept  { return soundsIn (ch.low, isSoloed (ch)); }
bool highSounds (const Channel& ch) noexcept { return soundsIn (ch.high, isSoloed (ch)); }

bool midSounds (const Channel& ch, int index) noexcept
{
    if (index < 0 || index >= juce::jlimit (0, 6, ch.midCount))
        return false;
    return soundsIn (ch.mids[index], isSoloed (ch));
}

//==============================================================================
BandHandles findBand (juce::AudioProcessorValueTreeState& tree, bool dynamic, bool side,
                      const juce::String& stem, bool /*isMid*/, bool isEdge)
{
    const auto base = prefixFor (dynamic, side) + stem;
    BandHandles h;
    h.freq = raw (tree, base + "Freq");
    h.gain = raw (tree, base + "Gain");
    h.on = raw (tree, base + "On");
    h.solo = raw (tree, base + "Solo");
    h.q = raw (tree, base + "Q");
    h.readsShape = ! dynamic;
    h.readsEdge = isEdge;
    h.readsDynamic = dynamic;
    if (h.readsShape)
        h.shape = choice (tree, base + "Shape");
    if (isEdge)
    {
        h.slope = choice (tree, base + "Slope");
        h.cut = raw (tree, base + "Cut");
    }
    if (dynamic)
    {
        h.thresh = raw (tree, base + "Thresh");
        h.ratio = raw (tree, base + "Ratio");
        h.atk = raw (tree, base + "Atk");
        h.rel = raw (tree, base + "Rel");
        h.sat = raw (tree, base + "Sat");
        h.drive = raw (tree, base + "Drive");
    }
    return h;
}

void ParamCache::build (juce::AudioProcessorValueTreeState& tree, bool isDynamic)
{
    dynamic = isDynamic;
    const juce::String prefix (isDynamic ? "dynamicEq_" : "eq_");
    enabled = raw (tree, prefix + "enabled");
    msMode = raw (tree, prefix + "msMode");
    msChannel = choice (tree, prefix + "msChannel");
    bandCount = choice (tree, prefix + "bandCount");
    gainRange = choice (tree, prefix + "gainRange");
    mix = raw (tree, prefix + "mix");
    main = findChannel (tree, isDynamic, false);
    side = findChannel (tree, isDynamic, true);
}

void loadBand (const BandHandles& h, Band& band) noexcept
{
    band.freq = readFloat (h.freq, band.freq);
    band.gain = readFloat (h.gain, band.gain);
    band.on = readBool (h.on, true);
    band.solo = readBool (h.solo, false);
    band.q = readFloat (h.q, 1.0f);
    if (h.readsShape)
        band.shape = readChoice (h.shape, 0, 0, juce::jmax (0, h.shape.count - 1));
    if (h.readsEdge)
    {
        band.slope = 12.0f * (float) (readChoice (h.slope, 0, 0, 3) + 1);
        band.cut = readBool (h.cut, false);
    }
    if (h.readsDynamic)
    {
        band.thresh = readFloat (h.thresh, -24.0f);
        band.ratio = readFloat (h.ratio, 1.0f);
        band.atk = readFloat (h.atk, 0.01f);
        band.rel = readFloat (h.rel, 0.2f);
        band.sat = readBool (h.sat, false);
        band.drive = readFloat (h.drive, 0.3f);
    }
}

void loadBand (juce::AudioProcessorValueTreeState& tree, Band& band, bool dynamic, bool side,
               const juce::String& stem, bool isMid, bool isEdge)
{
    loadBand (findBand (tree, dynamic, side, stem, isMid, isEdge), band);
}

void loadState (const ParamCache& p, State& state) noexcept
{
    state.dynamic = p.dynamic;
    state.enabled = readBool (p.enabled, true);
    state.msMode = readBool (p.msMode, false);
    state.msChannel = readChoice (p.msChannel, 0, 0, juce::jmax (0, p.msChannel.count - 1));
    state.bandCount = kCounts[readChoice (p.bandCount, p.dynamic ? 1 : 0, 0, 4)];
    state.gainRange = readChoice (p.gainRange, 2, 0, juce::jmax (0, p.gainRange.count - 1));
    state.mix = readFloat (p.mix, 100.0f);

    const int mids = midCountFor (state.bandCount);
    state.main.midCount = mids;
    state.side.midCount = mids;
    loadChannel (p.main, state.main);
    loadChannel (p.side, state.side);
    state.main.midCount = mids;
    state.side.midCount = mids;
}

void loadState (juce::AudioProcessorValueTreeState& tree, State& state, bool dynamic)
{
    const ParamCache cache (tree, dynamic);
    loadState (cache, state);
}

void initDefaults (Channel& ch, int bandCount, bool /*dynamic*/) noexcept
{
    ch.midCount = midCountFor (bandCount);
    ch.low = edgeBand (200.0f);
    ch.high = edgeBand (5000.0f);
    for (int i = 0; i < 6; ++i)
    {
        ch.mids[i] = Band {};
        if (bandCount <= 3)
        {
            ch.mids[i].freq = 1000.0f;
        }
        else
        {
            // Active mids spread evenly on a log scale from 250 Hz to 4.5 kHz; inactive ones continue it.
            const float n = (float) (bandCount - 3);
            ch.mids[i].freq = std::round (std::pow (10.0f, 2.39794f + 1.255273f * (float) i / n));
        }
    }
}
}
