#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Turns a text button into an invisible hit area over art its owner paints: the shared
// look-and-feel draws nothing for the "vyr-ghost" component ID, so only the tooltip and the
// clicks remain. Every page and panel uses this one helper.
inline void ghostBtn (juce::TextButton& b)
{
    b.setComponentID ("vyr-ghost");
    if (b.getButtonText().isNotEmpty())
        b.setButtonText ({});
    b.setColour (juce::TextButton::buttonColourId, juce::Colours::transparentBlack);
    b.setColour (juce::TextButton::textColourOffId, juce::Colours::transparentBlack);
    b.setColour (juce::TextButton::textColourOnId, juce::Colours::transparentBlack);
    b.setOpaque (false);
}
