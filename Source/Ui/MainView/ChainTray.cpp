#include "Ui/MainView/ChainTray.h"

#include "Core/PluginProcessor.h"
#include "Dsp/SignalChain.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrTheme.h"

#include <cmath>

namespace
{
constexpr int kJack = 40; // unscaled width of the IN and OUT jacks
const juce::Colour kInColour (0xff5ad391);
const juce::Colour kOutColour (0xffff808b);
const juce::Colour kOverviewColour (0xff22d3ee);
const juce::Colour kAddColour (0xff64748b);

juce::String moduleId (int module) { return vyrChain::kFxOrder[juce::jlimit (0, 12, module)]; }

juce::Font boldFont (float height)
{
    return juce::Font (height, juce::Font::bold);
}
}

ChainTray::ChainTray (VyrAudioProcessor& p)
    : processor (p)
{
    setOpaque (false);
    setMouseCursor (juce::MouseCursor::NormalCursor);
}

ChainTray::~ChainTray()
{
    onChanged = nullptr;
    onSelect = nullptr;
    onOverview = nullptr;
}

juce::String ChainTray::captionFor (const juce::String& id)
{
    static const std::pair<const char*, const char*> captions[] = {
        { "compressor", "CMP" }, { "saturation", "SAT" },    { "analogueDensity", "DEN" }, { "clip", "CLP" },
        { "tape", "TPE" },       { "delay", "DEL" },         { "reverb", "REV" },          { "eq", "EQ" },
        { "dynamicEq", "EQD" },  { "multiBandComp", "MBC" }, { "tovu", "TOV" },            { "stereoImager", "IMG" },
        { "limiter", "LIM" },
    };
    for (const auto& [key, caption] : captions)
        if (id == key)
            return caption;
    return id.toUpperCase();
}

bool ChainTray::isModuleEnabled (int module) const
{
    if (auto* p = processor.apvts.getParameter (moduleId (module) + "_enabled"))
        return p->convertFrom0to1 (p->getValue()) >= 0.5f;
    return false;
}

void ChainTray::refreshVisible()
{
    int n = 0;
    for (int i = 0; i < 13; ++i)
    {
        const int m = juce::jlimit (0, 12, (int) processor.fxOrder[i]);
        if (compact && m == vyrChain::tovuModule)
            continue;
        if (onlyEnabled && ! isModuleEnabled (m))
            continue;
        visibleSlot[n] = i;
        visibleModule[n] = m;
        ++n;
    }
    visibleCount = n;
}

void ChainTray::layoutHits()
{
    refreshVisible();
    const int n = visibleCount;
    const float aw = juce::jmax ((float) getWidth() - 2.0f * padX, 0.0f);
    const float ah = juce::jmax ((float) getHeight() - 2.0f * padY, 0.0f);
    const int q = n + (compact ? 0 : 2);
    const float c0 = (float) (q * tileWidth + 2 * kJack);
    float g = 12.0f;
    if (compact && aw > c0)
        g = juce::jmax ((aw - c0) / (float) (q + 1), 12.0f); // the tiles spread over the width
    const float c = c0 + (float) (q + 1) * g;
    const float s = juce::jmin (aw / juce::jmax (c, 1.0f), 1.0f);
    row = { (aw - c * s) / 2.0f + padX, (ah - (float) tileHeight * s) / 2.0f + padY, s, g, c };

    auto tileAt = [this, g, s] (int k)
    {
        const float u = (float) kJack + g + (float) k * ((float) tileWidth + g);
        return juce::Rectangle<int> (juce::roundToInt (row.x0 + u * s), juce::roundToInt (row.y0),
                                     juce::roundToInt ((float) tileWidth * s), juce::roundToInt ((float) tileHeight * s));
    };
    for (int k = 0; k < 13; ++k)
        tileBounds[k] = k < n ? tileAt (k) : juce::Rectangle<int>();
    overviewBounds = compact ? juce::Rectangle<int>() : tileAt (n);
    addBounds = compact ? juce::Rectangle<int>() : tileAt (n + 1);
}

//==============================================================================
void ChainTray::mouseDown (const juce::MouseEvent& e)
{
    layoutHits();
    const auto p = e.getPosition();
    if (! compact)
    {
        if (addBounds.contains (p))
        {
            showAddMenu();
            return;
        }
        if (overviewBounds.contains (p))
        {
            overviewMode = true;
            if (onOverview)
                onOverview();
            pressedTile = -1;
            repaint();
            return;
        }
    }
    for (int k = 0; k < visibleCount; ++k)
        if (tileBounds[k].contains (p))
        {
            pressedTile = dropIndex = k;
            pressPos = dragPos = p;
            dragging = false;
            return;
        }
}

void ChainTray::mouseDrag (const juce::MouseEvent& e)
{
    if (pressedTile < 0)
        return;
    const auto p = e.getPosition();
    if (! dragging)
    {
        if (juce::roundToInt (pressPos.getDistanceFrom (p)) < 5)
            return;
        dragging = true;
    }
    dragPos = p;
    dropIndex = visibleCount;
    for (int k = 0; k < visibleCount; ++k)
        if (tileBounds[k].getX() + tileBounds[k].getWidth() / 2 > p.x)
        {
            dropIndex = k;
            break;
        }
    setMouseCursor (juce::MouseCursor::DraggingHandCursor);
    repaint();
}

int ChainTray::dropTarget() const
{
    // The tile leaves its own place first, so a drop to its right lands one position earlier.
    int t = dropIndex - (pressedTile < dropIndex ? 1 : 0);
    return visibleCount < 2 ? 0 : juce::jlimit (0, visibleCount - 1, t);
}

void ChainTray::finishDrag()
{
    const int a = pressedTile;
    const int t = dropTarget();
    const int dragged = visibleModule[a];
    if (t != a && a < visibleCount && t < visibleCount)
    {
        // Only the visible positions rotate; hidden modules keep their places in the order.
        juce::Array<int> modules;
        for (int k = 0; k < visibleCount; ++k)
            modules.add (juce::jlimit (0, 12, (int) processor.fxOrder[visibleSlot[k]]));
        modules.move (a, t);
        int order[13];
        for (int i = 0; i < 13; ++i)
            order[i] = (int) processor.fxOrder[i];
        for (int k = 0; k < visibleCount; ++k)
            order[visibleSlot[k]] = modules[k];
        processor.setFxOrder (order);
    }
    selectedModule = dragged;
    overviewMode = false;
    layoutHits();
    notify (true, true);
}

void ChainTray::notify (bool select, bool changed)
{
    // An owner may rebuild (or drop) the tray from its first callback.
    juce::Component::SafePointer<ChainTray> safe (this);
    if (select && onSelect)
        onSelect (selectedModule);
    if (changed && safe != nullptr && onChanged)
        onChanged();
}

void ChainTray::toggleEnabled (int module)
{
    if (auto* p = processor.apvts.getParameter (moduleId (module) + "_enabled"))
        p->setValueNotifyingHost (p->getValue() < 0.5f ? 1.0f : 0.0f);
}

void ChainTray::setEnabledOn (int module)
{
    if (auto* p = processor.apvts.getParameter (moduleId (module) + "_enabled"))
        p->setValueNotifyingHost (1.0f);
}

void ChainTray::mouseUp (const juce::MouseEvent& e)
{
    if (pressedTile < 0 || pressedTile >= visibleCount)
    {
        pressedTile = -1;
        return;
    }
    juce::Component::SafePointer<ChainTray> safe (this);
    if (dragging)
        finishDrag();
    else if (e.getLengthOfMousePress() < longPressMs)
    {
        selectedModule = visibleModule[pressedTile];
        overviewMode = false;
        notify (true, false);
    }
    else
    {
        // A long press acts on release: nothing happens at the 320 ms mark while the button is held.
        toggleEnabled (visibleModule[pressedTile]);
        notify (false, true);
    }
    if (safe == nullptr)
        return;
    pressedTile = dropIndex = -1;
    dragging = false;
    setMouseCursor (juce::MouseCursor::NormalCursor);
    repaint();
}

//==============================================================================
juce::PopupMenu ChainTray::buildAddMenu() const
{
    juce::PopupMenu menu;
    menu.addSectionHeader ("Add / enable module");
    for (int i = 0; i < 13; ++i)
        menu.addItem (i + 1, vyrFxTitle (moduleId (i)), true, isModuleEnabled (i));
    return menu;
}

void ChainTray::showAddMenu()
{
    // The result arrives after this press has returned; the safe pointer drops it when the tray
    // is gone by then.
    juce::Component::SafePointer<ChainTray> safe (this);
    buildAddMenu().showMenuAsync (juce::PopupMenu::Options().withTargetComponent (this),
                                  [safe] (int r)
                                  {
                                      if (auto* tray = safe.getComponent())
                                          tray->applyAddMenuResult (r);
                                  });
}

void ChainTray::applyAddMenuResult (int r)
{
    if (r < 1 || r > 13)
        return;
    selectedModule = r - 1;
    overviewMode = false;
    setEnabledOn (selectedModule);
    juce::Component::SafePointer<ChainTray> safe (this);
    notify (true, true);
    if (safe != nullptr)
        repaint();
}

//==============================================================================
void ChainTray::paint (juce::Graphics& g)
{
    layoutHits();
    const auto bounds = getLocalBounds().toFloat();
    g.setColour (juce::Colour (0xe6060b14));
    g.fillRoundedRectangle (bounds, 10.0f);
    g.setColour (juce::Colour (0x4d22d3ee));
    g.drawRoundedRectangle (bounds.reduced (0.5f), 10.0f, 1.0f);
    if (row.scale < 0.05f)
        return; // too small for the row to show anything (and dashes of no length never end)

    paintJack (g, 0.0f, kInColour, "IN");
    paintWires (g);
    for (int k = 0; k < visibleCount; ++k)
    {
        const int m = visibleModule[k];
        const bool selected = showSelection && ! overviewMode && m == selectedModule;
        paintTile (g, tileBounds[k].toFloat(), m, isModuleEnabled (m), selected, dragging && k == pressedTile, false);
    }
    if (! compact)
    {
        paintOverviewTile (g);
        paintAddTile (g);
    }
    paintJack (g, row.content - (float) kJack, kOutColour, "OUT");

    if (dragging && pressedTile >= 0 && pressedTile < visibleCount)
    {
        if (dropTarget() != pressedTile)
            paintInsertionBar (g);
        const auto& own = tileBounds[pressedTile];
        const float s = row.scale;
        const float x = juce::jlimit (4.0f, juce::jmax ((float) getWidth() - (float) tileWidth * s - 4.0f, 4.0f),
                                      (float) (own.getX() + dragPos.x - pressPos.x));
        const int m = visibleModule[pressedTile];
        paintTile (g, own.toFloat().withPosition (x, (float) own.getY() - 2.0f), m, isModuleEnabled (m), false, false, true);
    }
}

void ChainTray::paintJack (juce::Graphics& g, float unscaledX, juce::Colour colour, const char* label) const
{
    const float s = row.scale, d = (float) kJack * s;
    const auto r = juce::Rectangle<float> (row.x0 + unscaledX * s, row.y0 + (float) tileHeight * s / 2.0f - d / 2.0f, d, d);
    g.setColour (colour.withAlpha ((juce::uint8) 0x8c));
    g.fillEllipse (r);
    g.setColour (colour);
    g.drawEllipse (r, 1.6f);
    g.setColour (juce::Colours::white);
    g.setFont (boldFont (juce::jmax (10.0f * s, 9.0f)));
    g.drawText (label, r, juce::Justification::centred, false);
}

void ChainTray::paintWires (juce::Graphics& g) const
{
    // Elements in row order with their unscaled left edge, width and colour; a wire runs from the
    // right edge of each element across the gap to the next one.
    struct Element
    {
        float x, w;
        juce::Colour colour;
        bool enabled;
    };
    Element elements[17];
    int count = 0;
    const float tw = (float) tileWidth, gap = row.gap;
    elements[count++] = { 0.0f, (float) kJack, kInColour, true };
    for (int k = 0; k < visibleCount; ++k)
    {
        const int m = visibleModule[k];
        elements[count++] = { (float) kJack + gap + (float) k * (tw + gap), tw, vyrFxColour (moduleId (m)), isModuleEnabled (m) };
    }
    if (! compact)
    {
        elements[count++] = { (float) kJack + gap + (float) visibleCount * (tw + gap), tw, kOverviewColour, true };
        elements[count++] = { (float) kJack + gap + (float) (visibleCount + 1) * (tw + gap), tw, kAddColour, true };
    }
    elements[count++] = { row.content - (float) kJack, (float) kJack, kOutColour, true };

    const float s = row.scale, mid = row.y0 + (float) tileHeight * s / 2.0f, dot = 5.0f * s;
    for (int i = 0; i + 1 < count; ++i)
    {
        const auto& a = elements[i];
        const auto& b = elements[i + 1];
        const auto right = (i == 0 && visibleCount == 0) ? kOutColour : b.colour;
        const float x1 = row.x0 + (a.x + a.w) * s, x2 = row.x0 + b.x * s;
        if (x2 <= x1)
            continue;
        const float opacity = a.enabled ? 1.0f : 0.35f;
        g.setGradientFill (juce::ColourGradient (a.colour.withMultipliedAlpha (opacity), x1, mid,
                                                 right.withMultipliedAlpha (opacity), x2, mid, false));
        g.fillRect (x1, mid - 1.0f, x2 - x1, 2.0f);
        g.setColour (right.withMultipliedAlpha (opacity));
        g.fillEllipse (x2 - dot, mid - dot / 2.0f, dot, dot);
    }
}

void ChainTray::paintTile (juce::Graphics& g, juce::Rectangle<float> r, int module, bool enabled, bool selected, bool ghost,
                           bool lifted) const
{
    const float s = row.scale;
    const auto id = moduleId (module);
    const auto colour = vyrFxColour (id);
    const float opacity = ghost ? 0.26f : (lifted ? 0.96f : (enabled ? 1.0f : 0.82f));
    // The faded tile is drawn through a layer only as large as the tile and its outlines.
    juce::Graphics::ScopedSaveState save (g);
    if (opacity < 1.0f)
    {
        g.reduceClipRegion (r.expanded (6.0f).getSmallestIntegerContainer());
        g.beginTransparencyLayer (opacity);
    }

    g.setGradientFill (juce::ColourGradient (colour.withAlpha ((juce::uint8) (enabled ? 0x33 : 0x1f)), r.getX(), r.getY(),
                                             juce::Colour (enabled ? 0xff1a1714 : 0xff2b2e35), r.getX(), r.getBottom(), false));
    g.fillRoundedRectangle (r, 6.0f * s);
    g.setColour (enabled ? colour : colour.withAlpha ((juce::uint8) 0x80));
    g.drawRoundedRectangle (r, 6.0f * s, lifted ? 1.6f : 1.2f);

    if (lifted)
    {
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0xe0));
        g.drawRoundedRectangle (r.expanded (1.5f), 7.0f * s, 2.0f);
        g.setColour (juce::Colour (0x6622d3ee));
        g.drawRoundedRectangle (r.expanded (3.5f), 8.0f * s, 1.2f);
    }
    else if (selected)
    {
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0xd9));
        g.drawRoundedRectangle (r.expanded (1.0f), 7.0f * s, 2.0f);
    }

    paintTileFace (g, r, id, colour, enabled, captionFor (id));

    if (opacity < 1.0f)
        g.endTransparencyLayer();
}

void ChainTray::paintOverviewTile (juce::Graphics& g) const
{
    const float s = row.scale;
    const auto r = overviewBounds.toFloat();
    g.setGradientFill (juce::ColourGradient (juce::Colour (0x3322d3ee), r.getX(), r.getY(), juce::Colour (0xff1a1714), r.getX(),
                                             r.getBottom(), false));
    g.fillRoundedRectangle (r, 6.0f * s);
    g.setColour (kOverviewColour);
    g.drawRoundedRectangle (r, 6.0f * s, 1.2f);
    if (showSelection && overviewMode)
    {
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0xd9));
        g.drawRoundedRectangle (r.expanded (1.0f), 7.0f * s, 2.0f);
    }
    paintTileFace (g, r, "multimeter", kOverviewColour, true, "MTR");
}

void ChainTray::paintTileFace (juce::Graphics& g, juce::Rectangle<float> r, const juce::String& icon, juce::Colour colour,
                               bool lit, const juce::String& caption) const
{
    const float s = row.scale;
    vyrLucide::drawGrip (g, { r.getX() + s, r.getY() + s, 14.0f * s, 16.0f * s }, colour);
    vyrLucide::drawLed (g, r, lit, s);
    const float h = r.getHeight(), band = juce::jmax (0.34f * h, 16.0f * s);
    const float iconH = juce::jmin (juce::jmax (h - 16.0f * s - band, 14.0f), 22.0f * s);
    vyrLucide::drawSlot (g, { r.getX() + 8.0f * s, r.getY() + 10.0f * s, r.getWidth() - 16.0f * s, iconH }, icon, colour);
    const float bandH = juce::jmin ((float) juce::roundToInt (h), std::ceil (band));
    g.setColour (juce::Colour (0xffd4d8de));
    g.setFont (boldFont (juce::jmax (11.0f * s, 0.22f * h)));
    g.drawText (caption, r.withTop (r.getBottom() - bandH), juce::Justification::centred, false);
}

void ChainTray::paintAddTile (juce::Graphics& g) const
{
    const float s = row.scale;
    const auto r = addBounds.toFloat();
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x0d));
    g.fillRoundedRectangle (r, 6.0f * s);

    juce::Path outline, dashed;
    outline.addRoundedRectangle (r, 6.0f * s);
    const float dashes[] = { 4.0f * s, 3.0f * s };
    juce::PathStrokeType (1.4f).createDashedStroke (dashed, outline, dashes, 2);
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x38));
    g.fillPath (dashed);

    const auto centre = r.getCentre().translated (0.0f, -6.0f * s);
    const auto disc = juce::Rectangle<float> (26.0f * s, 26.0f * s).withCentre (centre);
    g.setColour (juce::Colour (0x2622d3ee));
    g.fillEllipse (disc);
    g.setColour (juce::Colour (0x9922d3ee));
    g.drawEllipse (disc, s);
    const auto plus = juce::Rectangle<float> (18.0f * s, 18.0f * s).withCentre (centre);
    vyrLucide::strokeD (g, plus, juce::Colour (0xff67e8f9), "M5 12h14");
    vyrLucide::strokeD (g, plus, juce::Colour (0xff67e8f9), "M12 5v14");

    const float h = r.getHeight(), band = juce::jmax (0.34f * h, 16.0f * s);
    g.setColour (juce::Colour (0xffb4bcc6));
    g.setFont (boldFont (juce::jmax (10.0f * s, 0.18f * h)));
    g.drawFittedText ("add", r.withTop (r.getBottom() - juce::jmin (h, std::ceil (band))).toNearestInt(),
                      juce::Justification::centred, 1);
}

void ChainTray::paintInsertionBar (juce::Graphics& g) const
{
    const float s = row.scale;
    float x = 0.0f;
    if (dropIndex >= 0 && dropIndex < visibleCount)
        x = (float) tileBounds[dropIndex].getX() - 2.0f * s;
    else if (visibleCount > 0)
        x = (float) tileBounds[visibleCount - 1].getRight() + 3.0f * s;
    x -= 1.6f;
    const float top = row.y0, bottom = row.y0 + (float) tileHeight * s;
    g.setColour (juce::Colour (0x4722d3ee));
    g.fillRoundedRectangle (x + 1.6f - 4.6f, top - 7.0f, 9.2f, bottom - top + 14.0f, 3.0f);
    g.setColour (juce::Colour (0xff67e8f9));
    g.fillRoundedRectangle (x, top - 5.0f, 3.2f, bottom - top + 10.0f, 1.6f);
}
