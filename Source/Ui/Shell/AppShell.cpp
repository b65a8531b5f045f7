#include "Ui/Shell/AppShell.h"

#include "Core/PluginProcessor.h"
#include "Ui/Controls/GhostButton.h"
#include "Ui/Foundation/HardwareArt.h"
#include "Ui/Foundation/VyrTheme.h"
#include "Ui/MainView/BasicMasteringView.h"
#include "Ui/Shell/AudioSettingsWindow.h"
#include "Ui/Shell/DesktopTopGrid.h"
#include "Ui/Shell/ShellPainters.h"
#include "Ui/Shell/SignalUtilityPanel.h"
#include "Ui/Shell/TransportStrip.h"

namespace
{
juce::String utf8 (const char* s) { return juce::String::fromUTF8 (s); }

const juce::String kFullscreenTip = utf8 ("Fullscreen  \xc2\xb7  F11  \xc2\xb7  Esc to exit");
const juce::String kExitFullscreenTip = utf8 ("Exit fullscreen  \xc2\xb7  Esc");

constexpr int kModifierMask = juce::ModifierKeys::shiftModifier | juce::ModifierKeys::ctrlModifier
                              | juce::ModifierKeys::altModifier | juce::ModifierKeys::commandModifier;

int modifierFlags (const juce::KeyPress& k) { return k.getModifiers().getRawFlags() & kModifierMask; }

bool keyIs (const juce::KeyPress& k, juce::juce_wchar lower)
{
    const int code = k.getKeyCode();
    if (code < 256 && juce::CharacterFunctions::toLowerCase ((juce::juce_wchar) code) == lower)
        return true;
    return juce::CharacterFunctions::toLowerCase (k.getTextCharacter()) == lower;
}

bool focusIsInTextEditor()
{
    auto* f = juce::Component::getCurrentlyFocusedComponent();
    return f != nullptr && (dynamic_cast<juce::TextEditor*> (f) != nullptr || f->findParentComponentOfClass<juce::TextEditor>() != nullptr);
}
}

AppShell::AppShell (VyrAudioProcessor& p)
    : processor (p), studio (p), sectionPage (p), masteredPage (p), masteringStudio (p), finalOutput (p)
{
    onOpenSettings = [] { vyrShowAudioSettings(); };

    standalone = p.wrapperType == juce::AudioProcessor::wrapperType_Standalone;
    layoutMode = (standalone && p.product == vyrProducts::fullChain) ? desktop : plugIn;

    addAndMakeVisible (desktopView);
    desktopView.setViewedComponent (&desktopContent, false);
    desktopView.setOpaque (false);
    desktopContent.setOpaque (false);
    for (juce::Component* c : { (juce::Component*) &studio, (juce::Component*) &sectionPage, (juce::Component*) &masteredPage,
                                (juce::Component*) &masteringStudio, (juce::Component*) &finalOutput })
        desktopContent.addAndMakeVisible (c);
    masteredPage.onLayoutChange = [this] { resized(); };

    desktopGrid = std::make_unique<DesktopTopGrid> (p);
    desktopContent.addAndMakeVisible (*desktopGrid);

    transportStrip = std::make_unique<TransportStrip> (p);
    addAndMakeVisible (*transportStrip);

    for (int i = 0; i < 6; ++i)
    {
        auto& b = themeButtons[i];
        ghostBtn (b);
        b.setTooltip (kThemes[i].name);
        b.onClick = [this, i] { selectTheme (i); };
        addAndMakeVisible (b);
    }

    identityInfo.setPanel ("visualidentity", juce::Colour (0xff8b5cf6));
    addAndMakeVisible (identityInfo);

    plugInButton.setTooltip (utf8 ("Plug in  1200\xc3\x97" "800"));
    desktopButton.setTooltip ("Desktop  Full studio");
    plugInButton.onClick = [this] { chooseLayout (0); };
    desktopButton.onClick = [this] { chooseLayout (1); };
    addAndMakeVisible (plugInButton);
    addAndMakeVisible (desktopButton);

    const char* tabNames[4] = { "FX Chain", "Section", "Master", "Output" };
    for (int i = 0; i < 4; ++i)
    {
        tabButtons[i].setButtonText (tabNames[i]);
        tabButtons[i].onClick = [this, i] { selectPage (i); };
        addAndMakeVisible (tabButtons[i]);
    }

    addAndMakeVisible (basicButton);
    addAndMakeVisible (proButton);

    ghostBtn (fullscreenButton);
    fullscreenButton.setTooltip (kFullscreenTip);
    fullscreenButton.onClick = [this] { toggleFullscreen(); };
    ghostBtn (settingsButton);
    settingsButton.setTooltip (utf8 ("Settings  \xc2\xb7  Audio devices  \xc2\xb7  ") + vyrSettingsShortcutText());
    settingsButton.onClick = [this]
    {
        if (onOpenSettings)
            onOpenSettings();
    };
    addAndMakeVisible (fullscreenButton);
    addAndMakeVisible (settingsButton);

    basicButton.onClick = [this] { setPro (false); };
    proButton.onClick = [this] { setPro (true); };

    const bool full = p.product == vyrProducts::fullChain;
    sectionPage.setVisible (full);
    masteredPage.setVisible (full);
    masteringStudio.setVisible (full);
    finalOutput.setVisible (full);
    studio.setVisible (p.product >= 0 && p.product <= 13);

    if (p.product == vyrProducts::quarn)
    {
        mainView = std::make_unique<BasicMasteringView> (p);
        addAndMakeVisible (*mainView);
        studio.setVisible (false);
        desktopGrid->setVisible (false);
    }
    else if (p.product == vyrProducts::signalUtility)
    {
        utilityView = std::make_unique<SignalUtilityPanel> (p);
        addAndMakeVisible (*utilityView);
        studio.setVisible (false);
    }

    setWantsKeyboardFocus (standalone);

    if (standalone)
    {
        if (gMenu == nullptr)
            gMenu = std::make_unique<StandaloneMenu>();
        vyrInstallMainMenu (gMenu.get());
    }

    startTimer (125);
}

AppShell::~AppShell()
{
    stopTimer();
    if (standalone)
    {
        vyrInstallMainMenu (nullptr);
        gMenu.reset();
    }
    desktopView.setViewedComponent (nullptr, false);
    mainView.reset();
    utilityView.reset();
    transportStrip.reset();
    desktopGrid.reset();
}

//==============================================================================
void AppShell::selectTheme (int identity)
{
    if (auto* param = processor.apvts.getParameter ("theme"))
    {
        param->beginChangeGesture();
        param->setValueNotifyingHost (param->convertTo0to1 ((float) identity));
        param->endChangeGesture();
    }
    processor.themeIndex.store (identity);
    // The panels' margins and knob faces follow the identity: lay them out again.
    if (desktopGrid != nullptr)
        for (auto* panel : desktopGrid->getChildren())
            panel->resized();
    if (utilityView != nullptr)
        utilityView->resized();
    if (auto* top = getTopLevelComponent())
        top->repaint();
}

void AppShell::chooseLayout (int which)
{
    layoutMode = (which == 1 && processor.product != vyrProducts::quarn) ? desktop : plugIn;

    int w = 1280, h = 900;
    bool resizable = true;
    if (layoutMode == plugIn)
    {
        if (processor.product == vyrProducts::quarn)
            w = 1168, h = standalone ? 768 : 720;
        else
            w = 1200, h = standalone ? 840 : 800;
        resizable = standalone;
    }
    if (onSizeRequest)
        onSizeRequest (w, h, resizable);
    resized();
    repaint();
}

void AppShell::selectPage (int index)
{
    page = index;
    resized();
    repaint();
}

void AppShell::setPro (bool shouldBePro)
{
    pro = shouldBePro;
    resized();
    repaint();
}

bool AppShell::topLevelIsFullScreen() const
{
    if (auto* window = dynamic_cast<juce::ResizableWindow*> (getTopLevelComponent()))
        return window->isFullScreen() || ! boundsBeforeFullScreen.isEmpty();
    return false;
}

void AppShell::toggleFullscreen()
{
    auto* window = dynamic_cast<juce::ResizableWindow*> (getTopLevelComponent());
    if (window == nullptr)
        return;
    // The window's own flag can be lost on the way (a window manager answering the request with
    // a plain resize), so the bounds kept on entering say whether we are in full screen.
    const bool was = topLevelIsFullScreen();
    if (! was)
        boundsBeforeFullScreen = window->getBounds();
    if (onFullScreenChange)
        onFullScreenChange (! was);
    window->setFullScreen (! was);
    if (was)
    {
        if (! boundsBeforeFullScreen.isEmpty())
            window->setBounds (boundsBeforeFullScreen);
        boundsBeforeFullScreen = {};
    }
    fullscreenButton.setTooltip (! was ? kExitFullscreenTip : kFullscreenTip);
    resized();
    repaint();
}

//==============================================================================
bool AppShell::keyPressed (const juce::KeyPress& key)
{
    const int mods = modifierFlags (key);
    const int code = key.getKeyCode();

    if (code == juce::KeyPress::spaceKey && mods == 0)
    {
        if (focusIsInTextEditor() || ! standalone)
            return false;
        if (spaceHeld)
            return true;
        spaceHeld = true;
        if (mainView != nullptr)
            mainView->playClicked();
        else if (processor.transport.isPlaying())
            processor.transport.stop();
        else if (vyrAudioOutputAvailable())
            processor.playFile();
        repaint();
        return true;
    }

    if (! standalone)
        return false;

    if (mods == juce::ModifierKeys::commandModifier && ! key.getModifiers().isAnyMouseButtonDown() && keyIs (key, ','))
    {
        if (onOpenSettings)
            onOpenSettings();
        return true;
    }

    if (code == juce::KeyPress::F11Key && mods == 0)
    {
        toggleFullscreen();
        return true;
    }

    if (mods == (juce::ModifierKeys::commandModifier | juce::ModifierKeys::ctrlModifier) && keyIs (key, 'f'))
    {
        toggleFullscreen();
        return true;
    }

    if (code == juce::KeyPress::escapeKey && mods == 0 && topLevelIsFullScreen())
    {
        toggleFullscreen();
        return true;
    }
    return false;
}

bool AppShell::keyStateChanged (bool)
{
    if (! juce::KeyPress::isKeyCurrentlyDown (juce::KeyPress::spaceKey))
        spaceHeld = false;
    return false;
}

void AppShell::timerCallback()
{
    if (layoutMode == desktop && isShowing())
    {
        const auto area = statusRepaintArea();
        if (! area.isEmpty())
            repaint (area);
    }
}
