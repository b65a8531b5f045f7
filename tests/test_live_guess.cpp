// Recipe guesses and the mood choice: prototype match, repeats avoided, loudness passes, bans and
// the training bias.
#include <gtest/gtest.h>
#include "Live/LiveSectionAnalyzer.h"
#include "Model/QuarnPresets.h"

namespace
{
using Feature = LiveSectionAnalyzer::Feature;

Feature feature (std::initializer_list<float> imprint, float rhythmHz, float slowA)
{
    Feature f;
    int i = 0;
    for (float v : imprint)
        f.imprint[i++] = v;
    f.density = LiveSectionAnalyzer::densityOf (f.imprint);
    f.rhythmHz = rhythmHz;
    f.slowA = slowA;
    f.silent = false;
    return f;
}

struct GuessAnalyser : LiveSectionAnalyzer
{
    GuessAnalyser()
    {
        setTrainingFile (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("vyr-guess-none.jsonl"));
        loadStyleTable();
    }
};

const char* kRow = R"({"id":"r","mood":"Row","vibe":"v","character":["Glue"],"target_lufs":-14,"quarn_style":"Medium","quarn_medium":"album","vector":{"imprint":{"sub":0.2,"bass":0.4,"mud":0.15,"mid":0.15,"presence":0.05,"air":0.05},"density":0.7,"rhythm_hz":5,"slow_a_lufs":-12,"n":20}})";

juce::String preset (const char* id, const char* style, float lufs, int mask, bool wide = false)
{
    return juce::String ("{\"id\":\"") + id + "\",\"mood\":\"M\",\"quarn_style\":\"" + style + "\",\"target_lufs\":"
           + juce::String (lufs) + ",\"character_mask\":" + juce::String (mask) + ",\"img_wide\":" + (wide ? "true" : "false") + "}";
}

void loadPresets (LiveSectionAnalyzer& a, std::initializer_list<juce::String> presets)
{
    juce::StringArray list;
    for (const auto& p : presets)
        list.add (p);
    a.loadTablesFrom ("{\"styles\":[" + juce::String (kRow) + "]}", "{\"presets\":[" + list.joinIntoString (",") + "]}");
}
}

TEST (LiveGuess, HeavyLowEndNeverGetsJazzOrClassical)
{
    GuessAnalyser a;
    const Feature heavy = feature ({ 0.35f, 0.4f, 0.1f, 0.1f, 0.04f, 0.01f }, 6.0f, -9.0f);
    const Feature busy = feature ({ 0.05f, 0.3f, 0.3f, 0.3f, 0.04f, 0.01f }, 4.0f, -15.0f);
    for (const auto& f : { heavy, busy })
    {
        const auto g = a.guessFrom (f, -1, -1, -1);
        ASSERT_TRUE (g.hasRecipe);
        EXPECT_NE (g.style, 1);
        EXPECT_NE (g.style, 2);
        for (int lufs = 0; lufs < 5; ++lufs)
            for (int style = 0; style < 7; ++style)
            {
                const int m = a.pickMoodPreset (f, lufs, 1, lufs, style, false, g, true, {});
                ASSERT_GE (m, 0);
                EXPECT_NE (a.moodPresets[(size_t) m].style, 1);
                EXPECT_NE (a.moodPresets[(size_t) m].style, 2);
            }
    }

    // A light, slow section close to the classical prototype is matched to it.
    Feature light = feature ({ 0.0524f, 0.3614f, 0.2952f, 0.2561f, 0.0346f, 0.0005f }, 3.9f, -15.3f);
    light.density = 0.661f;
    const auto g = a.guessFrom (light, -1, -1, -1);
    EXPECT_EQ (g.moodName, "Classical");
    EXPECT_EQ (g.style, 2);
    EXPECT_EQ (g.lufs, 1);
    EXPECT_EQ (g.label, "Classical - sparse -16 LUFS / Glue");
}

TEST (LiveGuess, AvoidsRepeatingThePreviousSectionsRecipe)
{
    GuessAnalyser a;
    const Feature f = feature ({ 0.2f, 0.51f, 0.12f, 0.13f, 0.034f, 0.005f }, 5.85f, -11.0f);
    const auto first = a.guessFrom (f, -1, -1, -1);
    ASSERT_TRUE (first.hasRecipe);
    EXPECT_GT (first.confidence, 0.0f);
    EXPECT_LT (first.bestDistance, 0.55f);
    const auto second = a.guessFrom (f, first.style, first.medium, first.lufs);
    EXPECT_TRUE (second.style != first.style || second.medium != first.medium || second.lufs != first.lufs);
    EXPECT_FLOAT_EQ (second.bestDistance, first.bestDistance) << "the published distance is still the nearest one";

    // Without any usable prototype the start guess stays.
    LiveSectionAnalyzer empty;
    const auto none = empty.guessFrom (f, -1, -1, -1);
    EXPECT_FALSE (none.hasRecipe);
    EXPECT_EQ (none.label, "section - Medium -14 LUFS / Glue");

    EXPECT_EQ (vyrQuarn::nearestLufsIndex (-12.5f), 2);
    EXPECT_EQ (vyrQuarn::nearestLufsIndex (-15.0f), 1);
    EXPECT_EQ (vyrQuarn::nearestLufsIndex (0.0f), 4);
}

TEST (LiveGuess, QuietestTargetWaitsForTheRelaxedPassAtTheLoudestLevel)
{
    GuessAnalyser a;
    const Feature f = feature ({ 0.2f, 0.4f, 0.15f, 0.15f, 0.05f, 0.05f }, 5.0f, -9.0f);
    LiveSectionAnalyzer::Guess g;

    // A near-perfect -23 LUFS preset loses to a poor -14 one at a level of -9 LUFS.
    loadPresets (a, { preset ("quiet", "Medium", -23.0f, 1), preset ("far", "EDM", -14.0f, 8 | 16) });
    EXPECT_EQ (a.pickMoodPreset (f, 4, 1, 4, 5, false, g, false, {}), 1);
    // Only the -23 preset: the relaxed pass takes it.
    loadPresets (a, { preset ("quiet", "Medium", -23.0f, 1) });
    EXPECT_EQ (a.pickMoodPreset (f, 4, 1, 4, 5, false, g, false, {}), 0);
    // The same context at -14 prefers the preset with the closest character.
    loadPresets (a, { preset ("tape", "Medium", -14.0f, 8), preset ("glue", "Medium", -14.0f, 1), preset ("wide", "Medium", -14.0f, 1, true) });
    EXPECT_EQ (a.pickMoodPreset (f, 2, 1, 2, 5, false, g, false, {}), 1);
    EXPECT_EQ (a.pickMoodPreset (f, 2, 1, 2, 5, true, g, false, {}), 2);
}

TEST (LiveGuess, BansSkipExactlyWhatTheyName)
{
    GuessAnalyser a;
    loadPresets (a, { preset ("a", "Medium", -14.0f, 1), preset ("b", "Medium", -14.0f, 1), preset ("c", "Loud", -14.0f, 1) });
    const Feature f = feature ({ 0.2f, 0.4f, 0.15f, 0.15f, 0.05f, 0.05f }, 5.0f, -14.0f);
    LiveSectionAnalyzer::Guess g;
    EXPECT_EQ (a.pickMoodPreset (f, 2, 1, 2, 5, false, g, false, {}), 0);
    EXPECT_EQ (a.pickMoodPreset (f, 2, 1, 2, 5, false, g, false, { -1, 3, 2, 1, -1 }), 0) << "no style and no mood: no ban";
    EXPECT_EQ (a.pickMoodPreset (f, 2, 1, 2, 5, false, g, false, { -1, -1, -1, -1, 0 }), 1) << "a mood bans that preset only";
    EXPECT_EQ (a.pickMoodPreset (f, 2, 1, 2, 5, false, g, false, { 5, -1, 2, -1, -1 }), 2) << "style and loudness ban both Medium presets";
    EXPECT_EQ (a.pickMoodPreset (f, 2, 1, 2, 5, false, g, false, { 5, -1, 2, 4, -1 }), 0) << "a mask that differs bans nothing";
}

TEST (LiveGuess, TrainingBiasMovesTheChoiceWithinItsLimit)
{
    GuessAnalyser a;
    // "near" costs 1 (one character bit off), "other" 2 (two bits off).
    loadPresets (a, { preset ("near", "Medium", -14.0f, 3), preset ("other", "Medium", -14.0f, 7) });
    const Feature f = feature ({ 0.2f, 0.4f, 0.15f, 0.15f, 0.05f, 0.05f }, 5.0f, -14.0f);
    LiveSectionAnalyzer::Guess g;
    auto pick = [&] { return a.pickMoodPreset (f, 2, 1, 2, 5, false, g, false, {}); };
    ASSERT_EQ (pick(), 0);

    LiveSectionAnalyzer::TrainEx dislike;
    dislike.label = "dislike";
    std::copy (std::begin (f.imprint), std::end (f.imprint), dislike.imprint);
    dislike.density = f.density;
    dislike.rhythmHz = f.rhythmHz;
    dislike.slowA = f.slowA;
    dislike.original.mood = 0;   // names "near" by its index only
    a.training.push_back (dislike);
    EXPECT_EQ (pick(), 1) << "a disliked preset costs 3.5 more at distance 0";

    // A far-away example has no say.
    a.training.back().slowA = 60.0f;
    EXPECT_EQ (pick(), 0);

    // Likes pull, but never by more than 6.
    a.training.clear();
    loadPresets (a, { preset ("near", "Medium", -14.0f, 1), preset ("liked", "EDM", -14.0f, 1) });   // +6 for the family
    auto like = dislike;
    like.label = "like";
    like.original = {};
    like.original.id = "liked";
    for (int i = 0; i < 8; ++i)
        a.training.push_back (like);
    EXPECT_EQ (pick(), 0) << "eight likes (-14.4) are clamped to -6, which only ties and the first wins";
    a.training.push_back (like);
    loadPresets (a, { preset ("near", "Medium", -14.0f, 1), preset ("liked", "Independent", -14.0f, 3) });   // +1
    EXPECT_EQ (pick(), 1);
}
