// The mastered path's frame and the processor's live, mood and file operations.
#include "Core/PluginProcessor.h"
#include "Model/FactoryPresets.h"
#include "Model/QuarnPresets.h"

void VyrAudioProcessor::noteArmUserHold()
{
    const auto& m = mapParams;
    if (product != vyrProducts::quarn || ! m.liveAnalysis.present() || m.liveAnalysis.index (3) != 2
        || live.mode.load() != LiveSectionAnalyzer::arm)
        return;

    vyrLive::Held h;
    h.trim = 0.5f;
    if (auto* trim = apvts.getParameter ("masterTrim"))
        h.trim = juce::jlimit (0.0f, 1.0f, trim->getValue());
    h.style = (std::int8_t) juce::jlimit (0, 6, styleIndex.load());
    h.medium = (std::int8_t) juce::jlimit (0, 7, mediumIndex.load());
    h.lufs = (std::int8_t) juce::jlimit (0, 4, lufsIndex.load());
    h.letter = (std::uint8_t) (live.letter.load() & 0xff);
    live.held.store (h);
    live.userHold = true;
}

void VyrAudioProcessor::writeProgramValue (const char* id, float normalised, float tolerance)
{
    auto* p = apvts.getParameter (id);
    if (p == nullptr || ! std::isfinite (normalised))
        return;
    if (std::abs (p->getValue() - normalised) < tolerance)
        return;
    p->beginChangeGesture();
    p->setValueNotifyingHost (normalised);
    p->endChangeGesture();
}

void VyrAudioProcessor::latchChosenIndexes()
{
    if (dynamic_cast<juce::AudioParameterChoice*> (apvts.getParameter ("masterStyle")) != nullptr)
        styleIndex = readChoice ("masterStyle", 7, styleIndex.load());
    if (dynamic_cast<juce::AudioParameterChoice*> (apvts.getParameter ("masterMedium")) != nullptr)
        mediumIndex = readChoice ("masterMedium", 8, mediumIndex.load());
    if (dynamic_cast<juce::AudioParameterChoice*> (apvts.getParameter ("masterLufs")) != nullptr)
        lufsIndex = readChoice ("masterLufs", 5, lufsIndex.load());
}

void VyrAudioProcessor::applyPendingLiveRecipe()
{
    if (product != vyrProducts::quarn)
        return;

    if (live.userHold.load())
    {
        const juce::SpinLock::ScopedLockType lock (live.requestLock);
        live.requestPending = false;
        return;
    }

    const bool gliding = live.xfadeActive.load();
    vyrLive::ApplyRequest r;
    {
        const juce::SpinLock::ScopedLockType lock (live.requestLock);
        const bool pending = live.requestPending.exchange (false);
        if (! pending)
            return;
        if (gliding)
        {
            // The running glide carries the recipe; only the sounding mood follows the request.
            const int mood = live.request.mood;
            currentMood = (mood >= 0 && mood < (int) live.moodPresets.size()) ? mood : -1;
            return;
        }
        r = live.request;
    }

    const int style = juce::jlimit (0, 6, r.style);
    const int medium = juce::jlimit (0, 7, r.medium);
    const int lufs = juce::jlimit (0, 4, r.lufs);
    const int before = styleIndex.load() * 100 + mediumIndex.load() * 10 + lufsIndex.load();
    styleIndex = style;
    mediumIndex = medium;
    lufsIndex = lufs;

    applyingRecipe = true;
    vyrQuarn::applyChips (apvts, style, lufs, medium);
    overlaySectionSnap (r.letter, false);
    currentMood = (r.mood >= 0 && r.mood < (int) live.moodPresets.size()) ? r.mood : -1;
    notifyMasterMood (currentMood.load(), (int) r.letter);
    applyingRecipe = false;
    quarnDirty = false;

    latchChosenIndexes();
    lastLiveLetter = (int) r.letter;
    lastLiveChanged = r.fromMap && before != style * 100 + medium * 10 + lufs;
    if (live.sectionKnown.load())
        live.letterChips[LiveSectionAnalyzer::letterIndex (live.letter.load())].userEdited = false;
    ++recipeGeneration;
}

void VyrAudioProcessor::overlaySectionSnap (char letterCode, bool enablesOnly)
{
    if (product != vyrProducts::quarn)
        return;
    const auto& chip = live.letterChips[LiveSectionAnalyzer::letterIndex (letterCode)];
    if (! chip.hasSnapshot.load() || chip.variant.load() < 1)
        return;

    const bool previous = applyingRecipe.exchange (true);
    if (! enablesOnly)
    {
        for (int i = 0; i < 9; ++i)
            writeProgramValue (vyrLive::kQuarnSnapIds[i], juce::jlimit (0.0f, 1.0f, chip.quarnSnap[i]), 1.0e-5f);
        for (int i = 0; i < 13; ++i)
            if (juce::String (vyrLive::kFxOrderIds[i]) != "tovu")
                writeProgramValue ((juce::String (vyrLive::kFxOrderIds[i]) + "_mix").toRawUTF8(), juce::jlimit (0.0f, 1.0f, chip.mix[i]), 1.0e-5f);
        writeProgramValue ("masterTrim", juce::jlimit (0.0f, 1.0f, chip.trim.load()), 1.0e-5f);
    }
    for (int i = 0; i < 13; ++i)
        if (juce::String (vyrLive::kFxOrderIds[i]) != "tovu")
            writeProgramValue ((juce::String (vyrLive::kFxOrderIds[i]) + "_enabled").toRawUTF8(),
                               (chip.enabledMask & (1u << i)) != 0 ? 1.0f : 0.0f, 1.0e-5f);
    applyingRecipe = previous;
}

void VyrAudioProcessor::notifyMasterMood (int mood, int tag)
{
    if (product != vyrProducts::quarn)
        return;
    auto* param = dynamic_cast<juce::AudioParameterChoice*> (apvts.getParameter ("masterMood"));
    if (param == nullptr)
        return;

    const int k = mood < 0 ? 0 : std::min (mood, 175) + 1;
    const bool plain = mood < 0 || tag == 0 || tag == notifiedMoodTag.load();
    if (k == notifiedMoodChoice.load() && plain)
        return;

    notifiedMoodChoice = k;
    if (tag != 0)
        notifiedMoodTag = tag;

    if (plain && param->getIndex() == k)
        return;

    const bool previous = moodNotifyGuard.exchange (true);
    param->beginChangeGesture();
    param->setValueNotifyingHost (param->convertTo0to1 ((float) k));
    param->endChangeGesture();
    moodNotifyGuard = previous;
}

void VyrAudioProcessor::applyMoodPreset (int i)
{
    if (product != vyrProducts::quarn || i < 0 || i >= (int) live.moodPresets.size())
        return;
    const auto& p = live.moodPresets[(size_t) i];
    const int style = juce::jlimit (0, 6, p.style);
    const int medium = juce::jlimit (0, 7, p.medium);
    const int lufs = juce::jlimit (0, 4, p.lufsIndex);
    styleIndex = style;
    mediumIndex = medium;
    lufsIndex = lufs;

    applyingRecipe = true;
    vyrQuarn::applyChips (apvts, style, lufs, medium);
    currentMood = i;
    notifyMasterMood (i, 0);
    applyingRecipe = false;
    quarnDirty = false;

    live.lastMask = p.mask > 1 ? p.mask : 1;
    live.lastWide = p.imgWide;
    if (live.sectionKnown.load())
    {
        auto& r = live.letterChips[LiveSectionAnalyzer::letterIndex (live.letter.load())];
        if (! r.frozen)
        {
            r.mood = i;
            r.style = style;
            r.medium = medium;
            r.lufs = std::min (lufs, 4);
            if (p.mask != 0)
                r.mask = p.mask;
            r.wide = p.imgWide;
        }
    }
    noteArmUserHold();
    if (live.sectionKnown.load())
        live.letterChips[LiveSectionAnalyzer::letterIndex (live.letter.load())].userEdited = true;
    ++recipeGeneration;
}

int VyrAudioProcessor::markLiveThumbs (bool like)
{
    if (product != vyrProducts::quarn)
        return 0;
    if (! live.sectionKnown.load())
    {
        ++recipeGeneration;
        return 0;
    }

    const int letterCode = live.letter.load();
    auto& r = live.letterChips[LiveSectionAnalyzer::letterIndex (letterCode)];
    auto idOf = [this] (int mood) { return mood >= 0 && mood < (int) live.moodPresets.size() ? live.moodPresets[(size_t) mood].id : juce::String(); };

    if (like)
    {
        r.liked = true;
        r.disliked = false;
        r.ban = {};
        vyrLive::RecipeRef ref { idOf (r.mood.load()), r.style, r.medium, r.lufs, r.mask, r.mood.load(), r.wide };
        live.appendTraining ("like", ref);
        ++recipeGeneration;
        return 1;
    }

    r.liked = false;
    r.disliked = true;
    r.ban.style = r.style >= 0 ? r.style : live.suggestedStyle.load();
    r.ban.medium = r.medium >= 0 ? r.medium : live.suggestedMedium.load();
    r.ban.lufs = r.lufs >= 0 ? r.lufs : live.suggestedLufs.load();
    r.ban.mask = r.mask;
    r.ban.mood = r.mood.load();
    vyrLive::RecipeRef banned { idOf (r.ban.mood), r.ban.style, r.ban.medium, r.ban.lufs, r.ban.mask, r.ban.mood, false };
    live.appendTraining ("dislike", banned);

    if (r.frozen)
    {
        ++recipeGeneration;
        return 3;
    }

    const auto& f = live.currentFeature;
    auto guess = live.guessFrom (f, -1, -1, -1);
    guess.confident = true;
    const auto last = live.lastApplied.load();
    const int lufs = last.lufs >= 0 ? last.lufs : (r.lufs >= 0 ? r.lufs : live.suggestedLufs.load());
    const int style = last.style >= 0 ? last.style : (r.style >= 0 ? r.style : live.suggestedStyle.load());
    const int mask = live.lastMask != 0 ? live.lastMask : r.mask;
    const int proposal = live.pickMoodPreset (f, vyrQuarn::nearestLufsIndex (f.slowA), mask, lufs, style, live.lastWide, guess, true, r.ban);
    if (proposal < 0 || proposal == r.ban.mood || proposal == r.mood.load())
    {
        ++recipeGeneration;
        return 3;
    }

    live.fillGuessFromMood (guess, proposal);
    live.lastMask = guess.mask != 0 ? guess.mask : vyrLive::maskOfCharacter (guess.character);
    live.lastWide = guess.wide;
    r.style = guess.style;
    r.medium = guess.medium;
    r.lufs = guess.lufs;
    r.mask = guess.mask;
    r.wide = guess.wide;
    r.mood = guess.mood;
    r.userEdited = false;
    for (int i = 0; i < live.letterVariantCount; ++i)
    {
        auto& v = live.letterVariants[i];
        if (v.valid && (int) v.letter == letterCode)
        {
            v.style = guess.style;
            v.medium = guess.medium;
            v.lufs = guess.lufs;
            v.mood = guess.mood;
            v.mask = guess.mask;
            v.wide = guess.wide;
            break;
        }
    }
    live.publishLocked (guess);
    {
        const juce::SpinLock::ScopedLockType lock (live.mapLock);
        for (int i = 0; i < live.mapCount; ++i)
            if ((int) live.sectionMap[i].request.letter == letterCode)
            {
                auto& q = live.sectionMap[i].request;
                q.style = guess.style;
                q.medium = guess.medium;
                q.lufs = guess.lufs;
                q.mood = guess.mood;
            }
        live.rebuildMapCueLocked();
    }
    live.userHold = false;
    live.xfadeActive = false;
    live.lastApplied.store ({ (std::int16_t) guess.style, (std::int16_t) guess.medium, (std::int16_t) guess.lufs, (std::int16_t) guess.mood });

    const int mood = live.suggestedMood.load();
    currentMood = (mood >= 0 && mood < (int) live.moodPresets.size()) ? mood : -1;
    const int s = juce::jlimit (0, 6, live.suggestedStyle.load());
    const int m = juce::jlimit (0, 7, live.suggestedMedium.load());
    const int l = juce::jlimit (0, 4, live.suggestedLufs.load());
    styleIndex = s;
    mediumIndex = m;
    lufsIndex = l;
    applyingRecipe = true;
    vyrQuarn::applyChips (apvts, s, l, m);
    notifyMasterMood (currentMood.load(), live.letter.load());
    applyingRecipe = false;
    quarnDirty = false;
    if (live.sectionKnown.load())
        live.letterChips[LiveSectionAnalyzer::letterIndex (live.letter.load())].userEdited = false;
    ++recipeGeneration;
    return 2;
}

bool VyrAudioProcessor::armPunchingMasterStyle() const
{
    if (product != vyrProducts::quarn || ! mapParams.liveAnalysis.present())
        return false;
    if (mapParams.liveAnalysis.index (3) != 2 || ! hostPlaying.load())
        return false;
    const auto start = punchStart.load(), end = punchEnd.load(), pos = playheadSamples.load();
    if (end > start + 64)
        return start <= pos && pos < end;
    return pos >= armStartSamples.load();
}

void VyrAudioProcessor::liveTimerTick()
{
    if (product != vyrProducts::quarn)
        return;

    auto* modeParam = dynamic_cast<juce::AudioParameterChoice*> (apvts.getParameter ("liveAnalysis"));
    const int wanted = modeParam != nullptr ? juce::jlimit (0, 2, modeParam->getIndex()) : 0;
    live.setMode (wanted);

    // Mode bookkeeping runs before anything else, so switching LIVE off by automation or MIDI
    // resets the analyser just as the main view's chip does.
    const int mode = live.mode.load();
    if (mode != live.lastMode)
    {
        if (mode == LiveSectionAnalyzer::off)
            live.reset();
        live.lastMode = mode;
    }
    if (mode == LiveSectionAnalyzer::off)
        return;

    live.startReplayIfRequested();
    live.trackNewestHop();

    // Recipe writes take turns with a restore running on another thread; this tick's writes then
    // wait for the next tick (the request stays pending, the glide runs on).
    std::unique_lock<std::recursive_mutex> turn (stateLock, std::try_to_lock);
    if (! turn.owns_lock())
        return;
    const ProgramWriteScope own (*this);

    if (live.requestPending.load())
        applyPendingLiveRecipe();

    if (mode == LiveSectionAnalyzer::arm && live.xfadeActive.load() && ! live.userHold.load())
    {
        const float u = live.xfadeProgress.load();
        const auto from = live.xfadeFrom.load();
        const auto to = live.xfadeTo.load();
        const char l = (char) live.letter.load();
        applyingRecipe = true;
        vyrQuarn::lerpChips (apvts, from.style, from.medium, from.lufs, to.style, to.medium, to.lufs, u,
                             live.xfadeFromTrim.load(), live.xfadeToTrim.load());
        overlaySectionSnap (l, true);
        if (u >= 0.999f)
            overlaySectionSnap (l, false);
        const auto& end = u < 0.5f ? from : to;
        styleIndex = juce::jlimit (0, 6, (int) end.style);
        mediumIndex = juce::jlimit (0, 7, (int) end.medium);
        lufsIndex = juce::jlimit (0, 4, (int) end.lufs);
        if (live.sectionKnown.load())
            live.letterChips[LiveSectionAnalyzer::letterIndex (l)].userEdited = false;
        const int mood = end.mood;
        currentMood = (mood >= 0 && mood < (int) live.moodPresets.size()) ? mood : -1;
        notifyMasterMood (currentMood.load(), (int) l);
        applyingRecipe = false;
        quarnDirty = false;
        ++recipeGeneration;
    }
}
