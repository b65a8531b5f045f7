// The reference library (grid rules, factory and stress profiles, the named table's make-up), the
// ranking measures and the assistant's advice lines.

#include "Assistant/Advice.h"
#include "Assistant/LibraryModel.h"
#include "Assistant/ReferenceLibrary.h"
#include "Model/FactoryPresets.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <set>

using vyrMasterAssist::Snapshot;
using vyrMasterLib::Profile;

namespace
{
juce::String u (const char* s) { return juce::String::fromUTF8 (s); }

void expectProfile (const Profile& p, int medium, int style, int glue, int aesthetic, float lufs, float grab, float low,
                    float mid, float high)
{
    EXPECT_EQ (p.medium, medium);
    EXPECT_EQ (p.style, style);
    EXPECT_EQ (p.glue, glue);
    EXPECT_EQ (p.aesthetic, aesthetic);
    EXPECT_NEAR (p.lufs, lufs, 1e-4f);
    EXPECT_NEAR (p.grab, grab, 1e-4f);
    EXPECT_NEAR (p.low, low, 1e-4f);
    EXPECT_NEAR (p.mid, mid, 1e-4f);
    EXPECT_NEAR (p.high, high, 1e-4f);
}

Snapshot snapshotOf (const Profile& p)
{
    Snapshot s;
    s.hasFile = true;
    s.lufsKnown = true;
    s.medium = p.medium;
    s.style = p.style;
    s.lufs = p.lufs;
    s.clipShare = p.grab;
    s.lowVsMidDb = p.low;
    s.highDb = p.high;
    s.midDb = 0.0f;
    return s;
}
}

TEST (ReferenceLibrary, GridProfilesFollowTheirRules)
{
    SCOPED_TRACE ("index 0");
    expectProfile (vyrMasterLib::at (0), 0, 0, 0, 0, -24.0f, 0.0992f, 1.4f, 0.0f, 0.4f);
    SCOPED_TRACE ("index 421");
    expectProfile (vyrMasterLib::at (421), 4, 0, 0, 1, -12.9f, 0.2232f, 2.8f, 0.0f, 1.2f);
    SCOPED_TRACE ("index 839");
    expectProfile (vyrMasterLib::at (839), 7, 6, 2, 4, -8.5f, 0.559f, 3.2f, -0.4f, 0.0f);

    EXPECT_EQ (vyrMasterLib::title (vyrMasterLib::at (421)), u ("EP  \xc2\xb7  EDM  \xc2\xb7  Open  \xc2\xb7  Warm  \xc2\xb7  -12.9 LUFS"));
    EXPECT_EQ (vyrMasterLib::title (vyrMasterLib::at (0)), u ("Cinematic  \xc2\xb7  EDM  \xc2\xb7  Open  \xc2\xb7  Classic  \xc2\xb7  -24 LUFS"));
    EXPECT_EQ (vyrMasterLib::at (0).title, nullptr);

    // Indexes outside the catalogue read its ends.
    EXPECT_EQ (vyrMasterLib::title (vyrMasterLib::at (1036)), vyrMasterLib::title (vyrMasterLib::at (1035)));
    EXPECT_EQ (vyrMasterLib::title (vyrMasterLib::at (-5)), vyrMasterLib::title (vyrMasterLib::at (0)));
}

TEST (ReferenceLibrary, FactoryProfilesReadTheirPresetsLimiter)
{
    vyrFactory::Preset r;
    r.limiter_enabled = false;
    auto p = vyrMasterLib::fromFactory (r, 3);
    EXPECT_FLOAT_EQ (p.grab, 0.06f);
    EXPECT_EQ (p.glue, 0);
    EXPECT_EQ (p.factoryIndex, 3);
    EXPECT_STREQ (p.title, vyrFactory::kNames[3]);

    r.limiter_enabled = true;
    r.limiter_ceiling = -1.5f;
    p = vyrMasterLib::fromFactory (r, 3);
    EXPECT_NEAR (p.grab, 0.2324f, 1e-4f);
    EXPECT_EQ (p.glue, 1);
    r.limiter_ceiling = -1.0f;
    p = vyrMasterLib::fromFactory (r, 3);
    EXPECT_NEAR (p.grab, 0.3647f, 1e-4f);
    EXPECT_EQ (p.glue, 2);

    r.eq_lowGain = 2.0f;
    r.analogueDensity_enabled = true;
    r.eq_m0Gain = -2.0f;
    r.eq_highGain = 1.0f;
    r.saturation_enabled = true;
    p = vyrMasterLib::fromFactory (r, 3);
    EXPECT_NEAR (p.low, 0.35f * 2.0f + 0.35f, 1e-5f);
    EXPECT_NEAR (p.mid, -0.5f, 1e-5f);
    EXPECT_NEAR (p.high, 0.35f + 0.25f, 1e-5f);

    for (int k = 0; k < 17; ++k)
    {
        const auto f = vyrMasterLib::at (840 + k);
        EXPECT_EQ (f.factoryIndex, k);
        EXPECT_FLOAT_EQ (f.lufs, vyrFactory::get (k).targetLufs);
    }
}

TEST (ReferenceLibrary, StressProfilesAreTheHandMadeTable)
{
    struct Row { const char* title; int medium, style, glue; float lufs, grab, low, mid, high; };
    const Row rows[] = {
        { "Sub-heavy crush", 7, 0, 2, -6.4f, 0.52f, 3.0f, 0.0f, 0.3f },
        { "Air-open classical", 0, 2, 0, -24.6f, 0.07f, -0.6f, 0.0f, 1.4f },
        { "Mid-forward podcast", 1, 5, 1, -16.0f, 0.18f, 0.2f, 2.0f, 0.3f },
        { "Club brickwall", 7, 4, 2, -6.4f, 0.52f, 3.0f, 0.0f, 0.3f },
        { "Vinyl tilt", 3, 6, 0, -15.6f, 0.07f, 0.2f, 0.0f, 0.3f },
        { "Broadcast ceiling", 5, 5, 1, -18.0f, 0.18f, 0.2f, 0.0f, 0.3f },
        { "Jazz headroom", 3, 1, 0, -15.6f, 0.07f, 0.2f, 0.0f, 0.3f },
        { "Trap 808 lift", 7, 0, 2, -6.4f, 0.52f, 3.0f, 0.0f, 0.3f },
        { "Acoustic shine", 3, 6, 0, -15.6f, 0.07f, 0.2f, 0.0f, 1.4f },
        { "Festival slam", 2, 4, 2, -7.4f, 0.52f, 0.2f, 0.0f, 0.3f },
        { "Dialogue cinema", 0, 2, 0, -24.6f, 0.07f, -0.6f, 0.0f, 0.3f },
        { "Lo-fi dusk", 3, 6, 1, -14.0f, 0.18f, 0.2f, 0.0f, -1.2f },
        { "Rock wall glue", 4, 4, 2, -9.4f, 0.52f, 0.2f, 0.0f, 0.3f },
        { "Streaming pop", 6, 5, 1, -14.0f, 0.18f, 0.2f, 0.0f, 0.3f },
        { "Quiet score", 0, 2, 0, -24.6f, 0.07f, -0.6f, 0.0f, 0.3f },
    };
    for (int k = 0; k < 15; ++k)
    {
        const auto p = vyrMasterLib::at (857 + k);
        const auto& r = rows[k];
        SCOPED_TRACE (r.title);
        EXPECT_STREQ (p.title, r.title);
        expectProfile (p, r.medium, r.style, r.glue, 0, r.lufs, r.grab, r.low, r.mid, r.high);
    }
}

TEST (ReferenceLibrary, NamedTableHasTheStatedMakeUp)
{
    struct Block
    {
        int first, last;
        std::map<int, int> styles, media, glue;
        float lufsMin, lufsMax, grabMin, grabMax;
    };
    const Block blocks[] = {
        { 0, 51, { { 2, 52 } }, { { 3, 47 }, { 0, 5 } }, { { 0, 48 }, { 1, 4 } }, -23.0f, -16.0f, 0.03f, 0.12f },
        { 52, 103, { { 1, 52 } }, { { 3, 50 }, { 6, 2 } }, { { 0, 36 }, { 1, 16 } }, -19.0f, -12.0f, 0.04f, 0.18f },
        { 104, 163, { { 0, 6 }, { 2, 5 }, { 3, 10 }, { 4, 14 }, { 5, 14 }, { 6, 11 } },
          { { 3, 34 }, { 6, 8 }, { 7, 5 }, { 0, 4 }, { 1, 3 }, { 2, 2 }, { 4, 2 }, { 5, 2 } },
          { { 0, 18 }, { 1, 29 }, { 2, 13 } }, -20.0f, -7.0f, 0.05f, 0.62f },
    };
    std::set<juce::String> titles;
    float lo[3] = { 1e9f, 1e9f, 1e9f }, hi[3] = { -1e9f, -1e9f, -1e9f };
    for (const auto& b : blocks)
    {
        std::map<int, int> styles, media, glue;
        float lufsMin = 1e9f, lufsMax = -1e9f, grabMin = 1e9f, grabMax = -1e9f;
        for (int r = b.first; r <= b.last; ++r)
        {
            const auto p = vyrMasterLib::at (872 + r);
            ASSERT_NE (p.title, nullptr) << r;
            ASSERT_NE (p.note, nullptr) << r;
            const auto title = juce::String::fromUTF8 (p.title);
            titles.insert (title);
            // Album rows name performer / work (label, year); the typical masters say so in parentheses.
            EXPECT_TRUE (title.contains (" / ") || title.contains ("(typical")) << title;
            EXPECT_TRUE (juce::String::fromUTF8 (p.note).endsWithChar ('.')) << r;
            ++styles[p.style];
            ++media[p.medium];
            ++glue[p.glue];
            lufsMin = std::min (lufsMin, p.lufs);
            lufsMax = std::max (lufsMax, p.lufs);
            grabMin = std::min (grabMin, p.grab);
            grabMax = std::max (grabMax, p.grab);
            const float bal[3] = { p.low, p.mid, p.high };
            for (int k = 0; k < 3; ++k)
            {
                lo[k] = std::min (lo[k], bal[k]);
                hi[k] = std::max (hi[k], bal[k]);
            }
        }
        EXPECT_EQ (styles, b.styles) << b.first;
        EXPECT_EQ (media, b.media) << b.first;
        EXPECT_EQ (glue, b.glue) << b.first;
        EXPECT_FLOAT_EQ (lufsMin, b.lufsMin);
        EXPECT_FLOAT_EQ (lufsMax, b.lufsMax);
        EXPECT_FLOAT_EQ (grabMin, b.grabMin);
        EXPECT_FLOAT_EQ (grabMax, b.grabMax);
    }
    EXPECT_EQ (titles.size(), 164u);
    EXPECT_FLOAT_EQ (lo[0], -1.6f);
    EXPECT_FLOAT_EQ (hi[0], 2.4f);
    EXPECT_FLOAT_EQ (lo[1], -0.3f);
    EXPECT_FLOAT_EQ (hi[1], 1.8f);
    EXPECT_FLOAT_EQ (lo[2], -0.8f);
    EXPECT_FLOAT_EQ (hi[2], 1.4f);

    expectProfile (vyrMasterLib::at (872 + 0), 3, 2, 0, 0, -20.0f, 0.06f, -0.4f, 0.2f, 0.3f);
    expectProfile (vyrMasterLib::at (872 + 37), 3, 2, 0, 0, -23.0f, 0.03f, -0.6f, 0.0f, 0.2f);
    expectProfile (vyrMasterLib::at (872 + 120), 3, 4, 2, 0, -7.0f, 0.62f, 0.4f, 0.3f, 0.6f);
    expectProfile (vyrMasterLib::at (872 + 137), 7, 0, 2, 0, -7.0f, 0.55f, 0.8f, 0.2f, 0.8f);
}

TEST (ReferenceLibrary, RankingMeasuresOfAMatchingSnapshot)
{
    const auto named = vyrMasterLib::at (900);
    EXPECT_NEAR (vyrMasterLib::distance (snapshotOf (named), named), -0.22f, 1e-5f);
    EXPECT_FLOAT_EQ (vyrMasterLib::match (snapshotOf (named), named), 100.0f);
    const auto grid = vyrMasterLib::at (421);
    EXPECT_NEAR (vyrMasterLib::distance (snapshotOf (grid), grid), 0.0f, 1e-5f);
    EXPECT_FLOAT_EQ (vyrMasterLib::match (snapshotOf (grid), grid), 100.0f);

    // Another lane costs its penalties; the match compares with the profile's own loudness.
    auto s = snapshotOf (grid);
    s.medium = 3;
    s.style = 2;
    s.lufs += 2.0f;
    EXPECT_NEAR (vyrMasterLib::distance (s, grid), 2.4f + 1.6f + 0.25f, 1e-4f);
    EXPECT_NEAR (vyrMasterLib::match (s, grid), 82.0f, 1e-3f);
}

TEST (LibraryModel, RankingKeepsTheNearestNamedAndGridRows)
{
    const auto target = vyrMasterLib::at (872 + 120);
    std::vector<vyrMasterAssist::Ranked> named, grid;
    vyrLibrary::rank (snapshotOf (target), named, grid);
    ASSERT_EQ (named.size(), 36u);
    ASSERT_EQ (grid.size(), 8u);
    EXPECT_STREQ (named[0].profile.title, target.title);
    EXPECT_TRUE (std::is_sorted (named.begin(), named.end(), [] (auto& a, auto& b) { return a.distance < b.distance; }));
    EXPECT_TRUE (std::is_sorted (grid.begin(), grid.end(), [] (auto& a, auto& b) { return a.distance < b.distance; }));
    for (auto& g : grid)
        EXPECT_EQ (g.profile.title, nullptr);

    LibraryModel m;
    m.named = named;
    m.grid = grid;
    EXPECT_EQ (vyrLibrary::listHeight (m), 1570);
    EXPECT_EQ (vyrLibrary::listHeight (LibraryModel {}), 66);
}

TEST (LibraryModel, LaneAndSnapLine)
{
    Snapshot s;
    s.medium = 7;
    s.style = 0;
    EXPECT_EQ (libraryLane (s), u ("Club  \xc2\xb7  EDM"));
    EXPECT_EQ (librarySnapLine (s, 71.5f), u ("LUFS \xe2\x80\x94    CLIP 0%    FIT 72"));
    s.hasFile = true;
    s.lufs = -9.25f;
    EXPECT_EQ (librarySnapLine (s, 70.0f), u ("LUFS \xe2\x80\x94    CLIP 0%    FIT 70")) << "an assumed loudness is not shown";
    s.lufsKnown = true;
    s.clipShare = 0.125f;   // 12.5 % prints as the even neighbour
    EXPECT_EQ (librarySnapLine (s, 70.5f), u ("LUFS -9.2    CLIP 12%    FIT 70"));
}

//==============================================================================
TEST (AssistantAdvice, WithoutAFileTheLinesWaitForASource)
{
    Snapshot s;   // no file, no signal; loudness assumed on target
    s.lufs = s.targetLufs;
    s.medium = 3;
    s.style = 5;
    auto a = vyrMasterAssist::coach (s);
    EXPECT_EQ (a.headline, u ("Load a file. The assistant reads the prospective master \xe2\x80\x94 the wave that does not exist yet."));
    EXPECT_EQ (a.loudness, "Album / Medium target is -14 LUFS. Waiting on a source.");
    EXPECT_EQ (a.limiting, "No envelope to judge limiting.");
    EXPECT_EQ (a.balance, "Pink-referenced balance needs audio.");
    EXPECT_EQ (a.next, "Drop a mix in. Medium on Album is a different list than a loud EP.");
    EXPECT_EQ (a.title, vyrMasterLib::title (vyrMasterLib::at (a.nearest)));
    EXPECT_GT (a.fit, 0.0f);

    s.style = 1;
    a = vyrMasterAssist::coach (s);
    EXPECT_EQ (a.headline, "Load a performance. Jazz on Album is judged on ride crest, not average loudness.");
    EXPECT_TRUE (a.loudness.startsWith (u ("Album jazz target is -14 LUFS \xe2\x80\x94 "))) << a.loudness;
    EXPECT_EQ (a.limiting, "No kit envelope yet. We will see if the limiter leaves the cymbal.");
    EXPECT_EQ (a.balance, "Pink-referenced bass vs ride needs audio.");
    EXPECT_TRUE (a.next.startsWith ("Drop a mix in. ") && a.next.contains ("the library changes with style")) << a.next;

    s.style = 2;
    s.medium = 0;
    s.targetLufs = s.lufs = -23.0f;
    a = vyrMasterAssist::coach (s);
    EXPECT_EQ (a.headline, "Load a performance. Classical on Cinematic is judged like a hall, not a single.");
    EXPECT_TRUE (a.loudness.startsWith (u ("Cinematic classical target is -23 LUFS \xe2\x80\x94 "))) << a.loudness;
    EXPECT_TRUE (a.loudness.contains ("-8 of a club master")) << a.loudness;
    EXPECT_EQ (a.limiting, "No envelope yet. A tutti will show whether the ceiling leaves crest.");
    EXPECT_EQ (a.balance, "Pink-referenced orchestra balance needs audio.");
    EXPECT_TRUE (a.next.startsWith ("Drop a mix in. ") && a.next.contains ("the library is waiting on a source")) << a.next;
}

TEST (AssistantAdvice, ClubEdmMasterNearTheSubHeavyCrush)
{
    Snapshot s;
    s.hasFile = true;
    s.hasSignal = true;
    s.lufsKnown = true;
    s.medium = 7;
    s.style = 0;
    s.targetLufs = -9.0f;
    s.lufs = -6.6f;
    s.clipShare = 0.52f;
    s.lowVsMidDb = 3.0f;
    s.midDb = 0.0f;
    s.highDb = 0.3f;
    const auto a = vyrMasterAssist::coach (s);
    // "Sub-heavy crush" and "Trap 808 lift" are the same destination: the lower index wins.
    EXPECT_EQ (a.nearest, 857);
    EXPECT_EQ (a.title, "Sub-heavy crush");
    // Only the loudness is off the destination: 100 - 9 x 2.4 (FIT measures against the chosen target).
    EXPECT_NEAR (a.fit, 78.4f, 0.01f);
    EXPECT_EQ (a.headline, u ("Close to Sub-heavy crush. 36 nearby albums \xe2\x80\x94 open LIBRARY. Small moves \xe2\x80\x94 don't chase peaks."));
    EXPECT_EQ (a.loudness, u ("Loudness -6.6 LUFS \xe2\x80\x94 2.4 past -9. Streaming will turn it down; you are only losing punch."));
    EXPECT_EQ (a.limiting, u ("Limiting 52% \xe2\x80\x94 competitive glue. Typical club/radio density without a brick wall."));
    EXPECT_EQ (a.balance, "Sub sits with pink.  Hats / air sits with pink.");
    // Variant 857 x 17 + 7 x 5 = 14604, a multiple of three.
    EXPECT_EQ (a.next, "Keep verifying as you tweak. The picture and this note update together.");

    auto quiet = s;
    quiet.hasSignal = false;
    EXPECT_TRUE (vyrMasterAssist::coach (quiet).balance.endsWith (u (" (from EQ until you play \xe2\x80\x94 pink wants equal energy per octave.)")));
}

TEST (AssistantAdvice, UnmeasuredLoudnessIsNotJudged)
{
    // A file is loaded but nothing has played and it is not analysed: the loudness is only the target.
    Snapshot s;
    s.hasFile = true;
    s.medium = 6;
    s.style = 3;
    s.lufs = s.targetLufs = -14.0f;
    s.clipShare = 0.2f;
    const auto a = vyrMasterAssist::coach (s);
    EXPECT_EQ (a.loudness, "Streaming / Independent target is -14 LUFS. Waiting on a source.");
    EXPECT_TRUE (a.limiting.startsWith ("Limiting 20% at the ceiling")) << "the modelled limiting is still judged";
    EXPECT_TRUE (a.balance.endsWith (u (" (from EQ until you play \xe2\x80\x94 pink wants equal energy per octave.)")));
}

TEST (AssistantAdvice, NamedNearestAppendsItsNote)
{
    const auto p = vyrMasterLib::at (872 + 137);
    auto s = snapshotOf (p);
    s.targetLufs = -7.0f;
    s.hasSignal = true;
    const auto a = vyrMasterAssist::coach (s);
    EXPECT_EQ (a.nearest, 872 + 137);
    EXPECT_FLOAT_EQ (a.fit, 100.0f);
    EXPECT_EQ (a.headline, "This is in the pocket for " + a.title + ". " + juce::String::fromUTF8 (p.note)
                               + " Export when it feels like the one.");
}

TEST (AssistantAdvice, ThresholdsPickTheirSentences)
{
    using namespace vyrMasterLib;
    // Loudness: within 0.6 LU is on target.
    EXPECT_TRUE (lineLufs (0, 7, -13.41f, -14.0f, 0).contains ("on the Club slam (-14)"));
    EXPECT_TRUE (lineLufs (0, 7, -13.4f, -14.0f, 0).contains ("0.6 past -14"));
    EXPECT_TRUE (lineLufs (0, 7, -14.6f, -14.0f, 0).contains ("0.6 under the Club hit"));
    struct LufsCase { int style; float lufs; const char* expected; };
    const LufsCase lufsCases[] = {
        { 4, -14.0f, "on the loud Album target" }, { 4, -12.0f, "2.0 into loudness-war territory" },
        { 4, -16.0f, "2.0 short of the loud lane. A little more in or limiter mix." },
        { 1, -14.0f, "ride cymbal still has crest" }, { 1, -12.0f, "2.0 hotter than album jazz. You are squeezing decay" },
        { 1, -16.0f, "2.0 open of -14. Fine if the room is the point" },
        { 2, -14.0f, "concert headroom on the -14 Album lane" }, { 2, -12.0f, "2.0 above concert level. Classical this hot starts to flatten the hall" },
        { 2, -16.0f, "2.0 shy of -14. Leave crest" },
        { 5, -14.0f, "LUFS on Album / -14 \xe2\x80\x94 sits on the destination" }, { 5, -12.0f, "2.0 above target." },
        { 5, -16.0f, "2.0 shy of target." },
    };
    for (const auto& c : lufsCases)
        EXPECT_TRUE (lineLufs (c.style, 3, c.lufs, -14.0f, 0).contains (u (c.expected))) << c.style << " " << c.lufs;
    EXPECT_TRUE (lineLufs (2, 3, -16.0f, -14.0f, 0).contains ("imprints")) << "the classical tail is appended";
    EXPECT_TRUE (lineLufs (1, 3, -16.0f, -14.0f, 0).endsWith ("makeup only if the ride disappears."));
    EXPECT_TRUE (lineLufs (6, 3, -14.0f, -14.0f, 1).endsWith ("matches the lane. Streaming will not punish this much."));
    EXPECT_TRUE (lineLufs (3, 3, -12.0f, -14.0f, 2).endsWith ("over the K-System lane. Back off makeup before you add clip."));

    // Limiting: -0.05 is glued, 0.08 crushed.
    EXPECT_TRUE (lineLimit (5, 0.2f, -0.0501f).contains ("still open"));
    EXPECT_TRUE (lineLimit (5, 0.2f, -0.05f).contains ("glued, not crushed"));
    EXPECT_TRUE (lineLimit (5, 0.2f, 0.08f).contains ("flattening a lot"));
    EXPECT_TRUE (lineLimit (2, 0.2f, 0.0f).startsWith ("Ceiling grab 20%"));
    EXPECT_TRUE (lineLimit (1, 0.2f, 0.0f).contains ("not crushed like a 2008 metal CD"));
    EXPECT_TRUE (lineLimit (1, 0.2f, 0.1f).contains ("the cymbal is becoming static"));
    EXPECT_TRUE (lineLimit (4, 0.6f, -0.2f).contains ("still open for a loud cut"));
    EXPECT_TRUE (lineLimit (0, 0.6f, 0.2f).contains ("festival crush"));

    // Headline tiers at exactly 88 and 70.
    EXPECT_TRUE (lineHeadline (5, 88.0f, "X", " S.").startsWith ("This is in the pocket for X."));
    EXPECT_TRUE (lineHeadline (5, 70.0f, "X", " S.").startsWith ("Close to X. S. Small moves"));
    EXPECT_EQ (lineHeadline (5, 69.9f, "X", " S."), "Nearest of 1036: X. S.");
    EXPECT_EQ (lineHeadline (1, 50.0f, "X", " S."), "Nearest jazz destination: X. S.");
    EXPECT_TRUE (lineHeadline (2, 75.0f, "X", " S.").startsWith ("Near X. S. Small moves"));

    // Balance phrases: 0.8 prints its figure, -0.79 sits with pink.
    EXPECT_EQ (lineBal ("Bass", 0.8f), "Bass is +0.8 dB vs pink.");
    EXPECT_EQ (lineBal ("Bass", -0.79f), "Bass sits with pink.");
    EXPECT_EQ (lineBal ("High", -1.25f), "High is -1.2 dB vs pink.");
    EXPECT_EQ (lineBalance (2, 1.0f, 0.0f, true), "Low strings / pedal is +1.0 dB vs pink.  Overtones / hall sits with pink.");

    // Next step: the first rule that holds.
    EXPECT_EQ (lineNext (5, 1.3f, 2.0f, 0.2f, 0), "Try less low shelf / MBC low, or a gentler density mix.");
    EXPECT_TRUE (lineNext (1, 0.0f, 2.0f, 0.0f, 0).startsWith ("Ride is hot vs pink"));
    EXPECT_TRUE (lineNext (2, 0.0f, -1.3f, 0.0f, 0).startsWith ("Hall is shy vs pink"));
    EXPECT_TRUE (lineNext (1, 0.0f, -1.3f, 0.0f, 0).startsWith ("The cymbal is shy vs pink"));
    EXPECT_EQ (lineNext (1, 0.0f, 0.0f, 0.11f, 0), "Raise the ceiling a few tenths. Jazz limiting is a safety net, not a sound.");
    EXPECT_EQ (lineNext (2, 0.0f, 0.0f, 0.0f, 1), "Play a pp passage. If the limiter moves, the ceiling is too eager.");
    EXPECT_EQ (lineNext (1, 0.0f, 0.0f, 0.0f, 2), "Watch crest, not only LUFS. The pocket is the decay after the snare.");
    EXPECT_TRUE (lineNext (1, 0.0f, 0.0f, 0.0f, 0).startsWith ("Solo the ride in your head."));
    EXPECT_TRUE (lineNext (1, 0.0f, 0.0f, 0.0f, 1).startsWith ("Leave one chorus with no extra makeup."));
    EXPECT_EQ (lineNext (6, 0.0f, 0.0f, 0.0f, 5), "Small moves. FIT is a distance, not a grade.");
}
