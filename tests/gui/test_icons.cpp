#include "GuiTestUtil.h"
#include "Ui/Foundation/VyrLucide.h"

using namespace vyrGui;

namespace
{
const auto clear = juce::Colours::transparentBlack;
}

TEST (Icons, BoxIsCentredAndFittedToTheShorterSide)
{
    EXPECT_FLOAT_EQ (vyrLucide::iconScale ({ 0, 0, 48, 24 }), 1.0f);
    EXPECT_EQ (vyrLucide::iconPoint ({ 0, 0, 48, 24 }, 0, 0), juce::Point<float> (12, 0));
    EXPECT_EQ (vyrLucide::iconPoint ({ 0, 0, 48, 24 }, 24, 24), juce::Point<float> (36, 24));
    // A vertical line at u = 12 stroked 2 px wide lands on x 23..25.
    const auto img = renderPaint (48, 24, [] (juce::Graphics& g) { vyrLucide::strokeD (g, { 0, 0, 48, 24 }, juce::Colours::white, "M12 4v16"); });
    const auto ink = inkBounds (img, clear, 40);
    EXPECT_EQ (ink.getX(), 23);
    EXPECT_EQ (ink.getRight(), 25);
    EXPECT_NEAR (ink.getY(), 3, 1);
    EXPECT_NEAR (ink.getBottom(), 21, 1);
    // Every painter stays inside the 24-unit box, 12 px free either side.
    const vyrLucide::Painter painters[] = { vyrLucide::drawMousePointer2, vyrLucide::drawMoveHorizontal, vyrLucide::drawSpline,
                                            vyrLucide::drawMoveVertical, vyrLucide::drawBoxSelect, vyrLucide::drawEraser,
                                            vyrLucide::drawPause, vyrLucide::drawPlay, vyrLucide::drawWand2, vyrLucide::drawDownload,
                                            vyrLucide::drawRotateCcw, vyrLucide::drawGrip, vyrLucide::drawSettings,
                                            vyrLucide::drawMinimize2, vyrLucide::drawMaximize2, vyrLucide::drawMonitor,
                                            vyrLucide::drawMic, vyrLucide::drawMicOff };
    juce::Image sheet (juce::Image::ARGB, 48 * 6, 24 * 3, true);
    for (int i = 0; i < (int) std::size (painters); ++i)
    {
        const auto one = renderPaint (48, 24, [&] (juce::Graphics& g) { painters[i] (g, { 0, 0, 48, 24 }, juce::Colours::white); });
        const auto b = inkBounds (one, clear, 0);
        EXPECT_FALSE (b.isEmpty()) << i;
        EXPECT_GE (b.getX(), 11) << i;
        EXPECT_LE (b.getRight(), 37) << i;
        juce::Graphics (sheet).drawImageAt (one, 48 * (i % 6), 24 * (i / 6));
    }
    savePng (sheet.rescaled (sheet.getWidth() * 3, sheet.getHeight() * 3), "icons-painters");
}

TEST (Icons, EmptyRectangleDrawsNothing)
{
    const auto img = renderPaint (30, 30, [] (juce::Graphics& g) {
        vyrLucide::drawSettings (g, { 10, 10, 0, 0 }, juce::Colours::white);
        vyrLucide::drawPlay (g, { 10, 10, 20, 0 }, juce::Colours::white);
        vyrLucide::drawSlot (g, {}, "eq", juce::Colours::white);
    });
    EXPECT_EQ (countInk (img, clear, 0), 0);
}

TEST (Icons, SlotIconsByModuleIdWithActivityForUnknownIds)
{
    auto slot = [] (const juce::String& id) {
        return renderPaint (32, 32, [&] (juce::Graphics& g) { vyrLucide::drawSlot (g, { 0, 0, 32, 32 }, id, juce::Colours::white); });
    };
    const auto activity = slot ("dynamicEq");
    auto same = [&] (const juce::Image& a) { return countInk (a, clear, 0) == countInk (activity, clear, 0) && inkBounds (a, clear, 0) == inkBounds (activity, clear, 0); };
    EXPECT_TRUE (same (slot ("")));
    EXPECT_TRUE (same (slot ("multimeter")));
    EXPECT_TRUE (same (slot ("Compressor")));
    const char* ids[] = { "compressor", "saturation", "analogueDensity", "clip", "tape", "delay", "reverb", "eq",
                          "multiBandComp", "limiter", "stereoImager", "tovu" };
    juce::Image sheet (juce::Image::ARGB, 32 * 12, 32, true);
    for (int i = 0; i < 12; ++i)
    {
        const auto img = slot (ids[i]);
        EXPECT_GT (countInk (img, clear, 0), 20) << ids[i];
        EXPECT_FALSE (same (img)) << ids[i];
        juce::Graphics (sheet).drawImageAt (img, 32 * i, 0);
    }
    savePng (sheet.rescaled (sheet.getWidth() * 2, 64), "icons-slots");
}

TEST (Icons, LinkChipGeometry)
{
    EXPECT_FLOAT_EQ (vyrLucide::linkChipIconSize (20.0f), 12.0f);
    EXPECT_FLOAT_EQ (vyrLucide::linkChipRadius (20.0f), 6.0f);
    EXPECT_FLOAT_EQ (vyrLucide::linkChipIconSize (30.0f), 16.0f);
    EXPECT_FLOAT_EQ (vyrLucide::linkChipRadius (10.0f), 3.5f);

    struct Case
    {
        bool linked, light;
        juce::uint32 fill;
    };
    const Case cases[] = { { true, false, 0x6622d3ee }, { false, false, 0x0fffffff }, { true, true, 0xff2a2e35 }, { false, true, 0x14000000 } };
    for (const auto& c : cases)
    {
        const auto img = renderPaint (80, 24, [&] (juce::Graphics& g) { vyrLucide::paintLinkChip (g, { 0, 0, 80, 24 }, c.linked, c.light); });
        // The fill just inside the left edge, clear of icon and text.
        EXPECT_TRUE (colourNear (img.getPixelAt (3, 12), juce::Colour (c.fill), 3)) << c.linked << c.light;
        // Icon and label are centred together.
        const auto ink = inkBounds (img.getClippedImage ({ 2, 2, 76, 20 }), juce::Colour (img.getPixelAt (3, 12)), 60);
        EXPECT_NEAR (ink.getCentreX() + 2, 40, 3) << c.linked << c.light;
        savePng (img, juce::String ("icons-linkchip-") + (c.linked ? "linked" : "open") + (c.light ? "-light" : "-dark"));
    }
}

TEST (Icons, LedGeometry)
{
    EXPECT_EQ (vyrLucide::ledBounds ({ 0, 0, 100, 20 }, 1.0f), juce::Rectangle<float> (90, 4, 8, 8));
    const auto off = renderPaint (100, 20, [] (juce::Graphics& g) { vyrLucide::drawLed (g, { 0, 0, 100, 20 }, false, 1.0f); });
    const auto ink = inkBounds (off, clear, 0);
    EXPECT_NEAR (ink.getX(), 89, 1);
    EXPECT_NEAR (ink.getRight(), 99, 1);
    EXPECT_NEAR (ink.getY(), 3, 1);
    EXPECT_NEAR (ink.getBottom(), 13, 1);
    const auto on = renderPaint (100, 20, [] (juce::Graphics& g) { vyrLucide::drawLed (g, { 0, 0, 100, 20 }, true, 1.0f); });
    EXPECT_TRUE (colourNear (on.getPixelAt (94, 8), juce::Colour (0xff4ade80), 6));
    EXPECT_LT (inkBounds (on, clear, 0).getX(), 88); // the glow reaches 2.2 units further
}

TEST (Icons, PowerCaptionAndInfoDot)
{
    for (bool on : { true, false })
    {
        const auto img = renderPaint (80, 24, [&] (juce::Graphics& g) { vyrLucide::drawPowerOnOff (g, { 0, 0, 80, 24 }, on, juce::Colours::white); });
        const auto ink = inkBounds (img, clear, 0);
        EXPECT_NEAR (ink.getCentreX(), 40, 3) << on;
        EXPECT_NEAR (ink.getY(), 5, 1) << on; // the 14-px icon box starts 7 above the centre
    }
    const auto dot = renderPaint (18, 18, [] (juce::Graphics& g) { vyrMeter::paintInfoDot (g, { 1.5f, 1.5f, 15, 15 }, juce::Colour (0xff38bdf8)); });
    const auto ink = inkBounds (dot, clear, 0);
    EXPECT_NEAR (ink.getWidth(), 15, 2);
    EXPECT_NEAR (ink.getCentreX(), 9, 1);
    savePng (dot.rescaled (72, 72), "icons-infodot");
}
