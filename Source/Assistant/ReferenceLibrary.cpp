#include "Assistant/ReferenceLibrary.h"

#include "Model/FactoryPresets.h"
#include "Model/QuarnPresets.h"
#include "VyrAssistantData.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string>

namespace vyrMasterLib
{
const char* const kGlue[3] = { "Open", "Glued", "Crushed" };
const char* const kAesthetic[5] = { "Classic", "Warm", "Bright", "Dense", "Intimate" };
const char* const kStressNames[kNumStress] = {
    "Sub-heavy crush", "Air-open classical", "Mid-forward podcast", "Club brickwall", "Vinyl tilt",
    "Broadcast ceiling", "Jazz headroom", "Trap 808 lift", "Acoustic shine", "Festival slam",
    "Dialogue cinema", "Lo-fi dusk", "Rock wall glue", "Streaming pop", "Quiet score"
};

namespace
{

    //==========================================================================
    // Grid rules: a medium's base, then style, glue and aesthetic adjustments.
    struct Base { float lufs, grab, low, mid, high; };
    constexpr Base kGridBase[8] = {
        { -23.0f, 0.08f,  0.0f,  0.0f, -0.5f },   // Cinematic
        { -16.0f, 0.14f, -2.0f,  1.8f, -1.0f },   // Podcast
        {  -9.0f, 0.42f,  0.8f,  0.6f,  1.8f },   // Radio
        { -14.0f, 0.18f,  0.0f,  0.0f,  0.0f },   // Album
        { -11.0f, 0.28f,  0.8f,  0.0f,  0.8f },   // EP
        { -18.0f, 0.12f, -0.4f,  0.5f,  0.0f },   // Video
        { -14.0f, 0.20f,  0.0f,  0.0f,  0.5f },   // Streaming
        {  -8.0f, 0.50f,  2.8f, -0.4f,  0.8f },   // Club
    };

    Profile gridProfile (int i) noexcept
    {
        Profile p;
        p.medium = i / 105;
        p.style = (i / 15) % 7;
        p.glue = (i / 5) % 3;
        p.aesthetic = i % 5;
        const auto& b = kGridBase[p.medium];
        p.lufs = b.lufs; p.grab = b.grab; p.low = b.low; p.mid = b.mid; p.high = b.high;

        switch (p.style)
        {
            case 0: p.low += 1.4f; p.high += 0.9f; p.grab += 0.08f; break;
            case 1: p.low -= 0.3f; p.high += 0.2f; p.lufs -= 2.0f; p.grab -= 0.07f; break;
            case 2: p.low -= 0.3f; p.high += 0.2f; p.lufs -= 4.0f; p.grab -= 0.1f; break;
            case 3: p.mid += 0.5f; break;
            case 4: p.high += 0.5f; p.lufs += 1.5f; p.grab += 0.16f; break;
            case 6: p.high -= 0.5f; p.lufs -= 1.5f; p.grab -= 0.08f; break;
            default: break;
        }
        switch (p.glue)
        {
            case 0: p.lufs -= 1.5f; p.grab *= 0.62f; break;
            case 2: p.lufs += 1.8f; p.grab *= 1.45f; p.low += 0.4f; break;
            default: break;
        }
        switch (p.aesthetic)
        {
            case 1: p.low += 0.6f; p.high -= 0.5f; p.lufs -= 0.4f; break;
            case 2: p.high += 0.9f; p.low -= 0.3f; break;
            case 3: p.mid += 0.4f; p.lufs += 0.8f; p.grab += 0.1f; break;
            case 4: p.high -= 0.3f; p.lufs -= 0.8f; p.grab -= 0.05f; break;
            default: break;
        }
        p.lufs = juce::jlimit (-24.0f, -6.0f, p.lufs);
        p.grab = juce::jlimit (0.04f, 0.72f, p.grab);
        return p;
    }
}

Profile fromFactory (const vyrFactory::Preset& r, int k) noexcept
{
    Profile p;
    p.factoryIndex = k;
    p.title = vyrFactory::kNames[juce::jlimit (0, vyrFactory::kNumPresets - 1, k)];
    p.medium = juce::jlimit (0, 7, r.medium);
    p.style = juce::jlimit (0, 6, r.style);
    p.lufs = r.targetLufs;
    p.grab = r.limiter_enabled ? (r.limiter_ceiling + 2.0f) * 0.45f / 1.7f + 0.1f : 0.06f;
    p.low = 0.35f * r.eq_lowGain + (r.analogueDensity_enabled ? 0.35f : 0.0f);
    p.mid = 0.25f * r.eq_m0Gain;
    p.high = 0.35f * r.eq_highGain + (r.saturation_enabled ? 0.25f : 0.0f);
    p.glue = p.grab > 0.35f ? 2 : (p.grab >= 0.12f ? 1 : 0);
    return p;
}

namespace
{
    struct StressRow { int medium, style, glue; float grab, low, mid, high; };
    constexpr StressRow kStress[kNumStress] = {
        { 7, 0, 2, 0.52f,  3.0f, 0.0f,  0.3f },
        { 0, 2, 0, 0.07f, -0.6f, 0.0f,  1.4f },
        { 1, 5, 1, 0.18f,  0.2f, 2.0f,  0.3f },
        { 7, 4, 2, 0.52f,  3.0f, 0.0f,  0.3f },
        { 3, 6, 0, 0.07f,  0.2f, 0.0f,  0.3f },
        { 5, 5, 1, 0.18f,  0.2f, 0.0f,  0.3f },
        { 3, 1, 0, 0.07f,  0.2f, 0.0f,  0.3f },
        { 7, 0, 2, 0.52f,  3.0f, 0.0f,  0.3f },
        { 3, 6, 0, 0.07f,  0.2f, 0.0f,  1.4f },
        { 2, 4, 2, 0.52f,  0.2f, 0.0f,  0.3f },
        { 0, 2, 0, 0.07f, -0.6f, 0.0f,  0.3f },
        { 3, 6, 1, 0.18f,  0.2f, 0.0f, -1.2f },
        { 4, 4, 2, 0.52f,  0.2f, 0.0f,  0.3f },
        { 6, 5, 1, 0.18f,  0.2f, 0.0f,  0.3f },
        { 0, 2, 0, 0.07f, -0.6f, 0.0f,  0.3f },
    };

    Profile stressProfile (int k) noexcept
    {
        const auto& r = kStress[k];
        Profile p;
        p.title = kStressNames[k];
        p.medium = r.medium;
        p.style = r.style;
        p.glue = r.glue;
        p.lufs = vyrQuarn::kMasterMediums[r.medium].lufs + (float) (r.glue - 1) * 1.6f;
        p.grab = r.grab; p.low = r.low; p.mid = r.mid; p.high = r.high;
        return p;
    }

    //==========================================================================
    // The named references, read once from the embedded table into storage that lives until exit,
    // so profiles can point at their texts.
    struct NamedTable
    {
        std::array<std::string, kNumNamed> titles, notes;
        std::array<Profile, kNumNamed> rows {};
    };

    NamedTable loadNamed()
    {
        NamedTable t;
        const auto doc = juce::JSON::parse (juce::String::fromUTF8 (VyrAssistantData::namedReferences_json,
                                                                    VyrAssistantData::namedReferences_jsonSize));
        const auto* rows = doc.getProperty ("rows", {}).getArray();
        for (int r = 0; r < kNumNamed; ++r)
        {
            auto& p = t.rows[(size_t) r];
            p.aesthetic = 0;
            p.factoryIndex = -1;
            if (rows == nullptr || r >= rows->size())
                continue;   // a missing row has no title and is left out of the named ranking
            const auto& row = rows->getReference (r);
            if (! row.isArray() || row.size() < 10)
                continue;
            t.titles[(size_t) r] = row[0].toString().toStdString();
            t.notes[(size_t) r] = row[1].toString().toStdString();
            p.medium = juce::jlimit (0, 7, (int) row[2]);
            p.style = juce::jlimit (0, 6, (int) row[3]);
            p.glue = juce::jlimit (0, 2, (int) row[4]);
            p.lufs = (float) (double) row[5];
            p.grab = (float) (double) row[6];
            p.low = (float) (double) row[7];
            p.mid = (float) (double) row[8];
            p.high = (float) (double) row[9];
            if (! t.titles[(size_t) r].empty())
                p.title = t.titles[(size_t) r].c_str();
            if (! t.notes[(size_t) r].empty())
                p.note = t.notes[(size_t) r].c_str();
        }
        return t;
    }

    const NamedTable& named()
    {
        static const NamedTable table = loadNamed();
        return table;
    }

    float sq (float x) noexcept { return x * x; }
}

Profile at (int index) noexcept
{
    const int i = juce::jlimit (0, kNumProfiles - 1, index);
    if (i < kFactoryFirst)
        return gridProfile (i);
    if (i < kStressFirst)
        return fromFactory (vyrFactory::get (i - kFactoryFirst), i - kFactoryFirst);
    if (i < kNamedFirst)
        return stressProfile (i - kStressFirst);
    return named().rows[(size_t) (i - kNamedFirst)];
}

juce::String title (const Profile& p)
{
    if (p.title != nullptr)
        return juce::String::fromUTF8 (p.title);
    const auto dot = juce::String::fromUTF8 ("  \xc2\xb7  ");
    return juce::String (vyrQuarn::kMasterMediums[juce::jlimit (0, 7, p.medium)].label) + dot
         + vyrQuarn::kMasterStyles[juce::jlimit (0, 6, p.style)] + dot
         + kGlue[juce::jlimit (0, 2, p.glue)] + dot
         + kAesthetic[juce::jlimit (0, 4, p.aesthetic)] + dot
         + general (p.lufs) + " LUFS";
}

float distance (const vyrMasterAssist::Snapshot& s, const Profile& p) noexcept
{
    const float tilt = s.highDb - s.midDb;
    return sq ((s.clipShare - p.grab) / 0.18f) + sq ((s.lufs - p.lufs) * 0.25f)
         + sq ((s.lowVsMidDb - p.low) / 2.5f) + sq ((tilt - p.high) / 2.5f)
         + (p.medium != s.medium ? 2.4f : 0.0f) + (p.style != s.style ? 1.6f : 0.0f)
         - (p.title != nullptr ? 0.22f : 0.0f);
}

float match (const vyrMasterAssist::Snapshot& s, const Profile& p) noexcept
{
    const float tilt = s.highDb - s.midDb;
    const float m = 100.0f - 9.0f * std::abs (s.lufs - p.lufs) - 55.0f * std::abs (s.clipShare - p.grab)
                  - 6.0f * std::abs (s.lowVsMidDb - p.low) - 6.0f * std::abs (tilt - p.high);
    return juce::jlimit (0.0f, 100.0f, m);
}

juce::String general (float value)
{
    char buf[48];
    std::snprintf (buf, sizeof (buf), "%g", (double) value);
    return buf;
}

juce::String oneDecimal (float value)
{
    char buf[48];
    std::snprintf (buf, sizeof (buf), "%.1f", (double) value);
    return buf;
}

int nearestEven (float value) noexcept
{
    if (! std::isfinite (value))
        return 0;
    return (int) std::nearbyint (juce::jlimit (-1.0e9f, 1.0e9f, value));
}
} // namespace vyrMasterLib
