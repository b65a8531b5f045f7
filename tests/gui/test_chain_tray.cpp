// The chain tray: compact and full layouts, reorder by real drags (hidden modules keep their
// places), click versus long press decided by the press length, the add menu and its safety after
// the tray is gone, and the painting of strip, jacks and tiles.
#include "PolarTestUtil.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/Foundation/VyrTheme.h"
#include "Ui/MainView/ChainTray.h"

using namespace vyrGui;
using namespace vyrPolarTest;

namespace
{
struct TrayFixture : ::testing::Test
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    std::unique_ptr<VyrAudioProcessor> proc = makeProcessor (15);
    std::unique_ptr<ChainTray> tray;
    std::vector<int> selected;
    int changed = 0, overviews = 0;

    void make (bool compact)
    {
        tray = std::make_unique<ChainTray> (*proc);
        tray->onSelect = [this] (int m)
        { selected.push_back (m); };
        tray->onChanged = [this]
        { ++changed; };
        tray->onOverview = [this]
        { ++overviews; };
        if (compact)
        {
            // As the main view sets it up.
            tray->compact = true;
            tray->showSelection = false;
            tray->tileWidth = tray->tileHeight = 52;
            tray->padX = 8.0f;
            tray->padY = 16.0f;
            tray->setSize (900, 84);
        }
        else
            tray->setSize (1100, 84);
    }
    void TearDown() override { tray.reset(); }

    std::vector<int> order() const { return std::vector<int> (proc->fxOrder, proc->fxOrder + 13); }
    juce::Point<float> centreOf (int k) const { return tray->tileBounds[k].getCentre().toFloat(); }
};
}

TEST_F (TrayFixture, CompactAndFullLayouts)
{
    make (true);
    EXPECT_EQ (tray->visibleCount, 12) << "the bass-mono tile is never shown in the compact form";
    for (int k = 0; k < tray->visibleCount; ++k)
        EXPECT_NE (tray->visibleModule[k], 10);
    // The tiles spread over the width at full scale.
    EXPECT_EQ (tray->tileBounds[0], juce::Rectangle<int> (62, 16, 52, 52));
    EXPECT_EQ (tray->tileBounds[1], juce::Rectangle<int> (128, 16, 52, 52));
    EXPECT_EQ (tray->tileBounds[11], juce::Rectangle<int> (786, 16, 52, 52));
    EXPECT_TRUE (tray->overviewBounds.isEmpty());
    EXPECT_TRUE (tray->addBounds.isEmpty());

    make (false);
    EXPECT_EQ (tray->visibleCount, 13);
    // Fifteen tiles and two jacks do not fit 1084 px: the row shrinks by 1084 / 1112.
    EXPECT_EQ (tray->tileBounds[0], juce::Rectangle<int> (59, 11, 55, 62));
    EXPECT_EQ (tray->tileBounds[1], juce::Rectangle<int> (125, 11, 55, 62));
    EXPECT_EQ (tray->overviewBounds, juce::Rectangle<int> (920, 11, 55, 62));
    EXPECT_EQ (tray->addBounds, juce::Rectangle<int> (987, 11, 55, 62));

    // Filtered to enabled modules, and a damaged order clamped to known modules.
    setRaw (*proc, "compressor_enabled", 0.0f);
    tray->onlyEnabled = true;
    tray->refreshVisible();
    for (int k = 0; k < tray->visibleCount; ++k)
        EXPECT_TRUE (tray->isModuleEnabled (tray->visibleModule[k]));
    tray->onlyEnabled = false;
    proc->fxOrder[0] = 99;
    proc->fxOrder[1] = -4;
    tray->refreshVisible();
    EXPECT_EQ (tray->visibleModule[0], 12);
    EXPECT_EQ (tray->visibleModule[1], 0);

    EXPECT_EQ (ChainTray::captionFor ("multiBandComp"), "MBC");
    EXPECT_EQ (ChainTray::captionFor ("analogueDensity"), "DEN");
    EXPECT_EQ (ChainTray::captionFor ("mystery"), "MYSTERY");
}

TEST_F (TrayFixture, DragsReorderTheVisibleModules)
{
    make (true);
    Desk desk (*tray);
    TimedPointer ptr (*tray);
    auto dragTile = [&] (int from, float toX)
    {
        ptr.pause();
        const auto start = centreOf (from);
        ptr.press (start);
        ptr.drag (start.translated (6.0f, 0.0f));
        ptr.drag ({ toX, start.y });
        ptr.release ({ toX, start.y });
    };

    // Compressor dropped between the third and fourth tiles' centres: it becomes third.
    dragTile (0, 250.0f);
    EXPECT_EQ (order(), (std::vector<int> { 1, 2, 0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 }));
    EXPECT_EQ (selected.back(), 0);
    EXPECT_EQ (changed, 1);

    // The limiter moved to the front: the bass-mono module (hidden here) keeps its place.
    dragTile (11, 20.0f);
    EXPECT_EQ (order(), (std::vector<int> { 12, 1, 2, 0, 3, 4, 5, 6, 7, 8, 10, 9, 11 }));

    // Dropped on itself or on the gap right after itself: no change, but selected and reported.
    const auto before = order();
    for (const float x : { centreOf (4).x - 10.0f, centreOf (5).x - 10.0f })
    {
        dragTile (4, x);
        EXPECT_EQ (order(), before);
        EXPECT_EQ (selected.back(), tray->visibleModule[4]);
    }
    EXPECT_EQ (changed, 4);

    // Past the last tile: the module goes to the last visible position.
    const int first = tray->visibleModule[0];
    dragTile (0, 895.0f);
    EXPECT_EQ (tray->visibleModule[tray->visibleCount - 1], first);
    EXPECT_EQ (proc->fxOrder[10], 10);
}

TEST_F (TrayFixture, ClickSelectsLongPressSwitchesOnRelease)
{
    make (false);
    Desk desk (*tray);
    TimedPointer ptr (*tray);
    const auto tile = centreOf (2); // analogue density
    const bool wasOn = tray->isModuleEnabled (2);

    struct Case
    {
        int holdMs;
        float moveX;
        bool toggles;
    };
    for (const auto& c : { Case { 319, 0.0f, false }, Case { 120, 4.0f, false }, Case { 320, 0.0f, true } })
    {
        SCOPED_TRACE ("held " + std::to_string (c.holdMs) + " ms");
        selected.clear();
        changed = 0;
        ptr.pause();
        ptr.press (tile);
        if (c.moveX != 0.0f)
            ptr.drag (tile.translated (c.moveX, 0.0f));
        ptr.release (tile.translated (c.moveX, 0.0f), c.holdMs);
        EXPECT_FALSE (tray->dragging);
        if (c.toggles)
        {
            EXPECT_TRUE (selected.empty()) << "a long press does not change the selection";
            EXPECT_EQ (changed, 1);
            EXPECT_NE (tray->isModuleEnabled (2), wasOn);
        }
        else
        {
            ASSERT_EQ (selected.size(), 1u);
            EXPECT_EQ (selected[0], 2);
            EXPECT_EQ (tray->selectedModule, 2);
            EXPECT_EQ (tray->isModuleEnabled (2), wasOn);
        }
    }
    EXPECT_EQ (order(), (std::vector<int> { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 }));

    // The overview tile of the full form.
    ptr.pause();
    ptr.press (tray->overviewBounds.getCentre().toFloat());
    ptr.release (tray->overviewBounds.getCentre().toFloat());
    EXPECT_TRUE (tray->overviewMode);
    EXPECT_EQ (overviews, 1);
    ptr.pause();
    ptr.press (tile);
    ptr.release (tile);
    EXPECT_FALSE (tray->overviewMode);
}

TEST_F (TrayFixture, AddMenuEnablesAndSelects)
{
    make (false);
    setRaw (*proc, "delay_enabled", 0.0f);
    setRaw (*proc, "limiter_enabled", 1.0f);

    int items = 0;
    juce::StringArray texts;
    const auto menu = tray->buildAddMenu();
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();
        if (item.isSectionHeader)
        {
            EXPECT_EQ (item.text, "Add / enable module");
            continue;
        }
        ++items;
        texts.add (item.text);
        EXPECT_EQ (item.itemID, items);
        EXPECT_TRUE (item.isEnabled);
        EXPECT_EQ (item.isTicked, tray->isModuleEnabled (item.itemID - 1)) << item.text;
    }
    EXPECT_EQ (items, 13);
    EXPECT_EQ (texts[0], "Compressor");
    EXPECT_EQ (texts[12], "Limiter");

    tray->overviewMode = true;
    tray->applyAddMenuResult (6); // delay
    EXPECT_TRUE (tray->isModuleEnabled (5));
    EXPECT_EQ (tray->selectedModule, 5);
    EXPECT_FALSE (tray->overviewMode);
    tray->applyAddMenuResult (13); // an enabled module stays on and is selected
    EXPECT_TRUE (tray->isModuleEnabled (12));
    EXPECT_EQ (selected, (std::vector<int> { 5, 12 }));
    tray->applyAddMenuResult (0); // dismissed
    EXPECT_EQ (selected.size(), 2u);
    EXPECT_EQ (changed, 2);

    // A press on the add tile opens the menu; its result arriving after the tray is gone is dropped.
    {
        Desk desk (*tray);
        TimedPointer ptr (*tray);
        ptr.press (tray->addBounds.getCentre().toFloat());
        ptr.release (tray->addBounds.getCentre().toFloat());
    }
    tray.reset();
    EXPECT_TRUE (juce::PopupMenu::dismissAllActiveMenus()) << "no menu was open";
    pump (50);
    EXPECT_EQ (selected.size(), 2u);
}

TEST_F (TrayFixture, PaintsStripJacksAndTiles)
{
    make (true);
    setRaw (*proc, "compressor_enabled", 1.0f);
    setRaw (*proc, "saturation_enabled", 0.0f);
    auto img = render (*tray);
    // The strip's fill between the jack and the first tile.
    EXPECT_TRUE (colourNear (pixel (img, 55, 10), juce::Colour (0xe6060b14), 3));
    // The IN jack's translucent fill, left of its label.
    const auto inJack = pixel (img, 14, 42);
    EXPECT_GT (inJack.getGreen(), inJack.getRed());
    // An enabled tile's body is darker at the bottom; a disabled one lighter grey and faded.
    const auto on = tray->tileBounds[0], off = tray->tileBounds[1];
    const auto onBottom = pixel (img, on.getX() + 4, on.getBottom() - 3);
    const auto offBottom = pixel (img, off.getX() + 4, off.getBottom() - 3);
    EXPECT_GT (offBottom.getBrightness(), onBottom.getBrightness());
    // Captions have ink.
    EXPECT_GT (countInk (img, on.withTop (on.getBottom() - 18).reduced (4, 2), onBottom, 60), 10);
    savePng (img, "chain-tray-compact");

    // A drag in progress: ghost in place, insertion bar, lifted tile at the pointer.
    {
        Desk desk (*tray);
        TimedPointer ptr (*tray);
        ptr.press (centreOf (3));
        ptr.drag (centreOf (3).translated (8.0f, 0.0f));
        ptr.drag ({ 120.0f, centreOf (3).y });
        EXPECT_TRUE (tray->dragging);
        EXPECT_EQ (tray->dropIndex, 1);
        auto dragged = render (*tray);
        // The insertion bar stands just left of the drop position.
        const int barX = tray->tileBounds[1].getX() - 2;
        EXPECT_TRUE (colourNear (pixel (dragged, barX, tray->tileBounds[1].getBottom() + 4), juce::Colour (0xff67e8f9), 40));
        savePng (dragged, "chain-tray-dragging");
        ptr.release ({ 120.0f, centreOf (3).y });
    }

    make (false);
    tray->selectedModule = 7;
    savePng (render (*tray), "chain-tray-full");
}

TEST (ChainTray, SurvivesEveryProductSizeAndMeterData)
{
    for (const bool compact : { true, false })
        checkSurvives ([compact] (VyrAudioProcessor& p)
                       {
                           auto tray = std::make_unique<ChainTray> (p);
                           tray->compact = compact;
                           return tray; });
}
