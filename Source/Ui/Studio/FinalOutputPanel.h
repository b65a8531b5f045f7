#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

#include "Ui/Controls/LedMeter.h"
#include "Ui/Controls/OutputAnalyzerView.h"
#include "Ui/Foundation/VyrInfoButton.h"
#include "Ui/Foundation/VyrPainting.h"

class VyrAudioProcessor;

// The full-screen view of the final output: a larger analyser and LED meter over the whole editor,
// with an "Exit" button. Created on the first request and reused. Message thread only.
class FinalOutputOverlay : public juce::Component
{
public:
    FinalOutputOverlay (VyrAudioProcessor&, std::function<void()> onClose);

    void paint (juce::Graphics&) override;
    void paintOverChildren (juce::Graphics&) override;
    void resized() override;

    VyrAudioProcessor& processor;
    OutputAnalyzerView analyzer;
    LedMeter meter;
    juce::TextButton exitButton;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FinalOutputOverlay)
};

// The final-output page ("Output" tab of the full chain): the output analyser beside an LED meter
// of the output peak and RMS in the chosen metering scale, and a "Fullscreen" button for the
// overlay. Its 83 ms timer, running only while the page or its overlay shows, keeps both meters'
// scale, caption and identity in step and the showing overlay at the editor's size.
// Message thread only.
class FinalOutputPanel : public juce::Component, private juce::Timer
{
public:
    explicit FinalOutputPanel (VyrAudioProcessor&);
    ~FinalOutputPanel() override;

    void paint (juce::Graphics&) override;
    void paintOverChildren (juce::Graphics&) override;
    void resized() override;
    void visibilityChanged() override;
    void parentHierarchyChanged() override;

    void openFullscreen();
    void closeFullscreen();
    void syncMeter();
    // One tick of the timer (tests call it directly).
    void tick() { timerCallback(); }

    // Page padding of an identity.
    static int padFor (int identity) noexcept;
    // Metering mode index of the "meteringMode" choice (0 when missing).
    int meteringMode() const;
    // Applies identity, mode, caption and options to a meter.
    static void configure (LedMeter&, int identity, int mode);

    VyrAudioProcessor& processor;
    OutputAnalyzerView analyzer;
    LedMeter meter;
    juce::TextButton fullscreenButton;
    VyrInfoButton infoButton;
    std::unique_ptr<FinalOutputOverlay> overlay;

private:
    void timerCallback() override;
    void updateTimer();
    // The component the overlay covers: the enclosing editor, else the top-level component.
    juce::Component* overlayRoot();

    VyrCachedLayer chrome; // body and title: the analyser repaints over it many times a second

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FinalOutputPanel)
};
