#pragma once

#include "Ui/ModulePanels/PanelKit.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class VyrAudioProcessor;

// The bass-mono cutoff field: the mono region below the cutoff and the stereo band above it on a
// logarithmic 20..500 Hz scale, drawn in a 360 x 170 design space stretched to the component. A press
// or drag sets tovu_frequency at the pointer, in one change gesture from press to release. The owner
// repaints it.
// Message thread only.
class TovuField : public juce::Component
{
public:
    explicit TovuField (VyrAudioProcessor&);

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;

    // The cutoff at x pixels (20..500 Hz) and the design x of a cutoff.
    float freqAtX (float x) const;
    static float designXOf (float hz);
    void setFreqFromX (float x);

    VyrAudioProcessor& processor;

private:
    std::unique_ptr<vyrPanel::GestureSpan> drag;
};

// A goniometer of the bass-mono module: its input (PRE) or output (POST) as a mid/side point cloud
// from the engine's scope rings, a faint centre bar for silence. Repaints every 33 ms while it shows.
// Message thread only.
class TovuGonio : public juce::Component, private juce::Timer
{
public:
    TovuGonio (VyrAudioProcessor&, bool post);
    ~TovuGonio() override;

    void paint (juce::Graphics&) override;
    void tick() { timerCallback(); }

    VyrAudioProcessor& processor;
    const bool post;

private:
    void timerCallback() override;
};

namespace vyrTovuLook
{
constexpr juce::uint32 kAccent = 0xff5b6cb8, kMint = 0xff5eead4, kGonio = 0xff5b9cff;
// The dimming of everything the bass-mono panel draws while the module is off.
float dimOf (VyrAudioProcessor&);
}
