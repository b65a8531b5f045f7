#pragma once

#include "Ui/Controls/VyrRoundSlider.h"
#include "Ui/Controls/VyrSliderGestureGuard.h"
#include "Ui/Foundation/HardwareArt.h"
#include "Ui/Foundation/VyrPainting.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <limits>
#include <memory>

// The rotary control of every page: an invisible framework slider takes the mouse, the knob paints
// shadow, track ring and ticks, value arc, face, pointer, optional step labels, the value and the
// name itself. Bound to one parameter of the tree through a slider attachment (range, default,
// value text and change gestures come from the parameter), or unattached, when the owner sets the
// slider's range and value and listens to it.
//
// Owners configure a knob by writing its public members (flags, step labels, reset value, top inset)
// and the slider's settings; a changed flag shows at the next repaint. No timer: the slider's
// value-change callback repaints, and parameter changes from other threads arrive through the
// attachment's asynchronous update. Message thread only.
class HardwareKnob : public juce::Component
{
public:
    // The mouse-taking slider. Its drags never scroll an enclosing viewport and its wheel events go
    // to the parent, so a wheel over a knob scrolls the page instead of turning the knob.
    // An Option-click resets and is ignored up to its release.
    class RotarySlider : public VyrRoundSlider
    {
    public:
        RotarySlider() = default;
        ~RotarySlider() override;

        void mouseDown (const juce::MouseEvent&) override;
        void mouseDrag (const juce::MouseEvent&) override;

        // A drag past either end of the range goes on from the other end (stepped selectors).
        bool wrapDrag = false;
        // The value's proportion of the range when the mouse went down.
        double dragStartProportion = 0.0;
    };

    // An unattached knob over the slider's own range (0 to 10 until the owner sets one).
    HardwareKnob (juce::String label, juce::String unit, juce::Colour colour, int size);
    // A knob bound to a parameter. An ID the tree does not hold leaves the knob unattached.
    HardwareKnob (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID, juce::String label,
                  juce::String unit, juce::Colour colour, int size);
    ~HardwareKnob() override;

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;
    bool hitTest (int x, int y) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    // Sets the reset value (below) on the slider inside one complete change gesture.
    void applyResetValue();
    // The value the reset gestures set: resetValue when finite, else 0 when the range holds it,
    // else the range's start; clamped to the range.
    double resetTarget() const;
    // The readout under the dial for the slider's current value, by unit.
    juce::String valueText() const;

    // Geometry shared by painting and hit testing, in knob coordinates.
    float ringRadius() const noexcept;
    float faceRadius() const noexcept;
    int labelBand() const noexcept;
    int textTop() const noexcept;

    int topInset = 0;
    // Lowest y (knob coordinates) the caption may reach; the owner lowers it when the knob sits
    // close to an edge, and the caption then moves up under the dial instead of crossing it.
    int captionLimit = std::numeric_limits<int>::max();
    RotarySlider slider;
    std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment> attachment;
    juce::String label;
    juce::String unit;
    juce::Colour colour;
    int size;
    bool light = false;       // light background: cream face, dark ink
    bool bipolar = false;     // value arc starts at 12 o'clock
    bool showSeconds = false; // unit "s" reads in seconds instead of milliseconds
    bool skirted = false;     // ribbed skirt under a smaller face
    bool selector = false;    // stepped selector: spun-metal face, step ticks and labels, no arc
    juce::StringArray stepLabels;
    double resetValue = std::numeric_limits<double>::quiet_NaN();

private:
    void configureSlider();
    juce::Point<float> centre() const;
    void paintShadow (juce::Graphics&, juce::Point<float> c, float F) const;
    void paintRing (juce::Graphics&, juce::Point<float> c, float R, float A, float p) const;
    void paintFace (juce::Graphics&, juce::Point<float> c, float R, float F, float A) const;
    void paintSelector (juce::Graphics&, juce::Point<float> c, float R, float F, float A);
    void paintStepLabels (juce::Graphics&, juce::Point<float> c, float R) const;
    void paintTexts (juce::Graphics&) const;

    mutable VyrCachedShadow shadow; // blurred once, not on every turn of the knob
    VyrCachedShadow spunShadow;     // the selector's spun disc
    VyrSliderGestureGuard gestureGuard { slider }; // ends a drag's gesture if the knob dies mid-drag
    // Held from a selector's first paint on, so the decoded photographs outlive single paints.
    std::unique_ptr<juce::SharedResourcePointer<HardwareArt>> art;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HardwareKnob)
};
