// Tape machine: wet-path delay and saturation against the reference formula, wow and flutter rates from
// the phase of a steady tone (also after ten minutes of running), hiss level, switching off and
// non-finite input.

#include <gtest/gtest.h>
#include "TestSignals.h"
#include "Dsp/Tape.h"

#include <cmath>
#include <complex>
#include <vector>

namespace
{
    constexpr double kPi = juce::MathConstants<double>::pi;

    // A tape with every colour switched off except what a case turns on: mix 1, no drive, no hiss,
    // no wow or flutter, unity gains.
    VyrTape plainTape()
    {
        VyrTape t;
        t.enabled = true;
        t.mix = 1.0f;
        t.drive = 0.0f;
        t.saturation = 0.0f;
        t.bias = 0.0f;
        t.noise = 0.0f;
        t.wow = 0.0f;
        t.flutter = 0.0f;
        t.hysteresis = 0.0f;
        return t;
    }

    // Runs a signal through in blocks (mono or stereo).
    void runTape (VyrTape& tape, std::vector<float>& left, std::vector<float>* right = nullptr, int block = 512)
    {
        vyrTestSignals::processInBlocks (tape, left, right, block, [] (int) {});
    }

    // Phase of a tone at exactly a tenth of the sample rate, demodulated against the carrier whole
    // periods (ten samples) at a time and averaged down to about 100 values per second, unwrapped. Whole
    // periods null the carrier's harmonics from the saturation exactly.
    struct PhaseTrack { std::vector<double> phase; double rate; };

    PhaseTrack demodulatedPhase (const float* y, int n, double sr)
    {
        const int per = 10;
        const int decim = (int) std::lround (sr / 100.0 / per); // periods per output value
        std::vector<double> phase;
        double last = 0.0, offset = 0.0;
        for (int start = 0; start + per * decim <= n; start += per * decim)
        {
            std::complex<double> acc;
            for (int k = 0; k < per * decim; ++k)
                acc += (double) y[start + k] * std::polar (1.0, -2.0 * kPi * (k % per) / per);
            double p = std::arg (acc) + offset;
            if (! phase.empty())
            {
                while (p - last > kPi) { p -= 2 * kPi; offset -= 2 * kPi; }
                while (p - last < -kPi) { p += 2 * kPi; offset += 2 * kPi; }
            }
            phase.push_back (p);
            last = p;
        }
        return { phase, sr / (per * decim) };
    }

    struct Peak { double hz, amplitude; };

    // Strongest sinusoid of a phase track within [lo, hi] Hz: Hann-windowed DFT scanned on a fine
    // grid and refined by golden-section search; amplitude in radians.
    Peak modulationPeak (const PhaseTrack& track, double lo, double hi)
    {
        const auto& phase = track.phase;
        const double rate = track.rate;
        const int n = (int) phase.size();
        double mean = 0;
        for (double p : phase)
            mean += p / n;
        std::vector<double> w ((size_t) n);
        double wsum = 0;
        for (int i = 0; i < n; ++i)
        {
            w[(size_t) i] = (0.5 - 0.5 * std::cos (2 * kPi * i / (n - 1))) * (phase[(size_t) i] - mean);
            wsum += 0.5 - 0.5 * std::cos (2 * kPi * i / (n - 1));
        }
        const auto mag = [&] (double f)
        {
            std::complex<double> acc;
            const std::complex<double> rot = std::polar (1.0, -2 * kPi * f / rate);
            std::complex<double> z (1.0, 0.0);
            for (int i = 0; i < n; ++i, z *= rot)
                acc += w[(size_t) i] * z;
            return 2.0 * std::abs (acc) / wsum;
        };
        const double step = 0.25 * rate / n;
        double best = lo, bestMag = -1;
        for (double f = lo; f <= hi; f += step)
            if (const double m = mag (f); m > bestMag) { bestMag = m; best = f; }
        double a = best - step, b = best + step;
        for (int it = 0; it < 40; ++it)
        {
            const double c = b - (b - a) * 0.618034, d = a + (b - a) * 0.618034;
            if (mag (c) > mag (d)) b = d; else a = c;
        }
        const double f = 0.5 * (a + b);
        return { f, mag (f) };
    }

    std::vector<float> carrier (int n, float amplitude, int startSample = 0)
    {
        static const float table[10] = { 0.0f, (float) std::sin (0.2 * kPi), (float) std::sin (0.4 * kPi), (float) std::sin (0.6 * kPi),
                                         (float) std::sin (0.8 * kPi), 0.0f, (float) -std::sin (0.2 * kPi), (float) -std::sin (0.4 * kPi),
                                         (float) -std::sin (0.6 * kPi), (float) -std::sin (0.8 * kPi) };
        std::vector<float> v ((size_t) n);
        for (int i = 0; i < n; ++i)
            v[(size_t) i] = amplitude * table[(startSample + i) % 10];
        return v;
    }

    // Peak phase deviation, radians, that a delay swing of `samples` gives a tone at a tenth of the rate.
    double phaseSwing (double samples) { return 2 * kPi / 10.0 * samples; }
}

//==============================================================================
// The wet path is the input, gained, delayed by 8 + 6 x hysteresis samples and saturated by
// tanh(ds x .), ds = 1 + 3 drive saturation (1 - 0.35 bias); the dry share keeps the input gain and the
// output gain scales both. Compared sample by sample with that formula (integer delays), and the delay
// itself measured from an impulse (fractional delays) at several rates: it is counted in samples.
struct ShapeCase { float hysteresis, drive, saturation, bias, inDb, outDb, mix; };

class TapeShape : public ::testing::TestWithParam<ShapeCase> {};

TEST_P (TapeShape, MatchesReferenceFormula)
{
    const auto c = GetParam();
    auto tape = plainTape();
    tape.hysteresis = c.hysteresis;
    tape.drive = c.drive;
    tape.saturation = c.saturation;
    tape.bias = c.bias;
    tape.inputGain = c.inDb;
    tape.outputGain = c.outDb;
    tape.mix = c.mix;
    tape.prepare (48000.0, 256);

    const auto x = vyrTestSignals::noise (20000, 3, 0.9f);
    auto y = x;
    runTape (tape, y, nullptr, 256);

    const int tau = (int) (8.0f + 6.0f * c.hysteresis);
    const double gi = std::pow (10.0, c.inDb / 20.0), gw = std::pow (10.0, c.outDb / 20.0);
    const double ds = 1.0 + 3.0 * c.drive * c.saturation * (1.0 - 0.35 * c.bias);
    for (int i = 0; i < (int) x.size(); ++i)
    {
        const double delayed = i >= tau ? gi * x[(size_t) (i - tau)] : 0.0;
        const double expected = gw * (c.mix * std::tanh (ds * delayed) + (1.0 - c.mix) * gi * x[(size_t) i]);
        ASSERT_NEAR (y[(size_t) i], expected, 2.0e-6 * std::max (1.0, std::abs (expected))) << "sample " << i;
    }
}

INSTANTIATE_TEST_SUITE_P (Settings, TapeShape, ::testing::Values (
    ShapeCase { 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f },
    ShapeCase { 1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f },
    ShapeCase { 0.0f, 0.7f, 0.5f, 1.0f, 6.0f, -3.0f, 1.0f },
    ShapeCase { 1.0f, 0.4f, 0.5f, 0.55f, -12.0f, 4.0f, 0.5f }));

TEST (TapeShape, WetDelayInSamplesAtEveryRate)
{
    for (double sr : { 44100.0, 96000.0, 192000.0 })
        for (float h : { 0.0f, 0.25f, 0.6f, 1.0f })
        {
            auto tape = plainTape();
            tape.hysteresis = h;
            tape.prepare (sr, 64);
            std::vector<float> x (200, 0.0f);
            x[50] = 1.0e-3f;
            runTape (tape, x, nullptr, 64);
            double s = 0, st = 0;
            for (int i = 0; i < 200; ++i)
            {
                s += x[(size_t) i];
                st += (double) i * x[(size_t) i];
            }
            EXPECT_NEAR (st / s - 50.0, 8.0 + 6.0 * h, 1.0e-3) << sr << " " << h;
        }
}

//==============================================================================
// Wow and flutter rates from the phase of a steady tone: 0.6 / s Hz and 6.2 x s Hz with s = speed / 15
// (0.5 at 7.5 ips), and the phase swing the delay modulation predicts.
struct RateCase { double sr; float speed; bool flutter; };

class TapeModulation : public ::testing::TestWithParam<RateCase> {};

TEST_P (TapeModulation, RateFollowsSpeed)
{
    const auto c = GetParam();
    auto tape = plainTape();
    tape.hysteresis = 1.0f;
    tape.speed = c.speed;
    (c.flutter ? tape.flutter : tape.wow) = 1.0f;
    tape.prepare (c.sr, 512);

    const double rate = c.flutter ? VyrTape::flutterRateHz (c.speed) : VyrTape::wowRateHz (c.speed);
    const int n = (int) ((std::max (2.0, 8.0 / rate) + 0.5) * c.sr);
    auto y = carrier (n, 0.1f);
    runTape (tape, y);

    const int skip = (int) (0.5 * c.sr);
    const auto phase = demodulatedPhase (y.data() + skip, n - skip, c.sr);
    const auto peak = modulationPeak (phase, rate * 0.5, rate * 1.5);
    const double s = c.speed > 7.5f ? c.speed / 15.0 : 0.5;
    const double expectedHz = c.flutter ? 6.2 * s : 0.6 / s;
    EXPECT_NEAR (peak.hz, expectedHz, 0.005 * expectedHz) << "speed " << c.speed << (c.flutter ? " flutter" : " wow");
    const double swing = phaseSwing (14.0 * (c.flutter ? 0.0015 : 0.004));
    EXPECT_NEAR (peak.amplitude, swing, 0.1 * swing);
}

INSTANTIATE_TEST_SUITE_P (Speeds, TapeModulation, ::testing::Values (
    RateCase { 44100.0, 7.5f, false }, RateCase { 44100.0, 15.0f, false }, RateCase { 44100.0, 30.0f, false },
    RateCase { 44100.0, 7.5f, true }, RateCase { 44100.0, 15.0f, true }, RateCase { 44100.0, 30.0f, true },
    RateCase { 96000.0, 15.0f, false }, RateCase { 96000.0, 30.0f, true },
    RateCase { 192000.0, 15.0f, false }, RateCase { 192000.0, 30.0f, true }));

// Ten minutes of running later, wow and flutter still run at their rates and depths: the modulation
// phases wrap, so they keep their precision however long the machine runs.
TEST (TapeModulation, TenMinutesLaterSameRatesAndDepths)
{
    for (double sr : { 44100.0, 192000.0 })
    {
        auto tape = plainTape();
        tape.hysteresis = 1.0f;
        tape.wow = 1.0f;
        tape.flutter = 1.0f;
        tape.prepare (sr, 512);

        const int window = (int) (20.0 * sr) / 5120 * 5120;
        const auto measure = [&] (int startSample)
        {
            auto y = carrier (window, 0.1f, startSample);
            runTape (tape, y);
            const int skip = (int) (0.1 * sr) / 10 * 10;
            const auto phase = demodulatedPhase (y.data() + skip, window - skip, sr);
            return std::make_pair (modulationPeak (phase, 0.3, 1.5), modulationPeak (phase, 3.0, 10.0));
        };

        const auto [wow0, flutter0] = measure (0);

        // Run on to the ten-minute mark (silence in between costs the same as programme).
        const int tenMinutes = (int) (600.0 * sr);
        std::vector<float> silence (1 << 16, 0.0f);
        int done = window;
        while (done + (int) silence.size() <= tenMinutes)
        {
            std::fill (silence.begin(), silence.end(), 0.0f);
            runTape (tape, silence);
            done += (int) silence.size();
        }
        const auto [wow1, flutter1] = measure (done);

        EXPECT_NEAR (wow1.hz, 0.6, 0.003) << sr;
        EXPECT_NEAR (flutter1.hz, 6.2, 0.03) << sr;
        EXPECT_NEAR (wow1.hz, wow0.hz, 0.001) << sr;
        EXPECT_NEAR (flutter1.hz, flutter0.hz, 0.005) << sr;
        EXPECT_NEAR (wow1.amplitude, wow0.amplitude, 0.03 * wow0.amplitude) << sr;
        EXPECT_NEAR (flutter1.amplitude, flutter0.amplitude, 0.03 * flutter0.amplitude) << sr;
    }
}

//==============================================================================
// Hiss: silent at noise 0 (the generator still runs), its level proportional to noise and to
// (1 - 0.28 bias).
TEST (TapeHiss, LevelFollowsNoiseAndBias)
{
    const auto hissRms = [] (float noise, float bias)
    {
        auto tape = plainTape();
        tape.noise = noise;
        tape.bias = bias;
        tape.prepare (44100.0, 512);
        std::vector<float> y (88200, 0.0f);
        runTape (tape, y);
        return vyrTestSignals::rms (y.data(), (int) y.size());
    };
    const double ref = hissRms (1.0f, 0.0f);
    EXPECT_GT (ref, 1.0e-4);
    EXPECT_EQ (hissRms (0.0f, 0.0f), 0.0);
    EXPECT_NEAR (20 * std::log10 (hissRms (0.5f, 0.0f) / ref), -6.0206, 0.01);
    EXPECT_NEAR (20 * std::log10 (hissRms (1.0f, 1.0f) / ref), 20 * std::log10 (0.72), 0.01);
}

//==============================================================================
// Switching off fades the whole effect out over 25 ms, including the input and output gains, and then
// leaves the audio untouched. With gains away from 0 dB the level glides instead of stepping when the
// module goes quiet.
TEST (TapeSwitch, OffFadesOutGainsWithoutStep)
{
    for (double sr : { 44100.0, 96000.0 })
    {
        auto tape = plainTape();
        tape.mix = 0.5f;
        tape.inputGain = 6.0f;
        tape.outputGain = -3.0f;
        tape.hysteresis = 0.25f;
        tape.noise = 0.3f;
        tape.prepare (sr, 128);

        const int offAt = 128 * (int) (0.3 * sr / 128), total = offAt + (int) (0.2 * sr);
        std::vector<float> x ((size_t) total);
        for (int i = 0; i < total; ++i)
            x[(size_t) i] = 0.25f * (float) std::sin (2 * kPi * 1000.0 * i / sr);
        const auto input = x;
        vyrTestSignals::processInBlocks (tape, x, nullptr, 128, [&] (int start) { tape.enabled = start < offAt; });

        const double steadyStep = vyrTestSignals::largestStep (x.data(), offAt - (int) (0.05 * sr), offAt);
        const int ramp = (int) std::floor (0.025 * sr);
        const double transitionStep = vyrTestSignals::largestStep (x.data(), offAt, offAt + ramp + 64);
        EXPECT_LT (transitionStep, 1.05 * steadyStep) << sr;
        for (int i = offAt + ramp; i < total; ++i)
            ASSERT_EQ (x[(size_t) i], input[(size_t) i]) << sr << " " << i;
    }
}

//==============================================================================
// NaN and infinity enter the delay as silence: after the bad block the engine runs exactly as if those
// samples had been zeros.
TEST (TapeNonFinite, RecoversWithinOneBlock)
{
    const int block = 256;
    auto good = vyrTestSignals::noise (20000, 5), bad = good;
    for (int i = 10 * block; i < 11 * block; i += 3)
    {
        bad[(size_t) i] = (i % 2) != 0 ? std::numeric_limits<float>::quiet_NaN() : std::numeric_limits<float>::infinity();
        good[(size_t) i] = 0.0f;
    }
    VyrTape a, b; // defaults: on a fresh engine the module is off, so switch it on with its default colour
    a.enabled = b.enabled = true;
    a.prepare (44100.0, block);
    b.prepare (44100.0, block);
    auto l1 = bad, r1 = bad, l2 = good, r2 = good;
    runTape (a, l1, &r1, block);
    runTape (b, l2, &r2, block);
    for (size_t i = 11 * block; i < l1.size(); ++i)
    {
        ASSERT_TRUE (std::isfinite (l1[i]));
        ASSERT_EQ (l1[i], l2[i]) << i;
        ASSERT_EQ (r1[i], r2[i]) << i;
    }
}
