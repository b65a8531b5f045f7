#include "Dsp/EqEngine.h"
#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
    void resetSmoother (vyrDsp::Smoothed& s, int steps, float value) noexcept
    {
        s.reset (steps);
        s.setCurrentAndTargetValue (value);
    }

    float finiteOr (float v, float fallback) noexcept { return std::isfinite (v) ? v : fallback; }

    // Corners live in 20 Hz .. 20 kHz, and always below 0.45 x the sample rate so that no design
    // folds over Nyquist at 22.05 or 32 kHz.
    float clampCorner (float f, double sr) noexcept
    {
        const float top = (float) std::min (20000.0, 0.45 * sr);
        return juce::jlimit (20.0f, top, finiteOr (f, 1000.0f));
    }

    // Linear gain of a section; -100 dB or less is silence, floored inside the designs' square root.
    float sectionGain (float gainDb) noexcept
    {
        const float g = gainDb > -100.0f ? std::pow (10.0f, gainDb * 0.05f) : 0.0f;
        return std::max (g, 1.0e-15f);
    }

    void clearIfPoisoned (vyrDsp::PreciseBiquad& f) noexcept { f.sanitise(); }
}

//==============================================================================
// Parametric EQ
//==============================================================================
VyrParametricEQ::VyrParametricEQ()
{
    mixSmooth.setCurrentAndTargetValue (1.0f);
    prepareSlots (mainSlots, { sampleRate, 0, 1 });
    prepareSlots (sideSlots, { sampleRate, 0, 1 });
}

void VyrParametricEQ::prepare (double newSampleRate, int maximumBlockSize)
{
    sampleRate = newSampleRate > 0.0 ? newSampleRate : 44100.0;
    maxBlock = std::max (1, maximumBlockSize);
    scratch.assign ((size_t) maxBlock * 4, 0.0f);

    const juce::dsp::ProcessSpec spec { sampleRate, (juce::uint32) maxBlock, 1 };
    prepareSlots (mainSlots, spec);
    prepareSlots (sideSlots, spec);
    resetSmoother (mixSmooth, vyrDsp::rampSamples (sampleRate, 0.025), 1.0f);
    vyrEq::initDefaults (state.main, state.bandCount, false);
    vyrEq::initDefaults (state.side, state.bandCount, false);
}

void VyrParametricEQ::prepareSlots (Slot* slots, const juce::dsp::ProcessSpec& spec)
{
    const int steps = vyrDsp::rampSamples (spec.sampleRate, 0.032);
    const auto neutral = designSection (peak, 1000.0f, 1.0f, 0.0f, spec.sampleRate > 0.0 ? spec.sampleRate : 44100.0);
    for (int i = 0; i < kSections; ++i)
    {
        auto& s = slots[i];
        s.filterA.reset();
        s.filterB.reset();
        s.filterA.c = neutral;
        s.filterB.c = neutral;
        resetSmoother (s.freqSmooth, steps, 1000.0f);
        resetSmoother (s.qSmooth, steps, 0.707f);
        resetSmoother (s.gainSmooth, steps, 0.0f);
        s.type = peak;
        s.lastFreq = s.lastQ = s.lastGain = -1000000.0f;
        s.lastType = -1;
    }
}

vyrDsp::BiquadCoeffs VyrParametricEQ::designSection (int type, float freq, float q, float gainDb, double sr) noexcept
{
    const float f = clampCorner (freq, sr);
    switch (type)
    {
        case lowShelf:  return vyrDsp::design::lowShelf (sr, f, 0.707f, sectionGain (gainDb));
        case highShelf: return vyrDsp::design::highShelf (sr, f, 0.707f, sectionGain (gainDb));
        case highPass:  return vyrDsp::design::highPass (sr, f, 0.707f);
        case lowPass:   return vyrDsp::design::lowPass (sr, f, 0.707f);
        default:        return vyrDsp::design::peak (sr, f, q > 0.05f ? q : 0.05f, sectionGain (gainDb));
    }
}

namespace
{
    void setSection (VyrParametricEQ::Slot& s, int type, float f, float q, float gainDb) noexcept
    {
        s.type = type;
        vyrDsp::setTargetIfMoved (s.freqSmooth, f);
        vyrDsp::setTargetIfMoved (s.qSmooth, q);
        vyrDsp::setTargetIfMoved (s.gainSmooth, gainDb);
    }

    void setNeutral (VyrParametricEQ::Slot& s) noexcept
    {
        setSection (s, VyrParametricEQ::peak, 1000.0f, 1.0f, 0.0f);
    }

    // Stages of a cut: slope / 12 to the nearest whole number (halves away from zero), 1..4.
    int cutStages (float slope) noexcept
    {
        return juce::jlimit (1, 4, (int) std::round (finiteOr (slope, 12.0f) / 12.0f));
    }
}

void VyrParametricEQ::setChannelTargets (Slot* slots, const vyrEq::Channel& ch)
{
    const bool soloed = vyrEq::isSoloed (ch);
    const int mids = juce::jlimit (0, 6, ch.midCount);
    const auto sounds = [soloed] (const vyrEq::Band& b) { return b.on && (! soloed || b.solo); };

    // Low band: sections 0..3. Unused stages of a cut stay in the cascade parked at 20 Hz, so the
    // section types never change with the slope.
    {
        const auto& b = ch.low;
        const float f = std::max (finiteOr (b.freq, 200.0f), 20.0f);
        if (sounds (b) && b.cut)
        {
            const int stages = cutStages (b.slope);
            for (int k = 0; k < 4; ++k)
                setSection (slots[k], highPass, k < stages ? f : 20.0f, 0.707f, 0.0f);
        }
        else if (sounds (b))
        {
            setSection (slots[0], lowShelf, f, 0.707f, finiteOr (b.gain, 0.0f));
            for (int k = 1; k < 4; ++k)
                setNeutral (slots[k]);
        }
        else
        {
            for (int k = 0; k < 4; ++k)
                setNeutral (slots[k]);
        }
    }

    // Mid bands: sections 4..9.
    for (int i = 0; i < 6; ++i)
    {
        auto& s = slots[4 + i];
        const auto& b = ch.mids[i];
        if (i >= mids || ! sounds (b))
        {
            setNeutral (s);
            continue;
        }
        const float gain = finiteOr (b.gain, 0.0f);
        const float q = finiteOr (b.q, 1.0f);
        int type = peak;
        float sq = q;
        switch (b.shape)
        {
            case 1: sq = std::max (q * std::min (1.0f + std::abs (gain) / 6.0f, 4.0f), 0.1f); break;
            case 2: sq = std::max (q * 0.5f, 0.3f); break;
            case 3: type = lowShelf;  sq = 0.707f; break;
            case 4: type = highShelf; sq = 0.707f; break;
            default: break;
        }
        setSection (s, type, finiteOr (b.freq, 1000.0f), std::max (sq, 0.05f), gain);
    }

    // High band: sections 10..13, parked stages at 20 kHz (clamped below Nyquist when designed).
    {
        const auto& b = ch.high;
        const float f = std::max (finiteOr (b.freq, 5000.0f), 20.0f);
        if (sounds (b) && b.cut)
        {
            const int stages = cutStages (b.slope);
            for (int k = 0; k < 4; ++k)
                setSection (slots[10 + k], lowPass, k < stages ? f : 20000.0f, 0.707f, 0.0f);
        }
        else if (sounds (b))
        {
            setSection (slots[10], highShelf, f, 0.707f, finiteOr (b.gain, 0.0f));
            for (int k = 1; k < 4; ++k)
                setNeutral (slots[10 + k]);
        }
        else
        {
            for (int k = 0; k < 4; ++k)
                setNeutral (slots[10 + k]);
        }
    }
}

void VyrParametricEQ::redesign (Slot& s, float f, float q, float g) noexcept
{
    s.lastFreq = f;
    s.lastQ = q;
    s.lastGain = g;
    s.lastType = s.type;
    auto c = designSection (s.type, f, q, g, sampleRate);
    if (g == 0.0f && (s.type == peak || s.type == lowShelf || s.type == highShelf))
        vyrDsp::makeIdentity (c);
    s.filterA.c = c;
    s.filterB.c = c;
}

bool VyrParametricEQ::isIdentity (const Slot& s) noexcept
{
    return s.lastGain == 0.0f && (s.lastType == peak || s.lastType == lowShelf || s.lastType == highShelf);
}

// Steps one slot's ramps over the chunk, redesigning where they move, and filters `a` (and `b`).
// A settled slot is checked once and then filtered without per-sample work: its ramps would
// return their targets on every sample anyway.
void VyrParametricEQ::runSlot (Slot& s, float* a, float* b, int n, bool filterBoth, bool filter)
{
    const bool moving = s.freqSmooth.isSmoothing() || s.qSmooth.isSmoothing() || s.gainSmooth.isSmoothing();
    if (! moving)
    {
        const float f = s.freqSmooth.getTargetValue(), q = s.qSmooth.getTargetValue(), g = s.gainSmooth.getTargetValue();
        if (s.type != s.lastType || std::abs (f - s.lastFreq) >= 0.08f || std::abs (q - s.lastQ) >= 0.0001f
            || std::abs (g - s.lastGain) >= 0.02f)
            redesign (s, f, q, g);
        if (! filter)
            return;
        // A section at 0 dB passes its input unchanged once what an earlier design left in its
        // state has died away: it is skipped.
        if (isIdentity (s) && vyrDsp::stateSettled (s.filterA) && (! filterBoth || vyrDsp::stateSettled (s.filterB)))
        {
            s.filterA.reset();
            s.filterB.reset();
            return;
        }
        if (filterBoth)
            vyrDsp::runSectionPair (s.filterA, s.filterB, a, b, n);
        else
            vyrDsp::runSection (s.filterA, a, n);
        return;
    }

    for (int i = 0; i < n; ++i)
    {
        const float f = s.freqSmooth.getNextValue();
        const float q = s.qSmooth.getNextValue();
        const float g = s.gainSmooth.getNextValue();
        if (s.freqSmooth.isSmoothing() || s.qSmooth.isSmoothing() || s.gainSmooth.isSmoothing()
            || s.type != s.lastType || std::abs (f - s.lastFreq) >= 0.08f || std::abs (q - s.lastQ) >= 0.0001f
            || std::abs (g - s.lastGain) >= 0.02f)
            redesign (s, f, q, g);
        if (filter)
        {
            a[i] = s.filterA.process (a[i]);
            if (filterBoth)
                b[i] = s.filterB.process (b[i]);
        }
    }
}

namespace
{
    // Up to four sections in series over a block (and, with xb, the same sections' twins over a second
    // block), stepping all of them per sample: their recursions do not wait on one another, so the
    // samples of different sections overlap instead of each section running the block alone. Each
    // section hands on its output rounded to float, exactly as running them one after the other.
    typedef double Pair __attribute__ ((vector_size (16)));
    typedef float PairF __attribute__ ((vector_size (8)));

    // Up to four sections in series over a block (and, with xb, the sections fb over a second block,
    // side by side in one vector), stepping all of them per sample: their recursions do not wait on one
    // another, so the sections overlap instead of each running the block alone. Each section hands on
    // its output rounded to float, exactly as running them one after the other.
    template <int M>
    void cascadeGroup (vyrDsp::PreciseBiquad* const* fa, vyrDsp::PreciseBiquad* const* fb, float* xa, float* xb, int n) noexcept
    {
        if (xb == nullptr)
        {
            double b0[M], b1[M], b2[M], a1[M], a2[M], s1[M], s2[M];
            for (int k = 0; k < M; ++k)
            {
                const auto& c = fa[k]->c;
                b0[k] = c.b0; b1[k] = c.b1; b2[k] = c.b2; a1[k] = c.a1; a2[k] = c.a2;
                s1[k] = fa[k]->s1; s2[k] = fa[k]->s2;
            }
            for (int i = 0; i < n; ++i)
            {
                float v = xa[i];
                for (int k = 0; k < M; ++k)
                {
                    const double in = v;
                    const double y = b0[k] * in + s1[k];
                    s1[k] = b1[k] * in - a1[k] * y + s2[k];
                    s2[k] = b2[k] * in - a2[k] * y;
                    v = (float) y;
                }
                xa[i] = v;
            }
            for (int k = 0; k < M; ++k)
            {
                fa[k]->s1 = s1[k];
                fa[k]->s2 = s2[k];
            }
            return;
        }

        Pair b0[M], b1[M], b2[M], a1[M], a2[M], s1[M], s2[M];
        for (int k = 0; k < M; ++k)
        {
            const auto& ca = fa[k]->c;
            const auto& cb = fb[k]->c;
            b0[k] = Pair { ca.b0, cb.b0 }; b1[k] = Pair { ca.b1, cb.b1 }; b2[k] = Pair { ca.b2, cb.b2 };
            a1[k] = Pair { ca.a1, cb.a1 }; a2[k] = Pair { ca.a2, cb.a2 };
            s1[k] = Pair { fa[k]->s1, fb[k]->s1 };
            s2[k] = Pair { fa[k]->s2, fb[k]->s2 };
        }
        for (int i = 0; i < n; ++i)
        {
            Pair v = Pair { (double) xa[i], (double) xb[i] };
            for (int k = 0; k < M; ++k)
            {
                const Pair y = b0[k] * v + s1[k];
                s1[k] = b1[k] * v - a1[k] * y + s2[k];
                s2[k] = b2[k] * v - a2[k] * y;
                v = __builtin_convertvector (__builtin_convertvector (y, PairF), Pair);
            }
            xa[i] = (float) v[0];
            xb[i] = (float) v[1];
        }
        for (int k = 0; k < M; ++k)
        {
            fa[k]->s1 = s1[k][0]; fa[k]->s2 = s2[k][0];
            fb[k]->s1 = s1[k][1]; fb[k]->s2 = s2[k][1];
        }
    }

    void cascade (vyrDsp::PreciseBiquad* const* fa, vyrDsp::PreciseBiquad* const* fb, int count, float* xa, float* xb, int n) noexcept
    {
        for (int k = 0; k < count; k += 4)
        {
            auto* const* b = fb != nullptr ? fb + k : nullptr;
            switch (std::min (4, count - k))
            {
                case 4: cascadeGroup<4> (fa + k, b, xa, xb, n); break;
                case 3: cascadeGroup<3> (fa + k, b, xa, xb, n); break;
                case 2: cascadeGroup<2> (fa + k, b, xa, xb, n); break;
                default: cascadeGroup<1> (fa + k, b, xa, xb, n); break;
            }
        }
    }
}

// Every section of one path in order over a chunk: settled sections run together as a cascade, a
// section whose settings glide runs alone in its place in the order.
void VyrParametricEQ::runSlots (Slot* slots, float* a, float* b, int n, bool filterBoth)
{
    vyrDsp::PreciseBiquad* fa[kSections];
    vyrDsp::PreciseBiquad* fb[kSections];
    int pending = 0;
    const auto flush = [&]
    {
        cascade (fa, fb, pending, a, filterBoth ? b : nullptr, n);
        pending = 0;
    };

    for (int k = 0; k < kSections; ++k)
    {
        Slot& s = slots[k];
        const bool moving = s.freqSmooth.isSmoothing() || s.qSmooth.isSmoothing() || s.gainSmooth.isSmoothing();
        if (moving)
        {
            flush();
            runSlot (s, a, b, n, filterBoth, true);
            continue;
        }

        if (! settledSectionRuns (s, filterBoth))
            continue;
        fa[pending] = &s.filterA;
        fb[pending] = &s.filterB;
        ++pending;
    }
    flush();
}

// Mid and side: with every section settled, the two paths run side by side (the mid path's k-th
// running section next to the side path's k-th), otherwise each path on its own.
void VyrParametricEQ::runSlotsMidSide (float* mid, float* side, int n)
{
    for (auto* slots : { mainSlots, sideSlots })
        for (int k = 0; k < kSections; ++k)
            if (slots[k].freqSmooth.isSmoothing() || slots[k].qSmooth.isSmoothing() || slots[k].gainSmooth.isSmoothing())
            {
                runSlots (mainSlots, mid, nullptr, n, false);
                runSlots (sideSlots, side, nullptr, n, false);
                return;
            }

    vyrDsp::PreciseBiquad* m[kSections];
    vyrDsp::PreciseBiquad* s[kSections];
    const int mc = settledSections (mainSlots, false, m);
    const int sc = settledSections (sideSlots, false, s);
    const int both = std::min (mc, sc);
    cascade (m, s, both, mid, side, n);
    cascade (m + both, nullptr, mc - both, mid, nullptr, n);
    cascade (s + both, nullptr, sc - both, side, nullptr, n);
}

// A settled section is designed for its targets if they moved. A section at 0 dB passes its input
// unchanged once what an earlier design left in its state has died away: it is cleared and skipped.
bool VyrParametricEQ::settledSectionRuns (Slot& s, bool filterBoth) noexcept
{
    const float f = s.freqSmooth.getTargetValue(), q = s.qSmooth.getTargetValue(), g = s.gainSmooth.getTargetValue();
    if (s.type != s.lastType || std::abs (f - s.lastFreq) >= 0.08f || std::abs (q - s.lastQ) >= 0.0001f
        || std::abs (g - s.lastGain) >= 0.02f)
        redesign (s, f, q, g);
    if (isIdentity (s) && vyrDsp::stateSettled (s.filterA) && (! filterBoth || vyrDsp::stateSettled (s.filterB)))
    {
        s.filterA.reset();
        s.filterB.reset();
        return false;
    }
    return true;
}

// For a path whose sections are all settled: designs each for its targets if they moved and lists the
// sections that run (filterA), in order; a section at 0 dB whose state has died away is left out.
int VyrParametricEQ::settledSections (Slot* slots, bool filterBoth, vyrDsp::PreciseBiquad** out)
{
    int count = 0;
    for (int k = 0; k < kSections; ++k)
    {
        Slot& s = slots[k];
        if (! settledSectionRuns (s, filterBoth))
            continue;
        out[count++] = &s.filterA;
    }
    return count;
}

void VyrParametricEQ::process (juce::AudioBuffer<float>& buffer)
{
    const int channels = std::min (buffer.getNumChannels(), 2);
    const int numSamples = buffer.getNumSamples();
    if (channels <= 0 || maxBlock <= 0)
        return;

    const int mids = vyrEq::midCountFor (state.bandCount);
    state.main.midCount = mids;
    state.side.midCount = mids;
    publishedState.publish (state);

    const float wet = state.enabled ? juce::jlimit (0.0f, 1.0f, finiteOr (state.mix, 100.0f) * 0.01f) : 0.0f;
    vyrDsp::setTargetIfMoved (mixSmooth, wet);
    setChannelTargets (mainSlots, state.main);
    setChannelTargets (sideSlots, state.msMode ? state.side : state.main);

    // Off (or at mix 0) and faded out: the input passes as it is. The ramps still move with the
    // settings, and the filters start from silence when the module fades back in.
    if (wet <= 0.0f && ! mixSmooth.isSmoothing() && mixSmooth.getCurrentValue() <= 0.0f)
    {
        for (auto* slots : { mainSlots, sideSlots })
            for (int i = 0; i < kSections; ++i)
            {
                auto& s = slots[i];
                s.freqSmooth.skip (numSamples);
                s.qSmooth.skip (numSamples);
                s.gainSmooth.skip (numSamples);
                s.filterA.reset();
                s.filterB.reset();
            }
        return;
    }

    // A non-finite input must not stay in the filters: clear any poisoned history once per block.
    for (int i = 0; i < kSections; ++i)
    {
        clearIfPoisoned (mainSlots[i].filterA);
        clearIfPoisoned (mainSlots[i].filterB);
        clearIfPoisoned (sideSlots[i].filterA);
        clearIfPoisoned (sideSlots[i].filterB);
    }

    const bool stereo = channels > 1;
    float* left = buffer.getWritePointer (0);
    float* right = stereo ? buffer.getWritePointer (1) : nullptr;
    for (int start = 0; start < numSamples; start += maxBlock)
    {
        const int n = std::min (maxBlock, numSamples - start);
        processChunk (left + start, stereo ? right + start : nullptr, n, stereo);
    }
}

void VyrParametricEQ::processChunk (float* left, float* right, int n, bool stereo)
{
    float* dryL = scratch.data();
    float* dryR = dryL + maxBlock;
    float* a = dryR + maxBlock;
    float* b = a + maxBlock;
    const bool ms = state.msMode;

    // Fully wet in left/right: the sections work on the buffer itself, with no dry copy and no mix.
    if (! ms && ! mixSmooth.isSmoothing() && mixSmooth.getCurrentValue() >= 1.0f)
    {
        runSlots (mainSlots, left, right, n, stereo);
        for (int s = 0; s < kSections; ++s)
            runSlot (sideSlots[s], nullptr, nullptr, n, false, false);
        return;
    }

    for (int i = 0; i < n; ++i)
    {
        const float l = left[i];
        const float r = stereo ? right[i] : l;
        dryL[i] = l;
        dryR[i] = r;
        if (ms)
        {
            a[i] = (l + r) * 0.5f;
            b[i] = (l - r) * 0.5f;
        }
        else
        {
            a[i] = l;
            b[i] = r;
        }
    }

    if (ms)
        runSlotsMidSide (a, b, n);
    else
    {
        runSlots (mainSlots, a, b, n, stereo);
        for (int s = 0; s < kSections; ++s)
            runSlot (sideSlots[s], nullptr, nullptr, n, false, false);   // ramps follow, no audio
    }

    for (int i = 0; i < n; ++i)
    {
        const float m = mixSmooth.getNextValue();
        const float wl = ms ? a[i] + b[i] : a[i];
        const float wr = ms ? a[i] - b[i] : b[i];
        left[i] = dryL[i] * (1.0f - m) + wl * m;
        if (stereo)
            right[i] = dryR[i] * (1.0f - m) + wr * m;
    }
}

//==============================================================================
// Dynamic EQ
//==============================================================================
VyrDynamicEQ::VyrDynamicEQ()
{
    for (auto& n : lrNodes)   prepareNode (n);
    for (auto& n : midNodes)  prepareNode (n);
    for (auto& n : sideNodes) prepareNode (n);
}

void VyrDynamicEQ::prepare (double newSampleRate, int maximumBlockSize)
{
    sampleRate = newSampleRate > 0.0 ? newSampleRate : 44100.0;
    maxBlock = std::max (1, maximumBlockSize);
    spec = { sampleRate, (juce::uint32) maxBlock, 1 };
    scratch.assign ((size_t) maxBlock * 7, 0.0f);

    resetSmoother (mixSmooth, vyrDsp::rampSamples (sampleRate, 0.025), 0.0f);
    for (auto& n : lrNodes)   prepareNode (n);
    for (auto& n : midNodes)  prepareNode (n);
    for (auto& n : sideNodes) prepareNode (n);
    for (int p = 0; p < kPositions; ++p)
    {
        grMeter[p].store (0.0f, std::memory_order_relaxed);
        grDisplay[p] = 0.0f;
    }
    vyrEq::initDefaults (state.main, 4, true);
    vyrEq::initDefaults (state.side, 4, true);
    state.bandCount = 4;
    state.dynamic = true;
}

void VyrDynamicEQ::prepareNode (Node& node)
{
    const int steps = vyrDsp::rampSamples (spec.sampleRate, 0.032);
    node.detector.reset();
    node.eq.reset();
    resetSmoother (node.freqSmooth, steps, 1000.0f);
    resetSmoother (node.qSmooth, steps, 0.707f);
    resetSmoother (node.gainSmooth, steps, 0.0f);
    resetSmoother (node.threshSmooth, steps, -24.0f);
    resetSmoother (node.ratioSmooth, steps, 1.0f);
    resetSmoother (node.atkSmooth, steps, 0.01f);
    resetSmoother (node.relSmooth, steps, 0.2f);
    node.envDb = -80.0f;
    node.grHold = 0.0f;
    node.lastEqFreq = node.lastEqQ = node.lastEqGain = -1000000.0f;
    node.lastEqKind = -1;
    node.lastDetFreq = node.lastDetQ = -1000000.0f;
    node.lastDetKind = -1;
    node.coefAtkTime = node.coefRelTime = -1.0f;
    node.trigFreq = -1.0f;
    node.detector.c = vyrDsp::design::bandPass (sampleRate, 1000.0f, 1.0f);
    node.eq.c = vyrDsp::design::peak (sampleRate, 1000.0f, 1.0f, 1.0f);
}

void VyrDynamicEQ::setNode (Node& node, int kind, const vyrEq::Band& band, bool active)
{
    node.kind = kind;
    vyrDsp::setTargetIfMoved (node.freqSmooth, juce::jlimit (20.0f, 20000.0f, finiteOr (band.freq, 1000.0f)));
    vyrDsp::setTargetIfMoved (node.qSmooth, std::max (band.q > 0.01f ? band.q : 0.707f, 0.05f));
    vyrDsp::setTargetIfMoved (node.threshSmooth, active ? finiteOr (band.thresh, -24.0f) : 0.0f);
    const bool plain = ! active || ! std::isfinite (band.ratio) || band.ratio < 1.0f;
    vyrDsp::setTargetIfMoved (node.ratioSmooth, plain ? 1.0f : std::min (band.ratio, 12.0f));
    vyrDsp::setTargetIfMoved (node.atkSmooth, juce::jlimit (0.001f, 0.5f, finiteOr (band.atk, 0.01f)));
    vyrDsp::setTargetIfMoved (node.relSmooth, juce::jlimit (0.01f, 1.0f, finiteOr (band.rel, 0.2f)));
    vyrDsp::setTargetIfMoved (node.gainSmooth, active ? finiteOr (band.gain, 0.0f) : 0.0f);
    const float drive = juce::jlimit (0.0f, 1.0f, finiteOr (band.drive, 0.3f));
    if (drive != node.satDrive)
    {
        node.satDrive = drive;
        node.satAmount = 0.15f * std::pow (drive, 2.2f);
    }
    node.satOn = active && band.sat && node.satAmount >= 0.0005f;
}

// The cookbook shelf and peak designs, written out so that a compressing band, whose gain moves on
// almost every sample, reuses the sine and cosine of its unchanged frequency.
void VyrDynamicEQ::designEq (Node& node, float f, float q, float gainDb) noexcept
{
    node.lastEqFreq = f;
    node.lastEqQ = q;
    node.lastEqGain = gainDb;
    node.lastEqKind = node.kind;

    const float fc = clampCorner (f, sampleRate);
    if (fc != node.trigFreq)
    {
        const float w = 2.0f * juce::MathConstants<float>::pi * fc / (float) sampleRate;
        node.trigFreq = fc;
        node.cosW = std::cos (w);
        node.sinW = std::sin (w);
    }
    // The square root of the linear gain, 10^(gain / 40), from the fast power of two.
    const float A = std::sqrt (sectionGain (gainDb));
    const bool shelf = node.kind == lowShelfKind || node.kind == highShelfKind;
    const auto shape = node.kind == lowShelfKind ? vyrDsp::CookbookShape::lowShelf
                     : node.kind == highShelfKind ? vyrDsp::CookbookShape::highShelf
                                                  : vyrDsp::CookbookShape::peak;
    node.eq.c = vyrDsp::cookbookFromTrig<float> (shape, node.cosW, node.sinW, shelf ? 0.707f : (q > 0.05f ? q : 0.05f), A);
    if (gainDb == 0.0f)
        vyrDsp::makeIdentity (node.eq.c);
}

void VyrDynamicEQ::designDetector (Node& node, float f, float q) noexcept
{
    node.lastDetKind = node.kind;
    node.lastDetFreq = f;
    node.lastDetQ = q;
    switch (node.kind)
    {
        case lowShelfKind:  node.detector.c = vyrDsp::design::lowPass (sampleRate, clampCorner (2.0f * f, sampleRate), 0.5f); break;
        case highShelfKind: node.detector.c = vyrDsp::design::highPass (sampleRate, clampCorner (0.5f * f, sampleRate), 0.5f); break;
        default:            node.detector.c = vyrDsp::design::bandPass (sampleRate, clampCorner (f, sampleRate), q > 0.05f ? q : 0.05f); break;
    }
}

float VyrDynamicEQ::processNode (Node& node, float x) noexcept
{
    const float rate = (float) sampleRate;
    const float d = node.detector.process (x);

    const float thr = node.threshSmooth.getNextValue();
    const float ratio = node.ratioSmooth.getNextValue();
    const float atk = node.atkSmooth.getNextValue();
    const float rel = node.relSmooth.getNextValue();

    // The coefficients only change while a time constant ramps.
    vyrDsp::followTimeConstants (node, atk, rel, rate);

    const float level = std::max (vyrDsp::fastGainToDb (std::abs (d) + 1.0e-8f), -100.0f);
    const float w = level > node.envDb ? node.coefAtk : node.coefRel;
    node.envDb += (level - node.envDb) * (1.0f - w);

    // Soft knee 12 dB wide, centred on the threshold.
    float gr = 0.0f;
    const float r = std::max (ratio, 1.0f);
    if (r > 1.0001f)
    {
        const float k = 1.0f - 1.0f / r;
        const float over = node.envDb - thr;
        if (over > 6.0f)
            gr = k * over;
        else if (over > -6.0f)
            gr = k * (over + 6.0f) * (over + 6.0f) / 24.0f;
    }
    node.grHold = std::max (node.grHold, gr);

    const float f = node.freqSmooth.getNextValue();
    const float q = node.qSmooth.getNextValue();
    const float g = node.gainSmooth.getNextValue();
    const float eg = g - gr;

    // The kind is part of the design too: a band-count change can turn a peak into a shelf at the
    // same frequency, Q and gain.
    if (std::abs (f - node.lastEqFreq) > 0.08f || std::abs (q - node.lastEqQ) > 0.0001f
        || std::abs (eg - node.lastEqGain) > 0.03f || node.kind != node.lastEqKind)
        designEq (node, f, q, eg);
    if (node.kind != node.lastDetKind || std::abs (f - node.lastDetFreq) > 0.08f || std::abs (q - node.lastDetQ) > 0.0001f)
        designDetector (node, f, q);

    float y = node.eq.process (x);
    if (node.satOn)
        y = saturate (y, 1.0f + 1.5f * node.satAmount);
    return y;
}

bool VyrDynamicEQ::nodeIdle (const Node& node) noexcept
{
    return ! node.ratioSmooth.isSmoothing() && node.ratioSmooth.getTargetValue() <= 1.0001f
        && ! node.gainSmooth.isSmoothing() && node.gainSmooth.getTargetValue() == 0.0f
        && ! node.satOn && node.lastEqGain == 0.0f && vyrDsp::stateSettled (node.eq);
}

void VyrDynamicEQ::idleNode (Node& node, int n) noexcept
{
    for (auto* sm : { &node.freqSmooth, &node.qSmooth, &node.gainSmooth, &node.threshSmooth, &node.ratioSmooth,
                      &node.atkSmooth, &node.relSmooth })
        sm->skip (n);
    node.eq.reset();
    node.detector.reset();
    node.envDb = -80.0f;
}

namespace
{
    // One or two doubles (or floats) in one vector, so that the two paths' recursions take one
    // instruction per step. Element by element the operations are the scalar ones: the same values
    // bit for bit.
    template <int L>
    struct Lanes
    {
        typedef double Doubles __attribute__ ((vector_size (8 * L)));
        typedef float Floats __attribute__ ((vector_size (4 * L)));
    };

    // A section's coefficients into lane l, for a recursion with the output put into the state
    // updates before they are formed: s1 then waits on one multiply and one subtraction instead of
    // three operations (same values to the last bits of a double), and the products of
    // coefficients leave the loop.
    template <typename D>
    inline void loadSection (const vyrDsp::BiquadCoeffs& c, int l, D& b0, D& c1, D& c2, D& a1, D& a2) noexcept
    {
        b0[l] = c.b0;
        c1[l] = (double) c.b1 - (double) c.a1 * c.b0;
        c2[l] = (double) c.b2 - (double) c.a2 * c.b0;
        a1[l] = c.a1;
        a2[l] = c.a2;
    }

    // One step of sections side by side, in the shallow form loadSection prepares.
    template <typename D>
    inline D sectionStep (D in, D b0, D c1, D c2, D a1, D a2, D& s1, D& s2) noexcept
    {
        const D y = b0 * in + s1;
        const D next = (c1 * in + s2) - a1 * s1;
        s2 = c2 * in - a2 * s1;
        s1 = next;
        return y;
    }

    // The band's settled settings, worked out once per chunk.
    struct BandCurve
    {
        float thr = 0.0f, k = 0.0f, gain = 0.0f;
        bool compresses = false;
    };

    // The soft knee, 12 dB wide and centred on the threshold; never decreasing in the envelope.
    inline float kneeReduction (const BandCurve& c, float env) noexcept
    {
        if (! c.compresses)
            return 0.0f;
        const float over = env - c.thr;
        if (over > 6.0f)
            return c.k * over;
        if (over > -6.0f)
            return c.k * (over + 6.0f) * (over + 6.0f) / 24.0f;
        return 0.0f;
    }

    // Detector outputs to levels in dB, in place (fast logarithm: within 1.2e-6 dB).
    VYR_WIDE_VECTOR_CLONES void detectorLevels (float* v, int n) noexcept
    {
        for (int i = 0; i < n; ++i)
            v[i] = std::max (vyrDsp::fastGainToDb (std::abs (v[i]) + 1.0e-8f), -100.0f);
    }

    // Envelopes to the section gain g - reduction, in place; every branch worked out and one picked,
    // so the loop vectorises.
    void sectionGains (float* v, int n, BandCurve c) noexcept
    {
        if (! c.compresses)
        {
            std::fill (v, v + n, c.gain);
            return;
        }
        for (int i = 0; i < n; ++i)
        {
            const float over = v[i] - c.thr;
            const float inKnee = c.k * (over + 6.0f) * (over + 6.0f) / 24.0f;
            const float gr = over > 6.0f ? c.k * over : (over > -6.0f ? inKnee : 0.0f);
            v[i] = c.gain - gr;
        }
    }

    // Kept out of line: it is long, and the recursions around it keep their registers.
    __attribute__ ((noinline)) void saturateAll (float* x, int n, float drive) noexcept
    {
        for (int i = 0; i < n; ++i)
            x[i] = VyrDynamicEQ::saturate (x[i], drive);
    }

}

// Runs one node over a chunk sample by sample with every ramp stepping, skipping the samples whose
// mix value is silent (the node stands still there).
void VyrDynamicEQ::processNodeChunk (Node& node, float* x, const float* mix, int n) noexcept
{
    constexpr float silentMix = 0.00001f;
    for (int i = 0; i < n; ++i)
        if (mix[i] > silentMix)
            x[i] = processNode (node, x[i]);
}

bool VyrDynamicEQ::nodeSettled (const Node& node) noexcept
{
    return ! (node.threshSmooth.isSmoothing() || node.ratioSmooth.isSmoothing() || node.atkSmooth.isSmoothing()
              || node.relSmooth.isSmoothing() || node.freqSmooth.isSmoothing() || node.qSmooth.isSmoothing()
              || node.gainSmooth.isSmoothing());
}

// Settled settings, one node or two independent ones (mid and side, left and right) side by side.
// The work runs in passes over the chunk, the same steps a sample at a time would take: the
// detector, the levels, the envelope, the section gain per sample, then the section itself and the
// saturation. The passes without recursion vectorise; the recursive ones overlap the two nodes.
template <int L>
void VyrDynamicEQ::processSettled (Node* const* nodes, float* const* xs, float* const* work, int n) noexcept
{
    BandCurve curve[L];
    float f[L], q[L];
    bool redesignDue[L];
    const float rate = (float) sampleRate;
    for (int l = 0; l < L; ++l)
    {
        Node& node = *nodes[l];
        const float r = std::max (node.ratioSmooth.getTargetValue(), 1.0f);
        curve[l].thr = node.threshSmooth.getTargetValue();
        curve[l].compresses = r > 1.0001f;
        curve[l].k = 1.0f - 1.0f / r;
        curve[l].gain = node.gainSmooth.getTargetValue();
        f[l] = node.freqSmooth.getTargetValue();
        q[l] = node.qSmooth.getTargetValue();
        vyrDsp::followTimeConstants (node, node.atkSmooth.getTargetValue(), node.relSmooth.getTargetValue(), rate);
        if (node.kind != node.lastDetKind || std::abs (f[l] - node.lastDetFreq) > 0.08f || std::abs (q[l] - node.lastDetQ) > 0.0001f)
            designDetector (node, f[l], q[l]);
        redesignDue[l] = std::abs (f[l] - node.lastEqFreq) > 0.08f || std::abs (q[l] - node.lastEqQ) > 0.0001f
                      || node.kind != node.lastEqKind;
    }

    using D = typename Lanes<L>::Doubles;
    using F = typename Lanes<L>::Floats;
    const auto gather = [] (float* const* from, int i)
    {
        F v {};
        for (int l = 0; l < L; ++l)
            v[l] = from[l][i];
        return v;
    };
    const auto scatter = [] (F v, float* const* to, int i)
    {
        for (int l = 0; l < L; ++l)
            to[l][i] = v[l];
    };

    // The detectors, side by side.
    {
        D b0 {}, c1 {}, c2 {}, a1 {}, a2 {}, s1 {}, s2 {};
        for (int l = 0; l < L; ++l)
        {
            const auto& d = nodes[l]->detector;
            loadSection (d.c, l, b0, c1, c2, a1, a2);
            s1[l] = d.s1;
            s2[l] = d.s2;
        }
        for (int i = 0; i < n; ++i)
        {
            const D in = __builtin_convertvector (gather (xs, i), D);
            scatter (__builtin_convertvector (sectionStep (in, b0, c1, c2, a1, a2, s1, s2), F), work, i);
        }
        for (int l = 0; l < L; ++l)
        {
            nodes[l]->detector.s1 = s1[l];
            nodes[l]->detector.s2 = s2[l];
        }
    }

    for (int l = 0; l < L; ++l)
        detectorLevels (work[l], n);

    // The envelopes in dB, side by side; the largest one gives the meter's reduction.
    {
        F env {}, peak {}, atkStep {}, relStep {};
        for (int l = 0; l < L; ++l)
        {
            env[l] = nodes[l]->envDb;
            peak[l] = -std::numeric_limits<float>::infinity();
            atkStep[l] = 1.0f - nodes[l]->coefAtk;
            relStep[l] = 1.0f - nodes[l]->coefRel;
        }
        for (int i = 0; i < n; ++i)
        {
            const F level = gather (work, i);
            env += (level - env) * (level > env ? atkStep : relStep);
            peak = peak < env ? env : peak;
            scatter (env, work, i);
        }
        for (int l = 0; l < L; ++l)
        {
            nodes[l]->envDb = env[l];
            nodes[l]->grHold = std::max (nodes[l]->grHold, kneeReduction (curve[l], peak[l]));
        }
    }

    for (int l = 0; l < L; ++l)
        sectionGains (work[l], n, curve[l]);

    // The sections, side by side; each is redesigned whenever its gain moves more than 0.03 dB
    // from the gain of its current design.
    D b0 {}, c1 {}, c2 {}, a1 {}, a2 {}, s1 {}, s2 {};
    float designed[L];
    const auto load = [&] (int l)
    {
        loadSection (nodes[l]->eq.c, l, b0, c1, c2, a1, a2);
        designed[l] = nodes[l]->lastEqGain;
    };
    for (int l = 0; l < L; ++l)
    {
        load (l);
        s1[l] = nodes[l]->eq.s1;
        s2[l] = nodes[l]->eq.s2;
    }
    const auto step = [&] (int i)
    {
        const D in = __builtin_convertvector (gather (xs, i), D);
        scatter (__builtin_convertvector (sectionStep (in, b0, c1, c2, a1, a2, s1, s2), F), xs, i);
    };
    // Between redesigns the sections run on locals; a sample whose gain moved too far for either
    // leaves the inner loop for the redesign.
    int i = 0;
    while (i < n)
    {
        for (; i < n; ++i)
        {
            bool due = false;
            for (int l = 0; l < L; ++l)
                due = due || redesignDue[l] || std::abs (work[l][i] - designed[l]) > 0.03f;
            if (due)
                break;
            step (i);
        }
        if (i == n)
            break;
        for (int l = 0; l < L; ++l)
        {
            const float eg = work[l][i];
            if (redesignDue[l] || std::abs (eg - designed[l]) > 0.03f)
            {
                designEq (*nodes[l], f[l], q[l], eg);
                redesignDue[l] = false;
                load (l);
            }
        }
        step (i);
        ++i;
    }

    for (int l = 0; l < L; ++l)
    {
        nodes[l]->eq.s1 = s1[l];
        nodes[l]->eq.s2 = s2[l];
        if (nodes[l]->satOn)
            saturateAll (xs[l], n, 1.0f + 1.5f * nodes[l]->satAmount);
    }
}

void VyrDynamicEQ::process (juce::AudioBuffer<float>& buffer)
{
    const int channels = std::min (buffer.getNumChannels(), 2);
    const int numSamples = buffer.getNumSamples();
    if (channels <= 0 || maxBlock <= 0)
        return;

    const int mids = vyrEq::midCountFor (state.bandCount);
    state.main.midCount = mids;
    state.side.midCount = mids;
    const bool enabled = state.enabled;
    const bool ms = state.msMode;

    vyrDsp::setTargetIfMoved (mixSmooth, enabled ? juce::jlimit (0.0f, 1.0f, finiteOr (state.mix, 100.0f) * 0.01f) : 0.0f);

    const vyrEq::Band unused;
    for (int p = 0; p < kPositions; ++p)
    {
        const vyrEq::Band* bm = &unused;
        const vyrEq::Band* bs = &unused;
        int kind = peakKind;
        bool mainSounds = false, sideSounds = false;
        if (p == 0)
        {
            bm = &state.main.low;
            bs = &state.side.low;
            kind = lowShelfKind;
            mainSounds = vyrEq::lowSounds (state.main);
            sideSounds = vyrEq::lowSounds (state.side);
        }
        else if (p <= mids)
        {
            bm = &state.main.mids[p - 1];
            bs = &state.side.mids[p - 1];
            mainSounds = vyrEq::midSounds (state.main, p - 1);
            sideSounds = vyrEq::midSounds (state.side, p - 1);
        }
        else if (p == mids + 1)
        {
            bm = &state.main.high;
            bs = &state.side.high;
            kind = highShelfKind;
            mainSounds = vyrEq::highSounds (state.main);
            sideSounds = vyrEq::highSounds (state.side);
        }

        const bool lrActive = enabled && ! ms && mainSounds;
        setNode (lrNodes[2 * p], kind, *bm, lrActive);
        setNode (lrNodes[2 * p + 1], kind, *bm, lrActive);
        setNode (midNodes[p], kind, *bm, enabled && ms && mainSounds);
        setNode (sideNodes[p], kind, *bs, enabled && ms && sideSounds);
        for (Node* n : { &lrNodes[2 * p], &lrNodes[2 * p + 1], &midNodes[p], &sideNodes[p] })
        {
            n->grHold = 0.0f;
            // A non-finite input must not stay in the detector, the section or the envelope.
            n->detector.sanitise();
            n->eq.sanitise();
            if (! std::isfinite (n->envDb))
                n->envDb = -80.0f;
        }
    }

    const bool stereo = channels > 1;
    float* left = buffer.getWritePointer (0);
    float* right = stereo ? buffer.getWritePointer (1) : nullptr;
    for (int start = 0; start < numSamples; start += maxBlock)
    {
        const int n = std::min (maxBlock, numSamples - start);
        processChunk (left + start, stereo ? right + start : nullptr, n, stereo);
    }

    // Meters hold each block's largest reduction and fall back with a 0.28 s time constant.
    const float decay = std::exp (-(float) numSamples / std::max ((float) sampleRate * 0.28f, 1.0f));
    for (int p = 0; p < kPositions; ++p)
    {
        float reading = 0.0f;
        if (enabled && p <= mids + 1)
        {
            if (! ms)
                reading = std::max (lrNodes[2 * p].grHold, lrNodes[2 * p + 1].grHold);
            else
                reading = state.msChannel == 1 ? sideNodes[p].grHold : midNodes[p].grHold;
        }
        if (! std::isfinite (reading))
            reading = 0.0f;
        grDisplay[p] = std::max ({ reading, decay * grDisplay[p], 0.0f });
        grMeter[p].store (grDisplay[p], std::memory_order_release);
    }
}

void VyrDynamicEQ::processChunk (float* left, float* right, int n, bool stereo)
{
    float* mixValues = scratch.data();
    float* dryL = mixValues + maxBlock;
    float* dryR = dryL + maxBlock;
    float* a = dryR + maxBlock;
    float* b = a + maxBlock;
    const bool ms = state.msMode;
    const int positions = juce::jlimit (3, 8, state.bandCount);
    constexpr float silentMix = 0.00001f;

    // Off (or at mix 0) and faded out: the input passes and the nodes stand still.
    if (! mixSmooth.isSmoothing() && mixSmooth.getTargetValue() <= silentMix)
    {
        mixSmooth.skip (n);
        return;
    }

    // Every band in use at rest at ratio 1 and 0 dB without saturation: the module passes its input.
    bool allIdle = true;
    for (int p = 0; p < positions && allIdle; ++p)
        allIdle = nodeIdle (ms ? midNodes[p] : lrNodes[2 * p]) && (! (ms || stereo) || nodeIdle (ms ? sideNodes[p] : lrNodes[2 * p + 1]));
    if (allIdle)
    {
        mixSmooth.skip (n);
        for (int p = 0; p < positions; ++p)
        {
            idleNode (ms ? midNodes[p] : lrNodes[2 * p], n);
            if (ms || stereo)
                idleNode (ms ? sideNodes[p] : lrNodes[2 * p + 1], n);
        }
        return;
    }

    bool anyWet = false, allWet = true;
    for (int i = 0; i < n; ++i)
    {
        mixValues[i] = mixSmooth.getNextValue();
        anyWet = anyWet || mixValues[i] > silentMix;
        allWet = allWet && mixValues[i] > silentMix;
        const float l = left[i];
        const float r = stereo ? right[i] : l;
        dryL[i] = l;
        dryR[i] = r;
        a[i] = ms ? (l + r) * 0.5f : l;
        b[i] = ms ? (l - r) * 0.5f : r;
    }
    if (! anyWet)
        return;   // mix at zero: the input passes and the nodes stand still

    // Nodes only interact through the signal they pass on, so each runs over the chunk in turn. A
    // node at ratio 1 and 0 dB with no saturation passes its input unchanged and is skipped. Settled
    // nodes run in passes over the chunk, the two paths' nodes of a position side by side.
    float* workA = scratch.data() + 5 * (size_t) maxBlock;
    float* workB = workA + maxBlock;
    bool anyActive = false;
    for (int p = 0; p < positions; ++p)
    {
        Node& na = ms ? midNodes[p] : lrNodes[2 * p];
        Node& nb = ms ? sideNodes[p] : lrNodes[2 * p + 1];
        const bool runA = ! nodeIdle (na);
        const bool runB = (ms || stereo) && ! nodeIdle (nb);
        const bool fastA = runA && allWet && nodeSettled (na);
        const bool fastB = runB && allWet && nodeSettled (nb);
        anyActive = anyActive || runA || runB;
        if (fastA && fastB)
        {
            Node* const pair[2] { &na, &nb };
            float* const xs[2] { a, b };
            float* const work[2] { workA, workB };
            processSettled<2> (pair, xs, work, n);
            continue;
        }
        for (int side = 0; side < 2; ++side)
        {
            if (side == 1 && ! (ms || stereo))
                break;
            Node& node = side == 0 ? na : nb;
            float* x = side == 0 ? a : b;
            if (! (side == 0 ? runA : runB))
                idleNode (node, n);
            else if (side == 0 ? fastA : fastB)
            {
                Node* const one[1] { &node };
                float* const xs[1] { x };
                float* const work[1] { workA };
                processSettled<1> (one, xs, work, n);
            }
            else
                processNodeChunk (node, x, mixValues, n);
        }
    }
    if (! anyActive)
        return;   // every band passes its input: so does the module

    for (int i = 0; i < n; ++i)
    {
        const float m = mixValues[i];
        if (m <= silentMix)
            continue;
        const float wl = ms ? a[i] + b[i] : a[i];
        const float wr = ms ? a[i] - b[i] : b[i];
        left[i] = dryL[i] * (1.0f - m) + wl * m;
        if (stereo)
            right[i] = dryR[i] * (1.0f - m) + wr * m;
    }
}
