#include "Ui/EqEditor/EqBandPopup.h"

#include "Ui/Controls/VyrStyleChip.h"
#include "Ui/Foundation/VyrLucide.h"

#include <cmath>

namespace
{
constexpr const char* kFlame = "M8.5 14.5A2.5 2.5 0 0 0 11 12c0-1.38-.5-2-1-3-1.072-2.143-.224-4.054 2-6 .5 2.5 2 4.9 4 6.5 2 1.6 3 3.5 3 5.5a7 7 0 1 1-14 0c0-1.153.433-2.294 1-3a2.5 2.5 0 0 0 2.5 2.5z";
constexpr float kTrack = 88.0f;

juce::Colour white (juce::uint8 alpha) { return juce::Colours::white.withAlpha (alpha); }
juce::Font plainFont (float h) { return juce::Font (h, juce::Font::plain); }
juce::Font boldFont (float h) { return juce::Font (h, juce::Font::bold); }
juce::Font spacedFont (float h, float spacing) { return juce::Font (h, juce::Font::plain).withExtraKerningFactor (spacing); }

juce::Rectangle<float> grown (juce::Rectangle<float> r, float by) { return r.expanded (by); }

juce::Rectangle<float> inset (juce::Rectangle<float> r, float by)
{
    return { r.getX() + by, r.getY() + by, std::max (r.getWidth() - 2.0f * by, 0.0f), std::max (r.getHeight() - 2.0f * by, 0.0f) };
}

void circleButton (juce::Graphics& g, juce::Rectangle<float> r, bool on, juce::Colour k)
{
    const auto ring = inset (r.translated (0.5f, 0.5f), 0.5f);
    g.setColour (on ? k : white (0x0d));
    g.fillEllipse (r);
    g.setColour (on ? k.withAlpha ((juce::uint8) 0x8c) : white (0x2e));
    g.drawEllipse (ring, on ? 1.4f : 1.0f);
}

float ratioFraction (float ratio)
{
    const float r = (! std::isfinite (ratio) || ratio < 1.0f) ? 1.0f : std::min (ratio, 12.0f);
    return std::log (r) / std::log (12.0f);
}
}

EqGraph::Popup::Popup (EqGraph& o) : owner (o)
{
    setVisible (false);
}

EqGraph::Popup::~Popup()
{
    dismissMenu();
}

const vyrEq::Band* EqGraph::Popup::band() const
{
    return vyrEq::bandOf (owner.editedChannel(), bandId);
}

void EqGraph::Popup::dismissMenu()
{
    if (menuOpen)
    {
        menuOpen = false;
        juce::PopupMenu::dismissAllActiveMenus();
    }
}

//==============================================================================
void EqGraph::Popup::layoutRects (const vyrEq::Band& b)
{
    const float W = (float) getWidth(), H = (float) getHeight();
    const float s = std::min (W - 1.0f, 28.0f);
    const float bx = (s - 20.0f) / 2.0f + 0.5f;
    onRect = { bx, 6.5f, 20.0f, 20.0f };
    soloRect = { bx, 30.5f, 20.0f, 20.0f };
    closeRect = { bx, 54.5f, 20.0f, 20.0f };

    const float x0 = s + 4.5f;
    const float va = std::min (W - 1.0f - s, 150.0f);
    const float r = std::max (va - 8.0f, 0.0f);
    chipRect = shelfRect = cutRect = {};
    if (vyrEq::isEdgeId (bandId))
    {
        shelfRect = { x0, 2.5f, std::min (r, 36.0f), 14.0f };
        cutRect = { shelfRect.getRight(), 2.5f, std::max (std::min (r - 36.0f, 28.0f), 0.0f), 14.0f };
    }
    else
        chipRect = { x0, 2.5f, std::min (r, owner.dynamic ? 36.0f : 78.0f), 14.0f };

    threshRect = satRect = driveRect = expandRect = ratioRect = attackRect = releaseRect = {};
    if (! owner.dynamic)
        return;
    const float x1 = s + 0.5f + va;
    const float t = std::max (std::min (W - 1.0f - s - va, 68.0f), 0.0f);
    const float m = std::min (t, 40.0f);
    const float dxOff = t - m <= 4.0f ? -9.0f : (t - m - 22.0f) / 2.0f;
    const float dyOff = H <= 21.0f ? -21.0f : (H - 63.0f) / 2.0f;
    threshRect = { x1 + m + 2.0f + dxOff, 10.5f + dyOff, 18.0f, 42.0f };
    float rest = std::max (W - 1.0f - (x1 + t), 0.0f);
    const float x2 = x1 + t;
    const float sw = std::min (rest, 56.0f);
    satRect = { x2 + 4.0f, H / 2.0f - 10.0f, 20.0f, 20.0f };
    driveRect = { x2 + 26.0f, H / 2.0f - 16.0f, 28.0f, 28.0f };
    rest = std::max (rest - sw, 0.0f);
    const float x3 = x2 + sw;
    expandRect = { x3, 0.5f, std::min (rest, 16.0f), H - 1.0f };
    juce::ignoreUnused (b);
    if (expanded)
    {
        const float left = expandRect.getRight() + 6.0f;
        const float trackX = left + std::min (std::max (W - left, 0.0f), 36.0f);
        ratioRect = { trackX, 14.5f + 1.0f, kTrack, 12.0f };
        attackRect = { trackX, 28.5f + 1.0f, kTrack, 12.0f };
        releaseRect = { trackX, 42.5f + 1.0f, kTrack, 12.0f };
    }
}

void EqGraph::Popup::paint (juce::Graphics& g)
{
    const auto* b = band();
    if (b == nullptr)
        return;
    layoutRects (*b);
    const float W = (float) getWidth(), H = (float) getHeight();
    const juce::Rectangle<float> bodyRect (0.5f, 0.5f, std::max (W - 1.0f, 0.0f), std::max (H - 1.0f, 0.0f));
    juce::Path body;
    body.addRoundedRectangle (bodyRect, 6.0f);
    {
        juce::Graphics::ScopedSaveState save (g);
        g.setColour (juce::Colour (0xff1d2228));
        g.fillPath (body);
        g.reduceClipRegion (body);
        paintSide (g, *b);
        paintHeader (g, *b);
        const float s = std::min (W - 1.0f, 28.0f);
        const float va = std::min (W - 1.0f - s, 150.0f);
        paintValues (g, *b, va);
        if (owner.dynamic)
            paintDynamics (g, *b);
    }
    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x8c));
    g.strokePath (body, juce::PathStrokeType (1.0f));
}

void EqGraph::Popup::paintSide (juce::Graphics& g, const vyrEq::Band& b)
{
    const float H = (float) getHeight();
    const float s = std::min ((float) getWidth() - 1.0f, 28.0f);
    g.setColour (white (0x1a));
    g.fillRect (juce::Rectangle<float> (s - 0.5f, 6.5f, 1.0f, std::max (H - 13.0f, 0.0f)));

    circleButton (g, onRect, b.on, juce::Colour (0xffef4444));
    const auto onInk = b.on ? juce::Colour (0xffd4dce2) : white (0x8c);
    vyrLucide::strokeD (g, inset (onRect, 4.0f), onInk, "M12 2v10");
    vyrLucide::strokeD (g, inset (onRect, 4.0f), onInk, "M18.4 6.6a9 9 0 1 1-12.77.04");

    circleButton (g, soloRect, b.solo, vyrEq::bandColour (bandId));
    g.setFont (boldFont (8.0f));
    g.setColour (b.solo ? juce::Colour (0xffd4dce2) : white (0x8c));
    g.drawText ("S", soloRect, juce::Justification::centred, false);

    g.setColour (white (0x14));
    g.fillEllipse (closeRect);
    g.setColour (white (0x47));
    g.drawEllipse (inset (closeRect.translated (0.5f, 0.5f), 0.5f), 1.0f);
    const auto box = inset (closeRect, 4.5f);
    const float scale = std::max (std::min (closeRect.getWidth() - 9.0f, closeRect.getHeight() - 9.0f), 0.0f) / 24.0f;
    const auto pt = [&] (float u, float v) { return juce::Point<float> (box.getX() + u * scale, box.getY() + v * scale); };
    g.setColour (white (0xcc));
    g.drawLine ({ pt (6, 6), pt (18, 18) }, 2.0f * scale);
    g.drawLine ({ pt (18, 6), pt (6, 18) }, 2.0f * scale);
}

void EqGraph::Popup::paintHeader (juce::Graphics& g, const vyrEq::Band& b)
{
    const auto bc = vyrEq::bandColour (bandId);
    g.setFont (boldFont (8.0f));
    if (vyrEq::isEdgeId (bandId))
    {
        const auto part = [&] (juce::Rectangle<float> r, bool active, const char* text)
        {
            g.setColour (active ? bc : white (0x0d));
            g.fillRect (r);
            g.setColour (active ? juce::Colours::black : white (0x73));
            g.drawText (text, r, juce::Justification::centred, false);
        };
        part (shelfRect, ! b.cut, "Shelf");
        part (cutRect, b.cut, "Cut");
        g.setColour (white (0x1a));
        g.drawRoundedRectangle (shelfRect.getUnion (cutRect), 2.0f, 1.0f);
        return;
    }
    static const char* const shortNames[] = { "Bell", "Prop Q", "Band Shelf", "Bax Bass", "Bax Treble" };
    const auto chip = vyrDeepTone (bc);
    g.setColour (chip);
    g.fillRoundedRectangle (chipRect, 3.0f);
    g.setColour (vyrPaleInk (chip));
    g.drawText (owner.dynamic ? "Bell" : shortNames[juce::jlimit (0, 4, b.shape)], chipRect, juce::Justification::centred, false);
}

void EqGraph::Popup::paintValues (juce::Graphics& g, const vyrEq::Band& b, float va)
{
    const float H = (float) getHeight();
    const float s = std::min ((float) getWidth() - 1.0f, 28.0f);
    const float stripY = std::min (H - 1.0f, 18.0f) + 0.5f;
    const float stripH = std::max (std::min (H - 1.0f - 18.0f, 28.0f), 0.0f);
    float x = s + 0.5f, left = va;
    const auto column = [&] (const char* caption, const juce::String& value)
    {
        const float w = std::max (std::min (left, 48.0f), 0.0f);
        const float capH = std::min (stripH, 10.0f);
        g.setFont (spacedFont (7.0f, 0.08f));
        g.setColour (white (0x66));
        g.drawText (caption, juce::Rectangle<float> (x, stripY, w, capH), juce::Justification::centred, false);
        g.setFont (plainFont (10.0f));
        g.setColour (juce::Colours::white);
        g.drawText (value, juce::Rectangle<float> (x, stripY + capH, w, stripH - capH), juce::Justification::centred, false);
        x += w;
        left -= w;
    };
    const auto freqText = b.freq >= 1000.0f ? juce::String (b.freq / 1000.0f, 2) + "k" : juce::String ((int) std::lround (b.freq));
    column ("FREQ", freqText + " Hz");
    if (! b.cut)
        column ("GAIN", (b.gain >= 0.0f ? "+" : "") + juce::String (b.gain, 1) + " dB");
    if (vyrEq::isMidId (bandId))
        column ("Q", juce::String (b.q, 1));
    if (vyrEq::isEdgeId (bandId) && b.cut)
        column ("SLOPE", juce::String ((int) b.slope) + " dB/o");
}

void EqGraph::Popup::paintDynamics (juce::Graphics& g, const vyrEq::Band& b)
{
    const float W = (float) getWidth(), H = (float) getHeight();
    const float s = std::min (W - 1.0f, 28.0f);
    const float va = std::min (W - 1.0f - s, 150.0f);
    const float x1 = s + 0.5f + va;
    const auto bc = vyrEq::bandColour (bandId);
    const auto divider = [&] (float x)
    {
        g.setColour (white (0x1a));
        g.fillRect (juce::Rectangle<float> (x, 4.5f, 1.0f, std::max (H - 9.0f, 0.0f)));
    };

    // Threshold: caption, value and a vertical fader.
    const float t = std::max (std::min (W - 1.0f - s - va, 68.0f), 0.0f);
    divider (x1);
    const float m = std::min (t, 40.0f);
    g.setFont (spacedFont (8.0f, 0.06f));
    g.setColour (white (0x66));
    g.drawText ("THRESH", juce::Rectangle<float> (x1 + 2.0f, 8.0f, std::max (m - 4.0f, 0.0f), 12.0f), juce::Justification::centredLeft, false);
    g.setFont (plainFont (10.0f));
    g.setColour (juce::Colours::white);
    g.drawText (juce::String (b.thresh, 1) + " dB", juce::Rectangle<float> (x1 + 2.0f, 20.0f, std::max (m - 2.0f, 0.0f), std::max (H - 28.0f, 0.0f)),
                juce::Justification::centredLeft, false);
    {
        const auto r = threshRect;
        const float cx = r.getCentreX();
        g.setColour (white (0x2e));
        g.fillRect (juce::Rectangle<float> (cx - 0.5f, r.getY(), 1.0f, r.getHeight()));
        const float u = juce::jlimit (0.0f, 1.0f, (b.thresh + 60.0f) / 60.0f);
        const float vy = r.getBottom() - u * r.getHeight();
        g.setColour (bc.withAlpha ((juce::uint8) 0x8c));
        g.fillRect (juce::Rectangle<float> (cx - 1.0f, vy, 2.0f, r.getBottom() - vy));
        g.setColour (juce::Colours::white);
        g.fillEllipse (cx - 5.5f, vy - 5.5f, 11.0f, 11.0f);
        g.setColour (bc);
        g.drawEllipse (cx - 5.5f, vy - 5.5f, 11.0f, 11.0f, 2.0f);
    }

    // Saturation switch and drive dial.
    const float x2 = x1 + t;
    divider (x2);
    g.setColour (juce::Colour (b.sat ? 0xfffb923c : 0xfff0a868));
    g.fillEllipse (satRect);
    g.setColour (juce::Colour (b.sat ? 0xfffdba74 : 0xffd98a3a));
    g.drawEllipse (satRect, b.sat ? 1.2f : 1.0f);
    vyrLucide::strokeD (g, inset (satRect, 4.0f), b.sat ? juce::Colours::white : juce::Colour (0xff9a4515), kFlame);

    const auto centre = driveRect.getCentre();
    const float R = 0.42f * 28.0f;
    const auto arc = [&] (float fromDeg, float toDeg, int segments, juce::Colour c)
    {
        juce::Path p;
        for (int i = 0; i <= segments; ++i)
        {
            const float a = juce::degreesToRadians (fromDeg + (toDeg - fromDeg) * (float) i / (float) segments);
            const juce::Point<float> pt (centre.x + R * std::sin (a), centre.y - R * std::cos (a));
            i == 0 ? p.startNewSubPath (pt) : p.lineTo (pt);
        }
        g.setColour (c);
        g.strokePath (p, juce::PathStrokeType (2.2f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    };
    const float drive = juce::jlimit (0.0f, 1.0f, b.drive);
    arc (-135.0f, 135.0f, 36, white (0x1a));
    arc (-135.0f, -135.0f + 270.0f * drive, std::max ((int) std::lround (270.0f * drive), 8), juce::Colour (0xfffb923c));
    g.setColour (juce::Colour (0xff2a2e34));
    g.fillEllipse (centre.x - 0.62f * R, centre.y - 0.62f * R, 1.24f * R, 1.24f * R);
    const float va2 = juce::degreesToRadians (-135.0f + 270.0f * drive);
    g.setColour (juce::Colour (0xfffb923c));
    g.drawLine (centre.x, centre.y, centre.x + 0.55f * R * std::sin (va2), centre.y - 0.55f * R * std::cos (va2), 1.3f);
    g.setFont (plainFont (8.0f));
    g.setColour (juce::Colours::white);
    g.drawText (juce::String (b.drive, 2), juce::Rectangle<float> (driveRect.getX(), std::min (H - 12.5f, driveRect.getBottom()), 28.0f, 10.0f),
                juce::Justification::centred, false);

    // Expand column.
    divider (expandRect.getX());
    const auto ec = expandRect.getCentre();
    juce::Path tri;
    if (expanded)
        tri.addTriangle (ec.x + 3.0f, ec.y - 4.0f, ec.x + 3.0f, ec.y + 4.0f, ec.x - 3.0f, ec.y);
    else
        tri.addTriangle (ec.x - 3.0f, ec.y - 4.0f, ec.x - 3.0f, ec.y + 4.0f, ec.x + 3.0f, ec.y);
    g.setColour (white (0x80));
    g.fillPath (tri);

    if (expanded)
        paintExpanded (g, b, expandRect.getRight());
}

void EqGraph::Popup::paintExpanded (juce::Graphics& g, const vyrEq::Band& b, float left)
{
    const float W = (float) getWidth();
    const auto bc = vyrEq::bandColour (bandId);
    g.setColour (white (0x1a));
    g.fillRect (juce::Rectangle<float> (left, 4.5f, 1.0f, std::max ((float) getHeight() - 9.0f, 0.0f)));
    g.setColour (bc);
    g.fillEllipse (left + 6.0f, 3.0f, 8.0f, 8.0f);
    g.setFont (plainFont (8.0f));
    g.setColour (white (0x80));
    g.drawText ("DYNAMICS", juce::Rectangle<float> (left + 18.0f, 2.0f, std::max (W - left - 18.0f, 0.0f), 10.0f), juce::Justification::centredLeft, false);

    struct Row
    {
        const char* caption;
        juce::Rectangle<float> hit;
        float fraction;
        juce::String text;
    };
    const Row rows[] = {
        { "RATIO", ratioRect, ratioFraction (b.ratio), juce::String (juce::jlimit (1.0f, 12.0f, std::isfinite (b.ratio) ? b.ratio : 1.0f), 1) },
        { "ATTACK", attackRect, juce::jlimit (0.0f, 1.0f, (b.atk - 0.001f) / 0.499f), juce::String ((int) std::lround (b.atk * 1000.0f)) + " ms" },
        { "RELEASE", releaseRect, juce::jlimit (0.0f, 1.0f, (b.rel - 0.01f) / 0.99f), juce::String ((int) std::lround (b.rel * 1000.0f)) + " ms" },
    };
    const float rowX = left + 6.0f;
    for (const auto& row : rows)
    {
        const float cy = row.hit.getCentreY();
        g.setFont (spacedFont (8.0f, 0.06f));
        g.setColour (white (0x66));
        g.drawText (row.caption, juce::Rectangle<float> (rowX, cy - 7.0f, std::min (std::max (W - rowX, 0.0f), 36.0f), 14.0f),
                    juce::Justification::centredLeft, false);
        const float tx = row.hit.getX();
        g.setColour (white (0x2e));
        g.fillRect (juce::Rectangle<float> (tx, cy - 0.5f, kTrack, 1.0f));
        g.setColour (bc.withAlpha ((juce::uint8) 0xd9));
        g.fillRect (juce::Rectangle<float> (tx, cy - 0.5f, kTrack * row.fraction, 1.0f));
        const float kx = tx + kTrack * row.fraction;
        g.setColour (juce::Colours::white);
        g.fillEllipse (kx - 4.0f, cy - 4.0f, 8.0f, 8.0f);
        g.setColour (bc);
        g.drawEllipse (kx - 4.0f, cy - 4.0f, 8.0f, 8.0f, 1.5f);
        g.setFont (plainFont (9.0f));
        g.setColour (juce::Colours::white);
        g.drawText (row.text, juce::Rectangle<float> (tx + kTrack + 6.0f, cy - 7.0f, 60.0f, 14.0f), juce::Justification::centredLeft, false);
    }
}

//==============================================================================
void EqGraph::Popup::showShapeMenu (int currentShape)
{
    static const char* const names[] = { "Bell", "Proportional Q", "Band Shelf", "Baxandall Bass", "Baxandall Treble" };
    juce::PopupMenu menu;
    for (int i = 0; i < 5; ++i)
        menu.addItem (i + 1, names[i], true, i == currentShape);
    menuOpen = true;
    juce::Component::SafePointer<Popup> safe (this);
    menu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (this), [safe] (int result)
    {
        // The popup (or its graph) may have gone while the menu was open.
        if (safe == nullptr)
            return;
        safe->menuOpen = false;
        if (result >= 1 && safe->isShowing())
            safe->owner.patchBand (safe->bandId, [result] (vyrEq::Band& b) { b.shape = result - 1; });
    });
}

void EqGraph::Popup::mouseDown (const juce::MouseEvent& e)
{
    const auto* b = band();
    if (b == nullptr)
        return;
    layoutRects (*b);
    const auto p = e.position;
    const auto hitButton = [p] (juce::Rectangle<float> r) { return ! r.isEmpty() && grown (r, 2.0f).contains (p); };
    const auto hitField = [p] (juce::Rectangle<float> r) { return ! r.isEmpty() && grown (r, 4.0f).contains (p); };
    const bool edge = vyrEq::isEdgeId (bandId);

    if (hitButton (onRect))
        return owner.patchBand (bandId, [] (vyrEq::Band& x) { x.on = ! x.on; });
    if (hitButton (soloRect))
        return owner.patchBand (bandId, [] (vyrEq::Band& x) { x.solo = ! x.solo; });
    if (hitButton (closeRect))
        return owner.setSelectedId ({});
    if (! owner.dynamic && ! edge && hitButton (chipRect))
        return showShapeMenu (b->shape);
    if (edge && hitButton (shelfRect))
        return owner.patchBand (bandId, [] (vyrEq::Band& x) { x.cut = false; });
    if (edge && hitButton (cutRect))
        return owner.patchBand (bandId, [] (vyrEq::Band& x) { x.cut = true; });

    if (owner.dynamic)
    {
        if (hitButton (satRect))
            return owner.patchBand (bandId, [] (vyrEq::Band& x) { x.sat = ! x.sat; });
        if (hitButton (expandRect))
        {
            expanded = ! expanded;
            owner.layoutPopup();
            return;
        }
        const std::pair<juce::Rectangle<float>, int> fields[] = { { threshRect, 1 }, { driveRect, 2 }, { ratioRect, 3 },
                                                                  { attackRect, 4 }, { releaseRect, 5 } };
        for (const auto& [rect, field] : fields)
        {
            if (field >= 3 && ! expanded)
                break;
            if (hitField (rect) && ! owner.dragging)
            {
                dragField = field;
                owner.dragging = true;
                return;
            }
        }
    }

    dragField = 6;
    downPos = e.getEventRelativeTo (&owner).getPosition();
    downTopLeft = getPosition();
}

void EqGraph::Popup::dragValue (juce::Point<float> p)
{
    const auto frac = [] (float v, float from, float size) { return juce::jlimit (0.0f, 1.0f, (v - from) / std::max (size, 1.0e-6f)); };
    switch (dragField)
    {
        case 1:
        {
            const float v = -60.0f + 60.0f * juce::jlimit (0.0f, 1.0f, 1.0f - (p.y - threshRect.getY()) / threshRect.getHeight());
            return owner.patchBand (bandId, [v] (vyrEq::Band& b) { b.thresh = v; });
        }
        case 2:
        {
            const float v = frac (p.x, driveRect.getX(), driveRect.getWidth());
            return owner.patchBand (bandId, [v] (vyrEq::Band& b) { b.drive = v; });
        }
        case 3:
        {
            const float v = juce::jlimit (1.0f, 12.0f, std::pow (12.0f, frac (p.x, ratioRect.getX(), ratioRect.getWidth())));
            return owner.patchBand (bandId, [v] (vyrEq::Band& b) { b.ratio = v; });
        }
        case 4:
        {
            const float v = 0.001f + 0.499f * frac (p.x, attackRect.getX(), attackRect.getWidth());
            return owner.patchBand (bandId, [v] (vyrEq::Band& b) { b.atk = v; });
        }
        case 5:
        {
            const float v = 0.01f + 0.99f * frac (p.x, releaseRect.getX(), releaseRect.getWidth());
            return owner.patchBand (bandId, [v] (vyrEq::Band& b) { b.rel = v; });
        }
        default: return;
    }
}

void EqGraph::Popup::mouseDrag (const juce::MouseEvent& e)
{
    if (dragField >= 1 && dragField <= 5)
        return dragValue (e.position);
    if (dragField != 6)
        return;
    pinned = true;
    const auto now = e.getEventRelativeTo (&owner).getPosition();
    auto pos = downTopLeft + (now - downPos);
    const auto clampAxis = [] (int v, int parent, int size) { return v < 4 ? 4 : std::min (v, std::max (parent - size, 8) - 4); };
    pos = { clampAxis (pos.x, owner.getWidth(), getWidth()), clampAxis (pos.y, owner.getHeight(), getHeight()) };
    setTopLeftPosition (pos);
    owner.popupPos = pos;
    owner.popupPinned = true;
}

void EqGraph::Popup::mouseUp (const juce::MouseEvent&)
{
    if (dragField >= 1 && dragField <= 5)
        owner.endDrag();
    dragField = 0;
}
