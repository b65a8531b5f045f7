// Where the shell puts everything: the plug-in frame with its tabs, the Standalone app's window
// frame and transport strip, the scrolling desktop with its header and two-by-two grid, the
// edition's main view and the single-page products.
#include "GuiTestUtil.h"
#include "Ui/MainView/BasicMasteringView.h"
#include "Ui/Shell/AppShell.h"
#include "Ui/Shell/AudioSettingsWindow.h"
#include "Ui/Shell/DesktopTopGrid.h"
#include "Ui/Shell/SignalUtilityPanel.h"
#include "Ui/Shell/TransportStrip.h"

using namespace vyrGui;

namespace
{
struct ShellFixture
{
    std::unique_ptr<VyrAudioProcessor> proc;
    std::unique_ptr<AppShell> shell;
    juce::Point<int> requested;
    bool requestedResizable = false;

    ShellFixture (int product, bool standalone, int w, int h)
    {
        proc = makeProcessor (product, standalone);
        shell = std::make_unique<AppShell> (*proc);
        shell->onSizeRequest = [this] (int rw, int rh, bool r)
        {
            requested = { rw, rh };
            requestedResizable = r;
        };
        shell->setVisible (true);
        shell->setSize (w, h);
    }
};

using R = juce::Rectangle<int>;
}

TEST (ShellLayout, FullChainInAPluginHostHasFourTabsUnderThePage)
{
    ShellFixture f (0, false, 1200, 800);
    auto& s = *f.shell;
    EXPECT_EQ (s.layoutMode, AppShell::plugIn);
    EXPECT_EQ (s.studio.getBounds(), R (8, 8, 1184, 752));
    const int xs[4] = { 11, 307, 603, 899 };
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_TRUE (s.tabButtons[i].isVisible());
        EXPECT_EQ (s.tabButtons[i].getBounds(), R (xs[i], 763, 290, 26));
    }
    for (auto* c : { (juce::Component*) &s.desktopView, (juce::Component*) &s.fullscreenButton, (juce::Component*) &s.settingsButton,
                     (juce::Component*) &s.plugInButton, (juce::Component*) s.transportStrip.get(), (juce::Component*) &s.themeButtons[0] })
        EXPECT_FALSE (c->isVisible());

    EXPECT_TRUE (s.tabButtons[0].getToggleState()); // the selected tab's chip is lit
    EXPECT_FALSE (s.tabButtons[1].getToggleState());

    // page 1 stacks the section page over the mastered-output page; the tape lane resizes both
    s.selectPage (1);
    EXPECT_TRUE (s.tabButtons[1].getToggleState());
    EXPECT_FALSE (s.tabButtons[0].getToggleState());
    EXPECT_EQ (s.masteredPage.getBounds(), R (8, 526, 1184, 234));
    EXPECT_EQ (s.sectionPage.getBounds(), R (8, 8, 1184, 510));
    s.masteredPage.cycleTapeMode();
    EXPECT_EQ (s.masteredPage.getHeight(), 318);
    EXPECT_EQ (s.sectionPage.getHeight(), 510 - 84);
    EXPECT_FALSE (s.studio.isVisible());
}

TEST (ShellLayout, StandalonePluginLayoutHasAFrameATransportStripAndCentredLayoutButtons)
{
    ShellFixture f (0, true, 1200, 840);
    auto& s = *f.shell;
    s.chooseLayout (0);
    EXPECT_EQ (f.requested, juce::Point<int> (1200, 840));
    EXPECT_TRUE (f.requestedResizable);
    EXPECT_EQ (s.plugInButton.getBounds(), R (343, 6, 254, 24));
    EXPECT_EQ (s.desktopButton.getBounds(), R (603, 6, 254, 24));
    EXPECT_EQ (s.fullscreenButton.getBounds(), R (1166, 44, 26, 20));
    EXPECT_EQ (s.settingsButton.getBounds(), R (1136, 44, 26, 20));
    EXPECT_EQ (s.studio.getBounds(), R (8, 76, 1184, 684));
    EXPECT_EQ (s.transportStrip->getBounds(), R (8, 760, 1184, 40));
    EXPECT_TRUE (s.transportStrip->isVisible());
    EXPECT_EQ (s.tabButtons[0].getY(), 803);
    EXPECT_EQ (s.plugInButton.getButtonText(), "Plug in");

    // wider than 1200: the frame stays 1200 wide and centred, the layout buttons centre on the window
    s.setSize (1600, 900);
    EXPECT_EQ (s.studio.getX(), 208);
    EXPECT_EQ (s.studio.getWidth(), 1184);
    EXPECT_EQ (s.plugInButton.getX(), (1600 - 520) / 2 + 3);

    s.chooseLayout (1);
    EXPECT_EQ (f.requested, juce::Point<int> (1280, 900));
    EXPECT_EQ (s.layoutMode, AppShell::desktop);
}

TEST (ShellLayout, DesktopStacksTheGridAndPagesInAScrollingView)
{
    ShellFixture f (0, true, 1280, 900);
    auto& s = *f.shell;
    ASSERT_EQ (s.layoutMode, AppShell::desktop);
    EXPECT_EQ (s.desktopView.getBounds(), R (12, 156, 1256, 736));
    EXPECT_EQ (s.desktopContent.getHeight(), 3446);
    EXPECT_EQ (s.statusRepaintArea(), R (1030, 40, 108, 72));
    const auto h = s.headerGeometry();
    EXPECT_EQ (h.modeX, 826);
    EXPECT_EQ (h.modeW, 196);
    EXPECT_EQ (s.plugInButton.getBounds(), R (826, 40, 98, 42));
    EXPECT_EQ (s.proButton.getBounds().getRight(), 826 + 196);
    EXPECT_EQ (s.identityInfo.getBounds(), R (1238, 67, 18, 18));
    EXPECT_EQ (s.fullscreenButton.getBounds(), R (1192, 62, 36, 28));
    EXPECT_EQ (s.settingsButton.getBounds(), R (1148, 62, 36, 28));
    EXPECT_EQ (s.desktopGrid->getBounds().getHeight(), 816);
    EXPECT_EQ (s.desktopGrid->getWidth(), 1256 - 8);
    EXPECT_LE (s.desktopContent.getWidth(), s.desktopView.getMaximumVisibleWidth()); // no sideways scrolling
    EXPECT_EQ (s.desktopGrid->masterLevel.getBounds().getY(), 416);
    EXPECT_EQ (s.desktopGrid->source.getHeight(), 400);
    for (auto& t : s.tabButtons)
        EXPECT_FALSE (t.isVisible());
    EXPECT_EQ (s.basicButton.getComponentID(), "vyr-ghost");

    const int finalY = s.finalOutput.getY();
    s.masteringStudio.setExpanded (true);
    EXPECT_EQ (s.finalOutput.getY(), finalY + 52);

    s.setPro (false);
    s.masteringStudio.setExpanded (false);
    EXPECT_EQ (s.desktopContent.getHeight(), 1764);
    EXPECT_FALSE (s.studio.isVisible());

    // switching to the plug-in layout moves the page back into the frame, the same component
    auto* studioBefore = &s.studio;
    s.setPro (true);
    s.chooseLayout (0);
    EXPECT_EQ (s.studio.getParentComponent(), &s);
    EXPECT_EQ (&s.studio, studioBefore);
    EXPECT_TRUE (s.studio.isVisible());
}

TEST (ShellLayout, QuarnShowsOnlyItsMainView)
{
    {
        ShellFixture f (15, false, 1168, 720);
        auto& s = *f.shell;
        ASSERT_NE (s.mainView, nullptr);
        EXPECT_EQ (s.mainView->getBounds(), R (0, 0, 1168, 720));
        int visible = 0;
        for (auto* c : s.getChildren())
            visible += c->isVisible() ? 1 : 0;
        EXPECT_EQ (visible, 1);
    }
    ShellFixture f (15, true, 1168, 768);
    auto& s = *f.shell;
    EXPECT_EQ (s.mainView->getBounds(), R (8, 40, 1152, 724));
    EXPECT_EQ (s.fullscreenButton.getBounds(), R (1128, 8, 28, 24));
    EXPECT_EQ (s.settingsButton.getBounds(), R (1092, 8, 28, 24));
    EXPECT_TRUE (s.fullscreenButton.isVisible());
    // the window buttons draw their faces (nothing else paints over the top bar)
    const auto img = render (s);
    const auto bg = pixel (img, 1000, 20);
    EXPECT_GT (countInk (img, s.settingsButton.getBounds(), bg, 12), 100);
}

TEST (ShellLayout, SingleEffectAndUtilityProductsFillTheWindowWithTheirPage)
{
    for (bool standalone : { false, true })
    {
        ShellFixture seven (7, standalone, 855, 470);
        EXPECT_EQ (seven.shell->studio.getBounds(), R (0, 0, 855, 470));
        EXPECT_TRUE (seven.shell->studio.isVisible());
        EXPECT_EQ (seven.shell->studio.getParentComponent(), seven.shell.get());

        ShellFixture utility (14, standalone, 855, 470);
        ASSERT_NE (utility.shell->utilityView, nullptr);
        EXPECT_EQ (utility.shell->utilityView->getBounds(), R (0, 0, 855, 470));
        EXPECT_FALSE (utility.shell->studio.isVisible());

        if (standalone)
        {
            // the window buttons sit over the page and still take the clicks
            auto& s = *seven.shell;
            EXPECT_EQ (s.fullscreenButton.getBounds(), R (815, 8, 28, 24));
            EXPECT_EQ (s.getComponentAt (s.settingsButton.getBounds().getCentre()), &s.settingsButton);
            EXPECT_EQ (utility.shell->getComponentAt (utility.shell->fullscreenButton.getBounds().getCentre()),
                       &utility.shell->fullscreenButton);
        }
    }
}

TEST (ShellLayout, NothingGetsANegativeSizeInATinyWindow)
{
    for (int product : { 0, 7, 14, 15 })
        for (bool standalone : { false, true })
        {
            ShellFixture f (product, standalone, 30, 20);
            std::function<void (juce::Component&)> check = [&] (juce::Component& c)
            {
                EXPECT_GE (c.getWidth(), 0);
                EXPECT_GE (c.getHeight(), 0);
                for (auto* child : c.getChildren())
                    check (*child);
            };
            check (*f.shell);
            render (*f.shell);
        }
}

TEST (ShellLayout, HeaderPaintsOnlyForTheDesktopAndTheWindowFrameOnlyStandalone)
{
    // plug-in host: the page background alone, no frame outline at the frame's top-left corner
    ShellFixture plug (0, false, 1200, 800);
    ShellFixture alone (0, true, 1200, 840);
    alone.shell->chooseLayout (0);
    const auto a = render (*plug.shell), b = render (*alone.shell);
    // the standalone frame's window dots are drawn at y 49
    EXPECT_TRUE (colourNear (pixel (b, 13, 54), juce::Colour (0xffff5f57), 40));
    EXPECT_FALSE (colourNear (pixel (a, 13, 54), juce::Colour (0xffff5f57), 40));

    ShellFixture desk (0, true, 1280, 900);
    for (int theme : { -3, 0, 5, 9 })
    {
        desk.proc->themeIndex = theme;
        const auto img = render (*desk.shell);
        EXPECT_GT (countInk (img, R (16, 12, 1248, 128), pixel (img, 640, 150), 6), 1000) << theme;
    }
}

TEST (ShellLayout, DesktopGridSplitsIntoTwoRowsAndTwoColumns)
{
    auto proc = makeProcessor (0, true);
    DesktopTopGrid grid (*proc);
    grid.setSize (1248, 816);
    EXPECT_EQ (grid.source.getBounds(), R (0, 0, 616, 400));
    EXPECT_EQ (grid.utility.getBounds(), R (632, 0, 616, 400));
    EXPECT_EQ (grid.vuRack.getBounds(), R (0, 416, 616, 400));
    EXPECT_EQ (grid.masterLevel.getBounds(), R (632, 416, 616, 400));
    grid.setSize (10, 100);
    EXPECT_EQ (grid.source.getHeight(), 100);
    EXPECT_EQ (grid.vuRack.getHeight(), 0);
}

TEST (ShellLayout, StandaloneMenuHasOneFileMenuWithSettings)
{
    auto proc = makeProcessor (0, true);
    AppShell shell (*proc);
    ASSERT_NE (gMenu, nullptr);
    EXPECT_EQ (gMenu->getMenuBarNames(), juce::StringArray ("File"));
    auto menu = gMenu->getMenuForIndex (0, "File");
    juce::PopupMenu::MenuItemIterator it (menu);
    ASSERT_TRUE (it.next());
    EXPECT_EQ (it.getItem().itemID, 1);
    EXPECT_EQ (it.getItem().text, juce::String::fromUTF8 ("Settings\xe2\x80\xa6"));
    EXPECT_FALSE (it.next());
}
