#include "Ui/Controls/VyrTraceStroke.h"

#include <cmath>
#include <cstring>

namespace
{
// Samples across a device pixel: four for thin lines, whose edges show; two for wide, faint glows,
// which cost the most (many segments within reach) and whose soft edges hide the difference.
int subColumnsFor (float deviceWidth) noexcept { return deviceWidth >= 3.0f ? 2 : 4; }
}

// The mask is drawn and cleared in tiles of kTile component pixels across, each only over the rows
// its columns touched: a thin curve wandering over a tall area costs little more than its ink.

void VyrTraceStroke::prepare (juce::Rectangle<int> area, float scale)
{
    if (mask.isValid() && area == maskArea && scale == maskScale)
        return;
    maskArea = area;
    maskScale = scale;
    mask = juce::Image (juce::Image::SingleChannel, juce::jmax (1, (int) std::ceil ((float) area.getWidth() * scale)),
                        juce::jmax (1, (int) std::ceil ((float) area.getHeight() * scale)), true, juce::SoftwareImageType());
    column.assign ((size_t) mask.getHeight() + 1, 0);
    // One view of the mask per tile: drawing a tile then reads only its own columns.
    tileImages.clear();
    tileX.clear();
    for (int t = 0; t * kTile < area.getWidth(); ++t)
    {
        const int x0 = juce::jlimit (0, mask.getWidth(), (int) std::floor ((float) (t * kTile) * scale));
        const int x1 = juce::jlimit (x0 + 1, mask.getWidth(), (int) std::ceil ((float) ((t + 1) * kTile) * scale));
        tileImages.push_back (mask.getClippedImage ({ x0, 0, x1 - x0, mask.getHeight() }));
        tileX.push_back (x0);
    }
}

void VyrTraceStroke::extentAt (float c, float R, int& firstPoint, int& firstSeg, float& lo, float& hi) const
{
    const int n = (int) dev.size();
    const float R2 = R * R;
    // The round joints and ends: a disc around every point within reach.
    while (firstPoint < n - 1 && dev[(size_t) firstPoint].x < c - R)
        ++firstPoint;
    for (int j = firstPoint; j < n && dev[(size_t) j].x <= c + R; ++j)
    {
        const float dx = c - dev[(size_t) j].x, e2 = R2 - dx * dx;
        if (e2 >= 0.0f)
        {
            const float e = std::sqrt (e2);
            lo = juce::jmin (lo, dev[(size_t) j].y - e);
            hi = juce::jmax (hi, dev[(size_t) j].y + e);
        }
    }
    // The straight sides of every segment within reach.
    while (firstSeg < n - 2 && dev[(size_t) firstSeg + 1].x < c - R)
        ++firstSeg;
    for (int j = firstSeg; j < n - 1 && dev[(size_t) j].x <= c + R; ++j)
    {
        const auto& sg = segs[(size_t) j];
        if (! sg.sides)
            continue;
        const float ax = dev[(size_t) j].x, ay = dev[(size_t) j].y, bx = dev[(size_t) j + 1].x;
        for (const float sign : { 1.0f, -1.0f })
        {
            const float px = ax + sign * sg.nx;
            if (c >= px && c <= bx + sign * sg.nx)
            {
                const float y = ay + sign * sg.ny + (c - px) * sg.slope;
                lo = juce::jmin (lo, y);
                hi = juce::jmax (hi, y);
            }
        }
    }
}

void VyrTraceStroke::stroke (juce::Graphics& g, juce::Rectangle<int> area, const juce::Point<float>* pts, int n, float width,
                             juce::Colour colour)
{
    if (n < 1 || area.isEmpty() || ! (width > 0.0f) || colour.isTransparent())
        return;
    const float s = juce::jlimit (0.25f, 8.0f, g.getInternalContext().getPhysicalPixelScaleFactor());
    prepare (area, s);
    const int w = mask.getWidth(), h = mask.getHeight();
    const float R = 0.5f * width * s;
    const int subColumns = subColumnsFor (width * s);
    const float weight = 256.0f / (float) subColumns; // coverage of one sample over a whole pixel
    const float ox = (float) area.getX(), oy = (float) area.getY();
    // The points in device pixels of the mask, and each segment's slope and offset to its sides.
    dev.resize ((size_t) n);
    for (int i = 0; i < n; ++i)
        dev[(size_t) i] = { (pts[i].x - ox) * s, (pts[i].y - oy) * s };
    segs.resize ((size_t) juce::jmax (0, n - 1));
    for (int i = 0; i + 1 < n; ++i)
    {
        const auto a = dev[(size_t) i], b = dev[(size_t) i + 1];
        const float dx = b.x - a.x, dy = b.y - a.y, len = std::sqrt (dx * dx + dy * dy);
        auto& sg = segs[(size_t) i];
        sg.slope = dx > 0.0f ? dy / dx : 0.0f;
        sg.nx = len > 1.0e-6f ? -dy / len * R : 0.0f;
        sg.ny = len > 1.0e-6f ? dx / len * R : 0.0f;
        sg.sides = dx > 0.0f && len > 1.0e-6f;
    }

    // Only the device columns the trace can reach (and that the clip lets through) are worked.
    const auto clip = g.getClipBounds().getIntersection (area);
    if (clip.isEmpty())
        return;
    const int tiles = (area.getWidth() + kTile - 1) / kTile;
    tileLo.assign ((size_t) tiles, h);
    tileHi.assign ((size_t) tiles, -1);
    {
        juce::Image::BitmapData bits (mask, juce::Image::BitmapData::readWrite);
        const int c0 = juce::jmax (0, (int) std::floor (juce::jmax (dev[0].x - R, (float) (clip.getX() - area.getX()) * s)));
        const int c1 = juce::jmin (w, (int) std::ceil (juce::jmin (dev[(size_t) n - 1].x + R, (float) (clip.getRight() - area.getX()) * s)) + 1);

        int firstPoint = 0, firstSeg = 0; // the first point and segment still within reach
        for (int i = c0; i < c1; ++i)
        {
            int rowLo = h, rowHi = -1;
            for (int k = 0; k < subColumns; ++k)
            {
                const float c = (float) i + ((float) k + 0.5f) / (float) subColumns;
                float lo = 1.0e30f, hi = -1.0e30f;
                extentAt (c, R, firstPoint, firstSeg, lo, hi);
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
                    column[(size_t) y] = (juce::uint16) (column[(size_t) y] + (int) (cover * weight + 0.5f));
                }
                rowLo = juce::jmin (rowLo, y0);
                rowHi = juce::jmax (rowHi, y1);
            }
            if (rowHi >= rowLo)
            {
                const auto t = (size_t) juce::jlimit (0, tiles - 1, (int) ((float) i / s) / kTile);
                tileLo[t] = juce::jmin (tileLo[t], rowLo);
                tileHi[t] = juce::jmax (tileHi[t], rowHi);
            }
            for (int y = rowLo; y <= rowHi; ++y)
            {
                *bits.getPixelPointer (i, y) = (juce::uint8) juce::jmin (255, (int) column[(size_t) y]);
                column[(size_t) y] = 0;
            }
        }
    }

    g.setColour (colour);
    const auto place = juce::AffineTransform::scale (1.0f / s).translated (ox, oy);
    for (int t = 0; t < tiles; ++t)
    {
        if (tileHi[(size_t) t] < tileLo[(size_t) t])
            continue;
        const int y0 = (int) std::floor ((float) tileLo[(size_t) t] / s), y1 = (int) std::ceil ((float) (tileHi[(size_t) t] + 1) / s);
        const juce::Rectangle<int> tile (area.getX() + t * kTile, area.getY() + y0, juce::jmin (kTile, area.getWidth() - t * kTile), y1 - y0);
        {
            juce::Graphics::ScopedSaveState save (g);
            g.reduceClipRegion (tile);
            const auto& image = tileImages[(size_t) t];
            if (s == 1.0f)
                g.drawImageAt (image, area.getX() + tileX[(size_t) t], area.getY(), true);
            else
                g.drawImageTransformed (image, juce::AffineTransform::translation ((float) tileX[(size_t) t], 0.0f).followedBy (place), true);
        }
        // Leave the mask clear for the next stroke.
        juce::Image::BitmapData bits (mask, juce::Image::BitmapData::writeOnly);
        const int dx0 = tileX[(size_t) t], dx1 = dx0 + tileImages[(size_t) t].getWidth();
        for (int y = tileLo[(size_t) t]; y <= tileHi[(size_t) t]; ++y)
            std::memset (bits.getPixelPointer (dx0, y), 0, (size_t) (dx1 - dx0));
    }
}
