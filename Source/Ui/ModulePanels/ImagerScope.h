#pragma once

#include "Ui/ModulePanels/PanelKit.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class VyrAudioProcessor;

// The stereo imager's scope: the module's output as a mid/side point cloud (mid up, side to the
// right) from the imager engine's scope rings, and a correlation bar with its readout under it
// (positive grows to the left, negative to the right in red). Repaints every 33 ms while it shows;
// takes no mouse input. Message thread only.
class ImagerGonio : public juce::Component, private juce::Timer
{
public:
    explicit ImagerGonio (VyrAudioProcessor&);
    ~ImagerGonio() override;

    void paint (juce::Graphics&) override;

    // The correlation of the drawn samples (every second one of the ring), or `fallback` when they
    // are silent.
    static float correlationOf (const float* left, const float* right, int n, float fallback) noexcept;
    void tick() { timerCallback(); }

    VyrAudioProcessor& processor;

private:
    void timerCallback() override;
};

// The spread range of the stereo imager over -3..3: its ends are the widths below and above the
// crossover (stereoImager_spreadLo holds the smaller, stereoImager_width the larger), its centre at
// 60 degrees per unit the direction. A press near an end drags that end, a press inside moves the
// whole range, an Alt-click restores -1..1. Every write goes through applyRange; one gesture per
// written parameter per drag. The owner repaints it. Message thread only.
class SpreadRange : public juce::Component
{
public:
    explicit SpreadRange (VyrAudioProcessor&);

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;

    // Writes the range a..b (either order, each clamped to -3..3), the split on and the direction of
    // its centre.
    void applyRange (float a, float b);
    // The range as stored: the smaller and the larger of the two parameters (-1 and 1 when missing).
    void readRange (float& lo, float& hi) const;
    // The scale's value under an x position, on the 0.01 grid; and the position of a value.
    float valueAtX (int x) const;
    float xOfValue (float v) const;

    VyrAudioProcessor& processor;
    int dragMode = 0; // 0 idle, 1 low end, 2 high end, 3 the whole range
    float dragLo = 0.0f, dragHi = 0.0f, dragStart = 0.0f;

private:
    std::unique_ptr<vyrPanel::GestureSpan> span; // the gestures of the drag in progress
};
