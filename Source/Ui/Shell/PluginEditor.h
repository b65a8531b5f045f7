#pragma once

#include "Ui/Foundation/VyrInfoOverlay.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/Shell/AppShell.h"
#include "Ui/Shell/ExportInfoOverlay.h"

#include <juce_audio_processors/juce_audio_processors.h>

class VyrAudioProcessor;

// The help card of the editor constructed last (null while no editor is open), for callers that
// live outside any editor. Components inside an editor find their own editor's card.
extern VyrInfoOverlay* gHost;

// The plug-in's window content: the application shell, the help card and the export-tag card
// above it. Sets the window size by product and host; for VYR Quarn the shell is laid out at one
// design size (1168 x 720, 1168 x 768 in the Standalone app) and scaled into the window, zoomable
// from 0.75 to 1.5 with Ctrl and "+", "-", "0" or the main view's scale chip. Escape closes the
// cards; other keys go to the shell. Message thread only.
class VyrAudioProcessorEditor : public juce::AudioProcessorEditor, public VyrInfoHost, public VyrExportHost
{
public:
    explicit VyrAudioProcessorEditor (VyrAudioProcessor&);
    ~VyrAudioProcessorEditor() override;

    void mouseMagnify (const juce::MouseEvent&, float) override {}
    void visibilityChanged() override;
    void parentHierarchyChanged() override;
    void paint (juce::Graphics&) override;
    bool keyPressed (const juce::KeyPress&) override;
    bool keyStateChanged (bool isKeyDown) override;
    void resized() override;

    VyrExportInfoOverlay& getExportOverlay() noexcept override { return exportOverlay; }

    void setupQuarnZoom();
    // Sets the zoom (0.75..1.5); a step that would make the window larger than the screen's usable
    // area stops at the largest step that fits. In full screen only the content's scale changes.
    void setQuarnScale (float scale);
    void layoutScaledQuarn();

    int designHeight() const noexcept { return designH; }
    float getQuarnScale() const noexcept { return quarnScale; }

    VyrAudioProcessor& processor;

private:
    // Held first so the shared look-and-feel outlives every child of this editor.
    juce::SharedResourcePointer<VyrLookAndFeel> lookAndFeel;

public:
    AppShell shell;
    VyrExportInfoOverlay exportOverlay;

private:
    // Any mouse-down in the editor takes keyboard focus (so the zoom keys work); wheel and
    // magnify gestures are left alone.
    struct QuarnZoomHook : juce::MouseListener
    {
        explicit QuarnZoomHook (VyrAudioProcessorEditor& e) : editor (e) {}
        void mouseDown (const juce::MouseEvent&) override;
        void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override {}
        void mouseMagnify (const juce::MouseEvent&, float) override {}
        VyrAudioProcessorEditor& editor;
    };

    void grabFocusIfShowing();
    void fullScreenChanging (bool entering);
    float largestScaleThatFits (float wanted) const;
    void keepWindowOnScreen();
    bool isQuarn() const noexcept;
    bool isStandalone() const noexcept;

    juce::TooltipWindow tooltipWindow { this, 450 };
    QuarnZoomHook zoomHook { *this };
    float quarnScale = 1.0f;
    bool applyingScale = false;
    bool zoomReady = false;
    bool inFullScreen = false;
    int designH = 720;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VyrAudioProcessorEditor)
};
