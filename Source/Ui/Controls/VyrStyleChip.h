#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Chip colours shared by the module panels' header and band chips.

// A lit chip's fill: the colour's hue and alpha, saturation min(0.9 s, 0.7), brightness min(0.82 b, 0.7).
juce::Colour vyrDeepTone (juce::Colour c) noexcept;
// Ink on a lit chip: the colour's hue, saturation min(0.28 s, 0.2), brightness 0.92, opaque.
juce::Colour vyrPaleInk (juce::Colour c) noexcept;

// Styles a text button as a chip: a faint face when off, the accent when on. Text on a lit chip is
// `onText` only where the accent is bright enough to carry it (perceived brightness above 0.78);
// darker accents get the pale ink of their deep tone, which stays legible on the lit face. Sets
// the toggle state without notifying, so styling never runs a click handler.
void styleChip (juce::TextButton& button, bool on, juce::Colour accent, juce::Colour onText);

// Perceived brightness sqrt(0.241 R² + 0.691 G² + 0.068 B²), channels in 0..1.
float vyrPerceivedBrightness (juce::Colour c) noexcept;
