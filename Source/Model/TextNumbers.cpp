#include "Model/TextNumbers.h"
#include <charconv>
#include <cmath>
#include <limits>

namespace vyrText
{
juce::String fixed (double value, int decimals)
{
    if (! std::isfinite (value))
        value = 0.0;
    char buf[64];
    auto res = std::to_chars (buf, buf + sizeof (buf), value, std::chars_format::fixed, decimals);
    juce::String s (buf, (size_t) (res.ptr - buf));
    // A value that rounds to zero is written without a sign.
    if (s.startsWithChar ('-') && s.containsOnly ("-0."))
        s = s.substring (1);
    return s;
}

float readFloat (const juce::String& text)
{
    auto s = text.trimStart();
    const auto utf8 = s.toStdString();
    double v = 0.0;
    const char* begin = utf8.c_str();
    const char* end = begin + utf8.size();
    if (begin != end && *begin == '+')
        ++begin;
    auto res = std::from_chars (begin, end, v, std::chars_format::general);
    if (res.ec != std::errc())
        return 0.0f;
    if (! std::isfinite (v) || std::abs (v) > (double) std::numeric_limits<float>::max())
        return 0.0f;
    return (float) v;
}

int readInt (const juce::String& text)
{
    auto p = text.getCharPointer();
    while (! p.isEmpty() && juce::CharacterFunctions::isWhitespace (*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
    {
        negative = (*p == '-');
        ++p;
    }
    long long v = 0;
    while (*p >= '0' && *p <= '9')
    {
        v = v * 10 + (long long) (*p - '0');
        if (v > (long long) std::numeric_limits<int>::max() + 1)
            v = (long long) std::numeric_limits<int>::max() + 1;
        ++p;
    }
    if (negative)
        v = -v;
    return (int) juce::jlimit ((long long) std::numeric_limits<int>::min(), (long long) std::numeric_limits<int>::max(), v);
}

juce::String shortestDouble (double value)
{
    if (! std::isfinite (value))
        return "0.0";
    char buf[64];
    auto res = std::to_chars (buf, buf + sizeof (buf), value);
    juce::String s (buf, (size_t) (res.ptr - buf));
    if (! s.containsAnyOf (".eEn"))
        s << ".0";
    return s;
}
}
