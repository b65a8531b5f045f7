#include "Ui/FxChain/FxActions.h"

#include "Core/PluginProcessor.h"
#include "Ui/Controls/LevelMeterView.h"
#include "Ui/FxChain/StudioComponent.h"

#include <cmath>

namespace vyrFxActions
{
const Character kCharacters[5] = {
    { 4.0f, 0.0f, 0.003f, 0.12f },
    { 4.0f, 10.0f, 0.010f, 0.18f },
    { 8.0f, 0.0f, 0.002f, 0.08f },
    { 3.0f, 20.0f, 0.030f, 0.35f },
    { 6.0f, 6.0f, 0.005f, 0.22f },
};

const TapeMachine kTapeMachines[8] = {
    { 1, { 0.40f, 0.50f, 0.55f, 0.25f, 0.15f, 0.08f, 0.08f, 0.25f, 0.30f } },
    { 1, { 0.30f, 0.40f, 0.60f, 0.20f, 0.10f, 0.06f, 0.06f, 0.15f, 0.25f } },
    { 0, { 0.50f, 0.60f, 0.45f, 0.35f, 0.25f, 0.12f, 0.12f, 0.35f, 0.50f } },
    { 1, { 0.50f, 0.55f, 0.50f, 0.30f, 0.20f, 0.10f, 0.10f, 0.30f, 0.35f } },
    { 1, { 0.45f, 0.50f, 0.50f, 0.30f, 0.22f, 0.11f, 0.11f, 0.28f, 0.40f } },
    { 0, { 0.55f, 0.65f, 0.40f, 0.40f, 0.30f, 0.15f, 0.15f, 0.40f, 0.55f } },
    { 0, { 0.70f, 0.75f, 0.30f, 0.50f, 0.35f, 0.20f, 0.20f, 0.45f, 0.70f } },
    { 2, { 0.35f, 0.45f, 0.60f, 0.18f, 0.10f, 0.05f, 0.06f, 0.18f, 0.18f } },
};
const char* const kTapeValueIds[9] = { "tape_drive", "tape_saturation", "tape_bias", "tape_hysteresis", "tape_wow",
                                       "tape_flutter", "tape_noise", "tape_headBump", "tape_hfLoss" };

const float kDelayNoteMul[6] = { 0.25f, 0.375f, 0.5f, 0.75f, 1.0f, 1.5f };

const DelayStyle kDelayStyles[8] = {
    { 0, 0.11f, 0.10f, 0.30f, 15.0f }, { 3, 0.0f, 0.35f, 0.30f, 15.0f }, { 4, 0.0f, 0.40f, 0.32f, 15.0f },
    { 5, 0.0f, 0.45f, 0.28f, 20.0f },  { 0, 0.26f, 0.55f, 0.35f, 30.0f }, { 0, 0.38f, 0.72f, 0.40f, 25.0f },
    { 0, 0.62f, 0.65f, 0.45f, 40.0f }, { 2, 0.0f, 0.50f, 0.38f, 20.0f },
};

const float kReverbTypes[7][10] = {
    { 0.6f, 0.30f, 0.50f, 0.40f, 0.0f, 0.25f, 10.0f, 80.0f, 8000.0f, 0.0f },
    { 1.0f, 0.40f, 0.60f, 0.40f, 0.0f, 0.25f, 20.0f, 60.0f, 8000.0f, 0.0f },
    { 2.5f, 0.60f, 0.70f, 0.50f, 0.1f, 0.30f, 40.0f, 40.0f, 7000.0f, -1.0f },
    { 7.0f, 0.85f, 0.85f, 0.60f, 0.4f, 0.40f, 60.0f, 30.0f, 6000.0f, -2.0f },
    { 1.8f, 0.50f, 0.90f, 0.30f, 0.0f, 0.30f, 5.0f, 100.0f, 10000.0f, 1.0f },
    { 4.0f, 0.70f, 0.80f, 0.35f, 0.6f, 0.35f, 30.0f, 50.0f, 9000.0f, 2.0f },
    { 15.0f, 0.95f, 0.95f, 0.50f, 1.0f, 0.45f, 50.0f, 25.0f, 5000.0f, -1.0f },
};
const char* const kReverbTypeIds[10] = { "reverb_decay", "reverb_size", "reverb_diffuse", "reverb_hiFactor", "reverb_radicalness",
                                         "reverb_mix", "reverb_predelay", "reverb_lowCut", "reverb_highShelfFreq",
                                         "reverb_highShelfGain" };

ClipMacro clipMacroAt (float h)
{
    h = juce::jlimit (0.0f, 1.0f, h);
    ClipMacro m;
    m.drive = 2.2f + 33.8f * h;
    m.symmetry = 24.0f * h;
    m.clipFilterFreq = h < 0.5f ? 1400.0f * std::pow (8200.0f / 1400.0f, 2.0f * h) : 70.0f * std::pow (20.0f, 2.0f * h - 1.0f);
    m.tone = 80.0f * std::pow (4.75f, h);
    m.highShelfFreq = 2200.0f * std::pow (4.0f, h);
    m.highShelfGain = -4.0f + 10.0f * h;
    m.lpFilterFreq = 3800.0f * std::pow (16500.0f / 3800.0f, h);
    m.clipFilterType = h >= 0.5f ? 1.0f : 0.0f;
    return m;
}

float harshnessForDrive (float driveDb)
{
    return juce::jlimit (0.0f, 1.0f, (driveDb - 2.2f) / 33.8f) * 100.0f;
}

float beatSeconds (float bpm)
{
    return bpm > 20.0f ? 60.0f / bpm : 3.0f;
}
} // namespace vyrFxActions

using namespace vyrFxActions;

namespace
{
// Lights button `lit` of a group and unlights the others, without notification.
template <size_t N>
void lightOne (juce::TextButton (&group)[N], int lit)
{
    for (int i = 0; i < (int) N; ++i)
        group[i].setToggleState (i == lit, juce::dontSendNotification);
}

void setTextIfChanged (juce::Button& b, const juce::String& text)
{
    if (b.getButtonText() != text)
        b.setButtonText (text);
}
} // namespace

void StudioComponent::showTrayModules (bool onlyUsed)
{
    tray.onlyEnabled = onlyUsed;
    showAllButton.setToggleState (! onlyUsed, juce::dontSendNotification);
    onlyUsedButton.setToggleState (onlyUsed, juce::dontSendNotification);
    tray.layoutHits();
    tray.repaint();
    repaint();
}

void StudioComponent::selectChainSlot (int moduleIndex)
{
    selectedSlot = juce::jlimit (0, 12, moduleIndex);
    panelMode = false;
    rebuildKnobs();
}

void StudioComponent::enterChainOverview()
{
    panelMode = true;
    rebuildKnobs();
}

void StudioComponent::chainChanged()
{
    rebuildKnobs();
    resized();
    repaint();
}

void StudioComponent::applyCharacter (int i)
{
    if (moduleId() == "saturation")
        setParam ("saturation_mode", (float) i, true);
    else
    {
        const auto& c = kCharacters[juce::jlimit (0, 4, i)];
        setParam ("compressor_character", (float) i, true);
        setParam ("compressor_ratio", c.ratio, true);
        setParam ("compressor_knee", c.knee, true);
        setParam ("compressor_attack", c.attack, true);
        setParam ("compressor_release", c.release, true);
    }
    rebuildKnobs();
}

void StudioComponent::toggleMsLabel()
{
    setTextIfChanged (msButton, msButton.getToggleState() ? "M/S ON" : "M/S OFF");
    msButton.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xfff59e0b));
    msButton.setColour (juce::TextButton::textColourOnId, juce::Colour (0xffd4dce2));
    rebuildKnobs();
}

void StudioComponent::toggleModulePower()
{
    // The module on show, whatever the product: the signal utility has no chain module to switch.
    const auto key = moduleId();
    const bool on = powerButton.getToggleState();
    if (vyrChain::moduleIndexOf (key) >= 0)
        setParam (key + "_enabled", on ? 1.0f : 0.0f, false);
    setTextIfChanged (powerButton, on ? "ON" : "OFF");
    repaint();
}

void StudioComponent::setMeterScale (int i)
{
    setParam ("meteringMode", (float) i, true);
    lightOne (scaleButtons, i);
}

void StudioComponent::toggleLinkLR()
{
    vyrSetLinkLR (processor.apvts, ! (paramValue ("linkLR", 1.0f) >= 0.5f));
    const bool linked = paramValue ("linkLR", 1.0f) >= 0.5f;
    linkButton.setToggleState (linked, juce::dontSendNotification);
    lastLinkLR = linked ? 1 : 0;
    resized();
    repaint();
}

void StudioComponent::flipBoolParam (const juce::String& paramId)
{
    if (auto* p = processor.apvts.getParameter (paramId))
        p->setValueNotifyingHost (p->getValue() < 0.5f ? 1.0f : 0.0f);
    repaint();
}

void StudioComponent::toggleBypass()
{
    flipBoolParam ("bypass");
    bypassButton.setToggleState (paramValue ("bypass", 0.0f) >= 0.5f, juce::dontSendNotification);
}

void StudioComponent::toggleMono()
{
    flipBoolParam ("mono");
    monoButton.setToggleState (paramValue ("mono", 0.0f) >= 0.5f, juce::dontSendNotification);
}

void StudioComponent::resetToInitState()
{
    processor.recallInitState();
    syncAfterInit();
}

void StudioComponent::selectMeterView (int i)
{
    meterView = juce::jlimit (0, 2, i);
    lightOne (meterViewButtons, meterView);
    resized();
    repaint();
}

void StudioComponent::setLevelVertical (bool vertical)
{
    horizontalButton.setToggleState (! vertical, juce::dontSendNotification);
    verticalButton.setToggleState (vertical, juce::dontSendNotification);
    if (levelMeter != nullptr)
    {
        levelMeter->vertical = vertical;
        levelMeter->repaint();
    }
}

void StudioComponent::toggleLevelDetail()
{
    const bool on = detailButton.getToggleState();
    setTextIfChanged (detailButton, on ? "Less Detail" : "More Detail");
    if (levelMeter != nullptr)
    {
        levelMeter->moreDetail = on;
        levelMeter->repaint();
    }
}

void StudioComponent::applyTapeMachine()
{
    const int i = tapeMachineBox.getSelectedItemIndex();
    if (i < 0 || i > 7)
        return;
    setParam ("tape_preset", (float) i, true);
    setParam ("tape_speed", (float) kTapeMachines[i].speed, true);
    for (int v = 0; v < 9; ++v)
        setParam (kTapeValueIds[v], kTapeMachines[i].values[v], true);
    rebuildKnobs();
}

void StudioComponent::setTapeSpeed (int i)
{
    setParam ("tape_speed", (float) i, true);
    resized();
    repaint();
}

void StudioComponent::setDensityChoice (const char* paramId, int i)
{
    setParam (paramId, (float) i, true);
    resized();
}

void StudioComponent::selectBallistics (bool vu)
{
    vuBallistics = vu;
    vuButton.setToggleState (vu, juce::dontSendNotification);
    ppmButton.setToggleState (! vu, juce::dontSendNotification);
    repaint();
}

void StudioComponent::selectClipView (int i)
{
    clipView = juce::jlimit (0, 2, i);
    lightOne (clipViewButtons, clipView);
    if (clipView == 2 && harshnessKnob != nullptr)
    {
        macroSyncing = true;
        harshnessKnob->slider.setValue (harshnessForDrive (paramValue ("clip_drive", 0.0f)), juce::dontSendNotification);
        macroSyncing = false;
    }
    rebuildKnobs();
}

void StudioComponent::applyClipHarshness()
{
    if (harshnessKnob == nullptr)
        return;
    harshnessKnob->repaint();
    if (macroSyncing)
    {
        repaint();
        return;
    }
    const auto m = clipMacroAt ((float) harshnessKnob->slider.getValue() / 100.0f);
    setParam ("clip_drive", m.drive, false);
    setParam ("clip_symmetry", m.symmetry, false);
    setParam ("clip_clipFilterFreq", m.clipFilterFreq, false);
    setParam ("clip_tone", m.tone, false);
    setParam ("clip_highShelfFreq", m.highShelfFreq, false);
    setParam ("clip_highShelfGain", m.highShelfGain, false);
    setParam ("clip_lpFilterFreq", m.lpFilterFreq, false);
    setParam ("clip_clipFilterType", m.clipFilterType, false);
    repaint();
}

void StudioComponent::setDelaySyncMode (int mode)
{
    if (mode == 0)
        setParam ("delay_syncNote", 0.0f, true);
    else
    {
        const float bpm = paramValue ("delay_bpm", 120.0f);
        setParam ("delay_syncNote", 3.0f, true);
        setParam ("delay_time", bpm > 20.0f ? 30.0f / bpm : 1.5f, true);
    }
    delayStyle = -1;
    rebuildKnobs();
}

void StudioComponent::applyDelayStyle (int i)
{
    const auto& s = kDelayStyles[juce::jlimit (0, 7, i)];
    setParam ("delay_syncNote", (float) s.syncNote, true);
    setParam ("delay_time", s.syncNote == 0 ? s.time : beatSeconds (paramValue ("delay_bpm", 120.0f)) * kDelayNoteMul[s.syncNote - 1], true);
    setParam ("delay_feedback", s.feedback, true);
    setParam ("delay_mix", s.mix, true);
    setParam ("delay_xfadeMs", s.xfadeMs, true);
    setParam ("delay_enabled", 1.0f, false);
    delayStyle = i;
    rebuildKnobs();
}

void StudioComponent::setDelayNote (int i)
{
    i = juce::jlimit (0, 5, i);
    setParam ("delay_syncNote", (float) (i + 1), true);
    setParam ("delay_time", beatSeconds (paramValue ("delay_bpm", 120.0f)) * kDelayNoteMul[i], true);
    delayStyle = -1;
    rebuildKnobs();
}

void StudioComponent::nudgeDelayBpm (float delta)
{
    setParam ("delay_bpm", juce::jlimit (20.0f, 300.0f, paramValue ("delay_bpm", 120.0f) + delta), true);
    const int note = juce::roundToInt (paramValue ("delay_syncNote", 0.0f));
    if (note >= 1 && note <= 6)
        setParam ("delay_time", beatSeconds (paramValue ("delay_bpm", 120.0f)) * kDelayNoteMul[note - 1], true);
}

void StudioComponent::selectReverbPage (int i)
{
    reverbView = i;
    rebuildKnobs();
}

void StudioComponent::applyReverbType (int i)
{
    i = juce::jlimit (0, 6, i);
    for (int c = 0; c < 10; ++c)
        setParam (kReverbTypeIds[c], kReverbTypes[i][c], true);
    setParam ("reverb_enabled", 1.0f, false);
    reverbType = i;
    rebuildKnobs();
}

void StudioComponent::syncAfterInit()
{
    lastStateVersion = processor.stateVersion.load();
    delayStyle = -1;
    reverbType = -1;
    clipView = 0;
    lightOne (clipViewButtons, 0);
    reverbView = 0;
    const bool linked = paramValue ("linkLR", 1.0f) >= 0.5f;
    linkButton.setToggleState (linked, juce::dontSendNotification);
    lastLinkLR = linked ? 1 : 0;
    bypassButton.setToggleState (paramValue ("bypass", 0.0f) >= 0.5f, juce::dontSendNotification);
    monoButton.setToggleState (paramValue ("mono", 0.0f) >= 0.5f, juce::dontSendNotification);
    lightOne (scaleButtons, juce::roundToInt (paramValue ("meteringMode", 0.0f)));
    rebuildKnobs();
}
