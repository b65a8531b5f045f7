#include "Model/QuarnPresets.h"
#include "Model/MoodTable.h"
#include "VyrQuarnData.h"
#include <cmath>
#include <cstring>
#include <mutex>

namespace vyrQuarn
{
namespace
{
// Positions on the polar controls, in turns. The recipe document's angle names resolve to exactly
// these floats, so built-in and loaded tables compare equal.
constexpr float kTurn1_4 = 0.25f;
constexpr float kTurn7_12 = 0.5833334f;
constexpr float kTurn11_12 = 0.9166667f;
constexpr float kTurn1_7 = 0.1428571f;
constexpr float kTurn2_7 = 0.2857143f;
constexpr float kTurn3_7 = 0.4285714f;
constexpr float kTurn4_7 = 0.5714286f;
constexpr float kTurn5_7 = 0.7142857f;
constexpr float kTurn6_7 = 0.8571429f;

constexpr StyleRecipe kBuiltInStyles[7] = {
    // toneAng, toneRad, energy, boost, presence, spaceAng, spaceRad, reverbAng, reverbRad, limiterStyle,
    // mix: comp, sat, dens, clip, tape, delay, rev, eq, dyn, mbc, img, lim
    { kTurn7_12, 0.70f, kTurn7_12, 0.58f, kTurn11_12, 0.0f, 0.08f, 0.0f, 0.04f, 1,
      { 0.85f, 0.30f, 0.22f, 0.18f, 0.12f, 0.12f, 0.08f, 1.00f, 0.35f, 0.90f, 0.55f, 1.00f } },   // EDM
    { 0.25f, 0.42f, 0.25f, 0.20f, 0.25f, 0.125f, 0.18f, kTurn1_7, 0.40f, 3,
      { 0.55f, 0.22f, 0.40f, 0.05f, 0.00f, 0.18f, 0.38f, 0.85f, 0.20f, 0.40f, 0.70f, 1.00f } },   // Jazz
    { kTurn11_12, 0.26f, 0.25f, 0.03f, 0.25f, 0.0f, 0.10f, kTurn2_7, 0.52f, 4,
      { 0.22f, 0.00f, 0.08f, 0.00f, 0.00f, 0.10f, 0.48f, 0.70f, 0.10f, 0.15f, 0.85f, 1.00f } },   // Classical
    { 0.18f, 0.48f, 0.30f, 0.30f, 0.25f, 0.125f, 0.20f, kTurn1_7, 0.26f, 0,
      { 0.62f, 0.18f, 0.28f, 0.08f, 0.00f, 0.20f, 0.28f, 0.90f, 0.45f, 0.55f, 0.60f, 1.00f } },   // Independent
    { 0.48f, 0.64f, kTurn11_12, 0.70f, kTurn11_12, 0.0f, 0.06f, 0.0f, 0.03f, 2,
      { 0.92f, 0.28f, 0.50f, 0.22f, 0.00f, 0.08f, 0.06f, 1.00f, 0.50f, 0.92f, 0.45f, 1.00f } },   // Loud
    { 0.25f, 0.38f, 0.25f, 0.32f, 0.25f, 0.5f, 0.16f, 0.0f, 0.14f, 0,
      { 0.72f, 0.18f, 0.28f, 0.10f, 0.00f, 0.16f, 0.18f, 0.95f, 0.55f, 0.70f, 0.50f, 1.00f } },   // Medium
    { 0.88f, 0.24f, 0.25f, 0.08f, 0.25f, 0.125f, 0.22f, kTurn2_7, 0.36f, 3,
      { 0.48f, 0.12f, 0.18f, 0.00f, 0.10f, 0.22f, 0.32f, 0.80f, 0.30f, 0.35f, 0.40f, 1.00f } },   // Soft
};

constexpr LufsRecipe kBuiltInLufs[5] = {
    // ceiling, inputGain, release, boostCap, trim, makeup, scale, meter, oversampling
    { -2.0f, 0.0f, 0.12f, 0.18f, -10.0f, 0.4f, 5, 3, 0 },
    { -1.0f, 2.0f, 0.08f, 0.36f, -4.0f, 1.0f, 4, 2, 0 },
    { -1.0f, 3.5f, 0.06f, 0.50f, 0.0f, 1.6f, 4, 2, 1 },
    { -1.0f, 6.0f, 0.045f, 0.72f, 8.0f, 2.4f, 3, 1, 1 },
    { -0.5f, 8.0f, 0.035f, 0.90f, 14.0f, 3.2f, 3, 1, 1 },
};

constexpr EnergyCmp kBuiltInEnergy {
    { 0.018f, 0.0022f, 0.008f },   // attack, s
    { 0.28f, 0.10f, 0.36f },       // release, s
    { 2.20f, 3.90f, 4.80f },       // ratio
    { 28.0f, 8.0f, 16.0f },        // knee, dB
    { -16.0f, -9.5f, -11.5f },     // threshold, dB
    { 1.1f, 2.2f, 2.6f },          // makeup, dB
};

constexpr float kBuiltInMediumLufs[8] = { -23.0f, -16.0f, -9.0f, -14.0f, -11.0f, -18.0f, -14.0f, -8.0f };
constexpr float kBuiltInImgWidth = 1.65f;

// Switch gates compare against their threshold plus a hair: a parameter holding a value on its
// 0.001 grid (0.04 stored as 0.001 x 40) must not count as above 0.04.
constexpr float kGateMargin = 1.0e-6f;

bool above (float x, float gate) noexcept
{
    return x > gate + kGateMargin;
}

float clamp01 (float x) noexcept
{
    return juce::jlimit (0.0f, 1.0f, x);
}

// An angle wrapped into [0, 1).
float wrapTurn (float a) noexcept
{
    if (! std::isfinite (a))
        return 0.0f;
    a = a - std::floor (a);
    if (a < 0.0f)
        a += 1.0f;
    return a >= 1.0f ? 0.0f : a;
}
} // namespace

//==============================================================================
const char* const kMasterStyles[7] = { "EDM", "Jazz", "Classical", "Independent", "Loud", "Medium", "Soft" };

const MasterMedium kMasterMediums[8] = {
    { "cinematic", "Cinematic", -23.0f, -2.0f, "Wide dynamic range, dialogue-level loudness, gentle limiting, true peak \xe2\x89\xa4 -2 dBFS." },
    { "podcast", "Podcast", -16.0f, -1.0f, "Speech-optimized, consistent level, present midrange, true peak \xe2\x89\xa4 -1 dBFS." },
    { "radio", "Radio", -9.0f, -0.5f, "Loud & competitive, dense, bright, tight low end." },
    { "album", "Album", -14.0f, -1.0f, "Balanced streaming-ready master, musical dynamics preserved." },
    { "ep", "EP", -11.0f, -1.0f, "Punchy, modern streaming-loud single." },
    { "video", "Video", -18.0f, -1.0f, "YouTube/broadcast-safe, consistent level, true peak \xe2\x89\xa4 -1 dBFS." },
    { "streaming", "Streaming", -14.0f, -1.0f, "Spotify/Apple Music normalization target, balanced and clean." },
    { "club", "Club", -8.0f, -0.5f, "Loud, weighty low end, maximum impact for sound systems." },
};

const float kLufsOptions[5] = { -23.0f, -16.0f, -14.0f, -11.0f, -9.0f };
const char* const kLufsLabels[5] = { "-23", "-16", "-14", "-11", "-9" };
const char* const kLiveAnalysisModes[3] = { "Off", "Show", "Arm" };

StyleRecipe gStyleRecipes[7] = { kBuiltInStyles[0], kBuiltInStyles[1], kBuiltInStyles[2], kBuiltInStyles[3],
                                 kBuiltInStyles[4], kBuiltInStyles[5], kBuiltInStyles[6] };
LufsRecipe gLufsRecipes[5] = { kBuiltInLufs[0], kBuiltInLufs[1], kBuiltInLufs[2], kBuiltInLufs[3], kBuiltInLufs[4] };
EnergyCmp gEnergyCmp = kBuiltInEnergy;
float gMediumLufs[8] = { -23.0f, -16.0f, -9.0f, -14.0f, -11.0f, -18.0f, -14.0f, -8.0f };
float gImgWidth = kBuiltInImgWidth;

RecipeTables builtInTables()
{
    RecipeTables t {};
    std::copy (std::begin (kBuiltInStyles), std::end (kBuiltInStyles), t.styles);
    std::copy (std::begin (kBuiltInLufs), std::end (kBuiltInLufs), t.lufs);
    t.energyCmp = kBuiltInEnergy;
    std::copy (std::begin (kBuiltInMediumLufs), std::end (kBuiltInMediumLufs), t.mediumLufs);
    t.imgWidth = kBuiltInImgWidth;
    return t;
}

int nearestLufsIndex (float lufs) noexcept
{
    int best = 0;
    float bestDistance = std::abs (kLufsOptions[0] - lufs);
    for (int i = 1; i < 5; ++i)
    {
        const float d = std::abs (kLufsOptions[i] - lufs);
        if (d < bestDistance)
        {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

//==============================================================================
// The recipe document
namespace
{
constexpr int kMaxNesting = 32;
constexpr double kMaxMagnitude = 1.0e6;   // no recipe value comes near this; larger is not a recipe

// A strict check of the document's JSON syntax before the framework's parser sees it: plain JSON
// only (double-quoted strings, well-formed numbers, non-empty member names), a top-level object
// and at most kMaxNesting levels. The parser recurses per level and is lenient elsewhere, so an
// absurdly deep or odd document is refused here instead.
struct JsonSyntax
{
    const char* p;
    const char* end;

    void skipSpace() noexcept
    {
        while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r'))
            ++p;
    }

    bool literal (const char* word) noexcept
    {
        for (; *word != 0; ++word, ++p)
            if (p >= end || *p != *word)
                return false;
        return true;
    }

    static bool isDigit (char c) noexcept { return c >= '0' && c <= '9'; }

    bool digits() noexcept
    {
        if (p >= end || ! isDigit (*p))
            return false;
        while (p < end && isDigit (*p))
            ++p;
        return true;
    }

    bool number() noexcept
    {
        if (p < end && *p == '-')
            ++p;
        if (p < end && *p == '0')
            ++p;
        else if (! digits())
            return false;
        if (p < end && *p == '.')
        {
            ++p;
            if (! digits())
                return false;
        }
        if (p < end && (*p == 'e' || *p == 'E'))
        {
            ++p;
            if (p < end && (*p == '+' || *p == '-'))
                ++p;
            if (! digits())
                return false;
        }
        return true;
    }

    // A string; `length` receives the number of characters between the quotes.
    bool string (int& length) noexcept
    {
        if (p >= end || *p != '"')
            return false;
        ++p;
        length = 0;
        while (p < end && *p != '"')
        {
            const auto c = (unsigned char) *p;
            if (c < 0x20)
                return false;
            if (c == '\\')
            {
                ++p;
                if (p >= end)
                    return false;
                if (*p == 'u')
                {
                    for (int k = 0; k < 4; ++k)
                    {
                        ++p;
                        if (p >= end || juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) (unsigned char) *p) < 0)
                            return false;
                    }
                }
                else if (std::strchr ("\"\\/bfnrt", *p) == nullptr)
                {
                    return false;
                }
            }
            ++p;
            ++length;
        }
        if (p >= end)
            return false;
        ++p;
        return true;
    }

    bool value (int depth) noexcept
    {
        skipSpace();
        if (p >= end)
            return false;
        switch (*p)
        {
            case '{': return depth < kMaxNesting && object (depth + 1);
            case '[': return depth < kMaxNesting && array (depth + 1);
            case '"': { int n = 0; return string (n); }
            case 't': return literal ("true");
            case 'f': return literal ("false");
            case 'n': return literal ("null");
            default: return number();
        }
    }

    bool object (int depth) noexcept
    {
        ++p;   // '{'
        skipSpace();
        if (p < end && *p == '}')
        {
            ++p;
            return true;
        }
        for (;;)
        {
            skipSpace();
            int nameLength = 0;
            if (! string (nameLength) || nameLength == 0)
                return false;
            skipSpace();
            if (p >= end || *p != ':')
                return false;
            ++p;
            if (! value (depth))
                return false;
            skipSpace();
            if (p < end && *p == ',')
            {
                ++p;
                continue;
            }
            if (p < end && *p == '}')
            {
                ++p;
                return true;
            }
            return false;
        }
    }

    bool array (int depth) noexcept
    {
        ++p;   // '['
        skipSpace();
        if (p < end && *p == ']')
        {
            ++p;
            return true;
        }
        for (;;)
        {
            if (! value (depth))
                return false;
            skipSpace();
            if (p < end && *p == ',')
            {
                ++p;
                continue;
            }
            if (p < end && *p == ']')
            {
                ++p;
                return true;
            }
            return false;
        }
    }
};

bool isPlainJsonObject (const juce::String& text)
{
    const char* utf8 = text.toRawUTF8();
    JsonSyntax syntax { utf8, utf8 + std::strlen (utf8) };
    syntax.skipSpace();
    if (syntax.p >= syntax.end || *syntax.p != '{' || ! syntax.value (0))
        return false;
    syntax.skipSpace();
    return syntax.p == syntax.end;
}

struct AngleName
{
    const char* name;
    float turn;
};

const AngleName kAngleNames[] = {
    { "glue", kTurn1_4 }, { "body", kTurn1_4 },
    { "punch", kTurn7_12 }, { "low", kTurn7_12 },
    { "density", kTurn11_12 }, { "air", kTurn11_12 },
    { "slap", 0.0f }, { "echo", 0.125f }, { "tape", 0.5f }, { "dub", 0.625f },
    { "room", 0.0f }, { "studio", kTurn1_7 }, { "hall", kTurn2_7 },
    { "extreme", kTurn3_7 }, { "xtrm", kTurn3_7 }, { "plate", kTurn4_7 },
    { "shimmer", kTurn5_7 }, { "shim", kTurn5_7 }, { "cathedral", kTurn6_7 }, { "cath", kTurn6_7 },
};

const char* const kLimiterStyleNames[5] = { "transparent", "punchy", "modern", "warm", "classical" };

// Reads values of the document. A number that is not finite or is out of all proportion marks
// the document as hostile; the caller then keeps the tables it had.
struct DocumentReader
{
    bool hostile = false;

    float checked (double d, float fallback)
    {
        if (! std::isfinite (d) || std::abs (d) > kMaxMagnitude)
        {
            hostile = true;
            return fallback;
        }
        return (float) d;
    }

    static bool isNumberLike (const juce::var& v)
    {
        return v.isInt() || v.isInt64() || v.isDouble() || v.isBool();
    }

    float asFloat (const juce::var& v, float fallback)
    {
        if (v.isString())
        {
            const auto text = v.toString().trim();
            return text.isEmpty() ? fallback : checked (text.getDoubleValue(), fallback);
        }
        if (isNumberLike (v))
            return checked ((double) v, fallback);
        return fallback;   // missing, or an object, array or other kind that holds no number
    }

    // Leading decimal integer of a text (0 when there is none).
    int leadingInt (const juce::String& text)
    {
        auto p = text.getCharPointer();
        bool negative = false;
        if (*p == '-' || *p == '+')
        {
            negative = *p == '-';
            ++p;
        }
        double v = 0.0;
        while (*p >= '0' && *p <= '9')
        {
            v = v * 10.0 + (double) (*p - '0');
            if (v > kMaxMagnitude)
            {
                hostile = true;
                return 0;
            }
            ++p;
        }
        return (int) (negative ? -v : v);
    }

    int propI (const juce::var& object, const char* key, int fallback)
    {
        const auto& v = object[key];
        if (v.isString())
        {
            const auto text = v.toString().trim().toLowerCase();
            for (int i = 0; i < 5; ++i)
                if (text == kLimiterStyleNames[i])
                    return i;
            return leadingInt (text);
        }
        if (isNumberLike (v))
        {
            const float f = checked ((double) v, (float) fallback);
            return (int) f;   // toward zero
        }
        return fallback;
    }

    float propAng (const juce::var& object, const char* key, float fallback)
    {
        const auto& v = object[key];
        if (v.isString())
        {
            const auto text = v.toString().trim().toLowerCase();
            for (const auto& a : kAngleNames)
                if (text == a.name)
                    return a.turn;
            return fallback;
        }
        return asFloat (v, fallback);
    }

    void readWeights (const juce::var& object, const char* key, EnergyWeights& w)
    {
        const auto& v = object[key];
        if (! v.isObject())
            return;
        w.glue = asFloat (v["glue"], w.glue);
        w.punch = asFloat (v["punch"], w.punch);
        w.density = asFloat (v["density"], w.density);
    }
};

bool versionIsOne (const juce::var& v)
{
    double d = 0.0;
    if (v.isString())
        d = v.toString().trim().getDoubleValue();
    else if (DocumentReader::isNumberLike (v))
        d = (double) v;
    return std::isfinite (d) && d >= 1.0 && d < 2.0;   // integer part 1
}

void readLufsSection (DocumentReader& r, const juce::var& section, RecipeTables& t)
{
    const auto* elements = section.getArray();
    if (elements == nullptr)
        return;
    for (int i = 0; i < elements->size(); ++i)
    {
        const auto& e = elements->getReference (i);
        if (! e.isObject())
            continue;
        const float target = r.asFloat (e["target"], kLufsOptions[std::min (i, 4)]);
        int row = std::min (i, 4);
        for (int k = 0; k < 5; ++k)
        {
            if (std::abs (kLufsOptions[k] - target) < 0.01f)
            {
                row = k;
                break;
            }
        }
        LufsRecipe L = t.lufs[row];
        L.ceiling = r.asFloat (e["ceiling"], L.ceiling);
        L.inputGain = r.asFloat (e["inputGain"], L.inputGain);
        L.release = r.asFloat (e["release"], L.release);
        L.boostCap = r.asFloat (e["boostCap"], L.boostCap);
        L.trim = r.asFloat (e["trim"], L.trim);
        L.makeup = r.asFloat (e["makeup"], L.makeup);
        L.scale = r.propI (e, "scale", L.scale);
        L.meter = r.propI (e, "meter", L.meter);
        L.oversampling = r.propI (e, "oversampling", L.oversampling);

        // These four also feed the chain straight from the audio thread (recipe blending), where
        // no parameter range guards them: keep them inside the ranges of their parameters.
        L.ceiling = juce::jlimit (-6.0f, 0.0f, L.ceiling);
        L.inputGain = juce::jlimit (-60.0f, 24.0f, L.inputGain);
        L.release = juce::jlimit (0.005f, 0.5f, L.release);
        L.trim = juce::jlimit (-50.0f, 50.0f, L.trim);
        t.lufs[row] = L;
    }
}

void readMediumsSection (DocumentReader& r, const juce::var& section, RecipeTables& t)
{
    const auto* elements = section.getArray();
    if (elements == nullptr)
        return;
    for (int i = 0; i < elements->size(); ++i)
    {
        const auto& e = elements->getReference (i);
        if (! e.isObject())
            continue;
        const auto key = e["key"].toString();
        int row = std::min (i, 7);
        for (int k = 0; k < 8; ++k)
        {
            if (key.equalsIgnoreCase (kMasterMediums[k].key))
            {
                row = k;
                break;
            }
        }
        t.mediumLufs[row] = r.asFloat (e["lufs"], t.mediumLufs[row]);
    }
}

void readStylesSection (DocumentReader& r, const juce::var& section, RecipeTables& t)
{
    const auto* elements = section.getArray();
    if (elements == nullptr)
        return;
    for (int i = 0; i < elements->size(); ++i)
    {
        const auto& e = elements->getReference (i);
        if (! e.isObject())
            continue;
        const auto id = e["id"].toString();
        int row = std::min (i, 6);
        for (int k = 0; k < 7; ++k)
        {
            if (id.equalsIgnoreCase (kMasterStyles[k]))
            {
                row = k;
                break;
            }
        }

        StyleRecipe s = t.styles[row];
        s.toneAng = wrapTurn (r.propAng (e, "toneAng", s.toneAng));
        s.energy = wrapTurn (r.propAng (e, "energy", s.energy));
        s.presence = wrapTurn (r.propAng (e, "presence", s.presence));
        s.spaceAng = wrapTurn (r.propAng (e, "spaceAng", s.spaceAng));
        s.reverbAng = wrapTurn (r.propAng (e, "reverbAng", s.reverbAng));
        s.toneRad = clamp01 (r.asFloat (e["toneRad"], s.toneRad));
        s.boost = clamp01 (r.asFloat (e["boost"], s.boost));
        s.spaceRad = clamp01 (r.asFloat (e["spaceRad"], s.spaceRad));
        s.reverbRad = clamp01 (r.asFloat (e["reverbRad"], s.reverbRad));
        s.limiterStyle = juce::jlimit (0, 4, r.propI (e, "limiterStyle", s.limiterStyle));

        const auto& mix = e["mix"];
        if (mix.isObject())
        {
            auto& m = s.mix;
            m.comp = clamp01 (r.asFloat (mix["comp"], m.comp));
            m.sat = clamp01 (r.asFloat (mix["sat"], m.sat));
            m.dens = clamp01 (r.asFloat (mix["dens"], m.dens));
            m.clip = clamp01 (r.asFloat (mix["clip"], m.clip));
            m.tape = clamp01 (r.asFloat (mix["tape"], m.tape));
            m.delay = clamp01 (r.asFloat (mix["delay"], m.delay));
            m.rev = clamp01 (r.asFloat (mix["rev"], m.rev));
            m.eq = clamp01 (r.asFloat (mix["eq"], m.eq));
            m.dyn = clamp01 (r.asFloat (mix["dyn"], m.dyn));
            m.mbc = clamp01 (r.asFloat (mix["mbc"], m.mbc));
            m.img = clamp01 (r.asFloat (mix["img"], m.img));
            m.lim = clamp01 (r.asFloat (mix["lim"], m.lim));
        }
        t.styles[row] = s;
    }
}

void commit (const RecipeTables& t)
{
    std::copy (std::begin (t.styles), std::end (t.styles), gStyleRecipes);
    std::copy (std::begin (t.lufs), std::end (t.lufs), gLufsRecipes);
    gEnergyCmp = t.energyCmp;
    std::copy (std::begin (t.mediumLufs), std::end (t.mediumLufs), gMediumLufs);
    gImgWidth = t.imgWidth;
}

RecipeTables currentTables()
{
    RecipeTables t {};
    std::copy (std::begin (gStyleRecipes), std::end (gStyleRecipes), t.styles);
    std::copy (std::begin (gLufsRecipes), std::end (gLufsRecipes), t.lufs);
    t.energyCmp = gEnergyCmp;
    std::copy (std::begin (gMediumLufs), std::end (gMediumLufs), t.mediumLufs);
    t.imgWidth = gImgWidth;
    return t;
}
} // namespace

bool readRecipeDocument (const juce::String& documentText, RecipeTables& tables)
{
    auto text = documentText.trimStart();
    if (text.startsWith ("/*") && text.contains ("*/"))
        text = text.fromFirstOccurrenceOf ("*/", false, false).trimStart();
    if (! isPlainJsonObject (text))
        return false;

    const auto doc = juce::JSON::parse (text);
    if (! doc.isObject() || ! versionIsOne (doc["version"]))
        return false;

    // Everything is read into a copy and taken over only if the whole document was sound.
    RecipeTables t = tables;
    DocumentReader r;

    if (const auto& energy = doc["energyCmp"]; energy.isObject())
    {
        r.readWeights (energy, "attack", t.energyCmp.attack);
        r.readWeights (energy, "release", t.energyCmp.release);
        r.readWeights (energy, "ratio", t.energyCmp.ratio);
        r.readWeights (energy, "knee", t.energyCmp.knee);
        r.readWeights (energy, "threshold", t.energyCmp.threshold);
        r.readWeights (energy, "makeup", t.energyCmp.makeup);
    }
    if (const auto& imager = doc["imager"]; imager.isObject())
        t.imgWidth = juce::jlimit (1.0f, 4.0f, r.asFloat (imager["width"], t.imgWidth));
    readLufsSection (r, doc["lufs"], t);
    readMediumsSection (r, doc["mediums"], t);
    readStylesSection (r, doc["styles"], t);

    if (r.hostile)
        return false;
    tables = t;
    return true;
}

void loadQuarnPresets()
{
    static std::once_flag once;
    std::call_once (once, []
    {
        const char* data = VyrQuarnData::quarnPresets_json;
        if (data == nullptr || data[0] == 0)
            return;
        RecipeTables t = currentTables();
        if (readRecipeDocument (juce::String::fromUTF8 (data, VyrQuarnData::quarnPresets_jsonSize), t))
            commit (t);
    });
}

//==============================================================================
// Parameter writes made by the program
ColourSwitches colourSwitches (float boost, float satMix, float densMix, float clipMix) noexcept
{
    const bool boosted = above (boost, 0.04f);
    return { boosted || above (satMix, 0.04f), boosted || above (densMix, 0.08f), boosted || above (clipMix, 0.04f) };
}

namespace
{
struct Writer
{
    juce::AudioProcessorValueTreeState& tree;
    bool insideGesture = false;

    void write (juce::RangedAudioParameter& p, float normalised, float tolerance) const
    {
        if (std::abs (p.getValue() - normalised) < tolerance)
            return;
        if (! insideGesture)
            p.beginChangeGesture();
        p.setValueNotifyingHost (normalised);
        if (! insideGesture)
            p.endChangeGesture();
    }

    void choice (juce::StringRef id, int index) const
    {
        if (auto* c = dynamic_cast<juce::AudioParameterChoice*> (tree.getParameter (id)))
            write (*c, c->convertTo0to1 ((float) index), 1.0e-7f);
    }

    void number (juce::StringRef id, float value) const
    {
        if (! std::isfinite (value))
            return;
        if (auto* p = tree.getParameter (id))
            write (*p, p->convertTo0to1 (value), 1.0e-7f);
    }

    void toggle (juce::StringRef id, bool on) const
    {
        if (auto* p = tree.getParameter (id))
            write (*p, on ? 1.0f : 0.0f, 1.0e-7f);
    }

    // A wet amount 0..1 as the fraction of the mix range. It is put on the parameter's own grid
    // first, so a value the parameter already holds is recognised and not written again.
    void mix (juce::StringRef id, float amount) const
    {
        if (! std::isfinite (amount))
            return;
        if (auto* p = tree.getParameter (id))
            write (*p, p->convertTo0to1 (p->convertFrom0to1 (clamp01 (amount))), 1.0e-5f);
    }

    float plain (juce::StringRef id, float fallback) const
    {
        if (auto* v = tree.getRawParameterValue (id))
        {
            const float x = v->load();
            return std::isfinite (x) ? x : fallback;
        }
        return fallback;
    }

    float normalised (juce::StringRef id, float fallback) const
    {
        if (auto* p = tree.getParameter (id))
            return p->getValue();
        return fallback;
    }

    int choiceIndex (juce::StringRef id, int fallback, int count) const
    {
        if (auto* c = dynamic_cast<juce::AudioParameterChoice*> (tree.getParameter (id)))
            return juce::jlimit (0, count - 1, c->getIndex());
        return fallback;
    }
};

void mixValues (const StyleMix& m, float (&out)[12]) noexcept
{
    const float v[12] = { m.comp, m.sat, m.dens, m.clip, m.tape, m.delay, m.rev, m.eq, m.dyn, m.mbc, m.img, m.lim };
    std::copy (std::begin (v), std::end (v), out);
}

void applyMapping (juce::AudioProcessorValueTreeState& tree, bool insideGesture, const ColourSwitches* decided);

//==============================================================================
// QUARN and SPACE mapping
struct RingWeights
{
    float at1_4, at7_12, at11_12;
};

RingWeights ringWeights (float a) noexcept
{
    const float centres[3] = { kTurn1_4, kTurn7_12, kTurn11_12 };
    float w[3];
    float sum = 0.0f;
    for (int k = 0; k < 3; ++k)
    {
        const float d = a - centres[k];
        const float delta = d - std::round (d);
        w[k] = std::max (0.0f, std::cos (juce::MathConstants<float>::twoPi * delta));
        sum += w[k];
    }
    if (sum > 1.0e-6f)
        for (auto& x : w)
            x /= sum;
    return { w[0], w[1], w[2] };
}

struct DelayRow
{
    float time, feedback, crossfadeMs;
};

constexpr DelayRow kDel[8] = {
    { 0.11f, 0.10f, 15.0f }, { 0.188f, 0.35f, 15.0f }, { 0.281f, 0.40f, 15.0f }, { 0.50f, 0.45f, 20.0f },
    { 0.26f, 0.55f, 30.0f }, { 0.38f, 0.72f, 25.0f }, { 0.62f, 0.65f, 40.0f }, { 0.141f, 0.50f, 20.0f },
};
const char* const kDelayNames[8] = { "SLAP", "ECHO", "DOT", "1/4", "TAPE", "DUB", "AMB", "SHIM" };

struct ReverbRow
{
    float decay, size, diffuse, hiFactor, radicalness, predelay, lowCut, earlyLevel, lateLevel;
};

constexpr ReverbRow kRev[7] = {
    { 0.6f, 0.30f, 0.50f, 0.40f, 0.0f, 10.0f, 80.0f, 0.55f, 0.70f },
    { 1.0f, 0.40f, 0.60f, 0.40f, 0.0f, 20.0f, 60.0f, 0.50f, 0.85f },
    { 2.5f, 0.60f, 0.70f, 0.50f, 0.1f, 40.0f, 40.0f, 0.42f, 1.05f },
    { 15.0f, 0.95f, 0.95f, 0.50f, 1.0f, 50.0f, 25.0f, 0.28f, 1.35f },
    { 1.8f, 0.50f, 0.90f, 0.30f, 0.0f, 5.0f, 100.0f, 0.70f, 0.90f },
    { 4.0f, 0.70f, 0.80f, 0.35f, 0.6f, 30.0f, 50.0f, 0.48f, 1.18f },
    { 7.0f, 0.85f, 0.85f, 0.60f, 0.4f, 60.0f, 30.0f, 0.32f, 1.20f },
};
const char* const kReverbNames[7] = { "ROOM", "STUDIO", "HALL", "XTRM", "PLATE", "SHIM", "CATH" };
const char* const kReverbRingLabels[7] = { "ROOM", "STUD", "HALL", "XTRM", "PLATE", "SHIM", "CATH" };

// Where a wrapped angle falls among n characters spread round the circle: the character before
// it, the one after (the circle closes) and the fraction between them.
struct Sector
{
    int i, j;
    float f;
};

Sector sector (float a, int n) noexcept
{
    const float x = (float) n * a;
    const float fl = std::floor (x);
    const int i = (((int) fl) % n + n) % n;
    return { i, i == n - 1 ? 0 : i + 1, x - fl };
}

float between (float a, float b, float f) noexcept
{
    return a + f * (b - a);
}

const char* nearestName (float angle, int n, const char* const* names) noexcept
{
    const float x = (float) n * wrapTurn (angle);
    const float fl = std::floor (x);
    int i = (((int) fl) % n + n) % n;
    if (x - fl >= 0.5f)
        i = (i + 1) % n;
    return names[i];
}

void applyMapping (juce::AudioProcessorValueTreeState& tree, bool insideGesture, const ColourSwitches* decided)
{
    const Writer w { tree, insideGesture };

    const float r = clamp01 (w.plain ("quarn_toneRad", 0.0f));
    const float b = clamp01 (w.plain ("quarn_boost", 0.0f));
    const auto tone = ringWeights (wrapTurn (w.plain ("quarn_toneAng", 0.25f)));
    const auto energy = ringWeights (wrapTurn (w.plain ("quarn_energy", 0.25f)));
    const auto presence = ringWeights (wrapTurn (w.plain ("quarn_presence", 0.25f)));
    const float delayAngle = wrapTurn (w.plain ("quarn_spaceAng", 0.0f));
    const float dR = clamp01 (w.plain ("quarn_spaceRad", 0.0f));
    const float reverbAngle = wrapTurn (w.plain ("quarn_reverbAng", 0.0f));
    const float rR = clamp01 (w.plain ("quarn_reverbRad", 0.0f));

    const float body = tone.at1_4, low = tone.at7_12, air = tone.at11_12;
    const float glue = energy.at1_4, punch = energy.at7_12, density = energy.at11_12;
    const float pLow = presence.at7_12, pAir = presence.at11_12;
    const bool boosted = above (b, 0.04f);

    // Parametric EQ
    w.choice ("eq_bandCount", 1);
    w.choice ("eq_gainRange", 1);
    w.toggle ("eq_enabled", true);
    w.toggle ("eq_lowOn", true);
    w.toggle ("eq_highOn", true);
    w.toggle ("eq_m0On", true);
    w.toggle ("eq_m1On", true);
    w.toggle ("eq_lowCut", false);
    w.number ("eq_lowFreq", 58.0f + 32.0f * low + 8.0f * body);
    w.number ("eq_lowGain", r * (4.8f * low + 0.4f * body - 1.1f * air));
    w.number ("eq_highFreq", 8200.0f + 3800.0f * air + 1400.0f * pAir);
    w.number ("eq_highGain", r * (4.2f * air - 1.4f * low + 0.35f * body) + 2.2f * pAir);
    w.number ("eq_m0Freq", 280.0f + 140.0f * body + 40.0f * low);
    w.number ("eq_m0Gain", r * (2.4f * body + 0.8f * low - 0.5f * air));
    w.number ("eq_m0Q", 0.7f + 0.35f * body);
    w.number ("eq_m1Freq", 2200.0f + 900.0f * air + 200.0f * body - 400.0f * pLow);
    w.number ("eq_m1Gain", r * (1.6f * air - 1.3f * body - 0.4f * low) + 1.1f * pLow + 0.45f * pAir);
    w.number ("eq_m1Q", 0.8f + 0.25f * air + 0.12f * pLow);

    // Compressor: settings blended over the energy characters; the model amount is full while one
    // character clearly dominates and falls to 0 where two share the ring equally.
    const auto E = [&] (const EnergyWeights& row) { return glue * row.glue + punch * row.punch + density * row.density; };
    const float top = std::max ({ glue, punch, density });
    const float least = std::min ({ glue, punch, density });
    const float second = std::max (0.0f, 1.0f - top - least);
    const float x = juce::jlimit (0.0f, 1.0f, 2.5f * (top - second));
    const float model = std::sin (x * juce::MathConstants<float>::halfPi);
    const int character = (punch > glue && punch > density) ? 2 : ((density > glue && density > punch) ? 1 : 3);

    w.toggle ("compressor_enabled", true);
    w.number ("compressor_model", model);
    w.number ("compressor_attack", E (gEnergyCmp.attack));
    w.number ("compressor_release", E (gEnergyCmp.release));
    w.number ("compressor_ratio", E (gEnergyCmp.ratio));
    w.number ("compressor_knee", E (gEnergyCmp.knee));
    w.number ("compressor_threshold", E (gEnergyCmp.threshold));
    const int lufsIndex = w.choiceIndex ("masterLufs", 2, 5);
    w.number ("compressor_makeup", E (gEnergyCmp.makeup) + gLufsRecipes[lufsIndex].makeup);
    w.choice ("compressor_character", character);

    // Multiband compressor
    w.choice ("multiBandComp_bandCount", 3);
    w.toggle ("multiBandComp_enabled", true);
    w.number ("multiBandComp_x0", 120.0f + 40.0f * low);
    w.number ("multiBandComp_x1", 650.0f + 180.0f * body);
    w.number ("multiBandComp_x2", 4200.0f + 800.0f * air);
    w.number ("multiBandComp_globalMakeup", 0.4f * glue + 1.1f * punch + 1.6f * density);

    const float knee = 12.0f * glue + 4.0f * punch + 8.0f * density;
    struct Band { float thresh, ratio, atk, rel, makeup; };
    const Band bands[4] = {
        { -18.0f + 1.5f * punch - 4.0f * density - 3.2f * r * low,
          1.7f + 0.4f * glue + 1.6f * density + 1.1f * r * low,
          0.018f * glue + 0.006f * punch + 0.010f * density,
          0.24f * glue + 0.14f * punch + 0.28f * density,
          0.4f + 0.8f * density + 0.5f * r * low },
        { -17.0f - 2.0f * punch - 3.5f * density - 2.4f * r * body,
          1.6f + 1.2f * punch + 1.8f * density + 1.0f * r * body,
          0.014f * glue + 0.004f * punch + 0.008f * density,
          0.22f * glue + 0.11f * punch + 0.24f * density,
          0.3f + 0.6f * punch + 0.7f * density },
        { -16.5f - 2.4f * punch - 3.5f * density - 2.2f * r * body,
          1.6f + 1.4f * punch + 1.8f * density + 0.9f * r * body,
          0.012f * glue + 0.003f * punch + 0.007f * density,
          0.20f * glue + 0.09f * punch + 0.22f * density,
          0.3f + 0.7f * punch + 0.7f * density },
        { -18.0f + 1.0f * glue - 3.0f * density - 3.0f * r * air,
          1.5f + 0.3f * glue + 1.5f * density + 1.2f * r * air,
          0.010f * glue + 0.003f * punch + 0.006f * density,
          0.16f * glue + 0.08f * punch + 0.18f * density,
          0.4f + 0.6f * density + 0.5f * r * air },
    };
    for (int i = 0; i < 4; ++i)
    {
        const juce::String prefix = "multiBandComp_b" + juce::String (i);
        w.toggle (prefix + "On", true);
        w.number (prefix + "Thresh", bands[i].thresh);
        w.number (prefix + "Ratio", bands[i].ratio);
        w.number (prefix + "Atk", bands[i].atk);
        w.number (prefix + "Rel", bands[i].rel);
        w.number (prefix + "Knee", knee);
        w.number (prefix + "Makeup", bands[i].makeup);
    }

    // Dynamic EQ: the bands act only dynamically, their static gains stay 0.
    w.choice ("dynamicEq_bandCount", 1);
    w.choice ("dynamicEq_gainRange", 1);
    w.number ("dynamicEq_lowFreq", 72.0f + 48.0f * low);
    w.number ("dynamicEq_lowGain", 0.0f);
    w.number ("dynamicEq_lowThresh", -16.0f - 6.0f * density - 3.0f * r * low);
    w.number ("dynamicEq_lowRatio", 1.0f + 1.4f * density + 0.8f * r * low);
    w.number ("dynamicEq_lowAtk", 0.012f);
    w.number ("dynamicEq_lowRel", 0.22f);
    w.toggle ("dynamicEq_lowOn", true);
    w.toggle ("dynamicEq_lowCut", false);
    w.number ("dynamicEq_m0Freq", 1700.0f + 1500.0f * punch);
    w.number ("dynamicEq_m0Q", 0.95f + 0.55f * punch);
    w.number ("dynamicEq_m0Gain", 0.0f);
    w.number ("dynamicEq_m0Thresh", -14.0f - 8.0f * punch - 2.0f * density);
    w.number ("dynamicEq_m0Ratio", 1.0f + 2.8f * punch + 0.5f * density);
    w.number ("dynamicEq_m0Atk", 0.004f + 0.006f * glue);
    w.number ("dynamicEq_m0Rel", 0.1f + 0.08f * glue);
    w.toggle ("dynamicEq_m0On", true);
    w.number ("dynamicEq_m1Freq", 4200.0f + 1800.0f * air);
    w.number ("dynamicEq_m1Q", 1.05f + 0.4f * air);
    w.number ("dynamicEq_m1Gain", 0.0f);
    w.number ("dynamicEq_m1Thresh", -16.0f - 6.0f * r * air - 4.0f * punch);
    w.number ("dynamicEq_m1Ratio", 1.0f + 1.8f * r * air + 1.2f * punch);
    w.number ("dynamicEq_m1Atk", 0.005f);
    w.number ("dynamicEq_m1Rel", 0.12f);
    w.toggle ("dynamicEq_m1On", true);
    w.number ("dynamicEq_highFreq", 8600.0f + 3400.0f * air);
    w.number ("dynamicEq_highGain", 0.0f);
    w.number ("dynamicEq_highThresh", -12.0f - 10.0f * r * air - 2.0f * density);
    w.number ("dynamicEq_highRatio", 1.0f + 2.6f * r * air + 0.7f * density);
    w.number ("dynamicEq_highAtk", 0.006f);
    w.number ("dynamicEq_highRel", 0.14f);
    w.toggle ("dynamicEq_highOn", true);
    w.toggle ("dynamicEq_highCut", false);

    // Analogue density, saturation and clip. A recipe that has just decided these switches passes
    // its decision, so the mapping it runs never switches a module back; on its own the mapping
    // applies the same rule to the mixes the parameters hold.
    const auto switches = decided != nullptr
        ? *decided
        : colourSwitches (b, w.normalised ("saturation_mix", 0.0f), w.normalised ("analogueDensity_mix", 0.0f),
                          w.normalised ("clip_mix", 0.0f));
    w.toggle ("analogueDensity_enabled", switches.density);
    w.toggle ("saturation_enabled", switches.saturation);
    w.toggle ("clip_enabled", switches.clip);
    w.number ("analogueDensity_density", 72.0f * b);
    w.number ("analogueDensity_saturation", 5.4f * b);
    w.number ("analogueDensity_pentode", 2.4f * b);
    w.number ("analogueDensity_triode", 1.6f * b);
    w.number ("analogueDensity_airAmount", 3.6f * pAir + b * (1.2f + 4.5f * air));
    w.toggle ("analogueDensity_air", boosted && (air > 0.35f || pAir > 0.4f));
    const int calibration = air > 0.45f ? 2 : (low > 0.45f ? 0 : 1);
    w.choice ("analogueDensity_calibration", calibration);
    w.choice ("analogueDensity_satFreq", calibration);
    w.number ("saturation_drive", 0.58f * b);
    w.number ("saturation_grit", 0.22f * b * punch);
    w.choice ("saturation_mode", punch > 0.5f ? 2 : 0);
    w.number ("saturation_tone", 7000.0f + 7000.0f * air + 2500.0f * pAir);
    w.number ("clip_drive", 9.5f * b);
    w.number ("clip_inputGain", 1.8f * b);
    w.number ("clip_tone", 140.0f + 80.0f * low);

    // SPACE: delay
    float time = 0.0f, feedback = 0.0f, crossfade = 0.0f;
    bool delayOn = false;
    spaceDelayParams (delayAngle, dR, time, feedback, crossfade, delayOn);
    w.toggle ("delay_enabled", delayOn);
    w.choice ("delay_syncNote", 0);
    w.number ("delay_time", time);
    w.number ("delay_feedback", feedback);
    w.number ("delay_xfadeMs", crossfade);

    // SPACE: reverb
    const auto s = sector (reverbAngle, 7);
    const auto& A = kRev[s.i];
    const auto& B = kRev[s.j];
    const auto col = [&] (float ReverbRow::*field) { return between (A.*field, B.*field, s.f); };
    w.toggle ("reverb_enabled", above (rR, 0.04f));
    w.number ("reverb_size", rR * col (&ReverbRow::size));
    w.number ("reverb_decay", 0.35f + rR * (col (&ReverbRow::decay) - 0.35f));
    w.number ("reverb_diffuse", col (&ReverbRow::diffuse));
    w.number ("reverb_hiFactor", col (&ReverbRow::hiFactor));
    w.number ("reverb_radicalness", rR * col (&ReverbRow::radicalness));
    w.number ("reverb_predelay", rR * col (&ReverbRow::predelay));
    w.number ("reverb_lowCut", col (&ReverbRow::lowCut));
    w.number ("reverb_earlyLevel", 0.22f + rR * (col (&ReverbRow::earlyLevel) - 0.22f));
    w.number ("reverb_lateLevel", 0.55f + rR * (col (&ReverbRow::lateLevel) - 0.55f));
}

// The effective mastering-effect amount of one glide side, in percent.
float effectiveTrim (float trim, int lufsIndex) noexcept
{
    return trim < 0.0f ? gLufsRecipes[juce::jlimit (0, 4, lufsIndex)].trim : 100.0f * trim - 50.0f;
}

float angularLerp (float x, float y, float t) noexcept
{
    x = x - std::floor (x);
    y = y - std::floor (y);
    float d = y - x;
    if (d > 0.5f)
        d -= 1.0f;
    else if (d < -0.5f)
        d += 1.0f;
    const float v = x + d * t;
    return wrapTurn (v);
}
} // namespace

void apply (juce::AudioProcessorValueTreeState& apvts, bool insideGesture)
{
    applyMapping (apvts, insideGesture, nullptr);
}

void applyLufs (juce::AudioProcessorValueTreeState& tree, int lufsIndex, bool reapplyQuarn)
{
    const auto& L = gLufsRecipes[juce::jlimit (0, 4, lufsIndex)];
    const Writer w { tree };
    w.toggle ("limiter_enabled", true);
    w.toggle ("limiter_truePeak", true);
    w.number ("limiter_ceiling", L.ceiling);
    w.number ("limiter_inputGain", L.inputGain);
    w.number ("limiter_release", L.release);
    w.choice ("limiter_oversampling", L.oversampling);
    w.choice ("limiter_scale", L.scale);
    w.choice ("meteringMode", L.meter);
    w.number ("masterTrim", L.trim);

    if (! reapplyQuarn)
        return;

    // A quieter loudness lowers a boost above its cap; a louder one never raises it.
    const float boost = clamp01 (w.plain ("quarn_boost", 0.0f));
    const float target = std::min (boost, L.boostCap);
    if (std::abs (target - boost) > 0.002f)
        w.number ("quarn_boost", target);
    applyMapping (tree, false, nullptr);
}

void applyStyle (juce::AudioProcessorValueTreeState& tree, int style)
{
    const auto& R = gStyleRecipes[juce::jlimit (0, 6, style)];
    const Writer w { tree };
    const auto& L = gLufsRecipes[w.choiceIndex ("masterLufs", 2, 5)];
    const float b = std::min (R.boost, L.boostCap);

    w.number ("quarn_toneAng", wrapTurn (R.toneAng));
    w.number ("quarn_toneRad", clamp01 (R.toneRad));
    w.number ("quarn_energy", wrapTurn (R.energy));
    w.number ("quarn_boost", b);
    w.number ("quarn_presence", wrapTurn (R.presence));
    w.number ("quarn_spaceAng", wrapTurn (R.spaceAng));
    w.number ("quarn_spaceRad", clamp01 (R.spaceRad));
    w.number ("quarn_reverbAng", wrapTurn (R.reverbAng));
    w.number ("quarn_reverbRad", clamp01 (R.reverbRad));
    w.choice ("limiter_style", R.limiterStyle);
    w.toggle ("eq_enabled", true);
    w.toggle ("limiter_enabled", true);
    w.toggle ("compressor_enabled", true);
    w.toggle ("multiBandComp_enabled", true);

    float mixes[12];
    mixValues (R.mix, mixes);
    for (int i = 0; i < 12; ++i)
        w.mix (vyrMidi::kMixIds[i], mixes[i]);

    const bool imagerOn = above (R.mix.img, 0.08f);
    w.toggle ("tape_enabled", above (R.mix.tape, 0.08f));
    w.toggle ("dynamicEq_enabled", above (R.mix.dyn, 0.08f));
    w.toggle ("stereoImager_enabled", imagerOn);
    if (imagerOn)
    {
        w.number ("stereoImager_width", gImgWidth);
        w.number ("stereoImager_spreadLo", -gImgWidth);
    }
    const auto switches = colourSwitches (b, R.mix.sat, R.mix.dens, R.mix.clip);
    w.toggle ("saturation_enabled", switches.saturation);
    w.toggle ("analogueDensity_enabled", switches.density);
    w.toggle ("clip_enabled", switches.clip);

    applyMapping (tree, false, &switches);
}

void applyChips (juce::AudioProcessorValueTreeState& tree, int style, int lufsIndex, int medium)
{
    const Writer w { tree };
    w.choice ("masterStyle", juce::jlimit (0, 6, style));
    if (medium >= 0)
        w.choice ("masterMedium", std::min (medium, 7));
    w.choice ("masterLufs", juce::jlimit (0, 4, lufsIndex));
    applyLufs (tree, lufsIndex, false);
    applyStyle (tree, style);
}

void applyChips (juce::AudioProcessorValueTreeState& tree, int style, int lufsIndex, bool, int medium)
{
    applyChips (tree, style, lufsIndex, medium);
}

void lerpChips (juce::AudioProcessorValueTreeState& apvts,
                int styleA, int mediumA, int lufsA,
                int styleB, int mediumB, int lufsB,
                float t, float trimA, float trimB)
{
    const Writer w { apvts };
    const auto writeTrim = [&w] (float trim, float fallbackPercent)
    {
        w.number ("masterTrim", trim >= 0.0f ? 100.0f * trim - 50.0f : fallbackPercent);
    };

    t = std::isfinite (t) ? juce::jlimit (0.0f, 1.0f, t) : 0.0f;

    // At the ends the recipe is applied whole.
    if (t >= 0.999f)
    {
        applyChips (apvts, styleB, lufsB, mediumB);
        writeTrim (trimB, gLufsRecipes[juce::jlimit (0, 4, lufsB)].trim);
        return;
    }
    if (t <= 0.001f)
    {
        applyChips (apvts, styleA, lufsA, mediumA);
        writeTrim (trimA, gLufsRecipes[juce::jlimit (0, 4, lufsA)].trim);
        return;
    }

    styleA = juce::jlimit (0, 6, styleA);
    styleB = juce::jlimit (0, 6, styleB);
    lufsA = juce::jlimit (0, 4, lufsA);
    lufsB = juce::jlimit (0, 4, lufsB);
    const auto& SA = gStyleRecipes[styleA];
    const auto& SB = gStyleRecipes[styleB];
    const auto& LA = gLufsRecipes[lufsA];
    const auto& LB = gLufsRecipes[lufsB];

    // Every choice follows the nearer recipe, so the chips switch exactly at the midpoint.
    const bool nearB = t >= 0.5f;
    const int nearStyle = nearB ? styleB : styleA;
    const int nearMedium = nearB ? mediumB : mediumA;
    const auto& nearL = nearB ? LB : LA;
    const auto lerp = [t] (float x, float y) { return x + (y - x) * t; };

    w.choice ("masterStyle", nearStyle);
    w.choice ("masterMedium", juce::jlimit (0, 7, nearMedium));
    w.choice ("masterLufs", nearB ? lufsB : lufsA);
    w.number ("quarn_toneAng", angularLerp (SA.toneAng, SB.toneAng, t));
    w.number ("quarn_toneRad", lerp (SA.toneRad, SB.toneRad));
    w.number ("quarn_energy", angularLerp (SA.energy, SB.energy, t));
    const float boost = clamp01 (std::min (lerp (SA.boost, SB.boost), lerp (LA.boostCap, LB.boostCap)));
    w.number ("quarn_boost", boost);
    w.number ("quarn_presence", angularLerp (SA.presence, SB.presence, t));
    w.number ("quarn_spaceAng", angularLerp (SA.spaceAng, SB.spaceAng, t));
    w.number ("quarn_spaceRad", lerp (SA.spaceRad, SB.spaceRad));
    w.number ("quarn_reverbAng", angularLerp (SA.reverbAng, SB.reverbAng, t));
    w.number ("quarn_reverbRad", lerp (SA.reverbRad, SB.reverbRad));
    w.choice ("limiter_style", gStyleRecipes[nearStyle].limiterStyle);
    w.number ("limiter_ceiling", lerp (LA.ceiling, LB.ceiling));
    w.number ("limiter_inputGain", lerp (LA.inputGain, LB.inputGain));
    w.number ("limiter_release", lerp (LA.release, LB.release));
    w.number ("masterTrim", lerp (effectiveTrim (trimA, lufsA), effectiveTrim (trimB, lufsB)));
    w.choice ("limiter_oversampling", nearL.oversampling);
    w.choice ("limiter_scale", nearL.scale);
    w.choice ("meteringMode", nearL.meter);
    w.toggle ("limiter_enabled", true);
    w.toggle ("limiter_truePeak", true);
    w.toggle ("eq_enabled", true);
    w.toggle ("compressor_enabled", true);
    w.toggle ("multiBandComp_enabled", true);

    float a[12], bmix[12], m[12];
    mixValues (SA.mix, a);
    mixValues (SB.mix, bmix);
    for (int i = 0; i < 12; ++i)
    {
        m[i] = lerp (a[i], bmix[i]);
        w.mix (vyrMidi::kMixIds[i], m[i]);
    }
    const float sat = m[1], dens = m[2], clip = m[3], tape = m[4], dyn = m[8], img = m[10];

    const bool imagerOn = above (img, 0.08f);
    w.toggle ("tape_enabled", above (tape, 0.08f));
    w.toggle ("dynamicEq_enabled", above (dyn, 0.08f));
    w.toggle ("stereoImager_enabled", imagerOn);
    const auto switches = colourSwitches (boost, sat, dens, clip);
    w.toggle ("saturation_enabled", switches.saturation);
    w.toggle ("analogueDensity_enabled", switches.density);
    w.toggle ("clip_enabled", switches.clip);
    if (imagerOn)
    {
        w.number ("stereoImager_width", gImgWidth);
        w.number ("stereoImager_spreadLo", -gImgWidth);
    }

    applyMapping (apvts, false, &switches);
}

//==============================================================================
void spaceDelayParams (float angle, float radius, float& time, float& feedback, float& crossfadeMs, bool& on) noexcept
{
    const float a = wrapTurn (angle);
    const float r = std::isfinite (radius) ? clamp01 (radius) : 0.0f;
    const auto s = sector (a, 8);
    const auto& A = kDel[s.i];
    const auto& B = kDel[s.j];
    time = 0.04f + r * between (A.time, B.time, s.f);
    feedback = r * between (A.feedback, B.feedback, s.f);
    crossfadeMs = 12.0f + r * (between (A.crossfadeMs, B.crossfadeMs, s.f) - 12.0f);
    on = above (r, 0.04f);
}

const char* delayName (float angle) noexcept
{
    return nearestName (angle, 8, kDelayNames);
}

const char* reverbName (float angle) noexcept
{
    return nearestName (angle, 7, kReverbNames);
}

const char* reverbRingLabel (int index) noexcept
{
    return kReverbRingLabels[juce::jlimit (0, 6, index)];
}
} // namespace vyrQuarn

//==============================================================================
namespace vyrMidi
{
const char* const kMixIds[12] = {
    "compressor_mix", "saturation_mix", "analogueDensity_mix", "clip_mix", "tape_mix", "delay_mix",
    "reverb_mix", "eq_mix", "dynamicEq_mix", "multiBandComp_mix", "stereoImager_mix", "limiter_mix"
};
const char* const kQuarnIds[5] = { "quarn_toneAng", "quarn_toneRad", "quarn_energy", "quarn_boost", "quarn_presence" };
const char* const kSpaceIds[4] = { "quarn_spaceAng", "quarn_spaceRad", "quarn_reverbAng", "quarn_reverbRad" };

std::atomic<int> gMoodBank { 0 };

namespace
{
// Controller writes run on the audio thread: parameters are found through StringRef lookups, which
// allocate nothing, and set without change gestures.
void continuous (juce::AudioProcessorValueTreeState& tree, juce::StringRef id, float normalised)
{
    auto* p = tree.getParameter (id);
    if (p == nullptr)
        return;
    const float x = juce::jlimit (0.0f, 1.0f, normalised);
    if (std::abs (p->getValue() - x) < 0.4f / 127.0f)
        return;
    p->setValueNotifyingHost (x);
}

void continuousPlain (juce::AudioProcessorValueTreeState& tree, juce::StringRef id, float plain)
{
    if (auto* p = tree.getParameter (id))
        continuous (tree, id, p->convertTo0to1 (plain));
}

// Index out of n steps for a controller value: 0 when n < 2, else min(n - 1, floor(n v / 128)).
int stepFromValue (int n, int value) noexcept
{
    return n < 2 ? 0 : std::min (n - 1, n * value / 128);
}

void choiceIndexWrite (juce::AudioParameterChoice& c, int index)
{
    auto& p = static_cast<juce::RangedAudioParameter&> (c);
    const float x = p.convertTo0to1 ((float) index);
    if (std::abs (p.getValue() - x) >= 1.0e-4f)
        p.setValueNotifyingHost (x);
}

// Writes a choice picked by the controller value; returns `bit` when the choice parameter exists.
int choiceFromValue (juce::AudioProcessorValueTreeState& tree, juce::StringRef id, int value, int bit)
{
    auto* c = dynamic_cast<juce::AudioParameterChoice*> (tree.getParameter (id));
    if (c == nullptr)
        return 0;
    choiceIndexWrite (*c, stepFromValue (c->choices.size(), value));
    return bit;
}

} // namespace

int bankForController (int numBanks, int value) noexcept
{
    return stepFromValue (std::max (numBanks, 1), juce::jlimit (0, 127, value));
}

int moodForController (const std::vector<vyrMood::Bank>& banks, int bank, int value) noexcept
{
    const int numBanks = (int) banks.size();
    bank = juce::jlimit (0, std::max (numBanks, 1) - 1, bank);
    const int k = bank < numBanks ? banks[(size_t) bank].count : 0;
    if (k < 1)
        return -1;
    const int i = stepFromValue (k, juce::jlimit (0, 127, value));
    return juce::jlimit (0, vyrMood::kMaxPresets - 1, banks[(size_t) bank].start + std::min (k - 1, i));
}

int applyQuarnCc (juce::AudioProcessorValueTreeState& tree, int controller, int value)
{
    const int v = juce::jlimit (0, 127, value);
    const float f = (float) v / 127.0f;

    if (controller >= 20 && controller <= 31)
    {
        continuous (tree, kMixIds[controller - 20], f);
        return 0;
    }

    switch (controller)
    {
        case 16: continuous (tree, "masterTrim", f); return 0;
        case 17: return choiceFromValue (tree, "masterLufs", v, loudnessChosen);
        case 18: continuous (tree, "bypass", v > 63 ? 1.0f : 0.0f); return 0;
        case 19:
        {
            auto* c = dynamic_cast<juce::AudioParameterChoice*> (tree.getParameter ("masterMood"));
            if (c == nullptr)
                return 0;
            choiceIndexWrite (*c, moodForController (vyrMood::table().banks, gMoodBank.load(), v) + 1);
            return moodChosen;
        }
        case 70: continuous (tree, "quarn_toneAng", f); return 0;
        case 71: continuous (tree, "quarn_toneRad", f); return 0;
        case 72:
        {
            static constexpr float kHome[3] = { 0.25f, 0.5833334f, 0.9166667f };   // glue, punch, density
            continuousPlain (tree, "quarn_energy", kHome[3 * v / 128]);
            return 0;
        }
        case 73: continuous (tree, "quarn_boost", f); return 0;
        case 74: continuous (tree, "quarn_presence", f); return 0;
        case 75: continuousPlain (tree, "quarn_spaceAng", ((float) (v / 16) + 0.5f) * 0.125f); return 0;
        case 76: continuous (tree, "quarn_spaceRad", f); return 0;
        case 77: continuousPlain (tree, "quarn_reverbAng", ((float) (7 * v / 128) + 0.5f) / 7.0f); return 0;
        case 78: continuous (tree, "quarn_reverbRad", f); return 0;
        case 79: return choiceFromValue (tree, "masterMedium", v, mediumChosen);
        case 80: continuous (tree, "quarn_eqAng", f); return 0;
        case 81: choiceFromValue (tree, "liveAnalysis", v, 0); return 0;
        case 82:
        {
            gMoodBank.store (bankForController ((int) vyrMood::table().banks.size(), v));
            return 0;
        }
        default: return 0;
    }
}

int applyQuarnMidi (juce::AudioProcessorValueTreeState& tree, const juce::MidiBuffer& midi)
{
    int bits = 0;
    for (const auto event : midi)
    {
        const auto* d = event.data;
        if (d == nullptr || event.numBytes < 3 || (d[0] & 0xf0) != 0xb0)
            continue;
        bits |= applyQuarnCc (tree, std::min ((int) d[1], 127), std::min ((int) d[2], 127));
    }
    return bits;
}
} // namespace vyrMidi
