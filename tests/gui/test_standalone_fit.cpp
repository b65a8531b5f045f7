// The Standalone app's main view as a user meets it: readable meter readouts at any level, texts
// that never run into each other, what Play says without an output device, export failures that
// say why, where the save dialog starts, and a window that stays on the screen.
#include "FileTestUtil.h"
#include "GuiTestUtil.h"
#include "Ui/MainView/BasicMasteringView.h"
#include "Ui/Shell/AudioSettingsWindow.h"
#include "Ui/Shell/PluginEditor.h"

#include <juce_audio_plugin_client/Standalone/juce_StandaloneFilterWindow.h>

using namespace vyrGui;

namespace
{
struct StandaloneEditor
{
    std::unique_ptr<VyrAudioProcessor> proc = makeProcessor (15, true);
    std::unique_ptr<VyrAudioProcessorEditor> editor { dynamic_cast<VyrAudioProcessorEditor*> (proc->createEditorIfNeeded()) };
    BasicMasteringView& view() { return *editor->shell.mainView; }
    ~StandaloneEditor()
    {
        proc->editorBeingDeleted (editor.get());
        editor.reset();
    }
};

// A machine without a usable output device, for the life of one test.
struct NoOutputDevice
{
    NoOutputDevice() { gAudioOutputProbe = [] { return false; }; }
    ~NoOutputDevice() { gAudioOutputProbe = nullptr; }
};

const juce::String kLongLoadError = "Couldn't read notaudio.wav: it is not an audio file this program can decode (WAV, AIFF, "
                                    "FLAC, Ogg Vorbis or MP3).";

juce::File shortWav (const juce::File& file)
{
    vyrTestFiles::writeSine (file, 44100.0, 2, 4410);
    return file;
}

float linear (float db) { return std::pow (10.0f, db / 20.0f); }
}

TEST (StandaloneFit, MeterReadoutsStayApartAndWholeAtEveryLevel)
{
    StandaloneEditor s;
    auto& v = s.view();
    auto& m = s.proc->meters;
    // dB pairs as the user reported them, and the ends of the range.
    const std::pair<float, float> levels[] = { { -1.8f, 3.3f }, { -4.3f, 3.2f }, { 3.2f, 3.2f }, { 14.0f, -69.9f },
                                               { -69.9f, 14.0f }, { -100.0f, -100.0f }, { -12.3f, -45.6f } };
    for (const auto& [l, r] : levels)
    {
        for (int c = 0; c < 2; ++c)
        {
            m.inPeak[c].store (linear (c == 0 ? l : r));
            m.outPeak[c].store (linear (c == 0 ? l : r));
            m.inRms[c].store (linear (c == 0 ? l : r));
            m.outRms[c].store (linear (c == 0 ? l : r));
        }
        for (auto* meter : { v.inMeter.get(), v.outMeter.get() })
        {
            SCOPED_TRACE (juce::String (l) + " / " + juce::String (r) + " " + meter->title);
            meter->peakHold[0] = {};
            meter->peakHold[1] = {};
            render (*meter);
            const auto a = meter->readoutBounds (0), b = meter->readoutBounds (1);
            EXPECT_FALSE (a.intersects (b));
            EXPECT_TRUE (meter->getLocalBounds().contains (a.getUnion (b)));
            for (int c = 0; c < 2; ++c)
            {
                const auto text = vyrMeter::dbText (meter->peakHold[c].hold.held);
                EXPECT_EQ (text, vyrMeter::dbText (c == 0 ? l : r));
                // drawn at its full width: never squashed or cut
                EXPECT_LE (meter->readoutFont().getStringWidthFloat (text), (float) meter->readoutBounds (c).getWidth()) << text;
            }
        }
    }
    // The whole editor zoomed out and in, for the eye.
    for (float zoom : { 0.75f, 1.5f })
        savePng (render (*s.editor, zoom), "standalone-meters-" + juce::String (zoom, 2));
}

TEST (StandaloneFit, LongestHintsKeepClearOfTheTitleAndTheStageTexts)
{
    StandaloneEditor s;
    auto& v = s.view();
    savePng (render (*s.editor), "standalone-main-view-at-rest");

    const auto title = v.effectGauge.titleBounds() + v.effectGauge.getPosition();
    const juce::String hints[] = { kLongLoadError, kNoAudioOutputText,
                                   "-23 LUFS - drive, Effect trim, BOOST cap. Limiter OUT stays true-peak.",
                                   "LIVE Arm - form letters A-G (same class = same letter). First:late  replay:seam",
                                   "Couldn't create master.wav (folder /home/someone/Music/masters/2024/december/final does not exist)" };
    for (const auto& hint : hints)
    {
        SCOPED_TRACE (hint);
        v.recipeHint = hint;
        const auto img = render (*s.editor);
        const auto area = v.hintArea;
        EXPECT_FALSE (area.isEmpty());
        EXPECT_FALSE (area.intersects (title));
        EXPECT_LE (area.getRight(), v.meterWell.getX());
        EXPECT_GE (area.getX(), v.dislikeButton.getRight());
        EXPECT_TRUE (v.stageArea.contains (area));
    }
    // A load error is shown whole in the file row too, where there is room for it.
    vyrTestFiles::ScratchDir dir;
    dir["notaudio.wav"].replaceWithText ("not audio");
    v.loadChosenFile (dir["notaudio.wav"]);
    EXPECT_TRUE (v.recipeHint.startsWith ("Couldn't read"));
    savePng (render (*s.editor), "standalone-main-view-error");

    // The loudness knob's caption stays inside the stage's frame.
    EXPECT_LE (v.lufsKnob->getY() + v.lufsKnob->captionLimit, v.stageArea.getBottom());

    // The SPACE ring's labels reach past the widget's edge and are painted whole there.
    auto& space = v.space;
    const int pad = 40;
    const auto alone = renderPaint (space.getWidth() + 2 * pad, space.getHeight(), [&] (juce::Graphics& g)
                                    {
                                        g.setOrigin (pad, 0);
                                        space.paintEntireComponent (g, false);
                                    });
    EXPECT_GT (countInk (alone, { pad + space.getWidth(), 0, pad, space.getHeight() }, juce::Colours::transparentBlack, 40), 10);
}

TEST (StandaloneFit, PlayWithoutAnOutputDeviceSaysSoAndDoesNotRun)
{
    NoOutputDevice none;
    StandaloneEditor s;
    auto& v = s.view();
    vyrTestFiles::ScratchDir dir;
    v.loadChosenFile (shortWav (dir["song.wav"]));
    ASSERT_TRUE (s.proc->fileLoaded);

    Desk desk (*s.editor);
    const auto play = s.editor->getLocalPoint (&v, v.playButton.getBounds().getCentre()).toFloat();
    desk.click (play);
    EXPECT_FALSE (s.proc->transport.isPlaying());
    EXPECT_EQ (v.recipeHint, kNoAudioOutputText);
    // the Space key takes the same path
    v.recipeHint.clear();
    EXPECT_TRUE (desk.key (juce::KeyPress (juce::KeyPress::spaceKey)));
    EXPECT_FALSE (s.proc->transport.isPlaying());
    EXPECT_EQ (v.recipeHint, kNoAudioOutputText);
    savePng (render (*s.editor), "standalone-main-view-no-device");
}

TEST (StandaloneFit, ExportFailuresNameTheFolderAndTheReason)
{
    StandaloneEditor s;
    auto& v = s.view();
    vyrTestFiles::ScratchDir dir;
    v.loadChosenFile (shortWav (dir["song.wav"]));
    ASSERT_TRUE (s.proc->fileLoaded);

    const auto missing = dir.dir.getChildFile ("no such folder");
    for (const char* name : { "master.wav", "master.mp3", "master.flac" })
    {
        v.exportChosenFile (missing.getChildFile (name));
        EXPECT_EQ (v.recipeHint, "Couldn't create " + juce::String (name) + " (folder " + missing.getFullPathName() + " does not exist)");
    }
    // a file where the folder should be
    const auto notFolder = dir["plain.txt"];
    notFolder.replaceWithText ("x");
    v.exportChosenFile (notFolder.getChildFile ("master.wav"));
    EXPECT_EQ (v.recipeHint, "Couldn't create master.wav (" + notFolder.getFullPathName() + " is not a folder)");
    // a folder of the chosen name
    dir["taken.wav"].createDirectory();
    v.exportChosenFile (dir["taken.wav"]);
    EXPECT_EQ (v.recipeHint, "Couldn't create taken.wav (a folder of that name is in " + dir.dir.getFullPathName() + ")");
    EXPECT_EQ (dir.dir.getNumberOfChildFiles (juce::File::findFiles, "master*"), 0);
}

TEST (StandaloneFit, SaveDialogStartsInTheLastFolderElseTheSongsElseMusicOrHome)
{
    StandaloneEditor s;
    auto& v = s.view();
    vyrTestFiles::ScratchDir songs, out;
    v.loadChosenFile (shortWav (songs["song.wav"]));
    Desk desk (*s.editor);
    const auto download = s.editor->getLocalPoint (&v, v.exportButton.getBounds().getCentre()).toFloat();
    auto startFolder = [&]
    {
        desk.click (download);
        v.fileChooser.reset(); // the dialog closes unanswered
        return v.exportDialogStart.getParentDirectory();
    };
    EXPECT_EQ (startFolder(), songs.dir);

    v.exportChosenFile (out["first.wav"]);
    ASSERT_EQ (v.recipeHint, "Exported first.wav");
    EXPECT_EQ (startFolder(), out.dir);

    // Folders that went away are skipped.
    out.dir.deleteRecursively();
    EXPECT_EQ (startFolder(), songs.dir);
    songs.dir.deleteRecursively();
    const auto music = juce::File::getSpecialLocation (juce::File::userMusicDirectory);
    EXPECT_EQ (startFolder(), music.isDirectory() ? music : juce::File::getSpecialLocation (juce::File::userHomeDirectory));
    EXPECT_TRUE (startFolder().isDirectory());
}

// The Standalone app's own window, with the editor in it, on the 1280 x 800 test screen.
TEST (StandaloneFit, ZoomAndFullScreenKeepTheWindowOnTheScreen)
{
    juce::PluginHostType::jucePlugInClientCurrentWrapperType = juce::AudioProcessor::wrapperType_Standalone;
    juce::StandaloneFilterWindow window ("VYR Quarn", juce::Colours::black, nullptr, false);
    window.setVisible (true);
    pump (20);
    auto* editor = dynamic_cast<VyrAudioProcessorEditor*> (window.getAudioProcessor()->getActiveEditor());
    ASSERT_NE (editor, nullptr);
    const auto screen = juce::Desktop::getInstance().getDisplays().getDisplayForRect (window.getScreenBounds())->userArea;

    // Zooming in stops at the largest step that fits (the design size with the window's title
    // bar is already taller than this screen); the window stays inside the screen.
    for (int i = 0; i < 3; ++i)
        editor->keyPressed (juce::KeyPress ('-', juce::ModifierKeys::commandModifier, '-'));
    for (int i = 0; i < 12; ++i)
        editor->keyPressed (juce::KeyPress ('=', juce::ModifierKeys::commandModifier, '='));
    EXPECT_TRUE (screen.contains (window.getBounds())) << window.getBounds().toString();
    const float fitted = editor->getQuarnScale();
    EXPECT_GT (window.getHeight() + juce::roundToInt (768 * 0.05f), screen.getHeight()); // one more step would not fit

    window.setTopLeftPosition (screen.getX() + 30, screen.getY());
    const auto before = window.getBounds();

    auto& shell = editor->shell;
    auto leaveBy = [&] (const juce::KeyPress* key)
    {
        if (key == nullptr)
            shell.fullscreenButton.triggerClick();
        else
            editor->keyPressed (*key);
        flushMessages();
    };
    const juce::KeyPress esc (juce::KeyPress::escapeKey), f11 (juce::KeyPress::F11Key);
    for (const juce::KeyPress* leave : { (const juce::KeyPress*) nullptr, &esc, &f11 })
    {
        shell.fullscreenButton.triggerClick();
        flushMessages();
        EXPECT_TRUE (screen.contains (window.getBounds())) << window.getBounds().toString();
        EXPECT_GT (window.getWidth() * window.getHeight(), before.getWidth() * before.getHeight());
        leaveBy (leave);
        EXPECT_EQ (window.getBounds(), before);
        EXPECT_NEAR (editor->getQuarnScale(), fitted, 0.001f);
    }
}

TEST (StandaloneFit, SettingsShortcutIsWrittenTheLinuxWay)
{
    StandaloneEditor s;
    EXPECT_TRUE (s.editor->shell.settingsButton.getTooltip().endsWith ("Ctrl+,"));
    StandaloneMenu menu;
    const auto items = menu.getMenuForIndex (0, "File");
    for (juce::PopupMenu::MenuItemIterator it (items); it.next();)
        EXPECT_EQ (it.getItem().shortcutKeyDescription, "Ctrl+,");
    EXPECT_FALSE (s.editor->shell.settingsButton.getTooltip().containsChar (0x2318));
}
