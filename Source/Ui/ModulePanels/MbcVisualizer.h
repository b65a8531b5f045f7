#pragma once

#include "Model/MbcState.h"
#include "Ui/Foundation/VyrPainting.h"

#include <juce_gui_basics/juce_gui_basics.h>

class VyrAudioProcessor;

// Scales shared by the multiband analyser and editor graph: a logarithmic 30 Hz..18 kHz axis, a
// 0..-60 dB threshold axis, the band edges and colours, and the crossover captions.
namespace vyrMbc
{
inline constexpr juce::uint32 kBandCol[5] = { 0xff38bdf8, 0xffa78bfa, 0xff34d399, 0xfffbbf24, 0xfffb7185 };
inline constexpr float kGridFractions[8] = { 0.07985481f, 0.18821107f, 0.2965673f, 0.4398065f,
                                             0.5481627f,  0.65651894f, 0.79975814f, 0.9081143f };

juce::Colour bandColour (int band) noexcept;
float freqToX (float hz, float width) noexcept;
float xToFreq (float x, float width) noexcept;
float thresholdToY (float db, float height) noexcept;
int bandsShown (const State&) noexcept;
float bandLo (const State&, int band) noexcept;
float bandHi (const State&, int band) noexcept;
// The band whose region holds a frequency; the last band when none does.
int bandOfFreq (const State&, float hz) noexcept;
// "343", "2.8k", "8k".
juce::String crossoverCaption (float hz);
}

// The multiband analyser: 96 logarithmic bars of the chain's output spectrum from 30 Hz to 18 kHz,
// each tinted with the colour of its band, with decaying peak marks, the band regions and crossovers
// behind them and each band's gain reduction hanging from the top. Reads the output spectrum (opened
// as a spectrum view only while it shows), the multiband engine's band reductions and the parameters
// on each paint, from a 33 ms timer. Message thread only.
class MbcVisualizer : public juce::Component, private juce::Timer
{
public:
    explicit MbcVisualizer (VyrAudioProcessor&);
    ~MbcVisualizer() override;

    void paint (juce::Graphics&) override;
    void visibilityChanged() override;
    void parentHierarchyChanged() override;
    void tick() { timerCallback(); }

    // Normalised level (0..1, -100..-30 dB) of bar i of 96 in a spectrum of 4096 bins over 0..nyquist.
    static float barLevel (const float* spectrum, double nyquist, int bar) noexcept;

    VyrAudioProcessor& processor;
    float peakHold[96] {};

private:
    void timerCallback() override;
    void updateSpectrumView();
    bool spectrumOpen = false;
    VyrCachedLayer backdrop; // background, grid and band regions, drawn again when the bands move
    juce::String backdropKey;
};
