#pragma once

#include "Core/PluginProcessor.h"
#include "Ui/Controls/VyrRoundSlider.h"
#include "Ui/Controls/VyrSliderGestureGuard.h"
#include "Ui/Foundation/HardwareArt.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <limits>
#include <memory>

// The "MASTERING EFFECT" macro knob: one large photographic knob on the "masterTrim" parameter
// (-50..+50 %), a 101-tick scale lit from 12 o'clock to the pointer, a signed readout, a face whose
// outer ring turns at half the pointer's angle, two nudge buttons (-0.5 and +0.5) and a caption.
// It shows the amount section automation rides while riding, the raw parameter value during a live
// recipe crossfade, otherwise the knob's own value.
//
// Default size 292 x 368; the art is drawn on a 256-pixel column centred horizontally at fixed
// heights. Writes "masterTrim" only through its attachment: one complete gesture per click, nudge
// or reset, one spanning a drag. A 33 ms timer repaints a visible gauge when the amount it should
// show (ridden, crossfading or its own) or the identity differs from what it last painted, so the
// end of a ride shows too; value changes repaint at once. Message thread only; the processor's
// atomics (themeIndex, effectRiding, riddenEffect, the live analyser's xfadeActive) are read once
// per paint or tick.
class MasterEffectGauge : public juce::Component, private juce::Slider::Listener, private juce::Timer
{
public:
    // The large knob: only its inscribed circle takes the mouse; Option-click resets without a drag;
    // the wheel goes to the parent, so an enclosing view scrolls.
    // An Option-click or a press outside the circle is ignored up to its release.
    class DiscSlider : public VyrRoundSlider
    {
    public:
        void mouseDown (const juce::MouseEvent&) override;
        void mouseDrag (const juce::MouseEvent&) override;

        std::function<void()> onAltClick;
    };

    // The knob's centre cap: two mouse-downs at most 350 ms apart reset the amount.
    class CenterHit : public juce::Component, public juce::SettableTooltipClient
    {
    public:
        void mouseDown (const juce::MouseEvent&) override;
        void paint (juce::Graphics&) override {}

        std::function<void()> onDoubleClick;
        juce::int64 lastDownMs = 0; // time of the last unmatched mouse-down
    };

    explicit MasterEffectGauge (VyrAudioProcessor&);
    ~MasterEffectGauge() override;

    // One tick of the component's timer (tests and benchmarks call it directly).
    void tick() { timerCallback(); }

    void paint (juce::Graphics&) override;
    // Where the "MASTERING EFFECT" title's letters are, in the gauge's coordinates (texts painted
    // beside the gauge keep out of it).
    juce::Rectangle<int> titleBounds() const;
    void resized() override;

    // The amount shown now, in percent (ridden, crossfading or the knob's own).
    float displayedEffect() const;
    // The amount the last paint showed (NaN before the first paint).
    float paintedEffect() const noexcept { return lastPaintedEffect; }
    // Accent of the gauge for an identity (its own table: ids outside 1..5 give cyan).
    static juce::Colour gaugeAccent (int themeId) noexcept;
    // The readout text of an amount: "+12.5%", "0.0%", "-3.0%".
    static juce::String readoutText (float percent);
    // True when scale tick i (0..100) is lit for an amount in percent.
    static bool tickLit (int tick, float percent) noexcept;

    // The value a nudge by step (-0.5 or +0.5) gives: snapped to the 0.5 grid, clamped to -50..50.
    static double nudgedValue (double value, double step) noexcept;
    void nudge (double step);
    void resetToZero();

    DiscSlider disc;
    std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment> attachment;
    CenterHit centreHit;
    juce::TextButton nudgeDown, nudgeUp;
    juce::Image knobImage;

private:
    void sliderValueChanged (juce::Slider*) override { repaint(); }
    void timerCallback() override;
    void setDiscValue (double v);
    void paintKnobFace (juce::Graphics&, juce::Rectangle<float> discArea) const;
    void paintNudgeFace (juce::Graphics&, juce::Rectangle<float> r, juce::Colour accent) const;
    void paintScale (juce::Graphics&, float cx, float percent, juce::Colour accent) const;
    void paintKnob (juce::Graphics&, float cx, float percent) const;

    VyrAudioProcessor& processor;
    juce::SharedResourcePointer<HardwareArt> art;
    VyrSliderGestureGuard gestureGuard { disc }; // ends a drag's gesture if the gauge dies mid-drag
    float lastPaintedEffect = std::numeric_limits<float>::quiet_NaN();
    int lastPaintedTheme = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MasterEffectGauge)
};
