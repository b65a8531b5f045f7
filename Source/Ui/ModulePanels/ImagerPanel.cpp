#include "Ui/ModulePanels/ImagerPanel.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/Foundation/VyrTheme.h"

#include <cmath>

namespace
{
using juce::Colour;
using F = juce::Rectangle<float>;
using I = juce::Rectangle<int>;

Colour accentA (juce::uint8 a) { return Colour (ImagerPanel::kAccent).withAlpha (a); }
Colour whiteA (juce::uint8 a) { return juce::Colours::white.withAlpha (a); }
juce::String signedTwo (float v) { return (v >= 0.0f ? "+" : "") + juce::String (v, 2); }
}

ImagerPanel::ImagerPanel (VyrAudioProcessor& p) : processor (p), gonio (p), range (p)
{
    const Colour accent (kAccent);
    const Colour segmentLit = vyrDeepTone (Colour (0xff14b8a6));
    buttonLook = std::make_unique<vyrPanel::ButtonLook> (
        accent, vyrPanel::ButtonLook::Segment { "img-seg", segmentLit, Colour (0x66000000), Colour (0x8cffffff), 10.0f });
    for (auto* b : { &lrButton, &msButton, &powerButton })
    {
        b->setLookAndFeel (buttonLook.get());
        b->setClickingTogglesState (true);
    }
    lrButton.setComponentID ("img-seg");
    msButton.setComponentID ("img-seg");
    lrButton.onClick = [this] {
        vyrPanel::writeOn (processor.apvts, "stereoImager_inputMs", false);
        syncHeader();
    };
    msButton.onClick = [this] {
        vyrPanel::writeOn (processor.apvts, "stereoImager_inputMs", true);
        syncHeader();
    };
    powerButton.onClick = [this] {
        vyrPanel::writeOn (processor.apvts, "stereoImager_enabled", powerButton.getToggleState());
        syncHeader();
    };
    for (auto* c : std::initializer_list<juce::Component*> { &gonio, &range, &lrButton, &msButton, &powerButton })
        addAndMakeVisible (c);
    infoButton.setPanel ("stereoimager", accent);
    addAndMakeVisible (infoButton);

    auto& tree = processor.apvts;
    crossoverKnob = std::make_unique<HardwareKnob> (tree, "stereoImager_crossover", "Crossover", "Hz", accent, 48);
    directionKnob = std::make_unique<HardwareKnob> (tree, "stereoImager_direction", "Direction", juce::String (juce::CharPointer_UTF8 ("\xc2\xb0")), accent, 62);
    mixKnob = std::make_unique<HardwareKnob> (tree, "stereoImager_mix", "Mix", "%", accent, 48);
    directionKnob->bipolar = true;
    directionKnob->skirted = true;
    mixKnob->skirted = true;
    const bool light = vyrTheme (processor.themeIndex).light;
    for (auto* k : { crossoverKnob.get(), directionKnob.get(), mixKnob.get() })
        k->light = light;

    // The hook follows the user's own turns only: a turn (drag, reset) is framed by the slider's drag
    // notifications, while automation, recall and recipes move the knob through its attachment alone.
    auto& slider = directionKnob->slider;
    slider.onDragStart = [this] { userTurning = true; };
    slider.onDragEnd = [this] {
        userTurning = false;
        turning.reset();
    };
    slider.onValueChange = [this] { directionTurned(); };
    for (auto* k : { crossoverKnob.get(), directionKnob.get(), mixKnob.get() })
        addAndMakeVisible (*k);

    ready = true;
    startTimer (66);
}

ImagerPanel::~ImagerPanel()
{
    stopTimer();
    turning.reset();
    for (auto* b : { &lrButton, &msButton, &powerButton })
        b->setLookAndFeel (nullptr);
    buttonLook.reset();
    mixKnob.reset();
    directionKnob.reset();
    crossoverKnob.reset();
}

void ImagerPanel::syncHeader()
{
    auto& tree = processor.apvts;
    const bool ms = vyrPanel::readOn (tree, "stereoImager_inputMs", false);
    powerButton.setToggleState (vyrPanel::readOn (tree, "stereoImager_enabled", false), juce::dontSendNotification);
    lrButton.setToggleState (! ms, juce::dontSendNotification);
    msButton.setToggleState (ms, juce::dontSendNotification);
}

void ImagerPanel::timerCallback()
{
    if (! vyrPanel::showing (*this))
        return;
    syncHeader();
    auto& tree = processor.apvts;
    juce::String now;
    for (auto* id : { "stereoImager_enabled", "stereoImager_inputMs", "stereoImager_crossover", "stereoImager_spreadLo", "stereoImager_width" })
        now << vyrPanel::read (tree, id, 0.0f) << "|";
    now << processor.themeIndex.load (std::memory_order_acquire);
    if (shown.changed (now))
    {
        range.repaint();
        repaint();
    }
}

void ImagerPanel::directionTurned()
{
    directionKnob->repaint();
    if (syncing || ! ready || ! userTurning)
        return;
    syncing = true;
    const float d = (float) directionKnob->slider.getValue();
    float lo, hi;
    range.readRange (lo, hi);
    float J = (hi - lo) / 2.0f;
    if (J < 0.25f)
        J = 1.0f;
    const float z = juce::jlimit (J - 3.0f, 3.0f - J, d / 60.0f);
    if (turning == nullptr)
        turning = std::make_unique<vyrPanel::GestureSpan> (processor.apvts);
    turning->write ("stereoImager_spreadLo", z - J);
    turning->write ("stereoImager_width", z + J);
    // The knob's own gesture is open: where the range stops the angle, write it back inside it.
    if (auto* dir = processor.apvts.getParameter ("stereoImager_direction"))
    {
        const float v = dir->convertTo0to1 (z * 60.0f);
        if (std::abs (dir->getValue() - v) >= 1.0e-7f)
            dir->setValueNotifyingHost (v);
    }
    syncing = false;
    range.repaint();
}

void ImagerPanel::resized()
{
    const int T = processor.themeIndex.load (std::memory_order_acquire);
    const int W = getWidth(), H = getHeight();
    const int m = T == VyrThemeId::instrument ? 28 : (T == VyrThemeId::titanium ? 22 : 16);
    const int innerW = juce::jmax (W - 2 * m, 0), bodyH = juce::jmax (H - 24, 0);
    const int hdr = juce::jmin (bodyH, 32), rest = bodyH - hdr, gap = juce::jmin (rest, 6);

    const int pw = juce::jmin (innerW, 86);
    powerButton.setBounds (m + innerW - pw, hdr / 2 - 1, 86, 26);
    const int rest2 = innerW - pw, r2 = rest2 - juce::jmin (rest2, 8), ib = juce::jmin (r2, 18);
    infoButton.setBounds (m + r2 - ib - (18 - ib) / 2, (hdr - 18) / 2 + 12, 18, 18);

    const int top = hdr + gap + 12, bH = juce::jmax (rest - gap, 0), leftW = innerW / 2, rightW = innerW - leftW;
    const int gS = juce::jmax (leftW, 16) - 16;
    const int size = juce::jmin (juce::jmax (bH, 148) - 28, gS);
    gonio.setBounds (m + (gS - size) / 2 + 8, top + (juce::jmin (bH, size) - size) / 2, size, size);

    const int colX = leftW + m + 8, rW = juce::jmax (rightW - 16, 0);
    const int bh = juce::jmin (bH, 24), a = juce::jmin (rW, 36);
    lrButton.setBounds (colX, top, a, bh);
    msButton.setBounds (colX + a, top, juce::jmin (rW - a, 36), bh);

    int rem = bH - bh;
    auto take = [&rem] (int want) { const int n = juce::jmin (rem, want); rem -= n; return n; };
    const int g1 = take (4), k1 = take (76), k2 = take (90), s = take (36), g2 = take (36), k3 = take (76);
    crossoverKnob->setBounds (colX + (rW - 64) / 2, top + bh + g1 - (76 - k1) / 2, 64, 76);
    const int y2 = top + bh + g1 + k1;
    directionKnob->setBounds (colX + (rW - 78) / 2, y2 - (90 - k2) / 2, 78, 90);
    const int y3 = y2 + k2;
    range.setBounds (leftW + m + 12, y3, juce::jmax (rightW - 16, 8) - 8, s);
    mixKnob->setBounds (colX + (rW - 64) / 2, y3 + s + g2 - (76 - k3) / 2, 64, 76);
}

void ImagerPanel::paint (juce::Graphics& g)
{
    const int T = vyrPanel::identity (processor);
    const int W = getWidth(), H = getHeight();
    const int i = T == VyrThemeId::instrument ? 12 : (T == VyrThemeId::titanium ? 6 : 0);
    const auto& theme = vyrTheme (T);
    auto& tree = processor.apvts;

    housing.draw (g, getLocalBounds(), T, [&] (juce::Graphics& ig) {
        vyrPaintModuleHousing (ig, F (0.0f, 0.0f, (float) W, (float) H), T, "stereoImager", Colour (0x3313443a), Colour (0xff14b8a6));
    });
    for (auto* k : { crossoverKnob.get(), directionKnob.get(), mixKnob.get() })
        k->light = theme.light;

    g.setColour (accentA (0x33));
    g.fillRoundedRectangle (F (16.0f + (float) i, 14.0f, 26.0f, 26.0f), 8.0f);
    const F icon (18.0f + (float) i, 16.0f, 22.0f, 22.0f);
    for (auto* d : { "M12 3H5a2 2 0 0 0-2 2v14a2 2 0 0 0 2 2h14a2 2 0 0 0 2-2v-7", "M14 15H9v-5", "M16 3h5v5", "M21 3 9 15" })
        vyrLucide::strokeD (g, icon, Colour (0xff5eead4), d);

    const bool on = vyrPanel::readOn (tree, "stereoImager_enabled", false);
    g.setColour (theme.light ? Colour (0xff1a1a1a) : (on ? Colour (kAccent) : whiteA (0xcc)));
    g.setFont (vyrPanel::font (14.0f, false, theme.titleKerning));
    g.drawText ("Stereo Imager", I (48 + i, 16, 140, 22), juce::Justification::centredLeft, false);

    g.setColour (accentA (0x4c));
    g.drawRoundedRectangle (F (190.0f, 20.0f, 92.0f, 14.0f), 3.0f, 1.0f);
    g.setColour (accentA (0xcc));
    g.setFont (vyrPanel::font (8.0f, false, 0.08f));
    g.drawText ("DIRECTION ROTATOR", I (190, 20, 92, 14), juce::Justification::centred, false);

    const auto lr = lrButton.getBounds(), ms = msButton.getBounds();
    g.setColour (whiteA (0x80));
    g.setFont (vyrPanel::font (9.0f, false, 0.08f));
    g.drawText ("INPUT", I (lr.getX() - 40, lr.getY() + 4, 38, 16), juce::Justification::centredRight, false);
    g.drawText ("XOVER", I (ms.getRight() + 12, lr.getY() + 4, 44, 16), juce::Justification::centredLeft, false);
    g.setColour (Colour (0xff5eead4));
    g.setFont (vyrPanel::font (11.0f));
    g.drawText (juce::String (juce::roundToInt (vyrPanel::read (tree, "stereoImager_crossover", 200.0f))) + " Hz",
                I (ms.getRight() + 56, lr.getY() + 2, 70, 18), juce::Justification::centredLeft, false);

    float lo, hi;
    range.readRange (lo, hi);
    const auto rg = range.getBounds();
    g.setFont (vyrPanel::font (10.0f));
    g.setColour (whiteA (0x80));
    g.drawText ("Spread", I (rg.getX(), rg.getY() - 14, 50, 12), juce::Justification::centredLeft, false);
    g.setColour (Colour (kAccent));
    g.drawText (signedTwo (lo) + juce::String (juce::CharPointer_UTF8 (" \xe2\x80\xa6 ")) + signedTwo (hi),
                I (rg.getRight() - 120, rg.getY() - 14, 120, 12), juce::Justification::centredRight, false);

    g.setFont (vyrPanel::font (8.0f));
    g.setColour (whiteA (0x66));
    g.drawText ("-3", I (rg.getX(), rg.getBottom(), 24, 10), juce::Justification::centredLeft, false);
    g.drawText ("0", I (rg.getX() + rg.getWidth() / 2 - 10, rg.getBottom(), 20, 10), juce::Justification::centred, false);
    g.drawText ("+3", I (rg.getRight() - 24, rg.getBottom(), 24, 10), juce::Justification::centredRight, false);
    g.setColour (whiteA (0x4c));
    g.drawText ("wide", I (rg.getX(), rg.getBottom() + 10, 32, 10), juce::Justification::centredLeft, false);
    g.drawText ("mono", I (rg.getX() + rg.getWidth() / 2 - 16, rg.getBottom() + 10, 32, 10), juce::Justification::centred, false);
    g.drawText ("wide", I (rg.getRight() - 32, rg.getBottom() + 10, 32, 10), juce::Justification::centredRight, false);

    const int M = mixKnob->getY();
    const int mid = rg.getX() + rg.getWidth() / 2;
    g.setColour (whiteA (0x1a));
    g.fillRect (rg.getX(), M - 42, rg.getWidth(), 1);
    g.setFont (vyrPanel::font (10.0f));
    g.setColour (whiteA (0x80));
    g.drawText ("Width", I (rg.getX() + 20, M - 36, 50, 12), juce::Justification::centredLeft, false);
    g.drawText ("Centre (Direction)", I (mid + 8, M - 36, 120, 12), juce::Justification::centredLeft, false);
    g.setColour (Colour (kAccent));
    g.drawText (juce::String ((hi - lo) / 2.0f, 2) + "x", I (rg.getX() + 20, M - 24, 50, 14), juce::Justification::centredLeft, false);
    g.drawText (signedTwo ((lo + hi) / 2.0f), I (mid + 8, M - 24, 80, 14), juce::Justification::centredLeft, false);
    g.setColour (whiteA (0x33));
    g.drawText (juce::String (juce::CharPointer_UTF8 ("\xc2\xb7")), I (mid - 6, M - 28, 12, 14), juce::Justification::centred, false);

    const auto gb = gonio.getBounds();
    if (gb.getWidth() >= 41)
    {
        g.setFont (vyrPanel::font (9.0f));
        g.setColour (whiteA (0x66));
        const int y = gb.getBottom() + 4;
        g.drawText (juce::String (juce::CharPointer_UTF8 ("+1 \xc2\xb7 mono")), I (gb.getX(), y, 80, 12), juce::Justification::centredLeft, false);
        g.drawText ("correlation", I (gb.getX() + gb.getWidth() / 2 - 40, y, 80, 12), juce::Justification::centred, false);
        g.drawText (juce::String (juce::CharPointer_UTF8 ("-1 \xc2\xb7 out-of-phase")), I (gb.getRight() - 110, y, 110, 12),
                    juce::Justification::centredRight, false);
    }
}
