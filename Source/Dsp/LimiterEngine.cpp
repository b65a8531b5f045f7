#include "Dsp/LimiterEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
    constexpr double kPi = 3.14159265358979323846;

    // Noise-shaping filters, applied to errors 1, 2, ... samples old.
    constexpr float kShapeBasic[] = { 1.0f };
    constexpr float kShapeOpt[]   = { 1.6f, -0.7f };
    constexpr float kShapeW[]     = { 2.0f, -1.4f, 0.6f, -0.2f, 0.05f };

    // Gain thresholds of the release rules (gain reduction of 6, 3 and 2 dB), compared linearly so the
    // per-sample path needs no logarithm.
    const float kGain6dB = std::pow (10.0f, -6.0f / 20.0f);
    const float kGain3dB = std::pow (10.0f, -3.0f / 20.0f);
    const float kGain2dB = std::pow (10.0f, -2.0f / 20.0f);

    // Keeps the gain a hair under ceiling / peak so float rounding of the product never lands above it.
    constexpr float kCeilingGuard = 1.0f - 1.0f / 4194304.0f;

    inline float finiteOr (float v, float fallback) noexcept { return std::isfinite (v) ? v : fallback; }

    // Non-finite or absurd input samples become silence before they can reach any state.
    inline float cleanSample (float x) noexcept { return std::abs (x) < 1.0e20f ? x : 0.0f; }

    inline float levelDb (float magnitude) noexcept
    {
        return magnitude > 1.0e-6f ? 20.0f * std::log10 (magnitude) : -120.0f;
    }

    inline float loudnessOf (double meanSquare) noexcept
    {
        if (! (meanSquare > 1.0e-12))
            return -100.0f;
        return (float) std::max (-100.0, -0.691 + 10.0 * std::log10 (meanSquare));
    }

    inline void raiseTo (std::atomic<float>& target, float v) noexcept
    {
        if (v > target.load (std::memory_order_relaxed))
            target.store (v, std::memory_order_release);
    }

    inline float styleBlend (const float* table, float pos) noexcept
    {
        const float s = juce::jlimit (0.0f, 4.0f, pos);
        const int i = (int) s;
        const int i2 = std::min (i, 3) + 1;
        const float f = s - (float) i;
        return table[i] + (table[i2] - table[i]) * f;
    }

    // tanh for the colour stage. Its argument is 1.35 x a signal already held under a ceiling of at
    // most 0 dBFS; up to |x| = 2 this rational form is exact to 1e-8, beyond it the library call runs.
    inline float colourTanh (float x) noexcept
    {
        if (std::abs (x) > 2.0f)
            return std::tanh (x);
        const float x2 = x * x;
        return x * (135135.0f + x2 * (17325.0f + x2 * (378.0f + x2)))
                 / (135135.0f + x2 * (62370.0f + x2 * (3150.0f + x2 * 28.0f)));
    }

    // Nearest integer with halves away from zero. Under 2^22, adding and taking away 1.5 x 2^23 rounds
    // to the nearest integer with ties to even in one float rounding (exact otherwise), and a tie (the
    // difference is exactly one half) goes away from zero instead: the same value as the double path,
    // which serves larger magnitudes.
    inline float roundHalfAway (float x) noexcept
    {
        if (std::abs (x) < 4194304.0f)
        {
            const float t = (x + 12582912.0f) - 12582912.0f;
            return std::abs (x - t) == 0.5f ? x + std::copysign (0.5f, x) : t;
        }
        const double v = (double) x;
        if (! (std::abs (v) < 1.0e15))
            return x;
        return (float) (double) (int64_t) (v + (v < 0.0 ? -0.5 : 0.5));
    }
}

//==================================================================================================
void VyrLimiter::MaxWindow::allocate (int maxWindowLength)
{
    const int len = std::max (maxWindowLength, 2);
    current.assign ((size_t) len, 0.0f);
    suffix.assign ((size_t) len + 1, 0.0f);
    build (std::min (window, maxWindowLength));
}

void VyrLimiter::MaxWindow::build (int windowLength) noexcept
{
    const int capacity = (int) current.size();
    window = juce::jlimit (1, std::max (1, capacity), windowLength);
    std::fill (suffix.begin(), suffix.begin() + window + 1, 0.0f);
    pos = 0;
    prefix = 0.0f;
}

void VyrLimiter::MaxWindow::closeBlock (const float* b, float* s, int window) noexcept
{
    float m = 0.0f;
    for (int k = window - 1; k >= 0; --k)
    {
        m = std::max (m, b[k]);
        s[k] = m;
    }
    s[window] = 0.0f;
}

//==================================================================================================
VyrLimiter::VyrLimiter()
{
    for (auto& g : grHistory)
        g.store (0.0f, std::memory_order_relaxed);

    for (auto& line : delayLine)
        line.assign (1, 0.0f);
    for (auto& line : dryLine)
        line.assign (64, 0.0f);
    for (auto& w : windows)
        w.allocate (2);
    for (int c = 0; c < 2; ++c)
    {
        upLine[c].assign ((size_t) (kMaxTaps + kChunk), 0.0f);
        osLine[c].assign ((size_t) (kMaxFilterLength + kMaxFactor * kChunk), 0.0f);
        wetChunk[c].assign ((size_t) kChunk, 0.0f);
    }
    colourChunk.assign ((size_t) kChunk, 0.0f);
    ceilingChunk.assign ((size_t) kChunk, 0.0f);
    monoRight.assign ((size_t) kChunk, 0.0f);

    inRamp.setCurrentAndTargetValue (1.0f);
    outRamp.setCurrentAndTargetValue (1.0f);
    dryRamp.setCurrentAndTargetValue (1.0f);
    wetRamp.setCurrentAndTargetValue (1.0f);
    dcRamp.setCurrentAndTargetValue (10.0f);
    ceilingRamp.setCurrentAndTargetValue (-0.1f);
    releaseRamp.setCurrentAndTargetValue (0.05f);
    styleRamp.setCurrentAndTargetValue (0.0f);

    blockCount.assign (kHistBins, 0.0);
    blockEnergy.assign (kHistBins, 0.0);
    shortCount.assign (kHistBins, 0.0);
    shortEnergy.assign (kHistBins, 0.0);
}

double VyrLimiter::usableRate (double rate) noexcept
{
    return (std::isfinite (rate) && rate > 0.0) ? rate : 44100.0;
}

int VyrLimiter::factorFor (int oversamplingSetting, bool truePeakOn) noexcept
{
    int f = (oversamplingSetting == 2 || oversamplingSetting == 4 || oversamplingSetting == 8) ? oversamplingSetting : 1;
    if (truePeakOn && f < 2)
        f = 2;
    return f;
}

int VyrLimiter::lookaheadFor (double rate, float lookaheadMs, int f) noexcept
{
    float ms = lookaheadMs;
    if (! (ms > 0.0f))
        ms = 0.0f;
    ms = std::min (ms, 20.0f);
    const double raw = std::round (rate * (double) ms * 0.001 * (double) f);
    int n = std::max (1, (int) raw);
    // Whole host-rate samples, so the wet path's delay is an integer the dry share can match.
    if (f > 1)
        n = ((n + f - 1) / f) * f;
    return n;
}

int VyrLimiter::factorForSettings() const noexcept
{
    return factorFor (oversampling, truePeak);
}

int VyrLimiter::lookaheadForFactor (int f) const noexcept
{
    return lookaheadFor (sampleRate, lookahead, f);
}

int VyrLimiter::latencyFor (int f, int lookaheadOs) noexcept
{
    // The interpolator and decimator are linear phase, (T x F - 1) / 2 oversampled samples each; the
    // decimator emits on the last phase of each group, which saves F - 1 of them.
    return f == 1 ? lookaheadOs : tapsForFactor (f) - 1 + lookaheadOs / f;
}

int VyrLimiter::getLatencySamples() const noexcept
{
    const int f = factorForSettings();
    return latencyFor (f, lookaheadForFactor (f));
}

int VyrLimiter::latencyForSettings (double rate, int oversamplingSetting, bool truePeakOn, float lookaheadMs) noexcept
{
    const int f = factorFor (oversamplingSetting, truePeakOn);
    return latencyFor (f, lookaheadFor (usableRate (rate), lookaheadMs, f));
}

//==================================================================================================
void VyrLimiter::prepare (double newSampleRate, int maximumBlockSize)
{
    sampleRate = usableRate (newSampleRate);
    const double sr = sampleRate;

    for (auto& hp : highPass)
        hp.reset();
    highPassCorner = -1.0f;

    inRamp.reset (vyrDsp::rampSamples (sr, 0.032));
    outRamp.reset (vyrDsp::rampSamples (sr, 0.032));
    ceilingRamp.reset (vyrDsp::rampSamples (sr, 0.032));
    releaseRamp.reset (vyrDsp::rampSamples (sr, 0.032));
    styleRamp.reset (vyrDsp::rampSamples (sr, 0.032));
    dryRamp.reset (vyrDsp::rampSamples (sr, 0.025));
    wetRamp.reset (vyrDsp::rampSamples (sr, 0.025));
    dcRamp.reset (vyrDsp::rampSamples (sr, 0.050));

    inRamp.setCurrentAndTargetValue (1.0f);
    outRamp.setCurrentAndTargetValue (1.0f);
    ceilingRamp.setCurrentAndTargetValue (-0.1f);
    releaseRamp.setCurrentAndTargetValue (0.05f);
    styleRamp.setCurrentAndTargetValue (0.0f);
    dryRamp.setCurrentAndTargetValue (dryRamp.getTargetValue());
    wetRamp.setCurrentAndTargetValue (wetRamp.getTargetValue());
    dcRamp.setCurrentAndTargetValue (10.0f);
    coreCeilingDb = -0.1f;
    coreCeilingLin = std::pow (10.0f, -0.1f / 20.0f) * kCeilingGuard;
    coreRelease = 0.05f;
    coreStyle = 0.0f;
    cachedReleaseSeconds = cachedReleasePos = -1.0f;

    factor = 1;
    taps = 16;
    downLength = 0;
    for (int k = 0; k <= kHoldGroup; ++k)
        holdDecayPow[k] = (float) std::exp (-(double) k / (0.5 * sr));
    holdMinGain = 1.0f;
    holdCount = 0;
    clearOversampling();
    updateAutoCoefficients();

    // Room for the longest lookahead at the highest factor, and for the matching dry delay.
    const int maxBase = (int) std::ceil (0.020 * sr) + 1;
    maxLookaheadOs = kMaxFactor * maxBase + kMaxFactor;
    for (auto& line : delayLine)
        line.assign ((size_t) maxLookaheadOs, 0.0f);
    for (auto& w : windows)
        w.allocate (maxLookaheadOs + 1);
    for (auto& line : dryLine)
        line.assign ((size_t) (maxBase + 2 * kMaxTaps + 8), 0.0f);
    dryWrite = 0;
    delayReady = false;
    resizeLookahead();
    clearCore();

    // K-weighting for this rate: high shelf (head effects) and the revised low-frequency B curve.
    {
        const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
        const double k = std::tan (kPi * f0 / sr);
        const double vh = std::pow (10.0, gainDb / 20.0);
        const double vb = std::pow (vh, 0.4996667741545416);
        const double a0 = 1.0 + k / q + k * k;
        for (auto& s : kShelf)
        {
            s.b0 = (vh + vb * k / q + k * k) / a0;
            s.b1 = 2.0 * (k * k - vh) / a0;
            s.b2 = (vh - vb * k / q + k * k) / a0;
            s.a1 = 2.0 * (k * k - 1.0) / a0;
            s.a2 = (1.0 - k / q + k * k) / a0;
        }
    }
    {
        const double f0 = 38.13547087602444, q = 0.5003270373238773;
        const double k = std::tan (kPi * f0 / sr);
        const double a0 = 1.0 + k / q + k * k;
        for (auto& s : kHighPass)
        {
            s.b0 = 1.0;
            s.b1 = -2.0;
            s.b2 = 1.0;
            s.a1 = 2.0 * (k * k - 1.0) / a0;
            s.a2 = (1.0 - k / q + k * k) / a0;
        }
    }

    clearMeterFilters();

    sampleEnergy.assign ((size_t) std::max (maximumBlockSize, 1), 0.0);
    sampleEnergyValid = false;
    for (int i = 0; i < kSlicesShort; ++i)
        sliceEnergy[i] = 0.0;
    sliceWrite = slicesSeen = sliceCount = 0;
    sliceSum = 0.0;
    sliceLength = std::max (1, (int) std::lround (0.1 * sr));
    lastMomentary = lastShort = -100.0f;
    clearLoudnessHistories();
    loudnessResetPending = false;

    for (auto& s : shapeError)
        std::fill (std::begin (s), std::end (s), 0.0f);

    grDecimation = 0;
    meterHold = 0.0f;
    for (auto& g : grHistory)
        g.store (0.0f, std::memory_order_release);
    resetMaxima();

    fresh = true;
    coreIdle = false;
}

//==================================================================================================
void VyrLimiter::resizeLookahead() noexcept
{
    const int n = std::min (lookaheadForFactor (factor), std::max (1, (int) delayLine[0].size()));
    const bool lk = stereoLink >= 50.0f || msMode;
    if (delayReady && n == laN && lk == linked)
        return;
    laN = n;
    linked = lk;
    delayReady = true;
    clearCore();
}

void VyrLimiter::clearCore() noexcept
{
    for (auto& line : delayLine)
        std::fill (line.begin(), line.begin() + std::min ((int) line.size(), laN), 0.0f);
    delayIndex = 0;
    for (auto& w : windows)
        w.build (laN + 1);
    gain[0] = gain[1] = 1.0f;
    prevDetector[0] = prevDetector[1] = 0.0f;
    flux[0] = flux[1] = 0.0f;
}

void VyrLimiter::clearOversampling() noexcept
{
    for (int c = 0; c < 2; ++c)
    {
        std::fill (upLine[c].begin(), upLine[c].begin() + kMaxTaps, 0.0f);
        std::fill (osLine[c].begin(), osLine[c].begin() + kMaxFilterLength, 0.0f);
    }
}

void VyrLimiter::clearMeterFilters() noexcept
{
    for (int c = 0; c < 2; ++c)
    {
        kShelf[c].reset();
        kHighPass[c].reset();
    }
    outputPeak.reset();
}

void VyrLimiter::designOversampling() noexcept
{
    // Hamming-windowed sinc cut at the host Nyquist; phase p of tap k is h[k F + p]. The interpolator
    // banks sum to F over all phases (unity per output phase); the decimator sums to 1.
    const int f = factor;
    taps = tapsForFactor (f);
    const int lp = taps * f;
    double h[kMaxFilterLength];
    double sum = 0.0;
    for (int i = 0; i < lp; ++i)
    {
        const double x = ((double) i - (lp - 1) * 0.5) / f;
        const double sinc = std::abs (x) < 1.0e-9 ? 1.0 : std::sin (kPi * x) / (kPi * x);
        const double w = 0.54 - 0.46 * std::cos (2.0 * kPi * i / (lp - 1));
        h[i] = w * sinc;
        sum += h[i];
    }
    const double g = f / std::max (sum, 1.0e-8);
    std::memset (upBank, 0, sizeof (upBank));
    for (int p = 0; p < f; ++p)
        for (int j = 0; j < taps; ++j)
            upBank[j][p] = (float) (g * h[(taps - 1 - j) * f + p]);
    // Output n of the decimator is sum_i h[i] v[nF + F - 1 - i]: each coefficient meets the oversampled
    // value i places before the group's last phase.
    for (int j = 0; j < lp; ++j)
        downBank[j] = (float) (h[lp - 1 - j] * g / f);
    downLength = lp;
}

void VyrLimiter::designHighPass (float corner) noexcept
{
    highPassCorner = corner;
    const double k = std::tan (kPi * corner / sampleRate);
    const double damping = 1.4144272;
    const double m = 1.0 / (1.0 + damping * k + k * k);
    for (auto& hp : highPass)
    {
        hp.b0 = m;
        hp.b1 = -2.0 * m;
        hp.b2 = m;
        hp.a1 = 2.0 * (k * k - 1.0) * m;
        hp.a2 = (1.0 - damping * k + k * k) * m;
    }
}

void VyrLimiter::updateAutoCoefficients() noexcept
{
    static constexpr double times[4] = { 0.02, 0.06, 0.12, 0.25 };
    const double fs = sampleRate * factor;
    for (int i = 0; i < 4; ++i)
    {
        const double ns = times[i] * fs;
        autoLin[i] = (float) (1.0 / ns);
        autoExp[i] = (float) -std::expm1 (-1.0 / ns);
    }
}

void VyrLimiter::updateReleaseCoefficients (float releaseSeconds, float pos) noexcept
{
    cachedReleaseSeconds = releaseSeconds;
    cachedReleasePos = pos;
    const double t = (double) releaseSeconds * styleBlend (vyrLimStyle::kBias, pos);
    const double ns = std::max (t * sampleRate * factor, 1.0);
    relLin = (float) (1.0 / ns);
    relExp = (float) -std::expm1 (-1.0 / ns);
}

//==================================================================================================
struct VyrLimiter::CoreRun
{
    // Modes of the detector and gain: linked stereo, mid/side, independent channels.
    enum { linkedMode, midSideMode, unlinkedMode };

    VyrLimiter& lim;
    float g0, g1, flux0, flux1, prev0, prev1;
    float* line0;
    float* line1;
    int index, length;
    MaxWindow::Cursor w0, w1;
    float ceil = 1.0f, relLin = 0.0f, relExp = 0.0f;
    bool autoRelease;
    int shape;

    explicit CoreRun (VyrLimiter& l) noexcept
        : lim (l), g0 (l.gain[0]), g1 (l.gain[1]), flux0 (l.flux[0]), flux1 (l.flux[1]),
          prev0 (l.prevDetector[0]), prev1 (l.prevDetector[1]), line0 (l.delayLine[0].data()),
          line1 (l.delayLine[1].data()), index (l.delayIndex), length (l.laN), w0 (l.windows[0].cursor()),
          w1 (l.windows[1].cursor()), autoRelease (l.releaseModeNow == 1), shape (l.releaseShapeNow)
    {
        ceil = l.coreCeilingLin;
        relLin = l.relLin;
        relExp = l.relExp;
        releaseSteps();
    }

    // The per-sample settings, read again whenever a moving ramp may have changed them.
    void settings() noexcept
    {
        ceil = lim.coreCeilingLin;
        if (relLin != lim.relLin || relExp != lim.relExp)
        {
            relLin = lim.relLin;
            relExp = lim.relExp;
            releaseSteps();
        }
    }

    void store() noexcept
    {
        lim.gain[0] = g0;
        lim.gain[1] = g1;
        lim.flux[0] = flux0;
        lim.flux[1] = flux1;
        lim.prevDetector[0] = prev0;
        lim.prevDetector[1] = prev1;
        lim.delayIndex = index;
        lim.windows[0].takeBack (w0);
        lim.windows[1].takeBack (w1);
    }

    // ceiling / peak when the peak is over the ceiling, else 1 (peak / peak is exactly 1), without a
    // branch. The ceiling is at least -6 dB in use; a ceiling of silence reads 0 even for a silent window.
    forcedinline float targetFor (float peak) const noexcept
    {
        return std::min (ceil / std::max (peak, std::max (ceil, 1.0e-30f)), 1.0f);
    }

    static forcedinline void track (float& flux, float& prev, float e) noexcept
    {
        flux = 0.95f * flux + 0.05f * std::abs (e - prev);
        prev = e;
    }

    // The release step: g + lin for the linear shape, g + (1 - g) e for the exponential one and for the
    // adaptive one under 3 dB of reduction, g + e for the adaptive one from 3 dB on; e and lin come
    // from the release time, or in Auto from the depth class. The classes change rarely, so they are
    // branches the processor predicts rather than selects on the recursion, which stays a subtract,
    // a multiply, an add and a minimum deep. The release never lowers the gain (the gain stays at or
    // under 1), so the smaller of the released gain and the target is the target whenever it lies
    // under the gain (the attack) and otherwise the release held under the window's peak, so the
    // ceiling holds on every sample, not only after the next attack.
    float lins[4] {}, exps[4] {};

    void releaseSteps() noexcept
    {
        for (int k = 0; k < 4; ++k)
        {
            lins[k] = autoRelease ? lim.autoLin[k] : relLin;
            exps[k] = autoRelease ? lim.autoExp[k] : relExp;
        }
    }

    forcedinline float releaseFrom (float g, int k) const noexcept
    {
        if (shape == 0)
            return g + lins[k];
        if (shape == 2 && ! (g < kGain3dB))
            return g + exps[k];
        return g + (1.0f - g) * exps[k];
    }

    forcedinline float envelope (float g, float flux, float target) const noexcept
    {
        float released;
        if (! autoRelease || flux > 0.5f)
            released = releaseFrom (g, 0);
        else if (g < kGain6dB)
            released = releaseFrom (g, 1);
        else if (g < kGain2dB)
            released = releaseFrom (g, 2);
        else
            released = releaseFrom (g, 3);
        return std::min (released, target);
    }

    forcedinline float delay (float* line, float v) const noexcept
    {
        const float out = line[index];
        line[index] = v;
        return out;
    }

    // The window's peak after pushing e. With the shortest lookahead the window spans this value and
    // the one before, which is the detector value the flux tracking keeps: no window is needed.
    template <bool shortWindow>
    static forcedinline float peakOf (MaxWindow::Cursor& w, float previous, float e) noexcept
    {
        return shortWindow ? std::max (previous, e) : w.push (e);
    }

    template <int mode, bool shortWindow>
    forcedinline void step (float& a, float& b) noexcept
    {
        if (mode == midSideMode)
        {
            const float m = 0.5f * (a + b), s = 0.5f * (a - b);
            const float e = std::abs (m) + std::abs (s);
            const float peak = peakOf<shortWindow> (w0, prev0, e);
            track (flux0, prev0, e);
            g0 = envelope (g0, flux0, targetFor (peak));
            const float md = delay (line0, m), sd = delay (line1, s);
            a = g0 * md + g0 * sd;
            b = g0 * md - g0 * sd;
        }
        else if (mode == linkedMode)
        {
            const float e = std::max (std::abs (a), std::abs (b));
            const float peak = peakOf<shortWindow> (w0, prev0, e);
            track (flux0, prev0, e);
            g0 = envelope (g0, flux0, targetFor (peak));
            a = g0 * delay (line0, a);
            b = g0 * delay (line1, b);
        }
        else
        {
            const float ea = std::abs (a), eb = std::abs (b);
            const float peakA = peakOf<shortWindow> (w0, prev0, ea);
            const float peakB = peakOf<shortWindow> (w1, prev1, eb);
            track (flux0, prev0, ea);
            track (flux1, prev1, eb);
            g0 = envelope (g0, flux0, targetFor (peakA));
            g1 = envelope (g1, flux1, targetFor (peakB));
            a = g0 * delay (line0, a);
            b = g1 * delay (line1, b);
        }
        index = index + 1 >= length ? 0 : index + 1;
    }

};

template <int mode, bool shortWindow, typename PerHostSample>
void VyrLimiter::runCore (float* pl, float* pr, int hostSamples, int f, PerHostSample&& perHostSample) noexcept
{
    CoreRun run (*this);
    float groupMin = holdMinGain;
    int groupCount = holdCount;
    for (int j = 0; j < hostSamples; ++j)
    {
        if (perHostSample (j))
            run.settings();
        float minGain = 1.0f;
        float* a = pl + j * f;
        float* b = pr + j * f;
        for (int p = 0; p < f; ++p)
        {
            run.template step<mode, shortWindow> (a[p], b[p]);
            minGain = std::min (minGain, std::min (run.g0, run.g1));
        }
        groupMin = std::min (groupMin, minGain);
        if (++groupCount >= kHoldGroup)
        {
            holdMinGain = groupMin;
            holdCount = groupCount;
            flushHold();
            groupMin = 1.0f;
            groupCount = 0;
        }
    }
    holdMinGain = groupMin;
    holdCount = groupCount;
    run.store();
}

template <typename PerHostSample>
void VyrLimiter::runCoreFor (float* pl, float* pr, int hostSamples, int f, PerHostSample&& perHostSample) noexcept
{
    // The window holds laN + 1 values; at one sample of lookahead that is the current and the last.
    if (laN == 1)
    {
        if (msMode)
            runCore<CoreRun::midSideMode, true> (pl, pr, hostSamples, f, perHostSample);
        else if (linked)
            runCore<CoreRun::linkedMode, true> (pl, pr, hostSamples, f, perHostSample);
        else
            runCore<CoreRun::unlinkedMode, true> (pl, pr, hostSamples, f, perHostSample);
    }
    else if (msMode)
        runCore<CoreRun::midSideMode, false> (pl, pr, hostSamples, f, perHostSample);
    else if (linked)
        runCore<CoreRun::linkedMode, false> (pl, pr, hostSamples, f, perHostSample);
    else
        runCore<CoreRun::unlinkedMode, false> (pl, pr, hostSamples, f, perHostSample);
}

void VyrLimiter::envelope (int ch, float target) noexcept
{
    CoreRun run (*this);
    gain[ch] = run.envelope (gain[ch], flux[ch], target);
}

void VyrLimiter::limitPair (float& a, float& b) noexcept
{
    CoreRun run (*this);
    if (msMode)
        run.step<CoreRun::midSideMode, false> (a, b);
    else if (linked)
        run.step<CoreRun::linkedMode, false> (a, b);
    else
        run.step<CoreRun::unlinkedMode, false> (a, b);
    run.store();
}


//==================================================================================================
void VyrLimiter::process (juce::AudioBuffer<float>& buffer) noexcept
{
    const int n = buffer.getNumSamples();
    const int channels = buffer.getNumChannels();
    if (n <= 0 || channels <= 0)
        return;

    float* left = buffer.getWritePointer (0);
    float* right = channels > 1 ? buffer.getWritePointer (1) : nullptr;

    const int f = factorForSettings();
    if (f != factor)
    {
        factor = f;
        if (f > 1)
            designOversampling();
        else
            downLength = 0;
        clearOversampling();
        updateAutoCoefficients();
        cachedReleaseSeconds = -1.0f;
    }
    resizeLookahead();

    inRamp.setTargetValue (vyrDsp::dbToGain (finiteOr (inputGain, 0.0f)));
    outRamp.setTargetValue (vyrDsp::dbToGain (finiteOr (outputGain, 0.0f)));
    ceilingRamp.setTargetValue (std::min (finiteOr (ceiling, -0.1f), 0.0f));
    releaseRamp.setTargetValue (std::max (finiteOr (release, 0.05f), 0.001f));
    styleRamp.setTargetValue (juce::jlimit (0.0f, 4.0f, finiteOr (stylePos, 0.0f)));
    const float wetTarget = enabled ? juce::jlimit (0.0f, 1.0f, finiteOr (mix, 1.0f)) : 0.0f;
    wetRamp.setTargetValue (wetTarget);
    dryRamp.setTargetValue (enabled ? 1.0f - wetTarget : 1.0f);
    dcRamp.setTargetValue (dcBlocker ? 12.0f : 8.0f);

    if (fresh)
    {
        // Nothing has been heard yet, so every ramp starts where the settings put it: the first
        // block already holds the ceiling and gains instead of gliding in from construction values.
        for (auto* r : { &inRamp, &outRamp, &ceilingRamp, &releaseRamp, &styleRamp, &wetRamp, &dryRamp, &dcRamp })
            r->setCurrentAndTargetValue (r->getTargetValue());
        fresh = false;
    }

    const float corner = juce::jlimit (8.0f, 20.0f, dcRamp.getCurrentValue());
    dcRamp.skip (n);
    if (std::abs (corner - highPassCorner) > 0.08f)
        designHighPass (corner);

    releaseModeNow = releaseMode == 1 ? 1 : 0;
    releaseShapeNow = (releaseShape == 0 || releaseShape == 2) ? releaseShape : 1;

    if (! enabled && wetTarget <= 0.0f && ! wetRamp.isSmoothing() && wetRamp.getCurrentValue() <= 1.0e-6f)
    {
        processBypass (left, right, n);
        return;
    }

    if (coreIdle)
    {
        // The core stood still while switched off; its lines hold stale audio.
        clearCore();
        clearOversampling();
        clearMeterFilters();
        coreIdle = false;
    }
    processActive (left, right, n);
}

float VyrLimiter::currentHold() const noexcept
{
    // Gain-reduction meter hold: the deepest reduction of the open group if it beats the decayed hold.
    const float decayed = meterHold * holdDecayPow[holdCount];
    // A readout only: the fast decibels are within 2e-5 dB of the exact ones down to the 120 dB floor.
    const float r = holdMinGain < 1.0f ? -vyrDsp::fastGainToDb (std::max (holdMinGain, 1.0e-6f)) : 0.0f;
    return std::max (r, decayed);
}

void VyrLimiter::flushHold() noexcept
{
    meterHold = currentHold();
    holdMinGain = 1.0f;
    holdCount = 0;
}

namespace
{
    // Interpolates m host samples: out[j F + p] = sum over k of bank[k][p] x line[j + k], k = 0 .. T - 1
    // in order (line holds T - 1 past samples before the chunk). The phases of one host sample are the
    // lanes of one vector.
    typedef float VyrLanes4 __attribute__ ((vector_size (16)));
    typedef float VyrLanes8 __attribute__ ((vector_size (32)));

    template <typename Lanes, int f>
    forcedinline void interpolateChunk (const float (*bank)[8], int t, const float* line, float* out, int m) noexcept
    {
        static_assert (f * sizeof (float) <= sizeof (Lanes));
        for (int j = 0; j < m; ++j)
        {
            Lanes acc {};
            const float* h = line + j;
            for (int k = 0; k < t; ++k)
            {
                Lanes c;
                std::memcpy (&c, bank[k], sizeof (Lanes));
                acc += c * h[k];
            }
            std::memcpy (out + j * f, &acc, f * sizeof (float));
        }
    }

    VYR_WIDE_VECTOR_CLONES void interpolate (const float (*bank)[8], int t, int f, const float* line, float* out, int m) noexcept
    {
        if (f == 2)
            interpolateChunk<VyrLanes4, 2> (bank, t, line, out, m);
        else if (f == 4)
            interpolateChunk<VyrLanes4, 4> (bank, t, line, out, m);
        else
            interpolateChunk<VyrLanes8, 8> (bank, t, line, out, m);
    }

    // Decimates m host samples: output j is the filter over the lp oversampled values ending with the
    // last phase of host sample j (line holds lp - 1 past values before the chunk), in eight partial
    // sums (lp is a multiple of 8) joined pairwise.
    VYR_WIDE_VECTOR_CLONES void decimateChunk (const float* bank, int lp, int f, const float* line, float* out, int m) noexcept
    {
        for (int j = 0; j < m; ++j)
        {
            const float* d = line + j * f + f - 1;
            float s[8] {};
            for (int k = 0; k < lp; k += 8)
                for (int q = 0; q < 8; ++q)
                    s[q] += bank[k + q] * d[k + q];
            out[j] = ((s[0] + s[1]) + (s[2] + s[3])) + ((s[4] + s[5]) + (s[6] + s[7]));
        }
    }
}

void VyrLimiter::processActive (float* left, float* right, int n) noexcept
{
    const int f = factor;
    const int t = taps;
    const int lp = downLength;
    const int dryLength = (int) dryLine[0].size();
    int dryRead = dryWrite - latencyFor (factor, laN);
    if (dryRead < 0)
        dryRead += dryLength;

    const int bits = dither == 1 ? 16 : (dither == 2 ? 24 : 0);
    const float q = bits > 0 ? std::ldexp (1.0f, 1 - bits) : 0.0f;
    const float invQ = bits > 0 ? std::ldexp (1.0f, bits - 1) : 0.0f;
    const float* shape = nullptr;
    int shapeTaps = 0;
    if (bits > 0)
    {
        if (noiseShape == 1)      { shape = kShapeBasic; shapeTaps = 1; }
        else if (noiseShape == 2) { shape = kShapeOpt;   shapeTaps = 2; }
        else if (noiseShape == 3) { shape = kShapeW;     shapeTaps = 5; }
    }

    float inMaxL = 0.0f, inMaxR = 0.0f, outMaxL = 0.0f, outMaxR = 0.0f;
    float colourPos = -1.0f, colour = 0.0f;

    // A stereo block's input stage (gain, high-pass) runs first over the whole block, in place, with
    // both high-pass states in locals side by side; the core then reads the prepared samples. A mono
    // block does the same per chunk, its second detector channel (the left input through the right
    // high-pass) going to a scratch line.
    auto inputStage = [this, &inMaxL, &inMaxR] (float* l, float* r, const float* rawR, int count) noexcept
    {
        BiquadPair hp (highPass[0], highPass[1]);
        const bool steady = ! inRamp.isSmoothing();
        const float gSteady = inRamp.getCurrentValue();
        float maxL = inMaxL, maxR = inMaxR;
        for (int j = 0; j < count; ++j)
        {
            const float g = steady ? gSteady : inRamp.getNextValue();
            const PairD x { (double) (g * cleanSample (l[j])), (double) (g * cleanSample (rawR[j])) };
            const PairD y = hp.process (x);
            const float xl = (float) y[0], xr = (float) y[1];
            l[j] = xl;
            r[j] = xr;
            maxL = std::max (maxL, std::abs (xl));
            maxR = std::max (maxR, std::abs (xr));
        }
        inMaxL = maxL;
        inMaxR = maxR;
        hp.storeTo (highPass[0], highPass[1]);
    };
    if (right != nullptr)
        inputStage (left, right, right, n);

    // Settled ramps give the same value every sample: the core's settings are then worked out once
    // for the block instead of once per sample.
    const bool steadyCore = ! ceilingRamp.isSmoothing() && ! releaseRamp.isSmoothing() && ! styleRamp.isSmoothing()
                            && ! dryRamp.isSmoothing() && ! wetRamp.isSmoothing() && ! outRamp.isSmoothing();
    const float dSteady = dryRamp.getTargetValue(), wSteady = wetRamp.getTargetValue(), oSteady = outRamp.getTargetValue();

    // TPDF dither; the shaped error feedback is subtracted, so the requantisation noise takes the shape
    // 1 - H(z) and moves up the spectrum.
    auto quantise = [&] (float x, float* err) noexcept
    {
        const float u1 = (float) nextUniform();
        const float u2 = (float) nextUniform();
        float v = x + q * (u1 - u2);
        if (shapeTaps > 0)
        {
            float fb = 0.0f;
            for (int k = 0; k < shapeTaps; ++k)
                fb += shape[k] * err[k];
            v -= fb;
            for (int k = shapeTaps - 1; k > 0; --k)
                err[k] = err[k - 1];
        }
        const float out = q * roundHalfAway (v * invQ);
        if (shapeTaps > 0)
            err[0] = out - v;
        return out;
    };

    float* wetL = wetChunk[0].data();
    float* wetR = wetChunk[1].data();
    float* colours = colourChunk.data();
    float* ceilings = ceilingChunk.data();

    for (int start = 0; start < n; start += kChunk)
    {
        const int m = std::min (kChunk, n - start);
        float* blockL = left + start;
        float* blockR = right != nullptr ? right + start : monoRight.data();
        if (right == nullptr)
            inputStage (blockL, blockR, blockL, m);

        // The core's per-sample settings; the colour and ceiling of each sample are kept for the
        // output pass. Returns whether they may have changed.
        auto settingsFor = [&] (int j) noexcept
        {
            if (steadyCore && ! (start == 0 && j == 0))
                return false;
            const float cdb = ceilingRamp.getNextValue();
            coreRelease = releaseRamp.getNextValue();
            coreStyle = styleRamp.getNextValue();
            if (cdb != coreCeilingDb)
            {
                coreCeilingDb = cdb;
                coreCeilingLin = cdb > -100.0f ? std::pow (10.0f, std::min (cdb, 0.0f) / 20.0f) * kCeilingGuard : 0.0f;
            }
            if (releaseModeNow == 0 && (coreRelease != cachedReleaseSeconds || coreStyle != cachedReleasePos))
                updateReleaseCoefficients (coreRelease, coreStyle);
            if (coreStyle != colourPos)
            {
                colourPos = coreStyle;
                colour = styleBlend (vyrLimStyle::kColour, coreStyle);
            }
            colours[j] = colour;
            ceilings[j] = coreCeilingLin;
            return true;
        };

        if (f == 1)
        {
            std::copy (blockL, blockL + m, wetL);
            std::copy (blockR, blockR + m, wetR);
            runCoreFor (wetL, wetR, m, 1, settingsFor);
        }
        else
        {
            // Interpolate the chunk into the oversampled lines.
            float* osL = osLine[0].data() + lp - 1;
            float* osR = osLine[1].data() + lp - 1;
            float* upL = upLine[0].data();
            float* upR = upLine[1].data();
            std::copy (blockL, blockL + m, upL + t - 1);
            std::copy (blockR, blockR + m, upR + t - 1);
            interpolate (upBank, t, f, upL, osL, m);
            interpolate (upBank, t, f, upR, osR, m);
            std::copy (upL + m, upL + m + t - 1, upL);
            std::copy (upR + m, upR + m + t - 1, upR);

            // Limit it in place, one host sample's phases at a time.
            runCoreFor (osL, osR, m, f, settingsFor);

            // Back to the host rate. The decimator's low-pass can lift a limited peak a little above
            // the ceiling when the gain steps; those rare host-rate overs are clipped so the ceiling
            // holds at every factor (the ceiling only moves per sample while its ramp runs, and the
            // ramps have then stored it per sample through the core's settings).
            decimateChunk (downBank, lp, f, osLine[0].data(), wetL, m);
            decimateChunk (downBank, lp, f, osLine[1].data(), wetR, m);
            const int keep = lp - 1, total = lp - 1 + m * f;
            std::copy (osLine[0].data() + total - keep, osLine[0].data() + total, osLine[0].data());
            std::copy (osLine[1].data() + total - keep, osLine[1].data() + total, osLine[1].data());
            if (steadyCore)
            {
                const float c = coreCeilingLin;
                for (int j = 0; j < m; ++j)
                {
                    wetL[j] = juce::jlimit (-c, c, wetL[j]);
                    wetR[j] = juce::jlimit (-c, c, wetR[j]);
                }
            }
        }

        // The wet share with its colour; the output's dither, store and peaks. The peaks and the colour
        // live in locals of this pass (not behind references the output stores could alias).
        const float colourNow = colour;
        float maxL = outMaxL, maxR = outMaxR;
        auto wetOf = [wetL, wetR, colours, ceilings, colourNow, steadyCore, f] (int j, float& yl, float& yr) noexcept
        {
            yl = wetL[j];
            yr = wetR[j];
            const float cj = steadyCore ? colourNow : colours[j];
            if (! steadyCore && f > 1)
            {
                const float c = ceilings[j];
                yl = juce::jlimit (-c, c, yl);
                yr = juce::jlimit (-c, c, yr);
            }
            if (cj > 0.0001f)
            {
                yl += cj * (colourTanh (1.35f * yl) - yl);
                yr += cj * (colourTanh (1.35f * yr) - yr);
            }
        };
        const bool stereo = right != nullptr;
        auto finish = [&] (int j, float ol, float orr, float& mL, float& mR) noexcept
        {
            if (bits > 0)
            {
                ol = quantise (ol, shapeError[0]);
                orr = quantise (orr, shapeError[1]);
            }
            blockL[j] = ol;
            if (stereo)
                blockR[j] = orr;
            mL = std::max (mL, std::abs (ol));
            mR = std::max (mR, std::abs (orr));
        };

        if (steadyCore && dSteady == 0.0f)
        {
            // No dry share: the chunk's input goes into the dry line as one copy (the line then holds
            // what the per-sample path would have left in it) and the output is the wet share alone.
            const int count = std::min (m, dryLength);
            const int pos = (dryWrite + m - count) % dryLength;
            const int first = std::min (count, dryLength - pos);
            for (int c = 0; c < 2; ++c)
            {
                const float* src = (c == 0 ? blockL : blockR) + m - count;
                float* line = dryLine[c].data();
                std::copy (src, src + first, line + pos);
                std::copy (src + first, src + count, line);
            }
            dryWrite = (dryWrite + m) % dryLength;
            dryRead = (dryRead + m) % dryLength;
            for (int j = 0; j < m; ++j)
            {
                float yl, yr, mL = maxL, mR = maxR;
                wetOf (j, yl, yr);
                finish (j, oSteady * (wSteady * yl), oSteady * (wSteady * yr), mL, mR);
                maxL = mL;
                maxR = mR;
            }
        }
        else
        {
            for (int j = 0; j < m; ++j)
            {
                float yl, yr, mL = maxL, mR = maxR;
                wetOf (j, yl, yr);
                const float d = steadyCore ? dSteady : dryRamp.getNextValue();
                const float w = steadyCore ? wSteady : wetRamp.getNextValue();
                const float o = steadyCore ? oSteady : outRamp.getNextValue();
                dryLine[0][dryWrite] = blockL[j];
                dryLine[1][dryWrite] = blockR[j];
                const float dl = dryLine[0][dryRead];
                const float dr = dryLine[1][dryRead];
                if (++dryWrite >= dryLength)
                    dryWrite = 0;
                if (++dryRead >= dryLength)
                    dryRead = 0;
                finish (j, o * (d * dl + w * yl), o * (d * dr + w * yr), mL, mR);
                maxL = mL;
                maxR = mR;
            }
        }
        outMaxL = maxL;
        outMaxR = maxR;
    }

    measureLoudness (left, right, n);

    // The output is final here, so its true peak is scanned over the whole block at once (a mono
    // block's missing right channel equals the left).
    float tpMax = outputPeak.process (left, n, 0);
    if (right != nullptr)
        tpMax = std::max (tpMax, outputPeak.process (right, n, 1));
    blockTruePeak = tpMax;

    publishPeaks (inMaxL, inMaxR, outMaxL, outMaxR);
    const float heldGr = currentHold();
    const float tpDb = levelDb (tpMax);
    meterBlock.truePeakDb.store (tpDb, std::memory_order_release);
    raiseTo (meterBlock.maxTruePeak, tpDb);
    grDb.store (heldGr, std::memory_order_release);
    raiseTo (meterBlock.maxGr, heldGr);

    meterBlock.lufsMomentary.store (lastMomentary, std::memory_order_release);
    meterBlock.lufsShort.store (lastShort, std::memory_order_release);

    const int every = std::max ((int) (sampleRate / n / 60.0), 1);
    if (++grDecimation >= every)
    {
        grDecimation = 0;
        int wr = grHistoryWrite.load (std::memory_order_relaxed);
        if (wr < 0 || wr >= grHistorySize)
            wr = 0;
        grHistory[(size_t) wr].store (heldGr, std::memory_order_release);
        grHistoryWrite.store (wr + 1 >= grHistorySize ? 0 : wr + 1, std::memory_order_release);
    }

    checkFinite();
}

void VyrLimiter::measureLoudness (const float* left, const float* right, int n) noexcept
{
    // The finished block through the K-weighting, filter states in locals; each 100 ms slice closes on
    // its own sample, so the readings do not depend on the block size. A mono block's missing right
    // channel equals the left.
    const float* r = right != nullptr ? right : left;
    sampleEnergyValid = n <= (int) sampleEnergy.size();
    double* energy = sampleEnergyValid ? sampleEnergy.data() : nullptr;
    for (int i = 0; i < n;)
    {
        const int take = std::min (n - i, sliceLength - sliceCount);
        BiquadPair shelf (kShelf[0], kShelf[1]), high (kHighPass[0], kHighPass[1]);
        double sum = sliceSum;
        for (int k = i; k < i + take; ++k)
        {
            const PairD z = high.process (shelf.process (PairD { (double) left[k], (double) r[k] }));
            const double e = z[0] * z[0] + z[1] * z[1];
            if (energy != nullptr)
                energy[k] = e;
            sum += e;
        }
        shelf.storeTo (kShelf[0], kShelf[1]);
        high.storeTo (kHighPass[0], kHighPass[1]);
        sliceSum = sum;
        sliceCount += take;
        i += take;
        if (sliceCount >= sliceLength)
            closeLoudnessSlice();
    }
}

void VyrLimiter::processBypass (float* left, float* right, int n) noexcept
{
    coreIdle = true;
    blockTruePeak = -1.0f;
    sampleEnergyValid = false;
    meterHold = 0.5f * currentHold();
    holdMinGain = 1.0f;
    holdCount = 0;
    grDb.store (meterHold, std::memory_order_release);
    meterBlock.truePeakDb.store (-120.0f, std::memory_order_release);
    meterBlock.lufsMomentary.store (-100.0f, std::memory_order_release);
    meterBlock.lufsShort.store (-100.0f, std::memory_order_release);
    meterBlock.lufsIntegrated.store (-100.0f, std::memory_order_release);

    // The switched-off path keeps the module's delay so the output stays where the host expects it.
    const int dryLength = (int) dryLine[0].size();
    int dryRead = dryWrite - latencyFor (factor, laN);
    if (dryRead < 0)
        dryRead += dryLength;

    // Ramps the switched-off path does not use move on by the whole block; the high-pass states and
    // the line positions live in locals, both channels side by side.
    ceilingRamp.skip (n);
    releaseRamp.skip (n);
    styleRamp.skip (n);
    dryRamp.skip (n);
    wetRamp.skip (n);

    float* lineL = dryLine[0].data();
    float* lineR = dryLine[1].data();
    int w = dryWrite, r = dryRead;
    float inMaxL = 0.0f, inMaxR = 0.0f, outMaxL = 0.0f, outMaxR = 0.0f;
    const bool steady = ! inRamp.isSmoothing() && ! outRamp.isSmoothing();
    const float gSteady = inRamp.getCurrentValue(), oSteady = outRamp.getCurrentValue();
    if (right != nullptr)
    {
        BiquadPair hp (highPass[0], highPass[1]);
        for (int j = 0; j < n; ++j)
        {
            const float g = steady ? gSteady : inRamp.getNextValue();
            const float o = steady ? oSteady : outRamp.getNextValue();
            const PairD y = hp.process (PairD { (double) cleanSample (left[j]), (double) cleanSample (right[j]) });
            const float xl = (float) y[0], xr = (float) y[1];
            inMaxL = std::max (inMaxL, std::abs (xl));
            inMaxR = std::max (inMaxR, std::abs (xr));
            lineL[w] = g * xl;
            lineR[w] = g * xr;
            const float ol = o * lineL[r];
            const float orr = o * lineR[r];
            left[j] = ol;
            right[j] = orr;
            outMaxL = std::max (outMaxL, std::abs (ol));
            outMaxR = std::max (outMaxR, std::abs (orr));
            if (++w >= dryLength)
                w = 0;
            if (++r >= dryLength)
                r = 0;
        }
        hp.storeTo (highPass[0], highPass[1]);
    }
    else
    {
        // A one-channel block runs the left section only.
        BiquadD hpL = highPass[0];
        for (int j = 0; j < n; ++j)
        {
            const float g = steady ? gSteady : inRamp.getNextValue();
            const float o = steady ? oSteady : outRamp.getNextValue();
            const float xl = (float) hpL.process ((double) cleanSample (left[j]));
            inMaxL = std::max (inMaxL, std::abs (xl));
            lineL[w] = g * xl;
            const float ol = o * lineL[r];
            left[j] = ol;
            outMaxL = std::max (outMaxL, std::abs (ol));
            if (++w >= dryLength)
                w = 0;
            if (++r >= dryLength)
                r = 0;
        }
        highPass[0] = hpL;
    }
    dryWrite = w;

    meterBlock.inPeakL.store (levelDb (inMaxL), std::memory_order_release);
    meterBlock.inPeakR.store (levelDb (inMaxR), std::memory_order_release);
    meterBlock.outPeakL.store (levelDb (outMaxL), std::memory_order_release);
    meterBlock.outPeakR.store (levelDb (outMaxR), std::memory_order_release);

    checkFinite();
}

void VyrLimiter::publishPeaks (float inL, float inR, float outL, float outR) noexcept
{
    const float dbInL = levelDb (inL), dbInR = levelDb (inR);
    const float dbOutL = levelDb (outL), dbOutR = levelDb (outR);
    meterBlock.inPeakL.store (dbInL, std::memory_order_release);
    meterBlock.inPeakR.store (dbInR, std::memory_order_release);
    meterBlock.outPeakL.store (dbOutL, std::memory_order_release);
    meterBlock.outPeakR.store (dbOutR, std::memory_order_release);
    raiseTo (meterBlock.maxIn, dbInL);
    raiseTo (meterBlock.maxIn, dbInR);
    raiseTo (meterBlock.maxOut, dbOutL);
    raiseTo (meterBlock.maxOut, dbOutR);
}

double VyrLimiter::nextUniform() noexcept
{
    ditherState = (ditherState * 25214903917ull + 11ull) & ((1ull << 48) - 1ull);
    const double u = (double) ((ditherState >> 16) & 0xffffffffull) / 4294967296.0;
    return std::min (u, 0.9999999);
}

//==================================================================================================
void VyrLimiter::closeLoudnessSlice() noexcept
{
    sliceEnergy[sliceWrite] = sliceSum / sliceLength;
    if (++sliceWrite >= kSlicesShort)
        sliceWrite = 0;
    sliceSum = 0.0;
    sliceCount = 0;
    if (slicesSeen < kSlicesShort)
        ++slicesSeen;

    // Windows reach back over slices before the start as silence.
    double momentary = 0.0, shortTerm = 0.0;
    for (int i = 0; i < kSlicesShort; ++i)
    {
        int idx = sliceWrite - 1 - i;
        if (idx < 0)
            idx += kSlicesShort;
        shortTerm += sliceEnergy[idx];
        if (i < kSlicesMomentary)
            momentary += sliceEnergy[idx];
    }
    momentary /= kSlicesMomentary;
    shortTerm /= kSlicesShort;
    lastMomentary = loudnessOf (momentary);
    lastShort = loudnessOf (shortTerm);

    auto addTo = [] (std::vector<double>& count, std::vector<double>& energy, double& totalCount,
                     double& totalEnergy, float lufs, double e) noexcept
    {
        const int bin = juce::jlimit (0, kHistBins - 1, (int) ((lufs - kHistFloor) * kHistBinsPerLu));
        count[(size_t) bin] += 1.0;
        energy[(size_t) bin] += e;
        totalCount += 1.0;
        totalEnergy += e;
    };

    if (loudnessResetPending.exchange (false))
        clearLoudnessHistories();
    // 400 ms gating blocks every 100 ms (75 % overlap) for the integrated loudness; 3 s short-term
    // values every 100 ms for the loudness range; both above the -70 LUFS absolute gate.
    if (slicesSeen >= kSlicesMomentary && lastMomentary > kHistFloor)
        addTo (blockCount, blockEnergy, blockTotalCount, blockTotalEnergy, lastMomentary, momentary);
    if (slicesSeen >= kSlicesShort && lastShort > kHistFloor)
        addTo (shortCount, shortEnergy, shortTotalCount, shortTotalEnergy, lastShort, shortTerm);
    refreshGatedReadings();
}

void VyrLimiter::refreshGatedReadings() noexcept
{
    auto firstBinAbove = [] (double gate) noexcept
    {
        // A bin counts when its centre lies above the gate.
        const double pos = (gate - (double) kHistFloor) * kHistBinsPerLu - 0.5;
        return juce::jlimit (0, kHistBins, (int) std::floor (pos) + 1);
    };
    auto binCentre = [] (int bin) noexcept { return kHistFloor + ((float) bin + 0.5f) / kHistBinsPerLu; };

    float integrated = -100.0f;
    if (blockTotalCount > 0.0)
    {
        const double gate = -0.691 + 10.0 * std::log10 (blockTotalEnergy / blockTotalCount) - 10.0;
        double c = 0.0, e = 0.0;
        for (int b = firstBinAbove (gate); b < kHistBins; ++b)
        {
            c += blockCount[(size_t) b];
            e += blockEnergy[(size_t) b];
        }
        if (c > 0.0)
            integrated = loudnessOf (e / c);
    }
    meterBlock.lufsIntegrated.store (integrated, std::memory_order_release);

    float range = 0.0f;
    if (shortTotalCount >= 11.0)
    {
        const double gate = -0.691 + 10.0 * std::log10 (shortTotalEnergy / shortTotalCount) - 20.0;
        const int first = firstBinAbove (gate);
        double c = 0.0;
        for (int b = first; b < kHistBins; ++b)
            c += shortCount[(size_t) b];
        if (c >= 1.0)
        {
            const double lowRank = std::floor ((c - 1.0) * 0.10 + 0.5);
            const double highRank = std::floor ((c - 1.0) * 0.95 + 0.5);
            int lowBin = -1, highBin = -1;
            double seen = 0.0;
            for (int b = first; b < kHistBins && highBin < 0; ++b)
            {
                seen += shortCount[(size_t) b];
                if (lowBin < 0 && seen > lowRank)
                    lowBin = b;
                if (seen > highRank)
                    highBin = b;
            }
            if (lowBin >= 0 && highBin >= 0)
                range = std::max (0.0f, binCentre (highBin) - binCentre (lowBin));
        }
    }
    meterBlock.lra.store (range, std::memory_order_release);
}

void VyrLimiter::clearLoudnessHistories() noexcept
{
    std::fill (blockCount.begin(), blockCount.end(), 0.0);
    std::fill (blockEnergy.begin(), blockEnergy.end(), 0.0);
    std::fill (shortCount.begin(), shortCount.end(), 0.0);
    std::fill (shortEnergy.begin(), shortEnergy.end(), 0.0);
    blockTotalCount = blockTotalEnergy = shortTotalCount = shortTotalEnergy = 0.0;
}

void VyrLimiter::resetLoudness() noexcept
{
    loudnessResetPending = true;
    meterBlock.lufsMomentary.store (-100.0f, std::memory_order_release);
    meterBlock.lufsShort.store (-100.0f, std::memory_order_release);
    meterBlock.lufsIntegrated.store (-100.0f, std::memory_order_release);
    meterBlock.lra.store (0.0f, std::memory_order_release);
}

void VyrLimiter::resetMaxima() noexcept
{
    meterBlock.maxIn.store (-120.0f, std::memory_order_release);
    meterBlock.maxOut.store (-120.0f, std::memory_order_release);
    meterBlock.maxTruePeak.store (-120.0f, std::memory_order_release);
    meterBlock.maxGr.store (0.0f, std::memory_order_release);
}

void VyrLimiter::checkFinite() noexcept
{
    bool ok = std::isfinite (gain[0]) && std::isfinite (gain[1]) && std::isfinite (flux[0])
              && std::isfinite (flux[1]) && std::isfinite (meterHold) && std::isfinite (sliceSum);
    for (int c = 0; c < 2; ++c)
        ok = ok && highPass[c].finite() && kShelf[c].finite() && kHighPass[c].finite()
             && std::isfinite (shapeError[c][0]);
    if (ok)
        return;

    clearCore();
    clearOversampling();
    clearMeterFilters();
    for (auto& hp : highPass)
        hp.reset();
    for (auto& s : shapeError)
        std::fill (std::begin (s), std::end (s), 0.0f);
    meterHold = 0.0f;
    sliceSum = 0.0;
}
