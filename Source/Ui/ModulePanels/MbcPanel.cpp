#include "Ui/ModulePanels/MbcPanel.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/Foundation/VyrTheme.h"
#include "Ui/ModulePanels/PanelKit.h"

#include <cmath>

namespace
{
using juce::Colour;
using F = juce::Rectangle<float>;
using I = juce::Rectangle<int>;

constexpr juce::uint32 kAccent = 0xff4ade80, kMid = 0xfffbbf24, kSide = 0xff22d3ee, kMs = 0xfff0b84d, kChipText = 0xffd4dce2;

// The panel's buttons, told apart by component ID.
class MbcBtnLaf : public juce::LookAndFeel_V4
{
public:
    juce::Colour accent { 0xff38bdf8 };

    void drawButtonBackground (juce::Graphics& g, juce::Button& b, const juce::Colour&, bool, bool) override
    {
        const auto id = b.getComponentID();
        const float w = (float) b.getWidth(), h = (float) b.getHeight();
        const bool lit = b.getToggleState();
        const auto onColour = b.findColour (juce::TextButton::buttonOnColourId);
        if (id == "mbc-bandOn")
        {
            g.setColour (lit ? accent : Colour (0x0dffffff));
            g.fillEllipse (0.0f, 0.0f, w, h);
            if (lit)
            {
                g.setColour (accent.withAlpha ((juce::uint8) 0x8c));
                g.drawEllipse (-1.0f, -1.0f, w + 2.0f, h + 2.0f, 1.5f);
            }
            else
            {
                g.setColour (Colour (0x33ffffff));
                g.drawEllipse (0.0f, 0.0f, w, h, 1.0f);
            }
            return;
        }
        if (id == "mbc-power")
        {
            vyrDrawEnamelButton (g, F (0.0f, 0.0f, w, h), lit, onColour, false, true);
            return;
        }
        const float radius = id == "mbc-ms" ? h / 2.0f : 6.0f;
        const auto deep = vyrDeepTone (onColour);
        g.setColour (lit ? deep : b.findColour (juce::TextButton::buttonColourId));
        g.fillRoundedRectangle (0.0f, 0.0f, w, h, radius);
        if (lit)
        {
            g.setColour (deep.interpolatedWith (juce::Colours::white, 0.42f).withAlpha ((juce::uint8) 0xc7));
            g.drawRoundedRectangle (0.5f, 0.5f, juce::jmax (w - 1.0f, 0.0f), juce::jmax (h - 1.0f, 0.0f), juce::jmax (radius - 0.5f, 0.4f), 1.05f);
        }
        else
        {
            g.setColour (Colour (id == "mbc-ms" ? 0xb2f0b84d : 0x26ffffff));
            g.drawRoundedRectangle (0.0f, 0.0f, w, h, radius, 0.7f);
        }
    }

    void drawButtonText (juce::Graphics& g, juce::TextButton& b, bool over, bool down) override
    {
        const auto id = b.getComponentID();
        const float w = (float) b.getWidth(), h = (float) b.getHeight();
        const bool lit = b.getToggleState();
        const auto ink = vyrPaleInk (vyrDeepTone (b.findColour (juce::TextButton::buttonOnColourId)));
        const F icon (4.0f, 4.0f, juce::jmax (w - 8.0f, 0.0f), juce::jmax (h - 8.0f, 0.0f));
        if (id == "mbc-bandOn")
        {
            for (auto* d : { "M12 2v10", "M18.4 6.6a9 9 0 1 1-12.77.04" })
                vyrLucide::strokeD (g, icon, lit ? ink : Colour (0x66ffffff), d);
        }
        else if (id == "mbc-reset")
        {
            for (auto* d : { "M3 12a9 9 0 1 0 9-9 9.75 9.75 0 0 0-6.74 2.74L3 8", "M3 3v5h5" })
                vyrLucide::strokeD (g, icon, Colour (0x80ffffff), d);
        }
        else if (id == "mbc-power")
            vyrLucide::drawPowerOnOff (g, F (0.0f, 0.0f, w, h), lit, lit ? ink : Colour (0xffd4d8de));
        else if (id == "mbc-ms")
        {
            g.setColour (lit ? ink : Colour (kMs));
            g.fillEllipse (7.0f, h / 2.0f - 2.5f, 5.0f, 5.0f);
            g.setColour (lit ? ink : Colour (0xffb97c0a));
            g.setFont (vyrPanel::font (10.0f, true));
            g.drawText ("M/S", F (14.0f, 0.0f, juce::jmax (w - 14.0f, 0.0f), h).toNearestInt(), juce::Justification::centredLeft, false);
        }
        else
            juce::LookAndFeel_V4::drawButtonText (g, b, over, down);
    }
};

struct KnobRow
{
    const char* name;
    const char* caption;
    const char* unit;
    int size;
    bool bipolar, knurled;
};

constexpr KnobRow kKnobRows[7] = {
    { "Thresh", "Thresh", "dB", 56, false, true }, { "Ratio", "Ratio", "", 56, false, true },
    { "Knee", "Knee", "dB", 40, false, false },    { "Makeup", "Makeup", "dB", 56, false, true },
    { "Atk", "Atk", "s", 36, false, false },       { "Rel", "Rel", "s", 36, false, false },
    { "multiBandComp_globalMakeup", "Output", "dB", 44, true, false },
};

int themeInset (int t) { return t == VyrThemeId::instrument ? 12 : (t == VyrThemeId::titanium ? 6 : 0); }
}

//==============================================================================
namespace vyrMbc
{
void writeBandDefaults (juce::AudioProcessorValueTreeState& tree, bool side, int band)
{
    const juce::String stem = juce::String ("multiBandComp_") + (side ? "s_" : "") + "b" + juce::String (band);
    const Band defaults;
    vyrPanel::write (tree, stem + "Thresh", defaults.thresh);
    vyrPanel::write (tree, stem + "Ratio", defaults.ratio);
    vyrPanel::write (tree, stem + "Atk", defaults.atk);
    vyrPanel::write (tree, stem + "Rel", defaults.rel);
    vyrPanel::write (tree, stem + "Knee", defaults.knee);
    vyrPanel::write (tree, stem + "Makeup", defaults.makeup);
    vyrPanel::writeOn (tree, stem + "On", true);
    vyrPanel::writeOn (tree, stem + "Solo", false);
}

float resetCrossover (int k, int n) noexcept
{
    const int step = k + 1;
    const float e = 2.0791812f + 1.8239088f * (float) step / (float) juce::jmax (n, step + 1);
    const float v = std::pow (10.0f, e);
    return std::floor (v + 0.5f);
}
}

//==============================================================================
MbcPanel::MbcPanel (VyrAudioProcessor& p) : processor (p), visualiser (p), graph (p)
{
    buttonLook = std::make_unique<MbcBtnLaf>();
    addAndMakeVisible (visualiser);
    addAndMakeVisible (graph);
    graph.onBandSelected = [this] (int band) {
        selectedBand = band;
        rebuildKnobs();
    };
    auto& tree = processor.apvts;
    for (int i = 0; i < 5; ++i)
    {
        auto& chip = countButtons[i];
        chip.setButtonText (juce::String (i + 1));
        chip.setLookAndFeel (buttonLook.get());
        addAndMakeVisible (chip);
        chip.onClick = [this, i] {
            vyrPanel::writeChoice (processor.apvts, "multiBandComp_bandCount", i);
            selectedBand = juce::jmin (i, selectedBand);
            rebuildKnobs();
        };
    }
    msButton.setClickingTogglesState (true);
    msButton.setComponentID ("mbc-ms");
    msButton.onClick = [this, &tree] {
        vyrPanel::writeOn (tree, "multiBandComp_msMode", msButton.getToggleState());
        if (msButton.getToggleState())
            vyrPanel::writeChoice (tree, "multiBandComp_msChannel", 0);
        rebuildKnobs();
    };
    midButton.setClickingTogglesState (true);
    midButton.onClick = [this, &tree] {
        vyrPanel::writeChoice (tree, "multiBandComp_msChannel", 0);
        rebuildKnobs();
    };
    sideButton.setClickingTogglesState (true);
    sideButton.onClick = [this, &tree] {
        vyrPanel::writeChoice (tree, "multiBandComp_msChannel", 1);
        rebuildKnobs();
    };
    resetButton.setComponentID ("mbc-reset");
    resetButton.onClick = [this] {
        resetModule();
        rebuildKnobs();
    };
    powerButton.setClickingTogglesState (true);
    powerButton.setComponentID ("mbc-power");
    powerButton.onClick = [this, &tree] {
        vyrPanel::writeOn (tree, "multiBandComp_enabled", powerButton.getToggleState());
        repaint();
    };
    soloButton.setClickingTogglesState (true);
    soloButton.onClick = [this, &tree] {
        reload();
        vyrPanel::writeOn (tree, bandParamId (selectedBand, "Solo"), soloButton.getToggleState());
        repaint();
    };
    bandOnButton.setClickingTogglesState (true);
    bandOnButton.setComponentID ("mbc-bandOn");
    bandOnButton.onClick = [this, &tree] {
        reload();
        vyrPanel::writeOn (tree, bandParamId (selectedBand, "On"), bandOnButton.getToggleState());
        repaint();
    };
    for (auto* b : { &msButton, &midButton, &sideButton, &resetButton, &powerButton, &soloButton, &bandOnButton })
    {
        b->setLookAndFeel (buttonLook.get());
        addAndMakeVisible (b);
    }
    infoButton.setPanel ("multibandcomp", Colour (kAccent));
    addAndMakeVisible (infoButton);
    reload();
    rebuildKnobs();
}

MbcPanel::~MbcPanel()
{
    for (auto* b : allButtons())
        b->setLookAndFeel (nullptr);
    buttonLook.reset();
    while (! knobs.empty())
        knobs.pop_back();
}

std::vector<juce::TextButton*> MbcPanel::allButtons()
{
    std::vector<juce::TextButton*> all;
    for (auto& c : countButtons)
        all.push_back (&c);
    for (auto* b : { &msButton, &midButton, &sideButton, &resetButton, &powerButton, &soloButton, &bandOnButton })
        all.push_back (b);
    return all;
}

void MbcPanel::reload() { vyrMbc::loadState (processor.apvts, state); }

juce::String MbcPanel::bandParamId (int band, const juce::String& name) const
{
    const bool side = state.msMode && state.msChannel == 1;
    return juce::String ("multiBandComp_") + (side ? "s_" : "") + "b" + juce::String (band) + name;
}

void MbcPanel::setActive (bool active)
{
    setVisible (active);
    if (active)
    {
        syncHeader();
        rebuildKnobs();
    }
}

void MbcPanel::syncHeader()
{
    reload();
    for (int i = 0; i < 5; ++i)
        styleChip (countButtons[i], state.bandCount == i + 1, Colour (kAccent), Colour (kChipText));
    styleChip (msButton, state.msMode, Colour (kMs), Colour (0xff1a1a1a));
    if (! state.msMode)
    {
        msButton.setColour (juce::TextButton::buttonColourId, Colour (0x1af0b84d));
        msButton.setColour (juce::TextButton::textColourOffId, Colour (0xffb97c0a));
    }
    midButton.setVisible (state.msMode);
    sideButton.setVisible (state.msMode);
    styleChip (midButton, state.msChannel == 0, Colour (kMid), Colour (kChipText));
    styleChip (sideButton, state.msChannel == 1, Colour (kSide), Colour (kChipText));

    const juce::String caption = state.enabled ? "ON" : "OFF";
    powerButton.setToggleState (state.enabled, juce::dontSendNotification);
    if (powerButton.getButtonText() != caption)
        powerButton.setButtonText (caption);
    powerButton.setColour (juce::TextButton::buttonOnColourId, Colour (kAccent));
    powerButton.setColour (juce::TextButton::textColourOnId, Colour (kChipText));
    powerButton.setColour (juce::TextButton::buttonColourId, Colour (0x0dffffff));
    powerButton.setColour (juce::TextButton::textColourOffId, Colour (0xffd4d8de));
    resetButton.setColour (juce::TextButton::buttonColourId, Colour (0x0dffffff));
    resetButton.setColour (juce::TextButton::textColourOffId, Colour (0xffd4d8de));
}

void MbcPanel::rebuildKnobs()
{
    while (! knobs.empty())
        knobs.pop_back();
    syncHeader();
    reload();
    selectedBand = juce::jlimit (0, state.bandCount - 1, selectedBand);
    graph.selectedBand = selectedBand;
    const bool side = state.msMode && state.msChannel == 1;
    const auto bc = vyrMbc::bandColour (selectedBand);
    const bool light = vyrTheme (processor.themeIndex).light;
    auto& tree = processor.apvts;
    for (const auto& row : kKnobRows)
    {
        const juce::String name (row.name);
        const auto id = name.startsWith ("multiBandComp_") ? name
                                                           : juce::String ("multiBandComp_") + (side ? "s_" : "") + "b" + juce::String (selectedBand) + name;
        if (tree.getParameter (id) == nullptr)
            continue;
        auto knob = std::make_unique<HardwareKnob> (tree, id, row.caption, row.unit, bc, row.size);
        knob->bipolar = row.bipolar;
        knob->skirted = row.knurled;
        knob->light = light;
        addAndMakeVisible (*knob);
        knobs.push_back (std::move (knob));
        if (name == "Rel" && knobs.size() > 5)
            knobs[4]->showSeconds = knobs[5]->showSeconds = true;
    }
    if (! knobs.empty())
        knobs.back()->colour = Colour (kAccent);

    const auto& b = (side ? state.side : state.mid)[juce::jlimit (0, 4, selectedBand)];
    styleChip (soloButton, b.solo, Colour (kMid), Colour (kChipText));
    bandOnButton.setToggleState (b.on, juce::dontSendNotification);
    bandOnButton.setColour (juce::TextButton::buttonOnColourId, bc);
    bandOnButton.setColour (juce::TextButton::textColourOnId, Colour (kChipText));
    bandOnButton.setColour (juce::TextButton::buttonColourId, Colour (0x0dffffff));
    bandOnButton.setColour (juce::TextButton::textColourOffId, Colour (0x66ffffff));
    static_cast<MbcBtnLaf*> (buttonLook.get())->accent = bc;
    resized();
    repaint();
}

void MbcPanel::resetModule()
{
    reload();
    auto& tree = processor.apvts;
    const int n = juce::jmin (state.bandCount, 5);
    vyrPanel::writeChoice (tree, "multiBandComp_bandCount", juce::jmax (n, 1) - 1);
    vyrPanel::writeOn (tree, "multiBandComp_msMode", false);
    vyrPanel::writeChoice (tree, "multiBandComp_msChannel", 0);
    vyrPanel::write (tree, "multiBandComp_globalMakeup", 0.0f);
    vyrPanel::write (tree, "multiBandComp_mix", 100.0f);
    for (int k = 0; k < 4; ++k)
        vyrPanel::write (tree, "multiBandComp_x" + juce::String (k), vyrMbc::resetCrossover (k, n));
    for (int band = 0; band < 5; ++band)
        for (bool side : { false, true })
            vyrMbc::writeBandDefaults (tree, side, band);
}

void MbcPanel::mouseDown (const juce::MouseEvent& e)
{
    const auto p = e.getPosition();
    for (int i = 0; i < tabCount; ++i)
        if (tabBounds[i].contains (p))
        {
            selectedBand = i;
            rebuildKnobs();
            return;
        }
}

void MbcPanel::resized()
{
    const int W = getWidth(), H = getHeight();
    const int a = themeInset (processor.themeIndex.load (std::memory_order_acquire));
    for (int i = 0; i < 5; ++i)
        countButtons[i].setBounds (a + 178 + 24 * i, 12, 22, 18);
    const int r = W - 16 - a;
    powerButton.setBounds (r - 86, 8, 86, 26);
    resetButton.setBounds (r - 116, 10, 22, 22);
    infoButton.setBounds (r - 142, 12, 18, 18);
    reload();
    int e;
    if (state.msMode)
    {
        sideButton.setBounds (r - 190, 10, 40, 22);
        midButton.setBounds (r - 234, 10, 36, 22);
        msButton.setBounds (r - 286, 10, 44, 22);
        e = 60;
    }
    else
    {
        msButton.setBounds (r - 194, 10, 44, 22);
        e = 38;
    }
    visualiser.setBounds (10, e, W - 20, 108);
    graph.setBounds (10, e + 112, W - 20, juce::jmax (H - e - 240, 90));
    soloButton.setBounds (42, H - 92, 40, 18);
    bandOnButton.setBounds (86, H - 92, 20, 20);

    const int k = (int) knobs.size();
    if (k >= 1)
    {
        knobs.back()->setBounds (W - 78, H - 84, 64, 72);
        if (k > 1)
        {
            const int m = juce::jmax ((W - 200) / (k - 1), 1);
            int x = 112, remaining = W - 200;
            for (int i = 0; i < k - 1; ++i)
            {
                const int cw = juce::jmin (remaining, m);
                knobs[(size_t) i]->setBounds (x + 1, H - 95, juce::jmax (cw - 2, 0), 86);
                x += cw;
                remaining -= cw;
            }
        }
    }
}

void MbcPanel::paint (juce::Graphics& g)
{
    reload();
    const int W = getWidth(), H = getHeight();
    const int t = processor.themeIndex.load (std::memory_order_acquire);
    const auto& theme = vyrTheme (t);
    housing.draw (g, getLocalBounds(), vyrClampTheme (t), [&] (juce::Graphics& ig) {
        vyrPaintModuleHousing (ig, F (0.0f, 0.0f, (float) W, (float) H), t, "multiBandComp", Colour (0x330a3d28), Colour (kAccent));
    });
    for (auto& k : knobs)
        k->light = theme.light;
    paintHeader (g, themeInset (t), theme);
    paintTabs (g);

    const F housing ((float) W - 84.0f, (float) H - 92.0f, 72.0f, 80.0f);
    g.setColour (Colour (0x4c000000));
    g.fillRoundedRectangle (housing, 8.0f);
    g.setColour (Colour (0x454ade80));
    g.drawRoundedRectangle (housing, 8.0f, 1.0f);
    g.setColour (vyrMbc::bandColour (selectedBand));
    g.setFont (vyrPanel::font (10.0f, true, 0.08f));
    g.drawText ("B" + juce::String (selectedBand + 1), I (12, H - 92, 28, 18), juce::Justification::centredLeft, false);
}

void MbcPanel::paintHeader (juce::Graphics& g, int a, const VyrTheme& theme)
{
    const int W = getWidth();
    g.setColour (Colour (0x334ade80));
    g.fillRoundedRectangle (F ((float) a + 10.0f, 8.0f, 26.0f, 26.0f), 8.0f);
    vyrLucide::drawSlot (g, F ((float) a + 12.0f, 10.0f, 22.0f, 22.0f), "multiBandComp", Colour (kAccent));
    g.setColour (theme.light ? Colour (0xff1a1a1a) : (state.enabled ? Colour (0xff6ee7b7) : Colour (0xccffffff)));
    g.setFont (vyrPanel::font (14.0f, false, theme.titleKerning));
    g.drawText ("M-Band Comp", I (a + 38, 10, 140, 22), juce::Justification::centredLeft, false);
    if (! state.msMode)
        return;
    const auto badge = vyrDeepTone (Colour (state.msChannel == 1 ? kSide : kMid));
    g.setColour (badge);
    g.fillRoundedRectangle (F (12.0f, 40.0f, 92.0f, 16.0f), 4.0f);
    g.setColour (vyrPaleInk (badge));
    g.setFont (vyrPanel::font (9.0f, true));
    g.drawText (state.msChannel == 1 ? "Editing Side" : "Editing Mid", I (12, 40, 92, 16), juce::Justification::centred, false);
    g.setColour (Colour (0x73ffffff));
    g.setFont (vyrPanel::font (9.0f));
    g.drawText (juce::String (juce::CharPointer_UTF8 ("Mid = (L+R)  Side = (L-R)  \xe2\x80\x94 each band's compressor is independent per channel.")),
                I (110, 40, W - 120, 16), juce::Justification::centredLeft, true);
}

void MbcPanel::paintTabs (juce::Graphics& g)
{
    const int W = getWidth(), H = getHeight();
    const bool side = state.msMode && state.msChannel == 1;
    tabCount = state.bandCount;
    const int p = (W - 110) / juce::jmax (state.bandCount, 1), w = juce::jmin (p, 64);
    for (int i = 0; i < tabCount; ++i)
    {
        const int x = 12 + i * (w + 4), y = H - 118;
        tabBounds[i] = { x, y, w, 22 };
        const auto& b = (side ? state.side : state.mid)[i];
        const bool selected = i == selectedBand;
        const auto bc = vyrMbc::bandColour (i);
        const auto r = tabBounds[i].toFloat();
        g.setColour (selected ? bc.withAlpha ((juce::uint8) 0x21) : Colour (0x0dffffff));
        g.fillRoundedRectangle (r, 6.0f);
        g.setColour (selected ? bc : Colour (0x2effffff));
        g.drawRoundedRectangle (r, 6.0f, 1.0f);
        g.setColour (b.on ? bc : Colour (0x4cffffff));
        g.fillEllipse ((float) x + 6.0f, (float) H - 110.0f, 6.0f, 6.0f);
        g.setColour (selected ? bc : Colour (0xa6ffffff));
        g.setFont (vyrPanel::font (10.0f, true));
        g.drawText ("B" + juce::String (i + 1), I (x + 16, y, juce::jmax (w - 16, 0), 22), juce::Justification::centredLeft, false);
        if (b.solo)
        {
            g.setColour (Colour (kMid));
            g.setFont (vyrPanel::font (8.0f, true));
            g.drawText ("S", I (x + w - juce::jmin (p, 12), y, juce::jmin (p, 12), 22), juce::Justification::centred, false);
        }
    }
}
