#pragma once

// Small DSP helpers shared by every engine: decibel conversion, frequency limits,
// allocation-free biquad design and a transposed direct form II biquad section.

#include <juce_dsp/juce_dsp.h>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

// Marks a loop kernel that gains from wider vectors: on x86-64 Linux a 256-bit copy is built next to the
// baseline one and picked once at load time. Plain multiplies and adds only (no fused multiply-add is
// enabled), so both copies give the same values bit for bit.
#if defined(__x86_64__) && defined(__GNUC__) && defined(__linux__) && ! defined(__clang__)
 #define VYR_WIDE_VECTOR_CLONES __attribute__ ((target_clones ("avx", "default")))
#else
 #define VYR_WIDE_VECTOR_CLONES
#endif

namespace vyrDsp
{
    // Decibels to a linear factor; -100 dB or less means silence.
    inline float dbToGain (float dB) noexcept
    {
        return dB <= -100.0f ? 0.0f : std::pow (10.0f, dB * 0.05f);
    }

    // Linear factor to decibels, floored at -100 dB.
    inline float gainToDb (float gain) noexcept
    {
        return gain > 1.0e-5f ? std::fmax (-100.0f, 20.0f * std::log10 (gain)) : -100.0f;
    }

    // Keeps a filter corner inside (1 Hz, 0.45 x sample rate) so no design goes unstable at low host rates.
    inline float clampFreq (float hz, double sampleRate) noexcept
    {
        const float top = static_cast<float> (0.45 * (sampleRate > 1.0 ? sampleRate : 44100.0));
        if (! std::isfinite (hz))
            return top;
        return juce::jlimit (1.0f, top, hz);
    }

    inline bool isFinite (float x) noexcept { return std::isfinite (x); }

    // Normalised biquad coefficients (a0 = 1).
    struct BiquadCoeffs
    {
        float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;

        static BiquadCoeffs fromArray (const std::array<float, 6>& c) noexcept
        {
            const float inv = 1.0f / c[3];
            return { c[0] * inv, c[1] * inv, c[2] * inv, c[4] * inv, c[5] * inv };
        }
    };

    // The framework's cookbook designs, returned by value so a redesign never allocates.
    namespace design
    {
        using AC = juce::dsp::IIR::ArrayCoefficients<float>;
        inline BiquadCoeffs lowPass (double sr, float f, float q)   { return BiquadCoeffs::fromArray (AC::makeLowPass (sr, clampFreq (f, sr), q)); }
        inline BiquadCoeffs highPass (double sr, float f, float q)  { return BiquadCoeffs::fromArray (AC::makeHighPass (sr, clampFreq (f, sr), q)); }
        inline BiquadCoeffs bandPass (double sr, float f, float q)  { return BiquadCoeffs::fromArray (AC::makeBandPass (sr, clampFreq (f, sr), q)); }
        inline BiquadCoeffs allPass (double sr, float f, float q)   { return BiquadCoeffs::fromArray (AC::makeAllPass (sr, clampFreq (f, sr), q)); }
        inline BiquadCoeffs peak (double sr, float f, float q, float gainLinear)      { return BiquadCoeffs::fromArray (AC::makePeakFilter (sr, clampFreq (f, sr), q, gainLinear)); }
        inline BiquadCoeffs lowShelf (double sr, float f, float q, float gainLinear)  { return BiquadCoeffs::fromArray (AC::makeLowShelf (sr, clampFreq (f, sr), q, gainLinear)); }
        inline BiquadCoeffs highShelf (double sr, float f, float q, float gainLinear) { return BiquadCoeffs::fromArray (AC::makeHighShelf (sr, clampFreq (f, sr), q, gainLinear)); }

        // First-order sections written as biquads (b2 = a2 = 0).
        inline BiquadCoeffs firstOrderLowPass (double sr, float f)
        {
            const auto c = juce::dsp::IIR::ArrayCoefficients<float>::makeFirstOrderLowPass (sr, clampFreq (f, sr));
            const float inv = 1.0f / c[2];
            return { c[0] * inv, c[1] * inv, 0.0f, c[3] * inv, 0.0f };
        }
        inline BiquadCoeffs firstOrderHighPass (double sr, float f)
        {
            const auto c = juce::dsp::IIR::ArrayCoefficients<float>::makeFirstOrderHighPass (sr, clampFreq (f, sr));
            const float inv = 1.0f / c[2];
            return { c[0] * inv, c[1] * inv, 0.0f, c[3] * inv, 0.0f };
        }
    }

    // Cookbook peak and shelf sections from a precomputed cosine and sine of the centre, so a
    // gain-only move costs no trigonometry. T is the precision the design is worked out in; A is the
    // square root of the linear gain.
    enum class CookbookShape { peak, lowShelf, highShelf };

    template <typename T>
    BiquadCoeffs cookbookFromTrig (CookbookShape shape, T cosW, T sinW, T q, T A) noexcept
    {
        T b0, b1, b2, a0, a1, a2;
        if (shape == CookbookShape::peak)
        {
            const T alpha = sinW / (T (2) * q);
            b0 = T (1) + alpha * A;
            b1 = T (-2) * cosW;
            b2 = T (1) - alpha * A;
            a0 = T (1) + alpha / A;
            a1 = b1;
            a2 = T (1) - alpha / A;
        }
        else
        {
            const T beta = sinW * std::sqrt (A) / q;
            const T ap = A + T (1), am = A - T (1);
            if (shape == CookbookShape::lowShelf)
            {
                b0 = A * (ap - am * cosW + beta);
                b1 = T (2) * A * (am - ap * cosW);
                b2 = A * (ap - am * cosW - beta);
                a0 = ap + am * cosW + beta;
                a1 = T (-2) * (am + ap * cosW);
                a2 = ap + am * cosW - beta;
            }
            else
            {
                b0 = A * (ap + am * cosW + beta);
                b1 = T (-2) * A * (am + ap * cosW);
                b2 = A * (ap + am * cosW - beta);
                a0 = ap - am * cosW + beta;
                a1 = T (2) * (am - ap * cosW);
                a2 = ap - am * cosW - beta;
            }
        }
        const T inv = T (1) / a0;
        return { (float) (b0 * inv), (float) (b1 * inv), (float) (b2 * inv), (float) (a1 * inv), (float) (a2 * inv) };
    }

    // One second-order section in transposed direct form II.
    struct Biquad
    {
        BiquadCoeffs c;
        float s1 = 0.0f, s2 = 0.0f;

        inline float process (float x) noexcept
        {
            const float y = c.b0 * x + s1;
            s1 = c.b1 * x - c.a1 * y + s2;
            s2 = c.b2 * x - c.a2 * y;
            return y;
        }

        void reset() noexcept { s1 = s2 = 0.0f; }

        // Clears a state that a non-finite input has poisoned; call once per block.
        void sanitise() noexcept
        {
            if (! (std::isfinite (s1) && std::isfinite (s2)))
                reset();
        }

        // Magnitude response at a frequency, for tests and displays.
        double magnitude (double hz, double sr) const noexcept
        {
            const double w = 2.0 * juce::MathConstants<double>::pi * hz / sr;
            const std::complex<double> z1 = std::polar (1.0, -w), z2 = z1 * z1;
            const auto num = (double) c.b0 + (double) c.b1 * z1 + (double) c.b2 * z2;
            const auto den = 1.0 + (double) c.a1 * z1 + (double) c.a2 * z2;
            return std::abs (num / den);
        }
    };

    //==========================================================================
    // Fast replacements for the per-sample transcendental calls of the engines. Each states its
    // worst error over the whole float range it is used on; the tests check these bounds.

    // Base-2 logarithm of a positive, finite x. Splits off the exponent, then takes the mantissa
    // (folded into [0.707, 1.414)) through the odd series of atanh up to the ninth power.
    // Absolute error below 2e-7 plus the float rounding of the result (1.2e-7 of its size).
    inline float fastLog2 (float x) noexcept
    {
        std::uint32_t bits;
        std::memcpy (&bits, &x, sizeof (bits));
        int e = (int) ((bits >> 23) & 0xff) - 127;
        bits = (bits & 0x007fffffu) | 0x3f800000u;   // mantissa in [1, 2)
        float m;
        std::memcpy (&m, &bits, sizeof (m));
        if (m > 1.41421356f)
        {
            m *= 0.5f;
            ++e;
        }
        const float t = (m - 1.0f) / (m + 1.0f);
        const float t2 = t * t, t4 = t2 * t2;
        // Grouped in pairs (Estrin) rather than nested, so the terms are worked out side by side.
        const float series = t * ((2.0f + t2 * 0.6666666667f) + t4 * ((0.4f + t2 * 0.2857142857f) + t4 * 0.2222222222f));
        return (float) e + series * 1.44269504f;
    }

    // 2^x given k, the whole number nearest x (|x - k| <= 0.5, k inside [-126, 126]): the remaining
    // [-0.5, 0.5] goes through the Taylor series to the seventh power. Relative error below 3e-7.
    inline float exp2Rounded (float x, int k) noexcept
    {
        const float f = (x - (float) k) * 0.69314718f;
        // Grouped in pairs (Estrin) rather than nested, so the terms are worked out side by side.
        const float f2 = f * f, f4 = f2 * f2;
        const float p = ((1.0f + f) + f2 * (0.5f + f * 0.1666666667f))
                        + f4 * ((0.0416666667f + f * 0.0083333333f) + f2 * (0.0013888889f + f * 0.0001984127f));
        const std::uint32_t bits = (std::uint32_t) (k + 127) << 23;
        float scale;
        std::memcpy (&scale, &bits, sizeof (scale));
        return p * scale;
    }

    // 2 to the power x for x already inside [-126, 126], rounded to the nearest whole number first.
    inline float exp2InRange (float x) noexcept
    {
        return exp2Rounded (x, (int) (x + (x >= 0.0f ? 0.5f : -0.5f)));
    }

    // 2 to the power x, x clamped to [-126, 126] (NaN counts as -126). Relative error below 3e-7.
    inline float fastExp2 (float x) noexcept
    {
        return exp2InRange (x > -126.0f ? (x < 126.0f ? x : 126.0f) : -126.0f);
    }

    // e to the power x for |x| < 87: relative error below 4e-7 plus 1.2e-7 x |x| (the float rounding
    // of the scaled argument).
    inline float fastExp (float x) noexcept { return fastExp2 (x * 1.44269504f); }

    // Decibels to a linear factor without the silence floor (|dB| < 700): relative error below 4e-7
    // plus 2e-8 x |dB| (the rounding of the scaled argument; 2.4e-6 = 2e-5 dB at 100 dB).
    inline float fastDbToGain (float dB) noexcept { return fastExp2 (dB * 0.16609640f); }

    // 20 log10 of a positive, finite x: absolute error below 1.2e-6 dB plus the float rounding of the
    // result (1.2e-7 of its size).
    inline float fastGainToDb (float x) noexcept { return 6.02059991f * fastLog2 (x); }

    // Hyperbolic tangent as 1 - 2 / (e^2|x| + 1) with the sign put back (|x| taken no further than
    // 10, where the result rounds to 1). Absolute error below 4e-7; NaN passes through as NaN.
    inline float fastTanh (float x) noexcept
    {
        const float a = std::abs (x);
        const float e = exp2InRange ((a < 10.0f ? a : 10.0f) * 2.88539008f);
        const float t = std::copysign (1.0f - 2.0f / (e + 1.0f), x);
        return a == a ? t : x;
    }

    // exp2InRange for x inside [0, 126], bit for bit: with no negative argument the rounding needs
    // no sign test, which lets a loop over it vectorise without working the series out twice.
    inline float exp2NonNegative (float x) noexcept { return exp2Rounded (x, (int) (x + 0.5f)); }

    // exp2InRange for x inside [-126, 0], bit for bit, for the same reason.
    inline float exp2NonPositive (float x) noexcept { return exp2Rounded (x, (int) (x - 0.5f)); }

    // fastTanh, bit for bit (same error bound), for loops meant to vectorise.
    inline float fastTanhLanes (float x) noexcept
    {
        const float a = std::abs (x);
        const float e = exp2NonNegative ((a < 10.0f ? a : 10.0f) * 2.88539008f);
        const float t = std::copysign (1.0f - 2.0f / (e + 1.0f), x);
        return a == a ? t : x;
    }

    //==========================================================================
    // Per-sample envelope coefficient for a time constant in seconds.
    inline float envelopeCoef (float seconds, float rate) noexcept
    {
        const float samples = seconds * rate;
        return samples > 1.0f ? std::exp (-1.0f / samples) : std::exp (-1.0f);
    }

    // A detector's attack and release coefficients follow their time constants, worked out again
    // only when one moved (the exponential is the costly part). D has coefAtkTime, coefAtk,
    // coefRelTime and coefRel.
    template <typename D>
    inline void followTimeConstants (D& d, float attack, float release, float rate) noexcept
    {
        if (attack != d.coefAtkTime)
        {
            d.coefAtkTime = attack;
            d.coefAtk = envelopeCoef (attack, rate);
        }
        if (release != d.coefRelTime)
        {
            d.coefRelTime = release;
            d.coefRel = envelopeCoef (release, rate);
        }
    }

    //==========================================================================
    // Runs a block through a double-state section with its coefficients and state held in locals,
    // so nothing is reloaded or converted per sample.
    template <typename Section>
    inline void runSection (Section& f, float* x, int n) noexcept
    {
        const double b0 = f.c.b0, b1 = f.c.b1, b2 = f.c.b2, a1 = f.c.a1, a2 = f.c.a2;
        double s1 = f.s1, s2 = f.s2;
        for (int i = 0; i < n; ++i)
        {
            const double in = x[i];
            const double y = b0 * in + s1;
            s1 = b1 * in - a1 * y + s2;
            s2 = b2 * in - a2 * y;
            x[i] = (float) y;
        }
        f.s1 = s1;
        f.s2 = s2;
    }

    // Two sections with the same coefficients over two blocks (a stereo pair) in one pass.
    template <typename Section>
    inline void runSectionPair (Section& fa, Section& fb, float* xa, float* xb, int n) noexcept
    {
        const double b0 = fa.c.b0, b1 = fa.c.b1, b2 = fa.c.b2, a1 = fa.c.a1, a2 = fa.c.a2;
        double sa1 = fa.s1, sa2 = fa.s2, sb1 = fb.s1, sb2 = fb.s2;
        for (int i = 0; i < n; ++i)
        {
            const double ia = xa[i], ib = xb[i];
            const double ya = b0 * ia + sa1, yb = b0 * ib + sb1;
            sa1 = b1 * ia - a1 * ya + sa2;
            sb1 = b1 * ib - a1 * yb + sb2;
            sa2 = b2 * ia - a2 * ya;
            sb2 = b2 * ib - a2 * yb;
            xa[i] = (float) ya;
            xb[i] = (float) yb;
        }
        fa.s1 = sa1; fa.s2 = sa2;
        fb.s1 = sb1; fb.s2 = sb2;
    }

    // A peak or shelf at 0 dB made an exact identity: numerator equal to the denominator, so the
    // state only carries what an earlier design left and decays on its own poles.
    inline void makeIdentity (BiquadCoeffs& c) noexcept
    {
        c.b0 = 1.0f;
        c.b1 = c.a1;
        c.b2 = c.a2;
    }

    // State this small (absolute) no longer changes what an identity section passes on.
    template <typename Section>
    inline bool stateSettled (const Section& f) noexcept
    {
        return std::abs (f.s1) < 1.0e-9 && std::abs (f.s2) < 1.0e-9;
    }

    // Sine source for slow modulators (LFOs, wow, flutter). The phase is held in double precision and
    // wrapped into [0, 2 pi), so the rate after hours of running is the rate of the first second. Inside
    // a block the sine comes from a unit phasor rotated once per sample and anchored on the exact phase
    // at every block start: no sine call per sample, no drift across blocks.
    // Use: beginBlock (increment), then next() once per sample, then endBlock (samples processed).
    struct SineOsc
    {
        double phase = 0.0; // radians, phase reached at the end of the last block

        void beginBlock (double increment) noexcept
        {
            inc = std::isfinite (increment) ? increment : 0.0;
            s = std::sin (phase);
            c = std::cos (phase);
            rs = std::sin (inc);
            rc = std::cos (inc);
        }

        // Advances by one sample and returns the sine of the new phase.
        inline float next() noexcept
        {
            const double ns = s * rc + c * rs;
            c = c * rc - s * rs;
            s = ns;
            return static_cast<float> (s);
        }

        void endBlock (int numSamples) noexcept
        {
            constexpr double twoPi = juce::MathConstants<double>::twoPi;
            phase = std::fmod (phase + inc * (double) numSamples, twoPi);
            if (! (phase >= 0.0)) // negative, or NaN from a corrupted phase
                phase = std::isfinite (phase) ? phase + twoPi : 0.0;
        }

    private:
        double inc = 0.0, s = 0.0, c = 1.0, rs = 0.0, rc = 1.0;
    };

    // The same section with its running state in double precision. With float state a section whose
    // poles sit low (a 20 Hz corner) adds rounding noise of about -70 dB at 48 kHz and -54 dB at
    // 192 kHz relative to the signal; double state keeps it near -145 dB at the same cost.
    struct PreciseBiquad
    {
        BiquadCoeffs c;
        double s1 = 0.0, s2 = 0.0;

        inline float process (float x) noexcept
        {
            const double in = x;
            const double y = (double) c.b0 * in + s1;
            s1 = (double) c.b1 * in - (double) c.a1 * y + s2;
            s2 = (double) c.b2 * in - (double) c.a2 * y;
            return (float) y;
        }

        void reset() noexcept { s1 = s2 = 0.0; }

        // Clears a state that a non-finite input has poisoned; call once per block.
        void sanitise() noexcept
        {
            if (! (std::isfinite (s1) && std::isfinite (s2)))
                reset();
        }
    };

    // A linear ramp as the engines use it (the framework's linear smoothed value).
    using Smoothed = juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear>;

    // Linear ramp with the rules every engine's smoothers follow, independent of the framework version:
    // a new target within float resolution of the current target leaves a running ramp alone; with a
    // ramp length of zero the value jumps. Same calls as the framework's linear smoothed value.
    class LinearSmoothed
    {
    public:
        LinearSmoothed() noexcept = default;
        explicit LinearSmoothed (float initial) noexcept : current (initial), target (initial) {}

        // Sets the ramp length in samples and ends any running ramp at its target.
        void reset (int numSteps) noexcept
        {
            stepsToTarget = numSteps;
            setCurrentAndTargetValue (target);
        }

        void reset (double sampleRate, double rampSeconds) noexcept { reset ((int) std::floor (sampleRate * rampSeconds)); }

        void setCurrentAndTargetValue (float v) noexcept
        {
            current = target = v;
            countdown = 0;
        }

        void setTargetValue (float v) noexcept
        {
            if (sameTarget (v, target))
                return;
            if (stepsToTarget <= 0)
            {
                setCurrentAndTargetValue (v);
                return;
            }
            target = v;
            countdown = stepsToTarget;
            step = (target - current) / (float) countdown;
        }

        float getNextValue() noexcept
        {
            if (countdown <= 0)
                return target;
            --countdown;
            current = countdown > 0 ? current + step : target;
            return current;
        }

        float skip (int numSamples) noexcept
        {
            if (numSamples >= countdown)
            {
                setCurrentAndTargetValue (target);
                return target;
            }
            current += step * (float) numSamples;
            countdown -= numSamples;
            return current;
        }

        float getCurrentValue() const noexcept { return current; }
        float getTargetValue() const noexcept { return target; }
        bool isSmoothing() const noexcept { return countdown > 0; }
        int getCountdown() const noexcept { return countdown; }
        int getRampLength() const noexcept { return stepsToTarget; }

        // Targets closer than float resolution count as the same target (no new ramp).
        static bool sameTarget (float a, float b) noexcept
        {
            if (! (std::isfinite (a) && std::isfinite (b)))
                return a == b;
            const float diff = std::abs (a - b);
            return diff <= std::numeric_limits<float>::min()
                   || diff <= std::numeric_limits<float>::epsilon() * std::fmax (std::abs (a), std::abs (b));
        }

    private:

        float current = 0.0f, target = 0.0f, step = 0.0f;
        int countdown = 0, stepsToTarget = 0;
    };

    // Ramp length in samples for a time in seconds: floor(sampleRate x seconds).
    inline int rampSamples (double sampleRate, double seconds) noexcept
    {
        return static_cast<int> (std::floor (sampleRate * seconds));
    }

    // Gives a ramp a new target only when it moved past float resolution, so a setting rewritten
    // with the same value every block never restarts its ramp.
    inline void setTargetIfMoved (Smoothed& s, float v) noexcept
    {
        if (! LinearSmoothed::sameTarget (v, s.getTargetValue()))
            s.setTargetValue (v);
    }
}
