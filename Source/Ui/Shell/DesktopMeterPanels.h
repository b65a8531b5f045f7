#pragma once

#include "Core/ReaderCount.h"
#include "Ui/Controls/HardwareFader.h"
#include "Ui/Controls/LevelMeterView.h"
#include "Ui/Controls/VuMeter.h"
#include "Ui/Foundation/VyrInfoButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

class VyrAudioProcessor;

// The desktop's "VU METER" panel: the analogue VU pair on the chain's input and output RMS.
class VuRackPanel : public juce::Component
{
public:
    explicit VuRackPanel (VyrAudioProcessor&);
    ~VuRackPanel() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    VyrAudioProcessor& processor;
    VyrReaderToken levelToken;   // the levels and scopes are measured while a meter view exists
    VuMeter vuMeter;
    VyrInfoButton infoButton;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VuRackPanel)
};

// The desktop's "MASTER LEVEL METER" panel: the master level meter with a column of input and
// output gain faders that follows "linkLR", the link chip, H/V layout toggles and a detail toggle.
// Relayouts only when the state version or the link changes (83 ms poll) or after a click.
class MasterLevelPanel : public juce::Component, private juce::Timer
{
public:
    explicit MasterLevelPanel (VyrAudioProcessor&);
    ~MasterLevelPanel() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    // "linkLR" at least 0.5, or linked when the parameter is missing.
    bool isLinked() const;
    static int identityPad (int themeId) noexcept;
    static int titleX (int themeId) noexcept;

    VyrAudioProcessor& processor;
    LevelMeterView meterView;
    HardwareFader inFaderL, inFaderR, outFaderL, outFaderR;
    juce::TextButton horizontalButton { "H" }, verticalButton { "V" }, detailButton { "More Detail" };
    juce::TextButton linkButton;
    VyrInfoButton infoButton;
    int lastStateVersion = 0;
    int lastLinked = -1;

private:
    void timerCallback() override;
    void paintLayoutToggle (juce::Graphics&, const juce::Button&, bool on, const juce::String& label) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MasterLevelPanel)
};
