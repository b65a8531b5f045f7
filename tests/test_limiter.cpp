// Limiter engine: ceiling, release and style behaviour, oversampling response and latency, dither,
// and the loudness and true-peak readouts against EBU test signals and an independent reference.

#include <gtest/gtest.h>
#include "TestSignals.h"
#include "Dsp/LimiterEngine.h"

#include <cmath>
#include <functional>
#include <vector>

#if VYR_HAVE_EBUR128
 #include <ebur128.h>
#endif

namespace
{
    constexpr double kTwoPi = 6.283185307179586;

    using Buffer = juce::AudioBuffer<float>;

    Buffer makeSine (int channels, double sr, double seconds, double hz, double amplitude, double phase = 0.0)
    {
        Buffer b (channels, (int) std::lround (sr * seconds));
        for (int ch = 0; ch < channels; ++ch)
            for (int i = 0; i < b.getNumSamples(); ++i)
                b.setSample (ch, i, (float) (amplitude * std::sin (kTwoPi * hz * i / sr + phase)));
        return b;
    }

    // Program-like stereo material: pink-ish noise, a bass line and a slow level swell.
    Buffer makeProgram (double sr, double seconds, int seed, float level = 0.25f)
    {
        Buffer b (2, (int) std::lround (sr * seconds));
        juce::Random rng (seed);
        for (int ch = 0; ch < 2; ++ch)
        {
            vyrTestSignals::PinkFilter pink;
            auto* d = b.getWritePointer (ch);
            for (int i = 0; i < b.getNumSamples(); ++i)
            {
                const float p = pink.next (rng.nextFloat() * 2.0f - 1.0f);
                const double t = i / sr;
                const float swell = (float) (0.65 + 0.35 * std::sin (kTwoPi * 0.23 * t + ch));
                d[i] = swell * (level * p + 1.2f * level * (float) std::sin (kTwoPi * 55.0 * t + 0.5 * ch));
            }
        }
        return b;
    }

    // Runs the limiter over a copy of the input in blocks; the hook runs before each block.
    Buffer run (VyrLimiter& lim, const Buffer& input, int block,
                const std::function<void (int)>& beforeBlock = {})
    {
        Buffer out (input);
        for (int start = 0, index = 0; start < out.getNumSamples(); start += block, ++index)
        {
            const int n = std::min (block, out.getNumSamples() - start);
            if (beforeBlock)
                beforeBlock (index);
            Buffer view (out.getArrayOfWritePointers(), out.getNumChannels(), start, n);
            lim.process (view);
        }
        return out;
    }

    double peakDb (const Buffer& b, int from = 0)
    {
        return 20.0 * std::log10 (std::max (vyrTestSignals::peak (b, from), 1.0e-12f));
    }

    // BS.1770-4 Annex 2 true peak, written independently of the engine: 4x oversampling through a long
    // Kaiser-windowed sinc (64 taps per phase) in double precision.
    double referenceTruePeakDb (const Buffer& b, int from = 0)
    {
        constexpr int factor = 4, half = 32;
        auto i0 = [] (double v) { double s = 1, t = 1; for (int k = 1; k < 60; ++k) { const double q = v / (2 * k); t *= q * q; s += t; } return s; };
        std::vector<std::vector<double>> bank (factor, std::vector<double> (2 * half));
        for (int p = 0; p < factor; ++p)
        {
            double sum = 0;
            for (int k = 0; k < 2 * half; ++k)
            {
                const double u = (k - half + 1) - (double) p / factor;
                const double sinc = std::abs (u) < 1e-12 ? 1.0 : std::sin (M_PI * u) / (M_PI * u);
                const double r = u / half;
                bank[(size_t) p][(size_t) k] = sinc * i0 (8.0 * std::sqrt (std::max (0.0, 1 - r * r))) / i0 (8.0);
                sum += bank[(size_t) p][(size_t) k];
            }
            for (auto& c : bank[(size_t) p])
                c /= sum;
        }
        double best = 0;
        for (int ch = 0; ch < b.getNumChannels(); ++ch)
        {
            const float* x = b.getReadPointer (ch);
            for (int i = std::max (from, 2 * half); i < b.getNumSamples(); ++i)
            {
                best = std::max (best, (double) std::abs (x[i]));
                for (int p = 1; p < factor; ++p)
                {
                    double s = 0;
                    for (int k = 0; k < 2 * half; ++k)
                        s += bank[(size_t) p][(size_t) k] * x[i - k];
                    best = std::max (best, std::abs (s));
                }
            }
        }
        return 20.0 * std::log10 (std::max (best, 1e-12));
    }

    // Quiet everything that is not under test: no colour, no dither, full wet.
    void plain (VyrLimiter& lim)
    {
        lim.stylePos = 0.0f;
        lim.dither = 0;
        lim.mix = 1.0f;
        lim.outputGain = 0.0f;
        lim.inputGain = 0.0f;
    }
}

//==================================================================================================
// Ceiling

TEST (VyrLimiterCeiling, HoldsOnProgramFromTheFirstBlockAtEveryFactor)
{
    struct Case { int factor; bool truePeak; float lookahead; float link; bool ms; double sr; };
    const Case cases[] = {
        { 1, false, 0.0f, 100.0f, false, 44100 }, { 2, false, 0.0f, 100.0f, false, 44100 },
        { 4, false, 1.5f, 100.0f, false, 48000 }, { 8, false, 5.0f, 100.0f, false, 48000 },
        { 1, true, 1.5f, 100.0f, false, 48000 },  { 4, true, 0.0f, 100.0f, false, 96000 },
        { 1, false, 2.0f, 0.0f, false, 44100 },   { 2, false, 2.0f, 100.0f, true, 44100 },
        { 8, true, 20.0f, 0.0f, false, 44100 },
    };
    const float ceilingLin = std::pow (10.0f, -1.0f / 20.0f);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << "factor " << c.factor << " truePeak " << c.truePeak << " lookahead "
                                         << c.lookahead << " link " << c.link << " ms " << c.ms << " sr " << c.sr);
        VyrLimiter lim;
        lim.prepare (c.sr, 512);
        // The processor loads the parameters after prepare, right before the first block.
        plain (lim);
        lim.ceiling = -1.0f;
        lim.inputGain = 12.0f;
        lim.oversampling = c.factor;
        lim.truePeak = c.truePeak;
        lim.lookahead = c.lookahead;
        lim.stereoLink = c.link;
        lim.msMode = c.ms;

        const Buffer input = makeProgram (c.sr, 3.0, 7);
        ASSERT_GT (peakDb (input) + 12.0, 6.0);  // really driven into the ceiling
        const Buffer out = run (lim, input, 512);

        const float worst = vyrTestSignals::peak (out);
        EXPECT_LE (worst, ceilingLin * (1.0f + 1.0e-6f));
        EXPECT_GT (worst, ceilingLin * 0.9f);  // it limits, it does not mute

        // Oversampled detection bounds the BS.1770 true peak: within 0.6 dB of the ceiling at 2x (true
        // peak on forces 2x), within 0.35 dB at 4x and 8x, on this material driven 12 dB deep.
        const int effective = std::max (c.factor, c.truePeak ? 2 : 1);
        if (effective > 1)
            EXPECT_LE (referenceTruePeakDb (out), -1.0 + (effective == 2 ? 0.6 : 0.35));
    }
}

TEST (VyrLimiterCeiling, FullScaleSineSettlesAtTheCeiling)
{
    VyrLimiter lim;
    lim.prepare (48000, 256);
    plain (lim);
    lim.ceiling = -0.1f;
    const Buffer out = run (lim, makeSine (2, 48000, 1.0, 997.0, 1.0), 256);
    EXPECT_LE (peakDb (out), -0.1 + 1e-5);
    EXPECT_NEAR (peakDb (out, 24000), -0.1, 0.01);
}

//==================================================================================================
// Release and style

namespace
{
    // A burst 12 dB over a -6 dB ceiling, then a probe under the ceiling: the output over the delayed
    // probe gives the limiter's gain while it releases (after undoing the style's colour).
    std::vector<double> releaseCurve (VyrLimiter& lim, double sr, double colour)
    {
        const double ceilingLin = std::pow (10.0, -6.0 / 20.0);
        const double burstAmp = 4.0 * ceilingLin, probeAmp = 0.5 * ceilingLin, hz = 1000.0;
        const int burst = (int) (0.1 * sr), total = (int) (1.6 * sr);
        Buffer in (2, total);
        for (int i = 0; i < total; ++i)
            for (int ch = 0; ch < 2; ++ch)
                in.setSample (ch, i, (float) ((i < burst ? burstAmp : probeAmp) * std::sin (kTwoPi * hz * i / sr)));

        lim.ceiling = -6.0f;
        lim.dcBlocker = false;
        const Buffer out = run (lim, in, 480);
        const int latency = lim.getLatencySamples();

        auto undoColour = [colour] (double y)
        {
            if (colour <= 0.0)
                return y;
            double lo = -2.0, hi = 2.0;
            for (int it = 0; it < 60; ++it)
            {
                const double mid = 0.5 * (lo + hi);
                const double v = mid + colour * (std::tanh (1.35 * mid) - mid);
                (v < y ? lo : hi) = mid;
            }
            return 0.5 * (lo + hi);
        };

        // The limiter's 8 Hz high-pass (its own design) applied to the input; the burst's end leaves a
        // slow tail in it that the gain must not be blamed for.
        std::vector<double> filtered ((size_t) total);
        {
            const double k = std::tan (M_PI * 8.0 / sr), m = 1.0 / (1.0 + 1.4144272 * k + k * k);
            const double b0 = m, b1 = -2 * m, b2 = m, a1 = 2 * (k * k - 1) * m, a2 = (1 - 1.4144272 * k + k * k) * m;
            double s1 = 0, s2 = 0;
            for (int i = 0; i < total; ++i)
            {
                const double x = in.getSample (0, i), y = b0 * x + s1;
                s1 = b1 * x - a1 * y + s2;
                s2 = b2 * x - a2 * y;
                filtered[(size_t) i] = y;
            }
        }

        // Gain per sample after the burst, NaN where the probe is too close to a zero crossing.
        std::vector<double> gainCurve ((size_t) (total - burst - latency), std::nan (""));
        for (int i = burst; i + latency < total; ++i)
        {
            const double x = filtered[(size_t) i];
            if (std::abs (x) > 0.6 * probeAmp)
                gainCurve[(size_t) (i - burst)] = undoColour (out.getSample (0, i + latency)) / x;
        }
        return gainCurve;
    }

    // Samples from the start of the curve until 1 - gain first falls to the given value.
    double timeUntilReduction (const std::vector<double>& gainCurve, double oneMinusGain)
    {
        for (size_t i = 0; i < gainCurve.size(); ++i)
            if (! std::isnan (gainCurve[i]) && 1.0 - gainCurve[i] <= oneMinusGain)
                return (double) i;
        return 1e12;
    }
}

TEST (VyrLimiterRelease, ManualExpReleaseFollowsReleaseTimesStyleBias)
{
    const double sr = 48000;
    for (int style = 0; style < 5; ++style)
    {
        SCOPED_TRACE (testing::Message() << "style " << style);
        VyrLimiter lim;
        lim.prepare (sr, 480);
        plain (lim);
        lim.release = 0.05f;
        lim.releaseShape = 1;
        lim.stylePos = (float) style;
        const auto curve = releaseCurve (lim, sr, vyrLimStyle::kColour[style]);
        // Exponential recovery: 1 - gain falls by e in one time constant.
        const double tau = timeUntilReduction (curve, 0.5 / std::exp (1.0)) - timeUntilReduction (curve, 0.5);
        EXPECT_NEAR (tau / (0.05 * vyrLimStyle::kBias[style] * sr), 1.0, 0.02);
    }
}

TEST (VyrLimiterRelease, LinearAndAdaptShapes)
{
    const double sr = 48000;
    auto curveFor = [&] (int shape)
    {
        VyrLimiter lim;
        lim.prepare (sr, 480);
        plain (lim);
        lim.release = 0.1f;
        lim.releaseShape = shape;
        return releaseCurve (lim, sr, 0.0);
    };
    const double ns = 0.1 * sr;

    // Linear: the gain climbs 1/Ns per sample.
    const auto linear = curveFor (0);
    EXPECT_NEAR ((timeUntilReduction (linear, 0.2) - timeUntilReduction (linear, 0.6)) / (0.4 * ns), 1.0, 0.02);

    // Adapt: exponential while more than 3 dB down, then a straight climb that lands on unity
    // long before the exponential shape gets there.
    const auto adapt = curveFor (2);
    const auto exponential = curveFor (1);
    const double deepAdapt = (timeUntilReduction (adapt, 0.35) - timeUntilReduction (adapt, 0.7)) / std::log (2.0);
    EXPECT_NEAR (deepAdapt / ns, 1.0, 0.02);
    EXPECT_NEAR ((timeUntilReduction (adapt, 0.01) - timeUntilReduction (adapt, 0.25)) / (0.24 * ns), 1.0, 0.02);
    EXPECT_LT (timeUntilReduction (adapt, 0.01), 0.5 * timeUntilReduction (exponential, 0.01));
}

TEST (VyrLimiterRelease, AutoReleaseDependsOnDepthNotOnTheReleaseSetting)
{
    const double sr = 48000;
    auto curveFor = [&] (float release)
    {
        VyrLimiter lim;
        lim.prepare (sr, 480);
        plain (lim);
        lim.releaseMode = 1;
        lim.release = release;
        return releaseCurve (lim, sr, 0.0);
    };
    const auto a = curveFor (0.005f);
    const auto b = curveFor (0.5f);
    ASSERT_EQ (a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
        if (! std::isnan (a[i]))
            ASSERT_DOUBLE_EQ (a[i], b[i]) << i;

    // More than 6 dB down: 60 ms; 2 to 6 dB: 120 ms; less: 250 ms.
    auto tauBetween = [&] (double from, double to) { return (timeUntilReduction (a, to) - timeUntilReduction (a, from)) / std::log (from / to); };
    EXPECT_NEAR (tauBetween (0.7, 0.55) / (0.06 * sr), 1.0, 0.02);
    EXPECT_NEAR (tauBetween (0.45, 0.25) / (0.12 * sr), 1.0, 0.02);
    EXPECT_NEAR (tauBetween (0.18, 0.06) / (0.25 * sr), 1.0, 0.02);
}

TEST (VyrLimiterStyle, ColourLiftsTheCeilingByTheStyleBlend)
{
    const float ceilingLin = std::pow (10.0f, -6.0f / 20.0f);
    for (float pos : { 0.0f, 1.0f, 2.0f, 2.5f, 3.0f, 3.25f, 4.0f })
    {
        SCOPED_TRACE (testing::Message() << "stylePos " << pos);
        VyrLimiter lim;
        lim.prepare (48000, 256);
        plain (lim);
        lim.ceiling = -6.0f;
        lim.stylePos = pos;
        const Buffer out = run (lim, makeSine (2, 48000, 1.0, 997.0, 1.0), 256);

        const int i = std::min ((int) pos, 4), i2 = std::min (i, 3) + 1;
        const double col = vyrLimStyle::kColour[i] + (vyrLimStyle::kColour[i2] - vyrLimStyle::kColour[i]) * (pos - i);
        const double expected = ceilingLin + col * (std::tanh (1.35 * ceilingLin) - ceilingLin);
        EXPECT_NEAR (std::pow (10.0, peakDb (out, 24000) / 20.0), expected, 2e-4);
    }
}

//==================================================================================================
// Oversampling response, latency and the dry share

TEST (VyrLimiterOversampling, FlatAgainstTheUnoversampledPathTo15kHz)
{
    for (double sr : { 44100.0, 48000.0 })
    {
        auto amplitudeAt = [sr] (int factor, double hz)
        {
            VyrLimiter lim;
            lim.prepare (sr, 512);
            plain (lim);
            lim.oversampling = factor;
            const Buffer out = run (lim, makeSine (2, sr, 0.5, hz, 0.1), 512);
            const int from = (int) (0.2 * sr), count = (int) sr / 10;  // whole cycles of every tone
            return vyrTestSignals::amplitudeAt (out.getReadPointer (0), from, count, hz, sr);
        };
        for (double hz : { 100.0, 1000.0, 5000.0, 10000.0, 12000.0, 14000.0, 15000.0 })
        {
            const double ref = amplitudeAt (1, hz);
            for (int factor : { 2, 4, 8 })
                EXPECT_NEAR (20.0 * std::log10 (amplitudeAt (factor, hz) / ref), 0.0, 0.2)
                    << "sr " << sr << " factor " << factor << " at " << hz << " Hz";
        }
    }
}

TEST (VyrLimiterOversampling, ReportedLatencyIsTheMeasuredDelay)
{
    for (double sr : { 22050.0, 44100.0, 96000.0, 192000.0 })
        for (int factor : { 1, 2, 4, 8 })
            for (float lookahead : { 0.0f, 1.3f, 20.0f })
            {
                VyrLimiter lim;
                lim.prepare (sr, 512);
                plain (lim);
                lim.oversampling = factor;
                lim.lookahead = lookahead;

                // A band-limited click well under the ceiling; its centre of symmetry is the delay.
                const int at = 3000;
                Buffer in (2, 16384);
                in.clear();
                for (int k = -40; k <= 40; ++k)
                {
                    const double x = k * 0.45;
                    const double v = 0.3 * (k == 0 ? 1.0 : std::sin (M_PI * x) / (M_PI * x)) * (0.5 + 0.5 * std::cos (M_PI * k / 41.0));
                    in.setSample (0, at + k, (float) v);
                    in.setSample (1, at + k, (float) v);
                }
                const Buffer out = run (lim, in, 512);

                double best = -1.0;
                int bestLag = -1;
                for (int lag = 0; lag < 6000; ++lag)
                {
                    double s = 0.0;
                    for (int k = -40; k <= 40; ++k)
                        s += (double) in.getSample (0, at + k) * out.getSample (0, at + k + lag);
                    if (s > best)
                    {
                        best = s;
                        bestLag = lag;
                    }
                }
                EXPECT_EQ (bestLag, lim.getLatencySamples()) << "sr " << sr << " factor " << factor << " lookahead " << lookahead;
            }
}

TEST (VyrLimiterOversampling, HalfMixDoesNotCombFilter)
{
    const double sr = 48000;
    for (int factor : { 1, 2, 8 })
        for (double hz : { 200.0, 1000.0, 3000.0, 7000.0, 10000.0, 13000.0, 15000.0 })
        {
            VyrLimiter lim;
            lim.prepare (sr, 512);
            plain (lim);
            lim.oversampling = factor;
            lim.lookahead = 5.0f;
            lim.mix = 0.5f;
            const Buffer out = run (lim, makeSine (2, sr, 0.5, hz, 0.1), 512);
            const double amp = vyrTestSignals::amplitudeAt (out.getReadPointer (1), (int) (0.2 * sr), (int) sr / 10, hz, sr);
            EXPECT_NEAR (20.0 * std::log10 (amp / 0.1), 0.0, 0.2) << "factor " << factor << " at " << hz << " Hz";
        }
}

//==================================================================================================
// Dither

TEST (VyrLimiterDither, SixteenBitOutputSitsOnTheGridAndShapingTiltsTheNoiseUp)
{
    const double sr = 48000;
    constexpr int order = 12, size = 1 << order;

    // Noise density (power per bin) of the output of silence, averaged over 20 frames.
    auto bands = [&] (int shape, double& low, double& high)
    {
        VyrLimiter lim;
        lim.prepare (sr, 512);
        plain (lim);
        lim.dither = 1;
        lim.noiseShape = shape;
        Buffer silence (2, size * 20);
        silence.clear();
        const Buffer out = run (lim, silence, 512);

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < out.getNumSamples(); ++i)
            {
                const double steps = out.getSample (ch, i) * 32768.0;
                ASSERT_EQ (steps, std::round (steps)) << "shape " << shape << " sample " << i;
            }

        juce::dsp::FFT fft (order);
        std::vector<float> work (2 * size);
        std::vector<double> power (size / 2, 0.0);
        for (int frame = 0; frame < 20; ++frame)
        {
            std::fill (work.begin(), work.end(), 0.0f);
            for (int i = 0; i < size; ++i)
                work[(size_t) i] = out.getSample (0, frame * size + i) * (float) (0.5 - 0.5 * std::cos (kTwoPi * i / size));
            fft.performFrequencyOnlyForwardTransform (work.data());
            for (int k = 0; k < size / 2; ++k)
                power[(size_t) k] += (double) work[(size_t) k] * work[(size_t) k];
        }
        auto mean = [&] (double f0, double f1)
        {
            const int k0 = (int) (f0 / sr * size), k1 = (int) (f1 / sr * size);
            double s = 0;
            for (int k = k0; k < k1; ++k)
                s += power[(size_t) k];
            return s / (k1 - k0);
        };
        low = mean (50.0, 2000.0);
        high = mean (16000.0, 22000.0);
    };

    double low = 0, high = 0;
    bands (0, low, high);
    EXPECT_NEAR (10.0 * std::log10 (low / high), 0.0, 1.5);  // plain TPDF is white
    for (int shape : { 1, 2, 3 })
    {
        bands (shape, low, high);
        EXPECT_LT (10.0 * std::log10 (low / high), -4.0) << "shape " << shape;
    }
}

TEST (VyrLimiterDither, OffAddsNothingAndTwentyFourBitUsesItsOwnGrid)
{
    VyrLimiter lim;
    lim.prepare (48000, 512);
    plain (lim);
    Buffer silence (2, 4800);
    silence.clear();
    EXPECT_EQ (run (lim, silence, 512).getMagnitude (0, 4800), 0.0f);

    lim.dither = 2;
    lim.noiseShape = 2;
    const Buffer out = run (lim, makeSine (2, 48000, 0.1, 440.0, 0.3), 512);
    bool anyOffSixteenBitGrid = false;
    for (int i = 0; i < out.getNumSamples(); ++i)
    {
        const double steps = out.getSample (0, i) * 8388608.0;
        ASSERT_EQ (steps, std::round (steps));
        anyOffSixteenBitGrid |= (out.getSample (0, i) * 32768.0 != std::round (out.getSample (0, i) * 32768.0));
    }
    EXPECT_TRUE (anyOffSixteenBitGrid);
}

//==================================================================================================
// Loudness and true-peak readouts

namespace
{
    struct Readings { float momentary, shortTerm, integrated, range; };

    Readings readingsOf (const VyrLimiter& lim)
    {
        return { lim.meterBlock.lufsMomentary.load(), lim.meterBlock.lufsShort.load(),
                 lim.meterBlock.lufsIntegrated.load(), lim.meterBlock.lra.load() };
    }

    // Stereo 1 kHz sine segments given as (dBFS, seconds).
    Buffer makeSegments (double sr, std::initializer_list<std::pair<double, double>> segments)
    {
        double total = 0;
        for (auto& s : segments)
            total += s.second;
        Buffer b (2, (int) std::lround (total * sr));
        int i = 0;
        for (auto& s : segments)
        {
            const double amp = std::pow (10.0, s.first / 20.0);
            const int end = i + (int) std::lround (s.second * sr);
            for (; i < end && i < b.getNumSamples(); ++i)
                for (int ch = 0; ch < 2; ++ch)
                    b.setSample (ch, i, (float) (amp * std::sin (kTwoPi * 1000.0 * i / sr)));
        }
        return b;
    }

    Readings measure (const Buffer& in, double sr, int block)
    {
        VyrLimiter lim;
        lim.prepare (sr, block);
        plain (lim);
        lim.ceiling = 0.0f;
        run (lim, in, block);
        return readingsOf (lim);
    }
}

TEST (VyrLimiterLoudness, SineAtMinus23ReadsMinus23AtAnyRateAndBlockSize)
{
    for (double sr : { 44100.0, 48000.0 })
        for (int block : { 64, 4096 })
        {
            const Readings r = measure (makeSegments (sr, { { -23.0, 10.0 } }), sr, block);
            EXPECT_NEAR (r.momentary, -23.0, 0.1) << sr << " / " << block;
            EXPECT_NEAR (r.shortTerm, -23.0, 0.1) << sr << " / " << block;
            EXPECT_NEAR (r.integrated, -23.0, 0.1) << sr << " / " << block;
        }
}

TEST (VyrLimiterLoudness, IntegratedGatesLikeTech3341)
{
    const double sr = 48000;
    // The sanitizer build (many times slower) skips the first two signals: the third runs the same
    // code, both gates at once.
   #if ! VYR_SANITIZED
    const Readings quiet = measure (makeSegments (sr, { { -33.0, 20.0 } }), sr, 512);
    EXPECT_NEAR (quiet.integrated, -33.0, 0.1);
    // Relative gate drops the -36 dB parts; absolute gate drops the -72 dB parts.
    const Readings relative = measure (makeSegments (sr, { { -36.0, 10.0 }, { -23.0, 60.0 }, { -36.0, 10.0 } }), sr, 512);
    EXPECT_NEAR (relative.integrated, -23.0, 0.1);
   #endif
    const Readings absolute = measure (makeSegments (sr, { { -72.0, 10.0 }, { -36.0, 10.0 }, { -23.0, 60.0 }, { -36.0, 10.0 }, { -72.0, 10.0 } }), sr, 512);
    EXPECT_NEAR (absolute.integrated, -23.0, 0.1);
    // Energy average, not an average of LUFS values.
    const Readings mixed = measure (makeSegments (sr, { { -26.0, 20.0 }, { -20.0, 20.1 }, { -26.0, 20.0 } }), sr, 512);
    EXPECT_NEAR (mixed.integrated, -23.0, 0.1);
}

TEST (VyrLimiterLoudness, LoudnessRangeLikeTech3342)
{
    const double sr = 48000;
    struct Case { std::initializer_list<std::pair<double, double>> segments; double expected; };
    const Case cases[] = {
        { { { -20.0, 20.0 }, { -30.0, 20.0 } }, 10.0 },
        { { { -20.0, 20.0 }, { -15.0, 20.0 } }, 5.0 },
        { { { -40.0, 20.0 }, { -20.0, 20.0 } }, 20.0 },
        { { { -50.0, 20.0 }, { -35.0, 20.0 }, { -20.0, 20.0 }, { -35.0, 20.0 }, { -50.0, 20.0 } }, 15.0 },
    };
    for (const auto& c : cases)
        EXPECT_NEAR (measure (makeSegments (sr, c.segments), sr, 1024).range, c.expected, 1.0) << c.expected;
}

TEST (VyrLimiterLoudness, ReadingsDoNotDependOnTheHostBlockSize)
{
    const double sr = 44100;
    const Buffer in = makeProgram (sr, 12.0, 3, 0.08f);
    // Same total length for every block size (a multiple of 4096 and of 1000-sample blocks' end).
    Buffer cut (2, 4096 * 128);
    for (int ch = 0; ch < 2; ++ch)
        cut.copyFrom (ch, 0, in, ch, 0, cut.getNumSamples());
    const Readings ref = measure (cut, sr, 4096);
    EXPECT_GT (ref.range, 0.5f);
    for (int block : { 64, 500, 1000, 2048 })
    {
        const Readings r = measure (cut, sr, block);
        EXPECT_FLOAT_EQ (r.momentary, ref.momentary) << block;
        EXPECT_FLOAT_EQ (r.shortTerm, ref.shortTerm) << block;
        EXPECT_FLOAT_EQ (r.integrated, ref.integrated) << block;
        EXPECT_FLOAT_EQ (r.range, ref.range) << block;
    }
}

TEST (VyrLimiterLoudness, ResetRestartsIntegratedAndRangeOnly)
{
    const double sr = 48000;
    VyrLimiter lim;
    lim.prepare (sr, 480);
    plain (lim);
    run (lim, makeSegments (sr, { { -30.0, 6.0 } }), 480);
    lim.resetLoudness();
    EXPECT_EQ (lim.meterBlock.lufsIntegrated.load(), -100.0f);
    EXPECT_EQ (lim.meterBlock.lra.load(), 0.0f);

    // After the reset only the louder part counts towards the integrated reading.
    run (lim, makeSegments (sr, { { -20.0, 0.01 } }), 480);
    EXPECT_NEAR (lim.meterBlock.lufsMomentary.load(), -30.0, 0.3);  // window still holds the past
    run (lim, makeSegments (sr, { { -20.0, 6.0 } }), 480);
    EXPECT_NEAR (lim.meterBlock.lufsIntegrated.load(), -20.0, 0.3);

    lim.resetMaxima();
    EXPECT_EQ (lim.meterBlock.maxOut.load(), -120.0f);
    EXPECT_EQ (lim.meterBlock.maxGr.load(), 0.0f);
}

TEST (VyrLimiterTruePeak, InterSamplePeaksOfTestSines)
{
    const double sr = 48000;
    struct Case { double hz, phase; };
    const Case cases[] = { { 12000.0, M_PI / 4 }, { 997.0, 0.3 }, { 5000.0, 1.1 }, { 10000.0, 0.7 }, { 15000.0, 0.2 }, { 19000.0, 0.5 } };
    for (const auto& c : cases)
    {
        VyrLimiter lim;
        lim.prepare (sr, 512);
        plain (lim);
        lim.ceiling = 0.0f;
        lim.dcBlocker = false;
        // The sudden start rings in any interpolator; the readout is taken over the steady part.
        const Buffer sine = makeSine (2, sr, 0.5, c.hz, 0.5, c.phase);
        run (lim, sine, 512, [&] (int block) { if (block == 10) lim.resetMaxima(); });
        // -6 dBTP whatever the sample positions; tolerance of EBU Tech 3341 (+0.2 / -0.4 dB).
        EXPECT_LE (lim.meterBlock.maxTruePeak.load(), -6.02 + 0.2) << c.hz;
        EXPECT_GE (lim.meterBlock.maxTruePeak.load(), -6.02 - 0.4) << c.hz;
    }
    // A quarter-rate sine at 45 degrees has every sample 3 dB under its peak; the readout finds it.
    VyrLimiter lim;
    lim.prepare (sr, 512);
    plain (lim);
    lim.ceiling = 0.0f;
    const Buffer out = run (lim, makeSine (2, sr, 0.5, 12000.0, 0.5, M_PI / 4), 512,
                            [&] (int block) { if (block == 10) lim.resetMaxima(); });
    EXPECT_NEAR (peakDb (out, 2400), -6.02 - 3.01, 0.05);
    EXPECT_NEAR (lim.meterBlock.maxTruePeak.load(), -6.02, 0.05);
}

TEST (VyrLimiterTruePeak, ReadoutMatchesTheReferenceOnProgram)
{
    for (double sr : { 44100.0, 96000.0 })
    {
        VyrLimiter lim;
        lim.prepare (sr, 512);
        plain (lim);
        lim.ceiling = 0.0f;
        const Buffer out = run (lim, makeProgram (sr, 2.0, 11), 512);
        EXPECT_NEAR (lim.meterBlock.maxTruePeak.load(), referenceTruePeakDb (out), 0.1) << sr;
    }
}

#if VYR_HAVE_EBUR128
TEST (VyrLimiterLoudness, AgreesWithLibebur128OnProgram)
{
    for (double sr : { 44100.0, 48000.0, 96000.0 })
    {
        SCOPED_TRACE (testing::Message() << "sr " << sr);
        VyrLimiter lim;
        lim.prepare (sr, 512);
        plain (lim);
        lim.inputGain = -6.0f;
        const Buffer in = makeProgram (sr, 30.0, 5);

        ebur128_state* ref = ebur128_init (2, (unsigned long) sr, EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK);
        ASSERT_NE (ref, nullptr);
        const int slice = (int) std::lround (sr / 10);
        Buffer out (in);
        std::vector<float> interleaved ((size_t) slice * 2);
        for (int start = 0, index = 0; start + slice <= out.getNumSamples(); start += slice, ++index)
        {
            Buffer view (out.getArrayOfWritePointers(), 2, start, slice);
            lim.process (view);
            for (int i = 0; i < slice; ++i)
            {
                interleaved[(size_t) (2 * i)] = view.getSample (0, i);
                interleaved[(size_t) (2 * i + 1)] = view.getSample (1, i);
            }
            ebur128_add_frames_float (ref, interleaved.data(), (size_t) slice);
            if (index % 7 == 6)
            {
                double m = 0, s = 0;
                ebur128_loudness_momentary (ref, &m);
                ebur128_loudness_shortterm (ref, &s);
                EXPECT_NEAR (lim.meterBlock.lufsMomentary.load(), m, 0.1) << "at slice " << index;
                if (index >= 30)
                    EXPECT_NEAR (lim.meterBlock.lufsShort.load(), s, 0.1) << "at slice " << index;
            }
        }
        double integrated = 0, range = 0, tpL = 0, tpR = 0;
        ebur128_loudness_global (ref, &integrated);
        ebur128_loudness_range (ref, &range);
        ebur128_true_peak (ref, 0, &tpL);
        ebur128_true_peak (ref, 1, &tpR);
        ebur128_destroy (&ref);

        EXPECT_NEAR (lim.meterBlock.lufsIntegrated.load(), integrated, 0.1);
        EXPECT_NEAR (lim.meterBlock.lra.load(), range, 0.3);
        EXPECT_NEAR (lim.meterBlock.maxTruePeak.load(), 20.0 * std::log10 (std::max (tpL, tpR)), 0.2);
    }
}
#endif

//==================================================================================================
// Switching, odd input and internal pieces

TEST (VyrLimiterSwitching, OffPassesGainedHighPassedInputWithTheSameDelayAndNoClick)
{
    const double sr = 48000;
    VyrLimiter lim;
    lim.prepare (sr, 256);
    plain (lim);
    lim.oversampling = 4;
    lim.lookahead = 3.0f;
    lim.outputGain = -6.0f;
    const int latency = lim.getLatencySamples();
    const Buffer in = makeSine (2, sr, 1.5, 1000.0, 0.4);
    const double maxStep = 0.5 * 0.4 * kTwoPi * 1000.0 / sr * 1.1;

    const Buffer out = run (lim, in, 256, [&] (int block) { lim.enabled = ! (block >= 50 && block < 150); });
    EXPECT_EQ (lim.getLatencySamples(), latency);

    // No click when the module fades out, runs its switched-off path and comes back.
    for (int i = latency + 1; i < out.getNumSamples(); ++i)
        ASSERT_LE (std::abs (out.getSample (0, i) - out.getSample (0, i - 1)), maxStep) << i;

    // Once faded out: output gain times the delayed input (the 12 Hz high-pass barely moves 1 kHz).
    for (int i = 256 * 60; i < 256 * 150; ++i)
        ASSERT_NEAR (out.getSample (1, i), 0.5012 * in.getSample (1, i - latency), 0.004) << i;

    // Readouts of the switched-off module.
    run (lim, in, 256, [&] (int) { lim.enabled = false; });
    EXPECT_EQ (lim.meterBlock.truePeakDb.load(), -120.0f);
    EXPECT_EQ (lim.meterBlock.lufsMomentary.load(), -100.0f);
    EXPECT_EQ (lim.meterBlock.lufsIntegrated.load(), -100.0f);
}

TEST (VyrLimiterSwitching, OffKeepsTheHighPassInForceAndSwitchesOnWithoutAStep)
{
    // Switched off, the module still takes DC and subsonic content out (the high-pass is part of what
    // it outputs, not only state kept warm), in stereo and mono, and coming back on makes no step.
    const double sr = 48000;
    for (int channels : { 2, 1 })
        for (bool dcBlocker : { true, false })
        {
            VyrLimiter lim;
            lim.prepare (sr, 512);
            plain (lim);
            lim.dcBlocker = dcBlocker;
            lim.enabled = false;
            Buffer in = makeSine (channels, sr, 3.0, 200.0, 0.3);
            for (int ch = 0; ch < channels; ++ch)
                for (int i = 0; i < in.getNumSamples(); ++i)
                    in.setSample (ch, i, in.getSample (ch, i) + 0.25f);
            const int onAt = (int) (2.0 * sr) / 512;
            const Buffer out = run (lim, in, 512, [&] (int block) { lim.enabled = block >= onAt; });

            // Mean over whole cycles of the tone, 1.5 s in: the 0.25 offset is gone (8 Hz corner at
            // the least: e^-(2 pi 8 x 1.5 x 0.5) is far below 1e-3).
            const int from = (int) (1.5 * sr), count = (int) sr / 4;
            for (int ch = 0; ch < channels; ++ch)
            {
                double mean = 0.0;
                for (int i = from; i < from + count; ++i)
                    mean += out.getSample (ch, i);
                EXPECT_LT (std::abs (mean / count), 1.0e-3) << channels << " channels, dcBlocker " << dcBlocker;
            }

            // Switching on fades the limited path in without a step beyond the tone's own.
            const double maxStep = 0.3 * kTwoPi * 200.0 / sr * 1.2;
            for (int ch = 0; ch < channels; ++ch)
                for (int i = onAt * 512 - 512; i < onAt * 512 + (int) (0.1 * sr); ++i)
                    ASSERT_LE (std::abs (out.getSample (ch, i) - out.getSample (ch, i - 1)), maxStep) << channels << " ch " << ch << " at " << i;
        }
}

TEST (VyrLimiterSwitching, SettingChangesWhileRunningKeepTheCeiling)
{
    const double sr = 44100;
    VyrLimiter lim;
    lim.prepare (sr, 512);
    plain (lim);
    lim.ceiling = -1.0f;
    lim.inputGain = 10.0f;
    const float lookaheads[] = { 0.0f, 3.0f, 20.0f, 7.5f };
    const int factors[] = { 1, 4, 8, 2, 3 };
    const Buffer out = run (lim, makeProgram (sr, 4.0, 9), 512, [&] (int block) {
        lim.lookahead = lookaheads[block % 4];
        lim.oversampling = factors[(block / 3) % 5];
        lim.stereoLink = (block / 5) % 2 ? 0.0f : 100.0f;
        lim.releaseMode = (block / 7) % 2;
        lim.releaseShape = (block / 2) % 3;
    });
    EXPECT_LE (peakDb (out), -1.0 + 1e-5);
}

TEST (VyrLimiterRobustness, RecoversFromNonFiniteInputWithinOneBlock)
{
    const double sr = 48000;
    VyrLimiter lim;
    lim.prepare (sr, 512);
    plain (lim);
    lim.oversampling = 2;
    lim.dither = 1;
    lim.noiseShape = 3;
    Buffer in = makeProgram (sr, 1.0, 4);
    const float bad[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity() };
    for (int i = 0; i < 512; ++i)
        in.setSample (i % 2, 5120 + i, bad[i % 3]);

    const Buffer out = run (lim, in, 512);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < out.getNumSamples(); ++i)
            ASSERT_TRUE (std::isfinite (out.getSample (ch, i))) << ch << " " << i;
    EXPECT_GT (out.getRMSLevel (0, 6144, 4096), 0.01f);
    EXPECT_LE (peakDb (out), -0.1 + 0.01);  // ceiling plus the dither
    for (float v : { lim.meterBlock.lufsMomentary.load(), lim.meterBlock.truePeakDb.load(), lim.grDb.load() })
        EXPECT_TRUE (std::isfinite (v));
}

TEST (VyrLimiterRobustness, OneChannelBufferWritesOnlyItsChannel)
{
    const double sr = 48000;
    VyrLimiter lim;
    lim.prepare (sr, 512);
    plain (lim);
    lim.ceiling = -3.0f;
    Buffer in = makeSegments (sr, { { 0.0, 5.0 } });
    Buffer mono (1, in.getNumSamples());
    mono.copyFrom (0, 0, in, 0, 0, in.getNumSamples());
    const Buffer out = run (lim, mono, 512);
    EXPECT_NEAR (peakDb (out, 4800), -3.0, 0.01);
    // The right-hand path follows the left input, so the one channel counts on both sides (it reads
    // like the same sine on a stereo pair).
    EXPECT_NEAR (lim.meterBlock.lufsShort.load(), -3.0, 0.1);
    EXPECT_NEAR (lim.meterBlock.outPeakR.load(), -3.0, 0.01);

    Buffer empty (2, 0);
    lim.process (empty);
    EXPECT_NEAR (lim.meterBlock.outPeakR.load(), -3.0, 0.01);
}

TEST (VyrLimiterParts, SlidingMaximumMatchesBruteForce)
{
    juce::Random rng (17);
    for (int w : { 1, 2, 3, 17, 1000 })
    {
        VyrLimiter::MaxWindow win;
        win.allocate (1000);
        win.build (w);
        std::vector<float> pushed;
        for (int i = 0; i < 5 * w + 300; ++i)
        {
            // Ties and runs test the "newest of equal values" rule.
            const float x = (i % 7 == 0) ? 0.5f : std::floor (rng.nextFloat() * 8.0f) / 8.0f;
            pushed.push_back (x);
            float expected = 0.0f;
            for (int k = std::max (0, (int) pushed.size() - w); k < (int) pushed.size(); ++k)
                expected = std::max (expected, pushed[(size_t) k]);
            ASSERT_EQ (win.push (x), expected) << "W " << w << " push " << i;
        }
    }
}

TEST (VyrLimiterParts, GainReductionHistoryStaysInItsRing)
{
    VyrLimiter lim;
    lim.prepare (48000, 64);
    plain (lim);
    lim.inputGain = 12.0f;
    // 64-sample blocks: one history value every 12 blocks, about 60 a second.
    run (lim, makeProgram (48000, 1.0, 2), 64);
    EXPECT_NEAR (lim.grHistoryWrite.load(), 62, 1);
    EXPECT_GT (lim.grDb.load(), 3.0f);
    EXPECT_GE (lim.meterBlock.maxGr.load(), lim.grDb.load());

    // Long blocks advance once per block and wrap around 240.
    run (lim, makeProgram (48000, 10.0, 2), 1600);
    EXPECT_EQ (lim.grHistoryWrite.load(), (62 + 300) % 240);
}
