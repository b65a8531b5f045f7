#pragma once

#include "Core/ReaderCount.h"
#include "Live/LiveRecords.h"
#include "Ui/Controls/HardwareKnob.h"
#include "Ui/Controls/LedMeter.h"
#include "Ui/Controls/MasterEffectGauge.h"
#include "Ui/Foundation/HardwareArt.h"
#include "Ui/Foundation/VyrInfoButton.h"
#include "Ui/MainView/ChainTray.h"
#include "Ui/MainView/MainViewLayout.h"
#include "Ui/MainView/QuarnWidget.h"
#include "Ui/MainView/SpaceWidget.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <climits>
#include <functional>
#include <memory>
#include <vector>

class VyrAudioProcessor;

// The single page of the VYR Quarn product: the whole mastering chain behind one window.
// The shell builds it for that product only; the editor installs the two window-scale hooks.
//
// Every chip, caption and glyph the user sees is painted by the view itself over invisible
// "ghost" buttons, from the processor's and the parameters' current state, so a chip lights up
// whoever changed its state (host automation, MIDI, a recipe glide). The controls write their
// parameters only on the user's own clicks; the view keeps no parameter listeners and re-reads
// everything on its message-thread timer (16 Hz in a plug-in host, 20 Hz standalone).
class BasicMasteringView : public juce::Component,
                           public juce::FileDragAndDropTarget,
                           private juce::Timer
{
public:
    explicit BasicMasteringView (VyrAudioProcessor&);
    ~BasicMasteringView() override;

    // Clears the cached scale caption and repaints the scale chip (after every relayout).
    void syncScaleChip();

    // Sets a choice parameter to an index as one user gesture (written even when unchanged; the
    // parameter clamps). A missing ID or a parameter of another kind is skipped.
    static void setChoice (VyrAudioProcessor&, const juce::String& parameterId, int index);
    void setChoice (const juce::String& parameterId, int index) { setChoice (processor, parameterId, index); }

    // Applies loudness option 0..4 as the user's choice: the loudness choice and its recipe.
    // `insideLufsGesture`: the caller already holds a change gesture on "masterLufs" (the knob's
    // drag), so the choice is written inside it instead of in a gesture of its own.
    void stampLufs (int index, bool insideLufsGesture = false);

    // The loudness knob turned to option value `v` (0..4, rounded). Only a change the user makes
    // acts; one arriving through the knob's parameter attachment (automation, MIDI, a recall, a
    // recipe) only repaints the knob.
    void lufsKnobChanged (double v, bool byUser);

    // Brings the mood box's selection and the mood tooltips in line with the sounding mood.
    void syncPresetBox();

    // Shows and places the Mix knobs under the tray's tiles (follows the chain order).
    void layoutMixKnobs();

    // Standalone file actions: the Load and Download choosers and what their completion does.
    void browseFile();
    void beginExport();
    void loadChosenFile (const juce::File&);
    void exportChosenFile (const juce::File&);
    // Play or pause (the Play button and the Space key); tells the user when there is no output.
    void playClicked();

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override {}
    void mouseUp (const juce::MouseEvent&) override {}
    void paint (juce::Graphics&) override;
    void paintOverChildren (juce::Graphics&) override;
    void resized() override;

    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;
    void fileDragEnter (const juce::StringArray& files, int x, int y) override;
    void fileDragExit (const juce::StringArray& files) override;

    // One tick of the view's timer (tests call it directly).
    void tick() { timerCallback(); }

    // Accent colour of the view for an identity index (anything outside 1..5 is the dark cyan).
    static juce::Colour accentFor (int themeIndex) noexcept;

    // A drifting light speck of the stage: position as fractions of the area, radius, alpha, speed.
    struct Mote
    {
        float x = 0, y = 0, size = 0, alpha = 0, speed = 0, spare1 = 0, spare2 = 0;
    };
    static constexpr int kNumMotes = 44;

    // Glow of each mote at a clock time (seconds): five twinkle channels each swell one mote.
    static void moteGlow (double seconds, float (&glow)[kNumMotes]) noexcept;

    //==============================================================================
    std::function<void (float)> setWindowScale;
    std::function<float()> getWindowScale;
    VyrAudioProcessor& processor;
    VyrReaderToken levelToken;   // the levels and scopes are measured while a meter view exists

    QuarnWidget quarn;
    SpaceWidget space;
    MasterEffectGauge effectGauge;
    ChainTray tray;
    VyrInfoButton infoButton;
    std::unique_ptr<LedMeter> inMeter, outMeter;

    juce::TextButton mediumChips[8];
    juce::TextButton styleChips[7];
    juce::TextButton moodNameArea;
    juce::TextButton liveChips[3];
    juce::ComboBox moodBox;
    bool moodBoxSyncing = false;
    int shownMood = -2, shownLetter = 0, shownLetterMood = -1;
    juce::TextButton updateButton, likeButton, dislikeButton;
    std::unique_ptr<HardwareKnob> lufsKnob;
    juce::TextButton bypassButton;
    juce::TextButton scaleDownButton, scaleResetButton, scaleUpButton;
    juce::TextButton loadButton, playButton, stopButton, exportButton;
    std::unique_ptr<HardwareKnob> mixKnobs[13]; // indexed like the default chain order; none for the bass-mono monitor

    juce::String recipeHint { "Style, Medium, and LUFS apply instantly - QUARN, Mix, and the loudness recipe." };
    bool fileDragHover = false;
    std::shared_ptr<juce::FileChooser> fileChooser;
    juce::File exportDialogStart; // the file the last export dialog was opened on
    Mote motes[kNumMotes];

    juce::Rectangle<int> headerArea, stageArea;
    juce::Rectangle<int> hintArea; // where the last paint put the hint line (up to two lines)
    juce::Rectangle<float> meterWell;

    bool lufsStampGuard = false;
    int seenRecipeGeneration = 0;
    juce::String lastStatusLine;
    juce::String lastFileMessage; // the last message of the file actions (the file row shows it while it is the hint)
    double feedbackUntilMs = 0.0;
    int feedbackKind = 0, feedbackLetter = 0;

    // The mood presets as the view shows them: a copy taken when the view is built, never changed
    // afterwards, so painting and the timer never read a table the processor may be rebuilding.
    const std::shared_ptr<const std::vector<vyrLive::MoodPreset>> moods;
    int numMoods() const noexcept { return (int) moods->size(); }

    // The layout of the last resize.
    VyrMainViewLayout layout;

private:
    void timerCallback() override;

    // Chip actions.
    void styleChipClicked (int index);
    void mediumChipClicked (int index);
    void bypassClicked();
    void liveChipClicked (int mode);
    void moodChosen();
    void likeClicked();
    void dislikeClicked();
    void updateClicked();
    void stopClicked();

    void refreshAfterRecipe (bool includeMixKnobs);
    void generationRefresh();
    void buildMoodBox();
    void buildMotes();
    // Shows a message of the file actions on the hint line, held against the live status line.
    void showMessage (const juce::String& text, double holdMs);

    // Painting steps.
    void paintWindow (juce::Graphics&);
    void paintHeader (juce::Graphics&, juce::Colour accent);
    void paintTitle (juce::Graphics&, const struct HeaderLockup&);
    void paintBadge (juce::Graphics&, juce::Rectangle<float> badge);
    void paintStage (juce::Graphics&);
    void paintMotes (juce::Graphics&, double seconds);
    void paintMeterWell (juce::Graphics&);
    void paintRowCaptions (juce::Graphics&);
    void paintSeparator (juce::Graphics&);
    void paintDropZone (juce::Graphics&, juce::Colour accent);
    void paintTrayCaptions (juce::Graphics&);
    void paintRecipeHint (juce::Graphics&);
    // Right end of the room the hint line has in a band of the stage starting at x0.
    int hintRight (juce::Rectangle<int> band, int x0) const;
    juce::Rectangle<int> moteArea() const;

    // What the painted chips and texts show; the timer repaints when any of it moved.
    struct ShownState
    {
        int style = -1, medium = -1, live = -1, mood = -1, letter = 0, variants = -1, theme = -1;
        bool updateLit = false, yesLit = false, noLit = false, bypassLit = false, playing = false;
        bool fileLoaded = false;
        juce::String hint, fileName;
        bool operator== (const ShownState&) const;
    };
    ShownState currentShownState() const;
    ShownState lastShown;
    void repaintChanged();
    // The tray and the Mix knobs follow chain-order and module on/off changes made elsewhere
    // (recipes, automation, a recall): the tray has no timer of its own.
    void syncTrayWithChain();
    std::uint32_t shownEnabledMask = 0xffffffffu;
    std::int32_t shownOrder[13] {};
    // Where each mote was last painted: quarter pixels and glow steps.
    struct MoteKey
    {
        int x = INT_MIN, y = 0, glow = 0;
        bool operator== (const MoteKey& o) const noexcept { return x == o.x && y == o.y && glow == o.glow; }
    };
    MoteKey lastMoteKey[kNumMotes];
    static constexpr int kMaxMoteAreas = 3;

    bool standalone() const noexcept;
    bool timerMayRepaint() const;
    // The parameters the timer and the painters read on every tick, looked up once (null when
    // the tree has none of that ID).
    struct ViewParams
    {
        juce::AudioParameterChoice *style = nullptr, *medium = nullptr, *lufs = nullptr, *live = nullptr, *metering = nullptr;
        juce::RangedAudioParameter* bypass = nullptr;
        std::atomic<float>* enabled[13] {}; // "<module>_enabled" in the default chain order
    };
    ViewParams params;
    static int choiceIndex (const juce::AudioParameterChoice*, int fallback) noexcept;
    bool bypassOn() const noexcept { return params.bypass != nullptr && params.bypass->getValue() >= 0.5f; }
    int currentLetterIndex() const noexcept;
    juce::String moodCaption (int mood) const;

    juce::SharedResourcePointer<HardwareArt> art;

public:
    // A photograph scaled to one area's size, kept until that size changes.
    struct ScaledPhoto
    {
        juce::Image image, source;
        juce::Rectangle<int> size;
    };

private:
    ScaledPhoto stagePhoto, platePhoto;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BasicMasteringView)
};
