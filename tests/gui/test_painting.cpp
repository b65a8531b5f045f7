#include "GuiTestUtil.h"
#include "Ui/Foundation/VyrPainting.h"

using namespace vyrGui;

namespace
{
const auto clear = juce::Colours::transparentBlack;

juce::Image chrome (int themeId, bool screws, juce::Rectangle<float> area = { 20, 20, 200, 120 })
{
    return renderPaint (260, 170, [&] (juce::Graphics& g) { vyrPaintPanelChrome (g, area, vyrTheme (themeId), screws); });
}

bool sameImage (const juce::Image& a, const juce::Image& b)
{
    return a.getBounds() == b.getBounds() && countInk (a, clear, 0) == countInk (b, clear, 0)
           && [&] {
                  for (int y = 0; y < a.getHeight(); ++y)
                      for (int x = 0; x < a.getWidth(); ++x)
                          if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                              return false;
                  return true;
              }();
}
}

TEST (Painting, PanelChromeScrewsOnlyOnDarkTitaniumAndInstrument)
{
    struct Case
    {
        int id;
        bool screwsDrawn;
        juce::Point<int> screwCentre; // of the top-left screw, area at (20, 20)
    };
    const Case cases[] = { { 0, true, { 30, 30 } }, { 1, false, { 30, 30 } }, { 2, true, { 30, 30 } },
                           { 3, false, { 30, 30 } }, { 4, false, { 30, 30 } }, { 5, true, { 33, 33 } } };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.id);
        const auto with = chrome (c.id, true), without = chrome (c.id, false);
        EXPECT_EQ (! sameImage (with, without), c.screwsDrawn);
        if (c.screwsDrawn)
            EXPECT_GT (colourDistance (with.getPixelAt (c.screwCentre.x, c.screwCentre.y),
                                       without.getPixelAt (c.screwCentre.x, c.screwCentre.y)), 20);
        savePng (with, "painting-chrome-" + juce::String (kThemes[c.id].key));
    }
}

TEST (Painting, PanelChromeShadowAndHudBrackets)
{
    // Dark identities cast a shadow below-right of the body; the light one does not.
    EXPECT_GT (chrome (0, false).getPixelAt (120, 142).getAlpha(), 0);
    EXPECT_EQ (chrome (5, false).getPixelAt (120, 142).getAlpha(), 0);
    // HUD: accent brackets at the top-left corner, 14 px long.
    const auto hud = chrome (4, false);
    EXPECT_TRUE (colourNear (hud.getPixelAt (28, 20), juce::Colour (0xff00f0ff), 40));
    EXPECT_TRUE (colourNear (hud.getPixelAt (20, 28), juce::Colour (0xff00f0ff), 40));
}

TEST (Painting, TitaniumHousingTintsByModuleKey)
{
    const juce::Rectangle<float> area (10, 10, 300, 200);
    struct Case
    {
        const char* key;
        juce::uint32 top;
    };
    const Case cases[] = { { "compressor", 0xff376b84 }, { "limiter", 0xff613b48 }, { "unknownModule", 0xff6b7671 },
                           { "analogueDensity", 0xff2b2e34 } };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.key);
        const auto img = renderPaint (320, 220, [&] (juce::Graphics& g) { vyrPaintFxHousing (g, area, VyrThemeId::titanium, c.key); });
        // Between the brushed lines (every 3 px from x = 10) near the top edge.
        EXPECT_TRUE (colourNear (img.getPixelAt (71, 13), juce::Colour (c.top), 4));
    }
}

TEST (Painting, DarkModuleHousingIgnoresTheKeyAndDrawsNoChrome)
{
    const juce::Rectangle<float> area (10, 10, 200, 120);
    auto housing = [&] (const char* key) {
        return renderPaint (240, 160, [&] (juce::Graphics& g) {
            vyrPaintModuleHousing (g, area, VyrThemeId::dark, key, juce::Colour (0xff203040), juce::Colour (0xff38e0ff));
        });
    };
    const auto a = housing ("compressor"), b = housing ("limiter");
    EXPECT_TRUE (sameImage (a, b));
    EXPECT_EQ (a.getPixelAt (120, 133).getAlpha(), 0); // no chrome shadow below the housing
    EXPECT_TRUE (colourNear (a.getPixelAt (110, 12), juce::Colour (0xff203040), 6));
    // Other identities draw the chain housing.
    const auto glass = renderPaint (240, 160, [&] (juce::Graphics& g) {
        vyrPaintModuleHousing (g, area, VyrThemeId::glass, "compressor", juce::Colour (0xff203040), juce::Colour (0xff38e0ff));
    });
    const auto glassFx = renderPaint (240, 160, [&] (juce::Graphics& g) { vyrPaintFxHousing (g, area, VyrThemeId::glass, "compressor"); });
    EXPECT_TRUE (sameImage (glass, glassFx));
}

TEST (Painting, EnamelRadiusRule)
{
    EXPECT_FLOAT_EQ (vyrEnamelRadius (40.0f, false), 6.0f);
    EXPECT_FLOAT_EQ (vyrEnamelRadius (10.0f, false), 3.8f);
    EXPECT_FLOAT_EQ (vyrEnamelRadius (40.0f, true), 20.0f);
    // (3, 3) lies inside a 6-px corner but outside a 20-px one.
    for (bool pill : { false, true })
    {
        const auto img = renderPaint (100, 40, [&] (juce::Graphics& g) {
            vyrDrawEnamelButton (g, { 0, 0, 100, 40 }, false, juce::Colour (0xff22d3ee), false, pill);
        });
        EXPECT_EQ (img.getPixelAt (3, 3).getAlpha() > 0, ! pill);
        EXPECT_EQ (img.getPixelAt (50, 20).getAlpha(), 255);
    }
}

TEST (Painting, LitEnamelWithBlackAccentIsNeutralWithALighterRim)
{
    const auto img = renderPaint (100, 40, [&] (juce::Graphics& g) {
        vyrDrawEnamelButton (g, { 0, 0, 100, 40 }, true, juce::Colours::black, false, false);
    });
    const auto face = img.getPixelAt (50, 30), rim = img.getPixelAt (0, 20);
    EXPECT_EQ (face.getRed(), face.getGreen());
    EXPECT_EQ (face.getGreen(), face.getBlue());
    EXPECT_LT (face.getRed(), 40);
    EXPECT_GT (rim.getRed(), face.getRed() + 20);
    EXPECT_EQ (rim.getRed(), rim.getBlue());
}

TEST (Painting, SegmentCellsRoundOnlyOuterCorners)
{
    struct Case
    {
        int index, count;
        bool leftRounded, rightRounded;
    };
    const Case cases[] = { { 0, 1, true, true }, { 0, 3, true, false }, { 1, 3, false, false }, { 2, 3, false, true }, { 5, 3, false, true } };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.index) + " of " + juce::String (c.count));
        const auto img = renderPaint (60, 30, [&] (juce::Graphics& g) {
            g.setColour (juce::Colours::white);
            vyrFillSegmentCell (g, { 0, 0, 60, 30 }, 8.0f, c.index, c.count);
        });
        EXPECT_EQ (img.getPixelAt (0, 0).getAlpha() == 0, c.leftRounded);
        EXPECT_EQ (img.getPixelAt (0, 29).getAlpha() == 0, c.leftRounded);
        EXPECT_EQ (img.getPixelAt (59, 0).getAlpha() == 0, c.rightRounded);
        EXPECT_EQ (img.getPixelAt (59, 29).getAlpha() == 0, c.rightRounded);
    }
}

TEST (Painting, PageBackgroundOutsideTheIdsIsThePlainDarkGradient)
{
    auto page = [] (int id) { return renderPaint (400, 300, [&] (juce::Graphics& g) { vyrFillPageBackground (g, { 0, 0, 400, 300 }, id); }); };
    const auto minus = page (-1), nine = page (9), dark = page (0);
    EXPECT_TRUE (sameImage (minus, nine));
    EXPECT_TRUE (colourNear (minus.getPixelAt (200, 0), juce::Colour (0xff2c3a58), 2));
    EXPECT_TRUE (colourNear (minus.getPixelAt (200, 299), juce::Colour (0xff182234), 2));
    EXPECT_GT (colourDistance (dark.getPixelAt (56, 0), minus.getPixelAt (56, 0)), 4); // the dark glows
    for (int id = 0; id < kNumThemes; ++id)
        savePng (page (id), "painting-page-" + juce::String (kThemes[id].key));
}

TEST (Painting, PinstripeCoversTheGradient)
{
    const juce::Colour c1 (0xff38504a), c2 (0xff46605a), c3 (0xff2e443c), c4 (0xff506a60);
    const auto img = renderPaint (120, 60, [&] (juce::Graphics& g) {
        paintPinstripe (g, { 0, 0, 120, 60 }, 12.0f, c1, c2, c3, c4, juce::Colour (0xff42584e), juce::Colour (0xff2c3c30));
    });
    const juce::Colour expected[] = { c1, c1, c2, c2, c3, c4 };
    for (int i = 0; i < 12; ++i)
        EXPECT_TRUE (colourNear (img.getPixelAt (30 + i, 30), expected[(30 + i) % 6], 1)) << i;
}

TEST (Painting, VuScrewsBrightOnlyOnDarkGlassAndInstrumentWhenNotDim)
{
    auto screws = [] (int id, bool dim) {
        return renderPaint (100, 60, [&] (juce::Graphics& g) { vyrPaintVuBezelScrews (g, { 0, 0, 100, 60 }, id, dim); });
    };
    // The highlight of the top-left screw at (8 + 4.5, 8 + 3).
    const int brightAlpha = screws (0, false).getPixelAt (12, 11).getRed();
    EXPECT_GT (brightAlpha, screws (0, true).getPixelAt (12, 11).getRed() + 30);
    EXPECT_TRUE (sameImage (screws (4, false), screws (0, true)));
    EXPECT_TRUE (sameImage (screws (5, false), screws (1, false)));
}

TEST (Painting, TinyAndEmptyAreasDrawWithoutError)
{
    // Run in the Debug sanitizer build, where the framework asserts on negative sizes.
    for (float s : { 0.0f, 1.0f, 2.0f, 3.0f, 5.0f, 11.0f })
        for (int id = -1; id <= kNumThemes; ++id)
            renderPaint (16, 16, [&] (juce::Graphics& g) {
                const juce::Rectangle<float> r (1, 1, s, s);
                vyrFillPageBackground (g, r.toNearestInt(), id);
                vyrPaintPanelChrome (g, r, vyrTheme (id), true);
                vyrPaintFxHousing (g, r, id, "eq");
                vyrPaintFxHousing (g, r, id, "analogueDensity");
                vyrPaintModuleHousing (g, r, id, "eq", juce::Colours::grey, juce::Colours::white);
                vyrPaintVuBezelScrews (g, r, id, false);
                vyrFillSegmentCell (g, r, 8.0f, 0, 1);
                for (bool lit : { false, true })
                    for (bool pill : { false, true })
                        vyrDrawEnamelButton (g, r, lit, juce::Colours::cyan, id == 5, pill);
                paintPinstripe (g, r, 12.0f, juce::Colours::red, juce::Colours::green, juce::Colours::blue, juce::Colours::white,
                                juce::Colours::grey, juce::Colours::black);
            });
}

// The kept shadow draws what JUCE's shadow draws, and follows the shape when it moves or resizes
// and the shadow when it changes (a stale blur would leave a shadow in the old place).
TEST (Painting, CachedShadowMatchesJuceShadowAndFollowsChanges)
{
    VyrCachedShadow cached;
    struct Case
    {
        juce::Rectangle<float> disc;
        juce::DropShadow shadow;
    };
    const Case cases[] = { { { 40.3f, 30.6f, 60.0f, 60.0f }, { juce::Colours::black.withAlpha (0.3f), 17, { 3, 5 } } },
                           { { 40.3f, 30.6f, 60.0f, 60.0f }, { juce::Colours::black.withAlpha (0.6f), 17, { 3, 5 } } },
                           { { 70.0f, 50.0f, 44.0f, 44.0f }, { juce::Colours::black.withAlpha (0.6f), 17, { 3, 5 } } },
                           { { 70.0f, 50.0f, 44.0f, 44.0f }, { juce::Colours::black.withAlpha (0.6f), 9, { 0, 2 } } } };
    for (const auto& c : cases)
    {
        juce::Path disc;
        disc.addEllipse (c.disc);
        const auto expected = renderPaint (200, 160, [&] (juce::Graphics& g) { c.shadow.drawForPath (g, disc); });
        for (int paint = 0; paint < 2; ++paint) // the first paint blurs, the second reuses the blur
        {
            const auto drawn = renderPaint (200, 160, [&] (juce::Graphics& g) { cached.drawForPath (g, disc, c.shadow); });
            EXPECT_TRUE (sameImage (drawn, expected)) << c.disc.toString() << " paint " << paint;
        }
    }
}
