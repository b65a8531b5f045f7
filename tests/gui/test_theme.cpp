#include "GuiTestUtil.h"
#include "Ui/Foundation/VyrTheme.h"

TEST (Theme, IdsClampToTheTableAndRecordsMatchTheirIndex)
{
    EXPECT_EQ (vyrTheme (-1).id, VyrThemeId::dark);
    EXPECT_EQ (vyrTheme (7).id, VyrThemeId::instrument);
    EXPECT_EQ (vyrTheme (1000).id, VyrThemeId::instrument);
    const char* names[] = { "Precision Studio", "Ethereal Glass", "Forge Titanium", "Analog Rack", "Neural Lab", "Instrument Lab" };
    const char* keys[] = { "dark", "glass", "titanium", "retro", "hud", "instrument" };
    for (int i = 0; i < kNumThemes; ++i)
    {
        EXPECT_EQ (kThemes[i].id, i);
        EXPECT_STREQ (kThemes[i].name, names[i]);
        EXPECT_STREQ (kThemes[i].key, keys[i]);
        EXPECT_NE (juce::String (kThemes[i].tagline), "");
    }
}

TEST (Theme, NamesAreTheChoicesOfTheThemeParameter)
{
    auto proc = vyrGui::makeProcessor (15);
    auto* choice = dynamic_cast<juce::AudioParameterChoice*> (proc->apvts.getParameter ("theme"));
    ASSERT_NE (choice, nullptr);
    ASSERT_EQ (choice->choices.size(), kNumThemes);
    for (int i = 0; i < kNumThemes; ++i)
        EXPECT_EQ (choice->choices[i], juce::String (kThemes[i].name));
}

TEST (Theme, ColourTables)
{
    struct Row
    {
        int id;
        juce::uint32 accent, panelTop, outline, text;
        float radius;
        bool textured, light;
    };
    const Row rows[] = {
        { 0, 0xff38e0ff, 0xeb202a3a, 0x2938e0ff, 0xff7dd3fc, 13.6f, false, false },
        { 1, 0xff22d3ee, 0x29ffffff, 0x4cffffff, 0xfff5d0fe, 22.4f, false, false },
        { 2, 0xffe0a94e, 0xff2c3038, 0x33ffffff, 0xffd4b572, 5.12f, false, false },
        { 3, 0xffff9e1a, 0xff342618, 0xff7a5828, 0xffffb84d, 8.0f, true, false },
        { 4, 0xff00f0ff, 0xf01c282e, 0x9e00f0ff, 0xff7df9ff, 2.88f, true, false },
        { 5, 0xff2c5f52, 0xffc6d4c6, 0xff1a1a1a, 0xff1a1a1a, 8.0f, false, true },
    };
    for (const auto& r : rows)
    {
        SCOPED_TRACE (r.id);
        const auto& t = kThemes[r.id];
        EXPECT_EQ (t.accent, r.accent);
        EXPECT_EQ (t.panelTop, r.panelTop);
        EXPECT_EQ (t.outline, r.outline);
        EXPECT_EQ (t.text, r.text);
        EXPECT_FLOAT_EQ (t.cornerRadius, r.radius);
        EXPECT_EQ (t.textured, r.textured);
        EXPECT_EQ (t.light, r.light);
    }
    EXPECT_EQ (kThemes[1].panelBottom, 0x0affffffu);
    EXPECT_EQ (kThemes[4].glow2, 0x33ff2dd1u);
    EXPECT_EQ (kThemes[2].brightAccent, 0xfff1d9a1u);
    EXPECT_FLOAT_EQ (kThemes[4].titleKerning, 0.03f);
}

TEST (Theme, InkFollowsTheLightFlag)
{
    for (int id = -2; id < 9; ++id)
        EXPECT_EQ (vyrInk (id).getARGB(), vyrClampTheme (id) == VyrThemeId::instrument ? 0xff1a1a1au : 0xffd4d8deu) << id;
}

TEST (Theme, ModuleColoursAndTitlesMatchExactKeysOnly)
{
    EXPECT_EQ (vyrFxColour ("saturation").getARGB(), 0xffff754eu);
    EXPECT_EQ (vyrFxColour ("analogueDensity").getARGB(), 0xff6fb1e0u);
    EXPECT_EQ (vyrFxColour ("Compressor").getARGB(), 0xff38e0ffu);
    EXPECT_EQ (vyrFxTitle ("clip"), "Clipper");
    EXPECT_EQ (vyrFxTitle ("multiBandComp"), "Multiband Comp");
    EXPECT_EQ (vyrFxTitle ("Compressor"), "Compressor");
    EXPECT_EQ (vyrFxTitle ("somethingElse"), "somethingElse");
    EXPECT_EQ (vyrFxTitle (""), "");
}
