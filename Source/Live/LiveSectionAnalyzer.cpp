// The analyser's modes and reset, and its audio-thread half: hop features, the time line and the
// section-map replay.
#include "Live/LiveSectionAnalyzer.h"
#include "Model/QuarnPresets.h"
#include <algorithm>
#include <cmath>

LiveSectionAnalyzer::LiveSectionAnalyzer()
{
    setStatus ("listening...", "-");
}

LiveSectionAnalyzer::~LiveSectionAnalyzer() = default;

void LiveSectionAnalyzer::LetterChips::clear() noexcept
{
    variant = 0;
    liked = disliked = frozen = false;
    userEdited = false;
    hasSnapshot = false;
    style = 5;
    medium = 3;
    lufs = 2;
    mask = 1;
    wide = false;
    mood = -1;
    ban = {};
    std::fill (std::begin (quarnSnap), std::end (quarnSnap), 0.0f);
    std::fill (std::begin (mix), std::end (mix), 0.0f);
    trim = 0.5f;
    enabledMask = 0;
}

void LiveSectionAnalyzer::setStatus (const char* status, const char* character)
{
    const juce::SpinLock::ScopedLockType lock (statusLock);
    juce::String (status).copyToUTF8 (statusText, sizeof (statusText));
    juce::String (character).copyToUTF8 (characterText, sizeof (characterText));
}

void LiveSectionAnalyzer::copyStatus (juce::String& status, juce::String& character) const
{
    char s[sizeof (statusText)], c[sizeof (characterText)];
    {
        const juce::SpinLock::ScopedLockType lock (statusLock);
        std::copy (std::begin (statusText), std::end (statusText), s);
        std::copy (std::begin (characterText), std::end (characterText), c);
    }
    s[sizeof (s) - 1] = 0;
    c[sizeof (c) - 1] = 0;
    status = juce::String::fromUTF8 (s);
    character = juce::String::fromUTF8 (c);
}

juce::String LiveSectionAnalyzer::copyDetail() const
{
    char d[sizeof (detailText)];
    {
        const juce::SpinLock::ScopedLockType lock (mapLock);
        std::copy (std::begin (detailText), std::end (detailText), d);
    }
    d[sizeof (d) - 1] = 0;
    return juce::String::fromUTF8 (d);
}

float LiveSectionAnalyzer::densityOf (const float* imprint) noexcept
{
    float largest = 0.0f;
    for (int i = 0; i < 6; ++i)
        largest = std::max (largest, imprint[i]);

    double h = 0.0;
    for (int i = 0; i < 6; ++i)
        if (imprint[i] > 1.0e-12f)
            h -= (double) imprint[i] * std::log ((double) imprint[i]);
    h = std::clamp (h / 1.791759469228055, 0.0, 1.0);

    const float m = largest * 0.003981071f;
    int k = 0;
    for (int i = 0; i < 6; ++i)
        if (imprint[i] >= m)
            ++k;
    return (float) (0.65 * h + 0.35 * k / 6.0);
}

//==============================================================================
void LiveSectionAnalyzer::resetMapLocked()
{
    for (auto& e : sectionMap)
        e = MapEntry {};
    mapCount = 0;
    mapSize = 0;
    replaying = false;
    replayRequested = false;
    xfadeActive = false;
    xfadeProgress = 0.0f;
    lastFiredAt = -1;
    glidePair = -1;
    mapFirst = -1;
    mapLast = -1;
    prevBlockEnd = -1;
    detailText[0] = 0;
    for (auto& c : letterChips)
        c.clear();
}

void LiveSectionAnalyzer::stopGlide() noexcept
{
    // Only atomics, so any thread may call it. The replay ends with the glide, so the next block does
    // not start the glide again; a later jump back in Arm starts a new replay.
    replaying = false;
    replayRequested = false;
    xfadeActive = false;
    xfadeProgress = 0.0f;
}

void LiveSectionAnalyzer::setMode (int m)
{
    m = juce::jlimit (0, 2, m);
    const int old = mode.exchange (m);

    if (m == off && old != off)
    {
        {
            const juce::SpinLock::ScopedLockType lock (requestLock);
            requestPending = false;
        }
        sectionLocked = false;
        shiftPending = false;
        sectionSeconds = 0.0f;
        shiftSeconds = 0.0f;
        showSeconds = 0.0f;
        sectionKnown = false;
        lastApplied.store ({});
        userHold = false;
        {
            const juce::SpinLock::ScopedLockType lock (mapLock);
            resetMapLocked();
            lastMask = 1;
            lastWide = false;
            currentFeature = Feature {};
        }
        sectionKnown = false;
        suggestedMood = -1;
        setStatus ("listening...", "-");
    }
    else if (m == arm && old != arm)
    {
        lastApplied.store ({});
        userHold = false;
        armPost();
    }
}

void LiveSectionAnalyzer::reset()
{
    // The audio thread clears its own accumulators and time line when it next runs.
    accumulatorResetPending = true;

    for (auto& f : hopRing)
        f = Feature {};
    windowFeature = Feature {};
    for (auto& h : history)
        h = HistoryEntry {};
    currentFeature = Feature {};
    ringCount = ringWrite = historyCount = historyWrite = 0;
    sectionHops = 0;
    letterVariantCount = 0;
    letterCursor = 0;
    std::fill (std::begin (sectionMean), std::end (sectionMean), 0.0f);
    std::fill (std::begin (sectionM2), std::end (sectionM2), 0.0f);
    sectionSeconds = shiftSeconds = 0.0f;
    sectionLocked = shiftPending = ready = false;
    sectionKnown = false;
    {
        const juce::SpinLock::ScopedLockType lock (requestLock);
        requestPending = false;
    }
    userHold = false;
    lateSeconds = 0.0f;
    showSeconds = 0.0f;
    letter = 'A';
    lastApplied.store ({});
    lastMask = 1;
    lastWide = false;
    lastHopPosition = 0;
    for (auto& v : letterVariants)
        v = LetterVariant {};
    {
        const juce::SpinLock::ScopedLockType lock (mapLock);
        resetMapLocked();
    }
    lastHopSeq = hopSeq.load();
    suggestedMood = -1;
    setStatus ("listening...", "-");
}

void LiveSectionAnalyzer::armPost()
{
    if (mode.load() != arm || ! sectionKnown.load())
        return;
    const auto h = held.load();
    if (userHold.load() && (int) h.letter == (letter.load() & 0xff))
        return;
    userHold = false;

    vyrLive::ApplyRequest r;
    r.style = suggestedStyle.load();
    r.medium = suggestedMedium.load();
    r.lufs = suggestedLufs.load();
    r.mood = suggestedMood.load();
    r.letter = (char) letter.load();
    r.position = lastHopPosition;
    r.fromMap = false;
    {
        const juce::SpinLock::ScopedLockType lock (requestLock);
        request = r;
        requestPending = true;
    }
    lastApplied.store ({ (std::int16_t) r.style, (std::int16_t) r.medium, (std::int16_t) r.lufs, (std::int16_t) r.mood });
}

//==============================================================================
// Audio thread.

void LiveSectionAnalyzer::clearAccumulators() noexcept
{
    sumSquares = 0.0;
    peak = 0.0f;
    std::fill (std::begin (bandEnergy), std::end (bandEnergy), 0.0);
    std::fill (std::begin (bandLowpass), std::end (bandLowpass), 0.0f);
    envelope = prevEnvelope = 0.0f;
    hopSamples = 0;
    onsets = 0;
    samplesSinceOnset = 0;
    blockPosition = 0;
    ownPosition = 0;
    ownPlaying = false;
    framePending = false;
}

void LiveSectionAnalyzer::publishFrame() noexcept
{
    // Never waits: when the timer is copying the frame, the hop is published on the next try.
    if (! framePending || ! frameLock.tryEnter())
        return;
    hopFrame = pendingFrame;
    hopSeq.fetch_add (1);
    frameLock.exit();
    framePending = false;
}

void LiveSectionAnalyzer::analyseBlock (const juce::AudioBuffer<float>& buffer, double hostRate, std::int64_t blockStart,
                                        bool positionKnown, bool playing) noexcept
{
    if (mode.load() == off)
        return;
    if (accumulatorResetPending.exchange (false))
        clearAccumulators();

    if (hostRate > 100.0 && std::abs (hostRate - sampleRate.load()) > 1.0)
    {
        sampleRate = hostRate;
        hopLength = hostRate * 0.25;
    }

    const int n = std::max (0, buffer.getNumSamples());

    // Time line: the host's position when there is one, else the analyser's own count of played samples.
    positionFromHost = positionKnown;
    std::int64_t q;
    if (positionKnown || blockStart >= 0)
    {
        q = blockStart;
        ownPlaying = playing;
    }
    else if (! playing)
    {
        q = ownPosition;
        ownPlaying = false;
    }
    else
    {
        q = ownPlaying ? ownPosition : 0;
        ownPlaying = true;
        ownPosition = q + n;
    }
    blockPosition = q;
    blockAdvancing = playing;

    const int channels = buffer.getNumChannels();
    if (n > 0 && channels > 0)
    {
        const double fs = sampleRate.load();
        const double hop = std::max (1.0, hopLength.load());
        const double twoPi = 2.0 * juce::MathConstants<double>::pi;
        const double limit = 0.45 * fs;
        static constexpr double freqs[5] = { 60.0, 250.0, 500.0, 2000.0, 8000.0 };
        float c[5];
        for (int k = 0; k < 5; ++k)
            c[k] = (float) (1.0 - std::exp (-twoPi * std::min (freqs[k], limit) / fs));
        const float attack = (float) std::exp (-twoPi * std::min (80.0, limit) / fs);
        const float release = (float) std::exp (-twoPi * std::min (18.0, limit) / fs);
        const int gap = std::max (1, (int) (0.05 * fs));

        const float* L = buffer.getReadPointer (0);
        const float* R = channels > 1 ? buffer.getReadPointer (1) : L;

        double sq = sumSquares;
        float pk = peak;
        double be[6];
        std::copy (std::begin (bandEnergy), std::end (bandEnergy), be);
        float lp[5];
        std::copy (std::begin (bandLowpass), std::end (bandLowpass), lp);
        float env = envelope, prev = prevEnvelope;
        int count = hopSamples, ons = onsets, since = samplesSinceOnset;

        for (int i = 0; i < n; ++i)
        {
            const float l = L[i], r = R[i];
            const float al = std::abs (l), ar = std::abs (r);
            const float m = 0.5f * (l + r);
            sq += (double) m * m;
            pk = std::max (pk, std::max (al, ar));

            for (int k = 0; k < 5; ++k)
                lp[k] += c[k] * (m - lp[k]);
            const float b[6] = { lp[0], lp[1] - lp[0], lp[2] - lp[1], lp[3] - lp[2], lp[4] - lp[3], m - lp[4] };
            for (int k = 0; k < 6; ++k)
                be[k] += (double) b[k] * b[k];

            const float x = 0.5f * (al + ar);
            const float kk = x > env ? attack : release;
            env += (1.0f - kk) * (x - env);
            if (env - prev > 0.012f && since >= gap)
            {
                ++ons;
                since = 0;
            }
            else
            {
                ++since;
            }
            prev = env;

            if (++count >= hop)
            {
                Feature f;
                f.slowA = (float) std::max (20.0 * std::log10 (std::max (std::sqrt (sq / std::max (count, 1)), 1.0e-12)), -100.0);
                double sum = 0.0;
                for (int k = 0; k < 6; ++k)
                    sum += std::max (be[k], 0.0);
                for (int k = 0; k < 6; ++k)
                    f.imprint[k] = sum > 1.0e-12 ? (float) (std::max (be[k], 0.0) / sum) : 1.0f / 6.0f;
                f.density = densityOf (f.imprint);
                f.rhythmHz = (float) (ons / std::max (count / std::max (fs, 1.0), 0.0001));
                const double peakDb = std::max (20.0 * std::log10 (std::max ((double) pk, 1.0e-12)), -100.0);
                f.crest = (float) std::max (peakDb - f.slowA, 0.0);
                f.silent = f.slowA < -55.0f;
                f.position = q + i + 1 - count;

                pendingFrame = f;
                framePending = true;
                publishFrame();

                sq = 0.0;
                pk = 0.0f;
                std::fill (std::begin (be), std::end (be), 0.0);
                count = 0;
                ons = 0;
            }
        }

        sumSquares = sq;
        peak = pk;
        std::copy (std::begin (be), std::end (be), bandEnergy);
        std::copy (std::begin (lp), std::end (lp), bandLowpass);
        envelope = env;
        prevEnvelope = prev;
        hopSamples = count;
        onsets = ons;
        samplesSinceOnset = since;
    }
    publishFrame();

    // Map work, skipped for this block when the message thread is editing the map.
    if (! mapLock.tryEnter())
        return;

    const std::int64_t previous = prevBlockEnd;
    prevBlockEnd = q + n;
    if (mode.load() == arm && mapCount >= 1)
    {
        const std::int64_t tol = std::max<std::int64_t> (2 * (std::int64_t) n, 64);
        if (previous >= 0 && (q > previous + tol || q + tol < previous))
        {
            lastFiredAt = -1;
            glidePair = -1;
            xfadeActive = false;
            if (q + tol < previous && ! replaying.load())
                replayRequested = true;
        }
        if (replaying.load())
        {
            xfadeActive = false;
            replayGlide (q);
            letterFollow (q);
            if (! xfadeActive.load() && playing && ! userHold.load())
                fireMapAt (q);
        }
    }
    mapLock.exit();
}

float LiveSectionAnalyzer::entryTrim (const MapEntry& e) const noexcept
{
    const auto& chip = letterChips[letterIndex (e.request.letter)];
    float t;
    if (chip.hasSnapshot.load() && chip.variant.load() >= 1)
        t = chip.trim.load();
    else
        t = (vyrQuarn::gLufsRecipes[juce::jlimit (0, 4, e.request.lufs)].trim + 50.0f) * 0.01f;
    return juce::jlimit (0.0f, 1.0f, t);
}

// Entries in ascending position order (a stable insertion sort of their indexes).
static int sortedMapOrder (const LiveSectionAnalyzer::MapEntry* map, int count, int* order) noexcept
{
    count = std::min (count, LiveSectionAnalyzer::kMaxMapEntries);
    for (int i = 0; i < count; ++i)
    {
        int j = i;
        while (j > 0 && map[order[j - 1]].at > map[i].at)
        {
            order[j] = order[j - 1];
            --j;
        }
        order[j] = i;
    }
    return count;
}

void LiveSectionAnalyzer::replayGlide (std::int64_t q) noexcept
{
    const double sr = sampleRate.load();
    if (mapCount < 2 || ! (sr > 1.0))
        return;
    int order[kMaxMapEntries];
    const int count = sortedMapOrder (sectionMap, mapCount, order);
    const double t = (double) q / sr;

    for (int j = 1; j < count; ++j)
    {
        const double a = (double) sectionMap[order[j - 1]].at / sr;
        const double b = (double) sectionMap[order[j]].at / sr;
        const double before = b - a;
        const double after = j + 1 < count ? (double) sectionMap[order[j + 1]].at / sr - b : before;
        const double g = std::min (before, after);
        if (g <= 0.001)
            continue;
        const double h = std::max (std::min (0.35 * g, 1.0), std::min (0.45 * g, 0.25));
        if (t < b - h || t > b + h)
            continue;

        const float progress = (float) juce::jlimit (0.0, 1.0, (t - (b - h)) / (2.0 * h));
        const auto& from = sectionMap[order[j - 1]];
        const auto& to = sectionMap[order[j]];
        if (j != glidePair)
        {
            glidePair = j;
            if (userHold.load())
            {
                const auto hd = held.load();
                xfadeFrom.store ({ hd.style, hd.medium, hd.lufs, (std::int16_t) suggestedMood.load() });
                xfadeFromTrim = juce::jlimit (0.0f, 1.0f, hd.trim);
                userHold = false;
            }
            else
            {
                xfadeFrom.store ({ (std::int16_t) from.request.style, (std::int16_t) from.request.medium,
                                   (std::int16_t) from.request.lufs, (std::int16_t) from.request.mood });
                xfadeFromTrim = entryTrim (from);
            }
            xfadeTo.store ({ (std::int16_t) to.request.style, (std::int16_t) to.request.medium,
                             (std::int16_t) to.request.lufs, (std::int16_t) to.request.mood });
            xfadeToLetter = (int) to.request.letter;
            xfadeToTrim = entryTrim (to);
        }
        xfadeProgress = progress;
        xfadeActive = true;
        suggestedMood = progress < 0.5f ? xfadeFrom.load().mood : xfadeTo.load().mood;
        return;
    }
    glidePair = -1;
}

void LiveSectionAnalyzer::letterFollow (std::int64_t q) noexcept
{
    if (mapCount < 1)
        return;
    int best = -1;
    for (int i = 0; i < std::min (mapCount, (int) kMaxMapEntries); ++i)
        if (sectionMap[i].at <= q && (best < 0 || sectionMap[i].at > sectionMap[best].at))
            best = i;
    const auto& entry = sectionMap[best >= 0 ? best : 0];

    const int before = letter.load();
    int now = (int) entry.request.letter;
    if (xfadeActive.load() && xfadeProgress.load() >= 0.5f)
        now = xfadeToLetter.load();
    if (now == before)
        return;
    letter = now;
    auto& chip = letterChips[letterIndex (now)];
    chip.userEdited = false;
    suggestedMood = ((int) entry.request.letter == now && entry.request.mood >= 0) ? entry.request.mood : chip.mood.load();
}

void LiveSectionAnalyzer::fireMapAt (std::int64_t pos) noexcept
{
    if (mapCount < 1)
        return;
    int best = -1;
    for (int i = 0; i < std::min (mapCount, (int) kMaxMapEntries); ++i)
        if (sectionMap[i].at <= pos && (best < 0 || sectionMap[i].at > sectionMap[best].at))
            best = i;
    if (best < 0)
        return;

    const auto& e = sectionMap[best];
    const vyrLive::RecipeQuad recipe { (std::int16_t) e.request.style, (std::int16_t) e.request.medium,
                                       (std::int16_t) e.request.lufs, (std::int16_t) e.request.mood };
    const auto fired = lastFiredAt.load();
    const auto near = (std::int64_t) std::llround (1.5 * sampleRate.load());
    if (fired >= 0 && std::abs (e.at - fired) <= near && recipe == lastApplied.load())
        return;

    lastFiredAt = e.at;
    if (mode.load() != arm)
        return;
    if (userHold.load() && (int) e.request.letter == (int) held.load().letter)
        return;

    // The timer holds the request slot only to copy it; when it does, fire again next block.
    if (! requestLock.tryEnter())
    {
        lastFiredAt = fired;
        return;
    }
    userHold = false;
    request = e.request;
    request.fromMap = true;
    requestPending = true;
    requestLock.exit();
    lastApplied.store (recipe);
}
