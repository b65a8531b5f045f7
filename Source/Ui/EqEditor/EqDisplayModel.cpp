#include "Ui/EqEditor/EqDisplayModel.h"

#include <cmath>
#include <complex>

namespace vyrEq
{
namespace
{
    struct Coeffs
    {
        float b0, b1, b2, a0, a1, a2;
    };

    constexpr float kPi = 3.14159265358979f;
    constexpr float kShelfQ = 0.707f;
    constexpr float kPassDamping = 1.4144272f;   // 1 / 0.707: a section Q of 0.707

    float linearAmp (float gainDb) noexcept
    {
        const float g = gainDb > -100.0f ? std::pow (10.0f, gainDb / 20.0f) : 0.0f;
        return std::sqrt (std::max (g, 1.0e-15f));
    }

    Coeffs peak (double sr, float f, float gainDb, float q) noexcept
    {
        const float A = linearAmp (gainDb);
        const float w = 2.0f * kPi * std::max (f, 2.0f) / (float) sr;
        const float cw = std::cos (w), sw = std::sin (w);
        const float alpha = sw / (2.0f * std::max (q, 0.05f));
        return { 1.0f + alpha * A, -2.0f * cw, 1.0f - alpha * A, 1.0f + alpha / A, -2.0f * cw, 1.0f - alpha / A };
    }

    Coeffs shelf (double sr, float f, float gainDb, bool high) noexcept
    {
        const float A = linearAmp (gainDb);
        const float w = 2.0f * kPi * std::max (f, 2.0f) / (float) sr;
        const float cw = std::cos (w), sw = std::sin (w);
        const float beta = sw * std::sqrt (A) / kShelfQ;
        const float ap = A + 1.0f, am = A - 1.0f;
        if (high)
            return { A * (ap + am * cw + beta), -2.0f * A * (am + ap * cw), A * (ap + am * cw - beta),
                     ap - am * cw + beta, 2.0f * (am - ap * cw), ap - am * cw - beta };
        return { A * (ap - am * cw + beta), 2.0f * A * (am - ap * cw), A * (ap - am * cw - beta),
                 ap + am * cw + beta, -2.0f * (am + ap * cw), ap + am * cw - beta };
    }

    Coeffs pass (double sr, float f, bool high) noexcept
    {
        const float fc = f > 20.0f ? f : 20.0f;
        const float t = std::tan (kPi * fc / (float) sr);
        const float n = high ? t : 1.0f / t;
        const float c1 = 1.0f / (1.0f + kPassDamping * n + n * n);
        if (high)
            return { c1, -2.0f * c1, c1, 1.0f, 2.0f * c1 * (n * n - 1.0f), c1 * (1.0f - kPassDamping * n + n * n) };
        return { c1, 2.0f * c1, c1, 1.0f, 2.0f * c1 * (1.0f - n * n), c1 * (1.0f - kPassDamping * n + n * n) };
    }

    double magnitude (const Coeffs& c, double sr, double f) noexcept
    {
        const double w = 2.0 * juce::MathConstants<double>::pi * f / sr;
        const std::complex<double> z1 = std::polar (1.0, -w), z2 = z1 * z1;
        const double a0 = c.a0;
        const auto num = (double) c.b0 / a0 + (double) c.b1 / a0 * z1 + (double) c.b2 / a0 * z2;
        const auto den = 1.0 + (double) c.a1 / a0 * z1 + (double) c.a2 / a0 * z2;
        return std::abs (num) / std::abs (den);
    }

    int stagesFor (float slope) noexcept
    {
        return juce::jlimit (1, 4, (int) std::round (slope / 12.0f));
    }

    double edgeMag (double sr, const Band& b, bool high, float f) noexcept
    {
        if (b.cut)
            return std::pow (magnitude (pass (sr, b.freq, ! high), sr, f), stagesFor (b.slope));
        return magnitude (shelf (sr, std::max (b.freq, 20.0f), b.gain, high), sr, f);
    }

    double midMag (double sr, const Band& b, float f) noexcept
    {
        switch (b.shape)
        {
            case 1:
            {
                const float ratio = std::abs (b.gain) / 6.0f;
                const float q = std::max (b.q * (ratio < 3.0f ? ratio + 1.0f : 4.0f), 0.1f);
                return magnitude (peak (sr, b.freq, b.gain, q), sr, f);
            }
            case 2: return magnitude (peak (sr, b.freq, b.gain, std::max (b.q * 0.5f, 0.3f)), sr, f);
            case 3: return magnitude (shelf (sr, b.freq, b.gain, false), sr, f);
            case 4: return magnitude (shelf (sr, b.freq, b.gain, true), sr, f);
            default: return magnitude (peak (sr, b.freq, b.gain, b.q), sr, f);
        }
    }

    // Leading decimal integer after "mid" (optional sign); no digits read as 0.
    int midIndexOf (const juce::String& id)
    {
        return id.substring (3).getIntValue();
    }
}

Band* bandOf (Channel& channel, const juce::String& id)
{
    if (id == "low")
        return &channel.low;
    if (id == "high")
        return &channel.high;
    if (id.startsWith ("mid"))
    {
        const int n = midIndexOf (id);
        if ((unsigned) n < 6u)
            return &channel.mids[n];
    }
    return nullptr;
}

const Band* bandOf (const Channel& channel, const juce::String& id)
{
    return bandOf (const_cast<Channel&> (channel), id);
}

juce::String bandStem (const juce::String& id)
{
    if (id.startsWith ("mid"))
        return "m" + id.substring (3);
    return id;
}

juce::Colour bandColour (const juce::String& id)
{
    if (id == "low")
        return juce::Colour (0xff60a5fa);
    if (id == "high")
        return juce::Colour (0xfff59e0b);
    if (id.startsWith ("mid"))
    {
        const int n = midIndexOf (id);
        if (n >= 0)
            return juce::Colour (kMidCols[n % 6]);
    }
    return juce::Colour (0xffffffff);
}

juce::String bandIdAt (int position, int midCount)
{
    if (position <= 0)
        return "low";
    if (position > midCount)
        return "high";
    return "mid" + juce::String (position - 1);
}

bool isEdgeId (const juce::String& id) { return id == "low" || id == "high"; }
bool isMidId (const juce::String& id) { return id.startsWith ("mid"); }

double peakMag (double sr, float freq, float gainDb, float q, float f) { return magnitude (peak (sr, freq, gainDb, q), sr, f); }
double lowShelfMag (double sr, float freq, float gainDb, float f) { return magnitude (shelf (sr, freq, gainDb, false), sr, f); }
double highShelfMag (double sr, float freq, float gainDb, float f) { return magnitude (shelf (sr, freq, gainDb, true), sr, f); }

float magAt (double sr, const Channel& ch, bool enabled, float f)
{
    if (! enabled)
        return 1.0f;

    const int mids = juce::jlimit (0, 6, ch.midCount);
    bool anySolo = ch.low.solo || ch.high.solo;
    for (int i = 0; i < mids; ++i)
        anySolo = anySolo || ch.mids[i].solo;
    const auto contributes = [anySolo] (const Band& b) { return b.on && (! anySolo || b.solo); };

    double p = 1.0;
    if (contributes (ch.low))
        p *= edgeMag (sr, ch.low, false, f);
    for (int i = 0; i < mids; ++i)
        if (contributes (ch.mids[i]))
            p *= midMag (sr, ch.mids[i], f);
    if (contributes (ch.high))
        p *= edgeMag (sr, ch.high, true, f);
    return (float) p;
}

float displayDb (double m) noexcept
{
    const double v = m + 1.0e-12;
    if (v > 0.0)
        return (float) std::max (20.0 * std::log10 (v), -100.0);
    return -100.0f;
}

float fmContourDb (float f, float level)
{
    static constexpr float freqs[31] = { 20, 25, 31.5f, 40, 50, 63, 80, 100, 125, 160, 200, 250, 315, 400, 500, 630,
                                         800, 1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500,
                                         16000, 20000 };
    static constexpr float values[31] = { 78.5f, 68.7f, 59.5f, 51.1f, 44, 37.5f, 31.5f, 26.5f, 22.1f, 17.9f, 14.4f,
                                          11.4f, 8.6f, 6.2f, 4.3f, 3, 2.2f, 2.4f, 3.5f, 1.7f, -1.3f, -4.2f, -6, -5.4f,
                                          -1.8f, 2.5f, 4, 4.5f, 9, 18, 30 };
    float v = 76.1f;
    if (f >= 20000.0f)
        v = 27.6f;
    else if (f > 20.0f)
    {
        for (int i = 0; i < 30; ++i)
        {
            if (f >= freqs[i] && f <= freqs[i + 1])
            {
                const float t = std::log (f / freqs[i]) / std::log (freqs[i + 1] / freqs[i]);
                v = values[i] + t * (values[i + 1] - values[i]) - 2.4f;
                break;
            }
        }
    }
    const float factor = level < 100.0f ? 1.0f - 0.006f * level : 0.4f;
    return factor * v * 0.32f;
}
}
