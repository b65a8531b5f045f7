#include "Ui/Controls/VyrTraceStroke.h"

#include <cmath>
#include <cstring>

namespace
{
constexpr int kSubColumns = 4;                 // samples across a device pixel
constexpr float kWeight = 256.0f / kSubColumns; // coverage of one sample over a whole pixel
}

void VyrTraceStroke::prepare (juce::Rectangle<int> area, float scale)
{
    if (mask.isValid() && area == maskArea && scale == maskScale)
        return;
    maskArea = area;
    maskScale = scale;
    mask = juce::Image (juce::Image::SingleChannel, juce::jmax (1, (int) std::ceil ((float) area.getWidth() * scale)),
                        juce::jmax (1, (int) std::ceil ((float) area.getHeight() * scale)), true, juce::SoftwareImageType());
    column.assign ((size_t) mask.getHeight() + 1, 0);
}

void VyrTraceStroke::stroke (juce::Graphics& g, juce::Rectangle<int> area, const juce::Point<float>* pts, int n, float width,
                             juce::Colour colour)
{
    if (n < 1 || area.isEmpty() || ! (width > 0.0f) || colour.isTransparent())
        return;
    const float s = juce::jlimit (0.25f, 8.0f, g.getInternalContext().getPhysicalPixelScaleFactor());
    prepare (area, s);
    const int w = mask.getWidth(), h = mask.getHeight();
    const float R = 0.5f * width * s, R2 = R * R;
    const float ox = (float) area.getX(), oy = (float) area.getY();
    auto X = [&] (int i) { return (pts[i].x - ox) * s; };
    auto Y = [&] (int i) { return (pts[i].y - oy) * s; };

    // Only the device columns the trace can reach (and that the clip lets through) are worked.
    const auto clip = g.getClipBounds().getIntersection (area);
    if (clip.isEmpty())
        return;
    {
    juce::Image::BitmapData bits (mask, juce::Image::BitmapData::readWrite);
    for (int y = 0; y < h; ++y)
        std::memset (bits.getLinePointer (y), 0, (size_t) w);
    const int c0 = juce::jmax (0, (int) std::floor (juce::jmax (X (0) - R, (float) (clip.getX() - area.getX()) * s)));
    const int c1 = juce::jmin (w, (int) std::ceil (juce::jmin (X (n - 1) + R, (float) (clip.getRight() - area.getX()) * s)) + 1);

    int first = 0; // first segment (or point, when n is 1) still within reach
    for (int i = c0; i < c1; ++i)
    {
        int rowLo = h, rowHi = -1;
        for (int k = 0; k < kSubColumns; ++k)
        {
            const float c = (float) i + ((float) k + 0.5f) / (float) kSubColumns;
            while (first < n - 2 && X (first + 1) < c - R)
                ++first;
            float lo = 1.0e30f, hi = -1.0e30f;
            auto disc = [&] (float px, float py)
            {
                const float dx = c - px;
                if (dx * dx <= R2)
                {
                    const float e = std::sqrt (R2 - dx * dx);
                    lo = juce::jmin (lo, py - e);
                    hi = juce::jmax (hi, py + e);
                }
            };
            auto side = [&] (float px, float py, float qx, float qy)
            {
                if ((c - px) * (c - qx) <= 0.0f && px != qx)
                {
                    const float y = py + (c - px) * (qy - py) / (qx - px);
                    lo = juce::jmin (lo, y);
                    hi = juce::jmax (hi, y);
                }
            };
            if (n == 1)
                disc (X (0), Y (0));
            for (int j = first; j < n - 1 && X (j) <= c + R; ++j)
            {
                const float ax = X (j), ay = Y (j), bx = X (j + 1), by = Y (j + 1);
                disc (ax, ay);
                disc (bx, by);
                const float dx = bx - ax, dy = by - ay, len = std::sqrt (dx * dx + dy * dy);
                if (len > 1.0e-6f)
                {
                    const float nx = -dy / len * R, ny = dx / len * R;
                    side (ax + nx, ay + ny, bx + nx, by + ny);
                    side (ax - nx, ay - ny, bx - nx, by - ny);
                }
            }
            if (! (hi > lo))
                continue;
            lo = juce::jmax (lo, 0.0f);
            hi = juce::jmin (hi, (float) h);
            if (! (hi > lo))
                continue;
            const int y0 = (int) lo, y1 = juce::jmin (h - 1, (int) std::ceil (hi) - 1);
            for (int y = y0; y <= y1; ++y)
            {
                const float cover = juce::jmin (hi, (float) y + 1.0f) - juce::jmax (lo, (float) y);
                column[(size_t) y] = (juce::uint16) (column[(size_t) y] + (int) (cover * kWeight + 0.5f));
            }
            rowLo = juce::jmin (rowLo, y0);
            rowHi = juce::jmax (rowHi, y1);
        }
        for (int y = rowLo; y <= rowHi; ++y)
        {
            *bits.getPixelPointer (i, y) = (juce::uint8) juce::jmin (255, (int) column[(size_t) y]);
            column[(size_t) y] = 0;
        }
    }
    }

    g.setColour (colour);
    if (s == 1.0f)
        g.drawImageAt (mask, area.getX(), area.getY(), true);
    else
        g.drawImageTransformed (mask, juce::AffineTransform::scale (1.0f / s).translated (ox, oy), true);
}
