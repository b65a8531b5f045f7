// Pictures of both EQ panels in every visual identity, with a band selected, its popup open and
// program audio feeding the spectrum (and, on the dynamic EQ, its gain reduction), for review by eye.
#include "EqEditorTestUtil.h"
#include "Ui/Foundation/VyrPainting.h"

using namespace vyrGui;
using eqGui::Host;

TEST (EqRenders, BothPanelsInEveryIdentity)
{
    for (bool dynamic : { false, true })
    {
        for (int theme = 0; theme < kNumThemes; ++theme)
        {
            SCOPED_TRACE (juce::String (dynamic ? "dynamic" : "parametric") + " identity " + juce::String (theme));
            Host h (dynamic, -1, theme);
            const juce::String P = dynamic ? "dynamicEq_" : "eq_";
            h.set (P + "bandCount", 2.0f);   // five bands
            h.set (P + "lowGain", 3.0f);
            h.set (P + "m0Gain", -2.5f);
            h.set (P + "m1Gain", 4.0f);
            h.set (P + "m1Q", 1.6f);
            h.set (P + "highGain", 2.0f);
            if (dynamic)
            {
                h.set (P + "m1Thresh", -45.0f);
                h.set (P + "m1Ratio", 4.0f);
                h.set (P + "lowThresh", -45.0f);
                h.set (P + "lowRatio", 3.0f);
                h.set (P + "m2Sat", 1.0f);
            }
            else
                h.set (P + "m2Shape", 1.0f);

            VyrAudioProcessor::SpectrumViewToken reader (*h.proc);
            h.playProgram();
            h.panel->selectedBand = 2;
            h.panel->rebuildKnobs();
            if (dynamic)
                h.graph().popup->expanded = theme % 2 == 1;
            h.graph().layoutPopup();

            const auto& popup = *h.graph().popup;
            ASSERT_TRUE (popup.isVisible());
            EXPECT_TRUE (h.graph().getLocalBounds().reduced (4).contains (popup.getBounds()));
            if (dynamic)
                EXPECT_GT (h.proc->liveChain.dynamicEq.grMeter[2].load(), 0.05f);
            // On the page background the panels sit on, as the chain page shows them.
            juce::Image picture (juce::Image::ARGB, 900, 500, true);
            {
                juce::Graphics g (picture);
                vyrFillPageBackground (g, picture.getBounds(), theme);
                g.drawImageAt (render (*h.panel), 0, 0);
            }
            savePng (picture, juce::String ("eq-") + (dynamic ? "dynamic" : "parametric") + "-identity-" + juce::String (theme));
        }
    }
}
