#include "Ui/Foundation/VyrInfoButton.h"

#include "Ui/Foundation/VyrInfoOverlay.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrTheme.h"

VyrInfoButton::VyrInfoButton()
{
    setSize (18, 18);
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
    setRepaintsOnMouseActivity (true);
}

void VyrInfoButton::setPanel (const juce::String& key, juce::Colour newAccent)
{
    panelKey = key;
    accent = newAccent;
    const auto entry = document->entry (key);
    const auto& t = entry.isObject() ? entry["title"] : juce::var();
    const auto title = t.isVoid() ? juce::String() : t.toString();
    setTooltip (title.isEmpty() ? juce::String ("Info") : "About " + title);
    setEnabled (entry.isObject());
    repaint();
}

juce::Colour VyrInfoButton::dotColour() const
{
    auto c = vyrTheme (lookAndFeel->themeId).light ? juce::Colour (0xff1a1a1a) : accent;
    if (hover)
    {
        auto lift = [] (juce::uint8 v) { return (juce::uint8) (int) (255.0f - (255.0f - (float) v) * 0.8474576f); };
        c = juce::Colour (lift (c.getRed()), lift (c.getGreen()), lift (c.getBlue()), c.getAlpha());
    }
    return c;
}

void VyrInfoButton::paint (juce::Graphics& g)
{
    vyrMeter::paintInfoDot (g, { 1.5f, 1.5f, juce::jmax ((float) getWidth() - 3.0f, 0.0f), juce::jmax ((float) getHeight() - 3.0f, 0.0f) },
                            dotColour());
}

void VyrInfoButton::mouseEnter (const juce::MouseEvent&)
{
    hover = true;
    repaint();
}

void VyrInfoButton::mouseExit (const juce::MouseEvent&)
{
    hover = false;
    repaint();
}

void VyrInfoButton::mouseUp (const juce::MouseEvent& e)
{
    const auto p = e.getPosition();
    if (p.x < 0 || p.y < 0 || p.x >= getWidth() || p.y >= getHeight() || panelKey.isEmpty())
        return;
    vyrOpenInfo (*this, panelKey, accent);
}
