// Icon path data in this file comes from the Lucide icon set (npm package lucide-static,
// https://lucide.dev); some of its icons derive from Feather. Their licences:
//
// ISC License
//
// Copyright (c) 2026 Lucide Icons and Contributors
//
// Permission to use, copy, modify, and/or distribute this software for any
// purpose with or without fee is hereby granted, provided that the above
// copyright notice and this permission notice appear in all copies.
//
// THE SOFTWARE IS PROVIDED "AS IS" AND THE AUTHOR DISCLAIMS ALL WARRANTIES
// WITH REGARD TO THIS SOFTWARE INCLUDING ALL IMPLIED WARRANTIES OF
// MERCHANTABILITY AND FITNESS. IN NO EVENT SHALL THE AUTHOR BE LIABLE FOR
// ANY SPECIAL, DIRECT, INDIRECT, OR CONSEQUENTIAL DAMAGES OR ANY DAMAGES
// WHATSOEVER RESULTING FROM LOSS OF USE, DATA OR PROFITS, WHETHER IN AN
// ACTION OF CONTRACT, NEGLIGENCE OR OTHER TORTIOUS ACTION, ARISING OUT OF
// OR IN CONNECTION WITH THE USE OR PERFORMANCE OF THIS SOFTWARE.
//
// (Feather-derived icons, among them download, monitor, minimize-2, maximize-2 and power)
// The MIT License (MIT) (for the icons listed above)
//
// Copyright (c) 2013-present Cole Bemis
//
// Permission is hereby granted, free of charge, to any person obtaining a copy
// of this software and associated documentation files (the "Software"), to deal
// in the Software without restriction, including without limitation the rights
// to use, copy, modify, merge, publish, distribute, sublicense, and/or sell
// copies of the Software, and to permit persons to whom the Software is
// furnished to do so, subject to the following conditions:
//
// The above copyright notice and this permission notice shall be included in all
// copies or substantial portions of the Software.
//
// THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR
// IMPLIED, INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY,
// FITNESS FOR A PARTICULAR PURPOSE AND NONINFRINGEMENT. IN NO EVENT SHALL THE
// AUTHORS OR COPYRIGHT HOLDERS BE LIABLE FOR ANY CLAIM, DAMAGES OR OTHER
// LIABILITY, WHETHER IN AN ACTION OF CONTRACT, TORT OR OTHERWISE, ARISING FROM,
// OUT OF OR IN CONNECTION WITH THE SOFTWARE OR THE USE OR OTHER DEALINGS IN THE
// SOFTWARE.

#include "Ui/Foundation/VyrLucide.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace vyrLucide
{
namespace
{
juce::AffineTransform iconTransform (juce::Rectangle<float> area)
{
    const float s = iconScale (area);
    return juce::AffineTransform::translation (-12.0f, -12.0f).scaled (s).translated (area.getCentreX(), area.getCentreY());
}

bool drawable (juce::Graphics& g, juce::Rectangle<float> area)
{
    return iconScale (area) > 0.0f && ! g.isClipEmpty();
}

void strokeAll (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c, std::initializer_list<const char*> paths)
{
    for (const auto* d : paths)
        strokeD (g, a, c, d);
}

void fillIconPath (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c, const juce::Path& p)
{
    if (! drawable (g, a))
        return;
    g.setColour (c);
    g.fillPath (p, iconTransform (a));
}

const char* const kActivity = "M22 12h-2.48a2 2 0 0 0-1.93 1.46l-2.35 8.36a.25.25 0 0 1-.48 0L9.24 2.18a.25.25 0 0 0-.48 0l-2.35 8.36A2 2 0 0 1 4.49 12H2";
const char* const kMicPaths[] = { "M12 19v3", "M8 23h8", "M19 10v2a7 7 0 0 1-14 0v-2",
                                  "M12 1a3 3 0 0 1 3 3v8a3 3 0 0 1-6 0V4a3 3 0 0 1 3-3z" };

juce::Colour white (juce::uint8 a) { return juce::Colour (0xffffffffu).withAlpha (a); }
juce::Colour black (juce::uint8 a) { return juce::Colour (0xff000000u).withAlpha (a); }

float glyphWidth (const juce::Font& font, const juce::String& text)
{
    juce::GlyphArrangement ga;
    ga.addLineOfText (font, text, 0.0f, 0.0f);
    juce::Rectangle<float> u;
    for (int i = 0; i < ga.getNumGlyphs(); ++i)
    {
        const auto b = ga.getGlyph (i).getBounds();
        if (b.getWidth() > 0.0f && b.getHeight() > 0.0f)
            u = u.isEmpty() ? b : u.getUnion (b);
    }
    return u.getWidth();
}
}

float iconScale (juce::Rectangle<float> area) noexcept
{
    return juce::jmax (0.0f, juce::jmin (area.getWidth(), area.getHeight()) / 24.0f);
}

juce::Point<float> iconPoint (juce::Rectangle<float> area, float u, float v) noexcept
{
    const float s = iconScale (area);
    return { area.getCentreX() + (u - 12.0f) * s, area.getCentreY() + (v - 12.0f) * s };
}

void strokeD (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour colour, const char* pathData)
{
    if (pathData == nullptr || ! drawable (g, area))
        return;
    const auto path = juce::Drawable::parseSVGPath (juce::String::fromUTF8 (pathData));
    bool hasSegment = false;
    for (juce::Path::Iterator it (path); it.next();)
        if (it.elementType == juce::Path::Iterator::lineTo || it.elementType == juce::Path::Iterator::quadraticTo
            || it.elementType == juce::Path::Iterator::cubicTo)
        {
            hasSegment = true;
            break;
        }
    if (! hasSegment)
        return;
    g.setColour (colour);
    g.strokePath (path, juce::PathStrokeType (2.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded),
                  iconTransform (area));
}

void circleAt (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour colour, float cx, float cy, float r, bool filled)
{
    if (! drawable (g, area))
        return;
    const float s = iconScale (area);
    const auto c = iconPoint (area, cx, cy);
    g.setColour (colour);
    if (filled)
        g.fillEllipse (c.x - r * s, c.y - r * s, 2.0f * r * s, 2.0f * r * s);
    else
        g.drawEllipse (c.x - r * s, c.y - r * s, 2.0f * r * s, 2.0f * r * s, 2.0f * s);
}

void lineAt (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour colour, float x1, float y1, float x2, float y2)
{
    if (! drawable (g, area))
        return;
    g.setColour (colour);
    g.drawLine ({ iconPoint (area, x1, y1), iconPoint (area, x2, y2) }, 2.0f * iconScale (area));
}

void drawMousePointer2 (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    strokeD (g, a, c, "M4 4l7 17 2.5-7.4L21 11.1z");
}

void drawMoveHorizontal (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    strokeAll (g, a, c, { "M18 8l4 4-4 4", "M6 8l-4 4 4 4" });
    lineAt (g, a, c, 2, 12, 22, 12);
}

void drawSpline (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    strokeD (g, a, c, "M2 12c4-8 6 8 10 0s6 8 10 0");
    for (float x : { 2.0f, 12.0f, 22.0f })
        circleAt (g, a, c, x, 12.0f, 1.6f, true);
}

void drawMoveVertical (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    strokeAll (g, a, c, { "M8 18l4 4 4-4", "M8 6l4-4 4 4" });
    lineAt (g, a, c, 12, 2, 12, 22);
}

void drawBoxSelect (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    strokeAll (g, a, c, { "M4 4h6v2H6v4H4z", "M14 4h6v6h-2V6h-4z", "M4 14v6h6v-2H6v-4z", "M20 14v4h-4v2h6v-6z" });
}

void drawEraser (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    strokeD (g, a, c, "M8 19.5L3.5 15L13.5 5L18 9.5Z");
    lineAt (g, a, c, 7.2f, 16.2f, 15.8f, 7.6f);
    lineAt (g, a, c, 4, 21, 21, 21);
}

void drawPause (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    juce::Path p;
    p.addRoundedRectangle (6.0f, 4.0f, 4.0f, 16.0f, 1.0f);
    p.addRoundedRectangle (14.0f, 4.0f, 4.0f, 16.0f, 1.0f);
    fillIconPath (g, a, c, p);
}

void drawPlay (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    juce::Path p;
    p.addTriangle (5.0f, 3.0f, 19.0f, 12.0f, 5.0f, 21.0f);
    fillIconPath (g, a, c, p);
}

void drawWand2 (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    strokeAll (g, a, c, { "m21.64 3.64-1.28-1.28a1.21 1.21 0 0 0-1.72 0L2.36 18.64a1.21 1.21 0 0 0 0 1.72l1.28 1.28a1.2 1.2 0 0 0 1.72 0L21.64 5.36a1.2 1.2 0 0 0 0-1.72", "m14 7 3 3" });
    lineAt (g, a, c, 5, 6, 5, 10);
    lineAt (g, a, c, 19, 14, 19, 18);
    lineAt (g, a, c, 10, 2, 10, 4);
    lineAt (g, a, c, 7, 8, 3, 8);
    lineAt (g, a, c, 21, 16, 17, 16);
    lineAt (g, a, c, 11, 3, 9, 3);
}

void drawDownload (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    strokeAll (g, a, c, { "M21 15v4a2 2 0 0 1-2 2H5a2 2 0 0 1-2-2v-4", "m7 10 5 5 5-5" });
    lineAt (g, a, c, 12, 15, 12, 3);
}

void drawRotateCcw (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    strokeAll (g, a, c, { "M3 12a9 9 0 1 0 9-9 9.75 9.75 0 0 0-6.74 2.74L3 8", "M3 3v5h5" });
}

void drawGrip (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    for (float x : { 9.0f, 15.0f })
        for (float y : { 5.0f, 12.0f, 19.0f })
            circleAt (g, a, c.withAlpha ((juce::uint8) 0x8c), x, y, 1.15f, true);
}

void drawSettings (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    circleAt (g, a, c, 12, 12, 3.2f, false);
    for (int k = 0; k < 8; ++k)
    {
        const float ang = juce::degreesToRadians (45.0f * (float) k);
        lineAt (g, a, c, 12.0f + 6.4f * std::cos (ang), 12.0f + 6.4f * std::sin (ang),
                12.0f + 10.2f * std::cos (ang), 12.0f + 10.2f * std::sin (ang));
    }
}

void drawMinimize2 (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    strokeAll (g, a, c, { "M4 14h6v6", "M20 10h-6V4", "M14 10 21 3", "M3 21 10 14" });
}

void drawMaximize2 (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    strokeAll (g, a, c, { "M15 3h6v6", "M9 21H3v-6", "M21 3 14 10", "M3 21 10 14" });
}

void drawMonitor (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    strokeD (g, a, c, "M6 3h12a2 2 0 0 1 2 2v10a2 2 0 0 1-2 2H6a2 2 0 0 1-2-2V5a2 2 0 0 1 2-2z");
    lineAt (g, a, c, 8, 21, 16, 21);
    lineAt (g, a, c, 12, 17, 12, 21);
}

void drawMic (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    for (const auto* d : kMicPaths)
        strokeD (g, a, c, d);
}

void drawMicOff (juce::Graphics& g, juce::Rectangle<float> a, juce::Colour c)
{
    drawMic (g, a, c);
    lineAt (g, a, c, 2, 2, 22, 22);
}

void drawSlot (juce::Graphics& g, juce::Rectangle<float> a, const juce::String& id, juce::Colour c)
{
    if (id == "compressor")
        strokeAll (g, a, c, { "m12 14 4-4", "M3.34 19a10 10 0 1 1 17.32 0" });
    else if (id == "saturation")
        strokeD (g, a, c, "M8.5 14.5A2.5 2.5 0 0 0 11 12c0-1.38-.5-2-1-3-1.072-2.143-.224-4.054 2-6 .5 2.5 2 4.9 4 6.5 2 1.6 3 3.5 3 5.5a7 7 0 1 1-14 0c0-1.153.433-2.294 1-3a2.5 2.5 0 0 0 2.5 2.5z");
    else if (id == "analogueDensity")
        strokeAll (g, a, c, { "M2.97 12.92A2 2 0 0 0 2 14.63v3.24a2 2 0 0 0 .97 1.71l3 1.8a2 2 0 0 0 2.06 0L12 19v-5.5l-5-3-4.03 2.42Z",
                              "M12 13.5V19l3.97 2.38a2 2 0 0 0 2.06 0l3-1.8a2 2 0 0 0 .97-1.71v-3.24a2 2 0 0 0-.97-1.71L17 10.5l-5 3Z",
                              "M7.97 4.42A2 2 0 0 0 7 6.13v4.37l5 3 5-3V6.13a2 2 0 0 0-.97-1.71l-3-1.8a2 2 0 0 0-2.06 0l-3 1.8Z" });
    else if (id == "clip")
    {
        circleAt (g, a, c, 6, 6, 3, false);
        circleAt (g, a, c, 6, 18, 3, false);
        strokeAll (g, a, c, { "M8.12 8.12 12 12", "M20 4 8.12 15.88", "M14.8 14.8 20 20" });
    }
    else if (id == "tape")
    {
        circleAt (g, a, c, 12, 12, 10, false);
        circleAt (g, a, c, 12, 12, 2, false);
        strokeAll (g, a, c, { "M6 12c0-1.7.7-3.2 1.8-4.2", "M18 12c0 1.7-.7 3.2-1.8 4.2" });
    }
    else if (id == "delay")
    {
        circleAt (g, a, c, 12, 14, 8, false);
        lineAt (g, a, c, 10, 2, 14, 2);
        lineAt (g, a, c, 12, 14, 15, 11);
    }
    else if (id == "reverb")
        strokeAll (g, a, c, { "M2 6c.6.5 1.2 1 2.5 1C7 7 7 5 9.5 5c2.6 0 2.4 2 5 2 2.5 0 2.5-2 5-2 1.3 0 1.9.5 2.5 1",
                              "M2 12c.6.5 1.2 1 2.5 1 2.5 0 2.5-2 5-2 2.6 0 2.4 2 5 2 2.5 0 2.5-2 5-2 1.3 0 1.9.5 2.5 1",
                              "M2 18c.6.5 1.2 1 2.5 1 2.5 0 2.5-2 5-2 2.6 0 2.4 2 5 2 2.5 0 2.5-2 5-2 1.3 0 1.9.5 2.5 1" });
    else if (id == "eq")
    {
        const float lines[9][4] = { { 21, 4, 14, 4 }, { 10, 4, 3, 4 }, { 21, 12, 12, 12 }, { 8, 12, 3, 12 }, { 21, 20, 16, 20 },
                                    { 12, 20, 3, 20 }, { 14, 2, 14, 6 }, { 8, 10, 8, 14 }, { 16, 18, 16, 22 } };
        for (const auto& l : lines)
            lineAt (g, a, c, l[0], l[1], l[2], l[3]);
    }
    else if (id == "multiBandComp")
        strokeAll (g, a, c, { "M12.83 2.18a2 2 0 0 0-1.66 0L2.6 6.08a1 1 0 0 0 0 1.83l8.58 3.91a2 2 0 0 0 1.66 0l8.58-3.9a1 1 0 0 0 0-1.83z",
                              "M2 12a1 1 0 0 0 .58.91l8.6 3.91a2 2 0 0 0 1.65 0l8.58-3.9A1 1 0 0 0 22 12",
                              "M2 17a1 1 0 0 0 .58.91l8.6 3.91a2 2 0 0 0 1.65 0l8.58-3.9A1 1 0 0 0 22 17" });
    else if (id == "limiter")
    {
        strokeD (g, a, c, "M20 13c0 5-3.5 7.5-7.66 8.95a1 1 0 0 1-.67-.01C7.5 20.5 4 18 4 13V6a1 1 0 0 1 1-1c2 0 4.5-1.2 6.24-2.72a1.17 1.17 0 0 1 1.52 0C14.51 3.81 17 5 19 5a1 1 0 0 1 1 1z");
        lineAt (g, a, c, 12, 8, 12, 12);
        circleAt (g, a, c, 12, 16, 0.9f, true);
    }
    else if (id == "stereoImager")
        strokeAll (g, a, c, { "M12 3H5a2 2 0 0 0-2 2v14a2 2 0 0 0 2 2h14a2 2 0 0 0 2-2v-7", "M14 15H9v-5", "M16 3h5v5", "M21 3 9 15" });
    else if (id == "tovu")
    {
        circleAt (g, a, c, 12, 12, 10, false);
        circleAt (g, a, c, 12, 12, 1.4f, true);
    }
    else
        strokeD (g, a, c, kActivity); // "dynamicEq", "multimeter" and unknown ids
}

float linkChipIconSize (float height) noexcept { return juce::jlimit (12.0f, 16.0f, height - 8.0f); }
float linkChipRadius (float height) noexcept { return juce::jmin (0.35f * height, 6.0f); }

void paintLinkChip (juce::Graphics& g, juce::Rectangle<float> area, bool linked, bool light)
{
    juce::Colour fill, outline, ink;
    if (light)
    {
        fill = linked ? juce::Colour (0xff2a2e35) : black (0x14);
        outline = linked ? white (0x38) : juce::Colour (0x591a1a1a);
        ink = linked ? white (0xeb) : juce::Colour (0xff1a1a1a);
    }
    else
    {
        fill = linked ? juce::Colour (0x6622d3ee) : white (0x0f);
        outline = linked ? juce::Colour (0xcc67e8f9) : white (0x2e);
        ink = linked ? juce::Colour (0xffecfeff) : white (0xe6);
    }
    const float radius = linkChipRadius (area.getHeight());
    g.setColour (fill);
    g.fillRoundedRectangle (area, radius);
    g.setColour (outline);
    g.drawRoundedRectangle (area, radius, 1.0f);

    const juce::String label = linked ? "LINK" : juce::String (juce::CharPointer_UTF8 ("L\xc2\xb7R"));
    const auto font = juce::Font (11.0f, juce::Font::bold).withExtraKerningFactor (0.1f);
    const float labelW = glyphWidth (font, label);
    const float i = linkChipIconSize (area.getHeight());
    const float left = area.getX() + (area.getWidth() - (i + 4.0f + labelW)) * 0.5f;
    const juce::Rectangle<float> iconBox (left, area.getCentreY() - i * 0.5f, i, i);

    strokeD (g, iconBox, ink, "M9 17H7A5 5 0 0 1 7 7h2");
    if (linked)
    {
        strokeD (g, iconBox, ink, "M15 7h2a5 5 0 1 1 0 10h-2");
        lineAt (g, iconBox, ink, 8, 12, 16, 12);
    }
    else
    {
        strokeD (g, iconBox, ink, "M15 7h2a5 5 0 0 1 0 10h-2");
        lineAt (g, iconBox, ink, 8, 12, 11, 12);
        lineAt (g, iconBox, ink, 13, 12, 16, 12);
    }
    g.setColour (ink);
    g.setFont (font);
    g.drawText (label, juce::Rectangle<float> ((float) juce::roundToInt (left + i + 4.0f), area.getY(), std::ceil (labelW) + 2.0f, area.getHeight()),
                juce::Justification::centredLeft, false);
}

void drawPowerOnOff (juce::Graphics& g, juce::Rectangle<float> area, bool on, juce::Colour colour)
{
    const juce::String text = on ? "ON" : "OFF";
    const juce::Font font (10.0f, juce::Font::bold);
    const float w = std::ceil (font.getStringWidthFloat (text));
    const float boxLeft = area.getX() + (area.getWidth() - (w + 18.0f)) * 0.5f;
    const juce::Rectangle<float> box (boxLeft, area.getCentreY() - 7.0f, 14.0f, 14.0f);
    strokeD (g, box, colour, "M12 2v10");
    strokeD (g, box, colour, "M18.4 6.6a9 9 0 1 1-12.77.04");
    g.setColour (colour);
    g.setFont (font);
    g.drawText (text, juce::Rectangle<float> ((float) (int) (boxLeft + 18.0f), area.getY(), w + 2.0f, area.getHeight()),
                juce::Justification::centredLeft, false);
}

juce::Rectangle<float> ledBounds (juce::Rectangle<float> area, float u) noexcept
{
    return { area.getRight() - 10.0f * u, area.getY() + 4.0f * u, 8.0f * u, 8.0f * u };
}

void drawLed (juce::Graphics& g, juce::Rectangle<float> area, bool on, float u)
{
    const auto led = ledBounds (area, u);
    if (on)
    {
        g.setColour (juce::Colour (0x8c34d399));
        g.fillEllipse (led.expanded (2.2f * u));
        g.setColour (juce::Colour (0xff4ade80));
        g.fillEllipse (led);
        g.setColour (juce::Colour (0xffa7f3d0));
        g.drawEllipse (led, u);
    }
    else
    {
        g.setColour (white (0x1a));
        g.fillEllipse (led);
        g.setColour (white (0x66));
        g.drawEllipse (led, u);
    }
}
}

namespace vyrMeter
{
void paintInfoDot (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour colour)
{
    const auto r = juce::Rectangle<float> (area.getX() + 0.6f, area.getY() + 0.6f, juce::jmax (area.getWidth() - 1.2f, 0.0f),
                                           juce::jmax (area.getHeight() - 1.2f, 0.0f));
    const float side = juce::jmin (r.getWidth(), r.getHeight());
    const auto sq = juce::Rectangle<float> (side, side).withCentre (r.getCentre());
    g.setColour (colour.withAlpha ((juce::uint8) 0x40));
    g.fillEllipse (sq);
    g.setColour (colour);
    g.drawEllipse (sq, 1.2f);
    g.setFont (juce::Font (10.0f, juce::Font::italic));
    g.drawText ("i", sq.toNearestInt(), juce::Justification::centred, false);
}
}
