#pragma once

#include "Ui/Shell/AudioSourcePanel.h"
#include "Ui/Shell/DesktopMeterPanels.h"
#include "Ui/Shell/SignalUtilityPanel.h"

// The desktop layout's two-by-two grid: audio source and signal utility on top, VU rack and
// master level below, with 16 px gutters.
class DesktopTopGrid : public juce::Component
{
public:
    explicit DesktopTopGrid (VyrAudioProcessor&);
    ~DesktopTopGrid() override;

    void resized() override;

    AudioSourcePanel source;
    SignalUtilityPanel utility;
    VuRackPanel vuRack;
    MasterLevelPanel masterLevel;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DesktopTopGrid)
};
