// Dragging on the module pictures: the compressor's threshold and ratio, the clipper's curve and filter
// corners, the reverb field and EQ. A drag opens one change gesture per parameter it writes at
// mouse-down and closes them at mouse-up; hovering only changes the cursor and the highlight.
#include "Ui/FxChain/StudioComponent.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/HardwareArt.h"
#include "Ui/FxChain/FxPainting.h"
#include "Ui/FxChain/VyrModuleGraphModel.h"

#include <cmath>

using Hit = VyrGraphHit;
using juce::Point;

namespace
{
float toTenth (float v) { return std::round (v * 10.0f) / 10.0f; }
float toInt (float v) { return std::round (v); }

juce::MouseCursor cursorFor (Hit h)
{
    switch (h)
    {
        case Hit::clipTone: case Hit::clipLowPass: case Hit::reverbPredelay: case Hit::reverbLowCut: case Hit::reverbDamping:
        case Hit::compThreshold:
            return juce::MouseCursor::LeftRightResizeCursor;
        case Hit::reverbMix: return juce::MouseCursor::UpDownResizeCursor;
        case Hit::compRatio: return juce::MouseCursor::TopRightCornerResizeCursor;
        case Hit::none: return juce::MouseCursor::NormalCursor;
        default: return juce::MouseCursor::DraggingHandCursor;
    }
}

// The nearest of the candidates within 16 px; a later candidate must be strictly nearer.
Hit nearest (Point<float> p, std::initializer_list<std::pair<Hit, Point<float>>> candidates)
{
    Hit best = Hit::none;
    float bestD = 16.0f;
    bool any = false;
    for (const auto& [h, q] : candidates)
    {
        const float d = p.getDistanceFrom (q);
        if (d <= 16.0f && (! any || d < bestD))
        {
            best = h;
            bestD = d;
            any = true;
        }
    }
    return best;
}
} // namespace

void StudioComponent::setGraphParam (const juce::String& id, float value)
{
    if (auto* p = processor.apvts.getParameter (id))
        p->setValueNotifyingHost (p->convertTo0to1 (value));
}

VyrGraphHit StudioComponent::hitFxGraph (Point<float> p) const
{
    if (panelMode)
        return Hit::none;
    const auto key = moduleId();
    const auto R = moduleRect();
    const auto& t = processor.apvts;
    if (key == "clip")
    {
        if (clipView == 2)
            return Hit::none;
        const auto P = makeClipPlot (R).plot;
        const float drive = graphParam (t, "clip_drive", 0), sym = graphParam (t, "clip_symmetry", 0);
        const auto S = clipToneFrom (t);
        auto onCurve = [&] (float x) { return Point<float> (clipInX (P, x), clipOutY (P, vyrFx::clipOut (drive, sym, x))); };
        auto onTone = [&] (float f) { return Point<float> (clipFreqX (P, f), clipDbY (P, vyrFx::clipFilterDbAt (S, f))); };
        const std::pair<Hit, Point<float>> a { Hit::clipHandleA, onCurve (clipHandleX[0]) }, b { Hit::clipHandleB, onCurve (clipHandleX[1]) },
            tone { Hit::clipTone, onTone (S.tone) }, shelf { Hit::clipShelf, onTone (S.highShelfFreq) }, lp { Hit::clipLowPass, onTone (S.lpFilterFreq) };
        return clipView == 1 ? nearest (p, { tone, shelf, lp, a, b }) : nearest (p, { a, b, tone, shelf, lp });
    }
    if (key == "reverb")
    {
        const auto U = reverbUi (processor);
        const auto screen = makeTcLayout (R, 4, false).screen;
        if (reverbView != 0)
        {
            const auto E = HardwareArt::makeReverbEqGeom (screen.toFloat(), U.lowCut, U.hiFactor, U.highShelfFreq, U.highShelfGain);
            return nearest (p, { { Hit::reverbLowCut, E.lowCutHandle }, { Hit::reverbDamping, E.dampingHandle }, { Hit::reverbShelf, E.shelfHandle } });
        }
        const auto F = reverbFieldIn (screen, U);
        return nearest (p, { { Hit::reverbMix, F.mix }, { Hit::reverbPredelay, F.predelay }, { Hit::reverbDecay, F.decay } });
    }
    if (key == "compressor")
    {
        const auto P = compPlotIn (R);
        const auto K = compressorUi (processor);
        if (p.y >= P.y - 4 && p.y <= P.y + P.h + 4 && std::abs (p.x - P.xOf (K.threshold)) <= 7.0f)
            return Hit::compThreshold;
        const float in = compRatioHandleInput (K.threshold);
        if (p.getDistanceFrom ({ P.xOf (in), P.yOf (in - K.computeGr (in)) }) <= 14.0f)
            return Hit::compRatio;
        float best = 1.0e9f;
        for (int i = 0; i <= 180; ++i)
        {
            const float level = -60.0f + 60.0f * (float) i / 180.0f;
            if (level >= K.threshold + 3.0f)
                best = juce::jmin (best, p.getDistanceFrom ({ P.xOf (level), P.yOf (level - K.computeGr (level)) }));
        }
        return best <= 8.0f ? Hit::compRatio : Hit::none;
    }
    return Hit::none;
}

void StudioComponent::updateGraphCursor (VyrGraphHit h)
{
    if (h != hoverHit)
        repaint();
    hoverHit = h;
    setMouseCursor (cursorFor (h));
}

void StudioComponent::beginGraphParams (const char* const* ids, int count)
{
    gestureParams.clear();
    for (int i = 0; i < count; ++i)
        if (auto* p = processor.apvts.getParameter (ids[i]))
        {
            p->beginChangeGesture();
            gestureParams.add (ids[i]);
        }
}

void StudioComponent::applyFxGraphDrag (Point<float> p)
{
    const auto key = moduleId();
    const auto R = moduleRect();
    const auto& t = processor.apvts;
    if (key == "compressor")
    {
        const auto P = compPlotIn (R);
        if (dragHit == Hit::compThreshold)
            setGraphParam ("compressor_threshold", toTenth (P.levelAtX (p.x)));
        else if (dragHit == Hit::compRatio)
        {
            const float thr = graphParam (t, "compressor_threshold", -18.0f);
            const float rise = P.levelAtY (p.y) - thr;
            const float ratio = rise <= 0.05f ? 20.0f : (juce::jmax (P.levelAtX (p.x), thr + 8.0f) - thr) / rise;
            setGraphParam ("compressor_ratio", juce::jlimit (1.0f, 20.0f, toTenth (ratio)));
        }
    }
    else if (key == "clip")
    {
        const auto P = makeClipPlot (R).plot;
        const float midY = P.getCentreY();
        if (dragHit == Hit::clipHandleA || dragHit == Hit::clipHandleB)
        {
            const int self = dragHit == Hit::clipHandleA ? 0 : 1;
            const float drive = graphParam (t, "clip_drive", 0), sym = graphParam (t, "clip_symmetry", 0);
            const float x1 = juce::jlimit (-0.95f, 0.95f, 2.0f * (p.x - P.getX()) / juce::jmax (P.getWidth(), 1.0f) - 1.0f);
            const float y1 = juce::jlimit (-0.98f, 0.98f, (midY - p.y) / juce::jmax (0.42f * P.getHeight(), 1.0f));
            float x2 = clipHandleX[1 - self];
            const float y2 = juce::jlimit (-0.98f, 0.98f, vyrFx::clipOut (drive, sym, x2));
            if (std::abs (x1 - x2) < 0.08f)
                x2 = juce::jlimit (-0.95f, 0.95f, x2 >= x1 ? x1 + 0.08f : x1 - 0.08f);
            float g = 1, s = 0;
            vyrFx::solveDriveSym (x1, y1, x2, y2, std::pow (10.0f, juce::jmax (drive, 0.0f) / 20.0f), juce::jlimit (-1.0f, 1.0f, sym / 100.0f), g, s);
            float newDrive = juce::jlimit (0.0f, 50.0f, toTenth (20.0f * std::log10 (g)));
            const float newSym = juce::jlimit (-100.0f, 100.0f, toInt (100.0f * s));
            if (std::abs (vyrFx::clipOut (newDrive, newSym, x1) - y1) > 0.16f)
                newDrive = juce::jlimit (0.0f, 50.0f, toTenth (20.0f * std::log10 (juce::jmax (
                    std::abs (std::atanh (juce::jlimit (-0.99f, 0.99f, y1))) / juce::jmax (std::abs (x1), 0.12f), 1.0f))));
            clipHandleX[self] = x1;
            setGraphParam ("clip_drive", newDrive);
            setGraphParam ("clip_symmetry", newSym);
        }
        else if (dragHit == Hit::clipTone || dragHit == Hit::clipLowPass)
        {
            const float start = dragHit == Hit::clipTone ? dragStartTone[0] : dragStartTone[3];
            setGraphParam (dragHit == Hit::clipTone ? "clip_tone" : "clip_lpFilterFreq",
                           toInt (juce::jlimit (20.0f, 20000.0f, start * std::pow (10.0f, (p.x - dragStart.x) / 100.0f))));
        }
        else if (dragHit == Hit::clipShelf)
        {
            setGraphParam ("clip_highShelfGain", toTenth (juce::jlimit (-24.0f, 24.0f, dragStartTone[2] + (dragStart.y - p.y) * 15.0f / 29.0f)));
            setGraphParam ("clip_highShelfFreq", toInt (juce::jlimit (20.0f, 20000.0f, dragStartTone[1] * std::pow (10.0f, (p.x - dragStart.x) / 100.0f))));
        }
    }
    else if (key == "reverb")
    {
        const auto U = reverbUi (processor);
        const auto screen = makeTcLayout (R, 4, false).screen;
        const auto F = reverbFieldIn (screen, U);
        if (dragHit == Hit::reverbMix)
        {
            const float u = juce::jlimit (0.0f, 0.82f * F.fh, F.fb - p.y);
            setGraphParam ("reverb_mix", juce::jlimit (0.0f, 1.0f, (u / juce::jmax (0.82f * F.fh, 1.0f) - 0.7f) / 0.3f));
        }
        else if (dragHit == Hit::reverbPredelay)
            setGraphParam ("reverb_predelay", toInt (juce::jlimit (0.0f, 200.0f, (p.x - F.fx - 8.0f) / 44.0f * 200.0f)));
        else if (dragHit == Hit::reverbDecay)
        {
            const float tt = juce::jmax (F.fb - p.y, 1.0f);
            const float dn = juce::jlimit (0.0f, 1.0f, 2.0f * (tt / juce::jmax (0.72f * F.fh * (1.0f + 0.12f * U.radicalness), 1.0f) - 0.6f));
            const float size = juce::jlimit (0.0f, 1.0f, (juce::jmax (p.x - F.px, 1.0f) / juce::jmax (F.fw, 1.0f) - 0.1f - 0.04f * U.radicalness) / 0.14f);
            setGraphParam ("reverb_size", size);
            setGraphParam ("reverb_decay", juce::jlimit (0.3f, 15.0f, toTenth (0.5f + 14.5f * dn)));
        }
        else if (dragHit == Hit::reverbLowCut || dragHit == Hit::reverbDamping || dragHit == Hit::reverbShelf)
        {
            const auto plot = HardwareArt::makeReverbEqGeom (screen.toFloat(), U.lowCut, U.hiFactor, U.highShelfFreq, U.highShelfGain).plot;
            const float f = 20.0f * std::pow (1000.0f, juce::jlimit (0.0f, 1.0f, (p.x - plot.getX()) / juce::jmax (plot.getWidth(), 1.0f)));
            if (dragHit == Hit::reverbLowCut)
                setGraphParam ("reverb_lowCut", toInt (juce::jlimit (20.0f, 1000.0f, f)));
            else if (dragHit == Hit::reverbDamping)
                setGraphParam ("reverb_hiFactor", f > 20000.0f ? 1.0f : (f < 500.0f ? 0.0f : (f - 500.0f) / 19500.0f));
            else
            {
                setGraphParam ("reverb_highShelfFreq", toInt (juce::jlimit (1000.0f, 16000.0f, f)));
                setGraphParam ("reverb_highShelfGain",
                               juce::jlimit (-12.0f, 12.0f, toTenth (12.0f - 36.0f * (p.y - plot.getY()) / juce::jmax (plot.getHeight(), 1.0f))));
            }
        }
    }
}

void StudioComponent::mouseDown (const juce::MouseEvent& e)
{
    const auto h = hitFxGraph (e.position);
    if (h == Hit::none)
        return;
    dragHit = h;
    dragStart = e.position;
    const auto& t = processor.apvts;
    dragStartTone[0] = graphParam (t, "clip_tone", 170.0f);
    dragStartTone[1] = graphParam (t, "clip_highShelfFreq", 980.0f);
    dragStartTone[2] = graphParam (t, "clip_highShelfGain", 0.0f);
    dragStartTone[3] = graphParam (t, "clip_lpFilterFreq", 6600.0f);
    updateGraphCursor (h);

    static const char* const clipCurve[] = { "clip_drive", "clip_symmetry" };
    static const char* const clipShelf[] = { "clip_highShelfFreq", "clip_highShelfGain" };
    static const char* const revDecay[] = { "reverb_decay", "reverb_size" };
    static const char* const revShelf[] = { "reverb_highShelfFreq", "reverb_highShelfGain" };
    auto one = [this] (const char* id) { beginGraphParams (&id, 1); };
    switch (h)
    {
        case Hit::clipHandleA: case Hit::clipHandleB: beginGraphParams (clipCurve, 2); break;
        case Hit::clipTone: one ("clip_tone"); break;
        case Hit::clipShelf: beginGraphParams (clipShelf, 2); break;
        case Hit::clipLowPass: one ("clip_lpFilterFreq"); break;
        case Hit::reverbMix: one ("reverb_mix"); break;
        case Hit::reverbPredelay: one ("reverb_predelay"); break;
        case Hit::reverbDecay: beginGraphParams (revDecay, 2); break;
        case Hit::reverbLowCut: one ("reverb_lowCut"); break;
        case Hit::reverbDamping: one ("reverb_hiFactor"); break;
        case Hit::reverbShelf: beginGraphParams (revShelf, 2); break;
        case Hit::compThreshold: one ("compressor_threshold"); break;
        case Hit::compRatio: one ("compressor_ratio"); break;
        case Hit::none: break;
    }
    if (h >= Hit::reverbMix && h <= Hit::reverbShelf)
    {
        reverbType = -1;
        for (auto& b : reverbTypeButtons)
            b.setToggleState (false, juce::dontSendNotification);
    }
    applyFxGraphDrag (e.position);
}

void StudioComponent::mouseDrag (const juce::MouseEvent& e)
{
    if (dragHit == Hit::none)
        return;
    applyFxGraphDrag (e.position);
    repaint();
}

void StudioComponent::mouseUp (const juce::MouseEvent& e)
{
    if (dragHit == Hit::none)
        return;
    for (const auto& id : gestureParams)
        if (auto* p = processor.apvts.getParameter (id))
            p->endChangeGesture();
    gestureParams.clear();
    dragHit = Hit::none;
    updateGraphCursor (hitFxGraph (e.position));
    repaint();
}

void StudioComponent::mouseMove (const juce::MouseEvent& e)
{
    if (dragHit == Hit::none)
        updateGraphCursor (hitFxGraph (e.position));
}

void StudioComponent::mouseExit (const juce::MouseEvent&)
{
    if (dragHit != Hit::none)
        return;
    if (hoverHit != Hit::none)
        repaint();
    hoverHit = Hit::none;
    setMouseCursor (juce::MouseCursor::NormalCursor);
}
