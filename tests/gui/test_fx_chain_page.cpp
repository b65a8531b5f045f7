// The FX chain page: the module each product shows, the controls, switches and layout of its
// units, what its buttons write (values and gestures), that a hidden page runs nothing and that
// outside changes never make it write. Clicks go through the window's peer.
#include "GuiTestUtil.h"
#include "Ui/Controls/FactoryPresetBrowser.h"
#include "Ui/Controls/LedMeter.h"
#include "Ui/Controls/LevelMeterView.h"
#include "Ui/Controls/VuMeter.h"
#include "Ui/FxChain/FxActions.h"
#include "Ui/FxChain/FxPainting.h"
#include "Ui/FxChain/StudioComponent.h"
#include "Ui/Shell/PluginEditor.h"

using namespace vyrGui;

namespace
{
struct Page
{
    std::unique_ptr<VyrAudioProcessor> proc;
    std::unique_ptr<StudioComponent> page;

    explicit Page (int product, int w = 1200, int h = 700)
    {
        proc = makeProcessor (product);
        page = std::make_unique<StudioComponent> (*proc);
        page->setSize (w, h);
    }
};

struct Editor
{
    std::unique_ptr<VyrAudioProcessor> proc;
    std::unique_ptr<VyrAudioProcessorEditor> editor;

    explicit Editor (int product, bool standalone = false)
    {
        proc = makeProcessor (product, standalone);
        editor.reset (dynamic_cast<VyrAudioProcessorEditor*> (proc->createEditorIfNeeded()));
    }
    ~Editor()
    {
        if (editor != nullptr)
            proc->editorBeingDeleted (editor.get());
        editor.reset();
    }
};

using R = juce::Rectangle<int>;

juce::Point<float> centreIn (juce::Component& c, juce::Component& top)
{
    return top.getLocalPoint (&c, c.getLocalBounds().getCentre()).toFloat();
}

int visibleCount (juce::TextButton* group, int n)
{
    int count = 0;
    for (int i = 0; i < n; ++i)
        count += group[i].isVisible() ? 1 : 0;
    return count;
}
} // namespace

TEST (FxChainPage, EveryProductBuildsItsEditorAndShowsItsOwnModule)
{
    struct Case
    {
        int product;
        int slot;
        const char* key;
    };
    const Case cases[] = { { 0, 0, "compressor" },  { 1, 0, "compressor" },      { 2, 12, "limiter" },    { 3, 1, "saturation" },
                           { 4, 2, "analogueDensity" }, { 5, 3, "clip" },        { 6, 4, "tape" },        { 7, 5, "delay" },
                           { 8, 6, "reverb" },      { 9, 7, "eq" },              { 10, 8, "dynamicEq" },  { 11, 9, "multiBandComp" },
                           { 12, 11, "stereoImager" }, { 13, 10, "tovu" },       { 14, 0, "signalUtility" }, { 15, 0, "compressor" },
                           { 16, 0, "chain" },      { 99, 0, "chain" } };
    for (const auto& c : cases)
    {
        SCOPED_TRACE ("product " + std::to_string (c.product));
        Page p (c.product);
        EXPECT_EQ (p.page->selectedSlot, c.slot);
        EXPECT_EQ (p.page->moduleId(), juce::String (c.key));
        EXPECT_FALSE (p.page->panelMode);
        // The whole editor of the product, built and torn down.
        Editor e (c.product);
        EXPECT_NE (e.editor, nullptr);
    }
}

TEST (FxChainPage, ButtonsStartInTheirStatesAndRackKeysWearTheRackColours)
{
    Page p (0);
    auto& s = *p.page;
    for (auto* b : { &s.showAllButton, &s.scaleButtons[0], &s.linkButton, &s.meterViewButtons[0], &s.horizontalButton,
                     &s.detailButton, &s.clipViewButtons[0] })
        EXPECT_TRUE (b->getToggleState()) << b->getName();
    for (auto* b : { &s.onlyUsedButton, &s.scaleButtons[1], &s.meterViewButtons[1], &s.verticalButton, &s.clipViewButtons[1],
                     &s.msButton, &s.airButton, &s.syncModeButtons[0], &s.delayStyleButtons[0], &s.reverbTypeButtons[0] })
        EXPECT_FALSE (b->getToggleState());
    EXPECT_EQ (s.detailButton.getButtonText(), "Less Detail");
    EXPECT_TRUE (s.linkButton.getButtonText().isEmpty());
    EXPECT_EQ (s.linkButton.getComponentID(), "vyr-ghost");
    EXPECT_EQ (s.harshnessKnob->slider.getValue(), 28.0);

    struct Rack
    {
        juce::TextButton* button;
        const char* id;
        juce::uint32 on, textOn;
    };
    const Rack racks[] = { { &s.syncModeButtons[1], "tc-tab", 0xff1fa9a9, 0xffffffff },
                           { &s.delayStyleButtons[3], "tc-metal", 0xff1fa9a9, 0xffffffff },
                           { &s.noteButtons[0], "tc-metal", 0xff1fa9a9, 0xffffffff },
                           { &s.bpmUpButton, "tc-metal", 0xffc4c9cf, 0xff2a2d32 },
                           { &s.reverbViewButtons[0], "tc-tab", 0xff1fa9a9, 0xffffffff },
                           { &s.reverbTypeButtons[6], "tc-metal", 0xff1fa9a9, 0xffffffff } };
    for (const auto& r : racks)
    {
        SCOPED_TRACE (r.button->getButtonText().toStdString());
        EXPECT_EQ (r.button->getComponentID(), r.id);
        EXPECT_EQ (r.button->findColour (juce::TextButton::buttonColourId).getARGB(), 0xff9aa0a6u);
        EXPECT_EQ (r.button->findColour (juce::TextButton::textColourOffId).getARGB(), 0xff2a2d32u);
        EXPECT_EQ (r.button->findColour (juce::TextButton::buttonOnColourId).getARGB(), r.on);
        EXPECT_EQ (r.button->findColour (juce::TextButton::textColourOnId).getARGB(), r.textOn);
    }
    EXPECT_FALSE (s.bpmUpButton.getClickingTogglesState());
}

TEST (FxChainPage, ChainPageLayoutAtTwelveHundredLinkedAndUnlinked)
{
    Page p (0);
    auto& s = *p.page;
    EXPECT_EQ (s.moduleRect(), R (66, 136, 855, 470));
    EXPECT_EQ (s.linkButton.getBounds(), R (1062, 12, 64, 24));
    EXPECT_EQ (s.scaleButtons[0].getBounds(), R (996, 572, 94, 22));
    EXPECT_EQ (s.scaleButtons[1].getBounds(), R (1098, 572, 94, 22));
    EXPECT_EQ (s.scaleButtons[2].getBounds(), R (996, 602, 94, 22));
    EXPECT_EQ (s.scaleButtons[3].getBounds(), R (1098, 602, 94, 22));
    EXPECT_EQ (s.bypassButton.getBounds(), R (996, 632, 94, 22));
    EXPECT_EQ (s.monoButton.getBounds(), R (1098, 632, 94, 22));
    EXPECT_EQ (s.resetButton.getBounds(), R (996, 662, 196, 22));
    EXPECT_EQ (s.ioFaders[0]->getBounds(), R (997, 40, 26, 518));
    EXPECT_EQ (s.ioFaders[0]->caption, "IN");
    EXPECT_EQ (s.ioFaders[2]->getBounds(), R (1165, 40, 26, 518));
    EXPECT_EQ (s.ioFaders[2]->caption, "OUT");
    EXPECT_FALSE (s.ioFaders[1]->isVisible());
    EXPECT_TRUE (s.ioFaders[3]->getBounds().isEmpty());
    EXPECT_EQ (s.chainInfo.getBounds(), R (110, 8, 18, 18));
    EXPECT_EQ (s.showAllButton.getBounds(), R (136, 6, 40, 22));
    EXPECT_EQ (s.onlyUsedButton.getBounds(), R (182, 6, 78, 22));
    EXPECT_EQ (s.presetBrowser->getBounds(), R (780, 5, 196, 24));
    EXPECT_EQ (s.tray.getBounds(), R (8, 40, 972, 88));

    // The compressor's header and knob row on this page.
    const R chars[] = { { 84, 173, 160, 20 }, { 248, 173, 160, 20 }, { 412, 173, 161, 20 }, { 577, 173, 161, 20 }, { 742, 173, 161, 20 } };
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (s.characterButtons[i].getBounds(), chars[i]);
    EXPECT_EQ (s.powerButton.getBounds(), R (819, 144, 86, 26));
    EXPECT_EQ (s.msButton.getBounds(), R (739, 145, 72, 24));
    EXPECT_EQ (s.moduleInfo.getBounds(), R (713, 148, 18, 18));

    // Unlinked: the pairs stand side by side, narrow, labelled L and R.
    vyrSetLinkLR (p.proc->apvts, false);
    s.resized();
    EXPECT_EQ (s.ioFaders[0]->getBounds(), R (997, 40, 16, 518));
    EXPECT_EQ (s.ioFaders[1]->getBounds(), R (1015, 40, 16, 518));
    EXPECT_EQ (s.ioFaders[2]->getBounds(), R (1157, 40, 16, 518));
    EXPECT_EQ (s.ioFaders[3]->getBounds(), R (1175, 40, 16, 518));
    EXPECT_EQ (s.ioFaders[0]->caption, "L");
    EXPECT_EQ (s.ioFaders[1]->caption, "R");
    EXPECT_TRUE (s.ioFaders[0]->compact);
    EXPECT_TRUE (s.ioFaders[3]->isVisible());
}

TEST (FxChainPage, CompressorShowsItsEightKnobsInItsOwnColour)
{
    Page p (0);
    auto& s = *p.page;
    const char* const labels[8] = { "Thresh", "Ratio", "Knee", "Makeup", "Attack", "Release", "Model", "Mix" };
    ASSERT_EQ (s.knobs.size(), 8);
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ (s.knobs[i]->label, labels[i]);
        EXPECT_EQ (s.knobs[i]->colour.getARGB(), 0xff5b7a99u);
        EXPECT_EQ (s.knobs[i]->getBounds(), R (76 + 104 * i, 508, 100, 96));
    }
    EXPECT_EQ (s.knobs[0]->size, 62);
    EXPECT_TRUE (s.strips.isEmpty());
    EXPECT_TRUE (s.tcFaders.isEmpty());
    EXPECT_EQ (visibleCount (s.characterButtons, 5), 5);
    EXPECT_TRUE (s.msButton.isVisible());
}

TEST (FxChainPage, DelayUnitLayoutAndItsTimeFaderOnlyWhileFree)
{
    Page p (7, 855, 470);
    auto& s = *p.page;
    auto labels = [&s]
    {
        juce::StringArray l;
        for (auto* f : s.tcFaders)
            l.add (f->label);
        return l.joinIntoString (",");
    };
    EXPECT_EQ (labels(), "Time,Feedback,Mix,Time Xfade");
    EXPECT_EQ (s.powerButton.getBounds(), R (751, 8, 86, 26));
    EXPECT_EQ (s.powerButton.getComponentID(), "tc-power");
    EXPECT_EQ (s.syncModeButtons[0].getBounds(), R (168, 9, 44, 22));
    EXPECT_EQ (s.syncModeButtons[1].getBounds(), R (220, 9, 44, 22));
    EXPECT_TRUE (s.syncModeButtons[0].getToggleState());
    EXPECT_EQ (s.delayStyleButtons[0].getBounds(), R (17, 245, 84, 20));
    EXPECT_EQ (s.bpmDownButton.getBounds(), R (707, 244, 22, 22));
    EXPECT_EQ (s.bpmUpButton.getBounds(), R (787, 244, 22, 22));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ (s.tcFaders[i]->getBounds(), R (16, 274 + 44 * i, 823, 44));
    EXPECT_EQ (visibleCount (s.noteButtons, 6), 0);
    for (auto* c : std::initializer_list<juce::Component*> { &s.tray, &s.linkButton, &s.chainInfo, s.presetBrowser.get() })
        EXPECT_FALSE (c->isVisible());

    s.setDelayNote (2);
    EXPECT_EQ (labels(), "Feedback,Mix,Time Xfade");
    EXPECT_EQ (visibleCount (s.noteButtons, 6), 6);
    EXPECT_TRUE (s.noteButtons[2].getToggleState());
    EXPECT_TRUE (s.syncModeButtons[1].getToggleState());
    s.setDelaySyncMode (0);
    EXPECT_EQ (labels(), "Time,Feedback,Mix,Time Xfade");

    // A note chosen from outside (host automation) takes the fader away at the next tick.
    p.proc->apvts.getParameter ("delay_syncNote")->setValueNotifyingHost (p.proc->apvts.getParameter ("delay_syncNote")->convertTo0to1 (5.0f));
    s.tick();
    s.tick();
    EXPECT_EQ (labels(), "Feedback,Mix,Time Xfade");
}

TEST (FxChainPage, SyncAndNotesSetTheDelayTimeFromTheTempoEachInOneGesture)
{
    Page p (7, 855, 470);
    auto& s = *p.page;
    Desk desk (s);
    GestureCounter gestures (*p.proc);
    desk.click (centreIn (s.syncModeButtons[1], s));
    EXPECT_EQ (juce::roundToInt (paramValue (*p.proc, "delay_syncNote")), 3);
    EXPECT_NEAR (paramValue (*p.proc, "delay_time"), 0.25f, 1.0e-4f);
    EXPECT_EQ (gestures.begins ("delay_syncNote"), 1);
    EXPECT_EQ (gestures.ends ("delay_time"), 1);

    // "1/4." at 90 BPM.
    auto* bpm = p.proc->apvts.getParameter ("delay_bpm");
    bpm->setValueNotifyingHost (bpm->convertTo0to1 (90.0f));
    s.resized();
    desk.click (centreIn (s.noteButtons[5], s));
    EXPECT_NEAR (paramValue (*p.proc, "delay_time"), 1.0f, 1.0e-3f);

    // "+" at the top of the range keeps 300 BPM but still sets the note's time.
    bpm->setValueNotifyingHost (1.0f);
    desk.click (centreIn (s.bpmUpButton, s));
    EXPECT_NEAR (paramValue (*p.proc, "delay_bpm"), 300.0f, 1.0e-3f);
    EXPECT_NEAR (paramValue (*p.proc, "delay_time"), 0.3f, 1.0e-3f);
    EXPECT_FALSE (s.bpmUpButton.getToggleState());

    EXPECT_NEAR (vyrFxActions::beatSeconds (20.0f), 3.0f, 1.0e-6f);
}

TEST (FxChainPage, HarshnessMacroWritesTheClipperWithoutGestures)
{
    Page p (5, 855, 470);
    auto& s = *p.page;
    s.selectClipView (2);
    EXPECT_TRUE (s.knobs.isEmpty());
    EXPECT_TRUE (s.harshnessKnob->isVisible());
    GestureCounter gestures (*p.proc);
    s.harshnessKnob->slider.setValue (100.0, juce::sendNotificationSync);
    struct Expect
    {
        const char* id;
        float value, tolerance;
    };
    const Expect at100[] = { { "clip_drive", 36.0f, 0.05f },          { "clip_symmetry", 24.0f, 0.05f },
                             { "clip_clipFilterFreq", 1400.0f, 2.0f }, { "clip_clipFilterType", 1.0f, 0.0f },
                             { "clip_tone", 380.0f, 1.0f },            { "clip_highShelfFreq", 8800.0f, 10.0f },
                             { "clip_highShelfGain", 6.0f, 0.05f },    { "clip_lpFilterFreq", 16500.0f, 20.0f } };
    for (const auto& e : at100)
        EXPECT_NEAR (paramValue (*p.proc, e.id), e.value, e.tolerance) << e.id;
    EXPECT_EQ (gestures.totalBegins(), 0);

    EXPECT_NEAR (vyrFxActions::clipMacroAt (0.499f).clipFilterFreq, 8171.0f, 15.0f);
    EXPECT_EQ (vyrFxActions::clipMacroAt (0.499f).clipFilterType, 0.0f);
    EXPECT_NEAR (vyrFxActions::clipMacroAt (0.5f).clipFilterFreq, 70.0f, 0.01f);

    // Entering the macro view follows the drive without writing anything.
    auto* drive = p.proc->apvts.getParameter ("clip_drive");
    drive->setValueNotifyingHost (drive->convertTo0to1 (19.1f));
    s.selectClipView (0);
    EXPECT_EQ (s.knobs.size(), 10);
    GestureCounter quiet (*p.proc);
    s.selectClipView (2);
    EXPECT_NEAR (s.harshnessKnob->slider.getValue(), 50.0, 0.1);
    EXPECT_EQ (quiet.changes ("clip_drive"), 0);
}

TEST (FxChainPage, PowerButtonSwitchesTheModuleShownAndNeverTheCompressorOfTheUtility)
{
    {
        Page p (7, 855, 470);
        Desk desk (*p.page);
        const float before = paramValue (*p.proc, "delay_enabled");
        desk.click (centreIn (p.page->powerButton, *p.page));
        EXPECT_NE (paramValue (*p.proc, "delay_enabled") >= 0.5f, before >= 0.5f);
        EXPECT_EQ (p.page->powerButton.getButtonText(), paramValue (*p.proc, "delay_enabled") >= 0.5f ? "ON" : "OFF");
    }
    {
        Page p (14, 855, 470);
        auto& s = *p.page;
        EXPECT_EQ (s.powerButton.getBounds(), R (855 - 102, 8, 86, 26));
        EXPECT_EQ (s.moduleInfo.getBounds(), R (855 - 128, 12, 18, 18));
        Desk desk (s);
        GestureCounter gestures (*p.proc);
        desk.click (centreIn (s.powerButton, s));
        desk.click (centreIn (s.powerButton, s));
        EXPECT_EQ (gestures.changes ("compressor_enabled"), 0);
    }
}

TEST (FxChainPage, ResetResynchronisesThePageExactlyOnce)
{
    Page p (7, 855, 470);
    auto& s = *p.page;
    s.applyDelayStyle (4);
    EXPECT_EQ (s.delayStyle, 4);
    const int before = p.proc->stateVersion.load();
    s.resetToInitState();
    EXPECT_EQ (p.proc->stateVersion.load(), before + 1);
    EXPECT_EQ (s.lastStateVersion, before + 1);
    EXPECT_EQ (s.delayStyle, -1);
    // The timer sees the version it stored: no second resynchronisation (which would rebuild the faders).
    auto* fader = s.tcFaders.getFirst();
    s.tick();
    EXPECT_EQ (s.tcFaders.getFirst(), fader);
}

TEST (FxChainPage, OutsideChangesNeverMakeThePageWrite)
{
    Page p (0);
    auto& s = *p.page;
    Desk desk (s);
    juce::MemoryBlock state;
    p.proc->getStateInformation (state);
    // Host automation, a recall and a reset, followed by the page's timer.
    for (auto* id : { "compressor_enabled", "linkLR", "bypass", "meteringMode", "delay_syncNote", "theme" })
        if (auto* param = p.proc->apvts.getParameter (id))
            param->setValueNotifyingHost (1.0f - param->getValue());
    p.proc->setStateInformation (state.getData(), (int) state.getSize());
    GestureCounter gestures (*p.proc);
    for (int i = 0; i < 4; ++i)
        s.tick();
    pump (50);
    EXPECT_EQ (gestures.totalBegins(), 0);
    int changes = 0;
    for (auto* param : p.proc->getParameters())
        if (auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (param))
            changes += gestures.changes (withId->paramID);
    EXPECT_EQ (changes, 0);
}

TEST (FxChainPage, AHiddenPageRunsNoTimerAndHoldsNoMeters)
{
    Editor quarn (15);
    auto& page = quarn.editor->shell.studio;
    EXPECT_FALSE (page.isShowing());
    EXPECT_FALSE (page.isTicking());
    EXPECT_EQ (page.inMeter, nullptr);
    EXPECT_EQ (page.levelMeter, nullptr);

    Page p (0);
    {
        Desk desk (*p.page);
        EXPECT_TRUE (p.page->isTicking());
        EXPECT_NE (p.page->inMeter, nullptr);
        p.page->enterChainOverview();
        p.page->selectMeterView (1);
        EXPECT_NE (p.page->levelMeter, nullptr);
        EXPECT_TRUE (p.page->levelMeter->isVisible());
        p.page->selectMeterView (0);
        EXPECT_EQ (p.page->levelMeter, nullptr);
        EXPECT_NE (p.page->vuMeter, nullptr);
    }
    p.page->setVisible (false);
    EXPECT_FALSE (p.page->isTicking());
    EXPECT_EQ (p.page->inMeter, nullptr);
    EXPECT_EQ (p.page->vuMeter, nullptr);
}

TEST (FxChainPage, FullChainTabShowsThePageAndATrayPickShowsItsModule)
{
    Editor e (0, true);
    auto& shell = e.editor->shell;
    Desk desk (*e.editor);
    // The Standalone app opens on its desktop studio; the tabbed pages are its plug-in layout.
    shell.chooseLayout (0);
    pump (20);
    desk.click (centreIn (shell.tabButtons[0], *e.editor));
    auto& page = shell.studio;
    ASSERT_TRUE (page.isShowing());
    EXPECT_EQ (page.moduleId(), "compressor");
    EXPECT_EQ (page.knobs.size(), 8);

    // A click on the delay's tile in the tray.
    page.tray.layoutHits();
    int tile = -1;
    for (int i = 0; i < page.tray.visibleCount; ++i)
        if (page.tray.visibleModule[i] == 5)
            tile = i;
    ASSERT_GE (tile, 0);
    const auto at = e.editor->getLocalPoint (&page.tray, page.tray.tileBounds[tile].getCentre()).toFloat();
    ASSERT_EQ (e.editor->getComponentAt (at.toInt()), &page.tray);
    desk.click (at);
    EXPECT_EQ (page.moduleId(), "delay");
    EXPECT_EQ (page.tcFaders.size(), 4);
    EXPECT_TRUE (page.syncModeButtons[0].isShowing());
    EXPECT_FALSE (page.characterButtons[0].isVisible());
}

TEST (FxChainPage, HeaderAndWatermarkOnlyOnTheFullChainPages)
{
    for (int product : { 0, 15 })
    {
        Page p (product);
        const auto img = render (*p.page);
        const auto R = p.page->moduleRect();
        // "METERS" left of the link chip, the engraved mark below the module.
        EXPECT_GT (countInk (img, { 1000, 10, 50, 24 }, juce::Colours::transparentBlack), 20) << product;
        EXPECT_GT (countInk (img, { R.getX(), R.getBottom() + 4, R.getWidth(), 700 - R.getBottom() - 8 }, juce::Colours::transparentBlack), 50)
            << product;
    }
    // Every other product's module fills its page: no column, no band below it.
    for (int product : { 1, 7, 14 })
    {
        Page p (product, 855, 470);
        EXPECT_EQ (p.page->moduleRect(), R (0, 0, 855, 470));
        EXPECT_FALSE (p.page->linkButton.isVisible());
    }
}

TEST (FxChainPage, RackLayoutCutsTheUnitFromTheBottomUp)
{
    const auto t = makeTcLayout ({ 0, 0, 400, 300 }, 3, false);
    EXPECT_EQ (t.faders, R (16, 148, 368, 132));
    EXPECT_EQ (t.screen, R (16, 36, 368, 74));
    EXPECT_EQ (t.rowLeft, R (16, 118, 236, 22));
    EXPECT_EQ (t.unitBox.getX(), 360);
    EXPECT_EQ (t.plusBox.getX(), 332);
    EXPECT_EQ (t.valueBox, R (278, 118, 50, 22));
    EXPECT_EQ (t.minusBox.getX(), 252);
    EXPECT_TRUE (t.noteRow.isEmpty());
    const auto withNotes = makeTcLayout ({ 0, 0, 400, 300 }, 3, true);
    EXPECT_EQ (withNotes.noteRow.getHeight(), 22);
    EXPECT_LT (withNotes.screen.getHeight(), t.screen.getHeight());
}

TEST (FxChainPage, ReverbAndSaturationUnitsOnTheChainPage)
{
    Page p (0);
    auto& s = *p.page;
    s.selectChainSlot (6);
    EXPECT_EQ (s.powerButton.getBounds(), R (817, 144, 86, 26));
    EXPECT_EQ (s.reverbViewButtons[0].getBounds(), R (234, 145, 44, 22));
    EXPECT_EQ (s.reverbViewButtons[1].getBounds(), R (286, 145, 36, 22));
    EXPECT_EQ (s.reverbTypeButtons[0].getBounds(), R (83, 381, 96, 20));
    EXPECT_EQ (s.reverbTypeButtons[6].getBounds(), R (675, 381, 97, 20));
    ASSERT_EQ (s.tcFaders.size(), 5);
    EXPECT_EQ (s.tcFaders[0]->getBounds(), R (82, 410, 823, 44));
    EXPECT_EQ (s.tcFaders[2]->getBounds(), R (82, 498, 407, 44));
    EXPECT_EQ (s.tcFaders[3]->getBounds(), R (497, 498, 408, 44));
    EXPECT_EQ (s.tcFaders[4]->getBounds(), R (82, 542, 823, 44));
    s.selectReverbPage (1);
    EXPECT_EQ (s.tcFaders[0]->label, "Low Cut");
    EXPECT_EQ (s.tcFaders[4]->label, "Diffusion");

    s.selectChainSlot (1);
    ASSERT_EQ (s.strips.size(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (s.strips[i]->getBounds(), R (420, 208 + 64 * i, 483, 56));
    EXPECT_EQ (s.characterButtons[0].getButtonText(), "Tube");

    s.enterChainOverview();
    s.selectMeterView (1);
    EXPECT_TRUE (s.knobs.isEmpty() && s.strips.isEmpty() && s.tcFaders.isEmpty());
    EXPECT_EQ (s.meterViewButtons[0].getBounds(), R (120, 144, 92, 22));
    EXPECT_EQ (s.detailButton.getBounds(), R (817, 144, 92, 22));
    EXPECT_FALSE (s.powerButton.isVisible());
    EXPECT_TRUE (s.tray.overviewMode);
}

TEST (FxChainPage, RendersForReview)
{
    struct Shot
    {
        int product;
        int w, h;
    };
    const Shot shots[] = { { 1, 855, 470 }, { 7, 855, 470 }, { 8, 855, 470 }, { 9, 855, 470 }, { 2, 855, 470 }, { 0, 1200, 700 } };
    for (const auto& shot : shots)
        for (int identity : { 0, 2, 5 })
        {
            Page p (shot.product, shot.w, shot.h);
            p.proc->themeIndex = identity;
            p.page->resized();
            const auto img = render (*p.page);
            // The EQ and limiter bodies are their panels' own (empty until those are plugged in).
            if (shot.product != 9 && shot.product != 2)
                EXPECT_GT (countInk (img, juce::Colours::transparentBlack), shot.w * shot.h / 4);
            savePng (img, "fxchain-product-" + juce::String (shot.product) + "-identity-" + juce::String (identity));
        }
}
