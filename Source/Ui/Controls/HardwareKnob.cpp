#include "Ui/Controls/HardwareKnob.h"

#include "Model/TextNumbers.h"
#include "Ui/Foundation/HardwareArt.h"
#include "Ui/Foundation/VyrPainting.h"

#include <cmath>

namespace
{
using juce::Colour;

// Nearest whole number, halves away from zero.
int nearest (float x) noexcept { return (int) std::lround (x); }

Colour white (int alpha) { return Colour ((juce::uint8) 255, (juce::uint8) 255, (juce::uint8) 255, (juce::uint8) alpha); }
Colour black (int alpha) { return Colour ((juce::uint8) 0, (juce::uint8) 0, (juce::uint8) 0, (juce::uint8) alpha); }

// Ink of the light plates and of the selector's texts.
constexpr juce::uint32 darkInk = 0xff2e2a27;

// The point at an angle in degrees from 12 o'clock, clockwise, at a radius around a centre.
juce::Point<float> polar (juce::Point<float> c, float radius, float degrees) noexcept
{
    const float a = juce::degreesToRadians (degrees);
    return { c.x + radius * std::sin (a), c.y - radius * std::cos (a) };
}

// An arc at a radius from one angle to another, one segment per degree and never fewer than twelve.
void strokeArc (juce::Graphics& g, juce::Point<float> c, float radius, float from, float to, Colour colour, float thickness)
{
    const int segments = juce::jmax (nearest (std::abs (to - from)), 12);
    juce::Path p;
    p.startNewSubPath (polar (c, radius, from));
    for (int i = 1; i <= segments; ++i)
        p.lineTo (polar (c, radius, from + (to - from) * (float) i / (float) segments));
    g.setColour (colour);
    g.strokePath (p, juce::PathStrokeType (thickness, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void strokeRadial (juce::Graphics& g, juce::Point<float> c, float degrees, float r0, float r1, float thickness)
{
    g.drawLine (juce::Line<float> (polar (c, r0, degrees), polar (c, r1, degrees)), thickness);
}

juce::Rectangle<float> disc (juce::Point<float> c, float radius)
{
    return { c.x - radius, c.y - radius, 2.0f * radius, 2.0f * radius };
}

// "Plain" numbers are the framework's default double text: six significant digits, no trailing zeros.
juce::String plain (double v) { return juce::String (v); }

const juce::String degreeSign (juce::CharPointer_UTF8 ("\xc2\xb0"));
}

//==============================================================================
HardwareKnob::RotarySlider::~RotarySlider() = default;

void HardwareKnob::RotarySlider::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isAltDown())
    {
        // Option-click resets and starts no drag: the rest of this press is ignored, so the
        // framework never drags from a stale starting point.
        ignoringPress = true;
        if (auto* knob = findParentComponentOfClass<HardwareKnob>())
            knob->applyResetValue();
        return;
    }
    ignoringPress = false;
    dragStartProportion = valueToProportionOfLength (getValue());
    juce::Slider::mouseDown (e);
}

void HardwareKnob::RotarySlider::mouseDrag (const juce::MouseEvent& e)
{
    if (ignoringPress)
        return;
    if (wrapDrag)
    {
        const double travel = std::round (e.mouseDownPosition.y) - e.position.y;
        double q = dragStartProportion + travel / juce::jmax ((double) getMouseDragSensitivity(), 1.0);
        if (q < 0.0 || q > 1.0)
            q -= std::floor (q);
        setValue (proportionOfLengthToValue (juce::jlimit (0.0, 1.0, q)), juce::sendNotificationSync);
        return;
    }
    if (isEnabled())
        juce::Slider::mouseDrag (e);
}


//==============================================================================
HardwareKnob::HardwareKnob (juce::String labelText, juce::String unitText, juce::Colour accent, int sizePixels)
    : label (std::move (labelText))
    , unit (std::move (unitText))
    , colour (accent)
    , size (sizePixels)
{
    configureSlider();
}

HardwareKnob::HardwareKnob (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID, juce::String labelText,
                            juce::String unitText, juce::Colour accent, int sizePixels)
    : HardwareKnob (std::move (labelText), std::move (unitText), accent, sizePixels)
{
    // A missing ID leaves the knob unattached rather than asserting inside the framework.
    if (auto* parameter = state.getParameter (parameterID))
    {
        attachment = std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment> (state, parameterID, slider);
        gestureGuard.bind (parameter);
    }
}

HardwareKnob::~HardwareKnob()
{
    stepLabels.clear();
    gestureGuard.release(); // a drag in progress ends its host gesture
    attachment.reset();     // the binding never outlives the slider
}

void HardwareKnob::configureSlider()
{
    slider.setSliderStyle (juce::Slider::RotaryVerticalDrag);
    slider.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    // -135 to +135 degrees from 12 o'clock; the framework wants the angles as positive radians.
    slider.setRotaryParameters (juce::MathConstants<float>::pi * 1.25f, juce::MathConstants<float>::pi * 2.75f, true);
    slider.setOpaque (false);
    for (auto id : { juce::Slider::backgroundColourId, juce::Slider::trackColourId, juce::Slider::thumbColourId,
                     juce::Slider::rotarySliderFillColourId, juce::Slider::rotarySliderOutlineColourId })
        slider.setColour (id, juce::Colours::transparentBlack);
    slider.setViewportIgnoreDragFlag (true);
    slider.setScrollWheelEnabled (false);
    slider.setMouseCursor (juce::MouseCursor::UpDownResizeCursor);
    slider.onValueChange = [this]
    { repaint(); };
    addAndMakeVisible (slider);
    setPaintingIsUnclipped (true);
    setBounds (getX(), getY(), size + 8, size + 28);
}

//==============================================================================
float HardwareKnob::ringRadius() const noexcept { return (float) size * 0.5f - (skirted ? 8.5f : 7.0f); }
float HardwareKnob::faceRadius() const noexcept { return ringRadius() * (skirted ? 0.72f : 0.78f); }

int HardwareKnob::labelBand() const noexcept
{
    return stepLabels.isEmpty() ? 0 : juce::jmax (nearest (0.22f * (float) size + 4.0f), 18);
}

int HardwareKnob::textTop() const noexcept
{
    return stepLabels.isEmpty() ? size : size + labelBand() + 2;
}

juce::Point<float> HardwareKnob::centre() const { return slider.getBounds().toFloat().getCentre(); }

double HardwareKnob::resetTarget() const
{
    const auto range = slider.getRange();
    const double s = range.getStart(), e = range.getEnd();
    double v = resetValue;
    if (! std::isfinite (v))
        v = (s <= 0.0 && 0.0 <= e) ? 0.0 : s;
    return juce::jlimit (s, juce::jmax (s, e), v);
}

void HardwareKnob::applyResetValue()
{
    // The drag notification makes the write one complete change gesture for a bound parameter.
    const juce::Slider::ScopedDragNotification gesture (slider);
    slider.setValue (resetTarget(), juce::sendNotificationSync);
}

juce::String HardwareKnob::valueText() const
{
    const double v = slider.getValue();
    if (unit == "s")
    {
        if (showSeconds)
            return vyrText::fixed (v, v < 0.1 ? 3 : 2) + " s";
        const double ms = v * 1000.0;
        return (ms < 10.0 ? vyrText::fixed (ms, 1) : plain (ms)) + " ms";
    }
    if (unit == "dB")
        return (v > 0.0 ? "+" : "") + vyrText::fixed (v, 1) + " dB";
    if (unit == "%")
    {
        const double w = slider.getMaximum() <= 2.0001 ? v * 100.0 : v;
        return (w < 10.0 ? vyrText::fixed (w, 1) : plain (w)) + " %";
    }
    if (unit == "x")
        return vyrText::fixed (v, 2) + "x";
    if (unit == "Hz")
    {
        if (v >= 1000.0)
            return vyrText::fixed (v / 1000.0, 1) + "k Hz";
        return (v < 100.0 ? vyrText::fixed (v, 1) : plain (v)) + " Hz";
    }
    if (unit == degreeSign || unit == "deg")
        return plain (v) + degreeSign;
    const auto text = const_cast<RotarySlider&> (slider).getTextFromValue (v); // not const in the framework
    return unit.isEmpty() ? text : text + " " + unit;
}

//==============================================================================
void HardwareKnob::mouseDown (const juce::MouseEvent& e)
{
    // Only clicks outside the dial arrive here (step-label ring, text strip).
    if (e.mods.isAltDown())
        applyResetValue();
}

void HardwareKnob::mouseDoubleClick (const juce::MouseEvent&) { applyResetValue(); }

bool HardwareKnob::hitTest (int x, int y)
{
    if (slider.getWidth() <= 1)
        return true;
    const auto c = centre();
    const int E = stepLabels.isEmpty() ? 0 : juce::jmax (labelBand() / 2, 12);
    const float r = (float) juce::jmin (slider.getWidth(), slider.getHeight()) * 0.5f + (float) E;
    const float dx = (float) x - c.x, dy = (float) y - c.y;
    if (dx * dx + dy * dy <= r * r)
        return true;
    const int Y = textTop();
    return x >= 0 && x < getWidth() && y >= Y && y < Y + 22;
}

void HardwareKnob::resized()
{
    slider.setBounds ((getWidth() - size) / 2, topInset + labelBand(), size, size);
}

//==============================================================================
void HardwareKnob::paint (juce::Graphics& g)
{
    const auto c = centre();
    const float R = ringRadius(), F = faceRadius();
    const float p = (float) slider.valueToProportionOfLength (slider.getValue());
    const float A = 270.0f * p - 135.0f;

    // A dial too small to have a ring draws only its texts.
    if (R > 0.0f)
    {
        paintShadow (g, c, F);
        if (selector)
        {
            paintSelector (g, c, R, F, A);
        }
        else
        {
            paintRing (g, c, R, A, p);
            paintFace (g, c, R, F, A);
        }
    }
    paintStepLabels (g, c, R);
    paintTexts (g);
}

void HardwareKnob::paintShadow (juce::Graphics& g, juce::Point<float> c, float F) const
{
    float K;
    if (selector)
        K = size >= 100 ? 0.58f : 0.22f;
    else if (skirted)
        K = 1.0f;
    else
        K = size >= 48 ? 0.42f : (size >= 40 ? 0.22f : 0.0f);
    if (F < 4.0f || K <= 0.02f)
        return;

    const float d = 0.32f * F * K;
    juce::Path face;
    face.addEllipse (disc (c, F));
    shadow.drawForPath (g, face, juce::DropShadow (black (nearest (0.3f * K * 255.0f)), juce::jmax (nearest (0.58f * F), 8),
                                                   { nearest (0.5f * d), nearest (0.866025f * d) }));
}

void HardwareKnob::paintRing (juce::Graphics& g, juce::Point<float> c, float R, float A, float p) const
{
    const float T = size >= 62 ? 3.5f : (size >= 48 ? 3.0f : 2.5f);
    strokeArc (g, c, R, -135.0f, 135.0f, light ? Colour (0x2e2e2a27) : white (0x17), T);

    g.setColour (light ? Colour (0x802e2a27) : white (0x38));
    for (int i = 0; i <= 10; ++i)
        strokeRadial (g, c, -135.0f + 27.0f * (float) i, R + 2.5f, R + 5.0f, 0.8f);

    const bool showArc = bipolar ? std::abs (p - 0.5f) > 0.001f : p > 0.001f;
    if (showArc)
    {
        const float from = bipolar ? 0.0f : -135.0f;
        strokeArc (g, c, R, from, A, colour.withAlpha ((juce::uint8) 0x59), T + 3.5f);
        strokeArc (g, c, R, from, A, vyrLighten (colour, 1.0f / 1.18f), T);
    }
}

void HardwareKnob::paintFace (juce::Graphics& g, juce::Point<float> c, float R, float F, float A) const
{
    const float cx = c.x, cy = c.y;
    const auto face = disc (c, F);
    if (skirted)
    {
        const float S = juce::jmax (0.11f * F, 2.2f);
        g.setGradientFill (juce::ColourGradient (Colour (light ? 0xff9a9488 : 0xff32363e), cx - F, cy,
                                                 Colour (light ? 0xff5a5448 : 0xff16181c), cx + 0.4f * F, cy + F + S, true));
        g.fillEllipse (cx - F - 0.12f * S, cy - F + 0.55f * S, 2.0f * F + 0.24f * S, 2.0f * F + 0.55f * S);

        // Ribs turn at half the pointer's rate.
        g.setColour (black (0x33));
        const juce::Point<float> ribCentre (cx, cy + 0.4f * S);
        for (int k = 0; k < 26; ++k)
        {
            const float a = juce::degreesToRadians (A * 0.5f + 360.0f * (float) k / 26.0f);
            const juce::Point<float> dir (std::cos (a), std::sin (a));
            g.drawLine (juce::Line<float> (ribCentre + dir * (F + 0.1f * S), ribCentre + dir * (F + 0.78f * S)), 0.9f);
        }

        juce::ColourGradient grad (Colour (light ? 0xfff7f4ee : 0xff5c5e68), cx - 0.48f * F, cy - 0.58f * F,
                                   Colour (light ? 0xffb8b3a7 : 0xff1c1e24), cx + 0.38f * F, cy + 0.62f * F, true);
        grad.addColour (0.42, Colour (light ? 0xffe4dfd4 : 0xff363840));
        g.setGradientFill (grad);
        g.fillEllipse (face);
        g.setColour (white (light ? 0x80 : 0x33));
        g.drawEllipse (face.reduced (1.0f), 1.05f);
        g.setColour (black (light ? 0x59 : 0x80));
        g.drawEllipse (face, 1.0f);
        g.setColour (white (light ? 0x80 : 0x24));
        g.fillEllipse (cx - 0.58f * F, cy - 0.7f * F, 1.16f * F, 0.48f * F);
    }
    else if (! light)
    {
        juce::ColourGradient grad (Colour (0xff4a4a55), cx - 0.4f * F, cy - 0.5f * F, Colour (0xff1c1e24), cx, cy + F, true);
        grad.addColour (0.55, Colour (0xff2c2e36));
        g.setGradientFill (grad);
        g.fillEllipse (face);
        g.setColour (black (0x80));
        g.drawEllipse (face, 1.0f);
        g.setColour (white (0x1a));
        g.fillEllipse (cx - 0.62f * F, cy - 0.73f * F, 1.24f * F, 0.56f * F);
    }
    else
    {
        juce::ColourGradient grad (Colour (0xfff7f4ee), cx, cy - F, Colour (0xffb8b3a7), cx, cy + F, false);
        grad.addColour (0.45, Colour (0xffe4dfd4));
        g.setGradientFill (grad);
        g.fillEllipse (face);
        g.setColour (Colour (0x8c4e463a));
        g.drawEllipse (face, 1.2f);
        g.setColour (Colour (0x3378705e));
        g.drawEllipse (disc (c, 0.84f * F), 0.6f);
        g.drawEllipse (disc (c, 0.66f * F), 0.6f);
        g.setColour (white (0x80));
        g.fillEllipse (cx - 0.6f * F, cy - 0.68f * F, 1.2f * F, 0.52f * F);
    }

    g.setColour (light ? Colour (darkInk) : vyrLighten (colour, 0.8f));
    strokeRadial (g, c, A, 0.18f * R, 0.82f * R, size >= 80 ? 3.0f : 2.2f);
    g.setColour (light ? Colour (darkInk) : white (0xd9));
    g.fillEllipse (disc (c, 2.0f));
}

void HardwareKnob::paintSelector (juce::Graphics& g, juce::Point<float> c, float R, float F, float A)
{
    const bool big = size >= 100;
    if (big)
    {
        const float B = F + juce::jmax (0.1f * F, 4.5f);
        g.setColour (Colour (0xe01c1f24));
        g.drawEllipse (disc (c, B), juce::jmax (0.09f * F, 4.0f));
        g.setColour (Colour (0x8c6a7078));
        g.drawEllipse (disc (c, F + 1.2f), 1.05f);
        g.setColour (Colour (0xb207090c));
        g.drawEllipse (disc (c, B), 1.15f);
    }

    const int m = juce::jmax (stepLabels.size(), 2);
    const float r0 = R - 6.0f + juce::jmax (0.04f * F, 1.5f), r1 = R - 6.0f + juce::jmax (0.14f * F, 5.0f);
    for (int i = 0; i < m; ++i)
    {
        g.setColour (white (i == 0 || i == m - 1 ? 0x6b : 0x52));
        strokeRadial (g, c, -135.0f + 270.0f * (float) i / (float) (m - 1), r0, r1, big ? 1.65f : 1.05f);
    }

    if (art == nullptr)
        art = std::make_unique<juce::SharedResourcePointer<HardwareArt>>();
    HardwareArt::paintSpunAluminum (g, c, F, A, big, &spunShadow);
}

void HardwareKnob::paintStepLabels (juce::Graphics& g, juce::Point<float> c, float R) const
{
    const int n = stepLabels.size();
    if (n == 0)
        return;
    const bool big = size >= 100;
    g.setFont (juce::Font (size >= 130 ? 12.5f : (big ? 11.0f : 8.5f), juce::Font::bold));
    const int current = juce::jlimit (0, n - 1, (int) slider.getValue());
    const int bw = big ? 40 : 28, bh = big ? 16 : 14;
    for (int i = 0; i < n; ++i)
    {
        const auto at = polar (c, R + (big ? 12.0f : 13.0f), -135.0f + 270.0f * (float) i / (float) juce::jmax (n - 1, 1));
        const juce::Rectangle<int> box ((int) at.x - bw / 2, (int) at.y - bh / 2, bw, bh);
        g.setColour (i == current ? vyrLighten (colour, 1.0f / 1.15f) : white (0x9e));
        g.drawText (stepLabels[i], box, juce::Justification::centred, false);
    }
}

void HardwareKnob::paintTexts (juce::Graphics& g) const
{
    const int Y = textTop();
    const int W = getWidth();
    int nameTop = Y;
    if (stepLabels.isEmpty())
    {
        const int h = size < 40 ? 12 : 14;
        g.setFont (juce::Font (size < 40 ? 10.0f : 12.0f, juce::Font::bold));
        g.setColour (selector || light ? Colour (0xc72e2a27) : white (0xe0));
        g.drawText (valueText(), juce::Rectangle<int> (0, Y, W, h), juce::Justification::centred, false);
        nameTop = Y + h;
    }

    const bool big = size >= 100;
    juce::Font font (big ? 12.0f : (size >= 40 ? 10.0f : 9.0f), juce::Font::plain);
    if (big)
        font = font.withExtraKerningFactor (0.18f);
    g.setFont (font);
    if (selector)
        g.setColour (big ? white (0xc7) : Colour (0xb22e2a27));
    else
        g.setColour (light ? Colour (0xb22e2a27) : Colour (0xffb4bcc6));
    const int nameH = big ? 16 : 12;
    if (captionLimit < nameTop + nameH)
        nameTop = std::max (0, captionLimit - nameH);
    g.drawText (label.toUpperCase(), juce::Rectangle<int> (0, nameTop, W, nameH), juce::Justification::centred, false);
}
