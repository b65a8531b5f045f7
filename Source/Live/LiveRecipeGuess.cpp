// A recipe for a section: the prototype match against the style rows and the mood-preset choice
// under transition costs, a ban and the user's training history.
#include "Live/LiveSectionAnalyzer.h"
#include "Model/QuarnPresets.h"
#include <cmath>

namespace
{
// 0.62 (1 - imprint cosine) + 0.26 |density difference| + 0.12 rhythm difference on a log scale.
double shapeDistance (const float* a, float densityA, float rhythmA, const float* b, float densityB, float rhythmB) noexcept
{
    double dot = 0.0, na = 0.0, nb = 0.0;
    for (int i = 0; i < 6; ++i)
    {
        dot += (double) a[i] * b[i];
        na += (double) a[i] * a[i];
        nb += (double) b[i] * b[i];
    }
    const double lengths = std::sqrt (na) * std::sqrt (nb);
    const double cosTerm = lengths > 1.0e-8 ? 0.62 * (1.0 - std::clamp (dot / lengths, 0.0, 1.0)) : 0.0;
    const double rhythm = std::min (std::abs (std::log1p (std::max ((double) rhythmA, 0.0)) - std::log1p (std::max ((double) rhythmB, 0.0)))
                                        / std::log (9.0),
                                    1.5);
    return cosTerm + 0.26 * std::abs ((double) densityA - densityB) + 0.12 * rhythm;
}

bool jazzOrClassical (int style) noexcept { return style == 1 || style == 2; }

bool heavyLow (const LiveSectionAnalyzer::Feature& f) noexcept
{
    return f.imprint[0] + f.imprint[1] >= 0.55f || f.rhythmHz >= 4.0f;
}

bool extremes (int a, int b) noexcept { return (a == 0 && b == 4) || (a == 4 && b == 0); }

int popcount3 (int bits) noexcept { return (bits & 1) + ((bits >> 1) & 1) + ((bits >> 2) & 1); }
}

int LiveSectionAnalyzer::styleFamilyOf (int style) noexcept
{
    static constexpr int kFam[7] = { 2, 0, 0, 1, 2, 1, 0 };
    return kFam[juce::jlimit (0, 6, style)];
}

juce::String LiveSectionAnalyzer::characterFromMask (int mask)
{
    const char* words[5] = { "Glue", "Punch", "Air", "Tape", "Wall" };
    juce::StringArray set;
    for (int i = 0; i < 5; ++i)
        if ((mask & (1 << i)) != 0)
            set.add (words[i]);
    return set.isEmpty() ? juce::String ("Glue") : set.joinIntoString ("+");
}

LiveSectionAnalyzer::Guess LiveSectionAnalyzer::guessFrom (const Feature& f, int prevStyle, int prevMedium, int prevLufs) const
{
    Guess g;
    g.character = "Glue";
    g.mask = 1;
    g.label = "section - Medium -14 LUFS / Glue";

    const int n = (int) styleRows.size();
    std::vector<double> distance ((size_t) n, 1000.0);
    const bool lowHeavy = f.imprint[0] + f.imprint[1] >= 0.55f || f.rhythmHz >= 4.0f;
    int best = -1;
    for (int i = 0; i < n; ++i)
    {
        const auto& r = styleRows[(size_t) i];
        if (! r.hasVector || r.n <= 5 || r.mood.equalsIgnoreCase ("Uncategorised") || r.mood.equalsIgnoreCase ("Custom"))
            continue;
        if (jazzOrClassical (r.style) && lowHeavy)
            continue;
        distance[(size_t) i] = shapeDistance (f.imprint, f.density, f.rhythmHz, r.imprint, r.density, r.rhythmHz);
        if (best < 0 || distance[(size_t) i] < distance[(size_t) best])
            best = i;
    }
    if (best < 0)
        return g;

    double sum = 0.0, w1 = 0.0, w2 = 0.0;
    for (int i = 0; i < n; ++i)
    {
        if (distance[(size_t) i] >= 100.0)
            continue;
        const double w = std::exp (-distance[(size_t) i] / 0.15);
        sum += w;
        if (w > w1)
        {
            w2 = w1;
            w1 = w;
        }
        else if (w > w2)
        {
            w2 = w;
        }
    }
    g.confidence = sum > 1.0e-12 ? (float) (w1 / sum) : 0.0f;
    g.bestDistance = (float) distance[(size_t) best];
    g.confident = g.bestDistance <= 0.55f && (sum > 1.0e-12 && ((w1 - w2) / sum >= 0.04 || g.confidence >= 0.28f));

    int chosen = best;
    if (prevStyle >= 0)
    {
        int alternative = -1;
        for (int i = 0; i < n; ++i)
        {
            if (distance[(size_t) i] >= 1000.0)
                continue;
            const auto& r = styleRows[(size_t) i];
            const bool same = r.style == prevStyle && r.medium == prevMedium && vyrQuarn::nearestLufsIndex (r.targetLufs) == prevLufs;
            if (! same && (alternative < 0 || distance[(size_t) i] < distance[(size_t) alternative]))
                alternative = i;
        }
        if (alternative >= 0)
            chosen = alternative;
    }

    const auto& r = styleRows[(size_t) chosen];
    g.hasRecipe = true;
    g.style = r.style;
    g.medium = r.medium;
    g.lufs = vyrQuarn::nearestLufsIndex (r.targetLufs);
    g.moodName = r.mood;
    g.character = r.character.isNotEmpty() ? r.character : juce::String ("Glue");
    g.mask = vyrLive::maskOfCharacter (g.character);
    g.label = r.presetName.isNotEmpty() ? r.presetName : asciiPreset (r.mood, r.vibe, r.targetLufs, g.character);
    return g;
}

void LiveSectionAnalyzer::applyArmChips (Guess& guess, const Feature& f, bool hadSection, const vyrLive::RecipeBan& ban)
{
    const int L = vyrQuarn::nearestLufsIndex (f.slowA);
    int mask = 1, lufs = L, style = 5;
    bool wide = false;
    if (hadSection)
    {
        const auto last = lastApplied.load();
        mask = lastMask;
        lufs = last.lufs >= 0 ? last.lufs : suggestedLufs.load();
        style = last.style >= 0 ? last.style : suggestedStyle.load();
        wide = lastWide;
    }
    else
    {
        if (guess.hasRecipe)
        {
            mask = vyrLive::maskOfCharacter (guess.character);
            lufs = guess.lufs;
            style = guess.style;
        }
        wide = guess.wide;
    }

    const int m = pickMoodPreset (f, L, mask, lufs, style, wide, guess, guess.confident || ! hadSection, ban);
    if (m >= 0)
    {
        fillGuessFromMood (guess, m);
    }
    else if (! guess.hasRecipe)
    {
        guess.style = 5;
        guess.medium = 3;
        guess.lufs = L;
        guess.mask = 1;
        guess.character = "Glue";
        guess.wide = false;
        guess.label = asciiPreset ("section", "balanced", vyrQuarn::kLufsOptions[L], "Glue");
    }
    lastMask = guess.mask != 0 ? guess.mask : vyrLive::maskOfCharacter (guess.character);
    lastWide = guess.wide;
}

int LiveSectionAnalyzer::pickMoodPreset (const Feature& f, int featureLufs, int mask, int lufs, int style, bool wide,
                                         const Guess& guess, bool strict, const vyrLive::RecipeBan& ban) const
{
    const int count = (int) moodPresets.size();
    if (count == 0)
        return -1;
    const int F = juce::jlimit (0, 4, featureLufs);
    const int l = juce::jlimit (0, 4, lufs);

    // The training neighbours depend only on the feature: found once, then weighed per preset.
    struct Neighbour
    {
        const TrainEx* ex;
        double distance;
    };
    Neighbour near[8];
    int nearCount = 0;
    for (const auto& ex : training)
    {
        const double d = shapeDistance (f.imprint, f.density, f.rhythmHz, ex.imprint, ex.density, ex.rhythmHz)
                         + 0.12 * std::abs ((double) f.slowA - ex.slowA) / 8.0;
        if (! (d <= 0.55))
            continue;
        if (nearCount < 8)
        {
            near[nearCount++] = { &ex, d };
            continue;
        }
        int worst = 0;
        for (int k = 1; k < 8; ++k)
            if (near[k].distance > near[worst].distance)
                worst = k;
        if (d < near[worst].distance)
            near[worst] = { &ex, d };
    }

    auto bias = [&] (int i)
    {
        const auto& p = moodPresets[(size_t) i];
        double sum = 0.0;
        for (int k = 0; k < nearCount; ++k)
        {
            const auto& ex = *near[k].ex;
            const double u = std::exp (-near[k].distance / 0.18);
            const auto& o = ex.original;
            bool same;
            if (o.style < 0 && o.mood < 0)
                same = o.id.isNotEmpty() && o.id == p.id;
            else
                same = o.mood == i || (o.id.isNotEmpty() && o.id == p.id)
                       || (o.style == p.style && o.lufs == p.lufsIndex && (o.mask == -1 || o.mask == p.mask));
            const bool similar = ! same && o.style >= 0 && popcount3 ((o.mask ^ p.mask) & 7) <= 1 && ((o.mask ^ p.mask) & 8) == 0
                                 && styleFamilyOf (o.style) == styleFamilyOf (p.style) && std::abs (o.lufs - p.lufsIndex) < 2;
            const auto& rv = ex.revised;
            const bool revisedMatch = ex.hasRevised
                                      && (rv.mood == i || (rv.id.isNotEmpty() && rv.id == p.id)
                                          || (rv.style >= 0 && rv.style == p.style && rv.lufs == p.lufsIndex && (rv.mask == -1 || rv.mask == p.mask)));
            if (ex.label == "like")
            {
                if (same)
                    sum -= 1.8 * u;
            }
            else if (ex.label == "dislike")
            {
                if (same)
                    sum += 3.5 * u;
                else if (similar)
                    sum += 2.0 * u;
            }
            else if (ex.label == "prime")
            {
                if (revisedMatch)
                    sum -= 2.4 * u;
                else if (same)
                    sum -= 0.4 * u;
            }
            else if (ex.label == "double_prime")
            {
                if (same || similar)
                {
                    sum += 4.0 * u;
                    if (revisedMatch)
                        sum -= 2.8 * u;
                }
            }
        }
        return std::clamp (sum, -6.0, 6.0);
    };

    const struct
    {
        int tolerance;
        bool relaxed;
    } passes[4] = { { 0, false }, { 1, false }, { 2, false }, { 4, true } };
    const bool lowHeavy = heavyLow (f);
    const int family = styleFamilyOf (style);

    for (const auto& pass : passes)
    {
        int best = -1;
        double bestCost = 1.0e9;
        for (int i = 0; i < count; ++i)
        {
            const auto& p = moodPresets[(size_t) i];
            if (ban.inForce())
            {
                if (i == ban.mood)
                    continue;
                if (ban.style >= 0 && p.style == ban.style && p.lufsIndex == ban.lufs && (ban.medium == -1 || ban.medium == p.medium)
                    && (ban.mask == -1 || ban.mask == p.mask))
                    continue;
            }
            if (jazzOrClassical (p.style) && lowHeavy)
                continue;
            if (std::abs (p.lufsIndex - F) > pass.tolerance)
                continue;
            if (! pass.relaxed && (extremes (p.lufsIndex, F) || extremes (p.lufsIndex, l)))
                continue;

            const int diff = mask ^ p.mask;
            double cost = popcount3 (diff) + ((diff & 8) != 0 ? 8.0 : 0.0) + ((diff & 16) != 0 ? 4.0 : 0.0) + 1.5 * std::abs (l - p.lufsIndex)
                          + 6.0 * std::abs (family - styleFamilyOf (p.style)) + (extremes (p.lufsIndex, l) ? 10.0 : 0.0)
                          + (wide != p.imgWide ? 3.0 : 0.0);
            if (strict && guess.hasRecipe)
            {
                if (guess.moodName.isNotEmpty() && guess.moodName.equalsIgnoreCase (p.mood))
                    cost -= 0.75;
                if (p.style == guess.style && p.lufsIndex == guess.lufs)
                    cost -= 0.4;
            }
            if (nearCount > 0)
                cost += bias (i);
            if (cost < bestCost)
            {
                bestCost = cost;
                best = i;
            }
        }
        if (best >= 0)
            return best;
    }
    return -1;
}

void LiveSectionAnalyzer::fillGuessFromMood (Guess& guess, int i) const
{
    if (i < 0 || i >= (int) moodPresets.size())
        return;
    const auto& p = moodPresets[(size_t) i];
    guess.hasRecipe = true;
    guess.style = p.style;
    guess.medium = p.medium;
    guess.lufs = p.lufsIndex;
    guess.moodName = p.mood;
    guess.mask = p.mask;
    guess.character = p.character.isNotEmpty() ? p.character : characterFromMask (p.mask);
    guess.wide = p.imgWide;
    guess.mood = i;
    guess.label = p.name;
}
