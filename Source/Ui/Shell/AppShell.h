#pragma once

#include "Ui/Foundation/HardwareArt.h"
#include "Ui/Foundation/VyrInfoButton.h"
#include "Ui/FxChain/StudioComponent.h"
#include "Ui/Studio/FinalOutputPanel.h"
#include "Ui/Studio/MasteredWaveformPanel.h"
#include "Ui/Studio/MasteringStudioPanel.h"
#include "Ui/SectionPage/SectionMasteringPanel.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

class VyrAudioProcessor;
class BasicMasteringView;
class DesktopTopGrid;
class TransportStrip;
class SignalUtilityPanel;

// The single content component of the editor. It builds every page and desktop panel for every
// product and shows what the product and host allow: the edition's main view (product 15), the
// generator (product 14), the FX chain page (products 1 to 13), the four tabbed pages or the
// scrolling desktop with its hardware header (product 0; the desktop only in the Standalone app).
// It handles the shell-level keys (Space, F11, Ctrl+Ctrl+F, Escape) in the Standalone app.
// Nothing of its own state is saved except the identity, which the theme buttons write to the
// "theme" parameter. Message thread only.
class AppShell : public juce::Component, private juce::Timer
{
public:
    enum Layout
    {
        plugIn = 0,
        desktop = 1
    };

    explicit AppShell (VyrAudioProcessor&);
    ~AppShell() override;

    void paint (juce::Graphics&) override;
    void paintOverChildren (juce::Graphics&) override;
    bool keyPressed (const juce::KeyPress&) override;
    bool keyStateChanged (bool isKeyDown) override;
    void resized() override;

    void toggleFullscreen();
    void layoutBasicFrame();

    // The three selections the buttons make (also used by tests and the editor).
    void selectTheme (int identity);
    void chooseLayout (int which);
    void selectPage (int index);
    void setPro (bool shouldBePro);

    // Header geometry of the desktop layout, shared by the layout and the painter.
    struct Header
    {
        int K = 0, icon = 0, gap = 0, L = 0, titleX = 0, right = 0, modeBlock = 0, statusBlock = 0, modeX = 0, modeW = 0,
            by = 0, titleBlock = 0, gap2 = 0, avail = 0, knob = 36;
        int statusX() const noexcept { return titleX + L - statusBlock; }
    };
    Header headerGeometry() const;
    // The status block the timer repaints (empty when it has no area).
    juce::Rectangle<int> statusRepaintArea() const;
    // Width the header's title block wants: wordmark, family name and motto, each measured.
    static int headerTitleWidth();

    // Styles a plug-in layout chip (white when on, dark otherwise).
    static void chip (juce::TextButton&, bool on, juce::Colour);

    std::function<void (int, int, bool)> onSizeRequest;
    // Opens the audio device settings (the Standalone app's dialog unless replaced).
    std::function<void()> onOpenSettings;

    int layoutMode = desktop;
    bool standalone = false;
    VyrAudioProcessor& processor;
    int page = 0;
    bool pro = true;
    bool spaceHeld = false;

    StudioComponent studio;
    SectionMasteringPanel sectionPage;
    MasteredWaveformPanel masteredPage;
    MasteringStudioPanel masteringStudio;
    FinalOutputPanel finalOutput;

    std::unique_ptr<DesktopTopGrid> desktopGrid;
    std::unique_ptr<TransportStrip> transportStrip;
    std::unique_ptr<SignalUtilityPanel> utilityView;
    std::unique_ptr<BasicMasteringView> mainView;

    juce::Viewport desktopView;
    juce::Component desktopContent;
    juce::TextButton themeButtons[6];
    juce::TextButton plugInButton, desktopButton;
    juce::TextButton tabButtons[4];
    juce::TextButton basicButton { "Basic" }, proButton { "PRO" };
    juce::TextButton fullscreenButton, settingsButton;
    VyrInfoButton identityInfo;

    // Called before the window enters full screen (true) and before it leaves it (false), so the
    // editor can lift or restore its size limits.
    std::function<void (bool)> onFullScreenChange;
    // The window's bounds before it entered full screen; leaving restores them.
    juce::Rectangle<int> boundsBeforeFullScreen;

private:
    void timerCallback() override;
    void layoutDesktop();
    void layoutPlugInFrame();
    void moveIntoShell (juce::Component&);
    void moveIntoDesktop (juce::Component&);
    int tapeHeight() const noexcept;
    bool topLevelIsFullScreen() const;

    // Held for the shell's lifetime so the header's product icon is decoded once, not per paint.
    juce::SharedResourcePointer<HardwareArt> art;

    void paintWindowFrame (juce::Graphics&);
    void paintDesktopHeader (juce::Graphics&);
    void paintCornerButtons (juce::Graphics&);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AppShell)
};
