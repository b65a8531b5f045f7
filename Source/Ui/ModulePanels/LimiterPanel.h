#pragma once

#include "Ui/Controls/HardwareKnob.h"
#include "Ui/Foundation/VyrInfoButton.h"
#include "Ui/ModulePanels/LimiterMeterBay.h"
#include "Ui/ModulePanels/PanelKit.h"

#include <memory>
#include <vector>

class VyrAudioProcessor;

namespace vyrLimStyle
{
// The settings a style pill writes: Transparent, Punchy, Modern, Warm, Classical.
struct Recipe
{
    float inputGain, ceiling, release, lookahead, stereoLink, mix, outputGain; // dB, dB, s, ms, %, %, dB
    int releaseMode;                                                           // 0 Manual, 1 Auto
};

inline constexpr Recipe kRecipe[5] = {
    { 0.0f, -1.0f, 0.12f, 1.0f, 100.0f, 100.0f, 0.0f, 1 },
    { 2.0f, -0.3f, 0.05f, 2.0f, 100.0f, 100.0f, 0.0f, 0 },
    { 3.0f, -0.5f, 0.08f, 3.0f, 100.0f, 100.0f, 0.0f, 1 },
    { 0.0f, -1.5f, 0.18f, 1.0f, 100.0f, 88.0f, 0.0f, 0 },
    { 0.0f, -2.0f, 0.25f, 0.5f, 100.0f, 100.0f, 0.0f, 0 },
};
}

// One clickable option of the limiter panel.
struct LimiterPill
{
    enum Group : int
    {
        style = 0,
        oversampling,
        switches,
        dither,
        noiseShape,
        releaseShape,
        scale
    };

    juce::Rectangle<int> bounds;
    juce::String label;
    int group = 0;
    int index = 0;
};

// The brickwall limiter's panel on the FX chain page: header with power and help, the meter bay on
// the left, seven knobs with the release-mode segments, the style pills with their crossfade switch
// and morph strip, the oversampling, switch, dither, noise-shape, release-shape and scale pills, and a
// one-line status of the settings. Edits the limiter_ parameters, each write one change gesture,
// only on the user's own clicks and drags; an 83 ms timer re-reads the state while the panel shows.
// Message thread only.
class LimiterPanel : public juce::Component, private juce::Timer
{
public:
    explicit LimiterPanel (VyrAudioProcessor&);
    ~LimiterPanel() override;

    void setActive (bool active);
    void rebuildKnobs();
    void syncHeader();
    void layoutPills();
    void applyStyle (int index);
    void applyStyleMorph (float position);

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    // The one-line summary of the settings the panel paints at its foot.
    juce::String statusText() const;
    void tick() { timerCallback(); }

    static constexpr juce::uint32 kAccent = 0xffa33d52;

    VyrAudioProcessor& processor;
    LimiterMeterBay meterBay;
    juce::TextButton powerButton, manualButton { "Man" }, autoButton { "Auto" };
    VyrInfoButton infoButton;
    std::vector<std::unique_ptr<HardwareKnob>> knobs;
    std::unique_ptr<vyrPanel::ButtonLook> buttonLook;
    std::vector<LimiterPill> pills;
    juce::Rectangle<int> statusRect, pillArea, morphStripRect, xfadeRect;
    bool draggingMorph = false;
    vyrPanel::ShownState shown; // what the timer last found
    VyrCachedLayer housing; // the housing behind the children, painted again only on a new size or identity

private:
    void timerCallback() override;
    int pad() const;
    float morphPositionAt (int x) const;
    void clickPill (const LimiterPill&);
    void setReleaseKnobEnabled (bool enabled);
    // A write of the morph: inside the strip drag's gestures while one runs, else a gesture of its own.
    void morphWrite (const juce::String& id, float plain, bool choice);

    std::unique_ptr<vyrPanel::GestureSpan> morphDrag; // one gesture per parameter for a whole strip drag

    void paintHeader (juce::Graphics&, int pad, const VyrTheme&);
    void paintRowCaptions (juce::Graphics&);
    void paintXfade (juce::Graphics&, bool on);
    void paintMorphStrip (juce::Graphics&, bool on);
    void paintPills (juce::Graphics&);
    void paintPill (juce::Graphics&, const LimiterPill&, bool lit, float alpha, bool dimmed);
};
