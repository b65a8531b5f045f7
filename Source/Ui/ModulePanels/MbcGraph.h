#pragma once

#include "Ui/ModulePanels/MbcVisualizer.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/ModulePanels/PanelKit.h"

#include <functional>
#include <memory>

class VyrAudioProcessor;

// The multiband editor graph: tinted band regions, crossovers as lines with handles, each band's
// threshold line with its handle, the gain reduction hanging below it and the makeup bars along the
// bottom strip. Dragging a crossover (kept a factor 1.15 from its neighbours), a threshold or a
// makeup (0.1 dB steps) writes the multiband parameters of the edited band set, one gesture per
// parameter per drag; every press selects the band under the pointer. Reads the parameters and the
// engine's band reductions on each paint, from a 33 ms timer. Message thread only.
class MbcGraph : public juce::Component, private juce::Timer
{
public:
    enum HitKind
    {
        none = 0,
        crossover,
        threshold,
        makeup
    };

    explicit MbcGraph (VyrAudioProcessor&);
    ~MbcGraph() override;

    void mouseMove (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;

    // Finds the target under a point; hovering only marks it, a press selects the band and starts its drag.
    void hit (juce::Point<float> position, bool hoverOnly);
    // The makeup scale: 0 at 0.1 dB and below, 1 at 24 dB.
    static float makeupScale (float db) noexcept;
    void tick() { timerCallback(); }

    std::function<void (int)> onBandSelected;
    int selectedBand = 0;
    VyrAudioProcessor& processor;
    int dragKind = 0, hoverKind = 0, dragIndex = 0, hoverIndex = 0;

private:
    struct Target
    {
        int kind = none, index = 0;
    };
    Target findTarget (const vyrMbc::State&, float x, float y) const;
    int bandAt (const vyrMbc::State&, float x) const;
    juce::String bandParam (const vyrMbc::State&, int band, const char* name) const;
    void timerCallback() override;
    void paintBands (juce::Graphics&, const vyrMbc::State&);
    void paintReduction (juce::Graphics&, const vyrMbc::State&);
    void paintCrossovers (juce::Graphics&, const vyrMbc::State&);
    void paintThresholds (juce::Graphics&, const vyrMbc::State&);
    void paintMakeups (juce::Graphics&, const vyrMbc::State&);

    std::unique_ptr<vyrPanel::GestureSpan> drag;
    vyrPanel::ShownState shown;
    // Background, grid and band regions: they change only with the crossovers and the band count.
    VyrCachedLayer backdrop;
    juce::String backdropKey;
};
