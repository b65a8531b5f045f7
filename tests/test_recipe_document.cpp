// The embedded recipe document and the rules by which a document fills the recipe tables.
#include <gtest/gtest.h>
#include "ProcessorFixture.h"
#include "Model/QuarnPresets.h"
#include "VyrQuarnData.h"
#include <cstring>

using vyrQuarn::RecipeTables;

namespace
{
juce::String embedded()
{
    return juce::String::fromUTF8 (VyrQuarnData::quarnPresets_json, VyrQuarnData::quarnPresets_jsonSize);
}

bool sameTables (const RecipeTables& a, const RecipeTables& b)
{
    return std::memcmp (&a, &b, sizeof (RecipeTables)) == 0;   // plain 32-bit fields only, no padding
}

// Reads `json` (after a comment block) over the built-in tables.
RecipeTables read (const juce::String& json, bool expectAccepted = true)
{
    RecipeTables t = vyrQuarn::builtInTables();
    EXPECT_EQ (vyrQuarn::readRecipeDocument ("/* test document */\n" + json, t), expectAccepted) << json;
    return t;
}

juce::String withVersion (const juce::String& members)
{
    return "{ \"version\": 1, " + members + " }";
}

// Every value a reader of the tables may rely on.
void expectSane (const RecipeTables& t)
{
    for (const auto& s : t.styles)
    {
        for (float a : { s.toneAng, s.energy, s.presence, s.spaceAng, s.reverbAng })
        {
            EXPECT_GE (a, 0.0f);
            EXPECT_LT (a, 1.0f);
        }
        for (float r : { s.toneRad, s.boost, s.spaceRad, s.reverbRad, s.mix.comp, s.mix.sat, s.mix.dens, s.mix.clip, s.mix.tape,
                         s.mix.delay, s.mix.rev, s.mix.eq, s.mix.dyn, s.mix.mbc, s.mix.img, s.mix.lim })
        {
            EXPECT_GE (r, 0.0f);
            EXPECT_LE (r, 1.0f);
        }
        EXPECT_GE (s.limiterStyle, 0);
        EXPECT_LE (s.limiterStyle, 4);
    }
    for (const auto& l : t.lufs)
    {
        EXPECT_TRUE (l.ceiling >= -6.0f && l.ceiling <= 0.0f);
        EXPECT_TRUE (l.inputGain >= -60.0f && l.inputGain <= 24.0f);
        EXPECT_TRUE (l.release >= 0.005f && l.release <= 0.5f);
        EXPECT_TRUE (l.trim >= -50.0f && l.trim <= 50.0f);
        EXPECT_TRUE (std::isfinite (l.boostCap) && std::isfinite (l.makeup));
    }
    for (float m : t.mediumLufs)
        EXPECT_TRUE (std::isfinite (m));
    EXPECT_TRUE (t.imgWidth >= 1.0f && t.imgWidth <= 4.0f);
    const auto& e = t.energyCmp;
    for (const auto& w : { e.attack, e.release, e.ratio, e.knee, e.threshold, e.makeup })
        EXPECT_TRUE (std::isfinite (w.glue) && std::isfinite (w.punch) && std::isfinite (w.density));
}
}

TEST (RecipeDocument, EmbeddedDocumentHoldsTheBuiltInValues)
{
    const auto text = embedded();
    EXPECT_TRUE (text.trimStart().startsWith ("/*"));
    EXPECT_EQ (VyrQuarnData::quarnPresets_json[VyrQuarnData::quarnPresets_jsonSize], 0);
    EXPECT_STREQ (VyrQuarnData::namedResourceList[0], "quarnPresets_json");

    RecipeTables t = vyrQuarn::builtInTables();
    t.imgWidth = 3.0f;
    t.styles[2].toneAng = 0.5f;
    t.lufs[4].trim = 0.0f;
    t.mediumLufs[5] = 0.0f;
    t.energyCmp.knee.punch = 1.0f;
    ASSERT_TRUE (vyrQuarn::readRecipeDocument (text, t));
    EXPECT_TRUE (sameTables (t, vyrQuarn::builtInTables())) << "the document restores every built-in value";

    // The processor loaded it: the process-wide tables are the built-in ones.
    VyrAudioProcessor p;
    EXPECT_FLOAT_EQ (vyrQuarn::gImgWidth, 1.65f);
    EXPECT_FLOAT_EQ (vyrQuarn::gStyleRecipes[0].toneAng, 0.5833334f);
    EXPECT_FLOAT_EQ (vyrQuarn::gLufsRecipes[3].release, 0.045f);
    EXPECT_FLOAT_EQ (vyrQuarn::gMediumLufs[7], -8.0f);
}

TEST (RecipeDocument, LoadedOncePerProcess)
{
    VyrAudioProcessor first;
    const float saved = vyrQuarn::gImgWidth;
    vyrQuarn::gImgWidth = 2.0f;
    vyrQuarn::loadQuarnPresets();
    VyrAudioProcessor second (0);
    EXPECT_FLOAT_EQ (vyrQuarn::gImgWidth, 2.0f) << "a later processor does not read the document again";
    vyrQuarn::gImgWidth = saved;
}

TEST (RecipeDocument, CommentBlockAndVersion)
{
    RecipeTables t = vyrQuarn::builtInTables();
    EXPECT_TRUE (vyrQuarn::readRecipeDocument (withVersion ("\"imager\": { \"width\": 2 }"), t));
    EXPECT_FLOAT_EQ (t.imgWidth, 2.0f) << "a document without a comment block reads the same";

    t = vyrQuarn::builtInTables();
    EXPECT_FALSE (vyrQuarn::readRecipeDocument ("  /* never closed\n" + withVersion ("\"imager\": { \"width\": 2 }"), t));
    EXPECT_TRUE (sameTables (t, vyrQuarn::builtInTables()));

    EXPECT_FLOAT_EQ (read ("{ \"version\": 1.9, \"imager\": { \"width\": 2 } }").imgWidth, 2.0f);
    for (const char* version : { "\"version\": 2,", "\"version\": 0.99,", "", "\"version\": \"one\"," })
    {
        const auto r = read (juce::String ("{ ") + version + " \"imager\": { \"width\": 2 } }", false);
        EXPECT_TRUE (sameTables (r, vyrQuarn::builtInTables())) << version;
    }
    for (const char* broken : { "", "   ", "[1, 2]", "42", "{ \"version\": 1, \"imager\": { \"width\": 2 }", "{ version: 1 }",
                                "{ 'version': 1 }", "{ \"version\": 1, \"\": 2 }", "{ \"version\": -e }",
                                "{ \"version\": 1 } trailing", "{ \"version\": 01 }", "{ \"version\": 1, }" })
        EXPECT_TRUE (sameTables (read (broken, false), vyrQuarn::builtInTables())) << broken;
}

TEST (RecipeDocument, LoudnessRowsByTargetOrPosition)
{
    // -14.005 writes row 2 wherever it stands.
    auto t = read (withVersion ("\"lufs\": [ {}, {}, {}, {}, { \"target\": -14.005, \"trim\": 5 } ]"));
    EXPECT_FLOAT_EQ (t.lufs[2].trim, 5.0f);
    EXPECT_FLOAT_EQ (t.lufs[4].trim, 14.0f);

    // An unknown target at position 6 writes row 4; no target at position 1 writes row 1.
    t = read (withVersion ("\"lufs\": [ 7, { \"trim\": -3 }, {}, {}, {}, {}, { \"target\": -15, \"trim\": 9 } ]"));
    EXPECT_FLOAT_EQ (t.lufs[1].trim, -3.0f);
    EXPECT_FLOAT_EQ (t.lufs[4].trim, 9.0f);

    // Integer fields read limiter-style names and leading integers; no clamp there.
    t = read (withVersion ("\"lufs\": [ { \"target\": -23, \"scale\": \"punchy\", \"meter\": \" 2x\", \"oversampling\": 5 } ]"));
    EXPECT_EQ (t.lufs[0].scale, 1);
    EXPECT_EQ (t.lufs[0].meter, 2);
    EXPECT_EQ (t.lufs[0].oversampling, 5);
    EXPECT_FLOAT_EQ (t.lufs[0].ceiling, -2.0f);   // not given: kept

    // Values the chain reads directly stay inside their parameters' ranges.
    t = read (withVersion ("\"lufs\": [ { \"target\": -9, \"ceiling\": 5, \"release\": 0, \"inputGain\": -500, \"trim\": 80 } ]"));
    EXPECT_FLOAT_EQ (t.lufs[4].ceiling, 0.0f);
    EXPECT_FLOAT_EQ (t.lufs[4].release, 0.005f);
    EXPECT_FLOAT_EQ (t.lufs[4].inputGain, -60.0f);
    EXPECT_FLOAT_EQ (t.lufs[4].trim, 50.0f);
}

TEST (RecipeDocument, StyleRowsAnglesAndClamps)
{
    auto t = read (withVersion ("\"styles\": [ { \"id\": \"soft\", \"toneAng\": 1.25, \"energy\": -0.25, \"presence\": \"  AIR \","
                                " \"spaceAng\": \"nowhere\", \"reverbAng\": \"0.3\", \"boost\": 1.7, \"toneRad\": \"0.5\","
                                " \"limiterStyle\": \"warm\", \"mix\": { \"sat\": -0.2, \"lim\": 3 } } ]"));
    const auto& soft = t.styles[6];
    EXPECT_FLOAT_EQ (soft.toneAng, 0.25f);
    EXPECT_FLOAT_EQ (soft.energy, 0.75f);
    EXPECT_FLOAT_EQ (soft.presence, 0.9166667f);
    EXPECT_FLOAT_EQ (soft.spaceAng, 0.125f);     // unknown name: kept
    EXPECT_FLOAT_EQ (soft.reverbAng, 0.2857143f);   // a number written as text is no angle: kept
    EXPECT_FLOAT_EQ (soft.boost, 1.0f);
    EXPECT_FLOAT_EQ (soft.toneRad, 0.5f);
    EXPECT_EQ (soft.limiterStyle, 3);
    EXPECT_FLOAT_EQ (soft.mix.sat, 0.0f);
    EXPECT_FLOAT_EQ (soft.mix.lim, 1.0f);
    EXPECT_FLOAT_EQ (soft.mix.comp, 0.48f);
    EXPECT_TRUE (sameTables ([&] { auto u = t; u.styles[6] = vyrQuarn::builtInTables().styles[6]; return u; }(), vyrQuarn::builtInTables()));

    t = read (withVersion ("\"styles\": [ { \"id\": \"Jazz\", \"reverbAng\": 0.3, \"limiterStyle\": \"9\" },"
                           " { \"id\": \"Loud\", \"limiterStyle\": -2, \"reverbAng\": \"cathedral\" } ]"));
    EXPECT_FLOAT_EQ (t.styles[1].reverbAng, 0.3f);
    EXPECT_EQ (t.styles[1].limiterStyle, 4);
    EXPECT_EQ (t.styles[4].limiterStyle, 0);
    EXPECT_FLOAT_EQ (t.styles[4].reverbAng, 0.8571429f);

    // Rows without a known id: position 3 is Independent, position 6 and later are Soft.
    t = read (withVersion ("\"styles\": [ {}, {}, {}, { \"boost\": 0.9 }, {}, {}, {}, { \"id\": \"Polka\", \"boost\": 0.5 } ]"));
    EXPECT_FLOAT_EQ (t.styles[3].boost, 0.9f);
    EXPECT_FLOAT_EQ (t.styles[6].boost, 0.5f);
}

TEST (RecipeDocument, ImagerMediumsAndEnergy)
{
    EXPECT_FLOAT_EQ (read (withVersion ("\"imager\": { \"width\": 0.5 }")).imgWidth, 1.0f);
    EXPECT_FLOAT_EQ (read (withVersion ("\"imager\": { \"width\": 9 }")).imgWidth, 4.0f);
    EXPECT_FLOAT_EQ (read (withVersion ("\"imager\": { \"width\": \"2.5\" }")).imgWidth, 2.5f);
    EXPECT_FLOAT_EQ (read (withVersion ("\"imager\": 3")).imgWidth, 1.65f);

    auto t = read (withVersion ("\"mediums\": [ { \"key\": \"CLUB\", \"lufs\": -7 } ]"));
    EXPECT_FLOAT_EQ (t.mediumLufs[7], -7.0f);
    EXPECT_FLOAT_EQ (t.mediumLufs[0], -23.0f);
    t = read (withVersion ("\"mediums\": [ {}, {}, {}, {}, {}, {}, {}, {}, {}, { \"key\": \"vinyl\", \"lufs\": -12 }, { \"key\": \"podcast\" } ]"));
    EXPECT_FLOAT_EQ (t.mediumLufs[7], -12.0f);
    EXPECT_FLOAT_EQ (t.mediumLufs[1], -16.0f);

    t = read (withVersion ("\"energyCmp\": { \"ratio\": { \"punch\": 6 }, \"knee\": 3 }"));
    EXPECT_FLOAT_EQ (t.energyCmp.ratio.punch, 6.0f);
    EXPECT_FLOAT_EQ (t.energyCmp.ratio.glue, 2.2f);
    EXPECT_FLOAT_EQ (t.energyCmp.knee.glue, 28.0f);
}

TEST (RecipeDocument, HostileDocumentsLeaveTheTablesAlone)
{
    // A value that is not finite or is absurdly large anywhere: nothing of the document is taken,
    // not even its sound rows.
    const char* hostile[] = {
        "\"imager\": { \"width\": 2 }, \"styles\": [ { \"id\": \"EDM\", \"boost\": 1e999 } ]",
        "\"imager\": { \"width\": 2 }, \"styles\": [ { \"id\": \"EDM\", \"toneRad\": \"1e999\" } ]",
        "\"imager\": { \"width\": 2 }, \"lufs\": [ { \"target\": -9, \"makeup\": -1e300 } ]",
        "\"imager\": { \"width\": 2 }, \"lufs\": [ { \"target\": -9, \"oversampling\": \"99999999999999999999\" } ]",
        "\"imager\": { \"width\": 2 }, \"mediums\": [ { \"key\": \"ep\", \"lufs\": 4e38 } ]",
        "\"imager\": { \"width\": 2 }, \"energyCmp\": { \"attack\": { \"glue\": 1e12 } }",
    };
    for (auto* members : hostile)
        EXPECT_TRUE (sameTables (read (withVersion (members), false), vyrQuarn::builtInTables())) << members;

    // Absurd nesting is refused before it is parsed.
    const auto deep = "{ \"version\": 1, \"x\": " + juce::String::repeatedString ("[", 200000) + " }";
    EXPECT_TRUE (sameTables (read (deep, false), vyrQuarn::builtInTables()));

    // Truncated or damaged copies of the embedded document never crash and never leave a value
    // outside what the readers expect.
    const auto text = embedded();
    juce::Random rng (7);
    for (int n = 0; n < 300; ++n)
    {
        auto damaged = text.substring (0, rng.nextInt (text.length()));
        if (n % 2 == 1)
        {
            damaged = text;
            for (int k = 0; k < 4; ++k)
            {
                const int at = rng.nextInt (damaged.length());
                const juce::juce_wchar pool[] = { '9', '-', '"', '{', ']', ',', 'e', '.', ' ' };
                damaged = damaged.replaceSection (at, 1, juce::String::charToString (pool[rng.nextInt (9)]));
            }
        }
        RecipeTables t = vyrQuarn::builtInTables();
        const bool accepted = vyrQuarn::readRecipeDocument (damaged, t);
        if (! accepted)
            EXPECT_TRUE (sameTables (t, vyrQuarn::builtInTables()));
        expectSane (t);
    }
}
