#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/MainView/SpaceWidget.h"

#include "Core/PluginProcessor.h"
#include "Model/QuarnPresets.h"
#include "Ui/Foundation/VyrPainting.h"

#include <cmath>

using vyrPolar::frac;

namespace
{
constexpr const char* kSpaceAng = "quarn_spaceAng";
constexpr const char* kSpaceRad = "quarn_spaceRad";
constexpr const char* kReverbAng = "quarn_reverbAng";
constexpr const char* kReverbRad = "quarn_reverbRad";

// Positions in the widget's parameter set (the gesture order).
enum Param : int
{
    pSpaceAng = 0,
    pSpaceRad,
    pReverbAng,
    pReverbRad
};

constexpr float kTicksPerSecond = 24.0f;

constexpr juce::uint32 kSectorColours[7] = { 0xffd4d8de, 0xff94a3b8, 0xffc4b5fd, 0xfff472b6, 0xfff0abfc, 0xff67e8f9, 0xff818cf8 };

juce::Colour white8 (juce::uint8 alpha) { return juce::Colours::white.withAlpha (alpha); }
}

SpaceWidget::SpaceWidget (VyrAudioProcessor& p)
    : processor (p)
    , params (p.apvts, { kSpaceAng, kSpaceRad, kReverbAng, kReverbRad })
{
    vyrPolar::setUpControl (*this);
    setPaintingIsUnclipped (true); // the ring labels may reach a few pixels past the bounds
    params.listen (this);
    readParams();
    startTimer (41);
}

SpaceWidget::~SpaceWidget()
{
    stopTimer();
    params.unlisten (this);
    endSpaceGesture();
    onChanged = nullptr;
}

void SpaceWidget::readParams()
{
    spaceAng = frac (params.read (pSpaceAng, 0.0f));
    spaceRad = juce::jlimit (0.0f, 1.0f, params.read (pSpaceRad, 0.0f));
    reverbAng = frac (params.read (pReverbAng, 0.0f));
    reverbRad = juce::jlimit (0.0f, 1.0f, params.read (pReverbRad, 0.0f));
}

SpaceWidget::Geometry SpaceWidget::geometry() const
{
    Geometry g {};
    const float w = (float) getWidth(), h = (float) getHeight();
    g.cx = w / 2.0f;
    g.cy = h / 2.0f;
    g.base = juce::jmax (juce::jmin (w, h) / 2.0f - 10.0f, 8.0f);
    g.disc = 0.5f * g.base;
    g.ringInner = 0.5f * g.base + 8.0f;
    g.ring = 0.96f * g.base;
    g.reverb = g.ringInner + (g.ring - g.ringInner) * reverbRad;
    return g;
}

bool SpaceWidget::hitTest (int x, int y)
{
    const auto g = geometry();
    return vyrPolar::pointerFrom ({ (float) x, (float) y }, g.cx, g.cy).distance <= g.base + 6.0f;
}

int SpaceWidget::zoneAt (juce::Point<float> p) const
{
    const auto g = geometry();
    const float d = vyrPolar::pointerFrom (p, g.cx, g.cy).distance;
    if (d <= g.disc + 6.0f)
        return 1;
    if (d <= juce::jmax (g.ring + 8.0f, g.base + 4.0f))
        return 2;
    return 0;
}

void SpaceWidget::writeGrab (juce::Point<float> p)
{
    const auto g = geometry();
    const auto ptr = vyrPolar::pointerFrom (p, g.cx, g.cy);
    auto& t = processor.apvts;
    if (grabbed == 1)
    {
        spaceAng = ptr.angle;
        spaceRad = juce::jlimit (0.0f, 1.0f, ptr.distance / juce::jmax (g.disc, 8.0f));
        params.write (pSpaceAng, spaceAng, false);
        params.write (pSpaceRad, spaceRad, false);
    }
    else if (grabbed == 2)
    {
        reverbAng = ptr.angle;
        reverbRad = juce::jlimit (0.0f, 1.0f, (ptr.distance - g.ringInner) / juce::jmax (g.ring - g.ringInner, 8.0f));
        params.write (pReverbAng, reverbAng, false);
        params.write (pReverbRad, reverbRad, false);
    }
    else
        return;
    vyrQuarn::apply (t, true);
    if (onChanged)
        onChanged();
    repaint();
}

void SpaceWidget::beginSpaceGesture()
{
    params.begin();
    gestureOpen = true;
}

void SpaceWidget::endSpaceGesture()
{
    params.end();
    gestureOpen = false;
}

void SpaceWidget::resetAt (juce::Point<float> p)
{
    // Inside the disc both delay values go to 0; elsewhere only the reverb amount (its character stays).
    beginSpaceGesture();
    const auto g = geometry();
    auto& t = processor.apvts;
    if (vyrPolar::pointerFrom (p, g.cx, g.cy).distance <= g.disc + 6.0f)
    {
        params.write (pSpaceAng, 0.0f, true);
        params.write (pSpaceRad, 0.0f, true);
    }
    else
        params.write (pReverbRad, 0.0f, true);
    readParams();
    vyrQuarn::apply (t, false);
    if (onChanged)
        onChanged();
    endSpaceGesture();
}

void SpaceWidget::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isAltDown())
    {
        resetAt (e.position);
        grabbed = 0;
        repaint();
        return;
    }
    grabbed = zoneAt (e.position);
    if (grabbed == 0)
        return;
    beginSpaceGesture();
    writeGrab (e.position);
}

void SpaceWidget::mouseDrag (const juce::MouseEvent& e)
{
    if (grabbed == 0)
        return;
    writeGrab (e.position);
    if (sparks.dragSpawns (random))
        spawnSparks (1);
}

void SpaceWidget::mouseUp (const juce::MouseEvent&)
{
    grabbed = 0;
    endSpaceGesture();
}

void SpaceWidget::mouseDoubleClick (const juce::MouseEvent& e)
{
    resetAt (e.position);
    repaint();
}

void SpaceWidget::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& w)
{
    if (e.mods.isCtrlDown() || e.mods.isCommandDown())
        return;
    // A wheel step inside a drag writes within the drag's gesture and leaves it open for the drag.
    const bool ownGesture = ! gestureOpen;
    beginSpaceGesture();
    const float step = 0.55f * (w.isReversed ? -w.deltaY : w.deltaY);
    const auto g = geometry();
    auto& t = processor.apvts;
    if (vyrPolar::pointerFrom (e.position, g.cx, g.cy).distance <= g.disc + 6.0f)
    {
        spaceRad = juce::jlimit (0.0f, 1.0f, spaceRad + step);
        params.write (pSpaceRad, spaceRad, true);
    }
    else
    {
        reverbRad = juce::jlimit (0.0f, 1.0f, reverbRad + step);
        params.write (pReverbRad, reverbRad, true);
    }
    vyrQuarn::apply (t, true);
    if (onChanged)
        onChanged();
    if (ownGesture)
        endSpaceGesture();
    repaint();
}

//==============================================================================
void SpaceWidget::spawnSparks (int n)
{
    const auto g = geometry();
    sparks.spawn (n, random,
                  [&g] (vyrPolar::Spark& s, const float* u)
                  {
                      s.radius = g.disc + u[1] * (juce::jmax (g.ring, g.disc + 6.0f) - g.disc);
                      s.angleVel = (0.5f - u[2]) * 0.0044f;
                      s.radiusVel = (0.42f - u[3]) * 0.18f;
                  });
}

void SpaceWidget::tickSparks()
{
    sparks.age (1.0f / kTicksPerSecond, -0.0014f, geometry().ring + 10.0f);
    if (const int n = sparks.timerSpawnCount (juce::jmax (spaceRad, reverbRad), kTicksPerSecond, random); n > 0)
        spawnSparks (n);
}

void SpaceWidget::timerCallback()
{
    const bool changed = relay.take() && ! gestureOpen;
    if (changed)
        readParams();
    tickSparks();

    // Nothing here moves without sparks: an idle control with small amounts costs no repaint.
    if (! vyrVisibleInScroll (*this))
        return;
    if (sparks.needRepaint() || changed)
        repaint();
}

void SpaceWidget::parameterChanged (const juce::String&, float)
{
    if (! relay.readNow (gestureOpen))
        return;
    readParams();
    repaint();
}

//==============================================================================
void SpaceWidget::paint (juce::Graphics& gr)
{
    readParams();
    const auto g = geometry();
    const auto delayColour = juce::Colour (0xff7dd3fc).interpolatedWith (juce::Colour (0xff38bdf8), spaceRad);
    const auto reverbColour = juce::Colour (0xffa78bfa).interpolatedWith (juce::Colour (0xffc4b5fd), reverbRad);
    const auto accent = vyrPolar::accentFor (processor.themeIndex.load (std::memory_order_acquire));

    // 1. Reverb bloom.
    if (reverbRad > 0.01f)
        vyrPolar::paintBloom (gr, g.cx, g.cy, g.reverb,
                              { { 0.0, reverbColour.withAlpha (0.08f + 0.18f * reverbRad) },
                                { 0.42, reverbColour.withAlpha (0.03f + 0.06f * reverbRad) },
                                { 0.78, accent.withAlpha (0.02f * reverbRad) } });

    // 2. Sparks; 3. the well.
    vyrPolar::paintSparks (gr, sparks, g.cx, g.cy, delayColour, reverbColour, 0.45f, juce::jmax (spaceRad, reverbRad));
    vyrPolar::paintWell (gr, g.cx, g.cy, g.ringInner + 5.0f, g.ringInner);

    // 4. Delay disc with its four glows.
    vyrPolar::fillInnerDisc (gr, g.cx, g.cy, g.disc);
    {
        juce::Graphics::ScopedSaveState save (gr);
        vyrPolar::clipToDisc (gr, g.cx, g.cy, g.disc);
        const float glowR = g.disc * (0.5f + 0.36f * spaceRad), off = 0.32f * g.disc * spaceRad;
        struct Glow
        {
            juce::uint32 colour;
            float angle, alpha, alphaPerAmount;
        };
        for (const auto& gl : { Glow { 0xff67e8f9, 0.0f, 0.14f, 0.22f }, Glow { 0xff38bdf8, 0.25f, 0.10f, 0.18f },
                                Glow { 0xfffb923c, 0.5f, 0.12f, 0.2f }, Glow { 0xff2dd4bf, 0.75f, 0.12f, 0.2f } })
            vyrPolar::paintGlow (gr, vyrPolar::pointAt (g.cx, g.cy, off, gl.angle), glowR, juce::Colour (gl.colour),
                                 gl.alpha + gl.alphaPerAmount * spaceRad);
    }

    // 5. Disc rim and ticks (they never move: kept as an image); 6. reverb amount ring and outer ring.
    const int identity = processor.themeIndex.load (std::memory_order_acquire);
    tickLayer.draw (gr, getLocalBounds(), identity, [this, &g] (juce::Graphics& lg) { paintTicks (lg, g); });
    paintRings (gr, g, reverbColour, accent);

    // 7. Quadrant labels of the disc; 8. reverb sectors (both fixed: kept as an image). The ring
    // labels sit just outside the ring and may reach past the widget's edge: the image has room
    // for their whole boxes, so none is cut off.
    labelLayer.draw (gr, getLocalBounds().expanded (28, 16), identity, [this, &g] (juce::Graphics& lg) { paintLabels (lg, g); });

    // 9. Handles; 10. title and caption.
    vyrPolar::paintHandle (gr, vyrPolar::pointAt (g.cx, g.cy, g.disc * spaceRad, spaceAng), delayColour, 22.08f, 9.6f);
    vyrPolar::paintHandle (gr, vyrPolar::pointAt (g.cx, g.cy, g.reverb, reverbAng), vyrLighten (reverbColour, 0.9090909f),
                           19.32f, 8.4f);
    paintTitle (gr, g);
}

void SpaceWidget::paintTicks (juce::Graphics& gr, const Geometry& g)
{
    vyrPolar::paintDiscRim (gr, g.cx, g.cy, g.disc);
    for (int k = 0; k < 28; ++k)
    {
        const bool major = k % 4 == 0;
        vyrPolar::paintTick (gr, g.cx, g.cy, (float) k / 28.0f, g.ringInner + 2.0f, g.ring - (major ? 1.0f : 2.0f),
                             white8 (major ? 0x47 : 0x12), major ? 1.05f : 0.8f);
    }
}

void SpaceWidget::paintRings (juce::Graphics& gr, const Geometry& g, juce::Colour reverbColour, juce::Colour accent)
{
    vyrPolar::strokeCircle (gr, g.cx, g.cy, g.reverb, reverbColour.withAlpha (0.5f + 0.4f * reverbRad), 1.55f);
    vyrPolar::strokeCircle (gr, g.cx, g.cy, g.ring, accent.interpolatedWith (reverbColour, 0.4f).withAlpha ((juce::uint8) 0x59), 0.9f);
}

void SpaceWidget::paintLabels (juce::Graphics& gr, const Geometry& g)
{
    struct Label
    {
        const char* text;
        juce::uint32 colour;
        float angle;
    };
    for (const auto& l : { Label { "SLAP", 0xff67e8f9, 0.0f }, Label { "ECHO", 0xff38bdf8, 0.25f }, Label { "TAPE", 0xfffb923c, 0.5f },
                           Label { "DUB", 0xff2dd4bf, 0.75f } })
        vyrPolar::paintLabel (gr, l.text, vyrPolar::pointAt (g.cx, g.cy, 0.62f * g.disc, l.angle),
                              juce::Colour (l.colour).withAlpha ((juce::uint8) 0xc7), 7.5f, 0.12f, 52.0f, 14.0f);

    for (int i = 0; i < 7; ++i)
    {
        juce::Path arc;
        for (int m = 0; m <= 10; ++m)
        {
            const float a = ((float) i - 0.42f + 0.84f * (float) m / 10.0f) / 7.0f;
            const auto pt = vyrPolar::pointAt (g.cx, g.cy, g.ring - 1.6f, a);
            if (m == 0)
                arc.startNewSubPath (pt);
            else
                arc.lineTo (pt);
        }
        const bool extreme = i == 3; // the extreme character is always marked
        const juce::Colour colour (kSectorColours[i]);
        gr.setColour (colour.withAlpha (extreme ? 0.62f : 0.3f));
        gr.strokePath (arc, juce::PathStrokeType (extreme ? 2.35f : 1.4f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
        vyrPolar::paintLabel (gr, vyrQuarn::reverbRingLabel (i), vyrPolar::pointAt (g.cx, g.cy, g.ring + 11.0f, (float) i / 7.0f),
                              colour.withAlpha ((juce::uint8) 0xc7), 7.5f, 0.12f, 52.0f, 14.0f);
    }
}

void SpaceWidget::paintTitle (juce::Graphics& gr, const Geometry& g)
{
    const int cx = (int) g.cx, cy = (int) g.cy;
    const auto caption = juce::String (vyrQuarn::delayName (spaceAng)) + vyrPolar::separator() + vyrQuarn::reverbName (reverbAng);
    vyrPolar::paintTitle (gr, "SPACE", 10.0f, { cx - 44, cy - 14, 88, 14 }, caption, 7.5f, { cx - 70, cy + 2, 140, 12 });
}
