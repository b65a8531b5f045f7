// The section map: stamping, merging, its cue text, and the per-letter recipe memory.
#include "Live/LiveSectionAnalyzer.h"
#include "Model/QuarnPresets.h"
#include <cmath>

void LiveSectionAnalyzer::updateMapSpanLocked()
{
    std::int64_t first = -1, last = -1;
    for (int i = 0; i < mapCount; ++i)
    {
        const auto at = sectionMap[i].at;
        if (i == 0 || at < first)
            first = at;
        if (i == 0 || at > last)
            last = at;
    }
    mapFirst = first;
    mapLast = last;
    mapSize = mapCount;
}

void LiveSectionAnalyzer::stampMap (std::int64_t at, const vyrLive::ApplyRequest& req)
{
    if (replaying.load())
        return;
    const juce::SpinLock::ScopedLockType lock (mapLock);

    const double sr = sampleRate.load();
    const auto sameLetterReach = (std::int64_t) std::llround (6.0 * sr);
    const auto anyLetterReach = (std::int64_t) std::llround (2.0 * sr);

    auto nearest = [this, at] (std::int64_t reach, bool sameLetter, char wanted)
    {
        int best = -1;
        std::int64_t bestDistance = 0;
        for (int i = 0; i < mapCount; ++i)
        {
            if (sameLetter && sectionMap[i].request.letter != wanted)
                continue;
            const auto d = std::abs (sectionMap[i].at - at);
            if (d <= reach && (best < 0 || d < bestDistance))
            {
                best = i;
                bestDistance = d;
            }
        }
        return best;
    };

    int e;
    bool existing = false;
    if (mapCount == 0)
    {
        e = 0;
        sectionMap[0] = MapEntry {};
        sectionMap[0].at = at;
        mapCount = 1;
    }
    else
    {
        e = nearest (sameLetterReach, true, req.letter);
        if (e < 0)
            e = nearest (anyLetterReach, false, 0);
        if (e >= 0)
        {
            existing = true;
            sectionMap[e].at = std::min (sectionMap[e].at, at);
        }
        else
        {
            if (mapCount < kMaxMapEntries)
            {
                e = mapCount++;
            }
            else
            {
                for (int i = 1; i < kMaxMapEntries; ++i)
                    sectionMap[i - 1] = sectionMap[i];
                e = kMaxMapEntries - 1;
            }
            sectionMap[e] = MapEntry {};
            sectionMap[e].at = at;
        }
    }

    auto& entry = sectionMap[e];
    const auto& r = letterChips[letterIndex (req.letter)];
    if (r.frozen)
    {
        entry.request.letter = req.letter;
        entry.request.position = entry.at;
        updateMapSpanLocked();
        rebuildMapCueLocked();
        return;
    }
    if (existing && r.disliked && r.ban.inForce() && req.style == r.ban.style && req.lufs == r.ban.lufs
        && (entry.request.style != r.ban.style || entry.request.lufs != r.ban.lufs))
    {
        entry.request.position = entry.at;
        updateMapSpanLocked();
        rebuildMapCueLocked();
        return;
    }
    entry.request = req;
    entry.request.position = entry.at;

    // Entries of one letter that end up within two seconds of each other become one, at the earlier position.
    for (int i = 0; i < mapCount; ++i)
    {
        for (int j = i + 1; j < mapCount;)
        {
            if (sectionMap[j].request.letter == sectionMap[i].request.letter
                && std::abs (sectionMap[j].at - sectionMap[i].at) <= anyLetterReach)
            {
                if (sectionMap[j].at < sectionMap[i].at)
                {
                    sectionMap[i].at = sectionMap[j].at;
                    sectionMap[i].request = sectionMap[j].request;
                    sectionMap[i].request.position = sectionMap[i].at;
                }
                for (int k = j + 1; k < mapCount; ++k)
                    sectionMap[k - 1] = sectionMap[k];
                --mapCount;
                sectionMap[mapCount] = MapEntry {};
            }
            else
            {
                ++j;
            }
        }
    }
    updateMapSpanLocked();
    // The cue text follows every stamp, so Show mode shows the form as it grows.
    rebuildMapCueLocked();
}

void LiveSectionAnalyzer::rebuildMapCueLocked()
{
    const int count = std::min (mapCount, (int) kMaxMapEntries);
    if (count <= 0)
    {
        detailText[0] = 0;
        return;
    }
    int order[kMaxMapEntries];
    for (int i = 0; i < count; ++i)
    {
        int j = i;
        while (j > 0 && sectionMap[order[j - 1]].at > sectionMap[i].at)
        {
            order[j] = order[j - 1];
            --j;
        }
        order[j] = i;
    }

    const double sr = sampleRate.load();
    juce::String text ("form");
    for (int k = 0; k < count; ++k)
    {
        const auto& e = sectionMap[order[k]];
        const char l = (e.request.letter >= 'A' && e.request.letter <= 'G') ? e.request.letter : (char) ('A' + k % 7);
        const int variant = letterChips[letterIndex (l)].variant.load();
        const double seconds = sr > 1.0 ? (double) e.at / sr : 0.0;
        juce::String entryText (k == 0 ? " " : "  ");
        entryText << juce::String::charToString ((juce::juce_wchar) l) << (variant > 1 ? "''" : variant == 1 ? "'" : "") << " "
              << juce::String (seconds, 1);
        if (text.length() + entryText.length() > 383)
            break;
        text << entryText;
    }
    text.copyToUTF8 (detailText, sizeof (detailText));
}

bool LiveSectionAnalyzer::restoreChipsForLetter (char letterCode, Guess& guess) const
{
    const LetterVariant* v = nullptr;
    for (int i = 0; i < letterVariantCount; ++i)
        if (letterVariants[i].valid && letterVariants[i].letter == letterCode)
        {
            v = &letterVariants[i];
            break;
        }
    if (v == nullptr || v->style < 0)
        return false;

    guess.style = v->style;
    guess.medium = v->medium;
    guess.lufs = v->lufs;
    guess.hasRecipe = true;
    guess.confident = true;
    guess.mask = v->mask;
    guess.wide = v->wide;
    guess.character = characterFromMask (v->mask);
    guess.mood = v->mood >= 0 ? v->mood : letterChips[letterIndex (letterCode)].mood.load();
    if (guess.mood >= 0 && guess.mood < (int) moodPresets.size())
    {
        guess.label = moodPresets[(size_t) guess.mood].name;
    }
    else
    {
        guess.label = juce::String::charToString ((juce::juce_wchar) letterCode) + " - "
                      + vyrQuarn::kMasterStyles[juce::jlimit (0, 6, guess.style)] + " "
                      + juce::String ((int) std::lround (vyrQuarn::kLufsOptions[juce::jlimit (0, 4, guess.lufs)]))
                      + " LUFS / " + guess.character;
    }
    return true;
}

void LiveSectionAnalyzer::publishLocked (const Guess& guess)
{
    suggestedStyle = guess.style;
    suggestedMedium = guess.medium;
    suggestedLufs = guess.lufs;
    suggestedMood = guess.mood;
    const juce::SpinLock::ScopedLockType lock (statusLock);
    guess.label.copyToUTF8 (statusText, sizeof (statusText));
    guess.character.copyToUTF8 (characterText, sizeof (characterText));
}
