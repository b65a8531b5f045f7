// The main view's link to the live analyser: LIVE chips, the mood box, Yes / No / Update and the
// view's timer, which turns the analyser's state into the status line under the chips.
#include "Ui/MainView/BasicMasteringView.h"

#include "Core/PluginProcessor.h"
#include "Ui/MainView/MainViewTables.h"

namespace
{
constexpr double kFeedbackHoldMs = 2000.0;

double nowMs() { return juce::Time::getMillisecondCounterHiRes(); }

float normalisedOr (juce::AudioProcessorValueTreeState& tree, const juce::String& id, float fallback)
{
    if (auto* p = tree.getParameter (id))
        return p->getValue();
    return fallback;
}

// A number printed with a C format (one value).
juce::String printed (const char* format, float value)
{
    char text[32] {};
    std::snprintf (text, sizeof (text), format, (double) value);
    return text;
}

juce::String primes (int variants) { return variants >= 2 ? "''" : "'"; }
}

juce::String BasicMasteringView::moodCaption (int mood) const
{
    if (mood < 0 || mood >= numMoods())
        return {};
    const auto& p = (*moods)[(size_t) mood];
    return p.shortName.isNotEmpty() ? p.shortName : p.mood;
}

void BasicMasteringView::showMessage (const juce::String& text, double holdMs)
{
    recipeHint = lastFileMessage = text;
    feedbackKind = 0;
    feedbackUntilMs = holdMs > 0.0 ? nowMs() + holdMs : 0.0;
    repaint();
}

void BasicMasteringView::liveChipClicked (int m)
{
    setChoice ("liveAnalysis", m);
    processor.live.setMode (m);
    if (m == 1)
        recipeHint = "LIVE Show - confirmed section only. Style and Mix stay put.";
    else if (m == 0)
    {
        processor.live.reset();
        recipeHint = "LIVE off - Quarn as before.";
    }
    else
    {
        recipeHint = "LIVE Arm - form letters A-G (same class = same letter). First:late  replay:seam";
        processor.applyPendingLiveRecipe();
    }
    lastStatusLine.clear();
    repaint();
}

void BasicMasteringView::moodChosen()
{
    if (moodBoxSyncing)
        return;
    const int id = moodBox.getSelectedId();
    if (id < 1)
        return;
    processor.applyMoodPreset (id - 1);
    if (id <= numMoods())
    {
        const auto& p = (*moods)[(size_t) (id - 1)];
        recipeHint = p.shortName.isNotEmpty() ? p.shortName : p.name;
    }
    syncPresetBox();
    generationRefresh();
    repaint();
}

void BasicMasteringView::syncPresetBox()
{
    const int mood = processor.currentMood.load (std::memory_order_acquire);
    const int ch = processor.live.letter.load (std::memory_order_acquire);
    const int v = processor.live.letterChips[currentLetterIndex()].variant.load (std::memory_order_acquire);
    if (mood == shownMood && ch == shownLetter && v == shownLetterMood)
        return;
    shownMood = mood, shownLetter = ch, shownLetterMood = v;

    moodBoxSyncing = true;
    juce::String boxTip = vyrMainView::kMoodBoxTooltip, chipTip = vyrMainView::kMoodChipTooltip;
    if (mood < 0 || mood >= numMoods())
        moodBox.setSelectedId (0, juce::dontSendNotification);
    else
    {
        moodBox.setSelectedId (mood + 1, juce::dontSendNotification);
        const auto caption = moodCaption (mood);
        if (v <= 0)
        {
            if (caption.isNotEmpty())
                chipTip = caption + " - sounding mood, not a STYLE chip.";
        }
        else
        {
            const auto suffix = primes (v);
            const auto tag = juce::String::charToString ((juce::juce_wchar) (ch & 0xff)) + suffix;
            boxTip = tag + " snapshot of factory " + (*moods)[(size_t) mood].name + ". Menu row stays the lineage preset.";
            chipTip = caption + suffix + " - sounding " + tag + ", not a STYLE chip.";
        }
    }
    moodBox.setTooltip (boxTip); // the box passes it on to its text label
    moodNameArea.setTooltip (chipTip);
    moodBoxSyncing = false;
}

void BasicMasteringView::likeClicked()
{
    processor.markLiveThumbs (true);
    recipeHint = "Yes - keep this recipe (Update makes it ')";
    feedbackKind = 1;
    feedbackUntilMs = nowMs() + kFeedbackHoldMs;
    repaint();
}

void BasicMasteringView::dislikeClicked()
{
    const int r = processor.markLiveThumbs (false);
    recipeHint = r == 2 ? "No - new mood now. Update freezes as ''" : "No - nothing else fits this imprint";
    feedbackKind = 2;
    feedbackUntilMs = nowMs() + kFeedbackHoldMs;
    quarn.readParams();
    quarn.repaint();
    space.readParams();
    space.repaint();
    syncPresetBox();
    repaint();
}

void BasicMasteringView::updateClicked()
{
    auto& live = processor.live;
    auto& tree = processor.apvts;
    const int ch = live.letter.load (std::memory_order_acquire) & 0xff;
    auto& R = live.letterChips[currentLetterIndex()];

    if (processor.product == vyrProducts::quarn)
    {
        // The recipe the user hears now.
        const int style = choiceIndex (params.style, processor.styleIndex.load (std::memory_order_acquire));
        const int medium = choiceIndex (params.medium, processor.mediumIndex.load (std::memory_order_acquire));
        const int lufs = choiceIndex (params.lufs, processor.lufsIndex.load (std::memory_order_acquire));
        float quarnValues[9], mix[13];
        std::uint16_t enabled = 0;
        for (int i = 0; i < 9; ++i)
            quarnValues[i] = normalisedOr (tree, vyrLive::kQuarnSnapIds[i], 0.0f);
        for (int i = 0; i < 13; ++i)
        {
            const juce::String id (vyrLive::kFxOrderIds[i]);
            mix[i] = normalisedOr (tree, id + "_mix", 0.0f);
            if (normalisedOr (tree, id + "_enabled", 0.0f) >= 0.5f)
                enabled = (std::uint16_t) (enabled | (1u << i));
        }
        const float effect = normalisedOr (tree, "masterTrim", 0.0f);

        if (live.sectionKnown.load (std::memory_order_acquire))
        {
            auto idOf = [this] (int mood) { return mood >= 0 && mood < numMoods() ? (*moods)[(size_t) mood].id : juce::String(); };

            vyrLive::RecipeRef before;
            if (R.disliked && R.ban.inForce())
                before = { idOf (R.ban.mood), R.ban.style, R.ban.medium, R.ban.lufs, R.ban.mask, R.ban.mood, false };
            else
                before = { idOf (R.mood.load()), R.style, R.medium, R.lufs, R.mask, R.mood.load(), R.wide };

            R.variant.store (R.disliked ? 2 : 1, std::memory_order_release);
            R.frozen = true;
            R.userEdited = false;
            R.style = juce::jlimit (0, 6, style);
            R.medium = juce::jlimit (0, 7, medium);
            R.lufs = juce::jlimit (0, 4, lufs);
            std::copy (std::begin (quarnValues), std::end (quarnValues), R.quarnSnap);
            std::copy (std::begin (mix), std::end (mix), R.mix);
            R.trim.store (juce::jlimit (0.0f, 1.0f, effect), std::memory_order_release);
            R.enabledMask = enabled;
            R.hasSnapshot.store (true, std::memory_order_release);

            const int mood = R.mood.load();
            live.suggestedStyle.store (R.style, std::memory_order_release);
            live.suggestedMedium.store (R.medium, std::memory_order_release);
            live.suggestedLufs.store (R.lufs, std::memory_order_release);
            live.suggestedMood.store (mood, std::memory_order_release);

            const int variants = R.variant.load();
            const auto label = juce::String::charToString ((juce::juce_wchar) ch) + primes (variants) + " - "
                               + vyrMainView::kMasterStyles[R.style] + " " + juce::String ((int) vyrMainView::kLufsOptions[R.lufs])
                               + " LUFS / " + LiveSectionAnalyzer::characterFromMask (R.mask);
            for (int i = 0; i < juce::jmin (live.letterVariantCount, 7); ++i)
            {
                auto& v = live.letterVariants[i];
                if (v.valid && (int) (unsigned char) v.letter == ch)
                {
                    v.style = R.style, v.medium = R.medium, v.lufs = R.lufs, v.mood = mood, v.mask = R.mask, v.wide = R.wide;
                    break;
                }
            }

            LiveSectionAnalyzer::Guess guess;
            guess.style = R.style, guess.medium = R.medium, guess.lufs = R.lufs;
            guess.mask = R.mask, guess.wide = R.wide, guess.mood = mood, guess.label = label;
            live.publishLocked (guess);
            {
                const juce::SpinLock::ScopedLockType lock (live.mapLock);
                for (int i = 0; i < live.mapCount; ++i)
                {
                    auto& q = live.sectionMap[i].request;
                    if ((int) (unsigned char) q.letter == ch)
                        q.style = R.style, q.medium = R.medium, q.lufs = R.lufs, q.mood = mood;
                }
                live.rebuildMapCueLocked();
            }

            const vyrLive::RecipeRef after { idOf (mood), R.style, R.medium, R.lufs, R.mask, mood, R.wide };
            live.appendTraining (variants >= 2 ? "double_prime" : "prime", before, &after, quarnValues, mix, 13);
        }
        processor.noteArmUserHold();
        processor.recipeGeneration.fetch_add (1, std::memory_order_acq_rel);
    }

    recipeHint = "Update  " + juce::String::charToString ((juce::juce_wchar) ch) + primes (R.variant.load())
                 + "  -  next pass plays this, not stock";
    feedbackKind = 0;
    feedbackUntilMs = nowMs() + kFeedbackHoldMs;
    quarn.readParams();
    quarn.repaint();
    space.readParams();
    space.repaint();
    repaint();
}

void BasicMasteringView::generationRefresh()
{
    // The polar controls re-read their parameters; the knobs follow theirs through their
    // attachments and only need painting.
    quarn.readParams();
    quarn.repaint();
    space.readParams();
    space.repaint();
    for (auto& k : mixKnobs)
        if (k != nullptr)
            k->repaint();
    effectGauge.repaint();
    if (lufsKnob != nullptr)
        lufsKnob->repaint();
}

//==============================================================================
void BasicMasteringView::timerCallback()
{
    auto& live = processor.live;

    // The meters follow the metering scale and the identity.
    const int scale = choiceIndex (params.metering, 0);
    const int theme = processor.themeIndex.load (std::memory_order_acquire);
    for (auto* meter : { inMeter.get(), outMeter.get() })
        if (meter != nullptr && (meter->meteringMode != scale || meter->themeId != theme))
        {
            meter->meteringMode = scale;
            meter->themeId = theme;
            meter->repaint();
        }

    const int m = choiceIndex (params.live, 0);
    if (m > 0)
    {
        // Copies of the analyser's texts: the status under its spin lock (held only for the
        // copy), the detail only when its lock is free this tick.
        char status[96] {}, detail[384] {};
        {
            const juce::SpinLock::ScopedLockType lock (live.statusLock);
            std::copy (std::begin (live.statusText), std::end (live.statusText) - 1, status);
        }
        {
            const juce::SpinLock::ScopedTryLockType lock (live.mapLock);
            if (lock.isLocked())
                std::copy (std::begin (live.detailText), std::end (live.detailText) - 1, detail);
        }
        const auto detailText = juce::String::fromUTF8 (detail);
        const auto detailSuffix = detailText.isEmpty() ? juce::String() : "  " + detailText;

        juce::String line;
        const int mode = juce::jlimit (0, 2, m);
        if (! live.sectionKnown.load (std::memory_order_acquire))
            line = juce::String (vyrMainView::kLiveModes[mode]) + "  listening..." + detailSuffix;
        else
        {
            const int chCode = live.letter.load (std::memory_order_acquire) & 0xff;
            const auto ch = juce::String::charToString ((juce::juce_wchar) chCode);
            if (chCode != 0 && chCode != feedbackLetter)
            {
                feedbackUntilMs = 0.0;
                feedbackKind = 0;
                feedbackLetter = chCode;
            }
            if (mode == 2)
            {
                const float late = live.lateSeconds.load (std::memory_order_acquire);
                if (live.userHold.load (std::memory_order_acquire))
                    line = "Arm hold " + ch + detailSuffix;
                else if (live.xfadeActive.load (std::memory_order_acquire))
                    line = "Arm form " + ch + "  xfade" + detailSuffix;
                else if (live.replaying.load (std::memory_order_acquire))
                    line = "Arm form " + ch + "  replay" + detailSuffix;
                else if (late > 0.25f)
                    line = "Arm form " + ch + "  late " + printed ("%.1f", late) + "s" + detailSuffix;
                else
                    line = "Arm form " + ch + "  late" + detailSuffix;
            }
            else
                line = "Show form " + ch + "  " + printed ("%.0f", live.showSeconds.load (std::memory_order_acquire)) + "s "
                       + juce::String::fromUTF8 (status);
        }

        if (feedbackUntilMs <= 0.0 || nowMs() >= feedbackUntilMs)
        {
            feedbackUntilMs = 0.0;
            feedbackKind = 0;
            if (line != lastStatusLine || line != recipeHint)
                lastStatusLine = recipeHint = line;
        }
    }

    const int generation = processor.recipeGeneration.load (std::memory_order_acquire);
    if (generation != seenRecipeGeneration)
    {
        seenRecipeGeneration = generation;
        generationRefresh();
    }

    // In Arm the sounding mood follows the analyser unless the user holds a recipe of their own.
    if (m == 2 && processor.product == vyrProducts::quarn && ! live.userHold.load (std::memory_order_acquire))
    {
        if (juce::jlimit (0, 2, choiceIndex (params.live, 0)) == 2 && live.sectionKnown.load (std::memory_order_acquire))
        {
            int mood = live.suggestedMood.load (std::memory_order_acquire);
            if (live.xfadeActive.load (std::memory_order_acquire))
                mood = live.xfadeProgress.load (std::memory_order_acquire) >= 0.5f ? live.xfadeTo.load().mood : live.xfadeFrom.load().mood;
            if (mood < 0 || mood >= numMoods())
                mood = -1;
            processor.currentMood.store (mood, std::memory_order_release);
        }
    }

    syncPresetBox();
    syncTrayWithChain();
    repaintChanged();
}
