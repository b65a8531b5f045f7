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

void automationPlanes (std::vector<VyrAutoPt>& points, const std::vector<float>& values, const std::array<float, 6>& cues, int count)
{
    const int n = juce::jlimit (1, 7, count);
    points.clear();
    if ((int) values.size() < n)
    {
        points.push_back ({ 0.0f, 0.0f, true });
        points.push_back ({ 1.0f, 0.0f });
        return;
    }

    points.push_back ({ 0.0f, values[0], true });
    float e = 0.0f;
    for (int k = 0; k <= n - 2; ++k)
    {
        const float c = juce::jlimit (0.01f, 0.99f, cues[(size_t) k]);
        const float p = k == 0 ? 0.0f : cues[(size_t) k - 1];
        const float q = k + 1 <= n - 2 ? cues[(size_t) k + 1] : 1.0f;
        const float w = juce::jlimit (0.015f, 0.06f, 0.2f * std::min (q - c, c - p));
        // Cues out of order or crowded together never take a point back in time or past the end.
        const float start = std::min (std::max (e + 0.002f, c - w), 1.0f);
        VyrAutoPt a { start, values[(size_t) k] };
        a.hasOut = true;
        a.outT = w;
        points.push_back (a);

        e = std::max (start, std::min (c + w, 0.999f));
        VyrAutoPt b { e, values[(size_t) k + 1], true };
        b.hasIn = true;
        b.inT = -w;
        points.push_back (b);
    }
    points.push_back ({ 1.0f, values[(size_t) n - 1] });
}
}
