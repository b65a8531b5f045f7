#include "Ui/FxChain/FxLayout.h"
#include "Ui/FxChain/VyrModuleGraphModel.h"

#include "Core/PluginProcessor.h"
#include "Ui/Controls/FactoryPresetBrowser.h"
#include "Ui/Controls/LedMeter.h"
#include "Ui/Controls/LevelMeterView.h"
#include "Ui/Controls/OutputAnalyzerView.h"
#include "Ui/Controls/VuMeter.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/Foundation/VyrTheme.h"
#include "Ui/FxChain/FxPainting.h"
#include "Ui/FxChain/StudioComponent.h"

using juce::Colour;
using juce::Rectangle;

namespace vyrFxLayout
{
juce::Array<int> splitCells (int width, int count, int minWidth)
{
    juce::Array<int> cells;
    int rem = width;
    for (int i = 0; i < count; ++i)
    {
        int cell = i == count - 1 ? rem : juce::jmin (juce::jmax (rem / (count - i), minWidth), rem);
        cell = juce::jmax (cell, 0);
        cells.add (cell);
        rem -= cell;
    }
    return cells;
}
}

namespace
{
template <typename Button, size_t N>
void setVisibleAll (Button (&group)[N], bool visible)
{
    for (auto& b : group)
        b.setVisible (visible);
}

void setTextIfChanged (juce::Button& b, const juce::String& text)
{
    if (b.getButtonText() != text)
        b.setButtonText (text);
}

bool isPanelModule (const juce::String& key)
{
    return key == "eq" || key == "dynamicEq" || key == "multiBandComp" || key == "tovu" || key == "stereoImager" || key == "limiter";
}
} // namespace

void StudioComponent::resized()
{
    syncLiveViews();
    const int W = getWidth(), H = getHeight();
    const bool chain = isChainProduct();
    auto on = [this] (const char* id, float fallback) { return paramValue (id, fallback) >= 0.5f; };
    auto index = [this] (const char* id, float fallback) { return juce::roundToInt (paramValue (id, fallback)); };
    const bool linked = on ("linkLR", 1.0f);

    // Step 1: the page frame.
    const int leftW = W - juce::jmin (W, 212);
    if (! chain)
    {
        for (auto* c : std::initializer_list<juce::Component*> { &showAllButton, &onlyUsedButton, &tray, presetBrowser.get(),
                                                                 &linkButton, &bypassButton, &monoButton, &resetButton, &chainInfo,
                                                                 &meterInfo, &horizontalButton, &verticalButton, &detailButton })
            if (c != nullptr)
                c->setVisible (false);
        for (auto* f : ioFaders)
            f->setVisible (false);
        setVisibleAll (scaleButtons, false);
        setVisibleAll (meterViewButtons, false);
        panelMode = false;
    }
    else
    {
        const int cw = juce::jmin (W, 212);
        const int colX = leftW + 8, colW = juce::jmax (cw - 16, 0);
        const int hh = juce::jmin (juce::jmax (H - 16, 0), 32);
        const int body = juce::jmax (H - 16, 0) - hh;
        const int block = juce::jmin (body, 134);
        const int meterH = body - block;

        linkButton.setBounds (colX + (colW - 64) / 2, hh / 2 - 4, 64, 24);

        int y = hh + 8 + meterH, rem = block;
        const int half = (colW - 8) / 2;
        auto take = [&rem] (int want) { const int t = juce::jmin (rem, want); rem -= t; return t; };
        auto row = [&] (juce::Component* left, juce::Component* right)
        {
            const int h = juce::jmin (rem, 22);
            if (right == nullptr)
                left->setBounds (colX, y, colW, h);
            else
            {
                left->setBounds (colX, y, half, h);
                right->setBounds (colX + colW - half, y, half, h);
            }
            rem -= h;
            y += h;
        };
        y += take (14);
        row (&scaleButtons[0], &scaleButtons[1]);
        y += take (8);
        row (&scaleButtons[2], &scaleButtons[3]);
        y += take (8);
        row (&bypassButton, &monoButton);
        y += take (8);
        row (&resetButton, nullptr);
        for (auto* c : std::initializer_list<juce::Component*> { &linkButton, &bypassButton, &monoButton, &resetButton })
            c->setVisible (true);
        setVisibleAll (scaleButtons, true);

        const int d = linked ? 28 : 36;
        const int lw = juce::jmin (colW, d);
        const int g1 = juce::jmin (colW - lw, 2);
        const int w1 = colW - lw - g1;
        const int rw = juce::jmin (w1, d);
        const int w3 = w1 - rw - juce::jmin (w1 - rw, 2);
        const int inW = juce::jmin (w3, juce::jmax (36, (w3 - 18) / 2));
        const int mx = colX + lw + g1 + 1;
        if (inMeter != nullptr)
        {
            inMeter->setBounds (mx, hh + 10, juce::jmax (inW - 2, 0), juce::jmax (meterH - 4, 0));
            outMeter->setBounds (mx + inW, hh + 10, juce::jmax (w3 - inW - 2, 0), juce::jmax (meterH - 4, 0));
        }
        auto layoutFaderPair = [&] (int first, int second, Rectangle<int> area)
        {
            auto* a = ioFaders[first];
            auto* b = ioFaders[second];
            a->compact = b->compact = ! linked;
            a->caption = linked ? (first == 0 ? "IN" : "OUT") : "L";
            b->caption = "R";
            a->setVisible (true);
            b->setVisible (! linked);
            if (linked)
            {
                a->setBounds (area.getX() + 1, area.getY(), juce::jmax (area.getWidth() - 2, 0), juce::jmax (area.getHeight(), 0));
                b->setBounds ({});
            }
            else
            {
                const int hw = area.getWidth() / 2;
                a->setBounds (area.getX() + 1, area.getY(), juce::jmax (hw - 2, 0), juce::jmax (area.getHeight(), 0));
                b->setBounds (area.getX() + 1 + hw, area.getY(), juce::jmax (area.getWidth() - hw - 2, 0), juce::jmax (area.getHeight(), 0));
            }
            a->toFront (false);
            if (! linked)
                b->toFront (false);
        };
        layoutFaderPair (0, 1, { colX, hh + 8, lw, meterH });
        layoutFaderPair (2, 3, { colX + colW - rw, hh + 8, rw, meterH });

        chainInfo.setBounds (110, 8, 18, 18);
        showAllButton.setBounds (chainInfo.getRight() + 8, 6, 40, 22);
        onlyUsedButton.setBounds (showAllButton.getRight() + 6, 6, 78, 22);
        showAllButton.setVisible (true);
        onlyUsedButton.setVisible (true);
        if (presetBrowser != nullptr)
        {
            presetBrowser->setBounds (juce::jmax (leftW - 208, onlyUsedButton.getRight() + 12), 5, 196, 24);
            presetBrowser->setVisible (true);
        }
        tray.setVisible (true);
        tray.setBounds (8, 40, juce::jmax (leftW, 32) - 16, 88);
        tray.selectedModule = selectedSlot;
        tray.overviewMode = panelMode;
        tray.repaint();
        tray.toFront (false);
    }

    // Step 2: which module controls show.
    const auto key = moduleId();
    auto is = [&] (const char* k) { return ! panelMode && key == k; };
    const bool compressor = is ("compressor"), saturation = is ("saturation"), density = is ("analogueDensity"),
               clip = is ("clip"), tape = is ("tape"), delay = is ("delay"), reverb = is ("reverb");
    const bool panelModule = ! panelMode && isPanelModule (key);
    const int note = index ("delay_syncNote", 0.0f);

    setVisibleAll (characterButtons, compressor || saturation);
    msButton.setVisible (compressor);
    powerButton.setVisible (! panelMode && ! panelModule);
    if (vuMeter != nullptr) vuMeter->setVisible (chain && panelMode && meterView == 0);
    if (levelMeter != nullptr) levelMeter->setVisible (chain && panelMode && meterView == 1);
    if (outputAnalyzer != nullptr) outputAnalyzer->setVisible (chain && panelMode && meterView == 2);
    setVisibleAll (meterViewButtons, chain && panelMode);
    for (auto* b : { &horizontalButton, &verticalButton, &detailButton })
        b->setVisible (chain && panelMode && meterView == 1);
    tapeMachineBox.setVisible (tape);
    setVisibleAll (tapeSpeedButtons, tape);
    setVisibleAll (satFreqButtons, density);
    setVisibleAll (calibrationButtons, density);
    for (auto* b : { &airButton, &altTubeButton, &densityInOutButton, &vuButton, &ppmButton })
        b->setVisible (density);
    setVisibleAll (clipViewButtons, clip);
    if (harshnessKnob != nullptr) harshnessKnob->setVisible (clip && clipView == 2);
    if (clipMixFader != nullptr) clipMixFader->setVisible (clip && clipView == 2);
    setVisibleAll (syncModeButtons, delay);
    setVisibleAll (delayStyleButtons, delay);
    bpmDownButton.setVisible (delay);
    bpmUpButton.setVisible (delay);
    setVisibleAll (noteButtons, delay && note >= 1);
    setVisibleAll (reverbViewButtons, reverb);
    setVisibleAll (reverbTypeButtons, reverb);
    powerButton.setComponentID (delay || reverb ? "tc-power" : "");

    // Step 3: the module header.
    const auto R = moduleRect();
    const int theme = processor.themeIndex.load();
    const int ti = theme == 5 ? 20 : (theme == 2 ? 14 : 8);
    auto placePowerLikeCompressor = [&]
    {
        powerButton.setBounds (R.getRight() - juce::jmax (ti, 16) - 86, R.getY() + juce::jmax (ti, 18) - 10, 86, 26);
    };
    if (panelMode)
    {
        meterViewButtons[0].setBounds (R.getX() + 54, R.getY() + 8, 92, 22);
        meterViewButtons[1].setBounds (R.getX() + 148, R.getY() + 8, 56, 22);
        meterViewButtons[2].setBounds (R.getX() + 206, R.getY() + 8, 104, 22);
        if (meterView == 1)
        {
            detailButton.setBounds (R.getRight() - 104, R.getY() + 8, 92, 22);
            verticalButton.setBounds (R.getRight() - 136, R.getY() + 8, 28, 22);
            horizontalButton.setBounds (R.getRight() - 168, R.getY() + 8, 28, 22);
        }
        const Rectangle<int> viewArea (R.getX() + 12, R.getY() + 36, juce::jmax (R.getWidth() - 24, 0), R.getHeight() > 44 ? R.getHeight() - 44 : 0);
        for (auto* v : std::initializer_list<juce::Component*> { vuMeter.get(), levelMeter.get(), outputAnalyzer.get() })
            if (v != nullptr)
            {
                v->setBounds (viewArea);
                v->toFront (false);
            }
        for (auto& b : meterViewButtons)
            b.toFront (false);
        if (meterView == 1)
            for (auto* b : { &horizontalButton, &verticalButton, &detailButton })
                b->toFront (false);
    }
    else if (compressor || saturation)
    {
        const auto cells = vyrFxLayout::splitCells (R.getWidth() - 32, 5, 0);
        const char* const names[2][5] = { { "Digital", "Studio VCA", "Studio FET", "Vintage Opto", "Vintage FET" },
                                          { "Tube", "Tape", "Trans", "Opto", "Clean" } };
        const int lit = compressor ? index ("compressor_character", 0.0f) : index ("saturation_mode", 0.0f);
        int x = R.getX() + 16;
        for (int i = 0; i < 5; ++i)
        {
            auto& b = characterButtons[i];
            b.setBounds (x + 2, R.getY() + 37, juce::jmax (cells[i] - 4, 0), 20);
            x += cells[i];
            b.setColour (juce::TextButton::buttonOnColourId, Colour (compressor ? 0xff446079 : 0xfffb923c));
            b.setColour (juce::TextButton::textColourOffId, Colour (0xffd4d8de));
            setTextIfChanged (b, names[compressor ? 0 : 1][i]);
            b.setToggleState (i == lit, juce::dontSendNotification);
        }
        placePowerLikeCompressor();
        if (compressor)
            msButton.setBounds (R.getRight() - juce::jmax (ti, 16) - 166, R.getY() + juce::jmax (ti, 18) - 9, 72, 24);
        powerButton.setColour (juce::TextButton::buttonOnColourId, Colour (saturation ? 0xfffb923c : 0xff5b7a99));
        powerButton.setColour (juce::TextButton::textColourOnId, juce::Colours::white);
    }
    else if (delay || reverb)
    {
        powerButton.setBounds (R.getRight() - 104, R.getY() + 8, 86, 26);
        powerButton.setColour (juce::TextButton::buttonOnColourId, Colour (0xffd97706));
        powerButton.setColour (juce::TextButton::textColourOnId, Colour (0xffd4dce2));
        powerButton.setColour (juce::TextButton::buttonColourId, Colour (0xff3a3d42));
        powerButton.setColour (juce::TextButton::textColourOffId, Colour (0xff9a9da2));
    }
    else
    {
        powerButton.setBounds (R.getRight() - 102 - (theme == 5 ? 4 : 0), R.getY() + 8 + (theme == 5 ? 2 : 0), 86, 26);
        powerButton.setColour (juce::TextButton::buttonOnColourId, Colour (0xff5b7a99));
        powerButton.setColour (juce::TextButton::textColourOnId, juce::Colours::white);
    }

    // Step 4: the module bodies.
    if (tape)
    {
        tapeMachineBox.setBounds (R.getX() + 24, R.getY() + 40, 150, 20);
        if (dynamic_cast<juce::AudioParameterChoice*> (processor.apvts.getParameter ("tape_preset")) != nullptr)
            tapeMachineBox.setSelectedItemIndex (index ("tape_preset", 0.0f), juce::dontSendNotification);
        for (int i = 0; i < 3; ++i)
        {
            tapeSpeedButtons[i].setBounds (R.getX() + 180 + 44 * i, R.getY() + 40, 40, 20);
            tapeSpeedButtons[i].setToggleState (index ("tape_speed", 1.0f) == i, juce::dontSendNotification);
        }
    }
    if (density)
        layoutDensity (R);
    if (clip)
    {
        const Rectangle<int> P = clipView == 2 ? Rectangle<int> (R.getX() + 12, R.getY() + 36, R.getWidth() - 24, R.getHeight() - 48)
                                               : Rectangle<int> (R.getX() + 16, R.getY() + 36, R.getWidth() - 32, juce::jmax (R.getHeight() - 144, 140));
        clipViewButtons[0].setBounds (P.getX() + 8, P.getY() + 8, 78, 20);
        clipViewButtons[1].setBounds (clipViewButtons[0].getRight() + 8, P.getY() + 8, 64, 20);
        clipViewButtons[2].setBounds (clipViewButtons[1].getRight() + 8, P.getY() + 8, 70, 20);
        if (clipView == 2 && harshnessKnob != nullptr && clipMixFader != nullptr)
        {
            const int K = P.getHeight() < 184 ? 128 : (P.getHeight() < 232 ? P.getHeight() - 56 : 176);
            const int L = P.getX() + juce::jmax ((P.getWidth() - K - 108) / 2, 12);
            const int M = P.getHeight() - K - 28;
            harshnessKnob->size = K;
            harshnessKnob->setBounds (L, P.getY() + (M > 57 ? M / 2 : 28), K + 8, K + 28);
            harshnessKnob->resized();
            clipMixFader->setBounds (L + K + 36, P.getY() + 36, 72, P.getHeight() < 173 ? 120 : P.getHeight() - 52);
            harshnessKnob->toFront (false);
            clipMixFader->toFront (false);
        }
        for (auto& b : clipViewButtons)
            b.toFront (false);
    }
    if (delay)
    {
        syncModeButtons[0].setBounds (R.getX() + 168, R.getY() + 9, 44, 22);
        syncModeButtons[1].setBounds (syncModeButtons[0].getRight() + 8, R.getY() + 9, 44, 22);
        syncModeButtons[0].setToggleState (note == 0, juce::dontSendNotification);
        syncModeButtons[1].setToggleState (note > 0, juce::dontSendNotification);
        const auto T = makeTcLayout (R, juce::jmax (tcFaders.size(), 1), note > 0);
        auto placeRow = [] (auto& group, int count, Rectangle<int> row, int minWidth, auto isLit)
        {
            const auto cells = vyrFxLayout::splitCells (row.getWidth(), count, minWidth);
            int x = row.getX();
            for (int i = 0; i < count; ++i)
            {
                group[i].setBounds (x + 1, row.getY() + 1, juce::jmax (cells[i] - 2, 0), juce::jmax (row.getHeight() - 2, 0));
                group[i].setToggleState (isLit (i), juce::dontSendNotification);
                x += cells[i];
            }
        };
        placeRow (delayStyleButtons, 8, T.rowLeft, 44, [this] (int i) { return delayStyle == i; });
        if (note > 0)
            placeRow (noteButtons, 6, T.noteRow, 0, [note] (int i) { return note == i + 1; });
        bpmDownButton.setBounds (T.minusBox);
        bpmUpButton.setBounds (T.plusBox);
        int y = T.faders.getY(), rem = T.faders.getHeight();
        for (auto* f : tcFaders)
        {
            const int h = juce::jmin (rem, 44);
            f->setBounds (T.faders.getX(), y, T.faders.getWidth(), h);
            y += h;
            rem -= h;
        }
    }
    if (reverb)
    {
        reverbViewButtons[0].setBounds (R.getX() + 168, R.getY() + 9, 44, 22);
        reverbViewButtons[1].setBounds (reverbViewButtons[0].getRight() + 8, R.getY() + 9, 36, 22);
        reverbViewButtons[0].setToggleState (reverbView == 0, juce::dontSendNotification);
        reverbViewButtons[1].setToggleState (reverbView == 1, juce::dontSendNotification);
        const auto T = makeTcLayout (R, 4, false);
        const auto cells = vyrFxLayout::splitCells (T.rowLeft.getWidth(), 7, 52);
        int x = T.rowLeft.getX();
        for (int i = 0; i < 7; ++i)
        {
            reverbTypeButtons[i].setBounds (x + 1, T.rowLeft.getY() + 1, juce::jmax (cells[i] - 2, 0), juce::jmax (T.rowLeft.getHeight() - 2, 0));
            reverbTypeButtons[i].setToggleState (reverbType == i, juce::dontSendNotification);
            x += cells[i];
        }
        const auto F = T.faders;
        int y = F.getY(), rem = F.getHeight();
        auto rowH = [&rem] { const int h = juce::jmin (rem, 44); rem -= h; return h; };
        if (tcFaders.size() == 5)
        {
            for (int r = 0; r < 4; ++r)
            {
                const int h = rowH();
                if (r == 2)
                {
                    const int lw = juce::jmin (juce::jmax ((juce::jmax (R.getWidth(), 33) - 40) / 2, 40), F.getWidth());
                    const int gap = juce::jmin (F.getWidth() - lw, 8);
                    tcFaders[2]->setBounds (F.getX(), y, lw, h);
                    tcFaders[3]->setBounds (F.getX() + lw + gap, y, F.getWidth() - lw - gap, h);
                }
                else
                    tcFaders[r == 3 ? 4 : r]->setBounds (F.getX(), y, F.getWidth(), h);
                y += h;
            }
        }
        else
            for (auto* f : tcFaders)
            {
                const int h = rowH();
                f->setBounds (F.getX(), y, F.getWidth(), h);
                y += h;
            }
    }
    if (panelModule)
        for (auto& slot : panels)
            if (slot.panel != nullptr)
                slot.panel->setBounds (R);

    // Step 5: power and global toggles.
    const bool enabled = on ((key + "_enabled").toRawUTF8(), 0.0f);
    setTextIfChanged (powerButton, enabled ? "ON" : "OFF");
    powerButton.setToggleState (enabled, juce::dontSendNotification);
    bypassButton.setToggleState (on ("bypass", 0.0f), juce::dontSendNotification);
    monoButton.setToggleState (on ("mono", 0.0f), juce::dontSendNotification);

    // Step 6: help buttons.
    chainInfo.setVisible (chain);
    if (chain)
    {
        chainInfo.setBounds (110, 8, 18, 18);
        chainInfo.toFront (false);
    }
    const bool moduleHelp = ! panelMode && ! panelModule;
    moduleInfo.setVisible (moduleHelp);
    if (moduleHelp)
    {
        moduleInfo.setPanel (key, vyrFxColour (key));
        const int X = compressor ? msButton.getX() : powerButton.getX();
        moduleInfo.setBounds (X - 26, powerButton.getY() + 4, 18, 18);
        moduleInfo.toFront (false);
    }
    meterInfo.setVisible (chain && panelMode);
    if (chain && panelMode)
    {
        const int view = juce::jlimit (0, 2, meterView);
        const char* const keys[3] = { "vu", "level", "output" };
        const juce::uint32 accents[3] = { 0xfffbbf24, 0xff22d3ee, 0xff34506b };
        meterInfo.setPanel (keys[view], Colour (accents[view]));
        meterInfo.setBounds (R.getX() + 52 + (theme == 5 ? 12 : (theme == 2 ? 6 : 0)), R.getY() + 10, 18, 18);
        meterInfo.toFront (true);
    }

    // Step 7: knob and strip sets.
    if (saturation && ! strips.isEmpty())
    {
        const int s = juce::roundToInt (juce::jmin ((float) (R.getHeight() - 84), (R.getWidth() - 32) * 0.46f, 320.0f));
        const int x = R.getX() + s + 34;
        const int w = juce::jmax (R.getWidth() - s - 32, 156) - 20;
        const int per = juce::jmax (s / strips.size(), 1);
        int y = R.getY() + 72, rem = s;
        for (auto* strip : strips)
        {
            const int step = juce::jmin (per, rem);
            strip->setVisible (true);
            strip->setBounds (x, y, w, juce::jmax (step - 8, 0));
            y += step;
            rem -= step;
        }
    }
    else
        for (auto* strip : strips)
            strip->setVisible (false);
    if (! panelMode && ! density && ! knobs.isEmpty())
    {
        const int n = knobs.size();
        const int cell = juce::jmax ((R.getWidth() - 16) / n, 1);
        int x = R.getX() + 8, rem = R.getWidth() - 16;
        for (auto* k : knobs)
        {
            const int step = juce::jmin (cell, rem);
            k->setBounds (x + 2, R.getBottom() - 98, juce::jmax (step - 4, 0), 96);
            x += step;
            rem -= step;
        }
    }

    // Step 8: stacking.
    for (auto* f : tcFaders)
        f->toFront (false);
    for (auto* f : ioFaders)
        if (f->isVisible())
            f->toFront (false);
}

// The density unit's controls in a grid of their own until the engine display brings its layout:
// the frequency row and saturation knob on the left, the tube knobs and switches in the middle,
// input, density and mix on the right.
void StudioComponent::layoutDensity (Rectangle<int> R)
{
    // The controls sit in the cells of the tube engine's own layout, so the painted panels, tubes,
    // plots and LED rows never lie under a control.
    const auto L = makeDensLayout ({ R.getX() + 10.0f, R.getY() + 54.0f, R.getWidth() - 20.0f, juce::jmax (R.getHeight() - 64.0f, 80.0f) });
    auto on = [this] (const char* id) { return paramValue (id, 0.0f) >= 0.5f; };
    auto index = [this] (const char* id) { return juce::roundToInt (paramValue (id, 1.0f)); };

    auto row = [] (juce::TextButton (&group)[3], Rectangle<int> r, int gap)
    {
        const int b = juce::jmax ((r.getWidth() - 2 * gap) / 3, 1);
        for (int i = 0; i < 3; ++i)
            group[i].setBounds (r.getX() + i * (b + gap), r.getY(), i == 2 ? juce::jmax (r.getWidth() - 2 * (b + gap), 0) : b, r.getHeight());
    };
    row (satFreqButtons, L.satFreqRow, 4);
    row (calibrationButtons, L.calibrationRow, 3);
    for (int i = 0; i < 3; ++i)
    {
        satFreqButtons[i].setToggleState (index ("analogueDensity_satFreq") == i, juce::dontSendNotification);
        calibrationButtons[i].setToggleState (index ("analogueDensity_calibration") == i, juce::dontSendNotification);
    }
    // Knob order of the control set: saturation, pentode, triode, air amount, output, input, density, mix.
    const Rectangle<int> cells[8] = { L.saturationKnob, L.pentodeKnob, L.triodeKnob, L.airAmountKnob,
                                      L.outputKnob, L.inputKnob, L.densityKnob, L.mixKnob };
    for (int i = 0; i < juce::jmin (knobs.size(), 8); ++i)
    {
        knobs[i]->size = juce::jmax (juce::jmin (cells[i].getWidth() - 8, cells[i].getHeight() - 28), 8);
        knobs[i]->resized();
        knobs[i]->setBounds (cells[i]);
    }
    airButton.setBounds (L.airButton);
    altTubeButton.setBounds (L.altTubeButton);
    densityInOutButton.setBounds (L.inOutButton);
    vuButton.setBounds (L.vuButton);
    ppmButton.setBounds (L.ppmButton);
    airButton.setToggleState (on ("analogueDensity_air"), juce::dontSendNotification);
    altTubeButton.setToggleState (on ("analogueDensity_altTube"), juce::dontSendNotification);
    densityInOutButton.setToggleState (on ("analogueDensity_satIn"), juce::dontSendNotification);
    vuButton.setToggleState (vuBallistics, juce::dontSendNotification);
    ppmButton.setToggleState (! vuBallistics, juce::dontSendNotification);
}
