#include <gtest/gtest.h>

#include "ProcessorFixture.h"
#include "TestSignals.h"
#include "Dsp/Clipper.h"
#include "Dsp/Compressor.h"
#include "Dsp/Saturation.h"
#include "Ui/FxChain/FxPainting.h"
#include "Ui/FxChain/VyrModuleGraphModel.h"

#include <cmath>

namespace
{
using IRect = juce::Rectangle<int>;
using FRect = juce::Rectangle<float>;

double dbOf (double v) { return 20.0 * std::log10 (std::max (std::abs (v), 1.0e-9)); }
} // namespace

TEST (ModuleGraph, SaturationCurvesAndJitter)
{
    for (float x : { 0.1f, 0.4f, 0.9f })
        EXPECT_FLOAT_EQ (vyrFx::satTransfer (2, 0.7f, -x), -vyrFx::satTransfer (2, 0.7f, x));
    EXPECT_FLOAT_EQ (vyrFx::satTransfer (7, 0.5f, 0.6f), vyrFx::satTransfer (0, 0.5f, 0.6f));
    // Drive 0 is a gain of one into the tube curve.
    const float x = 0.5f;
    EXPECT_NEAR (vyrFx::satTransfer (0, 0.0f, x), 0.9f * std::tanh (x) + 0.05f * x + 0.03f * x * x, 1.0e-6f);
    EXPECT_NEAR (vyrFx::satTransfer (1, 1.0f, x), (1.0f - 0.08f * x) * std::tanh (0.85f * 2.5f * x), 1.0e-6f);
    // The grit jitter is the same pattern on every paint, in single precision.
    EXPECT_EQ (vyrFx::satJitter (0), -0.775390625f);
    for (int m = 0; m <= 140; ++m)
    {
        EXPECT_EQ (vyrFx::satJitter (m), vyrFx::satJitter (m));
        EXPECT_LE (std::abs (vyrFx::satJitter (m)), 1.0f);
    }
}

TEST (ModuleGraph, ClipperCurveBoundsAndClamps)
{
    for (float x : { -1.0f, -0.3f, 0.2f, 0.8f })
    {
        EXPECT_FLOAT_EQ (vyrFx::clipOut (-6.0f, 20.0f, x), vyrFx::clipOut (0.0f, 20.0f, x));
        EXPECT_FLOAT_EQ (vyrFx::clipOut (12.0f, 150.0f, x), vyrFx::clipOut (12.0f, 100.0f, x));
    }
    for (float drive : { 0.0f, 12.0f, 50.0f })
        for (float sym : { -100.0f, -40.0f, 0.0f, 70.0f, 100.0f })
        {
            EXPECT_EQ (vyrFx::clipOut (drive, sym, 0.0f), 0.0f);
            for (int i = 0; i <= 40; ++i)
            {
                const float y = vyrFx::clipOut (drive, sym, -2.0f + 0.1f * (float) i);
                EXPECT_GE (y, -1.0f);
                EXPECT_LE (y, 1.0f);
            }
        }
}

TEST (ModuleGraph, ClipFilterResponseFloorAndFlatBand)
{
    vyrFx::ClipToneState s;
    EXPECT_FLOAT_EQ (vyrFx::clipFilterDbAt (s, 0.5f), vyrFx::clipFilterDbAt (s, 1.0f));

    vyrFx::ClipToneState open;
    open.filterType = 1;
    open.clipFilterFreq = 20.0f;
    open.tone = 20.0f;
    open.highShelfFreq = 20000.0f;
    open.lpFilterFreq = 20000.0f;
    EXPECT_NEAR (vyrFx::clipFilterDbAt (open, 1000.0f), 0.0f, 0.1f);

    // At the Nyquist frequency both low-passes have an exact zero: each counts -180 dB, never -inf.
    const float nyquist = vyrFx::clipFilterDbAt (s, 22050.0f);
    EXPECT_TRUE (std::isfinite (nyquist));
    EXPECT_LT (nyquist, -300.0f);
    EXPECT_GT (nyquist, -400.0f);

    // A tone corner moved a decade up: 170 Hz falls from the corner (-3 dB) to a decade below it (-40 dB).
    vyrFx::ClipToneState high = s;
    high.tone = 1700.0f;
    EXPECT_NEAR (vyrFx::clipFilterDbAt (s, 170.0f) - vyrFx::clipFilterDbAt (high, 170.0f), 37.0f, 3.0f);
}

TEST (ModuleGraph, AirDensityAndFit)
{
    EXPECT_NEAR (vyrFx::airResponseDb (10000.0f, 10.0f, 1), 2.0f, 1.0e-5f);
    EXPECT_FLOAT_EQ (vyrFx::airResponseDb (7000.0f, 12.0f, 1), vyrFx::airResponseDb (7000.0f, 10.0f, 1));
    EXPECT_FLOAT_EQ (vyrFx::airResponseDb (7000.0f, -3.0f, 1), 0.0f);
    EXPECT_NEAR (vyrFx::airResponseDb (5000.0f, 0.0f, 2), 0.75f, 1.0e-5f);
    EXPECT_NEAR (vyrFx::airResponseDb (5000.0f, 0.0f, 0), -0.75f, 1.0e-5f);

    for (float p : { 0.0f, 0.5f, 1.0f })
        for (float d : { -1.0f, 0.0f, 0.6f, 2.0f })
            EXPECT_NEAR (vyrFx::densityFullTransfer (p, 1.0f - p, d, 0.0f), 0.0f, 1.0e-7f);
    EXPECT_FLOAT_EQ (vyrFx::densityFullTransfer (0.3f, 0.6f, 3.0f, 0.4f), vyrFx::densityFullTransfer (0.3f, 0.6f, 1.0f, 0.4f));
    EXPECT_GT (vyrFx::densityFullTransfer (1.0f, 1.0f, 1.0f, 0.3f), vyrFx::densityFullTransfer (0.0f, 0.0f, -1.0f, 0.3f));

    float g = 0, s = 0;
    vyrFx::solveDriveSym (0.5f, std::tanh (2.0f), -0.3f, std::tanh (-1.2f), 1.0f, 0.3f, g, s);
    EXPECT_NEAR (g, 4.0f, 0.05f);
    EXPECT_NEAR (s, 0.0f, 0.01f);
    // A fit through points of an offset curve finds the offset too.
    const float g0 = 10.0f, s0 = 0.2f;
    auto f = [&] (float x) { return std::tanh (g0 * (x + s0)) - std::tanh (g0 * s0); };
    vyrFx::solveDriveSym (-0.1f, f (-0.1f), 0.3f, f (0.3f), 2.0f, 0.0f, g, s);
    EXPECT_NEAR (vyrFx::clipOut (20.0f * std::log10 (g), 100.0f * s, -0.1f), f (-0.1f), 0.02f);
    EXPECT_NEAR (vyrFx::clipOut (20.0f * std::log10 (g), 100.0f * s, 0.3f), f (0.3f), 0.02f);
}

TEST (ModuleGraph, ReadersFollowTheParameters)
{
    auto p = vyrTest::makeProcessor (0);
    auto& t = p->apvts;
    struct DelayCase { int note; float bpm, time, expected; };
    const DelayCase cases[] = { { 0, 120.0f, 0.4f, 0.4f }, { 6, 120.0f, 0.4f, 0.75f }, { 6, 20.0f, 0.4f, 1.5f }, { 1, 300.0f, 0.4f, 0.05f } };
    for (const auto& c : cases)
    {
        vyrTest::setParam (*p, "delay_syncNote", (float) c.note);
        vyrTest::setParam (*p, "delay_bpm", c.bpm);
        vyrTest::setParam (*p, "delay_time", c.time);
        EXPECT_NEAR (delayVisualTimeSec (t), c.expected, 1.0e-5f) << c.note << " " << c.bpm;
    }

    vyrTest::setParam (*p, "compressor_threshold", -30.0f);
    vyrTest::setParam (*p, "compressor_ratio", 8.0f);
    vyrTest::setParam (*p, "compressor_mix", 50.0f);
    vyrTest::setParam (*p, "compressor_character", 2.0f);
    const auto c = compressorUi (*p);
    EXPECT_FLOAT_EQ (c.threshold, -30.0f);
    EXPECT_FLOAT_EQ (c.ratio, 8.0f);
    EXPECT_FLOAT_EQ (c.mix, 0.5f);
    EXPECT_EQ (c.character, 2);
    EXPECT_FLOAT_EQ (c.envelopeDb, -80.0f);

    vyrTest::setParam (*p, "clip_tone", 1234.0f);
    vyrTest::setParam (*p, "clip_clipFilterType", 1.0f);
    const auto s = clipToneFrom (t);
    EXPECT_FLOAT_EQ (s.tone, 1234.0f);
    EXPECT_EQ (s.filterType, 1);

    vyrTest::setParam (*p, "reverb_predelay", 100.0f);
    vyrTest::setParam (*p, "reverb_decay", 7.8f);
    const auto u = reverbUi (*p);
    EXPECT_FLOAT_EQ (u.predelay, 100.0f);
    EXPECT_FLOAT_EQ (u.decay, 7.8f);
}

TEST (ModuleGraph, GraphRectangles)
{
    EXPECT_EQ (fxGraphRect ({ 10, 20, 600, 200 }, 64), FRect (26, 84, 568, 140));
    EXPECT_EQ (fxGraphRect ({ 0, 0, 800, 600 }, 36), FRect (16, 36, 768, 456));
    EXPECT_EQ (satPlotRect ({ 0, 0, 800, 600 }), FRect (16, 68, 320, 320));
    EXPECT_EQ (satPlotRect ({ 0, 0, 500, 300 }), FRect (16, 68, 0.46f * 468.0f, 0.46f * 468.0f));
    const auto cp = makeClipPlot ({ 0, 0, 800, 500 });
    EXPECT_EQ (cp.frame, FRect (16, 36, 768, 356));
    EXPECT_EQ (cp.plot, FRect (24, 54, 752, 320));

    const auto P = compPlotIn ({ 0, 0, 900, 520 });
    const auto G = fxGraphRect ({ 0, 0, 900, 520 }, 64);
    EXPECT_FLOAT_EQ (P.x, G.getX() + 70.0f);
    EXPECT_FLOAT_EQ (P.w, G.getWidth() - 168.0f);
    EXPECT_FLOAT_EQ (P.h, 520.0f - 224.0f);
    EXPECT_FLOAT_EQ (P.levelAtX (P.xOf (-18.0f)), -18.0f);
    EXPECT_FLOAT_EQ (P.levelAtX (P.x + P.w + 40.0f), 0.0f);
    const auto narrow = compPlotIn ({ 0, 0, 60, 100 });
    EXPECT_EQ (narrow.w, 0.0f);
    EXPECT_EQ (narrow.h, 88.0f);

    for (auto [thr, expected] : { std::pair { -30.0f, -6.0f }, { -15.0f, -3.0f }, { -12.0f, 0.0f }, { -2.0f, 0.0f } })
        EXPECT_FLOAT_EQ (compRatioHandleInput (thr), expected);

    EXPECT_EQ (reverbScreenRect ({ 0, 0, 700, 500 }), IRect (16, 36, 668, 230));
    EXPECT_EQ (reverbScreenRect ({ 0, 0, 700, 200 }).getHeight(), 0);
    // The reverb handles are found on the screen the rack unit paints.
    for (auto R : { IRect (0, 0, 700, 500), IRect (30, 136, 855, 470), IRect (0, 0, 300, 240) })
        EXPECT_EQ (reverbScreenRect (R), makeTcLayout (R, 4, false).screen);
}

TEST (ModuleGraph, DensityLayoutTables)
{
    const auto a = makeDensLayout ({ 0, 0, 500, 300 });
    EXPECT_EQ (a.tubeColumn, FRect (0, 0, 148, 150));
    EXPECT_EQ (a.engineView, FRect (154, 0, 164, 150));
    EXPECT_EQ (a.controlColumn, FRect (324, 0, 176, 150));
    EXPECT_EQ (a.bottomStrip, FRect (0, 158, 500, 142));
    EXPECT_EQ (a.vuButton, IRect (323, 188, 36, 18));
    EXPECT_EQ (a.densityKnob, IRect (84, 173, 96, 112));
    EXPECT_EQ (a.pentodeKnob, IRect (334, 10, 74, 72));
    EXPECT_EQ (a.airPlot, FRect (334, 140, 156, 0));

    const auto b = makeDensLayout ({ 0, 0, 800, 420 });
    EXPECT_EQ (b.transferPlot, FRect (11, 322, 80, 54));
    EXPECT_EQ (b.inputKnob, IRect (96, 319, 52, 60));
    EXPECT_EQ (b.densityKnob, IRect (153, 293, 106, 112));
    EXPECT_EQ (b.calibrationRow, IRect (263, 339, 90, 20));
    EXPECT_EQ (b.mixKnob, IRect (357, 293, 98, 112));
    EXPECT_EQ (b.inOutButton, IRect (459, 324, 70, 22));
    EXPECT_EQ (b.altTubeButton, IRect (459, 352, 70, 22));
    EXPECT_EQ (b.satFreqRow, IRect (12, 40, 124, 28));
    EXPECT_EQ (b.saturationKnob, IRect (21, 113, 106, 112));
    EXPECT_EQ (b.airButton, IRect (636, 114, 44, 28));
    EXPECT_EQ (b.airAmountKnob, IRect (709, 98, 54, 60));
    EXPECT_EQ (b.outputKnob, IRect (685, 198, 54, 60));

    // A tiny area gives empty rectangles, never negative sizes.
    const auto c = makeDensLayout ({ 5, 5, 10, 10 });
    for (auto r : { c.tubeColumn, c.engineView, c.controlColumn, c.bottomStrip, c.meterScale, c.airPlot })
    {
        EXPECT_GE (r.getWidth(), 0.0f);
        EXPECT_GE (r.getHeight(), 0.0f);
    }
}

//==============================================================================
// The drawn curves against what the engines do to a signal.

TEST (ModuleGraph, DrawnCompressorCurveIsTheEnginesStaticCurve)
{
    auto p = vyrTest::makeProcessor (0);
    const float sr = 48000.0f;
    for (int character = 0; character < 5; ++character)
    {
        vyrTest::setParam (*p, "compressor_character", (float) character);
        vyrTest::setParam (*p, "compressor_threshold", -24.0f);
        vyrTest::setParam (*p, "compressor_ratio", 6.0f);
        vyrTest::setParam (*p, "compressor_knee", 12.0f);
        vyrTest::setParam (*p, "compressor_makeup", 0.0f);
        const auto drawn = compressorUi (*p);
        for (float level = -60.0f; level <= 0.0f; level += 6.0f)
        {
            VyrCompressor engine = compressorUi (*p);
            engine.enabled = true;
            engine.mix = 1.0f;
            engine.prepare (sr, 512);
            juce::AudioBuffer<float> b (2, 512);
            const float amp = std::pow (10.0f, level / 20.0f);
            for (int block = 0; block < 200; ++block)
            {
                for (int ch = 0; ch < 2; ++ch)
                    juce::FloatVectorOperations::fill (b.getWritePointer (ch), amp, 512);
                engine.process (b);
            }
            const double measured = dbOf (b.getSample (0, 511)) - level;
            EXPECT_NEAR (measured, -drawn.computeGr (level), 0.5) << "character " << character << " at " << level << " dB";
        }
    }
}

TEST (ModuleGraph, DrawnSaturationCurveIsTheEnginesStaticCurve)
{
    for (int mode = 0; mode < 5; ++mode)
        for (float drive : { 0.0f, 0.5f, 1.0f })
        {
            VyrSaturation engine;
            engine.enabled = true;
            engine.mode = mode;
            engine.drive = drive;
            engine.mix = 1.0f;
            engine.output = 1.0f;
            engine.prepare (48000.0, 256);
            juce::AudioBuffer<float> b (1, 256);
            for (int m = 0; m <= 140; m += 5)
            {
                const float x = -1.0f + 2.0f * (float) m / 140.0f;
                for (int block = 0; block < 12; ++block)
                {
                    juce::FloatVectorOperations::fill (b.getWritePointer (0), x, 256);
                    engine.process (b);
                }
                const float drawn = vyrFx::satTransfer (mode, drive, x);
                if (std::abs (drawn) > 1.0e-3f)
                    EXPECT_NEAR (dbOf (b.getSample (0, 255)), dbOf (drawn), 0.5) << mode << " " << drive << " " << x;
                EXPECT_EQ (std::signbit (b.getSample (0, 255)), std::signbit (drawn)) << mode << " " << x;
            }
        }
}

TEST (ModuleGraph, DrawnClipperCurveIsTheEnginesStaticCurve)
{
    // A slow sine through the open filters: each peak of the output is the curve at the input's peak.
    // Where the clipper is driven flat the band limit after it rings above the flat top, so the hard
    // clipped cases are held only where the curve still bends (drive gain times input up to 2).
    const double sr = 96000.0;
    for (float drive : { 0.0f, 6.0f, 18.0f })
        for (float amp : { 0.05f, 0.1f, 0.2f, 0.5f, 0.8f, 1.0f })
        {
            if (std::pow (10.0f, drive / 20.0f) * amp > 2.0f)
                continue;
            VyrClipper engine;
            engine.enabled = true;
            engine.drive = drive;
            engine.mix = 1.0f;
            engine.clipFilterType = VyrClipper::highPassType;
            engine.clipFilterFreq = 20.0f;
            engine.tone = 20.0f;
            engine.highShelfGain = 0.0f;
            engine.lpFilterFreq = 20000.0f;
            engine.prepare (sr, 4800);
            juce::AudioBuffer<float> b (1, 4800);
            double peak = 0.0;
            for (int block = 0; block < 20; ++block)
            {
                vyrTestSignals::fillSine (b, 0, 250.0, sr, amp, block * 4800 * juce::MathConstants<double>::twoPi * 250.0 / sr);
                engine.process (b);
                if (block >= 10)
                    peak = std::max (peak, vyrTestSignals::peakOf (b, 0));
            }
            EXPECT_NEAR (dbOf (peak), dbOf (vyrFx::clipOut (drive, 0.0f, amp)), 0.5) << drive << " dB at " << amp;
        }
}
