#pragma once

#include "Ui/Controls/HardwareKnob.h"
#include "Ui/EqEditor/EqGraph.h"
#include "Ui/Foundation/VyrInfoButton.h"
#include "Ui/Foundation/VyrPainting.h"

// Editor of the parametric EQ (dynamic false, "eq_" parameters) or the dynamic EQ (dynamic true,
// "dynamicEq_"): a header of band-count, gain-range and mid/side chips with help, reset and power,
// the curve graph, a chip per band and the selected band's knobs. Every control writes the
// parameters directly, one gesture per changed parameter; the panel keeps nothing of its own but
// the selected band. Message thread only.
class EqPanel : public juce::Component
{
public:
    EqPanel (VyrAudioProcessor& processor, bool dynamic);
    ~EqPanel() override;

    void mouseDown (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    // Shows (re-reading every parameter) or hides the panel.
    void setActive (bool on);
    // Reloads the settings and rebuilds all that follows the selected band.
    void rebuildKnobs();
    // Styles the header chips and the power button from the cached settings.
    void syncHeader();
    // Id of the selected band ("low", "mid0".., "high").
    juce::String selId() const;

    EqGraph graph;
    VyrAudioProcessor& processor;
    const bool dynamic;
    int selectedBand = 0;
    bool rebuilding = false;
    juce::TextButton countButtons[5], rangeButtons[3];
    juce::TextButton msButton { "M/S" }, midButton { "Mid" }, sideButton { "Side" };
    juce::TextButton resetButton { juce::String (juce::CharPointer_UTF8 ("\xe2\x86\xa9")) };
    juce::TextButton powerButton { "ON" }, satButton { "SAT" }, shelfButton { "Shelf" }, cutButton { "Cut" };
    juce::TextButton slopeButtons[4];
    VyrInfoButton infoButton;
    juce::OwnedArray<HardwareKnob> knobs;
    juce::Rectangle<int> bandChipBounds[8];
    int bandChipCount = 0;

    // Accent of the knobs, icon and title: the edit channel's in mid/side, else the module's.
    juce::Colour moduleAccent() const;
    juce::String moduleId() const { return dynamic ? "dynamicEq" : "eq"; }

private:
    juce::String prefix() const { return dynamic ? "dynamicEq_" : "eq_"; }
    juce::String bandPrefix() const { return prefix() + (graph.editsSide() ? "s_" : ""); }
    int themeIndex() const;
    int midCount() const { return juce::jlimit (1, 6, graph.state.main.midCount); }
    void write (const juce::String& id, float plainValue);
    void selectFromGraph (const juce::String& id);
    void layoutKnobs (int left, int available, int count);
    void paintHousing (juce::Graphics&, int identity) const;
    void paintHeader (juce::Graphics&, int dx, const VyrTheme& theme, juce::Colour accent);
    void paintBandRow (juce::Graphics&, int identity);

    VyrCachedLayer housing;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EqPanel)
};
