#include "Ui/Controls/VyrRoundSlider.h"

void VyrRoundSlider::mouseUp (const juce::MouseEvent& e)
{
    if (ignoringPress)
    {
        ignoringPress = false;
        return;
    }
    juce::Slider::mouseUp (e);
}

void VyrRoundSlider::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    juce::Component::mouseWheelMove (e, wheel);
}

bool VyrRoundSlider::hitTest (int x, int y)
{
    const float r = (float) juce::jmin (getWidth(), getHeight()) * 0.5f;
    const float dx = (float) x - (float) getWidth() * 0.5f, dy = (float) y - (float) getHeight() * 0.5f;
    return dx * dx + dy * dy <= r * r;
}
