#include "Ui/Shell/DesktopTopGrid.h"

DesktopTopGrid::DesktopTopGrid (VyrAudioProcessor& p) : source (p), utility (p), vuRack (p), masterLevel (p)
{
    for (juce::Component* c : { (juce::Component*) &source, (juce::Component*) &utility, (juce::Component*) &vuRack, (juce::Component*) &masterLevel })
        addAndMakeVisible (c);
}

DesktopTopGrid::~DesktopTopGrid() = default;

void DesktopTopGrid::resized()
{
    const int W = getWidth(), H = getHeight();
    const int rowH = juce::jmax (160, (H - 16) / 2);
    const int topH = juce::jmin (H, rowH);
    const int gapY = juce::jmin (H - topH, 16);
    const int bottomY = topH + gapY, bottomH = juce::jmax (juce::jmin (H - topH - gapY, rowH), 0);
    const int colW = juce::jmin (W, (W - 16) / 2);
    const int gapX = juce::jmin (W - colW, 16);
    const int rightX = colW + gapX, rightW = juce::jmax (W - colW - gapX, 0);
    const int leftW = juce::jmax (colW, 0);

    source.setBounds (0, 0, leftW, topH);
    utility.setBounds (rightX, 0, rightW, topH);
    vuRack.setBounds (0, bottomY, leftW, bottomH);
    masterLevel.setBounds (rightX, bottomY, rightW, bottomH);
}
