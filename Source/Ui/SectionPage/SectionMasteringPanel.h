#pragma once

#include "Ui/Foundation/VyrInfoButton.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/SectionPage/MasterAutomationView.h"
#include "Ui/SectionPage/SectionSplitBar.h"
#include "Ui/SectionPage/SectionWaveformView.h"

#include <juce_gui_basics/juce_gui_basics.h>

class VyrAudioProcessor;

// The full-chain product's section mastering page: the loaded file split into one to seven form
// sections, the factory preset of each form letter, the three section automation lanes, a small
// transport and the ON, "Live Follow" and "AUTO" switches with Detect and reset.
//
// The page keeps no section state of its own: it edits the processor's `section` record and
// publishes the whole record to the audio thread after every edit (the audio thread never sees
// a vector being resized). Every button is an invisible hit area over art the page paints from
// the processor's state. Parameters are written only by the letter audition (a click on a
// section while the page is ON), as the user's own gesture. Message thread only; an 83 ms timer
// follows file loads through `sectionRevision`.
class SectionMasteringPanel : public juce::Component, private juce::Timer
{
public:
    explicit SectionMasteringPanel (VyrAudioProcessor&);
    ~SectionMasteringPanel() override;

    void paint (juce::Graphics&) override;
    void paintOverChildren (juce::Graphics&) override;
    void resized() override;

    // Brings the letter boxes in line with the letters' presets and repaints the page.
    void syncButtons();

    // Header actions (the buttons' click handlers).
    void toggleEnabled();
    void toggleFollow();
    void toggleAuto();
    void detect();
    void resetSections();
    void setCount (int buttonIndex);
    void auditionSection (int s);

    // Repaints the waveform and every lane after a change of the shared view window.
    void repaintViews();

    VyrAudioProcessor& processor;
    ZoomWindow zoomWindow;
    SectionWaveformView waveform;
    MasterAutomationView effectLane, inLane, outLane;
    SectionSplitBar splitBar;
    juce::TextButton enableButton, followButton, resetButton, detectButton, autoButton;
    juce::TextButton rewindButton, playButton, stopButton, loopButton;
    juce::TextButton countButtons[7];
    juce::ComboBox letterBoxes[7];
    LetterHandle letterHandles[7];
    VyrInfoButton infoButton;
    int dragLetter = -1;
    juce::Point<int> dragPos;
    int laneHeight = 72;
    int laneHeightAtDragStart = 72;
    int seenSectionRevision = -1;

    // Fingerprint of what the page itself paints, and the one it last painted: the timer
    // repaints only when they differ.
    juce::uint64 stateKey() const;
    juce::uint64 shownState = 0;

    // The chrome, header tile, title and letter cells: painted again only when the size or the
    // identity changes (the playhead and the lanes repaint parts of the page many times a second).
    VyrCachedLayer staticLayer;

    // The usage hint, and the least width it is painted in; below it the letter chips carry it
    // as their tooltip.
    juce::String hintText() const;
    static constexpr int kMinHintWidth = 300;

private:
    void timerCallback() override;
    void publish();
    void wireHeader();
    void wireTransport();
    void wireLetters();
    void syncLetterBoxes();
    void letterDown (int letter);
    void letterDrag (const juce::MouseEvent&);
    void letterUp (const juce::MouseEvent&);
    // Section of the waveform under a page point, -1 when the point is not over the waveform.
    int dropSectionAt (juce::Point<int> pagePoint) const;

    // Painting steps.
    void paintHeader (juce::Graphics&, int identity);
    void paintLetterCells (juce::Graphics&);
    void paintHint (juce::Graphics&, bool light);
    void paintStats (juce::Graphics&, int identity);
    void paintCountControl (juce::Graphics&);
    void paintTransport (juce::Graphics&);
    void paintSwitches (juce::Graphics&);
    void paintLetterChips (juce::Graphics&, int identity);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SectionMasteringPanel)
};
