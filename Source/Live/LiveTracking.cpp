// Section tracking on the message thread: the hop window, the section statistics, the lock and
// shift rules, the stamps of new sections and the start of a map replay.
#include "Live/LiveSectionAnalyzer.h"
#include <cmath>

namespace
{
void valuesOf (const LiveSectionAnalyzer::Feature& f, float* v) noexcept
{
    for (int i = 0; i < 6; ++i)
        v[i] = f.imprint[i];
    v[6] = f.density;
    v[7] = f.rhythmHz;
    v[8] = f.slowA;
}
}

bool LiveSectionAnalyzer::startReplayIfRequested()
{
    if (! replayRequested.load() || replaying.load())
        return false;
    const juce::SpinLock::ScopedLockType lock (mapLock);
    if (! replayRequested.load() || replaying.load() || mapCount < 1)
        return false;

    // Entries in position order; equal positions keep their order.
    for (int i = 1; i < mapCount; ++i)
    {
        const auto e = sectionMap[i];
        int j = i;
        while (j > 0 && sectionMap[j - 1].at > e.at)
        {
            sectionMap[j] = sectionMap[j - 1];
            --j;
        }
        sectionMap[j] = e;
    }

    // Sections are recognised some seconds after they start: the entries move earlier by that
    // latency and stay at least two seconds apart.
    const double sr = sampleRate.load();
    const float late = lateSeconds.load();
    const double k = juce::jlimit (2.5, 4.0, late > 0.5f ? (double) late : 3.5);
    const auto shift = (std::int64_t) std::llround (sr * k);
    const auto gap = (std::int64_t) std::llround (2.0 * sr);
    for (int i = 0; i < mapCount; ++i)
    {
        auto at = std::max<std::int64_t> (sectionMap[i].at - shift, 0);
        if (i > 0)
            at = std::max (at, sectionMap[i - 1].at + gap);
        sectionMap[i].at = at;
        sectionMap[i].request.position = at;
    }

    replaying = true;
    replayRequested = false;
    lastFiredAt = -1;
    glidePair = -1;
    xfadeActive = false;
    updateMapSpanLocked();
    rebuildMapCueLocked();
    return true;
}

void LiveSectionAnalyzer::trackNewestHop()
{
    Feature hop;
    int seq;
    {
        const juce::SpinLock::ScopedLockType lock (frameLock);
        hop = hopFrame;
        seq = hopSeq.load();
    }

    if (seq == lastHopSeq)
    {
        if (sectionLocked && ! hop.silent)
        {
            sectionSeconds += 0.125f;
            showSeconds = sectionSeconds;
        }
        return;
    }

    lastHopSeq = seq;
    lastHopPosition = hop.position;
    if (hop.silent)
    {
        shiftPending = false;
        shiftSeconds = 0.0f;
        return;
    }
    if (replaying.load())
        return;

    // The six-second window of non-silent hops and its mean.
    hop.silent = false;
    hopRing[ringWrite] = hop;
    ringWrite = (ringWrite + 1) % kRingSize;
    ringCount = std::min (ringCount + 1, (int) kRingSize);
    {
        double imprint[6] {}, rhythm = 0.0, level = 0.0, crest = 0.0;
        for (int i = 0; i < ringCount; ++i)
        {
            for (int b = 0; b < 6; ++b)
                imprint[b] += hopRing[i].imprint[b];
            rhythm += hopRing[i].rhythmHz;
            level += hopRing[i].slowA;
            crest += hopRing[i].crest;
        }
        double sum = 0.0;
        for (auto& v : imprint)
        {
            v = std::max (v / ringCount, 0.0);
            sum += v;
        }
        Feature w;
        for (int b = 0; b < 6; ++b)
            w.imprint[b] = sum > 1.0e-12 ? (float) (imprint[b] / sum) : 1.0f / 6.0f;
        w.density = densityOf (w.imprint);
        w.rhythmHz = (float) (rhythm / ringCount);
        w.slowA = (float) (level / ringCount);
        w.crest = (float) (crest / ringCount);
        w.silent = false;
        w.position = hop.position;
        windowFeature = w;
    }
    ready = ringCount > 15;

    // How far the hop lies from the section's statistics, in pooled standard deviations.
    float z = 0.0f;
    if (sectionLocked)
    {
        static constexpr float floors[9] = { 0.04f, 0.04f, 0.04f, 0.04f, 0.03f, 0.02f, 0.06f, 1.2f, 2.5f };
        float v[9];
        valuesOf (hop, v);
        double sum = 0.0;
        for (int i = 0; i < 9; ++i)
        {
            const double var = std::max ((double) sectionM2[i] / (std::max (sectionHops, 2) - 1), 0.0);
            const double sd = std::max (std::sqrt (var), (double) floors[i]);
            const double zi = (v[i] - sectionMean[i]) / sd;
            sum += zi * zi;
        }
        z = (float) std::sqrt (sum / 9.0);
    }
    history[historyWrite] = { hop, z, hop.position };
    historyWrite = (historyWrite + 1) % kHistorySize;
    historyCount = std::min (historyCount + 1, (int) kHistorySize);

    if (! ready)
    {
        sectionKnown = false;
        suggestedMood = -1;
        setStatus ("listening...", "-");
        return;
    }

    if (! sectionLocked)
    {
        lockSection (windowFeature, false);
        stampRecent (false);
        armPost();
        return;
    }

    sectionSeconds += 0.25f;
    showSeconds = sectionSeconds;
    if (std::abs (hop.slowA - sectionMean[8]) < 2.0f)
    {
        const int n = sectionHops + 1;
        float x[9];
        valuesOf (windowFeature, x);
        x[8] = hop.slowA;
        for (int i = 0; i < 9; ++i)
        {
            const float d = x[i] - sectionMean[i];
            sectionMean[i] += d / (float) n;
            sectionM2[i] += d * (x[i] - sectionMean[i]);
        }
        sectionHops = n;
        shiftPending = false;
        shiftSeconds = 0.0f;
    }
    else if (sectionSeconds < 5.0f)
    {
        shiftPending = false;
        shiftSeconds = 0.0f;
    }
    else
    {
        Feature candidate = windowFeature;
        candidate.slowA = hop.slowA;
        candidate.position = hop.position;
        if (! shiftPending)
        {
            shiftPending = true;
            shiftSeconds = 0.25f;
            shiftCandidate = candidate;
        }
        else
        {
            shiftSeconds += 0.25f;
            shiftCandidate = candidate;
            if (shiftSeconds >= 3.0f)
                commitShift (shiftCandidate);
        }
    }
}

void LiveSectionAnalyzer::stampRecent (bool shiftRules)
{
    const double sr = sampleRate.load();
    const std::int64_t pos = lastHopPosition;
    const std::int64_t a = std::max<std::int64_t> (pos - std::llround (6.0 * sr), 0);
    const std::int64_t b = std::max<std::int64_t> (pos - std::llround (4.0 * sr), 0);

    // The history entries inside the last six seconds, oldest first.
    int inWindow[kHistorySize];
    int count = 0;
    for (int k = 0; k < historyCount; ++k)
    {
        const int idx = (historyWrite - historyCount + k + kHistorySize) % kHistorySize;
        if (history[idx].at >= a && history[idx].at <= pos)
            inWindow[count++] = idx;
    }

    std::int64_t stamp = b;
    if (count > 0)
    {
        if (! shiftRules)
        {
            stamp = b;
            for (int k = 0; k < count; ++k)
                if (history[inWindow[k]].at >= b)
                {
                    stamp = history[inWindow[k]].at;
                    break;
                }
        }
        else
        {
            std::int64_t zStart = -1, jump = -1;
            for (int k = count - 1; k >= 0 && history[inWindow[k]].z >= 1.8f; --k)
                if (history[inWindow[k]].z >= 3.0f)
                    zStart = history[inWindow[k]].at;
            for (int k = count - 1; k >= 1; --k)
                if (std::abs (history[inWindow[k]].hop.slowA - history[inWindow[k - 1]].hop.slowA) >= 2.0f)
                {
                    jump = history[inWindow[k]].at;
                    break;
                }
            if (zStart >= 0 && jump >= 0)
                stamp = std::min (zStart, jump);
            else if (zStart >= 0)
                stamp = zStart;
            else if (jump >= 0)
                stamp = jump;
        }
        stamp = juce::jlimit (a, pos, stamp);
    }

    vyrLive::ApplyRequest req;
    req.style = suggestedStyle.load();
    req.medium = suggestedMedium.load();
    req.lufs = suggestedLufs.load();
    req.mood = suggestedMood.load();
    req.letter = (char) letter.load();
    req.position = stamp;
    req.fromMap = false;
    stampMap (stamp, req);
    lateSeconds = sr > 1.0 ? (float) std::max ((double) (pos - stamp) / sr, 0.0) : 0.0f;
}

void LiveSectionAnalyzer::commitShift (const Feature& candidate)
{
    lockSection (candidate, true);
    if (! replaying.load())
        stampRecent (true);
    armPost();
}

void LiveSectionAnalyzer::lockSection (const Feature& feature, bool reuse)
{
    const bool hadSection = sectionLocked;
    const int prevStyle = hadSection ? suggestedStyle.load() : -1;
    const int prevMedium = hadSection ? suggestedMedium.load() : -1;
    const int prevLufs = hadSection ? suggestedLufs.load() : -1;

    // The letter: a level within 2 dB of a known letter's prototype brings that letter back.
    char chosen = 'A';
    bool recognised = false;
    if (reuse)
    {
        int best = -1;
        float bestDistance = 0.0f;
        for (int i = 0; i < 7; ++i)
        {
            if (! letterVariants[i].valid)
                continue;
            const float d = std::abs (letterVariants[i].prototype[8] - feature.slowA);
            if (best < 0 || d < bestDistance)
            {
                best = i;
                bestDistance = d;
            }
        }
        if (best >= 0 && bestDistance < 2.0f)
        {
            chosen = letterVariants[best].letter;
            recognised = true;
        }
        else if (letterVariantCount > 6)
        {
            chosen = letterVariants[letterCursor % 7].letter;
            ++letterCursor;
        }
        else
        {
            chosen = (char) ('A' + letterVariantCount);
        }
    }
    letter = (int) chosen;

    int slot = -1;
    for (int i = 0; i < 7; ++i)
        if (letterVariants[i].valid && letterVariants[i].letter == chosen)
        {
            slot = i;
            break;
        }
    if (slot < 0)
        slot = letterVariantCount > 6 ? (letterCursor++ % 7) : letterVariantCount++;
    auto& variant = letterVariants[slot];
    variant.valid = true;
    variant.letter = chosen;
    valuesOf (feature, variant.prototype);

    sectionLocked = true;
    sectionHops = 1;
    valuesOf (feature, sectionMean);
    std::fill (std::begin (sectionM2), std::end (sectionM2), 0.0f);
    sectionSeconds = 0.0f;
    showSeconds = 0.0f;
    shiftPending = false;
    shiftSeconds = 0.0f;
    sectionKnown = true;
    currentFeature = feature;

    auto& r = letterChips[letterIndex (chosen)];
    Guess guess;
    if (recognised && restoreChipsForLetter (chosen, guess))
    {
        r.userEdited = false;
        publishLocked (guess);
        return;
    }

    guess = guessFrom (feature, prevStyle, prevMedium, prevLufs);
    applyArmChips (guess, feature, hadSection, r.ban);
    publishLocked (guess);
    r.style = guess.style;
    r.medium = guess.medium;
    r.lufs = guess.lufs;
    r.mask = guess.mask;
    r.wide = guess.wide;
    r.mood = guess.mood;
    r.userEdited = false;
    if (! r.frozen)
    {
        variant.style = guess.style;
        variant.medium = guess.medium;
        variant.lufs = guess.lufs;
        variant.mood = guess.mood;
        variant.mask = guess.mask;
        variant.wide = guess.wide;
    }

    if (recognised && r.disliked && ! r.frozen)
    {
        const juce::SpinLock::ScopedLockType lock (mapLock);
        for (int i = 0; i < mapCount; ++i)
            if (sectionMap[i].request.letter == chosen)
            {
                sectionMap[i].request.style = suggestedStyle.load();
                sectionMap[i].request.medium = suggestedMedium.load();
                sectionMap[i].request.lufs = suggestedLufs.load();
                sectionMap[i].request.mood = suggestedMood.load();
            }
        rebuildMapCueLocked();
    }
}
