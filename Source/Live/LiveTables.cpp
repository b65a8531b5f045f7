// The live style prototypes and mood presets, read from the embedded documents.
#include "Live/LiveSectionAnalyzer.h"
#include "Model/MoodTable.h"
#include "Model/QuarnPresets.h"
#include "VyrQuarnData.h"

namespace vyrLive
{
const char* const kQuarnSnapIds[9] = { "quarn_toneAng", "quarn_toneRad", "quarn_energy", "quarn_boost", "quarn_presence",
                                       "quarn_spaceAng", "quarn_spaceRad", "quarn_reverbAng", "quarn_reverbRad" };

const char* const kFxOrderIds[13] = { "compressor", "saturation", "analogueDensity", "clip", "tape", "delay", "reverb",
                                      "eq", "dynamicEq", "multiBandComp", "tovu", "stereoImager", "limiter" };

int maskOfCharacter (const juce::String& character) noexcept
{
    int m = 0;
    const char* words[5] = { "Glue", "Punch", "Air", "Tape", "Wall" };
    for (int i = 0; i < 5; ++i)
        if (character.containsIgnoreCase (words[i]))
            m |= 1 << i;
    return m < 2 ? 1 : m;
}
}

namespace
{
using vyrLive::MoodPreset;
using vyrLive::StyleRow;

juce::String joinedCharacter (const juce::var& v)
{
    if (auto* arr = v.getArray())
    {
        juce::StringArray words;
        for (const auto& w : *arr)
            words.add (w.toString());
        return words.joinIntoString ("+");
    }
    return v.toString();
}

juce::String asciiTitle (const juce::String& text, bool ellipsis)
{
    auto t = vyrMood::asciiName (text);
    if (ellipsis)
        t = t.replace (juce::String::charToString ((juce::juce_wchar) 0x2026), "...");
    return t;
}

float number (const juce::var& v)
{
    const double d = v.isVoid() || v.isUndefined() ? 0.0 : (double) v;
    return std::isfinite (d) ? (float) d : 0.0f;
}

int whole (const juce::var& v)
{
    const double d = number (v);
    return (int) juce::jlimit (-1.0e9, 1.0e9, std::trunc (d));
}

struct FallbackRow
{
    const char *id, *mood, *vibe, *character;
    float target;
    const char *style, *medium, *notes;
    float imprint[6], density, rhythmHz, slowA;
    int n;
};

const FallbackRow kFallbackRows[7] = {
    { "classical-sparse-glue", "Classical", "sparse", "Glue", -16, "Classical", "cinematic", "bass-light face", { 0.052f, 0.361f, 0.295f, 0.256f, 0.035f, 0.001f }, 0.661f, 5.58f, -15.3f, 84 },
    { "party-driving-air-tape", "Party", "driving", "Air+Tape", -11, "Loud", "radio", "", { 0.292f, 0.478f, 0.091f, 0.096f, 0.034f, 0.008f }, 0.775f, 6.07f, -10.6f, 159 },
    { "hype-driving-air-tape", "Hype", "driving", "Air+Tape", -9, "EDM", "ep", "", { 0.345f, 0.398f, 0.087f, 0.117f, 0.047f, 0.007f }, 0.765f, 5.61f, -10.3f, 284 },
    { "workout-driving-air-tape", "Workout", "driving", "Air+Tape", -9, "EDM", "club", "", { 0.312f, 0.451f, 0.082f, 0.106f, 0.044f, 0.005f }, 0.753f, 5.6f, -10.0f, 59 },
    { "chill-driving-air-tape", "Chill", "driving", "Air+Tape", -11, "Medium", "streaming", "", { 0.195f, 0.54f, 0.127f, 0.114f, 0.021f, 0.003f }, 0.719f, 5.88f, -11.5f, 371 },
    { "lofi-driving-air-tape", "Lofi", "driving", "Air+Tape", -11, "Independent", "podcast", "", { 0.253f, 0.516f, 0.136f, 0.084f, 0.011f, 0.001f }, 0.684f, 6.27f, -10.9f, 119 },
    { "romantic-intimate-air-glue", "Romantic", "intimate", "Air+Glue", -14, "Jazz", "album", "", { 0.096f, 0.47f, 0.234f, 0.176f, 0.022f, 0.002f }, 0.691f, 5.68f, -13.8f, 160 },
};

void addFallbackRows (std::vector<StyleRow>& rows)
{
    for (const auto& f : kFallbackRows)
    {
        StyleRow r;
        r.id = f.id;
        r.mood = f.mood;
        r.vibe = f.vibe;
        r.character = f.character;
        r.targetLufs = f.target;
        r.presetName = LiveSectionAnalyzer::asciiPreset (f.mood, f.vibe, f.target, f.character);
        r.style = LiveSectionAnalyzer::styleIndexOf (f.style);
        r.medium = LiveSectionAnalyzer::mediumIndexOf (f.medium);
        r.notes = f.notes;
        std::copy (std::begin (f.imprint), std::end (f.imprint), r.imprint);
        r.density = f.density;
        r.rhythmHz = f.rhythmHz;
        r.slowA = f.slowA;
        r.n = f.n;
        r.hasVector = true;
        rows.push_back (r);
    }
}

// Reads the style rows; returns false when the document is not a JSON object.
bool readStyleRows (const juce::String& document, std::vector<StyleRow>& rows)
{
    auto text = document.trimStart();
    if (text.startsWith ("/*") && text.contains ("*/"))
        text = text.fromFirstOccurrenceOf ("*/", false, false).trimStart();
    const auto parsed = juce::JSON::parse (text);
    auto* root = parsed.getDynamicObject();
    if (root == nullptr)
        return false;

    if (auto* styles = root->getProperty ("styles").getArray())
    {
        for (const auto& el : *styles)
        {
            auto* o = el.getDynamicObject();
            if (o == nullptr)
                continue;
            StyleRow r;
            r.id = o->getProperty ("id").toString();
            r.mood = o->getProperty ("mood").toString();
            r.vibe = o->getProperty ("vibe").toString();
            r.character = joinedCharacter (o->getProperty ("character"));
            r.mask = vyrLive::maskOfCharacter (r.character);
            r.targetLufs = number (o->getProperty ("target_lufs"));
            r.style = LiveSectionAnalyzer::styleIndexOf (o->getProperty ("quarn_style").toString());
            r.medium = LiveSectionAnalyzer::mediumIndexOf (o->getProperty ("quarn_medium").toString());
            r.presetName = asciiTitle (o->getProperty ("preset_name").toString(), true);
            r.notes = o->getProperty ("notes").toString();
            const auto hint = o->getProperty ("form_letter_hint").toString();
            if (hint.isNotEmpty())
                r.letterHint = (char) hint[0];
            if (auto* v = o->getProperty ("vector").getDynamicObject())
            {
                r.density = number (v->getProperty ("density"));
                r.rhythmHz = number (v->getProperty ("rhythm_hz"));
                r.slowA = number (v->getProperty ("slow_a_lufs"));
                r.n = whole (v->getProperty ("n"));
                if (auto* imp = v->getProperty ("imprint").getDynamicObject())
                {
                    const char* bands[6] = { "sub", "bass", "mud", "mid", "presence", "air" };
                    double sum = 0.0;
                    for (int i = 0; i < 6; ++i)
                    {
                        r.imprint[i] = std::max (0.0f, number (imp->getProperty (bands[i])));
                        sum += r.imprint[i];
                    }
                    for (int i = 0; i < 6; ++i)
                        r.imprint[i] = sum > 1.0e-12 ? (float) (r.imprint[i] / sum) : 1.0f / 6.0f;
                    r.hasVector = true;
                }
            }
            if (r.mood.isNotEmpty())
                rows.push_back (r);
        }
    }
    return true;
}

void readMoodPresets (const juce::String& document, std::vector<MoodPreset>& presets)
{
    const auto parsed = juce::JSON::parse (document.trimStart());
    auto* root = parsed.getDynamicObject();
    if (root == nullptr)
        return;
    auto* arr = root->getProperty ("presets").getArray();
    if (arr == nullptr)
        return;
    for (const auto& el : *arr)
    {
        auto* o = el.getDynamicObject();
        if (o == nullptr)
            continue;
        MoodPreset p;
        p.id = o->getProperty ("id").toString();
        p.name = asciiTitle (o->getProperty ("name").toString(), false);
        p.shortName = asciiTitle (o->getProperty ("short_name").toString(), false);
        p.mood = o->getProperty ("mood").toString();
        p.vibe = o->getProperty ("vibe").toString();
        p.character = joinedCharacter (o->getProperty ("character"));
        p.mask = whole (o->getProperty ("character_mask"));
        if (p.mask == 0)
            p.mask = vyrLive::maskOfCharacter (p.character);
        p.tape = (bool) o->getProperty ("tape");
        p.wall = (bool) o->getProperty ("wall");
        p.imgWide = (bool) o->getProperty ("img_wide");
        p.targetLufs = number (o->getProperty ("target_lufs"));
        p.lufsIndex = vyrQuarn::nearestLufsIndex (p.targetLufs);
        p.style = LiveSectionAnalyzer::styleIndexOf (o->getProperty ("quarn_style").toString());
        p.medium = LiveSectionAnalyzer::mediumIndexOf (o->getProperty ("quarn_medium").toString());
        p.n = whole (o->getProperty ("n"));
        if (p.name.isEmpty())
            p.name = LiveSectionAnalyzer::asciiPreset (p.mood, p.vibe, p.targetLufs, p.character);
        if (p.mood.isNotEmpty())
            presets.push_back (p);
    }
}

struct Tables
{
    std::vector<StyleRow> rows;
    std::vector<MoodPreset> presets;
    bool styleDocumentRead = true;
};

Tables buildTables (const juce::String& styleDocument, const juce::String& moodDocument, const std::vector<MoodPreset>& keptPresets)
{
    Tables t;
    if (! readStyleRows (styleDocument, t.rows))
    {
        // An unreadable style document: the fallback rows, and the mood presets stay as they were.
        t.rows.clear();
        addFallbackRows (t.rows);
        t.presets = keptPresets;
        t.styleDocumentRead = false;
        return t;
    }
    if (t.rows.empty())
        addFallbackRows (t.rows);

    readMoodPresets (moodDocument, t.presets);
    if (t.presets.empty())
    {
        for (const auto& r : t.rows)
        {
            MoodPreset p;
            p.id = r.id;
            p.mood = r.mood;
            p.vibe = r.vibe;
            p.character = r.character;
            p.targetLufs = r.targetLufs;
            p.style = r.style;
            p.medium = r.medium;
            p.n = r.n;
            p.name = r.presetName.isNotEmpty() ? r.presetName : LiveSectionAnalyzer::asciiPreset (r.mood, r.vibe, r.targetLufs, r.character);
            p.mask = vyrLive::maskOfCharacter (r.character);
            p.tape = (p.mask & 8) != 0;
            p.wall = p.mask >= 16;
            p.imgWide = false;
            p.lufsIndex = vyrQuarn::nearestLufsIndex (r.targetLufs);
            t.presets.push_back (p);
        }
    }
    for (auto& p : t.presets)
        if (p.shortName.isEmpty())
            p.shortName = p.name;
    return t;
}

juce::String embeddedStyleDocument()
{
    return juce::String::fromUTF8 (VyrQuarnData::live_mastering_styles_json, VyrQuarnData::live_mastering_styles_jsonSize);
}

juce::String embeddedMoodDocument()
{
    return juce::String::fromUTF8 (VyrQuarnData::quarn_mood_presets_json, VyrQuarnData::quarn_mood_presets_jsonSize);
}

// The embedded documents never change, so they are parsed once per process.
const Tables& embeddedTables()
{
    static const Tables t = buildTables (embeddedStyleDocument(), embeddedMoodDocument(), {});
    return t;
}
}

int LiveSectionAnalyzer::styleIndexOf (const juce::String& name)
{
    const char* names[7] = { "EDM", "Jazz", "Classical", "Independent", "Loud", "Medium", "Soft" };
    for (int i = 0; i < 7; ++i)
        if (name.equalsIgnoreCase (names[i]))
            return i;
    return 5;
}

int LiveSectionAnalyzer::mediumIndexOf (const juce::String& name)
{
    const char* names[8] = { "cinematic", "podcast", "radio", "album", "ep", "video", "streaming", "club" };
    for (int i = 0; i < 8; ++i)
        if (name.equalsIgnoreCase (names[i]))
            return i;
    return 3;
}

juce::String LiveSectionAnalyzer::asciiPreset (const juce::String& mood, const juce::String& vibe, float lufs, const juce::String& character)
{
    const long long rounded = std::isfinite (lufs) ? std::llround ((double) lufs) : 0;
    return mood + " - " + vibe + " " + juce::String (rounded) + " LUFS / " + character;
}

void LiveSectionAnalyzer::loadStyleTable()
{
    // The tables come from the embedded documents, which are the same on every call: once
    // installed they are left alone, so a reader never sees them rebuilt.
    const auto& t = embeddedTables();
    if (! embeddedTablesInstalled)
    {
        std::vector<vyrLive::StyleRow> rows (t.rows);
        std::vector<vyrLive::MoodPreset> presets (t.presets);
        styleRows.swap (rows);
        moodPresets.swap (presets);
        embeddedTablesInstalled = true;
    }
    if (t.styleDocumentRead)
        loadTraining();
}

void LiveSectionAnalyzer::loadTablesFrom (const juce::String& styleDocument, const juce::String& moodDocument)
{
    auto t = buildTables (styleDocument, moodDocument, moodPresets);
    embeddedTablesInstalled = false;
    styleRows.swap (t.rows);
    moodPresets.swap (t.presets);
    if (t.styleDocumentRead)
        loadTraining();
}
