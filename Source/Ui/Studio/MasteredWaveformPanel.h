#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

#include "Ui/Foundation/VyrInfoButton.h"
#include "Ui/Foundation/VyrPainting.h"

class VyrAudioProcessor;

// The mastered-output panel: the loaded file's waveform as the chain is predicted to master it,
// with the section layout tinted behind it, the limiter ceiling as dashed guides and the playhead;
// an "ANALYSIS" toggle slides the assistant drawer in from the right, and the tape strip below
// keeps the assistant's history. Its 40 ms timer feeds the tape one sample per tick always (so the
// history is right when it appears); the model rebuild, the drawer and the repaint run only while
// the panel is showing. Message thread only.
class MasteredWaveformPanel : public juce::Component, private juce::Timer
{
public:
    class Drawer;
    class TapeStrip;

    explicit MasteredWaveformPanel (VyrAudioProcessor&);
    ~MasteredWaveformPanel() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void layoutChrome();

    // Steps the tape lane to its next size and asks the owner to lay out again.
    void cycleTapeMode();
    // The toggle's click: follows the button's state.
    void toggleDrawer();

    // One tick of the timer (tests call it directly).
    void tick() { timerCallback(); }

    // Width of the wave area at the current slide.
    float waveWidth() const noexcept;
    // Header inset of an identity.
    static int headerInset (int identity) noexcept;

    VyrAudioProcessor& processor;
    VyrInfoButton infoButton;
    juce::TextButton analysisButton { "ANALYSIS" };
    std::unique_ptr<Drawer> drawer;
    std::unique_ptr<TapeStrip> tape;
    float drawerAnim = 0.0f;
    bool drawerOpen = false;
    int tapeMode = 0;                     // 0 closed, 1 compact, 2 tall
    std::function<void()> onLayoutChange; // run after the tape lane changed size

private:
    juce::uint64 shownKey = 0;
    VyrCachedLayer chrome; // body and header: the tape and the drawer repaint over it every tick
    int shownPlayX = -1;

    void timerCallback() override;
    // Repaints what changed since the last tick: everything after a change of model, sections,
    // identity, size or slide; only the strips of the old and new playhead when it alone moved.
    void repaintChanges();
    void paintWave (juce::Graphics&, float width, juce::Colour accent);
    // The wave area without the playhead: background, tints, peaks, guides, centre line, outline.
    void paintWaveBody (juce::Graphics&, float width, juce::Colour accent);
    // What the wave area's picture depends on, and the playhead's column (-1 without a length).
    juce::uint64 waveKey() const;
    int playheadX() const;

    VyrCachedLayer waveLayer;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MasteredWaveformPanel)
};
