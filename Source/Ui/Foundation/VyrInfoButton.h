#pragma once

#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/Foundation/VyrPanelInfo.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The small circular help button every panel carries. Bound to a help key with setPanel; a click
// opens the help card of the editor the button lives in (found through its parents).
// Tooltip "About <title>", or "Info" and disabled for a key without an entry. Message thread only.
class VyrInfoButton : public juce::Component, public juce::SettableTooltipClient
{
public:
    VyrInfoButton();

    void setPanel (const juce::String& key, juce::Colour accent);

    void paint (juce::Graphics&) override;
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;

    juce::String panelKey;
    juce::Colour accent { 0xff38bdf8 };
    bool hover = false;

    // The dot's colour: near-black on the light identity, else the accent; lightened while hovered.
    juce::Colour dotColour() const;

private:
    juce::SharedResourcePointer<VyrPanelInfoDocument> document;
    juce::SharedResourcePointer<VyrLookAndFeel> lookAndFeel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VyrInfoButton)
};
