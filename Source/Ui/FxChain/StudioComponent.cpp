#include "Ui/FxChain/StudioComponent.h"

#include "Core/PluginProcessor.h"
#include "Dsp/SignalChain.h"
#include "Ui/Controls/FactoryPresetBrowser.h"
#include "Ui/Controls/LedMeter.h"
#include "Ui/Controls/LevelMeterView.h"
#include "Ui/Controls/OutputAnalyzerView.h"
#include "Ui/Controls/VuMeter.h"
#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/Foundation/VyrLookAndFeel.h"

using juce::Colour;

namespace
{
void ghost (juce::TextButton& b)
{
    b.setComponentID ("vyr-ghost");
    if (b.getButtonText().isNotEmpty())
        b.setButtonText ({});
    for (auto id : { juce::TextButton::buttonColourId, juce::TextButton::buttonOnColourId, juce::TextButton::textColourOffId,
                     juce::TextButton::textColourOnId })
        b.setColour (id, juce::Colours::transparentBlack);
    b.setOpaque (false);
}

void styleRackButton (juce::TextButton& b, bool toggle, const char* componentId)
{
    b.setComponentID (componentId != nullptr ? componentId : "");
    b.setColour (juce::TextButton::buttonColourId, Colour (0xff9aa0a6));
    b.setColour (juce::TextButton::textColourOffId, Colour (0xff2a2d32));
    b.setColour (juce::TextButton::buttonOnColourId, toggle ? Colour (0xff1fa9a9) : Colour (0xffc4c9cf));
    b.setColour (juce::TextButton::textColourOnId, toggle ? juce::Colours::white : Colour (0xff2a2d32));
}

void colours (juce::TextButton& b, Colour on, Colour textOn)
{
    b.setColour (juce::TextButton::buttonOnColourId, on);
    b.setColour (juce::TextButton::textColourOnId, textOn);
}

const char* const kModuleOfProduct[15] = { "chain", "compressor", "limiter", "saturation", "analogueDensity", "clip", "tape",
                                           "delay", "reverb", "eq", "dynamicEq", "multiBandComp", "stereoImager", "tovu",
                                           "signalUtility" };
} // namespace

StudioComponent::StudioComponent (VyrAudioProcessor& p)
    : processor (p), tray (p)
{
    setOpaque (false);

    // Products 1 to 13 show their own module for good; the signal utility matches none and keeps 0.
    if (p.product >= 1 && p.product <= 14)
        selectedSlot = juce::jmax (0, vyrChain::moduleIndexOf (kModuleOfProduct[p.product]));

    for (auto* id : { "inputGainL", "inputGainR", "outputGainL", "outputGainR" })
    {
        auto* f = ioFaders.add (new HardwareFader (p.apvts, id, Colour (0xff22d3ee)));
        addAndMakeVisible (f);
    }

    auto add = [this] (juce::TextButton& b, bool toggle)
    {
        b.setClickingTogglesState (toggle);
        addAndMakeVisible (b);
    };

    // Chain tray filter.
    add (showAllButton, true);
    add (onlyUsedButton, true);
    showAllButton.setToggleState (true, juce::dontSendNotification);
    showAllButton.onClick = [this] { showTrayModules (false); };
    onlyUsedButton.onClick = [this] { showTrayModules (true); };
    addAndMakeVisible (tray);
    tray.onSelect = [this] (int module) { selectChainSlot (module); };
    tray.onOverview = [this] { enterChainOverview(); };
    tray.onChanged = [this] { chainChanged(); };

    presetBrowser = std::make_unique<FactoryPresetBrowser> (p);
    addAndMakeVisible (*presetBrowser);

    // Module header.
    const char* const characterNames[5] = { "Digital", "Studio VCA", "Studio FET", "Vintage Opto", "Vintage FET" };
    for (int i = 0; i < 5; ++i)
    {
        characterButtons[i].setButtonText (characterNames[i]);
        add (characterButtons[i], true);
        colours (characterButtons[i], Colour (0xff446079), juce::Colours::white);
        characterButtons[i].onClick = [this, i] { applyCharacter (i); };
    }
    add (msButton, true);
    msButton.onClick = [this] { toggleMsLabel(); };
    add (powerButton, true);
    colours (powerButton, Colour (0xff5b7a99), juce::Colours::white);
    powerButton.onClick = [this] { toggleModulePower(); };

    // Meter scale: ghost faces painted by the page.
    const char* const scaleNames[4] = { "dBFS", "K-12", "K-14", "K-20" };
    for (int i = 0; i < 4; ++i)
    {
        ghost (scaleButtons[i]);
        scaleButtons[i].setButtonText (scaleNames[i]);
        add (scaleButtons[i], true);
        scaleButtons[i].onClick = [this, i] { setMeterScale (i); };
    }
    scaleButtons[0].setToggleState (true, juce::dontSendNotification);

    // Global switches.
    add (linkButton, true);
    ghost (linkButton);
    linkButton.setTooltip (juce::String::fromUTF8 ("L/R linked \xe2\x80\x94 click to unlink (independent L & R faders)"));
    linkButton.setToggleState (true, juce::dontSendNotification);
    linkButton.onClick = [this] { toggleLinkLR(); };
    add (bypassButton, true);
    add (monoButton, true);
    add (resetButton, false);
    for (auto* b : { &bypassButton, &monoButton, &resetButton })
        ghost (*b);
    bypassButton.setButtonText ("Bypass");
    monoButton.setButtonText ("Mono");
    resetButton.setButtonText ("Reset");
    bypassButton.onClick = [this] { toggleBypass(); };
    monoButton.onClick = [this] { toggleMono(); };
    resetButton.onClick = [this] { resetToInitState(); };
    resetButton.setTooltip ("Restore all panels to defaults");

    // Meter views.
    const char* const viewNames[3] = { "View Meter", "Level", "Final Output" };
    for (int i = 0; i < 3; ++i)
    {
        meterViewButtons[i].setButtonText (viewNames[i]);
        add (meterViewButtons[i], true);
        colours (meterViewButtons[i], juce::Colours::white, juce::Colours::black);
        meterViewButtons[i].onClick = [this, i] { selectMeterView (i); };
    }
    meterViewButtons[0].setToggleState (true, juce::dontSendNotification);

    chainInfo.setPanel ("signalchain", Colour (0xff22d3ee));
    moduleInfo.setPanel ("compressor", Colour (0xff5b7a99));
    meterInfo.setPanel ("vu", Colour (0xfffbbf24));
    for (auto* info : { &chainInfo, &moduleInfo, &meterInfo })
        addAndMakeVisible (info);

    // Level view.
    add (horizontalButton, true);
    add (verticalButton, true);
    add (detailButton, true);
    colours (horizontalButton, Colour (0xff22d3ee), Colour (0xffd4dce2));
    colours (verticalButton, Colour (0xff22d3ee), Colour (0xffd4dce2));
    colours (detailButton, Colour (0xff8b5cf6), juce::Colours::white);
    horizontalButton.setToggleState (true, juce::dontSendNotification);
    detailButton.setToggleState (true, juce::dontSendNotification);
    detailButton.setButtonText ("Less Detail");
    horizontalButton.onClick = [this] { setLevelVertical (false); };
    verticalButton.onClick = [this] { setLevelVertical (true); };
    detailButton.onClick = [this] { toggleLevelDetail(); };
    colours (showAllButton, Colour (0xff22d3ee), Colour (0xffd4dce2));
    colours (onlyUsedButton, Colour (0xff22d3ee), Colour (0xffd4dce2));

    // Tape unit.
    addAndMakeVisible (tapeMachineBox);
    const char* const machines[8] = { "Studer A800", "Ampex ATR-102", "Studer A810", "Otari MTR-90",
                                      "3M M79", "Nagra IV-S", "Tascam MSR-16", "Studer A800 (30 ips)" };
    for (int i = 0; i < 8; ++i)
        tapeMachineBox.addItem (machines[i], i + 1);
    tapeMachineBox.setSelectedId (1, juce::dontSendNotification);
    tapeMachineBox.onChange = [this] { applyTapeMachine(); };
    const char* const speeds[3] = { "7.5", "15", "30" };
    for (int i = 0; i < 3; ++i)
    {
        tapeSpeedButtons[i].setButtonText (speeds[i]);
        add (tapeSpeedButtons[i], true);
        colours (tapeSpeedButtons[i], Colour (0xffe8a06a), Colour (0xffd4dce2));
        tapeSpeedButtons[i].onClick = [this, i] { setTapeSpeed (i); };
    }

    // Analogue density unit.
    const char* const satFreq[3] = { "Low", "Flat", "High" };
    const char* const calibration[3] = { "Dar", "Nor", "Bri" };
    for (int i = 0; i < 3; ++i)
    {
        satFreqButtons[i].setButtonText (satFreq[i]);
        calibrationButtons[i].setButtonText (calibration[i]);
        add (satFreqButtons[i], true);
        add (calibrationButtons[i], true);
        satFreqButtons[i].onClick = [this, i] { setDensityChoice ("analogueDensity_satFreq", i); };
        calibrationButtons[i].onClick = [this, i] { setDensityChoice ("analogueDensity_calibration", i); };
    }
    auto bindParamToggle = [this, &add] (juce::TextButton& b, const juce::String& paramId)
    {
        add (b, true);
        b.onClick = [this, paramId] { flipBoolParam (paramId); };
    };
    bindParamToggle (airButton, "analogueDensity_air");
    bindParamToggle (altTubeButton, "analogueDensity_altTube");
    bindParamToggle (densityInOutButton, "analogueDensity_satIn");
    for (auto* b : { &airButton, &altTubeButton, &densityInOutButton })
        b->setColour (juce::TextButton::buttonOnColourId, Colour (0xff6fb1e0));
    add (vuButton, true);
    add (ppmButton, true);
    colours (vuButton, juce::Colours::white, juce::Colours::black);
    colours (ppmButton, juce::Colours::white, juce::Colours::black);
    vuButton.onClick = [this] { selectBallistics (true); };
    ppmButton.onClick = [this] { selectBallistics (false); };

    // Clip unit.
    const char* const clipViews[3] = { "TRANSFER", "FILTER", "MACRO" };
    for (int i = 0; i < 3; ++i)
    {
        clipViewButtons[i].setButtonText (clipViews[i]);
        add (clipViewButtons[i], true);
        colours (clipViewButtons[i], Colour (0xff98fb98), Colour (0xff06210f));
        clipViewButtons[i].onClick = [this, i] { selectClipView (i); };
    }
    clipViewButtons[0].setToggleState (true, juce::dontSendNotification);
    harshnessKnob = std::make_unique<HardwareKnob> ("HARSHNESS", "%", Colour (0xff98fb98), 148);
    harshnessKnob->slider.setRange (0.0, 100.0, 0.1);
    harshnessKnob->slider.setDoubleClickReturnValue (true, 28.0, juce::ModifierKeys::altModifier);
    harshnessKnob->slider.setValue (28.0, juce::dontSendNotification);
    harshnessKnob->slider.onValueChange = [this] { applyClipHarshness(); };
    addChildComponent (*harshnessKnob);
    clipMixFader = std::make_unique<ClipMixFader> (p.apvts);
    addChildComponent (*clipMixFader);

    // Delay unit.
    const char* const syncModes[2] = { "Free", "Sync" };
    for (int i = 0; i < 2; ++i)
    {
        syncModeButtons[i].setButtonText (syncModes[i]);
        add (syncModeButtons[i], true);
        styleRackButton (syncModeButtons[i], true, "tc-tab");
        syncModeButtons[i].onClick = [this, i] { setDelaySyncMode (i); };
    }
    const char* const styles[8] = { "Slap", "1/8 Echo", "Dotted", "Quarter", "Tape", "Dub", "Ambient", "Shimmer" };
    for (int i = 0; i < 8; ++i)
    {
        delayStyleButtons[i].setButtonText (styles[i]);
        add (delayStyleButtons[i], true);
        styleRackButton (delayStyleButtons[i], true, "tc-metal");
        delayStyleButtons[i].onClick = [this, i] { applyDelayStyle (i); };
    }
    const char* const notes[6] = { "1/16", "1/16.", "1/8", "1/8.", "1/4", "1/4." };
    for (int i = 0; i < 6; ++i)
    {
        noteButtons[i].setButtonText (notes[i]);
        add (noteButtons[i], true);
        styleRackButton (noteButtons[i], true, "tc-metal");
        noteButtons[i].onClick = [this, i] { setDelayNote (i); };
    }
    add (bpmDownButton, false);
    add (bpmUpButton, false);
    styleRackButton (bpmDownButton, false, "tc-metal");
    styleRackButton (bpmUpButton, false, "tc-metal");
    bpmDownButton.onClick = [this] { nudgeDelayBpm (-1.0f); };
    bpmUpButton.onClick = [this] { nudgeDelayBpm (1.0f); };

    // Reverb unit.
    const char* const reverbPages[2] = { "Main", "EQ" };
    for (int i = 0; i < 2; ++i)
    {
        reverbViewButtons[i].setButtonText (reverbPages[i]);
        add (reverbViewButtons[i], true);
        styleRackButton (reverbViewButtons[i], true, "tc-tab");
        reverbViewButtons[i].onClick = [this, i] { selectReverbPage (i); };
    }
    const char* const rooms[7] = { "Room", "Studio", "Hall", "Cathedral", "Plate", "Shimmer", "Extreme" };
    for (int i = 0; i < 7; ++i)
    {
        reverbTypeButtons[i].setButtonText (rooms[i]);
        add (reverbTypeButtons[i], true);
        styleRackButton (reverbTypeButtons[i], true, "tc-metal");
        reverbTypeButtons[i].onClick = [this, i] { applyReverbType (i); };
    }

    buildModulePanels();
    for (auto& slot : panels)
        if (slot.panel != nullptr)
        {
            addChildComponent (*slot.panel);
            slot.panel->setVisible (false);
        }

    lastStateVersion = p.stateVersion.load();
    tubeTime = juce::Time::getMillisecondCounterHiRes() * 0.001;
    rebuildKnobs();
    // The timer starts when the page shows (followShowing).
}

StudioComponent::~StudioComponent()
{
    stopTimer();
}

bool StudioComponent::isChainProduct() const noexcept
{
    return processor.product == 0 || processor.product == 15;
}

juce::String StudioComponent::moduleId() const
{
    const int p = processor.product;
    if (p == 0 || p == 15)
        return vyrChain::kFxOrder[juce::jlimit (0, vyrChain::kNumModules - 1, selectedSlot)];
    if (p >= 1 && p <= 14)
        return kModuleOfProduct[p];
    return "chain";
}

juce::Rectangle<int> StudioComponent::moduleRect() const noexcept
{
    const int W = getWidth(), H = getHeight();
    if (! isChainProduct())
        return { 0, 0, W, H };
    const int leftW = W - juce::jmin (W, 212);
    const int w = juce::jmin (juce::jmax (leftW, 32), 871) - 16;
    return { (leftW - w) / 2, 136, w, juce::jmin (juce::jmax (H, 304), 614) - 144 };
}

float StudioComponent::paramValue (const char* id, float fallback) const
{
    if (auto* raw = processor.apvts.getRawParameterValue (id))
        return raw->load();
    return fallback;
}

void StudioComponent::setParam (const juce::String& id, float plainValue, bool withGesture)
{
    auto* param = processor.apvts.getParameter (id);
    if (param == nullptr)
        return;
    if (withGesture)
        param->beginChangeGesture();
    param->setValueNotifyingHost (param->convertTo0to1 (plainValue));
    if (withGesture)
        param->endChangeGesture();
}

//==============================================================================
void StudioComponent::visibilityChanged() { followShowing(); }
void StudioComponent::parentHierarchyChanged() { followShowing(); }

void StudioComponent::followShowing()
{
    if (isShowing())
    {
        syncLiveViews();
        if (! isTimerRunning())
        {
            seen = {};
            startTimer (33);
        }
        return;
    }
    stopTimer();
    syncLiveViews();
}

void StudioComponent::syncLiveViews()
{
    const bool showing = isShowing() && isChainProduct();
    const bool column = showing;
    if (column && inMeter == nullptr)
    {
        auto& m = processor.meters;
        inMeter = std::make_unique<LedMeter> (&m.inPeak[0], &m.inPeak[1], &m.inRms[0], &m.inRms[1]);
        outMeter = std::make_unique<LedMeter> (&m.outPeak[0], &m.outPeak[1], &m.outRms[0], &m.outRms[1]);
        for (auto* meter : { inMeter.get(), outMeter.get() })
        {
            meter->vertical = true;
            meter->compact = true;
            meter->showPeakText = true;
        }
        inMeter->showScale = false;
        outMeter->showScale = true;
        inMeter->title = "IN";
        outMeter->title = "OUT";
        addAndMakeVisible (*inMeter);
        addAndMakeVisible (*outMeter);
    }
    else if (! column && inMeter != nullptr)
    {
        inMeter.reset();
        outMeter.reset();
    }

    const bool views = showing && panelMode;
    if (views && meterView == 0 && vuMeter == nullptr)
    {
        auto& m = processor.meters;
        vuMeter = std::make_unique<VuMeter> (&m.inRms[0], &m.inRms[1], &m.outRms[0], &m.outRms[1]);
        addChildComponent (*vuMeter);
    }
    else if (! (views && meterView == 0))
        vuMeter.reset();
    if (views && meterView == 1 && levelMeter == nullptr)
    {
        levelMeter = std::make_unique<LevelMeterView> (processor);
        levelMeter->moreDetail = detailButton.getToggleState();
        levelMeter->vertical = verticalButton.getToggleState();
        addChildComponent (*levelMeter);
    }
    else if (! (views && meterView == 1))
        levelMeter.reset();
    if (views && meterView == 2 && outputAnalyzer == nullptr)
    {
        outputAnalyzer = std::make_unique<OutputAnalyzerView> (processor);
        addChildComponent (*outputAnalyzer);
    }
    else if (! (views && meterView == 2))
        outputAnalyzer.reset();
}

StudioComponent::Seen StudioComponent::currentSeen() const
{
    Seen s;
    s.theme = processor.themeIndex.load();
    const auto key = moduleId() + "_enabled";
    s.enabled = paramValue (key.toRawUTF8(), 0.0f) >= 0.5f ? 1 : 0;
    s.bypass = paramValue ("bypass", 0.0f) >= 0.5f ? 1 : 0;
    s.mono = paramValue ("mono", 0.0f) >= 0.5f ? 1 : 0;
    s.scale = juce::roundToInt (paramValue ("meteringMode", 0.0f));
    s.bpm = juce::roundToInt (paramValue ("delay_bpm", 120.0f));
    s.note = juce::roundToInt (paramValue ("delay_syncNote", 0.0f));
    return s;
}

void StudioComponent::timerCallback()
{
    ++ticks;
    tickRepaints.clear();
    animTime += 0.033f;
    VyrLookAndFeel::get()->themeId = processor.themeIndex.load();

    if (processor.stateVersion.load() != lastStateVersion)
        syncAfterInit();

    const int linked = paramValue ("linkLR", 1.0f) >= 0.5f ? 1 : 0;
    if (linked != lastLinkLR)
    {
        lastLinkLR = linked;
        linkButton.setToggleState (linked != 0, juce::dontSendNotification);
        resized();
        repaint();
        tickRepaints.add (getLocalBounds());
    }

    const auto now = currentSeen();
    if (! (now == seen))
    {
        seen = now;
        // A note chosen or cleared from outside brings or takes away the delay's "Time" fader.
        bool hasTime = false;
        for (auto* f : tcFaders)
            hasTime = hasTime || f->label == "Time";
        if (! panelMode && moduleId() == "delay" && hasTime != (now.note == 0))
            rebuildKnobs();
        else
            resized();
        repaint();
        tickRepaints.add (getLocalBounds());
    }

    advanceTapeReels();
    copyLinkedGains();
    repaintLivePictures();
}

// While the sides are linked the right gain follows the left one; differences of 0.05 dB or less are
// left alone so that a value's own rounding never makes the page write.
void StudioComponent::copyLinkedGains()
{
    if (processor.apvts.getParameter ("linkLR") == nullptr || paramValue ("linkLR", 1.0f) < 0.5f)
        return;
    for (auto [left, right] : { std::pair { "inputGainL", "inputGainR" }, std::pair { "outputGainL", "outputGainR" } })
    {
        auto* l = processor.apvts.getRawParameterValue (left);
        auto* r = processor.apvts.getParameter (right);
        if (l != nullptr && r != nullptr && std::abs (r->convertFrom0to1 (r->getValue()) - l->load()) > 0.05f)
            r->setValueNotifyingHost (r->convertTo0to1 (l->load()));
    }
}

void StudioComponent::advanceTapeReels()
{
    const bool on = paramValue ("tape_enabled", 0.0f) >= 0.5f;
    const int speed = juce::roundToInt (paramValue ("tape_speed", 1.0f));
    const float ips = speed == 0 ? 7.5f : (speed == 2 ? 30.0f : 15.0f);
    reelSpeed += 0.12f * ((on ? 0.35f * ips : 0.0f) - reelSpeed);
    reelLevel += 0.12f * ((on ? 1.0f : 0.0f) - reelLevel);
    // Both settle exactly on their targets, so stopped reels stop repainting.
    for (auto [value, target] : { std::pair { &reelSpeed, on ? 0.35f * ips : 0.0f }, std::pair { &reelLevel, on ? 1.0f : 0.0f } })
        if (std::abs (*value - target) < 1.0e-4f)
            *value = target;
    reelAngle = std::fmod (reelAngle + reelSpeed / 30.0f, juce::MathConstants<float>::twoPi);
}

// The pictures move with the clock and the meters. Each tick takes one frame of the picture (the
// meter reading and the clock included), and repaints only where it differs from the frame before:
// nothing for a picture that stands still, the moving parts of one that moves, the whole picture
// when a parameter, the view or a handle changed. Nothing is repainted while the page cannot be seen.
void StudioComponent::repaintLivePictures()
{
    const auto areas = advancePicture();
    if (areas.isEmpty() || ! vyrVisibleInScroll (*this))
        return;
    for (const auto& r : areas)
        repaint (r);
    tickRepaints.add (areas);
}

juce::RectangleList<int> StudioComponent::advancePicture()
{
    static const juce::StringArray live { "compressor", "saturation", "clip", "delay", "tape", "reverb", "analogueDensity" };
    const auto key = moduleId();
    if (panelMode || ! live.contains (key))
    {
        shownPicture.reset();
        return {};
    }
    if (key != pictureParamsKey)
    {
        pictureParamsKey = key;
        pictureParams.clear();
        for (auto* p : processor.getParameters())
            if (auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (p))
                if (ranged->getParameterID().startsWith (key + "_"))
                    pictureParams.push_back (processor.apvts.getRawParameterValue (ranged->getParameterID()));
        shownParams.clear();
    }
    std::vector<float> params;
    params.reserve (pictureParams.size());
    for (auto* v : pictureParams)
        params.push_back (v != nullptr ? v->load() : 0.0f);

    pictureLevels = VyrPictureLevels::read (processor);
    tubeTime = juce::Time::getMillisecondCounterHiRes() * 0.001;
    const auto next = pictureState();

    auto samePicture = [] (const VyrPictureState& a, const VyrPictureState& b)
    {
        return a.key == b.key && a.moduleRect == b.moduleRect && a.graph == b.graph && a.enabled == b.enabled && a.clipView == b.clipView
            && a.reverbView == b.reverbView && a.vuBallistics == b.vuBallistics && a.hoverHit == b.hoverHit && a.dragHit == b.dragHit
            && a.clipHandleX[0] == b.clipHandleX[0] && a.clipHandleX[1] == b.clipHandleX[1];
    };
    juce::RectangleList<int> areas;
    if (shownPicture.has_value() && samePicture (*shownPicture, next) && params == shownParams)
        areas = vyrFxPictures::movedAreas (processor, *shownPicture, next);
    else
    {
        areas.add (vyrFxPictures::bounds (next));
        if (shownPicture.has_value())
            areas.add (vyrFxPictures::bounds (*shownPicture));
    }
    shownPicture = next;
    shownParams = std::move (params);
    areas.clipTo (getLocalBounds());
    return areas;
}
