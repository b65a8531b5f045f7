// The section map: stamping, merging, the full map, frozen and disliked letters, the cue text,
// firing entries on the audio thread and the replay glide between entries.
#include <gtest/gtest.h>
#include "Live/LiveSectionAnalyzer.h"
#include "Model/QuarnPresets.h"

namespace
{
constexpr std::int64_t kRate = 48000;

struct MapAnalyser : LiveSectionAnalyzer
{
    MapAnalyser()
    {
        sampleRate = (double) kRate;
        setMode (arm);
    }

    void stamp (double seconds, char l, int style = 5, int lufs = 2, int mood = -1)
    {
        stampMap ((std::int64_t) (seconds * kRate), { style, 3, lufs, mood, l, 0, false });
    }

    std::int64_t at (int i) const { return sectionMap[i].at; }
};

vyrLive::ApplyRequest takeRequest (LiveSectionAnalyzer& a)
{
    const juce::SpinLock::ScopedLockType lock (a.requestLock);
    a.requestPending = false;
    return a.request;
}

void fire (LiveSectionAnalyzer& a, double seconds)
{
    const juce::SpinLock::ScopedLockType lock (a.mapLock);
    a.fireMapAt ((std::int64_t) (seconds * kRate));
}
}

TEST (LiveMap, StampsUpdateNearbyEntriesAndMerge)
{
    {
        MapAnalyser a;
        a.stamp (10.0, 'A', 1);
        a.stamp (15.0, 'A', 2);   // same letter within 6 s: updated in place, at the earlier position
        ASSERT_EQ (a.mapCount, 1);
        EXPECT_EQ (a.at (0), 10 * kRate);
        EXPECT_EQ (a.sectionMap[0].request.style, 2);
        EXPECT_EQ (a.sectionMap[0].request.position, 10 * kRate);
        a.stamp (22.0, 'A', 3);   // 7 s after: a new entry
        EXPECT_EQ (a.mapCount, 2);
        a.stamp (23.5, 'B', 4);   // another letter within 2 s of an entry takes that entry
        EXPECT_EQ (a.mapCount, 2);
        EXPECT_EQ (a.sectionMap[1].request.letter, 'B');
        EXPECT_EQ (a.at (1), 22 * kRate);
        EXPECT_EQ (a.mapFirst.load(), 10 * kRate);
        EXPECT_EQ (a.mapLast.load(), 22 * kRate);
        EXPECT_EQ (a.mapSize.load(), 2);
    }
    {
        // Entries of one letter that end up within 2 s of each other (here after a letter was
        // rewritten) become one, at the earlier position with that entry's recipe.
        MapAnalyser a;
        a.stamp (10.0, 'A', 1);
        a.stamp (13.0, 'B', 2);
        ASSERT_EQ (a.mapCount, 2);
        a.sectionMap[1].request.letter = 'A';
        a.sectionMap[1].at = 9 * kRate;
        a.stamp (30.0, 'C', 6);   // every stamp runs the merge pass
        ASSERT_EQ (a.mapCount, 2);
        EXPECT_EQ (a.at (0), 9 * kRate);
        EXPECT_EQ (a.sectionMap[0].request.style, 2);
        EXPECT_EQ (a.sectionMap[0].request.position, 9 * kRate);
        EXPECT_EQ (a.sectionMap[1].request.letter, 'C');
    }
}

TEST (LiveMap, TheThirtyThirdStampDropsTheFirstEntry)
{
    MapAnalyser a;
    for (int i = 0; i < 33; ++i)
        a.stamp (10.0 * i, (char) ('A' + i % 7), i % 7);
    EXPECT_EQ (a.mapCount, 32);
    EXPECT_EQ (a.at (0), 10 * kRate) << "the entry at 0 s is gone";
    EXPECT_EQ (a.at (31), 320 * kRate);
    EXPECT_EQ (a.mapSize.load(), 32);
}

TEST (LiveMap, FrozenAndDislikedLettersKeepTheirRecipe)
{
    MapAnalyser a;
    a.stamp (10.0, 'A', 1, 1, 7);
    a.letterChips[0].frozen = true;
    a.stamp (8.0, 'A', 4, 4, 9);
    EXPECT_EQ (a.at (0), 8 * kRate) << "only the position moves";
    EXPECT_EQ (a.sectionMap[0].request.style, 1);
    EXPECT_EQ (a.sectionMap[0].request.mood, 7);
    EXPECT_EQ (a.sectionMap[0].request.position, 8 * kRate);

    a.stamp (40.0, 'B', 2, 3);
    auto& b = a.letterChips[1];
    b.disliked = true;
    b.ban = { 6, 3, 0, 1, -1 };
    a.stamp (42.0, 'B', 6, 0);   // the banned recipe again: the entry keeps its own
    EXPECT_EQ (a.sectionMap[1].request.style, 2);
    EXPECT_EQ (a.sectionMap[1].request.lufs, 3);
    a.stamp (43.0, 'B', 5, 0);   // another recipe is taken
    EXPECT_EQ (a.sectionMap[1].request.style, 5);
}

TEST (LiveMap, CueTextListsTheEntriesInTimeOrder)
{
    MapAnalyser a;
    EXPECT_EQ (a.copyDetail(), "");
    a.stamp (0.0, 'A');
    EXPECT_EQ (a.copyDetail(), "form A 0.0");
    a.stamp (31.25, 'C');
    a.stamp (12.5, 'B');
    a.letterChips[1].variant = 1;
    a.letterChips[2].variant = 2;
    {
        const juce::SpinLock::ScopedLockType lock (a.mapLock);
        a.rebuildMapCueLocked();
    }
    EXPECT_EQ (a.copyDetail(), "form A 0.0  B' 12.5  C'' 31.2");
    {
        // A letter outside A..G is shown by its place in time.
        const juce::SpinLock::ScopedLockType lock (a.mapLock);
        a.sectionMap[1].request.letter = 'Z';
        a.sectionMap[2].request.letter = 'Q';
        a.letterChips[1].variant = 0;
        a.rebuildMapCueLocked();
    }
    EXPECT_EQ (a.copyDetail(), "form A 0.0  B 12.5  C'' 31.2");

    // A full map of long texts stops at the buffer.
    MapAnalyser full;
    for (int i = 0; i < 32; ++i)
        full.stamp (1000.0 + 10.0 * i, 'A' + (char) (i % 7));
    const auto text = full.copyDetail();
    EXPECT_LE (text.length(), 383);
    EXPECT_TRUE (text.startsWith ("form A 1000.0  B 1010.0"));
}

TEST (LiveMap, FiringPostsEachEntryOnceAndRespectsTheHold)
{
    MapAnalyser a;
    a.stamp (10.0, 'A', 1, 1, 3);
    a.stamp (20.0, 'B', 2, 2, 4);

    fire (a, 5.0);
    EXPECT_FALSE (a.requestPending.load()) << "before the first entry";
    EXPECT_EQ (a.lastFiredAt.load(), -1);

    fire (a, 12.0);
    ASSERT_TRUE (a.requestPending.load());
    auto r = takeRequest (a);
    EXPECT_EQ (r.style, 1);
    EXPECT_EQ (r.letter, 'A');
    EXPECT_TRUE (r.fromMap);
    EXPECT_EQ (a.lastFiredAt.load(), 10 * kRate);
    fire (a, 12.5);
    EXPECT_FALSE (a.requestPending.load()) << "the same recipe near the last fired entry";

    fire (a, 21.0);
    EXPECT_TRUE (a.requestPending.load());
    EXPECT_EQ (takeRequest (a).style, 2);

    // The user holds letter A: its entry posts nothing and the hold stays.
    a.held.store ({ 0, 0, 0, 'A', 0.5f });
    a.userHold = true;
    a.lastFiredAt = -1;
    fire (a, 11.0);
    EXPECT_FALSE (a.requestPending.load());
    EXPECT_TRUE (a.userHold.load());
    // Another letter's entry fires and ends the hold.
    fire (a, 25.0);
    EXPECT_TRUE (a.requestPending.load());
    EXPECT_FALSE (a.userHold.load());

    // Show only records what it would fire.
    MapAnalyser show;
    show.setMode (LiveSectionAnalyzer::show);
    show.stamp (10.0, 'A', 1);
    fire (show, 11.0);
    EXPECT_FALSE (show.requestPending.load());
    EXPECT_EQ (show.lastFiredAt.load(), 10 * kRate);
}

TEST (LiveMap, AudioThreadJumpsStartAReplayThatGlidesBetweenEntries)
{
    MapAnalyser a;
    a.stamp (10.0, 'A', 0, 1, 3);
    a.stamp (14.0, 'B', 4, 4, 5);
    juce::AudioBuffer<float> buf (2, 480);
    buf.clear();

    auto block = [&] (double seconds)
    {
        a.analyseBlock (buf, (double) kRate, (std::int64_t) (seconds * kRate), true, true);
    };
    block (30.0);
    block (30.01);
    EXPECT_FALSE (a.replayRequested.load());
    block (2.0);   // backwards
    EXPECT_TRUE (a.replayRequested.load());
    EXPECT_TRUE (a.startReplayIfRequested());
    // 3.5 s compensation: A at 6.5 s, B at 10.5 s; the glide window around B is +-1 s.
    ASSERT_EQ (a.at (1), (std::int64_t) (10.5 * kRate));

    block (8.0);
    EXPECT_FALSE (a.xfadeActive.load());
    EXPECT_EQ (a.letter.load(), 'A');
    EXPECT_TRUE (a.requestPending.load()) << "A fired at the play position";
    takeRequest (a);

    block (10.5);   // B's entry: the middle of the glide
    ASSERT_TRUE (a.xfadeActive.load());
    EXPECT_NEAR (a.xfadeProgress.load(), 0.5f, 1.0e-4f);
    EXPECT_EQ (a.xfadeFrom.load().style, 0);
    EXPECT_EQ (a.xfadeTo.load().style, 4);
    EXPECT_EQ (a.xfadeToLetter.load(), 'B');
    EXPECT_EQ (a.letter.load(), 'B');
    EXPECT_EQ (a.suggestedMood.load(), 5);
    const float trimA = (vyrQuarn::gLufsRecipes[1].trim + 50.0f) * 0.01f;
    EXPECT_NEAR (a.xfadeFromTrim.load(), juce::jlimit (0.0f, 1.0f, trimA), 1.0e-6f);
    EXPECT_FALSE (a.requestPending.load()) << "no firing while a glide runs";

    block (10.0);
    EXPECT_NEAR (a.xfadeProgress.load(), 0.25f, 1.0e-4f);
    EXPECT_EQ (a.suggestedMood.load(), 3);
    block (12.0);
    EXPECT_FALSE (a.xfadeActive.load());
    EXPECT_TRUE (a.requestPending.load()) << "past the glide, B fires";
}
