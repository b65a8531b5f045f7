#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A rotary slider of a round control: only the circle inscribed in its bounds takes the mouse, the
// wheel never turns it (an enclosing scroll view scrolls instead), and a press the subclass chose to
// ignore (ignoringPress set in its mouseDown, e.g. an Option-click reset) is ignored up to its
// release, so no drag follows it.
class VyrRoundSlider : public juce::Slider
{
public:
    void mouseUp (const juce::MouseEvent&) override;
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;
    bool hitTest (int x, int y) override;

protected:
    bool ignoringPress = false;
};
