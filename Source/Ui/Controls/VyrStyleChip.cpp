#include "Ui/Controls/VyrStyleChip.h"

#include "Ui/Foundation/VyrPainting.h"

#include <cmath>

juce::Colour vyrDeepTone (juce::Colour c) noexcept
{
    float h, s, b;
    vyrToHsb (c, h, s, b);
    return juce::Colour::fromHSV (h, std::min (0.9f * s, 0.7f), std::min (0.82f * b, 0.7f), c.getFloatAlpha());
}

juce::Colour vyrPaleInk (juce::Colour c) noexcept
{
    float h, s, b;
    vyrToHsb (c, h, s, b);
    return juce::Colour::fromHSV (h, std::min (0.28f * s, 0.2f), 0.92f, 1.0f);
}

float vyrPerceivedBrightness (juce::Colour c) noexcept
{
    const float r = c.getFloatRed(), g = c.getFloatGreen(), b = c.getFloatBlue();
    return std::sqrt (0.241f * r * r + 0.691f * g * g + 0.068f * b * b);
}

void styleChip (juce::TextButton& button, bool on, juce::Colour accent, juce::Colour onText)
{
    button.setColour (juce::TextButton::buttonColourId, juce::Colour (0x0dffffff));
    button.setColour (juce::TextButton::textColourOffId, juce::Colour (0xffd4d8de));
    button.setColour (juce::TextButton::buttonOnColourId, accent);
    const auto ink = vyrPerceivedBrightness (accent) > 0.78f ? onText : vyrPaleInk (vyrDeepTone (accent));
    button.setColour (juce::TextButton::textColourOnId, ink);
    button.setToggleState (on, juce::dontSendNotification);
}
