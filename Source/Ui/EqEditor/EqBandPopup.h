#pragma once

#include "Ui/EqEditor/EqGraph.h"

// The small floating editor the curve graph shows next to the selected band: on, solo, close, the
// mid band's shape or an edge band's shelf/cut switch, and for the dynamic EQ threshold, saturation,
// drive and (expanded) ratio, attack and release. Every edit goes through the graph's patchBand, so
// it writes exactly what the graph writes. The graph shows, sizes and places it; the user may move it.
class EqGraph::Popup : public juce::Component
{
public:
    explicit Popup (EqGraph& owner);
    ~Popup() override;

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;

    // Closes the shape menu if this popup opened one.
    void dismissMenu();
    bool isMenuOpen() const noexcept { return menuOpen; }

    EqGraph& owner;
    juce::String bandId;
    bool expanded = false;
    bool pinned = false;
    int dragField = 0;   // 0 none, 1 threshold, 2 drive, 3 ratio, 4 attack, 5 release, 6 moving the popup
    juce::Point<int> downPos, downTopLeft;
    juce::Rectangle<float> onRect, soloRect, closeRect, chipRect, shelfRect, cutRect, threshRect, satRect, driveRect,
        expandRect, ratioRect, attackRect, releaseRect;

private:
    const vyrEq::Band* band() const;
    void layoutRects (const vyrEq::Band&);
    void paintSide (juce::Graphics&, const vyrEq::Band&);
    void paintHeader (juce::Graphics&, const vyrEq::Band&);
    void paintValues (juce::Graphics&, const vyrEq::Band&, float valueWidth);
    void paintDynamics (juce::Graphics&, const vyrEq::Band&);
    void paintExpanded (juce::Graphics&, const vyrEq::Band&, float left);
    void showShapeMenu (int currentShape);
    void dragValue (juce::Point<float> p);

    bool menuOpen = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Popup)
};
