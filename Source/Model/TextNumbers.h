#pragma once

#include <juce_core/juce_core.h>

// Locale-independent number text used by the plug-in state.
namespace vyrText
{
    // Fixed notation with exactly `decimals` digits after the point ("-0.000" is written "0.000").
    juce::String fixed (double value, int decimals);

    // Reads as much of a decimal number as the text holds after leading white space; no number reads 0.
    // Non-finite results read as 0 so a state can never carry NaN or infinity into the program.
    float readFloat (const juce::String& text);

    // Reads like the C library's atoi: white space, an optional sign, then digits; anything else gives 0.
    // Saturates at the 32-bit limits instead of overflowing.
    int readInt (const juce::String& text);

    // The shortest text that reads back as the same double, a whole number keeping one decimal ("1000.0").
    juce::String shortestDouble (double value);
}
