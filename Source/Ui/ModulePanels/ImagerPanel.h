#pragma once

#include "Ui/Controls/HardwareKnob.h"
#include "Ui/Foundation/VyrInfoButton.h"
#include "Ui/ModulePanels/ImagerScope.h"
#include "Ui/ModulePanels/PanelKit.h"

#include <atomic>
#include <memory>

class VyrAudioProcessor;

// The stereo imager's panel on the FX chain page: header with power and help, the scope with its
// correlation bar and legend on the left; on the right the LR / MS input segments and the crossover
// readout, the Crossover and Direction knobs, the spread range with its readouts and scale, and the
// Mix knob between the width and centre readouts. The range's centre is the direction: turning the
// Direction knob slides the range (only while the user turns it, never on automation or recall), and
// dragging the range turns the knob. Opening the panel never rewrites the stored range; an Alt-click
// on the range restores -1..1. A 66 ms timer re-reads the state while it shows. Message thread only.
class ImagerPanel : public juce::Component, private juce::Timer
{
public:
    explicit ImagerPanel (VyrAudioProcessor&);
    ~ImagerPanel() override;

    void syncHeader();
    void paint (juce::Graphics&) override;
    void resized() override;
    void tick() { timerCallback(); }

    static constexpr juce::uint32 kAccent = 0xff5eead4;

    VyrAudioProcessor& processor;
    ImagerGonio gonio;
    SpreadRange range;
    juce::TextButton lrButton { "LR" }, msButton { "MS" }, powerButton;
    VyrInfoButton infoButton;
    std::unique_ptr<HardwareKnob> crossoverKnob, directionKnob, mixKnob;
    std::unique_ptr<vyrPanel::ButtonLook> buttonLook;
    bool syncing = false, ready = false;
    vyrPanel::ShownState shown;
    VyrCachedLayer housing; // the housing behind the children, painted again only on a new size or identity

private:
    void timerCallback() override;
    void directionTurned();

    bool userTurning = false;                       // between the Direction knob's drag start and end
    std::unique_ptr<vyrPanel::GestureSpan> turning; // the range writes of that turn
};
