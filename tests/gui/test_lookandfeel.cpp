#include "GuiTestUtil.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrPainting.h"

using namespace vyrGui;

namespace
{
const auto clear = juce::Colours::transparentBlack;

struct LookAndFeelTest : ::testing::Test
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;

    std::unique_ptr<juce::TextButton> button (const juce::String& text, const juce::String& id, int w = 90, int h = 28)
    {
        auto b = std::make_unique<juce::TextButton> (text);
        b->setComponentID (id);
        b->setLookAndFeel (&lnf.get());
        b->setSize (w, h);
        return b;
    }

    bool hasPixelNear (const juce::Image& img, juce::Colour c, int tolerance)
    {
        for (int y = 0; y < img.getHeight(); ++y)
            for (int x = 0; x < img.getWidth(); ++x)
                if (colourDistance (img.getPixelAt (x, y), c) <= tolerance)
                    return true;
        return false;
    }
};
}

TEST_F (LookAndFeelTest, GhostAndTransparentButtonsPaintNothing)
{
    struct Case
    {
        const char* id;
        juce::uint32 buttonColour;
    };
    const Case cases[] = { { "vyr-ghost", 0xff2a2e35 }, { "vyr-ghost", 0xffffffff }, { "", 0x0bffffff },
                           { "tc-power", 0x0b2a2e35 }, { "tc-metal", 0x00000000 }, { "tc-tab", 0x0affffff } };
    for (const auto& c : cases)
        for (bool lit : { false, true })
        {
            SCOPED_TRACE (juce::String (c.id) + (lit ? " lit" : " unlit"));
            auto b = button ("Press", c.id);
            b->setColour (juce::TextButton::buttonColourId, juce::Colour (c.buttonColour));
            b->setToggleState (lit, juce::dontSendNotification);
            EXPECT_EQ (countInk (render (*b), clear, 0), 0);
        }
}

TEST_F (LookAndFeelTest, OnOffTextBecomesAnEnamelPillWithThePowerCaption)
{
    auto b = button ("OFF", "", 80, 28);
    const auto img = render (*b);
    EXPECT_EQ (img.getPixelAt (2, 2).getAlpha(), 0); // pill radius 13.5, not 6
    const auto expected = renderPaint (80, 28, [] (juce::Graphics& g) {
        vyrDrawEnamelButton (g, { 0.5f, 0.5f, 79.0f, 27.0f }, false, juce::Colour (0xff22d3ee), false, true);
        vyrLucide::drawPowerOnOff (g, { 0, 0, 80, 28 }, false, juce::Colour (0xffd4d8de));
    });
    int differing = 0;
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 80; ++x)
            differing += colourDistance (img.getPixelAt (x, y), expected.getPixelAt (x, y)) > 2;
    EXPECT_EQ (differing, 0);
    savePng (img, "lnf-off-pill");
}

TEST_F (LookAndFeelTest, TextButtonFontHeight)
{
    for (auto [h, expected] : { std::pair { 20, 9.0f }, { 10, 4.5f }, { 24, 10.8f }, { 40, 11.0f } })
    {
        auto b = button ("x", "", 50, h);
        EXPECT_FLOAT_EQ (lnf->getTextButtonFont (*b, h).getHeight(), expected) << h;
    }
}

TEST_F (LookAndFeelTest, LitTextColourDependsOnTheAccentBrightness)
{
    // Pale yellow: perceived brightness above 0.78, so the text-on colour (red here, to be found).
    auto pale = button ("MMMMMM", "", 120, 30);
    pale->setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xfffff3a0));
    pale->setColour (juce::TextButton::textColourOnId, juce::Colour (0xffff0000));
    pale->setToggleState (true, juce::dontSendNotification);
    EXPECT_TRUE (hasPixelNear (render (*pale), juce::Colour (0xffff0000), 40));

    // Deep blue: the near-white tint of the accent, never the text-on colour.
    auto blue = button ("MMMMMM", "", 120, 30);
    blue->setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xff1e3a8a));
    blue->setColour (juce::TextButton::textColourOnId, juce::Colour (0xffff0000));
    blue->setToggleState (true, juce::dontSendNotification);
    const auto img = render (*blue);
    EXPECT_FALSE (hasPixelNear (img, juce::Colour (0xffff0000), 60));
    const auto litText = VyrLookAndFeel::litTextColour (juce::Colour (0xff1e3a8a));
    EXPECT_GT (litText.getBrightness(), 0.9f);
    EXPECT_LE (litText.getSaturation(), 0.21f);
    EXPECT_TRUE (hasPixelNear (img, litText, 30));
    savePng (img, "lnf-lit-blue");
}

TEST_F (LookAndFeelTest, ThemeIdIsClampedSoNineUsesTheInstrumentFace)
{
    auto b = button ("Mode", "", 90, 28);
    lnf->themeId = 9;
    const auto nine = render (*b);
    lnf->themeId = 5;
    const auto five = render (*b);
    lnf->themeId = 0;
    const auto zero = render (*b);
    EXPECT_EQ (nine.getPixelAt (45, 22), five.getPixelAt (45, 22));
    EXPECT_GT (nine.getPixelAt (45, 22).getBrightness(), 0.7f); // light face
    EXPECT_LT (zero.getPixelAt (45, 22).getBrightness(), 0.35f);
}

TEST_F (LookAndFeelTest, PowerMetalAndTabStyles)
{
    auto power = button ("", "tc-power", 70, 24);
    power->setToggleState (true, juce::dontSendNotification);
    EXPECT_TRUE (colourNear (render (*power).getPixelAt (35, 5), juce::Colour (0xfffbbf24), 30));
    power->setToggleState (false, juce::dontSendNotification);
    EXPECT_TRUE (colourNear (render (*power).getPixelAt (35, 5), juce::Colour (0xff5a5d62), 20));

    auto metal = button ("A", "tc-metal", 60, 24);
    auto tab = button ("A", "tc-tab", 60, 24);
    EXPECT_TRUE (colourNear (render (*metal).getPixelAt (8, 12), juce::Colour (0xffb0b5bb), 24));
    EXPECT_TRUE (colourNear (render (*tab).getPixelAt (8, 12), juce::Colour (0xff7a8088), 24));
    metal->setToggleState (true, juce::dontSendNotification);
    EXPECT_TRUE (colourNear (render (*metal).getPixelAt (8, 12), juce::Colour (0xff26b8b8), 24));
}

TEST_F (LookAndFeelTest, SlidersAreNotDrawnByTheLookAndFeel)
{
    for (auto style : { juce::Slider::RotaryHorizontalVerticalDrag, juce::Slider::LinearHorizontal })
    {
        juce::Slider s (style, juce::Slider::NoTextBox);
        s.setLookAndFeel (&lnf.get());
        s.setSize (120, 60);
        EXPECT_EQ (countInk (render (s), clear, 0), 0);
        s.setLookAndFeel (nullptr);
    }
}

TEST_F (LookAndFeelTest, CornerResizerStrokes)
{
    const auto img = renderPaint (40, 40, [&] (juce::Graphics& g) { lnf->drawCornerResizer (g, 40, 40, false, false); });
    EXPECT_GT (img.getPixelAt (37, 37).getAlpha(), 0);   // on the 3.5 stroke
    EXPECT_GT (img.getPixelAt (33, 35).getAlpha(), 0);   // on the 7.5 stroke
    EXPECT_EQ (img.getPixelAt (20, 20).getAlpha(), 0);
    EXPECT_EQ (inkBounds (img, clear, 0).getX() >= 27, true);
}

TEST_F (LookAndFeelTest, EveryNamedFontFamilyPaintsText)
{
    struct Case
    {
        juce::Font font;
        const char* what;
    };
    const Case cases[] = {
        { juce::Font ("Arial Black", 24.0f, juce::Font::plain), "Arial Black" },
        { juce::Font ("Helvetica Neue", 24.0f, juce::Font::bold), "Helvetica Neue bold" },
        { juce::Font ("Avenir Next", "Bold", 24.0f), "Avenir Next Bold" },
        { juce::Font ("Avenir Next", "Demi Bold", 24.0f), "Avenir Next Demi Bold" },
        { juce::Font ("Avenir", "Medium", 24.0f), "Avenir Medium" },
        { juce::Font ("Helvetica Neue", "Medium", 24.0f), "Helvetica Neue Medium" },
        { juce::Font ("Arial", 24.0f, juce::Font::plain), "Arial" },
        { juce::Font (24.0f, juce::Font::plain), "default" },
        { juce::Font (24.0f, juce::Font::bold | juce::Font::italic), "default bold italic" },
        { juce::Font (24.0f).withTypefaceStyle ("Regular"), "default Regular" },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        const auto img = renderPaint (260, 40, [&] (juce::Graphics& g) {
            g.setColour (juce::Colours::white);
            g.setFont (c.font);
            g.drawText ("Quarn 123", 0, 0, 260, 40, juce::Justification::centredLeft, false);
        });
        EXPECT_GT (countInk (img, clear, 0), 150);
    }
    const auto black = VyrLookAndFeel::resolveFace (juce::Font ("Arial Black", 20.0f, juce::Font::plain));
    EXPECT_EQ (black.first, "DejaVu Sans");
    EXPECT_EQ (black.second, "Bold");
    EXPECT_EQ (VyrLookAndFeel::resolveFace (juce::Font (12.0f).withTypefaceStyle ("Regular")).second, "Book");
}

TEST (LookAndFeelShared, OneInstanceWhileHeldAndGoneAfterwards)
{
    auto mapperIsDefault = [] { return dynamic_cast<VyrLookAndFeel::FontMapper*> (&juce::LookAndFeel::getDefaultLookAndFeel()) != nullptr; };
    {
        auto a = VyrLookAndFeel::get();
        auto b = VyrLookAndFeel::get();
        EXPECT_EQ (&a.get(), &b.get());
        EXPECT_EQ (a.getReferenceCount(), 2);
        // The default maps fonts but leaves stock widgets (sliders of the host's dialogs) drawn.
        EXPECT_TRUE (mapperIsDefault());
        EXPECT_EQ (dynamic_cast<VyrLookAndFeel*> (&juce::LookAndFeel::getDefaultLookAndFeel()), nullptr);
        EXPECT_EQ (juce::LookAndFeel::getDefaultLookAndFeel().getTypefaceForFont (juce::Font ("Arial Black", 20.0f, juce::Font::plain))->getName(),
                   "DejaVu Sans");
    }
    EXPECT_FALSE (mapperIsDefault());
}
