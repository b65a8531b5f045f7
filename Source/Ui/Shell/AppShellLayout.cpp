#include "Ui/Shell/AppShell.h"

#include "Core/PluginProcessor.h"
#include "Ui/Controls/GhostButton.h"
#include "Ui/Foundation/HardwareArt.h"
#include "Ui/MainView/BasicMasteringView.h"
#include "Ui/Shell/DesktopTopGrid.h"
#include "Ui/Shell/ShellPainters.h"
#include "Ui/Shell/SignalUtilityPanel.h"
#include "Ui/Shell/TransportStrip.h"

namespace
{
int clamp0 (int v) noexcept { return juce::jmax (v, 0); }

void setTextIfChanged (juce::TextButton& b, const juce::String& text)
{
    if (b.getButtonText() != text)
        b.setButtonText (text);
}

int glyphWidth (const juce::Font& font, const juce::String& text)
{
    juce::GlyphArrangement ga;
    ga.addLineOfText (font, text, 0.0f, 0.0f);
    return (int) std::ceil (ga.getBoundingBox (0, -1, true).getWidth());
}
}

int AppShell::headerTitleWidth()
{
    const int wordmark = glyphWidth (HardwareArt::brandWordmarkFont (36.0f, 0.1f), "Kaldun");
    const int family = glyphWidth (juce::Font (30.0f, juce::Font::bold), "Tolvaren");
    const int motto = glyphWidth (juce::Font (11.0f).withExtraKerningFactor (0.04f), vyrShell::familyMotto());
    return juce::jmax (motto + 22, family, wordmark) + 6;
}

void AppShell::chip (juce::TextButton& b, bool on, juce::Colour)
{
    b.setComponentID ({});
    b.setColour (juce::TextButton::buttonColourId, on ? juce::Colours::white : juce::Colour (0xff2a2e35));
    b.setColour (juce::TextButton::textColourOffId, on ? juce::Colours::black : juce::Colours::white.withAlpha ((juce::uint8) 0xbf));
    // The shared look-and-feel lights a button by its toggle state.
    b.setToggleState (on, juce::dontSendNotification);
}

AppShell::Header AppShell::headerGeometry() const
{
    const int W = getWidth();
    Header h;
    h.K = clamp0 (W - 64);
    h.icon = juce::jmin (h.K, 96);
    h.gap = juce::jmin (h.K - h.icon, 18);
    const int rest = h.K - h.icon - h.gap;
    const int reserve = juce::jmin (rest, clamp0 (h.K - W + 164) + 10);
    h.L = rest - reserve;
    h.titleX = h.icon + h.gap + 32;
    h.right = h.titleX + h.L;
    h.modeBlock = juce::jmin (h.L, 312);
    h.statusBlock = juce::jmin (h.L, 108);
    h.modeX = h.right - h.modeBlock;
    h.modeW = clamp0 (h.modeBlock - h.statusBlock - 8);
    h.by = (h.L - h.modeBlock) - juce::jmin (h.L - h.modeBlock, 14);
    h.titleBlock = juce::jmin (clamp0 (h.by - 292), headerTitleWidth());
    h.gap2 = juce::jmin (h.by - h.titleBlock, 20);
    h.avail = clamp0 (h.by - h.titleBlock - h.gap2 - 16);
    h.knob = (h.avail == 0 || h.avail >= 256) ? 36 : juce::jmax (32, (h.avail - 40) / 6);
    return h;
}

juce::Rectangle<int> AppShell::statusRepaintArea() const
{
    const auto h = headerGeometry();
    const int x0 = clamp0 (h.right - h.statusBlock), x1 = juce::jmin (getWidth(), h.right);
    const int height = juce::jmin (getHeight(), 112) - 40;
    if (x1 - x0 <= 0 || height <= 0)
        return {};
    return { x0, 40, x1 - x0, height };
}

int AppShell::tapeHeight() const noexcept
{
    return masteredPage.tapeMode == 1 ? 318 : (masteredPage.tapeMode == 2 ? 430 : 234);
}

void AppShell::moveIntoShell (juce::Component& c)
{
    if (c.getParentComponent() != this)
        addChildComponent (c);
}

void AppShell::moveIntoDesktop (juce::Component& c)
{
    if (c.getParentComponent() != &desktopContent)
        desktopContent.addChildComponent (c);
}

//==============================================================================
void AppShell::resized()
{
    const int product = processor.product;
    const bool d = layoutMode == desktop && product == vyrProducts::fullChain;

    desktopView.setVisible (d);
    basicButton.setVisible (d);
    proButton.setVisible (d);
    identityInfo.setVisible (d);
    for (auto& b : themeButtons)
        b.setVisible (d);
    if (desktopGrid != nullptr)
        desktopGrid->setVisible (d);
    if (transportStrip != nullptr)
        transportStrip->setVisible (! d && standalone && product == vyrProducts::fullChain);
    plugInButton.setVisible (standalone && product == vyrProducts::fullChain);
    desktopButton.setVisible (standalone && product == vyrProducts::fullChain);
    fullscreenButton.setVisible (standalone);
    settingsButton.setVisible (standalone);
    for (auto& t : tabButtons)
        t.setVisible (product == vyrProducts::fullChain && ! d);
    if (mainView != nullptr)
        mainView->setVisible (product == vyrProducts::quarn);

    if (layoutMode == desktop)
    {
        ghostBtn (plugInButton);
        ghostBtn (desktopButton);
    }
    else
    {
        setTextIfChanged (plugInButton, "Plug in");
        setTextIfChanged (desktopButton, "Desktop");
        chip (plugInButton, layoutMode == plugIn, {});
        chip (desktopButton, layoutMode == desktop, {});
    }

    const int W = getWidth(), H = getHeight();

    if (product == vyrProducts::quarn)
    {
        layoutBasicFrame();
        return;
    }

    if (product != vyrProducts::fullChain)
    {
        desktopView.setVisible (false);
        if (desktopGrid != nullptr)
            desktopGrid->setVisible (false);
        if (transportStrip != nullptr)
            transportStrip->setVisible (false);
        for (juce::Component* c : { (juce::Component*) &sectionPage, (juce::Component*) &masteredPage,
                                    (juce::Component*) &masteringStudio, (juce::Component*) &finalOutput,
                                    (juce::Component*) &plugInButton, (juce::Component*) &desktopButton,
                                    (juce::Component*) &basicButton, (juce::Component*) &proButton })
            c->setVisible (false);
        for (auto& t : tabButtons)
            t.setVisible (false);

        if (standalone)
        {
            fullscreenButton.setBounds (W - 40, 8, 28, 24);
            settingsButton.setBounds (W - 76, 8, 28, 24);
        }
        if (product == vyrProducts::signalUtility && utilityView != nullptr)
        {
            studio.setVisible (false);
            utilityView->setVisible (true);
            utilityView->setBounds (0, 0, W, H);
        }
        else
        {
            moveIntoShell (studio);
            studio.setVisible (true);
            studio.setBounds (0, 0, W, H);
        }
        // The window buttons sit over the page's top-right corner: keep them reachable.
        fullscreenButton.toFront (false);
        settingsButton.toFront (false);
        return;
    }

    if (layoutMode == plugIn)
        layoutPlugInFrame();
    else
        layoutDesktop();
}

void AppShell::layoutBasicFrame()
{
    desktopView.setVisible (false);
    if (desktopGrid != nullptr)
        desktopGrid->setVisible (false);
    if (transportStrip != nullptr)
        transportStrip->setVisible (false);
    for (juce::Component* c : { (juce::Component*) &studio, (juce::Component*) &sectionPage, (juce::Component*) &masteredPage,
                                (juce::Component*) &masteringStudio, (juce::Component*) &finalOutput,
                                (juce::Component*) &plugInButton, (juce::Component*) &desktopButton,
                                (juce::Component*) &basicButton, (juce::Component*) &proButton })
        c->setVisible (false);
    for (auto& t : tabButtons)
        t.setVisible (false);

    const int W = getWidth(), H = getHeight();
    int top = 0;
    if (standalone)
    {
        fullscreenButton.setBounds (W - 40, 8, 28, 24);
        settingsButton.setBounds (W - 76, 8, 28, 24);
        top = juce::jmin (H, 36);
    }
    if (mainView != nullptr)
    {
        mainView->setVisible (true);
        if (standalone)
            mainView->setBounds (8, top + 4, clamp0 (W - 16), clamp0 (H - top - 8));
        else
            mainView->setBounds (0, 0, W, H);
    }
}

void AppShell::layoutPlugInFrame()
{
    const int W = getWidth(), H = getHeight();
    int v = W, o = 0, top = 0, hh = 0, u = H;
    if (standalone)
    {
        v = juce::jmin (W, 1200);
        o = clamp0 ((W - 1200) / 2);
        top = 40;
        hh = 28;
        u = juce::jmin (H, 840) - 40;
    }
    const int x = o + 8, y = top + hh + 8;
    const int cw = juce::jmax (v, 16) - 16;
    int ch = juce::jmax (clamp0 (u) - hh, 16) - 16;

    if (standalone)
    {
        fullscreenButton.setBounds (o + v - 34, top + 4, 26, 20);
        settingsButton.setBounds (o + v - 64, top + 4, 26, 20);
        const int bx = (W - 520) / 2, by = (juce::jmin (H, 36) - 28) / 2 + 2;
        plugInButton.setBounds (bx + 3, by, 254, 24);
        desktopButton.setBounds (bx + 263, by, 254, 24);
    }

    const int t = juce::jmin (ch, 32);
    ch -= t;
    const int tabY = y + ch + 3;
    int slots[4];
    slots[0] = cw / 4;
    int r = cw - slots[0];
    slots[1] = juce::jmin (r, r / 3);
    r -= slots[1];
    slots[2] = juce::jmin (r, r / 2);
    slots[3] = r - slots[2];
    int sx = x;
    for (int i = 0; i < 4; ++i)
    {
        tabButtons[i].setBounds (sx + 3, tabY, clamp0 (slots[i] - 6), clamp0 (t - 6));
        chip (tabButtons[i], page == i, {});
        sx += slots[i];
    }

    if (standalone && transportStrip != nullptr)
    {
        const int s = juce::jmin (ch, 40);
        ch -= s;
        transportStrip->setBounds (x, y + ch, cw, s);
    }

    for (juce::Component* c : { (juce::Component*) &studio, (juce::Component*) &sectionPage, (juce::Component*) &masteredPage,
                                (juce::Component*) &masteringStudio, (juce::Component*) &finalOutput })
        moveIntoShell (*c);

    studio.setVisible (page == 0);
    sectionPage.setVisible (page == 1);
    masteredPage.setVisible (page == 1);
    masteringStudio.setVisible (page == 2);
    finalOutput.setVisible (page == 3);

    if (page == 1)
    {
        const int n = juce::jmin (ch, tapeHeight());
        sectionPage.setBounds (x, y, cw, ch - n - juce::jmin (ch - n, 8));
        masteredPage.setBounds (x, y + ch - n, cw, n);
    }
    else if (page == 0)
        studio.setBounds (x, y, cw, ch);
    else if (page == 2)
        masteringStudio.setBounds (x, y, cw, ch);
    else if (page == 3)
        finalOutput.setBounds (x, y, cw, ch);
}

void AppShell::layoutDesktop()
{
    const int W = getWidth(), H = getHeight();
    const auto h = headerGeometry();

    for (int i = 0; i < 6; ++i)
        themeButtons[i].setBounds (h.titleX + h.titleBlock + h.gap2 + 8 + i * (h.knob + 8), (86 - h.knob) / 2 + 24, h.knob, h.knob);
    identityInfo.setBounds (W - 42, 67, 18, 18);
    fullscreenButton.setBounds (W - 88, 62, 36, 28);
    settingsButton.setBounds (W - 132, 62, 36, 28);

    plugInButton.setBounds (h.modeX, 40, h.modeW / 2, 42);
    desktopButton.setBounds (plugInButton.getRight(), 40, h.modeX + h.modeW - plugInButton.getRight(), 42);
    ghostBtn (basicButton);
    ghostBtn (proButton);
    basicButton.setBounds (h.modeX, 90, h.modeW / 2, 22);
    proButton.setBounds (basicButton.getRight(), 90, h.modeX + h.modeW - basicButton.getRight(), 22);

    desktopView.setBounds (12, 156, clamp0 (W - 24), clamp0 (H - 164));
    const int f = juce::jmax (400, desktopView.getMaximumVisibleWidth() - 8);

    int m = 0;
    if (desktopGrid != nullptr)
    {
        moveIntoDesktop (*desktopGrid);
        desktopGrid->setVisible (true);
        desktopGrid->setBounds (0, 0, f, 816);
    }
    m = 832;

    moveIntoDesktop (studio);
    studio.setVisible (pro);
    if (pro)
    {
        studio.setBounds (0, m, f, 760);
        m += 776;
    }
    moveIntoDesktop (sectionPage);
    sectionPage.setVisible (pro);
    if (pro)
    {
        sectionPage.setBounds (0, m, f, 640);
        m += 656;
    }
    moveIntoDesktop (masteredPage);
    masteredPage.setVisible (pro);
    if (pro)
    {
        const int n = tapeHeight();
        masteredPage.setBounds (0, m, f, n);
        m += n + 16;
    }
    moveIntoDesktop (masteringStudio);
    masteringStudio.setVisible (true);
    const int studioH = masteringStudio.detailOpen ? 592 : 540;
    masteringStudio.setBounds (0, m, f, studioH);
    m += studioH + 16;
    moveIntoDesktop (finalOutput);
    finalOutput.setVisible (true);
    finalOutput.setBounds (0, m, f, 360);
    m += 376;

    desktopContent.setSize (f, juce::jmax (m, desktopView.getHeight()));
}
