#include "Dsp/ReverbEngine.h"

#if defined(__SSE2__)
 #include <xmmintrin.h>
#endif

// The reverb's run kernels index their lines with whole vectors of integers, which takes 256-bit integer
// operations: on x86-64 Linux an AVX2 copy is built next to the baseline one and picked once at load
// time. Plain multiplies and adds only (no fused multiply-add), so both copies give the same values.
#if defined(__x86_64__) && defined(__GNUC__) && defined(__linux__) && ! defined(__clang__)
 #define VYR_REVERB_KERNEL_CLONES __attribute__ ((target_clones ("avx2", "default")))
#else
 #define VYR_REVERB_KERNEL_CLONES
#endif

namespace
{
    constexpr float kBaseDelays[8] = { 0.0233f, 0.0297f, 0.0371f, 0.0417f, 0.0449f, 0.0529f, 0.0631f, 0.0713f };
    constexpr float kInject[8] = { 1.0f, 0.72f, 0.95f, 0.8f, 0.88f, 1.0f, 0.76f, 0.92f };
    constexpr float kModStep[8] = { 0.0f, 0.00004f, 0.00008f, 0.0f, 0.00004f, 0.00008f, 0.0f, 0.00004f };
    constexpr double kLfoHz[6] = { 0.11, 0.17, 0.23, 0.29, 0.37, 0.43 };
    constexpr int kLfoOfLine[8] = { 0, 1, 2, 3, 4, 5, 0, 1 };

    struct TapShape { int taps; float firstTime, lastTime, firstGain, lastGain, offset; };
    constexpr TapShape kShapes[3] = {
        { 7, 0.005f, 0.044f, 0.6f, 0.3f, 0.0f },         // Square
        { 11, 0.006f, 0.054f, 0.54f, 0.2f, 0.00035f },   // Curved
        { 14, 0.007f, 0.064f, 0.46f, 0.14f, 0.0008f },   // Round
    };

    // Clamp that maps NaN to the low end, so a corrupt setting can never reach a delay index.
    inline float clampSafe (float v, float lo, float hi) noexcept
    {
        return v >= lo ? (v <= hi ? v : hi) : lo;
    }

    inline float finiteOr (float v, float fallback) noexcept
    {
        return std::isfinite (v) ? v : fallback;
    }

    // What enters the wet path: non-finite samples become silence and absurd levels are held at
    // +120 dBFS, so nothing the host sends can drive the lines or filters out of range.
    inline float wetInput (float x) noexcept
    {
        constexpr float kMax = 1.0e6f;
        if (std::fabs (x) <= kMax)
            return x;
        return std::isfinite (x) ? (x > 0.0f ? kMax : -kMax) : 0.0f;
    }

    inline float finiteOrZero (float x) noexcept
    {
        return std::fabs (x) <= std::numeric_limits<float>::max() ? x : 0.0f;
    }

    // Angle of an equal-power fade after `count` of its samples.
    inline float fadeTheta (int count, float step) noexcept
    {
        return juce::MathConstants<float>::halfPi * ((float) count * step);
    }

    // The tank's three filters (damping low-pass, low high-pass, low shelf) over a run of sample-major
    // frames of sixteen lanes, in place; `state` holds s1, s2 of each filter in turn, sixteen lanes each.
    VYR_WIDE_VECTOR_CLONES void tankFilters (float* frames, int count, float* state, const vyrDsp::BiquadCoeffs& f0,
                                             const vyrDsp::BiquadCoeffs& f1, const vyrDsp::BiquadCoeffs& f2) noexcept
    {
        constexpr int L = 16;
        alignas (32) float s[6][L];
        std::memcpy (s, state, sizeof (s));
        const vyrDsp::BiquadCoeffs* cs[3] = { &f0, &f1, &f2 };
        for (int i = 0; i < count; ++i)
        {
            float* x = frames + i * L;
            for (int f = 0; f < 3; ++f)
            {
                const float b0 = cs[f]->b0, b1 = cs[f]->b1, b2 = cs[f]->b2, a1 = cs[f]->a1, a2 = cs[f]->a2;
                float* s1 = s[2 * f];
                float* s2 = s[2 * f + 1];
                for (int k = 0; k < L; ++k)
                {
                    const float in = x[k];
                    const float y = b0 * in + s1[k];
                    s1[k] = b1 * in - a1 * y + s2[k];
                    s2[k] = b2 * in - a2 * y;
                    x[k] = y;
                }
            }
        }
        std::memcpy (state, s, sizeof (s));
    }

    // One line's output over a run of `count` samples (at most 64): the delay a + lfo x b per sample
    // (clamped to 1..maxLine), read with linear interpolation from a ring of `size` whose next write goes
    // to pos0. Every read lies before pos0 (count <= the shortest delay): the run reads what earlier runs
    // wrote.
    inline __attribute__ ((always_inline)) void readLine (const float* line, int size, int pos0, float a, float b, const float* lfo,
                                          int count, float maxLine, float* out) noexcept
    {
        constexpr int kMax = 64;
        alignas (32) int whole[kMax];
        alignas (32) float frac[kMax];
        int minWhole = std::numeric_limits<int>::max(), maxWhole = 0;
        for (int i = 0; i < count; ++i)
        {
            const float d = std::min (std::max (a + lfo[i] * b, 1.0f), maxLine);
            const int w = (int) d;
            whole[i] = w;
            frac[i] = d - (float) w;
            minWhole = std::min (minWhole, w);
            maxWhole = std::max (maxWhole, w);
        }

        // Oldest index read is pos0 - maxWhole - 1, newest pos0 + count - 1 - minWhole.
        const int oldest = pos0 - maxWhole - 1;
        const int newest = pos0 + count - 1 - minWhole;
        if (oldest >= 0 || newest < 0)
        {
            const int shift = oldest >= 0 ? pos0 : pos0 + size; // whole run on one side of the wrap
            if (minWhole == maxWhole)
            {
                // The usual case: the modulation moves far less than a sample over a run, so the run reads
                // one contiguous span.
                const float* h = line + (shift - minWhole);
                for (int i = 0; i < count; ++i)
                    out[i] = h[i] + frac[i] * (h[i - 1] - h[i]);
            }
            else
            {
                for (int i = 0; i < count; ++i)
                {
                    const float* h = line + (shift + i - whole[i]);
                    out[i] = h[0] + frac[i] * (h[-1] - h[0]);
                }
            }
            return;
        }

        for (int i = 0; i < count; ++i)
        {
            int i1 = pos0 + i - whole[i];
            i1 += i1 < 0 ? size : 0;
            int i2 = i1 - 1;
            i2 += i2 < 0 ? size : 0;
            out[i] = line[i1] + frac[i] * (line[i2] - line[i1]);
        }
    }

    // All sixteen lines over a run into out[k][0..count): lane k reads at a[k] + lfo x b[k] with the sine
    // lfoRows[k]; while the room size fades, also at second[k] + lfo x b[k], mixed with the weights w0, w1.
    template <int Run>
    VYR_REVERB_KERNEL_CLONES void readLines (const float* data, int size, int pos0, const float* a, const float* second,
                                             const float* b, const float* const* lfoRows, const float* w0,
                                             const float* w1, bool fading, int count, float maxLine,
                                             float (*out)[Run]) noexcept
    {
        for (int k = 0; k < 16; ++k)
        {
            const float* line = data + (size_t) k * (size_t) size;
            float* r = out[k];
            readLine (line, size, pos0, a[k], b[k], lfoRows[k], count, maxLine, r);
            if (fading)
            {
                alignas (32) float other[Run];
                readLine (line, size, pos0, second[k], b[k], lfoRows[k], count, maxLine, other);
                for (int i = 0; i < count; ++i)
                    r[i] = w0[i] * r[i] + w1[i] * other[i];
            }
        }
    }

    // One early-reflection tap while its spacing glides: adds g x the interpolated history at the delay
    // (pattern x spacing[i] + offset) x rate to er[i] over `count` samples (at most 128). The history is
    // mirrored (positions p and p + size hold the same sample) and the chunk's first sample sits at
    // startPos.
    VYR_REVERB_KERNEL_CLONES void glidingTap (const float* line, int size, int startPos, float pattern, float offset,
                                            float g, const float* spacing, int count, float rate, float maxHist,
                                            float* er) noexcept
    {
        constexpr int kMax = 128;
        alignas (32) int index[kMax];
        alignas (32) float frac[kMax], pairs[2 * kMax]; // older, newer sample of each read
        const int wrapAt = size - startPos; // samples before the position wraps
        for (int i = 0; i < count; ++i)
        {
            const float d = std::min (std::max (std::max (pattern * spacing[i] + offset, 0.0f) * rate, 1.0f), maxHist);
            const int w = (int) d;
            frac[i] = d - (float) w;
            index[i] = startPos + i + (i >= wrapAt ? 0 : size) - w;
        }
        for (int i = 0; i < count; ++i)
            std::memcpy (pairs + 2 * i, line + index[i] - 1, 2 * sizeof (float)); // one 64-bit load
        for (int i = 0; i < count; ++i)
        {
            const float older = pairs[2 * i], newer = pairs[2 * i + 1];
            er[i] += g * (newer + frac[i] * (older - newer));
        }
    }

    // A smoother's next `count` values; a settled one is its target throughout.
    inline void smoothedRun (vyrDsp::Smoothed& s, float* out, int count) noexcept
    {
        if (! s.isSmoothing())
        {
            std::fill (out, out + count, s.getTargetValue());
            return;
        }
        for (int i = 0; i < count; ++i)
            out[i] = s.getNextValue();
    }

    // Transposes between sixteen lane rows of a run (stride Run) and the run's frames of sixteen lanes.
    template <int Run>
    inline void lanesToFrames (const float (*lanes)[Run], float (*frames)[16], int count) noexcept
    {
        int i = 0;
#if defined(__SSE2__)
        for (; i + 4 <= count; i += 4)
            for (int k = 0; k < 16; k += 4)
            {
                __m128 r0 = _mm_loadu_ps (&lanes[k][i]), r1 = _mm_loadu_ps (&lanes[k + 1][i]);
                __m128 r2 = _mm_loadu_ps (&lanes[k + 2][i]), r3 = _mm_loadu_ps (&lanes[k + 3][i]);
                _MM_TRANSPOSE4_PS (r0, r1, r2, r3);
                _mm_storeu_ps (&frames[i][k], r0);
                _mm_storeu_ps (&frames[i + 1][k], r1);
                _mm_storeu_ps (&frames[i + 2][k], r2);
                _mm_storeu_ps (&frames[i + 3][k], r3);
            }
#endif
        for (; i < count; ++i)
            for (int k = 0; k < 16; ++k)
                frames[i][k] = lanes[k][i];
    }

    template <int Run>
    inline void framesToLanes (const float (*frames)[16], float (*lanes)[Run], int count) noexcept
    {
        int i = 0;
#if defined(__SSE2__)
        for (; i + 4 <= count; i += 4)
            for (int k = 0; k < 16; k += 4)
            {
                __m128 r0 = _mm_loadu_ps (&frames[i][k]), r1 = _mm_loadu_ps (&frames[i + 1][k]);
                __m128 r2 = _mm_loadu_ps (&frames[i + 2][k]), r3 = _mm_loadu_ps (&frames[i + 3][k]);
                _MM_TRANSPOSE4_PS (r0, r1, r2, r3);
                _mm_storeu_ps (&lanes[k][i], r0);
                _mm_storeu_ps (&lanes[k + 1][i], r1);
                _mm_storeu_ps (&lanes[k + 2][i], r2);
                _mm_storeu_ps (&lanes[k + 3][i], r3);
            }
#endif
        for (; i < count; ++i)
            for (int k = 0; k < 16; ++k)
                lanes[k][i] = frames[i][k];
    }

    inline bool smootherAtZero (const vyrDsp::Smoothed& s) noexcept
    {
        return ! s.isSmoothing() && s.getCurrentValue() == 0.0f;
    }
}

//==============================================================================
void VyrReverbEngine::CrossfadedPair::reset() noexcept
{
    value[0] = value[1] = 0.0f;
    current = 0;
    from = 0;
    to = 1;
    fading = false;
    initialised = false;
    fadeCount = 0;
    fadeLength = 1;
    fadeStep = 1.0f;
}

void VyrReverbEngine::CrossfadedPair::offer (float v, float threshold, int length) noexcept
{
    if (! initialised)
    {
        value[0] = value[1] = v;
        current = 0;
        initialised = true;
        return;
    }

    if (std::abs (v - value[current]) <= threshold)
        return;

    if (fading)
    {
        value[to] = v;
        current = to;
        return;
    }

    value[1 - current] = v;
    from = current;
    to = 1 - current;
    fadeCount = 0;
    fadeLength = juce::jmax (1, length);
    fadeStep = 1.0f / (float) fadeLength;
    fading = true;
    current = to;
}

inline void VyrReverbEngine::CrossfadedPair::tick (float& w0, float& w1, const FadeTable& table) noexcept
{
    if (! fading)
    {
        w0 = current == 0 ? 1.0f : 0.0f;
        w1 = 1.0f - w0;
        return;
    }

    float wFrom, wTo;
    if (fadeLength == table.length)
    {
        wFrom = table.cosine[(size_t) fadeCount];
        wTo = table.sine[(size_t) fadeCount];
    }
    else
    {
        const float theta = fadeTheta (fadeCount, fadeStep);
        wFrom = std::cos (theta);
        wTo = std::sin (theta);
    }
    w0 = from == 0 ? wFrom : wTo;
    w1 = from == 0 ? wTo : wFrom;

    if (++fadeCount >= fadeLength)
        fading = false;
}

void VyrReverbEngine::CrossfadedPair::skip (int numSamples) noexcept
{
    if (fading)
    {
        fadeCount += numSamples;
        if (fadeCount >= fadeLength)
            fading = false;
    }
}

//==============================================================================
void VyrReverbEngine::LfoBank::beginBlock (const double* increments) noexcept
{
    for (int k = 0; k < kLfos; ++k)
    {
        inc[k] = std::isfinite (increments[k]) ? increments[k] : 0.0;
        s[k] = std::sin (phase[k]);
        c[k] = std::cos (phase[k]);
        if (inc[k] != tableInc[k]) // a new rate: once per prepare
        {
            tableInc[k] = inc[k];
            for (int m = 0; m <= kRun; ++m)
            {
                rotC[k][m] = std::cos ((double) m * inc[k]);
                rotS[k][m] = std::sin ((double) m * inc[k]);
            }
        }
    }
}

void VyrReverbEngine::LfoBank::endBlock (int numSamples) noexcept
{
    constexpr double twoPi = juce::MathConstants<double>::twoPi;
    for (int k = 0; k < kLfos; ++k)
    {
        double p = std::fmod (phase[k] + inc[k] * (double) numSamples, twoPi);
        if (! (p >= 0.0)) // negative, or NaN from a corrupted phase
            p = std::isfinite (p) ? p + twoPi : 0.0;
        phase[k] = p;
    }
}

// Each value is within about 1e-15 of the sample-by-sample rotation (double rounding of one rotation
// instead of i of them), far below the float the lines read.
void VyrReverbEngine::LfoBank::run (float (*out)[kRun], int count) noexcept
{
    for (int k = 0; k < kLfos; ++k)
    {
        const double s0 = s[k], c0 = c[k];
        const double* rc = rotC[k] + 1;
        const double* rs = rotS[k] + 1;
        float* o = out[k];
        for (int i = 0; i < count; ++i)
            o[i] = (float) (s0 * rc[i] + c0 * rs[i]);
        s[k] = s0 * rotC[k][count] + c0 * rotS[k][count];
        c[k] = c0 * rotC[k][count] - s0 * rotS[k][count];
    }
}

//==============================================================================
void VyrReverbEngine::TankFilterState::reset() noexcept
{
    for (auto& row : s)
        std::fill (std::begin (row), std::end (row), 0.0f);
}

void VyrReverbEngine::TankFilterState::sanitise() noexcept
{
    for (int f = 0; f < 3; ++f)
    {
        float acc = 0.0f;
        for (int r = 2 * f; r < 2 * f + 2; ++r)
            for (int i = 0; i < kLanes; ++i)
                acc += s[r][i] * 0.0f; // stays 0 unless some state is NaN or infinite
        if (acc != 0.0f)
            for (int r = 2 * f; r < 2 * f + 2; ++r)
                std::fill (std::begin (s[r]), std::end (s[r]), 0.0f);
    }
}

float VyrReverbEngine::TankFilterState::maxAbs() const noexcept
{
    float m = 0.0f;
    for (const auto& row : s)
        for (float v : row)
            m = std::fmax (m, std::abs (v));
    return m;
}

//==============================================================================
VyrReverbEngine::VyrReverbEngine()
{
    for (int i = 0; i < kLines; ++i)
    {
        baseDelay[i] = kBaseDelays[i];
        baseDelay[i + kLines] = kBaseDelays[i] * 1.025f;
        inject[i] = inject[i + kLines] = kInject[i];
    }

    mixSmooth.setCurrentAndTargetValue (0.0f);
    erSizeSmooth.setCurrentAndTargetValue (0.5f);
    feedbackSmooth.setCurrentAndTargetValue (0.0f);
    diffuseSmooth.setCurrentAndTargetValue (0.78f);
    earlySmooth.setCurrentAndTargetValue (0.55f);
    lateSmooth.setCurrentAndTargetValue (1.18f);
    inputSmooth.setCurrentAndTargetValue (0.0f);
    dampSmooth.setCurrentAndTargetValue (12000.0f);
    lowFreqSmooth.setCurrentAndTargetValue (90.0f);
    shelfFreqSmooth.setCurrentAndTargetValue (260.0f);
    shelfGainSmooth.setCurrentAndTargetValue (-3.0f);
    lpfSmooth.setCurrentAndTargetValue (18000.0f);
    lowCutSmooth.setCurrentAndTargetValue (20.0f);
    highShelfFreqSmooth.setCurrentAndTargetValue (8000.0f);
    highShelfGainSmooth.setCurrentAndTargetValue (0.0f);
}

void VyrReverbEngine::prepare (double newRate, int blockSize)
{
    juce::ignoreUnused (blockSize);
    sampleRate = newRate > 1000.0 ? newRate : 1000.0;
    rate = (float) sampleRate;

    const auto ramp = [this] (vyrDsp::Smoothed& s, double seconds, float value)
    {
        s.reset (sampleRate, seconds);
        s.setCurrentAndTargetValue (value);
    };
    ramp (mixSmooth, 0.04, 0.0f);
    ramp (erSizeSmooth, 0.04, 0.5f);
    ramp (feedbackSmooth, 0.08, 0.0f);
    ramp (diffuseSmooth, 0.04, 0.78f);
    ramp (earlySmooth, 0.04, 0.55f);
    ramp (lateSmooth, 0.04, 1.18f);
    ramp (inputSmooth, 0.04, 0.0f);
    ramp (dampSmooth, 0.04, 12000.0f);
    ramp (lowFreqSmooth, 0.04, 90.0f);
    ramp (shelfFreqSmooth, 0.04, 260.0f);
    ramp (shelfGainSmooth, 0.04, -3.0f);
    ramp (lpfSmooth, 0.04, 18000.0f);
    ramp (lowCutSmooth, 0.04, 20.0f);
    ramp (highShelfFreqSmooth, 0.04, 8000.0f);
    ramp (highShelfGainSmooth, 0.04, 0.0f);

    predelayLine.allocate ((int) (0.4 * sampleRate) + 8);
    history[0].allocate ((int) (0.5 * sampleRate) + 8);
    history[1].allocate ((int) (0.5 * sampleRate) + 8);
    historyPos = 0;
    tank.allocate ((int) (0.8 * sampleRate) + 8);

    tankFilterState.reset();
    for (int ch = 0; ch < 2; ++ch)
    {
        tankInputHp[ch].reset();
        lateLp[ch].reset();
        wetLowCut[ch].reset();
        wetHighShelf[ch].reset();
    }

    for (int i = 0; i < kLfos; ++i)
        lfoIncrement[i] = juce::MathConstants<double>::twoPi * kLfoHz[i] / sampleRate;

    sizeSlots.reset();
    predelaySlots.reset();
    fadeSamples = (int) std::ceil (juce::jmax (sampleRate * 0.02, 1.0));
    fadeTable.length = fadeSamples;
    fadeTable.cosine.resize ((size_t) fadeSamples);
    fadeTable.sine.resize ((size_t) fadeSamples);
    const float step = 1.0f / (float) fadeSamples;
    for (int k = 0; k < fadeSamples; ++k)
    {
        fadeTable.cosine[(size_t) k] = std::cos (fadeTheta (k, step));
        fadeTable.sine[(size_t) k] = std::sin (fadeTheta (k, step));
    }

    lastDamp = lastLowFreq = lastShelfFreq = lastLpf = -1.0f;
    lastShelfGain = 1.0e9f;
    lastLowCut = lastHsFreq = -1.0f;
    lastHsGain = 1.0e9f;

    quietSamples = 0;
    idle = false;
    prepared = true;
}

//==============================================================================
void VyrReverbEngine::setParams (const Params& p) noexcept
{
    params = p;

    const float size = clampSafe (p.size, 0.0f, 1.0f);
    const float diffuse = clampSafe (p.diffuse, 0.0f, 1.0f);
    const float color = clampSafe (p.color, 0.0f, 1.0f);
    const float lo = clampSafe (p.loFactor, 0.0f, 1.0f);
    const float hi = clampSafe (p.hiFactor, 0.0f, 1.0f);
    const float r = clampSafe (p.radicalness, 0.0f, 1.0f);
    const bool disabled = ! p.enabled;

    // A loop of 45.5 ms x h (the mean line length) falls by 60 dB in decay x (1 + 1.2 r).
    const float h = (0.5f + 1.5f * size) * (1.0f + 0.8f * r);
    const float decay = clampSafe (p.decay, 0.05f, 20.0f);
    const float g = std::pow (0.001f, h * 0.0455f / juce::jmax (decay * (1.0f + 1.2f * r), 0.05f));

    feedbackSmooth.setTargetValue (disabled ? 0.0f : (p.freeze ? 0.9995f : clampSafe (g, 0.0f, 0.992f)));
    diffuseSmooth.setTargetValue (diffuse);
    mixSmooth.setTargetValue (disabled ? 0.0f : clampSafe (p.mix, 0.0f, 1.0f));
    earlySmooth.setTargetValue (disabled || p.freeze ? 0.0f : finiteOr (p.earlyLevel, 0.0f));
    lateSmooth.setTargetValue (disabled ? 0.0f : finiteOr (p.lateLevel, 0.0f));
    inputSmooth.setTargetValue (disabled || p.freeze ? 0.0f : 1.0f);

    dampSmooth.setTargetValue (juce::jlimit (1500.0f, 20000.0f, (0.62f + 0.8f * color) * (1.0f - 0.6f * hi) * 18500.0f));
    lowFreqSmooth.setTargetValue (juce::jlimit (40.0f, 700.0f, 90.0f + 220.0f * lo * (1.3f - 0.6f * color) + 30.0f * (2.0f * color - 1.0f)));
    shelfFreqSmooth.setTargetValue (juce::jlimit (150.0f, 600.0f, 260.0f + 120.0f * color));
    shelfGainSmooth.setTargetValue (-juce::jlimit (2.0f, 8.0f, 3.0f + 4.0f * lo));
    lpfSmooth.setTargetValue (clampSafe (p.lpf, 1000.0f, 20000.0f));
    lowCutSmooth.setTargetValue (clampSafe (p.lowCut, 20.0f, 1000.0f));
    highShelfFreqSmooth.setTargetValue (clampSafe (p.highShelfFreq, 1000.0f, 16000.0f));
    highShelfGainSmooth.setTargetValue (clampSafe (p.highShelfGain, -12.0f, 12.0f));
    erSizeSmooth.setTargetValue (clampSafe (p.erSize > 0.001f ? p.erSize : size, 0.0f, 1.0f));

    if (prepared)
    {
        sizeSlots.offer (h, 0.002f, fadeSamples);
        predelaySlots.offer (clampSafe (p.predelay / 1000.0f * rate, 1.0f, predelayLine.maxRead()), 0.5f, fadeSamples);
    }

    const int shapeIndex = p.shape < 1 ? 0 : (p.shape > 2 ? 2 : p.shape);
    const auto& shape = kShapes[shapeIndex];
    tapCount = shape.taps;
    for (int k = 0; k < tapCount; ++k)
    {
        const float frac = tapCount > 1 ? (float) k / (float) (tapCount - 1) : 0.0f;
        const float jitter = (1.0f + 0.05f * (float) k) * ((k & 1) != 0 ? 0.0006f : -0.0004f);
        tapPattern[k] = jitter + shape.firstTime + (shape.lastTime - shape.firstTime) * frac;
        tapGain[k] = shape.firstGain + (shape.lastGain - shape.firstGain) * frac;
    }
    erOffset = p.monoCompatible ? 0.0f : shape.offset;

    const float o = 1.0f + 1.5f * r;
    const float base = o * (0.00012f + 0.0003f * diffuse);
    for (int i = 0; i < kLines; ++i)
    {
        const float depth = (disabled || p.freeze) ? 0.0f : base + kModStep[i] * o;
        modDepth[i] = modDepth[i + kLines] = depth;
    }
}

//==============================================================================
void VyrReverbEngine::designFilters() noexcept
{
    const auto hz = [] (float f) { return juce::jmax (20.0f, f); };

    const float damp = dampSmooth.getCurrentValue();
    const float lowFreq = lowFreqSmooth.getCurrentValue();
    const float shelfFreq = shelfFreqSmooth.getCurrentValue();
    const float shelfGain = shelfGainSmooth.getCurrentValue();
    const float lpf = lpfSmooth.getCurrentValue();

    if (std::abs (damp - lastDamp) > 2.0f || std::abs (lowFreq - lastLowFreq) > 1.0f
        || std::abs (shelfFreq - lastShelfFreq) > 2.0f || std::abs (shelfGain - lastShelfGain) > 0.05f
        || std::abs (lpf - lastLpf) > 8.0f)
    {
        lastDamp = damp;
        lastLowFreq = lowFreq;
        lastShelfFreq = shelfFreq;
        lastShelfGain = shelfGain;
        lastLpf = lpf;

        lowHpC = vyrDsp::design::highPass (sampleRate, hz (lowFreq), 0.707f);
        lateLpC = vyrDsp::design::lowPass (sampleRate, hz (lpf), 0.5f);
        dampC = vyrDsp::design::lowPass (sampleRate, hz (damp), 0.5f);
        shelfC = vyrDsp::design::lowShelf (sampleRate, hz (shelfFreq), 0.7f, vyrDsp::dbToGain (shelfGain));
        for (int ch = 0; ch < 2; ++ch)
        {
            tankInputHp[ch].c = lowHpC;
            lateLp[ch].c = lateLpC;
        }
    }

    const float lowCut = lowCutSmooth.getCurrentValue();
    const float hsFreq = highShelfFreqSmooth.getCurrentValue();
    const float hsGain = highShelfGainSmooth.getCurrentValue();

    if (std::abs (lowCut - lastLowCut) > 1.0f || std::abs (hsFreq - lastHsFreq) > 8.0f
        || std::abs (hsGain - lastHsGain) > 0.05f)
    {
        lastLowCut = lowCut;
        lastHsFreq = hsFreq;
        lastHsGain = hsGain;

        wetLowCutC = vyrDsp::design::highPass (sampleRate, hz (lowCut), 0.707f);
        wetHighShelfC = vyrDsp::design::highShelf (sampleRate, hz (hsFreq), 0.707f, vyrDsp::dbToGain (hsGain));
        for (int ch = 0; ch < 2; ++ch)
        {
            wetLowCut[ch].c = wetLowCutC;
            wetHighShelf[ch].c = wetHighShelfC;
        }
    }
}

void VyrReverbEngine::sanitiseState() noexcept
{
    // Inputs are cleaned on entry and the tank refuses non-finite writes, so only a filter pushed past
    // the float range could hold a bad value; clear it here, once per block.
    tankFilterState.sanitise();

    for (int ch = 0; ch < 2; ++ch)
    {
        tankInputHp[ch].sanitise();
        lateLp[ch].sanitise();
        wetLowCut[ch].sanitise();
        wetHighShelf[ch].sanitise();
    }
}

bool VyrReverbEngine::quietEnoughToIdle() const noexcept
{
    constexpr float kTiny = 1.0e-20f;
    float m = tankFilterState.maxAbs();
    for (int ch = 0; ch < 2; ++ch)
        for (auto* b : { &lateLp[ch], &wetLowCut[ch], &wetHighShelf[ch] })
            m = juce::jmax (m, std::abs (b->s1), std::abs (b->s2));
    return m < kTiny;
}

void VyrReverbEngine::zeroTailState() noexcept
{
    tankFilterState.reset();
    for (int ch = 0; ch < 2; ++ch)
    {
        lateLp[ch].reset();
        wetLowCut[ch].reset();
        wetHighShelf[ch].reset();
    }
}

//==============================================================================
void VyrReverbEngine::process (juce::AudioBuffer<float>& buffer) noexcept
{
    const int numSamples = buffer.getNumSamples();
    const int numChannels = juce::jmin (buffer.getNumChannels(), 2);
    if (! prepared || sampleRate < 100.0 || numSamples < 1 || numChannels < 1)
        return;

    float* left = buffer.getWritePointer (0);
    float* right = numChannels > 1 ? buffer.getWritePointer (1) : nullptr;

    designFilters();
    for (auto* s : { &dampSmooth, &lowFreqSmooth, &shelfFreqSmooth, &shelfGainSmooth, &lpfSmooth,
                     &lowCutSmooth, &highShelfFreqSmooth, &highShelfGainSmooth })
        s->skip (numSamples);

    sanitiseState();

    // Switched off and drained: the wet path adds nothing and its tank holds only zeros. Then nothing
    // runs; switching on again clears the input history once and starts like a freshly prepared engine.
    const bool silentTargets = smootherAtZero (mixSmooth) && smootherAtZero (feedbackSmooth)
                               && smootherAtZero (inputSmooth) && smootherAtZero (earlySmooth)
                               && smootherAtZero (lateSmooth);
    if (! silentTargets)
    {
        if (idle)
            clearInputHistory();
        quietSamples = 0;
        idle = false;
    }
    else if (! idle && quietSamples >= tank.size && quietEnoughToIdle())
    {
        zeroTailState();
        idle = true;
    }

    lfo.beginBlock (lfoIncrement);

    lateDelay = juce::jlimit (1.0f, history[0].maxRead(), clampSafe (params.lateDelayMs / 1000.0f, 0.0f, 0.3f) * rate);

    if (idle)
        processIdle (left, right, numSamples);
    else
        processFull (left, right, numSamples);

    lfo.endBlock (numSamples);

    if (silentTargets)
        quietSamples = (int) juce::jmin ((juce::int64) quietSamples + numSamples, (juce::int64) std::numeric_limits<int>::max());
}

// Stage one for a chunk: predelay (with its crossfade), the history the taps read, and the tank input
// after its high-pass.
void VyrReverbEngine::predelayChunk (const float* left, const float* right, int offset, int count) noexcept
{
    const float maxPre = predelayLine.maxRead();
    const float pre0 = juce::jlimit (1.0f, maxPre, predelaySlots.value[0]);
    const float pre1 = juce::jlimit (1.0f, maxPre, predelaySlots.value[1]);
    const int pre0Whole = (int) pre0, pre1Whole = (int) pre1;
    const float pre0Frac = pre0 - (float) pre0Whole, pre1Frac = pre1 - (float) pre1Whole;
    const int lateWhole = (int) lateDelay;
    const float lateFrac = lateDelay - (float) lateWhole;

    for (int i = 0; i < count; ++i)
    {
        float wp0, wp1;
        const bool fading = predelaySlots.fading;
        predelaySlots.tick (wp0, wp1, fadeTable);

        const float dryL = left[offset + i];
        const float dryR = right != nullptr ? right[offset + i] : dryL;
        predelayLine.write (0, wetInput (dryL));
        predelayLine.write (1, wetInput (dryR));

        for (int ch = 0; ch < 2; ++ch)
        {
            float x;
            if (fading)
                x = wp0 * predelayLine.read (ch, pre0Whole, pre0Frac) + wp1 * predelayLine.read (ch, pre1Whole, pre1Frac);
            else
                x = wp0 != 0.0f ? predelayLine.read (ch, pre0Whole, pre0Frac) : predelayLine.read (ch, pre1Whole, pre1Frac);

            auto& h = history[ch];
            h.write (historyPos, x);
            const float* lateTap = h.span (historyPos, lateWhole);
            chunkIn[ch][i] = tankInputHp[ch].process (lateTap[0] + lateFrac * (lateTap[-1] - lateTap[0]));
        }
        predelayLine.advance();
        historyPos = historyPos + 1 == history[0].size ? 0 : historyPos + 1;
    }
}

// Stage two: the early-reflection sums of a chunk whose first sample sits at history position startPos.
void VyrReverbEngine::earlyChunk (int startPos, int count) noexcept
{
    for (int ch = 0; ch < 2; ++ch)
        std::fill (chunkEarly[ch], chunkEarly[ch] + count, 0.0f);

    const int taps = tapCount;
    const int size = history[0].size;
    const float maxHist = history[0].maxRead();
    const auto tapDelay = [&] (int k, float s, float offset)
    {
        return juce::jlimit (1.0f, maxHist, juce::jmax (tapPattern[k] * s + offset, 0.0f) * rate);
    };

    if (erSizeSmooth.isSmoothing())
    {
        // The spacing glides: tap times follow it sample by sample.
        alignas (16) float spacing[kChunk];
        for (int i = 0; i < count; ++i)
            spacing[i] = 0.5f + 1.5f * erSizeSmooth.getNextValue();

        for (int ch = 0; ch < 2; ++ch)
        {
            const float offset = ch == 0 ? erOffset : -erOffset;
            float* er = chunkEarly[ch];
            const float* line = history[ch].data.data();
            for (int k = 0; k < taps; ++k)
                glidingTap (line, size, startPos, tapPattern[k], offset, tapGain[k], spacing, count, rate, maxHist, er);
        }
        return;
    }

    // Fixed tap times: each tap adds one contiguous, interpolated span per channel (at most two spans
    // when the history position wraps inside the chunk).
    const float s = 0.5f + 1.5f * erSizeSmooth.getTargetValue();
    const int firstLen = juce::jmin (count, size - startPos);
    for (int ch = 0; ch < 2; ++ch)
    {
        const float offset = ch == 0 ? erOffset : -erOffset;
        float* er = chunkEarly[ch];
        for (int k = 0; k < taps; ++k)
        {
            const float d = tapDelay (k, s, offset);
            const int whole = (int) d;
            const float frac = d - (float) whole;
            const float g = tapGain[k];
            for (int seg = 0; seg < 2; ++seg)
            {
                const int from = seg == 0 ? 0 : firstLen;
                const int to = seg == 0 ? firstLen : count;
                if (from >= to)
                    continue;
                const float* h = history[ch].span (seg == 0 ? startPos : 0, whole) - from;
                for (int i = from; i < to; ++i)
                    er[i] += g * (h[i] + frac * (h[i - 1] - h[i]));
            }
        }
    }
}

void VyrReverbEngine::processIdle (float* left, float* right, int numSamples) noexcept
{
    erSizeSmooth.skip (numSamples);
    diffuseSmooth.skip (numSamples);
    sizeSlots.skip (numSamples);
    predelaySlots.skip (numSamples);
    juce::ignoreUnused (left, right);
}

void VyrReverbEngine::clearInputHistory() noexcept
{
    std::fill (predelayLine.data.begin(), predelayLine.data.end(), 0.0f);
    for (auto& h : history)
        std::fill (h.data.begin(), h.data.end(), 0.0f);
    for (auto& f : tankInputHp)
        f.reset();
}

// A run of the tank and the wet output: `count` samples from chunk index i0 (block index n0), the size
// crossfade either running or settled for the whole run, the tank position not wrapping inside it.
void VyrReverbEngine::tankRun (float* left, float* right, int n0, int i0, int count, const float* lineA0,
                               const float* lineA1, const float* lineB) noexcept
{
    static_assert (kRun <= 64 && kChunk <= 128, "the run kernels' scratch arrays");
    lfo.run (runLfo, count);

    alignas (16) float mixV[kRun], feedbackV[kRun], diffusionV[kRun], earlyV[kRun], lateV[kRun], inputV[kRun];
    smoothedRun (mixSmooth, mixV, count);
    smoothedRun (feedbackSmooth, feedbackV, count);
    smoothedRun (diffuseSmooth, diffusionV, count);
    smoothedRun (earlySmooth, earlyV, count);
    smoothedRun (lateSmooth, lateV, count);
    smoothedRun (inputSmooth, inputV, count);

    const bool sizeFading = sizeSlots.fading;
    alignas (16) float ws0[kRun], ws1[kRun];
    for (int i = 0; i < count; ++i)
        sizeSlots.tick (ws0[i], ws1[i], fadeTable);

    // Lines: a fading room size reads both positions and crossfades them.
    const float maxLine = tank.maxRead();
    const int size = tank.size;
    const int pos0 = tank.pos;
    const float* a0 = (sizeFading || ws0[0] != 0.0f) ? lineA0 : lineA1;
    const float* lfoRows[kLanes];
    for (int k = 0; k < kLanes; ++k)
        lfoRows[k] = runLfo[kLfoOfLine[k & 7]];
    readLines<kRun> (tank.data.data(), size, pos0, a0, lineA1, lineB, lfoRows, ws0, ws1, sizeFading, count, maxLine, runLanes);

    // The damping filters step through the run sample by sample across the lanes.
    lanesToFrames (runLanes, runFrames, count);
    tankFilters (&runFrames[0][0], count, &tankFilterState.s[0][0], dampC, lowHpC, shelfC);
    framesToLanes (runFrames, runLanes, count);

    // The matrix: diagonal x o_k + other x (sum of the other seven) = (diagonal - other) x o_k + other x sum.
    alignas (16) float selfV[kRun], otherV[kRun], sums[2][kRun];
    for (int i = 0; i < count; ++i)
    {
        const float fb = std::min (std::max (feedbackV[i], 0.0f), 0.992f);
        const float diffusion = diffusionV[i];
        const float diagonal = fb * (1.0f - 0.25f * diffusion);
        const float other = -0.25f * diffusion * fb;
        otherV[i] = other;
        selfV[i] = diagonal - other;
    }
    for (int ch = 0; ch < 2; ++ch)
    {
        float* sum = sums[ch];
        std::fill (sum, sum + count, 0.0f);
        for (int k = ch * kLines; k < (ch + 1) * kLines; ++k)
            for (int i = 0; i < count; ++i)
                sum[i] += runLanes[k][i];

        alignas (16) float common[kRun], drive[kRun];
        for (int i = 0; i < count; ++i)
        {
            common[i] = otherV[i] * sum[i];
            drive[i] = chunkIn[ch][i0 + i] * inputV[i];
        }
        for (int k = ch * kLines; k < (ch + 1) * kLines; ++k)
        {
            // The run never crosses the end of the ring: the writes are one contiguous span per line.
            float* dst = tank.data.data() + (size_t) k * (size_t) size + (size_t) pos0;
            const float* o = runLanes[k];
            const float in = inject[k];
            for (int i = 0; i < count; ++i)
                dst[i] = finiteOrZero (selfV[i] * o[i] + common[i] + drive[i] * in);
        }
    }
    tank.pos = pos0 + count == size ? 0 : pos0 + count;

    for (int i = 0; i < count; ++i)
    {
        float wet[2];
        for (int ch = 0; ch < 2; ++ch)
        {
            const float lateOut = lateLp[ch].process (sums[ch][i] * 0.125f);
            wet[ch] = wetHighShelf[ch].process (wetLowCut[ch].process (chunkEarly[ch][i0 + i] * earlyV[i] + lateOut * lateV[i]));
        }

        // The dry samples were read by the predelay stage before anything was written back.
        const int n = n0 + i;
        left[n] = left[n] + mixV[i] * wet[0];
        if (right != nullptr)
            right[n] = right[n] + mixV[i] * wet[1];
    }
}

void VyrReverbEngine::processFull (float* left, float* right, int numSamples) noexcept
{
    const float maxLine = tank.maxRead();

    // Line delays in samples: a x size value + sin(lfo) x b, per size slot.
    alignas (16) float lineA0[kLanes], lineA1[kLanes], lineB[kLanes];
    float shortest = maxLine;
    for (int i = 0; i < kLanes; ++i)
    {
        lineA0[i] = baseDelay[i] * sizeSlots.value[0] * rate;
        lineA1[i] = baseDelay[i] * sizeSlots.value[1] * rate;
        lineB[i] = modDepth[i] * rate;
        shortest = std::min (shortest, std::min (lineA0[i], lineA1[i]) - 1.001f * std::abs (lineB[i]));
    }
    // The whole part of the shortest delay any read can take this block, less a sample for rounding.
    const int longestRun = juce::jlimit (1, kRun, (int) std::floor (std::max (shortest, 0.0f)) - 1);

    const bool earlyHeard = earlySmooth.isSmoothing() || earlySmooth.getTargetValue() != 0.0f;

    for (int offset = 0; offset < numSamples; offset += kChunk)
    {
        const int count = juce::jmin (kChunk, numSamples - offset);
        const int startPos = historyPos;
        predelayChunk (left, right, offset, count);
        if (earlyHeard)
            earlyChunk (startPos, count);
        else
        {
            // Reflections at level 0 add nothing; only their spacing glide moves on.
            erSizeSmooth.skip (count);
            std::fill (chunkEarly[0], chunkEarly[0] + count, 0.0f);
            std::fill (chunkEarly[1], chunkEarly[1] + count, 0.0f);
        }

        for (int i0 = 0; i0 < count;)
        {
            int run = juce::jmin (longestRun, count - i0, tank.size - tank.pos);
            if (sizeSlots.fading)
                run = juce::jmin (run, sizeSlots.fadeLength - sizeSlots.fadeCount);
            tankRun (left, right, offset + i0, i0, run, lineA0, lineA1, lineB);
            i0 += run;
        }
    }
}
