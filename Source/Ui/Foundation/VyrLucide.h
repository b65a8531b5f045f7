#pragma once

#include <juce_graphics/juce_graphics.h>

// Vector pictograms drawn at paint time from 24 x 24 unit path data of the Lucide icon set
// (ISC licence, see VyrLucide.cpp). The icon box is centred in the target rectangle and fitted to
// its shorter side; strokes are 2 units wide with curved joints and round caps.
// Message thread, inside paint routines; no state.
namespace vyrLucide
{
// Scale of the icon box in a rectangle: min(w, h) / 24.
float iconScale (juce::Rectangle<float> area) noexcept;
// Icon point (u, v) in the rectangle's pixels.
juce::Point<float> iconPoint (juce::Rectangle<float> area, float u, float v) noexcept;

void strokeD (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour colour, const char* pathData);
void circleAt (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour colour, float cx, float cy, float r, bool filled);
void lineAt (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour colour, float x1, float y1, float x2, float y2);

void drawMousePointer2 (juce::Graphics&, juce::Rectangle<float>, juce::Colour);
void drawMoveHorizontal (juce::Graphics&, juce::Rectangle<float>, juce::Colour);
void drawSpline (juce::Graphics&, juce::Rectangle<float>, juce::Colour);
void drawMoveVertical (juce::Graphics&, juce::Rectangle<float>, juce::Colour);
void drawBoxSelect (juce::Graphics&, juce::Rectangle<float>, juce::Colour);
void drawEraser (juce::Graphics&, juce::Rectangle<float>, juce::Colour);
void drawPause (juce::Graphics&, juce::Rectangle<float>, juce::Colour);
void drawPlay (juce::Graphics&, juce::Rectangle<float>, juce::Colour);
void drawWand2 (juce::Graphics&, juce::Rectangle<float>, juce::Colour);
void drawDownload (juce::Graphics&, juce::Rectangle<float>, juce::Colour);
void drawRotateCcw (juce::Graphics&, juce::Rectangle<float>, juce::Colour);
void drawGrip (juce::Graphics&, juce::Rectangle<float>, juce::Colour);
void drawSettings (juce::Graphics&, juce::Rectangle<float>, juce::Colour);
void drawMinimize2 (juce::Graphics&, juce::Rectangle<float>, juce::Colour);
void drawMaximize2 (juce::Graphics&, juce::Rectangle<float>, juce::Colour);
void drawMonitor (juce::Graphics&, juce::Rectangle<float>, juce::Colour);
void drawMic (juce::Graphics&, juce::Rectangle<float>, juce::Colour);
void drawMicOff (juce::Graphics&, juce::Rectangle<float>, juce::Colour);

using Painter = void (*) (juce::Graphics&, juce::Rectangle<float>, juce::Colour);

// Icon of a chain module by its id (exact match); unknown ids draw the activity icon.
void drawSlot (juce::Graphics& g, juce::Rectangle<float> area, const juce::String& moduleId, juce::Colour colour);

// L/R gain link chip: "LINK" with a closed link icon, or "L·R" with a broken one.
void paintLinkChip (juce::Graphics& g, juce::Rectangle<float> area, bool linked, bool light);
// Icon size and corner radius of a link chip of the given height.
float linkChipIconSize (float height) noexcept;
float linkChipRadius (float height) noexcept;

// Power icon with an "ON"/"OFF" caption, centred in the area.
void drawPowerOnOff (juce::Graphics& g, juce::Rectangle<float> area, bool on, juce::Colour colour);

// Status LED of diameter 8u, its box 10u left of the area's right edge and 4u below its top.
void drawLed (juce::Graphics& g, juce::Rectangle<float> area, bool on, float unit);
juce::Rectangle<float> ledBounds (juce::Rectangle<float> area, float unit) noexcept;
}

namespace vyrMeter
{
// Circular info dot with a lower-case "i", as on the help buttons and meters.
void paintInfoDot (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour colour);
}
