#include "Assistant/MasteredModel.h"

#include "Core/PluginProcessor.h"
#include "Dsp/EqEngine.h"
#include "Dsp/SignalChain.h"
#include "Model/QuarnPresets.h"
#include "Live/SectionAutomation.h"

#include <cmath>
#include <cstring>

namespace vyrMasterHypo
{
namespace
{
    constexpr int kMaxBuckets = 384;
    constexpr double kThrottleMs = 40.0;

    float clamp01 (float x) noexcept { return juce::jlimit (0.0f, 1.0f, x); }

    // A parameter's raw value by ID, or the fallback when the tree has no such parameter.
    float raw (const VyrAudioProcessor& p, const char* id, float fallback)
    {
        if (auto* v = p.apvts.getRawParameterValue (id))
        {
            const float x = v->load();
            return std::isfinite (x) ? x : fallback;
        }
        return fallback;
    }

    bool on (const VyrAudioProcessor& p, const char* id) { return raw (p, id, 0.0f) >= 0.5f; }

    //==========================================================================
    // 64-bit FNV-1a over whole 32-bit words.
    struct Fnv
    {
        std::uint64_t h = 14695981039346656037ull;
        void word (std::uint32_t w) noexcept { h ^= (std::uint64_t) w; h *= 1099511628211ull; }
        void f (float x) noexcept { std::uint32_t w; std::memcpy (&w, &x, 4); word (w); }
        void i (int x) noexcept { word ((std::uint32_t) x); }
        void b (bool x) noexcept { word (x ? 1u : 0u); }
    };

    // Input and output gain (dB) at a file position, with the section rides when they are on.
    void gainsAt (const VyrAudioProcessor& p, const Live& live, float pos, float& in, float& out)
    {
        in = live.inputGainDb;
        out = live.outputGainDb;
        if (p.section.autoRide)
        {
            in += vyrSection::sampleAutomation (p.section.autoIn, pos);
            out = std::min (out + vyrSection::sampleAutomation (p.section.autoOut, pos), 0.0f);
        }
    }

    // Gain reduction (dB) of a soft-knee curve for a level `over` dB above threshold.
    float gainReduction (float over, float knee, float ratio) noexcept
    {
        const float slope = 1.0f - 1.0f / std::max (ratio, 1.0f);
        if (knee <= 0.0f)
            return over > 0.0f ? over * slope : 0.0f;
        if (over <= -knee * 0.5f)
            return 0.0f;
        if (over >= knee * 0.5f)
            return over * slope;
        const float t = over + knee * 0.5f;
        return slope * t * t / (2.0f * knee);
    }

    float gainOfReduction (float grDb) noexcept { return grDb >= 100.0f ? 0.0f : lin (-grDb); }

    float mixWet (float x, float w, float a) noexcept { return a >= 0.999f ? w : x * (1.0f - a) + a * w; }

    float sign (float x) noexcept { return x > 0.0f ? 1.0f : (x < 0.0f ? -1.0f : 0.0f); }

    float saturate (const Live& l, float x) noexcept
    {
        const float xc = juce::jlimit (-1.5f, 1.5f, x);
        const float d = xc * (1.0f + 1.5f * l.satDrive);
        float w;
        switch (l.satMode)
        {
            case 1: w = std::tanh (0.85f * d) * (1.0f - 0.08f * std::abs (xc)); break;
            case 2: w = sign (d) * (1.0f - std::exp (-2.5f * std::abs (d))) * 0.95f; break;
            case 3: w = 0.55f * std::tanh (0.5f * d) + 0.45f * xc; break;
            case 4: w = 0.3f * std::tanh (d) + 0.7f * xc; break;
            default: w = 0.9f * std::tanh (d) + 0.05f * xc + 0.03f * xc * xc * sign (xc); break;
        }
        return juce::jlimit (-1.0f, 1.0f, w);
    }

    constexpr float kTiny = 0.00001f;

    float runModule (const Live& l, int module, float x, float ceilingLin, float drive, float level)
    {
        const float detector = dB ((level > 0.0f ? level : std::abs (x)) + 1e-8f);
        switch (module)
        {
            case vyrChain::compressorModule:
            {
                const float a = l.compAmount;
                if (a <= 0.0f || a <= kTiny) return x;
                const float g = gainOfReduction (gainReduction (detector - l.compThresholdDb, l.compKneeDb, l.compRatio));
                return mixWet (x, g * x * l.compMakeup, a);
            }
            case vyrChain::saturationModule:
            {
                const float a = l.satAmount;
                if (a <= 0.0f) return x;
                if (a <= kTiny) return x * l.satOutput;
                return mixWet (x, saturate (l, x), a) * l.satOutput;
            }
            case vyrChain::analogueDensityModule:
            {
                const float a = l.denAmount;
                if (a <= 0.0f || a <= kTiny) return x;
                const float w = juce::jlimit (-1.0f, 1.0f, std::tanh (l.denInput * x * l.denDrive) * l.denOutput);
                return mixWet (x, w, a);
            }
            case vyrChain::clipModule:
            {
                const float a = l.clipAmount;
                if (a <= 0.0f || a <= kTiny) return x;
                const float k = lin (std::max (l.clipDriveDb, 0.0f));
                const float s = juce::jlimit (-1.0f, 1.0f, l.clipSymmetry / 100.0f);
                const float w = l.clipOutput * juce::jlimit (-1.0f, 1.0f, std::tanh ((l.clipInput * x + s) * k) - std::tanh (s * k));
                return mixWet (x, w, a);
            }
            case vyrChain::tapeModule:
            {
                const float a = l.tapeAmount;
                if (a <= 0.0f) return x;
                const float u = l.tapeInput * x;
                if (a <= kTiny) return u * l.tapeOutput;
                return mixWet (u, std::tanh (l.tapeSat * u), a) * l.tapeOutput;
            }
            case vyrChain::delayModule:
                if (l.delayAmount <= 0.0f || l.delayAmount <= kTiny) return x;
                return mixWet (x, (1.0f + 0.7f * l.delayFeedback) * x, l.delayAmount);
            case vyrChain::reverbModule:
                if (l.reverbAmount <= 0.0f || l.reverbAmount <= kTiny) return x;
                return mixWet (x, l.reverbGain * x, l.reverbAmount);
            case vyrChain::eqModule:
                if (l.eqAmount <= 0.0f || l.eqAmount <= kTiny) return x;
                return mixWet (x, l.eqGain * x, l.eqAmount);
            case vyrChain::dynamicEqModule:
                if (l.dynEqAmount <= 0.0f || l.dynEqAmount <= kTiny) return x;
                return mixWet (x, l.dynEqGain * x, l.dynEqAmount);
            case vyrChain::multiBandCompModule:
            {
                const float a = l.mbcAmount;
                if (a <= 0.0f || a <= kTiny) return x;
                float sum = 0.0f;
                int count = 0;
                for (int b = 0; b < juce::jlimit (1, 5, l.mbcBandCount); ++b)
                {
                    const auto& band = l.mbcBands[b];
                    if (! band.on)
                        continue;
                    sum += gainReduction (detector - band.thresh, band.knee, band.ratio) - band.makeup;
                    ++count;
                }
                const float g = count > 0 ? lin (-(sum / (float) count)) : 1.0f;
                return mixWet (x, g * x * l.mbcMakeup, a);
            }
            case vyrChain::stereoImagerModule:
                if (l.imgAmount <= 0.0f || l.imgAmount <= kTiny) return x;
                return mixWet (x, (1.0f + 0.12f * (l.imgWidth - 1.0f)) * x, l.imgAmount);
            case vyrChain::limiterModule:
            {
                const float a = l.limAmount;
                if (a <= 0.0f) return x;
                const float u = l.limInput * x;
                if (a <= kTiny) return u * l.limOutput;
                const float cl = std::max (ceilingLin, 0.0001f);
                return mixWet (u, cl * std::tanh (u / cl * drive), a) * l.limOutput;
            }
            default:
                return x;
        }
    }

    //==========================================================================
    // The EQ's sections for one channel, designed once and evaluated at several frequencies.
    struct EqSections
    {
        vyrDsp::Biquad sections[VyrParametricEQ::kSections];
        int count = 0;
    };

    EqSections designChannel (double sr, const vyrEq::Channel& channel)
    {
        VyrParametricEQ::Slot slots[VyrParametricEQ::kSections];
        VyrParametricEQ::prepareSlots (slots, juce::dsp::ProcessSpec { sr, 1, 1 });
        VyrParametricEQ::setChannelTargets (slots, channel);
        EqSections out;
        for (auto& s : slots)
        {
            const float g = s.gainSmooth.getTargetValue();
            const bool gainShape = s.type == VyrParametricEQ::peak || s.type == VyrParametricEQ::lowShelf
                                || s.type == VyrParametricEQ::highShelf;
            if (gainShape && g == 0.0f)
                continue;   // a flat section passes everything unchanged
            out.sections[out.count++].c = VyrParametricEQ::designSection (s.type, s.freqSmooth.getTargetValue(),
                                                                          s.qSmooth.getTargetValue(), g, sr);
        }
        return out;
    }

    float magnitudeOf (const EqSections& eq, double sr, float hz)
    {
        double m = 1.0;
        for (int i = 0; i < eq.count; ++i)
            m *= eq.sections[i].magnitude (hz, sr);
        return (float) m;
    }

    // Wet share and mean magnitude of the parametric or dynamic EQ.
    void loadEq (const VyrAudioProcessor& p, bool dynamic, float& amount, float& gain)
    {
        vyrEq::State st;
        // loadState only reads the tree.
        vyrEq::loadState (const_cast<juce::AudioProcessorValueTreeState&> (p.apvts), st, dynamic);
        if (! st.enabled)
        {
            amount = 0.0f;
            gain = 1.0f;
            return;
        }
        amount = clamp01 (st.mix / 100.0f);
        const auto& channel = (st.msMode && st.msChannel == 1) ? st.side : st.main;
        const double sr = std::max (p.hostSampleRate, 8000.0);
        const auto eq = designChannel (sr, channel);
        float sum = 0.0f;
        for (float f : { 80.0f, 200.0f, 800.0f, 2500.0f, 8000.0f })
            sum += magnitudeOf (eq, sr, f);
        gain = sum / 5.0f;
    }

    // The valve stage: its drive grows with pentode, triode and saturation, and the density pulls
    // the output back as it pushes.
    void loadDensity (const VyrAudioProcessor& p, Live& l)
    {
        l.denAmount = on (p, "analogueDensity_enabled") ? clamp01 (raw (p, "analogueDensity_mix", 100.0f) / 100.0f) : 0.0f;
        l.denInput = lin (raw (p, "analogueDensity_inputGain", 0.0f));
        const float d = juce::jlimit (-1.0f, 1.0f, raw (p, "analogueDensity_density", 0.0f) / 100.0f);
        const float pos = std::max (d, 0.0f), neg = d < 0.0f ? 0.25f * std::abs (d) : 0.0f;
        const float pent = (0.1f * raw (p, "analogueDensity_pentode", 0.0f) + 0.55f * pos - neg) * 0.6f;
        const float tri = std::max ((0.1f * raw (p, "analogueDensity_triode", 0.0f) + 0.55f * pos - neg) * 0.6f, 0.0f);
        l.denDrive = (pent > 0.0f ? 1.0f + pent : 1.0f) + tri + 0.035f * raw (p, "analogueDensity_saturation", 0.0f);
        l.denOutput = (raw (p, "analogueDensity_output", 5.0f) / 5.0f) / (1.0f + 0.51f * pos);
    }

    void loadMultiband (const VyrAudioProcessor& p, Live& l)
    {
        vyrMbc::State st;
        vyrMbc::loadState (const_cast<juce::AudioProcessorValueTreeState&> (p.apvts), st);   // reads only
        l.mbcAmount = st.enabled ? clamp01 (st.mix / 100.0f) : 0.0f;
        l.mbcMakeup = lin (st.globalMakeup);
        l.mbcBandCount = juce::jlimit (1, 5, st.bandCount);
        for (int b = 0; b < l.mbcBandCount; ++b)
            l.mbcBands[b] = st.mid[b];
    }

    void lookUpParams (const VyrAudioProcessor& p, EnvCache& cache)
    {
        cache.rawParams.clear();
        for (auto* param : p.getParameters())
        {
            std::atomic<float>* v = nullptr;
            if (auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (param))
                v = p.apvts.getRawParameterValue (withId->paramID);
            cache.rawParams.push_back (v);
        }
        cache.paramsLookedUp = true;
    }
}

//==============================================================================
float lin (float db) noexcept { return db > -100.0f ? std::pow (10.0f, db / 20.0f) : 0.0f; }
float dB (float x) noexcept { return x > 0.0f ? std::max (20.0f * std::log10 (x), -100.0f) : -100.0f; }

Live& tls() noexcept
{
    thread_local Live live;
    return live;
}

const EnvCache& messageEnv (const VyrAudioProcessor& processor) noexcept { return processor.masteredEnv; }

float eqMagAt (double sampleRate, const vyrEq::Channel& channel, bool enabled, float frequencyHz)
{
    if (! enabled)
        return 1.0f;
    return magnitudeOf (designChannel (sampleRate, channel), sampleRate, frequencyHz);
}

std::uint64_t inputHash (const VyrAudioProcessor& p)
{
    auto& cache = p.masteredEnv;
    if (! cache.paramsLookedUp)
        lookUpParams (p, cache);

    Fnv h;
    const auto& params = p.getParameters();
    for (int i = 0; i < params.size(); ++i)
    {
        auto* v = i < (int) cache.rawParams.size() ? cache.rawParams[(size_t) i] : nullptr;
        h.f (v != nullptr ? v->load() : params[i]->getValue());
    }
    for (int k = 0; k < 13; ++k)
        h.i (p.fxOrder[k]);
    h.i (p.sectionRevision.load());
    h.i (p.mediumIndex.load());
    h.i (p.styleIndex.load());
    h.i (p.lufsIndex.load());
    h.b (p.fileLoaded);

    const auto& s = p.section;
    h.b (s.enabled);
    h.b (s.autoRide);
    h.i (s.count);
    for (float c : s.cues) h.f (c);
    for (int a : s.assign) h.i (a);
    for (int l : s.letters) h.i (l);
    h.b (p.sectionAnalysed);
    for (float l : p.sectionLufs) h.f (l);
    h.f (p.overallLufs);
    h.f (p.overallCrest);
    for (const auto* curve : { &s.autoFx, &s.autoIn, &s.autoOut })
    {
        h.i ((int) curve->size());
        for (const auto& pt : *curve)
        {
            h.f (pt.t);
            h.f (pt.value);
        }
    }
    for (const char* id : { "inputGainL", "inputGainR", "outputGainL", "outputGainR" })
        h.f (raw (p, id, 0.0f));
    h.i (on (p, "linkLR") ? 1 : 0);
    return h.h;
}

void refreshLive (const VyrAudioProcessor& p)
{
    auto& l = tls();
    l.bypass = on (p, "bypass");
    const bool link = on (p, "linkLR");
    const float inL = raw (p, "inputGainL", 0.0f), outL = raw (p, "outputGainL", 0.0f);
    l.inputGainDb = (inL + (link ? inL : raw (p, "inputGainR", 0.0f))) / 2.0f;
    l.outputGainDb = (outL + (link ? outL : raw (p, "outputGainR", 0.0f))) / 2.0f;
    if (l.bypass)
        return;   // everything else keeps the values of the last refresh without bypass

    loadEq (p, false, l.eqAmount, l.eqGain);
    loadEq (p, true, l.dynEqAmount, l.dynEqGain);

    l.compAmount = on (p, "compressor_enabled") ? clamp01 (raw (p, "compressor_mix", 100.0f) / 100.0f) : 0.0f;
    l.compThresholdDb = raw (p, "compressor_threshold", -18.0f);
    l.compRatio = std::max (raw (p, "compressor_ratio", 4.0f), 1.0f);
    l.compKneeDb = raw (p, "compressor_knee", 30.0f);
    l.compMakeup = lin (raw (p, "compressor_makeup", 0.0f));

    l.satAmount = on (p, "saturation_enabled") ? clamp01 (raw (p, "saturation_mix", 1.0f)) : 0.0f;
    l.satDrive = raw (p, "saturation_drive", 0.4f);
    l.satOutput = raw (p, "saturation_output", 1.0f);
    l.satMode = (int) std::lround (raw (p, "saturation_mode", 0.0f));

    loadDensity (p, l);

    l.clipAmount = on (p, "clip_enabled") ? clamp01 (raw (p, "clip_mix", 1.0f)) : 0.0f;
    l.clipDriveDb = raw (p, "clip_drive", 0.0f);
    l.clipSymmetry = raw (p, "clip_symmetry", 0.0f);
    l.clipInput = lin (raw (p, "clip_inputGain", 0.0f));
    l.clipOutput = lin (raw (p, "clip_outputGain", 0.0f));

    l.tapeAmount = on (p, "tape_enabled") ? clamp01 (raw (p, "tape_mix", 1.0f)) : 0.0f;
    l.tapeInput = lin (raw (p, "tape_inputGain", 0.0f));
    l.tapeOutput = lin (raw (p, "tape_outputGain", 0.0f));
    l.tapeSat = 1.0f + 3.0f * raw (p, "tape_drive", 0.0f) * raw (p, "tape_saturation", 0.0f) * (1.0f - 0.35f * raw (p, "tape_bias", 0.0f));

    l.delayAmount = on (p, "delay_enabled") ? clamp01 (raw (p, "delay_mix", 0.0f)) : 0.0f;
    l.delayFeedback = juce::jlimit (0.0f, 0.9f, raw (p, "delay_feedback", 0.3f));

    l.reverbAmount = on (p, "reverb_enabled") ? clamp01 (raw (p, "reverb_mix", 0.0f)) : 0.0f;
    l.reverbGain = 0.82f + 0.22f * raw (p, "reverb_size", 0.0f) + 0.06f * std::min (raw (p, "reverb_decay", 0.0f), 3.0f)
                 + 0.08f * juce::jlimit (0.0f, 1.5f, raw (p, "reverb_lateLevel", 0.0f))
                 + 0.04f * juce::jlimit (0.0f, 1.5f, raw (p, "reverb_earlyLevel", 0.0f));

    loadMultiband (p, l);

    l.imgAmount = on (p, "stereoImager_enabled") ? clamp01 (raw (p, "stereoImager_mix", 100.0f) / 100.0f) : 0.0f;
    l.imgWidth = raw (p, "stereoImager_width", 1.0f);

    l.limAmount = on (p, "limiter_enabled") ? clamp01 (raw (p, "limiter_mix", 100.0f) / 100.0f) : 0.0f;
    l.limInput = lin (raw (p, "limiter_inputGain", 0.0f));
    l.limOutput = lin (raw (p, "limiter_outputGain", 0.0f));
}

float runSlot (const Live& live, const juce::String& module, float x, float ceilingLin, float drive, float level)
{
    const int index = vyrChain::moduleIndexOf (module);
    return index < 0 ? x : runModule (live, index, x, ceilingLin, drive, level);
}

float sample (const VyrAudioProcessor& p, float x, float pos, float ceilingLin, float drive, float level)
{
    Live l = tls();
    float in, out;
    gainsAt (p, l, pos, in, out);
    if (l.bypass)
        return lin (in) * x * lin (out);

    const float e = p.section.autoRide ? vyrSection::sampleAutomation (p.section.autoFx, pos) : raw (p, "masterTrim", 0.0f);
    const float scale = 1.0f + juce::jlimit (-0.5f, 0.5f, e / 100.0f);
    for (float* a : { &l.eqAmount, &l.dynEqAmount, &l.compAmount, &l.satAmount, &l.denAmount, &l.clipAmount,
                      &l.tapeAmount, &l.mbcAmount, &l.imgAmount, &l.limAmount })
        *a = clamp01 (*a * scale);
    if (p.product == vyrProducts::quarn)
    {
        l.delayAmount = clamp01 (l.delayAmount * clamp01 (raw (p, "quarn_spaceRad", 0.0f)));
        l.reverbAmount = clamp01 (l.reverbAmount * clamp01 (raw (p, "quarn_reverbRad", 0.0f)));
    }
    else
    {
        l.delayAmount = clamp01 (l.delayAmount * scale);
        l.reverbAmount = clamp01 (l.reverbAmount * scale);
    }

    float v = lin (in) * x;
    const float lvl = (level > 0.0f ? lin (in) : 1.0f) * level;
    for (int slot = 0; slot < 13; ++slot)
        v = runModule (l, juce::jlimit (0, 12, (int) p.fxOrder[slot]), v, ceilingLin, drive, lvl);
    return lin (out) * v;
}

void ensureEnv (const VyrAudioProcessor& p)
{
    ensureEnv (p, juce::Time::getMillisecondCounterHiRes());
}

namespace
{
    // Rebuilds every bucket and the summary from the overview and a fresh parameter snapshot.
    void buildEnvelope (const VyrAudioProcessor& p, EnvCache& c)
    {
        refreshLive (p);
        const Live& live = tls();

        const int n = (int) std::min (p.overviewMin.size(), p.overviewMax.size());
        const int stride = std::max (4, (n + kMaxBuckets - 1) / kMaxBuckets);
        const int buckets = std::max (1, (n + stride - 1) / stride);
        c.lo.resize ((size_t) buckets);
        c.hi.resize ((size_t) buckets);
        c.gain.resize ((size_t) buckets);
        c.buckets = buckets;
        c.sourceBins = n;
        c.stride = stride;

        // The gain silent buckets repeat until the first audible one.
        float in0, out0;
        gainsAt (p, live, 0.0f, in0, out0);
        float g = std::max (lin (in0) * lin (out0), 0.0001f);
        if (live.limAmount > 0.0f)
            g *= std::max (live.limInput, 1.0f) * std::max (live.limOutput, 1.0f);
        if (live.compAmount > 0.0f && live.compMakeup > 1.0f)
            g *= live.compMakeup;

        float ceilingLin = 1.0f, drive = 1.0f;
        if (! live.bypass)
        {
            const int medium = juce::jlimit (0, 7, p.mediumIndex.load());
            ceilingLin = lin (std::min (raw (p, "limiter_ceiling", vyrQuarn::kMasterMediums[medium].truePeak), 0.0f));
            const int style = p.styleIndex.load();
            drive = style == 4 ? 1.1872f : (style == 6 ? 0.9328f : 1.06f);
        }

        double sumSq = 0.0;
        float srcPeak = 0.0f, outPeak = 0.0f;
        int clipping = 0;
        for (int i = 0; i < buckets; ++i)
        {
            const int bin = i == buckets - 1 ? n - 1 : std::min (i * stride, n - 1);
            const float pos = ((float) bin + 0.5f) / (float) std::max (n, 1);
            const float mn = p.overviewMin[(size_t) bin], mx = p.overviewMax[(size_t) bin];
            const float peakIn = std::max (std::abs (mn), std::abs (mx));
            if (! (peakIn >= 0.0001f))   // silent (or not a number)
            {
                c.lo[(size_t) i] = c.hi[(size_t) i] = 0.0f;
                c.gain[(size_t) i] = g;
                continue;
            }
            const float level = std::max (0.25f * peakIn, 0.0001f);
            const float lo = sample (p, mn, pos, ceilingLin, drive, level);
            const float hi = sample (p, mx, pos, ceilingLin, drive, level);
            c.lo[(size_t) i] = lo;
            c.hi[(size_t) i] = hi;
            const float peakOut = std::max (std::abs (lo), std::abs (hi));
            float inP, outP;
            gainsAt (p, live, pos, inP, outP);
            const float cap = std::max (2.0f * lin (inP) * lin (outP) * std::max (live.limInput, 1.0f)
                                            * std::max (live.limOutput, 1.0f) * std::max (live.compMakeup, 1.0f), 4.0f);
            g = std::min (cap, peakOut / peakIn);
            c.gain[(size_t) i] = g;
            sumSq += (double) peakOut * peakOut;
            srcPeak = std::max (srcPeak, peakIn);
            outPeak = std::max (outPeak, peakOut);
            if (peakOut > 0.92f * ceilingLin)
                ++clipping;
        }

        c.clipShare = (float) clipping / (float) buckets;
        const float rms = (float) std::sqrt (sumSq / buckets) + 1e-8f;
        c.sourcePeakToRmsDb = dB (srcPeak + 1e-8f) - dB (rms);
        c.crestDb = dB (outPeak + 1e-8f) - dB (rms);
        c.ceilingLin = ceilingLin;
    }
}

void ensureEnv (const VyrAudioProcessor& p, double nowMs)
{
    auto& c = p.masteredEnv;
    const auto hash = inputHash (p);
    if (c.valid && hash == c.hash)
        return;
    if (c.valid && c.hasBuildTime && nowMs - c.lastBuildMs < kThrottleMs)
        return;   // a later call retries

    c.lastBuildMs = nowMs;
    c.hasBuildTime = true;
    c.hash = hash;
    c.buckets = 0;
    c.sourceBins = 0;
    c.stride = 4;
    c.clipShare = c.sourcePeakToRmsDb = c.crestDb = 0.0f;
    c.ceilingLin = 0.89f;
    c.valid = true;
    ++c.builds;

    if (p.fileLoaded && ! p.overviewMin.empty() && ! p.overviewMax.empty())
        buildEnvelope (p, c);
}
} // namespace vyrMasterHypo
