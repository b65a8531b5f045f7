#pragma once

#include "Ui/Controls/HardwareFader.h"
#include "Ui/Controls/HardwareKnob.h"
#include "Ui/Controls/RackFaders.h"
#include "Ui/Foundation/HardwareArt.h"
#include "Ui/Foundation/VyrInfoButton.h"
#include "Ui/FxChain/FxModulePictures.h"
#include "Ui/MainView/ChainTray.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class VyrAudioProcessor;
class LedMeter;
class VuMeter;
class LevelMeterView;
class OutputAnalyzerView;
class FactoryPresetBrowser;

// The FX chain page: one chain module at a time as a hardware unit with its knobs, faders, switches
// and display, beside (products 0 and 15) the chain tray, the factory-preset strip and the meter
// column. It is the whole editor of the single-effect products and the "FX Chain" tab of product 0.
//
// The page registers no listeners: its 33 ms timer, which runs only while the page is showing,
// follows outside changes and sets the toggles it derives from them without notification. It
// writes parameters only from the user's own clicks and drags. Message thread only.
//
// The files of the page: StudioComponent.cpp (construction and wiring, the timer), FxControlSets
// (the per-module controls), FxActions (what the buttons do), FxLayout (where everything sits) and
// FxPainting (page chrome, header and module housing). Module panels and module pictures plug into
// the slots of FxModuleSlots.cpp; FxLivePictures.cpp finds where a picture moved between two ticks,
// so that the timer repaints only that.
class StudioComponent : public juce::Component, private juce::Timer
{
public:
    explicit StudioComponent (VyrAudioProcessor&);
    ~StudioComponent() override;

    void paint (juce::Graphics&) override;
    void paintOverChildren (juce::Graphics&) override;
    void resized() override;
    void visibilityChanged() override;
    void parentHierarchyChanged() override;

    // Recreates the controls of the module on show and shows its panel (FxControlSets.cpp).
    void rebuildKnobs();
    // Re-reads the page's state after a state recall or reset (FxActions.cpp).
    void syncAfterInit();

    // Key of the module on show: the tray's choice for products 0 and 15, the product's own module
    // for 1 to 14, "chain" for any other number.
    juce::String moduleId() const;
    // Whether the product shows the chain tray and the meter column.
    bool isChainProduct() const noexcept;
    // Module rectangle shared by layout and painting.
    juce::Rectangle<int> moduleRect() const noexcept;

    // A module's own panel (EQ, multiband, bass mono, imager, limiter) in its slot: shown with
    // `activate (true)` when its module is on show, hidden with `activate (false)` otherwise.
    struct PanelSlot
    {
        const char* moduleKey;
        std::unique_ptr<juce::Component> panel;
        std::function<void (bool)> activate;
    };
    enum PanelIndex { eqSlot, dynamicEqSlot, mbcSlot, tovuSlot, imagerSlot, limiterSlot, numPanelSlots };

    // Actions of the buttons (FxActions.cpp), public for the shell and the tests.
    void showTrayModules (bool onlyUsed);
    void selectChainSlot (int moduleIndex);
    void enterChainOverview();
    void chainChanged();
    void applyCharacter (int index);
    void toggleMsLabel();
    void toggleModulePower();
    void setMeterScale (int index);
    void toggleLinkLR();
    void toggleBypass();
    void toggleMono();
    void resetToInitState();
    void selectMeterView (int index);
    void setLevelVertical (bool vertical);
    void toggleLevelDetail();
    void applyTapeMachine();
    void setTapeSpeed (int index);
    void setDensityChoice (const char* paramId, int index);
    void flipBoolParam (const juce::String& paramId);
    void selectBallistics (bool vu);
    void selectClipView (int index);
    void applyClipHarshness();
    void setDelaySyncMode (int mode);
    void applyDelayStyle (int index);
    void setDelayNote (int index);
    void nudgeDelayBpm (float delta);
    void selectReverbPage (int index);
    void applyReverbType (int index);

    // Parameter helpers of the page: raw value with a fallback; writes with or without a gesture.
    float paramValue (const char* id, float fallback) const;
    void setParam (const juce::String& id, float plainValue, bool withGesture);

    VyrAudioProcessor& processor;
    // The hardware images stay decoded while the page exists, not once per paint.
    juce::SharedResourcePointer<HardwareArt> art;
    ChainTray tray;
    std::array<PanelSlot, numPanelSlots> panels;

    juce::OwnedArray<HardwareKnob> knobs;
    juce::OwnedArray<HardwareStripSlider> strips;
    juce::OwnedArray<HardwareFader> ioFaders;
    juce::OwnedArray<TcFader> tcFaders;

    // The meter column's live views exist only while the page shows them: their timers and the
    // processor's level readers cost nothing on a hidden page.
    std::unique_ptr<LedMeter> inMeter, outMeter;
    std::unique_ptr<VuMeter> vuMeter;
    std::unique_ptr<LevelMeterView> levelMeter;
    std::unique_ptr<OutputAnalyzerView> outputAnalyzer;

    juce::TextButton showAllButton { "All" }, onlyUsedButton { "Only Used" };
    std::unique_ptr<FactoryPresetBrowser> presetBrowser;
    juce::TextButton characterButtons[5];
    juce::TextButton msButton { "M/S OFF" }, powerButton { "OFF" };
    juce::TextButton scaleButtons[4];
    juce::TextButton linkButton { "LINK" }, bypassButton { "Bypass" }, monoButton { "Mono" }, resetButton { "Reset" };
    juce::TextButton meterViewButtons[3];
    VyrInfoButton chainInfo, moduleInfo, meterInfo;
    juce::TextButton horizontalButton { "H" }, verticalButton { "V" }, detailButton { "More Detail" };
    juce::ComboBox tapeMachineBox;
    juce::TextButton tapeSpeedButtons[3];
    juce::TextButton satFreqButtons[3];
    juce::TextButton calibrationButtons[3];
    juce::TextButton airButton { "AIR" }, altTubeButton { "ALT TUBE" }, densityInOutButton { "IN/OUT" };
    juce::TextButton vuButton { "VU" }, ppmButton { "PPM" };
    bool vuBallistics = true;
    juce::TextButton clipViewButtons[3];
    juce::TextButton syncModeButtons[2];
    juce::TextButton delayStyleButtons[8];
    juce::TextButton noteButtons[6];
    juce::TextButton bpmDownButton { juce::String::fromUTF8 ("\xe2\x88\x92") }, bpmUpButton { "+" };
    juce::TextButton reverbViewButtons[2];
    juce::TextButton reverbTypeButtons[7];
    std::unique_ptr<HardwareKnob> harshnessKnob;
    std::unique_ptr<ClipMixFader> clipMixFader;
    bool macroSyncing = false;

    int clipView = 0;
    int reverbView = 0;
    int delayStyle = -1;
    int reverbType = -1;
    float animTime = 0.0f;
    // Tape reels: angle (radians), smoothed speed and on-level, advanced by the timer.
    float reelAngle = 0.0f, reelSpeed = 0.0f, reelLevel = 0.0f;
    // Graph handles under the pointer and being dragged; where the clipper curve's two handles sit.
    VyrGraphHit hoverHit = VyrGraphHit::none, dragHit = VyrGraphHit::none;
    float clipHandleX[2] { -0.5f, 0.5f };
    juce::Point<float> dragStart;
    float dragStartTone[4] { 170.0f, 980.0f, 0.0f, 6600.0f };
    juce::StringArray gestureParams;

    // Graph editing (FxGraphEditing.cpp): the handle at a position, the hover state and cursor, the
    // gestures of a drag and what a drag writes.
    VyrGraphHit hitFxGraph (juce::Point<float> position) const;
    void updateGraphCursor (VyrGraphHit);
    void beginGraphParams (const char* const* ids, int count);
    void applyFxGraphDrag (juce::Point<float> position);
    void setGraphParam (const juce::String& id, float value);
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseMove (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    int selectedSlot = 0;
    int meterView = 0;
    bool panelMode = false;
    int lastStateVersion = 0;
    int lastLinkLR = -1;

    // What the timer last saw of the values the page's own painting and toggles show.
    struct Seen
    {
        int theme = -1, enabled = -1, bypass = -1, mono = -1, scale = -1, bpm = -1, note = -1;
        bool operator== (const Seen& o) const noexcept
        {
            return theme == o.theme && enabled == o.enabled && bypass == o.bypass && mono == o.mono
                && scale == o.scale && bpm == o.bpm && note == o.note;
        }
    };
    Seen seen;
    // Ticks the timer has run (tests check that a hidden page runs none).
    int ticks = 0;
    // The areas the last tick asked to repaint (tests check what a tick costs).
    juce::RectangleList<int> tickRepaints;

    // The module picture's display rectangle (its G), and what one paint of the picture shows: the
    // page's view, animation and handle state with the meter reading the last tick took.
    juce::Rectangle<float> pictureArea() const;
    VyrPictureState pictureState() const;

    // One timer tick, callable by tests; whether the timer runs.
    void tick() { timerCallback(); }
    bool isTicking() const { return isTimerRunning(); }

private:
    void timerCallback() override;
    // The module's housing and title row (FxPainting.cpp), and the image they are kept in.
    void paintHousing (juce::Graphics& g, const juce::String& key, juce::Rectangle<int> moduleArea, int themeRaw, bool enabled) const;
    struct HousingKey
    {
        int width = 0, height = 0, theme = -1;
        juce::String key;
        bool enabled = false;
        juce::Rectangle<int> module;
        bool operator== (const HousingKey& o) const noexcept
        {
            return width == o.width && height == o.height && theme == o.theme && key == o.key && enabled == o.enabled && module == o.module;
        }
    };
    HousingKey housingKey;
    juce::Image housingImage;
    void advanceTapeReels();
    void copyLinkedGains();
    void repaintLivePictures();
    // Takes the picture's frame for the tick and returns the areas in which it differs from the
    // frame before (the whole picture when its parameters, view or rectangles changed).
    juce::RectangleList<int> advancePicture();

    // The frame the pictures show until the next tick: the meter reading and the tube clock taken by
    // the last tick (live readings before the first), and what the last tick saw of the picture and
    // of its module's parameter values.
    std::optional<VyrPictureLevels> pictureLevels;
    double tubeTime = 0.0;
    std::optional<VyrPictureState> shownPicture;
    juce::String pictureParamsKey;
    std::vector<std::atomic<float>*> pictureParams;
    std::vector<float> shownParams;
    // Starts the timer and builds the live meter views while showing; stops and releases them when not.
    void followShowing();
    void buildModulePanels();
    void layoutDensity (juce::Rectangle<int> moduleArea);
    void syncLiveViews();
    Seen currentSeen() const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StudioComponent)
};
