#include "Ui/Controls/MasterEffectGauge.h"

#include "Model/TextNumbers.h"
#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/Foundation/VyrPainting.h"

#include <cmath>

namespace
{
using juce::Colour;

constexpr float kCentreY = 176.0f; // knob centre height
constexpr float kDiscTop = 86.0f;  // top of the 180-pixel disc
constexpr float kDiscSize = 180.0f;
constexpr float kFaceSize = 216.0f; // the photograph, 1.2 times the disc
constexpr float kInnerFace = 0.887324f;
constexpr juce::int64 kDoubleClickMs = 350;

Colour white (int alpha) { return Colour ((juce::uint8) 255, (juce::uint8) 255, (juce::uint8) 255, (juce::uint8) alpha); }
Colour black (int alpha) { return Colour ((juce::uint8) 0, (juce::uint8) 0, (juce::uint8) 0, (juce::uint8) alpha); }

// Each colour channel multiplied (truncated), alpha kept.
Colour scaled (Colour c, float k)
{
    auto f = [k] (juce::uint8 v)
    { return (juce::uint8) (int) ((float) v * k); };
    return Colour (f (c.getRed()), f (c.getGreen()), f (c.getBlue()), c.getAlpha());
}

// Left edge of the 256-pixel art column (negative when the gauge is narrower).
int columnX (int width) noexcept { return (width - 256) / 2; }

juce::Point<float> onScale (float cx, float radius, float degrees)
{
    const float a = juce::degreesToRadians (degrees);
    return { cx + radius * std::sin (a), kCentreY - radius * std::cos (a) };
}
}

//==============================================================================
void MasterEffectGauge::DiscSlider::mouseDown (const juce::MouseEvent& e)
{
    ignoringPress = ! hitTest (e.x, e.y) || e.mods.isAltDown();
    if (ignoringPress)
    {
        if (e.mods.isAltDown() && hitTest (e.x, e.y) && onAltClick != nullptr)
            onAltClick();
        return;
    }
    juce::Slider::mouseDown (e);
}

void MasterEffectGauge::DiscSlider::mouseDrag (const juce::MouseEvent& e)
{
    if (! ignoringPress)
        juce::Slider::mouseDrag (e);
}


void MasterEffectGauge::CenterHit::mouseDown (const juce::MouseEvent& e)
{
    // Measured between the two presses; a third quick press starts a new pair.
    const auto t = e.eventTime.toMilliseconds();
    if (t - lastDownMs <= kDoubleClickMs && onDoubleClick != nullptr)
    {
        lastDownMs = 0;
        onDoubleClick();
    }
    else
    {
        lastDownMs = t;
    }
}

//==============================================================================
MasterEffectGauge::MasterEffectGauge (VyrAudioProcessor& p)
    : processor (p)
{
    // A tree without "masterTrim" leaves the knob on its own default range instead of asserting.
    if (auto* parameter = processor.apvts.getParameter ("masterTrim"))
    {
        attachment = std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment> (processor.apvts, "masterTrim", disc);
        gestureGuard.bind (parameter);
    }

    setBounds (getX(), getY(), 292, 368);
    if (art->effectKnob.getWidth() > 8) // the store's 8 x 8 stand-in means the photograph failed to decode
        knobImage = art->effectKnob;

    disc.setSliderStyle (juce::Slider::RotaryVerticalDrag);
    // -135 to +135 degrees from 12 o'clock; the framework wants the angles as positive radians.
    disc.setRotaryParameters (juce::MathConstants<float>::pi * 1.25f, juce::MathConstants<float>::pi * 2.75f, true);
    disc.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    disc.setMouseDragSensitivity (200);
    disc.setDoubleClickReturnValue (false, 0.0);
    disc.setScrollWheelEnabled (false);
    disc.setOpaque (false);
    for (auto id : { juce::Slider::backgroundColourId, juce::Slider::thumbColourId, juce::Slider::trackColourId,
                     juce::Slider::rotarySliderFillColourId, juce::Slider::rotarySliderOutlineColourId })
        disc.setColour (id, juce::Colours::transparentBlack);
    disc.setMouseCursor (juce::MouseCursor::UpDownResizeCursor);
    disc.setViewportIgnoreDragFlag (true);
    disc.setTooltip (juce::String (juce::CharPointer_UTF8 ("Drag to trim \xc2\xb7 Alt-click to reset")));
    disc.onAltClick = [this]
    { resetToZero(); };
    disc.addListener (this);
    disc.onValueChange = [this]
    { repaint(); };
    addAndMakeVisible (disc);

    centreHit.setTooltip ("Double-click to reset to 0%");
    centreHit.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    centreHit.onDoubleClick = [this]
    { resetToZero(); };
    addAndMakeVisible (centreHit);

    for (auto* b : { &nudgeDown, &nudgeUp })
    {
        b->setColour (juce::TextButton::buttonColourId, juce::Colours::transparentBlack);
        b->setColour (juce::TextButton::textColourOffId, juce::Colours::transparentBlack);
        b->setOpaque (false);
        addAndMakeVisible (*b);
    }
    nudgeDown.setTooltip ("Nudge down");
    nudgeUp.setTooltip ("Nudge up");
    nudgeDown.onClick = [this]
    { nudge (-0.5); };
    nudgeUp.onClick = [this]
    { nudge (0.5); };

    startTimer (33);
}

MasterEffectGauge::~MasterEffectGauge()
{
    stopTimer();
    disc.removeListener (this);
    gestureGuard.release(); // a drag in progress ends its host gesture
    attachment.reset();
}

void MasterEffectGauge::resized()
{
    const int W = getWidth(), H = getHeight();
    disc.setBounds (columnX (W) + 38, 86, 180, 180);
    centreHit.setBounds (disc.getX() + 73, disc.getY() + 73, 34, 34);
    const int yN = juce::jmin (juce::jmax (H, 224), 358) - 48;
    nudgeDown.setBounds (W / 2 - 28, yN, 24, 24);
    nudgeUp.setBounds (W / 2 + 4, yN, 24, 24);
}

//==============================================================================
void MasterEffectGauge::setDiscValue (double v)
{
    // One complete change gesture around the write.
    const juce::Slider::ScopedDragNotification gesture (disc);
    disc.setValue (v, juce::sendNotificationSync);
}

double MasterEffectGauge::nudgedValue (double value, double step) noexcept
{
    return juce::jlimit (-50.0, 50.0, std::round ((value + step) * 2.0) * 0.5);
}

void MasterEffectGauge::nudge (double step) { setDiscValue (nudgedValue (disc.getValue(), step)); }

void MasterEffectGauge::resetToZero()
{
    setDiscValue (0.0);
    repaint();
}

float MasterEffectGauge::displayedEffect() const
{
    float v = (float) disc.getValue();
    if (processor.effectRiding.load())
        v = processor.riddenEffect.load();
    else if (processor.live.xfadeActive.load())
        if (auto* raw = processor.apvts.getRawParameterValue ("masterTrim"))
            v = raw->load();
    // A broken reading from the audio side shows as no effect, never as a stray scale.
    return std::isfinite (v) ? juce::jlimit (-50.0f, 50.0f, v) : 0.0f;
}

void MasterEffectGauge::timerCallback()
{
    // Only what moved: an unchanged amount and identity cost no paint, riding or not.
    if (! vyrVisibleInScroll (*this))
        return;
    const float shown = displayedEffect();
    if (shown != lastPaintedEffect || processor.themeIndex.load() != lastPaintedTheme)
        repaint();
}

//==============================================================================
Colour MasterEffectGauge::gaugeAccent (int themeId) noexcept
{
    switch (themeId)
    {
        case 1:
            return Colour (0xff22d3ee);
        case 2:
            return Colour (0xffe0a94e);
        case 3:
            return Colour (0xffff9e1a);
        case 4:
            return Colour (0xff00f0ff);
        case 5:
            return Colour (0xff5fe8c4);
        default:
            return Colour (0xff38e0ff);
    }
}

juce::String MasterEffectGauge::readoutText (float percent)
{
    return (percent > 0.0f ? "+" : "") + vyrText::fixed (percent, 1) + "%";
}

bool MasterEffectGauge::tickLit (int tick, float percent) noexcept
{
    const float n = (percent + 50.0f) / 100.0f - 0.5f;
    if (std::abs (n) <= 0.001f)
        return false;
    const float R = 270.0f * n;
    const float a = 2.7f * (float) tick - 135.0f;
    return R >= 0.0f ? (a >= -0.01f && a <= R + 0.01f) : (a >= R - 0.01f && a <= 0.01f);
}

namespace
{
const char* const kTitle = "MASTERING EFFECT";
juce::Font titleFont() { return juce::Font (13.0f, juce::Font::bold).withExtraKerningFactor (0.26f); }
}

juce::Rectangle<int> MasterEffectGauge::titleBounds() const
{
    const int textW = juce::jmin (getWidth(), (int) std::ceil (titleFont().getStringWidthFloat (kTitle)));
    return { (getWidth() - textW) / 2, 8, textW, 18 };
}

void MasterEffectGauge::paint (juce::Graphics& g)
{
    const int W = getWidth(), H = getHeight();
    const float cx = (float) (columnX (W) + 128);
    const float v = displayedEffect();
    lastPaintedTheme = processor.themeIndex.load();
    lastPaintedEffect = v;
    const auto A = gaugeAccent (lastPaintedTheme);

    g.setColour (white (0xd9));
    g.setFont (titleFont());
    g.drawText (kTitle, juce::Rectangle<int> (0, 8, W, 18), juce::Justification::centred, true);

    g.setColour (A.interpolatedWith (juce::Colours::white, 0.38f));
    g.setFont (juce::Font (12.0f, juce::Font::plain));
    g.drawText (readoutText (v), juce::Rectangle<int> (0, 28, W, 16), juce::Justification::centred, true);

    paintScale (g, cx, v, A);
    paintKnob (g, cx, v);

    const auto D = scaled (A, 0.549451f);
    for (auto* b : { &nudgeDown, &nudgeUp })
    {
        const auto r = b->getBounds().toFloat();
        paintNudgeFace (g, r, A);
        g.setColour (D);
        g.setFont (juce::Font (12.0f, juce::Font::bold));
        g.drawText (b == &nudgeDown ? juce::String (juce::CharPointer_UTF8 ("\xe2\x88\x92")) : juce::String ("+"),
                    r, juce::Justification::centred, false);
    }

    const int T = nudgeUp.getBottom() + 4;
    g.setColour (white (0x73));
    g.setFont (juce::Font (9.0f, juce::Font::plain));
    g.drawFittedText (juce::String (juce::CharPointer_UTF8 ("\xc2\xb1"
                                                            "50% mix trim")),
                      juce::Rectangle<int> (8, T, juce::jmax (W - 16, 0), juce::jmax (H - T, 14) - 2), juce::Justification::centred, 1);
}

void MasterEffectGauge::paintScale (juce::Graphics& g, float cx, float percent, juce::Colour A) const
{
    const juce::Point<float> c (cx, kCentreY);
    auto ring = [&] (float radius, float thickness, Colour colour)
    {
        g.setColour (colour);
        g.drawEllipse (c.x - radius, c.y - radius, 2.0f * radius, 2.0f * radius, thickness);
    };
    ring (113.0f, 10.0f, Colour (0xff2a2d33));
    ring (108.6f, 1.0f, Colour (0xb26a7078));
    ring (117.4f, 1.2f, Colour (0xff07090c));

    const auto B = vyrLighten (A, 0.78125f);
    for (int i = 0; i <= 100; ++i)
    {
        const float a = 2.7f * (float) i - 135.0f;
        const juce::Line<float> tick (onScale (cx, 94.5f, a), onScale (cx, 103.5f, a));
        if (tickLit (i, percent))
        {
            g.setColour (A.withAlpha ((juce::uint8) 0x66));
            g.drawLine (tick, 2.6f);
            g.setColour (B);
            g.drawLine (tick, 1.35f);
        }
        else
        {
            g.setColour (white (0x1f));
            g.drawLine (tick, 1.05f);
        }
    }

    g.setColour (B.withAlpha ((juce::uint8) 0x59));
    g.drawLine (cx, 59.0f, cx, 67.0f, 5.0f);
    g.setColour (B);
    g.drawLine (cx, 60.0f, cx, 66.0f, 2.6f);
}

void MasterEffectGauge::paintKnob (juce::Graphics& g, float cx, float percent) const
{
    const juce::Rectangle<float> discArea (cx - 90.0f, kDiscTop, kDiscSize, kDiscSize);
    const auto inner = discArea.withSizeKeepingCentre (kDiscSize * kInnerFace, kDiscSize * kInnerFace);
    const float n = (percent + 50.0f) / 100.0f - 0.5f;
    const float R = 270.0f * n;
    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);

    {
        const juce::Graphics::ScopedSaveState still (g);
        juce::Path clip;
        clip.addEllipse (discArea);
        g.reduceClipRegion (clip);
        paintKnobFace (g, discArea);
        g.setColour (white (0x1a));
        g.fillEllipse (inner);
    }
    {
        // The photograph's outer ring turns at half the pointer's angle; its middle stays still.
        const juce::Graphics::ScopedSaveState turning (g);
        juce::Path ring;
        ring.addEllipse (discArea);
        ring.addEllipse (inner);
        ring.setUsingNonZeroWinding (false);
        g.reduceClipRegion (ring);
        g.addTransform (juce::AffineTransform::rotation (juce::degreesToRadians (R * 0.5f), cx, kCentreY));
        paintKnobFace (g, discArea);
    }

    g.setColour (black (0x8c));
    g.drawEllipse (discArea.expanded (0.5f), 1.0f);

    juce::ColourGradient cap (Colour (0xff6a6e74), cx, 165.0f, Colour (0xff2a2d32), cx, 193.0f, true);
    cap.addColour (0.48, Colour (0xff4a4e54));
    g.setGradientFill (cap);
    g.fillEllipse (cx - 17.0f, 159.0f, 34.0f, 34.0f);
    g.setColour (white (0x2e));
    g.drawEllipse (cx - 16.0f, 160.0f, 32.0f, 32.0f, 1.0f);
}

void MasterEffectGauge::paintKnobFace (juce::Graphics& g, juce::Rectangle<float> discArea) const
{
    const auto c = discArea.getCentre();
    if (knobImage.isValid())
    {
        const float w = (float) knobImage.getWidth(), h = (float) knobImage.getHeight();
        g.drawImageTransformed (knobImage, juce::AffineTransform::scale (kFaceSize / w, kFaceSize / h)
                                               .translated (c.x - kFaceSize * 0.5f, c.y - kFaceSize * 0.5f));
        return;
    }
    g.setGradientFill (juce::ColourGradient (Colour (0xff6a6e74), discArea.getX() + 40.0f, discArea.getY() + 28.0f,
                                             Colour (0xff1a1c20), c.x, discArea.getBottom(), true));
    g.fillEllipse (discArea);
}

void MasterEffectGauge::paintNudgeFace (juce::Graphics& g, juce::Rectangle<float> r, juce::Colour A) const
{
    const float x = r.getX(), y = r.getY(), w = r.getWidth(), h = r.getHeight();
    g.setGradientFill (juce::ColourGradient (Colour (0xff2a2e35), x + 0.42f * w, y + 0.32f * h, Colour (0xff14161a),
                                             x + w * 0.5f, y + h, true));
    g.fillEllipse (r);
    g.setColour (black (0xbf));
    g.drawEllipse (r, 1.0f);

    const float lx = x + (w - 14.0f) * 0.5f, ly = y + (h - 14.0f) * 0.5f;
    g.setGradientFill (juce::ColourGradient (vyrLighten (A, 0.833333f), lx + 4.0f, ly + 3.0f, scaled (A, 0.892857f),
                                             lx + 7.0f, ly + 14.0f, true));
    g.fillEllipse (lx, ly, 14.0f, 14.0f);
    g.setColour (A.withAlpha ((juce::uint8) 0x80));
    g.drawEllipse (lx - 1.5f, ly - 1.5f, 17.0f, 17.0f, 2.0f);
}
