#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// The bar between the section waveform and the automation lanes: drag it up to make the lanes
// taller (and the waveform shorter), down for the reverse; a double click restores the default.
// Reports the upward distance since the press in desktop pixels, so the distance stays stable
// while the relayout moves the bar under the pointer. Message thread only.
class SectionSplitBar : public juce::Component, public juce::SettableTooltipClient
{
public:
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;

    std::function<void()> onDragStart;
    std::function<void (int)> onDrag;
    std::function<void()> onReset;
    int dragStartY = 0;
};

// One of the seven letter chips A..G of the section page. It draws nothing (the page paints the
// chips and the dragged ghost) and hands its mouse events to the page.
class LetterHandle : public juce::Component, public juce::SettableTooltipClient
{
public:
    void mouseDown (const juce::MouseEvent& e) override { if (onDown) onDown (e); }
    void mouseDrag (const juce::MouseEvent& e) override { if (onDrag) onDrag (e); }
    void mouseUp (const juce::MouseEvent& e) override { if (onUp) onUp (e); }

    int index = 0;
    std::function<void (const juce::MouseEvent&)> onDown, onDrag, onUp;
};
