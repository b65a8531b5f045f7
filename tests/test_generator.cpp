#include <gtest/gtest.h>
#include "TestSignals.h"
#include "Core/PluginProcessor.h"

#include <cmath>
#include <vector>

namespace
{
constexpr double pi = juce::MathConstants<double>::pi;

using vyrTestSignals::peakOf;
using vyrTestSignals::rmsOf;
using vyrTestSignals::toDb;

// The signal-utility product run the way a host runs it: every block goes through processBlock.
struct UtilityRig
{
    explicit UtilityRig (double rate = 48000.0, int blockSize = 512, int channels = 2)
        : sr (rate), block (blockSize), numChannels (channels)
    {
        proc.setPlayConfigDetails (channels, channels, rate, blockSize);
        proc.prepareToPlay (rate, blockSize);
        proc.utilRandom.setSeed (1234);
    }

    // Renders the next `numSamples` samples; the result holds every channel end to end.
    juce::AudioBuffer<float> run (int numSamples)
    {
        juce::AudioBuffer<float> out (numChannels, numSamples), buf (numChannels, block);
        juce::MidiBuffer midi;
        for (int done = 0; done < numSamples; done += block)
        {
            const int len = std::min (block, numSamples - done);
            juce::AudioBuffer<float> piece (buf.getArrayOfWritePointers(), numChannels, 0, len);
            piece.clear();
            proc.processBlock (piece, midi);
            for (int ch = 0; ch < numChannels; ++ch)
                out.copyFrom (ch, done, piece, ch, 0, len);
        }
        return out;
    }

    int seconds (double s) const { return (int) std::lround (s * sr); }

    VyrAudioProcessor proc { vyrProducts::signalUtility };
    double sr;
    int block, numChannels;
};

double meanOf (const juce::AudioBuffer<float>& b, int ch, int start, int end)
{
    double s = 0;
    for (int i = start; i < end; ++i)
        s += b.getSample (ch, i);
    return s / std::max (1, end - start);
}

// Level of one frequency in the signal, relative to a full-scale sine, in dB.
double goertzelDb (const juce::AudioBuffer<float>& b, int ch, double freq, double sr, int start, int len)
{
    const double w = 2.0 * pi * freq / sr;
    double re = 0, im = 0;
    for (int i = 0; i < len; ++i)
    {
        const double window = 0.5 - 0.5 * std::cos (2.0 * pi * i / (len - 1));
        const double x = b.getSample (ch, start + i) * window;
        re += x * std::cos (w * i);
        im -= x * std::sin (w * i);
    }
    return toDb (2.0 * std::sqrt (re * re + im * im) / (0.5 * len));
}

// Upward zero crossings, interpolated between samples.
std::vector<double> upwardCrossings (const juce::AudioBuffer<float>& b, int ch)
{
    std::vector<double> t;
    for (int i = 1; i < b.getNumSamples(); ++i)
    {
        const double a = b.getSample (ch, i - 1), c = b.getSample (ch, i);
        if (a < 0.0 && c >= 0.0)
            t.push_back (i - 1 + a / (a - c));
    }
    return t;
}

double correlation (const juce::AudioBuffer<float>& b)
{
    double xy = 0, xx = 0, yy = 0;
    for (int i = 0; i < b.getNumSamples(); ++i)
    {
        const double x = b.getSample (0, i), y = b.getSample (1, i);
        xy += x * y;
        xx += x * x;
        yy += y * y;
    }
    return xy / std::sqrt (xx * yy);
}
}

TEST (SignalGenerator, DefaultsAreAThousandHertzSineAtMinusTwentyOnBothChannels)
{
    UtilityRig rig;
    EXPECT_TRUE (rig.proc.utilEnabled.load());
    const auto out = rig.run (rig.seconds (0.5));
    for (int ch = 0; ch < 2; ++ch)
    {
        EXPECT_NEAR (toDb (peakOf (out, ch)), -20.0, 0.01);
        EXPECT_NEAR (toDb (rmsOf (out, ch)), -20.0 - 3.0103, 0.01);
        EXPECT_NEAR (goertzelDb (out, ch, 1000.0, rig.sr, 0, 9600), -20.0, 0.05);
    }
    for (int i = 0; i < out.getNumSamples(); ++i)
        ASSERT_EQ (out.getSample (0, i), out.getSample (1, i));
    EXPECT_EQ (out.getSample (0, 0), 0.0f); // a sine from phase zero

    for (int ch = 0; ch < 2; ++ch)
    {
        // The hold decays by 0.999 per sample between the crests, so it reads a little under the peak.
        EXPECT_LE (rig.proc.utilPeakDb[ch].load(), -20.0f + 1e-4f);
        EXPECT_GE (rig.proc.utilPeakDb[ch].load(), -20.5f);
        EXPECT_NEAR (rig.proc.utilRmsDb[ch].load(), -23.01f, 0.05f);
    }
}

TEST (SignalGenerator, ReadoutsStartAtFloorAndMoveEveryThirtyMilliseconds)
{
    UtilityRig rig (48000.0, 256);
    EXPECT_EQ (rig.proc.utilPeakDb[0].load(), -100.0f);
    rig.run (1280); // 26.7 ms: no readout yet
    EXPECT_EQ (rig.proc.utilPeakDb[0].load(), -100.0f);
    EXPECT_EQ (rig.proc.utilRmsDb[1].load(), -100.0f);
    rig.run (256);  // 32 ms
    EXPECT_NEAR (rig.proc.utilPeakDb[0].load(), -20.0f, 0.5f);

    rig.proc.utilLevelDb = -40.0f;
    rig.run (rig.seconds (0.1));
    EXPECT_NEAR (rig.proc.utilRmsDb[0].load(), -43.01f, 0.05f);
    EXPECT_NEAR (rig.proc.utilPeakDb[0].load(), -40.0f, 0.5f);
}

// Peak and RMS of each waveform against its level in dBFS.
TEST (SignalGenerator, WaveformLevels)
{
    struct Case { int wave; float levelDb; bool antiAlias; double peakLo, peakHi, rmsRel, rmsTol; };
    const double third = toDb (1.0 / std::sqrt (3.0)); // uniform and linear ramps: -4.77 dB
    const Case cases[] = {
        { 0, -20.0f, true, -0.01, 0.01, -3.0103, 0.01 },
        { 0, 6.0f, true, 0.0, 0.0, -3.0103, 0.01 },       // +6 dBFS clamps at full scale
        { 0, -96.0f, true, -0.01, 0.01, -3.0103, 0.01 },
        { 3, -12.0f, false, -1e-5, 1e-5, 0.0, 1e-4 },     // naive 50 % square: exactly +-gain
        { 3, -12.0f, true, -0.01, 1e-5, 0.0, 0.25 },      // edges smoothed: a little less energy
        { 4, -10.0f, false, -0.01, 1e-5, third, 0.02 },
        { 4, -10.0f, true, -0.5, 1e-5, third, 0.35 },     // band-limited edge: lower top sample, less energy
        { 5, -10.0f, true, -0.3, 1e-5, third, 0.05 },     // rounded corners
        { 1, -20.0f, true, -0.02, 1e-5, third, 0.05 },
        { 8, -20.0f, true, -0.01, 0.01, -3.0103, 0.02 },
    };
    for (const auto& k : cases)
    {
        UtilityRig rig;
        rig.proc.utilWave = k.wave;
        rig.proc.utilLevelDb = k.levelDb;
        rig.proc.utilAntiAlias = k.antiAlias;
        rig.proc.utilFreq = 997.0f;
        const auto out = rig.run (rig.seconds (1.0));
        const double level = k.levelDb;
        if (k.levelDb > 0.0f)
        {
            EXPECT_EQ (peakOf (out, 0), 1.0) << k.wave; // clamped to full scale
            continue;
        }
        EXPECT_GE (toDb (peakOf (out, 0)), level + k.peakLo) << "wave " << k.wave;
        EXPECT_LE (toDb (peakOf (out, 0)), level + k.peakHi) << "wave " << k.wave;
        EXPECT_NEAR (toDb (rmsOf (out, 0)), level + k.rmsRel, k.rmsTol) << "wave " << k.wave;
        EXPECT_NEAR (meanOf (out, 0, 0, out.getNumSamples()), 0.0, 0.015 * std::pow (10.0, level / 20.0)) << "wave " << k.wave;
    }
}

TEST (SignalGenerator, PinkNoiseFallsThreeDecibelsPerOctave)
{
    UtilityRig rig;
    rig.proc.utilWave = 2;
    rig.proc.utilLevelDb = 0.0f;
    const auto out = rig.run (rig.seconds (8.0));

    // Energy per octave band stays flat for pink noise; compare octave bands by averaging many Goertzel bins.
    auto bandDb = [&] (double lo)
    {
        double e = 0;
        int bins = 0;
        for (double f = lo; f < 2.0 * lo; f *= 1.05, ++bins)
            for (int seg = 0; seg < 16; ++seg)
                e += std::pow (10.0, goertzelDb (out, 0, f, rig.sr, seg * 16384, 16384) / 10.0);
        return 10.0 * std::log10 (e / bins) + 10.0 * std::log10 (lo); // density x bandwidth
    };
    const double ref = bandDb (250.0);
    for (double lo : { 62.5, 1000.0, 4000.0 })
        EXPECT_NEAR (bandDb (lo), ref, 1.0) << lo;
    EXPECT_LT (peakOf (out, 0), 1.0);
    EXPECT_GT (toDb (rmsOf (out, 0)), -20.0);
}

TEST (SignalGenerator, DimIsExactlyMinusTwentyDecibels)
{
    for (int wave = 0; wave <= 8; ++wave)
    {
        UtilityRig loud, dim;
        for (auto* r : { &loud, &dim })
        {
            r->proc.utilWave = wave;
            r->proc.utilLevelDb = -6.0f;
            r->proc.utilImpulsePending = true;
        }
        dim.proc.utilDim = true;
        const auto a = loud.run (dim.seconds (1.0)), b = dim.run (dim.seconds (1.0));
        double maxErr = 0, peak = 0;
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < a.getNumSamples(); ++i)
            {
                maxErr = std::max (maxErr, (double) std::abs (b.getSample (ch, i) - 0.1f * a.getSample (ch, i)));
                peak = std::max (peak, (double) std::abs (a.getSample (ch, i)));
            }
        EXPECT_GT (peak, 0.1) << wave;
        EXPECT_LT (maxErr, 1e-6) << wave;
    }
}

TEST (SignalGenerator, PolarityInvertPerChannelIncludingOffset)
{
    UtilityRig plain;
    plain.proc.utilDcOffset = 0.2f;
    const auto ref = plain.run (4800);
    const float signs[4][2] = { { 1, 1 }, { -1, 1 }, { 1, -1 }, { -1, -1 } };
    for (int invert = 0; invert < 4; ++invert)
    {
        UtilityRig rig;
        rig.proc.utilDcOffset = 0.2f;
        rig.proc.utilInvert = invert;
        const auto out = rig.run (4800);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 4800; ++i)
                ASSERT_EQ (out.getSample (ch, i), signs[invert][ch] * ref.getSample (ch, i)) << invert << " " << ch;
    }
}

// The offset is added before the level and both the offset and the result are clamped.
TEST (SignalGenerator, DcOffsetClamping)
{
    UtilityRig unity;               // level 0 dB: the bare sine
    unity.proc.utilLevelDb = 0.0f;
    const auto sine = unity.run (4800);

    struct Case { float dc, levelDb, expectedDc; };
    for (const auto k : { Case { 0.5f, 6.0f, 0.5f }, Case { 3.0f, -20.0f, 1.0f }, Case { -5.0f, -20.0f, -1.0f },
                          Case { -0.25f, -6.0f, -0.25f } })
    {
        UtilityRig rig;
        rig.proc.utilDcOffset = k.dc;
        rig.proc.utilLevelDb = k.levelDb;
        const auto out = rig.run (4800);
        const double g = std::pow (10.0, k.levelDb / 20.0);
        for (int i = 0; i < 4800; ++i)
        {
            const double want = juce::jlimit (-1.0, 1.0, (sine.getSample (0, i) + k.expectedDc) * g);
            ASSERT_NEAR (out.getSample (0, i), want, 2e-6) << k.dc << " @" << i;
        }
        if (k.levelDb > 0.0f)
        {
            EXPECT_EQ (peakOf (out, 0), 1.0);                                   // clipped at full scale
            double lo = 0;
            for (int i = 0; i < 4800; ++i)
                lo = std::min (lo, (double) out.getSample (0, i));
            EXPECT_NEAR (lo, -0.5 * g, 1e-3);                                   // trough of a sine around ~1
        }
    }
}

TEST (SignalGenerator, SquareEdgesNaiveOrBandLimited)
{
    for (bool aa : { false, true })
    {
        UtilityRig rig;
        rig.proc.utilWave = 3;
        rig.proc.utilAntiAlias = aa;
        rig.proc.utilFreq = 1234.5f;
        rig.proc.utilLevelDb = 0.0f;
        const auto out = rig.run (rig.seconds (0.2));
        int between = 0;
        for (int i = 0; i < out.getNumSamples(); ++i)
            if (std::abs (out.getSample (0, i)) < 0.999f)
                ++between;
        if (! aa)
            EXPECT_EQ (between, 0);
        else
            EXPECT_GT (between, 494);           // at least one smoothed sample at each of 494 edges
        // Duty cycle: share of positive samples.
        UtilityRig dutyRig;
        dutyRig.proc.utilWave = 3;
        dutyRig.proc.utilAntiAlias = aa;
        dutyRig.proc.utilDuty = 0.99f;         // clamped to 0.95
        dutyRig.proc.utilFreq = 100.0f;
        const auto d = dutyRig.run (dutyRig.seconds (1.0));
        EXPECT_NEAR (meanOf (d, 0, 0, d.getNumSamples()) / 0.1, 0.9, 0.01);
    }
}

// The triangle is centred on zero from its first period and stays centred when the frequency moves.
TEST (SignalGenerator, TriangleSymmetricFromFirstSample)
{
    UtilityRig rig (48000.0, 480);
    rig.proc.utilWave = 5;
    rig.proc.utilLevelDb = 0.0f;
    rig.proc.utilFreq = 1000.0f;
    const auto first = rig.run (4800);
    const int period = 48;
    EXPECT_NEAR (first.getSample (0, 0), -1.0, 4.0 * (1000.0 / 48000.0) / 3.0 + 1e-6);
    for (int p = 0; p < 3; ++p)
    {
        const int s = p * period;
        double lo = 1, hi = -1;
        for (int i = s; i < s + period; ++i)
        {
            lo = std::min (lo, (double) first.getSample (0, i));
            hi = std::max (hi, (double) first.getSample (0, i));
        }
        EXPECT_NEAR (hi, 1.0, 0.03) << p;
        EXPECT_NEAR (lo, -1.0, 0.03) << p;
        EXPECT_NEAR (meanOf (first, 0, s, s + period), 0.0, 1e-3) << p;
    }
    // Odd harmonics only, the third 19.1 dB down (1/9): the shape is a true triangle.
    EXPECT_NEAR (goertzelDb (first, 0, 3000.0, rig.sr, 0, 4800) - goertzelDb (first, 0, 1000.0, rig.sr, 0, 4800),
                 toDb (1.0 / 9.0), 0.2);
    EXPECT_LT (goertzelDb (first, 0, 2000.0, rig.sr, 0, 4800), -80.0);

    // Frequency changes: no jump bigger than one step of the faster slope, still centred afterwards.
    float previous = first.getSample (0, 4799);
    for (float f : { 3000.0f, 110.0f, 7000.0f })
    {
        rig.proc.utilFreq = f;
        const auto out = rig.run (rig.seconds (0.25));
        const double maxStep = 4.0 * std::max (f, 3000.0f) / 48000.0 + 1e-4;
        EXPECT_LE (std::abs (out.getSample (0, 0) - previous), maxStep * 4.0 / 3.0) << f;
        for (int i = 1; i < out.getNumSamples(); ++i)
            ASSERT_LE (std::abs (out.getSample (0, i) - out.getSample (0, i - 1)), maxStep) << f;
        const int periodSamples = (int) std::lround (48000.0 / f);
        const int whole = (out.getNumSamples() / periodSamples) * periodSamples;
        EXPECT_NEAR (meanOf (out, 0, 0, whole), 0.0, 0.01) << f;
        EXPECT_NEAR (peakOf (out, 0), 1.0, 0.25) << f;
        previous = out.getSample (0, out.getNumSamples() - 1);
    }
}

// Phases keep only their fractional part whatever the step: at a low host rate a tone above the rate
// still alternates, and over a long run the triangle neither drifts nor runs away.
TEST (SignalGenerator, PhasesWrapAtAnyStep)
{
    UtilityRig low (8000.0, 256);
    low.proc.utilWave = 3;
    low.proc.utilAntiAlias = false;
    low.proc.utilFreq = 12345.0f;
    low.run (8000);
    const auto later = low.run (800);
    double hi = -1, lo = 1;
    for (int i = 0; i < later.getNumSamples(); ++i)
    {
        hi = std::max (hi, (double) later.getSample (0, i));
        lo = std::min (lo, (double) later.getSample (0, i));
    }
    EXPECT_FLOAT_EQ ((float) hi, 0.1f);
    EXPECT_FLOAT_EQ ((float) lo, -0.1f);

    for (float f : { 11025.0f, 20000.0f, 9999.0f })
    {
        UtilityRig rig (22050.0, 512);
        rig.proc.utilWave = 5;
        rig.proc.utilLevelDb = 0.0f;
        rig.proc.utilFreq = f;
        const auto out = rig.run (rig.seconds (20.0));
        EXPECT_LT (std::abs (meanOf (out, 0, out.getNumSamples() - 22050, out.getNumSamples())), 0.05) << f;
    }

    UtilityRig zero (0.0, 64);   // no rate at all: treated as 1 Hz, output stays finite
    for (int wave = 0; wave <= 8; ++wave)
    {
        zero.proc.utilWave = wave;
        const auto out = zero.run (256);
        for (int i = 0; i < 256; ++i)
            ASSERT_TRUE (std::isfinite (out.getSample (0, i)) && std::abs (out.getSample (0, i)) <= 0.1f) << wave;
    }
}

// Instantaneous frequency from zero crossings against start x (end / start)^(t / duration), or the
// straight line, restarting every duration.
TEST (SignalGenerator, SweepStartEndAndDuration)
{
    struct Case { float start, end, duration; int log; double sr; };
    for (const auto k : { Case { 20.0f, 20000.0f, 4.0f, 1, 48000.0 }, Case { 50.0f, 5000.0f, 0.5f, 1, 96000.0 },
                          Case { 100.0f, 8000.0f, 0.4f, 0, 96000.0 }, Case { 6000.0f, 300.0f, 0.3f, 1, 96000.0 } })
    {
        UtilityRig rig (k.sr, 512);
        rig.proc.utilWave = 8;
        rig.proc.utilLevelDb = 0.0f;
        rig.proc.utilSweepStart = k.start;
        rig.proc.utilSweepEnd = k.end;
        rig.proc.utilSweepDur = k.duration;
        rig.proc.utilSweepLog = k.log;
        const auto out = rig.run (rig.seconds (2.3 * k.duration));

        auto expected = [&] (double t)
        {
            const double u = std::fmod (t, (double) k.duration) / k.duration;
            return k.log ? k.start * std::pow (k.end / k.start, u) : k.start + (k.end - k.start) * u;
        };
        const auto zc = upwardCrossings (out, 0);
        ASSERT_GT (zc.size(), 10u);
        int checked = 0;
        double nearWrapBefore = 0, nearWrapAfter = 0;
        for (size_t i = 1; i < zc.size(); ++i)
        {
            const double t0 = zc[i - 1] / k.sr, t1 = zc[i] / k.sr;
            if (std::floor (t0 / k.duration) != std::floor (t1 / k.duration))
                continue; // straddles a restart
            const double f = k.sr / (zc[i] - zc[i - 1]);
            const double want = expected (0.5 * (t0 + t1));
            if (want > 0.05 * k.sr)
                continue; // too few samples per period to time a crossing well
            ASSERT_NEAR (f / want, 1.0, 0.01) << "at " << 0.5 * (t0 + t1) << " s";
            ++checked;
            if (t1 < k.duration)
                nearWrapBefore = f;
            else if (nearWrapAfter == 0)
                nearWrapAfter = f;
        }
        EXPECT_GT (checked, 10);
        if (k.start < k.end)
            EXPECT_GT (nearWrapBefore, nearWrapAfter * 3.0); // high just before the restart, low after it
    }

    // The figures of the default sweep: 632 Hz half way, back at 20 Hz after four seconds.
    UtilityRig rig;
    rig.proc.utilWave = 8;
    rig.proc.utilLevelDb = 0.0f;
    const auto out = rig.run (rig.seconds (4.2));
    const auto zc = upwardCrossings (out, 0);
    auto freqAfter = [&] (double t) // the first whole period that starts after t
    {
        for (size_t i = 1; i < zc.size(); ++i)
            if (zc[i - 1] / rig.sr > t)
                return rig.sr / (zc[i] - zc[i - 1]);
        return 0.0;
    };
    EXPECT_NEAR (freqAfter (2.0), 632.5, 632.5 * 0.01);
    EXPECT_GT (freqAfter (4.0), 19.5);
    EXPECT_LT (freqAfter (4.0), 22.0);
}

TEST (SignalGenerator, ImpulseOncePerRequest)
{
    UtilityRig rig (48000.0, 256);
    rig.proc.utilWave = 7;
    rig.proc.utilLevelDb = -6.0f;
    rig.proc.utilDcOffset = 0.0f;
    auto silent = rig.run (1024);
    EXPECT_EQ (peakOf (silent, 0), 0.0);

    rig.proc.utilImpulsePending = true;
    rig.proc.utilImpulsePending = true; // twice before a block: one impulse
    const auto out = rig.run (1024);
    const float g = std::pow (10.0f, -6.0f / 20.0f);
    for (int ch = 0; ch < 2; ++ch)
    {
        EXPECT_FLOAT_EQ (out.getSample (ch, 0), g);
        EXPECT_EQ (peakOf (out, ch, 1), 0.0);
    }
    EXPECT_FALSE (rig.proc.utilImpulsePending.load());

    // A request while another waveform plays is used up by that block.
    rig.proc.utilWave = 0;
    rig.proc.utilImpulsePending = true;
    rig.run (256);
    rig.proc.utilWave = 7;
    EXPECT_EQ (peakOf (rig.run (512), 0), 0.0);
}

TEST (SignalGenerator, NeedleTimingLevelsAndStereo)
{
    for (bool decorrelated : { false, true })
    {
        UtilityRig rig;
        rig.proc.utilWave = 6;
        rig.proc.utilLevelDb = 0.0f;
        rig.proc.utilDecorrelated = decorrelated;
        rig.proc.utilDcOffset = 0.05f;
        const auto out = rig.run (rig.seconds (25.0));

        std::vector<int> at;
        int signDiffers = 0, negatives = 0;
        for (int i = 0; i < out.getNumSamples(); ++i)
        {
            const float l = out.getSample (0, i) - 0.05f, r = out.getSample (1, i) - 0.05f;
            if (out.getSample (0, i) == 0.05f)
            {
                ASSERT_EQ (out.getSample (1, i), 0.05f) << i; // both channels share the needle times
                continue;
            }
            at.push_back (i);
            ASSERT_GE (std::abs (l), 0.7f - 1e-6f);
            ASSERT_LE (std::abs (l), 1.0f);
            ASSERT_NEAR (std::abs (r), std::abs (l), 0.1f + 1e-6f); // same size; the offset moves it by 0.1 at most
            if ((l < 0) != (r < 0))
                ++signDiffers;
            if (l < 0)
                ++negatives;
        }
        ASSERT_GE (at.size(), 30u);
        EXPECT_GE (at.front(), rig.seconds (0.5) - 1);
        EXPECT_LE (at.front(), rig.seconds (0.7) + 1);
        for (size_t i = 1; i < at.size(); ++i)
        {
            EXPECT_GE (at[i] - at[i - 1], rig.seconds (0.5) - 1);
            EXPECT_LE (at[i] - at[i - 1], rig.seconds (0.7) + 1);
        }
        EXPECT_GT (negatives, 3);
        EXPECT_LT (negatives, (int) at.size() - 3);
        if (decorrelated)
            EXPECT_GT (signDiffers, 3);
        else
            EXPECT_EQ (signDiffers, 0);
    }
}

TEST (SignalGenerator, DecorrelatedStereoOnlyWithStereoOn)
{
    struct Case { int wave; bool stereo, decorrelated, independent; };
    for (const auto k : { Case { 1, true, true, true }, Case { 2, true, true, true }, Case { 1, false, true, false },
                          Case { 2, true, false, false }, Case { 0, true, true, false } })
    {
        UtilityRig rig;
        rig.proc.utilWave = k.wave;
        rig.proc.utilStereo = k.stereo;
        rig.proc.utilDecorrelated = k.decorrelated;
        const auto out = rig.run (rig.seconds (1.0));
        if (k.independent)
        {
            EXPECT_LT (std::abs (correlation (out)), 0.05) << k.wave;
            EXPECT_NEAR (rmsOf (out, 0), rmsOf (out, 1), 0.1 * rmsOf (out, 0));
        }
        else
        {
            for (int i = 0; i < out.getNumSamples(); ++i)
                ASSERT_EQ (out.getSample (0, i), out.getSample (1, i)) << k.wave;
        }
    }
}

TEST (SignalGenerator, MonoAndWideBuffers)
{
    UtilityRig mono (48000.0, 512, 1);
    EXPECT_NEAR (toDb (peakOf (mono.run (4800), 0)), -20.0, 0.01);

    UtilityRig stereo;
    stereo.proc.utilInvert = 2;
    const auto ref = stereo.run (1024);
    VyrAudioProcessor& p = stereo.proc;
    juce::AudioBuffer<float> wide (4, 512);
    juce::MidiBuffer midi;
    stereo.proc.utilWave = 1; // restart the state with a change of wave and back
    p.processBlock (wide, midi);
    stereo.proc.utilWave = 0;
    p.processBlock (wide, midi);
    for (int i = 0; i < 512; ++i)
    {
        EXPECT_EQ (wide.getSample (0, i), ref.getSample (0, i));
        EXPECT_EQ (wide.getSample (1, i), ref.getSample (1, i));
        EXPECT_EQ (wide.getSample (2, i), ref.getSample (0, i)); // further channels carry the left signal
        EXPECT_EQ (wide.getSample (3, i), ref.getSample (0, i));
    }
}

TEST (SignalGenerator, SwitchAndHostBypass)
{
    {
        UtilityRig rig; // no plug-in host: the bypass parameter is left alone
        rig.proc.setUtilityEnabled (false);
        EXPECT_FALSE (rig.proc.utilEnabled.load());
        EXPECT_EQ (rig.proc.apvts.getParameter ("bypass")->getValue(), 0.0f);
        juce::AudioBuffer<float> buf (2, 256);
        for (int i = 0; i < 256; ++i)
            buf.setSample (0, i, 0.25f), buf.setSample (1, i, -0.25f);
        juce::MidiBuffer midi;
        rig.proc.processBlock (buf, midi);
        EXPECT_EQ (buf.getSample (0, 10), 0.25f); // generator off: the input passes
        EXPECT_EQ (buf.getSample (1, 10), -0.25f);
        rig.proc.setUtilityEnabled (true);
        rig.proc.processBlock (buf, midi);
        EXPECT_NEAR (peakOf (buf, 0), 0.1, 0.01);
    }

    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_VST3);
    auto hosted = std::make_unique<VyrAudioProcessor> (vyrProducts::signalUtility);
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
    auto* bypass = hosted->apvts.getParameter ("bypass");
    hosted->setUtilityEnabled (false);
    EXPECT_EQ (bypass->getValue(), 1.0f);
    EXPECT_FALSE (hosted->utilEnabled.load());
    hosted->setUtilityEnabled (true);
    EXPECT_EQ (bypass->getValue(), 0.0f);
    EXPECT_TRUE (hosted->utilEnabled.load());

    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_VST3);
    auto otherProduct = std::make_unique<VyrAudioProcessor> (vyrProducts::quarn);
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
    otherProduct->setUtilityEnabled (false);
    EXPECT_EQ (otherProduct->apvts.getParameter ("bypass")->getValue(), 0.0f);
}

TEST (SignalGenerator, ResetRequestStartsAfreshAtTheNextBlock)
{
    UtilityRig fresh, used;
    for (auto* r : { &fresh, &used })
        r->proc.utilWave = 3;
    const auto want = fresh.run (1024);
    used.run (777);
    used.proc.generator.requestReset();
    const auto got = used.run (1024);
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ (got.getSample (0, i), want.getSample (0, i)) << i;
}
