#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

class VyrAudioProcessor;

// The single page of the VYR Quarn product: the whole mastering chain behind one window.
// The shell builds it for that product only; the editor installs the two window-scale hooks.
class BasicMasteringView : public juce::Component
{
public:
    explicit BasicMasteringView (VyrAudioProcessor&);
    ~BasicMasteringView() override;

    // Clears the cached scale caption and repaints the scale chip (after every relayout).
    void syncScaleChip();

    void paint (juce::Graphics&) override;

    std::function<void (float)> setWindowScale;
    std::function<float()> getWindowScale;
    VyrAudioProcessor& processor;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BasicMasteringView)
};
