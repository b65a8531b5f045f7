#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

// Strokes a trace whose x never decreases (a scope, a spectrum curve) with round joints and ends,
// the shape a curved, rounded juce::PathStrokeType gives, but rasterised column by column: the
// exact vertical extent of the thick line is taken at four points across every device pixel and
// summed into a coverage mask, which is then filled with the colour. A dense trace of thousands
// of points costs a few hundred microseconds this way instead of an edge table of its whole
// outline. The mask and the working storage are kept between frames and reallocated only when
// the area or the display scale changes. Message thread only.
class VyrTraceStroke
{
public:
    // Strokes the polyline through pts[0..n-1] `width` wide in `colour`, confined to `area`
    // (component coordinates; what falls outside is not drawn).
    void stroke (juce::Graphics&, juce::Rectangle<int> area, const juce::Point<float>* pts, int n, float width, juce::Colour);

private:
    void prepare (juce::Rectangle<int> area, float scale);
    // Widens [lo, hi] to the vertical extent, at device column position c, of the line R thick
    // (half width) through the points; firstPoint and firstSeg follow c as it grows.
    void extentAt (float c, float R, int& firstPoint, int& firstSeg, float& lo, float& hi) const;

    juce::Image mask;
    juce::Rectangle<int> maskArea;
    float maskScale = 0.0f;
    static constexpr int kTile = 64;
    struct Segment
    {
        float slope = 0.0f, nx = 0.0f, ny = 0.0f; // dy/dx, and the offset to one side (half the width)
        bool sides = false;                       // false for a vertical or empty segment
    };
    std::vector<juce::Point<float>> dev; // the points in device pixels of the mask
    std::vector<Segment> segs;
    std::vector<juce::uint16> column;
    std::vector<juce::Image> tileImages; // views of the mask, one per tile
    std::vector<int> tileX;              // first device column of each tile
    std::vector<int> tileLo, tileHi;     // device rows each tile touched in this stroke
};
