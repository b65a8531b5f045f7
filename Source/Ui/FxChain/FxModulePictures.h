#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>

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

// The meter readings a picture shows (linear levels, gain reduction in dB), taken once per page
// tick so that every paint until the next tick shows the same frame.
struct VyrPictureLevels
{
    float inPeak[2] {}, outPeak[2] {}, inRms[2] {};
    float compressorGr = 0.0f;

    static VyrPictureLevels read (VyrAudioProcessor&) noexcept;
};

// What the pictures of the FX chain page need of the page for one paint: the module on show, its
// rectangles and the page's view, animation and handle state. The pictures read the parameters
// themselves, and the meters too unless the page hands them a reading (`levels`); they keep no state
// of their own (the tube painter keeps its glow follower).
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
    std::optional<VyrPictureLevels> levels;

    VyrPictureLevels levelsOr (VyrAudioProcessor& processor) const { return levels.has_value() ? *levels : VyrPictureLevels::read (processor); }
    bool isHot (VyrGraphHit h) const noexcept { return h != VyrGraphHit::none && (h == hoverHit || h == dragHit); }
};

namespace vyrFxPictures
{
// Paints the picture of the module on show into state.graph. Areas narrower than 16 px or without
// height draw nothing.
void paint (juce::Graphics& g, VyrAudioProcessor& processor, const VyrPictureState& state);

// The rectangle the picture may paint in (its display rectangle, or the plot or machine rectangle
// it draws instead), grown by the reach of its outlines.
juce::Rectangle<int> bounds (const VyrPictureState& state);

// The areas in which two frames of the same picture differ, when only the clock, the tape reels and
// the meter readings moved between them (parameters, view, handles and rectangles equal): the
// live dot, meters and fill of the compressor, the delay's sweep, the reverb's tail, the reels and
// tape, the lit tubes and LED rows, the clip macro. Empty when nothing shown moved.
juce::RectangleList<int> movedAreas (VyrAudioProcessor& processor, const VyrPictureState& before, const VyrPictureState& after);

// The compressor picture's columns and plot inside its display rectangle G.
struct CompressorGeom
{
    juce::Rectangle<float> inCol, frame, plot, outCol, grCol;
};
CompressorGeom compressorGeom (juce::Rectangle<float> G) noexcept;
// The track of a meter column (the level bar and the gain-reduction bar run inside it).
juce::Rectangle<float> meterTrack (juce::Rectangle<float> column) noexcept;

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
// Its two layers: the glow, rings, axes and diagonal, which move only with the drive and the power,
// and the trace, loop, sparks, dust and filter ring over them, which move with the clock.
void paintClipMacroBackdrop (juce::Graphics& g, juce::Rectangle<float> area, float drive, bool enabled);
void paintClipMacroMoving (juce::Graphics& g, juce::Rectangle<float> area, VyrAudioProcessor& processor, float animTime, bool enabled);

// The density engine's LED rows: how many of the twelve LEDs a level lights (fractional), and the
// colour of LED i for a lit count.
float densityLedCount (float levelDb, bool enabled) noexcept;
juce::Colour densityLedColour (int index, float litCount) noexcept;
void paintDensityEngine (juce::Graphics& g, juce::Rectangle<float> area, VyrAudioProcessor& processor, bool enabled,
                         bool vuBallistics, double timeSeconds);
// The same with the meter reading given (the page's frame) instead of read from the processor.
void paintDensityEngine (juce::Graphics& g, juce::Rectangle<float> area, VyrAudioProcessor& processor, bool enabled,
                         bool vuBallistics, double timeSeconds, const VyrPictureLevels& levels);
} // namespace vyrFxPictures
