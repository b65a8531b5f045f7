// Automation lane: construction, geometry, hit tests, editing, zoom and the timer.
#include "Ui/SectionPage/MasterAutomationView.h"

#include "Core/PluginProcessor.h"
#include "Ui/Controls/GhostButton.h"
#include "Ui/Controls/VyrMeterHelpers.h"

#include <cmath>

namespace
{
const char* const kToolTips[6] = {
    "Pointer: click to add, drag points and handles. Right-click (or Option-click) a segment to switch step / curve. Double-click removes.",
    "Move: drag a point in time only (value stays put).",
    "Curve: drag a handle or the S-join to pull the cubic.",
    "Step: drag a horizontal section plane up/down (effect \xc2\xb1" "50%, IN \xc2\xb1" "24 dB, OUT 0 to \xe2\x88\x92" "24 dB).",
    "Select: marquee several points, then drag to move them.",
    "Eraser: click a point to remove it.",
};

// Minimum distance in file position between a dragged point and its neighbours.
constexpr float kPointGap = 0.01f;
constexpr float kSelectionGap = 0.002f;
constexpr float kInsertMargin = 0.012f;
}

MasterAutomationView::MasterAutomationView (VyrAudioProcessor& p, Kind k, bool withTools)
    : processor (p), kind (k), hasTools (withTools), navigator (p)
{
    if (hasTools)
    {
        addAndMakeVisible (navigator);
        for (int i = 0; i < 6; ++i)
        {
            ghostBtn (toolButtons[i]);
            toolButtons[i].setTooltip (juce::CharPointer_UTF8 (kToolTips[i]));
            toolButtons[i].onClick = [this, i] { selectTool (i); };
            addAndMakeVisible (toolButtons[i]);
        }
        const std::pair<juce::TextButton*, const char*> views[] = {
            { &zoomOutButton, "Zoom out" }, { &zoomInButton, "Zoom in" }, { &fitButton, "Reset size \xe2\x80\x94 fit whole file" }
        };
        for (auto& [button, tip] : views)
        {
            ghostBtn (*button);
            button->setTooltip (juce::CharPointer_UTF8 (tip));
            addAndMakeVisible (*button);
        }
        zoomOutButton.onClick = [this] { zoomBy (1.25f); };
        zoomInButton.onClick = [this] { zoomBy (0.8f); };
        fitButton.onClick = [this] { fitView(); };
    }
    startTimer (50);
}

MasterAutomationView::~MasterAutomationView() = default;

std::vector<VyrAutoPt>& MasterAutomationView::curve() const
{
    auto& sec = processor.section;
    return kind == effect ? sec.autoFx : (kind == soundIn ? sec.autoIn : sec.autoOut);
}

float MasterAutomationView::vmin() const noexcept { return kind == effect ? -50.0f : -24.0f; }
float MasterAutomationView::vmax() const noexcept { return kind == effect ? 50.0f : (kind == soundIn ? 24.0f : 0.0f); }

int MasterAutomationView::activeTool() const
{
    return masterLane != nullptr ? masterLane->tool : tool;
}

void MasterAutomationView::selectTool (int t)
{
    tool = juce::jlimit (0, 5, t);
    dragMode = noDrag;
    marqueeActive = false;
    selection.clear();
    viewChanged();
}

void MasterAutomationView::viewChanged()
{
    if (onViewChanged)
        onViewChanged();
    else
    {
        if (hasTools)
            navigator.repaint();
        repaint();
    }
}

void MasterAutomationView::curveChanged()
{
    processor.publishChainShared();
    repaint();
}

//==============================================================================
// Geometry

float MasterAutomationView::xOf (float t) const noexcept
{
    const float u = zoomWindow != nullptr ? (t - zoomWindow->start) / std::max (zoomWindow->width, 1e-6f) : t;
    return 13.0f + u * (float) std::max (getWidth() - 26, 1);
}

float MasterAutomationView::yOf (float v) const noexcept
{
    const float hh = headerHeight();
    const float plotH = std::max (1.0f, (float) getHeight() - hh - 16.0f);
    return hh + 8.0f + (vmax() - v) / std::max (vmax() - vmin(), 1e-6f) * plotH;
}

float MasterAutomationView::xToT (float x) const noexcept
{
    const float u = (x - 13.0f) / (float) std::max (getWidth() - 26, 1);
    return juce::jlimit (0.0f, 1.0f, zoomWindow != nullptr ? u * zoomWindow->width + zoomWindow->start : u);
}

float MasterAutomationView::snappedValue (float y) const noexcept
{
    const float hh = headerHeight();
    const float plotH = std::max (1.0f, (float) getHeight() - hh - 16.0f);
    const float v = vmax() - (y - (hh + 8.0f)) / plotH * (vmax() - vmin());
    return juce::jlimit (vmin(), vmax(), std::round (v * 2.0f) / 2.0f);
}

//==============================================================================
// Hit tests

int MasterAutomationView::hitPoint (juce::Point<float> p) const
{
    const auto& pts = curve();
    for (int i = 0; i < (int) pts.size(); ++i)
        if (p.getDistanceFrom ({ xOf (pts[(size_t) i].t), yOf (pts[(size_t) i].value) }) < 10.0f)
            return i;
    return -1;
}

int MasterAutomationView::hitSegment (juce::Point<float> p) const
{
    const auto& pts = curve();
    const int n = (int) pts.size();
    if (n <= 1)
        return -1;
    const float t = xToT (p.x);
    for (int i = 0; i + 1 < n; ++i)
        if (pts[(size_t) i].t <= t && t <= pts[(size_t) i + 1].t)
            return i;
    return -1;
}

int MasterAutomationView::hitHandle (juce::Point<float> p, int& side) const
{
    const auto& pts = curve();
    side = 0;
    for (int i = 0; i + 1 < (int) pts.size(); ++i)
    {
        if (pts[(size_t) i].step)
            continue;
        juce::Point<float> p0, c1, c2, p3;
        if (! segCtrl (i, p0, c1, c2, p3))
            continue;
        if (p.getDistanceFrom (c1) < 11.0f)
        {
            side = 1;
            return i;
        }
        if (p.getDistanceFrom (c2) < 11.0f)
        {
            side = 2;
            return i;
        }
    }
    return -1;
}

int MasterAutomationView::hitStep (juce::Point<float> p) const
{
    const auto& pts = curve();
    for (int i = 0; i + 1 < (int) pts.size(); ++i)
    {
        const auto& a = pts[(size_t) i];
        if (a.step && p.x >= xOf (a.t) - 2.0f && p.x <= xOf (pts[(size_t) i + 1].t) + 2.0f && std::abs (p.y - yOf (a.value)) < 9.0f)
            return i;
    }
    return -1;
}

bool MasterAutomationView::segCtrl (int i, juce::Point<float>& p0, juce::Point<float>& c1, juce::Point<float>& c2, juce::Point<float>& p3) const
{
    const auto& pts = curve();
    if (i < 0 || i + 1 >= (int) pts.size())
        return false;
    const auto& a = pts[(size_t) i];
    const auto& b = pts[(size_t) i + 1];
    const float dt = b.t - a.t, dv = b.value - a.value;
    const float c1t = a.hasOut ? a.t + a.outT : a.t + dt / 3.0f;
    const float c1v = a.hasOut ? a.value + a.outV : a.value + dv / 3.0f;
    const float c2t = b.hasIn ? b.t + b.inT : b.t - dt / 3.0f;
    const float c2v = b.hasIn ? b.value + b.inV : b.value - dv / 3.0f;
    p0 = { xOf (a.t), yOf (a.value) };
    c1 = { xOf (c1t), yOf (c1v) };
    c2 = { xOf (c2t), yOf (c2v) };
    p3 = { xOf (b.t), yOf (b.value) };
    return true;
}

//==============================================================================
// Edits

int MasterAutomationView::insertPoint (juce::Point<float> p)
{
    auto& pts = curve();
    const int n = (int) pts.size();
    if (n < 2)
        return -1;
    const float t = juce::jlimit (kInsertMargin, 1.0f - kInsertMargin, xToT (p.x));
    for (int i = 0; i < n; ++i)
        if (std::abs (pts[(size_t) i].t - t) < kInsertMargin)
            return i;
    int j = n - 1;
    for (int k = 1; k < n; ++k)
        if (t < pts[(size_t) k].t)
        {
            j = k;
            break;
        }
    // A curve restored from a state may end before the new time: the point would break the time
    // order the editor and the audio thread's sampler rely on, so nothing is inserted.
    if (! (pts[(size_t) j - 1].t < t && t < pts[(size_t) j].t))
        return -1;
    VyrAutoPt fresh;
    fresh.t = t;
    fresh.value = snappedValue (p.y);
    pts.insert (pts.begin() + j, fresh);

    // Selected indexes keep pointing at the same points.
    std::set<int> moved;
    for (int s : selection)
        moved.insert (s >= j ? s + 1 : s);
    selection = std::move (moved);
    curveChanged();
    return j;
}

void MasterAutomationView::erasePoint (int f)
{
    auto& pts = curve();
    if (f < 1 || f > (int) pts.size() - 2)
        return;
    pts.erase (pts.begin() + f);
    std::set<int> moved;
    for (int s : selection)
        if (s != f)
            moved.insert (s > f ? s - 1 : s);
    selection = std::move (moved);
    hoverPoint = -1;
    curveChanged();
}

void MasterAutomationView::toggleSegment (int i)
{
    auto& pts = curve();
    if (i < 0 || i + 1 >= (int) pts.size())
        return;
    auto& a = pts[(size_t) i];
    auto& b = pts[(size_t) i + 1];
    a.step = ! a.step;
    if (a.step)
    {
        a.hasOut = false;
        b.hasIn = false;
    }
    else
    {
        const float d = std::max (b.t - a.t, 1e-6f);
        a.hasOut = true, a.outT = d / 3.0f, a.outV = 0.0f;
        b.hasIn = true, b.inT = -d / 3.0f, b.inV = 0.0f;
    }
    curveChanged();
}

void MasterAutomationView::harvestMarquee()
{
    const auto& pts = curve();
    const float x0 = std::min (marqueeStart.x, marqueeEnd.x), x1 = std::max (marqueeStart.x, marqueeEnd.x);
    const float y0 = std::min (marqueeStart.y, marqueeEnd.y), y1 = std::max (marqueeStart.y, marqueeEnd.y);
    selection = baseSelection;
    for (int i = 0; i < (int) pts.size(); ++i)
    {
        const float x = xOf (pts[(size_t) i].t), y = yOf (pts[(size_t) i].value);
        if (x0 <= x && x < x1 && y0 <= y && y < y1)
            selection.insert (i);
    }
}

//==============================================================================
// Mouse

void MasterAutomationView::mouseDown (const juce::MouseEvent& e)
{
    if (e.position.y < headerHeight())
        return;
    pressWithTool (e, activeTool());
}

void MasterAutomationView::pressWithTool (const juce::MouseEvent& e, int t)
{
    auto& pts = curve();
    const int n = (int) pts.size();
    const auto p = e.position;
    if (t == toolPointer && (e.mods.isCtrlDown() || e.mods.isAltDown() || e.mods.isRightButtonDown()))
    {
        const int hit = hitPoint (p);
        const int s = hit >= 0 ? std::min (hit, n - 2) : hitSegment (p);
        if (s >= 0)
            toggleSegment (s);
        repaint();
        return;
    }
    if (t == toolPointer || t == toolCurve)
    {
        int side = 0;
        const int h = hitHandle (p, side);
        if (h >= 0)
        {
            dragMode = side == 1 ? dragOutMode : dragInMode;
            dragHandle = h, dragHandleSide = side;
        }
        else if (t == toolPointer)
        {
            int i = hitPoint (p);
            if (i < 0)
                i = insertPoint (p);
            if (i >= 0)
                dragMode = dragPointMode, dragPoint = i;
        }
        else
        {
            const float at = xToT (p.x);
            for (int i = 0; i + 1 < n; ++i)
                if (! pts[(size_t) i].step && pts[(size_t) i].t <= at && at <= pts[(size_t) i + 1].t)
                {
                    dragMode = dragOutMode, dragHandle = i, dragHandleSide = 1;
                    break;
                }
        }
        repaint();
        return;
    }
    if (t == toolMove)
    {
        if (const int i = hitPoint (p); i >= 0)
            dragMode = dragTimeMode, dragPoint = i;
        return;
    }
    if (t == toolStep)
    {
        if (const int i = hitStep (p); i >= 0)
            dragMode = dragStepMode, dragPoint = i;
        return;
    }
    if (t == toolSelect)
    {
        pressSelect (e);
        return;
    }
    if (t == toolEraser)
    {
        erasePoint (hitPoint (p));
        repaint();
    }
}

void MasterAutomationView::pressSelect (const juce::MouseEvent& e)
{
    const int i = hitPoint (e.position);
    if (i < 0)
    {
        if (! e.mods.isShiftDown())
            selection.clear();
        baseSelection = e.mods.isShiftDown() ? selection : std::set<int> {};
        dragMode = dragMarqueeMode;
        marqueeActive = true;
        marqueeStart = marqueeEnd = e.position;
        harvestMarquee();
        repaint();
        return;
    }
    if (e.mods.isShiftDown())
    {
        if (selection.count (i) > 0)
            selection.erase (i);
        else
            selection.insert (i);
        repaint();
        return;
    }
    if (selection.count (i) == 0)
        selection = { i };
    dragMode = dragSelectionMode;
    dragAnchor = e.position;
}

void MasterAutomationView::dragPointTo (int i, juce::Point<float> p, bool timeOnly)
{
    auto& pts = curve();
    const int n = (int) pts.size();
    if (i < 0 || i >= n)
        return;
    auto& pt = pts[(size_t) i];
    if (i > 0 && i < n - 1)
        pt.t = juce::jlimit (pts[(size_t) i - 1].t + kPointGap, pts[(size_t) i + 1].t - kPointGap, xToT (p.x));
    if (timeOnly)
        return;
    pt.value = snappedValue (p.y);
    // A step plane and the start of the curve after it move together.
    if (pt.step && i + 1 < n && ! pts[(size_t) i + 1].step)
        pts[(size_t) i + 1].value = pt.value;
}

void MasterAutomationView::dragHandleTo (juce::Point<float> p)
{
    auto& pts = curve();
    const int i = dragHandle;
    if (i < 0 || i + 1 >= (int) pts.size())
        return;
    auto& a = pts[(size_t) i];
    auto& b = pts[(size_t) i + 1];
    const float dt = std::max (b.t - a.t, 1e-6f);
    const float v = snappedValue (p.y);
    if (dragMode == dragOutMode)
    {
        a.hasOut = true;
        a.outT = juce::jlimit (0.0f, dt, xToT (p.x) - a.t);
        a.outV = juce::jlimit (vmin() - a.value, vmax() - a.value, v - a.value);
        a.step = false;
    }
    else
    {
        b.hasIn = true;
        b.inT = juce::jlimit (-dt, 0.0f, xToT (p.x) - b.t);
        b.inV = juce::jlimit (vmin() - b.value, vmax() - b.value, v - b.value);
    }
}

void MasterAutomationView::dragSelectionTo (juce::Point<float> p)
{
    auto& pts = curve();
    const int n = (int) pts.size();
    if (selection.empty() || n < 2)
        return;
    const float dt = xToT (p.x) - xToT (dragAnchor.x);
    const float dv = snappedValue (p.y) - snappedValue (dragAnchor.y);
    for (int k : selection)
    {
        if (k < 0 || k >= n)
            continue;
        auto& pt = pts[(size_t) k];
        if (k > 0 && k < n - 1)
            pt.t = juce::jlimit (pts[(size_t) k - 1].t + kSelectionGap, pts[(size_t) k + 1].t - kSelectionGap, pt.t + dt);
        pt.value = juce::jlimit (vmin(), vmax(), pt.value + dv);
    }
    dragAnchor = p;
}

void MasterAutomationView::mouseDrag (const juce::MouseEvent& e)
{
    const auto p = e.position;
    auto& pts = curve();
    switch (dragMode)
    {
        case dragPointMode: dragPointTo (dragPoint, p, false); break;
        case dragTimeMode: dragPointTo (dragPoint, p, true); break;
        case dragOutMode:
        case dragInMode: dragHandleTo (p); break;
        case dragStepMode:
            if (dragPoint >= 0 && dragPoint < (int) pts.size())
            {
                pts[(size_t) dragPoint].value = snappedValue (p.y);
                if (dragPoint + 1 < (int) pts.size() && ! pts[(size_t) dragPoint + 1].step)
                    pts[(size_t) dragPoint + 1].value = pts[(size_t) dragPoint].value;
            }
            break;
        case dragMarqueeMode:
            marqueeEnd = p;
            harvestMarquee();
            break;
        case dragSelectionMode: dragSelectionTo (p); break;
        default: break;
    }
    if (dragMode != noDrag && dragMode != dragMarqueeMode)
        processor.publishChainShared();
    repaint();
}

void MasterAutomationView::mouseUp (const juce::MouseEvent&)
{
    dragMode = noDrag;
    marqueeActive = false;
    dragPoint = -1;
    dragHandle = -1;
    repaint();
}

void MasterAutomationView::mouseDoubleClick (const juce::MouseEvent& e)
{
    if (activeTool() == toolPointer)
        erasePoint (hitPoint (e.position));
    repaint();
}

void MasterAutomationView::updateHoverCursor (int t)
{
    using MC = juce::MouseCursor;
    const bool onPoint = hoverPoint >= 0, onHandle = hoverHandleSide != 0;
    MC::StandardCursorType c = MC::NormalCursor;
    switch (t)
    {
        case toolPointer: c = onPoint || onHandle ? MC::PointingHandCursor : MC::CrosshairCursor; break;
        case toolMove: c = onPoint ? MC::LeftRightResizeCursor : MC::NormalCursor; break;
        case toolCurve:
        case toolEraser: c = onHandle ? MC::DraggingHandCursor : (onPoint ? MC::PointingHandCursor : MC::NormalCursor); break;
        case toolStep: c = MC::UpDownResizeCursor; break;
        case toolSelect: c = onPoint || onHandle ? MC::PointingHandCursor : MC::CrosshairCursor; break;
        default: break;
    }
    setMouseCursor (c);
}

void MasterAutomationView::mouseMove (const juce::MouseEvent& e)
{
    const int t = activeTool();
    hoverPoint = hitPoint (e.position);
    hoverStep = hitStep (e.position);
    hoverHandle = hitHandle (e.position, hoverHandleSide);
    if (t == toolPointer && hoverPoint < 0 && hoverHandleSide == 0)
        hoverHandle = hitSegment (e.position);
    updateHoverCursor (t);
    repaint();
}

//==============================================================================
// View window

void MasterAutomationView::zoomBy (float factor)
{
    if (zoomWindow == nullptr)
        return;
    auto& w = *zoomWindow;
    const float m = juce::jlimit (0.0f, 1.0f, w.start + w.width / 2.0f);
    zoomAround (w, m, factor);
    viewChanged();
}

void MasterAutomationView::fitView()
{
    if (zoomWindow != nullptr)
        *zoomWindow = {};
    viewChanged();
}

void MasterAutomationView::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    if (zoomWindow == nullptr || e.position.y < headerHeight() || ! e.mods.isCommandDown())
    {
        juce::Component::mouseWheelMove (e, wheel);
        return;
    }
    zoomAround (*zoomWindow, xToT (e.position.x), wheel.deltaY > 0.0f ? 0.8f : 1.25f);
    viewChanged();
}

void MasterAutomationView::mouseMagnify (const juce::MouseEvent& e, float scale)
{
    if (scale <= 0.0f || zoomWindow == nullptr || e.position.y < headerHeight())
        return;
    zoomAround (*zoomWindow, xToT (e.position.x), 1.0f / scale);
    viewChanged();
}

void MasterAutomationView::resized()
{
    if (! hasTools)
        return;
    const int w = getWidth();
    const int bw = std::max (w, 388);
    navigator.setBounds (bw - 208, 2, 132, 18);
    navigator.zoomWindow = zoomWindow;
    navigator.onChanged = onViewChanged;
    zoomOutButton.setBounds (bw - 70, 2, 20, 18);
    zoomInButton.setBounds (bw - 48, 2, 20, 18);
    fitButton.setBounds (bw - 26, 2, 20, 18);
    int x0 = (w - 132) / 2;
    if (bw - 216 < x0 + 132)
        x0 = std::max (bw - 348, kind == effect ? 200 : 96);
    for (int k = 0; k < 6; ++k)
        toolButtons[k].setBounds (x0 + 22 * k, 2, 20, 18);
}

void MasterAutomationView::timerCallback()
{
    if (! vyrVisibleInScroll (*this) || ! (processor.transport.isPlaying() || dragMode != noDrag))
        return;
    // While playing, only a playhead that moved to another pixel needs a paint.
    auto& tr = processor.transport;
    const double length = tr.getLengthInSeconds();
    const int x = length > 0.0 ? juce::roundToInt (xOf ((float) juce::jlimit (0.0, 1.0, tr.getCurrentPosition() / length))) : -1;
    if (dragMode == noDrag && x == lastPlayheadX)
        return;
    lastPlayheadX = x;
    if (hasTools)
        navigator.repaint();
    repaint();
}
