// Meter engine: block levels, scopes, spectrum, loudness (EBU Tech 3341/3342 cases and a
// libebur128 cross-check) and true peak.
#include <gtest/gtest.h>
#include <ebur128.h>

#include "Dsp/Metering.h"

#include <climits>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace
{
    constexpr double pi = juce::MathConstants<double>::pi;

    struct Stereo
    {
        std::vector<float> l, r;
        int size() const { return (int) l.size(); }
    };

    struct Segment
    {
        double seconds;
        double dB;         // peak level of a sine, or gain of the noise
        double endDb = 0;  // noise only: gain at the end of a ramp (rampDb set)
        bool ramp = false;
    };

    // Stereo sine (same in both channels), level steps with a continuous phase.
    Stereo sineSegments (double sr, const std::vector<Segment>& segments, double hz = 1000.0)
    {
        Stereo s;
        double phase = 0.0;
        const double inc = 2.0 * pi * hz / sr;
        for (const auto& seg : segments)
        {
            const auto n = (size_t) std::llround (seg.seconds * sr);
            const double a = std::pow (10.0, seg.dB / 20.0);
            for (size_t i = 0; i < n; ++i)
            {
                const auto v = (float) (a * std::sin (phase));
                s.l.push_back (v);
                s.r.push_back (v);
                phase += inc;
                if (phase > 2.0 * pi)
                    phase -= 2.0 * pi;
            }
        }
        return s;
    }

    // Independent pink noise in each channel with a gain per segment (-200 dB = digital silence).
    Stereo pinkSegments (double sr, const std::vector<Segment>& segments, int seed)
    {
        Stereo s;
        juce::Random rng (seed);
        double st[2][7] = {};
        for (const auto& seg : segments)
        {
            const auto n = (size_t) std::llround (seg.seconds * sr);
            for (size_t i = 0; i < n; ++i)
            {
                const double dB = seg.ramp ? seg.dB + (seg.endDb - seg.dB) * (double) i / (double) n : seg.dB;
                const double g = dB <= -150.0 ? 0.0 : std::pow (10.0, dB / 20.0);
                float out[2];
                for (int ch = 0; ch < 2; ++ch)
                {
                    auto* b = st[ch];
                    const double w = rng.nextDouble() * 2.0 - 1.0;
                    b[0] = 0.99886 * b[0] + w * 0.0555179;
                    b[1] = 0.99332 * b[1] + w * 0.0750759;
                    b[2] = 0.96900 * b[2] + w * 0.1538520;
                    b[3] = 0.86650 * b[3] + w * 0.3104856;
                    b[4] = 0.55000 * b[4] + w * 0.5329522;
                    b[5] = -0.7616 * b[5] - w * 0.0168980;
                    const double pink = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + w * 0.5362;
                    b[6] = w * 0.115926;
                    out[ch] = (float) (g * pink * 0.11);
                }
                s.l.push_back (out[0]);
                s.r.push_back (out[1]);
            }
        }
        return s;
    }

    struct Readings
    {
        float momentary, shortTerm, integrated, range, maxTruePeak;
        bool operator== (const Readings& o) const
        {
            return momentary == o.momentary && shortTerm == o.shortTerm && integrated == o.integrated
                   && range == o.range && maxTruePeak == o.maxTruePeak;
        }
    };

    // The meter engine and loudness state as the processor drives them on a live block.
    struct MeterRig
    {
        std::unique_ptr<VyrMeterEngine> meters = std::make_unique<VyrMeterEngine>();
        std::unique_ptr<VyrLoudnessState> loudness = std::make_unique<VyrLoudnessState>();
        bool levelsAndSpectrum = true;
        int64_t position = 0;

        explicit MeterRig (double sr, bool withLevelsAndSpectrum = true) : levelsAndSpectrum (withLevelsAndSpectrum)
        {
            meters->prepare (sr);
            loudness->prepare (sr);
            loudness->reset (*meters);
        }

        void block (const juce::AudioBuffer<float>& buffer)
        {
            if (levelsAndSpectrum)
                meters->capture (buffer, false);
            loudness->process (buffer, *meters);
            if (levelsAndSpectrum)
                meters->updateSpectrum (buffer);
            position += buffer.getNumSamples();
        }

        // Feeds signal samples [position, end) in blocks of blockSize (the last one shorter);
        // `afterBlock` sees the readings after every block.
        void run (const Stereo& sig, int64_t end, int blockSize, const std::function<void (const MeterRig&)>& afterBlock = {})
        {
            juce::AudioBuffer<float> buf (2, blockSize);
            while (position < end)
            {
                const int n = (int) std::min<int64_t> (blockSize, end - position);
                juce::AudioBuffer<float> view (buf.getArrayOfWritePointers(), 2, n);
                std::copy_n (sig.l.data() + position, n, view.getWritePointer (0));
                std::copy_n (sig.r.data() + position, n, view.getWritePointer (1));
                block (view);
                if (afterBlock)
                    afterBlock (*this);
            }
        }

        Readings readings() const
        {
            return { meters->lufsMomentary.load(), meters->lufsShort.load(), meters->lufsIntegrated.load(),
                     meters->lra.load(), meters->maxTruePeak.load() };
        }
    };

    Readings measure (const Stereo& sig, double sr, int blockSize)
    {
        MeterRig rig (sr, false);
        rig.run (sig, sig.size(), blockSize);
        return rig.readings();
    }

    // libebur128 over the same signal.
    struct Reference
    {
        ebur128_state* st;
        explicit Reference (double sr)
            : st (ebur128_init (2, (unsigned long) sr, EBUR128_MODE_M | EBUR128_MODE_S | EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK)) {}
        ~Reference() { ebur128_destroy (&st); }

        void add (const Stereo& sig, int64_t from, int64_t to)
        {
            std::vector<float> inter ((size_t) (to - from) * 2);
            for (int64_t i = from; i < to; ++i)
            {
                inter[(size_t) (i - from) * 2] = sig.l[(size_t) i];
                inter[(size_t) (i - from) * 2 + 1] = sig.r[(size_t) i];
            }
            ebur128_add_frames_float (st, inter.data(), (size_t) (to - from));
        }
        double momentary() { double v; ebur128_loudness_momentary (st, &v); return v; }
        double shortTerm() { double v; ebur128_loudness_shortterm (st, &v); return v; }
        double integrated() { double v; ebur128_loudness_global (st, &v); return v; }
        double range() { double v; ebur128_loudness_range (st, &v); return v; }
        double truePeakDb()
        {
            double a, b;
            ebur128_true_peak (st, 0, &a);
            ebur128_true_peak (st, 1, &b);
            return 20.0 * std::log10 (std::max (a, b));
        }
    };

    const double kRates[] = { 44100.0, 48000.0 };
    const int kBlocks[] = { 64, 4096 };

    // Whether a case of the long conformance signals runs at a rate. The sanitizer build (many times
    // slower) runs each case at one of the two rates, alternating, so both rates still run there.
    bool caseRunsAt (int caseIndex, int rateIndex)
    {
       #if VYR_SANITIZED
        return caseIndex % 2 == rateIndex;
       #else
        juce::ignoreUnused (caseIndex, rateIndex);
        return true;
       #endif
    }
}

//==============================================================================
TEST (MeterLoudness, KWeightingAt48kMatchesTabulatedCoefficients)
{
    VyrLoudnessState::Stage shelf, hp;
    VyrLoudnessState::designKWeighting (48000.0, shelf, hp);
    EXPECT_NEAR (shelf.b0, 1.53512485958697, 1e-7);
    EXPECT_NEAR (shelf.b1, -2.69169618940638, 1e-7);
    EXPECT_NEAR (shelf.b2, 1.19839281085285, 1e-7);
    EXPECT_NEAR (shelf.a1, -1.69065929318241, 1e-7);
    EXPECT_NEAR (shelf.a2, 0.73248077421585, 1e-7);
    EXPECT_EQ (hp.b0, 1.0);
    EXPECT_EQ (hp.b1, -2.0);
    EXPECT_EQ (hp.b2, 1.0);
    EXPECT_NEAR (hp.a1, -1.99004745483398, 1e-7);
    EXPECT_NEAR (hp.a2, 0.99007225036621, 1e-7);
}

// The weighting follows the rate: a tone reads the same at every rate (fixed 48 kHz
// coefficients would shift the curve by the rate ratio) and agrees with libebur128.
TEST (MeterLoudness, WeightingCurveIndependentOfSampleRate)
{
    const double tones[] = { 30.0, 100.0, 1000.0, 4000.0, 10000.0, 15000.0 };
    const double rates[] = { 22050.0, 44100.0, 48000.0, 96000.0, 192000.0 };
    for (double hz : tones)
    {
        const Readings at48 = measure (sineSegments (48000.0, { { 3.0, -23.0 } }, hz), 48000.0, 512);
        for (double sr : rates)
        {
            if (hz > 0.45 * sr)
                continue;
            SCOPED_TRACE (testing::Message() << hz << " Hz at " << sr);
            const auto sig = sineSegments (sr, { { 3.0, -23.0 } }, hz);
            const Readings r = measure (sig, sr, 512);
            Reference ref (sr);
            ref.add (sig, 0, sig.size());
            EXPECT_NEAR (r.integrated, ref.integrated(), 0.02);
            EXPECT_NEAR (r.integrated, at48.integrated, 0.1);
        }
    }
}

// EBU Tech 3341 minimum requirements, stereo 1 kHz sines; block sizes 64 and 4096 must give
// identical readings.
TEST (MeterLoudness, Tech3341Cases)
{
    struct Case
    {
        const char* name;
        std::vector<Segment> segments;
        double momentary, shortTerm, integrated;  // NaN: not checked
    };
    const double nan = std::nan ("");
    const Case cases[] = {
        { "case 1", { { 20.0, -23.0 } }, -23.0, -23.0, -23.0 },
        { "case 2", { { 20.0, -33.0 } }, -33.0, -33.0, -33.0 },
        { "case 3", { { 10.0, -36.0 }, { 60.0, -23.0 }, { 10.0, -36.0 } }, nan, nan, -23.0 },
        { "case 4", { { 10.0, -72.0 }, { 10.0, -36.0 }, { 60.0, -23.0 }, { 10.0, -36.0 }, { 10.0, -72.0 } }, nan, nan, -23.0 },
        { "case 5", { { 20.0, -26.0 }, { 20.1, -20.0 }, { 20.0, -26.0 } }, nan, nan, -23.0 },
    };

    for (int index = 0; index < (int) std::size (cases); ++index)
        for (int rate = 0; rate < 2; ++rate)
        {
            if (! caseRunsAt (index, rate))
                continue;
            const auto& c = cases[index];
            const double sr = kRates[rate];
            SCOPED_TRACE (testing::Message() << c.name << " at " << sr);
            const auto sig = sineSegments (sr, c.segments);
            const Readings small = measure (sig, sr, kBlocks[0]);
            const Readings large = measure (sig, sr, kBlocks[1]);
            EXPECT_TRUE (small == large);
            if (! std::isnan (c.momentary))
                EXPECT_NEAR (small.momentary, c.momentary, 0.1);
            if (! std::isnan (c.shortTerm))
                EXPECT_NEAR (small.shortTerm, c.shortTerm, 0.1);
            EXPECT_NEAR (small.integrated, c.integrated, 0.1);
        }
}

// Tech 3341 case 9: alternating 1.34 s at -20 dBFS and 1.66 s at -30 dBFS keeps the
// short-term loudness at -23 once 3 s have passed, at every update.
TEST (MeterLoudness, ShortTermWindowIsThreeSeconds)
{
    for (double sr : kRates)
        for (int blockSize : kBlocks)
        {
            SCOPED_TRACE (testing::Message() << sr << " / " << blockSize);
            std::vector<Segment> segs;
            for (int k = 0; k < 7; ++k)
            {
                segs.push_back ({ 1.34, -20.0 });
                segs.push_back ({ 1.66, -30.0 });
            }
            const auto sig = sineSegments (sr, segs);
            MeterRig rig (sr, false);
            float lo = 0.0f, hi = -200.0f;
            rig.run (sig, sig.size(), blockSize, [&] (const MeterRig& m)
            {
                if ((double) m.position >= 3.1 * sr)
                {
                    lo = std::min (lo, m.meters->lufsShort.load());
                    hi = std::max (hi, m.meters->lufsShort.load());
                }
            });
            EXPECT_NEAR (lo, -23.0, 0.1);
            EXPECT_NEAR (hi, -23.0, 0.1);
        }
}

// The windows span 400 ms and 3 s of audio at any rate and block size: after silence, a tone
// reaches its full momentary value exactly 400 ms in and its full short-term value 3 s in.
TEST (MeterLoudness, WindowsMeasuredInTimeNotBlocks)
{
    const double rates[] = { 44100.0, 48000.0, 96000.0 };
    for (double sr : rates)
        for (int blockSize : { 64, 512, 4096 })
        {
            SCOPED_TRACE (testing::Message() << sr << " / " << blockSize);
            const auto sig = sineSegments (sr, { { 1.0, -200.0 }, { 4.0, -23.0 } });
            MeterRig rig (sr, false);
            auto at = [&] (double seconds) { rig.run (sig, std::llround (seconds * sr), blockSize); return rig.readings(); };
            EXPECT_NEAR (at (1.3).momentary, -23.0 + 10.0 * std::log10 (0.75), 0.05);
            EXPECT_NEAR (at (1.4).momentary, -23.0, 0.05);
            EXPECT_NEAR (at (3.0).shortTerm, -23.0 + 10.0 * std::log10 (2.0 / 3.0), 0.05);
            EXPECT_NEAR (at (3.9).shortTerm, -23.0 + 10.0 * std::log10 (2.9 / 3.0), 0.05);
            EXPECT_NEAR (at (4.0).shortTerm, -23.0, 0.05);
        }
}

// EBU Tech 3342 loudness range cases; also checked against libebur128.
TEST (MeterLoudness, Tech3342LoudnessRange)
{
    struct Case
    {
        std::vector<Segment> segments;
        double range;
    };
    const Case cases[] = {
        { { { 20.0, -20.0 }, { 20.0, -30.0 } }, 10.0 },
        { { { 20.0, -20.0 }, { 20.0, -15.0 } }, 5.0 },
        { { { 20.0, -40.0 }, { 20.0, -20.0 } }, 20.0 },
        { { { 20.0, -50.0 }, { 20.0, -35.0 }, { 20.0, -20.0 }, { 20.0, -35.0 }, { 20.0, -50.0 } }, 15.0 },
    };
    for (int index = 0; index < (int) std::size (cases); ++index)
    {
        const auto& c = cases[index];
        for (int rate = 0; rate < 2; ++rate)
        {
            if (! caseRunsAt (index, rate))
                continue;
            const double sr = kRates[rate];
            SCOPED_TRACE (testing::Message() << "case " << index + 1 << " at " << sr);
            const auto sig = sineSegments (sr, c.segments);
            const Readings small = measure (sig, sr, kBlocks[0]);
            const Readings large = measure (sig, sr, kBlocks[1]);
            EXPECT_TRUE (small == large);
            EXPECT_NEAR (small.range, c.range, 1.0);
            Reference ref (sr);
            ref.add (sig, 0, sig.size());
            EXPECT_NEAR (small.range, ref.range(), 0.1);
        }
    }
}

// Programme-like material: pink noise with level steps and a silent gap. Momentary and
// short-term at every second, integrated, range and true peak against libebur128.
TEST (MeterLoudness, AgreesWithLibebur128OnPinkNoise)
{
    const std::vector<Segment> steps = { { 8.0, -8.0 }, { 6.0, 0.0 }, { 10.0, -16.0 }, { 2.0, -200.0 }, { 5.0, -4.0 },
                                         { 8.0, -24.0 }, { 7.0, -6.0 }, { 6.0, -12.0 } };
    const std::vector<Segment> fades = { { 4.0, -30.0 }, { 25.0, -30.0, 0.0, true }, { 6.0, -2.0 }, { 12.0, -2.0, -14.0, true },
                                         { 9.0, -10.0 }, { 8.0, -20.0, -6.0, true } };
    for (const auto* segs : { &steps, &fades })
    {
        for (double sr : kRates)
        {
            const auto sig = pinkSegments (sr, *segs, 7);
            Readings previous {};
            for (int blockSize : kBlocks)
            {
                SCOPED_TRACE (testing::Message() << (segs == &steps ? "steps " : "fades ") << sr << " / " << blockSize);
                MeterRig rig (sr, false);
                Reference ref (sr);
                const auto second = (int64_t) sr;
                for (int64_t t = second; t <= sig.size(); t += second)
                {
                    ref.add (sig, rig.position, t);
                    rig.run (sig, t, blockSize);
                    if (t >= 3 * second)
                    {
                        SCOPED_TRACE (testing::Message() << "at " << t / second << " s");
                        const auto r = rig.readings();
                        EXPECT_NEAR (r.momentary, std::max (-100.0, ref.momentary()), 0.1);
                        EXPECT_NEAR (r.shortTerm, std::max (-100.0, ref.shortTerm()), 0.1);
                    }
                }
                const auto r = rig.readings();
                EXPECT_NEAR (r.integrated, ref.integrated(), 0.1);
                EXPECT_NEAR (r.range, ref.range(), 0.1);
                EXPECT_NEAR (r.maxTruePeak, ref.truePeakDb(), 0.2);
                EXPECT_GT (r.range, 5.0f);
                if (blockSize != kBlocks[0])
                    EXPECT_TRUE (r == previous);
                previous = r;
            }
        }
    }
}

// The integrated value covers the whole programme since the reset, with energy averaging:
// 3 minutes at -20 then 3 minutes at -30 give -23.3 LUFS, not the loudness of the recent past.
TEST (MeterLoudness, IntegratedCoversWholeProgramme)
{
    const double sr = 44100.0;
    const auto sig = sineSegments (sr, { { 180.0, -20.0 }, { 180.0, -30.0 } });
    const Readings r = measure (sig, sr, 512);
    const double expected = 10.0 * std::log10 ((0.01 + 0.001) / 2.0);
    EXPECT_NEAR (r.integrated, expected, 0.05);
    Reference ref (sr);
    ref.add (sig, 0, sig.size());
    EXPECT_NEAR (r.integrated, ref.integrated(), 0.02);
}

// Tech 3341 true-peak cases (sine at fs/4, fs/6, fs/8 with the stated phases), tolerance
// +0.2/-0.4 dB, at 48 kHz and the same fractions of 44.1 kHz.
TEST (MeterTruePeak, Tech3341Cases)
{
    struct Case
    {
        double fraction, phaseDeg, dB;
    };
    const Case cases[] = { { 0.25, 0.0, -6.0 }, { 0.25, 45.0, -6.0 }, { 1.0 / 6.0, 60.0, -6.0 }, { 0.125, 67.5, -6.0 }, { 0.25, 45.0, 3.0 } };
    for (const auto& c : cases)
        for (double sr : kRates)
        {
            SCOPED_TRACE (testing::Message() << c.fraction << " fs, " << c.phaseDeg << " deg, " << c.dB << " dB at " << sr);
            Stereo sig;
            const double a = std::pow (10.0, c.dB / 20.0);
            for (int i = 0; i < (int) sr; ++i)
            {
                // 20 ms fade-in, so the onset of the tone adds no overshoot of its own.
                const double fade = std::min (1.0, i / (0.02 * sr));
                const auto v = (float) (fade * a * std::sin (2.0 * pi * c.fraction * i + c.phaseDeg * pi / 180.0));
                sig.l.push_back (v);
                sig.r.push_back (v);
            }
            for (int blockSize : kBlocks)
            {
                const Readings r = measure (sig, sr, blockSize);
                EXPECT_LE (r.maxTruePeak, c.dB + 0.2);
                EXPECT_GE (r.maxTruePeak, c.dB - 0.4);
            }
        }
}

// An inter-sample peak: samples at -9 dBFS of a -6 dBFS sine read -6 dBTP, and the reading
// is never below the sample peak; the block reading follows each block.
TEST (MeterTruePeak, FindsInterSamplePeaksAndNeverReadsBelowSamples)
{
    VyrTruePeakMeter tp;
    std::vector<float> x (4096);
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = (float) (std::min (1.0, (double) i / 1000.0) * 0.5 * std::sin (0.5 * pi * (double) i + 0.25 * pi));
    EXPECT_NEAR (20.0 * std::log10 (tp.process (x.data(), (int) x.size(), 0)), 20.0 * std::log10 (0.5), 0.05);

    juce::Random rng (3);
    for (int trial = 0; trial < 20; ++trial)
    {
        tp.reset();
        std::vector<float> y (256);
        float samplePeak = 0.0f;
        for (auto& v : y)
        {
            v = rng.nextFloat() * 2.0f - 1.0f;
            samplePeak = std::max (samplePeak, std::abs (v));
        }
        y.resize (y.size() + VyrTruePeakMeter::halfTaps, 0.0f);  // flush the interpolator
        EXPECT_GE (tp.process (y.data(), (int) y.size(), 1), samplePeak);
    }
}

// The scan skips outputs whose bound cannot beat the peak found so far; its readings must be the
// exhaustive scan's, bit for bit, whatever the material, level and block cutting.
TEST (MeterTruePeak, SkippingScanReadsExactlyWhatTheExhaustiveScanReads)
{
    juce::Random rng (11);
    std::vector<float> noise (6000), sine (6000), clicks (6000, 0.0f), steps (6000);
    float pink = 0.0f;
    for (size_t i = 0; i < noise.size(); ++i)
    {
        pink = 0.97f * pink + 0.1f * (rng.nextFloat() * 2.0f - 1.0f);
        noise[i] = pink * (float) (0.3 + 0.7 * std::abs (std::sin ((double) i * 0.002)));
        sine[i] = (float) (0.9 * std::sin (0.5 * pi * (double) i + 0.25 * pi));      // quarter rate, 45 degrees
        steps[i] = (i / 700) % 2 == 0 ? 0.02f : -0.9f;                                 // full-scale square edges
    }
    for (size_t i = 300; i < clicks.size(); i += 977)
        clicks[i] = (i / 977) % 2 == 0 ? 1.0f : -0.6f;

    struct Case { const char* name; const std::vector<float>* x; float gain; };
    const Case cases[] = { { "noise", &noise, 1.0f }, { "quiet noise", &noise, 1.0e-4f }, { "sine", &sine, 1.0f },
                           { "clicks", &clicks, 1.0f }, { "steps", &steps, 1.0f } };
    for (const auto& c : cases)
        for (int block : { 1, 7, 256, 300, 512, 2048 })
        {
            VyrTruePeakMeter fast, full;
            std::vector<float> x (*c.x);
            for (auto& v : x)
                v *= c.gain;
            for (int start = 0; start < (int) x.size(); start += block)
            {
                const int len = std::min (block, (int) x.size() - start);
                for (int ch = 0; ch < 2; ++ch)
                    ASSERT_EQ (fast.process (x.data() + start, len, ch), full.processExhaustive (x.data() + start, len, ch))
                        << c.name << ", blocks of " << block << ", at " << start;
            }
        }
}

//==============================================================================
TEST (MeterLoudness, MonoBlockCountsTwiceAndEmptyBlockDoesNothing)
{
    const double sr = 48000.0;
    const auto sig = sineSegments (sr, { { 2.0, -20.0 } });
    MeterRig stereo (sr), mono (sr), single (sr);
    stereo.run (sig, sig.size(), 480);

    juce::AudioBuffer<float> buf (1, 480);
    for (int64_t pos = 0; pos < sig.size(); pos += 480)
    {
        std::copy_n (sig.l.data() + pos, 480, buf.getWritePointer (0));
        mono.block (buf);
    }
    EXPECT_FLOAT_EQ (mono.readings().momentary, stereo.readings().momentary);
    EXPECT_FLOAT_EQ (mono.readings().integrated, stereo.readings().integrated);

    // Left channel only in a stereo buffer reads 3 dB lower.
    Stereo leftOnly = sig;
    std::fill (leftOnly.r.begin(), leftOnly.r.end(), 0.0f);
    single.run (leftOnly, leftOnly.size(), 480);
    EXPECT_NEAR (stereo.readings().shortTerm - single.readings().shortTerm, 10.0 * std::log10 (2.0), 0.01);

    const Readings before = mono.readings();
    juce::AudioBuffer<float> empty (2, 0);
    mono.block (empty);
    EXPECT_TRUE (mono.readings() == before);
}

// A reset during playback drops every reading to "nothing measured" and rebuilds from the
// next 100 ms; the spectrum and levels are not touched.
TEST (MeterLoudness, ResetRestartsMeasurement)
{
    const double sr = 48000.0;
    const auto sig = sineSegments (sr, { { 1.0, -10.0 }, { 2.0, -30.0 } });
    MeterRig rig (sr);
    rig.run (sig, (int64_t) sr, 512);
    ASSERT_NEAR (rig.readings().integrated, -10.0, 0.1);
    const float spectrumBefore = rig.meters->spectrum[171];
    const float peakBefore = rig.meters->outPeak[0].load();
    rig.loudness->reset (*rig.meters);
    const auto r = rig.readings();
    EXPECT_EQ (r.momentary, -100.0f);
    EXPECT_EQ (r.shortTerm, -100.0f);
    EXPECT_EQ (r.integrated, -100.0f);
    EXPECT_EQ (r.range, 0.0f);
    EXPECT_EQ (r.maxTruePeak, -100.0f);
    EXPECT_EQ (rig.meters->spectrum[171], spectrumBefore);
    EXPECT_EQ (rig.meters->outPeak[0].load(), peakBefore);

    rig.run (sig, sig.size(), 512);
    EXPECT_NEAR (rig.readings().integrated, -30.0, 0.1);
    EXPECT_NEAR (rig.readings().maxTruePeak, -30.0, 0.1);
}

// Non-finite samples count as silence: every reading stays finite and the next blocks
// measure normally.
TEST (MeterLoudness, NonFiniteInputRecoversWithinOneBlock)
{
    const double sr = 44100.0;
    const auto sig = sineSegments (sr, { { 3.0, -20.0 } });
    MeterRig rig (sr);
    rig.run (sig, (int64_t) sr, 441);

    juce::AudioBuffer<float> bad (2, 441);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 441; ++i)
            bad.setSample (ch, i, i % 3 == 0 ? std::numeric_limits<float>::quiet_NaN() : std::numeric_limits<float>::infinity());
    rig.block (bad);
    EXPECT_TRUE (std::isfinite (rig.meters->outPeak[0].load()));
    EXPECT_TRUE (std::isfinite (rig.meters->outRms[1].load()));

    rig.run (sig, rig.position + (int64_t) sr, 441);
    const auto r = rig.readings();
    EXPECT_NEAR (r.momentary, -20.0, 0.1);
    EXPECT_NEAR (r.integrated, -20.0, 0.2);
    EXPECT_NEAR (r.maxTruePeak, -20.0, 0.1);
    for (float v : rig.meters->spectrum)
        ASSERT_TRUE (std::isfinite (v));
    for (float v : rig.meters->outScope)
        ASSERT_TRUE (std::isfinite (v));
}

//==============================================================================
TEST (MeterLevels, CaptureMeasuresPeakRmsAndScope)
{
    auto meters = std::make_unique<VyrMeterEngine>();
    meters->prepare (48000.0);

    juce::AudioBuffer<float> buf (2, 480);
    for (int i = 0; i < 480; ++i)
    {
        const auto s = (float) std::sin (2.0 * pi * 1000.0 * i / 48000.0);
        buf.setSample (0, i, 0.5f * s);
        buf.setSample (1, i, 0.25f * s);
    }
    meters->capture (buf, true);
    EXPECT_NEAR (meters->inPeak[0].load(), 0.5f, 1e-4f);
    EXPECT_NEAR (meters->inPeak[1].load(), 0.25f, 1e-4f);
    EXPECT_NEAR (meters->inRms[0].load(), 0.5f / std::sqrt (2.0f), 1e-4f);
    EXPECT_NEAR (meters->inRms[1].load(), 0.25f / std::sqrt (2.0f), 1e-4f);
    EXPECT_EQ (meters->outPeak[0].load(), 0.0f);
    EXPECT_EQ (meters->inScopeWrite.load(), 480);
    EXPECT_FLOAT_EQ (meters->inScope[100], (buf.getSample (0, 100) + buf.getSample (1, 100)) * 0.5f);

    // Mono: right side shows nothing, the scope gets the left samples.
    juce::AudioBuffer<float> mono (1, 480);
    mono.copyFrom (0, 0, buf, 0, 0, 480);
    meters->capture (mono, false);
    EXPECT_NEAR (meters->outPeak[0].load(), 0.5f, 1e-4f);
    EXPECT_EQ (meters->outPeak[1].load(), 0.0f);
    EXPECT_EQ (meters->outRms[1].load(), 0.0f);
    EXPECT_EQ (meters->outScope[7], mono.getSample (0, 7));

    juce::AudioBuffer<float> empty (2, 0);
    meters->capture (empty, false);
    EXPECT_EQ (meters->outPeak[0].load(), 0.0f);
    EXPECT_EQ (meters->outRms[0].load(), 0.0f);
    EXPECT_EQ (meters->outScopeWrite.load(), 480);
}

// The scope position stays inside the ring however many samples pass, even from a value
// near the top of the int range, and the newest sample sits just behind it.
TEST (MeterLevels, ScopePositionNeverGoesNegative)
{
    auto meters = std::make_unique<VyrMeterEngine>();
    meters->prepare (44100.0);
    meters->outScopeWrite.store (INT_MAX - 5);

    juce::AudioBuffer<float> buf (1, 1000);
    for (int block = 0; block < 10; ++block)
    {
        for (int i = 0; i < 1000; ++i)
            buf.setSample (0, i, (float) (block * 1000 + i));
        meters->capture (buf, false);
        const int w = meters->outScopeWrite.load();
        ASSERT_GE (w, 0);
        ASSERT_LT (w, VyrMeterEngine::scopeSize);
        EXPECT_EQ (meters->outScope[(w + VyrMeterEngine::scopeSize - 1) % VyrMeterEngine::scopeSize], (float) (block * 1000 + 999));
        if (block >= 2)
            EXPECT_EQ (meters->outScope[w], (float) (block * 1000 + 1000 - VyrMeterEngine::scopeSize)) << block;
    }
}

//==============================================================================
namespace
{
    void feedSine (VyrMeterEngine& m, double sr, double hz, float amp, int samples, int channels = 2)
    {
        juce::AudioBuffer<float> buf (channels, 256);
        int done = 0;
        while (done < samples)
        {
            const int n = std::min (256, samples - done);
            juce::AudioBuffer<float> view (buf.getArrayOfWritePointers(), channels, n);
            for (int i = 0; i < n; ++i)
                for (int ch = 0; ch < channels; ++ch)
                    view.setSample (ch, i, amp * (float) std::sin (2.0 * pi * hz * (done + i) / sr));
            m.updateSpectrum (view);
            done += n;
        }
    }

    int argMax (const float* x, int n)
    {
        return (int) (std::max_element (x, x + n) - x);
    }
}

// A bin-centred sine reads amplitude x (N - 1) / (4N) in its bin (Hann window, magnitude / N)
// once the smoothing has settled; other sines land in the nearest bin; mono uses the left.
TEST (MeterSpectrum, SineLandsInItsBinAtTheExpectedLevel)
{
    auto m = std::make_unique<VyrMeterEngine>();
    for (double sr : kRates)
    {
        for (int bin : { 37, 372, 3001 })
        {
            m->prepare (sr);
            const double hz = bin * sr / VyrMeterEngine::fftSize;
            feedSine (*m, sr, hz, 0.5f, (int) (3.0 * sr));
            const double expected = 0.5 * (VyrMeterEngine::fftSize - 1) / (4.0 * VyrMeterEngine::fftSize);
            EXPECT_NEAR (20.0 * std::log10 (m->spectrum[bin] / expected), 0.0, 0.02) << bin;
            EXPECT_EQ (argMax (m->spectrum, VyrMeterEngine::spectrumBins), bin);
            EXPECT_LT (m->spectrum[bin + 3], m->spectrum[bin] * 1.0e-3f);
            EXPECT_LT (m->spectrum[bin - 3], m->spectrum[bin] * 1.0e-3f);
            EXPECT_LT (m->spectrum[VyrMeterEngine::spectrumBins - bin], m->spectrum[bin] * 1.0e-3f);
        }

        for (double f : { 60.0, 1234.5, 9876.0 })
        {
            m->prepare (sr);
            feedSine (*m, sr, f, 0.25f, (int) (2.0 * sr), 1);
            EXPECT_EQ (argMax (m->spectrum, VyrMeterEngine::spectrumBins), (int) std::lround (f * VyrMeterEngine::fftSize / sr)) << f;
        }
    }
}

TEST (MeterSpectrum, FirstTransformAfter1024Samples)
{
    auto m = std::make_unique<VyrMeterEngine>();
    m->prepare (48000.0);
    feedSine (*m, 48000.0, 1000.0, 1.0f, 1023);
    for (float v : m->spectrum)
        ASSERT_EQ (v, 0.0f);
    EXPECT_EQ (m->spectrumHopCount, 1023);

    juce::AudioBuffer<float> one (2, 1);
    one.setSample (0, 0, 1.0f);
    one.setSample (1, 0, 1.0f);
    m->updateSpectrum (one);
    EXPECT_EQ (m->spectrumHopCount, 0);
    EXPECT_GT (*std::max_element (std::begin (m->spectrum), std::end (m->spectrum)), 0.0f);

    // A new prepare clears it again.
    m->prepare (44100.0);
    EXPECT_EQ (*std::max_element (std::begin (m->spectrum), std::end (m->spectrum)), 0.0f);
    EXPECT_EQ (m->sampleRate.load(), 44100.0);
    m->prepare (0.0);
    EXPECT_EQ (m->sampleRate.load(), 44100.0);
}

//==============================================================================
#include "ProcessorFixture.h"
#include "ReferenceCompare.h"

// The output's true peak and weighted energy are measured once per block: taken from the limiter's
// measurements when the output is only its output times a gain, measured at the output otherwise.
// Either way the readings are those of what leaves the plug-in.
TEST (MeterTruePeak, ProcessorMeasuresItsOutputOnce)
{
    struct Case { const char* name; std::vector<std::pair<const char*, float>> settings; };
    const Case cases[] = {
        { "defaults", {} },
        { "output gain", { { "outputGainL", -6.0f } } },
        { "output gains apart", { { "linkLR", 0.0f }, { "outputGainR", -3.0f } } },
        { "mono", { { "mono", 1.0f } } },
        { "limiter off", { { "limiter_enabled", 0.0f } } },
        { "limiter 4x", { { "limiter_oversampling", 2.0f }, { "limiter_inputGain", 9.0f } } },
    };
    const double sr = 48000.0;
    const int block = 480;
    const auto input = vyrReferenceCompare::program (sr, 0.5);
    for (const auto& c : cases)
    {
        auto p = vyrTest::makeProcessor (vyrProducts::quarn);
        const VyrReaderToken truePeakReader (p->truePeakReaders);
        for (const auto& [id, value] : c.settings)
            vyrTest::setParam (*p, id, value);
        vyrTest::prepare (*p, sr, block);
        VyrTruePeakMeter scan;
        VyrMeterEngine ownMeters;
        VyrLoudnessState own;
        own.prepare (sr);
        juce::MidiBuffer midi;
        juce::AudioBuffer<float> buffer (2, block);
        for (int start = 0; start + block <= input.getNumSamples(); start += block)
        {
            for (int ch = 0; ch < 2; ++ch)
                buffer.copyFrom (ch, 0, input, ch, start, block);
            p->processBlock (buffer, midi);
            const float expected = std::max (scan.processExhaustive (buffer.getReadPointer (0), block, 0),
                                             scan.processExhaustive (buffer.getReadPointer (1), block, 1));
            ASSERT_NEAR (p->meters.truePeakDb.load(), 20.0f * std::log10 (expected), 1.0e-3f) << c.name << " at " << start;
            own.process (buffer, ownMeters);
            ASSERT_NEAR (p->meters.lufsMomentary.load(), ownMeters.lufsMomentary.load(), 1.0e-3f) << c.name << " at " << start;
            ASSERT_NEAR (p->meters.lufsShort.load(), ownMeters.lufsShort.load(), 1.0e-3f) << c.name << " at " << start;
        }
    }
}

// The levels, scopes and true peak of the processor's output are read only by their readers, so they
// are measured only while one holds a token: without one they cost nothing and read as nothing
// measured; with one they are the block's own; when the last reader goes, the levels and scopes fall to
// silence at once and the true-peak maximum keeps what was measured.
TEST (MeterReaders, LevelsAndTruePeakAreMeasuredWhileSomeoneReadsThem)
{
    const double sr = 48000.0;
    const int block = 480;
    auto p = vyrTest::makeProcessor (vyrProducts::quarn);
    vyrTest::setParam (*p, "limiter_enabled", 0.0f);   // the output's true peak is then scanned at the output
    vyrTest::prepare (*p, sr, block);
    const auto input = vyrReferenceCompare::program (sr, 0.4);
    juce::MidiBuffer midi;
    juce::AudioBuffer<float> buffer (2, block);
    int start = 0;
    auto next = [&]
    {
        for (int ch = 0; ch < 2; ++ch)
            buffer.copyFrom (ch, 0, input, ch, start, block);
        start += block;
        p->processBlock (buffer, midi);
    };
    auto scopeEnergy = [&]
    {
        double e = 0.0;
        for (float v : p->meters.outScope)
            e += (double) v * v;
        for (float v : p->meters.inScope)
            e += (double) v * v;
        return e;
    };
    auto& m = p->meters;

    for (int b = 0; b < 12; ++b)   // past the first 100 ms of loudness
        next();
    EXPECT_EQ (m.outPeak[0].load(), 0.0f);
    EXPECT_EQ (m.inRms[1].load(), 0.0f);
    EXPECT_EQ (scopeEnergy(), 0.0);
    EXPECT_EQ (m.truePeakDb.load(), -100.0f);
    EXPECT_EQ (m.maxTruePeak.load(), -100.0f);
    EXPECT_GT (m.lufsMomentary.load(), -40.0f) << "loudness runs for every block";

    float measuredMax = 0.0f;
    {
        const VyrReaderToken levels (p->levelReaders), truePeak (p->truePeakReaders);
        VyrTruePeakMeter scan;
        for (int b = 0; b < 6; ++b)
        {
            next();
            const float expected = std::max (scan.processExhaustive (buffer.getReadPointer (0), block, 0),
                                             scan.processExhaustive (buffer.getReadPointer (1), block, 1));
            EXPECT_NEAR (m.truePeakDb.load(), 20.0f * std::log10 (expected), 1.0e-3f) << b;
            measuredMax = std::max (measuredMax, expected);
            for (int ch = 0; ch < 2; ++ch)
            {
                const float peak = buffer.getMagnitude (ch, 0, block);
                EXPECT_FLOAT_EQ (m.outPeak[ch].load(), peak) << b;
                EXPECT_NEAR (m.outRms[ch].load(), buffer.getRMSLevel (ch, 0, block), 1.0e-5f * peak) << b;
            }
            EXPECT_GT (m.inPeak[0].load(), 0.01f);
        }
        EXPECT_GT (scopeEnergy(), 0.0);
    }

    next();
    EXPECT_EQ (m.outPeak[0].load(), 0.0f);
    EXPECT_EQ (m.outRms[1].load(), 0.0f);
    EXPECT_EQ (m.inPeak[1].load(), 0.0f);
    EXPECT_EQ (scopeEnergy(), 0.0);
    EXPECT_EQ (m.truePeakDb.load(), -100.0f);
    EXPECT_NEAR (m.maxTruePeak.load(), 20.0f * std::log10 (measuredMax), 1.0e-3f);
}

// The stereo K-weighting runs both channels side by side; it must give the energies of the plain
// per-channel stages, up to the order of the additions: the readings within 1e-5 LU.
TEST (MeterLoudness, StereoWeightingEqualsPlainStages)
{
    const double sr = 48000.0;
    const auto input = vyrReferenceCompare::program (sr, 1.0, 3);
    VyrMeterEngine meters;
    VyrLoudnessState loudness;
    loudness.prepare (sr);

    VyrLoudnessState::Stage shelf[2], highPass[2];
    VyrLoudnessState::designKWeighting (sr, shelf[0], highPass[0]);
    shelf[1] = shelf[0];
    highPass[1] = highPass[0];
    const int hop = loudness.getHopSamples();
    std::vector<double> hops;
    double acc = 0.0;
    int fill = 0;

    const int block = 333;   // blocks that straddle the 100 ms steps
    juce::AudioBuffer<float> buffer (2, block);
    for (int start = 0; start + block <= input.getNumSamples(); start += block)
    {
        for (int ch = 0; ch < 2; ++ch)
            buffer.copyFrom (ch, 0, input, ch, start, block);
        loudness.process (buffer, meters);
        for (int i = 0; i < block; ++i)
        {
            const double yl = highPass[0].process (shelf[0].process ((double) buffer.getSample (0, i)));
            const double yr = highPass[1].process (shelf[1].process ((double) buffer.getSample (1, i)));
            acc += yl * yl + yr * yr;
            if (++fill == hop)
            {
                hops.push_back (acc);
                acc = 0.0;
                fill = 0;
            }
        }
    }
    ASSERT_GE (hops.size(), 9u);
    // Sums newest first, as the meter forms them.
    auto lufsOfNewest = [&] (int count)
    {
        double sum = 0.0;
        for (int k = 1; k <= count; ++k)
            sum += hops[hops.size() - (size_t) k];
        return (float) (-0.691 + 10.0 * std::log10 (sum / (count * (double) hop)));
    };
    EXPECT_NEAR (meters.lufsMomentary.load(), lufsOfNewest (4), 1.0e-5f);
    EXPECT_NEAR (meters.lufsShort.load(), lufsOfNewest ((int) hops.size()), 1.0e-5f);
}
