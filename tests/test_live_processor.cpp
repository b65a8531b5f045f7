// The live analyser through the edition product: sections heard in real audio, the letters and the
// cue text in Show, recipes reaching the parameters in Arm, the user's hold, map replay.
#include <gtest/gtest.h>
#include "LiveTestUtil.h"
#include "AllocationGuard.h"

using namespace vyrTest;
using vyrLiveTest::Part;

namespace
{
std::vector<Part> twoSections()
{
    // A dark, quiet verse and a bright, loud chorus with a faster beat.
    return { { 13.0, -22.0f, 700.0f, 0.25f, 2.0f }, { 17.0, -11.0f, 7000.0f, 0.45f, 6.0f } };
}
}

TEST (LiveProcessor, ShowHearsTwoSectionsAndStampsTheirLetters)
{
    VyrAudioProcessor p;
    prepare (p, 48000.0, 6000);
    setParam (p, "liveAnalysis", 1.0f);
    p.liveTimerTick();
    vyrLiveTest::Song song (twoSections(), 48000.0);
    vyrLiveTest::PlayHead head;
    double lockedAt = -1.0, shiftedAt = -1.0;
    juce::String statusInA, statusInB;
    vyrLiveTest::play (p, song, head, [&] (double t)
    {
        if (lockedAt < 0.0 && p.live.sectionKnown.load())
            lockedAt = t;
        if (shiftedAt < 0.0 && p.live.letter.load() == 'B')
            shiftedAt = t;
        juce::String character;
        p.live.copyStatus (std::abs (t - 10.0) < 0.01 ? statusInA : statusInB, character);
    });
    // Sixteen quarter-second hops fill the window; the shift needs three seconds of the new level.
    EXPECT_GE (lockedAt, 4.0);
    EXPECT_LE (lockedAt, 4.25);
    EXPECT_GE (shiftedAt, 15.75);
    EXPECT_LE (shiftedAt, 16.25);
    EXPECT_EQ (p.live.letter.load(), 'B');
    EXPECT_NE (statusInA, "listening...");
    EXPECT_NE (statusInB, "listening...");
    // The chorus is stamped where its level jumped, the verse at the start.
    EXPECT_EQ (p.live.copyDetail(), "form A 0.0  B 13.0");
    EXPECT_FALSE (p.live.requestPending.load()) << "Show posts nothing";
    EXPECT_EQ ((int) param (p, "masterStyle"), 5) << "Show changes no parameter";
}

namespace
{
struct Recipe
{
    int style, medium, lufs, mood;
    bool operator!= (const Recipe& o) const { return style != o.style || medium != o.medium || lufs != o.lufs || mood != o.mood; }
};

Recipe shownRecipe (VyrAudioProcessor& p)
{
    return { (int) param (p, "masterStyle"), (int) param (p, "masterMedium"), (int) param (p, "masterLufs"), (int) param (p, "masterMood") - 1 };
}

std::vector<Part> armSong()
{
    return { { 13.0, -24.0f, 700.0f, 0.25f, 2.0f }, { 17.0, -9.0f, 7000.0f, 0.45f, 6.0f } };
}

// The shortest song with two sections: A locks at 4 s and is old enough to shift when B starts.
std::vector<Part> shortSong()
{
    return { { 9.5, -24.0f, 700.0f, 0.25f, 2.0f }, { 5.5, -9.0f, 7000.0f, 0.45f, 6.0f } };
}
}

TEST (LiveProcessor, ArmAppliesEachSectionsRecipeAndAUserEditHoldsIt)
{
    VyrAudioProcessor p;
    prepare (p, 48000.0, 6000);
    setParam (p, "liveAnalysis", 2.0f);
    p.liveTimerTick();
    ASSERT_EQ (p.live.mode.load(), LiveSectionAnalyzer::arm);

    vyrLiveTest::Song song (armSong(), 48000.0);
    vyrLiveTest::PlayHead head;
    const Recipe start = shownRecipe (p);
    Recipe inA {}, inB {};
    bool heldAtEnd = false;
    int generationAtEdit = 0;
    vyrLiveTest::play (p, song, head, [&] (double t)
    {
        if (std::abs (t - 6.0) < 0.01)
        {
            inA = shownRecipe (p);
            EXPECT_EQ (p.styleIndex.load(), p.live.suggestedStyle.load());
            EXPECT_EQ (p.currentMood.load(), p.live.suggestedMood.load());
            // The user picks another loudness by hand while A sounds.
            setParam (p, "masterLufs", (float) ((inA.lufs + 2) % 5));
            generationAtEdit = p.recipeGeneration.load();
        }
        if (std::abs (t - 12.5) < 0.01)
        {
            heldAtEnd = p.live.userHold.load() && (int) param (p, "masterLufs") == (inA.lufs + 2) % 5;
            EXPECT_EQ (p.recipeGeneration.load(), generationAtEdit) << "nothing overwrote the user's edit";
        }
        if (std::abs (t - 25.0) < 0.01)
            inB = shownRecipe (p);
    });

    EXPECT_TRUE (start != inA) << "section A's recipe reached the parameters";
    EXPECT_TRUE (heldAtEnd);
    EXPECT_EQ (p.live.letter.load(), 'B');
    EXPECT_TRUE (inB != inA) << "section B brought its own recipe";
    EXPECT_EQ (inB.style, p.live.suggestedStyle.load());
    EXPECT_EQ (inB.lufs, p.live.suggestedLufs.load());
    EXPECT_GE (inB.lufs, 3) << "a loud section gets a loud target";
    EXPECT_LE (inA.lufs, 1) << "a quiet section gets a quiet target";
    EXPECT_FALSE (p.live.userHold.load()) << "the new letter ended the hold";
}

TEST (LiveProcessor, ReplayAfterAJumpBackGlidesBetweenTheStampedRecipes)
{
    VyrAudioProcessor p;
    prepare (p, 48000.0, 6000);
    setParam (p, "liveAnalysis", 2.0f);
    p.liveTimerTick();
    vyrLiveTest::Song song (shortSong(), 48000.0);
    vyrLiveTest::PlayHead head;
    vyrLiveTest::play (p, song, head, [] (double) {});
    ASSERT_EQ (p.live.mapSize.load(), 2);

    // The host jumps back to the start and plays the song again.
    vyrLiveTest::Song again (shortSong(), 48000.0);
    bool sawFirstHalf = false, sawSecondHalf = false;
    vyrLiveTest::play (p, again, head, [&] (double)
    {
        if (! p.live.xfadeActive.load())
            return;
        const float u = p.live.xfadeProgress.load();
        const auto end = u < 0.5f ? p.live.xfadeFrom.load() : p.live.xfadeTo.load();
        EXPECT_EQ (p.styleIndex.load(), end.style) << "progress " << u;
        EXPECT_EQ (p.lufsIndex.load(), end.lufs) << "progress " << u;
        EXPECT_EQ (p.currentMood.load(), end.mood) << "progress " << u;
        EXPECT_EQ ((int) param (p, "masterMood"), end.mood + 1);
        (u < 0.5f ? sawFirstHalf : sawSecondHalf) = true;
    });
    EXPECT_TRUE (p.live.replaying.load());
    EXPECT_TRUE (sawFirstHalf && sawSecondHalf);
    EXPECT_EQ (p.live.letter.load(), 'B');
}

TEST (LiveProcessor, LiveBlocksAllocateWaitAndPostNothingInShowArmAndReplay)
{
    VyrAudioProcessor p;
    prepare (p, 48000.0, 4800);
    vyrLiveTest::PlayHead head;
    head.info.setIsPlaying (true);
    p.setPlayHead (&head);
    juce::AudioBuffer<float> buf (2, 4800);
    juce::MidiBuffer midi;

    for (int mode : { 1, 2 })
    {
        setParam (p, "liveAnalysis", (float) mode);
        p.liveTimerTick();
        for (int pass = 0; pass < (mode == 2 ? 2 : 1); ++pass)   // the second pass in Arm replays the map
        {
            vyrLiveTest::Song song (shortSong(), 48000.0);
            std::int64_t pos = 0;
            for (bool more = true; more; pos += 4800)
            {
                more = song.next (buf);
                head.info.setTimeInSamples (pos);
                {
                    vyrTest::AllocationGuard guard;
                    p.processBlock (buf, midi);
                    ASSERT_EQ (guard.count(), 0) << "mode " << mode << " at " << pos;
                    ASSERT_TRUE (guard.realtimeSafe()) << "mode " << mode << " at " << pos << ": a wait or a message post";
                }
                p.liveTimerTick();
            }
        }
    }
    EXPECT_TRUE (p.live.replaying.load());
    EXPECT_GE (p.live.mapSize.load(), 2);
}

TEST (LiveProcessor, SwitchingLiveOffByAutomationResetsTheAnalyser)
{
    VyrAudioProcessor p;
    prepare (p, 48000.0, 6000);
    setParam (p, "liveAnalysis", 1.0f);
    p.liveTimerTick();
    vyrLiveTest::Song song ({ { 6.0, -14.0f, 2000.0f, 0.3f, 4.0f } }, 48000.0);
    vyrLiveTest::PlayHead head;
    vyrLiveTest::play (p, song, head, [] (double) {});
    ASSERT_TRUE (p.live.sectionKnown.load());
    ASSERT_GT (p.live.ringCount, 15);

    setParam (p, "liveAnalysis", 0.0f);   // host automation
    p.liveTimerTick();
    EXPECT_EQ (p.live.mode.load(), LiveSectionAnalyzer::off);
    EXPECT_EQ (p.live.lastMode, 0);
    EXPECT_FALSE (p.live.sectionKnown.load());
    EXPECT_EQ (p.live.mapSize.load(), 0);
    EXPECT_EQ (p.live.ringCount, 0) << "the hop window starts again";
    EXPECT_FALSE (p.live.ready);
    EXPECT_EQ (p.live.letterVariantCount, 0);

    // Back on, the analyser listens from scratch: 16 new hops before the first lock.
    setParam (p, "liveAnalysis", 1.0f);
    p.liveTimerTick();
    vyrLiveTest::Song more ({ { 3.5, -14.0f, 2000.0f, 0.3f, 4.0f } }, 48000.0);
    vyrLiveTest::play (p, more, head, [] (double) {}, 6 * 48000);
    EXPECT_FALSE (p.live.sectionKnown.load());
}

TEST (LiveProcessor, PendingRequestsHoldsGlidesAndMoodNotices)
{
    VyrAudioProcessor p;
    prepare (p, 48000.0, 512);
    setParam (p, "liveAnalysis", 2.0f);
    p.liveTimerTick();
    auto post = [&p] (int style, int lufs, int mood)
    {
        const juce::SpinLock::ScopedLockType lock (p.live.requestLock);
        p.live.request = { style, 2, lufs, mood, 'B', 0, false };
        p.live.requestPending = true;
    };

    // A held user recipe drops the request.
    const auto before = shownRecipe (p);
    p.live.userHold = true;
    post (0, 4, 3);
    p.applyPendingLiveRecipe();
    EXPECT_FALSE (p.live.requestPending.load());
    EXPECT_FALSE (shownRecipe (p) != before);

    // A running glide: only the mood follows.
    p.live.userHold = false;
    p.live.xfadeActive = true;
    const int generation = p.recipeGeneration.load();
    post (0, 4, 3);
    p.applyPendingLiveRecipe();
    EXPECT_EQ (p.currentMood.load(), 3);
    EXPECT_EQ (p.recipeGeneration.load(), generation);
    EXPECT_FALSE (shownRecipe (p) != before);
    p.live.xfadeActive = false;

    // Moods outside the table sound as no mood.
    for (int mood : { 500, -1 })
    {
        post (0, 4, mood);
        p.applyPendingLiveRecipe();
        EXPECT_EQ (p.currentMood.load(), -1);
        EXPECT_EQ ((int) param (p, "masterMood"), 0);
        EXPECT_EQ ((int) param (p, "masterStyle"), 0);
        EXPECT_EQ ((int) param (p, "masterLufs"), 4);
        EXPECT_EQ ((int) param (p, "masterMedium"), 2);
        EXPECT_EQ (p.lastLiveLetter.load(), 'B');
    }

    // Mood notices: choice 0 for none, 176 at most, one gesture per new letter.
    struct Counter : juce::AudioProcessorParameter::Listener
    {
        int gestures = 0;
        void parameterValueChanged (int, float) override {}
        void parameterGestureChanged (int, bool starting) override { gestures += starting ? 1 : 0; }
    } counter;
    auto* mood = p.apvts.getParameter ("masterMood");
    mood->addListener (&counter);
    p.notifyMasterMood (-1, 0);
    EXPECT_EQ ((int) param (p, "masterMood"), 0);
    p.notifyMasterMood (200, 0);
    EXPECT_EQ ((int) param (p, "masterMood"), 176);
    counter.gestures = 0;
    p.notifyMasterMood (4, 'B');
    p.notifyMasterMood (4, 'B');
    EXPECT_EQ ((int) param (p, "masterMood"), 5);
    EXPECT_EQ (counter.gestures, 1);
    p.notifyMasterMood (4, 'C');
    EXPECT_EQ (counter.gestures, 2) << "a new letter writes the same mood again";
    mood->removeListener (&counter);

    // A mood preset index past the table does nothing.
    const int g = p.recipeGeneration.load();
    p.applyMoodPreset ((int) p.live.moodPresets.size());
    EXPECT_EQ (p.recipeGeneration.load(), g);
    p.applyMoodPreset (7);
    EXPECT_EQ (p.currentMood.load(), 7);
    EXPECT_EQ ((int) param (p, "masterMood"), 8);
    EXPECT_EQ (p.styleIndex.load(), p.live.moodPresets[7].style);
}

TEST (LiveProcessor, LetterSnapshotsOverlayOnlyWhatTheyHold)
{
    VyrAudioProcessor p;
    auto& chip = p.live.letterChips[2];
    chip.enabledMask = 0;   // every module off
    chip.trim = 0.9f;
    for (auto& m : chip.mix)
        m = 0.2f;
    auto snapshotOfParams = [&p]
    {
        std::vector<float> v;
        for (auto* param : p.getParameters())
            v.push_back (param->getValue());
        return v;
    };
    const auto untouched = snapshotOfParams();

    p.overlaySectionSnap ('C', false);   // variant 0: nothing stored yet
    EXPECT_EQ (snapshotOfParams(), untouched);

    chip.hasSnapshot = true;
    chip.variant = 1;
    p.overlaySectionSnap ('C', true);
    EXPECT_LT (param (p, "compressor_enabled"), 0.5f);
    EXPECT_LT (param (p, "limiter_enabled"), 0.5f);
    EXPECT_EQ (param (p, "tovu_enabled"), vyrTest::param (p, "tovu_enabled"));
    EXPECT_FLOAT_EQ (p.apvts.getParameter ("tovu_enabled")->getValue(), untouched[(size_t) p.apvts.getParameter ("tovu_enabled")->getParameterIndex()]);
    EXPECT_FLOAT_EQ (p.apvts.getParameter ("masterTrim")->getValue(), untouched[(size_t) p.apvts.getParameter ("masterTrim")->getParameterIndex()]);

    p.overlaySectionSnap ('C', false);
    EXPECT_NEAR (p.apvts.getParameter ("masterTrim")->getValue(), 0.9f, 1.0e-4f);
    EXPECT_NEAR (p.apvts.getParameter ("limiter_mix")->getValue(), 0.2f, 1.0e-4f);
    EXPECT_FALSE (p.applyingRecipe.load());
}

TEST (LiveProcessor, ThumbsOnAFrozenLetterOnlyLog)
{
    juce::TemporaryFile temp (".jsonl");
    VyrAudioProcessor p;
    p.live.setTrainingFile (temp.getFile());
    EXPECT_EQ (p.markLiveThumbs (false), 0);
    p.live.sectionKnown = true;
    p.live.letter = 'A';
    p.live.letterChips[0].frozen = true;
    const auto before = shownRecipe (p);
    EXPECT_EQ (p.markLiveThumbs (true), 1);
    EXPECT_EQ (p.markLiveThumbs (false), 3);
    EXPECT_FALSE (shownRecipe (p) != before);
    EXPECT_TRUE (temp.getFile().loadFileAsString().contains ("\"dislike\""));

    // Not frozen: a dislike proposes another mood preset and applies it.
    p.live.letterChips[0].frozen = false;
    p.live.letterChips[0].mood = 0;
    for (int i = 0; i < 6; ++i)
        p.live.currentFeature.imprint[i] = 1.0f / 6.0f;
    p.live.currentFeature.density = 0.7f;
    p.live.currentFeature.rhythmHz = 5.0f;
    p.live.currentFeature.slowA = -12.0f;
    EXPECT_EQ (p.markLiveThumbs (false), 2);
    EXPECT_NE (p.currentMood.load(), 0);
    EXPECT_EQ (p.currentMood.load(), p.live.letterChips[0].mood.load());
    EXPECT_EQ ((int) param (p, "masterMood"), p.currentMood.load() + 1);
}

TEST (LiveProcessor, ARestoreEndsTheReplayGlideAndDropsTheLiveRequest)
{
    VyrAudioProcessor p;
    prepare (p, 48000.0, 6000);
    setParam (p, "liveAnalysis", 2.0f);
    p.liveTimerTick();
    vyrLiveTest::Song song (shortSong(), 48000.0);
    vyrLiveTest::PlayHead head;
    vyrLiveTest::play (p, song, head, [] (double) {});
    juce::MemoryBlock saved;
    p.getStateInformation (saved);

    // Play again from the start until the replay glides into the second entry.
    vyrLiveTest::Song again (shortSong(), 48000.0);
    bool restored = false;
    vyrLiveTest::play (p, again, head, [&] (double)
    {
        if (restored || ! p.live.xfadeActive.load())
            return;
        {
            const juce::SpinLock::ScopedLockType lock (p.live.requestLock);
            p.live.requestPending = true;
        }
        p.setStateInformation (saved.getData(), (int) saved.getSize());
        restored = true;
        EXPECT_FALSE (p.live.xfadeActive.load());
        EXPECT_FALSE (p.live.replaying.load());
        EXPECT_FALSE (p.live.requestPending.load());
    });
    ASSERT_TRUE (restored) << "the replay glided";
    EXPECT_FALSE (p.live.replaying.load()) << "the rest of the pass plays without the replay";
}
