#include "Ui/Controls/HardwareFader.h"

#include "Model/TextNumbers.h"
#include "Ui/Controls/VyrHiddenSlider.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/Foundation/VyrTheme.h"

#include <cmath>

namespace
{
using juce::Colour;

Colour white (int alpha) { return Colour ((juce::uint8) 255, (juce::uint8) 255, (juce::uint8) 255, (juce::uint8) alpha); }
Colour black (int alpha) { return Colour ((juce::uint8) 0, (juce::uint8) 0, (juce::uint8) 0, (juce::uint8) alpha); }

constexpr float kUnity = 0.75f; // unity's share of the throw, from the bottom
}

HardwareFader::HardwareFader (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID, juce::Colour accent)
    : colour (accent)
{
    attachment = vyrBindHiddenSlider (slider, *this, state, parameterID, juce::Slider::LinearVertical);
    setViewportIgnoreDragFlag (true);
    setMouseClickGrabsKeyboardFocus (false);
    addAndMakeVisible (slider);
}

HardwareFader::~HardwareFader()
{
    gesture.reset();
    caption.clear();
    attachment.reset();
}

int HardwareFader::captionHeight() const noexcept { return caption.isEmpty() ? 0 : juce::jmin (getHeight(), 12); }
int HardwareFader::trackTop() const noexcept { return captionHeight() + 2; }

int HardwareFader::trackLength() const noexcept
{
    const int rest = getHeight() - captionHeight();
    return juce::jmax (rest - juce::jmin (rest, 14) - 4, 0);
}

void HardwareFader::resized()
{
    slider.setBounds (2, trackTop(), juce::jmax (getWidth() - 4, 0), trackLength());
}

//==============================================================================
double HardwareFader::gainAt (double s, double minDb, double maxDb) noexcept
{
    if (s < (double) kUnity)
    {
        const double g0 = std::pow (10.0, minDb / 20.0);
        return 20.0 * std::log10 (juce::jmax (g0 + (s / (double) kUnity) * (1.0 - g0), 1.0e-8));
    }
    return (s - (double) kUnity) * 4.0 * maxDb;
}

void HardwareFader::setFromY (float y)
{
    const double s = juce::jlimit (0.0, 1.0, 1.0 - ((double) y - trackTop()) / juce::jmax (trackLength(), 1));
    const double db = std::round (gainAt (s, slider.getMinimum(), slider.getMaximum()) * 10.0) / 10.0;
    slider.setValue (db, juce::sendNotificationSync);
}

void HardwareFader::setToUnity()
{
    // Its own complete gesture; the slider clamps 0 dB into a range that lacks it.
    const juce::Slider::ScopedDragNotification reset (slider);
    slider.setValue (0.0, juce::sendNotificationSync);
}

void HardwareFader::mouseDown (const juce::MouseEvent& e)
{
    gesture.reset();
    if (e.mods.isAltDown())
    {
        setToUnity();
        return;
    }
    gesture = std::make_unique<juce::Slider::ScopedDragNotification> (slider);
    setFromY (e.position.y);
}

void HardwareFader::mouseDrag (const juce::MouseEvent& e)
{
    if (gesture != nullptr)
        setFromY (e.position.y);
}

void HardwareFader::mouseUp (const juce::MouseEvent&) { gesture.reset(); }

void HardwareFader::mouseDoubleClick (const juce::MouseEvent&) { setToUnity(); }

//==============================================================================
juce::String HardwareFader::readoutText (double db) { return (db > 0.0 ? "+" : "") + vyrText::fixed (db, 1); }

void HardwareFader::paint (juce::Graphics& g)
{
    const int hc = captionHeight();
    if (hc == 0)
        return;
    const bool lightIdentity = vyrTheme (lookAndFeel->themeId).light;
    g.setColour (lightIdentity ? Colour (0xf21a1a1a) : colour.withAlpha ((juce::uint8) 0xf2));
    g.setFont (juce::Font (9.0f, juce::Font::plain).withExtraKerningFactor (0.12f));
    g.drawText (caption, juce::Rectangle<int> (0, 0, getWidth(), hc), juce::Justification::centred, true);
}

void HardwareFader::paintOverChildren (juce::Graphics& g)
{
    const int w = getWidth();
    const int rest = getHeight() - captionHeight();
    vyrMeter::paintKestroFader (g, { 4.0f, (float) trackTop(), (float) juce::jmax (w - 8, 0), (float) trackLength() },
                                (float) slider.getValue(), (float) slider.getMinimum(), (float) slider.getMaximum(), colour, compact);

    const int rh = juce::jmin (rest, 14);
    g.setColour (Colour (0xffeef3f8));
    g.setFont (juce::Font (9.5f, juce::Font::bold));
    g.drawText (readoutText (slider.getValue()), juce::Rectangle<int> (0, getHeight() - rh, w, rh), juce::Justification::centred, true);
}

//==============================================================================
float vyrMeter::kestroFaderPosition (float v, float minDb, float maxDb) noexcept
{
    float p;
    if (v >= 0.0f)
    {
        p = kUnity + 0.25f * v / juce::jmax (maxDb, 0.01f);
    }
    else
    {
        const float floorGain = std::pow (10.0f, minDb / 20.0f);
        p = kUnity * (std::pow (10.0f, v / 20.0f) - floorGain) / juce::jmax (1.0f - floorGain, 1.0e-6f);
    }
    return std::isfinite (p) ? juce::jlimit (0.0f, 1.0f, p) : 0.0f;
}

void vyrMeter::paintKestroFader (juce::Graphics& g, juce::Rectangle<float> r, float v, float minDb, float maxDb,
                                 juce::Colour accent, bool compact)
{
    const float x = r.getX(), y = r.getY(), rh = r.getHeight();
    const float cx = x + r.getWidth() * 0.5f;

    g.setColour (black (0x99));
    g.fillRoundedRectangle (r, 4.0f);
    g.setColour (white (0x1a));
    g.drawRoundedRectangle (r, 4.0f, 1.0f);
    g.fillRect (cx - 0.5f, y + 4.0f, 1.0f, juce::jmax (rh - 8.0f, 0.0f));

    const float yc = y + (1.0f - kestroFaderPosition (v, minDb, maxDb)) * rh;
    const float yu = y + 0.25f * rh;
    const float m = compact ? 7.0f : 11.0f;
    g.setColour (white (0x40));
    g.fillRect (cx - m * 0.5f, yu - 0.5f, m, 1.0f);

    // Gain bar: rises above unity for boosts, hangs below it for cuts.
    g.setColour (accent.withAlpha ((juce::uint8) 0x80));
    g.fillRoundedRectangle (cx - 2.0f, juce::jmin (yu, yc), 4.0f, juce::jmax (std::abs (yc - yu), 2.0f), 2.0f);

    const float W = compact ? 16.0f : 28.0f;
    const juce::Rectangle<float> cap (cx - W * 0.5f, yc - 7.0f, W, 14.0f);
    g.setColour (accent.withAlpha ((juce::uint8) 0x47));
    g.fillEllipse (cx - W * 0.5f - 5.0f, yc - 12.0f, W + 10.0f, 24.0f);
    g.setGradientFill (juce::ColourGradient (Colour (0xff8b919a), cx, cap.getY(), Colour (0xff2f3238), cx, cap.getY() + 14.0f, false));
    g.fillRoundedRectangle (cap, 7.0f);
    g.setColour (black (0xb2));
    g.drawRoundedRectangle (cap, 7.0f, 1.0f);
    g.setColour (white (0x47));
    g.fillRoundedRectangle (cx - W * 0.5f + 2.0f, yc - 5.0f, juce::jmax (W - 4.0f, 0.0f), 3.0f, 2.0f);
    g.setColour (accent);
    g.fillRoundedRectangle (cx - 0.32f * W, yc - 1.2f, 0.64f * W, 2.4f, 1.2f);
    g.setColour (vyrLighten (accent, 1.0f / 1.35f).withAlpha ((juce::uint8) 0xd9));
    g.fillRoundedRectangle (cx - 0.22f * W, yc - 0.5f, 0.44f * W, 1.0f, 0.5f);
}
