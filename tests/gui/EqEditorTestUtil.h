#pragma once

// A hosted EQ panel for the GUI tests: the shared look-and-feel, the panel at 900 by 500, a
// prepared processor and the measured response of the processor at a frequency.

#include "EqTestHelpers.h"
#include "GuiTestUtil.h"
#include "Ui/EqEditor/EqBandPopup.h"
#include "Ui/EqEditor/EqPanel.h"
#include "Ui/Foundation/VyrLookAndFeel.h"

namespace eqGui
{
struct Host : juce::Component
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    std::unique_ptr<VyrAudioProcessor> proc;
    std::unique_ptr<EqPanel> panel;

    explicit Host (bool dynamic, int product = -1, int theme = 0)
    {
        proc = vyrGui::makeProcessor (product >= 0 ? product : (dynamic ? vyrProducts::dynamicEq : vyrProducts::eq));
        vyrTest::prepare (*proc, 48000.0, 512);   // (the first preparation recalls the initial state)
        set ("theme", (float) theme);   // the audio thread follows the choice too
        proc->themeIndex = theme;
        lnf->themeId = theme;
        setLookAndFeel (&lnf.get());
        panel = std::make_unique<EqPanel> (*proc, dynamic);
        addAndMakeVisible (*panel);
        setSize (900, 500);
    }

    ~Host() override
    {
        panel.reset();
        setLookAndFeel (nullptr);
        proc->releaseResources();
    }

    void resized() override { panel->setBounds (getLocalBounds()); }

    EqGraph& graph() { return panel->graph; }
    // A point of the graph in host (and so desk) coordinates.
    juce::Point<float> inGraph (juce::Point<float> p) { return p + graph().getPosition().toFloat(); }
    juce::Point<float> handle (const juce::String& id) { return inGraph (graph().handleOf (id)); }
    juce::Point<float> centreOf (juce::Component& c) { return getLocalArea (&c, c.getLocalBounds()).toFloat().getCentre(); }
    juce::Point<float> inPopup (juce::Point<float> p) { return inGraph (p + graph().popup->getPosition().toFloat()); }

    void set (const juce::String& id, float plain)
    {
        auto* p = proc->apvts.getParameter (id);
        p->setValueNotifyingHost (p->convertTo0to1 (plain));
    }
    float get (const juce::String& id) { return vyrGui::paramValue (*proc, id); }

    // The processor's gain in dB at a frequency, from a steady sine run through it.
    double responseDb (double freq)
    {
        constexpr double sr = 48000.0;
        constexpr int block = 512, blocks = 48, measured = 16;
        juce::AudioBuffer<float> buffer (2, block);
        juce::MidiBuffer midi;
        std::vector<float> out;
        double phase = 0.0;
        for (int b = 0; b < blocks; ++b)
        {
            for (int i = 0; i < block; ++i)
            {
                const float v = 0.25f * (float) std::sin (phase);
                phase += 2.0 * juce::MathConstants<double>::pi * freq / sr;
                buffer.setSample (0, i, v);
                buffer.setSample (1, i, v);
            }
            proc->processBlock (buffer, midi);
            if (b >= blocks - measured)
                out.insert (out.end(), buffer.getReadPointer (0), buffer.getReadPointer (0) + block);
        }
        return eqTest::toneDb (out.data(), (int) out.size(), freq, sr) - 20.0 * std::log10 (0.25);
    }

    // Program-like audio (pink-ish noise with a swell) run through the processor, filling the spectrum.
    void playProgram (int blocks = 40)
    {
        juce::AudioBuffer<float> buffer (2, 512);
        juce::MidiBuffer midi;
        juce::Random rng (7);
        float b0 = 0, b1 = 0, b2 = 0;
        for (int b = 0; b < blocks; ++b)
        {
            for (int i = 0; i < 512; ++i)
            {
                const float w = rng.nextFloat() * 2.0f - 1.0f;
                b0 = 0.99765f * b0 + w * 0.099046f;
                b1 = 0.963f * b1 + w * 0.2965164f;
                b2 = 0.57f * b2 + w * 1.0526913f;
                const float v = 0.12f * (b0 + b1 + b2 + w * 0.1848f);
                buffer.setSample (0, i, v);
                buffer.setSample (1, i, 0.9f * v);
            }
            proc->processBlock (buffer, midi);
        }
    }
};
}
