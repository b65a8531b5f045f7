#pragma once

#include "Ui/SectionPage/SectionWaveformView.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

class VyrAudioProcessor;

// The overview navigator of the effect lane: the whole file with the shown window highlighted.
// Drag the window sideways to pan and up or down to zoom, drag its edges to resize, click outside
// it to jump. Reads the processor's overview and transport; message thread only.
class WaveNavStrip : public juce::Component, public juce::SettableTooltipClient
{
public:
    explicit WaveNavStrip (VyrAudioProcessor&);

    void paint (juce::Graphics&) override;
    void mouseMove (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;
    void mouseMagnify (const juce::MouseEvent&, float scale) override;

    ZoomWindow* zoomWindow = nullptr;   // set by the effect lane's layout
    std::function<void()> onChanged;
    VyrAudioProcessor& processor;
    int dragMode = 0;                   // 0 none, 1 pan/zoom the window, 2 left edge, 3 right edge
    float anchor = 0.5f;
    float widthAtPress = 1.0f;
    float pressY = 0.0f;

private:
    // 0 outside, 1 window, 2 left edge, 3 right edge.
    int zoneAt (float x) const;
    float fileT (float x) const;
    void changed();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WaveNavStrip)
};
