// Dragging on the FX chain page's module pictures with real mouse events, and what the drags do to
// the parameters, the gestures and the sound.
#include "GuiTestUtil.h"
#include "TestSignals.h"
#include "Ui/Foundation/HardwareArt.h"
#include "Ui/FxChain/FxPainting.h"
#include "Ui/FxChain/StudioComponent.h"
#include "Ui/FxChain/VyrModuleGraphModel.h"

using namespace vyrGui;

namespace
{
struct HostedPage
{
    std::unique_ptr<VyrAudioProcessor> proc;
    std::unique_ptr<StudioComponent> page;

    explicit HostedPage (int product)
    {
        proc = makeProcessor (product);
        page = std::make_unique<StudioComponent> (*proc);
        page->setSize (1000, 640);
    }
    float param (const char* id) { return paramValue (*proc, id); }
};

// RMS in dB of the processor's output for a -12 dBFS sine of the given frequency, after a second.
double outputRmsDb (VyrAudioProcessor& p, double hz = 1000.0)
{
    vyrTest::prepare (p, 48000.0, 512);
    juce::AudioBuffer<float> b (2, 512);
    juce::MidiBuffer midi;
    double sum = 0.0;
    int n = 0;
    for (int block = 0; block < 120; ++block)
    {
        for (int ch = 0; ch < 2; ++ch)
            vyrTestSignals::fillSine (b, ch, hz, 48000.0, 0.25f, block * 512 * juce::MathConstants<double>::twoPi * hz / 48000.0);
        p.processBlock (b, midi);
        if (block >= 90)
            for (int i = 0; i < 512; ++i, ++n)
                sum += (double) b.getSample (0, i) * b.getSample (0, i);
    }
    return 10.0 * std::log10 (sum / n + 1.0e-30);
}
} // namespace

TEST (FxGraphEditing, CompressorRatioAndThresholdHandles)
{
    HostedPage h (1);
    vyrTest::setParam (*h.proc, "compressor_enabled", 1.0f);
    const double before = outputRmsDb (*h.proc);
    Desk desk (*h.page);
    GestureCounter gestures (*h.proc);
    const auto P = compPlotIn (h.page->moduleRect());
    auto K = compressorUi (*h.proc);

    // The ratio handle dragged down to the threshold's output level: 20:1.
    const float in = compRatioHandleInput (K.threshold);
    const juce::Point<float> handle (P.xOf (in), P.yOf (in - K.computeGr (in)));
    EXPECT_EQ (h.page->hitFxGraph (handle), VyrGraphHit::compRatio);
    desk.move (handle);
    desk.press (handle);
    desk.drag ({ handle.x, P.yOf (K.threshold) + 2.0f });
    desk.release ({ handle.x, P.yOf (K.threshold) + 2.0f });
    EXPECT_FLOAT_EQ (h.param ("compressor_ratio"), 20.0f);
    EXPECT_EQ (gestures.begins ("compressor_ratio"), 1);
    EXPECT_EQ (gestures.ends ("compressor_ratio"), 1);

    // Less than 3 dB above the threshold the curve is not a handle.
    EXPECT_EQ (h.page->hitFxGraph ({ P.xOf (K.threshold + 1.5f) + 9.0f, P.yOf (K.threshold + 1.5f) }), VyrGraphHit::none);

    // The threshold dragged down to -40 dB squeezes the signal harder, then past the right edge: 0 dB.
    const juce::Point<float> thr (P.xOf (K.threshold), P.y + P.h / 2);
    EXPECT_EQ (h.page->hitFxGraph (thr), VyrGraphHit::compThreshold);
    desk.move (thr);
    desk.press (thr);
    desk.drag ({ P.xOf (-40.0f), thr.y });
    desk.release ({ P.xOf (-40.0f), thr.y });
    EXPECT_NEAR (h.param ("compressor_threshold"), -40.0f, 0.11f);
    const double squeezed = outputRmsDb (*h.proc);
    EXPECT_LT (squeezed, before - 6.0);

    const juce::Point<float> thr2 (P.xOf (h.param ("compressor_threshold")), thr.y);
    desk.move (thr2);
    desk.press (thr2);
    desk.drag ({ P.x + P.w + 60.0f, thr.y });
    desk.release ({ P.x + P.w + 60.0f, thr.y });
    EXPECT_FLOAT_EQ (h.param ("compressor_threshold"), 0.0f);
    EXPECT_EQ (gestures.begins ("compressor_threshold"), 2);
    EXPECT_EQ (gestures.ends ("compressor_threshold"), 2);
    EXPECT_GT (outputRmsDb (*h.proc), squeezed + 6.0);
}

TEST (FxGraphEditing, ClipToneAndShelfDragsAreRelative)
{
    HostedPage h (5);
    Desk desk (*h.page);
    h.page->clipView = 1;
    const auto P = makeClipPlot (h.page->moduleRect()).plot;
    auto toneHandle = [&] {
        const auto S = clipToneFrom (h.proc->apvts);
        return juce::Point<float> (clipFreqX (P, S.tone), clipDbY (P, vyrFx::clipFilterDbAt (S, S.tone)));
    };
    struct Case { float dx, expected; };
    for (auto c : { Case { 0.0f, 170.0f }, Case { 100.0f, 1700.0f }, Case { 300.0f, 20000.0f } })
    {
        vyrTest::setParam (*h.proc, "clip_tone", 170.0f);
        const auto p = toneHandle();
        ASSERT_EQ (h.page->hitFxGraph (p), VyrGraphHit::clipTone);
        desk.move (p);
        desk.press (p);
        desk.drag ({ p.x + c.dx, p.y });
        desk.release ({ p.x + c.dx, p.y });
        EXPECT_FLOAT_EQ (h.param ("clip_tone"), c.expected) << c.dx;
    }

    const auto S = clipToneFrom (h.proc->apvts);
    const juce::Point<float> shelf (clipFreqX (P, S.highShelfFreq), clipDbY (P, vyrFx::clipFilterDbAt (S, S.highShelfFreq)));
    ASSERT_EQ (h.page->hitFxGraph (shelf), VyrGraphHit::clipShelf);
    desk.move (shelf);
    desk.press (shelf);
    desk.drag ({ shelf.x, shelf.y - 29.0f });
    desk.release ({ shelf.x, shelf.y - 29.0f });
    EXPECT_NEAR (h.param ("clip_highShelfGain"), 15.0f, 0.05f);
    EXPECT_NEAR (h.param ("clip_highShelfFreq"), S.highShelfFreq, 1.0f);
}

TEST (FxGraphEditing, ReverbMixAndDecayHandles)
{
    HostedPage h (8);
    Desk desk (*h.page);
    const auto screen = makeTcLayout (h.page->moduleRect(), 4, false).screen;
    auto field = [&] { return reverbFieldIn (screen, reverbUi (*h.proc)); };
    GestureCounter gestures (*h.proc);

    auto F = field();
    ASSERT_EQ (h.page->hitFxGraph (F.mix), VyrGraphHit::reverbMix);
    desk.move (F.mix);
    desk.press (F.mix);
    desk.drag ({ F.mix.x, F.fb - 0.9f * F.fh });
    desk.release ({ F.mix.x, F.fb - 0.9f * F.fh });
    EXPECT_FLOAT_EQ (h.param ("reverb_mix"), 1.0f);

    F = field();
    const float decayBefore = h.param ("reverb_decay");
    ASSERT_EQ (h.page->hitFxGraph (F.decay), VyrGraphHit::reverbDecay);
    desk.move (F.decay);
    desk.press (F.decay);
    desk.drag ({ F.decay.x, F.fb - 0.71f * F.fh });
    desk.release ({ F.decay.x, F.fb - 0.71f * F.fh });
    EXPECT_GT (h.param ("reverb_decay"), decayBefore + 5.0f);
    EXPECT_EQ (gestures.begins ("reverb_decay"), 1);
    EXPECT_EQ (gestures.begins ("reverb_size"), 1);
    EXPECT_EQ (gestures.ends ("reverb_size"), 1);
}

TEST (FxGraphEditing, TimerCopiesLinkedGainsAndFollowsThePower)
{
    HostedPage h (1);
    Desk desk (*h.page);
    vyrTest::setParam (*h.proc, "linkLR", 1.0f);
    h.page->tick();
    GestureCounter gestures (*h.proc);
    for (auto [diff, copied] : { std::pair { 0.04f, false }, std::pair { 0.06f, true } })
    {
        vyrTest::setParam (*h.proc, "inputGainL", 3.0f);
        auto* r = h.proc->apvts.getParameter ("inputGainR");
        r->setValueNotifyingHost (r->convertTo0to1 (3.0f + diff));
        const float before = h.param ("inputGainR");
        h.page->tick();
        EXPECT_NEAR (h.param ("inputGainR"), copied ? 3.0f : before, 1.0e-4f) << diff;
    }
    EXPECT_EQ (gestures.begins ("inputGainR"), 0);

    vyrTest::setParam (*h.proc, "compressor_enabled", 1.0f);
    h.page->tick();
    EXPECT_EQ (h.page->powerButton.getButtonText(), "ON");
    vyrTest::setParam (*h.proc, "compressor_enabled", 0.0f);
    h.page->tick();
    EXPECT_EQ (h.page->powerButton.getButtonText(), "OFF");
}

namespace
{
// Second and third harmonics together relative to the fundamental (dB) of the output for a -6 dBFS
// 500 Hz sine (the processor prepared at 48 kHz).
double harmonicsDb (VyrAudioProcessor& p)
{
    const double sr = 48000.0, hz = 500.0;
    juce::AudioBuffer<float> b (2, 480), tail (1, 4800);
    juce::MidiBuffer midi;
    for (int block = 0; block < 60; ++block)
    {
        for (int ch = 0; ch < 2; ++ch)
            vyrTestSignals::fillSine (b, ch, hz, sr, 0.5f, block * 480 * juce::MathConstants<double>::twoPi * hz / sr);
        p.processBlock (b, midi);
        if (block >= 50)
            tail.copyFrom (0, (block - 50) * 480, b, 0, 0, 480);
    }
    const float* x = tail.getReadPointer (0);
    const double h2 = vyrTestSignals::amplitudeAt (x, 0, 4800, 2.0 * hz, sr), h3 = vyrTestSignals::amplitudeAt (x, 0, 4800, 3.0 * hz, sr);
    return vyrTestSignals::toDb (std::sqrt (h2 * h2 + h3 * h3) / vyrTestSignals::amplitudeAt (x, 0, 4800, hz, sr));
}

// RMS (dB) of the reverb's tail between 0.8 s and 1.2 s after a short burst (the processor prepared
// at 48 kHz, the reverb's own tail of earlier bursts having died away).
double tailDb (VyrAudioProcessor& p)
{
    juce::AudioBuffer<float> b (2, 480);
    juce::MidiBuffer midi;
    double sum = 0.0;
    for (int block = 0; block < 130; ++block)
    {
        b.clear();
        if (block == 0)
            vyrTestSignals::fillNoiseAllChannels (b, 7, 0.5f);
        p.processBlock (b, midi);
        if (block >= 90)
            for (int i = 0; i < 480; ++i)
                sum += (double) b.getSample (0, i) * b.getSample (0, i);
    }
    return 10.0 * std::log10 (sum / (40 * 480) + 1.0e-30);
}
} // namespace

TEST (FxGraphEditing, DraggedClipCurveAndReverbDecayAreHeard)
{
    {
        HostedPage h (5);
        vyrTest::setParam (*h.proc, "clip_enabled", 1.0f);
        vyrTest::setParam (*h.proc, "clip_mix", 1.0f);
        vyrTest::prepare (*h.proc, 48000.0, 480);
        const double before = harmonicsDb (*h.proc);
        Desk desk (*h.page);
        const auto P = makeClipPlot (h.page->moduleRect()).plot;
        const juce::Point<float> b (clipInX (P, 0.5f), clipOutY (P, vyrFx::clipOut (h.param ("clip_drive"), 0.0f, 0.5f)));
        ASSERT_EQ (h.page->hitFxGraph (b), VyrGraphHit::clipHandleB);
        desk.move (b);
        desk.press (b);
        desk.drag ({ b.x, clipOutY (P, 0.95f) });
        desk.release ({ b.x, clipOutY (P, 0.95f) });
        EXPECT_GT (h.param ("clip_drive"), 6.0f);
        // The other handle stays where it was.
        EXPECT_FLOAT_EQ (h.page->clipHandleX[0], -0.5f);
        EXPECT_GT (harmonicsDb (*h.proc), before + 10.0) << h.param ("clip_drive") << " " << h.param ("clip_symmetry");
    }
    {
        HostedPage h (8);
        vyrTest::setParam (*h.proc, "reverb_enabled", 1.0f);
        vyrTest::setParam (*h.proc, "reverb_decay", 0.6f);
        vyrTest::prepare (*h.proc, 48000.0, 480);
        const double shortTail = tailDb (*h.proc);
        Desk desk (*h.page);
        const auto F = reverbFieldIn (makeTcLayout (h.page->moduleRect(), 4, false).screen, reverbUi (*h.proc));
        ASSERT_EQ (h.page->hitFxGraph (F.decay), VyrGraphHit::reverbDecay);
        desk.move (F.decay);
        desk.press (F.decay);
        desk.drag ({ F.decay.x, F.fb - 0.71f * F.fh });
        desk.release ({ F.decay.x, F.fb - 0.71f * F.fh });
        EXPECT_GT (h.param ("reverb_decay"), 10.0f);
        EXPECT_GT (tailDb (*h.proc), shortTail + 20.0);
    }
}

TEST (FxGraphEditing, HoverFollowsThePointerOnlyWhileIdle)
{
    HostedPage h (5);
    Desk desk (*h.page);
    const auto P = makeClipPlot (h.page->moduleRect()).plot;
    const juce::Point<float> a (clipInX (P, -0.5f), clipOutY (P, vyrFx::clipOut (0.0f, 0.0f, -0.5f)));
    desk.move (a);
    EXPECT_EQ (h.page->hoverHit, VyrGraphHit::clipHandleA);
    EXPECT_EQ (h.page->getMouseCursor(), juce::MouseCursor (juce::MouseCursor::DraggingHandCursor));

    // During a drag the highlight stays on the dragged handle, even outside the page.
    desk.press (a);
    desk.drag ({ a.x + 200.0f, a.y });
    desk.drag ({ -500.0f, -500.0f });
    EXPECT_EQ (h.page->hoverHit, VyrGraphHit::clipHandleA);
    EXPECT_EQ (h.page->dragHit, VyrGraphHit::clipHandleA);
    desk.release ({ -500.0f, -500.0f });
    EXPECT_EQ (h.page->dragHit, VyrGraphHit::none);

    // In the macro view and in the chain overview nothing is a handle.
    h.page->clipView = 2;
    EXPECT_EQ (h.page->hitFxGraph (a), VyrGraphHit::none);
    h.page->clipView = 0;
    h.page->panelMode = true;
    EXPECT_EQ (h.page->hitFxGraph (a), VyrGraphHit::none);
}
