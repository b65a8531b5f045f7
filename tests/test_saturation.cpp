#include <gtest/gtest.h>
#include "TestSignals.h"
#include "ColourFxTestUtil.h"
#include "Dsp/Saturation.h"

using namespace colourTest;
using namespace vyrTestSignals;

namespace
{
    constexpr double sr = 48000.0;

    VyrSaturation makeSaturation (int mode, float drive, float mix = 1.0f)
    {
        VyrSaturation s;
        s.enabled = true;
        s.mode = mode;
        s.drive = drive;
        s.grit = 0.0f;
        s.mix = mix;
        s.output = 1.0f;
        s.prepare (sr, 512);
        return s;
    }

    // The curves written out independently of the engine.
    double rawCurve (int mode, double x, double D)
    {
        switch (mode)
        {
            case 1: return std::tanh (0.85 * D * x) * (1.0 - 0.08 * std::abs (x));
            case 2: return (D * x < 0 ? -1.0 : 1.0) * (1.0 - std::exp (-2.5 * std::abs (D * x))) * 0.95;
            case 3: return 0.45 * x + 0.55 * std::tanh (0.5 * D * x);
            case 4: return 0.7 * x + 0.3 * std::tanh (D * x);
            default: return 0.9 * std::tanh (D * x) + 0.05 * x + 0.03 * x * std::abs (x);
        }
    }

    // The wet sample: input limited to +-1.5, shaped, limited to +-1.
    double referenceCurve (int mode, double x, double drive)
    {
        return std::clamp (rawCurve (mode, std::clamp (x, -1.5, 1.5), 1.0 + 1.5 * drive), -1.0, 1.0);
    }

    struct Harmonics { double second, third; };  // dB relative to the fundamental

    Harmonics harmonicsOf (VyrSaturation& s, float amp)
    {
        const double f0 = 1000.0;
        juce::AudioBuffer<float> b (1, 9600);
        fillSine (b, 0, f0, sr, amp);
        processInBlocks (s, b, 512);
        const int start = 4800, n = 4800;  // whole periods of every harmonic
        const double fund = amplitudeAt (b.getReadPointer (0), start, n, f0, sr);
        return { toDb (amplitudeAt (b.getReadPointer (0), start, n, 2 * f0, sr) / fund),
                 toDb (amplitudeAt (b.getReadPointer (0), start, n, 3 * f0, sr) / fund) };
    }
}

TEST (Saturation, CurvesMatchReferenceIncludingOutOfRangeModes)
{
    // Modes 5 and -1 shape like Tube; inputs beyond +-1.5 are shaped as +-1.5.
    for (int mode : { 0, 1, 2, 3, 4, 5, -1 })
    {
        for (float drive : { 0.0f, 0.4f, 1.0f })
        {
            auto s = makeSaturation (mode, drive);
            juce::AudioBuffer<float> b (2, 401);
            for (int i = 0; i < b.getNumSamples(); ++i)
            {
                const float x = -2.0f + 4.0f * (float) i / 400.0f;
                b.setSample (0, i, x);
                b.setSample (1, i, -x);
            }
            juce::AudioBuffer<float> in (b);
            s.process (b);
            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < b.getNumSamples(); ++i)
                    ASSERT_NEAR (b.getSample (ch, i), referenceCurve (mode, in.getSample (ch, i), drive), 2.0e-6)
                        << "mode " << mode << " drive " << drive << " x " << in.getSample (ch, i);
        }
    }

    // Clean at drive 0: 0.5 gives 0.7 x 0.5 + 0.3 x tanh(0.5).
    auto s = makeSaturation (VyrSaturation::clean, 0.0f);
    juce::AudioBuffer<float> one (1, 1);
    one.setSample (0, 0, 0.5f);
    s.process (one);
    EXPECT_NEAR (one.getSample (0, 0), 0.7 * 0.5 + 0.3 * std::tanh (0.5), 1.0e-6);
}

TEST (Saturation, HarmonicContentPerMode)
{
    // Every curve is odd-symmetric (Tube's x|x| term included): no second harmonic, and a third
    // harmonic that grows with drive.
    for (int mode = 0; mode < 5; ++mode)
    {
        auto soft = makeSaturation (mode, 0.0f);
        auto hard = makeSaturation (mode, 1.0f);
        const auto h0 = harmonicsOf (soft, 0.7f);
        const auto h1 = harmonicsOf (hard, 0.7f);

        EXPECT_LT (h0.second, -100.0) << "mode " << mode;
        EXPECT_LT (h1.second, -100.0) << "mode " << mode;

        EXPECT_GT (h1.third, -45.0) << "mode " << mode;
        EXPECT_GT (h1.third, h0.third + 3.0) << "more drive, more third harmonic, mode " << mode;
    }
}

TEST (Saturation, WetNeverExceedsUnityEvenWithGrit)
{
    for (int mode = 0; mode < 5; ++mode)
    {
        auto s = makeSaturation (mode, 1.0f);
        s.grit = 1.0f;
        s.prepare (sr, 512);
        juce::AudioBuffer<float> b (2, 48000);
        fillNoise (b, 0, 11, 3.0f);
        fillSine (b, 1, 97.0, sr, 2.5f);
        processInBlocks (s, b, 256);
        EXPECT_LE (peakOf (b, 0), 1.0) << mode;
        EXPECT_LE (peakOf (b, 1), 1.0) << mode;
    }

    // The dry share keeps the unclipped input: at mix 0.5 the output stays within 0.5 of half the input.
    auto s = makeSaturation (VyrSaturation::tube, 1.0f, 0.5f);
    juce::AudioBuffer<float> b (1, 4800);
    fillSine (b, 0, 100.0, sr, 4.0f);
    juce::AudioBuffer<float> in (b);
    s.process (b);
    double worst = 0.0;
    for (int i = 0; i < b.getNumSamples(); ++i)
        worst = std::max (worst, (double) std::abs (b.getSample (0, i) - 0.5f * in.getSample (0, i)));
    EXPECT_LE (worst, 0.5 + 1.0e-6);
    EXPECT_GT (peakOf (b, 0), 2.0);
}

TEST (Saturation, GritNoiseFollowsInputLevel)
{
    // Clean, drive 0, grit 1: the noise stays within 0.11 x (0.5 + 0.5|in|) of the clean curve and is
    // louder on a loud signal than on silence.
    auto s = makeSaturation (VyrSaturation::clean, 0.0f);
    s.grit = 1.0f;
    s.prepare (sr, 512);
    juce::AudioBuffer<float> b (1, 9600);
    for (int i = 0; i < 4800; ++i)
        b.setSample (0, i, 0.0f);
    for (int i = 4800; i < 9600; ++i)
        b.setSample (0, i, 0.8f);
    processInBlocks (s, b, 512);

    double quietPeak = 0.0, loudPeak = 0.0;
    const double clean08 = referenceCurve (4, 0.8, 0.0);
    for (int i = 0; i < 4800; ++i)
        quietPeak = std::max (quietPeak, (double) std::abs (b.getSample (0, i)));
    for (int i = 4800; i < 9600; ++i)
        loudPeak = std::max (loudPeak, std::abs (b.getSample (0, i) - clean08));
    EXPECT_GT (quietPeak, 0.02);
    EXPECT_LE (quietPeak, 0.11 * 0.4 * 0.5 + 1.0e-6);
    EXPECT_LE (loudPeak, 0.11 * 0.4 * 0.9 + 1.0e-6);
    EXPECT_GT (loudPeak, quietPeak * 1.4);
}

TEST (Saturation, ModeChangeCrossfadesOver32ms)
{
    auto s = makeSaturation (VyrSaturation::tube, 0.4f);
    const int steps = (int) std::floor (0.032 * sr);
    juce::AudioBuffer<float> b (1, steps + 512);
    b.clear();
    for (int i = 0; i < b.getNumSamples(); ++i)
        b.setSample (0, i, 0.6f);

    s.mode = VyrSaturation::trans;
    processInBlocks (s, b, 128);

    const double from = referenceCurve (0, 0.6, 0.4), to = referenceCurve (2, 0.6, 0.4);
    for (int i : { 0, steps / 4, steps / 2, steps - 2 })
        EXPECT_NEAR (b.getSample (0, i), from + (to - from) * (i + 1) / steps, 1.0e-5) << i;
    for (int i = steps - 1; i < b.getNumSamples(); ++i)
        ASSERT_NEAR (b.getSample (0, i), to, 1.0e-6) << i;
}

TEST (Saturation, SwitchingOffFadesThenPassesUntouched)
{
    // Output factor 1.6 and a hot drive: the level must glide back to the input's, never step.
    auto s = makeSaturation (VyrSaturation::tube, 1.0f);
    s.output = 1.6f;
    s.prepare (sr, 512);
    const int ramp = (int) std::floor (0.025 * sr);
    juce::AudioBuffer<float> b (2, 9600);
    fillSine (b, 0, 50.0, sr, 0.7f);
    fillSine (b, 1, 50.0, sr, 0.7f);
    juce::AudioBuffer<float> in (b);

    processSwitchingOffAt (s, b, 500, 4800);

    // Largest sample step from the switch on stays that of a slow sine, not a level jump.
    EXPECT_LT (largestStep (b.getReadPointer (0), 4700, 9600), 0.02);

    // During the ramp the departure from the input shrinks to nothing...
    const double before = peakOf (b, 0, 3840, 960);
    EXPECT_GT (before, 0.9);
    for (int i = 4800 + ramp; i < 9600; ++i)
        ASSERT_EQ (b.getSample (0, i), in.getSample (0, i)) << i;  // ...and afterwards the block is untouched
}

TEST (Saturation, NonFiniteInputDoesNotLatch)
{
    auto s = makeSaturation (VyrSaturation::tape, 0.8f);
    s.grit = 0.5f;
    s.prepare (sr, 256);
    juce::AudioBuffer<float> bad (2, 256);
    fillSine (bad, 0, 440.0, sr, 0.5f);
    fillSine (bad, 1, 440.0, sr, 0.5f);
    bad.setSample (0, 10, std::numeric_limits<float>::quiet_NaN());
    bad.setSample (1, 20, std::numeric_limits<float>::infinity());
    s.process (bad);

    juce::AudioBuffer<float> good (2, 256);
    fillSine (good, 0, 440.0, sr, 0.5f);
    fillSine (good, 1, 440.0, sr, 0.5f);
    s.process (good);
    EXPECT_TRUE (allFinite (good));
    EXPECT_LE (peakOf (good, 0), 1.0);
}
