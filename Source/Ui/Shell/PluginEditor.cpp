#include "Ui/Shell/PluginEditor.h"
#include "Core/PluginProcessor.h"

VyrAudioProcessorEditor::VyrAudioProcessorEditor (VyrAudioProcessor& p)
    : juce::AudioProcessorEditor (p), processor (p)
{
    setSize (1168, 720);
}

VyrAudioProcessorEditor::~VyrAudioProcessorEditor() = default;

void VyrAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff14171c));
    g.setColour (juce::Colours::white.withAlpha (0.85f));
    g.setFont (juce::Font (28.0f, juce::Font::bold));
    g.drawText (processor.getName(), getLocalBounds().removeFromTop (getHeight() / 2), juce::Justification::centredBottom);
}
