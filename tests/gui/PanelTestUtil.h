#pragma once

// Shared by the module panel tests: a prepared processor of one product with its panel hosted at the
// panel's own size, program audio (stereo pink noise with a slow swell and a narrower low end) run
// through the processor block by block, and measurements of the output.

#include "GuiTestUtil.h"
#include "TestSignals.h"
#include "Ui/Foundation/VyrPainting.h"

#include <functional>

namespace vyrPanelTest
{
constexpr double kRate = 48000.0;
constexpr int kBlock = 512;

// Stereo program material: pink noise, partly shared between the channels, swelling slowly.
struct Program
{
    juce::Random rng { 7 };
    vyrTestSignals::PinkFilter pink[3];
    int blocks = 0;

    void fill (juce::AudioBuffer<float>& b, float level = 0.25f)
    {
        const float swell = level * (0.7f + 0.3f * std::sin (0.05f * (float) blocks++));
        for (int i = 0; i < b.getNumSamples(); ++i)
        {
            const float common = pink[0].next (rng.nextFloat() * 2.0f - 1.0f);
            const float l = pink[1].next (rng.nextFloat() * 2.0f - 1.0f);
            const float r = pink[2].next (rng.nextFloat() * 2.0f - 1.0f);
            b.setSample (0, i, swell * (0.7f * common + 0.5f * l));
            b.setSample (1, i, swell * (0.7f * common + 0.5f * r));
        }
    }
};

// Runs `blocks` blocks of program audio through the processor, calling `between` after each.
inline void play (VyrAudioProcessor& p, Program& program, int blocks, const std::function<void (int)>& between = {},
                  float level = 0.25f)
{
    juce::AudioBuffer<float> block (2, kBlock);
    juce::MidiBuffer midi;
    for (int b = 0; b < blocks; ++b)
    {
        program.fill (block, level);
        p.processBlock (block, midi);
        if (between)
            between (b);
    }
}

// A panel as it shows on the page: the page background of the identity behind it.
inline juce::Image renderOnPage (juce::Component& panel, int theme)
{
    const auto snapshot = vyrGui::render (panel);
    return vyrGui::renderPaint (panel.getWidth(), panel.getHeight(), [&] (juce::Graphics& g) {
        {
            juce::Graphics::ScopedSaveState save (g);
            vyrFillPageBackground (g, panel.getLocalBounds(), theme);
        }
        g.setOpacity (1.0f);
        g.drawImageAt (snapshot, 0, 0);
    });
}

// Centre of a child component in its parent's coordinates, as a float point for the Desk.
inline juce::Point<float> centreOf (const juce::Rectangle<int>& r) { return r.getCentre().toFloat(); }
}
