#pragma once

#include "Ui/Controls/HardwareKnob.h"
#include "Ui/Foundation/VyrInfoButton.h"
#include "Ui/ModulePanels/PanelKit.h"
#include "Ui/ModulePanels/TovuField.h"

#include <memory>

class VyrAudioProcessor;

// The bass-mono module's panel on the FX chain page: header with power and help; in the upper half
// the cutoff field between the PRE and POST goniometers; on the light plate of the lower half the
// Frequency and Width knobs and the 12 / 24 dB/oct slope pills. Writes tovu_ parameters only on the
// user's clicks and drags; an 83 ms timer re-reads the state while it shows. Message thread only.
class TovuPanel : public juce::Component, private juce::Timer
{
public:
    explicit TovuPanel (VyrAudioProcessor&);
    ~TovuPanel() override;

    void syncHeader();
    void setSlope (int dbPerOctave);

    void mouseDown (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;
    void tick() { timerCallback(); }

    VyrAudioProcessor& processor;
    TovuField field;
    TovuGonio preScope, postScope;
    juce::TextButton powerButton;
    VyrInfoButton infoButton;
    std::unique_ptr<HardwareKnob> frequencyKnob, widthKnob;
    std::unique_ptr<vyrPanel::ButtonLook> buttonLook;
    juce::Rectangle<int> slope12Bounds, slope24Bounds;
    vyrPanel::ShownState shown;
    VyrCachedLayer housing; // the housing behind the children, painted again only on a new size or identity

private:
    void timerCallback() override;
    void paintHeader (juce::Graphics&, int inset, float dim);
    void paintPlate (juce::Graphics&);
    void paintSlopes (juce::Graphics&);
};
