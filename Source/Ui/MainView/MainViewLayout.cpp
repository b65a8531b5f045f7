#include "Ui/MainView/MainViewLayout.h"

#include <cmath>

namespace
{
int roundEven (double v) { return (int) std::nearbyint (v); }

int scaled (int w, double f, int floorWidth)
{
    return f < 0.999 ? std::max (floorWidth, roundEven (f * w)) : w;
}

// Widths of both rows for a style and a medium factor.
void fillWidths (VyrMainViewLayout::ChipWidths& cw, double styleFactor, double mediumFactor)
{
    for (int i = 0; i < 7; ++i)
        cw.style[i] = scaled (VyrMainViewLayout::kStyleWidths[i], styleFactor, 28);
    cw.moodName = scaled (VyrMainViewLayout::kMoodNameWidth, styleFactor, 56);
    for (int i = 0; i < 8; ++i)
        cw.medium[i] = scaled (VyrMainViewLayout::kMediumWidths[i], mediumFactor, 28);
}

int styleRowNeed (const VyrMainViewLayout::ChipWidths& cw)
{
    int sum = cw.moodName + 112;
    for (auto w : cw.style)
        sum += w;
    return sum;
}

int mediumRowNeed (const VyrMainViewLayout::ChipWidths& cw)
{
    int sum = 118;
    for (auto w : cw.medium)
        sum += w;
    return sum;
}
}

VyrMainViewLayout::ChipWidths VyrMainViewLayout::chipWidths (int C)
{
    const int avail = std::max (C, 0);
    ChipWidths cw;

    // First pass: full widths when both rows fit, else scaled by the room there is.
    cw.gap = 10;
    if (avail >= 570)
        fillWidths (cw, 1.0, 1.0);
    else
        fillWidths (cw, (std::max (C, 113) - 112) / 458.0, avail >= 534 ? 1.0 : (std::max (C, 119) - 118) / 416.0);

    if (std::max (styleRowNeed (cw), mediumRowNeed (cw)) <= avail)
        return cw;

    // Second pass: narrower gaps and smaller factors.
    cw.gap = 8;
    if (avail >= 556)
        fillWidths (cw, 1.0, 1.0);
    else
        fillWidths (cw, (std::max (C, 99) - 98) / 458.0, avail >= 520 ? 1.0 : (std::max (C, 105) - 104) / 416.0);
    return cw;
}

VyrMainViewLayout VyrMainViewLayout::compute (int W, int H, bool standalone, float lockupWidth, bool lufsDetents)
{
    VyrMainViewLayout L;
    const int iw = std::max (0, W - 24);
    const int ih = std::max (0, H - 20);
    int top = 10, rest = ih;

    // Standalone file row, cut from the right end: Load, Download, Stop, Play.
    if (standalone)
    {
        const int rowH = std::min (ih, 36);
        rest = ih - rowH;
        const int gap = std::min (rest, 8);
        int right = 12 + iw;
        auto slot = [&] (int nominal)
        {
            const int w = std::min (nominal, std::max (0, right - 12));
            const int left = right - w;
            right = left;
            return juce::Rectangle<int> (left + 2, 14, std::max (w, 4) - 4, std::max (rowH, 8) - 8);
        };
        L.load = slot (64);
        L.download = slot (84);
        L.stop = slot (52);
        L.play = slot (56);
        top = 10 + rowH + gap;
        rest -= gap;
    }

    // Header and its controls.
    const int headerH = std::min (rest, 104);
    L.headerArea = { 12, top, iw, headerH };
    const int infoX = std::max (iw - 4, 0) - 16;
    L.info = { infoX, top + 2 + (std::max (headerH, 4) - 22) / 2, 18, 18 };
    L.scaleDown = { infoX - 84, top + 19, 22, 22 };
    L.scaleReset = { infoX - 58, top + 19, 22, 22 };
    L.scaleUp = { infoX - 32, top + 19, 22, 22 };
    L.bypass = { infoX - 86, top + 58, 78, 32 };
    L.lockupArea = { 14.0f, (float) (top + 2), (float) std::max (iw - 4, 0), (float) (std::max (headerH, 4) - 4) };

    // Chip rows, packed leftwards from a common right end.
    const int C = infoX - (int) std::ceil (lockupWidth) - 134;
    const auto cw = chipWidths (C);
    L.chipGap = cw.gap;
    const int A = std::max (iw - 4, 24);
    const int rowRight = (A - 24) - std::min (A - 24, std::max (0, A - infoX + 98)) + 26;

    int right = rowRight;
    auto pack = [&] (int w, int y)
    {
        juce::Rectangle<int> r (right - w, y, w, 32);
        right = r.getX() - cw.gap;
        return r;
    };
    L.moodName = pack (cw.moodName, top + 14);
    for (int i = 6; i >= 0; --i)
        L.styleChips[i] = pack (cw.style[i], top + 14);
    right = rowRight;
    for (int i = 7; i >= 0; --i)
        L.mediumChips[i] = pack (cw.medium[i], top + 58);

    // Stage and tray band.
    const int top2 = top + headerH;
    const int rest2 = rest - headerH;
    const int bottomH = std::min (rest2, 182);
    const int stageH = rest2 - bottomH;
    L.stageArea = { 12, top2, iw, stageH };

    // LIVE row at fixed positions.
    const int liveY = top2 + 4;
    L.liveChips[0] = { 52, liveY, 30, 20 };
    L.liveChips[1] = { 87, liveY, 40, 20 };
    L.liveChips[2] = { 132, liveY, 34, 20 };
    L.moodBox = { 177, liveY, 108, 20 };
    L.update = { 291, liveY, 44, 20 };
    L.yes = { 339, liveY, 26, 20 };
    L.no = { 369, liveY, 26, 20 };

    // QUARN keeps its 360-pixel width, centred on the content when that is narrower.
    const int qW = std::min (iw, 360), qH = std::min (stageH, 360);
    L.quarn = { 12 - (360 - qW) / 2, top2 + (stageH - qH) / 2, 360, qH };

    const int gH = std::min (stageH, 368);
    L.gauge = { 12 + qW + (iw - qW - 292) / 2, top2 + (stageH - gH) / 2, 292, gH };

    // SPACE: a square in the gap between QUARN and the gauge, lifted towards the LIVE row.
    {
        const int qR = L.quarn.getRight();
        const int gapW = L.gauge.getX() - qR;
        const int size = std::min ({ 230, std::max (stageH, 1), std::max (gapW, 9) - 8 });
        const int x = qR + (std::max (gapW, 0) - size) / 2;
        const int topY = std::max (L.stageArea.getY(), L.quarn.getY());
        const int yA = std::min (L.quarn.getY() + L.quarn.getHeight() / 2 + L.quarn.getHeight() / 8, L.stageArea.getBottom());
        const int yC = topY + std::max (0, (std::max (0, yA - topY) - size) / 5);
        const float k = (float) size * 0.5f - 10.0f;
        const float k2 = k > 8.0f ? 0.96f * k : 7.68f;
        const int yB = L.gauge.getY() - roundEven ((double) size * 0.5 + k2 + 18.0) + 206;
        const int y = std::max ({ std::min (yB, yC), L.stageArea.getY(), L.liveChips[0].getBottom() - 4 });
        L.space = { x, y, size, size };
    }

    L.lufsKnob = { L.space.getX() + L.space.getWidth() / 2 - 135, L.gauge.getY() + (lufsDetents ? 191 : 225), 270, 270 };

    // Meter well at the right end of the stage, and the IN and OUT meters on its face.
    {
        const int gaugeRight = L.gauge.getRight();
        const int stageRight = L.stageArea.getRight();
        int wx, ww;
        if (stageRight - 228 > gaugeRight)
            wx = stageRight - 228, ww = 216;
        else
            wx = gaugeRight, ww = std::max (0, stageRight - gaugeRight - 12);
        L.meterWell = { (float) wx, (float) L.stageArea.getY(), (float) ww, (float) L.stageArea.getHeight() };

        const float fw = std::max (0.0f, L.meterWell.getWidth() - 60.0f);
        const float fh = std::max (0.0f, L.meterWell.getHeight() - 60.0f);
        float faceX = L.meterWell.getX() + 30.0f, faceW = fw;
        const float faceY = L.meterWell.getY() + 30.0f;
        if (fw >= 8.0f && fh >= 8.0f)
        {
            faceW = std::min (fw, 120.0f);
            faceX += (fw - faceW) / 2.0f;
        }
        const int mw = std::max (0, roundEven (faceW) - 16);
        const int mh = std::max (0, roundEven (fh) - 8);
        const int x0 = roundEven (faceX) + (mw - 104) / 2;
        const int y0 = roundEven (faceY) + 4;
        L.inMeter = { x0 + 8, y0, 40, mh };
        L.outMeter = { x0 + 56, y0, 56, mh };
    }

    const int trayGap = std::min (rest2, 16);
    L.tray = { 12, top2 + stageH + trayGap, iw, std::max (0, std::min (bottomH - trayGap, 88)) };
    return L;
}
