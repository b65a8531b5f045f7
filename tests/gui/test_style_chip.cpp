#include "GuiTestUtil.h"
#include "Ui/Controls/VyrStyleChip.h"

using namespace vyrGui;

// Bright accents keep the ink asked for; darker ones get the pale ink of their deep tone.
TEST (StyleChip, InkFollowsTheAccentsBrightness)
{
    struct Case
    {
        juce::uint32 accent;
        bool keepsOnText;
    };
    const Case cases[] = { { 0xfffbbf24, true }, { 0xfff59e0b, false }, { 0xff22d3ee, false }, { 0xff2563eb, false },
                           { 0xffffffff, true } };
    const juce::Colour onText (0xff102030);
    for (const auto& c : cases)
    {
        juce::TextButton b ("3");
        styleChip (b, true, juce::Colour (c.accent), onText);
        const auto ink = b.findColour (juce::TextButton::textColourOnId);
        if (c.keepsOnText)
            EXPECT_EQ (ink, onText) << juce::String::toHexString ((int) c.accent);
        else
            EXPECT_TRUE (colourNear (ink, vyrPaleInk (vyrDeepTone (juce::Colour (c.accent))), 0));
        EXPECT_EQ (b.findColour (juce::TextButton::buttonOnColourId), juce::Colour (c.accent));
        EXPECT_EQ (b.findColour (juce::TextButton::buttonColourId), juce::Colour (0x0dffffff));
        EXPECT_EQ (b.findColour (juce::TextButton::textColourOffId), juce::Colour (0xffd4d8de));
    }
    // The worked values: amber 0.789 keeps, orange 0.698 and cyan 0.733 do not.
    EXPECT_NEAR (vyrPerceivedBrightness (juce::Colour (0xfffbbf24)), 0.789f, 0.002f);
    EXPECT_NEAR (vyrPerceivedBrightness (juce::Colour (0xfff59e0b)), 0.698f, 0.002f);
    EXPECT_NEAR (vyrPerceivedBrightness (juce::Colour (0xff22d3ee)), 0.733f, 0.002f);
}

// Styling sets the toggle without running the chip's click handler.
TEST (StyleChip, StylingDoesNotClick)
{
    juce::TextButton b ("Side");
    b.setClickingTogglesState (true);
    int clicks = 0;
    b.onClick = [&] { ++clicks; };
    styleChip (b, true, juce::Colour (0xff22d3ee), juce::Colours::white);
    EXPECT_TRUE (b.getToggleState());
    styleChip (b, false, juce::Colour (0xff22d3ee), juce::Colours::white);
    EXPECT_FALSE (b.getToggleState());
    EXPECT_EQ (clicks, 0);
}

// Deep tone and pale ink: hue kept, saturation and brightness capped.
TEST (StyleChip, DeepToneAndPaleInk)
{
    const auto deep = vyrDeepTone (juce::Colour (0x80ff0000));
    EXPECT_NEAR (deep.getHue(), 0.0f, 0.01f);
    EXPECT_NEAR (deep.getSaturation(), 0.7f, 0.01f);
    EXPECT_NEAR (deep.getBrightness(), 0.7f, 0.01f);
    EXPECT_EQ (deep.getAlpha(), 0x80);
    const auto pale = vyrPaleInk (juce::Colour (0x802563eb));
    EXPECT_EQ (pale.getAlpha(), 0xff);
    EXPECT_NEAR (pale.getBrightness(), 0.92f, 0.01f);
    EXPECT_LE (pale.getSaturation(), 0.2f + 0.01f);
}
