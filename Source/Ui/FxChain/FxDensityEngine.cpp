// The analogue density module's tube engine: three tubes glowing with the input, the air band's
// response, the density stage's transfer and two LED level rows.
#include "Ui/FxChain/FxModulePictures.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/HardwareArt.h"
#include "Ui/FxChain/VyrModuleGraphModel.h"

#include <cmath>

using juce::Colour;
using FRect = juce::Rectangle<float>;

namespace
{
float levelDb (float linear) { return linear > 0.0f && std::isfinite (linear) ? 20.0f * std::log10 (linear) : -100.0f; }

void text (juce::Graphics& g, const juce::String& s, FRect r, Colour c, float size, bool bold, float kerning)
{
    g.setColour (c);
    g.setFont (juce::Font (size, bold ? juce::Font::bold : juce::Font::plain).withExtraKerningFactor (kerning));
    g.drawText (s, r, juce::Justification::centred, true);
}

void strokeFlat (juce::Graphics& g, const juce::Path& p, Colour c)
{
    g.setColour (c);
    g.strokePath (p, juce::PathStrokeType (1.4f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
}

void paintTubes (juce::Graphics& g, FRect T, bool enabled, bool stageIn, bool alt, float sat, float pent, float tri, float inL,
                 float inR, double time)
{
    const float iw = juce::jmax (T.getWidth() - 16, 0.0f), ih = juce::jmax (T.getHeight() - 16, 0.0f);
    const float q = (iw - 12) / 3, b = juce::jmin (32.0f, ih), th = juce::jmax (juce::jmin (ih - b, 200.0f), 0.0f);
    const float ty = T.getY() + 8 + ((ih - b) - th) / 2;
    const float c1 = juce::jmin (q, iw), g1 = juce::jmin (6.0f, iw - c1);
    const float c2 = juce::jmin (iw - c1 - g1, q);
    const float rest = iw - c1 - g1 - c2, g2 = juce::jmin (6.0f, rest);
    const FRect tubes[3] = { { T.getX() + 10, ty, juce::jmax (c1 - 4, 0.0f), th },
                             { T.getX() + 8 + c1 + g1 + 2, ty, juce::jmax (c2 - 4, 0.0f), th },
                             { T.getX() + 8 + c1 + g1 + c2 + g2 + 2, ty, juce::jmax (rest - g2 - 4, 0.0f), th } };
    if (th <= 0.0f)
        return;
    juce::Graphics::ScopedSaveState save (g);
    juce::Path clip;
    clip.addRoundedRectangle (T, 8.0f);
    g.reduceClipRegion (clip);
    for (auto pass : { HardwareArt::VacuumTubePass::backGlow, HardwareArt::VacuumTubePass::body })
    {
        HardwareArt::paintVacuumTube (g, tubes[0], true, enabled && stageIn, alt, sat, inL, time, "12AX7", pass);
        HardwareArt::paintVacuumTube (g, tubes[1], false, enabled, false, juce::jmax (pent, sat), inL, time,
                                      juce::String::fromUTF8 ("6U8A \xc2\xb7 P"), pass);
        HardwareArt::paintVacuumTube (g, tubes[2], false, enabled, alt, juce::jmax (tri, sat), inR, time,
                                      juce::String::fromUTF8 ("6U8A \xc2\xb7 T"), pass);
    }
}

void paintLedRow (juce::Graphics& g, FRect r, float level, bool enabled)
{
    g.setColour (Colour (0xff0a0b0d));
    g.fillRoundedRectangle (r, 4.0f);
    g.setColour (Colour (0xff1e1f22));
    g.drawRoundedRectangle (r, 4.0f, 1.0f);
    const float p = r.getWidth() > 12.0f ? (r.getWidth() - 12) / 12 : 0.0f, e = juce::jmin (0.55f * p, 6.4f);
    const float n = vyrFxPictures::densityLedCount (level, enabled);
    for (int i = 0; i < 12; ++i)
    {
        g.setColour (vyrFxPictures::densityLedColour (i, n));
        g.fillEllipse (r.getX() + 6 + i * p + (p - e) / 2, r.getY() + 3 + juce::jmax (r.getHeight() - 6, 0.0f) / 2 - e / 2, e, e);
    }
}
} // namespace

namespace vyrFxPictures
{
float densityLedCount (float levelDb, bool enabled) noexcept
{
    if (! enabled || std::isnan (levelDb))
        return 0.0f;
    return 12.0f * juce::jlimit (0.0f, 1.0f, (levelDb + 60.0f) / 60.0f);
}

Colour densityLedColour (int i, float n) noexcept
{
    if (n > (float) i)
        return Colour (i == 11 ? 0xffff0d0d : (i < 9 ? 0xff3dfb6b : 0xffffd11a));
    return juce::Colours::white.withAlpha ((juce::uint8) 0x0d);
}

void paintDensityEngine (juce::Graphics& g, FRect area, VyrAudioProcessor& processor, bool enabled, bool vuBallistics, double time)
{
    paintDensityEngine (g, area, processor, enabled, vuBallistics, time, VyrPictureLevels::read (processor));
}

void paintDensityEngine (juce::Graphics& g, FRect area, VyrAudioProcessor& processor, bool enabled, bool vuBallistics, double time,
                         const VyrPictureLevels& m)
{
    if (area.getWidth() < 16.0f || area.getHeight() <= 0.0f)
        return;
    const auto D = makeDensLayout (area);
    for (auto r : { D.tubeColumn, D.engineView, D.controlColumn, D.bottomStrip })
    {
        g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x4c));
        g.fillRoundedRectangle (r, 8.0f);
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x1a));
        g.drawRoundedRectangle (r, 8.0f, 1.0f);
    }
    const auto& t = processor.apvts;
    const float sat = graphParam (t, "analogueDensity_saturation", 0) * 0.1f, pent = graphParam (t, "analogueDensity_pentode", 0) * 0.1f;
    const float tri = graphParam (t, "analogueDensity_triode", 0) * 0.1f;
    const int cal = dynamic_cast<juce::AudioParameterChoice*> (t.getParameter ("analogueDensity_calibration")) != nullptr
                        ? juce::roundToInt (graphParam (t, "analogueDensity_calibration", 1)) : 1;
    const bool stageIn = graphParam (t, "analogueDensity_satIn", 1) >= 0.5f, alt = graphParam (t, "analogueDensity_altTube", 0) >= 0.5f;
    const bool air = graphParam (t, "analogueDensity_air", 0) >= 0.5f;
    const float airAmount = graphParam (t, "analogueDensity_airAmount", 0), density = graphParam (t, "analogueDensity_density", 0) * 0.01f;
    const float inL = levelDb (m.inPeak[0]), inR = levelDb (m.inPeak[1]);

    const auto S = D.satFreqRow.toFloat();
    text (g, "SAT. FREQ", { S.getX(), S.getY() - 18, S.getWidth(), 14 }, Colour (0xffb4bcc6), 8, true, 0.12f);

    paintTubes (g, D.engineView, enabled, stageIn, alt, sat, pent, tri, inL, inR, time);
    const auto T = D.engineView.toNearestInt().toFloat();
    const float h30 = juce::jmin (T.getHeight(), 30.0f), h14 = juce::jmin (T.getHeight(), 14.0f);
    text (g, juce::String::fromUTF8 ("12AX7  \xc2\xb7  6U8A PENTODE + TRIODE"), { T.getX(), T.getBottom() - h30, T.getWidth(), h14 },
          Colour (0xff9aa3ae), 8, false, 0.16f);
    text (g, "Analogue Design", { T.getX(), T.getBottom() - h30 + h14, T.getWidth(), h30 - h14 }, Colour (0xff6fb1e0), 10, true, 0.14f);

    auto A = D.airPlot;
    if (A.getWidth() <= 0.0f || A.getHeight() <= 0.0f)
    {
        const auto P = D.controlColumn;
        const float hh = juce::jmax (P.getHeight() - 16, 0.0f);
        A = { P.getX() + 8, P.getY() + 8 + hh - juce::jmin (hh, 56.0f), juce::jmax (P.getWidth() - 16, 0.0f), juce::jmin (hh, 56.0f) };
    }
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x2e));
    g.fillRect (A.getX(), (float) (int) (A.getY() + A.getHeight() / 2), A.getWidth(), 1.0f);
    if (A.getWidth() > 0.0f && A.getHeight() > 0.0f)
    {
        juce::Path airCurve;
        for (int i = 0; i <= 60; ++i)
        {
            const float f = 20.0f * std::pow (1000.0f, (float) i / 60.0f);
            const float d = enabled && air ? vyrFx::airResponseDb (f, airAmount, cal) : 0.0f;
            const juce::Point<float> p (A.getX() + (float) i / 60.0f * A.getWidth(), A.getBottom() - (d + 5) / 10 * A.getHeight());
            i == 0 ? airCurve.startNewSubPath (p) : airCurve.lineTo (p);
        }
        strokeFlat (g, airCurve, Colour (0xff6fb1e0));
    }

    const auto B = D.transferPlot;
    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x80));
    g.fillRoundedRectangle (B, 4.0f);
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x1a));
    g.drawRoundedRectangle (B, 4.0f, 1.0f);
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x26));
    g.fillRect (B.getX(), (float) (int) (B.getY() + B.getHeight() / 2), B.getWidth(), 1.0f);
    g.fillRect ((float) (int) (B.getX() + B.getWidth() / 2), B.getY(), 1.0f, B.getHeight());
    if (B.getWidth() > 0.0f && B.getHeight() > 0.0f)
    {
        juce::Path curve;
        for (int i = 0; i <= 80; ++i)
        {
            const float x = -1.0f + 2.0f * (float) i / 80.0f, v = vyrFx::densityFullTransfer (pent, tri, density, x);
            const juce::Point<float> p (B.getX() + (x + 1) / 2 * B.getWidth(), B.getY() + (1 - (v + 1) / 2) * B.getHeight());
            i == 0 ? curve.startNewSubPath (p) : curve.lineTo (p);
        }
        strokeFlat (g, curve, Colour (0xff6fb1e0));
    }

    const auto Q = D.meterScale;
    const char* labels[] = { "-60", "-40", "-20", "-12", "-6", "-3", "0" };
    for (int k = 0; k < 7; ++k)
        text (g, labels[k], { (float) juce::roundToInt (Q.getX() + (float) k / 6.0f * Q.getWidth() - 10), (float) juce::roundToInt (Q.getY()), 20,
                              (float) juce::roundToInt (Q.getHeight()) }, Colour (0xff9aa3ae), 7, true, 0);
    const float lL = vuBallistics ? levelDb (m.inRms[0]) : inL, lR = vuBallistics ? levelDb (m.inRms[1]) : inR;
    paintLedRow (g, D.meterBarL, lL, enabled);
    paintLedRow (g, D.meterBarR, lR, enabled);
}
} // namespace vyrFxPictures
