#include "Ui/Shell/SignalUtilityPanel.h"

#include "Core/PluginProcessor.h"
#include "Ui/Controls/GhostButton.h"
#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/Foundation/VyrTheme.h"

namespace
{
juce::String utf8 (const char* s) { return juce::String::fromUTF8 (s); }
}

const char* const SignalUtilityPanel::kUtilWaveNames[9] = { "Sine", "White", "Pink", "Square", "Saw", "Triangle", "Needle", "Impulse", "Sweep" };

const SignalUtilityPanel::Preset SignalUtilityPanel::kUtilPresets[11] = {
    { "1 kHz Sine \xe2\x88\x92" "12 dB", 0, 1000.0f, -12.0f, 0.5f, true, false, true, 20.0f, 20000.0f, 4.0f, 1 },
    { "1 kHz Sine \xe2\x88\x92" "18 dBFS", 0, 1000.0f, -18.0f, 0.5f, true, false, true, 20.0f, 20000.0f, 4.0f, 1 },
    { "1 kHz Sine \xe2\x88\x92" "20 dBFS", 0, 1000.0f, -20.0f, 0.5f, true, false, true, 20.0f, 20000.0f, 4.0f, 1 },
    { "Pink \xe2\x88\x92" "18 dB (stereo)", 2, 1000.0f, -18.0f, 0.5f, true, true, true, 20.0f, 20000.0f, 4.0f, 1 },
    { "White \xe2\x88\x92" "12 dB (stereo)", 1, 1000.0f, -12.0f, 0.5f, true, true, true, 20.0f, 20000.0f, 4.0f, 1 },
    { "Needle Pulse 4 Hz", 6, 4.0f, -6.0f, 0.5f, false, false, true, 20.0f, 20000.0f, 4.0f, 1 },
    { "Sweep 20\xe2\x86\x92" "20 kHz Log 4s", 8, 1000.0f, -12.0f, 0.5f, true, false, true, 20.0f, 20000.0f, 4.0f, 1 },
    { "Sweep 20\xe2\x86\x92" "20 kHz Lin 8s", 8, 1000.0f, -12.0f, 0.5f, true, false, true, 20.0f, 20000.0f, 8.0f, 0 },
    { "Square 100 Hz \xe2\x88\x92" "12 dB", 3, 100.0f, -12.0f, 0.5f, true, false, true, 20.0f, 20000.0f, 4.0f, 1 },
    { "Saw 220 Hz \xe2\x88\x92" "12 dB", 4, 220.0f, -12.0f, 0.5f, true, false, true, 20.0f, 20000.0f, 4.0f, 1 },
    { "Triangle 440 Hz \xe2\x88\x92" "12 dB", 5, 440.0f, -12.0f, 0.5f, true, false, true, 20.0f, 20000.0f, 4.0f, 1 },
};

int SignalUtilityPanel::identityInset (int themeId) noexcept
{
    switch (themeId)
    {
        case 0: return 8;
        case 2: return 6;
        case 5: return 12;
        default: return 0;
    }
}

juce::String SignalUtilityPanel::utilNoteOf (float hz)
{
    static const char* const names[12] = { "A", "A#", "B", "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#" };
    const int n = (int) std::round (12.0 * std::log2 ((double) hz / 440.0));
    const int idx = ((n % 12) + 12) % 12;
    const int octave = (int) std::floor ((double) (n + 9) / 12.0) + 4;
    return juce::String (names[idx]) + juce::String (octave);
}

bool SignalUtilityPanel::optionHeld() { return juce::ModifierKeys::currentModifiers.isAltDown(); }

SignalUtilityPanel::SignalUtilityPanel (VyrAudioProcessor& p)
    : proc (p),
      freqKnob ("Frequency", "Hz", juce::Colour (0xff22d3ee), 48),
      levelKnob ("Level", "dB", juce::Colour (0xff22d3ee), 48),
      dcKnob ("DC Offset", "", juce::Colour (0xfffb923c), 48),
      dutyKnob ("Duty", "", juce::Colour (0xff22d3ee), 48),
      sweepStartKnob ("Start", "Hz", juce::Colour (0xff22d3ee), 36),
      sweepEndKnob ("End", "Hz", juce::Colour (0xff22d3ee), 36),
      sweepDurKnob ("Duration", "s", juce::Colour (0xff22d3ee), 36)
{
    auto setUp = [this] (juce::TextButton& b, bool toggles, const char* tip)
    {
        ghostBtn (b);
        b.setClickingTogglesState (toggles);
        b.setTooltip (tip);
        addAndMakeVisible (b);
    };
    setUp (powerButton, true, "Option-click resets to Off");
    setUp (dimButton, true, "Option-click resets to Off");
    for (auto& b : waveButtons)
        setUp (b, false, "Option-click resets to Sine");
    setUp (antiAliasButton, true, "Option-click resets to On");
    setUp (decorrelatedButton, true, "Option-click resets to Off");
    setUp (stereoButton, true, "Option-click resets to On");
    stereoButton.setToggleState (true, juce::dontSendNotification);
    for (auto& b : invertButtons)
        setUp (b, false, "Option-click resets to Off");
    setUp (sweepLogButton, false, "Option-click resets to Log");
    setUp (sweepLinButton, false, "Option-click resets to Log");

    powerButton.onClick = [this]
    {
        if (optionHeld())
        {
            proc.setUtilityEnabled (false);
            powerButton.setToggleState (false, juce::dontSendNotification);
        }
        else
            proc.setUtilityEnabled (powerButton.getToggleState());
        repaint();
    };
    dimButton.onClick = [this]
    {
        if (optionHeld())
        {
            proc.utilDim = false;
            dimButton.setToggleState (false, juce::dontSendNotification);
        }
        else
            proc.utilDim = dimButton.getToggleState();
        repaint();
    };
    for (int i = 0; i < 9; ++i)
        waveButtons[i].onClick = [this, i]
        {
            proc.utilWave = optionHeld() ? 0 : i;
            if (proc.utilWave.load() == 7)
                proc.utilImpulsePending = true;
            updateUtilityEnabledChrome();
            resized();
            repaint();
        };
    antiAliasButton.onClick = [this]
    {
        if (optionHeld())
        {
            proc.utilAntiAlias = true;
            antiAliasButton.setToggleState (true, juce::dontSendNotification);
        }
        else
        {
            const int w = proc.utilWave.load();
            if (w != 3 && w != 4 && w != 5)
            {
                antiAliasButton.setToggleState (proc.utilAntiAlias.load(), juce::dontSendNotification);
                return;
            }
            proc.utilAntiAlias = antiAliasButton.getToggleState();
        }
        repaint();
    };
    decorrelatedButton.onClick = [this]
    {
        if (optionHeld())
        {
            proc.utilDecorrelated = false;
            decorrelatedButton.setToggleState (false, juce::dontSendNotification);
        }
        else
        {
            const int w = proc.utilWave.load();
            if (w != 1 && w != 2)
            {
                decorrelatedButton.setToggleState (proc.utilDecorrelated.load(), juce::dontSendNotification);
                return;
            }
            proc.utilDecorrelated = decorrelatedButton.getToggleState();
        }
        repaint();
    };
    stereoButton.onClick = [this]
    {
        if (optionHeld())
        {
            proc.utilStereo = true;
            stereoButton.setToggleState (true, juce::dontSendNotification);
        }
        else
            proc.utilStereo = stereoButton.getToggleState();
        repaint();
    };
    for (int i = 0; i < 4; ++i)
        invertButtons[i].onClick = [this, i]
        {
            proc.utilInvert = optionHeld() ? 0 : i;
            repaint();
        };
    sweepLogButton.onClick = [this]
    {
        proc.utilSweepLog = 1;
        repaint();
    };
    sweepLinButton.onClick = [this]
    {
        proc.utilSweepLog = optionHeld() ? 1 : 0;
        repaint();
    };

    presetBox.setJustificationType (juce::Justification::centredLeft);
    presetBox.setColour (juce::ComboBox::backgroundColourId, juce::Colour (0xff22262c));
    presetBox.setColour (juce::ComboBox::outlineColourId, juce::Colour (0x26ffffff));
    presetBox.setColour (juce::ComboBox::textColourId, juce::Colour (0xccffffff));
    presetBox.setColour (juce::ComboBox::arrowColourId, juce::Colour (0x73ffffff));
    for (int i = 0; i < 11; ++i)
        presetBox.addItem (utf8 (kUtilPresets[i].name), i + 1);
    presetBox.setSelectedId (3, juce::dontSendNotification);
    presetBox.onChange = [this] { applyPreset (presetBox.getSelectedId()); };
    addAndMakeVisible (presetBox);

    setUpKnob (freqKnob, 1.0, 20000.0, 0.1, true, 1000.0, proc.utilFreq);
    setUpKnob (levelKnob, -96.0, 6.0, 0.1, false, -20.0, proc.utilLevelDb);
    setUpKnob (dcKnob, -1.0, 1.0, 0.01, false, 0.0, proc.utilDcOffset);
    dcKnob.bipolar = true;
    setUpKnob (dutyKnob, 0.05, 0.95, 0.01, false, 0.5, proc.utilDuty);
    setUpKnob (sweepStartKnob, 1.0, 20000.0, 1.0, true, 20.0, proc.utilSweepStart);
    setUpKnob (sweepEndKnob, 1.0, 20000.0, 1.0, true, 20000.0, proc.utilSweepEnd);
    setUpKnob (sweepDurKnob, 0.5, 30.0, 0.5, false, 4.0, proc.utilSweepDur);
    sweepDurKnob.showSeconds = true;
    dcKnob.slider.setNumDecimalPlacesToDisplay (2);
    dutyKnob.slider.setNumDecimalPlacesToDisplay (2);

    infoButton.setPanel ("source", juce::Colour (0xff22d3ee));
    addAndMakeVisible (infoButton);

    // The switches agree with the generator from the first paint (product 14 starts it running).
    syncUtilityFromProc();

    startTimer (50);
}

SignalUtilityPanel::~SignalUtilityPanel() { stopTimer(); }

void SignalUtilityPanel::setUpKnob (HardwareKnob& knob, double start, double end, double interval, bool skewed, double value,
                                    std::atomic<float>& target)
{
    auto& s = knob.slider;
    s.setRange (start, end, interval);
    if (skewed)
        s.setSkewFactorFromMidPoint (1000.0);
    s.setValue (value, juce::dontSendNotification);
    s.setTooltip ("Option-click resets to init");
    knob.resetValue = value;
    s.onValueChange = [this, &knob, &target]
    {
        target.store ((float) knob.slider.getValue());
        knob.repaint();
        repaint();
    };
    addAndMakeVisible (knob);
}

void SignalUtilityPanel::setKnobDimmed (HardwareKnob& knob, bool dimmed)
{
    const float alpha = dimmed ? 0.3f : 1.0f;
    if (knob.getAlpha() != alpha)
        knob.setAlpha (alpha);
    knob.setInterceptsMouseClicks (! dimmed, ! dimmed);
}

void SignalUtilityPanel::applyPreset (int id)
{
    if (id < 1 || id > 11)
        return;
    const auto& row = kUtilPresets[id - 1];
    proc.utilWave = row.wave;
    proc.utilFreq = row.frequency;
    proc.utilLevelDb = row.level;
    proc.utilSweepDur = row.duration;
    proc.utilDuty = row.duty;
    proc.utilAntiAlias = row.antiAlias;
    proc.utilDecorrelated = row.decorrelated;
    proc.utilStereo = row.stereo;
    proc.utilSweepStart = row.sweepStart;
    proc.utilSweepEnd = row.sweepEnd;
    proc.utilSweepLog = row.logSweep;
    syncUtilityFromProc();
    resized();
    repaint();
}

void SignalUtilityPanel::syncUtilityFromProc()
{
    freqKnob.slider.setValue (proc.utilFreq.load(), juce::dontSendNotification);
    levelKnob.slider.setValue (proc.utilLevelDb.load(), juce::dontSendNotification);
    dcKnob.slider.setValue (proc.utilDcOffset.load(), juce::dontSendNotification);
    dutyKnob.slider.setValue (proc.utilDuty.load(), juce::dontSendNotification);
    sweepStartKnob.slider.setValue (proc.utilSweepStart.load(), juce::dontSendNotification);
    sweepEndKnob.slider.setValue (proc.utilSweepEnd.load(), juce::dontSendNotification);
    sweepDurKnob.slider.setValue (proc.utilSweepDur.load(), juce::dontSendNotification);
    powerButton.setToggleState (proc.utilEnabled.load(), juce::dontSendNotification);
    dimButton.setToggleState (proc.utilDim.load(), juce::dontSendNotification);
    antiAliasButton.setToggleState (proc.utilAntiAlias.load(), juce::dontSendNotification);
    decorrelatedButton.setToggleState (proc.utilDecorrelated.load(), juce::dontSendNotification);
    stereoButton.setToggleState (proc.utilStereo.load(), juce::dontSendNotification);
    updateUtilityEnabledChrome();
}

void SignalUtilityPanel::updateUtilityEnabledChrome()
{
    const int w = proc.utilWave.load();
    setKnobDimmed (freqKnob, w == 1 || w == 2 || w == 6 || w == 7 || w == 8);
    setKnobDimmed (dutyKnob, w != 3);
    const bool light = vyrTheme (proc.themeIndex.load()).light;
    for (auto* k : { &freqKnob, &levelKnob, &dcKnob, &dutyKnob, &sweepStartKnob, &sweepEndKnob, &sweepDurKnob })
        k->light = light;
}

void SignalUtilityPanel::timerCallback()
{
    const int v = proc.stateVersion.load();
    if (v != lastStateVersion)
    {
        lastStateVersion = v;
        presetBox.setSelectedId (3, juce::dontSendNotification);
        syncUtilityFromProc();
        resized();
        repaint();
    }
    if (vyrVisibleInScroll (*this))
        repaint();
}

void SignalUtilityPanel::resized()
{
    const int width = getWidth(), height = getHeight();
    const int a = identityInset (proc.themeIndex.load());
    const int x0 = a + 14;
    const int W = juce::jmax (0, width - 2 * x0);
    const int H = juce::jmax (0, height - 24);
    const bool sweep = proc.utilWave.load() == 8;

    infoButton.setBounds (width - a - 28, 10, 18, 18);

    // header: title area, power, dim
    int y = 12;
    int remH = H;
    const int hh = juce::jmin (remH, 22);
    {
        int x = x0 + juce::jmin (W, 168);
        int free = juce::jmax (0, W - 168 - 22);
        const int pw = juce::jmin (free, 66);
        powerButton.setBounds (x, y, pw, hh);
        free -= pw;
        x += pw;
        const int g = juce::jmin (free, 6);
        free -= g;
        x += g;
        dimButton.setBounds (x, y, juce::jmin (free, 62), hh);
    }
    y += hh;
    remH -= hh;
    int g = juce::jmin (remH, 6);
    y += g, remH -= g;
    const int ph = juce::jmin (remH, 22);
    presetBox.setBounds (x0, y, W, ph);
    y += ph, remH -= ph;
    g = juce::jmin (remH, 8);
    y += g, remH -= g;

    const int R = remH, bodyTop = y;
    const int o = juce::jmin (W, juce::jlimit (220, 268, (42 * W) / 100));
    const int u = juce::jmax (0, W - o - 14);
    const int m = juce::jmax (0, R - 292);
    const int A = juce::jmin ((2 * m) / 5, 42);
    const int E = (m - A) / 2;

    // left column
    int ly = bodyTop, lrem = R;
    auto take = [&] (int want)
    {
        const int t = juce::jmin (juce::jmax (lrem, 0), juce::jmax (want, 0));
        const int at = ly;
        ly += t;
        lrem -= t;
        return std::pair<int, int> (at, t);
    };
    take (16);
    {
        auto [gy, Hg] = take (A + 164);
        const int D = juce::jmax (1, (u - 32) / 3), G = juce::jmax (1, (Hg - 32) / 3);
        const int ox = juce::jmax (0, (u - 32 - 3 * D) / 2), oy = juce::jmax (0, (Hg - 32 - 3 * G) / 2);
        for (int i = 0; i < 9; ++i)
            waveButtons[i].setBounds (x0 + ox + (i % 3) * (D + 16), gy + oy + (i / 3) * (G + 16), D, G);
    }
    take (E + 20);
    {
        auto [ty, th] = take (28);
        const int D2 = juce::jmax (1, (u - 28) / 3);
        antiAliasButton.setBounds (x0, ty, D2, th);
        decorrelatedButton.setBounds (x0 + D2 + 14, ty, D2, th);
        stereoButton.setBounds (x0 + 2 * (D2 + 14), ty, juce::jmax (1, u - 2 * (D2 + 14)), th);
    }
    take (E + 20);
    take (16);
    {
        auto [iy, ih] = take (28);
        const int L = juce::jmax (1, (u - 42) / 4);
        for (int i = 0; i < 3; ++i)
            invertButtons[i].setBounds (x0 + i * (L + 14), iy, L, ih);
        invertButtons[3].setBounds (x0 + 3 * (L + 14), iy, juce::jmax (1, u - 3 * (L + 14)), ih);
    }

    for (auto* b : { &sweepLogButton, &sweepLinButton })
        b->setVisible (sweep);
    for (auto* k : { &sweepStartKnob, &sweepEndKnob, &sweepDurKnob })
        k->setVisible (sweep);
    if (sweep)
    {
        take (E + 20);
        take (16);
        auto [ry, rh] = take (28);
        const int lw = juce::jmin (u, (u - 14) / 2);
        sweepLogButton.setBounds (x0, ry, juce::jmax (lw, 0), rh);
        sweepLinButton.setBounds (x0 + lw + 14, ry, juce::jmax (u - lw - 14, 0), rh);
        take (10);
        auto [sy, S] = take (78);
        const int hu = u / 2, hs = S / 2;
        sweepStartKnob.setBounds (x0 + 2, sy + 2, juce::jmax (hu, 4) - 4, juce::jmax (hs - 4, 0));
        sweepEndKnob.setBounds (x0 + 2 + hu, sy + 2, juce::jmax (u - hu - 4, 0), juce::jmax (hs - 4, 0));
        sweepDurKnob.setBounds (x0 + 2, sy + 2 + hs, juce::jmax (hu, 4) - 4, juce::jmax (S - hs - 4, 0));
        for (auto* k : { &sweepStartKnob, &sweepEndKnob, &sweepDurKnob })
        {
            k->size = juce::jlimit (40, 68, juce::jmin (k->getHeight() - 26, k->getWidth() - 6));
            k->resized();
        }
    }

    // right column
    const int rx = x0 + W - o;
    const int P1 = juce::jmin (R, 86);
    const int P2 = juce::jmin (R - P1, 86);
    const int ho = o / 2;
    freqKnob.setBounds (rx + 2, bodyTop + 2, juce::jmax (ho, 4) - 4, juce::jmax (P1, 4) - 4);
    levelKnob.setBounds (rx + 2 + ho, bodyTop + 2, juce::jmax (o - ho, 4) - 4, juce::jmax (P1, 4) - 4);
    const int by = bodyTop + R - P2;
    dcKnob.setBounds (rx + 2, by + 2, juce::jmax (ho, 4) - 4, juce::jmax (P2, 4) - 4);
    dutyKnob.setBounds (rx + 2 + ho, by + 2, juce::jmax (o - ho, 4) - 4, juce::jmax (P2, 4) - 4);
    for (auto* k : { &freqKnob, &levelKnob, &dcKnob, &dutyKnob })
    {
        k->size = juce::jmax (40, juce::jmin (k->getHeight() - 26, k->getWidth() - 6));
        k->resized();
    }
    const int M = juce::jmax (0, R - P1 - P2);
    int my = bodyTop + P1, mrem = M;
    auto mtake = [&] (int want)
    {
        const int t = juce::jmin (mrem, want);
        const int at = my;
        my += t;
        mrem -= t;
        return std::pair<int, int> (at, t);
    };
    mtake (2);
    const int bottomGap = juce::jmin (mrem, 6);
    mrem -= bottomGap;
    auto [ny, nh] = mtake (16);
    noteArea = { rx, ny, o, nh };
    readoutArea = { rx, my, o, juce::jmax (mrem, 0) };
    if (noteArea.getHeight() <= 0)
        noteArea = {};

    updateUtilityEnabledChrome();
}
