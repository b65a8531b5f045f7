#pragma once

#include <juce_graphics/juce_graphics.h>

// The wordmark of the main view's header: the title "Quarn" in a large bold face, an embossed
// square badge and the word "Kaldun". The view measures it in resized (to know how wide its chip
// rows may be) and draws it in paint; these functions only measure.
struct HeaderLockup
{
    juce::Font titleFont;
    juce::Font subFont;
    float titleX = 0.0f;
    float titleY = 0.0f; // text baseline
    float titleWidth = 0.0f;
    float subX = 0.0f;
    float width = 0.0f; // from titleX to the end of the subtitle
    juce::Rectangle<float> badge;
};

namespace vyrHeader
{
// The title font at 70 px: the first installed face of the preferred list, else the bold default
// sans-serif. Kerning 0.045.
juce::Font quarnTitleFont();

// Whether a face the system reports may carry the title: not empty, not an Arial, and not an
// ultra-light, thin, hairline or light style.
bool isUsableTitleFace (const juce::String& name, const juce::String& style);

// Union of the outlines of the glyphs of one line laid out at baseline (0, 0); glyphs without
// ink (spaces, or a face that draws nothing) do not count.
juce::Rectangle<float> inkBounds (const juce::Font&, const juce::String&);

// The ink width of one line of text (0 when nothing would be drawn).
float lineWidth (const juce::Font&, const juce::String&);

// The lockup in the header's inner rectangle: title ink centred vertically, 12 px in from the left;
// the 48 x 48 badge 10 px right of the title's ink, centred on the header; the subtitle 10 px after.
HeaderLockup makeHeaderLockup (juce::Rectangle<float> area);
}
