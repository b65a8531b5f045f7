#pragma once

#include "Ui/Foundation/VyrPainting.h"
#include "Ui/MainView/PolarCommon.h"

#include <functional>

class VyrAudioProcessor;

// The round SPACE delay/reverb control of the main view, sibling of the QUARN control. The inner
// disc sets the delay character and amount (quarn_spaceAng, quarn_spaceRad), the outer ring the
// reverb character and amount (quarn_reverbAng, quarn_reverbRad); every edit is spread over the
// delay and reverb modules by vyrQuarn::apply. The wheel steps the amount under the pointer.
//
// Threads: mouse, wheel, timer (41 ms) and paint on the message thread; parameter notifications
// from other threads only flag a re-read that the timer takes. Only the user's own input writes
// parameters or opens gestures, and a wheel step during a drag leaves the drag's gesture open.
class SpaceWidget : public juce::Component, private juce::Timer, private juce::AudioProcessorValueTreeState::Listener
{
public:
    explicit SpaceWidget (VyrAudioProcessor&);
    ~SpaceWidget() override;

    // One tick of the component's timer (tests and benchmarks call it directly).
    void tick() { timerCallback(); }

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;
    bool hitTest (int x, int y) override;
    void paint (juce::Graphics&) override;
    void resized() override {}

    // Re-reads the four parameters (angles wrapped, amounts clamped; missing ones read as 0).
    void readParams();

    // What a press at a point holds: 0 none, 1 delay disc, 2 reverb ring.
    int zoneAt (juce::Point<float>) const;

    struct Geometry
    {
        float cx, cy, base, disc, ringInner, ring, reverb;
    };
    Geometry geometry() const;

    std::function<void()> onChanged;
    VyrAudioProcessor& processor;

    float spaceAng = 0.0f, spaceRad = 0.0f, reverbAng = 0.0f, reverbRad = 0.0f;
    int grabbed = 0;
    bool gestureOpen = false;
    vyrPolar::SparkStore sparks;
    juce::Random random;

private:
    void writeGrab (juce::Point<float>);
    void beginSpaceGesture();
    void endSpaceGesture();
    void resetAt (juce::Point<float>);
    void tickSparks();
    void spawnSparks (int n);

    // The disc rim and the ticks; the quadrant labels, reverb sectors and their names. Neither depends
    // on the parameters, so both are kept in cached layers.
    void paintTicks (juce::Graphics&, const Geometry&);
    void paintLabels (juce::Graphics&, const Geometry&);
    void paintRings (juce::Graphics&, const Geometry&, juce::Colour reverbColour, juce::Colour accent);
    void paintTitle (juce::Graphics&, const Geometry&);

    void timerCallback() override;
    void parameterChanged (const juce::String& parameterID, float newValue) override;

    vyrPolar::ParamSet params;
    vyrPolar::ChangeRelay relay;
    VyrCachedLayer tickLayer, labelLayer;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SpaceWidget)
};
