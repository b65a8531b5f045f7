#include "Ui/MainView/PolarCommon.h"

#include <cmath>

namespace vyrPolar
{
namespace
{
constexpr float twoPi = juce::MathConstants<float>::twoPi;
}

float frac (float x) noexcept
{
    if (! std::isfinite (x))
        return 0.0f;
    float r = x - std::floor (x);
    return r >= 1.0f ? 0.0f : r;
}

Pointer pointerFrom (juce::Point<float> p, float cx, float cy) noexcept
{
    const float dx = p.x - cx, dy = cy - p.y;
    return { frac (std::atan2 (dy, dx) / twoPi), std::hypot (dx, dy) };
}

juce::Point<float> pointAt (float cx, float cy, float radius, float angle) noexcept
{
    return { cx + radius * std::cos (twoPi * angle), cy - radius * std::sin (twoPi * angle) };
}

juce::Colour accentFor (int themeId) noexcept
{
    static constexpr juce::uint32 accents[] = { 0xff38e0ff, 0xff22d3ee, 0xffe0a94e, 0xffff9e1a, 0xff00f0ff, 0xff5fe8c4 };
    return juce::Colour (themeId >= 0 && themeId < 6 ? accents[themeId] : accents[0]);
}

void setUpControl (juce::Component& c)
{
    c.setOpaque (false);
    c.setWantsKeyboardFocus (false);
    c.setMouseClickGrabsKeyboardFocus (false);
    c.setMouseCursor (juce::MouseCursor::DraggingHandCursor);
    c.setViewportIgnoreDragFlag (true);
}

ParamSet::ParamSet (juce::AudioProcessorValueTreeState& t, std::initializer_list<const char*> parameterIds)
    : tree (t)
{
    for (auto* id : parameterIds)
        if (count < (int) params.size())
            params[(size_t) count++] = tree.getParameter (id);
}

float ParamSet::read (int index, float fallback) const
{
    if (auto* p = index >= 0 && index < count ? params[(size_t) index] : nullptr)
        return p->convertFrom0to1 (p->getValue());
    return fallback;
}

void ParamSet::write (int index, float value, bool force) const
{
    auto* p = index >= 0 && index < count ? params[(size_t) index] : nullptr;
    if (p == nullptr || ! std::isfinite (value))
        return;
    const float norm = p->convertTo0to1 (value);
    if (! force && std::abs (p->getValue() - norm) <= 1.0e-5f)
        return;
    p->setValueNotifyingHost (norm);
}

bool ParamSet::begin()
{
    if (open)
        return false;
    open = true;
    for (int i = 0; i < count; ++i)
        if (auto* p = params[(size_t) i])
            p->beginChangeGesture();
    return true;
}

void ParamSet::end()
{
    if (! open)
        return;
    open = false;
    for (int i = 0; i < count; ++i)
        if (auto* p = params[(size_t) i])
            p->endChangeGesture();
}

void ParamSet::listen (juce::AudioProcessorValueTreeState::Listener* listener)
{
    for (int i = 0; i < count; ++i)
        if (auto* p = params[(size_t) i])
            tree.addParameterListener (p->paramID, listener);
}

void ParamSet::unlisten (juce::AudioProcessorValueTreeState::Listener* listener)
{
    for (int i = 0; i < count; ++i)
        if (auto* p = params[(size_t) i])
            tree.removeParameterListener (p->paramID, listener);
}

//==============================================================================
void SparkStore::age (float lifeStep, float drift, float maxRadius) noexcept
{
    int kept = 0;
    for (int i = 0; i < count; ++i)
    {
        auto s = sparks[(size_t) i];
        s.life -= lifeStep;
        s.angle = frac (s.angle + s.angleVel + drift);
        s.radius += s.radiusVel;
        if (s.life > 0.0f && s.radius > 4.0f && s.radius < maxRadius)
            sparks[(size_t) kept++] = s;
    }
    count = kept;
}

int SparkStore::timerSpawnCount (float level, float ticksPerSecond, juce::Random& random) const noexcept
{
    if (! (level > 0.06f) || count >= 24)
        return 0;
    const float rate = (15.6f * level + 3.2f) / ticksPerSecond;
    int n = (int) std::floor (rate);
    if (random.nextFloat() < rate - std::floor (rate))
        ++n;
    return juce::jmin (n, 2);
}

void paintSparks (juce::Graphics& g, const SparkStore& store, float cx, float cy, juce::Colour from, juce::Colour to,
                  float tintScale, float level)
{
    for (int i = 0; i < store.count; ++i)
    {
        const auto& s = store.sparks[(size_t) i];
        const auto pos = pointAt (cx, cy, s.radius, s.angle);
        const auto colour = from.interpolatedWith (to, juce::jlimit (0.0f, 1.0f, tintScale * s.tint));
        const float l = juce::jlimit (0.0f, 1.0f, s.life / juce::jmax (s.maxLife, 1.0e-6f));
        const float glow = 4.4f * s.size, core = 2.0f * s.size;
        g.setColour (colour.withAlpha (juce::jlimit (0.0f, 1.0f, 0.075f * l * (level + 0.32f))));
        g.fillEllipse (pos.x - glow * 0.5f, pos.y - glow * 0.5f, glow, glow);
        g.setColour (colour.withAlpha (0.42f * l));
        g.fillEllipse (pos.x - core * 0.5f, pos.y - core * 0.5f, core, core);
    }
}

//==============================================================================
void paintSoftBloom (juce::Graphics& g, float x, float y, float radius, juce::Colour colour)
{
    const float r = juce::jmax (radius, 4.0f);
    juce::ColourGradient grad;
    grad.isRadial = true;
    grad.point1 = { x, y };
    grad.point2 = { x + r, y };
    grad.addColour (0.0, colour.withAlpha ((juce::uint8) 0x59));
    grad.addColour (0.16, colour.withAlpha ((juce::uint8) 0x3d));
    grad.addColour (0.38, colour.withAlpha ((juce::uint8) 0x1d));
    grad.addColour (0.62, colour.withAlpha ((juce::uint8) 0x0b));
    grad.addColour (0.84, colour.withAlpha ((juce::uint8) 0x03));
    grad.addColour (1.0, colour.withAlpha ((juce::uint8) 0));
    g.setGradientFill (grad);
    g.fillEllipse (x - r, y - r, 2.0f * r, 2.0f * r);
}

void paintHandle (juce::Graphics& g, juce::Point<float> centre, juce::Colour colour, float bloomRadius, float dotDiameter)
{
    const auto c = juce::Point<float> (std::round (centre.x), std::round (centre.y));
    paintSoftBloom (g, c.x, c.y, bloomRadius, colour);
    g.setColour (colour);
    g.fillEllipse (c.x - 0.5f * dotDiameter, c.y - 0.5f * dotDiameter, dotDiameter, dotDiameter);
    const float hw = 0.35f * dotDiameter, hh = 0.275f * dotDiameter;
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0xb2));
    g.fillEllipse (c.x - 0.5f * hw, c.y - hh, hw, hh);
}

void paintTick (juce::Graphics& g, float cx, float cy, float angle, float r0, float r1, juce::Colour colour, float width)
{
    g.setColour (colour);
    g.drawLine (juce::Line<float> (pointAt (cx, cy, r0, angle), pointAt (cx, cy, r1, angle)), width);
}

juce::Font labelFont (float height, bool bold, float kerning)
{
    juce::Font f (height, bold ? juce::Font::bold : juce::Font::plain);
    f.setExtraKerningFactor (kerning);
    return f;
}

void paintLabel (juce::Graphics& g, const juce::String& text, juce::Point<float> at, juce::Colour colour, float height,
                 float kerning, float boxWidth, float boxHeight)
{
    g.setColour (colour);
    g.setFont (labelFont (height, true, kerning));
    g.drawText (text, juce::Rectangle<float> (at.x - 0.5f * boxWidth, at.y - 0.5f * boxHeight, boxWidth, boxHeight),
                juce::Justification::centred, false);
}

void fillGradientDisc (juce::Graphics& g, float cx, float cy, float radius, juce::Colour top, float y0, juce::Colour bottom,
                       float y1)
{
    g.setGradientFill (juce::ColourGradient (top, cx, y0, bottom, cx, y1, false));
    g.fillEllipse (cx - radius, cy - radius, 2.0f * radius, 2.0f * radius);
}

void paintBloom (juce::Graphics& g, float cx, float cy, float radius,
                 std::initializer_list<std::pair<double, juce::Colour>> stops)
{
    juce::ColourGradient grad;
    grad.isRadial = true;
    grad.point1 = { cx, cy };
    grad.point2 = { cx + radius, cy };
    for (const auto& [position, colour] : stops)
        grad.addColour (position, colour);
    grad.addColour (1.0, juce::Colours::transparentBlack);
    g.setGradientFill (grad);
    g.fillEllipse (cx - radius, cy - radius, 2.0f * radius, 2.0f * radius);
}

void paintWell (juce::Graphics& g, float cx, float cy, float radius, float reach)
{
    fillGradientDisc (g, cx, cy, radius, juce::Colour (0xff2a2e35), cy - 0.45f * reach, juce::Colour (0xff101216),
                      cy + 0.85f * reach);
    strokeCircle (g, cx, cy, radius, juce::Colours::white.withAlpha ((juce::uint8) 0x1a), 1.0f);
}

void fillInnerDisc (juce::Graphics& g, float cx, float cy, float radius)
{
    fillGradientDisc (g, cx, cy, radius, juce::Colour (0xff1c2026), cy - 0.5f * radius, juce::Colour (0xff0c0e12),
                      cy + 0.7f * radius);
}

void clipToDisc (juce::Graphics& g, float cx, float cy, float radius)
{
    juce::Path disc;
    disc.addEllipse (cx - radius, cy - radius, 2.0f * radius, 2.0f * radius);
    g.reduceClipRegion (disc);
}

void paintDiscRim (juce::Graphics& g, float cx, float cy, float radius)
{
    for (int k = 0; k < 24; ++k)
    {
        const bool major = k % 8 == 0;
        paintTick (g, cx, cy, (float) k / 24.0f, (major ? 0.78f : 0.86f) * radius, 0.96f * radius,
                   juce::Colours::white.withAlpha ((juce::uint8) (major ? 0x38 : 0x1a)), major ? 1.15f : 0.75f);
    }
    strokeCircle (g, cx, cy, radius, juce::Colours::white.withAlpha ((juce::uint8) 0x24), 1.05f);
}

void paintTitle (juce::Graphics& g, const juce::String& title, float titleHeight, juce::Rectangle<int> titleBox,
                 const juce::String& caption, float captionHeight, juce::Rectangle<int> captionBox)
{
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0xe6));
    g.setFont (labelFont (titleHeight, true, 0.22f));
    g.drawText (title, titleBox, juce::Justification::centred, false);
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x73));
    g.setFont (labelFont (captionHeight, false, 0.08f));
    g.drawText (caption, captionBox, juce::Justification::centred, false);
}

const juce::String& separator()
{
    static const juce::String dot (juce::CharPointer_UTF8 ("  \xc2\xb7  "));
    return dot;
}

void strokeCircle (juce::Graphics& g, float cx, float cy, float radius, juce::Colour colour, float width)
{
    g.setColour (colour);
    g.drawEllipse (cx - radius, cy - radius, 2.0f * radius, 2.0f * radius, width);
}

void paintGlow (juce::Graphics& g, juce::Point<float> centre, float radius, juce::Colour colour, float alpha)
{
    const float r = juce::jmax (radius, 1.0f);
    g.setGradientFill (juce::ColourGradient (colour.withAlpha (juce::jlimit (0.0f, 1.0f, alpha)), centre.x, centre.y,
                                             juce::Colours::transparentBlack, centre.x + r, centre.y, true));
    g.fillEllipse (centre.x - r, centre.y - r, 2.0f * r, 2.0f * r);
}
}
