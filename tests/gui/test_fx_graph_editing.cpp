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
