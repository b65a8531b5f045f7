#pragma once

#include "Core/PluginProcessor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

// The dropdown of the factory preset browser: a transparent overlay over the whole editor with a
// 312-pixel panel under (or above) the browser's name button, listing the seventeen presets with
// their target loudness. A release on a row picks it, a release outside the panel closes the list;
// the header and the empty margin do nothing. Message thread only.
class FactoryPresetMenu : public juce::Component
{
public:
    FactoryPresetMenu();

    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void parentSizeChanged() override;

    // The panel in overlay coordinates, from the overlay's size and the anchor.
    juce::Rectangle<int> panelBounds() const;
    // The anchor in overlay coordinates: the live button while it exists, else the stored bounds.
    juce::Rectangle<int> currentAnchor() const;
    // Number of preset rows that fit the panel.
    int visibleRows() const;

    int current = 0;
    juce::Rectangle<int> anchor;
    juce::Component::SafePointer<juce::Component> anchorButton;
    std::function<void (int)> onPick;
    std::function<void()> onClose;
};

// The one-line strip of the factory mastering presets: previous, the current preset's name (which
// opens the dropdown) and next. Choosing a preset calls the processor's applyFactoryPreset; the
// strip follows the processor's factoryPresetIndex, so a preset chosen elsewhere or a reset to the
// initial state shows within one 125 ms tick. Previous and next step over "Init Preset" (index 0),
// which would wipe the session's settings; a direct pick from the list still applies it.
// The open dropdown closes when the strip stops showing, also when an ancestor page is hidden.
// Message thread only.
class FactoryPresetBrowser : public juce::Component, private juce::Timer
{
public:
    explicit FactoryPresetBrowser (VyrAudioProcessor&);
    ~FactoryPresetBrowser() override;

    void visibilityChanged() override;
    void paintOverChildren (juce::Graphics&) override;
    void resized() override;

    // Opens the dropdown, or closes it when open.
    void toggleMenu();
    bool isMenuOpen() const noexcept { return menu != nullptr; }

    // The presets previous and next step to from a stored index (clamped to 0..16 first).
    static int previousPreset (int stored) noexcept;
    static int nextPreset (int stored) noexcept;

    juce::TextButton prevButton, menuButton, nextButton;
    std::unique_ptr<FactoryPresetMenu> menu;
    int lastShownPreset = -1;

private:
    void timerCallback() override;
    void choose (int index);
    void closeMenu();
    void repaintStrip();
    int shownIndex() const noexcept;

    VyrAudioProcessor& processor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FactoryPresetBrowser)
};
