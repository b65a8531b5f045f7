#include "Ui/EqEditor/EqPanel.h"

#include "Ui/Controls/VyrStyleChip.h"
#include "Ui/EqEditor/EqBandDefaults.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrPainting.h"

#include <cmath>

namespace
{
constexpr const char* kFlame = "M8.5 14.5A2.5 2.5 0 0 0 11 12c0-1.38-.5-2-1-3-1.072-2.143-.224-4.054 2-6 .5 2.5 2 4.9 4 6.5 2 1.6 3 3.5 3 5.5a7 7 0 1 1-14 0c0-1.153.433-2.294 1-3a2.5 2.5 0 0 0 2.5 2.5z";
constexpr juce::uint32 kPanelInk = 0xffd4dce2;

int identityShift (int t) { return t == 5 ? 12 : (t == 2 ? 6 : 0); }
int rightEdge (int W, int t) { return W - (t == 5 ? 20 : 16); }
}

EqPanel::EqPanel (VyrAudioProcessor& p, bool isDynamic)
    : graph (p, isDynamic), processor (p), dynamic (isDynamic)
{
    addAndMakeVisible (graph);
    graph.onSelect = [this] (juce::String id) { selectFromGraph (id); };
    // Automation or a recall that changes the module's layout re-reads the header and knobs; it
    // never writes anything.
    graph.onLayoutChanged = [this] { rebuildKnobs(); };

    const auto own = [this] (juce::TextButton& b, std::function<void()> action, bool toggles = true)
    {
        b.setClickingTogglesState (toggles);
        b.onClick = std::move (action);
        addAndMakeVisible (b);
    };

    static const char* const counts[] = { "3", "4", "5", "6", "8" };
    for (int k = 0; k < 5; ++k)
    {
        countButtons[k].setButtonText (counts[k]);
        own (countButtons[k], [this, k] { write (prefix() + "bandCount", (float) k); rebuildKnobs(); });
    }
    for (int k = 0; k < 3; ++k)
    {
        rangeButtons[k].setButtonText (vyrEq::kRanges[k].name);
        own (rangeButtons[k], [this, k] { vyrEq::applyGainRange (processor.apvts, dynamic, k); rebuildKnobs(); });
    }
    own (msButton, [this]
    {
        const bool on = msButton.getToggleState();
        write (prefix() + "msMode", on ? 1.0f : 0.0f);
        if (on)
            write (prefix() + "msChannel", 0.0f);
        rebuildKnobs();
    });
    own (midButton, [this] { write (prefix() + "msChannel", 0.0f); rebuildKnobs(); });
    own (sideButton, [this] { write (prefix() + "msChannel", 1.0f); rebuildKnobs(); });
    own (resetButton, [this]
    {
        vyrEq::resetChannel (processor.apvts, dynamic, graph.editsSide(), graph.state.bandCount);
        rebuildKnobs();
    }, false);
    own (powerButton, [this] { write (prefix() + "enabled", powerButton.getToggleState() ? 1.0f : 0.0f); repaint(); });
    infoButton.setPanel (dynamic ? "dynamiceq" : "eq", juce::Colour (dynamic ? 0xff14b8a6 : 0xff2563eb));
    addAndMakeVisible (infoButton);
    own (satButton, [this]
    {
        write (bandPrefix() + vyrEq::bandStem (selId()) + "Sat", satButton.getToggleState() ? 1.0f : 0.0f);
        graph.repaint();
    });
    own (shelfButton, [this] { write (bandPrefix() + vyrEq::bandStem (selId()) + "Cut", 0.0f); rebuildKnobs(); });
    own (cutButton, [this] { write (bandPrefix() + vyrEq::bandStem (selId()) + "Cut", 1.0f); rebuildKnobs(); });
    static const char* const slopes[] = { "12", "24", "36", "48" };
    for (int k = 0; k < 4; ++k)
    {
        slopeButtons[k].setButtonText (slopes[k]);
        own (slopeButtons[k], [this, k] { write (bandPrefix() + vyrEq::bandStem (selId()) + "Slope", (float) k); rebuildKnobs(); });
    }

    rebuildKnobs();
}

EqPanel::~EqPanel()
{
    graph.onSelect = nullptr;
    graph.onLayoutChanged = nullptr;
    for (int i = knobs.size(); --i >= 0;)
        knobs.remove (i);
}

int EqPanel::themeIndex() const
{
    return vyrClampTheme (processor.themeIndex.load (std::memory_order_relaxed));
}

juce::Colour EqPanel::moduleAccent() const
{
    if (graph.state.msMode)
        return juce::Colour (graph.editsSide() ? 0xff22d3ee : 0xfffbbf24);
    return juce::Colour (dynamic ? 0xff0d9488 : 0xff2563eb);
}

juce::String EqPanel::selId() const
{
    return vyrEq::bandIdAt (selectedBand, midCount());
}

void EqPanel::write (const juce::String& id, float plain)
{
    vyrEq::writeParam (processor.apvts, id, plain);
}

void EqPanel::setActive (bool on)
{
    setVisible (on);
    if (on)
    {
        syncHeader();
        rebuildKnobs();
    }
}

void EqPanel::selectFromGraph (const juce::String& id)
{
    if (id.isEmpty())
        return;
    for (int i = 0; i <= midCount() + 1; ++i)
    {
        if (vyrEq::bandIdAt (i, midCount()) == id)
        {
            if (i != selectedBand)
            {
                selectedBand = i;
                rebuildKnobs();
            }
            return;
        }
    }
}

void EqPanel::mouseDown (const juce::MouseEvent& e)
{
    const auto p = e.getPosition();
    for (int i = 0; i < bandChipCount; ++i)
    {
        if (bandChipBounds[i].contains (p))
        {
            selectedBand = i;
            rebuildKnobs();
            return;
        }
    }
}

//==============================================================================
void EqPanel::syncHeader()
{
    const auto& s = graph.state;
    const auto headerAccent = juce::Colour (dynamic ? 0xff0d9488 : 0xff3b82f6);
    int lit = 0;
    for (int k = 0; k < 5; ++k)
        if (vyrEq::kCounts[k] == s.bandCount)
            lit = k;
    for (int k = 0; k < 5; ++k)
        styleChip (countButtons[k], k == lit, headerAccent, juce::Colours::white);
    for (int k = 0; k < 3; ++k)
        styleChip (rangeButtons[k], s.gainRange == k, juce::Colour (vyrEq::kRanges[k].accent), juce::Colours::white);

    styleChip (msButton, s.msMode, juce::Colour (0xfff59e0b), juce::Colour (0xff1a1205));
    midButton.setVisible (s.msMode);
    sideButton.setVisible (s.msMode);
    styleChip (midButton, s.msChannel == 0, juce::Colour (0xfffbbf24), juce::Colour (kPanelInk));
    styleChip (sideButton, s.msChannel == 1, juce::Colour (0xff22d3ee), juce::Colour (kPanelInk));

    powerButton.setToggleState (s.enabled, juce::dontSendNotification);
    const juce::String text = s.enabled ? "ON" : "OFF";
    if (powerButton.getButtonText() != text)
    {
        powerButton.setButtonText (text);
        powerButton.repaint();
    }
    powerButton.setColour (juce::TextButton::buttonOnColourId, headerAccent);
    powerButton.setColour (juce::TextButton::textColourOnId, juce::Colours::white);
    powerButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0x0dffffff));
    powerButton.setColour (juce::TextButton::textColourOffId, juce::Colour (0xffd4d8de));
    resetButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0x0dffffff));
    resetButton.setColour (juce::TextButton::textColourOffId, juce::Colour (0xffd4d8de));
}

void EqPanel::rebuildKnobs()
{
    if (rebuilding)
        return;
    rebuilding = true;

    vyrEq::loadState (processor.apvts, graph.state, dynamic);
    for (int i = knobs.size(); --i >= 0;)
        knobs.remove (i);
    syncHeader();
    selectedBand = juce::jlimit (0, midCount() + 1, selectedBand);

    const auto id = selId();
    const auto stem = vyrEq::bandStem (id);
    const bool edge = vyrEq::isEdgeId (id), mid = ! edge;
    const auto* band = vyrEq::bandOf (graph.editedChannel(), id);
    const bool cut = band != nullptr && band->cut;
    const auto accent = moduleAccent();
    const bool light = vyrTheme (themeIndex()).light;

    struct Row
    {
        juce::String name;
        const char* caption;
        const char* unit;
        int size;
        bool bipolar, knurled, present;
    };
    const int big = dynamic ? 44 : 48;
    const Row rows[] = {
        { stem + "Freq", "FREQ", "Hz", big, false, false, true },
        { stem + "Gain", "GAIN", "dB", big, true, false, ! (edge && cut) },
        { stem + "Q", "Q", "", 40, false, false, mid },
        { stem + "Thresh", "THRESH", "dB", 56, false, true, dynamic },
        { stem + "Ratio", "RATIO", "", 56, false, true, dynamic },
        { stem + "Atk", "ATK", "s", 36, false, false, dynamic },
        { stem + "Rel", "REL", "s", 36, false, false, dynamic },
        { stem + "Drive", "DRIVE", "", 48, false, true, dynamic },
        { "mix", "Mix", "%", 40, false, false, ! dynamic },
    };
    for (const auto& row : rows)
    {
        const auto paramId = bandPrefix() + row.name;
        if (! row.present || processor.apvts.getParameter (paramId) == nullptr)
            continue;
        auto* k = knobs.add (new HardwareKnob (processor.apvts, paramId, row.caption, row.unit, accent, row.size));
        k->bipolar = row.bipolar;
        k->skirted = row.knurled;
        k->light = light;
        addAndMakeVisible (k);
    }

    if (band != nullptr)
    {
        const auto bc = vyrEq::bandColour (id);
        styleChip (shelfButton, ! cut, bc, juce::Colour (kPanelInk));
        styleChip (cutButton, cut, bc, juce::Colour (kPanelInk));
        const int s = juce::jlimit (1, 4, (int) std::round (band->slope / 12.0f));
        for (int k = 0; k < 4; ++k)
            styleChip (slopeButtons[k], k == s - 1, bc, juce::Colours::white);
        satButton.setToggleState (band->sat, juce::dontSendNotification);
        satButton.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xfffb923c));
        satButton.setColour (juce::TextButton::textColourOnId, juce::Colours::white);
        satButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xfff0a868));
        satButton.setColour (juce::TextButton::textColourOffId, juce::Colour (0xff9a4515));
    }
    shelfButton.setVisible (edge && ! dynamic);
    cutButton.setVisible (edge && ! dynamic);
    for (auto& b : slopeButtons)
        b.setVisible (edge && ! dynamic && cut);
    satButton.setVisible (dynamic);

    if (graph.selectedId != id)
        graph.selectQuietly (id);

    graph.layoutPopup();
    graph.repaint();
    resized();
    repaint();
    rebuilding = false;
}

//==============================================================================
void EqPanel::resized()
{
    const int W = getWidth(), H = getHeight(), t = themeIndex();
    const int dx = identityShift (t), R = rightEdge (W, t);

    for (int k = 0; k < 5; ++k)
        countButtons[k].setBounds (178 + dx + 24 * k, 12, 22, 18);
    for (int k = 0; k < 3; ++k)
        rangeButtons[k].setBounds (178 + dx + 128 + 68 * k, 12, 64, 18);
    powerButton.setBounds (R - 86, 8, 86, 26);
    resetButton.setBounds (R - 116, 10, 22, 22);
    infoButton.setBounds (R - 142, 12, 18, 18);
    int top;
    if (graph.state.msMode)
    {
        sideButton.setBounds (R - 190, 10, 40, 22);
        midButton.setBounds (R - 234, 10, 36, 22);
        msButton.setBounds (R - 286, 10, 44, 22);
        top = 62;
    }
    else
    {
        msButton.setBounds (R - 194, 10, 44, 22);
        top = powerButton.getBottom() + 12;
    }
    graph.setBounds (10, top, W - 20, std::max (H - top - (dynamic ? 132 : 128), 120));

    const auto id = selId();
    const bool edge = vyrEq::isEdgeId (id);
    const bool slopesShown = slopeButtons[0].isVisible();
    int left = 0;
    if (edge && ! dynamic)
    {
        shelfButton.setBounds (12, H - 92, 44, 18);
        cutButton.setBounds (56, H - 92, 36, 18);
        left = 80;
        if (slopesShown)
        {
            for (int k = 0; k < 4; ++k)
                slopeButtons[k].setBounds (101 + 30 * k, H - 92, 28, 18);
            left = 230;
        }
    }

    if (! dynamic)
        return layoutKnobs (left, W - left - 24, knobs.size());

    const juce::Rectangle<int> box (R - 96, H - 124, 96, 112);
    satButton.setBounds (box.getX() + 18, H - 116, 60, 18);
    if (! knobs.isEmpty())
        knobs.getLast()->setBounds (box.getX() + 14, H - 92, 68, 72);
    layoutKnobs (left, box.getX() - left - 32, knobs.size() - 1);
}

void EqPanel::layoutKnobs (int left, int available, int count)
{
    if (count <= 0)
        return;
    const int H = getHeight();
    const int q = std::max (available / count, 1);
    int used = 0;
    for (int j = 0; j < count; ++j)
    {
        const int w = std::min (q, std::max (available - used, 0));
        knobs[j]->setBounds (left + 12 + j * q + 1, H - 95, std::max (w - 2, 0), 86);
        used += q;
    }
}

void EqPanel::paintHousing (juce::Graphics& g, int t) const
{
    vyrPaintModuleHousing (g, getLocalBounds().toFloat(), t, moduleId(), juce::Colour (dynamic ? 0x33115544 : 0x33153060),
                           juce::Colour (dynamic ? 0xff14b8a6 : 0xff3b82f6));
}

//==============================================================================
void EqPanel::paint (juce::Graphics& g)
{
    const int W = getWidth(), H = getHeight(), t = themeIndex();
    const int dx = identityShift (t);
    const auto& theme = vyrTheme (t);
    const auto accent = moduleAccent();

    // The housing changes only with the size and the identity, and lies under the graph, which
    // repaints at the timer's rate: kept as an image.
    housing.draw (g, getLocalBounds(), t, [this, t] (juce::Graphics& hg) { paintHousing (hg, t); });
    for (auto* k : knobs)
        k->light = theme.light;

    // The graph repaints often and the panel beneath it with it: what lies outside the repainted
    // area is skipped rather than drawn into a clip that discards it.
    if (g.clipRegionIntersects ({ 0, 0, W, 62 }))
        paintHeader (g, dx, theme, accent);
    if (g.clipRegionIntersects ({ 0, H - 124, W, 124 }))
        paintBandRow (g, t);
}

void EqPanel::paintHeader (juce::Graphics& g, int dx, const VyrTheme& theme, juce::Colour accent)
{
    const int W = getWidth();
    const auto& s = graph.state;
    vyrLucide::drawSlot (g, juce::Rectangle<float> ((float) (12 + dx), 10.0f, 22.0f, 22.0f), moduleId(), accent);
    g.setColour (theme.light ? juce::Colour (0xff1a1a1a) : (s.enabled ? accent : juce::Colour (0xccffffff)));
    g.setFont (juce::Font (14.0f, juce::Font::plain).withExtraKerningFactor (theme.titleKerning));
    g.drawText (vyrFxTitle (moduleId()), juce::Rectangle<int> (38 + dx, 10, 200, 22), juce::Justification::centredLeft, true);

    const auto rb = resetButton.getBounds().toFloat();
    const juce::Rectangle<float> icon (rb.getX() + 6.0f, rb.getY() + 6.0f, std::max (rb.getWidth() - 12.0f, 0.0f),
                                       std::max (rb.getHeight() - 12.0f, 0.0f));
    vyrLucide::strokeD (g, icon, juce::Colour (0x8cffffff), "M3 12a9 9 0 1 0 9-9 9.75 9.75 0 0 0-6.74 2.74L3 8");
    vyrLucide::strokeD (g, icon, juce::Colour (0x8cffffff), "M3 3v5h5");

    if (s.msMode)
    {
        const auto badge = vyrDeepTone (accent).withAlpha (1.0f);
        g.setColour (badge);
        g.fillRoundedRectangle (12.0f, 40.0f, 92.0f, 16.0f, 4.0f);
        g.setColour (vyrPaleInk (badge));
        g.setFont (juce::Font (9.0f, juce::Font::bold));
        g.drawText (graph.editsSide() ? "Editing Side" : "Editing Mid", juce::Rectangle<int> (12, 40, 92, 16), juce::Justification::centred, false);
        g.setColour (juce::Colour (0x73ffffff));
        g.setFont (juce::Font (9.0f));
        g.drawText (juce::CharPointer_UTF8 ("Mid = (L+R)  Side = (L-R)  \xe2\x80\x94 dashed curve is the other channel."),
                    juce::Rectangle<int> (110, 40, std::max (W - 120, 0), 16), juce::Justification::centredLeft, true);
    }

}

void EqPanel::paintBandRow (juce::Graphics& g, int t)
{
    const int W = getWidth(), H = getHeight();
    const int n = midCount() + 2;
    bandChipCount = n;
    const int spare = dynamic ? W - (t == 5 ? 148 : 144) : W - 36;
    const int cw = std::min (std::max (spare, 52) / n, 86);
    for (int i = 0; i < n; ++i)
    {
        const juce::Rectangle<int> chip (12 + i * (cw + 4), H - 118, cw, 22);
        bandChipBounds[i] = chip;
        const auto id = vyrEq::bandIdAt (i, midCount());
        const auto bc = vyrEq::bandColour (id);
        const bool selected = i == selectedBand;
        g.setColour (selected ? bc.withAlpha ((juce::uint8) 0x33) : juce::Colour (0x0dffffff));
        g.fillRoundedRectangle (chip.toFloat(), 6.0f);
        g.setColour (selected ? bc : juce::Colour (0x2effffff));
        g.drawRoundedRectangle (chip.toFloat().reduced (0.5f), 6.0f, 1.0f);
        g.setColour (bc);
        g.fillEllipse ((float) chip.getX() + 6.0f, (float) (H - 110), 6.0f, 6.0f);
        const auto label = i == 0 ? juce::String ("Low") : (i == n - 1 ? juce::String ("High") : "Mid " + juce::String (i));
        g.setColour (selected ? (dynamic ? juce::Colours::white : bc) : juce::Colour (0xa6ffffff));
        g.setFont (juce::Font (10.0f, juce::Font::bold));
        g.drawText (label, juce::Rectangle<int> (chip.getX() + 16, H - 118, std::max (cw - 16, 0), 22), juce::Justification::centredLeft, true);
    }

    if (dynamic)
    {
        const juce::Rectangle<float> box ((float) (W - (t == 5 ? 20 : 16) - 96), (float) (H - 124), 96.0f, 112.0f);
        g.setColour (juce::Colour (0x4c000000));
        g.fillRoundedRectangle (box, 8.0f);
        g.setColour (juce::Colour (0x45fb923c));
        g.drawRoundedRectangle (box, 8.0f, 1.0f);
        const auto sb = satButton.getBounds().toFloat();
        vyrLucide::strokeD (g, juce::Rectangle<float> (sb.getX() + 6.0f, sb.getY() + 3.0f, 12.0f, 12.0f), juce::Colour (0xfffb923c), kFlame);
    }
}
