#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

class VyrAudioProcessor;

// Stand-ins for the pages the shell hosts until each page is built: same class names, same
// constructor and the members the shell and the export card use, so a page drops in without a
// change to the shell. Each paints a plain labelled frame. Message thread only.

// The section page: waveform, sections and automation lanes.
class SectionMasteringPanel : public juce::Component
{
public:
    explicit SectionMasteringPanel (VyrAudioProcessor&);
    ~SectionMasteringPanel() override;
    void paint (juce::Graphics&) override;

private:
    VyrAudioProcessor& processor;
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SectionMasteringPanel)
};

// The mastered-output page with its tape lane (closed, compact or tall).
class MasteredWaveformPanel : public juce::Component
{
public:
    explicit MasteredWaveformPanel (VyrAudioProcessor&);
    ~MasteredWaveformPanel() override;
    void paint (juce::Graphics&) override;

    // Steps the tape lane to its next size and asks the owner to lay out again.
    void cycleTapeMode();

    int tapeMode = 0;                     // 0 closed, 1 compact, 2 tall
    std::function<void()> onLayoutChange; // run after the tape lane changed size

private:
    VyrAudioProcessor& processor;
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MasteredWaveformPanel)
};

// The mastering-studio page with its export entry.
class MasteringStudioPanel : public juce::Component
{
public:
    explicit MasteringStudioPanel (VyrAudioProcessor&);
    ~MasteringStudioPanel() override;
    void paint (juce::Graphics&) override;

    // Flips the taller layout and asks every ancestor to lay out again.
    void setExpanded (bool shouldExpand);

    // Fills the export-tag card of this page's editor from the processor and shows it.
    void openExportInfo (bool show = true);
    // Starts the export of the loaded file with the processor's export record.
    void beginExport();

    bool expanded = false;
    int formatIndex = 0; // vyrAudioIo::Format of the next export

private:
    VyrAudioProcessor& processor;
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MasteringStudioPanel)
};

// The final-output page.
class FinalOutputPanel : public juce::Component
{
public:
    explicit FinalOutputPanel (VyrAudioProcessor&);
    ~FinalOutputPanel() override;
    void paint (juce::Graphics&) override;

private:
    VyrAudioProcessor& processor;
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FinalOutputPanel)
};
