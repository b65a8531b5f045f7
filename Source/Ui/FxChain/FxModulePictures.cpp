#include "Ui/FxChain/FxModulePictures.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/HardwareArt.h"
#include "Ui/FxChain/VyrModuleGraphModel.h"

#include <cmath>

using juce::Colour;
using FRect = juce::Rectangle<float>;

namespace
{
Colour white (juce::uint8 a) { return juce::Colours::white.withAlpha (a); }
Colour black (juce::uint8 a) { return juce::Colours::black.withAlpha (a); }
Colour withAlphaF (Colour c, float a) { return c.withAlpha ((juce::uint8) (a <= 0.0f ? 0 : (a >= 1.0f ? 255 : juce::roundToInt (255.0f * a)))); }
float levelDb (float linear) { return linear > 0.0f && std::isfinite (linear) ? 20.0f * std::log10 (linear) : -100.0f; }

void text (juce::Graphics& g, const juce::String& s, FRect r, Colour c, float size, bool bold, float kerning, juce::Justification j)
{
    g.setColour (c);
    g.setFont (juce::Font (size, bold ? juce::Font::bold : juce::Font::plain).withExtraKerningFactor (kerning));
    g.drawText (s, r, j, true);
}

juce::String choiceName (VyrAudioProcessor& p, const char* id, const juce::String& fallback)
{
    if (auto* c = dynamic_cast<juce::AudioParameterChoice*> (p.apvts.getParameter (id)))
        return c->getCurrentChoiceName();
    return fallback;
}

void strokeCurve (juce::Graphics& g, const juce::Path& path, float width, Colour c)
{
    g.setColour (c);
    g.strokePath (path, juce::PathStrokeType (width, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void dashedLine (juce::Graphics& g, juce::Line<float> line, float on, float off, float width, Colour c)
{
    if (line.getLength() < 0.1f)
        return;
    const float dashes[] = { on, off };
    g.setColour (c);
    g.drawDashedLine (line, dashes, 2, width);
}

void fillUnder (juce::Graphics& g, const juce::Point<float>* pts, int a, int b, float baseline, Colour c)
{
    if (b <= a)
        return;
    juce::Path p;
    p.startNewSubPath (pts[a].x, baseline);
    for (int i = a; i <= b; ++i)
        p.lineTo (pts[i]);
    p.lineTo (pts[b].x, baseline);
    p.closeSubPath();
    g.setColour (c);
    g.fillPath (p);
}

void levelBar (juce::Graphics& g, FRect c, float db, Colour k)
{
    const auto track = vyrFxPictures::meterTrack (c);
    g.setColour (black (0x8c));
    g.fillRoundedRectangle (track, 2.0f);
    const float H = track.getHeight(), h = juce::jmin (H, H * juce::jlimit (0.0f, 1.0f, (db + 60.0f) / 60.0f));
    if (h <= 0.0f)
        return;
    const auto bar = track.withTop (track.getBottom() - h);
    auto light = [] (juce::uint8 v) { return (juce::uint8) (255 - 0.8f * (255 - v)); };
    auto dark = [] (juce::uint8 v) { return (juce::uint8) (v * 0.833333f); };
    const Colour top (light (k.getRed()), light (k.getGreen()), light (k.getBlue()), k.getAlpha());
    const Colour bottom (dark (k.getRed()), dark (k.getGreen()), dark (k.getBlue()), k.getAlpha());
    g.setGradientFill (juce::ColourGradient (top, 0, bar.getY(), bottom, 0, bar.getBottom(), false));
    g.fillRoundedRectangle (bar, 2.0f);
}

void handleDot (juce::Graphics& g, juce::Point<float> p, Colour k, float alpha, float radius, bool hot)
{
    if (hot)
    {
        g.setColour (white (0x8c));
        const float d = 2.0f * (radius + 3.0f);
        g.drawEllipse (p.x - d / 2, p.y - d / 2, d, d, 1.3f);
    }
    const FRect dot (p.x - radius, p.y - radius, 2 * radius, 2 * radius);
    g.setColour (withAlphaF (k, alpha));
    g.fillEllipse (dot);
    g.setColour (withAlphaF (Colour (0xff06210f), alpha));
    g.drawEllipse (dot, 1.2f);
}

// The plot frames stand still while the plots move: they come from kept images.
void paintFrameCached (juce::Graphics& g, FRect r, const juce::String& caption, Colour accent)
{
    HardwareArt::get()->paintLayerCached (g, "plot-frame-" + caption + juce::String::toHexString ((int) accent.getARGB()), r,
                                          [&] (juce::Graphics& gl) { vyrFxPictures::paintPlotFrame (gl, r, caption, accent); });
}

//==============================================================================
void paintCompressor (juce::Graphics& g, VyrAudioProcessor& proc, const VyrPictureState& st)
{
    const auto G = st.graph;
    const float y0 = G.getY(), h0 = G.getHeight();
    const auto geom = vyrFxPictures::compressorGeom (G);
    const auto inCol = geom.inCol, F = geom.frame, P = geom.plot, outCol = geom.outCol, grCol = geom.grCol;
    const auto levels = st.levelsOr (proc);
    const Colour sky (0xff7dd3fc);

    paintFrameCached (g, F, "TRANSFER CHARACTERISTIC", sky);
    text (g, choiceName (proc, "compressor_character", "Digital"), { (float) (int) F.getRight() - 90, (float) (int) y0 + 4, 82, 10 },
          Colour (0xa67dd3fc), 8, false, 0, juce::Justification::centredRight);

    for (int k = 0; k <= 4; ++k)
    {
        g.setColour (white (0x1f));
        g.fillRect ((float) (int) (P.getX() + k * P.getWidth() / 4), P.getY(), 1.0f, P.getHeight());
        g.fillRect (P.getX(), (float) (int) (P.getBottom() - k * P.getHeight() / 4), P.getWidth(), 1.0f);
    }
    g.setColour (Colour (0x8c7dd3fc));
    g.fillRect (P.getX(), P.getY(), 1.0f, P.getHeight());
    g.fillRect (P.getX(), P.getBottom() - 1, P.getWidth(), 1.0f);

    const auto K = compressorUi (proc);
    auto at = [&] (float in) { return juce::Point<float> (P.getX() + (in + 60) / 60 * P.getWidth(), P.getBottom() - (in - K.computeGr (in) + 60) / 60 * P.getHeight()); };
    juce::Point<float> pts[181];
    juce::Path curve;
    for (int i = 0; i <= 180; ++i)
    {
        pts[i] = at (-60.0f + 60.0f * (float) i / 180.0f);
        if (i == 0) curve.startNewSubPath (pts[i]); else curve.lineTo (pts[i]);
    }
    dashedLine (g, { P.getX(), P.getBottom(), P.getRight(), P.getY() }, 3, 3, 1, white (0x73));
    const float xT = P.getX() + (K.threshold + 60) / 60 * P.getWidth();
    const bool thrHot = st.isHot (VyrGraphHit::compThreshold);
    dashedLine (g, { xT, P.getY(), xT, P.getBottom() }, 2, 2, thrHot ? 1.4f : 0.8f, Colour (thrHot ? 0xf27dd3fc : 0x8c7dd3fc));

    const float L = levelDb (juce::jmax (levels.inPeak[0], levels.inPeak[1]));
    const float ell = st.enabled ? juce::jlimit (-60.0f, 0.0f, L) : -60.0f;
    auto firstAtOrAbove = [] (float v) { for (int i = 0; i <= 180; ++i) if (-60.0f + 60.0f * (float) i / 180.0f >= v) return i; return 180; };
    const int j = firstAtOrAbove (ell), iT = firstAtOrAbove (K.threshold);
    if (iT < j)
    {
        fillUnder (g, pts, 0, iT, P.getBottom(), Colour (0x2938bdf8));
        fillUnder (g, pts, iT, j, P.getBottom(), Colour (0x4c7dd3fc));
    }
    else
        fillUnder (g, pts, 0, j, P.getBottom(), Colour (0x2938bdf8));
    strokeCurve (g, curve, 3.4f, Colour (0x737dd3fc));
    strokeCurve (g, curve, 1.6f, sky);

    if (L > -59.0f && st.enabled)
    {
        const auto p = at (L);
        const std::pair<float, juce::uint32> rings[] = { { 30.0f, 0x476ab3d6 }, { 9.2f, 0xff2a2a2a }, { 8.0f, 0xffff8c1a }, { 4.8f, 0xffffffff } };
        for (auto [d, c] : rings)
        {
            g.setColour (Colour (c));
            g.fillEllipse (p.x - d / 2, p.y - d / 2, d, d);
        }
    }
    const auto r = at (compRatioHandleInput (K.threshold));
    const bool ratioHot = st.isHot (VyrGraphHit::compRatio);
    if (ratioHot)
    {
        g.setColour (white (0x80));
        g.drawEllipse (r.x - 9.5f, r.y - 9.5f, 19, 19, 1.3f);
    }
    const float rr = ratioHot ? 6.5f : 5.0f;
    g.setColour (Colour (ratioHot ? 0xff7dd3fc : 0xd97dd3fc));
    g.fillEllipse (r.x - rr, r.y - rr, 2 * rr, 2 * rr);
    g.setColour (Colour (0xff0b1a24));
    g.drawEllipse (r.x - rr, r.y - rr, 2 * rr, 2 * rr, 1.2f);

    const char* labels[] = { "-60", "-45", "-30", "-15", "0" };
    for (int k = 0; k <= 4; ++k)
    {
        const float xk = (float) (int) (P.getX() + k * P.getWidth() / 4), yk = (float) (int) (P.getBottom() - k * P.getHeight() / 4);
        text (g, labels[k], { xk - 10, (float) (int) P.getBottom() + 1, 20, 8 }, white (0x8c), 6, false, 0, juce::Justification::centred);
        text (g, labels[k], { (float) (int) P.getX() - 22, yk - 5, 20, 10 }, white (0x8c), 6, false, 0, juce::Justification::centredRight);
    }
    text (g, "INPUT", { (float) juce::roundToInt (P.getX()), (float) (int) P.getBottom() + 10, (float) juce::roundToInt (P.getWidth()), 10 },
          white (0x8c), 7, false, 0, juce::Justification::centred);
    const float capH = juce::jmin (h0, 12.0f);
    text (g, "IN", { inCol.getX(), y0, 28, capH }, white (0x8c), 7, false, 0, juce::Justification::centred);
    text (g, "OUT", { outCol.getX(), y0, 28, capH }, white (0x8c), 7, false, 0, juce::Justification::centred);
    text (g, "GR", { grCol.getX(), y0, 28, capH }, Colour (0xccfbbf24), 7, false, 0, juce::Justification::centred);

    levelBar (g, inCol, L, Colour (0xff38bdf8));
    levelBar (g, outCol, levelDb (juce::jmax (levels.outPeak[0], levels.outPeak[1])), Colour (0xff38bdf8));
    const auto track = vyrFxPictures::meterTrack (grCol);
    g.setColour (black (0x8c));
    g.fillRoundedRectangle (track, 2.0f);
    const float gr = levels.compressorGr;
    const float grH = juce::jmin (track.getHeight(), track.getHeight() * juce::jlimit (0.0f, 1.0f, std::isfinite (gr) ? gr / 24.0f : 0.0f));
    if (grH > 0.0f)
    {
        g.setColour (Colour (0xfff59e0b));
        g.fillRoundedRectangle (track.withHeight (grH), 2.0f);
    }
}

void paintSaturation (juce::Graphics& g, VyrAudioProcessor& proc, const VyrPictureState& st)
{
    const auto S = satPlotRect (st.moduleRect);
    if (S.getWidth() < 16.0f || S.getHeight() <= 0.0f)
        return;
    const Colour orange (0xfff58233);
    paintFrameCached (g, S, "TRANSFER CHARACTERISTIC", orange);
    text (g, choiceName (proc, "saturation_mode", "Tube"), { (float) (int) S.getRight() - 70, (float) (int) S.getY() + 4, 62, 10 },
          Colour (0xfffed7aa), 8, false, 0, juce::Justification::centredRight);
    const FRect P (S.getX() + 38, S.getY() + 28, juce::jmax (S.getWidth() - 70, 0.0f), juce::jmax (S.getHeight() - 72, 0.0f));
    for (int k = 0; k <= 4; ++k)
    {
        g.setColour (white (0x33));
        g.fillRect (P.getX() + k * P.getWidth() / 4, P.getY(), 1.0f, P.getHeight());
        g.fillRect (P.getX(), P.getY() + k * P.getHeight() / 4, P.getWidth(), 1.0f);
    }
    g.setColour (Colour (0xd9f58233));
    g.fillRect (P.getX(), P.getY(), 1.0f, P.getHeight());
    g.fillRect (P.getX(), P.getBottom() - 1, P.getWidth(), 1.0f);
    dashedLine (g, { P.getX(), P.getBottom(), P.getRight(), P.getY() }, 3, 3, 1, white (0x8c));

    const auto& t = proc.apvts;
    const int mode = juce::roundToInt (graphParam (t, "saturation_mode", 0));
    const float drive = graphParam (t, "saturation_drive", 0.4f), grit = graphParam (t, "saturation_grit", 0);
    juce::Path curve;
    for (int m = 0; m <= 140; ++m)
    {
        const float x = -1.0f + 2.0f * (float) m / 140.0f;
        float y = vyrFx::satTransfer (mode, drive, x);
        if (grit > 0.0f)
            y += grit * 0.11f * (0.4f + 0.6f * drive) * (0.5f + 0.5f * std::abs (x)) * vyrFx::satJitter (m);
        const juce::Point<float> p (P.getX() + (x + 1) / 2 * P.getWidth(), P.getBottom() - (y + 1) / 2 * P.getHeight());
        if (m == 0) curve.startNewSubPath (p); else curve.lineTo (p);
    }
    if (P.getWidth() > 0.0f && P.getHeight() > 0.0f)
    {
        auto fill = curve;
        fill.lineTo (P.getRight(), P.getBottom() - P.getHeight() / 2);
        fill.lineTo (P.getX(), P.getBottom() - P.getHeight() / 2);
        fill.closeSubPath();
        g.setColour (Colour (0x24fb923c));
        g.fillPath (fill);
        strokeCurve (g, curve, 3.4f, Colour (0x8cf58233));
        strokeCurve (g, curve, 1.6f, orange);
    }
    const char* ticks[] = { "-1.0", "-0.5", "0.0", "0.5", "1.0" };
    for (int k = 0; k <= 4; ++k)
    {
        text (g, ticks[k], { (float) (int) (P.getX() + k * P.getWidth() / 4) - 12, (float) (int) P.getBottom() + 2, 24, 10 },
              Colour (0xffb4bcc6), 7, false, 0, juce::Justification::centred);
        text (g, ticks[k], { (float) (int) S.getX() + 2, (float) (int) (P.getBottom() - k * P.getHeight() / 4) - 5, 24, 10 },
              Colour (0xffb4bcc6), 7, false, 0, juce::Justification::centredRight);
    }
    text (g, "INPUT", { (float) juce::roundToInt (P.getX()), (float) (int) S.getBottom() - 14, (float) juce::roundToInt (P.getWidth()), 12 },
          Colour (0xffd4d8de), 7, false, 0, juce::Justification::centred);
    juce::Graphics::ScopedSaveState save (g);
    g.addTransform (juce::AffineTransform::rotation (-juce::MathConstants<float>::halfPi, S.getX() + 12, S.getY() + S.getHeight() / 2));
    text (g, "OUTPUT", { (float) (int) (S.getX() - 40), (float) (int) (S.getY() + S.getHeight() / 2) - 8, 80, 16 }, Colour (0xffd4d8de), 7,
          false, 0, juce::Justification::centred);
}

void paintClip (juce::Graphics& g, VyrAudioProcessor& proc, const VyrPictureState& st)
{
    const auto G = st.graph;
    const Colour green (0xff98fb98), blue (0xff87ceeb);
    if (st.clipView == 2)
    {
        // The frame and the macro's backdrop stand still while the trace moves: they come from a kept image.
        const float drive = graphParam (proc.apvts, "clip_drive", 0);
        HardwareArt::get()->paintLayerCached (g, "clip-macro-" + juce::String (drive) + (st.enabled ? "-on" : "-off"), G, [&] (juce::Graphics& gl)
        {
            vyrFxPictures::paintPlotFrame (gl, G, {}, green);
            if (G.getWidth() >= 16.0f && G.getHeight() > 0.0f)
                vyrFxPictures::paintClipMacroBackdrop (gl, G, drive, st.enabled);
        });
        vyrFxPictures::paintClipMacroMoving (g, G, proc, st.animTime, st.enabled);
        return;
    }
    paintFrameCached (g, G, {}, green);
    const auto P = makeClipPlot (st.moduleRect).plot;
    const float at = st.clipView == 0 ? 1.0f : 0.55f, af = st.clipView == 1 ? 1.0f : 0.55f;
    const auto S = clipToneFrom (proc.apvts);
    const float drive = graphParam (proc.apvts, "clip_drive", 0), sym = graphParam (proc.apvts, "clip_symmetry", 0);

    auto transferAt = [&] (float x) { return juce::Point<float> (clipInX (P, x), clipOutY (P, vyrFx::clipOut (drive, sym, x))); };
    auto toneAt = [&] (float f) { return juce::Point<float> (clipFreqX (P, f), clipDbY (P, vyrFx::clipFilterDbAt (S, f))); };
    juce::Path transfer, tone;
    for (int m = 0; m <= 300; ++m)
        m == 0 ? transfer.startNewSubPath (transferAt (-1.0f)) : transfer.lineTo (transferAt ((float) m / 150.0f - 1.0f));
    for (int m = 0; m <= 240; ++m)
    {
        const auto p = toneAt (20.0f * std::pow (1000.0f, (float) m / 240.0f));
        m == 0 ? tone.startNewSubPath (p) : tone.lineTo (p);
    }
    dashedLine (g, { P.getX(), P.getBottom(), P.getRight(), P.getY() }, 3, 3, 1, blue.withAlpha ((juce::uint8) 0x66));
    if (P.getWidth() > 0.0f && P.getHeight() > 0.0f)
    {
        strokeCurve (g, tone, 1.4f, withAlphaF (blue, af));
        strokeCurve (g, transfer, 1.6f, withAlphaF (green, at));
        handleDot (g, transferAt (st.clipHandleX[0]), green, at, 6.0f, st.isHot (VyrGraphHit::clipHandleA));
        handleDot (g, transferAt (st.clipHandleX[1]), green, at, 6.0f, st.isHot (VyrGraphHit::clipHandleB));
        handleDot (g, toneAt (S.tone), blue, af, 5.5f, st.isHot (VyrGraphHit::clipTone));
        handleDot (g, toneAt (S.highShelfFreq), blue, af, 5.5f, st.isHot (VyrGraphHit::clipShelf));
        handleDot (g, toneAt (S.lpFilterFreq), blue, af, 5.5f, st.isHot (VyrGraphHit::clipLowPass));
    }
    const auto Gi = G.toNearestInt().toFloat();
    const float top = juce::jmin (Gi.getHeight(), 22.0f), bottom = juce::jmin (Gi.getHeight(), 14.0f);
    text (g, "Tone: " + juce::String ((int) std::round (S.tone)) + " Hz", Gi.withHeight (top), blue.withAlpha ((juce::uint8) 0xe6), 8,
          false, 0, juce::Justification::centred);
    text (g, "Symmetry: " + juce::String ((double) sym) + " %", { Gi.getX() + 8, Gi.getY(), juce::jmax (Gi.getWidth() - 16, 0.0f), top },
          green.withAlpha ((juce::uint8) 0xe6), 8, false, 0, juce::Justification::centredRight);
    text (g, "Clip Filter: " + juce::String ((int) std::round (S.clipFilterFreq)) + " Hz",
          { Gi.getX(), Gi.getBottom() - bottom, Gi.getWidth(), bottom }, blue.withAlpha ((juce::uint8) 0xcc), 8, false, 0,
          juce::Justification::centred);
}

void paintReverb (juce::Graphics& g, VyrAudioProcessor& proc, const VyrPictureState& st)
{
    const auto U = reverbUi (proc);
    if (st.reverbView != 0)
        HardwareArt::paintReverbEq (g, st.graph, U.lowCut, U.hiFactor, U.highShelfFreq, U.highShelfGain);
    else
        HardwareArt::paintReverbField (g, st.graph, U.decay, U.size, U.radicalness, U.predelay, U.mix, U.hiFactor, st.enabled, st.animTime);
}
} // namespace

VyrPictureLevels VyrPictureLevels::read (VyrAudioProcessor& p) noexcept
{
    VyrPictureLevels l;
    for (int ch = 0; ch < 2; ++ch)
    {
        l.inPeak[ch] = p.meters.inPeak[ch].load();
        l.outPeak[ch] = p.meters.outPeak[ch].load();
        l.inRms[ch] = p.meters.inRms[ch].load();
    }
    l.compressorGr = p.liveChain.compressorGr.load (std::memory_order_relaxed);
    return l;
}

namespace vyrFxPictures
{
CompressorGeom compressorGeom (FRect G) noexcept
{
    const float x0 = G.getX(), y0 = G.getY(), w0 = G.getWidth(), h0 = G.getHeight();
    CompressorGeom c;
    c.inCol = { x0, y0, juce::jmin (28.0f, w0), h0 };
    c.frame = { x0 + 34, y0, juce::jmax (w0 - 96, 0.0f), h0 };
    c.plot = { c.frame.getX() + 36, y0 + 22, juce::jmax (c.frame.getWidth() - 72, 0.0f), juce::jmax (h0 - 52, 0.0f) };
    c.outCol = { x0 + w0 - 56, y0, juce::jmin (28.0f, juce::jmax (w0 - 34, 0.0f)), h0 };
    c.grCol = { x0 + w0 - 28, y0, juce::jmin (28.0f, juce::jmax (w0 - 62, 0.0f)), h0 };
    return c;
}

FRect meterTrack (FRect c) noexcept
{
    return { c.getX() + 6, c.getY() + 16, juce::jmax (c.getWidth() - 12, 0.0f), juce::jmax (c.getHeight() - 36, 0.0f) };
}

void paintPlotFrame (juce::Graphics& g, FRect r, const juce::String& caption, Colour accent)
{
    g.setGradientFill (juce::ColourGradient (Colour (0xff101820), 0, r.getY(), Colour (0xff070b10), 0, r.getBottom(), false));
    g.fillRoundedRectangle (r, 6.0f);
    g.setGradientFill (juce::ColourGradient (accent.withAlpha ((juce::uint8) 0x24), r.getCentreX(), r.getY(), juce::Colours::transparentBlack,
                                             r.getCentreX(), r.getY() + 0.55f * r.getHeight(), true));
    g.fillRoundedRectangle (r, 6.0f);
    g.setColour (accent.withAlpha ((juce::uint8) 0x47));
    g.drawRoundedRectangle (r, 6.0f, 1.0f);
    if (caption.isNotEmpty())
        text (g, caption, { (float) (int) (r.getX() + 8), (float) (int) (r.getY() + 4), 260, 10 }, accent.withAlpha ((juce::uint8) 0xcc), 8,
              false, 0.12f, juce::Justification::centredLeft);
}

void paint (juce::Graphics& g, VyrAudioProcessor& processor, const VyrPictureState& st)
{
    if (st.graph.getWidth() < 16.0f || st.graph.getHeight() <= 0.0f)
        return;
    const auto& t = processor.apvts;
    if (st.key == "compressor")
        paintCompressor (g, processor, st);
    else if (st.key == "saturation")
        paintSaturation (g, processor, st);
    else if (st.key == "clip")
        paintClip (g, processor, st);
    else if (st.key == "delay")
        HardwareArt::paintDelayEcho (g, st.graph, delayVisualTimeSec (t), graphParam (t, "delay_feedback", 0.3f),
                                     graphParam (t, "delay_mix", 0.2f), st.enabled, st.animTime);
    else if (st.key == "tape")
        HardwareArt::paintTapeMachine (g, fxGraphRect (st.moduleRect, 40), juce::roundToInt (graphParam (t, "tape_preset", 0)), st.reelAngle,
                                       graphParam (t, "tape_wow", 0.15f), st.reelLevel, st.enabled);
    else if (st.key == "reverb")
        paintReverb (g, processor, st);
    else if (st.key == "analogueDensity")
        paintDensityEngine (g, st.graph, processor, st.enabled, st.vuBallistics, st.tubeTime, st.levelsOr (processor));
}
} // namespace vyrFxPictures
