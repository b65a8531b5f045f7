#include "Ui/SectionPage/SectionSplitBar.h"

void SectionSplitBar::mouseDown (const juce::MouseEvent& e)
{
    dragStartY = juce::roundToInt (localPointToGlobal (e.position).y);
    if (onDragStart)
        onDragStart();
}

void SectionSplitBar::mouseDrag (const juce::MouseEvent& e)
{
    if (onDrag)
        onDrag (dragStartY - juce::roundToInt (e.getScreenPosition().toFloat().y));
}

void SectionSplitBar::mouseDoubleClick (const juce::MouseEvent&)
{
    if (onReset)
        onReset();
}

void SectionSplitBar::paint (juce::Graphics& g)
{
    bool hot = false;
    for (auto& source : juce::Desktop::getInstance().getMouseSources())
        if (source.getComponentUnderMouse() == this && (source.isDragging() || ! source.isTouch()))
            hot = true;
    const auto area = getLocalBounds().toFloat();
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) (hot ? 0x38 : 0x14)));
    g.fillRoundedRectangle (area, area.getHeight() / 2.0f);
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) (hot ? 0xf2 : 0x9e)));
    const float cx = area.getCentreX(), cy = area.getCentreY();
    for (float dx : { -6.0f, 0.0f, 6.0f })
        g.fillEllipse (cx + dx - 2.0f, cy - 2.0f, 4.0f, 4.0f);
}
