#include "GuiTestUtil.h"
#include "Model/FactoryPresets.h"
#include "Ui/Controls/FactoryPresetBrowser.h"
#include "Ui/Foundation/VyrPainting.h"

using namespace vyrGui;

namespace
{
// An editor-sized window holding one page, which holds the strip.
struct Window : juce::Component
{
    juce::Component page;
    FactoryPresetBrowser strip;

    explicit Window (VyrAudioProcessor& p, juce::Rectangle<int> stripBounds = { 400, 100, 300, 24 })
        : strip (p)
    {
        setSize (800, 600);
        page.setBounds (getLocalBounds());
        addAndMakeVisible (page);
        page.addAndMakeVisible (strip);
        strip.setBounds (stripBounds);
    }
    void paint (juce::Graphics& g) override { vyrFillPageBackground (g, getLocalBounds(), themeId); }
    int themeId = 0;
};

juce::Point<float> centreOf (const juce::Component& c, const juce::Component& in)
{
    return in.getLocalArea (&c, c.getLocalBounds()).getCentre().toFloat();
}

struct PresetBrowserTest : ::testing::Test
{
    std::unique_ptr<VyrAudioProcessor> proc = makeProcessor (15);
    Window window { *proc };
    Desk desk { window };

    void openMenu()
    {
        desk.click (centreOf (window.strip.menuButton, window));
        ASSERT_TRUE (window.strip.isMenuOpen());
        ASSERT_EQ (window.strip.menu->getParentComponent(), &window);
    }
    juce::Point<float> rowCentre (int row) const
    {
        const auto panel = window.strip.menu->panelBounds();
        return { (float) panel.getX() + 100.0f, (float) panel.getY() + 36.0f + 24.0f * (float) row };
    }
};
}

TEST (FactoryPresetBrowser, StepsWrapAndSkipTheInitPreset)
{
    struct Case
    {
        int stored, previous, next;
    };
    const Case cases[] = { { 0, 16, 1 }, { 1, 16, 2 }, { 2, 1, 3 }, { 16, 15, 1 }, { 20, 15, 1 }, { -3, 16, 1 } };
    for (const auto& c : cases)
    {
        EXPECT_EQ (FactoryPresetBrowser::previousPreset (c.stored), c.previous) << c.stored;
        EXPECT_EQ (FactoryPresetBrowser::nextPreset (c.stored), c.next) << c.stored;
    }
    EXPECT_STREQ (vyrFactory::kNames[16], "Tube Density Glue");
    EXPECT_EQ (vyrFactory::kTargetLufs[3], -23.0f);
}

TEST (FactoryPresetBrowser, StripLayout)
{
    auto proc = makeProcessor (15);
    FactoryPresetBrowser strip (*proc);
    struct Case
    {
        int w;
        juce::Rectangle<int> prev, menu, next;
    };
    const Case cases[] = {
        { 300, { 0, 0, 22, 24 }, { 26, 0, 248, 24 }, { 278, 0, 22, 24 } },
        { 40, { 0, 0, 22, 24 }, { 26, 0, 0, 24 }, { 26, 0, 14, 24 } },
        { 10, { 0, 0, 10, 24 }, { 10, 0, 0, 24 }, { 10, 0, 0, 24 } },
    };
    for (const auto& c : cases)
    {
        strip.setSize (c.w, 24);
        EXPECT_EQ (strip.prevButton.getBounds(), c.prev) << c.w;
        EXPECT_EQ (strip.menuButton.getBounds(), c.menu) << c.w;
        EXPECT_EQ (strip.nextButton.getBounds(), c.next) << c.w;
        render (strip);
    }
    EXPECT_EQ (strip.prevButton.getComponentID(), "vyr-ghost");
    EXPECT_EQ (strip.menuButton.getTooltip(), "Mastering presets");
}

TEST_F (PresetBrowserTest, NextAndPreviousApplyByRealClicks)
{
    proc->applyFactoryPreset (16);
    desk.click (centreOf (window.strip.nextButton, window));
    EXPECT_EQ (proc->factoryPresetIndex.load(), 1) << "stepping skips Init Preset";
    EXPECT_EQ (window.strip.lastShownPreset, 1);
    desk.click (centreOf (window.strip.prevButton, window));
    EXPECT_EQ (proc->factoryPresetIndex.load(), 16);
    desk.click (centreOf (window.strip.prevButton, window));
    EXPECT_EQ (proc->factoryPresetIndex.load(), 15);
    EXPECT_EQ (window.strip.lastShownPreset, 15);
}

TEST_F (PresetBrowserTest, DropdownPanelPlacement)
{
    struct Case
    {
        juce::Rectangle<int> strip, panel;
    };
    const Case cases[] = {
        { { 400, 100, 300, 24 }, { 362, 128, 312, 440 } }, // under the name button, right edges aligned
        { { 400, 500, 300, 24 }, { 362, 56, 312, 440 } },  // near the bottom: opens upwards
        { { 0, 100, 300, 24 }, { 8, 128, 312, 440 } },     // near the left edge: pushed right to 8
        { { 600, 100, 200, 24 }, { 462, 128, 312, 440 } },
        { { 640, 100, 200, 24 }, { 480, 128, 312, 440 } }, // kept 8 pixels inside the right edge
        { { 400, 20, 300, 24 }, { 362, 48, 312, 440 } },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.strip.toString());
        window.strip.setBounds (c.strip);
        openMenu();
        EXPECT_EQ (window.strip.menu->getBounds(), window.getLocalBounds());
        EXPECT_EQ (window.strip.menu->panelBounds(), c.panel);
        EXPECT_EQ (window.strip.menu->visibleRows(), 17);
        window.strip.toggleMenu();
        EXPECT_FALSE (window.strip.isMenuOpen());
    }

    // A short window: the panel opens upwards from 8, shrinks and shows fewer rows.
    window.setSize (800, 200);
    window.page.setBounds (window.getLocalBounds());
    window.strip.setBounds (400, 20, 300, 24);
    openMenu();
    EXPECT_EQ (window.strip.menu->panelBounds(), juce::Rectangle<int> (362, 8, 312, 184));
    EXPECT_EQ (window.strip.menu->visibleRows(), 6);
    window.setSize (800, 600);
    EXPECT_EQ (window.strip.menu->getBounds(), window.getLocalBounds()) << "follows its parent's size";
}

TEST_F (PresetBrowserTest, PickByReleaseWithTheRealMouse)
{
    proc->applyFactoryPreset (4);
    openMenu();
    EXPECT_EQ (window.strip.menu->current, 4);

    // Press on the header, release on row 7: the release picks.
    const auto panel = window.strip.menu->panelBounds();
    const juce::Point<float> header ((float) panel.getX() + 50.0f, (float) panel.getY() + 10.0f);
    desk.move (header);
    desk.press (header);
    desk.release (rowCentre (7));
    EXPECT_FALSE (window.strip.isMenuOpen());
    EXPECT_EQ (proc->factoryPresetIndex.load(), 7);
    EXPECT_EQ (window.strip.lastShownPreset, 7);

    // Header and bottom margin keep the list open; outside closes it without a pick.
    openMenu();
    desk.click (header);
    EXPECT_TRUE (window.strip.isMenuOpen());
    desk.click ({ (float) panel.getX() + 50.0f, (float) panel.getBottom() - 4.0f });
    EXPECT_TRUE (window.strip.isMenuOpen());
    desk.click ({ 20.0f, 20.0f });
    EXPECT_FALSE (window.strip.isMenuOpen());
    EXPECT_EQ (proc->factoryPresetIndex.load(), 7);

    // A click on the name button while open closes it without a pick.
    openMenu();
    desk.click (centreOf (window.strip.menuButton, window));
    EXPECT_FALSE (window.strip.isMenuOpen());
    EXPECT_EQ (proc->factoryPresetIndex.load(), 7);

    // Every row picks its preset; a direct pick of Init Preset applies it.
    for (int row : { 16, 0, 9 })
    {
        openMenu();
        desk.click (rowCentre (row));
        EXPECT_FALSE (window.strip.isMenuOpen());
        EXPECT_EQ (proc->factoryPresetIndex.load(), row);
    }
}

TEST_F (PresetBrowserTest, HidingTheHoldingPageClosesTheDropdown)
{
    openMenu();
    window.page.setVisible (false); // the strip's own visibility does not change
    EXPECT_TRUE (pumpUntil ([&]
                            { return ! window.strip.isMenuOpen(); }));
    window.page.setVisible (true);

    openMenu();
    window.strip.setVisible (false);
    EXPECT_FALSE (window.strip.isMenuOpen());
}

TEST_F (PresetBrowserTest, FollowsPresetsAppliedElsewhere)
{
    ASSERT_TRUE (pumpUntil ([&]
                            { return window.strip.lastShownPreset == proc->factoryPresetIndex.load(); }));
    FactoryPresetBrowser other (*proc);
    // The click is delivered through the message queue: wait for it, so it cannot land after the
    // preset applied below.
    const int next = FactoryPresetBrowser::nextPreset (proc->factoryPresetIndex.load());
    other.nextButton.triggerClick();
    ASSERT_TRUE (pumpUntil ([&]
                            { return proc->factoryPresetIndex.load() == next; }));
    proc->applyFactoryPreset (12);
    EXPECT_TRUE (pumpUntil ([&]
                            { return window.strip.lastShownPreset == 12; }));
    proc->recallInitState();
    proc->factoryPresetIndex = 0;
    EXPECT_TRUE (pumpUntil ([&]
                            { return window.strip.lastShownPreset == 0; }));
}

TEST_F (PresetBrowserTest, RendersWithTheOpenDropdown)
{
    proc->applyFactoryPreset (2);
    window.strip.setBounds (440, 60, 300, 24);
    openMenu();
    for (int id = 0; id < kNumThemes; ++id)
    {
        window.themeId = id;
        const auto img = render (window);
        const auto panel = window.strip.menu->panelBounds();
        EXPECT_TRUE (colourNear (img.getPixelAt (panel.getX() + 290, panel.getY() + 30), juce::Colour (0xff060b14), 6));
        savePng (img, juce::String ("control-preset-browser-") + kThemes[id].key);
    }
}
