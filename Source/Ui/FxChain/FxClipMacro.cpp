// The clipper's "MACRO" picture: an X-Y field of the clipper's input against its output, moving with
// the page's animation clock. Every frame is computed from the parameters and the clock alone, so two
// paints at the same time with the same settings are identical.
#include "Ui/FxChain/FxModulePictures.h"

#include "Core/PluginProcessor.h"
#include "Ui/FxChain/VyrModuleGraphModel.h"

#include <cmath>

using juce::Colour;
using FRect = juce::Rectangle<float>;

namespace
{
float fract (float v) { return v - std::floor (v); }
Colour withAlphaF (Colour c, float a) { return c.withAlpha ((juce::uint8) (a <= 0.0f ? 0 : (a >= 1.0f ? 255 : juce::roundToInt (255.0f * a)))); }
float harshnessOf (float drive) { return juce::jlimit (0.0f, 1.0f, (drive - 2.2f) / 33.8f); }
constexpr int maxSparks = 96;
}

namespace vyrFxPictures
{
ClipMacroFrame clipMacroFrame (VyrAudioProcessor& processor, float animTime, bool enabled)
{
    const auto& t = processor.apvts;
    const float drive = graphParam (t, "clip_drive", 0.0f), symmetry = graphParam (t, "clip_symmetry", 0.0f);
    ClipMacroFrame f;
    f.harshness = harshnessOf (drive);
    const float h = f.harshness;
    f.phaseSpeed = 0.55f + 1.35f * h;
    f.phase = animTime * f.phaseSpeed;
    f.traceWidths[0] = 18 + 14 * h;
    f.traceWidths[1] = 8 + 6 * h;
    f.traceWidths[2] = 1.6f + 1.5f * h;
    f.specks = (int) std::floor (90.0f * h) + 70;
    f.speckWidth = h > 0.55f ? 2.0f : 1.0f;
    const float D = std::pow (10.0f, juce::jmax (drive, 0.0f) / 20.0f), s = juce::jlimit (-1.0f, 1.0f, symmetry / 100.0f);
    for (int i = 0; i <= 240 && f.sparks < maxSparks; i += 3)
    {
        const float x = std::sin (0.15f * f.phase + juce::MathConstants<float>::twoPi * (float) i / 240.0f);
        const float o = juce::jlimit (-1.0f, 1.0f, std::tanh (D * (x + s)) - std::tanh (D * s));
        if (std::abs (x - o) > 0.03f)
            ++f.sparks;
    }
    juce::ignoreUnused (enabled);
    return f;
}

void paintClipMacroBackdrop (juce::Graphics& g, FRect A, float drive, bool enabled)
{
    const float h = harshnessOf (drive), a = enabled ? 1.0f : 0.42f;
    const Colour green (0xff98fb98);
    const FRect I (A.getX() + 8, A.getY() + 10, juce::jmax (A.getWidth() - 16, 0.0f), juce::jmax (A.getHeight() - 20, 0.0f));
    const float cx = I.getCentreX(), cy = I.getCentreY(), rx = 0.48f * I.getWidth(), ry = 0.42f * I.getHeight();

    if (rx > 0.0f)
    {
        g.setGradientFill (juce::ColourGradient (withAlphaF (green, a * (0.1f + 0.22f * h)), cx, cy, juce::Colours::transparentBlack, cx + rx, cy, true));
        g.fillEllipse (cx - rx, cy - ry, 2 * rx, 2 * ry);
    }
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x12));
    for (float k : { 0.32f, 0.64f, 0.96f })
        g.drawEllipse (cx - k * rx, cy - k * ry, 2 * k * rx, 2 * k * ry, 1.0f);
    g.setColour (Colour (0x2987ceeb));
    g.drawLine (cx - rx, cy, cx + rx, cy, 1.0f);
    g.drawLine (cx, cy - ry, cx, cy + ry, 1.0f);
    const juce::Line<float> diagonal (cx - 0.88f * rx, cy + 0.88f * ry, cx + 0.88f * rx, cy - 0.88f * ry);
    if (diagonal.getLength() >= 0.1f)
    {
        const float dashes[] = { 3.0f, 4.0f };
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x1a));
        g.drawDashedLine (diagonal, dashes, 2, 1.0f);
    }
}

void paintClipMacroHud (juce::Graphics& g, FRect A, VyrAudioProcessor& processor, float t, bool enabled)
{
    if (A.getWidth() < 16.0f || A.getHeight() <= 0.0f)
        return;
    paintClipMacroBackdrop (g, A, graphParam (processor.apvts, "clip_drive", 0.0f), enabled);
    paintClipMacroMoving (g, A, processor, t, enabled);
}

void paintClipMacroMoving (juce::Graphics& g, FRect A, VyrAudioProcessor& processor, float t, bool enabled)
{
    if (A.getWidth() < 16.0f || A.getHeight() <= 0.0f)
        return;
    const auto& tree = processor.apvts;
    const float drive = graphParam (tree, "clip_drive", 0.0f), symmetry = graphParam (tree, "clip_symmetry", 0.0f);
    const float mix = graphParam (tree, "clip_mix", 0.2f);
    const auto S = clipToneFrom (tree);
    const float h = harshnessOf (drive), a = enabled ? 1.0f : 0.42f, m = a * (0.5f + 0.5f * mix);
    const float phi = t * (0.55f + 1.35f * h);
    const float D = std::pow (10.0f, juce::jmax (drive, 0.0f) / 20.0f), s = juce::jlimit (-1.0f, 1.0f, symmetry / 100.0f);
    const Colour green (0xff98fb98), blue (0xff87ceeb);

    const FRect I (A.getX() + 8, A.getY() + 10, juce::jmax (A.getWidth() - 16, 0.0f), juce::jmax (A.getHeight() - 20, 0.0f));
    const float cx = I.getCentreX(), cy = I.getCentreY(), rx = 0.48f * I.getWidth(), ry = 0.42f * I.getHeight();

    struct Spark { float x, y, alpha, size; };
    Spark sparks[maxSparks];
    int numSparks = 0;
    juce::Path trace, loop;
    for (int i = 0; i <= 240; ++i)
    {
        const float theta = 0.15f * phi + juce::MathConstants<float>::twoPi * (float) i / 240.0f;
        const float x = std::sin (theta);
        const float o = juce::jlimit (-1.0f, 1.0f, std::tanh (D * (x + s)) - std::tanh (D * s));
        const juce::Point<float> T (cx + x * rx, cy - o * ry);
        const float k = 0.22f + 0.62f * std::abs (o);
        const juce::Point<float> L (cx + rx * std::cos (phi + theta) * k, cy + ry * std::sin (phi + theta) * k);
        if (i == 0) { trace.startNewSubPath (T); loop.startNewSubPath (L); }
        else { trace.lineTo (T); loop.lineTo (L); }
        const float d = std::abs (x - o);
        if (i % 3 == 0 && d > 0.03f && numSparks < maxSparks)
        {
            const float n = fract (std::sin (12.9898f * (float) i + 9.4f * t + 6.0f * h) * 43758.547f);
            sparks[numSparks++] = { T.x + (n - 0.5f) * 0.06f * rx * (h + 0.4f), T.y + (std::fmod (17.13f * n, 1.0f) - 0.5f) * 0.08f * ry * (h + 0.4f),
                                    (0.18f + 0.55f * d) * (h + 0.35f) * a, 1.2f + 2.4f * h * d };
        }
    }
    auto stroke = [&g] (const juce::Path& p, float width, Colour c)
    {
        g.setColour (c);
        g.strokePath (p, juce::PathStrokeType (width, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    };
    stroke (trace, 18 + 14 * h, withAlphaF (green, m * 0.07f * (0.45f + 0.55f * h)));
    stroke (trace, 8 + 6 * h, withAlphaF (green, m * 0.16f * (0.4f + 0.6f * h)));
    stroke (trace, 1.6f + 1.5f * h, withAlphaF (green, 0.88f * m));
    stroke (loop, 5.5f, withAlphaF (blue, 0.08f * m));
    stroke (loop, 1.15f, withAlphaF (blue, m * (0.42f + 0.28f * h)));

    for (int i = 0; i < numSparks; ++i)
    {
        const auto& sp = sparks[i];
        g.setColour (withAlphaF (green, sp.alpha));
        g.fillRect (sp.x - sp.size / 2, sp.y - 0.5f, sp.size, 1.0f);
        g.fillRect (sp.x - 0.5f, sp.y - sp.size / 2, 1.0f, sp.size);
    }

    const Colour pale = green.interpolatedWith (juce::Colours::white, 0.25f);
    const int specks = (int) std::floor (90.0f * h) + 69;
    const float speckW = h > 0.55f ? 2.0f : 1.0f;
    for (int i = 0; i <= specks; ++i)
    {
        const float n = fract (std::sin (78.233f * (float) i + 11.0f * t) * 43758.547f);
        const float u = fract (0.618034f * (float) i);
        const float v = std::fmod (1.732f * (0.618034f * (float) i) + 0.07f * t * (h + 0.4f), 1.0f);
        g.setColour (withAlphaF (pale, (0.04f + 0.14f * h) * n * a));
        g.fillRect (I.getX() + u * I.getWidth(), I.getY() + v * I.getHeight(), speckW, 1.0f);
    }

    g.setColour (withAlphaF (blue, a * (0.16f + 0.38f * h)));
    for (int i = 0; i <= 71; ++i)
    {
        const float f = 20.0f * std::pow (1000.0f, (float) i / 71.0f);
        const float L = vyrFx::clipFilterDbAt (S, f);
        const float k = 0.18f + 0.55f * juce::jlimit (0.0f, 1.0f, (L + 18.0f) / 36.0f);
        const float alpha = -juce::MathConstants<float>::halfPi + juce::MathConstants<float>::twoPi * (float) i / 71.0f + 0.2f * phi;
        g.fillEllipse (cx + rx * std::cos (alpha) * k - 1.5f, cy + ry * std::sin (alpha) * k - 1.5f, 3.0f, 3.0f);
    }

    g.setColour (green.withAlpha ((juce::uint8) 0x8c));
    g.setFont (juce::Font (8.0f, juce::Font::bold).withExtraKerningFactor (0.16f));
    g.drawText ("WARM", FRect ((float) (int) I.getX(), (float) (int) (I.getY() + I.getHeight() - 14), 48, 12), juce::Justification::centredLeft, true);
    g.drawText ("HARSH", FRect ((float) (int) (I.getX() + I.getWidth() - 56), (float) (int) (I.getY() + I.getHeight() - 14), 56, 12),
                juce::Justification::centredRight, true);
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x73));
    g.setFont (juce::Font (8.0f));
    g.drawText (juce::String::fromUTF8 ("XY  \xc2\xb7  clip(x) = tanh(D(x+s)) - tanh(D s)"),
                FRect ((float) (int) I.getX(), (float) (int) (I.getY() + 2), (float) (int) I.getWidth(), 12), juce::Justification::centred, true);
}
} // namespace vyrFxPictures
