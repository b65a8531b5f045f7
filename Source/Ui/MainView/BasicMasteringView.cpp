#include "Ui/MainView/BasicMasteringView.h"

#include "Core/PluginProcessor.h"
#include "Dsp/SignalChain.h"
#include "Model/QuarnPresets.h"
#include "Ui/Controls/GhostButton.h"
#include "Ui/Foundation/VyrTheme.h"
#include "Ui/MainView/MainViewTables.h"

namespace
{
// An invisible hit area: takes its own clicks (not its children's) and never the keyboard focus.
void ghost (juce::TextButton& b)
{
    ghostBtn (b);
    b.setInterceptsMouseClicks (true, false);
    b.setMouseClickGrabsKeyboardFocus (false);
    b.setWantsKeyboardFocus (false);
}
}

BasicMasteringView::BasicMasteringView (VyrAudioProcessor& p)
    : processor (p), levelToken (p.levelReaders)
    , quarn (p)
    , space (p)
    , effectGauge (p)
    , tray (p)
    , moods (std::make_shared<const std::vector<vyrLive::MoodPreset>> (p.live.moodPresets))
{
    auto choice = [&p] (const char* id) { return dynamic_cast<juce::AudioParameterChoice*> (p.apvts.getParameter (id)); };
    params.style = choice ("masterStyle");
    params.medium = choice ("masterMedium");
    params.lufs = choice ("masterLufs");
    params.live = choice ("liveAnalysis");
    params.metering = choice ("meteringMode");
    params.bypass = p.apvts.getParameter ("bypass");
    for (int i = 0; i < 13; ++i)
        params.enabled[i] = p.apvts.getRawParameterValue (juce::String (vyrChain::kFxOrder[i]) + "_enabled");

    auto addGhost = [this] (juce::TextButton& b)
    {
        ghost (b);
        addAndMakeVisible (b);
    };

    for (int i = 0; i < 8; ++i)
    {
        addGhost (mediumChips[i]);
        mediumChips[i].onClick = [this, i] { mediumChipClicked (i); };
    }
    for (int i = 0; i < 7; ++i)
    {
        addGhost (styleChips[i]);
        styleChips[i].onClick = [this, i] { styleChipClicked (i); };
    }

    // The mood-name slot has no action of its own, but it takes the pointer so that the tooltip
    // window can find it; its presses do nothing, as on the bare view.
    addGhost (moodNameArea);
    moodNameArea.setTooltip (vyrMainView::kMoodChipTooltip);

    const char* liveTips[3] = {
        "LIVE Off - no real-time analysis (today's Quarn).",
        "LIVE Show - form letters A-G (same loudness class = same letter). Display only.",
        "LIVE Arm - form letters A-G (same class returning = same letter). First pass stamps late; replay at the seam, not a pile of points."
    };
    for (int m = 0; m < 3; ++m)
    {
        addGhost (liveChips[m]);
        liveChips[m].setTooltip (liveTips[m]);
        liveChips[m].onClick = [this, m] { liveChipClicked (m); };
    }

    moodBox.setTooltip (vyrMainView::kMoodBoxTooltip);
    moodBox.setJustificationType (juce::Justification::centredLeft);
    moodBox.setColour (juce::ComboBox::backgroundColourId, juce::Colour (0xff22262c));
    moodBox.setColour (juce::ComboBox::outlineColourId, juce::Colour (0x26ffffff));
    moodBox.setColour (juce::ComboBox::textColourId, juce::Colour (0xd1ffffff));
    moodBox.setColour (juce::ComboBox::arrowColourId, juce::Colour (0x73ffffff));
    moodBox.setTextWhenNothingSelected ("Presets");
    moodBox.setTextWhenNoChoicesAvailable ("Presets");
    moodBox.onChange = [this] { moodChosen(); };
    addAndMakeVisible (moodBox);
    buildMoodBox();

    addGhost (updateButton);
    updateButton.setTooltip ("Update - write heard Mix / QUARN / Effect / chain On onto this form section (B' or B'').");
    addGhost (likeButton);
    likeButton.setTooltip ("Yes - I like this preset for this section.");
    addGhost (dislikeButton);
    dislikeButton.setTooltip ("No - does not work. Picks another mood for this section now.");
    updateButton.onClick = [this] { updateClicked(); };
    likeButton.onClick = [this] { likeClicked(); };
    dislikeButton.onClick = [this] { dislikeClicked(); };

    // The loudness target: a five-step selector that turns round past either end.
    lufsKnob = std::make_unique<HardwareKnob> (p.apvts, "masterLufs", "LUFS", juce::String(), juce::Colour (0xff67e8f9), 138);
    lufsKnob->selector = true;
    lufsKnob->topInset = 8;
    lufsKnob->resetValue = 2.0; // -14
    lufsKnob->stepLabels = { "-23", "-16", "-14", "-11", "-9" };
    auto& lufsSlider = lufsKnob->slider;
    lufsSlider.setSliderStyle (juce::Slider::RotaryVerticalDrag);
    lufsSlider.setMouseDragSensitivity (200);
    lufsSlider.setScrollWheelEnabled (false);
    lufsSlider.wrapDrag = true;
    lufsSlider.setRotaryParameters (0.0f, juce::MathConstants<float>::twoPi, false);
    lufsSlider.onValueChange = [this]
    {
        if (lufsKnob == nullptr)
            return;
        lufsKnob->repaint();
        // Only the user's own turn (or reset) stamps a loudness recipe; a value arriving through
        // the attachment (automation, MIDI, a recall, a recipe) only shows.
        lufsKnobChanged (lufsKnob->slider.getValue(), lufsKnob->isMouseButtonDown (true));
    };
    addAndMakeVisible (*lufsKnob);

    addGhost (bypassButton);
    bypassButton.setTooltip (juce::CharPointer_UTF8 ("Host bypass \xe2\x80\x94 a short equal-power fade."));
    bypassButton.onClick = [this] { bypassClicked(); };

    addGhost (scaleDownButton);
    addGhost (scaleResetButton);
    addGhost (scaleUpButton);
    scaleDownButton.setTooltip (juce::CharPointer_UTF8 ("Smaller plugin window  \xc2\xb7  corner drag"));
    scaleResetButton.setTooltip ("Reset window scale");
    scaleUpButton.setTooltip (juce::CharPointer_UTF8 ("Larger plugin window  \xc2\xb7  corner drag"));
    scaleDownButton.onClick = [this]
    {
        if (setWindowScale && getWindowScale)
            setWindowScale (getWindowScale() - 0.05f);
    };
    scaleUpButton.onClick = [this]
    {
        if (setWindowScale && getWindowScale)
            setWindowScale (getWindowScale() + 0.05f);
    };
    scaleResetButton.onClick = [this]
    {
        if (setWindowScale)
            setWindowScale (1.0f);
    };

    addGhost (loadButton);
    addGhost (playButton);
    addGhost (stopButton);
    addGhost (exportButton);
    loadButton.onClick = [this] { browseFile(); };
    playButton.onClick = [this] { playClicked(); };
    stopButton.onClick = [this] { stopClicked(); };
    exportButton.onClick = [this] { beginExport(); };

    // A Mix knob for every module but the bass-mono monitor; placed under its tray tile.
    for (int i = 0; i < vyrChain::kNumModules; ++i)
    {
        const juce::String id (vyrChain::kFxOrder[i]);
        if (id == "tovu")
            continue;
        mixKnobs[i] = std::make_unique<HardwareKnob> (p.apvts, id + "_mix", "Mix", "%", vyrFxColour (id), 40);
        addAndMakeVisible (*mixKnobs[i]);
    }

    auto& m = p.meters;
    inMeter = std::make_unique<LedMeter> (&m.inPeak[0], &m.inPeak[1], &m.inRms[0], &m.inRms[1]);
    outMeter = std::make_unique<LedMeter> (&m.outPeak[0], &m.outPeak[1], &m.outRms[0], &m.outRms[1]);
    for (auto* meter : { inMeter.get(), outMeter.get() })
    {
        meter->vertical = true;
        meter->compact = true;
        meter->showPeakText = true;
        meter->transparent = true;
        meter->housing = false;
        addAndMakeVisible (*meter);
    }
    inMeter->showScale = false;
    outMeter->showScale = true;
    inMeter->title = "IN";
    outMeter->title = "OUT";

    infoButton.setPanel ("vyrbasic", juce::Colour (0xfff59e0b));
    addAndMakeVisible (infoButton);
    addAndMakeVisible (quarn);
    addAndMakeVisible (space);
    addAndMakeVisible (effectGauge);

    tray.showSelection = false;
    tray.compact = true;
    tray.tileWidth = 52;
    tray.tileHeight = 52;
    tray.padX = 8.0f;
    tray.padY = 16.0f;
    tray.layoutHits();
    tray.repaint();
    addAndMakeVisible (tray);

    tray.onChanged = [this]
    {
        layoutMixKnobs();
        repaint();
    };
    // A polar edit may switch modules on or off; only the tray shows that.
    quarn.onChanged = [this] { syncTrayWithChain(); };
    space.onChanged = [this] { syncTrayWithChain(); };

    const bool alone = standalone();
    for (auto* b : { &loadButton, &playButton, &stopButton, &exportButton })
        b->setVisible (alone);

    buildMotes();
    syncTrayWithChain();
    seenRecipeGeneration = processor.recipeGeneration.load (std::memory_order_acquire);
    startTimerHz (alone ? 20 : 16);
}

BasicMasteringView::~BasicMasteringView() = default;

bool BasicMasteringView::standalone() const noexcept
{
    return processor.wrapperType == juce::AudioProcessor::wrapperType_Standalone;
}

juce::Colour BasicMasteringView::accentFor (int themeIndex) noexcept
{
    switch (themeIndex)
    {
        case 1: return juce::Colour (0xff22d3ee);
        case 2: return juce::Colour (0xffe0a94e);
        case 3: return juce::Colour (0xffff9e1a);
        case 4: return juce::Colour (0xff00f0ff);
        case 5: return juce::Colour (0xff5fe8c4);
        default: return juce::Colour (0xff38e0ff);
    }
}

void BasicMasteringView::buildMoodBox()
{
    moodBoxSyncing = true;
    moodBox.clear (juce::dontSendNotification);
    juce::String heading;
    for (int k = 0; k < numMoods(); ++k)
    {
        const auto& preset = (*moods)[(size_t) k];
        if (preset.mood != heading)
        {
            moodBox.addSectionHeading (preset.mood);
            heading = preset.mood;
        }
        moodBox.addItem (preset.name, k + 1);
    }
    moodBox.setSelectedId (0, juce::dontSendNotification);
    moodBoxSyncing = false;
    shownMood = -2, shownLetter = 0, shownLetterMood = -1;
    syncPresetBox();
}

void BasicMasteringView::buildMotes()
{
    juce::Random random (6048369);
    for (auto& m : motes)
    {
        const float r0 = random.nextFloat(), r1 = random.nextFloat(), r2 = random.nextFloat();
        const float r3 = random.nextFloat(), r4 = random.nextFloat(), r5 = random.nextFloat(), r6 = random.nextFloat();
        m = { r0, r1, 0.62f + 1.12f * r2, 0.26f + 0.24f * r3, 0.4f + 0.8f * r4, r5, r6 };
    }
}

//==============================================================================
void BasicMasteringView::resized()
{
    // The wordmark is measured in the header's inner rectangle, which does not depend on it.
    const bool detents = lufsKnob == nullptr || ! lufsKnob->stepLabels.isEmpty();
    const auto area = VyrMainViewLayout::compute (getWidth(), getHeight(), standalone(), 0.0f, detents).lockupArea;
    layout = VyrMainViewLayout::compute (getWidth(), getHeight(), standalone(), vyrMainView::headerLockupWidth (area), detents);
    const auto& L = layout;

    if (standalone())
    {
        playButton.setBounds (L.play);
        stopButton.setBounds (L.stop);
        exportButton.setBounds (L.download);
        loadButton.setBounds (L.load);
    }
    headerArea = L.headerArea;
    stageArea = L.stageArea;
    meterWell = L.meterWell;

    infoButton.setBounds (L.info);
    scaleDownButton.setBounds (L.scaleDown);
    scaleResetButton.setBounds (L.scaleReset);
    scaleUpButton.setBounds (L.scaleUp);
    if (scaleResetButton.getButtonText().isNotEmpty())
    {
        scaleResetButton.setButtonText ({});
        scaleResetButton.repaint();
    }
    bypassButton.setBounds (L.bypass);

    for (int i = 0; i < 7; ++i)
        styleChips[i].setBounds (L.styleChips[i]);
    moodNameArea.setBounds (L.moodName);
    for (int i = 0; i < 8; ++i)
        mediumChips[i].setBounds (L.mediumChips[i]);

    for (int m = 0; m < 3; ++m)
        liveChips[m].setBounds (L.liveChips[m]);
    moodBox.setBounds (L.moodBox);
    updateButton.setBounds (L.update);
    likeButton.setBounds (L.yes);
    dislikeButton.setBounds (L.no);

    quarn.setBounds (L.quarn);
    effectGauge.setBounds (L.gauge);
    space.setBounds (L.space);
    if (lufsKnob != nullptr)
    {
        lufsKnob->size = 138;
        lufsKnob->setBounds (L.lufsKnob);
        // On a short stage (the Standalone's) the caption stays inside the stage's frame.
        lufsKnob->captionLimit = L.stageArea.getBottom() - 3 - L.lufsKnob.getY();
    }
    if (inMeter != nullptr)
        inMeter->setBounds (L.inMeter);
    if (outMeter != nullptr)
        outMeter->setBounds (L.outMeter);
    tray.setBounds (L.tray);

    layoutMixKnobs();

    // Stacking order, front-most last.
    for (auto* c : std::initializer_list<juce::Component*> { &quarn, &space, &effectGauge, &tray })
        c->toFront (false);
    for (auto& k : mixKnobs)
        if (k != nullptr)
            k->toFront (false);
    for (auto* c : std::initializer_list<juce::Component*> { inMeter.get(), outMeter.get(), lufsKnob.get() })
        if (c != nullptr)
            c->toFront (false);
    for (auto* c : std::initializer_list<juce::Component*> { &styleChips[0], &styleChips[1], &styleChips[2], &styleChips[3],
                                                            &styleChips[4], &styleChips[5], &styleChips[6], &moodNameArea })
        c->toFront (false);
    for (auto& c : mediumChips)
        c.toFront (false);
    for (auto& c : liveChips)
        c.toFront (false);
    for (auto* c : std::initializer_list<juce::Component*> { &moodBox, &updateButton, &likeButton, &dislikeButton, &bypassButton,
                                                            &scaleDownButton, &scaleResetButton, &scaleUpButton, &infoButton })
        c->toFront (false);
}

void BasicMasteringView::layoutMixKnobs()
{
    for (auto& k : mixKnobs)
        if (k != nullptr)
            k->setVisible (false);
    const auto t = tray.getBounds();
    for (int k = 0; k < juce::jmin (tray.visibleCount, 13); ++k)
    {
        const int module = tray.visibleModule[k];
        if (module < 0 || module >= 13 || mixKnobs[module] == nullptr)
            continue;
        const auto tile = tray.tileBounds[k];
        mixKnobs[module]->setVisible (true);
        mixKnobs[module]->setBounds (t.getX() + tile.getX() + tile.getWidth() / 2 - 24, t.getBottom() + 4, 48, 66);
    }
}

void BasicMasteringView::syncTrayWithChain()
{
    std::uint32_t mask = 0;
    for (int i = 0; i < 13; ++i)
        if (params.enabled[i] != nullptr && params.enabled[i]->load (std::memory_order_relaxed) >= 0.5f)
            mask |= 1u << i;
    const bool orderMoved = ! std::equal (std::begin (shownOrder), std::end (shownOrder), std::begin (processor.fxOrder));
    if (! orderMoved && mask == shownEnabledMask)
        return;
    std::copy (std::begin (processor.fxOrder), std::end (processor.fxOrder), shownOrder);
    shownEnabledMask = mask;
    tray.layoutHits();
    layoutMixKnobs();
    tray.repaint();
}

void BasicMasteringView::syncScaleChip()
{
    if (scaleResetButton.getButtonText().isNotEmpty())
    {
        scaleResetButton.setButtonText ({});
        scaleResetButton.repaint();
    }
}

//==============================================================================
// Chips and buttons.

void BasicMasteringView::setChoice (VyrAudioProcessor& proc, const juce::String& parameterId, int index)
{
    auto* param = dynamic_cast<juce::AudioParameterChoice*> (proc.apvts.getParameter (parameterId));
    if (param == nullptr)
        return;
    const float v = param->convertTo0to1 ((float) index);
    auto& base = static_cast<juce::AudioProcessorParameter&> (*param);
    base.beginChangeGesture();
    base.setValue (v);
    base.sendValueChangedMessageToListeners (v);
    base.endChangeGesture();
}

int BasicMasteringView::choiceIndex (const juce::AudioParameterChoice* param, int fallback) noexcept
{
    return param != nullptr ? param->getIndex() : fallback;
}

int BasicMasteringView::currentLetterIndex() const noexcept
{
    const auto ch = (signed char) (processor.live.letter.load (std::memory_order_acquire) & 0xff);
    return ch < 'A' ? 0 : (ch > 'G' ? 6 : ch - 'A');
}

void BasicMasteringView::refreshAfterRecipe (bool includeMixKnobs)
{
    quarn.readParams();
    quarn.repaint();
    space.readParams();
    space.repaint();
    if (includeMixKnobs)
        for (auto& k : mixKnobs)
            if (k != nullptr)
                k->repaint();
    effectGauge.repaint();
    if (! includeMixKnobs && lufsKnob != nullptr)
        lufsKnob->repaint();
    repaint();
}

void BasicMasteringView::styleChipClicked (int i)
{
    processor.currentMood.store (-1, std::memory_order_release);
    processor.notifyMasterMood (-1, 0);
    processor.styleIndex.store (i, std::memory_order_release);
    int lufs = processor.lufsIndex.load (std::memory_order_acquire);
    processor.noteArmUserHold();

    const int style = juce::jlimit (0, 6, i);
    lufs = juce::jlimit (0, 4, lufs);
    processor.styleIndex.store (style, std::memory_order_release);
    processor.lufsIndex.store (lufs, std::memory_order_release);

    processor.applyingRecipe = true;
    vyrQuarn::applyChips (processor.apvts, style, lufs, -1);
    processor.applyingRecipe = false;

    refreshAfterRecipe (true);
    if (processor.live.sectionKnown.load (std::memory_order_acquire))
        processor.live.letterChips[currentLetterIndex()].userEdited = true;
    syncPresetBox();
    recipeHint = juce::String (vyrMainView::kMasterStyles[style]) + " recipe - Mix is the starting ceiling. Drag to taste.";
}

void BasicMasteringView::mediumChipClicked (int i)
{
    setChoice ("masterMedium", i);
    const float target = vyrQuarn::gMediumLufs[juce::jlimit (0, 7, i)];
    processor.mediumIndex.store (i, std::memory_order_release);
    processor.noteArmUserHold();

    const int k = vyrMainView::nearestLufsOption (target);
    stampLufs (k);
    recipeHint = juce::String (vyrMainView::kMediumNames[juce::jlimit (0, 7, i)]) + "  -  "
                 + juce::String ((int) vyrMainView::kLufsOptions[k]) + " LUFS";
}

void BasicMasteringView::stampLufs (int index, bool insideLufsGesture)
{
    const int i = juce::jlimit (0, 4, index);
    const bool previous = lufsStampGuard;
    lufsStampGuard = true;
    processor.lufsIndex.store (i, std::memory_order_release);
    if (! insideLufsGesture)
        setChoice ("masterLufs", i);
    else if (params.lufs != nullptr)
    {
        const float v = params.lufs->convertTo0to1 ((float) i);
        auto& base = static_cast<juce::AudioProcessorParameter&> (*params.lufs);
        base.setValue (v);
        base.sendValueChangedMessageToListeners (v);
    }
    processor.applyingRecipe = true;
    vyrQuarn::applyLufs (processor.apvts, i, true);
    processor.applyingRecipe = false;
    refreshAfterRecipe (false);
    lufsStampGuard = previous;
}

void BasicMasteringView::lufsKnobChanged (double v, bool byUser)
{
    if (lufsStampGuard || ! byUser)
        return;
    const int i = juce::jlimit (0, 4, (int) std::round (v));
    if (i == processor.lufsIndex.load (std::memory_order_acquire))
        return;

    for (int m = 0; m < 8; ++m)
        if (std::abs (vyrQuarn::gMediumLufs[m] - vyrMainView::kLufsOptions[i]) < 0.01f)
        {
            setChoice ("masterMedium", m);
            processor.mediumIndex.store (m, std::memory_order_release);
            break;
        }

    processor.lufsIndex.store (i, std::memory_order_release);
    processor.noteArmUserHold();
    // The knob's attachment holds the loudness gesture while the user turns it.
    stampLufs (i, lufsKnob != nullptr && lufsKnob->isMouseButtonDown (true));
    recipeHint = juce::String ((int) vyrMainView::kLufsOptions[i]) + " LUFS - drive, Effect trim, BOOST cap. Limiter OUT stays true-peak.";
}

void BasicMasteringView::bypassClicked()
{
    if (auto* param = params.bypass)
    {
        const float v = param->getValue() < 0.5f ? 1.0f : 0.0f;
        param->setValue (v);
        param->sendValueChangedMessageToListeners (v);
    }
    repaint();
}

void BasicMasteringView::mouseDown (const juce::MouseEvent& e)
{
    const auto p = e.getPosition();
    auto tryChip = [p] (juce::TextButton& b)
    {
        if (! b.getBounds().contains (p))
            return false;
        b.triggerClick();
        return true;
    };
    for (auto& c : styleChips)
        if (tryChip (c))
            return;
    for (auto& c : liveChips)
        if (tryChip (c))
            return;
    for (auto* c : { &updateButton, &likeButton, &dislikeButton })
        if (tryChip (*c))
            return;
    for (auto& c : mediumChips)
        if (tryChip (c))
            return;
    tryChip (bypassButton);
}
