// The Standalone app's panels: the transport strip, the audio source panel, the signal utility
// panel and the master level panel, driven by real clicks where a user would click.
#include "FileTestUtil.h"
#include "GuiTestUtil.h"
#include "Ui/Shell/AudioSourcePanel.h"
#include "Ui/Shell/DesktopMeterPanels.h"
#include "Ui/Shell/SignalUtilityPanel.h"
#include "Ui/Shell/TransportStrip.h"

using namespace vyrGui;

namespace
{
using R = juce::Rectangle<int>;
const juce::String minus (juce::CharPointer_UTF8 ("\xe2\x88\x92"));

juce::Point<float> centreOf (juce::Component& c) { return c.getBounds().getCentre().toFloat(); }
}

TEST (TransportStrip, LaysOutItsButtonsAndFollowsTheLoadedFile)
{
    vyrTestFiles::ScratchDir dir;
    const auto wav = dir["take one.wav"];
    vyrTestFiles::writeSine (wav, 44100.0, 2, 44100);

    auto proc = makeProcessor (0, true);
    TransportStrip strip (*proc);
    strip.setSize (1184, 40);
    EXPECT_EQ (strip.loadButton.getBounds(), R (10, 8, 136, 24));
    EXPECT_EQ (strip.playButton.getBounds(), R (150, 8, 60, 24));
    EXPECT_EQ (strip.stopButton.getBounds(), R (214, 8, 52, 24));
    EXPECT_EQ (strip.gainSlider.getBounds(), R (956, 6, 140, 28));
    EXPECT_FALSE (strip.gainSlider.isScrollWheelEnabled());
    EXPECT_TRUE (flushMessages()); // the initial gain reaches the processor asynchronously
    EXPECT_FLOAT_EQ (proc->playerGain.load(), 0.8f);

    auto img = render (strip);
    EXPECT_EQ (strip.loadButton.getButtonText(), juce::String::fromUTF8 ("Load file\xe2\x80\xa6"));
    strip.loadChosen (wav);
    img = render (strip);
    EXPECT_EQ (strip.loadButton.getButtonText(), "take one.wav");
    EXPECT_TRUE (colourNear (img.getPixelAt (1164, 16), juce::Colour (0xff34d399), 120) || countInk (img, R (1112, 8, 64, 16), pixel (img, 1100, 36), 40) > 5);

    // play, pause (no rewind), stop (rewind)
    // Triggered clicks arrive through the message queue.
    strip.playButton.triggerClick();
    ASSERT_TRUE (flushMessages());
    EXPECT_TRUE (proc->transport.isPlaying());
    proc->transport.setPosition (0.5);
    strip.playButton.triggerClick();
    ASSERT_TRUE (flushMessages());
    EXPECT_FALSE (proc->transport.isPlaying());
    EXPECT_NEAR (proc->transport.getCurrentPosition(), 0.5, 0.01);
    strip.stopButton.triggerClick();
    ASSERT_TRUE (flushMessages());
    EXPECT_NEAR (proc->transport.getCurrentPosition(), 0.0, 0.001);

    // a failed load keeps the loaded file and says why
    const auto junk = dir["notes.wav"];
    junk.replaceWithText ("not audio");
    strip.loadChosen (junk);
    EXPECT_TRUE (proc->fileLoaded);
    EXPECT_TRUE (proc->loadError.isNotEmpty());
    img = render (strip);
    EXPECT_EQ (strip.loadButton.getButtonText(), "take one.wav");
    EXPECT_GT (countInk (img, strip.messageArea(), pixel (img, strip.messageArea().getX() + 1, 38), 60), 30);

    // a recalled state moves the slider without writing the gain back
    proc->playerGain = 0.3f;
    ++proc->stateVersion;
    EXPECT_TRUE (pumpUntil ([&] { return std::abs (strip.gainSlider.getValue() - 0.3) < 1e-6; }));
    EXPECT_FLOAT_EQ (proc->playerGain.load(), 0.3f);

    strip.setSize (12, 14);
    EXPECT_EQ (strip.loadButton.getWidth(), 0);
    EXPECT_EQ (strip.loadButton.getHeight(), 0);
}

TEST (AudioSourcePanel, TimesAndGainReadouts)
{
    const std::pair<double, const char*> times[] = { { 0.0, "0:00" }, { 75.9, "1:15" }, { 3600.0, "60:00" }, { -5.0, "0:00" },
                                                     { std::nan (""), "0:00" } };
    for (const auto& [s, text] : times)
        EXPECT_EQ (AudioSourcePanel::fmtTime (s), text) << s;
    EXPECT_EQ (AudioSourcePanel::gainText (0.0f), minus + juce::String::fromUTF8 ("\xe2\x88\x9e dB"));
    EXPECT_EQ (AudioSourcePanel::gainText (0.0001f), minus + juce::String::fromUTF8 ("\xe2\x88\x9e dB"));
    EXPECT_EQ (AudioSourcePanel::gainText (0.8f), "-1.9 dB");
    EXPECT_EQ (AudioSourcePanel::gainText (1.0f), "0.0 dB");
}

TEST (AudioSourcePanel, LayoutClicksAndDrops)
{
    vyrTestFiles::ScratchDir dir;
    const auto wav = dir["song.wav"];
    vyrTestFiles::writeSine (wav, 48000.0, 2, 4800);
    const auto text = dir["readme.txt"];
    text.replaceWithText ("hello");

    auto proc = makeProcessor (0, true);
    GestureCounter gestures (*proc);
    AudioSourcePanel panel (*proc);
    panel.setSize (616, 400);
    // dark identity: margin 8
    EXPECT_EQ (panel.dropArea, R (24, 38, 568, 220));
    EXPECT_EQ (panel.playButton.getBounds(), R (24, 270, 107, 32));
    EXPECT_EQ (panel.resetButton.getX(), 24 + 4 * 115);
    EXPECT_EQ (panel.seekArea, R (24, 314, 568, 28));
    EXPECT_EQ (panel.gainArea, R (24, 354, 568, 32));
    EXPECT_EQ (panel.infoButton.getBounds(), R (616 - 8 - 132, 12, 18, 18));

    EXPECT_FALSE (panel.isInterestedInFileDrag ({ text.getFullPathName(), wav.getFullPathName() }));
    EXPECT_TRUE (panel.isInterestedInFileDrag ({ wav.getFullPathName(), text.getFullPathName() }));
    panel.filesDropped ({ wav.getFullPathName() }, 0, 0);
    EXPECT_EQ (proc->loadedName, "song.wav");

    Desk desk (panel);
    desk.click (centreOf (panel.micButton));
    EXPECT_TRUE (proc->micInput.load());
    desk.click (centreOf (panel.bypassButton));
    EXPECT_GE (vyrTest::param (*proc, "bypass"), 0.5f);
    EXPECT_EQ (gestures.begins ("bypass"), 0);
    desk.click (centreOf (panel.resetButton));
    EXPECT_FALSE (proc->micInput.load());
    EXPECT_LT (vyrTest::param (*proc, "bypass"), 0.5f);
    EXPECT_NEAR (panel.gainSlider.getValue(), 0.8, 1e-6);

    // the status chip, the drop hint and the loaded name all paint
    const auto img = render (panel);
    EXPECT_GT (countInk (img, panel.dropArea.reduced (20), pixel (img, panel.dropArea.getX() + 14, panel.dropArea.getY() + 14), 30), 200);

    panel.setSize (40, 60); // narrower than its margins: minimum widths, nothing negative
    EXPECT_EQ (panel.playButton.getWidth(), 1);
    EXPECT_EQ (panel.resetButton.getWidth(), 0);
    EXPECT_EQ (panel.seekSlider.getWidth(), 0);
}

TEST (SignalUtilityPanel, PresetsSetTheGeneratorAndLeaveInversionAndOffsetAlone)
{
    auto proc = makeProcessor (0, true);
    SignalUtilityPanel panel (*proc);
    panel.setSize (616, 400);
    proc->utilInvert = 2;
    proc->utilDcOffset = 0.25f;

    panel.presetBox.setSelectedId (6, juce::sendNotificationSync);
    EXPECT_EQ (proc->utilWave.load(), 6);
    EXPECT_FALSE (proc->utilAntiAlias.load());
    EXPECT_FLOAT_EQ (proc->utilFreq.load(), 4.0f);
    EXPECT_NEAR (panel.freqKnob.getAlpha(), 0.3f, 0.01f); // frequency unused by the needle
    bool selfClicks = true, childClicks = true;
    panel.freqKnob.getInterceptsMouseClicks (selfClicks, childClicks);
    EXPECT_FALSE (selfClicks || childClicks);
    panel.presetBox.setSelectedId (4, juce::sendNotificationSync);
    EXPECT_TRUE (proc->utilDecorrelated.load());
    EXPECT_EQ (proc->utilWave.load(), 2);
    panel.presetBox.setSelectedId (8, juce::sendNotificationSync);
    EXPECT_EQ (proc->utilSweepLog.load(), 0);
    EXPECT_FLOAT_EQ (proc->utilSweepDur.load(), 8.0f);
    EXPECT_TRUE (panel.sweepLogButton.isVisible());
    EXPECT_EQ (proc->utilInvert.load(), 2);
    EXPECT_FLOAT_EQ (proc->utilDcOffset.load(), 0.25f);

    ++proc->stateVersion; // a recall puts the box back on the default row
    tick (panel);
    EXPECT_EQ (panel.presetBox.getSelectedId(), 3);
}

TEST (SignalUtilityPanel, OptionClickRestoresDefaultsAndUnusedTogglesRefuseClicks)
{
    auto proc = makeProcessor (0, true);
    SignalUtilityPanel panel (*proc);
    panel.setSize (616, 400);
    Desk desk (panel);
    const auto alt = juce::ModifierKeys (juce::ModifierKeys::altModifier);

    desk.click (centreOf (panel.waveButtons[7]));
    EXPECT_EQ (proc->utilWave.load(), 7);
    EXPECT_TRUE (proc->utilImpulsePending.exchange (false));
    desk.click (centreOf (panel.waveButtons[7])); // every click on Impulse fires one
    EXPECT_TRUE (proc->utilImpulsePending.exchange (false));
    desk.click (centreOf (panel.waveButtons[7]), alt);
    EXPECT_EQ (proc->utilWave.load(), 0);
    EXPECT_FALSE (proc->utilImpulsePending.load());

    desk.click (centreOf (panel.waveButtons[1])); // White: anti-alias unused
    proc->utilAntiAlias = false;
    panel.syncUtilityFromProc();
    desk.click (centreOf (panel.antiAliasButton));
    EXPECT_FALSE (proc->utilAntiAlias.load());
    EXPECT_FALSE (panel.antiAliasButton.getToggleState());
    desk.click (centreOf (panel.antiAliasButton), alt);
    EXPECT_TRUE (proc->utilAntiAlias.load());
    EXPECT_TRUE (panel.antiAliasButton.getToggleState());

    desk.click (centreOf (panel.invertButtons[3]));
    EXPECT_EQ (proc->utilInvert.load(), 3);
    desk.click (centreOf (panel.invertButtons[2]), alt);
    EXPECT_EQ (proc->utilInvert.load(), 0);

    desk.click (centreOf (panel.powerButton));
    EXPECT_TRUE (proc->utilEnabled.load());
    desk.click (centreOf (panel.powerButton), alt);
    EXPECT_FALSE (proc->utilEnabled.load());
    EXPECT_FALSE (panel.powerButton.getToggleState());
    juce::ModifierKeys::currentModifiers = {}; // Option released
}

TEST (SignalUtilityPanel, SyncsFromTheGeneratorWhenBuiltAndNamesTheNote)
{
    auto proc = makeProcessor (14, false); // the utility product starts its generator on
    ASSERT_TRUE (proc->utilEnabled.load());
    SignalUtilityPanel panel (*proc);
    EXPECT_TRUE (panel.powerButton.getToggleState());

    // the knobs start on the generator's values; the frequency knob has 1000 Hz at its centre
    EXPECT_DOUBLE_EQ (panel.levelKnob.slider.getValue(), -20.0);
    EXPECT_NEAR (panel.freqKnob.slider.valueToProportionOfLength (1000.0), 0.5, 1e-6);
    panel.setSize (616, 400);
    panel.waveButtons[8].triggerClick();
    ASSERT_TRUE (flushMessages());
    EXPECT_TRUE (panel.sweepEndKnob.isVisible());
    for (auto* k : { &panel.sweepStartKnob, &panel.sweepEndKnob, &panel.sweepDurKnob })
    {
        EXPECT_GE (k->size, 40);
        EXPECT_LE (k->size, 68);
    }

    EXPECT_EQ (SignalUtilityPanel::utilNoteOf (440.0f), "A4");
    EXPECT_EQ (SignalUtilityPanel::utilNoteOf (1000.0f), "B5");
    EXPECT_EQ (SignalUtilityPanel::utilNoteOf (261.6f), "C4");
    EXPECT_EQ (SignalUtilityPanel::utilNoteOf (20.0f), "D#0");

    panel.setSize (30, 30); // narrower than its margins
    for (auto& b : panel.waveButtons)
        EXPECT_GE (b.getWidth(), 1);
    EXPECT_EQ (panel.presetBox.getWidth(), 0);
    render (panel);
}

TEST (MasterLevelPanel, FaderColumnFollowsTheLink)
{
    auto proc = makeProcessor (0, true);
    MasterLevelPanel panel (*proc);
    panel.setSize (616, 400);
    // dark identity: margin 20
    EXPECT_EQ (panel.detailButton.getBounds(), R (596 - 92 + 2, 14, 88, 20));
    EXPECT_EQ (panel.verticalButton.getBounds(), R (20 + 1 + 484 - 28, 13, 26, 22));
    EXPECT_EQ (panel.inFaderL.getWidth() + panel.outFaderL.getWidth() + 8, 72);
    EXPECT_EQ (panel.inFaderL.caption, "IN");
    EXPECT_FALSE (panel.inFaderR.isVisible());
    EXPECT_EQ (panel.meterView.getWidth(), 576 - 72 - 4);
    EXPECT_TRUE (panel.linkButton.getTooltip().startsWith ("L/R linked"));

    Desk desk (panel);
    desk.click (centreOf (panel.linkButton));
    EXPECT_LT (vyrTest::param (*proc, "linkLR"), 0.5f);
    EXPECT_EQ (panel.meterView.getWidth(), 576 - 96 - 4);
    EXPECT_EQ (panel.inFaderL.caption, "L");
    EXPECT_TRUE (panel.inFaderL.compact);
    EXPECT_TRUE (panel.outFaderR.isVisible());
    EXPECT_TRUE (panel.linkButton.getTooltip().startsWith ("L/R independent"));

    // a reset elsewhere relinks; the 83 ms poll picks it up
    proc->recallInitState();
    EXPECT_TRUE (pumpUntil ([&] { return panel.outFaderL.caption == "OUT"; }));
    EXPECT_EQ (panel.meterView.getWidth(), 576 - 72 - 4);

    desk.click (centreOf (panel.verticalButton));
    EXPECT_TRUE (panel.meterView.vertical);
    desk.click (centreOf (panel.detailButton));
    EXPECT_TRUE (panel.meterView.moreDetail);
    desk.click (centreOf (panel.horizontalButton));
    EXPECT_FALSE (panel.meterView.vertical);

    panel.setSize (30, 30);
    EXPECT_EQ (panel.meterView.getWidth(), 0);
    EXPECT_GE (panel.detailButton.getWidth(), 0);
}

TEST (DesktopPanels, RenderInEveryIdentity)
{
    auto proc = makeProcessor (0, true);
    AudioSourcePanel source (*proc);
    SignalUtilityPanel utility (*proc);
    VuRackPanel vu (*proc);
    MasterLevelPanel level (*proc);
    for (int theme = 0; theme < 6; ++theme)
    {
        proc->themeIndex = theme;
        const std::pair<juce::Component*, const char*> panels[] = { { &source, "source" }, { &utility, "utility" }, { &vu, "vu" }, { &level, "level" } };
        for (const auto& [c, name] : panels)
        {
            c->setSize (616, 400);
            const auto img = render (*c);
            EXPECT_GT (countInk (img, juce::Colours::transparentBlack, 4), 100000);
            savePng (img, juce::String ("desktop-panel-") + name + "-" + juce::String (theme));
        }
    }
}

TEST (StandaloneDesktop, AFileChosenInTheSourcePanelPlaysThroughTheChain)
{
    vyrTestFiles::ScratchDir dir;
    const auto wav = dir["tone.wav"];
    vyrTestFiles::writeSine (wav, 48000.0, 2, 48000, 440.0, 0.5f);

    auto proc = makeProcessor (0, true);
    vyrTest::prepare (*proc, 48000.0, 512);
    std::unique_ptr<juce::AudioProcessorEditor> editor (proc->createEditorIfNeeded());
    AudioSourcePanel* source = nullptr;
    std::function<void (juce::Component&)> find = [&] (juce::Component& c)
    {
        if (auto* s = dynamic_cast<AudioSourcePanel*> (&c); s != nullptr && source == nullptr)
            source = s;
        for (auto* child : c.getChildren())
            find (*child);
    };
    find (*editor);
    ASSERT_NE (source, nullptr);

    {
        Desk desk (*editor);
        source->loadChosen (wav); // what the file dialog's completion does
        ASSERT_TRUE (proc->fileLoaded);
        ASSERT_TRUE (source->isShowing());
        desk.click (editor->getLocalPoint (source, source->playButton.getBounds().getCentre()).toFloat());
        ASSERT_TRUE (proc->transport.isPlaying());

        juce::AudioBuffer<float> buffer (2, 512);
        juce::MidiBuffer midi;
        double sumSquares = 0.0;
        for (int block = 0; block < 40; ++block)
        {
            buffer.clear();
            proc->processBlock (buffer, midi);
            if (block >= 20)
                for (int ch = 0; ch < 2; ++ch)
                    for (int i = 0; i < 512; ++i)
                        sumSquares += buffer.getSample (ch, i) * buffer.getSample (ch, i);
        }
        const double rms = std::sqrt (sumSquares / (20.0 * 2 * 512));
        EXPECT_GT (rms, 0.05); // the tone (0.5 peak, gain 0.8) comes out of the chain

        desk.click (editor->getLocalPoint (source, source->stopButton.getBounds().getCentre()).toFloat());
        EXPECT_FALSE (proc->transport.isPlaying());
    }
    proc->editorBeingDeleted (editor.get());
    editor.reset();
    proc->releaseResources();
}
