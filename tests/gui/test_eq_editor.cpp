// The EQ panel, its curve graph and band popup, hosted at 900 by 500 and driven by real mouse
// events: layout, band selection, handle and Q-bar drags measured in the processor's output,
// header chips, mid/side editing, popups, gestures and what hiding or destroying does.
#include "EqEditorTestUtil.h"

#include <thread>

using namespace vyrGui;
using eqGui::Host;

namespace
{
// Drags with the real mouse from a to b in a few steps.
void dragAlong (Desk& desk, juce::Point<float> a, juce::Point<float> b, int steps = 6)
{
    desk.move (a);
    desk.press (a);
    for (int i = 1; i <= steps; ++i)
        desk.drag (a + (b - a) * ((float) i / (float) steps));
    desk.release (b);
}

juce::StringArray knobCaptions (EqPanel& p)
{
    juce::StringArray s;
    for (auto* k : p.knobs)
        s.add (k->label);
    return s;
}
}

TEST (EqPanel, HeaderGraphAndKnobLayoutAt900By500)
{
    struct Case
    {
        bool dynamic;
        int theme;
        int dx, R, graphH;
    };
    for (const auto& c : { Case { false, 0, 0, 884, 326 }, Case { true, 0, 0, 884, 322 }, Case { false, 5, 12, 880, 326 },
                           Case { true, 2, 6, 884, 322 } })
    {
        SCOPED_TRACE (juce::String (c.dynamic ? "dynamic" : "parametric") + " identity " + juce::String (c.theme));
        Host h (c.dynamic, -1, c.theme);
        auto& p = *h.panel;
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ (p.countButtons[k].getBounds(), juce::Rectangle<int> (178 + c.dx + 24 * k, 12, 22, 18));
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ (p.rangeButtons[k].getBounds(), juce::Rectangle<int> (306 + c.dx + 68 * k, 12, 64, 18));
        EXPECT_EQ (p.powerButton.getBounds(), juce::Rectangle<int> (c.R - 86, 8, 86, 26));
        EXPECT_EQ (p.resetButton.getBounds(), juce::Rectangle<int> (c.R - 116, 10, 22, 22));
        EXPECT_EQ (p.infoButton.getBounds(), juce::Rectangle<int> (c.R - 142, 12, 18, 18));
        EXPECT_EQ (p.msButton.getBounds(), juce::Rectangle<int> (c.R - 194, 10, 44, 22));
        EXPECT_FALSE (p.midButton.isVisible());
        EXPECT_EQ (p.graph.getBounds(), juce::Rectangle<int> (10, 46, 880, c.graphH));
        EXPECT_EQ (p.powerButton.getButtonText(), "ON");
        EXPECT_EQ (p.countButtons[c.dynamic ? 1 : 0].getToggleState(), true);   // layout defaults: 3 and 4 bands
        EXPECT_TRUE (p.rangeButtons[2].getToggleState());

        // Mid/side moves the header and lowers the graph.
        h.set (c.dynamic ? "dynamicEq_msMode" : "eq_msMode", 1.0f);
        p.rebuildKnobs();
        EXPECT_EQ (p.sideButton.getBounds(), juce::Rectangle<int> (c.R - 190, 10, 40, 22));
        EXPECT_EQ (p.midButton.getBounds(), juce::Rectangle<int> (c.R - 234, 10, 36, 22));
        EXPECT_EQ (p.msButton.getBounds(), juce::Rectangle<int> (c.R - 286, 10, 44, 22));
        EXPECT_EQ (p.graph.getY(), 62);
    }

    // Knob rows of a mid band: four cells over 876 px (parametric), seven beside the drive box (dynamic).
    {
        Host h (false);
        h.panel->selectedBand = 1;
        h.panel->rebuildKnobs();
        EXPECT_EQ (knobCaptions (*h.panel), juce::StringArray ({ "FREQ", "GAIN", "Q", "Mix" }));
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ (h.panel->knobs[j]->getBounds(), juce::Rectangle<int> (12 + 219 * j + 1, 405, 217, 86));
    }
    {
        Host h (true);
        h.panel->selectedBand = 1;
        h.panel->rebuildKnobs();
        EXPECT_EQ (knobCaptions (*h.panel), juce::StringArray ({ "FREQ", "GAIN", "Q", "THRESH", "RATIO", "ATK", "REL", "DRIVE" }));
        for (int j = 0; j < 7; ++j)
            EXPECT_EQ (h.panel->knobs[j]->getBounds(), juce::Rectangle<int> (12 + 108 * j + 1, 405, 106, 86));
        EXPECT_EQ (h.panel->knobs[7]->getBounds(), juce::Rectangle<int> (802, 408, 68, 72));
        EXPECT_EQ (h.panel->satButton.getBounds(), juce::Rectangle<int> (806, 384, 60, 18));
        EXPECT_FALSE (h.panel->shelfButton.isVisible());
    }
}

TEST (EqPanel, ShelfCutAndSlopeChipsOfTheLowBand)
{
    Host h (false);
    Desk desk (h);
    auto& p = *h.panel;
    EXPECT_EQ (p.selectedBand, 0);
    ASSERT_TRUE (p.shelfButton.isVisible());
    EXPECT_EQ (p.shelfButton.getBounds(), juce::Rectangle<int> (12, 408, 44, 18));
    EXPECT_EQ (p.knobs[0]->getX(), 92 + 1);   // shelf: cells start at 92
    EXPECT_TRUE (knobCaptions (p).contains ("GAIN"));

    desk.click (h.centreOf (p.cutButton));
    EXPECT_EQ (h.get ("eq_lowCut"), 1.0f);
    EXPECT_FALSE (knobCaptions (p).contains ("GAIN"));
    EXPECT_TRUE (p.slopeButtons[0].isVisible());
    EXPECT_EQ (p.slopeButtons[3].getBounds(), juce::Rectangle<int> (191, 408, 28, 18));
    EXPECT_EQ (p.knobs[0]->getX(), 242 + 1);  // slopes shown: cells start at 242

    GestureCounter g (*h.proc);
    desk.click (h.centreOf (p.slopeButtons[2]));
    EXPECT_EQ (h.get ("eq_lowSlope"), 2.0f);   // "36"
    EXPECT_EQ (g.begins ("eq_lowSlope"), 1);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ (p.slopeButtons[k].getToggleState(), k == 2) << k;

    desk.click (h.centreOf (p.shelfButton));
    EXPECT_EQ (h.get ("eq_lowCut"), 0.0f);
    EXPECT_FALSE (p.slopeButtons[0].isVisible());
    EXPECT_EQ (p.knobs[0]->getX(), 93);
    desk.click (h.centreOf (p.shelfButton));   // already a shelf: nothing written
    EXPECT_EQ (g.begins ("eq_lowCut"), 1);
}

// Count chip "3" from eight bands: three band chips, and a selection past the last mid moves to High.
TEST (EqPanel, CountChipShrinksTheBandsAndMovesTheSelection)
{
    Host h (false);
    h.set ("eq_bandCount", 4.0f);   // eight bands
    h.panel->rebuildKnobs();
    Desk desk (h);
    (void) render (h);               // paint lays out the band chips
    auto& p = *h.panel;
    ASSERT_EQ (p.bandChipCount, 8);
    desk.click (p.bandChipBounds[5].toFloat().getCentre());
    EXPECT_EQ (p.selectedBand, 5);
    EXPECT_EQ (p.selId(), "mid4");
    EXPECT_EQ (p.graph.selectedId, "mid4");

    GestureCounter g (*h.proc);
    desk.click (h.centreOf (p.countButtons[0]));
    EXPECT_EQ (h.get ("eq_bandCount"), 0.0f);
    EXPECT_EQ (g.begins ("eq_bandCount"), 1);
    EXPECT_EQ (g.totalBegins(), 1);
    EXPECT_EQ (p.selectedBand, 2);
    EXPECT_EQ (p.selId(), "high");
    EXPECT_TRUE (p.countButtons[0].getToggleState());
    EXPECT_FALSE (p.countButtons[4].getToggleState());
    (void) render (h);
    EXPECT_EQ (p.bandChipCount, 3);

    desk.click (h.centreOf (p.countButtons[0]));   // already three bands: nothing written
    EXPECT_EQ (g.totalBegins(), 1);
}

TEST (EqPanel, SurgicalRangeClampsBothChannels)
{
    Host h (false);
    h.set ("eq_m3Gain", 9.0f);
    h.set ("eq_s_highGain", -10.0f);
    h.set ("eq_lowGain", 4.0f);
    Desk desk (h);
    GestureCounter g (*h.proc);
    desk.click (h.centreOf (h.panel->rangeButtons[0]));
    EXPECT_EQ (h.get ("eq_gainRange"), 0.0f);
    EXPECT_NEAR (h.get ("eq_m3Gain"), 6.0f, 1.0e-4f);
    EXPECT_NEAR (h.get ("eq_s_highGain"), -6.0f, 1.0e-4f);
    EXPECT_NEAR (h.get ("eq_lowGain"), 4.0f, 1.0e-4f);
    EXPECT_EQ (g.totalBegins(), 3);
    EXPECT_TRUE (h.panel->rangeButtons[0].getToggleState());
    EXPECT_FLOAT_EQ (h.graph().rangeDb(), 6.0f);
}

TEST (EqPanel, MidSideEditingBindsTheSideParameters)
{
    Host h (false);
    h.set ("eq_msChannel", 1.0f);   // a stored Side edit channel
    Desk desk (h);
    auto& p = *h.panel;
    desk.click (h.centreOf (p.msButton));
    EXPECT_EQ (h.get ("eq_msMode"), 1.0f);
    EXPECT_EQ (h.get ("eq_msChannel"), 0.0f);   // switching on edits Mid first
    EXPECT_TRUE (p.sideButton.isVisible());
    EXPECT_TRUE (knobCaptions (p).contains ("Mix"));

    desk.click (h.centreOf (p.sideButton));
    EXPECT_EQ (h.get ("eq_msChannel"), 1.0f);
    EXPECT_TRUE (p.graph.editsSide());
    EXPECT_FALSE (knobCaptions (p).contains ("Mix"));   // the mix has no side twin
    h.set ("eq_s_lowFreq", 123.0f);
    h.set ("eq_lowFreq", 456.0f);
    pump (30);
    EXPECT_NEAR (p.knobs[0]->slider.getValue(), 123.0, 0.5);

    desk.click (h.centreOf (p.msButton));               // off: the stored channel stays, the main one is edited
    EXPECT_EQ (h.get ("eq_msMode"), 0.0f);
    EXPECT_EQ (h.get ("eq_msChannel"), 1.0f);
    EXPECT_NEAR (p.knobs[0]->slider.getValue(), 456.0, 0.5);
}

TEST (EqPanel, ResetPutsTheEditedChannelBack)
{
    Host h (false);
    h.set ("eq_bandCount", 1.0f);   // four bands
    h.set ("eq_m1Gain", 5.0f);
    h.set ("eq_lowCut", 1.0f);
    h.panel->rebuildKnobs();
    Desk desk (h);
    desk.click (h.centreOf (h.panel->resetButton));
    EXPECT_EQ (h.get ("eq_m1Gain"), 0.0f);
    EXPECT_EQ (h.get ("eq_lowCut"), 0.0f);
    EXPECT_NEAR (h.get ("eq_m1Freq"), 4500.0f, 1.0f);
    EXPECT_NEAR (h.get ("eq_m2Freq"), 20000.0f, 1.0f);
    EXPECT_EQ (h.get ("eq_bandCount"), 1.0f);
}

//==============================================================================
// Drag the first mid band's handle to 1 kHz and +6 dB: the parameters and the sound follow.
TEST (EqGraphMouse, HandleDragAndQBarShapeWhatIsHeard)
{
    Host h (false);
    Desk desk (h);
    auto& gr = h.graph();
    EXPECT_NEAR (h.responseDb (1000.0), 0.0, 0.1);

    GestureCounter g (*h.proc);
    const juce::Point<float> target (gr.xOf (1000.0f), gr.yOf (6.0f));
    const auto from = h.handle ("mid0");
    desk.move (from);
    desk.press (from);
    for (int i = 1; i <= 8; ++i)
    {
        desk.drag (from + (h.inGraph (target) - from) * ((float) i / 8.0f));
        if (i == 4)
            desk.wheel (h.inGraph (target), 0.5f);   // a wheel turn mid-drag opens nothing new
    }
    desk.drag (h.inGraph (target));
    desk.release (h.inGraph (target));

    EXPECT_NEAR (h.get ("eq_m0Freq"), 1000.0f, 10.0f);
    EXPECT_NEAR (h.get ("eq_m0Gain"), 6.0f, 0.1f);
    EXPECT_EQ (g.begins ("eq_m0Freq"), 1);
    EXPECT_EQ (g.ends ("eq_m0Freq"), 1);
    EXPECT_EQ (g.begins ("eq_m0Gain"), 1);
    EXPECT_EQ (g.ends ("eq_m0Gain"), 1);
    EXPECT_EQ (g.totalBegins(), 2);
    EXPECT_EQ (gr.selectedId, "mid0");
    EXPECT_EQ (h.panel->selectedBand, 1);
    EXPECT_NEAR (h.responseDb (1000.0), 6.0, 0.5);

    // The Q bar's right end dragged in to 20 px from the handle: Q 5, a narrower bell.
    const double wideAt1k6 = h.responseDb (1600.0);
    const auto handle = h.handle ("mid0");
    const float E = juce::jlimit (12.0f, 60.0f, 60.0f - 8.0f * h.get ("eq_m0Q"));
    dragAlong (desk, handle + juce::Point<float> (E, 0.0f), handle + juce::Point<float> (20.0f, 0.0f));
    EXPECT_NEAR (h.get ("eq_m0Q"), 5.0f, 0.05f);
    EXPECT_EQ (g.begins ("eq_m0Q"), 1);
    EXPECT_EQ (gr.selectedId, "mid0");
    EXPECT_LT (h.responseDb (1600.0), wideAt1k6 - 2.0);
    EXPECT_NEAR (h.responseDb (1000.0), 6.0, 0.5);
}

TEST (EqGraphMouse, QBarMapsDistanceToQ)
{
    Host h (false);
    Desk desk (h);
    auto& gr = h.graph();
    gr.setSelectedId ("mid0");
    struct Case
    {
        float distance, q;
    };
    float end = juce::jlimit (12.0f, 60.0f, 60.0f - 8.0f * h.get ("eq_m0Q"));
    for (const auto& c : { Case { 10.0f, 6.0f }, Case { 36.0f, 3.0f }, Case { 70.0f, 0.1f }, Case { 44.0f, 2.0f } })
    {
        const auto handle = h.handle ("mid0");
        dragAlong (desk, handle - juce::Point<float> (end, 0.0f), handle - juce::Point<float> (c.distance, 0.0f), 3);
        EXPECT_NEAR (h.get ("eq_m0Q"), c.q, 0.02f) << c.distance;
        end = juce::jlimit (12.0f, 60.0f, 60.0f - 8.0f * c.q);
    }
}

TEST (EqGraphMouse, SelectionRadiusAndTies)
{
    Host h (false);
    h.set ("eq_bandCount", 4.0f);
    h.set ("eq_m0Freq", 200.0f);   // mid0 shares the low band's place: the earlier band wins
    h.set ("eq_m3Freq", 900.0f);   // 16 px right of mid2
    h.panel->rebuildKnobs();
    Desk desk (h);
    auto& gr = h.graph();
    desk.click (h.handle ("low"));
    EXPECT_EQ (gr.selectedId, "low");

    const auto m2 = h.handle ("mid2");
    desk.click (m2 + juce::Point<float> (0.0f, 17.5f));
    EXPECT_EQ (gr.selectedId, "mid2");
    desk.click (m2 + juce::Point<float> (0.0f, 18.5f));
    EXPECT_EQ (gr.selectedId, "");
    EXPECT_FALSE (gr.popup->isVisible());

    // Between two handles the nearer one wins.
    const auto m3 = h.handle ("mid3");
    desk.click (m2 + (m3 - m2) * 0.4f);
    EXPECT_EQ (gr.selectedId, "mid2");
    desk.click (m2 + (m3 - m2) * 0.6f);
    EXPECT_EQ (gr.selectedId, "mid3");
    EXPECT_EQ (h.panel->selId(), "mid3");
}

TEST (EqGraphMouse, ShelfAndCutHandles)
{
    Host h (false);
    Desk desk (h);
    auto& gr = h.graph();
    // The shelf's handle sits at half its gain: 3 dB up on the curve is 6 dB of shelf.
    const auto low = h.handle ("low");
    const float cur = gr.curveDb (h.proc->getSampleRate(), h.get ("eq_lowFreq"));
    dragAlong (desk, low, h.inGraph ({ low.x - 10.0f, gr.yOf (cur + 3.0f) }));
    EXPECT_NEAR (h.get ("eq_lowGain"), 6.0f, 0.3f);

    h.set ("eq_highCut", 1.0f);
    h.panel->rebuildKnobs();
    GestureCounter g (*h.proc);
    const auto high = h.handle ("high");
    dragAlong (desk, high, high + juce::Point<float> (-40.0f, -80.0f));
    EXPECT_LT (h.get ("eq_highFreq"), 4000.0f);
    EXPECT_EQ (g.begins ("eq_highFreq"), 1);
    EXPECT_EQ (g.totalBegins(), 1);   // a cut band moves only in frequency
}

//==============================================================================
TEST (EqPopup, SizesPlacementAndPinning)
{
    Host h (true);
    Desk desk (h);
    auto& gr = h.graph();
    auto& pop = *gr.popup;
    gr.setSelectedId ("mid0");
    ASSERT_TRUE (pop.isVisible());
    EXPECT_EQ (pop.getWidth(), 318);
    EXPECT_EQ (pop.getHeight(), 80);
    (void) render (h);
    desk.click (h.inPopup (pop.expandRect.getCentre()));
    EXPECT_EQ (pop.getWidth(), 486);
    EXPECT_TRUE (gr.popupExpanded);
    (void) render (h);
    desk.click (h.inPopup (pop.expandRect.getCentre()));
    EXPECT_EQ (pop.getWidth(), 318);

    // Moved by hand past the left edge: held 4 px inside and pinned until the selection changes.
    const auto grab = h.inPopup ({ pop.getWidth() - 30.0f, 70.0f });
    dragAlong (desk, grab, grab - juce::Point<float> (2000.0f, 0.0f));
    EXPECT_EQ (pop.getX(), 4);
    EXPECT_TRUE (gr.popupPinned);
    tick (timerOf (gr));
    EXPECT_EQ (pop.getX(), 4);
    gr.setSelectedId ("high");
    EXPECT_FALSE (gr.popupPinned);
    EXPECT_GT (pop.getX(), 4);

    // Parametric popups are 178 wide.
    Host p (false);
    p.graph().setSelectedId ("low");
    EXPECT_EQ (p.graph().popup->getWidth(), 178);
}

// A narrow graph keeps even the expanded dynamic popup inside, 4 px from each edge.
TEST (EqPopup, StaysInsideANarrowGraph)
{
    Host h (true);
    EqGraph gr (*h.proc, true);
    gr.setBounds (0, 0, 300, 200);
    for (const auto* id : { "low", "mid0", "mid1", "high" })
    {
        for (bool expanded : { false, true })
        {
            gr.setSelectedId (id);
            gr.popup->expanded = expanded;
            gr.layoutPopup();
            const auto b = gr.popup->getBounds();
            EXPECT_GE (b.getX(), 4) << id;
            EXPECT_LE (b.getRight(), 296) << id << expanded;
            EXPECT_GE (b.getY(), 4) << id;
            EXPECT_LE (b.getBottom(), 196) << id;
        }
    }
}

TEST (EqPopup, DynamicFieldsDragWithOneGestureEach)
{
    Host h (true);
    Desk desk (h);
    auto& gr = h.graph();
    auto& pop = *gr.popup;
    gr.setSelectedId ("mid0");
    (void) render (h);
    GestureCounter g (*h.proc);

    const auto thresh = h.inPopup (pop.threshRect.getCentre());
    dragAlong (desk, thresh, thresh - juce::Point<float> (0.0f, 300.0f));
    EXPECT_NEAR (h.get ("dynamicEq_m0Thresh"), 0.0f, 0.01f);
    dragAlong (desk, thresh, thresh + juce::Point<float> (0.0f, 300.0f));
    EXPECT_NEAR (h.get ("dynamicEq_m0Thresh"), -60.0f, 0.01f);
    EXPECT_EQ (g.begins ("dynamicEq_m0Thresh"), 2);
    EXPECT_EQ (g.ends ("dynamicEq_m0Thresh"), 2);

    desk.click (h.inPopup (pop.expandRect.getCentre()));
    (void) render (h);
    ASSERT_FALSE (pop.ratioRect.isEmpty());
    const auto ratio = h.inPopup (pop.ratioRect.getCentre());
    dragAlong (desk, ratio, ratio + juce::Point<float> (200.0f, 0.0f));
    EXPECT_NEAR (h.get ("dynamicEq_m0Ratio"), 12.0f, 0.05f);
    const auto attack = h.inPopup ({ pop.attackRect.getX() + 1.0f, pop.attackRect.getCentreY() });
    dragAlong (desk, attack, h.inPopup ({ pop.attackRect.getX() + pop.attackRect.getWidth() * 0.5f, pop.attackRect.getCentreY() }));
    EXPECT_NEAR (h.get ("dynamicEq_m0Atk"), 0.001f + 0.499f * 0.5f, 0.003f);
    EXPECT_EQ (g.begins ("dynamicEq_m0Ratio"), 1);
    EXPECT_EQ (g.begins ("dynamicEq_m0Atk"), 1);
    EXPECT_FALSE (gr.dragging);

    desk.click (h.inPopup (pop.satRect.getCentre()));
    EXPECT_EQ (h.get ("dynamicEq_m0Sat"), 1.0f);
    desk.click (h.inPopup (pop.onRect.getCentre() + juce::Point<float> (0.0f, -11.5f)));   // the 2 px margin counts
    EXPECT_EQ (h.get ("dynamicEq_m0On"), 0.0f);
}

// Clicks that change nothing write nothing; automation, recall and audio-thread writes never make
// the editor write.
TEST (EqEditorGestures, OnlyTheUsersOwnChangesAreWritten)
{
    Host h (false);
    Desk desk (h);
    auto& gr = h.graph();
    GestureCounter g (*h.proc);

    desk.click (h.handle ("mid0"));                  // press and release without moving
    (void) render (h);
    desk.click (h.inPopup (gr.popup->chipRect.getCentre()));
    pump (30);
    juce::PopupMenu::dismissAllActiveMenus();          // dismissed: nothing
    pump (30);
    gr.setSelectedId ("low");
    (void) render (h);
    desk.click (h.inPopup (gr.popup->shelfRect.getCentre()));   // already a shelf
    desk.click (h.centreOf (h.panel->rangeButtons[2]));         // already "Full"
    EXPECT_EQ (g.totalBegins(), 0);

    // Host automation, a recall and a write from another thread: the editor follows, writes nothing.
    h.set ("eq_bandCount", 4.0f);
    juce::MemoryBlock saved;
    h.proc->getStateInformation (saved);
    std::thread ([&] { h.set ("eq_m2Gain", -3.0f); }).join();
    h.proc->setStateInformation (saved.getData(), (int) saved.getSize());
    pumpUntil ([&] { (void) render (h); return h.panel->bandChipCount == 8; }, 3000);
    pump (80);
    EXPECT_EQ (h.panel->bandChipCount, 8);
    EXPECT_TRUE (h.panel->countButtons[4].getToggleState());
    EXPECT_EQ (g.totalBegins(), 0);
}

TEST (EqEditorLifetime, HidingEndsDragsAndClosesMenus)
{
    const auto desktopWindows = [] { return juce::Desktop::getInstance().getNumComponents(); };
    const int idle = desktopWindows();
    {
        Host h (false);
        Desk desk (h);
        auto& gr = h.graph();
        GestureCounter g (*h.proc);
        const auto m = h.handle ("mid0");
        desk.move (m);
        desk.press (m);
        desk.drag (m + juce::Point<float> (0.0f, -30.0f));
        EXPECT_EQ (g.begins ("eq_m0Gain"), 1);
        h.panel->setActive (false);                    // hidden mid-drag: the gesture ends
        EXPECT_EQ (g.ends ("eq_m0Gain"), 1);
        EXPECT_FALSE (gr.dragging);
        EXPECT_FALSE (h.proc->isSpectrumViewOpen());   // no spectrum reader while hidden
        desk.release (m);
        h.panel->setActive (true);
        EXPECT_TRUE (h.proc->isSpectrumViewOpen());

        const int before = desktopWindows();
        (void) render (h);
        desk.click (h.inPopup (gr.popup->chipRect.getCentre()));
        ASSERT_TRUE (pumpUntil ([&] { return desktopWindows() > before; }, 3000));
        h.panel->setActive (false);
        EXPECT_TRUE (pumpUntil ([&] { return desktopWindows() == before; }, 3000));
        h.panel->setActive (true);
        (void) render (h);
        desk.click (h.inPopup (gr.popup->chipRect.getCentre()));
        ASSERT_TRUE (pumpUntil ([&] { return desktopWindows() > before; }, 3000));
    }
    // The host and panel are gone with the menu open: it closes and its result reaches nobody.
    EXPECT_TRUE (pumpUntil ([&] { return desktopWindows() == idle; }, 3000));
}

TEST (EqPopup, ShapeMenuWritesThePickedShape)
{
    Host h (false);
    Desk desk (h);
    auto& gr = h.graph();
    gr.setSelectedId ("mid0");
    (void) render (h);
    GestureCounter g (*h.proc);
    const int before = juce::Desktop::getInstance().getNumComponents();
    desk.click (h.inPopup (gr.popup->chipRect.getCentre()));
    ASSERT_TRUE (pumpUntil ([&] { return juce::Desktop::getInstance().getNumComponents() > before; }, 3000));
    // Pick "Band Shelf" (the third item) with the keyboard of the open menu.
    auto* menu = juce::Desktop::getInstance().getComponent (juce::Desktop::getInstance().getNumComponents() - 1);
    ASSERT_NE (menu, nullptr);
    for (int i = 0; i < 3; ++i)
        menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
    menu->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    ASSERT_TRUE (pumpUntil ([&] { return h.get ("eq_m0Shape") == 2.0f; }, 3000));
    EXPECT_EQ (g.begins ("eq_m0Shape"), 1);
    EXPECT_EQ (g.totalBegins(), 1);
}
