#pragma once

#include "Dsp/Compressor.h"
#include "Dsp/ReverbEngine.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

class VyrAudioProcessor;

// The curves, parameter readers and rectangles that the FX chain page's pictures, layout and graph
// editing share, so that a handle is drawn exactly where it can be grabbed and a curve shows what the
// engine does. Everything here is a pure function of its arguments (and of the parameter values at the
// moment of the call); nothing allocates or keeps state. Message thread.
namespace vyrFx
{
// The clipper's tone and filter settings.
struct ClipToneState
{
    int filterType = 0;             // 0 low-pass, 1 high-pass before the clipper
    float clipFilterFreq = 4400.0f; // Hz
    float tone = 170.0f;            // Hz, post-clip high-pass
    float highShelfFreq = 980.0f;   // Hz
    float highShelfGain = 0.0f;     // dB
    float lpFilterFreq = 6600.0f;   // Hz
};

// Saturation curve of a mode (0 Tube, 1 Tape, 2 Trans, 3 Opto, 4 Clean; any other shapes like Tube)
// at drive 0..1: the engine's own shaper, not limited.
float satTransfer (int mode, float drive, float x) noexcept;
// The fixed pseudo-random jitter (-1..1) that the saturation plot adds per point index for grit.
float satJitter (int index) noexcept;
// The clipper: DC-balanced tanh at drive (dB, below 0 acts as 0) and symmetry (%), within -1..1.
float clipOut (float driveDb, float symmetryPercent, float x) noexcept;
// Summed response in dB of the clipper's four filters, evaluated at 44.1 kHz.
float clipFilterDbAt (const ClipToneState& tone, float frequency) noexcept;
// The density engine's air band (airAmount 0..10) plus its calibration tilt (0 Dark, 1 Normal, 2 Bright), dB.
float airResponseDb (float frequency, float airAmount, int calibration) noexcept;
// The density engine's static curve for pentode and triode 0..1 and density -1..1.
float densityFullTransfer (float pentode, float triode, float density, float x) noexcept;
// Drive gain (1..316) and symmetry (-1..1) whose clipper curve passes through two points.
void solveDriveSym (float x1, float y1, float x2, float y2, float gain0, float symmetry0, float& gain,
                    float& symmetry) noexcept;
} // namespace vyrFx

//==============================================================================
// Parameter readers: raw values of the tree, with the fallbacks the displays use for a missing ID.
float graphParam (const juce::AudioProcessorValueTreeState& tree, const char* id, float fallback) noexcept;
vyrFx::ClipToneState clipToneFrom (const juce::AudioProcessorValueTreeState& tree);
// A compressor set up from the parameters; its detector state is the engine's initial one.
VyrCompressor compressorUi (const VyrAudioProcessor& processor);
VyrReverbEngine::Params reverbUi (const VyrAudioProcessor& processor);
// Spacing of the delay's echoes in seconds (synced or free), 0.01..1.5.
float delayVisualTimeSec (const juce::AudioProcessorValueTreeState& tree);

//==============================================================================
// Rectangles, from the module rectangle R of the page.
juce::Rectangle<float> fxGraphRect (juce::Rectangle<int> moduleRect, int top);
juce::Rectangle<float> satPlotRect (juce::Rectangle<int> moduleRect);

struct ClipPlot
{
    juce::Rectangle<float> frame, plot;
};
ClipPlot makeClipPlot (juce::Rectangle<int> moduleRect);

// The compressor plot: levels -60..0 dB along both axes.
struct CompPlot
{
    float x = 0, y = 0, w = 0, h = 0;
    float xOf (float db) const noexcept { return x + (db + 60.0f) / 60.0f * w; }
    float yOf (float db) const noexcept { return y + h - (db + 60.0f) / 60.0f * h; }
    float levelAtX (float px) const noexcept { return juce::jlimit (-60.0f, 0.0f, -60.0f + 60.0f * (px - x) / juce::jmax (w, 1.0f)); }
    float levelAtY (float py) const noexcept { return juce::jlimit (-60.0f, 0.0f, -60.0f + 60.0f * (y + h - py) / juce::jmax (h, 1.0f)); }
};
CompPlot compPlotIn (juce::Rectangle<int> moduleRect);
// Input of the ratio handle: 12 dB above the threshold, kept within -6..0 dB.
inline float compRatioHandleInput (float threshold) noexcept { return juce::jlimit (-6.0f, 0.0f, threshold + 12.0f); }

// The clip plot's axes: transfer (-1..1 in, output scaled by 0.42 of the height) and filter response
// (20 Hz..20 kHz logarithmic, -30..30 dB).
inline float clipInX (juce::Rectangle<float> P, float x) noexcept { return P.getX() + (x + 1.0f) * 0.5f * P.getWidth(); }
inline float clipOutY (juce::Rectangle<float> P, float y) noexcept { return P.getCentreY() - y * 0.42f * P.getHeight(); }
inline float clipFreqX (juce::Rectangle<float> P, float f) noexcept
{
    return P.getX() + std::log10 (juce::jlimit (1.0f, 1000.0f, f / 20.0f)) / 3.0f * P.getWidth();
}
inline float clipDbY (juce::Rectangle<float> P, float db) noexcept
{
    return P.getCentreY() - juce::jlimit (-30.0f, 30.0f, db) * 0.42f * P.getHeight() / 30.0f;
}

// The reverb unit's display rectangle and, in its "Main" view, the field and its three handles.
juce::Rectangle<int> reverbScreenRect (juce::Rectangle<int> moduleRect);
struct ReverbField
{
    float fx = 0, fy = 0, fw = 0, fh = 0, fb = 0, px = 0;
    juce::Point<float> mix, predelay, decay;
};
ReverbField reverbFieldIn (juce::Rectangle<int> screen, const VyrReverbEngine::Params& u);

// The analogue density unit.
struct DensLayout
{
    juce::Rectangle<float> tubeColumn, engineView, controlColumn, bottomStrip, transferPlot, meterScale, meterBarL, meterBarR;
    juce::Rectangle<int> vuButton, ppmButton, inputKnob, densityKnob, mixKnob, calibrationRow, inOutButton, altTubeButton,
        satFreqRow, saturationKnob, pentodeKnob, triodeKnob, airButton, airAmountKnob, outputKnob;
    juce::Rectangle<float> airPlot;
};
DensLayout makeDensLayout (juce::Rectangle<float> area);
