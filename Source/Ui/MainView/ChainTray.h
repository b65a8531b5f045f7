#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

class VyrAudioProcessor;

// The signal chain as a row of module tiles between an IN and an OUT jack, in the saved chain
// order (VyrAudioProcessor::fxOrder). Dragging a tile reorders the chain, a click selects a module,
// a long press (320 ms or more, decided on release) switches its "<id>_enabled" parameter; the full
// form adds an overview tile and an add/enable menu. The main view shows the compact form (no
// overview or add tiles, no bass-mono tile, no selection outline).
//
// Message thread only; no timer: it repaints on its own input and when its owner asks.
class ChainTray : public juce::Component
{
public:
    explicit ChainTray (VyrAudioProcessor&);
    ~ChainTray() override;

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override { layoutHits(); }

    // Rebuilds the visible tiles from the chain order and the enable parameters.
    void refreshVisible();
    // refreshVisible, then the tile, overview and add rectangles for the current size.
    void layoutHits();
    // The add/enable menu of the full form, shown asynchronously.
    void showAddMenu();
    // The menu's items: a section header and the 13 modules in default order (ids 1..13).
    juce::PopupMenu buildAddMenu() const;
    // What a menu result does: r >= 1 selects and enables module r - 1; r <= 0 does nothing.
    void applyAddMenuResult (int r);

    // The caption drawn in a module's tile.
    static juce::String captionFor (const juce::String& moduleId);
    // Whether a module's enable parameter is on (a missing parameter counts as off).
    bool isModuleEnabled (int module) const;

    std::function<void()> onChanged;
    std::function<void (int)> onSelect;
    std::function<void()> onOverview;
    VyrAudioProcessor& processor;

    int tileWidth = 56, tileHeight = 64;
    float padX = 8.0f, padY = 10.0f;
    juce::Rectangle<int> tileBounds[13];
    juce::Rectangle<int> overviewBounds, addBounds;
    int visibleCount = 0;
    int visibleSlot[13] {};
    int visibleModule[13] {};
    int pressedTile = -1;
    int dropIndex = -1;
    juce::Point<int> pressPos;
    bool dragging = false;
    bool onlyEnabled = false;
    bool showSelection = true;
    int selectedModule = 0;
    bool overviewMode = false;
    bool compact = false;

    // A press held this long or longer switches the module instead of selecting it.
    static constexpr int longPressMs = 320;

private:
    struct Row
    {
        float x0 = 0.0f, y0 = 0.0f, scale = 1.0f, gap = 12.0f, content = 0.0f;
    };
    Row row;
    juce::Point<int> dragPos;

    int dropTarget() const;
    void finishDrag();
    void notify (bool select, bool changed);
    void toggleEnabled (int module);
    void setEnabledOn (int module);

    void paintJack (juce::Graphics&, float unscaledX, juce::Colour, const char* label) const;
    void paintWires (juce::Graphics&) const;
    void paintTile (juce::Graphics&, juce::Rectangle<float>, int module, bool enabled, bool selected, bool ghost, bool lifted) const;
    void paintOverviewTile (juce::Graphics&) const;
    // What every tile shows on its plate: grip, LED, the icon in its slot and the caption band.
    void paintTileFace (juce::Graphics&, juce::Rectangle<float>, const juce::String& icon, juce::Colour, bool lit,
                        const juce::String& caption) const;
    void paintAddTile (juce::Graphics&) const;
    void paintInsertionBar (juce::Graphics&) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ChainTray)
};
