#pragma once

#include <juce_graphics/juce_graphics.h>

// Drawing primitives of the desktop header: brushed metal, recessed wells, the two-position paddle
// switch and the faint valve-amplifier schematic. Stateless; message thread, from paint only.
namespace vyrShell
{
// Brushed-metal strokes over r (the caller clips).
void paintMillBrush (juce::Graphics& g, juce::Rectangle<float> r, bool light);
// A recessed metal well with rounded corners.
void paintRecess (juce::Graphics& g, juce::Rectangle<float> r, float radius, bool light);
// A paddle switch; side 0 puts the paddle on the left half, 1 on the right.
void paintMetalRocker (juce::Graphics& g, juce::Rectangle<float> r, int side, bool light, juce::Colour accent);
// Three-valve schematic across area's horizontal span at the header's fixed rows (rails at y 26
// and 126, valve centres at y 70.24).
void paintTubeSchematic (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour accent, bool light);

// The product family's motto, under the family name and in the window title.
const char* familyMotto() noexcept;

// A colour whose alpha byte is round(f * 255), clamped to 0..255.
juce::Colour withAlphaF (juce::Colour c, float f) noexcept;
}
