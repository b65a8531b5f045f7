#include "Ui/Controls/RackFaders.h"

#include "Model/TextNumbers.h"
#include "Ui/Controls/VyrHiddenSlider.h"
#include "Ui/Foundation/VyrPainting.h"

#include <cmath>

namespace
{
using juce::Colour;

Colour white (int alpha) { return Colour ((juce::uint8) 255, (juce::uint8) 255, (juce::uint8) 255, (juce::uint8) alpha); }
Colour black (int alpha) { return Colour ((juce::uint8) 0, (juce::uint8) 0, (juce::uint8) 0, (juce::uint8) alpha); }

// "Plain" numbers are the framework's default double text: six significant digits, no trailing zeros.
juce::String plain (double v) { return juce::String (v); }

double percentOf (double value, double rangeEnd) { return rangeEnd <= 2.0001 ? value * 100.0 : value; }

juce::String hertzText (double v, const char* kiloUnit)
{
    return v >= 1000.0 ? vyrText::fixed (v / 1000.0, 1) + kiloUnit : plain (v) + " Hz";
}

juce::ColourGradient vertical (float top, float bottom, std::initializer_list<std::pair<double, juce::uint32>> stops)
{
    juce::ColourGradient grad (Colour (stops.begin()->second), 0.0f, top, Colour ((stops.end() - 1)->second), 0.0f, bottom, false);
    for (auto& s : stops)
        if (s.first > 0.0 && s.first < 1.0)
            grad.addColour (s.first, Colour (s.second));
    return grad;
}
}

//==============================================================================
VyrRackControl::VyrRackControl (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID, bool vertical)
{
    attachment = vyrBindHiddenSlider (slider, *this, state, parameterID,
                                      vertical ? juce::Slider::LinearVertical : juce::Slider::LinearHorizontal);
    addAndMakeVisible (slider);
}

VyrRackControl::~VyrRackControl()
{
    gesture.reset();
    attachment.reset();
}

void VyrRackControl::mouseDown (const juce::MouseEvent& e)
{
    gesture = std::make_unique<juce::Slider::ScopedDragNotification> (slider);
    setFromPoint (e.position);
}

void VyrRackControl::mouseDrag (const juce::MouseEvent& e)
{
    if (gesture != nullptr)
        setFromPoint (e.position);
}

void VyrRackControl::mouseUp (const juce::MouseEvent&) { gesture.reset(); }

double VyrRackControl::proportion()
{
    if (slider.getMaximum() <= slider.getMinimum())
        return 0.0;
    return juce::jlimit (0.0, 1.0, slider.valueToProportionOfLength (slider.getValue()));
}

double VyrRackControl::percentValue() const { return percentOf (slider.getValue(), slider.getMaximum()); }

//==============================================================================
HardwareStripSlider::HardwareStripSlider (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID,
                                          juce::String labelText, juce::String unitText, juce::Colour accent)
    : VyrRackControl (state, parameterID, false)
    , label (std::move (labelText))
    , unit (std::move (unitText))
    , colour (accent)
{
    setBounds (getX(), getY(), 220, 44);
}

HardwareStripSlider::~HardwareStripSlider()
{
    label.clear();
    unit.clear();
}

int HardwareStripSlider::stripHeight() const noexcept { return juce::jmin (getHeight(), 16); }
float HardwareStripSlider::trackWidth() const noexcept { return (float) juce::jmax (getWidth() - 18, 8); }
float HardwareStripSlider::trackX() const noexcept { return ((float) getWidth() - trackWidth()) * 0.5f; }

float HardwareStripSlider::trackY() const noexcept
{
    const int hs = stripHeight();
    return (float) hs + (float) (getHeight() - hs - 6) * 0.5f;
}

void HardwareStripSlider::resized()
{
    slider.setBounds (9, 24, juce::jmax (getWidth() - 18, 0), juce::jmax (getHeight() - 32, 0));
}

bool HardwareStripSlider::hitTest (int x, int y)
{
    const float tx = trackX(), tw = trackWidth(), ty = trackY();
    const float fx = (float) x, fy = (float) y;
    return fx >= tx - 2.0f && fx < tx + tw + 2.0f && fy >= ty - 10.0f && fy < ty + 16.0f;
}

void HardwareStripSlider::setFromPoint (juce::Point<float> p)
{
    const double q = juce::jlimit (0.0, 1.0, (double) (p.x - trackX()) / juce::jmax ((double) trackWidth(), 1.0));
    slider.setValue (slider.proportionOfLengthToValue (q), juce::sendNotificationSync);
}

juce::String HardwareStripSlider::readoutText (const juce::String& unitText, double v, double rangeEnd)
{
    if (unitText == "%")
        return plain (percentOf (v, rangeEnd)) + "%";
    if (unitText == "Hz")
        return hertzText (v, " kHz");
    if (unitText == "x")
        return vyrText::fixed (v, 2) + juce::String (juce::CharPointer_UTF8 ("\xc3\x97"));
    return vyrText::fixed (v, 2);
}

void HardwareStripSlider::paint (juce::Graphics& g)
{
    const int w = getWidth(), hs = stripHeight();
    const juce::Rectangle<int> strip (0, 0, w, hs);
    g.setFont (juce::Font (10.0f, juce::Font::plain));
    g.setColour (Colour (light ? 0xff2f4639 : 0xffb4bcc6));
    g.drawText (label, strip, juce::Justification::centredLeft, true);
    g.setFont (juce::Font (10.0f, juce::Font::bold));
    g.setColour (colour);
    g.drawText (readoutText (unit, slider.getValue(), slider.getMaximum()), strip, juce::Justification::centredRight, false);

    const float tx = trackX(), tw = trackWidth(), ty = trackY();
    const float p = (float) proportion();
    g.setColour (light ? Colour (0x381a1a1a) : white (0x33));
    g.fillRoundedRectangle (tx, ty, tw, 6.0f, 3.0f);
    g.setColour (colour.withAlpha ((juce::uint8) 0x73));
    g.fillRoundedRectangle (tx, ty, juce::jmax (tw * p, 6.0f), 6.0f, 3.0f);

    const juce::Rectangle<float> thumb (tx + tw * p - 7.0f, ty + 3.0f - 7.0f, 14.0f, 14.0f);
    g.setColour (colour);
    g.fillEllipse (thumb);
    g.setColour (vyrLighten (colour, 0.8f));
    g.drawEllipse (thumb, 1.2f);
}

//==============================================================================
TcFader::TcFader (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID, juce::String labelText, TcReadout style)
    : VyrRackControl (state, parameterID, false)
    , label (std::move (labelText))
    , readout (style)
{
    slider.setWantsKeyboardFocus (false);
    slider.setMouseClickGrabsKeyboardFocus (false);
    setViewportIgnoreDragFlag (true);
    setWantsKeyboardFocus (false);
    setMouseClickGrabsKeyboardFocus (false);
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
    setBounds (getX(), getY(), 220, 44);
}

TcFader::~TcFader() { label.clear(); }

int TcFader::stripHeight() const noexcept { return juce::jmin (getHeight(), 12); }
float TcFader::trackWidth() const noexcept { return (float) juce::jmax (getWidth() - 18, 4); }

float TcFader::trackY() const noexcept
{
    const int ht = stripHeight();
    return (float) ht + (float) (getHeight() - ht) * 0.5f - 4.0f;
}

void TcFader::resized()
{
    slider.setBounds (9, juce::roundToInt (trackY()) - 7, (int) trackWidth(), 22);
}

bool TcFader::hitTest (int x, int y)
{
    const float ty = trackY(), fy = (float) y, fx = (float) x;
    return fx >= 7.0f && fx < 9.0f + trackWidth() + 2.0f && fy >= ty - 10.0f && fy < ty + 18.0f;
}

void TcFader::setFromPoint (juce::Point<float> p)
{
    const double q = juce::jlimit (0.0, 1.0, (double) (p.x - 9.0f) / juce::jmax ((double) trackWidth(), 1.0));
    slider.setValue (slider.proportionOfLengthToValue (q), juce::sendNotificationSync);
}

juce::String TcFader::readoutText (TcReadout style, double v, double rangeEnd)
{
    switch (style)
    {
        case TcReadout::percent:
            return plain (percentOf (v, rangeEnd)) + "%";
        case TcReadout::secondsAsMs:
            return juce::String ((juce::int64) std::round (v * 1000.0)) + " ms";
        case TcReadout::milliseconds:
            return juce::String ((juce::int64) std::round (v)) + " ms";
        case TcReadout::seconds:
            return vyrText::fixed (v, 1) + "s";
        case TcReadout::hertz:
            return hertzText (v, " kHz");
        case TcReadout::decibels:
            return (v > 0.0 ? "+" : "") + vyrText::fixed (v, 1) + " dB";
    }
    return {};
}

void TcFader::paint (juce::Graphics& g)
{
    const int w = getWidth(), ht = stripHeight();
    const juce::Rectangle<int> strip (0, 0, w, ht);
    g.setFont (juce::Font (9.0f, juce::Font::bold).withExtraKerningFactor (0.24f));
    g.setColour (Colour (0xff363b42));
    g.drawText (label.toUpperCase(), strip, juce::Justification::centredLeft, true);
    g.setFont (juce::Font (10.0f, juce::Font::bold));
    g.setColour (Colour (0xff0d3a3a));
    g.drawText (readoutText (readout, slider.getValue(), slider.getMaximum()), strip, juce::Justification::centredRight, false);

    const float tw = trackWidth(), ty = trackY();
    const float p = (float) proportion();

    // Groove.
    g.setGradientFill (vertical (ty, ty + 8.0f, { { 0.0, 0xff1c2026 }, { 0.5, 0xff343c44 }, { 1.0, 0xff16191e } }));
    g.fillRoundedRectangle (9.0f, ty, tw, 8.0f, 4.0f);
    g.setColour (Colour (0xff101317));
    g.drawRoundedRectangle (9.0f, ty, tw, 8.0f, 4.0f, 1.0f);
    g.setColour (black (0x8c));
    g.fillRect (10.0f, ty + 0.6f, tw - 2.0f, 1.2f);

    // Lit part: a stub of at least 4 pixels even at zero.
    const float f = juce::jmax (tw * p, 4.0f);
    g.setColour (Colour (0x662cc8c8));
    g.fillRoundedRectangle (9.0f, ty - 1.6f, f, 11.2f, 5.0f);
    g.setGradientFill (vertical (ty, ty + 8.0f, { { 0.0, 0xff67dcdc }, { 0.55, 0xff1fa9a9 }, { 1.0, 0xff125f5f } }));
    g.fillRoundedRectangle (9.0f, ty, f, 8.0f, 4.0f);
    g.setColour (Colour (0x8c2cc8c8));
    g.drawRoundedRectangle (9.0f, ty, f, 8.0f, 4.0f, 1.0f);
    g.setColour (white (0x47));
    g.fillRect (10.0f, ty + 0.7f, f - 2.0f, 1.0f);

    // Thumb, 18 x 22, centred on the value.
    const float X = tw * p, Y = ty - 7.0f;
    g.setColour (black (0x66));
    g.fillRoundedRectangle (X, Y + 1.4f, 18.0f, 22.0f, 3.0f);
    g.setGradientFill (vertical (Y, Y + 22.0f, { { 0.0, 0xfff4f6f8 }, { 0.22, 0xffd6dade }, { 0.52, 0xffaab0b6 }, { 1.0, 0xff6a7079 } }));
    g.fillRoundedRectangle (X, Y, 18.0f, 22.0f, 3.0f);
    g.setColour (Colour (0xff3a3d42));
    g.drawRoundedRectangle (X, Y, 18.0f, 22.0f, 3.0f, 1.0f);
    g.setColour (white (0xb2));
    g.fillRect (X + 1.0f, Y + 1.0f, 16.0f, 1.1f);
    for (int k = 0; k < 5; ++k)
    {
        const float gx = X + 3.0f + 2.5f * (float) k;
        g.setColour (black (0x2e));
        g.drawLine (gx, Y + 3.0f, gx, Y + 19.0f, 1.0f);
        g.setColour (white (0x1a));
        g.drawLine (gx + 1.0f, Y + 3.0f, gx + 1.0f, Y + 19.0f, 1.0f);
    }

    const float lx = X + 9.0f, ly = Y + 11.0f;
    g.setColour (Colour (0x992cc8c8));
    g.fillEllipse (lx - 4.2f, ly - 4.2f, 8.4f, 8.4f);
    g.setGradientFill (juce::ColourGradient (Colour (0xffd0fafa), X + 7.8f, Y + 9.4f, Colour (0xff127070), X + 10.4f, Y + 12.8f, true));
    g.fillEllipse (lx - 2.5f, ly - 2.5f, 5.0f, 5.0f);
}

//==============================================================================
ClipMixFader::ClipMixFader (juce::AudioProcessorValueTreeState& state)
    : VyrRackControl (state, "clip_mix", true)
{
    slider.setWantsKeyboardFocus (false);
    slider.setMouseClickGrabsKeyboardFocus (false);
    setViewportIgnoreDragFlag (true);
}

ClipMixFader::~ClipMixFader() = default;

int ClipMixFader::titleHeight() const noexcept { return juce::jmin (getHeight(), 16); }
float ClipMixFader::trackWidth() const noexcept { return (float) juce::jmax (getWidth() - 40, 0); }
float ClipMixFader::trackY() const noexcept { return (float) titleHeight() + 2.0f; }

float ClipMixFader::trackHeight() const noexcept
{
    const int rest = getHeight() - titleHeight();
    return (float) juce::jmax (rest - juce::jmin (rest, 18) - 4, 0);
}

void ClipMixFader::resized()
{
    slider.setBounds (juce::Rectangle<float> (20.0f, trackY(), trackWidth(), trackHeight()).toNearestInt());
}

bool ClipMixFader::hitTest (int x, int y)
{
    const float ty = trackY(), th = trackHeight(), fx = (float) x, fy = (float) y;
    return fx >= 12.0f && fx < 20.0f + trackWidth() + 8.0f && fy >= ty - 4.0f && fy < ty + th + 4.0f;
}

void ClipMixFader::setFromPoint (juce::Point<float> p)
{
    // Linear in the range, whatever the parameter's skew.
    const float ty = trackY(), th = trackHeight();
    const double q = juce::jlimit (0.0, 1.0, (double) (ty + th - p.y) / juce::jmax ((double) th, 1.0));
    const double start = slider.getMinimum(), end = slider.getMaximum();
    slider.setValue (start + q * (end - start), juce::sendNotificationSync);
}

juce::String ClipMixFader::readoutText (double v, double rangeEnd)
{
    return juce::String ((juce::int64) std::round (percentOf (v, rangeEnd))) + " %";
}

void ClipMixFader::paint (juce::Graphics& g)
{
    const int w = getWidth(), h = getHeight(), hm = titleHeight();
    const float tw = trackWidth(), ty = trackY(), th = trackHeight();

    g.setFont (juce::Font (9.0f, juce::Font::bold).withExtraKerningFactor (0.18f));
    g.setColour (Colour (0xd198fb98));
    g.drawText ("MIX", juce::Rectangle<int> (0, 0, w, hm), juce::Justification::centred, false);

    g.setColour (Colour (0xe007090e));
    g.fillRoundedRectangle (20.0f, ty, tw, th, 7.0f);
    g.setColour (white (0x24));
    g.drawRoundedRectangle (20.5f, ty + 0.5f, juce::jmax (tw - 1.0f, 0.0f), juce::jmax (th - 1.0f, 0.0f), 7.0f, 1.0f);

    const double start = slider.getMinimum(), end = slider.getMaximum();
    const float p = end > start ? (float) juce::jlimit (0.0, 1.0, (slider.getValue() - start) / (end - start)) : 0.0f;
    const float f = th * p;
    const float fillTop = ty + th - f;
    g.setGradientFill (juce::ColourGradient (Colour (0x2e98fb98), 0.0f, ty + th, Colour (0xeb98fb98), 0.0f, fillTop, false));
    g.fillRoundedRectangle (20.0f, fillTop, tw, f, 6.0f);
    g.setColour (Colour (0x8c98fb98));
    g.drawRoundedRectangle (20.5f, fillTop + 0.5f, juce::jmax (tw - 1.0f, 0.0f), juce::jmax (f - 1.0f, 0.0f), 6.0f, 1.0f);

    g.setColour (white (0xeb));
    g.fillRoundedRectangle (15.0f, fillTop - 4.0f, tw + 10.0f, 8.0f, 2.5f);

    const int rh = juce::jmin (h - hm, 18);
    g.setFont (juce::Font (10.0f, juce::Font::bold));
    g.setColour (Colour (0xe698fb98));
    g.drawText (readoutText (slider.getValue(), end), juce::Rectangle<int> (0, h - rh, w, rh), juce::Justification::centred, false);
}
