#include "Live/SectionAutomation.h"
#include "Model/TextNumbers.h"

namespace vyrSection
{
float sampleAutomation (const std::vector<VyrAutoPt>& points, float position) noexcept
{
    if (points.empty())
        return 0.0f;
    if (points.size() == 1)
        return points.front().value;

    const float x = juce::jlimit (0.0f, 1.0f, std::isfinite (position) ? position : 0.0f);
    if (x <= points.front().t)
        return points.front().value;
    if (x >= points.back().t)
        return points.back().value;

    for (size_t i = 0; i + 1 < points.size(); ++i)
    {
        const auto& a = points[i];
        const auto& b = points[i + 1];
        if (! (a.t <= x && x <= b.t))
            continue;

        if (a.step)
            return a.value;

        const float d = std::max (b.t - a.t, 1.0e-6f);
        const float delta = b.value - a.value;
        const float oT = a.hasOut ? a.outT : d / 3.0f;
        const float oV = a.hasOut ? a.outV : delta / 3.0f;
        const float iT = b.hasIn ? b.inT : -d / 3.0f;
        const float iV = b.hasIn ? b.inV : -delta / 3.0f;

        const float x0 = a.t, x1 = a.t + oT, x2 = b.t + iT, x3 = b.t;
        const float y0 = a.value, y1 = a.value + oV, y2 = b.value + iV, y3 = b.value;
        auto bez = [] (float p0, float p1, float p2, float p3, float s)
        {
            const float u = 1.0f - s;
            return u * u * u * p0 + 3.0f * u * u * s * p1 + 3.0f * u * s * s * p2 + s * s * s * p3;
        };

        float lo = 0.0f, hi = 1.0f;
        for (int k = 0; k < 14; ++k)
        {
            const float mid = 0.5f * (lo + hi);
            if (bez (x0, x1, x2, x3, mid) < x)
                lo = mid;
            else
                hi = mid;
        }
        return bez (y0, y1, y2, y3, 0.5f * (lo + hi));
    }
    return points.back().value;
}

juce::String encodeAutomation (const std::vector<VyrAutoPt>& points)
{
    juce::StringArray pieces;
    for (const auto& p : points)
    {
        juce::StringArray f;
        f.add (vyrText::fixed (p.t, 4));
        f.add (vyrText::fixed (p.value, 3));
        f.add (p.step ? "1" : "0");
        f.add (p.hasOut ? "1" : "0");
        f.add (vyrText::fixed (p.outT, 4));
        f.add (vyrText::fixed (p.outV, 3));
        f.add (p.hasIn ? "1" : "0");
        f.add (vyrText::fixed (p.inT, 4));
        f.add (vyrText::fixed (p.inV, 3));
        pieces.add (f.joinIntoString (","));
    }
    return pieces.joinIntoString ("|");
}

void decodeAutomation (const juce::String& text, std::vector<VyrAutoPt>& points)
{
    if (text.isEmpty())
        return;

    std::vector<VyrAutoPt> read;
    for (const auto& piece : juce::StringArray::fromTokens (text, "|", ""))
    {
        if (piece.isEmpty())
            continue;
        const auto f = juce::StringArray::fromTokens (piece, ",", "");
        if (f.size() < 2)
            continue;

        auto num = [&f] (int i) { return i < f.size() ? vyrText::readFloat (f[i]) : 0.0f; };
        auto flag = [&f] (int i) { return i < f.size() && vyrText::readInt (f[i]) != 0; };

        VyrAutoPt p;
        p.t = num (0);
        p.value = num (1);
        p.step = flag (2);
        p.hasOut = flag (3);
        p.outT = num (4);
        p.outV = num (5);
        p.hasIn = flag (6);
        p.inT = num (7);
        p.inV = num (8);
        read.push_back (p);
    }

    if (read.size() >= 2)
        points = std::move (read);
}
}
