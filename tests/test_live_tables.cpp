// The live style and mood tables: the embedded documents, the substitutions for missing or damaged
// data, and the small naming helpers.
#include <gtest/gtest.h>
#include "Live/LiveSectionAnalyzer.h"

namespace
{
juce::String styleDoc (const juce::String& elements) { return "/* rows */ {\"styles\": [" + elements + "]}"; }
juce::String moodDoc (const juce::String& elements) { return "{\"presets\": [" + elements + "]}"; }
const char* kRow = R"({"id":"x","mood":"Test","vibe":"v","character":["Glue"],"target_lufs":-14,"quarn_style":"Soft","quarn_medium":"album","vector":{"imprint":{"sub":0.1,"bass":0.3,"mud":0.2,"mid":0.2,"presence":0.1,"air":0.1},"density":0.7,"rhythm_hz":5,"slow_a_lufs":-12,"n":20}})";
}

TEST (LiveTables, EmbeddedDocumentsGiveTheTwentyFourRowsAndAllMoodPresets)
{
    LiveSectionAnalyzer a;
    a.setTrainingFile (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("vyr-none.jsonl"));
    a.loadStyleTable();
    ASSERT_EQ (a.styleRows.size(), 24u);
    ASSERT_EQ (a.moodPresets.size(), 176u);
    for (const auto& r : a.styleRows)
    {
        EXPECT_TRUE (r.hasVector) << r.id;
        float sum = 0.0f;
        for (float v : r.imprint)
            sum += v;
        EXPECT_NEAR (sum, 1.0f, 1.0e-5f) << r.id;
    }
    for (const auto& p : a.moodPresets)
        EXPECT_TRUE (p.shortName.isNotEmpty()) << p.id;

    const auto& classical = a.styleRows[13];
    EXPECT_EQ (classical.id, "classical-sparse-glue");
    EXPECT_EQ (classical.style, 2);
    EXPECT_EQ (classical.medium, 0);
    EXPECT_EQ (classical.letterHint, 'A');
    EXPECT_EQ (classical.mask, 1);
    EXPECT_EQ (classical.presetName, "Classical - sparse -16 LUFS / Glue");
    EXPECT_EQ (a.styleRows[0].character, "Glue+Air+Tape");
    EXPECT_EQ (a.styleRows[0].mask, 13);
    EXPECT_EQ (a.styleRows[23].notes, "Fallback sit when imprint confidence is low.");

    // A second load (every prepareToPlay) leaves the same tables.
    const auto firstName = a.moodPresets[100].name;
    a.loadStyleTable();
    EXPECT_EQ (a.styleRows.size(), 24u);
    EXPECT_EQ (a.moodPresets.size(), 176u);
    EXPECT_EQ (a.moodPresets[100].name, firstName);
}

TEST (LiveTables, MissingAndOddValuesTakeTheirSubstitutes)
{
    LiveSectionAnalyzer a;
    a.setTrainingFile (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("vyr-none.jsonl"));
    const juce::String rows = styleDoc (juce::String (kRow) + R"(,
        {"mood":"NoVector","form_letter_hint":""},
        {"mood":"Zero","vector":{"imprint":{"sub":0,"bass":-1,"mud":0,"mid":0,"presence":0,"air":0}}},
        {"mood":"","id":"dropped"}, 7)");
    const juce::String presets = moodDoc (juce::String::fromUTF8 (R"(
        {"id":"p0","mood":"M","character":["Punch","Wall"],"character_mask":0,"target_lufs":-12.5},
        {"id":"p1","mood":"M","character":[],"character_mask":0},
        {"id":"p2","mood":"M","vibe":"calm","character":["Air"],"target_lufs":-16},
        {"id":"p3","mood":"M","name":"A )" "\xe2\x80\x93" R"( B )" "\xe2\x88\x92" R"( C","short_name":"S"},
        {"id":"p4","mood":""})"));
    a.loadTablesFrom (rows, presets);

    ASSERT_EQ (a.styleRows.size(), 3u);
    EXPECT_EQ (a.styleRows[0].letterHint, 'B');
    const auto& nv = a.styleRows[1];
    EXPECT_EQ (nv.letterHint, 'B');
    EXPECT_FLOAT_EQ (nv.density, 0.5f);
    EXPECT_FLOAT_EQ (nv.rhythmHz, 5.0f);
    EXPECT_FLOAT_EQ (nv.slowA, -14.0f);
    EXPECT_EQ (nv.n, 0);
    EXPECT_FALSE (nv.hasVector);
    EXPECT_FLOAT_EQ (nv.targetLufs, 0.0f) << "a missing key reads as 0, not the initial value";
    EXPECT_EQ (nv.style, 5);
    for (float v : a.styleRows[2].imprint)
        EXPECT_FLOAT_EQ (v, 1.0f / 6.0f);
    EXPECT_TRUE (a.styleRows[2].hasVector);

    ASSERT_EQ (a.moodPresets.size(), 4u);
    EXPECT_EQ (a.moodPresets[0].mask, 18);
    EXPECT_EQ (a.moodPresets[0].lufsIndex, 2);
    EXPECT_EQ (a.moodPresets[1].mask, 1);
    EXPECT_FLOAT_EQ (a.moodPresets[1].targetLufs, 0.0f);
    EXPECT_EQ (a.moodPresets[1].lufsIndex, 4);
    EXPECT_EQ (a.moodPresets[2].name, "M - calm -16 LUFS / Air");
    EXPECT_EQ (a.moodPresets[2].shortName, a.moodPresets[2].name);
    EXPECT_EQ (a.moodPresets[3].name, "A - B - C");
    EXPECT_EQ (a.moodPresets[3].shortName, "S");
}

TEST (LiveTables, EmptyOrBrokenDocumentsFallBack)
{
    LiveSectionAnalyzer a;
    a.setTrainingFile (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("vyr-none.jsonl"));

    // No presets: one per style row.
    a.loadTablesFrom (styleDoc (kRow), "{}");
    ASSERT_EQ (a.moodPresets.size(), 1u);
    EXPECT_EQ (a.moodPresets[0].shortName, a.moodPresets[0].name);

    // No usable rows: the seven fallback rows, and presets derived from them.
    a.loadTablesFrom (styleDoc (""), "[]");
    ASSERT_EQ (a.styleRows.size(), 7u);
    ASSERT_EQ (a.moodPresets.size(), 7u);
    const auto& party = a.moodPresets[1];
    EXPECT_EQ (party.id, "party-driving-air-tape");
    EXPECT_EQ (party.mask, 12);
    EXPECT_TRUE (party.tape);
    EXPECT_FALSE (party.wall);
    EXPECT_EQ (party.lufsIndex, 3);
    EXPECT_EQ (a.styleRows[0].mask, 1) << "fallback rows keep the mask 1";
    EXPECT_FLOAT_EQ (a.styleRows[0].imprint[0], 0.052f) << "fallback imprints are stored as given";

    // A style document that is not an object: fallback rows, and the presets stay as they were.
    a.loadTablesFrom (styleDoc (kRow), moodDoc (R"({"id":"keep","mood":"M"})"));
    a.loadTablesFrom ("/* broken */ [1, 2", moodDoc (R"({"id":"other","mood":"M"})"));
    EXPECT_EQ (a.styleRows.size(), 7u);
    ASSERT_EQ (a.moodPresets.size(), 1u);
    EXPECT_EQ (a.moodPresets[0].id, "keep");

    // The next load from the embedded documents brings the full tables back.
    a.loadStyleTable();
    EXPECT_EQ (a.styleRows.size(), 24u);
    EXPECT_EQ (a.moodPresets.size(), 176u);
}

TEST (LiveTables, NamesMasksAndDensity)
{
    const std::pair<const char*, int> styles[] = { { "soft", 6 }, { "EDM", 0 }, { "Pop", 5 }, { "", 5 }, { "CLASSICAL", 2 } };
    for (auto [name, index] : styles)
        EXPECT_EQ (LiveSectionAnalyzer::styleIndexOf (name), index) << name;
    const std::pair<const char*, int> mediums[] = { { "EP", 4 }, { "vinyl", 3 }, { "club", 7 }, { "Cinematic", 0 } };
    for (auto [name, index] : mediums)
        EXPECT_EQ (LiveSectionAnalyzer::mediumIndexOf (name), index) << name;

    EXPECT_EQ (LiveSectionAnalyzer::asciiPreset ("Classical", "sparse", -16.0f, "Glue"), "Classical - sparse -16 LUFS / Glue");
    EXPECT_EQ (LiveSectionAnalyzer::asciiPreset ("M", "v", -12.5f, "Air"), "M - v -13 LUFS / Air");
    EXPECT_EQ (LiveSectionAnalyzer::characterFromMask (0), "Glue");
    EXPECT_EQ (LiveSectionAnalyzer::characterFromMask (31), "Glue+Punch+Air+Tape+Wall");
    EXPECT_EQ (LiveSectionAnalyzer::characterFromMask (12), "Air+Tape");
    EXPECT_EQ (vyrLive::maskOfCharacter ("Glue+Air+Tape"), 13);
    EXPECT_EQ (vyrLive::maskOfCharacter ("air+tape"), 12);
    EXPECT_EQ (vyrLive::maskOfCharacter (""), 1);

    const float equal[6] = { 1 / 6.0f, 1 / 6.0f, 1 / 6.0f, 1 / 6.0f, 1 / 6.0f, 1 / 6.0f };
    const float one[6] = { 0, 0, 1, 0, 0, 0 };
    EXPECT_NEAR (LiveSectionAnalyzer::densityOf (equal), 1.0f, 1.0e-5f);
    EXPECT_NEAR (LiveSectionAnalyzer::densityOf (one), 0.35f / 6.0f, 1.0e-6f);
}
