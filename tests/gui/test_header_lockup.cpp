// The header wordmark: the title face falls back to the bold default sans-serif when none of the
// preferred faces is installed, the title has ink, and the badge and subtitle sit where the
// lockup says.
#include "GuiTestUtil.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/MainView/HeaderLockup.h"

using namespace vyrGui;

TEST (HeaderLockup, TitleFaceChoice)
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    const auto font = vyrHeader::quarnTitleFont();
    EXPECT_FLOAT_EQ (font.getHeight(), 70.0f);
    EXPECT_FLOAT_EQ (font.getExtraKerningFactor(), 0.045f);
    const auto installed = juce::Font::findAllTypefaceNames();
    if (! installed.contains ("Avenir Next") && ! installed.contains ("Helvetica Neue") && ! installed.contains ("Avenir"))
    {
        EXPECT_EQ (font.getTypefaceName(), juce::Font::getDefaultSansSerifFontName());
        EXPECT_TRUE (font.isBold());
    }
    EXPECT_GT (vyrHeader::lineWidth (font, "Quarn"), 100.0f) << "the title must have ink";

    struct Case
    {
        const char* name;
        const char* style;
        bool usable;
    };
    for (const auto& c : { Case { "Avenir Next", "Bold", true }, Case { "Helvetica Neue", "Medium", true },
                           Case { "", "Bold", false }, Case { "Arial Black", "Regular", false },
                           Case { "Avenir Next", "Ultra Light", false }, Case { "Helvetica Neue", "Thin", false },
                           Case { "Helvetica Neue", "Hairline", false }, Case { "Avenir", "light", false } })
        EXPECT_EQ (vyrHeader::isUsableTitleFace (c.name, c.style), c.usable) << c.name << " " << c.style;

    // A face that draws nothing has no ink width.
    EXPECT_EQ (vyrHeader::lineWidth (font, "   "), 0.0f);
}

TEST (HeaderLockup, GeometryAndInk)
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    const juce::Rectangle<float> area (20.0f, 10.0f, 900.0f, 96.0f);
    const auto l = vyrHeader::makeHeaderLockup (area);
    const float cy = area.getCentreY();

    EXPECT_FLOAT_EQ (l.titleX, 32.0f);
    EXPECT_FLOAT_EQ (l.titleWidth, vyrHeader::lineWidth (l.titleFont, "Quarn"));
    EXPECT_EQ (l.badge.getWidth(), 48.0f);
    EXPECT_EQ (l.badge.getHeight(), 48.0f);
    EXPECT_FLOAT_EQ (l.badge.getX(), l.titleX + l.titleWidth + 10.0f);
    EXPECT_FLOAT_EQ (l.badge.getCentreY(), cy);
    EXPECT_FLOAT_EQ (l.subX, l.badge.getRight() + 10.0f);
    EXPECT_FLOAT_EQ (l.width, l.subX + vyrHeader::lineWidth (l.subFont, "Kaldun") - l.titleX);
    EXPECT_GT (l.width, l.titleWidth + 58.0f);
    EXPECT_FLOAT_EQ (l.subFont.getHeight(), 48.0f);

    // Drawn at the lockup's baseline, the title's ink is centred on the header and ends at the badge gap.
    const auto bg = juce::Colour (0xff101216);
    auto img = renderPaint (
        960, 120, [&] (juce::Graphics& g)
        {
                                g.setColour (juce::Colours::white);
                                g.setFont (l.titleFont);
                                g.drawSingleLineText ("Quarn", juce::roundToInt (l.titleX), juce::roundToInt (l.titleY));
                                g.setColour (juce::Colour (0xff2a2e35));
                                g.fillRoundedRectangle (l.badge, 8.0f);
                                g.setColour (juce::Colours::white.withAlpha (0.7f));
                                g.setFont (l.subFont);
                                g.drawSingleLineText ("Kaldun", juce::roundToInt (l.subX), juce::roundToInt (l.titleY)); },
        bg);
    const auto titleInk = inkBounds (img.getClippedImage (juce::Rectangle<int> (0, 0, juce::roundToInt (l.badge.getX()), 120)), bg, 60);
    ASSERT_FALSE (titleInk.isEmpty()) << "the title drew nothing";
    EXPECT_NEAR ((float) titleInk.getCentreY(), cy, 1.5f);
    EXPECT_NEAR ((float) titleInk.getWidth(), l.titleWidth, 3.0f);
    EXPECT_LE (titleInk.getRight(), juce::roundToInt (l.badge.getX()) - 7);
    savePng (img, "header-lockup");

    // A header too small for the words still yields a positive width.
    EXPECT_GT (vyrHeader::makeHeaderLockup ({ 0.0f, 0.0f, 10.0f, 10.0f }).width, 0.0f);
}
