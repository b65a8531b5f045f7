#include "Dsp/Metering.h"
#include "Dsp/DspCommon.h"
#include "Core/RealtimeProbe.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <type_traits>

#if defined(__SSE2__) || defined(_M_X64)
 #include <emmintrin.h>
 #define VYR_METER_SSE2 1
#else
 #define VYR_METER_SSE2 0
#endif

namespace
{
    constexpr float silenceFloorDb = -100.0f;

    inline float finiteOrZero (float x) noexcept { return std::isfinite (x) ? x : 0.0f; }

    // Loudness of a mean-square K-weighted energy (channels summed), LUFS.
    inline double energyToLufs (double meanSquare) noexcept
    {
        return meanSquare > 1.0e-12 ? -0.691 + 10.0 * std::log10 (meanSquare) : (double) silenceFloorDb;
    }

    inline float linearToDb (float x) noexcept
    {
        return x > 1.0e-5f ? std::max (silenceFloorDb, 20.0f * std::log10 (x)) : silenceFloorDb;
    }

    double besselI0 (double x) noexcept
    {
        double sum = 1.0, term = 1.0;
        for (int k = 1; k < 64; ++k)
        {
            const double h = x / (2.0 * k);
            term *= h * h;
            sum += term;
            if (term < sum * 1.0e-17)
                break;
        }
        return sum;
    }

    struct Levels
    {
        float peakL = 0.0f, peakR = 0.0f, rmsL = 0.0f, rmsR = 0.0f;
    };

    // Peak and RMS of one channel; a non-finite sample counts as silence.
    void measureChannel (const float* d, int n, float& peak, float& rms) noexcept
    {
        // Eight lanes of peaks and of float sums over runs of 64 samples (each run then added in double),
        // so the loop vectorises; a run's float sum is within 4e-6 of its exact value.
        float pk = 0.0f;
        double sum = 0.0;
        int i = 0;
        for (; i + 64 <= n; i += 64)
        {
            float lanePeak[8] {}, laneSum[8] {};
            for (int k = 0; k < 64; k += 8)
                for (int m = 0; m < 8; ++m)
                {
                    const float x = d[i + k + m];
                    lanePeak[m] = std::max (lanePeak[m], std::abs (x));
                    laneSum[m] += x * x;
                }
            float runSum = 0.0f;
            for (int m = 0; m < 8; ++m)
            {
                pk = std::max (pk, lanePeak[m]);
                runSum += laneSum[m];
            }
            sum += (double) runSum;
        }
        for (; i < n; ++i)
        {
            pk = std::max (pk, std::abs (d[i]));
            sum += (double) d[i] * d[i];
        }

        if (! std::isfinite (sum) || ! std::isfinite (pk))
        {
            pk = 0.0f;
            sum = 0.0;
            for (int i = 0; i < n; ++i)
            {
                const float x = finiteOrZero (d[i]);
                pk = std::max (pk, std::abs (x));
                sum += (double) x * x;
            }
        }

        peak = pk;
        rms = (float) std::sqrt (sum / n);
    }
}

//==============================================================================
VyrMeterEngine::VyrMeterEngine()
{
    prepare (44100.0);
}

void VyrMeterEngine::prepare (double newSampleRate) noexcept
{
    sampleRate.store (newSampleRate > 0.0 ? newSampleRate : 44100.0, std::memory_order_release);

    std::fill (std::begin (fftBuffer), std::end (fftBuffer), 0.0f);
    restartSpectrum();
    {
        const vyrRt::ScopedSpin lock (spectrumLock);
        std::fill (std::begin (spectrum), std::end (spectrum), 0.0f);
    }

    for (int k = 0; k < spectrumBins; ++k)
        splitTwiddle[k] = std::polar (1.0f, (float) (-2.0 * juce::MathConstants<double>::pi * k / fftSize));

    // Symmetric Hann window, both ends zero.
    for (int i = 0; i < fftSize; ++i)
        spectrumWindow[i] = (float) (0.5 - 0.5 * std::cos (2.0 * juce::MathConstants<double>::pi * i / (fftSize - 1)));

    std::fill (std::begin (outScope), std::end (outScope), 0.0f);
    std::fill (std::begin (inScope), std::end (inScope), 0.0f);
    outScopeWrite.store (0, std::memory_order_release);
    inScopeWrite.store (0, std::memory_order_release);
}

void VyrMeterEngine::restartSpectrum() noexcept
{
    std::fill (std::begin (spectrumRing), std::end (spectrumRing), 0.0f);
    std::fill (std::begin (spectrumSmooth), std::end (spectrumSmooth), 0.0f);
    spectrumRingWrite = 0;
    spectrumHopCount = 0;
}

void VyrMeterEngine::copySpectrum (float* dest, int numBins) const noexcept
{
    const vyrRt::ScopedSpin lock (spectrumLock);
    std::copy (spectrum, spectrum + juce::jlimit (0, (int) spectrumBins, numBins), dest);
}

void VyrMeterEngine::capture (const juce::AudioBuffer<float>& buffer, bool input) noexcept
{
    const int n = buffer.getNumSamples();
    const int channels = buffer.getNumChannels();

    Levels lv;
    if (n > 0 && channels > 0)
    {
        measureChannel (buffer.getReadPointer (0), n, lv.peakL, lv.rmsL);
        if (channels > 1)
            measureChannel (buffer.getReadPointer (1), n, lv.peakR, lv.rmsR);
    }

    auto* peak = input ? inPeak : outPeak;
    auto* rms = input ? inRms : outRms;
    peak[0].store (lv.peakL, std::memory_order_release);
    peak[1].store (lv.peakR, std::memory_order_release);
    rms[0].store (lv.rmsL, std::memory_order_release);
    rms[1].store (lv.rmsR, std::memory_order_release);

    if (n <= 0 || channels <= 0)
        return;

    // The position wraps inside the ring, so it can never run past the int range into a
    // negative index however long the session runs.
    float* scope = input ? inScope : outScope;
    auto& write = input ? inScopeWrite : outScopeWrite;
    constexpr unsigned mask = (unsigned) scopeSize - 1u;
    unsigned pos = (unsigned) write.load (std::memory_order_relaxed) & mask;

    const float* l = buffer.getReadPointer (0);
    if (channels > 1)
    {
        const float* r = buffer.getReadPointer (1);
        for (int i = 0; i < n; ++i)
        {
            scope[pos] = finiteOrZero ((l[i] + r[i]) * 0.5f);
            pos = (pos + 1u) & mask;
        }
    }
    else
    {
        for (int i = 0; i < n; ++i)
        {
            scope[pos] = finiteOrZero (l[i]);
            pos = (pos + 1u) & mask;
        }
    }
    write.store ((int) pos, std::memory_order_release);
}

void VyrMeterEngine::clearLevels() noexcept
{
    for (auto* levels : { inPeak, outPeak, inRms, outRms })
        for (int ch = 0; ch < 2; ++ch)
            levels[ch].store (0.0f, std::memory_order_release);
    std::fill (std::begin (outScope), std::end (outScope), 0.0f);
    std::fill (std::begin (inScope), std::end (inScope), 0.0f);
}

void VyrMeterEngine::updateSpectrum (const juce::AudioBuffer<float>& buffer) noexcept
{
    const int n = buffer.getNumSamples();
    const int channels = buffer.getNumChannels();
    if (n <= 0 || channels <= 0)
        return;

    const float* l = buffer.getReadPointer (0);
    const float* r = channels > 1 ? buffer.getReadPointer (1) : nullptr;

    int i = 0;
    while (i < n)
    {
        const int take = std::min (n - i, spectrumHop - spectrumHopCount);
        for (int k = 0; k < take; ++k)
        {
            const float m = r != nullptr ? (l[i + k] + r[i + k]) * 0.5f : l[i + k];
            spectrumRing[spectrumRingWrite] = finiteOrZero (m);
            spectrumRingWrite = (spectrumRingWrite + 1) & (fftSize - 1);
        }
        i += take;
        spectrumHopCount += take;

        if (spectrumHopCount >= spectrumHop)
        {
            spectrumHopCount = 0;
            runTransform();
        }
    }
}

void VyrMeterEngine::runTransform() noexcept
{
    // Windowed frame, oldest sample first; as complex values it is the even samples in the
    // real parts and the odd samples in the imaginary parts.
    const int split = fftSize - spectrumRingWrite;
    for (int i = 0; i < split; ++i)
        fftBuffer[i] = spectrumRing[spectrumRingWrite + i] * spectrumWindow[i];
    for (int i = split; i < fftSize; ++i)
        fftBuffer[i] = spectrumRing[i - split] * spectrumWindow[i];

    using Complex = juce::dsp::Complex<float>;
    auto* packed = reinterpret_cast<Complex*> (fftBuffer);
    auto* z = reinterpret_cast<Complex*> (fftBuffer + fftSize);
    fft.perform (packed, z, false);

    // Split into the real transform's bins and keep their magnitudes (scaled by 1 / N).
    constexpr int half = spectrumBins;
    constexpr float scale = 1.0f / (float) fftSize;
    // Written out in real arithmetic: the library's complex multiply takes a slow path.
    for (int k = 0; k < half; ++k)
    {
        const Complex a = z[k];
        const Complex b = z[(half - k) & (half - 1)];
        const float evenRe = 0.5f * (a.real() + b.real()), evenIm = 0.5f * (a.imag() - b.imag());
        const float oddRe = 0.5f * (a.imag() + b.imag()), oddIm = -0.5f * (a.real() - b.real());
        const float tr = splitTwiddle[k].real(), ti = splitTwiddle[k].imag();
        const float re = evenRe + tr * oddRe - ti * oddIm;
        const float im = evenIm + tr * oddIm + ti * oddRe;
        fftBuffer[k] = std::sqrt (re * re + im * im) * scale;
    }

    for (int k = 0; k < spectrumBins; ++k)
        spectrumSmooth[k] = 0.7f * spectrumSmooth[k] + 0.3f * fftBuffer[k];

    const juce::SpinLock::ScopedTryLockType lock (spectrumLock);
    if (lock.isLocked())
        std::copy (std::begin (spectrumSmooth), std::end (spectrumSmooth), spectrum);
}

//==============================================================================
VyrTruePeakMeter::VyrTruePeakMeter() noexcept
{
    // Phase p interpolates at p / factor of a sample after the centre tap; tap j sits at
    // distance tau = halfTaps - 1 - j + p / factor from that point. Each phase is scaled to
    // unity gain at DC; phase 0 reduces to the centre sample itself.
    constexpr double beta = 5.0;
    const double norm = besselI0 (beta);
    for (int p = 0; p < factor; ++p)
    {
        double h[taps];
        double sum = 0.0;
        for (int j = 0; j < taps; ++j)
        {
            const double tau = (double) (halfTaps - 1 - j) + (double) p / factor;
            const double x = juce::MathConstants<double>::pi * tau;
            const double sinc = tau == 0.0 ? 1.0 : std::sin (x) / x;
            const double r = tau / halfTaps;
            const double w = std::abs (r) < 1.0 ? besselI0 (beta * std::sqrt (1.0 - r * r)) / norm : 0.0;
            h[j] = p == 0 ? (j == halfTaps - 1 ? 1.0 : 0.0) : sinc * w;
            sum += h[j];
        }
        if (p > 0)
            for (int j = 0; j < taps; ++j)
                coeffs[p - 1][j] = (float) (h[j] / sum);
    }
    for (int p = 0; p < factor - 1; ++p)
    {
        double tail = 0.0;
        for (int j = 0; j < taps; ++j)
            if (j < coreFirst || j >= coreFirst + coreTaps)
                tail += std::abs ((double) coeffs[p][j]);
        tailSum[p] = (float) tail;
    }
    reset();
}

void VyrTruePeakMeter::reset() noexcept
{
    for (auto& h : history)
        std::fill (std::begin (h), std::end (h), 0.0f);
}

namespace
{
    // Eight taps of a phase summed as a balanced tree, so the products are added side by side.
    inline float eightTaps (const float* c, const float* x) noexcept
    {
        return ((c[0] * x[0] + c[1] * x[1]) + (c[2] * x[2] + c[3] * x[3]))
             + ((c[4] * x[4] + c[5] * x[5]) + (c[6] * x[6] + c[7] * x[7]));
    }
}

// The scan's convolutions run across outputs, so they gain from wider vectors where the processor has
// them (the same sums in the same order in every copy).
namespace
{
    // out[i] = every tap of a phase over the frame from i on, summed as phaseValue sums them.
    VYR_WIDE_VECTOR_CLONES void allTaps (const float* c, const float* frame, float* out, int n) noexcept
    {
        for (int i = 0; i < n; ++i)
            out[i] = (eightTaps (c, frame + i) + eightTaps (c + 8, frame + i + 8)) + eightTaps (c + 16, frame + i + 16);
    }

    // out[i] = |the eight central taps| + tail x the largest sample of the output's window.
    VYR_WIDE_VECTOR_CLONES void tapBounds (const float* core, const float* frame, const float* windowPeak, float tail,
                                           float* out, int n) noexcept
    {
        for (int i = 0; i < n; ++i)
            out[i] = std::abs (eightTaps (core, frame + i)) + tail * windowPeak[i];
    }
}

namespace
{
    // Largest magnitude of v[0 .. count - 1]. Sixteen lanes side by side (four vectors the compiler
    // forms), so the running maxima do not wait on each other; the maximum of a set does not depend on
    // the order it is taken in.
    inline float largestMagnitude (const float* v, int count) noexcept
    {
#if VYR_METER_SSE2
        const __m128 magnitude = _mm_castsi128_ps (_mm_set1_epi32 (0x7fffffff));
        __m128 m0 = _mm_setzero_ps(), m1 = m0, m2 = m0, m3 = m0;
        int i = 0;
        for (; i + 16 <= count; i += 16)
        {
            m0 = _mm_max_ps (m0, _mm_and_ps (_mm_loadu_ps (v + i), magnitude));
            m1 = _mm_max_ps (m1, _mm_and_ps (_mm_loadu_ps (v + i + 4), magnitude));
            m2 = _mm_max_ps (m2, _mm_and_ps (_mm_loadu_ps (v + i + 8), magnitude));
            m3 = _mm_max_ps (m3, _mm_and_ps (_mm_loadu_ps (v + i + 12), magnitude));
        }
        for (; i + 4 <= count; i += 4)
            m0 = _mm_max_ps (m0, _mm_and_ps (_mm_loadu_ps (v + i), magnitude));
        alignas (16) float lanes[4];
        _mm_store_ps (lanes, _mm_max_ps (_mm_max_ps (m0, m1), _mm_max_ps (m2, m3)));
        float r = std::max (std::max (lanes[0], lanes[1]), std::max (lanes[2], lanes[3]));
        for (; i < count; ++i)
            r = std::max (r, std::abs (v[i]));
        return r;
#else
        constexpr int lanes = 16;
        float m[lanes] {};
        int i = 0;
        for (; i + lanes <= count; i += lanes)
            for (int k = 0; k < lanes; ++k)
                m[k] = std::max (m[k], std::abs (v[i + k]));
        float r = 0.0f;
        for (int k = 0; k < lanes; ++k)
            r = std::max (r, m[k]);
        for (; i < count; ++i)
            r = std::max (r, std::abs (v[i]));
        return r;
#endif
    }

    // Whether any of the sixteen values from v (16-byte aligned, none negative) exceeds limit; the same
    // answer as comparing their largest with it, without forming the largest.
    inline bool anyAbove (const float* v, float limit) noexcept
    {
#if VYR_METER_SSE2
        const __m128 t = _mm_set1_ps (limit);
        const __m128 a = _mm_or_ps (_mm_cmpgt_ps (_mm_load_ps (v), t), _mm_cmpgt_ps (_mm_load_ps (v + 4), t));
        const __m128 b = _mm_or_ps (_mm_cmpgt_ps (_mm_load_ps (v + 8), t), _mm_cmpgt_ps (_mm_load_ps (v + 12), t));
        return _mm_movemask_ps (_mm_or_ps (a, b)) != 0;
#else
        return largestMagnitude (v, 16) > limit;
#endif
    }

    // The samples of a block into the scan's frame; a non-finite sample counts as silence (v - v is 0
    // exactly for a finite v, NaN otherwise), branch-free so the copy vectorises.
    inline void copyFinite (const float* src, float* dst, int n) noexcept
    {
        for (int i = 0; i < n; ++i)
        {
            const float v = src[i];
            dst[i] = v - v == 0.0f ? v : 0.0f;
        }
    }
}

float VyrTruePeakMeter::phaseValue (int p, const float* window) const noexcept
{
    // The central eight taps (8 .. 15) are one of the three groups, so the bound's central part is the
    // same float value as the middle term here.
    static_assert (taps == 24 && coreFirst == 8 && coreTaps == 8);
    const float* c = coeffs[p];
    return (eightTaps (c, window) + eightTaps (c + 8, window + 8)) + eightTaps (c + 16, window + 16);
}

float VyrTruePeakMeter::process (const float* samples, int numSamples, int channel) noexcept
{
    if (channel < 0 || channel >= maxChannels || numSamples <= 0)
        return 0.0f;

    constexpr int past = taps - 1;
    constexpr int run = 16;   // as anyAbove takes them

    float* hist = history[channel];
    float peak = 0.0f;

    auto largest = largestMagnitude;

    // Every interpolated value is bounded by its eight central taps plus the summed magnitude of the
    // other taps times the largest sample in its window. The central part is worked out for every
    // output (a short convolution vectorised across outputs); only runs of outputs whose bound can beat
    // the peak found so far get all their taps, summed as phaseValue sums them, so the reading is the
    // exhaustive one, bit for bit. The bound carries a margin of 1e-5 of the window's largest sample
    // for the float rounding of both sums. Material that sits near its peak (a limited master) leaves
    // little to skip: after a chunk where most runs had to be worked out anyway, the next chunks take
    // every output straight away, then skipping is tried again.
    for (int done = 0; done < numSamples;)
    {
        const int n = std::min (chunk, numSamples - done);
        std::copy (hist, hist + past, frame);
        copyFinite (samples + done, frame + past, n);
        std::fill (frame + past + n, frame + past + chunk + group, 0.0f);

        // Phase 0 is the centre sample itself.
        peak = std::max (peak, largest (frame + halfTaps - 1, n));

        if (wholeChunks[channel] > 0)
        {
            --wholeChunks[channel];
            for (int p = 0; p < factor - 1; ++p)
            {
                allTaps (coeffs[p], frame, bound, n);
                peak = std::max (peak, largest (bound, n));
            }
        }
        else
        {
            // Largest sample magnitude per group of 8 frame values (zeros past the chunk); outputs
            // 8g .. 8g + 7 read frame values 8g .. 8g + 30, inside groups g .. g + 3.
            const int groups = (n + group - 1) / group;
#if VYR_METER_SSE2
            // Four lanes of maxima per group (the frame and the window peaks are 16-byte aligned, and a
            // group is two vectors); the horizontal maximum is taken once per window.
            static_assert (group == 8);
            const __m128 magnitude = _mm_castsi128_ps (_mm_set1_epi32 (0x7fffffff));
            alignas (16) float quads[4 * (chunk / group + 4)];
            for (int b = 0; b < groups + 3; ++b)
            {
                const float* v = frame + b * group;
                _mm_store_ps (quads + 4 * b, _mm_max_ps (_mm_and_ps (_mm_load_ps (v), magnitude),
                                                         _mm_and_ps (_mm_load_ps (v + 4), magnitude)));
            }
            for (int g = 0; g < groups; ++g)
            {
                const float* q = quads + 4 * g;
                __m128 w = _mm_max_ps (_mm_max_ps (_mm_load_ps (q), _mm_load_ps (q + 4)), _mm_max_ps (_mm_load_ps (q + 8), _mm_load_ps (q + 12)));
                w = _mm_max_ps (w, _mm_shuffle_ps (w, w, _MM_SHUFFLE (2, 3, 0, 1)));
                w = _mm_max_ps (w, _mm_shuffle_ps (w, w, _MM_SHUFFLE (1, 0, 3, 2)));
                _mm_store_ps (windowPeak + g * group, w);
                _mm_store_ps (windowPeak + g * group + 4, w);
            }
#else
            for (int b = 0; b < groups + 3; ++b)
            {
                const float* v = frame + b * group;
                float m = 0.0f;
                for (int k = 0; k < group; ++k)
                    m = std::max (m, std::abs (v[k]));
                groupMax[b] = m;
            }
            for (int g = 0; g < groups; ++g)
            {
                const float w = std::max (std::max (groupMax[g], groupMax[g + 1]), std::max (groupMax[g + 2], groupMax[g + 3]));
                std::fill (windowPeak + g * group, windowPeak + (g + 1) * group, w);
            }
#endif

            int runsSeen = 0, runsWorked = 0;
            for (int p = 0; p < factor - 1; ++p)
            {
                const float* c = coeffs[p];
                const float tail = tailSum[p] + 1.0e-5f;
                tapBounds (c + coreFirst, frame + coreFirst, windowPeak, tail, bound, n);

                const int whole = n - n % run;
                for (int i0 = 0; i0 < whole; i0 += run)
                {
                    ++runsSeen;
                    if (! anyAbove (bound + i0, peak))
                        continue;
                    ++runsWorked;
                    alignas (32) float full[run];
                    allTaps (c, frame + i0, full, run);
                    peak = std::max (peak, largest (full, run));
                }
                for (int i = whole; i < n; ++i)
                    if (bound[i] > peak)
                        peak = std::max (peak, std::abs (phaseValue (p, frame + i)));
            }
            if (2 * runsWorked > runsSeen)
                wholeChunks[channel] = 8;
        }

        std::copy (frame + n, frame + n + past, hist);
        done += n;
    }
    return peak;
}

float VyrTruePeakMeter::processExhaustive (const float* samples, int numSamples, int channel) noexcept
{
    if (channel < 0 || channel >= maxChannels || numSamples <= 0)
        return 0.0f;

    constexpr int past = taps - 1;
    float* hist = history[channel];
    float peak = 0.0f;
    for (int done = 0; done < numSamples;)
    {
        const int n = std::min (chunk, numSamples - done);
        std::copy (hist, hist + past, frame);
        for (int i = 0; i < n; ++i)
            frame[past + i] = finiteOrZero (samples[done + i]);
        for (int i = 0; i < n; ++i)
        {
            peak = std::max (peak, std::abs (frame[i + halfTaps - 1]));
            for (int p = 0; p < factor - 1; ++p)
                peak = std::max (peak, std::abs (phaseValue (p, frame + i)));
        }
        std::copy (frame + n, frame + n + past, hist);
        done += n;
    }
    return peak;
}

//==============================================================================
#if VYR_METER_SSE2
namespace
{
    // One K-weighting stage for the left (low lane) and right (high lane) channel at once. Each lane
    // does the scalar Stage's operations in the scalar order (no fused multiply-adds on this path), so
    // both channels' filtered samples are the same doubles, bit for bit, in half the instructions.
    struct PairedStage
    {
        __m128d b0, k1, k2, a1, a2, z1, z2;

        PairedStage (const VyrLoudnessState::Stage& l, const VyrLoudnessState::Stage& r) noexcept
            : b0 (_mm_set_pd (r.b0, l.b0)),
              k1 (_mm_set_pd (r.b1 - r.a1 * r.b0, l.b1 - l.a1 * l.b0)),
              k2 (_mm_set_pd (r.b2 - r.a2 * r.b0, l.b2 - l.a2 * l.b0)),
              a1 (_mm_set_pd (r.a1, l.a1)),
              a2 (_mm_set_pd (r.a2, l.a2)),
              z1 (_mm_set_pd (r.z1, l.z1)),
              z2 (_mm_set_pd (r.z2, l.z2))
        {
        }

        // unitGain: b0 is exactly 1 in both lanes (the high-pass), so 1 x x is x and the multiply goes.
        template <bool unitGain = false>
        inline __m128d process (__m128d x) noexcept
        {
            const __m128d y = unitGain ? _mm_add_pd (x, z1) : _mm_add_pd (_mm_mul_pd (b0, x), z1);
            const __m128d next = _mm_sub_pd (_mm_add_pd (_mm_mul_pd (k1, x), z2), _mm_mul_pd (a1, z1));
            z2 = _mm_sub_pd (_mm_mul_pd (k2, x), _mm_mul_pd (a2, z1));
            z1 = next;
            return y;
        }

        void store (VyrLoudnessState::Stage& l, VyrLoudnessState::Stage& r) const noexcept
        {
            l.z1 = _mm_cvtsd_f64 (z1);
            l.z2 = _mm_cvtsd_f64 (z2);
            r.z1 = _mm_cvtsd_f64 (_mm_unpackhi_pd (z1, z1));
            r.z2 = _mm_cvtsd_f64 (_mm_unpackhi_pd (z2, z2));
        }
    };
}
#endif

double VyrLoudnessState::Stage::magnitude (double hz, double sr) const noexcept
{
    const double w = 2.0 * juce::MathConstants<double>::pi * hz / sr;
    const std::complex<double> e1 = std::polar (1.0, -w), e2 = e1 * e1;
    return std::abs ((b0 + b1 * e1 + b2 * e2) / (1.0 + a1 * e1 + a2 * e2));
}

void VyrLoudnessState::designKWeighting (double sr, Stage& shelf, Stage& highPass) noexcept
{
    // Analogue prototypes of the two weighting stages, mapped through the bilinear transform
    // with pre-warping at the actual rate; at 48 kHz they reproduce the tabulated coefficients.
    const double pi = juce::MathConstants<double>::pi;
    {
        const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
        const double k = std::tan (pi * f0 / sr);
        const double vh = std::pow (10.0, gainDb / 20.0);
        const double vb = std::pow (vh, 0.4996667741545416);
        const double a0 = 1.0 + k / q + k * k;
        shelf.b0 = (vh + vb * k / q + k * k) / a0;
        shelf.b1 = 2.0 * (k * k - vh) / a0;
        shelf.b2 = (vh - vb * k / q + k * k) / a0;
        shelf.a1 = 2.0 * (k * k - 1.0) / a0;
        shelf.a2 = (1.0 - k / q + k * k) / a0;
    }
    {
        const double f0 = 38.13547087602444, q = 0.5003270373238773;
        const double k = std::tan (pi * f0 / sr);
        const double a0 = 1.0 + k / q + k * k;
        highPass.b0 = 1.0;
        highPass.b1 = -2.0;
        highPass.b2 = 1.0;
        highPass.a1 = 2.0 * (k * k - 1.0) / a0;
        highPass.a2 = (1.0 - k / q + k * k) / a0;
    }
}

//==============================================================================
void VyrLoudnessState::Histogram::allocate()
{
    counts.assign ((size_t) numBins, 0u);
    energies.assign ((size_t) numBins, 0.0);
    total = 0;
    totalEnergy = 0.0;
    lowBin = numBins;
    highBin = -1;
}

void VyrLoudnessState::Histogram::clear() noexcept
{
    // Only the bins that were ever used need clearing.
    for (int b = lowBin; b <= highBin; ++b)
    {
        counts[(size_t) b] = 0u;
        energies[(size_t) b] = 0.0;
    }
    total = 0;
    totalEnergy = 0.0;
    lowBin = numBins;
    highBin = -1;
}

int VyrLoudnessState::Histogram::binOf (double lufs) noexcept
{
    const double pos = (lufs - lowest) * binsPerLu;
    if (! (pos > 0.0))
        return 0;
    if (pos >= (double) (numBins - 1))
        return numBins - 1;
    return (int) pos;
}

void VyrLoudnessState::Histogram::add (double energy, double lufs) noexcept
{
    const int b = binOf (lufs);
    counts[(size_t) b] += 1u;
    energies[(size_t) b] += energy;
    ++total;
    totalEnergy += energy;
    lowBin = std::min (lowBin, b);
    highBin = std::max (highBin, b);
}

//==============================================================================
VyrLoudnessState::VyrLoudnessState()
{
    gateBlocks.allocate();
    shortTermValues.allocate();
    prepare (44100.0);
}

void VyrLoudnessState::prepare (double sampleRate) noexcept
{
    rate = sampleRate > 0.0 ? sampleRate : 44100.0;
    hopSamples = std::max (1, (int) std::lround (rate * 0.1));

    Stage shelf, highPass;
    designKWeighting (rate, shelf, highPass);
    for (int ch = 0; ch < 2; ++ch)
    {
        preFilter[ch] = shelf;
        rlbFilter[ch] = highPass;
    }

    hopEnergy = 0.0;
    hopFill = 0;
    hopWrite = 0;
    hopCount = 0;
    rangeHopPhase = 0;
    std::fill (std::begin (hopRing), std::end (hopRing), 0.0);
    maxPeak = 0.0f;
    truePeak.reset();
    truePeakStale = weightingStale = false;
    ownScanSamples = 0;
    gateBlocks.clear();
    shortTermValues.clear();
}

void VyrLoudnessState::reset (VyrMeterEngine& meters) noexcept
{
    for (int ch = 0; ch < 2; ++ch)
    {
        preFilter[ch].z1 = preFilter[ch].z2 = 0.0;
        rlbFilter[ch].z1 = rlbFilter[ch].z2 = 0.0;
    }
    hopEnergy = 0.0;
    hopFill = 0;
    hopWrite = 0;
    hopCount = 0;
    rangeHopPhase = 0;
    maxPeak = 0.0f;
    truePeak.reset();
    truePeakStale = weightingStale = false;
    ownScanSamples = VyrTruePeakMeter::taps;
    gateBlocks.clear();
    shortTermValues.clear();
    publishReset (meters);
}

void VyrLoudnessState::publishReset (VyrMeterEngine& meters) noexcept
{
    meters.lufsIntegrated.store (silenceFloorDb, std::memory_order_release);
    meters.lufsShort.store (silenceFloorDb, std::memory_order_release);
    meters.lufsMomentary.store (silenceFloorDb, std::memory_order_release);
    meters.lra.store (0.0f, std::memory_order_release);
    meters.truePeakDb.store (silenceFloorDb, std::memory_order_release);
    meters.maxTruePeak.store (silenceFloorDb, std::memory_order_release);
}

void VyrLoudnessState::process (const juce::AudioBuffer<float>& buffer, VyrMeterEngine& meters, const Known& known) noexcept
{
    const int n = buffer.getNumSamples();
    const int channels = buffer.getNumChannels();
    if (n <= 0 || channels <= 0)
        return;

    const float* l = buffer.getReadPointer (0);
    const float* r = channels > 1 ? buffer.getReadPointer (1) : nullptr;

    // True peak of the block.
    // Right after a reset the other stage's measurements still carry audio from before it.
    const bool takeKnown = ownScanSamples <= 0;
    ownScanSamples = std::max (0, ownScanSamples - n);
    if (! truePeakWanted)
    {
        truePeakStale = true;
        meters.truePeakDb.store (silenceFloorDb, std::memory_order_release);
    }
    else
    {
        float blockPeak = 0.0f;
        if (known.truePeak >= 0.0f && takeKnown)
        {
            blockPeak = finiteOrZero (known.truePeak);
            truePeakStale = true;
        }
        else
        {
            if (truePeakStale)
                truePeak.reset();
            truePeakStale = false;
            blockPeak = truePeak.process (l, n, 0);
            if (r != nullptr)
                blockPeak = std::max (blockPeak, truePeak.process (r, n, 1));
        }
        maxPeak = std::max (maxPeak, blockPeak);
        meters.truePeakDb.store (linearToDb (blockPeak), std::memory_order_release);
        meters.maxTruePeak.store (linearToDb (maxPeak), std::memory_order_release);
    }

    const double* knownEnergy = takeKnown ? known.weightedEnergy : nullptr;
    const double energyScale = std::isfinite (known.energyScale) ? known.energyScale : 0.0;
    if (knownEnergy != nullptr)
    {
        weightingStale = true;
    }
    else if (weightingStale)
    {
        for (int ch = 0; ch < 2; ++ch)
        {
            preFilter[ch].z1 = preFilter[ch].z2 = 0.0;
            rlbFilter[ch].z1 = rlbFilter[ch].z2 = 0.0;
        }
        weightingStale = false;
    }

    // K-weighted energy in 100 ms sub-blocks. The running sum is carried sample by sample,
    // so the result does not depend on how the host cuts the stream into blocks.
    int i = 0;
    while (i < n)
    {
        const int take = std::min (n - i, hopSamples - hopFill);
        double acc = hopEnergy;

        if (knownEnergy != nullptr)
        {
            // Four running sums side by side, so the additions do not wait on each other (the order of
            // the additions moves the sum by a few parts in 1e16 at most).
            double part[4] {};
            int k = i;
            for (; k + 4 <= i + take; k += 4)
                for (int m = 0; m < 4; ++m)
                    part[m] += knownEnergy[k + m];
            for (; k < i + take; ++k)
                part[0] += knownEnergy[k];
            const double sum = (part[0] + part[1]) + (part[2] + part[3]);
            acc += energyScale * (std::isfinite (sum) ? sum : 0.0);
        }
        else if (r != nullptr)
        {
#if VYR_METER_SSE2
            PairedStage shelf (preFilter[0], preFilter[1]), highPass (rlbFilter[0], rlbFilter[1]);
            const bool unitHighPass = rlbFilter[0].b0 == 1.0 && rlbFilter[1].b0 == 1.0;
            // The samples are first made finite and widened into pairs in a pass the compiler vectorises,
            // so the recursion's loop holds only the filters.
            constexpr int chunk = 256;
            alignas (16) double pairs[2 * chunk];
            for (int c0 = i; c0 < i + take; c0 += chunk)
            {
                const int m = std::min (chunk, i + take - c0);
                // v - v is 0 exactly for a finite v (NaN for infinities and NaN): finiteOrZero, branch-free.
                for (int k = 0; k < m; ++k)
                {
                    const float a = l[c0 + k], b = r[c0 + k];
                    pairs[2 * k] = (double) (a - a == 0.0f ? a : 0.0f);
                    pairs[2 * k + 1] = (double) (b - b == 0.0f ? b : 0.0f);
                }
                // Each channel's squares are summed in its own lane and the two sums added per chunk:
                // another order of the same additions, which moves the energy by at most a few parts
                // in 1e13 (the readings by less than 1e-5 LU, tested).
                auto run = [&] (auto unitGain)
                {
                    __m128d sums = _mm_setzero_pd();
                    for (int k = 0; k < m; ++k)
                    {
                        const __m128d x = _mm_load_pd (pairs + 2 * k);
                        const __m128d y = highPass.process<decltype (unitGain)::value> (shelf.process (x));
                        sums = _mm_add_pd (sums, _mm_mul_pd (y, y));
                    }
                    acc += _mm_cvtsd_f64 (_mm_add_sd (sums, _mm_unpackhi_pd (sums, sums)));
                };
                if (unitHighPass)
                    run (std::true_type());
                else
                    run (std::false_type());
            }
            shelf.store (preFilter[0], preFilter[1]);
            highPass.store (rlbFilter[0], rlbFilter[1]);
#else
            Stage pl = preFilter[0], rl = rlbFilter[0], pr = preFilter[1], rr = rlbFilter[1];
            for (int k = i; k < i + take; ++k)
            {
                const double yl = rl.process (pl.process ((double) finiteOrZero (l[k])));
                const double yr = rr.process (pr.process ((double) finiteOrZero (r[k])));
                acc += yl * yl + yr * yr;
            }
            preFilter[0] = pl; rlbFilter[0] = rl; preFilter[1] = pr; rlbFilter[1] = rr;
#endif
        }
        else
        {
            // A mono block feeds both weighting chains, so it counts twice.
            Stage pl = preFilter[0], rl = rlbFilter[0];
            for (int k = i; k < i + take; ++k)
            {
                const double y = rl.process (pl.process ((double) finiteOrZero (l[k])));
                acc += 2.0 * (y * y);
            }
            preFilter[0] = pl; rlbFilter[0] = rl;
            preFilter[1] = pl; rlbFilter[1] = rl;
        }

        hopEnergy = acc;
        hopFill += take;
        i += take;

        if (hopFill >= hopSamples)
            finishHop (meters);
    }
}

void VyrLoudnessState::finishHop (VyrMeterEngine& meters) noexcept
{
    hopRing[hopWrite] = hopEnergy;
    hopWrite = (hopWrite + 1) % shortHops;
    hopCount = std::min (hopCount + 1, shortHops);
    hopEnergy = 0.0;
    hopFill = 0;

    // Sums over the newest sub-blocks; until a window has filled after a reset it averages
    // the audio seen so far.
    const int momentaryCount = std::min (hopCount, momentaryHops);
    double sum4 = 0.0, sum30 = 0.0;
    for (int k = 1; k <= hopCount; ++k)
    {
        sum30 += hopRing[(hopWrite - k + shortHops) % shortHops];
        if (k == momentaryCount)
            sum4 = sum30;
    }

    const double hop = (double) hopSamples;
    const double momentaryEnergy = sum4 / (momentaryCount * hop);
    const double shortEnergy = sum30 / (hopCount * hop);
    const double momentary = energyToLufs (momentaryEnergy);
    const double shortTerm = energyToLufs (shortEnergy);
    meters.lufsMomentary.store ((float) momentary, std::memory_order_release);
    meters.lufsShort.store ((float) shortTerm, std::memory_order_release);

    // Gating blocks of 400 ms every 100 ms; absolute gate at -70 LUFS.
    if (hopCount >= momentaryHops && momentary > -70.0)
    {
        gateBlocks.add (momentaryEnergy, momentary);
        meters.lufsIntegrated.store (gatedIntegrated(), std::memory_order_release);
    }

    // Short-term values over full 3 s windows, one per second (2 s overlap), feed the
    // loudness range.
    if (hopCount >= shortHops)
    {
        const bool takeValue = rangeHopPhase == 0;
        rangeHopPhase = (rangeHopPhase + 1) % rangeHops;
        if (takeValue && shortTerm > -70.0)
        {
            shortTermValues.add (shortEnergy, shortTerm);
            meters.lra.store (loudnessRange(), std::memory_order_release);
        }
    }
}

float VyrLoudnessState::gatedIntegrated() const noexcept
{
    const auto& h = gateBlocks;
    if (h.total == 0)
        return silenceFloorDb;

    // Relative gate 10 LU below the mean energy of the blocks above the absolute gate.
    const double gate = energyToLufs (h.totalEnergy / (double) h.total) - 10.0;
    double energy = 0.0;
    std::uint64_t count = 0;
    for (int b = std::max (h.lowBin, Histogram::binOf (gate)); b <= h.highBin; ++b)
    {
        if (Histogram::centreOf (b) < gate)
            continue;
        energy += h.energies[(size_t) b];
        count += h.counts[(size_t) b];
    }
    return count > 0 ? (float) energyToLufs (energy / (double) count) : silenceFloorDb;
}

float VyrLoudnessState::loudnessRange() const noexcept
{
    const auto& h = shortTermValues;
    if (h.total == 0)
        return 0.0f;

    // Relative gate 20 LU below the mean energy of the values above the absolute gate;
    // the range runs from the 10th to the 95th percentile of the values kept.
    const double gate = energyToLufs (h.totalEnergy / (double) h.total) - 20.0;
    int first = std::max (h.lowBin, Histogram::binOf (gate));
    while (first <= h.highBin && Histogram::centreOf (first) < gate)
        ++first;

    std::uint64_t count = 0;
    for (int b = first; b <= h.highBin; ++b)
        count += h.counts[(size_t) b];
    if (count == 0)
        return 0.0f;

    const auto rankLow = (std::uint64_t) ((double) (count - 1) * 0.10 + 0.5);
    const auto rankHigh = (std::uint64_t) ((double) (count - 1) * 0.95 + 0.5);
    double low = 0.0, high = 0.0;
    bool haveLow = false;
    std::uint64_t seen = 0;
    for (int b = first; b <= h.highBin; ++b)
    {
        seen += h.counts[(size_t) b];
        if (! haveLow && seen > rankLow)
        {
            low = Histogram::centreOf (b);
            haveLow = true;
        }
        if (seen > rankHigh)
        {
            high = Histogram::centreOf (b);
            break;
        }
    }
    return (float) std::max (0.0, high - low);
}
