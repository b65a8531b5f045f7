#pragma once

#include "Core/PluginProcessor.h"
#include "Ui/EqEditor/EqDisplayModel.h"
#include "Ui/Foundation/VyrPainting.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

// The EQ editor's frequency-response display: the live output spectrum, optional loudness and pink
// references, the edited channel's curve (and the other channel's in mid/side), the dynamic EQ's
// gain reduction per band and one draggable handle per band. It keeps its own copy of the settings,
// reloaded from the parameters by its timer while it shows and no drag runs; every edit goes to the
// parameters through patchBand, which holds one change gesture per parameter for a whole drag.
// Message thread only.
class EqGraph : public juce::Component, private juce::Timer
{
public:
    class Popup;

    EqGraph (VyrAudioProcessor& processor, bool dynamic);
    ~EqGraph() override;

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;
    void visibilityChanged() override;
    void parentHierarchyChanged() override;

    // Selects a band (empty: none), opens its popup and reports the change through onSelect.
    void setSelectedId (const juce::String& id);
    // The same without reporting: for an owner that selected the band itself.
    void selectQuietly (const juce::String& id);
    // Places, sizes, shows or hides the popup for the selected band.
    void layoutPopup();
    // Applies an edit to one band of the edited channel and writes the fields that changed.
    void patchBand (const juce::String& id, const std::function<void (vyrEq::Band&)>& edit);
    // Opens the drag's change gesture on a parameter, once per drag.
    void beginLiveParam (const juce::String& paramId);
    // Ends every gesture the drag holds and clears the drag.
    void endDrag();

    // Axes in the graph's own pixels.
    float xOf (float freq) const noexcept;
    float freqAt (float x) const noexcept;
    float yOf (float db) const noexcept;
    float dbAt (float y) const noexcept;
    // Display dB of the edited channel at a frequency (unclamped).
    float curveDb (double sampleRate, float freq) const;
    // Where a band's handle sits: on the channel's total response at the band's frequency.
    juce::Point<float> handleOf (const juce::String& id) const;

    bool editsSide() const noexcept { return state.msMode && state.msChannel == 1; }
    vyrEq::Channel& editedChannel() noexcept { return editsSide() ? state.side : state.main; }
    const vyrEq::Channel& editedChannel() const noexcept { return editsSide() ? state.side : state.main; }
    float rangeDb() const noexcept { return vyrEq::rangeOf (state.gainRange).range; }

    std::function<void (juce::String)> onSelect;

    // Called when a reload finds the module's layout changed (band count, range, mid/side, power,
    // an edge band's cut), so an owner can follow automation and recall without writing anything.
    std::function<void()> onLayoutChanged;

    VyrAudioProcessor& processor;
    const bool dynamic;
    juce::String selectedId, dragId, qDragId;
    juce::StringArray liveParams;
    bool dragging = false;
    bool showSpectrum = true, showContour = false, showPink = false;
    bool popupPinned = false;
    juce::Point<int> popupPos { 8, 8 };
    bool popupExpanded = false;
    juce::TextButton spectrumButton { "Spectrum" }, contourButton { "F-M" }, pinkButton { "Pink-N" };
    std::unique_ptr<Popup> popup;
    vyrEq::State state;

private:
    void timerCallback() override;
    // Starts or stops the timer and the spectrum reading as the graph shows or hides.
    void updateShowing();
    void reload();
    // True when the spectrum or the gain-reduction readings changed since the last look.
    bool liveReadingsMoved();
    juce::String paramId (const juce::String& stem, const char* suffix) const;
    void writeField (const juce::String& id, float plainValue, bool live);

    void paintSpectrum (juce::Graphics&, float w, float h);
    void paintCurves (juce::Graphics&, float w, float h, double sr);
    void paintReduction (juce::Graphics&, float w, double sr);
    void paintHandles (juce::Graphics&);
    void paintCaptions (juce::Graphics&, float w, float h);

    // Tells the graph when it or any parent is shown, hidden or moved to another window.
    struct ShowWatcher : juce::ComponentMovementWatcher
    {
        explicit ShowWatcher (EqGraph& g) : juce::ComponentMovementWatcher (&g), graph (g) {}
        void componentMovedOrResized (bool, bool) override {}
        void componentPeerChanged() override { graph.updateShowing(); }
        void componentVisibilityChanged() override { graph.updateShowing(); }
        EqGraph& graph;
    };

    std::unique_ptr<VyrAudioProcessor::SpectrumViewToken> spectrumReader;
    std::unique_ptr<ShowWatcher> showWatcher;
    std::array<float, VyrMeterEngine::spectrumBins> spectrumCopy {};
    VyrCachedLayer staticLayer;
    juce::RectangleList<int> columns;
    std::array<float, VyrMeterEngine::spectrumBins> spectrumSeen {};
    std::array<float, VyrDynamicEQ::kPositions> reductionSeen {};
    vyrEq::State statePainted;
    juce::int64 layoutKey = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EqGraph)
};
