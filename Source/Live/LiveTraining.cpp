// The training log: the user's likes, dislikes and updates of live recipes, one JSON line each.
#include "Live/LiveSectionAnalyzer.h"
#include <cmath>

namespace
{
bool finiteIn (const juce::var& v, double lo, double hi)
{
    if (v.isVoid() || v.isUndefined())
        return true;   // a missing key reads as 0 (or -1 in a recipe), which is in range
    const double d = (double) v;
    return std::isfinite (d) && d >= lo && d <= hi;
}

// A line whose numbers are not finite or lie outside what the program ever writes is damaged.
bool recipeInRange (const juce::var& v)
{
    auto* o = v.getDynamicObject();
    if (o == nullptr)
        return true;
    return finiteIn (o->getProperty ("style"), -1, 6) && finiteIn (o->getProperty ("medium"), -1, 7)
           && finiteIn (o->getProperty ("lufs"), -1, 4) && finiteIn (o->getProperty ("mask"), -1, 31)
           && finiteIn (o->getProperty ("moodIndex"), -1, 100000);
}

bool lineInRange (juce::DynamicObject& o)
{
    if (auto* imp = o.getProperty ("imprint").getArray())
        for (int i = 0; i < std::min (6, imp->size()); ++i)
            if (! finiteIn (imp->getReference (i), 0.0, 1.0))
                return false;
    return finiteIn (o.getProperty ("density"), 0.0, 1.0) && finiteIn (o.getProperty ("rhythmHz"), 0.0, 1000.0)
           && finiteIn (o.getProperty ("slowA"), -200.0, 60.0) && recipeInRange (o.getProperty ("original"))
           && recipeInRange (o.getProperty ("revised"));
}

int recipeInt (juce::DynamicObject& o, const char* key)
{
    const auto v = o.getProperty (key);
    if (v.isVoid() || v.isUndefined())
        return -1;
    return (int) std::trunc ((double) v);
}
}

juce::File LiveSectionAnalyzer::trainingFile() const
{
    if (trainingOverride != juce::File())
        return trainingOverride;
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
        .getChildFile ("Kaldun")
        .getChildFile ("Quarn")
        .getChildFile ("mastering_training.jsonl");
}

void LiveSectionAnalyzer::setTrainingFile (const juce::File& file)
{
    trainingOverride = file;
    trainingLoaded = false;
}

vyrLive::RecipeRef LiveSectionAnalyzer::recipeFromVar (const juce::var& value) const
{
    vyrLive::RecipeRef r;
    if (auto* o = value.getDynamicObject())
    {
        r.id = o->getProperty ("id").toString();
        r.style = recipeInt (*o, "style");
        r.medium = recipeInt (*o, "medium");
        r.lufs = recipeInt (*o, "lufs");
        r.mask = recipeInt (*o, "mask");
        r.mood = recipeInt (*o, "moodIndex");
        r.wide = (bool) o->getProperty ("imgWide");
        if (r.id.isNotEmpty())
            for (size_t i = 0; i < moodPresets.size(); ++i)
                if (moodPresets[i].id == r.id)
                {
                    r.mood = (int) i;
                    break;
                }
    }
    return r;
}

juce::var LiveSectionAnalyzer::recipeToVar (const vyrLive::RecipeRef& ref)
{
    auto* o = new juce::DynamicObject();
    if (ref.id.isNotEmpty())
        o->setProperty ("id", ref.id);
    o->setProperty ("style", ref.style);
    o->setProperty ("medium", ref.medium);
    o->setProperty ("lufs", ref.lufs);
    o->setProperty ("mask", ref.mask);
    o->setProperty ("moodIndex", ref.mood);
    o->setProperty ("imgWide", ref.wide);
    return juce::var (o);
}

void LiveSectionAnalyzer::loadTraining()
{
    if (trainingLoaded)
        return;
    trainingLoaded = true;
    training.clear();

    const auto file = trainingFile();
    if (! file.existsAsFile())
        return;

    juce::StringArray lines;
    lines.addLines (file.loadFileAsString());   // LF, CR LF and CR all end a line
    for (const auto& raw : lines)
    {
        const auto line = raw.trim();
        if (line.isEmpty())
            continue;
        juce::var parsed;
        if (juce::JSON::parse (line, parsed).failed())
            continue;
        auto* o = parsed.getDynamicObject();
        if (o == nullptr || ! lineInRange (*o))
            continue;

        TrainEx ex;
        ex.label = o->getProperty ("label").toString();
        const auto l = o->getProperty ("letter").toString();
        if (l.isNotEmpty())
            ex.letter = (char) l[0];
        if (auto* imp = o->getProperty ("imprint").getArray())
            for (int i = 0; i < std::min (6, imp->size()); ++i)
                ex.imprint[i] = (float) (double) imp->getReference (i);
        ex.density = (float) (double) o->getProperty ("density");
        ex.rhythmHz = (float) (double) o->getProperty ("rhythmHz");
        ex.slowA = (float) (double) o->getProperty ("slowA");
        ex.original = recipeFromVar (o->getProperty ("original"));
        const auto revised = o->getProperty ("revised");
        if (revised.getDynamicObject() != nullptr)
        {
            ex.revised = recipeFromVar (revised);
            ex.hasRevised = ex.revised.style >= 0 || ex.revised.mood >= 0 || ex.revised.id.isNotEmpty();
        }
        if (ex.label.isNotEmpty())
            training.push_back (ex);
    }
}

void LiveSectionAnalyzer::appendTraining (const juce::String& label, const vyrLive::RecipeRef& original,
                                          const vyrLive::RecipeRef* revised, const float* quarn, const float* mix, int mixCount)
{
    loadTraining();

    auto withId = [this] (vyrLive::RecipeRef r)
    {
        if (r.id.isEmpty() && r.mood >= 0 && r.mood < (int) moodPresets.size())
            r.id = moodPresets[(size_t) r.mood].id;
        return r;
    };

    TrainEx ex;
    ex.label = label;
    ex.letter = (char) letter.load();
    std::copy (std::begin (currentFeature.imprint), std::end (currentFeature.imprint), ex.imprint);
    ex.density = currentFeature.density;
    ex.rhythmHz = currentFeature.rhythmHz;
    ex.slowA = currentFeature.slowA;
    ex.original = withId (original);
    if (revised != nullptr)
    {
        ex.revised = withId (*revised);
        ex.hasRevised = ex.revised.style >= 0 || ex.revised.mood >= 0 || ex.revised.id.isNotEmpty();
    }
    training.push_back (ex);

    auto* o = new juce::DynamicObject();
    juce::var line (o);
    o->setProperty ("ts", juce::Time::getCurrentTime().toISO8601 (true));
    o->setProperty ("letter", juce::String::charToString ((juce::juce_wchar) (juce::uint8) ex.letter));
    o->setProperty ("label", label);
    juce::Array<juce::var> imprint;
    for (float v : ex.imprint)
        imprint.add (v);
    o->setProperty ("imprint", imprint);
    o->setProperty ("density", ex.density);
    o->setProperty ("rhythmHz", ex.rhythmHz);
    o->setProperty ("slowA", ex.slowA);
    o->setProperty ("original", recipeToVar (ex.original));
    if (ex.hasRevised)
        o->setProperty ("revised", recipeToVar (ex.revised));
    if (quarn != nullptr)
    {
        juce::Array<juce::var> q;
        for (int i = 0; i < 9; ++i)
            q.add (quarn[i]);
        o->setProperty ("quarn", q);
    }
    if (mix != nullptr && mixCount > 0)
    {
        juce::Array<juce::var> m;
        for (int i = 0; i < std::min (mixCount, 13); ++i)
            m.add (mix[i]);
        o->setProperty ("mix", m);
    }

    const auto file = trainingFile();
    if (! file.getParentDirectory().createDirectory().wasOk())
        return;

    // A line cut short by an earlier crash is closed first, so the new line never merges with it.
    juce::String text;
    if (file.getSize() > 0)
    {
        juce::FileInputStream in (file);
        if (in.openedOk() && in.setPosition (file.getSize() - 1) && in.readByte() != '\n')
            text << "\r\n";
    }
    text << juce::JSON::toString (line, true, 15) << "\r\n";

    juce::FileOutputStream out (file, 16384);
    if (! out.openedOk())
        return;
    const auto before = out.getPosition();
    out.write (text.toRawUTF8(), text.getNumBytesAsUTF8());
    out.flush();
    // A write that failed part-way is taken back, so no torn line stays behind.
    if (out.getStatus().failed())
    {
        out.setPosition (before);
        out.truncate();
    }
}
