#pragma once

// A hand-driven clock for meter ballistics and small helpers shared by the meter tests.

#include "GuiTestUtil.h"
#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/Foundation/VyrTheme.h"

namespace vyrMeterTest
{
inline double& nowMs()
{
    static double now = 1000.0;
    return now;
}

inline double fakeClock() { return nowMs(); }

inline void advanceMs (double ms) { nowMs() += ms; }

// Sets the four linear levels of a meter point.
inline void setLevels (std::atomic<float>* four, float peak, float rms)
{
    four[0] = peak, four[1] = peak, four[2] = rms, four[3] = rms;
}

// Centre of segment i of a bar laid out as vyrMeter::paintLedRow lays it out.
inline juce::Point<int> segmentCentre (juce::Rectangle<float> area, int i, int n, bool vertical)
{
    const juce::Rectangle<float> inner (area.getX() + 1.4f, area.getY() + 1.2f, area.getWidth() - 2.8f, area.getHeight() - 2.4f);
    if (vertical)
    {
        const float sh = (inner.getHeight() - 1.35f * (float) (n - 1)) / (float) n;
        const float top = inner.getBottom() - (float) (i + 1) * (sh + 1.35f) + 1.35f;
        return { (int) (inner.getX() + 0.6f * inner.getWidth()), (int) (top + 0.7f * sh) };
    }
    const float sw = (inner.getWidth() - 1.5f * (float) (n - 1)) / (float) n;
    return { (int) (inner.getX() + (float) i * (sw + 1.5f) + 0.6f * sw), (int) (inner.getY() + 0.7f * inner.getHeight()) };
}

// A lit LED segment is bright; a dark one stays near black.
inline bool lit (const juce::Image& img, juce::Point<int> p) { return img.getPixelAt (p.x, p.y).getBrightness() > 0.45f; }

// Number of pixels that differ between two images of the same size.
inline int differingPixels (const juce::Image& a, const juce::Image& b)
{
    int n = 0;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                ++n;
    return n;
}

// Keeps the shared look-and-feel (and with it the font mapping) alive while a test renders text.
struct Fonts
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
};
}
