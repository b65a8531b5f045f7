#pragma once

#include "Live/SectionAutomation.h"
#include "Ui/SectionPage/SectionWaveformView.h"
#include "Ui/SectionPage/WaveNavStrip.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <set>
#include <vector>

class VyrAudioProcessor;

// One automation lane of the section page: shows and edits one of the processor's three section
// curves (mastering effect -50..+50 %, input gain -24..+24 dB, output gain -24..0 dB) over the
// page's shared view window. A segment between two points is a step or a cubic shaped by two
// handles; the first and last points keep their times and are never removed. Every edit goes
// into the processor's record and is published to the audio thread at once. The effect lane also
// carries the tool bar (the other lanes follow its tool), the zoom buttons and the navigator.
// Message thread only; a 50 ms timer repaints while the file plays or a drag runs.
class MasterAutomationView : public juce::Component, private juce::Timer
{
public:
    enum Kind { effect = 0, soundIn = 1, soundOut = 2 };
    enum Tool { toolPointer = 0, toolMove, toolCurve, toolStep, toolSelect, toolEraser };
    enum DragMode { noDrag = 0, dragPointMode, dragTimeMode, dragOutMode, dragInMode, dragStepMode, dragMarqueeMode, dragSelectionMode };

    MasterAutomationView (VyrAudioProcessor&, Kind, bool withTools);
    ~MasterAutomationView() override;

    void paint (juce::Graphics&) override;
    void paintOverChildren (juce::Graphics&) override;
    void resized() override;
    void mouseMove (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;
    void mouseMagnify (const juce::MouseEvent&, float scale) override;
    bool hitTest (int, int) override { return true; }

    // Scales the view window about its centre (and tells the page).
    void zoomBy (float factor);
    // Shows the whole file.
    void fitView();
    // The tool in force: the effect lane's for the other lanes.
    int activeTool() const;
    void selectTool (int t);

    // Geometry: header height, plot x of a file position, y of a value and the inverse mappings.
    float headerHeight() const noexcept { return hasTools ? 22.0f : 16.0f; }
    float xOf (float t) const noexcept;
    float yOf (float v) const noexcept;
    float xToT (float x) const noexcept;
    float snappedValue (float y) const noexcept;   // 0.5 steps, clamped to the lane's range

    // Hit tests and edits (indexes checked against the current point count).
    int hitPoint (juce::Point<float>) const;
    int hitSegment (juce::Point<float>) const;
    int hitHandle (juce::Point<float>, int& side) const;
    int hitStep (juce::Point<float>) const;
    bool segCtrl (int segment, juce::Point<float>& p0, juce::Point<float>& c1, juce::Point<float>& c2, juce::Point<float>& p3) const;
    int insertPoint (juce::Point<float>);
    void toggleSegment (int);
    void erasePoint (int);
    void harvestMarquee();

    std::vector<VyrAutoPt>& curve() const;
    float vmin() const noexcept;
    float vmax() const noexcept;

    ZoomWindow* zoomWindow = nullptr;
    std::function<void()> onViewChanged;
    MasterAutomationView* masterLane = nullptr;
    VyrAudioProcessor& processor;
    const Kind kind;
    const bool hasTools;
    WaveNavStrip navigator;
    juce::TextButton toolButtons[6];
    juce::TextButton zoomOutButton, zoomInButton, fitButton;
    int tool = toolPointer;
    int dragMode = noDrag;
    int dragPoint = -1;
    int dragHandle = -1;
    int dragHandleSide = 0;
    int hoverPoint = -1;
    int hoverStep = -1;
    int hoverHandleSide = 0;
    int hoverHandle = -1;
    juce::Point<float> marqueeStart, marqueeEnd;
    bool marqueeActive = false;
    std::set<int> selection;
    std::set<int> baseSelection;
    juce::Point<float> dragAnchor;
    int lastPlayheadX = -1;   // playhead pixel at the last timer repaint

private:
    void timerCallback() override;
    void viewChanged();
    void curveChanged();
    void pressWithTool (const juce::MouseEvent&, int activeToolIndex);
    void pressSelect (const juce::MouseEvent&);
    void dragPointTo (int i, juce::Point<float> p, bool timeOnly);
    void dragHandleTo (juce::Point<float> p);
    void dragSelectionTo (juce::Point<float> p);
    void updateHoverCursor (int activeToolIndex);

    // Painting steps.
    juce::Colour accent() const;
    void paintGuides (juce::Graphics&, juce::Colour accent) const;
    void paintCurve (juce::Graphics&, juce::Colour accent) const;
    void paintHover (juce::Graphics&, juce::Colour accent) const;
    void paintHandles (juce::Graphics&, juce::Colour accent) const;
    void paintPlayhead (juce::Graphics&, juce::Colour accent) const;
    void paintLabels (juce::Graphics&) const;
    void paintPoints (juce::Graphics&, juce::Colour accent) const;
    void paintMarquee (juce::Graphics&, juce::Colour accent) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MasterAutomationView)
};
