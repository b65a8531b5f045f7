#include "Ui/ModulePanels/TovuPanel.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/Foundation/VyrTheme.h"

#include <cmath>

namespace
{
using juce::Colour;
using F = juce::Rectangle<float>;
using I = juce::Rectangle<int>;
using namespace vyrTovuLook;

int inset (int T) { return T == VyrThemeId::instrument ? 12 : (T == VyrThemeId::titanium ? 6 : 0); }
}

TovuPanel::TovuPanel (VyrAudioProcessor& p) : processor (p), field (p), preScope (p, false), postScope (p, true)
{
    const Colour accent (kAccent);
    buttonLook = std::make_unique<vyrPanel::ButtonLook> (accent, vyrPanel::ButtonLook::Segment {});
    for (auto* c : std::initializer_list<juce::Component*> { &field, &preScope, &postScope, &powerButton })
        addAndMakeVisible (c);
    powerButton.setLookAndFeel (buttonLook.get());
    powerButton.setClickingTogglesState (true);
    powerButton.onClick = [this] {
        vyrPanel::writeOn (processor.apvts, "tovu_enabled", powerButton.getToggleState());
        syncHeader();
    };
    infoButton.setPanel ("tovu", accent);
    addAndMakeVisible (infoButton);

    frequencyKnob = std::make_unique<HardwareKnob> (processor.apvts, "tovu_frequency", "Frequency", "Hz", accent, 161);
    widthKnob = std::make_unique<HardwareKnob> (processor.apvts, "tovu_width", "Width", "%", accent, 88);
    frequencyKnob->light = widthKnob->light = true; // they stand on the light plate in every identity
    frequencyKnob->skirted = true;
    addAndMakeVisible (*frequencyKnob);
    addAndMakeVisible (*widthKnob);
    startTimer (83);
}

TovuPanel::~TovuPanel()
{
    stopTimer();
    powerButton.setLookAndFeel (nullptr);
    buttonLook.reset();
    widthKnob.reset();
    frequencyKnob.reset();
}

void TovuPanel::syncHeader()
{
    powerButton.setToggleState (vyrPanel::readOn (processor.apvts, "tovu_enabled", false), juce::dontSendNotification);
    field.repaint();
    preScope.repaint();
    postScope.repaint();
    repaint();
}

void TovuPanel::setSlope (int dbPerOctave)
{
    vyrPanel::writeChoice (processor.apvts, "tovu_slope", dbPerOctave == 12 ? 0 : 1);
    repaint();
}

void TovuPanel::timerCallback()
{
    if (! vyrPanel::showing (*this))
        return;
    auto& tree = processor.apvts;
    juce::String now;
    for (auto* id : { "tovu_enabled", "tovu_frequency", "tovu_width", "tovu_slope" })
        now << vyrPanel::read (tree, id, 0.0f) << "|";
    now << processor.themeIndex.load (std::memory_order_acquire);
    if (shown.changed (now))
        syncHeader();
}

void TovuPanel::mouseDown (const juce::MouseEvent& e)
{
    const auto p = e.getPosition();
    if (slope12Bounds.contains (p))
        setSlope (12);
    else if (slope24Bounds.contains (p))
        setSlope (24);
}

void TovuPanel::resized()
{
    const int T = processor.themeIndex.load (std::memory_order_acquire);
    const int W = getWidth(), H = getHeight();
    const int m = T == VyrThemeId::instrument ? 24 : (T == VyrThemeId::titanium ? 18 : 12);
    const int half = H / 2;

    const int hdr = juce::jmin (half, 36), hdrIn = juce::jmax (hdr - 12, 0), innerW = juce::jmax (W - 2 * m, 0);
    const int pw = juce::jmin (innerW, 86);
    powerButton.setBounds (m + innerW - pw, hdrIn / 2 - 7, 86, 26);
    const int rest = innerW - pw, r2 = rest - juce::jmin (rest, 8), ib = juce::jmin (r2, 18);
    infoButton.setBounds (m + r2 - ib - (18 - ib) / 2, (hdrIn - 18) / 2 + 6, 18, 18);

    const int avail = juce::jmax (W - 24, 0), bodyH = juce::jmax (half - hdr - 8, 0);
    const int g = juce::jmax (juce::jmin (avail / 4, bodyH - 12), 96);
    const int fieldMax = juce::jmin (juce::roundToInt ((double) bodyH * 360.0 / 170.0), avail);
    const int fieldW = juce::jmin (juce::jmax (avail - 2 * g, 180), fieldMax);
    const int side = (avail - fieldW) / 2;
    field.setBounds (side + 12, hdr + 4, fieldW, bodyH);
    const int capH = juce::jmin (bodyH, 14), gH = juce::jmax (bodyH - capH - 8, 0), top = hdr + capH + 8;
    const int ls = juce::jmax (side, 12) - 12, p = juce::jmax (juce::jmin (gH, ls), 8);
    preScope.setBounds ((ls - p) / 2 + 18, top + (gH - p) / 2, p, p);
    const int rs = juce::jmax (avail - (side + 12 + fieldW) + 12, 12) - 12, q = juce::jmax (juce::jmin (gH, rs), 8);
    postScope.setBounds (side + 12 + fieldW + (rs - q) / 2 + 6, top + (gH - q) / 2, q, q);

    const int b = H - half, K = juce::jlimit (144, 209, b), bb = juce::jmax (b, 0);
    frequencyKnob->size = K - 48;
    frequencyKnob->setBounds (W / 2 - (K - 40) / 2, half + juce::roundToInt (0.08 * bb), K - 40, K - 20);
    widthKnob->setBounds (W - 120, half + bb - 144, 96, 116);
    slope12Bounds = { 72, half + bb - 92, 36, 24 };
    slope24Bounds = { 114, half + bb - 92, 36, 24 };
}

void TovuPanel::paint (juce::Graphics& g)
{
    const int T = processor.themeIndex.load (std::memory_order_acquire);
    const float W = (float) getWidth(), H = (float) getHeight();
    const float a = dimOf (processor);
    housing.draw (g, getLocalBounds(), vyrClampTheme (T), [&] (juce::Graphics& ig) {
        vyrPaintModuleHousing (ig, F (0.0f, 0.0f, W, H), T, "tovu", Colour (0xff0a0c14), Colour (0xff6366f1));
        const float h2 = (float) juce::jmax (getHeight() / 2, 0);
        {
            juce::Graphics::ScopedSaveState save (ig);
            juce::Path upper;
            upper.addRoundedRectangle (0.0f, 0.0f, W, h2, 12.0f, 12.0f, true, true, false, false);
            ig.reduceClipRegion (upper);
            ig.setGradientFill (juce::ColourGradient (Colour (0xff0c0f18), 0.0f, 0.0f, Colour (0xff070910), 0.0f, h2, false));
            ig.fillRect (F (0.0f, 0.0f, W, h2));
            ig.setColour (Colour (0x0fffffff));
            ig.fillRect (F (0.0f, 0.0f, W, juce::jmin (h2, 1.0f)));
        }
        paintPlate (ig);
    });
    paintHeader (g, inset (T), a);
    paintSlopes (g);

    g.setFont (vyrPanel::font (8.0f, false, 0.1f));
    g.setColour (Colour (kGonio).withAlpha (0.85f * a));
    for (auto* scope : { &preScope, &postScope })
        g.drawText (scope == &preScope ? "PRE" : "POST", I (scope->getX(), scope->getY() - 12, scope->getWidth(), 12),
                    juce::Justification::centred, false);
}

void TovuPanel::paintHeader (juce::Graphics& g, int i, float a)
{
    const float fi = (float) i;
    const Colour accent (kAccent), ink (0xffa5b4fc);
    g.setColour (accent.withAlpha (0.2f * a));
    g.fillRoundedRectangle (F (12.0f + fi, 10.0f, 26.0f, 26.0f), 8.0f);
    g.setColour (ink.withAlpha (a));
    g.drawEllipse (25.0f + fi - 9.1667f, 23.0f - 9.1667f, 2.0f * 9.1667f, 2.0f * 9.1667f, 1.8333f);
    g.fillEllipse (25.0f + fi - 1.2833f, 23.0f - 1.2833f, 2.0f * 1.2833f, 2.0f * 1.2833f);

    const bool on = a >= 1.0f;
    g.setColour (on ? ink : Colour (0xb2ffffff));
    g.setFont (vyrPanel::font (14.0f));
    g.drawText ("Tovu", I (42 + i, 12, 56, 22), juce::Justification::centredLeft, false);
    g.setColour (accent.withAlpha (0.3f * a));
    g.drawRoundedRectangle (F (100.0f + fi, 16.0f, 62.0f, 14.0f), 3.0f, 1.0f);
    g.setColour (ink.withAlpha (0.8f * a));
    g.setFont (vyrPanel::font (8.0f, false, 0.08f));
    g.drawText ("BASS MONO", I (100 + i, 16, 62, 14), juce::Justification::centred, false);
}

void TovuPanel::paintPlate (juce::Graphics& g)
{
    const int Hi = getHeight();
    const float W = (float) getWidth(), H = (float) Hi, half = (float) (Hi / 2);
    const float b = (float) (Hi - Hi / 2), sag = 0.27234f * b;
    g.setColour (Colour (0xff070910));
    g.fillRect (F (0.0f, half, W, b));

    juce::Path curve;
    for (int k = 0; k <= 80; ++k)
    {
        const float x = (float) k * W / 80.0f;
        const float s = std::sin (juce::MathConstants<float>::pi * x / juce::jmax (W, 1.0f));
        const juce::Point<float> pt (x, half + sag * (1.0f - s * s));
        if (k == 0)
            curve.startNewSubPath (pt);
        else
            curve.lineTo (pt);
    }
    juce::Path plate (curve);
    plate.lineTo (W, half + b);
    plate.lineTo (0.0f, half + b);
    plate.closeSubPath();
    juce::ColourGradient metal (Colour (0xffd4cfc2), 0.0f, half, Colour (0xffb6b1a5), 0.0f, H, false);
    metal.addColour (0.45, Colour (0xffcbc6ba));
    g.setGradientFill (metal);
    g.fillPath (plate);
    g.setColour (Colour (0x292e2a27));
    g.fillPath (plate);
    g.setGradientFill (juce::ColourGradient (Colour (0x5a3c4054), 0.0f, half, juce::Colours::transparentBlack, 0.0f, half + sag + 8.0f, false));
    g.fillPath (plate);
    g.setColour (Colour (0x382e2a27));
    g.strokePath (curve, juce::PathStrokeType (1.4f), juce::AffineTransform::translation (0.0f, 1.4f));
    g.setColour (Colour (0x80ffffff));
    g.strokePath (curve, juce::PathStrokeType (0.9f));

    g.setColour (Colour (0xd9cbc6ba));
    g.setFont (vyrPanel::font (13.0f, true, 0.18f));
    g.drawText ("TOVU", I (16, Hi / 2 + 8, 70, 16), juce::Justification::centredLeft, false);
    g.setColour (Colour (0x40cbc6ba));
    g.drawRoundedRectangle (F (82.0f, half + 10.0f, 58.0f, 12.0f), 3.0f, 1.0f);
    g.setColour (Colour (0xcccbc6ba));
    g.setFont (vyrPanel::font (7.0f, true, 0.08f));
    g.drawText ("BASS MONO", F (82.0f, half + 10.0f, 58.0f, 12.0f), juce::Justification::centred, false);
}

void TovuPanel::paintSlopes (juce::Graphics& g)
{
    g.setColour (Colour (0xb22e2a27));
    g.setFont (vyrPanel::font (10.0f, false, 0.1f));
    g.drawText ("SLOPE", I (slope12Bounds.getX(), slope12Bounds.getY() - 16, 80, 14), juce::Justification::centred, false);
    const int index = juce::roundToInt (vyrPanel::read (processor.apvts, "tovu_slope", 0.0f));
    for (auto [bounds, label, selected] : { std::tuple<I, const char*, bool> { slope12Bounds, "12", index == 0 },
                                            { slope24Bounds, "24", index != 0 } })
    {
        const auto r = bounds.toFloat();
        if (selected)
        {
            g.setColour (Colour (kAccent));
            g.fillRoundedRectangle (r, 4.0f);
        }
        else
        {
            g.setColour (Colour (0x0f2e2a27));
            g.fillRoundedRectangle (r, 4.0f);
            g.setColour (Colour (0x332e2a27));
            g.drawRoundedRectangle (r, 4.0f, 1.0f);
        }
        g.setColour (selected ? juce::Colours::white : Colour (0xb22e2a27));
        g.setFont (vyrPanel::font (11.0f, true));
        g.drawText (label, bounds, juce::Justification::centred, false);
    }
    g.setColour (Colour (0x802e2a27));
    g.setFont (vyrPanel::font (8.0f));
    g.drawText ("dB/oct", I (slope12Bounds.getX(), slope12Bounds.getBottom() + 2, 80, 12), juce::Justification::centred, false);
}
