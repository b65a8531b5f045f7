#include "Dsp/MbcEngine.h"
#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
    float finiteOr (float v, float fallback) noexcept { return std::isfinite (v) ? v : fallback; }

    constexpr float kButterworthD = 1.4142271f;

    void sanitise (VyrMultibandComp::Split& s) noexcept
    {
        s.lp1.sanitise();
        s.lp2.sanitise();
        s.hp1.sanitise();
        s.hp2.sanitise();
    }

    void reset (VyrMultibandComp::Split& s) noexcept
    {
        s.lp1.reset();
        s.lp2.reset();
        s.hp1.reset();
        s.hp2.reset();
    }
}

VyrMultibandComp::Comp::Comp()
{
    thresholdRamp.setCurrentAndTargetValue (-18.0f);
    ratioRamp.setCurrentAndTargetValue (2.5f);
    attackRamp.setCurrentAndTargetValue (0.01f);
    releaseRamp.setCurrentAndTargetValue (0.15f);
    kneeRamp.setCurrentAndTargetValue (6.0f);
    makeupRamp.setCurrentAndTargetValue (1.0f);
}

VyrMultibandComp::VyrMultibandComp()
{
    dryRamp.setCurrentAndTargetValue (1.0f);
    wetRamp.setCurrentAndTargetValue (0.0f);
    for (int k = 0; k < kCrossovers; ++k)
        xoverRamp[k].setCurrentAndTargetValue (state.xover[k]);
}

float VyrMultibandComp::topCrossover (double sr) noexcept
{
    return (float) std::min (18000.0, 0.45 * sr);
}

void VyrMultibandComp::prepare (double newSampleRate, int maximumBlockSize)
{
    sampleRate = newSampleRate > 0.0 ? newSampleRate : 44100.0;
    maxBlock = std::max (1, maximumBlockSize);
    scratch.assign ((size_t) maxBlock * 10, 0.0f);

    const int steps32 = vyrDsp::rampSamples (sampleRate, 0.032);
    const int steps25 = vyrDsp::rampSamples (sampleRate, 0.025);
    for (Comp* group : { stereoComp, midComp, sideComp })
    {
        for (int b = 0; b < kMaxBands; ++b)
        {
            auto& c = group[b];
            c.envelope = -80.0f;
            c.gainReduction = 0.0f;
            for (auto* r : { &c.thresholdRamp, &c.ratioRamp, &c.attackRamp, &c.releaseRamp, &c.kneeRamp, &c.makeupRamp })
                r->reset (steps32);   // jumps to the target
            c.coefAtkTime = c.coefRelTime = c.slopeRatio = -1.0f;
        }
    }
    for (auto& g : bandGr)
        g.store (0.0f, std::memory_order_relaxed);
    dryRamp.reset (steps25);
    wetRamp.reset (steps25);
    const float top = topCrossover (sampleRate);
    for (int k = 0; k < kCrossovers; ++k)
    {
        xoverRamp[k].reset (steps32);
        xoverRamp[k].setCurrentAndTargetValue (juce::jlimit (40.0f, top, finiteOr (state.xover[k], vyrMbc::kXoverFallbacks[k])));
    }

    // Factory layout until the next parameter load; the crossover ramps then glide to the user's values.
    state.bandCount = 4;
    for (int b = 0; b < kMaxBands; ++b)
    {
        state.mid[b] = vyrMbc::Band {};
        state.side[b] = vyrMbc::Band {};
    }
    for (int k = 0; k < kCrossovers; ++k)
        state.xover[k] = vyrMbc::defaultCrossover (k, 4);

    bandsInUse = -1;
    msInUse = false;
    for (auto& d : designedXover)
        d = -1.0f;
    clearFilters();
}

void VyrMultibandComp::clearFilters() noexcept
{
    for (int k = 0; k < kCrossovers; ++k)
    {
        reset (stereoSplitL[k]);
        reset (stereoSplitR[k]);
        reset (midSplit[k]);
        reset (sideSplit[k]);
        stereoAllPassL[k].reset();
        stereoAllPassR[k].reset();
        midAllPass[k].reset();
        sideAllPass[k].reset();
    }
}

void VyrMultibandComp::designSection (vyrDsp::PreciseBiquad& first, vyrDsp::PreciseBiquad& second, bool lowPass, double sr, float freq) noexcept
{
    const float K = std::tan (juce::MathConstants<float>::pi * freq / (float) sr);
    vyrDsp::BiquadCoeffs c;
    if (lowPass)
    {
        const float F = 1.0f / K;
        const float b0 = 1.0f / (1.0f + kButterworthD * F + F * F);
        c = { b0, 2.0f * b0, b0, 2.0f * (1.0f - F * F) * b0, (1.0f - kButterworthD * F + F * F) * b0 };
    }
    else
    {
        const float b0 = 1.0f / (1.0f + kButterworthD * K + K * K);
        c = { b0, -2.0f * b0, b0, 2.0f * (K * K - 1.0f) * b0, (1.0f - kButterworthD * K + K * K) * b0 };
    }
    first.c = c;
    second.c = c;
}

void VyrMultibandComp::updateFilters()
{
    const float top = topCrossover (sampleRate);
    for (int k = 0; k < kCrossovers; ++k)
    {
        const float f = juce::jlimit (40.0f, top, xoverRamp[k].getCurrentValue());
        designedXover[k] = f;
        for (Split* s : { &stereoSplitL[k], &stereoSplitR[k], &midSplit[k], &sideSplit[k] })
        {
            designSection (s->lp1, s->lp2, true, sampleRate, f);
            designSection (s->hp1, s->hp2, false, sampleRate, f);
        }
        // The sum of the two outputs of a crossover is this all-pass (same poles, mirrored zeros).
        const auto& p = stereoSplitL[k].hp1.c;
        const vyrDsp::BiquadCoeffs ap { p.a2, p.a1, 1.0f, p.a1, p.a2 };
        stereoAllPassL[k].c = ap;
        stereoAllPassR[k].c = ap;
        midAllPass[k].c = ap;
        sideAllPass[k].c = ap;
    }
}

void VyrMultibandComp::setBand (Comp& comp, const vyrMbc::Band& band, bool inUse, bool soloSet)
{
    const bool muted = ! inUse || (soloSet && ! band.solo);
    const float knee = std::max (finiteOr (band.knee, 6.0f), 0.0f);
    if (inUse && band.on)
    {
        vyrDsp::setTargetIfMoved (comp.thresholdRamp, finiteOr (band.thresh, -18.0f));
        vyrDsp::setTargetIfMoved (comp.ratioRamp, std::max (finiteOr (band.ratio, 1.0f), 1.0f));
        vyrDsp::setTargetIfMoved (comp.kneeRamp, knee);
    }
    else
    {
        vyrDsp::setTargetIfMoved (comp.thresholdRamp, 0.0f);
        vyrDsp::setTargetIfMoved (comp.ratioRamp, 1.0f);
        vyrDsp::setTargetIfMoved (comp.kneeRamp, inUse ? knee : 0.0f);
    }
    vyrDsp::setTargetIfMoved (comp.attackRamp, juce::jlimit (0.001f, 0.3f, finiteOr (band.atk, 0.01f)));
    vyrDsp::setTargetIfMoved (comp.releaseRamp, juce::jlimit (0.01f, 1.0f, finiteOr (band.rel, 0.15f)));
    vyrDsp::setTargetIfMoved (comp.makeupRamp, muted ? 0.0f : vyrDsp::dbToGain (finiteOr (band.makeup, 0.0f)));
}

// One compressor step for a detector magnitude: returns the band's total gain (makeup x reduction).
// The envelope's time constants and the curve's slope follow their settings when those moved.
void VyrMultibandComp::updateTimesAndSlope (Comp& c, float ta, float tr, float ratio) noexcept
{
    vyrDsp::followTimeConstants (c, ta, tr, (float) sampleRate);
    if (ratio != c.slopeRatio)
    {
        c.slopeRatio = ratio;
        c.slope = 1.0f - 1.0f / std::max (ratio, 1.0f);
    }
}

float VyrMultibandComp::bandGain (Comp& c, float detect) noexcept
{
    const float ta = c.attackRamp.getNextValue();
    const float tr = c.releaseRamp.getNextValue();
    const float thr = c.thresholdRamp.getNextValue();
    const float ratio = c.ratioRamp.getNextValue();
    const float knee = c.kneeRamp.getNextValue();
    const float makeup = c.makeupRamp.getNextValue();

    updateTimesAndSlope (c, ta, tr, ratio);

    // Fast logarithm and power: the level within 1.2e-6 dB, the gain within 4e-7 + 2e-8 x |dB|.
    const float level = std::max (vyrDsp::fastGainToDb (detect + 1.0e-8f), -100.0f);
    const float q = level > c.envelope ? c.coefAtk : c.coefRel;
    c.envelope += (1.0f - q) * (level - c.envelope);

    const float over = c.envelope - thr;
    const float half = 0.5f * knee;
    float gr;
    if (over <= -half)
        gr = 0.0f;
    else if (over >= half)
        gr = c.slope * over;
    else
        gr = c.slope * (over + half) * (over + half) / (2.0f * knee);
    c.gainReduction = gr;

    const float g = gr >= 100.0f ? 0.0f : (gr > 0.0f ? vyrDsp::fastDbToGain (-gr) : 1.0f);
    return makeup * g;
}

float VyrMultibandComp::compressMono (Comp& comp, float x) noexcept
{
    return bandGain (comp, std::abs (x)) * x;
}

void VyrMultibandComp::compressStereo (Comp& comp, float& left, float& right) noexcept
{
    const float g = bandGain (comp, std::max (std::abs (left), std::abs (right)));
    left *= g;
    right *= g;
}

void VyrMultibandComp::process (juce::AudioBuffer<float>& buffer)
{
    const int channels = std::min (buffer.getNumChannels(), 2);
    const int numSamples = buffer.getNumSamples();
    if (channels <= 0 || maxBlock <= 0)
        return;

    const float w0 = state.enabled ? juce::jlimit (0.0f, 1.0f, finiteOr (state.mix, 100.0f) / 100.0f) : 0.0f;
    const float makeup = vyrDsp::dbToGain (finiteOr (state.globalMakeup, 0.0f));
    vyrDsp::setTargetIfMoved (dryRamp, 1.0f - w0);
    vyrDsp::setTargetIfMoved (wetRamp, w0 * makeup);
    const bool active = state.enabled || wetRamp.isSmoothing() || wetRamp.getCurrentValue() > 1.0e-6f || dryRamp.isSmoothing();

    // Crossovers glide per block: each block uses the value its ramp reaches at the block's end.
    const float top = topCrossover (sampleRate);
    for (int k = 0; k < kCrossovers; ++k)
    {
        vyrDsp::setTargetIfMoved (xoverRamp[k], juce::jlimit (40.0f, top, finiteOr (state.xover[k], vyrMbc::kXoverFallbacks[k])));
        xoverRamp[k].skip (std::max (numSamples, 1));
    }

    const int bands = juce::jlimit (1, kMaxBands, state.bandCount);
    const bool ms = state.msMode;
    bool redesign = bands != bandsInUse || ms != msInUse;
    for (int k = 0; k < bands - 1 && ! redesign; ++k)
        redesign = std::abs (juce::jlimit (40.0f, top, xoverRamp[k].getCurrentValue()) - designedXover[k]) > 0.25f;
    if (redesign)
    {
        const bool layoutChanged = bands != bandsInUse || ms != msInUse;
        updateFilters();
        if (layoutChanged)
        {
            clearFilters();
            bandsInUse = bands;
            msInUse = ms;
        }
    }

    bool midSolo = false, sideSolo = false;
    for (int b = 0; b < bands; ++b)
    {
        midSolo = midSolo || state.mid[b].solo;
        sideSolo = sideSolo || state.side[b].solo;
    }
    for (int b = 0; b < kMaxBands; ++b)
    {
        const bool inRange = active && b < bands;
        setBand (stereoComp[b], state.mid[b], inRange && ! ms, midSolo);
        setBand (midComp[b], state.mid[b], inRange && ms, midSolo);
        setBand (sideComp[b], state.side[b], inRange && ms, sideSolo);
    }

    // Off and faded out: the output is the input, and nothing else runs.
    if (! active && ! dryRamp.isSmoothing() && ! wetRamp.isSmoothing() && dryRamp.getCurrentValue() == 1.0f
        && wetRamp.getCurrentValue() == 0.0f)
    {
        for (auto& gr : bandGr)
            gr.store (0.0f, std::memory_order_release);
        return;
    }

    // A non-finite input must not stay in the filters or the detectors.
    for (int k = 0; k < kCrossovers; ++k)
    {
        for (Split* s : { &stereoSplitL[k], &stereoSplitR[k], &midSplit[k], &sideSplit[k] })
            sanitise (*s);
        for (vyrDsp::PreciseBiquad* a : { &stereoAllPassL[k], &stereoAllPassR[k], &midAllPass[k], &sideAllPass[k] })
            a->sanitise();
    }
    for (Comp* group : { stereoComp, midComp, sideComp })
        for (int b = 0; b < kMaxBands; ++b)
            if (! std::isfinite (group[b].envelope))
                group[b].envelope = -80.0f;

    const bool stereo = channels > 1;
    float* left = buffer.getWritePointer (0);
    float* right = stereo ? buffer.getWritePointer (1) : nullptr;
    for (int start = 0; start < numSamples; start += maxBlock)
    {
        const int n = std::min (maxBlock, numSamples - start);
        float* dryL = scratch.data();
        float* dryR = dryL + maxBlock;
        float* sumL = dryR + maxBlock;
        float* sumR = sumL + maxBlock;
        float* l = left + start;
        float* r = stereo ? right + start : l;

        std::copy (l, l + n, dryL);
        std::copy (r, r + n, dryR);

        if (! active)
        {
            std::fill (sumL, sumL + n, 0.0f);
            std::fill (sumR, sumR + n, 0.0f);
        }
        else if (! ms)
        {
            splitStereo (dryL, dryR, n, stereo, sumL, sumR);
        }
        else
        {
            float* mid = scratch.data() + 6 * (size_t) maxBlock;
            float* side = mid + maxBlock;
            for (int i = 0; i < n; ++i)
            {
                mid[i] = (dryL[i] + dryR[i]) * 0.5f;
                side[i] = (dryL[i] - dryR[i]) * 0.5f;
            }
            splitMidSide (mid, side, n, sumL, sumR);
            for (int i = 0; i < n; ++i)
            {
                const float m = sumL[i], s = sumR[i];
                sumL[i] = m + s;
                sumR[i] = m - s;
            }
        }

        for (int i = 0; i < n; ++i)
        {
            const float d = dryRamp.getNextValue();
            const float w = wetRamp.getNextValue();
            l[i] = w * sumL[i] + d * dryL[i];
            if (stereo)
                r[i] = w * sumR[i] + d * dryR[i];
        }
    }

    for (int b = 0; b < kMaxBands; ++b)
    {
        float gr = 0.0f;
        if (active && b < bands)
            gr = ! ms ? stereoComp[b].gainReduction
                      : (state.msChannel == 1 ? sideComp[b].gainReduction : midComp[b].gainReduction);
        bandGr[b].store (std::isfinite (gr) ? gr : 0.0f, std::memory_order_release);
    }
}

namespace
{
    // One double-state section step on locals, returning the float the section hands on. The
    // output is put into the state updates before they are formed, so the recursion through s1 is
    // one multiply and one subtraction deep instead of three operations (same values to the last
    // bits of a double); the products of coefficients leave the loop.
    struct SectionRun
    {
        double b0, c1, c2, a1, a2, s1, s2;

        explicit SectionRun (const vyrDsp::PreciseBiquad& f) noexcept
            : b0 (f.c.b0), c1 ((double) f.c.b1 - (double) f.c.a1 * f.c.b0), c2 ((double) f.c.b2 - (double) f.c.a2 * f.c.b0),
              a1 (f.c.a1), a2 (f.c.a2), s1 (f.s1), s2 (f.s2) {}

        inline float step (float x) noexcept
        {
            const double in = x;
            const double y = b0 * in + s1;
            const double next = (c1 * in + s2) - a1 * s1;
            s2 = c2 * in - a2 * s1;
            s1 = next;
            return (float) y;
        }

        void store (vyrDsp::PreciseBiquad& f) const noexcept
        {
            f.s1 = s1;
            f.s2 = s2;
        }
    };

    // One crossover over a chunk for one signal, or for two independent signals (mid and side, left
    // and right) in the same pass so that their recursions overlap: `low` gets the low-pass pair's
    // output and the signal itself is replaced by the high-pass pair's.
    void splitChunk (VyrMultibandComp::Split& s, float* x, float* low, int n) noexcept
    {
        SectionRun lp1 (s.lp1), lp2 (s.lp2), hp1 (s.hp1), hp2 (s.hp2);
        for (int i = 0; i < n; ++i)
        {
            const float in = x[i];
            low[i] = lp2.step (lp1.step (in));
            x[i] = hp2.step (hp1.step (in));
        }
        lp1.store (s.lp1);
        lp2.store (s.lp2);
        hp1.store (s.hp1);
        hp2.store (s.hp2);
    }

    // Two sections with the same kind of work side by side in one vector of two doubles (mid and
    // side, or left and right); element by element the same operations as SectionRun, so the same
    // values bit for bit.
    typedef double DoublePair __attribute__ ((vector_size (16)));
    typedef float FloatPair __attribute__ ((vector_size (8)));

    struct SectionPair
    {
        DoublePair b0, c1, c2, a1, a2, s1, s2;

        SectionPair (const vyrDsp::PreciseBiquad& fa, const vyrDsp::PreciseBiquad& fb) noexcept
        {
            const SectionRun ra (fa), rb (fb);
            b0 = DoublePair { ra.b0, rb.b0 };
            c1 = DoublePair { ra.c1, rb.c1 };
            c2 = DoublePair { ra.c2, rb.c2 };
            a1 = DoublePair { ra.a1, rb.a1 };
            a2 = DoublePair { ra.a2, rb.a2 };
            s1 = DoublePair { ra.s1, rb.s1 };
            s2 = DoublePair { ra.s2, rb.s2 };
        }

        // Takes and returns floats, as SectionRun does.
        inline FloatPair step (FloatPair x) noexcept
        {
            const DoublePair in = __builtin_convertvector (x, DoublePair);
            const DoublePair y = b0 * in + s1;
            const DoublePair next = (c1 * in + s2) - a1 * s1;
            s2 = c2 * in - a2 * s1;
            s1 = next;
            return __builtin_convertvector (y, FloatPair);
        }

        void store (vyrDsp::PreciseBiquad& fa, vyrDsp::PreciseBiquad& fb) const noexcept
        {
            fa.s1 = s1[0];
            fa.s2 = s2[0];
            fb.s1 = s1[1];
            fb.s2 = s2[1];
        }
    };

    void splitChunkPair (VyrMultibandComp::Split& sa, VyrMultibandComp::Split& sb, float* a, float* b, float* lowA, float* lowB,
                         int n) noexcept
    {
        SectionPair lp1 (sa.lp1, sb.lp1), lp2 (sa.lp2, sb.lp2), hp1 (sa.hp1, sb.hp1), hp2 (sa.hp2, sb.hp2);
        for (int i = 0; i < n; ++i)
        {
            const FloatPair x { a[i], b[i] };
            const FloatPair low = lp2.step (lp1.step (x));
            const FloatPair high = hp2.step (hp1.step (x));
            lowA[i] = low[0];
            lowB[i] = low[1];
            a[i] = high[0];
            b[i] = high[1];
        }
        lp1.store (sa.lp1, sb.lp1);
        lp2.store (sa.lp2, sb.lp2);
        hp1.store (sa.hp1, sb.hp1);
        hp2.store (sa.hp2, sb.hp2);
    }

    // sum = allPass (sum) + band over a chunk, for one or two signals.
    void allPassAdd (vyrDsp::PreciseBiquad& f, float* sum, const float* band, int n) noexcept
    {
        SectionRun ap (f);
        for (int i = 0; i < n; ++i)
            sum[i] = ap.step (sum[i]) + band[i];
        ap.store (f);
    }

    void allPassAddPair (vyrDsp::PreciseBiquad& fa, vyrDsp::PreciseBiquad& fb, float* sumA, float* sumB, const float* bandA,
                         const float* bandB, int n) noexcept
    {
        SectionPair ap (fa, fb);
        for (int i = 0; i < n; ++i)
        {
            const FloatPair y = ap.step (FloatPair { sumA[i], sumB[i] });
            sumA[i] = y[0] + bandA[i];
            sumB[i] = y[1] + bandB[i];
        }
        ap.store (fa, fb);
    }

    // Detector magnitudes to levels in dB, in place (fast logarithm: within 1.2e-6 dB).
    VYR_WIDE_VECTOR_CLONES void levelsInPlace (float* v, int n) noexcept
    {
        for (int i = 0; i < n; ++i)
            v[i] = std::max (vyrDsp::fastGainToDb (v[i] + 1.0e-8f), -100.0f);
    }

    // Settled settings of one band, worked out once per chunk.
    struct Curve
    {
        float thr, half, knee, slope, makeup;
        float atkStep, relStep;   // 1 - the envelope coefficients
    };

    // Envelopes in dB to the band's total gain (makeup x reduction), in place: the soft knee and the
    // fast power (within 4e-7 + 2e-8 x |dB|), the same steps a sample at a time would take.
    void gainsInPlace (float* v, int n, Curve c) noexcept
    {
        for (int i = 0; i < n; ++i)
        {
            // Every branch is worked out and one picked, so the loop has no control flow.
            const float over = v[i] - c.thr;
            const float inKnee = c.slope * (over + c.half) * (over + c.half) / (2.0f * c.knee);
            const float gr = over <= -c.half ? 0.0f : (over >= c.half ? c.slope * over : inKnee);
            const float power = -gr * 0.16609640f;   // fastDbToGain (-gr), NaN counting as -126 as there
            const float reduced = vyrDsp::exp2NonPositive (power > -126.0f ? power : -126.0f);
            const float g = gr >= 100.0f ? 0.0f : (gr > 0.0f ? reduced : 1.0f);
            v[i] = c.makeup * g;
        }
    }

    float kneeReduction (const Curve& c, float envelope) noexcept
    {
        const float over = envelope - c.thr;
        if (over <= -c.half)
            return 0.0f;
        if (over >= c.half)
            return c.slope * over;
        return c.slope * (over + c.half) * (over + c.half) / (2.0f * c.knee);
    }
}

bool VyrMultibandComp::rampsSettled (const Comp& c) noexcept
{
    return ! (c.attackRamp.isSmoothing() || c.releaseRamp.isSmoothing() || c.thresholdRamp.isSmoothing()
              || c.ratioRamp.isSmoothing() || c.kneeRamp.isSmoothing() || c.makeupRamp.isSmoothing());
}

// The gains of one band over a chunk, from its detector magnitudes in `v` (replaced by the gains).
// While a setting ramps every sample takes its own step; once they rest the work runs in passes: the
// levels and the gain curve over the whole chunk (they vectorise), and between them only the
// envelope's recursion a sample at a time, for one band or two side by side.
void VyrMultibandComp::bandGains (Comp* a, float* va, Comp* b, float* vb, int n) noexcept
{
    if (! rampsSettled (*a) || (b != nullptr && ! rampsSettled (*b)))
    {
        for (int i = 0; i < n; ++i)
            va[i] = bandGain (*a, va[i]);
        if (b != nullptr)
            for (int i = 0; i < n; ++i)
                vb[i] = bandGain (*b, vb[i]);
        return;
    }

    const auto curveOf = [this] (Comp& c)
    {
        updateTimesAndSlope (c, c.attackRamp.getTargetValue(), c.releaseRamp.getTargetValue(), c.ratioRamp.getTargetValue());
        const float knee = c.kneeRamp.getTargetValue();
        return Curve { c.thresholdRamp.getTargetValue(), 0.5f * knee, knee, c.slope, c.makeupRamp.getTargetValue(),
                       1.0f - c.coefAtk, 1.0f - c.coefRel };
    };

    const Curve ca = curveOf (*a);
    levelsInPlace (va, n);
    if (b == nullptr)
    {
        float e = a->envelope;
        for (int i = 0; i < n; ++i)
        {
            const float level = va[i];
            e += (level > e ? ca.atkStep : ca.relStep) * (level - e);
            va[i] = e;
        }
        a->envelope = e;
    }
    else
    {
        const Curve cb = curveOf (*b);
        levelsInPlace (vb, n);
        float ea = a->envelope, eb = b->envelope;
        for (int i = 0; i < n; ++i)
        {
            const float la = va[i], lb = vb[i];
            ea += (la > ea ? ca.atkStep : ca.relStep) * (la - ea);
            eb += (lb > eb ? cb.atkStep : cb.relStep) * (lb - eb);
            va[i] = ea;
            vb[i] = eb;
        }
        a->envelope = ea;
        b->envelope = eb;
        b->gainReduction = kneeReduction (cb, eb);
        gainsInPlace (vb, n, cb);
    }
    a->gainReduction = kneeReduction (ca, a->envelope);
    gainsInPlace (va, n, ca);
}

// Stereo mode: the pair is split band by band; each band is compressed with one detector fed by the
// louder channel and added to the running sum, which first passes the all-pass of the crossover that
// split the band off, so every band ends up with the same phase. `pair` false: one channel, whose
// right-hand side equals the left (only the left is computed).
void VyrMultibandComp::splitStereo (float* l, float* r, int n, bool pair, float* sumL, float* sumR)
{
    float* restL = scratch.data() + 4 * (size_t) maxBlock;
    float* restR = restL + maxBlock;
    float* bandL = restR + maxBlock;
    float* bandR = bandL + maxBlock;
    float* gains = scratch.data() + 8 * (size_t) maxBlock;
    std::copy (l, l + n, restL);
    std::copy (r, r + n, restR);

    // Compresses the band in bandL (and bandR) with one detector.
    const auto compress = [&] (Comp& comp, float* a, float* b)
    {
        if (pair)
            for (int i = 0; i < n; ++i)
                gains[i] = std::max (std::abs (a[i]), std::abs (b[i]));
        else
            for (int i = 0; i < n; ++i)
                gains[i] = std::abs (a[i]);
        bandGains (&comp, gains, nullptr, nullptr, n);
        for (int i = 0; i < n; ++i)
            a[i] *= gains[i];
        if (pair)
            for (int i = 0; i < n; ++i)
                b[i] *= gains[i];
    };

    const int bands = bandsInUse;
    for (int k = 0; k < bands - 1; ++k)
    {
        if (pair)
            splitChunkPair (stereoSplitL[k], stereoSplitR[k], restL, restR, bandL, bandR, n);
        else
            splitChunk (stereoSplitL[k], restL, bandL, n);
        compress (stereoComp[k], bandL, bandR);

        if (k == 0)
        {
            std::copy (bandL, bandL + n, sumL);
            if (pair)
                std::copy (bandR, bandR + n, sumR);
        }
        else if (pair)
            allPassAddPair (stereoAllPassL[k], stereoAllPassR[k], sumL, sumR, bandL, bandR, n);
        else
            allPassAdd (stereoAllPassL[k], sumL, bandL, n);
    }

    // The remaining (top) band.
    compress (stereoComp[bands - 1], restL, restR);
    for (int i = 0; i < n; ++i)
        sumL[i] = bands > 1 ? sumL[i] + restL[i] : restL[i];
    if (pair)
        for (int i = 0; i < n; ++i)
            sumR[i] = bands > 1 ? sumR[i] + restR[i] : restR[i];
    else
        std::copy (sumL, sumL + n, sumR);
}

// M/S mode: mid and side split and compressed band by band into `sumM` and `sumS`, the two paths
// side by side in each pass. The rest is split in place in `mid` and `side`.
void VyrMultibandComp::splitMidSide (float* mid, float* side, int n, float* sumM, float* sumS)
{
    float* bandM = scratch.data() + 4 * (size_t) maxBlock;
    float* bandS = bandM + maxBlock;
    float* gainM = scratch.data() + 8 * (size_t) maxBlock;
    float* gainS = gainM + maxBlock;

    // Compresses a and b in place, each with its own band's detector.
    const auto compress = [&] (Comp& ca, Comp& cb, float* a, float* b)
    {
        for (int i = 0; i < n; ++i)
        {
            gainM[i] = std::abs (a[i]);
            gainS[i] = std::abs (b[i]);
        }
        bandGains (&ca, gainM, &cb, gainS, n);
        for (int i = 0; i < n; ++i)
        {
            a[i] *= gainM[i];
            b[i] *= gainS[i];
        }
    };

    const int bands = bandsInUse;
    for (int k = 0; k < bands - 1; ++k)
    {
        splitChunkPair (midSplit[k], sideSplit[k], mid, side, bandM, bandS, n);
        compress (midComp[k], sideComp[k], bandM, bandS);
        if (k == 0)
        {
            std::copy (bandM, bandM + n, sumM);
            std::copy (bandS, bandS + n, sumS);
        }
        else
            allPassAddPair (midAllPass[k], sideAllPass[k], sumM, sumS, bandM, bandS, n);
    }
    compress (midComp[bands - 1], sideComp[bands - 1], mid, side);
    for (int i = 0; i < n; ++i)
    {
        sumM[i] = bands > 1 ? sumM[i] + mid[i] : mid[i];
        sumS[i] = bands > 1 ? sumS[i] + side[i] : side[i];
    }
}
