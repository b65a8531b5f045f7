#pragma once

#include "Ui/MainView/PolarCommon.h"

#include <functional>

class VyrAudioProcessor;

// The round QUARN tone/energy control of the main view. One disc shows and edits six parameters:
// the tone point (quarn_toneAng, quarn_toneRad) in the inner disc, the energy angle (quarn_energy)
// on the ring around it, the boost amount and presence angle (quarn_boost, quarn_presence) as a
// handle outside the ring and the lane-EQ angle (quarn_eqAng) in the band between disc and ring.
// Every edit of the first five is spread over the module parameters by vyrQuarn::apply.
//
// Threads: mouse, timer (33 ms) and paint on the message thread. Parameter notifications may come
// from the audio thread (MIDI) or a host thread; those only flag a re-read that the timer takes.
// Only the user's own presses, drags and double-clicks write parameters or open gestures.
class QuarnWidget : public juce::Component, private juce::Timer, private juce::AudioProcessorValueTreeState::Listener
{
public:
    explicit QuarnWidget (VyrAudioProcessor&);
    ~QuarnWidget() override;

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

    // Re-reads the six parameters (angles wrapped, amounts clamped; missing ones read as defaults).
    void readParams();

    // What a point holds: 0 none, 1 tone point, 2 energy ring, 3 boost/presence, 4 lane EQ.
    int hit (juce::Point<float>) const;

    // Geometry of the current size.
    struct Geometry
    {
        float cx, cy, base, tone, energy, lane, outer, boost, handle;
    };
    Geometry geometry() const;

    // Lane-EQ gain (dB) and sector of an eqAng value: even sectors boost, odd ones cut.
    static float laneGain (float eqAng, int& sector);
    // Names of the tone and energy regions shown in the caption.
    static const char* toneName (float toneAng);
    static const char* energyName (float energy);
    // The tone point's colour for its angle and radius.
    static juce::Colour pointColour (float toneAng, float toneRad);

    std::function<void()> onChanged;
    VyrAudioProcessor& processor;

    float toneAng = 0.25f, toneRad = 0.0f, energy = 0.25f, boost = 0.0f, presence = 0.25f, eqAng = 0.0f;
    float phase = 0.0f;
    int grabbed = 0;
    bool gestureOpen = false;
    vyrPolar::SparkStore sparks;
    juce::Random random;

private:
    void writeGrab (juce::Point<float>);
    void beginQuarnGesture();
    void endQuarnGesture();
    void resetZone (int zone);
    void finishReset();
    void tickSparks();
    void spawnSparks (int n);
    void repaintMotes();

    void paintLaneLobe (juce::Graphics&, const Geometry&);
    void paintTicks (juce::Graphics&, const Geometry&);
    void paintLabels (juce::Graphics&, const Geometry&);
    void paintHandles (juce::Graphics&, const Geometry&, juce::Colour point, juce::Colour accent);
    void paintTitle (juce::Graphics&, const Geometry&);

    void timerCallback() override;
    void parameterChanged (const juce::String& parameterID, float newValue) override;

    vyrPolar::ParamSet params;
    vyrPolar::ChangeRelay relay;
    std::array<juce::Point<int>, 5> moteCells {};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QuarnWidget)
};
