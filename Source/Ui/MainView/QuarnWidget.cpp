#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/MainView/QuarnWidget.h"

#include "Core/PluginProcessor.h"
#include "Model/QuarnPresets.h"
#include "Ui/Foundation/VyrPainting.h"

#include <cmath>

using vyrPolar::frac;

namespace
{
constexpr const char* kToneAng = "quarn_toneAng";
constexpr const char* kToneRad = "quarn_toneRad";
constexpr const char* kEnergy = "quarn_energy";
constexpr const char* kBoost = "quarn_boost";
constexpr const char* kPresence = "quarn_presence";
constexpr const char* kEqAng = "quarn_eqAng";

// Positions in the widget's parameter set (the gesture order).
enum Param : int
{
    pToneAng = 0,
    pToneRad,
    pEnergy,
    pBoost,
    pPresence,
    pEqAng
};

constexpr float kTicksPerSecond = 30.0f;

// Weights of three anchors (LOW/PUNCH at 7/12, BODY/GLUE at 1/4, AIR/DENSITY at 11/12) for an
// angle, normalised to sum 1 when they sum to more than 1e-6.
struct Weights
{
    float a7 = 0.0f, a3 = 0.0f, a11 = 0.0f;
};

Weights anchorWeights (float angle)
{
    auto w = [angle] (float anchor)
    { return juce::jmax (0.0f, std::cos (juce::MathConstants<float>::twoPi * (angle - anchor))); };
    Weights r { w (7.0f / 12.0f), w (0.25f), w (11.0f / 12.0f) };
    const float sum = r.a7 + r.a3 + r.a11;
    if (sum > 1.0e-6f)
        r.a7 /= sum, r.a3 /= sum, r.a11 /= sum;
    return r;
}

// Bell over a sector position p (0..1): 0 at the edges, 1 in the middle.
float sectorBell (float p)
{
    const float z = (p < 0.0f || p > 1.0f) ? 2.7777777f : (p - 0.5f) / 0.18f;
    return juce::jmax ((std::exp (-0.5f * z * z) - 0.021109663f) / 0.97889036f, 0.0f);
}

juce::Colour white (float alpha) { return juce::Colours::white.withAlpha (juce::jlimit (0.0f, 1.0f, alpha)); }
juce::Colour white8 (juce::uint8 alpha) { return juce::Colours::white.withAlpha (alpha); }
}

QuarnWidget::QuarnWidget (VyrAudioProcessor& p)
    : processor (p)
    , params (p.apvts, { kToneAng, kToneRad, kEnergy, kBoost, kPresence, kEqAng })
{
    vyrPolar::setUpControl (*this);
    params.listen (this);
    readParams();
    startTimer (33);
}

QuarnWidget::~QuarnWidget()
{
    stopTimer();
    params.unlisten (this);
    endQuarnGesture();
    onChanged = nullptr;
}

void QuarnWidget::readParams()
{
    toneAng = frac (params.read (pToneAng, 0.25f));
    toneRad = juce::jlimit (0.0f, 1.0f, params.read (pToneRad, 0.0f));
    energy = frac (params.read (pEnergy, 0.25f));
    boost = juce::jlimit (0.0f, 1.0f, params.read (pBoost, 0.0f));
    presence = frac (params.read (pPresence, 0.25f));
    eqAng = frac (params.read (pEqAng, 0.0f));
}

QuarnWidget::Geometry QuarnWidget::geometry() const
{
    Geometry g {};
    const float w = (float) getWidth(), h = (float) getHeight();
    g.cx = w / 2.0f;
    g.cy = h / 2.0f;
    g.base = juce::jmax (juce::jmin (w, h) / 2.0f - 14.0f, 8.0f);
    g.tone = 0.46f * g.base;
    g.energy = 0.68f * g.base;
    g.lane = 0.5f * (g.tone + g.energy);
    g.outer = 0.94f * g.base + 12.0f;
    g.boost = g.energy + (g.outer - g.energy) * boost;
    g.handle = juce::jmax (g.boost, g.energy + 18.0f);
    return g;
}

bool QuarnWidget::hitTest (int x, int y)
{
    const auto g = geometry();
    const auto ptr = vyrPolar::pointerFrom ({ (float) x, (float) y }, g.cx, g.cy);
    return ptr.distance <= juce::jmax (g.base, g.outer, g.handle) + 6.0f;
}

int QuarnWidget::hit (juce::Point<float> p) const
{
    const auto g = geometry();
    const float d = vyrPolar::pointerFrom (p, g.cx, g.cy).distance;
    const float u = p.getDistanceFrom (vyrPolar::pointAt (g.cx, g.cy, g.handle, presence));
    if (d <= g.tone + 8.0f)
        return 1;
    if (u <= 16.0f && g.boost > g.energy + 8.0f)
        return 3;
    if (std::abs (d - g.energy) <= 14.0f)
        return 2;
    if (u <= 16.0f || (d >= g.energy + 14.0f && d <= juce::jmax (g.base, g.outer) + 6.0f))
        return 3;
    if (d > g.tone && d < g.energy)
        return 4;
    return 0;
}

void QuarnWidget::writeGrab (juce::Point<float> p)
{
    const auto g = geometry();
    const auto ptr = vyrPolar::pointerFrom (p, g.cx, g.cy);
    auto& t = processor.apvts;
    switch (grabbed)
    {
        case 1:
            toneAng = ptr.angle;
            toneRad = juce::jlimit (0.0f, 1.0f, ptr.distance / juce::jmax (g.tone, 8.0f));
            params.write (pToneAng, toneAng, false);
            params.write (pToneRad, toneRad, false);
            break;
        case 2:
            energy = ptr.angle;
            params.write (pEnergy, energy, false);
            break;
        case 3:
            // A 22-pixel dead zone past the ring keeps the boost at zero; beyond it the value jumps
            // straight to the pointer's distance.
            boost = ptr.distance <= g.energy + 22.0f
                        ? 0.0f
                        : juce::jlimit (0.0f, 1.0f, (ptr.distance - g.energy) / juce::jmax (g.outer - g.energy, 8.0f));
            presence = ptr.angle;
            params.write (pBoost, boost, false);
            params.write (pPresence, presence, false);
            break;
        case 4:
            eqAng = frac (0.25f - ptr.angle);
            params.write (pEqAng, eqAng, false);
            break;
        default:
            return;
    }
    if (grabbed != 4)
        vyrQuarn::apply (t, true);
    if (onChanged)
        onChanged();
    repaint();
}

void QuarnWidget::beginQuarnGesture()
{
    params.begin();
    gestureOpen = true;
}

void QuarnWidget::endQuarnGesture()
{
    params.end();
    gestureOpen = false;
}

void QuarnWidget::resetZone (int zone)
{
    switch (zone)
    {
        case 1:
            params.write (pToneAng, 0.25f, true);
            params.write (pToneRad, 0.0f, true);
            break;
        case 2:
            params.write (pEnergy, 0.25f, true);
            break;
        case 4:
            params.write (pEqAng, 0.0f, true);
            break;
        default:
            params.write (pBoost, 0.0f, true);
            params.write (pPresence, 0.25f, true);
            break;
    }
}

void QuarnWidget::finishReset()
{
    readParams();
    vyrQuarn::apply (processor.apvts, false);
    if (onChanged)
        onChanged();
    endQuarnGesture();
}

void QuarnWidget::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isAltDown())
    {
        beginQuarnGesture();
        grabbed = hit (e.position);
        resetZone (grabbed);
        finishReset();
        grabbed = 0;
        repaint();
        return;
    }
    grabbed = hit (e.position);
    if (grabbed == 0)
        return;
    beginQuarnGesture();
    writeGrab (e.position);
}

void QuarnWidget::mouseDrag (const juce::MouseEvent& e)
{
    if (grabbed == 0)
        return;
    writeGrab (e.position);
    if (sparks.dragSpawns (random))
        spawnSparks (1);
}

void QuarnWidget::mouseUp (const juce::MouseEvent&)
{
    grabbed = 0;
    endQuarnGesture();
}

void QuarnWidget::mouseDoubleClick (const juce::MouseEvent& e)
{
    beginQuarnGesture();
    const auto g = geometry();
    const int zone = hit (e.position);
    const float d = vyrPolar::pointerFrom (e.position, g.cx, g.cy).distance;
    resetZone (zone == 1 || d <= g.tone ? 1 : (zone == 4 || zone == 2 ? zone : 3));
    finishReset();
    repaint();
}

void QuarnWidget::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& w)
{
    juce::Component::mouseWheelMove (e, w); // the page scrolls; the control takes no wheel
}

//==============================================================================
void QuarnWidget::spawnSparks (int n)
{
    const auto g = geometry();
    sparks.spawn (n, random,
                  [&g] (vyrPolar::Spark& s, const float* u)
                  {
                      s.radius = g.energy + u[1] * juce::jmax (g.boost - g.energy, 6.0f);
                      s.angleVel = (u[2] - 0.5f) * 0.008f;
                      s.radiusVel = (u[3] - 0.42f) * 0.35f;
                  });
}

void QuarnWidget::tickSparks()
{
    sparks.age (1.0f / kTicksPerSecond, 0.0026f, geometry().outer + 10.0f);
    if (const int n = sparks.timerSpawnCount (boost, kTicksPerSecond, random); n > 0)
        spawnSparks (n);
}

void QuarnWidget::repaintMotes()
{
    // The motes creep a quarter pixel per tick: only the cells whose rounded position moved are
    // repainted, so an idle control costs a few tiny repaints a second.
    const auto g = geometry();
    for (int k = 0; k < 5; ++k)
    {
        const auto pos = vyrPolar::pointAt (g.cx, g.cy, g.energy, frac (0.031f * phase + 0.2f * (float) k)).roundToInt();
        if (pos != moteCells[(size_t) k])
        {
            repaint (juce::Rectangle<int> (6, 6).withCentre (moteCells[(size_t) k]));
            repaint (juce::Rectangle<int> (6, 6).withCentre (pos));
            moteCells[(size_t) k] = pos;
        }
    }
}

void QuarnWidget::timerCallback()
{
    phase += 0.013f;
    if (phase > juce::MathConstants<float>::twoPi)
        phase -= juce::MathConstants<float>::twoPi;

    const bool changed = relay.take() && ! gestureOpen;
    if (changed)
        readParams();
    tickSparks();

    if (! vyrVisibleInScroll (*this))
        return;
    if (sparks.needRepaint() || changed)
        repaint();
    else
        repaintMotes();
}

void QuarnWidget::parameterChanged (const juce::String&, float)
{
    if (! relay.readNow (gestureOpen))
        return;
    readParams();
    repaint();
}

//==============================================================================
float QuarnWidget::laneGain (float eqAng, int& sector)
{
    const float x = frac (eqAng) * 360.0f;
    sector = (int) std::floor (x / 45.0f);
    if (sector >= 8)
        sector = 0;
    const float p = (x - 45.0f * (float) sector) / 45.0f;
    const float limit = sector < 6 ? 6.0f : 9.0f;
    const float gain = sectorBell (p) * limit * ((sector & 1) != 0 ? -1.0f : 1.0f);
    return juce::jlimit (-limit, limit, gain);
}

const char* QuarnWidget::toneName (float toneAng)
{
    const auto w = anchorWeights (toneAng);
    if (w.a7 > w.a3 && w.a7 > w.a11)
        return "LOW";
    return w.a11 > w.a3 ? "AIR" : "BODY";
}

const char* QuarnWidget::energyName (float energy)
{
    const auto w = anchorWeights (energy);
    if (w.a7 > w.a3 && w.a7 > w.a11)
        return "PUNCH";
    return w.a11 > w.a3 ? "DENSITY" : "GLUE";
}

juce::Colour QuarnWidget::pointColour (float toneAng, float toneRad)
{
    const auto w = anchorWeights (toneAng);
    auto channel = [] (float v)
    { return (juce::uint8) juce::jlimit (0, 255, juce::roundToInt (v * 255.0f)); };
    const juce::Colour hue (channel (0.96f * w.a7 + 0.83f * w.a3 + 0.13f * w.a11),
                            channel (0.58f * w.a7 + 0.76f * w.a3 + 0.83f * w.a11),
                            channel (0.08f * w.a7 + 0.52f * w.a3 + 0.93f * w.a11));
    return juce::Colour (0xffc8ccd2).interpolatedWith (hue, 0.08f + 0.92f * juce::jmax (toneRad, 0.22f));
}

//==============================================================================
void QuarnWidget::paint (juce::Graphics& gr)
{
    readParams();
    const auto g = geometry();
    const auto point = pointColour (toneAng, toneRad);
    const auto accent = vyrPolar::accentFor (processor.themeIndex.load (std::memory_order_acquire));

    // 1. Boost bloom.
    if (boost > 0.01f || g.boost > g.energy)
        vyrPolar::paintBloom (gr, g.cx, g.cy, g.boost,
                              { { 0.0, point.withAlpha (0.1f + 0.24f * boost) },
                                { 0.28, point.withAlpha (0.05f + 0.14f * boost) },
                                { 0.58, point.withAlpha (0.02f + 0.06f * boost) },
                                { 0.82, accent.withAlpha (0.03f * boost) } });

    // 2. Motes drifting round the energy ring.
    gr.setColour (point.withAlpha (0.08f + 0.1f * boost));
    for (int k = 0; k < 5; ++k)
    {
        const auto pos = vyrPolar::pointAt (g.cx, g.cy, g.energy, frac (0.031f * phase + 0.2f * (float) k));
        gr.fillEllipse (pos.x - 2.0f, pos.y - 2.0f, 4.0f, 4.0f);
        moteCells[(size_t) k] = pos.roundToInt();
    }

    // 3. Sparks.
    vyrPolar::paintSparks (gr, sparks, g.cx, g.cy, point, juce::Colour (0xff67e8f9), 0.35f, boost);

    // 4. Energy well.
    vyrPolar::paintWell (gr, g.cx, g.cy, g.energy + 7.0f, g.energy);

    // 5. Tone disc and its three glows.
    vyrPolar::fillInnerDisc (gr, g.cx, g.cy, g.tone);
    {
        juce::Graphics::ScopedSaveState save (gr);
        vyrPolar::clipToDisc (gr, g.cx, g.cy, g.tone);
        const auto w = anchorWeights (toneAng);
        const float glowR = g.tone * (0.55f + 0.4f * toneRad);
        vyrPolar::paintGlow (gr, vyrPolar::pointAt (g.cx, g.cy, 0.38f * g.tone * toneRad, 210.0f / 360.0f), glowR,
                             juce::Colour (0xfff59e0b), 0.16f + 0.28f * w.a7 * toneRad);
        vyrPolar::paintGlow (gr, vyrPolar::pointAt (g.cx, g.cy, 0.22f * g.tone * toneRad, 0.25f), glowR,
                             juce::Colour (0xffd4b572), 0.10f + 0.22f * w.a3 * toneRad);
        vyrPolar::paintGlow (gr, vyrPolar::pointAt (g.cx, g.cy, 0.38f * g.tone * toneRad, 330.0f / 360.0f), glowR,
                             juce::Colour (0xff22d3ee), 0.16f + 0.28f * w.a11 * toneRad);
    }

    // 6. Ticks; 7. lane-EQ lobe.
    paintTicks (gr, g);
    paintLaneLobe (gr, g);

    // 8. Energy ring; 9. boost ring and the handle ring with its ticks.
    vyrPolar::strokeCircle (gr, g.cx, g.cy, g.energy,
                            accent.interpolatedWith (juce::Colour (0xff22d3ee), 0.35f).withAlpha (0.55f + 0.35f * boost), 1.65f);
    if (boost > 0.02f)
        vyrPolar::strokeCircle (gr, g.cx, g.cy, g.boost, point.withAlpha (0.28f + 0.4f * boost), 1.15f);
    vyrPolar::strokeCircle (gr, g.cx, g.cy, g.handle, white (0.1f + 0.1f * boost), 1.0f);
    for (int k = 0; k < 24; ++k)
    {
        const bool major = k % 6 == 0;
        const float half = major ? 3.6f : 2.4f;
        vyrPolar::paintTick (gr, g.cx, g.cy, (float) k / 24.0f, g.handle - half, g.handle + half,
                             white8 (major ? 0x2e : 0x12), 0.8f);
    }

    // 10. Labels; 11. handles; 12. title and caption.
    paintLabels (gr, g);
    paintHandles (gr, g, point, accent);
    paintTitle (gr, g);
}

void QuarnWidget::paintTicks (juce::Graphics& gr, const Geometry& g)
{
    vyrPolar::paintDiscRim (gr, g.cx, g.cy, g.tone);
    for (int k = 0; k < 36; ++k)
        vyrPolar::paintTick (gr, g.cx, g.cy, (float) k / 36.0f, g.energy - 4.5f, g.energy + 4.5f,
                             white8 (k % 3 == 0 ? 0x33 : 0x14), 0.85f);
}

void QuarnWidget::paintLaneLobe (juce::Graphics& gr, const Geometry& g)
{
    int sector = 0;
    const float gain = laneGain (eqAng, sector);
    if (std::abs (gain) <= 0.12f)
        return;
    const float amount = juce::jlimit (-1.0f, 1.0f, gain / 9.0f);
    const float a = std::abs (amount);
    const float sign = amount < 0.0f ? -1.0f : 1.0f;

    juce::Path outer, lobe;
    for (int m = 0; m <= 28; ++m)
    {
        const float t = (float) m / 28.0f;
        const float r = juce::jlimit (g.tone + 2.5f, g.energy - 5.0f,
                                      g.lane + sign * (g.energy - g.tone) * 0.36f * a * sectorBell (t));
        const auto pt = vyrPolar::pointAt (g.cx, g.cy, r, 0.25f - (t + (float) sector) / 8.0f);
        if (m == 0)
            outer.startNewSubPath (pt), lobe.startNewSubPath (pt);
        else
            outer.lineTo (pt), lobe.lineTo (pt);
    }
    for (int m = 28; m >= 0; --m)
        lobe.lineTo (vyrPolar::pointAt (g.cx, g.cy, g.lane, 0.25f - ((float) m / 28.0f + (float) sector) / 8.0f));
    lobe.closeSubPath();

    struct BandLook
    {
        juce::uint32 fill;
        float fillMix, fillAlpha, fillAlphaA;
        juce::uint32 stroke;
        float strokeMix, strokeAlpha, strokeAlphaA, width;
    };
    static constexpr BandLook looks[4] = {
        { 0xff2a3652, 0.72f, 0.16f, 0.2f, 0xff425270, 0.66f, 0.38f, 0.22f, 1.9f },
        { 0xff265c64, 0.55f, 0.10f, 0.14f, 0xff3a767e, 0.45f, 0.28f, 0.18f, 1.15f },
        { 0xff605c2a, 0.55f, 0.10f, 0.14f, 0xff7a7034, 0.45f, 0.28f, 0.18f, 1.15f },
        { 0xff522c1c, 0.72f, 0.16f, 0.2f, 0xff6c3c24, 0.66f, 0.38f, 0.22f, 1.9f },
    };
    const auto& look = looks[juce::jlimit (0, 3, sector / 2)];
    gr.setColour (juce::Colours::white.interpolatedWith (juce::Colour (look.fill), look.fillMix)
                      .withAlpha (look.fillAlpha + look.fillAlphaA * a));
    gr.fillPath (lobe);
    gr.setColour (juce::Colours::white.interpolatedWith (juce::Colour (look.stroke), look.strokeMix)
                      .withAlpha (look.strokeAlpha + look.strokeAlphaA * a));
    gr.strokePath (outer, juce::PathStrokeType (look.width, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void QuarnWidget::paintLabels (juce::Graphics& gr, const Geometry& g)
{
    struct Label
    {
        const char* text;
        juce::uint32 colour;
        float angle;
        bool toneRing;
    };
    static constexpr Label labels[] = {
        { "LOW", 0xfff59e0b, 7.0f / 12.0f, true },
        { "BODY", 0xffe7d5a3, 0.25f, true },
        { "AIR", 0xff67e8f9, 11.0f / 12.0f, true },
        { "GLUE", 0xffd4d8de, 0.25f, false },
        { "PUNCH", 0xfffb923c, 7.0f / 12.0f, false },
        { "DENSITY", 0xff2dd4bf, 11.0f / 12.0f, false },
    };
    for (const auto& l : labels)
    {
        const float r = l.toneRing ? 0.62f * g.tone : g.energy + 14.0f;
        vyrPolar::paintLabel (gr, l.text, vyrPolar::pointAt (g.cx, g.cy, r, l.angle),
                              juce::Colour (l.colour).withAlpha ((juce::uint8) 0xc7), 8.0f, 0.14f, 56.0f, 14.0f);
    }
}

void QuarnWidget::paintHandles (juce::Graphics& gr, const Geometry& g, juce::Colour point, juce::Colour accent)
{
    const auto energyW = anchorWeights (energy);
    vyrPolar::paintHandle (gr, vyrPolar::pointAt (g.cx, g.cy, g.tone * toneRad, toneAng), point, 25.3f, 11.0f);
    vyrPolar::paintHandle (gr, vyrPolar::pointAt (g.cx, g.cy, g.energy, energy),
                           accent.interpolatedWith (juce::Colour (0xff22d3ee), energyW.a7), 21.16f, 9.2f);
    vyrPolar::paintHandle (gr, vyrPolar::pointAt (g.cx, g.cy, g.handle, presence), vyrLighten (point, 0.86956525f), 18.4f, 8.0f);
    vyrPolar::paintHandle (gr, vyrPolar::pointAt (g.cx, g.cy, g.lane, frac (0.25f - eqAng)),
                           juce::Colour (0xffe0f7fa).interpolatedWith (juce::Colour (0xff67e8f9), 0.42f), 19.32f, 8.4f);
}

void QuarnWidget::paintTitle (juce::Graphics& gr, const Geometry& g)
{
    const int cx = (int) g.cx, cy = (int) g.cy;
    const auto& dot = vyrPolar::separator();
    const auto caption = juce::String (toneName (toneAng)) + dot + energyName (energy) + dot
                         + juce::String (juce::roundToInt (100.0f * boost)) + "%";
    vyrPolar::paintTitle (gr, "QUARN", 11.0f, { cx - 50, cy - 16, 100, 16 }, caption, 8.5f, { cx - 90, cy + 2, 180, 14 });
}
