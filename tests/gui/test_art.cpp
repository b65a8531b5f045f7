#include "GuiTestUtil.h"
#include "Ui/Foundation/HardwareArt.h"
#include "VyrArt.h"

using namespace vyrGui;

namespace
{
const auto clear = juce::Colours::transparentBlack;

juce::Image solid (int w, int h, juce::Colour c)
{
    juce::Image img (juce::Image::RGB, w, h, true);
    juce::Graphics (img).fillAll (c);
    return img;
}

bool sameImage (const juce::Image& a, const juce::Image& b)
{
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                return false;
    return true;
}

// The images are decoded once for the whole suite and released before the framework shuts down.
struct ArtTest : ::testing::Test
{
    static void SetUpTestSuite() { suiteHolder = std::make_unique<juce::SharedResourcePointer<HardwareArt>>(); }
    static void TearDownTestSuite() { suiteHolder.reset(); }
    static inline std::unique_ptr<juce::SharedResourcePointer<HardwareArt>> suiteHolder;

    juce::SharedResourcePointer<HardwareArt> art;
};
}

TEST_F (ArtTest, EveryImageDecodesAtItsStatedSize)
{
    struct Case
    {
        const juce::Image* image;
        int w, h;
    };
    const Case cases[] = { { &art->tube12ax7, 1024, 1024 }, { &art->tube6u8a, 1024, 1024 }, { &art->tapeMachines[0], 1024, 1024 },
                           { &art->tapeMachines[6], 1024, 1024 }, { &art->effectKnob, 1024, 1024 }, { &art->appIcon, 1024, 1024 },
                           { &art->stageWell, 2336, 668 }, { &art->meterPlate, 563, 1000 }, { &art->headerWatermark, 512, 512 } };
    for (const auto& c : cases)
    {
        ASSERT_TRUE (c.image->isValid());
        EXPECT_EQ (c.image->getWidth(), c.w);
        EXPECT_EQ (c.image->getHeight(), c.h);
    }
    EXPECT_FALSE (art->stageWell.hasAlphaChannel());
    EXPECT_EQ (VyrArt::namedResourceListSize, 15);
    int size = 0;
    EXPECT_EQ (VyrArt::getNamedResource ("tube_12ax7.png", size), nullptr);
    EXPECT_NE (VyrArt::getNamedResource ("tube_12ax7_png", size), nullptr);
    EXPECT_EQ (size, VyrArt::tube_12ax7_pngSize);
    // The castle silhouette: white on transparent.
    const auto castle = HardwareArt::decodeOrBlank (VyrArt::vyr_castle_png, VyrArt::vyr_castle_pngSize);
    EXPECT_EQ (castle.getWidth(), 2048);
    EXPECT_EQ (castle.getPixelAt (10, 10).getAlpha(), 0);
    EXPECT_EQ (castle.getPixelAt (300, 1700), juce::Colours::white);
    EXPECT_EQ (castle.getPixelAt (1024, 1700).getAlpha(), 0); // the gate
}

TEST_F (ArtTest, UndecodableBytesGiveTheTransparentStandIn)
{
    const char junk[] = "definitely not an image";
    for (const auto& img : { HardwareArt::decodeOrBlank (junk, (int) sizeof (junk)), HardwareArt::decodeOrBlank (nullptr, 0) })
    {
        EXPECT_EQ (img.getWidth(), 8);
        EXPECT_EQ (img.getHeight(), 8);
        EXPECT_EQ (countInk (img, clear, 0), 0);
    }
    EXPECT_TRUE (HardwareArt::loadSilhouetteMask (junk, (int) sizeof (junk)).isNull());
    EXPECT_TRUE (HardwareArt::keyTubeStudioBlack ({}, 0.05f, 0.1f).isNull());
}

TEST_F (ArtTest, KeyingTurnsTheBlackBackdropTransparent)
{
    // Black level 0.2 (51), ramp 0.2: 51 -> 0, 102 -> 255, halfway (76.5 ~ 77) -> about 0.5.
    auto img = solid (4, 1, juce::Colours::black);
    img.setPixelAt (0, 0, juce::Colour (51, 10, 10));
    img.setPixelAt (1, 0, juce::Colour (10, 102, 10));
    img.setPixelAt (2, 0, juce::Colour (10, 10, 77));
    img.setPixelAt (3, 0, juce::Colour (200, 180, 160));
    const auto keyed = HardwareArt::keyTubeStudioBlack (img, 0.2f, 0.2f);
    EXPECT_EQ (keyed.getPixelAt (0, 0).getAlpha(), 0);
    EXPECT_EQ (keyed.getPixelAt (1, 0).getAlpha(), 255);
    EXPECT_NEAR (keyed.getPixelAt (2, 0).getAlpha(), 129, 3);
    EXPECT_EQ (keyed.getPixelAt (3, 0), juce::Colour (200, 180, 160));
    // The stored tube photos: corners are transparent, the glass is not.
    EXPECT_EQ (art->tube6u8a.getPixelAt (5, 5).getAlpha(), 0);
    EXPECT_EQ (art->tube12ax7.getPixelAt (1000, 1000).getAlpha(), 0);
    EXPECT_GT (art->tube12ax7.getPixelAt (512, 500).getAlpha(), 200);
    EXPECT_GT (art->tube6u8a.getPixelAt (512, 500).getAlpha(), 200);
    // The stand-ins' backdrop lies below both black levels: everything left of the glass keys out.
    for (const auto* tube : { &art->tube12ax7, &art->tube6u8a })
        EXPECT_EQ (countInk (*tube, { 0, 0, 300, 1024 }, clear, 0), 0);
}

TEST_F (ArtTest, GlassSilhouetteKeepsTheCentreAndCutsTheTip)
{
    juce::Image img (juce::Image::ARGB, 200, 100, true);
    juce::Graphics (img).fillAll (juce::Colours::white);
    HardwareArt::applyGlassSilhouette (img);
    for (int y = 0; y < 100; ++y)
        EXPECT_EQ (img.getPixelAt (100, y).getAlpha(), 255) << y;
    // Top row: half-width 0.06 + 0.14 * 0.005 / 0.2 = 0.0635 of the width.
    EXPECT_EQ (img.getPixelAt (100 + 13, 0).getAlpha(), 0);
    EXPECT_EQ (img.getPixelAt (100 - 14, 0).getAlpha(), 0);
    EXPECT_GT (img.getPixelAt (100 + 8, 0).getAlpha(), 0);
    // Body rows: half-width 40 px, untouched up to 0.42 of it.
    EXPECT_EQ (img.getPixelAt (100 + 16, 50).getAlpha(), 255);
    EXPECT_EQ (img.getPixelAt (100 + 41, 50).getAlpha(), 0);
    EXPECT_GT (img.getPixelAt (100 + 30, 50).getAlpha(), 0);
    EXPECT_LT (img.getPixelAt (100 + 30, 50).getAlpha(), 255);
}

TEST_F (ArtTest, SilhouetteMaskFromAlphaOrFromDarkInk)
{
    auto encode = [] (const juce::Image& img) {
        juce::MemoryOutputStream out;
        juce::PNGImageFormat().writeImageToStream (img, out);
        return out.getMemoryBlock();
    };
    // Opaque black on white: white becomes transparent, black strokes opaque.
    auto ink = solid (16, 16, juce::Colours::white);
    juce::Graphics (ink).fillRect (0, 0, 4, 16);
    ink.setPixelAt (0, 0, juce::Colours::black);
    juce::Graphics (ink).setColour (juce::Colours::black);
    {
        juce::Graphics g (ink);
        g.setColour (juce::Colours::black);
        g.fillRect (0, 0, 4, 16);
    }
    const auto inkBytes = encode (ink);
    const auto m1 = HardwareArt::loadSilhouetteMask (inkBytes.getData(), (int) inkBytes.getSize());
    ASSERT_TRUE (m1.isValid());
    EXPECT_EQ (m1.getPixelAt (1, 8), juce::Colours::white);
    EXPECT_EQ (m1.getPixelAt (10, 8).getAlpha(), 0);

    // Shape on transparent: keeps its own alpha.
    juce::Image shape (juce::Image::ARGB, 16, 16, true);
    shape.setPixelAt (3, 3, juce::Colours::black.withAlpha ((juce::uint8) 200));
    const auto shapeBytes = encode (shape);
    const auto m2 = HardwareArt::loadSilhouetteMask (shapeBytes.getData(), (int) shapeBytes.getSize());
    ASSERT_TRUE (m2.isValid());
    EXPECT_EQ (m2.getPixelAt (3, 3).getAlpha(), 200);
    EXPECT_GE (m2.getPixelAt (3, 3).getRed(), 250); // white, up to premultiplied rounding
    EXPECT_EQ (m2.getPixelAt (8, 8).getAlpha(), 0);

    // No shape at all: null.
    const auto flatBytes = encode (solid (16, 16, juce::Colour (0xff808080)));
    EXPECT_TRUE (HardwareArt::loadSilhouetteMask (flatBytes.getData(), (int) flatBytes.getSize()).isNull());

    // The embedded watermark: rings opaque, background transparent.
    ASSERT_TRUE (art->headerWatermark.isValid());
    EXPECT_EQ (art->headerWatermark.getPixelAt (5, 5).getAlpha(), 0);
    EXPECT_EQ (art->headerWatermark.getPixelAt (256 + 220, 256).getAlpha(), 255);
}

TEST_F (ArtTest, WatermarkSizeLimitsAndFitting)
{
    EXPECT_FALSE (HardwareArt::layoutEngravedWatermark ({ 0, 0, 79, 100 }).drawn);
    EXPECT_FALSE (HardwareArt::layoutEngravedWatermark ({ 0, 0, 300, 35 }).drawn);
    const auto small = HardwareArt::layoutEngravedWatermark ({ 0, 0, 80, 36 });
    EXPECT_TRUE (small.drawn);
    EXPECT_FLOAT_EQ (small.box.getHeight(), 14.0f);
    EXPECT_FLOAT_EQ (small.baseHeight, 16.0f);
    EXPECT_LE (small.shrinks, 10);
    const auto narrow = HardwareArt::layoutEngravedWatermark ({ 0, 0, 90, 200 });
    EXPECT_LE (narrow.shrinks, 10);
    EXPECT_LT (narrow.scale, 0.5f);
    const auto wide = HardwareArt::layoutEngravedWatermark ({ 0, 0, 1200, 120 });
    EXPECT_EQ (wide.shrinks, 0);
    EXPECT_FLOAT_EQ (wide.baseHeight, juce::jlimit (16.0f, 54.0f, 0.54f * 0.7f * 104.0f));

    auto paint = [] (juce::Rectangle<float> area) {
        return renderPaint (400, 120, [&] (juce::Graphics& g) { HardwareArt::paintEngravedWatermark (g, area); }, juce::Colour (0xff202830));
    };
    EXPECT_EQ (countInk (paint ({ 0, 0, 79, 100 }), juce::Colour (0xff202830), 0), 0);
    const auto img = paint ({ 0, 0, 400, 120 });
    const auto ink = inkBounds (img, juce::Colour (0xff202830), 2);
    EXPECT_GT (countInk (img, juce::Colour (0xff202830), 2), 300);
    EXPECT_NEAR (ink.getCentreX(), 200, 6);
    savePng (img, "art-watermark");

    const auto font = HardwareArt::brandWordmarkFont (30.0f, 0.18f);
    EXPECT_FLOAT_EQ (font.getHeight(), 30.0f);
    EXPECT_FLOAT_EQ (font.getExtraKerningFactor(), 0.18f);
}

TEST_F (ArtTest, TubeGlowFlickerAndFollower)
{
    // Unlit: glow 0, the back pass draws nothing, the body shows the photo at 0.7 without blooms.
    const juce::Rectangle<float> area (0, 0, 120, 240);
    auto pass = [&] (bool lit, HardwareArt::VacuumTubePass p, const char* name, double t = 1.0) {
        return renderPaint (120, 240, [&] (juce::Graphics& g) { HardwareArt::paintVacuumTube (g, area, true, lit, false, 0.5f, 0.0f, t, name, p); });
    };
    EXPECT_EQ (countInk (pass (false, HardwareArt::VacuumTubePass::backGlow, "cold"), clear, 0), 0);
    const auto coldBody = pass (false, HardwareArt::VacuumTubePass::body, "cold");
    EXPECT_GT (countInk (coldBody, clear, 0), 2000);
    EXPECT_FLOAT_EQ (HardwareArt::tubeGlow (false, 1.0f, 1.0f, 1.0f), 0.0f);

    // Flicker: 3.4 s period, or 2.7 s shifted by 1.1 s for the alternate tube; 1 when unlit.
    EXPECT_FLOAT_EQ (HardwareArt::tubeFlicker (false, false, 0.6), 1.0f);
    EXPECT_NEAR (HardwareArt::tubeFlicker (true, false, 0.18 * 3.4), 1.09f, 1e-4);
    EXPECT_NEAR (HardwareArt::tubeFlicker (true, false, 0.42 * 3.4 + 3.4), 0.93f, 1e-4);
    EXPECT_NEAR (HardwareArt::tubeFlicker (true, true, 0.18 * 2.7 - 1.1 + 2.7), 1.09f, 1e-4);
    for (double t = 0; t < 7; t += 0.05)
        EXPECT_GE (juce::jlimit (0.82f, 1.0f, 0.9f * HardwareArt::tubeFlicker (true, false, t)), 0.82f);

    // Follower: first frame 16 ms, attack 5 ms, release 190 ms; -36 dB or lower is target 0.
    auto back = [&] (const char* name, float db, double t) {
        renderPaint (8, 8, [&] (juce::Graphics& g) { HardwareArt::paintVacuumTube (g, area, true, true, false, 0.0f, db, t, name, HardwareArt::VacuumTubePass::backGlow); });
        return art->followedLevel (name);
    };
    EXPECT_NEAR (back ("follow", 0.0f, 10.0), 1.0f - std::exp (-0.016f / 0.005f), 1e-4);
    EXPECT_NEAR (back ("follow", 0.0f, 10.02), 1.0f, 1e-2);
    const float before = art->followedLevel ("follow");
    EXPECT_NEAR (back ("follow", -40.0f, 10.04), before * std::exp (-0.02f / 0.19f), 1e-3);
    EXPECT_NEAR (back ("follow", -40.0f, 20.0), before * std::exp (-0.02f / 0.19f) * std::exp (-0.08f / 0.19f), 1e-3); // step capped at 80 ms

    const auto lit = pass (true, HardwareArt::VacuumTubePass::body, "follow", 20.0);
    savePng (lit, "art-tube-lit");
}

TEST_F (ArtTest, TapeKnobAndScreenCases)
{
    const juce::Rectangle<float> area (0, 0, 300, 148);
    auto tape = [&] (int model, float phase, float wow, float running) {
        return renderPaint (300, 148, [&] (juce::Graphics& g) { HardwareArt::paintTapeMachine (g, area, model, phase, wow, running, true); });
    };
    EXPECT_EQ (HardwareArt::tapePhotoIndex (7), 0);
    EXPECT_EQ (HardwareArt::tapePhotoIndex (3), 3);
    EXPECT_EQ (HardwareArt::tapePhotoIndex (-2), 0);
    EXPECT_TRUE (sameImage (tape (7, 0.3f, 0.2f, 1.0f), tape (0, 0.3f, 0.2f, 1.0f)));
    EXPECT_FALSE (sameImage (tape (1, 0.3f, 0.2f, 1.0f), tape (0, 0.3f, 0.2f, 1.0f)));
    EXPECT_FALSE (sameImage (tape (0, 0.0f, 0.0f, 1.0f), tape (0, 0.5f, 0.0f, 1.0f))); // spokes turn
    // Wow 0 or running 0: straight strands, so the strand row is the same at any phase in the middle.
    const float strandY = 74.0f - 34.0f + 5.0f;
    for (auto [wow, running] : { std::pair { 0.0f, 1.0f }, { 0.5f, 0.0f } })
    {
        const auto a = tape (0, 0.2f, wow, running), b = tape (0, 2.0f, wow, running);
        EXPECT_EQ (a.getPixelAt (150, (int) strandY), b.getPixelAt (150, (int) strandY));
    }
    savePng (tape (0, 0.7f, 0.3f, 1.0f), "art-tape");

    EXPECT_EQ (HardwareArt::spinLineCount (16.0f), 56);
    EXPECT_EQ (HardwareArt::spinLineCount (71.0f), 240);
    EXPECT_EQ (countInk (renderPaint (40, 40, [] (juce::Graphics& g) { HardwareArt::paintSpunAluminum (g, { 20, 20 }, 3.9f, 0.0f, false); }), clear, 0), 0);
    for (bool milled : { false, true })
    {
        const auto knob = renderPaint (160, 160, [&] (juce::Graphics& g) { HardwareArt::paintSpunAluminum (g, { 80, 80 }, 60.0f, 45.0f, milled); });
        EXPECT_EQ (knob.getPixelAt (80, 80).getAlpha(), 255);
        EXPECT_GT (knob.getPixelAt (80, 80 - 40).getBrightness(), 0.4f);
        savePng (knob, milled ? "art-knob-milled" : "art-knob");
    }

    // A screen of 11 px or less has an empty glass: the overlay draws nothing.
    EXPECT_EQ (countInk (renderPaint (20, 20, [] (juce::Graphics& g) { HardwareArt::paintTcGlassOverlay (g, { 2, 2, 11, 11 }); }), clear, 0), 0);
    const auto rack = renderPaint (420, 160, [] (juce::Graphics& g) {
        HardwareArt::paintTcPanel (g, { 0, 0, 420, 160 });
        HardwareArt::paintTcScreen (g, { 40, 30, 340, 100 }, true);
        HardwareArt::paintTcGlassOverlay (g, { 40, 30, 340, 100 });
    });
    EXPECT_EQ (rack.getPixelAt (210, 5).getAlpha(), 255);
    savePng (rack, "art-rack");
}

TEST_F (ArtTest, DelayEchoDisplay)
{
    EXPECT_EQ (HardwareArt::delayEchoCount (0.3f), 4);
    EXPECT_EQ (HardwareArt::delayEchoCount (0.9f), 9);
    EXPECT_EQ (HardwareArt::delayEchoCount (0.95f), 10);
    EXPECT_EQ (HardwareArt::delayEchoCount (3.0f), 10);
    EXPECT_EQ (HardwareArt::delayEchoCount (0.0f), 1);
    EXPECT_EQ (HardwareArt::delayEchoCount (std::numeric_limits<float>::quiet_NaN()), 1);
    EXPECT_EQ (HardwareArt::delayTimeText (0.25f), "250ms");
    EXPECT_EQ (HardwareArt::delayTimeText (1.5f), "1500ms");
    EXPECT_EQ (HardwareArt::delayTimeText (0.0f), "10ms");

    const juce::Rectangle<float> screen (0, 0, 320, 140);
    const float x0 = screen.getX() + 5.5f + 10.0f + 8.0f;
    EXPECT_NEAR (HardwareArt::delaySweepX (screen, 0.25f, 0.25f), x0, 1e-3);
    EXPECT_NEAR (HardwareArt::delaySweepX (screen, 0.25f, 0.125f), x0 + 0.5f * (320 - 11 - 20 - 20), 1e-2);

    auto echo = [&] (float mix, bool active) {
        return renderPaint (320, 140, [&] (juce::Graphics& g) { HardwareArt::paintDelayEcho (g, screen, 0.25f, 0.3f, mix, active, 0.1f); });
    };
    EXPECT_TRUE (sameImage (echo (0.0f, false), echo (1.0f, false))); // inactive: strength 0.32 whatever the mix
    EXPECT_FALSE (sameImage (echo (0.0f, true), echo (1.0f, true)));
    savePng (echo (0.6f, true), "art-delay");
    // Degenerate screens draw without trouble.
    for (auto r : { juce::Rectangle<float> (0, 0, 10, 10), juce::Rectangle<float> (0, 0, 0, 0), juce::Rectangle<float> (0, 0, 30, 20) })
        renderPaint (40, 40, [&] (juce::Graphics& g) { HardwareArt::paintDelayEcho (g, r, 0.0f, 0.95f, 1.0f, true, 3.0f); });
}

TEST_F (ArtTest, ReverbFieldAndEqDisplays)
{
    EXPECT_EQ (HardwareArt::reverbFieldAccent (0.6f).getARGB(), 0xffc084fcu);
    EXPECT_EQ (HardwareArt::reverbFieldAccent (0.61f).getARGB(), 0xff818cf8u);
    EXPECT_EQ (HardwareArt::reverbDecayText (1.5f), "1.5s");
    EXPECT_EQ (HardwareArt::reverbDecayText (12.0f), "12.0s");
    EXPECT_EQ (HardwareArt::reverbTailBars (0.0f), 64);
    EXPECT_EQ (HardwareArt::reverbEarlyBars (0.0f, 0.0f), 7);
    EXPECT_EQ (HardwareArt::reverbTailBars (1.0f), 100);
    EXPECT_EQ (HardwareArt::reverbEarlyBars (1.0f, 1.0f), 17);

    const juce::Rectangle<float> screen (10, 10, 339, 151);
    const auto geom = HardwareArt::makeReverbEqGeom (screen, 20.0f, 1.0f, 8000.0f, 0.0f);
    EXPECT_EQ (geom.plot, juce::Rectangle<float> (29.5f, 31.5f, 300.0f, 100.0f));
    EXPECT_NEAR (geom.lowCutHandle.x, geom.plot.getX(), 1e-3);
    const float minus3 = geom.plot.getY() + 100.0f * (12.0f + 3.0103f) / 36.0f;
    EXPECT_NEAR (geom.lowCutHandle.y, minus3, 0.2f);
    EXPECT_NEAR (HardwareArt::reverbEqResponseDb (1000.0f, 20.0f, 1.0f, 8000.0f, 0.0f), 0.0f, 0.02f);
    EXPECT_NEAR (geom.dampingHandle.x, geom.plot.getRight(), 1e-2);
    EXPECT_NEAR (HardwareArt::makeReverbEqGeom (screen, 20.0f, 1.0f, 8000.0f, 20.0f).shelfHandle.y,
                 HardwareArt::makeReverbEqGeom (screen, 20.0f, 1.0f, 8000.0f, 12.0f).shelfHandle.y, 1e-4);
    // Handles stay inside the plot whatever the inputs.
    const auto wild = HardwareArt::makeReverbEqGeom (screen, 5000.0f, -3.0f, 1e6f, -50.0f);
    for (auto p : { wild.lowCutHandle, wild.dampingHandle, wild.shelfHandle })
        EXPECT_TRUE (geom.plot.expanded (0.01f).contains (p)) << p.toString();

    auto field = [&] (float predelay, float damping) {
        return renderPaint (360, 170, [&] (juce::Graphics& g) { HardwareArt::paintReverbField (g, screen, 2.0f, 0.5f, 0.2f, predelay, 0.4f, damping, true, 0.5f); });
    };
    EXPECT_TRUE (sameImage (field (200.0f, 0.3f), field (400.0f, 0.3f))); // predelay stops at 200 ms
    savePng (field (30.0f, 0.3f), "art-reverb-field");
    const auto eq = renderPaint (360, 170, [&] (juce::Graphics& g) { HardwareArt::paintReverbEq (g, screen, 120.0f, 0.7f, 6000.0f, -4.0f); });
    savePng (eq, "art-reverb-eq");
    EXPECT_GT (countInk (eq.getClippedImage (geom.plot.toNearestInt()), juce::Colour (0xff07131c), 30), 200);
}

TEST_F (ArtTest, TinyAndEmptyAreasDrawWithoutError)
{
    // Run in the Debug sanitizer build, where the framework asserts on negative sizes.
    for (float s : { 0.0f, 1.0f, 4.0f, 11.0f, 17.0f, 30.0f })
        renderPaint (40, 40, [&] (juce::Graphics& g) {
            const juce::Rectangle<float> r (2, 2, s, s);
            for (auto pass : { HardwareArt::VacuumTubePass::backGlow, HardwareArt::VacuumTubePass::body })
                HardwareArt::paintVacuumTube (g, r, true, true, true, 1.0f, 0.0f, 1.0, "tiny", pass);
            HardwareArt::paintTapeMachine (g, r, 9, 1.0f, 1.0f, 1.0f, true);
            HardwareArt::paintSpunAluminum (g, r.getCentre(), s * 0.5f, 30.0f, true);
            HardwareArt::paintSpunAluminum (g, r.getCentre(), s * 0.5f, 30.0f, false);
            HardwareArt::paintTcPanel (g, r);
            HardwareArt::paintTcScreen (g, r, true);
            HardwareArt::paintTcGlassOverlay (g, r);
            HardwareArt::paintDelayEcho (g, r, 0.3f, 0.5f, 0.5f, true, 1.0f);
            HardwareArt::paintReverbField (g, r, 2.0f, 0.5f, 0.5f, 20.0f, 0.5f, 0.5f, true, 1.0f);
            HardwareArt::paintReverbEq (g, r, 100.0f, 0.5f, 5000.0f, 3.0f);
            HardwareArt::paintEngravedWatermark (g, r);
        });
}
