// The edition main view: its layout at the plug-in and standalone sizes, the chips and buttons
// driven by real mouse events, the live-analysis texts, the file actions and its painting.
#include "GuiTestUtil.h"
#include "TestSignals.h"
#include "Dsp/SignalChain.h"
#include "Model/QuarnPresets.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/MainView/BasicMasteringView.h"
#include "Ui/MainView/MainViewLayout.h"
#include "Ui/MainView/MainViewTables.h"

using namespace vyrGui;

namespace
{
using R = juce::Rectangle<int>;

// A folder of this test's own: test processes run in parallel and must never share one.
juce::File uniqueTempDir (const char* stem)
{
    return juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile (juce::String (stem) + "-" + juce::Uuid().toString());
}

struct ViewFixture
{
    explicit ViewFixture (bool standalone = false)
        : proc (makeProcessor (15, standalone))
    {
        trainingDir.createDirectory();
        proc->live.setTrainingFile (trainingDir.getChildFile ("log.jsonl"));
        view = std::make_unique<BasicMasteringView> (*proc);
        view->setSize (1168, standalone ? 768 : 720);
    }
    ~ViewFixture()
    {
        view.reset();
        proc.reset();
        trainingDir.deleteRecursively();
    }

    float raw (const char* id) const { return proc->apvts.getRawParameterValue (id)->load(); }
    juce::Point<float> centre (const juce::Component& c) const { return c.getBounds().getCentre().toFloat(); }

    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    juce::File trainingDir = uniqueTempDir ("vyr-mainview");
    std::unique_ptr<VyrAudioProcessor> proc;
    std::unique_ptr<BasicMasteringView> view;
};

juce::String trainingText (ViewFixture& f) { return f.trainingDir.getChildFile ("log.jsonl").loadFileAsString(); }

// A short stereo WAV of a sine.
juce::File writeWav (const juce::File& file, double seconds = 0.3)
{
    file.deleteFile();
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (new juce::FileOutputStream (file), 44100.0, 2, 16, {}, 0));
    juce::AudioBuffer<float> buffer (2, (int) (44100 * seconds));
    for (int i = 0; i < buffer.getNumSamples(); ++i)
        buffer.setSample (0, i, 0.3f * std::sin (0.06f * (float) i)), buffer.setSample (1, i, buffer.getSample (0, i));
    writer->writeFromAudioSampleBuffer (buffer, 0, buffer.getNumSamples());
    return file;
}
}

//==============================================================================
// Layout

TEST (MainViewLayout, PluginSizeMatchesTheStatedRectangles)
{
    for (float lockup : { 0.0f, 300.0f, 440.0f })
    {
        SCOPED_TRACE (lockup);
        const auto L = VyrMainViewLayout::compute (1168, 720, false, lockup);
        EXPECT_EQ (L.headerArea, R (12, 10, 1144, 104));
        EXPECT_EQ (L.info, R (1124, 53, 18, 18));
        EXPECT_EQ (L.scaleDown, R (1040, 29, 22, 22));
        EXPECT_EQ (L.scaleReset, R (1066, 29, 22, 22));
        EXPECT_EQ (L.scaleUp, R (1092, 29, 22, 22));
        EXPECT_EQ (L.bypass, R (1038, 68, 78, 32));
        EXPECT_EQ (L.moodName.getRight(), 1028);
        EXPECT_EQ (L.mediumChips[7].getRight(), 1028);
        EXPECT_EQ (L.styleChips[0].getY(), 24);
        EXPECT_EQ (L.mediumChips[0].getY(), 68);
        EXPECT_EQ (L.stageArea, R (12, 114, 1144, 414));
        EXPECT_EQ (L.liveChips[0], R (52, 118, 30, 20));
        EXPECT_EQ (L.no, R (369, 118, 26, 20));
        EXPECT_EQ (L.quarn, R (12, 141, 360, 360));
        EXPECT_EQ (L.gauge, R (618, 137, 292, 368));
        EXPECT_EQ (L.space, R (380, 134, 230, 230));
        EXPECT_EQ (L.lufsKnob, R (360, 328, 270, 270));
        EXPECT_EQ (L.meterWell, juce::Rectangle<float> (928, 114, 216, 414));
        EXPECT_EQ (L.inMeter, R (984, 148, 40, 346));
        EXPECT_EQ (L.outMeter, R (1032, 148, 56, 346));
        EXPECT_EQ (L.tray, R (12, 544, 1144, 88));
        EXPECT_TRUE (L.play.isEmpty() && L.load.isEmpty());
    }
}

TEST (MainViewLayout, StandaloneSizeAddsTheFileRow)
{
    const auto L = VyrMainViewLayout::compute (1168, 768, true, 400.0f);
    EXPECT_EQ (L.play, R (902, 14, 52, 28));
    EXPECT_EQ (L.stop, R (958, 14, 48, 28));
    EXPECT_EQ (L.download, R (1010, 14, 80, 28));
    EXPECT_EQ (L.load, R (1094, 14, 60, 28));
    EXPECT_EQ (L.headerArea.getY(), 54);
    EXPECT_EQ (L.stageArea, R (12, 158, 1144, 418));
    EXPECT_EQ (L.tray.getY(), 592);
    EXPECT_EQ (L.liveChips[0].getY(), 162);
    // Without detent labels the loudness knob sits lower.
    EXPECT_EQ (VyrMainViewLayout::compute (1168, 768, true, 400.0f, false).lufsKnob.getY(), L.gauge.getY() + 225);
}

TEST (MainViewLayout, ChipRowsShrinkThenTightenTheirGaps)
{
    struct Case
    {
        int C, gap, edm, moodName, cinematic;
    };
    // Full widths from 570; scaled by (C - 112) / 458 and (C - 118) / 416 below; second pass
    // (gap 8) once even the scaled rows do not fit; floors of 28 and 56.
    const Case cases[] = {
        { 990, 10, 40, 96, 70 }, { 570, 10, 40, 96, 70 }, { 560, 10, 39, 94, 70 }, { 530, 8, 38, 91, 70 },
        { 520, 10, 36, 86, 68 }, { 400, 8, 28, 63, 50 }, { 300, 8, 28, 56, 33 }, { -50, 8, 28, 56, 28 },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.C);
        const auto cw = VyrMainViewLayout::chipWidths (c.C);
        EXPECT_EQ (cw.gap, c.gap);
        EXPECT_EQ (cw.style[0], c.edm);
        EXPECT_EQ (cw.moodName, c.moodName);
        EXPECT_EQ (cw.medium[0], c.cinematic);
        for (auto w : cw.style)
            EXPECT_GE (w, 28);
        EXPECT_GE (cw.moodName, 56);
    }
}

TEST (MainViewLayout, DegenerateSizesGiveEmptyRectanglesAndKeepQuarnWidth)
{
    for (auto size : { juce::Point<int> (1, 1), juce::Point<int> (0, 0), juce::Point<int> (200, 90) })
    {
        const auto L = VyrMainViewLayout::compute (size.x, size.y, true, 500.0f);
        EXPECT_EQ (L.quarn.getWidth(), 360);
        EXPECT_GE (L.stageArea.getWidth(), 0);
        EXPECT_GE (L.stageArea.getHeight(), 0);
        EXPECT_GE (L.tray.getHeight(), 0);
        EXPECT_GE (L.meterWell.getWidth(), 0.0f);
    }
}

TEST (MainView, ChildrenTakeTheLayoutAtBothSizes)
{
    for (bool standalone : { false, true })
    {
        SCOPED_TRACE (standalone);
        ViewFixture f (standalone);
        auto& v = *f.view;
        const auto& L = v.layout;
        EXPECT_EQ (v.infoButton.getBounds(), L.info);
        EXPECT_EQ (v.bypassButton.getBounds(), L.bypass);
        EXPECT_EQ (v.scaleResetButton.getBounds(), L.scaleReset);
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ (v.styleChips[i].getBounds(), L.styleChips[i]);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ (v.mediumChips[i].getBounds(), L.mediumChips[i]);
        EXPECT_EQ (v.moodBox.getBounds(), L.moodBox);
        EXPECT_EQ (v.dislikeButton.getBounds(), L.no);
        EXPECT_EQ (v.loadButton.isVisible(), standalone);
        EXPECT_EQ (v.exportButton.isVisible(), standalone);
        if (standalone)
            EXPECT_EQ (v.loadButton.getBounds(), R (1094, 14, 60, 28));
        EXPECT_EQ (v.stageArea, standalone ? R (12, 158, 1144, 418) : R (12, 114, 1144, 414));
        EXPECT_EQ (v.quarn.getBounds(), L.quarn);
        EXPECT_EQ (v.space.getBounds(), L.space);
        EXPECT_EQ (v.effectGauge.getBounds(), L.gauge);
        EXPECT_EQ (v.lufsKnob->getBounds(), L.lufsKnob);
        EXPECT_EQ (v.inMeter->getBounds(), L.inMeter);
        EXPECT_EQ (v.outMeter->getBounds(), L.outMeter);
        EXPECT_EQ (v.tray.getBounds(), L.tray);
        if (! standalone)
        {
            EXPECT_EQ (v.quarn.getBounds(), R (12, 141, 360, 360));
            EXPECT_EQ (v.space.getBounds(), R (380, 134, 230, 230));
            EXPECT_EQ (v.lufsKnob->getBounds(), R (360, 328, 270, 270));
            EXPECT_EQ (v.tray.getBounds(), R (12, 544, 1144, 88));
        }
        EXPECT_TRUE (v.tray.compact);
        EXPECT_FALSE (v.tray.showSelection);
        EXPECT_EQ (v.inMeter->title, "IN");
        EXPECT_FALSE (v.inMeter->showScale);
        EXPECT_TRUE (v.outMeter->showScale);
        EXPECT_EQ (v.bypassButton.getComponentID(), "vyr-ghost");
        EXPECT_FALSE (v.bypassButton.getMouseClickGrabsKeyboardFocus());
    }
}

TEST (MainView, MixKnobsFollowTheChainTray)
{
    ViewFixture f;
    auto& v = *f.view;
    const int tovu = vyrChain::moduleIndexOf ("tovu");
    EXPECT_EQ (v.mixKnobs[tovu], nullptr);

    auto knobUnderTile = [&] (int k)
    {
        const int module = v.tray.visibleModule[k];
        auto* knob = v.mixKnobs[module].get();
        EXPECT_NE (knob, nullptr);
        if (knob == nullptr)
            return;
        EXPECT_TRUE (knob->isVisible());
        EXPECT_EQ (knob->getBounds(), R (12 + v.tray.tileBounds[k].getCentreX() - 24, 636, 48, 66));
    };
    ASSERT_EQ (v.tray.visibleCount, 12);
    for (int k = 0; k < 12; ++k)
        knobUnderTile (k);

    // The user drags the first tile behind the fourth: its knob moves along.
    Desk desk (v);
    const auto from = (v.tray.tileBounds[0].getCentre() + v.tray.getPosition()).toFloat();
    const auto to = (v.tray.tileBounds[3].getCentre() + v.tray.getPosition()).toFloat() + juce::Point<float> (30.0f, 0.0f);
    desk.move (from);
    desk.press (from);
    desk.drag (from + juce::Point<float> (10.0f, 0.0f));
    desk.drag (to);
    desk.release (to);
    EXPECT_EQ (f.proc->fxOrder[3], 0);
    EXPECT_EQ (v.tray.visibleModule[3], 0);
    for (int k = 0; k < 12; ++k)
        knobUnderTile (k);

    // An order that arrives otherwise (a recalled state) is picked up by the timer.
    int reversed[13];
    for (int i = 0; i < 13; ++i)
        reversed[i] = 12 - i;
    f.proc->setFxOrder (reversed);
    v.tick();
    EXPECT_EQ (v.tray.visibleModule[0], 12);
    for (int k = 0; k < 12; ++k)
        knobUnderTile (k);
}

TEST (MainView, LoudnessKnobDragStampsAndHostChangesOnlyShow)
{
    ViewFixture f;
    auto& v = *f.view;
    Desk desk (v);
    auto& knob = *v.lufsKnob;
    const auto c = (knob.slider.getBounds().getCentre() + knob.getPosition()).toFloat();
    const int before = juce::roundToInt (f.raw ("masterLufs"));
    auto dragGestures = std::make_unique<GestureCounter> (*f.proc);

    desk.move (c);
    desk.press (c);
    for (int dy = 4; dy <= 60; dy += 4)
        desk.drag (c - juce::Point<float> (0.0f, (float) dy));
    desk.release (c - juce::Point<float> (0.0f, 60.0f));
    const int after = juce::roundToInt (f.raw ("masterLufs"));
    EXPECT_NE (after, before);
    EXPECT_EQ (f.proc->lufsIndex.load(), after);
    EXPECT_TRUE (v.recipeHint.endsWith ("Limiter OUT stays true-peak."));
    // The whole turn is one loudness gesture, the knob's own.
    EXPECT_EQ (dragGestures->begins ("masterLufs"), 1);
    EXPECT_EQ (dragGestures->ends ("masterLufs"), 1);
    dragGestures.reset();

    // The host moves the loudness: the knob shows it, nothing else is written.
    GestureCounter gestures (*f.proc);
    const float medium = f.raw ("masterMedium");
    auto* lufs = f.proc->apvts.getParameter ("masterLufs");
    const int target = after == 0 ? 3 : 0;
    lufs->setValueNotifyingHost (lufs->convertTo0to1 ((float) target));
    EXPECT_TRUE (pumpUntil ([&] { return juce::roundToInt (knob.slider.getValue()) == target; }));
    EXPECT_EQ (f.raw ("masterMedium"), medium);
    EXPECT_EQ (gestures.totalBegins(), 0);
    EXPECT_EQ (gestures.changes ("masterMedium"), 0);
}

TEST (MainView, MetersFollowTheScaleAndTheIdentity)
{
    ViewFixture f;
    auto& v = *f.view;
    vyrTest::setParam (*f.proc, "meteringMode", 2.0f);
    f.proc->themeIndex = 3;
    v.tick();
    EXPECT_EQ (v.inMeter->meteringMode, 2);
    EXPECT_EQ (v.outMeter->meteringMode, 2);
    EXPECT_EQ (v.outMeter->themeId, 3);
}

//==============================================================================
// Chips and buttons, with real mouse events

TEST (MainView, StyleChipWritesTheStyleRecipeAndClearsTheMood)
{
    ViewFixture f;
    auto& v = *f.view;
    Desk desk (v);
    f.proc->currentMood = 3;
    GestureCounter gestures (*f.proc);

    desk.click (f.centre (v.styleChips[0])); // EDM
    EXPECT_EQ (juce::roundToInt (f.raw ("masterStyle")), 0);
    EXPECT_EQ (f.proc->styleIndex.load(), 0);
    EXPECT_EQ (f.proc->currentMood.load(), -1);
    EXPECT_EQ (juce::roundToInt (f.raw ("masterMood")), 0);
    EXPECT_FALSE (f.proc->applyingRecipe.load());
    EXPECT_EQ (gestures.begins ("masterStyle"), 1);
    EXPECT_EQ (gestures.totalBegins(), gestures.totalEnds());
    EXPECT_EQ (v.recipeHint, "EDM recipe - Mix is the starting ceiling. Drag to taste.");

    // A press that reaches the view itself over a chip is routed to it.
    v.mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), v.styleChips[1].getBounds().getCentre().toFloat(),
                                   {}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, &v, &v, juce::Time::getCurrentTime(),
                                   v.styleChips[1].getBounds().getCentre().toFloat(), juce::Time::getCurrentTime(), 1, false));
    EXPECT_TRUE (pumpUntil ([&] { return juce::roundToInt (f.raw ("masterStyle")) == 1; }));
}

TEST (MainView, MediumChipsWriteTheMediumAndTheNearestLoudness)
{
    // The nearest loudness option, ties to the louder-range option listed first (Video -18 -> -16,
    // Club -8 -> -9 with the built-in targets).
    EXPECT_EQ (vyrMainView::nearestLufsOption (-18.0f), 1);
    EXPECT_EQ (vyrMainView::nearestLufsOption (-8.0f), 4);
    EXPECT_EQ (vyrMainView::nearestLufsOption (-12.5f), 2);
    EXPECT_EQ (vyrMainView::nearestLufsOption (std::numeric_limits<float>::quiet_NaN()), 2);

    ViewFixture f;
    auto& v = *f.view;
    Desk desk (v);
    for (int chip : { 5, 7, 6, 0 })
    {
        SCOPED_TRACE (chip);
        const int lufs = vyrMainView::nearestLufsOption (vyrQuarn::gMediumLufs[chip]);
        GestureCounter gestures (*f.proc);
        desk.click (f.centre (v.mediumChips[chip]));
        EXPECT_EQ (juce::roundToInt (f.raw ("masterMedium")), chip);
        EXPECT_EQ (juce::roundToInt (f.raw ("masterLufs")), lufs);
        EXPECT_EQ (f.proc->lufsIndex.load(), lufs);
        EXPECT_EQ (v.recipeHint, juce::String (vyrMainView::kMediumNames[chip]) + "  -  " + juce::String ((int) vyrMainView::kLufsOptions[lufs]) + " LUFS");
        EXPECT_EQ (gestures.begins ("masterMedium"), 1);
        EXPECT_EQ (gestures.begins ("masterLufs"), 1);
        EXPECT_EQ (gestures.totalBegins(), gestures.totalEnds());
    }
    desk.click (f.centre (v.mediumChips[5]));
    if (vyrQuarn::gMediumLufs[5] == -18.0f)
        EXPECT_EQ (v.recipeHint, "Video  -  -16 LUFS");
}

TEST (MainView, LoudnessKnobActsOnlyOnTheUsersTurn)
{
    ViewFixture f;
    auto& v = *f.view;
    GestureCounter gestures (*f.proc);

    // Arriving through the attachment (automation, MIDI, recall): no writes at all.
    v.lufsKnobChanged (0.0, false);
    EXPECT_EQ (gestures.totalBegins(), 0);
    // The option already current: nothing.
    v.lufsKnobChanged ((double) f.proc->lufsIndex.load(), true);
    EXPECT_EQ (gestures.totalBegins(), 0);

    // The user's turn to -14 also moves the medium to the first medium of that loudness.
    f.proc->lufsIndex = 4;
    int album = -1;
    for (int m = 7; m >= 0; --m)
        if (std::abs (vyrQuarn::gMediumLufs[m] + 14.0f) < 0.01f)
            album = m;
    ASSERT_GE (album, 0);
    v.lufsKnobChanged (2.2, true);
    EXPECT_EQ (juce::roundToInt (f.raw ("masterLufs")), 2);
    EXPECT_EQ (juce::roundToInt (f.raw ("masterMedium")), album); // Album with the built-in targets
    EXPECT_EQ (gestures.begins ("masterLufs"), 1);
    EXPECT_TRUE (v.recipeHint.startsWith ("-14 LUFS - drive"));

    // -23 is only Cinematic's; a loudness no medium has leaves the medium alone.
    float saved[8];
    std::copy (std::begin (vyrQuarn::gMediumLufs), std::end (vyrQuarn::gMediumLufs), saved);
    std::fill (std::begin (vyrQuarn::gMediumLufs), std::end (vyrQuarn::gMediumLufs), -12.0f);
    v.lufsKnobChanged (0.0, true);
    std::copy (std::begin (saved), std::end (saved), vyrQuarn::gMediumLufs);
    EXPECT_EQ (juce::roundToInt (f.raw ("masterLufs")), 0);
    EXPECT_EQ (juce::roundToInt (f.raw ("masterMedium")), album);
}

TEST (MainView, BypassTogglesWithoutAGestureAndScaleChipsCallTheHooks)
{
    ViewFixture f;
    auto& v = *f.view;
    Desk desk (v);
    GestureCounter gestures (*f.proc);

    desk.click (f.centre (v.bypassButton));
    EXPECT_GE (f.raw ("bypass"), 0.5f);
    desk.click (f.centre (v.bypassButton));
    EXPECT_LT (f.raw ("bypass"), 0.5f);
    EXPECT_EQ (gestures.totalBegins(), 0);
    EXPECT_EQ (gestures.changes ("bypass"), 2);

    // Without hooks the scale chips do nothing; with them they step by 0.05 and reset to 1.
    desk.click (f.centre (v.scaleUpButton));
    std::vector<float> asked;
    float scale = 1.2f;
    v.setWindowScale = [&] (float s) { asked.push_back (s); };
    v.getWindowScale = [&] { return scale; };
    desk.click (f.centre (v.scaleDownButton));
    desk.click (f.centre (v.scaleUpButton));
    desk.click (f.centre (v.scaleResetButton));
    ASSERT_EQ (asked.size(), 3u);
    EXPECT_FLOAT_EQ (asked[0], 1.15f);
    EXPECT_FLOAT_EQ (asked[1], 1.25f);
    EXPECT_FLOAT_EQ (asked[2], 1.0f);
}

TEST (MainView, TooltipsAreSetAndTheMoodNameSlotIsReachable)
{
    ViewFixture f;
    auto& v = *f.view;
    v.setVisible (true);
    EXPECT_EQ (v.getComponentAt (v.moodNameArea.getBounds().getCentre()), &v.moodNameArea);
    EXPECT_EQ (v.moodNameArea.getTooltip(), "Arm / Presets name. Preset until a mood recipe is sounding.");
    EXPECT_EQ (v.moodBox.getTooltip(), "Library mood presets. Selected row is the sounding recipe.");
    EXPECT_EQ (v.liveChips[0].getTooltip(), "LIVE Off - no real-time analysis (today's Quarn).");
    EXPECT_EQ (v.likeButton.getTooltip(), "Yes - I like this preset for this section.");
    EXPECT_EQ (v.bypassButton.getTooltip(), juce::String (juce::CharPointer_UTF8 ("Host bypass \xe2\x80\x94 a short equal-power fade.")));
    EXPECT_EQ (v.scaleResetButton.getTooltip(), "Reset window scale");

    // A press on the mood-name slot does nothing.
    Desk desk (v);
    GestureCounter gestures (*f.proc);
    desk.click (f.centre (v.moodNameArea));
    EXPECT_EQ (gestures.totalBegins(), 0);
}

//==============================================================================
// LIVE, mood box, Yes / No / Update and the timer

TEST (MainView, MoodBoxListsThePresetsUnderTheirGroups)
{
    ViewFixture f;
    auto& v = *f.view;
    ASSERT_EQ (v.numMoods(), 176);
    EXPECT_EQ (v.moodBox.getNumItems(), 176);
    int headings = 0;
    juce::PopupMenu::MenuItemIterator it (*v.moodBox.getRootMenu());
    while (it.next())
        if (it.getItem().isSectionHeader)
            ++headings;
    EXPECT_EQ (headings, 18);
    EXPECT_EQ (v.moodBox.getItemId (0), 1);
    EXPECT_EQ (v.moodBox.getItemText (175), (*v.moods)[175].name);
    EXPECT_EQ (v.moodBox.getSelectedId(), 0);
    EXPECT_EQ (v.moodBox.getTextWhenNothingSelected(), "Presets");
}

TEST (MainView, KeepsItsOwnMoodListWhenTheAnalyserReloadsItsTables)
{
    ViewFixture f;
    auto& v = *f.view;
    f.proc->currentMood = 150;
    v.tick();
    const auto before = render (v);

    // The analyser's list is replaced (and the old one freed) while the view lives.
    f.proc->live.loadTablesFrom ("{}", "[]");
    v.tick();
    const auto after = render (v);
    EXPECT_EQ (v.numMoods(), 176);
    EXPECT_EQ (v.moodBox.getSelectedId(), 151);
    EXPECT_EQ (countInk (after, v.moodNameArea.getBounds(), juce::Colours::transparentBlack, 0),
               countInk (before, v.moodNameArea.getBounds(), juce::Colours::transparentBlack, 0));
}

TEST (MainView, ChoosingAMoodAppliesItAndTheSoundingMoodIsShown)
{
    ViewFixture f;
    auto& v = *f.view;
    const int before = f.proc->recipeGeneration.load();

    v.moodBox.setSelectedId (11, juce::sendNotificationSync); // the user's pick
    EXPECT_EQ (f.proc->currentMood.load(), 10);
    EXPECT_GT (f.proc->recipeGeneration.load(), before);
    const auto& p = (*v.moods)[10];
    EXPECT_EQ (v.recipeHint, p.shortName.isNotEmpty() ? p.shortName : p.name);
    const auto caption = p.shortName.isNotEmpty() ? p.shortName : p.mood;
    EXPECT_EQ (v.moodNameArea.getTooltip(), caption + " - sounding mood, not a STYLE chip.");

    // A mood the processor sets (automation, the analyser) is shown without being applied again.
    GestureCounter gestures (*f.proc);
    const int generation = f.proc->recipeGeneration.load();
    f.proc->currentMood = 20;
    v.tick();
    EXPECT_EQ (v.moodBox.getSelectedId(), 21);
    EXPECT_EQ (f.proc->recipeGeneration.load(), generation);
    EXPECT_EQ (gestures.totalBegins(), 0);

    f.proc->currentMood = 500; // outside the table: no selection
    v.tick();
    EXPECT_EQ (v.moodBox.getSelectedId(), 0);
}

TEST (MainView, LiveChipsSetTheModeAndTheStatusLineFollowsTheAnalyser)
{
    ViewFixture f;
    auto& v = *f.view;
    Desk desk (v);
    auto& live = f.proc->live;

    desk.click (f.centre (v.liveChips[2]));
    EXPECT_EQ (juce::roundToInt (f.raw ("liveAnalysis")), 2);
    EXPECT_EQ (live.mode.load(), 2);
    EXPECT_EQ (v.recipeHint, "LIVE Arm - form letters A-G (same class = same letter). First:late  replay:seam");

    live.sectionKnown = false;
    v.tick();
    EXPECT_EQ (v.recipeHint, "Arm  listening...");

    struct Case
    {
        float late;
        bool hold, xfade, replay;
        const char* line;
    };
    const Case cases[] = { { 0.25f, false, false, false, "Arm form C  late" }, { 0.3f, false, false, false, "Arm form C  late 0.3s" },
                           { 0.0f, false, false, true, "Arm form C  replay" }, { 0.0f, false, true, true, "Arm form C  xfade" },
                           { 0.0f, true, true, true, "Arm hold C" } };
    live.sectionKnown = true;
    live.letter = 'C';
    for (const auto& c : cases)
    {
        live.lateSeconds = c.late, live.userHold = c.hold, live.xfadeActive = c.xfade, live.replaying = c.replay;
        v.tick();
        EXPECT_EQ (v.recipeHint, c.line);
    }
    live.userHold = false, live.xfadeActive = false, live.replaying = false;

    desk.click (f.centre (v.liveChips[1]));
    EXPECT_EQ (v.recipeHint, "LIVE Show - confirmed section only. Style and Mix stay put.");
    live.sectionKnown = true; // the chip's mode change may have reset it
    live.letter = 'C';
    live.showSeconds = 12.4f;
    {
        const juce::SpinLock::ScopedLockType lock (live.statusLock);
        std::strcpy (live.statusText, "steady");
    }
    v.tick();
    EXPECT_EQ (v.recipeHint, "Show form C  12s steady");

    desk.click (f.centre (v.liveChips[0]));
    EXPECT_EQ (juce::roundToInt (f.raw ("liveAnalysis")), 0);
    EXPECT_FALSE (live.sectionKnown.load());
    v.tick();
    EXPECT_EQ (v.recipeHint, "LIVE off - Quarn as before.");
}

TEST (MainView, ArmMoodFollowsTheAnalyserUnlessTheUserHolds)
{
    ViewFixture f;
    auto& v = *f.view;
    auto& live = f.proc->live;
    v.setChoice ("liveAnalysis", 2);
    live.sectionKnown = true;
    live.suggestedMood = 7;
    v.tick();
    EXPECT_EQ (f.proc->currentMood.load(), 7);

    live.userHold = true;
    live.suggestedMood = 9;
    v.tick();
    EXPECT_EQ (f.proc->currentMood.load(), 7);
}

TEST (MainView, YesAndNoFlashAndHoldTheirMessage)
{
    ViewFixture f;
    auto& v = *f.view;
    Desk desk (v);
    auto& live = f.proc->live;
    v.setChoice ("liveAnalysis", 2);
    live.setMode (2);
    live.sectionKnown = true;
    live.letter = 'B';
    v.tick(); // the form letter is seen

    desk.click (f.centre (v.likeButton));
    EXPECT_EQ (v.recipeHint, "Yes - keep this recipe (Update makes it ')");
    EXPECT_EQ (v.feedbackKind, 1);
    v.tick(); // the status line waits while the flash runs
    EXPECT_EQ (v.recipeHint, "Yes - keep this recipe (Update makes it ')");

    desk.click (f.centre (v.dislikeButton));
    EXPECT_EQ (v.feedbackKind, 2);
    EXPECT_TRUE (v.recipeHint == "No - new mood now. Update freezes as ''" || v.recipeHint == "No - nothing else fits this imprint");
    EXPECT_TRUE (live.letterChips[1].disliked);

    // A new form letter ends the flash at once.
    live.letter = 'C';
    v.tick();
    EXPECT_EQ (v.feedbackKind, 0);
    EXPECT_TRUE (v.recipeHint.startsWith ("Arm ") && v.recipeHint.contains (" C")) << v.recipeHint;
}

TEST (MainView, UpdateFreezesTheLetterAndLogsPrimeThenDoublePrime)
{
    ViewFixture f;
    auto& v = *f.view;
    Desk desk (v);
    auto& live = f.proc->live;
    live.sectionKnown = true;
    live.letter = 'B';
    auto& rec = live.letterChips[1];
    vyrTest::setParam (*f.proc, "quarn_boost", 0.6f);
    vyrTest::setParam (*f.proc, "masterStyle", 2.0f);
    const int generation = f.proc->recipeGeneration.load();

    desk.click (f.centre (v.updateButton));
    EXPECT_EQ (rec.variant.load(), 1);
    EXPECT_TRUE (rec.frozen);
    EXPECT_TRUE (rec.hasSnapshot.load());
    EXPECT_EQ (rec.style, 2);
    EXPECT_NEAR (rec.quarnSnap[3], 0.6f, 1.0e-3f);
    EXPECT_EQ (live.suggestedStyle.load(), 2);
    EXPECT_EQ (f.proc->recipeGeneration.load(), generation + 1);
    EXPECT_EQ (v.recipeHint, "Update  B'  -  next pass plays this, not stock");
    EXPECT_TRUE (trainingText (f).contains ("\"prime\""));

    // An Update after a dislike of the letter tags it '' and logs the banned recipe as "before".
    rec.disliked = true;
    rec.ban.style = 4;
    rec.ban.mood = -1;
    desk.click (f.centre (v.updateButton));
    EXPECT_EQ (rec.variant.load(), 2);
    EXPECT_EQ (v.recipeHint, "Update  B''  -  next pass plays this, not stock");
    EXPECT_TRUE (trainingText (f).contains ("double_prime"));

    // Without a known section only the counter moves.
    live.sectionKnown = false;
    live.letter = 'D';
    desk.click (f.centre (v.updateButton));
    EXPECT_EQ (live.letterChips[3].variant.load(), 0);
    EXPECT_EQ (f.proc->recipeGeneration.load(), generation + 3);
}

TEST (MainView, HostChangesNeverMakeTheViewWrite)
{
    ViewFixture f;
    auto& v = *f.view;
    GestureCounter gestures (*f.proc);
    for (const char* id : { "masterLufs", "masterStyle", "masterMedium", "liveAnalysis", "bypass", "masterMood" })
    {
        auto* p = f.proc->apvts.getParameter (id);
        p->setValueNotifyingHost (p->getValue() < 0.5f ? 1.0f : 0.0f);
        v.tick();
    }
    f.proc->recipeGeneration += 1;
    v.tick();
    EXPECT_EQ (gestures.totalBegins(), 0);
}

//==============================================================================
// File actions

TEST (MainView, FileDropsAreStandaloneOnlyAndLoadTheFirstFile)
{
    const auto dir = uniqueTempDir ("vyr-drop");
    dir.createDirectory();
    const auto wav = writeWav (dir.getChildFile ("take.wav"));
    const juce::StringArray files { wav.getFullPathName(), dir.getChildFile ("other.txt").getFullPathName() };
    {
        ViewFixture plugin (false);
        EXPECT_FALSE (plugin.view->isInterestedInFileDrag (files));
        plugin.view->filesDropped (files, 10, 10);
        EXPECT_FALSE (plugin.proc->fileLoaded);
    }
    {
        ViewFixture f (true);
        auto& v = *f.view;
        EXPECT_TRUE (v.isInterestedInFileDrag (files));
        EXPECT_FALSE (v.isInterestedInFileDrag ({ dir.getChildFile ("other.txt").getFullPathName() }));
        v.fileDragEnter (files, 10, 10);
        EXPECT_TRUE (v.fileDragHover);
        v.filesDropped (files, 10, 10);
        EXPECT_FALSE (v.fileDragHover);
        EXPECT_TRUE (f.proc->fileLoaded);
        EXPECT_EQ (f.proc->loadedName, "take.wav");

        // A file with an audio name that cannot be read says why; the loaded file stays.
        auto bad = dir.getChildFile ("broken.wav");
        bad.replaceWithText ("not audio at all");
        v.filesDropped ({ bad.getFullPathName() }, 10, 10);
        EXPECT_TRUE (v.recipeHint.startsWith ("Couldn't read broken.wav"));
        EXPECT_EQ (f.proc->loadedName, "take.wav");
        v.tick(); // the reason is held against the status line
        EXPECT_TRUE (v.recipeHint.startsWith ("Couldn't read broken.wav"));
    }
    dir.deleteRecursively();
}

TEST (MainView, DownloadNamesTheFileAndNeverOverwritesAnUnchosenOne)
{
    const auto dir = uniqueTempDir ("vyr-export");
    dir.createDirectory();
    ViewFixture f (true);
    auto& v = *f.view;

    // Nothing loaded: no dialog.
    v.beginExport();
    EXPECT_EQ (v.recipeHint, "Load an audio file first.");
    EXPECT_EQ (v.fileChooser, nullptr);

    v.loadChosenFile (writeWav (dir.getChildFile ("song.wav")));
    ASSERT_TRUE (f.proc->fileLoaded);

    v.exportChosenFile ({});
    EXPECT_EQ (v.recipeHint, "Export cancelled.");

    // A name without a known extension becomes WAV...
    v.exportChosenFile (dir.getChildFile ("master"));
    EXPECT_EQ (v.recipeHint, "Exported master.wav");
    EXPECT_GT (dir.getChildFile ("master.wav").getSize(), 1000);

    // ...but never replaces a file of that name the dialog did not ask about.
    const auto keep = dir.getChildFile ("keep.wav");
    keep.replaceWithText ("precious");
    v.exportChosenFile (dir.getChildFile ("keep.take"));
    EXPECT_EQ (keep.loadFileAsString(), "precious");
    EXPECT_TRUE (v.recipeHint.contains ("keep.wav already exists"));
    EXPECT_FALSE (dir.getChildFile ("keep.take").exists());

    v.exportChosenFile (dir.getChildFile ("out.flac"));
    EXPECT_EQ (v.recipeHint, "Exported out.flac");
    EXPECT_TRUE (dir.getChildFile ("out.flac").existsAsFile());
    EXPECT_EQ (v.fileChooser, nullptr);
    dir.deleteRecursively();
}

TEST (MainView, PlayPausesAndStopRewinds)
{
    const auto dir = uniqueTempDir ("vyr-play");
    dir.createDirectory();
    ViewFixture f (true);
    auto& v = *f.view;
    vyrTest::prepare (*f.proc, 44100.0, 512);
    v.loadChosenFile (writeWav (dir.getChildFile ("loop.wav"), 2.0));
    ASSERT_TRUE (f.proc->fileLoaded);
    Desk desk (v);

    desk.click (f.centre (v.playButton));
    EXPECT_TRUE (f.proc->transport.isPlaying());
    juce::AudioBuffer<float> block (2, 512);
    juce::MidiBuffer midi;
    for (int i = 0; i < 4; ++i)
        f.proc->processBlock (block, midi);
    desk.click (f.centre (v.playButton));
    EXPECT_FALSE (f.proc->transport.isPlaying());
    EXPECT_GT (f.proc->transport.getCurrentPosition(), 0.0);

    desk.click (f.centre (v.stopButton));
    EXPECT_EQ (f.proc->transport.getCurrentPosition(), 0.0);
    f.proc->releaseResources();
    dir.deleteRecursively();
}

//==============================================================================
// Painting

TEST (MainViewPainting, AccentAndMotes)
{
    const juce::uint32 expected[] = { 0xff38e0ff, 0xff38e0ff, 0xff22d3ee, 0xffe0a94e, 0xffff9e1a, 0xff00f0ff, 0xff5fe8c4, 0xff38e0ff };
    for (int t = -1; t <= 6; ++t)
        EXPECT_EQ (BasicMasteringView::accentFor (t).getARGB(), expected[t + 1]) << t;

    ViewFixture a, b;
    for (int i = 0; i < BasicMasteringView::kNumMotes; ++i)
    {
        EXPECT_EQ (a.view->motes[i].x, b.view->motes[i].x);
        EXPECT_EQ (a.view->motes[i].size, b.view->motes[i].size);
        EXPECT_GE (a.view->motes[i].size, 0.62f);
        EXPECT_LE (a.view->motes[i].alpha, 0.5f);
    }
    float g1[BasicMasteringView::kNumMotes], g2[BasicMasteringView::kNumMotes];
    BasicMasteringView::moteGlow (123.4, g1);
    BasicMasteringView::moteGlow (123.4, g2);
    EXPECT_TRUE (std::equal (std::begin (g1), std::end (g1), std::begin (g2)));
    // At t = 1.26 s channel 0 is at the top of its swell on mote 0.
    BasicMasteringView::moteGlow (1.26, g1);
    EXPECT_NEAR (g1[0], 1.0f, 1.0e-4f);
}

TEST (MainViewPainting, SurfacesChipsAndDropZone)
{
    ViewFixture f (true);
    auto& v = *f.view;
    f.proc->themeIndex = 0;
    auto img = render (v);

    // Meter face inside its inner rim, and the window gradient at the left edge below the tray.
    const auto well = v.meterWell;
    EXPECT_TRUE (colourNear (pixel (img, (int) well.getCentreX(), (int) well.getY() + 40), juce::Colour (0xff0e1014), 6));
    EXPECT_TRUE (colourNear (pixel (img, 5, 400), juce::Colour (0xff24272d).interpolatedWith (juce::Colour (0xff101216), 400.0f / 768.0f), 4));
    // Header inner panel, and the wordmark's ink in its left part.
    EXPECT_TRUE (colourNear (pixel (img, 600, v.headerArea.getY() + 4), juce::Colour (0xff12141a), 6));
    EXPECT_GT (countInk (img, R (26, v.headerArea.getY() + 10, 220, 84), juce::Colour (0xff0d0e13), 24), 1500);

    // The shown style chip is lit (filled deep), the others are not.
    const int shown = juce::roundToInt (f.raw ("masterStyle"));
    const int other = (shown + 1) % 7;
    const auto litPx = pixel (img, v.styleChips[shown].getX() + 6, v.styleChips[shown].getBounds().getCentreY());
    const auto offPx = pixel (img, v.styleChips[other].getX() + 6, v.styleChips[other].getBounds().getCentreY());
    EXPECT_GT (colourDistance (litPx, offPx), 20);

    // The drop zone takes the accent while a file hovers.
    const juce::Point<int> zone (40, v.loadButton.getY() + 2);
    const auto idle = pixel (img, zone.x, zone.y);
    v.fileDragEnter ({}, 0, 0);
    const auto hover = pixel (render (v), zone.x, zone.y);
    EXPECT_GT (hover.getBlue(), idle.getBlue() + 10);
    EXPECT_GT (countInk (img, R (24, v.loadButton.getY(), 200, 30), idle, 40), 20); // "Drop audio or Load"
}

TEST (MainViewPainting, RendersEveryIdentityAtBothSizes)
{
    for (bool standalone : { false, true })
        for (int theme = 0; theme < 6; ++theme)
        {
            ViewFixture f (standalone);
            f.proc->themeIndex = theme;
            auto img = render (*f.view);
            EXPECT_EQ (f.view->infoButton.accent, BasicMasteringView::accentFor (theme));
            savePng (img, juce::String ("main-view-") + (standalone ? "standalone-" : "plugin-") + juce::String (theme));
        }
}

// With program audio playing: a style recipe, a QUARN boost and a gauge amount set, a few seconds
// of pink noise with a slow swell through the processor, every timer of the view ticked between
// blocks. The meters light and the sparks fly; the picture shows the view as it plays.
TEST (MainViewPainting, RendersEveryIdentityWithAudioPlaying)
{
    for (int theme = 0; theme < 6; ++theme)
    {
        ViewFixture f;
        auto& v = *f.view;
        f.proc->themeIndex = theme;
        vyrTest::prepare (*f.proc, 48000.0, 512);
        const auto atRest = render (v);
        v.setChoice ("masterStyle", 1 + theme % 6);
        vyrTest::setParam (*f.proc, "quarn_boost", 1.0f);
        vyrTest::setParam (*f.proc, "masterTrim", 18.0f);

        juce::AudioBuffer<float> block (2, 512);
        juce::MidiBuffer midi;
        juce::Random rng (theme + 1);
        vyrTestSignals::PinkFilter pink[2];
        for (int b = 0; b < 3 * 48000 / 512; ++b)
        {
            const float swell = 0.15f + 0.1f * std::sin (0.02f * (float) b);
            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < 512; ++i)
                    block.setSample (ch, i, swell * pink[ch].next (rng.nextFloat() * 2.0f - 1.0f));
            f.proc->processBlock (block, midi);
            if (b % 3 == 0)
            {
                v.tick();
                v.quarn.tick();
                v.space.tick();
                v.effectGauge.tick();
                v.inMeter->tick();
                v.outMeter->tick();
            }
        }
        const auto img = render (v);
        // The output meter's column lit, the gauge's readout and the polar control moved.
        const auto meter = v.outMeter->getBounds();
        EXPECT_GT (countInk (img, meter, pixel (atRest, meter.getCentreX(), meter.getBottom() - 20), 40), 200);
        int movedGauge = 0, movedQuarn = 0;
        for (int y = v.effectGauge.getY(); y < v.effectGauge.getBottom(); y += 2)
            for (int x = v.effectGauge.getX(); x < v.effectGauge.getRight(); x += 2)
                movedGauge += colourDistance (img.getPixelAt (x, y), atRest.getPixelAt (x, y)) > 30 ? 1 : 0;
        for (int y = v.quarn.getY(); y < v.quarn.getBottom(); y += 2)
            for (int x = v.quarn.getX(); x < v.quarn.getRight(); x += 2)
                movedQuarn += colourDistance (img.getPixelAt (x, y), atRest.getPixelAt (x, y)) > 30 ? 1 : 0;
        EXPECT_GT (movedGauge, 50) << theme;
        EXPECT_GT (movedQuarn, 50) << theme;
        savePng (img, "main-view-playing-" + juce::String (theme));
        f.proc->releaseResources();
    }
}

TEST (MainView, TimerRepaintsOnlyWhatChanged)
{
    struct Probe : juce::Component
    {
        int paints = 0;
        void paint (juce::Graphics&) override { ++paints; }
    };
    ViewFixture f;
    auto& v = *f.view;
    // The sentinel sits in the bottom corner, which the view never repaints by itself: when it
    // paints, the window system exposed the window (late on a loaded machine) and every probe
    // painted for that reason, so the window proves nothing and is measured again.
    Probe overTray, overChips, sentinel;
    for (auto* p : { &overTray, &overChips, &sentinel })
    {
        p->setInterceptsMouseClicks (false, false);
        v.addAndMakeVisible (*p);
    }
    overTray.setBounds (v.layout.tray.withHeight (40));
    overChips.setBounds (v.styleChips[0].getBounds());
    sentinel.setBounds (v.getLocalBounds().removeFromBottom (4).removeFromRight (4));
    auto reset = [&] { overTray.paints = overChips.paints = sentinel.paints = 0; };
    Desk desk (v);
    v.tick();
    ASSERT_TRUE (pumpUntil ([&] { return overTray.paints > 0; })); // the window's first paint
    // Settle: the knobs' attachments deliver their first values asynchronously.
    for (int settle = 0; settle < 10; ++settle)
    {
        reset();
        pump (300);
        if (overTray.paints == 0 && overChips.paints == 0)
            break;
    }
    ASSERT_EQ (overTray.paints + overChips.paints, 0);

    // Ticks with nothing changed repaint neither band.
    for (int attempt = 0; attempt < 10; ++attempt)
    {
        reset();
        for (int i = 0; i < 5; ++i)
            v.tick();
        pump (150);
        if (sentinel.paints == 0)
            break;
    }
    ASSERT_EQ (sentinel.paints, 0) << "every window repainted the whole view (an expose, or a full repaint)";
    EXPECT_EQ (overTray.paints, 0);
    EXPECT_EQ (overChips.paints, 0);

    // The host moves the medium: the chip rows repaint, the tray band does not. (A style would
    // also start its recipe, which may switch modules and so rightly repaint the tray.)
    auto* medium = f.proc->apvts.getParameter ("masterMedium");
    for (int attempt = 0; attempt < 10; ++attempt)
    {
        reset();
        medium->setValueNotifyingHost (medium->convertTo0to1 ((float) (attempt % 2)));
        v.tick();
        EXPECT_TRUE (pumpUntil ([&] { return overChips.paints > 0; }));
        if (sentinel.paints == 0)
            break;
    }
    ASSERT_EQ (sentinel.paints, 0) << "every window repainted the whole view (an expose, or a full repaint)";
    EXPECT_EQ (overTray.paints, 0);
}

TEST (MainView, SurvivesEveryProductAndSize)
{
    checkSurvives ([] (VyrAudioProcessor& p) { return std::make_unique<BasicMasteringView> (p); }, { 0, 0, 1168, 720 });
}
