#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class VyrAudioProcessor;

// The graph handles of the FX chain page: what is under the pointer or being dragged.
enum class VyrGraphHit
{
    none = 0,
    clipHandleA = 1,
    clipHandleB = 2,
    clipTone = 3,
    clipShelf = 4,
    clipLowPass = 5,
    reverbMix = 6,
    reverbPredelay = 7,
    reverbDecay = 8,
    reverbLowCut = 9,
    reverbDamping = 10,
    reverbShelf = 11,
    compThreshold = 12,
    compRatio = 13
};

// What the pictures of the FX chain page need of the page for one paint: the module on show, its
// rectangles and the page's view, animation and handle state. The pictures read the parameters and
// the meters themselves and keep no state of their own (the tube painter keeps its glow follower).
struct VyrPictureState
{
    juce::String key;                 // module key ("compressor", "saturation", "clip", ...)
    juce::Rectangle<int> moduleRect;  // R
    juce::Rectangle<float> graph;     // G, the display rectangle the page gives the module
    bool enabled = false;
    int clipView = 0;                 // 0 transfer, 1 filter, 2 macro
    int reverbView = 0;               // 0 main, 1 EQ
    bool vuBallistics = true;         // density LED rows: RMS (VU) or peak (PPM)
    float animTime = 0.0f;            // seconds
    double tubeTime = 0.0;            // seconds, the tube glow follower's clock
    float reelAngle = 0.0f, reelLevel = 0.0f;
    VyrGraphHit hoverHit = VyrGraphHit::none, dragHit = VyrGraphHit::none;
    float clipHandleX[2] { -0.5f, 0.5f };

    bool isHot (VyrGraphHit h) const noexcept { return h != VyrGraphHit::none && (h == hoverHit || h == dragHit); }
};

namespace vyrFxPictures
{
// Paints the picture of the module on show into state.graph. Areas narrower than 16 px or without
// height draw nothing.
void paint (juce::Graphics& g, VyrAudioProcessor& processor, const VyrPictureState& state);

// The framed plot panel behind the compressor, saturation and clip plots.
void paintPlotFrame (juce::Graphics& g, juce::Rectangle<float> r, const juce::String& caption, juce::Colour accent);

// The clipper's animated "MACRO" picture, and what one frame of it consists of (for tests).
struct ClipMacroFrame
{
    float harshness = 0, phase = 0, phaseSpeed = 0;
    float traceWidths[3] {};
    int sparks = 0, specks = 0;
    float speckWidth = 1.0f;
};
ClipMacroFrame clipMacroFrame (VyrAudioProcessor& processor, float animTime, bool enabled);
void paintClipMacroHud (juce::Graphics& g, juce::Rectangle<float> area, VyrAudioProcessor& processor, float animTime, bool enabled);

// The density engine's LED rows: how many of the twelve LEDs a level lights (fractional), and the
// colour of LED i for a lit count.
float densityLedCount (float levelDb, bool enabled) noexcept;
juce::Colour densityLedColour (int index, float litCount) noexcept;
void paintDensityEngine (juce::Graphics& g, juce::Rectangle<float> area, VyrAudioProcessor& processor, bool enabled,
                         bool vuBallistics, double timeSeconds);
} // namespace vyrFxPictures
