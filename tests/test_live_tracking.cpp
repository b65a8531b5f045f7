// Section tracking from synthetic hops: when a section locks, when a level departure becomes a new
// section, letters, stamps, modes and the replay start.
#include <gtest/gtest.h>
#include "Live/LiveSectionAnalyzer.h"

namespace
{
using Feature = LiveSectionAnalyzer::Feature;

Feature hopAt (float slowA, const float* imprint = nullptr)
{
    static const float plain[6] = { 0.2f, 0.45f, 0.12f, 0.15f, 0.06f, 0.02f };
    Feature f;
    std::copy (imprint != nullptr ? imprint : plain, (imprint != nullptr ? imprint : plain) + 6, f.imprint);
    f.density = LiveSectionAnalyzer::densityOf (f.imprint);
    f.rhythmHz = 5.5f;
    f.slowA = slowA;
    f.silent = slowA < -55.0f;
    f.crest = 12.0f;
    return f;
}

// An analyser at 48 kHz in Show, with its tables and an empty training log of its own.
struct Analyser : LiveSectionAnalyzer
{
    std::int64_t position = 0;

    Analyser()
    {
        setTrainingFile (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("vyr-tracking-none.jsonl"));
        loadStyleTable();
        sampleRate = 48000.0;
        hopLength = 12000.0;
        reset();
        setMode (show);
    }

    // Publishes one hop as the audio thread does and runs one timer tick on it (the section then ages
    // by exactly a quarter second per hop).
    void hop (Feature f)
    {
        f.position = position;
        position += 12000;
        {
            const juce::SpinLock::ScopedLockType lock (frameLock);
            hopFrame = f;
            ++hopSeq;
        }
        trackNewestHop();
    }

    void hops (int n, float slowA)
    {
        for (int i = 0; i < n; ++i)
            hop (hopAt (slowA));
    }
};
}

TEST (LiveTracking, TheSixteenthNonSilentHopLocksLetterA)
{
    Analyser a;
    a.hops (3, -80.0f);   // silence is not counted
    for (int i = 1; i <= 15; ++i)
    {
        a.hop (hopAt (-14.0f));
        juce::String status, character;
        a.copyStatus (status, character);
        ASSERT_FALSE (a.sectionKnown.load()) << "hop " << i;
        ASSERT_EQ (status, "listening...");
    }
    a.hop (hopAt (-14.0f));
    EXPECT_TRUE (a.sectionKnown.load());
    EXPECT_EQ (a.letter.load(), 'A');
    EXPECT_EQ (a.mapSize.load(), 1);
    juce::String status, character;
    a.copyStatus (status, character);
    EXPECT_NE (status, "listening...");
    EXPECT_NE (character, "-");
}

TEST (LiveTracking, ShiftNeedsTwoDecibelsFiveSecondsAndTwelveHops)
{
    struct Case
    {
        float departure;
        int steadyHopsAfterLock;   // hops at the section level after the lock, before the departure
        int shiftAfterDepartingHops; // 0: never shifts within 30 hops
    };
    const Case cases[] = {
        { 2.0f, 20, 12 },    // exactly 2 dB counts
        { -2.0f, 20, 12 },   // downwards too
        { 1.99f, 20, 0 },    // just under does not
        { 3.0f, 18, 13 },    // the first departing hop arrives at 4.75 s and is ignored
        { 3.0f, 10, 21 },    // starts at 2.5 s: departures count from 5 s on
    };
    for (const auto& c : cases)
    {
        Analyser a;
        a.hops (16, -14.0f);
        ASSERT_TRUE (a.sectionKnown.load());
        a.hops (c.steadyHopsAfterLock, -14.0f);
        int shiftedAfter = 0;
        for (int i = 1; i <= 30 && shiftedAfter == 0; ++i)
        {
            a.hop (hopAt (-14.0f + c.departure));
            if (a.letter.load() != 'A')
                shiftedAfter = i;
        }
        EXPECT_EQ (shiftedAfter, c.shiftAfterDepartingHops) << "departure " << c.departure << " after " << c.steadyHopsAfterLock;
        if (c.shiftAfterDepartingHops > 0)
        {
            EXPECT_EQ (a.letter.load(), 'B');
            EXPECT_EQ (a.mapSize.load(), 2);
        }
    }
}

TEST (LiveTracking, SilenceNeitherAgesTheSectionNorKeepsAShiftPending)
{
    Analyser a;
    a.hops (16, -14.0f);
    a.hops (4, -14.0f);
    const float age = a.sectionSeconds;
    a.hops (10, -90.0f);
    EXPECT_FLOAT_EQ (a.sectionSeconds, age);

    a.hops (20, -14.0f);   // well past 5 s
    a.hops (6, -10.0f);
    EXPECT_TRUE (a.shiftPending);
    a.hop (hopAt (-90.0f));
    EXPECT_FALSE (a.shiftPending);
    EXPECT_FLOAT_EQ (a.shiftSeconds, 0.0f);
    a.hops (11, -10.0f);
    EXPECT_EQ (a.letter.load(), 'A') << "the pending shift started again after the silence";
    a.hop (hopAt (-10.0f));
    EXPECT_EQ (a.letter.load(), 'B');
}

TEST (LiveTracking, StampsComeBeforeTheHopThatDecided)
{
    {
        // After silence, the lock stamp lands on the section's first hop within the last six seconds
        // that is at most four seconds old.
        Analyser a;
        a.hops (20, -90.0f);
        a.hops (16, -14.0f);
        ASSERT_EQ (a.mapCount, 1);
        EXPECT_EQ (a.sectionMap[0].at, 20 * 12000);
        EXPECT_NEAR (a.lateSeconds.load(), 3.75f, 1.0e-6f);
    }
    {
        // With no history in the last six seconds the stamp is still four seconds back, never below 0.
        Analyser a;
        a.reset();
        a.setMode (LiveSectionAnalyzer::show);
        a.lastHopPosition = 2 * 48000;
        a.lockSection (hopAt (-14.0f), false);
        a.commitShift (hopAt (-10.0f));
        ASSERT_EQ (a.mapCount, 1);
        EXPECT_EQ (a.sectionMap[0].at, 0);
        a.lastHopPosition = 100 * 48000;
        a.commitShift (hopAt (-20.0f));
        ASSERT_EQ (a.mapCount, 2);
        EXPECT_EQ (a.sectionMap[1].at, 96 * 48000);
    }
    {
        // A level jump three seconds back and a run of large distances from four seconds back:
        // the earlier of the two.
        Analyser a;
        a.hops (40, -14.0f);
        const std::int64_t newest = a.position;   // the next hop's position
        for (int k = 0; k < a.historyCount; ++k)
        {
            auto& h = a.history[k];
            const auto back = newest - 12000 - h.at;   // distance from the hop about to arrive
            h.z = back <= 4 * 48000 ? 3.5f : 0.5f;
            if (back < 3 * 48000)
                h.hop.slowA = -8.0f;
        }
        a.lastHopPosition = newest - 12000;
        a.commitShift (hopAt (-8.0f));
        const auto jumpAt = newest - 12000 - 3 * 48000 + 12000;
        const auto zAt = newest - 12000 - 4 * 48000;
        ASSERT_LT (zAt, jumpAt);
        bool found = false;
        for (int i = 0; i < a.mapCount; ++i)
            found = found || a.sectionMap[i].at == zAt;
        EXPECT_TRUE (found);
    }
}

TEST (LiveTracking, LettersComeBackWithinTwoDecibelsAndGoRoundRobin)
{
    Analyser a;
    a.hops (16, -14.0f);
    a.lockSection (hopAt (-25.0f), true);
    EXPECT_EQ (a.letter.load(), 'B');
    a.lockSection (hopAt (-14.5f), true);
    EXPECT_EQ (a.letter.load(), 'A') << "within 2 dB of A's prototype";
    for (float level : { -35.0f, -40.0f, -45.0f, -5.0f, 0.0f })
        a.lockSection (hopAt (level), true);
    EXPECT_EQ (a.letter.load(), 'G');
    EXPECT_EQ (a.letterVariantCount, 7);
    a.letterCursor = 9;
    a.lockSection (hopAt (20.0f), true);
    EXPECT_EQ (a.letter.load(), 'C') << "all seven in use: letterCursor mod 7";
    EXPECT_EQ (a.letterCursor, 10);
}

TEST (LiveTracking, OffEmptiesEverythingAndArmingPostsTheGuess)
{
    Analyser a;
    a.hops (16, -14.0f);
    ASSERT_EQ (a.mapSize.load(), 1);
    a.letterChips[0].liked = true;

    a.setMode (LiveSectionAnalyzer::arm);
    EXPECT_TRUE (a.requestPending.load());
    EXPECT_EQ (a.request.style, a.suggestedStyle.load());
    EXPECT_EQ (a.request.letter, 'A');
    EXPECT_EQ (a.lastApplied.load().style, a.suggestedStyle.load());

    // The user holds the same letter: a post sends nothing and the hold stays.
    a.requestPending = false;
    a.held.store ({ 1, 1, 1, 'A', 0.5f });
    a.userHold = true;
    a.armPost();
    EXPECT_FALSE (a.requestPending.load());
    EXPECT_TRUE (a.userHold.load());

    a.setMode (LiveSectionAnalyzer::off);
    EXPECT_EQ (a.mapSize.load(), 0);
    EXPECT_EQ (a.mapCount, 0);
    EXPECT_FALSE (a.sectionKnown.load());
    EXPECT_FALSE (a.letterChips[0].liked);
    EXPECT_EQ (a.copyDetail(), "");
    juce::String status, character;
    a.copyStatus (status, character);
    EXPECT_EQ (status, "listening...");
    EXPECT_EQ (character, "-");
}

TEST (LiveTracking, ReplayStartMovesEntriesEarlierByTheRecognitionLatency)
{
    struct Case
    {
        float late;
        double shiftSeconds;
    };
    for (const auto& c : { Case { 0.0f, 3.5 }, Case { 0.5f, 3.5 }, Case { 1.0f, 2.5 }, Case { 3.0f, 3.0 }, Case { 6.0f, 4.0 } })
    {
        Analyser a;
        a.stampMap (20 * 48000, { 1, 2, 3, 4, 'B', 0, false });
        a.stampMap (48000, { 0, 1, 2, 3, 'A', 0, false });
        a.stampMap (3 * 48000 + 24000, { 2, 2, 2, 2, 'C', 0, false });
        ASSERT_EQ (a.mapCount, 3);
        a.lateSeconds = c.late;
        EXPECT_FALSE (a.startReplayIfRequested()) << "not requested";
        a.replayRequested = true;
        ASSERT_TRUE (a.startReplayIfRequested());
        EXPECT_TRUE (a.replaying.load());
        EXPECT_FALSE (a.replayRequested.load());
        const auto shift = (std::int64_t) std::llround (48000.0 * c.shiftSeconds);
        EXPECT_EQ (a.sectionMap[0].request.letter, 'A');
        EXPECT_EQ (a.sectionMap[1].request.letter, 'C');
        EXPECT_EQ (a.sectionMap[0].at, 0);
        EXPECT_EQ (a.sectionMap[1].at, 2 * 48000) << "pushed to two seconds apart";
        EXPECT_EQ (a.sectionMap[2].at, 20 * 48000 - shift);
        EXPECT_EQ (a.sectionMap[2].request.position, a.sectionMap[2].at);
        EXPECT_EQ (a.mapFirst.load(), a.sectionMap[0].at);
        // No stamps while replaying.
        a.stampMap (40 * 48000, { 1, 2, 3, 4, 'D', 0, false });
        EXPECT_EQ (a.mapCount, 3);
    }
}
