#include "GuiTestUtil.h"
#include "Ui/Foundation/HardwareArt.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/FxChain/FxModulePictures.h"
#include "Ui/FxChain/VyrModuleGraphModel.h"

using namespace vyrGui;

namespace
{
const juce::Colour bg (0xff000000);

struct PicturesTest : ::testing::Test
{
    juce::SharedResourcePointer<HardwareArt> art;
    std::unique_ptr<VyrAudioProcessor> p = makeProcessor (0);

    void set (const char* id, float v) { vyrTest::setParam (*p, id, v); }

    // Program audio as the meters would hold it: peaks near -6 dB, RMS near -16 dB, 4 dB of reduction.
    void playProgram (float peak = 0.5f, float rms = 0.16f)
    {
        for (int ch = 0; ch < 2; ++ch)
        {
            p->meters.inPeak[ch] = peak * (ch == 0 ? 1.0f : 0.8f);
            p->meters.outPeak[ch] = peak * 0.7f;
            p->meters.inRms[ch] = rms;
        }
        p->liveChain.compressorGr = 4.0f;
    }

    VyrPictureState state (const juce::String& key, juce::Rectangle<int> R, juce::Rectangle<float> G, bool enabled = true)
    {
        VyrPictureState s;
        s.key = key;
        s.moduleRect = R;
        s.graph = G;
        s.enabled = enabled;
        s.animTime = 2.5f;
        s.tubeTime = 2.5;
        s.reelAngle = 1.0f;
        s.reelLevel = 1.0f;
        return s;
    }

    juce::Image paint (const VyrPictureState& s, int w = 900, int h = 520)
    {
        return renderPaint (w, h, [&] (juce::Graphics& g) { vyrFxPictures::paint (g, *p, s); }, bg);
    }
};

// The display rectangle each module's picture gets on a 900 x 520 module.
juce::Rectangle<float> graphFor (const juce::String& key, juce::Rectangle<int> R)
{
    if (key == "compressor")
        return fxGraphRect (R, 64);
    if (key == "clip")
        return fxGraphRect (R, 36);
    if (key == "analogueDensity")
        return { R.getX() + 10.0f, R.getY() + 54.0f, R.getWidth() - 20.0f, juce::jmax (R.getHeight() - 64.0f, 80.0f) };
    if (key == "delay" || key == "reverb")
        return reverbScreenRect (R).toFloat();
    return fxGraphRect (R, 44);
}
} // namespace

TEST_F (PicturesTest, ClipMacroEndsOfTheHarshnessRange)
{
    set ("clip_drive", 2.2f);
    auto soft = vyrFxPictures::clipMacroFrame (*p, 10.0f, true);
    EXPECT_FLOAT_EQ (soft.harshness, 0.0f);
    EXPECT_FLOAT_EQ (soft.phaseSpeed, 0.55f);
    EXPECT_EQ (soft.specks, 70);
    EXPECT_EQ (soft.speckWidth, 1.0f);
    EXPECT_FLOAT_EQ (soft.traceWidths[0], 18.0f);
    EXPECT_FLOAT_EQ (soft.traceWidths[1], 8.0f);
    EXPECT_FLOAT_EQ (soft.traceWidths[2], 1.6f);

    set ("clip_drive", 40.0f);
    auto harsh = vyrFxPictures::clipMacroFrame (*p, 10.0f, true);
    EXPECT_FLOAT_EQ (harsh.phaseSpeed, 1.9f);
    EXPECT_EQ (harsh.specks, 160);
    EXPECT_EQ (harsh.speckWidth, 2.0f);
    EXPECT_FLOAT_EQ (harsh.traceWidths[0], 32.0f);
    EXPECT_FLOAT_EQ (harsh.traceWidths[1], 14.0f);
    EXPECT_NEAR (harsh.traceWidths[2], 3.1f, 1.0e-6f);
    set ("clip_drive", 50.0f);
    set ("clip_symmetry", 60.0f);
    for (float t : { 0.0f, 3.3f, 100.0f })
        EXPECT_LE (vyrFxPictures::clipMacroFrame (*p, t, true).sparks, 96);

    // Drive 0: the trace is tanh(x), which leaves the identity by more than 0.03 only towards the ends.
    set ("clip_drive", 0.0f);
    set ("clip_symmetry", 0.0f);
    const auto gentle = vyrFxPictures::clipMacroFrame (*p, 0.0f, true);
    EXPECT_GT (gentle.sparks, 0);
    EXPECT_LT (gentle.sparks, 81);
}

TEST_F (PicturesTest, AnimationIsAFunctionOfParametersAndTime)
{
    set ("clip_drive", 20.0f);
    auto macro = [&] (float t) {
        return renderPaint (400, 260, [&] (juce::Graphics& g) { vyrFxPictures::paintClipMacroHud (g, { 0, 0, 400, 260 }, *p, t, true); }, bg);
    };
    const auto a = macro (3.0f), b = macro (3.0f), c = macro (3.5f);
    int differ = 0, differLater = 0;
    for (int y = 0; y < 260; ++y)
        for (int x = 0; x < 400; ++x)
        {
            differ += a.getPixelAt (x, y) != b.getPixelAt (x, y);
            differLater += a.getPixelAt (x, y) != c.getPixelAt (x, y);
        }
    EXPECT_EQ (differ, 0);
    EXPECT_GT (differLater, 200);
    savePng (a, "fx-clip-macro");
}

TEST_F (PicturesTest, DegenerateAreasDrawNothing)
{
    playProgram();
    const juce::Rectangle<int> R (0, 0, 900, 520);
    for (const char* key : { "compressor", "saturation", "clip", "delay", "tape", "reverb", "analogueDensity" })
        for (auto G : { juce::Rectangle<float> (10, 10, 15, 200), juce::Rectangle<float> (10, 10, 400, 0) })
            EXPECT_EQ (countInk (paint (state (key, R, G)), bg), 0) << key;
    EXPECT_EQ (countInk (renderPaint (300, 200, [&] (juce::Graphics& g) { vyrFxPictures::paintClipMacroHud (g, { 5, 5, 12, 150 }, *p, 1.0f, true); }, bg), bg), 0);
}

TEST_F (PicturesTest, DensityLedRowsInVuAndPpm)
{
    struct Case { float db; int lit; juce::uint32 lastLit; };
    for (auto c : { Case { -30.0f, 6, 0xff3dfb6b }, Case { -10.0f, 10, 0xffffd11a }, Case { 0.0f, 12, 0xffff0d0d } })
    {
        const float n = vyrFxPictures::densityLedCount (c.db, true);
        int lit = 0;
        for (int i = 0; i < 12; ++i)
            lit += vyrFxPictures::densityLedColour (i, n) != juce::Colours::white.withAlpha ((juce::uint8) 0x0d);
        EXPECT_EQ (lit, c.lit) << c.db;
        EXPECT_EQ (vyrFxPictures::densityLedColour (c.lit - 1, n), juce::Colour (c.lastLit)) << c.db;
        EXPECT_EQ (vyrFxPictures::densityLedCount (c.db, false), 0.0f);
    }

    // Peaks at 0 dB, RMS at -30 dB: the VU rows light six LEDs, the PPM rows all twelve.
    for (int ch = 0; ch < 2; ++ch)
        p->meters.inPeak[ch] = 1.0f, p->meters.inRms[ch] = std::pow (10.0f, -30.0f / 20.0f);
    const juce::Rectangle<float> area (0, 0, 800, 420);
    const auto D = makeDensLayout (area);
    auto ledCentre = [&] (int i) {
        const auto r = D.meterBarL;
        const float pitch = (r.getWidth() - 12) / 12;
        return juce::Point<int> ((int) (r.getX() + 6 + i * pitch + pitch / 2), (int) (r.getY() + 3 + (r.getHeight() - 6) / 2));
    };
    for (bool vu : { true, false })
    {
        const auto img = renderPaint (800, 420, [&] (juce::Graphics& g) { vyrFxPictures::paintDensityEngine (g, area, *p, true, vu, 1.0); }, bg);
        EXPECT_TRUE (colourNear (img.getPixelAt (ledCentre (5).x, ledCentre (5).y), juce::Colour (0xff3dfb6b), 8)) << vu;
        const auto last = img.getPixelAt (ledCentre (11).x, ledCentre (11).y);
        if (vu)
            EXPECT_LT (last.getBrightness(), 0.2f);
        else
            EXPECT_TRUE (colourNear (last, juce::Colour (0xffff0d0d), 8));
        savePng (img, vu ? "fx-density-vu" : "fx-density-ppm");
    }
    // Switched off: every LED dark.
    const auto off = renderPaint (800, 420, [&] (juce::Graphics& g) { vyrFxPictures::paintDensityEngine (g, area, *p, false, false, 1.0); }, bg);
    EXPECT_LT (off.getPixelAt (ledCentre (0).x, ledCentre (0).y).getBrightness(), 0.2f);
}

TEST_F (PicturesTest, CompressorLiveDotRidesTheCurve)
{
    const juce::Rectangle<int> R (0, 0, 900, 520);
    const auto G = fxGraphRect (R, 64);
    playProgram (0.25f);
    const auto P = compPlotIn (R);
    const auto K = compressorUi (*p);
    const float L = 20.0f * std::log10 (0.25f);
    const juce::Point<float> dot (P.xOf (L), P.yOf (L - K.computeGr (L)));
    // The orange ring between the white core (4.8 px) and its 8 px edge lies around the level's point.
    auto orangeNearDot = [&] (const juce::Image& img) {
        int n = 0;
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = -4; dx <= 4; ++dx)
                n += colourNear (img.getPixelAt ((int) dot.x + dx, (int) dot.y + dy), juce::Colour (0xffff8c1a), 24) ? 1 : 0;
        return n;
    };
    const auto on = paint (state ("compressor", R, G, true));
    EXPECT_GE (orangeNearDot (on), 4);
    EXPECT_EQ (orangeNearDot (paint (state ("compressor", R, G, false))), 0);
    // The curve passes through the ratio handle on both.
    const float uR = compRatioHandleInput (K.threshold);
    const auto handle = on.getPixelAt ((int) P.xOf (uR), (int) P.yOf (uR - K.computeGr (uR)));
    EXPECT_GT (handle.getBlue(), 150);
}

TEST_F (PicturesTest, RendersOfEveryPictureInTwoIdentities)
{
    playProgram();
    set ("clip_drive", 14.0f);
    set ("saturation_grit", 0.3f);
    set ("analogueDensity_air", 1.0f);
    set ("analogueDensity_airAmount", 6.0f);
    set ("analogueDensity_pentode", 6.0f);
    set ("analogueDensity_density", 40.0f);
    const juce::Rectangle<int> R (0, 0, 900, 520);
    for (int theme : { 0, 3 })
        for (const char* key : { "compressor", "saturation", "clip", "delay", "tape", "reverb", "analogueDensity" })
            for (int view = 0; view < (juce::String (key) == "clip" ? 3 : (juce::String (key) == "reverb" ? 2 : 1)); ++view)
            {
                auto s = state (key, R, graphFor (key, R));
                s.clipView = s.reverbView = view;
                const auto img = renderPaint (900, 520, [&] (juce::Graphics& g) {
                    vyrPaintFxHousing (g, R.toFloat(), theme, key);
                    vyrFxPictures::paint (g, *p, s);
                }, bg);
                EXPECT_GT (countInk (img, s.graph.toNearestInt(), bg), 1000) << key;
                savePng (img, juce::String ("fx-picture-") + key + "-" + juce::String (view) + "-identity" + juce::String (theme));
            }
}

#include "Ui/FxChain/StudioComponent.h"

TEST_F (PicturesTest, DensityControlsSitInTheEnginesCellsOnThePage)
{
    auto proc = makeProcessor (4);
    StudioComponent page (*proc);
    page.setSize (1000, 640);
    const auto R = page.moduleRect();
    const auto L = makeDensLayout ({ R.getX() + 10.0f, R.getY() + 54.0f, R.getWidth() - 20.0f, juce::jmax (R.getHeight() - 64.0f, 80.0f) });
    ASSERT_GE (page.knobs.size(), 8);
    EXPECT_EQ (page.knobs[0]->getBounds(), L.saturationKnob);
    EXPECT_EQ (page.knobs[6]->getBounds(), L.densityKnob);
    EXPECT_EQ (page.vuButton.getBounds(), L.vuButton);
    for (auto* c : page.getChildren())
        if (c->isVisible() && ! c->getBounds().isEmpty())
        {
            EXPECT_FALSE (c->getBounds().toFloat().intersects (L.engineView.reduced (1.0f))) << c->getName();
            EXPECT_FALSE (c->getBounds().toFloat().intersects (L.meterBarL)) << c->getName();
        }
    for (int ch = 0; ch < 2; ++ch)
        proc->meters.inPeak[ch] = 0.4f, proc->meters.inRms[ch] = 0.15f;
    savePng (render (page), "fx-page-density");
}
