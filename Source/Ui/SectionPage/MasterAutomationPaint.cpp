// Automation lane: painting of the curve, its points, handles, guides, labels, playhead and tools.
#include "Ui/SectionPage/MasterAutomationView.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrPainting.h"

namespace
{
constexpr juce::uint32 kOutlineInk = 0xff0b0e14;
const juce::String kMinus = juce::String (juce::CharPointer_UTF8 ("\xe2\x88\x92"));

void dashedLine (juce::Graphics& g, juce::Line<float> line, float on, float off, float thickness)
{
    const float dashes[] = { on, off };
    g.drawDashedLine (line, dashes, 2, thickness);
}
}

juce::Colour MasterAutomationView::accent() const
{
    return identityAccent (vyrClampTheme (processor.themeIndex.load()));
}

void MasterAutomationView::paint (juce::Graphics& g)
{
    const auto ac = accent();
    const float w = (float) getWidth(), h = (float) getHeight(), hh = headerHeight();
    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x59));
    g.fillRoundedRectangle (getLocalBounds().toFloat(), 6.0f);

    static const char* const titles[3] = { "MASTER EFFECT AUTOMATION", "SOUND IN", "SOUND OUT" };
    g.setColour (ac);
    g.setFont (juce::Font (9.0f, juce::Font::bold).withExtraKerningFactor (0.14f));
    g.drawText (titles[kind], juce::Rectangle<int> (8, 2, kind == effect ? 200 : 96, 18), juce::Justification::centredLeft, true);

    {
        juce::Graphics::ScopedSaveState save (g);
        g.reduceClipRegion (juce::Rectangle<float> (2.0f, hh + 2.0f, std::max (w - 4.0f, 0.0f), std::max (h - hh - 4.0f, 0.0f)).toNearestInt());
        paintGuides (g, ac);
        paintCurve (g, ac);
        paintHover (g, ac);
        paintHandles (g, ac);
        paintPlayhead (g, ac);
    }
    paintLabels (g);
    paintPoints (g, ac);
    paintMarquee (g, ac);
}

void MasterAutomationView::paintGuides (juce::Graphics& g, juce::Colour ac) const
{
    const float x0 = 2.0f, x1 = (float) getWidth() - 2.0f;
    g.setColour (ac.withAlpha ((juce::uint8) 0x2e));
    if (kind == soundOut)
        dashedLine (g, { x0, yOf (-12.0f), x1, yOf (-12.0f) }, 3.0f, 4.0f, 1.0f);
    else
        for (float v : { vmax(), vmin() })
            dashedLine (g, { x0, yOf (v), x1, yOf (v) }, 3.0f, 4.0f, 1.0f);
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x52));
    g.drawLine (x0, yOf (0.0f), x1, yOf (0.0f), 1.2f);
}

void MasterAutomationView::paintCurve (juce::Graphics& g, juce::Colour ac) const
{
    const auto& pts = curve();
    if (pts.size() < 2)
        return;
    juce::Path path;
    path.startNewSubPath (xOf (pts[0].t), yOf (pts[0].value));
    for (int i = 0; i + 1 < (int) pts.size(); ++i)
    {
        const auto& a = pts[(size_t) i];
        const auto& b = pts[(size_t) i + 1];
        if (a.step)
        {
            path.lineTo (xOf (b.t), yOf (a.value));
            path.lineTo (xOf (b.t), yOf (b.value));
            continue;
        }
        juce::Point<float> p0, c1, c2, p3;
        if (segCtrl (i, p0, c1, c2, p3))
            path.cubicTo (c1, c2, p3);
    }
    g.setColour (ac);
    g.strokePath (path, juce::PathStrokeType (2.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void MasterAutomationView::paintHover (juce::Graphics& g, juce::Colour ac) const
{
    const auto& pts = curve();
    const int t = activeTool();
    int seg = -1;
    if (t == toolStep)
        seg = hoverStep;
    else if (t == toolPointer && hoverPoint < 0 && hoverHandleSide == 0)
        seg = hoverHandle;
    if (seg < 0 || seg + 1 >= (int) pts.size())
        return;
    g.setColour (vyrLighten (ac, 0.6896551f));
    const auto& a = pts[(size_t) seg];
    if (t == toolStep || a.step)
    {
        g.drawLine (xOf (a.t), yOf (a.value), xOf (pts[(size_t) seg + 1].t), yOf (a.value), 3.2f);
        return;
    }
    juce::Point<float> p0, c1, c2, p3;
    segCtrl (seg, p0, c1, c2, p3);
    juce::Path path;
    path.startNewSubPath (p0);
    path.cubicTo (c1, c2, p3);
    g.strokePath (path, juce::PathStrokeType (3.2f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void MasterAutomationView::paintHandles (juce::Graphics& g, juce::Colour ac) const
{
    const int t = activeTool();
    if (t != toolPointer && t != toolCurve)
        return;
    const auto& pts = curve();
    for (int i = 0; i + 1 < (int) pts.size(); ++i)
    {
        juce::Point<float> p0, c1, c2, p3;
        if (pts[(size_t) i].step || ! segCtrl (i, p0, c1, c2, p3))
            continue;
        g.setColour (ac.withAlpha ((juce::uint8) 0x8c));
        dashedLine (g, { p0, c1 }, 3.0f, 4.0f, 1.0f);
        dashedLine (g, { p3, c2 }, 3.0f, 4.0f, 1.0f);
        for (int side : { 1, 2 })
        {
            const bool hot = (hoverHandle == i && hoverHandleSide == side)
                          || (dragHandle == i && dragMode == (side == 1 ? dragOutMode : dragInMode));
            const float r = hot ? 5.5f : 4.0f;
            const auto c = side == 1 ? c1 : c2;
            g.setColour (ac);
            g.fillEllipse (c.x - r, c.y - r, 2.0f * r, 2.0f * r);
            g.setColour (juce::Colour (kOutlineInk));
            g.drawEllipse (c.x - r, c.y - r, 2.0f * r, 2.0f * r, 1.1f);
        }
    }
}

void MasterAutomationView::paintPlayhead (juce::Graphics& g, juce::Colour ac) const
{
    auto& tr = processor.transport;
    const double length = tr.getLengthInSeconds();
    if (! (tr.getTotalLength() > 0 && length > 0.0))
        return;
    const float pos = (float) juce::jlimit (0.0, 1.0, tr.getCurrentPosition() / length);
    const float hh = headerHeight();
    g.setColour (ac.withAlpha ((juce::uint8) 0xd9));
    g.drawLine (xOf (pos), hh + 2.0f, xOf (pos), (float) getHeight() - 2.0f, 1.4f);
}

void MasterAutomationView::paintLabels (juce::Graphics& g) const
{
    const int w = getWidth();
    g.setFont (juce::Font (8.0f));
    auto label = [&] (float v, const juce::String& text, float opacity)
    {
        const float y = yOf (v);
        g.setColour (juce::Colour (0x730b0e14));
        g.fillRoundedRectangle ((float) w - 47.0f, y - 5.0f, 42.0f, 10.0f, 3.0f);
        g.setColour (juce::Colours::white.withAlpha (opacity));
        g.drawText (text, juce::Rectangle<float> ((float) w - 48.0f, y - 7.0f, 44.0f, 14.0f), juce::Justification::centredRight, false);
    };
    label (0.0f, kind == effect ? "0%" : "0 dB", 0.72f);
    if (std::abs (yOf (vmin()) - yOf (vmax())) <= 24.0f)
        return;
    if (kind == effect)
        label (50.0f, "+50%", 0.4f), label (-50.0f, kMinus + "50%", 0.4f);
    else if (kind == soundIn)
        label (24.0f, "+24 dB", 0.4f), label (-24.0f, kMinus + "24 dB", 0.4f);
    else
        label (-12.0f, kMinus + "12 dB", 0.4f), label (-24.0f, kMinus + "24 dB", 0.4f);
}

void MasterAutomationView::paintPoints (juce::Graphics& g, juce::Colour ac) const
{
    const auto& pts = curve();
    for (int i = 0; i < (int) pts.size(); ++i)
    {
        const float x = xOf (pts[(size_t) i].t), y = yOf (pts[(size_t) i].value);
        const bool hot = i == hoverPoint || (i == dragPoint && (dragMode == dragPointMode || dragMode == dragTimeMode));
        const float r = hot ? 6.5f : 5.0f;
        if (selection.count (i) > 0)
        {
            g.setColour (juce::Colours::white);
            g.drawEllipse (x - r - 3.0f, y - r - 3.0f, 2.0f * (r + 3.0f), 2.0f * (r + 3.0f), 1.4f);
        }
        g.setColour (ac);
        g.fillEllipse (x - r, y - r, 2.0f * r, 2.0f * r);
        g.setColour (juce::Colour (kOutlineInk));
        g.drawEllipse (x - r, y - r, 2.0f * r, 2.0f * r, 1.4f);
    }
}

void MasterAutomationView::paintMarquee (juce::Graphics& g, juce::Colour ac) const
{
    if (! marqueeActive)
        return;
    const auto r = juce::Rectangle<float> (marqueeStart, marqueeEnd);
    g.setColour (ac.withAlpha ((juce::uint8) 0x1f));
    g.fillRect (r);
    g.setColour (ac);
    const juce::Line<float> edges[] = { { r.getTopLeft(), r.getTopRight() }, { r.getTopRight(), r.getBottomRight() },
                                        { r.getBottomRight(), r.getBottomLeft() }, { r.getBottomLeft(), r.getTopLeft() } };
    for (auto& e : edges)
        dashedLine (g, e, 3.0f, 3.0f, 1.2f);
}

void MasterAutomationView::paintOverChildren (juce::Graphics& g)
{
    if (! hasTools)
        return;
    const auto ac = accent();
    static const vyrLucide::Painter icons[6] = { vyrLucide::drawMousePointer2, vyrLucide::drawMoveHorizontal, vyrLucide::drawSpline,
                                                 vyrLucide::drawMoveVertical, vyrLucide::drawBoxSelect, vyrLucide::drawEraser };
    const int active = activeTool();
    for (int k = 0; k < 6; ++k)
    {
        const auto r = toolButtons[k].getBounds().toFloat();
        const auto fill = k == active ? sectionLitFill (ac) : juce::Colours::white.withAlpha ((juce::uint8) 0x14);
        g.setColour (fill);
        g.fillRoundedRectangle (r, 4.0f);
        icons[k] (g, r.reduced (3.5f), k == active ? sectionLitInk (fill) : juce::Colours::white.withAlpha ((juce::uint8) 0xb2));
    }
    const auto ink = juce::Colours::white.withAlpha ((juce::uint8) 0xc7);
    for (auto* b : { &zoomOutButton, &zoomInButton, &fitButton })
    {
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x14));
        g.fillRoundedRectangle (b->getBounds().toFloat(), 4.0f);
    }
    vyrLucide::strokeD (g, zoomOutButton.getBounds().toFloat().reduced (3.5f), ink, "M5 12h14");
    const auto in = zoomInButton.getBounds().toFloat().reduced (3.5f);
    vyrLucide::strokeD (g, in, ink, "M5 12h14");
    vyrLucide::strokeD (g, in, ink, "M12 5v14");
    const auto fit = fitButton.getBounds().toFloat().reduced (3.5f);
    for (const char* d : { "M15 3h6v6", "M9 21H3v-6", "M21 3 14 10", "M3 21 10 14" })
        vyrLucide::strokeD (g, fit, ink, d);
}
