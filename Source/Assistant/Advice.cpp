#include "Assistant/Advice.h"

#include "Assistant/ReferenceLibrary.h"
#include "Model/QuarnPresets.h"
#include "VyrAssistantData.h"

#include <cmath>


namespace vyrMasterLib
{
namespace
{
    juce::String u (const char* text) { return juce::String::fromUTF8 (text); }

    const char* const kDash = " \xe2\x80\x94 ";   // spaced em dash

    enum Group { generalGroup, jazz, classical, loud };

    Group groupOf (int style) noexcept
    {
        switch (style)
        {
            case 1: return jazz;
            case 2: return classical;
            case 0: case 4: return loud;
            default: return generalGroup;
        }
    }

    // The embedded line endings, read once.
    const juce::var& lines()
    {
        static const juce::var doc = juce::JSON::parse (juce::String::fromUTF8 (VyrAssistantData::assistantLines_json,
                                                                                VyrAssistantData::assistantLines_jsonSize));
        return doc;
    }

    juce::String line (const char* key) { return lines().getProperty (key, {}).toString(); }

    juce::String mediumLabel (int medium) { return vyrQuarn::kMasterMediums[juce::jlimit (0, 7, medium)].label; }

    int variantIndex (int v) noexcept { return ((v % 3) + 3) % 3; }

    const char* const kOnA[3] = {
        "sits on the destination \xe2\x80\x94 musical crest left on the table.",
        "matches the lane. Streaming will not punish this much.",
        "on target. Keep verifying as you ride, not as you chase peaks."
    };
    const char* const kOvA[3] = {
        "above target. Ease limiter in, mix, or ride Out.",
        "hot for this medium. You are writing a single, not a long-play.",
        "over the K-System lane. Back off makeup before you add clip."
    };
    const char* const kUnA[3] = {
        "shy of target. A little more makeup or a hotter ride.",
        "open of the lane. Fine for Soft \xe2\x80\x94 add level only if it disappears.",
        "under. Raise In a little, not the ceiling first."
    };
    const char* const kClassNext[3] = {
        "Keep the K-System headroom. Classical wins on decay, not on average.",
        "Play a pp passage. If the limiter moves, the ceiling is too eager.",
        "Check a tutti and a solo. The destination is both, not the loud bar."
    };
    const char* const kGenNext[3] = {
        "Keep verifying as you tweak. The picture and this note update together.",
        "Change medium or style and the destination list moves \xe2\x80\x94 that is the point.",
        "Small moves. FIT is a distance, not a grade."
    };

    juce::String jazzNext (int variant)
    {
        if (variant == 0) return line ("next.jazz.variant0");
        if (variant == 1) return line ("next.jazz.variant1");
        return "Watch crest, not only LUFS. The pocket is the decay after the snare.";
    }
}

juce::String lineLufs (int style, int medium, float lufs, float target, int variant)
{
    const float delta = lufs - target;
    const juce::String L = oneDecimal (lufs), T = general (target), D = oneDecimal (std::abs (delta)), M = mediumLabel (medium);
    const bool onTarget = std::abs (delta) < 0.6f;
    const bool over = ! onTarget && delta > 0.0f;
    const juce::String dash = u (kDash);
    const int v = variantIndex (variant);

    switch (juce::jlimit (0, 6, style))
    {
        case 0:
            if (onTarget) return "Loudness " + L + " LUFS" + dash + "on the " + M + " slam (" + T + "). Systems will feel this.";
            if (over) return "Loudness " + L + " LUFS" + dash + D + " past " + T + ". Streaming will turn it down; you are only losing punch.";
            return "Loudness " + L + " LUFS" + dash + D + " under the " + M + " hit. More makeup or a hotter ride if the floor needs it.";
        case 4:
            if (onTarget) return "Loudness " + L + " LUFS" + dash + "on the loud " + M + " target" + line ("loudness.loud.on");
            if (over) return "Loudness " + L + " LUFS" + dash + D + " into loudness-war territory" + line ("loudness.loud.over");
            return "Loudness " + L + " LUFS" + dash + D + " short of the loud lane. A little more in or limiter mix.";
        case 1:
            if (onTarget) return "Integrated " + L + " LUFS" + dash + "ride cymbal still has crest" + line ("loudness.jazz.on");
            if (over) return "Integrated " + L + " LUFS" + dash + D + " hotter than album jazz. You are squeezing decay" + line ("loudness.jazz.over");
            return "Integrated " + L + " LUFS" + dash + D + " open of " + T + ". Fine if the room is the point" + line ("loudness.jazz.under");
        case 2:
            if (onTarget) return "Integrated " + L + " LUFS" + dash + "concert headroom on the " + T + " " + M + " lane" + line ("loudness.classical.on");
            if (over) return "Integrated " + L + " LUFS" + dash + D + " above concert level. Classical this hot starts to flatten the hall" + line ("loudness.classical.over");
            return "Integrated " + L + " LUFS" + dash + D + " shy of " + T + ". Leave crest" + line ("loudness.classical.under");
        default:
            if (onTarget) return "Loudness " + L + " LUFS on " + M + " / " + T + dash + u (kOnA[v]);
            if (over) return "Loudness " + L + " LUFS" + dash + D + " " + u (kOvA[v]);
            return "Loudness " + L + " LUFS" + dash + D + " " + u (kUnA[v]);
    }
}

juce::String lineLimit (int style, float clipShare, float over)
{
    const juce::String N (nearestEven (clipShare * 100.0f));
    const int band = over < -0.05f ? 0 : (over < 0.08f ? 1 : 2);   // open, glued, crushed
    const juce::String dash = u (kDash);
    switch (groupOf (style))
    {
        case classical:
            if (band == 0) return "Ceiling grab " + N + "%" + dash + "hall still open. Typical concert-album limiting: safety only.";
            if (band == 1) return "Ceiling grab " + N + "%" + dash + "a little glue on the ff. Keep pp untouched.";
            return "Ceiling grab " + N + "%" + dash + "the hall is flattening. Raise the ceiling; classical ff needs crest.";
        case jazz:
            if (band == 0) return "Limiting " + N + "%" + dash + "ride and snare still decay" + line ("limiting.jazz.open");
            if (band == 1) return "Limiting " + N + "%" + dash + "glued" + line ("limiting.jazz.glued");
            return "Limiting " + N + "%" + dash + "the cymbal is becoming static" + line ("limiting.jazz.crushed");
        case loud:
            if (band == 0) return "Limiting " + N + "%" + dash + "still open for a loud cut. You can take a little more if the floor needs it.";
            if (band == 1) return "Limiting " + N + "%" + dash + "competitive glue. Typical club/radio density without a brick wall.";
            return "Limiting " + N + "%" + dash + "festival crush. Streaming will turn it down; you already spent the punch.";
        default:
            if (band == 0) return "Limiting " + N + "% at the ceiling" + dash + "still open. Headroom is healthy.";
            if (band == 1) return "Limiting " + N + "% at the ceiling" + dash + "glued, not crushed. Good for this profile.";
            return "Limiting " + N + "% at the ceiling" + dash + "flattening a lot. Raise the ceiling or back off clip/drive.";
    }
}

juce::String lineBal (const juce::String& name, float x)
{
    if (std::abs (x) < 0.8f)
        return name + " sits with pink.";
    if (x > 0.0f)
        return name + " is +" + oneDecimal (x) + " dB vs pink.";
    return name + " is " + oneDecimal (x) + " dB vs pink.";
}

juce::String lineBalance (int style, float lowDev, float highDev, bool hasSignal)
{
    juce::String low = "Bass", high = "High";
    switch (juce::jlimit (0, 6, style))
    {
        case 0: low = "Sub"; high = "Hats / air"; break;
        case 1: low = "Bass / kick"; high = "Ride / air"; break;
        case 2: low = "Low strings / pedal"; high = "Overtones / hall"; break;
        default: break;
    }
    auto text = lineBal (low, lowDev) + "  " + lineBal (high, highDev);
    if (! hasSignal)
        text += u (" (from EQ until you play \xe2\x80\x94 pink wants equal energy per octave.)");
    return text;
}

juce::String lineHeadline (int style, float fit, const juce::String& title, const juce::String& suffix)
{
    const int tier = fit >= 88.0f ? 0 : (fit >= 70.0f ? 1 : 2);
    switch (groupOf (style))
    {
        case jazz:
            if (tier == 0) return "In the pocket for " + title + "." + suffix + " The ride still speaks.";
            if (tier == 1) return "Close to " + title + "." + suffix + " Watch the cymbal, not the LUFS needle.";
            return "Nearest jazz destination: " + title + "." + suffix;
        case classical:
            if (tier == 0) return "In the pocket for " + title + "." + suffix + " Export when the hall still breathes.";
            if (tier == 1) return "Near " + title + "." + suffix + " Small moves " + u ("\xe2\x80\x94") + " do not chase the last ff.";
            return "Nearest classical destination: " + title + "." + suffix;
        default:
            if (tier == 0) return "This is in the pocket for " + title + "." + suffix + " Export when it feels like the one.";
            if (tier == 1) return "Close to " + title + "." + suffix + " Small moves " + u ("\xe2\x80\x94") + " don't chase peaks.";
            return "Nearest of " + juce::String (kNumProfiles) + ": " + title + "." + suffix;
    }
}

juce::String lineNext (int style, float lowDev, float highDev, float over, int variant)
{
    const Group g = groupOf (style);
    const int v = variantIndex (variant);
    if (lowDev > 1.2f)
    {
        if (g == jazz) return u ("Bass is heavy vs pink \xe2\x80\x94 less low shelf / 808 thought. This is a kit, not a club.");
        if (g == classical) return u ("Low strings are heavy vs pink \xe2\x80\x94 ease the shelf, not the hall reverb.");
        return "Try less low shelf / MBC low, or a gentler density mix.";
    }
    if (highDev > 1.2f)
    {
        if (g == jazz) return u ("Ride is hot vs pink \xe2\x80\x94 ease the air; splash is not presence.");
        if (g == classical) return u ("Overtones are hot \xe2\x80\x94 a little less high shelf; glare is not air.");
        return u ("The top is hot vs pink \xe2\x80\x94 ease the high shelf or limiter brightness.");
    }
    if (highDev < -1.2f)
    {
        if (g == jazz) return line ("next.jazz.airShy");
        if (g == classical) return u ("Hall is shy vs pink \xe2\x80\x94 air or a gentler ceiling, not more limiter.");
        return u ("Air is shy vs pink \xe2\x80\x94 a little high shelf or analogue air, not more limiter.");
    }
    if (over > 0.1f)
    {
        if (g == jazz) return "Raise the ceiling a few tenths. Jazz limiting is a safety net, not a sound.";
        if (g == classical) return "Give the ceiling a few tenths so the next ff can crest.";
        return "Give the ceiling a few tenths and keep the ride musical.";
    }
    if (g == jazz) return jazzNext (v);
    if (g == classical) return kClassNext[v];
    return u (kGenNext[v]);
}
} // namespace vyrMasterLib

namespace vyrMasterAssist
{
using namespace vyrMasterLib;

namespace
{
    // The loudness line while no loudness has been measured: the lane's target and what it waits for.
    juce::String waitingLoudness (int style, const juce::String& M, const juce::String& S, const juce::String& T)
    {
        const juce::String dash = juce::String::fromUTF8 (" \xe2\x80\x94 ");
        if (style == 1)
            return M + " jazz target is " + T + " LUFS" + dash + line ("noFile.jazz.loudness");
        if (style == 2)
            return M + " classical target is " + T + " LUFS" + dash + line ("noFile.classical.loudness");
        return M + " / " + S + " target is " + T + " LUFS. Waiting on a source.";
    }
}

int nearestProfile (const Snapshot& s) noexcept
{
    float best = 1e9f;
    int winner = 0;
    for (int i = 0; i < kNumProfiles; ++i)
    {
        const float d = distance (s, at (i));
        if (d < best)
        {
            best = d;
            winner = i;
        }
    }
    return winner;
}

Advice coach (const Snapshot& s)
{
    Advice a;
    a.nearest = nearestProfile (s);
    const Profile p = at (a.nearest);
    a.title = title (p);

    const float delta = s.lufs - s.targetLufs;
    const float over = s.clipShare - p.grab;
    const float lowDev = s.lowVsMidDb - p.low;
    const float highDev = (s.highDb - s.midDb) - p.high;
    a.fit = juce::jlimit (0.0f, 100.0f, 100.0f - 9.0f * std::abs (delta) - 55.0f * std::abs (over)
                                            - 5.0f * std::min (std::abs (lowDev), 6.0f) - 5.0f * std::min (std::abs (highDev), 6.0f));

    const juce::String M = vyrQuarn::kMasterMediums[juce::jlimit (0, 7, s.medium)].label;
    const juce::String S = vyrQuarn::kMasterStyles[juce::jlimit (0, 6, s.style)];
    const juce::String T = general (s.targetLufs);
    const int style = juce::jlimit (0, 6, s.style);
    const int variant = a.nearest * 17 + s.medium * 5 + s.style * 3;

    if (! s.hasFile)
    {
        // Nothing has been measured yet: the lines say what the assistant waits for and claim no figure.
        if (style == 1)
        {
            a.headline = "Load a performance. Jazz on " + M + " is judged on ride crest, not average loudness.";
            a.loudness = waitingLoudness (style, M, S, T);
            a.limiting = "No kit envelope yet. We will see if the limiter leaves the cymbal.";
            a.balance = "Pink-referenced bass vs ride needs audio.";
            a.next = "Drop a mix in. " + line ("noFile.jazz.next");
        }
        else if (style == 2)
        {
            a.headline = "Load a performance. Classical on " + M + " is judged like a hall, not a single.";
            a.loudness = waitingLoudness (style, M, S, T);
            a.limiting = "No envelope yet. A tutti will show whether the ceiling leaves crest.";
            a.balance = "Pink-referenced orchestra balance needs audio.";
            a.next = "Drop a mix in. " + line ("noFile.classical.next");
        }
        else
        {
            a.headline = juce::String::fromUTF8 ("Load a file. The assistant reads the prospective master \xe2\x80\x94 the wave that does not exist yet.");
            a.loudness = waitingLoudness (style, M, S, T);
            a.limiting = "No envelope to judge limiting.";
            a.balance = "Pink-referenced balance needs audio.";
            a.next = "Drop a mix in. " + S + " on " + M + " is a different list than a loud EP.";
        }
        return a;
    }

    // A loudness nobody measured (nothing played, the file not analysed) is not judged as if it were.
    a.loudness = s.lufsKnown ? lineLufs (style, s.medium, s.lufs, s.targetLufs, variant) : waitingLoudness (style, M, S, T);
    a.limiting = lineLimit (style, s.clipShare, over);
    a.balance = lineBalance (style, lowDev, highDev, s.hasSignal);
    const juce::String suffix = p.note != nullptr ? " " + juce::String::fromUTF8 (p.note)
                                                  : juce::String::fromUTF8 (" 36 nearby albums \xe2\x80\x94 open LIBRARY.");
    a.headline = lineHeadline (style, a.fit, a.title, suffix);
    a.next = lineNext (style, lowDev, highDev, over, variant);
    return a;
}
} // namespace vyrMasterAssist
