#pragma once

#include "Model/MbcState.h"
#include "Ui/Controls/HardwareKnob.h"
#include "Ui/Foundation/VyrInfoButton.h"
#include "Ui/ModulePanels/MbcGraph.h"
#include "Ui/ModulePanels/MbcVisualizer.h"

#include <memory>
#include <vector>

class VyrAudioProcessor;

namespace vyrMbc
{
// Writes the default settings of one band of the first (side false) or side set, each in a gesture.
void writeBandDefaults (juce::AudioProcessorValueTreeState& tree, bool side, int band);
// The crossover k (0..3) a reset places for n bands: log-even steps from 120 Hz to 8 kHz.
float resetCrossover (int k, int numBands) noexcept;
}

// The multiband compressor's panel on the FX chain page: header with the band-count chips, the M/S
// switch with the Mid / Side edit chips, help, reset and power; the analyser, the editor graph, the
// band tabs and the selected band's SOLO, On and six knobs beside the Output knob. Writes the
// multiBandComp_ parameters on the user's clicks only, each write one gesture; re-reads them whenever
// it rebuilds or paints. Message thread only.
class MbcPanel : public juce::Component
{
public:
    explicit MbcPanel (VyrAudioProcessor&);
    ~MbcPanel() override;

    void setActive (bool active);
    void rebuildKnobs();
    void syncHeader();
    void resetModule();
    juce::String bandParamId (int band, const juce::String& name) const;

    void mouseDown (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    VyrAudioProcessor& processor;
    MbcVisualizer visualiser;
    MbcGraph graph;
    int selectedBand = 0;
    juce::TextButton countButtons[5];
    juce::TextButton msButton { "M/S" }, midButton { "Mid" }, sideButton { "Side" };
    juce::TextButton resetButton, powerButton;
    juce::TextButton soloButton { "SOLO" }, bandOnButton;
    VyrInfoButton infoButton;
    std::vector<std::unique_ptr<HardwareKnob>> knobs;
    juce::Rectangle<int> tabBounds[5];
    int tabCount = 0;
    std::unique_ptr<juce::LookAndFeel_V4> buttonLook;
    vyrMbc::State state;
    VyrCachedLayer housing; // the housing behind the children, painted again only on a new size or identity

private:
    void reload();
    std::vector<juce::TextButton*> allButtons();
    void paintHeader (juce::Graphics&, int inset, const VyrTheme&);
    void paintTabs (juce::Graphics&);
};
