#include "Ui/MainView/BasicMasteringView.h"

#include "Core/PluginProcessor.h"

BasicMasteringView::BasicMasteringView (VyrAudioProcessor& p)
    : processor (p)
{
}

BasicMasteringView::~BasicMasteringView() = default;

void BasicMasteringView::syncScaleChip()
{
    repaint();
}

void BasicMasteringView::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff101216));
}
