#include "Ui/ModulePanels/PanelKit.h"

#include "Core/PluginProcessor.h"
#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/Foundation/VyrTheme.h"

#include <cmath>

namespace vyrPanel
{
float read (juce::AudioProcessorValueTreeState& tree, const juce::String& id, float fallback)
{
    if (auto* v = tree.getRawParameterValue (id))
    {
        const float x = v->load();
        return std::isfinite (x) ? x : fallback;
    }
    return fallback;
}

bool readOn (juce::AudioProcessorValueTreeState& tree, const juce::String& id, bool fallback)
{
    if (tree.getRawParameterValue (id) == nullptr)
        return fallback;
    return read (tree, id, fallback ? 1.0f : 0.0f) >= 0.5f;
}

int readChoice (juce::AudioProcessorValueTreeState& tree, const juce::String& id, int fallback)
{
    if (dynamic_cast<juce::AudioParameterChoice*> (tree.getParameter (id)) == nullptr)
        return fallback;
    return juce::roundToInt (read (tree, id, (float) fallback));
}

namespace
{
void writeNormalised (juce::RangedAudioParameter* p, float normalised)
{
    if (p == nullptr || ! std::isfinite (normalised) || std::abs (p->getValue() - normalised) < 1.0e-7f)
        return;
    p->beginChangeGesture();
    p->setValueNotifyingHost (normalised);
    p->endChangeGesture();
}
}

void write (juce::AudioProcessorValueTreeState& tree, const juce::String& id, float plain)
{
    if (auto* p = tree.getParameter (id))
        writeNormalised (p, p->convertTo0to1 (plain));
}

void writeOn (juce::AudioProcessorValueTreeState& tree, const juce::String& id, bool on)
{
    writeNormalised (tree.getParameter (id), on ? 1.0f : 0.0f);
}

void writeChoice (juce::AudioProcessorValueTreeState& tree, const juce::String& id, int index)
{
    if (auto* p = dynamic_cast<juce::AudioParameterChoice*> (tree.getParameter (id)))
        writeNormalised (p, p->convertTo0to1 ((float) juce::jlimit (0, p->choices.size() - 1, index)));
}

int identity (const VyrAudioProcessor& p) { return vyrClampTheme (p.themeIndex.load (std::memory_order_acquire)); }

juce::Font font (float height, bool bold, float kerning)
{
    juce::Font f (height, bold ? juce::Font::bold : juce::Font::plain);
    return kerning != 0.0f ? f.withExtraKerningFactor (kerning) : f;
}

void text (juce::Graphics& g, const juce::String& s, juce::Rectangle<float> r, juce::Justification j)
{
    g.drawText (s, r, j, false);
}

void GestureSpan::write (const juce::String& id, float plain)
{
    auto* p = tree.getParameter (id);
    if (p == nullptr)
        return;
    const float v = p->convertTo0to1 (plain);
    if (! std::isfinite (v) || std::abs (p->getValue() - v) < 1.0e-7f)
        return;
    if (std::find (open.begin(), open.end(), p) == open.end())
    {
        p->beginChangeGesture();
        open.push_back (p);
    }
    p->setValueNotifyingHost (v);
}

void GestureSpan::end()
{
    for (auto* p : open)
        p->endChangeGesture();
    open.clear();
}

ButtonLook::ButtonLook (juce::Colour a, Segment s) : accent (a), segment (std::move (s)) {}

void ButtonLook::drawButtonBackground (juce::Graphics& g, juce::Button& b, const juce::Colour&, bool, bool)
{
    const auto area = b.getLocalBounds().toFloat();
    if (segment.id.isNotEmpty() && b.getComponentID() == segment.id)
    {
        g.setColour (b.getToggleState() ? segment.lit : segment.unlit);
        g.fillRect (area);
        return;
    }
    vyrDrawEnamelButton (g, area, b.getToggleState(), accent, false, true);
}

void ButtonLook::drawButtonText (juce::Graphics& g, juce::TextButton& b, bool, bool)
{
    const auto area = b.getLocalBounds().toFloat();
    const bool lit = b.getToggleState();
    if (segment.id.isNotEmpty() && b.getComponentID() == segment.id)
    {
        g.setColour (lit ? vyrPaleInk (segment.lit) : segment.unlitInk);
        g.setFont (font (segment.fontHeight, true));
        g.drawText (b.getButtonText(), area, juce::Justification::centred, false);
        return;
    }
    vyrLucide::drawPowerOnOff (g, area, lit, lit ? vyrPaleInk (vyrDeepTone (accent)) : juce::Colour (0xffd4d8de));
}

bool showing (const juce::Component& c) { return vyrVisibleInScroll (c); }
}
