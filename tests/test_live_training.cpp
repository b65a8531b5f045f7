// The training log: the lines Like, Dislike and Update append, what loading accepts and skips, and
// that no line is lost or merged.
#include <gtest/gtest.h>
#include "ProcessorFixture.h"

namespace
{
struct TempLog
{
    juce::TemporaryFile temp { ".jsonl" };
    juce::File file = temp.getFile();
    void write (const juce::String& text) { file.replaceWithText (text, false, false, nullptr); }
    juce::StringArray lines() const
    {
        juce::StringArray l;
        l.addTokens (file.loadFileAsString(), "\n", {});
        l.removeEmptyStrings();
        return l;
    }
};

// Positions of the quoted keys in a line, which must come in this order.
void expectKeyOrder (const juce::String& line, std::initializer_list<const char*> keys)
{
    int last = -1;
    for (auto* k : keys)
    {
        const int at = line.indexOf (juce::String ("\"") + k + "\":");
        ASSERT_GT (at, last) << k << " in " << line;
        last = at;
    }
}
}

TEST (LiveTraining, LikeDislikeAndUpdateEachAppendOneWellFormedLine)
{
    TempLog log;
    auto p = vyrTest::makeProcessor (15);
    auto& live = p->live;
    live.setTrainingFile (log.file);

    EXPECT_EQ (p->markLiveThumbs (true), 0) << "no section known";
    EXPECT_FALSE (log.file.exists());

    live.sectionKnown = true;
    live.letter = 'B';
    auto& chip = live.letterChips[1];
    chip.style = 4;
    chip.medium = 2;
    chip.lufs = 3;
    chip.mask = 12;
    chip.mood = 3;
    const float imprint[6] = { 0.3f, 0.45f, 0.1f, 0.1f, 0.04f, 0.01f };
    std::copy (std::begin (imprint), std::end (imprint), live.currentFeature.imprint);
    live.currentFeature.density = 0.75f;
    live.currentFeature.rhythmHz = 5.5f;
    live.currentFeature.slowA = -10.25f;

    EXPECT_EQ (p->markLiveThumbs (true), 1);
    EXPECT_TRUE (chip.liked);
    EXPECT_EQ (log.lines().size(), 1);
    const int dislike = p->markLiveThumbs (false);
    EXPECT_EQ (log.lines().size(), 2);
    EXPECT_TRUE (dislike == 2 || dislike == 3);
    EXPECT_TRUE (chip.disliked);
    EXPECT_EQ (chip.ban.style, 4);
    EXPECT_EQ (chip.ban.mood, 3);

    vyrLive::RecipeRef given { {}, 4, 2, 3, 12, 3, false };
    vyrLive::RecipeRef revised { {}, 1, 3, 2, 1, -1, true };
    float quarn[9] = { 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f };
    float mix[13] {};
    mix[12] = 0.75f;
    live.appendTraining ("prime", given, &revised, quarn, mix, 13);

    const auto raw = log.file.loadFileAsString();
    const auto lines = log.lines();
    ASSERT_EQ (lines.size(), 3);
    EXPECT_TRUE (raw.endsWith ("\r\n"));
    EXPECT_EQ (raw.length() - raw.removeCharacters ("\r").length(), 3) << "every line ends in CR LF and holds no other CR";

    const char* labels[3] = { "like", "dislike", "prime" };
    for (int i = 0; i < 3; ++i)
    {
        const auto line = lines[i].trimEnd();
        expectKeyOrder (line, { "ts", "letter", "label", "imprint", "density", "rhythmHz", "slowA", "original" });
        expectKeyOrder (line.fromFirstOccurrenceOf ("\"original\":", false, false), { "id", "style", "medium", "lufs", "mask", "moodIndex", "imgWide" });
        const auto v = juce::JSON::parse (line);
        ASSERT_TRUE (v.isObject()) << line;
        EXPECT_EQ (v["label"].toString(), labels[i]);
        EXPECT_EQ (v["letter"].toString(), "B");
        EXPECT_NEAR ((double) v["slowA"], -10.25, 1.0e-6);
        EXPECT_EQ (v["imprint"].size(), 6);
        EXPECT_EQ (v["original"]["id"].toString(), live.moodPresets[3].id) << "the id of mood 3 is filled in";
        EXPECT_TRUE (v["ts"].toString().containsChar ('T'));
        EXPECT_EQ (v.hasProperty ("revised"), i == 2);
        EXPECT_EQ (v.hasProperty ("quarn"), i == 2);
        EXPECT_EQ (v.hasProperty ("mix"), i == 2);
    }
    expectKeyOrder (lines[2], { "original", "revised", "quarn", "mix" });
    const auto update = juce::JSON::parse (lines[2]);
    EXPECT_EQ (update["quarn"].size(), 9);
    EXPECT_EQ (update["mix"].size(), 13);
    EXPECT_FALSE (update["revised"].hasProperty ("id"));
    EXPECT_TRUE ((bool) update["revised"]["imgWide"]);

    // The examples are in memory at once, and a fresh analyser reads the same three back.
    EXPECT_EQ (live.training.size(), 3u);
    LiveSectionAnalyzer fresh;
    fresh.loadStyleTable();
    fresh.setTrainingFile (log.file);
    fresh.loadTraining();
    ASSERT_EQ (fresh.training.size(), 3u);
    EXPECT_TRUE (fresh.training[2].hasRevised);
    EXPECT_EQ (fresh.training[2].revised.style, 1);
    EXPECT_EQ (fresh.training[0].original.mood, 3);
}

TEST (LiveTraining, LoadingTakesWhatIsSoundAndSkipsTheRest)
{
    LiveSectionAnalyzer a;
    a.loadStyleTable();
    const auto id5 = a.moodPresets[5].id;
    TempLog log;
    log.write ("{}\n"
               "{\"label\":\"plain\"}\r\n"
               "not json at all\r"
               "{\"label\":\"eight\",\"letter\":\"C\",\"imprint\":[0.1,0.1,0.1,0.1,0.1,0.1,0.1,0.1]}\n"
               "{\"label\":\"three\",\"imprint\":[0.5,0.25,0.25]}\n"
               "{\"label\":\"byid\",\"original\":{\"id\":\"" + id5 + "\",\"moodIndex\":99,\"style\":2}}\n"
               "{\"label\":\"norev\",\"revised\":3}\n"
               "{\"label\":\"rev\",\"revised\":{\"style\":4}}\n"
               "{\"label\":\"loud\",\"density\":7}\n"
               "{\"label\":\"badstyle\",\"original\":{\"style\":99}}\n"
               "{\"label\":\"huge\",\"slowA\":1e999}\n"
               "[1,2,3]\n");
    a.setTrainingFile (log.file);
    a.loadTraining();

    juce::StringArray labels;
    for (const auto& ex : a.training)
        labels.add (ex.label);
    EXPECT_EQ (labels.joinIntoString (","), "plain,eight,three,byid,norev,rev");
    ASSERT_EQ (a.training.size(), 6u);
    const auto& plain = a.training[0];
    EXPECT_EQ (plain.letter, 'A');
    EXPECT_FLOAT_EQ (plain.imprint[0], 0.0f);
    EXPECT_FLOAT_EQ (plain.density, 0.0f);
    EXPECT_EQ (plain.original.style, -1);
    EXPECT_EQ (a.training[1].letter, 'C');
    EXPECT_FLOAT_EQ (a.training[1].imprint[5], 0.1f);
    EXPECT_FLOAT_EQ (a.training[2].imprint[2], 0.25f);
    EXPECT_FLOAT_EQ (a.training[2].imprint[3], 0.0f);
    EXPECT_EQ (a.training[3].original.mood, 5) << "an id names its preset whatever moodIndex says";
    EXPECT_FALSE (a.training[4].hasRevised);
    EXPECT_TRUE (a.training[5].hasRevised);

    // Loading happens once per analyser.
    log.write ("{\"label\":\"later\"}\n");
    a.loadTraining();
    EXPECT_EQ (a.training.size(), 6u);
}

TEST (LiveTraining, AppendsNeverLoseOrMergeLines)
{
    TempLog log;
    // A line cut short by a crash, without its line break.
    log.write ("{\"label\":\"like\",\"letter\":\"A\"}\r\n{\"label\":\"dislike\",\"lett");

    LiveSectionAnalyzer a;
    a.loadStyleTable();
    a.setTrainingFile (log.file);
    a.appendTraining ("like", { {}, 1, 2, 3, 1, -1, false });   // reads the file first
    EXPECT_EQ (a.training.size(), 2u) << "the earlier line is kept in memory";

    LiveSectionAnalyzer b;
    b.loadStyleTable();
    b.setTrainingFile (log.file);
    b.loadTraining();
    ASSERT_EQ (b.training.size(), 2u) << "the new line did not merge with the torn one";
    EXPECT_EQ (b.training[1].original.style, 1);
    EXPECT_TRUE (log.file.loadFileAsString().endsWith ("}\r\n"));

    // A log that cannot be written keeps the example in memory only.
    LiveSectionAnalyzer c;
    c.loadStyleTable();
    c.setTrainingFile (log.file.getChildFile ("inside-a-file.jsonl"));
    c.appendTraining ("like", {});
    EXPECT_EQ (c.training.size(), 1u);
}

TEST (LiveTraining, TheLogLivesBelowTheUsersConfigFolder)
{
    LiveSectionAnalyzer a;
    const auto f = a.trainingFile();
    EXPECT_EQ (f.getFileName(), "mastering_training.jsonl");
    EXPECT_EQ (f.getParentDirectory().getFileName(), "Quarn");
    EXPECT_EQ (f.getParentDirectory().getParentDirectory().getFileName(), "Kaldun");
    EXPECT_EQ (f.getParentDirectory().getParentDirectory().getParentDirectory(),
               juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory));
}
